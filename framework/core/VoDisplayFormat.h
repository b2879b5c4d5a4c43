#pragma once
// Numbers and dates as the user reads and types them: Italian conventions whatever the machine's
// locale (comma decimals, dot thousands, "dd/MM/yyyy" with a four-digit year).
#include <QString>
#include <QVariant>

// Formats a number with a display format as the programs write them: "0" a digit always shown,
// "#" a digit shown when significant, "," anywhere in the integer part groups thousands, "." the
// decimal point; text before and after the digits is kept, and "pos;neg;zero" sections are honoured.
// "0000000" gives 0000042, "#,##0.00" gives 1.234,50, "#,###.00" gives ,50 for one half.
// Amounts are rounded as on paper: halves away from zero, of the number as its 15 significant
// digits read, so 1,005 gives 1,01 although its nearest double lies a hair below.
QString VoFormatFloat(const QString &format, double value);
// The most decimals a number format shows (its first section); -1 when it shows no digit.
int VoFormatDecimals(const QString &format);
// A number times 10^decimals, rounded as VoFormatFloat rounds it: the whole number of
// 10^-decimals units that its text shows (1,005 at 2 decimals: 101). Beyond what 15 significant
// digits and a 64-bit integer hold, the nearest integer of the product.
qint64 VoRoundScaled(double value, int decimals);
// A number in plain form with a decimal comma and no thousands separator.
QString VoFloatToText(double value);
// Reads a number typed the Italian way ("1.234,5"); also "1234.5". False when it is no number.
bool VoTextToFloat(const QString &text, double *value);

// Amounts stored as integers in units of 10^-scale (ten-thousandths: scale 4), read and written
// exactly, without passing through a double. Text as VoTextToFloat reads it; false when it is no
// number or has more decimals than the scale holds.
bool VoTextToScaled(const QString &text, int scale, qint64 *value);
// A scaled amount in plain form with a decimal comma, trailing zeros of the decimals dropped.
QString VoScaledToText(qint64 value, int scale);

// Whether a type (a value's type) is a number, integer or not.
bool VoIsNumericType(int typeId);
bool VoIsNumber(const QVariant &value);

// A value as a grid shows it: NULL is empty; numbers through the display format when one is given;
// dates as "dd/MM/yyyy" (or the Qt date format given), timestamps with their time when they have one.
QString VoDisplayText(const QVariant &value, const QString &displayFormat = QString());
