#include "VoSelectRangeDate.h"

#include "VoDBDateEdit.h"
#include "VoDates.h"

#include <QLabel>
#include <QVBoxLayout>

TfmVoSelectRangeDate::TfmVoSelectRangeDate(QWidget *parent)
    : TfmVoOkCancDlg(parent), Label1(new QLabel(QStringLiteral("dal"), pnClient)),
      dtpStart(new TVoDBDateEdit(pnClient)), Label2(new QLabel(QStringLiteral("al"), pnClient)),
      dtpEnd(new TVoDBDateEdit(pnClient)) {
    setWindowTitle(QStringLiteral("Selezione"));
    auto *layout = new QVBoxLayout(pnClient);
    for (TVoDBDateEdit *picker : {dtpStart, dtpEnd}) {
        picker->setFixedWidth(186);
    }
    Label1->setBuddy(dtpStart);
    Label2->setBuddy(dtpEnd);
    for (QWidget *w : std::initializer_list<QWidget *>{Label1, dtpStart, Label2, dtpEnd})
        layout->addWidget(w);
    layout->addStretch(1);
    pnClient->setMinimumWidth(252);
}

void TfmVoSelectRangeDate::FormCreate() {
    TfmVoOkCancDlg::FormCreate();
    SetDays(dtpStart, 2.0);
    dtpEnd->SetDate(QDate::currentDate());
}

void TfmVoSelectRangeDate::SetDays(TVoDBDateEdit *picker, double days) {
    if (!VoIsNoDate(days))
        picker->SetDate(DaysToDate(days));
}

void TfmVoSelectRangeDate::buOkClick() {
    StartDate = DateToDays(dtpStart->Date());
    EndDate = DateToDays(dtpEnd->Date());
    TfmVoOkCancDlg::buOkClick();
}
