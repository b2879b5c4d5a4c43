#include "kvaMParams.h"

#include "kvaFMain.h"

TdmkvaParams *dmkvaParams = nullptr;

TdmkvaParams::TdmkvaParams(QObject *parent) : TdmAbcParams(kvaProgram(), parent) {
    setObjectName(QStringLiteral("dmkvaParams"));
}

QList<TVoEnumValue> TdmkvaParams::RegisterYearList(int schoolId) {
    return TdmAbcParams::RegisterYearList(kvaProgram(), schoolId);
}
