#pragma once
// The one database connection of a program and the module that opens it.
//
// A plain path is a database file opened by the in-process engine; "host:/path" is a database on a
// server. The in-process engine runs in SuperClassic mode through a configuration folder of our own,
// so that both programs, or two windows of one computer, can work on the same file at once.
#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <unordered_map>

class QSqlQuery;
class EVoDatabaseError;
class TVoShortReads;

class TVoSQLConnection : public QObject {
    Q_OBJECT
public:
    explicit TVoSQLConnection(QObject *parent = nullptr, const QString &connectionName = QString());
    ~TVoSQLConnection() override;

    // Application code and the database version the program expects.
    QString CodAppl;
    QString DBVersion;

    // Login values: code, user, password and the user's rights bit set.
    QString C;
    QString U;
    QString P;
    int F = 0;

    // Connection parameters "Database", "User_Name", "Password" (names compared ignoring case).
    QString Param(const QString &name) const;
    void SetParam(const QString &name, const QString &value);
    QStringList ParamNames() const { return m_paramOrder; }

    // Opens the database named by the "Database" parameter; on failure returns false, with error
    // saying in the user's words why (login refused, server unreachable, no readable database) and
    // what to check, and detail the engine's own text.
    bool Open(QString *error = nullptr, QString *detail = nullptr);
    void Close();
    bool Connected() const;

    QSqlDatabase Database() const;
    QString ConnectionName() const { return m_connectionName; }

    // What a statement of this connection that failed raises: marked as a lost connection when the
    // server no longer answers on it, so that the user is told so and the next statement or
    // transaction begun outside a transaction opens the connection again.
    EVoDatabaseError Failure(const QString &message, const QString &statement, int sqlCode = 0);
    // After the connection was lost, opens it again; raises the lost connection while the server
    // still does not answer, or while a caller's transaction (rolled back with the connection) has
    // not ended yet. Does nothing on a sound connection.
    void ReconnectIfLost();
    bool Lost() const { return m_lost; }
    // How many times the connection was opened again after it was lost.
    int Reconnections() const { return m_reconnections; }

    // Transactions nest. The outermost start and commit reach the database as a transaction; an inner
    // one is a savepoint of it, so that rolling an inner one back (a trial write) undoes only what it
    // wrote and leaves the caller's transaction able to commit.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_transactionDepth > 0; }
    int TransactionDepth() const { return m_transactionDepth; }
    // Tells one outermost transaction from the next.
    quint64 TransactionSerial() const { return m_transactionSerial; }

    // Statements prepared in the current transaction, kept by their text until it ends, so that a
    // job that runs a statement in a loop, through however many short-lived queries, prepares it
    // once. A query takes one while it uses it (two queries never share one) and gives it back when
    // it is done; outside a transaction nothing is kept.
    std::unique_ptr<QSqlQuery> TakePrepared(const QString &text);
    void GivePrepared(const QString &text, quint64 serial, std::unique_ptr<QSqlQuery> query);
    // The read-only read-committed transaction that reads outside a transaction share, with the
    // statements prepared for them (see VoShortRead.h).
    TVoShortReads &ShortReads() { return *m_shortReads; }
    // How many statements the queries of this connection have prepared since it was made.
    int PreparedCount() const { return m_preparedCount; }
    void CountPrepared() { ++m_preparedCount; }

private:
    void DropPrepared();
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_prepared;
    std::unique_ptr<TVoShortReads> m_shortReads;
    quint64 m_transactionSerial = 0;
    int m_preparedCount = 0;
    QString m_connectionName;
    QHash<QString, QString> m_params;
    QStringList m_paramOrder;
    void RunSavepointStatement(const QString &sql);
    int m_transactionDepth = 0;
    bool m_lost = false;
    QString m_lostText;
    int m_reconnections = 0;
};

// The connection every query, dataset, transaction and XML load of the program uses.
extern TVoSQLConnection *qqoVoGlobConn;

// Splits "host:/path" (or "host/port:/path") into host and path; a plain path has no host.
void VoSplitDatabaseName(const QString &database, QString *host, QString *path);
// Whether the name is a file opened by the in-process engine.
bool VoIsEmbeddedDatabase(const QString &database);

// Whether a program (this one, another, or a server of this computer) has the database file open.
bool VoDatabaseFileInUse(const QString &path);

// Every connection of the process that exists, so that a stop can roll back and close them all.
QList<TVoSQLConnection *> VoAllConnections();

// Prepares the in-process engine's configuration (idempotent; must run before the first use of the
// client library in the process). Returns the configuration folder.
QString VoPrepareEmbeddedEngine();
// The pages of its file each connection of the in-process engine keeps in memory, for a process whose
// databases are small (the tests'); must be set before the engine is prepared.
void VoSetEmbeddedEngineCachePages(int pages);

// Connection settings read from the settings file.
struct TVoConnectionSettings {
    QString database;
    QString userName = QStringLiteral("SYSDBA");
    QString password = QStringLiteral("masterkey");
    QString code = QStringLiteral("1");
    QString user = QStringLiteral("VELISTO");
    QString userPassword;
    int rights = 0x3FF;
};

// The connection module: decides where the connection comes from and opens it.
class TdmVoConnection : public QObject {
    Q_OBJECT
public:
    // Makes a new database file with its schema (and demo data); false with a reason on failure.
    using TDatabaseCreator = std::function<bool(const QString &path, QString *error)>;

    explicit TdmVoConnection(QObject *parent = nullptr);
    ~TdmVoConnection() override;

    TVoSQLConnection *xqoMain;

    // The seven start-up values "%_C%" "%_U%" "%_P%" "%_F%" "%_RDBMS_DB%" "%_RDBMS_U%" "%_RDBMS_P%".
    // By default they are taken from the process's command line when it carries exactly seven.
    void SetStartupArguments(const QStringList &values);
    // Who creates the embedded default database when it does not exist yet.
    static void SetDatabaseCreator(TDatabaseCreator creator);
    // Brings an opened database up to the schema the program expects; false with a reason.
    using TDatabaseUpgrader = std::function<bool(TVoSQLConnection *connection, QString *error)>;
    static void SetDatabaseUpgrader(TDatabaseUpgrader upgrader);
    static QString DefaultDatabasePath();
    static QString SettingsFileName();
    // Fills settings from the settings file. False when there is no file (error left empty), or when
    // the file cannot be read or names no database (error says which file and what it must hold).
    static bool ReadSettings(TVoConnectionSettings *settings, QString *error = nullptr);

    // Opens the connection and publishes it as qqoVoGlobConn; false on failure, with the reason in
    // LastError for the caller to tell the user and the engine's text, if any, in LastErrorDetail.
    bool OpenConnection();
    QString LastError() const { return m_lastError; }
    QString LastErrorDetail() const { return m_lastErrorDetail; }
    // Tells the user why the connection did not open.
    void ShowLastError() const;

private:
    bool PrepareValues();
    QStringList m_startup;
    bool m_startupSet = false;
    QString m_lastError;
    QString m_lastErrorDetail;
};
