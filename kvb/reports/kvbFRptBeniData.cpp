#include "kvbFRptBeniData.h"

#include "VoDBDateEdit.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "kvbUUtil.h"

#include <QHBoxLayout>
#include <QLabel>

TfmKvbRptBeniData::TfmKvbRptBeniData(QWidget *parent)
    : TfmVoMultiSelect(parent), dtpData(new TVoDBDateEdit(this)) {
    auto *panel = new QWidget(this);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Alla data"), panel);
    label->setBuddy(dtpData);
    row->addWidget(label);
    dtpData->setParent(panel);
    dtpData->setFixedWidth(110);
    row->addWidget(dtpData);
    row->addStretch(1);
    ClientLayout()->insertWidget(0, panel);
}

void TfmKvbRptBeniData::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    dtpData->SetDate(QDate::currentDate());
    // Only a date the user sets re-reads the list; the form's own start leaves it to its show.
    m_listDate = dtpData->Date();
    // Each key changes the text; the list is read again for a whole date that differs.
    dtpData->OnChange.Add([this](QWidget *) {
        const QDate date = dtpData->Date();
        if (!date.isValid() || date == m_listDate)
            return;
        m_listDate = date;
        dtpDataChange();
    });
}

double TfmKvbRptBeniData::ChosenDate() const {
    return DateToDays(dtpData->Date());
}

void TfmKvbRptBeniData::dtpDataChange() {
    TVoQueryCollection *list = frVoMultiSel->xqcMultiSelect;
    list->Close();
    list->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    list->SetParam(QStringLiteral("dEnd"), dtpData->Date());
    list->Open();
}
