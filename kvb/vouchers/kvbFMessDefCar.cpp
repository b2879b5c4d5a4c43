#include "kvbFMessDefCar.h"

#include "VoConnection.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"
#include "kvbUUtil.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const kCaricoText =
    "Questa procedura rende definitivo il buono e tutti i beni in esso contenuti. Non sarà più possibile "
    "cancellare un bene o inserirne uno nuovo. Inoltre per i beni presenti sarà possibile variare solo i "
    "dati non associati alla stampa del registro. ";
const char *const kScaricoText =
    "Questa procedura rende definitivo il buono e tutti i beni in esso contenuti. "
    "Non sarà più possibile cancellare un bene o inserirne uno nuovo";
const char *const kNumeriSQL =
    "SELECT DISTINCT iBInbNumero FROM TBInb_Beni inb INNER JOIN TBBuo_Buoni buo ON (inb.iBBuoId = "
    "buo.iBBuoId) "
    "INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "
    "dia.IDwgFacID=di.IDwgFacID WHERE (di.iFacId=:iFacId) AND (inb.iBInbNumero <= (SELECT MAX(iBInbNumero) "
    "FROM TBInb_Beni WHERE iBBuoId=:iBBuoId)) AND (inb.iBInbNumero >= (SELECT MIN(iBInbNumero) FROM "
    "TBInb_Beni WHERE iBBuoId=:iBBuoId)) ORDER BY iBInbNumero;";

} // namespace

TfmMessDefCar::TfmMessDefCar(QWidget *parent) : TfmVoOkCancDlg(parent), meMessage(new QPlainTextEdit) {
    setWindowTitle(QStringLiteral("Conferma definitiva del buono di carico"));
    meMessage->setReadOnly(true);
    meMessage->setFrameShape(QFrame::NoFrame);
    meMessage->setBackgroundRole(QPalette::Button);
    meMessage->setMinimumSize(420, 110);
    auto *layout = new QVBoxLayout(pnClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(meMessage);
    buOk->setText(QStringLiteral("Esegui"));
    buOk->setToolTip(QStringLiteral("Esegui"));
}

void TfmMessDefCar::showEvent(QShowEvent *e) {
    meMessage->setPlainText(QString::fromUtf8(m_loading ? kCaricoText : kScaricoText));
    TfmVoOkCancDlg::showEvent(e);
}

void TfmMessDefCar::buOkClick() {
    if (VoGuarded([this] { actEseguiExecute(); }))
        TfmVoOkCancDlg::buOkClick();
}

void TfmMessDefCar::actEseguiExecute() {
    if (m_voucherId <= 0)
        return;
    TVoTransaction transaction(qqoVoGlobConn);
    transaction.StartTransaction();
    VoExecSQL(m_loading ? QStringLiteral("EXECUTE PROCEDURE PKVB_DEFBUONO_CARICO(:iBBuoID)")
                        : QStringLiteral("EXECUTE PROCEDURE PKVB_DEFBUONO_SCARICO(:iBBuoID)"),
              {{QStringLiteral("iBBuoID"), m_voucherId}});
    transaction.Commit();
}

bool TfmMessDefCar::CheckNumeriMancanti(bool showMessage, QString *missing) {
    QList<int> numbers;
    {
        TVoQuery q(QString::fromLatin1(kNumeriSQL));
        q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId)
            .SetParam(QStringLiteral("iBBuoId"), m_voucherId);
        for (q.Open(); !q.Eof(); q.Next())
            numbers.append(q.AsInteger(QStringLiteral("iBInbNumero")));
    }
    QString gaps;
    if (!numbers.isEmpty()) {
        int row = 0;
        for (int expected = numbers.first(); expected <= numbers.last(); ++expected) {
            if (numbers[row] == expected)
                ++row;
            else
                gaps += QStringLiteral(" %1").arg(expected);
        }
    }
    if (gaps.isEmpty())
        return true;
    if (showMessage)
        VoMessageDlg(QStringLiteral("Numero dei beni mancanti:") + gaps, mtError, mbOK);
    else if (missing)
        *missing = gaps;
    return false;
}
