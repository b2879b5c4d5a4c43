#pragma once
#include "AbcMConn.h"

// The connection module of the durable-goods program.
class TdmkvbConn : public TdmAbcConn {
    Q_OBJECT
public:
    explicit TdmkvbConn(QObject *parent = nullptr);
};

extern TdmkvbConn *dmkvbConn;
