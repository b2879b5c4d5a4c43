#include "VoTestProcess.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

void VoTestIsolateProcess() {
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
}
