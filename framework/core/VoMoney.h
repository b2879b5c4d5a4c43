#pragma once
// An amount of money as the suite's tables keep it: a whole number of ten-thousandths of the currency
// unit (a BIGINT column). Read, written, added and shown exactly: no amount passes through a binary
// floating point number, so 0,10 added ten times is 1,00 and every stored amount reads back as it was.
// Texts follow the Italian convention whatever the machine's locale: "1.234,56".
#include <QMetaType>
#include <QString>
#include <compare>

// Decimals of the currency as amounts are shown.
inline constexpr int VoCurrencyDecimals = 2;

class TVoMoney {
public:
    // Decimals kept: the stored integer counts ten-thousandths.
    static constexpr int Decimals = 4;

    constexpr TVoMoney() = default;
    static constexpr TVoMoney FromStored(qint64 tenThousandths) { return TVoMoney(tenThousandths); }
    constexpr qint64 Stored() const { return m_units; }

    // Reads an amount typed the Italian way: a sign "-", digits with or without dots grouping the
    // thousands ("1.234" or "1234"), up to four decimals after a comma; blanks around it are ignored.
    // False, leaving value as it was, for anything else: no digits, other characters, a dot that
    // does not group thousands, a fifth decimal, an amount beyond what the stored integer holds.
    static bool TryParse(const QString &text, TVoMoney *value);
    // The same for an exact text with more decimals (as PlusPercentText writes), rounded half away
    // from zero to the ten-thousandth.
    static bool TryParseRounded(const QString &text, TVoMoney *value);

    // With the given decimals (0 to 4), rounded half away from zero, thousands grouped: "-1.234,57".
    QString Text(int decimals = VoCurrencyDecimals) const;
    // As the user types it: no grouping, the decimals that are not trailing zeros: "-1234,5678".
    QString PlainText() const;
    // base + base × percent / 100, computed exactly: the full text (decimal comma, trailing zeros
    // dropped) and the amount rounded half away from zero to the ten-thousandth.
    static QString PlusPercentText(TVoMoney base, TVoMoney percent);
    static TVoMoney PlusPercent(TVoMoney base, TVoMoney percent);

    // Raise EVoError when the result is beyond what the stored integer holds.
    TVoMoney operator+(TVoMoney other) const;
    TVoMoney operator-(TVoMoney other) const;
    TVoMoney operator-() const;
    TVoMoney &operator+=(TVoMoney other) { return *this = *this + other; }
    TVoMoney &operator-=(TVoMoney other) { return *this = *this - other; }

    friend constexpr bool operator==(TVoMoney, TVoMoney) = default;
    friend constexpr std::strong_ordering operator<=>(TVoMoney, TVoMoney) = default;

private:
    constexpr explicit TVoMoney(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};

Q_DECLARE_METATYPE(TVoMoney)
