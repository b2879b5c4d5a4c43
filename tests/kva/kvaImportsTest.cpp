// Goods handed over by the durable-goods program and the inventory registers, taken into the
// consumables register through the import wizard on a real database.
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoStringGrid.h"
#include "VoTestData.h"
#include "VoTestImports.h"
#include "VoTestRegisters.h"
#include "VoTestWindows.h"
#include "kvaFImpBenDur.h"
#include "kvaFImpMag.h"

#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using G = TfmKvaImpBenDur;

class kvaImportsTest : public kvaWindowTest {
protected:
    void SetUp() override {
        kvaWindowTest::SetUp();
        UseRegister(0);
        entry = VoTestGoodsEntry(QStringLiteral("Carta per fotocopie"), 1, &merId);
    }
    // A register of its own that loads amounts with or without VAT, chosen for 2026.
    void UseRegister(int vatIncluded) {
        const TVoTestRegister reg = MakeRegister(QStringLiteral("Registro import"), 1, 1, vatIncluded);
        registerYear = OpenRegisterYear(reg.schoolRegId, 2026);
        ChooseRegisterYear(registerYear);
    }
    void OpenWizard(bool inventory = false) {
        fm = inventory ? Open<G>(QStringLiteral("TfmKvaImpInv")) : Open<G>(QStringLiteral("TfmKvaImpBenDur"));
        ASSERT_TRUE(fm);
        wizard = fm;
    }
    // Stands on a voucher of the list and turns to the goods page.
    void ToGoods(int voucherId) {
        ASSERT_TRUE(fm->xqcBuoni->Locate(fm->xqcBuoni->Fields(0)->FieldName(), voucherId));
        VoClick(fm->buNext);
    }
    int Rows() const { return fm->sgArticoli->RowCount() - 1; }
    QString Cell(int column, int row) const { return fm->sgArticoli->Cells(column, row); }
    void PickForAll(int column, const QString &text) {
        ASSERT_TRUE(wizard->sgArticoli->SelectCell(column, 1));
        ASSERT_TRUE(wizard->SameButton(column)->isEnabled());
        VoAnswerSearch(text);
        VoClick(wizard->SameButton(column));
    }
    void PickForRow(int column, int row, const QString &text) {
        ASSERT_TRUE(wizard->sgArticoli->SelectCell(column, row));
        VoAnswerSearch(text);
        QTest::keyClick(wizard->sgArticoli, Qt::Key_F8);
    }
    void CompleteAll() {
        PickForAll(G::colIva, QStringLiteral("22"));
        PickForAll(G::colSede, QStringLiteral("Sede centrale"));
    }
    void Ok() {
        messages->Push(mrOk);
        VoClick(fm->buOk);
    }
    int Vouchers() const {
        return VoCountRows(QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE IDWGFACANFID = :y"),
                           {{QStringLiteral("y"), registerYear}});
    }
    QString Marker(int voucherId) const {
        return VoSelectValue(QStringLiteral("SELECT SBBUOAPPLSCARICO FROM TBBUO_BUONI WHERE IBBUOID = :i"),
                             {{QStringLiteral("i"), voucherId}})
            .toString();
    }
    TVoTestHandedGood Good(const QString &desc, qint64 amount) const {
        TVoTestHandedGood good;
        good.desc = desc;
        good.amount = amount;
        good.entry = entry;
        return good;
    }

    G *fm = nullptr;
    TfmKvaImpWizard *wizard = nullptr;
    int registerYear = 0;
    int entry = 0;
    int merId = 0;
};

TEST_F(kvaImportsTest, GoodsGroupOnTheirKeysWithExactPrices) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 12345));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 12345));
    TVoTestHandedGood noted = Good(QStringLiteral("RISMA A4"), 12345);
    noted.note = QStringLiteral("rovinata");
    VoTestHandedGood(false, voucher, noted);
    VoTestHandedGood(false, voucher, Good(QString(), 50000));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("TONER"), -20000));
    OpenWizard();
    ToGoods(voucher);
    ASSERT_EQ(Rows(), 4);
    QMap<QString, QStringList> rows;
    for (int row = 1; row <= Rows(); ++row)
        rows[Cell(G::colDesc, row) + QLatin1Char('/') + Cell(G::colNote, row)] =
            QStringList{Cell(G::colQuantita, row), Cell(G::colPrezzo, row), Cell(G::colCategoria, row),
                        Cell(G::colMerce, row)};
    EXPECT_EQ(rows.value(QStringLiteral("RISMA A4/")),
              (QStringList{"2", "1,2345", "Cancelleria", "Carta per fotocopie"}));
    EXPECT_EQ(rows.value(QStringLiteral("RISMA A4/rovinata")).value(0), "1");
    EXPECT_EQ(rows.value(QStringLiteral("/")).value(0), "0");
    EXPECT_EQ(rows.value(QStringLiteral("TONER/")).value(1), "0");
}

TEST_F(kvaImportsTest, ImportWritesOneVoucherAndMarksTheSource) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 1220000));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 1220000));
    TVoTestHandedGood book = Good(QStringLiteral("I PROMESSI SPOSI"), 150000);
    book.title = QStringLiteral("I promessi sposi");
    book.author = QStringLiteral("Manzoni");
    book.publisher = QStringLiteral("Einaudi");
    book.entry = VoTestGoodsEntry(QStringLiteral("Narrativa"), 5);
    VoTestHandedGood(false, voucher, book);
    OpenWizard();
    ToGoods(voucher);
    CompleteAll();
    Ok();
    EXPECT_EQ(messages->Texts(),
              QStringList{"I beni verranno importati nel Velisto Registro import  Anno: 2026"});
    ASSERT_FALSE(fm->isVisible());
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT SFBUODESC || '|' || DFBUODATA || '|' || IFBUOTIPO FROM TFBUO_BUONI "
                                  "WHERE IDWGFACANFID = :y"),
                   {{QStringLiteral("y"), registerYear}}),
        QStringList{"BUONO DI CARICO DA BENI DUREVOLI (SCARICO NUMERO 4)|2026-03-02|0"});
    // 122 at 22% in a register that loads net amounts.
    EXPECT_EQ(
        VoRowTexts(
            QStringLiteral("SELECT far.SFARLDESC || '|' || afc.FAFCQUANTITA || '|' || afc.FAFCCOSTOUNIT "
                           "|| '|' || afc.IVPROID || '|' || afc.ICAVID || '|' || afc.ICONDID || '|' || "
                           "COALESCE(afc.ISECID, 'null') FROM TAFC_ARTVELIST afc JOIN TFAR_FACARTICOLI far "
                           "ON far.IFARID = afc.IFARID JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID "
                           "WHERE buo.IDWGFACANFID = :y ORDER BY 1"),
            {{QStringLiteral("y"), registerYear}}),
        (QStringList{"I PROMESSI SPOSI - MANZONI - EINAUDI|1.000000000000000|12.29508196721311|30|1|2|null",
                     "RISMA A4|2.000000000000000|100.0000000000000|30|1|2|null"}));
    EXPECT_EQ(Marker(voucher), "VELIST_IMP");
    OpenWizard();
    EXPECT_TRUE(fm->xqcBuoni->IsEmpty());
}

TEST_F(kvaImportsTest, VatIncludedRegisterKeepsThePrice) {
    UseRegister(1);
    const int voucher = VoTestMarkedVoucher(false, 5, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A3"), 1220000));
    OpenWizard();
    ToGoods(voucher);
    CompleteAll();
    Ok();
    EXPECT_EQ(VoSelectValue(
                  QStringLiteral("SELECT afc.FAFCCOSTOUNIT FROM TAFC_ARTVELIST afc JOIN TFBUO_BUONI buo ON "
                                 "buo.IFBUOID = afc.IFBUOID WHERE buo.IDWGFACANFID = :y"),
                  {{QStringLiteral("y"), registerYear}})
                  .toDouble(),
              122.0);
}

TEST_F(kvaImportsTest, InventoryVoucherIsTakenOverLikewise) {
    const int voucher = VoTestMarkedVoucher(true, 7, QDate(2026, 4, 1));
    VoTestHandedGood(true, voucher, Good(QStringLiteral("LAVAGNA"), 300000));
    OpenWizard(true);
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Importa da buono di scarico dell'inventario"));
    // This voucher and the demo data's one.
    EXPECT_EQ(fm->sgBuoni->model()->rowCount(), 2);
    ToGoods(voucher);
    CompleteAll();
    Ok();
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT SFBUODESC FROM TFBUO_BUONI WHERE IDWGFACANFID = :y"),
                         {{QStringLiteral("y"), registerYear}}),
              QStringList{"BUONO DI CARICO DA INVENTARIO (SCARICO NUMERO 7)"});
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SBUOAPPLSCARICO FROM TBUO_BUONI WHERE IBUOID = :i"),
                            {{QStringLiteral("i"), voucher}})
                  .toString(),
              "VELIST_IMP");
}

TEST_F(kvaImportsTest, HeaderIsNotDatedBeforeAnEarlierLoadingVoucher) {
    VoTestVoucher(0, QDate(2026, 5, 10), registerYear, 1);
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 10000));
    OpenWizard();
    ToGoods(voucher);
    CompleteAll();
    Ok();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT DFBUODATA FROM TFBUO_BUONI WHERE IFBUONUMERO = 2 AND "
                                           "IDWGFACANFID = :y"),
                            {{QStringLiteral("y"), registerYear}})
                  .toDate(),
              QDate(2026, 5, 10));
}

TEST_F(kvaImportsTest, UnclassifiedCodesSendTheUserToTheClassification) {
    const int loose = VoTestGoodsEntry(QStringLiteral("Arredi vari"), 0);
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    for (int i = 0; i < 2; ++i) {
        TVoTestHandedGood good = Good(QStringLiteral("SEDIA"), 10000);
        good.entry = loose;
        VoTestHandedGood(false, voucher, good);
    }
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA"), 10000));
    OpenWizard();
    messages->Push(mrOk);
    ToGoods(voucher);
    EXPECT_EQ(
        messages->Texts(),
        QStringList{"I seguenti codici non sono associati a nessuna categoria di Velisto\r\nArredi vari\r\n"
                    "Arredi vari"});
    EXPECT_FALSE(fm->isVisible());
    QWidget *classification = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("TfmCategMerce") && w->isVisible())
            classification = w;
    ASSERT_TRUE(classification);
    VoCloseWindow(classification);
    EXPECT_EQ(Vouchers(), 0);
}

TEST_F(kvaImportsTest, CompletenessIsCheckedInOrder) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 10000));
    OpenWizard();
    ToGoods(voucher);
    const auto refused = [this] {
        messages->Push(mrOk);
        VoClick(fm->buOk);
        return messages->Texts().takeLast();
    };
    EXPECT_EQ(refused(), "Compilare per tutti i beni il campo iva");
    PickForAll(G::colIva, QStringLiteral("22"));
    PickForRow(G::colCategoria, 1, QString());
    EXPECT_EQ(Cell(G::colMerce, 1), QString());
    EXPECT_EQ(refused(), "Compilare per tutti i beni il campo categoria");
    PickForRow(G::colCategoria, 1, QStringLiteral("Cancelleria"));
    EXPECT_EQ(refused(), "Compilare per tutti i beni il campo codice merceologico");
    PickForAll(G::colMerce, QStringLiteral("Carta per fotocopie"));
    PickForRow(G::colSede, 1, QString());
    EXPECT_EQ(refused(), "Compilare per tutti i beni il campo sede");
    EXPECT_EQ(Vouchers(), 0);
    EXPECT_TRUE(fm->isVisible());
}

TEST_F(kvaImportsTest, CategoryChangeEmptiesTheGoodsCodeAndSameCodeNeedsOneCategory) {
    const int other = VoTestGoodsEntry(QStringLiteral("Detersivi"), 2);
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 10000));
    TVoTestHandedGood soap = Good(QStringLiteral("SAPONE"), 10000);
    soap.entry = other;
    VoTestHandedGood(false, voucher, soap);
    OpenWizard();
    ToGoods(voucher);
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colMerce, 1));
    messages->Push(mrOk);
    VoClick(fm->SameButton(G::colMerce));
    EXPECT_EQ(messages->Texts(), QStringList{QString::fromUtf8(
                                     "Funzione disponibile solo se la categoria è impostata uguale per tutti "
                                     "gli articoli.")});
    PickForAll(G::colCategoria, QStringLiteral("Cancelleria"));
    QStringList codes;
    for (int row = 1; row <= Rows(); ++row)
        codes << Cell(G::colDesc, row) + QLatin1Char('=') + Cell(G::colMerce, row);
    codes.sort();
    EXPECT_EQ(codes, (QStringList{"RISMA A4=Carta per fotocopie", "SAPONE="}));
    PickForAll(G::colMerce, QStringLiteral("Carta per fotocopie"));
    for (int row = 1; row <= Rows(); ++row)
        EXPECT_EQ(Cell(G::colMerId, row), QString::number(merId));
}

TEST_F(kvaImportsTest, GoodsCodeSearchOfARowWithoutCategoryListsNothing) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 10000));
    OpenWizard();
    ToGoods(voucher);
    PickForRow(G::colCategoria, 1, QString());
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colMerce, 1));
    int listed = -1;
    VoWhenModalOpens<TVoSearchDialog>([&listed](TVoSearchDialog *form) {
        listed = form->RowCount();
        form->reject();
    });
    QTest::keyClick(fm->sgArticoli, Qt::Key_F8);
    EXPECT_EQ(listed, 0);
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaImportsTest, SourceTakenMeanwhileWritesNothing) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 10000));
    OpenWizard();
    ToGoods(voucher);
    CompleteAll();
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET SBBUOAPPLSCARICO = 'VELIST_IMP' WHERE IBBUOID = :i"),
              {{QStringLiteral("i"), voucher}});
    messages->Push({mrOk, mrOk});
    VoClick(fm->buOk);
    EXPECT_EQ(messages->Texts().value(1), QString::fromUtf8("Il buono selezionato è già stato importato"));
    EXPECT_EQ(Vouchers(), 0);
}

TEST_F(kvaImportsTest, FailingRowWritesNothingAndKeepsTheSourceOffered) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 10000));
    // Longer than an article's description may be: its insert fails after the header is written.
    VoTestHandedGood(false, voucher, Good(QString(450, QLatin1Char('X')), 10000));
    OpenWizard();
    ToGoods(voucher);
    CompleteAll();
    messages->Push({mrOk, mrOk});
    VoClick(fm->buOk);
    EXPECT_EQ(messages->Texts().size(), 2);
    EXPECT_EQ(Vouchers(), 0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARLDESC = 'RISMA A4'")),
              0);
    EXPECT_EQ(Marker(voucher), "VELIST");
    EXPECT_TRUE(fm->isVisible());
}

// A good dearer than a loading row's cost may be (150.000,00 with its VAT, 122.950,82 without) is
// refused by name, with nothing of the import written, not even the goods within the bounds.
TEST_F(kvaImportsTest, AGoodBeyondWhatARowMayCostIsRefusedByNameAndNothingWritten) {
    const int voucher = VoTestMarkedVoucher(false, 4, QDate(2026, 3, 2));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("RISMA A4"), 1219999756));
    VoTestHandedGood(false, voucher, Good(QStringLiteral("LAVAGNA"), 1500000000));
    OpenWizard();
    ToGoods(voucher);
    CompleteAll();
    messages->Push({mrOk, mrOk});
    VoClick(fm->buOk);
    EXPECT_EQ(messages->Texts().value(1),
              QString::fromUtf8("Attenzione ! \r\nBuono di scarico numero 4, articolo \"LAVAGNA\": il campo "
                                "\"Costo unitario\" non può superare 99.999,99. Nulla è stato registrato. "));
    EXPECT_EQ(Vouchers(), 0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARLDESC = 'RISMA A4'")),
              0);
    EXPECT_EQ(Marker(voucher), "VELIST");
    EXPECT_TRUE(fm->isVisible());
}

// --- Warehouse issues --------------------------------------------------------------------------------

using M = TfmKvaImpMag;

class kvaImpMagTest : public kvaImportsTest {
protected:
    void SetUp() override {
        kvaImportsTest::SetUp();
        // The demo's own issue is not in the way of the movements made here.
        VoExecSQL(QStringLiteral("UPDATE TMGM_MOVMAGAZZINO SET ITBUID = 1"));
        vat = VoTestVatRate(22);
    }
    // Opens the wizard anew, closing the one a step of the test opened before.
    void OpenMag() {
        VoCloseWindow(window);
        fm = nullptr;
        mag = Open<M>(QStringLiteral("TfmkvaImpMag"));
        ASSERT_TRUE(mag);
        wizard = mag;
    }
    void ToRows(int movement) {
        ASSERT_TRUE(mag->xqcBuoni->Locate(QStringLiteral("IMGMID"), movement));
        VoClick(mag->buNext);
    }
    // Description, quantity and price of each grid row, sorted.
    QStringList Shown() const {
        QStringList rows;
        for (int row = 1; row < mag->sgArticoli->RowCount(); ++row)
            rows << mag->sgArticoli->Cells(M::colDesc, row) + QLatin1Char('|') +
                        mag->sgArticoli->Cells(M::colQuantita, row) + QLatin1Char('|') +
                        mag->sgArticoli->Cells(M::colPrezzo, row);
        rows.sort();
        return rows;
    }
    M *mag = nullptr;
    int vat = 0;
};

TEST_F(kvaImpMagTest, LinkedRowsTakeTheLoadPriceWithItsVatInLoadingUnitsTheOthersTheFallback) {
    UseRegister(1);
    const int load = VoTestMovement(1, QDate(2026, 2, 1), QStringLiteral("C1"));
    const int pens = VoTestWarehouseArticle(QStringLiteral("PENNE"), merId, 12);
    const int toner = VoTestWarehouseArticle(QStringLiteral("TONER"), merId, 0);
    const int paper = VoTestWarehouseArticle(QStringLiteral("CARTA"), merId, QVariant());
    const int pensRow = VoTestMovementRow(load, pens, 48, 10000, vat);
    const int tonerRow = VoTestMovementRow(load, toner, 5, 500000, vat);
    const int paperRow = VoTestMovementRow(load, paper, 5, -10000, vat);
    const int issue = VoTestMovement(9, QDate(2026, 3, 1), QStringLiteral("S1"), load);
    VoTestMovementRow(issue, pens, 24, 0, vat, -1, pensRow);
    VoTestMovementRow(issue, toner, 3, 0, vat, -1, tonerRow);
    VoTestMovementRow(issue, paper, -2, 0, vat, -1, paperRow);
    // A row of no load row, beside them, takes the fallback price without VAT.
    VoTestMovementRow(issue, VoTestWarehouseArticle(QStringLiteral("DIARIO"), merId, 1, 7000), 1, 0, vat);
    OpenMag();
    ToRows(issue);
    EXPECT_EQ(Shown(), (QStringList{"CARTA|0|0", "DIARIO|1|0,7", "PENNE|2|1,22", "TONER|3|61"}));
}

TEST_F(kvaImpMagTest, UnlinkedRowsTakeTheLatestEarlierLoadElseTheInitialCost) {
    UseRegister(1);
    const int average = VoTestWarehouseArticle(QStringLiteral("A MEDIA"), merId, 1, 7000);
    const int initial = VoTestWarehouseArticle(QStringLiteral("B INIZIALE"), merId, 1, 7000);
    const int nothing = VoTestWarehouseArticle(QStringLiteral("C NULLA"), merId, 1);
    VoTestMovementRow(VoTestMovement(1, QDate(2026, 1, 10), QStringLiteral("C1")), average, 1, 0, vat, 20000);
    VoTestMovementRow(VoTestMovement(1, QDate(2026, 2, 10), QStringLiteral("C2")), average, 1, 0, vat, 25000);
    VoTestMovementRow(VoTestMovement(1, QDate(2026, 4, 10), QStringLiteral("C3")), initial, 1, 0, vat, 99000);
    const int issue = VoTestMovement(9, QDate(2026, 3, 1), QStringLiteral("S1"));
    for (int article : {average, initial, nothing})
        VoTestMovementRow(issue, article, 1, 0, vat);
    OpenMag();
    ToRows(issue);
    EXPECT_EQ(Shown(), (QStringList{"A MEDIA|1|2,5", "B INIZIALE|1|0,7", "C NULLA|1|0"}));
}

TEST_F(kvaImpMagTest, ImportCarriesTheMovementAndCopiesTheLoadDocuments) {
    const int supplier = VoSelectValue(QStringLiteral("SELECT FIRST 1 IBENID FROM TBEN_BENEFICIARI")).toInt();
    const int load = VoTestMovement(1, QDate(2026, 2, 1), QStringLiteral("C1"), 0, supplier);
    for (int i = 0; i < 2; ++i)
        VoExecSQL(QStringLiteral("INSERT INTO TMGMIDC (IMGMIDCID, IMGMID, IIDCID) VALUES (:i, :m, :d)"),
                  {{QStringLiteral("i"), VoTestNewKey(QStringLiteral("TMGMIDC"))},
                   {QStringLiteral("m"), load},
                   {QStringLiteral("d"), VoTestDocument(QStringLiteral("F%1").arg(i), QDate(2026, 2, 1))}});
    const int pens = VoTestWarehouseArticle(QStringLiteral("PENNE ROSSE"), merId, 1);
    const int pensRow = VoTestMovementRow(load, pens, 10, 10000, vat);
    const int issue = VoTestMovement(9, QDate(2026, 3, 1), QStringLiteral("S-7"), load);
    VoTestMovementRow(issue, pens, 4, 0, vat, -1, pensRow);
    OpenMag();
    ToRows(issue);
    messages->Push(mrOk);
    VoClick(mag->buOk);
    EXPECT_EQ(messages->Texts(), QStringList{"Compilare per tutti i beni il campo sede"});
    PickForAll(M::colSede, QStringLiteral("Sede centrale"));
    messages->Push(mrOk);
    VoClick(mag->buOk);
    EXPECT_FALSE(mag->isVisible());
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT SFBUODESC || '|' || IMGMID || '|' || IBENID FROM TFBUO_BUONI WHERE "
                                  "IDWGFACANFID = :y"),
                   {{QStringLiteral("y"), registerYear}}),
        QStringList{QStringLiteral("BUONO DI CARICO DA MAGAZZINO (SCARICO DEL MAGAZZINO NUMERO S-7)|%1|%2")
                        .arg(issue)
                        .arg(supplier)});
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT DISTINCT idc.IFBUOIDCID FROM TFBUOIDC idc JOIN TFBUO_BUONI buo ON "
                                   "buo.IFBUOID = idc.IFBUOID WHERE buo.IMGMID = :m"),
                    {{QStringLiteral("m"), issue}}),
        2);
    // The load's net amount, its VAT added and taken out again for a register that loads net amounts.
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                             "SELECT afc.FAFCQUANTITA || '|' || afc.FAFCCOSTOUNIT FROM TAFC_ARTVELIST afc "
                             "JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID WHERE buo.IMGMID = :m"),
                         {{QStringLiteral("m"), issue}}),
              QStringList{"4.000000000000000|1.000000000000000"});
    OpenMag();
    EXPECT_FALSE(mag->xqcBuoni->Locate(QStringLiteral("IMGMID"), issue));
}

// More than a loading row may hold arrives from the warehouse in loading units: refused by name, and
// nothing of the movement is written.
TEST_F(kvaImpMagTest, AQuantityBeyondWhatARowMayHoldIsRefusedByNameAndNothingWritten) {
    const int issue = VoTestMovement(9, QDate(2026, 3, 1), QStringLiteral("S-9"));
    VoTestMovementRow(issue, VoTestWarehouseArticle(QStringLiteral("MATITE"), merId, 1), 5, 0, vat);
    VoTestMovementRow(issue, VoTestWarehouseArticle(QStringLiteral("FOGLI"), merId, 2), 200000, 0, vat);
    OpenMag();
    ToRows(issue);
    PickForAll(M::colSede, QStringLiteral("Sede centrale"));
    messages->Push({mrOk, mrOk});
    VoClick(mag->buOk);
    EXPECT_EQ(messages->Texts().value(1),
              QString::fromUtf8("Attenzione ! \r\nScarico del magazzino numero S-9, articolo \"FOGLI\": il "
                                "campo \"Quantità\" non può superare 99.999. Nulla è stato registrato. "));
    EXPECT_EQ(Vouchers(), 0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARLDESC = 'MATITE'")),
              0);
    EXPECT_TRUE(mag->isVisible());
}

TEST_F(kvaImpMagTest, CodesWithoutCategoryAreListedOnceAndATakenMovementIsNotWrittenTwice) {
    int loose = 0;
    VoTestGoodsEntry(QStringLiteral("Arredi vari"), 0, &loose);
    const int chair = VoTestWarehouseArticle(QStringLiteral("SEDIA"), loose, 1);
    const int unclassified = VoTestMovement(9, QDate(2026, 3, 1), QStringLiteral("S1"));
    VoTestMovementRow(unclassified, chair, 1, 0, vat);
    VoTestMovementRow(unclassified, chair, 2, 0, vat);
    const int pens = VoTestWarehouseArticle(QStringLiteral("PENNE"), merId, 1);
    const int issue = VoTestMovement(9, QDate(2026, 3, 1), QStringLiteral("S2"));
    VoTestMovementRow(issue, pens, 1, 0, vat);
    OpenMag();
    messages->Push(mrOk);
    ToRows(unclassified);
    EXPECT_EQ(
        messages->Texts(),
        QStringList{"I seguenti codici non sono associati a nessuna categoria di Velisto\r\nArredi vari"});
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("TfmCategMerce") && w->isVisible())
            w->hide();
    messages->Clear();
    OpenMag();
    ToRows(issue);
    PickForAll(M::colSede, QStringLiteral("Sede centrale"));
    VoTestVoucher(0, QDate(2026, 3, 2), registerYear, 1);
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET IMGMID = :m WHERE IDWGFACANFID = :y"),
              {{QStringLiteral("m"), issue}, {QStringLiteral("y"), registerYear}});
    messages->Push({mrOk, mrOk});
    VoClick(mag->buOk);
    EXPECT_EQ(messages->Texts().value(1), QString::fromUtf8("Il buono selezionato è già stato importato"));
    EXPECT_EQ(Vouchers(), 1);
}

} // namespace
