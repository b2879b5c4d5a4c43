// Makes one template database of the tests before they run: vo_testtemplate FOLDER demo|empty
// CTest runs it as the set-up step of every test, so that each test process copies the file instead
// of making it from the scripts again.
#include "VoDbCreate.h"
#include "VoTestDb.h"
#include "VoTestProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

int main(int argc, char *argv[]) {
    VoTestIsolateProcess();
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[2] != QLatin1String("demo") && args[2] != QLatin1String("empty"))) {
        err << "usage: vo_testtemplate FOLDER demo|empty\n";
        return 2;
    }
    TVoDbCreateOptions options;
    options.demoData = args[2] == QLatin1String("demo");
    options.samples = false;
    options.overwrite = true;
    options.forcedWrites = false;
    const QString target = args[1] + QLatin1Char('/') + TVoTestDb::TemplateFileName(options.demoData);
    // Made under another name and renamed, so a test never finds a half-made template.
    const QString partial = target + QStringLiteral(".partial");
    QString error;
    if (!QDir().mkpath(args[1]) || !VoCreateDatabase(partial, options, &error)) {
        err << "vo_testtemplate: cannot make " << target << ": " << error << "\n";
        return 1;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        err << "vo_testtemplate: cannot rename " << partial << " to " << target << "\n";
        return 1;
    }
    return 0;
}
