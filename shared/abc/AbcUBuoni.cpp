#include "AbcUBuoni.h"

#include "VoExceptions.h"
#include "VoQueryCollection.h"

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
