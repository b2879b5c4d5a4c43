// The code registries as a user meets them on the demo data: the causal code rule, a goods code in
// one category at most, the measures a unit takes from its description, goods codes with their
// details, and codes that rows or articles name kept when their deletion is asked.
#include "VoClassRegistry.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestWindows.h"
#include "kvaFCodMerce.h"
#include "kvaFCodici.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <gtest/gtest.h>

namespace {

QString Warning(const QString &text) {
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(text);
}

QString Missing(const QString &word) {
    return QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\". ").arg(word);
}

class kvaCodiciTest : public kvaWindowTest {
protected:
    static QString Codes(TVoQueryCollection *c, const QString &field) {
        QStringList codes;
        for (c->First(); !c->Eof(); c->Next())
            codes << c->FieldByName(field)->AsString();
        codes.sort();
        return codes.join(QLatin1Char(','));
    }
};

} // namespace

TEST_F(kvaCodiciTest, ACausalCodeIsLookedUpOnInsertAndWhenChanged) {
    auto *fm = Open<TfmkvaCausali>(QStringLiteral("TfmkvaCausali"));
    ASSERT_TRUE(fm);
    TfrkvaCausali *fr = fm->frMaster;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Causali"));

    ASSERT_TRUE(fr->xacInsert->Execute());
    ASSERT_EQ(QApplication::focusWidget(), fr->VoDBEdit1);
    VoType(QStringLiteral("DON"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(messages->Texts(), QStringList{Warning(QStringLiteral("Codice già presente"))});
    VoTypeInto(fr->VoDBEdit1, QStringLiteral("REG"));
    VoTypeInto(fr->VoDBEdit2, QStringLiteral("Regalo"));
    messages->Clear();
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(
                  QStringLiteral("SELECT SCAVDESC || '/' || ICAVTIPO FROM TCAV_CAUSALIINV WHERE SCAVCODICE = "
                                 "'REG'"))
                  .toString(),
              QStringLiteral("Regalo/0"));

    // Its own code, kept, is not another causal's.
    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeInto(fr->VoDBEdit2, QStringLiteral("Regalo di enti"));
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();

    ASSERT_TRUE(fr->xacEdit->Execute());
    VoTypeInto(fr->VoDBEdit1, QStringLiteral("IMP"));
    EXPECT_EQ(messages->Texts(), QStringList{Warning(QStringLiteral("Codice già presente"))});
    messages->Clear();
    VoTypeInto(fr->VoDBEdit1, QString());
    EXPECT_EQ(messages->Texts(), QStringList{Missing(QStringLiteral("Codice"))});
    fr->xacCancel->Execute();
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TCAV_CAUSALIINV WHERE SCAVDESC = 'Regalo di enti' AND "
                                   "SCAVCODICE = 'REG'")),
        1);
}

TEST_F(kvaCodiciTest, AGoodsCodeJoinsOneCategoryAndOnlyFreeCodesAreOffered) {
    auto *fm = Open<TfmCategMerce>(QStringLiteral("TFmCategMerce"));
    ASSERT_TRUE(fm);
    TfrCategMerce *fr = fm->frDetail;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Categorie merceologiche"));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    ASSERT_EQ(fm->xqcMain->FieldByName(QStringLiteral("SCAFDESC"))->AsString(),
              QStringLiteral("Cancelleria"));
    EXPECT_EQ(Codes(fm->xqcDetail, QStringLiteral("SMERCODICE")), QStringLiteral("CAR,PEN"));

    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("SCAFDESC"), QStringLiteral("Materiale didattico")));
    const int category = fm->xqcMain->FieldByName(QStringLiteral("ICAFID"))->AsInteger();
    EXPECT_TRUE(fm->xqcDetail->IsEmpty());
    ASSERT_TRUE(fr->xacInsert->Execute());
    ASSERT_EQ(QApplication::focusWidget(), fr->xelMerceologia);
    TVoSearchSeen seen;
    VoSearchAndChoose(QStringLiteral("igien"), &seen);
    EXPECT_EQ(seen.titles, (QStringList{QStringLiteral("Descrizione"), QStringLiteral("Codice")}));
    EXPECT_EQ(seen.rows, 2) << "the codes of no category";
    ASSERT_TRUE(fr->xacPost->Execute());
    EXPECT_EQ(VoCountRows(
                  QStringLiteral("SELECT * FROM TCFM_CATEGFACMERCE cfm JOIN TMER_CODICIMERCEOL mer ON "
                                 "mer.IMERID = cfm.IMERID WHERE mer.SMERCODICE = 'IGI' AND cfm.ICAFID = :c"),
                  {{QStringLiteral("c"), category}}),
              1);
    EXPECT_EQ(Codes(fm->xqcDetail, QStringLiteral("SMERCODICE")), QStringLiteral("IGI"));

    // A code of another category cannot be typed in: the text is taken back.
    ASSERT_TRUE(fr->xacInsert->Execute());
    VoType(QStringLiteral("Carta e cartoncini"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(messages->Texts(), QStringList{Warning(QStringLiteral("Codice merceologico"))});
    EXPECT_TRUE(fr->xelMerceologia->text().isEmpty());
    // A code chosen here and given to a category by another copy meanwhile is refused.
    messages->Clear();
    fr->xelMerceologia->setFocus(Qt::MouseFocusReason);
    VoSearchAndChoose(QStringLiteral("memoria"));
    VoExecSQL(QStringLiteral("INSERT INTO TCFM_CATEGFACMERCE (ICFMID, ICAFID, IMERID) SELECT "
                             "(SELECT L_ICNTID FROM PYSETGETID('TCFM_CATEGFACMERCE', 1)), 1, IMERID FROM "
                             "TMER_CODICIMERCEOL WHERE SMERCODICE = 'SUP'"));
    EXPECT_FALSE(fr->xacPost->Execute() && fm->xqcDetail->State() == dsBrowse);
    EXPECT_EQ(messages->Texts(), QStringList{Warning(QStringLiteral("Codice merceologico già usato"))});
    fr->xacCancel->Execute();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TCFM_CATEGFACMERCE WHERE ICAFID = :c"),
                          {{QStringLiteral("c"), category}}),
              1);
}

TEST_F(kvaCodiciTest, WithoutCategoriesTheGoodsCodesWindowAsksForOne) {
    VoExecSQL(QStringLiteral("DELETE FROM TFAR_FACARTICOLI"));
    VoExecSQL(QStringLiteral("DELETE FROM TCFM_CATEGFACMERCE"));
    VoExecSQL(QStringLiteral("DELETE FROM TCAF_CATEGORIEFAC"));
    auto *fm = Open<TfmCategMerce>(QStringLiteral("TfmCategMerce"));
    ASSERT_TRUE(fm);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Caricare una classificazione")});
    EXPECT_EQ(messages->Shown().first().type, mtWarning);
    EXPECT_FALSE(fm->frDetail->xacInsert->isEnabled());
    // Closing it warns no more.
    messages->Clear();
    VoCloseWindow(fm);
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaCodiciTest, TheGoodsCodesOfCategoriesCloseWithoutAWord) {
    auto *fm = Open<TfmCategMerce>(QStringLiteral("TfmCategMerce"));
    ASSERT_TRUE(fm);
    ASSERT_FALSE(fm->xqcMain->IsEmpty());
    VoCloseWindow(fm);
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaCodiciTest, AUnitWithoutMeasuresTakesItsDescriptionCutToTheirLength) {
    struct Case {
        QString code, description, loading, expectedLoading, expectedUnloading;
    };
    const Case cases[] = {
        {QStringLiteral("U1"), QStringLiteral("Pezzi"), QString(), QStringLiteral("Pezzi"),
         QStringLiteral("Pezzi")},
        {QStringLiteral("U2"), QStringLiteral("Scatole"), QString(), QStringLiteral("Scato"),
         QStringLiteral("Scato")},
        {QStringLiteral("U3"), QStringLiteral("Scatola da sei"), QStringLiteral("SC6"), QStringLiteral("SC6"),
         QString()},
    };
    auto *fm = Open<TfmkvaUniMisura>(QStringLiteral("TfmkvaUniMisura"));
    ASSERT_TRUE(fm);
    TfrkvaUniMisura *fr = fm->frUniMisura;
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Unità di Misura"));
    for (const Case &c : cases) {
        ASSERT_TRUE(fr->xacInsert->Execute());
        VoTypeInto(fr->xdeCodice, c.code);
        if (!c.loading.isEmpty())
            VoTypeInto(fr->xdeMisuraCarico, c.loading);
        VoTypeInto(fr->xdeDescrizione, c.description);
        ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
        EXPECT_EQ(
            VoSelectValue(
                QStringLiteral(
                    "SELECT COALESCE(SUNMMISCARICO, '') || '/' || COALESCE(SUNMMISSCARICO, '') "
                    "|| '/' || CAST(FUNMFATTOREPROP AS INTEGER) FROM TUNM_UNITAMISURA WHERE SUNMCOD = :c"),
                {{QStringLiteral("c"), c.code}})
                .toString(),
            c.expectedLoading + QLatin1Char('/') + c.expectedUnloading + QStringLiteral("/1"))
            << c.description.toStdString();
    }
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

// Every unloading quantity is a loading quantity times the factor: it is above zero and no larger
// than the quantities' bounds leave room for.
TEST_F(kvaCodiciTest, AUnitFactorIsAboveZeroAndAtMostTenThousand) {
    auto *fm = Open<TfmkvaUniMisura>(QStringLiteral("TfmkvaUniMisura"));
    ASSERT_TRUE(fm);
    TfrkvaUniMisura *fr = fm->frUniMisura;
    const struct {
        QString typed, refusal;
    } cases[] = {
        {QStringLiteral("0"), QStringLiteral("Il campo \"Fattore conversione\" deve essere maggiore di 0")},
        {QStringLiteral("10001"), QStringLiteral("Il campo \"Fattore conversione\" non può superare 10.000")},
        {QStringLiteral("10000"), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ASSERT_TRUE(fr->xacInsert->Execute());
        VoTypeInto(fr->xdeCodice, QStringLiteral("F") + c.typed);
        VoTypeInto(fr->xdeDescrizione, QStringLiteral("Scatola"));
        messages->Clear();
        VoTypeInto(fr->xdnFattore, c.typed);
        EXPECT_EQ(fr->xacPost->Execute() && fm->xqcUniMisura->State() == dsBrowse, c.refusal.isEmpty());
        EXPECT_EQ(messages->LastText(), c.refusal.isEmpty() ? QString() : Warning(c.refusal));
        fm->xqcUniMisura->Cancel();
    }
}

TEST_F(kvaCodiciTest, GoodsCodesOfBothProgramsAreListedAndNewOnesAreThisProgramsWithTheirDetails) {
    VoExecSQL(
        QStringLiteral("INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC, LMERPRG) VALUES "
                       "((SELECT L_ICNTID FROM PYSETGETID('TMER_CODICIMERCEOL', 1)), 'MOB', 'Mobili', 'B')"));
    auto *fm = Open<TfmkvaCodMerce>(QStringLiteral("TfmkvaCodMerce"));
    ASSERT_TRUE(fm);
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("Tabella codici merceologici"));
    EXPECT_EQ(fm->xqcMain->RecordCount(), 8);
    ASSERT_TRUE(fm->xqcMain->Locate(QStringLiteral("SMERCODICE"), QStringLiteral("CAR")));
    EXPECT_EQ(Codes(fm->xqcDetail, QStringLiteral("SDCMDESCS")), QStringLiteral("A3,A4"));

    ASSERT_TRUE(fm->frMaster->xacInsert->Execute());
    EXPECT_TRUE(fm->xqcDetail->IsEmpty());
    EXPECT_FALSE(fm->frDetail->xacInsert->isEnabled()) << "a detail of a code not yet saved";
    VoTypeInto(fm->frMaster->xedCodice, QStringLiteral("CAL"));
    VoTypeInto(fm->frMaster->xedDesc, QStringLiteral("Calcolatrici"));
    ASSERT_TRUE(fm->frMaster->xacPost->Execute()) << messages->LastText().toStdString();
    const QVariant code =
        VoSelectValue(QStringLiteral("SELECT IMERID FROM TMER_CODICIMERCEOL WHERE SMERCODICE = 'CAL' AND "
                                     "LMERPRG = 'F'"));
    ASSERT_FALSE(code.isNull());

    ASSERT_TRUE(fm->frDetail->xacInsert->Execute());
    VoTypeInto(fm->frDetail->xdeCodice, QStringLiteral("SCI"));
    VoTypeInto(fm->frDetail->xdeDescrizione, QStringLiteral("Calcolatrici scientifiche"));
    ASSERT_TRUE(fm->frDetail->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IMERID FROM TDCM_DETTCODMERC WHERE SDCMDESCS = 'SCI'")),
              code);
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

// Rows and articles name most codes without a reference the database enforces: a code they name stays,
// with one plain message, and the code nobody names goes.
TEST_F(kvaCodiciTest, ACodeThatRowsOrArticlesNameIsKept) {
    enum TNamedBy { byRow, byArticle, byLink };
    struct Case {
        const char *window, *table, *key;
        TNamedBy namedBy;
    };
    const Case cases[] = {
        {"TfmkvaAliquoteIVA", "TALV_ALIQUOTEIVA", "IALVID", byRow},
        {"TfmkvaCausali", "TCAV_CAUSALIINV", "ICAVID", byRow},
        {"TfmkvaCond", "TCOND_CONDIZIONI", "ICONDID", byRow},
        {"TfmkvaCollocazioni", "TCLC_COLLOCAZIONI", "ICLCID", byRow},
        {"TfmkvaCategorie", "TCAF_CATEGORIEFAC", "ICAFID", byArticle},
        {"TfmkvaCodMerce", "TMER_CODICIMERCEOL", "IMERID", byArticle},
        {"TfmkvaUniMisura", "TUNM_UNITAMISURA", "IUNMID", byArticle},
        {"TfmkvaDoc", "TIDC_INVDOC", "IIDCID", byLink},
    };
    const int voucher = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), VoTestRegisterYear(2026));
    const int article = VoTestArticle(QStringLiteral("Quaderni"));
    const int row = VoTestRow(voucher, article, 3, 1.5);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.window);
        const QString table = QString::fromLatin1(c.table), key = QString::fromLatin1(c.key);
        const int id = VoTestNewKey(table);
        VoExecSQL(QStringLiteral("INSERT INTO %1 (%2) VALUES (:id)").arg(table, key),
                  {{QStringLiteral("id"), id}});
        if (c.namedBy == byLink)
            VoExecSQL(QStringLiteral("UPDATE TIDC_INVDOC SET SIDCPRG = '10000' WHERE IIDCID = :id"),
                      {{QStringLiteral("id"), id}});
        const QString use =
            c.namedBy == byRow
                ? QStringLiteral("UPDATE TAFC_ARTVELIST SET %1 = :id WHERE IAFCID = %2").arg(key).arg(row)
            : c.namedBy == byArticle
                ? QStringLiteral("UPDATE TFAR_FACARTICOLI SET %1 = :id WHERE IFARID = %2")
                      .arg(key)
                      .arg(article)
                : QStringLiteral("INSERT INTO TFBUOIDC (IFBUOIDCID, IFBUOID, IIDCID) VALUES "
                                 "((SELECT L_ICNTID FROM PYSETGETID('TFBUOIDC', 1)), %1, :id)")
                      .arg(voucher);
        VoExecSQL(use, {{QStringLiteral("id"), id}});
        const QString count = QStringLiteral("SELECT * FROM %1 WHERE %2 = %3").arg(table, key).arg(id);

        window = CreateVoClass(QString::fromLatin1(c.window));
        ASSERT_TRUE(VoShowActive(window));
        TfrVoDBRWGrid *frame = VoDeleteRow(window, key, id, messages);
        ASSERT_TRUE(frame);
        EXPECT_EQ(messages->Texts(),
                  (QStringList{QStringLiteral("Cancellare il record?"), CodeInUseMessage}));
        EXPECT_EQ(VoCountRows(count), 1);
        ASSERT_TRUE(frame->DataSet()->Locate(key, id)) << "the row stays on the list";

        // Nobody names it any more.
        if (c.namedBy == byLink)
            VoExecSQL(QStringLiteral("DELETE FROM TFBUOIDC WHERE IIDCID = :id"),
                      {{QStringLiteral("id"), id}});
        else
            VoExecSQL(QStringLiteral("UPDATE %1 SET %2 = NULL")
                          .arg(c.namedBy == byRow ? "TAFC_ARTVELIST" : "TFAR_FACARTICOLI", key));
        messages->Clear();
        messages->Push(mrYes);
        frame->xacDelete->Execute();
        EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Cancellare il record?")});
        EXPECT_EQ(VoCountRows(count), 0);
        VoCloseWindow(window);
    }
}
