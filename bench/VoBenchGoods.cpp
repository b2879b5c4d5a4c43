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
                         {QStringLiteral("g0"), k.good},    {QStringLiteral("y25"), k.y25},
                         {QStringLiteral("y26"), k.y26},    {QStringLiteral("s0"), k.sector},
                         {QStringLiteral("site"), k.site},  {QStringLiteral("thousands"), goods / 1000}};

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
    // Good g: the first 5,000 on the big voucher, the others spread over the other 999 vouchers.
    VoExecSQL(
        QStringLiteral("INSERT INTO TBINB_BENI (IBINBID, IBINBNUMERO, SBINBDESC, IBBUOID, IBINBIMPORTO, "
                       "ICAMID, IAVAID, ISECID, ISEDINFID) ") +
            kVoBenchNumbers +
            QStringLiteral(
                ", G AS (SELECT a.I * 1000 + b.I AS I, "
                "        IIF(a.I * 1000 + b.I < 5000, 500, "
                "            MOD(a.I * 1000 + b.I, 999) + IIF(MOD(a.I * 1000 + b.I, 999) >= 500, 1, 0)) AS V "
                "        FROM N a CROSS JOIN N b WHERE a.I < :thousands) "
                "SELECT :g0 + I, 100 + I, 'BENE ' || I, :v0 + V, 10000 * (1 + MOD(I, 500)), "
                "       1 + MOD(I, 8), IIF(V < 500, 2, 1), :s0 + MOD(I, 3), CAST(:site AS INTEGER) FROM G"),
        p, conn);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IAVAID = 3, IBBUOIDSCARICO = :u0 + MOD(IBINBID, 100) "
                             "WHERE IBINBID >= :g0 AND IAVAID = 2 AND MOD(IBINBID, 9) = 0"),
              p, conn);
    VoExecSQL(
        QStringLiteral("UPDATE TBBUO_BUONI buo SET IBBUOIMPORTO = (SELECT SUM(IBINBIMPORTO) FROM TBINB_BENI "
                       "inb WHERE inb.IBBUOID = buo.IBBUOID OR inb.IBBUOIDSCARICO = buo.IBBUOID) "
                       "WHERE buo.IBBUOID >= :v0"),
        p, conn);
    conn->Commit();
    // As the programs find it once they start, or once the job that grew it ends.
    VoRefreshStaleStatistics(conn);
    return k;
}
