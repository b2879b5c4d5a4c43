#pragma once
// The programs' application object. Every handler the framework calls from an event is guarded
// already; what still escapes an event (a program's own slot or event override) is caught here as a
// last resort, shown once through the message service, and the program goes on. It answers the
// messages with message boxes from the start, and puts the query collections' questions and
// failures to the user through them.
#include <QApplication>

class QColor;

class TVoApplication : public QApplication {
    Q_OBJECT
public:
    TVoApplication(int &argc, char **argv);

    // The icon of every window of the program, dialogs included: a tile of the colour with the sign.
    void SetProgramIcon(const QString &sign, const QColor &colour);
    // The program's name, for the messages that have no caption of their own. It is not the
    // application's display name, which the window system would append to every window's title.
    static void SetProgramTitle(const QString &title);
    static QString ProgramTitle();

    bool notify(QObject *receiver, QEvent *event) override;
};
