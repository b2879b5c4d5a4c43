#pragma once
// The programs' main window: an MDI frame whose children are the registry and document windows,
// with status-bar panels whose texts the program supplies.
#include <QList>
#include <QMainWindow>
#include <functional>

class QLabel;
class QMdiArea;

class TfmVoMDIMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmVoMDIMain(QWidget *parent = nullptr);

    QMdiArea *MdiArea() const { return m_mdi; }
    int MDIChildCount() const;

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

private:
    QMdiArea *m_mdi;
    QList<QLabel *> m_panels;
    bool m_activated = false;
};
