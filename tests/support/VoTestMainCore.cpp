// The main of the test binaries that link no widgets: a home, settings and data folders of the
// process's own, so that no test touches the user's database or parameters, nor another test's.
#include "VoTestProcess.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    VoTestIsolateProcess();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velisto-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    VoTestSettleBetweenTests();
    return VoTestFinish(RUN_ALL_TESTS());
}
