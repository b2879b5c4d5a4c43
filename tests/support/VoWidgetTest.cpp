#include "VoWidgetTest.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <limits>

namespace {

QWidget *KeyboardTarget() {
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::focusWidget();
}

} // namespace

bool VoShowActive(QWidget *window) {
    window->resize(900, 600);
    window->show();
    window->activateWindow();
    const bool active = QTest::qWaitForWindowActive(window);
    QApplication::processEvents();
    return active;
}

void VoType(const QString &text) {
    for (const QChar c : text)
        if (QWidget *target = KeyboardTarget())
            QTest::keyClick(target, c.toLatin1());
    QApplication::processEvents();
}

int VoHoldPause(QTimer *timer) {
    const int interval = timer->interval();
    timer->setInterval(std::numeric_limits<int>::max());
    return interval;
}

void VoPress(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (QWidget *target = KeyboardTarget())
        QTest::keyClick(target, key, modifiers);
    QApplication::processEvents();
}
