// Makes a new database file for the programs: kvdbcreate [--no-demo] [--force] FILE
#include "VoDbCreate.h"
#include "VoTranslations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    VoLoadQtTranslations(&app);
    QTextStream out(stdout), err(stderr);
    TVoDbCreateOptions options;
    QString path;
    for (const QString &a : app.arguments().mid(1)) {
        if (a == QLatin1String("--no-demo"))
            options.demoData = false;
        else if (a == QLatin1String("--force"))
            options.overwrite = true;
        else if (a.startsWith(QLatin1String("--"))) {
            err << "unknown option " << a << "\n";
            return 2;
        } else
            path = a;
    }
    if (path.isEmpty()) {
        err << "usage: kvdbcreate [--no-demo] [--force] FILE\n";
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
