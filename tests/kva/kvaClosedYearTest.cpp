// A closed year stays as the closing carried it: through a voucher window opened before the closing
// and one opened after it, no voucher is added to the year and no row or header of its vouchers is
// added, changed or deleted; a change of another year that would re-price a locked row is refused.
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
#include "kvaRBuoniCarico.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString kClosed = QStringLiteral("L'anno è stato chiuso: i buoni non si possono più modificare.");

// Everything the year's vouchers hold.
const char *const kYearSQL =
    "SELECT buo.IFBUOID, buo.IFBUONUMERO, buo.DFBUODATA, buo.SFBUODESC, buo.ILOCKED, afc.IAFCID, "
    "afc.IFARID, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT FROM TFBUO_BUONI buo LEFT JOIN TAFC_ARTVELIST afc ON "
    "afc.IFBUOID = buo.IFBUOID WHERE buo.IDWGFACANFID = :y ORDER BY buo.IFBUOID, afc.IAFCID";

class kvaClosedYearTest : public kvaWindowTest {
protected:
    void MakeYear(int numbering) {
        years = VoTestOpenRegister(QStringLiteral("Registro chiuso"), 1, {2026, 2027}, &facId);
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
        VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 5, 1), years[0]), article, 2, 2.0);
    }
    void TearDown() override {
        for (QPointer<TfmkvaBuoni> &w : vouchers)
            delete w;
        kvaWindowTest::TearDown();
    }
    TfmkvaBuoni *OpenVouchers() {
        auto *w = qobject_cast<TfmkvaBuoni *>(CreateVoClass(QStringLiteral("TfmkvaBuoni")));
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
        return VoRowTexts(QString::fromLatin1(kYearSQL), {{QStringLiteral("y"), years[0]}});
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
    int facId = 0, pieces = 0, vat22 = 0, article = 0, load = 0, row = 0, spare = 0, spareRow = 0;
    QList<QPointer<TfmkvaBuoni>> vouchers;
    TfmkvaBuoni *before = nullptr, *after = nullptr;
    QStringList closed; // the year as the closing left it
};

} // namespace

TEST_F(kvaClosedYearTest, NoWindowChangesTheClosedYearWhenEverItWasOpened) {
    MakeYear(1);
    CloseAmidWindows();

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

        // A new voucher is proposed in the year, and refused when saved.
        ASSERT_TRUE(header->xacInsert->Execute());
        VoTypeInto(header->xedDescr, QStringLiteral("Carico tardivo"));
        EXPECT_FALSE(Saved(header));
        ExpectRefused("voucher added");
        header->xacCancel->Execute();

        EXPECT_EQ(Year(), closed);
    }
}

// Numbered across its years, the register keeps the stock of the closed year: its rows could go but
// for the closing.
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

        messages->Push({mrYes, mrYes});
        w->frMaster->xacDelete->Execute();
        ExpectRefused("voucher deleted");

        EXPECT_EQ(Year(), closed);
    }
}

// Numbered across its years, the register re-prices the unloading rows of every year after a change:
// a change that leaves the closed year's costs as they are goes through, one that would move them is
// refused whole.
TEST_F(kvaClosedYearTest, ARepricingThatWouldMoveALockedRowIsRefused) {
    MakeYear(0);
    const int other = VoTestArticle(QStringLiteral("Penne blu"));
    VoTestRow(load, other, 5, 8.0);
    CloseYear();
    closed = Year();

    ChooseRegisterYear(years[1]);
    const int next = VoTestVoucher(kvaLoading, QDate(2027, 2, 1), years[1]);
    const int nextRow = VoTestRow(next, article, 1, 1.0);
    TfmkvaBuoni *w = OpenVouchers();
    ASSERT_TRUE(w);
    ASSERT_TRUE(w->xqcMain->Locate(QStringLiteral("IFBUOID"), next));
    ASSERT_TRUE(w->xqcDetail->Locate(QStringLiteral("IAFCID"), nextRow));
    ASSERT_TRUE(w->frDetail->xacEdit->Execute());
    VoTypeInto(w->frDetail->xneQuant, QStringLiteral("4"));
    EXPECT_TRUE(Saved(w->frDetail)) << messages->LastText().toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT FAFCQUANTITA FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                            {{QStringLiteral("r"), nextRow}})
                  .toDouble(),
              4.0);

    // Merged into the article, the dearer pens would raise the cost of the closed year's unloading.
    try {
        kvaReplaceArticle(other, article);
        ADD_FAILURE() << "the merge went through";
    } catch (const EVoException &e) {
        EXPECT_EQ(e.Message(), kClosed);
    }
    EXPECT_EQ(Year(), closed);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TFAR_FACARTICOLI WHERE IFARID = :a"),
                          {{QStringLiteral("a"), other}}),
              1);
}
