#include "kvaMConn.h"

TdmkvaConn *dmkvaConn = nullptr;

TdmkvaConn::TdmkvaConn(QObject *parent) : TdmVoConnection(parent) {
    setObjectName(QStringLiteral("dmkvaConn"));
    xqoMain->CodAppl = QStringLiteral("KVA");
    xqoMain->DBVersion = QStringLiteral("6.44.0");
}
