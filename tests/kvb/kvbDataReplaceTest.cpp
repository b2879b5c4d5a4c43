// The bulk data replacement of the durable goods as the office uses it: what the program adds to the
// shared replacement (the goods picker, the vouchers of a category or register change, the count of a
// site change) on the seeded definition, and a failure anywhere leaving nothing behind.
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoLookupComboBox.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoTransaction.h"
#include "VoWindowDrive.h"
#include "kvbFDataReplace.h"
#include "kvbRDblLstInbSelect.h"
#include "kvbUUtil.h"

#include <QCheckBox>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class kvbDataReplaceTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        // The change vouchers are dated today: a day inside the years the fixture opens.
        VoFixToday(QDate(2026, 6, 15));
        WorkIn2026();
        sector = VoTestSector(QStringLiteral("SEG"));
        loading = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 2, 1), 1);
    }
    void TearDown() override {
        VoFixToday({});
        if (fm)
            VoCloseWindow(fm);
        VoGoodsTest::TearDown();
    }
    // A good of the first loading voucher, which Definitive makes definitive.
    int Good(int number, qint64 value, int category = 1, const QString &description = QString()) {
        const int id = VoTestGood(loading, number, value, category, sector);
        if (!description.isEmpty())
            VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBDESC = :d WHERE IBINBID = :id"),
                      {{QStringLiteral("d"), description}, {QStringLiteral("id"), id}});
        return id;
    }
    void Definitive() { VoTestMakeDefinitive(loading, kvbLoading); }
    void OpenWizard() {
        fm = VoOpenWindow<TfmKvbDataReplace>(QStringLiteral("TfmKvbDataReplace"));
        ASSERT_TRUE(fm);
        picker = fm->frKvbDblLstInbSelect1;
    }
    // Chooses an attribute by its caption and goes to the goods page.
    void ChooseField(const QString &caption) {
        while (fm->ActivePageIndex() > 0)
            VoClick(fm->buPrior);
        fm->lbFieldList->setCurrentItem(fm->lbFieldList->findItems(caption, Qt::MatchExactly).value(0));
        VoClick(fm->buNext);
    }
    // Chooses every good offered and goes to the values page.
    void PickAll() {
        VoClick(picker->buMoveAllRight);
        VoClick(fm->buNext);
    }
    TVoIdComboBox *List(bool old) const {
        return qobject_cast<TVoIdComboBox *>(old ? fm->OldValueEditor() : fm->NewValueEditor());
    }
    void Choose(bool old, const QString &text) {
        TVoIdComboBox *list = List(old);
        ASSERT_TRUE(list);
        ASSERT_GE(list->findText(text), 0) << text.toStdString();
        list->setCurrentIndex(list->findText(text));
    }
    void Confirm() {
        messages->Push({mrYes, mrOk});
        VoClick(fm->buOk);
    }
    static QStringList Column(const QTreeWidget *list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    // The vouchers the replacement wrote: kind, number, date, register-year, change type, definitive
    // flag and amount.
    static QStringList ChangeVouchers() {
        return VoRowTexts(QStringLiteral(
            "SELECT IBBUOTIPO || ' ' || IBBUONUMERO || ' ' || DBBUODATA || ' ' || IDWGFACANFID || ' ' || "
            "IITBID || ' ' || ILOCKED || ' ' || COALESCE(IBBUOIMPORTO, -1) || ' ' || SBBUODESC FROM "
            "TBBUO_BUONI WHERE SBBUODESC LIKE 'Cambio %' ORDER BY IBBUOTIPO DESC"));
    }
    static QString Today() { return DaysToDate(TodayDays()).toString(Qt::ISODate); }

    QPointer<TfmKvbDataReplace> fm;
    TfrKvbDblLstInbSelect *picker = nullptr;
    int sector = 0;
    int loading = 0;
};

// The goods of the first loading voucher as the register holds them, by id.
const QString kGoodsRows = QStringLiteral(
    "SELECT IBINBNUMERO || '/' || COALESCE(SBINBCODNUMERO, '') || ' ' || IAVAID || ' ' || ICAMID || ' ' || "
    "COALESCE(ICAEID, 0) || ' ' || IBINBIMPORTO || ' ' || COALESCE(IBBUOIDSCARICO, 0) FROM TBINB_BENI "
    "WHERE IBBUOID = :v ORDER BY IBINBID");

TEST_F(kvbDataReplaceTest, ThePickerOffersTheGoodsInChargeOfDefinitiveVouchersSortsAndFilters) {
    Good(1, 100, 1, QStringLiteral("Sedia"));
    Good(2, 100, 1, QStringLiteral("Banco"));
    Good(3, 100, 2, QStringLiteral("Banco"));
    const int discharged = Good(4, 100);
    const int outOfNumbering = Good(5, 100);
    Definitive();
    VoTestDischarge(discharged, VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 3, 1), 1), 0);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBFUORIREGISTRO = 1 WHERE IBINBID = :id"),
              {{QStringLiteral("id"), outOfNumbering}});
    VoTestGood(VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 2), 2), 6, 100, 1, sector);
    OpenWizard();
    ChooseField(QStringLiteral("Condizione"));
    EXPECT_EQ(picker->laLeftTitle->text(), QStringLiteral("Beni disponibili"));
    EXPECT_EQ(picker->laRightTitle->text(), QStringLiteral("Beni selezionati"));
    EXPECT_EQ(Column(picker->lvLeft, 0),
              (QStringList{QStringLiteral("0000001"), QStringLiteral("0000002"), QStringLiteral("0000003")}));
    EXPECT_EQ(Column(picker->lvLeft, 2),
              (QStringList{QStringLiteral("I"), QStringLiteral("I"), QStringLiteral("II")}));

    // By description, the same description in number order.
    QHeaderView *header = picker->lvLeft->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(Column(picker->lvLeft, 0),
              (QStringList{QStringLiteral("0000002"), QStringLiteral("0000003"), QStringLiteral("0000001")}));

    // A category with an apostrophe in its name narrows the list; switched off, every good comes back
    // and the chosen ones are dropped.
    VoWhenModalOpens<TfmVoRptFiltro>([](TfmVoRptFiltro *form) {
        form->frVoFiltro->AddCondition(QStringLiteral("Categoria"), QStringLiteral("uguale a"),
                                       QStringLiteral("Macchine e attrezzature d'ufficio"));
        form->buOk->click();
    });
    picker->acFilter->trigger();
    EXPECT_EQ(Column(picker->lvLeft, 0), QStringList{QStringLiteral("0000003")});
    EXPECT_TRUE(picker->acApplyFilter->isChecked());
    VoClick(picker->buMoveAllRight);
    EXPECT_EQ(picker->RightCount(), 1);
    picker->acApplyFilter->trigger();
    EXPECT_FALSE(picker->acApplyFilter->isChecked());
    EXPECT_EQ(picker->LeftCount(), 3);
    EXPECT_EQ(picker->RightCount(), 0);
}

// "contiene" finds the text anywhere whatever its case, and the user's "_" and "%" stand for themselves.
TEST_F(kvbDataReplaceTest, ThePickersContainsMatchesAnywhereIgnoringCaseAndTakesWildcardsAsTyped) {
    Good(1, 100, 1, QStringLiteral("Sedia ergonomica"));
    Good(2, 100, 1, QStringLiteral("Banco 50%"));
    Definitive();
    OpenWizard();
    ChooseField(QStringLiteral("Condizione"));
    const struct {
        const char *typed;
        QStringList found;
    } cases[] = {{"Sedia", {QStringLiteral("0000001")}}, {"ERGONOMICA", {QStringLiteral("0000001")}},
                 {"banco", {QStringLiteral("0000002")}}, {"B_nco", {}},
                 {"0%", {QStringLiteral("0000002")}},    {"%", {QStringLiteral("0000002")}}};
    for (const auto &c : cases) {
        VoWhenModalOpens<TfmVoRptFiltro>([&c](TfmVoRptFiltro *form) {
            form->frVoFiltro->ClearConditions();
            form->frVoFiltro->AddCondition(QStringLiteral("Descrizione"), QStringLiteral("contiene"),
                                           QString::fromUtf8(c.typed));
            form->buOk->click();
        });
        picker->acFilter->trigger();
        EXPECT_EQ(Column(picker->lvLeft, 0), c.found) << c.typed;
    }
}

TEST_F(kvbDataReplaceTest, AConditionFromEmptyChangesOnlyTheChosenGoodsWithoutOne) {
    const int without = Good(1, 100);
    const int with = Good(2, 100);
    const int notChosen = Good(3, 100);
    Definitive();
    const int kept = VoSelectValue(QStringLiteral("SELECT MAX(ICONDID) FROM TCOND_CONDIZIONI")).toInt();
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET ICONDID = :c WHERE IBINBID = :id"),
              {{QStringLiteral("c"), kept}, {QStringLiteral("id"), with}});
    OpenWizard();
    EXPECT_EQ(fm->lbFieldList->count(), 7);
    ChooseField(QStringLiteral("Condizione"));
    picker->lvLeft->topLevelItem(0)->setSelected(true);
    picker->lvLeft->topLevelItem(1)->setSelected(true);
    VoClick(picker->buMoveRight);
    VoClick(fm->buNext);
    // The old value is asked for: "Qualunque valore" starts unticked.
    EXPECT_FALSE(fm->ckAnyValue->isChecked());
    EXPECT_TRUE(fm->OldValueEditor()->isEnabled());
    EXPECT_EQ(List(true)->currentText(), QStringLiteral("<Vuoto>"));
    List(false)->setCurrentIndex(0);
    const int chosen = List(false)->SelectedId(0);
    Confirm();
    EXPECT_EQ(messages->Texts().value(1), QStringLiteral("Rimpiazzato il dato Condizione a 1 bene/i"));
    const QString sql = QStringLiteral("SELECT COALESCE(ICONDID, 0) FROM TBINB_BENI WHERE IBINBID = :id");
    EXPECT_EQ(VoSelectValue(sql, {{QStringLiteral("id"), without}}).toInt(), chosen);
    EXPECT_EQ(VoSelectValue(sql, {{QStringLiteral("id"), with}}).toInt(), kept);
    EXPECT_EQ(VoSelectValue(sql, {{QStringLiteral("id"), notChosen}}).toInt(), 0);
    EXPECT_EQ(fm->ActivePageIndex(), 0);
    EXPECT_EQ(picker->RightCount(), 2);
}

TEST_F(kvbDataReplaceTest, EachPlainAttributeIsWrittenAndASiteChangeCountsTheChosenGoods) {
    const int first = Good(1, 100);
    Good(2, 100);
    Definitive();
    const int cae =
        VoSelectValue(QStringLiteral("SELECT MIN(ICAEID) FROM TCAE_CATEGMERCE WHERE ICAMID = 1")).toInt();
    ASSERT_GT(cae, 0);
    struct Case {
        QString caption;
        std::function<void()> set;
        QString column;
        QString value;
        QString message;
    };
    const QList<Case> cases{
        {QStringLiteral("Codice merceologico"),
         [&] { qobject_cast<TVoLookupComboBox *>(fm->NewValueEditor())->SetEditValue(cae); },
         QStringLiteral("ICAEID"), QString::number(cae), QStringLiteral("2")},
        {QStringLiteral("Sede"), [&] { List(false)->setCurrentIndex(0); }, QStringLiteral("ISEDINFID"),
         QString(), QStringLiteral("2")},
        {QStringLiteral("Anno di assunzione"),
         [&] { qobject_cast<QSpinBox *>(fm->NewValueEditor())->setValue(2019); },
         QStringLiteral("IBINBANNOASSUNZ"), QStringLiteral("2019"), QStringLiteral("2")},
        {QStringLiteral("Note"),
         [&] { VoTypeInto(qobject_cast<QLineEdit *>(fm->NewValueEditor()), QStringLiteral("Rivista")); },
         QStringLiteral("SBINBNOTE"), QStringLiteral("Rivista"), QStringLiteral("2")},
    };
    OpenWizard();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        messages->Clear();
        ChooseField(c.caption);
        if (picker->RightCount() == 0)
            VoClick(picker->buMoveAllRight);
        VoClick(fm->buNext);
        EXPECT_FALSE(fm->ckAnyValue->isChecked());
        VoClick(fm->ckAnyValue);
        c.set();
        const QString value = c.value.isEmpty() ? QString::number(List(false)->SelectedId(0)) : c.value;
        Confirm();
        EXPECT_EQ(messages->Texts().value(1),
                  QStringLiteral("Rimpiazzato il dato %1 a %2 bene/i").arg(c.caption, c.message));
        EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT %1 FROM TBINB_BENI WHERE IBBUOID = :v").arg(c.column),
                             {{QStringLiteral("v"), loading}}),
                  (QStringList{value, value}));
    }
    // The site went into the goods' site history as well.
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT 1 FROM TBSIN_SEDIBENISTOR WHERE IBINBID = :id AND DEND IS NULL "
                                   "AND ISEDINFID IS NOT NULL"),
                    {{QStringLiteral("id"), first}}),
        1);
}

TEST_F(kvbDataReplaceTest, ACategoryChangeDischargesAndReloadsTheGoodsOnTwoProvisionalVouchers) {
    // The goods code of category I that category II also has follows the good; one that category II
    // lacks is dropped.
    const int shared = VoTestNewKey(QStringLiteral("TMER_CODICIMERCEOL"));
    const int alone = VoTestNewKey(QStringLiteral("TMER_CODICIMERCEOL"));
    for (int mer : {shared, alone})
        VoExecSQL(QStringLiteral("INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE) VALUES (:m, :m)"),
                  {{QStringLiteral("m"), mer}});
    auto link = [](int category, int mer) {
        const int id = VoTestNewKey(QStringLiteral("TCAE_CATEGMERCE"));
        VoExecSQL(QStringLiteral("INSERT INTO TCAE_CATEGMERCE (ICAEID, ICAMID, IMERID) VALUES (:id, :c, :m)"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("c"), category}, {QStringLiteral("m"), mer}});
        return id;
    };
    const int sharedIn1 = link(1, shared);
    const int sharedIn2 = link(2, shared);
    const int aloneIn1 = link(1, alone);
    const int a = Good(1, 1000);
    const int b = Good(2, 2500);
    const int other = Good(3, 7000, 3);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET ICAEID = :c, SBINBCODNUMERO = 'A' WHERE IBINBID = :id"),
              {{QStringLiteral("c"), sharedIn1}, {QStringLiteral("id"), a}});
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET ICAEID = :c WHERE IBINBID = :id"),
              {{QStringLiteral("c"), aloneIn1}, {QStringLiteral("id"), b}});
    Definitive();
    // An earlier unloading voucher dated at the year's end: the new one cannot be dated before it.
    const QDate yearEnd(2026, 12, 31);
    VoTestGoodsVoucher(year2026, kvbUnloading, yearEnd, 4);
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 1, 10), 7);

    OpenWizard();
    ChooseField(QStringLiteral("Categoria"));
    PickAll();
    Choose(true, QStringLiteral("I - Mobili e arredi"));
    Choose(false, QStringLiteral("II - Macchine e attrezzature d'ufficio"));
    Confirm();
    EXPECT_EQ(
        messages->Texts().value(1),
        QStringLiteral("Rimpiazzato il dato Categoria a 2 bene/i\r\nCreato il buono di scarico numero 5 "
                       "del 31/12/2026.\r\nCreato il buono di carico numero 8 del %1.")
            .arg(FormatDays(TodayDays())));
    const int unloading = VoSelectValue(QStringLiteral("SELECT IBBUOID FROM TBBUO_BUONI WHERE IBBUOTIPO = 1 "
                                                       "AND SBBUODESC = 'Cambio Categoria'"))
                              .toInt();
    const int reloading = VoSelectValue(QStringLiteral("SELECT IBBUOID FROM TBBUO_BUONI WHERE IBBUOTIPO = 0 "
                                                       "AND SBBUODESC = 'Cambio Categoria'"))
                              .toInt();
    const QString y = QString::number(year2026);
    EXPECT_EQ(ChangeVouchers(),
              (QStringList{
                  QStringLiteral("1 5 %1 %2 1 0 3500 Cambio Categoria").arg(yearEnd.toString(Qt::ISODate), y),
                  QStringLiteral("0 8 %1 %2 1 0 3500 Cambio Categoria").arg(Today(), y)}));
    const QString u = QString::number(unloading);
    EXPECT_EQ(VoRowTexts(kGoodsRows, {{QStringLiteral("v"), loading}}),
              (QStringList{QStringLiteral("1/A 3 1 %1 1000 %2").arg(sharedIn1).arg(u),
                           QStringLiteral("2/ 3 1 %1 2500 %2").arg(aloneIn1).arg(u),
                           QStringLiteral("3/ 2 3 0 7000 0")}));
    EXPECT_EQ(
        VoRowTexts(kGoodsRows, {{QStringLiteral("v"), reloading}}),
        (QStringList{QStringLiteral("1/A 1 2 %1 1000 0").arg(sharedIn2), QStringLiteral("2/ 1 2 0 2500 0")}));
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT 1 FROM TBINB_BENI WHERE IBINBID = :id AND IBBUOIDSCARICO IS NULL"),
                    {{QStringLiteral("id"), other}}),
        1);
    // Run again on the goods still chosen: what the first run discharged is not copied a second time.
    EXPECT_EQ(fm->ActivePageIndex(), 0);
    ChooseField(QStringLiteral("Categoria"));
    VoClick(fm->buNext);
    Choose(true, QStringLiteral("I - Mobili e arredi"));
    Choose(false, QStringLiteral("II - Macchine e attrezzature d'ufficio"));
    Confirm();
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT 1 FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI b ON b.IBBUOID = "
                                   "inb.IBBUOID WHERE b.IBBUOTIPO = 0 AND b.SBBUODESC = 'Cambio Categoria'")),
        2);
    // Chosen again, the discharged goods are gone from the picker's list.
    EXPECT_EQ(fm->ActivePageIndex(), 0);
    picker->ReloadLists();
    EXPECT_EQ(Column(picker->lvLeft, 0), QStringList{QStringLiteral("0000003")});
}

TEST_F(kvbDataReplaceTest, ARegisterChangeNumbersTheCopiesOnInTheOtherRegister) {
    int otherRegister = 0;
    const QList<int> otherYears =
        VoTestOpenRegister(QStringLiteral("Secondo inventario"), 5, {2025, 2026}, &otherRegister);
    VoTestGood(VoTestGoodsVoucher(otherYears[1], kvbLoading, QDate(2026, 1, 5), 3), 5, 100, 1, sector);
    Good(1, 1000);
    Good(2, 3000);
    Definitive();
    OpenWizard();
    ChooseField(QStringLiteral("Velisto"));
    PickAll();
    // The goods are the current register's: no old value is asked for.
    EXPECT_FALSE(fm->OldValueEditor()->isVisibleTo(fm));
    EXPECT_FALSE(fm->ckAnyValue->isVisibleTo(fm));
    EXPECT_FALSE(fm->ckAnyValue->isChecked());
    QStringList labels;
    for (const QLabel *label : fm->tsValues->findChildren<QLabel *>())
        labels << label->text();
    EXPECT_FALSE(labels.contains(QStringLiteral("&Sostituire ")));
    EXPECT_TRUE(labels.contains(QStringLiteral("&Rimpiazzare con")));
    Choose(false, QStringLiteral("Secondo inventario"));
    Confirm();
    EXPECT_EQ(messages->Texts().value(1),
              QStringLiteral("Rimpiazzato il dato Velisto a 2 bene/i\r\nCreato il buono di scarico numero 1 "
                             "del %1.\r\nCreato il buono di carico numero 4 del %1.")
                  .arg(FormatDays(TodayDays())));
    EXPECT_EQ(
        ChangeVouchers(),
        (QStringList{QStringLiteral("1 1 %1 %2 2 0 4000 Cambio Velisto").arg(Today()).arg(year2026),
                     QStringLiteral("0 4 %1 %2 2 0 4000 Cambio Velisto").arg(Today()).arg(otherYears[1])}));
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT inb.IBINBNUMERO || ' ' || inb.IBINBIMPORTO FROM TBINB_BENI inb "
                                  "INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID WHERE "
                                  "buo.SBBUODESC = 'Cambio Velisto' ORDER BY inb.IBINBID")),
        (QStringList{QStringLiteral("6 1000"), QStringLiteral("7 3000")}));
}

TEST_F(kvbDataReplaceTest, NoRegisterYearForTheVoucherRefusesWithNothingWritten) {
    int closedRegister = 0;
    VoTestOpenRegister(QStringLiteral("Inventario passato"), 5, {2025}, &closedRegister);
    Good(1, 1000);
    Definitive();
    OpenWizard();
    ChooseField(QStringLiteral("Velisto"));
    PickAll();
    Choose(false, QStringLiteral("Inventario passato"));
    Confirm();
    ASSERT_EQ(messages->Texts().size(), 2);
    EXPECT_EQ(
        messages->Texts()[1],
        QStringLiteral("Errore durante la creazione del buono di carico. Controllare l'anno di lavoro."));
    EXPECT_EQ(messages->Shown()[1].type, mtError);
    EXPECT_EQ(ChangeVouchers(), QStringList());
    EXPECT_EQ(VoRowTexts(kGoodsRows, {{QStringLiteral("v"), loading}}),
              QStringList{QStringLiteral("1/ 2 1 0 1000 0")});
    EXPECT_EQ(fm->ActivePageIndex(), 2);
    EXPECT_EQ(picker->RightCount(), 1);
}

TEST_F(kvbDataReplaceTest, AFailingCopyUndoesTheUnloadingVoucherAndEveryDischarge) {
    // The copy of the second good divides by zero.
    const QString xml = VoVariantToText(VoSelectValue(
        QStringLiteral("SELECT BYXARXMLFILE FROM TYXAR_XMLARCHIVIO WHERE SYXARCODICE = 'KVBREPLACE'")));
    QString failing = xml;
    failing.replace(QStringLiteral("inb.iBInbImporto, :NEWVALUE"),
                    QStringLiteral("inb.iBInbImporto / (inb.iBInbNumero - 2), :NEWVALUE"));
    ASSERT_NE(failing, xml);
    VoExecSQL(
        QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = :x WHERE SYXARCODICE = 'KVBREPLACE'"),
        {{QStringLiteral("x"), failing}});
    Good(1, 1000);
    Good(2, 2000);
    Definitive();
    OpenWizard();
    ChooseField(QStringLiteral("Categoria"));
    PickAll();
    VoClick(fm->ckAnyValue);
    Choose(false, QStringLiteral("II - Macchine e attrezzature d'ufficio"));
    Confirm();
    ASSERT_EQ(messages->Texts().size(), 2);
    EXPECT_EQ(messages->Shown()[1].type, mtError);
    EXPECT_EQ(ChangeVouchers(), QStringList());
    EXPECT_EQ(VoRowTexts(kGoodsRows, {{QStringLiteral("v"), loading}}),
              (QStringList{QStringLiteral("1/ 2 1 0 1000 0"), QStringLiteral("2/ 2 1 0 2000 0")}));
    EXPECT_EQ(fm->ActivePageIndex(), 2);
    EXPECT_EQ(picker->RightCount(), 2);
    EXPECT_EQ(List(false)->currentText(), QStringLiteral("II - Macchine e attrezzature d'ufficio"));
}

TEST_F(kvbDataReplaceTest, TheLastVoucherKeyIsTheTransactionsOwnWhateverOthersDraw) {
    const QString last = QStringLiteral("SELECT ICNTID FROM PYGETID('TBBUO_BUONI')");
    TVoSQLConnection other(nullptr, QStringLiteral("other"));
    other.SetParam(QStringLiteral("Database"), dbPath);
    QString error;
    ASSERT_TRUE(other.Open(&error)) << error.toStdString();
    TVoTransaction mine;
    mine.StartTransaction();
    EXPECT_TRUE(VoSelectValue(last).isNull());
    const int first = NewId(QStringLiteral("TBBUO_BUONI"));
    EXPECT_EQ(VoSelectValue(last).toInt(), first);
    // Another program draws voucher keys between the two goods of ours that read it.
    {
        TVoTransaction theirs(&other);
        theirs.StartTransaction();
        const int drawn =
            VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID('TBBUO_BUONI', 3)"), {}, &other)
                .toInt();
        EXPECT_GT(drawn, first);
        EXPECT_EQ(VoSelectValue(last, {}, &other).toInt(), drawn);
        theirs.Commit();
    }
    EXPECT_EQ(VoSelectValue(last).toInt(), first);
    mine.Rollback();
    EXPECT_TRUE(VoSelectValue(last).isNull());
}

} // namespace
