// A closed year stays as the closing carried it: through a voucher window opened before the closing
// and one opened after it, no voucher is added to the year and no row, header or document link of its
// vouchers is added, changed or deleted; what the closing locked in a year still open is re-priced
// like the rest; a window in the closed year says so before anything is typed.
#include "VoClassRegistry.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestRegisters.h"
#include "VoTestVouchers.h"
#include "VoTestWindows.h"
#include "VoWidgetTest.h"
#include "kvaFArtSost.h"
#include "kvaFBuoni.h"
#include "kvaFChiusura.h"
#include "kvaRBeniCarico.h"
#include "kvaRBuoIdc.h"
#include "kvaRBuoniCarico.h"
#include "kvaRBuoniScarico.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString kClosed = QStringLiteral("L'anno è stato chiuso: i buoni non si possono più modificare.");

// Everything the year's vouchers hold.
const char *const kYearSQL =
    "SELECT buo.IFBUOID, buo.IFBUONUMERO, buo.DFBUODATA, buo.SFBUODESC, buo.ILOCKED, afc.IAFCID, "
    "afc.IFARID, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT FROM TFBUO_BUONI buo LEFT JOIN TAFC_ARTVELIST afc ON "
    "afc.IFBUOID = buo.IFBUOID WHERE buo.IDWGFACANFID = :y ORDER BY buo.IFBUOID, afc.IAFCID";
const char *const kYearLinksSQL =
    "SELECT bi.IFBUOIDCID, bi.IFBUOID, bi.IIDCID FROM TFBUOIDC bi INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID "
    "= bi.IFBUOID WHERE buo.IDWGFACANFID = :y ORDER BY bi.IFBUOIDCID";

class kvaClosedYearTest : public kvaWindowTest {
protected:
    void MakeYear(int numbering, const QString &name = QStringLiteral("Registro chiuso")) {
        years = VoTestOpenRegister(name, 1, {2026, 2027}, &facId);
        VoTestSetRegisterOptions(facId, numbering, 1);
        ChooseRegisterYear(years[0]);
        pieces =
            VoSelectValue(QStringLiteral("SELECT IUNMID FROM TUNM_UNITAMISURA WHERE SUNMCOD = 'PZ'")).toInt();
        vat22 = VoSelectValue(QStringLiteral("SELECT IALVID FROM TALV_ALIQUOTEIVA WHERE SALVDESCS = 'I22'"))
                    .toInt();
        article = VoTestArticle(QStringLiteral("Penne"), pieces, vat22);
        load = VoTestVoucher(kvaLoading, QDate(2026, 3, 1), years[0]);
        row = VoTestRow(load, article, 5, 2.0);
        // A voucher whose rows the stock lets go.
        spare = VoTestVoucher(kvaLoading, QDate(2026, 4, 1), years[0]);
        spareRow = VoTestRow(spare, VoTestArticle(QStringLiteral("Gomme"), pieces, vat22), 1, 1.0);
        unloading = VoTestVoucher(kvaUnloading, QDate(2026, 5, 1), years[0]);
        unloadingRow = VoTestRow(unloading, article, 2, 2.0);
        // An unloading row is saved with the sector it goes to.
        VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET ISECID = (SELECT MIN(ISECID) FROM TSEC_SETTCONS) "
                                 "WHERE IAFCID = :r"),
                  {{QStringLiteral("r"), unloadingRow}});
        link = VoTestNewKey(QStringLiteral("TFBUOIDC"));
        VoExecSQL(QStringLiteral("INSERT INTO TFBUOIDC (IFBUOIDCID, IFBUOID, IIDCID) VALUES (:l, :v, :d)"),
                  {{QStringLiteral("l"), link},
                   {QStringLiteral("v"), load},
                   {QStringLiteral("d"), VoTestDocument(QStringLiteral("FT-26"), QDate(2026, 2, 27))}});
    }
    void TearDown() override {
        for (QPointer<TfmkvaBuoni> &w : vouchers)
            delete w;
        kvaWindowTest::TearDown();
    }
    TfmkvaBuoni *OpenVouchers(const QString &window = QStringLiteral("TfmkvaBuoni")) {
        auto *w = qobject_cast<TfmkvaBuoni *>(CreateVoClass(window));
        EXPECT_NE(w, nullptr);
        if (!w)
            return nullptr;
        vouchers << w;
        EXPECT_TRUE(VoShowActive(w));
        w->pcDetail->setCurrentIndex(0);
        return w;
    }
    void CloseYear() {
        auto *fm = Open<TfmKvaChiusura>(QStringLiteral("TfmkvaChiusura"));
        ASSERT_TRUE(fm);
        VoClick(fm->buNext);
        VoClick(fm->buOk);
        ASSERT_EQ(messages->Texts(), QStringList{QStringLiteral("Chiusura completata")});
        messages->Clear();
    }
    // A voucher window opened before the closing, the closing, and one opened after it.
    void CloseAmidWindows() {
        before = OpenVouchers();
        CloseYear();
        closed = Year();
        after = OpenVouchers();
    }
    QStringList Year() const {
        const QVariantHash year{{QStringLiteral("y"), years[0]}};
        return VoRowTexts(QString::fromLatin1(kYearSQL), year) +
               VoRowTexts(QString::fromLatin1(kYearLinksSQL), year);
    }
    double Cost(int rowId) const {
        return VoSelectValue(QStringLiteral("SELECT FAFCCOSTOUNIT FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                             {{QStringLiteral("r"), rowId}})
            .toDouble();
    }
    // The closing window opened on the current year, as the menu opens it: shown, and told at once when
    // it refuses.
    TfmKvaChiusura *OpenClosing() {
        auto *fm = qobject_cast<TfmKvaChiusura *>(CreateVoClass(QStringLiteral("TfmkvaChiusura")));
        EXPECT_TRUE(fm);
        if (!fm)
            return nullptr;
        window = fm;
        fm->show();
        QApplication::processEvents();
        return fm;
    }
    // Whether the frame's record was saved: a refused one stays in its edit.
    static bool Saved(TfrVoDBRWGrid *frame) {
        return frame->xacPost->Execute() && frame->DataSet()->State() == dsBrowse;
    }
    // The refusal told once by the last step, whatever was asked before it.
    void ExpectRefused(const char *step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(messages->LastText(), kClosed) << messages->Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(messages->Texts().count(kClosed), 1);
        messages->Clear();
    }

    QList<int> years;
    int facId = 0, pieces = 0, vat22 = 0, article = 0, load = 0, row = 0, spare = 0, spareRow = 0, link = 0,
        unloading = 0, unloadingRow = 0;
    QList<QPointer<TfmkvaBuoni>> vouchers;
    TfmkvaBuoni *before = nullptr, *after = nullptr;
    QStringList closed; // the year as the closing left it
};

} // namespace

TEST_F(kvaClosedYearTest, NoWindowChangesTheClosedYearWhenEverItWasOpened) {
    MakeYear(1);
    // A voucher begun while the year was open is refused when it is saved after the closing.
    before = OpenVouchers();
    ASSERT_TRUE(before && before->frMaster->xacInsert->Execute());
    VoTypeInto(before->frMaster->xedDescr, QStringLiteral("Carico tardivo"));
    CloseYear();
    closed = Year();
    after = OpenVouchers();
    EXPECT_FALSE(Saved(before->frMaster));
    ExpectRefused("voucher begun before the closing");
    before->frMaster->xacCancel->Execute();

    for (TfmkvaBuoni *w : {before, after}) {
        SCOPED_TRACE(w == before ? "opened before the closing" : "opened after the closing");
        ASSERT_TRUE(w && VoShowActive(w));
        TfrkvaBuoniCarico *header = w->frMaster;
        TfrkvaBeniCarico *rows = w->frDetail;
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), load));

        ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), row));
        ASSERT_TRUE(rows->xacEdit->Execute());
        VoTypeInto(rows->xneQuant, QStringLiteral("50"));
        EXPECT_FALSE(Saved(rows));
        ExpectRefused("row changed");
        rows->xacCancel->Execute();

        // The window read after the closing offers no new row at all.
        if (rows->xacInsert->Execute()) {
            VoTypeDescription(rows, QStringLiteral("Matite"));
            rows->xelCategoria->SetKeyValue(1);
            rows->xelCodMerce->SetKeyValue(VoSelectValue(
                QStringLiteral("SELECT IMERID FROM TMER_CODICIMERCEOL WHERE SMERCODICE = 'CAR'")));
            rows->xelUniMis->SetKeyValue(pieces);
            rows->xelIva->SetKeyValue(vat22);
            VoTypeInto(rows->xneQuant, QStringLiteral("3"));
            VoTypeInto(rows->xceImporto, QStringLiteral("1"));
            EXPECT_FALSE(Saved(rows));
            ExpectRefused("row added");
            rows->xacCancel->Execute();
        } else {
            EXPECT_NE(w, before);
        }

        ASSERT_TRUE(header->xacEdit->Execute());
        VoTypeInto(header->xedDescr, QStringLiteral("Cambiata"));
        EXPECT_FALSE(Saved(header));
        ExpectRefused("header changed");
        header->xacCancel->Execute();

        // No new voucher is proposed in the year: the refusal comes before anything is typed.
        ASSERT_TRUE(header->xacInsert->Execute());
        EXPECT_EQ(w->xqcMain->State(), dsBrowse);
        EXPECT_EQ(messages->Texts(), QStringList{kClosed});
        messages->Clear();

        EXPECT_EQ(Year(), closed);
    }
}

// The documents of a closed year's voucher stay linked, and no other is linked to it.
TEST_F(kvaClosedYearTest, NoWindowChangesTheDocumentLinksOfTheClosedYear) {
    MakeYear(1);
    CloseAmidWindows();
    for (TfmkvaBuoni *w : {before, after}) {
        SCOPED_TRACE(w == before ? "opened before the closing" : "opened after the closing");
        ASSERT_TRUE(w && VoShowActive(w));
        w->pcDetail->setCurrentWidget(w->tsDoc);
        TfrkvaBuoIdc *documents = w->frBuoDoc;
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), load));
        ASSERT_TRUE(w->xqcDoc->Locate(QStringLiteral("iFBuoIdcId"), link));
        messages->Push(mrYes);
        ASSERT_TRUE(documents->xacDelete->Execute());
        ExpectRefused("link deleted");

        // The window read after the closing offers no new link at all.
        if (documents->xacInsert->Execute()) {
            VoSearchAndChoose(QStringLiteral("Carta e"));
            EXPECT_FALSE(Saved(documents));
            ExpectRefused("link added");
            documents->xacCancel->Execute();
        } else {
            EXPECT_NE(w, before);
        }
        EXPECT_EQ(Year(), closed);
    }
}

// Neither a row nor a document link of the closed year is offered to be deleted: the year is said to be
// closed before the question.
TEST_F(kvaClosedYearTest, NoRowOrLinkOfTheClosedYearIsOfferedToBeDeleted) {
    MakeYear(1);
    CloseAmidWindows();
    for (TfmkvaBuoni *w : {before, after}) {
        SCOPED_TRACE(w == before ? "opened before the closing" : "opened after the closing");
        ASSERT_TRUE(w && VoShowActive(w));
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), load));
        ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), row));
        ASSERT_TRUE(w->xqcDoc->Locate(QStringLiteral("iFBuoIdcId"), link));
        for (TfrVoDBRWGrid *frame : std::initializer_list<TfrVoDBRWGrid *>{w->frDetail, w->frBuoDoc}) {
            frame->xacDelete->Execute();
            EXPECT_EQ(messages->Texts(), QStringList{kClosed});
            messages->Clear();
        }
        EXPECT_EQ(Year(), closed);
    }
}

// A change of a closed year's row is refused for the closing, not for the stock it would break or a
// field it lacks: a loading row lowered below what was unloaded, an unloading row raised above the
// stock, a row of the closing's own voucher, which goes to no sector.
TEST_F(kvaClosedYearTest, AChangedRowOfTheClosedYearIsRefusedAsClosedBeforeAnyOtherReason) {
    MakeYear(1);
    CloseYear();
    closed = Year();
    const QVariantHash closing{{QStringLiteral("y"), years[0]}};
    const int closingVoucher = VoSelectValue(QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE IDWGFACANFID "
                                                            "= :y AND SFBUOUSE = 'SCACHIUS'"),
                                             closing)
                                   .toInt();
    const int closingRow =
        VoSelectValue(QStringLiteral("SELECT MIN(IAFCID) FROM TAFC_ARTVELIST WHERE IFBUOID = :v"),
                      {{QStringLiteral("v"), closingVoucher}})
            .toInt();
    const struct {
        const char *window;
        int voucher, row;
        const char *quantity;
    } changes[] = {{"TfmkvaBuoni", load, row, "1"},
                   {"TfmkvaBuoniSca", unloading, unloadingRow, "50"},
                   {"TfmkvaBuoniSca", closingVoucher, closingRow, "1"}};
    for (const auto &c : changes) {
        SCOPED_TRACE(c.row);
        TfmkvaBuoni *w = OpenVouchers(QString::fromLatin1(c.window));
        ASSERT_TRUE(w);
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), c.voucher));
        ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), c.row));
        ASSERT_TRUE(w->frDetail->xacEdit->Execute());
        VoTypeInto(w->frDetail->xneQuant, QString::fromLatin1(c.quantity));
        EXPECT_FALSE(Saved(w->frDetail));
        EXPECT_EQ(messages->Texts(), QStringList{kClosed});
        messages->Clear();
        w->frDetail->xacCancel->Execute();
        EXPECT_EQ(Year(), closed);
    }
}

// Numbered across its years, the register keeps the stock of the closed year: its rows could go but
// for the closing. The closing is the reason given, before any question and before the stock.
TEST_F(kvaClosedYearTest, NoWindowDeletesFromTheClosedYear) {
    MakeYear(0);
    CloseAmidWindows();
    for (TfmkvaBuoni *w : {before, after}) {
        SCOPED_TRACE(w == before ? "opened before the closing" : "opened after the closing");
        ASSERT_TRUE(w && VoShowActive(w));
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), spare));
        ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), spareRow));
        messages->Push(mrYes);
        EXPECT_FALSE(w->xqcDetail->Delete());
        ExpectRefused("row deleted");

        // Without this row the stock of its article would go below zero.
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), load));
        ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), row));
        messages->Push(mrYes);
        EXPECT_FALSE(w->xqcDetail->Delete());
        ExpectRefused("row deleted below the stock");

        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), spare));
        w->frMaster->xacDelete->Execute();
        EXPECT_EQ(messages->Texts(), QStringList{kClosed});
        messages->Clear();

        EXPECT_EQ(Year(), closed);
    }
}

// The lock of a closed year's voucher is never undone, whatever writes it.
TEST_F(kvaClosedYearTest, TheLockOfTheClosedYearIsNeverCleared) {
    MakeYear(1);
    CloseYear();
    closed = Year();
    try {
        VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET ILOCKED = 0 WHERE IFBUOID = :v"),
                  {{QStringLiteral("v"), load}});
        ADD_FAILURE() << "the lock was cleared";
    } catch (const EVoException &e) {
        EXPECT_EQ(e.Message(), kClosed);
    }
    EXPECT_EQ(Year(), closed);
}

// Numbered across its years, the register has every voucher locked by the closing, the next year's
// too: that year stays open, its locked vouchers take no new rows from the window, and a change of its
// rows re-prices its unloading rows, locked or not, while the closed year keeps its costs.
TEST_F(kvaClosedYearTest, TheClosingLocksTheNextYearWithoutFreezingIt) {
    MakeYear(0);
    const int early = VoTestVoucher(kvaLoading, QDate(2027, 1, 10), years[1]);
    const int earlyRow = VoTestRow(early, article, 5, 2.0);
    const int unloadRow = VoTestRow(VoTestVoucher(kvaUnloading, QDate(2027, 3, 1), years[1]), article, 2, 2.0);
    CloseYear();
    closed = Year();
    ASSERT_EQ(VoSelectValue(QStringLiteral("SELECT ILOCKED FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                            {{QStringLiteral("v"), early}})
                  .toInt(),
              1);
    // A loading dated before the unloading, entered after it.
    const int later = VoTestVoucher(kvaLoading, QDate(2027, 2, 1), years[1]);
    const int laterRow = VoTestRow(later, article, 10, 5.0);

    ChooseRegisterYear(years[1]);
    TfmkvaBuoni *w = OpenVouchers();
    ASSERT_TRUE(w);
    const struct {
        int voucher, row;
        const char *quantity;
        double cost; // of the 2027 unloading: every load up to its date, 2026's included
    } edits[] = {{later, laterRow, "20", (10.0 + 10.0 + 100.0) / 30.0},
                 {early, earlyRow, "15", (10.0 + 30.0 + 100.0) / 40.0}};
    for (const auto &e : edits) {
        SCOPED_TRACE(e.quantity);
        ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), e.voucher));
        EXPECT_EQ(w->frDetail->xacInsert->Locked(), e.voucher == early);
        ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), e.row));
        ASSERT_TRUE(w->frDetail->xacEdit->Execute());
        VoTypeInto(w->frDetail->xneQuant, QString::fromLatin1(e.quantity));
        EXPECT_TRUE(Saved(w->frDetail)) << messages->LastText().toStdString();
        EXPECT_TRUE(messages->Texts().isEmpty());
        messages->Clear();
        EXPECT_DOUBLE_EQ(Cost(unloadRow), e.cost);
    }
    EXPECT_EQ(Year(), closed);
}

// Numbered across its years, the register's saves take the register's row before they number: the
// closing takes it too, so that a voucher saved into the year while it closes is closed with it.
TEST_F(kvaClosedYearTest, AVoucherSavedWhileTheYearClosesIsClosedWithIt) {
    MakeYear(0);
    auto *fm = Open<TfmKvaChiusura>(QStringLiteral("TfmkvaChiusura"));
    ASSERT_TRUE(fm);
    VoClick(fm->buNext);

    QProcess peer;
    peer.start(QStringLiteral(VO_DBPEER),
               {dbPath, QStringLiteral("--voucher"), QStringLiteral("TFAC_VELISTO"), QStringLiteral("IFACID"),
                QString::number(facId), QString::number(years[0]), QStringLiteral("10"),
                QStringLiteral("2026-06-01")});
    ASSERT_TRUE(peer.waitForReadyRead(30000));
    ASSERT_EQ(peer.readLine().trimmed(), QByteArray("locked"));
    VoClick(fm->buOk);
    // The closing may have waited for the other copy to the end.
    peer.waitForFinished(30000);
    ASSERT_EQ(peer.state(), QProcess::NotRunning);
    EXPECT_EQ(peer.exitCode(), 0) << peer.readAllStandardOutput().toStdString();
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Chiusura completata")});
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT IFBUONUMERO, ILOCKED FROM TFBUO_BUONI WHERE IDWGFACANFID = :y "
                                        "AND ILOCKED = 0"),
                         {{QStringLiteral("y"), years[0]}}),
              QStringList{});
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE IFBUONUMERO = 10 AND IDWGFACANFID = :y"),
                          {{QStringLiteral("y"), years[0]}}),
              1);
}

// A closed year is said to be closed as soon as the closing or the generation wizard is asked for.
TEST_F(kvaClosedYearTest, TheClosingAndTheGenerationAreRefusedAtOnceInTheClosedYear) {
    for (const int numbering : {1, 0}) {
        SCOPED_TRACE(numbering);
        MakeYear(numbering, QStringLiteral("Registro chiuso %1").arg(numbering));
        CloseYear();
        closed = Year();
        TfmKvaChiusura *fm = OpenClosing();
        ASSERT_TRUE(fm);
        EXPECT_EQ(messages->Texts(), QStringList{kClosed});
        EXPECT_FALSE(fm->isVisible());
        VoCloseWindow(fm);
        messages->Clear();

        auto *unloading = qobject_cast<TfmkvaBuoniSca *>(CreateVoClass(QStringLiteral("TfmkvaBuoniSca")));
        ASSERT_TRUE(unloading && VoShowActive(unloading));
        vouchers << unloading;
        bool wizardShown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                wizardShown = true;
                modal->close();
            }
        });
        unloading->Master()->miTutti->trigger();
        QApplication::processEvents();
        EXPECT_FALSE(wizardShown);
        EXPECT_EQ(messages->Texts(), QStringList{kClosed});
        messages->Clear();
        EXPECT_EQ(Year(), closed);
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TCHA_CHIUSURAANNO WHERE IFACID = :f"),
                              {{QStringLiteral("f"), facId}}),
                  1);
    }
}

// Merged into the article, the dearer pens raise the cost of the open year's unloading; the closed
// year's unloading keeps its cost, its rows moved to the kept article with their quantities and costs.
TEST_F(kvaClosedYearTest, AMergeKeepsTheClosedYearsCostsAndRepricesTheOpenYears) {
    MakeYear(0);
    const int other = VoTestArticle(QStringLiteral("Penne blu"));
    VoTestRow(load, other, 5, 8.0);
    CloseYear();
    const QString costs = QStringLiteral("SELECT afc.IAFCID, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT FROM "
                                         "TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = "
                                         "afc.IFBUOID WHERE buo.IDWGFACANFID = :y ORDER BY afc.IAFCID");
    const QVariantHash year{{QStringLiteral("y"), years[0]}};
    const QStringList closedCosts = VoRowTexts(costs, year);

    ChooseRegisterYear(years[1]);
    const int next = VoTestVoucher(kvaLoading, QDate(2027, 2, 1), years[1]);
    const int nextRow = VoTestRow(next, article, 1, 1.0);
    const int unloadRow = VoTestRow(VoTestVoucher(kvaUnloading, QDate(2027, 3, 1), years[1]), article, 1, 0.0);
    TfmkvaBuoni *w = OpenVouchers();
    ASSERT_TRUE(w);
    // A change that leaves the closed year's costs as they are.
    ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), next));
    ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), nextRow));
    ASSERT_TRUE(w->frDetail->xacEdit->Execute());
    VoTypeInto(w->frDetail->xneQuant, QStringLiteral("4"));
    EXPECT_TRUE(Saved(w->frDetail)) << messages->LastText().toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_DOUBLE_EQ(Cost(unloadRow), (10.0 + 4.0) / 9.0);

    TfmKvaArtSost dialog;
    dialog.iFarId = other;
    dialog.sFarSDesc = QStringLiteral("Penne blu");
    dialog.sFarLDesc = QStringLiteral("Penne blu");
    ASSERT_TRUE(VoShowActive(&dialog));
    dialog.xelDesc->SetKeyValue(article);
    messages->Push(mrYes);
    VoClick(dialog.buOk);
    EXPECT_EQ(messages->Texts().size(), 1) << messages->LastText().toStdString(); // the question alone
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(VoRowTexts(costs, year), closedCosts);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TAFC_ARTVELIST WHERE IFARID = :a"),
                          {{QStringLiteral("a"), other}}),
              0);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TFAR_FACARTICOLI WHERE IFARID = :a"),
                          {{QStringLiteral("a"), other}}),
              0);
    EXPECT_DOUBLE_EQ(Cost(unloadRow), (10.0 + 40.0 + 4.0) / 14.0);
}
