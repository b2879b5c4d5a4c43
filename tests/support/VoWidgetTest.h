#pragma once
// Windows driven offscreen: shown, activated (so that focus changes happen as on a desktop) and
// typed into as a user types: to the open pop-up when there is one, else to the focused widget.
#include <QApplication>
#include <QString>
#include <QTimer>
#include <Qt>
#include <functional>
#include <gtest/gtest.h>

class QWidget;

// Shows a window, activates it and waits until it is active; false when it never became active.
bool VoShowActive(QWidget *window);
// Types text, or presses a key, where the keyboard goes now; then lets queued events run.
void VoType(const QString &text);
void VoPress(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Holds a search box's typing pause until the test calls its handler itself, and gives back the
// interval the box set: on a loaded machine the real pause can pass between two keys.
int VoHoldPause(QTimer *timer);

// Runs a step inside the modal loop that the next call opens, on the modal window of class T.
template <class T> void VoWhenModalOpens(std::function<void(T *)> step) {
    QTimer::singleShot(0, [step] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal) {
            ADD_FAILURE() << "no modal window open";
            return;
        }
        step(modal);
    });
}
