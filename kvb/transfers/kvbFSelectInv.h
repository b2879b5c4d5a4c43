#pragma once
// Passing goods still in charge to the inventory registers.
#include "kvbFSelectVelist.h"

class TfmkvbSelectinv : public TfmKvbSelectVelist {
    Q_OBJECT
public:
    explicit TfmkvbSelectinv(QWidget *parent = nullptr);
};
