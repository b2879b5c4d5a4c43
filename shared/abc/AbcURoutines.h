#pragma once
// Routines both programs use alike: new keys, customised reports, XML definitions, the
// financial-year and register-year lookups of the school-register windows, the refusal of deleting
// a code still in use, and the set-up of search forms.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TVoDBControl;
class TVoQueryCollection;
class TVoSearchDialog;

// A pair of dates, low and high.
struct DateWindow {
    double low = 0.0;
    double high = 0.0;
};

// A new key for a table from the server.
int NewId(const QString &tableName);
// The standard report a report id stands for: customised reports (ids from 1000000) map to theirs, 0
// when the customised report is unknown.
int GetBaseReportId(int reportId);
// The text of an XML definition of the archive; an empty list code means the list of the running
// program (its code, AbcCProgram.h). A missing definition raises EVoError "XML codice %s Non trovato
// nel DB".
void LoadXmlArchive(QString &target, const QString &code, const QString &listCode);

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

// Refuses the deletion of a row that other rows still use (EVoError with the message), before the
// database would refuse it with its own words: the select, given the row's key, finds a user.
void RefuseDeleteWhileUsed(const QString &usersSQL, const QString &keyParam, const QVariant &key,
                           const QString &message);
// The refusal of a code or document that movements or articles still name.
inline const QString CodeInUseMessage =
    QStringLiteral("Impossibile cancellare: ci sono dei movimenti o degli articoli collegati.");
// Refuses the deletion of a collection's row while other rows use it, inside the deletion's
// transaction: the row is locked first (the key column of the table being keyField), so that no other
// copy writes it meanwhile, then the select, given the row's key as the parameter keyField, looks for a
// user.
void GuardDeleteWhileUsed(TVoQueryCollection *collection, const QString &table, const QString &keyField,
                          const QString &usersSQL, const QString &message = CodeInUseMessage);

// Shows the search form's columns from 1 on (column 0, the key, is left alone), each searched, with
// its caption and width. Lists of different lengths change nothing and say "Parametri del
// SetSearchForm sbagliati".
void SetSearchForm(TVoSearchDialog *form, const QStringList &captions, const QList<int> &widths);
// The same with every column 200 wide.
void SetSearchForm(TVoSearchDialog *form, const QStringList &captions);
// Shows column 1 as the searched column "Tabella <name>", 450 wide.
void SetSearchFormTable(TVoSearchDialog *form, const QString &name);

// A data-aware control writable and enabled, or read-only and disabled (greyed, out of the tab order).
void SetControlWritable(TVoDBControl *control, bool writable);
