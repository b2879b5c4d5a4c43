// The reports of the durable-goods program run from the menu's report tree as a user runs them,
// answering their date, range and selection forms: what the module's datasets and variables hold, the
// dialogs the reports ask with, and the layouts of every report.
#include "VoDBDateEdit.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptLayout.h"
#include "VoRptPages.h"
#include "VoRptStore.h"
#include "VoRptTreeView.h"
#include "VoTestData.h"
#include "VoTestDb.h"
#include "VoTestGoods.h"
#include "VoTestReports.h"
#include "VoWidgetTest.h"
#include "kvbFRptBeniData.h"
#include "kvbFSelectRange.h"
#include "kvbFSelectRangeDate.h"
#include "kvbMAtt.h"
#include "kvbMReport.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class kvbReportsTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        kvb::ResetWorkingContext();
        dmkvbAtt = new TdmkvbAtt(nullptr);
        CurrentRegisterId = facId;
        xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));
        kvb::LoadCurrentRegisterYear(year2026, CurrentRegStart, CurrentRegEnd);
        dmkvbReport = new TdmkvbReport(nullptr);
        tree = TVoRptTreeView::Of(dmkvbAtt->xarkvbStampe);
        kvbHookReports(tree);
        loading = VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 1, 10), 1);
        unloading = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 4, 1), 1);
        causal = VoTestCausal(kvbUnloading);
    }
    void TearDown() override {
        delete dmkvbReport;
        dmkvbReport = nullptr;
        delete dmkvbAtt;
        dmkvbAtt = nullptr;
        xgvmGlobalVar.Clear();
        kvb::ResetWorkingContext();
        VoGoodsTest::TearDown();
    }

    // A good loaded on a voucher of the date (a new voucher unless the date is the first one's).
    int Good(int number, const QDate &date = QDate(2026, 1, 10), int category = 1, qint64 value = 0,
             const QString &subCode = QString()) {
        const int voucher = date == QDate(2026, 1, 10)
                                ? loading
                                : VoTestGoodsVoucher(year2026, kvbLoading, date, 100 + number);
        return VoTestGood(voucher, number, value, category, 0, 0, subCode);
    }
    // Unloads a good on an unloading voucher of the date.
    void Unload(int good, const QDate &date) {
        VoTestDischarge(good, VoTestGoodsVoucher(year2026, kvbUnloading, date, 200 + good), causal);
    }
    int Closing(const QDate &date, const QList<qint64> &amounts) {
        const int id = VoTestNewKey(QStringLiteral("TCHA_CHIUSURAANNO"));
        VoExecSQL(
            QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, ITCHID, IFACID) VALUES "
                           "(:id, :d, 1, :f)"),
            {{QStringLiteral("id"), id}, {QStringLiteral("d"), date}, {QStringLiteral("f"), facId}});
        for (int c = 0; c < amounts.size(); ++c)
            VoExecSQL(QStringLiteral("INSERT INTO TCHACAM (ICHACAMID, ICHAID, ICAMID, ICHACAMIMPORTO) VALUES "
                                     "(:k, :id, :c, :a)"),
                      {{QStringLiteral("k"), VoTestNewKey(QStringLiteral("TCHACAM"))},
                       {QStringLiteral("id"), id},
                       {QStringLiteral("c"), c + 1},
                       {QStringLiteral("a"), amounts[c]}});
        return id;
    }
    // A column of every row of an open dataset.
    static QVariantList Column(TVoQueryCollection *dataSet, const char *field) {
        QVariantList values;
        for (int row = 0; row < dataSet->RecordCount(); ++row)
            values << dataSet->RowValue(row, dataSet->FieldByName(QString::fromLatin1(field))->Index());
        return values;
    }
    static QString Variable(const char *name) {
        QVariant value;
        dmkvbReport->GetReportValue(QString::fromLatin1(name), value);
        return value.toString();
    }

    TVoRptTreeView *tree = nullptr;
    int loading = 0, unloading = 0, causal = 0;
};

} // namespace

TEST_F(kvbReportsTest, TheGoodsAtADateLeaveOutLaterLoadsAndGoodsOutOfTheRegisterAndTakeTheUsersFilter) {
    Good(1);
    const int second = Good(2);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBDESC = 'Globo dell''arte' WHERE IBINBID = :id"),
              {{QStringLiteral("id"), second}});
    Good(3, QDate(2026, 3, 1));
    // Discharged, then taken out of the numbering by a renumbering.
    const int out = Good(4);
    Unload(out, QDate(2026, 1, 20));
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBFUORIREGISTRO = 1 WHERE IBINBID = :id"),
              {{QStringLiteral("id"), out}});

    QVariantList listed;
    VoWhenModalOpens<TfmKvbRptBeniData>([&](TfmKvbRptBeniData *form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Selezione beni da stampare"));
        EXPECT_EQ(form->dtpData->Date(), QDate::currentDate());
        form->dtpData->SetDate(QDate(2026, 2, 1));
        listed = Column(form->frVoMultiSel->xqcMultiSelect, "IBINBNUMERO");
        VoWhenModalOpens<TfmVoRptFiltro>([](TfmVoRptFiltro *filter) {
            EXPECT_TRUE(filter->frVoFiltro->AddCondition(
                QStringLiteral("Descrizione"), QStringLiteral("contiene"), QStringLiteral("dell'arte")));
            filter->buOk->click();
        });
        form->buFilter->click();
        EXPECT_EQ(Column(form->frVoMultiSel->xqcMultiSelect, "IBINBNUMERO"), QVariantList({2}));
        form->buOk->click();
    });
    const auto document = tree->Prepare(33001);
    ASSERT_TRUE(document) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(listed, QVariantList({1, 2}));
    EXPECT_EQ(Variable("data_al"), QStringLiteral("01/02/2026"));
    const QStringList texts = document->Texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("Globo dell'arte")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Bene 1")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Situazione al 01/02/2026")));

    // Straight on the dataset, the filter left with the run: up to the date, in the register.
    dmkvbReport->GoodsListDate = DateToDays(QDate(2026, 12, 31));
    dmkvbReport->qquVBeni->Open();
    EXPECT_EQ(Column(dmkvbReport->qquVBeni, "IBINBNUMERO").size(), 3);
}

TEST_F(kvbReportsTest, TheBooksListKeepsABookUnloadedOnOrAfterTheDateAndAsksItsDate) {
    const int kept = Good(1, QDate(2026, 1, 10), 8);
    const int onTheDay = Good(2, QDate(2026, 1, 10), 8);
    const int dropped = Good(3, QDate(2026, 1, 10), 8);
    Good(4, QDate(2026, 1, 10), 1);
    Good(5, QDate(2026, 6, 1), 8);
    Unload(kept, QDate(2026, 5, 20));
    Unload(onTheDay, QDate(2026, 5, 1));
    Unload(dropped, QDate(2026, 4, 30));

    QStringList asked;
    QVariantList printed;
    dmkvbReport->qquVLibriCarico->AfterOpen.Add(
        [&](TVoQueryCollection *d) { printed = Column(d, "IBINBNUMERO"); });
    VoWhenModalOpens<TfmkvbSelectRangeDate>([&](TfmkvbSelectRangeDate *dialog) {
        asked << dialog->windowTitle() << dialog->Label2->text();
        EXPECT_TRUE(dialog->dtpStart->isHidden());
        dialog->dtpEnd->SetDate(QDate(2026, 5, 1));
        dialog->buOk->click();
    });
    ASSERT_TRUE(tree->Prepare(33004));
    EXPECT_EQ(asked, QStringList({"Elenco libri in carico al", "Elenco libri in carico al"}));
    EXPECT_EQ(printed, QVariantList({1, 2}));
    EXPECT_EQ(Variable("data_al"), QStringLiteral("01/05/2026"));
    EXPECT_FALSE(dmkvbReport->qquVLibriCarico->Active());

    // Cancel prints nothing, rather than the books at the day-count origin.
    VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) { dialog->buCancel->click(); });
    EXPECT_FALSE(tree->Prepare(33004));
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvbReportsTest, EachClosingShowsItsMovementsSinceThePreviousOneAndThePreviousTotals) {
    Good(1, QDate(2026, 2, 1), 1, 10000);
    const int later = Good(2, QDate(2026, 3, 1), 2, 25000);
    Unload(later, QDate(2026, 5, 1));
    Good(3, QDate(2026, 5, 2), 1, 5000);
    Closing(QDate(2026, 2, 1), {10000});
    Closing(QDate(2026, 5, 1), {10000, 0});

    TVoQueryCollection *closings = dmkvbReport->qquChiusure;
    QList<QVariantList> movements;
    QVariantList previous;
    QVariantList previousTotals;
    closings->AfterScroll.Add([&](TVoQueryCollection *) {
        movements << Column(dmkvbReport->qquVBeniChiusure, "IBINBNUMERO");
        previous << closings->FieldByName(QStringLiteral("DCHADATACHIUSURAPRECEDENTE"))->Value();
        previousTotals << dmkvbReport->qquChiusPrec->FieldByName(QStringLiteral("IMP1"))->Value();
    });
    ASSERT_TRUE(tree->Prepare(33015)) << messages->Texts().join(QLatin1Char('\n')).toStdString();
    // The first closing follows everything from 1900; the second its previous date excluded, its own
    // date included: the load of 01/03 and the unloading of 01/05.
    EXPECT_EQ(movements, (QList<QVariantList>{{1}, {2, 2}}));
    EXPECT_EQ(previous, QVariantList({QDate(1900, 1, 1), QDate(2026, 2, 1)}));
    EXPECT_EQ(previousTotals, QVariantList({0, 10000}));

    // The check before the next closing: the movements after the last one up to the date asked.
    QString caption;
    VoWhenModalOpens<TfmkvbSelectRangeDate>([&](TfmkvbSelectRangeDate *dialog) {
        caption = dialog->Label2->text();
        dialog->dtpEnd->SetDate(QDate(2026, 6, 30));
        dialog->buOk->click();
    });
    QVariantList checked;
    dmkvbReport->qquVBeniChiusure->AfterOpen.Add(
        [&](TVoQueryCollection *d) { checked = Column(d, "IBINBNUMERO"); });
    const auto check = tree->Prepare(33016);
    ASSERT_TRUE(check);
    EXPECT_EQ(caption, QStringLiteral("Verifica di chiusura al"));
    EXPECT_EQ(checked, QVariantList({3}));
    EXPECT_EQ(Variable("data_verifica_chiusura"), QStringLiteral("30/06/2026"));
    EXPECT_EQ(Variable("data_verifica_chiusura_prec"), QStringLiteral("01/05/2026"));
    // 1,00 + 0,50 in charge now.
    EXPECT_TRUE(check->Texts().contains(QStringLiteral("1,50")));

    VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) { dialog->buCancel->click(); });
    EXPECT_FALSE(tree->Prepare(33016));
}

// A register's first closing and a verification before any closing follow the register from its
// start, and say so rather than print the placeholder date; a zero prints as 0,00.
TEST_F(kvbReportsTest, TheClosingsSayWhenTheyFollowTheRegisterFromItsStartAndPrintZerosWhole) {
    Good(1, QDate(2026, 2, 1), 1, 10000);
    const auto verify = [&] {
        VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) {
            dialog->dtpEnd->SetDate(QDate(2026, 6, 30));
            dialog->buOk->click();
        });
        const auto check = tree->Prepare(33016);
        return check ? check->Texts() : QStringList();
    };
    EXPECT_TRUE(
        verify().contains(QStringLiteral("Verifica al 30/06/2026 - movimenti dall'inizio del registro")));
    Closing(QDate(2026, 2, 1), {10000});
    Closing(QDate(2026, 5, 1), {10000, 0});
    EXPECT_TRUE(verify().contains(QStringLiteral("Verifica al 30/06/2026 - movimenti dopo la chiusura del "
                                                 "01/05/2026")));
    const auto closings = tree->Prepare(33015);
    ASSERT_TRUE(closings);
    const QStringList texts = closings->Texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("Movimenti dall'inizio del registro")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Movimenti dal 01/02/2026 (escluso)")));
    EXPECT_FALSE(texts.join(QLatin1Char('|')).contains(QStringLiteral("1900")));
    EXPECT_TRUE(texts.contains(QStringLiteral("0,00")));
    EXPECT_FALSE(texts.contains(QStringLiteral(",00")));
}

// The amounts of the vouchers offered for printing are kept in ten-thousandths and shown as amounts.
TEST_F(kvbReportsTest, TheVoucherSelectionShowsEachVouchersAmount) {
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBBUOIMPORTO = 23185000 WHERE IBBUOID = :id"),
              {{QStringLiteral("id"), loading}});
    const struct {
        int report;
        const char *amount;
    } cases[] = {{33007, "2.318,50"}, {33008, "0,00"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.report);
        QStringList shown;
        VoWhenModalOpens<TfmVoMultiSelect>([&shown](TfmVoMultiSelect *form) {
            EXPECT_EQ(form->windowTitle(), QStringLiteral("Selezione buoni da stampare"));
            const QAbstractItemModel *model = form->frVoMultiSel->grFrame->model();
            for (int column = 0; column < model->columnCount(); ++column)
                if (model->headerData(column, Qt::Horizontal).toString() == QLatin1String("Importo"))
                    shown << model->index(0, column).data().toString();
            form->buOk->click();
        });
        ASSERT_TRUE(tree->Prepare(c.report));
        EXPECT_EQ(shown, QStringList{QString::fromLatin1(c.amount)});
    }
}

// The date of the check before a closing typed as written, over the proposed date; a date that
// does not exist keeps the dialog open on it.
TEST_F(kvbReportsTest, TheClosingChecksDateIsTypedAsWritten) {
    Good(1, QDate(2026, 2, 1), 1, 10000);
    for (const char *typed : {"01/04/2026", "1/4/2026", "01042026"}) {
        SCOPED_TRACE(typed);
        VoWhenModalOpens<TfmkvbSelectRangeDate>([typed](TfmkvbSelectRangeDate *dialog) {
            // The dialog may still be on its way to the front when its loop starts.
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            EXPECT_EQ(QApplication::focusWidget(), dialog->dtpEnd);
            dialog->dtpEnd->selectAll();
            QTest::keyClicks(dialog->dtpEnd, QString::fromLatin1(typed));
            QTest::keyClick(dialog->dtpEnd, Qt::Key_Return);
            QApplication::processEvents();
            // A dialog the keys did not close would hold the test in its loop.
            if (dialog->isVisible())
                dialog->buCancel->click();
        });
        const auto check = tree->Prepare(33016);
        ASSERT_TRUE(check);
        EXPECT_EQ(Variable("data_verifica_chiusura"), QStringLiteral("01/04/2026"));
    }
    EXPECT_TRUE(messages->Texts().isEmpty());

    bool stayedOpen = false;
    VoWhenModalOpens<TfmkvbSelectRangeDate>([&](TfmkvbSelectRangeDate *dialog) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        dialog->dtpEnd->selectAll();
        QTest::keyClicks(dialog->dtpEnd, QStringLiteral("31/02/2026"));
        QTest::keyClick(dialog->dtpEnd, Qt::Key_Return);
        QApplication::processEvents();
        stayedOpen = dialog->isVisible() && QApplication::focusWidget() == dialog->dtpEnd;
        dialog->buCancel->click();
    });
    EXPECT_FALSE(tree->Prepare(33016));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Attenzione ! \r\n\"31/02/2026\" non è una data valida. ")});
}

// A good discharged on a provisional voucher has left the register from that voucher's date: the
// register at a date, the verification at that date and the sectors' totals count the same goods.
TEST_F(kvbReportsTest, TheRegisterTheVerificationAndTheSectorsCountTheSameGoodsOnADay) {
    const int seg = VoTestSector(QStringLiteral("SEG")), lab = VoTestSector(QStringLiteral("LAB"));
    VoTestGood(loading, 1, 10000, 1, seg);
    const int provisional = VoTestGood(loading, 2, 20000, 2, seg);
    Unload(provisional, QDate(2026, 4, 1));
    const int laterDischarge = VoTestGood(loading, 4, 40000, 1, lab);
    Unload(laterDischarge, QDate(2026, 7, 1));
    VoTestGood(VoTestGoodsVoucher(year2026, kvbLoading, QDate(2026, 8, 1), 3), 3, 5000, 1, lab);

    auto registerAt = [&](const QDate &date) {
        VoWhenModalOpens<TfmKvbRptBeniData>([date](TfmKvbRptBeniData *form) {
            form->dtpData->SetDate(date);
            form->buOk->click();
        });
        const auto document = tree->Prepare(33001);
        return document ? document->Texts() : QStringList();
    };
    // On 30/06 goods 1 and 4: the provisional discharge of 01/04 counts, that of 01/07 not yet.
    EXPECT_TRUE(registerAt(QDate(2026, 6, 30)).contains(QStringLiteral("5,00")));
    VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) {
        dialog->dtpEnd->SetDate(QDate(2026, 6, 30));
        dialog->buOk->click();
    });
    const auto check = tree->Prepare(33016);
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->Texts().contains(QStringLiteral("Valore del registro al 30/06/2026")));
    EXPECT_TRUE(check->Texts().contains(QStringLiteral("5,00")));

    // After every voucher: goods 1 and 3, one in each sector.
    EXPECT_TRUE(registerAt(QDate(2026, 12, 31)).contains(QStringLiteral("1,50")));
    VoWhenModalOpens<TfmVoMultiSelect>([](TfmVoMultiSelect *form) { form->buOk->click(); });
    const auto sectors = tree->Prepare(33011);
    ASSERT_TRUE(sectors);
    const QStringList texts = sectors->Texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("1,00")) && texts.contains(QStringLiteral("0,50")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Bene 2")) || texts.contains(QStringLiteral("Bene 4")));
}

// The register at a date lists the goods discharged by then, with their unloading voucher and their
// value apart, until a renumbering takes them out of the numbering; its total is the value of the
// goods in charge at that date, as the verification at that date gives it, also once a renumbering has
// taken out a good that was in charge then.
TEST_F(kvbReportsTest, TheRegisterAtADateTotalsTheGoodsThenInChargeAndListsTheDischargedOnesApart) {
    const int lab = VoTestSector(QStringLiteral("LAB"));
    const int sold = VoTestGood(loading, 1, 8500000, 1, lab);
    const int broken = VoTestGood(loading, 2, 1000000, 1, lab);
    VoTestGood(loading, 3, 400000, 1, lab);
    VoTestGood(loading, 4, 100000, 1, lab);
    VoTestDischarge(broken, unloading, causal);
    const int late = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 8, 1), 2);
    VoTestDischarge(sold, late, causal);

    const struct {
        bool renumbered;
        QDate date;
        QString total;
        QStringList shown, hidden;
    } cases[] = {
        // Good 2 with its discharge of 01/04 and its 100,00 apart; good 1 still in charge on 30/06.
        {false, QDate(2026, 6, 30), "900,00", {"Bene 1", "Bene 2", "01/04/2026", "100,00"}, {"01/08/2026"}},
        {false, QDate(2026, 12, 31), "50,00", {"Bene 1", "01/08/2026", "850,00", "Bene 2"}, {}},
        // Out of the numbering after 01/09: good 1 was in charge on 30/06 all the same.
        {true, QDate(2026, 6, 30), "900,00", {"Bene 1", "850,00"}, {"Bene 2", "01/04/2026"}},
        {true, QDate(2026, 12, 31), "50,00", {"Bene 3", "Bene 4"}, {"Bene 1", "Bene 2"}},
    };
    bool renumbered = false;
    for (const auto &c : cases) {
        const QString day = c.date.toString(QStringLiteral("dd/MM/yyyy"));
        SCOPED_TRACE((day + (c.renumbered ? " renumbered" : "")).toStdString());
        if (c.renumbered && !renumbered) {
            for (const auto &[voucher, kind] :
                 {std::pair{loading, kvbLoading}, {unloading, kvbUnloading}, {late, kvbUnloading}})
                VoTestMakeDefinitive(voucher, kind);
            ASSERT_TRUE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 9, 1))));
            renumbered = true;
        }
        VoWhenModalOpens<TfmKvbRptBeniData>([&](TfmKvbRptBeniData *form) {
            form->dtpData->SetDate(c.date);
            form->buOk->click();
        });
        const auto list = tree->Prepare(33001);
        ASSERT_TRUE(list) << messages->Texts().join(QLatin1Char('\n')).toStdString();
        const QStringList texts = list->Texts();
        EXPECT_EQ(VoRptTextAfter(texts, QStringLiteral("Totale del registro")), c.total);
        for (const QString &text : c.shown)
            EXPECT_TRUE(texts.contains(text)) << text.toStdString();
        for (const QString &text : c.hidden)
            EXPECT_FALSE(texts.contains(text)) << text.toStdString();

        VoWhenModalOpens<TfmkvbSelectRangeDate>([&](TfmkvbSelectRangeDate *dialog) {
            dialog->dtpEnd->SetDate(c.date);
            dialog->buOk->click();
        });
        const auto check = tree->Prepare(33016);
        ASSERT_TRUE(check);
        EXPECT_EQ(VoRptTextAfter(check->Texts(), QStringLiteral("Valore del registro al ") + day), c.total);
    }
    // The sectors print the register as it stands.
    VoWhenModalOpens<TfmVoMultiSelect>([](TfmVoMultiSelect *form) { form->buOk->click(); });
    const auto sectors = tree->Prepare(33011);
    ASSERT_TRUE(sectors);
    EXPECT_EQ(VoRptTextAfter(sectors->Texts(), QStringLiteral("Totale del settore")),
              QStringLiteral("50,00"));
}

// A microscope loaded at 780,00 and discharged months later at 700,00 was worth 780,00 while it was in
// charge: the register and its verification before the discharge, and its loading voucher, count it
// so; the discharge value holds from the discharge's date, as the value history records.
TEST_F(kvbReportsTest, AGoodIsWorthAtADateWhatItWasThenItsDischargeValueOnlyFromTheDischarge) {
    Good(1, QDate(2026, 1, 10), 1, 52190000);
    const int microscope = Good(2, QDate(2026, 4, 15), 1, 7800000);
    VoTestDischargeAt(microscope, VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 11, 20), 5), causal,
                      7000000);
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT IBBIMIMPORTO || ' ' || CAST(DSTART AS DATE) || ' ' || "
                                        "COALESCE(CAST(CAST(DEND AS DATE) AS VARCHAR(10)), '-') FROM "
                                        "TBBIM_IMPORTI WHERE IBINBID = :g ORDER BY DSTART, IBBIMID"),
                         {{QStringLiteral("g"), microscope}}),
              QStringList({"7800000 2026-04-15 2026-11-20", "7000000 2026-11-20 -"}));

    const struct {
        QDate date;
        const char *total, *discharged;
    } cases[] = {{QDate(2026, 6, 30), "5.999,00", nullptr}, {QDate(2026, 12, 31), "5.219,00", "700,00"}};
    for (const auto &c : cases) {
        const QString day = c.date.toString(QStringLiteral("dd/MM/yyyy"));
        SCOPED_TRACE(day.toStdString());
        VoWhenModalOpens<TfmKvbRptBeniData>([&](TfmKvbRptBeniData *form) {
            form->dtpData->SetDate(c.date);
            form->buOk->click();
        });
        const auto list = tree->Prepare(33001);
        ASSERT_TRUE(list) << messages->Texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(VoRptTextAfter(list->Texts(), QStringLiteral("Totale del registro")),
                  QString::fromLatin1(c.total));
        EXPECT_EQ(list->Texts().contains(QStringLiteral("700,00")), c.discharged != nullptr);
        EXPECT_EQ(list->Texts().contains(QStringLiteral("780,00")), c.discharged == nullptr);
        VoWhenModalOpens<TfmkvbSelectRangeDate>([&](TfmkvbSelectRangeDate *dialog) {
            dialog->dtpEnd->SetDate(c.date);
            dialog->buOk->click();
        });
        const auto check = tree->Prepare(33016);
        ASSERT_TRUE(check);
        EXPECT_EQ(VoRptTextAfter(check->Texts(), QStringLiteral("Valore del registro al ") + day),
                  QString::fromLatin1(c.total));
    }
    // The loading vouchers with their goods as they loaded them.
    const auto vouchers = tree->Prepare(33005);
    ASSERT_TRUE(vouchers);
    EXPECT_TRUE(vouchers->Texts().contains(QStringLiteral("780,00")));
    EXPECT_FALSE(vouchers->Texts().contains(QStringLiteral("700,00")));
    EXPECT_TRUE(vouchers->Texts().contains(QStringLiteral("5.999,00")));
}

// The check at a date runs from the last closing on or before it, not from a later one.
TEST_F(kvbReportsTest, TheCheckAtADateStartsFromTheClosingBeforeIt) {
    Good(1, QDate(2026, 1, 10), 1, 10000);
    Good(2, QDate(2026, 3, 10), 1, 20000);
    Good(3, QDate(2026, 5, 10), 1, 40000);
    Closing(QDate(2026, 2, 28), {10000});
    Closing(QDate(2026, 6, 30), {70000});
    QVariantList checked;
    dmkvbReport->qquVBeniChiusure->AfterOpen.Add(
        [&](TVoQueryCollection *d) { checked = Column(d, "IBINBNUMERO"); });
    VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) {
        dialog->dtpEnd->SetDate(QDate(2026, 3, 31));
        dialog->buOk->click();
    });
    const auto check = tree->Prepare(33016);
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->Texts().contains(
        QStringLiteral("Verifica al 31/03/2026 - movimenti dopo la chiusura del 28/02/2026")));
    EXPECT_EQ(checked, QVariantList({2}));
    EXPECT_TRUE(check->Texts().contains(QStringLiteral("Bene 2")));
    EXPECT_EQ(VoRptTextAfter(check->Texts(), QStringLiteral("Valore del registro al 31/03/2026")),
              QStringLiteral("3,00"));
}

// After a renumbering the register at an earlier date shows each good with the number it had then,
// so that a discharged good and the one given its number are told apart.
TEST_F(kvbReportsTest, TheRegisterAtADateShowsTheNumbersTheGoodsHadThen) {
    const int pc = Good(1, QDate(2026, 1, 10), 1, 10000);
    Good(2, QDate(2026, 1, 10), 1, 20000);
    Good(3, QDate(2026, 1, 10), 1, 40000);
    const int november = VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 11, 20), 2);
    VoTestDischarge(pc, november, causal);
    for (const auto &[voucher, kind] :
         {std::pair{loading, kvbLoading}, {unloading, kvbUnloading}, {november, kvbUnloading}})
        VoTestMakeDefinitive(voucher, kind);
    ASSERT_TRUE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 12, 1))));

    const struct {
        QDate date;
        QStringList lines;
    } cases[] = {{QDate(2026, 6, 30), {"0000001 Bene 1", "0000002 Bene 2", "0000003 Bene 3"}},
                 {QDate(2026, 12, 31), {"0000001 Bene 2", "0000002 Bene 3"}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        VoWhenModalOpens<TfmKvbRptBeniData>([&](TfmKvbRptBeniData *form) {
            form->dtpData->SetDate(c.date);
            form->buOk->click();
        });
        const auto list = tree->Prepare(33001);
        ASSERT_TRUE(list);
        const QStringList texts = list->Texts();
        QStringList lines;
        // Each number with the description printed after it.
        const QRegularExpression number(QStringLiteral("^\\d{7}$"));
        for (int i = 0; i < texts.size(); ++i)
            if (number.match(texts[i]).hasMatch())
                for (int j = i + 1; j < texts.size() && j <= i + 3; ++j)
                    if (texts[j].startsWith(QLatin1String("Bene "))) {
                        lines << texts[i] + QLatin1Char(' ') + texts[j];
                        break;
                    }
        EXPECT_EQ(lines, c.lines);
    }
}

// After a renumbering, the movements that the check at an earlier date lists and the books in charge
// at that date bear the numbers they had then, as the register at that date does; a book discharged
// later at another value is listed at the value it had then.
TEST_F(kvbReportsTest, TheCheckAndTheBooksAtADateShowTheNumbersAndValuesOfThatDate) {
    const int dictionary = Good(1, QDate(2026, 1, 10), 8, 10000);
    Good(2, QDate(2026, 1, 10), 8, 20000);
    Good(3, QDate(2026, 3, 10), 1, 40000);
    Closing(QDate(2026, 2, 28), {0, 0, 0, 0, 0, 0, 0, 30000});
    VoTestDischargeAt(dictionary, VoTestGoodsVoucher(year2026, kvbUnloading, QDate(2026, 11, 20), 5), causal,
                      5000);
    const QStringList provisional = VoRowTexts(
        QStringLiteral("SELECT IBBUOID || ' ' || IBBUOTIPO FROM TBBUO_BUONI WHERE ILOCKED <> 1 ORDER BY 1"));
    for (const QString &voucher : provisional)
        VoTestMakeDefinitive(voucher.section(QLatin1Char(' '), 0, 0).toInt(),
                             voucher.section(QLatin1Char(' '), 1, 1).toInt());
    ASSERT_TRUE(RenumberAllGoods(1, false, DateToDays(QDate(2026, 12, 1))));

    QVariantList checked;
    dmkvbReport->qquVBeniChiusure->AfterOpen.Add(
        [&](TVoQueryCollection *d) { checked = Column(d, "IBINBNUMERO"); });
    VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) {
        dialog->dtpEnd->SetDate(QDate(2026, 3, 31));
        dialog->buOk->click();
    });
    const auto check = tree->Prepare(33016);
    ASSERT_TRUE(check);
    EXPECT_EQ(checked, QVariantList({3}));
    EXPECT_TRUE(check->Texts().contains(QStringLiteral("0000003")));
    EXPECT_FALSE(check->Texts().contains(QStringLiteral("0000002")));

    VoWhenModalOpens<TfmkvbSelectRangeDate>([](TfmkvbSelectRangeDate *dialog) {
        dialog->dtpEnd->SetDate(QDate(2026, 3, 31));
        dialog->buOk->click();
    });
    const auto books = tree->Prepare(33004);
    ASSERT_TRUE(books);
    const QStringList texts = books->Texts();
    EXPECT_EQ(texts.count(QStringLiteral("0000001")), 1);
    EXPECT_EQ(texts.count(QStringLiteral("0000002")), 1);
    EXPECT_TRUE(texts.contains(QStringLiteral("1,00")));
    EXPECT_FALSE(texts.contains(QStringLiteral("0,50")));
    EXPECT_EQ(VoRptTextAfter(texts, QStringLiteral("Totale libri")), QStringLiteral("3,00"));
}

// The voucher's supplier or recipient is printed whole, under the label of its kind.
TEST_F(kvbReportsTest, AVouchersSupplierOrRecipientFitsItsBox) {
    const QVariant supplier = VoSelectValue(QStringLiteral("SELECT MIN(IBENID) FROM TBEN_BENEFICIARI"));
    VoExecSQL(QStringLiteral("UPDATE TBEN_BENEFICIARI SET SBENRAGSOC = 'Forniture Scolastiche Rossi & C. "
                             "s.r.l.' WHERE IBENID = :b"),
              {{QStringLiteral("b"), supplier}});
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBENID = :b"), {{QStringLiteral("b"), supplier}});
    const struct {
        int report;
        const char *label;
    } cases[] = {{33005, "Fornitore: "}, {33006, "Destinatario: "}};
    for (const auto &c : cases) {
        const auto document = tree->Prepare(c.report);
        ASSERT_TRUE(document) << c.report;
        int found = 0;
        for (const TVoRptObject &o : document->pages.value(0).objects)
            if (o.text ==
                QString::fromLatin1(c.label) + QStringLiteral("Forniture Scolastiche Rossi & C. s.r.l.")) {
                ++found;
                EXPECT_LE(VoRptWrappedHeight(o.text, o.font, o.rect.width() - 1.0, o.align), o.rect.height())
                    << c.report;
            }
        EXPECT_EQ(found, 1) << c.report;
    }
}

TEST_F(kvbReportsTest, TheNumberHistoryShowsTheNumberBeforeTheLastRenumbering) {
    const int renumbered = Good(5);
    Good(6);
    for (const auto &[old, end] : {std::pair{70, QDate(2026, 2, 1)}, std::pair{50, QDate(2026, 4, 1)}})
        VoExecSQL(QStringLiteral("INSERT INTO TBBNU_BENINUMERI (IBBNUID, IBINBID, IBBNUNUMERO, DEND) VALUES "
                                 "(:k, :g, :n, :d)"),
                  {{QStringLiteral("k"), VoTestNewKey(QStringLiteral("TBBNU_BENINUMERI"))},
                   {QStringLiteral("g"), renumbered},
                   {QStringLiteral("n"), old},
                   {QStringLiteral("d"), end}});
    TVoQueryCollection *history = dmkvbReport->qquStoricoNumeri;
    history->Open();
    EXPECT_EQ(Column(history, "NEWNUMERO"), QVariantList({5, 6}));
    EXPECT_EQ(Column(history, "OLDNUMERO"), QVariantList({50, VoNull(QMetaType::Int)}));
}

TEST_F(kvbReportsTest, LabelsOfANumberRangePrintTheGoodsInChargeInItWithTheirSubCodes) {
    for (const auto &[number, sub] : {std::pair{9, ""}, {10, ""}, {15, "a"}, {15, "b"}, {20, ""}, {21, ""}})
        Good(number, QDate(2026, 1, 10), 1, 0, QString::fromLatin1(sub));
    Unload(Good(12), QDate(2026, 4, 1));

    QString title;
    VoWhenModalOpens<TfmkvbSelectRange>([&](TfmkvbSelectRange *dialog) {
        title = dialog->windowTitle();
        dialog->ceEnd->setValue(999999999);
        EXPECT_EQ(dialog->ceEnd->value(), 999999999);
        dialog->ceStart->setValue(10);
        dialog->ceEnd->setValue(20);
        dialog->buOk->click();
    });
    QVariantList numbers, subCodes;
    dmkvbReport->qquEtichette->AfterOpen.Add([&](TVoQueryCollection *d) {
        numbers = Column(d, "IBINBNUMERO");
        subCodes = Column(d, "SBINBCODNUMERO");
    });
    const auto document = tree->Prepare(33009);
    ASSERT_TRUE(document);
    EXPECT_EQ(title, QStringLiteral("Stampa etichette"));
    EXPECT_EQ(numbers, QVariantList({10, 15, 15, 20}));
    EXPECT_EQ(subCodes.mid(1, 2), QVariantList({"a", "b"}));
    EXPECT_TRUE(document->Texts().contains(QStringLiteral("0000015")));
    EXPECT_TRUE(document->Texts().contains(QStringLiteral("/b")));

    // Cancel prints nothing, rather than the labels of numbers 0 to 0.
    VoWhenModalOpens<TfmkvbSelectRange>([](TfmkvbSelectRange *dialog) { dialog->buCancel->click(); });
    EXPECT_FALSE(tree->Prepare(33009));
}

TEST_F(kvbReportsTest, TheMinutesFollowTheirBaseReportACustomisedOneIncluded) {
    const int good = Good(1);
    VoExecSQL(QStringLiteral("INSERT INTO TTVR_TIPOVER (ITVRID, STVRCODICE, STVRDESC) VALUES (2, 'DIS', "
                             "'Verbale di dismissione')"));
    const auto minute = [good](const char *number, int type, const QDate &date) {
        const int id = VoTestNewKey(QStringLiteral("TVER_VERBALI"));
        VoExecSQL(
            QStringLiteral("INSERT INTO TVER_VERBALI (IVERID, SVERNUMERO, DVERDATA, ITVRID) VALUES (:id, "
                           ":n, :d, :t)"),
            {{QStringLiteral("id"), id},
             {QStringLiteral("n"), QString::fromLatin1(number)},
             {QStringLiteral("d"), date},
             {QStringLiteral("t"), type}});
        VoExecSQL(QStringLiteral("INSERT INTO TBINBVER (IBINBVERID, IBINBID, IVERID) VALUES (:k, :g, :id)"),
                  {{QStringLiteral("k"), VoTestNewKey(QStringLiteral("TBINBVER"))},
                   {QStringLiteral("g"), good},
                   {QStringLiteral("id"), id}});
    };
    minute("T1", 1, QDate(2026, 3, 1));
    minute("T0", 1, QDate(2025, 3, 1));
    minute("D1", 2, QDate(2026, 3, 2));
    VoExecSQL(
        QStringLiteral("INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID, SYRPCDESC) VALUES (1000001, 33024, "
                       "'Collaudi personali')"));
    QString layout = VoRptLayoutText(QStringLiteral("KVB"), 33024);
    layout.replace(QStringLiteral("id=\"33024\""), QStringLiteral("id=\"1000001\""));
    VoExecSQL(
        QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) SELECT "
                       "(SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), IYXLSID, 'RPT1000001', :x "
                       "FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVB'"),
        {{QStringLiteral("x"), layout}});

    for (const auto &[report, expected] :
         {std::pair{33024, QVariantList{"T1"}}, {1000001, QVariantList{"T1"}}, {33025, QVariantList{"D1"}}}) {
        SCOPED_TRACE(report);
        QVariantList listed;
        VoWhenModalOpens<TfmVoMultiSelect>([&](TfmVoMultiSelect *form) {
            listed = Column(form->frVoMultiSel->xqcMultiSelect, "SVERNUMERO");
            form->buOk->click();
        });
        const auto document = tree->Prepare(report);
        ASSERT_TRUE(document) << messages->Texts().join(QLatin1Char('\n')).toStdString();
        // The demo's minutes of the year come along; of this test's, those of the report's kind and year.
        EXPECT_EQ(QVariant(listed).toStringList().filter(QRegularExpression(QStringLiteral("^[TD]"))),
                  QVariant(expected).toStringList());
        EXPECT_TRUE(document->Texts().contains(QStringLiteral("Bene 1")));
    }
}

TEST_F(kvbReportsTest, EveryLayoutLoadsNamesOnlyWhatTheModulePublishesAndRendersToPdf) {
    Good(1, QDate(2026, 1, 10), 8, 12345, QStringLiteral("a"));
    Unload(Good(2, QDate(2026, 2, 1), 1, 20000), QDate(2026, 3, 1));
    Good(3, QDate(2026, 1, 10), 1, 12350);
    Closing(QDate(2026, 2, 15), {12345});
    // Whatever a report asks is confirmed as it is proposed; labels for every number.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *range = qobject_cast<TfmkvbSelectRange *>(modal))
            range->ceEnd->setValue(999999999);
        if (auto *dialog = qobject_cast<TfmVoOkCancDlg *>(modal))
            dialog->buOk->click();
    });
    answerer.start(5);
    const QTemporaryDir folder;
    const QStringList layouts = kvbReportLayouts();
    EXPECT_EQ(layouts.size(), 29);
    for (const QString &xml : layouts) {
        const TVoRptLayout layout = TVoRptLayout::Parse(xml);
        SCOPED_TRACE(layout.id);
        VoExpectLayoutReferencesKnown(layout);
        VoExpectHeadingsApart(layout);
        const auto document = tree->Prepare(layout.id);
        ASSERT_TRUE(document) << messages->Texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(document->Texts().contains(layout.title));
        EXPECT_TRUE(document->Texts().contains(QStringLiteral("Registro: Inventario di prova")));
        const QString pdf = folder.filePath(QStringLiteral("%1.pdf").arg(layout.id));
        EXPECT_TRUE(document->WritePdf(pdf));
        EXPECT_GT(QFileInfo(pdf).size(), 1000);
    }
    EXPECT_TRUE(messages->Texts().isEmpty());

    // Amounts are ten-thousandths printed to the cent, a half cent up; numbers in seven figures with
    // their sub-code.
    const auto inCharge = tree->Prepare(33002);
    ASSERT_TRUE(inCharge);
    for (const char *text : {"1,23", "1,24", "2,47", "0000001", "/a"})
        EXPECT_TRUE(inCharge->Texts().contains(QString::fromLatin1(text))) << text;
}
