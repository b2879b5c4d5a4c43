#pragma once
// A program's main window driven in tests as a user drives it: shown until its first activation has
// run, its child windows closed, the parameters chosen in the dialog of the menu's item, the documents
// it opens taken before the desktop's viewer.
#include <QObject>
#include <QStringList>

class QUrl;
class TVoCustomAtt;
class TVoParamManager;
class TdmVoAttivazioni;
class TfmVoMDIMain;

// Shows the main window and waits for its first activation, which runs just after the show and ends
// with the menu built or the window closed.
void VoShowAndActivate(TfmVoMDIMain *main);
// Closes the windows of the MDI area and waits until they are gone.
void VoCloseAllChildren(TfmVoMDIMain *main);
// Runs the parameters item and, in the dialog it opens, chooses the school and the register-year
// (-1: none) and confirms; true when the item ran.
bool VoChooseParameters(TVoCustomAtt *paramItem, TVoParamManager *manager, int schoolId, int registerYearId);
// The window classes that a program's menu module, the add-ons' menus and the responsibles' frames
// name and that are not registered, sorted; empty when every one of them would open.
QStringList VoUnregisteredMenuWindows(const TdmVoAttivazioni *menu);

// While it lives, takes the documents the program opens with the desktop's viewer.
class TVoDocumentViewer : public QObject {
    Q_OBJECT
public:
    TVoDocumentViewer();
    ~TVoDocumentViewer() override;
    QStringList opened;
public slots:
    void Open(const QUrl &url);
};
