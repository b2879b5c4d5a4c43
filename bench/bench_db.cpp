// Times the creation of a new database with demo data, and 10,000 key draws from PYSETGETID as the
// programs make them outside a write (each in a transaction of its own), beside the least a key draw
// costs: the key's sequence stepped in a transaction kept open, and the same in a transaction each.
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/bench.fdb");

    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!VoCreateDatabase(path, TVoDbCreateOptions{}, &error)) {
        out << "create failed: " << error << "\n";
        return 1;
    }
    out << "create database with demo data: " << timer.elapsed() << " ms\n";

    TVoSQLConnection conn(nullptr, QStringLiteral("bench"));
    conn.SetParam(QStringLiteral("Database"), path);
    if (!conn.Open(&error)) {
        out << "open failed: " << error << "\n";
        return 1;
    }
    const int calls = 10000;
    timer.restart();
    int last = 0;
    for (int i = 0; i < calls; ++i) {
        TVoQuery q(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:sTable,1);"), &conn);
        q.SetParam(QStringLiteral("sTable"), QStringLiteral("TBENCH"));
        q.Open();
        last = q.AsInteger(QStringLiteral("L_ICNTID"));
    }
    const qint64 ms = timer.elapsed();
    out << calls << " PYSETGETID calls: " << ms << " ms (" << (ms * 1000.0 / calls) << " us each), last key "
        << last << "\n";
    // The sequence the procedure steps, stepped alone: once in one transaction, once in one each.
    for (const bool each : {false, true}) {
        QSqlQuery q(conn.Database());
        if (!each)
            conn.StartTransaction();
        q.prepare(QStringLiteral("SELECT GEN_ID(GID_TBENCH, 1) FROM RDB$DATABASE"));
        timer.restart();
        for (int i = 0; i < calls; ++i) {
            q.exec();
            q.next();
            q.finish();
        }
        const qint64 bare = timer.elapsed();
        if (!each)
            conn.Commit();
        out << "  the sequence stepped " << calls << " times, "
            << (each ? "a transaction each" : "in one transaction") << ": " << bare << " ms  |  ratio of the draws "
            << (bare > 0 ? double(ms) / bare : 0.0) << "\n";
    }
    return last == calls ? 0 : 1;
}
