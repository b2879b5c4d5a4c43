#include "kvbFSelectRange.h"

#include <QFormLayout>
#include <QLocale>
#include <QSpinBox>

TfmkvbSelectRange::TfmkvbSelectRange(QWidget *parent)
    : TfmVoOkCancDlg(parent), ceStart(new QSpinBox(pnClient)), ceEnd(new QSpinBox(pnClient)) {
    setWindowTitle(QStringLiteral("Stampa etichette"));
    auto *layout = new QFormLayout(pnClient);
    for (QSpinBox *edit : {ceStart, ceEnd}) {
        edit->setRange(0, 999999999);
        edit->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
        edit->setGroupSeparatorShown(true);
        edit->setButtonSymbols(QAbstractSpinBox::NoButtons);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(110);
    }
    layout->addRow(QStringLiteral("A partire dal numero"), ceStart);
    layout->addRow(QStringLiteral("Fino al numero"), ceEnd);
}

void TfmkvbSelectRange::buOkClick() {
    StartNumber = ceStart->value();
    EndNumber = ceEnd->value();
    TfmVoOkCancDlg::buOkClick();
}
