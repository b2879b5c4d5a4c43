// The durable-goods program's routines: numbering over the register, the date window of a voucher,
// the register-year's dates and descriptions, the register-year of a date, XML definitions of its
// list and typed amounts.
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoTestSchool.h"
#include "kvbUUtil.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

double Day(int y, int m, int d) {
    return DateToDays(QDate(y, m, d));
}

// The test's register, its register-year of 2026 being the one chosen.
class kvbRoutinesTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        kvb::ResetWorkingContext();
        CurrentRegisterId = facId;
        xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));
    }
    void TearDown() override {
        xgvmGlobalVar.Clear();
        kvb::ResetWorkingContext();
        VoGoodsTest::TearDown();
    }
    // The demo's register "Beni durevoli", beside the test's.
    static int DemoRegister() {
        return VoSelectValue(
                   QStringLiteral("SELECT IFACID FROM TFAC_VELISTO WHERE SFACDESC = 'Beni durevoli'"))
            .toInt();
    }
};

void Closing(int facId, const QDate &date) {
    VoExecSQL(QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, IFACID) VALUES "
                             "((SELECT L_ICNTID FROM PYSETGETID('TCHA_CHIUSURAANNO', 1)), :d, :f)"),
              {{QStringLiteral("d"), date}, {QStringLiteral("f"), facId}});
}

} // namespace

TEST_F(kvbRoutinesTest, NumbersRunOverTheWholeRegisterByKind) {
    EXPECT_EQ(NextVoucherNumber(kvbLoading), 1);
    EXPECT_EQ(NextGoodsNumber(), 1);
    const int load25 = VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 3, 1), 3);
    const int load26 = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 1), 4);
    VoTestGoodsVoucher(year2025, kvbUnloading, QDate(2025, 6, 1), 1);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 2), kvbNumberLimit);
    VoTestGood(load25, 10);
    VoTestGood(load26, 11);
    VoTestGood(load26, kvbNumberLimit);
    const int outside = VoTestGood(load26, 50);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBFUORIREGISTRO = 1 WHERE IBINBID = :id"),
              {{QStringLiteral("id"), outside}});

    // The next number follows the highest of the register below the limit, whatever the year; goods
    // out of the register take no part.
    EXPECT_EQ(NextVoucherNumber(kvbLoading), 5);
    EXPECT_EQ(NextVoucherNumber(kvbUnloading), 2);
    EXPECT_EQ(NextGoodsNumber(), 12);
    // Another register keeps its own numbers (the demo's: loading vouchers 1 and 2, goods 1 to 5).
    EXPECT_EQ(NextVoucherNumber(kvbLoading, DemoRegister()), 3);
    EXPECT_EQ(NextGoodsNumber(DemoRegister()), 6);

    const struct {
        int number, kind;
        bool exists;
    } vouchers[] = {{3, kvbLoading, true},
                    {4, kvbLoading, true},
                    {1, kvbUnloading, true},
                    {1, kvbLoading, false},
                    {2, kvbLoading, false}};
    for (const auto &v : vouchers)
        EXPECT_EQ(kvb::VoucherNumberExists(v.number, v.kind), v.exists) << v.number << "/" << v.kind;
    EXPECT_TRUE(GoodsNumberExists(10, QStringLiteral("%")));
    EXPECT_FALSE(GoodsNumberExists(50, QStringLiteral("%")));
    EXPECT_FALSE(GoodsNumberExists(5, QStringLiteral("%"))) << "a number of the demo's register only";
}

TEST_F(kvbRoutinesTest, AMissingSubCodeIsTheEmptyOne) {
    const int load = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 1), 1);
    VoTestGood(load, 7);
    VoTestGood(load, 8, 0, 1, 0, 0, QStringLiteral("A"));
    const struct {
        int number;
        const char *pattern;
        bool exists;
    } cases[] = {{7, "%", true}, {7, "", true},  {7, "A", false},
                 {8, "%", true}, {8, "A", true}, {8, "", false}};
    for (const auto &c : cases)
        EXPECT_EQ(GoodsNumberExists(c.number, QString::fromLatin1(c.pattern)), c.exists)
            << c.number << " '" << c.pattern << "'";
}

TEST_F(kvbRoutinesTest, AVoucherDatesBetweenItsNeighboursAndAfterTheLastClosing) {
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 2, 10), 1);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 5, 5), 3);
    VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 1), 2);
    VoTestGoodsVoucher(year2025, kvbLoading, QDate(2025, 12, 30), 2);
    Closing(DemoRegister(), QDate(2026, 4, 20));
    const struct {
        int number;
        double low, high;
    } before[] = {
        {2, Day(2026, 2, 10), Day(2026, 5, 5)}, {1, 0.0, Day(2026, 5, 5)}, {4, Day(2026, 5, 5), VoOpenEnd}};
    DateWindow w;
    for (const auto &c : before) {
        kvb::GetVoucherDateLimits(c.number, kvbLoading, w);
        EXPECT_EQ(w.low, c.low) << c.number;
        EXPECT_EQ(w.high, c.high) << c.number;
    }
    // A closing of the register dated after the previous voucher raises the lower bound.
    Closing(facId, QDate(2026, 3, 1));
    kvb::GetVoucherDateLimits(2, kvbLoading, w);
    EXPECT_EQ(w.low, Day(2026, 3, 1));
    kvb::GetVoucherDateLimits(4, kvbLoading, w);
    EXPECT_EQ(w.low, Day(2026, 5, 5));
}

TEST_F(kvbRoutinesTest, EachEndOfTheRegisterYearFallsBackOnItsOwn) {
    const TVoTestRegister r = MakeRegister(QStringLiteral("Inventario sede"), 7);
    const int ownStart = OpenRegisterYear(r.schoolRegId, 2025, Day(2025, 3, 1));
    const int ownEnd = OpenRegisterYear(r.schoolRegId, 2026, -1.0, Day(2026, 8, 31));
    MakeFinancialYear(2031);
    const int noDates = OpenRegisterYear(r.schoolRegId, 2031);
    const struct {
        int id;
        double start, end;
        int year;
    } cases[] = {{ownStart, Day(2025, 3, 1), Day(2025, 12, 31), 2025},
                 {ownEnd, Day(2026, 1, 1), Day(2026, 8, 31), 2026},
                 {noDates, VoNoDate, VoNoDate, 2031},
                 {424242, VoNoDate, VoNoDate, 2031}};
    for (const auto &c : cases) {
        double start = 0, end = 0;
        kvb::LoadCurrentRegisterYear(c.id, start, end);
        EXPECT_EQ(start, c.start) << c.id;
        EXPECT_EQ(end, c.end) << c.id;
        EXPECT_EQ(CurrentRegYear, c.year) << "an unknown register-year leaves the values";
        EXPECT_EQ(CurrentRegSchoolId, DemoSchoolId());
    }
}

TEST_F(kvbRoutinesTest, ParameterDescriptions) {
    EXPECT_EQ(kvb::GetParamDescription(ParRegisterYear).toString(),
              QStringLiteral("Inventario di prova  Anno: 2026"));
    EXPECT_EQ(CurrentRegisterType, 5);
    xgvmGlobalVar.Add(ParRegisterYear, QString());
    EXPECT_TRUE(kvb::GetParamDescription(ParRegisterYear).isNull());
    EXPECT_EQ(CurrentRegisterType, 0);
}

TEST_F(kvbRoutinesTest, RegisterYearOfADate) {
    VoExecSQL(QStringLiteral("UPDATE TDWGFACANF SET DDWGFACANFFINE = '2025-06-30' WHERE IDWGFACANFID = :id"),
              {{QStringLiteral("id"), year2025}});
    const struct {
        QDate date;
        int registerYear;
    } cases[] = {{QDate(2025, 6, 30), year2025}, {QDate(2025, 9, 1), 0}, {QDate(2026, 1, 1), year2026}};
    for (const auto &c : cases)
        EXPECT_EQ(FindRegisterYearByDate(-1, DateToDays(c.date)), c.registerYear)
            << c.date.toString().toStdString();
    EXPECT_EQ(
        FindRegisterYearByDate(DemoRegister(), Day(2026, 1, 1)),
        VoSelectValue(QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TDWGFAC df ON "
                                     "df.IDWGFACID = dfa.IDWGFACID WHERE df.IFACID = :f AND dfa.IANFID = :y"),
                      {{QStringLiteral("f"), DemoRegister()}, {QStringLiteral("y"), YearId(2026)}})
            .toInt());
}

TEST_F(kvbRoutinesTest, XmlDefinitionsOfTheProgramsListAndCustomisedReports) {
    for (const QString &list : {QStringLiteral("KVA"), QStringLiteral("KVB")})
        VoTestXmlDefinition(list, QStringLiteral("KVB_PROVA"), QStringLiteral("<%1/>").arg(list));
    QString xml;
    LoadXmlArchive(xml, QStringLiteral("KVB_PROVA"), QString());
    EXPECT_EQ(xml, QStringLiteral("<KVB/>"));
    try {
        LoadXmlArchive(xml, QStringLiteral("KVB_NESSUNO"), QString());
        FAIL();
    } catch (const EVoError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("XML codice KVB_NESSUNO Non trovato nel DB"));
    }
    EXPECT_EQ(GetBaseReportId(1000001), 0) << "a customised report nobody keeps";
}

TEST_F(kvbRoutinesTest, TypedAmounts) {
    EXPECT_EQ(TextToAmount(QString()), TVoMoney());
    EXPECT_EQ(TextToAmount(QStringLiteral("1.234,56")).Stored(), 12345600);
    try {
        TextToAmount(QStringLiteral("12,3,4"));
        FAIL();
    } catch (const EVoError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("\"12,3,4\" non è un importo valido."));
    }
}
