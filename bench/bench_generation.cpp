// Times the unloading-voucher generation wizard on a generated register (5,000 articles, 200,000
// rows): opening its list of the loading vouchers still to unload (each voucher tested until one of
// its articles has stock today), and building the article grid of a loading voucher of 200 rows (the
// stock and average cost of every article at the unloading date).
#include "VoBench.h"
#include "VoBenchContext.h"
#include "VoBenchRegister.h"
#include "VoDBDateEdit.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStringGrid.h"
#include "kvaFWGeneraBuonoSca.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <vector>

namespace {
const int kGridRows = 200;
constexpr int kRuns = 5;

int Count(const QString &sql) {
    return VoSelectValue(sql).toInt();
}
} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_generation"));
    if (!bench.Ok())
        return 1;
    kvaRegisterWindows();
    QTextStream &out = Out();
    const TVoBenchRegister k = VoBenchGenerateRegister(bench.Db());
    VoBenchChooseRegisterYear(k.y26);

    // A loading voucher of 200 articles, one row each.
    const int voucher = NewId(QStringLiteral("TFBUO_BUONI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TFBUO_BUONI (IFBUOID, IDWGFACANFID, IFBUONUMERO, DFBUODATA, IFBUOTIPO, "
                       "ILOCKED) VALUES (:v, :y, 9000, :d, 0, 0)"),
        {{QStringLiteral("v"), voucher},
         {QStringLiteral("y"), k.y26},
         {QStringLiteral("d"), QDate(2026, 6, 1)}});
    for (int i = 0; i < kGridRows; ++i)
        VoExecSQL(QStringLiteral(
                      "INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, FAFCCOSTOUNIT, "
                      "DINSERT) VALUES (:id, :v, :a, 3, 2, CURRENT_TIMESTAMP)"),
                  {{QStringLiteral("id"), NewId(QStringLiteral("TAFC_ARTVELIST"))},
                   {QStringLiteral("v"), voucher},
                   {QStringLiteral("a"), k.article + 1 + i * 7}});

    // The bare query beside both: one GROUP BY over the register-year's rows (the stock of every
    // article), and for the grid the plain sums of its 200 articles prepared once.
    int grouped = 0;
    VoBenchBareStockGroupBy(bench.Db(), QDate::currentDate(), k.y26, 0, &grouped);
    const double bare = VoMedianOf(
        kRuns, [&] { return VoBenchBareStockGroupBy(bench.Db(), QDate::currentDate(), k.y26, 0); });
    QSqlQuery sum(bench.Db()->Database());
    sum.prepare(QStringLiteral("SELECT SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA)) FROM "
                               "TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID WHERE "
                               "afc.IFARID = ? AND b.DFBUODATA <= ? AND b.IDWGFACANFID = ?"));
    const double sums = VoMedianOf(kRuns, [&] {
        return VoMillis([&] {
            for (int i = 0; i < kGridRows; ++i) {
                sum.bindValue(0, k.article + 1 + i * 7);
                sum.bindValue(1, QDate(2026, 12, 31));
                sum.bindValue(2, k.y26);
                sum.exec();
                sum.next();
                sum.finish();
            }
        });
    });

    int listed = 0, inStock = 0;
    std::vector<double> grids;
    const double list = VoMedianOf(kRuns, [&] {
        std::unique_ptr<TfmKvaWGeneraBuonoSca> wizard(VoNewForm<TfmKvaWGeneraBuonoSca>());
        wizard->SoloDaScaricare = 1;
        const double ms = VoMillis([&] {
            wizard->show();
            wizard->xqcBuoni->Last();
        });
        listed = wizard->xqcBuoni->RecordCount();
        wizard->xqcBuoni->Locate(QStringLiteral("IFBUOID"), voucher);
        wizard->buNext->click();
        wizard->dtpDataScarico->SetDate(QDate(2026, 12, 31));
        grids.push_back(VoMillis([&] { wizard->buNext->click(); }));
        inStock = wizard->sgArticoli->RowCount() - 1;
        return ms;
    });
    std::sort(grids.begin(), grids.end());
    const double grid = grids[grids.size() / 2];
    out << "median of " << kRuns << " runs:\n";
    VoBenchBeside(
        QStringLiteral("list of the loading vouchers still to unload (%1 of %2)")
            .arg(listed)
            .arg(Count(
                QStringLiteral("SELECT COUNT(*) FROM TFBUO_BUONI WHERE IFBUOTIPO = 0 AND IDWGFACANFID = %1")
                    .arg(k.y26))),
        list, QStringLiteral("one GROUP BY over the year's rows (%1 articles)").arg(grouped), bare);
    VoBenchBeside(
        QStringLiteral("grid of a loading voucher of %1 rows (%2 in stock)").arg(kGridRows).arg(inStock),
        grid, QStringLiteral("%1 plain sums prepared once").arg(kGridRows), sums);
    return 0;
}
