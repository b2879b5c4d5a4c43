#include "VoMoney.h"

#include "VoExceptions.h"

#include <QStringList>
#include <QtNumeric>
#include <limits>

namespace {

// Registered when the program loads, so that queued signals and variants know amounts by name too.
[[maybe_unused]] const int kMetaTypeId = qRegisterMetaType<TVoMoney>();

constexpr quint64 kLargest = quint64(std::numeric_limits<qint64>::max());

quint64 Magnitude(qint64 units) {
    return units < 0 ? 0 - quint64(units) : quint64(units);
}

quint64 PowerOfTen(int exponent) {
    quint64 p = 1;
    while (exponent-- > 0)
        p *= 10;
    return p;
}

// Appends a decimal digit to a magnitude; false when the result would exceed limit.
bool AppendDigit(quint64 *magnitude, QChar digit, quint64 limit) {
    if (digit < u'0' || digit > u'9')
        return false;
    const quint64 d = digit.unicode() - u'0';
    if (*magnitude > (limit - d) / 10)
        return false;
    *magnitude = *magnitude * 10 + d;
    return true;
}

// Dots in the whole part only group thousands: a first group of one to three digits not starting
// with a zero, then groups of three.
bool ThousandsWellPlaced(QStringView whole) {
    if (!whole.contains(u'.'))
        return true;
    const QList<QStringView> groups = whole.split(u'.');
    if (groups.first().isEmpty() || groups.first().size() > 3 || groups.first().startsWith(u'0'))
        return false;
    for (qsizetype g = 1; g < groups.size(); ++g)
        if (groups[g].size() != 3)
            return false;
    return true;
}

QString Compose(bool negative, quint64 whole, const QString &decimals, bool grouped) {
    QString text = QString::number(whole);
    if (grouped)
        for (qsizetype p = text.size() - 3; p > 0; p -= 3)
            text.insert(p, u'.');
    if (!decimals.isEmpty())
        text += u',' + decimals;
    return negative ? u'-' + text : text;
}

[[noreturn]] void OutOfRange() {
    throw EVoError(QStringLiteral("Importo fuori dai limiti consentiti."));
}

} // namespace

bool TVoMoney::TryParse(const QString &text, TVoMoney *value) {
    const QString t = text.trimmed();
    const bool negative = t.startsWith(u'-');
    const QStringView unsignedText = QStringView(t).mid(negative ? 1 : 0);
    const qsizetype comma = unsignedText.indexOf(u',');
    const QStringView whole = comma < 0 ? unsignedText : unsignedText.left(comma);
    const QStringView decimals = comma < 0 ? QStringView() : unsignedText.mid(comma + 1);
    if ((comma >= 0 && (decimals.isEmpty() || decimals.size() > Decimals)) ||
        (whole.isEmpty() && comma < 0) || !ThousandsWellPlaced(whole))
        return false;
    // A negative amount reaches one unit further than a positive one.
    const quint64 limit = negative ? kLargest + 1 : kLargest;
    quint64 magnitude = 0;
    for (QChar c : whole)
        if (c != u'.' && !AppendDigit(&magnitude, c, limit))
            return false;
    for (qsizetype i = 0; i < Decimals; ++i)
        if (!AppendDigit(&magnitude, i < decimals.size() ? decimals[i] : u'0', limit))
            return false;
    value->m_units = negative ? qint64(0 - magnitude) : qint64(magnitude);
    return true;
}

bool TVoMoney::TryParseRounded(const QString &text, TVoMoney *value) {
    const QString t = text.trimmed();
    const qsizetype kept = t.indexOf(u',') + 1 + Decimals;
    if (t.indexOf(u',') < 0 || t.size() <= kept)
        return TryParse(t, value);
    for (qsizetype i = kept; i < t.size(); ++i)
        if (!t[i].isDigit())
            return false;
    if (!TryParse(t.left(kept), value))
        return false;
    if (t[kept] >= u'5')
        *value = *value + FromStored(t.startsWith(u'-') ? -1 : 1);
    return true;
}

QString TVoMoney::Text(int decimals) const {
    decimals = qBound(0, decimals, Decimals);
    const quint64 dropped = PowerOfTen(Decimals - decimals);
    const quint64 magnitude = Magnitude(m_units);
    // Rounding the magnitude rounds half away from zero whatever the sign.
    quint64 kept = magnitude / dropped;
    if ((magnitude % dropped) * 2 >= dropped)
        ++kept;
    const quint64 shown = PowerOfTen(decimals);
    const QString fraction =
        decimals > 0 ? QString::number(kept % shown).rightJustified(decimals, u'0') : QString();
    return Compose(m_units < 0 && kept != 0, kept / shown, fraction, true);
}

QString TVoMoney::PlainText() const {
    const quint64 magnitude = Magnitude(m_units);
    const quint64 factor = PowerOfTen(Decimals);
    QString fraction = QString::number(magnitude % factor).rightJustified(Decimals, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    return Compose(m_units < 0, magnitude / factor, fraction, false);
}

TVoMoney TVoMoney::operator+(TVoMoney other) const {
    qint64 sum = 0;
    if (qAddOverflow(m_units, other.m_units, &sum))
        OutOfRange();
    return TVoMoney(sum);
}

TVoMoney TVoMoney::operator-(TVoMoney other) const {
    qint64 difference = 0;
    if (qSubOverflow(m_units, other.m_units, &difference))
        OutOfRange();
    return TVoMoney(difference);
}

TVoMoney TVoMoney::operator-() const {
    return TVoMoney() - *this;
}

namespace {

// The exact sum in ten-billionths (1e-10): both factors carry four decimals.
qint64 PlusPercentExact(TVoMoney base, TVoMoney percent) {
    return base.Stored() * 1000000 + base.Stored() * percent.Stored();
}

} // namespace

QString TVoMoney::PlusPercentText(TVoMoney base, TVoMoney percent) {
    const qint64 exact = PlusPercentExact(base, percent);
    const quint64 magnitude = Magnitude(exact);
    const quint64 scale = PowerOfTen(10);
    QString decimals = QString::number(magnitude % scale).rightJustified(10, u'0');
    while (decimals.endsWith(u'0'))
        decimals.chop(1);
    return Compose(exact < 0, magnitude / scale, decimals, false);
}

TVoMoney TVoMoney::PlusPercent(TVoMoney base, TVoMoney percent) {
    const qint64 exact = PlusPercentExact(base, percent);
    const qint64 rounded = qint64((Magnitude(exact) + 500000) / 1000000);
    return FromStored(exact < 0 ? -rounded : rounded);
}
