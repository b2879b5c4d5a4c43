#pragma once
// The consumables program's working context on a register-year of the generated register, as the
// office chooses it: its school and the register-year, then the context loaded as at start-up.
#include "VoGlobals.h"
#include "VoQuery.h"
#include "kvaUUtil.h"

inline void VoBenchChooseRegisterYear(int registerYear) {
    xgvmGlobalVar.Add(ParSchool,
                      VoSelectValue(QStringLiteral("SELECT f.IDWGID FROM TDWGFACANF a JOIN TDWGFAC f ON "
                                                   "f.IDWGFACID = a.IDWGFACID WHERE a.IDWGFACANFID = :y"),
                                    {{QStringLiteral("y"), registerYear}})
                          .toString());
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(registerYear));
    kva::LoadWorkingContext(false);
    kva::GetParamDescription(ParRegisterYear);
}
