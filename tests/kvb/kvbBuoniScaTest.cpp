// The unloading-voucher window driven as a user drives it: the goods offered by number, a good
// discharged, changed and taken off, and a good that another user discharged meanwhile; the voucher
// made definitive; and the multiple unloading that discharges many goods at once.
#include "VoClassRegistry.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoFiltro.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoTableModel.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoWidgetTest.h"
#include "kvbFBuoni.h"
#include "kvbFBuoniSca.h"
#include "kvbFBuoniScaMulti.h"
#include "kvbFMessDefCar.h"
#include "kvbRBeniCaricoSca.h"
#include "kvbRBuoniCarico.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class kvbBuoniScaTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        WorkIn2026();
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
    // A good in charge, number 9, of another register, loaded before every voucher of the tests.
    static void OtherRegisterGood() {
        const int year = VoTestOpenRegister(QStringLiteral("Altro inventario"), 5, {2026}).value(0);
        const int loading = VoTestGoodsVoucher(year, kvbLoading, QDate(2026, 1, 10), 1);
        VoTestGood(loading, 9);
        VoTestMakeDefinitive(loading, kvbLoading);
    }
    // The goods' numbers on an unloading voucher, and its stored amount.
    static QStringList Discharged(int voucherId) {
        return VoRowTexts(QStringLiteral("SELECT IBINBNUMERO FROM TBINB_BENI WHERE IBBUOIDSCARICO = :v "
                                         "ORDER BY IBINBNUMERO"),
                          {{QStringLiteral("v"), voucherId}});
    }
    static qint64 Amount(int voucherId) {
        return VoSelectValue(QStringLiteral("SELECT IBBUOIMPORTO FROM TBBUO_BUONI WHERE IBBUOID = :v"),
                             {{QStringLiteral("v"), voucherId}})
            .toLongLong();
    }
    // Turns to the second page, picks the cause and, when offered, the voucher, and confirms.
    static void Finish(TfmBuoniScaMulti *wizard, int causalId, int voucherId = 0) {
        wizard->buNext->click();
        for (auto [combo, id] :
             {std::pair{wizard->cbCausale, causalId}, std::pair{wizard->cbBuono, voucherId}})
            if (id > 0 && combo->SelectId(id))
                emit combo->activated(combo->currentIndex());
        wizard->buOk->click();
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

// The value written at discharge holds from the unloading voucher's date, and moves with it; before it
// the good keeps the value it was loaded with, which its loading voucher's goods amount still shows.
TEST_F(kvbBuoniScaTest, AValueAtDischargeHoldsFromTheVouchersDateAndLeavesTheLoadingAlone) {
    const auto history = [this] {
        return VoRowTexts(QStringLiteral("SELECT IBBIMIMPORTO || ' ' || CAST(DSTART AS DATE) || ' ' || "
                                         "COALESCE(CAST(CAST(DEND AS DATE) AS VARCHAR(10)), '-') FROM "
                                         "TBBIM_IMPORTI WHERE IBINBID = :g ORDER BY DSTART, IBBIMID"),
                          {{QStringLiteral("g"), good}});
    };
    Open();
    ChooseGood();
    fm->xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"))->SetValue(8000);
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    ASSERT_TRUE(fm->frDetail->xdsMain->Edit());
    fm->xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"))->SetValue(7000);
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(history(), QStringList({"10000 2026-03-01 2026-04-01", "7000 2026-04-01 -"}));
    ASSERT_TRUE(fm->frMaster->xdsMain->Edit());
    fm->xqcMain->FieldByName(QStringLiteral("dBBuoDATA"))->SetValue(QDate(2026, 4, 2));
    ASSERT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(history(), QStringList({"10000 2026-03-01 2026-04-02", "7000 2026-04-02 -"}));

    QPointer<TfmkvbBuoni> loading(qobject_cast<TfmkvbBuoni *>(CreateVoClass(QStringLiteral("TfmkvbBuoni"))));
    ASSERT_TRUE(loading && VoShowActive(loading));
    EXPECT_EQ(loading->xqcMain->FieldByName(QStringLiteral("IBENIIMP"))->AsMoney().Stored(), 10000);
    EXPECT_EQ(loading->frMaster->xceImportoBeni->text(), QStringLiteral("1,00"));
    loading->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A new row starts on the good's number, and the number stays shown once the row is saved.
TEST_F(kvbBuoniScaTest, ANewRowStartsOnTheNumberWhichStaysShownAfterTheSave) {
    Open();
    fm->frDetail->ShowDetail();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    QApplication::processEvents();
    QWidget *focused = QApplication::focusWidget();
    EXPECT_TRUE(focused == fm->frDetail->xelNumero || fm->frDetail->xelNumero->isAncestorOf(focused));
    fm->frDetail->xelNumero->SetKeyValue(good);
    fm->frDetail->xelCausale->SetKeyValue(causal);
    ASSERT_TRUE(fm->frDetail->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(fm->frDetail->xelNumero->text(), QStringLiteral("1"));
}

// Ctrl+S saves the good wherever the focus stands, also where Tab from the cause, the row's last
// field, leads out of the goods' frame.
TEST_F(kvbBuoniScaTest, CtrlSSavesAfterTabOutOfTheCause) {
    Open();
    fm->frDetail->ShowDetail();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    QApplication::processEvents();
    fm->frDetail->xelNumero->SetKeyValue(good);
    fm->frDetail->xelCausale->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    fm->frDetail->xelCausale->SetKeyValue(causal);
    VoPress(Qt::Key_Tab);
    VoPress(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fm->xqcDetail->State(), dsBrowse) << messages->LastText().toStdString();
    EXPECT_EQ(GoodRow(), QStringLiteral("3|%1|%2|10000").arg(voucher).arg(causal));
}

// From the voucher's amount Tab reaches the goods, where Ins adds a good to the voucher; in the good
// Tab goes through the fields that take input, past those that only show the good chosen.
TEST_F(kvbBuoniScaTest, TabGoesFromTheVoucherToItsGoodsAndThroughTheFieldsThatTakeInput) {
    Open();
    fm->frMaster->ShowDetail();
    fm->frMaster->xceImporto->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), fm->frMaster->xdcRicogniz);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), fm->frDetail->grFrame);
    VoPress(Qt::Key_Insert);
    ASSERT_EQ(fm->xqcDetail->State(), dsInsert);
    EXPECT_EQ(fm->xqcMain->State(), dsBrowse);
    fm->frDetail->xelNumero->SetKeyValue(good);
    EXPECT_EQ(fm->frDetail->xelDesc->text(), VoSelectValue(QStringLiteral("SELECT SBINBDESC FROM TBINB_BENI "
                                                                          "WHERE IBINBID = :g"),
                                                           {{QStringLiteral("g"), good}})
                                                 .toString());
    fm->frDetail->xelNumero->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), fm->frDetail->xceImporto);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), fm->frDetail->xelCausale);
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
    OtherRegisterGood();
    Open();
    fm->xqcMain->First();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    fm->frDetail->xelNumero->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Down, Qt::AltModifier);
    const QAbstractItemModel *offered = fm->frDetail->xelNumero->DropDown()->model();
    ASSERT_EQ(offered->rowCount(), 1);
    EXPECT_EQ(offered->index(0, 0).data().toString(), QStringLiteral("1"));
    VoPress(Qt::Key_Escape);
}

TEST_F(kvbBuoniScaTest, ADefinitiveVoucherIsRedAndItsGoodsStayDischargedForGood) {
    VoTestDischarge(good, voucher, causal);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBBUOIMPORTO = 10000 WHERE IBBUOID = :v"),
              {{QStringLiteral("v"), voucher}});
    Open();
    QString text;
    VoWhenModalOpens<TfmMessDefCar>([&text](TfmMessDefCar *dialog) {
        text = dialog->meMessage->toPlainText();
        dialog->buOk->click();
    });
    fm->xacDefBuonoExecute();
    EXPECT_TRUE(text.endsWith(QStringLiteral("inserirne uno nuovo"))) << text.toStdString();
    EXPECT_EQ(GoodRow(), QStringLiteral("4|%1|%2|10000").arg(voucher).arg(causal));
    EXPECT_EQ(fm->frMaster->grFrame->Model()->RowForeground(0).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_TRUE(fm->frDetail->xacDelete->Locked());
    EXPECT_FALSE(fm->xacScarMulti->isEnabled());
}

TEST_F(kvbBuoniScaTest, OnlyVouchersWhoseAmountDiffersFromTheirGoodsAreListedOnRequest) {
    VoTestDischarge(good, voucher, causal);
    VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 2), 2);
    Open();
    fm->xacFiltraImporti->trigger();
    ASSERT_EQ(fm->xqcMain->RecordCount(), 1);
    fm->xacImpostaImporto->trigger();
    EXPECT_TRUE(fm->frMaster->xdsMain->Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Amount(voucher), 10000);
    fm->xacFiltraImporti->trigger();
    EXPECT_EQ(fm->xqcMain->RecordCount(), 2);
}

TEST_F(kvbBuoniScaTest, TheMultipleUnloadingFillsTheCurrentVoucher) {
    Open();
    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    EXPECT_FALSE(fm->xacScarMulti->isEnabled()) << "not over a good being typed";
    fm->frDetail->xdsMain->Cancel();
    ASSERT_TRUE(fm->xacScarMulti->isEnabled());
    VoWhenModalOpens<TfmBuoniScaMulti>([this](TfmBuoniScaMulti *wizard) {
        EXPECT_TRUE(wizard->paBuono->isHidden());
        Finish(wizard, causal);
    });
    fm->xacScarMulti->trigger();
    EXPECT_EQ(GoodRow(), QStringLiteral("3|%1|%2|10000").arg(voucher).arg(causal));
    EXPECT_EQ(fm->xqcDetail->RecordCount(), 1);
    EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("iBBuoIMPORTO"))->AsMoney().Stored(), 10000);
}

// --- The multiple unloading ------------------------------------------------------------------------------

namespace {

class kvbBuoniScaMultiTest : public kvbBuoniScaTest {
protected:
    void TearDown() override {
        delete wizard.data();
        // The filter form outlives a wizard opened without a window; the next test starts without it.
        delete fmVoRptFiltro.data();
        kvbBuoniScaTest::TearDown();
    }
    // The wizard for a voucher (-1: chosen in it) at the unloading voucher's date.
    void OpenWizard(int voucherId, const QString &condition = QString()) {
        wizard = qobject_cast<TfmBuoniScaMulti *>(CreateVoClass(QStringLiteral("TfmBuoniScaMulti")));
        ASSERT_TRUE(wizard);
        wizard->SetVoucherDate(DateToDays(QDate(2026, 4, 1)) + 0.75);
        wizard->SetVoucherCondition(condition);
        wizard->SetVoucherId(voucherId);
        wizard->show();
    }
    QStringList Listed() const {
        QStringList numbers;
        const int field = wizard->xqcBeni->FieldByName(QStringLiteral("IBINBNUMERO"))->Index();
        for (int row = 0; row < wizard->xqcBeni->RecordCount(); ++row)
            numbers << wizard->xqcBeni->RowValue(row, field).toString();
        return numbers;
    }
    // A definitive good loaded on a date.
    int DefinitiveGood(int number, const QDate &loaded, qint64 value = 0, int yearId = 0) {
        const int loading = VoTestGoodsVoucher(yearId ? yearId : year2026, kvbLoading, loaded, 100 + number);
        const int id = VoTestGood(loading, number, value);
        VoTestMakeDefinitive(loading, kvbLoading);
        return id;
    }
    QPointer<TfmBuoniScaMulti> wizard;
};

} // namespace

TEST_F(kvbBuoniScaMultiTest, TheListHoldsTheRegistersGoodsInChargeLoadedUpToTheDate) {
    DefinitiveGood(2, QDate(2025, 6, 1), 0, year2025);
    DefinitiveGood(3, QDate(2026, 4, 1));
    DefinitiveGood(4, QDate(2026, 4, 2));
    VoTestGood(VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 2), 205), 5);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBFUORIREGISTRO = 1 WHERE IBINBID = :g"),
              {{QStringLiteral("g"), DefinitiveGood(6, QDate(2026, 3, 3))}});
    VoTestDischarge(DefinitiveGood(7, QDate(2026, 3, 4)), voucher, causal);
    OtherRegisterGood();
    OpenWizard(voucher);
    EXPECT_EQ(Listed(), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
}

TEST_F(kvbBuoniScaMultiTest, OkNeedsACauseAndAVoucherAndWithNoRowTickedTakesThemAll) {
    const int second = DefinitiveGood(2, QDate(2026, 3, 2), 20000);
    VoTestDischarge(DefinitiveGood(3, QDate(2026, 3, 3), 5000), voucher, causal);
    OpenWizard(-1);
    EXPECT_TRUE(wizard->buNext->isEnabled());
    EXPECT_FALSE(wizard->buOk->isEnabled());
    EXPECT_FALSE(wizard->buPrior->isEnabled());
    wizard->buNext->click();
    EXPECT_TRUE(wizard->buPrior->isEnabled());
    EXPECT_FALSE(wizard->buNext->isEnabled());
    EXPECT_FALSE(wizard->buOk->isEnabled());
    wizard->cbCausale->SelectId(causal);
    emit wizard->cbCausale->activated(wizard->cbCausale->currentIndex());
    EXPECT_FALSE(wizard->buOk->isEnabled()) << "the voucher is still to be chosen";
    wizard->buPrior->click();
    Finish(wizard, causal, voucher);
    EXPECT_EQ(wizard->result(), int(QDialog::Accepted));
    EXPECT_EQ(GoodRow(), QStringLiteral("3|%1|%2|10000").arg(voucher).arg(causal));
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IBINBIMPORTO FROM TBINB_BENI WHERE IBINBID = :g"),
                            {{QStringLiteral("g"), second}})
                  .toLongLong(),
              20000);
    EXPECT_EQ(Discharged(voucher),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(Amount(voucher), 35000) << "the goods already on the voucher count";
}

TEST_F(kvbBuoniScaMultiTest, TheRecognitionOffersOnlyProvisionalRecognitionVouchers) {
    const int recognition = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 2), 2);
    const int definitive = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 3), 3);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBBUORICOGNIZ = 1, SBBUODESC = NULL WHERE IBBUOID IN "
                             "(:a, :b)"),
              {{QStringLiteral("a"), recognition}, {QStringLiteral("b"), definitive}});
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET ILOCKED = 1 WHERE IBBUOID = :b"),
              {{QStringLiteral("b"), definitive}});
    OpenWizard(-1, QStringLiteral("AND (iBBuoRicogniz=1)"));
    ASSERT_EQ(wizard->cbBuono->count(), 1);
    EXPECT_EQ(wizard->cbBuono->itemText(0), QStringLiteral("2"));
    Finish(wizard, causal, recognition);
    EXPECT_EQ(Discharged(recognition), QStringList{QStringLiteral("1")});
}

TEST_F(kvbBuoniScaMultiTest, TheFilterNarrowsTheListOnAndOffAndOkTakesWhatItShows) {
    DefinitiveGood(2, QDate(2026, 3, 2));
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBDESC = 'L''armadio' WHERE IBINBID = :g"),
              {{QStringLiteral("g"), good}});
    OpenWizard(voucher);
    VoWhenModalOpens<TfmVoRptFiltro>([](TfmVoRptFiltro *form) {
        for (const char *field : {"Categoria", "Codice merceologico", "Valore"})
            EXPECT_GE(form->frVoFiltro->cbField->findText(QString::fromUtf8(field)), 0) << field;
        EXPECT_TRUE(form->frVoFiltro->AddCondition(QStringLiteral("Descrizione"), QStringLiteral("contiene"),
                                                   QStringLiteral("L'arm")));
        form->buOk->click();
    });
    wizard->frVoMultiSelect1->acFilter->trigger();
    EXPECT_EQ(Listed(), QStringList{QStringLiteral("1")});
    EXPECT_TRUE(wizard->frVoMultiSelect1->acApplyFilter->isChecked());
    wizard->frVoMultiSelect1->acApplyFilter->trigger();
    EXPECT_EQ(Listed().size(), 2);
    EXPECT_FALSE(wizard->frVoMultiSelect1->acApplyFilter->isChecked());
    wizard->frVoMultiSelect1->acApplyFilter->trigger();
    EXPECT_EQ(Listed(), QStringList{QStringLiteral("1")});
    Finish(wizard, causal);
    EXPECT_EQ(Discharged(voucher), QStringList{QStringLiteral("1")});
}

TEST_F(kvbBuoniScaMultiTest, AGoodDischargedMeanwhileRefusesTheWholeRun) {
    const int second = DefinitiveGood(2, QDate(2026, 3, 2), 20000);
    const int other = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 2), 2);
    OpenWizard(voucher);
    VoTestDischarge(second, other, causal);
    Finish(wizard, causal);
    EXPECT_EQ(messages->LastText(), QStringLiteral("Il bene 2 è già stato scaricato."));
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_TRUE(Discharged(voucher).isEmpty());
    EXPECT_EQ(Amount(voucher), 0);
    // The list is read again without the good discharged meanwhile.
    EXPECT_FALSE(Listed().isEmpty());
    EXPECT_FALSE(Listed().contains(QStringLiteral("2")));

    // A voucher made definitive meanwhile takes no good.
    VoTestMakeDefinitive(voucher, kvbUnloading);
    wizard->buOk->click();
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Il buono è stato reso definitivo nel frattempo: non si può più modificare."));
    EXPECT_TRUE(Discharged(voucher).isEmpty());
}
