// Both programs' code in one binary: the routines each program has under the same names answer by its
// own rules, whichever program's code the binary holds besides.
#include "AbcCProgram.h"
#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "kvaFMain.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"
#include "kvbFMain.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <gtest/gtest.h>

namespace {

// One register-year holding a consumables voucher and a durable-goods voucher of other numbers.
class BothProgramsTest : public VoGoodsTest {
protected:
    void TearDown() override {
        kva::ResetWorkingContext();
        VoGoodsTest::TearDown();
    }
};

} // namespace

// Every window of both programs links into this binary. Where both programs offer a window under one
// class name, the last registration wins; no test here opens one.
void BothRegisterWindows() {
    kvaRegisterWindows();
    kvbRegisterWindows();
}

TEST_F(BothProgramsTest, EachProgramFindsOnlyItsOwnVoucherNumbers) {
    VoTestVoucher(kvaLoading, QDate(2026, 2, 1), year2026, 7);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 1), 9);
    CurrentRegisterId = facId;
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));

    const struct {
        const char *program;
        bool (*exists)(int number, int kind);
        int number;
        bool expected;
    } cases[] = {{"kva", &kva::VoucherNumberExists, 7, true},
                 {"kva", &kva::VoucherNumberExists, 9, false},
                 {"kvb", &kvb::VoucherNumberExists, 9, true},
                 {"kvb", &kvb::VoucherNumberExists, 7, false}};
    for (const auto &c : cases)
        EXPECT_EQ(c.exists(c.number, 0), c.expected) << c.program << " " << c.number;
}

TEST_F(BothProgramsTest, EachProgramsStartUpMakesItsOwnProfileTheProcesss) {
    for (const QString &list : {QStringLiteral("KVA"), QStringLiteral("KVB")})
        VoTestXmlDefinition(list, QStringLiteral("PROVA"), QStringLiteral("<%1/>").arg(list));
    // Whichever program's code the binary holds besides, the last start-up's profile answers.
    const struct {
        const TAbcProgram &(*program)();
        const char *xml;
    } cases[] = {{&kvaProgram, "<KVA/>"}, {&kvbProgram, "<KVB/>"}, {&kvaProgram, "<KVA/>"}};
    for (const auto &c : cases) {
        AbcSetProgram(c.program());
        QString xml;
        LoadXmlArchive(xml, QStringLiteral("PROVA"), QString());
        EXPECT_EQ(xml, QString::fromLatin1(c.xml));
    }
}

TEST_F(BothProgramsTest, EachProgramsResetLeavesTheRegisterYearWithoutDates) {
    const struct {
        const char *program;
        void (*reset)();
    } cases[] = {{"kva", &kva::ResetWorkingContext}, {"kvb", &kvb::ResetWorkingContext}};
    for (const auto &c : cases) {
        kva::LoadCurrentRegisterYear(year2026, CurrentRegStart, CurrentRegEnd);
        c.reset();
        EXPECT_EQ(CurrentRegStart, VoNoDate) << c.program;
        EXPECT_EQ(CurrentRegEnd, VoNoDate) << c.program;
    }
}
