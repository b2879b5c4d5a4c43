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
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

#include <ibase.h>
#include <unistd.h>

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

// Attaches to a database with a login and more parameters of the attachment.
bool AttachFile(const QString &database, const QString &userName, const QString &password,
                const QByteArray &more, isc_db_handle *db, ISC_STATUS *status) {
    const QByteArray name = database.toUtf8();
    QByteArray dpb(1, char(isc_dpb_version1));
    const auto add = [&dpb](char tag, const QByteArray &value) {
        dpb.append(tag).append(char(value.size())).append(value);
    };
    add(isc_dpb_user_name, userName.toUtf8());
    add(isc_dpb_password, password.toUtf8());
    dpb.append(more);
    return !isc_attach_database(status, 0, name.constData(), db, short(dpb.size()), dpb.constData());
}

// Whether the engine refused to create a database because a file of that name is there already: the
// system's error number from the engine in this process, its words from a server.
bool SaysFileExists(const ISC_STATUS *status) {
    const QByteArray exists = strerror(EEXIST);
    for (int i = 0; status[i] != isc_arg_end;) {
        if (status[i] == isc_arg_unix && status[i + 1] == EEXIST)
            return true;
        if (status[i] == isc_arg_interpreted &&
            (exists == reinterpret_cast<const char *>(status[i + 1]) ||
             qstrcmp(reinterpret_cast<const char *>(status[i + 1]), "File exists") == 0))
            return true;
        i += status[i] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

bool CreateEmptyFile(const QString &path, const TVoDbCreateOptions &options, QString *error,
                     bool *exists = nullptr) {
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
        if (exists)
            *exists = SaysFileExists(status);
        return false;
    }
    isc_detach_database(status, &db);
    if (!options.forcedWrites) {
        // Set in the file's header, so that every copy of the file writes without waiting too.
        static const char async[] = {isc_dpb_force_write, 1, 0};
        if (!AttachFile(path, options.userName, options.password, QByteArray(async, sizeof async), &db,
                        status)) {
            *error = StatusText(status);
            return false;
        }
        isc_detach_database(status, &db);
    }
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
using TScriptDone = std::function<void()>;

bool ApplyMissingScripts(TVoSQLConnection *conn, const QStringList &applied,
                         const QList<TVoDbScript> &scripts, QString *error, const TScriptDone &done = {}) {
    try {
        bool recordTable = HasRecordTable(conn);
        for (const TVoDbScript &script : scripts) {
            if (applied.contains(script.name))
                continue;
            if (done)
                done();
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

QStringList AppliedScripts(TVoSQLConnection *connection) {
    QStringList applied;
    TVoQuery q(QStringLiteral("SELECT SYSCRNOME FROM TYSCR_SCRIPT"), connection);
    q.Open();
    while (!q.Eof()) {
        applied << q.AsString(QStringLiteral("SYSCRNOME")).trimmed();
        q.Next();
    }
    q.Close();
    return applied;
}

// Attaches a second time to the database of a connection, with more parameters of the attachment.
bool Attach(TVoSQLConnection *connection, const QByteArray &more, isc_db_handle *db, ISC_STATUS *status) {
    return AttachFile(connection->Param(QStringLiteral("Database")),
                      connection->Param(QStringLiteral("User_Name")),
                      connection->Param(QStringLiteral("Password")), more, db, status);
}

// A script that a program was stopped in the middle of committing leaves remains of its work in the
// file (an index half made, say) that stop the same script the next time, until the engine sweeps
// them away.
bool Sweep(TVoSQLConnection *connection) {
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    static const char sweep[] = {isc_dpb_sweep, 1, isc_dpb_records};
    if (!Attach(connection, QByteArray(sweep, sizeof sweep), &db, status))
        return false;
    isc_detach_database(status, &db);
    return true;
}

// A program stopped dead while a step created a table leaves that table's first pages behind under
// the table number the engine hands out next: the number goes back with the step, the pages stay, and
// every later creation of a table with an index under that number fails ("cannot create index"), at
// every start. Such numbers are used up by a table made and dropped at once, after a sweep has taken
// away the rows of the stopped step, before any step is applied again. A database that was never
// stopped so has no such pages and is left alone.
bool HasLeftoverTablePages(TVoSQLConnection *conn) {
    return VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM RDB$PAGES p JOIN RDB$DATABASE d ON "
                                        "p.RDB$RELATION_ID >= d.RDB$RELATION_ID"),
                         {}, conn)
               .toInt() > 0;
}

void SkipLeftoverTableNumbers(TVoSQLConnection *conn) {
    for (int skipped = 0; skipped < 1000 && HasLeftoverTablePages(conn); ++skipped)
        for (const char *sql : {"CREATE TABLE VO_NUMERO_SALTATO (I INTEGER)", "DROP TABLE VO_NUMERO_SALTATO"}) {
            TVoTransaction transaction(conn);
            transaction.StartTransaction();
            VoExecSQL(QString::fromLatin1(sql), {}, conn);
            transaction.Commit();
        }
}

// The first record of every database that records its scripts.
const char *const kTurnSQL =
    "UPDATE TYSCR_SCRIPT SET DYSCRAPPLICATO = DYSCRAPPLICATO WHERE SYSCRNOME = 'sql/000_scripts.sql'";

// The turn of one program to upgrade a database: a row lock that a transaction of an attachment of
// its own holds until the upgrade is over and then gives up by rolling back. Another program that
// asks for the turn meanwhile waits for it.
class TUpgradeTurn {
public:
    ~TUpgradeTurn() {
        ISC_STATUS_ARRAY status = {};
        if (m_tr)
            isc_rollback_transaction(status, &m_tr);
        if (m_db)
            isc_detach_database(status, &m_db);
    }
    bool Take(TVoSQLConnection *connection, QString *error) {
        ISC_STATUS_ARRAY status = {};
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait};
        if (!Attach(connection, {}, &m_db, status) ||
            isc_start_transaction(status, &m_tr, 1, &m_db, short(sizeof tpb), tpb) ||
            isc_dsql_execute_immediate(status, &m_db, &m_tr, 0, kTurnSQL, SQL_DIALECT_V6, nullptr)) {
            *error = StatusText(status);
            return false;
        }
        return true;
    }

private:
    isc_db_handle m_db = 0;
    isc_tr_handle m_tr = 0;
};

QString UpgradeAdvice() {
    return QStringLiteral(
        "\n\nIl database è rimasto com'era prima di questo aggiornamento, con i dati intatti; "
        "al prossimo avvio il programma lo riprova. Se l'errore si ripete, fare una copia del "
        "file del database e rivolgersi all'assistenza con questo messaggio.");
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
        const auto missing = [&scripts](const QStringList &applied) {
            return std::any_of(scripts.cbegin(), scripts.cend(),
                               [&applied](const TVoDbScript &s) { return !applied.contains(s.name); });
        };
        if (!missing(AppliedScripts(connection)))
            return true;
        TUpgradeTurn turn;
        if (!turn.Take(connection, error))
            return false;
        if (HasLeftoverTablePages(connection) && Sweep(connection))
            SkipLeftoverTableNumbers(connection);
        // What the program before us in the turn applied is applied.
        if (ApplyMissingScripts(connection, AppliedScripts(connection), scripts, error))
            return true;
        if (Sweep(connection) && ApplyMissingScripts(connection, AppliedScripts(connection), scripts, error))
            return true;
        *error += UpgradeAdvice();
        return false;
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

namespace {

QString TemporaryPrefix(const QString &path) {
    return QFileInfo(path).fileName() + QStringLiteral(".tmp-");
}

// Temporaries of creations that stopped half-way; one that a program still fills is in use.
void RemoveAbandonedTemporaries(const QString &path) {
    const QDir folder = QFileInfo(path).absoluteDir();
    for (const QString &name : folder.entryList({TemporaryPrefix(path) + QLatin1Char('*')}, QDir::Files)) {
        const QString file = folder.filePath(name);
        if (!VoDatabaseFileInUse(file))
            QFile::remove(file);
    }
}

// Gives the made file its name: over the old file when replacing, else only where no file appeared
// meanwhile (another program making the same database at the same moment).
bool Publish(const QString &made, const QString &path, bool replace, QString *error) {
    const QByteArray from = QFile::encodeName(made), to = QFile::encodeName(path);
    int result = replace
                     ? ::rename(from.constData(), to.constData())
                     : ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (result != 0 && !replace && errno == EINVAL) {
        // A file system that cannot refuse to replace: the check and the rename are two steps.
        result = QFileInfo::exists(path) ? (errno = EEXIST, -1) : ::rename(from.constData(), to.constData());
    }
    if (result == 0)
        return true;
    *error = errno == EEXIST ? QStringLiteral("Il file \"%1\" esiste già.").arg(path)
                             : QStringLiteral("Impossibile dare al database il nome \"%1\": %2")
                                   .arg(path, QString::fromLocal8Bit(strerror(errno)));
    return false;
}

} // namespace

bool VoCreateDatabase(const QString &path, const TVoDbCreateOptions &options, QString *error) {
    QString ignored;
    if (!error)
        error = &ignored;
    const bool embedded = VoIsEmbeddedDatabase(path);
    QString made = path;
    // On a server too: this may be the process's first use of the client library (see Open()).
    VoPrepareEmbeddedEngine();
    if (embedded) {
        if (QFileInfo::exists(path)) {
            if (!options.overwrite) {
                *error = QStringLiteral("Il file \"%1\" esiste già.").arg(path);
                return false;
            }
            if (VoDatabaseFileInUse(path)) {
                *error =
                    QStringLiteral("Il database \"%1\" è aperto da un programma: chiudere i programmi che lo "
                                   "usano e riprovare.")
                        .arg(path);
                return false;
            }
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
        RemoveAbandonedTemporaries(path);
        made = QFileInfo(path).absoluteDir().filePath(TemporaryPrefix(path) +
                                                      QUuid::createUuid().toString(QUuid::Id128).left(12));
    }
    bool exists = false;
    if (!CreateEmptyFile(made, options, error, &exists)) {
        // The server has no way to put a new file in the place of the old one at once: the old
        // database would have to go first, and a creation failing after that would lose it.
        if (exists && !embedded)
            *error =
                options.overwrite
                    ? QStringLiteral("Il database \"%1\" esiste già sul server e non viene sostituito: sul "
                                     "server il vecchio database andrebbe cancellato prima di creare il "
                                     "nuovo, e se la creazione non riuscisse i suoi dati sarebbero persi. "
                                     "Per sostituirlo, cancellarlo sul server e ripetere; altrimenti "
                                     "indicare un altro percorso.")
                          .arg(path)
                    : QStringLiteral("Il database \"%1\" esiste già sul server.").arg(path);
        return false;
    }

    bool ok = true;
    {
        TVoSQLConnection conn(nullptr, QStringLiteral("vo-create-") +
                                           QUuid::createUuid().toString(QUuid::WithoutBraces));
        conn.SetParam(QStringLiteral("Database"), made);
        conn.SetParam(QStringLiteral("User_Name"), options.userName);
        conn.SetParam(QStringLiteral("Password"), options.password);
        ok = conn.Open(error);
        const auto included = [&options](const QString &name) {
            return !options.include || options.include(name);
        };
        QList<TVoDbScript> schema = VoSchemaScriptList();
        schema.removeIf([&](const TVoDbScript &script) { return !included(script.name); });
        QStringList demo = VoDemoScripts();
        demo.removeIf([&](const QString &name) {
            return !options.demoData || !included(name) || (!options.samples && VoIsSampleScript(name));
        });
        const int total = int(schema.size() + demo.size());
        int done = 0;
        const auto tell = [&](const char *step) {
            if (options.progress)
                options.progress(QString::fromUtf8(step), done, total);
            ++done;
        };
        if (ok)
            ok = ApplyMissingScripts(&conn, {}, schema, error, [&] { tell(VoCreatingSchemaText); });
        if (ok && options.demoData) {
            // The demo rows go in together or not at all.
            conn.StartTransaction();
            for (const QString &name : demo) {
                tell(VoWritingDemoDataText);
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
    if (ok && embedded)
        ok = Publish(made, path, options.overwrite, error);
    if (!ok && embedded)
        QFile::remove(made);
    return ok;
}
