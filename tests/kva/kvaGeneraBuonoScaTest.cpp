// The generation of an unloading voucher from a loading voucher, driven as a user drives the wizard on
// a real database: the two lists, the date, the grid in unloading units, its keys and searches, and the
// voucher it writes.
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBGrid.h"
#include "VoDates.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoStringGrid.h"
#include "VoTestData.h"
#include "VoTestVouchers.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvaFBuoni.h"
#include "kvaFWGeneraBuonoSca.h"
#include "kvaRBuoniScarico.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using G = TfmKvaWGeneraBuonoSca;

const QString kStockBelow = QString::fromUtf8("Giacenza inferiore della quantità che si vuole scaricare");
const QString kSumBelow =
    QString::fromUtf8("C'è una giacenza inferiore della quantità che si vuole scaricare");

class kvaGeneraBuonoScaTest : public kvaVoucherTest {
protected:
    void SetUp() override {
        kvaVoucherTest::SetUp();
        site = VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
        CurrentSiteId = site;
        CurrentSiteDesc = QStringLiteral("Sede centrale - Via Roma 1");
        office = VoTestSector(QStringLiteral("SEG"));
        lab = VoTestSector(QStringLiteral("LAB"));
        responsible =
            VoSelectValue(QStringLiteral("SELECT MIN(IRSPID) FROM TRSP_RESPONSABILI WHERE ISECID = :s"),
                          {{QStringLiteral("s"), office}})
                .toInt();
        box = VoTestArticle(QStringLiteral("PENNE IN SCATOLA"), VoTestUnit(12, QStringLiteral("CF")));
        paper = VoTestArticle(QStringLiteral("CARTA A4"));
    }
    void TearDown() override {
        CurrentSiteId = 0;
        CurrentSiteDesc.clear();
        kvaVoucherTest::TearDown();
    }
    // A loading voucher of the two articles: 10 boxes at 24 and 5 reams at 3, in the office.
    int LoadTwo(const QDate &date = QDate(2026, 2, 1)) {
        const int voucher = VoTestVoucher(kvaLoading, date, ry);
        boxRow = VoTestRow(voucher, box, 10, 24.0, office);
        paperRow = VoTestRow(voucher, paper, 5, 3.0, office);
        VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET IRSPID = :r WHERE IFBUOID = :v"),
                  {{QStringLiteral("r"), responsible}, {QStringLiteral("v"), voucher}});
        return voucher;
    }
    void Open(int onlyToUnload) {
        fm = qobject_cast<G *>(CreateVoClass(QStringLiteral("TfmKvaWGeneraBuonoSca")));
        ASSERT_NE(fm, nullptr);
        opened = fm;
        fm->setProperty("SoloDaScaricare", onlyToUnload);
        ASSERT_TRUE(VoShowActive(fm));
    }
    QList<int> Listed() const {
        QList<int> ids;
        for (int i = 0; i < fm->xqcBuoni->RecordCount(); ++i)
            ids << fm->xqcBuoni->RowValue(i, fm->xqcBuoni->FieldByName(QStringLiteral("IFBUOID"))->Index())
                       .toInt();
        return ids;
    }
    void ToDate(int voucher) {
        ASSERT_TRUE(fm->xqcBuoni->Locate(QStringLiteral("IFBUOID"), voucher));
        VoClick(fm->buNext);
        ASSERT_EQ(fm->ActivePageIndex(), G::pgDataScarico);
    }
    void ToGrid(int voucher, const QDate &date = QDate()) {
        ToDate(voucher);
        if (date.isValid())
            fm->dtpDataScarico->SetDate(date);
        VoClick(fm->buNext);
        ASSERT_EQ(fm->ActivePageIndex(), G::pgArticoli);
    }
    QString Cell(int column, int row = 1) const { return fm->sgArticoli->Cells(column, row); }
    int Rows() const { return fm->sgArticoli->RowCount() - 1; }
    void PickForRow(int column, int row, const QString &text) {
        ASSERT_TRUE(fm->sgArticoli->SelectCell(column, row));
        VoAnswerSearch(text);
        QTest::keyClick(fm->sgArticoli, Qt::Key_F8);
    }
    void PickForAll(int column, const QString &text) {
        ASSERT_TRUE(fm->sgArticoli->SelectCell(column, 1));
        ASSERT_TRUE(fm->SameButton(column)->isEnabled());
        VoAnswerSearch(text);
        VoClick(fm->SameButton(column));
    }
    // Types a quantity into the focused row's editor key by key.
    void TypeQuantity(int row, const QString &keys) {
        ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colQuantita, row));
        fm->sgArticoli->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), keys);
    }
    int Unloadings() const {
        return VoCountRows(
            QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE IFBUOTIPO = 1 AND IDWGFACANFID = :y"),
            {{QStringLiteral("y"), ry}});
    }
    bool Marked(int voucher) const {
        return VoSelectValue(QStringLiteral("SELECT LFBUOSCARICATO FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                             {{QStringLiteral("v"), voucher}})
                   .toInt() == 1;
    }
    // Presses OK answering the message it may show.
    void Ok() {
        messages->Push(mrOk);
        VoClick(fm->buOk);
    }

    G *fm = nullptr;
    int site = 0, office = 0, lab = 0, responsible = 0, box = 0, paper = 0, boxRow = 0, paperRow = 0;
};

TEST_F(kvaGeneraBuonoScaTest, ListsEveryLoadingVoucherWithRowsOrOnlyThoseStillInStock) {
    const int inStock = LoadTwo();
    const int emptied = VoTestVoucher(kvaLoading, QDate(2026, 2, 2), ry);
    VoTestRow(emptied, paper, 2, 3.0, office);
    const int gone = VoTestVoucher(kvaUnloading, QDate(2026, 2, 3), ry);
    VoTestRow(gone, paper, 7, 3.0, office);
    const int marked = VoTestVoucher(kvaLoading, QDate(2026, 2, 4), ry);
    VoTestRow(marked, box, 1, 24.0, office);
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET LFBUOSCARICATO = 1 WHERE IFBUOID = :v"),
              {{QStringLiteral("v"), marked}});
    VoTestVoucher(kvaLoading, QDate(2026, 2, 5), ry);
    Open(0);
    EXPECT_EQ(Listed(), (QList<int>{inStock, emptied, marked}));
    delete fm;
    Open(1);
    // The paper of "emptied" went with the unloading, but "inStock" still has its boxes.
    EXPECT_EQ(Listed(), (QList<int>{inStock}));
}

TEST_F(kvaGeneraBuonoScaTest, ProposesTheLoadingDateWithinTheYearAndAfterTheLastUnloading) {
    const int early = LoadTwo(QDate(2026, 2, 1));
    const int outside = VoTestVoucher(kvaLoading, QDate(2025, 12, 20), ry);
    VoTestRow(outside, paper, 1, 3.0, office);
    Open(0);
    ToDate(early);
    EXPECT_EQ(fm->dtpDataScarico->Date(), QDate(2026, 2, 1));
    VoClick(fm->buPrior);
    ToDate(outside);
    EXPECT_EQ(fm->dtpDataScarico->Date(), DaysToDate(CurrentRegStart));
    VoClick(fm->buPrior);
    VoTestVoucher(kvaUnloading, QDate(2026, 3, 10), ry);
    ToDate(early);
    EXPECT_EQ(fm->dtpDataScarico->Date(), QDate(2026, 3, 10));
}

TEST_F(kvaGeneraBuonoScaTest, DateChecksHoldTheDatePageBothWays) {
    const int voucher = LoadTwo();
    VoTestVoucher(kvaUnloading, QDate(2026, 3, 10), ry);
    Open(0);
    const struct {
        QDate date;
        QAbstractButton *button;
        const char *message;
    } cases[] = {
        {QDate(2025, 12, 31), fm->buNext, "Data del buono non valida per l'anno finanziario in corso"},
        {QDate(2025, 12, 31), fm->buPrior, "Data del buono non valida per l'anno finanziario in corso"},
        {QDate(2026, 3, 9), fm->buNext, "Data del buono minore della data del buono precedente"},
        {QDate(2026, 3, 9), fm->buPrior, "Data del buono minore della data del buono precedente"}};
    ToDate(voucher);
    for (const auto &c : cases) {
        messages->Clear();
        fm->dtpDataScarico->SetDate(c.date);
        messages->Push(mrOk);
        VoClick(c.button);
        EXPECT_EQ(messages->Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(fm->ActivePageIndex(), G::pgDataScarico);
    }
    messages->Clear();
    fm->dtpDataScarico->SetDate(QDate(2026, 3, 10));
    VoClick(fm->buNext);
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_EQ(fm->ActivePageIndex(), G::pgArticoli);
    EXPECT_FALSE(fm->buPrior->isEnabled());
}

// The unloading date typed with slashes over the proposed one; a date that does not exist holds the
// page with the focus on it.
TEST_F(kvaGeneraBuonoScaTest, TheUnloadingDateIsTypedAsWritten) {
    const int voucher = LoadTwo();
    Open(0);
    ToDate(voucher);
    fm->dtpDataScarico->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("31/02/2026"));
    VoClick(fm->buNext);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\n\"31/02/2026\" non è una data valida. ")});
    EXPECT_EQ(fm->ActivePageIndex(), G::pgDataScarico);
    EXPECT_EQ(QApplication::focusWidget(), fm->dtpDataScarico);

    messages->Clear();
    fm->dtpDataScarico->setCursorPosition(0);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7/12/2026"));
    VoClick(fm->buNext);
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    ASSERT_EQ(fm->ActivePageIndex(), G::pgArticoli);
    EXPECT_EQ(fm->dtpDataScarico->Date(), QDate(2026, 12, 7));
}

TEST_F(kvaGeneraBuonoScaTest, GridShowsUnloadingUnitsAndLeavesOutWhatIsGone) {
    const int voucher = LoadTwo();
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 2, 10), ry);
    // 72 pieces are 6 boxes: 4 boxes, 48 pieces, stay; the paper is gone.
    VoTestRow(unload, box, 72, 2.0, office);
    VoTestRow(unload, paper, 5, 3.0, office);
    Open(0);
    ToGrid(voucher, QDate(2026, 3, 1));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(G::colAfcId), QString::number(boxRow));
    EXPECT_EQ(Cell(G::colCaricata), QStringLiteral("120"));
    EXPECT_EQ(Cell(G::colGiacenza), QStringLiteral("48"));
    EXPECT_EQ(Cell(G::colQuantita), QStringLiteral("48,000"));
    EXPECT_EQ(Cell(G::colCosto), QStringLiteral("2"));
    EXPECT_EQ(Cell(G::colFattore), QStringLiteral("12"));
    EXPECT_EQ(Cell(G::colSedeId), QString::number(site));
    EXPECT_EQ(Cell(G::colSede), CurrentSiteDesc);
    EXPECT_EQ(Cell(G::colSecId), QString::number(office));
    EXPECT_EQ(Cell(G::colResp), QStringLiteral("Bianchi Maria"));
    EXPECT_EQ(Cell(G::colCavId), QStringLiteral("14"));
    EXPECT_EQ(Cell(G::colCausale), QStringLiteral("Impiego dotazione"));
}

TEST_F(kvaGeneraBuonoScaTest, GridOfNothingInStockKeepsOneEmptyRowAndGeneratesNothing) {
    const int voucher = LoadTwo();
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 2, 10), ry);
    VoTestRow(unload, box, 120, 2.0, office);
    VoTestRow(unload, paper, 5, 3.0, office);
    Open(0);
    ToGrid(voucher, QDate(2026, 3, 1));
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(G::colAfcId), QString());
    Ok();
    EXPECT_EQ(messages->Texts(),
              QStringList{QString::fromUtf8(
                  "Nessun articolo del buono ha giacenza alla data di scarico: non c'è nulla da scaricare.")});
    EXPECT_EQ(Unloadings(), 1);
    EXPECT_FALSE(Marked(voucher));
}

TEST_F(kvaGeneraBuonoScaTest, WithSeveralSitesEveryRowKeepsItsOwnSiteAndAsksForOne) {
    CurrentSiteId = -1;
    CurrentSiteDesc.clear();
    const int voucher = LoadTwo();
    VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET ISEDINFID = :s WHERE IAFCID = :r"),
              {{QStringLiteral("s"), site}, {QStringLiteral("r"), boxRow}});
    Open(0);
    ToGrid(voucher);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(G::colSedeId, 1), QString::number(site));
    EXPECT_EQ(Cell(G::colSedeId, 2), QString());
    EXPECT_EQ(Cell(G::colSede, 1), QString());
    Ok();
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Compilare per tutti i beni il campo sede")});
    EXPECT_EQ(Unloadings(), 0);
    PickForAll(G::colSede, QStringLiteral("Roma"));
    EXPECT_EQ(Cell(G::colSede, 2), QStringLiteral("Sede centrale - Via Roma 1"));
    EXPECT_EQ(Cell(G::colSedeId, 2), QString::number(site));
}

TEST_F(kvaGeneraBuonoScaTest, QuantityAboveTheStockIsResetWhenTheKeyIsReleased) {
    const int voucher = LoadTwo();
    VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET FAFCQUANTITA = 2.567 WHERE IAFCID = :r"),
              {{QStringLiteral("r"), paperRow}});
    Open(0);
    ToGrid(voucher);
    EXPECT_EQ(Cell(G::colQuantita, 2), QStringLiteral("2,567"));
    // The editor offers what the column shows: entering it changes nothing.
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colQuantita, 2));
    fm->sgArticoli->setFocus();
    QTest::keyClick(fm->sgArticoli, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("2,567"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_EQ(Cell(G::colQuantita, 2), QStringLiteral("2,567"));
    // A lone minus is not a number yet; the point becomes the comma; letters are swallowed.
    messages->Push(mrOk);
    TypeQuantity(1, QStringLiteral("-"));
    EXPECT_TRUE(messages->Texts().isEmpty());
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("1x.5"));
    EXPECT_EQ(Cell(G::colQuantita, 1), QStringLiteral("1,5"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("121"));
    EXPECT_EQ(messages->Texts(), QStringList{kStockBelow});
    EXPECT_EQ(Cell(G::colQuantita, 1), QStringLiteral("0,000"));
}

TEST_F(kvaGeneraBuonoScaTest, SectorAndResponsibleSearchesFollowTheirRules) {
    const int voucher = LoadTwo();
    Open(0);
    ToGrid(voucher);
    PickForRow(G::colLuogo, 1, QStringLiteral("SEG"));
    EXPECT_EQ(Cell(G::colResp, 1), QStringLiteral("Bianchi Maria"));
    EXPECT_EQ(Cell(G::colRspId, 1), QString::number(responsible));
    PickForRow(G::colLuogo, 1, QStringLiteral("LAB"));
    EXPECT_EQ(Cell(G::colSecId, 1), QString::number(lab));
    EXPECT_EQ(Cell(G::colResp, 1), QString());
    EXPECT_EQ(Cell(G::colRspId, 1), QString());
    // The rows now stand in two sectors.
    messages->Push(mrOk);
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colResp, 1));
    VoClick(fm->SameButton(G::colResp));
    EXPECT_EQ(
        messages->Texts(),
        QStringList{QString::fromUtf8(
            "Funzione disponibile solo se il luogo di scarico è impostato uguale per tutti gli articoli.")});
    // A row without a sector lists no responsible: the search opens empty.
    PickForRow(G::colLuogo, 1, QString());
    EXPECT_EQ(Cell(G::colSecId, 1), QString());
    EXPECT_EQ(Cell(G::colLuogo, 1), QString());
    int listed = -1;
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colResp, 1));
    VoWhenModalOpens<TVoSearchDialog>([&listed](TVoSearchDialog *form) {
        listed = form->RowCount();
        form->reject();
    });
    QTest::keyClick(fm->sgArticoli, Qt::Key_F8);
    EXPECT_EQ(listed, 0);
    PickForAll(G::colLuogo, QStringLiteral("SEG"));
    EXPECT_EQ(Cell(G::colResp, 2), QStringLiteral("Bianchi Maria"));
    PickForAll(G::colResp, QStringLiteral("Bianchi"));
    EXPECT_EQ(Cell(G::colResp, 1), QStringLiteral("Bianchi Maria"));
    EXPECT_EQ(Cell(G::colRspId, 1), QString::number(responsible));
}

TEST_F(kvaGeneraBuonoScaTest, SameForAllButtonsWorkOnlyInTheirColumn) {
    const int voucher = LoadTwo();
    Open(0);
    ToGrid(voucher);
    const int causal =
        VoSelectValue(QStringLiteral("SELECT MIN(ICAVID) FROM TCAV_CAUSALIINV WHERE ICAVTIPO = 1 "
                                     "AND ICAVID <> 14"))
            .toInt();
    const QString causalDesc =
        VoSelectValue(QStringLiteral("SELECT SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVID = :c"),
                      {{QStringLiteral("c"), causal}})
            .toString();
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colQuantita, 1));
    for (int column : {G::colSede, G::colLuogo, G::colResp, G::colCausale})
        EXPECT_FALSE(fm->SameButton(column)->isEnabled());
    PickForAll(G::colLuogo, QStringLiteral("LAB"));
    PickForAll(G::colCausale, causalDesc);
    for (int row : {1, 2}) {
        EXPECT_EQ(Cell(G::colSecId, row), QString::number(lab));
        EXPECT_EQ(Cell(G::colResp, row), QString());
        EXPECT_EQ(Cell(G::colCavId, row), QString::number(causal));
        EXPECT_EQ(Cell(G::colCausale, row), causalDesc);
    }
    // A cancelled search for every row changes nothing; for one row it empties the cell.
    ASSERT_TRUE(fm->sgArticoli->SelectCell(G::colCausale, 1));
    VoAnswerSearch(QString());
    VoClick(fm->SameButton(G::colCausale));
    EXPECT_EQ(Cell(G::colCavId, 2), QString::number(causal));
    PickForRow(G::colCausale, 2, QString());
    EXPECT_EQ(Cell(G::colCavId, 2), QString());
    EXPECT_EQ(Cell(G::colCausale, 2), QString());
}

TEST_F(kvaGeneraBuonoScaTest, GenerationWritesTheVoucherItsRowsAndTheMark) {
    const int voucher = LoadTwo(QDate(2026, 2, 1));
    VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET BAFCNOTE = 'fragile', ICONDID = 2, IVPROID = 30, "
                             "ICLCID = NULL WHERE IAFCID = :r"),
              {{QStringLiteral("r"), boxRow}});
    VoTestVoucher(kvaUnloading, QDate(2026, 2, 10), ry, 4);
    Open(1);
    ToGrid(voucher, QDate(2026, 3, 2));
    fm->sgArticoli->SetCells(G::colQuantita, 1, QStringLiteral("30"));
    fm->sgArticoli->SetCells(G::colQuantita, 2, QStringLiteral("0"));
    PickForRow(G::colCausale, 1, QString());
    VoClick(fm->buOk);
    // What was written is said once it is committed.
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Generato il buono di scarico n. 0000005 del 02/03/2026 con 1 riga.")});
    EXPECT_EQ(messages->Shown().first().type, mtInformation);
    EXPECT_FALSE(fm->isVisible());
    EXPECT_TRUE(Marked(voucher));
    TVoQuery header(QStringLiteral("SELECT * FROM TFBUO_BUONI WHERE IFBUOID_P = :v"));
    header.SetParam(QStringLiteral("v"), voucher).Open();
    ASSERT_FALSE(header.Eof());
    EXPECT_EQ(header.AsInteger(QStringLiteral("IFBUONUMERO")), 5);
    EXPECT_EQ(DaysToDate(header.AsDate(QStringLiteral("DFBUODATA"))), QDate(2026, 3, 2));
    EXPECT_EQ(header.AsInteger(QStringLiteral("IDWGFACANFID")), ry);
    EXPECT_EQ(header.AsInteger(QStringLiteral("IFBUOTIPO")), 1);
    EXPECT_EQ(header.AsString(QStringLiteral("SFBUOUSE")), QStringLiteral("SCAAUTO"));
    EXPECT_FALSE(header.IsNull(QStringLiteral("SFBUODESC")));
    EXPECT_EQ(header.AsString(QStringLiteral("SFBUODESC")), QString());
    EXPECT_EQ(header.AsInteger(QStringLiteral("ILOCKED")), 0);
    for (const char *null : {"IBENID", "IMGMID", "DFBUOPROTDATA", "SFBUOPROTNUM", "LFBUOSCARICATO"})
        EXPECT_TRUE(header.IsNull(QString::fromLatin1(null))) << null;
    TVoQuery rows(QStringLiteral("SELECT * FROM TAFC_ARTVELIST WHERE IFBUOID = :v"));
    rows.SetParam(QStringLiteral("v"), header.AsInteger(QStringLiteral("IFBUOID"))).Open();
    ASSERT_FALSE(rows.Eof());
    EXPECT_EQ(rows.AsInteger(QStringLiteral("IFARID")), box);
    EXPECT_DOUBLE_EQ(rows.AsFloat(QStringLiteral("FAFCQUANTITA")), 30.0);
    EXPECT_DOUBLE_EQ(rows.AsFloat(QStringLiteral("FAFCCOSTOUNIT")), 2.0);
    EXPECT_EQ(rows.AsInteger(QStringLiteral("ISECID")), office);
    EXPECT_EQ(rows.AsInteger(QStringLiteral("ISEDINFID")), site);
    EXPECT_EQ(rows.AsInteger(QStringLiteral("IRSPID")), responsible);
    EXPECT_TRUE(rows.IsNull(QStringLiteral("ICAVID")));
    EXPECT_TRUE(rows.IsNull(QStringLiteral("ICLCID")));
    EXPECT_EQ(rows.AsInteger(QStringLiteral("ICONDID")), 2);
    EXPECT_EQ(rows.AsInteger(QStringLiteral("IVPROID")), 30);
    EXPECT_EQ(rows.AsString(QStringLiteral("BAFCNOTE")), QStringLiteral("fragile"));
    EXPECT_EQ(rows.AsInteger(QStringLiteral("IINBANNOASSUNZ")), 2026);
    EXPECT_FALSE(rows.IsNull(QStringLiteral("DINSERT")));
    rows.Next();
    EXPECT_TRUE(rows.Eof());
    // 120 pieces loaded, 30 unloaded: 7.5 boxes stay.
    EXPECT_DOUBLE_EQ(VoTestStock(box, QDate(2026, 3, 31), ry).stock, 7.5);
}

TEST_F(kvaGeneraBuonoScaTest, GenerationChecksInTheirOrderAndWritesNothingOnFailure) {
    const int voucher = LoadTwo();
    Open(0);
    ToGrid(voucher);
    const struct {
        int row;
        int column;
        const char *text;
        const char *message;
    } cases[] = {{2, G::colQuantita, "6", "C'è una giacenza inferiore della quantità che si vuole scaricare"},
                 {1, G::colSede, "", "Compilare per tutti i beni il campo sede"},
                 {1, G::colLuogo, "", "Compilare per tutti i beni il campo Luogo di Scarico"},
                 {1, G::colCosto, "abc", "Importa beni 'abc' non è un numero valido"}};
    for (const auto &c : cases) {
        const QString kept = Cell(c.column, c.row);
        messages->Clear();
        fm->sgArticoli->SetCells(c.column, c.row, QString::fromUtf8(c.text));
        Ok();
        EXPECT_EQ(messages->Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_TRUE(fm->isVisible());
        fm->sgArticoli->SetCells(c.column, c.row, kept);
    }
    // Rows of 0, negative or without site pass the checks and are not written.
    fm->sgArticoli->SetCells(G::colQuantita, 1, QStringLiteral("0"));
    fm->sgArticoli->SetCells(G::colSede, 1, QString());
    fm->sgArticoli->SetCells(G::colQuantita, 2, QStringLiteral("-1"));
    messages->Clear();
    VoClick(fm->buOk);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Generato il buono di scarico n. 0000001 del 01/02/2026 con 0 righe.")});
    EXPECT_EQ(Unloadings(), 1);
    EXPECT_TRUE(Marked(voucher));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT a.IAFCID FROM TAFC_ARTVELIST a JOIN TFBUO_BUONI b ON "
                                         "a.IFBUOID = b.IFBUOID WHERE b.IFBUOTIPO = 1")),
              0);
}

TEST_F(kvaGeneraBuonoScaTest, RowsOfOneArticleAreCheckedTogether) {
    const int voucher = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), ry);
    VoTestRow(voucher, paper, 5, 3.0, office);
    VoTestRow(voucher, paper, 1, 3.0, office);
    Open(0);
    ToGrid(voucher);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(G::colGiacenza, 1), QStringLiteral("6"));
    fm->sgArticoli->SetCells(G::colQuantita, 2, QStringLiteral("5"));
    Ok();
    EXPECT_EQ(messages->Texts(), QStringList{kSumBelow});
    EXPECT_EQ(Unloadings(), 0);
    EXPECT_FALSE(Marked(voucher));
}

TEST_F(kvaGeneraBuonoScaTest, FailureAtTheSecondRowLeavesNoHeaderMarkOrRow) {
    const int voucher = LoadTwo();
    Open(0);
    ToGrid(voucher);
    ASSERT_EQ(Rows(), 2);
    VoExecSQL(QStringLiteral("DELETE FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
              {{QStringLiteral("r"), paperRow}});
    Ok();
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Importa beni riga del buono di carico non trovata")});
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(Unloadings(), 0);
    EXPECT_FALSE(Marked(voucher));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IAFCID FROM TAFC_ARTVELIST WHERE IFARID = :a"),
                          {{QStringLiteral("a"), box}}),
              1);
    EXPECT_EQ(Cell(G::colQuantita, 2), QStringLiteral("5,000"));
}

TEST_F(kvaGeneraBuonoScaTest, AnnullaAtTheSecondRowLeavesNoHeaderMarkOrRowAndSaysNothing) {
    const int voucher = LoadTwo();
    Open(0);
    ToGrid(voucher);
    ASSERT_EQ(Rows(), 2);
    const QStringList before = VoRowTexts(QStringLiteral("SELECT * FROM TAFC_ARTVELIST ORDER BY IAFCID"));
    {
        // The user presses "Annulla" once the first row is written.
        TVoPressAnnulla annulla(2);
        Ok();
        EXPECT_EQ(annulla.Counts(), (QStringList{"1 di 2", "2 di 2"}));
    }
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(Unloadings(), 0);
    EXPECT_FALSE(Marked(voucher));
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT * FROM TAFC_ARTVELIST ORDER BY IAFCID")), before);
}

TEST_F(kvaGeneraBuonoScaTest, StockUnloadedMeanwhileRefusesTheGenerationWhole) {
    const int voucher = LoadTwo();
    Open(0);
    ToGrid(voucher);
    ASSERT_EQ(Rows(), 2);
    // Another user unloads the paper after the grid was built.
    VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 2, 1), ry), paper, 5, 3.0, office);
    const int before = Unloadings();
    Ok();
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Importa beni ") + kSumBelow});
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(Unloadings(), before);
    EXPECT_FALSE(Marked(voucher));
}

TEST_F(kvaGeneraBuonoScaTest, UnloadingWindowOffersTheLoadingVoucherUntilItIsUnloaded) {
    const int voucher = LoadTwo();
    const int earlier = VoTestVoucher(kvaUnloading, QDate(2026, 1, 20), ry, 1);
    auto *window = qobject_cast<TfmkvaBuoniSca *>(CreateVoClass(QStringLiteral("TfmkvaBuoniSca")));
    ASSERT_NE(window, nullptr);
    opened = window;
    ASSERT_TRUE(VoShowActive(window));
    ASSERT_EQ(window->xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger(), earlier);
    QAction *entry = window->Master()->miDaScaricare;
    ASSERT_TRUE(entry->isEnabled());
    // Opens the entry's wizard: generates from the voucher when listed, else cancels; returns how many
    // vouchers it listed.
    const auto generate = [&] {
        int listed = -1;
        VoWhenModalOpens<G>([&](G *wizard) {
            listed = wizard->xqcBuoni->RecordCount();
            if (listed == 0 || !wizard->xqcBuoni->Locate(QStringLiteral("IFBUOID"), voucher)) {
                wizard->reject();
                return;
            }
            VoClick(wizard->buNext);
            VoClick(wizard->buNext);
            ASSERT_TRUE(wizard->sgArticoli->SelectCell(G::colLuogo, 1));
            VoAnswerSearch(QStringLiteral("LAB"));
            VoClick(wizard->SameButton(G::colLuogo));
            VoClick(wizard->buOk);
        });
        entry->trigger();
        return listed;
    };
    EXPECT_EQ(generate(), 1);
    const int generated =
        VoSelectValue(QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE IFBUOID_P = :v"),
                      {{QStringLiteral("v"), voucher}})
            .toInt();
    ASSERT_GT(generated, 0);
    // The window stands on the voucher written.
    EXPECT_EQ(window->xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger(), generated);
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT IAFCID FROM TAFC_ARTVELIST WHERE IFBUOID = :v AND ISECID = :s"),
                    {{QStringLiteral("v"), generated}, {QStringLiteral("s"), lab}}),
        2);
    EXPECT_EQ(generate(), 0);
    kvaDeleteVoucher(generated);
    EXPECT_EQ(generate(), 1);
}

// The grid proposes the stock in unloading units: as many as the largest loading quantity times the
// largest factor are written; a row stored before its bounds held, which gives more, is refused by name
// and nothing of the voucher is written.
TEST_F(kvaGeneraBuonoScaTest, AQuantityBeyondWhatAnUnloadingRowMayHoldIsRefusedByName) {
    const int staples = VoTestArticle(QStringLiteral("PUNTI"), VoTestUnit(10000, QStringLiteral("SC")));
    for (const double loaded : {99999.0, 200000.0}) {
        SCOPED_TRACE(loaded);
        const int voucher = LoadTwo();
        VoTestRow(voucher, staples, loaded, 1.0, office);
        Open(0);
        ToGrid(voucher);
        messages->Clear();
        messages->Push({mrOk, mrOk});
        VoClick(fm->buOk);
        if (loaded < 100000) {
            EXPECT_EQ(Unloadings(), 1) << messages->LastText().toStdString();
        } else {
            EXPECT_EQ(messages->Texts().value(0),
                      QStringLiteral("Importa beni Attenzione ! \r\nBuono di carico numero %1, articolo "
                                     "\"PUNTI\": il campo \"Quantità\" non può superare 999.990.000. Nulla è "
                                     "stato registrato. ")
                          .arg(VoSelectValue(QStringLiteral("SELECT IFBUONUMERO FROM TFBUO_BUONI WHERE "
                                                            "IFBUOID = :v"),
                                             {{QStringLiteral("v"), voucher}})
                                   .toInt()));
            EXPECT_EQ(Unloadings(), 1);
            EXPECT_FALSE(Marked(voucher));
        }
        delete opened;
    }
}

} // namespace
