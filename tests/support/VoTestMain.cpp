// The main of every test binary: an offscreen application with a home, settings and data folders of
// the process's own, so that no test touches the user's database or parameters, nor another test's.
#include "VoApplication.h"
#include "VoMessages.h"
#include "VoTestProcess.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// The registration function of what the binary's tests open by class name, named by its build: the
// windows are registered once, before any test, as the programs do at start-up.
#ifndef VO_TEST_REGISTER_WINDOWS
#error "A test binary with windows names its registration function in VO_TEST_REGISTER_WINDOWS"
#endif
void VO_TEST_REGISTER_WINDOWS();

// The program whose profile the binary's tests run under, named by the build of a program's tests.
#ifdef VO_TEST_PROGRAM
#include "AbcCProgram.h"
const TAbcProgram &VO_TEST_PROGRAM();
#endif

int main(int argc, char **argv) {
    VoTestIsolateProcess();
    // Offscreen, on a screen of the office's size: windows size themselves by the screen they open on.
    const QString screen = QDir::home().filePath(QStringLiteral("screen.json"));
    QFile file(screen);
    if (file.open(QIODevice::WriteOnly))
        file.write(R"({"screens": [{"name": "office", "x": 0, "y": 0, "width": 1366, "height": 768,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen));
    TVoApplication app(argc, argv);
    // Offscreen nobody answers a message box: a message no test scripted goes to the error output.
    SetVoMessageResponder(nullptr);
#ifdef VO_TEST_PROGRAM
    AbcSetProgram(VO_TEST_PROGRAM());
#endif
    VO_TEST_REGISTER_WINDOWS();
    QApplication::setApplicationName(QStringLiteral("velisto-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    VoTestSettleBetweenTests();
    return VoTestFinish(RUN_ALL_TESTS());
}
