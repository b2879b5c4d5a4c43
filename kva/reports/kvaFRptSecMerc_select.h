#pragma once
#include "VoMultiSelect.h"

class TVoIdComboBox;

// The goods codes of one delivery sector: the sector is chosen above the list, and OK waits for it.
class TfmRptSecMerc_select : public TfmVoMultiSelect {
    Q_OBJECT
public:
    explicit TfmRptSecMerc_select(QWidget *parent = nullptr);

    TVoIdComboBox *cbSettore;

protected:
    void FormShow() override;
};
