#pragma once
// The bases of the programs' dialogs: a plain dialog, the OK/Cancel dialog (Enter confirms, Escape
// cancels) and the wizard whose pages the Next and Prior buttons turn.
#include "VoForms.h"

#include <QDialog>
#include <QPointer>

class QHBoxLayout;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

class TfmVoDialog : public QDialog, public TVoFormBase {
    Q_OBJECT
public:
    explicit TfmVoDialog(QWidget *parent = nullptr);

    // Closes the dialog with a result; the close hooks run first and may keep it open.
    void done(int result) override;
    // Closed, the dialog gives the keyboard back to the control it was opened from.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    QPointer<QWidget> m_returnFocus;
};

class TfmVoOkCancDlg : public TfmVoDialog {
    Q_OBJECT
public:
    explicit TfmVoOkCancDlg(QWidget *parent = nullptr);

    // The area above the buttons where a dialog puts its controls (it sets the layout it needs).
    QWidget *pnClient;
    QPushButton *buOk;
    QPushButton *buCancel;

    // Makes Cancel, instead of OK, the button that Enter presses.
    void SetCancelDefault(bool cancelDefault);
    bool CancelDefault() const { return m_cancelDefault; }

protected:
    // OK closes the dialog accepted; a dialog that checks its values first overrides this and calls
    // it when they are right.
    virtual void buOkClick();
    virtual void buCancelClick();
    void showEvent(QShowEvent *e) override;

    QVBoxLayout *MainLayout() const { return m_mainLayout; }
    // The row of buttons, OK and Cancel at its right end.
    QHBoxLayout *ButtonLayout() const { return m_buttonLayout; }

private:
    void ArrangeFocus();
    QVBoxLayout *m_mainLayout;
    QHBoxLayout *m_buttonLayout;
    bool m_focusArranged = false;
    bool m_cancelDefault = false;
};

// Pages without tabs in pcMain; Next and Prior ask pcMainChanging, move one page and then
// NavigatorClick runs. Enter presses Next while there is a page to go on to, else the dialog's default
// button; the page that Next or Prior brings forward takes the keyboard on its first control.
class TfmVoWizard : public TfmVoOkCancDlg {
    Q_OBJECT
public:
    explicit TfmVoWizard(QWidget *parent = nullptr);

    QStackedWidget *pcMain;
    QPushButton *buPrior;
    QPushButton *buNext;

    // Adds a page at the end (the wizard takes it over); returns its index.
    int AddPage(QWidget *page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    int PageCount() const;

protected:
    // Before Next or Prior changes the page; clearing AllowChange keeps the page. Sender is the button
    // pressed.
    virtual void pcMainChanging(QObject *Sender, bool &AllowChange) { (void)Sender, (void)AllowChange; }
    // After Next or Prior has changed the page; Sender is the button pressed.
    virtual void NavigatorClick(QObject *Sender) { (void)Sender; }
    virtual void buNextClick();
    virtual void buPriorClick();
    // Enables Prior and Next by the position of the current page; runs after every page change. A
    // wizard whose pages ask more of the user overrides it, calling this one first.
    virtual void CheckButtons();
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FocusPage();
};
