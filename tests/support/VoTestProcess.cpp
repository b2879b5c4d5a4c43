#include "VoTestProcess.h"

#include "VoConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
// Where the tests' files go: a folder in memory when the machine has one with room. The tests make
// databases the way the programs do, every write waiting for the disk; on a disk that made a case
// that creates a database take 15 to 30 seconds instead of 2, and nothing a test checks needs the
// disk (a killed process leaves its writes to the system either way). VO_TEST_TMPDIR chooses.
QString TemporaryRoot() {
    const QString chosen = qEnvironmentVariable("VO_TEST_TMPDIR");
    if (!chosen.isEmpty())
        return chosen;
    struct statvfs memory {};
    const char *const shm = "/dev/shm";
    const unsigned long long room = 2ULL << 30;
    if (::statvfs(shm, &memory) == 0 && ::access(shm, W_OK) == 0 &&
        static_cast<unsigned long long>(memory.f_bavail) * memory.f_frsize >= room)
        return QString::fromLatin1(shm);
    return QString();
}

#if defined(__SANITIZE_ADDRESS__)
// In a sanitizer build the processes a test starts (a second program on the same file, the database
// tool) write their sanitizers' reports into a folder of this process instead of an error output the
// test may never read; after each test what they wrote fails that test, printed in full. A report of
// this process itself ends it with a failure on its own.
QString ReportFolder() {
    return QDir::home().filePath(QStringLiteral("sanitizer-reports"));
}

void SendChildReportsToTheFolder() {
    QDir().mkpath(ReportFolder());
    QByteArray options = qgetenv("ASAN_OPTIONS");
    if (!options.isEmpty())
        options += ':';
    qputenv("ASAN_OPTIONS", options + "log_path=" + QFile::encodeName(ReportFolder()) + "/report");
}

void FailOnChildReports() {
    QDir folder(ReportFolder());
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        QFile report(folder.filePath(name));
        report.open(QIODevice::ReadOnly);
        ADD_FAILURE() << "a process started by this test reported (" << name.toStdString() << "):\n"
                      << report.readAll().toStdString();
        report.close();
        report.remove();
    }
}
#endif
} // namespace

void VoTestIsolateProcess() {
    // Before the first temporary folder, so that this process's and its children's go there.
    const QString root = TemporaryRoot();
    if (!root.isEmpty())
        qputenv("TMPDIR", QFile::encodeName(root));
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/velisto-test-home-XXXXXX"));
    if (!home.isValid())
        qFatal("cannot make the home folder of the tests: %s", qPrintable(home.errorString()));
    qputenv("HOME", QFile::encodeName(home.path()));
    // The windowing layer wants a runtime folder of the user; without one it warns in every test.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = home.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QStandardPaths::setTestModeEnabled(true);
#if defined(__SANITIZE_ADDRESS__)
    SendChildReportsToTheFolder();
#endif
    // The tests' databases are a few hundred pages: a cache of the programs' size costs every
    // connection the clearing of 64 MB.
    VoSetEmbeddedEngineCachePages(256);
}

int VoTestFinish(int result) {
    QStringList open;
    for (TVoSQLConnection *connection : VoAllConnections())
        open << connection->ConnectionName();
    for (const QString &name : QSqlDatabase::connectionNames())
        if (!open.contains(name))
            open << name;
    if (open.isEmpty())
        return result;
    std::fprintf(stderr, "Database connections still open after the last test: %s\n",
                 qPrintable(open.join(QStringLiteral(", "))));
    return 1;
}

namespace {
class TSettler : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
#if defined(__SANITIZE_ADDRESS__)
        FailOnChildReports();
#endif
    }
};
} // namespace

void VoTestSettleBetweenTests() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TSettler);
}
