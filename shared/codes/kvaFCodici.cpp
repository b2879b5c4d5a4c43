#include "kvaFCodici.h"

#include "AbcUBounds.h"
#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBEdits.h"

namespace {

const char *const kCondSQL = "SELECT ICONDID, SCONDCODICE, SCONDDESC, ILOCKED FROM TCOND_CONDIZIONI ";
// The users of the codes both programs share: the consumables voucher rows and the durable goods,
// whichever program's window deletes the code.
const char *const kCondUsersSQL = "SELECT IAFCID FROM TAFC_ARTVELIST WHERE ICONDID = :ICONDID "
                                  "UNION ALL SELECT IBINBID FROM TBINB_BENI WHERE ICONDID = :ICONDID";

const char *const kCausaliSQL =
    "SELECT ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO, SCAVCAPITOLO, ILOCKED   FROM TCAV_CAUSALIINV ";
const char *const kCausaleCodiceSQL = "SELECT ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO, SCAVCAPITOLO   FROM "
                                      "TCAV_CAUSALIINV WHERE sCavCodice = :sCavCodice;";
// A good names a causal as the cause of its loading or of its unloading.
const char *const kCausaleUsersSQL =
    "SELECT IAFCID FROM TAFC_ARTVELIST WHERE ICAVID = :ICAVID UNION ALL SELECT IBINBID FROM TBINB_BENI "
    "WHERE ICAVID = :ICAVID OR ICAVIDSCARICO = :ICAVID";

const char *const kCategorieSQL =
    "SELECT ICAFID, SCAFCODICE, SCAFDESC, ILOCKED FROM TCAF_CATEGORIEFAC ORDER BY sCafDesc";
const char *const kCategoriaUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("ICAFID");

const char *const kCollocazioniSQL =
    " SELECT TCLC_COLLOCAZIONI.ICLCID, TCLC_COLLOCAZIONI.SCLCDESCS, TCLC_COLLOCAZIONI.SCLCDESCL FROM "
    "TCLC_COLLOCAZIONI";
const char *const kCollocazioneUsersSQL = "SELECT IAFCID FROM TAFC_ARTVELIST WHERE ICLCID = :ICLCID "
                                          "UNION ALL SELECT IBINBID FROM TBINB_BENI WHERE ICLCID = :ICLCID";

const char *const kAliquoteSQL =
    "SELECT IALVID, SALVDESCS, SALVDESCL, FALVIVA, ILOCKED FROM TALV_ALIQUOTEIVA";
const char *const kAliquotaUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("IALVID");
const char *const kPercentFormat = "#,##0.00";

const char *const kUniMisuraSQL =
    "SELECT IUNMID, SUNMCOD, SUNMDESCS, SUNMDESCL, SUNMMISCARICO, SUNMMISSCARICO, "
    "FUNMFATTOREPROP, ILOCKED FROM TUNM_UNITAMISURA;";
const char *const kUnitaUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("IUNMID");

} // namespace

// --- Conditions ---------------------------------------------------------------------------------------

TfrkvaCond::TfrkvaCond(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("sCondDesc"), 250)),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sCondCodice"), 20)) {
    setToolTip(QStringLiteral("Condizioni di utilizzo"));
    grFrame->AddColumn(QStringLiteral("sCondCodice"), QStringLiteral("Codice"), 72);
    grFrame->AddColumn(QStringLiteral("sCondDesc"), QStringLiteral("Descrizione"), 333);
}

TfmkvaCond::TfmkvaCond(QWidget *parent)
    : TfmVoRegistry(parent), xqcTabella(NewCollection(QStringLiteral("xqcTabella"))),
      frMaster(new TfrkvaCond) {
    setWindowTitle(QStringLiteral("Condizioni"));
    Arrange(frMaster, xqcTabella);
    GuardDeleteWhileUsed(xqcTabella, QStringLiteral("TCOND_CONDIZIONI"), QStringLiteral("ICONDID"),
                         QString::fromLatin1(kCondUsersSQL));
}

void TfmkvaCond::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcTabella, CurrDwgReplaced(kCondSQL),
                  {{0, QStringLiteral("sCondCodice"), true}, {1, QStringLiteral("sCondDesc"), true}});
}

// --- Causals ------------------------------------------------------------------------------------------

TfrkvaCausali::TfrkvaCausali(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      VoDBEdit1(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SCAVCODICE"), 20)),
      VoDBEdit2(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SCAVDESC"), 250)),
      xckScarico(VoAddDetailControl<TVoDBCheckBox>(this, QStringLiteral("Causale di scarico"),
                                                   QStringLiteral("ICAVTIPO"))) {
    grFrame->AddColumn(QStringLiteral("SCAVCODICE"), QStringLiteral("Codice"), 79);
    grFrame->AddColumn(QStringLiteral("SCAVDESC"), QStringLiteral("Descrizione"), 319);
}

TfmkvaCausali::TfmkvaCausali(QWidget *parent)
    : TfmkvaCausali(QStringLiteral("Causali"), kCausaliSQL, parent) {}

TfmkvaCausali::TfmkvaCausali(const QString &caption, const char *select, QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))), frMaster(new TfrkvaCausali),
      m_select(select) {
    setWindowTitle(caption);
    Arrange(frMaster, xqcMain);
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TCAV_CAUSALIINV"), QStringLiteral("ICAVID"),
                         QString::fromLatin1(kCausaleUsersSQL));
    // A new causal is a loading causal unless the user ticks the box.
    xqcMain->AfterInsert.Add(
        [](TVoQueryCollection *c) { c->FieldByName(QStringLiteral("ICAVTIPO"))->SetAsInteger(0); });
    frMaster->VoDBEdit1->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterVoDBEdit1Validate(Ok, Msg); });
    frMaster->VoDBEdit2->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterVoDBEdit2Validate(Ok, Msg); });
}

void TfmkvaCausali::FormCreate() {
    TfmVoRegistry::FormCreate();
    quCodice = std::make_unique<TVoQuery>(QString::fromLatin1(kCausaleCodiceSQL), qqoVoGlobConn);
    SetUpRegistry(frMaster, xqcMain, CurrDwgReplaced(m_select),
                  {{0, QStringLiteral("sCavCodice"), true}, {1, QStringLiteral("sCavDesc"), true}});
}

void TfmkvaCausali::frMasterVoDBEdit1Validate(bool &Ok, QString &Msg) {
    const QString code = frMaster->VoDBEdit1->text();
    if (code.isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("Codice");
        return;
    }
    const int mode = frMaster->xdsMain->State();
    const bool changed =
        mode == dsInsert ||
        (mode == dsEdit && code != xqcMain->FieldByName(QStringLiteral("SCAVCODICE"))->OldValue().toString());
    if (!changed)
        return;
    quCodice->SetParam(QStringLiteral("sCavCodice"), code).Open();
    const bool taken = !quCodice->Eof();
    quCodice->Close();
    if (taken) {
        Ok = false;
        Msg = QStringLiteral("Codice già presente");
    }
}

void TfmkvaCausali::frMasterVoDBEdit2Validate(bool &Ok, QString &Msg) {
    if (frMaster->VoDBEdit2->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("Descrizione");
    }
}

// --- Categories ---------------------------------------------------------------------------------------

TfrkvaCategorie::TfrkvaCategorie(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sCafCodice"), 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Classificazioni"), QStringLiteral("sCafDesc"), 250)) {
    setToolTip(QStringLiteral("Categorie"));
    grFrame->AddColumn(QStringLiteral("SCAFCODICE"), QStringLiteral("Codice"));
    grFrame->AddColumn(QStringLiteral("SCAFDESC"), QStringLiteral("Descrizione"), 500);
    VoRequireValue(xedCodice, QStringLiteral("Codice"));
    VoRequireValue(xedDesc, QStringLiteral("Categoria"));
}

TfmkvaCategorie::TfmkvaCategorie(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      frDetail(new TfrkvaCategorie) {
    setWindowTitle(QStringLiteral("Classificazioni"));
    Arrange(frDetail, xqcMain);
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TCAF_CATEGORIEFAC"), QStringLiteral("ICAFID"),
                         QString::fromLatin1(kCategoriaUsersSQL));
}

void TfmkvaCategorie::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frDetail, xqcMain, CurrDwgReplaced(kCategorieSQL),
                  {{0, QStringLiteral("sCafCodice"), false}, {1, QStringLiteral("sCafDesc"), true}});
}

// --- Storage locations --------------------------------------------------------------------------------

TfrkvaCollocazioni::TfrkvaCollocazioni(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xdeCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SCLCDESCS"), 20)),
      xdeDescrizione(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SCLCDESCL"), 250)) {
    VoAddHiddenColumn(grFrame, QStringLiteral("ICLCID"));
    grFrame->AddColumn(QStringLiteral("SCLCDESCS"), QStringLiteral("Codice"), 70);
    grFrame->AddColumn(QStringLiteral("SCLCDESCL"), QStringLiteral("Descrizione"), 350);
}

TfmkvaCollocazioni::TfmkvaCollocazioni(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      frMaster(new TfrkvaCollocazioni) {
    setWindowTitle(QStringLiteral("Collocazioni"));
    Arrange(frMaster, xqcMain);
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TCLC_COLLOCAZIONI"), QStringLiteral("ICLCID"),
                         QString::fromLatin1(kCollocazioneUsersSQL));
}

void TfmkvaCollocazioni::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain, QString::fromLatin1(kCollocazioniSQL),
                  {{1, QStringLiteral("SCLCDESCS"), true}, {2, QStringLiteral("SCLCDESCL"), true}});
}

// --- VAT rates ----------------------------------------------------------------------------------------

TfrkvaAliquoteIVA::TfrkvaAliquoteIVA(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xdeCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SALVDESCS"), 5)),
      xdeDescrizione(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SALVDESCL"), 120)),
      xdnIVA(VoAddDetailControl<TVoDBNumericEdit>(this, QStringLiteral("% IVA"), QStringLiteral("FALVIVA"))) {
    setToolTip(QStringLiteral("Aliquote IVA"));
    VoAddHiddenColumn(grFrame, QStringLiteral("IALVID"));
    grFrame->AddColumn(QStringLiteral("SALVDESCS"), QStringLiteral("Codice"), 70);
    grFrame->AddColumn(QStringLiteral("SALVDESCL"), QStringLiteral("Descrizione"), 400);
    grFrame->AddColumn(QStringLiteral("FALVIVA"), QStringLiteral(" % IVA"), 60, Qt::AlignRight,
                       QString::fromLatin1(kPercentFormat));
    xdnIVA->SetDisplayFormat(QString::fromLatin1(kPercentFormat));
}

TfmkvaAliquoteIVA::TfmkvaAliquoteIVA(QWidget *parent)
    : TfmVoRegistry(parent), xqcAliquoteIVA(NewCollection(QStringLiteral("xqcAliquoteIVA"))),
      frFkvaAliquoteIVA(new TfrkvaAliquoteIVA) {
    setWindowTitle(QStringLiteral("Aliquote IVA"));
    Arrange(frFkvaAliquoteIVA, xqcAliquoteIVA);
    GuardDeleteWhileUsed(xqcAliquoteIVA, QStringLiteral("TALV_ALIQUOTEIVA"), QStringLiteral("IALVID"),
                         QString::fromLatin1(kAliquotaUsersSQL));
}

void TfmkvaAliquoteIVA::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frFkvaAliquoteIVA, xqcAliquoteIVA, QString::fromLatin1(kAliquoteSQL),
                  {{1, QStringLiteral("SALVDESCS"), true}, {2, QStringLiteral("SALVDESCL"), true}});
    // Every total with VAT adds the rate's share of each row: the rows' bounds count on a rate of at
    // most a hundred.
    xqcAliquoteIVA->SetFieldBounds(QStringLiteral("FALVIVA"),
                                   TVoBounds::NotNegative(100, QStringLiteral("% IVA")));
}

// --- Units of measure ---------------------------------------------------------------------------------

TfrkvaUniMisura::TfrkvaUniMisura(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xdeCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SUNMCOD"), 5)),
      xdeDescrizione(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SUNMDESCS"), 120)),
      xdmNote(VoAddDetailControl<TVoDBMemo>(this, QStringLiteral("Note"), QStringLiteral("SUNMDESCL"))),
      xdeMisuraCarico(
          VoAddDetailEdit(this, QStringLiteral("Misura di carico"), QStringLiteral("SUNMMISCARICO"), 5)),
      xdeMisuraScarico(
          VoAddDetailEdit(this, QStringLiteral("Misura di scarico"), QStringLiteral("SUNMMISSCARICO"), 5)),
      xdnFattore(VoAddDetailControl<TVoDBNumericEdit>(this, QStringLiteral("Fattore conversione"),
                                                      QStringLiteral("FUNMFATTOREPROP"))) {
    setToolTip(QStringLiteral("Unità di Misura"));
    VoAddHiddenColumn(grFrame, QStringLiteral("IUNMID"));
    grFrame->AddColumn(QStringLiteral("SUNMCOD"), QStringLiteral("Codice"), 70);
    grFrame->AddColumn(QStringLiteral("SUNMDESCS"), QStringLiteral("Descrizione"), 200);
    grFrame->AddColumn(QStringLiteral("sUnmMisCarico"), QStringLiteral("Carico"), 100);
    grFrame->AddColumn(QStringLiteral("sUnmMisScarico"), QStringLiteral("Scarico"), 100);
    grFrame->AddColumn(QStringLiteral("fUnmFattoreProp"), QStringLiteral("Fattore conversione"), 100,
                       Qt::AlignRight);
    xdmNote->SetMaxLength(120);
    xdmNote->setFixedHeight(xdmNote->fontMetrics().lineSpacing() * 4);
    xdmNote->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    xdeDescrizione->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { xdeDescrizioneValidate(Ok, Msg); });
}

// A unit whose measures are not given is loaded and handed out in itself: its description serves as
// both, cut to the measures' five characters.
void TfrkvaUniMisura::xdeDescrizioneValidate(bool &, QString &) {
    if (xdsMain->State() == dsBrowse || xdeDescrizione->text().isEmpty())
        return;
    if (xdeMisuraCarico->text().toUpper().isEmpty() && xdeMisuraScarico->text().toUpper().isEmpty()) {
        xdeMisuraCarico->setText(xdeDescrizione->text());
        xdeMisuraScarico->setText(xdeDescrizione->text());
    }
}

TfmkvaUniMisura::TfmkvaUniMisura(QWidget *parent)
    : TfmVoRegistry(parent), xqcUniMisura(NewCollection(QStringLiteral("xqcUniMisura"))),
      frUniMisura(new TfrkvaUniMisura) {
    setWindowTitle(QStringLiteral("Unità di Misura"));
    Arrange(frUniMisura, xqcUniMisura);
    GuardDeleteWhileUsed(xqcUniMisura, QStringLiteral("TUNM_UNITAMISURA"), QStringLiteral("IUNMID"),
                         QString::fromLatin1(kUnitaUsersSQL));
    xqcUniMisura->AfterInsert.Add(
        [](TVoQueryCollection *c) { c->FieldByName(QStringLiteral("FUNMFATTOREPROP"))->SetAsFloat(1); });
}

void TfmkvaUniMisura::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frUniMisura, xqcUniMisura, QString::fromLatin1(kUniMisuraSQL),
                  {{1, QStringLiteral("SUNMCOD"), true}, {2, QStringLiteral("SUNMDESCS"), true}});
    // Every unloading quantity is a loading quantity times this factor: the quantities' bounds count
    // on it.
    xqcUniMisura->SetFieldBounds(QStringLiteral("FUNMFATTOREPROP"),
                                 AbcUnitFactorBounds(QStringLiteral("Fattore conversione")));
    xqcUniMisura->Open();
}
