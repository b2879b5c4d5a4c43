#include "kvbFRptBeniData.h"

#include "VoDates.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "kvbUUtil.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

TfmKvbRptBeniData::TfmKvbRptBeniData(QWidget *parent)
    : TfmVoMultiSelect(parent), dtpData(new QDateEdit(this)) {
    auto *panel = new QWidget(this);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Alla data"), panel);
    label->setBuddy(dtpData);
    row->addWidget(label);
    dtpData->setParent(panel);
    dtpData->setCalendarPopup(true);
    dtpData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dtpData->setFixedWidth(110);
    row->addWidget(dtpData);
    row->addStretch(1);
    ClientLayout()->insertWidget(0, panel);
}

void TfmKvbRptBeniData::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    dtpData->setDate(QDate::currentDate());
    // Only a date the user sets re-reads the list; the form's own start leaves it to its show.
    connect(dtpData, &QDateEdit::dateChanged, this, [this] { VoGuarded([this] { dtpDataChange(); }); });
}

double TfmKvbRptBeniData::ChosenDate() const {
    return DateToDays(dtpData->date());
}

void TfmKvbRptBeniData::dtpDataChange() {
    TVoQueryCollection *list = frVoMultiSel->xqcMultiSelect;
    list->Close();
    list->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    list->SetParam(QStringLiteral("dEnd"), dtpData->date());
    list->Open();
}
