#include "VoTestVouchers.h"

#include "VoDBEdits.h"
#include "VoGlobals.h"
#include "VoTestData.h"
#include "VoTestRegisters.h"
#include "VoWidgetTest.h"
#include "kvaRBeniCarico.h"
#include "kvaUUtil.h"

#include <QApplication>

void kvaVoucherTest::SetUp() {
    VoDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    kva::ResetWorkingContext();
    ry = VoTestRegisterYear(2026);
    ChooseRegisterYear(ry);
}

void kvaVoucherTest::TearDown() {
    delete opened;
    xgvmGlobalVar.Clear();
    kva::ResetWorkingContext();
    VoDbTest::TearDown();
}

void VoTypeDescription(TfrkvaBeniCarico *rows, const QString &text) {
    rows->xdeDesc->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    rows->xdeDesc->selectAll();
    VoPress(Qt::Key_Backspace);
    VoType(text);
}
