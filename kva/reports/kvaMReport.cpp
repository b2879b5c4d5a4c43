#include "kvaMReport.h"

#include "VoDBDateEdit.h"
#include "VoDBGrid.h"
#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoMoney.h"
#include "VoMultiSelect.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptStore.h"
#include "VoRptTreeView.h"
#include "kvaFRptSecMerc_select.h"
#include "kvaFSelectRangeData.h"
#include "kvaUUtil.h"

#include <QLabel>
#include <algorithm>
#include <iterator>
#include <memory>

TdmkvaReport *dmkvaReport = nullptr;

namespace {

// --- SQL texts ---------------------------------------------------------------------------------------
// Macros, so that each text stays one string constant.

// The register scopes: one register-year, a whole register, and both in one condition, spanning the
// register's years only when its vouchers are numbered across them.
#define KVA_RPT_BY_YEAR "(afc.iDwgFacAnfId = :iDwgFacAnfId)"
#define KVA_RPT_BY_REGISTER "(afc.iFacId = :iFacId)"
#define KVA_RPT_COMBINED "((afc.iDwgFacAnfId = :iDwgFacAnfId) OR (:iNumeraz = 0)) AND (afc.iFacId = :iFacId)"

// A row's total, and the total with its VAT (a missing rate counts as 0).
#define KVA_RPT_TOTAL "(afc.fAfcCostoUnit * afc.fAfcQuantita)"
#define KVA_RPT_TOTAL_NUMERIC "CAST(afc.fAfcCostoUnit * afc.fAfcQuantita AS NUMERIC(11,6)) AS TotaleNoIva"
#define KVA_RPT_TOTAL_VAT                                                                                    \
    "CAST(((afc.fAfcCostoUnit * afc.fAfcQuantita)+(afc.fAfcCostoUnit * afc.fAfcQuantita * "                  \
    "COALESCE(afc.fAlvIva,0) / 100)) AS NUMERIC(11,6)) AS TotaleIva"

// Every column of a row of the view but the article's key.
#define KVA_RPT_ROWS_COLUMNS                                                                                 \
    "afc.IAFCID, afc.IFBUOID, afc.IDWGFACANFID, afc.IANFID, afc.IANFVALORE, afc.DANFVOREXINIZIO, "           \
    "afc.DANFVOREXFINE, afc.DDWGFACANFINIZIO, afc.DDWGFACANFFINE, afc.IDWGFACID, afc.IDWGID, afc.IFACID, "   \
    "afc.IBENID, afc.IFBUONUMERO, afc.DFBUODATA, afc.SFBUODESC, afc.IFBUOTIPO, afc.DFBUOPROTDATA, "          \
    "afc.SFBUOPROTNUM, afc.ILOCKED, afc.DINSERT_FBUO, afc.IMGMID, afc.SFBUOUSE, afc.ICLCID, afc.ISECID, "    \
    "afc.SSECDESCS, afc.SSECDESCL, afc.ISEDINFID, afc.SSEDINFLDESC, afc.SSEDINFSDESC, afc.IVPROID, "         \
    "afc.ICAVID, afc.SCAVCODICE, afc.SCAVDESC, afc.ICONDID, afc.SCONDCODICE, afc.SCONDDESC, "                \
    "afc.DINSERT_AFC, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT, afc.SFARLDESC, afc.SFARSDESC, afc.BAFCNOTE, "     \
    "afc.IAFCPROGR, afc.IALVID, afc.SALVDESCS, afc.SALVDESCL, afc.FALVIVA, afc.ICFMID, afc.ICAFID, "         \
    "afc.SCAFCODICE, afc.SCAFDESC, afc.IDCMID, afc.SDCMDESCS, afc.SDCMDESCL, afc.IMERID, afc.SMERCODICE, "   \
    "afc.SMERDESC, afc.IINBANNOASSUNZ, afc.IUNMID, afc.SUNMCOD, afc.SUNMDESCS, afc.SUNMDESCL, "              \
    "afc.SUNMMISCARICO, afc.SUNMMISSCARICO, afc.FUNMFATTOREPROP, afc.SFARLIBEDITORE, afc.SFARLIBAUTORE, "    \
    "afc.SFARLIBTITOLO, afc.IRSPID"

#define KVA_RPT_PERIOD "(afc.dFBuoData BETWEEN :dStart AND :dEnd)"
// The registers list their vouchers in date order and the rows of one voucher together, whatever
// the codes of the vouchers of the same day.
#define KVA_RPT_REGISTER_ORDER " ORDER BY afc.dFBuoData, afc.iFBuoNumero, afc.iFBuoId, afc.sFarSDesc"

#define KVA_RPT_REG_CARICHI(scope)                                                                           \
    "SELECT afc.sFarSDesc, afc.sFarLDesc, afc.dFBuoData, afc.fAfcQuantita, afc.fAfcCostoUnit, afc.fAlvIva, " \
    "afc.sUnmMisCarico, " KVA_RPT_TOTAL " AS TotaleNoIva, " KVA_RPT_TOTAL_VAT ", afc.iFBuoNumero FROM "      \
    "VAfc_ArtVelist afc WHERE " scope " AND (afc.iFBuoTipo = 0) AND " KVA_RPT_PERIOD KVA_RPT_REGISTER_ORDER
#define KVA_RPT_REG_SCARICHI(scope)                                                                          \
    "SELECT afc.sFarSDesc, afc.sFarLDesc, afc.dFBuoData, afc.fAfcQuantita, afc.fAfcCostoUnit, "              \
    "afc.sSecDescS, afc.sUnmMisScarico, afc.iFBuoNumero FROM VAfc_ArtVelist afc WHERE " scope                \
    " AND (afc.iFBuoTipo = 1) AND " KVA_RPT_PERIOD KVA_RPT_REGISTER_ORDER
// Unloading rows count their value, cost times quantity, as a total with VAT: their cost is the
// average cost, which holds the VAT already. By day, the loads before the unloads, each voucher's
// rows together (date, kind, number, row). The kind is a VARCHAR, as a CHAR would come back padded
// to the bytes its characters may take on this connection.
#define KVA_RPT_REGISTRO_COLUMNS                                                                             \
    "SELECT afc.dFBuoData, afc.iAfcId, afc.sFarSDesc, afc.sFarLDesc, afc.fAfcQuantita, "                     \
    "afc.fUnmFattoreProp, "                                                                                  \
    "afc.sSecDescS, afc.fAlvIva, "
#define KVA_RPT_REGISTRO(scope)                                                                              \
    KVA_RPT_REGISTRO_COLUMNS                                                                                 \
    "CAST('C' AS VARCHAR(1)) AS Tipo, " KVA_RPT_TOTAL " AS TotaleNoIva, " KVA_RPT_TOTAL_VAT                  \
    ", afc.fAfcCostoUnit, afc.iFBuoNumero FROM VAfc_ArtVelist afc WHERE " scope " AND " KVA_RPT_PERIOD       \
    " AND (afc.iFBuoTipo = 0) UNION " KVA_RPT_REGISTRO_COLUMNS                                               \
    "CAST('S' AS VARCHAR(1)) AS Tipo, 0.0 AS TotaleNoIva, " KVA_RPT_TOTAL                                    \
    " AS TotaleIva, afc.fAfcCostoUnit, afc.iFBuoNumero FROM VAfc_ArtVelist afc WHERE " scope                 \
    " AND " KVA_RPT_PERIOD " AND (afc.iFBuoTipo = 1) ORDER BY 1, 9, 13, 2"
#define KVA_RPT_GIACENZA(scope)                                                                              \
    "SELECT afc.iFarId, afc.sFarSDesc, afc.sFarLDesc FROM VAfc_ArtVelist afc WHERE " scope                   \
    " GROUP BY afc.iFarId, afc.sFarSDesc, afc.sFarLDesc"

const char *const kRegCarichiByYearSQL = KVA_RPT_REG_CARICHI(KVA_RPT_BY_YEAR);
const char *const kRegCarichiByRegisterSQL = KVA_RPT_REG_CARICHI(KVA_RPT_BY_REGISTER);
const char *const kRegScarichiByYearSQL = KVA_RPT_REG_SCARICHI(KVA_RPT_BY_YEAR);
const char *const kRegScarichiByRegisterSQL = KVA_RPT_REG_SCARICHI(KVA_RPT_BY_REGISTER);
const char *const kRegistroByYearSQL = KVA_RPT_REGISTRO(KVA_RPT_BY_YEAR);
const char *const kRegistroByRegisterSQL = KVA_RPT_REGISTRO(KVA_RPT_BY_REGISTER);
const char *const kGiacenzaByYearSQL = KVA_RPT_GIACENZA(KVA_RPT_BY_YEAR);
const char *const kGiacenzaByRegisterSQL = KVA_RPT_GIACENZA(KVA_RPT_BY_REGISTER);
const char *const kFacCurrSQL =
    "SELECT fac.sFacDesc, tfc.sTfcLDesc FROM TFac_Velisto fac INNER JOIN TTfc_TipoVelist "
    "tfc ON (fac.iTfcId = tfc.iTfcId) WHERE fac.iFacId = :iFacId";
// The vouchers of a kind in a register-year, with their supplier and their amounts: the sums of
// their rows' amounts to the cent, as the rows print (a voucher without rows is worth 0).
const char *const kBuoniSQL =
    "SELECT BUO.iFBuoId, BUO.IBENID, BUO.IFBUONUMERO, BUO.DFBUODATA, BUO.SFBUODESC, BUO.DFBUOPROTDATA, "
    "BUO.SFBUOPROTNUM, BUO.ILOCKED, (SELECT ben.SBENRAGSOC FROM TBEN_BENEFICIARI ben WHERE ben.IBENID = "
    "BUO.IBENID) AS SBENRAGSOC, COALESCE((SELECT SUM(ROUND(CAST(afc.fAfcCostoUnit * afc.fAfcQuantita AS "
    "NUMERIC(18,6)), 2)) FROM TAfc_ArtVelist afc WHERE afc.iFBuoId = BUO.iFBuoId), 0) AS iBeniImpNoIva, "
    "COALESCE((SELECT SUM(ROUND(CAST(((v.fAfcCostoUnit * v.fAfcQuantita)+(v.fAfcCostoUnit * v.fAfcQuantita * "
    "COALESCE(v.fAlvIva,0) / 100)) AS NUMERIC(18,6)), 2)) FROM VAfc_ArtVelist v WHERE v.iFBuoId = "
    "BUO.iFBuoId), "
    "0) AS iBeniImpConIva FROM TFBuo_Buoni BUO WHERE (BUO.IFBUOTIPO=:iFBuoTipo) AND "
    "(BUO.iDwgFacAnfId=:iDwgFacAnfId) ORDER BY IFBUONUMERO";
const char *const kArtXBuonoSQL =
    "SELECT afc.iAfcId, afc.sFarSDesc, afc.sFarLDesc, afc.iFBuoId, afc.fAfcCostoUnit, afc.sCafDesc, "
    "afc.sCafCodice, afc.sMerDesc, afc.sMerCodice, afc.iDcmId, afc.iCavId, afc.iCondId, afc.iSecId, "
    "afc.fAfcQuantita, afc.sCondDesc, afc.sCondCodice, afc.iLocked, afc.sDcmDescL, afc.iMerId, afc.iVProId, "
    "afc.iSedInfId, afc.iClcId, afc.iCafId, afc.sSecDescS, afc.fAfcTotale_ConIva AS fAfcTotaleIva, "
    "afc.fAfcTotale AS fAfcTotaleNoIva, afc.iUnmId, afc.iAlvId, afc.fAlvIva, afc.sUnmDescS, afc.bAfcNote, "
    "afc.sFarLibTitolo, afc.sFarLibAutore, afc.sFarLibEditore, afc.iRspId FROM VAfc_ArtVelist afc WHERE "
    "afc.iFBuoId = :iFBuoId ORDER BY afc.iAfcId";
// The lists that group the rows of the reports end, after their own rows, with a row of key 0 for the
// rows that have none of them, when there are any: printed under it, those rows are not left out of
// the reports' general totals.
#define KVA_RPT_WITHOUT(columns, guard)                                                                      \
    " UNION ALL SELECT 0, " columns " FROM RDB$DATABASE WHERE EXISTS (" guard ")"
// The articles whose code of a kind (category, goods code) is none of the codes listed.
#define KVA_RPT_ARTICLES_WITHOUT(table, key)                                                                 \
    "SELECT 1 FROM TFar_FacArticoli far WHERE NOT EXISTS (SELECT 1 FROM " table " c WHERE c." key            \
    " = far." key ")"
const char *const kSettoriSQL =
    "SELECT iSecId, sSecCod, sSecDescL, sSecDescS FROM TSec_SettCons" KVA_RPT_WITHOUT(
        "NULL, NULL, 'Senza settore'", "SELECT 1 FROM TAfc_ArtVelist afc WHERE afc.iSecId IS NULL");
const char *const kDocXBuonoSQL =
    "SELECT idc.IIDCID, idc.ITIDID, idc.DIDCDATA, idc.SIDCNUMERO, idc.SIDCDESC, tid.sTidDesc FROM "
    "TIDC_INVDOC idc INNER JOIN TTid_TipoInvDoc tid ON (idc.iTidId = tid.iTidId) INNER JOIN TFBuoIdc bi ON "
    "(idc.iIdcId = bi.iIdcId) WHERE bi.iFBuoId = :iFBuoId ORDER BY idc.DIDCDATA, idc.SIDCNUMERO";
const char *const kIstVelistSQL =
    "SELECT di.iDwgFacid, di.iFacId, di.idwgid, vdow.SDOWLDESC, fac.sFacDesc FROM TDwgFac di INNER JOIN "
    "VDOW_DATAOWNER vdow ON (di.IDWGID = vdow.IDWGID) INNER JOIN TFac_Velisto fac ON (di.iFacId = "
    "fac.iFacId) WHERE (fac.iTfcId <> 5) AND (fac.iTfcId <> 7)";
const char *const kCausSQL =
    "SELECT ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO, SCAVCAPITOLO FROM TCav_CausaliInv";
const char *const kCatSQL = "SELECT iCafId, sCafCodice, sCafDesc FROM TCaf_CategorieFac";
const char *const kBeneficiSQL =
    "SELECT iBenId, sBenRagSoc, sBenDesc, sBenCodFiscale, sBenPartitaIVA FROM TBen_Beneficiari";
const char *const kSettConsSQL =
    "SELECT sec.iSecId, sec.iStzId, sec.sSecCod, sec.sSecDescS, sec.sSecDescL, stz.sStzLDesc, stz.sStzSDesc, "
    "edf.sEdfDescS, edf.sEdfDescL, edf.sEdfCodice FROM TSec_SettCons sec LEFT OUTER JOIN TStz_Stanza stz ON "
    "(sec.iStzId = stz.iStzId) LEFT OUTER JOIN TEdf_Edificio edf ON (stz.iEdfId = edf.iEdfId)";
const char *const kCatMerceSQL =
    "SELECT cfm.iCfmId, mer.sMerCodice, mer.sMerDesc FROM TCfm_CategFacMerce cfm INNER JOIN "
    "TMer_CodiciMerceol mer ON (cfm.iMerId = mer.iMerId) WHERE cfm.iCafId=:iCafId";
const char *const kVelistSQL =
    "SELECT fac.sFacDesc FROM TFac_Velisto fac WHERE (fac.iTfcId <> 5) AND (fac.iTfcId <> 7)";
const char *const kMerceSQL =
    "SELECT mer.iMerId, mer.sMerCodice, mer.sMerDesc FROM TMer_CodiciMerceol mer" KVA_RPT_WITHOUT(
        "NULL, 'Senza codice merceologico'",
        KVA_RPT_ARTICLES_WITHOUT("TMer_CodiciMerceol", "iMerId")) " ORDER BY 2 NULLS LAST";
const char *const kCategSQL =
    "SELECT caf.iCafId, caf.sCafCodice, caf.sCafDesc FROM TCaf_CategorieFac caf" KVA_RPT_WITHOUT(
        "NULL, 'Senza categoria'",
        KVA_RPT_ARTICLES_WITHOUT("TCaf_CategorieFac", "iCafId")) " ORDER BY 2 NULLS LAST";
const char *const kFornitoriSQL =
    "SELECT DISTINCT ben.iBenId, ben.sBenRagSoc, ben.sBenDesc, ben.sBenCodFiscale, ben.sBenPartitaIVA FROM "
    "TBen_Beneficiari ben INNER JOIN TFBuo_Buoni buo ON ((ben.iBenId = buo.iBenId) AND (buo.iFBuoTipo = 0) "
    "AND (buo.iDwgFacAnfId = :iDwgFacAnfId))" KVA_RPT_WITHOUT(
        "NULL, 'Senza fornitore', NULL, NULL",
        "SELECT 1 FROM TFBuo_Buoni buo WHERE (buo.iFBuoTipo = 0) AND (buo.iDwgFacAnfId = :iDwgFacAnfId) AND "
        "NOT "
        "EXISTS (SELECT 1 FROM TBen_Beneficiari ben WHERE ben.iBenId = buo.iBenId)") " ORDER BY 2 NULLS LAST";
const char *const kDocumentiSQL =
    "SELECT DISTINCT idc.iIdcId, idc.sIdcNumero, idc.sIdcDesc, idc.dIdcData, tid.sTidDesc FROM TIdc_InvDoc "
    "idc INNER JOIN TTid_TipoInvDoc tid ON (idc.iTidId = tid.iTidId) INNER JOIN TFBuoIdc bi ON (idc.iIdcId = "
    "bi.iIdcId) INNER JOIN TFBuo_Buoni buo ON ((bi.iFBuoId = buo.iFBuoId) AND (buo.iDwgFacAnfId = "
    ":iDwgFacAnfId))" KVA_RPT_WITHOUT(
        "NULL, 'Senza documento', NULL, NULL",
        "SELECT 1 FROM TFBuo_Buoni buo WHERE (buo.iDwgFacAnfId = :iDwgFacAnfId) AND EXISTS (SELECT 1 FROM "
        "TAfc_ArtVelist afc WHERE afc.iFBuoId = buo.iFBuoId) AND NOT EXISTS (SELECT 1 FROM TFBuoIdc bi WHERE "
        "bi.iFBuoId = buo.iFBuoId)") " ORDER BY 4 NULLS LAST";
// The articles with their codes' descriptions, for the duplicate codes and descriptions.
#define KVA_RPT_ARTICLES_FROM                                                                                \
    "SELECT far.iFarId, far.sFarSDesc, far.sFarLDesc, caf.SCAFDESC, mer.SMERDESC, dcm.SDCMDESCL, "           \
    "unm.SUNMDESCL FROM TFAR_FACARTICOLI far LEFT JOIN TCAF_CATEGORIEFAC caf ON (far.iCafId = caf.iCafId) "  \
    "LEFT JOIN TMER_CODICIMERCEOL mer ON (far.iMerId = mer.iMerId) LEFT JOIN TDCM_DETTCODMERC dcm ON "       \
    "(far.iDcmId = dcm.iDcmId) LEFT JOIN TUNM_UNITAMISURA unm ON (far.iUnmId = unm.iUnmId) "
const char *const kCodDoppiSQL =
    KVA_RPT_ARTICLES_FROM "WHERE far.SFARSDESC IN (SELECT sFarSDesc FROM TFAR_FACARTICOLI GROUP BY sFarSDesc "
                          "HAVING COUNT(sFarSDesc) > 1) ORDER BY far.sFarSDesc, far.sFarLDesc";
const char *const kDescDoppiSQL =
    KVA_RPT_ARTICLES_FROM "WHERE far.SFARLDESC IN (SELECT sFarLDesc FROM TFAR_FACARTICOLI GROUP BY sFarLDesc "
                          "HAVING COUNT(sFarLDesc) > 1) ORDER BY far.sFarLDesc, far.sFarSDesc";
const char *const kArticoliSQL =
    "SELECT far.iFarId, far.sFarSDesc, far.sFarLDesc, caf.sCafDesc, mer.sMerDesc, dcm.sDcmDescL, "
    "alv.fAlvIva, "
    "unm.sUnmDescS FROM TFAR_FACARTICOLI far INNER JOIN TCAF_CATEGORIEFAC caf ON (far.iCafId = caf.iCafId) "
    "LEFT JOIN TMER_CODICIMERCEOL mer ON (far.iMerId = mer.iMerId) LEFT JOIN TDCM_DETTCODMERC dcm ON "
    "(far.iDcmId = dcm.iDcmId) LEFT JOIN TALV_ALIQUOTEIVA alv ON (far.iAlvId = alv.iAlvId) LEFT JOIN "
    "TUNM_UNITAMISURA unm ON (far.iUnmId = unm.iUnmId) ORDER BY far.sFarSDesc, far.sFarLDesc, caf.sCafDesc";
// The kind, as in the general register.
const char *const kMovArtSQL =
    "SELECT afc.IAFCID, afc.IANFVALORE, afc.IFBUONUMERO, afc.DFBUODATA, afc.SFBUODESC, afc.IFBUOTIPO, "
    "afc.DFBUOPROTDATA, afc.SFBUOPROTNUM, afc.SSECDESCS, afc.SSECDESCL, afc.SSEDINFLDESC, afc.SSEDINFSDESC, "
    "afc.SCAVCODICE, afc.SCAVDESC, afc.SCONDCODICE, afc.SCONDDESC, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT, "
    "afc.BAFCNOTE, afc.IAFCPROGR, afc.IINBANNOASSUNZ, CAST(CASE afc.iFBuoTipo WHEN 0 THEN 'C' ELSE 'S' "
    "END AS VARCHAR(1)) AS TIPO, " KVA_RPT_TOTAL_NUMERIC ", " KVA_RPT_TOTAL_VAT
    ", afc.fAlvIva FROM VAfc_ArtVelist afc WHERE " KVA_RPT_COMBINED
    " AND (afc.iFarId = :iFarId) ORDER BY afc.DFBUODATA, afc.IFBUOTIPO";
// The suppliers of the articles of a goods code; under the list's row of key 0, of the articles
// without one.
const char *const kFornXMerceSQL =
    "SELECT DISTINCT ben.iBenId, ben.sBenRagSoc, ben.sBenDesc, ben.sBenCodFiscale, ben.sBenPartitaIVA FROM "
    "TBen_Beneficiari ben INNER JOIN TFBuo_Buoni buo ON (ben.iBenId = buo.iBenId) INNER JOIN TAfc_ArtVelist "
    "afc ON (buo.iFBuoId = afc.iFBuoId) INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) "
    "INNER JOIN TDwgFac df ON (dfa.iDwgFacId = df.iDwgFacId) INNER JOIN TFar_FacArticoli far ON (afc.iFarId "
    "= "
    "far.iFarId) WHERE ((dfa.iDwgFacAnfId = :iDwgFacAnfId) OR (:iNumeraz = 0)) AND (df.iFacId = :iFacId) AND "
    "((far.iMerId = :iMerId) OR ((:iMerId = 0) AND NOT EXISTS (SELECT 1 FROM TMer_CodiciMerceol mer WHERE "
    "mer.iMerId = far.iMerId))) ORDER BY ben.sBenRagSoc";
const char *const kSettoriRspSQL =
    "SELECT rsp.iRspId, sec.iSecId, sec.sSecCod, sec.sSecDescL, sec.sSecDescS, ana.sAnaCognome || ' ' || "
    "ana.sAnaNome AS sAnaCognomeNome FROM TSec_SettCons sec INNER JOIN TRsp_Responsabili rsp ON (sec.iSecId "
    "= "
    "rsp.iSecId) INNER JOIN TAna_Anagrafiche ana ON (rsp.iAnaId = ana.iAnaId)" KVA_RPT_WITHOUT(
        "NULL, NULL, NULL, NULL, 'Senza responsabile'",
        "SELECT 1 FROM TAfc_ArtVelist afc WHERE afc.iRspId IS NULL");

// The detail texts of qquArt; "/*FILTER*/" stands where a list's condition goes.
const char *const kArtRowsSQL =
    "SELECT " KVA_RPT_ROWS_COLUMNS ", " KVA_RPT_TOTAL_NUMERIC ", " KVA_RPT_TOTAL_VAT
    ", afc.iFarId FROM VAfc_ArtVelist afc WHERE " KVA_RPT_COMBINED
    " AND (afc.iFBuoTipo = :iFBuoTipo) /*FILTER*/ ORDER BY afc.dFBuoData, "
    "afc.sFarLDesc";
const char *const kArtArticlesSQL = "SELECT afc.sFarSDesc, afc.sFarLDesc, afc.iFarId FROM VAfc_ArtVelist afc "
                                    "WHERE " KVA_RPT_COMBINED " /*FILTER*/ GROUP BY afc.sFarSDesc, "
                                    "afc.sFarLDesc, afc.iFarId";
// Rows of both kinds, for the rows of the vouchers that no document is attached to.
const char *const kArtAllRowsSQL =
    "SELECT " KVA_RPT_ROWS_COLUMNS ", " KVA_RPT_TOTAL_NUMERIC ", " KVA_RPT_TOTAL_VAT
    " FROM VAfc_ArtVelist afc WHERE " KVA_RPT_COMBINED " /*FILTER*/ ORDER BY afc.dFBuoData, afc.sFarLDesc";
const char *const kArtDocumentSQL =
    "SELECT " KVA_RPT_ROWS_COLUMNS ", " KVA_RPT_TOTAL_NUMERIC ", " KVA_RPT_TOTAL_VAT
    " FROM VAfc_ArtVelist afc INNER JOIN TFBuoIdc bi ON (afc.iFBuoId = bi.iFBuoId) WHERE " KVA_RPT_COMBINED
    " AND (bi.iIdcId = :iIdcId) /*FILTER*/ ORDER BY afc.dFBuoData, afc.sFarLDesc";

// What a list prints under each of its rows, by the standard report being run: the detail text, the
// condition put in place of "/*FILTER*/" (none: the text as it is), the parameter the list's current
// row gives (from its column of the same name), and the kind of voucher (-1: the text has none). Under
// the list's row of key 0 the rows without a key of the list print: the detail text for them (none:
// the same) and its condition.
struct TDetailFilter {
    int reportId;
    const char *list;
    const char *sql;
    const char *condition;
    const char *key;
    int kind;
    const char *withoutSql;
    const char *withoutCondition;
};

#define KVA_RPT_NO_SECTOR "AND (afc.iSecId IS NULL)"
#define KVA_RPT_NO_GOODS_CODE                                                                                \
    "AND NOT EXISTS (SELECT 1 FROM TMer_CodiciMerceol mer WHERE mer.iMerId = afc.iMerId)"
#define KVA_RPT_NO_CATEGORY                                                                                  \
    "AND NOT EXISTS (SELECT 1 FROM TCaf_CategorieFac caf WHERE caf.iCafId = afc.iCafId)"
#define KVA_RPT_NO_RESPONSIBLE "AND (afc.iRspId IS NULL)"

const TDetailFilter kDetailFilters[] = {
    {26006, "cdsSettori", kArtRowsSQL, "AND (iSecId=:iSecId)", "iSecId", kvaLoading, nullptr,
     KVA_RPT_NO_SECTOR},
    {26007, "cdsSettori", kArtRowsSQL, "AND (iSecId=:iSecId)", "iSecId", kvaUnloading, nullptr,
     KVA_RPT_NO_SECTOR},
    {26008, "cdsSettori", kArtArticlesSQL, "AND (iSecId=:iSecId)", "iSecId", -1, nullptr, KVA_RPT_NO_SECTOR},
    {26015, "cdsMerce", kArtRowsSQL, "AND (iMerId=:iMerId)", "iMerId", kvaLoading, nullptr,
     KVA_RPT_NO_GOODS_CODE},
    {26016, "cdsMerce", kArtRowsSQL, "AND (iMerId=:iMerId)", "iMerId", kvaUnloading, nullptr,
     KVA_RPT_NO_GOODS_CODE},
    {26017, "cdsMerce", kArtArticlesSQL, "AND (iMerId=:iMerId)", "iMerId", -1, nullptr,
     KVA_RPT_NO_GOODS_CODE},
    {26018, "cdsCateg", kArtRowsSQL, "AND (iCafId=:iCafId)", "iCafId", kvaLoading, nullptr,
     KVA_RPT_NO_CATEGORY},
    {26019, "cdsCateg", kArtRowsSQL, "AND (iCafId=:iCafId)", "iCafId", kvaUnloading, nullptr,
     KVA_RPT_NO_CATEGORY},
    {26020, "cdsCateg", kArtArticlesSQL, "AND (iCafId=:iCafId)", "iCafId", -1, nullptr, KVA_RPT_NO_CATEGORY},
    {26021, "cdsFornitori", kArtRowsSQL, "AND (iBenId=:iBenId)", "iBenId", kvaLoading, nullptr,
     "AND NOT EXISTS (SELECT 1 FROM TBen_Beneficiari ben WHERE ben.iBenId = afc.iBenId)"},
    {26022, "cdsDocumenti", kArtDocumentSQL, nullptr, "iIdcId", -1, kArtAllRowsSQL,
     "AND NOT EXISTS (SELECT 1 FROM TFBuoIdc bi WHERE bi.iFBuoId = afc.iFBuoId)"},
    {26027, "cdsSecMerc", kArtArticlesSQL, "AND (iSecId=:iSecId) AND (iMerId=:iMerId)", "iMerId", -1, nullptr,
     "AND (iSecId=:iSecId) " KVA_RPT_NO_GOODS_CODE},
    {26029, "cdsSettoriRsp", kArtRowsSQL, "AND (iRspId=:iRspId)", "iRspId", kvaLoading, nullptr,
     KVA_RPT_NO_RESPONSIBLE},
    {26030, "cdsSettoriRsp", kArtRowsSQL, "AND (iRspId=:iRspId)", "iRspId", kvaUnloading, nullptr,
     KVA_RPT_NO_RESPONSIBLE},
};

// The report of articles by sector and goods code, whose sector comes from its selection form.
constexpr int kSectorGoodsReport = 26027;
constexpr int kSuppliersByGoodsReport = 26028;

const char *const kVariables[] = {"IvaInclusa",   "data_inizio",    "data_fine",
                                  "art_giacenza", "art_costomedio", "sSettore"};

// --- Selection forms ----------------------------------------------------------------------------------

// The register-year the lists of a register-year read: the chosen one, 0 (none) when unset.
int ListRegisterYear() {
    return qMax(0, ParamRegisterYearId());
}

// The vouchers of a kind of the chosen register-year.
void SetVouchersParams(TVoQueryCollection *list, int kind) {
    list->SetParam(QStringLiteral("iFBuoTipo"), kind);
    list->SetParam(QStringLiteral("iDwgFacAnfId"), ListRegisterYear());
}

// The kind of voucher a voucher report prints, -1 for another report.
int VoucherKind() {
    const int id = GetBaseReportId();
    return id == 26004 ? kvaLoading : id == 26005 ? kvaUnloading : -1;
}

// The context every query spanning a register's years takes.
void SetScopeParams(TVoQueryCollection *query, const QVariant &registerYear) {
    query->SetParam(QStringLiteral("iDwgFacAnfId"), registerYear);
    query->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    query->SetParam(QStringLiteral("iNumeraz"), CurrentNumbering);
}

QVariant FieldValue(const TVoQueryCollection *dataSet, const char *name) {
    return dataSet->FieldByName(QString::fromLatin1(name))->Value();
}

} // namespace

TdmkvaReport::TdmkvaReport(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("dmkvaReport"));
    using Self = TdmkvaReport;
    qquRegCarichi = Query(QStringLiteral("qquRegCarichi"), &frdRegCarichi);
    qquFacCurr = Query(QStringLiteral("qquFacCurr"), &frdFacCurr);
    qquRegScarichi = Query(QStringLiteral("qquRegScarichi"), &frdRegScarichi);
    qquRegistro = Query(QStringLiteral("qquRegistro"), &frdRegistro);
    qquGiacenza = Query(QStringLiteral("qquGiacenza"), &frdGiacenze);
    frdGiacenze->setObjectName(QStringLiteral("frdGiacenze"));
    // The layouts print the stock of the current article from it, so it is published too.
    cdsGiacenze = Query(QStringLiteral("cdsGiacenze"), &frdCdsGiacenze);
    frdCdsGiacenze->setObjectName(QStringLiteral("frdCdsGiacenze"));
    cdsBuoni = SelectionList(QStringLiteral("cdsBuoni"), &xfrBuoni, &Self::xfrBuoniBeforeSelectForm);
    qquArtXBuono = Query(QStringLiteral("qquArtXBuono"), &frdArtXBuono);
    cdsSettori = SelectionList(QStringLiteral("cdsSettori"), &xfrSettori, &Self::xfrSettoriBeforeSelectForm);
    qquDocXBuono = Query(QStringLiteral("qquDocXBuono"), &frdDocXBuono);
    qquIstVelist = Query(QStringLiteral("qquIstVelist"), &frdIstVelist);
    qquCaus = Query(QStringLiteral("qquCaus"), &frdCaus);
    qquCat = Query(QStringLiteral("qquCat"), &frdCat);
    qquBenefici = Query(QStringLiteral("qquBenefici"), &frdBenefici);
    qquSettCons = Query(QStringLiteral("qquSettCons"), &frdSettCons);
    qquCatMerce = Query(QStringLiteral("qquCatMerce"), &frdCatMerce);
    qquVelist = Query(QStringLiteral("qquVelist"), &frdVelist);
    qquArt = Query(QStringLiteral("qquArt"), &frdArt);
    cdsMerce = SelectionList(QStringLiteral("cdsMerce"), &xfrMerce, &Self::xfrMerceBeforeSelectForm);
    cdsCateg = SelectionList(QStringLiteral("cdsCateg"), &xfrCateg, &Self::xfrCategBeforeSelectForm);
    cdsFornitori =
        SelectionList(QStringLiteral("cdsFornitori"), &xfrFornitori, &Self::xfrFornitoriBeforeSelectForm);
    cdsDocumenti =
        SelectionList(QStringLiteral("cdsDocumenti"), &xfrDocumenti, &Self::xfrDocumentiBeforeSelectForm);
    qquCodDoppi = Query(QStringLiteral("qquCodDoppi"), &frdCodDoppi);
    qquDescDoppi = Query(QStringLiteral("qquDescDoppi"), &frdDescDoppi);
    cdsArticoli =
        SelectionList(QStringLiteral("cdsArticoli"), &xfrArticoli, &Self::xfrArticoliBeforeSelectForm);
    qquMovArt = Query(QStringLiteral("qquMovArt"), &frdMovArt);
    cdsSecMerc = SelectionList(QStringLiteral("cdsSecMerc"), &xfrSecMerc, &Self::xfrSecMercBeforeSelectForm);
    xfrSecMerc->SelectFormClass = QStringLiteral("TfmRptSecMerc_select");
    xfrSecMerc->OnAfterSelectForm.Add(
        [this](TVofrDBDataSet *s, TfmVoMultiSelect *f) { xfrSecMercAfterSelectForm(s, f); });
    qquFornXMerce = Query(QStringLiteral("qquFornXMerce"), &frdFornXMerce);
    cdsSettoriRsp =
        SelectionList(QStringLiteral("cdsSettoriRsp"), &xfrSettoriRsp, &Self::xfrSettoriRspBeforeSelectForm);
    for (const char *name : kVariables)
        VoRptPublishVariable(this, QString::fromLatin1(name));

    const auto hook = [this](TVoEvent<TVoQueryCollection *> &event,
                             void (Self::*handler)(TVoQueryCollection *)) {
        event.Add([this, handler](TVoQueryCollection *d) { (this->*handler)(d); });
    };
    hook(qquRegCarichi->BeforeOpen, &Self::qquRegCarichiBeforeOpen);
    hook(qquRegScarichi->BeforeOpen, &Self::qquRegScarichiBeforeOpen);
    hook(qquRegistro->BeforeOpen, &Self::qquRegistroBeforeOpen);
    hook(qquFacCurr->BeforeOpen, &Self::qquFacCurrBeforeOpen);
    hook(qquGiacenza->BeforeOpen, &Self::qquGiacenzaBeforeOpen);
    hook(qquGiacenza->AfterScroll, &Self::qquGiacenzaAfterScroll);
    hook(cdsBuoni->BeforeOpen, &Self::cdsBuoniBeforeOpen);
    hook(cdsBuoni->AfterScroll, &Self::cdsBuoniAfterScroll);
    hook(qquCat->AfterScroll, &Self::qquCatAfterScroll);
    hook(qquArt->AfterScroll, &Self::qquArtAfterScroll);
    hook(cdsMerce->AfterScroll, &Self::cdsMerceAfterScroll);
    hook(cdsFornitori->BeforeOpen, &Self::cdsFornitoriBeforeOpen);
    hook(cdsDocumenti->BeforeOpen, &Self::cdsDocumentiBeforeOpen);
    hook(cdsArticoli->AfterScroll, &Self::cdsArticoliAfterScroll);
    for (TVoQueryCollection *list :
         {cdsSettori, cdsCateg, cdsFornitori, cdsDocumenti, cdsSecMerc, cdsSettoriRsp})
        hook(list->AfterScroll, &Self::cdsAfterScroll);

    SetReportSqlTexts();
    cdsGiacenze->AddFieldDef(QStringLiteral("Codice"), QMetaType::QString);
    cdsGiacenze->AddFieldDef(QStringLiteral("Descrizione"), QMetaType::QString);
    cdsGiacenze->AddFieldDef(QStringLiteral("Giacenza"), QMetaType::Double);
    cdsGiacenze->AddFieldDef(QStringLiteral("CostoUnit"), QMetaType::Double);
    // The stock's value to the cent, which in a sector is its share of the article's value.
    cdsGiacenze->AddFieldDef(QStringLiteral("Valore"), QMetaType::Double);
    cdsGiacenze->CreateDataSet();
}

TVoQueryCollection *TdmkvaReport::Query(const QString &name, TfrDBDataSet **publisher) {
    auto *query = new TVoQueryCollection(this);
    query->setObjectName(name);
    *publisher = new TfrDBDataSet(this, query);
    (*publisher)->setObjectName(QStringLiteral("frd") + name.mid(3));
    return query;
}

TVoQueryCollection *TdmkvaReport::SelectionList(const QString &name, TVofrDBDataSet **publisher,
                                                void (TdmkvaReport::*beforeSelectForm)(TVofrDBDataSet *,
                                                                                       TfmVoMultiSelect *)) {
    auto *list = new TVoQueryCollection(this);
    list->setObjectName(name);
    *publisher = new TVofrDBDataSet(this, list);
    (*publisher)->setObjectName(QStringLiteral("xfr") + name.mid(3));
    (*publisher)->ShowSelectForm = true;
    (*publisher)->DoAfterSelect = true;
    (*publisher)->OnBeforeSelectForm.Add([this, beforeSelectForm](TVofrDBDataSet *s, TfmVoMultiSelect *f) {
        (this->*beforeSelectForm)(s, f);
    });
    return list;
}

QList<TVoQueryCollection *> TdmkvaReport::SelectionLists() const {
    return {cdsBuoni,     cdsSettori,  cdsMerce,   cdsCateg,     cdsFornitori,
            cdsDocumenti, cdsArticoli, cdsSecMerc, cdsSettoriRsp};
}

void TdmkvaReport::SetReportSqlTexts() {
    // The registers and the stock list get their scope and period when they open.
    for (TVoQueryCollection *q : {qquRegCarichi, qquRegScarichi, qquRegistro}) {
        q->SetCommandText(QString::fromLatin1(q == qquRegCarichi    ? kRegCarichiByYearSQL
                                              : q == qquRegScarichi ? kRegScarichiByYearSQL
                                                                    : kRegistroByYearSQL));
        q->SetParamNull(QStringLiteral("iDwgFacAnfId"), QMetaType::Int);
        q->SetParamNull(QStringLiteral("dStart"), QMetaType::QDate);
        q->SetParamNull(QStringLiteral("dEnd"), QMetaType::QDate);
    }
    qquGiacenza->SetCommandText(QString::fromLatin1(kGiacenzaByYearSQL));
    qquFacCurr->SetCommandText(QString::fromLatin1(kFacCurrSQL));
    qquFacCurr->SetParamNull(QStringLiteral("iFacId"), QMetaType::Int);
    for (TVoQueryCollection *q : {qquArtXBuono, qquDocXBuono}) {
        q->SetCommandText(QString::fromLatin1(q == qquArtXBuono ? kArtXBuonoSQL : kDocXBuonoSQL));
        q->SetParamNull(QStringLiteral("iFBuoId"), QMetaType::Int);
    }
    const std::pair<TVoQueryCollection *, const char *> plain[] = {
        {cdsSettori, kSettoriSQL},   {qquIstVelist, kIstVelistSQL},  {qquCaus, kCausSQL},
        {qquCat, kCatSQL},           {qquBenefici, kBeneficiSQL},    {qquSettCons, kSettConsSQL},
        {qquVelist, kVelistSQL},     {cdsMerce, kMerceSQL},          {cdsCateg, kCategSQL},
        {qquCodDoppi, kCodDoppiSQL}, {qquDescDoppi, kDescDoppiSQL},  {cdsArticoli, kArticoliSQL},
        {cdsSecMerc, kMerceSQL},     {cdsSettoriRsp, kSettoriRspSQL}};
    for (const auto &[q, sql] : plain)
        q->SetCommandText(QString::fromLatin1(sql));
    qquCatMerce->SetCommandText(QString::fromLatin1(kCatMerceSQL));
    qquCatMerce->SetParamNull(QStringLiteral("iCafId"), QMetaType::Int);
    // Until a report opens them: the loading vouchers, suppliers and documents of no register-year.
    cdsBuoni->SetCommandText(QString::fromLatin1(kBuoniSQL));
    SetVouchersParams(cdsBuoni, kvaLoading);
    cdsBuoni->SetParam(QStringLiteral("iDwgFacAnfId"), 0);
    for (TVoQueryCollection *q : {cdsFornitori, cdsDocumenti}) {
        q->SetCommandText(QString::fromLatin1(q == cdsFornitori ? kFornitoriSQL : kDocumentiSQL));
        q->SetParam(QStringLiteral("iDwgFacAnfId"), 0);
    }
    qquArt->SetCommandText(QString::fromLatin1(kArtRowsSQL));
    qquArt->SetParam(QStringLiteral("iFBuoTipo"), kvaLoading);
    SetScopeParams(qquArt, 0);
    qquMovArt->SetCommandText(QString::fromLatin1(kMovArtSQL));
    SetScopeParams(qquMovArt, 0);
    qquMovArt->SetParam(QStringLiteral("iFarId"), 0);
    qquFornXMerce->SetCommandText(QString::fromLatin1(kFornXMerceSQL));
    SetScopeParams(qquFornXMerce, CurrentRegisterYearId);
    qquFornXMerce->SetParam(QStringLiteral("iMerId"), 0);
}

// --- The engine's hooks ----------------------------------------------------------------------------------

void TdmkvaReport::GetReportValue(const QString &name, QVariant &value) {
    if (name == QLatin1String("IvaInclusa"))
        value = CurrentVatIncluded;
    else if (name == QLatin1String("data_inizio"))
        value = data_inizio;
    else if (name == QLatin1String("data_fine"))
        value = data_fine;
    else if (name == QLatin1String("art_giacenza"))
        value = art_giacenza;
    else if (name == QLatin1String("art_costomedio"))
        value = art_costomedio;
    else if (name == QLatin1String("sSettore"))
        value = sSettore;
}

void TdmkvaReport::CloseReportDatasets() {
    // The next run reads the stock as it will stand then.
    m_stocksRead = false;
    m_sectorStocksRead = false;
    for (TVoQueryCollection *q : findChildren<TVoQueryCollection *>(Qt::FindDirectChildrenOnly))
        q->Close();
}

void TdmkvaReport::OpenCloseSelectionLists() {
    for (TVoQueryCollection *list : SelectionLists()) {
        list->Open();
        list->Close();
    }
}

// --- Registers and the stock list -----------------------------------------------------------------------

void TdmkvaReport::RegisterBeforeOpen(TVoQueryCollection *query, const char *byYearSQL,
                                      const char *byRegisterSQL) {
    if (CurrentNumbering == 1) {
        query->SetCommandText(QString::fromLatin1(byYearSQL));
        query->SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    } else {
        query->SetCommandText(QString::fromLatin1(byRegisterSQL));
        query->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    }
}

void TdmkvaReport::qquRegCarichiBeforeOpen(TVoQueryCollection *DataSet) {
    RegisterBeforeOpen(DataSet, kRegCarichiByYearSQL, kRegCarichiByRegisterSQL);
    AskPeriod(DataSet);
}

void TdmkvaReport::qquRegScarichiBeforeOpen(TVoQueryCollection *DataSet) {
    RegisterBeforeOpen(DataSet, kRegScarichiByYearSQL, kRegScarichiByRegisterSQL);
    AskPeriod(DataSet);
}

void TdmkvaReport::qquRegistroBeforeOpen(TVoQueryCollection *DataSet) {
    RegisterBeforeOpen(DataSet, kRegistroByYearSQL, kRegistroByRegisterSQL);
    AskPeriod(DataSet);
}

void TdmkvaReport::AskPeriod(TVoQueryCollection *query) {
    const std::unique_ptr<TfmKvaSelectRangeDate> dialog(VoNewForm<TfmKvaSelectRangeDate>());
    dialog->setWindowTitle(QStringLiteral("Registro dal - al"));
    dialog->Label2->setText(QStringLiteral("al"));
    TfmKvaSelectRangeDate::SetDays(dialog->dtpStart, CurrentRegStart);
    TfmKvaSelectRangeDate::SetDays(dialog->dtpEnd, CurrentRegEnd);
    // Cancel prints nothing.
    if (dialog->exec() != QDialog::Accepted)
        throw EVoAbort();
    data_inizio = FormatDays(dialog->StartDate);
    data_fine = FormatDays(dialog->EndDate);
    query->Params().ParamByName(QStringLiteral("dStart")).SetAsDate(dialog->StartDate);
    query->Params().ParamByName(QStringLiteral("dEnd")).SetAsDate(dialog->EndDate);
}

void TdmkvaReport::qquFacCurrBeforeOpen(TVoQueryCollection *DataSet) {
    DataSet->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
}

void TdmkvaReport::qquGiacenzaBeforeOpen(TVoQueryCollection *DataSet) {
    {
        const std::unique_ptr<TfmKvaSelectRangeDate> dialog(VoNewForm<TfmKvaSelectRangeDate>());
        dialog->Label1->hide();
        dialog->dtpStart->hide();
        dialog->Label2->setText(QStringLiteral("Elenco generale dei beni al"));
        TfmKvaSelectRangeDate::SetDays(dialog->dtpEnd, CurrentRegEnd);
        // Cancel prints nothing.
        if (dialog->exec() != QDialog::Accepted)
            throw EVoAbort();
        m_stockDate = dialog->EndDate;
        data_fine = FormatDays(m_stockDate);
    }
    RegisterBeforeOpen(DataSet, kGiacenzaByYearSQL, kGiacenzaByRegisterSQL);
}

void TdmkvaReport::qquGiacenzaAfterScroll(TVoQueryCollection *DataSet) {
    FillStock(DataSet, -1, m_stockDate);
}

void TdmkvaReport::FillStock(TVoQueryCollection *articles, int sectorId, double date) {
    if (articles->IsEmpty())
        return;
    if (!cdsGiacenze->Active())
        cdsGiacenze->Open();
    cdsGiacenze->EmptyDataSet();
    ReadStocks(date, sectorId >= 0);
    const int article = FieldValue(articles, "iFarId").toInt();
    const TkvaStock all = m_stocks.value(article);
    double stock = all.stock;
    double value = double(VoRoundScaled(all.stock * all.cost, VoCurrencyDecimals)) / 100.0;
    if (sectorId >= 0) {
        const TSectorStock inSector = m_sectorStocks.value(article).value(sectorId);
        stock = inSector.stock;
        value = inSector.value;
    }
    cdsGiacenze->Append();
    cdsGiacenze->FieldByName(QStringLiteral("Codice"))->SetValue(FieldValue(articles, "sFarSDesc"));
    cdsGiacenze->FieldByName(QStringLiteral("Descrizione"))->SetValue(FieldValue(articles, "sFarLDesc"));
    cdsGiacenze->FieldByName(QStringLiteral("Giacenza"))->SetAsFloat(stock);
    cdsGiacenze->FieldByName(QStringLiteral("CostoUnit"))->SetAsFloat(all.cost);
    cdsGiacenze->FieldByName(QStringLiteral("Valore"))->SetAsFloat(value);
    cdsGiacenze->Post();
}

void TdmkvaReport::ReadStocks(double date, bool bySector) {
    // Every article is read at once in a run, again only for another date, and looked up row by row (a
    // list of articles may be opened once per category or sector).
    if (!m_stocksRead || date != m_stocksDate) {
        m_stocks = GetAllStocksAndCosts(-1, date);
        m_stocksDate = date;
        m_stocksRead = true;
        m_sectorStocksRead = false;
    }
    if (!bySector || m_sectorStocksRead)
        return;
    // Each sector's stock at the article's average cost: the sectors of an article share its value to
    // the cent as the stock list prints it, each sector's amount rounded from the running total of the
    // sectors before it (in key order), so that they add up to it whichever sectors are printed.
    m_sectorStocks.clear();
    const QHash<int, QMap<int, double>> bySectorStocks = GetSectorStocks(date);
    for (auto article = bySectorStocks.cbegin(); article != bySectorStocks.cend(); ++article) {
        const TkvaStock all = m_stocks.value(article.key());
        const qint64 whole = VoRoundScaled(all.stock * all.cost, VoCurrencyDecimals);
        QMap<int, TSectorStock> &sectors = m_sectorStocks[article.key()];
        double running = 0.0;
        qint64 given = 0;
        for (auto sector = article->cbegin(); sector != article->cend(); ++sector) {
            running += sector.value() * all.cost;
            const qint64 upTo =
                std::next(sector) == article->cend() ? whole : VoRoundScaled(running, VoCurrencyDecimals);
            sectors.insert(sector.key(), {sector.value(), double(upTo - given) / 100.0});
            given = upTo;
        }
    }
    m_sectorStocksRead = true;
}

// --- Vouchers -----------------------------------------------------------------------------------------

void TdmkvaReport::cdsBuoniBeforeOpen(TVoQueryCollection *DataSet) {
    const int kind = VoucherKind();
    if (kind >= 0)
        SetVouchersParams(DataSet, kind);
}

void TdmkvaReport::cdsBuoniAfterScroll(TVoQueryCollection *DataSet) {
    const QVariant voucher = FieldValue(DataSet, "iFBuoId");
    for (TVoQueryCollection *q : {qquArtXBuono, qquDocXBuono}) {
        q->Close();
        q->SetParam(QStringLiteral("iFBuoId"), voucher);
        q->Open();
    }
}

// --- Lists and what they print under their rows ------------------------------------------------------

void TdmkvaReport::qquCatAfterScroll(TVoQueryCollection *DataSet) {
    qquCatMerce->Close();
    qquCatMerce->SetParam(QStringLiteral("iCafId"), FieldValue(DataSet, "iCafId"));
    qquCatMerce->Open();
}

void TdmkvaReport::cdsAfterScroll(TVoQueryCollection *DataSet) {
    qquArt->Close();
    const int id = GetBaseReportId();
    const auto filter = std::find_if(std::begin(kDetailFilters), std::end(kDetailFilters),
                                     [id](const TDetailFilter &f) { return f.reportId == id; });
    if (filter != std::end(kDetailFilters)) {
        const bool own = DataSet->objectName() == QLatin1String(filter->list) && !DataSet->IsEmpty();
        const bool without = own && FieldValue(DataSet, filter->key).toInt() == 0;
        QString sql = QString::fromLatin1(without && filter->withoutSql ? filter->withoutSql : filter->sql);
        if (const char *condition = without ? filter->withoutCondition : filter->condition)
            sql.replace(QStringLiteral("/*FILTER*/"), QString::fromLatin1(condition));
        qquArt->SetCommandText(sql);
        if (own) {
            if (id == kSectorGoodsReport)
                qquArt->SetParam(QStringLiteral("iSecId"), SelectedSecId);
            if (!without)
                qquArt->SetParam(QString::fromLatin1(filter->key), FieldValue(DataSet, filter->key));
        }
        if (filter->kind >= 0)
            qquArt->SetParam(QStringLiteral("iFBuoTipo"), filter->kind);
    }
    SetScopeParams(qquArt, ParamRegisterYearId());
    // A key no list has given yet selects nothing.
    for (int i = 0; i < qquArt->Params().Count(); ++i)
        if (!qquArt->Params()[i].Bound())
            qquArt->Params()[i].SetNull(QMetaType::Int);
    qquArt->Open();
}

void TdmkvaReport::qquArtAfterScroll(TVoQueryCollection *DataSet) {
    int sector = -1;
    switch (GetBaseReportId()) {
    case 26008:
        if (cdsSettori->Active() && !cdsSettori->IsEmpty())
            sector = FieldValue(cdsSettori, "iSecId").toInt();
        break;
    case 26017:
    case 26020:
        break;
    case kSectorGoodsReport:
        sector = SelectedSecId;
        break;
    default:
        return;
    }
    FillStock(DataSet, sector, CurrentRegEnd);
}

void TdmkvaReport::cdsMerceAfterScroll(TVoQueryCollection *DataSet) {
    if (GetBaseReportId() != kSuppliersByGoodsReport) {
        cdsAfterScroll(DataSet);
        return;
    }
    qquFornXMerce->Close();
    SetScopeParams(qquFornXMerce, CurrentRegisterYearId);
    qquFornXMerce->SetParam(QStringLiteral("iMerId"), FieldValue(DataSet, "iMerId"));
    qquFornXMerce->Open();
}

void TdmkvaReport::cdsFornitoriBeforeOpen(TVoQueryCollection *DataSet) {
    DataSet->SetParam(QStringLiteral("iDwgFacAnfId"), ListRegisterYear());
}

void TdmkvaReport::cdsDocumentiBeforeOpen(TVoQueryCollection *DataSet) {
    DataSet->SetParam(QStringLiteral("iDwgFacAnfId"), ListRegisterYear());
}

void TdmkvaReport::cdsArticoliAfterScroll(TVoQueryCollection *DataSet) {
    if (DataSet->IsEmpty())
        return;
    qquMovArt->Close();
    const QVariant article = FieldValue(DataSet, "iFarId");
    SetScopeParams(qquMovArt, ParamRegisterYearId());
    qquMovArt->SetParam(QStringLiteral("iFarId"), article);
    qquMovArt->Open();
    GetStockAndCost(article.toInt(), art_giacenza, art_costomedio, -1, CurrentRegEnd);
}

// --- Selection forms ----------------------------------------------------------------------------------

void TdmkvaReport::xfrBuoniBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    const int kind = VoucherKind();
    if (kind >= 0) {
        Form->SetCommandText(QString::fromLatin1(kBuoniSQL));
        SetVouchersParams(Form->frVoMultiSel->xqcMultiSelect, kind);
    }
    Form->Dress(QStringLiteral("Selezione Buoni"), {{"dFBuoData", "Data", 100, false},
                                                    {"iFBuoNumero", "Numero", 100, true},
                                                    {"sFBuoDesc", "Descrizione", 300, true}});
}

// The long description is what the sectors registry calls its notes: titled so, the two columns no
// longer read the same.
void TdmkvaReport::xfrSettoriBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->Dress(QStringLiteral("Selezione Settore di consegna"), {{"sSecCod", "Codice", 100, true},
                                                                  {"sSecDescS", "Descrizione", 300, true},
                                                                  {"sSecDescL", "Note", 300, true}});
}

void TdmkvaReport::xfrMerceBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->Dress(QStringLiteral("Selezione Merceologia"),
                {{"sMerCodice", "Codice", 100, true}, {"sMerDesc", "Descrizione", 300, true}});
}

void TdmkvaReport::xfrCategBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->Dress(QStringLiteral("Selezione Categoria"),
                {{"sCafCodice", "Codice", 100, true}, {"sCafDesc", "Descrizione", 300, true}});
}

void TdmkvaReport::xfrFornitoriBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->SetCommandText(QString::fromLatin1(kFornitoriSQL));
    Form->SetParam(QStringLiteral("iDwgFacAnfId"), ListRegisterYear());
    Form->Dress(QStringLiteral("Selezione fornitore"), {{"sBenRagSoc", "Ragione sociale", 300, true},
                                                        {"sBenCodFiscale", "Codice fiscale", 100, true},
                                                        {"sBenPartitaIVA", "Partita iva", 100, true},
                                                        {"sBenDesc", "Descrizione", 100, true}});
}

void TdmkvaReport::xfrDocumentiBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->SetCommandText(QString::fromLatin1(kDocumentiSQL));
    Form->SetParam(QStringLiteral("iDwgFacAnfId"), ListRegisterYear());
    Form->Dress(QStringLiteral("Selezione documento"), {{"sIdcNumero", "Numero", 75, true},
                                                        {"dIdcData", "Data", 75, false},
                                                        {"sIdcDesc", "Descrizione", 400, true},
                                                        {"sTidDesc", "Tipo", 200, true}});
}

void TdmkvaReport::xfrArticoliBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->Dress(QStringLiteral("Selezione Articoli"), {{"sFarSDesc", "Codice", 100, true},
                                                       {"sFarLDesc", "Descrizione", 300, true},
                                                       {"sCafDesc", "Categoria", 300, true}});
}

void TdmkvaReport::xfrSecMercBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->Dress(QStringLiteral("Selezione Settore - Merceologia"),
                {{"sMerCodice", "Codice", 100, true}, {"sMerDesc", "Descrizione", 300, true}});
}

void TdmkvaReport::xfrSettoriRspBeforeSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    Form->Dress(QStringLiteral("Selezione Settore di consegna - Responsabile"),
                {{"sSecCod", "Codice", 50, true},
                 {"sSecDescS", "Descrizione", 200, true},
                 {"sAnaCognomeNome", "Responsabile", 200, true},
                 {"sSecDescL", "Note", 200, true}});
}

void TdmkvaReport::xfrSecMercAfterSelectForm(TVofrDBDataSet *, TfmVoMultiSelect *Form) {
    // The form lets OK through only with a sector chosen.
    const auto *form = qobject_cast<TfmRptSecMerc_select *>(Form);
    if (!form)
        return;
    SelectedSecId = form->cbSettore->SelectedId();
    sSettore = form->cbSettore->currentText();
}

// --- Layouts and hooks ------------------------------------------------------------------------------

QStringList kvaReportLayouts() {
    return VoRptResourceLayouts(QStringLiteral(":/kva/reports/layouts"));
}

void kvaHookReports(TVoRptTreeView *tree) {
    VoRptHookModule(
        tree,
        [](const QString &name, QVariant &value) {
            if (dmkvaReport)
                dmkvaReport->GetReportValue(name, value);
        },
        [] {
            if (dmkvaReport)
                dmkvaReport->CloseReportDatasets();
        },
        [] {
            if (dmkvaReport)
                dmkvaReport->OpenCloseSelectionLists();
        },
        kvaReportLayouts());
}
