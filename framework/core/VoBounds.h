#pragma once
// What a number field may hold. A collection declares the bounds of its fields (SetFieldBounds); the
// number edits refuse a value beyond them when the user leaves the field, and the post refuses it
// again whatever wrote it, so that code which fills a row without a window is held to the same rule.
// Every refusal names the field.
#include <QString>
#include <QVariant>
#include <limits>

struct TVoBounds {
    double min = -std::numeric_limits<double>::infinity();
    // False: the minimum itself is refused too (a quantity above zero).
    bool minIncluded = true;
    double max = std::numeric_limits<double>::infinity();
    // The field keeps an integer of 10^-scale units (4: ten-thousandths); the bounds are in the units
    // the user reads.
    int scale = 0;
    // The field's name where no control names it (a post from code).
    QString caption;

    // Above zero, at most max.
    static TVoBounds Positive(double max, const QString &caption = QString(), int scale = 0);
    // Zero or more, at most max.
    static TVoBounds NotNegative(double max, const QString &caption = QString(), int scale = 0);
};

// The message refusing a stored value beyond the bounds, naming the field; empty when the value is
// within them or NULL.
QString VoBoundsProblem(const TVoBounds &bounds, const QVariant &stored, const QString &caption);
// The same refusal as one sentence ("Il campo ... non può superare ..."), for a message that says
// first which row it speaks of; empty likewise.
QString VoBoundsSentence(const TVoBounds &bounds, const QVariant &stored, const QString &caption);
// What a column of an integer type holds; unbounded for other types.
TVoBounds VoTypeBounds(int typeId);
// The message refusing a number typed with characters no number shows (an exponent, a letter, a
// plus sign), naming the field; empty when only digits, the decimal comma, the thousands dots, a
// minus and blanks were typed.
QString VoNumberCharsProblem(const QString &text, const QString &caption);
