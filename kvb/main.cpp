#include "AbcCProgram.h"
#include "AbcUDatabase.h"
#include "VoApplication.h"
#include "kvbFMain.h"
#include "kvbURegistries.h"

#include <QColor>

int main(int argc, char *argv[]) {
    TVoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvb"));
    TVoApplication::SetProgramTitle(QStringLiteral("Velisto - Beni durevoli"));
    app.SetProgramIcon(QStringLiteral("V"), QColor(21, 101, 192));
    AbcSetProgram(kvbProgram());
    kvbRegisterWindows();
    AbcPrepareDatabase();
    TfmkvbMain *main = kvbCreateModules(&app);
    main->ShowAsLeft();
    const int result = app.exec();
    kvbDestroyModules();
    return result;
}
