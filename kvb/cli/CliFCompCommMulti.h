#pragma once
// Adds several stored persons at once to a commission or a minute, without roles: the persons with a
// qualification that are not members there yet.
#include "VoMultiSelect.h"

class TfmCliCompCommMulti : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmCliCompCommMulti(QWidget *parent = nullptr);

    // True adds to a minute, false to a commission; FIdMaster is its key.
    bool FPerVerbale = false;
    int FIdMaster = 0;

protected:
    void FormCreate() override;
    void FormShow() override;
    void buOkClick() override;
};
