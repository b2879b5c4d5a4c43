#include "VoMDIMain.h"

#include "VoChildDB.h"
#include "VoClassRegistry.h"
#include "VoForms.h"
#include "VoOutlookBar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

namespace {

const QKeySequence kCloseChild(Qt::ControlModifier | Qt::Key_F4);

QList<QPointer<TfmVoMDIMain>> &Instances() {
    static QList<QPointer<TfmVoMDIMain>> instances;
    return instances;
}
} // namespace

// The splitter gets its parent from setCentralWidget: made as a child here, it would send this window an
// event while the members after it are not yet initialised, and event() reads them.
TfmVoMDIMain::TfmVoMDIMain(QWidget *parent)
    : QMainWindow(parent), m_mdi(new QMdiArea), m_bar(new TVoOutlookBar), m_splitter(new QSplitter) {
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_splitter->setObjectName(QStringLiteral("spOLBar"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_bar);
    m_splitter->addWidget(m_mdi);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({184, 800});
    setCentralWidget(m_splitter);
    AddPanel(150);
    // The keys of every desktop MDI program: close the window in front, move to the next one.
    const std::pair<QKeySequence, void (QMdiArea::*)()> keys[] = {
        {kCloseChild, &QMdiArea::closeActiveSubWindow},
        {QKeySequence(Qt::ControlModifier | Qt::Key_Tab), &QMdiArea::activateNextSubWindow},
        {QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Backtab),
         &QMdiArea::activatePreviousSubWindow},
    };
    for (const auto &[key, step] : keys) {
        auto *action = new QAction(this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, m_mdi, step);
        addAction(action);
    }
    // The last window closed, the keys go back to the menu it was opened from, not nowhere.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *active) {
        if (active)
            return;
        QTimer::singleShot(0, this, [this] {
            QWidget *page = m_bar->currentWidget();
            if (page && isActiveWindow() && !m_mdi->currentSubWindow() && !QApplication::focusWidget())
                page->setFocus(Qt::OtherFocusReason);
        });
    });
    Instances().append(this);
}

TfmVoMDIMain::~TfmVoMDIMain() {
    Instances().removeAll(this);
}

TfmVoMDIMain *TfmVoMDIMain::Instance() {
    auto &list = Instances();
    list.removeAll(nullptr);
    return list.isEmpty() ? nullptr : list.last().data();
}

QString TfmVoMDIMain::PlacementFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/velisto/windows.ini");
}

namespace {
QString PlacementKey(const QObject *window) {
    return QString::fromLatin1(window->metaObject()->className()) + QStringLiteral("/Geometry");
}
} // namespace

void TfmVoMDIMain::ShowAsLeft() {
    m_keepPlacement = true;
    const QSettings settings(PlacementFileName(), QSettings::IniFormat);
    // A place saved on a screen that is gone is brought back onto the one there is.
    if (restoreGeometry(settings.value(PlacementKey(this)).toByteArray()))
        show();
    else
        showMaximized();
}

QMdiSubWindow *TfmVoMDIMain::AddMDIChild(QWidget *child, bool show) {
    QMdiSubWindow *sub = m_mdi->addSubWindow(child);
    // The frame goes with its window: a closed child leaves no empty frame behind.
    sub->setAttribute(Qt::WA_DeleteOnClose);
    child->setAttribute(Qt::WA_DeleteOnClose);
    // A dialog shown among the windows ends by OK or Cancel, which only closes the dialog itself.
    if (auto *dialog = qobject_cast<QDialog *>(child))
        connect(dialog, &QDialog::finished, sub, &QMdiSubWindow::close);
    // The main window's Ctrl+F4 closes the child in front wherever the focus is; the frame's own
    // would make the key ambiguous.
    if (QMenu *menu = sub->systemMenu())
        for (QAction *action : menu->actions())
            if (QList<QKeySequence> keys = action->shortcuts(); keys.removeAll(kCloseChild) > 0)
                action->setShortcuts(keys);
    if (show)
        ShowMDIChild(child);
    return sub;
}

void TfmVoMDIMain::ShowMDIChild(QWidget *child) {
    auto *sub = qobject_cast<QMdiSubWindow *>(child->parentWidget());
    if (!sub)
        return;
    auto *db = qobject_cast<TfmVoChildDB *>(child);
    if (db && db->OpenMaximized)
        sub->showMaximized();
    else
        sub->show();
    m_mdi->setActiveSubWindow(sub);
}

QList<QWidget *> TfmVoMDIMain::ActiveMDIChildren() const {
    QList<QWidget *> children;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget())
            children << sub->widget();
    return children;
}

int TfmVoMDIMain::MDIChildCount() const {
    return int(ActiveMDIChildren().size());
}

QWidget *TfmVoMDIMain::ActiveMDIChild() const {
    QMdiSubWindow *sub = m_mdi->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

QWidget *TfmVoMDIMain::FindMDIChild(const QString &className) const {
    for (QWidget *child : ActiveMDIChildren())
        if (VoFormClassName(child).compare(className, Qt::CaseInsensitive) == 0 ||
            QString::fromLatin1(child->metaObject()->className()).compare(className, Qt::CaseInsensitive) ==
                0)
            return child;
    return nullptr;
}

void TfmVoMDIMain::BringToFront(QWidget *window) {
    if (!window)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        if (sub->isMinimized())
            sub->showNormal();
        else if (!sub->isVisible())
            sub->show();
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        sub->raise();
        return;
    }
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
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

void TfmVoMDIMain::closeEvent(QCloseEvent *e) {
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->close() && !sub->isMinimized()) {
            e->ignore();
            return;
        }
    QMainWindow::closeEvent(e);
    if (e->isAccepted() && m_keepPlacement) {
        QSettings settings(PlacementFileName(), QSettings::IniFormat);
        settings.setValue(PlacementKey(this), saveGeometry());
    }
}

bool TfmVoMDIMain::event(QEvent *e) {
    const bool handled = QMainWindow::event(e);
    if (!m_activated && (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)) {
        m_activated = true;
        // After the show has finished, so that the window is on screen while the start-up runs.
        QTimer::singleShot(0, this, [this] { VoGuarded([this] { FirstActivation(); }); });
    }
    return handled;
}
