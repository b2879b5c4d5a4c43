#include "VoConnection.h"

#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoShortRead.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

#include <fcntl.h>
#include <ibase.h>
#include <sys/file.h>
#include <unistd.h>

TVoSQLConnection *qqoVoGlobConn = nullptr;

namespace {

const char *const kDriver = "QIBASE";

QString FirebirdRoot() {
    static const char *const candidates[] = {
        "/usr/lib/x86_64-linux-gnu/firebird/3.0",
        "/usr/lib/aarch64-linux-gnu/firebird/3.0",
        "/usr/lib/firebird/3.0",
        "/opt/firebird",
    };
    for (const char *c : candidates)
        if (QFileInfo::exists(QString::fromLatin1(c) + QStringLiteral("/firebird.msg")))
            return QString::fromLatin1(c);
    return QString();
}

void LinkInto(const QString &dir, const QString &root, const QString &name) {
    const QString target = dir + QLatin1Char('/') + name;
    if (root.isEmpty() || QFileInfo::exists(target) || !QFileInfo::exists(root + QLatin1Char('/') + name))
        return;
    QFile::link(root + QLatin1Char('/') + name, target);
}

// Why the engine refuses to open a database, by the code of its status vector. Qt's driver reports
// only the engine's text and an SQL code that is one for all of them, so the attach is tried once
// more through the client library to read the code.
ISC_STATUS OpenFailureCode(const QString &name, const QString &userName, const QString &password) {
    QByteArray dpb(1, char(isc_dpb_version1));
    const auto add = [&dpb](char item, const QByteArray &value) {
        dpb += item;
        dpb += char(qMin<qsizetype>(value.size(), 255));
        dpb += value.left(255);
    };
    add(char(isc_dpb_user_name), userName.toUtf8());
    add(char(isc_dpb_password), password.toUtf8());
    add(char(isc_dpb_lc_ctype), QByteArrayLiteral("UTF8"));
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    const QByteArray file = name.toLocal8Bit();
    if (!isc_attach_database(status, 0, file.constData(), &db, short(dpb.size()), dpb.constData())) {
        isc_detach_database(status, &db);
        return 0;
    }
    return status[0] == isc_arg_gds ? status[1] : 0;
}

// What the user reads when a database cannot be opened: what went wrong and what to check.
QString OpenFailureText(ISC_STATUS code, const QString &host) {
    switch (code) {
    case isc_login:
        return QStringLiteral("Il server non accetta il nome utente e la password della connessione: "
                              "controllare User_Name e Password nelle impostazioni della connessione.");
    case isc_network_error:
    case isc_net_connect_err:
    case isc_conn_lost: {
        // "server/3051" names the port the server listens on; without one it is the engine's own.
        const qsizetype slash = host.indexOf(QLatin1Char('/'));
        const QString port = slash < 0 ? QStringLiteral("3050") : host.mid(slash + 1);
        return QStringLiteral("Il server \"%1\" non risponde: controllare che il computer sia acceso e "
                              "raggiungibile in rete, che il server del database sia avviato e che la sua "
                              "porta (%2) non sia bloccata.")
            .arg(slash < 0 ? host : host.left(slash), port);
    }
    case isc_io_error:
    case isc_bad_db_format:
        return QStringLiteral("Il database non esiste, non si può leggere o non è un database: controllare "
                              "il percorso indicato come Database nelle impostazioni della connessione e i "
                              "permessi del file.");
    default:
        return QStringLiteral("Il database non si può aprire.");
    }
}

// Whether the engine still answers on the attachment of a connection a statement failed on: a question
// about the attachment itself, which any live attachment answers.
bool AttachmentAnswers(const QSqlDatabase &db) {
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<isc_db_handle>())
        return true;
    isc_db_handle attachment = *static_cast<const isc_db_handle *>(handle.constData());
    if (!attachment)
        return false;
    static const char items[] = {isc_info_attachment_id, isc_info_end};
    char buffer[32];
    ISC_STATUS_ARRAY status{};
    if (!isc_database_info(status, &attachment, short(sizeof items), items, short(sizeof buffer), buffer))
        return true;
    switch (status[0] == isc_arg_gds ? status[1] : 0) {
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_lost_db_connection:
    case isc_conn_lost:
    case isc_att_shutdown:
    case isc_shutdown:
    case isc_bad_db_handle:
        return false;
    default:
        return true;
    }
}

QList<TVoSQLConnection *> &Connections() {
    static QList<TVoSQLConnection *> connections;
    return connections;
}

} // namespace

bool VoDatabaseFileInUse(const QString &path) {
    // The engine holds a lock on every database file it has open, whichever process it runs in.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool inUse = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return inUse;
}

QList<TVoSQLConnection *> VoAllConnections() {
    return Connections();
}

namespace {
// 8,192 pages of 8 KB (64 MB) hold a large school's goods, vouchers and their indexes, where the
// engine's default of 256 pages made every list and job read the file again.
int embeddedCachePages = 8192;
} // namespace

void VoSetEmbeddedEngineCachePages(int pages) {
    embeddedCachePages = pages;
}

QString VoPrepareEmbeddedEngine() {
    static QString prepared;
    if (!prepared.isEmpty())
        return prepared;
    // A configuration chosen by whoever runs the program stays in force.
    const QByteArray existing = qgetenv("FIREBIRD");
    if (!existing.isEmpty()) {
        prepared = QString::fromLocal8Bit(existing);
        return prepared;
    }
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                        QStringLiteral("/velisto/firebird");
    QDir().mkpath(dir);
    // SuperClassic lets several processes open one database file; the default mode locks it for one.
    // Each connection keeps a cache of its own in this mode; sorts of up to 64 MB stay in memory
    // instead of temporary files.
    const QByteArray conf = "# Written by the program: the in-process engine shares database files.\n"
                            "ServerMode = SuperClassic\n"
                            "DefaultDbCachePages = " +
                            QByteArray::number(embeddedCachePages) +
                            "\n"
                            "TempCacheLimit = 64M\n";
    QFile f(dir + QStringLiteral("/firebird.conf"));
    if (!f.exists() || (f.open(QIODevice::ReadOnly) && f.readAll() != conf)) {
        f.close();
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(conf);
    }
    f.close();
    const QString root = FirebirdRoot();
    LinkInto(dir, root, QStringLiteral("firebird.msg"));
    LinkInto(dir, root, QStringLiteral("intl"));
    qputenv("FIREBIRD", QFile::encodeName(dir));
    prepared = dir;
    return prepared;
}

void VoSplitDatabaseName(const QString &database, QString *host, QString *path) {
    const int colon = int(database.indexOf(QLatin1Char(':')));
    // "C:\..." is a drive letter, "/x:y" a path with a colon; a host never holds a slash before it.
    if (colon > 1) {
        const QString before = database.left(colon);
        if (!before.contains(QLatin1Char('\\')) && !before.startsWith(QLatin1Char('/'))) {
            *host = before;
            *path = database.mid(colon + 1);
            return;
        }
    }
    host->clear();
    *path = database;
}

bool VoIsEmbeddedDatabase(const QString &database) {
    QString host, path;
    VoSplitDatabaseName(database, &host, &path);
    return host.isEmpty();
}

// --- TVoSQLConnection -------------------------------------------------------------------------------

TVoSQLConnection::TVoSQLConnection(QObject *parent, const QString &connectionName)
    : QObject(parent), m_shortReads(std::make_unique<TVoShortReads>()),
      m_connectionName(connectionName.isEmpty()
                           ? QStringLiteral("vo-") + QUuid::createUuid().toString(QUuid::WithoutBraces)
                           : connectionName) {
    SetParam(QStringLiteral("Database"), QString());
    SetParam(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    SetParam(QStringLiteral("Password"), QString());
    Connections().append(this);
}

TVoSQLConnection::~TVoSQLConnection() {
    Connections().removeOne(this);
    Close();
    if (qqoVoGlobConn == this)
        qqoVoGlobConn = nullptr;
}

QString TVoSQLConnection::Param(const QString &name) const {
    return m_params.value(name.toUpper());
}

void TVoSQLConnection::SetParam(const QString &name, const QString &value) {
    if (!m_params.contains(name.toUpper()))
        m_paramOrder << name;
    m_params.insert(name.toUpper(), value);
}

bool TVoSQLConnection::Open(QString *error, QString *detail) {
    if (Connected())
        return true;
    const QString database = Param(QStringLiteral("Database"));
    QString host, path;
    VoSplitDatabaseName(database, &host, &path);
    auto fail = [&](const QString &why, const QString &engineText = QString()) {
        if (error)
            *error = why;
        if (detail)
            *detail = engineText;
        QSqlDatabase::removeDatabase(m_connectionName);
        return false;
    };
    if (database.trimmed().isEmpty())
        return fail(QStringLiteral("Nessun database indicato."));
    // Whatever the database: the client library reads its configuration once, at its first use, and a
    // process whose first connection went to a server would run the in-process engine of its later
    // files in the mode that locks a file for one process, so that no other program could open them.
    VoPrepareEmbeddedEngine();
    if (host.isEmpty() && !QFileInfo::exists(path))
        return fail(OpenFailureText(isc_io_error, host));
    if (!QSqlDatabase::isDriverAvailable(QString::fromLatin1(kDriver)))
        return fail(QStringLiteral("Il driver Firebird di Qt (QIBASE) non è installato."));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QString::fromLatin1(kDriver), m_connectionName);
        db.setHostName(host);
        db.setDatabaseName(path);
        db.setUserName(Param(QStringLiteral("User_Name")));
        db.setPassword(Param(QStringLiteral("Password")));
        db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
        if (!db.open()) {
            const QSqlError e = db.lastError();
            const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
            db = QSqlDatabase();
            const ISC_STATUS code = OpenFailureCode(database, Param(QStringLiteral("User_Name")),
                                                    Param(QStringLiteral("Password")));
            return fail(OpenFailureText(code, host), text.trimmed());
        }
    }
    return true;
}

void TVoSQLConnection::Close() {
    DropPrepared();
    // An attachment with a transaction open would stay attached.
    m_shortReads->Drop();
    m_lost = false;
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen()) {
            if (m_transactionDepth > 0)
                db.rollback();
            db.close();
        }
    }
    m_transactionDepth = 0;
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool TVoSQLConnection::Connected() const {
    return QSqlDatabase::contains(m_connectionName) &&
           QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase TVoSQLConnection::Database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

namespace {
QString SavepointName(int depth) {
    return QStringLiteral("VO_SP%1").arg(depth);
}
} // namespace

void TVoSQLConnection::RunSavepointStatement(const QString &sql) {
    QSqlQuery q(Database());
    if (!q.exec(sql)) {
        const QSqlError e = q.lastError();
        throw Failure(e.databaseText().isEmpty() ? e.text() : e.databaseText(), sql,
                      e.nativeErrorCode().toInt());
    }
}

EVoDatabaseError TVoSQLConnection::Failure(const QString &message, const QString &statement, int sqlCode) {
    EVoDatabaseError failure(message, statement, sqlCode);
    if (m_lost || !AttachmentAnswers(Database())) {
        if (!m_lost)
            m_lostText = message;
        m_lost = true;
        m_shortReads->Drop();
        failure.SetConnectionLost();
    }
    return failure;
}

void TVoSQLConnection::ReconnectIfLost() {
    if (!m_lost)
        return;
    EVoDatabaseError stillLost(m_lostText, QStringLiteral("CONNECT"));
    stillLost.SetConnectionLost();
    // The server rolled back what the caller's transaction wrote; its later statements must fail too
    // rather than run in a transaction of their own.
    if (m_transactionDepth > 0)
        throw stillLost;
    DropPrepared();
    m_shortReads->Drop();
    ++m_transactionSerial;
    QSqlDatabase db = Database();
    // The attachment is gone on the server: closing it only frees what the client holds of it.
    db.close();
    if (!db.open()) {
        const QSqlError e = db.lastError();
        m_lostText = (e.databaseText().isEmpty() ? e.text() : e.databaseText()).trimmed();
        EVoDatabaseError failure(m_lostText, QStringLiteral("CONNECT"));
        failure.SetConnectionLost();
        throw failure;
    }
    m_lost = false;
    m_lostText.clear();
    ++m_reconnections;
}

std::unique_ptr<QSqlQuery> TVoSQLConnection::TakePrepared(const QString &text) {
    const auto it = m_prepared.find(text);
    if (it == m_prepared.end())
        return nullptr;
    std::unique_ptr<QSqlQuery> query = std::move(it->second);
    m_prepared.erase(it);
    return query;
}

void TVoSQLConnection::GivePrepared(const QString &text, quint64 serial, std::unique_ptr<QSqlQuery> query) {
    // A few dozen statements make a job's loops; a job that runs more keeps the first ones.
    constexpr size_t kKept = 32;
    if (!query || !InTransaction() || serial != m_transactionSerial || m_prepared.size() >= kKept ||
        m_prepared.count(text))
        return;
    query->finish();
    m_prepared.emplace(text, std::move(query));
}

void TVoSQLConnection::DropPrepared() {
    m_prepared.clear();
}

void TVoSQLConnection::StartTransaction() {
    if (m_transactionDepth == 0)
        ReconnectIfLost();
    if (!Connected())
        throw EVoError(QStringLiteral("Connessione al database non aperta."));
    if (m_transactionDepth == 0) {
        // A server restarted since the last statement is found here, before anything is written: the
        // connection is opened again and the transaction begun once more.
        for (bool again = !m_lost;; again = false) {
            DropPrepared();
            ++m_transactionSerial;
            QSqlDatabase db = Database();
            if (db.transaction())
                break;
            const QSqlError e = db.lastError();
            const EVoDatabaseError failure =
                Failure(e.databaseText().isEmpty() ? e.text() : e.databaseText(),
                        QStringLiteral("START TRANSACTION"), e.nativeErrorCode().toInt());
            if (!again || !failure.IsConnectionLost())
                throw failure;
            ReconnectIfLost();
        }
    } else {
        RunSavepointStatement(QStringLiteral("SAVEPOINT ") + SavepointName(m_transactionDepth));
    }
    ++m_transactionDepth;
}

void TVoSQLConnection::Commit() {
    if (m_transactionDepth == 0)
        return;
    if (--m_transactionDepth > 0) {
        RunSavepointStatement(QStringLiteral("RELEASE SAVEPOINT ") + SavepointName(m_transactionDepth) +
                              QStringLiteral(" ONLY"));
        return;
    }
    DropPrepared();
    ++m_transactionSerial;
    QSqlDatabase db = Database();
    if (!db.commit()) {
        const QSqlError e = db.lastError();
        const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
        db.rollback();
        throw Failure(text, QStringLiteral("COMMIT"), e.nativeErrorCode().toInt());
    }
}

void TVoSQLConnection::Rollback() {
    if (m_transactionDepth == 0)
        return;
    if (--m_transactionDepth > 0) {
        const QString name = SavepointName(m_transactionDepth);
        RunSavepointStatement(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
        RunSavepointStatement(QStringLiteral("RELEASE SAVEPOINT ") + name + QStringLiteral(" ONLY"));
        return;
    }
    DropPrepared();
    ++m_transactionSerial;
    Database().rollback();
}

// --- TdmVoConnection --------------------------------------------------------------------------------

namespace {
TdmVoConnection::TDatabaseCreator &Creator() {
    static TdmVoConnection::TDatabaseCreator creator;
    return creator;
}
} // namespace

TdmVoConnection::TdmVoConnection(QObject *parent)
    : QObject(parent), xqoMain(new TVoSQLConnection(this, QStringLiteral("xqoMain"))) {}

TdmVoConnection::~TdmVoConnection() {
    if (qqoVoGlobConn == xqoMain)
        qqoVoGlobConn = nullptr;
}

void TdmVoConnection::SetStartupArguments(const QStringList &values) {
    m_startup = values;
    m_startupSet = true;
}

namespace {
TdmVoConnection::TDatabaseUpgrader &Upgrader() {
    static TdmVoConnection::TDatabaseUpgrader upgrader;
    return upgrader;
}
} // namespace

void TdmVoConnection::SetDatabaseUpgrader(TDatabaseUpgrader upgrader) {
    Upgrader() = std::move(upgrader);
}

void TdmVoConnection::SetDatabaseCreator(TDatabaseCreator creator) {
    Creator() = std::move(creator);
}

QString TdmVoConnection::DefaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/velisto/velisto.fdb");
}

QString TdmVoConnection::SettingsFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/velisto/connection.ini");
}

bool TdmVoConnection::ReadSettings(TVoConnectionSettings *s, QString *error) {
    QString ignored;
    if (!error)
        error = &ignored;
    error->clear();
    const QString file = SettingsFileName();
    if (!QFileInfo::exists(file))
        return false;
    // A settings file that exists was written to send the work somewhere: when it names no database
    // (a mistyped section or key), a new demo database in its place would take the office's work.
    const QString expected =
        QStringLiteral(
            "Il file delle impostazioni \"%1\" deve indicare il database con la chiave \"Database\" "
            "nella sezione [Connection] (maiuscole e minuscole come scritte qui).")
            .arg(file);
    QSettings ini(file, QSettings::IniFormat);
    if (!QFileInfo(file).isReadable() || ini.status() != QSettings::NoError) {
        *error =
            QStringLiteral("Impossibile leggere il file delle impostazioni \"%1\".\n").arg(file) + expected;
        return false;
    }
    ini.beginGroup(QStringLiteral("Connection"));
    s->database = ini.value(QStringLiteral("Database")).toString();
    if (s->database.trimmed().isEmpty()) {
        *error = expected;
        return false;
    }
    // The keys are read with these capitals only: "user_name" would leave the login at its default
    // without a word.
    static const QStringList known{QStringLiteral("Database"),    QStringLiteral("User_Name"),
                                   QStringLiteral("Password"),    QStringLiteral("Rights"),
                                   QStringLiteral("Code"),        QStringLiteral("User"),
                                   QStringLiteral("UserPassword")};
    for (const QString &key : ini.childKeys()) {
        if (known.contains(key))
            continue;
        const auto spelled = std::find_if(known.cbegin(), known.cend(), [&key](const QString &k) {
            return k.compare(key, Qt::CaseInsensitive) == 0;
        });
        *error =
            QStringLiteral("Il file delle impostazioni \"%1\" contiene nella sezione [Connection] la chiave "
                           "\"%2\", che il programma non conosce: ")
                .arg(file, key) +
            (spelled != known.cend()
                 ? QStringLiteral("va scritta \"%1\" (maiuscole e minuscole come scritte qui).").arg(*spelled)
                 : QStringLiteral("le chiavi sono Database, User_Name, Password e Rights (maiuscole e "
                                  "minuscole come scritte qui)."));
        return false;
    }
    if (ini.contains(QStringLiteral("Rights"))) {
        bool number = false;
        ini.value(QStringLiteral("Rights")).toInt(&number);
        if (!number) {
            *error =
                QStringLiteral("Il file delle impostazioni \"%1\" deve indicare in Rights un numero intero.")
                    .arg(file);
            return false;
        }
    }
    s->userName = ini.value(QStringLiteral("User_Name"), s->userName).toString();
    s->password = ini.value(QStringLiteral("Password"), s->password).toString();
    s->code = ini.value(QStringLiteral("Code"), s->code).toString();
    s->user = ini.value(QStringLiteral("User"), s->user).toString();
    s->userPassword = ini.value(QStringLiteral("UserPassword"), s->userPassword).toString();
    s->rights = ini.value(QStringLiteral("Rights"), s->rights).toInt();
    return true;
}

void TdmVoConnection::ShowLastError() const {
    TVoShownMessage message{m_lastError, mtError, mbOK};
    message.detail = m_lastErrorDetail;
    VoMessageDlg(message);
}

bool TdmVoConnection::PrepareValues() {
    QStringList startup = m_startup;
    if (!m_startupSet) {
        const QStringList args = QCoreApplication::arguments();
        if (args.size() == 8)
            startup = args.mid(1);
    }
    TVoConnectionSettings s;
    if (startup.size() == 7) {
        s.code = startup[0];
        s.user = startup[1];
        s.userPassword = startup[2];
        bool ok = false;
        s.rights = startup[3].toInt(&ok);
        if (!ok)
            s.rights = 0;
        s.database = startup[4];
        s.userName = startup[5];
        s.password = startup[6];
    } else if (!ReadSettings(&s, &m_lastError)) {
        if (!m_lastError.isEmpty())
            return false;
        s.database = DefaultDatabasePath();
        if (!QFileInfo::exists(s.database)) {
            if (!Creator()) {
                m_lastError = QStringLiteral("Il database predefinito non esiste e non può essere creato.");
                return false;
            }
            QDir().mkpath(QFileInfo(s.database).absolutePath());
            VoPrepareEmbeddedEngine();
            QString why;
            // Another copy of the program, started at the same moment, may have made it meanwhile.
            if (!Creator()(s.database, &why) && !QFileInfo::exists(s.database)) {
                m_lastError = QStringLiteral("Impossibile creare il database predefinito \"%1\":\n%2")
                                  .arg(s.database, why);
                return false;
            }
        }
    }
    xqoMain->C = s.code;
    xqoMain->U = s.user;
    xqoMain->P = s.userPassword;
    xqoMain->F = s.rights;
    xqoMain->SetParam(QStringLiteral("Database"), s.database);
    xqoMain->SetParam(QStringLiteral("User_Name"), s.userName);
    xqoMain->SetParam(QStringLiteral("Password"), s.password);
    return true;
}

bool TdmVoConnection::OpenConnection() {
    m_lastError.clear();
    m_lastErrorDetail.clear();
    if (xqoMain->Connected()) {
        qqoVoGlobConn = xqoMain;
        return true;
    }
    QString why;
    if (!PrepareValues())
        return false;
    if (!xqoMain->Open(&why, &m_lastErrorDetail)) {
        m_lastError = QStringLiteral("Impossibile aprire il database \"%1\":\n%2")
                          .arg(xqoMain->Param(QStringLiteral("Database")), why);
        return false;
    }
    if (Upgrader() && !Upgrader()(xqoMain, &why)) {
        m_lastError = QStringLiteral("Impossibile aggiornare il database \"%1\":\n%2")
                          .arg(xqoMain->Param(QStringLiteral("Database")), why);
        xqoMain->Close();
        return false;
    }
    qqoVoGlobConn = xqoMain;
    return true;
}
