#include "VoApplication.h"

#include "VoImages.h"
#include "VoLayout.h"
#include "VoMessageBoxes.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoTranslations.h"

#include <QWidget>

namespace {

// The query collections' questions and failures, put to the user through the message service.
class TDataSetMessages : public IVoDataSetUser {
public:
    bool ConfirmDelete() override {
        return VoMessageDlg(QStringLiteral("Cancellare il record?"), mtConfirmation, mbYesNo, 0, mbNo) ==
               mrYes;
    }
    void Report(const std::exception &failure) override { VoShowException(failure); }
};

} // namespace

TVoApplication::TVoApplication(int &argc, char **argv) : QApplication(argc, argv) {
    VoUseMessageBoxes();
    SetVoDataSetUser(std::make_shared<TDataSetMessages>());
    VoLoadQtTranslations(this);
}

void TVoApplication::SetProgramIcon(const QString &sign, const QColor &colour) {
    setWindowIcon(VoTileIcon(sign, colour));
}

namespace {
QString &ProgramTitleStore() {
    static QString title;
    return title;
}
} // namespace

void TVoApplication::SetProgramTitle(const QString &title) {
    ProgramTitleStore() = title;
}

QString TVoApplication::ProgramTitle() {
    const QString &title = ProgramTitleStore();
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

bool TVoApplication::notify(QObject *receiver, QEvent *event) {
    bool handled = false;
    // The event that failed counts as handled: nobody else is to act on it half done.
    if (!VoGuarded([&] { handled = QApplication::notify(receiver, event); }))
        return true;
    // Once the window has opened and read its rows, it takes the size that shows them.
    if (event->type() == QEvent::Show && receiver->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(receiver);
        if (VoIsFittedWindow(widget))
            VoGuarded([widget] { VoFitWindow(widget); });
    }
    return handled;
}
