#include "AbcUBuoni.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"

#include "VoExceptions.h"
#include "VoQueryCollection.h"

#include <algorithm>

void AbcCheckVoucherNumberFree(TVoQueryCollection *headers, const QString &numberField, int listKind,
                               const TAbcVoucherNumbering &numbering, int *proposedNumber) {
    if (listKind != skInsert && listKind != skUpdate)
        return;
    TVoField *number = headers->FieldByName(numberField);
    if (listKind == skUpdate && number->AsInteger() == number->OldValue().toInt())
        return;
    numbering.lock();
    if (!numbering.exists(number->AsInteger()))
        return;
    if (listKind == skInsert) {
        const int next = numbering.next();
        number->SetAsInteger(next);
        if (proposedNumber)
            *proposedNumber = next;
    }
    throw EVoError(QStringLiteral("Numero del buono già presente"));
}

double AbcAcceptedVoucherDate(double wanted, const DateWindow &limits) {
    // With no lower-numbered voucher the limits start at day 0: the register-year's start is the first
    // date a voucher may take.
    const double low = std::max(limits.low, CurrentRegStart);
    const double high = std::min(limits.high, CurrentRegEnd);
    return wanted >= low && wanted <= high ? wanted : low;
}
