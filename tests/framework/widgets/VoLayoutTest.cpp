#include "VoLayout.h"

#include <QApplication>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
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

// A form whose rows differ in height (a note under short fields) goes into as many columns as it
// takes to fit under what stands above it, rather than the two that halve only its number of rows.
TEST(VoLayoutTest, AFormWithATallRowTakesTheColumnsThatMakeItFit) {
    auto window = std::make_unique<QWidget>();
    auto *column = new QVBoxLayout(window.get());
    auto *above = new QWidget;
    above->setMinimumHeight(140);
    column->addWidget(above);
    auto *page = new QWidget;
    column->addWidget(page);
    auto *form = new QFormLayout(page);
    auto *description = new QLineEdit;
    description->setMaxLength(400);
    form->addRow(QStringLiteral("Descrizione"), description);
    QList<QWidget *> fields;
    for (int i = 0; i < 16; ++i) {
        fields << new QLineEdit;
        form->addRow(QStringLiteral("Campo %1").arg(i + 1), fields.last());
    }
    auto *note = new QPlainTextEdit;
    note->setMinimumHeight(300);
    form->addRow(QStringLiteral("Note"), note);
    fields << note;
    window->show();
    VoFitWindow(window.get());
    QApplication::processEvents();

    // The screen less the title bar the desktop gives the window.
    const int room = window->screen()->availableGeometry().height() - 32;
    EXPECT_LE(window->minimumSizeHint().height(), room);
    for (const QWidget *field : fields)
        EXPECT_LE(field->mapTo(window.get(), QPoint(0, field->height())).y(), room);
}
