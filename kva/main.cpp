#include "AbcCProgram.h"
#include "AbcUDatabase.h"
#include "VoApplication.h"
#include "kvaFMain.h"
#include "kvaURegistries.h"

#include <QColor>

int main(int argc, char *argv[]) {
    TVoApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kva"));
    TVoApplication::SetProgramTitle(QStringLiteral("Velisto"));
    app.SetProgramIcon(QStringLiteral("V"), QColor(46, 125, 50));
    AbcSetProgram(kvaProgram());
    kvaRegisterWindows();
    AbcPrepareDatabase();
    TfmkvaMain *main = kvaCreateModules(&app);
    main->ShowAsLeft();
    const int result = app.exec();
    kvaDestroyModules();
    return result;
}
