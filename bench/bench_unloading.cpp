// Times what an unloading row asks of the server on a generated register (5,000 articles, 200,000
// rows): the articles a new row may take (the stock of every article at the voucher's date), the
// pricing of one chosen article (stock, average cost, unit factor) and the largest quantity an
// unloading row can take (the walk over the article's later days).
//
//   bench_unloading [calls]     calls: how many calls the per-article figures average (default 200)
#include "VoBench.h"
#include "VoBenchRegister.h"
#include "VoQuery.h"
#include "kvaUBuoni.h"

#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream &out = Out();
    const int calls = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QTemporaryDir dir;
    const std::unique_ptr<TVoSQLConnection> db =
        VoBenchDemoDatabase(dir, QStringLiteral("bench_unloading"), out);
    if (!db)
        return 1;
    TVoSQLConnection &conn = *db;
    const TVoBenchRegister k = VoBenchGenerateRegister(&conn);
    const QDate date(2026, 6, 30);
    const auto ordinary = [&](int i) { return k.article + 1 + (i * 37) % (kVoBenchArticles - 1); };

    // The list as the window reads it, and as it was read with the stock procedure asked once per
    // article, each beside the bare GROUP BY over the register-year's rows.
    qqoVoGlobConn = &conn;
    const auto offer = [&](const QString &sql, int *rows) {
        return TVoBenchStep{[&, sql, rows] {
            TVoQuery q(sql, &conn);
            q.SetParam(QStringLiteral("data"), date).SetParam(QStringLiteral("iDwgAnfFacId"), k.y26).Open();
            *rows = q.CountToEnd();
        }};
    };
    int offered = 0;
    int offeredOneByOne = 0;
    int grouped = 0;
    const TVoBenchStep bare{[&] { VoBenchBareStockGroupBy(&conn, date, k.y26, 0, &grouped); }};
    const int articles =
        VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"), {}, &conn).toInt();
    out << "new unloading row, the articles in stock at " << date.toString(QStringLiteral("dd/MM/yyyy"))
        << " (of " << articles << " articles), median of " << kVoBenchRuns << " runs:\n";
    VoBenchFigure(QStringLiteral("the list as the window reads it"),
                  offer(QString::fromLatin1(kvaSQLArticlesInStock), &offered),
                  QStringLiteral("bare GROUP BY over the year's rows"), bare);
    VoBenchFigure(
        QStringLiteral("the stock procedure once per article"),
        offer(QStringLiteral("SELECT far.IFARID, far.SFARLDESC FROM TFar_FacArticoli far WHERE (SELECT "
                             "p.GIACENZA FROM PKVA_GETGIACENZA(far.iFarId, :data, :iDwgAnfFacId, -1) p) > 0"),
              &offeredOneByOne),
        QStringLiteral("the same GROUP BY"), bare);
    out << "  articles offered: " << offered << " (one by one " << offeredOneByOne << ", grouped " << grouped
        << ")\n";
    const auto price = [&](int article) {
        TVoQuery q(QStringLiteral("SELECT Giacenza * FKVA_FATTOREUNITA(:iFarId), CostoUniMed / "
                                  "FKVA_FATTOREUNITA(:iFarId) FROM PKVA_GetGiacenza(:iFarId, :dFBuoData, "
                                  ":iDwgFacAnfId, -1)"),
                   &conn);
        q.SetParam(QStringLiteral("iFarId"), article)
            .SetParam(QStringLiteral("dFBuoData"), date)
            .SetParam(QStringLiteral("iDwgFacAnfId"), k.y26)
            .Open();
    };
    const auto largest = [&](int article) {
        TVoQuery q(
            QStringLiteral("SELECT GIACENZA FROM PKVA_GIACENZAMIN(:iFarId, :dFBuoData, :iDwgFacAnfId, -1)"),
            &conn);
        q.SetParam(QStringLiteral("iFarId"), article)
            .SetParam(QStringLiteral("dFBuoData"), date)
            .SetParam(QStringLiteral("iDwgFacAnfId"), k.y26)
            .Open();
    };
    out << "mean of " << calls << " calls, in microseconds:\n";
    for (const bool hot : {false, true}) {
        const auto article = [&](int i) { return hot ? k.article : ordinary(i); };
        out << (hot ? "  article with 600 rows in 2026\n" : "  ordinary article (about 40 rows)\n");
        // The article's rows of the scope summed straight, prepared once in a transaction open: the least
        // the stock and its cost read.
        const auto sum = [&](int i) {
            return VoBenchBareRead(&conn,
                                   QStringLiteral("SELECT SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA)), "
                                                  "SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA * afc.FAFCCOSTOUNIT, 0)) FROM "
                                                  "TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID "
                                                  "WHERE afc.IFARID = ? AND b.DFBUODATA <= ? AND b.IDWGFACANFID = ?"),
                                   {article(i), date, k.y26});
        };
        const double plain = VoMedianOf(kVoBenchRuns, [&] {
            double total = 0;
            for (int i = 0; i < calls; ++i)
                total += sum(i);
            return total * 1000 / calls;
        });
        VoBenchBeside(QStringLiteral("    pricing"), VoMeanMicros(calls, [&](int i) { price(article(i)); }),
                      QStringLiteral("the rows summed straight"), plain, QStringLiteral("us"));
        VoBenchBeside(QStringLiteral("    corrected quantity"), VoMeanMicros(calls, [&](int i) { largest(article(i)); }),
                      QStringLiteral("the rows summed straight"), plain, QStringLiteral("us"));
    }
    return 0;
}
