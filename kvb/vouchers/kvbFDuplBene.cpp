#include "kvbFDuplBene.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

const char *const kDuplicaSQL = "EXECUTE PROCEDURE PKVB_INSBENE_DUPL(:iBInbID, :INUMBENI, :INUMPART)";
const char *const kNumberInUse = "Numero del bene già inserito";

// The number found in use, refused once the transaction is gone.
struct ENumberInUse {};

} // namespace

TfmkvbDuplBene::TfmkvbDuplBene(QWidget *parent)
    : TfmVoOkCancDlg(parent), udNumAnni(new QSpinBox), udNumPartenza(new QSpinBox),
      actEsegui(new QAction(QStringLiteral("Esegui"), this)) {
    setWindowTitle(QStringLiteral("Duplicazione beni"));
    udNumAnni->setRange(1, 9999);
    udNumAnni->setValue(1);
    // Goods numbers run to seven digits: the start takes any number the register may reach.
    udNumPartenza->setRange(1, kvbNumberLimit - 1);
    udNumPartenza->setValue(1);
    udNumPartenza->setGroupSeparatorShown(false);
    auto *form = new QFormLayout(pnClient);
    form->addRow(QStringLiteral("Numero beni da inserire"), udNumAnni);
    form->addRow(QStringLiteral("A partire dal numero"), udNumPartenza);
    actEsegui->setToolTip(QStringLiteral("Esegui"));
    buOk->setText(QStringLiteral("Esegui"));
    connect(actEsegui, &QAction::triggered, this, [this] { VoGuarded([this] { actEseguiExecute(); }); });
}

void TfmkvbDuplBene::buOkClick() {
    if (VoGuarded([this] { actEseguiExecute(); }))
        TfmVoOkCancDlg::buOkClick();
}

void TfmkvbDuplBene::actEseguiExecute() {
    if (m_goodId < 1)
        return;
    const int start = udNumPartenza->value();
    const int count = udNumAnni->value();
    try {
        TVoTransaction transaction(qqoVoGlobConn);
        transaction.StartTransaction();
        // The next free number is looked at again under the lock: another copy of the program may
        // have numbered goods since the dialog opened.
        kvbLockNumbering();
        if (start < NextGoodsNumber())
            for (int number = start; number < start + count; ++number)
                if (GoodsNumberExists(number, QString()))
                    throw ENumberInUse();
        VoExecSQL(QString::fromLatin1(kDuplicaSQL), {{QStringLiteral("iBInbID"), m_goodId},
                                                     {QStringLiteral("INUMBENI"), count},
                                                     {QStringLiteral("INUMPART"), start}});
        transaction.Commit();
    } catch (const ENumberInUse &) {
        VoMessageDlg(QString::fromUtf8(kNumberInUse), mtError, mbOK);
        throw EVoAbort();
    }
}
