// The schema of the shared registries: a database of the previous release gains it keeping its rows,
// and the counters never hand out the ids of the fixed reference rows.
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "VoTestDb.h"

#include <QFile>
#include <QUuid>
#include <gtest/gtest.h>

namespace {

// Every fixed id is below the next key of its table.
void ExpectCountersPastFixedIds() {
    const struct {
        const char *table;
        const char *key;
    } tables[] = {{"TSTA_STATI", "ISTAID"},        {"TPRO_PROVINCE", "IPROID"}, {"TBCA_BENCATEG", "IBCAID"},
                  {"TMPG_MODPAGAM", "IMPGID"},     {"TBAN_BANCHE", "IBANID"},   {"TTPS_TIPOSEDE", "ITPSID"},
                  {"TYXAR_XMLARCHIVIO", "IYXARID"}};
    for (const auto &t : tables) {
        const int last =
            VoSelectValue(
                QStringLiteral("SELECT MAX(%1) FROM %2").arg(QLatin1String(t.key), QLatin1String(t.table)))
                .toInt();
        EXPECT_GT(VoTestNewKey(QString::fromLatin1(t.table)), last) << t.table;
    }
}

using AbiSchemaTest = VoDbTest;

TEST_F(AbiSchemaTest, FixedReferenceIdsAreNeverHandedOutAgain) {
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TMPG_MODPAGAM WHERE IMPGID BETWEEN 1 AND 19")), 19);
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT ILOCKED FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 5002")).toInt(),
        1);
    ExpectCountersPastFixedIds();
}

TEST(AbiUpgradeTest, ADatabaseOfThePreviousReleaseGainsTheRegistriesKeepingItsRows) {
    const QString path = TVoTestDb::Folder() + QStringLiteral("/previous-release.fdb");
    TVoDbCreateOptions options;
    options.overwrite = true;
    options.include = [](const QString &name) {
        return name.startsWith(QLatin1String("sql/")) ? name < QLatin1String("sql/110")
                                                      : name < QLatin1String("demo/040");
    };
    QString error;
    ASSERT_TRUE(VoCreateDatabase(path, options, &error)) << error.toStdString();

    TVoSQLConnection conn(nullptr,
                          QStringLiteral("upgrade-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
    conn.SetParam(QStringLiteral("Database"), path);
    ASSERT_TRUE(conn.Open(&error)) << error.toStdString();
    qqoVoGlobConn = &conn;
    // What the previous release kept: a person with the add-on's address, a beneficiary of that
    // person, an XML document.
    const int person = VoTestNewKey(QStringLiteral("TANA_ANAGRAFICHE"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME) VALUES (:id, 'Gialli', "
                       "'Luca')"),
        {{QStringLiteral("id"), person}});
    VoExecSQL(
        QStringLiteral("INSERT INTO TANAABT (IANAABTID, IANAID, SANAABTIND, SANAABTCAP, SANAABTCOM) VALUES "
                       "(:id, :p, 'Via Po 1', '10121', 'TORINO')"),
        {{QStringLiteral("id"), VoTestNewKey(QStringLiteral("TANAABT"))}, {QStringLiteral("p"), person}});
    const int personBen = VoTestNewKey(QStringLiteral("TBEN_BENEFICIARI"));
    VoExecSQL(
        QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, IANAID, SBENRAGSOC) VALUES (:id, :p, 'Gialli "
                       "Luca')"),
        {{QStringLiteral("id"), personBen}, {QStringLiteral("p"), person}});
    VoExecSQL(QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, SYXARCODICE) VALUES (:id, 'PROVA')"),
              {{QStringLiteral("id"), VoTestNewKey(QStringLiteral("TYXAR_XMLARCHIVIO"))}});
    const int beneficiaries = VoCountRows(QStringLiteral("SELECT * FROM TBEN_BENEFICIARI"));
    ASSERT_GT(beneficiaries, 1);

    ASSERT_TRUE(VoUpgradeDatabase(&conn, &error)) << error.toStdString();
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TYSCR_SCRIPT")), VoSchemaScripts().size());
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TBEN_BENEFICIARI")), beneficiaries);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT SANAABTIND FROM TANAABT WHERE IANAID = :p"),
                            {{QStringLiteral("p"), person}})
                  .toString(),
              QStringLiteral("Via Po 1"));
    // Each beneficiary on file got the category of its kind.
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT IBCAID FROM TBENBCA WHERE IBENID = :b"),
                            {{QStringLiteral("b"), personBen}})
                  .toInt(),
              2);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TBENBCA WHERE IBCAID = 1")), beneficiaries - 1);
    // Tax codes and VAT numbers of other countries fit.
    VoExecSQL(QStringLiteral(
                  "UPDATE TBEN_BENEFICIARI SET SBENCODFISCALE = '12345678901234567890', SBENPARTITAIVA = "
                  ":p WHERE IBENID = :b"),
              {{QStringLiteral("p"), QString(28, QLatin1Char('9'))}, {QStringLiteral("b"), personBen}});
    ExpectCountersPastFixedIds();

    qqoVoGlobConn = nullptr;
    conn.Close();
    QFile::remove(path);
}

} // namespace
