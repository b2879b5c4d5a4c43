// Times the register closing and the renumbering of the whole register on the generated register of
// 100,000 goods (VoBenchGoods.h): the closing at 31/12/2026, driven through its window, makes the 500
// provisional vouchers of 2026 definitive and records the value per category, in one transaction;
// RenumberAllGoods then renumbers every good still in charge, in another. Each beside its least writes,
// set-wise, on a copy of the same database: the closing's vouchers and goods made definitive and one
// sum per category; the renumbering's numbers written and the numbers left kept, one row each.
//
//   bench_kvb_closing
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoDBDateEdit.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "kvbFChiusura.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_closing"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const TVoBenchGoods k = VoBenchGenerateGoods(db);
    CurrentRegisterId = k.facId;
    const auto count = [](const char *sql) { return VoSelectValue(QString::fromLatin1(sql)).toInt(); };
    // The demo register was closed by type 1 in 2026 already: the closing timed is of a type of its own.
    VoExecSQL(
        QStringLiteral("INSERT INTO TTCH_TIPOCHIUSURA (ITCHID, STCHSDESC, STCHLDESC, ILOCKED) VALUES (2, "
                       "'INT', 'Chiusura intermedia', 0)"));
    const int provisional = count("SELECT COUNT(*) FROM TBBUO_BUONI WHERE ILOCKED <> 1");
    const QVariantHash reg{{QStringLiteral("f"), k.facId}, {QStringLiteral("d"), QDate(2026, 12, 31)}};
    const QString registerVouchers = QStringLiteral(
        "SELECT buo.IBBUOID FROM TBBUO_BUONI buo INNER JOIN TDWGFACANF dia ON dia.IDWGFACANFID = buo.IDWGFACANFID "
        "INNER JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = :f AND buo.DBBUODATA <= :d");
    const auto committed = [&](const QStringList &statements) {
        db->StartTransaction();
        const double ms = VoMillis([&] {
            for (const QString &sql : statements)
                VoExecSQL(sql, reg);
            db->Commit();
        });
        return ms;
    };
    double closingFloor = 0;
    {
        TVoBenchSnapshot generated(db);
        const int closing = VoBenchReserve(db, QStringLiteral("TCHA_CHIUSURAANNO"), 1);
        const int rows = VoBenchReserve(db, QStringLiteral("TCHACAM"), 1000);
        closingFloor = committed(
            {QStringLiteral("UPDATE TBINB_BENI SET IAVAID = 2 WHERE IAVAID = 1 AND IBBUOID IN (%1 AND buo.ILOCKED <> 1)")
                 .arg(registerVouchers),
             QStringLiteral("UPDATE TBINB_BENI SET IAVAID = 4 WHERE IAVAID = 3 AND IBBUOIDSCARICO IN (%1 AND buo.ILOCKED <> "
                            "1)")
                 .arg(registerVouchers),
             QStringLiteral("UPDATE TBBUO_BUONI SET ILOCKED = 1 WHERE ILOCKED <> 1 AND IBBUOID IN (%1)").arg(registerVouchers),
             QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, DINSERT, IFACID, ITCHID) VALUES "
                            "(%1, :d, CURRENT_TIMESTAMP, :f, 2)")
                 .arg(closing),
             QStringLiteral("INSERT INTO TCHACAM (ICHACAMID, ICHAID, ICAMID, ICHACAMIMPORTO) SELECT %1 + g.ICAMID, %2, "
                            "g.ICAMID, g.V FROM (SELECT inb.ICAMID, SUM(inb.IBINBIMPORTO) AS V FROM TBINB_BENI inb "
                            "WHERE inb.IBBUOID IN (%3) AND inb.IBBUOIDSCARICO IS NULL GROUP BY inb.ICAMID) g")
                 .arg(rows)
                 .arg(closing)
                 .arg(registerVouchers)});
        generated.Fresh();
    }

    {
        TfmkvbChiusura window;
        window.EnsureFormCreated();
        window.SetClosingMode(1);
        window.show();
        window.buNext->click();
        window.deDataChiusura->SetDate(QDate(2026, 12, 31));
        window.xqcMain->FieldByName(QStringLiteral("iTchId"))->SetAsInteger(2);
        bench.messages->Push({mrYes, mrYes});
        QElapsedTimer timer;
        timer.start();
        window.buOk->click();
        const double ms = timer.nsecsElapsed() / 1e6;
        VoBenchBeside(QStringLiteral("closing at 31/12/2026 with %1 provisional vouchers made definitive (%2 left, %3 "
                                     "category rows; once)")
                          .arg(provisional)
                          .arg(count("SELECT COUNT(*) FROM TBBUO_BUONI WHERE ILOCKED <> 1"))
                          .arg(count("SELECT COUNT(*) FROM TCHACAM")),
                      ms, QStringLiteral("the vouchers and goods made definitive and the category sums, set-wise"),
                      closingFloor);
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text.left(80) << "\n";
    bench.messages->Clear();

    const int goods =
        count("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOIDSCARICO IS NULL AND IBINBNUMERO > 0");
    const QString inCharge = QStringLiteral("inb.IBBUOIDSCARICO IS NULL AND inb.IBINBNUMERO > 0 AND inb.IBBUOID IN (%1)")
                                 .arg(registerVouchers);
    double renumberFloor = 0;
    {
        TVoBenchSnapshot closed(db);
        renumberFloor = committed(
            {QStringLiteral("INSERT INTO TBBNU_BENINUMERI (IBBNUID, IBINBID, IBBNUNUMERO, SBBNUCODNUMERO, DSTART, DEND) "
                            "SELECT NEXT VALUE FOR GID_TBBNU_BENINUMERI, inb.IBINBID, inb.IBINBNUMERO, "
                            "inb.SBINBCODNUMERO, DATE '2025-01-01', DATE '2027-01-10' FROM TBINB_BENI inb WHERE %1")
                 .arg(inCharge),
             QStringLiteral("MERGE INTO TBINB_BENI t USING (SELECT inb.IBINBID, ROW_NUMBER() OVER (ORDER BY "
                            "inb.IBINBNUMERO) AS N FROM TBINB_BENI inb WHERE %1) s ON t.IBINBID = s.IBINBID WHEN "
                            "MATCHED THEN UPDATE SET t.IBINBNUMERO = s.N")
                 .arg(inCharge)});
        closed.Fresh();
    }
    QElapsedTimer timer;
    timer.start();
    const bool renumbered = RenumberAllGoods(1, false, DateToDays(QDate(2027, 1, 10)));
    VoBenchBeside(QStringLiteral("RenumberAllGoods over %1 goods in charge%2 (once)")
                      .arg(goods)
                      .arg(renumbered ? QString() : QStringLiteral(" (refused)")),
                  timer.nsecsElapsed() / 1e6, QStringLiteral("the numbers written and kept, set-wise"), renumberFloor);
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text << "\n";
    return 0;
}
