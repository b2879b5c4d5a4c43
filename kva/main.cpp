#include "VoApplication.h"
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "kvaFMain.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    TVoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kva"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velisto"));
    TdmVoConnection::SetDatabaseCreator([](const QString &path, QString *error) {
        return VoCreateDatabase(path, TVoDbCreateOptions{}, error);
    });
    TdmVoConnection::SetDatabaseUpgrader(&VoUpgradeDatabase);
    TfmkvaMain *main = kvaCreateModules(&app);
    main->show();
    const int result = app.exec();
    kvaDestroyModules();
    return result;
}
