#pragma once
// The header frame of the unloading-voucher window: the loading header, naming the beneficiary as
// the recipient, with the definitive vouchers drawn in red.
#include "kvbRBuoniCarico.h"

class TfrkvbBuoniScarico : public TfrkvbBuoniCarico {
    Q_OBJECT
public:
    explicit TfrkvbBuoniScarico(QWidget *parent = nullptr);
};
