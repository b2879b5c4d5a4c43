// The unloading vouchers driven as a user drives them: the articles offered at the voucher's date,
// the row priced from the stock, the quantity refused and corrected, the sector history, the deletion
// of a voucher and the re-pricing when a voucher moves.
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTableModel.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoTestVouchers.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvaFBuoni.h"
#include "kvaRBeniCaricoSca.h"
#include "kvaRBuoniScarico.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString Warning(const QString &text) {
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(text);
}

double Value(const QString &sql, const QVariantHash &params = {}) {
    return VoSelectValue(sql, params).toDouble();
}

class kvaBuoniScaTest : public kvaVoucherTest {
protected:
    void SetUp() override {
        kvaVoucherTest::SetUp();
        load = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), ry, 1);
        paper = VoTestArticle(QStringLiteral("CARTA A4"));
        VoTestRow(load, paper, 10, 5.0);
        unload = VoTestVoucher(kvaUnloading, QDate(2026, 3, 1), ry, 1);
        office = VoTestSector(QStringLiteral("SEG"));
        lab = VoTestSector(QStringLiteral("LAB"));
    }
    void Open() {
        window = qobject_cast<TfmkvaBuoniSca *>(CreateVoClass(QStringLiteral("TfmkvaBuoniSca")));
        opened = window;
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(VoShowActive(window));
        ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("IFBUOID"), unload));
        window->pcDetail->setCurrentIndex(0);
        rows = window->Rows();
    }
    void NewRow() {
        ASSERT_TRUE(rows->xacInsert->Execute());
        QApplication::processEvents();
        ASSERT_EQ(window->xqcDetail->State(), dsInsert);
    }
    void TypeDescription(const QString &text) { VoTypeDescription(rows, text); }
    // Types a description and takes the first article offered.
    void Choose(const QString &text) {
        TypeDescription(text);
        ASSERT_TRUE(rows->grArtSearch->isVisible());
        rows->grArtSearch->setFocus(Qt::OtherFocusReason);
        VoPress(Qt::Key_Return);
    }
    bool Post() {
        const bool posted = rows->xacPost->Execute();
        return posted && window->xqcDetail->State() == dsBrowse;
    }
    double Quantity() const {
        return window->xqcDetail->FieldByName(QStringLiteral("fAfcQuantita"))->AsFloat();
    }
    int Periods(int row, bool open) const {
        return VoCountRows(QStringLiteral("SELECT IASEID FROM TASE_ARTFCSETTORI WHERE IAFCID = :r AND ") +
                               (open ? QStringLiteral("DEND IS NULL") : QStringLiteral("DEND IS NOT NULL")),
                           {{QStringLiteral("r"), row}});
    }
    int CurrentRow() const { return window->xqcDetail->FieldByName(QStringLiteral("IAFCID"))->AsInteger(); }

    int load = 0, unload = 0, paper = 0, office = 0, lab = 0;
    QPointer<TfmkvaBuoniSca> window;
    TfrkvaBeniCaricoSca *rows = nullptr;
};

} // namespace

TEST_F(kvaBuoniScaTest, OnlyArticlesInStockAtTheVoucherDateAreOffered) {
    // Stock earlier, none at the date; stock only after the date; stock at the date.
    const int spent = VoTestArticle(QStringLiteral("PENNE"));
    VoTestRow(load, spent, 4, 1.0);
    VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 2, 10), ry, 2), spent, 4, 1.0);
    const int late = VoTestArticle(QStringLiteral("MATITE"));
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2026, 4, 1), ry, 2), late, 3, 1.0);
    Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Gestione buoni di scarico"));
    NewRow();
    ASSERT_EQ(rows->xqcArticoli->RecordCount(), 1);
    EXPECT_EQ(rows->xqcArticoli->FieldByName(QStringLiteral("IFARID"))->AsInteger(), paper);
}

TEST_F(kvaBuoniScaTest, ChoosingAnArticleProposesItsStockAndAverageCostPerUnloadingUnit) {
    // Ten sheets to a pack: 3 packs loaded at 20 and 1 at 40 give 40 sheets at 2,50 each.
    const int packs = VoTestArticle(QStringLiteral("BLOCCHI"), VoTestUnit(10, QStringLiteral("CF")));
    VoTestRow(load, packs, 3, 20.0);
    VoTestRow(load, packs, 1, 40.0);
    Open();
    NewRow();
    Choose(QStringLiteral("blocchi"));
    EXPECT_DOUBLE_EQ(Quantity(), 40);
    EXPECT_DOUBLE_EQ(window->xqcDetail->FieldByName(QStringLiteral("fAfcCostoUnit"))->AsFloat(), 2.5);
    EXPECT_EQ(rows->xceTotale->text(), QStringLiteral("100,00"));
    EXPECT_EQ(QApplication::focusWidget(), rows->xneQuant);
    rows->xelSettore->SetKeyValue(office);
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(window->xqcDetail->FieldByName(QStringLiteral("IFARID"))->AsInteger(), packs);
    EXPECT_DOUBLE_EQ(VoTestStock(packs, QDate(2026, 3, 1), ry).stock, 0);
}

TEST_F(kvaBuoniScaTest, ADescriptionNamingNoArticleIsRefusedAndMakesNone) {
    Open();
    NewRow();
    TypeDescription(QStringLiteral("gomme"));
    EXPECT_FALSE(rows->grArtSearch->isVisible());
    rows->xelSettore->SetKeyValue(office);
    EXPECT_FALSE(Post());
    EXPECT_EQ(messages->LastText(), Warning(QStringLiteral("Articolo")));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARLDESC = 'GOMME'")),
              0);
}

TEST_F(kvaBuoniScaTest, ATooLargeQuantityIsRefusedAndReplacedByTheLargestThatSaves) {
    struct Case {
        bool laterUnloading;
        bool editing;
        double typed;
        double corrected;
    };
    // 10 loaded on 1 February; when editing, a saved row of 2 on 1 March; when later, 7 (or 5 beside
    // the saved row) unloaded on 1 April. The saved row's own 2 count as available again.
    for (const Case &c : {Case{false, false, 11, 10}, Case{true, false, 5, 3}, Case{false, true, 11, 10},
                          Case{true, true, 6, 5}}) {
        SCOPED_TRACE(testing::Message() << c.laterUnloading << c.editing);
        VoExecSQL(QStringLiteral("DELETE FROM TAFC_ARTVELIST WHERE IFBUOID <> :l"),
                  {{QStringLiteral("l"), load}});
        VoExecSQL(QStringLiteral("DELETE FROM TFBUO_BUONI WHERE IFBUOTIPO = 1 AND IFBUOID <> :u"),
                  {{QStringLiteral("u"), unload}});
        if (c.editing)
            VoTestRow(unload, paper, 2, 5.0, office);
        if (c.laterUnloading)
            VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 4, 1), ry, 2), paper, c.editing ? 5 : 7, 5.0);
        delete window;
        Open();
        messages->Clear();
        if (c.editing) {
            ASSERT_TRUE(rows->xacEdit->Execute());
        } else {
            NewRow();
            Choose(QStringLiteral("carta"));
            rows->xelSettore->SetKeyValue(office);
        }
        // Leaving the quantity refuses it and leaves the largest there, which then saves.
        VoTypeInto(rows->xneQuant, QString::number(c.typed));
        EXPECT_EQ(messages->LastText(), Warning(QStringLiteral("Quantità troppo elevata")));
        EXPECT_DOUBLE_EQ(Quantity(), c.corrected);
        ASSERT_TRUE(Post()) << messages->LastText().toStdString();
        EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT FAFCQUANTITA FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                               {{QStringLiteral("r"), CurrentRow()}}),
                         c.corrected);
    }
}

// Unloading nothing, or less than nothing (a loading in disguise), is refused naming the quantity.
// An article loaded net of VAT at the most a cost may be typed is unloaded at that cost with its VAT,
// which no one typed; a hundred boxes of a thousand pieces are handed out piece by piece.
TEST_F(kvaBuoniScaTest, WhatThePricingWorksOutIsNeverRefused) {
    VoTestSetRegisterOptions(VoTestRegister(), 1, 0);
    ChooseRegisterYear(ry);
    const int dear = VoTestArticle(QStringLiteral("LAVAGNA"), 0, VoTestVatRate(22));
    VoTestRow(load, dear, 1, 90000.0);
    const int staples = VoTestArticle(QStringLiteral("PUNTI"), VoTestUnit(1000, QStringLiteral("SC")));
    VoTestRow(load, staples, 99999, 1.0);
    Open();
    const struct {
        const char *article;
        double quantity, cost;
    } cases[] = {{"lavagna", 1, 109800.0}, {"punti", 99999000, 0.001}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.article);
        NewRow();
        Choose(QString::fromLatin1(c.article));
        rows->xelSettore->SetKeyValue(office);
        ASSERT_TRUE(Post()) << messages->LastText().toStdString();
        EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT FAFCQUANTITA FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                               {{QStringLiteral("r"), CurrentRow()}}),
                         c.quantity);
        EXPECT_NEAR(Value(QStringLiteral("SELECT FAFCCOSTOUNIT FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                          {{QStringLiteral("r"), CurrentRow()}}),
                    c.cost, 1e-6);
    }
}

TEST_F(kvaBuoniScaTest, AnUnloadingQuantityMustBeAboveZero) {
    Open();
    for (const QString &typed : {QStringLiteral("0"), QStringLiteral("-5")}) {
        NewRow();
        Choose(QStringLiteral("carta"));
        rows->xelSettore->SetKeyValue(office);
        rows->xneQuant->setFocus(Qt::OtherFocusReason);
        rows->xneQuant->selectAll();
        VoType(typed);
        messages->Clear();
        EXPECT_FALSE(Post()) << typed.toStdString();
        EXPECT_EQ(messages->LastText(),
                  Warning(QStringLiteral("Il campo \"Quantità\" deve essere maggiore di 0")));
        window->xqcDetail->Cancel();
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IAFCID FROM TAFC_ARTVELIST WHERE IFBUOID = :u"),
                          {{QStringLiteral("u"), unload}}),
              0);
}

TEST_F(kvaBuoniScaTest, TheSectorHistoryFollowsTheRow) {
    Open();
    NewRow();
    Choose(QStringLiteral("carta"));
    VoTypeInto(rows->xneQuant, QStringLiteral("2"));
    rows->xelSettore->SetKeyValue(office);
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    const int row = CurrentRow();
    EXPECT_EQ(Periods(row, true), 1);

    ASSERT_TRUE(rows->xacEdit->Execute());
    VoTypeInto(rows->xneQuant, QStringLiteral("3"));
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Periods(row, true) + Periods(row, false), 1);

    ASSERT_TRUE(rows->xacEdit->Execute());
    rows->xelSettore->SetKeyValue(lab);
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Periods(row, false), 1);
    EXPECT_EQ(VoSelectValue(
                  QStringLiteral("SELECT ISECID FROM TASE_ARTFCSETTORI WHERE IAFCID = :r AND DEND IS NULL"),
                  {{QStringLiteral("r"), row}})
                  .toInt(),
              lab);

    messages->Push(mrYes);
    rows->xacDelete->Execute();
    EXPECT_EQ(Periods(row, true) + Periods(row, false), 0);
}

TEST_F(kvaBuoniScaTest, DeletingAGeneratedVoucherClearsTheMarkOfItsLoadingVoucherOnly) {
    const int other = VoTestVoucher(kvaLoading, QDate(2026, 2, 2), ry, 2);
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET LFBUOSCARICATO = 1 WHERE IFBUOTIPO = 0"));
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET IFBUOID_P = :l WHERE IFBUOID = :u"),
              {{QStringLiteral("l"), load}, {QStringLiteral("u"), unload}});
    const int plain = VoTestVoucher(kvaUnloading, QDate(2026, 3, 2), ry, 2);
    VoTestRow(unload, paper, 4, 5.0, office);
    Open();
    const double stockBefore = VoTestStock(paper, QDate(2026, 12, 31), ry).stock;
    const auto marked = [](int voucher) {
        return VoSelectValue(QStringLiteral("SELECT LFBUOSCARICATO FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                             {{QStringLiteral("v"), voucher}})
            .toInt();
    };
    ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("IFBUOID"), plain));
    messages->Push(mrYes);
    window->frMaster->xacDelete->Execute();
    ASSERT_EQ(VoCountRows(QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE IFBUOTIPO = 1")), 1);
    EXPECT_EQ(marked(load) + marked(other), 2);

    ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("IFBUOID"), unload));
    messages->Clear();
    messages->Push(mrYes);
    messages->Push(mrYes);
    window->frMaster->xacDelete->Execute();
    EXPECT_TRUE(messages->Texts().contains(
        QStringLiteral("Ci sono degli articoli collegati al buono, cancellarli?")));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE IFBUOTIPO = 1")), 0);
    EXPECT_EQ(marked(load), 0);
    EXPECT_EQ(marked(other), 1);
    EXPECT_DOUBLE_EQ(VoTestStock(paper, QDate(2026, 12, 31), ry).stock, stockBefore + 4);
}

TEST_F(kvaBuoniScaTest, MovingAVoucherRePricesTheUnloadingRows) {
    // 10 at 5 on 1 February and 10 at 15 on 15 March: the average is 5 before, 10 after.
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2026, 3, 15), ry, 2), paper, 10, 15.0);
    const int row = VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 4, 1), ry, 2), paper, 1, 5.0, office);
    VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZAARTICOLO(:a)"), {{QStringLiteral("a"), paper}});
    const auto cost = [row] {
        return Value(QStringLiteral("SELECT FAFCCOSTOUNIT FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                     {{QStringLiteral("r"), row}});
    };
    ASSERT_DOUBLE_EQ(cost(), 10);
    Open();
    ASSERT_TRUE(window->xqcMain->Locate(QStringLiteral("IFBUONUMERO"), 2));
    ASSERT_TRUE(window->frMaster->xacEdit->Execute());
    window->frMaster->xdeData->SetDate(QDate(2026, 3, 10));
    ASSERT_TRUE(window->frMaster->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_DOUBLE_EQ(cost(), 5);
}

TEST_F(kvaBuoniScaTest, TypingInTheDropDownGoesOnInTheDescription) {
    VoTestRow(load, VoTestArticle(QStringLiteral("CARTA A5")), 1, 1.0);
    Open();
    NewRow();
    TypeDescription(QStringLiteral("carta a"));
    ASSERT_TRUE(rows->grArtSearch->isVisible());
    rows->grArtSearch->setFocus(Qt::OtherFocusReason);
    VoPress(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(window->xqcDetail->FieldByName(QStringLiteral("sFarLDesc"))->AsString(),
              QStringLiteral("carta a5"));
}

TEST_F(kvaBuoniScaTest, ANewRowTakesTheCurrentSite) {
    const int site = VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
    ASSERT_GT(site, 0);
    CurrentSiteId = site;
    Open();
    NewRow();
    EXPECT_EQ(rows->xelSede->KeyValue().toInt(), site);
}

TEST_F(kvaBuoniScaTest, TheBudgetItemSearchIsTitledByOneItem) {
    Open();
    NewRow();
    rows->ShowDetail();
    rows->xelVociPro->setFocus(Qt::MouseFocusReason);
    TVoSearchSeen seen;
    VoSearchAndChoose(QString(), &seen);
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.titles, QStringList{QStringLiteral("Voce di progetto")});
}

// Tab from the header's last field goes to the voucher's rows, where Ins adds a row and not a voucher;
// the generation's menu, which stood unseen in between, opens by its key.
TEST_F(kvaBuoniScaTest, TabLeadsFromTheHeaderToTheRowsWhereInsAddsARow) {
    Open();
    window->frMaster->ShowDetail();
    window->frMaster->xneNumero->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), rows->grFrame);
    VoPress(Qt::Key_Insert);
    EXPECT_EQ(window->xqcDetail->State(), dsInsert);
    EXPECT_EQ(window->xqcMain->State(), dsBrowse);
    rows->xacCancel->Execute();
    window->frMaster->xneNumero->setFocus(Qt::TabFocusReason);
    QTimer::singleShot(0, [this] {
        EXPECT_TRUE(window->Master()->pmSelBuoAuto->isVisible());
        window->Master()->pmSelBuoAuto->close();
    });
    VoPress(Qt::Key_F6);
}
