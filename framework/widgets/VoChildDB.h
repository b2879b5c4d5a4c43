#pragma once
// The base of the programs' MDI child windows (registries, vouchers, lists): a widget that the main
// window puts in its MDI area and that is freed when it is closed.
#include "VoForms.h"

#include <QWidget>

class QMdiSubWindow;

class TfmVoChildDB : public QWidget, public TVoFormBase {
    Q_OBJECT
public:
    explicit TfmVoChildDB(QWidget *parent = nullptr);

    // Opened maximised in the MDI area.
    bool OpenMaximized = false;

    // The MDI frame around the window (nullptr while it is not in an MDI area).
    QMdiSubWindow *SubWindow() const;

    // Closes the window once the events queued now have run: a window that finds, while it is created
    // or activated, that it cannot work asks for its close this way, so that whoever is opening or
    // activating it finishes first. Its activations are not run meanwhile.
    void PostClose();

protected:
    // Each time the window becomes the active one: the current child of its MDI area, or an active
    // window of its own (as a window opened without the main window, offscreen in the tests, is).
    virtual void FormActivate() {}

    // For each data source of the window (those it holds, in order) whose data set is being inserted
    // or edited, asks whether to save (AskSaveBeforeClose); the first refusal keeps the window open.
    bool FormCloseQuery() override;
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    // Ctrl+S that no frame took, the focus standing outside the frame whose row is being typed (on a
    // list beside it, where Tab from the row's last field leads), saves that row.
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Activated();

    QMetaObject::Connection m_subActivation;
    bool m_closePosted = false;
    bool m_frameClosing = false;
    bool m_closed = false;
    bool m_shown = false;
};
