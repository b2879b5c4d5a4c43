#include "VoDbCreate.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoSqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <ibase.h>

namespace {

QStringList ResourceScripts(const QString &folder) {
    QStringList names = QDir(QStringLiteral(":/db/") + folder).entryList(QDir::Files, QDir::Name);
    for (QString &n : names)
        n = folder + QLatin1Char('/') + n;
    return names;
}

QString StatusText(const ISC_STATUS *status) {
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS *p = status;
    while (fb_interpret(buffer, sizeof buffer, &p))
        lines << QString::fromUtf8(buffer);
    return lines.join(QLatin1Char('\n'));
}

bool CreateEmptyFile(const QString &path, QString *error) {
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    const QByteArray sql = QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PAGE_SIZE 8192 "
                                          "DEFAULT CHARACTER SET UTF8")
                               .arg(quoted)
                               .toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), SQL_DIALECT_V6, nullptr)) {
        *error = StatusText(status);
        return false;
    }
    isc_detach_database(status, &db);
    return true;
}

const char *const kRecordSQL = "INSERT INTO TYSCR_SCRIPT (SYSCRNOME, DYSCRAPPLICATO) VALUES (:nome, (SELECT "
                               "SERVERDATE FROM PYGETSERVERTIMESTAMP))";

// Applies the schema scripts not in applied, in order, recording each (the first script makes the
// record table, the second the server time).
bool ApplyMissingScripts(TVoSQLConnection *conn, const QStringList &applied, QString *error) {
    QStringList pending;
    for (const QString &name : VoSchemaScripts())
        if (!applied.contains(name))
            pending << name;
    for (const QString &name : pending) {
        if (!VoApplyScript(conn, VoScriptText(name), error)) {
            *error = name + QStringLiteral(": ") + *error;
            return false;
        }
    }
    // Recorded once all are in, so that the procedures the record uses exist.
    try {
        for (const QString &name : pending)
            VoExecSQL(QString::fromLatin1(kRecordSQL), {{QStringLiteral("nome"), name}}, conn);
    } catch (const EVoException &e) {
        *error = e.Message();
        return false;
    }
    return true;
}

} // namespace

bool VoUpgradeDatabase(TVoSQLConnection *connection, QString *error) {
    QString ignored;
    if (!error)
        error = &ignored;
    try {
        if (VoSelectValue(
                QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TYSCR_SCRIPT'"),
                {}, connection)
                .toInt() == 0)
            return true;
        QStringList applied;
        TVoQuery q(QStringLiteral("SELECT SYSCRNOME FROM TYSCR_SCRIPT"), connection);
        q.Open();
        while (!q.Eof()) {
            applied << q.AsString(QStringLiteral("SYSCRNOME")).trimmed();
            q.Next();
        }
        q.Close();
        return ApplyMissingScripts(connection, applied, error);
    } catch (const EVoException &e) {
        *error = e.Message();
        return false;
    }
}

QStringList VoSchemaScripts() {
    return ResourceScripts(QStringLiteral("sql"));
}

QStringList VoDemoScripts() {
    return ResourceScripts(QStringLiteral("demo"));
}

QString VoScriptText(const QString &name) {
    QFile f(QStringLiteral(":/db/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool VoApplyScript(TVoSQLConnection *connection, const QString &script, QString *error) {
    for (const QString &statement : VoSplitSqlScript(script)) {
        try {
            QSqlQuery q(connection->Database());
            // Procedure bodies carry ":variable" references, so the text goes to the database as it is.
            if (!q.exec(statement)) {
                *error = q.lastError().databaseText().trimmed() + QStringLiteral("\n\n") + statement;
                return false;
            }
        } catch (const EVoException &e) {
            *error = e.Message();
            return false;
        }
    }
    return true;
}

bool VoCreateDatabase(const QString &path, const TVoDbCreateOptions &options, QString *error) {
    QString ignored;
    if (!error)
        error = &ignored;
    const bool embedded = VoIsEmbeddedDatabase(path);
    if (embedded) {
        VoPrepareEmbeddedEngine();
        if (QFileInfo::exists(path)) {
            if (!options.overwrite) {
                *error = QStringLiteral("Il file \"%1\" esiste già.").arg(path);
                return false;
            }
            QFile::remove(path);
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
    }
    if (!CreateEmptyFile(path, error))
        return false;

    bool ok = true;
    {
        TVoSQLConnection conn(nullptr, QStringLiteral("vo-create-") +
                                           QUuid::createUuid().toString(QUuid::WithoutBraces));
        conn.SetParam(QStringLiteral("Database"), path);
        conn.SetParam(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
        ok = conn.Open(error);
        if (ok)
            ok = ApplyMissingScripts(&conn, {}, error);
        if (ok && options.demoData) {
            // The demo rows go in together or not at all.
            conn.StartTransaction();
            for (const QString &name : VoDemoScripts()) {
                if (!VoApplyScript(&conn, VoScriptText(name), error)) {
                    *error = name + QStringLiteral(": ") + *error;
                    ok = false;
                    break;
                }
            }
            if (ok)
                conn.Commit();
            else
                conn.Rollback();
        }
        conn.Close();
    }
    if (!ok && embedded)
        QFile::remove(path);
    return ok;
}
