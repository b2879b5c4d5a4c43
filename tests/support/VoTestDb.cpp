#include "VoTestDb.h"

#include "VoDbCreate.h"
#include "VoQuery.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

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

void VoDbTest::SetUp() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name =
        QString::fromLatin1(info->test_suite_name()) + QLatin1Char('_') + QString::fromLatin1(info->name());
    if (OnServer()) {
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
    if (OnServer())
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
