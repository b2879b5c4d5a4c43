#include "kvaFRptMultiSelectDate.h"

#include "VoDBDateEdit.h"
#include "kvaFSelectRangeData.h"
#include "kvaUUtil.h"

#include <QHBoxLayout>
#include <QLabel>

TfmkvaRptMultiSelectDate::TfmkvaRptMultiSelectDate(QWidget *parent)
    : TfmVoMultiSelect(parent), dtpDal(new TVoDBDateEdit(this)), dtpAl(new TVoDBDateEdit(this)) {
    setWindowTitle(QStringLiteral("Seleziona Dati"));
    resize(587, 447);
    auto *period = new QWidget(this);
    auto *row = new QHBoxLayout(period);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Movimenti dal"), period));
    row->addWidget(dtpDal);
    row->addWidget(new QLabel(QStringLiteral("al"), period));
    row->addWidget(dtpAl);
    for (TVoDBDateEdit *picker : {dtpDal, dtpAl}) {
        picker->setParent(period);
        picker->setFixedWidth(105);
    }
    ButtonLayout()->insertWidget(0, period);
}

void TfmkvaRptMultiSelectDate::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    TfmKvaSelectRangeDate::SetDays(dtpDal, CurrentRegStart);
    TfmKvaSelectRangeDate::SetDays(dtpAl, CurrentRegEnd);
}
