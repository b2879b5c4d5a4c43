#pragma once
// Locking and unlocking of chosen vouchers of the register, of every register-year: a voucher locked
// becomes definitive with the goods it loaded that are still in charge and those it discharged; an
// unlocked one goes back to provisional. The checked vouchers change together in one transaction.
#include "VoDialogs.h"

class QTreeWidget;

class TfmkvbBloccoBase : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    QTreeWidget *const lwBeni;

protected:
    // lock: the dialog lists the provisional vouchers and locks them, else the definitive ones and
    // unlocks them.
    TfmkvbBloccoBase(bool lock, QWidget *parent);
    void FormShow() override;
    void buOkClick() override;

private:
    void Execute();
    const bool m_lock;
};

class TfmkvbBlocco : public TfmkvbBloccoBase {
    Q_OBJECT
public:
    explicit TfmkvbBlocco(QWidget *parent = nullptr) : TfmkvbBloccoBase(true, parent) {}
};

class TfmkvbSblocco : public TfmkvbBloccoBase {
    Q_OBJECT
public:
    explicit TfmkvbSblocco(QWidget *parent = nullptr) : TfmkvbBloccoBase(false, parent) {}
};
