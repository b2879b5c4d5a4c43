#pragma once
// The consumables register's part of the parameters dialog: its register-years (every register type
// but 5 and 7, descriptions cut at 32 characters, oldest year first).
#include "AbcMParams.h"

class TdmkvaParams : public TdmAbcParams {
    Q_OBJECT
public:
    explicit TdmkvaParams(QObject *parent = nullptr);

    // The register-years of a school, as the selector lists them.
    static QList<TVoEnumValue> RegisterYearList(int schoolId);
};

extern TdmkvaParams *dmkvaParams;
