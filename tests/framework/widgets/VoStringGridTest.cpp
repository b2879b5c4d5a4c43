// The text grid that rows are completed in through searches: only its selectable columns take the
// focus, typing changes no cell, and F8 or a double click asks for the focused cell's search.
#include "VoStringGrid.h"
#include "VoWidgetTest.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class VoStringGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.SetColCount(4);
        grid.SetRowCount(3);
        grid.SetColumn(0, QString(), -1);
        grid.SetColumn(1, QStringLiteral("Descrizione"), 100);
        grid.SetColumn(2, QStringLiteral("Sede"), 100);
        grid.SetColumn(3, QStringLiteral("Iva"), 100);
        grid.SetSelectableColumns({2, 3});
        grid.SetCells(1, 1, QStringLiteral("RISMA"));
        grid.OnColumnFocused.Add([this](int column) { focused << column; });
        grid.OnSearch.Add([this](int column, int row) { searched << QPoint(column, row); });
        ASSERT_TRUE(VoShowActive(&grid));
    }
    TVoStringGrid grid;
    QList<int> focused;
    QList<QPoint> searched;
};

TEST_F(VoStringGridTest, OnlySelectableColumnsTakeTheFocus) {
    EXPECT_EQ(grid.Cells(2, 0), QStringLiteral("Sede"));
    EXPECT_FALSE(grid.SelectCell(1, 1));
    EXPECT_EQ(focused.value(focused.size() - 1), -1);
    ASSERT_TRUE(grid.SelectCell(2, 2));
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(focused.value(focused.size() - 1), 2);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(focused.value(focused.size() - 1), 3);
}

TEST_F(VoStringGridTest, TypingChangesNothingAndF8Searches) {
    ASSERT_TRUE(grid.SelectCell(2, 1));
    QTest::keyClicks(&grid, QStringLiteral("abc"));
    QTest::keyClick(&grid, Qt::Key_F8);
    EXPECT_EQ(grid.Cells(2, 1), QString());
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("RISMA"));
    EXPECT_EQ(searched, QList<QPoint>{QPoint(2, 1)});
}

} // namespace
