// The articles window as a user meets it on the demo catalogue: codes, books, the delete guard, the
// unit of an article in use, the stock on Ctrl+G, the search box, and merging an article into another.
#include "AbeRRicerca.h"
#include "VoDBEdits.h"
#include "VoDBGrid.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoQuery.h"
#include "VoTableModel.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoTestWindows.h"
#include "kvaFArtSost.h"
#include "kvaFArticoli.h"
#include "kvaRArticoli.h"
#include "kvaUUtil.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kInUse = QStringLiteral("Impossibile cancellare l'articolo. ci sono dei movimenti collegati.");
const QString kOtherFactor =
    QStringLiteral("Impossibile cambiare l'unità di misura: l'articolo ha dei movimenti collegati.");

class kvaArticoliTest : public kvaWindowTest {
protected:
    void SetUp() override {
        kvaWindowTest::SetUp();
        fm = Open<TfmkvaArticoli>(QStringLiteral("TfmkvaArticoli"));
        ASSERT_TRUE(fm);
        fr = fm->frArticoli;
        box = fm->frKvaRicerca1;
    }

    static int DemoArticle(const QString &desc) {
        return VoSelectValue(QStringLiteral("SELECT IFARID FROM TFAR_FACARTICOLI WHERE SFARLDESC = :d"),
                             {{QStringLiteral("d"), desc}})
            .toInt();
    }
    static QString Stored(const QString &desc, const QString &expression) {
        return VoSelectValue(
                   QStringLiteral("SELECT %1 FROM TFAR_FACARTICOLI WHERE IFARID = :id").arg(expression),
                   {{QStringLiteral("id"), DemoArticle(desc)}})
            .toString();
    }
    // Stands on the article in the list and starts editing it, as F2 does.
    void EditArticle(const QString &desc) {
        ASSERT_TRUE(fm->xqcArticoli->Locate(QStringLiteral("sFarLDesc"), desc)) << desc.toStdString();
        ASSERT_TRUE(fr->xacEdit->Execute());
    }
    // Chooses a row in a lookup's search form.
    static void Choose(TVoDBLookupEdit *lookup, const QString &text) {
        lookup->setFocus(Qt::MouseFocusReason);
        VoSearchAndChoose(text);
    }
    // A loading row of 10 and an unloading row of 2.5 of an article in 2026.
    static void Movements(int article) {
        const int year = VoTestRegisterYear(2026);
        VoTestRow(VoTestVoucher(0, QDate(2026, 1, 5), year), article, 10, 1.0);
        VoTestRow(VoTestVoucher(1, QDate(2026, 1, 6), year), article, 2.5);
    }
    QStringList Shown() const {
        QStringList rows;
        TVoQueryCollection *c = fm->xqcArticoli;
        for (int r = 0; r < c->RecordCount(); ++r)
            c->ReadRow(r, [&] { rows << c->FieldByName(QStringLiteral("sFarSDesc"))->AsString(); });
        return rows;
    }
    // Runs the replacement dialog of the current article; drive answers it while it is open.
    void Replace(const std::function<void(TfmKvaArtSost *)> &drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TfmKvaArtSost *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            // Titled as the user asked for it, not with the program's file name.
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Sostituisci articolo"));
            driven = true;
            drive(dialog);
            if (dialog->isVisible())
                dialog->buCancel->click();
        });
        VoPress(Qt::Key_R, Qt::ControlModifier);
        EXPECT_TRUE(driven);
    }

    TfmkvaArticoli *fm = nullptr;
    TfrkvaArticoli *fr = nullptr;
    TfrKvaRicerca *box = nullptr;
};

QString Warning(const QString &text) {
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(text);
}

} // namespace

TEST_F(kvaArticoliTest, TheCodeIsPaddedToSevenDigitsAndAnotherArticlesCodeIsRefused) {
    struct Case {
        QString article, typed, shown, refusal, stored;
    };
    const Case cases[] = {
        {QStringLiteral("PENNA A SFERA BLU"),
         QStringLiteral("12"),
         QStringLiteral("0000012"),
         {},
         QStringLiteral("0000012")},
        {QStringLiteral("PENNA A SFERA ROSSA"), QStringLiteral("101"), QStringLiteral("0000101"),
         Warning(QStringLiteral("Codice articolo già usato")), QStringLiteral("0000104")},
        {QStringLiteral("MATITA HB CON GOMMA"),
         QStringLiteral("105"),
         QStringLiteral("0000105"),
         {},
         QStringLiteral("0000105")},
    };
    EXPECT_FALSE(fr->xacInsert->isVisible());
    for (const Case &c : cases) {
        messages->Clear();
        EditArticle(c.article);
        VoTypeInto(fr->xedCodice, c.typed);
        EXPECT_EQ(fr->xedCodice->text(), c.shown);
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(fr->xacPost->Execute());
            EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
        } else {
            EXPECT_EQ(messages->Texts(), QStringList{c.refusal});
            fr->xacCancel->Execute();
        }
        EXPECT_EQ(Stored(c.article, QStringLiteral("SFARSDESC")), c.stored);
    }
}

TEST_F(kvaArticoliTest, ABooksDescriptionIsComposedAndOtherArticlesKeepNoBookFields) {
    const QString book = QStringLiteral("I PROMESSI SPOSI - ALESSANDRO MANZONI - EDITRICE SCOLASTICA");
    EditArticle(book);
    EXPECT_TRUE(fr->BookMode());
    EXPECT_TRUE(fr->paBeneLibro->isVisibleTo(fr));
    EXPECT_EQ(fr->laDesc->text(), QStringLiteral("Titolo"));
    EXPECT_EQ(fr->xedDesc->text(), QStringLiteral("I PROMESSI SPOSI"));
    VoTypeInto(fr->xedAutore, QStringLiteral("a. manzoni"));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    const QString composed = QStringLiteral("I PROMESSI SPOSI - A. MANZONI - EDITRICE SCOLASTICA");
    EXPECT_EQ(fm->xqcArticoli->FieldByName(QStringLiteral("sFarLDesc"))->AsString(), composed);
    EXPECT_EQ(fr->laDescLibro->text(), composed);
    EXPECT_EQ(Stored(composed, QStringLiteral("SFARLIBAUTORE")), QStringLiteral("A. MANZONI"));

    // Book fields left on another article are emptied when it is saved.
    VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET SFARLIBTITOLO = 'X', SFARLIBAUTORE = NULL WHERE "
                             "SFARLDESC = 'EVIDENZIATORE GIALLO'"));
    fm->xqcArticoli->Refresh();
    EditArticle(QStringLiteral("EVIDENZIATORE GIALLO"));
    EXPECT_FALSE(fr->paBeneLibro->isVisibleTo(fr));
    VoTypeInto(fr->xedDesc, QStringLiteral("evidenziatore giallo fluo"));
    ASSERT_TRUE(fr->xacPost->Execute()) << messages->LastText().toStdString();
    EXPECT_EQ(Stored(QStringLiteral("EVIDENZIATORE GIALLO FLUO"),
                     QStringLiteral("SFARLIBTITOLO || '|' || SFARLIBAUTORE || '|' || SFARLIBEDITORE")),
              QStringLiteral("||"));

    // Another category empties the goods code, which the article needs.
    EditArticle(QStringLiteral("EVIDENZIATORE GIALLO FLUO"));
    Choose(fr->xelCat, QStringLiteral("pulizia"));
    EXPECT_TRUE(fr->xelCodMerce->text().isEmpty());
    EXPECT_FALSE(fr->xacPost->Execute() && fm->xqcArticoli->State() == dsBrowse);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Codice merceologico\". "));
    // A category with no goods code to choose says where they are given.
    Choose(fr->xelCat, QStringLiteral("didattico"));
    EXPECT_FALSE(fr->xacPost->Execute() && fm->xqcArticoli->State() == dsBrowse);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"Codice merceologico\": la "
                             "categoria non ha codici merceologici. Associarli alla "
                             "categoria in \"Classificazioni\"."));
    fr->xacCancel->Execute();
}

TEST_F(kvaArticoliTest, AnArticleInUseShowsItsStockAndIsNotDeleted) {
    ChooseRegisterYear(VoTestRegisterYear(2026));
    const QString used = QStringLiteral("EVIDENZIATORE GIALLO");
    Movements(DemoArticle(used));
    ASSERT_TRUE(fm->xqcArticoli->Locate(QStringLiteral("sFarLDesc"), used));
    fr->grFrame->setFocus();
    VoPress(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(
        messages->Texts(),
        QStringList{
            QStringLiteral("Giacenza di EVIDENZIATORE GIALLO al %1 : 7,5").arg(FormatDays(TodayDays()))});

    messages->Clear();
    messages->Push(mrYes);
    fr->xacDelete->Execute();
    EXPECT_EQ(messages->LastText(), kInUse);
    EXPECT_GT(DemoArticle(used), 0);

    ASSERT_TRUE(fm->xqcArticoli->Locate(QStringLiteral("sFarLDesc"), QStringLiteral("MATITA HB CON GOMMA")));
    messages->Push(mrYes);
    fr->xacDelete->Execute();
    EXPECT_EQ(DemoArticle(QStringLiteral("MATITA HB CON GOMMA")), 0);

    ASSERT_TRUE(fr->xacEdit->Execute());
    EXPECT_FALSE(fr->xacGiacenza->isEnabled());
    EXPECT_FALSE(fr->xacSostituisci->isEnabled());
    fr->xacCancel->Execute();
}

TEST_F(kvaArticoliTest, AnArticleInUseKeepsTheFactorOfItsUnit) {
    struct Case {
        QString article, unit;
        bool accepted;
    };
    const Case cases[] = {
        {QStringLiteral("EVIDENZIATORE GIALLO"), QStringLiteral("Risme"), true},
        {QStringLiteral("EVIDENZIATORE GIALLO"), QStringLiteral("Confezione"), false},
        {QStringLiteral("SAPONE LIQUIDO PER LE MANI 1 LITRO"), QStringLiteral("Confezione"), true},
    };
    Movements(DemoArticle(QStringLiteral("EVIDENZIATORE GIALLO")));
    for (const Case &c : cases) {
        messages->Clear();
        EditArticle(c.article);
        Choose(fr->xelUniMis, c.unit);
        const bool posted = fr->xacPost->Execute() && fm->xqcArticoli->State() == dsBrowse;
        EXPECT_EQ(posted, c.accepted) << c.article.toStdString() << " " << c.unit.toStdString();
        EXPECT_EQ(messages->Texts(), c.accepted ? QStringList() : QStringList{kOtherFactor});
        EXPECT_EQ(
            Stored(c.article, QStringLiteral("(SELECT SUNMDESCS FROM TUNM_UNITAMISURA u WHERE u.IUNMID = "
                                             "TFAR_FACARTICOLI.IUNMID)"))
                .startsWith(c.unit),
            c.accepted);
        if (!c.accepted)
            fr->xacCancel->Execute();
    }
}

TEST_F(kvaArticoliTest, TheSearchBoxNarrowsTheListAfterAPauseOnTheChosenColumn) {
    VoTestArticle(QStringLiteral("Carta d'imballo"));
    fm->xqcArticoli->Refresh();
    const QStringList all = Shown();
    ASSERT_EQ(all.size(), 13);
    QStringList columns;
    for (QAction *item : box->poSearch->actions())
        columns << item->text();
    EXPECT_EQ(columns, (QStringList{QStringLiteral("Codice"), QStringLiteral("Descrizione"),
                                    QStringLiteral("Categoria"), QStringLiteral("Codice merceologico"),
                                    QStringLiteral("Dettaglio codice merceologico"),
                                    QStringLiteral("Unità di misura")}));
    EXPECT_TRUE(box->PlaceholderShown());
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Codice >"));
    EXPECT_EQ(box->edRicerca->toolTip(), QStringLiteral("Ricerca per Codice"));

    box->poSearch->actions()[1]->trigger();
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Descrizione>"));
    EXPECT_EQ(box->SearchField(), QStringLiteral("sFarLDesc"));
    box->edRicerca->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(box->edRicerca->text().isEmpty());

    struct Case {
        QString typed;
        QStringList shown;
    };
    const Case cases[] = {
        {QStringLiteral("carta"),
         {QStringLiteral("0000102"), QStringLiteral("0000101"), QStringLiteral("0000013"),
          QStringLiteral("0000111")}},
        {QStringLiteral("d'i"), {QStringLiteral("0000013")}},
        {QStringLiteral("a%"), {}},
    };
    EXPECT_EQ(VoHoldPause(box->tmFilt), 500);
    for (const Case &c : cases) {
        const QStringList before = Shown();
        box->edRicerca->selectAll();
        VoType(c.typed);
        EXPECT_TRUE(box->tmFilt->isActive()) << c.typed.toStdString();
        EXPECT_EQ(Shown(), before) << "nothing changes before the pause";
        EXPECT_TRUE(box->Cancelling());
        box->tmFiltTimer();
        EXPECT_EQ(Shown(), c.shown) << c.typed.toStdString();
    }
    // Emptying the box shows every row at once; the button cancels a search.
    box->edRicerca->selectAll();
    VoPress(Qt::Key_Backspace);
    EXPECT_FALSE(box->tmFilt->isActive());
    EXPECT_EQ(Shown(), all);
    VoType(QStringLiteral("penna"));
    box->tmFiltTimer();
    EXPECT_EQ(Shown().size(), 2);
    box->acSearch->trigger();
    EXPECT_EQ(Shown(), all);
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Descrizione>"));
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->LastText().toStdString();
}

TEST_F(kvaArticoliTest, ClickingATextColumnsTitleWithAnEmptyBoxSearchesIt) {
    TVoDBGrid *grid = fr->grFrame;
    const auto enter = [grid](int column) { emit grid->horizontalHeader()->sectionClicked(column); };
    enter(2);
    EXPECT_EQ(box->SearchField(), QStringLiteral("sCafDesc"));
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("<Ricerca Categoria>"));
    enter(6);
    EXPECT_EQ(box->SearchField(), QStringLiteral("sCafDesc")) << "the VAT rate is not searched";
    box->edRicerca->setFocus(Qt::MouseFocusReason);
    VoType(QStringLiteral("libri"));
    enter(1);
    EXPECT_EQ(box->SearchField(), QStringLiteral("sCafDesc")) << "a typed search stays on its column";
    EXPECT_EQ(box->edRicerca->text(), QStringLiteral("libri"));

    // A grid without text columns leaves its box disabled.
    TVoDBGrid other;
    other.AddColumn(QStringLiteral("fAlvIva"), QStringLiteral("Aliquota iva"));
    other.ColsIndex().Add(0, QStringLiteral("fAlvIva"));
    TfrKvaRicerca idle;
    idle.Grid = &other;
    idle.SetupSearchBox();
    EXPECT_FALSE(idle.isEnabled());
}

TEST_F(kvaArticoliTest, ReplacingAnArticleMovesItsRowsOfEveryYearAndPricesTheUnloadingRowsAgain) {
    VoTestSetRegisterOptions(VoTestRegister(), 1, 0);
    const int y25 = VoTestRegisterYear(2025), y26 = VoTestRegisterYear(2026);
    const int oldId = DemoArticle(QStringLiteral("RISMA CARTA A4 500 FOGLI"));
    const int newId = DemoArticle(QStringLiteral("CARTA A4 80 GR RISMA DA 500 FOGLI"));
    const int load25 = VoTestVoucher(0, QDate(2025, 3, 1), y25);
    const int newLoad25 = VoTestRow(load25, newId, 10, 2.0, 0, 0);
    const int oldLoad25 = VoTestRow(load25, oldId, 10, 4.0, 0, 0);
    const int unload25 = VoTestVoucher(1, QDate(2025, 4, 1), y25);
    const int oldUnload25 = VoTestRow(unload25, oldId, 5, 4.0, 0, 0);
    const int newUnload25 = VoTestRow(unload25, newId, 2, 2.0, 0, 0);
    const int oldLoad26 = VoTestRow(VoTestVoucher(0, QDate(2026, 3, 1), y26), oldId, 10, 6.0, 0, 0);
    const int newUnload26 = VoTestRow(VoTestVoucher(1, QDate(2026, 4, 1), y26), newId, 3, 0.0, 0, 0);
    const auto row = [](int id) {
        TVoQuery q(QStringLiteral("SELECT IFARID, FAFCCOSTOUNIT FROM TAFC_ARTVELIST WHERE IAFCID = :id"));
        q.SetParam(QStringLiteral("id"), id).Open();
        return QStringLiteral("%1/%2")
            .arg(q.AsInteger(QStringLiteral("IFARID")))
            .arg(q.AsFloat(QStringLiteral("FAFCCOSTOUNIT")));
    };
    fm->xqcArticoli->Refresh();
    ASSERT_TRUE(fm->xqcArticoli->Locate(QStringLiteral("iFarId"), oldId));
    fr->grFrame->setFocus();

    QString question;
    Replace([&](TfmKvaArtSost *dialog) {
        EXPECT_EQ(dialog->laArtOld->text(),
                  QStringLiteral("0000111\nRISMA CARTA A4 500 FOGLI\nCancelleria\nCarta e "
                                 "cartoncini\nCarta formato A4\nRisme\n22"));
        VoClick(dialog->buOk);
        EXPECT_EQ(messages->Texts(),
                  QStringList{QStringLiteral("Impossibile proseguire, è stato scelto lo stesso articolo.")});
        Choose(dialog->xelDesc, QStringLiteral("CARTA A4 80"));
        EXPECT_EQ(dialog->xelCod->text(), QStringLiteral("0000101"));
        EXPECT_EQ(dialog->xelUniMis->text(), QStringLiteral("Risme"));
        messages->Push(mrYes);
        VoClick(dialog->buOk);
        question = messages->LastText();
    });
    EXPECT_EQ(question,
              QStringLiteral("Procedere con la sostituzione dell'articolo\r\n 0000111-RISMA CARTA A4 500 "
                             "FOGLI\r\n con il nuovo articolo\r\n 0000101-CARTA A4 80 GR RISMA DA 500 "
                             "FOGLI\r\nin tutti i movimenti di tutti gli anni?\r\nCon questa operazione "
                             "verranno ricalcolati i costi di scarico del nuovo articolo."));
    EXPECT_EQ(DemoArticle(QStringLiteral("RISMA CARTA A4 500 FOGLI")), 0);
    EXPECT_FALSE(fm->xqcArticoli->Locate(QStringLiteral("iFarId"), oldId)) << "the list was read again";
    const QString n = QString::number(newId);
    // Loading rows keep their costs; unloading rows take the average of their own year at their date.
    EXPECT_EQ(row(newLoad25), n + QStringLiteral("/2"));
    EXPECT_EQ(row(oldLoad25), n + QStringLiteral("/4"));
    EXPECT_EQ(row(oldLoad26), n + QStringLiteral("/6"));
    EXPECT_EQ(row(oldUnload25), n + QStringLiteral("/3"));
    EXPECT_EQ(row(newUnload25), n + QStringLiteral("/3"));
    EXPECT_EQ(row(newUnload26), n + QStringLiteral("/6"));
}

TEST_F(kvaArticoliTest, AReplacementThatFailsLeavesRowsArticlesAndCostsAsTheyWere) {
    const int year = VoTestRegisterYear(2026);
    const int oldId = DemoArticle(QStringLiteral("RISMA CARTA A4 500 FOGLI"));
    const int newId = DemoArticle(QStringLiteral("CARTA A4 80 GR RISMA DA 500 FOGLI"));
    VoTestRow(VoTestVoucher(0, QDate(2026, 3, 1), year), oldId, 10, 4.0, 0, 0);
    const int unloading = VoTestRow(VoTestVoucher(1, QDate(2026, 4, 1), year), newId, 1, 9.0, 0, 0);
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_PROVA 'Costo rifiutato'"));
    VoExecRaw(
        QStringLiteral("CREATE TRIGGER T_PROVA FOR TAFC_ARTVELIST BEFORE UPDATE AS BEGIN IF "
                       "(NEW.FAFCCOSTOUNIT IS DISTINCT FROM OLD.FAFCCOSTOUNIT) THEN EXCEPTION E_PROVA; END"));
    const QString rows =
        QStringLiteral("SELECT LIST(IFARID || '/' || FAFCCOSTOUNIT, ',') FROM (SELECT * FROM "
                       "TAFC_ARTVELIST ORDER BY IAFCID)");
    const QVariant before = VoSelectValue(rows);
    ASSERT_TRUE(fm->xqcArticoli->Locate(QStringLiteral("iFarId"), oldId));
    fr->grFrame->setFocus();

    bool open = false;
    Replace([&](TfmKvaArtSost *dialog) {
        Choose(dialog->xelDesc, QStringLiteral("CARTA A4 80"));
        messages->Push(mrYes);
        VoClick(dialog->buOk);
        open = dialog->isVisible();
    });
    EXPECT_TRUE(open) << "the dialog stays for another try";
    EXPECT_EQ(messages->LastText(), QStringLiteral("Costo rifiutato"));
    EXPECT_EQ(VoSelectValue(rows), before);
    EXPECT_EQ(DemoArticle(QStringLiteral("RISMA CARTA A4 500 FOGLI")), oldId);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT FAFCCOSTOUNIT FROM TAFC_ARTVELIST WHERE IAFCID = :id"),
                            {{QStringLiteral("id"), unloading}})
                  .toDouble(),
              9.0);
}
