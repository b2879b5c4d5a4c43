#include "VoApplication.h"
#include "VoConnection.h"
#include "VoDbCreate.h"
#include "kvbFMain.h"

#include <QColor>

int main(int argc, char *argv[]) {
    TVoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvb"));
    app.SetProgramIcon(QStringLiteral("V"), QColor(21, 101, 192));
    TdmVoConnection::SetDatabaseCreator([](const QString &path, QString *error) {
        return VoCreateDatabase(path, TVoDbCreateOptions{}, error);
    });
    TdmVoConnection::SetDatabaseUpgrader(&VoUpgradeDatabase);
    TfmkvbMain *main = kvbCreateModules(&app);
    main->show();
    const int result = app.exec();
    kvbDestroyModules();
    return result;
}
