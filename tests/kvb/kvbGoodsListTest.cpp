// The goods list, the sector change of a good, the moves of goods between sectors, the histories
// and the renumbering dialog, driven as a user drives them on a register of their own.
#include "AbeRRicerca.h"
#include "VoClassRegistry.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBFrames.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "VoWait.h"
#include "VoWidgetTest.h"
#include "VoWindowDrive.h"
#include "kvbFBeni.h"
#include "kvbFChangeCons.h"
#include "kvbFRinumeraBeni.h"
#include "kvbFSpostaBeni.h"
#include "kvbFStorico.h"
#include "kvbMAtt.h"
#include "kvbRBeni.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QDate kLoaded(2025, 3, 1);

class kvbGoodsListTest : public VoGoodsTest {
protected:
    void SetUp() override {
        VoGoodsTest::SetUp();
        xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));
        kvb::LoadWorkingContext(true);
        seg = VoTestSector(QStringLiteral("SEG"));
        lab = VoTestSector(QStringLiteral("LAB"));
    }
    void TearDown() override {
        QList<QPointer<QWidget>> windows;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<TfmVoChildDB *>(window) || qobject_cast<QDialog *>(window))
                windows << window;
        for (const QPointer<QWidget> &window : windows)
            if (window)
                VoCloseWindow(window);
        delete dmkvbAtt;
        dmkvbAtt = nullptr;
        xgvmGlobalVar.Clear();
        kvb::ResetWorkingContext();
        VoGoodsTest::TearDown();
    }
    // A good of a loading voucher of its own in sector SEG: state 1, or 2 once the voucher is
    // definitive. Its first sector period starts at the loading date.
    int Good(int state, int number, const QDate &date = kLoaded, const QString &subCode = QString()) {
        const int voucher = VoTestGoodsVoucher(date.year() == 2025 ? year2025 : year2026, 0, date, number);
        const int good = VoTestGood(voucher, number, 10000 * number, 1, seg, 0, subCode);
        if (state > 1)
            VoTestMakeDefinitive(voucher, 0);
        return good;
    }
    // The good's sector, then its sector periods: sector code, start and end (empty while open).
    QString Sectors(int good) const {
        QStringList parts{VoSelectValue(QStringLiteral("SELECT sec.SSECCOD FROM TBINB_BENI inb LEFT JOIN "
                                                       "TSEC_SETTCONS sec ON sec.ISECID = inb.ISECID WHERE "
                                                       "inb.IBINBID = :g"),
                                        {{QStringLiteral("g"), good}})
                              .toString()};
        TVoQuery q(
            QStringLiteral("SELECT sec.SSECCOD, bse.DSTART, bse.DEND FROM TBBSE_BENISETTORI bse LEFT JOIN "
                           "TSEC_SETTCONS sec ON sec.ISECID = bse.ISECID WHERE bse.IBINBID = :g ORDER BY "
                           "bse.DSTART, bse.IBBSEID"));
        q.SetParam(QStringLiteral("g"), good);
        for (q.Open(); !q.Eof(); q.Next())
            parts << QStringLiteral("%1 %2..%3")
                         .arg(q.AsString(QStringLiteral("SSECCOD")),
                              q.Value(QStringLiteral("DSTART")).toDate().toString(Qt::ISODate),
                              q.Value(QStringLiteral("DEND")).toDate().toString(Qt::ISODate));
        return parts.join(QStringLiteral(" | "));
    }
    // A good gone with its histories, as another copy of the program may delete it.
    static void Remove(int good) {
        for (const char *table : {"TBBSE_BENISETTORI", "TBBIM_IMPORTI", "TBSIN_SEDIBENISTOR", "TBINB_BENI"})
            VoExecSQL(QStringLiteral("DELETE FROM %1 WHERE IBINBID = :g").arg(QString::fromLatin1(table)),
                      {{QStringLiteral("g"), good}});
    }
    // Another copy of the program moves a good to a sector at a date, on a connection of its own.
    void MovedByAnotherCopy(int good, int sector, const QDate &date) {
        TVoSQLConnection other(nullptr, QStringLiteral("other"));
        other.SetParam(QStringLiteral("Database"), dbPath);
        QString error;
        ASSERT_TRUE(other.Open(&error)) << error.toStdString();
        VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVB_INSMULTISETTORE(:g, :s, :d)"),
                  {{QStringLiteral("g"), good},
                   {QStringLiteral("s"), sector},
                   {QStringLiteral("d"), QDateTime(date, QTime(0, 0))}},
                  &other);
        other.Close();
    }
    // "Cambia settore" on the list's current good, choosing the sector and pressing OK, then Cancel
    // should the dialog stay open; whether the dialog reports a change.
    static bool ChangeSector(TfmBeni *fm, int sector) {
        bool done = true;
        VoWhenModalOpens<TfmkvbChangeCons>([sector, &done](TfmkvbChangeCons *dlg) {
            dlg->cbSett->SelectId(sector);
            dlg->buOk->click();
            done = dlg->Done();
            dlg->buCancel->click();
        });
        fm->frMaster->xacStorLuogo->trigger();
        return done;
    }
    TfmBeni *OpenList() {
        CurrentRegisterId = facId;
        return VoOpenWindow<TfmBeni>(QStringLiteral("TfmBeni"));
    }
    static QStringList Column(TfmBeni *fm, const char *field) {
        QStringList values;
        TVoQueryCollection *goods = fm->xqcMain;
        goods->FetchAll();
        const int index = goods->FieldByName(QString::fromLatin1(field))->Index();
        for (int row = 0; row < goods->RecordCount(); ++row)
            values << VoVariantToText(goods->RowValue(row, index));
        return values;
    }
    int seg = 0;
    int lab = 0;
};

// --- The procedures ---------------------------------------------------------------------------------

TEST_F(kvbGoodsListTest, TheSectorProceduresKeepOneOpenPeriodHoldingTheGoodsSector) {
    const QString multi = QStringLiteral("EXECUTE PROCEDURE PKVB_INSMULTISETTORE(:g, :s, :d)");
    const QString single = QStringLiteral("EXECUTE PROCEDURE PKVB_INSSETTORE(:g, :s, :d, :u)");
    const char *const kNewPeriod = "LAB | SEG 2025-03-01..2025-06-01 | LAB 2025-06-01..";
    const struct {
        const char *name;
        int state;
        bool viaMulti;
        int update;
        bool toLab;
        QDate date;
        bool noOpenPeriod;
        const char *expected;
    } cases[] = {
        {"same sector", 1, false, 1, false, {2025, 6, 1}, false, "SEG | SEG 2025-03-01.."},
        {"same sector", 2, false, 1, false, {2025, 6, 1}, false, "SEG | SEG 2025-03-01.."},
        {"new period", 1, false, 1, true, {2025, 6, 1}, false, kNewPeriod},
        {"new period", 2, false, 1, true, {2025, 6, 1}, false, kNewPeriod},
        {"corrected", 1, false, 0, true, {2025, 6, 1}, false, "LAB | LAB 2025-03-01.."},
        {"corrected", 2, false, 0, true, {2025, 6, 1}, false, "LAB | LAB 2025-03-01.."},
        {"at the start", 2, false, 1, true, {2025, 3, 1}, false, "LAB | LAB 2025-03-01.."},
        {"before the start", 1, false, 1, true, {2025, 1, 10}, false, "LAB | LAB 2025-03-01.."},
        {"no open period", 1, false, 1, true, {2025, 6, 1}, true, "LAB | LAB 2025-06-01.."},
        {"no open period", 2, false, 0, true, {2025, 6, 1}, true, "LAB | LAB 2025-06-01.."},
        {"moved", 1, true, 0, true, {2025, 6, 1}, false, "LAB | LAB 2025-03-01.."},
        {"moved", 2, true, 0, true, {2025, 6, 1}, false, kNewPeriod},
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1, state %2").arg(QString::fromLatin1(c.name)).arg(c.state).toStdString());
        const int good = Good(c.state, ++number);
        if (c.noOpenPeriod)
            VoExecSQL(QStringLiteral("DELETE FROM TBBSE_BENISETTORI WHERE IBINBID = :g"),
                      {{QStringLiteral("g"), good}});
        QVariantHash params{{QStringLiteral("g"), good},
                            {QStringLiteral("s"), c.toLab ? lab : seg},
                            {QStringLiteral("d"), QDateTime(c.date, QTime(0, 0))}};
        if (!c.viaMulti)
            params.insert(QStringLiteral("u"), c.update);
        VoExecSQL(c.viaMulti ? multi : single, params);
        EXPECT_EQ(Sectors(good), QString::fromLatin1(c.expected));
        EXPECT_EQ(
            VoCountRows(QStringLiteral("SELECT 1 FROM TBBSE_BENISETTORI WHERE IBINBID = :g AND DEND IS NULL"),
                        {{QStringLiteral("g"), good}}),
            1);
    }
}

// --- The goods list ---------------------------------------------------------------------------------

TEST_F(kvbGoodsListTest, TheListShowsTheRegistersGoodsOfEveryYearByLoadingDateNumberAndSubCode) {
    Good(1, 21, {2026, 2, 1});
    Good(1, 12, {2026, 2, 1}, QStringLiteral("A"));
    Good(2, 7, kLoaded);
    const int empty = Good(1, 5, kLoaded);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBCODNUMERO = '' WHERE IBINBID = :g"),
              {{QStringLiteral("g"), empty}});
    const int otherYear = VoTestOtherRegisterYear(QStringLiteral("Altro inventario"), 2025);
    VoTestGood(VoTestGoodsVoucher(otherYear, 0, kLoaded, 1), 3, 0, 1, seg);

    TfmBeni *fm = OpenList();
    ASSERT_TRUE(fm);
    EXPECT_EQ(Column(fm, "NumCod"), (QStringList{"5", "7", "12/A", "21"}));

    // Typing part of a text narrows the rows; the number is matched as text.
    TfrKvbRicerca *box = fm->frMaster->frRicerca;
    EXPECT_EQ(box->SearchField(), QStringLiteral("NumCod"));
    box->edRicerca->setFocus(Qt::MouseFocusReason);
    VoType(QStringLiteral("2"));
    box->tmFiltTimer();
    EXPECT_EQ(Column(fm, "NumCod"), (QStringList{"12/A", "21"}));
}

TEST_F(kvbGoodsListTest, TheListKeepsItsOrderFromOneScreenToTheNext) {
    // Four vouchers, two of one date and one without date; numbers shared between the vouchers, with
    // and without sub-codes, and goods alike in both: more than the first screens read.
    const int sameDay = VoTestGoodsVoucher(year2025, 0, kLoaded, 1);
    const int vouchers[] = {sameDay, VoTestGoodsVoucher(year2025, 0, kLoaded, 2),
                            VoTestGoodsVoucher(year2026, 0, {2026, 1, 5}, 3),
                            VoTestGoodsVoucher(year2025, 0, QDate(), 4)};
    const QString codes[] = {QString(), QStringLiteral("A"), QStringLiteral("B")};
    for (int i = 0; i < 330; ++i)
        VoTestGood(vouchers[i % 4], i / 8, 10000, 1, seg, 0, codes[(i / 4) % 3]);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBCODNUMERO = '' WHERE IBBUOID = :v AND IBINBNUMERO = 3"),
              {{QStringLiteral("v"), sameDay}});
    QStringList sorted;
    TVoQuery q(QStringLiteral(
        "SELECT inb.IBINBID FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID "
        "INNER JOIN TDWGFACANF dia ON dia.IDWGFACANFID = buo.IDWGFACANFID INNER JOIN TDWGFAC di ON "
        "di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f ORDER BY buo.DBBUODATA, inb.IBINBNUMERO, "
        "inb.SBINBCODNUMERO, inb.IBINBID"));
    for (q.SetParam(QStringLiteral("f"), facId).Open(); !q.Eof(); q.Next())
        sorted << q.Value(0).toString();

    TfmBeni *fm = OpenList();
    ASSERT_TRUE(fm);
    EXPECT_LT(fm->xqcMain->FetchedCount(), 330) << "the list reads a screen first";
    while (fm->xqcMain->CanFetchMore())
        fm->xqcMain->FetchMore();
    EXPECT_EQ(Column(fm, "iBInbID"), sorted);
}

TEST_F(kvbGoodsListTest, UltimoReadsALongListWithItsCountAndAnnullaStopsOnTheLastRowRead) {
    constexpr int kGoods = 6000;
    const int voucher = VoTestGoodsVoucher(year2025, 0, kLoaded, 1);
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, ICAMID, "
                  "IAVAID, ISECID) WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 "
                  "FROM N WHERE I < 99) SELECT :g + a.I * 100 + b.I, a.I * 100 + b.I, 'BENE', :v, 100, 1, 1, "
                  ":s FROM N a CROSS JOIN N b WHERE a.I * 100 + b.I < :n"),
              {{QStringLiteral("g"),
                VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID('TBINB_BENI', :n)"),
                              {{QStringLiteral("n"), kGoods}})},
               {QStringLiteral("v"), voucher},
               {QStringLiteral("s"), seg},
               {QStringLiteral("n"), kGoods}});
    struct Case {
        const char *what;
        int annullaAt; // rows read when "Annulla" is pressed; 0: never
        QStringList counts;
        int current;
        bool allRead; // once the grid has shown the last row read
    };
    const Case cases[] = {
        {"to the end", 0, {"5100 di 6000", "6000 di 6000"}, kGoods, true},
        {"Annulla", 5100, {"5100 di 6000"}, 5100, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TfmBeni *fm = OpenList();
        ASSERT_TRUE(fm);
        {
            TVoPressAnnulla annulla(c.annullaAt);
            fm->frMaster->xacLast->trigger();
            EXPECT_EQ(annulla.Counts(), c.counts);
        }
        EXPECT_FALSE(fmVoWait()->isVisible());
        // The grid on the last row read asks for the rows after it: a screen, not the rest at once
        // with neither count nor Annulla.
        QApplication::processEvents();
        EXPECT_EQ(fm->xqcMain->FetchedCount() == kGoods, c.allRead);
        EXPECT_EQ(fm->xqcMain->RecNo(), c.current);
        EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("iBInbNumero"))->AsInteger(), c.current - 1);
        EXPECT_TRUE(messages->Texts().isEmpty());
        VoCloseWindow(fm);
    }
}

TEST_F(kvbGoodsListTest, SavingAGoodWritesItsNotesGoodsCodeAndConditionOnly) {
    const int good = Good(2, 1);
    const QVariant condition = VoSelectValue(QStringLiteral("SELECT MAX(ICONDID) FROM TCOND_CONDIZIONI"));
    const QVariant code = VoSelectValue(QStringLiteral("SELECT MIN(ICAEID) FROM TCAE_CATEGMERCE"));
    ASSERT_TRUE(code.isValid() && !code.isNull());
    const QStringList before = VoRowTexts(QStringLiteral("SELECT * FROM TBINB_BENI WHERE IBINBID = :g"),
                                          {{QStringLiteral("g"), good}});

    TfmBeni *fm = OpenList();
    EXPECT_FALSE(fm->frMaster->xacInsert->isVisible());
    EXPECT_FALSE(fm->frMaster->xacDelete->isVisible());
    EXPECT_FALSE(fm->frMaster->xacInsert->Execute());
    EXPECT_FALSE(fm->frMaster->xacDelete->Execute());
    ASSERT_TRUE(fm->frMaster->xacEdit->Execute());
    fm->xqcMain->FieldByName(QStringLiteral("sBInbNOTE"))->SetValue(QStringLiteral("Graffiato"));
    fm->xqcMain->FieldByName(QStringLiteral("ICONDID"))->SetValue(condition);
    fm->xqcMain->FieldByName(QStringLiteral("ICAEID"))->SetValue(code);
    fm->xqcMain->FieldByName(QStringLiteral("sBInbDESC"))->SetValue(QStringLiteral("Altro"));
    fm->xqcMain->FieldByName(QStringLiteral("iBInbIMPORTO"))->SetValue(1);
    ASSERT_TRUE(fm->frMaster->xacPost->Execute());

    QStringList after = VoRowTexts(QStringLiteral("SELECT * FROM TBINB_BENI WHERE IBINBID = :g"),
                                   {{QStringLiteral("g"), good}});
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT SBINBNOTE || '/' || ICONDID || '/' || ICAEID FROM TBINB_BENI "
                                     "WHERE IBINBID = :g"),
                      {{QStringLiteral("g"), good}})
            .toString(),
        QStringLiteral("Graffiato/%1/%2").arg(condition.toInt()).arg(code.toInt()));
    ASSERT_EQ(after.size(), before.size());
    int changed = 0;
    for (int i = 0; i < after.size(); ++i)
        changed += after[i] != before[i];
    EXPECT_EQ(changed, 3);
}

TEST_F(kvbGoodsListTest, RowsAreColouredByTheGoodsState) {
    Good(1, 1);
    Good(2, 2);
    const int unloaded = Good(2, 3);
    const int voucher = VoTestGoodsVoucher(year2025, 1, {2025, 5, 1}, 1);
    VoTestDischarge(unloaded, voucher, VoTestCausal(1));
    VoTestMakeDefinitive(voucher, 1);

    TfmBeni *fm = OpenList();
    const TVoTableModel *model = fm->frMaster->grFrame->Model();
    const auto colour = [model](int row) {
        return model->data(model->index(row, 1), Qt::ForegroundRole).value<QBrush>().color();
    };
    EXPECT_FALSE(model->data(model->index(0, 1), Qt::ForegroundRole).isValid());
    EXPECT_EQ(colour(1), QColor(Qt::red));
    EXPECT_EQ(colour(2), QColor(Qt::darkGreen));
}

TEST_F(kvbGoodsListTest, CambiaSettoreHandsTheGoodToTheDialogAndReloadsTheListOnlyAfterAChange) {
    Good(1, 1);
    const int good = Good(2, 2);
    TfmBeni *fm = OpenList();
    fm->xqcMain->Locate(QStringLiteral("iBInbID"), good);
    const auto rename = [good](const QString &description) {
        VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET SBINBDESC = :d WHERE IBINBID = :g"),
                  {{QStringLiteral("d"), description}, {QStringLiteral("g"), good}});
    };
    const auto shown = [fm] { return fm->xqcMain->FieldByName(QStringLiteral("sBInbDESC"))->AsString(); };

    // The same sector: nothing written, the list not read again.
    rename(QStringLiteral("Riletto"));
    QStringList seen;
    VoWhenModalOpens<TfmkvbChangeCons>([&seen](TfmkvbChangeCons *dlg) {
        seen << dlg->edNumero->text() << dlg->edDescr->text() << dlg->edCons->text()
             << dlg->cbSett->currentText();
        dlg->buOk->click();
    });
    fm->frMaster->xacStorLuogo->trigger();
    EXPECT_EQ(seen, (QStringList{"2", "Bene 2", "Segreteria", "Segreteria"}));
    EXPECT_EQ(shown(), QStringLiteral("Bene 2"));
    EXPECT_EQ(Sectors(good), QStringLiteral("SEG | SEG 2025-03-01.."));

    // Another sector: a new period from now, and the list read again.
    const int laboratory = lab;
    VoWhenModalOpens<TfmkvbChangeCons>([laboratory](TfmkvbChangeCons *dlg) {
        dlg->cbSett->SelectId(laboratory);
        dlg->buOk->click();
    });
    fm->frMaster->xacStorLuogo->trigger();
    EXPECT_EQ(shown(), QStringLiteral("Riletto"));
    EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("sSecDescS"))->AsString(),
              QStringLiteral("Laboratorio di scienze"));
    EXPECT_TRUE(Sectors(good).startsWith(QStringLiteral("LAB | SEG 2025-03-01..") +
                                         QDate::currentDate().toString(Qt::ISODate)));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TBBSE_BENISETTORI WHERE IBINBID = :g"),
                          {{QStringLiteral("g"), good}}),
              2);
}

TEST_F(kvbGoodsListTest, AFailedSectorChangeShowsTheErrorAndReportsNoChange) {
    const int good = Good(1, 1);
    TfmBeni *fm = OpenList();
    Remove(good);
    const bool done = ChangeSector(fm, lab);
    EXPECT_FALSE(done);
    EXPECT_EQ(messages->Texts(),
              (QStringList{"Il record è stato modificato o cancellato da un altro utente."}));
    EXPECT_EQ(fm->xqcMain->RecordCount(), 1);
}

TEST_F(kvbGoodsListTest, ASectorChangeThatMeetsAnotherCopysWriteOfTheGoodSaysSoAndWritesNothing) {
    const int good = Good(1, 1);
    TfmBeni *fm = OpenList();
    const QString before = Sectors(good);
    QProcess other;
    other.start(QStringLiteral(VO_DBPEER), {dbPath, QStringLiteral("--lock"), QStringLiteral("TBINB_BENI"),
                                            QStringLiteral("IBINBID"), QString::number(good)});
    ASSERT_TRUE(other.waitForReadyRead(30000));
    ASSERT_EQ(other.readLine().trimmed(), QByteArray("locked")) << other.readAllStandardOutput().toStdString();
    const bool done = ChangeSector(fm, lab);
    ASSERT_TRUE(other.waitForFinished(30000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardOutput().toStdString();
    EXPECT_FALSE(done);
    EXPECT_EQ(messages->Texts(),
              QStringList{QStringLiteral("Un altro utente ha modificato gli stessi dati nello "
                                         "stesso momento.\nNon è stato registrato nulla: "
                                         "riprovare l'operazione.")});
    // The engine's words stay at hand for whoever looks into it.
    EXPECT_TRUE(messages->Shown().value(0).detail.contains(QStringLiteral("PKVB_INSSETTORE")))
        << messages->Shown().value(0).detail.toStdString();
    EXPECT_EQ(Sectors(good), before);
}

TEST_F(kvbGoodsListTest, CambiaSettoreOnAGoodAnotherCopyMovedMeanwhileWritesNothingAndReadsTheListAgain) {
    const int good = Good(1, 1);
    TfmBeni *fm = OpenList();
    ASSERT_EQ(fm->xqcMain->FieldByName(QStringLiteral("sSecDescS"))->AsString(),
              QStringLiteral("Segreteria"));
    MovedByAnotherCopy(good, VoTestSector(QStringLiteral("PAL")), {2025, 5, 1});
    const QString moved = Sectors(good);
    ASSERT_TRUE(moved.startsWith(QStringLiteral("PAL | "))) << moved.toStdString();

    EXPECT_FALSE(ChangeSector(fm, lab));
    EXPECT_EQ(
        messages->Texts(),
        QStringList{QStringLiteral("Nel frattempo un altro utente ha spostato in un altro settore il bene 1: "
                                   "il settore di consegna non è stato cambiato.\nL'elenco dei beni è "
                                   "stato letto di nuovo.")});
    EXPECT_EQ(Sectors(good), moved);
    EXPECT_EQ(fm->xqcMain->FieldByName(QStringLiteral("sSecDescS"))->AsString(), QStringLiteral("Palestra"));
}

TEST_F(kvbGoodsListTest, TheHistoryActionsOpenTheCurrentGoodsHistoriesInStartOrder) {
    dmkvbAtt = new TdmkvbAtt(nullptr);
    const int good = Good(2, 1);
    VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVB_INSSETTORE(:g, :s, :d, 1)"),
              {{QStringLiteral("g"), good},
               {QStringLiteral("s"), lab},
               {QStringLiteral("d"), QDateTime(QDate(2025, 6, 1), QTime(0, 0))}});
    const int bare = Good(1, 2);
    VoExecSQL(QStringLiteral("DELETE FROM TBBIM_IMPORTI WHERE IBINBID = :g"), {{QStringLiteral("g"), bare}});
    TfmBeni *fm = OpenList();

    const struct {
        QAction *action;
        TVoAttForm *item;
        const char *className;
        QStringList good;
        QStringList bare;
    } histories[] = {
        {fm->frMaster->xacViewSettori,
         dmkvbAtt->xafStorLuoghi,
         "TfmkvbStorLuoghi",
         {"Segreteria", "Laboratorio di scienze"},
         {"Segreteria"}},
        {fm->frMaster->xacViewImporti, dmkvbAtt->xafStorImporti, "TfmkvbStorImp", {"1,00"}, {}},
        {fm->frMaster->xacViewSedi, dmkvbAtt->xafStorSedi, "TfmKvbStorSedi", {}, {}},
    };
    for (const auto &h : histories) {
        SCOPED_TRACE(h.className);
        for (const int id : {good, bare}) {
            fm->xqcMain->Locate(QStringLiteral("iBInbID"), id);
            h.action->trigger();
            EXPECT_EQ(dmkvbAtt->HistoryGoodId(), id);
            auto *window = qobject_cast<TfmkvbStorico *>(h.item->Form());
            ASSERT_TRUE(window);
            EXPECT_EQ(QString::fromLatin1(window->metaObject()->className()),
                      QString::fromLatin1(h.className));
            EXPECT_EQ(window->GoodId(), id);
            // The window says which good it shows.
            const int number = id == good ? 1 : 2;
            EXPECT_TRUE(window->windowTitle().endsWith(
                QStringLiteral(" del bene %1 - Bene %2").arg(number, 7, 10, QLatin1Char('0')).arg(number)))
                << window->windowTitle().toStdString();
            QStringList values;
            const TVoTableModel *model = window->frMaster->grFrame->Model();
            for (int row = 0; row < model->rowCount(); ++row)
                values << model->data(model->index(row, 0)).toString();
            EXPECT_EQ(values, id == good ? h.good : h.bare);
            VoCloseWindow(window);
        }
    }
}

// --- The moves of goods -----------------------------------------------------------------------------

TEST_F(kvbGoodsListTest, SpostaBeniMovesTheTickedGoodsAndCountsThoseMoved) {
    const int first = Good(1, 1);
    const int second = Good(2, 2);
    const int third = Good(2, 3);
    const int unloaded = Good(2, 4);
    const int voucher = VoTestGoodsVoucher(year2025, 1, {2025, 5, 1}, 1);
    VoTestDischarge(unloaded, voucher, VoTestCausal(1));
    CurrentRegisterId = facId;

    const auto open = [this](bool alsoUnloaded) {
        auto *wz = VoOpenWindow<TfmkvbSpostaBeni>(QStringLiteral("TfmkvbSpostaBeni"));
        wz->cbSettStart->SelectId(seg);
        wz->cbSettEnd->SelectId(lab);
        wz->rxdeSpost->SetDate({2025, 6, 1});
        wz->ckBeniScar->setChecked(alsoUnloaded);
        wz->buNext->click();
        return wz;
    };
    const auto listed = [](TfmkvbSpostaBeni *wz) {
        QStringList numbers;
        for (int i = 0; i < wz->lwBeni->model()->rowCount(); ++i)
            numbers << wz->RowText(i, 0);
        return numbers;
    };
    TfmkvbSpostaBeni *wz = open(true);
    EXPECT_EQ(listed(wz), (QStringList{"1", "2", "3", "4"}));
    VoCloseWindow(wz);

    // The second good fails: the first stays moved, the third is not tried.
    wz = open(false);
    ASSERT_EQ(listed(wz), (QStringList{"1", "2", "3"}));
    wz->SelectAllExecute();
    Remove(second);
    wz->buOk->click();
    EXPECT_EQ(messages->Texts(), (QStringList{"Il record è stato modificato o cancellato da un altro utente.",
                                              "Sono stati spostati 1 beni"}));
    EXPECT_EQ(Sectors(first), QStringLiteral("LAB | LAB 2025-03-01.."));
    EXPECT_EQ(Sectors(third), QStringLiteral("SEG | SEG 2025-03-01.."));

    // The rest, at the chosen date: a definitive good keeps its past.
    messages->Clear();
    wz = open(false);
    ASSERT_EQ(listed(wz), (QStringList{"3"}));
    wz->InvertSelectExecute();
    wz->buOk->click();
    EXPECT_EQ(messages->Texts(), (QStringList{"Sono stati spostati 1 beni"}));
    EXPECT_EQ(Sectors(third), QStringLiteral("LAB | SEG 2025-03-01..2025-06-01 | LAB 2025-06-01.."));
}

// Keys alone: Enter on the first page lists the start sector's goods with the keyboard on the list,
// Space ticks one, Enter moves it.
TEST_F(kvbGoodsListTest, SpostaBeniGoesOnAndConfirmsWithEnter) {
    const int moved = Good(2, 1);
    CurrentRegisterId = facId;
    auto *wz = VoOpenWindow<TfmkvbSpostaBeni>(QStringLiteral("TfmkvbSpostaBeni"));
    wz->cbSettStart->SelectId(seg);
    wz->cbSettEnd->SelectId(lab);
    wz->rxdeSpost->SetDate({2025, 6, 1});
    wz->rxdeSpost->setFocus(Qt::TabFocusReason);
    VoPress(Qt::Key_Return);
    ASSERT_EQ(wz->ActivePageIndex(), 1);
    ASSERT_EQ(QApplication::focusWidget(), wz->lwBeni);
    EXPECT_TRUE(messages->Texts().isEmpty());
    VoPress(Qt::Key_Space);
    EXPECT_TRUE(wz->IsTicked(0));
    VoPress(Qt::Key_Return);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Sono stati spostati 1 beni")});
    EXPECT_EQ(Sectors(moved), QStringLiteral("LAB | SEG 2025-03-01..2025-06-01 | LAB 2025-06-01.."));
    EXPECT_FALSE(wz->isVisible());
}

TEST_F(kvbGoodsListTest, SpostaBeniLeavesTheGoodsAnotherCopyMovedMeanwhileAndReadsTheListAgain) {
    const int provisional = Good(1, 1);
    const int definitive = Good(2, 2);
    const int third = Good(2, 3);
    const int unticked = Good(2, 4);
    const int gym = VoTestSector(QStringLiteral("PAL"));
    CurrentRegisterId = facId;
    auto *wz = VoOpenWindow<TfmkvbSpostaBeni>(QStringLiteral("TfmkvbSpostaBeni"));
    wz->cbSettStart->SelectId(seg);
    wz->cbSettEnd->SelectId(lab);
    wz->rxdeSpost->SetDate({2025, 6, 1});
    wz->buNext->click();
    ASSERT_EQ(wz->lwBeni->model()->rowCount(), 4);
    for (int row = 0; row < 3; ++row)
        wz->SetTicked(row, true);
    // The other copy, whose list showed the same goods, moved the first two to the gym.
    MovedByAnotherCopy(provisional, gym, {2025, 5, 1});
    MovedByAnotherCopy(definitive, gym, {2025, 5, 1});

    wz->buOk->click();
    EXPECT_EQ(
        messages->Texts(),
        QStringList{QStringLiteral("Nel frattempo un altro utente ha spostato in un altro settore i beni 1, "
                                   "2, che non sono stati spostati.\nSono stati spostati 1 beni.\nL'elenco "
                                   "dei beni è stato letto di nuovo.")});
    // The provisional good keeps the history the other copy gave it, not one rewritten to the lab.
    EXPECT_EQ(Sectors(provisional), QStringLiteral("PAL | PAL 2025-03-01.."));
    EXPECT_EQ(Sectors(definitive), QStringLiteral("PAL | SEG 2025-03-01..2025-05-01 | PAL 2025-05-01.."));
    EXPECT_EQ(Sectors(third), QStringLiteral("LAB | SEG 2025-03-01..2025-06-01 | LAB 2025-06-01.."));
    EXPECT_EQ(Sectors(unticked), QStringLiteral("SEG | SEG 2025-03-01.."));
    EXPECT_TRUE(wz->isVisible());
    ASSERT_EQ(wz->lwBeni->model()->rowCount(), 1);
    EXPECT_EQ(wz->RowText(0, 0), QStringLiteral("4"));
    EXPECT_FALSE(wz->IsTicked(0));
}

TEST_F(kvbGoodsListTest, SpostaBeniMovesEveryTickedGoodAlsoThoseTheListHasNotReadYet) {
    // A few more than the list's first packet.
    constexpr int kGoods = 105;
    const int voucher = VoTestGoodsVoucher(year2025, 0, kLoaded, 1);
    for (int number = 1; number <= kGoods; ++number)
        VoTestGood(voucher, number, 10000, 1, seg);
    CurrentRegisterId = facId;
    const auto move = [](int from, int to, const std::function<void(TfmkvbSpostaBeni *)> &tick) {
        auto *wz = VoOpenWindow<TfmkvbSpostaBeni>(QStringLiteral("TfmkvbSpostaBeni"));
        wz->cbSettStart->SelectId(from);
        wz->cbSettEnd->SelectId(to);
        wz->rxdeSpost->SetDate({2025, 6, 1});
        wz->buNext->click();
        QApplication::processEvents();
        EXPECT_LT(wz->xqcBeni->FetchedCount(), kGoods - 2) << "the list reads a packet first";
        tick(wz);
        wz->buOk->click();
    };
    const auto numbersIn = [voucher](int sector) {
        QList<int> numbers;
        TVoQuery q(QStringLiteral(
            "SELECT IBINBNUMERO FROM TBINB_BENI WHERE ISECID = :s AND IBBUOID = :v ORDER BY 1"));
        q.SetParam(QStringLiteral("v"), voucher);
        for (q.SetParam(QStringLiteral("s"), sector).Open(); !q.Eof(); q.Next())
            numbers << q.AsInteger(QStringLiteral("IBINBNUMERO"));
        return numbers;
    };
    const auto range = [](int first, int last) {
        QList<int> numbers;
        for (int n = first; n <= last; ++n)
            numbers << n;
        return numbers;
    };

    // All but the first good listed.
    move(seg, lab, [](TfmkvbSpostaBeni *wz) {
        wz->SelectAllExecute();
        wz->SetTicked(0, false);
    });
    EXPECT_EQ(messages->Texts().last(), QStringLiteral("Sono stati spostati 104 beni"));
    EXPECT_EQ(numbersIn(seg), QList<int>{1});
    // Back, all but the first two listed, by inverting their ticks.
    move(lab, seg, [](TfmkvbSpostaBeni *wz) {
        wz->SetTicked(0, true);
        wz->SetTicked(1, true);
        wz->InvertSelectExecute();
    });
    EXPECT_EQ(messages->Texts().last(), QStringLiteral("Sono stati spostati 102 beni"));
    EXPECT_EQ(numbersIn(lab), (QList<int>{2, 3}));
    EXPECT_EQ(numbersIn(seg), QList<int>{1} + range(4, kGoods));
}

// --- The renumbering dialog -------------------------------------------------------------------------

TEST_F(kvbGoodsListTest, RinumeraBeniProposesTheDayAfterTheLatestEventOrTheYearsEnd) {
    CurrentRegisterId = facId;
    const QDate end = DaysToDate(CurrentRegEnd);
    const auto proposal = [] {
        auto *dlg = VoOpenWindow<TfmkvbRinumeraBeni>(QStringLiteral("TfmkvbRinumeraBeni"));
        const QDate date = dlg->dtpDate->Date();
        EXPECT_EQ(dlg->laMsg->text(),
                  QStringLiteral("CON QUESTA UTILITÀ VENGONO RICALCOLATI I NUMERI DI TUTTI I BENI."));
        EXPECT_TRUE(dlg->buCancel->isDefault());
        EXPECT_FALSE(dlg->buOk->isDefault());
        VoCloseWindow(dlg);
        return date;
    };
    EXPECT_EQ(proposal(), end);
    VoTestGoodsVoucher(year2026, 0, end, 1);
    EXPECT_EQ(proposal(), end.addDays(1));
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, IFACID) VALUES (:id, :d, :f)"),
              {{QStringLiteral("id"), VoTestNewKey(QStringLiteral("TCHA_CHIUSURAANNO"))},
               {QStringLiteral("d"), end.addDays(10)},
               {QStringLiteral("f"), facId}});
    EXPECT_EQ(proposal(), end.addDays(11));
}

TEST_F(kvbGoodsListTest, RinumeraBeniStaysOpenOnARefusalAndClosesOnceTheGoodsAreRenumbered) {
    CurrentRegisterId = facId;
    const int voucher = VoTestGoodsVoucher(year2025, 0, kLoaded, 1);
    const int good = VoTestGood(voucher, 7, 0, 1, seg);
    auto *dlg = VoOpenWindow<TfmkvbRinumeraBeni>(QStringLiteral("TfmkvbRinumeraBeni"));
    const QDate proposed = dlg->dtpDate->Date();
    dlg->buOk->click();
    EXPECT_EQ(messages->Texts(), (QStringList{"Impossibile continuare. Ci sono dei buoni non definitivi."}));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->dtpDate->Date(), proposed);

    VoTestMakeDefinitive(voucher, 0);
    dlg->buOk->click();
    EXPECT_EQ(messages->Texts().last(), QStringLiteral("È stato rinumerato 1 bene."));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IBINBNUMERO FROM TBINB_BENI WHERE IBINBID = :g"),
                            {{QStringLiteral("g"), good}})
                  .toInt(),
              1);
    VoCloseWindow(dlg);
}

TEST_F(kvbGoodsListTest, RinumeraBeniAnnullaHalfWayLeavesEveryNumberAsItWas) {
    CurrentRegisterId = facId;
    for (int number : {7, 8, 9})
        Good(2, number);
    const auto numbers = [] {
        return VoRowTexts(QStringLiteral("SELECT IBINBID, IBINBNUMERO, SBINBCODNUMERO, IBINBFUORIREGISTRO "
                                         "FROM TBINB_BENI ORDER BY 1")) +
               VoRowTexts(QStringLiteral("SELECT IBBNUID, IBINBID, IBBNUNUMERO, SBBNUCODNUMERO, DSTART, DEND "
                                         "FROM TBBNU_BENINUMERI ORDER BY 1"));
    };
    const QStringList before = numbers();
    auto *dlg = VoOpenWindow<TfmkvbRinumeraBeni>(QStringLiteral("TfmkvbRinumeraBeni"));
    {
        // The user presses "Annulla" once two of the three goods are renumbered.
        TVoPressAnnulla annulla(2);
        dlg->buOk->click();
        EXPECT_EQ(annulla.Counts(), (QStringList{"1 di 3", "2 di 3"}));
    }
    TfmVoWait *wait = fmVoWait();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(wait->isVisible());
    EXPECT_FALSE(wait->Cancellable());
    EXPECT_EQ(numbers(), before);
    EXPECT_FALSE(qqoVoGlobConn->InTransaction());
    VoCloseWindow(dlg);
}

} // namespace
