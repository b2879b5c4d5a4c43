#include "VoApplication.h"

#include "VoImages.h"
#include "VoMessageBoxes.h"
#include "VoMessages.h"

TVoApplication::TVoApplication(int &argc, char **argv) : QApplication(argc, argv) {
    VoUseMessageBoxes();
}

void TVoApplication::SetProgramIcon(const QString &sign, const QColor &colour) {
    setWindowIcon(VoTileIcon(sign, colour));
}

bool TVoApplication::notify(QObject *receiver, QEvent *event) {
    bool handled = false;
    // The event that failed counts as handled: nobody else is to act on it half done.
    if (!VoGuarded([&] { handled = QApplication::notify(receiver, event); }))
        return true;
    return handled;
}
