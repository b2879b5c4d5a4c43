#pragma once
// The dialog of the foreign municipalities and cities, opened from the place search form for the
// state shown there: new cities take that state.
#include "VoDialogs.h"

class QPushButton;
class TfrComEsteri;

class TfmComEsteri : public TfmVoDialog {
    Q_OBJECT
public:
    explicit TfmComEsteri(QWidget *parent = nullptr);

    TfrComEsteri *frComEster;
    QPushButton *buOk;

    // The state the dialog was opened for.
    int StateId = 0;
    // Keeps the state, reads the cities again and makes the state that of new cities.
    void PrepareForState(int stateId);

protected:
    void FormCreate() override;
    // Opened without a state, it lists the cities as they are.
    void FormShow() override;
    // A city being typed is saved or given up, as the user answers, before the dialog closes.
    bool FormCloseQuery() override;
};
