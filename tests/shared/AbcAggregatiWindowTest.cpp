// The aggregates window: the year's aggregates of the school and the common ones, only listed and shown,
// their validity, and the list read again when the window comes back with another school or year.
#include "AbcFAggregati.h"
#include "AbcMVpro.h"
#include "AbcRAggregati.h"
#include "AbcTestBudget.h"
#include "AbcUUtil.h"
#include "VoTestWindows.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

class AbcAggregatiWindowTest : public AbcBudgetTest {
protected:
    void TearDown() override {
        VoCloseWindow(window);
        AbcBudgetTest::TearDown();
    }
    QString Listed() const {
        return AbcBudgetTest::Listed(dmVproDBQuery->xqcAggregati, QStringLiteral("SAGGDESCS"));
    }

    QPointer<TfmAggregati> window;
};

} // namespace

TEST_F(AbcAggregatiWindowTest, ListsTheYearsAggregatesOfTheSchoolAndReloadsForAnother) {
    const int other = school + 1000;
    const QDate from(2020, 1, 1);
    TestAggregate(QStringLiteral("S"), 2, BudgetRow(school, from, QDate(2027, 6, 30)));
    TestAggregate(QStringLiteral("C"), 2, BudgetRow(QVariant(), QDate(2026, 12, 31)));
    TestAggregate(QStringLiteral("O"), 2, BudgetRow(other, from));
    TestAggregate(QStringLiteral("D"), 2, BudgetRow(school, from, QDate(), true));
    TestAggregate(QStringLiteral("E"), 2, BudgetRow(school, from, QDate(2026, 1, 1)));
    TestAggregate(QStringLiteral("F"), 2, BudgetRow(school, QDate(2027, 1, 1)));
    TestAggregate(QStringLiteral("I"), 1, BudgetRow(school, from));
    window = VoOpenWindow<TfmAggregati>(QStringLiteral("TfmAggregati"));
    ASSERT_TRUE(window);
    TfrAggregati *fr = window->frFAggregati;
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Aggregati"));
    EXPECT_EQ(fr->FrameCaption(), QStringLiteral("Aggregati - Uscite - In totale"));
    EXPECT_EQ(fr->InfoText(), QStringLiteral("Esercizio Finanziario 2026"));
    // Demo: A and P; G ended with 2025, R is out of total.
    EXPECT_EQ(Listed(), QStringLiteral("A|C|P|S"));
    for (TVoDataAction *action : {fr->xacInsert, fr->xacEdit, fr->xacDelete})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();

    fr->ShowDetail();
    ASSERT_TRUE(dmVproDBQuery->xqcAggregati->Locate(QStringLiteral("SAGGDESCS"), QStringLiteral("S")));
    for (QLabel *label : {fr->laInizio, fr->laDataInizio, fr->laFine, fr->laDataFine})
        EXPECT_TRUE(label->isVisibleTo(fr)) << label->text().toStdString();
    EXPECT_EQ(fr->laDataInizio->text(), QStringLiteral("01/01/2020"));
    EXPECT_EQ(fr->laDataFine->text(), QStringLiteral("30/06/2027"));
    ASSERT_TRUE(dmVproDBQuery->xqcAggregati->Locate(QStringLiteral("SAGGDESCS"), QStringLiteral("C")));
    for (QLabel *label : {fr->laInizio, fr->laDataInizio, fr->laFine, fr->laDataFine})
        EXPECT_FALSE(label->isVisibleTo(fr));

    // Back with the same school and year the list stays; with another school it is read again.
    TestAggregate(QStringLiteral("N"), 2, BudgetRow(QVariant(), from));
    Reactivate(window);
    EXPECT_EQ(Listed(), QStringLiteral("A|C|P|S"));
    CurrentSchoolId = other;
    Reactivate(window);
    EXPECT_EQ(Listed(), QStringLiteral("A|C|N|O|P"));
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
}
