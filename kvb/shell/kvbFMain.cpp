#include "kvbFMain.h"

#include "AbcCProgram.h"
#include "AbcMVpro.h"
#include "AbeMSettCons.h"
#include "AbiMBen.h"
#include "VoAddOns.h"
#include "VoRptTreeView.h"
#include "kvbMAtt.h"
#include "kvbMConn.h"
#include "kvbMReport.h"
#include "kvbUUtil.h"

TfmkvbMain *fmkvbMain = nullptr;

namespace {

void HookReports(TfmAbcMain *) {
    if (TVoRptTreeView *tree = TVoRptTreeView::Of(dmkvbAtt->xarkvbStampe))
        kvbHookReports(tree);
}

TAbcProgram MakeProgram() {
    TAbcProgram p;
    p.Code = QStringLiteral("KVB");
    p.Title = QStringLiteral("Velisto - Beni durevoli");
    p.DBVersion = QStringLiteral("5.70.0");
    p.ParamCodes = {QStringLiteral("KVB=1.0"), QStringLiteral("VO=1.0"), QStringLiteral("ZNA=1.0")};
    p.DurableGoods = true;
    p.RegisterDescLength = 0;
    p.NewestYearFirst = true;
    p.ParamControlLeft = -1;
    p.ParamControlWidth = 230;
    p.ReloadWithoutRegisterYear = false;
    p.SchoolPanelWidth = 400;
    p.RegisterYearPanelWidth = 500;
    p.MenuImages = &kvbMenuImages;
    p.HelpFile = QStringLiteral("HelpVOREX_INVENTARIO.chm");
    p.ManualFileName = QStringLiteral("BeniDurevoli.pdf");
    p.ReleaseNotesMarker = QStringLiteral("etc/kvb/kvb_Version.txt");
    p.ReleaseNotesAtFirstShow = true;
    p.Connection = [] { return static_cast<TdmVoConnection *>(dmkvbConn); };
    p.Menu = [] { return static_cast<TdmAbcAtt *>(dmkvbAtt); };
    p.LoadContext = &kvb::LoadWorkingContext;
    p.ParamDescription = &kvb::GetParamDescription;
    p.FirstActivationSteps = {&HookReports};
    return p;
}

} // namespace

const TAbcProgram &kvbProgram() {
    static const TAbcProgram program = MakeProgram();
    return program;
}

QList<QIcon> kvbMenuImages() {
    // Pictures of our own, one per menu function; 13 is the reports', 29 to 31 are the imports' and
    // the program's own.
    return AbcMenuPictures({
        {"C+", 0x2e7d32},     {"S-", 0xc62828},     {"\u21c4", 0x6a1b9a}, {"\u2630", 0x1565c0},
        {"\u2302", 0x455a64}, {"\u2709", 0x00838f}, {"F", 0xef6c00},      {"Del", 0x283593},
        {"Av", 0x5d4037},     {"Vb", 0x546e7a},     {"Cat", 0x00695c},    {"Co", 0x9e9d24},
        {"%", 0xad1457},      {"St", 0xf9a825},     {"Ca", 0x4527a0},     {"P", 0x37474f},
        {"Se", 0x2e7d32},     {"R", 0x6d4c41},      {"N", 0x0277bd},      {"Cm", 0x616161},
        {"Ri", 0x1b5e20},     {"#", 0xb71c1c},      {"D", 0x4e342e},      {"Ag", 0x3e2723},
        {"\u20ac", 0x1a237e}, {"Ch", 0x880e4f},     {"\u25a6", 0x33691e}, {"Ve", 0x004d40},
        {"Sb", 0x3949ab},     {"Bl", 0x8d6e63},     {"M", 0x00796b},      {"V", 0x1565c0},
    });
}

TfmkvbMain::TfmkvbMain(QWidget *parent) : TfmAbcMain(kvbProgram(), parent) {
    setObjectName(QStringLiteral("fmkvbMain"));
}

TfmkvbMain *kvbCreateModules(QObject *owner, const std::function<void(TdmkvbConn *)> &setUpConnection) {
    kvb::ResetWorkingContext();
    dmkvbConn = new TdmkvbConn(owner);
    if (setUpConnection)
        setUpConnection(dmkvbConn);
    dmznsActivations = new TdmznsActivations(owner);
    dmkvbAtt = new TdmkvbAtt(owner);
    fmkvbMain = new TfmkvbMain(nullptr);
    fmkvbMain->FormCreate();
    dmkvbReport = new TdmkvbReport(owner);
    dmVproDBQuery = new TdmVproDBQuery(owner);
    dmSecSettCons = new TdmSecSettCons(owner);
    dmBeneficiari = new TdmBeneficiari(owner);
    return fmkvbMain;
}

void kvbDestroyModules() {
    delete fmkvbMain;
    fmkvbMain = nullptr;
    delete dmkvbReport;
    dmkvbReport = nullptr;
    AbcDestroyModules(dmkvbAtt, dmkvbConn);
    dmkvbAtt = nullptr;
    dmkvbConn = nullptr;
}
