#pragma once
// What both programs check before a voucher header with a number is written, the numbering and the
// date order of their registers, and the date a new voucher takes. Each program keeps its vouchers
// in its own table: its profile names the statements and columns, the rules are written once here.
#include <QString>
#include <QVariant>

class TVoQueryCollection;
struct DateWindow;

// How a program numbers and dates its vouchers. Statements take the voucher kind and number under
// the parameters kind and number, which also name the number's column in the results; the
// register-year as :iDwgFacAnfId, the register as :iFacId.
struct TAbcVoucherProfile {
    const char *kind;
    const char *number;
    // Whether the numbering runs per register-year (statements [1]) rather than across all the
    // register's years (statements [0]); null: always across the register.
    bool (*numberingPerYear)();
    // The highest number of the kind in the numbering scope.
    const char *highestNumberSQL[2];
    // The voucher of the kind with the number in the numbering scope.
    const char *numberExistsSQL[2];
    // In the register-year: the latest date among the lower numbers, the earliest among the higher.
    const char *dateLowSQL;
    const char *dateLowColumn;
    const char *dateHighSQL;
    const char *dateHighColumn;
    // The register's last closing, before which no voucher may be dated; null where none binds.
    const char *closingSQL;
    const char *closingColumn;
    // Refuses a date before the lower limit.
    const char *dateTooLowText;
};

// Serialises the writers of one numbering scope (register-year or register) for the rest of the open
// transaction, so that the next number read after it stays free until the commit.
void AbcLockVoucherNumbering(const TAbcVoucherProfile &profile);
// The next number of a voucher kind in the numbering scope of a register.
int AbcNextVoucherNumber(const TAbcVoucherProfile &profile, int kind, int registerId);
// Whether a voucher of that kind already has the number in the numbering scope of the current register.
bool AbcVoucherNumberExists(const TAbcVoucherProfile &profile, int number, int kind);
// The dates a voucher of that number and kind may take in the current register-year: not before the
// latest date of its lower-numbered vouchers (nor the last closing, where the profile has one), not
// after the earliest date of its higher-numbered ones (0.0 and 99999.0 when there are none).
void AbcVoucherDateLimits(const TAbcVoucherProfile &profile, int number, int kind, DateWindow &window);

// Inside the header's write (insert, or update of the number): under the numbering lock, a number
// another voucher already has is refused. A number typed is refused with "Numero del buono già
// presente" and left as typed; when a new voucher still has the number proposed to it (proposedNumber),
// which a colleague took meanwhile, the refusal says so and the next free number is proposed in its
// place (also through proposedNumber), so that saving again takes it.
void AbcCheckVoucherNumberFree(TVoQueryCollection *headers, const QString &numberField, int listKind,
                               const TAbcVoucherProfile &profile, int kind, int *proposedNumber);

// What is wrong with a voucher number typed in a header, or an empty text when nothing is. The
// accepted number (the one proposed, or the voucher's own) passes without asking the database.
QString AbcVoucherNumberProblem(const TAbcVoucherProfile &profile, const QVariant &number, int kind,
                                int acceptedNumber);
// What is wrong with a voucher date, or an empty text: outside the register-year, before the date
// limits of its number or after them; a date equal to a limit passes.
QString AbcVoucherDateProblem(const TAbcVoucherProfile &profile, double date, int number, int kind);

// The date a new voucher takes when it would like the wanted one (today for a voucher typed, the
// source's date for an import): the wanted date when the voucher's date limits and the current
// register-year accept it, else the earliest date they accept, so that the register stays in date
// order and a proposal is never refused on saving.
double AbcAcceptedVoucherDate(double wanted, const DateWindow &limits);
double AbcAcceptedVoucherDate(const TAbcVoucherProfile &profile, double wanted, int number, int kind);
