// Italian account numbers and IBANs on published figures: the check letter and check digits of known
// accounts, IBANs refused for each way they can be wrong, codes that give no IBAN; and the amounts
// typed with currency sign and separators.
#include "AbiUIban.h"
#include "AbiUUtil.h"

#include <gtest/gtest.h>

namespace {

// ISO 13616 as a reader of an IBAN checks it: the first four characters moved to the end, letters as
// 10 to 35, the number modulo 97 is 1.
bool PassesIsoCheck(const QString &iban) {
    int remainder = 0;
    for (const QChar c : iban.mid(4) + iban.left(4)) {
        const QString digits = c.isLetter() ? QString::number(c.unicode() - 'A' + 10) : QString(c);
        for (const QChar d : digits)
            remainder = (remainder * 10 + d.digitValue()) % 97;
    }
    return remainder == 1;
}

QString Raised(const QString &abi, const QString &cab, const QString &account) {
    try {
        CalcIBAN(abi, cab, account);
    } catch (const EBBANError &e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST(AbiBankClassTest, IbansOfKnownAccounts) {
    const struct {
        const char *abi, *cab, *account, *iban;
    } cases[] = {
        {"06230", "03202", "12345", "IT12D0623003202000000012345"},
        // Codes padded; a check below 10 keeps its zero.
        {"7601", "3200", "12345679", "IT07P0760103200000012345679"},
        // Letters of the account upper-cased.
        {"03069", "11884", "ab12cd34", "IT23L03069118840000AB12CD34"},
        {"03069", "09606", "100000063289", "IT70I0306909606100000063289"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.iban);
        const QString iban =
            CalcIBAN(QString::fromLatin1(c.abi), QString::fromLatin1(c.cab), QString::fromLatin1(c.account));
        EXPECT_EQ(iban, QString::fromLatin1(c.iban));
        EXPECT_TRUE(PassesIsoCheck(iban));
        EXPECT_TRUE(IsValidIBAN(iban));
    }
}

TEST(AbiBankClassTest, IbansRefused) {
    const char *const refused[] = {
        "IT13D0623003202000000012345", // check digits
        "IT16E0623003202000000012345", // right modulo 97, wrong CIN
        "SM40D0623003202000000012345", // not Italian
        "it12d0623003202000000012345", // lower case
        "IT12D062300320200000001234",  // one short
        "IT12D06230032020000000123456" // one long
    };
    EXPECT_TRUE(PassesIsoCheck(QStringLiteral("IT16E0623003202000000012345")));
    for (const char *iban : refused)
        EXPECT_FALSE(IsValidIBAN(QString::fromLatin1(iban))) << iban;
    EXPECT_TRUE(IsValidIBAN(QStringLiteral("  IT12D0623003202000000012345 ")));
    // The codes read from the IBAN stay for the callers.
    EXPECT_EQ(GlobalIBAN()->DomesticBBAN()->Bank(), QStringLiteral("06230"));
    EXPECT_EQ(GlobalIBAN()->DomesticBBAN()->Account(), QStringLiteral("000000012345"));
}

TEST(AbiBankClassTest, CodesThatGiveNoIban) {
    EXPECT_EQ(Raised(QStringLiteral("06230"), QStringLiteral("03202"), QStringLiteral("1234567890123")),
              QStringLiteral("Conto Corrente non può essere di 12 caratteri."));
    EXPECT_EQ(Raised(QStringLiteral("06230"), QStringLiteral("03202"), QStringLiteral("123456789012")),
              QString());
    EXPECT_EQ(Raised(QStringLiteral("06230"), QStringLiteral("03202"), QStringLiteral("12/34")),
              QStringLiteral("Conto Corrente può contenere solo lettere e cifre."));
    EXPECT_EQ(Raised(QStringLiteral("062301"), QStringLiteral("03202"), QStringLiteral("1")),
              QStringLiteral("ABI non può essere di 5 caratteri."));
    EXPECT_FALSE(IsValidIBAN(QStringLiteral("IT12D06230032020000000123/5")));

    // Without normalising, one-digit codes are not padded before the CIN.
    TItalianBBAN plain;
    plain.SetBank(QStringLiteral("1"));
    plain.SetBranch(QStringLiteral("1"));
    plain.SetAccount(QStringLiteral("1"));
    TItalianBBAN normalised;
    normalised.SetNormalize(true);
    normalised.SetBank(QStringLiteral("1"));
    normalised.SetBranch(QStringLiteral("1"));
    normalised.SetAccount(QStringLiteral("1"));
    EXPECT_EQ(plain.CheckDgt(), QStringLiteral("B"));
    EXPECT_EQ(normalised.CheckDgt(), QStringLiteral("M"));
}

TEST(AbiBankClassTest, AmountsTypedWithSignAndSeparators) {
    EXPECT_EQ(AmountTextToCurrency(QStringLiteral("€ 1.234,56")), TVoMoney::FromStored(12345600));
    EXPECT_EQ(AmountTextToCurrency(QStringLiteral("-12,5")), TVoMoney::FromStored(-125000));
    EXPECT_EQ(AmountTextToCurrency(QStringLiteral("abc")), TVoMoney());
    EXPECT_EQ(CurrencyDecimalsSuffix(), QStringLiteral(".00"));
}
