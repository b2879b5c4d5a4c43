#pragma once
// The working context of the consumables register and the routines that many of its windows share.
#include "AbcUContext.h"
#include "AbcURoutines.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

struct TAbcVoucherProfile;

// --- Working context ----------------------------------------------------------------------------------
// The values both programs keep (register, register-year, dates, site) are AbcUContext's.

extern int CurrentNumbering;   // 1 = numbering per register-year, else across the register's years
extern int CurrentVatIncluded; // 1 = loading amounts are typed VAT included
extern int CurrentRegYearId;   // iAnfId of the current register-year's financial year

// Registers of types 5 and 7 share the registers table but belong to the durable-goods program: every
// statement of this program that lists registers or register types leaves them out with this
// condition on the column holding the type. A macro, so that the statements stay string constants.
#define KVA_OWN_REGISTERS(typeColumn) "((" typeColumn "<>5) AND (" typeColumn "<>7))"

// The routines that the durable-goods program also has, under the same names and with rules of its own,
// live in this program's namespace, so that the code of both programs links into one binary.
namespace kva {
// Display text of a parameter's value; for the register-year also loads the register options.
// Another name raises EVoException "Parametro %s non definito".
QVariant GetParamDescription(const QString &name);
// Reads a register-year's effective dates and sets the register-year part of the context.
void LoadCurrentRegisterYear(int registerYearId, double &start, double &end);
// Loads the context from the parameters: at the first activation (which also reads the site and
// skips the register-year when its parameter is unset) and after the parameters are written.
void LoadWorkingContext(bool firstActivation);
// Back to the state before the first activation (used when a program changes database).
void ResetWorkingContext();
} // namespace kva

// --- Voucher numbering, date windows and stock ------------------------------------------------------

// Voucher kinds.
inline constexpr int kvaLoading = 0;
inline constexpr int kvaUnloading = 1;

// How this program numbers and dates its vouchers, for the rules both programs share (AbcUBuoni.h).
extern const TAbcVoucherProfile kvaVoucherProfile;
// The next number of a voucher kind in the numbering scope of the current register.
int NextVoucherNumber(int type);
namespace kva {
// Whether a voucher of that kind already has the number in the numbering scope.
bool VoucherNumberExists(int number, int type);
// The dates a voucher of that number and kind may take in the current register-year: not before the
// lower-numbered vouchers' latest date nor after the higher-numbered ones' earliest date.
void GetVoucherDateLimits(int number, int type, DateWindow &window);
} // namespace kva
// An article's stock at a date in the current register-year (sector -1: all sectors).
double GetStock(int articleId, int sectorId, double date);
void GetStockAndCost(int articleId, double &stock, double &cost, int sectorId, double date);
// The stock and average cost of every article with a row up to the date in the current register-year
// (sector -1: all sectors), read in one pass: the same numbers GetStockAndCost gives one by one. An
// article without rows is not in it (its stock and cost are 0).
struct TkvaStock {
    double stock = 0.0;
    double cost = 0.0;
};
QHash<int, TkvaStock> GetAllStocksAndCosts(int sectorId, double date);
// The stock of every article in each delivery sector up to the date in the current register-year, by
// article and then by sector in key order, the rows without a sector under 0: the lines of an article
// add up to its stock over all sectors, and a sector may hold less than nothing.
QHash<int, QMap<int, double>> GetSectorStocks(double date);
// Whether the stock of the article stays non-negative after the change of a row (rowId > 0: the row's
// quantity becomes quantity, 0 for a deletion), or the addition of an unloading row of quantity to
// unloadingVoucherId (rowId <= 0); with neither, the data as they stand.
bool CheckStock(int articleId, int rowId, int unloadingVoucherId, double quantity);
// The largest quantity, in unloading measures, that an unloading row of the article can take at a date
// in the current register-year without the stock falling below zero then or on any later day, the
// row rowId (when above 0) left out; never below zero.
double LargestUnloading(int articleId, double date, int rowId);
// How many unloading measures make one loading measure of the article (1 without a factor).
double UnitFactor(int articleId);
// Cuts a value to a number of decimals, toward zero, on its shortest decimal form.
double TruncateDecimals(int decimals, double value);

// --- Articles -----------------------------------------------------------------------------------------

// The books category: a book is found and described by its title, author and publisher.
inline constexpr int kvaBooksCategory = 5;

// The code of an article of that description (for a title given, also of that book): the code of an
// article that has it already, else the next code, seven digits with leading zeros, one above the
// highest code made only of digits ("0000001" for the first).
QString GetArticleCode(const QString &longDesc, const QString &title, const QString &author,
                       const QString &publisher);
// The article of a description, ignoring case (a book also by title, author and publisher), or, with
// create set, a new one with the next code; -1 when there is none and none is made. The new article
// is written in the caller's transaction, if one is open. Its description and book fields are stored
// in upper case: a book's description is its title, author and publisher joined by " - ", any other
// article has empty book fields whatever the caller passed. Classification, detail, unit and VAT rate
// are stored only when above 0; category and goods code as given.
int FindOrInsertArticle(const QString &longDesc, const QString &title, const QString &author,
                        const QString &publisher, int category, int classification, int goodsCode, int detail,
                        int unit, int vatRate, bool create);
// Builds the catalogue once from the descriptions that voucher rows carried before it existed, when the
// database asks for it (its marker row holds no value), on one computer only: another start meanwhile
// is told to wait, and false says that this program must end. A database without the marker row is
// never rebuilt. The rebuild runs in one transaction: a failure leaves the rows, the articles and the
// marker as they were and is shown.
bool SyncArticles();
// Whether a goods code belongs to a category already.
bool GoodsCodeHasCategories(int goodsCodeId);

// --- Common routines ----------------------------------------------------------------------------------

// The standard report of the one being run by the menu's report tree.
int GetBaseReportId();
