#pragma once
#include "VoMultiSelect.h"

class QDateEdit;

// The goods selection form of the goods list: the goods of the current register loaded up to the date
// chosen ("Alla data", today at first). Registered, so that the goods list names it as its form.
class TfmKvbRptBeniData : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmKvbRptBeniData(QWidget *parent = nullptr);

    QDateEdit *dtpData;

    // The date chosen, as a day count.
    double ChosenDate() const;

protected:
    void FormCreate() override;
    void dtpDataChange();
};
