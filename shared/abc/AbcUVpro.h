#pragma once
// The budget's routines: which kind of budget window the menu opens, the tests against the project
// models of the suite's budgeting program (whose rows this system only counts), and the rules of the
// codes of aggregates, items and sub-items. Every routine reads through the budget module's connection
// and takes the school from CurrentSchoolId; dates are day counts.
#include <QString>

class QWidget;
class TfrVoDBRWGrid;

// Set by the programs' menus before a budget window opens: 1 income ("Entrate"), 2 expenses
// ("Uscite"); 1 in total ("In totale"), any other value out of total ("Fuori totale").
extern int CashFlow;
extern int TotalType;

// Makes the budget module bound to the global connection when there is none; true when it exists.
bool EnsureVproDBQuery();

// Whether live models of the school name the item (or live amounts of such models do).
bool IsItemOccupied(int itemId);
// The same, counting only models with a live locked approval.
bool IsItemBlocked(int itemId);
bool IsSubItemOccupied(int subItemId);
bool IsSubItemBlocked(int subItemId);
// Live amounts on the aggregate of approved (any lock state) / locked models of the school.
bool IsAggregateOccupied(int aggregateId);
bool IsAggregateBlocked(int aggregateId);
// The start of the latest financial year in which a model of the school uses the item.
double ItemLastModelYearStart(int itemId);

// The code of an aggregate, as stored (empty when there is no such aggregate).
QString AggregateCode(int aggregateId);
// The next code of an income aggregate: the largest numeric one plus one, "01" at least.
QString NextAggregateCode();
// The next three-digit code of a sub-item of the item.
QString NextSubItemCode(int itemId);
// Whether the code is the prefix followed by a number (nothing but digits).
bool CodeHasPrefix(const QString &code, const QString &prefix);
// Whether no other live item of the aggregate (of the school or common) has the code in a period that
// overlaps the given one; an end of -1 leaves the period open.
bool ItemCodeIsFree(int itemId, int aggregateId, const QString &code, double periodStart, double periodEnd);
// The code to propose for an item of the aggregate: the aggregate's code followed by the next number
// among the current year's items (itemId -1 for a new item, else the item, which does not count).
QString ProposeItemCode(int aggregateId, int itemId);

// What the budget frames say when a rule refuses a post, where items, sub-items and aggregates share it.
extern const QString VproCodeRequired;
extern const QString VproNoAccount;
extern const QString VproAccountLost;
extern const QString VproFrozen;
// Asks whether to go on, since the models that use the element will follow the change; true for Yes.
bool ConfirmModelsUpdate();
// Shows the message of a rule that refuses a post, puts the focus on the field at fault (when given, on
// the frame's detail page) and stops the post without a further word; the row stays as it is.
[[noreturn]] void RefusePost(const QString &message, TfrVoDBRWGrid *frame = nullptr,
                             QWidget *focus = nullptr);
// For a code edit's key handler: drops the keys that type something other than a digit.
void DigitKeysOnly(int &Key);
