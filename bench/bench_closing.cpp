// Times the year closing of the register-year 2026 of the generated register (5,000 articles,
// 100,000 voucher rows in the year, numbered per register-year so that every article in stock gets
// its closing and opening rows), step by step as the window runs it: the count of the moved articles,
// the articles' stock carried into 2027, the category totals and the commit. The articles step is the
// median of 5 closings abandoned after it, beside the median of 5 runs of its floor: one GROUP BY over
// the year's rows writing the closing and opening rows of every article in stock; a sixth closing is
// committed.
//
//   bench_closing
#include "VoBench.h"
#include "VoBenchRegister.h"
#include "VoClassRegistry.h"
#include "VoExceptions.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "kvaFChiusura.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

namespace {
// The rows a closing must write: for every article in stock at the year's end a closing row and an
// opening row, keys from :p on.
const char *const kFloorSQL =
    "INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, FAFCCOSTOUNIT, DINSERT) "
    "SELECT :p + ROW_NUMBER() OVER (ORDER BY g.IFARID, t.I) - 1, IIF(t.I = 0, CAST(:c AS INTEGER), "
    "CAST(:o AS INTEGER)), g.IFARID, g.Q, g.V / g.Q, CURRENT_TIMESTAMP FROM (SELECT afc.IFARID, "
    "SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA)) AS Q, SUM(IIF(b.IFBUOTIPO = 0, "
    "afc.FAFCQUANTITA * afc.FAFCCOSTOUNIT, 0)) AS V FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON "
    "b.IFBUOID = afc.IFBUOID WHERE b.DFBUODATA <= :d AND b.IDWGFACANFID = :y GROUP BY afc.IFARID) g "
    "CROSS JOIN (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT 1 FROM RDB$DATABASE) t WHERE g.Q > 0";
} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_closing"));
    if (!bench.Ok())
        return 1;
    kvaRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QElapsedTimer timer;
    timer.start();
    const TVoBenchRegister k = VoBenchGenerateRegister(db);
    VoBenchSpreadCategories(k, db);
    VoExecSQL(QStringLiteral("UPDATE TFAC_VELISTO SET IFACNUMERAZ = 1"), {}, db);
    Out() << "generated " << kVoBenchArticles << " articles and " << kVoBenchRows << " rows in "
          << timer.elapsed() << " ms\n";

    const int school =
        VoSelectValue(QStringLiteral("SELECT MIN(IDWGID) FROM TDOW_DATAOWNER"), {}, db).toInt();
    xgvmGlobalVar.Add(ParSchool, QString::number(school));
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(k.y26));
    kva::LoadWorkingContext(false);
    kva::GetParamDescription(ParRegisterYear);
    const int rows =
        VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI "
                                     "b ON b.IFBUOID = afc.IFBUOID WHERE b.IDWGFACANFID = :y"),
                      {{QStringLiteral("y"), k.y26}}, db)
            .toInt();
    Out() << "closing the register-year 2026: " << rows << " rows in the year\n";

    // The floor the articles step is measured against: one GROUP BY over the year's rows, and the
    // closing and opening rows of every article in stock written from it in the same statement, in a
    // transaction rolled back.
    int grouped = 0;
    VoBenchBareStockGroupBy(db, QDate(2026, 12, 31), k.y26, 0, &grouped);
    int floorRows = 0;
    const TVoBenchStep floor{
        {},
        [&] { VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"), {}, db); },
        1,
        [&] {
            db->StartTransaction();
            const QVariant first =
                VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID('TAFC_ARTVELIST', :n)"),
                              {{QStringLiteral("n"), 2 * grouped}}, db);
            const double ms = VoMillis([&] {
                floorRows = VoExecSQL(QString::fromLatin1(kFloorSQL),
                                      {{QStringLiteral("p"), first},
                                       {QStringLiteral("c"), k.voucher + 3000},
                                       {QStringLiteral("o"), k.voucher + 2000},
                                       {QStringLiteral("d"), QDate(2026, 12, 31)},
                                       {QStringLiteral("y"), k.y26}},
                                      db);
            });
            db->Rollback();
            return ms;
        }};
    const TVoBenchStep groupBy{[&] { VoBenchBareStockGroupBy(db, QDate(2026, 12, 31), k.y26, 0, nullptr); }};

    // What the articles step reads before it writes: the stock of every article in one pass.
    const TVoBenchStep onePass{[&] {
        VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM PKVA_GETGIACENZE(:d, :y, -1)"),
                      {{QStringLiteral("d"), QDate(2026, 12, 31)}, {QStringLiteral("y"), k.y26}}, db);
    }};

    // The carrying procedure alone, in a transaction rolled back: the articles step but for the
    // window's own work (progress, fetching the rows, the vouchers). Its rows go onto a loading and an
    // unloading voucher of 2026 (voucher + year * 2000 + kind * 1000).
    const TVoBenchStep carry{
        {}, {}, 1, [&] {
            db->StartTransaction();
            const QVariant first =
                VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID('TAFC_ARTVELIST', :n)"),
                              {{QStringLiteral("n"), 2 * grouped}}, db);
            const double ms = VoMillis([&] {
                VoSelectValue(
                    QStringLiteral("SELECT COUNT(*) FROM PKVA_RIPORTAGIACENZE(:y, :d, :c, :o, 0, :p)"),
                    {{QStringLiteral("y"), k.y26},
                     {QStringLiteral("d"), QDate(2026, 12, 31)},
                     {QStringLiteral("c"), k.voucher + 3000},
                     {QStringLiteral("o"), k.voucher + 2000},
                     {QStringLiteral("p"), first}},
                    db);
            });
            db->Rollback();
            VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"), {}, db);
            return ms;
        }};

    // The closing as the window runs it, step by step; abandoned after the articles step but in the
    // last run, so that every run closes the same year.
    const auto close = [&](bool commit) {
        std::unique_ptr<TfmKvaChiusura> fm(
            qobject_cast<TfmKvaChiusura *>(CreateVoClass(QStringLiteral("TfmKvaChiusura"))));
        QHash<QString, double> times;
        if (!fm) {
            Out() << "the window did not open: " << bench.messages->Texts().join(QLatin1Char('\n')) << "\n";
            return times;
        }
        QString step = QStringLiteral("lock");
        fm->OnStep = [&](const char *next) {
            if (QLatin1String(next) == QLatin1String("count"))
                return;
            times.insert(step, timer.nsecsElapsed() / 1e6);
            step = QString::fromLatin1(next);
            timer.restart();
            if (!commit && step == QLatin1String("totals"))
                throw EVoException(QStringLiteral("abandoned by the benchmark"));
        };
        fm->show();
        timer.restart();
        fm->buNext->click();
        times.insert(QStringLiteral("count"), timer.nsecsElapsed() / 1e6);
        timer.restart();
        fm->buOk->click();
        bench.messages->Clear();
        // The rows of an abandoned run are cleared away before the next one reads past them.
        VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST"), {}, db);
        return times;
    };
    Out() << "median of " << kVoBenchRuns << " runs:\n";
    VoBenchFigure(QStringLiteral("year closing, articles step"),
                  TVoBenchStep{{}, {}, 1, [&] { return close(false).value(QStringLiteral("articles")); }},
                  QStringLiteral("one GROUP BY over the year's rows writing its rows"), floor);
    VoBenchFigure(QStringLiteral("  of which the carrying procedure alone"), carry,
                  QStringLiteral("the same floor"), floor);
    VoBenchFigure(QStringLiteral("  of which the stock of every article in one pass"), onePass,
                  QStringLiteral("one GROUP BY over the year's rows (%1 articles)").arg(grouped), groupBy);
    Out() << "  the floor wrote " << floorRows << " rows\n";
    const QHash<QString, double> last = close(true);
    for (const char *name : {"count", "lock", "articles", "totals", "commit"})
        Out() << "  " << name << " (the committed run): " << last.value(QString::fromLatin1(name)) << " ms\n";
    Out() << "  rows written: "
          << VoSelectValue(
                 QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON "
                                "b.IFBUOID = afc.IFBUOID WHERE b.SFBUOUSE IN ('SCACHIUS', 'CARCHIUS')"),
                 {}, db)
                 .toInt()
          << "\n";
    return 0;
}
