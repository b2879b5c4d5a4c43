// The closing of the durable-goods register driven as a user drives it: its checks in their order in
// both modes, the vouchers it makes definitive, the value per category it records, and nothing
// written when anything fails.
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoWidgetTest.h"
#include "kvbFBlocco.h"
#include "kvbFChiusura.h"
#include "kvbFTipiChiusura.h"
#include "kvbUUtil.h"

#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kZeroQuestion =
    QStringLiteral("L'importo dei seguenti buoni è 0.\r\nnumero 1 del 01/03/2025\r\n "
                   "Vuoi continuare lo stesso?");
const QString kBadDate = QStringLiteral("Data non valida");
const QString kTypeDone = QStringLiteral("Tipo di chiusura già effettuata in questo anno");
const QString kNoType = QStringLiteral("Inserire il tipo di chiusura che si desidera effettuare");
const QString kNothingClosed =
    QStringLiteral("Nessuna chiusura effettuata: nessun buono è stato reso definitivo.");

class kvbClosingTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        kvb::ResetWorkingContext();
        CurrentRegisterId = facId;
    }
    void TearDown() override {
        kvb::ResetWorkingContext();
        VoGoodsTest::TearDown();
    }
    // Runs the window in a mode with a type and a date; true when it closed.
    bool Run(bool closing, int typeId, const QDate &date) {
        std::unique_ptr<TfmkvbChiusura> fm(
            qobject_cast<TfmkvbChiusura *>(CreateVoClass(QStringLiteral("TfmkvbChiusura"))));
        fm->SetClosingMode(closing ? 1 : 0);
        fm->show();
        fm->deDataChiusura->SetDate(date);
        fm->xqcMain->FieldByName(QStringLiteral("iTchId"))->SetAsInteger(typeId);
        if (closing)
            fm->buNext->click();
        fm->buOk->click();
        return !fm->isVisible();
    }
    // The register's definitive vouchers by number and kind, and its closings with their category rows.
    QString State() const {
        QStringList parts;
        TVoQuery q(QStringLiteral(
            "SELECT buo.IBBUOTIPO, buo.IBBUONUMERO FROM TBBUO_BUONI buo INNER JOIN TDWGFACANF "
            "dia ON dia.IDWGFACANFID = buo.IDWGFACANFID INNER JOIN TDWGFAC di ON "
            "di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f AND buo.ILOCKED = 1 ORDER BY 1, 2"));
        q.SetParam(QStringLiteral("f"), facId);
        for (q.Open(); !q.Eof(); q.Next())
            parts << QStringLiteral("%1/%2")
                         .arg(q.AsInteger(QStringLiteral("IBBUOTIPO")))
                         .arg(q.AsInteger(QStringLiteral("IBBUONUMERO")));
        TVoQuery c(
            QStringLiteral("SELECT cha.DCHADATACHIUSURA, cha.ITCHID, cam.ICAMID, cam.ICHACAMIMPORTO FROM "
                           "TCHA_CHIUSURAANNO cha LEFT JOIN TCHACAM cam ON cam.ICHAID = cha.ICHAID WHERE "
                           "cha.IFACID = :f ORDER BY cha.DCHADATACHIUSURA, cam.ICAMID"));
        c.SetParam(QStringLiteral("f"), facId);
        QString closing;
        for (c.Open(); !c.Eof(); c.Next()) {
            const QString head =
                QStringLiteral("closed %1 type %2:")
                    .arg(c.Value(QStringLiteral("DCHADATACHIUSURA")).toDate().toString(Qt::ISODate))
                    .arg(c.AsInteger(QStringLiteral("ITCHID")));
            if (head != closing)
                parts << (closing = head);
            if (!c.IsNull(QStringLiteral("ICAMID")))
                parts.last() += QStringLiteral(" %1=%2")
                                    .arg(c.AsInteger(QStringLiteral("ICAMID")))
                                    .arg(c.AsString(QStringLiteral("ICHACAMIMPORTO")));
        }
        return parts.join(QStringLiteral("; "));
    }
    void Closed(const QDate &date, int typeId = 1) {
        VoExecSQL(
            QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, ITCHID, IFACID) VALUES "
                           "((SELECT L_ICNTID FROM PYSETGETID('TCHA_CHIUSURAANNO', 1)), :d, :t, :f)"),
            {{QStringLiteral("d"), date}, {QStringLiteral("t"), typeId}, {QStringLiteral("f"), facId}});
    }
    int Type2() {
        VoExecSQL(QStringLiteral(
            "INSERT INTO TTCH_TIPOCHIUSURA (ITCHID, STCHSDESC, STCHLDESC, ILOCKED) VALUES (2, 'INT', "
            "'Chiusura intermedia', 0)"));
        return 2;
    }
};

TEST_F(kvbClosingTest, ChecksComeInOrderAndOnlyAPassedClosingWrites) {
    // A voucher of amount 0 from 2025 and one of 100,00 in 2026; the register closed in 2025 by type 1.
    const int zero = VoTestGoodsVoucher(year2025, 0, QDate(2025, 3, 1), 1, 0);
    VoTestGood(zero, 1, 0, 1);
    const int full = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 2, 1000000);
    VoTestGood(full, 2, 1000000, 1);
    Closed(QDate(2025, 1, 31));
    const int other = Type2();
    Closed(QDate(2026, 1, 10), other);
    const QString before = State();
    const QString closedAt =
        QStringLiteral("0/1; 0/2; closed 2025-01-31 type 1:; closed 2026-01-10 type 2:; "
                       "closed 2026-06-30 type 1: 1=1000000 2=0 3=0 4=0 5=0 6=0 7=0 8=0");
    const struct {
        bool closing;
        int type;
        QDate date;
        QList<int> answers;
        QStringList texts;
        bool closed;
        QString state;
    } cases[] = {
        {true, 0, QDate(2026, 6, 30), {}, {kNoType}, false, before},
        {true, 1, QDate(2026, 1, 10), {}, {kBadDate, kNothingClosed}, true, before},
        {false, 0, QDate(2026, 1, 9), {}, {kBadDate}, true, before},
        {true, 1, QDate(2026, 6, 30), {mrNo}, {kZeroQuestion, kNothingClosed}, true, before},
        {true,
         other,
         QDate(2026, 6, 30),
         {mrYes, mrOk},
         {kZeroQuestion, kTypeDone, kNothingClosed},
         true,
         before},
        {false, 0, QDate(2026, 6, 30), {mrYes}, {kZeroQuestion}, true, before},
        {true,
         1,
         QDate(2026, 6, 30),
         {mrYes},
         {kZeroQuestion,
          QStringLiteral("Chiusura al 30/06/2026 effettuata.\r\nBuoni resi definitivi: 2 (2 di "
                         "carico, 0 di scarico); beni: 2.")},
         true,
         closedAt},
    };
    for (const auto &c : cases) {
        messages->Clear();
        for (int answer : c.answers)
            messages->Push(answer);
        EXPECT_EQ(Run(c.closing, c.type, c.date), c.closed) << c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(messages->Texts(), c.texts) << c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(State(), c.state) << c.date.toString(Qt::ISODate).toStdString();
    }
}

TEST_F(kvbClosingTest, TheDemoRegisterClosesWithItsFreeTypeAndItsVouchersBecomeDefinitive) {
    CurrentRegisterId =
        VoSelectValue(QStringLiteral("SELECT IFACID FROM TFAC_VELISTO WHERE SFACDESC = 'Beni durevoli'"))
            .toInt();
    const auto type = [](const char *desc) {
        return VoSelectValue(QStringLiteral("SELECT ITCHID FROM TTCH_TIPOCHIUSURA WHERE STCHLDESC = :d"),
                             {{QStringLiteral("d"), QString::fromUtf8(desc)}})
            .toInt();
    };
    const QString provisional = QStringLiteral(
        "SELECT COUNT(*) FROM TBBUO_BUONI buo INNER JOIN TDWGFACANF dia ON dia.IDWGFACANFID = "
        "buo.IDWGFACANFID "
        "INNER JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f AND buo.ILOCKED <> 1 AND "
        "buo.DBBUODATA <= DATE '2026-12-09'");
    const QVariantHash demo{{QStringLiteral("f"), CurrentRegisterId}};
    ASSERT_GT(VoSelectValue(provisional, demo).toInt(), 0);
    // The demo's sample closing of February, by the year-end type.
    if (VoCountRows(QStringLiteral("SELECT ICHAID FROM TCHA_CHIUSURAANNO WHERE IFACID = :f"), demo) == 0)
        VoExecSQL(QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, ITCHID, IFACID) "
                                 "VALUES ((SELECT L_ICNTID FROM PYSETGETID('TCHA_CHIUSURAANNO', 1)), DATE "
                                 "'2026-02-28', :t, :f)"),
                  {{QStringLiteral("t"), type("Chiusura di fine esercizio")},
                   {QStringLiteral("f"), CurrentRegisterId}});

    // The year-end type was used in 2026: refused, and said that nothing was closed.
    messages->Push({mrYes, mrOk});
    EXPECT_TRUE(Run(true, type("Chiusura di fine esercizio"), QDate(2026, 12, 9)));
    EXPECT_EQ(messages->Texts().mid(messages->Texts().size() - 2), (QStringList{kTypeDone, kNothingClosed}));
    EXPECT_GT(VoSelectValue(provisional, demo).toInt(), 0);

    messages->Clear();
    messages->Push(mrYes);
    EXPECT_TRUE(Run(true, type("Chiusura infrannuale"), QDate(2026, 12, 9)));
    EXPECT_TRUE(messages->LastText().startsWith(QStringLiteral("Chiusura al 09/12/2026 effettuata.")))
        << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(provisional, demo).toInt(), 0);
}

TEST_F(kvbClosingTest, AClosingMakesTheVouchersUpToItsDateDefinitiveAndRecordsEachCategory) {
    // 2025: goods of categories 1 and 8; 2026: the unloading voucher number 1 discharges the 2025
    // book before the older loading voucher number 3 is met; after the date a load and a discharge.
    const int load25 = VoTestGoodsVoucher(year2025, 0, QDate(2025, 3, 1), 1, 1200000);
    VoTestGood(load25, 1, 1000000, 1);
    const int book = VoTestGood(load25, 2, 200000, 8);
    const int load26 = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 3, 512345);
    const int chair = VoTestGood(load26, 3, 12345, 2);
    const int desk = VoTestGood(load26, 4, 500000, 1);
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 5, 1), 1, 200000);
    VoTestDischarge(book, unload, 0);
    const int later = VoTestGoodsVoucher(year2026, 0, QDate(2026, 7, 1), 4, 700000);
    VoTestGood(later, 5, 700000, 3);
    const int unloadLater = VoTestGoodsVoucher(year2026, 1, QDate(2026, 7, 2), 2, 500000);
    VoTestDischarge(desk, unloadLater, 0);

    EXPECT_TRUE(Run(true, 1, QDate(2026, 6, 30)));
    // Each good counted once, the book loaded in 2025 and discharged in 2026 too.
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Chiusura al 30/06/2026 effettuata.\r\nBuoni "
                                                            "resi definitivi: 3 (2 di carico, 1 di scarico); "
                                                            "beni: 4.")});
    EXPECT_EQ(State(),
              QStringLiteral("0/1; 0/3; 1/1; closed 2026-06-30 type 1: 1=1500000 2=12345 3=0 4=0 5=0 "
                             "6=0 7=0 8=0"));
    const auto state = [](int good) {
        return VoSelectValue(QStringLiteral("SELECT IAVAID FROM TBINB_BENI WHERE IBINBID = :id"),
                             {{QStringLiteral("id"), good}})
            .toInt();
    };
    EXPECT_EQ(state(book), 4);
    EXPECT_EQ(state(chair), 2);
    EXPECT_EQ(state(desk), 3);
}

// A renumbering takes a good discharged after a date out of the numbering; a closing at that date,
// made after it, still records the good, which was in charge then.
TEST_F(kvbClosingTest, AClosingAfterARenumberingRecordsTheGoodsInChargeAtItsDate) {
    const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 1, 10), 1, 8900000);
    const int sold = VoTestGood(load, 1, 8500000, 1);
    VoTestGood(load, 2, 400000, 1);
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 8, 1), 1, 8500000);
    VoTestDischarge(sold, unload, 0);
    VoTestMakeDefinitive(load, 0);
    VoTestMakeDefinitive(unload, 1);
    ASSERT_TRUE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 9, 1))));

    EXPECT_TRUE(Run(true, 1, QDate(2026, 6, 30)));
    EXPECT_EQ(State(), QStringLiteral("0/1; 1/1; closed 2026-06-30 type 1: 1=8900000 2=0 3=0 4=0 5=0 6=0 7=0 "
                                      "8=0"));
}

// A good discharged after the closing's date at another value was in charge at its loading value then.
TEST_F(kvbClosingTest, AClosingRecordsAGoodDischargedLaterAtItsValueThen) {
    const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 4, 15), 1, 7800000);
    const int microscope = VoTestGood(load, 1, 7800000, 1);
    VoTestDischargeAt(microscope, VoTestGoodsVoucher(year2026, 1, QDate(2026, 11, 20), 1, 7000000), 0,
                      7000000);

    EXPECT_TRUE(Run(true, 1, QDate(2026, 6, 30)));
    EXPECT_EQ(State(), QStringLiteral("0/1; closed 2026-06-30 type 1: 1=7800000 2=0 3=0 4=0 5=0 6=0 7=0 8=0"));
}

TEST_F(kvbClosingTest, AFailureAtTheLastCategoryLeavesVouchersAndClosingsAsBefore) {
    const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 1, 1000000);
    VoTestGood(load, 1, 1000000, 1);
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_TEST_CHACAM 'Categoria rifiutata'"));
    VoExecRaw(
        QStringLiteral("CREATE TRIGGER T_TEST_CHACAM FOR TCHACAM BEFORE INSERT AS BEGIN IF (NEW.ICAMID = 8) "
                       "THEN EXCEPTION E_TEST_CHACAM; END"));

    EXPECT_FALSE(Run(true, 1, QDate(2026, 6, 30)));
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Categoria rifiutata")))
        << messages->LastText().toStdString();
    EXPECT_EQ(State(), QString());
}

TEST_F(kvbClosingTest, TheClosingTypesAreListedReadOnlyWhileTheWindowIsOpen) {
    std::unique_ptr<TfmkvbTipiChiusura> fm(
        qobject_cast<TfmkvbTipiChiusura *>(CreateVoClass(QStringLiteral("TfmkvbTipiChiusura"))));
    fm->show();
    ASSERT_TRUE(fm->xqcMain->Active());
    // The year-end type and the demo's second one.
    EXPECT_EQ(fm->xqcMain->FetchedCount(), 2);
    EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("sTchLDesc"))->AsString(),
              QStringLiteral("Chiusura di fine esercizio"));
    EXPECT_FALSE(fm->frMaster->xedDesc->isEnabled());
    fm->close();
    EXPECT_FALSE(fm->xqcMain->Active());
}

// The rows a lock or unlock dialog lists, checking those of the given numbers (loading vouchers);
// with answer the dialog's OK is pressed and answered.
QStringList LockDialog(const QString &className, const QList<int> &check = {}, int answer = 0,
                       TVoScriptedResponder *messages = nullptr) {
    std::unique_ptr<QDialog> fm(qobject_cast<QDialog *>(CreateVoClass(className)));
    fm->show();
    auto *list = fm->findChild<QTreeWidget *>();
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = list->topLevelItem(row);
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts << item->text(column);
        rows << texts.join(QLatin1Char('|'));
        if (check.contains(item->text(0).toInt()) && item->text(2).startsWith(QStringLiteral("Carico")))
            item->setCheckState(0, Qt::Checked);
    }
    if (answer) {
        messages->Push(answer);
        qobject_cast<TfmVoOkCancDlg *>(fm.get())->buOk->click();
        EXPECT_EQ(fm->isVisible(), answer != mrYes);
    }
    return rows;
}

TEST_F(kvbClosingTest, LockingAndUnlockingMoveTheCheckedVouchersAndTheirOwnGoods) {
    // Loading vouchers 2 and 1 (2025), unloading voucher 1 taking one of voucher 1's goods; another
    // register's voucher never shows.
    const int load1 = VoTestGoodsVoucher(year2025, 0, QDate(2025, 3, 1), 1, 300000);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET SBBUODESC = 'Carico uno  ' WHERE IBBUOID = :id"),
              {{QStringLiteral("id"), load1}});
    const int kept = VoTestGood(load1, 1, 100000);
    const int gone = VoTestGood(load1, 2, 200000);
    const int load2 = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 2, 0);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET SBBUODESC = 'Carico due' WHERE IBBUOID = :id"),
              {{QStringLiteral("id"), load2}});
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 3, 1), 1, 200000);
    VoTestDischarge(gone, unload, 0);
    VoTestGoodsVoucher(VoTestOpenRegister(QStringLiteral("Altro inventario"), 5, {2026}).first(), 0,
                       QDate(2026, 1, 5), 7);
    const auto states = [&] {
        QStringList values;
        for (int good : {kept, gone})
            values << VoSelectValue(QStringLiteral("SELECT IAVAID FROM TBINB_BENI WHERE IBINBID = :id"),
                                    {{QStringLiteral("id"), good}})
                          .toString();
        return values.join(QLatin1Char(' '));
    };

    EXPECT_EQ(LockDialog(QStringLiteral("TfmkvbBlocco")),
              (QStringList{QStringLiteral("0000001|01/03/2025|Carico uno|30,00|30,00"),
                           QStringLiteral("0000002|01/02/2026|Carico due|0,00|0,00"),
                           QStringLiteral("0000001|01/03/2026|Buono 1|20,00|0,00")}));
    LockDialog(QStringLiteral("TfmkvbBlocco"), {1}, mrNo, messages);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Bloccare i buoni selezionati?")});
    EXPECT_EQ(states(), QStringLiteral("1 3"));
    LockDialog(QStringLiteral("TfmkvbBlocco"), {1}, mrYes, messages);
    EXPECT_EQ(states(), QStringLiteral("2 3"));
    EXPECT_EQ(LockDialog(QStringLiteral("TfmkvbBlocco")).size(), 2);
    EXPECT_EQ(LockDialog(QStringLiteral("TfmkvbSblocco")),
              QStringList{QStringLiteral("0000001|01/03/2025|Carico uno|30,00|30,00")});
    messages->Clear();
    LockDialog(QStringLiteral("TfmkvbSblocco"), {1}, mrYes, messages);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Sbloccare i buoni selezionati?")});
    EXPECT_EQ(states(), QStringLiteral("1 3"));
    EXPECT_TRUE(LockDialog(QStringLiteral("TfmkvbSblocco")).isEmpty());
}

// The register's goods by key: number, "/" and sub-code, "*" when out of the register, and the
// numbers their histories keep with the end date.
QString Goods(int facId) {
    QStringList goods;
    TVoQuery q(QStringLiteral(
        "SELECT inb.IBINBNUMERO, inb.SBINBCODNUMERO, inb.IBINBFUORIREGISTRO, (SELECT LIST(bnu.IBBNUNUMERO "
        "|| COALESCE('/' || bnu.SBBNUCODNUMERO, '') || '@' || bnu.DEND, ' ') FROM TBBNU_BENINUMERI bnu "
        "WHERE bnu.IBINBID = inb.IBINBID) AS HIST FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON "
        "buo.IBBUOID = inb.IBBUOID INNER JOIN TDWGFACANF dia ON dia.IDWGFACANFID = buo.IDWGFACANFID "
        "INNER JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f ORDER BY inb.IBINBID"));
    q.SetParam(QStringLiteral("f"), facId);
    for (q.Open(); !q.Eof(); q.Next()) {
        QString good = q.AsString(QStringLiteral("IBINBNUMERO"));
        if (!q.IsNull(QStringLiteral("SBINBCODNUMERO")))
            good += QLatin1Char('/') + q.AsString(QStringLiteral("SBINBCODNUMERO"));
        if (q.AsInteger(QStringLiteral("IBINBFUORIREGISTRO")) == 1)
            good += QLatin1Char('*');
        if (!q.IsNull(QStringLiteral("HIST")))
            good += QStringLiteral("(%1)").arg(q.AsString(QStringLiteral("HIST")));
        goods << good;
    }
    return goods.join(QLatin1Char(' '));
}

class kvbRenumberTest : public kvbClosingTest {
protected:
    // Voucher A (1 March 2025): goods 5/A, 9 and 0; voucher B (1 February 2025): goods 3, 7 and 4,
    // the last discharged in June; all definitive.
    void SetUpRegister() {
        const int a = VoTestGoodsVoucher(year2025, 0, QDate(2025, 3, 1), 1);
        VoTestGood(a, 5, 0, 1, 0, 0, QStringLiteral("A"));
        VoTestGood(a, 9);
        VoTestGood(a, 0);
        const int b = VoTestGoodsVoucher(year2025, 0, QDate(2025, 2, 1), 2);
        VoTestGood(b, 3);
        VoTestGood(b, 7);
        const int gone = VoTestGood(b, 4);
        const int unload = VoTestGoodsVoucher(year2025, 1, QDate(2025, 6, 1), 1);
        VoTestDischarge(gone, unload, 0);
        for (const auto &[voucher, kind] : {std::pair{a, 0}, {b, 0}, {unload, 1}})
            VoTestMakeDefinitive(voucher, kind);
    }
};

TEST_F(kvbRenumberTest, RenumberingIsRefusedWithProvisionalVouchersOrADateNotAfterTheLimit) {
    SetUpRegister();
    const QString before = Goods(facId);
    const int provisional = VoTestGoodsVoucher(year2026, 0, QDate(2026, 1, 10), 3);
    EXPECT_FALSE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 6, 1))));
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Impossibile continuare. Ci sono dei buoni non definitivi."));
    VoTestMakeDefinitive(provisional, 0);
    Closed(QDate(2026, 1, 31));
    const struct {
        QDate date;
        QString limit;
    } cases[] = {{QDate(2026, 1, 31), QStringLiteral("31/01/2026")},
                 {QDate(2025, 12, 1), QStringLiteral("31/01/2026")}};
    for (const auto &c : cases) {
        messages->Clear();
        EXPECT_FALSE(RenumberAllGoods(1, false, DateToDays(c.date)));
        EXPECT_EQ(
            messages->Texts(),
            QStringList{QStringLiteral("Impossibile continuare. La data dev'essere maggiore di ") + c.limit});
    }
    EXPECT_EQ(Goods(facId), before);
    // A renumbering then bounds the next one.
    EXPECT_TRUE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 3, 1))));
    messages->Clear();
    EXPECT_FALSE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 3, 1))));
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Impossibile continuare. La data dev'essere maggiore di 01/03/2026")});
}

TEST_F(kvbRenumberTest, RenumberingNumbersTheGoodsInChargeByNumberOrLoadingDate) {
    const struct {
        bool byDate;
        QString goods;
    } cases[] = {
        {false, QStringLiteral("2/A(5/A@2026-01-10) 4(9@2026-01-10) 0 1(3@2026-01-10) 3(7@2026-01-10) 4*")},
        {true, QStringLiteral("3/A(5/A@2026-01-10) 4(9@2026-01-10) 0 1(3@2026-01-10) 2(7@2026-01-10) 4*")},
    };
    for (const auto &c : cases) {
        // Each case on a register of its own.
        const QList<int> years = VoTestOpenRegister(QStringLiteral("Rinumerazione"), 5, {2025, 2026}, &facId);
        year2025 = years.value(0);
        CurrentRegisterId = facId;
        SetUpRegister();
        EXPECT_TRUE(RenumberAllGoods(1, c.byDate, DateToDays(QDate(2026, 1, 10))));
        EXPECT_EQ(Goods(facId), c.goods) << c.byDate;
        EXPECT_EQ(NextGoodsNumber(), 5);
    }
}

TEST_F(kvbRenumberTest, AFailureHalfWayLeavesTheNumbersAsTheyWere) {
    SetUpRegister();
    const QString before = Goods(facId);
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_TEST_BNU 'Storia rifiutata'"));
    VoExecRaw(QStringLiteral(
        "CREATE TRIGGER T_TEST_BNU FOR TBBNU_BENINUMERI BEFORE INSERT AS BEGIN IF (NEW.IBBNUNUMERO = 7) "
        "THEN EXCEPTION E_TEST_BNU; END"));
    EXPECT_ANY_THROW(RenumberAllGoods(1, false, DateToDays(QDate(2026, 1, 10))));
    EXPECT_EQ(Goods(facId), before);
}

TEST_F(kvbRenumberTest, AVoucherRenumberingFillsItsGoodsFromTheHighestUpAvoidingUsedNumbers) {
    // The voucher's goods 10/a, 9/b and 8/c; another voucher holds 11 without a sub-code.
    const int voucher = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 1), 1);
    for (const auto &[number, sub] : {std::pair{10, "a"}, {9, "b"}, {8, "c"}})
        VoTestGood(voucher, number, 0, 1, 0, 0, QString::fromLatin1(sub));
    VoTestGood(VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 2), 2), 11);
    RenumberVoucherGoods(voucher);
    EXPECT_EQ(Goods(facId), QStringLiteral("10/a 12/b 13/c 11"));
}

} // namespace
