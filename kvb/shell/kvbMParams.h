#pragma once
// The durable-goods program's part of the parameters dialog: its register-years (registers of types 5
// and 7 of the chosen school, whole descriptions, newest year first); confirming without one stores
// "0" and leaves the working context as it is.
#include "AbcMParams.h"

class TdmkvbParams : public TdmAbcParams {
    Q_OBJECT
public:
    explicit TdmkvbParams(QObject *parent = nullptr);
};

extern TdmkvbParams *dmkvbParams;
