#pragma once
// Every window a program registers, opened as the office opens it on a 1366×768 screen and looked
// over for what a clerk would see at once: a window larger than the screen (or, inside the main
// window, one that makes the work area scroll), a label, button, tab, group or column title drawn
// narrower than its text, a grid column that cuts a value of its first screen of rows, a title that
// cannot be read whole, fields left behind a scroll bar.
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class TVoCustomAtt;
class TVoParamManager;
class TfmVoMDIMain;

// The office screen the windows must fit.
inline constexpr QSize kVoOfficeScreen(1366, 768);

// The faults of one window that is open and shown, each naming the widget ("Class: path: fault").
QStringList VoLayoutFaults(const QString &className, QWidget *window);

// A state of a window that the audit looks at besides the one the window opens in (a new book being
// typed, an import's page of goods): visit brings the window into it, calls look() and takes it back.
struct TVoLayoutState {
    QString className;
    std::function<void(QWidget *window, const std::function<void()> &look)> visit;
};

struct TVoLayoutAudit {
    int opened = 0;
    QStringList faults;
};

// Opens every window class of the class registry in turn (MDI children in the main window's work
// area, the others as windows of their own), collects their faults, also in the states given, and
// closes them again. The main window is given the size the
// program's first start gives it on the office screen.
TVoLayoutAudit VoAuditRegisteredWindows(TfmVoMDIMain *main, const QList<TVoLayoutState> &states = {});

// The check of a whole program whose parameters are chosen: every registered window, and the
// parameters dialog that its menu item opens; prints how many windows it opened and fails with every
// fault found, unless it opened fewer windows than expected.
void VoExpectEveryWindowFits(TfmVoMDIMain *main, TVoCustomAtt *paramItem, TVoParamManager *manager,
                             int leastWindows, const QList<TVoLayoutState> &states = {});
