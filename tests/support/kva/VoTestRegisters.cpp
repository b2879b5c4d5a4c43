#include "VoTestRegisters.h"

#include "VoGlobals.h"
#include "kvaUUtil.h"

void ChooseRegisterYear(int registerYearId, int schoolId) {
    xgvmGlobalVar.Add(ParSchool, QString::number(schoolId < 0 ? DemoSchoolId() : schoolId));
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(registerYearId));
    kva::LoadWorkingContext(false);
    kva::GetParamDescription(ParRegisterYear);
}
