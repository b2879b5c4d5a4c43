#include "AbiFInsertIBAN.h"

#include "AbiUIban.h"
#include "VoDBEdits.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TfmInsertIBAN::TfmInsertIBAN(QWidget *parent) : TfmVoOkCancDlg(parent) {
    setObjectName(QStringLiteral("fmInsertIBAN"));
    setWindowTitle(QStringLiteral("Inserire l' IBAN della Banca"));
    laIban = new QLabel(QStringLiteral("Inserisci l'IBAN"), pnClient);
    edIban = new TVoDBEdit(pnClient);
    edIban->SetUpperCase(true);
    // Wide enough for the longest IBAN.
    edIban->setMinimumWidth(edIban->fontMetrics().horizontalAdvance(QString(36, QLatin1Char('W'))));
    laIban->setBuddy(edIban);
    laTotCaratteri = new QLabel(QStringLiteral("Tot. Caratteri:"), pnClient);
    laNumCaratteri = new QLabel(QStringLiteral("0"), pnClient);
    laNumCaratteri->setMinimumWidth(laNumCaratteri->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    ckEstera = new QCheckBox(QStringLiteral("Banca Estera"), pnClient);

    auto *grid = new QGridLayout(pnClient);
    grid->addWidget(laIban, 0, 0, 1, 3);
    grid->addWidget(edIban, 1, 0, 1, 3);
    grid->addWidget(laTotCaratteri, 2, 0);
    grid->addWidget(laNumCaratteri, 2, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(ckEstera, 3, 0, 1, 3);

    edIban->OnKeyDown.Add([](QWidget *, int &key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Space)
            key = 0;
    });
    edIban->OnChange.Add([this](QWidget *) { laNumCaratteri->setNum(int(edIban->text().size())); });
}

QString TfmInsertIBAN::Iban() const {
    QString iban = edIban->text();
    iban.removeIf([](QChar c) { return c.isSpace(); });
    return iban;
}

void TfmInsertIBAN::buOkClick() {
    edIban->setText(Iban());
    if (!ckEstera->isChecked() && !IsValidIBAN(edIban->text())) {
        VoMessageDlg(QStringLiteral("IBAN non corretto"), mtError, mbOK);
        edIban->setFocus(Qt::OtherFocusReason);
        return;
    }
    TfmVoOkCancDlg::buOkClick();
}
