#pragma once
// The place search form ("Comuni"): the places of one state at a time, the state chosen in a list
// of every state. Its select, set by the lookup that opens it, takes the state as the parameter
// ISTAID. The edit button opens the foreign municipalities of the state shown (nothing for the home
// country, whose places are not kept here) and lists them again when that closes.
#include "VoSearchDialog.h"

class TVoIdComboBox;
class QLabel;

class TfmSearchLoco : public TVoSearchDialog {
    Q_OBJECT
public:
    explicit TfmSearchLoco(QWidget *parent = nullptr);

    QLabel *laStato;
    TVoIdComboBox *cbStato;
    // The state shown; -1 until the first choice.
    int CurrentStateId = -1;

    // Shows the places of a state; 0 or less: of the home country.
    void SelectState(int stateId);

    bool Open() override;
    void EditExecute() override;

protected:
    void PrepareEditForm(QWidget *form) override;
};
