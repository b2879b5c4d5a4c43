#include "AbiFBeneficiari.h"

#include "AbiMBen.h"
#include "AbiMCom.h"
#include "AbiRBeneficiari.h"
#include "AbiRContatti.h"
#include "AbiRDatiBancari.h"
#include "AbiRDatiLegali.h"
#include "AbiRDelegati.h"
#include "AbiRSedi.h"
#include "AbiUUtil.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoExceptions.h"
#include "VoImages.h"
#include "VoPageControl.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char *const kModPagListSQL =
    " SELECT TMPG_MODPAGAM.IMPGID, TMPG_MODPAGAM.SMPGDESCL, TMPG_MODPAGAM.SMPGDESCS, TMPG_MODPAGAM.LMPGRISC, "
    "TMPG_MODPAGAM.LMPGPAG FROM TMPG_MODPAGAM WHERE ##WHERE## AND TMPG_MODPAGAM.DDELETE IS NULL";
const char *const kABIListSQL =
    " SELECT TBAN_BANCHE.IBANID, TBAN_BANCHE.ISRPCID, TBAN_BANCHE.SBANABI, TBAN_BANCHE.SBANDESCS FROM "
    "TBAN_BANCHE WHERE ##WHERE## AND TBAN_BANCHE.DDELETE IS NULL";
const char *const kCABListSQL =
    " SELECT TSPR_SPORTELLICAB.ISPRID, TSPR_SPORTELLICAB.SSPRCAB, TSPR_SPORTELLICAB.SSPRDESCS FROM "
    "TSPR_SPORTELLICAB WHERE ##WHERE## AND TSPR_SPORTELLICAB.DDELETE IS NULL";
const char *const kIbanFlagSQL = "SELECT X.ILOCKED FROM TYXAR_XMLARCHIVIO X WHERE X.IYXARID = 5002";
const char *const kIbanFlagDoneSQL = "UPDATE TYXAR_XMLARCHIVIO X SET X.ILOCKED = 1 WHERE X.IYXARID = 5002";

const QString kIbanQuestion =
    QStringLiteral("Eseguire il calcolo automatico dell'IBAN per tutti i Beneficiari?");

// A tab of the page control holding one frame, or a splitter of two.
QWidget *Page(QWidget *content) {
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(content);
    return page;
}

} // namespace

TfmBeneficiari::TfmBeneficiari(QWidget *parent)
    : TfmVoChildDB(parent), frBen(new TfrBeneficiari), Splitter(new QSplitter(Qt::Vertical)),
      pcContenitore(new TVoPageControl), Splitter2(new QSplitter(Qt::Vertical)), frSediBen(new TfrSedi),
      frTpSede(new TfrTipoSede), Splitter1(new QSplitter(Qt::Vertical)), frDatiBanca(new TfrDatiBancari),
      pcDetail(new QTabWidget), frDelegatiConto(new TfrDelegatiConto), frQuietanzante(new TfrQuietanzante),
      frDatiLeg(new TfrDatiLegali), frNumTel(new TfrNumTelefono), frEmailBen(new TfrEmail),
      frWeb(new TfrSitiWeb), frRappr(new TfrRappresentanti), frSostitBen(new TfrSostituzioni),
      frDurc(new TfrAbiDurc) {
    setObjectName(QStringLiteral("fmBeneficiari"));
    setWindowTitle(QStringLiteral("Beneficiari"));
    setMinimumWidth(640);
    OpenMaximized = true;

    const std::pair<TfrVoDBROGrid *, const char *> captions[] = {{frBen, "Beneficiari"},
                                                                 {frSediBen, "Sedi"},
                                                                 {frTpSede, "Tipologia sedi"},
                                                                 {frDatiBanca, "Pagamenti"},
                                                                 {frDelegatiConto, "Delegati conto"},
                                                                 {frQuietanzante, "Quietanzante"},
                                                                 {frDatiLeg, "Dati legali"},
                                                                 {frNumTel, "Numeri telefonici"},
                                                                 {frEmailBen, "Mail"},
                                                                 {frWeb, "Siti web"},
                                                                 {frRappr, "Rappresentanti"},
                                                                 {frSostitBen, "Sostituzioni"},
                                                                 {frDurc, "Elenco durc"}};
    for (const auto &[frame, hint] : captions)
        frame->setToolTip(QString::fromUtf8(hint));

    frSediBen->setMinimumHeight(145);
    frTpSede->setMaximumHeight(160);
    Splitter2->addWidget(frSediBen);
    Splitter2->addWidget(frTpSede);
    tsSedi = Page(Splitter2);

    tsDelegati = Page(frDelegatiConto);
    tsQuietanzante = Page(frQuietanzante);
    pcDetail->addTab(tsDelegati, QStringLiteral("Delegati Conto"));
    pcDetail->addTab(tsQuietanzante, QStringLiteral("Quietanzante"));
    Splitter1->addWidget(frDatiBanca);
    Splitter1->addWidget(pcDetail);
    tsPagamenti = Page(Splitter1);

    tsDatiLeg = Page(frDatiLeg);
    tsTelefono = Page(frNumTel);
    tsMail = Page(frEmailBen);
    tsWeb = Page(frWeb);
    tsRappr = Page(frRappr);
    tsSostituzioni = Page(frSostitBen);
    tsDurc = Page(frDurc);
    const std::pair<QWidget *, const char *> tabs[] = {{tsSedi, "Sedi"},
                                                       {tsPagamenti, "Pagamenti"},
                                                       {tsDatiLeg, "Dati legali"},
                                                       {tsTelefono, "Telefoni"},
                                                       {tsMail, "E-mail"},
                                                       {tsWeb, "Siti Web"},
                                                       {tsRappr, "Rappresentanti"},
                                                       {tsSostituzioni, "Sostituzioni"},
                                                       {tsDurc, "Elenco durc"}};
    for (const auto &[page, caption] : tabs)
        pcContenitore->addTab(page, QString::fromUtf8(caption));

    Splitter->addWidget(frBen);
    Splitter->addWidget(pcContenitore);
    // The details get the larger part: the list needs a few rows only.
    Splitter->setStretchFactor(0, 2);
    Splitter->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter);

    pcContenitore->OnChanging.Add(
        [this](TVoPageControl *, int index, bool &allow) { pcContenitoreChanging(index, allow); });
    pcContenitore->OnChange.Add([this](TVoPageControl *, int index) { TabShow(index); });
    frDatiBanca->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *) { frDatiBancaxdsMainDataChange(); });
}

// --- Creation ---------------------------------------------------------------------------------------------

void TfmBeneficiari::FormCreate() {
    TfmVoChildDB::FormCreate();
    if (!dmBeneficiari)
        throw EVoError(QStringLiteral("Archivio dei beneficiari non disponibile."));
    BenType.DetailTab = tabSedi;

    // 1. The pictures of the go-to actions.
    const int back = frSostitBen->Images().Count();
    LoadDefaultImages(frSostitBen->Images(), {QStringLiteral("BACK"), QStringLiteral("FORWARD")});
    frSostitBen->SetActionImage(frSostitBen->acSostituito, back);
    frSostitBen->SetActionImage(frSostitBen->acSostituente, back + 1);
    const int forward = frRappr->Images().Count();
    LoadDefaultImages(frRappr->Images(), {QStringLiteral("FORWARD")});
    frRappr->SetActionImage(frRappr->acRappresentante, forward);

    // 2. The beneficiaries sort on name, tax code and VAT number.
    TVoColsIndex &index = frBen->grFrame->ColsIndex();
    index.Clear();
    for (const auto &[column, field] :
         {std::pair{3, "SBENRAGSOC"}, std::pair{5, "SBENCODFISCALE"}, std::pair{6, "SBENPARTITAIVA"}})
        index.Add(column, QString::fromLatin1(field), QString::fromLatin1(field));

    // 3. The lookups' lists.
    frDatiBanca->xdlModPag->SetListSQL(QString::fromLatin1(kModPagListSQL));
    frDatiBanca->xdlABI->SetListSQL(QString::fromLatin1(kABIListSQL));
    frDatiBanca->xdlCAB->SetListSQL(QString::fromLatin1(kCABListSQL));
    for (TVoDBLookupEdit *lookup :
         {frBen->xdlLuogoNascita, frDatiLeg->xdlCCIA, frDatiLeg->xdlTribunale, frDatiLeg->xdlPrefettura,
          frDatiBanca->xdlModPag, frDatiBanca->xdlABI, frDatiBanca->xdlCAB, frQuietanzante->xdlComune,
          frSediBen->xdlComune, frTpSede->xdlTipoSede, frSostitBen->xdlSostituente,
          frRappr->xdlRappresentante})
        lookup->SetConnection(qqoVoGlobConn);

    // 4. The active beneficiaries.
    if (!dmBeneficiari->xqcBeneficiari->Active())
        OpenBeneficiari();
    frBen->ShowList();

    // 5. Each frame on its list.
    const std::pair<TfrVoDBROGrid *, TVoQueryCollection *> bindings[] = {
        {frBen, dmBeneficiari->xqcBeneficiari},
        {frNumTel, dmBeneficiari->xqcTelefoni},
        {frEmailBen, dmBeneficiari->xqcEmail},
        {frWeb, dmBeneficiari->xqcWeb},
        {frDatiLeg, dmBeneficiari->xqcDatiLegali},
        {frDatiBanca, dmBeneficiari->xqcDatiBancari},
        {frDelegatiConto, dmBeneficiari->xqcDelegatiConto},
        {frQuietanzante, dmBeneficiari->xqcQuietanzante},
        {frSediBen, dmBeneficiari->xqcSedi},
        {frTpSede, dmBeneficiari->xqcTipoSede},
        {frSostitBen, dmBeneficiari->xqcSostituente},
        {frRappr, dmBeneficiari->xqcRappresentanti},
        {frDurc, dmBeneficiari->xqcDurc}};
    for (const auto &[frame, dataSet] : bindings)
        frame->SetDataSet(dataSet);
    frSostitBen->SetSecondDataSet(dmBeneficiari->qcdSostituito);

    // 6. The publishers' look.
    frBen->gbEditore->hide();
    if (dmBeneficiari->BenPublishersMode) {
        setWindowTitle(QStringLiteral("Editori"));
        frBen->SetFrameCaption(QStringLiteral("Editori"));
        frBen->grFrame->SetColumnTitle(3, QStringLiteral("Ragione sociale"));
        frBen->gbEditore->show();
    }

    // 7. and 8. The place searches.
    frQuietanzante->fmSearchDialog->SetConnection(qqoVoGlobConn);
    frSediBen->fmSearchDialog->SetConnection(qqoVoGlobConn);
    const QString placeForm =
        EnsureComuniModule() ? QStringLiteral("TfmSearchLoco") : QStringLiteral("TfmVoSearch");
    for (TVoDBLookupEdit *lookup : {frBen->xdlLuogoNascita, frSediBen->xdlComune, frQuietanzante->xdlComune})
        lookup->SetSearchFormClass(placeForm);

    // 9. The turnover, with the currency symbol when asked.
    const QString decimals = CurrencyDecimalsSuffix();
    const QString format =
        dmBeneficiari->AmountFormat
            ? QStringLiteral("'%1' #,##0%2")
                  .arg(QLocale(QLocale::Italian, QLocale::Italy).currencySymbol(), decimals)
            : QStringLiteral("#,##0%1").arg(decimals);
    frDatiLeg->xdeImportoFatt->SetDisplayFormat(format);

    // A detail being typed is asked for before the beneficiary changes.
    m_hooks.Add(dmBeneficiari->xqcBeneficiari, dmBeneficiari->xqcBeneficiari->BeforeScroll,
                [this](TVoQueryCollection *) {
                    if (!AskSaveDetails(pcContenitore->ActivePageIndex()))
                        throw EVoAbort();
                });
}

void TfmBeneficiari::OpenBeneficiari() {
    TVoQueryCollection *beneficiari = dmBeneficiari->xqcBeneficiari;
    beneficiari->Open();
    ShowHistoricisedBeneficiari(beneficiari, false);
}

void TfmBeneficiari::FormActivate() {
    if (dmBeneficiari && !dmBeneficiari->xqcBeneficiari->Active())
        OpenBeneficiari();
}

// --- Showing ----------------------------------------------------------------------------------------------

void TfmBeneficiari::FormShow() {
    TfmVoChildDB::FormShow();
    if (pcContenitore->currentIndex() == tabSedi)
        TabShow(tabSedi);
    else
        pcContenitore->SetActivePage(tsSedi);
    AskIbanRecalculation();
}

// Once for every database: the stored IBANs are rebuilt from the coordinates when the user agrees.
void TfmBeneficiari::AskIbanRecalculation() {
    bool ask = false;
    {
        TVoQuery flag(QString::fromLatin1(kIbanFlagSQL), qqoVoGlobConn);
        flag.Open();
        ask = !flag.Eof() && flag.IsNull(QStringLiteral("ILOCKED"));
        flag.Close();
    }
    if (!ask || VoMessageDlg(kIbanQuestion, mtInformation, mbYesNo) != mrYes)
        return;
    RecalcAllIBAN(frBen->axShellError);
    TVoQuery done(QString::fromLatin1(kIbanFlagDoneSQL), qqoVoGlobConn);
    done.Exec();
}

QList<TfrVoDBRWGrid *> TfmBeneficiari::DetailFrames(int tab) const {
    switch (tab) {
    case tabSedi:
        return {frSediBen, frTpSede};
    case tabPagamenti:
        return {frDatiBanca, frDelegatiConto, frQuietanzante};
    case tabDatiLeg:
        return {frDatiLeg};
    case tabTelefono:
        return {frNumTel};
    case tabMail:
        return {frEmailBen};
    case tabWeb:
        return {frWeb};
    case tabRappr:
        return {frRappr};
    case tabSostituzioni:
        return {frSostitBen};
    default:
        return {};
    }
}

bool TfmBeneficiari::AskSaveDetails(int tab) {
    for (TfrVoDBRWGrid *frame : DetailFrames(tab))
        if (!AskSaveFrameBeforeClose(frame, windowTitle(), HelpContext))
            return false;
    return true;
}

void TfmBeneficiari::pcContenitoreChanging(int, bool &AllowChange) {
    if (!AskSaveDetails(pcContenitore->ActivePageIndex())) {
        AllowChange = false;
        return;
    }
    dmBeneficiari->CloseBenDetails();
}

void TfmBeneficiari::TabShow(int index) {
    if (!dmBeneficiari || index < 0)
        return;
    BenType.DetailTab = quint8(index);
    for (TfrVoDBRWGrid *frame : DetailFrames(index)) {
        if (qobject_cast<TfrVoDBRW *>(frame))
            frame->ShowDetail();
        else
            frame->ShowList();
    }
    if (index == tabPagamenti) {
        frDatiBanca->laNomeBanca->clear();
        frDatiBanca->laNomeSportello->clear();
    }
    dmBeneficiari->RefreshBenDetails();
}

// Delegates belong to a saved account.
void TfmBeneficiari::frDatiBancaxdsMainDataChange() {
    const TVoQueryCollection *accounts = dmBeneficiari ? dmBeneficiari->xqcDatiBancari : nullptr;
    frDelegatiConto->xacInsert->SetLocked(!accounts || !accounts->Active() || accounts->IsEmpty() ||
                                          accounts->State() == dsInsert);
}

// --- Closing ----------------------------------------------------------------------------------------------

bool TfmBeneficiari::FormCloseQuery() {
    const QList<TfrVoDBRWGrid *> chain{frBen,      frSediBen, frDatiBanca,     frSostitBen,
                                       frEmailBen, frWeb,     frTpSede,        frNumTel,
                                       frRappr,    frDatiLeg, frDelegatiConto, frQuietanzante};
    for (TfrVoDBRWGrid *frame : chain)
        if (!AskSaveFrameBeforeClose(frame, windowTitle(), HelpContext))
            return false;
    return true;
}

void TfmBeneficiari::FormClose(TCloseAction &Action) {
    m_hooks.Clear();
    if (dmBeneficiari && dmBeneficiari->xqcBeneficiari->Active())
        dmBeneficiari->xqcBeneficiari->Close();
    TfmVoChildDB::FormClose(Action);
}
