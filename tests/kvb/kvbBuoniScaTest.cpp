// The unloading-voucher window driven as a user drives it: the goods offered by number, a good
// discharged, changed and taken off, and a good that another user discharged meanwhile.
#include "VoClassRegistry.h"
#include "VoDBLookupEdit.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTestGoods.h"
#include "VoWidgetTest.h"
#include "kvbFBuoniSca.h"
#include "kvbRBeniCaricoSca.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

class kvbBuoniScaTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));
        LoadWorkingContext(true);
        CurrentRegisterType = 5;
        const int loading = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 1), 1);
        good = VoTestGood(loading, 1, 10000);
        VoTestMakeDefinitive(loading, kvbLoading);
        causal = VoTestCausal(kvbUnloading);
        voucher = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 1), 1);
    }
    void TearDown() override {
        if (fm) {
            fm->xqcMain->Cancel();
            fm->xqcDetail->Cancel();
            fm->close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        xgvmGlobalVar.Clear();
        ResetWorkingContext();
        VoGoodsTest::TearDown();
    }
    void Open() {
        fm = qobject_cast<TfmkvbBuoniSca *>(CreateVoClass(QStringLiteral("TfmkvbBuoniSca")));
        ASSERT_TRUE(fm && VoShowActive(fm));
    }
    // The good's state, unloading voucher, unloading cause and value.
    QString GoodRow() const {
        return VoSelectValue(
                   QStringLiteral("SELECT IAVAID || '|' || COALESCE(IBBUOIDSCARICO, 0) || '|' || "
                                  "COALESCE(ICAVIDSCARICO, 0) || '|' || IBINBIMPORTO FROM TBINB_BENI "
                                  "WHERE IBINBID = :id"),
                   {{QStringLiteral("id"), good}})
            .toString();
    }
    // Chooses the good on the current voucher, with the cause.
    void ChooseGood() {
        ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
        fm->frDetail->xelNumero->SetKeyValue(good);
        fm->frDetail->xelCausale->SetKeyValue(causal);
    }
    QPointer<TfmkvbBuoniSca> fm;
    int good = 0;
    int causal = 0;
    int voucher = 0;
};

} // namespace

TEST_F(kvbBuoniScaTest, AGoodIsDischargedChangedAndTakenOffKeepingItsValue) {
    Open();
    ChooseGood();
    EXPECT_EQ(fm->xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"))->AsMoney().Stored(), 10000);
    fm->xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"))->SetValue(8000);
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(), QStringLiteral("3|%1|%2|8000").arg(voucher).arg(causal));
    EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("IBENIIMP"))->AsMoney().Stored(), 8000);

    ASSERT_TRUE(fm->frDetail->xdsMain->Edit());
    fm->xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"))->SetValue(7000);
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(), QStringLiteral("3|%1|%2|7000").arg(voucher).arg(causal));

    messages->Push(mrYes);
    ASSERT_TRUE(fm->frDetail->xacDelete->Execute());
    EXPECT_EQ(GoodRow(), QStringLiteral("2|0|0|7000"));
}

TEST_F(kvbBuoniScaTest, AGoodDischargedMeanwhileByAnotherUserIsRefused) {
    const int other = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 2), 2);
    Open();
    ChooseGood();
    VoTestDischarge(good, other, causal);
    EXPECT_FALSE(fm->frDetail->xdsMain->Post());
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Il bene 1 è già stato scaricato.")))
        << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(), QStringLiteral("3|%1|%2|10000").arg(other).arg(causal));
}

TEST_F(kvbBuoniScaTest, ADefinitiveVoucherTakesNoGoodsAndKeepsItsOwn) {
    VoTestDischarge(good, voucher, causal);
    VoTestMakeDefinitive(voucher, kvbUnloading);
    Open();
    EXPECT_FALSE(fm->frDetail->xacInsert->Execute());
    EXPECT_FALSE(fm->frDetail->xacDelete->Execute());
    EXPECT_EQ(GoodRow(), QStringLiteral("4|%1|%2|10000").arg(voucher).arg(causal));
}

TEST_F(kvbBuoniScaTest, TheNumberOffersTheGoodsInChargeLoadedUpToTheVoucherDate) {
    const int later = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 5, 1), 2);
    VoTestGood(later, 2);
    const int earlier = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 2, 1), 3);
    VoTestDischarge(VoTestGood(earlier, 3), VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 3, 2), 2),
                    causal);
    Open();
    fm->xqcMain->First();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    QString sql = fm->frDetail->xelNumero->ListSQL();
    sql.replace(QStringLiteral("##WHERE##"), QStringLiteral("1=1"));
    EXPECT_EQ(VoRowTexts(sql.replace(QStringLiteral("SELECT iBInbID, iBInbNUMERO, sBInbDESC"),
                                     QStringLiteral("SELECT iBInbNUMERO"))),
              QStringList{QStringLiteral("1")});
}
