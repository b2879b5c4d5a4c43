#pragma once
// What both programs check before a voucher header with a number is written, and the date a new
// voucher takes.
#include <QString>
#include <functional>

class TVoQueryCollection;
struct DateWindow;

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

// The date a new voucher takes when it would like the wanted one (today for a voucher typed, the
// source's date for an import): the wanted date when the voucher's date limits (each program's
// GetVoucherDateLimits) and the current register-year accept it, else the earliest date they accept,
// so that the register stays in date order and a proposal is never refused on saving.
double AbcAcceptedVoucherDate(double wanted, const DateWindow &limits);
