// Times the stock procedures on a generated register: 5,000 articles and 200,000 voucher rows over
// the register-years 2025 and 2026 of the demo register. Every article has an opening load in
// each year and about 38 rows spread over 4,000 vouchers; article 1 also has 100 loads and 500
// unloads in 2026, unloaded in boxes of 12. Reported: one PKVA_GETGIACENZA call against the same
// stock by a plain indexed sum over the article's rows, one PKVA_CONTROLLAGIAC call, and the
// re-pricing of the 500 unloading rows, per register-year and across years.
//
//   bench_stock [calls]     calls: how many calls each figure averages (default 500)
#include "VoBench.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <tuple>

namespace {

constexpr int kArticles = 5000;
constexpr int kVouchersPerKindAndYear = 1000;
constexpr int kRows = 200000;
constexpr int kHotLoads = 100;
constexpr int kHotUnloads = 500;

// Numbers 0..999 (two of them crossed give up to a million rows without a table) and the two years.
// A generated stream is computed again for every row of the stream it is crossed with: two long
// ones would cost the product of their lengths.
const QString kNumbers = QStringLiteral(
    "WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM N WHERE I < 999), "
    "Y AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT 1 FROM RDB$DATABASE) ");

// Voucher v of year y (0, 1) and kind t (0 loading, 1 unloading) has the key :v0 + y * 2000 + t * 1000 + v,
// number v + 1 and a date that moves through the year with v.
const QString kVouchers =
    kNumbers + QStringLiteral("SELECT :v0 + y.I * 2000 + t.I * 1000 + v.I, IIF(y.I = 0, CAST(:y25 AS "
                              "INTEGER), CAST(:y26 AS INTEGER)), v.I + 1, "
                              "       DATEADD(DAY, v.I * 364 / 1000, IIF(y.I = 0, CAST(:d25 AS DATE), "
                              "CAST(:d26 AS DATE))), '', t.I, 0 "
                              "  FROM Y y CROSS JOIN Y t CROSS JOIN N v");

// What saving a row of an article runs: every unloading row of the article in the register-year of
// the saved row's voucher gets the average cost at its own voucher's date over all sectors, divided
// by the unit factor, since unloading rows count pieces and the average is per loading measure.
const QString kRepricing = QStringLiteral(
    "UPDATE TAFC_ARTVELIST afc "
    "   SET afc.FAFCCOSTOUNIT = "
    "       (SELECT g.COSTOUNIMED FROM TFBUO_BUONI b "
    "          CROSS JOIN PKVA_GETGIACENZA(afc.IFARID, b.DFBUODATA, b.IDWGFACANFID, NULL) g "
    "         WHERE b.IFBUOID = afc.IFBUOID) "
    "       / FKVA_FATTOREUNITA(afc.IFARID) "
    " WHERE afc.IFARID = :iFarId "
    "   AND afc.IFBUOID IN (SELECT sca.IFBUOID FROM TFBUO_BUONI sca WHERE sca.IFBUOTIPO = 1 AND "
    "       sca.IDWGFACANFID = (SELECT cur.IDWGFACANFID FROM TFBUO_BUONI cur WHERE cur.IFBUOID = :iFBuoId))");

// The stock alone, summed straight over the article's rows of the scope: what the procedure adds to
// this (scope and unit factor looked up, the average cost with its VAT join) is its overhead.
const QString kPlainSum = QStringLiteral(
    "SELECT SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA / :f)) "
    "  FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID "
    " WHERE afc.IFARID = :iFarId AND buo.DFBUODATA <= :data AND buo.IDWGFACANFID IN (:y, :y2)");

struct TKeys {
    int article = 0, voucher = 0, row = 0, y25 = 0, y26 = 0, piece = 0, box = 0, vat22 = 0, vat10 = 0;
};

int Reserve(TVoSQLConnection *conn, const QString &table, int count) {
    return VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:t, :n)"),
                         {{QStringLiteral("t"), table}, {QStringLiteral("n"), count}}, conn)
        .toInt();
}

int RegisterYear(TVoSQLConnection *conn, int year) {
    return VoSelectValue(
               QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TANF_ANNIFINANZ anf "
                              "ON anf.IANFID = dfa.IANFID WHERE anf.IANFVALORE = :y"),
               {{QStringLiteral("y"), year}}, conn)
        .toInt();
}

QVariantHash With(QVariantHash params, const QString &name, const QVariant &value) {
    params.insert(name, value);
    return params;
}

TKeys Generate(TVoSQLConnection *conn) {
    TKeys k;
    k.y25 = RegisterYear(conn, 2025);
    k.y26 = RegisterYear(conn, 2026);
    k.piece = Reserve(conn, QStringLiteral("TUNM_UNITAMISURA"), 2);
    k.box = k.piece + 1;
    k.vat22 = Reserve(conn, QStringLiteral("TALV_ALIQUOTEIVA"), 2);
    k.vat10 = k.vat22 + 1;
    k.article = Reserve(conn, QStringLiteral("TFAR_FACARTICOLI"), kArticles);
    k.voucher = Reserve(conn, QStringLiteral("TFBUO_BUONI"), 4 * kVouchersPerKindAndYear);
    k.row = Reserve(conn, QStringLiteral("TAFC_ARTVELIST"), kRows);
    const int sector =
        VoSelectValue(QStringLiteral("SELECT MIN(ISECID) FROM TSEC_SETTCONS"), {}, conn).toInt();

    conn->StartTransaction();
    const QString unit =
        QStringLiteral("INSERT INTO TUNM_UNITAMISURA (IUNMID, SUNMCOD, SUNMDESCS, FUNMFATTOREPROP) "
                       "VALUES (:id, :cod, :cod, :v)");
    const QString vat =
        QStringLiteral("INSERT INTO TALV_ALIQUOTEIVA (IALVID, SALVDESCS, FALVIVA) VALUES (:id, :cod, :v)");
    const std::tuple<QString, int, QString, double> codes[] = {{unit, k.piece, QStringLiteral("PZ"), 1},
                                                               {unit, k.box, QStringLiteral("CF"), 12},
                                                               {vat, k.vat22, QStringLiteral("22"), 22},
                                                               {vat, k.vat10, QStringLiteral("10"), 10}};
    for (const auto &[sql, id, code, value] : codes)
        VoExecSQL(sql,
                  {{QStringLiteral("id"), id}, {QStringLiteral("cod"), code}, {QStringLiteral("v"), value}},
                  conn);
    // Every fifth article is bought in boxes of 12, every third at 10% VAT.
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, SFARLIBAUTORE, "
                  "SFARLIBEDITORE, IUNMID, IALVID) ") +
                  kNumbers +
                  QStringLiteral("SELECT :a0 + a.I * 1000 + b.I, LPAD(1 + a.I * 1000 + b.I, 7, '0'), "
                                 "       'ARTICOLO ' || (a.I * 1000 + b.I), '', '', '', "
                                 "       IIF(MOD(b.I, 5) = 0, CAST(:cf AS INTEGER), CAST(:pz AS INTEGER)), "
                                 "       IIF(MOD(b.I, 3) = 0, CAST(:a10 AS INTEGER), CAST(:a22 AS INTEGER)) "
                                 "  FROM N a CROSS JOIN N b WHERE a.I < 5"),
              {{QStringLiteral("a0"), k.article},
               {QStringLiteral("pz"), k.piece},
               {QStringLiteral("cf"), k.box},
               {QStringLiteral("a22"), k.vat22},
               {QStringLiteral("a10"), k.vat10}},
              conn);
    VoExecSQL(
        QStringLiteral("INSERT INTO TFBUO_BUONI (IFBUOID, IDWGFACANFID, IFBUONUMERO, DFBUODATA, SFBUODESC, "
                       "IFBUOTIPO, ILOCKED) ") +
            kVouchers,
        {{QStringLiteral("v0"), k.voucher},
         {QStringLiteral("y25"), k.y25},
         {QStringLiteral("y26"), k.y26},
         {QStringLiteral("d25"), QDate(2025, 1, 1)},
         {QStringLiteral("d26"), QDate(2026, 1, 1)}},
        conn);

    const QString rowInsert =
        QStringLiteral("INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, "
                       "FAFCCOSTOUNIT, IALVID, ISECID, DINSERT) ") +
        kNumbers;
    const QVariantHash p{{QStringLiteral("r0"), k.row},
                         {QStringLiteral("v0"), k.voucher},
                         {QStringLiteral("a0"), k.article},
                         {QStringLiteral("a22"), k.vat22},
                         {QStringLiteral("s0"), sector}};
    // Opening loads: every article in the first loading voucher of each year.
    VoExecSQL(rowInsert +
                  QStringLiteral(
                      "SELECT :r0 + y.I * 5000 + a.I, :v0 + y.I * 2000, :a0 + a.I, 1000, 2.5 + MOD(a.I, 17), "
                      "       CAST(:a22 AS INTEGER), CAST(:s0 AS INTEGER), CURRENT_TIMESTAMP "
                      "  FROM (SELECT a1.I * 1000 + a2.I AS I FROM N a1 CROSS JOIN N a2 WHERE a1.I < 5) a "
                      " CROSS JOIN Y y"),
              p, conn);
    // Article 1 in 2026: 100 loads of 50 boxes, then one unload of 1 piece in each of 500 unloading vouchers.
    VoExecSQL(rowInsert +
                  QStringLiteral("SELECT :r0 + 10000 + v.I, :v0 + 2000 + v.I, :a0, 50, 3 + MOD(v.I, 7), "
                                 "       CAST(:a22 AS INTEGER), :s0 + MOD(v.I, 3), CURRENT_TIMESTAMP "
                                 "  FROM N v WHERE v.I < :n"),
              With(p, QStringLiteral("n"), kHotLoads), conn);
    VoExecSQL(rowInsert + QStringLiteral("SELECT :r0 + 10000 + :n0 + v.I, :v0 + 3000 + v.I, :a0, 1, 0, "
                                         "       CAST(:a22 AS INTEGER), :s0 + MOD(v.I, 3), CURRENT_TIMESTAMP "
                                         "  FROM N v WHERE v.I < :n"),
              With(With(p, QStringLiteral("n"), kHotUnloads), QStringLiteral("n0"), kHotLoads), conn);
    // The rest spread over all vouchers and the other articles: loads of 20, unloads of 1.
    const int hotRows = kHotLoads + kHotUnloads;
    const int spread = kRows - 2 * kArticles - hotRows;
    VoExecSQL(rowInsert +
                  QStringLiteral(
                      ", R AS (SELECT a.I * 1000 + b.I AS I FROM N a CROSS JOIN N b "
                      "        WHERE a.I < :thousands AND a.I * 1000 + b.I < :n) "
                      "SELECT :r0 + 10000 + :hot + I, :v0 + MOD(I, 4000), :a0 + 1 + MOD(I * 7919, 4999), "
                      "       IIF(MOD(MOD(I, 4000), 2000) < 1000, 20, 1), "
                      "       IIF(MOD(MOD(I, 4000), 2000) < 1000, 2 + MOD(I, 13), 0), "
                      "       CAST(:a22 AS INTEGER), :s0 + MOD(I, 3), CURRENT_TIMESTAMP FROM R"),
              With(With(With(p, QStringLiteral("n"), spread), QStringLiteral("thousands"), spread / 1000 + 1),
                   QStringLiteral("hot"), hotRows),
              conn);
    conn->Commit();
    return k;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int calls = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 500;
    QTemporaryDir dir;
    const std::unique_ptr<TVoSQLConnection> db = VoBenchDemoDatabase(dir, QStringLiteral("bench_stock"), out);
    if (!db)
        return 1;
    TVoSQLConnection &conn = *db;

    QElapsedTimer timer;
    timer.start();
    const TKeys k = Generate(&conn);
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
    const auto ordinary = [&](int i) { return k.article + 1 + (i * 37) % (kArticles - 1); };
    const auto factor = [&](int article) { return (article - k.article) % 5 == 0 ? 12.0 : 1.0; };
    int numbering = 1;

    // As the programs call the procedures: a short-lived query prepared at each call.
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
    QSqlQuery procPrepared(conn.Database()), sumPrepared(conn.Database());
    procPrepared.prepare(
        VoParseSQL(QStringLiteral("SELECT GIACENZA FROM PKVA_GETGIACENZA(:a, :d, :y, -1)")).text);
    sumPrepared.prepare(VoParseSQL(kPlainSum).text);
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
        out << "\n"
            << (numbering == 1 ? "Numbering per register-year (the rows of 2026 count)"
                               : "Numbering across years (the rows of 2025 and 2026 count)")
            << ", mean of " << calls << " calls, in microseconds:\n";
        int differ = 0;
        for (int i = 0; i < 100; ++i)
            differ += stock(ordinary(i)) != sumOnce(ordinary(i));
        differ += stock(hot) != sumOnce(hot);
        for (const bool isHot : {false, true}) {
            const auto article = [&](int i) { return isHot ? hot : ordinary(i); };
            const double called = VoMeanMicros(calls, [&](int i) { stock(article(i)); });
            const double proc = VoMeanMicros(calls, [&](int i) { stockPrepared(article(i)); });
            const double sum = VoMeanMicros(calls, [&](int i) { sumOnce(article(i)); });
            const double ctl = VoMeanMicros(calls, [&](int i) { check(article(i)); });
            out << (isHot ? "  article with 600 rows in 2026\n" : "  ordinary article (about 40 rows)\n")
                << "    PKVA_GETGIACENZA as the programs call it: " << called << "\n"
                << "    PKVA_GETGIACENZA prepared once:           " << proc << "\n"
                << "    plain indexed sum prepared once:          " << sum
                << "  (procedure / sum = " << proc / sum << ")\n"
                << "    PKVA_CONTROLLAGIAC as the programs call it: " << ctl << "\n";
        }
        if (differ)
            out << "  procedure and plain sum DIFFER for " << differ << " articles\n";
        int negative = 0;
        for (int i = 0; i < 100; ++i)
            negative += check(ordinary(i));
        out << "  (" << negative << " of 100 ordinary articles have a day below zero)\n";

        const int reprices = qMax(3, calls / 50);
        int rows = 0;
        const double update = VoMeanMicros(reprices, [&](int) {
            conn.StartTransaction();
            rows = VoExecSQL(
                kRepricing,
                {{QStringLiteral("iFarId"), hot}, {QStringLiteral("iFBuoId"), someUnloadingVoucher}}, &conn);
            conn.Commit();
        });
        out << "  re-pricing the " << rows << " unloading rows of that article: " << update / 1000.0
            << " ms (mean of " << reprices << ")\n";
    }
    return 0;
}
