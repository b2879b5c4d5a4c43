#include "VoSelectRangeDate.h"

#include "VoDates.h"

#include <QDateEdit>
#include <QLabel>
#include <QVBoxLayout>

TfmVoSelectRangeDate::TfmVoSelectRangeDate(QWidget *parent)
    : TfmVoOkCancDlg(parent), Label1(new QLabel(QStringLiteral("dal"), pnClient)),
      dtpStart(new QDateEdit(pnClient)), Label2(new QLabel(QStringLiteral("al"), pnClient)),
      dtpEnd(new QDateEdit(pnClient)) {
    setWindowTitle(QStringLiteral("Selezione"));
    auto *layout = new QVBoxLayout(pnClient);
    for (QDateEdit *picker : {dtpStart, dtpEnd}) {
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
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
    dtpEnd->setDate(QDate::currentDate());
}

void TfmVoSelectRangeDate::SetDays(QDateEdit *picker, double days) {
    if (!VoIsNoDate(days))
        picker->setDate(DaysToDate(days));
}

void TfmVoSelectRangeDate::buOkClick() {
    StartDate = DateToDays(dtpStart->date());
    EndDate = DateToDays(dtpEnd->date());
    TfmVoOkCancDlg::buOkClick();
}
