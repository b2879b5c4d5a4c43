#include "AbiRSedi.h"

#include "AbiMBen.h"
#include "AbiMCom.h"
#include "AbiRCommon.h"
#include "AbiUCom.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"

#include <QGridLayout>
#include <QLabel>

namespace {

// The localities of a municipality.
const char *const kLocalitiesOfPlaceSQL =
    " SELECT TCAP.ICAPID, TCAP.SCAPVALUE, TFRAQUA.IFRAQUAID, TFRAQUA.SFRAQUADESC, TCOMCAP.ICOMCAPID, "
    "TCOMCAP.ISRPCID FROM TCOMCAP LEFT OUTER JOIN TCAP ON (TCOMCAP.ICAPID = TCAP.ICAPID AND TCAP.DDELETE IS "
    "NULL) LEFT OUTER JOIN TFRAQUA  ON (TCOMCAP.IFRAQUAID = TFRAQUA.IFRAQUAID  AND TFRAQUA.DDELETE IS NULL) "
    "INNER JOIN TSRPC ON (TCOMCAP.ISRPCID = TSRPC.ISRPCID) WHERE TCOMCAP.ISRPCID = :ISRPCID AND "
    "TCOMCAP.DDELETE IS NULL";
const char *const kLocalitySearchSQL =
    " SELECT TCAP.ICAPID, TCAP.SCAPVALUE, TFRAQUA.IFRAQUAID, TFRAQUA.SFRAQUADESC, TCOMCAP.ICOMCAPID, "
    "TSRPC.ISRPCID FROM TCOMCAP LEFT OUTER JOIN TCAP ON (TCOMCAP.ICAPID = TCAP.ICAPID AND TCAP.DDELETE IS "
    "NULL) LEFT OUTER JOIN TFRAQUA  ON (TCOMCAP.IFRAQUAID = TFRAQUA.IFRAQUAID  AND TFRAQUA.DDELETE IS NULL) "
    "INNER JOIN TSRPC ON (TCOMCAP.ISRPCID = TSRPC.ISRPCID) WHERE TCOMCAP.DDELETE IS NULL AND "
    "TCOMCAP.ISRPCID = :ISRPCID";
const char *const kLocalitySQL =
    " SELECT TCAP.ICAPID, TCAP.SCAPVALUE, TFRAQUA.IFRAQUAID, TFRAQUA.SFRAQUADESC, TCOMCAP.ICOMCAPID, "
    "TCOMCAP.ISRPCID FROM TCOMCAP LEFT OUTER JOIN TCAP ON (TCOMCAP.ICAPID = TCAP.ICAPID AND TCAP.DDELETE IS "
    "NULL) LEFT OUTER JOIN TFRAQUA  ON (TCOMCAP.IFRAQUAID = TFRAQUA.IFRAQUAID  AND TFRAQUA.DDELETE IS NULL) "
    "WHERE TCOMCAP.DDELETE IS NULL AND TCOMCAP.ICOMCAPID = :ICOMCAPID";
const char *const kTipoSedeListSQL =
    " SELECT TTPS_TIPOSEDE.ITPSID, TTPS_TIPOSEDE.STPSDESCS, TTPS_TIPOSEDE.STPSDESCL FROM TTPS_TIPOSEDE WHERE "
    "##WHERE## AND TTPS_TIPOSEDE.DDELETE IS NULL ORDER BY TTPS_TIPOSEDE.ITPSID";

const QString kReferenceQuestion = QStringLiteral(
    "Attenzione!\n\rLa sede corrente diventerà quella di riferimento e di conseguenza tutte le altre non "
    "potranno più esserlo. \n\rContinuare ?");
const QString kNoReference = QStringLiteral(
    "Attenzione!\n\rImpossibile proseguire perchè nessuna sede risulta essere di riferimento. \n\rPer "
    "impostare la sede di riferimento selezionare l'apposita casella dell'elemento interessato.");
const QString kReferenceDelete = QStringLiteral(
    "Attenzione!\n\rImpossibile cancellare una sede  di riferimento. \n\rImpostare prima un'altra sede di "
    "riferimento e poi procedere con l'eliminazione.");
const QString kAddressInvalid = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Indirizzo\"");
const QString kCapInvalid = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"CAP\"");
const QString kCapNotNumeric = QStringLiteral("Il CAP contiene dei caratteri non numerici. Vuoi continuare?");
const QString kCapLength = QStringLiteral("Il CAP non ha lunghezza 5 caratteri. Vuoi continuare?");

int IdOf(const QVariant &value) {
    return value.isNull() || !value.isValid() ? -1 : value.toInt();
}

} // namespace

// --- The locality entry ------------------------------------------------------------------------------

TAbiLocalityEntry::TAbiLocalityEntry(TfrVoDBRWGrid *frame, TComCapFraType &locality)
    : QObject(frame), xdlComune(new TVoDBLookupEdit(frame->tsDetail)), xdeCAP(new TVoDBEdit(frame->tsDetail)),
      xdeFraQua(new TVoDBEdit(frame->tsDetail)), fmSearchDialog(new TVoSearchDialog(frame)), m_frame(frame),
      m_locality(locality) {
    laComune = new QLabel(QStringLiteral("Comune"), frame->tsDetail);
    laCAP = new QLabel(QStringLiteral("CAP"), frame->tsDetail);
    laFraQua = new QLabel(QStringLiteral("Quartiere"), frame->tsDetail);
    laComune->setBuddy(xdlComune);
    laCAP->setBuddy(xdeCAP);
    laFraQua->setBuddy(xdeFraQua);
    xdlComune->SetListSQL(QString::fromLatin1(kPlacesWithStateSQL));
    xdlComune->SetKeyField(QStringLiteral("TSRPC.ISRPCID"));
    xdlComune->SetListField(QStringLiteral("COMUNE"));
    xdlComune->SetSearchField(QStringLiteral("TCOM_COMUNI.SCOMDESC"));
    xdlComune->SetSearchFormClass(QStringLiteral("TfmSearchLoco"));
    // Room for a city, its province and its state.
    xdlComune->setMinimumWidth(260);
    VoSetMaxLength(xdeCAP, 10);
    VoSetMaxLength(xdeFraQua, 100);
    xdlComune->Bind(frame->xdsMain, QStringLiteral("ISRPCID"));
    xdeCAP->Bind(frame->xdsMain, QStringLiteral("SCAPVALUE"));
    xdeFraQua->Bind(frame->xdsMain, QStringLiteral("SFRAQUADESC"));

    xdlComune->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlComuneSetSearchQuery(s, f); });
    xdlComune->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlComuneShowSearchForm(s, f); });
    xdlComune->OnChangeFKValue.Add([this](TVoDBLookupEdit *s) { xdlComuneChangeFKValue(s); });
    xdeCAP->OnKeyDown.Add([this](QWidget *, int &key, Qt::KeyboardModifiers) { xdeCAPKeyDown(key); });
    xdeFraQua->OnKeyDown.Add([this](QWidget *, int &key, Qt::KeyboardModifiers) { xdeFraQuaKeyDown(key); });
    fmSearchDialog->OnClose.Add([this](TVoSearchDialog *s) { fmSearchDialogClose(s); });
}

void TAbiLocalityEntry::xdlComuneSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form) {
    SetPlacesOfStateSearch(Sender, Form);
}

void TAbiLocalityEntry::xdlComuneShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form) {
    ShowPlacesSearchForm(Sender, Form);
}

void TAbiLocalityEntry::SetField(const char *field, const QVariant &value) {
    TVoQueryCollection *c = m_frame->DataSet();
    if (c && (c->State() == dsInsert || c->State() == dsEdit))
        c->FieldByName(QString::fromLatin1(field))->SetValue(value);
}

void TAbiLocalityEntry::ShowLocality(const QVariant &cap, const QVariant &fraQua) {
    SetField("SCAPVALUE", cap);
    SetField("SFRAQUADESC", fraQua);
    xdeCAP->setText(cap.toString());
    xdeFraQua->setText(fraQua.toString());
}

// A municipality with a single locality names it at once; with several the user picks one (F8).
void TAbiLocalityEntry::xdlComuneChangeFKValue(TVoDBLookupEdit *Sender) {
    const int place = IdOf(Sender->KeyValue());
    TVoQuery q(QString::fromLatin1(kLocalitiesOfPlaceSQL), m_frame->DataSet()->Connection());
    q.SetParam(QStringLiteral("ISRPCID"), place).Open();
    const int count = q.CountToEnd();
    q.Close();
    m_locality.iSrpcId = place;
    if (count == 1) {
        q.Open();
        m_locality.iComCapId = q.AsInteger(QStringLiteral("ICOMCAPID"), -1);
        m_locality.iCapId = q.AsInteger(QStringLiteral("ICAPID"), -1);
        m_locality.iFraQuaId = q.AsInteger(QStringLiteral("IFRAQUAID"), -1);
        m_locality.sCapValue = q.AsString(QStringLiteral("SCAPVALUE"));
        m_locality.sFraQuaDesc = q.AsString(QStringLiteral("SFRAQUADESC"));
        ShowLocality(q.Value(QStringLiteral("SCAPVALUE")), q.Value(QStringLiteral("SFRAQUADESC")));
        return;
    }
    m_locality.iComCapId = m_locality.iCapId = m_locality.iFraQuaId = -1;
    m_locality.sCapValue.clear();
    m_locality.sFraQuaDesc.clear();
    ShowLocality(QVariant(), QVariant());
}

bool TAbiLocalityEntry::Typing(int key) {
    return key == Qt::Key_Backspace || key == Qt::Key_Delete ||
           (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis);
}

void TAbiLocalityEntry::BeginTyping() {
    if (m_frame->xdsMain->State() == dsBrowse && m_frame->xdsMain->AutoEdit() && !m_frame->ReadOnly())
        EditForChoice(m_frame);
}

void TAbiLocalityEntry::xdeCAPKeyDown(int &Key) {
    KeyDown(Key, true);
}

void TAbiLocalityEntry::xdeFraQuaKeyDown(int &Key) {
    KeyDown(Key, false);
}

// Typing a postcode leaves its hamlet and locality to be found again; typing a hamlet, its locality.
void TAbiLocalityEntry::KeyDown(int &Key, bool cap) {
    if (Key == Qt::Key_F8) {
        SearchLocality();
        Key = 0;
        return;
    }
    if (!Typing(Key))
        return;
    BeginTyping();
    m_locality.iComCapId = m_locality.iFraQuaId = -1;
    m_locality.sCapValue = xdeCAP->text();
    if (cap) {
        m_locality.iCapId = -1;
        SetField("SFRAQUADESC", QVariant());
        xdeFraQua->clear();
    } else {
        m_locality.sFraQuaDesc = xdeFraQua->text();
    }
}

void TAbiLocalityEntry::SearchLocality() {
    const int place = IdOf(xdlComune->KeyValue());
    fmSearchDialog->SetSQL(QString::fromLatin1(kLocalitySearchSQL));
    fmSearchDialog->SetParam(QStringLiteral("ISRPCID"), place);
    fmSearchDialog->SetDefaultColumnsVisible(false);
    fmSearchDialog->ShowColumns(
        fmSearchDialog->windowTitle(), fmSearchDialog->width(),
        {{1, QStringLiteral("CAP"), 50}, {3, QStringLiteral("Quartiere/Frazione"), 400}});
    fmSearchDialog->SetKeyField(QStringLiteral("ICOMCAPID"));
    fmSearchDialog->SetSelectedID(m_locality.iComCapId);
    const int previous = m_locality.iComCapId;
    if (!fmSearchDialog->Execute())
        return;
    TVoQuery q(QString::fromLatin1(kLocalitySQL), m_frame->DataSet()->Connection());
    q.SetParam(QStringLiteral("ICOMCAPID"), fmSearchDialog->SelectedID()).Open();
    if (q.Eof())
        return;
    m_locality.iComCapId = q.AsInteger(QStringLiteral("ICOMCAPID"), -1);
    m_locality.iSrpcId = q.AsInteger(QStringLiteral("ISRPCID"), -1);
    m_locality.iCapId = q.AsInteger(QStringLiteral("ICAPID"), -1);
    m_locality.iFraQuaId = q.AsInteger(QStringLiteral("IFRAQUAID"), -1);
    m_locality.sCapValue = q.AsString(QStringLiteral("SCAPVALUE"));
    m_locality.sFraQuaDesc = q.AsString(QStringLiteral("SFRAQUADESC"));
    if (m_locality.iComCapId != previous && m_frame->xdsMain->State() == dsBrowse)
        EditForChoice(m_frame);
    ShowLocality(q.Value(QStringLiteral("SCAPVALUE")), q.Value(QStringLiteral("SFRAQUADESC")));
}

void TAbiLocalityEntry::fmSearchDialogClose(TVoSearchDialog *Sender) {
    Sender->DataSet()->Close();
}

bool TAbiLocalityEntry::Resolve() {
    m_locality.iSrpcId = IdOf(xdlComune->KeyValue());
    m_locality.sCapValue = xdeCAP->text().trimmed();
    m_locality.sFraQuaDesc = xdeFraQua->text().trimmed();
    return dmBeneficiari && dmBeneficiari->GetOrAddComCap(m_locality);
}

// --- Seats ------------------------------------------------------------------------------------------------

TfrSedi::TfrSedi(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frSediBen"));
    AddColumns(grFrame, {{"SSEBINDIRIZZO", "Indirizzo", 250},
                         {"SCOMDESC", "Comune", 180},
                         {"SPROSIGLA", "Provincia", 70},
                         {"SCAPVALUE", "CAP", 60},
                         {"SFRAQUADESC", "Frazione/Quartiere", 180}});

    xdeIndirizzo = new TVoDBEdit(tsDetail);
    VoSetMaxLength(xdeIndirizzo, 80);
    Locality = new TAbiLocalityEntry(this, SeatComCapFra);
    xdlComune = Locality->xdlComune;
    xdeCAP = Locality->xdeCAP;
    xdeFraQua = Locality->xdeFraQua;
    fmSearchDialog = Locality->fmSearchDialog;
    xckRiferimento = new TVoDBCheckBox(QStringLiteral("Sede di riferimento"), tsDetail);

    auto *grid = new QGridLayout(tsDetail);
    laIndirizzo = AddLabelled(grid, 0, 0, "Indirizzo", xdeIndirizzo, 3);
    grid->addWidget(Locality->laComune, 1, 0);
    grid->addWidget(xdlComune, 1, 1, 1, 3);
    grid->addWidget(Locality->laCAP, 2, 0);
    grid->addWidget(xdeCAP, 2, 1);
    grid->addWidget(Locality->laFraQua, 2, 2);
    grid->addWidget(xdeFraQua, 2, 3);
    grid->addWidget(xckRiferimento, 3, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    xdeIndirizzo->Bind(xdsMain, QStringLiteral("SSEBINDIRIZZO"));
    xckRiferimento->Bind(xdsMain, QStringLiteral("LSEBRIFERIMENTO"));

    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
    xacDelete->OnExecute.Add([this](TVoDataAction *s) { xacDeleteExecute(s); });
}

int TfrSedi::SavedSeats() const {
    TVoQueryCollection *c = DataSet();
    if (!c || !c->Active())
        return 0;
    return c->RecordCount() - (c->State() == dsInsert ? 1 : 0);
}

bool TfrSedi::ConfirmReference() {
    if (VoMessageDlg(kReferenceQuestion, mtWarning, mbYesNo) == mrYes)
        return true;
    xckRiferimento->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrSedi::Warn(const QString &message, QWidget *control) {
    VoMessageDlg(message, mtWarning, mbOK);
    control->setFocus(Qt::OtherFocusReason);
}

bool TfrSedi::Ask(const QString &message, QWidget *control) {
    if (VoMessageDlg(message, mtWarning, mbYesNo) == mrYes)
        return true;
    control->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrSedi::xacPostExecute(TVoDataAction *Sender) {
    if (!xdsMain->Editing() || !xdsMain->UpdateRecord())
        return;
    TVoField *reference = DataSet()->FieldByName(QStringLiteral("LSEBRIFERIMENTO"));
    if (SavedSeats() == 0)
        reference->SetValue(1);
    const bool ticked = reference->AsInteger() == 1;
    if (xdsMain->State() == dsEdit) {
        const bool wasReference = reference->OldValue().toInt() == 1;
        if (ticked && !wasReference && !ConfirmReference())
            return;
        if (!ticked && wasReference) {
            VoMessageDlg(kNoReference, mtError, mbOK);
            return;
        }
    } else if (ticked && SavedSeats() > 0 && !ConfirmReference()) {
        return;
    }
    if (dmBeneficiari)
        dmBeneficiari->BenReferenceSeat = ticked;

    const QString cap = xdeCAP->text().trimmed();
    if (xdeIndirizzo->text().trimmed().isEmpty())
        return Warn(kAddressInvalid, xdeIndirizzo);
    if (cap.isEmpty() && xdlComune->ListValue(QStringLiteral("ISTAID")).toInt() == kHomeStateId)
        return Warn(kCapInvalid, xdeCAP);
    bool number = false;
    const int value = cap.toInt(&number);
    if (!(number && value > 0) && !Ask(kCapNotNumeric, xdeCAP))
        return;
    if (cap.length() != 5 && !Ask(kCapLength, xdeCAP))
        return;
    if (!Locality->Resolve())
        return;
    Sender->ExecuteDefault();
    // The other seats have lost their mark: the list shows it.
    if (!xdsMain->Editing() && ticked)
        DataSet()->Refresh();
}

void TfrSedi::xacDeleteExecute(TVoDataAction *Sender) {
    if (CurrentValue(QStringLiteral("LSEBRIFERIMENTO")).toInt() == 1 && SavedSeats() > 1) {
        VoMessageDlg(kReferenceDelete, mtError, mbOK);
        return;
    }
    Sender->ExecuteDefault();
}

// --- Seat types -------------------------------------------------------------------------------------------

TfrTipoSede::TfrTipoSede(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frTpSede"));
    grFrame->AddColumn(QStringLiteral("STPSDESCL"), QStringLiteral("Tipologia sede"), 300);
    xdlTipoSede = new TVoDBLookupEdit(tsDetail);
    xdlTipoSede->SetListSQL(QString::fromLatin1(kTipoSedeListSQL));
    xdlTipoSede->SetKeyField(QStringLiteral("TTPS_TIPOSEDE.ITPSID"));
    xdlTipoSede->SetListField(QStringLiteral("STPSDESCL"));
    xdlTipoSede->Bind(xdsMain, QStringLiteral("ITPSID"));
    auto *grid = new QGridLayout(tsDetail);
    laTipoSede = AddLabelled(grid, 0, 0, "Tipologia di sede", xdlTipoSede);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
    xdlTipoSede->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlTipoSedeShowSearchForm(s, f); });
}

void TfrTipoSede::xdlTipoSedeShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(QStringLiteral("Tipologie di sedi"), 500,
                      {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}});
}
