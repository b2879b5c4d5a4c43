#include "kvbFNuovoAnno.h"

const TAbcNuovoAnnoProfile &kvbNuovoAnnoProfile() {
    static const TAbcNuovoAnnoProfile profile{
        .DurableGoods = true,
        .FirstYear = 1900,
        .LastYear = 2050,
        // A register may serve several schools.
        .OnlyUnlinkedRegisters = false,
        .VouchersOfYearSQL =
            QStringLiteral("SELECT FIRST 1 iBBuoId FROM TBBuo_Buoni WHERE iDwgFacAnfId = :iDwgFacAnfId"),
        .WritesContext = true,
    };
    return profile;
}
