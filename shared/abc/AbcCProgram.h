#pragma once
// What tells the two programs apart on their common shell: a program's profile. The main window, the
// menu module and the parameters module of the shell read every difference between the consumables
// register and the durable-goods program from here, so that what they share is written once.
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class TdmAbcAtt;
class TdmVoConnection;
class TfmAbcMain;

struct TAbcProgram {
    // Application code ("KVA", "KVB"): the connection's, and the list of the program's XML definitions.
    QString Code;
    QString Title;
    QString DBVersion;
    // The application codes whose parameters the parameters dialog shows ("KVA=1.0", "VO=1.0", ...).
    QStringList ParamCodes;
    // The registers of the program: those of types 5 and 7, or all the others.
    bool DurableGoods = false;

    // The register-years of the parameters dialog: characters of the register's description shown
    // (0: all of it), the newest year first or the oldest, where the two controls stand (-1: where the
    // dialog puts them) and how wide they are.
    int RegisterDescLength = 0;
    bool NewestYearFirst = false;
    int ParamControlLeft = -1;
    int ParamControlWidth = 0;
    // Whether confirming the dialog without a register-year reloads the working context.
    bool ReloadWithoutRegisterYear = true;

    // Widths of the status-bar panels of the school and of the register-year.
    int SchoolPanelWidth = 0;
    int RegisterYearPanelWidth = 0;
    // The pictures of the menu, in the order the items refer to them by index.
    std::function<QList<QIcon>()> MenuImages;
    QString HelpFile;
    QString ManualFileName;
    // The marker of an update (below the main folder): while it exists the release notes are shown.
    QString ReleaseNotesMarker;
    // Shown when the main window is first shown; otherwise one of the first-activation steps shows
    // them.
    bool ReleaseNotesAtFirstShow = false;

    // The program's modules.
    std::function<TdmVoConnection *()> Connection;
    std::function<TdmAbcAtt *()> Menu;
    // A dialog before the main window is ready; false ends the program at the first activation.
    std::function<bool(TfmAbcMain *main)> BeforeMainWindow;
    // Loads the working context from the parameters (first activation, or after they are written).
    std::function<void(bool firstActivation)> LoadContext;
    // The text of a parameter's value for the status bar.
    std::function<QVariant(const QString &name)> ParamDescription;
    // What the first activation does after the common steps, in order.
    QList<std::function<void(TfmAbcMain *main)>> FirstActivationSteps;
};

// The program of this process: the profile last set, an empty one when none was.
const TAbcProgram &AbcProgram();

// Makes a profile the program of the process: each program's start-up calls it, beside the registration
// of its windows, so that a binary holding both programs' code answers for the one it runs.
void AbcSetProgram(const TAbcProgram &program);
