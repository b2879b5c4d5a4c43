#include "kvaFMain.h"

#include "AbcCProgram.h"
#include "AbcMVpro.h"
#include "AbeMSettCons.h"
#include "AbiMBen.h"
#include "VoAddOns.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoRptTreeView.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "kvaFSelectPrg.h"
#include "kvaMAtt.h"
#include "kvaMConn.h"
#include "kvaMReport.h"
#include "kvaUStart.h"
#include "kvaUUtil.h"

#include <QFileInfo>
#include <QTimer>

TfmkvaMain *fmkvaMain = nullptr;

namespace {

// Every loading row without a VAT rate takes its article's rate.
const char *const kVatRepairSQL =
    "UPDATE TAfc_ArtVelist afc SET afc.iAlvId = (SELECT far.iAlvId FROM TFar_FacArticoli far WHERE "
    "far.iFarId = "
    "afc.iFarId) WHERE afc.iAlvId IS NULL AND EXISTS (SELECT 1 FROM TFBuo_Buoni buo WHERE buo.iFBuoId = "
    "afc.iFBuoId AND buo.iFBuoTipo = 0)";

// The durable-goods program, started with the values of this one's login; this one ends either way.
void StartKvb() {
    TVoAttShell *launcher = dmkvaAtt->xasBeniDur;
    launcher->Directory = GetMainDir() + QStringLiteral("bin/");
    launcher->FileName = QStringLiteral("kvb");
    if (!QFileInfo(launcher->FullPath()).isExecutable()) {
        VoMessageBox(QStringLiteral("Programma non aggiornato"));
        return;
    }
    // The connection is opened just to read its values, and closed again.
    if (!dmkvaConn->OpenConnection()) {
        dmkvaConn->ShowLastError();
        return;
    }
    launcher->Parameters = BuildKvbArguments(QString::fromLatin1(kvaKvbTemplate), *dmkvaConn->xqoMain);
    dmkvaConn->xqoMain->Close();
    launcher->Execute();
}

// The program choice: Cancel ends the program, the durable-goods program starts instead of this one.
bool ChooseProgram(TfmAbcMain *) {
    if (fmKvaSelectPrg->exec() != QDialog::Accepted)
        return false;
    if (fmKvaSelectPrg->Choice() == QLatin1String("Kvb")) {
        StartKvb();
        return false;
    }
    return true;
}

void HookReports(TfmAbcMain *) {
    if (TVoRptTreeView *tree = TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe))
        kvaHookReports(tree);
}

void CheckRegisterOptions(TfmAbcMain *) {
    if (kvaRegisterOptionsMissing()) {
        VoMessageDlg(QString::fromUtf8(kvaRegisterOptionsMessage), mtInformation, mbOK);
        dmkvaAtt->xafVelist->Execute();
    }
}

void RepairVatRates(TfmAbcMain *) {
    // Two copies starting together repair the same rows; the one that waited finds them repaired.
    VoWriteRetryingConflicts([] { VoExecSQL(QString::fromLatin1(kVatRepairSQL)); });
}

// A catalogue that cannot be rebuilt leaves the program unusable: it closes.
void SynchroniseArticles(TfmAbcMain *main) {
    if (!SyncArticles())
        QTimer::singleShot(0, main, &QWidget::close);
}

TAbcProgram MakeProgram() {
    TAbcProgram p;
    p.Code = QStringLiteral("KVA");
    p.Title = QStringLiteral("Velisto");
    p.DBVersion = QStringLiteral("6.44.0");
    p.ParamCodes = {QStringLiteral("KVA=1.0"), QStringLiteral("VO=1.0"), QStringLiteral("ZNA=1.0")};
    p.DurableGoods = false;
    p.RegisterDescLength = 32;
    p.NewestYearFirst = false;
    p.ParamControlLeft = 95;
    p.ParamControlWidth = 300;
    p.ReloadWithoutRegisterYear = true;
    p.SchoolPanelWidth = 300;
    p.RegisterYearPanelWidth = 500;
    p.MenuImages = &kvaMenuImages;
    p.HelpFile = QStringLiteral("HelpVOREX_VELISTO.chm");
    p.ManualFileName = QStringLiteral("Velisto.pdf");
    p.ReleaseNotesMarker = QStringLiteral("etc/kva/kva_Version.txt");
    p.ReleaseNotesAtFirstShow = false;
    p.Connection = [] { return static_cast<TdmVoConnection *>(dmkvaConn); };
    p.Menu = [] { return static_cast<TdmAbcAtt *>(dmkvaAtt); };
    p.BeforeMainWindow = &ChooseProgram;
    p.LoadContext = &kva::LoadWorkingContext;
    p.ParamDescription = &kva::GetParamDescription;
    p.FirstActivationSteps = {&HookReports, &CheckRegisterOptions, &RepairVatRates,
                              [](TfmAbcMain *main) { main->ShowReleaseNotes(); }, &SynchroniseArticles};
    return p;
}

} // namespace

const TAbcProgram &kvaProgram() {
    static const TAbcProgram program = MakeProgram();
    return program;
}

TfmkvaMain::TfmkvaMain(QWidget *parent) : TfmAbcMain(kvaProgram(), parent) {
    setObjectName(QStringLiteral("fmkvaMain"));
}

TfmkvaMain *kvaCreateModules(QObject *owner, const std::function<void(TdmkvaConn *)> &setUpConnection) {
    dmkvaConn = new TdmkvaConn(owner);
    if (setUpConnection)
        setUpConnection(dmkvaConn);
    dmznsActivations = new TdmznsActivations(owner);
    dmkvaAtt = new TdmkvaAtt(owner);
    fmKvaSelectPrg = new TfmKvaSelectPrg(nullptr);
    fmkvaMain = new TfmkvaMain(nullptr);
    fmkvaMain->FormCreate();
    dmkvaReport = new TdmkvaReport(owner);
    dmVproDBQuery = new TdmVproDBQuery(owner);
    dmBeneficiari = new TdmBeneficiari(owner);
    dmSecSettCons = new TdmSecSettCons(owner);
    return fmkvaMain;
}

void kvaDestroyModules() {
    delete fmkvaMain;
    fmkvaMain = nullptr;
    delete fmKvaSelectPrg;
    fmKvaSelectPrg = nullptr;
    delete dmkvaReport;
    dmkvaReport = nullptr;
    AbcDestroyModules(dmkvaAtt, dmkvaConn);
    dmkvaAtt = nullptr;
    dmkvaConn = nullptr;
}
