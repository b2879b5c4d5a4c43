#pragma once
// Budget rows for the tests of the budget windows and routines, written as the budgeting program of
// the suite writes them, and the fixture that opens them on the demo database with the working context
// of a register-year as kva loads it.
#include "VoTestDb.h"

class QWidget;
class TVoQueryCollection;

#include <QDate>
#include <QString>
#include <QVariant>

// Optional columns of a budget row; the defaults make a live, common row valid from 2020 on.
struct TBudgetRow {
    QVariant school;                 // IDWGID; NULL: common to all schools
    QDate start = QDate(2020, 1, 1); // DSTART
    QDate end;                       // DEND; invalid: open
    bool deleted = false;            // DDELETE set
    int corId = 3;                   // ICORID of items and sub-items
};

// A row of a school (or common), with its validity.
TBudgetRow BudgetRow(const QVariant &school, const QDate &start = QDate(2020, 1, 1),
                     const QDate &end = QDate(), bool deleted = false);

int TestAggregate(const QString &code, int cashFlow = 2, const TBudgetRow &row = {}, int totalType = 1);
int TestItem(int aggregateId, const QString &code, const TBudgetRow &row = {});
int TestSubItem(int itemId, const QString &code, const TBudgetRow &row = {});
// A project model of a school on an item (0: none) for a financial year.
int TestModel(int itemId, int schoolId, int yearValue, bool deleted = false);
int TestApproval(int modelId, int locked, bool deleted = false);
// An amount of a model on an item, sub-item and aggregate (0: none).
int TestAmount(int modelId, int itemId, int subItemId, int aggregateId, bool deleted = false);

// A test on the demo database with the budget module bound to it and the context of the demo
// register-year of 2026 loaded as kva loads it (the financial year's own dates).
class AbcBudgetTest : public VoDbTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Chooses another register-year, as the parameters dialog does.
    void ChooseYear(int yearValue);
    // Another window comes forward, then the window again.
    static void Reactivate(QWidget *window);
    // The values of a field in every row of a collection, joined by "|".
    static QString Listed(TVoQueryCollection *collection, const QString &field);

    int school = 0;
};
