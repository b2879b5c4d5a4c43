// Makes a new database file for the programs:
//   kvdbcreate [--no-demo] [--force] [--user NAME] [--password PASSWORD] FILE|HOST:/PATH
// A database on a server is created with the login given, else with the one of the programs'
// settings file, so that the office's technician types it once.
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "VoTranslations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    VoLoadQtTranslations(&app);
    QTextStream out(stdout), err(stderr);
    const char *const usage =
        "usage: kvdbcreate [--no-demo] [--force] [--user NAME] [--password PASSWORD] FILE|HOST:/PATH\n";
    TVoConnectionSettings settings;
    TdmVoConnection::ReadSettings(&settings);
    TVoDbCreateOptions options;
    options.userName = settings.userName;
    options.password = settings.password;
    QString path;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--no-demo"))
            options.demoData = false;
        else if (a == QLatin1String("--force"))
            options.overwrite = true;
        else if (a == QLatin1String("--user") || a == QLatin1String("--password")) {
            if (i + 1 == args.size()) {
                err << a << " needs a value\n" << usage;
                return 2;
            }
            (a == QLatin1String("--user") ? options.userName : options.password) = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "unknown option " << a << "\n";
            return 2;
        } else
            path = a;
    }
    if (path.isEmpty()) {
        err << usage;
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!VoCreateDatabase(path, options, &error)) {
        err << "kvdbcreate: " << error << "\n";
        return 1;
    }
    out << "created " << path << " in " << timer.elapsed() << " ms\n";
    return 0;
}
