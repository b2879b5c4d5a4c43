// Times the article catalogue's work on the generated register (VoBenchRegister.h): merging the
// article with 500 unloading rows into another, the one-time rebuild of the catalogue from the
// 200,000 rows kept as rows were kept before the catalogue existed (5,000 distinct articles, each
// row carrying its article's code and description), and one filter of the articles window's search
// box over a catalogue of 20,000 articles.
//
//   bench_articles
#include "AbeRRicerca.h"
#include "VoBench.h"
#include "VoBenchContext.h"
#include "VoBenchRegister.h"
#include "VoDates.h"
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
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

namespace {

constexpr int kCatalogue = 20000;

// Rows as they were kept before the catalogue: no article, the article named by its code and
// description alone. Rows already kept so keep their descriptions: a rebuild runs on them again.
const char *const kLegacySQL =
    "UPDATE TAFC_ARTVELIST afc SET afc.SAFCSDESC = (SELECT far.SFARSDESC FROM TFAR_FACARTICOLI far WHERE "
    "far.IFARID = afc.IFARID), afc.SAFCLDESC = (SELECT far.SFARLDESC FROM TFAR_FACARTICOLI far WHERE "
    "far.IFARID = afc.IFARID), afc.SAFCLIBTITOLO = NULL, afc.SAFCLIBAUTORE = NULL, afc.SAFCLIBEDITORE = "
    "NULL, "
    "afc.ICAFID = 1, afc.IUNMID = (SELECT far.IUNMID FROM TFAR_FACARTICOLI far WHERE far.IFARID = "
    "afc.IFARID), "
    "afc.IFARID = NULL WHERE afc.IFARID IS NOT NULL";

// More articles, "CATALOGO n", up to the catalogue's size.
const char *const kMoreArticlesSQL =
    "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, SFARLIBAUTORE, "
    "SFARLIBEDITORE) "
    "WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM N WHERE I < 999) "
    "SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), LPAD(100000 + a.I * 1000 + b.I, 7, "
    "'0'), "
    "'CATALOGO ' || (a.I * 1000 + b.I), '', '', '' FROM N a CROSS JOIN N b WHERE a.I * 1000 + b.I < :n";

// The least the rebuild must do, with nothing looked up: the old articles deleted (the rows kept as
// before name none), one read of the rows sorted by content making one article per content, and
// every row written once with an article (found once, before the writes).
const char *const kFloorSQL[] = {
    "DELETE FROM TFAR_FACARTICOLI",
    "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, "
    "SFARLDESC) SELECT (SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0)), d.SDESC, d.EDITORE, "
    "d.AUTORE, d.TITOLO, d.LDESC FROM (SELECT DISTINCT afc.SAFCSDESC AS SDESC, COALESCE(afc.SAFCLIBEDITORE, "
    "'') AS EDITORE, COALESCE(afc.SAFCLIBAUTORE, '') AS AUTORE, COALESCE(afc.SAFCLIBTITOLO, '') AS TITOLO, "
    "afc.SAFCLDESC AS LDESC FROM TAFC_ARTVELIST afc) d"};
const char *const kFloorLinkSQL = "UPDATE TAFC_ARTVELIST SET IFARID = :a";

// The rebuild as it ran before, one statement after the other: the rows unlinked, the articles
// cleared and made, every row's article looked up, each attribute copied from the oldest row in a
// statement of its own, and the unloading rows priced again.
#define BENCH_SAME_ARTICLE(far, afc)                                                                         \
    far ".SFARLDESC IS NOT DISTINCT FROM " afc ".SAFCLDESC AND " far ".SFARSDESC IS NOT DISTINCT FROM " afc  \
        ".SAFCSDESC AND " far ".SFARLIBEDITORE = COALESCE(" afc ".SAFCLIBEDITORE, '') AND " far              \
        ".SFARLIBAUTORE = COALESCE(" afc ".SAFCLIBAUTORE, '') AND " far ".SFARLIBTITOLO = COALESCE(" afc     \
        ".SAFCLIBTITOLO, '')"
const char *const kBeforeSQL[] = {
    "UPDATE TAFC_ARTVELIST SET IFARID = NULL WHERE IFARID IS NOT NULL", kFloorSQL[0], kFloorSQL[1],
    "UPDATE TAFC_ARTVELIST afc SET afc.IFARID = (SELECT FIRST 1 far.IFARID FROM TFAR_FACARTICOLI far WHERE "
    BENCH_SAME_ARTICLE("far", "afc") ")"};
const char *const kBeforeAttributeSQL =
    "UPDATE TFAR_FACARTICOLI far SET far.%1 = (SELECT FIRST 1 afc_s.%1 FROM TAFC_ARTVELIST afc_s "
    "WHERE " BENCH_SAME_ARTICLE("far", "afc_s") " ORDER BY afc_s.IAFCID + 0)";

int Count(const QString &sql) {
    return VoSelectValue(sql).toInt();
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
    out << "generated " << Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI")) << " articles, "
        << Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST")) << " rows\n\n";

    // The articles window's stock of one article ("Giacenza"), as the window asks it, beside the plain
    // indexed sum over the article's rows prepared once; both on ordinary articles of 2026.
    VoBenchChooseRegisterYear(k.y26);
    {
        constexpr int kCalls = 100;
        const auto ordinary = [&](int i) { return k.article + 1 + (i * 37) % (kVoBenchArticles - 1); };
        const double day = DateToDays(QDate(2026, 12, 31));
        QSqlQuery sum(db->Database());
        sum.prepare(
            QStringLiteral("SELECT SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA)) FROM "
                           "TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID WHERE "
                           "afc.IFARID = ? AND b.DFBUODATA <= ? AND b.IDWGFACANFID = ?"));
        int i = 0, j = 0;
        const auto ask = [&] { GetStock(ordinary(i++), -1, day); };
        out << "median of " << kVoBenchRuns << " means of " << kCalls << " calls:\n";
        VoBenchFigure(QStringLiteral("stock of one article as the articles window asks it"),
                      {ask, {}, kCalls}, QStringLiteral("plain indexed sum prepared once"),
                      {[&] {
                           sum.bindValue(0, ordinary(j++));
                           sum.bindValue(1, QDate(2026, 12, 31));
                           sum.bindValue(2, k.y26);
                           sum.exec();
                           sum.next();
                           sum.finish();
                       },
                       {},
                       kCalls});
        out << "\n";
    }

    // The first article, 500 unloading rows in 2026, into another bought in boxes of 12 as it is.
    const int merged = k.article;
    const int into = k.article + 5;
    const QString unloading =
        QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST afc JOIN TFBUO_BUONI b ON "
                       "b.IFBUOID = afc.IFBUOID WHERE b.IFBUOTIPO = 1 AND afc.IFARID = %1");
    const int moved = Count(unloading.arg(merged));
    const double replace = VoMillis([&] { kvaReplaceArticle(merged, into); });
    out << "replacement of an article with " << moved << " unloading rows by one with "
        << Count(unloading.arg(into)) - moved
        << " (rows moved, article deleted, the unloading rows priced again): " << replace << " ms\n";

    // The rebuild as a program starts it on rows kept as before the catalogue, beside its floor: the
    // writes it must make (the articles cleared and made from the rows' distinct contents, every row
    // linked) with nothing looked up, in a transaction rolled back.
    const auto legacy = [] {
        VoExecSQL(QString::fromLatin1(kLegacySQL));
        VoExecSQL(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET BYXARXMLFILE = NULL WHERE IYXARID = 26001"));
    };
    legacy();
    const int distinct = Count(QStringLiteral("SELECT COUNT(DISTINCT SAFCLDESC) FROM TAFC_ARTVELIST"));
    out << "rebuild of the catalogue from " << kVoBenchRows << " rows holding " << distinct
        << " distinct articles, median of " << kVoBenchRuns << " runs:\n";
    // What the last rebuild left, read before the floor's runs put the rows back as they were kept.
    QString made;
    const auto afterRebuild = [&] {
        if (made.isEmpty())
            made = QStringLiteral("%1 articles made, %2 rows left without one; marker %3")
                       .arg(Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI")))
                       .arg(Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST WHERE IFARID IS NULL")))
                       .arg(VoSelectValue(
                                QStringLiteral(
                                    "SELECT BYXARXMLFILE FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 26001"))
                                .toString());
        legacy();
    };
    // The longest the wait window's count stands still during a rebuild.
    QElapsedTimer sinceStep;
    qint64 stillFor = 0;
    fmVoWait()->OnProgress = [&](int) {
        stillFor = qMax(stillFor, sinceStep.restart());
    };
    VoBenchFigure(QStringLiteral("rebuild"), {[&] {
                                                 sinceStep.start();
                                                 SyncArticles();
                                                 stillFor = qMax(stillFor, sinceStep.elapsed());
                                             },
                                             legacy},
                  QStringLiteral("its least reads and writes"),
                  {{}, afterRebuild, 1, [] {
                       TVoTransaction t;
                       t.StartTransaction();
                       const double ms = VoMillis([] {
                           for (const char *sql : kFloorSQL)
                               VoExecSQL(QString::fromLatin1(sql));
                           VoExecSQL(QString::fromLatin1(kFloorLinkSQL),
                                     {{QStringLiteral("a"),
                                       VoSelectValue(QStringLiteral("SELECT FIRST 1 IFARID FROM TFAR_FACARTICOLI"))}});
                       });
                       t.Rollback();
                       Count(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"));
                       return ms;
                   }});
    fmVoWait()->OnProgress = nullptr;
    out << "  " << made << "; the count stood still at most " << stillFor << " ms\n";
    {
        TVoTransaction t;
        t.StartTransaction();
        const double ms = VoMillis([] {
            for (const char *sql : kBeforeSQL)
                VoExecSQL(QString::fromLatin1(sql));
            for (const char *column : {"ICFMID", "ICAFID", "IDCMID", "IMERID", "IUNMID", "IALVID"})
                VoExecSQL(QString::fromLatin1(kBeforeAttributeSQL).arg(QLatin1String(column)));
            VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZATUTTI"));
        });
        t.Rollback();
        out << "  the rebuild statement by statement (before), once: " << ms << " ms\n";
    }
    // The pricing on the rows as a rebuild leaves them, their unloading costs cleared first so that
    // every one is written again.
    legacy();
    SyncArticles();
    {
        TVoTransaction t;
        t.StartTransaction();
        const int unloadingRows = VoExecSQL(
            QStringLiteral("UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = 0 WHERE afc.IFBUOID IN (SELECT "
                           "b.IFBUOID FROM TFBUO_BUONI b WHERE b.IFBUOTIPO = 1)"));
        const double repricing =
            VoMillis([] { VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVA_RIPREZZATUTTI")); });
        t.Rollback();
        out << "  of which the pricing of the " << unloadingRows << " unloading rows again takes about "
            << repricing << " ms\n";
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
    const auto filter = [&](const QString &text) {
        box->edRicerca->setText(text);
        return VoMillis([box] { box->tmFiltTimer(); });
    };
    const double first = filter(QStringLiteral("ARTICOLO 12"));
    const int shown = window->xqcArticoli->RecordCount();
    const double again = filter(QStringLiteral("CATALOGO 1"));
    out << "search box over " << Count(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"))
        << " articles: first filter " << first << " ms (reads the rows not yet read; " << shown
        << " shown), a later filter " << again << " ms (" << window->xqcArticoli->RecordCount()
        << " shown)\n";
    window->close();
    return 0;
}
