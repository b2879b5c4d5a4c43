#include "kvaFMain.h"

#include "AbcMVpro.h"
#include "AbeMSettCons.h"
#include "AbiMBen.h"
#include "VoAddOns.h"
#include "VoConnection.h"
#include "VoGlobals.h"
#include "VoMessages.h"
#include "VoOutlookBar.h"
#include "VoQuery.h"
#include "VoRptTreeView.h"
#include "VoUtils.h"
#include "kvaFSelectPrg.h"
#include "kvaMAtt.h"
#include "kvaMConn.h"
#include "kvaMParams.h"
#include "kvaMReport.h"
#include "kvaUStart.h"
#include "kvaUUtil.h"

#include <QApplication>
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

} // namespace

TfmkvaMain::TfmkvaMain(QWidget *parent) : TfmVoMDIMain(parent) {
    setObjectName(QStringLiteral("fmkvaMain"));
    setWindowTitle(QStringLiteral("Velisto"));
    resize(1100, 720);
}

void TfmkvaMain::FormCreate() {
    m_exitRequested = false;
    if (fmKvaSelectPrg->exec() != QDialog::Accepted) {
        m_exitRequested = true;
    } else if (fmKvaSelectPrg->Choice() == QLatin1String("Kvb")) {
        StartKvb();
        m_exitRequested = true;
    }
    LoadMenuImages();
    m_releaseNotesPath = GetMainDir() + QStringLiteral("etc/kva/kva_notizie.pdf");
    m_firstActivate = true;
    dmkvaAtt->SetContainer(mxOLBar());
    xgvmGlobalVar.Add(QStringLiteral("DefaultParamManager"),
                      QVariant::fromValue<QObject *>(dmkvaParams->xpmVouParams));
    AddPanel(300);
    AddPanel(500);
    DoOnRefreshPanel = [this](int panel) { RefreshStatusPanel(panel); };
    SetHelpFile(QStringLiteral("HelpVOREX_VELISTO.chm"));
}

void TfmkvaMain::StartKvb() {
    TVoAttShell *launcher = dmkvaAtt->xasBeniDur;
    launcher->Directory = GetMainDir() + QStringLiteral("bin/");
    launcher->FileName = QStringLiteral("kvb");
    if (!QFileInfo(launcher->FullPath()).isExecutable()) {
        VoMessageBox(QStringLiteral("Programma non aggiornato"));
        return;
    }
    // The connection is opened just to read its values, and closed again.
    if (!dmkvaConn->OpenConnection())
        return;
    launcher->Parameters = BuildKvbArguments(QString::fromLatin1(kvaKvbTemplate), *dmkvaConn->xqoMain);
    dmkvaConn->xqoMain->Close();
    launcher->Execute();
}

void TfmkvaMain::FormActivate() {
    if (m_exitRequested) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    if (!m_firstActivate)
        return;
    m_firstActivate = false;
    if (!dmkvaConn->OpenConnection()) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    dmkvaAtt->Execute();
    if (mxOLBar()->PageCount() > 0)
        mxOLBar()->setCurrentIndex(0);
    xgvmGlobalVar.Add(QStringLiteral("DefaultParamManager"),
                      QVariant::fromValue<QObject *>(dmkvaParams->xpmVouParams));
    LoadWorkingContext(true);
    RefreshPanels();
    if (TVoRptTreeView *tree = TVoRptTreeView::Of(dmkvaAtt->xarkvaStampe))
        kvaHookReports(tree);
    if (kvaRegisterOptionsMissing()) {
        VoMessageDlg(QString::fromUtf8(kvaRegisterOptionsMessage), mtInformation, mbOK);
        dmkvaAtt->xafVelist->Execute();
    }
    VoExecSQL(QString::fromLatin1(kVatRepairSQL));
    if (QFileInfo::exists(kvaEtcDir() + QStringLiteral("kva_Version.txt")))
        dmkvaAtt->xasNotizie->Execute();
    if (!SyncArticles())
        QTimer::singleShot(0, this, &QWidget::close);
}

void TfmkvaMain::RefreshStatusPanel(int panel) {
    if (panel == 1)
        SetPanelText(1, QStringLiteral("Istituto: ") + GetParamDescription(ParSchool).toString());
    else if (panel == 2)
        SetPanelText(2, QStringLiteral("Velisto: ") + GetParamDescription(ParRegisterYear).toString());
}

void TfmkvaMain::LoadMenuImages() {
    MenuImages().Clear();
    MenuImages().Add(kvaMenuImages());
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
    delete dmSecSettCons;
    dmSecSettCons = nullptr;
    delete dmBeneficiari;
    dmBeneficiari = nullptr;
    delete dmVproDBQuery;
    dmVproDBQuery = nullptr;
    delete dmkvaReport;
    dmkvaReport = nullptr;
    delete dmkvaAtt;
    dmkvaAtt = nullptr;
    delete dmModAnaAtt;
    dmModAnaAtt = nullptr;
    delete dmznsActivations;
    dmznsActivations = nullptr;
    delete dmkvaConn;
    dmkvaConn = nullptr;
}
