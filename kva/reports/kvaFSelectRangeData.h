#pragma once
#include "VoDialogs.h"

class QDateEdit;
class QLabel;

// The period of a register report, or the date of the stock list. Not registered: the report
// module makes it, shows it and frees it.
class TfmKvaSelectRangeDate : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmKvaSelectRangeDate(QWidget *parent = nullptr);

    QLabel *Label1;
    QDateEdit *dtpStart;
    QLabel *Label2;
    QDateEdit *dtpEnd;

    // The dates confirmed with OK, as day counts; the zero date until then.
    double StartDate = 0.0;
    double EndDate = 0.0;

    // Sets a picker to a day count (an unset date leaves it as it is).
    static void SetDays(QDateEdit *picker, double days);

protected:
    void FormCreate() override;
    void buOkClick() override;
};
