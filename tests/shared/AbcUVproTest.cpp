// The budget routines on a real database: the code rules at their edges, among rows of another school,
// deleted rows and expense aggregates, and the tests against the models of the budgeting program.
#include "AbcUVpro.h"
#include "AbcTestBudget.h"
#include "AbcUUtil.h"
#include "VoDates.h"
#include "VoQuery.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using AbcVproRoutinesTest = AbcBudgetTest;

TBudgetRow Deleted() {
    return BudgetRow(QVariant(), QDate(2020, 1, 1), QDate(), true);
}

} // namespace

TEST_F(AbcVproRoutinesTest, NextAggregateCodeCountsTheLiveWhollyNumericIncomeCodes) {
    const int other = school + 1000;
    // The demo income aggregates are 01 and 03.
    const struct {
        const char *code;
        int cashFlow;
        TBudgetRow row;
        const char *next;
    } steps[] = {
        {"X7", 1, {}, "04"},
        {"5A", 1, {}, "04"},
        {"90", 2, {}, "04"},
        {"60", 1, Deleted(), "04"},
        {"40", 1, BudgetRow(other), "04"},
        {"12", 1, BudgetRow(school), "13"},
        {"98", 1, {}, "99"},
        {"99", 1, BudgetRow(school), "100"},
    };
    EXPECT_EQ(NextAggregateCode(), QStringLiteral("04"));
    for (const auto &step : steps) {
        TestAggregate(QString::fromLatin1(step.code), step.cashFlow, step.row);
        EXPECT_EQ(NextAggregateCode(), QString::fromLatin1(step.next)) << "after " << step.code;
    }
    VoExecSQL(QStringLiteral("UPDATE TAGG_AGGREGATI SET DDELETE = CURRENT_TIMESTAMP WHERE IFLSID = 1 AND "
                             "SAGGDESCS <> 'X7'"));
    EXPECT_EQ(NextAggregateCode(), QStringLiteral("01")) << "only a code of letters left";
}

TEST_F(AbcVproRoutinesTest, NextSubItemCodeCountsTheItemsLiveNumericCodes) {
    const int aggregate = TestAggregate(QStringLiteral("07"), 1);
    const int item = TestItem(aggregate, QStringLiteral("0701"));
    const int otherItem = TestItem(aggregate, QStringLiteral("0702"));
    for (const char *code : {"001", "002", "X", "4B"})
        TestSubItem(item, QString::fromLatin1(code));
    TestSubItem(item, QStringLiteral("009"), Deleted());
    TestSubItem(item, QStringLiteral("008"), BudgetRow(school + 1000));
    TestSubItem(otherItem, QStringLiteral("050"));
    EXPECT_EQ(NextSubItemCode(item), QStringLiteral("003"));
    TestSubItem(item, QStringLiteral("011"), BudgetRow(school));
    EXPECT_EQ(NextSubItemCode(item), QStringLiteral("012"));
    EXPECT_EQ(NextSubItemCode(TestItem(aggregate, QStringLiteral("0703"))), QStringLiteral("001"));
}

TEST_F(AbcVproRoutinesTest, CodeHasPrefixWantsThePrefixAndNothingButDigits) {
    const struct {
        const char *code;
        const char *prefix;
        bool has;
    } cases[] = {{"A05", "A", true},  {"A", "A", false},   {"B05", "A", false}, {"A0X", "A", false},
                 {"a05", "A", false}, {"A5B", "A", false}, {"A 5", "A", false}, {"0301", "03", true},
                 {"P123", "P", true}, {"A-5", "A", false}};
    for (const auto &c : cases)
        EXPECT_EQ(CodeHasPrefix(QString::fromLatin1(c.code), QString::fromLatin1(c.prefix)), c.has)
            << c.code << " / " << c.prefix;
}

TEST_F(AbcVproRoutinesTest, ItemCodeIsFreeOutsideThePeriodAndAmongOtherRows) {
    const int aggregate = TestAggregate(QStringLiteral("Q"));
    const int otherAggregate = TestAggregate(QStringLiteral("Z"));
    const QDate yearStart(2026, 1, 1), yearEnd(2026, 12, 31);
    const struct {
        const char *code;
        int aggregate;
        TBudgetRow row;
    } items[] = {
        {"Q01", aggregate,
         BudgetRow(QVariant(), QDate(2025, 1, 1), yearStart)}, // ends where the period starts
        {"Q02", aggregate, BudgetRow(school, yearEnd)},        // open, starts where it ends
        {"Q03", aggregate, BudgetRow(QVariant(), yearEnd, QDate(2027, 6, 30))}, // starts where it ends
        {"Q04", aggregate, Deleted()},
        {"Q05", aggregate, BudgetRow(school + 1000)},
        {"Q06", otherAggregate, {}},
        {"Q07", aggregate, BudgetRow(school)},
        {"Q08", aggregate, BudgetRow(QVariant(), QDate(2026, 6, 1), QDate(2026, 6, 2))},
    };
    QHash<QString, int> ids;
    for (const auto &item : items)
        ids.insert(QString::fromLatin1(item.code),
                   TestItem(item.aggregate, QString::fromLatin1(item.code), item.row));
    const double start = DateToDays(yearStart), end = DateToDays(yearEnd);
    const struct {
        const char *code;
        bool itself;
        double periodEnd;
        bool free;
    } cases[] = {{"Q01", false, end, true},      {"Q02", false, end, true},      {"Q03", false, end, true},
                 {"Q04", false, end, true},      {"Q05", false, end, true},      {"Q06", false, end, true},
                 {"Q07", false, end, false},     {"Q07", true, end, true},       {"Q08", false, end, false},
                 {"Q01", false, VoNoDate, true}, {"Q03", false, VoNoDate, false}};
    for (const auto &c : cases) {
        const QString code = QString::fromLatin1(c.code);
        EXPECT_EQ(ItemCodeIsFree(c.itself ? ids[code] : -1, aggregate, code, start, c.periodEnd), c.free)
            << c.code << (c.itself ? " itself" : "") << (c.periodEnd == VoNoDate ? " open period" : "");
    }
}

TEST_F(AbcVproRoutinesTest, ProposeItemCodeTakesTheNextNumberAfterTheAggregatesCode) {
    const int aggregate = TestAggregate(QStringLiteral("Q"), 2, BudgetRow(school));
    const struct {
        const char *code;
        TBudgetRow row;
    } items[] = {{"Q01", {}},
                 {"05", {}}, // a bare number is no item of a lettered aggregate
                 {"XQ09", {}},
                 {"Q40", BudgetRow(QVariant(), QDate(2020, 1, 1), QDate(2025, 12, 31))},
                 {"Q50", Deleted()},
                 {"Q60", BudgetRow(school + 1000)},
                 {"Q30", BudgetRow(QVariant(), QDate(2027, 1, 1))}};
    for (const auto &item : items)
        TestItem(aggregate, QString::fromLatin1(item.code), item.row);
    const int seven = TestItem(aggregate, QStringLiteral("Q7"), BudgetRow(school, QDate(2026, 12, 31)));
    EXPECT_EQ(ProposeItemCode(aggregate, -1), QStringLiteral("Q08"));
    EXPECT_EQ(ProposeItemCode(aggregate, seven), QStringLiteral("Q02")) << "the item itself does not count";
    TestItem(aggregate, QStringLiteral("Q97"));
    EXPECT_EQ(ProposeItemCode(aggregate, -1), QStringLiteral("Q98"));
    TestItem(aggregate, QStringLiteral("Q123"));
    EXPECT_EQ(ProposeItemCode(aggregate, -1), QStringLiteral("Q124"));

    const int numeric = TestAggregate(QStringLiteral("04"), 1);
    for (const char *code : {"0401", "0405", "7"})
        TestItem(numeric, QString::fromLatin1(code));
    EXPECT_EQ(ProposeItemCode(numeric, -1), QStringLiteral("0406"));
    EXPECT_TRUE(CodeHasPrefix(ProposeItemCode(numeric, -1), QStringLiteral("04")));
    EXPECT_EQ(ProposeItemCode(TestAggregate(QStringLiteral("V")), -1), QStringLiteral("V01"));
}

TEST_F(AbcVproRoutinesTest, ModelsOccupyAndBlockForTheirSchoolOnly) {
    const int other = school + 1000;
    struct TCase {
        const char *what;
        std::function<void(int item, int sub, int agg)> rows;
        bool itemOccupied, itemBlocked, subOccupied, subBlocked, aggOccupied, aggBlocked;
    };
    const TCase cases[] = {
        {"nothing", [](int, int, int) {}, false, false, false, false, false, false},
        {"a model of the school", [this](int item, int, int) { TestModel(item, school, 2025); }, true, false,
         false, false, false, false},
        {"an approved model of the school with amounts",
         [this](int item, int sub, int agg) {
             const int m = TestModel(item, school, 2025);
             TestApproval(m, 0);
             TestAmount(m, item, sub, agg);
         },
         true, false, true, false, true, false},
        {"a frozen model of the school with amounts",
         [this](int item, int sub, int agg) {
             const int m = TestModel(item, school, 2025);
             TestApproval(m, 1);
             TestAmount(m, item, sub, agg);
         },
         true, true, true, true, true, true},
        {"a frozen model of another school",
         [other](int item, int sub, int agg) {
             const int m = TestModel(item, other, 2025);
             TestApproval(m, 1);
             TestAmount(m, item, sub, agg);
         },
         false, false, false, false, false, false},
        {"a deleted locked approval",
         [this](int item, int sub, int agg) {
             const int m = TestModel(item, school, 2025);
             TestApproval(m, 1, true);
             TestAmount(m, item, sub, agg);
         },
         true, false, true, true, false, false},
        {"a deleted model",
         [this](int item, int sub, int agg) {
             const int m = TestModel(item, school, 2025, true);
             TestApproval(m, 1);
             TestAmount(m, item, sub, agg);
         },
         false, false, false, false, false, false},
        {"amounts of a frozen model of another item",
         [this](int item, int sub, int agg) {
             const int m = TestModel(0, school, 2027);
             TestApproval(m, 1);
             TestAmount(m, item, sub, agg);
         },
         true, true, true, true, true, true},
        {"deleted amounts of a frozen model",
         [this](int item, int sub, int agg) {
             const int m = TestModel(0, school, 2027);
             TestApproval(m, 1);
             TestAmount(m, item, sub, agg, true);
         },
         false, false, false, false, false, false},
    };
    for (const TCase &c : cases) {
        const int agg = TestAggregate(QStringLiteral("Q"));
        const int item = TestItem(agg, QStringLiteral("Q01"));
        const int sub = TestSubItem(item, QStringLiteral("001"));
        c.rows(item, sub, agg);
        EXPECT_EQ(IsItemOccupied(item), c.itemOccupied) << c.what;
        EXPECT_EQ(IsItemBlocked(item), c.itemBlocked) << c.what;
        EXPECT_EQ(IsSubItemOccupied(sub), c.subOccupied) << c.what;
        EXPECT_EQ(IsSubItemBlocked(sub), c.subBlocked) << c.what;
        EXPECT_EQ(IsAggregateOccupied(agg), c.aggOccupied) << c.what;
        EXPECT_EQ(IsAggregateBlocked(agg), c.aggBlocked) << c.what;
    }
}

TEST_F(AbcVproRoutinesTest, ItemLastModelYearStartIsTheStartOfTheLatestModelYear) {
    const int aggregate = TestAggregate(QStringLiteral("Q"));
    const int item = TestItem(aggregate, QStringLiteral("Q01"));
    TestModel(item, school, 2025);
    TestModel(item, school, 2027, true);
    TestModel(item, school + 1000, 2027);
    EXPECT_EQ(FormatDays(ItemLastModelYearStart(item)), QStringLiteral("01/01/2025"));
    // Amounts on the item of a later model of the school (on no item itself) count too.
    TestAmount(TestModel(0, school, 2026), item, 0, 0);
    EXPECT_EQ(FormatDays(ItemLastModelYearStart(item)), QStringLiteral("01/01/2026"));
    // The school's own dates of the year, when the context uses them.
    VoExecSQL(QStringLiteral("UPDATE TDWGANF SET DDWGANFINIZIO = '2026-02-01' WHERE IDWGID = :s AND IANFID = "
                             "(SELECT IANFID FROM TANF_ANNIFINANZ WHERE IANFVALORE = 2026)"),
              {{QStringLiteral("s"), school}});
    EXPECT_EQ(FormatDays(ItemLastModelYearStart(item)), QStringLiteral("01/01/2026"));
    UseSchoolYearDates = true;
    EXPECT_EQ(FormatDays(ItemLastModelYearStart(item)), QStringLiteral("01/02/2026"));
}
