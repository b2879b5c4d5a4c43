// Vouchers and goods as the windows write and read them: the discharge statements, the deletions
// with what they refuse, the goods view and the goods' read-only flag.
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTestData.h"
#include "VoTestGoods.h"
#include "kvbUBuoni.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

using kvbGoodsDataTest = VoGoodsTest;

int Count(const QString &sql, int id) {
    return VoCountRows(sql, {{QStringLiteral("id"), id}});
}

// Deletes one row as a window does: the collection over it runs the statements in one transaction.
bool DeleteRow(const QString &table, const QString &key, int id, const QList<const char *> &statements) {
    TVoQueryCollection rows;
    rows.SetCommandText(QStringLiteral("SELECT * FROM %1 WHERE %2 = :id").arg(table, key));
    rows.SetParam(QStringLiteral("id"), id);
    rows.SetConfirmations(cfNone);
    for (const char *sql : statements)
        rows.SQLDelete.Add(QString::fromLatin1(sql));
    rows.Open();
    return rows.Delete();
}

// A good's state, unloading voucher, unloading causal and value.
QString Discharge(int good) {
    TVoQuery q(
        QStringLiteral("SELECT IAVAID, COALESCE(IBBUOIDSCARICO, 0) AS SCA, COALESCE(ICAVIDSCARICO, 0) AS "
                       "CAV, IBINBIMPORTO FROM TBINB_BENI WHERE IBINBID = :id"));
    q.SetParam(QStringLiteral("id"), good).Open();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(q.AsInteger(QStringLiteral("IAVAID")))
        .arg(q.AsInteger(QStringLiteral("SCA")))
        .arg(q.AsInteger(QStringLiteral("CAV")))
        .arg(q.AsLargeInt(QStringLiteral("IBINBIMPORTO")));
}

} // namespace

TEST_F(kvbGoodsDataTest, DischargeAndTakeOffMoveTheGoodBetweenStatesTwoAndThree) {
    const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 10), 1);
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 5, 1), 1);
    const int good = VoTestGood(load, 1, 1000000);
    VoTestMakeDefinitive(load, 0);
    const int causal = VoTestCausal(1);
    const QString u = QString::number(unload), c = QString::number(causal);

    VoExecSQL(QString::fromLatin1(kvbSQLInbScarico), {{QStringLiteral("iBBuoID"), unload},
                                                      {QStringLiteral("ICAVIDSCARICO"), causal},
                                                      {QStringLiteral("iBInbIMPORTO"), qint64(800000)},
                                                      {QStringLiteral("iBInbID"), good}});
    EXPECT_EQ(Discharge(good), QStringLiteral("3 %1 %2 800000").arg(u, c));
    VoExecSQL(QString::fromLatin1(kvbSQLInbTogliScarico), {{QStringLiteral("VOCURRID"), good}});
    EXPECT_EQ(Discharge(good), QStringLiteral("2 0 0 800000"));
    VoTestDischarge(good, unload, causal);
    EXPECT_EQ(Discharge(good), QStringLiteral("3 %1 %2 800000").arg(u, c));
}

TEST_F(kvbGoodsDataTest, AVoucherStillHoldingGoodsOrDocumentsIsNotDeleted) {
    const QString refused =
        QStringLiteral("Impossibile cancellare il buono: ci sono dei beni o dei documenti collegati.");
    const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 10), 1);
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 5, 1), 1);
    const int documented = VoTestGoodsVoucher(year2026, 0, QDate(2026, 3, 1), 2);
    const int empty = VoTestGoodsVoucher(year2026, 0, QDate(2026, 4, 1), 3);
    VoTestDischarge(VoTestGood(load, 1, 1000000), unload, 0);
    const int document = VoTestNewKey(QStringLiteral("TIDC_INVDOC"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TIDC_INVDOC (IIDCID, SIDCNUMERO, SIDCPRG) VALUES (:id, '1', '10000')"),
        {{QStringLiteral("id"), document}});
    VoExecSQL(QStringLiteral("INSERT INTO TBBUOIDC (IBBUOIDCID, IBBUOID, IIDCID) VALUES "
                             "((SELECT L_ICNTID FROM PYSETGETID('TBBUOIDC', 1)), :buo, :doc)"),
              {{QStringLiteral("buo"), documented}, {QStringLiteral("doc"), document}});
    const QString voucher = QStringLiteral("SELECT * FROM TBBUO_BUONI WHERE IBBUOID = :id");

    for (int id : {load, unload, documented}) {
        messages->Clear();
        EXPECT_FALSE(
            DeleteRow(QStringLiteral("TBBUO_BUONI"), QStringLiteral("IBBUOID"), id, {kvbSQLBuoDelete}));
        EXPECT_EQ(messages->Texts(), QStringList{refused});
        EXPECT_EQ(Count(voucher, id), 1);
    }
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TBINB_BENI WHERE IBBUOIDSCARICO = :id"), unload), 1);
    messages->Clear();
    EXPECT_TRUE(
        DeleteRow(QStringLiteral("TBBUO_BUONI"), QStringLiteral("IBBUOID"), empty, {kvbSQLBuoDelete}));
    EXPECT_EQ(Count(voucher, empty), 0);
    EXPECT_TRUE(messages->Texts().isEmpty());
}

TEST_F(kvbGoodsDataTest, DeletingAGoodTakesItsHistoriesUnlessAMinuteNamesIt) {
    const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 10), 1);
    const int site = VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
    const int free = VoTestGood(load, 1, 1000000, 1, VoTestSector(QStringLiteral("SEG")), site);
    const int tested = VoTestGood(load, 2, 1000000, 1, VoTestSector(QStringLiteral("SEG")), site);
    for (int good : {free, tested})
        VoExecSQL(QStringLiteral("EXECUTE PROCEDURE PKVB_STORNUMERO(:id, 1, 5, NULL, NULL, '2026-06-30')"),
                  {{QStringLiteral("id"), good}});
    const int minute = VoTestNewKey(QStringLiteral("TVER_VERBALI"));
    VoExecSQL(QStringLiteral("INSERT INTO TVER_VERBALI (IVERID, SVERNUMERO, ITVRID) VALUES (:id, '1', 1)"),
              {{QStringLiteral("id"), minute}});
    VoExecSQL(QStringLiteral("INSERT INTO TBINBVER (IBINBVERID, IBINBID, IVERID) VALUES "
                             "((SELECT L_ICNTID FROM PYSETGETID('TBINBVER', 1)), :inb, :ver)"),
              {{QStringLiteral("inb"), tested}, {QStringLiteral("ver"), minute}});
    const QList<const char *> chain(std::begin(kvbSQLInbDelete), std::end(kvbSQLInbDelete));
    // The good and its four histories.
    const QString rows =
        QStringLiteral("SELECT 1 FROM TBINB_BENI WHERE IBINBID = :id UNION ALL SELECT 1 FROM "
                       "TBBSE_BENISETTORI WHERE IBINBID = :id "
                       "UNION ALL SELECT 1 FROM TBBIM_IMPORTI WHERE IBINBID = :id UNION ALL SELECT 1 FROM "
                       "TBBNU_BENINUMERI WHERE "
                       "IBINBID = :id UNION ALL SELECT 1 FROM TBSIN_SEDIBENISTOR WHERE IBINBID = :id");
    ASSERT_EQ(Count(rows, free), 5);

    EXPECT_TRUE(DeleteRow(QStringLiteral("TBINB_BENI"), QStringLiteral("IBINBID"), free, chain));
    EXPECT_EQ(Count(rows, free), 0);
    EXPECT_FALSE(DeleteRow(QStringLiteral("TBINB_BENI"), QStringLiteral("IBINBID"), tested, chain));
    EXPECT_EQ(Count(rows, tested), 5);
}

TEST_F(kvbGoodsDataTest, TheGoodsViewGivesTheVouchersAndTextsOfALoadedAndADischargedGood) {
    const int supplier = VoSelectValue(QStringLiteral("SELECT MIN(IBENID) FROM TBEN_BENEFICIARI")).toInt();
    const int load = VoTestGoodsVoucher(year2025, 0, QDate(2025, 9, 1), 4);
    VoExecSQL(QStringLiteral("UPDATE TBBUO_BUONI SET IBENID = :ben WHERE IBBUOID = :id"),
              {{QStringLiteral("ben"), supplier}, {QStringLiteral("id"), load}});
    const int unload = VoTestGoodsVoucher(year2026, 1, QDate(2026, 5, 1), 7);
    const int site = VoSelectValue(QStringLiteral("SELECT MIN(ISEDINFID) FROM TSEDINF_SEDEINFO")).toInt();
    const int loaded = VoTestGood(load, 1, 1000000, 8, VoTestSector(QStringLiteral("LAB")), site);
    const int discharged = VoTestGood(load, 2, 1000000, 1);
    const int loadCausal = VoTestCausal(0), unloadCausal = VoTestCausal(1);
    VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET ICAVID = :cav WHERE IBBUOID = :id"),
              {{QStringLiteral("cav"), loadCausal}, {QStringLiteral("id"), load}});
    VoTestMakeDefinitive(load, 0);
    VoTestDischarge(discharged, unload, unloadCausal);

    const auto view = [](int good) {
        TVoQuery q(
            QStringLiteral("SELECT DBBUODATA, IBBUONUMERO, IDWGFACANFID, IBENID, ILOCKED, DBBUODATASCA, "
                           "IBBUONUMEROSCA, SCAMDESC, SAVADESC, SSECDESCS, SSEDINFLDESC, SCAVDESC, "
                           "SCAVDESCSCA FROM VBINB_BENI WHERE IBINBID = :id"));
        q.SetParam(QStringLiteral("id"), good).Open();
        QStringList values;
        for (int i = 0; i < q.FieldCount(); ++i)
            values << (q.IsNull(q.FieldName(i)) ? QStringLiteral("-") : q.AsString(q.FieldName(i)));
        return values.join(QStringLiteral(" | "));
    };
    const QString loading = QStringLiteral("2025-09-01 | 4 | %1 | %2 | 1").arg(year2025).arg(supplier);
    EXPECT_EQ(view(loaded),
              loading + QStringLiteral(" | - | - | Libri e materiale bibliografico | Caricato "
                                       "definitivo | Laboratorio di scienze | Sede centrale - Via "
                                       "Roma 1 | C%1 | -")
                            .arg(loadCausal));
    EXPECT_EQ(view(discharged), loading + QStringLiteral(" | 2026-05-01 | 7 | Mobili e arredi | Scaricato "
                                                         "provvisorio | - | - | C%1 | C%2")
                                              .arg(loadCausal)
                                              .arg(unloadCausal));
}

TEST_F(kvbGoodsDataTest, AGoodIsReadOnlyOnceItsLoadingIsDefinitiveOrItIsDischarged) {
    const struct {
        bool definitive;
        int state;
        int flag;
    } cases[] = {{false, 1, 0}, {false, 2, 0}, {false, 3, 1}, {false, 4, 1}, {true, 2, 1}, {true, 3, 1}};
    int number = 0;
    for (const auto &c : cases) {
        const int load = VoTestGoodsVoucher(year2026, 0, QDate(2026, 2, 10), ++number);
        const int good = VoTestGood(load, number);
        if (c.definitive)
            VoTestMakeDefinitive(load, 0);
        VoExecSQL(QStringLiteral("UPDATE TBINB_BENI SET IAVAID = :s WHERE IBINBID = :id"),
                  {{QStringLiteral("s"), c.state}, {QStringLiteral("id"), good}});
        EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT %1 FROM TBINB_BENI inb WHERE inb.IBINBID = :id")
                                    .arg(QString::fromLatin1(kvbSQLILocked)),
                                {{QStringLiteral("id"), good}})
                      .toInt(),
                  c.flag)
            << c.definitive << " " << c.state;
    }
}

TEST_F(kvbGoodsDataTest, ANewDatabaseHasADemoInventoryToWorkOn) {
    const QString demo =
        QStringLiteral("SELECT IFACID FROM TFAC_VELISTO WHERE SFACDESC = 'Beni durevoli' AND ITFCID = 5");
    const int demoId = VoSelectValue(demo).toInt();
    ASSERT_GT(demoId, 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT * FROM TDWGFACANF dfa INNER JOIN TDWGFAC df ON df.IDWGFACID = "
                                   "dfa.IDWGFACID WHERE df.IFACID = :id"),
                    demoId),
              3);
    // Goods by number: state, voucher kind and whether definitive, category, documents and minutes.
    TVoQuery q(QStringLiteral(
        "SELECT inb.IBINBNUMERO || ':' || inb.IAVAID || ':' || buo.ILOCKED || ':' || inb.ICAMID || ':' || "
        "(SELECT COUNT(*) FROM TBBUOIDC d WHERE d.IBBUOID = inb.IBBUOID) || ':' || "
        "(SELECT COUNT(*) FROM TBINBVER v WHERE v.IBINBID = inb.IBINBID) AS BENE FROM VBINB_BENI inb "
        "INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID INNER JOIN TDWGFACANF dfa ON "
        "dfa.IDWGFACANFID = "
        "buo.IDWGFACANFID INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID WHERE df.IFACID = :id "
        "ORDER BY inb.IBINBNUMERO"));
    QStringList goods;
    for (q.SetParam(QStringLiteral("id"), demoId).Open(); !q.Eof(); q.Next())
        goods << q.AsString(QStringLiteral("BENE"));
    EXPECT_EQ(goods, (QStringList{QStringLiteral("1:3:1:4:1:0"), QStringLiteral("2:2:1:5:1:1"),
                                  QStringLiteral("3:2:1:8:1:0"), QStringLiteral("4:1:0:1:0:0"),
                                  QStringLiteral("5:1:0:1:0:0")}));
    // Each voucher's amount is its goods' amount, and the register is worth 1.908,50.
    EXPECT_EQ(
        VoCountRows(QStringLiteral("SELECT * FROM TBBUO_BUONI buo WHERE buo.IBBUOIMPORTO IS DISTINCT FROM "
                                   "(SELECT SUM(inb.IBINBIMPORTO) FROM TBINB_BENI inb WHERE inb.IBBUOID = "
                                   "buo.IBBUOID OR inb.IBBUOIDSCARICO = buo.IBBUOID)")),
        0);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT TOTALE FROM PKVB_GETCHIUSURA(NULL, NULL, 1, :id)"),
                            {{QStringLiteral("id"), demoId}})
                  .toLongLong(),
              19085000);
}
