// Times two reports of the durable-goods program on the generated register of 100,000 goods
// (VoBenchGoods.h) with two closings, 31/12/2025 and 31/05/2026: the register of goods at today's date
// (33001), every good of the register listed in its selection form and laid out to the last page, and
// the closings report (33015), each closing with its movements since the previous one (the second
// about 20,000 of 2026) and the previous closing's totals. Each is timed as the user waits for it: the
// run that lays out every page, and the PDF written from it.
//
//   bench_kvb_reports
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoBenchReports.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "kvbMAtt.h"
#include "kvbMReport.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Confirms every selection form as it is proposed (no row ticked prints every row).
void Confirm() {
    if (auto *dialog = qobject_cast<TfmVoOkCancDlg *>(QApplication::activeModalWidget());
        dialog && dialog->isVisible())
        dialog->buOk->click();
}

// A closing of the register with its totals per category as the server counts them at its date.
void Closing(TVoSQLConnection *conn, int facId, const QDate &date) {
    const int id = VoBenchReserve(conn, QStringLiteral("TCHA_CHIUSURAANNO"), 1);
    const QVariantHash p{
        {QStringLiteral("id"), id}, {QStringLiteral("d"), date}, {QStringLiteral("f"), facId}};
    VoExecSQL(
        QStringLiteral("INSERT INTO TCHA_CHIUSURAANNO (ICHAID, DCHADATACHIUSURA, ITCHID, IFACID) VALUES "
                       "(:id, :d, 1, :f)"),
        p, conn);
    const int first = VoBenchReserve(conn, QStringLiteral("TCHACAM"), 8);
    for (int c = 1; c <= 8; ++c) {
        const QVariant amount = VoSelectValue(
            QStringLiteral("SELECT IMP%1 FROM PKVB_GETCHIUSURA(NULL, :d, 1, :f)").arg(c), p, conn);
        VoExecSQL(
            QStringLiteral("INSERT INTO TCHACAM (ICHACAMID, ICHAID, ICAMID, ICHACAMIMPORTO) VALUES (:k, :id, "
                           ":c, :a)"),
            {{QStringLiteral("k"), first + c - 1},
             {QStringLiteral("id"), id},
             {QStringLiteral("c"), c},
             {QStringLiteral("a"), amount}},
            conn);
    }
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_reports"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QElapsedTimer timer;
    timer.start();
    const TVoBenchGoods k = VoBenchGenerateGoods(db);
    Closing(db, k.facId, QDate(2025, 12, 31));
    Closing(db, k.facId, QDate(2026, 5, 31));
    const auto movements = [&](const char *dateColumn) {
        return VoSelectValue(
                   QStringLiteral("SELECT COUNT(*) FROM VBINB_BENI WHERE %1 > DATE '2025-12-31' AND %1 <= "
                                  "DATE '2026-05-31'")
                       .arg(QLatin1String(dateColumn)),
                   {}, db)
            .toInt();
    };
    Out() << "generated " << kGoods << " goods and two closings in " << timer.elapsed() << " ms; "
          << movements("DBBUODATA") + movements("DBBUODATASCA") << " movements between the two closings\n\n";

    // The program's modules, with the register-year 2026 chosen.
    dmkvbAtt = new TdmkvbAtt(nullptr);
    dmkvbReport = new TdmkvbReport(nullptr);
    TVoRptTreeView *tree = TVoRptTreeView::Of(dmkvbAtt->xarkvbStampe);
    kvbHookReports(tree);
    CurrentRegisterId = k.facId;
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(k.y26));
    kvb::LoadCurrentRegisterYear(k.y26, CurrentRegStart, CurrentRegEnd);
    // The rows the reports lay out, read bare: every good of the register with its view's columns; the
    // goods loaded or discharged between the closings, and the closings' category rows.
    const QString goods = QStringLiteral(
        "SELECT inb.* FROM VBINB_BENI inb INNER JOIN TDWGFACANF dia ON dia.IDWGFACANFID = inb.IDWGFACANFID INNER "
        "JOIN TDWGFAC di ON di.IDWGFACID = dia.IDWGFACID WHERE di.IFACID = %1")
                              .arg(k.facId);
    VoBenchTimeReport(tree, 33001, QStringLiteral("Registro dei beni alla data (33001), every good"),
                      bench.Dir(), bench.messages, &Confirm, QStringLiteral("every good of the register read"),
                      [&] { return VoBenchBareRead(db, goods + QStringLiteral(" ORDER BY inb.IBINBNUMERO")); });
    VoBenchTimeReport(tree, 33015, QStringLiteral("Chiusure (33015)"), bench.Dir(), bench.messages, &Confirm,
                      QStringLiteral("the goods moved between the closings and the category rows read"), [&] {
                          return VoBenchBareRead(db, goods + QStringLiteral(" AND ((inb.DBBUODATA > DATE '2025-12-31' AND "
                                                                            "inb.DBBUODATA <= DATE '2026-05-31') OR "
                                                                            "(inb.DBBUODATASCA > DATE '2025-12-31' AND "
                                                                            "inb.DBBUODATASCA <= DATE '2026-05-31')) ORDER BY "
                                                                            "inb.ICAMID, inb.IBINBNUMERO")) +
                                 VoBenchBareRead(db, QStringLiteral("SELECT * FROM TCHACAM"));
                      });
    delete dmkvbReport;
    dmkvbReport = nullptr;
    delete dmkvbAtt;
    dmkvbAtt = nullptr;
    return 0;
}
