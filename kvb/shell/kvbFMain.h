#pragma once
#include "AbcFMain.h"

#include <functional>

struct TAbcProgram;
class TdmkvbConn;

// The main window of the durable-goods program: the common main window, showing the release notes
// once after an update when it is first shown.
class TfmkvbMain : public TfmAbcMain {
    Q_OBJECT
public:
    explicit TfmkvbMain(QWidget *parent = nullptr);
};

extern TfmkvbMain *fmkvbMain;

// The durable-goods program's profile on the common shell.
const TAbcProgram &kvbProgram();
// The 32 pictures of the menu, in the order the menu items refer to them by index.
QList<QIcon> kvbMenuImages();

// Creates the program's modules in their order: the connection module (which can be given its values
// before anything uses it), the add-on's menu, the menu module (with the parameters module), the main
// window and the shared registries' modules. The working context starts empty.
TfmkvbMain *kvbCreateModules(QObject *owner, const std::function<void(TdmkvbConn *)> &setUpConnection = {});
// Frees what kvbCreateModules made.
void kvbDestroyModules();
