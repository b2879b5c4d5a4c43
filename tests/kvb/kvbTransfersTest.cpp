// Goods passed between this register and the suite's other registers, driven as a user drives the
// windows: vouchers of the inventory registers taken over, goods discharged for the consumables
// register and the inventory registers, the goods filter, and what another user did meanwhile.
#include "VoClassRegistry.h"
#include "VoConnection.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoWidgetTest.h"
#include "kvbFFiltro.h"
#include "kvbFImpInv.h"
#include "kvbFSelectVelist.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

class kvbTransfersTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        WorkIn2026();
        sector = VoTestSector(QStringLiteral("SEG"));
    }
    void TearDown() override {
        if (fm) {
            fm->close();
            delete fm;
        }
        VoGoodsTest::TearDown();
    }
    template <class T> T *Open(const char *className) {
        auto *window = qobject_cast<T *>(CreateVoClass(QString::fromLatin1(className)));
        fm = window;
        EXPECT_TRUE(window && VoShowActive(window));
        return window;
    }
    TVoQueryCollection *List() const { return fm->frVoMultiSel->xqcMultiSelect; }
    void Choose(int id) {
        for (int row = 0; row < List()->RecordCount(); ++row)
            if (List()->RowValue(row, 0).toInt() == id)
                fm->frVoMultiSel->SetSelected(row, true);
    }
    // An unloading voucher of an inventory register of the demo school, in 2026, with a marker.
    int InventoryVoucher(int number, const QString &marker = QStringLiteral("BENDUR")) {
        if (!inventoryYear) {
            const int inv = VoTestNewKey(QStringLiteral("TINV_INVENTARI"));
            VoExecSQL(
                QStringLiteral("INSERT INTO TINV_INVENTARI (IINVID, SINVDESC) VALUES (:i, 'Inventario')"),
                {{QStringLiteral("i"), inv}});
            const int school = VoTestNewKey(QStringLiteral("TDWGINV"));
            VoExecSQL(
                QStringLiteral("INSERT INTO TDWGINV (IDWGINVID, IDWGID, IINVID) SELECT :i, IDWGID, :v "
                               "FROM TDWGFACANF dfa JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID "
                               "WHERE dfa.IDWGFACANFID = :y"),
                {{QStringLiteral("i"), school}, {QStringLiteral("v"), inv}, {QStringLiteral("y"), year2026}});
            inventoryYear = VoTestNewKey(QStringLiteral("TDWGINVANF"));
            VoExecSQL(
                QStringLiteral("INSERT INTO TDWGINVANF (IDWGINVANFID, IDWGINVID, IANFID) SELECT :i, :s, "
                               "IANFID FROM TDWGFACANF WHERE IDWGFACANFID = :y"),
                {{QStringLiteral("i"), inventoryYear},
                 {QStringLiteral("s"), school},
                 {QStringLiteral("y"), year2026}});
        }
        const int id = VoTestNewKey(QStringLiteral("TBUO_BUONI"));
        VoExecSQL(
            QStringLiteral("INSERT INTO TBUO_BUONI (IBUOID, IDWGINVANFID, IBUONUMERO, DBUODATA, SBUODESC, "
                           "IBUOTIPO, SBUOAPPLSCARICO) VALUES (:i, :y, :n, '2026-02-10', 'Scarico', 1, :m)"),
            {{QStringLiteral("i"), id},
             {QStringLiteral("y"), inventoryYear},
             {QStringLiteral("n"), number},
             {QStringLiteral("m"), marker}});
        return id;
    }
    // A good the voucher discharged, every column set; with bare, every column it may leave empty is.
    void InventoryGood(int voucher, const QString &desc, qint64 amount, bool bare = false,
                       const QString &note = QString()) {
        const QVariant noText = VoNull(QMetaType::QString);
        const auto text = [&](const char *t) { return bare ? noText : QVariant(QString::fromLatin1(t)); };
        VoExecSQL(
            QStringLiteral("INSERT INTO TINB_BENI (IINBID, IBUOID, IBUOIDSCARICO, SINBDESC, SINBNOTE, "
                           "IINBIMPORTO, ICAMID, ICAEID, ICONDID, ISECID, SINBLIBTITOLO, SINBLIBAUTORE, "
                           "SINBLIBEDITORE, ISEDINFID, ICLCID, IINBANNOASSUNZ, SINBMATRICOLA, SINBCODNUMERO) "
                           "VALUES (:i, :v, :v, :d, :n, :a, :cam, :cae, :cond, :sec, :t, :au, :ed, :sed, "
                           ":clc, :y, :m, :c)"),
            {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TINB_BENI"))},
             {QStringLiteral("v"), voucher},
             {QStringLiteral("d"), bare ? noText : QVariant(desc)},
             {QStringLiteral("n"), note.isEmpty() ? text("nota") : QVariant(note)},
             {QStringLiteral("a"), amount},
             {QStringLiteral("cam"), IdOrNull(bare ? 0 : 4)},
             {QStringLiteral("cae"), IdOrNull(bare ? 0 : CaeId())},
             {QStringLiteral("cond"), IdOrNull(bare ? 0 : 2)},
             {QStringLiteral("sec"), IdOrNull(bare ? 0 : sector)},
             {QStringLiteral("t"), text("Titolo")},
             {QStringLiteral("au"), text("Autore")},
             {QStringLiteral("ed"), text("Editore")},
             {QStringLiteral("sed"), IdOrNull(bare ? 0 : SiteId())},
             {QStringLiteral("clc"), IdOrNull(bare ? 0 : LocationId())},
             {QStringLiteral("y"), IdOrNull(bare ? 0 : 2019)},
             {QStringLiteral("m"), text("MAT-1")},
             {QStringLiteral("c"), text("A")}});
    }
    static int CaeId() {
        return VoSelectValue(QStringLiteral("SELECT MIN(ICAEID) FROM TCAE_CATEGMERCE")).toInt();
    }
    static int SiteId() {
        return VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
    }
    static int LocationId() {
        return VoSelectValue(QStringLiteral("SELECT MIN(ICLCID) FROM TCLC_COLLOCAZIONI")).toInt();
    }
    static QString Marker(int voucher) {
        return VoSelectValue(QStringLiteral("SELECT SBUOAPPLSCARICO FROM TBUO_BUONI WHERE IBUOID = :i"),
                             {{QStringLiteral("i"), voucher}})
            .toString();
    }
    // The register's vouchers of a kind: number, date, description, locked flag, marker, amount.
    QStringList Vouchers(int kind) const {
        return VoRowTexts(
            QStringLiteral(
                "SELECT IBBUONUMERO || '|' || DBBUODATA || '|' || SBBUODESC || '|' || "
                "ILOCKED || '|' || COALESCE(SBBUOAPPLSCARICO, '-') || '|' || "
                "COALESCE(IBBUOIMPORTO, -1) FROM TBBUO_BUONI WHERE IBBUOTIPO = :k AND IDWGFACANFID = :y "
                "ORDER BY IBBUONUMERO"),
            {{QStringLiteral("k"), kind}, {QStringLiteral("y"), year2026}});
    }
    // A good: state, and the unloading voucher's number (0: in charge).
    QString GoodState(int good) const {
        return VoSelectValue(QStringLiteral("SELECT inb.IAVAID || '|' || COALESCE(sca.IBBUONUMERO, 0) FROM "
                                            "TBINB_BENI inb LEFT JOIN TBBUO_BUONI sca ON sca.IBBUOID = "
                                            "inb.IBBUOIDSCARICO WHERE inb.IBINBID = :i"),
                             {{QStringLiteral("i"), good}})
            .toString();
    }
    // Commits a statement as another user on a connection of their own.
    void AsAnotherUser(const QString &sql, const QVariantHash &params) {
        TVoSQLConnection other(nullptr, QStringLiteral("other"));
        other.SetParam(QStringLiteral("Database"), dbPath);
        QString error;
        ASSERT_TRUE(other.Open(&error)) << error.toStdString();
        EXPECT_EQ(VoExecSQL(sql, params, &other), 1);
        other.Close();
    }
    void FailLastStatement() {
        VoExecRaw(QStringLiteral("CREATE EXCEPTION E_TEST_FAIL 'Importo rifiutato'"));
        VoExecRaw(QStringLiteral("CREATE TRIGGER T_TEST_FAIL FOR TBBUO_BUONI BEFORE UPDATE AS BEGIN "
                                 "EXCEPTION E_TEST_FAIL; END"));
    }
    // A good of the register in charge, on a loading voucher of 2026.
    int Good(int number, const QVariant &amount, int category = 1, int goodsSector = -1) {
        if (!loading)
            loading = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 3, 1), 1);
        const int id = VoTestGood(loading, number, 0, category, goodsSector < 0 ? sector : goodsSector);
        VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBIMPORTO = :a WHERE IBINBID = :i"),
                  {{QStringLiteral("a"), amount}, {QStringLiteral("i"), id}});
        return id;
    }

    // OK with nothing chosen, in a financial year that ends before December: a definitive good and a
    // provisional one of NULL amount go, goods without a sector or category are never offered.
    void CheckTransferOfAll(const char *windowClass, const char *question, const char *voucher) {
        const int definitive = Good(1, 10000);
        VoTestMakeDefinitive(loading, kvbLoading);
        loading = 0;
        const int provisional = Good(2, VoNull(QMetaType::LongLong));
        const int noSector = Good(3, 500, 1, 0);
        const int noCategory = Good(4, 500, 0);
        VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 2, 1), 1);
        CurrentYearEnd = DateToDays(QDate(2026, 8, 31));

        auto *window = Open<TfmKvbSelectVelist>(windowClass);
        EXPECT_EQ(List()->RecordCount(), 2);
        messages->Push(mrYes);
        window->buOk->click();
        EXPECT_EQ(messages->Texts(), QStringList{QString::fromUtf8(question)});
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(Vouchers(kvbUnloading).value(1), QString::fromUtf8(voucher));
        EXPECT_EQ(QStringList({GoodState(definitive), GoodState(provisional), GoodState(noSector),
                               GoodState(noCategory)}),
                  QStringList({"3|2", "3|2", "1|0", "1|0"}));
    }

    QPointer<TfmVoMultiSelect> fm;
    int sector = 0;
    int inventoryYear = 0;
    int loading = 0;
};

const QString kImportQuestion = QStringLiteral(
    "I buoni selezionati verranno importati nel registro dei beni durevoli.\r\nI buoni verranno "
    "caricati nell'anno finanziario 2026.Continuare?");

} // namespace

TEST_F(kvbTransfersTest, ChosenInventoryVouchersBecomeLoadingVouchersWithCopiesOfTheirGoods) {
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 1, 10), 4);
    const int first = InventoryVoucher(7);
    InventoryGood(first, QStringLiteral("Armadio"), 1234567, false, QString(300, QLatin1Char('n')));
    InventoryGood(first, QString(), 10000, true);
    const int second = InventoryVoucher(8);
    InventoryGood(second, QStringLiteral("Lavagna"), 5);
    const int empty = InventoryVoucher(9);
    const int untouched = InventoryVoucher(10);
    auto *window = Open<TfmkvbImpInv>("TfmkvbImpInv");
    ASSERT_EQ(List()->RecordCount(), 5); // with the demo voucher
    for (int voucher : {first, second, empty})
        Choose(voucher);
    messages->Push(mrYes);
    window->buOk->click();

    EXPECT_EQ(messages->Texts(),
              (QStringList{kImportQuestion,
                           QStringLiteral("Creato il buono di carico numero 5 del 31/12/2026 con 2 "
                                          "beni.\r\nCreato il buono di carico numero 6 del "
                                          "31/12/2026 con 1 bene.\r\nCreato il buono di carico "
                                          "numero 7 del 31/12/2026 con 0 beni.")}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Vouchers(kvbLoading), QStringList({"4|2026-01-10|Buono 4|0|-|0",
                                                 "5|2026-12-31|BUONO DI CARICO DA INVENTARIO|0|-|1244567",
                                                 "6|2026-12-31|BUONO DI CARICO DA INVENTARIO|0|-|5",
                                                 "7|2026-12-31|BUONO DI CARICO DA INVENTARIO|0|-|-1"}));
    const QString columns = QStringLiteral(
        "buo.IBBUONUMERO || '|' || inb.IBINBNUMERO || '|' || inb.SBINBDESC || '|' || "
        "CHAR_LENGTH(inb.SBINBNOTE) "
        "|| '|' || inb.IBINBIMPORTO || '|' || inb.IAVAID || '|' || COALESCE(inb.ICAMID, 0) || '|' || "
        "COALESCE(inb.ICAEID, 0) || '|' || COALESCE(inb.ICONDID, 0) || '|' || COALESCE(inb.ISECID, 0) || '|' "
        "|| COALESCE(inb.ISEDINFID, 0) || '|' || COALESCE(inb.ICLCID, 0) || '|' || "
        "COALESCE(inb.IBINBANNOASSUNZ, 0) || '|' || inb.SBINBLIBTITOLO || inb.SBINBLIBAUTORE || "
        "inb.SBINBLIBEDITORE || '|' || inb.SBINBMATRICOLA || '|' || inb.SBINBCODNUMERO");
    const QString full = QStringLiteral("|4|%1|2|%2|%3|%4|2019|TitoloAutoreEditore|MAT-1|A")
                             .arg(CaeId())
                             .arg(sector)
                             .arg(SiteId())
                             .arg(LocationId());
    EXPECT_EQ(VoRowTexts(
                  QStringLiteral("SELECT ") + columns +
                      QStringLiteral(" FROM TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID "
                                     "WHERE buo.IDWGFACANFID = :y ORDER BY inb.IBINBNUMERO"),
                  {{QStringLiteral("y"), year2026}}),
              QStringList({QStringLiteral("5|1|Armadio|255|1234567|1") + full,
                           QStringLiteral("5|2||0|10000|1|0|0|0|0|0|0|0|||"),
                           QStringLiteral("6|3|Lavagna|4|5|1") + full}));
    EXPECT_EQ(QStringList({Marker(first), Marker(second), Marker(empty), Marker(untouched)}),
              QStringList({"BENDUR_IMP", "BENDUR_IMP", "BENDUR_IMP", "BENDUR"}));
}

TEST_F(kvbTransfersTest, AnImportWithoutChoiceOrConfirmationWritesNothing) {
    const int voucher = InventoryVoucher(7);
    InventoryGood(voucher, QStringLiteral("Armadio"), 100);
    const struct {
        bool choose;
        int answer;
        QString message;
    } cases[] = {{false, mrOk, QStringLiteral("Non è stato selezionato nessun buono")},
                 {true, mrNo, kImportQuestion},
                 {true, mrCancel, kImportQuestion}};
    for (const auto &c : cases) {
        auto *window = Open<TfmkvbImpInv>("TfmkvbImpInv");
        messages->Clear();
        if (c.choose) {
            Choose(voucher);
            messages->Push(c.answer);
        }
        window->buOk->click();
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Vouchers(kvbLoading), QStringList());
        EXPECT_EQ(Marker(voucher), QStringLiteral("BENDUR"));
        delete window;
    }
}

TEST_F(kvbTransfersTest, AnImportRefusedOrFailingWritesNothingAndKeepsTheWindowOpen) {
    const int first = InventoryVoucher(7);
    InventoryGood(first, QStringLiteral("Armadio"), 100);
    const int second = InventoryVoucher(8);
    InventoryGood(second, QStringLiteral("Lavagna"), 100);
    auto *window = Open<TfmkvbImpInv>("TfmkvbImpInv");
    const auto nothingWritten = [&] {
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Vouchers(kvbLoading), QStringList());
        EXPECT_EQ(
            VoCountRows(QStringLiteral("SELECT 1 FROM TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = "
                                       "inb.IBBUOID WHERE buo.IDWGFACANFID = :y"),
                        {{QStringLiteral("y"), year2026}}),
            0);
        EXPECT_EQ(Marker(first), QStringLiteral("BENDUR"));
    };
    Choose(first);
    Choose(second);
    AsAnotherUser(QStringLiteral("UPDATE TBUO_BUONI SET SBUOAPPLSCARICO = 'BENDUR_IMP' WHERE IBUOID = :i"),
                  {{QStringLiteral("i"), second}});
    messages->Push(mrYes);
    window->buOk->click();
    EXPECT_EQ(messages->LastText(), QStringLiteral("Il buono selezionato è già stato importato"));
    nothingWritten();
    EXPECT_EQ(List()->RecordCount(), 2); // the demo voucher and the first

    FailLastStatement();
    messages->Push(mrYes);
    window->buOk->click();
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Importo rifiutato")))
        << messages->LastText().toStdString();
    nothingWritten();
}

TEST_F(kvbTransfersTest, NothingChosenDischargesEveryGoodOntoOneVoucherForTheConsumablesRegister) {
    CheckTransferOfAll("TfmKvbSelectVelist",
                       "Sono stati selezionati 2 beni da passare nel velisto.\r\nI beni verranno scaricati "
                       "nell'anno finanziario 2026.Continuare?",
                       "2|2026-12-31|BUONO DI SCARICO AL VELISTO|0|VELIST|10000");
}

TEST_F(kvbTransfersTest, NothingChosenDischargesEveryGoodOntoOneVoucherForTheInventoryRegisters) {
    CheckTransferOfAll(
        "TfmkvbSelectinv",
        "Sono stati selezionati 2 beni da passare nell'inventario.\r\nI beni verranno scaricati "
        "nell'anno finanziario 2026.Continuare?",
        "2|2026-08-31|BUONO DI SCARICO ALL'INVENTARIO|0|INV|10000");
}

TEST_F(kvbTransfersTest, ATransferOfAnEmptyListOrNotConfirmedWritesNothing) {
    auto *window = Open<TfmKvbSelectVelist>("TfmKvbSelectVelist");
    window->buOk->click();
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Non è stato selezionato nessun bene")});
    EXPECT_TRUE(window->isVisible());
    delete window;

    const int good = Good(1, 100);
    for (int answer : {mrNo, mrCancel}) {
        window = Open<TfmKvbSelectVelist>("TfmKvbSelectVelist");
        messages->Push(answer);
        window->buOk->click();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Vouchers(kvbUnloading), QStringList());
        EXPECT_EQ(GoodState(good), QStringLiteral("1|0"));
        delete window;
    }
}

TEST_F(kvbTransfersTest, TheFilterWithAnApostropheIsKeptAndSwitchedOffAndOn) {
    const int wanted = Good(1, 100);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBDESC = 'Banco dell''aula' WHERE IBINBID = :i"),
              {{QStringLiteral("i"), wanted}});
    const int other = Good(2, 100);
    auto *window = Open<TfmKvbSelectVelist>("TfmKvbSelectVelist");
    ASSERT_TRUE(window->buFilter->isVisible());
    VoWhenModalOpens<TfmKvbFiltro>([](TfmKvbFiltro *filter) {
        EXPECT_TRUE(filter->frVoFiltro->AddCondition(
            QStringLiteral("Descrizione"), QStringLiteral("contiene"), QStringLiteral("DELL'AULA")));
        filter->buOk->click();
    });
    window->buFilter->click();
    EXPECT_EQ(List()->RecordCount(), 1);
    EXPECT_TRUE(window->frVoMultiSel->acApplyFilter->isChecked());

    window->frVoMultiSel->acApplyFilter->trigger();
    EXPECT_EQ(List()->RecordCount(), 2);
    EXPECT_FALSE(window->frVoMultiSel->acApplyFilter->isChecked());
    window->frVoMultiSel->acApplyFilter->trigger();
    EXPECT_EQ(List()->RecordCount(), 1);
    EXPECT_TRUE(window->frVoMultiSel->acApplyFilter->isChecked());

    VoWhenModalOpens<TfmKvbFiltro>([](TfmKvbFiltro *filter) {
        EXPECT_EQ(filter->frVoFiltro->ConditionTexts().size(), 1);
        filter->buOk->click();
    });
    window->buFilter->click();
    EXPECT_EQ(List()->RecordCount(), 1);

    messages->Push(mrYes);
    window->buOk->click();
    EXPECT_EQ(QStringList({GoodState(wanted), GoodState(other)}), QStringList({"3|1", "1|0"}));
}

TEST_F(kvbTransfersTest, ATransferRefusedOrFailingWritesNothingAndKeepsTheWindowOpen) {
    const int first = Good(1, 100);
    const int second = Good(2, 100);
    const int other = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 2, 1), 1);
    auto *window = Open<TfmKvbSelectVelist>("TfmKvbSelectVelist");
    AsAnotherUser(QStringLiteral("UPDATE TBINB_BENI SET IBBUOIDSCARICO = :v, IAVAID = 3 WHERE IBINBID = :i"),
                  {{QStringLiteral("v"), other}, {QStringLiteral("i"), second}});
    messages->Push(mrYes);
    window->buOk->click();
    EXPECT_EQ(messages->LastText(), QStringLiteral("Il bene 2 è già stato scaricato."));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(List()->RecordCount(), 1);
    EXPECT_EQ(Vouchers(kvbUnloading).size(), 1);
    EXPECT_EQ(GoodState(first), QStringLiteral("1|0"));

    FailLastStatement();
    window->frVoMultiSel->SelectNone();
    messages->Push(mrYes);
    window->buOk->click();
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Importo rifiutato")))
        << messages->LastText().toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Vouchers(kvbUnloading).size(), 1);
    EXPECT_EQ(GoodState(first), QStringLiteral("1|0"));
}

// The list is read a packet at a time and the ticks are kept by key: OK discharges exactly the goods
// ticked, "all but one" reaching the goods not read yet, "none ticked" every good listed.
TEST_F(kvbTransfersTest, TheGoodsTickedAcrossTheFirstPacketAreThoseDischarged) {
    const int first = Good(1, 100);
    QStringList every{QStringLiteral("1")};
    for (int number = 2; number <= 105; ++number) {
        Good(number, 100);
        every << QString::number(number);
    }
    QStringList allBut102 = every;
    allBut102.removeAll(QStringLiteral("102"));
    const struct {
        const char *what;
        std::function<void(TfrVoMultiSelect *)> tick;
        QStringList discharged;
    } cases[] = {{"all, then one past the first packet not",
                  [](TfrVoMultiSelect *list) {
                      list->buSelAll->click();
                      list->SetSelected(101, false);
                  },
                  allBut102},
                 {"one on each side of the packet's end",
                  [](TfrVoMultiSelect *list) {
                      list->SetSelected(0, true);
                      list->SetSelected(101, true);
                  },
                  {"1", "102"}},
                 {"one, then none",
                  [](TfrVoMultiSelect *list) {
                      list->SetSelected(0, true);
                      list->buSelNone->click();
                  },
                  every}};
    for (const auto &c : cases) {
        auto *window = Open<TfmKvbSelectVelist>("TfmKvbSelectVelist");
        EXPECT_EQ(List()->FetchedCount(), 100) << c.what;
        // The user scrolls past the first packet.
        List()->SetRecNo(103);
        c.tick(window->frVoMultiSel);
        messages->Clear();
        messages->Push(mrYes);
        window->buOk->click();
        EXPECT_TRUE(messages->Texts().value(0).startsWith(
            QStringLiteral("Sono stati selezionati %1 beni").arg(c.discharged.size())))
            << c.what;
        const QVariantHash mine{{QStringLiteral("f"), first}};
        EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT IBINBNUMERO FROM TBINB_BENI WHERE IBINBID >= :f AND "
                                            "IBBUOIDSCARICO IS NOT NULL ORDER BY 1"),
                             mine),
                  c.discharged)
            << c.what;
        VoExecSQL(
            QStringLiteral("UPDATE TBINB_BENI SET IBBUOIDSCARICO = NULL, IAVAID = 1 WHERE IBINBID >= :f"),
            mine);
        delete window;
    }
}
