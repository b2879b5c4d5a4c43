#pragma once
#include "VoMultiSelect.h"

class TVoDBDateEdit;

// A selection form with a period beside its buttons; registered so that a report dataset may name
// it, though none does.
class TfmkvaRptMultiSelectDate : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmkvaRptMultiSelectDate(QWidget *parent = nullptr);

    TVoDBDateEdit *dtpDal;
    TVoDBDateEdit *dtpAl;

protected:
    void FormCreate() override;
};
