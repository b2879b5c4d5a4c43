// Times the stock procedures on a generated register: 5,000 articles and 200,000 voucher rows over
// the register-years 2025 and 2026 of the demo register. Every article has an opening load in
// each year and about 38 rows spread over 4,000 vouchers; article 1 also has 100 loads and 500
// unloads in 2026, unloaded in boxes of 12. Reported: one PKVA_GETGIACENZA call against the same
// stock by a plain indexed sum over the article's rows (both prepared once, in a transaction open),
// one PKVA_CONTROLLAGIAC call, and the
// re-pricing of the 500 unloading rows, per register-year and across years. The stock of every article
// in one pass is checked against the procedure asked article by article, to the last bit.
//
//   bench_stock [calls]     calls: how many calls each figure averages (default 500)
#include "VoBench.h"
#include "VoBenchRegister.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {

constexpr int kRuns = 5;

// What saving a row of an article runs: every unloading row of the article in the numbering scope of
// the saved row's voucher priced again, the article's rows walked once in date order.
const char *const kRepricingSQL = "EXECUTE PROCEDURE PKVA_RIPREZZABUONO(:iFarId, :iFBuoId)";

// The stock alone, summed straight over the article's rows of the scope: what the procedure adds to
// this (scope and unit factor looked up, the average cost with its VAT join) is its overhead.
const QString kPlainSum = QStringLiteral(
    "SELECT SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA / :f)) "
    "  FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID "
    " WHERE afc.IFARID = :iFarId AND buo.DFBUODATA <= :data AND buo.IDWGFACANFID IN (:y, :y2)");

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream &out = Out();
    const int calls = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 500;
    QTemporaryDir dir;
    const std::unique_ptr<TVoSQLConnection> db = VoBenchDemoDatabase(dir, QStringLiteral("bench_stock"), out);
    if (!db)
        return 1;
    TVoSQLConnection &conn = *db;

    QElapsedTimer timer;
    timer.start();
    const TVoBenchRegister k = VoBenchGenerateRegister(&conn);
    out << "generated "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"), {}, &conn).toInt()
        << " articles, "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFBUO_BUONI"), {}, &conn).toInt()
        << " vouchers, "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"), {}, &conn).toInt()
        << " rows in " << timer.elapsed() << " ms\n";

    const QDate end(2026, 12, 31);
    const int hot = k.article;
    const int someUnloadingVoucher = k.voucher + 3000; // in 2026
    // Ordinary articles: a walk through the catalogue that skips the hot one.
    const auto ordinary = [&](int i) { return k.article + 1 + (i * 37) % (kVoBenchArticles - 1); };
    const auto factor = [&](int article) { return (article - k.article) % 5 == 0 ? 12.0 : 1.0; };
    int numbering = 1;

    // As the programs call the procedures: a short-lived query at each call, outside a write in the
    // connection's kept read transaction.
    const auto stock = [&](int article) {
        TVoQuery q(QStringLiteral(
                       "SELECT GIACENZA, COSTOUNIMED FROM PKVA_GETGIACENZA(:iFarId, :data, :iDwgFacAnfId, "
                       ":iSecId)"),
                   &conn);
        q.SetParam(QStringLiteral("iFarId"), article)
            .SetParam(QStringLiteral("data"), end)
            .SetParam(QStringLiteral("iDwgFacAnfId"), k.y26)
            .SetParam(QStringLiteral("iSecId"), -1);
        q.Open();
        return q.AsFloat(QStringLiteral("GIACENZA"));
    };
    const auto check = [&](int article) {
        TVoQuery q(
            QStringLiteral("SELECT CONTROLLO FROM PKVA_CONTROLLAGIAC(:iFarId, -1, NULL, -1, :iDwgFacAnfId)"),
            &conn);
        q.SetParam(QStringLiteral("iFarId"), article).SetParam(QStringLiteral("iDwgFacAnfId"), k.y26);
        q.Open();
        return q.AsInteger(QStringLiteral("CONTROLLO"));
    };
    // The engine's own time: statements prepared once and run again with new values.
    // Prepared outside a transaction, the driver runs them in one of their own from then on: they are
    // prepared again in each transaction they are timed in, so that they never read an old snapshot
    // (which walks back past every later write, and keeps those versions from being cleaned up).
    QSqlQuery procPrepared(conn.Database()), sumPrepared(conn.Database());
    const auto prepareBoth = [&] {
        procPrepared.prepare(
            VoParseSQL(QStringLiteral("SELECT GIACENZA FROM PKVA_GETGIACENZA(:a, :d, :y, -1)")).text);
        sumPrepared.prepare(VoParseSQL(kPlainSum).text);
    };
    const auto run = [](QSqlQuery &q, const QVariantList &values) {
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        q.exec();
        const double value = q.next() ? qRound64(q.value(0).toDouble() * 1e6) / 1e6 : -1e300;
        q.finish();
        return value;
    };
    const auto stockPrepared = [&](int article) { return run(procPrepared, {article, end, k.y26}); };
    const auto sumOnce = [&](int article) {
        return run(sumPrepared, {factor(article), article, end, k.y26, numbering == 1 ? k.y26 : k.y25});
    };

    for (const int scope : {1, 0}) {
        numbering = scope;
        VoExecSQL(QStringLiteral("UPDATE TFAC_VELISTO SET IFACNUMERAZ = :n"),
                  {{QStringLiteral("n"), numbering}}, &conn);
        prepareBoth();
        out << "\n"
            << (numbering == 1 ? "Numbering per register-year (the rows of 2026 count)"
                               : "Numbering across years (the rows of 2025 and 2026 count)")
            << ", median of " << kRuns << " means of " << calls << " calls (" << qMax(1, calls / 5)
            << " for the article of 600 rows):\n";
        int differ = 0;
        for (int i = 0; i < 100; ++i)
            differ += stock(ordinary(i)) != sumOnce(ordinary(i));
        differ += stock(hot) != sumOnce(hot);
        for (const bool isHot : {false, true}) {
            const auto article = [&](int i) { return isHot ? hot : ordinary(i); };
            // The article of 600 rows costs ten times more a call: fewer calls give as steady a mean.
            const int n = isHot ? qMax(1, calls / 5) : calls;
            const auto median = [&](const std::function<void(int)> &fn) {
                return VoMedianOf(kRuns, [&] { return VoMeanMicros(n, fn); });
            };
            const double called = median([&](int i) { stock(article(i)); });
            // The same short-lived query per call, inside one transaction of a job: prepared once.
            conn.StartTransaction();
            const double inJob = median([&](int i) { stock(article(i)); });
            conn.Commit();
            // The engine's own time: in a transaction open, as the least a read costs.
            conn.StartTransaction();
            prepareBoth();
            const double proc = median([&](int i) { stockPrepared(article(i)); });
            const double sum = median([&](int i) { sumOnce(article(i)); });
            conn.Commit();
            const double ctl = median([&](int i) { check(article(i)); });
            out << (isHot ? "  article with 600 rows in 2026\n" : "  ordinary article (about 40 rows)\n");
            VoBenchBeside(QStringLiteral("  PKVA_GETGIACENZA as a job calls it (one transaction)"), inJob,
                          QStringLiteral("plain indexed sum prepared once"), sum, QStringLiteral("us"));
            VoBenchBeside(QStringLiteral("  PKVA_GETGIACENZA alone, prepared once"), proc,
                          QStringLiteral("plain indexed sum prepared once"), sum, QStringLiteral("us"));
            VoBenchBeside(QStringLiteral("  PKVA_GETGIACENZA as a window asks it (the kept read transaction)"), called,
                          QStringLiteral("plain indexed sum prepared once"), sum, QStringLiteral("us"));
            out << "    PKVA_CONTROLLAGIAC as a window asks it: " << ctl << " us\n";
            out.flush();
        }
        if (differ)
            out << "  procedure and plain sum DIFFER for " << differ << " articles\n";
        {
            const QDate at(2026, 6, 30);
            int articles = 0, differ1 = 0;
            const double onePass = VoMillis([&] {
                TVoQuery all(
                    QStringLiteral("SELECT IFARID, GIACENZA, COSTOUNIMED FROM PKVA_GETGIACENZE(:d, :y, -1)"),
                    &conn);
                all.SetParam(QStringLiteral("d"), at).SetParam(QStringLiteral("y"), k.y26);
                QSqlQuery one(conn.Database());
                one.prepare(
                    QStringLiteral("SELECT GIACENZA, COSTOUNIMED FROM PKVA_GETGIACENZA(?, ?, ?, -1)"));
                for (all.Open(); !all.Eof(); all.Next()) {
                    ++articles;
                    if (articles % 10 != 1)
                        continue;
                    one.bindValue(0, all.AsInteger(QStringLiteral("IFARID")));
                    one.bindValue(1, at);
                    one.bindValue(2, k.y26);
                    one.exec();
                    one.next();
                    differ1 += one.value(0).toDouble() != all.AsFloat(QStringLiteral("GIACENZA")) ||
                               one.value(1).toDouble() != all.AsFloat(QStringLiteral("COSTOUNIMED"));
                    one.finish();
                }
            });
            out << "  every article in one pass (" << articles << " articles, every tenth compared with the "
                << "procedure of one article: " << differ1 << " differ): " << onePass
                << " ms with the comparisons\n";
        }
        int negative = 0;
        for (int i = 0; i < 100; ++i)
            negative += check(ordinary(i));
        out << "  (" << negative << " of 100 ordinary articles have a day below zero)\n";

        // The save's re-pricing of the article's unloading rows in the voucher's scope, every cost
        // cleared first so that each row is written again; beside the least it does: the article's rows
        // of the scope read once in date order and each unloading row written once.
        const QVariantHash hotParams{{QStringLiteral("iFarId"), hot}, {QStringLiteral("iFBuoId"), someUnloadingVoucher}};
        const QString unloadingRows = QStringLiteral(
            "afc.IFARID = :iFarId AND afc.IFBUOID IN (SELECT sca.IFBUOID FROM TFBUO_BUONI sca WHERE "
            "sca.IFBUOTIPO = 1 AND sca.IDWGFACANFID IN (%1))")
                                          .arg(numbering == 1 ? QStringLiteral(":y") : QStringLiteral(":y, :y2"));
        const QVariantHash scopeParams{{QStringLiteral("iFarId"), hot}, {QStringLiteral("y"), k.y26}, {QStringLiteral("y2"), k.y25}};
        const auto clear = [&] {
            VoExecSQL(QStringLiteral("UPDATE TAFC_ARTVELIST afc SET afc.FAFCCOSTOUNIT = 0 WHERE ") + unloadingRows,
                      scopeParams, &conn);
        };
        const int rows = VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST afc WHERE ") + unloadingRows,
                                       scopeParams, &conn)
                             .toInt();
        const double update = VoMedianMillis(kRuns, [&] {
            conn.StartTransaction();
            VoExecSQL(QString::fromLatin1(kRepricingSQL), hotParams, &conn);
            conn.Commit();
        }, clear);
        const double least = VoMedianMillis(kRuns, [&] {
            conn.StartTransaction();
            ExecRaw(conn, VoBenchRepricingFloorSQL(hot, QStringLiteral("b.IDWGFACANFID IN (%1, %2)")
                                                            .arg(k.y26)
                                                            .arg(numbering == 1 ? k.y26 : k.y25)));
            conn.Commit();
        }, clear);
        VoBenchBeside(QStringLiteral("  re-pricing the %1 unloading rows of that article, as a save does").arg(rows),
                      update, QStringLiteral("its rows read in date order, each unloading row written"), least);
        // The costs as they were.
        conn.StartTransaction();
        VoExecSQL(QString::fromLatin1(kRepricingSQL), hotParams, &conn);
        conn.Commit();
    }
    return 0;
}
