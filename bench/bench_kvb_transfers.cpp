// Times the passing of goods on the generated register of 100,000 goods (VoBenchGoods.h), driven
// through the windows as a user drives them: the list of the goods to pass opened (median of five,
// beside the bare select of the rows it read first), 20,000 goods in charge (those a filter on the number
// leaves listed, none chosen) discharged for the consumables register, and an inventory voucher of
// 5,000 goods taken over as a loading voucher. Each is one transaction.
//
//   bench_kvb_transfers
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoDates.h"
#include "VoFiltro.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "kvbFImpInv.h"
#include "kvbFSelectVelist.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <memory>

namespace {

constexpr int kTransferred = 20000;
constexpr int kImported = 5000;
constexpr int kRuns = 5;

// The bare query the list of goods to pass stands for: its rows, as many as the list read first.
const char *const kBareListSQL =
    "SELECT inb.IBINBID, inb.IBINBNUMERO, inb.SBINBDESC, inb.IBINBANNOASSUNZ, inb.IBINBIMPORTO FROM "
    "TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID JOIN TDWGFACANF dia ON "
    "dia.IDWGFACANFID = buo.IDWGFACANFID JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = "
    ":f AND inb.IBBUOIDSCARICO IS NULL AND inb.ICAMID IS NOT NULL AND inb.ISECID IS NOT NULL AND "
    "inb.IBINBFUORIREGISTRO = 0 ROWS 1 TO %1";

const char *const kListableSQL =
    "SELECT MAX(n) FROM (SELECT FIRST 20000 inb.IBINBNUMERO AS n FROM TBINB_BENI inb JOIN TBBUO_BUONI buo ON "
    "buo.IBBUOID = inb.IBBUOID JOIN TDWGFACANF dia ON dia.IDWGFACANFID = buo.IDWGFACANFID JOIN TDWGFAC di ON "
    "di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f AND inb.IBBUOIDSCARICO IS NULL AND inb.ICAMID IS NOT "
    "NULL AND inb.ISECID IS NOT NULL AND inb.IBINBFUORIREGISTRO = 0 ORDER BY inb.IBINBNUMERO)";

// An unloading voucher of the demo inventory register marked for this program, discharging copies of
// goods of the register.
int InventoryVoucher(int goods) {
    const int voucher =
        VoSelectValue(QStringLiteral("SELECT COALESCE(MAX(IBUOID), 0) + 1 FROM TBUO_BUONI")).toInt();
    VoExecSQL(QStringLiteral("INSERT INTO TBUO_BUONI (IBUOID, IDWGINVANFID, IBUONUMERO, DBUODATA, SBUODESC, "
                             "IBUOTIPO, SBUOAPPLSCARICO) SELECT FIRST 1 :v, IDWGINVANFID, 99, '2026-05-01', "
                             "'Scarico generato', 1, 'BENDUR' FROM TDWGINVANF"),
              {{QStringLiteral("v"), voucher}});
    // Past every key of the table, whatever its generator says.
    const int first =
        VoSelectValue(QStringLiteral("SELECT COALESCE(MAX(IINBID), 0) + 1 FROM TINB_BENI")).toInt();
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TINB_BENI (IINBID, IBUOID, IBUOIDSCARICO, SINBDESC, SINBNOTE, IINBIMPORTO, "
                  "ICAMID, ISECID, ISEDINFID, IINBANNOASSUNZ) SELECT FIRST %1 :f - 1 + ROW_NUMBER() OVER "
                  "(ORDER BY IBINBID), :v, :v, SBINBDESC, 'Nota', IBINBIMPORTO, ICAMID, ISECID, "
                  "ISEDINFID, 2020 FROM TBINB_BENI ORDER BY IBINBID")
                  .arg(goods),
              {{QStringLiteral("f"), first}, {QStringLiteral("v"), voucher}});
    return voucher;
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_transfers"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    QTextStream &out = Out();
    const TVoBenchGoods k = VoBenchGenerateGoods(bench.Db());
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(k.y26));
    CurrentRegisterId = k.facId;
    CurrentYearValue = 2026;
    CurrentYearEnd = DateToDays(QDate(2026, 12, 31));
    const auto count = [](const QString &sql) { return VoSelectValue(sql).toInt(); };

    {
        std::unique_ptr<TfmKvbSelectVelist> window;
        const double opened = VoMedianMillis(
            kRuns,
            [&] {
                window = std::make_unique<TfmKvbSelectVelist>();
                window->EnsureFormCreated();
                window->show();
                QApplication::processEvents();
            },
            [&] { window.reset(); });
        const int rows = window->frVoMultiSel->xqcMultiSelect->FetchedCount();
        const double bare = VoMedianMillis(kRuns, [&] {
            TVoQuery q(QString::fromLatin1(kBareListSQL).arg(qMax(rows, 1)));
            for (q.SetParam(QStringLiteral("f"), k.facId).Open(); !q.Eof(); q.Next()) {
            }
        });
        VoBenchBeside(QStringLiteral("goods to pass listed (%1 rows read first)").arg(rows), opened, QStringLiteral("bare query"), bare, QStringLiteral("ms"));
    }
    {
        const int last =
            VoSelectValue(QString::fromLatin1(kListableSQL), {{QStringLiteral("f"), k.facId}}).toInt();
        TfmKvbSelectVelist window;
        window.EnsureFormCreated();
        window.show();
        TfmVoRptFiltro *filter = window.FilterForm();
        filter->frVoFiltro->AddCondition(QStringLiteral("Numero"), QStringLiteral("minore o uguale a"),
                                         QString::number(last));
        QTimer::singleShot(0, filter, [filter] { filter->buOk->click(); });
        window.buFilter->click();
        bench.messages->Push(mrYes);
        // The least the transfer writes: as many goods discharged onto one voucher by one statement.
        const double oneStatement = VoBenchDischargeFloor(k.unloading, kTransferred);
        QElapsedTimer timer;
        timer.start();
        window.buOk->click();
        const double ms = timer.nsecsElapsed() / 1e6;
        VoBenchBeside(QStringLiteral("transfer of the goods listed, none chosen (%1 wanted, %2 discharged)")
                          .arg(kTransferred)
                          .arg(count(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI inb JOIN TBBUO_BUONI buo ON "
                                                    "buo.IBBUOID = inb.IBBUOIDSCARICO WHERE buo.SBBUOAPPLSCARICO = "
                                                    "'VELIST'"))),
                      ms, QStringLiteral("as many goods discharged by one statement"), oneStatement);
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text.left(90).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) << "\n";
    bench.messages->Clear();

    {
        const int voucher = InventoryVoucher(kImported);
        TfmkvbImpInv window;
        window.EnsureFormCreated();
        window.show();
        QVariantList chosen{voucher};
        QElapsedTimer timer;
        timer.start();
        const bool imported = window.ImportVouchers(chosen);
        const double ms = timer.nsecsElapsed() / 1e6;
        out << "import of an inventory voucher of " << kImported << " goods" << (imported ? "" : " (failed)")
            << ": "
            << count(
                   QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = "
                                  "inb.IBBUOID WHERE buo.SBBUODESC = 'BUONO DI CARICO DA INVENTARIO'"))
            << " goods written in " << ms << " ms\n";
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text << "\n";
    return 0;
}
