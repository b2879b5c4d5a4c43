#pragma once
// What the menus of both programs share: the item "Parametri" with its three events, the release
// notes, the invoice register started with the login values, and the guards of the items that open
// the parameters-dependent windows and the shared registries (beneficiaries, delivery sectors, budget,
// responsibles). A program's menu module derives from it, lays out its own pages and items and hooks
// these handlers to them.
#include "VoAttivazioni.h"

#include <QPointer>
#include <QStringList>
#include <initializer_list>
#include <utility>

struct TAbcProgram;
class TdmAbcParams;
class TVoSQLConnection;

class TdmAbcAtt : public TdmVoAttivazioni {
    Q_OBJECT
public:
    TdmAbcAtt(const TAbcProgram &program, QObject *parent = nullptr);

    // Made by AddParamItem and AddInvoiceRegisterItem; the release notes have no page.
    TVoAttComponent *xacParam = nullptr;
    TVoAttShell *xasFatture = nullptr;
    TVoAttShell *xasNotizie;

    // The program's parameters module.
    virtual TdmAbcParams *ParamsModule() const = 0;

    // The first open window whose caption is exactly the text; nullptr when none.
    static QWidget *FindOpenForm(const QString &caption);
    // The persons registry's frame callback: the responsibles get addresses, phones and e-mail.
    static void AddResponsabiliFrames(int kind, QStringList &frameClasses, QStringList &frameCaptions);

protected:
    // "Parametri": refused while a window is open, shows the parameters dialog, then refreshes the
    // status bar.
    TVoAttComponent *AddParamItem(TVoApgPage *page, int order, int imageIndex);
    // "Registro Fatture": the invoice register beside the programs, disabled.
    TVoAttShell *AddInvoiceRegisterItem(TVoApgPage *page, int order, int imageIndex);
    // The add-on's item on one of the program's pages.
    void PlaceAddOnItem(TVoApgPage *page, int order, int imageIndex);
    static void SetHelpNumbers(std::initializer_list<std::pair<TVoCustomAtt *, int>> topics);

    // Allowed only with both parameters set and the register-year one of the program's registers (a
    // stored "0", a removed register-year or another program's are as good as unset); otherwise the
    // user is told and the parameters dialog opens.
    void ParametersGuard(bool &Allow);
    void xafBeneficiariBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xafSettConsBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    // The budget windows: expenses unless the item's window is open already, which comes forward.
    void BudgetGuard(TVoAttForm *item, const QPointer<QWidget> &open, bool &Allow);
    static void BudgetFormInitialised(QWidget *Form, int helpContext, QPointer<QWidget> &open);
    void xafResponsabiliBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xasFattureBeforeExecute(TVoCustomAtt *Sender, bool &Allow);

    const TAbcProgram &m_program;

private:
    void xacParamExecute(TVoCustomAtt *Sender);
    void xacParamBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xacParamAfterExecute(TVoCustomAtt *Sender);
    void xasNotizieBeforeExecute(TVoCustomAtt *Sender, bool &Allow);
    void xasNotizieAfterExecute(TVoCustomAtt *Sender);
};

// The three login values with which the invoice register is started.
QStringList KviArguments(const TVoSQLConnection &connection);
// The folder of the release notes, which both programs show: "etc/kva/" below the main folder.
QString AbcReleaseNotesDir();
