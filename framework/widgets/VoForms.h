#pragma once
// What every window of the programs shares, MDI child or dialog: the creation, show and close hooks
// that a window class overrides (calling the base first), in the order a desktop window meets them.
//
// FormCreate cannot run from the base constructor (the derived part does not exist yet), so it runs
// once right after construction: CreateVoClass and VoNewForm run it, and a window shown without
// either runs it just before its first FormShow.
#include "VoMessages.h"

#include <exception>
#include <utility>

class QWidget;

// What happens to a window whose closing was accepted.
enum TCloseAction { caNone, caHide, caFree, caMinimize };

class TVoFormBase {
public:
    virtual ~TVoFormBase() = default;

    // Runs FormCreate unless it has run already. An exception from FormCreate reaches the caller.
    void EnsureFormCreated();
    bool FormCreated() const { return m_created; }

    // Help topic of the window (-1: none); kept, no help is shown.
    int HelpContext = -1;

protected:
    virtual void FormCreate() {}
    // When the window opens: a dialog each time it is shown, an MDI child when it opens (not when
    // its frame is maximised or restored).
    virtual void FormShow() {}
    // Whether the window may close now (false keeps it open).
    virtual bool FormCloseQuery() { return true; }
    // The window closes; Action says what becomes of it and may be changed (caNone keeps it open).
    virtual void FormClose(TCloseAction &Action) { (void)Action; }

    // For the bases: run from their show and close events. Exceptions of the hooks are shown to the
    // user here, since these run from the event loop.
    void RunFormShow();
    // Runs FormCloseQuery and FormClose; returns the action to take (caNone when the window stays).
    TCloseAction RunFormClose(TCloseAction defaultAction);

private:
    bool m_created = false;
    bool m_creating = false;
};

// Runs the FormCreate of a new window (when it is one of the framework's); a failing FormCreate frees
// the window and the exception reaches the caller.
void VoFinishFormCreation(QWidget *window);

// Creates a window that is not opened by class name and runs its FormCreate.
template <class T, class... Args> T *VoNewForm(Args &&...args) {
    T *form = new T(std::forward<Args>(args)...);
    VoFinishFormCreation(form);
    return form;
}
