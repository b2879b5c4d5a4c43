#include "VoDisplayFormat.h"

#include "VoQuery.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool IsDigitPlaceholder(QChar c) {
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// Splits a format into its ";" sections, leaving quoted text alone.
QStringList Sections(const QString &format) {
    QStringList out;
    QString current;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            out << current;
            current.clear();
        } else {
            current += c;
        }
    }
    out << current;
    return out;
}

// Literal text of a format piece, with its quotes removed.
QString Literal(const QString &piece) {
    QString out;
    for (const QChar c : piece)
        if (c != QLatin1Char('"') && c != QLatin1Char('\''))
            out += c;
    return out;
}

QString GroupThousands(const QString &digits) {
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits[i];
    }
    return out;
}

struct TSection {
    QString prefix, suffix;
    bool thousands = false;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool hasDigits = false;
};

TSection ParseSection(const QString &text) {
    TSection s;
    int first = -1, last = -1;
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        if (IsDigitPlaceholder(c)) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) {
        s.prefix = Literal(text);
        return s;
    }
    s.hasDigits = true;
    s.prefix = Literal(text.left(first));
    s.suffix = Literal(text.mid(last + 1));
    const QString body = text.mid(first, last - first + 1);
    const qsizetype point = body.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? body : body.left(point);
    const QString decPart = point < 0 ? QString() : body.mid(point + 1);
    s.thousands = intPart.contains(QLatin1Char(','));
    int placeholders = 0, firstZero = -1;
    for (const QChar c : intPart) {
        if (!IsDigitPlaceholder(c))
            continue;
        if (c == QLatin1Char('0') && firstZero < 0)
            firstZero = placeholders;
        ++placeholders;
    }
    s.minInt = firstZero < 0 ? 0 : placeholders - firstZero;
    for (const QChar c : decPart) {
        if (!IsDigitPlaceholder(c))
            continue;
        ++s.maxDec;
        if (c == QLatin1Char('0'))
            s.minDec = s.maxDec;
    }
    return s;
}

// A number typed the Italian way ("1.234,5") or plainly ("1234.5") with "." as its only point and
// no grouping.
QString PlainNumber(const QString &text) {
    QString t = text.trimmed();
    static const QRegularExpression grouped(QStringLiteral("^-?\\d{1,3}(\\.\\d{3})+$"));
    if (t.contains(QLatin1Char(','))) {
        t.remove(QLatin1Char('.'));
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    } else if (grouped.match(t).hasMatch()) {
        t.remove(QLatin1Char('.'));
    }
    return t;
}

} // namespace

QString VoFormatFloat(const QString &format, double value) {
    if (format.isEmpty())
        return VoFloatToText(value);
    const QStringList sections = Sections(format);
    QString chosen = sections[0];
    bool signInSection = false;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        chosen = sections[1];
        signInSection = true;
    }
    const TSection s = ParseSection(chosen);
    if (!s.hasDigits)
        return s.prefix;

    const double magnitude = std::fabs(value);
    const double scale = std::pow(10.0, s.maxDec);
    QString intDigits, decDigits;
    if (magnitude * scale < 9.0e15) {
        const qint64 scaled = VoRoundScaled(magnitude, s.maxDec);
        const qint64 whole = static_cast<qint64>(scale);
        intDigits = QString::number(scaled / whole);
        decDigits = s.maxDec > 0 ? QString::number(scaled % whole).rightJustified(s.maxDec, QLatin1Char('0'))
                                 : QString();
    } else {
        const QString fixed = QString::number(magnitude, 'f', s.maxDec);
        const qsizetype point = fixed.indexOf(QLatin1Char('.'));
        intDigits = point < 0 ? fixed : fixed.left(point);
        decDigits = point < 0 ? QString() : fixed.mid(point + 1);
    }
    const bool zero =
        intDigits == QLatin1String("0") &&
        std::all_of(decDigits.begin(), decDigits.end(), [](QChar c) { return c == QLatin1Char('0'); });
    if (zero && sections.size() > 2 && !sections[2].isEmpty())
        return VoFormatFloat(sections[2], 0.0);

    while (decDigits.size() > s.minDec && decDigits.endsWith(QLatin1Char('0')))
        decDigits.chop(1);
    if (intDigits == QLatin1String("0") && s.minInt == 0)
        intDigits.clear();
    if (intDigits.size() < s.minInt)
        intDigits = intDigits.rightJustified(s.minInt, QLatin1Char('0'));
    QString number = s.thousands ? GroupThousands(intDigits) : intDigits;
    if (!decDigits.isEmpty())
        number += QLatin1Char(',') + decDigits;
    const QString sign = value < 0 && !zero && !signInSection ? QStringLiteral("-") : QString();
    return sign + s.prefix + number + s.suffix;
}

int VoFormatDecimals(const QString &format) {
    const TSection s = ParseSection(Sections(format)[0]);
    return s.hasDigits ? s.maxDec : -1;
}

qint64 VoRoundScaled(double value, int decimals) {
    const double magnitude = std::fabs(value);
    if (!std::isfinite(value) || magnitude == 0)
        return 0;
    // "d.dddddddddddddde±x": the 15 digits a double holds for sure, and where the point goes.
    const QString text = QString::number(magnitude, 'e', 14);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const qint64 digits = QString(text.left(e)).remove(QLatin1Char('.')).toLongLong();
    const int shift = text.mid(e + 1).toInt() - 14 + decimals;
    qint64 units = 0;
    if (shift > 3) {
        const double product = std::round(magnitude * std::pow(10.0, decimals));
        units = product < 9.2e18 ? qint64(product) : std::numeric_limits<qint64>::max();
    } else if (shift >= 0) {
        units = digits;
        for (int i = 0; i < shift; ++i)
            units *= 10;
    } else if (shift >= -15) {
        qint64 dropped = 1;
        for (int i = 0; i < -shift; ++i)
            dropped *= 10;
        units = digits / dropped + ((digits % dropped) * 2 >= dropped ? 1 : 0);
    }
    return value < 0 ? -units : units;
}

QString VoFloatToText(double value) {
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

bool VoTextToFloat(const QString &text, double *value) {
    const QString t = PlainNumber(text);
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

QString VoDisplayText(const QVariant &value, const QString &displayFormat) {
    if (value.isNull() || !value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(displayFormat.isEmpty() ? QStringLiteral("dd/MM/yyyy")
                                                               : displayFormat);
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (!displayFormat.isEmpty())
            return dt.toString(displayFormat);
        if (dt.time() == QTime(0, 0))
            return dt.toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return VoFormatFloat(displayFormat, value.toDouble());
    default:
        if (!VoIsNumber(value))
            return VoVariantToText(value);
        if (displayFormat.isEmpty())
            return QString::number(value.toLongLong());
        return VoFormatFloat(displayFormat, value.toDouble());
    }
}

bool VoTextToScaled(const QString &text, int scale, qint64 *value) {
    if (scale < 0 || scale > 9 || !VoTextToFloat(text, nullptr))
        return false;
    QString t = PlainNumber(text);
    const bool negative = t.startsWith(QLatin1Char('-'));
    if (negative || t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? t : t.left(point);
    QString decimals = point < 0 ? QString() : t.mid(point + 1);
    while (decimals.size() > scale && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    if (decimals.size() > scale || whole.size() > 18 - scale)
        return false;
    bool ok = true;
    const qint64 units = whole.isEmpty() ? 0 : whole.toLongLong(&ok);
    if (!ok)
        return false;
    const qint64 fraction =
        decimals.isEmpty() ? 0 : decimals.leftJustified(scale, QLatin1Char('0')).toLongLong(&ok);
    if (!ok)
        return false;
    qint64 factor = 1;
    for (int i = 0; i < scale; ++i)
        factor *= 10;
    const qint64 result = units * factor + fraction;
    *value = negative ? -result : result;
    return true;
}

QString VoScaledToText(qint64 value, int scale) {
    qint64 factor = 1;
    for (int i = 0; i < scale; ++i)
        factor *= 10;
    const bool negative = value < 0;
    const quint64 magnitude = negative ? quint64(-(value + 1)) + 1 : quint64(value);
    QString text = QString::number(magnitude / quint64(factor));
    QString decimals =
        scale > 0 ? QString::number(magnitude % quint64(factor)).rightJustified(scale, QLatin1Char('0'))
                  : QString();
    while (decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    if (!decimals.isEmpty())
        text += QLatin1Char(',') + decimals;
    return negative ? QLatin1Char('-') + text : text;
}

bool VoIsNumericType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool VoIsNumber(const QVariant &value) {
    return VoIsNumericType(value.typeId());
}
