#include "kvbFChangeCons.h"

#include "VoConnection.h"
#include "VoDates.h"
#include "VoIdComboBox.h"
#include "VoQuery.h"
#include "VoTransaction.h"

#include <QAction>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

const char *const kvbSectorsEnumSQL = "SELECT iSecId, sSecDescS FROM TSec_SettCons ORDER BY sSecDescS";
const char *const kvbMoveGoodSQL = "EXECUTE PROCEDURE PKVB_INSMULTISETTORE(:iBInbID, :ISECID, :DSTART)";

namespace {

const char *const kChangeSQL = "EXECUTE PROCEDURE PKVB_INSSETTORE(:iBInbID, :ISECID, :DSTART, :IINSUPD)";
constexpr int kProvisionalState = 1;
// Read in the write's own snapshot: a move another copy commits after it makes the procedure's lock
// of the good fail, so the good cannot change sector between this check and the write.
const char *const kShownSectorSQL =
    "SELECT COALESCE(ISECID, 0) AS ISECID FROM TBINB_BENI WHERE IBINBID = :iBInbID";

} // namespace

bool kvbRunSectorProcedure(const QString &sql, const QVariantHash &params, int shownSector) {
    TVoTransaction transaction(qqoVoGlobConn);
    transaction.StartTransaction();
    TVoQuery shown(QString::fromLatin1(kShownSectorSQL));
    shown.SetParam(QStringLiteral("iBInbID"), params.value(QStringLiteral("iBInbID"))).Open();
    // A good that is gone is left to the procedure, which refuses it.
    if (!shown.Eof() && shown.AsInteger(QStringLiteral("ISECID")) != std::max(shownSector, 0)) {
        transaction.Rollback();
        return false;
    }
    VoExecSQL(sql, params);
    transaction.Commit();
    return true;
}

QString kvbMovedMeanwhileText(const QStringList &numbers) {
    return QStringLiteral("Nel frattempo un altro utente ha spostato in un altro settore ") +
           (numbers.size() == 1 ? QStringLiteral("il bene %1").arg(numbers.first())
                                : QStringLiteral("i beni %1").arg(numbers.join(QStringLiteral(", "))));
}

TfmkvbChangeCons::TfmkvbChangeCons(QWidget *parent)
    : TfmVoOkCancDlg(parent), edNumero(new QLineEdit(pnClient)), edDescr(new QLineEdit(pnClient)),
      edCons(new QLineEdit(pnClient)), cbSett(new TVoIdComboBox(pnClient)),
      actEsegui(new QAction(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("fmkvbChangeCons"));
    setWindowTitle(QStringLiteral("Cambio settore di consegna"));
    setToolTip(windowTitle());
    auto *form = new QFormLayout(pnClient);
    form->addRow(QStringLiteral("Numero"), edNumero);
    form->addRow(QStringLiteral("Descrizione"), edDescr);
    form->addRow(QStringLiteral("Attuale settore di consegna"), edCons);
    form->addRow(QStringLiteral("Scegliere il nuovo settore di consegna"), cbSett);
    for (QLineEdit *edit : {edNumero, edDescr, edCons}) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
    }
    edNumero->setMaximumWidth(edNumero->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    edDescr->setMinimumWidth(360);
    buOk->setText(actEsegui->text());
}

void TfmkvbChangeCons::FormCreate() {
    TfmVoOkCancDlg::FormCreate();
    edNumero->clear();
    edDescr->clear();
    edCons->clear();
    m_done = false;
    cbSett->SetEnumValues(LoadEnumValues(QString::fromLatin1(kvbSectorsEnumSQL)));
}

void TfmkvbChangeCons::SetSettore(int sectorId) {
    m_sectorId = sectorId;
    if (sectorId > 0 && cbSett->SelectId(sectorId))
        edCons->setText(cbSett->currentText());
}

void TfmkvbChangeCons::FormShow() {
    TfmVoOkCancDlg::FormShow();
    edNumero->setText(QString::number(m_number));
    edDescr->setText(m_description);
    edDescr->setCursorPosition(0);
    cbSett->setFocus();
}

void TfmkvbChangeCons::buOkClick() {
    actEseguiExecute();
    TfmVoOkCancDlg::buOkClick();
}

void TfmkvbChangeCons::actEseguiExecute() {
    const int sector = cbSett->SelectedId();
    if (m_goodId <= 0 || sector < 0 || sector == m_sectorId)
        return;
    if (kvbRunSectorProcedure(QString::fromLatin1(kChangeSQL),
                              {{QStringLiteral("iBInbID"), m_goodId},
                               {QStringLiteral("ISECID"), sector},
                               {QStringLiteral("DSTART"), DaysToTimestampParam(NowDays())},
                               {QStringLiteral("IINSUPD"), m_state == kProvisionalState ? 0 : 1}},
                              m_sectorId)) {
        m_done = true;
        return;
    }
    m_movedMeanwhile = true;
}

QString TfmkvbChangeCons::MovedMeanwhileText() const {
    return kvbMovedMeanwhileText({QString::number(m_number)}) +
           QStringLiteral(
               ": il settore di consegna non è stato cambiato.\nL'elenco dei beni è stato letto di "
               "nuovo.");
}
