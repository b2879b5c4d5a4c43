#include "kvbMParams.h"

#include "kvbFMain.h"

TdmkvbParams *dmkvbParams = nullptr;

TdmkvbParams::TdmkvbParams(QObject *parent) : TdmAbcParams(kvbProgram(), parent) {
    setObjectName(QStringLiteral("dmkvbParams"));
}
