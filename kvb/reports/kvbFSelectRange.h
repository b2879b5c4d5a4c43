#pragma once
#include "VoDialogs.h"

class QSpinBox;

// The range of inventory numbers whose labels print. Not registered: the report module makes it,
// shows it and frees it; the numbers are written by OK only.
class TfmkvbSelectRange : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmkvbSelectRange(QWidget *parent = nullptr);

    QSpinBox *ceStart;
    QSpinBox *ceEnd;

    int StartNumber = 0;
    int EndNumber = 0;

protected:
    void buOkClick() override;
};
