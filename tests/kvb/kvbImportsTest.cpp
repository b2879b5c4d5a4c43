// Goods handed out by the consumables register, taken into the inventory through the import wizard
// as a user drives it, on a real database with rows in the consumables program's tables.
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoStringGrid.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoTestWarehouse.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvbFBuoni.h"
#include "kvbFImpMag.h"
#include "kvbFImpVelist.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using V = TfmkvbImpVelist;
using M = TfmkvbImpMag;
using W = TfmkvbImpWizard;

class kvbImportsTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));
        kvb::LoadWorkingContext(true);
        site = VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
    }
    void TearDown() override {
        for (W *w : {fm.data(), other.data()})
            if (w)
                VoCloseWindow(w);
        xgvmGlobalVar.Clear();
        kvb::ResetWorkingContext();
        VoGoodsTest::TearDown();
    }
    // A second site: none is proposed any more.
    void SecondSite() {
        VoExecSQL(
            QStringLiteral("INSERT INTO TSEDINF_SEDEINFO (ISEDINFID, SSEDINFSDESC, SSEDINFLDESC) VALUES "
                           "(:i, 'Succursale', 'Succursale - Via Verdi 2')"),
            {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TSEDINF_SEDEINFO"))}});
        kvb::LoadWorkingContext(true);
    }
    // A consumables unloading voucher of 2026 marked for this program.
    static int Source(int number, const QDate &date, int beneficiary = 0) {
        const int voucher = VoTestVoucher(1, date, VoTestRegisterYear(2026), number);
        VoExecSQL(
            QStringLiteral("UPDATE TFBUO_BUONI SET SFBUOUSE = 'BENDUR', IBENID = :b WHERE IFBUOID = :i"),
            {{QStringLiteral("i"), voucher},
             {QStringLiteral("b"), beneficiary > 0 ? QVariant(beneficiary) : VoNull(QMetaType::Int)}});
        return voucher;
    }
    // A row of a source: an article of its own, with a goods code when merId is given.
    static void Row(int voucher, const QString &desc, double quantity, double cost, double vat,
                    int sector = 0, int merId = 0) {
        const int rate = VoTestVatRate(vat);
        const int article = VoTestArticle(desc, 0, rate);
        if (merId > 0)
            VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET IMERID = :m WHERE IFARID = :a"),
                      {{QStringLiteral("m"), merId}, {QStringLiteral("a"), article}});
        VoTestRow(voucher, article, quantity, cost, sector, rate);
    }
    // A goods code listed under an inventory category.
    static int GoodsCode(int category) {
        const int mer = VoTestNewKey(QStringLiteral("TMER_CODICIMERCEOL"));
        VoExecSQL(
            QStringLiteral(
                "INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC) VALUES (:m, :m, 'Codice')"),
            {{QStringLiteral("m"), mer}});
        VoExecSQL(QStringLiteral("INSERT INTO TCAE_CATEGMERCE (ICAEID, ICAMID, IMERID) VALUES (:i, :c, :m)"),
                  {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TCAE_CATEGMERCE"))},
                   {QStringLiteral("c"), category},
                   {QStringLiteral("m"), mer}});
        return mer;
    }
    W *OpenWizard(const char *className = "TfmkvbImpVelist") {
        W *opened = VoOpenWindow<W>(QString::fromLatin1(className));
        EXPECT_TRUE(opened);
        (fm ? other : fm) = opened;
        return opened;
    }
    // Stands on a source of the list (by its key) and turns to the goods page.
    static void ToGoods(W *w, int source) {
        ASSERT_TRUE(w->xqcBuoni->Locate(w->xqcBuoni->Fields(0)->FieldName(), source)) << source;
        VoClick(w->buNext);
    }
    static QStringList Rows(W *w, QList<int> columns) {
        QStringList rows;
        for (int row = 1; row < w->sgArticoli->RowCount(); ++row) {
            QStringList cells;
            for (int column : columns)
                cells << w->sgArticoli->Cells(column, row);
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    static void PickForAll(W *w, int column, const QString &text) {
        ASSERT_TRUE(w->sgArticoli->SelectCell(column, 1));
        ASSERT_TRUE(w->SameButton(column)->isEnabled());
        VoAnswerSearch(text);
        VoClick(w->SameButton(column));
    }
    static void PickForRow(W *w, int column, int row, const QString &text) {
        ASSERT_TRUE(w->sgArticoli->SelectCell(column, row));
        VoAnswerSearch(text);
        QTest::keyRelease(w->sgArticoli, Qt::Key_F8);
    }
    static void CompleteAll(W *w) {
        PickForAll(w, V::colCategoria, QStringLiteral("Libri"));
        PickForAll(w, V::colLuogo, QStringLiteral("Palestra"));
    }
    // OK, answered with the given answers to its messages.
    void Ok(W *w, QList<int> answers) {
        for (int answer : answers)
            messages->Push(TModalResult(answer));
        VoClick(w->buOk);
    }
    // Imports a source whole, its goods completed, confirming; the wizard closes.
    void ImportWhole(const char *className, int source) {
        OpenWizard(className);
        ToGoods(fm, source);
        CompleteAll(fm);
        Ok(fm, {mrOk});
        ASSERT_FALSE(fm->isVisible()) << messages->LastText().toStdString();
    }
    // Two copies of a window on one source, both completed: the first imports it, the second is refused.
    void ImportInTwoCopies(const char *className, int source) {
        for (W *w : {OpenWizard(className), OpenWizard(className)}) {
            ToGoods(w, source);
            CompleteAll(w);
        }
        Ok(fm, {mrOk});
        ASSERT_FALSE(fm->isVisible()) << messages->LastText().toStdString();
        messages->Clear();
        Ok(other, {mrOk, mrOk});
        EXPECT_EQ(messages->LastText(), QString::fromUtf8("Il buono selezionato è già stato importato"));
        EXPECT_TRUE(other->isVisible());
    }
    int Vouchers() const {
        return VoCountRows(QStringLiteral("SELECT IBBUOID FROM TBBUO_BUONI WHERE IDWGFACANFID = :y"),
                           {{QStringLiteral("y"), year2026}});
    }
    static QString Marker(int voucher) {
        return VoSelectValue(QStringLiteral("SELECT SFBUOUSE FROM TFBUO_BUONI WHERE IFBUOID = :i"),
                             {{QStringLiteral("i"), voucher}})
            .toString();
    }

    QPointer<W> fm;
    QPointer<W> other;
    int site = 0;
};

TEST_F(kvbImportsTest, EveryPieceIsOneRowWithItsExactPrice) {
    const int voucher = Source(4, QDate(2026, 3, 2));
    const int gym = VoTestSector(QStringLiteral("PAL"));
    const struct {
        const char *desc;
        double quantity, cost, vat;
        int sector;
    } rows[] = {{"NIENTE", 0, 10, 22, gym},
                {"UNO", 1, 10, 22, gym},
                {"TRE", 3, 0.3333, 10, 0},
                {"QUASI UNO", 1.4, 1, 0, gym},
                {"QUASI TRE", 2.6, 1, 4, gym}};
    for (const auto &r : rows)
        Row(voucher, QString::fromLatin1(r.desc), r.quantity, r.cost, r.vat, r.sector);
    OpenWizard();
    ToGoods(fm, voucher);
    const QString centre = QStringLiteral("%1|Sede centrale - Via Roma 1").arg(site);
    EXPECT_EQ(Rows(fm, {V::colDesc, V::colPrezzo, V::colSedeId, V::colSede, V::colLuogo}),
              (QStringList{"UNO|10|" + centre + "|Palestra", "TRE|0,3333|" + centre + "|",
                           "TRE|0,3333|" + centre + "|", "TRE|0,3333|" + centre + "|",
                           "QUASI UNO|1|" + centre + "|Palestra", "QUASI TRE|1|" + centre + "|Palestra",
                           "QUASI TRE|1|" + centre + "|Palestra", "QUASI TRE|1|" + centre + "|Palestra"}));
    // The titles the user sees, each at least as wide as given (wider where its values need it);
    // ids hidden.
    QStringList shown;
    const int given[] = {0, 0, 0, 50, 250, 50, 150, 150, 150, 0};
    for (int column = 0; column < V::colCount; ++column) {
        shown << (fm->sgArticoli->isColumnHidden(column)
                      ? QStringLiteral("-")
                      : fm->sgArticoli->horizontalHeaderItem(column)->text());
        EXPECT_GE(fm->sgArticoli->columnWidth(column), given[column]) << column;
    }
    EXPECT_EQ(shown, (QStringList{"-", "-", "-", "Codice", "Descrizione", "Prezzo", "Categoria", "Sede",
                                  "Luogo di Scarico", "-"}));
}

// An unloading row's cost is the average cost of the stock, which holds the VAT in a register of
// either flag: the good is worth what the consumables register handed out, no VAT added again.
TEST_F(kvbImportsTest, EachGoodIsWorthTheUnloadingCostWhicheverVatFlagTheRegisterHas) {
    const int rate = VoTestVatRate(22);
    const struct {
        int vatIncluded;
        double loadingCost;
    } registers[] = {{0, 100}, {1, 122}};
    for (const auto &r : registers) {
        SCOPED_TRACE(r.vatIncluded);
        VoTestSetRegisterOptions(VoTestRegister(), 1, r.vatIncluded);
        const int article = VoTestArticle(QStringLiteral("PROIETTORE"), 0, rate);
        VoTestRow(VoTestVoucher(0, QDate(2026, 2, 1), VoTestRegisterYear(2026)), article, 1, r.loadingCost);
        const double cost = VoTestStock(article, QDate(2026, 3, 2), VoTestRegisterYear(2026)).cost;
        const int voucher = Source(4 + r.vatIncluded, QDate(2026, 3, 2));
        VoTestRow(voucher, article, 1, cost, VoTestSector(QStringLiteral("PAL")));
        W *w = OpenWizard();
        ToGoods(w, voucher);
        EXPECT_EQ(Rows(w, {V::colPrezzo}), QStringList{"122"});
        CompleteAll(w);
        Ok(w, {mrOk});
        ASSERT_FALSE(w->isVisible()) << messages->LastText().toStdString();
        EXPECT_EQ(
            VoRowTexts(QStringLiteral("SELECT inb.IBINBIMPORTO || '|' || buo.IBBUOIMPORTO FROM "
                                      "TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID "
                                      "WHERE buo.SBBUODESC = :d"),
                       {{QStringLiteral("d"),
                         QStringLiteral("BUONO DI CARICO DA VELISTO (NUMERO %1)").arg(4 + r.vatIncluded)}}),
            QStringList{"1220000|1220000"});
    }
}

TEST_F(kvbImportsTest, ChecksGoRowByRowAndNothingIsWrittenUntilConfirmed) {
    SecondSite();
    const int voucher = Source(4, QDate(2026, 3, 2));
    Row(voucher, QStringLiteral("CON SETTORE"), 1, 10, 22, VoTestSector(QStringLiteral("SEG")));
    Row(voucher, QStringLiteral("SENZA SETTORE"), 1, 10, 22);
    OpenWizard();
    ToGoods(fm, voucher);
    EXPECT_EQ(Rows(fm, {V::colSedeId, V::colSede}), (QStringList{"|", "|"}));
    // Only the three completed columns take the focus, each enabling its own button.
    EXPECT_FALSE(fm->sgArticoli->SelectCell(V::colDesc, 1));
    for (int column : {V::colCategoria, V::colSede, V::colLuogo}) {
        ASSERT_TRUE(fm->sgArticoli->SelectCell(column, 1));
        for (int button : {V::colCategoria, V::colSede, V::colLuogo})
            EXPECT_EQ(fm->SameButton(button)->isEnabled(), button == column) << column << " " << button;
    }
    const struct {
        const char *message;
        int column;
        const char *pick;
    } steps[] = {{"categoria", V::colCategoria, "Libri"}, {"sede", V::colSede, "Succursale"}};
    for (const auto &step : steps) {
        Ok(fm, {mrOk});
        EXPECT_EQ(
            messages->LastText(),
            QStringLiteral("Compilare per tutti i beni il campo %1").arg(QString::fromLatin1(step.message)));
        PickForAll(fm, step.column, QString::fromLatin1(step.pick));
    }
    Ok(fm, {mrOk});
    EXPECT_EQ(messages->LastText(), QStringLiteral("Compilare per tutti i beni il campo settore"));
    PickForRow(fm, V::colLuogo, 2, QStringLiteral("Palestra"));
    // A cancelled search empties the cell; its id stays but the row is refused.
    PickForRow(fm, V::colCategoria, 1, QString());
    EXPECT_EQ(Rows(fm, {V::colCatId, V::colCategoria}),
              (QStringList{"8|", "8|Libri e materiale bibliografico"}));
    Ok(fm, {mrOk});
    EXPECT_EQ(messages->LastText(), QStringLiteral("Compilare per tutti i beni il campo categoria"));
    // A cancelled bulk search changes nothing.
    VoAnswerSearch(QString());
    VoClick(fm->SameButton(V::colCategoria));
    EXPECT_EQ(Rows(fm, {V::colCategoria}), (QStringList{"", "Libri e materiale bibliografico"}));
    PickForRow(fm, V::colCategoria, 1, QStringLiteral("Mobili"));
    messages->Clear();
    Ok(fm, {mrCancel});
    EXPECT_EQ(messages->Texts(),
              QStringList{"I beni verranno importati nel registro Inventario di prova  Anno: 2026"});
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(Vouchers(), 0);
    // Back and forth reads the rows anew.
    VoClick(fm->buPrior);
    VoClick(fm->buNext);
    EXPECT_EQ(Rows(fm, {V::colCategoria, V::colLuogo}), (QStringList{"|Segreteria", "|"}));
    VoClick(fm->buCancel);
    EXPECT_EQ(Vouchers(), 0);
    EXPECT_EQ(Marker(voucher), "BENDUR");
}

TEST_F(kvbImportsTest, ImportWritesOneProvisionalVoucherOfConsecutiveGoods) {
    // The source is dated before the last loading voucher: the new voucher may not precede it.
    const int earlier = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 1, 5), 5);
    VoTestGood(earlier, 41);
    VoTestGood(earlier, 9999999);
    const int listed = GoodsCode(8);
    const int unlisted = GoodsCode(1);
    const int voucher = Source(4, QDate(2026, 1, 2));
    Row(voucher, QStringLiteral("ATLANTE"), 2, 10, 22, 0, listed);
    Row(voucher, QStringLiteral("DIZIONARIO"), 1, 0.3335, 10, 0, unlisted);
    OpenWizard();
    ToGoods(fm, voucher);
    CompleteAll(fm);
    EXPECT_EQ(Rows(fm, {V::colPrezzo}), (QStringList{"10", "10", "0,3335"}));
    Ok(fm, {mrOk});
    ASSERT_FALSE(fm->isVisible()) << messages->LastText().toStdString();
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Creato il buono di carico numero 6 del 05/01/2026 con 3 beni.\r\nLa data di "
                             "origine 02/01/2026 non è ammessa dalle date del registro: il buono ha la prima "
                             "data ammessa."));
    const int gym = VoTestSector(QStringLiteral("PAL"));
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT IBBUONUMERO || '|' || DBBUODATA || '|' || SBBUODESC || '|' || "
                                  "IBBUOTIPO || '|' || ILOCKED || '|' || COALESCE(IMGMID, 'null') || '|' || "
                                  "COALESCE(IBENID, 'null') || '|' || IBBUOIMPORTO FROM TBBUO_BUONI WHERE "
                                  "IDWGFACANFID = :y AND IBBUOID <> :e"),
                   {{QStringLiteral("y"), year2026}, {QStringLiteral("e"), earlier}}),
        QStringList{"6|2026-01-05|BUONO DI CARICO DA VELISTO (NUMERO 4)|0|0|null|null|203335"});
    const QString tail = QStringLiteral("|8|2|1|%1|%2|2026|").arg(gym).arg(site);
    const QVariant entry =
        VoSelectValue(QStringLiteral("SELECT ICAEID FROM TCAE_CATEGMERCE WHERE ICAMID = 8 AND IMERID = :m"),
                      {{QStringLiteral("m"), listed}});
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT inb.IBINBNUMERO || '|' || inb.SBINBDESC || '|' || "
                                  "inb.IBINBIMPORTO || '|' || inb.ICAMID || '|' || inb.ICONDID || '|' || "
                                  "inb.IAVAID || '|' || inb.ISECID || '|' || inb.ISEDINFID || '|' || "
                                  "inb.IBINBANNOASSUNZ || '|' || COALESCE(inb.ICAEID, 'null') FROM "
                                  "TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID WHERE "
                                  "buo.SBBUODESC LIKE 'BUONO DI CARICO DA VELISTO%' ORDER BY 1"),
                   {}),
        (QStringList{"42|ATLANTE|100000" + tail + entry.toString(),
                     "43|ATLANTE|100000" + tail + entry.toString(), "44|DIZIONARIO|3335" + tail + "null"}));
    EXPECT_EQ(Marker(voucher), "BENDUR_IMP");
    OpenWizard();
    EXPECT_FALSE(other->xqcBuoni->Locate(QStringLiteral("IFBUOID"), voucher));
}

// The open "Carico beni" list shows the voucher an import has just made, without the user asking it to
// read again.
TEST_F(kvbImportsTest, TheOpenLoadingListShowsTheImportedVoucher) {
    const int before = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 1, 5), 5);
    QPointer<TfmkvbBuoni> loading = VoOpenWindow<TfmkvbBuoni>(QStringLiteral("TfmkvbBuoni"));
    ASSERT_TRUE(loading);
    ASSERT_EQ(loading->xqcMain->RecordCount(), 1);
    const int source = Source(4, QDate(2026, 3, 2));
    Row(source, QStringLiteral("ATLANTE"), 1, 10, 22);
    ImportWhole("TfmkvbImpVelist", source);
    const int made = VoSelectValue(QStringLiteral("SELECT IBBUOID FROM TBBUO_BUONI WHERE IDWGFACANFID = :y "
                                                  "AND IBBUOID <> :b"),
                                   {{QStringLiteral("y"), year2026}, {QStringLiteral("b"), before}})
                         .toInt();
    EXPECT_EQ(loading->xqcMain->RecordCount(), 2);
    EXPECT_EQ(loading->xqcMain->FieldByName(QStringLiteral("IBBUOID"))->AsInteger(), made);
    VoCloseWindow(loading);
}

TEST_F(kvbImportsTest, EachSearchIsTitledAfterTheColumnItFills) {
    const int voucher = Source(4, QDate(2026, 3, 2));
    Row(voucher, QStringLiteral("UNO"), 1, 10, 22);
    OpenWizard();
    ToGoods(fm, voucher);
    const std::pair<int, const char *> columns[] = {
        {V::colCategoria, "Categoria"}, {V::colSede, "Sede"}, {V::colLuogo, "Luogo di Scarico"}};
    for (const auto &[column, title] : columns) {
        QString seen;
        VoWhenModalOpens<TVoSearchDialog>([&seen](TVoSearchDialog *form) {
            seen = form->windowTitle();
            form->reject();
        });
        fm->SearchCell(column, 1);
        EXPECT_EQ(seen, QString::fromUtf8(title));
    }
}

TEST_F(kvbImportsTest, SourceWithoutPiecesRefusesOk) {
    const int voucher = Source(4, QDate(2026, 3, 2));
    Row(voucher, QStringLiteral("NIENTE"), 0.4, 10, 22);
    OpenWizard();
    ToGoods(fm, voucher);
    ASSERT_EQ(fm->sgArticoli->RowCount(), 2);
    CompleteAll(fm);
    Ok(fm, {mrOk});
    EXPECT_EQ(messages->Texts(), QStringList{"Nel buono selezionato non ci sono beni da importare"});
    EXPECT_EQ(Vouchers(), 0);
}

// OK on the list page judges the pieces of the voucher at the cursor, not the grid of another one
// (or of none) loaded before: the wizard turns to them and says what they still lack.
TEST_F(kvbImportsTest, OkOnTheListPageJudgesTheGoodsOfTheVoucherAtTheCursor) {
    const int one = Source(4, QDate(2026, 3, 2));
    Row(one, QStringLiteral("UNO"), 1, 10, 22);
    const int fifteen = Source(5, QDate(2026, 3, 3));
    Row(fifteen, QStringLiteral("QUINDICI"), 15, 10, 22);
    for (bool turnedBefore : {false, true}) {
        SCOPED_TRACE(turnedBefore);
        OpenWizard();
        if (turnedBefore) {
            ToGoods(fm, one);
            VoClick(fm->buPrior);
        }
        ASSERT_TRUE(fm->xqcBuoni->Locate(fm->xqcBuoni->Fields(0)->FieldName(), fifteen));
        Ok(fm, {});
        EXPECT_EQ(fm->pcMain->currentWidget(), fm->tbArticoli);
        EXPECT_EQ(Rows(fm, {V::colDesc}), QStringList(15, QStringLiteral("QUINDICI")));
        EXPECT_EQ(messages->Texts(), QStringList{"Compilare per tutti i beni il campo categoria"});
        EXPECT_EQ(Vouchers(), 0);
        VoCloseWindow(fm);
        fm = nullptr;
        messages->Clear();
    }
}

TEST_F(kvbImportsTest, FailureAtTheLastGoodWritesNothingAndKeepsTheSourceOffered) {
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_TEST_BINB 'Bene rifiutato'"));
    VoExecRaw(QStringLiteral("CREATE TRIGGER T_TEST_BINB FOR TBINB_BENI BEFORE INSERT AS BEGIN IF "
                             "(NEW.SBINBDESC = 'ULTIMO') THEN EXCEPTION E_TEST_BINB; END"));
    const int voucher = Source(4, QDate(2026, 3, 2));
    Row(voucher, QStringLiteral("PRIMO"), 2, 10, 22);
    Row(voucher, QStringLiteral("ULTIMO"), 1, 10, 22);
    OpenWizard();
    ToGoods(fm, voucher);
    CompleteAll(fm);
    Ok(fm, {mrOk, mrOk});
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("Bene rifiutato")))
        << messages->LastText().toStdString();
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(fm->sgArticoli->RowCount(), 4);
    EXPECT_EQ(Vouchers(), 0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IBINBID FROM TBINB_BENI WHERE SBINBDESC = 'PRIMO'")), 0);
    EXPECT_EQ(Marker(voucher), "BENDUR");
}

TEST_F(kvbImportsTest, AnnullaHalfWayWritesNothingAndKeepsTheWizardOnItsRows) {
    const int voucher = Source(4, QDate(2026, 3, 2));
    Row(voucher, QStringLiteral("PRIMO"), 2, 10, 22);
    Row(voucher, QStringLiteral("ULTIMO"), 1, 10, 22);
    const auto everything = [] {
        return VoRowTexts(QStringLiteral("SELECT * FROM TBBUO_BUONI ORDER BY IBBUOID")) +
               VoRowTexts(QStringLiteral("SELECT * FROM TBINB_BENI ORDER BY IBINBID"));
    };
    const QStringList before = everything();
    OpenWizard();
    ToGoods(fm, voucher);
    CompleteAll(fm);
    {
        // The user presses "Annulla" once the first of the three goods is written.
        TVoPressAnnulla annulla(2);
        Ok(fm, {mrOk});
        EXPECT_EQ(annulla.Counts(), (QStringList{"1 di 3", "2 di 3"}));
    }
    EXPECT_TRUE(messages->LastText().startsWith(QStringLiteral("I beni verranno importati nel registro")))
        << messages->LastText().toStdString();
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(fm->sgArticoli->RowCount(), 4);
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(Marker(voucher), "BENDUR");
}

TEST_F(kvbImportsTest, SecondCopyFindsTheSourceTakenAndWritesNothing) {
    const int beneficiary =
        VoSelectValue(QStringLiteral("SELECT FIRST 1 IBENID FROM TBEN_BENEFICIARI")).toInt();
    const int voucher = Source(4, QDate(2026, 3, 2), beneficiary);
    Row(voucher, QStringLiteral("PROIETTORE"), 1, 10, 22);
    ImportInTwoCopies("TfmkvbImpVelist", voucher);
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT IBENID FROM TBBUO_BUONI WHERE IDWGFACANFID = :y"),
                         {{QStringLiteral("y"), year2026}}),
              QStringList{QString::number(beneficiary)});
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IBINBID FROM TBINB_BENI WHERE SBINBDESC = 'PROIETTORE'")),
              1);
}

// --- Warehouse issues ------------------------------------------------------------------------------------

class kvbImpMagTest : public kvbImportsTest {
protected:
    void SetUp() override {
        kvbImportsTest::SetUp();
        vat = VoTestVatRate(22);
    }
    // A warehouse article of a goods code, with an initial unit cost (none when negative).
    static int Article(const QString &desc, int merId = 0, qint64 initialCost = -1) {
        return VoTestWarehouseArticle(desc, merId, 1, initialCost);
    }
    static void SetRow(int row, const char *column, const QVariant &value) {
        VoExecSQL(QStringLiteral("UPDATE TMGMART SET %1 = :v WHERE IMGMARTID = :i")
                      .arg(QString::fromLatin1(column)),
                  {{QStringLiteral("v"), value}, {QStringLiteral("i"), row}});
    }
    static int Minute(const QString &number) {
        const int minute = VoTestNewKey(QStringLiteral("TVER_VERBALI"));
        VoExecSQL(QStringLiteral("INSERT INTO TVER_VERBALI (IVERID, SVERNUMERO) VALUES (:i, :n)"),
                  {{QStringLiteral("i"), minute}, {QStringLiteral("n"), number}});
        return minute;
    }
    static void AttachMinute(int movementRow, int minute) {
        VoExecSQL(
            QStringLiteral("INSERT INTO TMGMARTVER (IMGMARTVERID, IMGMARTID, IVERID) VALUES (:i, :r, :v)"),
            {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TMGMARTVER"))},
             {QStringLiteral("r"), movementRow},
             {QStringLiteral("v"), minute}});
    }
    static int DemoIssue() {
        return VoSelectValue(
                   QStringLiteral("SELECT IMGMID FROM TMGM_MOVMAGAZZINO WHERE SMGMCOD = 'S-2026-014'"))
            .toInt();
    }
    int vat = 0;
};

TEST_F(kvbImpMagTest, EveryRowIsPricedOnItsOwnRule) {
    const int load = VoTestMovement(1, QDate(2026, 2, 1), QStringLiteral("C1"));
    const int linked = Article(QStringLiteral("A COLLEGATO"));
    const int average = Article(QStringLiteral("B MEDIA"), 0, 7000);
    const int noAverage = Article(QStringLiteral("C SENZA MEDIA"), 0, 7000);
    const int initial = Article(QStringLiteral("D INIZIALE"), 0, 7000);
    const int nothing = Article(QStringLiteral("E NULLA"));
    const int linkedRow = VoTestMovementRow(load, linked, 5, 100000, vat);
    VoTestMovementRow(VoTestMovement(1, QDate(2026, 1, 10), QStringLiteral("C0")), average, 1, 0, vat, 20000);
    VoTestMovementRow(load, average, 1, 0, vat, 25000);
    VoTestMovementRow(VoTestMovement(1, QDate(2026, 4, 10), QStringLiteral("C9")), average, 1, 0, vat, 99000);
    VoTestMovementRow(load, noAverage, 1, 0, vat);
    const int issue = VoTestMovement(16, QDate(2026, 3, 1), QStringLiteral("S-1"), load);
    VoTestMovementRow(issue, linked, 2, 0, vat, -1, linkedRow);
    for (int article : {average, noAverage, initial, nothing})
        VoTestMovementRow(issue, article, 1, 0, vat);
    VoTestMovementRow(VoTestMovement(16, QDate(2026, 3, 2), QStringLiteral("S-2")), nothing, 1, 0, vat);
    VoTestMovementRow(VoTestMovement(16, QDate(2025, 3, 2), QStringLiteral("S-3"), 0, 0, 2025), nothing, 1, 0,
                      vat);
    OpenWizard("TfmkvbImpMag");
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Importa da buono di scarico del magazzino"));
    QStringList codes;
    for (fm->xqcBuoni->First(); !fm->xqcBuoni->Eof(); fm->xqcBuoni->Next())
        codes << fm->xqcBuoni->FieldByName(QStringLiteral("SMGMCOD"))->AsString();
    EXPECT_EQ(codes, (QStringList{"S-2026-014", "S-2", "S-1"}));
    ToGoods(fm, issue);
    EXPECT_EQ(Rows(fm, {M::colDesc, M::colPrezzo}),
              (QStringList{"A COLLEGATO|12,2", "A COLLEGATO|12,2", "B MEDIA|2,5", "C SENZA MEDIA|0,7",
                           "D INIZIALE|0,7", "E NULLA|0"}));
    for (int column : {M::colMgmArtId, M::colNote})
        EXPECT_TRUE(fm->sgArticoli->isColumnHidden(column));
    // The demo's issue: a toner from its load, with VAT, and two chairs at their initial cost.
    VoClick(fm->buPrior);
    ToGoods(fm, DemoIssue());
    EXPECT_EQ(
        Rows(fm, {M::colDesc, M::colPrezzo, M::colLuogo}),
        (QStringList{"TONER NERO STAMPANTE UFFICIO|54,9|Segreteria",
                     "SEDIA DA UFFICIO GIREVOLE|85|Segreteria", "SEDIA DA UFFICIO GIREVOLE|85|Segreteria"}));
}

TEST_F(kvbImpMagTest, ImportCarriesDocumentsNotesBookTitlesAndMinutesOnce) {
    const int supplier = VoSelectValue(QStringLiteral("SELECT FIRST 1 IBENID FROM TBEN_BENEFICIARI")).toInt();
    const int load = VoTestMovement(1, QDate(2026, 2, 1), QStringLiteral("C1"), 0, supplier);
    for (const char *number : {"F1", "F2"})
        VoExecSQL(QStringLiteral("INSERT INTO TMGMIDC (IMGMIDCID, IMGMID, IIDCID) VALUES (:i, :m, :d)"),
                  {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TMGMIDC"))},
                   {QStringLiteral("m"), load},
                   {QStringLiteral("d"), VoTestDocument(QString::fromLatin1(number), QDate(2026, 2, 1))}});
    const int listed = GoodsCode(8);
    const int atlas = Article(QStringLiteral("ATLANTE"), listed);
    const int first = VoTestMovementRow(load, atlas, 5, 100000, vat);
    const int second = VoTestMovementRow(load, atlas, 5, 100000, vat);
    const int testing = Minute(QStringLiteral("7/2026")), delivery = Minute(QStringLiteral("8/2026"));
    AttachMinute(first, testing);
    AttachMinute(second, testing);
    AttachMinute(second, delivery);
    const int issue = VoTestMovement(16, QDate(2026, 3, 1), QStringLiteral("S-7"), load);
    const int atlasRow = VoTestMovementRow(issue, atlas, 2, 0, vat, -1, first);
    SetRow(atlasRow, "BMGMARTNOTE", QString(300, QLatin1Char('n')));
    SetRow(atlasRow, "ISECID", VoTestSector(QStringLiteral("SEG")));
    VoTestMovementRow(issue, Article(QStringLiteral("LEGGIO"), 0, 30000), 1, 0, vat);
    ImportWhole("TfmkvbImpMag", issue);
    const QVariantHash movement{{QStringLiteral("m"), issue}};
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                             "SELECT IBBUONUMERO || '|' || DBBUODATA || '|' || SBBUODESC || '|' || IBENID "
                             "|| '|' || IBBUOIMPORTO FROM TBBUO_BUONI WHERE IMGMID = :m"),
                         movement),
              QStringList{QStringLiteral("1|2026-03-01|BUONO DI CARICO DA MAGAZZINO (SCARICO DEL MAGAZZINO "
                                         "NUMERO S-7)|%1|274000")
                              .arg(supplier)});
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT idc.IBBUOIDCID FROM TBBUOIDC idc JOIN TBBUO_BUONI buo ON "
                                         "buo.IBBUOID = idc.IBBUOID WHERE buo.IMGMID = :m"),
                          movement),
              2);
    const QString note(255, QLatin1Char('n'));
    const QString entry =
        VoSelectValue(QStringLiteral("SELECT ICAEID FROM TCAE_CATEGMERCE WHERE ICAMID = 8 AND "
                                     "IMERID = :m"),
                      {{QStringLiteral("m"), listed}})
            .toString();
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                             "SELECT inb.IBINBNUMERO || '|' || inb.SBINBDESC || '|' || inb.IBINBIMPORTO "
                             "|| '|' || COALESCE(inb.SBINBNOTE, '') || '|' || inb.SBINBLIBTITOLO || '|' || "
                             "COALESCE(inb.ICAEID, 'null') || '|' || COALESCE((SELECT COUNT(*) || ':' || "
                             "MIN(ver.SVERNUMERO) || ',' || MAX(ver.SVERNUMERO) FROM TBINBVER bv JOIN "
                             "TVER_VERBALI ver ON "
                             "ver.IVERID = bv.IVERID WHERE bv.IBINBID = inb.IBINBID), '') FROM "
                             "TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID WHERE "
                             "buo.IMGMID = :m ORDER BY 1"),
                         movement),
              (QStringList{"1|ATLANTE|122000|" + note + "|ATLANTE|" + entry + "|2:7/2026,8/2026",
                           "2|ATLANTE|122000|" + note + "|ATLANTE|" + entry + "|2:7/2026,8/2026",
                           "3|LEGGIO|30000||LEGGIO|null|"}));
    OpenWizard("TfmkvbImpMag");
    EXPECT_FALSE(other->xqcBuoni->Locate(QStringLiteral("IMGMID"), issue));
}

TEST_F(kvbImpMagTest, AnIssueDatedBeforeTheLastVoucherTakesTheEarliestDateTheRegisterAccepts) {
    VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 12, 31), 4);
    const int issue = VoTestMovement(16, QDate(2026, 3, 12), QStringLiteral("S-8"));
    VoTestMovementRow(issue, Article(QStringLiteral("LEGGIO"), 0, 30000), 1, 0, vat);
    ImportWhole("TfmkvbImpMag", issue);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Creato il buono di carico numero 5 del 31/12/2026 con 1 bene.\r\nLa data di "
                             "origine 12/03/2026 non è ammessa dalle date del registro: il buono ha la prima "
                             "data ammessa."));
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT IBBUONUMERO || '|' || DBBUODATA FROM TBBUO_BUONI WHERE "
                                        "IDWGFACANFID = :y ORDER BY IBBUONUMERO"),
                         {{QStringLiteral("y"), year2026}}),
              (QStringList{"4|2026-12-31", "5|2026-12-31"}));
}

TEST_F(kvbImpMagTest, SecondCopyFindsTheMovementTakenAndWritesNothing) {
    const int issue = DemoIssue();
    ImportInTwoCopies("TfmkvbImpMag", issue);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IBBUOID FROM TBBUO_BUONI WHERE IMGMID = :m"),
                          {{QStringLiteral("m"), issue}}),
              1);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IBINBID FROM TBINB_BENI WHERE SBINBDESC LIKE 'SEDIA%'")), 2);
}

} // namespace
