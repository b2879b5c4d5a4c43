#pragma once
// The statements with which every window of the program writes vouchers and goods, the goods'
// states, and the read-only flag the goods lists compute.
//
// Parameters: VOGENID is a new key, VOCURRID the current row's key (the query collections supply
// both); the others are named after the columns they fill.

#include <QString>
#include <QVariant>

// Goods states (IAVAID).
enum TkvbStatoBene {
    kvbCaricoProvvisorio = 1, // loaded on a provisional voucher
    kvbCaricoDefinitivo = 2,  // loaded, the voucher definitive; also after being taken off an unloading
    kvbScaricoProvvisorio = 3,
    kvbScaricoDefinitivo = 4,
};

// A new voucher of each kind, provisional. The register-year (IDwgFacAnfID) is the current one.
extern const char *const kvbSQLBuoInsertCarico;
extern const char *const kvbSQLBuoInsertScarico;
// A voucher's own data; kind, register-year and definitive flag stay.
extern const char *const kvbSQLBuoUpdate;
// The voucher row alone. The database refuses it, with "Impossibile cancellare il buono: ci sono dei
// beni o dei documenti collegati.", while goods or documents still hang on the voucher.
extern const char *const kvbSQLBuoDelete;

// A new good on a loading voucher (iBBuoID, with IAVAID 1).
extern const char *const kvbSQLInbInsert;
// A good's own data through the server, which keeps its histories (PKVB_UPDBENE).
extern const char *const kvbSQLInbUpdate;
// A good's deletion: its four histories, then the good. A good named by a minute is refused.
extern const char *const kvbSQLInbDelete[5];

// A good put on an unloading voucher (iBBuoID) with its unloading causal and its value at discharge.
extern const char *const kvbSQLInbScarico;
// The same, keeping the good's value (the recognition: iBBuoIDSCA, ICAVID).
extern const char *const kvbSQLInbScaricoRicognizione;
// A good taken off its unloading voucher: back in charge (state 2), its value as the voucher left it.
extern const char *const kvbSQLInbTogliScarico;

// The flag iLocked_ of a good read as "inb": 1 when its loading voucher is definitive or the good is
// discharged (states 3 and 4), else 0. While it is 1 the identifying and accounting data of the good
// stay as they are.
extern const char *const kvbSQLILocked;

// --- Rules both voucher windows apply to their headers and goods ----------------------------------------

class TVoQueryCollection;

// Numbering spans the register: a write that relies on a free voucher or goods number first locks the
// register's row, so that two copies of the program cannot take the same number.
void kvbLockNumbering();

// The date a new voucher of that number and kind takes in the current register-year when it would like
// the wanted one: that date when the voucher's date rule accepts it, else the earliest date it accepts.
double kvbAcceptedVoucherDate(double wanted, int number, int kind);
// A loading voucher an import wrote, as the user is told of it: its number, its date, the date its
// source would have given it, and how many goods it holds.
struct TkvbNewVoucher {
    int id = 0;
    int number = 0;
    double date = 0.0;
    double sourceDate = 0.0;
    int goods = 0;
};
// "Creato il buono di carico numero N del dd/MM/yyyy con N beni.", with a second line when the source's
// date was not accepted and the voucher took the earliest accepted one.
QString kvbNewVoucherText(const TkvbNewVoucher &voucher);
// A count with its noun: "1 bene", "3 beni".
QString kvbCountText(int count, const char *one, const char *many);

// What is wrong with a goods number, or an empty text; the sub-code is the one typed (empty: the goods
// without sub-code). The accepted number passes without asking the database.
QString kvbGoodsNumberProblem(const QVariant &number, const QString &subCode, int acceptedNumber);
// Inside the write of a good: the same for goods numbers, "Numero del bene già presente".
void kvbGoodsBeforeWrite(TVoQueryCollection *goods, int listKind, int *proposedNumber);

// Before a good is put on an unloading voucher, inside the write's transaction: its row is locked and
// a good already on an unloading voucher (another user's, committed meanwhile) refuses the write with
// "Il bene %1 è già stato scaricato." (its number), so that no good is discharged twice.
void kvbLockUndischargedGood(const QVariant &goodId);
// Locks a voucher inside the write that adds goods to it or takes them off, refusing one another user
// made definitive meanwhile: only a provisional voucher's goods change.
void kvbLockProvisionalVoucher(const QVariant &voucherId);
