// Times the unloading vouchers on the generated register of 100,000 goods (VoBenchGoods.h): the
// unloading window opened on the register-year of 2026, the number lookup's list of the goods that
// a new unloading voucher at 31/12/2026 may still discharge, and the multiple unloading putting
// 10,000 of them on that voucher in one run; the drop-down and the wizard's opening (from its
// construction to its first paint) each the median of five beside the bare query of the rows they read, with
// their ratio.
//
//   bench_kvb_unloading
#include "AbcUContext.h"
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoClassRegistry.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "kvbFBuoniSca.h"
#include "kvbFBuoniScaMulti.h"
#include "kvbRBeniCaricoSca.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int kDischarged = 10000;

// The bare queries the drop-down and the wizard stand for: their first rows walking the goods
// number's index.
const char *const kBareLookupSQL =
    "SELECT inb.IBINBID, inb.IBINBNUMERO, inb.SBINBDESC FROM TBINB_BENI inb WHERE "
    "inb.IBBUOIDSCARICO IS NULL ORDER BY inb.IBINBNUMERO ROWS 1 TO %1";
const char *const kBareWizardSQL =
    "SELECT inb.IBINBID, inb.IBINBNUMERO, inb.SBINBDESC, inb.IBINBIMPORTO FROM "
    "TBINB_BENI inb WHERE inb.IAVAID = 2 ORDER BY inb.IBINBNUMERO ROWS 1 TO %1";

// The bare query of a figure: the first rows of sql, as many as the figure read (known once it ran).
TVoBenchStep Bare(const char *sql, const int *rows) {
    return {[sql, rows] {
        TVoQuery q(QString::fromLatin1(sql).arg(*rows));
        for (q.Open(); !q.Eof(); q.Next()) {
        }
    }};
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_unloading"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const TVoBenchGoods k = VoBenchGenerateGoods(db);
    // Everything of 2026 in charge, so that the lookup and the wizard offer the whole register.
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IAVAID = 2 WHERE IAVAID = 1"));
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET ILOCKED = 1 WHERE IBBUOTIPO = 0"));
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(k.y26));
    kvb::LoadWorkingContext(true);
    const int voucher = VoBenchReserve(db, QStringLiteral("TBBUO_BUONI"), 1);
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                       "IBBUOTIPO, ILOCKED, IBBUOIMPORTO, IBBUORICOGNIZ) VALUES (:v, :y, 9999, DATE "
                       "'2026-12-31', 'Scarico', 1, 0, 0, 0)"),
        {{QStringLiteral("v"), voucher}, {QStringLiteral("y"), k.y26}});
    const int cause =
        VoSelectValue(QStringLiteral("SELECT MIN(ICAVID) FROM TCAV_CAUSALIINV WHERE ICAVTIPO = 1")).toInt();

    QElapsedTimer timer;
    timer.start();
    auto *window = qobject_cast<TfmkvbBuoniSca *>(CreateVoClass(QStringLiteral("TfmkvbBuoniSca")));
    window->show();
    QApplication::processEvents();
    out << "unloading window opened: " << timer.nsecsElapsed() / 1e6 << " ms ("
        << window->xqcMain->FetchedCount() << " vouchers read)\n"
        << Qt::flush;
    window->xqcMain->Locate(QStringLiteral("IBBUOID"), voucher);

    window->frDetail->xacInsert->Execute();
    TVoQueryCollection *list = window->frDetail->xelNumero->ListDataSet();
    int read = 0;
    VoBenchFigure(QStringLiteral("number lookup dropped down"),
                  {[&] {
                       window->frDetail->xelNumero->ShowDropDown();
                       QApplication::processEvents();
                       read = list->FetchedCount();
                   },
                   [&] { QApplication::processEvents(); }},
                  QStringLiteral("bare query"), Bare(kBareLookupSQL, &read));
    out << "  " << read << " rows read first\n";
    timer.restart();
    const int offered = list->RecordCount();
    out << "  and read whole: " << timer.nsecsElapsed() / 1e6 << " ms (" << offered << " goods offered)\n"
        << Qt::flush;
    window->xqcDetail->Cancel();

    // The wizard from the click that opens it: made, given its voucher, shown with its first goods.
    std::unique_ptr<TfmBuoniScaMulti> wizard;
    VoBenchFigure(QStringLiteral("wizard opened"),
                  {[&] {
                       wizard.reset(VoNewForm<TfmBuoniScaMulti>(window));
                       wizard->SetVoucherDate(DateToDays(QDate(2026, 12, 31)));
                       wizard->SetVoucherId(voucher);
                       VoBenchShow(wizard.get());
                       read = wizard->xqcBeni->FetchedCount();
                   },
                   [&] { wizard.reset(); }},
                  QStringLiteral("bare query"), Bare(kBareWizardSQL, &read));
    out << "  " << read << " goods read first\n";
    for (int row = 0; row < kDischarged; ++row)
        wizard->frVoMultiSelect1->SetSelected(row, true);
    if (wizard->xqcBeni->FetchedCount() < kDischarged) {
        wizard->xqcBeni->FetchAll();
        for (int row = 0; row < kDischarged; ++row)
            wizard->frVoMultiSelect1->SetSelected(row, true);
    }
    wizard->cbCausale->SelectId(cause);
    // The least the discharge writes: as many definitive goods put on the voucher in one statement.
    const double oneStatement = VoBenchDischargeFloor(voucher, kDischarged, QStringLiteral("IAVAID = 2"));
    timer.restart();
    const bool done = wizard->ExecuteUnloading();
    const double discharging = timer.nsecsElapsed() / 1e6;
    VoBenchBeside(QStringLiteral("wizard discharging %1 goods (%2, %3 goods on the voucher)")
                      .arg(wizard->frVoMultiSelect1->GetSelCount())
                      .arg(done ? QStringLiteral("committed") : QStringLiteral("FAILED"))
                      .arg(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI WHERE IBBUOIDSCARICO = :v"),
                                         {{QStringLiteral("v"), voucher}})
                               .toInt()),
                  discharging, QStringLiteral("as many goods put on the voucher by one statement"), oneStatement);
    return done ? 0 : 1;
}
