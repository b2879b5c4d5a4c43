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
    QTextStream out(stdout);
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

    int offered = 0;
    const double list = VoMillis([&] {
        TVoQuery q(QString::fromLatin1(kvaSQLArticlesInStock), &conn);
        q.SetParam(QStringLiteral("data"), date).SetParam(QStringLiteral("iDwgAnfFacId"), k.y26).Open();
        for (; !q.Eof(); q.Next())
            ++offered;
    });
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
    out << "new unloading row, the articles in stock at " << date.toString(QStringLiteral("dd/MM/yyyy"))
        << " (" << offered << " of "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"), {}, &conn).toInt()
        << " articles): " << list << " ms\n";
    out << "mean of " << calls << " calls, in microseconds:\n";
    for (const bool hot : {false, true}) {
        const auto article = [&](int i) { return hot ? k.article : ordinary(i); };
        out << (hot ? "  article with 600 rows in 2026\n" : "  ordinary article (about 40 rows)\n")
            << "    pricing:            " << VoMeanMicros(calls, [&](int i) { price(article(i)); }) << "\n"
            << "    corrected quantity: " << VoMeanMicros(calls, [&](int i) { largest(article(i)); }) << "\n";
    }
    return 0;
}
