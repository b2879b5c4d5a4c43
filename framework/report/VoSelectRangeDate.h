#pragma once
#include "VoDialogs.h"

class TVoDBDateEdit;
class QLabel;

// One or two dates a report asks for: "dal" (from 1 January 1900) and "al" (today), the caller may
// hide the start and name the end otherwise. Not registered: the report module makes it, shows it and
// frees it; the results are written by OK only.
class TfmVoSelectRangeDate : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmVoSelectRangeDate(QWidget *parent = nullptr);

    QLabel *Label1;
    TVoDBDateEdit *dtpStart;
    QLabel *Label2;
    TVoDBDateEdit *dtpEnd;

    // The dates confirmed with OK, as day counts; the zero date until then.
    double StartDate = 0.0;
    double EndDate = 0.0;

    // Sets a picker to a day count (an unset date leaves it as it is).
    static void SetDays(TVoDBDateEdit *picker, double days);

protected:
    void FormCreate() override;
    void buOkClick() override;
};
