#include "kvaFSelectPrg.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

TfmKvaSelectPrg *fmKvaSelectPrg = nullptr;
std::function<void(TfmKvaSelectPrg *)> TfmKvaSelectPrg::OnShown;

TfmKvaSelectPrg::TfmKvaSelectPrg(QWidget *parent) : TfmVoOkCancDlg(parent) {
    setObjectName(QStringLiteral("fmKvaSelectPrg"));
    setWindowTitle(QStringLiteral("Velisto"));
    pnClient->setMinimumSize(312, 110);
    rbKva = new QRadioButton(QStringLiteral("&Velisto"), pnClient);
    rbKva->setObjectName(QStringLiteral("rbKva"));
    rbKva->move(74, 37);
    rbKva->adjustSize();
    rbKvb = new QRadioButton(QStringLiteral("Velisto - &Beni durevoli"), pnClient);
    rbKvb->setObjectName(QStringLiteral("rbKvb"));
    rbKvb->move(74, 69);
    rbKvb->adjustSize();
    buOk->setEnabled(false);
    connect(rbKva, &QRadioButton::clicked, this, [this] { rbKvaClick(); });
    connect(rbKvb, &QRadioButton::clicked, this, [this] { rbKvbClick(); });
}

void TfmKvaSelectPrg::rbKvaClick() {
    buOk->setEnabled(true);
    m_choice = QStringLiteral("Kva");
}

void TfmKvaSelectPrg::rbKvbClick() {
    buOk->setEnabled(true);
    m_choice = QStringLiteral("Kvb");
}

void TfmKvaSelectPrg::showEvent(QShowEvent *e) {
    TfmVoOkCancDlg::showEvent(e);
    if (OnShown)
        QTimer::singleShot(0, this, [this] { VoGuarded([this] { OnShown(this); }); });
}
