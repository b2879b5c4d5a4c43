#include "VoTestWindows.h"

#include "VoGlobals.h"
#include "kvaUUtil.h"

void kvaWindowTest::SetUp() {
    VoDbTest::SetUp();
    kva::ResetWorkingContext();
}

void kvaWindowTest::TearDown() {
    VoCloseWindow(window);
    xgvmGlobalVar.Clear();
    kva::ResetWorkingContext();
    VoDbTest::TearDown();
}
