#include "kvbFRinumeraBeni.h"

#include "VoDBDateEdit.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "kvbUUtil.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

TfmkvbRinumeraBeni::TfmkvbRinumeraBeni(QWidget *parent)
    : TfmVoOkCancDlg(parent), laMsg(new QLabel(pnClient)), dtpDate(new TVoDBDateEdit(pnClient)),
      ckOrdinam(
          new QCheckBox(QStringLiteral("Rinumera ordinando i beni per data di caricamento"), pnClient)) {
    setObjectName(QStringLiteral("fmkvbRinumeraBeni"));
    setWindowTitle(QStringLiteral("Rinumera beni"));
    setToolTip(windowTitle());
    laMsg->setAlignment(Qt::AlignCenter);
    laMsg->setWordWrap(true);
    dtpDate->setMaximumWidth(dtpDate->sizeHint().width() + 20);
    auto *form = new QFormLayout(pnClient);
    form->addRow(laMsg);
    form->addRow(QStringLiteral("Data in cui effettuare la rinumerazione"), dtpDate);
    form->addRow(ckOrdinam);
}

void TfmkvbRinumeraBeni::FormShow() {
    TfmVoOkCancDlg::FormShow();
    // Renumbering is not undone: Enter alone must not start it.
    SetCancelDefault(true);
    buCancel->setFocus();
    const double date = std::max(LatestRenumberingEvent() + 1.0, CurrentRegEnd);
    dtpDate->SetDate(DaysToDate(date));
    laMsg->setText(
        QStringLiteral("Con questa utilità vengono ricalcolati i numeri di tutti i beni.").toUpper());
}

void TfmkvbRinumeraBeni::buOkClick() {
    bool renumbered = false;
    int count = 0;
    VoGuarded([&] {
        renumbered = RenumberAllGoods(1, ckOrdinam->isChecked(), DateToDays(dtpDate->Date()), &count);
    });
    if (!renumbered)
        return;
    VoMessageDlg(count == 1 ? QStringLiteral("È stato rinumerato 1 bene.")
                            : QStringLiteral("Sono stati rinumerati %1 beni.").arg(count),
                 mtInformation, mbOK);
    TfmVoOkCancDlg::buOkClick();
}
