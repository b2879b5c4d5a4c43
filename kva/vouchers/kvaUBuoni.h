#pragma once
// The statements with which the voucher windows write vouchers, their rows, the rows' sector history
// and the documents, and the deletion of a whole voucher.
#include <QString>
#include <QVariant>

class TVoQueryCollection;

extern const char *const kvaSQLBuoInsert;
extern const char *const kvaSQLBuoUpdate;
extern const char *const kvaSQLBuoDelete;
// An unloading voucher generated from a loading voucher: that one counts as not unloaded again.
extern const char *const kvaSQLBuoResetUnloaded;
extern const char *const kvaSQLAfcInsert;
extern const char *const kvaSQLAfcUpdate;
extern const char *const kvaSQLAfcDelete;
// Every unloading row of the article in the stock scope of the voucher's register-year takes the
// average cost as of its own voucher's date, per unloading unit (divided by the unit factor), in one
// pass over the article's rows. Parameters :iFBuoId, :iFarId.
extern const char *const kvaSQLRePricing;
extern const char *const kvaSQLArticleVat;
extern const char *const kvaSQLAseInsert;
extern const char *const kvaSQLAseClose;
extern const char *const kvaSQLIdcInsert;
extern const char *const kvaSQLIdcSupplier;
extern const char *const kvaSQLIdcDelete;
// A loading voucher written whole by an import, and one of its rows with the fixed causal, condition
// and budget item that taken-over goods get (:VOGENID is the row's key).
extern const char *const kvaSQLImportBuoInsert;
extern const char *const kvaSQLImportAfcInsert;
// The articles an unloading row may take: those with stock over all sectors at the date :data in the
// register-year :iDwgAnfFacId.
extern const char *const kvaSQLArticlesInStock;

// The statement lists of a voucher header of a kind (0 loading, 1 unloading).
void kvaSetHeaderLists(TVoQueryCollection *headers, int kind);
// The statement lists of the rows: loading rows, or unloading rows with their sector history. The
// re-pricing runs after a deleted row is gone, so it no longer counts. Quantities and costs are held
// to their bounds.
void kvaSetRowLists(TVoQueryCollection *rows, int kind);
// The statement lists of the documents linked to a voucher.
void kvaSetDocumentLists(TVoQueryCollection *documents, int kind);

// Whether all rows of a loading voucher can go together without the stock of one of their articles
// falling below zero on some day. Tried inside a transaction (a savepoint of the caller's) that is
// always rolled back. When they cannot, failingArticle (when given) receives the first article whose
// stock would fall. A check that cannot be made raises its error.
//
// Wherever a voucher's rows are deleted, the database refusing it by a rule on the rows (a trigger,
// a reference) raises EVoError "Impossibile cancellare gli articoli del buono."; any other database
// error (a lock conflict, a lost connection) is raised as it is.
bool kvaVoucherRowsCanGo(int voucherId, int *failingArticle = nullptr);
// Deletes a voucher whole in one transaction: its rows, its document links, the flag of the loading
// voucher it was generated from, the header; then the unloading rows of every article it held are
// re-priced. A failure leaves the voucher as it was and reaches the caller.
void kvaDeleteVoucher(int voucherId);
// Re-prices the unloading rows of every article of a voucher (after its date moved), in the caller's
// transaction.
void kvaRePriceVoucher(int voucherId);
// The part of that deletion that comes before the header's own statements: rows, document links and
// the re-pricing, in one transaction (a savepoint of the caller's).
void kvaDeleteVoucherContents(int voucherId);

// --- Closed years ----------------------------------------------------------------------------------------

// The sentence with which the database refuses a change of a closed year.
extern const char *const kvaClosedYearText;
// Whether a closing of its register reaches the register-year: then nothing of its vouchers changes.
bool kvaYearClosed(int registerYearId);
// Refuses with kvaClosedYearText when the current register-year is closed: told as soon as the user
// asks for what a closed year cannot take, before any question. The write checks again itself.
void kvaRefuseClosedYear();
// Refuses, inside the caller's transaction, a change of a voucher of a closed year; the voucher's
// header row is taken, so that a closing under way is waited for and then seen.
void kvaCheckVoucherOpen(int voucherId);

// --- Rules of the voucher windows' headers -------------------------------------------------------------

// The check of a loading voucher's deletion, inside its transaction (the header collection's
// BeforeWrite): two copies of the program may save at once, so a check made before the write could be
// stale when it commits. Locks the articles of its rows and refuses, with "Impossibile cancellare, la
// giacenza dell'articolo %s andrebbe in negativo!", when removing the rows together would take the
// stock of one of them below zero (kvaVoucherRowsCanGo). The questions about rows and documents come
// before, outside the transaction.
void kvaCheckVoucherRowsCanGo(int voucherId);

// A row of a voucher written by an import: sector, site, location, responsible and VAT rate are
// NULL when not valid, the note empty when none.
struct TKvaImportedRow {
    int voucher = 0;
    int article = 0;
    // The voucher or movement the row comes from, and the good or article, as a refusal names them.
    QString source, good;
    double quantity = 0.0;
    double unitCost = 0.0;
    QVariant vatRate, location, responsible, sector, site;
    QString note;
};
// Writes the row with causal 1, condition 2 and budget item 30, taken in charge in the current year;
// a quantity or cost beyond what a loading row may hold is refused as kvaCheckWrittenRow says.
void kvaInsertImportedRow(const TKvaImportedRow &row);
// Refuses, naming the voucher and the article, a row of a kind (kvaLoading, kvaUnloading) that a job
// writes itself when its quantity or cost lies beyond what the voucher windows let a user save: the
// job's transaction then writes nothing. A quantity of zero passes: a job writes what it was handed.
// A row carried over from accepted rows (a closing's stock and average cost) is held to the room its
// bounds leave for the unit factor and the VAT instead.
void kvaCheckWrittenRow(int kind, const QString &voucher, const QString &article, double quantity,
                        double cost, bool carried = false);

// Serialises the writers of one numbering scope (register-year or register) for the rest of the open
// transaction, so that the next number read after it stays free until the commit.
void kvaLockNumbering();

// What is wrong with a voucher date, or an empty text: the rule both programs share
// (AbcVoucherDateProblem); then, for a saved voucher (voucherId > 0) whose date changes from
// storedDate, whether its articles' stock stays non-negative (kvaVoucherDateKeepsStock).
QString kvaVoucherDateProblem(double date, int number, int kind, int voucherId, double storedDate);
// Tries a new date on a saved voucher: whether every article of its rows keeps a stock of zero or
// more with the voucher on that date. The date is written and the server asked inside a transaction
// that is always rolled back, so the trial date never stays. When the stock would fall, article
// receives the long description of the first row that makes it fall. A check that cannot be made
// raises its error.
bool kvaVoucherDateKeepsStock(int voucherId, double date, QString *article);
