// Times the article catalogue's work on the generated register (VoBenchRegister.h), each beside its
// least reads and writes: merging the article with 500 unloading rows into another; the one-time
// rebuild of the catalogue from the 200,000 rows kept as rows were kept before the catalogue existed
// (5,000 distinct articles, each row carrying its article's code and description, its unloading cost
// as the register priced it), with how long its count stands still; the pricing of every unloading
// row again; and the articles window's search box over a catalogue of 20,000 articles.
//
// Every run of a job that rewrites the rows starts from a copy of the same database
// (TVoBenchSnapshot): a run rolled back would leave the next one 200,000 old versions to clean up.
//
//   bench_articles
#include "AbeRRicerca.h"
#include "VoBench.h"
#include "VoBenchRegister.h"
#include "VoForms.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "kvaFArtSost.h"
#include "kvaFArticoli.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextStream>
#include <memory>

namespace {

constexpr int kCatalogue = 20000;
// The rebuild rewrites every row: three runs give a steady median. The pricing, run once, keeps the
// whole under five minutes on a busy machine.
constexpr int kJobRuns = 3;
constexpr int kPricingRuns = 1;

// Rows as they were kept before the catalogue: no article, the article named by its code and
// description alone.
const char *const kLegacySQL =
    "UPDATE TAFC_ARTVELIST afc SET afc.SAFCSDESC = (SELECT far.SFARSDESC FROM TFAR_FACARTICOLI far WHERE "
    "far.IFARID = afc.IFARID), afc.SAFCLDESC = (SELECT far.SFARLDESC FROM TFAR_FACARTICOLI far WHERE "
    "far.IFARID = afc.IFARID), afc.SAFCLIBTITOLO = NULL, afc.SAFCLIBAUTORE = NULL, afc.SAFCLIBEDITORE = "
    "NULL, afc.ICAFID = 1, afc.IUNMID = (SELECT far.IUNMID FROM TFAR_FACARTICOLI far WHERE far.IFARID = "
    "afc.IFARID), afc.IFARID = NULL WHERE afc.IFARID IS NOT NULL";

// More articles, "CATALOGO n", up to the catalogue's size.
const char *const kMoreArticlesSQL =
    "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, SFARLIBAUTORE, "
    "SFARLIBEDITORE) "
    "WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM N WHERE I < 999) "
    "SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), LPAD(100000 + a.I * 1000 + b.I, 7, "
    "'0'), 'CATALOGO ' || (a.I * 1000 + b.I), '', '', '' FROM N a CROSS JOIN N b WHERE a.I * 1000 + b.I < :n";

// The least the rebuild must do, with nothing looked up and nothing sorted: every row's contents read
// once in the order the rows lie, and once more with its voucher's date for the re-pricing; as many articles made, with keys drawn in one go, as the old
// catalogue holds (its contents are the rows' distinct contents, a few more), copied from it; every
// row written once with an article (a row's worked out from its own key, so that each article gets
// about as many rows as its content has, as the index on the rows' article expects); the old
// catalogue deleted by its keys.
const char *const kFloorReadSQL =
    "SELECT COUNT(afc.SAFCSDESC), COUNT(afc.SAFCLDESC), COUNT(afc.SAFCLIBEDITORE), COUNT(afc.SAFCLIBAUTORE), "
    "COUNT(afc.SAFCLIBTITOLO) FROM TAFC_ARTVELIST afc";
const char *const kFloorDatesSQL =
    "SELECT COUNT(b.DFBUODATA) FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID";
const char *const kFloorArticlesSQL =
    "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, SFARLDESC, "
    "ICFMID, ICAFID, IDCMID, IMERID, IUNMID, IALVID) SELECT :a + ROW_NUMBER() OVER (ORDER BY far.IFARID) - 1, "
    "far.SFARSDESC, far.SFARLIBEDITORE, far.SFARLIBAUTORE, far.SFARLIBTITOLO, far.SFARLDESC, far.ICFMID, "
    "far.ICAFID, far.IDCMID, far.IMERID, far.IUNMID, far.IALVID FROM TFAR_FACARTICOLI far";
const char *const kFloorLinkSQL = "UPDATE TAFC_ARTVELIST SET IFARID = :a + MOD(IAFCID, :n)";
const char *const kFloorDeleteSQL = "DELETE FROM TFAR_FACARTICOLI WHERE IFARID < :a OR IFARID >= :e";

// The rebuild as it ran before, one statement after the other: the rows unlinked, the articles
// cleared and made, every row's article looked up, each attribute copied from the oldest row in a
// statement of its own, and the unloading rows priced again.
#define BENCH_SAME_ARTICLE(far, afc)                                                                         \
    far ".SFARLDESC IS NOT DISTINCT FROM " afc ".SAFCLDESC AND " far ".SFARSDESC IS NOT DISTINCT FROM " afc  \
        ".SAFCSDESC AND " far ".SFARLIBEDITORE = COALESCE(" afc ".SAFCLIBEDITORE, '') AND " far              \
        ".SFARLIBAUTORE = COALESCE(" afc ".SAFCLIBAUTORE, '') AND " far ".SFARLIBTITOLO = COALESCE(" afc     \
        ".SAFCLIBTITOLO, '')"
const char *const kBeforeSQL[] = {
    "UPDATE TAFC_ARTVELIST SET IFARID = NULL WHERE IFARID IS NOT NULL", "DELETE FROM TFAR_FACARTICOLI",
    "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, "
    "SFARLDESC) SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), d.SDESC, d.EDITORE, "
    "d.AUTORE, d.TITOLO, d.LDESC FROM (SELECT DISTINCT afc.SAFCSDESC AS SDESC, COALESCE(afc.SAFCLIBEDITORE, "
    "'') AS EDITORE, COALESCE(afc.SAFCLIBAUTORE, '') AS AUTORE, COALESCE(afc.SAFCLIBTITOLO, '') AS TITOLO, "
    "afc.SAFCLDESC AS LDESC FROM TAFC_ARTVELIST afc) d",
    "UPDATE TAFC_ARTVELIST afc SET afc.IFARID = (SELECT FIRST 1 far.IFARID FROM TFAR_FACARTICOLI far WHERE "
    BENCH_SAME_ARTICLE("far", "afc") ")"};
const char *const kBeforeAttributeSQL =
    "UPDATE TFAR_FACARTICOLI far SET far.%1 = (SELECT FIRST 1 afc_s.%1 FROM TAFC_ARTVELIST afc_s "
    "WHERE " BENCH_SAME_ARTICLE("far", "afc_s") " ORDER BY afc_s.IAFCID + 0)";

const char *const kUnloadingRowsSQL = "afc.IFBUOID IN (SELECT b.IFBUOID FROM TFBUO_BUONI b WHERE b.IFBUOTIPO = 1)";

int Count(const QString &sql) {
    return VoSelectValue(sql).toInt();
}

// Statements in one transaction, committed, timed.
double Committed(const std::function<void()> &work) {
    TVoTransaction t;
    t.StartTransaction();
    const double ms = VoMillis([&] {
        work();
        t.Commit();
    });
    return ms;
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_articles"));
    if (!bench.Ok())
        return 1;
    kvaRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const TVoBenchRegister k = VoBenchGenerateRegister(db);
    // Every unloading row at its price, as the register keeps them.
    VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZATUTTI"));
    out << "generated " << Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI")) << " articles, "
        << Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST")) << " rows, unloading rows priced\n";
    out << "median of " << kVoBenchRuns << " runs, the rebuild of " << kJobRuns << " and the pricing of " << kPricingRuns
        << ", each beside its floor, each run on a copy of the same database:\n";

    {
        // The first article, 500 unloading rows in 2026, into another bought in boxes of 12 as it is.
        const int merged = k.article;
        const int into = k.article + 5;
        const QVariantHash ids{{QStringLiteral("o"), merged}, {QStringLiteral("n"), into}};
        const int moved = Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST WHERE IFARID = %1").arg(merged));
        const int priced = Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST afc WHERE afc.IFARID IN "
                                                "(%1, %2) AND %3")
                                     .arg(merged)
                                     .arg(into)
                                     .arg(QLatin1String(kUnloadingRowsSQL)));
        TVoBenchSnapshot snapshot(db);
        VoBenchFigure(QStringLiteral("replacement of an article of %1 rows by another (rows moved, article "
                                     "deleted, %2 unloading rows priced again)")
                          .arg(moved)
                          .arg(priced),
                      {{}, [&] { snapshot.Fresh(); }, 1, [&] { return VoMillis([&] { kvaReplaceArticle(merged, into); }); }},
                      QStringLiteral("each row moved and each unloading row written once"),
                      {{}, [&] { snapshot.Fresh(); }, 1, [&] {
                           return Committed([&] {
                               VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST SET IFARID = :n WHERE IFARID = :o"),
                                         ids);
                               VoExecSQL(QStringLiteral("DELETE FROM TFAR_FACARTICOLI WHERE IFARID = :o"), ids);
                               VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = "
                                                        "afc.FAFCCOSTOUNIT + 1 WHERE afc.IFARID = :n AND ") +
                                             QLatin1String(kUnloadingRowsSQL),
                                         ids);
                           });
                       }});
        snapshot.Fresh();
    }

    // The rows kept as before the catalogue, their old versions cleaned up before the file is kept.
    VoExecSQL(QString::fromLatin1(kLegacySQL));
    VoExecSQL(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = NULL WHERE IYXARID = 26001"));
    const int rows = Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"));
    const int distinct = Count(QStringLiteral("SELECT COUNT(DISTINCT SAFCLDESC) FROM TAFC_ARTVELIST"));
    {
        TVoBenchSnapshot legacy(db);
        // The longest the wait window's count stands still, and when the rows were all linked.
        QElapsedTimer sinceStep, sinceStart;
        qint64 stillFor = 0;
        double linked = 0;
        int steps = 0, stillUntil = 0;
        fmVoWait()->OnProgress = [&](int position) {
            ++steps;
            const qint64 still = sinceStep.restart();
            if (still > stillFor) {
                stillFor = still;
                stillUntil = position;
            }
            if (position >= rows && linked == 0)
                linked = sinceStart.nsecsElapsed() / 1e6;
        };
        QString made;
        VoBenchFigure(QStringLiteral("rebuild of the catalogue from %1 rows holding %2 distinct articles")
                          .arg(rows)
                          .arg(distinct),
                      {{}, [&] { legacy.Fresh(); }, 1, [&] {
                           linked = 0;
                           sinceStart.start();
                           sinceStep.start();
                           SyncArticles();
                           const double ms = sinceStart.nsecsElapsed() / 1e6;
                           if (sinceStep.elapsed() > stillFor) {
                               stillFor = sinceStep.elapsed();
                               stillUntil = -1;
                           }
                           if (made.isEmpty())
                               made = QStringLiteral("%1 articles made, %2 rows left without one, marker %3; "
                                                     "all rows linked after %4 ms")
                                          .arg(Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI")))
                                          .arg(Count(QStringLiteral(
                                              "SELECT COUNT(*) FROM TAFC_ARTVELIST WHERE IFARID IS NULL")))
                                          .arg(VoSelectValue(QStringLiteral("SELECT BYXARXMLFILE FROM "
                                                                            "TYXAR_XMLARCHIVIO WHERE IYXARID = "
                                                                            "26001"))
                                                   .toString())
                                          .arg(qRound(linked));
                           return ms;
                       }},
                      QStringLiteral("its least reads and writes"),
                      {{}, [&] { legacy.Fresh(); }, 1, [&] {
                           const int articles = Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"));
                           return Committed([&] {
                               const int first = VoBenchReserve(db, QStringLiteral("TFAR_FACARTICOLI"), articles);
                               const QVariantHash p{{QStringLiteral("a"), first},
                                                    {QStringLiteral("n"), articles},
                                                    {QStringLiteral("e"), first + articles}};
                               VoSelectValue(QString::fromLatin1(kFloorReadSQL));
                               VoSelectValue(QString::fromLatin1(kFloorDatesSQL));
                               for (const char *sql : {kFloorArticlesSQL, kFloorLinkSQL, kFloorDeleteSQL})
                                   VoExecSQL(QString::fromLatin1(sql), p);
                           });
                       }},
                      nullptr, kJobRuns);
        fmVoWait()->OnProgress = nullptr;
        out << "  " << made << "; the count (" << 2 * rows + 1 << " steps) moved " << steps / kJobRuns
            << " times a run and stood still at most " << stillFor << " ms, "
            << (stillUntil < 0 ? QStringLiteral("at its end") : QStringLiteral("until step %1").arg(stillUntil))
            << "\n";

        legacy.Fresh();
        const double statements = Committed([] {
            for (const char *sql : kBeforeSQL)
                VoExecSQL(QString::fromLatin1(sql));
            for (const char *column : {"ICFMID", "ICAFID", "IDCMID", "IMERID", "IUNMID", "IALVID"})
                VoExecSQL(QString::fromLatin1(kBeforeAttributeSQL).arg(QLatin1String(column)));
            VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZATUTTI"));
        });
        out << "  the rebuild statement by statement (before), once: " << statements << " ms\n";

        // The rows as a rebuild leaves them, every unloading cost cleared so that each is written again.
        legacy.Fresh();
        SyncArticles();
        const int unloading = VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = 0 WHERE ") +
                                        QLatin1String(kUnloadingRowsSQL));
        Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"));
        TVoBenchSnapshot cleared(db);
        VoBenchFigure(QStringLiteral("pricing of the %1 unloading rows again").arg(unloading),
                      {{}, [&] { cleared.Fresh(); }, 1,
                       [] { return Committed([] { VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZATUTTI")); }); }},
                      QStringLiteral("every row read once with its voucher, each unloading row written"),
                      {{}, [&] { cleared.Fresh(); }, 1, [] {
                           return Committed([] {
                               VoSelectValue(QStringLiteral("SELECT COUNT(b.DFBUODATA) FROM TAFC_ARTVELIST afc "
                                                            "INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID"));
                               VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = 1 WHERE ") +
                                         QLatin1String(kUnloadingRowsSQL));
                           });
                       }},
                      nullptr, kPricingRuns);
        cleared.Fresh();
    }

    VoExecSQL(
        QString::fromLatin1(kMoreArticlesSQL),
        {{QStringLiteral("n"), kCatalogue - Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"))}});
    std::unique_ptr<TfmkvaArticoli> window(VoNewForm<TfmkvaArticoli>());
    window->show();
    QApplication::processEvents();
    TfrKvaRicerca *box = window->frKvaRicerca1;
    box->poSearch->actions().at(1)->trigger();
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(box->edRicerca, &focusIn);
    const QString list = window->xqcArticoli->CommandText();
    const QString field = window->frKvaRicerca1->SearchField();
    // The first filter reads every row not read yet; a later one looks through the rows in memory.
    VoBenchFigure(QStringLiteral("search box over %1 articles, first filter \"ARTICOLO 12\"")
                      .arg(Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"))),
                  {[&] { box->tmFiltTimer(); },
                   [&] {
                       box->edRicerca->setText(QString());
                       box->tmFiltTimer();
                       window->xqcArticoli->Close();
                       window->xqcArticoli->Open();
                       box->edRicerca->setText(QStringLiteral("ARTICOLO 12"));
                   }},
                  QStringLiteral("the list's select read to its end"), {[&] {
                      TVoQuery q(list);
                      q.Open().CountToEnd();
                  }});
    const int shown = window->xqcArticoli->RecordCount();
    QStringList texts;
    for (int r = 0; r < window->xqcArticoli->FetchedCount(); ++r)
        texts << window->xqcArticoli->RowValue(r, window->xqcArticoli->FieldByName(field)->Index()).toString();
    VoBenchFigure(QStringLiteral("  a later filter \"CATALOGO 1\" (%1 shown before)").arg(shown),
                  {[&] { box->tmFiltTimer(); }, [&] { box->edRicerca->setText(QStringLiteral("CATALOGO 1")); }},
                  QStringLiteral("the rows' texts compared in a plain list"), {[&] {
                      int found = 0;
                      for (const QString &text : std::as_const(texts))
                          found += text.contains(QStringLiteral("CATALOGO 1"), Qt::CaseInsensitive);
                      Q_UNUSED(found);
                  }});
    out << "  " << window->xqcArticoli->RecordCount() << " shown after the later filter\n";
    window->close();
    return 0;
}
