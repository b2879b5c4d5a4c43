// The main of every test binary: an offscreen application with settings and data folders of the
// tests' own, so that no test touches the user's database or parameters.
#include "VoApplication.h"
#include "VoMessages.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    TVoApplication app(argc, argv);
    // Offscreen nobody answers a message box: a message no test scripted goes to the error output.
    SetVoMessageResponder(nullptr);
    QApplication::setApplicationName(QStringLiteral("velisto-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
