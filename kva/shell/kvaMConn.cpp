#include "kvaMConn.h"

#include "kvaFMain.h"

TdmkvaConn *dmkvaConn = nullptr;

TdmkvaConn::TdmkvaConn(QObject *parent) : TdmAbcConn(kvaProgram(), parent) {
    setObjectName(QStringLiteral("dmkvaConn"));
}
