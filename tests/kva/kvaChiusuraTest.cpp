// The year closing as the office runs it at the end of a financial year: the stock of a register
// numbered per year carried into the next year by a closing and an opening voucher at the same stock
// and average cost, the vouchers locked and each category's value recorded, all of it or nothing; and
// the hand-over of unloading vouchers to the durable-goods program.
#include "VoDates.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestRegisters.h"
#include "VoTestWindows.h"
#include "VoWait.h"
#include "kvaFChiusura.h"
#include "kvaFSelectBenDur.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString kNoNextYear = QStringLiteral(
    "Attenzione!!\r\nNon è stato impostato l'anno finanziario successivo.\r\nNon è possibile proseguire.");
const QString kDone = QStringLiteral("Chiusura completata");

struct TRow {
    int article;
    double quantity;
    double cost;
    int vatRateId; // 0: none
    QString note;
};

class kvaChiusuraTest : public kvaWindowTest {
protected:
    // A register of the demo school opened for the years; the context stands on the first.
    void MakeYears(int numbering, int vatIncluded, const QList<int> &years) {
        reg = MakeRegister(QStringLiteral("Registro chiusura %1").arg(++made), 1, numbering, vatIncluded);
        regYears.clear();
        for (int year : years)
            regYears << OpenRegisterYear(reg.schoolRegId, year);
        ChooseRegisterYear(regYears[0]);
    }
    static int Article(const QString &desc, int category, int unit = 0, int vatRate = 0) {
        const int id = VoTestArticle(desc, unit, vatRate);
        VoExecSQL(QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = :c WHERE IFARID = :id"),
                  {{QStringLiteral("c"), category}, {QStringLiteral("id"), id}});
        return id;
    }
    TfmKvaChiusura *OpenClosing() {
        fm = Open<TfmKvaChiusura>(QStringLiteral("TfmkvaChiusura"));
        return fm;
    }
    // Opens the window, turns to the count and presses OK.
    void Close() {
        ASSERT_TRUE(OpenClosing());
        VoClick(fm->buNext);
        ASSERT_TRUE(fm->buOk->isEnabled());
        VoClick(fm->buOk);
    }
    static int Voucher(const QString &use) {
        return VoSelectValue(QStringLiteral("SELECT IFBUOID FROM TFBUO_BUONI WHERE SFBUOUSE = :u"),
                             {{QStringLiteral("u"), use}})
            .toInt();
    }
    static QList<TRow> Rows(int voucherId) {
        QList<TRow> rows;
        TVoQuery q(QStringLiteral("SELECT IFARID, FAFCQUANTITA, FAFCCOSTOUNIT, IALVID, BAFCNOTE FROM "
                                  "TAFC_ARTVELIST WHERE IFBUOID = :v ORDER BY IFARID"));
        q.SetParam(QStringLiteral("v"), voucherId);
        for (q.Open(); !q.Eof(); q.Next())
            rows.append({q.AsInteger(QStringLiteral("IFARID")), q.AsFloat(QStringLiteral("FAFCQUANTITA")),
                         q.AsFloat(QStringLiteral("FAFCCOSTOUNIT")), q.AsInteger(QStringLiteral("IALVID")),
                         q.AsString(QStringLiteral("BAFCNOTE"))});
        return rows;
    }
    static void ExpectRows(const QList<TRow> &rows, const QList<TRow> &expected) {
        ASSERT_EQ(rows.size(), expected.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(rows[i].article, expected[i].article);
            EXPECT_NEAR(rows[i].quantity, expected[i].quantity, 1e-9);
            EXPECT_NEAR(rows[i].cost, expected[i].cost, 1e-9);
            EXPECT_EQ(rows[i].vatRateId, expected[i].vatRateId);
            EXPECT_EQ(rows[i].note, expected[i].note);
        }
    }
    // The amounts of the last closing's category rows, by category.
    static QStringList Amounts() {
        return VoRowTexts(QStringLiteral("SELECT cc.ICAFID, CAST(cc.FCHACAFIMPORTO AS NUMERIC(15,4)) FROM "
                                         "TCHACAF cc WHERE cc.ICHAID = (SELECT MAX(ICHAID) FROM "
                                         "TCHA_CHIUSURAANNO) ORDER BY cc.ICAFID"));
    }
    static int Count(const QString &sql) { return VoCountRows(sql); }

    TVoTestRegister reg;
    QList<int> regYears;
    QPointer<TfmKvaChiusura> fm;
    int made = 0;
};

// Three articles in stock (one loaded in boxes and unloaded in pieces) and one at zero, in a register
// numbered per year that loads amounts without VAT.
class kvaChiusuraZeroingTest : public kvaChiusuraTest {
protected:
    void SetUp() override {
        kvaChiusuraTest::SetUp();
        MakeYears(1, 0, {2026, 2027});
        vat = VoTestVatRate(20);
        box = VoTestUnit(12, QStringLiteral("SC"));
        a = Article(QStringLiteral("Penne"), 1, 0, vat);
        b = Article(QStringLiteral("Gomme"), 1);
        c = Article(QStringLiteral("Toner"), 2, box, vat);
        d = Article(QStringLiteral("Carta"), 2);
        const int load1 = VoTestVoucher(kvaLoading, QDate(2026, 2, 1), regYears[0]);
        const int load2 = VoTestVoucher(kvaLoading, QDate(2026, 3, 1), regYears[0]);
        VoTestRow(load1, a, 10, 5);
        VoTestRow(load1, b, 3, 2);
        VoTestRow(load1, c, 3, 12);
        VoTestRow(load1, d, 5, 1);
        VoTestRow(load2, a, 0, 5); // a later loading row, whose note is not the one carried
        VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET BAFCNOTE = 'seconda' WHERE IFARID = :a"),
                  {{QStringLiteral("a"), a}});
        VoExecSQL(
            QStringLiteral("UPDATE TAFC_ARTVELIST SET BAFCNOTE = 'prima' WHERE IFARID = :a AND IFBUOID = :v"),
            {{QStringLiteral("a"), a}, {QStringLiteral("v"), load1}});
        const int unload1 = VoTestVoucher(kvaUnloading, QDate(2026, 4, 1), regYears[0]);
        const int unload2 = VoTestVoucher(kvaUnloading, QDate(2026, 5, 1), regYears[0]);
        VoTestRow(unload1, a, 4, 5);
        VoTestRow(unload1, c, 12, 1); // one box in pieces
        VoTestRow(unload2, d, 5, 1);
    }
    int vat = 0, box = 0, a = 0, b = 0, c = 0, d = 0;
};

TEST_F(kvaChiusuraZeroingTest, CarriesEveryArticleInStockIntoTheNextYear) {
    ASSERT_TRUE(OpenClosing());
    EXPECT_EQ(fm->laInfo->text(), QStringLiteral("Con questa operazione verranno impostate tutte le giacenze "
                                                 "per l'Esercizio Finanziario 2027."));
    VoClick(fm->buNext);
    EXPECT_EQ(fm->laImpostazioneGiacenze->text(),
              QStringLiteral("Impostazione Giacenze Esercizio Finanziario:2027"));
    EXPECT_EQ(fm->laNumArticoli->text(), QStringLiteral("4"));
    EXPECT_FALSE(fm->buPrior->isEnabled());
    EXPECT_FALSE(fm->buNext->isEnabled());
    VoClick(fm->buOk);
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    EXPECT_EQ(fm->gaProgressArticoli->value(), 4);
    // Once told, the closing ends with its window.
    EXPECT_FALSE(fm->isVisible());

    const int closing = Voucher(QStringLiteral("SCACHIUS"));
    const int opening = Voucher(QStringLiteral("CARCHIUS"));
    EXPECT_EQ(
        VoRowTexts(
            QStringLiteral("SELECT IDWGFACANFID, IFBUONUMERO, DFBUODATA, SFBUODESC, IFBUOTIPO, ILOCKED "
                           "FROM TFBUO_BUONI WHERE IFBUOID IN (:c, :o) ORDER BY IFBUOTIPO DESC"),
            {{QStringLiteral("c"), closing}, {QStringLiteral("o"), opening}}),
        (QStringList{QString::number(regYears[0]), "3", "2026-12-31", "Buono di fine anno", "1", "1",
                     QString::number(regYears[1]), "1", "2027-01-01", "Buono di inizio anno", "0", "0"}));
    // Opening rows net of the VAT their rate adds back; closing rows per unloading unit.
    ExpectRows(Rows(opening), {{a, 6, 5, vat, "prima"}, {b, 3, 2, 0, ""}, {c, 2, 12, vat, ""}});
    ExpectRows(Rows(closing), {{a, 6, 6, 0, "prima"}, {b, 3, 2, 0, ""}, {c, 24, 1.2, 0, ""}});
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE IDWGFACANFID = %1 AND ILOCKED = 1")
                        .arg(regYears[0])),
              5);
    // Each article starts the next year at its closing stock and average cost, and ends this one at 0.
    const struct {
        int article;
        double stock, cost;
    } carried[] = {{a, 6, 6}, {b, 3, 2}, {c, 2, 14.4}, {d, 0, 0}};
    for (const auto &e : carried) {
        SCOPED_TRACE(e.article);
        const TVoTestStock next = VoTestStock(e.article, QDate(2027, 1, 1), regYears[1]);
        EXPECT_NEAR(next.stock, e.stock, 1e-9);
        EXPECT_NEAR(next.cost, e.cost, 1e-9);
        EXPECT_NEAR(VoTestStock(e.article, QDate(2026, 12, 31), regYears[0]).stock, 0.0, 1e-9);
    }
    // Category 1: 10 x 5 + 20% and 3 x 2 loaded, 4 x 5 unloaded and 6 x 6 + 3 x 2 closed; category
    // 2: 3 x 12 + 20% and 5 loaded, 12 + 5 unloaded and 24 x 1.2 closed; the others nothing.
    EXPECT_EQ(Amounts(), (QStringList{"1", "4", "2", "2.4", "3", "0", "4", "0", "5", "0"}));
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT DCHADATACHIUSURA, ITCHID, IINVID, IFACID FROM TCHA_CHIUSURAANNO "
                                  "WHERE ICHAID = :id"),
                   {{QStringLiteral("id"), fm->ChaId()}}),
        (QStringList{"2026-12-31", "1", "", QString::number(reg.facId)}));
}

// Records whether a write was still open when each message was shown.
class TTransactionSeen : public TVoScriptedResponder {
public:
    explicit TTransactionSeen(TVoSQLConnection *connection) : m_connection(connection) {}
    int Answer(const TVoShownMessage &message) override {
        open << m_connection->InTransaction();
        return TVoScriptedResponder::Answer(message);
    }
    QList<bool> open;

private:
    TVoSQLConnection *m_connection;
};

TEST_F(kvaChiusuraZeroingTest, TheCompletionIsToldOnceTheClosingIsCommitted) {
    auto seen = std::make_shared<TTransactionSeen>(conn.get());
    const auto previous = SetVoMessageResponder(seen);
    Close();
    SetVoMessageResponder(previous);
    EXPECT_EQ(seen->Texts(), QStringList{kDone});
    EXPECT_EQ(seen->open, QList<bool>{false});
}

TEST_F(kvaChiusuraZeroingTest, LoadsWithVatIncludedOpenAtTheAverageItself) {
    VoTestSetRegisterOptions(reg.facId, 1, 1);
    ChooseRegisterYear(regYears[0]);
    Close();
    ExpectRows(Rows(Voucher(QStringLiteral("CARCHIUS"))),
               {{a, 6, 5, vat, "prima"}, {b, 3, 2, 0, ""}, {c, 2, 12, vat, ""}});
    ExpectRows(Rows(Voucher(QStringLiteral("SCACHIUS"))),
               {{a, 6, 5, 0, "prima"}, {b, 3, 2, 0, ""}, {c, 24, 1, 0, ""}});
}

// On a generated register (units with and without a factor, rows at VAT rates other than their
// article's, vouchers dated before vouchers written earlier and one dated past the year's end, notes on
// some loading rows, articles ending below, at and above zero) every carried row holds, bit for bit,
// what the stock of its article alone gives, with the note of its article's first loading row of the
// year, and the keys run two per carried article in article order, the opening row first.
TEST_F(kvaChiusuraTest, CarriesEveryArticleAsTheStockOfThatArticleAloneGivesIt) {
    const QList<int> units = {0, VoTestUnit(12, QStringLiteral("SC")), VoTestUnit(0, QStringLiteral("NU")),
                              VoTestUnit(3, QStringLiteral("TR"))};
    const QList<int> rates = {0, VoTestVatRate(22), VoTestVatRate(4)};
    for (const int vatIncluded : {0, 1}) {
        SCOPED_TRACE(vatIncluded);
        MakeYears(1, vatIncluded, {2026, 2027});
        unsigned seed = 4242u + unsigned(vatIncluded);
        const auto next = [&seed](unsigned n) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 16) % n);
        };
        QList<int> articles, vouchers;
        for (int i = 0; i < 30; ++i)
            articles << Article(QStringLiteral("Generato %1 %2").arg(vatIncluded).arg(i), 1 + i % 3,
                                units[i % units.size()], rates[i % rates.size()]);
        conn->StartTransaction();
        for (int v = 0; v < 24; ++v)
            vouchers << VoTestVoucher(v % 3 == 2 ? kvaUnloading : kvaLoading,
                                      v == 4 ? QDate(2027, 1, 10) : QDate(2026, 12, 20).addDays(-next(340)),
                                      regYears[0]);
        // The first loading rows of some articles are on the voucher dated past the year's end.
        for (int i = 0; i < articles.size(); i += 4)
            VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET BAFCNOTE = 'fuori anno' WHERE IAFCID = :id"),
                      {{QStringLiteral("id"), VoTestRow(vouchers[4], articles[i], 0.5, 1.5)}});
        for (int r = 0; r < 300; ++r) {
            const int row =
                VoTestRow(vouchers[next(vouchers.size())], articles[next(articles.size())],
                          (1 + next(40)) * 0.1 + (next(3) == 0 ? 1.0 / 3 : 0.0), (1 + next(900)) * 0.07, 0,
                          next(4) == 0 ? rates[next(rates.size())] : -1);
            if (next(3) == 0)
                VoExecSQL(
                    QStringLiteral("UPDATE TAFC_ARTVELIST SET BAFCNOTE = :n WHERE IAFCID = :id"),
                    {{QStringLiteral("n"), QStringLiteral("nota %1").arg(row)}, {QStringLiteral("id"), row}});
        }
        conn->Commit();

        // What each article alone gives: its stock and cost, factor, rate and first loading row's note.
        QList<QStringList> expected;
        for (const int article : std::as_const(articles)) {
            const TVoTestStock s = VoTestStock(article, QDate(2026, 12, 31), regYears[0]);
            if (!(s.stock > 0))
                continue;
            const QStringList more = VoRowTexts(
                QStringLiteral(
                    "SELECT FKVA_FATTOREUNITA(far.IFARID), COALESCE(alv.FALVIVA, 0), far.IALVID, "
                    "(SELECT FIRST 1 afc.BAFCNOTE FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b "
                    "ON b.IFBUOID = afc.IFBUOID WHERE afc.IFARID = far.IFARID AND b.IFBUOTIPO = 0 "
                    "AND b.IDWGFACANFID = :y ORDER BY afc.IAFCID) FROM TFAR_FACARTICOLI far LEFT "
                    "JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = far.IALVID WHERE far.IFARID = :a"),
                {{QStringLiteral("y"), regYears[0]}, {QStringLiteral("a"), article}});
            const double factor = more[0].toDouble(), vat = more[1].toDouble();
            const auto exact = [](double v) { return QString::number(v, 'g', 17); };
            const QString id = QString::number(article);
            expected << QStringList{id, exact(s.stock),
                                    exact(vatIncluded ? s.cost : s.cost / (vat / 100 + 1)), more[2], more[3]}
                     << QStringList{id, exact(s.stock * factor), exact(s.cost / factor), QString(), more[3]};
        }
        ASSERT_GT(expected.size(), 20);
        ASSERT_LT(expected.size(), 2 * articles.size());
        Close();
        EXPECT_EQ(messages->Texts().value(0), kDone);

        TVoQuery q(QStringLiteral(
            "SELECT afc.IAFCID, afc.IFARID, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT, afc.IALVID, afc.BAFCNOTE "
            "FROM "
            "TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID WHERE b.SFBUOUSE IN "
            "('SCACHIUS', 'CARCHIUS') AND b.IDWGFACANFID IN (:y, :n) ORDER BY afc.IAFCID"));
        q.SetParam(QStringLiteral("y"), regYears[0]).SetParam(QStringLiteral("n"), regYears[1]);
        QList<QStringList> written;
        int first = 0;
        for (q.Open(); !q.Eof(); q.Next()) {
            const int key = q.AsInteger(QStringLiteral("IAFCID"));
            if (written.isEmpty())
                first = key;
            EXPECT_EQ(key, first + written.size());
            const auto exact = [&q](const char *name) {
                return QString::number(q.AsFloat(QString::fromLatin1(name)), 'g', 17);
            };
            written << QStringList{q.AsString(QStringLiteral("IFARID")), exact("FAFCQUANTITA"),
                                   exact("FAFCCOSTOUNIT"), q.AsString(QStringLiteral("IALVID")),
                                   q.AsString(QStringLiteral("BAFCNOTE"))};
        }
        EXPECT_EQ(written, expected);
        messages->Clear();
    }
}

TEST_F(kvaChiusuraZeroingTest, EveryArticleAtZeroWritesNoVoucherButLocksAndRecords) {
    const int unload = VoTestVoucher(kvaUnloading, QDate(2026, 6, 1), regYears[0]);
    VoTestRow(unload, a, 6, 6);
    VoTestRow(unload, b, 3, 2);
    VoTestRow(unload, c, 24, 1);
    Close();
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    // Nothing is carried, yet every article was looked at: the bar is not left empty.
    EXPECT_EQ(fm->gaProgressArticoli->value(), fm->gaProgressArticoli->maximum());
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE SFBUOUSE IN ('SCACHIUS', 'CARCHIUS')")),
              0);
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE IDWGFACANFID = %1 AND ILOCKED = 0")
                        .arg(regYears[0])),
              0);
    EXPECT_EQ(Amounts().size(), 10);
}

TEST_F(kvaChiusuraZeroingTest, AFailureLeavesNothingOfTheClosing) {
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_CLOSING_TEST 'categoria rifiutata'"));
    VoExecRaw(
        QStringLiteral("CREATE TRIGGER TCHACAF_TEST FOR TCHACAF BEFORE INSERT AS BEGIN IF (NEW.ICAFID = 3) "
                       "THEN EXCEPTION E_CLOSING_TEST; END"));
    Close();
    ASSERT_EQ(messages->Texts().size(), 1);
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("categoria rifiutata")))
        << messages->LastText().toStdString();
    EXPECT_FALSE(fm->buOk->isEnabled());
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE SFBUOUSE IN ('SCACHIUS', 'CARCHIUS') OR "
                                   "ILOCKED = 1")),
              0);
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TCHA_CHIUSURAANNO")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TCHACAF")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TAFC_ARTVELIST WHERE IFARID = %1").arg(a)), 3);
}

// A stock gathered from many accepted loads is carried however large, in loading units and in the
// pieces of its unit; a cost stored before the bounds held, which no accepted load gives, stops the
// closing by name and nothing of it is written.
TEST_F(kvaChiusuraZeroingTest, CarriesAnyStockOfAcceptedRowsButNoCostBeyondThem) {
    const int staples = Article(QStringLiteral("Punti"), 1, VoTestUnit(1000, QStringLiteral("SC")));
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 6, 1), regYears[0]);
    VoTestRow(load, staples, 99999, 0.5);
    VoTestRow(load, staples, 99999, 0.5);
    Close();
    EXPECT_TRUE(messages->Texts().endsWith(QStringLiteral("Chiusura completata")))
        << messages->LastText().toStdString();
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT buo.SFBUOUSE || '|' || CAST(afc.FAFCQUANTITA AS BIGINT) FROM "
                                  "TAFC_ARTVELIST afc JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID "
                                  "WHERE afc.IFARID = :s AND buo.SFBUOUSE IS NOT NULL ORDER BY 1"),
                   {{QStringLiteral("s"), staples}}),
        (QStringList{"CARCHIUS|199998", "SCACHIUS|199998000"}));

    MakeYears(1, 0, {2026, 2027});
    const int board = Article(QStringLiteral("Lavagna"), 1);
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2026, 2, 1), regYears[0]), board, 1, 250000);
    messages->Clear();
    Close();
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral(
                                     "Attenzione ! \r\nBuono di inizio anno, articolo \"LAVAGNA\": il campo "
                                     "\"Costo unitario\" non può superare 199.999,98. Nulla è stato "
                                     "registrato. ")});
    EXPECT_EQ(
        Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE IDWGFACANFID IN (%1, %2) AND (SFBUOUSE IS "
                             "NOT NULL OR ILOCKED = 1)")
                  .arg(regYears[0])
                  .arg(regYears[1])),
        0);
}

TEST_F(kvaChiusuraZeroingTest, AnnullaInTheMiddleLeavesTheDatabaseAsItWas) {
    const QString everything = QStringLiteral(
        "SELECT 'V', IFBUOID, ILOCKED, SFBUOUSE FROM TFBUO_BUONI UNION ALL SELECT 'R', IAFCID, "
        "IFBUOID, FAFCQUANTITA FROM TAFC_ARTVELIST UNION ALL SELECT 'C', ICHAID, IFACID, NULL FROM "
        "TCHA_CHIUSURAANNO UNION ALL SELECT 'T', ICHACAFID, ICAFID, NULL FROM TCHACAF ORDER BY 1, 2");
    const QStringList before = VoRowTexts(everything);
    {
        // The user presses "Annulla" once two of the four articles moved are looked at (both carried).
        TVoPressAnnulla annulla(2);
        Close();
        EXPECT_EQ(annulla.Counts(), (QStringList{"1 di 4", "2 di 4"}));
    }
    TfmVoWait *wait = fmVoWait();
    EXPECT_TRUE(messages->Texts().isEmpty()) << messages->Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(wait->isVisible());
    EXPECT_FALSE(wait->Cancellable());
    EXPECT_EQ(VoRowTexts(everything), before);
    EXPECT_FALSE(qqoVoGlobConn->InTransaction());
}

TEST_F(kvaChiusuraTest, AcrossYearsLocksEveryYearAndTotalsThemAll) {
    MakeYears(0, 1, {2026, 2025, 2027});
    const int art = Article(QStringLiteral("Carta"), 4);
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2025, 3, 1), regYears[1]), art, 10, 2);
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2026, 3, 1), regYears[0]), art, 5, 4);
    VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 6, 1), regYears[0]), art, 3, 1);
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2027, 2, 1), regYears[2]), art, 100, 100);
    const int other = VoTestOtherRegisterYear(QStringLiteral("Altro registro"), 2026);
    VoTestVoucher(kvaLoading, QDate(2026, 3, 1), other);
    Close();
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    // Nothing is carried, yet every article was looked at: the bar is not left empty.
    EXPECT_EQ(fm->gaProgressArticoli->value(), fm->gaProgressArticoli->maximum());
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE SFBUOUSE IN ('SCACHIUS', 'CARCHIUS')")),
              0);
    EXPECT_EQ(
        VoRowTexts(QStringLiteral("SELECT ILOCKED, COUNT(*) FROM TFBUO_BUONI WHERE IDWGFACANFID IN (%1) "
                                  "GROUP BY ILOCKED")
                       .arg(QStringLiteral("%1, %2, %3").arg(regYears[0]).arg(regYears[1]).arg(regYears[2]))),
        (QStringList{"1", "4"}));
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE IDWGFACANFID = :o AND ILOCKED = 0"),
                          {{QStringLiteral("o"), other}}),
              1);
    // 20 + 20 loaded up to the year's end, 3 unloaded; the next year's load is after the date.
    EXPECT_EQ(Amounts(), (QStringList{"1", "0", "2", "0", "3", "0", "4", "37", "5", "0"}));
}

TEST_F(kvaChiusuraTest, ACategorysValueIsTheSumOfItsRowsAmountsToTheCent) {
    MakeYears(0, 1, {2026, 2027});
    const int art = Article(QStringLiteral("Carta"), 4);
    // Three loads of 3 x 1,115 = 3,345, each 3,35 on paper, and an unload of 1,005, 1,01 on paper.
    const int load = VoTestVoucher(kvaLoading, QDate(2026, 3, 1), regYears[0]);
    for (int row = 0; row < 3; ++row)
        VoTestRow(load, art, 3, 1.115);
    VoTestRow(VoTestVoucher(kvaUnloading, QDate(2026, 6, 1), regYears[0]), art, 1, 1.005);
    Close();
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    EXPECT_DOUBLE_EQ(VoSelectValue(QStringLiteral("SELECT FCHACAFIMPORTO FROM TCHACAF WHERE ICAFID = 4 AND "
                                                  "ICHAID = (SELECT MAX(ICHAID) FROM TCHA_CHIUSURAANNO)"))
                         .toDouble(),
                     9.04);
}

TEST_F(kvaChiusuraTest, TheNextYearIsFoundByItsYearNotByItsKey) {
    MakeFinancialYear(2030); // takes the key after 2027's
    MakeFinancialYear(2028, DateToDays(QDate(2028, 1, 1)), DateToDays(QDate(2028, 12, 31)));
    ASSERT_NE(YearId(2028), YearId(2027) + 1);
    MakeYears(1, 0, {2027, 2028});
    VoTestRow(VoTestVoucher(kvaLoading, QDate(2027, 3, 1), regYears[0]), Article(QStringLiteral("Carta"), 1),
              2, 3);
    Close();
    EXPECT_EQ(messages->Texts(), QStringList{kDone});
    EXPECT_EQ(VoRowTexts(QStringLiteral(
                  "SELECT IDWGFACANFID, DFBUODATA FROM TFBUO_BUONI WHERE SFBUOUSE = 'CARCHIUS'")),
              (QStringList{QString::number(regYears[1]), "2028-01-01"}));
}

TEST_F(kvaChiusuraTest, RefusesWithoutTheNextYearOrMovedArticles) {
    const struct {
        int numbering;
        QList<int> years;
        bool refused;
    } cases[] = {{1, {2026}, true}, {0, {2026}, true}, {1, {2026, 2028}, true}, {0, {2026, 2028}, false}};
    MakeFinancialYear(2028);
    for (const auto &e : cases) {
        SCOPED_TRACE(e.years.size() * 10 + e.numbering);
        messages->Clear();
        MakeYears(e.numbering, 0, e.years);
        // Shown as the menu shows it, without waiting for an activation that a refused window never gets.
        fm = qobject_cast<TfmKvaChiusura *>(CreateVoClass(QStringLiteral("TfmkvaChiusura")));
        ASSERT_TRUE(fm);
        fm->show();
        QApplication::processEvents();
        EXPECT_EQ(messages->Texts(), e.refused ? QStringList{kNoNextYear} : QStringList{});
        EXPECT_EQ(fm->isVisible(), !e.refused);
        if (!e.refused) {
            // Nothing moved in the year: OK is never enabled.
            VoClick(fm->buNext);
            EXPECT_EQ(fm->laNumArticoli->text(), QStringLiteral("0"));
            EXPECT_FALSE(fm->buOk->isEnabled());
        }
        VoCloseWindow(fm);
    }
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TCHA_CHIUSURAANNO")), 0);
}

// --- Hand-over to the durable-goods program ------------------------------------------------------

class kvaSelectBenDurTest : public kvaChiusuraTest {
protected:
    void SetUp() override {
        kvaChiusuraTest::SetUp();
        MakeYears(1, 0, {2026, 2027});
        for (const char *use : {"", "BENDUR", "BENDUR_IMP", "SCAAUTO", "SCACHIUS"}) {
            const int id = VoTestVoucher(kvaUnloading, QDate(2026, 5, 1), regYears[0]);
            VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET SFBUOUSE = NULLIF(:u, '') WHERE IFBUOID = :id"),
                      {{QStringLiteral("u"), QString::fromLatin1(use)}, {QStringLiteral("id"), id}});
            unloads << id;
        }
        VoTestVoucher(kvaLoading, QDate(2026, 5, 1), regYears[0]);
        VoTestVoucher(kvaUnloading, QDate(2027, 5, 1), regYears[1]);
        before = Uses();
    }
    TfmkvaSelectBenDur *OpenSelect() {
        auto *select = Open<TfmkvaSelectBenDur>(QStringLiteral("TfmkvaSelectBenDur"));
        return select;
    }
    static QStringList Uses() {
        return VoRowTexts(QStringLiteral("SELECT IFBUOID, SFBUOUSE FROM TFBUO_BUONI ORDER BY IFBUOID"));
    }
    // The vouchers the durable-goods program offers for its import in a year.
    static QStringList Offered(int year) {
        return VoRowTexts(
            QStringLiteral("SELECT buo.IFBUOID FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON "
                           "(buo.iDwgFacAnfId = dfa.iDwgFacAnfId) INNER JOIN TAnf_AnniFinanz anf ON "
                           "(dfa.iAnfId = anf.iAnfId) WHERE (buo.sFBuoUse='BENDUR') AND "
                           "(anf.iAnfValore=:y) ORDER BY buo.IFBUOID"),
            {{QStringLiteral("y"), year}});
    }
    QList<int> unloads;
    QStringList before;
};

// The year-end voucher and a voucher already imported keep their markers: neither is offered, so
// neither comes into the inventory's import (again).
TEST_F(kvaSelectBenDurTest, NoneChosenMarksEveryUnloadingVoucherOfTheYearButTheYearEndAndTheImported) {
    auto *select = OpenSelect();
    ASSERT_TRUE(select);
    EXPECT_EQ(select->windowTitle(), QStringLiteral("Passaggio a beni durevoli"));
    EXPECT_EQ(select->frVoMultiSel->xqcMultiSelect->RecordCount(), 3);
    messages->Push(mrYes);
    VoClick(select->buOk);
    // Once marked, the window says how many went and ends.
    EXPECT_EQ(messages->Texts(),
              (QStringList{QStringLiteral("Sono stati selezionati 3 buoni da passare nel registro "
                                          "dei beni durevoli.\r\nContinuare?"),
                           QStringLiteral("Sono stati passati 3 buoni al registro dei beni durevoli.")}));
    EXPECT_FALSE(select->isVisible());
    EXPECT_EQ(Offered(2026), (QStringList{QString::number(unloads[0]), QString::number(unloads[1]),
                                          QString::number(unloads[3])}));
    EXPECT_EQ(VoRowTexts(QStringLiteral("SELECT SFBUOUSE FROM TFBUO_BUONI WHERE IFBUOID IN (:a, :b) ORDER BY "
                                        "IFBUOID"),
                         {{QStringLiteral("a"), unloads[2]}, {QStringLiteral("b"), unloads[4]}}),
              (QStringList{"BENDUR_IMP", "SCACHIUS"}));
    EXPECT_EQ(Offered(2027), QStringList{});
    EXPECT_EQ(Count(QStringLiteral("SELECT 1 FROM TFBUO_BUONI WHERE IFBUOTIPO = 0 AND SFBUOUSE IS NOT NULL")),
              0);
}

TEST_F(kvaSelectBenDurTest, OnlyTheChosenAreMarkedAndOnlyOnYes) {
    auto *select = OpenSelect();
    ASSERT_TRUE(select);
    for (int answer : {mrNo, mrCancel}) {
        messages->Push(answer);
        select->frVoMultiSel->SetSelected(0, true);
        VoClick(select->buOk);
        EXPECT_TRUE(select->isVisible());
        EXPECT_EQ(Uses(), before);
    }
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Sono stati selezionati 1 buoni da passare nel registro dei "
                             "beni durevoli.\r\nContinuare?"));
    messages->Push(mrYes);
    VoClick(select->buOk);
    EXPECT_EQ(messages->LastText(), QStringLiteral("È stato passato 1 buono al registro dei beni durevoli."));
    EXPECT_EQ(Offered(2026), (QStringList{QString::number(unloads[0]), QString::number(unloads[1])}));
}

TEST_F(kvaSelectBenDurTest, AFailureLeavesEveryVoucherAsItWas) {
    VoExecRaw(QStringLiteral("CREATE EXCEPTION E_MARK_TEST 'buono rifiutato'"));
    VoExecRaw(QStringLiteral(
                  "CREATE TRIGGER TFBUO_TEST FOR TFBUO_BUONI BEFORE UPDATE AS BEGIN IF (NEW.IFBUOID = %1) "
                  "THEN EXCEPTION E_MARK_TEST; END")
                  .arg(unloads[3]));
    auto *select = OpenSelect();
    ASSERT_TRUE(select);
    messages->Push(mrYes);
    VoClick(select->buOk);
    EXPECT_TRUE(messages->LastText().contains(QStringLiteral("buono rifiutato")));
    EXPECT_EQ(Uses(), before);
}

// The inventory imports a voucher while the list is open: it keeps its marker, and the user is told
// how many vouchers went.
TEST_F(kvaSelectBenDurTest, AVoucherImportedMeanwhileIsNotMarkedAgain) {
    auto *select = OpenSelect();
    ASSERT_TRUE(select);
    VoExecSQL(QStringLiteral("UPDATE TFBUO_BUONI SET SFBUOUSE = 'BENDUR_IMP' WHERE IFBUOID = :id"),
              {{QStringLiteral("id"), unloads[1]}});
    messages->Push(mrYes);
    VoClick(select->buOk);
    EXPECT_EQ(messages->LastText(),
              QStringLiteral("Sono stati passati 2 buoni al registro dei beni durevoli."));
    EXPECT_EQ(Offered(2026), (QStringList{QString::number(unloads[0]), QString::number(unloads[3])}));
}

TEST_F(kvaSelectBenDurTest, AYearWithoutUnloadingVouchersIsRefused) {
    ChooseRegisterYear(regYears[1]);
    VoExecSQL(QStringLiteral("DELETE FROM TFBUO_BUONI WHERE IDWGFACANFID = :y"),
              {{QStringLiteral("y"), regYears[1]}});
    auto *select = OpenSelect();
    ASSERT_TRUE(select);
    VoClick(select->buOk);
    EXPECT_EQ(messages->Texts(), QStringList{QStringLiteral("Non è stato selezionato nessun buono")});
    EXPECT_TRUE(select->isVisible());
}

} // namespace
