#include "VoDbCreate.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoSqlText.h"
#include "VoTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>

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

QString Quoted(QString text) {
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

bool CreateEmptyFile(const QString &path, const TVoDbCreateOptions &options, QString *error) {
    // A server refuses a creation without a password; the in-process engine ignores it.
    const QString password =
        options.password.isEmpty() ? QString() : QStringLiteral(" PASSWORD ") + Quoted(options.password);
    const QByteArray sql = QStringLiteral("CREATE DATABASE %1 USER %2%3 PAGE_SIZE 8192 "
                                          "DEFAULT CHARACTER SET UTF8")
                               .arg(Quoted(path), Quoted(options.userName), password)
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

const char *const kRecordSQL =
    "INSERT INTO TYSCR_SCRIPT (SYSCRNOME, DYSCRAPPLICATO) VALUES (:nome, CURRENT_TIMESTAMP)";
const char *const kRecordTableSQL =
    "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TYSCR_SCRIPT'";

bool HasRecordTable(TVoSQLConnection *conn) {
    return VoSelectValue(QString::fromLatin1(kRecordTableSQL), {}, conn).toInt() > 0;
}

void Record(TVoSQLConnection *conn, const QString &name) {
    VoExecSQL(QString::fromLatin1(kRecordSQL), {{QStringLiteral("nome"), name}}, conn);
}

// Applies the scripts not in applied, in order. Each script and its record commit together, so that
// a script that fails half-way leaves the database as it was and is applied whole at the next start.
// Firebird runs DDL inside a transaction, but a table made in a transaction takes no rows in it: a
// script therefore may not write rows into the tables it creates itself (such rows go into a
// following script), and the script that makes the record table is recorded once it has committed.
bool ApplyMissingScripts(TVoSQLConnection *conn, const QStringList &applied,
                         const QList<TVoDbScript> &scripts, QString *error) {
    try {
        bool recordTable = HasRecordTable(conn);
        for (const TVoDbScript &script : scripts) {
            if (applied.contains(script.name))
                continue;
            QString failure;
            try {
                TVoTransaction transaction(conn);
                transaction.StartTransaction();
                if (!VoApplyScript(conn, script.text, &failure)) {
                    *error = script.name + QStringLiteral(": ") + failure;
                    return false;
                }
                if (recordTable)
                    Record(conn, script.name);
                transaction.Commit();
            } catch (const EVoDatabaseError &e) {
                *error =
                    script.name + QStringLiteral(": ") + e.Message() + QStringLiteral("\n\n") + e.Statement();
                return false;
            }
            if (!recordTable && HasRecordTable(conn)) {
                Record(conn, script.name);
                recordTable = true;
            }
        }
    } catch (const EVoException &e) {
        *error = e.Message();
        return false;
    }
    return true;
}

} // namespace

bool VoUpgradeDatabase(TVoSQLConnection *connection, QString *error) {
    return VoUpgradeDatabaseWith(connection, VoSchemaScriptList(), error);
}

bool VoUpgradeDatabaseWith(TVoSQLConnection *connection, const QList<TVoDbScript> &scripts, QString *error) {
    QString ignored;
    if (!error)
        error = &ignored;
    try {
        if (!HasRecordTable(connection))
            return true;
        QStringList applied;
        TVoQuery q(QStringLiteral("SELECT SYSCRNOME FROM TYSCR_SCRIPT"), connection);
        q.Open();
        while (!q.Eof()) {
            applied << q.AsString(QStringLiteral("SYSCRNOME")).trimmed();
            q.Next();
        }
        q.Close();
        return ApplyMissingScripts(connection, applied, scripts, error);
    } catch (const EVoException &e) {
        *error = e.Message();
        return false;
    }
}

QStringList VoSchemaScripts() {
    return ResourceScripts(QStringLiteral("sql"));
}

QList<TVoDbScript> VoSchemaScriptList() {
    QList<TVoDbScript> scripts;
    for (const QString &name : VoSchemaScripts())
        scripts.append({name, VoScriptText(name)});
    return scripts;
}

QStringList VoDemoScripts() {
    return ResourceScripts(QStringLiteral("demo"));
}

bool VoIsSampleScript(const QString &name) {
    return name.contains(QLatin1String("_samples"));
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
    if (!CreateEmptyFile(path, options, error))
        return false;

    bool ok = true;
    {
        TVoSQLConnection conn(nullptr, QStringLiteral("vo-create-") +
                                           QUuid::createUuid().toString(QUuid::WithoutBraces));
        conn.SetParam(QStringLiteral("Database"), path);
        conn.SetParam(QStringLiteral("User_Name"), options.userName);
        conn.SetParam(QStringLiteral("Password"), options.password);
        ok = conn.Open(error);
        const auto included = [&options](const QString &name) {
            return !options.include || options.include(name);
        };
        if (ok) {
            QList<TVoDbScript> schema = VoSchemaScriptList();
            schema.removeIf([&](const TVoDbScript &script) { return !included(script.name); });
            ok = ApplyMissingScripts(&conn, {}, schema, error);
        }
        if (ok && options.demoData) {
            // The demo rows go in together or not at all.
            conn.StartTransaction();
            for (const QString &name : VoDemoScripts()) {
                if (!included(name) || (!options.samples && VoIsSampleScript(name)))
                    continue;
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
