#include "kvbMConn.h"

#include "kvbFMain.h"

TdmkvbConn *dmkvbConn = nullptr;

TdmkvbConn::TdmkvbConn(QObject *parent) : TdmAbcConn(kvbProgram(), parent) {
    setObjectName(QStringLiteral("dmkvbConn"));
}
