#pragma once
// A budget list whose rows carry their accounts (competenza, residui): the items and the sub-items. The
// accounts are two boxes, not fields, written as the row's account kind when it is posted; a box the
// user clicks on a row being browsed, so that it differs from what is stored, starts changing the row.
#include "VoDBFrames.h"

class QCheckBox;
class QGroupBox;

class TfrVproConto : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    QGroupBox *gbConto;
    QCheckBox *ckCompetenza;
    QCheckBox *ckResidui;

    void EnableAccounts(bool enabled);

protected:
    explicit TfrVproConto(QWidget *parent);
    // Whether the current row's calculated account field (ContoCompetenza, ContoResidui) says "SI".
    bool RowHasAccount(const char *field) const;
    void ShowAccounts(bool competenza, bool residui);
    // The account of the box as stored for the current row.
    virtual bool StoredAccount(bool competenza) const = 0;
    // Starts changing the row for a clicked box, when the frame allows it.
    virtual void StartChange() = 0;

private:
    void AccountClicked(QCheckBox *box);
};
