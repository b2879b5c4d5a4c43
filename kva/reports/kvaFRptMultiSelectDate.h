#pragma once
#include "VoMultiSelect.h"

class QDateEdit;

// A selection form with a period beside its buttons; registered so that a report dataset may name
// it, though none does.
class TfmkvaRptMultiSelectDate : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmkvaRptMultiSelectDate(QWidget *parent = nullptr);

    QDateEdit *dtpDal;
    QDateEdit *dtpAl;

protected:
    void FormCreate() override;
};
