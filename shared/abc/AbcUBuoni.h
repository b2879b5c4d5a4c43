#pragma once
// What both programs check before a voucher header with a number is written.
#include <QString>
#include <functional>

class TVoQueryCollection;

// How a program numbers its vouchers of one kind: the lock that serialises the numbering, whether a
// number is taken, the next free number.
struct TAbcVoucherNumbering {
    std::function<void()> lock;
    std::function<bool(int number)> exists;
    std::function<int()> next;
};

// Inside the header's write (insert, or update of the number): under the numbering lock, a number
// another voucher already has is refused with "Numero del buono già presente"; a new voucher is given
// the next free number first (also through proposedNumber), so that saving again takes it.
void AbcCheckVoucherNumberFree(TVoQueryCollection *headers, const QString &numberField, int listKind,
                               const TAbcVoucherNumbering &numbering, int *proposedNumber);
