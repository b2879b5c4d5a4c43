// Voucher numbering in its two scopes, the date window a voucher number allows, and the stock
// routines the windows call.
#include "VoDates.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "kvaUUtil.h"

#include <gtest/gtest.h>

namespace {

double Day(int y, int m, int d) {
    return DateToDays(QDate(y, m, d));
}

class kvaVoucherRoutinesTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        kva::ResetWorkingContext();
        ChooseRegisterYear(VoTestRegisterYear(2026));
    }
    void TearDown() override {
        kva::ResetWorkingContext();
        VoDbTest::TearDown();
    }
};

TEST_F(kvaVoucherRoutinesTest, NumberingPerRegisterYearOrAcrossYears) {
    EXPECT_EQ(NextVoucherNumber(kvaLoading), 1);
    VoTestVoucher(kvaLoading, QDate(2025, 3, 1), VoTestRegisterYear(2025), 7);
    VoTestVoucher(kvaLoading, QDate(2026, 2, 1), VoTestRegisterYear(2026), 2);
    VoTestVoucher(kvaUnloading, QDate(2026, 2, 1), VoTestRegisterYear(2026), 9);
    // Per register-year: the 2026 loads only.
    ASSERT_EQ(CurrentNumbering, 1);
    EXPECT_EQ(NextVoucherNumber(kvaLoading), 3);
    EXPECT_TRUE(kva::VoucherNumberExists(2, kvaLoading));
    EXPECT_FALSE(kva::VoucherNumberExists(7, kvaLoading));
    EXPECT_FALSE(kva::VoucherNumberExists(2, kvaUnloading));
    // Across the register's years the numbers run on from the highest of any year.
    VoTestSetRegisterOptions(VoTestRegister(), 0, 0);
    ChooseRegisterYear(VoTestRegisterYear(2026));
    ASSERT_EQ(CurrentNumbering, 0);
    EXPECT_EQ(NextVoucherNumber(kvaLoading), 8);
    EXPECT_TRUE(kva::VoucherNumberExists(7, kvaLoading));
    // Another register's vouchers never count.
    VoTestVoucher(kvaLoading, QDate(2026, 5, 1), VoTestOtherRegisterYear(QStringLiteral("Altro"), 2026), 50);
    EXPECT_EQ(NextVoucherNumber(kvaLoading), 8);
}

TEST_F(kvaVoucherRoutinesTest, DateWindowBetweenNeighbouringNumbers) {
    const int ry = VoTestRegisterYear(2026);
    DateWindow w;
    kva::GetVoucherDateLimits(1, kvaLoading, w);
    EXPECT_EQ(w.low, 0.0);
    EXPECT_EQ(w.high, VoOpenEnd);
    VoTestVoucher(kvaLoading, QDate(2026, 2, 10), ry, 3);
    VoTestVoucher(kvaLoading, QDate(2026, 4, 20), ry, 5);
    kva::GetVoucherDateLimits(4, kvaLoading, w);
    EXPECT_EQ(w.low, Day(2026, 2, 10));
    EXPECT_EQ(w.high, Day(2026, 4, 20));
    // A higher number without a date leaves the window open.
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET DFBUODATA = NULL WHERE IFBUONUMERO = 5"));
    kva::GetVoucherDateLimits(4, kvaLoading, w);
    EXPECT_EQ(w.high, VoOpenEnd);
    // Unloading vouchers have a window of their own.
    kva::GetVoucherDateLimits(4, kvaUnloading, w);
    EXPECT_EQ(w.low, 0.0);
}

TEST_F(kvaVoucherRoutinesTest, StockCostAndCheck) {
    const int ry = VoTestRegisterYear(2026);
    const int article = VoTestArticle(QStringLiteral("Risme carta A4"), VoTestUnit(1), VoTestVatRate(22));
    double stock = -1, cost = -1;
    GetStockAndCost(article, stock, cost, -1, Day(2026, 12, 31));
    EXPECT_EQ(stock, 0.0);
    EXPECT_EQ(cost, 0.0);
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 3, 1), ry);
    VoTestRow(load, article, 10, 5.0);
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 3, 10), ry);
    const int row = VoTestRow(unload, article, 4, 0.0, VoTestSector(QStringLiteral("SEG")));
    EXPECT_DOUBLE_EQ(GetStock(article, -1, Day(2026, 3, 5)), 10.0);
    GetStockAndCost(article, stock, cost, -1, Day(2026, 12, 31));
    EXPECT_DOUBLE_EQ(stock, 6.0);
    EXPECT_DOUBLE_EQ(cost, 6.1); // VAT added: the register's amounts are typed without it
    EXPECT_TRUE(CheckStock(article, row, 0, 10));
    EXPECT_FALSE(CheckStock(article, row, 0, 11));
    EXPECT_TRUE(CheckStock(article, 0, unload, 6));
    EXPECT_FALSE(CheckStock(article, 0, unload, 6.5));
    EXPECT_TRUE(CheckStock(article, 0, 0, 0));
}

} // namespace
