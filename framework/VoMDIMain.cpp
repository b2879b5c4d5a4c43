#include "VoMDIMain.h"

#include "VoExceptions.h"
#include "VoMessages.h"

#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QTimer>

TfmVoMDIMain::TfmVoMDIMain(QWidget *parent) : QMainWindow(parent), m_mdi(new QMdiArea(this)) {
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    AddPanel(150);
}

int TfmVoMDIMain::MDIChildCount() const {
    return int(m_mdi->subWindowList().size());
}

int TfmVoMDIMain::AddPanel(int width) {
    auto *label = new QLabel(this);
    label->setMinimumWidth(width);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(label);
    m_panels << label;
    return int(m_panels.size()) - 1;
}

QString TfmVoMDIMain::PanelText(int index) const {
    return index >= 0 && index < m_panels.size() ? m_panels[index]->text() : QString();
}

void TfmVoMDIMain::SetPanelText(int index, const QString &text) {
    if (index >= 0 && index < m_panels.size())
        m_panels[index]->setText(text);
}

void TfmVoMDIMain::RefreshPanels() {
    if (!DoOnRefreshPanel)
        return;
    for (int i = 0; i < m_panels.size(); ++i)
        DoOnRefreshPanel(i);
}

bool TfmVoMDIMain::event(QEvent *e) {
    const bool handled = QMainWindow::event(e);
    if (!m_activated && (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)) {
        m_activated = true;
        // After the show has finished, so that the window is on screen while the start-up runs.
        QTimer::singleShot(0, this, [this] {
            try {
                FirstActivation();
            } catch (const std::exception &ex) {
                VoShowException(ex);
            }
        });
    }
    return handled;
}
