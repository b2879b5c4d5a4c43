// How vouchers and rows are written: the re-pricing of unloading rows after a load changes or goes,
// the article's first VAT rate, the sector history, and the deletion of a whole voucher.
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <gtest/gtest.h>

namespace {

double Cost(int rowId) {
    return VoSelectValue(QStringLiteral("SELECT FAFCCOSTOUNIT FROM TAFC_ARTVELIST WHERE IAFCID = :id"),
                         {{QStringLiteral("id"), rowId}})
        .toDouble();
}

class kvaVoucherWritesTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        kva::ResetWorkingContext();
        ry = VoTestRegisterYear(2026);
        ChooseRegisterYear(ry);
        // Amounts typed with VAT, so the costs below are what was typed.
        VoTestSetRegisterOptions(VoTestRegister(), 1, 1);
        box = VoTestUnit(10, QStringLiteral("SC")); // a box of ten pieces
        article = VoTestArticle(QStringLiteral("Penne blu"), box, VoTestVatRate(22));
    }
    void TearDown() override {
        kva::ResetWorkingContext();
        VoDbTest::TearDown();
    }

    // The rows of a voucher as the windows hold them, with the lists of the kind.
    void OpenRows(TVoQueryCollection &rows, int voucher, int kind) {
        rows.SetCommandText(
            QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IFBUOID = :IFBUOID ORDER BY IAFCID"));
        rows.SetParam(QStringLiteral("IFBUOID"), voucher);
        kvaSetRowLists(&rows, kind);
        rows.Open();
    }

    int ry = 0, box = 0, article = 0;
};

TEST_F(kvaVoucherWritesTest, UnloadingRowsFollowTheAverageCostPerUnloadingUnit) {
    const int load1 = VoTestVoucher(kvaLoading, QDate(2026, 1, 10), ry);
    VoTestRow(load1, article, 2, 10.0); // two boxes at 10
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 3, 1), ry);
    const int out = VoTestRow(unload, article, 5, 0.0); // five pieces

    // A second load through the window's lists: the unloading row is re-priced per piece.
    const int load2 = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), ry);
    TVoQueryCollection rows;
    OpenRows(rows, load2, kvaLoading);
    rows.Append();
    rows.FieldByName(QStringLiteral("IFBUOID"))->SetValue(load2);
    rows.FieldByName(QStringLiteral("IFARID"))->SetValue(article);
    rows.FieldByName(QStringLiteral("FAFCQUANTITA"))->SetValue(2.0);
    rows.FieldByName(QStringLiteral("FAFCCOSTOUNIT"))->SetValue(20.0);
    rows.FieldByName(QStringLiteral("IALVID"))->SetValue(VoTestVatRate(4));
    ASSERT_TRUE(rows.Post()) << messages->LastText().toStdString();
    EXPECT_DOUBLE_EQ(Cost(out), 1.5); // (2*10 + 2*20) / 4 boxes = 15 a box, 1.5 a piece
    // The article kept the rate it had.
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT FALVIVA FROM TFAR_FACARTICOLI far JOIN TALV_ALIQUOTEIVA alv ON "
                                     "alv.IALVID = far.IALVID WHERE far.IFARID = :a"),
                      {{QStringLiteral("a"), article}})
            .toDouble(),
        22.0);

    // Deleting that load re-prices with the load gone.
    ASSERT_TRUE(rows.Locate(QStringLiteral("IFBUOID"), load2));
    messages->Push(mrYes);
    ASSERT_TRUE(rows.Delete());
    EXPECT_DOUBLE_EQ(Cost(out), 1.0);
}

TEST_F(kvaVoucherWritesTest, ArticleWithoutRateTakesTheFirstRowsRate) {
    const int bare = VoTestArticle(QStringLiteral("Gomme"), box, 0);
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 1, 10), ry);
    TVoQueryCollection rows;
    OpenRows(rows, load, kvaLoading);
    const int rate = VoTestVatRate(10);
    rows.Append();
    rows.FieldByName(QStringLiteral("IFBUOID"))->SetValue(load);
    rows.FieldByName(QStringLiteral("IFARID"))->SetValue(bare);
    rows.FieldByName(QStringLiteral("FAFCQUANTITA"))->SetValue(1.0);
    rows.FieldByName(QStringLiteral("IALVID"))->SetValue(rate);
    ASSERT_TRUE(rows.Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IALVID FROM TFAR_FACARTICOLI WHERE IFARID = :a"),
                            {{QStringLiteral("a"), bare}})
                  .toInt(),
              rate);
}

TEST_F(kvaVoucherWritesTest, UnloadingRowsKeepTheirSectorHistory) {
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 1, 10), ry);
    VoTestRow(load, article, 5, 10.0);
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 2, 1), ry);
    TVoQueryCollection rows;
    OpenRows(rows, unload, kvaUnloading);
    rows.Append();
    rows.FieldByName(QStringLiteral("IFBUOID"))->SetValue(unload);
    rows.FieldByName(QStringLiteral("IFARID"))->SetValue(article);
    rows.FieldByName(QStringLiteral("FAFCQUANTITA"))->SetValue(3.0);
    rows.FieldByName(QStringLiteral("ISECID"))->SetValue(VoTestSector(QStringLiteral("SEG")));
    ASSERT_TRUE(rows.Post()) << messages->LastText().toStdString();
    const int row = rows.FieldByName(QStringLiteral("IAFCID"))->AsInteger();
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TASE_ARTFCSETTORI WHERE IAFCID = :r AND DEND IS NULL"),
                    {{QStringLiteral("r"), row}}),
        1);
    EXPECT_DOUBLE_EQ(Cost(row), 1.0);
    rows.Edit();
    rows.FieldByName(QStringLiteral("ISECID"))->SetValue(VoTestSector(QStringLiteral("LAB")));
    ASSERT_TRUE(rows.Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TASE_ARTFCSETTORI WHERE IAFCID = :r"),
                          {{QStringLiteral("r"), row}}),
              2);
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TASE_ARTFCSETTORI WHERE IAFCID = :r AND DEND IS NULL"),
                    {{QStringLiteral("r"), row}}),
        1);
}

TEST_F(kvaVoucherWritesTest, AWholeLoadGoesOnlyIfAllItsRowsCanGoTogether) {
    // Two rows of one article on one loading voucher; the unloads need more than either row alone.
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 1, 10), ry);
    const int r1 = VoTestRow(load, article, 3, 10.0);
    VoTestRow(load, article, 3, 10.0);
    const int other = VoTestVoucher(kvaLoading, QDate(2026, 1, 5), ry);
    VoTestRow(other, article, 3, 10.0);
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 2, 1), ry);
    VoTestRow(unload, article, 20, 0.0); // two boxes: 2 of the 9 loaded
    // Each row alone may go (the other voucher's 3 boxes and the other row's 3 cover the 2 boxes).
    EXPECT_TRUE(CheckStock(article, r1, 0, 0));
    EXPECT_TRUE(kvaVoucherRowsCanGo(load));
    VoTestRow(unload, article, 20, 0.0); // now 4 boxes are out: 3 remain without the voucher
    EXPECT_TRUE(CheckStock(article, r1, 0, 0));
    EXPECT_FALSE(kvaVoucherRowsCanGo(load));
    // The trial left everything in place.
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IFBUOID = :v"),
                          {{QStringLiteral("v"), load}}),
              2);
}

TEST_F(kvaVoucherWritesTest, DeletingAWholeVoucher) {
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 1, 10), ry);
    VoTestRow(load, article, 2, 10.0);
    const int load2 = VoTestVoucher(kvaLoading, QDate(2026, 1, 11), ry);
    VoTestRow(load2, article, 2, 20.0);
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 3, 1), ry);
    const int out = VoTestRow(unload, article, 5, 1.5);
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET LFBUOSCARICATO = 1 WHERE IFBUOID = :l"),
              {{QStringLiteral("l"), load}});
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET IFBUOID_P = :l WHERE IFBUOID = :u"),
              {{QStringLiteral("l"), load}, {QStringLiteral("u"), unload}});

    kvaDeleteVoucher(load2);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                          {{QStringLiteral("v"), load2}}),
              0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IFBUOID = :v"),
                          {{QStringLiteral("v"), load2}}),
              0);
    EXPECT_DOUBLE_EQ(Cost(out), 1.0); // re-priced without the deleted load

    // The generated unloading voucher gives its loading voucher back its "not unloaded" state.
    kvaDeleteVoucher(unload);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT LFBUOSCARICATO FROM TFBUO_BUONI WHERE IFBUOID = :l"),
                            {{QStringLiteral("l"), load}})
                  .toInt(),
              0);
}

// Every unloading row of the article in the scope of a register-year costs what the stock
// procedure gives at its voucher's date, per piece; the rows out of the scope keep their cost.
void ExpectPricedAsDefined(int article, double factor, const QList<int> &scope) {
    TVoQuery q(QStringLiteral("SELECT afc.IAFCID, afc.FAFCCOSTOUNIT, buo.DFBUODATA, buo.IDWGFACANFID FROM "
                              "TAFC_ARTVELIST afc JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID WHERE "
                              "buo.IFBUOTIPO = 1 AND afc.IFARID = :a"));
    q.SetParam(QStringLiteral("a"), article).Open();
    int priced = 0;
    for (; !q.Eof(); q.Next()) {
        const int year = q.AsInteger(QStringLiteral("IDWGFACANFID"));
        const double cost = q.AsFloat(QStringLiteral("FAFCCOSTOUNIT"));
        if (!scope.contains(year)) {
            EXPECT_EQ(cost, 0.0) << "row " << q.AsInteger(QStringLiteral("IAFCID"));
            continue;
        }
        const double defined = VoTestStock(article, q.Value(QStringLiteral("DFBUODATA")), year).cost / factor;
        EXPECT_NEAR(cost, defined, 1e-9) << "row " << q.AsInteger(QStringLiteral("IAFCID"));
        EXPECT_GT(cost, 0.0);
        ++priced;
    }
    EXPECT_GT(priced, 0);
}

} // namespace

// Loads and unloads over two years, some on one day: after a load is saved, changed and deleted,
// each unloading row of the scope is priced as the stock procedure prices it at its date; a register
// numbered per year keeps the other year apart.
TEST_F(kvaVoucherWritesTest, RePricingFollowsTheStockScopeInOnePass) {
    for (const int numbering : {1, 0}) {
        VoExecSQL(QStringLiteral("DELETE FROM TAFC_ARTVELIST"));
        VoTestSetRegisterOptions(VoTestRegister(), numbering, 0);
        const int ry25 = VoTestRegisterYear(2025);
        const int vat10 = VoTestVatRate(10);
        const QList<std::tuple<int, QDate, int, double, double, int>> movements = {
            {kvaLoading, QDate(2025, 3, 1), ry25, 10, 5.0, vat10},
            {kvaUnloading, QDate(2025, 4, 1), ry25, 30, 0.0, -1},
            {kvaLoading, QDate(2026, 2, 1), ry, 4, 8.0, -1},
            {kvaUnloading, QDate(2026, 2, 1), ry, 5, 0.0, -1},
            {kvaUnloading, QDate(2026, 3, 1), ry, 7, 0.0, -1},
        };
        for (const auto &[kind, date, year, quantity, cost, rate] : movements)
            VoTestRow(VoTestVoucher(kind, date, year), article, quantity, cost, 0, rate);
        const QList<int> scope = numbering == 1 ? QList<int>{ry} : QList<int>{ry25, ry};

        const int load = VoTestVoucher(kvaLoading, QDate(2026, 1, 15), ry);
        TVoQueryCollection rows;
        OpenRows(rows, load, kvaLoading);
        rows.Append();
        rows.FieldByName(QStringLiteral("IFBUOID"))->SetValue(load);
        rows.FieldByName(QStringLiteral("IFARID"))->SetValue(article);
        rows.FieldByName(QStringLiteral("FAFCQUANTITA"))->SetValue(2.0);
        rows.FieldByName(QStringLiteral("FAFCCOSTOUNIT"))->SetValue(20.0);
        ASSERT_TRUE(rows.Post()) << messages->LastText().toStdString();
        ExpectPricedAsDefined(article, 10, scope);
        rows.Edit();
        rows.FieldByName(QStringLiteral("FAFCQUANTITA"))->SetValue(6.0);
        ASSERT_TRUE(rows.Post()) << messages->LastText().toStdString();
        ExpectPricedAsDefined(article, 10, scope);
        messages->Push(mrYes);
        ASSERT_TRUE(rows.Delete());
        ExpectPricedAsDefined(article, 10, scope);
    }
}
