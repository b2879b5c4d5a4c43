// A second process on the same database file: vo_dbpeer FILE TABLE
// Inserts a row marked "peer", then waits (up to 30 s) until a row marked "parent" is committed by
// the other process, and exits 0 when it saw it. With --after-a-server as its third argument it first
// tries a database on a server that does not answer, as a program that worked on a server before.
//
// vo_dbpeer FILE --voucher LOCKTABLE LOCKCOLUMN LOCKKEY REGISTERYEAR NUMBER DATE
// Saves a loading voucher as another copy of the program does: in one transaction it locks the row
// that owns the numbering, inserts the voucher (DATE as yyyy-MM-dd), prints "locked", holds the
// transaction a moment and commits; exits 0 once committed.
//
// vo_dbpeer FILE --good LOCKTABLE LOCKCOLUMN LOCKKEY VOUCHER NUMBER
// The same for a durable good of that number, in state 1, on a loading voucher.
//
// vo_dbpeer FILE --lock LOCKTABLE LOCKCOLUMN LOCKKEY
// The same with nothing written beside the lock, as another program's write of that row.
//
// FILE may be a database on the test server ("host:/path"), opened with the login the tests use
// there (VO_TEST_SERVER_USER, VO_TEST_SERVER_PASSWORD).
//
// vo_dbpeer --start
// Starts as a program does: opens the connection its settings give (the default database, made with
// its demo data when missing), prints "opened" and exits 0; a message shown goes to the error output.
//
// vo_dbpeer FILE --edit-year VALUE [--writing | --in-dialog]
// Opens the database as the program's connection, stands editing the year 2026 of the financial
// years with the value VALUE typed and not saved, and with --writing also in the middle of a write
// of that value; prints "ready" and runs until it is stopped (with --in-dialog first in a loop of its
// own, as a dialog before the main loop).
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStop.h"
#include "VoTransaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include <memory>

namespace {
const char *const kVoucherSQL =
    "INSERT INTO TFBUO_BUONI (IFBUOID, IDWGFACANFID, IFBUONUMERO, DFBUODATA, IFBUOTIPO, ILOCKED) VALUES "
    "((SELECT L_ICNTID FROM PYSETGETID('TFBUO_BUONI', 1)), :ry, :n, :d, 0, 0)";
const char *const kGoodSQL = "INSERT INTO TBINB_BENI (IBINBID, IBBUOID, IBINBNUMERO, IAVAID) VALUES ((SELECT "
                             "L_ICNTID FROM PYSETGETID('TBINB_BENI', 1)), :ry, :n, 1)";

// A database on the test server is opened with the login the test itself uses.
void LogIn(TVoSQLConnection *conn, const QString &database) {
    conn->SetParam(QStringLiteral("Database"), database);
    conn->SetParam(QStringLiteral("User_Name"),
                   qEnvironmentVariable("VO_TEST_SERVER_USER", QStringLiteral("SYSDBA")));
    conn->SetParam(QStringLiteral("Password"), qEnvironmentVariable("VO_TEST_SERVER_PASSWORD"));
}

// The connection of this process to the file; nullptr (with the reason printed) when it cannot open.
std::unique_ptr<TVoSQLConnection> OpenPeer(const QString &file, QTextStream &out) {
    auto conn = std::make_unique<TVoSQLConnection>(nullptr, QStringLiteral("peer"));
    LogIn(conn.get(), file);
    QString error, detail;
    if (conn->Open(&error, &detail))
        return conn;
    // The engine's own words say why, where the user's text only says that it could not.
    out << "open failed: " << error << "\n" << detail << Qt::endl;
    return nullptr;
}

// Holds the lock until the other program's write has begun: a write transaction of another
// connection, begun after the lock was taken, running a statement for half a second (which is what a
// write waiting for the lock looks like). A fixed pause let a loaded machine begin that write only
// after the commit, so that it met no lock at all. Half a minute at most.
void HoldUntilAWriteWaits(const QString &file, TVoSQLConnection &holder) {
    const QVariant own = VoSelectValue(QStringLiteral("SELECT CURRENT_TRANSACTION || '/' || CURRENT_CONNECTION "
                                                      "FROM RDB$DATABASE"),
                                       {}, &holder);
    const QStringList ids = own.toString().split(QLatin1Char('/'));
    TVoSQLConnection watch(nullptr, QStringLiteral("peer-watch"));
    LogIn(&watch, file);
    QString error;
    if (ids.size() != 2 || !watch.Open(&error)) {
        QThread::msleep(1500);
        return;
    }
    QElapsedTimer waited, seen;
    waited.start();
    QVariant writer;
    while (waited.elapsed() < 30000) {
        QVariant now;
        // Each look in a transaction of its own: the engine's view of who does what is taken once per
        // transaction.
        TVoTransaction look(&watch);
        look.StartTransaction();
        now = VoSelectValue(
            QStringLiteral("SELECT FIRST 1 t.MON$TRANSACTION_ID FROM MON$TRANSACTIONS t "
                           "JOIN MON$STATEMENTS s ON s.MON$TRANSACTION_ID = t.MON$TRANSACTION_ID "
                           "WHERE t.MON$TRANSACTION_ID > :own AND t.MON$READ_ONLY = 0 AND s.MON$STATE = 1 "
                           "AND t.MON$ATTACHMENT_ID <> :holder AND t.MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                           "ORDER BY t.MON$TRANSACTION_ID"),
            {{QStringLiteral("own"), ids[0].toLongLong()}, {QStringLiteral("holder"), ids[1].toLongLong()}},
            &watch);
        look.Commit();
        if (!now.isValid() || now != writer) {
            writer = now;
            seen.start();
        } else if (seen.elapsed() >= 500) {
            return;
        }
        QThread::msleep(20);
    }
}

int SaveHoldingTheLock(const QStringList &args, QTextStream &out) {
    const bool good = args[2] == QLatin1String("--good");
    const bool lockOnly = args[2] == QLatin1String("--lock");
    if (args.size() != (lockOnly ? 6 : good ? 8 : 9))
        return 2;
    const std::unique_ptr<TVoSQLConnection> peer = OpenPeer(args[1], out);
    if (!peer)
        return 3;
    TVoSQLConnection &conn = *peer;
    try {
        TVoTransaction transaction(&conn);
        transaction.StartTransaction();
        VoLockRow(args[3], args[4], args[5].toInt(), &conn);
        if (!lockOnly) {
            QVariantHash values{{QStringLiteral("ry"), args[6].toInt()},
                                {QStringLiteral("n"), args[7].toInt()}};
            if (!good)
                values.insert(QStringLiteral("d"), QDate::fromString(args[8], Qt::ISODate));
            VoExecSQL(QString::fromLatin1(good ? kGoodSQL : kVoucherSQL), values, &conn);
        }
        out << "locked" << Qt::endl;
        HoldUntilAWriteWaits(args[1], conn);
        transaction.Commit();
    } catch (const std::exception &e) {
        out << "error: " << e.what() << Qt::endl;
        return 4;
    }
    out << "committed" << Qt::endl;
    return 0;
}

int StartAsAProgram(QTextStream &out) {
    TdmVoConnection::SetDatabaseCreator([](const QString &path, QString *error) {
        return VoCreateDatabase(path, TVoDbCreateOptions{}, error);
    });
    TdmVoConnection::SetDatabaseUpgrader(&VoUpgradeDatabase);
    TdmVoConnection module;
    module.SetStartupArguments({});
    if (!module.OpenConnection()) {
        module.ShowLastError();
        return 1;
    }
    out << "opened" << Qt::endl;
    return 0;
}

int EditUntilStopped(QCoreApplication &app, const QStringList &args, QTextStream &out) {
    VoInstallCleanStop();
    const std::unique_ptr<TVoSQLConnection> peer = OpenPeer(args[1], out);
    if (!peer)
        return 3;
    TVoSQLConnection &conn = *peer;
    qqoVoGlobConn = &conn;
    TVoQueryCollection years;
    years.SetCommandText(
        QStringLiteral("SELECT IANFID, IANFVALORE FROM TANF_ANNIFINANZ WHERE IANFVALORE = 2026"));
    years.SetAutoBuildSQL(true);
    years.Open();
    years.Edit();
    years.FieldByName(QStringLiteral("IANFVALORE"))->SetAsInteger(args[3].toInt());
    TVoTransaction write(&conn);
    if (args.value(4) == QLatin1String("--writing")) {
        write.StartTransaction();
        VoExecSQL(QStringLiteral("UPDATE TANF_ANNIFINANZ SET IANFVALORE = :v WHERE IANFVALORE = 2026"),
                  {{QStringLiteral("v"), args[3].toInt()}});
    }
    out << "ready" << Qt::endl;
    if (args.value(4) == QLatin1String("--in-dialog")) {
        // As a dialog that a program shows before its main loop runs.
        QEventLoop dialog;
        dialog.exec();
    }
    return app.exec();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (app.arguments().value(1) == QLatin1String("--start"))
        return StartAsAProgram(out);
    if (app.arguments().value(2) == QLatin1String("--edit-year"))
        return EditUntilStopped(app, app.arguments(), out);
    if (app.arguments().value(2) == QLatin1String("--voucher") ||
        app.arguments().value(2) == QLatin1String("--good") ||
        app.arguments().value(2) == QLatin1String("--lock"))
        return SaveHoldingTheLock(app.arguments(), out);
    if (app.arguments().size() != 3 &&
        (app.arguments().size() != 4 || app.arguments()[3] != QLatin1String("--after-a-server")))
        return 2;
    if (app.arguments().size() == 4) {
        TVoSQLConnection server(nullptr, QStringLiteral("server"));
        // Nothing listens on port 1: refused at once.
        LogIn(&server, QStringLiteral("localhost/1:/velisto.fdb"));
        if (server.Open()) {
            out << "a server answered on port 1\n";
            return 2;
        }
    }
    const std::unique_ptr<TVoSQLConnection> peer = OpenPeer(app.arguments()[1], out);
    if (!peer)
        return 3;
    TVoSQLConnection &conn = *peer;
    const QString table = app.arguments()[2];
    try {
        TVoQuery ins(QStringLiteral("INSERT INTO %1 (SWHO) VALUES (:who)").arg(table), &conn);
        ins.SetParam(QStringLiteral("who"), QStringLiteral("peer"));
        ins.Exec();
        // Polled: nothing tells this process when the other one commits.
        const bool sawParent = QTest::qWaitFor(
            [&] {
                TVoQuery q(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SWHO = 'parent'").arg(table), &conn);
                q.Open();
                return q.Value(0).toInt() > 0;
            },
            30000);
        if (sawParent) {
            out << "saw parent\n";
            return 0;
        }
    } catch (const std::exception &e) {
        out << "error: " << e.what() << "\n";
        return 4;
    }
    out << "timeout\n";
    return 1;
}
