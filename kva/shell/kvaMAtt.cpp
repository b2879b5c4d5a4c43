#include "kvaMAtt.h"

#include "AbcMVpro.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "kvaFMain.h"
#include "kvaMParams.h"
#include "kvaUUtil.h"

TdmkvaAtt *dmkvaAtt = nullptr;

const char *const kvaSQLImportWarehouse =
    "SELECT mgm.*, mgm_c.ibenid AS BenCarico, v.SDOWLDESC FROM TMgm_MovMagazzino mgm LEFT JOIN "
    "TMgm_MovMagazzino "
    "mgm_c ON (mgm.imgmid_p = mgm_c.imgmid) LEFT JOIN VDOW_DATAOWNER v ON (mgm.idwgid = v.idwgid) WHERE "
    "(mgm.iTbuId=9) AND (mgm.imgmid NOT IN (SELECT imgmid FROM TFBuo_Buoni WHERE imgmid IS NOT NULL)) AND "
    "(mgm.iMgmEsercizioFin = :iEsFin) ORDER BY mgm.sMgmCod DESC";
const char *const kvaSQLImportInventory =
    "SELECT buo.*, inv.sInvDesc FROM TBuo_Buoni buo INNER JOIN TDwgInvAnf dia ON (buo.iDwgInvAnfId = "
    "dia.iDwgInvAnfId) INNER JOIN TDwgInv di ON (dia.iDwgInvId = di.iDwgInvId) INNER JOIN TInv_Inventari inv "
    "ON "
    "(di.iInvId = inv.iInvId) WHERE (buo.sBuoApplScarico = 'VELIST') AND (dia.iAnfId = :iAnfId) ORDER BY "
    "buo.iBuoNumero";
const char *const kvaSQLImportDurables =
    "SELECT buo.*, fac.sFacDesc FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "
    "dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON (dia.iDwgFacId = di.iDwgFacId) INNER JOIN TFac_Velisto fac "
    "ON "
    "(di.iFacId = fac.iFacId) WHERE (buo.sBBuoApplScarico = 'VELIST') AND (dia.iAnfId = :iAnfId) ORDER BY "
    "buo.iBBuoNumero";

namespace {

const char *const kRegisterOptionsSQL = "SELECT iFacId FROM TFac_Velisto WHERE ((iFacNumeraz IS NULL) OR "
                                        "(iFacIvaInclusa IS NULL)) AND " KVA_OWN_REGISTERS("ITFCID") ";";
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
    return AbcReleaseNotesDir();
}

TdmkvaAtt::TdmkvaAtt(QObject *parent) : TdmAbcAtt(kvaProgram(), parent) {
    setObjectName(QStringLiteral("dmkvaAtt"));

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
    AddInvoiceRegisterItem(xpgArchiviBase, 4, 7);
    xafSettCons =
        form("xafSettCons", xpgArchiviBase, QStringLiteral("Settori di Consegna"), "TfmSettConsegna", 5, 16);
    xafResponsabili =
        form("xafResponsabili", xpgArchiviBase, QStringLiteral("Anagrafica Responsabili"), "", 6, 17);
    xafUniMisura =
        form("xafUniMisura", xpgArchiviBase, QStringLiteral("Unità misura"), "TfmkvaUniMisura", 7, 0);
    xafCollocazioni =
        form("xafCollocazioni", xpgArchiviBase, QStringLiteral("Collocazioni"), "TfmkvaCollocazioni", 8, 26);
    xarkvaStampe = AddReport(QStringLiteral("xarkvaStampe"), xpgStampe, QStringLiteral("Stampe"),
                             QStringLiteral("KVA"), 0, 13);
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
    AddParamItem(xpgTools, 10, 15);
    xasBeniDur = AddShell(QStringLiteral("xasBeniDur"), nullptr, QString(), QString(), 0, -1);

    xafCarico->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafCaricoBeforeExecute(s, a); };
    xafScarico->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafCaricoBeforeExecute(s, a); };
    xafVoci->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafVociBeforeExecute(s, a); };
    xafVoci->OnInizializedForm = [this](TVoCustomAtt *, QWidget *f) {
        BudgetFormInitialised(f, 202, m_voci);
    };
    xafBeneficiari->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafBeneficiariBeforeExecute(s, a); };
    xafSettCons->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafSettConsBeforeExecute(s, a); };
    xafResponsabili->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafResponsabiliBeforeExecute(s, a); };
    xafImpMag->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpMagBeforeExecute(s, a); };
    xafImpInv->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpInvBeforeExecute(s, a); };
    xafImpBenDur->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpBenDurBeforeExecute(s, a); };

    // DataModuleCreate: the parameters module, the help numbers, the add-on item on the tools page.
    if (!dmkvaParams)
        dmkvaParams = new TdmkvaParams(nullptr);
    SetHelpNumbers({
        {xafBeneficiari, 101},
        {xafCarico, 103},
        {xafCategorie, 104},
        {xafCatMerc, 105},
        {xafCausali, 106},
        {xafMerceol, 107},
        {xafCondizioni, 108},
        {xafDoc, 112},
        {xacParam, 113},
        {xafVelist, 114},
        {xafScarico, 119},
        {xarkvaStampe, 120},
    });
    PlaceAddOnItem(xpgTools, 20, 7);
}

TdmkvaAtt::~TdmkvaAtt() {
    delete dmkvaParams;
    dmkvaParams = nullptr;
}

TdmAbcParams *TdmkvaAtt::ParamsModule() const {
    return dmkvaParams;
}

void TdmkvaAtt::xafCaricoBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ParametersGuard(Allow);
    if (!Allow)
        return;
    if (kvaRegisterOptionsMissing()) {
        Refuse(kvaRegisterOptionsMessage, Allow, mtInformation);
        xafVelist->Execute();
    }
}

void TdmkvaAtt::xafVociBeforeExecute(TVoCustomAtt *, bool &Allow) {
    BudgetGuard(xafVoci, m_voci, Allow);
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
    ImportGuard(QString::fromLatin1(kvaSQLImportWarehouse), QStringLiteral("iEsFin"), CurrentRegYear,
                QStringLiteral("Nel magazzino non ci sono buoni di scarico da importare nel velisto"), Allow);
}

void TdmkvaAtt::xafImpInvBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ImportGuard(QString::fromLatin1(kvaSQLImportInventory), QStringLiteral("iAnfId"), CurrentRegYearId,
                QStringLiteral("Nell'inventario non ci sono buoni di scarico da importare nel velisto"),
                Allow);
}

void TdmkvaAtt::xafImpBenDurBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ImportGuard(QString::fromLatin1(kvaSQLImportDurables), QStringLiteral("iAnfId"), CurrentRegYearId,
                QStringLiteral("Nei beni durevoli non ci sono buoni di scarico da importare nel velisto"),
                Allow);
}
