// The reports of the consumables register run from the menu's report tree as a user runs them: the
// loading register with its period, the loading vouchers chosen in their selection form, a customised
// report on its base report's data, and the small forms the reports ask with.
#include "VoClassRegistry.h"
#include "VoDBGrid.h"
#include "VoIdComboBox.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "VoTableModel.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestRegisters.h"
#include "kvaFRptSecMerc_select.h"
#include "kvaFSelectRangeData.h"
#include "kvaMAtt.h"
#include "kvaMReport.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class kvaReportsTest : public VoDbTest {
protected:
    void SetUp() override {
        VoDbTest::SetUp();
        ResetWorkingContext();
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
        ResetWorkingContext();
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
        if (!document.isEmpty()) {
            const int type = VoTestNewKey(QStringLiteral("TTID_TIPOINVDOC"));
            VoExecSQL(
                QStringLiteral("INSERT INTO TTID_TIPOINVDOC (ITIDID, STIDDESC) VALUES (:id, 'Fattura')"),
                {{QStringLiteral("id"), type}});
            const int doc = VoTestNewKey(QStringLiteral("TIDC_INVDOC"));
            VoExecSQL(
                QStringLiteral("INSERT INTO TIDC_INVDOC (IIDCID, DIDCDATA, SIDCNUMERO, SIDCDESC, ITIDID) "
                               "VALUES (:id, :d, :n, 'Materiale', :t)"),
                {{QStringLiteral("id"), doc},
                 {QStringLiteral("d"), date},
                 {QStringLiteral("n"), document},
                 {QStringLiteral("t"), type}});
            VoExecSQL(
                QStringLiteral("INSERT INTO TFBUOIDC (IFBUOIDCID, IFBUOID, IIDCID) VALUES (:id, :v, :d)"),
                {{QStringLiteral("id"), VoTestNewKey(QStringLiteral("TFBUOIDC"))},
                 {QStringLiteral("v"), voucher},
                 {QStringLiteral("d"), doc}});
        }
        return voucher;
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
        asked << dialog->windowTitle() << dialog->dtpStart->date().toString(QStringLiteral("dd/MM/yyyy"))
              << dialog->Label2->text() << dialog->dtpEnd->date().toString(QStringLiteral("dd/MM/yyyy"));
        dialog->dtpStart->setDate(QDate(2026, 3, 1));
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

TEST_F(kvaReportsTest, TheLoadingVouchersChosenArePrintedWithTheirRowsAndDocumentsAlsoByACustomisedReport) {
    Voucher(QDate(2026, 1, 10), QStringLiteral("Cancelleria"), {{QStringLiteral("Carta A4"), 10, 3.5}},
            QStringLiteral("F-12"));
    Voucher(QDate(2026, 1, 20), QStringLiteral("Pulizie"), {{QStringLiteral("Sapone"), 3, 2}});
    Voucher(QDate(2026, 2, 1), QStringLiteral("Toner"),
            {{QStringLiteral("Toner nero"), 1, 80}, {QStringLiteral("Toner blu"), 1, 90}});
    VoTestVoucher(kvaUnloading, QDate(2026, 2, 2), ry);
    VoExecSQL(QStringLiteral(
        "INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID, SYRPCDESC) VALUES (1000001, 26004, 'Riepilogo')"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) SELECT "
                       "(SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), IYXLSID, 'RPT1000001', :x "
                       "FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA'"),
        {{QStringLiteral("x"),
          QStringLiteral(
              "<report id=\"1000001\" title=\"Riepilogo\"><masterData dataset=\"cdsBuoni\" height=\"5\">"
              "<text x=\"0\" y=\"0\" w=\"40\" h=\"5\" expr=\"'N. ' + [cdsBuoni.IFBUONUMERO]\"/>"
              "<text x=\"40\" y=\"0\" w=\"40\" h=\"5\" expr=\"[cdsBuoni.IBENIIMPNOIVA]\" "
              "format=\"#,##0.00\"/>"
              "<detailData dataset=\"qquArtXBuono\" height=\"5\"><text x=\"10\" y=\"0\" w=\"60\" "
              "h=\"5\" expr=\"[qquArtXBuono.SFARLDESC]\"/></detailData></masterData></report>")}});

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

TEST_F(kvaReportsTest, TheModuleAnswersItsVariablesAndTheDesignerOpensAndClosesTheSelectionLists) {
    dmkvaReport->data_fine = QStringLiteral("31/12/2026");
    for (const auto &[name, expected] : {std::pair{"IvaInclusa", QVariant(CurrentVatIncluded)},
                                         std::pair{"data_fine", QVariant(QStringLiteral("31/12/2026"))},
                                         std::pair{"Altro", QVariant(QStringLiteral("invariato"))}}) {
        QVariant value(QStringLiteral("invariato"));
        dmkvaReport->GetReportValue(QString::fromLatin1(name), value);
        EXPECT_EQ(value, expected) << name;
    }
    int opened = 0;
    dmkvaReport->cdsBuoni->AfterOpen.Add([&](TVoQueryCollection *) { ++opened; });
    tree->GetfrDesigner()->Design();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(dmkvaReport->cdsBuoni->Active());
}

TEST_F(kvaReportsTest, ThePeriodDialogAndTheSectorFormStartAsTheReportsNeedThem) {
    const std::unique_ptr<TfmKvaSelectRangeDate> dialog(VoNewForm<TfmKvaSelectRangeDate>());
    EXPECT_EQ(dialog->dtpStart->date(), QDate(1900, 1, 1));
    EXPECT_EQ(dialog->dtpEnd->date(), QDate::currentDate());
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
