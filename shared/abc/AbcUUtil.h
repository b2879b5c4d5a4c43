#pragma once
// The financial-year part of the working context, shared by both programs and the shared registry
// windows: the current year and school, the year's dates, the context check and the user's rights.
#include <QString>

// Financial year number of the current register-year; -1 while not set.
extern int CurrentYearValue;
// School (IDWGID) of the current register-year; -1 while not set.
extern int CurrentSchoolId;
// Dates of the current financial year as day counts; -1.0 while not set.
extern double CurrentYearStart;
extern double CurrentYearEnd;
// Whether GetFinancialYearDates uses the school's own dates of the year; the programs turn it off.
extern bool UseSchoolYearDates;

// Bits a user needs to write and change data.
inline constexpr int VoWriteRightsMask = 0x3C0;

// Start and end of a financial year (by its number) for a school.
void GetFinancialYearDates(int yearValue, int schoolId, double &start, double &end);
// Whether the context is complete; tells the user every missing item.
bool CheckCurrentContext(int yearValue, int schoolId);
// The same check for the windows that write against the year: a year, school or date of 0 or less
// counts as unset too, as kva holds them while no register-year is chosen.
bool CheckCompleteContext(int yearValue, int schoolId);
// The logged-in user's rights bit set.
int CurrentUserRights();
// Whether the logged-in user may write and change data.
bool CurrentUserCanWrite();

// Puts the context back to its state before any program set it.
void ResetSharedContext();
