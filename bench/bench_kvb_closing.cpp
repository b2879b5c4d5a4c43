// Times the register closing and the renumbering of the whole register on the generated register of
// 100,000 goods (VoBenchGoods.h): the closing at 31/12/2026, driven through its window, makes the 500
// provisional vouchers of 2026 definitive and records the value per category, in one transaction;
// RenumberAllGoods then renumbers every good still in charge, in another.
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
        out << "closing at 31/12/2026 with " << provisional << " provisional vouchers made definitive ("
            << count("SELECT COUNT(*) FROM TBBUO_BUONI WHERE ILOCKED <> 1") << " left, "
            << count("SELECT COUNT(*) FROM TCHACAM") << " category rows): " << ms << " ms\n";
    }
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text.left(80) << "\n";
    bench.messages->Clear();

    const int goods =
        count("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOIDSCARICO IS NULL AND IBINBNUMERO > 0");
    QElapsedTimer timer;
    timer.start();
    const bool renumbered = RenumberAllGoods(1, false, DateToDays(QDate(2027, 1, 10)));
    out << "RenumberAllGoods over " << goods << " goods in charge" << (renumbered ? "" : " (refused)") << ": "
        << timer.nsecsElapsed() / 1e6 << " ms\n";
    for (const QString &text : bench.messages->Texts())
        out << "  message: " << text << "\n";
    return 0;
}
