// Times the loading-voucher window on a generated register of 100,000 goods: the demo inventory's
// register with 2,000 loading vouchers in its register-year of 2026, 50 goods each. Reported: the
// window opened on that register-year (created, shown, its first packets of vouchers and goods read),
// a new good's number proposed and checked as the window does, and the goods picker shown over the
// register's goods still in charge, beside the bare query of the rows it read.
//
//   bench_kvb_vouchers [calls]     calls: how many proposals the mean is taken over (default 100)
#include "AbcUContext.h"
#include "VoBench.h"
#include "VoClassRegistry.h"
#include "VoDBFrames.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStatistics.h"
#include "kvbFBeniSel.h"
#include "kvbFBuoni.h"
#include "kvbRBeniCarico.h"
#include "kvbUBuoni.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

constexpr int kVouchers = 2000;
constexpr int kGoodsPerVoucher = 50;

// The register-year of 2026 of the demo's durable-goods register, filled.
int Generate(TVoSQLConnection *conn) {
    const int facId =
        VoSelectValue(QStringLiteral("SELECT MIN(IFACID) FROM TFAC_VELISTO WHERE ITFCID = 5"), {}, conn)
            .toInt();
    const int year =
        VoSelectValue(QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TDWGFAC "
                                     "df ON df.IDWGFACID = dfa.IDWGFACID INNER JOIN TANF_ANNIFINANZ "
                                     "anf ON anf.IANFID = dfa.IANFID WHERE df.IFACID = :f AND "
                                     "anf.IANFVALORE = 2026"),
                      {{QStringLiteral("f"), facId}}, conn)
            .toInt();
    const QVariantHash p{
        {QStringLiteral("v0"), VoBenchReserve(conn, QStringLiteral("TBBUO_BUONI"), kVouchers)},
        {QStringLiteral("g0"),
         VoBenchReserve(conn, QStringLiteral("TBINB_BENI"), kVouchers * kGoodsPerVoucher)},
        {QStringLiteral("y"), year}};
    conn->StartTransaction();
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                       "IBBUOTIPO, ILOCKED, IBBUOIMPORTO) ") +
            kVoBenchNumbers +
            QStringLiteral("SELECT :v0 + a.I * 1000 + b.I, CAST(:y AS INTEGER), 1000 + a.I * 1000 + b.I, "
                           "DATEADD(DAY, (a.I * 1000 + b.I) * 360 / 2000, DATE '2026-01-01'), 'Buono', 0, 0, "
                           "500000 FROM N a CROSS JOIN N b WHERE a.I < 2"),
        p, conn);
    VoExecSQL(
        QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, "
                       "ICAMID, IAVAID) ") +
            kVoBenchNumbers +
            QStringLiteral(", G AS (SELECT a.I * 1000 + b.I AS I FROM N a CROSS JOIN N b WHERE a.I < 100) "
                           "SELECT :g0 + I, 1000 + I, 'BENE ' || I, :v0 + I / 50, 10000, 1 + MOD(I, 8), 1 "
                           "FROM G"),
        p, conn);
    conn->Commit();
    // As the programs find the data once they start.
    VoRefreshStaleStatistics(conn);
    return year;
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_vouchers"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const int calls = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100;
    QElapsedTimer timer;
    timer.start();
    const int year = Generate(db);
    out << "generated " << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI")).toInt()
        << " goods on "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBBUO_BUONI WHERE IDWGFACANFID = :y"),
                         {{QStringLiteral("y"), year}})
               .toInt()
        << " vouchers of the register-year, in " << timer.elapsed() << " ms\n";
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(year));
    kvb::LoadWorkingContext(true);

    timer.restart();
    auto *window = qobject_cast<TfmkvbBuoni *>(CreateVoClass(QStringLiteral("TfmkvbBuoni")));
    window->show();
    QApplication::processEvents();
    out << "window opened: " << timer.nsecsElapsed() / 1e6 << " ms (" << window->xqcMain->FetchedCount()
        << " vouchers and " << window->xqcDetail->FetchedCount() << " goods read)\n";

    const double proposal = VoMeanMicros(calls, [window](int) {
        window->frDetail->xacInsert->Execute();
        kvbGoodsNumberProblem(window->ProposedGoodsNumber() + 1, QString(), window->ProposedGoodsNumber());
        window->xqcDetail->Cancel();
    });
    out << "new good's number proposed and checked: " << proposal / 1000.0 << " ms\n";

    // The picker from the click that opens it: made, shown, its first goods read and painted.
    std::unique_ptr<TfmkvbBeniSel> picker;
    int rows = 0;
    VoBenchFigure(
        QStringLiteral("goods picker shown"),
        {[&] {
             picker.reset(VoNewForm<TfmkvbBeniSel>(window));
             VoBenchShow(picker.get());
             rows = picker->xqcBeni->FetchedCount();
         },
         [&] { picker.reset(); }},
        QStringLiteral("bare query, the columns shown in the goods number's order, as many rows"), {[&] {
            TVoQuery q(QStringLiteral("SELECT IBINBID, IBINBNUMERO, SBINBDESC, IBINBIMPORTO FROM "
                                      "TBINB_BENI WHERE IAVAID < 3 ORDER BY IBINBNUMERO ROWS 1 TO %1")
                           .arg(rows));
            for (q.Open(); !q.Eof(); q.Next()) {
            }
        }});
    out << "  " << rows << " goods read first\n";
    picker.reset();
    window->close();
    return 0;
}
