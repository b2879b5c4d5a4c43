// Times the unloading-voucher generation wizard on a generated register (5,000 articles, 200,000
// rows): opening its list of the loading vouchers still to unload (each voucher tested until one of
// its articles has stock today), and building the article grid of a loading voucher of 200 rows (the
// stock and average cost of every article at the unloading date).
#include "VoBench.h"
#include "VoBenchRegister.h"
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
#include <QDateEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

namespace {
const int kGridRows = 200;

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
    xgvmGlobalVar.Add(ParSchool,
                      VoSelectValue(QStringLiteral("SELECT f.IDWGID FROM TDWGFACANF a JOIN TDWGFAC f ON "
                                                   "f.IDWGFACID = a.IDWGFACID WHERE a.IDWGFACANFID = :y"),
                                    {{QStringLiteral("y"), k.y26}})
                          .toString());
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(k.y26));
    kva::LoadWorkingContext(false);
    kva::GetParamDescription(ParRegisterYear);

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

    std::unique_ptr<TfmKvaWGeneraBuonoSca> wizard(VoNewForm<TfmKvaWGeneraBuonoSca>());
    wizard->SoloDaScaricare = 1;
    const double list = VoMillis([&] {
        wizard->show();
        wizard->xqcBuoni->Last();
    });
    out << "list of the loading vouchers still to unload: " << list << " ms ("
        << wizard->xqcBuoni->RecordCount() << " of "
        << Count(QStringLiteral("SELECT COUNT(*) FROM TFBUO_BUONI WHERE IFBUOTIPO = 0 AND IDWGFACANFID = %1")
                     .arg(k.y26))
        << " loading vouchers of the year)\n";
    wizard->xqcBuoni->Locate(QStringLiteral("IFBUOID"), voucher);
    wizard->buNext->click();
    wizard->dtpDataScarico->setDate(QDate(2026, 12, 31));
    const double grid = VoMillis([&] { wizard->buNext->click(); });
    out << "grid of a loading voucher of " << kGridRows << " rows: " << grid << " ms ("
        << wizard->sgArticoli->RowCount() - 1 << " articles in stock)\n";
    return 0;
}
