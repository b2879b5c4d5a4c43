#pragma once
// The unloading-voucher window ("Gestione buoni di scarico"): the unloading vouchers of the current
// register-year and the goods each discharges. A good is never created here: putting it on a voucher
// discharges it (state 3, with the cause and its value at discharge), taking it off puts it back in
// charge (state 2). Numbers and dates follow the loading window's rules, for the unloading kind.
#include "kvbFBuoniBase.h"

class QToolButton;
class TfrkvbBeniCaricoSca;

class TfmkvbBuoniSca : public TfmkvbBuoniBase {
    Q_OBJECT
public:
    explicit TfmkvbBuoniSca(QWidget *parent = nullptr);

    TfrkvbBeniCaricoSca *const frDetail;
    QAction *const xacScarMulti;
    QToolButton *tbInsMult = nullptr;

    // Discharges many goods at once onto the current voucher.
    void xacScarMultiExecute();

protected:
    void FormCreate() override;
    void ApplyLock() override;
    void frMasterxdsMainDataChange(TVoField *field) override;

private:
    void HookEvents();
    void frDetailtsDetailShow();
    void frDetailxelNumeroChangeFKValue();
    void xqcDetailAfterScroll();
    // Offers the goods that may still be discharged at the voucher's stored date.
    void UseDischargeableGoodsList();
};
