#include "VoBench.h"

#include "VoConnection.h"
#include "VoDbCreate.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

QTextStream &Out() {
    static QTextStream out(stdout);
    return out;
}

bool ExecRaw(TVoSQLConnection &conn, const QString &sql) {
    QSqlQuery q(conn.Database());
    if (q.exec(sql))
        return true;
    Out() << "failed: " << q.lastError().text() << "\n" << sql << "\n";
    return false;
}

bool VoBenchDatabase(const QTemporaryDir &dir, const QString &name, TVoSQLConnection &conn) {
    const QString path = dir.path() + QLatin1Char('/') + name;
    QString error;
    TVoDbCreateOptions options;
    options.demoData = false;
    if (!VoCreateDatabase(path, options, &error)) {
        Out() << "create failed: " << error << "\n";
        return false;
    }
    conn.SetParam(QStringLiteral("Database"), path);
    if (!conn.Open(&error)) {
        Out() << "open failed: " << error << "\n";
        return false;
    }
    qqoVoGlobConn = &conn;
    return true;
}
