#pragma once
#include "AbcMConn.h"

// The connection module of the consumables register.
class TdmkvaConn : public TdmAbcConn {
    Q_OBJECT
public:
    explicit TdmkvaConn(QObject *parent = nullptr);
};

extern TdmkvaConn *dmkvaConn;
