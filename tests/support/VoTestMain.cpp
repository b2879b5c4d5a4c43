// The main of every test binary: an offscreen application with a home, settings and data folders of
// the process's own, so that no test touches the user's database or parameters, nor another test's.
#include "VoApplication.h"
#include "VoMessages.h"
#include "VoTestProcess.h"

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    VoTestIsolateProcess();
    TVoApplication app(argc, argv);
    // Offscreen nobody answers a message box: a message no test scripted goes to the error output.
    SetVoMessageResponder(nullptr);
    QApplication::setApplicationName(QStringLiteral("velisto-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
