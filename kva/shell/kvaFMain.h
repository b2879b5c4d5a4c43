#pragma once
#include "VoMDIMain.h"

#include <functional>

class TdmkvaConn;

// The main window of the consumables register. Its creation shows the program choice; its first
// activation opens the database, builds the menu, loads the working context and checks the data.
class TfmkvaMain : public TfmVoMDIMain {
    Q_OBJECT
public:
    explicit TfmkvaMain(QWidget *parent = nullptr);

    void FormCreate();
    // Runs the first-activation sequence once; later activations do nothing of their own.
    void FormActivate();

    bool ExitRequested() const { return m_exitRequested; }
    // The status-bar text of a panel (1 school, 2 register-year).
    void RefreshStatusPanel(int panel);
    void LoadMenuImages();
    // Where the release notes are, for the link of the help menu.
    QString ReleaseNotesPath() const { return m_releaseNotesPath; }

protected:
    void FirstActivation() override { FormActivate(); }

private:
    void StartKvb();
    bool m_exitRequested = false;
    bool m_firstActivate = false;
    QString m_releaseNotesPath;
};

extern TfmkvaMain *fmkvaMain;

// Creates the program's modules and windows in their order, the main window last but the report
// and shared modules; the main window's creation runs the program choice. The connection module can
// be given its values before anything uses it.
TfmkvaMain *kvaCreateModules(QObject *owner, const std::function<void(TdmkvaConn *)> &setUpConnection = {});
// Frees what kvaCreateModules made.
void kvaDestroyModules();
