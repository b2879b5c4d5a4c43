// The reports of the consumables register run from the menu's report tree as a user runs them, answering
// their period, date and selection forms: what the module's datasets and variables hold while they
// print, the layouts of every report, and the small forms the reports ask with.
#include "VoClassRegistry.h"
#include "VoDBDateEdit.h"
#include "VoDBGrid.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "VoTableModel.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "VoTestReports.h"
#include "VoWidgetTest.h"
#include "kvaFRptSecMerc_select.h"
#include "kvaFSelectRangeData.h"
#include "kvaMAtt.h"
#include "kvaMReport.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// What the user answers to whatever a report asks.
struct TAnswers {
    QDate start;       // the period's start (unset: as proposed)
    QDate end;         // its end, or the date of the stock list
    QVariantList keys; // the rows ticked in a selection form, by their key (none: every row prints)
    int sector = 0;    // the sector chosen in the sector form
    bool cancel = false;
};

TAnswers Period(const QDate &start, const QDate &end) {
    TAnswers a;
    a.start = start;
    a.end = end;
    return a;
}

TAnswers Ticking(const QVariantList &keys, int sector = 0) {
    TAnswers a;
    a.keys = keys;
    a.sector = sector;
    return a;
}

class kvaReportsTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        kva::ResetWorkingContext();
        // The menu makes the parameters module, which reads the parameters: they are chosen after.
        dmkvaAtt = new TdmkvaAtt(nullptr);
        ry = VoTestRegisterYear(2026);
        ChooseRegisterYear(ry);
        dmkvaReport = new TdmkvaReport(nullptr);
        tree = TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe);
        kvaHookReports(tree);
    }
    void TearDown() override {
        delete dmkvaReport;
        dmkvaReport = nullptr;
        delete dmkvaAtt;
        dmkvaAtt = nullptr;
        kva::ResetWorkingContext();
        VoDbTest::TearDown();
    }

    // Answers the modal window of a class once it is on screen.
    template <class T> static void WhenShown(const std::function<void(T *)> &answer) {
        QTimer::singleShot(0, [answer] {
            T *window = nullptr;
            (void)QTest::qWaitFor(
                [&] { return (window = qobject_cast<T *>(QApplication::activeModalWidget())); });
            answer(window);
        });
    }
    // A loading voucher with its rows (description, quantity, cost) and, when given, a document.
    int Voucher(const QDate &date, const QString &description,
                const QList<std::tuple<QString, double, double>> &rows, const QString &document = QString()) {
        const int voucher = VoTestVoucher(kvaLoading, date, ry);
        VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET SFBUODESC = :d WHERE IFBUOID = :id"),
                  {{QStringLiteral("d"), description}, {QStringLiteral("id"), voucher}});
        for (const auto &[article, quantity, cost] : rows)
            VoTestRow(voucher, VoTestArticle(article, 0, vat), quantity, cost);
        if (!document.isEmpty())
            Attach(voucher, VoTestDocument(document, date));
        return voucher;
    }
    static void Attach(int voucher, int document) {
        VoExecSQL(QStringLiteral("INSERT INTO TFBUOIDC (IFBUOIDCID, IFBUOID, IIDCID) VALUES (:id, :v, :d)"),
                  {{QStringLiteral("id"), VoTestNewKey(QStringLiteral("TFBUOIDC"))},
                   {QStringLiteral("v"), voucher},
                   {QStringLiteral("d"), document}});
    }
    static void Set(const char *table, const char *assignments, const char *key, int id,
                    const QVariantHash &values) {
        QVariantHash params = values;
        params.insert(QStringLiteral("id"), id);
        VoExecSQL(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :id")
                      .arg(QLatin1String(table), QLatin1String(assignments), QLatin1String(key)),
                  params);
    }
    static void CustomReport(int id, int base, const QString &layout) {
        VoExecSQL(QStringLiteral("INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID, SYRPCDESC) VALUES (:id, :b, "
                                 "'Personale')"),
                  {{QStringLiteral("id"), id}, {QStringLiteral("b"), base}});
        VoExecSQL(QStringLiteral(
                      "INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) SELECT "
                      "(SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), IYXLSID, :c, :x FROM "
                      "TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA'"),
                  {{QStringLiteral("c"), QStringLiteral("RPT%1").arg(id)}, {QStringLiteral("x"), layout}});
    }

    // The register "Facile consumo" with two articles moved in 2025 and 2026, and a row of another
    // register. In 2026: loading 10 CARTA A4 at 3 (22% VAT, SEG, responsible) and 2 TONER NERO at 50
    // (no rate, LAB) on 10/01, from the supplier s1 with the document doc; unloading 4 CARTA A4 at 3
    // (LAB, responsible) on 01/02; loading 6 CARTA A4 at 4 (22%, LAB) on 01/03 from s0.
    struct TSeed {
        int a = 0, b = 0, seg = 0, lab = 0, rsp = 0, car = 0, ton = 0, s0 = 0, s1 = 0, doc = 0;
        int l25a = 0, l1a = 0, l1b = 0, u1a = 0, l2a = 0;
    };
    TSeed Seed() {
        TSeed d;
        vat = VoTestVatRate(22);
        d.a = VoTestArticle(QStringLiteral("Carta A4"), 0, vat);
        d.b = VoTestArticle(QStringLiteral("Toner nero"));
        const auto code = [](const char *sql, const char *value) {
            return VoSelectValue(QString::fromLatin1(sql),
                                 {{QStringLiteral("v"), QString::fromLatin1(value)}})
                .toInt();
        };
        d.car = code("SELECT IMERID FROM TMER_CODICIMERCEOL WHERE SMERCODICE = :v", "CAR");
        d.ton = code("SELECT IMERID FROM TMER_CODICIMERCEOL WHERE SMERCODICE = :v", "TON");
        d.s0 =
            code("SELECT MIN(IBENID) FROM TBEN_BENEFICIARI WHERE SBENRAGSOC STARTING WITH :v", "Forniture");
        d.s1 =
            code("SELECT MIN(IBENID) FROM TBEN_BENEFICIARI WHERE SBENRAGSOC STARTING WITH :v", "Cartoleria");
        d.rsp = VoSelectValue(QStringLiteral("SELECT MIN(IRSPID) FROM TRSP_RESPONSABILI")).toInt();
        Set("TFAR_FACARTICOLI", "ICAFID = 1, IMERID = :m", "IFARID", d.a, {{QStringLiteral("m"), d.car}});
        Set("TFAR_FACARTICOLI", "ICAFID = 3, IMERID = :m", "IFARID", d.b, {{QStringLiteral("m"), d.ton}});
        d.seg = VoTestSector(QStringLiteral("SEG"));
        d.lab = VoTestSector(QStringLiteral("LAB"));
        const auto voucher = [&](int kind, const QDate &date, int registerYear, int supplier) {
            const int v = VoTestVoucher(kind, date, registerYear);
            Set("TFBUO_BUONI", "IBENID = :b", "IFBUOID", v,
                {{QStringLiteral("b"), supplier ? QVariant(supplier) : VoNull(QMetaType::Int)}});
            return v;
        };
        d.l25a = VoTestRow(voucher(kvaLoading, QDate(2025, 6, 1), VoTestRegisterYear(2025), d.s0), d.a, 5, 2,
                           d.seg);
        const int l1 = voucher(kvaLoading, QDate(2026, 1, 10), ry, d.s1);
        d.l1a = VoTestRow(l1, d.a, 10, 3, d.seg);
        d.l1b = VoTestRow(l1, d.b, 2, 50, d.lab);
        d.doc = VoTestDocument(QStringLiteral("F-1"), QDate(2026, 1, 10));
        Attach(l1, d.doc);
        d.u1a = VoTestRow(voucher(kvaUnloading, QDate(2026, 2, 1), ry, 0), d.a, 4, 3, d.lab);
        for (const int row : {d.l1a, d.u1a})
            Set("TAFC_ARTVELIST", "IRSPID = :r", "IAFCID", row, {{QStringLiteral("r"), d.rsp}});
        d.l2a = VoTestRow(voucher(kvaLoading, QDate(2026, 3, 1), ry, d.s0), d.a, 6, 4, d.lab);
        VoTestRow(voucher(kvaLoading, QDate(2026, 1, 15),
                          VoTestOtherRegisterYear(QStringLiteral("Altro"), 2026), 0),
                  d.a, 1, 1, d.seg);
        return d;
    }

    static void Answer(const TAnswers &a) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *dialog = qobject_cast<TfmKvaSelectRangeDate *>(modal)) {
            if (a.start.isValid())
                dialog->dtpStart->SetDate(a.start);
            if (a.end.isValid())
                dialog->dtpEnd->SetDate(a.end);
            (a.cancel ? dialog->buCancel : dialog->buOk)->click();
        } else if (auto *form = qobject_cast<TfmVoMultiSelect *>(modal)) {
            if (auto *sectors = qobject_cast<TfmRptSecMerc_select *>(form))
                sectors->cbSettore->SelectId(a.sector);
            TVoQueryCollection *list = form->frVoMultiSel->xqcMultiSelect;
            for (int r = 0; r < list->RecordCount(); ++r)
                if (a.keys.contains(list->RowValue(r, 0)))
                    form->frVoMultiSel->SetSelected(r, true);
            (a.cancel ? form->buCancel : form->buOk)->click();
        }
    }
    // Runs fn answering every dialog and form it shows.
    template <class F> static auto Answering(const TAnswers &answers, F fn) {
        QTimer responder;
        QObject::connect(&responder, &QTimer::timeout, [&answers] { Answer(answers); });
        responder.start(1);
        return fn();
    }
    std::unique_ptr<TVoRptDocument> Run(int id, const TAnswers &answers = TAnswers()) {
        return Answering(answers, [&] { return tree->Prepare(id); });
    }

    // What a dataset held each time it opened: its text, parameters and rows (names upper-case).
    struct TSeen {
        QString sql;
        QVariantHash params;
        QList<QVariantHash> rows;
        QVariantList Column(const char *field) const {
            QVariantList values;
            for (const QVariantHash &row : rows)
                values << row.value(QString::fromLatin1(field));
            return values;
        }
    };
    static std::shared_ptr<QList<TSeen>> Watch(TVoQueryCollection *dataSet) {
        auto seen = std::make_shared<QList<TSeen>>();
        dataSet->AfterOpen.Add([seen](TVoQueryCollection *c) {
            TSeen s;
            s.sql = c->CommandText();
            for (int i = 0; i < c->Params().Count(); ++i)
                s.params.insert(c->Params()[i].Name().toUpper(), c->Params()[i].Value());
            for (int r = 0; r < c->RecordCount(); ++r)
                c->ReadRow(r, [&] {
                    QVariantHash row;
                    for (const QString &f : c->FieldNames())
                        row.insert(f.toUpper(), c->FieldByName(f)->Value());
                    s.rows << row;
                });
            seen->append(s);
        });
        return seen;
    }
    // The stock cdsGiacenze gave each article (by description) as the articles scrolled.
    std::shared_ptr<QMap<QString, double>> WatchStock(TVoQueryCollection *articles) {
        auto stock = std::make_shared<QMap<QString, double>>();
        articles->AfterScroll.Add([this, stock](TVoQueryCollection *) {
            TVoQueryCollection *row = dmkvaReport->cdsGiacenze;
            if (row->Active() && !row->IsEmpty())
                stock->insert(row->FieldByName(QStringLiteral("Descrizione"))->AsString(),
                              row->FieldByName(QStringLiteral("Giacenza"))->AsFloat());
        });
        return stock;
    }

    int ry = 0;
    int vat = 0;
    TVoRptTreeView *tree = nullptr;
};

} // namespace

TEST_F(kvaReportsTest, TheLoadingRegisterAsksItsPeriodAndPrintsItsRowsWithTotals) {
    vat = VoTestVatRate(22);
    Voucher(QDate(2026, 2, 10), QString(), {{QStringLiteral("Carta A4"), 10, 3.5}});
    Voucher(QDate(2026, 5, 20), QString(),
            {{QStringLiteral("Toner"), 2, 50}, {QStringLiteral("Penne"), 4, 0.25}});
    // The program wrote its layouts into the database when its reports were hooked.
    EXPECT_EQ(VoCountRows(QStringLiteral(
                  "SELECT * FROM TYXAR_XMLARCHIVIO WHERE SYXARCODICE IN ('RPT26001', 'RPT26004')")),
              2);

    QStringList asked;
    WhenShown<TfmKvaSelectRangeDate>([&](TfmKvaSelectRangeDate *dialog) {
        asked << dialog->windowTitle() << dialog->dtpStart->Date().toString(QStringLiteral("dd/MM/yyyy"))
              << dialog->Label2->text() << dialog->dtpEnd->Date().toString(QStringLiteral("dd/MM/yyyy"));
        dialog->dtpStart->SetDate(QDate(2026, 3, 1));
        dialog->buOk->click();
    });
    const auto document = tree->Prepare(26001);
    ASSERT_TRUE(document);
    EXPECT_EQ(asked, QStringList({"Registro dal - al", "01/01/2026", "al", "31/12/2026"}));
    const QStringList texts = document->Texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("dal 01/03/2026 al 31/12/2026")));
    EXPECT_TRUE(texts.contains(QStringLiteral("TONER")));
    EXPECT_FALSE(texts.contains(QStringLiteral("CARTA A4")));
    // 2 x 50 + 4 x 0,25 = 101, and with 22% of VAT 123,22: on the page and for the period.
    EXPECT_EQ(texts.count(QStringLiteral("101,00")), 2);
    EXPECT_EQ(texts.count(QStringLiteral("123,22")), 2);
    EXPECT_TRUE(texts.contains(QStringLiteral("Pagina 1 di 1")));
    EXPECT_FALSE(dmkvaReport->qquRegCarichi->Active());

    // Cancel in the period prints nothing and leaves the datasets closed.
    WhenShown<TfmKvaSelectRangeDate>([](TfmKvaSelectRangeDate *dialog) { dialog->buCancel->click(); });
    EXPECT_FALSE(tree->Prepare(26001));
    EXPECT_TRUE(messages->Texts().isEmpty());
    EXPECT_FALSE(dmkvaReport->qquRegCarichi->Active() || dmkvaReport->qquFacCurr->Active());
}

// The period typed with slashes: the start over its selected text, the end from its first digit.
TEST_F(kvaReportsTest, TheRegistersPeriodIsTypedAsWritten) {
    vat = VoTestVatRate(22);
    Voucher(QDate(2026, 2, 10), QString(), {{QStringLiteral("Carta A4"), 10, 3.5}});
    Voucher(QDate(2026, 5, 20), QString(), {{QStringLiteral("Toner"), 2, 50}});
    Voucher(QDate(2026, 7, 1), QString(), {{QStringLiteral("Penne"), 4, 0.25}});
    WhenShown<TfmKvaSelectRangeDate>([](TfmKvaSelectRangeDate *dialog) {
        // The dialog may still be on its way to the front when its loop starts.
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        EXPECT_EQ(QApplication::focusWidget(), dialog->dtpStart);
        dialog->dtpStart->selectAll();
        QTest::keyClicks(dialog->dtpStart, QStringLiteral("1/4/2026"));
        QTest::keyClick(dialog->dtpStart, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog->dtpEnd);
        QTest::keyClicks(dialog->dtpEnd, QStringLiteral("30/06/2026"));
        QTest::keyClick(dialog->dtpEnd, Qt::Key_Return);
        QApplication::processEvents();
        // A dialog the keys did not close would hold the test in its loop.
        if (dialog->isVisible())
            dialog->buCancel->click();
    });
    const auto document = tree->Prepare(26001);
    ASSERT_TRUE(document) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    const QStringList texts = document->Texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("dal 01/04/2026 al 30/06/2026")));
    EXPECT_TRUE(texts.contains(QStringLiteral("TONER")));
    EXPECT_FALSE(texts.contains(QStringLiteral("CARTA A4")) || texts.contains(QStringLiteral("PENNE")));
}

TEST_F(kvaReportsTest, TheRegistersTotalsAddUpTheirPrintedRowsAndEachVoucherKeepsItsRowsTogether) {
    vat = VoTestVatRate(22);
    // Codes in the order of creation: the first voucher of the day holds the first and the last.
    const int a = VoTestArticle(QStringLiteral("Penne"), 0, vat);
    const int b = VoTestArticle(QStringLiteral("Matite"), 0, vat);
    const int c = VoTestArticle(QStringLiteral("Gomme"), 0, vat);
    for (const int kind : {kvaLoading, kvaUnloading}) {
        const int first = VoTestVoucher(kind, QDate(2026, 3, 2), ry);
        const int second = VoTestVoucher(kind, QDate(2026, 3, 2), ry);
        // 3 x 1,115 = 3,345: 3,35 on paper; with 22% of VAT 4,0809: 4,08.
        VoTestRow(first, a, 3, 1.115);
        VoTestRow(second, b, 3, 1.115);
        VoTestRow(first, c, 3, 1.115);
    }
    const struct {
        int id;
        TVoQueryCollection *rows;
        QStringList totals; // each on the page and for the period
    } cases[] = {{26001, dmkvaReport->qquRegCarichi, {"10,05", "12,24"}},
                 {26002, dmkvaReport->qquRegScarichi, {"10,05"}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        const auto seen = Watch(c.rows);
        const auto document = Run(c.id);
        ASSERT_TRUE(document);
        EXPECT_EQ(seen->last().Column("IFBUONUMERO"), QVariantList({1, 1, 2}));
        const QStringList texts = document->Texts();
        EXPECT_EQ(texts.count(QStringLiteral("3,35")), 3);
        for (const QString &total : c.totals)
            EXPECT_EQ(texts.count(total), 2) << total.toStdString();
    }
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, TheLoadingVouchersChosenArePrintedWithTheirRowsAndDocumentsAlsoByACustomisedReport) {
    Voucher(QDate(2026, 1, 10), QStringLiteral("Cancelleria"), {{QStringLiteral("Carta A4"), 10, 3.5}},
            QStringLiteral("F-12"));
    Voucher(QDate(2026, 1, 20), QStringLiteral("Pulizie"), {{QStringLiteral("Sapone"), 3, 2}});
    Voucher(QDate(2026, 2, 1), QStringLiteral("Toner"),
            {{QStringLiteral("Toner nero"), 1, 80}, {QStringLiteral("Toner blu"), 1, 90}});
    VoTestVoucher(kvaUnloading, QDate(2026, 2, 2), ry);
    CustomReport(
        1000001, 26004,
        QStringLiteral(
            "<report id=\"1000001\" title=\"Riepilogo\"><masterData dataset=\"cdsBuoni\" height=\"5\">"
            "<text x=\"0\" y=\"0\" w=\"40\" h=\"5\" expr=\"'N. ' + [cdsBuoni.IFBUONUMERO]\"/>"
            "<text x=\"40\" y=\"0\" w=\"40\" h=\"5\" expr=\"[cdsBuoni.IBENIIMPNOIVA]\" "
            "format=\"#,##0.00\"/>"
            "<detailData dataset=\"qquArtXBuono\" height=\"5\"><text x=\"10\" y=\"0\" w=\"60\" "
            "h=\"5\" expr=\"[qquArtXBuono.SFARLDESC]\"/></detailData></masterData></report>"));

    for (const int id : {26004, 1000001}) {
        SCOPED_TRACE(id);
        QStringList listed;
        QStringList titles;
        int baseId = 0;
        WhenShown<TfmVoMultiSelect>([&](TfmVoMultiSelect *form) {
            baseId = GetBaseReportId();
            TVoDBGrid *grid = form->frVoMultiSel->grFrame;
            titles << form->windowTitle();
            for (int c = 0; c < grid->ColumnCount(); ++c)
                titles << grid->ColumnTitle(c);
            for (int r = 0; r < grid->Model()->rowCount(); ++r)
                listed << grid->Model()->index(r, 2).data().toString();
            form->frVoMultiSel->SetSelected(2, true);
            form->frVoMultiSel->SetSelected(0, true);
            form->buOk->click();
        });
        const auto document = tree->Prepare(id);
        ASSERT_TRUE(document);
        EXPECT_EQ(baseId, 26004);
        EXPECT_EQ(titles, QStringList({"Selezione Buoni", "Data", "Numero", "Descrizione"}));
        EXPECT_EQ(listed, QStringList({"Cancelleria", "Pulizie", "Toner"}));
        const QStringList texts = document->Texts();
        if (id == 26004) {
            for (const char *text :
                 {"Buono di carico n. 1 del 10/01/2026", "CARTA A4", "35,00", "Totale del buono", "F-12",
                  "Buono di carico n. 3 del 01/02/2026", "TONER NERO", "TONER BLU", "170,00"})
                EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
            EXPECT_FALSE(texts.contains(QStringLiteral("SAPONE")));
        } else {
            EXPECT_EQ(texts, QStringList(
                                 {"N. 1", "35,00", "CARTA A4", "N. 3", "170,00", "TONER NERO", "TONER BLU"}));
        }
        EXPECT_FALSE(dmkvaReport->cdsBuoni->Active() || dmkvaReport->cdsBuoni->RowFiltered());
    }
}

TEST_F(kvaReportsTest, ThePeriodDialogAndTheSectorFormStartAsTheReportsNeedThem) {
    const std::unique_ptr<TfmKvaSelectRangeDate> dialog(VoNewForm<TfmKvaSelectRangeDate>());
    EXPECT_EQ(dialog->dtpStart->Date(), QDate(1900, 1, 1));
    EXPECT_EQ(dialog->dtpEnd->Date(), QDate::currentDate());
    WhenShown<TfmKvaSelectRangeDate>([](TfmKvaSelectRangeDate *d) { d->buCancel->click(); });
    dialog->exec();
    EXPECT_EQ(dialog->StartDate, 0.0);

    // OK waits for a sector, and every show starts without one.
    const std::unique_ptr<QWidget> window(CreateVoClass(QStringLiteral("TfmRptSecMerc_select")));
    auto *form = qobject_cast<TfmRptSecMerc_select *>(window.get());
    ASSERT_NE(form, nullptr);
    form->SetCommandText(QStringLiteral("SELECT IMERID, SMERCODICE FROM TMER_CODICIMERCEOL"));
    for (int show = 0; show < 2; ++show) {
        WhenShown<TfmRptSecMerc_select>([&](TfmRptSecMerc_select *f) {
            EXPECT_EQ(f->cbSettore->count(), 3);
            EXPECT_EQ(f->cbSettore->currentIndex(), -1);
            EXPECT_FALSE(f->buOk->isEnabled());
            f->cbSettore->setCurrentIndex(1);
            EXPECT_TRUE(f->buOk->isEnabled());
            EXPECT_EQ(f->cbSettore->SelectedId(), VoTestSector(QStringLiteral("LAB")));
            f->buOk->click();
        });
        EXPECT_EQ(form->exec(), QDialog::Accepted);
    }
}

TEST_F(kvaReportsTest, TheRegistersAndTheDetailsSpanTheRegistersYearsAsItsNumberingSays) {
    const TSeed d = Seed();
    // Registers span the years whenever the numbering is not 1, the details only when it is 0 (a NULL
    // numbering reads as 0). The period's two ends are both printed.
    const struct {
        QVariant numbering;
        QList<QDate> registerDates;
        QVariantList sectorRows;
    } cases[] = {
        {1, {QDate(2026, 1, 10), QDate(2026, 1, 10), QDate(2026, 3, 1)}, {d.l1a}},
        {0, {QDate(2025, 6, 1), QDate(2026, 1, 10), QDate(2026, 1, 10), QDate(2026, 3, 1)}, {d.l25a, d.l1a}},
        {QVariant(),
         {QDate(2025, 6, 1), QDate(2026, 1, 10), QDate(2026, 1, 10), QDate(2026, 3, 1)},
         {d.l25a, d.l1a}},
        {2, {QDate(2025, 6, 1), QDate(2026, 1, 10), QDate(2026, 1, 10), QDate(2026, 3, 1)}, {d.l1a}},
    };
    const auto registers = Watch(dmkvaReport->qquRegCarichi);
    const auto details = Watch(dmkvaReport->qquArt);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.numbering.toString().toStdString());
        Set("TFAC_VELISTO", "IFACNUMERAZ = :n", "IFACID", VoTestRegister(),
            {{QStringLiteral("n"), c.numbering.isNull() ? VoNull(QMetaType::Int) : c.numbering}});
        ChooseRegisterYear(ry);
        ASSERT_TRUE(Run(26001, Period(QDate(2025, 6, 1), QDate(2026, 3, 1))));
        QList<QDate> dates;
        for (const QVariant &date : registers->last().Column("DFBUODATA"))
            dates << date.toDate();
        EXPECT_EQ(dates, c.registerDates);
        EXPECT_EQ(dmkvaReport->data_inizio + QLatin1Char('-') + dmkvaReport->data_fine,
                  QStringLiteral("01/06/2025-01/03/2026"));
        ASSERT_TRUE(Run(26006, Ticking({d.seg})));
        EXPECT_EQ(details->last().Column("IAFCID"), c.sectorRows);
    }
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, TheGeneralRegisterValuesUnloadingRowsAtTheirCostAndAMissingRateAsNoVat) {
    const TSeed d = Seed();
    const auto seen = Watch(dmkvaReport->qquRegistro);
    ASSERT_TRUE(Run(26003));
    QMap<int, QString> rows;
    for (const QVariantHash &row : seen->last().rows)
        rows.insert(row.value(QStringLiteral("IAFCID")).toInt(),
                    QStringLiteral("%1 %2 %3")
                        .arg(row.value(QStringLiteral("TIPO")).toString())
                        .arg(row.value(QStringLiteral("TOTALENOIVA")).toDouble())
                        .arg(row.value(QStringLiteral("TOTALEIVA")).toDouble()));
    EXPECT_EQ(rows, (QMap<int, QString>{{d.l1a, QStringLiteral("C 30 36.6")},
                                        {d.l1b, QStringLiteral("C 100 100")},
                                        {d.u1a, QStringLiteral("S 0 12")},
                                        {d.l2a, QStringLiteral("C 24 29.28")}}));
}

TEST_F(kvaReportsTest, TheStockListGivesEachArticleItsStockAtTheDateChosen) {
    const TSeed d = Seed();
    QStringList asked;
    WhenShown<TfmKvaSelectRangeDate>([&](TfmKvaSelectRangeDate *dialog) {
        asked << dialog->Label2->text() << dialog->dtpEnd->Date().toString(QStringLiteral("dd/MM/yyyy"));
        EXPECT_FALSE(dialog->dtpStart->isVisible() || dialog->Label1->isVisible());
        dialog->buCancel->click();
    });
    // Cancel prints nothing.
    EXPECT_FALSE(tree->Prepare(26009));
    EXPECT_EQ(asked, QStringList({"Elenco generale dei beni al", "31/12/2026"}));

    const auto stock = WatchStock(dmkvaReport->qquGiacenza);
    for (const auto &[date, paper] :
         {std::pair{QDate(2026, 2, 1), 6.0}, std::pair{QDate(2026, 3, 1), 12.0}}) {
        ASSERT_TRUE(Run(26009, Period(QDate(), date)));
        EXPECT_EQ(*stock, (QMap<QString, double>{{QStringLiteral("CARTA A4"), paper},
                                                 {QStringLiteral("TONER NERO"), 2.0}}));
        EXPECT_EQ(dmkvaReport->data_fine, date.toString(QStringLiteral("dd/MM/yyyy")));
    }
    // A run after a new load prints the stock as it stands then, not as the run before read it.
    VoTestRow(VoTestVoucher(0, QDate(2026, 2, 20), ry), d.a, 5, 1.0);
    ASSERT_TRUE(Run(26009, Period(QDate(), QDate(2026, 3, 1))));
    EXPECT_EQ(stock->value(QStringLiteral("CARTA A4")), 17.0);
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, EachListPrintsTheRowsOrArticlesOfTheKeyChosenAsItsBaseReportSays) {
    const TSeed d = Seed();
    const QString sector = QStringLiteral("AND (iSecId=:iSecId)");
    const QString goods = QStringLiteral("AND (iMerId=:iMerId)");
    const QString category = QStringLiteral("AND (iCafId=:iCafId)");
    const QString responsible = QStringLiteral("AND (iRspId=:iRspId)");
    // The stock of articles is in the sector printed for, else over all sectors.
    const struct {
        int id;
        QVariant key;
        QString condition;
        const char *param;
        QVariant kind;
        QVariantList rows;
        QMap<QString, double> stock;
    } cases[] = {
        {26006, d.seg, sector, "ISECID", kvaLoading, {d.l1a}, {}},
        {26007, d.lab, sector, "ISECID", kvaUnloading, {d.u1a}, {}},
        {26008, d.lab, sector, "ISECID", {}, {d.a, d.b}, {{"CARTA A4", 2}, {"TONER NERO", 2}}},
        {26015, d.car, goods, "IMERID", kvaLoading, {d.l1a, d.l2a}, {}},
        {26016, d.car, goods, "IMERID", kvaUnloading, {d.u1a}, {}},
        {26017, d.ton, goods, "IMERID", {}, {d.b}, {{"TONER NERO", 2}}},
        {26018, 1, category, "ICAFID", kvaLoading, {d.l1a, d.l2a}, {}},
        {26019, 1, category, "ICAFID", kvaUnloading, {d.u1a}, {}},
        {26020, 1, category, "ICAFID", {}, {d.a}, {{"CARTA A4", 12}}},
        {26021, d.s1, QStringLiteral("AND (iBenId=:iBenId)"), "IBENID", kvaLoading, {d.l1a, d.l1b}, {}},
        {26022, d.doc, QStringLiteral("/*FILTER*/"), "IIDCID", {}, {d.l1a, d.l1b}, {}},
        {26027,
         d.car,
         QStringLiteral("AND (iSecId=:iSecId) AND (iMerId=:iMerId)"),
         "IMERID",
         {},
         {d.a},
         {{"CARTA A4", 2}}},
        {26029, d.rsp, responsible, "IRSPID", kvaLoading, {d.l1a}, {}},
        {26030, d.rsp, responsible, "IRSPID", kvaUnloading, {d.u1a}, {}},
    };
    const auto seen = Watch(dmkvaReport->qquArt);
    const auto stock = WatchStock(dmkvaReport->qquArt);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        stock->clear();
        const auto document = Run(c.id, Ticking({c.key}, d.lab));
        ASSERT_TRUE(document);
        const TSeen &art = seen->last();
        EXPECT_TRUE(art.sql.contains(c.condition));
        EXPECT_EQ(art.params.value(QString::fromLatin1(c.param)), c.key);
        EXPECT_EQ(art.params.value(QStringLiteral("IFBUOTIPO")), c.kind);
        EXPECT_EQ(art.Column(c.kind.isValid() || c.id == 26022 ? "IAFCID" : "IFARID"), c.rows);
        EXPECT_EQ(*stock, c.stock);
    }
    // The sector of 26027 comes from its form and heads the report.
    EXPECT_TRUE(Run(26027, Ticking({d.car}, d.lab))
                    ->Texts()
                    .contains(QStringLiteral("Settore di consegna: LAB - Laboratorio di scienze")));
    EXPECT_EQ(seen->last().params.value(QStringLiteral("ISECID")), d.lab);
    EXPECT_EQ(dmkvaReport->sSettore, QStringLiteral("LAB - Laboratorio di scienze"));
    EXPECT_TRUE(messages->Texts().isEmpty());
}

// Every report that groups the register prints the register's total as its general one: rows without
// a sector, goods code, category, supplier, document or responsible print in a group of their own,
// and an article's figures in the sectors add up to its stock and value over all of them (toner loaded
// for LAB and handed out by SEG: -1 in SEG, valued at its average cost), to the cent.
TEST_F(kvaReportsTest, EveryGeneralTotalIsTheRegistersWithTheRowsOutsideTheGroupsInAGroupOfTheirOwn) {
    const TSeed d = Seed();
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2026, 4, 1), ry), VoTestArticle(QStringLiteral("Gomme")), 5, 1);
    VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 5, 1), ry), d.b, 1, 50, d.seg);
    // In stock: 12 CARTA A4 at (10 x 3 + 6 x 4) x 1,22 / 16 (49,41; 41,175 in SEG and 8,235 in LAB), 1
    // TONER NERO at 50 and 5 GOMME at 1. Loaded 30 + 100 + 24 + 5 = 159, with VAT 170,88; unloaded
    // 12 + 50.
    const struct {
        int id;
        const char *caption;
        int after; // the figure's place after the caption
        const char *total;
        const char *group; // a text the report prints besides
    } cases[] = {
        {26009, "Valore complessivo", 1, "104,41", "GOMME"},
        {26008, "Valore generale", 1, "104,41", "-50,00"},
        {26008, "Valore generale", 1, "104,41", "Senza settore"},
        {26017, "Valore generale", 1, "104,41", "Senza codice merceologico"},
        {26020, "Valore generale", 1, "104,41", "Senza categoria"},
        {26001, "Totale del periodo", 2, "170,88", "GOMME"},
        {26006, "Totale generale", 1, "170,88", "Senza settore"},
        {26015, "Totale generale", 1, "170,88", "Senza codice merceologico"},
        {26018, "Totale generale", 1, "170,88", "Senza categoria"},
        {26021, "Totale generale", 1, "170,88", "Senza fornitore"},
        {26029, "Totale generale", 1, "170,88", "Senza responsabile"},
        {26002, "Valore del periodo", 1, "62,00", "TONER NERO"},
        {26030, "Valore generale", 1, "62,00", "Senza responsabile"},
        // Loads with their VAT and unloads at their value: 170,88 + 62,00.
        {26022, "Totale generale", 1, "232,88", "Senza documento"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        const auto document = Run(c.id);
        ASSERT_TRUE(document) << messages->Texts().join(QLatin1Char('\n')).toStdString();
        const QStringList texts = document->Texts();
        EXPECT_EQ(VoRptTextAfter(texts, QString::fromLatin1(c.caption), c.after),
                  QString::fromLatin1(c.total));
        EXPECT_TRUE(texts.contains(QString::fromLatin1(c.group))) << c.group;
    }
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, TheArticleCardAndTheSuppliersOfAGoodsCodeReadTheirArticleAndCode) {
    const TSeed d = Seed();
    const auto movements = Watch(dmkvaReport->qquMovArt);
    double stock = 0;
    double cost = 0;
    dmkvaReport->cdsArticoli->AfterScroll.Add([&](TVoQueryCollection *) {
        QVariant value;
        dmkvaReport->GetReportValue(QStringLiteral("art_giacenza"), value);
        stock = value.toDouble();
        dmkvaReport->GetReportValue(QStringLiteral("art_costomedio"), value);
        cost = value.toDouble();
    });
    ASSERT_TRUE(Run(26025, Ticking({d.a})));
    EXPECT_EQ(movements->last().Column("IAFCID"), QVariantList({d.l1a, d.u1a, d.l2a}));
    EXPECT_EQ(movements->last().Column("TIPO"), QVariantList({"C", "S", "C"}));
    // 10 + 6 - 4 in stock, at (10 x 3 + 6 x 4) x 1,22 / 16.
    EXPECT_DOUBLE_EQ(stock, 12);
    EXPECT_DOUBLE_EQ(cost, 4.1175);

    const auto suppliers = Watch(dmkvaReport->qquFornXMerce);
    ASSERT_TRUE(Run(26028, Ticking({d.car})));
    EXPECT_EQ(suppliers->last().Column("IBENID"), QVariantList({d.s1, d.s0}));
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, ACustomisedReportRunsOnItsBaseReportsDataAndOnlyItsOwnListGivesTheKey) {
    const TSeed d = Seed();
    const auto layout = [](int id, const char *list) {
        return QStringLiteral(
                   "<report id=\"%1\" title=\"Personale\"><masterData dataset=\"%2\" height=\"5\">"
                   "<detailData dataset=\"qquArt\" height=\"5\"><text x=\"0\" y=\"0\" w=\"60\" h=\"5\" "
                   "expr=\"[qquArt.SFARLDESC]\"/></detailData></masterData></report>")
            .arg(id)
            .arg(QLatin1String(list));
    };
    CustomReport(1000010, 26006, layout(1000010, "cdsSettori"));
    CustomReport(1000011, 26006, layout(1000011, "cdsCateg"));
    CustomReport(1000012, 26008, layout(1000012, "cdsCateg"));
    CustomReport(1000013, 26011, layout(1000013, "cdsSettori"));
    const auto seen = Watch(dmkvaReport->qquArt);
    const auto stock = WatchStock(dmkvaReport->qquArt);

    ASSERT_TRUE(Run(1000010, Ticking({d.seg})));
    EXPECT_EQ(seen->last().Column("IAFCID"), QVariantList({d.l1a}));
    // A category scrolling under the sectors' report leaves the sector as the last one chosen.
    ASSERT_TRUE(Run(1000011, Ticking({1})));
    EXPECT_TRUE(seen->last().sql.contains(QStringLiteral("AND (iSecId=:iSecId)")));
    EXPECT_EQ(seen->last().params.value(QStringLiteral("ISECID")), d.seg);
    EXPECT_EQ(seen->last().Column("IAFCID"), QVariantList({d.l1a}));
    // Articles by sector with the sector list closed: their stock over all sectors.
    ASSERT_TRUE(Run(26008, Ticking({d.seg})));
    EXPECT_EQ(stock->value(QStringLiteral("CARTA A4")), 10.0);
    ASSERT_TRUE(Run(1000012, Ticking({1})));
    EXPECT_EQ(seen->last().Column("IFARID"), QVariantList({d.a}));
    EXPECT_EQ(stock->value(QStringLiteral("CARTA A4")), 12.0);
    // A report the detail filter does not know reads the text it last had, in the current context.
    const QString last = seen->last().sql;
    ASSERT_TRUE(Run(1000013, Ticking({d.lab})));
    EXPECT_EQ(seen->last().sql, last);
    EXPECT_EQ(seen->last().params.value(QStringLiteral("ISECID")), d.seg);
    EXPECT_EQ(seen->last().params.value(QStringLiteral("IDWGFACANFID")), ry);
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, TheModuleAnswersItsVariablesClosesEveryDatasetAndTheDesignerOpensEachList) {
    dmkvaReport->data_inizio = QStringLiteral("01/01/2026");
    dmkvaReport->data_fine = QStringLiteral("31/12/2026");
    dmkvaReport->art_giacenza = 2.5;
    dmkvaReport->art_costomedio = 4.0;
    dmkvaReport->sSettore = QStringLiteral("LAB - Laboratorio");
    // Names are compared exactly: another spelling leaves the engine's value.
    const QVariant untouched(QStringLiteral("invariato"));
    for (const auto &[name, expected] :
         {std::pair{"IvaInclusa", QVariant(CurrentVatIncluded)},
          std::pair{"data_inizio", QVariant("01/01/2026")}, std::pair{"data_fine", QVariant("31/12/2026")},
          std::pair{"Data_fine", untouched}, std::pair{"art_giacenza", QVariant(2.5)},
          std::pair{"art_costomedio", QVariant(4.0)}, std::pair{"sSettore", QVariant("LAB - Laboratorio")},
          std::pair{"Altro", untouched}}) {
        QVariant value = untouched;
        dmkvaReport->GetReportValue(QString::fromLatin1(name), value);
        EXPECT_EQ(value.toString(), expected.toString()) << name;
    }

    const QList<TVoQueryCollection *> datasets =
        dmkvaReport->findChildren<TVoQueryCollection *>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(datasets.size(), 29);
    Answering(TAnswers(), [&] {
        for (TVoQueryCollection *q : datasets)
            q->Open();
        return 0;
    });
    dmkvaReport->CloseReportDatasets();
    for (TVoQueryCollection *q : datasets)
        EXPECT_FALSE(q->Active()) << q->objectName().toStdString();

    QMap<QString, int> opened;
    for (TVoQueryCollection *q : datasets)
        q->AfterOpen.Add([&opened](TVoQueryCollection *c) { ++opened[c->objectName()]; });
    tree->GetfrDesigner()->Design();
    for (const char *list : {"cdsBuoni", "cdsSettori", "cdsMerce", "cdsCateg", "cdsFornitori", "cdsDocumenti",
                             "cdsArticoli", "cdsSecMerc", "cdsSettoriRsp"}) {
        EXPECT_EQ(opened.value(QString::fromLatin1(list)), 1) << list;
        EXPECT_FALSE(dmkvaReport->findChild<TVoQueryCollection *>(QString::fromLatin1(list))->Active());
    }
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvaReportsTest, TheNineSelectionFormsAreDressedForTheirLists) {
    struct TColumn {
        const char *field;
        const char *title;
        int width;
        bool text;
    };
    const struct {
        TVofrDBDataSet *publisher;
        const char *caption;
        QList<TColumn> columns;
    } forms[] = {
        {dmkvaReport->xfrBuoni,
         "Selezione Buoni",
         {{"dFBuoData", "Data", 100, false},
          {"iFBuoNumero", "Numero", 100, true},
          {"sFBuoDesc", "Descrizione", 300, true}}},
        {dmkvaReport->xfrSettori,
         "Selezione Settore di consegna",
         {{"sSecCod", "Codice", 100, true},
          {"sSecDescS", "Descrizione", 300, true},
          {"sSecDescL", "Note", 300, true}}},
        {dmkvaReport->xfrMerce,
         "Selezione Merceologia",
         {{"sMerCodice", "Codice", 100, true}, {"sMerDesc", "Descrizione", 300, true}}},
        {dmkvaReport->xfrCateg,
         "Selezione Categoria",
         {{"sCafCodice", "Codice", 100, true}, {"sCafDesc", "Descrizione", 300, true}}},
        {dmkvaReport->xfrFornitori,
         "Selezione fornitore",
         {{"sBenRagSoc", "Ragione sociale", 300, true},
          {"sBenCodFiscale", "Codice fiscale", 100, true},
          {"sBenPartitaIVA", "Partita iva", 100, true},
          {"sBenDesc", "Descrizione", 100, true}}},
        {dmkvaReport->xfrDocumenti,
         "Selezione documento",
         {{"sIdcNumero", "Numero", 75, true},
          {"dIdcData", "Data", 75, false},
          {"sIdcDesc", "Descrizione", 400, true},
          {"sTidDesc", "Tipo", 200, true}}},
        {dmkvaReport->xfrArticoli,
         "Selezione Articoli",
         {{"sFarSDesc", "Codice", 100, true},
          {"sFarLDesc", "Descrizione", 300, true},
          {"sCafDesc", "Categoria", 300, true}}},
        {dmkvaReport->xfrSecMerc,
         "Selezione Settore - Merceologia",
         {{"sMerCodice", "Codice", 100, true}, {"sMerDesc", "Descrizione", 300, true}}},
        {dmkvaReport->xfrSettoriRsp,
         "Selezione Settore di consegna - Responsabile",
         {{"sSecCod", "Codice", 50, true},
          {"sSecDescS", "Descrizione", 200, true},
          {"sAnaCognomeNome", "Responsabile", 200, true},
          {"sSecDescL", "Note", 200, true}}},
    };
    for (const auto &f : forms) {
        SCOPED_TRACE(f.caption);
        const std::unique_ptr<QWidget> window(CreateVoClass(f.publisher->SelectFormClass));
        auto *form = qobject_cast<TfmVoMultiSelect *>(window.get());
        ASSERT_NE(form, nullptr);
        f.publisher->OnBeforeSelectForm(f.publisher, form);
        EXPECT_EQ(form->windowTitle(), QString::fromUtf8(f.caption));
        TVoDBGrid *grid = form->frVoMultiSel->grFrame;
        ASSERT_EQ(grid->ColumnCount(), f.columns.size());
        ASSERT_EQ(grid->ColsIndex().Count(), f.columns.size());
        for (int c = 0; c < f.columns.size(); ++c) {
            EXPECT_EQ(grid->ColumnField(c), QString::fromLatin1(f.columns[c].field));
            EXPECT_EQ(grid->ColumnTitle(c), QString::fromLatin1(f.columns[c].title));
            EXPECT_EQ(grid->Model()->ColumnWidth(c), f.columns[c].width);
            const TVoColsIndexItem &entry = grid->ColsIndex()[c];
            EXPECT_EQ(entry.Column, c);
            EXPECT_EQ(entry.SortFields, QString::fromLatin1(f.columns[c].field));
            EXPECT_EQ(entry.Text, f.columns[c].text);
        }
    }
    // The suppliers and documents list the chosen register-year's, none before one is chosen.
    for (const QVariant &registerYear : {QVariant(ry), QVariant()}) {
        xgvmGlobalVar.Add(ParRegisterYear, registerYear);
        for (TVofrDBDataSet *publisher : {dmkvaReport->xfrFornitori, dmkvaReport->xfrDocumenti}) {
            const std::unique_ptr<TfmVoMultiSelect> form(VoNewForm<TfmVoMultiSelect>());
            publisher->OnBeforeSelectForm(publisher, form.get());
            TVoQueryCollection *list = form->frVoMultiSel->xqcMultiSelect;
            EXPECT_EQ(list->CommandText(), publisher->DataSet()->CommandText());
            EXPECT_EQ(list->Params().ParamByName(QStringLiteral("iDwgFacAnfId")).Value(),
                      registerYear.isNull() ? 0 : ry);
        }
    }
}

TEST_F(kvaReportsTest, EveryLayoutLoadsNamesOnlyWhatTheModulePublishesAndPrintsItsTitle) {
    const TSeed d = Seed();
    const QTemporaryDir folder;
    const QStringList layouts = kvaReportLayouts();
    EXPECT_EQ(layouts.size(), 30);
    for (const QString &xml : layouts) {
        const TVoRptLayout layout = TVoRptLayout::Parse(xml);
        SCOPED_TRACE(layout.id);
        VoExpectLayoutReferencesKnown(layout);
        VoExpectHeadingsApart(layout);
        // Every row of every list, so that every band prints and every field is looked up.
        const auto document = Run(layout.id, Ticking({}, d.lab));
        ASSERT_TRUE(document) << messages->Texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(document->Texts().contains(layout.title));
        const QString pdf = folder.filePath(QStringLiteral("%1.pdf").arg(layout.id));
        EXPECT_TRUE(document->WritePdf(pdf));
        EXPECT_GT(QFileInfo(pdf).size(), 1000);
    }
    EXPECT_TRUE(messages->Texts().isEmpty());
}
