// The code registries and the documents windows by their class names, with this program's profile
// where they take one. They are registered here, apart from their units, because the durable-goods
// program links those windows under names or profiles of its own and must not offer them under these.
#include "VoClassRegistry.h"
#include "kvaFCodMerce.h"
#include "kvaFCodici.h"
#include "kvaFDoc.h"
#include "kvaUUtil.h"

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
// Only the goods codes that no category holds yet.
const char *const kMerceologiaListSQL =
    "SELECT IMERID, SMERDESC, SMERCODICE FROM TMER_CODICIMERCEOL WHERE (iMerId "
    "NOT IN (SELECT iMerId FROM TCfm_CategFacMerce)) AND ##WHERE##";

// This program's classifications: a goods code belongs to one of them at most.
const TCategMerceProfile kCategMerce{
    kCategorieSQL,
    QStringLiteral("TCAF_CATEGORIEFAC"),
    QStringLiteral("ICAFID"),
    QStringLiteral("Classificazioni"),
    QStringLiteral("sCafCodice"),
    QStringLiteral("sCafDesc"),
    400,
    false,
    kCategMerceSQL,
    kCategMerceInsertSQL,
    kCategMerceUpdateSQL,
    kCategMerceDeleteSQL,
    QStringLiteral("ICFMID"),
    QStringLiteral("TCFM_CATEGFACMERCE"),
    KVA_ROWS_AND_ARTICLES_NAMING("ICFMID"),
    kMerceologiaListSQL,
    {QStringLiteral("Descrizione"), QStringLiteral("Codice")},
    {200, 50},
    GoodsCodeHasCategories,
    nullptr,
    QStringLiteral("Caricare una classificazione"),
};

} // namespace

VO_REGISTER_CLASS(TfmkvaCond);
VO_REGISTER_CLASS(TfmkvaCausali);
VO_REGISTER_CLASS(TfmkvaCategorie);
VO_REGISTER_CLASS(TfmkvaCollocazioni);
VO_REGISTER_CLASS(TfmkvaCodMerce);
static const TVoClassRegistrar TfmCategMerce_registrar(QStringLiteral("TfmCategMerce"), [](QWidget *parent) {
    return new TfmCategMerce(kCategMerce, parent);
});
VO_REGISTER_CLASS(TfmkvaAliquoteIVA);
VO_REGISTER_CLASS(TfmkvaUniMisura);
VO_REGISTER_CLASS(TfmkvaDoc);
VO_REGISTER_CLASS(TfmkvaTipoDoc);
