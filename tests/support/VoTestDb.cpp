#include "VoTestDb.h"

#include "VoDbCreate.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

QString TVoTestDb::Folder() {
    static QTemporaryDir dir;
    return dir.path();
}

QString TVoTestDb::TemplateFileName(bool demoData) {
    return demoData ? QStringLiteral("template-demo.fdb") : QStringLiteral("template-empty.fdb");
}

QString TVoTestDb::Template(bool demoData) {
    static QString withDemo, withoutDemo;
    QString &path = demoData ? withDemo : withoutDemo;
    if (path.isEmpty()) {
        const QString name = QLatin1Char('/') + TemplateFileName(demoData);
        const QString preparedFolder = qEnvironmentVariable("VO_TEST_TEMPLATES");
        if (!preparedFolder.isEmpty() && QFileInfo::exists(preparedFolder + name)) {
            path = preparedFolder + name;
            return path;
        }
        const QString target = Folder() + name;
        QString error;
        TVoDbCreateOptions options;
        options.demoData = demoData;
        options.samples = false;
        options.overwrite = true;
        options.forcedWrites = false;
        if (!VoCreateDatabase(target, options, &error)) {
            ADD_FAILURE() << "cannot create the test database: " << error.toStdString();
            return QString();
        }
        path = target;
    }
    return path;
}

namespace {
QString CopyTemplate(const QString &folder, const QString &name, bool demoData,
                     QFile::Permissions permissions) {
    const QString source = TVoTestDb::Template(demoData);
    const QString target = folder + QLatin1Char('/') + name + QStringLiteral(".fdb");
    QFile::remove(target);
    if (source.isEmpty() || !QFile::copy(source, target))
        ADD_FAILURE() << "cannot copy the test database to " << target.toStdString();
    QFile::setPermissions(target, permissions);
    return target;
}
} // namespace

QString TVoTestDb::FreshCopy(const QString &name, bool demoData) {
    return CopyTemplate(Folder(), name, demoData, QFile::ReadOwner | QFile::WriteOwner);
}

bool TVoTestServer::Configured(TVoTestServer *server, QString *reason) {
    const QString name = qEnvironmentVariable("VO_TEST_SERVER");
    QString host, folder;
    VoSplitDatabaseName(name, &host, &folder);
    if (host.isEmpty() || folder.isEmpty()) {
        *reason = QStringLiteral("no Firebird server to test with: set VO_TEST_SERVER=localhost:/folder "
                                 "(a folder the server writes), VO_TEST_SERVER_USER and "
                                 "VO_TEST_SERVER_PASSWORD, as .ci/run does");
        return false;
    }
    server->host = host;
    server->folder = folder;
    server->userName = qEnvironmentVariable("VO_TEST_SERVER_USER", QStringLiteral("SYSDBA"));
    server->password = qEnvironmentVariable("VO_TEST_SERVER_PASSWORD");
    return true;
}

QString TVoTestServer::FreshCopy(const QString &name, bool demoData) const {
    // The server runs as a user of its own.
    return CopyTemplate(folder, name, demoData,
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                            QFile::ReadOther | QFile::WriteOther);
}

void TVoTestServer::LogIn(TVoSQLConnection *connection) const {
    connection->SetParam(QStringLiteral("User_Name"), userName);
    connection->SetParam(QStringLiteral("Password"), password);
}

namespace {

// A port nobody listens on now, as the system hands one out.
int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

bool Answers(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    const bool connected = ::connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(s);
    return connected;
}

const char *const kServerProgram = "/usr/sbin/firebird";
const char *const kServerPassword = "masterkey";

} // namespace

TVoOwnServer::~TVoOwnServer() {
    Stop();
}

bool TVoOwnServer::Prepare(QString *reason) {
    if (m_prepared)
        return true;
    const QString root =
        QFileInfo::exists(QString::fromLatin1(kServerProgram)) ? VoPrepareEmbeddedEngine() : QString();
    if (root.isEmpty() || !m_dir.isValid()) {
        *reason = QStringLiteral("no Firebird server program (%1) to run a server of the test's own: "
                                 "install firebird3.0-server, as .ci/run does")
                      .arg(QString::fromLatin1(kServerProgram));
        return false;
    }
    const QString dir = m_dir.path();
    // The engine's messages and character sets, as the in-process engine has them.
    for (const QString &name : {QStringLiteral("firebird.msg"), QStringLiteral("intl")})
        QFile::link(root + QLatin1Char('/') + name, dir + QLatin1Char('/') + name);
    m_port = FreePort();
    // Its own port, login database and lock files, so that it shares nothing with another server.
    QFile conf(dir + QStringLiteral("/firebird.conf"));
    if (m_port == 0 || !conf.open(QIODevice::WriteOnly))
        return *reason = QStringLiteral("no port or folder for a server of the test's own"), false;
    conf.write(QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\nServerMode = Super\n"
                              "SecurityDatabase = %2/security3.fdb\nDefaultDbCachePages = 256\n")
                   .arg(m_port)
                   .arg(dir)
                   .toLocal8Bit());
    conf.close();
    QDir().mkpath(dir + QStringLiteral("/lock"));
    QProcess isql;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), dir);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), dir + QStringLiteral("/lock"));
    isql.setProcessEnvironment(env);
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA")});
    if (!isql.waitForStarted(10000))
        return *reason = QStringLiteral("isql-fb does not start: %1").arg(isql.errorString()), false;
    isql.write(QStringLiteral("CREATE DATABASE '%1/security3.fdb';\nCREATE USER SYSDBA PASSWORD '%2';\n"
                              "COMMIT;\nQUIT;\n")
                   .arg(dir, QString::fromLatin1(kServerPassword))
                   .toLocal8Bit());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(30000) || isql.exitCode() != 0)
        return *reason = QStringLiteral("the login database of a server of the test's own cannot be made: ") +
                         QString::fromLocal8Bit(isql.readAllStandardError()),
               false;
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_server.host = QStringLiteral("localhost/%1").arg(m_port);
    m_server.folder = dir;
    m_server.userName = QStringLiteral("SYSDBA");
    m_server.password = QString::fromLatin1(kServerPassword);
    m_prepared = true;
    return true;
}

bool TVoOwnServer::Start(QString *reason) {
    if (!Prepare(reason))
        return false;
    if (m_process.state() == QProcess::NotRunning)
        m_process.start(QString::fromLatin1(kServerProgram), {});
    if (!m_process.waitForStarted(10000))
        return *reason = QStringLiteral("the server program does not start: %1").arg(m_process.errorString()),
               false;
    for (int i = 0; i < 100; ++i) {
        if (Answers(m_port))
            return true;
        if (m_process.waitForFinished(100))
            break;
    }
    *reason = QStringLiteral("a server of the test's own does not answer on port %1: %2")
                  .arg(m_port)
                  .arg(QString::fromLocal8Bit(m_process.readAll()));
    Stop();
    return false;
}

void TVoOwnServer::Stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(15000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void VoDbTest::SetUp() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name =
        QString::fromLatin1(info->test_suite_name()) + QLatin1Char('_') + QString::fromLatin1(info->name());
    if (TVoOwnServer *own = OwnServer()) {
        QString reason;
        if (!own->Start(&reason))
            GTEST_SKIP() << reason.toStdString();
        server = own->Server();
        m_file = server.FreshCopy(name, WithDemoData());
        dbPath = server.DatabaseName(m_file);
    } else if (OnServer()) {
        QString reason;
        if (!TVoTestServer::Configured(&server, &reason))
            GTEST_SKIP() << reason.toStdString();
        m_file = server.FreshCopy(name, WithDemoData());
        dbPath = server.DatabaseName(m_file);
    } else {
        m_file = dbPath = TVoTestDb::FreshCopy(name, WithDemoData());
    }
    conn = std::make_unique<TVoSQLConnection>(
        nullptr, QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
    conn->SetParam(QStringLiteral("Database"), dbPath);
    if (OnServer() || OwnServer())
        server.LogIn(conn.get());
    conn->C = QStringLiteral("1");
    conn->U = QStringLiteral("TEST");
    conn->F = 0x3FF;
    QString error;
    ASSERT_TRUE(conn->Open(&error)) << error.toStdString();
    qqoVoGlobConn = conn.get();
    scripted = std::make_unique<TVoScriptedMessages>();
    messages = &**scripted;
}

void VoDbTest::TearDown() {
    messages = nullptr;
    scripted.reset();
    if (qqoVoGlobConn == conn.get())
        qqoVoGlobConn = nullptr;
    conn.reset();
    if (!m_file.isEmpty())
        QFile::remove(m_file);
}

int VoCountRows(const QString &sql, const QVariantHash &params) {
    TVoQuery q(sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.SetParam(it.key(), it.value());
    q.Open();
    return q.CountToEnd();
}

QStringList VoRowTexts(const QString &sql, const QVariantHash &params) {
    TVoQuery q(sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.SetParam(it.key(), it.value());
    QStringList values;
    for (q.Open(); !q.Eof(); q.Next())
        for (int i = 0; i < q.FieldCount(); ++i)
            values << q.AsString(q.FieldName(i));
    return values;
}

void VoExecRaw(const QString &sql) {
    QSqlQuery q(qqoVoGlobConn->Database());
    if (!q.exec(sql))
        ADD_FAILURE() << q.lastError().text().toStdString() << "\n" << sql.toStdString();
}
