// Times the creation of a new database with demo data and 10,000 key draws from PYSETGETID.
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    return last == calls ? 0 : 1;
}
