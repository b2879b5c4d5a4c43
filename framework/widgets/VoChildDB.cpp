#include "VoChildDB.h"

#include "VoDBFrames.h"

#include "VoDataSource.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QSet>
#include <QShowEvent>

TfmVoChildDB::TfmVoChildDB(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

QMdiSubWindow *TfmVoChildDB::SubWindow() const {
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void TfmVoChildDB::PostClose() {
    if (m_closePosted)
        return;
    m_closePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            close();
            // Kept open (its changes are to be saved): it works on, and may ask again.
            m_closePosted = false;
        },
        Qt::QueuedConnection);
}

void TfmVoChildDB::Activated() {
    if (m_closePosted || !FormCreated())
        return;
    VoGuarded([this] { FormActivate(); });
}

bool TfmVoChildDB::FormCloseQuery() {
    QSet<const TVoQueryCollection *> asked;
    for (TVoDataSource *source : findChildren<TVoDataSource *>()) {
        const TVoQueryCollection *dataSet = source->DataSet();
        if (!dataSet || asked.contains(dataSet))
            continue;
        asked.insert(dataSet);
        // A list frame's own save and cancel run, with whatever the window put in their place.
        auto *frame = qobject_cast<TfrVoDBRWGrid *>(source->parent());
        const bool framed = frame && frame->xdsMain == source;
        const bool may =
            framed ? AskSaveBeforeClose(
                         source, windowTitle(), mtConfirmation, 0, [frame] { frame->xacPost->Execute(); },
                         [frame] { frame->xacCancel->Execute(); })
                   : AskSaveBeforeClose(source, windowTitle());
        if (!may)
            return false;
    }
    return true;
}

bool TfmVoChildDB::event(QEvent *e) {
    // Closing the frame closes this window first; watching the frame tells the two closings apart.
    if (e->type() == QEvent::ParentAboutToChange) {
        if (QMdiSubWindow *sub = SubWindow())
            sub->removeEventFilter(this);
        disconnect(m_subActivation);
    } else if (e->type() == QEvent::ParentChange) {
        if (QMdiSubWindow *sub = SubWindow()) {
            sub->installEventFilter(this);
            // The MDI area activates the frame, not the window inside it.
            m_subActivation = connect(sub, &QMdiSubWindow::windowStateChanged, this,
                                      [this](Qt::WindowStates before, Qt::WindowStates now) {
                                          if (!(before & Qt::WindowActive) && (now & Qt::WindowActive))
                                              Activated();
                                      });
        }
    } else if (e->type() == QEvent::WindowActivate && isWindow()) {
        const bool handled = QWidget::event(e);
        Activated();
        return handled;
    }
    return QWidget::event(e);
}

bool TfmVoChildDB::eventFilter(QObject *watched, QEvent *e) {
    if (watched == parentWidget() && e->type() == QEvent::Close)
        m_frameClosing = true;
    return QWidget::eventFilter(watched, e);
}

void TfmVoChildDB::keyPressEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_S && (e->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        // The frames' own key saves the row of the frame with the focus; this one the row of the only
        // frame that has one to save, or of the first in the window when several have.
        for (TfrVoDBRWGrid *frame : findChildren<TfrVoDBRWGrid *>())
            if (frame->isVisible() && frame->xacPost->isEnabled()) {
                e->accept();
                frame->xacPost->Execute();
                return;
            }
    }
    QWidget::keyPressEvent(e);
}

void TfmVoChildDB::showEvent(QShowEvent *e) {
    QWidget::showEvent(e);
    // The MDI frame hides and shows its window as it is maximised, minimised and restored; only the
    // opening, and a reopening after a close that hid the window, is a show of the window.
    if (e->spontaneous() || m_shown)
        return;
    m_shown = true;
    RunFormShow();
}

void TfmVoChildDB::closeEvent(QCloseEvent *e) {
    const bool fromFrame = m_frameClosing;
    m_frameClosing = false;
    if (m_closed) {
        e->accept();
        return;
    }
    QMdiSubWindow *sub = SubWindow();
    switch (RunFormClose(caFree)) {
    case caNone:
        e->ignore();
        return;
    case caMinimize:
        e->ignore();
        if (sub)
            sub->showMinimized();
        else
            showMinimized();
        return;
    case caHide:
        // Kept for later: neither the window nor its frame is freed.
        setAttribute(Qt::WA_DeleteOnClose, false);
        m_shown = false;
        e->accept();
        if (sub) {
            sub->setAttribute(Qt::WA_DeleteOnClose, false);
            if (!fromFrame)
                sub->hide();
        }
        return;
    case caFree:
        m_closed = true;
        setAttribute(Qt::WA_DeleteOnClose);
        e->accept();
        if (sub) {
            sub->setAttribute(Qt::WA_DeleteOnClose);
            // Closed from inside (a button, code): the frame must go too, or an empty one stays.
            if (!fromFrame)
                sub->close();
        }
        return;
    }
}
