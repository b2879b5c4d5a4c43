// A second process on the same database file: vo_dbpeer FILE TABLE
// Inserts a row marked "peer", then waits (up to 30 s) until a row marked "parent" is committed by
// the other process, and exits 0 when it saw it.
#include "VoConnection.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (app.arguments().size() != 3)
        return 2;
    TVoSQLConnection conn(nullptr, QStringLiteral("peer"));
    conn.SetParam(QStringLiteral("Database"), app.arguments()[1]);
    QString error;
    if (!conn.Open(&error)) {
        out << "open failed: " << error << "\n";
        return 3;
    }
    const QString table = app.arguments()[2];
    try {
        TVoQuery ins(QStringLiteral("INSERT INTO %1 (SWHO) VALUES (:who)").arg(table), &conn);
        ins.SetParam(QStringLiteral("who"), QStringLiteral("peer"));
        ins.Exec();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 30000) {
            TVoQuery q(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SWHO = 'parent'").arg(table), &conn);
            q.Open();
            if (q.Value(0).toInt() > 0) {
                out << "saw parent\n";
                return 0;
            }
            q.Close();
            QThread::msleep(50);
        }
    } catch (const std::exception &e) {
        out << "error: " << e.what() << "\n";
        return 4;
    }
    out << "timeout\n";
    return 1;
}
