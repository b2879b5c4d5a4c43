#include "VoLayout.h"

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// A record's form too tall for the screen is laid out in columns; its first row, the record's
// description, keeps a description's width above them instead of taking a column's.
TEST(VoLayoutTest, ASplitFormKeepsItsDescriptionWideAboveTheColumns) {
    auto window = std::make_unique<QWidget>();
    auto *form = new QFormLayout(window.get());
    auto *description = new QLineEdit;
    description->setMaxLength(400);
    form->addRow(QStringLiteral("Descrizione"), description);
    QList<QLineEdit *> codes;
    for (int i = 0; i < 40; ++i) {
        codes << new QLineEdit;
        codes.last()->setMaxLength(7);
        form->addRow(QStringLiteral("Codice %1").arg(i + 1), codes.last());
    }
    window->show();
    VoFitWindow(window.get());
    QApplication::processEvents();

    // The form did not fit the screen's height as one column.
    ASSERT_GT(codes.last()->geometry().left(), codes.first()->geometry().right());
    const int chars = description->fontMetrics().averageCharWidth();
    EXPECT_GE(description->width(), 50 * chars);
    int highest = window->height();
    for (const QLineEdit *code : codes)
        highest = qMin(highest, code->mapTo(window.get(), QPoint(0, 0)).y());
    EXPECT_LT(description->mapTo(window.get(), QPoint(0, description->height())).y(), highest);
}
