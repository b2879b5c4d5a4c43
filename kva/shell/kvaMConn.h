#pragma once
#include "VoConnection.h"

// The connection module of the consumables register.
class TdmkvaConn : public TdmVoConnection {
    Q_OBJECT
public:
    explicit TdmkvaConn(QObject *parent = nullptr);
};

extern TdmkvaConn *dmkvaConn;
