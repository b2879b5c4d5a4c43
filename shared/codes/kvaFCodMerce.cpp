#include "kvaFCodMerce.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDataSource.h"
#include "VoExceptions.h"
#include "VoMasterDetail.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "kvaFCodici.h"

namespace {

const char *const kCodMerceSQL = "SELECT IMERID, SMERCODICE, SMERDESC, LMERPRG FROM TMER_CODICIMERCEOL ";
const char *const kCodMerceInsertSQL =
    "INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC, LMERPRG) "
    "VALUES (:VOGENID, :SMERCODICE, :SMERDESC, 'F') ";
const char *const kCodMerceUpdateSQL =
    "UPDATE TMER_CODICIMERCEOL SET SMERCODICE=:SMERCODICE, SMERDESC=:SMERDESC WHERE IMERID=:VOCURRID ";
const char *const kCodMerceDeleteSQL = "DELETE FROM TMER_CODICIMERCEOL WHERE IMERID=:VOCURRID";
// A goods code is used by the consumables rows and articles and by the durable-goods categories, whose
// goods name it through them; whichever program's window deletes it.
const char *const kCodMerceUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING(
    "IMERID") " UNION ALL SELECT ICAEID FROM TCAE_CATEGMERCE WHERE IMERID = :IMERID";

const char *const kDettaglioSQL = "SELECT IDCMID, IMERID, SDCMDESCS, SDCMDESCL FROM TDcm_DettCodMerc WHERE "
                                  "IMERID=:IMERID ";
const char *const kDettaglioInsertSQL = "INSERT INTO TDcm_DettCodMerc (IDCMID, IMERID, SDCMDESCS, SDCMDESCL) "
                                        "VALUES (:VOGENID, :IMERID, :SDCMDESCS, :SDCMDESCL) ";
const char *const kDettaglioUpdateSQL =
    "UPDATE TDcm_DettCodMerc SET SDCMDESCS=:SDCMDESCS, SDCMDESCL=:SDCMDESCL WHERE IDCMID=:VOCURRID ";
const char *const kDettaglioDeleteSQL = "DELETE FROM TDcm_DettCodMerc WHERE IDCMID=:VOCURRID";
const char *const kDettaglioUsersSQL = KVA_ROWS_AND_ARTICLES_NAMING("IDCMID");

const char *const kSameLinkMessage = "Codice merceologico già presente nella categoria";

} // namespace

// --- Categories and their goods codes -----------------------------------------------------------------

TfrCategRo::TfrCategRo(const TCategMerceProfile &profile, QWidget *parent) : TfrVoDBROGrid(parent) {
    setToolTip(profile.categoriesHint);
    grFrame->AddColumn(profile.categoryCode, QStringLiteral("Codice"), 52);
    grFrame->AddColumn(profile.categoryDesc, QStringLiteral("Descrizione"), profile.categoryDescWidth);
}

TfrCategMerce::TfrCategMerce(const TCategMerceProfile &profile, QWidget *parent)
    : TfrVoDBRWGrid(parent), xelMerceologia(VoAddDetailControl<TVoDBLookupEdit>(
                                 this, QStringLiteral("Merceologia"), QStringLiteral("iMerId"))),
      m_profile(profile) {
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

// Where a goods code belongs to one category at most, the code the link holds is no exception, since
// the list offers only free codes.
void TfrCategMerce::xelMerceologiaValidate(bool &Ok, QString &Msg) {
    if (xelMerceologia->text().isEmpty()) {
        Ok = false;
        Msg = QStringLiteral("Codice merceologico");
    }
    if (m_profile.codeInAnyCategory && m_profile.codeInAnyCategory(xelMerceologia->KeyValue().toInt())) {
        Ok = false;
        Msg = QStringLiteral("Codice merceologico già usato");
    }
}

void TfrCategMerce::xelMerceologiaShowSearchForm(TVoSearchDialog *Form) {
    SetSearchForm(Form, m_profile.searchCaptions, m_profile.searchWidths);
}

TfmCategMerce::TfmCategMerce(const TCategMerceProfile &profile, QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      xqcDetail(NewCollection(QStringLiteral("xqcDetail"))), frMaster(new TfrCategRo(profile)),
      frDetail(new TfrCategMerce(profile)), m_profile(profile),
      m_link(new TVoMasterDetail(xqcMain, xqcDetail, profile.categoryKey, this)) {
    setWindowTitle(QStringLiteral("Categorie merceologiche"));
    Arrange(frMaster, xqcMain, frDetail, xqcDetail);
    // The window warns about an empty list before the goods codes follow the category.
    m_link->SetFollowMaster(false);
    VoDetailFollowsMaster(m_link, frDetail);
    frMaster->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *Field) { frMasterxdsMainDataChange(Field); });
    xqcDetail->BeforeWrite.Add(
        [this](TVoQueryCollection *, int listKind) { xqcDetailBeforeWrite(listKind); });
    GuardDeleteWhileUsed(xqcDetail, profile.linkTable, profile.linkKey,
                         QString::fromLatin1(profile.linkUsersSQL));
}

void TfmCategMerce::FormCreate() {
    TfmVoRegistry::FormCreate();
    frDetail->xelMerceologia->SetConnection(qqoVoGlobConn);
    frDetail->xelMerceologia->SetListSQL(QString::fromUtf8(m_profile.goodsCodesSQL));
    SetUpCollection(xqcMain, CurrDwgReplaced(m_profile.categoriesSQL));
    // The categories are only listed here.
    xqcMain->SetAutoBuildSQL(false);
    xqcMain->SetLockedRowsReadOnly(m_profile.lockedCategories);
    SetSortIndex(frMaster->grFrame, {{0, m_profile.categoryCode, true}, {1, m_profile.categoryDesc, true}});
    SetUpRegistry(
        frDetail, xqcDetail, QString::fromUtf8(m_profile.linksSQL),
        {{0, QStringLiteral("SMERCODICE"), true}, {1, QStringLiteral("SMERDESC"), true}},
        TVoRegistryStatements::Of(m_profile.linkInsertSQL, m_profile.linkUpdateSQL, m_profile.linkDeleteSQL));
}

void TfmCategMerce::frMasterxdsMainDataChange(TVoField *Field) {
    // A list being closed with the window has no rows either, and nothing to ask for.
    if (!xqcMain->Active())
        return;
    if (xqcMain->IsEmpty()) {
        VoMessageDlg(m_profile.noCategories, mtWarning, mbOK);
        return;
    }
    if (!Field)
        m_link->Reload();
}

// A goods code is listed once in a category. The category is locked first, so that another copy adding
// the same code meanwhile waits for this write and then finds it.
void TfmCategMerce::xqcDetailBeforeWrite(int listKind) {
    if (!m_profile.sameLinkSQL || listKind == skDelete)
        return;
    const QVariant category = m_link->MasterKey();
    VoLockRow(m_profile.categoriesTable, m_profile.categoryKey, category);
    TVoQuery q(QString::fromUtf8(m_profile.sameLinkSQL));
    q.SetParam(QStringLiteral("category"), category)
        .SetParam(QStringLiteral("goodsCode"), xqcDetail->FieldByName(QStringLiteral("IMERID"))->Value())
        .SetParam(QStringLiteral("link"),
                  listKind == skInsert ? QVariant(-1) : xqcDetail->FieldByName(m_profile.linkKey)->Value())
        .Open();
    if (!q.Eof())
        throw EVoError(VoValidationMessage(QString::fromUtf8(kSameLinkMessage), false));
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

TfmkvaCodMerce::TfmkvaCodMerce(QWidget *parent) : TfmkvaCodMerce(kCodMerceInsertSQL, true, parent) {}

TfmkvaCodMerce::TfmkvaCodMerce(const char *insertSQL, QWidget *parent)
    : TfmkvaCodMerce(insertSQL, false, parent) {}

TfmkvaCodMerce::TfmkvaCodMerce(const char *insertSQL, bool details, QWidget *parent)
    : TfmVoRegistry(parent), xqcMain(NewCollection(QStringLiteral("xqcMain"))),
      xqcDetail(details ? NewCollection(QStringLiteral("xqcDetail")) : nullptr), frMaster(new TfrkvaMer),
      frDetail(details ? new TfrkvaDettCodMerc : nullptr), m_insertSQL(insertSQL) {
    setWindowTitle(QStringLiteral("Tabella codici merceologici"));
    GuardDeleteWhileUsed(xqcMain, QStringLiteral("TMER_CODICIMERCEOL"), QStringLiteral("IMERID"),
                         QString::fromLatin1(kCodMerceUsersSQL));
    if (!details) {
        Arrange(frMaster, xqcMain);
        return;
    }
    Arrange(frMaster, xqcMain, frDetail, xqcDetail);
    VoDetailFollowsMaster(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("IMERID"), this), frDetail);
    GuardDeleteWhileUsed(xqcDetail, QStringLiteral("TDCM_DETTCODMERC"), QStringLiteral("IDCMID"),
                         QString::fromLatin1(kDettaglioUsersSQL));
}

void TfmkvaCodMerce::FormCreate() {
    TfmVoRegistry::FormCreate();
    SetUpRegistry(frMaster, xqcMain, QString::fromLatin1(kCodMerceSQL),
                  {{0, QStringLiteral("sMerCodice"), true}, {1, QStringLiteral("sMerDesc"), true}},
                  TVoRegistryStatements::Of(m_insertSQL, kCodMerceUpdateSQL, kCodMerceDeleteSQL));
    if (frDetail)
        SetUpRegistry(
            frDetail, xqcDetail, QString::fromLatin1(kDettaglioSQL),
            {{1, QStringLiteral("sDcmDescS"), true}, {2, QStringLiteral("sDcmDescL"), true}},
            TVoRegistryStatements::Of(kDettaglioInsertSQL, kDettaglioUpdateSQL, kDettaglioDeleteSQL));
}
