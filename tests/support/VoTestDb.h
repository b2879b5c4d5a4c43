#pragma once
// Test databases: a database is made from db/ once and copied for each test, so every test starts
// from the same rows and none sees another's. Under CTest a set-up step makes the templates in the
// folder named by VO_TEST_TEMPLATES; a binary run by hand makes its own.
#include "VoConnection.h"
#include "VoMessages.h"

#include <QString>
#include <QStringList>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class TVoTestDb {
public:
    // The folder of this binary's test files.
    static QString Folder();
    // The database made from the scripts (with the demo data or without): the prepared one when
    // there is one, else made once per process.
    static QString Template(bool demoData = true);
    // The file name of a template, the same in the prepared folder and in the process's own.
    static QString TemplateFileName(bool demoData);
    // A copy of a template under a new name; returns its path.
    static QString FreshCopy(const QString &name, bool demoData = true);
};

// The Firebird server of the server tests. VO_TEST_SERVER names it with a folder of this computer
// that the server reads and writes ("localhost:/tmp/velisto-server"); VO_TEST_SERVER_USER (SYSDBA
// when unset) and VO_TEST_SERVER_PASSWORD are its login.
struct TVoTestServer {
    QString host;
    QString folder;
    QString userName;
    QString password;

    // The server configured, or false with what to set to try one.
    static bool Configured(TVoTestServer *server, QString *reason);
    // The name under which a file of the folder is opened through the server.
    QString DatabaseName(const QString &file) const { return host + QLatin1Char(':') + file; }
    // A copy of a template in the folder, which the server may write; returns the file's path.
    QString FreshCopy(const QString &name, bool demoData = true) const;
    // Gives a connection the server's login.
    void LogIn(TVoSQLConnection *connection) const;
};

// A Firebird server of the test's own, on a free port of this computer, which the test stops and
// starts again as a server that goes away and comes back; the server of the other server tests is
// never touched. It needs the server program of the firebird3.0-server package and isql-fb.
class TVoOwnServer {
public:
    ~TVoOwnServer();
    // Starts the server (the first time: its folder, configuration and login); false with why.
    bool Start(QString *reason);
    // Stops it as an administrator would, waiting until it has ended.
    void Stop();
    // The server as the server tests name it.
    const TVoTestServer &Server() const { return m_server; }

private:
    bool Prepare(QString *reason);
    QTemporaryDir m_dir;
    bool m_prepared = false;
    int m_port = 0;
    QProcess m_process;
    TVoTestServer m_server;
};

// A test with its own database, opened as the global connection, and scripted messages.
class VoDbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Whether the test starts from the demo data (override to start from an empty schema).
    virtual bool WithDemoData() const { return true; }
    // Whether the database is on the test server rather than a file of the in-process engine; the
    // test is skipped, saying why, when no server is configured.
    virtual bool OnServer() const { return false; }
    // A server of the test's own to put the database on instead (see TVoOwnServer); the test is
    // skipped, saying why, when it cannot run one.
    virtual TVoOwnServer *OwnServer() { return nullptr; }

    // The name the database is opened with: a file, or "host:/path" on the server.
    QString dbPath;
    TVoTestServer server;
    std::unique_ptr<TVoSQLConnection> conn;
    std::unique_ptr<TVoScriptedMessages> scripted;
    TVoScriptedResponder *messages = nullptr; // answers and records the messages of the test

private:
    QString m_file; // the database's file, removed at the end
};

// Runs a statement as it is, without the framework's parameters: PSQL blocks refer to their
// variables as ":name".
void VoExecRaw(const QString &sql);

// Counts the rows of a statement's result.
int VoCountRows(const QString &sql, const QVariantHash &params = {});
// The values of a statement's result, each as text, row after row.
QStringList VoRowTexts(const QString &sql, const QVariantHash &params = {});

// Readable texts in the failures of the tests.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
