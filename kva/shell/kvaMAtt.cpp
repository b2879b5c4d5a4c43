#include "kvaMAtt.h"

#include "AbcMVpro.h"
#include "AbeMSettCons.h"
#include "AbiMBen.h"
#include "VoAddOns.h"
#include "VoConnection.h"
#include "VoGlobals.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoUtils.h"
#include "kvaMConn.h"
#include "kvaMParams.h"
#include "kvaUStart.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QDir>
#include <QFile>

TdmkvaAtt *dmkvaAtt = nullptr;

namespace {

const char *const kParamsFirst = "Prima di eseguire questa operazione bisogna impostare i parametri";
const char *const kCloseWindows = "Bisogna chiudere tutte le finestre attive per modificare i parametri";
const char *const kRegisterOptionsSQL = "SELECT iFacId FROM TFac_Velisto WHERE ((iFacNumeraz IS NULL) OR "
                                        "(iFacIvaInclusa IS NULL)) AND " KVA_OWN_REGISTERS("ITFCID") ";";
// A register-year chosen in the parameters must exist and belong to this program.
const char *const kRegisterYearOfProgramSQL =
    "SELECT dfa.iDwgFacAnfId FROM TDwgFacAnf dfa INNER JOIN TDwgFac df ON (dfa.iDwgFacId = df.iDwgFacId) "
    "INNER "
    "JOIN TFac_Velisto fac ON (df.iFacId = fac.iFacId) WHERE dfa.iDwgFacAnfId = :iDwgFacAnfId "
    "AND " KVA_OWN_REGISTERS("fac.ITFCID");

const char *const kWarehouseSQL =
    "SELECT mgm.*, mgm_c.ibenid AS BenCarico, v.SDOWLDESC FROM TMgm_MovMagazzino mgm LEFT JOIN "
    "TMgm_MovMagazzino "
    "mgm_c ON (mgm.imgmid_p = mgm_c.imgmid) LEFT JOIN VDOW_DATAOWNER v ON (mgm.idwgid = v.idwgid) WHERE "
    "(mgm.iTbuId=9) AND (mgm.imgmid NOT IN (SELECT imgmid FROM TFBuo_Buoni WHERE imgmid IS NOT NULL)) AND "
    "(mgm.iMgmEsercizioFin = :iEsFin) ORDER BY mgm.sMgmCod DESC";
const char *const kInventorySQL =
    "SELECT buo.*, inv.sInvDesc FROM TBuo_Buoni buo INNER JOIN TDwgInvAnf dia ON (buo.iDwgInvAnfId = "
    "dia.iDwgInvAnfId) INNER JOIN TDwgInv di ON (dia.iDwgInvId = di.iDwgInvId) INNER JOIN TInv_Inventari inv "
    "ON "
    "(di.iInvId = inv.iInvId) WHERE (buo.sBuoApplScarico = 'VELIST') AND (dia.iAnfId = :iAnfId) ORDER BY "
    "buo.iBuoNumero";
const char *const kDurablesSQL =
    "SELECT buo.*, fac.sFacDesc FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "
    "dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON (dia.iDwgFacId = di.iDwgFacId) INNER JOIN TFac_Velisto fac "
    "ON "
    "(di.iFacId = fac.iFacId) WHERE (buo.sBBuoApplScarico = 'VELIST') AND (dia.iAnfId = :iAnfId) ORDER BY "
    "buo.iBBuoNumero";
const char *const kLaterLoadsSQL =
    "SELECT * FROM TFBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) INNER "
    "JOIN "
    "TDwgFac df ON (dfa.iDwgFacId = df.iDwgFacId) WHERE (dFBuoData > :dFBuoData) AND (iFacId = :iFacId)";

void Refuse(const char *message, bool &Allow, TMsgDlgType type = mtWarning) {
    VoMessageDlg(QString::fromUtf8(message), type, mbOK);
    Allow = false;
}

bool HasRow(const QString &sql, const QVariantHash &params = {}) {
    TVoQuery q(sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.SetParam(it.key(), it.value());
    q.Open();
    return !q.Eof();
}

} // namespace

const char *const kvaRegisterOptionsMessage =
    "Impostare le opzioni di gestione ed iva utilizzate in tutti i registri di velisto.\r\nSe non vengono "
    "impostati si potrebbero causare degli errori irreversibili nel programma.";

bool kvaRegisterOptionsMissing() {
    return HasRow(QString::fromLatin1(kRegisterOptionsSQL));
}

QString kvaEtcDir() {
    return GetMainDir() + QStringLiteral("etc/kva/");
}

TdmkvaAtt::TdmkvaAtt(QObject *parent) : TdmVoAttivazioni(parent) {
    setObjectName(QStringLiteral("dmkvaAtt"));
    HelpFile = QStringLiteral("HelpVOREX_VELISTO.chm");

    xpgMov = AddPage(QStringLiteral("xpgMov"), QStringLiteral("Movimentazione"), 0);
    xpgRicogn = AddPage(QStringLiteral("xpgRicogn"), QStringLiteral("Chiusura"), 1);
    xpgTabelle = AddPage(QStringLiteral("xpgTabelle"), QStringLiteral("Tabelle"), 3);
    xpgArchiviBase = AddPage(QStringLiteral("xpgArchiviBase"), QStringLiteral("Archivi di base"), 4, true);
    xpgStampe = AddPage(QStringLiteral("xpgStampe"), QStringLiteral("Stampe"), 5);
    xpgImporta = AddPage(QStringLiteral("xpgImporta"), QStringLiteral("Importa"), 10, true);
    xpgEsporta = AddPage(QStringLiteral("xpgEsporta"), QStringLiteral("Esporta"), 20, true);
    xpgUtility = AddPage(QStringLiteral("xpgUtility"), QStringLiteral("Utility"), 30, true);
    xpgTools = AddPage(QStringLiteral("xpgTools"), QStringLiteral("Strumenti"), 60, true);

    auto form = [this](const char *name, TVoApgPage *page, const QString &caption, const char *cls, int order,
                       int image) {
        return AddForm(QString::fromLatin1(name), page, caption, QString::fromLatin1(cls), order, image);
    };
    xafCarico = form("xafCarico", xpgMov, QStringLiteral("Carico"), "TfmkvaBuoni", 0, 0);
    xafScarico = form("xafScarico", xpgMov, QStringLiteral("Scarico"), "TfmkvaBuoniSca", 1, 1);
    xafArticoli = form("xafArticoli", xpgMov, QStringLiteral("Articoli"), "TfmkvaArticoli", 3, 7);
    xafChiusura = form("xafChiusura", xpgRicogn, QStringLiteral("Chiusura anno"), "TfmkvaChiusura", 0, 25);
    xafChiusura->Modal = true;
    xafVoci = form("xafVoci", xpgTabelle, QStringLiteral("Voci"), "TfmVoci", 0, 24);
    xafTipoDoc = form("xafTipoDoc", xpgTabelle, QStringLiteral("Tipi documenti"), "TfmkvaTipoDoc", 1, 22);
    xafTipoDoc->Visible = xafTipoDoc->Enabled = false;
    xafCategorie = form("xafCategorie", xpgTabelle, QStringLiteral("Categorie"), "TfmkvaCategorie", 2, 10);
    xafAliquote = form("xafAliquote", xpgTabelle, QStringLiteral("Aliquote IVA"), "TfmkvaAliquoteIVA", 6, 12);
    xafCondizioni = form("xafCondizioni", xpgTabelle, QStringLiteral("Condizioni"), "TfmkvaCond", 7, 11);
    xafCausali = form("xafCausali", xpgTabelle, QStringLiteral("Causali "), "TfmkvaCausali", 9, 14);
    xafMerceol =
        form("xafMerceol", xpgArchiviBase, QStringLiteral("Codici merceologici"), "TfmkvaCodMerce", 0, 10);
    xafCatMerc =
        form("xafCatMerc", xpgArchiviBase, QStringLiteral("Classificazioni"), "TFmCategMerce", 1, 10);
    xafBeneficiari =
        form("xafBeneficiari", xpgArchiviBase, QStringLiteral("Provenienza"), "TFmBeneficiari", 3, 6);
    xafBeneficiari->Hint = QStringLiteral("Fornitori");
    xafDoc = form("xafDoc", xpgArchiviBase, QStringLiteral("Documenti"), "TfmkvaDoc", 4, 22);
    xafDoc->Visible = xafDoc->Enabled = false;
    xasFatture = AddShell(QStringLiteral("xasFatture"), xpgArchiviBase, QStringLiteral("Registro Fatture"),
                          QStringLiteral("kvi"), 4, 7);
    xasFatture->Enabled = false;
    xafSettCons =
        form("xafSettCons", xpgArchiviBase, QStringLiteral("Settori di Consegna"), "TfmSettConsegna", 5, 16);
    xafResponsabili =
        form("xafResponsabili", xpgArchiviBase, QStringLiteral("Anagrafica Responsabili"), "", 6, 17);
    xafUniMisura =
        form("xafUniMisura", xpgArchiviBase, QStringLiteral("Unità misura"), "TfmkvaUniMisura", 7, 0);
    xafCollocazioni =
        form("xafCollocazioni", xpgArchiviBase, QStringLiteral("Collocazioni"), "TfmkvaCollocazioni", 8, 26);
    xarkvaStampe = AddReport(QStringLiteral("xarkvaStampe"), xpgStampe, QStringLiteral("Stampe"),
                             QStringLiteral("KVA"), 0, -1);
    xafImpMag = form("xafImpMag", xpgImporta, QStringLiteral("Import da magazzino"), "TfmkvaImpMag", 0, 27);
    xafImpInv = form("xafImpInv", xpgImporta, QStringLiteral("Import da inventario"), "TfmkvaImpInv", 1, 28);
    xafImpBenDur =
        form("xafImpBenDur", xpgImporta, QStringLiteral("Import da beni durevoli"), "TfmKvaImpBenDur", 2, 29);
    xafExportBenDur = form("xafExportBenDur", xpgEsporta, QStringLiteral("Esporta per beni durevoli"),
                           "TfmkvaSelectBenDur", 0, 29);
    xafDataReplace =
        form("xafDataReplace", xpgUtility, QStringLiteral("Sostituisci dati"), "TfmKvaDataReplace", 0, 2);
    xafDataReplace->Modal = true;
    xafVelist = form("xafVelist", xpgTools, QStringLiteral("Velisto"), "TfmkvaFac", 0, 3);
    xafNuovoAnno = form("xafNuovoAnno", xpgTools, QStringLiteral("Nuovo Anno"), "TfmNuovoAnno", 1, 18);
    xacParam = AddComponent(QStringLiteral("xacParam"), xpgTools, QStringLiteral("Parametri"), 10, 15);
    xasBeniDur = AddShell(QStringLiteral("xasBeniDur"), nullptr, QString(), QString(), 0, -1);
    xasNotizie =
        AddShell(QStringLiteral("xasNotizie"), nullptr, QString(), QStringLiteral("kva_Notizie.pdf"), 0, -1);
    xasNotizie->Enabled = false;

    xacParam->OnExecute = [this](TVoCustomAtt *s) { xacParamExecute(s); };
    xacParam->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xacParamBeforeExecute(s, a); };
    xacParam->AfterExecute = [this](TVoCustomAtt *s) { xacParamAfterExecute(s); };
    xafCarico->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafCaricoBeforeExecute(s, a); };
    xafScarico->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafCaricoBeforeExecute(s, a); };
    xafVoci->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafVociBeforeExecute(s, a); };
    xafVoci->OnInizializedForm = [this](TVoCustomAtt *s, QWidget *f) { xafVociInizializedForm(s, f); };
    xafBeneficiari->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafBeneficiariBeforeExecute(s, a); };
    xafSettCons->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafSettConsBeforeExecute(s, a); };
    xafResponsabili->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafResponsabiliBeforeExecute(s, a); };
    xafImpMag->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpMagBeforeExecute(s, a); };
    xafImpInv->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpInvBeforeExecute(s, a); };
    xafImpBenDur->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpBenDurBeforeExecute(s, a); };
    xasFatture->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xasFattureBeforeExecute(s, a); };
    xasNotizie->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xasNotizieBeforeExecute(s, a); };
    xasNotizie->AfterExecute = [this](TVoCustomAtt *s) { xasNotizieAfterExecute(s); };

    // DataModuleCreate: the persons registry and the parameters module, the help numbers, the add-on
    // item on the tools page, the invoice register beside the programs.
    if (!dmModAnaAtt)
        dmModAnaAtt = new TdmModAnaAtt(qApp);
    if (dmkvaConn)
        dmModAnaAtt->SetConnection(dmkvaConn->xqoMain);
    if (!dmkvaParams)
        dmkvaParams = new TdmkvaParams(nullptr);
    const std::pair<TVoCustomAtt *, int> help[] = {
        {xafBeneficiari, 101}, {xafCarico, 103},  {xafCategorie, 104},  {xafCatMerc, 105},
        {xafCausali, 106},     {xafMerceol, 107}, {xafCondizioni, 108}, {xafDoc, 112},
        {xacParam, 113},       {xafVelist, 114},  {xafScarico, 119},    {xarkvaStampe, 120},
    };
    for (const auto &[item, topic] : help)
        item->HelpContext = topic;
    if (dmznsActivations && dmznsActivations->xafZnsItem()) {
        TVoCustomAtt *addOn = dmznsActivations->xafZnsItem();
        addOn->SetPage(xpgTools);
        addOn->ImageIndex = 7;
        addOn->Order = 20;
    }
    xasFatture->Directory = GetMainDir() + QStringLiteral("bin/");
}

TdmkvaAtt::~TdmkvaAtt() {
    delete dmkvaParams;
    dmkvaParams = nullptr;
}

QWidget *TdmkvaAtt::FindOpenForm(const QString &caption) {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == caption)
            return w;
    }
    if (TfmVoMDIMain *main = TfmVoMDIMain::Instance()) {
        for (QWidget *w : main->ActiveMDIChildren())
            if (w->windowTitle() == caption)
                return w;
    }
    return nullptr;
}

void TdmkvaAtt::AddResponsabiliFrames(int kind, QStringList &frameClasses, QStringList &frameCaptions) {
    if (kind != 3)
        return;
    frameClasses << QStringLiteral("TfrAnaAbt") << QStringLiteral("TfrAnaTel")
                 << QStringLiteral("TfrAnaEMail");
    frameCaptions << QStringLiteral("Indirizzi") << QStringLiteral("Telefoni") << QStringLiteral("E-Mail");
}

void TdmkvaAtt::xacParamExecute(TVoCustomAtt *) {
    if (dmkvaParams)
        dmkvaParams->xpmVouParams->Execute(MainWindow());
}

void TdmkvaAtt::xacParamBeforeExecute(TVoCustomAtt *, bool &Allow) {
    TfmVoMDIMain *main = MainWindow();
    Allow = !main || main->MDIChildCount() == 0;
    if (!Allow)
        VoMessageDlg(QString::fromUtf8(kCloseWindows), mtWarning, mbOK);
}

void TdmkvaAtt::xacParamAfterExecute(TVoCustomAtt *) {
    if (TfmVoMDIMain *main = MainWindow())
        main->RefreshPanels();
}

void TdmkvaAtt::xafCaricoBeforeExecute(TVoCustomAtt *, bool &Allow) {
    TVoParamManager *params = dmkvaParams->xpmVouParams;
    const QVariant school = params->GetParams(ParSchool);
    const QVariant registerYear = params->GetParams(ParRegisterYear);
    const int registerYearId = VoVarToInt(registerYear, -1);
    // A stored register-year that names none of this program (the dialog stores "0" without a
    // choice) is as good as unset: no voucher may be written against it.
    if (!school.isValid() || school.isNull() || VoVarToInt(school, -1) == -1 || !registerYear.isValid() ||
        registerYear.isNull() || registerYearId == -1 ||
        !HasRow(QString::fromLatin1(kRegisterYearOfProgramSQL),
                {{QStringLiteral("iDwgFacAnfId"), registerYearId}})) {
        Refuse(kParamsFirst, Allow);
        xacParam->Execute();
        return;
    }
    if (kvaRegisterOptionsMissing()) {
        Refuse(kvaRegisterOptionsMessage, Allow, mtInformation);
        xafVelist->Execute();
    }
}

void TdmkvaAtt::xafVociBeforeExecute(TVoCustomAtt *, bool &Allow) {
    if (!EnsureVproDBQuery()) {
        Allow = false;
        return;
    }
    dmVproDBQuery->BindConnection(qqoVoGlobConn);
    if (xafVoci->HasOpenForm() && m_voci)
        TfmVoMDIMain::BringToFront(m_voci);
    else
        CashFlow = 2;
    TotalType = 1;
}

void TdmkvaAtt::xafVociInizializedForm(TVoCustomAtt *, QWidget *Form) {
    if (auto *base = dynamic_cast<TVoFormBase *>(Form))
        base->HelpContext = 202;
    m_voci = Form;
}

void TdmkvaAtt::xafBeneficiariBeforeExecute(TVoCustomAtt *, bool &) {
    if (!dmBeneficiari)
        return;
    dmBeneficiari->BindConnection(qqoVoGlobConn);
    dmBeneficiari->BenPublishersMode = false;
    dmBeneficiari->AmountFormat = false;
    dmBeneficiari->xqcBeneficiari->SetCommandText(QStringLiteral(
        "SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.IANAID, TBEN_BENEFICIARI.IEDIID, "
        "TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENDESC, TBEN_BENEFICIARI.SBENCODFISCALE, "
        "TBEN_BENEFICIARI.SBENPARTITAIVA, TBEN_BENEFICIARI.LBENAVVPAGAMENTO, TBEN_BENEFICIARI.DSTART, "
        "TBEN_BENEFICIARI.DEND, TBEN_BENEFICIARI.DDELETE, TBEN_BENEFICIARI.lBenPrivacy, "
        "TBEN_BENEFICIARI.lBenEnd, "
        "TBEN_BENEFICIARI.lBenObblTracc, TBEN_BENEFICIARI.lBenEstero, TBEN_BENEFICIARI.sBenStato, "
        "TBEN_BENEFICIARI.lBenAdempFiscNoRegola, TBEN_BENEFICIARI.dBenAdempFiscData, TANA_ANAGRAFICHE.IANAID "
        "AS "
        "IANAID_ANA, TANA_ANAGRAFICHE.IVOMID, TANA_ANAGRAFICHE.SANACODFISCALE, TANA_ANAGRAFICHE.SANANOME, "
        "TANA_ANAGRAFICHE.SANACOGNOME, TANA_ANAGRAFICHE.DANANASCITA, TANA_ANAGRAFICHE.ISRPCID, "
        "TANA_ANAGRAFICHE.IIOCTRLCODE, TSRPC.ISTAID, TSRPC.IPROID, TSRPC.ICOMID, NULL AS VUOTO FROM "
        "TBEN_BENEFICIARI LEFT JOIN TANA_ANAGRAFICHE ON (TBEN_BENEFICIARI.IANAID = TANA_ANAGRAFICHE.IANAID) "
        "LEFT "
        "JOIN TSRPC ON (TANA_ANAGRAFICHE.ISRPCID = TSRPC.ISRPCID) WHERE TBEN_BENEFICIARI.DDELETE IS NULL "
        "ORDER BY "
        "TBEN_BENEFICIARI.SBENRAGSOC"));
}

void TdmkvaAtt::xafSettConsBeforeExecute(TVoCustomAtt *, bool &) {
    if (dmSecSettCons)
        dmSecSettCons->BindConnection(qqoVoGlobConn);
}

void TdmkvaAtt::xafResponsabiliBeforeExecute(TVoCustomAtt *Sender, bool &Allow) {
    dmModAnaAtt->OnAddFrames = &TdmkvaAtt::AddResponsabiliFrames;
    dmModAnaAtt->CategorieAmmesse = {3};
    dmModAnaAtt->FilterDialogSpecificsDef(3, {1, 11, 13, 17, 18});
    TVoAttForm *own = dmModAnaAtt->xafAnagrafica;
    own->ImageIndex = Sender->ImageIndex;
    own->Caption = Sender->Caption;
    Allow = false;
    if (own->HasOpenForm()) {
        if (QWidget *open = FindOpenForm(own->Caption))
            TfmVoMDIMain::BringToFront(open);
        return;
    }
    own->Execute();
}

void TdmkvaAtt::ImportGuard(const QString &sourceSQL, const QString &paramName, const QVariant &paramValue,
                            const QString &nothingMessage, bool &Allow) {
    if (!HasRow(sourceSQL, {{paramName, paramValue}})) {
        VoMessageDlg(nothingMessage, mtWarning, mbOK);
        Allow = false;
    }
    TVoQuery later(QString::fromLatin1(kLaterLoadsSQL));
    later.SetParamDate(QStringLiteral("dFBuoData"), CurrentRegEnd)
        .SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    later.Open();
    if (!later.Eof()) {
        VoMessageDlg(QStringLiteral("Ci sono buoni di carico del velisto caricati in anni successivi al ") +
                         QString::number(CurrentRegYear),
                     mtWarning, mbOK);
        Allow = false;
    }
}

void TdmkvaAtt::xafImpMagBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ImportGuard(QString::fromLatin1(kWarehouseSQL), QStringLiteral("iEsFin"), CurrentRegYear,
                QStringLiteral("Nel magazzino non ci sono buoni di scarico da importare nel velisto"), Allow);
}

void TdmkvaAtt::xafImpInvBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ImportGuard(QString::fromLatin1(kInventorySQL), QStringLiteral("iAnfId"), CurrentRegYearId,
                QStringLiteral("Nell'inventario non ci sono buoni di scarico da importare nel velisto"),
                Allow);
}

void TdmkvaAtt::xafImpBenDurBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ImportGuard(QString::fromLatin1(kDurablesSQL), QStringLiteral("iAnfId"), CurrentRegYearId,
                QStringLiteral("Nei beni durevoli non ci sono buoni di scarico da importare nel velisto"),
                Allow);
}

void TdmkvaAtt::xasFattureBeforeExecute(TVoCustomAtt *, bool &) {
    if (qqoVoGlobConn)
        xasFatture->Parameters = KviArguments(*qqoVoGlobConn);
}

void TdmkvaAtt::xasNotizieBeforeExecute(TVoCustomAtt *, bool &) {
    if (xasNotizie->Directory.isEmpty())
        xasNotizie->Directory = kvaEtcDir();
}

void TdmkvaAtt::xasNotizieAfterExecute(TVoCustomAtt *) {
    const QString marker = kvaEtcDir() + QStringLiteral("kva_Version.txt");
    if (QFile::exists(marker))
        QFile::remove(marker);
}
