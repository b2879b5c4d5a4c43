// The rows of a loading voucher driven as a user drives them: the article typed, found in the
// drop-down or made new, books, the checks of a row, the refused delete, the cause proposed, the
// totals, the vouchers that take no row, and a server that goes away and comes back.
#include "VoClassRegistry.h"
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
#include "VoTestWindows.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvaFBuoni.h"
#include "kvaRBeniCarico.h"
#include "kvaRBuoIdc.h"
#include "kvaRBuoniCarico.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString Warning(const QString &text) {
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(text);
}

QString Missing(const QString &word) {
    return QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\". ").arg(word);
}

int Code(const QString &sql) {
    return VoSelectValue(sql).toInt();
}

int GoodsCode(const QString &code) {
    return VoSelectValue(QStringLiteral("SELECT IMERID FROM TMER_CODICIMERCEOL WHERE SMERCODICE = :c"),
                         {{QStringLiteral("c"), code}})
        .toInt();
}

int Articles(const QString &description) {
    return VoCountRows(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE UPPER(SFARLDESC) = :d"),
                       {{QStringLiteral("d"), description.toUpper()}});
}

class kvaBeniCaricoTest : public kvaVoucherTest {
protected:
    void SetUp() override {
        kvaVoucherTest::SetUp();
        voucher = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), ry, 1);
        pieces = Code(QStringLiteral("SELECT IUNMID FROM TUNM_UNITAMISURA WHERE SUNMCOD = 'PZ'"));
        vat22 = Code(QStringLiteral("SELECT IALVID FROM TALV_ALIQUOTEIVA WHERE SALVDESCS = 'I22'"));
    }
    void Open() {
        window = qobject_cast<TfmkvaBuoni *>(CreateVoClass(QStringLiteral("TfmkvaBuoni")));
        opened = window;
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(VoShowActive(window));
        window->pcDetail->setCurrentIndex(0);
        rows = window->frDetail;
    }

    void NewRow() {
        ASSERT_TRUE(rows->xacInsert->Execute());
        QApplication::processEvents();
        ASSERT_EQ(window->xqcDetail->State(), dsInsert);
    }
    // Types into the description, key by key, as the user does.
    void TypeDescription(const QString &text) { VoTypeDescription(rows, text); }
    // The codes and amounts a new article needs.
    void FillCodes(int quantity = 2, const QString &cost = QStringLiteral("10")) {
        rows->xelCategoria->SetKeyValue(1);
        rows->xelCodMerce->SetKeyValue(GoodsCode(QStringLiteral("CAR")));
        rows->xelUniMis->SetKeyValue(pieces);
        rows->xelIva->SetKeyValue(vat22);
        VoTypeInto(rows->xneQuant, QString::number(quantity));
        VoTypeInto(rows->xceImporto, cost);
    }
    // The codes and amounts of one schoolbook.
    void FillBookCodes(const QString &cost) {
        rows->xelCodMerce->SetKeyValue(GoodsCode(QStringLiteral("TES")));
        rows->xelUniMis->SetKeyValue(pieces);
        rows->xelIva->SetKeyValue(vat22);
        VoTypeInto(rows->xneQuant, QStringLiteral("1"));
        VoTypeInto(rows->xceImporto, cost);
    }
    bool Post() {
        const bool posted = rows->xacPost->Execute();
        return posted && window->xqcDetail->State() == dsBrowse;
    }
    int Shown() const { return rows->grArtSearch->isVisible() ? rows->ArticleModel->rowCount() : 0; }
    int RowArticle() const { return window->xqcDetail->FieldByName(QStringLiteral("IFARID"))->AsInteger(); }

    int voucher = 0, pieces = 0, vat22 = 0;
    QPointer<TfmkvaBuoni> window;
    TfrkvaBeniCarico *rows = nullptr;
};

} // namespace

TEST_F(kvaBeniCaricoTest, ANewDescriptionMakesOneArticleThatTheNextRowOffers) {
    Open();
    const QString amountBefore = window->frMaster->xceImportoBeni->text();
    NewRow();
    EXPECT_EQ(QApplication::focusWidget(), rows->xdeDesc);
    TypeDescription(QStringLiteral("carta d'ufficio"));
    EXPECT_TRUE(rows->NewArticle());
    EXPECT_FALSE(rows->grArtSearch->isVisible());
    const QString code = rows->xdeCod->text();
    EXPECT_EQ(code, GetArticleCode(QStringLiteral("carta d'ufficio"), {}, {}, {}));
    FillCodes(2, QStringLiteral("10"));
    EXPECT_EQ(rows->xceTotale->text(), QStringLiteral("24,40"));
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();

    // Three statements ran (row, re-pricing, VAT), one article was made.
    ASSERT_EQ(Articles(QStringLiteral("carta d'ufficio")), 1);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SFARSDESC || '/' || ICAFID || '/' || IALVID FROM "
                                           "TFAR_FACARTICOLI WHERE IFARID = :a"),
                            {{QStringLiteral("a"), RowArticle()}})
                  .toString(),
              QStringLiteral("%1/1/%2").arg(code).arg(vat22));
    EXPECT_EQ(amountBefore, QStringLiteral("0,00"));
    EXPECT_EQ(window->frMaster->xceImportoBeni->text(), QStringLiteral("20,00"));

    NewRow();
    TypeDescription(QStringLiteral("ufficio"));
    EXPECT_FALSE(rows->NewArticle());
    ASSERT_EQ(Shown(), 1);
    EXPECT_EQ(rows->ArticleModel->index(0, 0).data().toString(), code + QStringLiteral(" CARTA D'UFFICIO"));
    // Down into the drop-down, Enter chooses: the article's data, the focus on the cost.
    VoPress(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), rows->grArtSearch);
    VoPress(Qt::Key_Return);
    EXPECT_FALSE(rows->grArtSearch->isVisible());
    EXPECT_EQ(rows->xdeDesc->text(), QStringLiteral("CARTA D'UFFICIO"));
    EXPECT_EQ(rows->xdeCod->text(), code);
    EXPECT_EQ(rows->xelIva->KeyValue().toInt(), vat22);
    EXPECT_FALSE(rows->xelUniMis->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), rows->xceImporto);
}

TEST_F(kvaBeniCaricoTest, TheArticleChosenIsKeptWhenAnotherHasTheSameDescription) {
    VoTestArticle(QStringLiteral("Penne rosse"), pieces, vat22);
    const int second = VoTestArticle(QStringLiteral("Penne rosse"), pieces, vat22);
    VoExecSQL(
        QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 1, IMERID = :m WHERE SFARLDESC = 'PENNE ROSSE'"),
        {{QStringLiteral("m"), GoodsCode(QStringLiteral("PEN"))}});
    Open();
    NewRow();
    TypeDescription(QStringLiteral("penne rosse"));
    ASSERT_EQ(Shown(), 2);
    const QString secondCode = QStringLiteral("%1").arg(second, 7, 10, QLatin1Char('0'));
    rows->ChooseArticle(rows->ArticleModel->index(0, 0).data().toString().startsWith(secondCode) ? 0 : 1);
    EXPECT_EQ(rows->xdeCod->text(), secondCode);
    VoTypeInto(rows->xneQuant, QStringLiteral("3"));
    VoTypeInto(rows->xceImporto, QStringLiteral("1"));
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(RowArticle(), second);
    EXPECT_EQ(Articles(QStringLiteral("penne rosse")), 2);
}

TEST_F(kvaBeniCaricoTest, BooksAreFoundAndMadeByTitleAuthorAndPublisher) {
    int facId = 0;
    const int bookYear = VoTestOpenRegister(QStringLiteral("Biblioteca"), 2, {2026}, &facId).first();
    ChooseRegisterYear(bookYear);
    voucher = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), bookYear, 1);
    Open();
    for (int round = 0; round < 2; ++round) {
        NewRow();
        EXPECT_EQ(rows->xelCategoria->KeyValue().toInt(), kvaBooksCategory);
        EXPECT_TRUE(rows->xedAutore->isVisible());
        EXPECT_EQ(rows->laDesc->text(), QStringLiteral("Titolo"));
        TypeDescription(QStringLiteral("I promessi sposi"));
        VoTypeInto(rows->xedAutore, QStringLiteral("Manzoni"));
        VoTypeInto(rows->xedEditore, QStringLiteral("Mondadori"));
        FillBookCodes(QStringLiteral("12"));
        ASSERT_TRUE(Post()) << messages->LastText().toStdString();
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARLDESC = "
                                             "'I PROMESSI SPOSI - MANZONI - MONDADORI' AND ICAFID = 5 AND "
                                             "SFARLIBTITOLO = 'I PROMESSI SPOSI'")),
                  1)
            << round;
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT DISTINCT IFARID FROM TAFC_ARTVELIST WHERE IFBUOID = :v"),
                          {{QStringLiteral("v"), voucher}}),
              1);
}

TEST_F(kvaBeniCaricoTest, ABooksAuthorAndPublisherTypedFirstAreKept) {
    Open();
    NewRow();
    rows->xelCategoria->setFocus(Qt::MouseFocusReason);
    VoTypeInto(rows->xelCategoria, QStringLiteral("Libri"));
    // Choosing the books category puts the focus on the title; the book's fields follow in the
    // order they stand on the page.
    QList<QWidget *> order{QApplication::focusWidget()};
    for (int i = 0; i < 3; ++i) {
        VoPress(Qt::Key_Tab);
        order << QApplication::focusWidget();
    }
    EXPECT_EQ(order,
              (QList<QWidget *>{rows->xdeDesc, rows->xedAutore, rows->xedEditore, rows->xelCategoria}));
    // The page's captions stand in one column and its fields in another, books' fields included.
    const auto left = [&](QWidget *w) { return w->mapTo(rows->tsDetail, QPoint()).x(); };
    for (QWidget *book : std::initializer_list<QWidget *>{rows->xedAutore, rows->xedEditore}) {
        EXPECT_EQ(left(book), left(rows->xelCategoria));
        EXPECT_EQ(book->height(), rows->xdeCod->height());
    }

    VoTypeInto(rows->xedAutore, QStringLiteral("Calvino"));
    VoTypeInto(rows->xedEditore, QStringLiteral("Einaudi"));
    TypeDescription(QStringLiteral("Il barone rampante"));
    VoPress(Qt::Key_Tab);
    EXPECT_EQ(rows->xedAutore->text(), QStringLiteral("Calvino"));
    EXPECT_EQ(rows->xedEditore->text(), QStringLiteral("Einaudi"));
    FillBookCodes(QStringLiteral("15"));
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SFARLDESC FROM TFAR_FACARTICOLI WHERE IFARID = :a"),
                            {{QStringLiteral("a"), RowArticle()}})
                  .toString(),
              QStringLiteral("IL BARONE RAMPANTE - CALVINO - EINAUDI"));

    // A book chosen and then retitled gives back the author and publisher it brought.
    NewRow();
    rows->xelCategoria->SetKeyValue(kvaBooksCategory);
    TypeDescription(QStringLiteral("barone"));
    ASSERT_EQ(Shown(), 1);
    rows->ChooseArticle(0);
    EXPECT_EQ(rows->xedAutore->text(), QStringLiteral("CALVINO"));
    EXPECT_FALSE(rows->xedAutore->isEnabled());
    TypeDescription(QStringLiteral("Il visconte dimezzato"));
    EXPECT_TRUE(rows->NewArticle());
    EXPECT_EQ(rows->xedAutore->text(), QString());
    EXPECT_EQ(rows->xedEditore->text(), QString());
    EXPECT_TRUE(rows->xedAutore->isEnabled());
    EXPECT_EQ(rows->xelCategoria->KeyValue().toInt(), kvaBooksCategory);
    EXPECT_TRUE(rows->xelCodMerce->text().isEmpty());
}

TEST_F(kvaBeniCaricoTest, ARowLeftByEscapeShowsItsOwnCodesAgain) {
    const int article = VoTestArticle(QStringLiteral("Risma A4"), pieces, vat22);
    VoExecSQL(
        QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 1, IMERID = :m, IDCMID = (SELECT IDCMID FROM "
                       "TDCM_DETTCODMERC WHERE SDCMDESCS = 'A4') WHERE IFARID = :a"),
        {{QStringLiteral("m"), GoodsCode(QStringLiteral("CAR"))}, {QStringLiteral("a"), article}});
    VoTestRow(voucher, article, 5, 3.0);
    Open();
    rows->ShowDetail();
    EXPECT_EQ(rows->xelCodMerce->text(), QStringLiteral("Carta e cartoncini"));
    NewRow();
    rows->xelCategoria->SetKeyValue(kvaBooksCategory);
    rows->xdeDesc->setFocus(Qt::MouseFocusReason);
    VoPress(Qt::Key_Escape);
    ASSERT_EQ(window->xqcDetail->State(), dsBrowse);
    EXPECT_EQ(rows->xelCodMerce->text(), QStringLiteral("Carta e cartoncini"));
    EXPECT_EQ(rows->xelDettMerce->text(), QStringLiteral("Carta formato A4"));
}

TEST_F(kvaBeniCaricoTest, TheVatRateIsFoundByItsRateOrItsDescription) {
    const auto rate = [](const char *code) {
        return Code(QStringLiteral("SELECT IALVID FROM TALV_ALIQUOTEIVA WHERE SALVDESCS = '%1'")
                        .arg(QString::fromLatin1(code)));
    };
    Open();
    NewRow();
    const QList<std::pair<QString, int>> cases = {{QStringLiteral("Aliquota ord"), rate("I22")},
                                                  {QStringLiteral("10"), rate("I10")},
                                                  {QStringLiteral("aliquota MIN"), rate("I04")},
                                                  {QStringLiteral("esente"), rate("ES")}};
    for (const auto &[typed, expected] : cases) {
        rows->xelIva->setFocus(Qt::MouseFocusReason);
        VoTypeInto(rows->xelIva, typed);
        EXPECT_EQ(rows->xelIva->KeyValue().toInt(), expected) << typed.toStdString();
    }
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaBeniCaricoTest, ARowNeedsItsCodesAndAQuantity) {
    Open();
    NewRow();
    TypeDescription(QStringLiteral("Gessetti colorati"));
    VoTypeInto(rows->xceImporto, QStringLiteral("2"));
    // Each save names the first thing missing, in the order of the page.
    const QList<std::pair<std::function<void()>, QString>> steps = {
        {[] {}, Missing(QStringLiteral("Categoria"))},
        {[&] { rows->xelCategoria->SetKeyValue(1); }, Missing(QStringLiteral("Codice merceologico"))},
        {[&] { rows->xelCodMerce->SetKeyValue(GoodsCode(QStringLiteral("CAR"))); },
         Missing(QStringLiteral("Unità di misura"))},
        {[&] { rows->xelUniMis->SetKeyValue(pieces); }, Missing(QStringLiteral("Quantità = 0"))},
        {[&] { VoTypeInto(rows->xneQuant, QStringLiteral("0")); }, Warning(QStringLiteral("Quantità = 0"))},
        {[&] { VoTypeInto(rows->xneQuant, QStringLiteral("4")); }, Missing(QStringLiteral("Iva"))},
    };
    for (const auto &[step, message] : steps) {
        step();
        messages->Clear();
        EXPECT_FALSE(Post());
        EXPECT_EQ(messages->LastText(), message);
    }
    rows->xelIva->SetKeyValue(vat22);
    messages->Clear();
    EXPECT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(Articles(QStringLiteral("Gessetti colorati")), 1);
}

// A code the row cannot be given here, because the category has none to choose or the article
// chosen (whose codes the row keeps) lacks it, is asked where it is given.
TEST_F(kvaBeniCaricoTest, ACodeTheRowCannotBeGivenIsAskedWhereItIsGiven) {
    const int stapler = VoTestArticle(QStringLiteral("Cucitrice da tavolo"), pieces, vat22);
    VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 1 WHERE IFARID = :a"),
              {{QStringLiteral("a"), stapler}});
    Open();
    const struct {
        std::function<void()> fill;
        QString message;
    } cases[] = {
        {[&] {
             TypeDescription(QStringLiteral("Gessetti colorati"));
             rows->xelCategoria->SetKeyValue(4);
             rows->xelUniMis->SetKeyValue(pieces);
             rows->xelIva->SetKeyValue(vat22);
         },
         QStringLiteral(
             "Attenzione ! \r\nCampo obbligatorio \"Codice merceologico\": la categoria non ha codici "
             "merceologici. Associarli alla categoria in \"Classificazioni\".")},
        {[&] {
             TypeDescription(QStringLiteral("cucitrice da"));
             ASSERT_EQ(Shown(), 1);
             rows->ChooseArticle(0);
             ASSERT_TRUE(rows->xelCodMerce->ReadOnly());
         },
         QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Codice merceologico\": l'articolo scelto ne è "
                        "privo. Completare l'articolo in \"Articoli\".")},
    };
    for (const auto &c : cases) {
        NewRow();
        c.fill();
        VoTypeInto(rows->xneQuant, QStringLiteral("2"));
        VoTypeInto(rows->xceImporto, QStringLiteral("1"));
        messages->Clear();
        EXPECT_FALSE(Post());
        EXPECT_EQ(messages->LastText(), c.message);
        rows->xacCancel->Execute();
    }
}

// What a row cannot hold is refused at the save, naming the field, and no row is written: a quantity
// of zero or less, a text no number shows (nothing of it dropped on the way), a cost below zero, or
// beyond what a year's totals can add up.
TEST_F(kvaBeniCaricoTest, QuantitiesAndCostsBeyondTheirBoundsAreRefusedByName) {
    Open();
    const QString nines(20, QLatin1Char('9'));
    const struct {
        bool quantity;
        QString typed;
        QString refusal;
    } cases[] = {
        {true, QStringLiteral("-5"), QStringLiteral("Il campo \"Quantità\" deve essere maggiore di 0")},
        {true, QStringLiteral("1e20"),
         QStringLiteral("Nel campo \"Quantità\" si scrivono solo cifre, la virgola dei decimali e i punti "
                        "delle migliaia")},
        {true, nines, QStringLiteral("Il campo \"Quantità\" non può superare 99.999")},
        {false, QStringLiteral("-3"),
         QStringLiteral("Il campo \"Costo unitario (iva esclusa)\" non può essere minore di 0")},
        {false, nines,
         QStringLiteral("Il campo \"Costo unitario (iva esclusa)\" non può superare 99.999,99")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        NewRow();
        TypeDescription(QStringLiteral("Gessetti"));
        FillCodes();
        TVoDBNumericEdit *edit = c.quantity ? rows->xneQuant : rows->xceImporto;
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        VoType(c.typed);
        EXPECT_EQ(edit->text(), c.typed);
        messages->Clear();
        EXPECT_FALSE(Post());
        EXPECT_EQ(messages->LastText(), Warning(c.refusal));
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IAFCID FROM TAFC_ARTVELIST WHERE IFBUOID = :v"),
                              {{QStringLiteral("v"), voucher}}),
                  0);
        window->xqcDetail->Cancel();
    }
}

// A row stored beyond what may be typed (an import took a good's amount as its cost) keeps its cost
// when only its note changes; a row saved without a cost costs 0,00, stored as 0, not as no cost.
TEST_F(kvaBeniCaricoTest, AStoredDearRowTakesANoteAndAnEmptyCostIsZero) {
    const int dear =
        VoTestRow(voucher, VoTestArticle(QStringLiteral("Lavagna interattiva"), pieces, vat22), 1, 150000.0);
    Open();
    NewRow();
    TypeDescription(QStringLiteral("Gessetti"));
    FillCodes();
    VoTypeInto(rows->xceImporto, QString());
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COALESCE(CAST(FAFCCOSTOUNIT AS VARCHAR(30)), 'NULL') FROM "
                                           "TAFC_ARTVELIST WHERE IAFCID = :r"),
                            {{QStringLiteral("r"),
                              window->xqcDetail->FieldByName(QStringLiteral("IAFCID"))->AsInteger()}})
                  .toString(),
              QStringLiteral("0.000000000000000"));
    EXPECT_EQ(rows->xceImporto->text(), QStringLiteral("0,00"));
    ASSERT_TRUE(window->xqcDetail->Locate(QStringLiteral("IAFCID"), dear));
    ASSERT_TRUE(rows->xacEdit->Execute());
    window->xqcDetail->FieldByName(QStringLiteral("bAfcNote"))->SetValue(QStringLiteral("in aula 3"));
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(
        VoSelectValue(
            QStringLiteral("SELECT FAFCCOSTOUNIT || '|' || COALESCE(CAST(BAFCNOTE AS VARCHAR(20)), '') FROM "
                           "TAFC_ARTVELIST WHERE IAFCID = :r"),
            {{QStringLiteral("r"), dear}})
            .toString(),
        QStringLiteral("150000.0000000000|in aula 3"));
}

// Escape with the matches open under the description, from the description or from the list, closes
// the list and nothing else; only an Escape with no list open asks about the typed row.
TEST_F(kvaBeniCaricoTest, EscapeClosesTheOpenMatchesAndOnlyThenAsksAboutTheRow) {
    VoTestArticle(QStringLiteral("Gessetti bianchi"), pieces, vat22);
    Open();
    NewRow();
    for (const bool fromList : {false, true}) {
        SCOPED_TRACE(fromList);
        TypeDescription(QStringLiteral("gess"));
        ASSERT_EQ(Shown(), 1);
        if (fromList)
            VoPress(Qt::Key_Down);
        VoPress(Qt::Key_Escape);
        EXPECT_FALSE(rows->grArtSearch->isVisible());
        EXPECT_EQ(window->xqcDetail->State(), dsInsert);
        EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    }
    messages->Push(mrNo);
    VoPress(Qt::Key_Escape);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Salvare le modifiche prima di chiudere?")});
    EXPECT_EQ(window->xqcDetail->State(), dsBrowse);
}

TEST_F(kvaBeniCaricoTest, ASavedRowKeepsTheStockItsUnloadingsNeed) {
    const int article = VoTestArticle(QStringLiteral("Toner nero"), pieces, vat22);
    const int row = VoTestRow(voucher, article, 10, 5.0);
    VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 3, 1), ry), article, 6, 0.0);
    Open();
    ASSERT_TRUE(window->xqcDetail->Locate(QStringLiteral("IAFCID"), row));
    ASSERT_TRUE(rows->xacEdit->Execute());
    // The article cannot change on a saved row.
    for (QWidget *locked : std::initializer_list<QWidget *>{
             rows->xdeDesc, rows->xelCategoria, rows->xelCodMerce, rows->xelDettMerce, rows->xelUniMis})
        EXPECT_FALSE(locked->isEnabled());
    VoTypeInto(rows->xneQuant, QStringLiteral("5"));
    EXPECT_EQ(messages->LastText(), Warning(QStringLiteral("Quantità troppo bassa")));
    messages->Clear();
    VoTypeInto(rows->xneQuant, QStringLiteral("6"));
    ASSERT_TRUE(Post()) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT FAFCQUANTITA FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                            {{QStringLiteral("r"), row}})
                  .toDouble(),
              6.0);

    // Nor may it go while the unloading needs it: nothing of the delete runs.
    messages->Push(mrYes);
    EXPECT_FALSE(window->xqcDetail->Delete());
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Impossibile cancellare, la giacenza andrebbe in negativo!"));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IAFCID FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                          {{QStringLiteral("r"), row}}),
              1);
    EXPECT_EQ(window->xqcDetail->RecordCount(), 1);
}

TEST_F(kvaBeniCaricoTest, TheVouchersCauseIsProposedForANewRowOnly) {
    const int donation = Code(QStringLiteral("SELECT ICAVID FROM TCAV_CAUSALIINV WHERE SCAVCODICE = 'DON'"));
    const int article = VoTestArticle(QStringLiteral("Colla"), pieces, vat22);
    const int first = VoTestRow(voucher, article, 1, 1.0);
    VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET ICAVID = :c WHERE IAFCID = :r"),
              {{QStringLiteral("c"), donation}, {QStringLiteral("r"), first}});
    const int second = VoTestRow(voucher, article, 1, 1.0);
    VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET ICAVID = 1 WHERE IAFCID = :r"),
              {{QStringLiteral("r"), second}});
    Open();
    NewRow();
    EXPECT_EQ(rows->xelCausale->KeyValue().toInt(), donation);
    EXPECT_EQ(rows->xelCondizione->KeyValue().toInt(), 2);
    rows->xacCancel->Execute();
    ASSERT_TRUE(window->xqcDetail->Locate(QStringLiteral("IAFCID"), second));
    ASSERT_TRUE(rows->xacEdit->Execute());
    EXPECT_EQ(rows->xelCausale->KeyValue().toInt(), 1);
}

TEST_F(kvaBeniCaricoTest, ACategoryChangeClearsTheDescriptionOfAnExistingArticleOnly) {
    Open();
    NewRow();
    rows->ShowDetail();
    TypeDescription(QStringLiteral("penna a sfera blu"));
    VoPress(Qt::Key_Tab); // leaving: the text is an article's description
    EXPECT_FALSE(rows->NewArticle());
    rows->xelCategoria->SetKeyValue(2);
    EXPECT_TRUE(rows->xdeDesc->text().isEmpty());

    TypeDescription(QStringLiteral("penna stilografica verde"));
    EXPECT_TRUE(rows->NewArticle());
    rows->xelCategoria->SetKeyValue(1);
    EXPECT_EQ(rows->xdeDesc->text(), QStringLiteral("penna stilografica verde"));
}

TEST_F(kvaBeniCaricoTest, TheDropDownTakesTheTypedTextAsItIs) {
    for (const char *description : {"Carta d'ufficio A4", "Sconto 50% carta", "Carta_X", "Cartella"})
        VoTestArticle(QString::fromLatin1(description));
    VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 4 WHERE SFARLDESC = 'CARTELLA'"));
    Open();
    NewRow();
    const QList<std::tuple<QString, int, int>> cases = {
        {QStringLiteral("d'uff"), -1, 1}, {QStringLiteral("%"), -1, 1},   {QStringLiteral("_"), -1, 1},
        {QStringLiteral("cart"), 4, 1},   {QStringLiteral("a%c"), -1, 0},
    };
    for (const auto &[typed, category, shown] : cases) {
        rows->xelCategoria->SetKeyValue(category);
        TypeDescription(typed);
        EXPECT_EQ(Shown(), shown) << typed.toStdString();
        EXPECT_EQ(rows->NewArticle(), shown == 0) << typed.toStdString();
    }
}

TEST_F(kvaBeniCaricoTest, TheTotalAddsVatUnlessTheCostsIncludeIt) {
    for (const int vatIncluded : {0, 1}) {
        delete window;
        VoTestSetRegisterOptions(VoTestRegister(), 1, vatIncluded);
        ChooseRegisterYear(ry);
        Open();
        EXPECT_EQ(rows->laIva->text(), vatIncluded ? QStringLiteral("Costo unitario (iva inclusa)")
                                                   : QStringLiteral("Costo unitario (iva esclusa)"));
        NewRow();
        TypeDescription(QStringLiteral("Gomme"));
        VoTypeInto(rows->xneQuant, QStringLiteral("3"));
        VoTypeInto(rows->xceImporto, QStringLiteral("2,5"));
        EXPECT_EQ(rows->xceTotale->text(), vatIncluded ? QStringLiteral("7,50") : QString()) << vatIncluded;
        rows->xelIva->SetKeyValue(vat22);
        EXPECT_EQ(rows->xceTotale->text(), vatIncluded ? QStringLiteral("7,50") : QStringLiteral("9,15"));
        rows->xacCancel->Execute();
    }
}

TEST_F(kvaBeniCaricoTest, OnlyASavedOpenVoucherTakesRows) {
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET ILOCKED = 1 WHERE IFBUOID = :v"),
              {{QStringLiteral("v"), voucher}});
    Open();
    EXPECT_FALSE(rows->xacInsert->Execute());
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET ILOCKED = 0 WHERE IFBUOID = :v"),
              {{QStringLiteral("v"), voucher}});
    window->xqcMain->Refresh();
    EXPECT_TRUE(rows->xacInsert->Execute());
    rows->xacCancel->Execute();
    // A voucher being typed has no key yet.
    ASSERT_TRUE(window->frMaster->xacInsert->Execute());
    EXPECT_FALSE(rows->xacInsert->Execute());
    EXPECT_EQ(window->xqcDetail->State(), dsBrowse);
}

// A loading voucher filled in by keys alone: the header saved with Ctrl+S; three rows each chosen
// from the drop-down, walked with Enter up to the notes and saved there with Ctrl+Enter (the last
// with Ctrl+S halfway); Escape on typed values asks first; a document linked and saved with Ctrl+S.
TEST_F(kvaBeniCaricoTest, AVoucherIsLoadedByKeysAlone) {
    const int codes = GoodsCode(QStringLiteral("CAR"));
    for (const char *name : {"Risma A4", "Busta gialla", "Cartellina blu"}) {
        const int article = VoTestArticle(QString::fromLatin1(name), pieces, vat22);
        VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 1, IMERID = :m WHERE IFARID = :a"),
                  {{QStringLiteral("m"), codes}, {QStringLiteral("a"), article}});
    }
    VoTestDocument(QStringLiteral("FT-77"), QDate(2026, 1, 30));
    Open();
    EXPECT_EQ(rows->xacPost->toolTip(), QStringLiteral("Salva (Ctrl+S)"));
    EXPECT_EQ(rows->xacInsert->toolTip(), QStringLiteral("Inserisci (Ins)"));

    TfrkvaBuoniCarico *header = window->frMaster;
    header->ShowDetail();
    header->xedDescr->setFocus(Qt::MouseFocusReason);
    header->xedDescr->selectAll();
    VoType(QStringLiteral("Cancelleria"));
    VoPress(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(window->xqcMain->State(), dsBrowse) << messages->LastText().toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SFBUODESC FROM TFBUO_BUONI WHERE IFBUOID = :v"),
                            {{QStringLiteral("v"), voucher}}),
              QStringLiteral("Cancelleria"));

    // After each save or drop the keys stay with the rows' frame: Ins adds the next row.
    const auto typeRow = [&](const QString &description, const QString &quantity, const QString &cost) {
        VoPress(Qt::Key_Insert);
        QApplication::processEvents();
        ASSERT_EQ(window->xqcDetail->State(), dsInsert);
        ASSERT_EQ(QApplication::focusWidget(), rows->xdeDesc);
        VoType(description);
        VoPress(Qt::Key_Down);
        VoPress(Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), rows->xceImporto);
        VoType(cost);
        VoPress(Qt::Key_Backtab, Qt::ShiftModifier);
        ASSERT_EQ(QApplication::focusWidget(), rows->xneQuant);
        VoType(quantity);
    };
    const auto walkToNote = [&] {
        for (int step = 0; step < 30 && QApplication::focusWidget() != rows->xmeNote; ++step)
            VoPress(Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget(), rows->xmeNote) << messages->LastText().toStdString();
    };
    rows->grFrame->setFocus(Qt::TabFocusReason);
    typeRow(QStringLiteral("risma a4"), QStringLiteral("5"), QStringLiteral("3"));
    walkToNote();
    VoType(QStringLiteral("prima"));
    VoPress(Qt::Key_Return);
    VoType(QStringLiteral("riga"));
    EXPECT_EQ(window->xqcDetail->State(), dsInsert) << "Enter in the notes is a new line";
    VoPress(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(window->xqcDetail->State(), dsBrowse) << messages->LastText().toStdString();

    typeRow(QStringLiteral("busta"), QStringLiteral("20"), QStringLiteral("1"));
    walkToNote();
    VoPress(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(window->xqcDetail->State(), dsBrowse) << messages->LastText().toStdString();

    typeRow(QStringLiteral("cartellina blu"), QStringLiteral("2"), QStringLiteral("40"));
    VoPress(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(window->xqcDetail->State(), dsBrowse) << messages->LastText().toStdString();

    // Nothing typed: Escape drops the new row at once. Typed: it asks; Cancel keeps the row, No drops it.
    messages->Clear();
    VoPress(Qt::Key_Insert);
    QApplication::processEvents();
    VoPress(Qt::Key_Escape);
    EXPECT_EQ(window->xqcDetail->State(), dsBrowse);
    EXPECT_TRUE(messages->Texts().isEmpty());
    VoPress(Qt::Key_Insert);
    QApplication::processEvents();
    VoType(QStringLiteral("Gessetti"));
    rows->grArtSearch->hide();
    rows->xmeNote->setFocus(Qt::MouseFocusReason);
    messages->Push({mrCancel, mrNo});
    VoPress(Qt::Key_Escape);
    EXPECT_EQ(window->xqcDetail->State(), dsInsert);
    EXPECT_EQ(rows->xdeDesc->text(), QStringLiteral("Gessetti"));
    VoPress(Qt::Key_Escape);
    EXPECT_EQ(window->xqcDetail->State(), dsBrowse);
    EXPECT_EQ(messages->Texts(), QStringList(2, QStringLiteral("Salvare le modifiche prima di chiudere?")));

    TVoQuery stored(
        QStringLiteral("SELECT far.SFARLDESC, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT, afc.BAFCNOTE FROM "
                       "TAFC_ARTVELIST afc JOIN TFAR_FACARTICOLI far ON far.IFARID = afc.IFARID "
                       "WHERE afc.IFBUOID = :v ORDER BY afc.IAFCID"));
    stored.SetParam(QStringLiteral("v"), voucher).Open();
    QStringList written;
    for (; !stored.Eof(); stored.Next())
        written << QStringLiteral("%1 %2 %3 %4")
                       .arg(stored.AsString(QStringLiteral("SFARLDESC")))
                       .arg(stored.AsFloat(QStringLiteral("FAFCQUANTITA")))
                       .arg(stored.AsFloat(QStringLiteral("FAFCCOSTOUNIT")))
                       .arg(stored.AsString(QStringLiteral("BAFCNOTE")));
    EXPECT_EQ(written,
              (QStringList{QStringLiteral("RISMA A4 5 3 prima\nriga"), QStringLiteral("BUSTA GIALLA 20 1 "),
                           QStringLiteral("CARTELLINA BLU 2 40 ")}));

    window->pcDetail->setCurrentWidget(window->tsDoc);
    window->frBuoDoc->grFrame->setFocus(Qt::MouseFocusReason);
    VoPress(Qt::Key_Insert);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), window->frBuoDoc->xelDocumento);
    VoSearchAndChoose(QStringLiteral("FT-77"));
    VoPress(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(window->xqcDoc->State(), dsBrowse) << messages->LastText().toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUOIDC l JOIN TIDC_INVDOC d ON d.IIDCID = l.IIDCID "
                                         "WHERE l.IFBUOID = :v AND d.SIDCNUMERO = 'FT-77'"),
                          {{QStringLiteral("v"), voucher}}),
              1);
}

// --- A server that goes away
// ---------------------------------------------------------------------------------

namespace {

// The rows on a server of the test's own, which the test stops while a row is being typed and starts
// again.
class kvaBeniCaricoLostServerTest : public kvaBeniCaricoTest {
protected:
    TVoOwnServer *OwnServer() override { return &own; }
    TVoOwnServer own;
};

} // namespace

// Each key released in the quantity or the cost reads the VAT rates again: with the server gone, the
// rate shown and the total with VAT stay as they were, and only the save says that the server does not
// answer.
TEST_F(kvaBeniCaricoLostServerTest, ARowSavedWhileTheServerIsDownKeepsItsVatAndTotalAndIsToldOnce) {
    const int article = VoTestArticle(QStringLiteral("Risma A4"), pieces, vat22);
    VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 1, IMERID = :m WHERE IFARID = :a"),
              {{QStringLiteral("m"), GoodsCode(QStringLiteral("CAR"))}, {QStringLiteral("a"), article}});
    Open();
    rows->grFrame->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Insert);
    QApplication::processEvents();
    ASSERT_EQ(window->xqcDetail->State(), dsInsert);
    VoType(QStringLiteral("risma a4"));
    VoPress(Qt::Key_Down);
    VoPress(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), rows->xceImporto);
    VoType(QStringLiteral("4,5"));
    VoPress(Qt::Key_Backtab, Qt::ShiftModifier);
    VoType(QStringLiteral("10"));
    const auto shown = [this] { return QStringList{rows->xelIva->text(), rows->xceTotale->text()}; };
    ASSERT_EQ(shown(), (QStringList{QStringLiteral("22"), QStringLiteral("54,90")}));
    own.Stop();

    messages->Clear();
    VoPress(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Il server del database non risponde: non è stato registrato nulla.\n"
                                     "Quanto scritto è ancora nella finestra: riprovare quando il server è "
                                     "di nuovo raggiungibile.")});
    EXPECT_EQ(window->xqcDetail->State(), dsInsert);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("22"), QStringLiteral("54,90")}));

    QString reason;
    ASSERT_TRUE(own.Start(&reason)) << reason.toStdString();
    messages->Clear();
    VoPress(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    EXPECT_EQ(window->xqcDetail->State(), dsBrowse);
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                             "SELECT IFARID, FAFCQUANTITA, IALVID FROM TAFC_ARTVELIST WHERE IFBUOID = :v"),
                         {{QStringLiteral("v"), voucher}}),
              (QStringList{QString::number(article), QStringLiteral("10"), QString::number(vat22)}));
}

// The server restarted while the window was left alone: the first row begun afterwards connects again
// instead of telling a server that answers that it does not, and gets its defaults and its articles.
TEST_F(kvaBeniCaricoLostServerTest, ARowBegunAfterTheServerCameBackTakesItsDefaultsAndFindsArticles) {
    VoTestArticle(QStringLiteral("Quaderno viola"), pieces, vat22);
    Open();
    own.Stop();
    QString reason;
    ASSERT_TRUE(own.Start(&reason)) << reason.toStdString();

    messages->Clear();
    rows->grFrame->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Insert);
    QApplication::processEvents();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
    ASSERT_EQ(window->xqcDetail->State(), dsInsert);
    EXPECT_EQ(rows->xelCausale->text(), QStringLiteral("Acquisto"));
    VoType(QStringLiteral("viola"));
    EXPECT_EQ(Shown(), 1);
}

// The same for a write begun after the restart with nothing read before it.
TEST_F(kvaBeniCaricoLostServerTest, ARowDeletedAfterTheServerCameBackGoes) {
    const int row = VoTestRow(voucher, VoTestArticle(QStringLiteral("Toner nero"), pieces, vat22), 10, 5.0);
    Open();
    ASSERT_TRUE(window->xqcDetail->Locate(QStringLiteral("IAFCID"), row));
    own.Stop();
    QString reason;
    ASSERT_TRUE(own.Start(&reason)) << reason.toStdString();

    messages->Clear();
    messages->Push(mrYes);
    EXPECT_TRUE(window->xqcDetail->Delete());
    EXPECT_EQ(messages->Texts().size(), 1) << messages->LastText().toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT IAFCID FROM TAFC_ARTVELIST WHERE IAFCID = :r"),
                          {{QStringLiteral("r"), row}}),
              0);
}
