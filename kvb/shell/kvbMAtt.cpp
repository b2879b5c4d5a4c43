#include "kvbMAtt.h"

#include "VoDates.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "kvbFMain.h"
#include "kvbMParams.h"
#include "kvbUUtil.h"

TdmkvbAtt *dmkvbAtt = nullptr;

namespace {

// The warehouse's unloading movements of the working year that no voucher imported yet. The
// movement types' table of the warehouse program is left out: nothing of it is read here.
const char *const kWarehouseSQL =
    "SELECT mgm.*, mgm_c.ibenid AS BenCarico FROM TMgm_MovMagazzino mgm  LEFT JOIN TMgm_MovMagazzino mgm_c "
    "on (mgm.imgmid_p = mgm_c.imgmid) WHERE (mgm.iTbuId=16) AND       (mgm.imgmid not in (select distinct "
    "imgmid                      from tbbuo_buoni                      where imgmid is not null)) AND     "
    "  (mgm.iMgmEsercizioFin=:iEsFin) ORDER BY mgm.sMgmCod DESC;";
const char *const kConsumablesSQL =
    "SELECT buo.* FROM TFBuo_Buoni buo  INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId)  "
    "INNER JOIN TAnf_AnniFinanz anf ON (dfa.iAnfId = anf.iAnfId) WHERE (buo.sFBuoUse='BENDUR') AND       "
    "(anf.iAnfValore=:iAnfValore);";

const char *const kRenumberQuestion =
    "Prima di procedere con questa funzione assicurarsi di avere le stampe\r\ncon le chiusure relative alle "
    "ultime operazioni eseguite nel Velisto in uso,\r\nuna volta fatta la rinumerazione queste stampe non "
    "saranno più disponibili.\r\nContinuare?";

// Refuses an item when the statement finds nothing for the working year.
void RefuseWhenEmpty(const char *sql, const QString &param, const char *message, bool &Allow) {
    if (!VoSelectValue(QString::fromLatin1(sql), {{param, CurrentRegYear}}).isValid()) {
        VoMessageDlg(QString::fromUtf8(message), mtWarning, mbOK);
        Allow = false;
    }
}

template <class T> T *As(QWidget *form) {
    return dynamic_cast<T *>(form);
}

} // namespace

TdmkvbAtt::TdmkvbAtt(QObject *parent) : TdmAbcAtt(kvbProgram(), parent) {
    setObjectName(QStringLiteral("dmkvbAtt"));

    xpgMov = AddPage(QStringLiteral("xpgMov"), QStringLiteral("Movimentazione"), 0);
    xpgRicRiv = AddPage(QStringLiteral("xpgRicRiv"), QStringLiteral("Ricognizione / Rivalutazione"), 1, true);
    xpgRicRiv->Visible = false;
    xpgRinumera = AddPage(QStringLiteral("xpgRinumera"), QStringLiteral("Chiusura \\ Rinumera"), 2, true);
    xpgTabelle = AddPage(QStringLiteral("xpgTabelle"), QStringLiteral("Tabelle"), 3);
    xpgArchiviBase = AddPage(QStringLiteral("xpgArchiviBase"), QStringLiteral("Archivi di base"), 4, true);
    xpgStampe = AddPage(QStringLiteral("xpgStampe"), QStringLiteral("Stampe"), 5);
    xpgImport = AddPage(QStringLiteral("xpgImport"), QStringLiteral("Importa"), 6);
    xpgExport = AddPage(QStringLiteral("xpgExport"), QStringLiteral("Esporta"), 7, true);
    xpgUtility = AddPage(QStringLiteral("xpgUtility"), QStringLiteral("Utility"), 8);
    xpgTools = AddPage(QStringLiteral("xpgTools"), QStringLiteral("Strumenti"), 9, true);

    auto form = [this](const char *name, TVoApgPage *page, const QString &caption, const char *cls, int order,
                       int image) {
        return AddForm(QString::fromLatin1(name), page, caption, QString::fromLatin1(cls), order, image);
    };
    auto hidden = [](TVoAttForm *item, bool enabled) {
        item->Visible = false;
        item->Enabled = enabled;
        return item;
    };
    auto modal = [](TVoAttForm *item) {
        item->Modal = true;
        return item;
    };
    xafCarico = form("xafCarico", xpgMov, QStringLiteral("Carico beni"), "TfmkvbBuoni", 0, 0);
    xafScarico = form("xafScarico", xpgMov, QStringLiteral("Scarico"), "TfmkvbBuoniSca", 1, 1);
    xafVistaBeni = form("xafVistaBeni", xpgMov, QStringLiteral("Elenco beni"), "TfmBeni", 2, 3);
    xafCambioSettore =
        modal(form("xafCambioSettore", xpgMov, QStringLiteral("Cambio settore"), "TfmkvbSpostaBeni", 4, 2));
    xafStorLuoghi = hidden(
        form("xafStorLuoghi", xpgMov, QStringLiteral("Storico settore"), "TfmkvbStorLuoghi", 6, 0), true);
    xafStorImporti = hidden(
        form("xafStorImporti", xpgMov, QStringLiteral("Storico importi"), "TfmkvbStorImp", 6, 0), true);
    xafStorSedi =
        hidden(form("xafStorSedi", xpgMov, QStringLiteral("Storico sede"), "TfmKvbStorSedi", 6, 0), true);
    // Each opens on the good the goods list stored: a window already open may show another good.
    for (TVoAttForm *history : {xafStorLuoghi, xafStorImporti, xafStorSedi})
        history->MultiInstance = true;
    xafRicognizione =
        modal(form("xafRicognizione", xpgRicRiv, QStringLiteral("Ricognizione"), "TfmBuoniScaMulti", 4, 20));
    xafTipoChiusura = form("xafTipoChiusura", xpgRinumera, QStringLiteral("Tabella tipi di chiusura"),
                           "TfmkvbTipiChiusura", 1, 9);
    xafChiusura =
        modal(form("xafChiusura", xpgRinumera, QStringLiteral("Chiusura"), "TfmkvbChiusura", 2, 25));
    xafVerifica = hidden(modal(form("xafVerifica", xpgRinumera, QStringLiteral("Verifica per chiusura anno"),
                                    "TfmkvbChiusura", 5, 27)),
                         false);
    xafRinumera = modal(
        form("xafRinumera", xpgRinumera, QStringLiteral("Rinumera beni"), "TfmkvbRinumeraBeni", 10, 21));
    xafAggregati =
        hidden(form("xafAggregati", xpgTabelle, QStringLiteral("Aggregati"), "TfmAggregati", 0, 23), false);
    xafVoci = form("xafVoci", xpgTabelle, QStringLiteral("Voci"), "TfmVoci", 1, 24);
    xafTipoVer = form("xafTipoVer", xpgTabelle, QStringLiteral("Tipi verbali"), "TfmCliTipoVer", 1, 9);
    xafTipoDoc = hidden(
        form("xafTipoDoc", xpgTabelle, QStringLiteral("Tipi documenti"), "TfmkvbTipoDoc", 1, 22), false);
    xafCategorie =
        form("xafCategorie", xpgTabelle, QStringLiteral("Categorie inventariali"), "TfmkvbCategorie", 2, 10);
    xafTipiCommissione = form("xafTipiCommissione", xpgTabelle, QStringLiteral("Tipi commissione"),
                              "TfmCliTipiCommissione", 5, 19);
    xafCondizioni =
        hidden(form("xafCondizioni", xpgTabelle, QStringLiteral("Condizioni"), "TfmkvbCond", 7, 11), true);
    xafStatiAvanz = hidden(
        form("xafStatiAvanz", xpgTabelle, QStringLiteral("Stati avanzamento"), "TfmkvbAva", 8, 8), true);
    xafCausali = form("xafCausali", xpgTabelle, QStringLiteral("Causali "), "TfmkvbCausali", 9, 14);
    xafMerceol =
        form("xafMerceol", xpgArchiviBase, QStringLiteral("Codici merceologici"), "TfmkvbCodMerce", 0, 10);
    xafCatMerc =
        form("xafCatMerc", xpgArchiviBase, QStringLiteral("Categorie merceologiche"), "TfmCategMerce", 1, 10);
    xafBeneficiari = form("xafBeneficiari", xpgArchiviBase, QStringLiteral("Provenienza / Destinazione"),
                          "TfmBeneficiari", 2, 6);
    xafDelibere = form("xafDelibere", xpgArchiviBase, QStringLiteral("Documenti di accettazione"),
                       "TfmkvbDelibere", 3, 7);
    xafDoc = hidden(form("xafDoc", xpgArchiviBase, QStringLiteral("Documenti"), "TfmkvbDoc", 4, 22), false);
    AddInvoiceRegisterItem(xpgArchiviBase, 4, 22);
    xafCommissioni =
        form("xafCommissioni", xpgArchiviBase, QStringLiteral("Commissioni"), "TfmCliCommissioni", 5, 19);
    xafVerbali = form("xafVerbali", xpgArchiviBase, QStringLiteral("Verbali"), "TfmCliVerbali", 6, 9);
    xafSettCons =
        form("xafSettCons", xpgArchiviBase, QStringLiteral("Settori di Consegna"), "TfmSettConsegna", 7, 16);
    xafResponsabili =
        form("xafResponsabili", xpgArchiviBase, QStringLiteral("Anagrafica Responsabili"), "", 8, 17);
    xafCollocazioni =
        form("xafCollocazioni", xpgArchiviBase, QStringLiteral("Collocazioni"), "TfmkvbCollocazioni", 9, 26);
    xarkvbStampe = AddReport(QStringLiteral("xarkvbStampe"), xpgStampe, QStringLiteral("Stampe"),
                             QStringLiteral("KVB"), 0, 13);
    xafImpInv =
        modal(form("xafImpInv", xpgImport, QStringLiteral("Importa da inventario"), "TfmkvbImpInv", 1, 0));
    xafImpMag =
        modal(form("xafImpMag", xpgImport, QStringLiteral("Importa da magazzino"), "TfmkvbImpMag", 2, 30));
    xafImpVelist = modal(
        form("xafImpVelist", xpgImport, QStringLiteral("Importa da Velisto"), "TfmkvbImpVelist", 3, 31));
    xafExpInv = modal(
        form("xafExpInv", xpgExport, QStringLiteral("Esporta per inventario"), "TfmkvbSelectinv", 1, 0));
    xafExpVelist = modal(
        form("xafExpVelist", xpgExport, QStringLiteral("Esporta per Velisto"), "TfmKvbSelectVelist", 2, 31));
    xafSblocco = hidden(
        form("xafSblocco", xpgUtility, QStringLiteral("Sblocco movimenti"), "TfmkvbSblocco", 0, 28), false);
    xafBlocco = hidden(
        form("xafBlocco", xpgUtility, QStringLiteral("Blocco movimenti"), "TfmkvbBlocco", 0, 29), false);
    xafDataReplace =
        form("xafDataReplace", xpgUtility, QStringLiteral("Sostituisci dati"), "TfmKvbDataReplace", 0, 2);
    xafVelisto = form("xafVelisto", xpgTools, QStringLiteral("Velisto"), "TfmkvbFac", 0, 3);
    xafNuovoAnno = form("xafNuovoAnno", xpgTools, QStringLiteral("Nuovo Anno"), "TfmNuovoAnno", 1, 18);
    AddParamItem(xpgTools, 10, 15);

    for (TVoAttForm *item : {xafCarico, xafScarico, xafVistaBeni})
        item->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafCaricoBeforeExecute(s, a); };
    xafRicognizione->OnInizializedForm = [this](TVoCustomAtt *s, QWidget *f) {
        xafRicognizioneInizializedForm(s, f);
    };
    xafChiusura->OnInizializedForm = [this](TVoCustomAtt *s, QWidget *f) {
        xafChiusuraInizializedForm(s, f);
    };
    xafVerifica->OnInizializedForm = [this](TVoCustomAtt *s, QWidget *f) {
        xafVerificaInizializedForm(s, f);
    };
    xafRinumera->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafRinumeraBeforeExecute(s, a); };
    xafAggregati->BeforeExecute = [this](TVoCustomAtt *, bool &a) {
        BudgetGuard(xafAggregati, m_aggregates, a);
    };
    xafAggregati->OnInizializedForm = [this](TVoCustomAtt *, QWidget *f) {
        BudgetFormInitialised(f, 201, m_aggregates);
    };
    xafVoci->BeforeExecute = [this](TVoCustomAtt *, bool &a) { BudgetGuard(xafVoci, m_items, a); };
    xafVoci->OnInizializedForm = [this](TVoCustomAtt *, QWidget *f) {
        BudgetFormInitialised(f, 202, m_items);
    };
    xafBeneficiari->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafBeneficiariBeforeExecute(s, a); };
    xafSettCons->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafSettConsBeforeExecute(s, a); };
    xafResponsabili->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafResponsabiliBeforeExecute(s, a); };
    xafImpInv->BeforeExecute = [this](TVoCustomAtt *, bool &a) { WorkingYearGuard(kvbLoading, a); };
    xafImpMag->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpMagBeforeExecute(s, a); };
    xafImpVelist->BeforeExecute = [this](TVoCustomAtt *s, bool &a) { xafImpVelistBeforeExecute(s, a); };
    xafExpVelist->BeforeExecute = [this](TVoCustomAtt *, bool &a) { WorkingYearGuard(kvbUnloading, a); };

    // DataModuleCreate: the parameters module, the help numbers, the add-on item among the tools.
    if (!dmkvbParams)
        dmkvbParams = new TdmkvbParams(nullptr);
    SetHelpNumbers({
        {xafCarico, 103},
        {xafScarico, 119},
        {xafVistaBeni, 110},
        {xafCambioSettore, 102},
        {xafCategorie, 104},
        {xafCondizioni, 108},
        {xafStatiAvanz, 121},
        {xafCausali, 106},
        {xafMerceol, 107},
        {xafCatMerc, 105},
        {xafBeneficiari, 101},
        {xafDelibere, 109},
        {xafDoc, 112},
        {xafVerbali, 123},
        {xarkvbStampe, 120},
        {xafVelisto, 114},
        {xacParam, 113},
    });
    PlaceAddOnItem(xpgTools, 7, 20);
}

TdmkvbAtt::~TdmkvbAtt() {
    delete dmkvbParams;
    dmkvbParams = nullptr;
}

TdmAbcParams *TdmkvbAtt::ParamsModule() const {
    return dmkvbParams;
}

void TdmkvbAtt::xafCaricoBeforeExecute(TVoCustomAtt *, bool &Allow) {
    ParametersGuard(Allow);
}

void TdmkvbAtt::xafRicognizioneInizializedForm(TVoCustomAtt *, QWidget *Form) {
    if (auto *window = As<IkvbRecognitionWindow>(Form)) {
        window->SetVoucherDate(NowDays());
        window->SetVoucherCondition(QStringLiteral("AND (iBBuoRicogniz=1)"));
        window->SetTargetVoucher(-1);
    }
    Form->setWindowTitle(QStringLiteral("Ricognizione"));
}

void TdmkvbAtt::xafChiusuraInizializedForm(TVoCustomAtt *, QWidget *Form) {
    Form->setWindowTitle(QStringLiteral("Chiusura"));
    if (auto *window = As<IkvbClosingWindow>(Form))
        window->SetClosingMode(1);
}

void TdmkvbAtt::xafVerificaInizializedForm(TVoCustomAtt *, QWidget *Form) {
    Form->setWindowTitle(QStringLiteral("Verifica"));
    if (auto *window = As<IkvbClosingWindow>(Form))
        window->SetClosingMode(0);
}

void TdmkvbAtt::xafRinumeraBeforeExecute(TVoCustomAtt *, bool &Allow) {
    Allow =
        VoMessageDlg(QString::fromUtf8(kRenumberQuestion), mtConfirmation, mbYesNoCancel, 0, mbNo) == mrYes;
}

void TdmkvbAtt::xafImpMagBeforeExecute(TVoCustomAtt *, bool &Allow) {
    RefuseWhenEmpty(kWarehouseSQL, QStringLiteral("iEsFin"),
                    "Nel magazzino non ci sono buoni di scarico da importare nei beni durevoli", Allow);
}

void TdmkvbAtt::xafImpVelistBeforeExecute(TVoCustomAtt *, bool &Allow) {
    RefuseWhenEmpty(kConsumablesSQL, QStringLiteral("iAnfValore"),
                    "Nel Velisto non ci sono buoni di scarico da importare nei beni durevoli", Allow);
}

void TdmkvbAtt::WorkingYearGuard(int kind, bool &Allow) {
    DateWindow window;
    kvb::GetVoucherDateLimits(NextVoucherNumber(kind), kind, window);
    if (CurrentRegEnd < window.low) {
        VoMessageDlg(kind == kvbLoading
                         ? QStringLiteral("Impossibile creare il buono di carico nell'anno di lavoro.")
                         : QStringLiteral("Impossibile creare il buono di scarico nell'anno di lavoro."),
                     mtError, mbOK);
        Allow = false;
    }
}
