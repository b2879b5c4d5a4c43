#include "VoPageControl.h"

#include "VoMessages.h"

#include <QSignalBlocker>
#include <QTabBar>

void VoTabsAfterPages(QTabWidget *pages) {
    // The pages' controls follow the tabs in one run, each having come into the page control with its
    // page; the last of them that takes the focus at all is where the tabs go.
    QTabBar *tabs = pages->tabBar();
    QWidget *last = nullptr;
    for (QWidget *w = tabs->nextInFocusChain(); w != tabs && pages->isAncestorOf(w);
         w = w->nextInFocusChain())
        if (!tabs->isAncestorOf(w) && w->focusPolicy() != Qt::NoFocus)
            last = w;
    if (!last)
        return;
    QWidget::setTabOrder(last, tabs);
    // The page control itself, which stands before its pages, no longer hands Tab to the tabs.
    pages->setFocusProxy(nullptr);
    pages->setFocusPolicy(Qt::NoFocus);
}

TVoPageControl::TVoPageControl(QWidget *parent) : QTabWidget(parent) {
    connect(this, &QTabWidget::currentChanged, this, [this](int index) { PageChanged(index); });
}

bool TVoPageControl::SetActivePage(int index) {
    if (index < 0 || index >= count())
        return false;
    setCurrentIndex(index);
    return currentIndex() == index;
}

// Qt has already shown the new page: a refusal puts the old one back before anything is painted.
void TVoPageControl::PageChanged(int index) {
    if (m_reverting)
        return;
    const int previous = m_current;
    bool allow = true;
    if (previous >= 0 && index >= 0 && !VoGuarded([&] { OnChanging(this, index, allow); }))
        allow = false;
    if (!allow) {
        m_reverting = true;
        const QSignalBlocker blocker(this);
        setCurrentIndex(previous);
        m_reverting = false;
        return;
    }
    m_current = index;
    VoGuarded([&] { OnChange(this, index); });
}
