#include "VoTestWindows.h"

#include "VoGlobals.h"
#include "kvaUUtil.h"

void kvaWindowTest::SetUp() {
    VoDbTest::SetUp();
    ResetWorkingContext();
}

void kvaWindowTest::TearDown() {
    VoCloseWindow(window);
    xgvmGlobalVar.Clear();
    ResetWorkingContext();
    VoDbTest::TearDown();
}
