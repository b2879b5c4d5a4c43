#include "kvaFNuovoAnno.h"

const TAbcNuovoAnnoProfile &kvaNuovoAnnoProfile() {
    static const TAbcNuovoAnnoProfile profile{
        .DurableGoods = false,
        .FirstYear = 1970,
        .LastYear = 2050,
        .OnlyUnlinkedRegisters = true,
        .VouchersOfYearSQL =
            QStringLiteral("SELECT FIRST 1 iFBuoId FROM TFBuo_Buoni WHERE iDwgFacAnfId = :iDwgFacAnfId"),
        // Here the two context values are the current register-year's: the window leaves them.
        .WritesContext = false,
    };
    return profile;
}
