#pragma once
#include "VoMultiSelect.h"

#include <QDate>

class TVoDBDateEdit;

// The goods selection form of the goods list: the goods of the current register loaded up to the date
// chosen ("Alla data", today at first). Registered, so that the goods list names it as its form.
class TfmKvbRptBeniData : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmKvbRptBeniData(QWidget *parent = nullptr);

    TVoDBDateEdit *dtpData;

    // The date chosen, as a day count.
    double ChosenDate() const;

protected:
    void FormCreate() override;
    void dtpDataChange();

private:
    // The date the list was read for.
    QDate m_listDate;
};
