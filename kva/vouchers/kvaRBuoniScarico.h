#pragma once
// The header frame of the unloading-voucher window, with the button that generates unloading vouchers
// from loading vouchers.
#include "kvaRBuoniCarico.h"

class QMenu;
class QToolButton;

class TfrkvaBuoniScarico : public TfrkvaBuoniCarico {
    Q_OBJECT
public:
    explicit TfrkvaBuoniScarico(QWidget *parent = nullptr);

    QToolButton *const tbAutoScarico;
    QMenu *const pmSelBuoAuto;
    // All loading vouchers, or only those not unloaded yet.
    QAction *const miTutti;
    QAction *const miDaScaricare;

    // Called after the generation with the voucher written (0: none), so that the window reads its
    // vouchers again and stands on it.
    std::function<void(int voucher)> AfterGeneration;

private:
    void Generate(int onlyToUnload);
};
