#pragma once
// The statements with which every window of the program writes vouchers and goods, the goods'
// states, and the read-only flag the goods lists compute.
//
// Parameters: VOGENID is a new key, VOCURRID the current row's key (the query collections supply
// both); the others are named after the columns they fill.

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
