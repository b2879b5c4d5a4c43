// Times the durable-goods register's writes and totals on a generated register of 100,000 goods: the
// demo inventory's register opened in 2025 and 2026, with 1,000 loading vouchers (those of 2025
// definitive), one of them holding 5,000 goods, and 100 unloading vouchers of 2026 that discharged
// about 5,000 goods of 2025. Every good holds its first sector, value and site periods. Reported:
// 10,000 goods inserted one statement each, as the windows and imports write them, with the
// server's history trigger and without it; one PKVB_UPDBENE that changes a definitive good's value;
// PKVB_DEFBUONO_CARICO on the voucher of 5,000 goods; PKVB_GETCHIUSURA mode 1 at a date.
//
//   bench_kvb [calls]     calls: how many calls the update and the totals average (default 100)
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoQuery.h"
#include "kvbUBuoni.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {

constexpr int kBigVoucher = kVouchersPerYear; // the first loading voucher of 2026
constexpr int kBig = 5000;
constexpr int kInserted = 10000;

// Inserts goods one statement each, as the program does, in one transaction; returns milliseconds.
double InsertGoods(TVoSQLConnection *conn, int voucher, int firstNumber) {
    const int first = VoBenchReserve(conn, QStringLiteral("TBINB_BENI"), kInserted);
    const QVariant none = VoNull(QMetaType::Int), noText = VoNull(QMetaType::QString);
    QElapsedTimer t;
    t.start();
    conn->StartTransaction();
    for (int i = 0; i < kInserted; ++i)
        VoExecSQL(QString::fromLatin1(kvbSQLInbInsert),
                  {{QStringLiteral("VOGENID"), first + i},
                   {QStringLiteral("iBInbNUMERO"), firstNumber + i},
                   {QStringLiteral("sBInbDESC"), QStringLiteral("Sedia")},
                   {QStringLiteral("sBInbNOTE"), noText},
                   {QStringLiteral("iBBuoID"), voucher},
                   {QStringLiteral("iBInbIMPORTO"), qint64(450000)},
                   {QStringLiteral("ICAMID"), 1},
                   {QStringLiteral("ICAEID"), none},
                   {QStringLiteral("ICAVID"), none},
                   {QStringLiteral("ICONDID"), none},
                   {QStringLiteral("IAVAID"), int(kvbCaricoProvvisorio)},
                   {QStringLiteral("ISECID"), 1},
                   {QStringLiteral("sBInbLIBTITOLO"), noText},
                   {QStringLiteral("sBInbLIBAUTORE"), noText},
                   {QStringLiteral("sBInbLIBEDITORE"), noText},
                   {QStringLiteral("IVPROID"), none},
                   {QStringLiteral("ISEDINFID"), 1},
                   {QStringLiteral("ICLCID"), none},
                   {QStringLiteral("iBInbAnnoAssunz"), 2026},
                   {QStringLiteral("sBInbMatricola"), noText},
                   {QStringLiteral("sBInbCodNumero"), noText}},
                  conn);
    conn->Commit();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int calls = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    QTemporaryDir dir;
    const std::unique_ptr<TVoSQLConnection> db = VoBenchDemoDatabase(dir, QStringLiteral("bench_kvb"), out);
    if (!db)
        return 1;
    TVoSQLConnection &conn = *db;

    QElapsedTimer timer;
    timer.start();
    const TVoBenchGoods k = VoBenchGenerateGoods(&conn);
    const auto count = [&](const char *sql) {
        return VoSelectValue(QString::fromLatin1(sql), {}, &conn).toInt();
    };
    out << "generated " << count("SELECT COUNT(*) FROM TBINB_BENI") << " goods ("
        << count("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOIDSCARICO IS NOT NULL") << " discharged) on "
        << count("SELECT COUNT(*) FROM TBBUO_BUONI") << " vouchers, "
        << count("SELECT COUNT(*) FROM TBBSE_BENISETTORI") + count("SELECT COUNT(*) FROM TBBIM_IMPORTI") +
               count("SELECT COUNT(*) FROM TBSIN_SEDIBENISTOR")
        << " history periods, in " << timer.elapsed() << " ms\n\n";

    // Two new provisional vouchers of 2026 take the inserted goods.
    const int withTrigger = VoBenchReserve(&conn, QStringLiteral("TBBUO_BUONI"), 2);
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                       "IBBUOTIPO, ILOCKED) SELECT :v + I, CAST(:y AS INTEGER), 5000 + I, DATE '2026-12-01', "
                       "'', 0, 0 FROM "
                       "(SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT 1 FROM RDB$DATABASE)"),
        {{QStringLiteral("v"), withTrigger}, {QStringLiteral("y"), k.y26}}, &conn);
    const double inserted = InsertGoods(&conn, withTrigger, 200000);
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI INACTIVE"), {}, &conn);
    const double bare = InsertGoods(&conn, withTrigger + 1, 300000);
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI ACTIVE"), {}, &conn);
    out << kInserted << " goods inserted one statement each, in one transaction:\n"
        << "  with the history trigger:    " << inserted << " ms (" << inserted * 1000 / kInserted
        << " us a good)\n"
        << "  without it:                  " << bare << " ms (" << bare * 1000 / kInserted
        << " us a good)\n\n";

    // A definitive good of 2025 whose value changes: its value period closes and a new one opens.
    const int good = k.good + kBig + 1;
    const double update = VoMeanMicros(calls, [&](int i) {
        TVoQuery row(QStringLiteral("SELECT * FROM TBINB_BENI WHERE IBINBID = :id"), &conn);
        row.SetParam(QStringLiteral("id"), good).Open();
        QVariantHash params{{QStringLiteral("VOCURRID"), good}};
        for (const QString &name : VoParamNames(QString::fromLatin1(kvbSQLInbUpdate)))
            if (name != QLatin1String("VOCURRID"))
                params.insert(name, row.Value(name.toUpper()));
        row.Close();
        params.insert(QStringLiteral("iBInbIMPORTO"), qint64(10000 * (i + 1)));
        conn.StartTransaction();
        VoExecSQL(QString::fromLatin1(kvbSQLInbUpdate), params, &conn);
        conn.Commit();
    });
    out << "PKVB_UPDBENE changing a definitive good's value: " << update / 1000 << " ms (mean of " << calls
        << ")\n";

    const int big = k.voucher + kBigVoucher;
    timer.restart();
    conn.StartTransaction();
    VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVB_DEFBUONO_CARICO(:iBBuoID)"),
              {{QStringLiteral("iBBuoID"), big}}, &conn);
    conn.Commit();
    out << "PKVB_DEFBUONO_CARICO on a voucher of "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOID = :b AND IAVAID = 2"),
                         {{QStringLiteral("b"), big}}, &conn)
               .toInt()
        << " goods: " << timer.nsecsElapsed() / 1e6 << " ms\n";

    qint64 total = 0;
    const double totals = VoMeanMicros(calls, [&](int i) {
        TVoQuery q(QStringLiteral("SELECT TOTALE FROM PKVB_GETCHIUSURA(NULL, :dData, 1, :iFacId)"), &conn);
        q.SetParam(QStringLiteral("dData"), QDate(2026, 1, 1).addDays(i % 365))
            .SetParam(QStringLiteral("iFacId"), k.facId)
            .Open();
        total = q.AsLargeInt(QStringLiteral("TOTALE"));
    });
    out << "PKVB_GETCHIUSURA mode 1 at a date of 2026: " << totals / 1000 << " ms (mean of " << calls
        << "; the register at the last of them worth " << TVoMoney::FromStored(total).Text() << ")\n";
    return 0;
}
