#pragma once
// A page control whose change of page a window may refuse: a handler of OnChanging that clears
// Allow keeps the page in front (a page whose typing the user chose to keep). Whatever moves to
// another page, a click on a tab, a key or code, passes the same question.
#include "VoEvent.h"

#include <QTabWidget>

// Puts a page control's tabs after its pages in the Tab order: Tab from the controls before it goes
// straight into the page in front, and reaches the tabs, where the arrows turn the pages, on its way
// out. To be called once the pages hold their controls.
void VoTabsAfterPages(QTabWidget *pages);

class TVoPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TVoPageControl(QWidget *parent = nullptr);

    // Brings a page forward; false when a handler refused.
    bool SetActivePage(int index);
    bool SetActivePage(QWidget *page) { return SetActivePage(indexOf(page)); }

    // The page in front as the window knows it: while OnChanging runs, still the old one.
    int ActivePageIndex() const { return m_current; }

    // Before another page comes forward (index: the new one); ActivePageIndex is still the old.
    TVoEvent<TVoPageControl *, int, bool &> OnChanging;
    // A page came forward.
    TVoEvent<TVoPageControl *, int> OnChange;

private:
    void PageChanged(int index);
    int m_current = -1;
    bool m_reverting = false;
};
