#include "VoBenchRegister.h"

#include "VoConnection.h"
#include "VoQuery.h"
#include "VoStatistics.h"

#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <QVariantHash>
#include <tuple>

namespace {

constexpr int kArticles = kVoBenchArticles;
constexpr int kVouchersPerKindAndYear = 1000;
constexpr int kRows = kVoBenchRows;
constexpr int kHotLoads = 100;
constexpr int kHotUnloads = 500;

// Numbers 0..999 (two of them crossed give up to a million rows without a table) and the two years.
// A generated stream is computed again for every row of the stream it is crossed with: two long
// ones would cost the product of their lengths.
const QString kNumbers = QStringLiteral(
    "WITH RECURSIVE N AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT I + 1 FROM N WHERE I < 999), "
    "Y AS (SELECT 0 AS I FROM RDB$DATABASE UNION ALL SELECT 1 FROM RDB$DATABASE) ");

// Voucher v of year y (0, 1) and kind t (0 loading, 1 unloading) has the key :v0 + y * 2000 + t * 1000 + v,
// number v + 1 and a date that moves through the year with v.
const QString kVouchers =
    kNumbers + QStringLiteral("SELECT :v0 + y.I * 2000 + t.I * 1000 + v.I, IIF(y.I = 0, CAST(:y25 AS "
                              "INTEGER), CAST(:y26 AS INTEGER)), v.I + 1, "
                              "       DATEADD(DAY, v.I * 364 / 1000, IIF(y.I = 0, CAST(:d25 AS DATE), "
                              "CAST(:d26 AS DATE))), '', t.I, 0 "
                              "  FROM Y y CROSS JOIN Y t CROSS JOIN N v");

int Reserve(TVoSQLConnection *conn, const QString &table, int count) {
    return VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:t, :n)"),
                         {{QStringLiteral("t"), table}, {QStringLiteral("n"), count}}, conn)
        .toInt();
}

int RegisterYear(TVoSQLConnection *conn, int year) {
    return VoSelectValue(
               QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TANF_ANNIFINANZ anf "
                              "ON anf.IANFID = dfa.IANFID WHERE anf.IANFVALORE = :y"),
               {{QStringLiteral("y"), year}}, conn)
        .toInt();
}

QVariantHash With(QVariantHash params, const QString &name, const QVariant &value) {
    params.insert(name, value);
    return params;
}

} // namespace

TVoBenchRegister VoBenchGenerateRegister(TVoSQLConnection *conn) {
    TVoBenchRegister k;
    k.y25 = RegisterYear(conn, 2025);
    k.y26 = RegisterYear(conn, 2026);
    k.piece = Reserve(conn, QStringLiteral("TUNM_UNITAMISURA"), 2);
    k.box = k.piece + 1;
    k.vat22 = Reserve(conn, QStringLiteral("TALV_ALIQUOTEIVA"), 2);
    k.vat10 = k.vat22 + 1;
    k.article = Reserve(conn, QStringLiteral("TFAR_FACARTICOLI"), kArticles);
    k.voucher = Reserve(conn, QStringLiteral("TFBUO_BUONI"), 4 * kVouchersPerKindAndYear);
    k.row = Reserve(conn, QStringLiteral("TAFC_ARTVELIST"), kRows);
    const int sector =
        VoSelectValue(QStringLiteral("SELECT MIN(ISECID) FROM TSEC_SETTCONS"), {}, conn).toInt();

    conn->StartTransaction();
    const QString unit =
        QStringLiteral("INSERT INTO TUNM_UNITAMISURA (IUNMID, SUNMCOD, SUNMDESCS, FUNMFATTOREPROP) "
                       "VALUES (:id, :cod, :cod, :v)");
    const QString vat =
        QStringLiteral("INSERT INTO TALV_ALIQUOTEIVA (IALVID, SALVDESCS, FALVIVA) VALUES (:id, :cod, :v)");
    const std::tuple<QString, int, QString, double> codes[] = {{unit, k.piece, QStringLiteral("PZ"), 1},
                                                               {unit, k.box, QStringLiteral("CF"), 12},
                                                               {vat, k.vat22, QStringLiteral("22"), 22},
                                                               {vat, k.vat10, QStringLiteral("10"), 10}};
    for (const auto &[sql, id, code, value] : codes)
        VoExecSQL(sql,
                  {{QStringLiteral("id"), id}, {QStringLiteral("cod"), code}, {QStringLiteral("v"), value}},
                  conn);
    // Every fifth article is bought in boxes of 12, every third at 10% VAT.
    VoExecSQL(QStringLiteral(
                  "INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLDESC, SFARLIBTITOLO, SFARLIBAUTORE, "
                  "SFARLIBEDITORE, IUNMID, IALVID) ") +
                  kNumbers +
                  QStringLiteral("SELECT :a0 + a.I * 1000 + b.I, LPAD(1 + a.I * 1000 + b.I, 7, '0'), "
                                 "       'ARTICOLO ' || (a.I * 1000 + b.I), '', '', '', "
                                 "       IIF(MOD(b.I, 5) = 0, CAST(:cf AS INTEGER), CAST(:pz AS INTEGER)), "
                                 "       IIF(MOD(b.I, 3) = 0, CAST(:a10 AS INTEGER), CAST(:a22 AS INTEGER)) "
                                 "  FROM N a CROSS JOIN N b WHERE a.I < 5"),
              {{QStringLiteral("a0"), k.article},
               {QStringLiteral("pz"), k.piece},
               {QStringLiteral("cf"), k.box},
               {QStringLiteral("a22"), k.vat22},
               {QStringLiteral("a10"), k.vat10}},
              conn);
    VoExecSQL(
        QStringLiteral("INSERT INTO TFBUO_BUONI (IFBUOID, IDWGFACANFID, IFBUONUMERO, DFBUODATA, SFBUODESC, "
                       "IFBUOTIPO, ILOCKED) ") +
            kVouchers,
        {{QStringLiteral("v0"), k.voucher},
         {QStringLiteral("y25"), k.y25},
         {QStringLiteral("y26"), k.y26},
         {QStringLiteral("d25"), QDate(2025, 1, 1)},
         {QStringLiteral("d26"), QDate(2026, 1, 1)}},
        conn);

    const QString rowInsert =
        QStringLiteral("INSERT INTO TAFC_ARTVELIST (IAFCID, IFBUOID, IFARID, FAFCQUANTITA, "
                       "FAFCCOSTOUNIT, IALVID, ISECID, DINSERT) ") +
        kNumbers;
    const QVariantHash p{{QStringLiteral("r0"), k.row},
                         {QStringLiteral("v0"), k.voucher},
                         {QStringLiteral("a0"), k.article},
                         {QStringLiteral("a22"), k.vat22},
                         {QStringLiteral("s0"), sector}};
    // Opening loads: every article in the first loading voucher of each year.
    VoExecSQL(rowInsert +
                  QStringLiteral(
                      "SELECT :r0 + y.I * 5000 + a.I, :v0 + y.I * 2000, :a0 + a.I, 1000, 2.5 + MOD(a.I, 17), "
                      "       CAST(:a22 AS INTEGER), CAST(:s0 AS INTEGER), CURRENT_TIMESTAMP "
                      "  FROM (SELECT a1.I * 1000 + a2.I AS I FROM N a1 CROSS JOIN N a2 WHERE a1.I < 5) a "
                      " CROSS JOIN Y y"),
              p, conn);
    // Article 1 in 2026: 100 loads of 50 boxes, then one unload of 1 piece in each of 500 unloading vouchers.
    VoExecSQL(rowInsert +
                  QStringLiteral("SELECT :r0 + 10000 + v.I, :v0 + 2000 + v.I, :a0, 50, 3 + MOD(v.I, 7), "
                                 "       CAST(:a22 AS INTEGER), :s0 + MOD(v.I, 3), CURRENT_TIMESTAMP "
                                 "  FROM N v WHERE v.I < :n"),
              With(p, QStringLiteral("n"), kHotLoads), conn);
    VoExecSQL(rowInsert + QStringLiteral("SELECT :r0 + 10000 + :n0 + v.I, :v0 + 3000 + v.I, :a0, 1, 0, "
                                         "       CAST(:a22 AS INTEGER), :s0 + MOD(v.I, 3), CURRENT_TIMESTAMP "
                                         "  FROM N v WHERE v.I < :n"),
              With(With(p, QStringLiteral("n"), kHotUnloads), QStringLiteral("n0"), kHotLoads), conn);
    // The rest spread over all vouchers and the other articles: loads of 20, unloads of 1.
    const int hotRows = kHotLoads + kHotUnloads;
    const int spread = kRows - 2 * kArticles - hotRows;
    VoExecSQL(rowInsert +
                  QStringLiteral(
                      ", R AS (SELECT a.I * 1000 + b.I AS I FROM N a CROSS JOIN N b "
                      "        WHERE a.I < :thousands AND a.I * 1000 + b.I < :n) "
                      "SELECT :r0 + 10000 + :hot + I, :v0 + MOD(I, 4000), :a0 + 1 + MOD(I * 7919, 4999), "
                      "       IIF(MOD(MOD(I, 4000), 2000) < 1000, 20, 1), "
                      "       IIF(MOD(MOD(I, 4000), 2000) < 1000, 2 + MOD(I, 13), 0), "
                      "       CAST(:a22 AS INTEGER), :s0 + MOD(I, 3), CURRENT_TIMESTAMP FROM R"),
              With(With(With(p, QStringLiteral("n"), spread), QStringLiteral("thousands"), spread / 1000 + 1),
                   QStringLiteral("hot"), hotRows),
              conn);
    conn->Commit();
    // As the programs find it once they start: a plan made on the statistics of the demo's few rows
    // walks the wrong index over these.
    VoRefreshStaleStatistics(conn);
    return k;
}

void VoBenchSpreadCategories(const TVoBenchRegister &k, TVoSQLConnection *conn) {
    VoExecSQL(
        QStringLiteral("UPDATE TFAR_FACARTICOLI SET ICAFID = 1 + MOD(IFARID - :a, 5) WHERE IFARID >= :a"),
        {{QStringLiteral("a"), k.article}}, conn);
}

double VoBenchBareStockGroupBy(TVoSQLConnection *conn, const QDate &date, int registerYear, int otherYear,
                               int *rows) {
    int count = 0;
    QElapsedTimer timer;
    timer.start();
    TVoQuery q(
        QStringLiteral(
            "SELECT afc.IFARID, SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA, -afc.FAFCQUANTITA)), "
            "SUM(IIF(b.IFBUOTIPO = 0, afc.FAFCQUANTITA * afc.FAFCCOSTOUNIT, 0)) FROM TAFC_ARTVELIST afc "
            "INNER JOIN TFBUO_BUONI b ON b.IFBUOID = afc.IFBUOID WHERE b.DFBUODATA <= :d AND "
            "%1 GROUP BY afc.IFARID")
            .arg(otherYear ? QStringLiteral("b.IDWGFACANFID IN (:y, :y2)")
                           : QStringLiteral("b.IDWGFACANFID = :y")),
        conn);
    q.SetParam(QStringLiteral("d"), date).SetParam(QStringLiteral("y"), registerYear);
    if (otherYear)
        q.SetParam(QStringLiteral("y2"), otherYear);
    count = q.Open().CountToEnd();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (rows)
        *rows = count;
    return ms;
}
