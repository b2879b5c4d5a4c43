#pragma once
// The durable-goods program's half of the working context and the routines its windows share:
// parameter descriptions, the register-year's dates, the date window of a voucher, the numbering of
// vouchers and goods over the whole register, the register-year that holds a date. The values and
// routines both programs share are AbcUContext's and AbcURoutines'.
#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoMoney.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

class QWidget;
class TVoQuery;
struct TAbcVoucherProfile;

// The school of the current register-year.
extern int CurrentRegSchoolId;

// Voucher kinds.
inline constexpr int kvbLoading = 0;
inline constexpr int kvbUnloading = 1;
// Voucher and goods numbers from this one up take no part when the next number is sought.
inline constexpr int kvbNumberLimit = 9999999;

// How this program numbers and dates its vouchers, for the rules both programs share (AbcUBuoni.h).
extern const TAbcVoucherProfile kvbVoucherProfile;

// The routines that the consumables register also has, under the same names and with rules of its own,
// live in this program's namespace, so that the code of both programs links into one binary.
namespace kvb {
// Display text of a parameter's value: the school's short description, or the register's description
// with "  Anno: " and the year; the latter also sets CurrentRegisterType. Another name raises
// EVoException "Parametro %s non definito".
QVariant GetParamDescription(const QString &name);
// Reads a register-year's effective dates (-1.0 each when there is none) and sets CurrentRegYear and
// CurrentRegSchoolId.
void LoadCurrentRegisterYear(int registerYearId, double &start, double &end);
// Loads the context from the parameters (at the first activation, and after they are written).
void LoadWorkingContext(bool firstActivation);
// Back to the state before the first activation: nothing set, the register-year's dates unset.
void ResetWorkingContext();

// The dates a voucher of that number and kind may take in the current register-year: not before the
// latest date of its lower-numbered vouchers nor the register's last closing, not after the earliest
// date of its higher-numbered ones (0.0 and 99999.0 when there are none).
void GetVoucherDateLimits(int number, int kind, DateWindow &window);
} // namespace kvb
// Whether a good of the current register has the number and a sub-code matching the pattern ("%": any
// sub-code; a missing sub-code counts as an empty one). Goods out of the register never count.
bool GoodsNumberExists(int number, const QString &subCodePattern);
// The next goods number of a register (-1: the current one), over all its years.
int NextGoodsNumber(int registerId = -1);
namespace kvb {
// Whether a voucher of that kind already has the number in the current register.
bool VoucherNumberExists(int number, int kind);
} // namespace kvb
// The next number of a voucher kind in a register (-1: the current one), over all its years.
int NextVoucherNumber(int kind, int registerId = -1);
// The register-year of a register (-1: the current one) whose dates hold the date; 0 when none does.
int FindRegisterYearByDate(int registerId, double date);

// The goods filter: its stored definition (code, list of the program's definitions) and the program
// whose saved filters it offers.
inline const QString kvbGoodsFilterCode = QStringLiteral("KVB_BENIFL");
inline const QString kvbXmlList = QStringLiteral("KVB");
inline const QString kvbGoodsFilterProgram = QStringLiteral("kvb");
// The goods filter's definition; empty where the database lacks it, so that the filter is not offered
// rather than the list refused.
QString kvbGoodsFilterDefinition();

// An amount typed the Italian way; empty text is 0. Anything else raises EVoError.
TVoMoney TextToAmount(const QString &text);
// Sends a query's parameter as a NULL of the type.
void SetParamNull(TVoQuery &query, const QString &name, QMetaType::Type type);
// Puts a control 10 pixels to the right of another.
void PlaceRightOf(const QWidget *anchor, QWidget *control);

// The date of the current register's latest renumbering, voucher or closing (a day count); 0 when it
// has none. A renumbering must come after it.
double LatestRenumberingEvent();
// Gives the register's goods still in charge and numbered above 0 new numbers from startNumber, by
// number or, with byLoadingDate, by their loading voucher's date and then number, keeping each
// sub-code and recording the old numbers at the date in the goods' histories; the discharged goods
// then leave the register's numbering. Refused, with a warning and nothing changed, while a voucher of
// the register is provisional or when the date is not after the register's latest renumbering, voucher
// and closing. All of it is one transaction. Returns whether the goods were renumbered; renumbered,
// when given, receives how many.
bool RenumberAllGoods(int startNumber, bool byLoadingDate, double date, int *renumbered = nullptr);
// Closes the gaps among a loading voucher's goods: from the highest down, each good takes the first
// number from the one before that no good of the register holds. One transaction.
void RenumberVoucherGoods(int voucherId);
