// A second process on the same database file: vo_dbpeer FILE TABLE
// Inserts a row marked "peer", then waits (up to 30 s) until a row marked "parent" is committed by
// the other process, and exits 0 when it saw it.
#include "VoConnection.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QTest>
#include <QTextStream>

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
