// Times two reports of the consumables register on the stock benchmark's generated register
// (VoBenchRegister.h), every article given one of the five demo categories: the stock list (26009),
// laid out to its last page, its stock and average cost fetched article by article, and the
// articles by category (26020) with every category chosen. Each is timed as the user waits for it:
// the run that lays out every page (the preview shows its first page then), and the PDF written from
// it. Both register scopes are timed: per register-year and across the register's years.
//
//   bench_kva_reports
#include "VoBench.h"
#include "VoBenchRegister.h"
#include "VoBenchReports.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoRptPages.h"
#include "VoRptTreeView.h"
#include "kvaFSelectRangeData.h"
#include "kvaMAtt.h"
#include "kvaMReport.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Confirms the date the stock list proposes and every selection form with all its rows ticked.
void Confirm() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto *dialog = qobject_cast<TfmKvaSelectRangeDate *>(modal)) {
        dialog->buOk->click();
    } else if (auto *form = qobject_cast<TfmVoMultiSelect *>(modal)) {
        form->frVoMultiSel->SelectAll();
        form->buOk->click();
    }
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_reports"));
    if (!bench.Ok())
        return 1;
    kvaRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QElapsedTimer timer;
    timer.start();
    const TVoBenchRegister k = VoBenchGenerateRegister(db);
    VoBenchSpreadCategories(k, db);
    Out() << "generated " << kVoBenchArticles << " articles and " << kVoBenchRows << " rows in "
          << timer.elapsed() << " ms\n";

    // The program's modules, with the register-year 2026 chosen.
    dmkvaAtt = new TdmkvaAtt(nullptr);
    dmkvaReport = new TdmkvaReport(nullptr);
    TVoRptTreeView *tree = TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe);
    kvaHookReports(tree);
    const int school =
        VoSelectValue(QStringLiteral("SELECT MIN(IDWGID) FROM TDOW_DATAOWNER"), {}, db).toInt();
    for (const int numbering : {1, 0}) {
        VoExecSQL(QStringLiteral("UPDATE TFAC_VELISTO SET IFACNUMERAZ = :n"),
                  {{QStringLiteral("n"), numbering}}, db);
        xgvmGlobalVar.Add(ParSchool, QString::number(school));
        xgvmGlobalVar.Add(ParRegisterYear, QString::number(k.y26));
        kva::LoadWorkingContext(false);
        kva::GetParamDescription(ParRegisterYear);
        Out() << "\n"
              << (numbering == 1 ? "Numbering per register-year (the rows of 2026)"
                                 : "Numbering across years (the rows of 2025 and 2026)")
              << ":\n";
        VoBenchTimeReport(tree, 26009, QStringLiteral("Elenco generale dei beni (26009)"), bench.Dir(),
                          bench.messages, &Confirm, QStringLiteral("every article's stock and value, one GROUP BY"),
                          [&] { return VoBenchBareStockGroupBy(db, QDate::currentDate(), k.y26, numbering == 1 ? 0 : k.y25); });
        VoBenchTimeReport(tree, 26020, QStringLiteral("Articoli per categoria (26020), every category"),
                          bench.Dir(), bench.messages, &Confirm,
                          QStringLiteral("every article's stock and value, one GROUP BY, and the articles by category"), [&] {
                              return VoBenchBareStockGroupBy(db, QDate::currentDate(), k.y26, numbering == 1 ? 0 : k.y25) +
                                     VoBenchBareRead(db, QStringLiteral("SELECT far.IFARID, far.SFARSDESC, far.SFARLDESC, "
                                                                        "caf.SCAFDESC FROM TFAR_FACARTICOLI far LEFT JOIN "
                                                                        "TCAF_CATEGORIEFAC caf ON caf.ICAFID = far.ICAFID "
                                                                        "ORDER BY far.ICAFID, far.SFARLDESC"));
                          });
    }
    delete dmkvaReport;
    dmkvaReport = nullptr;
    delete dmkvaAtt;
    dmkvaAtt = nullptr;
    return 0;
}
