#pragma once
#include "VoDialogs.h"

#include <functional>

class QRadioButton;

// The choice of program at start: the consumables register or the durable-goods program.
class TfmKvaSelectPrg : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmKvaSelectPrg(QWidget *parent = nullptr);

    QRadioButton *rbKva;
    QRadioButton *rbKvb;

    // "Kva" or "Kvb"; empty until a choice is clicked.
    QString Choice() const { return m_choice; }

    // Runs when the dialog is on screen (tests answer the dialog from here).
    static std::function<void(TfmKvaSelectPrg *dialog)> OnShown;

    void rbKvaClick();
    void rbKvbClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QString m_choice;
};

extern TfmKvaSelectPrg *fmKvaSelectPrg;
