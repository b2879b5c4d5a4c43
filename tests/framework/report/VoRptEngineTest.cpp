// The report engine on a real database, through a module of its own that publishes three levels of
// rows (orders, their lines, the notes of each line) as the programs' report modules do: the pages it
// lays out, the selection forms, the end of every run, variables, totals, pages and refused layouts.
#include "VoRptEngine.h"
#include "VoDBGrid.h"
#include "VoExceptions.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "VoTestDb.h"
#include "VoWait.h"
#include "VoWindowDrive.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The module: every dataset published under its own name; scrolling an order re-opens its lines,
// scrolling a line its notes.
class TTestModule : public QObject {
public:
    TTestModule() {
        qqOrd = Query(QStringLiteral("qqOrd"), "SELECT IORDID, SCLIENTE FROM TRPT_ORD ORDER BY IORDID");
        xfrOrd = new TVofrDBDataSet(this, qqOrd);
        qqRig =
            Query(QStringLiteral("qqRig"), "SELECT IRIGID, SART, FIMPORTO FROM TRPT_RIG WHERE IORDID = :id");
        qqNot =
            Query(QStringLiteral("qqNot"), "SELECT SNOTA FROM TRPT_NOT WHERE IRIGID = :id ORDER BY INOTID");
        qqTutte = Query(QStringLiteral("qqTutte"),
                        "SELECT IORDID, SART, FIMPORTO FROM TRPT_RIG ORDER BY IORDID, IRIGID");
        for (auto *q : {qqRig, qqTutte, qqNot})
            new TfrDBDataSet(this, q);
        qqOrd->AfterScroll.Add(
            [this](TVoQueryCollection *) { Reopen(qqRig, qqOrd->FieldByName(QStringLiteral("IORDID"))); });
        qqRig->AfterScroll.Add(
            [this](TVoQueryCollection *) { Reopen(qqNot, qqRig->FieldByName(QStringLiteral("IRIGID"))); });
        VoRptPublishVariable(this, QStringLiteral("Titolo"));
        VoRptPublishVariable(this, QStringLiteral("Vuota"));
        engine.OnGetValue.Add([](const QString &name, QVariant &value) {
            if (name == QLatin1String("Titolo"))
                value = QStringLiteral("Ordini");
        });
        engine.OnEndDoc.Add([this] {
            ++endDocs;
            for (auto *q : findChildren<TVoQueryCollection *>())
                q->Close();
        });
    }
    TVoQueryCollection *Query(const QString &name, const char *sql) {
        auto *q = new TVoQueryCollection(this);
        q->setObjectName(name);
        q->SetCommandText(QString::fromLatin1(sql));
        return q;
    }
    static void Reopen(TVoQueryCollection *detail, const TVoField *key) {
        detail->Close();
        detail->SetParam(QStringLiteral("id"), key->Value());
        detail->Open();
    }

    TVoQueryCollection *qqOrd, *qqRig, *qqNot, *qqTutte;
    TVofrDBDataSet *xfrOrd;
    TVoReport engine;
    int endDocs = 0;
};

class VoRptEngineTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        VoExecRaw(QStringLiteral(
            "CREATE TABLE TRPT_ORD (IORDID INTEGER NOT NULL PRIMARY KEY, SCLIENTE VARCHAR(30))"));
        VoExecRaw(
            QStringLiteral("CREATE TABLE TRPT_RIG (IRIGID INTEGER NOT NULL PRIMARY KEY, IORDID INTEGER, "
                           "SART VARCHAR(30), FIMPORTO DOUBLE PRECISION)"));
        VoExecRaw(
            QStringLiteral("CREATE TABLE TRPT_NOT (INOTID INTEGER NOT NULL PRIMARY KEY, IRIGID INTEGER, "
                           "SNOTA VARCHAR(30))"));
        int key = 0;
        for (const char *client : {"Rossi", "Bianchi", "Verdi"})
            VoExecSQL(QStringLiteral("INSERT INTO TRPT_ORD VALUES (:id, :c)"),
                      {{QStringLiteral("id"), ++key}, {QStringLiteral("c"), QString::fromLatin1(client)}});
        const struct {
            int order;
            const char *article;
            double amount;
            QStringList notes;
        } lines[] = {{1, "a", 10, {"n1", "n2"}},
                     {1, "b", 20, {}},
                     {2, "c", 5, {"n3"}},
                     {3, "d", 1, {}},
                     {3, "e", 2, {}},
                     {3, "f", 4, {"n4"}}};
        for (const auto &l : lines) {
            const int line = ++key;
            VoExecSQL(QStringLiteral("INSERT INTO TRPT_RIG VALUES (:id, :o, :a, :f)"),
                      {{QStringLiteral("id"), line},
                       {QStringLiteral("o"), l.order},
                       {QStringLiteral("a"), QString::fromLatin1(l.article)},
                       {QStringLiteral("f"), l.amount}});
            for (const QString &note : l.notes)
                VoExecSQL(QStringLiteral("INSERT INTO TRPT_NOT VALUES (:id, :r, :n)"),
                          {{QStringLiteral("id"), ++key},
                           {QStringLiteral("r"), line},
                           {QStringLiteral("n"), note}});
        }
        module = std::make_unique<TTestModule>();
    }
    void TearDown() override {
        module.reset();
        VoDbTest::TearDown();
    }

    // A layout of the bands given, one per line from line 2, on pages of the margins given.
    static QString Layout(const QStringList &bands, const QString &margins = QStringLiteral("10,10,10,10")) {
        return QStringLiteral("<report id=\"1\" title=\"Prova\" margins=\"%1\">\n%2\n</report>")
            .arg(margins, bands.join(QLatin1Char('\n')));
    }
    static QString Text(const QString &expr, double x = 0, double w = 60) {
        return QStringLiteral("<text x=\"%1\" y=\"0\" w=\"%2\" h=\"5\" expr=\"%3\"/>")
            .arg(x)
            .arg(w)
            .arg(expr);
    }
    // Two pages of every line of every order, with a total per order, per page and of the report, and
    // the count of pages in the footer.
    static QString TwoPages() {
        // Pages with room for seven bands of 5 mm between the headers and the footer.
        const QString amount =
            QStringLiteral("<text x=\"100\" y=\"0\" w=\"40\" h=\"5\" expr=\"%1\" format=\"#,##0.00\"/>");
        return Layout(
            {QStringLiteral("<pageHeader height=\"5\"><text x=\"0\" y=\"0\" w=\"60\" h=\"5\" "
                            "caption=\"Intestazione\"/></pageHeader>"),
             QStringLiteral("<columnHeader height=\"5\"><text x=\"0\" y=\"0\" w=\"60\" h=\"5\" "
                            "caption=\"Colonne\"/></columnHeader>"),
             QStringLiteral(
                 "<masterData dataset=\"qqTutte\" height=\"5\">%1<groupFooter expr=\"[qqTutte.IORDID]\" "
                 "height=\"5\">%2</groupFooter></masterData>")
                 .arg(Text(QStringLiteral("[qqTutte.SART]")),
                      amount.arg(QStringLiteral("SUM([qqTutte.FIMPORTO])"))),
             QStringLiteral("<summary height=\"5\">%1</summary>")
                 .arg(amount.arg(QStringLiteral("SUM([qqTutte.FIMPORTO])"))),
             QStringLiteral("<pageFooter height=\"10\">%1%2</pageFooter>")
                 .arg(Text(QStringLiteral("'Pagina ' + [PAGE] + ' di ' + [PAGES]")),
                      amount.arg(QStringLiteral("SUM([qqTutte.FIMPORTO])")))},
            QStringLiteral("10,10,10,230"));
    }
    std::unique_ptr<TVoRptDocument> Run(const QString &xml) {
        return module->engine.Run(TVoRptLayout::Parse(xml));
    }
    // Answers the selection form once it is on screen.
    static void WhenFormShows(const std::function<void(TfmVoMultiSelect *)> &answer) {
        QTimer::singleShot(0, [answer] {
            TfmVoMultiSelect *form = nullptr;
            (void)QTest::qWaitFor(
                [&] { return (form = qobject_cast<TfmVoMultiSelect *>(QApplication::activeModalWidget())); });
            answer(form);
        });
    }

    // The most pages a preview showed while its run was still laying out the others, for as long as
    // the object lives.
    struct TEarlyPreview {
        TEarlyPreview() {
            timer.setInterval(0);
            QObject::connect(&timer, &QTimer::timeout, [this] {
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (auto *p = qobject_cast<TfmVoRptPreview *>(w); p && !p->Complete())
                        pages = qMax(pages, p->pvPages->pageCount());
            });
            timer.start();
        }
        QTimer timer;
        int pages = 0;
    };
    static int PreviewsOnScreen() {
        int previews = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            previews += qobject_cast<TfmVoRptPreview *>(w) ? 1 : 0;
        return previews;
    }

    std::unique_ptr<TTestModule> module;
};

const QString kThreeLevels =
    QStringLiteral("<masterData dataset=\"qqOrd\" height=\"5\">%1\n"
                   "<detailData dataset=\"qqRig\" height=\"5\">%2\n"
                   "<detailData dataset=\"qqNot\" height=\"5\">%3</detailData></detailData></masterData>");

} // namespace

TEST_F(VoRptEngineTest, DetailsAreReadAgainForEveryMasterRowOnThreeLevels) {
    const auto document = Run(Layout(
        {kThreeLevels.arg(Text(QStringLiteral("[qqOrd.SCLIENTE]")), Text(QStringLiteral("[qqrig.sart]"), 10),
                          Text(QStringLiteral("[QQNOT.SNOTA]"), 20))}));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->Texts(), QStringList({"Rossi", "a", "n1", "n2", "b", "Bianchi", "c", "n3", "Verdi",
                                              "d", "e", "f", "n4"}));
    EXPECT_EQ(module->endDocs, 1);
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(VoRptEngineTest, TheRowsChosenInTheSelectionFormAreTheOnlyOnesPrintedInTheirOrder) {
    const struct {
        const char *name;
        QList<int> ticked; // rows of the form, from 0
        bool confirm;
        QStringList printed;
    } cases[] = {
        {"two rows ticked, the last first", {2, 0}, true, {"Rossi", "Verdi"}},
        {"none ticked", {}, true, {"Rossi", "Bianchi", "Verdi"}},
        {"cancelled", {0}, false, {}},
    };
    module->xfrOrd->ShowSelectForm = true;
    QString caption;
    module->xfrOrd->OnBeforeSelectForm.Add([&](TVofrDBDataSet *, TfmVoMultiSelect *form) {
        form->setWindowTitle(QStringLiteral("Selezione ordini"));
        form->frVoMultiSel->grFrame->AddColumn(QStringLiteral("SCLIENTE"), QStringLiteral("Cliente"), 200);
    });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int endDocs = module->endDocs;
        WhenFormShows([&](TfmVoMultiSelect *form) {
            caption = form->windowTitle();
            for (int row : c.ticked)
                form->frVoMultiSel->SetSelected(row, true);
            (c.confirm ? form->buOk : form->buCancel)->click();
        });
        const auto document =
            Run(Layout({Text(QStringLiteral("[qqOrd.SCLIENTE]"))
                            .prepend(QStringLiteral("<masterData dataset=\"qqOrd\" height=\"5\">")) +
                        QStringLiteral("</masterData>")}));
        EXPECT_EQ(caption, QStringLiteral("Selezione ordini"));
        EXPECT_EQ(bool(document), c.confirm);
        EXPECT_EQ(document ? document->Texts() : QStringList(), c.printed);
        EXPECT_EQ(module->endDocs, endDocs + 1);
        EXPECT_FALSE(module->qqOrd->RowFiltered());
    }
}

TEST_F(VoRptEngineTest, EveryRunEndsWithTheEndEventAndAnErrorIsShownOnce) {
    const struct {
        const char *name;
        std::function<void(TTestModule &)> arrange;
        bool printed;
        int shown;
    } cases[] = {
        {"printed", [](TTestModule &) {}, true, 0},
        {"an SQL error",
         [](TTestModule &m) { m.qqOrd->SetCommandText(QStringLiteral("SELECT IORDID FROM TRPT_NESSUNA")); },
         false, 1},
        {"refused in BeforeOpen",
         [](TTestModule &m) { m.qqOrd->BeforeOpen.Add([](TVoQueryCollection *) { throw EVoAbort(); }); },
         false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        module.reset();
        module = std::make_unique<TTestModule>();
        messages->Clear();
        c.arrange(*module);
        const auto document =
            Run(Layout({kThreeLevels.arg(Text(QStringLiteral("[qqOrd.IORDID]")), QString(), QString())}));
        EXPECT_EQ(bool(document), c.printed);
        EXPECT_EQ(module->endDocs, 1);
        EXPECT_EQ(messages->Texts().size(), c.shown);
        EXPECT_FALSE(module->qqOrd->Active());
        EXPECT_FALSE(conn->InTransaction());
    }
}

TEST_F(VoRptEngineTest, VariablesAndDatasetsNoBandWalksArePrintedAsTheProgramLeftThem) {
    TVoQueryCollection memory;
    memory.setObjectName(QStringLiteral("cdsMemoria"));
    memory.AddFieldDef(QStringLiteral("Giacenza"), QMetaType::Double);
    memory.CreateDataSet();
    memory.Append();
    memory.FieldByName(QStringLiteral("Giacenza"))->SetAsFloat(12.5);
    memory.Post();
    const TfrDBDataSet publisher(nullptr, &memory);
    // An empty value is '' beside a text, as a layout tests it.
    const auto document =
        Run(Layout({QStringLiteral("<reportTitle height=\"5\">%1%2%3%4</reportTitle>")
                        .arg(Text(QStringLiteral("[Titolo] + ':'")), Text(QStringLiteral("[Vuota]"), 40),
                             Text(QStringLiteral("IIF([Vuota] = '', 'vuota', 'piena')"), 80),
                             Text(QStringLiteral("[cdsMemoria.GIACENZA] * 2"), 120))}));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->Texts(), QStringList({"Ordini:", "vuota", "25"}));
}

TEST_F(VoRptEngineTest, TotalsPerGroupPageAndReportAndThePageCountOverBandsThatStartANewPage) {
    const auto document = Run(TwoPages());
    ASSERT_TRUE(document);
    ASSERT_EQ(document->PageCount(), 2);
    EXPECT_EQ(document->pages[0].Texts(), QStringList({"Intestazione", "Colonne", "a", "b", "30,00", "c",
                                                       "5,00", "d", "e", "Pagina 1 di 2", "38,00"}));
    EXPECT_EQ(document->pages[1].Texts(),
              QStringList({"Intestazione", "Colonne", "f", "7,00", "42,00", "Pagina 2 di 2", "4,00"}));
}

TEST_F(VoRptEngineTest, TheFirstPageIsShownBeforeTheOthersAndTheRunEndsAsAWholeRunDoes) {
    const auto whole = Run(TwoPages());
    ASSERT_TRUE(whole);
    QStringList early;
    bool laying = false;
    const auto run = module->engine.Run(TVoRptLayout::Parse(TwoPages()), [&](const TVoRptDocument &first) {
        laying = module->qqTutte->Active();
        early = first.Texts();
    });
    ASSERT_TRUE(run);
    EXPECT_TRUE(laying);
    // The first page of the whole run, all but the count of pages, which only its end knows.
    QStringList first = whole->pages[0].Texts();
    first.removeOne(QStringLiteral("Pagina 1 di 2"));
    EXPECT_EQ(early, first);
    EXPECT_EQ(run->Texts(), whole->Texts());

    // The preview shows that page, then every page of the whole run, which it prints.
    const TEarlyPreview shown;
    TfmVoRptPreview *preview = VoRptShowPreview(module->engine, TVoRptLayout::Parse(TwoPages()));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(shown.pages, 1);
    EXPECT_TRUE(preview->Complete());
    EXPECT_TRUE(preview->buPdf->isEnabled());
    EXPECT_EQ(preview->Document().Texts(), whole->Texts());
    EXPECT_EQ(preview->pvPages->pageCount(), 2);
    delete preview;
}

TEST_F(VoRptEngineTest, EscapeClosesThePreview) {
    TfmVoRptPreview *preview = VoRptShowPreview(module->engine, TVoRptLayout::Parse(TwoPages()));
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(VoShowActive(preview));
    preview->pvPages->setFocus();
    VoPress(Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PreviewsOnScreen(), 0);
}

TEST_F(VoRptEngineTest, AnnullaEndsTheRunWithoutPreviewOrMessage) {
    module->engine.ProgressAfterMs = 0;
    const int endDocs = module->endDocs;
    const TEarlyPreview shown;
    {
        // Pressed once the first page is on screen, at the last row.
        const TVoPressAnnulla annulla(6);
        EXPECT_EQ(VoRptShowPreview(module->engine, TVoRptLayout::Parse(TwoPages())), nullptr);
        EXPECT_EQ(annulla.Counts(),
                  QStringList({"1 di 6", "2 di 6", "3 di 6", "4 di 6", "5 di 6", "6 di 6"}));
    }
    EXPECT_EQ(shown.pages, 1);
    EXPECT_EQ(PreviewsOnScreen(), 0);
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_EQ(module->endDocs, endDocs + 1);
    EXPECT_FALSE(fmVoWait()->isVisible());
    EXPECT_FALSE(conn->InTransaction());
    EXPECT_FALSE(module->engine.Running());
}

TEST_F(VoRptEngineTest, LabelsGoAcrossInThreeColumns) {
    const auto document = Run(
        Layout({QStringLiteral("<masterData dataset=\"qqTutte\" height=\"20\" columns=\"3\">%1</masterData>")
                    .arg(Text(QStringLiteral("[qqTutte.SART]"), 0, 50))}));
    ASSERT_TRUE(document);
    QStringList placed;
    for (const TVoRptObject &o : document->pages[0].objects)
        placed << QStringLiteral("%1 %2,%3").arg(o.text).arg(qRound(o.rect.x())).arg(qRound(o.rect.y()));
    EXPECT_EQ(placed, QStringList({"a 10,10", "b 73,10", "c 137,10", "d 10,30", "e 73,30", "f 137,30"}));
}

TEST_F(VoRptEngineTest, ALayoutNamingWhatNobodyPublishedOrAMissingFieldIsRefusedWithItsPlace) {
    const struct {
        QString band;
        QString message;
    } cases[] = {
        {QStringLiteral("<masterData dataset=\"qqNessuno\" height=\"5\"/>"),
         QStringLiteral("Stampa \"Prova\" (1), riga 2, colonna 1: dataset \"qqNessuno\" non pubblicato.")},
        {QStringLiteral("<summary height=\"5\">\n%1</summary>").arg(Text(QStringLiteral("[Nessuna]"))),
         QStringLiteral("Stampa \"Prova\" (1), riga 3, colonna 1: variabile \"Nessuna\" non pubblicata.")},
        {QStringLiteral("<masterData dataset=\"qqOrd\" height=\"5\">\n%1</masterData>")
             .arg(Text(QStringLiteral("[qqOrd.SNESSUNO]"))),
         QStringLiteral("Stampa \"Prova\" (1), riga 3, colonna 1: campo \"qqOrd.SNESSUNO\" non trovato.")},
    };
    for (const auto &c : cases) {
        messages->Clear();
        EXPECT_FALSE(Run(Layout({c.band})));
        EXPECT_EQ(messages->Texts(), QStringList{c.message});
    }
    const struct {
        QString xml;
        QString message;
    } unreadable[] = {
        {QStringLiteral("<report id=\"7\">\n<summary height=\"5\">\n</report>"),
         QStringLiteral("Stampa 7, riga 3, colonna 9: XML non valido (")},
        {Layout({QStringLiteral("<summary height=\"5\">%1</summary>")
                     .arg(Text(QStringLiteral("[qqOrd.SCLIENTE] +")))}),
         QStringLiteral(
             "Stampa \"Prova\" (1), riga 2, colonna 21: espressione \"[qqOrd.SCLIENTE] +\", posizione 19: "
             "espressione incompleta.")},
    };
    for (const auto &c : unreadable) {
        try {
            TVoRptLayout::Parse(c.xml, 7);
            ADD_FAILURE() << c.xml.toStdString();
        } catch (const EVoError &e) {
            EXPECT_TRUE(e.Message().startsWith(c.message)) << e.Message().toStdString();
        }
    }
}

TEST_F(VoRptEngineTest, TheSearchOfTheSelectionFormHidesRowsWithoutLosingTheirTicks) {
    TfmVoMultiSelect form;
    form.SetCommandText(QStringLiteral("SELECT IORDID, SCLIENTE FROM TRPT_ORD ORDER BY IORDID"));
    TVoDBGrid *grid = form.frVoMultiSel->grFrame;
    grid->ColsIndex().Add(grid->AddColumn(QStringLiteral("SCLIENTE"), QStringLiteral("Cliente")),
                          QStringLiteral("SCLIENTE"), QString(), true);
    QVariantList chosen;
    form.SetBookmarkList(&chosen);
    WhenFormShows([](TfmVoMultiSelect *f) {
        TfrVoMultiSelect *frame = f->frVoMultiSel;
        const auto search = [&](const char *text) {
            frame->edSearch->setText(QString::fromLatin1(text));
            return frame->xqcMultiSelect->RecordCount();
        };
        EXPECT_EQ(search("SS"), 1);
        frame->SelectAll();
        EXPECT_EQ(search(""), 3);
        frame->SetSelected(2, true);
        EXPECT_EQ(search("bian"), 1);
        frame->SelectNone();
        EXPECT_EQ(f->GetSelCount(), 2);
        // Read again, the list keeps to the search box.
        frame->xqcMultiSelect->Close();
        frame->xqcMultiSelect->Open();
        EXPECT_EQ(frame->xqcMultiSelect->RecordCount(), 1);
        f->buOk->click();
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(chosen, QVariantList({1, 3}));
}

TEST_F(VoRptEngineTest, TotalsAddUpTheAmountsAsPrintedAndNoTextIsCutByItsBox) {
    // Every line worth 3 x 1,115 = 3,345: 3,35 on paper, although its double lies a hair below.
    VoExecSQL(QStringLiteral("UPDATE TRPT_RIG SET FIMPORTO = :f"), {{QStringLiteral("f"), 3 * 1.115}});
    // The same amounts once as they come and once as ten-thousandths printed at their scale.
    const QString amounts = QStringLiteral(
        "<text x=\"100\" y=\"0\" w=\"30\" h=\"5\" expr=\"%1\" format=\"#,##0.00\"/>"
        "<text x=\"140\" y=\"0\" w=\"30\" h=\"5\" expr=\"%2\" format=\"#,###.00\" scale=\"4\"/>");
    const auto sums = [&amounts] {
        return amounts.arg(QStringLiteral("SUM([qqTutte.FIMPORTO])"),
                           QStringLiteral("SUM([qqTutte.FIMPORTO] * 10000)"));
    };
    const QString number = QStringLiteral("<text x=\"180\" y=\"0\" w=\"8\" h=\"5\" expr=\"[qqTutte.IORDID]\" "
                                          "format=\"0000000\" font=\"DejaVu Sans,9,bold\" align=\"right\"/>");
    const auto document =
        Run(Layout({QStringLiteral("<masterData dataset=\"qqTutte\" height=\"5\">%1%2%3<groupFooter "
                                   "expr=\"[qqTutte.IORDID]\" height=\"5\">%4</groupFooter></masterData>")
                        .arg(Text(QStringLiteral("[qqTutte.SART]")),
                             amounts.arg(QStringLiteral("[qqTutte.FIMPORTO]"),
                                         QStringLiteral("[qqTutte.FIMPORTO] * 10000")),
                             number, sums()),
                    QStringLiteral("<summary height=\"5\">%1</summary>").arg(sums())}));
    ASSERT_TRUE(document);
    QStringList expected;
    for (const auto &[order, articles, total] :
         {std::tuple{"0000001", QStringList{"a", "b"}, "6,70"},
          std::tuple{"0000002", QStringList{"c"}, "3,35"},
          std::tuple{"0000003", QStringList{"d", "e", "f"}, "10,05"}}) {
        for (const QString &article : articles)
            expected << article << "3,35"
                     << "3,35" << order;
        expected << total << total;
    }
    expected << "20,10"
             << "20,10";
    EXPECT_EQ(document->pages[0].Texts(), expected);

    // Seven bold digits do not fit 8 mm at 9 points: the number is printed smaller, not cut.
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(1200 * 10000 / 254);
    device.setDotsPerMeterY(1200 * 10000 / 254);
    for (const TVoRptObject &o : document->pages[0].objects) {
        if (o.text != QLatin1String("0000003"))
            continue;
        EXPECT_LT(o.font.size, 9.0);
        EXPECT_LE(QFontMetricsF(VoRptQFont(o.font), &device).horizontalAdvance(o.text) * 25.4 / 1200,
                  o.rect.width() - 1.0);
    }
}

// In the selection form Space ticks the current row and Enter confirms the choice.
TEST_F(VoRptEngineTest, TheSelectionFormTicksWithSpaceAndConfirmsWithEnter) {
    TfmVoMultiSelect form;
    form.SetCommandText(QStringLiteral("SELECT IORDID, SCLIENTE FROM TRPT_ORD ORDER BY IORDID"));
    form.frVoMultiSel->grFrame->AddColumn(QStringLiteral("SCLIENTE"), QStringLiteral("Cliente"));
    QVariantList chosen;
    form.SetBookmarkList(&chosen);
    WhenFormShows([](TfmVoMultiSelect *f) {
        TVoDBGrid *grid = f->frVoMultiSel->grFrame;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Return);
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(chosen, QVariantList({2}));
}
