// Times the year closing of the register-year 2026 of the generated register (5,000 articles,
// 100,000 voucher rows in the year, numbered per register-year so that every article in stock gets
// its closing and opening rows), step by step as the window runs it: the count of the moved articles,
// the articles' stock carried into 2027, the category totals and the commit.
//
//   bench_closing
#include "VoBench.h"
#include "VoBenchRegister.h"
#include "VoClassRegistry.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "kvaFChiusura.h"
#include "kvaURegistries.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>

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
    double bare = 0.0;
    {
        int grouped = 0;
        VoBenchBareStockGroupBy(db, QDate(2026, 12, 31), k.y26, 0, &grouped);
        double t[3];
        for (double &one : t)
            one = VoBenchBareStockGroupBy(db, QDate(2026, 12, 31), k.y26, 0, &grouped);
        std::sort(t, t + 3);
        bare = t[1];
        Out() << "  bare GROUP BY over the year's rows: " << bare << " ms (" << grouped << " articles)\n";
    }
    double articles = 0.0;

    auto *fm = qobject_cast<TfmKvaChiusura *>(CreateVoClass(QStringLiteral("TfmKvaChiusura")));
    if (!fm) {
        Out() << "the window did not open: " << bench.messages->Texts().join(QLatin1Char('\n')) << "\n";
        return 1;
    }
    QString step = QStringLiteral("count");
    timer.restart();
    fm->OnStep = [&](const char *next) {
        if (QLatin1String(next) == QLatin1String("count"))
            return;
        Out() << "  " << step << ": " << timer.elapsed() << " ms\n";
        if (step == QLatin1String("articles"))
            articles = timer.elapsed();
        step = QString::fromLatin1(next);
        timer.restart();
    };
    fm->show();
    timer.restart();
    fm->buNext->click();
    Out() << "  count: " << timer.elapsed() << " ms (" << fm->laNumArticoli->text() << " articles)\n";
    step = QStringLiteral("lock");
    timer.restart();
    fm->buOk->click();
    Out() << "  messages: " << bench.messages->Texts().join(QLatin1String(" | ")) << "\n";
    Out() << "  rows written: "
          << VoSelectValue(
                 QStringLiteral("SELECT COUNT(*) FROM TAFC_ARTVELIST afc INNER JOIN TFBUO_BUONI b ON "
                                "b.IFBUOID = afc.IFBUOID WHERE b.SFBUOUSE IN ('SCACHIUS', 'CARCHIUS')"),
                 {}, db)
                 .toInt()
          << "\n";
    Out() << "  ratio articles step / bare: " << articles / bare << "\n";
    delete fm;
    return 0;
}
