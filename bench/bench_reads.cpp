// Times the short reads a click makes outside any write, on the generated register
// (VoBenchRegister.h) in the register-year 2026: the stock of one article as the articles window asks
// it, the check that a new voucher's number is free, and the first screen of an article lookup's
// drop-down as the user types a code. Each is timed as the programs make it now, in the read-only
// read-committed transaction the connection keeps, and as they made it before, each read in a
// transaction of its own with its statement prepared anew; beside the least a read costs: the same
// statement prepared once and run in a transaction kept open.
//
//   bench_reads [calls]     calls: how many calls each figure averages (default 200)
#include "VoBench.h"
#include "VoBenchContext.h"
#include "VoBenchRegister.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoShortRead.h"
#include "VoSqlText.h"
#include "AbcUBuoni.h"
#include "AbcUContext.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDate>
#include <QSqlQuery>
#include <QTableView>
#include <functional>
#include <memory>

namespace {

// The article lookup of the replacement window: codes, the drop-down narrowed as the code is typed.
const char *const kCodeListSQL = "SELECT iFarId, sFarSDesc FROM TFar_FacArticoli WHERE ##WHERE##";

// The statement prepared once, each call binding its values and reading its rows, all in one
// transaction kept open: the engine's work for the read and nothing around it.
class TFloor {
public:
    TFloor(TVoSQLConnection *conn, const QString &sql) : m_conn(conn), m_parsed(VoParseSQL(sql)) {}
    void Begin() {
        m_conn->StartTransaction();
        m_query = std::make_unique<QSqlQuery>(m_conn->Database());
        m_query->setForwardOnly(true);
        m_query->prepare(m_parsed.text);
    }
    void Run(const QVariantHash &values) {
        for (int i = 0; i < m_parsed.params.size(); ++i)
            m_query->bindValue(i, values.value(m_parsed.params[i].toUpper()));
        m_query->exec();
        while (m_query->next()) {
        }
        m_query->finish();
    }
    void End() {
        m_query.reset();
        m_conn->Commit();
    }

private:
    TVoSQLConnection *m_conn;
    TVoParsedSQL m_parsed;
    std::unique_ptr<QSqlQuery> m_query;
};

} // namespace

int main(int argc, char *argv[]) {
    TVoBenchApp bench(argc, argv, QStringLiteral("bench_reads"));
    if (!bench.Ok())
        return 1;
    TVoSQLConnection *const db = bench.Db();
    QTextStream &out = Out();
    const int calls = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    const TVoBenchRegister k = VoBenchGenerateRegister(db);
    VoBenchChooseRegisterYear(k.y26);

    const double day = DateToDays(QDate(2026, 12, 31));
    const auto ordinary = [&](int i) { return k.article + 1 + (i * 37) % (kVoBenchArticles - 1); };
    TVoShortReads &shortReads = db->ShortReads();
    // A figure as the programs make it now, and as before: every read in a transaction of its own.
    const auto twoWays = [&](const QString &what, const std::function<void(int)> &call, const QString &sql,
                             const std::function<QVariantHash(int)> &values) {
        for (const bool kept : {true, false}) {
            TFloor floor(db, sql);
            int i = 0, j = 0;
            const int prepared = db->PreparedCount();
            VoBenchFigure(what + (kept ? QStringLiteral(", now (kept read transaction)")
                                       : QStringLiteral(", before (a transaction each)")),
                          {[&] { call(i++); }, [&] { shortReads.SetEnabled(kept); }, calls},
                          QStringLiteral("prepared once, one transaction"),
                          {{}, {}, calls, [&] {
                               floor.Begin();
                               const double us = VoMeanMicros(calls, [&](int) { floor.Run(values(j++)); });
                               floor.End();
                               return us;
                           }});
            Out() << "    statements prepared a call: " << double(db->PreparedCount() - prepared) / i << "\n";
        }
        shortReads.SetEnabled(true);
    };
    out << "median of " << kVoBenchRuns << " means of " << calls << " calls each:\n";

    twoWays(
        QStringLiteral("stock of one article as the articles window asks it"),
        [&](int i) { GetStock(ordinary(i), -1, day); },
        QStringLiteral("SELECT Giacenza, CostoUniMed FROM PKva_GetGiacenza(:a, :d, :y, -1)"), [&](int i) {
            return QVariantHash{{QStringLiteral("A"), ordinary(i)},
                                {QStringLiteral("D"), QDate(2026, 12, 31)},
                                {QStringLiteral("Y"), k.y26}};
        });

    // Numbers of 2026's unloading vouchers, and as many that are free.
    // The check's own statement, of the register's numbering scope.
    const bool perYear = kvaVoucherProfile.numberingPerYear();
    twoWays(
        QStringLiteral("voucher number check of a new unloading voucher (numbered %1)")
            .arg(perYear ? QStringLiteral("per register-year") : QStringLiteral("across years")),
        [&](int i) { kva::VoucherNumberExists(1 + (i * 7) % 2000, 1); },
        QString::fromLatin1(kvaVoucherProfile.numberExistsSQL[perYear]), [&](int i) {
            return QVariantHash{{QStringLiteral("IFBUOTIPO"), 1},
                                {QStringLiteral("IDWGFACANFID"), k.y26},
                                {QStringLiteral("IFACID"), CurrentRegisterId},
                                {QStringLiteral("IFBUONUMERO"), 1 + (i * 7) % 2000}};
        });

    // The drop-down of codes as the user types "00012", "00013" and so on.
    QWidget window;
    auto *lookup = new TVoDBLookupEdit(&window);
    lookup->SetConnection(db);
    lookup->SetKeyField(QStringLiteral("iFarId"));
    lookup->SetListField(QStringLiteral("sFarSDesc"));
    lookup->SetListSQL(QString::fromLatin1(kCodeListSQL));
    window.resize(400, 300);
    VoBenchShow(&window);
    const auto typed = [](int i) { return QStringLiteral("000%1").arg(10 + i % 40); };
    const auto dropDown = [&](int i) {
        lookup->setText(typed(i));
        lookup->setModified(true);
        lookup->ShowDropDown();
        QApplication::processEvents();
        lookup->DropDown()->hide();
    };
    dropDown(0);
    const int shown = lookup->ListDataSet()->FetchedCount();
    const QString read = VoSlice(lookup->ListDataSet()->CommandText(), 1, shown);
    QString param;
    for (const QString &name : VoParseSQL(read).params)
        param = name.toUpper();
    twoWays(
        QStringLiteral("code lookup's drop-down, first screen (%1 rows)").arg(shown), dropDown, read,
        [&](int i) { return QVariantHash{{param, QStringLiteral("%1%").arg(typed(i))}}; });
    return 0;
}
