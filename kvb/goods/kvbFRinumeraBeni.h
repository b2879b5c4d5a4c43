#pragma once
// "Rinumera beni": renumbers every good of the register at a date, proposing the first date the
// renumbering accepts that is not before the end of the register-year.
#include "VoDialogs.h"

class QCheckBox;
class TVoDBDateEdit;
class QLabel;

class TfmkvbRinumeraBeni : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmkvbRinumeraBeni(QWidget *parent = nullptr);

    QLabel *const laMsg;
    TVoDBDateEdit *const dtpDate;
    QCheckBox *const ckOrdinam;

protected:
    void FormShow() override;
    // Closes the dialog only when the goods were renumbered: a refusal leaves it open on its date.
    void buOkClick() override;
};
