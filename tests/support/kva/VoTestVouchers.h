#pragma once
// The voucher windows opened in tests on the demo register-year 2026, and their rows frame driven key
// by key.
#include "VoTestDb.h"

#include <QPointer>
#include <QString>

class TfrkvaBeniCarico;

// The working context on the register-year 2026; the window the test opened (opened) is closed at
// the end.
class kvaVoucherTest : public VoDbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    int ry = 0;
    QPointer<QWidget> opened;
};

// Types into the description of a rows frame key by key, over what it shows.
void VoTypeDescription(TfrkvaBeniCarico *rows, const QString &text);
