#include "AbcRVociProgetti.h"

#include "AbcMVpro.h"
#include "AbcUUtil.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>

namespace {

const char *const kAggregateListSQL =
    " SELECT TAGG_AGGREGATI.IAGGID, TAGG_AGGREGATI.SAGGDESCS, TAGG_AGGREGATI.SAGGDESCL FROM TAGG_AGGREGATI "
    "WHERE ##WHERE## AND (TAGG_AGGREGATI.DDELETE IS NULL) AND (TAGG_AGGREGATI.IFLSID = :IFLSID) AND "
    "(TAGG_AGGREGATI.ITITOID = :ITITOID) AND (TAGG_AGGREGATI.DSTART <= :DFINEANNO) AND "
    "((TAGG_AGGREGATI.DEND > :DINIZIOANNO) OR (TAGG_AGGREGATI.DEND IS NULL))";
// The search form offers only the aggregates that stay open.
const char *const kAggregateSearchSQL =
    " SELECT TAGG_AGGREGATI.IAGGID, TAGG_AGGREGATI.SAGGDESCS, TAGG_AGGREGATI.SAGGDESCL FROM TAGG_AGGREGATI "
    "WHERE (TAGG_AGGREGATI.IFLSID = :IFLSID) AND (TAGG_AGGREGATI.ITITOID = :ITITOID) AND "
    "(TAGG_AGGREGATI.DSTART <= :DFINEANNO) AND ((TAGG_AGGREGATI.DEND > :DINIZIOANNO) OR (TAGG_AGGREGATI.DEND "
    "IS NULL)) AND ((TAGG_AGGREGATI.IDWGID = :IDWGID) OR (TAGG_AGGREGATI.IDWGID IS NULL)) AND "
    "(TAGG_AGGREGATI.DDELETE IS NULL) AND (TAGG_AGGREGATI.DEND IS NULL)";

const char *const kInsertSQL =
    "INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, ICORID, IAGGID, IDWGID, ITCKID, SVPROCOD, SVPRODESCS, DSTART, "
    "DEND) VALUES (:VOGENID, :ICORID, :IAGGID, :IDWGID, :ITCKID, :SVPROCOD, :SVPRODESCS, :DSTART, :DEND)";
const char *const kUpdateSQL =
    " UPDATE TVPRO_VOCIPROGETTI SET TVPRO_VOCIPROGETTI.ICORID = :ICORID, TVPRO_VOCIPROGETTI.IAGGID = "
    ":IAGGID, "
    "TVPRO_VOCIPROGETTI.SVPROCOD = :SVPROCOD, TVPRO_VOCIPROGETTI.SVPRODESCS = :SVPRODESCS, "
    "TVPRO_VOCIPROGETTI.DSTART = :DSTART, TVPRO_VOCIPROGETTI.DEND = :DEND WHERE TVPRO_VOCIPROGETTI.IVPROID = "
    ":VOCURRID";
// An item with both accounts leaves its sub-items their own; otherwise they take its account.
const char *const kSubItemsDatesSQL =
    " UPDATE TSVO_SOTTOVOCI SET TSVO_SOTTOVOCI.DSTART = :DSTART, TSVO_SOTTOVOCI.DEND = :DEND WHERE "
    "TSVO_SOTTOVOCI.IVPROID = :IVPROID";
const char *const kSubItemsDatesAccountSQL =
    " UPDATE TSVO_SOTTOVOCI SET TSVO_SOTTOVOCI.DSTART = :DSTART, TSVO_SOTTOVOCI.DEND = :DEND, "
    "TSVO_SOTTOVOCI.ICORID = :ICORID WHERE TSVO_SOTTOVOCI.IVPROID = :IVPROID";

const char *const kStartRequired = "Attenzione!\r\nCampo obbligatorio \"Data inizio\"";
const char *const kStartAfterYear =
    "Attenzione!\r\nLa data di avvio della voce non può essere accettata \r\nin quanto non rientra "
    "nell'esercizio finanziario selezionato \r\nData avvio massima: ";
const char *const kStartBeforeYear =
    "Attenzione!\r\nLa data di avvio della voce non può essere accettata \r\nin quanto non rientra "
    "nell'esercizio finanziario di inserimento \r\nData avvio minima: ";
const char *const kStartPostponed =
    "Attenzione!\r\nLa data di avvio della voce o progetto non può essere "
    "posticipata perchè esistono uno o più modelli che fanno riferimento ad essa";
const char *const kEndBeforeYear =
    "Attenzione!\r\nLa data di chiusura della voce non può essere accettata in quanto non rientra "
    "nell'esercizio finanziario selezionato.\r\nData chiusura minima: ";
const char *const kEndBeforeModels = "Attenzione ! \r\nLa data di chiusura della voce o progetto deve essere "
                                     "posticipata perchè esistono uno o "
                                     "più modelli che fanno riferimento ad essa.\r\nData chiusura minima: ";
const char *const kStartAfterEnd =
    "Attenzione!\r\nLa data di fine deve essere maggiore o uguale alla data d'inizio";
const char *const kAggregateRequired = "Attenzione! \r\nCampo obbligatorio \"Aggregato\"";
const char *const kWrongCode = "Attenzione!\r\nIl codice immesso è errato\r\nCodice consentito: %s + numero";
const char *const kAggregateFixed = "Attenzione!\r\nImpossibile cambiare l'aggregato della voce o progetto "
                                    "perchè ci sono uno o più modelli che fanno riferimento ad essa";
const char *const kCodeTaken =
    "Attenzione!\r\nEsiste una voce o progetto con lo stesso codice.Cambiare codice "
    "o data di fine del progetto.";

// Aggregates whose items get this ticket kind when they are made.
bool TicketAggregate(int aggregateId) {
    return aggregateId == 13 || aggregateId == 14;
}

QString Text(const char *text) {
    return QString::fromUtf8(text);
}

} // namespace

TfrVociProgetti::TfrVociProgetti(QWidget *parent) : TfrVproConto(parent) {
    setObjectName(QStringLiteral("frFVoci"));
    grFrame->AddColumn(QStringLiteral("SVPROCOD"), QStringLiteral("Codice"), 60);
    grFrame->AddColumn(QStringLiteral("SVPRODESCS"), QStringLiteral("Descrizione"), 360);
    grFrame->AddColumn(QStringLiteral("SAGGDESCL"), QStringLiteral("Aggregato"), 240);
    grFrame->AddColumn(QStringLiteral("ContoCompetenza"), QStringLiteral("Competenza"), 0, Qt::AlignCenter);
    grFrame->AddColumn(QStringLiteral("ContoResidui"), QStringLiteral("Residui"), 0, Qt::AlignCenter);

    xdlAggregato = new TVoDBLookupEdit(tsDetail);
    xdlAggregato->SetKeyField(QStringLiteral("TAGG_AGGREGATI.IAGGID"));
    xdlAggregato->SetListField(QStringLiteral("SAGGDESCL"));
    xdlAggregato->SetSearchField(QStringLiteral("TAGG_AGGREGATI.SAGGDESCL"));
    laAggregato = new QLabel(QStringLiteral("Aggregato "), tsDetail);
    xdeCodice = new TVoDBEdit(tsDetail);
    xdeCodice->SetUpperCase(true);
    xdeCodice->setMaxLength(5);
    laCodice = new QLabel(QStringLiteral("Codice "), tsDetail);
    xdeDescrizione = new TVoDBEdit(tsDetail);
    xdeDescrizione->setMaxLength(80);
    laDescrizione = new QLabel(QStringLiteral("Descrizione "), tsDetail);
    xddDataInizio = new TVoDBDateEdit(tsDetail);
    laDataInizio = new QLabel(QStringLiteral("Data inizio "), tsDetail);
    xddDataFine = new TVoDBDateEdit(tsDetail);
    laDataFine = new QLabel(QStringLiteral("Data fine "), tsDetail);

    auto *form = new QFormLayout(tsDetail);
    const std::pair<QLabel *, QWidget *> rows[] = {{laAggregato, xdlAggregato},
                                                   {laCodice, xdeCodice},
                                                   {laDescrizione, xdeDescrizione},
                                                   {laDataInizio, xddDataInizio},
                                                   {laDataFine, xddDataFine}};
    for (const auto &[label, field] : rows) {
        label->setBuddy(field);
        form->addRow(label, field);
    }
    form->addRow(gbConto);
    xdeCodice->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);

    const std::pair<TVoDBControl *, const char *> bindings[] = {{xdlAggregato, "IAGGID"},
                                                                {xdeCodice, "SVPROCOD"},
                                                                {xdeDescrizione, "SVPRODESCS"},
                                                                {xddDataInizio, "DSTART"},
                                                                {xddDataFine, "DEND"}};
    for (const auto &[control, field] : bindings)
        control->Bind(xdsMain, QString::fromLatin1(field));
    for (TVoDBDateEdit *date : {xddDataInizio, xddDataFine})
        date->SetDialogTitle(QStringLiteral("Selezionare una data"));

    xacInsert->OnExecute.Add([this](TVoDataAction *) { xacInsertExecute(); });
    xacEdit->OnExecute.Add([this](TVoDataAction *) { xacEditExecute(); });
    xacDelete->OnExecute.Add([this](TVoDataAction *) { xacDeleteExecute(); });
    xacCancel->OnExecute.Add([this](TVoDataAction *) { xacCancelExecute(); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *field) {
        if (!field)
            ShowRow();
    });
    xdlAggregato->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xdlAggregatoChangeFKValue(); });
    xdlAggregato->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *, TVoSearchDialog *f) { xdlAggregatoSetSearchQuery(f); });
    xdlAggregato->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *, TVoSearchDialog *f) { xdlAggregatoShowSearchForm(f); });
    xdeCodice->OnKeyDown.Add([this](QWidget *, int &key, Qt::KeyboardModifiers) { xdeCodiceKeyDown(key); });
}

void TfrVociProgetti::Bind(TVoQueryCollection *dataSet) {
    m_hooks.Clear();
    SetDataSet(dataSet);
    xdlAggregato->SetConnection(dataSet->Connection());
    // After the data source's own hook, which writes the controls and runs their checks.
    m_hooks.Add(dataSet, dataSet->AfterInsert, [this](TVoQueryCollection *) { xqcVociAfterInsert(); });
    m_hooks.Add(dataSet, dataSet->BeforePost, [this](TVoQueryCollection *) { xqcVociBeforePost(); });
    m_hooks.Add(dataSet, dataSet->BeforeWrite,
                [this](TVoQueryCollection *, int kind) { xqcVociBeforeWrite(kind); });
}

void TfrVociProgetti::SetAggregateList() {
    xdlAggregato->SetListSQL(QString::fromLatin1(kAggregateListSQL));
    TVoQueryCollection *list = xdlAggregato->ListDataSet();
    list->SetParam(QStringLiteral("IFLSID"), VproCashFlow);
    list->SetParam(QStringLiteral("ITITOID"), VproTotalType);
    list->SetParam(QStringLiteral("DFINEANNO"), DaysToDateParam(CurrentYearEnd));
    list->SetParam(QStringLiteral("DINIZIOANNO"), DaysToDateParam(CurrentYearStart));
    xdlAggregato->RefreshList();
}

int TfrVociProgetti::ItemId() const {
    return DataSet()->FieldByName(QStringLiteral("IVPROID"))->AsInteger();
}

QString TfrVociProgetti::AggregateText() const {
    return xdlAggregato->text();
}

// The accounts of the row as stored.
void TfrVociProgetti::ShowRow() {
    if (!dmVproDBQuery)
        return;
    dmVproDBQuery->VproCompetenza = RowHasAccount("ContoCompetenza");
    dmVproDBQuery->VproResidui = RowHasAccount("ContoResidui");
    ShowAccounts(dmVproDBQuery->VproCompetenza, dmVproDBQuery->VproResidui);
    const TVoQueryCollection *c = DataSet();
    EnableAccounts(!c || !c->Active() || c->IsEmpty() ||
                   c->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() < 1);
}

void TfrVociProgetti::xacInsertExecute() {
    if (!CurrentUserCanWrite())
        return;
    EnableAccounts(true);
    ShowAccounts(false, false);
    dmVproDBQuery->VproCompetenza = dmVproDBQuery->VproResidui = false;
    xacInsert->ExecuteDefault();
}

void TfrVociProgetti::xacEditExecute() {
    if (CurrentUserCanWrite())
        xacEdit->ExecuteDefault();
}

void TfrVociProgetti::xacDeleteExecute() {
    if (CurrentUserCanWrite())
        xacDelete->ExecuteDefault();
}

void TfrVociProgetti::xacCancelExecute() {
    ShowRow();
    xacCancel->ExecuteDefault();
}

void TfrVociProgetti::xacPostExecute() {
    xacPost->ExecuteDefault();
}

bool TfrVociProgetti::StoredAccount(bool competenza) const {
    return competenza ? dmVproDBQuery->VproCompetenza : dmVproDBQuery->VproResidui;
}

// Through the edit action, with its rights.
void TfrVociProgetti::StartChange() {
    xacEdit->Execute();
}

void TfrVociProgetti::xdlAggregatoChangeFKValue() {
    const QVariant key = xdlAggregato->KeyValue();
    const int state = xdsMain->State();
    if (key.isNull() || (state != dsInsert && state != dsEdit))
        return;
    const int item = state == dsInsert ? -1 : ItemId();
    DataSet()->FieldByName(QStringLiteral("SVPROCOD"))->SetValue(ProposeItemCode(key.toInt(), item));
}

void TfrVociProgetti::xdlAggregatoSetSearchQuery(TVoSearchDialog *Form) {
    Form->SetSQL(QString::fromLatin1(kAggregateSearchSQL));
    Form->SetParam(QStringLiteral("IFLSID"), VproCashFlow);
    Form->SetParam(QStringLiteral("ITITOID"), VproTotalType);
    Form->SetParam(QStringLiteral("DFINEANNO"), DaysToDateParam(CurrentYearEnd));
    Form->SetParam(QStringLiteral("DINIZIOANNO"), DaysToDateParam(CurrentYearStart));
    Form->SetParam(QStringLiteral("IDWGID"), CurrentSchoolId);
}

void TfrVociProgetti::xdlAggregatoShowSearchForm(TVoSearchDialog *Form) {
    Form->SetCaption(QStringLiteral("Aggregati"));
    Form->Columns(0).Visible = false;
    const std::pair<int, const char *> columns[] = {{1, "Codice"}, {2, "Descrizione"}};
    for (const auto &[index, caption] : columns) {
        TVoSearchColumn &column = Form->Columns(index);
        column.Visible = true;
        column.Indexed = true;
        column.Caption = QString::fromLatin1(caption);
    }
    Form->SetFormWidth(600);
}

// Income codes are numbers.
void TfrVociProgetti::xdeCodiceKeyDown(int &Key) {
    if (VproCashFlow == 1)
        DigitKeysOnly(Key);
}

void TfrVociProgetti::xqcVociAfterInsert() {
    TVoQueryCollection *c = DataSet();
    c->FieldByName(QStringLiteral("DSTART"))->SetAsDate(CurrentYearStart);
    c->FieldByName(QStringLiteral("DEND"))->SetAsDate(CurrentYearEnd);
}

void TfrVociProgetti::xqcVociBeforePost() {
    TVoQueryCollection *c = DataSet();
    TdmVproDBQuery *dm = dmVproDBQuery;
    const bool inserting = c->State() == dsInsert;
    auto field = [c](const char *name) { return c->FieldByName(QString::fromLatin1(name)); };
    if (!CurrentUserCanWrite())
        throw EVoAbort();
    if (field("DSTART")->IsNull())
        RefusePost(Text(kStartRequired), this, xddDataInizio);
    const double start = field("DSTART")->AsDate();
    const double end = field("DEND")->IsNull() ? VoNoDate : field("DEND")->AsDate();
    dm->VproStart = start;
    dm->VproEnd = end;
    if (start > CurrentYearEnd)
        RefusePost(Text(kStartAfterYear) + FormatDays(CurrentYearEnd), this, xddDataInizio);
    // An item is made within the year it is made in; one made before may keep its earlier start.
    if (inserting && start < CurrentYearStart)
        RefusePost(Text(kStartBeforeYear) + FormatDays(CurrentYearStart), this, xddDataInizio);
    const int itemId = inserting ? -1 : ItemId();
    const bool occupied = !inserting && IsItemOccupied(itemId);
    if (occupied && start > VariantToDays(field("DSTART")->OldValue()))
        RefusePost(Text(kStartPostponed), this, xddDataInizio);
    if (!VoIsNoDate(end)) {
        if (end <= CurrentYearStart)
            RefusePost(Text(kEndBeforeYear) + FormatDays(CurrentYearStart + 1), this, xddDataFine);
        if (occupied) {
            const double last = ItemLastModelYearStart(itemId);
            if (end <= last)
                RefusePost(Text(kEndBeforeModels) + FormatDays(last + 1), this, xddDataFine);
        }
        if (start > end)
            RefusePost(Text(kStartAfterEnd), this, xddDataFine);
    }
    const bool competenza = ckCompetenza->isChecked();
    const bool residui = ckResidui->isChecked();
    if (!competenza && !residui)
        RefusePost(VproNoAccount);
    // An item that models use may only gain an account.
    if (occupied && ((!competenza && dm->VproCompetenza) || (!residui && dm->VproResidui)))
        RefusePost(VproAccountLost);
    if (AggregateText().trimmed().isEmpty())
        RefusePost(Text(kAggregateRequired), this, xdlAggregato);
    const QString code = field("SVPROCOD")->AsString().trimmed();
    if (code.isEmpty())
        RefusePost(VproCodeRequired, this, xdeCodice);
    const int aggregateId = field("IAGGID")->AsInteger();
    const QString aggregateCode = AggregateCode(aggregateId).trimmed();
    if (!CodeHasPrefix(code, aggregateCode))
        RefusePost(VoFormat(Text(kWrongCode), {aggregateCode}), this, xdeCodice);
    if (occupied) {
        const bool sameAggregate = aggregateId == field("IAGGID")->OldValue().toInt();
        const bool sameCode = code == field("SVPROCOD")->OldValue().toString().trimmed();
        if (IsItemBlocked(itemId) && (!sameCode || !sameAggregate))
            RefusePost(VproFrozen);
        if (!ConfirmModelsUpdate())
            throw EVoAbort();
        if (!sameAggregate)
            RefusePost(Text(kAggregateFixed));
    }

    c->SQLInsert.Clear();
    c->SQLInsert.Add(QString::fromLatin1(kInsertSQL));
    c->SQLUpdate.Clear();
    c->SQLUpdate.Add(QString::fromLatin1(kUpdateSQL));
    dm->VproTckId = TicketAggregate(aggregateId) ? 2 : -1;
    if (competenza && residui) {
        dm->VproCorId = 3;
        c->SQLUpdate.Add(QString::fromLatin1(kSubItemsDatesSQL));
    } else {
        dm->VproCorId = competenza ? 1 : 2;
        c->SQLUpdate.Add(QString::fromLatin1(kSubItemsDatesAccountSQL));
    }
    // The row shows the accounts it is saved with.
    field("ICORID")->SetAsInteger(dm->VproCorId);
}

// Whether the code is free is decided with the aggregate locked, so that two copies posting items of
// one aggregate at once cannot both take a code.
void TfrVociProgetti::xqcVociBeforeWrite(int ListKind) {
    if (ListKind == skDelete)
        return;
    TVoQueryCollection *c = DataSet();
    const int aggregateId = c->FieldByName(QStringLiteral("IAGGID"))->AsInteger();
    const int itemId = ListKind == skInsert ? -1 : ItemId();
    VoLockRow(QStringLiteral("TAGG_AGGREGATI"), QStringLiteral("IAGGID"), aggregateId, c->Connection());
    if (!ItemCodeIsFree(itemId, aggregateId, c->FieldByName(QStringLiteral("SVPROCOD"))->AsString().trimmed(),
                        CurrentYearStart, CurrentYearEnd))
        throw EVoError(Text(kCodeTaken));
}
