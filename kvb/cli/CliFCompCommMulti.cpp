#include "CliFCompCommMulti.h"

#include "VoConnection.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"

#include <QApplication>
#include <QScopeGuard>

namespace {

const char *const kPersonsSQL =
    "SELECT DISTINCT cpc.iCpcId, cpc.SCPCCOGNOME, cpc.SCPCNOME, quap.sQuapLDesc FROM TCpc_CompComm cpc "
    "INNER JOIN TQuap_QualPers quap ON cpc.iQuapId = quap.iQuapId WHERE cpc.iCpcId NOT IN ";
const char *const kNotInMinuteSQL = "(SELECT iCpcId FROM TCpcVer cv WHERE cv.iVerId = :IdMaster) ";
const char *const kNotInCommissionSQL = "(SELECT iCpcId FROM TCpcCms cm WHERE cm.iCmsId = :IdMaster) ";
const char *const kPersonsOrderSQL = " ORDER BY cpc.SCPCCOGNOME, cpc.SCPCNOME";

const char *const kMinuteInsertSQL =
    "INSERT INTO TCpcVer (iCpcVerId, iCpcId, iVerId) VALUES ((SELECT L_ICNTID "
    "FROM PYSETGETID('TCPCVER',1)), :iCpcId, :IdMaster);";
const char *const kCommissionInsertSQL = "INSERT INTO TCpcCms (iCpcCmsId, iCpcId, iCmsId) VALUES ((SELECT "
                                         "L_ICNTID FROM PYSETGETID('TCPCCMS',1)), :iCpcId, :IdMaster);";
// Another copy of the program may have added a chosen person meanwhile.
const char *const kInMinuteSQL =
    "SELECT ICPCVERID FROM TCPCVER WHERE ICPCID = :ICPCID AND IVERID = :IDMASTER";
const char *const kInCommissionSQL =
    "SELECT ICPCCMSID FROM TCPCCMS WHERE ICPCID = :ICPCID AND ICMSID = :IDMASTER";

} // namespace

TfmCliCompCommMulti::TfmCliCompCommMulti(QWidget *parent) : TfmVoMultiSelect(parent) {
    setWindowTitle(QStringLiteral("Caricamento multiplo dei componenti"));
}

void TfmCliCompCommMulti::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    TVoDBGrid *grid = frVoMultiSel->grFrame;
    grid->ClearColumns();
    grid->ColsIndex().Clear();
    const struct {
        const char *field;
        const char *title;
        int width;
    } columns[] = {
        {"sCpcCognome", "Cognome", 150}, {"sCpcNome", "Nome", 150}, {"sQuapLDesc", "Qualifica", 200}};
    for (const auto &c : columns) {
        const QString field = QString::fromLatin1(c.field);
        grid->ColsIndex().Add(grid->AddColumn(field, QString::fromLatin1(c.title), c.width), field, field,
                              true);
    }
    FPerVerbale = false;
}

void TfmCliCompCommMulti::FormShow() {
    TVoQueryCollection *list = frVoMultiSel->xqcMultiSelect;
    list->SetConnection(qqoVoGlobConn);
    SetCommandText(QString::fromLatin1(kPersonsSQL) +
                   QString::fromLatin1(FPerVerbale ? kNotInMinuteSQL : kNotInCommissionSQL) +
                   QString::fromLatin1(kPersonsOrderSQL));
    SetParam(QStringLiteral("IdMaster"), FIdMaster);
    list->Open();
    TfmVoMultiSelect::FormShow();
}

void TfmCliCompCommMulti::buOkClick() {
    if (GetSelCount() == 0) {
        VoMessageDlg(QStringLiteral("Non è stato selezionato nessun componente"), mtWarning, mbOK);
        return;
    }
    const QVariantList persons = frVoMultiSel->SelectedIds();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const bool written = VoGuarded([&] {
        TVoTransaction transaction;
        transaction.StartTransaction();
        const QString master =
            FPerVerbale ? QStringLiteral("TVER_VERBALI") : QStringLiteral("TCMS_COMMISSIONI");
        VoLockRow(master, FPerVerbale ? QStringLiteral("IVERID") : QStringLiteral("ICMSID"), FIdMaster);
        TVoQuery qquIns(QString::fromLatin1(FPerVerbale ? kMinuteInsertSQL : kCommissionInsertSQL));
        for (const QVariant &person : persons) {
            const QVariantHash params{{QStringLiteral("ICPCID"), person},
                                      {QStringLiteral("IDMASTER"), FIdMaster}};
            if (VoSelectValue(QString::fromLatin1(FPerVerbale ? kInMinuteSQL : kInCommissionSQL), params)
                    .isValid())
                continue;
            qquIns.ClearParams();
            qquIns.SetParam(QStringLiteral("iCpcId"), person).SetParam(QStringLiteral("IdMaster"), FIdMaster);
            qquIns.Exec();
        }
        transaction.Commit();
    });
    restore.dismiss();
    QApplication::restoreOverrideCursor();
    if (!written)
        return;
    VoMessageDlg(QStringLiteral("Con l'inserimento multiplo dei componenti non vengono assegnati i ruoli."),
                 mtInformation, mbOK);
    TfmVoMultiSelect::buOkClick();
}
