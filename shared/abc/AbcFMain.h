#pragma once
// The main window both programs run on. Its creation asks the program's dialog before it (if any),
// lays out the menu bar and the status-bar panels; its first activation opens the database, builds the
// menu, loads the working context, shows school and register-year in the status bar and runs the
// program's own steps; the release notes come once after an update, at the first show or among those
// steps.
#include "VoMDIMain.h"

#include <QIcon>
#include <QList>
#include <QRgb>

struct TAbcProgram;
class TdmAbcAtt;
class TdmVoConnection;

class TfmAbcMain : public TfmVoMDIMain {
    Q_OBJECT
public:
    explicit TfmAbcMain(const TAbcProgram &program, QWidget *parent = nullptr);

    const TAbcProgram &Program() const { return m_program; }

    void FormCreate();
    // Runs the first-activation sequence once; later activations do nothing of their own.
    void FormActivate();
    void FormShow();

    // Whether the program is to end at its first activation (the dialog before it said so).
    bool ExitRequested() const { return m_exitRequested; }
    // The status-bar text of a panel (1 school, 2 register-year).
    void RefreshStatusPanel(int panel);
    void LoadMenuImages();
    // Runs the release-notes item while the update's marker exists (the item removes it).
    void ShowReleaseNotes();
    // Where the release notes and the manual are, for the links of the help menu.
    QString ReleaseNotesPath() const { return m_releaseNotesPath; }
    QString ManualFileName() const;

protected:
    void FirstActivation() override { FormActivate(); }
    void showEvent(QShowEvent *e) override;

private:
    const TAbcProgram &m_program;
    bool m_exitRequested = false;
    bool m_firstActivate = false;
    QString m_releaseNotesPath;
};

// A menu picture of our own: a coloured tile with a short sign.
struct TAbcPicture {
    const char *sign;
    QRgb colour;
};
QList<QIcon> AbcMenuPictures(const QList<TAbcPicture> &pictures);

// Frees what both programs create beside their own modules (the shared registries' modules and the
// add-ons'), then the program's menu and connection modules.
void AbcDestroyModules(TdmAbcAtt *menu, TdmVoConnection *connection);
