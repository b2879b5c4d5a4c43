#pragma once
// The working context of the consumables register and the routines that many of its windows share.
#include "AbcUUtil.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TVoDBControl;
class TVoQueryCollection;
class TVoSearchDialog;

// --- Working context ----------------------------------------------------------------------------------

extern int CurrentRegisterType;     // iTfcId of the current register
extern int CurrentNumbering;        // 1 = numbering per register-year, else across the register's years
extern int CurrentVatIncluded;      // 1 = loading amounts are typed VAT included
extern int CurrentRegisterId;       // iFacId of the current register
extern int CurrentRegYear;          // year number of the current register-year
extern int CurrentRegYearId;        // iAnfId of that financial year
extern int CurrentSchoolRegisterId; // iDwgFacId of the current register-year
extern int CurrentRegisterYearId;   // iDwgFacAnfId of the current register-year
extern double CurrentRegStart;      // effective start of the current register-year; -1.0 when not found
extern double CurrentRegEnd;        // effective end; -1.0 when not found
extern int CurrentSiteId;           // the only site, else -1
extern QString CurrentSiteDesc;     // its description, else empty

// Registers of types 5 and 7 share the registers table but belong to the durable-goods program: every
// statement of this program that lists registers or register types leaves them out with this
// condition on the column holding the type. A macro, so that the statements stay string constants.
#define KVA_OWN_REGISTERS(typeColumn) "((" typeColumn "<>5) AND (" typeColumn "<>7))"

// A pair of dates, low and high.
struct DateWindow {
    double low = 0.0;
    double high = 0.0;
};

// Names of the program parameters.
inline const QString ParSchool = QStringLiteral("VOUP_DwgId");
inline const QString ParRegisterYear = QStringLiteral("VOUP_DwgFacAnfId");

// The register-year chosen in the parameters, -1 when unset.
int ParamRegisterYearId();
// The school chosen in the parameters, -1 when unset.
int ParamSchoolId();

// Display text of a parameter's value; for the register-year also loads the register options.
// Another name raises EVoException "Parametro %s non definito".
QVariant GetParamDescription(const QString &name);
// Reads a register-year's effective dates and sets the register-year part of the context.
void LoadCurrentRegisterYear(int registerYearId, double &start, double &end);
// Loads the context from the parameters: at the first activation (which also reads the site and
// skips the register-year when its parameter is unset) and after the parameters are written.
void LoadWorkingContext(bool firstActivation);
// Replaces every "::CURR_DWG" of an SQL text by the current school parameter as a number (-1 when
// unset or not a number).
void ReplaceCurrDwg(QString &sql);
// The same on a copy of a statement constant.
QString CurrDwgReplaced(const char *sql);
// Back to the state before the first activation (used when a program changes database).
void ResetWorkingContext();

// --- Financial years and register-years ---------------------------------------------------------------

// The default dates of a financial year (day 0 for a missing row or date).
void GetSystemYearDates(int yearValue, DateWindow &window);
// Whether a school register is open for a financial year.
bool RegisterHasYear(int schoolRegisterId, int yearValue);
// The register-year of the school register just before (after) the given year number, leaving out
// the register-year leaveOutId (-1: none). With none, year becomes -1 and window.high (window.low)
// -1.0; otherwise window, year and registerYearId describe it.
void GetPreviousRegisterYear(int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                             int &registerYearId);
void GetNextRegisterYear(int schoolRegisterId, int leaveOutId, DateWindow &window, int &year,
                         int &registerYearId);

// --- Voucher numbering, date windows and stock ------------------------------------------------------

// Voucher kinds.
inline constexpr int kvaLoading = 0;
inline constexpr int kvaUnloading = 1;

// The next number of a voucher kind in the numbering scope of the current register.
int NextVoucherNumber(int type);
// Whether a voucher of that kind already has the number in the numbering scope.
bool VoucherNumberExists(int number, int type);
// The dates a voucher of that number and kind may take in the current register-year: not before the
// lower-numbered vouchers' latest date nor after the higher-numbered ones' earliest date.
void GetVoucherDateLimits(int number, int type, DateWindow &window);
// An article's stock at a date in the current register-year (sector -1: all sectors).
double GetStock(int articleId, int sectorId, double date);
void GetStockAndCost(int articleId, double &stock, double &cost, int sectorId, double date);
// Whether the stock of the article stays non-negative after the change of a row (rowId > 0: the row's
// quantity becomes quantity, 0 for a deletion), or the addition of an unloading row of quantity to
// unloadingVoucherId (rowId <= 0); with neither, the data as they stand.
bool CheckStock(int articleId, int rowId, int unloadingVoucherId, double quantity);
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

// A new key for a table from the server.
int NewId(const QString &tableName);
// The standard report a report id stands for: customised reports (ids from 1000000) map to theirs.
int GetBaseReportId(int reportId);
// The same for the report being run by the menu's report tree.
int GetBaseReportId();
// The text of an XML definition of the archive; an empty list code means "KVA". A missing definition
// raises EVoError "XML codice %s Non trovato nel DB".
void LoadXmlArchive(QString &target, const QString &code, const QString &listCode);
// Turns the LIKE conditions of a filter into case-insensitive "contains" conditions.
QString ConvertLikeFilter(const QString &filter);
// Refuses the deletion of a row that other rows still use (EVoError with the message), before the
// database would refuse it with its own words: the select, given the row's key, finds a user.
void RefuseDeleteWhileUsed(const QString &usersSQL, const QString &keyParam, const QVariant &key,
                           const QString &message);
// The voucher rows and articles that name a code by the column of that name: the select of the code's
// users for GuardDeleteWhileUsed. A macro, so that the statements stay string constants.
#define KVA_ROWS_AND_ARTICLES_NAMING(column)                                                                 \
    "SELECT IAFCID FROM TAFC_ARTVELIST WHERE " column " = :" column                                          \
    " UNION ALL SELECT IFARID FROM TFAR_FACARTICOLI WHERE " column " = :" column
// The refusal of a code or document that movements or articles still name.
inline const QString CodeInUseMessage =
    QStringLiteral("Impossibile cancellare: ci sono dei movimenti o degli articoli collegati.");
// Refuses the deletion of a collection's row while other rows use it, inside the deletion's
// transaction: the row is locked first (the key column of the table being keyField), so that no other
// copy writes it meanwhile, then the select, given the row's key as the parameter keyField, looks for a
// user.
void GuardDeleteWhileUsed(TVoQueryCollection *collection, const QString &table, const QString &keyField,
                          const QString &usersSQL, const QString &message = CodeInUseMessage);
// A data-aware control writable and enabled, or read-only and disabled (greyed, out of the tab order).
void SetControlWritable(TVoDBControl *control, bool writable);
// Shows the search form's columns from 1 on (column 0, the key, is left alone), each searched, with
// its caption and width. Lists of different lengths change nothing and say "Parametri del
// SetSearchForm sbagliati".
void SetSearchForm(TVoSearchDialog *form, const QStringList &captions, const QList<int> &widths);
// Shows column 1 as the searched column "Tabella <name>", 450 wide.
void SetSearchFormTable(TVoSearchDialog *form, const QString &name);
