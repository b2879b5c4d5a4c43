// Times the year closing of the register-year 2026 of the generated register (5,000 articles,
// 100,000 voucher rows in the year, numbered per register-year so that every article in stock gets
// its closing and opening rows), step by step as the window runs it: the count of the moved articles,
// the articles' stock carried into 2027, the category totals and the commit. The articles step is the
// median of 5 closings abandoned after it, beside the median of 5 runs of one GROUP BY over the year's
// rows; a sixth closing is committed.
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
constexpr int kRuns = 5;
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

    // The bare query the articles step is measured against: one GROUP BY over the year's rows.
    int grouped = 0;
    VoBenchBareStockGroupBy(db, QDate(2026, 12, 31), k.y26, 0, &grouped);
    const double bare = VoMedianOf(
        kRuns, [&] { return VoBenchBareStockGroupBy(db, QDate(2026, 12, 31), k.y26, 0, nullptr); });

    // What the articles step reads before it writes: the stock of every article in one pass.
    const auto timed = [&](const QString &sql) {
        return VoMedianOf(kRuns, [&] {
            return VoMillis([&] {
                VoSelectValue(sql, {{QStringLiteral("d"), QDate(2026, 12, 31)}, {QStringLiteral("y"), k.y26}},
                              db);
            });
        });
    };
    const double onePass = timed(QStringLiteral("SELECT COUNT(*) FROM PKVA_GETGIACENZE(:d, :y, -1)"));

    // The carrying procedure alone, in a transaction rolled back: the articles step but for the
    // window's own work (progress, fetching the rows, the vouchers). Its rows go onto a loading and an
    // unloading voucher of 2026 (voucher + year * 2000 + kind * 1000).
    const double carry = VoMedianOf(kRuns, [&] {
        db->StartTransaction();
        const QVariant first =
            VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID('TAFC_ARTVELIST', :n)"),
                          {{QStringLiteral("n"), 2 * grouped}}, db);
        const double ms = VoMillis([&] {
            VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM PKVA_RIPORTAGIACENZE(:y, :d, :c, :o, 0, :p)"),
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
    });

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
    const double articles = VoMedianOf(kRuns, [&] { return close(false).value(QStringLiteral("articles")); });
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
    Out() << "median of " << kRuns << " runs:\n";
    VoBenchBeside(QStringLiteral("year closing, articles step"), articles,
                  QStringLiteral("one GROUP BY over the year's rows (%1 articles)").arg(grouped), bare);
    VoBenchBeside(QStringLiteral("  of which the carrying procedure alone"), carry,
                  QStringLiteral("the same GROUP BY"), bare);
    VoBenchBeside(QStringLiteral("  of which the stock of every article in one pass"), onePass,
                  QStringLiteral("the same GROUP BY"), bare);
    return 0;
}
