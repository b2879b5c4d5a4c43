// Times the bulk data replacement of the durable goods on a register of 20,000 goods in charge, on
// 400 definitive loading vouchers of 2026 in the demo inventory's register: the goods picker filled
// (the query read, the items made and sorted by number), and one category change of 5,000 picked
// goods, which discharges them on one unloading voucher and copies them onto one loading voucher, in
// one transaction, beside the same copies and discharges made by one statement each.
//
//   bench_kvb_replace
#include "AbcUContext.h"
#include "VoBench.h"
#include "VoBenchGoods.h"
#include "VoClassRegistry.h"
#include "VoGlobals.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoStatistics.h"
#include "kvbFDataReplace.h"
#include "kvbRDblLstInbSelect.h"
#include "kvbURegistries.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

namespace {

constexpr int kVouchers = 400;
constexpr int kGoodsPerVoucher = 50;
constexpr int kPicked = 5000;
constexpr int kRuns = 5;

// The goods the picker offers, with the columns it shows, read whole.
const char *const kBarePickerSQL =
    "SELECT inb.IBINBID, inb.IBINBNUMERO, inb.SBINBDESC, inb.IBINBIMPORTO, cam.SCAMCODICE, sec.SSECDESCS "
    "FROM TBINB_BENI inb JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID JOIN TDWGFACANF dfa ON "
    "dfa.IDWGFACANFID = buo.IDWGFACANFID JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID JOIN "
    "TCAM_CATEGORIEINV cam ON cam.ICAMID = inb.ICAMID JOIN TSEC_SETTCONS sec ON sec.ISECID = inb.ISECID "
    "WHERE df.IFACID = :f AND inb.IBINBFUORIREGISTRO = 0 AND inb.IBBUOIDSCARICO IS NULL AND buo.ILOCKED = 1";

// The register-year of 2026 of the demo's durable-goods register, filled.
int Generate(TVoSQLConnection *conn) {
    const int facId =
        VoSelectValue(QStringLiteral("SELECT MIN(IFACID) FROM TFAC_VELISTO WHERE ITFCID = 5"), {}, conn)
            .toInt();
    const int year = VoBenchRegisterYear(conn, facId, 2026);
    const QVariantHash p{
        {QStringLiteral("v0"), VoBenchReserve(conn, QStringLiteral("TBBUO_BUONI"), kVouchers)},
        {QStringLiteral("g0"),
         VoBenchReserve(conn, QStringLiteral("TBINB_BENI"), kVouchers * kGoodsPerVoucher)},
        {QStringLiteral("y"), year},
        {QStringLiteral("s"),
         VoSelectValue(QStringLiteral("SELECT MIN(ISECID) FROM TSEC_SETTCONS"), {}, conn)}};
    conn->StartTransaction();
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                       "IBBUOTIPO, ILOCKED, IBBUOIMPORTO) ") +
            kVoBenchNumbers +
            QStringLiteral("SELECT :v0 + I, CAST(:y AS INTEGER), 1000 + I, DATE '2026-01-02', 'Buono', 0, 1, "
                           "500000 FROM N WHERE I < %1")
                .arg(kVouchers),
        p, conn);
    VoExecSQL(
        QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, "
                       "ICAMID, ISECID, IAVAID) ") +
            kVoBenchNumbers +
            QStringLiteral(", G AS (SELECT a.I * 1000 + b.I AS I FROM N a CROSS JOIN N b WHERE a.I < %1) "
                           "SELECT :g0 + I, 1000 + I, 'BENE ' || MOD(I, 997), :v0 + I / %2, 10000, 1, "
                           "CAST(:s AS INTEGER), 2 FROM G")
                .arg(kVouchers * kGoodsPerVoucher / 1000)
                .arg(kGoodsPerVoucher),
        p, conn);
    conn->Commit();
    // As the programs find the data once they start.
    VoRefreshStaleStatistics(conn);
    return year;
}

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_kvb_replace"));
    if (!bench.Ok())
        return 1;
    kvbRegisterWindows();
    QTextStream &out = Out();
    QElapsedTimer timer;
    timer.start();
    const int year = Generate(bench.Db());
    out << "generated " << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI")).toInt()
        << " goods in " << timer.elapsed() << " ms\n";
    // The goods the comparison below names, by their keys; made before any window prepares a read.
    ExecRaw(*bench.Db(), QStringLiteral("CREATE TABLE TBENCH_SCELTI (ID INTEGER NOT NULL PRIMARY KEY)"));
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(year));
    kvb::LoadWorkingContext(true);

    std::unique_ptr<TfrKvbDblLstInbSelect> picker;
    out << "picker created and filled:       "
        << VoMillis([&] { picker = std::make_unique<TfrKvbDblLstInbSelect>(); }) << " ms ("
        << picker->LeftCount() << " goods)\n";
    const double bare = VoMedianMillis(kRuns, [] {
        TVoQuery q(QString::fromLatin1(kBarePickerSQL));
        for (q.SetParam(QStringLiteral("f"), CurrentRegisterId).Open(); !q.Eof(); q.Next()) {
        }
    });
    VoBenchBeside(QStringLiteral("picker filled again, median of %1").arg(kRuns),
                  VoMedianMillis(kRuns, [&] { picker->ReloadLists(); }), QStringLiteral("bare query"), bare,
                  QStringLiteral("ms"));
    picker.reset();

    std::unique_ptr<TfmKvbDataReplace> fm(
        qobject_cast<TfmKvbDataReplace *>(CreateVoClass(QStringLiteral("TfmKvbDataReplace"))));
    fm->show();
    fm->lbFieldList->setCurrentItem(
        fm->lbFieldList->findItems(QStringLiteral("Categoria"), Qt::MatchExactly)[0]);
    fm->buNext->click();
    TfrKvbDblLstInbSelect *frame = fm->frKvbDblLstInbSelect1;
    for (int i = 0; i < kPicked; ++i)
        frame->lvLeft->topLevelItem(i)->setSelected(true);
    out << "5,000 goods moved right:         " << VoMillis([&] { frame->MoveSelectedRight(); }) << " ms\n";
    fm->buNext->click();
    auto *oldCategory = qobject_cast<TVoIdComboBox *>(fm->OldValueEditor());
    oldCategory->setCurrentIndex(1);
    auto *newCategory = qobject_cast<TVoIdComboBox *>(fm->NewValueEditor());
    newCategory->setCurrentIndex(1);
    // The least the change writes: the picked goods copied with the new category (their periods by the
    // server's trigger) and discharged, by one statement each, rolled back.
    const QList<int> picked = frame->SelectedIds();
    {
        qqoVoGlobConn->StartTransaction();
        QSqlQuery write(qqoVoGlobConn->Database());
        write.prepare(QStringLiteral("INSERT INTO TBENCH_SCELTI (ID) VALUES (?)"));
        for (const int id : picked) {
            write.bindValue(0, id);
            write.exec();
        }
        qqoVoGlobConn->Commit();
    }
    const int voucher = VoSelectValue(QStringLiteral("SELECT MIN(IBBUOID) FROM TBBUO_BUONI WHERE IBBUOTIPO = 1")).toInt();
    const int keys = VoBenchReserve(qqoVoGlobConn, QStringLiteral("TBINB_BENI"), int(picked.size()));
    qqoVoGlobConn->StartTransaction();
    const double setWise = VoMillis([&] {
        VoExecSQL(QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, ICAMID, "
                                 "IAVAID, ISECID, ISEDINFID) SELECT :k + ROW_NUMBER() OVER (ORDER BY IBINBID), IBINBNUMERO, "
                                 "SBINBDESC, IBBUOID, IBINBIMPORTO, :c, 1, ISECID, ISEDINFID FROM TBINB_BENI INNER JOIN TBENCH_SCELTI ON "
                                 "ID = IBINBID"),
                  {{QStringLiteral("k"), keys - 1}, {QStringLiteral("c"), newCategory->SelectedId()}});
        VoExecSQL(QStringLiteral("MERGE INTO TBINB_BENI t USING TBENCH_SCELTI s ON t.IBINBID = s.ID WHEN MATCHED THEN "
                                 "UPDATE SET t.IBBUOIDSCARICO = :v, t.IAVAID = 3"),
                  {{QStringLiteral("v"), voucher}});
    });
    qqoVoGlobConn->Rollback();
    VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI"));
    VoBenchBeside(QStringLiteral("category changed on %1 (once)").arg(picked.size()), VoMillis([&] { fm->Replace(); }),
                  QStringLiteral("the goods copied and discharged by one statement each"), setWise);
    out << "  " << bench.messages->LastText() << "\n";
    out << "  goods on the new loading voucher: "
        << VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON "
                                        "buo.IBBUOID = inb.IBBUOID WHERE buo.SBBUODESC = 'Cambio Categoria'"))
               .toInt()
        << "\n";
    return 0;
}
