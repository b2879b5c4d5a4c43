#include "AbcFFac.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQueryCollection.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const char *const kTypeListSQL = "SELECT ITFCID, STFCLDESC FROM TTfc_TipoVelist WHERE ##WHERE## AND %1 ";
const char *const kDeleteSQL = "DELETE FROM TFac_Velisto WHERE iFacId=:VOCURRID;";

const char *const kLinkedSQL = "SELECT FIRST 1 iDwgFacId FROM TDwgFac WHERE iFacId = :iFacId";
const char *const kLinkedMessage =
    "Attenzione ! \r\nIl Velisto è collegato ad un istituto: per cancellarlo bisogna prima "
    "cancellarne il collegamento in \"Nuovo Anno\". ";

} // namespace

// --- TfrAbcTFac -------------------------------------------------------------------------------------

TfrAbcTFac::TfrAbcTFac(const QString &typeCaption, QWidget *parent) : TfrVoDBRWGrid(parent) {
    grFrame->AddColumn(QStringLiteral("sFacDesc"), QStringLiteral("Descrizione"), 370);
    grFrame->AddColumn(QStringLiteral("sTfcLDesc"), typeCaption, 200);

    xdeDesc = new TVoDBEdit(tsDetail);
    xdeDesc->setMaxLength(32);
    laDesc = new QLabel(QStringLiteral("Descrizione"), tsDetail);
    laDesc->setBuddy(xdeDesc);

    xelTipoFac = new TVoDBLookupEdit(tsDetail);
    xelTipoFac->SetKeyField(QStringLiteral("iTfcId"));
    xelTipoFac->SetListField(QStringLiteral("sTfcLDesc"));
    xelTipoFac->SetSearchField(QStringLiteral("sTfcLDesc"));
    xelTipoFac->SetSearchFormClass(QStringLiteral("TfmVoSearch"));
    xelTipoFac->SetAutoSeek(false);
    xelTipoFac->SetDefaultValue(0);
    laTipoFac = new QLabel(QStringLiteral("Tipo Velisto"), tsDetail);
    laTipoFac->setBuddy(xelTipoFac);
    // The state rule opens it while a register is made.
    SetControlWritable(xelTipoFac, false);

    m_form = new QFormLayout(tsDetail);
    m_form->addRow(laDesc, xdeDesc);
    m_form->addRow(laTipoFac, xelTipoFac);

    xdeDesc->SetDataSource(xdsMain);
    xdeDesc->SetDataField(QStringLiteral("sFacDesc"));
    xelTipoFac->SetDataSource(xdsMain);
    xelTipoFac->SetDataField(QStringLiteral("iTfcId"));

    xdeDesc->OnValidate.Add([this](QWidget *s, bool &ok, QString &msg) { xdeDescValidate(s, ok, msg); });
    // A register without its type would be listed by neither program: it is refused.
    xelTipoFac->OnValidate.Add(
        [this](QWidget *s, bool &ok, QString &msg) { xelTipoFacValidate(s, ok, msg); });
    xelTipoFac->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xelTipoFacShowSearchForm(s, f); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
    OnDetailShow.Add([this](TfrVoDBRWGrid *s) { tsDetailShow(s); });
}

void TfrAbcTFac::xdeDescValidate(QWidget *, bool &Ok, QString &Msg) {
    if (xdeDesc->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("descrizione");
    }
}

void TfrAbcTFac::xelTipoFacValidate(QWidget *, bool &Ok, QString &Msg) {
    if (xelTipoFac->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("tipo di Velisto");
    }
}

void TfrAbcTFac::xelTipoFacShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    SetSearchFormTable(Form, QStringLiteral("tipo Velisto"));
}

void TfrAbcTFac::xdsMainAfterStateChange(TVoDataSource *) {
    if (xdsMain->State() != dsInactive)
        SetControlWritable(xelTipoFac, xdsMain->State() == dsInsert);
}

void TfrAbcTFac::tsDetailShow(TfrVoDBRWGrid *) {
    // Coming back to the page of a register being made, its type can still be chosen.
    if (xdsMain->State() != dsInsert)
        SetControlWritable(xelTipoFac, false);
}

// --- TfmAbcFac --------------------------------------------------------------------------------------

TfmAbcFac::TfmAbcFac(const TAbcFacProfile &profile, TfrAbcTFac *frame, QWidget *parent)
    : TfmVoChildDB(parent), m_profile(profile), m_frame(frame) {
    setWindowTitle(QStringLiteral("Velisto"));
    OpenMaximized = true;

    xqcMain = new TVoQueryCollection(this);
    xqcMain->setObjectName(QStringLiteral("xqcMain"));
    xqcMain->SetPacketRecords(25);
    xqcMain->SetConfirmations(cfTrash | cfDisable | cfDelete);
    xqcMain->SetAutoBuildSQL(true);

    frame->setParent(this);
    frame->setToolTip(QStringLiteral("Velisto"));
    frame->SetDataSet(xqcMain);
    xqcMain->BeforeDelete.Add([this](TVoQueryCollection *s) { xqcMainBeforeDelete(s); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
}

void TfmAbcFac::FormCreate() {
    TfmVoChildDB::FormCreate();
    m_frame->xelTipoFac->SetListSQL(
        QString::fromLatin1(kTypeListSQL)
            .arg(AbcOwnRegisters(m_profile.DurableGoods, QStringLiteral("ITFCID"))));
    xqcMain->SetConnection(qqoVoGlobConn);
    QString sql = m_profile.ListSQL;
    ReplaceCurrDwg(sql);
    xqcMain->SetCommandText(sql);
    xqcMain->SQLInsert.Add(m_profile.InsertSQL);
    xqcMain->SQLUpdate.Add(m_profile.UpdateSQL);
    xqcMain->SQLDelete.Add(QString::fromLatin1(kDeleteSQL));
    xqcMain->SetAutoBuildSQL(false);
    m_frame->ShowList();
    TVoColsIndex &index = m_frame->grFrame->ColsIndex();
    index.Clear();
    index.Add(0, QStringLiteral("sFacDesc"), QStringLiteral("sFacDesc"), true);
    index.Add(1, QStringLiteral("sTfcLDesc"), QStringLiteral("sTfcLDesc"), true);
}

void TfmAbcFac::FormShow() {
    TfmVoChildDB::FormShow();
    xqcMain->Open();
}

void TfmAbcFac::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    xqcMain->Close();
}

void TfmAbcFac::xqcMainBeforeDelete(TVoQueryCollection *) {
    RefuseDeleteWhileUsed(QString::fromLatin1(kLinkedSQL), QStringLiteral("iFacId"),
                          xqcMain->FieldByName(QStringLiteral("iFacId"))->Value(),
                          QString::fromUtf8(kLinkedMessage));
}
