#include "AbcUBuoni.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"

#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"

#include <algorithm>

namespace {

bool PerYear(const TAbcVoucherProfile &profile) {
    return profile.numberingPerYear && profile.numberingPerYear();
}

// A statement of the numbering scope, with the kind and the scope bound.
void OpenInScope(TVoQuery &q, const TAbcVoucherProfile &profile, int kind, int registerId) {
    q.SetParam(QString::fromLatin1(profile.kind), kind);
    if (PerYear(profile))
        q.SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    else
        q.SetParam(QStringLiteral("iFacId"), registerId);
    q.Open();
}

} // namespace

void AbcLockVoucherNumbering(const TAbcVoucherProfile &profile) {
    if (PerYear(profile))
        VoLockRow(QStringLiteral("TDWGFACANF"), QStringLiteral("IDWGFACANFID"), ParamRegisterYearId());
    else
        VoLockRow(QStringLiteral("TFAC_VELISTO"), QStringLiteral("IFACID"), CurrentRegisterId);
}

int AbcNextVoucherNumber(const TAbcVoucherProfile &profile, int kind, int registerId) {
    TVoQuery q(QString::fromLatin1(profile.highestNumberSQL[PerYear(profile)]));
    OpenInScope(q, profile, kind, registerId);
    return q.AsInteger(QString::fromLatin1(profile.number)) + 1;
}

bool AbcVoucherNumberExists(const TAbcVoucherProfile &profile, int number, int kind) {
    TVoQuery q(QString::fromLatin1(profile.numberExistsSQL[PerYear(profile)]));
    q.SetParam(QString::fromLatin1(profile.number), number);
    OpenInScope(q, profile, kind, CurrentRegisterId);
    return !q.Eof();
}

void AbcVoucherDateLimits(const TAbcVoucherProfile &profile, int number, int kind, DateWindow &window) {
    window = {0.0, VoOpenEnd};
    const auto boundary = [&](const char *sql, const char *column) {
        TVoQuery q(QString::fromLatin1(sql));
        q.SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
            .SetParam(QString::fromLatin1(profile.kind), kind)
            .SetParam(QString::fromLatin1(profile.number), number);
        q.Open();
        return q.AsDate(QString::fromLatin1(column));
    };
    // A voucher without a date, or no closing yet, closes the window on neither side.
    window.low = std::max(window.low, boundary(profile.dateLowSQL, profile.dateLowColumn));
    if (profile.closingSQL) {
        TVoQuery closing(QString::fromLatin1(profile.closingSQL));
        closing.SetParam(QStringLiteral("iFacId"), CurrentRegisterId).Open();
        window.low = std::max(window.low, closing.AsDate(QString::fromLatin1(profile.closingColumn)));
    }
    if (const double high = boundary(profile.dateHighSQL, profile.dateHighColumn); !VoIsNoDate(high))
        window.high = high;
}

void AbcCheckVoucherNumberFree(TVoQueryCollection *headers, const QString &numberField, int listKind,
                               const TAbcVoucherProfile &profile, int kind, int *proposedNumber) {
    if (listKind != skInsert && listKind != skUpdate)
        return;
    TVoField *number = headers->FieldByName(numberField);
    if (listKind == skUpdate && number->AsInteger() == number->OldValue().toInt())
        return;
    AbcLockVoucherNumbering(profile);
    const int taken = number->AsInteger();
    if (!AbcVoucherNumberExists(profile, taken, kind))
        return;
    // A number the user typed stays as typed, for them to choose another; the one the program
    // proposed was taken by a colleague since, and the next free one takes its place.
    if (listKind != skInsert || !proposedNumber || taken != *proposedNumber)
        throw EVoError(QStringLiteral("Numero del buono già presente"));
    const int next = AbcNextVoucherNumber(profile, kind, CurrentRegisterId);
    number->SetAsInteger(next);
    *proposedNumber = next;
    throw EVoError(QStringLiteral("Il numero %1, proposto per questo buono, è stato appena usato da un altro "
                                  "utente.\nOra è proposto il numero %2: salvare di nuovo per registrare il "
                                  "buono con questo numero.")
                       .arg(taken)
                       .arg(next));
}

QString AbcVoucherNumberProblem(const TAbcVoucherProfile &profile, const QVariant &number, int kind,
                                int acceptedNumber) {
    if (number.isNull() || !number.isValid() || number.toDouble() < 1)
        return QStringLiteral("Numero del buono");
    if (number.toInt() != acceptedNumber && AbcVoucherNumberExists(profile, number.toInt(), kind))
        return QStringLiteral("Numero del buono già presente");
    return QString();
}

QString AbcVoucherDateProblem(const TAbcVoucherProfile &profile, double date, int number, int kind) {
    if (VoIsNoDate(date))
        return QStringLiteral("Data del buono");
    if (date < CurrentRegStart || date > CurrentRegEnd)
        return QStringLiteral("Data del buono non valida per l'anno finanziario in corso");
    DateWindow window;
    AbcVoucherDateLimits(profile, number, kind, window);
    if (date < window.low)
        return QString::fromUtf8(profile.dateTooLowText);
    if (date > window.high)
        return QStringLiteral("Data del buono maggiore della data del buono successivo");
    return QString();
}

double AbcAcceptedVoucherDate(double wanted, const DateWindow &limits) {
    // With no lower-numbered voucher the limits start at day 0: the register-year's start is the first
    // date a voucher may take.
    const double low = std::max(limits.low, CurrentRegStart);
    const double high = std::min(limits.high, CurrentRegEnd);
    return wanted >= low && wanted <= high ? wanted : low;
}

double AbcAcceptedVoucherDate(const TAbcVoucherProfile &profile, double wanted, int number, int kind) {
    DateWindow window;
    AbcVoucherDateLimits(profile, number, kind, window);
    return AbcAcceptedVoucherDate(wanted, window);
}
