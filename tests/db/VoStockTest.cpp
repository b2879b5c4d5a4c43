// Stock on hand and average cost (PKVA_GETGIACENZA), the stock check of a proposed change
// (PKVA_CONTROLLAGIAC), the voucher-row view and the integrity rules of the voucher tables, on the
// demo database: register "Facile consumo", numbered per register-year, costs without VAT.
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"

#include <QDateTime>
#include <QHash>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kTolerance = 1e-9;

QDate D(int year, int month, int day) {
    return QDate(year, month, day);
}

} // namespace

class VoStockTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        y25 = VoTestRegisterYear(2025);
        y26 = VoTestRegisterYear(2026);
        vat22 = VoTestVatRate(22);
        piece = VoTestUnit(1);
    }
    void ExpectStock(int article, const QVariant &date, int registerYear, double stock, double cost,
                     const QVariant &sector = -1) {
        const TVoTestStock s = VoTestStock(article, date, registerYear, sector);
        EXPECT_EQ(s.rows, 1);
        EXPECT_NEAR(s.stock, stock, kTolerance) << "stock at " << date.toString().toStdString();
        EXPECT_NEAR(s.cost, cost, kTolerance) << "cost at " << date.toString().toStdString();
    }
    int Load(int article, const QDate &date, double quantity, double cost, int sector = 0, int vat = -1) {
        return VoTestRow(VoTestVoucher(0, date, y25), article, quantity, cost, sector, vat);
    }
    int Unload(int article, const QDate &date, double quantity, int sector = 0) {
        return VoTestRow(VoTestVoucher(1, date, y25), article, quantity, 99.0, sector);
    }
    int Check(int article, const QVariant &row = -1, const QVariant &quantity = {},
              const QVariant &voucher = -1, int registerYear = 0) {
        return VoTestCheck(article, row, quantity, voucher, registerYear ? registerYear : y25);
    }

    int y25 = 0, y26 = 0, vat22 = 0, piece = 0;
};

TEST_F(VoStockTest, StockAndAverageCostFollowLoadsAndUnloadsByDate) {
    const int art = VoTestArticle(QStringLiteral("Risme carta A4"), piece, vat22);
    Load(art, D(2025, 2, 1), 10, 2.0);
    Unload(art, D(2025, 2, 15), 4); // an unloading row's own cost never enters the average
    Load(art, D(2025, 3, 1), 30, 4.0);
    Unload(art, D(2025, 3, 10), 6);

    ExpectStock(art, D(2025, 1, 31), y25, 0, 0);
    ExpectStock(art, D(2025, 2, 1), y25, 10, 2.44);
    ExpectStock(art, D(2025, 2, 20), y25, 6, 2.44);
    ExpectStock(art, D(2025, 3, 1), y25, 36, 3.5 * 1.22);
    ExpectStock(art, D(2025, 12, 31), y25, 30, 3.5 * 1.22);
}

TEST_F(VoStockTest, VatOfEachLoadingRowIsAddedUnlessTheRegisterIncludesIt) {
    const int vat10 = VoTestVatRate(10);
    const int art = VoTestArticle(QStringLiteral("Toner"), piece, vat22);
    const int voucher = VoTestVoucher(0, D(2025, 2, 1), y25);
    VoTestRow(voucher, art, 10, 2.0, 0, vat22);
    VoTestRow(voucher, art, 10, 4.0, 0, vat10); // the row's rate counts, not the article's
    VoTestRow(voucher, art, 10, 3.0, 0, 0);     // a row without a rate adds nothing
    const double withVat = (10 * 2.0 * 1.22 + 10 * 4.0 * 1.10 + 10 * 3.0) / 30;

    ExpectStock(art, D(2025, 2, 1), y25, 30, withVat);
    VoTestSetRegisterOptions(VoTestRegister(), 1, 1);
    ExpectStock(art, D(2025, 2, 1), y25, 30, 3.0);
    VoTestSetRegisterOptions(VoTestRegister(), 1, QVariant()); // no flag: costs are without VAT
    ExpectStock(art, D(2025, 2, 1), y25, 30, withVat);
}

TEST_F(VoStockTest, UnloadingRowsCountInUnloadingMeasures) {
    const int box = VoTestUnit(12, QStringLiteral("CF"));
    const int art = VoTestArticle(QStringLiteral("Penne a sfera (scatola da 12)"), box, vat22);
    Load(art, D(2025, 2, 1), 2, 24.0);
    Unload(art, D(2025, 2, 10), 6);
    Unload(art, D(2025, 2, 20), 18);
    ExpectStock(art, D(2025, 2, 10), y25, 1.5, 24 * 1.22);
    ExpectStock(art, D(2025, 2, 20), y25, 0, 24 * 1.22);

    // A stock that is no exact decimal comes back rounded to six decimals.
    const int thirds = VoTestArticle(QStringLiteral("Gessi (scatola da 3)"), VoTestUnit(3), 0);
    Load(thirds, D(2025, 2, 1), 1, 3.0);
    Unload(thirds, D(2025, 2, 2), 1);
    EXPECT_DOUBLE_EQ(VoTestStock(thirds, D(2025, 2, 2), y25).stock, 0.666667);

    // A factor of 0 or none counts as 1.
    for (const QVariant &factor : {QVariant(0.0), QVariant()}) {
        const int art1 = VoTestArticle(QStringLiteral("Fattore ") + factor.toString(), VoTestUnit(factor), 0);
        Load(art1, D(2025, 2, 1), 5, 1.0);
        Unload(art1, D(2025, 2, 2), 2);
        ExpectStock(art1, D(2025, 2, 2), y25, 3, 1.0);
    }
}

TEST_F(VoStockTest, SumsThatMissZeroByARoundingErrorGiveZero) {
    // In doubles 0.3 - 0.1 - 0.2 is a little below zero.
    const int art = VoTestArticle(QStringLiteral("Colla stick"), piece, 0);
    Load(art, D(2025, 2, 1), 0.3, 1.0);
    Unload(art, D(2025, 2, 2), 0.1);
    Unload(art, D(2025, 2, 3), 0.2);
    const TVoTestStock s = VoTestStock(art, D(2025, 2, 3), y25);
    EXPECT_EQ(s.stock, 0.0);
    EXPECT_FALSE(std::signbit(s.stock));
    EXPECT_EQ(Check(art), 0);
}

TEST_F(VoStockTest, ASectorNarrowsStockAndCost) {
    const int seg = VoTestSector(QStringLiteral("SEG")), lab = VoTestSector(QStringLiteral("LAB"));
    const int art = VoTestArticle(QStringLiteral("Carta da pacchi"), piece, 0);
    const int voucher = VoTestVoucher(0, D(2025, 2, 1), y25);
    VoTestRow(voucher, art, 10, 2.0, seg);
    VoTestRow(voucher, art, 5, 8.0, lab);
    Unload(art, D(2025, 2, 5), 3, seg);

    ExpectStock(art, D(2025, 2, 5), y25, 7, 2.0, seg);
    ExpectStock(art, D(2025, 2, 5), y25, 5, 8.0, lab);
    ExpectStock(art, D(2025, 2, 5), y25, 0, 0, VoTestSector(QStringLiteral("PAL")));
    ExpectStock(art, D(2025, 2, 5), y25, 12, 4.0, -1);
    ExpectStock(art, D(2025, 2, 5), y25, 12, 4.0, QVariant());
}

TEST_F(VoStockTest, TheRegistersNumberingDecidesWhichYearsCount) {
    const int art = VoTestArticle(QStringLiteral("Cartelline"), piece, 0);
    VoTestRow(VoTestVoucher(0, D(2025, 6, 1), y25), art, 10, 2.0);
    VoTestRow(VoTestVoucher(1, D(2026, 2, 1), y26), art, 4);
    VoTestRow(VoTestVoucher(0, D(2026, 3, 1), y26), art, 5, 4.0);
    // Another register of the same school never counts, whatever the numbering.
    const int other = VoTestOtherRegisterYear(QStringLiteral("Materiale di pulizia"), 2026);
    VoTestRow(VoTestVoucher(0, D(2026, 1, 10), other), art, 100, 1.0);

    // Per register-year: each year keeps its own stock, whatever the date asked.
    ExpectStock(art, D(2026, 12, 31), y26, 1, 4.0);
    ExpectStock(art, D(2026, 12, 31), y25, 10, 2.0);
    // Across years: every register-year of the school register counts, up to the date.
    VoTestSetRegisterOptions(VoTestRegister(), 0, 0);
    ExpectStock(art, D(2026, 12, 31), y26, 11, 40.0 / 15);
    ExpectStock(art, D(2026, 12, 31), y25, 11, 40.0 / 15);
    ExpectStock(art, D(2025, 12, 31), y26, 10, 2.0);
    ExpectStock(art, D(2026, 12, 31), other, 100, 1.0);
}

TEST_F(VoStockTest, TheDateIsComparedByDay) {
    const int art = VoTestArticle(QStringLiteral("Buste"), piece, 0);
    Load(art, D(2025, 3, 10), 5, 1.0);
    ExpectStock(art, QDateTime(D(2025, 3, 10), QTime(18, 30)), y25, 5, 1.0);
    ExpectStock(art, QDateTime(D(2025, 3, 9), QTime(23, 59, 59)), y25, 0, 0);
    ExpectStock(art, D(2025, 3, 10), y25, 5, 1.0);
}

TEST_F(VoStockTest, AlwaysExactlyOneRow) {
    const int art = VoTestArticle(QStringLiteral("Nastro adesivo"), piece, 0);
    Unload(art, D(2025, 2, 1), 2);
    ExpectStock(art, D(2025, 12, 31), y25, -2, 0); // unloads without loads: no average
    ExpectStock(987654, D(2025, 12, 31), y25, 0, 0);
    ExpectStock(art, D(2025, 12, 31), 987654, 0, 0);
    ExpectStock(art, QVariant(), y25, 0, 0);

    // Inline in a WHERE text, as the unloading rows list it: only articles with stock at the date.
    const int stocked = VoTestArticle(QStringLiteral("Evidenziatori"), piece, 0);
    Load(stocked, D(2025, 2, 1), 3, 1.0);
    TVoQuery q(QStringLiteral("SELECT far.IFARID FROM TFAR_FACARTICOLI far WHERE (SELECT p.GIACENZA FROM "
                              "PKVA_GETGIACENZA(far.iFarId, :data, :iDwgAnfFacId, -1) p) > 0"));
    q.SetParam(QStringLiteral("data"), D(2025, 2, 1)).SetParam(QStringLiteral("iDwgAnfFacId"), y25);
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.AsInteger(QStringLiteral("IFARID")), stocked);
    EXPECT_EQ(q.CountToEnd(), 1);
}

// Every article's stock and cost from the one-pass procedure, by article.
QHash<int, TVoTestStock> AllStocks(const QDate &date, int registerYear, int sector) {
    TVoQuery q(QStringLiteral("SELECT IFARID, GIACENZA, COSTOUNIMED FROM PKVA_GETGIACENZE(:d, :y, :s)"));
    q.SetParam(QStringLiteral("d"), date).SetParam(QStringLiteral("y"), registerYear);
    q.SetParam(QStringLiteral("s"), sector);
    QHash<int, TVoTestStock> all;
    int previous = 0;
    for (q.Open(); !q.Eof(); q.Next()) {
        const int article = q.AsInteger(QStringLiteral("IFARID"));
        EXPECT_GT(article, previous) << "one row per article, in article order";
        previous = article;
        all.insert(article,
                   {q.AsFloat(QStringLiteral("GIACENZA")), q.AsFloat(QStringLiteral("COSTOUNIMED")), 1});
    }
    return all;
}

TEST_F(VoStockTest, OnePassGivesEveryArticleTheSameNumbersAsTheProcedureOfOneArticle) {
    // A register of awkward numbers: units with and without a factor, rows at VAT rates other than
    // their article's, costs and quantities with no exact binary form, sectors, vouchers dated before
    // vouchers written earlier, rows in both years.
    const QList<int> units = {VoTestUnit(QVariant()), VoTestUnit(1), VoTestUnit(12), VoTestUnit(0),
                              VoTestUnit(3)};
    const QList<int> rates = {0, vat22, VoTestVatRate(4), VoTestVatRate(10)};
    const QList<int> sectors = {0, VoTestSector(QStringLiteral("SEG")), VoTestSector(QStringLiteral("LAB"))};
    unsigned seed = 12345;
    const auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    QList<int> articles;
    for (int i = 0; i < 24; ++i)
        articles << VoTestArticle(QStringLiteral("Articolo %1").arg(i), units[i % units.size()],
                                  rates[i % rates.size()]);
    const int other = VoTestArticle(QStringLiteral("Mai movimentato"), piece, vat22);
    QList<int> vouchers;
    conn->StartTransaction();
    for (int v = 0; v < 60; ++v) {
        const int year = v % 3 == 0 ? 2026 : 2025;
        const QDate date = QDate(year, 12, 20).addDays(-int(next(340)));
        vouchers << VoTestVoucher(v % 4 == 1 ? 1 : 0, date, year == 2026 ? y26 : y25);
    }
    for (int r = 0; r < 500; ++r) {
        const int article = articles[next(articles.size())];
        const double quantity = (1 + next(40)) * 0.1 + (next(3) == 0 ? 1.0 / 3 : 0.0);
        const double cost = (1 + next(900)) * 0.07;
        const int rate = next(4) == 0 ? rates[next(rates.size())] : -1;
        VoTestRow(vouchers[next(vouchers.size())], article, quantity, cost, sectors[next(sectors.size())],
                  rate);
    }
    conn->Commit();

    int withCost = 0;
    for (const int numbering : {1, 0}) {
        VoTestSetRegisterOptions(VoTestRegister(), numbering, numbering);
        for (const QDate &date : {D(2025, 3, 31), D(2025, 12, 31), D(2026, 7, 1)})
            for (const int registerYear : {y25, y26})
                for (const int sector : {-1, sectors[1]}) {
                    const QHash<int, TVoTestStock> all = AllStocks(date, registerYear, sector);
                    EXPECT_FALSE(all.contains(other));
                    for (const int article : std::as_const(articles)) {
                        const TVoTestStock one = VoTestStock(article, date, registerYear, sector);
                        const TVoTestStock got = all.value(article);
                        // Bit for bit: the closing stores these numbers.
                        EXPECT_EQ(got.stock, one.stock) << article << " at " << date.toString().toStdString();
                        EXPECT_EQ(got.cost, one.cost) << article << " at " << date.toString().toStdString();
                        withCost += one.cost != 0.0;
                    }
                }
    }
    EXPECT_GT(withCost, 300);
}

TEST_F(VoStockTest, CheckOfTheDataAsTheyStand) {
    const int art = VoTestArticle(QStringLiteral("Cucitrice"), piece, 0);
    Load(art, D(2025, 2, 1), 10, 1.0);
    Unload(art, D(2025, 2, 5), 10);
    EXPECT_EQ(Check(art, QVariant(), QVariant(), QVariant()), 0);
    EXPECT_EQ(Check(art), 0);
    Unload(art, D(2025, 2, 6), 0.5);
    EXPECT_EQ(Check(art), 1);
    EXPECT_EQ(Check(987654), 0);
}

TEST_F(VoStockTest, CheckTakesTheRowsOfADayTogetherAndEveryDayCounts) {
    // An unload entered before the load of the same day is covered by it.
    const int sameDay = VoTestArticle(QStringLiteral("Forbici"), piece, 0);
    Unload(sameDay, D(2025, 2, 1), 10);
    Load(sameDay, D(2025, 2, 1), 10, 1.0);
    EXPECT_EQ(Check(sameDay), 0);

    // A day below zero fails the check even when a later load makes the stock good again.
    const int art = VoTestArticle(QStringLiteral("Righelli"), piece, 0);
    Load(art, D(2025, 2, 1), 5, 1.0);
    Unload(art, D(2025, 2, 3), 8);
    Load(art, D(2025, 2, 5), 10, 1.0);
    EXPECT_EQ(VoTestStock(art, D(2025, 12, 31), y25).stock, 7);
    EXPECT_EQ(Check(art), 1);
}

TEST_F(VoStockTest, CheckOfANewQuantityForAnExistingRow) {
    const int art = VoTestArticle(QStringLiteral("Cartucce"), piece, 0);
    const int load = Load(art, D(2025, 2, 1), 10, 1.0);
    const int unload = Unload(art, D(2025, 2, 5), 8);
    EXPECT_EQ(Check(art, load, 8), 0);
    EXPECT_EQ(Check(art, load, 7.9), 1);
    EXPECT_EQ(Check(art, load, 0), 1); // a deletion
    EXPECT_EQ(Check(art, unload, 10), 0);
    EXPECT_EQ(Check(art, unload, 10.5), 1);
    EXPECT_EQ(Check(art, unload, 0), 0);
    // A row of another article changes nothing for this one; nor does a voucher given with a row.
    const int other = Load(VoTestArticle(QStringLiteral("Altro"), piece, 0), D(2025, 2, 1), 1, 1.0);
    EXPECT_EQ(Check(art, other, 0), 0);
    EXPECT_EQ(Check(art, load, 8, VoTestVoucher(1, D(2025, 1, 2), y25)), 0);
}

TEST_F(VoStockTest, CheckOfANewUnloadingRowAtItsVouchersDate) {
    const int box = VoTestUnit(12, QStringLiteral("CF"));
    const int art = VoTestArticle(QStringLiteral("Pennarelli (scatola da 12)"), box, 0);
    Load(art, D(2025, 2, 1), 2, 12.0);
    const int voucher = VoTestVoucher(1, D(2025, 2, 3), y25);
    Unload(art, D(2025, 2, 10), 12);
    EXPECT_EQ(Check(art, -1, 12, voucher), 0); // 12 pieces are one box
    EXPECT_EQ(Check(art, -1, 13, voucher), 1); // short only from the later unload on
    EXPECT_EQ(Check(art, -1, 1, VoTestVoucher(1, D(2025, 1, 15), y25)), 1);
    EXPECT_EQ(Check(art, -1, QVariant(), voucher), 0); // no quantity: nothing proposed
}

TEST_F(VoStockTest, CheckScopeFollowsTheNumbering) {
    const int art = VoTestArticle(QStringLiteral("Quaderni"), piece, 0);
    VoTestRow(VoTestVoucher(0, D(2025, 6, 1), y25), art, 10, 1.0);
    VoTestRow(VoTestVoucher(1, D(2026, 2, 1), y26), art, 4);
    EXPECT_EQ(Check(art, -1, QVariant(), -1, y26), 1);
    EXPECT_EQ(Check(art, -1, QVariant(), -1, y25), 0);
    VoTestSetRegisterOptions(VoTestRegister(), 0, 0);
    EXPECT_EQ(Check(art, -1, QVariant(), -1, y26), 0);
    EXPECT_EQ(Check(art, -1, QVariant(), -1, y25), 0);
}

TEST_F(VoStockTest, ViewCarriesTheArticlesCodesAndTheRowsTotals) {
    const int caf = VoTestNewKey(QStringLiteral("TCAF_CATEGORIEFAC"));
    VoExecSQL(QStringLiteral("INSERT INTO TCAF_CATEGORIEFAC (ICAFID, SCAFCODICE, SCAFDESC) VALUES (:id, "
                             "'CAN', 'Cancelleria')"),
              {{QStringLiteral("id"), caf}});
    const int mer = VoTestNewKey(QStringLiteral("TMER_CODICIMERCEOL"));
    VoExecSQL(QStringLiteral("INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC, LMERPRG) "
                             "VALUES (:id, '3019', 'Carta', 'F')"),
              {{QStringLiteral("id"), mer}});
    const int dcm = VoTestNewKey(QStringLiteral("TDCM_DETTCODMERC"));
    VoExecSQL(QStringLiteral("INSERT INTO TDCM_DETTCODMERC (IDCMID, IMERID, SDCMDESCS, SDCMDESCL) "
                             "VALUES (:id, :mer, 'A4', 'Formato A4')"),
              {{QStringLiteral("id"), dcm}, {QStringLiteral("mer"), mer}});
    const int box = VoTestUnit(5, QStringLiteral("RS"));
    const int art = VoTestArticle(QStringLiteral("Carta A4 80g"), box, vat22);
    VoExecSQL(
        QStringLiteral(
            "UPDATE TFAR_FACARTICOLI SET ICAFID = :caf, IMERID = :mer, IDCMID = :dcm WHERE IFARID = :id"),
        {{QStringLiteral("caf"), caf},
         {QStringLiteral("mer"), mer},
         {QStringLiteral("dcm"), dcm},
         {QStringLiteral("id"), art}});
    const int seg = VoTestSector(QStringLiteral("SEG"));
    const int row = VoTestRow(VoTestVoucher(0, D(2025, 4, 2), y25, 7), art, 3, 2.5, seg);
    // The row's own code columns are not what the view shows.
    VoExecSQL(QStringLiteral(
                  "UPDATE TAFC_ARTVELIST SET ICAFID = NULL, IMERID = 0, IUNMID = NULL WHERE IAFCID = :id"),
              {{QStringLiteral("id"), row}});

    TVoQuery q(QStringLiteral("SELECT * FROM VAFC_ARTVELIST WHERE IAFCID = :id"));
    q.SetParam(QStringLiteral("id"), row).Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.AsInteger(QStringLiteral("ICAFID")), caf);
    EXPECT_EQ(q.AsString(QStringLiteral("SCAFDESC")), QStringLiteral("Cancelleria"));
    EXPECT_EQ(q.AsString(QStringLiteral("SMERDESC")), QStringLiteral("Carta"));
    EXPECT_EQ(q.AsString(QStringLiteral("SDCMDESCL")), QStringLiteral("Formato A4"));
    EXPECT_EQ(q.AsInteger(QStringLiteral("IUNMID")), box);
    EXPECT_EQ(q.AsFloat(QStringLiteral("FUNMFATTOREPROP")), 5.0);
    EXPECT_EQ(q.AsFloat(QStringLiteral("FALVIVA")), 22.0);
    EXPECT_NEAR(q.AsFloat(QStringLiteral("FAFCTOTALE")), 7.5, kTolerance);
    EXPECT_NEAR(q.AsFloat(QStringLiteral("FAFCTOTALE_CONIVA")), 9.15, kTolerance);
    EXPECT_EQ(q.AsString(QStringLiteral("SSECDESCS")), QStringLiteral("Segreteria"));
    EXPECT_EQ(q.AsString(QStringLiteral("SFARLDESC")), QStringLiteral("CARTA A4 80G"));
    EXPECT_EQ(q.AsInteger(QStringLiteral("IFBUONUMERO")), 7);
    EXPECT_EQ(q.AsInteger(QStringLiteral("ILOCKED")), 0);
    EXPECT_EQ(q.AsInteger(QStringLiteral("IANFVALORE")), 2025);
    EXPECT_EQ(q.AsInteger(QStringLiteral("IFACID")), VoTestRegister());
    EXPECT_EQ(q.AsInteger(QStringLiteral("IDWGFACANFID")), y25);
}

TEST_F(VoStockTest, ViewHasEveryColumnTheReportsAndWindowsRead) {
    const QString columns = QStringLiteral(
        "IAFCID, IFBUOID, IDWGFACANFID, IANFID, IANFVALORE, DANFVOREXINIZIO, DANFVOREXFINE, "
        "DDWGFACANFINIZIO, "
        "DDWGFACANFFINE, IDWGFACID, IDWGID, IFACID, IBENID, IFBUONUMERO, DFBUODATA, SFBUODESC, IFBUOTIPO, "
        "DFBUOPROTDATA, SFBUOPROTNUM, ILOCKED, DINSERT_FBUO, IMGMID, SFBUOUSE, ICLCID, ISECID, SSECDESCS, "
        "SSECDESCL, "
        "ISEDINFID, SSEDINFLDESC, SSEDINFSDESC, IVPROID, ICAVID, SCAVCODICE, SCAVDESC, ICONDID, SCONDCODICE, "
        "SCONDDESC, DINSERT_AFC, FAFCQUANTITA, FAFCCOSTOUNIT, sFarLDesc, sFarSDesc, BAFCNOTE, IAFCPROGR, "
        "IALVID, "
        "SALVDESCS, SALVDESCL, FALVIVA, ICFMID, ICAFID, SCAFCODICE, SCAFDESC, IDCMID, SDCMDESCS, SDCMDESCL, "
        "IMERID, "
        "SMERCODICE, SMERDESC, IINBANNOASSUNZ, IUNMID, SUNMCOD, SUNMDESCS, SUNMDESCL, SUNMMISCARICO, "
        "SUNMMISSCARICO, "
        "FUNMFATTOREPROP, SFarLIBEDITORE, SFarLIBAUTORE, SFarLIBTITOLO, IRSPID, iFarId, sCafDesc, sMerDesc, "
        "sDcmDescL, sCondDesc, sCondCodice, sSecDescS, sUnmDescS, fAlvIva, iLocked, fAfcTotale, "
        "fAfcTotale_ConIva");
    EXPECT_NO_THROW(
        TVoQuery(QStringLiteral("SELECT %1 FROM VAfc_ArtVelist afc WHERE 1 = 0").arg(columns)).Open());
}

TEST_F(VoStockTest, DeletesThatWouldOrphanRowsAreRefused) {
    const int art = VoTestArticle(QStringLiteral("Spillatrice"), piece, 0);
    const int voucher = VoTestVoucher(0, D(2025, 2, 1), y25);
    const int row = VoTestRow(voucher, art, 1, 1.0);
    const QVariantHash ids{
        {QStringLiteral("buo"), voucher}, {QStringLiteral("far"), art}, {QStringLiteral("anno"), y25}};
    EXPECT_THROW(VoExecSQL(QStringLiteral("DELETE FROM TFBUO_BUONI WHERE IFBUOID = :buo"), ids),
                 EVoDatabaseError);
    EXPECT_THROW(VoExecSQL(QStringLiteral("DELETE FROM TFAR_FACARTICOLI WHERE IFARID = :far"), ids),
                 EVoDatabaseError);
    EXPECT_THROW(VoExecSQL(QStringLiteral("DELETE FROM TDWGFACANF WHERE IDWGFACANFID = :anno"), ids),
                 EVoDatabaseError);
    EXPECT_THROW(VoExecSQL(QStringLiteral("DELETE FROM TUNM_UNITAMISURA WHERE IUNMID = :id"),
                           {{QStringLiteral("id"), piece}}),
                 EVoDatabaseError);
    EXPECT_THROW(VoTestVoucher(2, D(2025, 2, 1), y25), EVoDatabaseError);

    // Rows first, then the header: the order in which the windows delete a voucher.
    EXPECT_EQ(VoExecSQL(QStringLiteral("DELETE FROM TAFC_ARTVELIST WHERE IFBUOID = :buo"), ids), 1);
    EXPECT_EQ(VoExecSQL(QStringLiteral("DELETE FROM TFBUO_BUONI WHERE IFBUOID = :buo"), ids), 1);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IAFCID = :id"),
                          {{QStringLiteral("id"), row}}),
              0);
}

TEST_F(VoStockTest, SectorHistoryDocumentLinksAndSourceVoucher) {
    const int art = VoTestArticle(QStringLiteral("Pinzatrice"), piece, 0);
    const int loadVoucher = VoTestVoucher(0, D(2025, 2, 1), y25);
    VoTestRow(loadVoucher, art, 5, 1.0);
    const int unloadVoucher = VoTestVoucher(1, D(2025, 2, 2), y25);
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET IFBUOID_P = :p WHERE IFBUOID = :id"),
              {{QStringLiteral("p"), loadVoucher}, {QStringLiteral("id"), unloadVoucher}});
    const int row = VoTestRow(unloadVoucher, art, 2, 1.0, VoTestSector(QStringLiteral("SEG")));

    // One open sector period per row; the history goes with its row.
    const QString history =
        QStringLiteral("INSERT INTO TASE_ARTFCSETTORI (IASEID, IAFCID, ISECID, DSTART, DEND) "
                       "VALUES ((SELECT L_ICNTID FROM PYSETGETID('TASE_ARTFCSETTORI', 1)), :row, "
                       ":sec, CURRENT_TIMESTAMP, NULL)");
    const QVariantHash params{{QStringLiteral("row"), row},
                              {QStringLiteral("sec"), VoTestSector(QStringLiteral("SEG"))}};
    VoExecSQL(history, params);
    EXPECT_THROW(VoExecSQL(history, params), EVoDatabaseError);
    VoExecSQL(
        QStringLiteral(
            "UPDATE TASE_ARTFCSETTORI SET DEND = CURRENT_TIMESTAMP WHERE IAFCID = :row AND DEND IS NULL"),
        params);
    VoExecSQL(history, params);
    VoExecSQL(QStringLiteral("DELETE FROM TAFC_ARTVELIST WHERE IAFCID = :row"), params);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TASE_ARTFCSETTORI")), 0);

    // A document is linked once to a voucher, and cannot be deleted while linked.
    const int type = VoTestNewKey(QStringLiteral("TTID_TIPOINVDOC"));
    const int document = VoTestNewKey(QStringLiteral("TIDC_INVDOC"));
    VoExecSQL(QStringLiteral("INSERT INTO TTID_TIPOINVDOC (ITIDID, STIDDESC) VALUES (:type, 'Fattura')"),
              {{QStringLiteral("type"), type}});
    VoExecSQL(
        QStringLiteral("INSERT INTO TIDC_INVDOC (IIDCID, DIDCDATA, SIDCNUMERO, SIDCDESC, ITIDID, SIDCPRG) "
                       "VALUES (:doc, '2025-01-30', '12/A', 'Fattura carta', :type, '11000')"),
        {{QStringLiteral("doc"), document}, {QStringLiteral("type"), type}});
    const QString link = QStringLiteral("INSERT INTO TFBUOIDC (IFBUOIDCID, IFBUOID, IIDCID) VALUES "
                                        "((SELECT L_ICNTID FROM PYSETGETID('TFBUOIDC', 1)), :buo, :doc)");
    VoExecSQL(link, {{QStringLiteral("buo"), loadVoucher}, {QStringLiteral("doc"), document}});
    EXPECT_THROW(VoExecSQL(link, {{QStringLiteral("buo"), loadVoucher}, {QStringLiteral("doc"), document}}),
                 EVoDatabaseError);
    VoExecSQL(link, {{QStringLiteral("buo"), unloadVoucher}, {QStringLiteral("doc"), document}});
    EXPECT_THROW(VoExecSQL(QStringLiteral("DELETE FROM TIDC_INVDOC WHERE IIDCID = :doc"),
                           {{QStringLiteral("doc"), document}}),
                 EVoDatabaseError);

    // Deleting the loading voucher an unloading one was generated from leaves the latter without a source.
    VoExecSQL(QStringLiteral("DELETE FROM TFBUOIDC WHERE IFBUOID = :buo"),
              {{QStringLiteral("buo"), loadVoucher}});
    VoExecSQL(QStringLiteral("DELETE FROM TAFC_ARTVELIST WHERE IFBUOID = :buo"),
              {{QStringLiteral("buo"), loadVoucher}});
    VoExecSQL(QStringLiteral("DELETE FROM TFBUO_BUONI WHERE IFBUOID = :buo"),
              {{QStringLiteral("buo"), loadVoucher}});
    EXPECT_TRUE(VoSelectValue(QStringLiteral("SELECT IFBUOID_P FROM TFBUO_BUONI WHERE IFBUOID = :id"),
                              {{QStringLiteral("id"), unloadVoucher}})
                    .isNull());
}
