#include "VoApplication.h"

#include "VoMessageBoxes.h"
#include "VoMessages.h"

TVoApplication::TVoApplication(int &argc, char **argv) : QApplication(argc, argv) {
    VoUseMessageBoxes();
}

bool TVoApplication::notify(QObject *receiver, QEvent *event) {
    bool handled = false;
    // The event that failed counts as handled: nobody else is to act on it half done.
    if (!VoGuarded([&] { handled = QApplication::notify(receiver, event); }))
        return true;
    return handled;
}
