#pragma once
// Registers, school registers, register-years and financial years made for a test, for both programs.
#include <QString>

struct TVoTestRegister {
    int facId = 0;       // TFAC_VELISTO
    int schoolRegId = 0; // TDWGFAC
};

// The demo school's id.
int DemoSchoolId();
// The financial year id of a year number (the demo data has 2025 to 2027).
int YearId(int yearValue);
// Makes a financial year (without default dates when start/end are negative); returns its id.
int MakeFinancialYear(int yearValue, double start = -1.0, double end = -1.0);
// A register of a type with its two options, linked to the demo school.
TVoTestRegister MakeRegister(const QString &desc, int type = 1, int numbering = 1, int vatIncluded = 0);
// Opens a school register for a year, with custom dates when not negative; returns iDwgFacAnfId.
int OpenRegisterYear(int schoolRegId, int yearValue, double start = -1.0, double end = -1.0);
// The demo register-year of a year number.
int DemoRegisterYear(int yearValue);
