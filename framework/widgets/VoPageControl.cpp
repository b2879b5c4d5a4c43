#include "VoPageControl.h"

#include "VoMessages.h"

#include <QSignalBlocker>

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
