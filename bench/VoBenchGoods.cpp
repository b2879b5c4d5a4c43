#include "VoBenchGoods.h"

#include "VoBench.h"
#include "VoConnection.h"
#include "VoQuery.h"
#include "VoStatistics.h"

int VoBenchRegisterYear(TVoSQLConnection *conn, int facId, int year) {
    return VoSelectValue(
               QStringLiteral("SELECT dfa.IDWGFACANFID FROM TDWGFACANF dfa INNER JOIN TDWGFAC df ON "
                              "df.IDWGFACID = dfa.IDWGFACID INNER JOIN TANF_ANNIFINANZ anf ON "
                              "anf.IANFID = dfa.IANFID WHERE df.IFACID = :f AND anf.IANFVALORE = :y"),
               {{QStringLiteral("f"), facId}, {QStringLiteral("y"), year}}, conn)
        .toInt();
}

namespace {

// Goods from (from) to (from + goods - 1), whole thousands, keys from key0 on. Good g: the first 5,000
// on the big voucher, the others spread over the other 999 vouchers; every ninth of 2025's discharged
// on one of the unloading vouchers.
//
// Their first sector, value and site periods are the ones the server's trigger gives a good inserted
// alone, written here in one statement each: row by row, the trigger's three inserts take most of the
// generation's time.
void InsertGoods(TVoSQLConnection *conn, const TVoBenchGoods &k, int key0, int from, int goods) {
    const QVariantHash p{{QStringLiteral("v0"), k.voucher},  {QStringLiteral("u0"), k.unloading},
                         {QStringLiteral("g0"), key0},       {QStringLiteral("from"), from},
                         {QStringLiteral("s0"), k.sector},   {QStringLiteral("site"), k.site},
                         {QStringLiteral("a0"), from / 1000}, {QStringLiteral("a1"), (from + goods) / 1000}};
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI INACTIVE"), {}, conn);
    conn->StartTransaction();
    VoExecSQL(
        QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, "
                       "ICAMID, IAVAID, ISECID, ISEDINFID) ") +
            kVoBenchNumbers +
            QStringLiteral(
                ", G AS (SELECT a.I * 1000 + b.I AS I, "
                "        IIF(a.I * 1000 + b.I < 5000, 500, "
                "            MOD(a.I * 1000 + b.I, 999) + IIF(MOD(a.I * 1000 + b.I, 999) >= 500, 1, 0)) AS V "
                "        FROM N a CROSS JOIN N b WHERE a.I >= :a0 AND a.I < :a1) "
                "SELECT :g0 + I - :from, 100 + I, 'BENE ' || I, :v0 + V, 10000 * (1 + MOD(I, 500)), "
                "       1 + MOD(I, 8), IIF(V < 500, 2, 1), :s0 + MOD(I, 3), CAST(:site AS INTEGER) FROM G"),
        p, conn);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IAVAID = 3, IBBUOIDSCARICO = :u0 + MOD(IBINBID, 100) "
                             "WHERE IBINBID >= :g0 AND IAVAID = 2 AND MOD(IBINBID, 9) = 0"),
              p, conn);
    const QString periods =
        QStringLiteral("INSERT INTO %1 (%2, IBINBID, %3, DSTART) SELECT NEXT VALUE FOR %4, inb.IBINBID, inb.%5, "
                       "buo.DBBUODATA FROM TBINB_BENI inb INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = "
                       "inb.IBBUOID WHERE inb.IBINBID >= :g0 AND inb.%5 IS NOT NULL");
    VoExecSQL(periods.arg(QStringLiteral("TBBSE_BENISETTORI"), QStringLiteral("IBBSEID"), QStringLiteral("ISECID"),
                          QStringLiteral("GID_TBBSE_BENISETTORI"), QStringLiteral("ISECID")),
              p, conn);
    VoExecSQL(periods.arg(QStringLiteral("TBBIM_IMPORTI"), QStringLiteral("IBBIMID"), QStringLiteral("IBBIMIMPORTO"),
                          QStringLiteral("GID_TBBIM_IMPORTI"), QStringLiteral("IBINBIMPORTO")),
              p, conn);
    VoExecSQL(periods.arg(QStringLiteral("TBSIN_SEDIBENISTOR"), QStringLiteral("IBSINID"), QStringLiteral("ISEDINFID"),
                          QStringLiteral("GID_TBSIN_SEDIBENISTOR"), QStringLiteral("ISEDINFID")),
              p, conn);
    VoExecSQL(
        QStringLiteral("UPDATE TBBUO_BUONI buo SET IBBUOIMPORTO = (SELECT SUM(IBINBIMPORTO) FROM TBINB_BENI "
                       "inb WHERE inb.IBBUOID = buo.IBBUOID OR inb.IBBUOIDSCARICO = buo.IBBUOID) "
                       "WHERE buo.IBBUOID >= :v0"),
        p, conn);
    conn->Commit();
    VoExecSQL(QStringLiteral("ALTER TRIGGER TBINB_BENI_AI ACTIVE"), {}, conn);
    // As the programs find it once they start, or once the job that grew it ends.
    VoRefreshStaleStatistics(conn);
}

} // namespace

TVoBenchGoods VoBenchGenerateGoods(TVoSQLConnection *conn, int goods) {
    TVoBenchGoods k;
    k.facId = VoSelectValue(QStringLiteral("SELECT MIN(IFACID) FROM TFAC_VELISTO WHERE ITFCID = 5"), {}, conn)
                  .toInt();
    k.y25 = VoBenchRegisterYear(conn, k.facId, 2025);
    k.y26 = VoBenchRegisterYear(conn, k.facId, 2026);
    k.voucher = VoBenchReserve(conn, QStringLiteral("TBBUO_BUONI"), 2 * kVouchersPerYear + kUnloading);
    k.unloading = k.voucher + 2 * kVouchersPerYear;
    k.good = VoBenchReserve(conn, QStringLiteral("TBINB_BENI"), goods);
    k.sector = VoSelectValue(QStringLiteral("SELECT MIN(ISECID) FROM TSEC_SETTCONS"), {}, conn).toInt();
    k.site = VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO"), {}, conn).toInt();
    const QVariantHash p{{QStringLiteral("v0"), k.voucher}, {QStringLiteral("u0"), k.unloading},
                         {QStringLiteral("y25"), k.y25},    {QStringLiteral("y26"), k.y26}};

    conn->StartTransaction();
    // Loading voucher v: 2025 (definitive) for v < 500, else 2026; numbered from 100 on in the
    // register, dated through its year.
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                       "IBBUOTIPO, ILOCKED) ") +
            kVoBenchNumbers +
            QStringLiteral("SELECT :v0 + v.I, IIF(v.I < 500, CAST(:y25 AS INTEGER), CAST(:y26 AS INTEGER)), "
                           "       100 + v.I, DATEADD(DAY, MOD(v.I, 500) * 364 / 500, "
                           "       IIF(v.I < 500, DATE '2025-01-01', DATE '2026-01-01')), '', 0, "
                           "       IIF(v.I < 500, 1, 0) FROM N v"),
        p, conn);
    VoExecSQL(
        QStringLiteral("INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, "
                       "IBBUOTIPO, ILOCKED) ") +
            kVoBenchNumbers +
            QStringLiteral("SELECT :u0 + v.I, CAST(:y26 AS INTEGER), 100 + v.I, DATEADD(DAY, v.I, DATE "
                           "'2026-06-01'), '', 1, 0 "
                           "  FROM N v WHERE v.I < 100"),
        p, conn);
    conn->Commit();
    InsertGoods(conn, k, k.good, 0, goods);
    return k;
}

void VoBenchAddGoods(TVoSQLConnection *conn, const TVoBenchGoods &k, int from, int goods) {
    InsertGoods(conn, k, VoBenchReserve(conn, QStringLiteral("TBINB_BENI"), goods), from, goods);
}

double VoBenchDischargeFloor(int voucher, int count, const QString &which) {
    qqoVoGlobConn->StartTransaction();
    const double ms = VoMillis([&] {
        // One pass of the goods in key order, stopped after count: an IN over a FIRST would run its
        // subquery again for every good.
        VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IBBUOIDSCARICO = :v, IAVAID = 3 WHERE IBBUOIDSCARICO IS NULL%1 "
                                 "ORDER BY IBINBID ROWS %2")
                      .arg(which.isEmpty() ? QString() : QStringLiteral(" AND ") + which)
                      .arg(count),
                  {{QStringLiteral("v"), voucher}});
    });
    qqoVoGlobConn->Rollback();
    VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TBINB_BENI"));
    return ms;
}
