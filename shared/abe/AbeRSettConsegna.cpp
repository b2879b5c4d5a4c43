#include "AbeRSettConsegna.h"

#include "AbeMSettCons.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDBMoneyEdit.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"

#include <QToolBar>

namespace {

const char *const kBuildingListSQL =
    " SELECT TEDF_EDIFICIO.IEDFID, TEDF_EDIFICIO.SEDFCODICE, TEDF_EDIFICIO.SEDFDESCS FROM TEDF_EDIFICIO "
    "WHERE ##WHERE## AND TEDF_EDIFICIO.DDELETE IS NULL";
const char *const kBuildingSearchSQL =
    " SELECT TEDF_EDIFICIO.IEDFID, TEDF_EDIFICIO.SEDFCODICE, TEDF_EDIFICIO.SEDFDESCS FROM TEDF_EDIFICIO "
    "WHERE TEDF_EDIFICIO.DDELETE IS NULL ORDER BY ##ORDERBY##";
const char *const kRoomListSQL =
    " SELECT TSTZ_STANZA.ISTZID, TSTZ_STANZA.ISTZNUM, TSTZ_STANZA.SSTZSDESC FROM TSTZ_STANZA WHERE ##WHERE## "
    "AND DDELETE IS NULL AND TSTZ_STANZA.IEDFID = :IEDFID";
const char *const kRoomSearchSQL =
    " SELECT TSTZ_STANZA.ISTZID, TSTZ_STANZA.ISTZNUM, TSTZ_STANZA.SSTZSDESC FROM TSTZ_STANZA WHERE "
    "TSTZ_STANZA.DDELETE IS NULL AND TSTZ_STANZA.IEDFID = :IEDFID ORDER BY ##ORDERBY##";
const char *const kTrovaSQL =
    " SELECT TSEC_SETTCONS.ISECID, TSEC_SETTCONS.SSECCOD, TSEC_SETTCONS.SSECDESCS, TSTZ_STANZA.ISTZNUM, "
    "TSTZ_STANZA.SSTZSDESC, TEDF_EDIFICIO.SEDFDESCS FROM TSEC_SETTCONS LEFT OUTER JOIN TSTZ_STANZA ON "
    "(TSTZ_STANZA.ISTZID = TSEC_SETTCONS.ISTZID AND TSTZ_STANZA.DDELETE IS NULL) LEFT JOIN TEDF_EDIFICIO ON "
    "(TEDF_EDIFICIO.IEDFID = TSTZ_STANZA.IEDFID AND TEDF_EDIFICIO.DDELETE IS NULL) WHERE "
    "TSEC_SETTCONS.DDELETE IS NULL ORDER BY ##ORDERBY##";
const char *const kCodeRequired = "Attenzione!\r\nValore obbligatorio per il campo \"Codice\"";
const char *const kHistoricisedHint = "Visualizza settori storicizzati";

TVoDBMoneyEdit *AddAmount(TfrVoDBRWGrid *frame, const char *caption, const char *field) {
    auto *edit =
        VoAddDetailControl<TVoDBMoneyEdit>(frame, QString::fromUtf8(caption), QString::fromLatin1(field));
    edit->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return edit;
}

void SetUpLookup(TVoDBLookupEdit *lookup, const char *keyField, const char *listField) {
    lookup->SetKeyField(QString::fromLatin1(keyField));
    lookup->SetListField(QString::fromLatin1(listField));
    lookup->SetAutoSeek(false);
}

} // namespace

TfrSettConsegna::TfrSettConsegna(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SSECCOD"), 5)),
      xedDescrizione(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SSECDESCS"), 60)),
      xedNote(VoAddDetailEdit(this, QStringLiteral("Note"), QStringLiteral("SSECDESCL"), 60)),
      xneDisponibilita(AddAmount(this, "Disponibilità", "ISECDISPONIBILITA")),
      xneSbilanciamento(AddAmount(this, "Sbilanciamento", "ISECSBILANCIAMENTO")),
      xneStanziamento(AddAmount(this, "Sbilanciamento annuo", "ISECSTANZIAMENTO")),
      xelEdificio(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Edificio"), QStringLiteral("IEDFID"))),
      xelStanza(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Stanza"), QStringLiteral("ISTZID"))),
      xddFine(VoAddDetailControl<TVoDBDateEdit>(this, QStringLiteral("Data fine Validità"),
                                                QStringLiteral("DEND"))),
      xacStorico(new QAction(QString::fromLatin1(kHistoricisedHint), this)),
      xacTrova(new QAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Trova"),
                           this)),
      imgTogliFiltro(Images().Add(style()->standardIcon(QStyle::SP_DialogResetButton))),
      imgStorico(Images().Add(style()->standardIcon(QStyle::SP_FileDialogDetailedView))) {
    setObjectName(QStringLiteral("frSettConsegna"));
    grFrame->AddColumn(QStringLiteral("SSECCOD"), QStringLiteral("Codice"));
    grFrame->AddColumn(QStringLiteral("SSECDESCS"), QStringLiteral("Settore di consegna"), 300);
    grFrame->AddColumn(QStringLiteral("ISTZNUM"), QStringLiteral("Num. Stanza"), 0, Qt::AlignRight);
    grFrame->AddColumn(QStringLiteral("SSTZSDESC"), QStringLiteral("Stanza"), 200);
    grFrame->AddColumn(QStringLiteral("SEDFCODICE"), QStringLiteral("Cod. Edificio"));
    grFrame->AddColumn(QStringLiteral("SEDFDESCS"), QStringLiteral("Edificio"), 200);
    xedCodice->SetUpperCase(true);
    // Descriptions and places of a few words, not the width of the window.
    for (QWidget *wide : std::initializer_list<QWidget *>{xedDescrizione, xedNote, xelEdificio, xelStanza})
        wide->setMaximumWidth(420);

    SetUpLookup(xelEdificio, "TEDF_EDIFICIO.IEDFID", "SEDFDESCS");
    xelEdificio->SetListSQL(QString::fromLatin1(kBuildingListSQL));
    SetUpLookup(xelStanza, "TSTZ_STANZA.ISTZID", "SSTZSDESC");
    SetRoomList(QVariant());
    xelEdificio->OnSetSearchQuery.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        Form->SetSQL(QString::fromLatin1(kBuildingSearchSQL));
    });
    xelStanza->OnSetSearchQuery.Add([this](TVoDBLookupEdit *, TVoSearchDialog *Form) {
        Form->SetSQL(QString::fromLatin1(kRoomSearchSQL));
        Form->SetParam(QStringLiteral("IEDFID"), xelEdificio->KeyValue().toInt());
    });
    for (TVoDBLookupEdit *lookup : {xelEdificio, xelStanza})
        lookup->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *Form) {
            Form->ShowColumns(QStringLiteral("Sede"), 600,
                              {{1, QStringLiteral("Codice"), 100}, {2, QStringLiteral("Descrizione"), 300}});
        });

    xacTrova->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_T));
    xacTrova->setToolTip(xacTrova->text());
    xacStorico->setCheckable(true);
    auto *tools = new QToolBar(this);
    tools->setIconSize(QSize(16, 16));
    for (QAction *action : {xacStorico, xacTrova}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        tools->addAction(action);
    }
    AddControlWidget(tools);
    ShowToggle();
    connect(xacStorico, &QAction::triggered, this, [this] { VoGuarded([this] { xacStoricoExecute(); }); });
    connect(xacTrova, &QAction::triggered, this, [this] { VoGuarded([this] { xacTrovaExecute(); }); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *Field) { xdsMainDataChange(Field); });
    xelEdificio->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelEdificioChangeFKValue(); });
}

void TfrSettConsegna::Bind(TVoQueryCollection *dataSet) {
    m_hooks.Clear();
    SetDataSet(dataSet);
    for (TVoDBLookupEdit *lookup : {xelEdificio, xelStanza})
        lookup->SetConnection(dataSet->Connection());
    // After the data source's own hook, which writes the controls.
    m_hooks.Add(dataSet, dataSet->BeforePost, [this](TVoQueryCollection *) { DataSetBeforePost(); });
}

void TfrSettConsegna::SetRoomList(const QVariant &building) {
    xelStanza->SetListSQL(QString::fromLatin1(kRoomListSQL));
    xelStanza->ListDataSet()->SetParam(QStringLiteral("IEDFID"), building.isNull() ? QVariant(0) : building);
    xelStanza->RefreshList();
}

void TfrSettConsegna::xdsMainDataChange(TVoField *Field) {
    const TVoQueryCollection *c = DataSet();
    if (Field || !c || !c->Active())
        return;
    SetRoomList(c->IsEmpty() ? QVariant() : c->FieldByName(QStringLiteral("IEDFID"))->Value());
}

void TfrSettConsegna::xelEdificioChangeFKValue() {
    if (!xdsMain->Editing())
        return;
    xelStanza->SetKeyValue(QVariant());
    SetRoomList(xelEdificio->KeyValue());
}

void TfrSettConsegna::DataSetBeforePost() {
    if (!DataSet()->FieldByName(QStringLiteral("SSECCOD"))->AsString().trimmed().isEmpty())
        return;
    VoMessageBox(QString::fromLatin1(kCodeRequired));
    ShowDetail();
    xedCodice->setFocus(Qt::OtherFocusReason);
    throw EVoAbort();
}

void TfrSettConsegna::ShowCurrent() {
    Storicizzati = false;
    dmSecSettCons->SetHistoricised(false);
    ShowToggle();
}

void TfrSettConsegna::ShowToggle() {
    SetActionImage(xacStorico, Storicizzati ? imgTogliFiltro : imgStorico);
    xacStorico->setToolTip(Storicizzati ? QStringLiteral("Togli Filtro")
                                        : QString::fromLatin1(kHistoricisedHint));
    xacStorico->setChecked(Storicizzati);
}

void TfrSettConsegna::xacStoricoExecute() {
    xacStorico->setChecked(Storicizzati);
    // The other list is read only once what is being typed is saved.
    if (xdsMain->Editing() && !DataSet()->Post())
        return;
    Storicizzati = !Storicizzati;
    ShowToggle();
    dmSecSettCons->SetHistoricised(Storicizzati);
    DataSet()->Open();
}

void TfrSettConsegna::xacTrovaExecute() {
    TVoSearchDialog form(this);
    form.SetSQL(QString::fromLatin1(kTrovaSQL));
    form.ShowColumns(QStringLiteral("Settori di consegna"), 600,
                     {{1, QStringLiteral("Codice"), 80},
                      {2, QStringLiteral("Sett. consegna"), 200},
                      {3, QStringLiteral("Num. stanza"), 80},
                      {4, QStringLiteral("Stanza"), 150},
                      {5, QStringLiteral("Edificio"), 150}});
    TVoQueryCollection *c = DataSet();
    if (c && c->Active() && !c->IsEmpty())
        form.SetSelectedID(c->FieldByName(QStringLiteral("ISECID"))->Value());
    if (form.Execute() && form.SelectedID().isValid() && form.SelectedID().toInt() >= 0)
        c->Locate(QStringLiteral("ISECID"), form.SelectedID());
}
