// Every window of this program by its class name, with this program's profile where a window of
// both programs takes one; the program registers them at start-up. The durable-goods program offers
// some of the same windows under names or profiles of its own and registers only those.
#include "kvaURegistries.h"

#include "AbcURegistries.h"
#include "VoClassRegistry.h"
#include "kvaFArticoli.h"
#include "kvaFBuoni.h"
#include "kvaFChiusura.h"
#include "kvaFCodMerce.h"
#include "kvaFCodici.h"
#include "kvaFDataReplace.h"
#include "kvaFDoc.h"
#include "kvaFFac.h"
#include "kvaFImpBenDur.h"
#include "kvaFImpMag.h"
#include "kvaFNuovoAnno.h"
#include "kvaFRptMultiSelectDate.h"
#include "kvaFRptSecMerc_select.h"
#include "kvaFSelectBenDur.h"
#include "kvaFWGeneraBuonoSca.h"
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

void kvaRegisterWindows() {
    AbcRegisterWindows();

    VO_REGISTER_CLASS(TfmkvaBuoni);
    VO_REGISTER_CLASS(TfmkvaBuoniSca);
    VO_REGISTER_CLASS(TfmkvaArticoli);

    VO_REGISTER_CLASS(TfmkvaCond);
    VO_REGISTER_CLASS(TfmkvaCausali);
    VO_REGISTER_CLASS(TfmkvaCategorie);
    VO_REGISTER_CLASS(TfmkvaCollocazioni);
    VO_REGISTER_CLASS(TfmkvaCodMerce);
    RegisterVoClass(QStringLiteral("TfmCategMerce"),
                    [](QWidget *parent) -> QWidget * { return new TfmCategMerce(kCategMerce, parent); });
    VO_REGISTER_CLASS(TfmkvaAliquoteIVA);
    VO_REGISTER_CLASS(TfmkvaUniMisura);
    VO_REGISTER_CLASS(TfmkvaDoc);
    VO_REGISTER_CLASS(TfmkvaTipoDoc);
    VO_REGISTER_CLASS(TfmkvaFac);
    RegisterVoClass(QStringLiteral("TfmNuovoAnno"), [](QWidget *parent) -> QWidget * {
        return new TfmNuovoAnno(kvaNuovoAnnoProfile(), parent);
    });

    VO_REGISTER_CLASS(TfmKvaChiusura);
    VO_REGISTER_CLASS(TfmKvaImpMag);
    VO_REGISTER_CLASS(TfmKvaImpBenDur);
    VO_REGISTER_CLASS(TfmKvaImpInv);
    VO_REGISTER_CLASS(TfmkvaSelectBenDur);
    VO_REGISTER_CLASS(TfmKvaWGeneraBuonoSca);
    VO_REGISTER_CLASS(TfmKvaDataReplace);

    VO_REGISTER_CLASS(TfmRptSecMerc_select);
    VO_REGISTER_CLASS(TfmkvaRptMultiSelectDate);
}
