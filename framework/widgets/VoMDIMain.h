#pragma once
// The programs' main window: an MDI frame whose children are the registry and document windows, the
// outlook-style bar of the menu pages on its left, and status-bar panels whose texts the program
// supplies. Ctrl+F4 closes the child in front, Ctrl+Tab and Ctrl+Shift+Tab move to the next and the
// previous one.
#include "VoImages.h"

#include <QList>
#include <QMainWindow>
#include <functional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QSplitter;
class TVoOutlookBar;

class TfmVoMDIMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmVoMDIMain(QWidget *parent = nullptr);
    ~TfmVoMDIMain() override;

    // The program's main window: the last one created that still exists.
    static TfmVoMDIMain *Instance();

    // Shows the window as the user left it when the program last ended: maximised at the first start,
    // so that the windows it holds open at the screen's full width. From then on its place is kept
    // when it closes.
    void ShowAsLeft();
    // Where the main windows keep their places between runs, each under its class name.
    static QString PlacementFileName();

    QMdiArea *MdiArea() const { return m_mdi; }
    // The bar of the menu pages and the splitter between it and the MDI area.
    TVoOutlookBar *mxOLBar() const { return m_bar; }
    QSplitter *spOLBar() const { return m_splitter; }
    // The pictures of the menu items, by index.
    TVoImageList &MenuImages() { return m_menuImages; }

    // Puts a window in the MDI area (the area takes it over) and shows it unless told not to.
    QMdiSubWindow *AddMDIChild(QWidget *child, bool show = true);
    // Shows a child added without showing it, maximised when it asks to open so, and makes it current.
    void ShowMDIChild(QWidget *child);
    // The windows in the MDI area, in the order they were opened.
    QList<QWidget *> ActiveMDIChildren() const;
    int MDIChildCount() const;
    // The child in front; nullptr when there is none.
    QWidget *ActiveMDIChild() const;
    // The first open child of a class: its registered name or its C++ class name, ignoring case.
    QWidget *FindMDIChild(const QString &className) const;
    // Brings a window forward: an MDI child is restored if minimised and made current; another
    // window is shown and raised.
    static void BringToFront(QWidget *window);

    // Help file of the program; kept, no help is shown.
    QString HelpFile() const { return m_helpFile; }
    void SetHelpFile(const QString &fileName) { m_helpFile = fileName; }

    // Adds a status-bar panel of the given width; returns its index (panel 0 is the framework's own).
    int AddPanel(int width);
    int PanelCount() const { return int(m_panels.size()); }
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString &text);
    // Asks DoOnRefreshPanel for the text of every panel.
    void RefreshPanels();
    std::function<void(int panel)> DoOnRefreshPanel;

protected:
    // Runs once, at the first show or activation of the window (also when no window manager
    // activates it, as offscreen).
    virtual void FirstActivation() {}
    bool event(QEvent *e) override;
    // The windows close first, each asking about its unsaved changes; one kept open keeps the program.
    void closeEvent(QCloseEvent *e) override;

private:
    QMdiArea *m_mdi;
    TVoOutlookBar *m_bar;
    QSplitter *m_splitter;
    TVoImageList m_menuImages;
    QList<QLabel *> m_panels;
    QString m_helpFile;
    bool m_activated = false;
    bool m_keepPlacement = false;
};
