// Amounts of money in ten-thousandths: typed and shown the Italian way without rounding error, to
// the largest and smallest amounts a BIGINT holds, bad text refused, sums exact, and the round trip
// through a BIGINT column.
#include "VoMoney.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestDb.h"

#include <QVariant>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
constexpr qint64 kSmallest = std::numeric_limits<qint64>::min();

} // namespace

TEST(VoMoneyTest, ReadsAndShowsAmountsExactly) {
    const struct {
        QString typed;
        qint64 stored;
        QString shown;   // two decimals, rounded half away from zero
        QString plain;   // as typed back into an edit
        QString allFour; // the four decimals kept
    } cases[] = {
        {QStringLiteral("1234,5"), 12345000, QStringLiteral("1.234,50"), QStringLiteral("1234,5"),
         QStringLiteral("1.234,5000")},
        {QStringLiteral(" 1.234,5678 "), 12345678, QStringLiteral("1.234,57"), QStringLiteral("1234,5678"),
         QStringLiteral("1.234,5678")},
        {QStringLiteral("-0,01"), -100, QStringLiteral("-0,01"), QStringLiteral("-0,01"),
         QStringLiteral("-0,0100")},
        {QStringLiteral("0,005"), 50, QStringLiteral("0,01"), QStringLiteral("0,005"),
         QStringLiteral("0,0050")},
        {QStringLiteral("-0,005"), -50, QStringLiteral("-0,01"), QStringLiteral("-0,005"),
         QStringLiteral("-0,0050")},
        {QStringLiteral("-0,0049"), -49, QStringLiteral("0,00"), QStringLiteral("-0,0049"),
         QStringLiteral("-0,0049")},
        {QStringLiteral("999,995"), 9999950, QStringLiteral("1.000,00"), QStringLiteral("999,995"),
         QStringLiteral("999,9950")},
        {QStringLiteral("1.000.000"), 10000000000, QStringLiteral("1.000.000,00"), QStringLiteral("1000000"),
         QStringLiteral("1.000.000,0000")},
        {QStringLiteral("922.337.203.685.477,5807"), kLargest, QStringLiteral("922.337.203.685.477,58"),
         QStringLiteral("922337203685477,5807"), QStringLiteral("922.337.203.685.477,5807")},
        {QStringLiteral("-922337203685477,5808"), kSmallest, QStringLiteral("-922.337.203.685.477,58"),
         QStringLiteral("-922337203685477,5808"), QStringLiteral("-922.337.203.685.477,5808")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        TVoMoney m;
        ASSERT_TRUE(TVoMoney::TryParse(c.typed, &m));
        EXPECT_EQ(m.Stored(), c.stored);
        EXPECT_EQ(m.Text(), c.shown);
        EXPECT_EQ(m.PlainText(), c.plain);
        EXPECT_EQ(m.Text(4), c.allFour);
        for (const QString &text : {c.plain, c.allFour}) {
            TVoMoney back;
            ASSERT_TRUE(TVoMoney::TryParse(text, &back)) << text.toStdString();
            EXPECT_EQ(back, m) << text.toStdString();
        }
    }
}

TEST(VoMoneyTest, RefusesWhatIsNoAmount) {
    const QString refused[] = {
        QString(),
        QStringLiteral("  "),
        QStringLiteral("-"),
        QStringLiteral("1,23456"), // a fifth decimal
        QStringLiteral("12a"),     // a letter
        QStringLiteral("1 234"),   // a blank inside
        QStringLiteral("1,2,3"),   // two commas
        QStringLiteral("1,"),      // a comma without decimals
        QStringLiteral("1.23"),    // a dot that groups no thousands
        QStringLiteral("1234.5"),  // a decimal point
        QStringLiteral("1.234.5"),
        QStringLiteral(".500"),
        QStringLiteral("0.500"),
        QStringLiteral("1,2.5"),                     // a dot among the decimals
        QStringLiteral("922.337.203.685.477,5808"),  // one past the largest
        QStringLiteral("-922.337.203.685.477,5809"), // one past the smallest
        QStringLiteral("99999999999999999999"),
    };
    for (const QString &text : refused) {
        TVoMoney m = TVoMoney::FromStored(7);
        EXPECT_FALSE(TVoMoney::TryParse(text, &m)) << text.toStdString();
        EXPECT_EQ(m.Stored(), 7) << text.toStdString();
    }
}

TEST(VoMoneyTest, SumsAreExactAndStopAtTheLimits) {
    TVoMoney tenth;
    ASSERT_TRUE(TVoMoney::TryParse(QStringLiteral("0,1"), &tenth));
    TVoMoney sum;
    for (int i = 0; i < 10; ++i)
        sum += tenth;
    EXPECT_EQ(sum, TVoMoney::FromStored(10000));
    EXPECT_EQ((sum - tenth - sum).Text(), QStringLiteral("-0,10"));
    EXPECT_THROW(TVoMoney::FromStored(kLargest) + TVoMoney::FromStored(1), EVoError);
    EXPECT_THROW(-TVoMoney::FromStored(kSmallest), EVoError);
    EXPECT_EQ(QVariant::fromValue(sum).value<TVoMoney>(), sum);
    EXPECT_EQ(QMetaType::fromName("TVoMoney"), QMetaType::fromType<TVoMoney>());
}

class VoMoneyFieldTest : public VoDbTest {};

TEST_F(VoMoneyFieldTest, AmountsGoThroughABigintColumnUnchanged) {
    VoExecSQL(QStringLiteral("CREATE TABLE TIMPORTI (IID INTEGER NOT NULL PRIMARY KEY, BIMPORTO BIGINT)"));
    const QList<TVoMoney> amounts{TVoMoney::FromStored(kLargest), TVoMoney::FromStored(kSmallest),
                                  TVoMoney::FromStored(-100), TVoMoney::FromStored(12345678)};
    TVoQueryCollection qc;
    qc.SetCommandText(QStringLiteral("SELECT IID, BIMPORTO FROM TIMPORTI ORDER BY IID"));
    qc.SetAutoBuildSQL(true);
    qc.Open();
    for (int i = 0; i < amounts.size(); ++i) {
        qc.Insert();
        qc.FieldByName(QStringLiteral("IID"))->SetAsInteger(i);
        qc.FieldByName(QStringLiteral("BIMPORTO"))->SetAsMoney(amounts[i]);
        ASSERT_TRUE(qc.Post()) << qc.LastError().toStdString();
    }
    TVoQuery q(QStringLiteral("SELECT IID, BIMPORTO FROM TIMPORTI ORDER BY IID"));
    q.Open();
    qc.Close();
    qc.Open();
    for (const TVoMoney &amount : amounts) {
        SCOPED_TRACE(amount.PlainText().toStdString());
        EXPECT_EQ(q.Value(QStringLiteral("BIMPORTO")).toLongLong(), amount.Stored());
        EXPECT_EQ(q.AsMoney(QStringLiteral("bimporto")), amount);
        EXPECT_EQ(qc.FieldByName(QStringLiteral("BIMPORTO"))->AsMoney(), amount);
        q.Next();
        qc.Next();
    }
}

// A price with VAT is shown exactly and stored rounded half away from zero to the ten-thousandth.
TEST(VoMoneyTest, AddsAPercentExactly) {
    const struct {
        qint64 base, percent;
        const char *text;
        qint64 stored;
    } cases[] = {
        {100000, 220000, "12,2", 122000}, {3333, 100000, "0,36663", 3666},
        {3335, 100000, "0,36685", 3669},  {-3335, 100000, "-0,36685", -3669},
        {12345, 0, "1,2345", 12345},      {10001, 5, "1,0001050005", 10001},
    };
    for (const auto &c : cases) {
        const TVoMoney base = TVoMoney::FromStored(c.base), percent = TVoMoney::FromStored(c.percent);
        EXPECT_EQ(TVoMoney::PlusPercentText(base, percent), QString::fromLatin1(c.text)) << c.base;
        EXPECT_EQ(TVoMoney::PlusPercent(base, percent).Stored(), c.stored) << c.base;
        // The text read back gives the same stored amount.
        TVoMoney back;
        ASSERT_TRUE(TVoMoney::TryParseRounded(QString::fromLatin1(c.text), &back)) << c.text;
        EXPECT_EQ(back.Stored(), c.stored) << c.text;
    }
}
