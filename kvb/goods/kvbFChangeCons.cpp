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

const char *const kvbSectorsEnumSQL = "SELECT iSecId, sSecDescS FROM TSec_SettCons ORDER BY sSecDescS";
const char *const kvbMoveGoodSQL = "EXECUTE PROCEDURE PKVB_INSMULTISETTORE(:iBInbID, :ISECID, :DSTART)";

namespace {

const char *const kChangeSQL = "EXECUTE PROCEDURE PKVB_INSSETTORE(:iBInbID, :ISECID, :DSTART, :IINSUPD)";
constexpr int kProvisionalState = 1;

} // namespace

void kvbRunSectorProcedure(const QString &sql, const QVariantHash &params) {
    TVoTransaction transaction(qqoVoGlobConn);
    transaction.StartTransaction();
    VoExecSQL(sql, params);
    transaction.Commit();
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
    kvbRunSectorProcedure(QString::fromLatin1(kChangeSQL),
                          {{QStringLiteral("iBInbID"), m_goodId},
                           {QStringLiteral("ISECID"), sector},
                           {QStringLiteral("DSTART"), DaysToTimestampParam(NowDays())},
                           {QStringLiteral("IINSUPD"), m_state == kProvisionalState ? 0 : 1}});
    m_done = true;
}
