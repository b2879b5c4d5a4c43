#include "kvaFFac.h"

#include "VoClassRegistry.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQueryCollection.h"
#include "kvaRFac.h"
#include "kvaUUtil.h"

#include <QVBoxLayout>

VO_REGISTER_CLASS(TfmkvaFac);

namespace {

const char *const kTypeListSQL =
    "SELECT ITFCID, STFCLDESC FROM TTfc_TipoVelist WHERE ##WHERE## AND " KVA_OWN_REGISTERS("ITFCID") " ";

const char *const kListSQL =
    "SELECT fac.iFacID, fac.sFacDESC, tfc.iTfcId, tfc.sTfcLDesc, fac.iFacNumeraz, fac.iFacIvaInclusa "
    "FROM TFac_Velisto fac LEFT JOIN TTfc_TipoVelist tfc ON (fac.iTfcId = tfc.iTfcId) "
    "WHERE " KVA_OWN_REGISTERS("tfc.ITFCID") " ORDER BY fac.sFacDesc";

const char *const kInsertSQL = "INSERT INTO TFac_Velisto (iFacId, sFacDesc, iTfcId, iFacNumeraz, "
                               "iFacIvaInclusa) VALUES (:VOGENID, :sFacDesc, :iTfcId, :iFacNumeraz, "
                               ":iFacIvaInclusa);";
const char *const kUpdateSQL = "UPDATE TFac_Velisto SET sFacDesc=:sFacDesc, iFacNumeraz=:iFacNumeraz, "
                               "iFacIvaInclusa=:iFacIvaInclusa WHERE iFacId=:VOCURRID;";
const char *const kDeleteSQL = "DELETE FROM TFac_Velisto WHERE iFacId=:VOCURRID;";

const char *const kLinkedSQL = "SELECT FIRST 1 iDwgFacId FROM TDwgFac WHERE iFacId = :iFacId";
const char *const kLinkedMessage =
    "Attenzione ! \r\nIl Velisto è collegato ad un istituto: per cancellarlo bisogna prima "
    "cancellarne il collegamento in \"Nuovo Anno\". ";

const char *const kOptionFields[] = {"iFacNumeraz", "iFacIvaInclusa"};

} // namespace

TfmkvaFac::TfmkvaFac(QWidget *parent) : TfmVoChildDB(parent) {
    setObjectName(QStringLiteral("fmkvaFac"));
    setWindowTitle(QStringLiteral("Velisto"));
    OpenMaximized = true;

    xqcMain = new TVoQueryCollection(this);
    xqcMain->setObjectName(QStringLiteral("xqcMain"));
    xqcMain->SetPacketRecords(25);
    xqcMain->SetConfirmations(cfTrash | cfDisable | cfDelete);
    xqcMain->SetAutoBuildSQL(true);
    xqcMain->VoAfterExec.Add([this](TVoQueryCollection *s, TVoQueryProp &p) { xqcMainVoAfterExec(s, p); });

    frkvaFac = new TfrkvaTFac(this);
    frkvaFac->setToolTip(QStringLiteral("Velisto"));
    frkvaFac->SetDataSet(xqcMain);
    // After the data source's own check of the controls.
    xqcMain->BeforePost.Add([this](TVoQueryCollection *s) { xqcMainBeforePost(s); });
    xqcMain->BeforeDelete.Add([this](TVoQueryCollection *s) { xqcMainBeforeDelete(s); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frkvaFac);
}

void TfmkvaFac::FormCreate() {
    TfmVoChildDB::FormCreate();
    frkvaFac->xelTipoFac->SetListSQL(QString::fromLatin1(kTypeListSQL));
    xqcMain->SetConnection(qqoVoGlobConn);
    QString sql = QString::fromLatin1(kListSQL);
    ReplaceCurrDwg(sql);
    xqcMain->SetCommandText(sql);
    xqcMain->SQLInsert.Add(QString::fromLatin1(kInsertSQL));
    xqcMain->SQLUpdate.Add(QString::fromLatin1(kUpdateSQL));
    xqcMain->SQLDelete.Add(QString::fromLatin1(kDeleteSQL));
    xqcMain->SetAutoBuildSQL(false);
    frkvaFac->ShowList();
    TVoColsIndex &index = frkvaFac->grFrame->ColsIndex();
    index.Clear();
    index.Add(0, QStringLiteral("sFacDesc"), QStringLiteral("sFacDesc"), true);
    index.Add(1, QStringLiteral("sTfcLDesc"), QStringLiteral("sTfcLDesc"), true);
}

void TfmkvaFac::FormShow() {
    TfmVoChildDB::FormShow();
    xqcMain->Open();
}

void TfmkvaFac::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    xqcMain->Close();
}

void TfmkvaFac::xqcMainVoAfterExec(TVoQueryCollection *, TVoQueryProp &Prop) {
    if (Prop.Kind != skUpdate ||
        xqcMain->FieldByName(QStringLiteral("iFacId"))->AsInteger() != CurrentRegisterId)
        return;
    CurrentNumbering = frkvaFac->xckNumAnnuale->isChecked() ? 1 : 0;
    CurrentVatIncluded = frkvaFac->xckIva->isChecked() ? 1 : 0;
}

// An option never chosen is saved as its box shows it, unticked: the start-up check of the options
// asks for exactly this choice.
void TfmkvaFac::xqcMainBeforePost(TVoQueryCollection *) {
    for (const char *name : kOptionFields) {
        TVoField *f = xqcMain->FieldByName(QString::fromLatin1(name));
        if (f->IsNull())
            f->SetAsInteger(0);
    }
}

void TfmkvaFac::xqcMainBeforeDelete(TVoQueryCollection *) {
    RefuseDeleteWhileUsed(QString::fromLatin1(kLinkedSQL), QStringLiteral("iFacId"),
                          xqcMain->FieldByName(QStringLiteral("iFacId"))->Value(),
                          QString::fromUtf8(kLinkedMessage));
}
