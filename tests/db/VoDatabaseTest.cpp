// The database made from db/: keys, server time, transactions, shared access by two processes,
// the query helper on real rows, and how a missing or damaged file is reported.
#include "VoConnection.h"
#include "VoDates.h"
#include "VoDbCreate.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoSqlText.h"
#include "VoTestDb.h"
#include "VoTransaction.h"
#include "VoUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int NewKey(const QString &table, int count = 1) {
    TVoQuery q(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:sTable, :n)"));
    q.SetParam(QStringLiteral("sTable"), table).SetParam(QStringLiteral("n"), count);
    q.Open();
    return q.AsInteger(QStringLiteral("L_ICNTID"));
}

void CreateScratchTable(const QString &name) {
    VoExecSQL(QStringLiteral("CREATE TABLE %1 (ID INTEGER, SWHO VARCHAR(20), X INTEGER, B BLOB SUB_TYPE TEXT,"
                             " D DATE)")
                  .arg(name));
}

} // namespace

using VoKeysTest = VoDbTest;

TEST_F(VoKeysTest, KeysAreCountedPerTableName) {
    const int a1 = NewKey(QStringLiteral("TPROVA_A"));
    const int a2 = NewKey(QStringLiteral("TPROVA_A"));
    const int b1 = NewKey(QStringLiteral("tprova_b"));
    EXPECT_EQ(a1, 1);
    EXPECT_EQ(a2, 2);
    EXPECT_EQ(b1, 1);
    // The name is not case-sensitive: the same table asked for in lower case goes on counting.
    EXPECT_EQ(NewKey(QStringLiteral("tprova_a")), 3);
    // A reserved block: the first of five keys, the next call after the block.
    EXPECT_EQ(NewKey(QStringLiteral("TPROVA_A"), 5), 4);
    EXPECT_EQ(NewKey(QStringLiteral("TPROVA_A")), 9);
    // Names too long for a generator of their own still get keys of their own.
    const QString longA = QStringLiteral("TABELLA_CON_UN_NOME_MOLTO_LUNGO_A");
    const QString longB = QStringLiteral("TABELLA_CON_UN_NOME_MOLTO_LUNGO_B");
    EXPECT_EQ(NewKey(longA), 1);
    EXPECT_EQ(NewKey(longB), 1);
    EXPECT_EQ(NewKey(longA), 2);
}

TEST_F(VoKeysTest, DemoRowsDrewTheirKeysFromTheCounters) {
    // The next key of a table the demo data filled is above every key already there.
    const int maxId = VoSelectValue(QStringLiteral("SELECT MAX(IANFID) FROM TANF_ANNIFINANZ")).toInt();
    EXPECT_EQ(maxId, 3);
    EXPECT_EQ(NewKey(QStringLiteral("TANF_ANNIFINANZ")), maxId + 1);
}

TEST_F(VoKeysTest, InlineInsertSelectGivesEveryRowItsOwnKey) {
    CreateScratchTable(QStringLiteral("TSRC"));
    CreateScratchTable(QStringLiteral("TDST"));
    for (int i = 0; i < 50; ++i)
        VoExecSQL(QStringLiteral("INSERT INTO TSRC (X) VALUES (:x)"), {{QStringLiteral("x"), i}});
    const int rows = VoExecSQL(QStringLiteral("INSERT INTO TDST (ID, X) SELECT (SELECT L_ICNTID FROM "
                                              "PYSETGETID('TDST', 0)), X FROM TSRC"));
    EXPECT_EQ(rows, 50);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(DISTINCT ID) FROM TDST")).toInt(), 50);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT MIN(ID) FROM TDST")).toInt(), 1);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT MAX(ID) FROM TDST")).toInt(), 50);
}

TEST_F(VoKeysTest, ServerTimeIsNow) {
    const QDateTime server =
        VoSelectValue(QStringLiteral("SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP")).toDateTime();
    ASSERT_TRUE(server.isValid());
    EXPECT_LT(qAbs(server.secsTo(QDateTime::currentDateTime())), 5);
}

using VoTransactionTest = VoDbTest;

TEST_F(VoTransactionTest, RolledBackWorkLeavesNoRow) {
    CreateScratchTable(QStringLiteral("TTR"));
    {
        TVoTransaction tr;
        tr.StartTransaction();
        VoExecSQL(QStringLiteral("INSERT INTO TTR (X) VALUES (1)"));
        tr.Rollback();
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TTR")), 0);
    // Leaving the scope without a commit, as when an exception is thrown half-way, rolls back too.
    try {
        TVoTransaction tr;
        tr.StartTransaction();
        VoExecSQL(QStringLiteral("INSERT INTO TTR (X) VALUES (2)"));
        VoExecSQL(QStringLiteral("INSERT INTO TABELLA_CHE_NON_ESISTE (X) VALUES (3)"));
        tr.Commit();
        FAIL() << "the insert into a missing table must fail";
    } catch (const EVoDatabaseError &e) {
        EXPECT_FALSE(e.Message().isEmpty());
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TTR")), 0);
    {
        TVoTransaction tr;
        tr.StartTransaction();
        VoExecSQL(QStringLiteral("INSERT INTO TTR (X) VALUES (4)"));
        tr.Commit();
    }
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TTR")), 1);
}

// A trial inside a caller's transaction (a savepoint) is undone alone; the caller still commits,
// and an inner commit keeps its rows for the caller to commit or roll back.
TEST_F(VoTransactionTest, AnInnerTransactionIsASavepointOfTheOuterOne) {
    CreateScratchTable(QStringLiteral("TTR2"));
    TVoTransaction outer;
    outer.StartTransaction();
    VoExecSQL(QStringLiteral("INSERT INTO TTR2 (X) VALUES (1)"));
    {
        TVoTransaction trial;
        trial.StartTransaction();
        VoExecSQL(QStringLiteral("INSERT INTO TTR2 (X) VALUES (2)"));
        trial.Rollback();
    }
    {
        TVoTransaction kept;
        kept.StartTransaction();
        VoExecSQL(QStringLiteral("INSERT INTO TTR2 (X) VALUES (3)"));
        kept.Commit();
    }
    {
        // Left without a commit: undone like a rollback.
        TVoTransaction abandoned;
        abandoned.StartTransaction();
        VoExecSQL(QStringLiteral("INSERT INTO TTR2 (X) VALUES (4)"));
    }
    EXPECT_EQ(conn->TransactionDepth(), 1);
    outer.Commit();
    EXPECT_FALSE(conn->InTransaction());
    EXPECT_EQ(
        VoSelectValue(QStringLiteral("SELECT LIST(X, ',') FROM (SELECT X FROM TTR2 ORDER BY X)")).toString(),
        QStringLiteral("1,3"));
}

using VoQueryTest = VoDbTest;

TEST_F(VoQueryTest, ParametersMatchIgnoringCaseAndUnboundOnesFail) {
    TVoQuery q(QStringLiteral(
        "SELECT IANFVALORE FROM TANF_ANNIFINANZ WHERE IANFVALORE = :Anno OR IANFVALORE = :ANNO"));
    q.SetParam(QStringLiteral("anno"), 2026);
    q.Open();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.AsInteger(QStringLiteral("ianfvalore")), 2026);
    EXPECT_EQ(q.CountToEnd(), 1);

    TVoQuery unbound(
        QStringLiteral("SELECT * FROM TANF_ANNIFINANZ WHERE IANFVALORE = :anno AND IANFID = :id"));
    unbound.SetParam(QStringLiteral("ANNO"), 2026);
    try {
        unbound.Open();
        FAIL() << "an unbound parameter must be refused";
    } catch (const EVoError &e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("id"))) << e.Message().toStdString();
    }
}

TEST_F(VoQueryTest, ReadersTypedNullsDatesAndBlobText) {
    CreateScratchTable(QStringLiteral("TRD"));
    TVoQuery ins(QStringLiteral("INSERT INTO TRD (ID, SWHO, X, B, D) VALUES (:id, :who, :x, :b, :d)"));
    ins.SetParam(QStringLiteral("id"), 1)
        .SetParamNull(QStringLiteral("who"), QMetaType::QString)
        .SetParamNull(QStringLiteral("x"))
        .SetParam(QStringLiteral("b"), QStringLiteral("<xml>perché àèìòù</xml>"))
        .SetParamDate(QStringLiteral("d"), 45292);
    ins.Exec();
    ins.SetParam(QStringLiteral("id"), 2).SetParamDate(QStringLiteral("d"), VoNoDate);
    ins.Exec();

    TVoQuery q(QStringLiteral("SELECT * FROM TRD ORDER BY ID"));
    q.Open();
    EXPECT_TRUE(q.IsNull(QStringLiteral("SWHO")));
    EXPECT_EQ(q.AsInteger(QStringLiteral("X"), -1), -1);
    EXPECT_EQ(q.AsFloat(QStringLiteral("X"), 2.5), 2.5);
    EXPECT_EQ(q.AsString(QStringLiteral("SWHO")), QString());
    EXPECT_EQ(q.AsString(QStringLiteral("B")), QStringLiteral("<xml>perché àèìòù</xml>"));
    EXPECT_EQ(q.AsDate(QStringLiteral("D")), 45292.0);
    ASSERT_TRUE(q.Next());
    EXPECT_EQ(q.AsDate(QStringLiteral("D")), VoNoDate); // a NULL date reads as no date
    EXPECT_FALSE(q.Next());
    EXPECT_TRUE(q.Eof());
    EXPECT_THROW(q.Value(QStringLiteral("NONCE")), EVoError);
}

TEST_F(VoQueryTest, XmlArchiveAndEnumerations) {
    VoExecSQL(QStringLiteral(
        "INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, BYXARXMLFILE) "
        "SELECT 77, IYXLSID, 'PROVA', '<root a=\"1\"/>' FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA'"));
    EXPECT_EQ(GetDBXML(QStringLiteral("PROVA")), QStringLiteral("<root a=\"1\"/>"));
    EXPECT_EQ(GetDBXML(QStringLiteral("PROVA"), QStringLiteral("KVA")), QStringLiteral("<root a=\"1\"/>"));
    try {
        GetDBXML(QStringLiteral("PROVA"), QStringLiteral("KVB"));
        FAIL();
    } catch (const EVoError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("XML codice PROVA Non trovato nel DB"));
    }
    const auto years = LoadEnumValues(
        QStringLiteral("SELECT IANFID, 'Anno ' || IANFVALORE FROM TANF_ANNIFINANZ ORDER BY IANFVALORE"));
    ASSERT_EQ(years.size(), 3);
    EXPECT_EQ(years[0].text, QStringLiteral("Anno 2025"));
    EXPECT_EQ(years[2].text, QStringLiteral("Anno 2027"));
}

TEST_F(VoQueryTest, DemoDataIsAWorkingStart) {
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM VDOW_DATAOWNER")), 1);
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TSEDINF_SEDEINFO")), 1);
    // The consumables register has both options set and is open for every demo year.
    EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFAC_VELISTO WHERE ITFCID NOT IN (5, 7) AND "
                                         "IFACNUMERAZ IS NOT NULL AND IFACIVAINCLUSA IS NOT NULL")),
              1);
    TVoQuery q(
        QStringLiteral("SELECT anf.IANFVALORE, anf.DANFVOREXINIZIO, anf.DANFVOREXFINE FROM TDWGFACANF dfa "
                       "INNER JOIN TDWGFAC df ON dfa.IDWGFACID = df.IDWGFACID "
                       "INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID "
                       "INNER JOIN TANF_ANNIFINANZ anf ON dfa.IANFID = anf.IANFID "
                       "WHERE fac.ITFCID NOT IN (5, 7) ORDER BY anf.IANFVALORE"));
    q.Open();
    int year = 2025;
    while (!q.Eof()) {
        EXPECT_EQ(q.AsInteger(QStringLiteral("IANFVALORE")), year);
        EXPECT_EQ(DaysToDate(q.AsDate(QStringLiteral("DANFVOREXINIZIO"))), QDate(year, 1, 1));
        EXPECT_EQ(DaysToDate(q.AsDate(QStringLiteral("DANFVOREXFINE"))), QDate(year, 12, 31));
        ++year;
        q.Next();
    }
    EXPECT_EQ(year, 2028);
}

using VoSharedFileTest = VoDbTest;

TEST_F(VoSharedFileTest, TwoProcessesWorkOnOneFileAtOnce) {
    VoExecSQL(QStringLiteral("CREATE TABLE TSHARE (SWHO VARCHAR(20))"));
    // The other process started by this one, and as another program with the engine's configuration of
    // its own that connected to a server before it opened the file.
    for (const bool afterAServer : {false, true}) {
        SCOPED_TRACE(afterAServer ? "after a server" : "started by this process");
        VoExecSQL(QStringLiteral("DELETE FROM TSHARE"));
        // This process keeps its connection open while the other one opens the same file.
        QProcess peer;
        QStringList args{dbPath, QStringLiteral("TSHARE")};
        if (afterAServer) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("FIREBIRD"));
            peer.setProcessEnvironment(environment);
            args << QStringLiteral("--after-a-server");
        }
        peer.start(QStringLiteral(VO_DBPEER), args);
        ASSERT_TRUE(peer.waitForStarted());
        const bool sawPeer = QTest::qWaitFor(
            [&peer] {
                return peer.state() != QProcess::Running ||
                       VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TSHARE WHERE SWHO = 'peer'"))
                               .toInt() > 0;
            },
            30000);
        ASSERT_EQ(peer.state(), QProcess::Running) << peer.readAllStandardOutput().toStdString();
        EXPECT_TRUE(sawPeer);
        VoExecSQL(QStringLiteral("INSERT INTO TSHARE (SWHO) VALUES ('parent')"));
        ASSERT_TRUE(peer.waitForFinished(40000));
        EXPECT_EQ(peer.exitCode(), 0) << peer.readAllStandardOutput().toStdString();
    }
}

class VoOpenFailureTest : public ::testing::Test {};

TEST_F(VoOpenFailureTest, MissingOrDamagedFileIsToldClearly) {
    TVoScriptedMessages messages;
    const QString missing = TVoTestDb::Folder() + QStringLiteral("/non-esiste.fdb");
    const QString damaged = TVoTestDb::Folder() + QStringLiteral("/rovinato.fdb");
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(20000, 'x'));
    f.close();
    for (const QString &path : {missing, damaged}) {
        TdmVoConnection module;
        module.SetStartupArguments({QStringLiteral("1"), QStringLiteral("U"), QStringLiteral("P"),
                                    QStringLiteral("960"), path, QStringLiteral("SYSDBA"), QString()});
        EXPECT_FALSE(module.OpenConnection());
        EXPECT_EQ(qqoVoGlobConn, nullptr);
        EXPECT_TRUE(module.LastError().startsWith(QStringLiteral("Impossibile aprire il database \"") + path))
            << module.LastError().toStdString();
    }
    // The module only reports; the program's start-up tells the user.
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
}

namespace {

// A port of this computer on which nothing listens.
int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Opens the database with the login given, as a program started with these values does.
void OpenAsStarted(TdmVoConnection &module, const QString &database,
                   const QString &userName = QStringLiteral("SYSDBA"), const QString &password = QString()) {
    module.SetStartupArguments({QStringLiteral("1"), QStringLiteral("U"), QStringLiteral("P"),
                                QStringLiteral("960"), database, userName, password});
    EXPECT_FALSE(module.OpenConnection());
}

const char *const kNoDatabaseText =
    "Il database non esiste, non si può leggere o non è un database: controllare il percorso indicato come "
    "Database nelle impostazioni della connessione e i permessi del file.";

} // namespace

TEST_F(VoOpenFailureTest, ADatabaseThatDoesNotOpenIsToldByKindWithTheEnginesTextAsDetail) {
    const QString damaged = TVoTestDb::Folder() + QStringLiteral("/non-database.fdb");
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(20000, 'x'));
    f.close();
    const QString port = QString::number(ClosedPort());
    const QString server = QStringLiteral("127.0.0.1/") + port;
    const struct {
        QString database;
        QString told;
        bool engineText;
    } cases[] = {
        {TVoTestDb::Folder() + QStringLiteral("/manca.fdb"), QString::fromUtf8(kNoDatabaseText), false},
        {damaged, QString::fromUtf8(kNoDatabaseText), true},
        {server + QStringLiteral(":/srv/velisto.fdb"),
         QStringLiteral(
             "Il server \"%1\" non risponde: controllare che il computer sia acceso e raggiungibile in "
             "rete, che il server del database sia avviato e che la sua porta (%2) non sia bloccata.")
             .arg(QStringLiteral("127.0.0.1"), port),
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.database.toStdString());
        TdmVoConnection module;
        OpenAsStarted(module, c.database);
        EXPECT_EQ(module.LastError(),
                  QStringLiteral("Impossibile aprire il database \"%1\":\n").arg(c.database) + c.told);
        EXPECT_EQ(!module.LastErrorDetail().isEmpty(), c.engineText)
            << module.LastErrorDetail().toStdString();
        TVoScriptedMessages messages;
        module.ShowLastError();
        ASSERT_EQ(messages->Shown().size(), 1);
        EXPECT_EQ(messages->Shown()[0].text, module.LastError());
        EXPECT_EQ(messages->Shown()[0].detail, module.LastErrorDetail());
    }
}

TEST(VoServerTest, ALoginTheServerRefusesIsToldAsSuch) {
    TVoTestServer server;
    QString reason;
    if (!TVoTestServer::Configured(&server, &reason))
        GTEST_SKIP() << reason.toStdString();
    const QString database = server.DatabaseName(server.FreshCopy(QStringLiteral("login-refused")));
    TdmVoConnection module;
    OpenAsStarted(module, database, server.userName, server.password + QStringLiteral("-sbagliata"));
    EXPECT_EQ(module.LastError(),
              QStringLiteral(
                  "Impossibile aprire il database \"%1\":\nIl server non accetta il nome utente e la "
                  "password della connessione: controllare User_Name e Password nelle impostazioni della "
                  "connessione.")
                  .arg(database));
    EXPECT_FALSE(module.LastErrorDetail().isEmpty());
}

TEST_F(VoOpenFailureTest, EveryKeyOfTheSettingsFileIsReadOnlyAsWritten) {
    const QString file = TdmVoConnection::SettingsFileName();
    const QString unknown =
        QStringLiteral("Il file delle impostazioni \"%1\" contiene nella sezione [Connection] "
                       "la chiave \"%2\", che il programma non conosce: ");
    const struct {
        const char *settings;
        QString error;
    } cases[] = {
        {"user_name=ALTRO\n",
         unknown.arg(file, QStringLiteral("user_name")) +
             QStringLiteral("va scritta \"User_Name\" (maiuscole e minuscole come scritte qui).")},
        {"PASSWORD=segreta\n",
         unknown.arg(file, QStringLiteral("PASSWORD")) +
             QStringLiteral("va scritta \"Password\" (maiuscole e minuscole come scritte qui).")},
        {"Utente=ALTRO\n",
         unknown.arg(file, QStringLiteral("Utente")) +
             QStringLiteral("le chiavi sono Database, User_Name, Password e Rights (maiuscole e "
                            "minuscole come scritte qui).")},
        {"Rights=tutte le funzioni\n",
         QStringLiteral("Il file delle impostazioni \"%1\" deve indicare in Rights un numero intero.")
             .arg(file)},
        {"User_Name=ALTRO\nPassword=segreta\nRights=960\n", QString()},
    };
    // Qt reads a settings file again only when its time or size changed: the rows differ in length.
    QDir().mkpath(QFileInfo(file).absolutePath());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.settings);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("[Connection]\nDatabase=/srv/velisto.fdb\n") + c.settings);
        f.close();
        TVoConnectionSettings settings;
        QString error;
        EXPECT_EQ(TdmVoConnection::ReadSettings(&settings, &error), c.error.isEmpty());
        EXPECT_EQ(error, c.error);
        if (c.error.isEmpty()) {
            EXPECT_EQ(settings.userName, QStringLiteral("ALTRO"));
            EXPECT_EQ(settings.password, QStringLiteral("segreta"));
            EXPECT_EQ(settings.rights, 960);
        }
    }
    QFile::remove(file);
}

TEST_F(VoOpenFailureTest, StartupArgumentsFillTheLoginValues) {
    TVoScriptedMessages messages;
    const QString path = TVoTestDb::FreshCopy(QStringLiteral("startup"));
    TdmVoConnection module;
    module.SetStartupArguments({QStringLiteral("C1"), QStringLiteral("utente"), QStringLiteral("segreto"),
                                QStringLiteral("960"), path, QStringLiteral("SYSDBA"), QStringLiteral("pw")});
    ASSERT_TRUE(module.OpenConnection()) << module.LastError().toStdString();
    EXPECT_EQ(qqoVoGlobConn, module.xqoMain);
    EXPECT_EQ(module.xqoMain->C, QStringLiteral("C1"));
    EXPECT_EQ(module.xqoMain->U, QStringLiteral("utente"));
    EXPECT_EQ(module.xqoMain->P, QStringLiteral("segreto"));
    EXPECT_EQ(module.xqoMain->F, 960);
    EXPECT_EQ(module.xqoMain->Param(QStringLiteral("database")), path);
    EXPECT_EQ(module.xqoMain->Param(QStringLiteral("User_Name")), QStringLiteral("SYSDBA"));
    EXPECT_EQ(module.xqoMain->Param(QStringLiteral("Password")), QStringLiteral("pw"));
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(VoOpenFailureTest, DefaultDatabaseIsCreatedOnFirstUse) {
    TVoScriptedMessages messages;
    QFile::remove(TdmVoConnection::DefaultDatabasePath());
    QFile::remove(TdmVoConnection::SettingsFileName());
    TdmVoConnection::SetDatabaseCreator([](const QString &path, QString *error) {
        return VoCreateDatabase(path, TVoDbCreateOptions{}, error);
    });
    {
        TdmVoConnection module;
        module.SetStartupArguments({});
        ASSERT_TRUE(module.OpenConnection()) << module.LastError().toStdString();
        EXPECT_EQ(module.xqoMain->Param(QStringLiteral("Database")), TdmVoConnection::DefaultDatabasePath());
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM VDOW_DATAOWNER")), 1);
        // A new user's database has the sample vouchers (9 loading, 3 unloading) and customised report too.
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUO_BUONI")), 12);
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM VAFC_ARTVELIST WHERE IANFVALORE = 2026")), 48);
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TFBUOIDC")), 8);
        EXPECT_EQ(VoCountRows(QStringLiteral("SELECT * FROM TYRPC_RPTCUSTOM")), 1);
    }
    TdmVoConnection::SetDatabaseCreator({});
    QFile::remove(TdmVoConnection::DefaultDatabasePath());
}

TEST(VoDbScriptTest, SetTermAndCommentsSplitCorrectly) {
    const QStringList s = VoSplitSqlScript(QStringLiteral(
        "-- a comment; with a semicolon\nCREATE TABLE A (X INTEGER);\n/* block; comment */\n"
        "INSERT INTO A VALUES (';');\nSET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN X = 1; END^\nSET TERM ; ^\n"
        "SELECT 1 FROM RDB$DATABASE;"));
    ASSERT_EQ(s.size(), 4);
    EXPECT_EQ(s[0], QStringLiteral("CREATE TABLE A (X INTEGER)"));
    EXPECT_EQ(s[1], QStringLiteral("INSERT INTO A VALUES (';')"));
    EXPECT_EQ(s[2], QStringLiteral("CREATE PROCEDURE P AS BEGIN X = 1; END"));
    EXPECT_EQ(s[3], QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
}

using VoUpgradeTest = VoDbTest;

namespace {

// A database an older program made, before the durable-goods register was complete: one of its
// vouchers, marked for the consumables program, was written without a definitive flag. Creates it
// with the login of db and leaves it open there.
void MakeOlderDatabase(TVoSQLConnection *db, const QString &name) {
    const QString last = QStringLiteral("sql/080_unit_factor.sql");
    ASSERT_TRUE(VoSchemaScripts().contains(last));
    TVoDbCreateOptions older;
    older.overwrite = true;
    older.demoData = false;
    older.userName = db->Param(QStringLiteral("User_Name"));
    older.password = db->Param(QStringLiteral("Password"));
    older.include = [&last](const QString &name) { return name <= last; };
    QString error;
    ASSERT_TRUE(VoCreateDatabase(name, older, &error)) << error.toStdString();
    db->SetParam(QStringLiteral("Database"), name);
    ASSERT_TRUE(db->Open(&error)) << error.toStdString();
    for (const char *sql : {"INSERT INTO TDOW_DATAOWNER (IDWGID, SDOWSDESC) VALUES (1, 'Scuola')",
                            "INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE) VALUES (1, 2026)",
                            "INSERT INTO TFAC_VELISTO (IFACID, SFACDESC) VALUES (1, 'Inventario')",
                            "INSERT INTO TDWGFAC (IDWGFACID, IDWGID, IFACID) VALUES (1, 1, 1)",
                            "INSERT INTO TDWGFACANF (IDWGFACANFID, IDWGFACID, IANFID) VALUES (1, 1, 1)",
                            "INSERT INTO TBBUO_BUONI (IBBUOID, IDWGFACANFID, IBBUONUMERO, IBBUOTIPO, "
                            "ILOCKED, SBBUOAPPLSCARICO) "
                            "VALUES (7, 1, 3, 1, NULL, 'VELIST')"})
        VoExecSQL(QString::fromLatin1(sql), {}, db);
}

const char *const kOlderVoucherSQL = "SELECT IBBUONUMERO FROM TBBUO_BUONI WHERE IBBUOID = 7 AND ILOCKED = 0 "
                                     "AND SBBUOAPPLSCARICO = 'VELIST'";
const char *const kRecordedSQL = "SELECT COUNT(*) FROM TYSCR_SCRIPT";

} // namespace

TEST_F(VoUpgradeTest, ANewerProgramAppliesOnlyTheScriptsTheDatabaseLacks) {
    const QString path = TVoTestDb::Folder() + QStringLiteral("/older.fdb");
    TVoSQLConnection db(nullptr, QStringLiteral("older"));
    MakeOlderDatabase(&db, path);
    if (HasFatalFailure())
        return;
    const QString voucher = QString::fromLatin1(kOlderVoucherSQL);
    const QString recorded = QString::fromLatin1(kRecordedSQL);

    QString error;
    ASSERT_TRUE(VoUpgradeDatabase(&db, &error)) << error.toStdString();
    EXPECT_EQ(VoSelectValue(voucher, {}, &db).toInt(), 3);
    EXPECT_EQ(VoSelectValue(recorded, {}, &db).toInt(), VoSchemaScripts().size());
    // The stored definitions the windows load are there without demo data, each once.
    for (const char *code : {"KVAREPLACE", "KVBREPLACE", "KVB_BENIFL"})
        EXPECT_EQ(
            VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TYXAR_XMLARCHIVIO WHERE SYXARCODICE = :c"),
                          {{QStringLiteral("c"), QString::fromLatin1(code)}}, &db)
                .toInt(),
            1)
            << code;
    // Nothing more to do the second time.
    ASSERT_TRUE(VoUpgradeDatabase(&db, &error)) << error.toStdString();
    EXPECT_EQ(VoSelectValue(recorded, {}, &db).toInt(), VoSchemaScripts().size());
    db.Close();
    QFile::remove(path);
}

// Every sample article of a first start can be loaded: its goods code is one of its category's. A
// database made before the sample articles had theirs gets them, but an article the office changed
// keeps what it has.
TEST_F(VoUpgradeTest, SampleArticlesHaveGoodsCodesOfTheirCategoriesAlsoInAnOlderDatabase) {
    const QString path = TVoTestDb::Folder() + QStringLiteral("/samples.fdb");
    TVoSQLConnection db(nullptr, QStringLiteral("samples"));
    TVoDbCreateOptions options;
    options.overwrite = true;
    options.forcedWrites = false;
    options.userName = db.Param(QStringLiteral("User_Name"));
    options.password = db.Param(QStringLiteral("Password"));
    QString error;
    ASSERT_TRUE(VoCreateDatabase(path, options, &error)) << error.toStdString();
    db.SetParam(QStringLiteral("Database"), path);
    ASSERT_TRUE(db.Open(&error)) << error.toStdString();
    const auto unlinked = [&db] {
        return VoSelectValue(
                   QStringLiteral(
                       "SELECT LIST(far.SFARSDESC, ',') FROM (SELECT SFARSDESC FROM TFAR_FACARTICOLI f "
                       "WHERE NOT EXISTS (SELECT 1 FROM TCFM_CATEGFACMERCE cfm WHERE cfm.ICFMID = "
                       "f.ICFMID AND cfm.ICAFID = f.ICAFID AND cfm.IMERID = f.IMERID) ORDER BY 1) far"),
                   {}, &db)
            .toString();
    };
    EXPECT_EQ(unlinked(), QString());
    EXPECT_GE(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TFAR_FACARTICOLI"), {}, &db).toInt(), 18);

    const char *const older[] = {
        "UPDATE TFAR_FACARTICOLI SET ICFMID = NULL WHERE SFARSDESC IN ('0000008', '0000009', '0000010', "
        "'0000012', '0000014', '0000015', '0000016')",
        "UPDATE TFAR_FACARTICOLI SET IMERID = NULL WHERE SFARSDESC IN ('0000008', '0000009', '0000010', "
        "'0000015', '0000016')",
        "DELETE FROM TCFM_CATEGFACMERCE WHERE IMERID IN (SELECT IMERID FROM TMER_CODICIMERCEOL WHERE "
        "SMERCODICE IN ('UFF', 'LAV', 'IGI'))",
        "DELETE FROM TMER_CODICIMERCEOL WHERE SMERCODICE IN ('UFF', 'LAV')",
        "UPDATE TFAR_FACARTICOLI SET SFARLDESC = 'CUCITRICE A PINZA' WHERE SFARSDESC = '0000008'"};
    for (const char *sql : older)
        VoExecSQL(QString::fromLatin1(sql), {}, &db);
    ASSERT_EQ(unlinked(), QStringLiteral("0000008,0000009,0000010,0000012,0000014,0000015,0000016"));
    const QString script = VoScriptText(QStringLiteral("sql/540_sample_articles_goods_codes.sql"));
    ASSERT_FALSE(script.isEmpty());
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(VoApplyScript(&db, script, &error)) << error.toStdString();
        EXPECT_EQ(unlinked(), QStringLiteral("0000008"));
        EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TCFM_CATEGFACMERCE cfm JOIN "
                                               "TMER_CODICIMERCEOL mer ON mer.IMERID = cfm.IMERID WHERE "
                                               "mer.SMERCODICE IN ('UFF', 'LAV', 'IGI')"),
                                {}, &db)
                      .toInt(),
                  3);
    }
    db.Close();
    QFile::remove(path);
}

TEST(VoServerTest, AnOlderDatabaseMadeOnAServerIsOpenedAndUpgradedByTheProgram) {
    TVoTestServer server;
    QString reason;
    if (!TVoTestServer::Configured(&server, &reason))
        GTEST_SKIP() << reason.toStdString();
    const QString file = server.folder + QStringLiteral("/older-on-server.fdb");
    QFile::remove(file);
    {
        TVoSQLConnection db(nullptr, QStringLiteral("older"));
        server.LogIn(&db);
        MakeOlderDatabase(&db, server.DatabaseName(file));
        if (HasFatalFailure())
            return;
    }
    TVoScriptedMessages messages;
    TdmVoConnection::SetDatabaseUpgrader(&VoUpgradeDatabase);
    {
        TdmVoConnection module;
        module.SetStartupArguments({QStringLiteral("1"), QStringLiteral("U"), QString(),
                                    QStringLiteral("960"), server.DatabaseName(file), server.userName,
                                    server.password});
        if (module.OpenConnection()) {
            EXPECT_EQ(VoSelectValue(QString::fromLatin1(kOlderVoucherSQL)).toInt(), 3);
            EXPECT_EQ(VoSelectValue(QString::fromLatin1(kRecordedSQL)).toInt(), VoSchemaScripts().size());
        } else {
            ADD_FAILURE() << module.LastError().toStdString();
        }
    }
    TdmVoConnection::SetDatabaseUpgrader({});
    EXPECT_TRUE(messages->Shown().isEmpty()) << messages->LastText().toStdString();
    QFile::remove(file);
}

using VoBackupTest = VoDbTest;

TEST_F(VoBackupTest, ABackupMadeWhileTheDatabaseIsInUseRestoresToAFileThatOpens) {
    const QString gbak = QStandardPaths::findExecutable(QStringLiteral("gbak"));
    ASSERT_FALSE(gbak.isEmpty()) << "gbak is missing: install firebird3.0-utils";
    VoExecSQL(QStringLiteral("CREATE TABLE TBACKUP (SWHO VARCHAR(20))"));
    VoExecSQL(QStringLiteral("INSERT INTO TBACKUP (SWHO) VALUES ('committed')"));
    // The program is at work: a write of its is under way while the backup runs.
    conn->StartTransaction();
    VoExecSQL(QStringLiteral("INSERT INTO TBACKUP (SWHO) VALUES ('pending')"));

    // The engine's configuration folder of the programs, as the README tells the office to name it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), VoPrepareEmbeddedEngine());
    const auto run = [&](const QStringList &arguments) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(gbak, arguments);
        const bool finished = process.waitForFinished(120000);
        const QByteArray output = process.readAll();
        EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            << "gbak " << arguments.join(QLatin1Char(' ')).toStdString() << ":\n"
            << output.toStdString();
    };
    const QString backup = TVoTestDb::Folder() + QStringLiteral("/in-use.fbk");
    const QString restored = TVoTestDb::Folder() + QStringLiteral("/restored.fdb");
    QFile::remove(backup);
    QFile::remove(restored);
    run({QStringLiteral("-b"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), dbPath, backup});
    run({QStringLiteral("-c"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), backup, restored});
    conn->Rollback();
    if (HasFailure())
        return;

    TVoSQLConnection copy(nullptr, QStringLiteral("restored"));
    copy.SetParam(QStringLiteral("Database"), restored);
    QString error;
    ASSERT_TRUE(copy.Open(&error)) << error.toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT LIST(SWHO) FROM TBACKUP"), {}, &copy).toString(),
              QStringLiteral("committed"));
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TDOW_DATAOWNER"), {}, &copy).toInt(), 1);
    EXPECT_EQ(VoSelectValue(QString::fromLatin1(kRecordedSQL), {}, &copy).toInt(), VoSchemaScripts().size());
    copy.Close();
    QFile::remove(backup);
    QFile::remove(restored);
}

TEST_F(VoUpgradeTest, EachScriptCommitsWithItsRecordAndOneThatFailsLeavesNothing) {
    const auto relations = [] {
        return VoCountRows(QStringLiteral(
            "SELECT * FROM RDB$RELATIONS WHERE RDB$RELATION_NAME IN ('TPRIMA', 'TPROVA', 'VPROVA')"));
    };
    const auto recorded = [](const QString &name) {
        return VoCountRows(QStringLiteral("SELECT * FROM TYSCR_SCRIPT WHERE SYSCRNOME = :n"),
                           {{QStringLiteral("n"), name}});
    };
    const QString first = QStringLiteral("sql/900_prima.sql"), second = QStringLiteral("sql/910_prova.sql");
    const QString broken = QStringLiteral("CREATE VIEW VPROVA AS SELECT Y FROM TPROVA");
    QList<TVoDbScript> scripts = VoSchemaScriptList();
    scripts.append({first, QStringLiteral("CREATE TABLE TPRIMA (X INTEGER);\n")});
    scripts.append({second, QStringLiteral("CREATE TABLE TPROVA (X INTEGER);\n%1;\n").arg(broken)});

    QString error;
    EXPECT_FALSE(VoUpgradeDatabaseWith(conn.get(), scripts, &error));
    EXPECT_TRUE(error.startsWith(second + QStringLiteral(": "))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(
        broken + QStringLiteral("\n\nIl database è rimasto com'era prima di questo aggiornamento, con i "
                                "dati intatti; al prossimo avvio il programma lo riprova. Se l'errore "
                                "si ripete, fare una copia del file del database e rivolgersi "
                                "all'assistenza con questo messaggio.")))
        << error.toStdString();
    EXPECT_FALSE(conn->InTransaction());
    // The script before it stays with its record; the failed one left neither its table nor a record.
    EXPECT_EQ(relations(), 1);
    EXPECT_EQ(recorded(first), 1);
    EXPECT_EQ(recorded(second), 0);

    scripts.last().text =
        QStringLiteral("CREATE TABLE TPROVA (X INTEGER);\nCREATE VIEW VPROVA AS SELECT X FROM "
                       "TPROVA;\n");
    ASSERT_TRUE(VoUpgradeDatabaseWith(conn.get(), scripts, &error)) << error.toStdString();
    EXPECT_EQ(relations(), 3);
    EXPECT_EQ(recorded(second), 1);
}

namespace {

// A user of the office as a program sees one: home, data and configuration folders of a temporary
// home, with the program's start run as a process of its own.
class TUserHome {
public:
    TUserHome() {
        m_env.insert(QStringLiteral("HOME"), m_home.path());
        m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        m_env.remove(QStringLiteral("FIREBIRD"));
    }
    QString DataFolder() const { return m_home.filePath(QStringLiteral("data/velisto")); }
    QString DefaultDatabase() const { return DataFolder() + QStringLiteral("/velisto.fdb"); }
    QString SettingsFile() const { return m_home.filePath(QStringLiteral("config/velisto/connection.ini")); }
    void WriteSettings(const QString &text) const {
        QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
        QFile f(SettingsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    // The files of the data folder (the engine's configuration folder aside).
    QStringList DataFiles() const { return QDir(DataFolder()).entryList(QDir::Files, QDir::Name); }
    void Start(QProcess &program) const {
        program.setProcessEnvironment(m_env);
        program.start(QStringLiteral(VO_DBPEER), {QStringLiteral("--start")});
        ASSERT_TRUE(program.waitForStarted());
    }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
};

} // namespace

TEST(VoFirstStartTest, AStartKilledWhileMakingTheDatabaseLeavesNoneAndTheNextStartMakesIt) {
    TUserHome user;
    QProcess first;
    user.Start(first);
    // Killed once the scripts are being written into the new file, whatever its name.
    QString making;
    qint64 emptySize = -1;
    const bool writing = QTest::qWaitFor(
        [&] {
            for (const QString &name : user.DataFiles()) {
                const QString file = user.DataFolder() + QLatin1Char('/') + name;
                if (!name.startsWith(QStringLiteral("velisto.fdb")) || !VoDatabaseFileInUse(file))
                    continue;
                const qint64 size = QFileInfo(file).size();
                if (emptySize < 0 || making != file)
                    emptySize = size, making = file;
                return size > emptySize;
            }
            return first.state() != QProcess::Running;
        },
        120000);
    ASSERT_TRUE(writing);
    ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();
    first.kill();
    ASSERT_TRUE(first.waitForFinished());
    EXPECT_FALSE(QFileInfo::exists(user.DefaultDatabase())) << "a half-made database under the real name";

    QProcess second;
    user.Start(second);
    ASSERT_TRUE(second.waitForFinished(240000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.readAllStandardOutput().trimmed(), QByteArray("opened"));
    // The killed start's leftover is gone with it.
    EXPECT_EQ(user.DataFiles(), QStringList{QStringLiteral("velisto.fdb")});
    TVoSQLConnection db(nullptr, QStringLiteral("made"));
    db.SetParam(QStringLiteral("Database"), user.DefaultDatabase());
    QString error;
    ASSERT_TRUE(db.Open(&error)) << error.toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM VDOW_DATAOWNER"), {}, &db).toInt(), 1);
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TYSCR_SCRIPT"), {}, &db).toInt(),
              VoSchemaScripts().size());
}

TEST(VoFirstStartTest, ASettingsFileThatNamesNoDatabaseIsAnErrorNotANewDemoDatabase) {
    const QString copy = TVoTestDb::FreshCopy(QStringLiteral("settings"));
    const struct {
        const char *settings;
        bool opens;
    } cases[] = {{"[connection]\nDatabase=%1\n", false},
                 {"[Connection]\nDataBase=%1\n", false},
                 {"[Connection]\nUser_Name=SYSDBA\nPassword=masterkey\n", false},
                 {"[Connection]\nDatabase=%1\n", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.settings);
        TUserHome user;
        user.WriteSettings(QString::fromLatin1(c.settings).arg(copy));
        QProcess program;
        user.Start(program);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_FALSE(QFileInfo::exists(user.DefaultDatabase()));
        if (c.opens) {
            EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
            continue;
        }
        EXPECT_EQ(program.exitCode(), 1);
        EXPECT_EQ(
            QString::fromLocal8Bit(program.readAllStandardError()).trimmed(),
            QStringLiteral("Il file delle impostazioni \"%1\" deve indicare il database con la chiave "
                           "\"Database\" nella sezione [Connection] (maiuscole e minuscole come scritte "
                           "qui).")
                .arg(user.SettingsFile()));
    }
}

TEST(VoCleanStopTest, TermAndInterruptEndTheProgramWithNothingWrittenAndTheFileClosed) {
    const struct {
        int signal;
        const char *state; // besides the edit
    } cases[] = {{SIGTERM, ""}, {SIGINT, ""}, {SIGTERM, "--writing"}, {SIGTERM, "--in-dialog"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "signal " << c.signal << " " << c.state);
        const QString path = TVoTestDb::FreshCopy(QStringLiteral("stop"));
        QProcess program;
        QStringList args{path, QStringLiteral("--edit-year"), QStringLiteral("2099")};
        if (*c.state)
            args << QString::fromLatin1(c.state);
        program.start(QStringLiteral(VO_DBPEER), args);
        ASSERT_TRUE(program.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return program.canReadLine() || program.state() != QProcess::Running; }, 60000));
        ASSERT_EQ(program.readLine().trimmed(), QByteArray("ready"))
            << program.readAllStandardError().toStdString();
        ::kill(pid_t(program.processId()), c.signal);
        ASSERT_TRUE(program.waitForFinished(10000)) << "still running after the signal";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_FALSE(VoDatabaseFileInUse(path));
        TVoSQLConnection db(nullptr, QStringLiteral("after-stop"));
        db.SetParam(QStringLiteral("Database"), path);
        QString error;
        ASSERT_TRUE(db.Open(&error)) << error.toStdString();
        EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT LIST(IANFVALORE) FROM (SELECT IANFVALORE FROM "
                                               "TANF_ANNIFINANZ ORDER BY 1)"),
                                {}, &db)
                      .toString(),
                  QStringLiteral("2025,2026,2027"));
    }
}

TEST(VoFirstStartTest, TwoProgramsStartingOnAnOlderDatabaseTakeTurnsToUpgradeIt) {
    const QString path = TVoTestDb::Folder() + QStringLiteral("/older-two.fdb");
    TVoSQLConnection db(nullptr, QStringLiteral("upgraded"));
    MakeOlderDatabase(&db, path);
    TUserHome user1, user2;
    QProcess first, second;
    for (auto [user, program] : {std::pair{&user1, &first}, std::pair{&user2, &second}}) {
        user->WriteSettings(QStringLiteral("[Connection]\nDatabase=%1\n").arg(path));
        user->Start(*program);
    }
    for (QProcess *program : {&first, &second}) {
        ASSERT_TRUE(program->waitForFinished(240000));
        EXPECT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    }
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TYSCR_SCRIPT"), {}, &db).toInt(),
              VoSchemaScripts().size());
}

TEST(VoFirstStartTest, ReplacingADatabaseIsRefusedWhileAProgramHasItOpen) {
    const QString path = TVoTestDb::FreshCopy(QStringLiteral("replaced"));
    const QString school = QStringLiteral("SELECT COUNT(*) FROM VDOW_DATAOWNER");
    const auto replace = [&path] {
        QProcess tool;
        tool.start(QStringLiteral(VO_KVDBCREATE),
                   {QStringLiteral("--force"), QStringLiteral("--no-demo"), path});
        EXPECT_TRUE(tool.waitForFinished(120000));
        return std::pair{tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardError()).trimmed()};
    };
    {
        TVoSQLConnection open(nullptr, QStringLiteral("kept-open"));
        open.SetParam(QStringLiteral("Database"), path);
        QString error;
        ASSERT_TRUE(open.Open(&error)) << error.toStdString();
        const auto [code, message] = replace();
        EXPECT_EQ(code, 1);
        EXPECT_EQ(message,
                  QStringLiteral("kvdbcreate: Il database \"%1\" è aperto da un programma: chiudere i "
                                 "programmi che lo usano e riprovare.")
                      .arg(path));
        EXPECT_EQ(VoSelectValue(school, {}, &open).toInt(), 1);
    }
    const auto [code, message] = replace();
    EXPECT_EQ(code, 0) << message.toStdString();
    TVoSQLConnection replaced(nullptr, QStringLiteral("replaced"));
    replaced.SetParam(QStringLiteral("Database"), path);
    QString error;
    ASSERT_TRUE(replaced.Open(&error)) << error.toStdString();
    EXPECT_EQ(VoSelectValue(school, {}, &replaced).toInt(), 0);
}

// A server cannot put a new file in the place of the old one at once: its database stays, and the
// technician is told why in either case.
TEST(VoServerTest, ADatabaseOnTheServerIsNeverReplacedAndTheRefusalSaysWhy) {
    TVoTestServer server;
    QString reason;
    if (!TVoTestServer::Configured(&server, &reason))
        GTEST_SKIP() << reason.toStdString();
    const QString database = server.DatabaseName(server.FreshCopy(QStringLiteral("kept-on-server")));
    const struct {
        bool force;
        QString message;
    } cases[] = {
        {false, QStringLiteral("kvdbcreate: Il database \"%1\" esiste già sul server.").arg(database)},
        {true, QStringLiteral("kvdbcreate: Il database \"%1\" esiste già sul server e non viene sostituito: "
                              "sul server il vecchio database andrebbe cancellato prima di creare il nuovo, "
                              "e se la creazione non riuscisse i suoi dati sarebbero persi. Per sostituirlo, "
                              "cancellarlo sul server e ripetere; altrimenti indicare un altro percorso.")
                   .arg(database)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.force);
        QStringList arguments{QStringLiteral("--no-demo"),  QStringLiteral("--user"), server.userName,
                              QStringLiteral("--password"), server.password,          database};
        if (c.force)
            arguments.prepend(QStringLiteral("--force"));
        QProcess tool;
        tool.start(QStringLiteral(VO_KVDBCREATE), arguments);
        ASSERT_TRUE(tool.waitForFinished(120000));
        EXPECT_EQ(tool.exitCode(), 1);
        EXPECT_EQ(QString::fromLocal8Bit(tool.readAllStandardError()).trimmed(), c.message);
    }
    TVoSQLConnection kept(nullptr, QStringLiteral("kept-on-server"));
    kept.SetParam(QStringLiteral("Database"), database);
    server.LogIn(&kept);
    QString error;
    ASSERT_TRUE(kept.Open(&error)) << error.toStdString();
    EXPECT_EQ(VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM VDOW_DATAOWNER"), {}, &kept).toInt(), 1);
}

TEST(VoFirstStartTest, AnUpgradeKilledHalfWayIsFinishedByTheNextStart) {
    const QString path = TVoTestDb::Folder() + QStringLiteral("/older-killed.fdb");
    TVoSQLConnection db(nullptr, QStringLiteral("watching"));
    MakeOlderDatabase(&db, path);
    const auto recorded = [&db] {
        return VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM TYSCR_SCRIPT"), {}, &db).toInt();
    };
    const int before = recorded();
    TUserHome user;
    user.WriteSettings(QStringLiteral("[Connection]\nDatabase=%1\n").arg(path));
    QProcess first;
    user.Start(first);
    // Killed in the middle of the scripts, after some of them committed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.state() != QProcess::Running || recorded() > before + 2; },
                                120000));
    ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();
    // This process leaves the file while the other is killed: the in-process engines of one file share
    // a lock table, and a process killed while it holds the table's mutex leaves every other process
    // that has the file open waiting for it for ever (a start afterwards makes the table anew).
    db.Close();
    first.kill();
    ASSERT_TRUE(first.waitForFinished());
    QString error;
    ASSERT_TRUE(db.Open(&error)) << error.toStdString();
    EXPECT_LT(recorded(), VoSchemaScripts().size());

    QProcess second;
    user.Start(second);
    ASSERT_TRUE(second.waitForFinished(240000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(recorded(), VoSchemaScripts().size());
}
