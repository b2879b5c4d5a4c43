#include "kvaFCodMerce.h"

#include "VoClassRegistry.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoMasterDetail.h"
#include "VoMessages.h"
#include "kvaUUtil.h"

VO_REGISTER_CLASS(TfmCategMerce);
VO_REGISTER_CLASS(TfmkvaCodMerce);

namespace {

const char *const kCategorieSQL =
    "SELECT ICAFID, SCAFCODICE, SCAFDESC, ILOCKED FROM TCAF_CATEGORIEFAC ORDER BY sCafDesc";
const char *const kCategMerceSQL =
    "SELECT cfm.iCfmId, cfm.iCafId, cfm.iMerId, mer.sMerCodice, mer.sMerDesc FROM TCfm_CategFacMerce cfm "
    "LEFT JOIN TMer_CodiciMerceol mer ON (mer.iMerId = cfm.iMerId) WHERE cfm.iCafId=:iCafId";
const char *const kCategMerceInsertSQL =
    "INSERT INTO TCfm_CategFacMerce  (iCfmId, iCafId, iMerId)  VALUES (:VOGENID, :iCafId, :iMerId)";
const char *const kCategMerceUpdateSQL =
    "UPDATE TCfm_CategFacMerce  SET iMerId=:iMerId  WHERE (iCfmId=:VOCURRID)";
const char *const kCategMerceDeleteSQL = "DELETE FROM TCfm_CategFacMerce WHERE iCfmId=:VOCURRID";
const char *const kCategMerceUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("ICFMID");
// Only the goods codes that no category holds yet.
const char *const kMerceologiaListSQL =
    "SELECT IMERID, SMERDESC, SMERCODICE FROM TMER_CODICIMERCEOL WHERE (iMerId "
    "NOT IN (SELECT iMerId FROM TCfm_CategFacMerce)) AND ##WHERE##";

const char *const kCodMerceSQL = "SELECT IMERID, SMERCODICE, SMERDESC, LMERPRG FROM TMER_CODICIMERCEOL ";
const char *const kCodMerceInsertSQL =
    "INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC, LMERPRG) "
    "VALUES (:VOGENID, :SMERCODICE, :SMERDESC, 'F') ";
const char *const kCodMerceUpdateSQL =
    "UPDATE TMER_CODICIMERCEOL SET SMERCODICE=:SMERCODICE, SMERDESC=:SMERDESC WHERE IMERID=:VOCURRID ";
const char *const kCodMerceDeleteSQL = "DELETE FROM TMER_CODICIMERCEOL WHERE IMERID=:VOCURRID";
const char *const kCodMerceUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("IMERID");

const char *const kDettaglioSQL = "SELECT IDCMID, IMERID, SDCMDESCS, SDCMDESCL FROM TDcm_DettCodMerc WHERE "
                                  "IMERID=:IMERID ";
const char *const kDettaglioInsertSQL = "INSERT INTO TDcm_DettCodMerc (IDCMID, IMERID, SDCMDESCS, SDCMDESCL) "
                                        "VALUES (:VOGENID, :IMERID, :SDCMDESCS, :SDCMDESCL) ";
const char *const kDettaglioUpdateSQL =
    "UPDATE TDcm_DettCodMerc SET SDCMDESCS=:SDCMDESCS, SDCMDESCL=:SDCMDESCL WHERE IDCMID=:VOCURRID ";
const char *const kDettaglioDeleteSQL = "DELETE FROM TDcm_DettCodMerc WHERE IDCMID=:VOCURRID";
const char *const kDettaglioUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("IDCMID");

} // namespace

// --- Categories and their goods codes -----------------------------------------------------------------

TfrCategRo::TfrCategRo(QWidget *parent) : TfrVoDBROGrid(parent) {
    setToolTip(QStringLiteral("Classificazioni"));
    grFrame->AddColumn(QStringLiteral("sCafCodice"), QStringLiteral("Codice"), 52);
    grFrame->AddColumn(QStringLiteral("sCafDesc"), QStringLiteral("Descrizione"), 400);
}

TfrCategMerce::TfrCategMerce(QWidget *parent)
    : TfrVoDBRWGrid(parent), xelMerceologia(VoAddDetailControl<TVoDBLookupEdit>(
                                 this, QStringLiteral("Merceologia"), QStringLiteral("iMerId"))) {
    setToolTip(QStringLiteral("Codici merceologici"));
    grFrame->AddColumn(QStringLiteral("sMerCodice"), QStringLiteral("Codice"));
    grFrame->AddColumn(QStringLiteral("sMerDesc"), QStringLiteral("Descrizione"), 284);
    xelMerceologia->SetKeyField(QStringLiteral("IMERID"));
    xelMerceologia->SetListField(QStringLiteral("SMERDESC"));
    xelMerceologia->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelMerceologiaChangeFKValue(); });
    xelMerceologia->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { xelMerceologiaValidate(Ok, Msg); });
    xelMerceologia->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *, TVoSearchDialog *Form) { xelMerceologiaShowSearchForm(Form); });
}

// The list shows the code beside the description the lookup writes.
void TfrCategMerce::xelMerceologiaChangeFKValue() {
    if (xdsMain->Editing())
        DataSet()
            ->FieldByName(QStringLiteral("SMERCODICE"))
            ->SetValue(xelMerceologia->ListValue(QStringLiteral("SMERCODICE")));
}

// A goods code belongs to one category at most; the code the link holds is no exception, since the
// list offers only free codes.
void TfrCategMerce::xelMerceologiaValidate(bool &Ok, QString &Msg) {
    if (xelMerceologia->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("Codice merceologico");
    }
    if (GoodsCodeHasCategories(xelMerceologia->KeyValue().toInt())) {
        Ok = false;
        Msg = QStringLiteral("Codice merceologico già usato");
    }
}

void TfrCategMerce::xelMerceologiaShowSearchForm(TVoSearchDialog *Form) {
    SetSearchForm(Form, {QStringLiteral("Descrizione"), QStringLiteral("Codice")}, {200, 50});
}

TfmCategMerce::TfmCategMerce(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      xqcDetail(NewCollection(QStringLiteral("xqcDetail"))), frMaster(new TfrCategRo),
      frDetail(new TfrCategMerce),
      m_link(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("ICAFID"), this)) {
    setWindowTitle(QStringLiteral("Categorie merceologiche"));
    Arrange(frMaster, xqcMain, frDetail, xqcDetail);
    // The window warns about an empty list before the goods codes follow the category.
    m_link->SetFollowMaster(false);
    VoDetailFollowsMaster(m_link, frDetail);
    frMaster->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *Field) { frMasterxdsMainDataChange(Field); });
    GuardDeleteWhileUsed(xqcDetail, QStringLiteral("TCFM_CATEGFACMERCE"), QStringLiteral("ICFMID"),
                         QString::fromLatin1(kCategMerceUsersSQL));
}

void TfmCategMerce::FormCreate() {
    TfmVoRegistry::FormCreate();
    frDetail->xelMerceologia->SetConnection(qqoVoGlobConn);
    frDetail->xelMerceologia->SetListSQL(QString::fromLatin1(kMerceologiaListSQL));
    SetUpCollection(xqcMain, QString::fromLatin1(kCategorieSQL));
    // The categories are only listed here.
    xqcMain->SetAutoBuildSQL(false);
    SetSortIndex(frMaster->grFrame,
                 {{0, QStringLiteral("SCAFCODICE"), true}, {1, QStringLiteral("SCAFDESC"), true}});
    SetUpRegistry(
        frDetail, xqcDetail, QString::fromLatin1(kCategMerceSQL),
        {{0, QStringLiteral("SMERCODICE"), true}, {1, QStringLiteral("SMERDESC"), true}},
        TVoRegistryStatements::Of(kCategMerceInsertSQL, kCategMerceUpdateSQL, kCategMerceDeleteSQL));
}

void TfmCategMerce::frMasterxdsMainDataChange(TVoField *Field) {
    if (xqcMain->IsEmpty()) {
        VoMessageDlg(QStringLiteral("Caricare una classificazione"), mtWarning, mbOK);
        return;
    }
    if (!Field)
        m_link->Reload();
}

// --- Goods codes and their details --------------------------------------------------------------------

TfrkvaMer::TfrkvaMer(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xedCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SMERCODICE"), 20)),
      xedDesc(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SMERDESC"), 250)) {
    setToolTip(QStringLiteral("Codici merceologici"));
    grFrame->AddColumn(QStringLiteral("sMerCodice"), QStringLiteral("Codice"), 125);
    grFrame->AddColumn(QStringLiteral("sMerDesc"), QStringLiteral("Descrizione"), 333);
}

TfrkvaDettCodMerc::TfrkvaDettCodMerc(QWidget *parent)
    : TfrVoDBRWGrid(parent),
      xdeCodice(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("SDCMDESCS"), 5)),
      xdeDescrizione(VoAddDetailEdit(this, QStringLiteral("Descrizione"), QStringLiteral("SDCMDESCL"), 120)) {
    setToolTip(QStringLiteral("Dettaglio Codici Merceologici"));
    VoAddHiddenColumn(grFrame, QStringLiteral("IDCMID"));
    grFrame->AddColumn(QStringLiteral("SDCMDESCS"), QStringLiteral("Codice"), 70);
    grFrame->AddColumn(QStringLiteral("SDCMDESCL"), QStringLiteral("Descrizione"), 400);
}

TfmkvaCodMerce::TfmkvaCodMerce(QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      xqcDetail(NewCollection(QStringLiteral("xqcDetail"))), frMaster(new TfrkvaMer),
      frDetail(new TfrkvaDettCodMerc) {
    setWindowTitle(QStringLiteral("Tabella codici merceologici"));
    Arrange(frMaster, xqcMain, frDetail, xqcDetail);
    VoDetailFollowsMaster(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("IMERID"), this), frDetail);
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TMER_CODICIMERCEOL"), QStringLiteral("IMERID"),
                         QString::fromLatin1(kCodMerceUsersSQL));
    GuardDeleteWhileUsed(xqcDetail, QStringLiteral("TDCM_DETTCODMERC"), QStringLiteral("IDCMID"),
                         QString::fromLatin1(kDettaglioUsersSQL));
}

void TfmkvaCodMerce::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain, QString::fromLatin1(kCodMerceSQL),
                  {{0, QStringLiteral("sMerCodice"), true}, {1, QStringLiteral("sMerDesc"), true}},
                  TVoRegistryStatements::Of(kCodMerceInsertSQL, kCodMerceUpdateSQL, kCodMerceDeleteSQL));
    SetUpRegistry(frDetail, xqcDetail, QString::fromLatin1(kDettaglioSQL),
                  {{1, QStringLiteral("sDcmDescS"), true}, {2, QStringLiteral("sDcmDescL"), true}},
                  TVoRegistryStatements::Of(kDettaglioInsertSQL, kDettaglioUpdateSQL, kDettaglioDeleteSQL));
}
