// Times the numbering of the durable-goods register on a generated register of 100,000 goods over ten
// register-years (2017 to 2026), 1,000 loading and 100 unloading vouchers, with a second register of
// the same size beside it. Every 50th good has a sub-code, every 1,000th is out of the register, and a
// few goods and vouchers carry the number 9999999. Reported: NextGoodsNumber, GoodsNumberExists (any
// sub-code, one sub-code, a number not in use) and NextVoucherNumber of both kinds, each the median
// of 51 calls beside the bare index walk it stands for; NextGoodsNumber also before the indexes'
// statistics are computed on the rows.
//
//   bench_kvb_numbers
#include "VoBench.h"
#include "VoQuery.h"
#include "kvbUUtil.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {

constexpr int kGoods = 100000;
constexpr int kYears = 10;
constexpr int kFirstYear = 2017;
constexpr int kLoadingPerYear = 100;
constexpr int kUnloadingPerYear = 10;
// A call takes tens of microseconds: the median of many keeps one slow call from deciding a ratio.
constexpr int kRuns = 51;

// A register of the demo school opened for the ten years, with its vouchers and goods; returns it.
int Register(TVoSQLConnection *conn, const QString &description) {
    const int facId = VoBenchReserve(conn, QStringLiteral("TFAC_VELISTO"), 1);
    const int schoolRegister = VoBenchReserve(conn, QStringLiteral("TDWGFAC"), 1);
    const int years = VoBenchReserve(conn, QStringLiteral("TDWGFACANF"), kYears);
    const int vouchers =
        VoBenchReserve(conn, QStringLiteral("TBBUO_BUONI"), kYears * (kLoadingPerYear + kUnloadingPerYear));
    const int goods = VoBenchReserve(conn, QStringLiteral("TBINB_BENI"), kGoods);
    const QVariantHash p{{QStringLiteral("f"), facId},
                         {QStringLiteral("df"), schoolRegister},
                         {QStringLiteral("y0"), years},
                         {QStringLiteral("v0"), vouchers},
                         {QStringLiteral("g0"), goods},
                         {QStringLiteral("d"), description},
                         {QStringLiteral("first"), kFirstYear},
                         {QStringLiteral("jan"), QDate(kFirstYear, 1, 1)},
                         {QStringLiteral("last"), kFirstYear + kYears - 1}};
    VoExecSQL(QStringLiteral("INSERT INTO TFAC_VELISTO (IFACID, SFACDESC, ITFCID) VALUES (:f, :d, 5)"), p,
              conn);
    VoExecSQL(QStringLiteral("INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) SELECT :df, MIN(IDWGID), :f "
                             "FROM TDOW_DATAOWNER"),
              p, conn);
    VoExecSQL(QStringLiteral("INSERT INTO TDWGFACANF (IDWGFACANFID, IDWGFACID, IANFID) SELECT :y0 + "
                             "anf.IANFVALORE - :first, :df, anf.IANFID FROM TANF_ANNIFINANZ anf WHERE "
                             "anf.IANFVALORE BETWEEN :first AND :last"),
              p, conn);
    // Voucher v of year y: loading v < 100 numbered 100 y + v + 1, unloading 10 y + v - 99.
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, "
                       "SBBUODESC, IBBUOTIPO, ILOCKED) ") +
            kVoBenchNumbers +
            QStringLiteral(", V AS (SELECT a.I AS Y, b.I AS V FROM N a CROSS JOIN N b WHERE a.I < 10 "
                           "AND b.I < 110) "
                           "SELECT :v0 + Y * 110 + V, :y0 + Y, IIF(V < 100, 100 * Y + V + 1, 10 * Y + V - "
                           "99), DATEADD(DAY, MOD(V, 100) * 3, DATEADD(YEAR, Y, CAST(:jan AS DATE))), '', "
                           "IIF(V < 100, 0, 1), 1 FROM V"),
        p, conn);
    // Good g: year g / 10,000, voucher (g mod 10,000) / 100 of that year, number g + 1.
    VoExecSQL(
        QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBCODNUMERO, SBINBDESC, "
                       "IBBUOID, IBINBIMPORTO, ICAMID, IAVAID, IBINBFUORIREGISTRO) ") +
            kVoBenchNumbers +
            QStringLiteral(", G AS (SELECT a.I * 1000 + b.I AS G FROM N a CROSS JOIN N b WHERE a.I < 100) "
                           "SELECT :g0 + G, IIF(MOD(G, 25000) = 7, 9999999, G + 1), IIF(MOD(G, 50) = 0, "
                           "'A', NULL), 'BENE ' || G, :v0 + (G / 10000) * 110 + MOD(G, 10000) / 100, "
                           "10000, 1, 2, IIF(MOD(G, 1000) = 999, 1, 0) FROM G"),
        p, conn);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBBUONUMERO = 9999999 WHERE IBBUOID = :v0 + 5"), p,
              conn);
    return facId;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream &out = Out();
    QTemporaryDir dir;

    const std::unique_ptr<TVoSQLConnection> db =
        VoBenchDemoDatabase(dir, QStringLiteral("bench_kvb_numbers"), out);
    if (!db)
        return 1;
    TVoSQLConnection *conn = db.get();
    qqoVoGlobConn = conn;

    QElapsedTimer timer;
    timer.start();
    // The numbering reads no history: the goods go in without their first periods.
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI INACTIVE"), {}, conn);
    conn->StartTransaction();
    for (int year = kFirstYear; year < kFirstYear + kYears; ++year)
        VoExecSQL(
            QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE, DANFVOREXINIZIO, "
                           "DANFVOREXFINE) SELECT (SELECT L_ICNTID FROM PYSETGETID('TANF_ANNIFINANZ', 1)), "
                           ":y, :s, :e FROM "
                           "RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM TANF_ANNIFINANZ WHERE IANFVALORE = "
                           ":y)"),
            {{QStringLiteral("y"), year},
             {QStringLiteral("s"), QDate(year, 1, 1)},
             {QStringLiteral("e"), QDate(year, 12, 31)}},
            conn);
    const int measured = Register(conn, QStringLiteral("Inventario misurato"));
    Register(conn, QStringLiteral("Inventario accanto"));
    conn->Commit();
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI ACTIVE"), {}, conn);
    out << "generated " << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI"), {}, conn).toInt()
        << " goods on " << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBBUO_BUONI"), {}, conn).toInt()
        << " vouchers in " << timer.elapsed() << " ms\n\n";

    CurrentRegisterId = measured;
    int sink = 0;
    // The indexes as they were made on the empty tables, and as a restored or upgraded database has
    // them (their selectivity computed on the rows).
    out << "NextGoodsNumber with the indexes' statistics of the empty tables: "
        << VoMedianMillis(kRuns, [&] { sink += NextGoodsNumber(); }) << " ms\n\n";
    for (const char *index :
         {"IX_BINB_NUMERO", "IX_BINB_NUMERO_DESC", "IX_BINB_BBUO", "IX_BINB_BBUO_NUMERO", "IX_BBUO_DFA"})
        VoExecSQL(QStringLiteral("SET STATISTICS INDEX %1").arg(QString::fromLatin1(index)), {}, conn);
    const auto bare = [conn](const char *sql, const QVariantHash &params) {
        return [conn, sql, params] {
            TVoQuery q(QString::fromLatin1(sql), conn);
            for (auto p = params.begin(); p != params.end(); ++p)
                q.SetParam(p.key(), p.value());
            for (q.Open(); !q.Eof(); q.Next()) {
            }
        };
    };
    // Each beside the index walk it stands for, without the register's check; a voucher number's
    // walk goes through the register's years, the vouchers' index beginning with the year.
    const char *const kHighestVoucherSQL =
        "SELECT MAX(m.N) FROM (SELECT (SELECT MAX(buo.IBBUONUMERO) FROM TBBUO_BUONI buo WHERE buo.IDWGFACANFID = "
        "dia.IDWGFACANFID AND buo.IBBUOTIPO = :t AND buo.IBBUONUMERO < 9999999) AS N FROM TDWGFACANF dia INNER JOIN "
        "TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f) m";
    const struct {
        const char *what;
        std::function<void()> call;
        std::function<void()> bare;
    } figures[] = {
        {"NextGoodsNumber", [&] { sink += NextGoodsNumber(); },
         bare("SELECT FIRST 1 IBINBNUMERO FROM TBINB_BENI WHERE IBINBNUMERO < 9999999 ORDER BY IBINBNUMERO "
              "DESC",
              {})},
        {"GoodsNumberExists, any sub-code", [&] { sink += GoodsNumberExists(4242, QStringLiteral("%")); },
         bare("SELECT IBINBID FROM TBINB_BENI WHERE IBINBNUMERO = 4242", {})},
        {"GoodsNumberExists, sub-code \"A\"", [&] { sink += GoodsNumberExists(4251, QStringLiteral("A")); },
         bare("SELECT IBINBID FROM TBINB_BENI WHERE IBINBNUMERO = 4251 AND SBINBCODNUMERO = 'A'", {})},
        {"GoodsNumberExists, number not in use",
         [&] { sink += GoodsNumberExists(kGoods + 10, QStringLiteral("%")); },
         bare("SELECT IBINBID FROM TBINB_BENI WHERE IBINBNUMERO = 100010", {})},
        {"NextVoucherNumber, loading", [&] { sink += NextVoucherNumber(kvbLoading); },
         bare(kHighestVoucherSQL, {{QStringLiteral("f"), measured}, {QStringLiteral("t"), int(kvbLoading)}})},
        {"NextVoucherNumber, unloading", [&] { sink += NextVoucherNumber(kvbUnloading); },
         bare(kHighestVoucherSQL, {{QStringLiteral("f"), measured}, {QStringLiteral("t"), int(kvbUnloading)}})},
    };
    out << "medians of " << kRuns << " calls each, register of " << kGoods << " goods over " << kYears
        << " register-years, statistics computed:\n";
    for (const auto &f : figures)
        VoBenchBeside(QStringLiteral("  ") + QString::fromLatin1(f.what), VoMedianMillis(kRuns, f.call), QStringLiteral("bare query"), VoMedianMillis(kRuns, f.bare), QStringLiteral("ms"));
    out << "\nnext goods number " << NextGoodsNumber() << ", next loading voucher "
        << NextVoucherNumber(kvbLoading) << ", next unloading voucher " << NextVoucherNumber(kvbUnloading)
        << " (checks " << sink << ")\n";
    return 0;
}
