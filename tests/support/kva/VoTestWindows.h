#pragma once
// Registry windows of the consumables register opened and driven in tests as a user drives them.
#include "VoTestDb.h"
#include "VoWindowDrive.h"

#include <QPointer>

// A test of the program's windows on its own database: the working context starts empty, and the
// window the test opened is closed at the end.
class kvaWindowTest : public VoDbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class T> T *Open(const QString &className) {
        auto *opened = VoOpenWindow<T>(className);
        window = opened;
        return opened;
    }

    QPointer<QWidget> window;
};
