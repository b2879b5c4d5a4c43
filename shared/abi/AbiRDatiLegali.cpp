#include "AbiRDatiLegali.h"

#include "AbiMBen.h"
#include "AbiRCommon.h"
#include "AbiUCom.h"
#include "AbiUUtil.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoMessages.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"

#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const char *const kBeneficiariListSQL =
    " SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENCODFISCALE, "
    "TBEN_BENEFICIARI.SBENPARTITAIVA FROM TBEN_BENEFICIARI WHERE ##WHERE## AND TBEN_BENEFICIARI.DDELETE IS "
    "NULL";
// The other beneficiaries (:IBENID is the current one).
const char *const kAltriBeneficiariSQL =
    " SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENCODFISCALE, "
    "TBEN_BENEFICIARI.SBENPARTITAIVA FROM TBEN_BENEFICIARI  WHERE TBEN_BENEFICIARI.DDELETE IS NULL AND "
    "TBEN_BENEFICIARI.IBENID <> :IBENID ORDER BY TBEN_BENEFICIARI.IBENID";
// In the publishers' registry: those of the category :IBCAID.
const char *const kAltriRappresentantiEditoriSQL =
    " SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENCODFISCALE, "
    "TBEN_BENEFICIARI.SBENPARTITAIVA FROM TBEN_BENEFICIARI  INNER JOIN TBENBCA ON (TBEN_BENEFICIARI.IBENID = "
    "TBENBCA.IBENID) WHERE TBEN_BENEFICIARI.DDELETE IS NULL AND TBEN_BENEFICIARI.IBENID <> :IBENID AND "
    "TBENBCA.IBCAID = :IBCAID ORDER BY TBEN_BENEFICIARI.IBENID";
// In the publishers' registry: those of either category.
const char *const kAltriSostituentiEditoriSQL =
    " SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENCODFISCALE, "
    "TBEN_BENEFICIARI.SBENPARTITAIVA FROM TBEN_BENEFICIARI  INNER JOIN TBENBCA ON (TBEN_BENEFICIARI.IBENID = "
    "TBENBCA.IBENID AND (TBENBCA.IBCAID = :IBCAID1 OR TBENBCA.IBCAID = :IBCAID2)) WHERE "
    "TBEN_BENEFICIARI.DDELETE IS NULL AND TBEN_BENEFICIARI.IBENID <> :IBENID ORDER BY "
    "TBEN_BENEFICIARI.IBENID";

constexpr int kCategoryPublisher = 3;
constexpr int kCategoryRepresentative = 4;

const QString kTurnoverMsg =
    QStringLiteral("Attenzione!\r\nSe viene inserito il fatturato, è necessario inserire l'anno di "
                   "riferimento. Viceversa se "
                   "si inserisce l'anno di riferimento occorre inserire anche il fatturato");
const QString kRegistrationMsg = QStringLiteral(
    "Attenzione!\r\nSe si inserisce un Comune è necessario inserire anche il relativo numero di iscrizione. "
    "Altrimenti se viene inserito il numero di iscrizione bisogna inserire anche il Comune");
const QString kDateRequiredMsg = QStringLiteral("Attenzione!\r\nData di sostituzione obbligatoria");

bool PublishersMode() {
    return dmBeneficiari && dmBeneficiari->BenPublishersMode;
}

TVoDBLookupEdit *NewPlaceLookup(QWidget *parent) {
    auto *lookup = new TVoDBLookupEdit(parent);
    lookup->SetListSQL(QString::fromLatin1(kPlacesWithoutStateSQL));
    lookup->SetKeyField(QStringLiteral("TSRPC.ISRPCID"));
    lookup->SetListField(QStringLiteral("COMUNE"));
    lookup->SetSearchField(QStringLiteral("TCOM_COMUNI.SCOMDESC"));
    return lookup;
}

void ShowBeneficiariColumns(TVoSearchDialog *form, const QString &caption, const QString &first) {
    form->ShowColumns(caption, 600,
                      {{1, first, 350},
                       {2, QStringLiteral("Codice fiscale"), 100},
                       {3, QStringLiteral("Partita I.V.A."), 100}});
}

// A go-to action on the frame's tool bar, with a picture of the frame's list.
QAction *AddGoTo(TfrVoDBROGrid *frame, const char *text, const char *hint) {
    auto *action = new QAction(QString::fromUtf8(text), frame);
    action->setToolTip(QString::fromUtf8(hint));
    frame->tbControl->addSeparator();
    frame->tbControl->addAction(action);
    return action;
}

} // namespace

TVoDBLookupEdit *NewBeneficiariLookup(QWidget *parent) {
    auto *lookup = new TVoDBLookupEdit(parent);
    lookup->SetListSQL(QString::fromLatin1(kBeneficiariListSQL));
    lookup->SetKeyField(QStringLiteral("TBEN_BENEFICIARI.IBENID"));
    lookup->SetListField(QStringLiteral("SBENRAGSOC"));
    lookup->SetChooseOnly(true);
    VoSetMaxLength(lookup, 120);
    return lookup;
}

// --- Legal data -------------------------------------------------------------------------------------------

TfrDatiLegali::TfrDatiLegali(QWidget *parent) : TfrVoDBRW(parent) {
    setObjectName(QStringLiteral("frDatiLeg"));
    auto *page = new QGridLayout(tsDetail);

    auto *gbFatturato = new QGroupBox(QStringLiteral("Fatturato"), tsDetail);
    auto *turnover = new QGridLayout(gbFatturato);
    xdeAnnoRif = NewDBEdit(gbFatturato, 4);
    xdeAnnoRif->SetCharFilter(kfDigits);
    xdeImportoFatt = new TVoDBCurrencyEdit(gbFatturato);
    AddLabelled(turnover, 0, 0, "Anno di riferimento", xdeAnnoRif);
    AddLabelled(turnover, 0, 2, "Importo", xdeImportoFatt);
    turnover->setColumnStretch(4, 1);
    page->addWidget(gbFatturato, 0, 0, 1, 2);

    const auto registration = [&](const char *caption, TVoDBLookupEdit *&place, TVoDBEdit *&number,
                                  const char *numberCaption, int row) {
        auto *box = new QGroupBox(QString::fromUtf8(caption), tsDetail);
        auto *grid = new QGridLayout(box);
        place = NewPlaceLookup(box);
        place->setMinimumWidth(220);
        number = NewDBEdit(box, 10);
        AddLabelled(grid, 0, 0, "Comune", place);
        AddLabelled(grid, 0, 2, numberCaption, number);
        grid->setColumnStretch(4, 1);
        page->addWidget(box, row, 0, 1, 2);
        place->OnSetSearchQuery.Add(
            [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlComuneSetSearchQuery(s, f); });
        place->OnShowSearchForm.Add(
            [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlComuneShowSearchForm(s, f); });
    };
    registration("Tribunale", xdlTribunale, xdeNumTrib, "Numero iscrizione ", 1);
    registration("Prefettura", xdlPrefettura, xdeNumPref, "Numero iscrizione", 2);
    registration("Camera di commercio (CCIA)", xdlCCIA, xdeNumCCIA, "Numero iscrizione", 3);

    auto *codes = new QGridLayout;
    xdeInps = NewDBEdit(tsDetail, 10);
    xdeInail = NewDBEdit(tsDetail, 10);
    AddLabelled(codes, 0, 0, "Posizione INPS", xdeInps);
    AddLabelled(codes, 0, 2, "Codice ditta INAIL", xdeInail);
    codes->setColumnStretch(4, 1);
    page->addLayout(codes, 4, 0, 1, 2);
    page->setRowStretch(5, 1);
    page->setColumnStretch(1, 1);

    const std::pair<TVoDBControl *, const char *> bindings[] = {
        {xdeAnnoRif, "ILEGANNOFATT"},   {xdeImportoFatt, "FLEGFATTURATO"},  {xdlTribunale, "ILEGSRPCTRIBUN"},
        {xdeNumTrib, "SLEGNUMTRIBUN"},  {xdlPrefettura, "ILEGSRPCPREFETT"}, {xdeNumPref, "SLEGNUMPREFETT"},
        {xdlCCIA, "ILEGSRPCCCIA"},      {xdeNumCCIA, "SLEGNUMCCIA"},        {xdeInps, "sLegPosizInps"},
        {xdeInail, "sLegCodDittaInail"}};
    for (const auto &[control, field] : bindings)
        control->Bind(xdsMain, QString::fromLatin1(field));

    KeepSingleRecord(this);
    xacInsert->OnExecute.Add([this](TVoDataAction *s) { xacInsertExecute(s); });
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
}

void TfrDatiLegali::xacInsertExecute(TVoDataAction *Sender) {
    Sender->ExecuteDefault();
    if (xdsMain->State() == dsInsert)
        DataSet()->FieldByName(QStringLiteral("ILEGANNOFATT"))->SetValue(QDate::currentDate().year());
}

void TfrDatiLegali::xdlComuneSetSearchQuery(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->SetSQL(QString::fromLatin1(kPlacesInForceSQL));
}

void TfrDatiLegali::xdlComuneShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(QStringLiteral("Comuni"), 500,
                      {{1, QStringLiteral("Comune"), 300}, {3, QStringLiteral("Provincia"), 150}});
}

bool TfrDatiLegali::RegistrationComplete(TVoDBLookupEdit *place, TVoDBEdit *number) {
    const bool hasPlace = IsChosenId(place->KeyValue());
    const bool hasNumber = !number->text().trimmed().isEmpty();
    if (hasPlace == hasNumber)
        return true;
    RefuseAt(kRegistrationMsg, hasNumber ? static_cast<QWidget *>(place) : number);
    return false;
}

void TfrDatiLegali::xacPostExecute(TVoDataAction *Sender) {
    if (!xdsMain->Editing() || !xdsMain->UpdateRecord())
        return;
    const int year = xdeAnnoRif->text().trimmed().toInt();
    const bool amount = !(AmountTextToCurrency(xdeImportoFatt->text()) == TVoMoney());
    if ((year != 0) != amount) {
        RefuseAt(kTurnoverMsg, year == 0 ? static_cast<QWidget *>(xdeAnnoRif) : xdeImportoFatt);
        return;
    }
    if (!RegistrationComplete(xdlCCIA, xdeNumCCIA) || !RegistrationComplete(xdlTribunale, xdeNumTrib) ||
        !RegistrationComplete(xdlPrefettura, xdeNumPref))
        return;
    Sender->ExecuteDefault();
}

// --- Representatives ------------------------------------------------------------------------------------

TfrRappresentanti::TfrRappresentanti(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frRappr"));
    grFrame->AddColumn(QStringLiteral("SBENRAGSOC"), QStringLiteral("Rappresentante"), 300);
    grFrame->AddColumn(QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), 140);
    grFrame->AddColumn(QStringLiteral("SBENPARTITAIVA"), QStringLiteral("Partita I.V.A."), 110);

    xdlRappresentante = NewBeneficiariLookup(tsDetail);
    xdlRappresentante->setMinimumWidth(300);
    xdeCodFiscale = NewDBEdit(tsDetail, 20);
    xdePartitaIva = NewDBEdit(tsDetail, 28);
    auto *grid = new QGridLayout(tsDetail);
    AddLabelled(grid, 0, 0, "Rappresentante", xdlRappresentante, 3);
    AddLabelled(grid, 1, 0, "Codice fiscale", xdeCodFiscale);
    AddLabelled(grid, 1, 2, "Partita I.V.A.", xdePartitaIva);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);
    xdlRappresentante->Bind(xdsMain, QStringLiteral("IBENID"));
    xdeCodFiscale->Bind(xdsMain, QStringLiteral("SBENCODFISCALE"));
    xdePartitaIva->Bind(xdsMain, QStringLiteral("SBENPARTITAIVA"));
    xdeCodFiscale->SetReadOnly(true);
    xdePartitaIva->SetReadOnly(true);

    acRappresentante = AddGoTo(this, "Rappresentante", "Vai al Rappresentante");
    connect(acRappresentante, &QAction::triggered, this,
            [this] { VoGuarded([this] { acRappresentanteExecute(); }); });
    xdlRappresentante->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlRappresentanteSetSearchQuery(s, f); });
    xdlRappresentante->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlRappresentanteShowSearchForm(s, f); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *) { xdsMainAfterStateChange(s); });
    xdsMainAfterStateChange(xdsMain);
}

void TfrRappresentanti::acRappresentanteExecute() {
    LocateBeneficiario(CurrentValue(QStringLiteral("IBENID")));
}

void TfrRappresentanti::xdlRappresentanteSetSearchQuery(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    if (PublishersMode()) {
        Form->SetSQL(QString::fromLatin1(kAltriRappresentantiEditoriSQL));
        Form->SetParam(QStringLiteral("IBCAID"), kCategoryRepresentative);
    } else {
        Form->SetSQL(QString::fromLatin1(kAltriBeneficiariSQL));
    }
    Form->SetParam(QStringLiteral("IBENID"), BenType.iBenId);
}

void TfrRappresentanti::xdlRappresentanteShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    ShowBeneficiariColumns(Form, QStringLiteral("Rappresentante"), QStringLiteral("Rappresentante"));
}

void TfrRappresentanti::xdsMainAfterStateChange(TVoDataSource *Sender) {
    acRappresentante->setEnabled(Sender->State() == dsBrowse &&
                                 !CurrentValue(QStringLiteral("IBENID")).isNull());
}

// --- Substitutions ----------------------------------------------------------------------------------------

TfrSostituzioni::TfrSostituzioni(QWidget *parent) : TfrVoDBRW(parent) {
    setObjectName(QStringLiteral("frSostitBen"));
    auto *page = new QVBoxLayout(tsDetail);

    auto *gbSostituisce = new QGroupBox(QStringLiteral("Sostituisce"), tsDetail);
    auto *replaced = new QGridLayout(gbSostituisce);
    xdeSostituito = NewDBEdit(gbSostituisce, 120);
    xddDataSostituito = new TVoDBDateEdit(gbSostituisce);
    AddLabelled(replaced, 0, 0, "Beneficiario sostituito", xdeSostituito);
    AddLabelled(replaced, 1, 0, "Data sostituzione", xddDataSostituito);
    xdeSostituito->setMinimumWidth(300);
    replaced->setColumnStretch(2, 1);
    xdeSostituito->Bind(xdsSecond, QStringLiteral("SBENRAGSOC"));
    xddDataSostituito->Bind(xdsSecond, QStringLiteral("DSTART"));
    page->addWidget(gbSostituisce);

    auto *gbSostituito = new QGroupBox(QStringLiteral("E' sostituito da"), tsDetail);
    auto *substitute = new QGridLayout(gbSostituito);
    xdlSostituente = NewBeneficiariLookup(gbSostituito);
    xddData = new TVoDBDateEdit(gbSostituito);
    xddData->SetPickerKey(119);
    xddData->SetDialogTitle(QStringLiteral("Selezionare una Data"));
    AddLabelled(substitute, 0, 0, "Beneficiario sostituente", xdlSostituente);
    AddLabelled(substitute, 1, 0, "Data sostituzione", xddData);
    xdlSostituente->setMinimumWidth(300);
    substitute->setColumnStretch(2, 1);
    xdlSostituente->Bind(xdsMain, QStringLiteral("IBENID"));
    xddData->Bind(xdsMain, QStringLiteral("DSTART"));
    page->addWidget(gbSostituito);
    page->addStretch(1);

    acSostituito = AddGoTo(this, "Sostituito", "Vai al sostituito");
    acSostituente = new QAction(QStringLiteral("Sostituente"), this);
    acSostituente->setToolTip(QStringLiteral("Vai al sostituente"));
    tbControl->addAction(acSostituente);
    connect(acSostituito, &QAction::triggered, this,
            [this] { VoGuarded([this] { acSostituitoExecute(); }); });
    connect(acSostituente, &QAction::triggered, this,
            [this] { VoGuarded([this] { acSostituenteExecute(); }); });

    KeepSingleRecord(this);
    xdlSostituente->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlSostituenteSetSearchQuery(s, f); });
    xdlSostituente->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlSostituenteShowSearchForm(s, f); });
    xddData->OnAcceptDate.Add([this](QWidget *s) { xddDataAcceptDate(s); });
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *) { xdsMainAfterStateChange(s); });
    xdsSecond->OnDataChange.Add([this](TVoDataSource *, TVoField *) { xdsMainAfterStateChange(xdsMain); });
    xdsMainAfterStateChange(xdsMain);
}

void TfrSostituzioni::acSostituitoExecute() {
    const TVoQueryCollection *c = xdsSecond->DataSet();
    if (c && c->Active() && !c->IsEmpty())
        LocateBeneficiario(c->FieldByName(QStringLiteral("IBENID_P"))->Value());
}

void TfrSostituzioni::acSostituenteExecute() {
    LocateBeneficiario(CurrentValue(QStringLiteral("IBENID")));
}

void TfrSostituzioni::xdlSostituenteSetSearchQuery(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    if (PublishersMode()) {
        Form->SetSQL(QString::fromLatin1(kAltriSostituentiEditoriSQL));
        Form->SetParam(QStringLiteral("IBCAID1"), kCategoryRepresentative);
        Form->SetParam(QStringLiteral("IBCAID2"), kCategoryPublisher);
    } else {
        Form->SetSQL(QString::fromLatin1(kAltriBeneficiariSQL));
    }
    Form->SetParam(QStringLiteral("IBENID"), BenType.iBenId);
}

void TfrSostituzioni::xdlSostituenteShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    ShowBeneficiariColumns(Form, QStringLiteral("Beneficiario sostituente"),
                           QStringLiteral("Ragione sociale"));
}

void TfrSostituzioni::xddDataAcceptDate(QWidget *) {
    if (xdsMain->State() == dsBrowse)
        EditForChoice(this);
}

void TfrSostituzioni::xacPostExecute(TVoDataAction *Sender) {
    if (!xdsMain->Editing() || !xdsMain->UpdateRecord())
        return;
    if (xddData->IsEmpty()) {
        RefuseAt(kDateRequiredMsg, xddData);
        return;
    }
    Sender->ExecuteDefault();
}

void TfrSostituzioni::xdsMainAfterStateChange(TVoDataSource *Sender) {
    const bool browse = Sender->State() == dsBrowse;
    const TVoQueryCollection *replaced = xdsSecond->DataSet();
    acSostituito->setEnabled(browse && replaced && replaced->Active() && !replaced->IsEmpty());
    acSostituente->setEnabled(browse && !CurrentValue(QStringLiteral("IBENID")).isNull());
}
