#pragma once
// Registers and register-years made for a test (VoTestSchool.h), with the working context set on one
// of them as the consumables register sets it after the parameters are chosen.
#include "VoTestSchool.h"

// Sets the two parameters and loads the working context as after the parameters dialog.
void ChooseRegisterYear(int registerYearId, int schoolId = -1);
