#pragma once
#include "AbcFMain.h"

#include <functional>

struct TAbcProgram;
class TdmkvaConn;

// The main window of the consumables register: the common main window with the program choice before
// it, and at its first activation the register options checked, the loading rows' VAT rates repaired
// and the release notes shown after an update.
class TfmkvaMain : public TfmAbcMain {
    Q_OBJECT
public:
    explicit TfmkvaMain(QWidget *parent = nullptr);
};

extern TfmkvaMain *fmkvaMain;

// The consumables register's profile on the common shell.
const TAbcProgram &kvaProgram();

// Creates the program's modules and windows in their order, the main window last but the report
// and shared modules; the main window's creation runs the program choice. The connection module can
// be given its values before anything uses it.
TfmkvaMain *kvaCreateModules(QObject *owner, const std::function<void(TdmkvaConn *)> &setUpConnection = {});
// Frees what kvaCreateModules made.
void kvaDestroyModules();
