#pragma once
// The statements with which the voucher windows write vouchers, their rows, the rows' sector history
// and the documents, and the deletion of a whole voucher.
class TVoQueryCollection;

extern const char *const kvaSQLBuoInsert;
extern const char *const kvaSQLBuoUpdate;
extern const char *const kvaSQLBuoDelete;
// An unloading voucher generated from a loading voucher: that one counts as not unloaded again.
extern const char *const kvaSQLBuoResetUnloaded;
extern const char *const kvaSQLAfcInsert;
extern const char *const kvaSQLAfcUpdate;
extern const char *const kvaSQLAfcDelete;
// Every unloading row of the article in the voucher's register-year takes the average cost as of its
// own voucher's date, per unloading unit (divided by the unit factor). Parameters :iFBuoId, :iFarId.
extern const char *const kvaSQLRePricing;
extern const char *const kvaSQLArticleVat;
extern const char *const kvaSQLAseInsert;
extern const char *const kvaSQLAseClose;
extern const char *const kvaSQLIdcInsert;
extern const char *const kvaSQLIdcSupplier;
extern const char *const kvaSQLIdcDelete;

// The statement lists of a voucher header of a kind (0 loading, 1 unloading).
void kvaSetHeaderLists(TVoQueryCollection *headers, int kind);
// The statement lists of the rows: loading rows, or unloading rows with their sector history. The
// re-pricing runs after a deleted row is gone, so it no longer counts.
void kvaSetRowLists(TVoQueryCollection *rows, int kind);
// The statement lists of the documents linked to a voucher.
void kvaSetDocumentLists(TVoQueryCollection *documents, int kind);

// Whether all rows of a loading voucher can go together without the stock of one of their articles
// falling below zero on some day. Tried inside a transaction that is always rolled back.
bool kvaVoucherRowsCanGo(int voucherId);
// Deletes a voucher whole in one transaction: its rows, its document links, the flag of the loading
// voucher it was generated from, the header; then the unloading rows of every article it held are
// re-priced. A failure leaves the voucher as it was and reaches the caller.
void kvaDeleteVoucher(int voucherId);
