// Times the durable-goods register's writes and totals on a generated register of 100,000 goods: the
// demo inventory's register opened in 2025 and 2026, with 1,000 loading vouchers (those of 2025
// definitive), one of them holding 5,000 goods, and 100 unloading vouchers of 2026 that discharged
// about 5,000 goods of 2025. Every good holds its first sector, value and site periods. Reported:
// 10,000 goods inserted one statement each, as the windows and imports write them, with the
// server's history trigger and without it, beside the same goods and periods written set-wise; one
// PKVB_UPDBENE that changes a definitive good's value, beside its three writes; PKVB_DEFBUONO_CARICO
// on the voucher of 5,000 goods, beside its two updates; PKVB_GETCHIUSURA mode 1 at a date, beside one
// sum over the register's goods and their values at that date.
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
    const double bare = InsertGoods(&conn, withTrigger, 300000);
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI ACTIVE"), {}, &conn);
    // The least those writes are: the goods in one statement, their sector, value and site periods in
    // one each, in a transaction rolled back.
    const int floorVoucher = withTrigger + 1;
    const int firstKey = VoBenchReserve(&conn, QStringLiteral("TBINB_BENI"), kInserted);
    const QVariantHash fp{{QStringLiteral("g"), firstKey}, {QStringLiteral("v"), floorVoucher}, {QStringLiteral("n"), kInserted}};
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI INACTIVE"), {}, &conn);
    conn.StartTransaction();
    double goodsAlone = 0;
    const double setWise = VoMillis([&] {
        goodsAlone = VoMillis([&] {
        VoExecSQL(QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, ICAMID, "
                                 "IAVAID, ISECID, ISEDINFID, IBINBANNOASSUNZ) ") +
                      kVoBenchNumbers +
                      QStringLiteral("SELECT :g + a.I * 1000 + b.I, 400000 + a.I * 1000 + b.I, 'Sedia', :v, 450000, 1, 1, "
                                     "1, 1, 2026 FROM N a CROSS JOIN N b WHERE a.I * 1000 + b.I < :n"),
                  fp, &conn);
        });
        for (const char *history : {"TBBSE_BENISETTORI (IBBSEID, IBINBID, ISECID, DSTART) SELECT NEXT VALUE FOR "
                                    "GID_TBBSE_BENISETTORI, IBINBID, ISECID, TIMESTAMP '2026-12-01'",
                                    "TBBIM_IMPORTI (IBBIMID, IBINBID, IBBIMIMPORTO, DSTART) SELECT NEXT VALUE FOR "
                                    "GID_TBBIM_IMPORTI, IBINBID, IBINBIMPORTO, TIMESTAMP '2026-12-01'",
                                    "TBSIN_SEDIBENISTOR (IBSINID, IBINBID, ISEDINFID, DSTART) SELECT NEXT VALUE FOR "
                                    "GID_TBSIN_SEDIBENISTOR, IBINBID, ISEDINFID, TIMESTAMP '2026-12-01'"})
            VoExecSQL(QStringLiteral("INSERT INTO ") + QLatin1String(history) +
                          QStringLiteral(" FROM TBINB_BENI WHERE IBBUOID = :v"),
                      fp, &conn);
    });
    conn.Rollback();
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI ACTIVE"), {}, &conn);
    out << kInserted << " goods inserted one statement each, in one transaction:\n";
    VoBenchBeside(QStringLiteral("  with the history trigger"), inserted,
                  QStringLiteral("the goods and their periods in four statements"), setWise);
    VoBenchBeside(QStringLiteral("  without it"), bare, QStringLiteral("the goods alone in one statement"), goodsAlone);
    out << "\n";

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
    // Its writes alone: the good's value, its value period closed and the next one opened.
    const double writes = VoMeanMicros(calls, [&](int i) {
        const QVariantHash p{{QStringLiteral("id"), good}, {QStringLiteral("v"), qint64(10000 * (calls + i + 1))}};
        conn.StartTransaction();
        VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBINBIMPORTO = :v WHERE IBINBID = :id"), p, &conn);
        VoExecSQL(QStringLiteral("UPDATE TBBIM_IMPORTI SET DEND = CURRENT_TIMESTAMP WHERE IBINBID = :id AND DEND IS NULL"),
                  p, &conn);
        VoExecSQL(QStringLiteral("INSERT INTO TBBIM_IMPORTI (IBBIMID, IBINBID, IBBIMIMPORTO, DSTART) VALUES (NEXT VALUE "
                                 "FOR GID_TBBIM_IMPORTI, :id, :v, CURRENT_TIMESTAMP)"),
                  p, &conn);
        conn.Commit();
    });
    VoBenchBeside(QStringLiteral("PKVB_UPDBENE changing a definitive good's value (mean of %1)").arg(calls), update / 1000,
                  QStringLiteral("its three writes, committed"), writes / 1000);

    const int big = k.voucher + kBigVoucher;
    // Its two updates, in a transaction rolled back.
    conn.StartTransaction();
    const double twoUpdates = VoMillis([&] {
        VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET ILOCKED = 1 WHERE IBBUOID = :b"), {{QStringLiteral("b"), big}},
                  &conn);
        VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IAVAID = 2 WHERE IBBUOID = :b"), {{QStringLiteral("b"), big}},
                  &conn);
    });
    conn.Rollback();
    VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOID = :b"), {{QStringLiteral("b"), big}},
                  &conn);
    timer.restart();
    conn.StartTransaction();
    VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVB_DEFBUONO_CARICO(:iBBuoID)"),
              {{QStringLiteral("iBBuoID"), big}}, &conn);
    conn.Commit();
    const double defined = timer.nsecsElapsed() / 1e6;
    VoBenchBeside(QStringLiteral("PKVB_DEFBUONO_CARICO on a voucher of %1 goods")
                      .arg(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOID = :b AND IAVAID = 2"),
                                         {{QStringLiteral("b"), big}}, &conn)
                               .toInt()),
                  defined, QStringLiteral("its two updates"), twoUpdates);

    qint64 total = 0;
    const double totals = VoMeanMicros(calls, [&](int i) {
        TVoQuery q(QStringLiteral("SELECT TOTALE FROM PKVB_GETCHIUSURA(NULL, :dData, 1, :iFacId)"), &conn);
        q.SetParam(QStringLiteral("dData"), QDate(2026, 1, 1).addDays(i % 365))
            .SetParam(QStringLiteral("iFacId"), k.facId)
            .Open();
        total = q.AsLargeInt(QStringLiteral("TOTALE"));
    });
    // One pass over the register's goods loaded by the date and not discharged by it, each with its
    // value at the date.
    const double sums = VoMeanMicros(qMax(1, calls / 10), [&](int i) {
        VoSelectValue(QStringLiteral("SELECT SUM(bim.IBBIMIMPORTO) FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON "
                                     "buo.IBBUOID = inb.IBBUOID INNER JOIN TDWGFACANF dia ON dia.IDWGFACANFID = "
                                     "buo.IDWGFACANFID INNER JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID LEFT JOIN "
                                     "TBBUO_BUONI sca ON sca.IBBUOID = inb.IBBUOIDSCARICO INNER JOIN TBBIM_IMPORTI bim ON "
                                     "bim.IBINBID = inb.IBINBID AND bim.DSTART <= :d AND (bim.DEND IS NULL OR bim.DEND > "
                                     ":d) WHERE di.IFACID = :f AND buo.DBBUODATA <= :d AND (sca.DBBUODATA IS NULL OR "
                                     "sca.DBBUODATA > :d)"),
                      {{QStringLiteral("d"), QDate(2026, 1, 1).addDays(i % 365)}, {QStringLiteral("f"), k.facId}}, &conn);
    });
    VoBenchBeside(QStringLiteral("PKVB_GETCHIUSURA mode 1 at a date of 2026 (mean of %1; the register at the last "
                                 "worth %2)")
                      .arg(calls)
                      .arg(TVoMoney::FromStored(total).Text()),
                  totals / 1000, QStringLiteral("one sum over the goods and their values at the date"), sums / 1000);
    return 0;
}
