#pragma once
// The working context both programs keep beside the financial year's (AbcUUtil): the two program
// parameters, the current register and register-year with its dates, the single site, and the
// loading of them from the parameters. Each program adds values of its own and its own reading of
// the chosen register-year (kvaUUtil, kvbUUtil).
#include "AbcUUtil.h"

#include <QString>
#include <QVariant>
#include <functional>

class TVoQuery;

// Names of the program parameters.
inline const QString ParSchool = QStringLiteral("VOUP_DwgId");
inline const QString ParRegisterYear = QStringLiteral("VOUP_DwgFacAnfId");

// The register-year chosen in the parameters, -1 when unset.
int ParamRegisterYearId();
// The school chosen in the parameters, -1 when unset.
int ParamSchoolId();

extern int CurrentRegisterType; // iTfcId of the current register
extern int CurrentRegisterId;   // iFacId of the current register
extern int CurrentRegYear;      // year number of the current register-year
// In kva the current register-year's; in kvb those of "Nuovo Anno": the school register selected and the
// register-year being saved there (-1 while it is new).
extern int CurrentSchoolRegisterId; // iDwgFacId of a school register
extern int CurrentRegisterYearId;   // iDwgFacAnfId of a register-year
extern double CurrentRegStart;      // effective start of the current register-year; -1.0 when not found
extern double CurrentRegEnd;        // effective end; -1.0 when not found
extern int CurrentSiteId;           // the only site, else -1
extern QString CurrentSiteDesc;     // its description, else empty

// A register-year as the working context reads it. Each date is the register-year's own when set,
// else the financial year's, else -1.0, each end on its own.
struct TAbcRegisterYear {
    int yearValue = 0;
    int yearId = 0;
    int schoolId = 0;
    int registerId = 0;
    int schoolRegisterId = 0;
    double start = -1.0;
    double end = -1.0;
};
// Reads a register-year; false when there is none of that id (its dates -1.0).
bool ReadRegisterYear(int registerYearId, TAbcRegisterYear &registerYear);
// The same, giving its dates apart too.
bool ReadRegisterYear(int registerYearId, TAbcRegisterYear &registerYear, double &start, double &end);

// Loads the context from the parameters: the register-year through the program's own reading
// (skipped at the first activation while its parameter is unset), the register, year and school of
// the register-year (0 when there is none), at the first activation the single site, and the
// financial year's dates.
using TAbcLoadRegisterYear = void (*)(int registerYearId, double &start, double &end);
void AbcLoadWorkingContext(bool firstActivation, TAbcLoadRegisterYear loadRegisterYear);

// The text of a parameter's value: the school's short description, or the register-year's as the
// program's statement describes it (its only parameter the register-year, its first column the text).
// The program's options follow the register-year: registerOptions is given the row read, or nullptr
// when the parameter is unset (no row leaves them). Another name raises EVoException "Parametro %s
// non definito".
QVariant AbcParamDescription(const QString &name, const QString &registerYearSQL,
                             const std::function<void(const TVoQuery *row)> &registerOptions);

// The condition that keeps a program's registers, on the column holding a register's type: types 5
// and 7 for the durable goods, every other type for the consumables.
QString AbcOwnRegisters(bool durableGoods, const QString &typeColumn);

// Replaces every "::CURR_DWG" of an SQL text by the current school parameter as a number (-1 when
// unset or not a number).
void ReplaceCurrDwg(QString &sql);
// The same on a copy of a statement constant.
QString CurrDwgReplaced(const char *sql);

// Puts these values and the financial year's back to their state before any program set them.
void ResetRegisterContext();
