#include "VoForms.h"

#include <QWidget>

void TVoFormBase::EnsureFormCreated() {
    // A FormCreate that shows the window would come back here through the first show.
    if (m_created || m_creating)
        return;
    m_creating = true;
    try {
        FormCreate();
    } catch (...) {
        m_creating = false;
        throw;
    }
    m_creating = false;
    m_created = true;
}

void TVoFormBase::RunFormShow() {
    VoGuarded([this] {
        EnsureFormCreated();
        FormShow();
    });
}

TCloseAction TVoFormBase::RunFormClose(TCloseAction defaultAction) {
    TCloseAction action = caNone;
    VoGuarded([&] {
        if (!FormCloseQuery())
            return;
        TCloseAction a = defaultAction;
        FormClose(a);
        action = a;
    });
    return action;
}

void VoFinishFormCreation(QWidget *window) {
    auto *form = dynamic_cast<TVoFormBase *>(window);
    if (!form)
        return;
    try {
        form->EnsureFormCreated();
    } catch (...) {
        delete window;
        throw;
    }
}
