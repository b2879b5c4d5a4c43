#include "kvbMReport.h"

#include "VoDBDateEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptEngine.h"
#include "VoRptStore.h"
#include "VoRptTreeView.h"
#include "VoUtils.h"
#include "kvbFRptBeniData.h"
#include "kvbFSelectRange.h"
#include "kvbFSelectRangeDate.h"
#include "kvbMAtt.h"
#include "kvbUUtil.h"

#include <QLabel>
#include <memory>
#include <tuple>

TdmkvbReport *dmkvbReport = nullptr;

namespace {

// --- SQL texts ---------------------------------------------------------------------------------------
// Macros, so that each text stays one string constant.

// A register's goods through their loading voucher's register-year.
#define KVB_RPT_GOODS_FROM                                                                                   \
    "FROM VBINB_BENI inb INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACANFID = inb.IDWGFACANFID INNER JOIN "       \
    "TDWGFAC di ON di.IDWGFACID = dfa.IDWGFACID "
#define KVB_RPT_IN_CHARGE "(di.IFACID = :iFacId) AND (inb.IBBUOIDSCARICO IS NULL)"
// The goods the register holds at a date (NULL: as it stands), by the one rule of the database's
// PKVB_BENIREGISTRO that the closing and the register's value follow too, so that the lists' totals
// agree with them.
#define KVB_RPT_REGISTER_FROM(date)                                                                          \
    "FROM PKVB_BENIREGISTRO(:iFacId, " date ") reg INNER JOIN VBINB_BENI inb ON inb.IBINBID = reg.IBINBID "  \
    "INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACANFID = inb.IDWGFACANFID INNER JOIN TDWGFAC di ON "             \
    "di.IDWGFACID "                                                                                          \
    "= dfa.IDWGFACID "
#define KVB_RPT_GOOD_COLUMNS                                                                                 \
    "inb.IBINBID, inb.IBINBNUMERO, inb.SBINBCODNUMERO, inb.SBINBDESC, inb.SCAMCODICE, inb.IBINBIMPORTO, "
// A good's number and sub-code at a date (num.IBINBNUMERO, num.SBINBCODNUMERO), by the database's one
// rule: a list at a date prints the numbers the goods had then, whatever renumbering came after.
#define KVB_RPT_NUMBER_AT(date)                                                                              \
    "LEFT JOIN PKVB_NUMEROALLADATA(inb.IBINBID, " date ", inb.IBINBNUMERO, inb.SBINBCODNUMERO) num ON 1 = 1 "

const char *const kCausSQL =
    "SELECT ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO, SCAVCAPITOLO FROM TCAV_CAUSALIINV ORDER BY SCAVCODICE";
const char *const kCatSQL =
    "SELECT ICAMID, SCAMCODICE, SCAMDESC FROM TCAM_CATEGORIEINV WHERE iCamId BETWEEN 1 "
    "AND 8 ORDER BY ICAMID";
const char *const kCatMerceSQL =
    "SELECT cae.iCaeId, Cae.sMerCodice, Cae.sMerDesc   FROM VCAE_CATEGMERCE cae   "
    "WHERE cae.iCamId=:iCamId ORDER BY cae.sMerCodice";
const char *const kBeneficiSQL = "SELECT IBENID, SBENRAGSOC, SBENDESC, SBENCODFISCALE, SBENPARTITAIVA FROM "
                                 "TBEN_BENEFICIARI ORDER BY SBENRAGSOC";
const char *const kCondizSQL = "SELECT ICONDID, SCONDDESC FROM TCOND_CONDIZIONI ORDER BY SCONDDESC";
const char *const kSettConsSQL =
    "SELECT sec.ISECID, sec.SSECCOD, sec.SSECDESCS, sec.SSECDESCL, stz.SSTZSDESC, edf.SEDFCODICE, "
    "edf.SEDFDESCS FROM TSEC_SETTCONS sec LEFT JOIN TSTZ_STANZA stz ON stz.ISTZID = sec.ISTZID LEFT JOIN "
    "TEDF_EDIFICIO edf ON edf.IEDFID = stz.IEDFID ORDER BY sec.SSECCOD";
const char *const kBenDurSQL =
    "SELECT IFACID, SFACDESC FROM TFAC_VELISTO WHERE ITFCID IN (5, 7) ORDER BY SFACDESC";
const char *const kStAvanzSQL = "SELECT SAVACODICE, SAVADESC FROM TAVA_STATIAVANZA ORDER BY IAVAID";
const char *const kIstBenDurSQL =
    "SELECT di.IDWGFACID, dow.SDOWLDESC, fac.SFACDESC FROM TDWGFAC di INNER JOIN TFAC_VELISTO fac ON "
    "fac.IFACID = di.IFACID INNER JOIN VDOW_DATAOWNER dow ON dow.IDWGID = di.IDWGID WHERE fac.ITFCID IN (5, "
    "7) "
    "ORDER BY dow.SDOWLDESC, fac.SFACDESC";
const char *const kFacCurrSQL = "SELECT IFACID, SFACDESC FROM TFAC_VELISTO WHERE IFACID = :iFacId";

// Vouchers of a kind with their supplier, the value of the goods they loaded or unloaded, their
// acceptance document, register and year.
#define KVB_RPT_VOUCHERS(kind, goodsKey, value, scope)                                                       \
    "SELECT buo.IBBUOID, buo.IBBUONUMERO, buo.DBBUODATA, buo.SBBUODESC, buo.IBBUOIMPORTO, "                  \
    "buo.SBBUOPROTNUM, "                                                                                     \
    "buo.DBBUOPROTDATA, buo.ILOCKED, ben.SBENRAGSOC, (SELECT COALESCE(SUM(" value "), 0) FROM "              \
    "TBINB_BENI g WHERE g." goodsKey " = buo.IBBUOID) AS IBENIIMP, del.DDELDATA, del.SDELNUMERO, "           \
    "del.SDELDESC, fac.SFACDESC, anf.IANFVALORE FROM TBBUO_BUONI buo INNER JOIN TDWGFACANF dfa ON "          \
    "dfa.IDWGFACANFID = buo.IDWGFACANFID INNER JOIN TDWGFAC di ON di.IDWGFACID = dfa.IDWGFACID INNER JOIN "  \
    "TFAC_VELISTO fac ON fac.IFACID = di.IFACID INNER JOIN TANF_ANNIFINANZ anf ON anf.IANFID = dfa.IANFID "  \
    "LEFT JOIN TBEN_BENEFICIARI ben ON ben.IBENID = buo.IBENID LEFT JOIN TDEL_DELIBERE del ON del.IDELID = " \
    "buo.IDELID WHERE (buo.IBBUOTIPO = " kind ") AND " scope " ORDER BY buo.DBBUODATA, buo.IBBUONUMERO"
// A loading voucher's goods at what they were worth when it loaded them, an unloading voucher's at
// their value at discharge.
#define KVB_RPT_LOADED "FKVB_IMPORTOALLADATA(g.IBINBID, buo.DBBUODATA)"
const char *const kBuoniSQL = KVB_RPT_VOUCHERS("0", "IBBUOID", KVB_RPT_LOADED, "(di.IFACID = :iFacId)");
const char *const kScaricoSQL =
    KVB_RPT_VOUCHERS("1", "IBBUOIDSCARICO", "g.IBINBIMPORTO", "(di.IFACID = :iFacId)");
const char *const kBuoniCaricoSQL =
    KVB_RPT_VOUCHERS("0", "IBBUOID", KVB_RPT_LOADED, "(buo.IDWGFACANFID = :iDwgFacAnfId)");
const char *const kBuoniScaricoSQL =
    KVB_RPT_VOUCHERS("1", "IBBUOIDSCARICO", "g.IBINBIMPORTO", "(buo.IDWGFACANFID = :iDwgFacAnfId)");

// A voucher's goods, those alike counted as one line with their quantity, at the value of the
// voucher's date.
#define KVB_RPT_VOUCHER_GOODS(cause, key, param, value)                                                      \
    "SELECT inb.IBINBNUMERO, inb.SBINBDESC, inb.SCAMCODICE, inb.IBINBIMPORTO, inb.SBINBCODNUMERO, "          \
    "inb.SBINBMATRICOLA, inb.SCAVDESC, COUNT(*) AS QUANTITA FROM (SELECT g.IBINBNUMERO, g.SBINBDESC, "       \
    "g.SCAMCODICE, " value " AS IBINBIMPORTO, g.SBINBCODNUMERO, g.SBINBMATRICOLA, g." cause " AS SCAVDESC "  \
    "FROM VBINB_BENI g WHERE g." key " = :" param ") inb GROUP BY inb.IBINBNUMERO, inb.SBINBDESC, "          \
    "inb.SCAMCODICE, inb.IBINBIMPORTO, inb.SBINBCODNUMERO, inb.SBINBMATRICOLA, inb.SCAVDESC ORDER BY "       \
    "inb.IBINBNUMERO, inb.SBINBCODNUMERO"
const char *const kBeniBuoniCaricoSQL = KVB_RPT_VOUCHER_GOODS("SCAVDESC", "IBBUOID", "iBBuoId",
                                                              "FKVB_IMPORTOALLADATA(g.IBINBID, g.DBBUODATA)");
const char *const kBeniBuoniScaricoSQL =
    KVB_RPT_VOUCHER_GOODS("SCAVDESCSCA", "IBBUOIDSCARICO", "iBBuoIdScarico", "g.IBINBIMPORTO");
const char *const kDocXBuonoSQL =
    "SELECT idc.IIDCID, idc.DIDCDATA, idc.SIDCNUMERO, idc.SIDCDESC, tid.STIDDESC FROM TBBUOIDC bi INNER JOIN "
    "TIDC_INVDOC idc ON idc.IIDCID = bi.IIDCID LEFT JOIN TTID_TIPOINVDOC tid ON tid.ITIDID = idc.ITIDID "
    "WHERE "
    "bi.IBBUOID = :iBBuoId ORDER BY idc.DIDCDATA, idc.SIDCNUMERO";

// The register of goods at a date, which the goods selection form lists too: the goods in charge at
// the date with the value they had then, and the goods discharged by then, still in the numbering,
// with their unloading voucher and their value at discharge apart; a discharge after the date is not
// one yet. Each good bears the number it had on the date.
const char *const kVBeniSQL =
    "SELECT inb.IBINBID, reg.IBINBNUMERO, reg.SBINBCODNUMERO, inb.SBINBDESC, inb.SBINBNOTE, "
    "inb.SBINBMATRICOLA, "
    "reg.IBINBIMPORTO, IIF(reg.ISCARICATO = 0, reg.IBINBIMPORTO, NULL) AS IMPORTOINCARICO, "
    "IIF(reg.ISCARICATO = 1, reg.IBINBIMPORTO, NULL) AS IMPORTOSCARICATO, buo.IBBUONUMERO, buo.DBBUODATA, "
    "sca.IBBUONUMERO AS IBBUONUMEROSCA, sca.DBBUODATA AS "
    "DBBUODATASCA, cam.SCAMCODICE, cam.SCAMDESC, cae.SMERCODICE, cae.SMERDESC, cond.SCONDDESC, ava.SAVADESC, "
    "cav.SCAVDESC, sec.SSECCOD, sec.SSECDESCS, sed.SSEDINFSDESC, sed.SSEDINFCODMECC, itb.SITBDESC, "
    "fac.SFACDESC FROM PKVB_REGISTROBENI(:iFacId, :dEnd) reg INNER JOIN TBINB_BENI inb ON inb.IBINBID = "
    "reg.IBINBID INNER JOIN TBBUO_BUONI buo ON buo.IBBUOID = inb.IBBUOID INNER JOIN "
    "TDWGFACANF dfa ON dfa.IDWGFACANFID = buo.IDWGFACANFID INNER JOIN TDWGFAC di ON di.IDWGFACID = "
    "dfa.IDWGFACID INNER JOIN TFAC_VELISTO fac ON fac.IFACID = di.IFACID LEFT JOIN TBBUO_BUONI sca ON "
    "(sca.IBBUOID = inb.IBBUOIDSCARICO) AND (reg.ISCARICATO = 1) LEFT JOIN TCOND_CONDIZIONI cond ON "
    "cond.ICONDID = inb.ICONDID LEFT "
    "JOIN "
    "TAVA_STATIAVANZA ava ON ava.IAVAID = inb.IAVAID LEFT JOIN TCAM_CATEGORIEINV cam ON cam.ICAMID = "
    "inb.ICAMID LEFT JOIN VCAE_CATEGMERCE cae ON cae.ICAEID = inb.ICAEID LEFT JOIN TCAV_CAUSALIINV cav ON "
    "cav.ICAVID = inb.ICAVID LEFT JOIN TSEC_SETTCONS sec ON sec.ISECID = inb.ISECID LEFT JOIN "
    "TSEDINF_SEDEINFO sed ON sed.ISEDINFID = inb.ISEDINFID LEFT JOIN TITB_INVTIPOBUO itb ON itb.IITBID = "
    "buo.IITBID WHERE (di.iFacId=:iFacId)  /*AND VORPTFILTER*/  ORDER BY buo.dBBuoData, reg.iBInbNumero, "
    "reg.sBInbCodNumero";
const char *const kVBeniCaricoSQL = "SELECT inb.* " KVB_RPT_REGISTER_FROM(
    "NULL") "WHERE (di.IFACID = :iFacId) ORDER BY inb.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO";
const char *const kVBeniScaricoSQL =
    "SELECT inb.* " KVB_RPT_GOODS_FROM "WHERE (di.IFACID = :iFacId) AND (INB.iBBuoIDSCARICO>0) ORDER BY "
    "inb.DBBUODATASCA, inb.IBINBNUMERO, inb.SBINBCODNUMERO";
// The books in charge at a date, each with the number and the value it had on that date.
const char *const kVLibriCaricoSQL =
    "SELECT inb.IBINBID, num.IBINBNUMERO, num.SBINBCODNUMERO, inb.SBINBDESC, inb.SBINBNOTE, "
    "inb.SBINBMATRICOLA, inb.IBBUOID, FKVB_IMPORTOALLADATA(inb.IBINBID, :dData) AS IBINBIMPORTO, inb.ICAMID, "
    "inb.ICAEID, inb.ICAVID, inb.ICONDID, inb.IAVAID, inb.ISECID, inb.SBINBLIBTITOLO, inb.SBINBLIBAUTORE, "
    "inb.SBINBLIBEDITORE, inb.IVPROID, inb.ISEDINFID, inb.ICLCID, inb.IBINBANNOASSUNZ, inb.IBBUOIDSCARICO, "
    "inb.ICAVIDSCARICO, inb.IBINBFUORIREGISTRO, inb.DBBUODATA, inb.IBBUONUMERO, inb.IDWGFACANFID, inb.IBENID, "
    "inb.ILOCKED, inb.DBBUODATASCA, inb.IBBUONUMEROSCA, inb.SCAMCODICE, inb.SCAMDESC, inb.SCONDCODICE, "
    "inb.SCONDDESC, inb.SAVADESC, inb.SSECCOD, inb.SSECDESCS, inb.SSEDINFSDESC, inb.SSEDINFLDESC, "
    "inb.SCAVDESC, inb.SCAVDESCSCA " KVB_RPT_GOODS_FROM KVB_RPT_NUMBER_AT(
        ":dData") "WHERE (di.IFACID = :iFacId) AND (inb.iCamId = 8) AND (inb.DBBUODATA <= :dData) AND "
                  "((INB.IBBUOIDSCARICO IS NULL) OR (inb.dBBuoDataSca >= :dData)) ORDER BY inb.DBBUODATA, "
                  "num.IBINBNUMERO, num.SBINBCODNUMERO";
#define KVB_RPT_LABELS                                                                                       \
    "SELECT " KVB_RPT_GOOD_COLUMNS                                                                           \
    "inb.DBBUODATA, inb.SSECCOD, inb.SSECDESCS, ben.SBENRAGSOC " KVB_RPT_GOODS_FROM                          \
    "LEFT JOIN TBEN_BENEFICIARI ben ON ben.IBENID = inb.IBENID WHERE " KVB_RPT_IN_CHARGE " AND "
const char *const kEtichetteSQL =
    KVB_RPT_LABELS "(inb.IBINBNUMERO BETWEEN :iBInbStart AND :iBInbEnd) ORDER BY "
                   "inb.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO";
const char *const kEtichetteSettSQL =
    KVB_RPT_LABELS "(inb.ISECID = :iSecId) ORDER BY inb.DBBUODATA, inb.IBINBNUMERO, inb.SBINBCODNUMERO";

const char *const kSettConsSSQL =
    "SELECT DISTINCT sec.ISECID, sec.SSECCOD, sec.SSECDESCS, sec.SSECDESCL FROM TSEC_SETTCONS sec INNER JOIN "
    "VBINB_BENI inb ON inb.ISECID = sec.ISECID INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACANFID = "
    "inb.IDWGFACANFID INNER JOIN TDWGFAC di ON di.IDWGFACID = dfa.IDWGFACID WHERE di.IFACID = :iFacId ORDER "
    "BY sec.SSECCOD";
const char *const kBeniSettConsSQL =
    "SELECT " KVB_RPT_GOOD_COLUMNS "fac.SFACDESC, inb.SBINBMATRICOLA, inb.SBINBNOTE " KVB_RPT_REGISTER_FROM(
        "NULL") "INNER JOIN TFAC_VELISTO fac ON fac.IFACID = di.IFACID WHERE (reg.ISECID = :iSecId) ORDER BY "
                "inb.IBINBNUMERO, inb.SBINBCODNUMERO";
// Each good in charge with the number it had up to the last renumbering (none when it had no other).
#define KVB_RPT_HISTORY(condition)                                                                           \
    "SELECT inb.IBINBID, inb.IBINBNUMERO AS NEWNUMERO, inb.SBINBCODNUMERO, bnu.IBBNUNUMERO AS OLDNUMERO, "   \
    "bnu.SBBNUCODNUMERO AS OLDCODNUMERO, inb.SBINBDESC, inb.SSECDESCS, clc.SCLCDESCL " KVB_RPT_GOODS_FROM    \
    "LEFT JOIN TBBNU_BENINUMERI bnu ON (bnu.IBINBID = inb.IBINBID) AND (bnu.DEND = :dEnd) LEFT JOIN "        \
    "TCLC_COLLOCAZIONI clc ON clc.ICLCID = inb.ICLCID WHERE " KVB_RPT_IN_CHARGE condition                    \
    " ORDER BY inb.IBINBNUMERO, inb.SBINBCODNUMERO"
const char *const kStoricoNumeriSQL = KVB_RPT_HISTORY("");
const char *const kStoricoNumeriSecSQL = KVB_RPT_HISTORY(" AND (inb.ISECID = :iSecId)");
const char *const kDataUltimoStorSQL =
    "SELECT MAX(bnu.dEnd) AS dEnd FROM TBBNU_BENINUMERI bnu INNER JOIN VBINB_BENI inb ON inb.IBINBID = "
    "bnu.IBINBID INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACANFID = inb.IDWGFACANFID INNER JOIN TDWGFAC di ON "
    "di.IDWGFACID = dfa.IDWGFACID WHERE di.IFACID = :iFacId";
const char *const kCollocazioniSQL =
    "SELECT ICLCID, SCLCDESCS, SCLCDESCL FROM TCLC_COLLOCAZIONI ORDER BY SCLCDESCL";
const char *const kBeniCollSQL =
    "SELECT " KVB_RPT_GOOD_COLUMNS "fac.SFACDESC, inb.DBBUODATA, inb.SBINBMATRICOLA, inb.IBINBANNOASSUNZ, "
    "inb.SBINBNOTE " KVB_RPT_REGISTER_FROM(
        "NULL") "INNER JOIN TFAC_VELISTO fac ON fac.IFACID = di.IFACID WHERE (inb.ICLCID = :iClcId) ORDER BY "
                "inb.IBINBNUMERO, inb.SBINBCODNUMERO";

// A closing's amount of a category, missing as 0.
#define KVB_RPT_IMP(n)                                                                                       \
    "COALESCE((SELECT SUM(cc.ICHACAMIMPORTO) FROM TCHACAM cc WHERE cc.ICHAID = cha.ICHAID AND cc.ICAMID "    \
    "= " #n "), 0) AS IMP" #n ", "
#define KVB_RPT_CLOSING_COLUMNS                                                                              \
    "cha.ICHAID, cha.DCHADATACHIUSURA, " KVB_RPT_IMP(1) KVB_RPT_IMP(2) KVB_RPT_IMP(3) KVB_RPT_IMP(4)         \
        KVB_RPT_IMP(5) KVB_RPT_IMP(6) KVB_RPT_IMP(7)                                                         \
            KVB_RPT_IMP(8) "COALESCE((SELECT SUM(cc.ICHACAMIMPORTO) FROM TCHACAM cc WHERE cc.ICHAID = "      \
                           "cha.ICHAID AND cc.ICAMID "                                                       \
                           "BETWEEN 1 AND 8), 0) AS TOTALE, tch.STCHLDESC, fac.SFACDESC "
#define KVB_RPT_CLOSINGS_FROM                                                                                \
    "FROM TCHA_CHIUSURAANNO cha INNER JOIN TFAC_VELISTO fac ON fac.IFACID = cha.IFACID LEFT JOIN "           \
    "TTCH_TIPOCHIUSURA tch ON tch.ITCHID = cha.ITCHID WHERE cha.IFACID = :iFacId "
// The previous closing's date; a register's first closing follows every movement.
#define KVB_RPT_PREVIOUS_CLOSING(before)                                                                     \
    "COALESCE((SELECT MAX(p.DCHADATACHIUSURA) FROM TCHA_CHIUSURAANNO p WHERE p.IFACID = :iFacId" before      \
    "), CAST('1900-01-01' AS DATE)) AS DCHADATACHIUSURAPRECEDENTE"
const char *const kChiusureSQL = "SELECT " KVB_RPT_CLOSING_COLUMNS ", " KVB_RPT_PREVIOUS_CLOSING(
    " AND p.DCHADATACHIUSURA < cha.DCHADATACHIUSURA") " " KVB_RPT_CLOSINGS_FROM
                                                      "ORDER BY cha.DCHADATACHIUSURA";
const char *const kChiusureTotaliSQL =
    "SELECT " KVB_RPT_CLOSING_COLUMNS KVB_RPT_CLOSINGS_FROM "ORDER BY cha.DCHADATACHIUSURA";
const char *const kLastChiuSQL = "SELECT FIRST 1 " KVB_RPT_CLOSING_COLUMNS KVB_RPT_CLOSINGS_FROM
                                 "ORDER BY cha.DCHADATACHIUSURA DESC, cha.ICHAID DESC";
// The previous closing of a verification is the last one on or before the date verified.
const char *const kNewChiusuraSQL = "SELECT CURRENT_DATE AS DCHADATACHIUSURA, " KVB_RPT_PREVIOUS_CLOSING(
    " AND p.DCHADATACHIUSURA <= :dVerifica") ", (SELECT totale FROM PKvb_GetChiusura(NULL,:dVerifica,1,:iFacId)) AS TOTALE FROM RDB$DATABASE";
const char *const kChiusPrecSQL =
    "SELECT iChaId, dChaDataChiusura, imp1, imp2, imp3, imp4, imp5, imp6, imp7, "
    "imp8, totale FROM PKvb_GetChiusura(NULL,:dDataEnd,2,:iFacId)";
// The goods loaded and the goods unloaded in an interval, each at the value it was loaded with and with
// the number it had at the interval's end.
#define KVB_RPT_MOVEMENT(date, number, kind, condition)                                                      \
    "SELECT inb.IBINBID, num.IBINBNUMERO, num.SBINBCODNUMERO, inb.SBINBDESC, inb.SCAMCODICE, "              \
    "inb.IBINBIMPORTO, inb.ICAMID, COALESCE((SELECT FIRST 1 bim.IBBIMIMPORTO FROM "                          \
    "TBBIM_IMPORTI bim WHERE bim.IBINBID = inb.IBINBID ORDER BY bim.DSTART, bim.IBBIMID), "                  \
    "inb.IBINBIMPORTO) "                                                                                     \
    "AS IINBIMPORTOCARICO, inb." date " AS DATAORD, inb." number " AS IBBUONUMEROMOV, " kind                 \
    " AS IBBUOTIPO " KVB_RPT_GOODS_FROM KVB_RPT_NUMBER_AT(                                                   \
        ":dDataMax") "WHERE (di.IFACID = :iFacId) AND " condition " (inb." date                              \
    " > :dDataMin) AND (inb." date " <= :dDataMax)"
const char *const kVBeniChiusureSQL =
    KVB_RPT_MOVEMENT("DBBUODATA", "IBBUONUMERO", "0", "") " UNION ALL " KVB_RPT_MOVEMENT(
        "DBBUODATASCA", "IBBUONUMEROSCA", "1",
        "(inb.IBBUOIDSCARICO IS NOT NULL) AND") " ORDER BY 9, 11, 2, 3";

// Minutes linked to goods, dated within the register-year.
#define KVB_RPT_MINUTES_HEAD " SELECT DISTINCT ver.IVERID, ver.SVERNUMERO, ver.DVERDATA, ver.sVerNote"
#define KVB_RPT_MINUTES_FROM "  FROM TVER_VERBALI ver  INNER JOIN TBInbVer iv ON ver.iVerId = iv.iVerId"
#define KVB_RPT_MINUTES_DATES " AND (ver.dVerData BETWEEN :dStart AND :dEnd)"
const char *const kTestingMinutesSQL =
    KVB_RPT_MINUTES_HEAD KVB_RPT_MINUTES_FROM " WHERE ver.ITVRID = 1" KVB_RPT_MINUTES_DATES;
const char *const kOtherMinutesSQL = KVB_RPT_MINUTES_HEAD
    ", tvr.STVRDESC" KVB_RPT_MINUTES_FROM " INNER JOIN TTvr_TipoVer tvr ON ver.iTvrId = tvr.iTvrId WHERE "
    "ver.ITVRID <> 1" KVB_RPT_MINUTES_DATES;
const char *const kCommisCollSQL =
    "SELECT cpc.SCPCNOME, cpc.SCPCCOGNOME FROM tcpc_compcomm cpc INNER JOIN tcpcver cv ON cv.ICPCID = "
    "cpc.ICPCID WHERE cv.iverid = :iverid ORDER BY cpc.SCPCCOGNOME, cpc.SCPCNOME";
const char *const kInbCollSQL =
    "SELECT inb.IBINBNUMERO, inb.SBINBCODNUMERO, inb.SBINBDESC, inb.IBINBIMPORTO, inb.DBBUODATA, "
    "ben.SBENRAGSOC, inb.IBBUONUMERO FROM TBINBVER iv INNER JOIN VBINB_BENI inb ON inb.IBINBID = iv.IBINBID "
    "LEFT JOIN TBEN_BENEFICIARI ben ON ben.IBENID = inb.IBENID WHERE iv.IVERID = :iverid ORDER BY "
    "inb.IBINBNUMERO, inb.SBINBCODNUMERO";

const char *const kVariables[] = {"data_verifica_chiusura", "data_verifica_chiusura_prec", "data_al"};

QVariant FieldValue(const TVoQueryCollection *dataSet, const char *name) {
    // No master row selects nothing.
    return dataSet->IsEmpty() ? VoNull(QMetaType::Int)
                              : dataSet->FieldByName(QString::fromLatin1(name))->Value();
}

// The date the user confirms in the date dialog, with only its end shown and the caption given;
// Cancel ends the run.
double AskDate(const QString &caption) {
    const std::unique_ptr<TfmkvbSelectRangeDate> dialog(VoNewForm<TfmkvbSelectRangeDate>());
    dialog->setWindowTitle(caption);
    dialog->Label1->hide();
    dialog->dtpStart->hide();
    dialog->Label2->setText(caption);
    if (dialog->exec() != QDialog::Accepted)
        throw EVoAbort();
    return dialog->EndDate;
}

int ReportBaseId() {
    const TVoRptTreeView *tree = dmkvbAtt ? TVoRptTreeView::Of(dmkvbAtt->xarkvbStampe) : nullptr;
    return GetBaseReportId(tree ? tree->GetRptId() : 0);
}

} // namespace

TdmkvbReport::TdmkvbReport(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("dmkvbReport"));
    // Datasets the user does not choose rows of, by their published names.
    const std::tuple<TVoQueryCollection **, const char *, const char *> plain[] = {
        {&qquCaus, "qquCaus", kCausSQL},
        {&qquCat, "qquCat", kCatSQL},
        {&qquCatMerce, "qquCatMerce", kCatMerceSQL},
        {&qquBenefici, "qquBenefici", kBeneficiSQL},
        {&qquCondiz, "qquCondiz", kCondizSQL},
        {&qquSettCons, "qquSettCons", kSettConsSQL},
        {&qquBenDur, "qquBenDur", kBenDurSQL},
        {&qquStAvanz, "qquStAvanz", kStAvanzSQL},
        {&qquIstBenDur, "qquIstBenDur", kIstBenDurSQL},
        {&qquFacCurr, "qquFacCurr", kFacCurrSQL},
        {&qquBuoni, "qquBuoni", kBuoniSQL},
        {&qquScarico, "qquScarico", kScaricoSQL},
        {&qquBeniBuoniCarico, "qquBeniBuoniCarico", kBeniBuoniCaricoSQL},
        {&qquBeniBuoniScarico, "qquBeniBuoniScarico", kBeniBuoniScaricoSQL},
        {&qquDocXBuono, "qquDocXBuono", kDocXBuonoSQL},
        {&qquVBeniCarico, "qquVBeniCarico", kVBeniCaricoSQL},
        {&qquVBeniScarico, "qquVBeniScarico", kVBeniScaricoSQL},
        {&qquVLibriCarico, "qquVLibriCarico", kVLibriCaricoSQL},
        {&qquEtichette, "qquEtichette", kEtichetteSQL},
        {&qquEtichette_sett, "qquEtichette_sett", kEtichetteSettSQL},
        {&qquBeniSettCons, "qquBeniSettCons", kBeniSettConsSQL},
        {&qquStoricoNumeri, "qquStoricoNumeri", kStoricoNumeriSQL},
        {&qquStoricoNumeri_Sec, "qquStoricoNumeri_Sec", kStoricoNumeriSecSQL},
        {&qquDataUltimoStor, "qquDataUltimoStor", kDataUltimoStorSQL},
        {&qquBeni_coll, "qquBeni_coll", kBeniCollSQL},
        {&qquChiusure, "qquChiusure", kChiusureSQL},
        {&qquVBeniChiusure, "qquVBeniChiusure", kVBeniChiusureSQL},
        {&qquChiusPrec, "qquChiusPrec", kChiusPrecSQL},
        {&qquChiusureTotali, "qquChiusureTotali", kChiusureTotaliSQL},
        {&qquNewChiusura, "qquNewChiusura", kNewChiusuraSQL},
        {&qquLastChiu, "qquLastChiu", kLastChiuSQL},
        {&qquCommisColl, "qquCommisColl", kCommisCollSQL},
        {&qquInbColl, "qquInbColl", kInbCollSQL},
    };
    for (const auto &[query, name, sql] : plain) {
        *query = Query(QString::fromLatin1(name));
        (*query)->SetCommandText(QString::fromLatin1(sql));
    }

    qquSettCons_S = SelectionList(QStringLiteral("qquSettCons_S"), &frdSettCons_S);
    qquSettCons_S->SetCommandText(QString::fromLatin1(kSettConsSSQL));
    qquBuoniCarico = SelectionList(QStringLiteral("qquBuoniCarico"), &frdBuoniCarico);
    qquBuoniCarico->SetCommandText(QString::fromLatin1(kBuoniCaricoSQL));
    qquBuoniScarico = SelectionList(QStringLiteral("qquBuoniScarico"), &frdBuoniScarico);
    qquBuoniScarico->SetCommandText(QString::fromLatin1(kBuoniScaricoSQL));
    qquVBeni = SelectionList(QStringLiteral("qquVBeni"), &frdVBeni);
    VoRptApplyFilter(qquVBeni, QString::fromLatin1(kVBeniSQL), {});
    frdVBeni->SelectFormClass = QStringLiteral("TfmKvbRptBeniData");
    qquCollaudo = SelectionList(QStringLiteral("qquCollaudo"), &frdCollaudo);
    qquCollaudo->SetCommandText(MinutesSQL(kvbTestingMinutesReport));
    qquCollocazioni = SelectionList(QStringLiteral("qquCollocazioni"), &frdCollocazioni);
    qquCollocazioni->SetCommandText(QString::fromLatin1(kCollocazioniSQL));
    for (const char *name : kVariables)
        VoRptPublishVariable(this, QString::fromLatin1(name));

    // The register of the working context, for every dataset that names it.
    for (TVoQueryCollection *q : findChildren<TVoQueryCollection *>(Qt::FindDirectChildrenOnly))
        if (q->CommandText().contains(QLatin1String(":iFacId"), Qt::CaseInsensitive))
            q->BeforeOpen.Add(
                [](TVoQueryCollection *d) { d->SetParam(QStringLiteral("iFacId"), CurrentRegisterId); });
    for (TVoQueryCollection *q : {qquBuoniCarico, qquBuoniScarico})
        q->BeforeOpen.Add([](TVoQueryCollection *d) {
            d->SetParam(QStringLiteral("iDwgFacAnfId"), qMax(0, ParamRegisterYearId()));
        });

    // Details that follow their master.
    qquCat->AfterScroll.Add(
        [this](TVoQueryCollection *d) { ReopenDetail(qquCatMerce, "iCamId", FieldValue(d, "ICAMID")); });
    for (TVoQueryCollection *q : {qquBuoni, qquBuoniCarico})
        q->AfterScroll.Add([this](TVoQueryCollection *d) {
            ReopenDetail(qquBeniBuoniCarico, "iBBuoId", FieldValue(d, "IBBUOID"));
            ReopenDetail(qquDocXBuono, "iBBuoId", FieldValue(d, "IBBUOID"));
        });
    for (TVoQueryCollection *q : {qquScarico, qquBuoniScarico})
        q->AfterScroll.Add([this](TVoQueryCollection *d) {
            ReopenDetail(qquBeniBuoniScarico, "iBBuoIdScarico", FieldValue(d, "IBBUOID"));
            ReopenDetail(qquDocXBuono, "iBBuoId", FieldValue(d, "IBBUOID"));
        });
    qquSettCons_S->AfterScroll.Add([this](TVoQueryCollection *d) {
        const QVariant sector = FieldValue(d, "ISECID");
        for (TVoQueryCollection *detail : {qquBeniSettCons, qquStoricoNumeri_Sec, qquEtichette_sett})
            ReopenDetail(detail, "iSecId", sector);
    });
    qquCollocazioni->AfterScroll.Add(
        [this](TVoQueryCollection *d) { ReopenDetail(qquBeni_coll, "iClcId", FieldValue(d, "ICLCID")); });
    qquCollaudo->AfterScroll.Add([this](TVoQueryCollection *d) {
        ReopenDetail(qquCommisColl, "iverid", FieldValue(d, "IVERID"));
        ReopenDetail(qquInbColl, "iverid", FieldValue(d, "IVERID"));
    });
    qquChiusure->AfterScroll.Add([this](TVoQueryCollection *d) {
        if (d->IsEmpty())
            return;
        const double date = d->FieldByName(QStringLiteral("DCHADATACHIUSURA"))->AsDate();
        ReopenMovements(d->FieldByName(QStringLiteral("DCHADATACHIUSURAPRECEDENTE"))->AsDate(), date);
        ReopenDetail(qquChiusPrec, "dDataEnd", DaysToDate(date));
    });

    // What a report asks before it prints.
    qquNewChiusura->BeforeOpen.Add([this](TVoQueryCollection *d) {
        VerificationDate = AskDate(QStringLiteral("Verifica di chiusura al"));
        // The register's value at the date verified, as the closing at that date would record it.
        d->SetParam(QStringLiteral("dVerifica"), DaysToDate(VerificationDate));
    });
    qquNewChiusura->AfterOpen.Add([this](TVoQueryCollection *d) {
        PreviousClosingDate = d->FieldByName(QStringLiteral("DCHADATACHIUSURAPRECEDENTE"))->AsDate();
        ReopenMovements(PreviousClosingDate, VerificationDate);
    });
    qquVLibriCarico->BeforeOpen.Add([this](TVoQueryCollection *d) {
        const double date = AskDate(QStringLiteral("Elenco libri in carico al"));
        d->SetParam(QStringLiteral("dData"), DaysToDate(date));
        DateAl = FormatDays(date);
    });
    qquEtichette->BeforeOpen.Add([](TVoQueryCollection *d) {
        const std::unique_ptr<TfmkvbSelectRange> dialog(VoNewForm<TfmkvbSelectRange>());
        if (dialog->exec() != QDialog::Accepted)
            throw EVoAbort();
        d->SetParam(QStringLiteral("iBInbStart"), dialog->StartNumber);
        d->SetParam(QStringLiteral("iBInbEnd"), dialog->EndNumber);
    });
    for (TVoQueryCollection *q : {qquStoricoNumeri, qquStoricoNumeri_Sec})
        q->BeforeOpen.Add([this](TVoQueryCollection *d) { HistoryBeforeOpen(d); });
    qquVBeni->BeforeOpen.Add([this](TVoQueryCollection *d) {
        d->SetParam(QStringLiteral("dEnd"), DaysToDateParam(GoodsListDate));
    });
    qquCollaudo->BeforeOpen.Add([this](TVoQueryCollection *d) { MinutesBeforeOpen(d); });

    // The selection forms.
    frdSettCons_S->OnBeforeSelectForm.Add([](TVofrDBDataSet *, TfmVoMultiSelect *form) {
        form->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
        form->Dress(QStringLiteral("Selezione settori di consegna da stampare"),
                    {{"sSecCod", "Codice settore", 100, false}, {"sSecDescS", "Settore", 300, true}});
    });
    for (TVofrDBDataSet *vouchers : {frdBuoniCarico, frdBuoniScarico})
        vouchers->OnBeforeSelectForm.Add([](TVofrDBDataSet *, TfmVoMultiSelect *form) {
            form->SetParam(QStringLiteral("iDwgFacAnfId"), qMax(0, ParamRegisterYearId()));
            form->Dress(QStringLiteral("Selezione buoni da stampare"),
                        {{"iBBuoNumero", "Numero", 50, true},
                         {"dBBuoData", "Data", 75, false},
                         {"sBBuoDesc", "Descrizione", 200, true},
                         {"iBBuoImporto", "Importo", 75, false, true},
                         {"sBenRagSoc", "Fornitore", 200, true}});
        });
    frdVBeni->OnBeforeSelectForm.Add(
        [this](TVofrDBDataSet *, TfmVoMultiSelect *form) { BeforeGoodsForm(form); });
    frdVBeni->OnAfterSelectForm.Add(
        [this](TVofrDBDataSet *, TfmVoMultiSelect *form) { AfterGoodsForm(form); });
    frdCollaudo->OnBeforeSelectForm.Add([](TVofrDBDataSet *, TfmVoMultiSelect *form) {
        form->SetCommandText(MinutesSQL(ReportBaseId()));
        form->SetParam(QStringLiteral("dStart"), DaysToDateParam(CurrentRegStart));
        form->SetParam(QStringLiteral("dEnd"), DaysToDateParam(CurrentRegEnd));
        form->Dress(QStringLiteral("Selezione verbali da stampare"),
                    {{"IVERID", "", 0, false},
                     {"SVERNUMERO", "Numero Verbale", 120, true},
                     {"DVERDATA", "Data Verbale", 90, false}});
    });
    frdCollocazioni->OnBeforeSelectForm.Add([](TVofrDBDataSet *, TfmVoMultiSelect *form) {
        form->Dress(
            QStringLiteral("Selezione collocazioni da stampare"),
            {{"sClcDescS", "Codice collocazione", 120, true}, {"sClcDescL", "Collocazione", 300, true}});
    });
}

TVoQueryCollection *TdmkvbReport::Query(const QString &name) {
    auto *query = new TVoQueryCollection(this);
    query->setObjectName(name);
    new TfrDBDataSet(this, query);
    return query;
}

TVoQueryCollection *TdmkvbReport::SelectionList(const QString &name, TVofrDBDataSet **publisher) {
    auto *list = new TVoQueryCollection(this);
    list->setObjectName(name);
    *publisher = new TVofrDBDataSet(this, list);
    (*publisher)->setObjectName(QStringLiteral("frd") + name.mid(3));
    (*publisher)->ShowSelectForm = true;
    (*publisher)->DoAfterSelect = true;
    return list;
}

QString TdmkvbReport::MinutesSQL(int baseReportId) {
    return QString::fromLatin1(baseReportId == kvbTestingMinutesReport ? kTestingMinutesSQL
                                                                       : kOtherMinutesSQL);
}

void TdmkvbReport::ReopenDetail(TVoQueryCollection *detail, const char *param, const QVariant &value) {
    detail->Close();
    detail->SetParam(QString::fromLatin1(param), value);
    detail->Open();
}

void TdmkvbReport::ReopenMovements(double after, double upTo) {
    qquVBeniChiusure->Close();
    qquVBeniChiusure->SetParam(QStringLiteral("dDataMin"), DaysToDate(after));
    qquVBeniChiusure->SetParam(QStringLiteral("dDataMax"), DaysToDate(upTo));
    qquVBeniChiusure->Open();
}

void TdmkvbReport::HistoryBeforeOpen(TVoQueryCollection *history) {
    qquDataUltimoStor->Close();
    qquDataUltimoStor->Open();
    const QVariant last = qquDataUltimoStor->FieldByName(QStringLiteral("DEND"))->Value();
    qquDataUltimoStor->Close();
    history->SetParam(QStringLiteral("dEnd"), last.isNull() ? VoNull(QMetaType::QDate) : last);
}

void TdmkvbReport::MinutesBeforeOpen(TVoQueryCollection *minutes) {
    minutes->SetCommandText(MinutesSQL(ReportBaseId()));
    minutes->SetParam(QStringLiteral("dStart"), DaysToDateParam(CurrentRegStart));
    minutes->SetParam(QStringLiteral("dEnd"), DaysToDateParam(CurrentRegEnd));
}

void TdmkvbReport::BeforeGoodsForm(TfmVoMultiSelect *form) {
    form->SetCommandText(QString::fromLatin1(kVBeniSQL));
    form->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    const auto *goods = qobject_cast<TfmKvbRptBeniData *>(form);
    form->SetParam(QStringLiteral("dEnd"), goods ? goods->dtpData->Date() : QDate::currentDate());
    form->Dress(QStringLiteral("Selezione beni da stampare"),
                {{"iBInbNumero", "Numero", 80, false}, {"sBInbDesc", "Descrizione", 400, true}});
    form->SetXMLFilter(kvbGoodsFilterDefinition(), VoSavedFiltersDir(kvbGoodsFilterProgram));
}

void TdmkvbReport::AfterGoodsForm(TfmVoMultiSelect *form) {
    if (const auto *goods = qobject_cast<TfmKvbRptBeniData *>(form))
        GoodsListDate = goods->ChosenDate();
    DateAl = FormatDays(GoodsListDate);
    VoRptApplyFilter(qquVBeni, QString::fromLatin1(kVBeniSQL), form->Filter());
}

// --- The engine's hooks ----------------------------------------------------------------------------------

void TdmkvbReport::GetReportValue(const QString &name, QVariant &value) {
    if (name == QLatin1String("data_verifica_chiusura"))
        value = FormatDays(VerificationDate);
    else if (name == QLatin1String("data_verifica_chiusura_prec"))
        value = FormatDays(PreviousClosingDate);
    else if (name == QLatin1String("data_al"))
        value = DateAl;
}

void TdmkvbReport::CloseReportDatasets() {
    for (TVoQueryCollection *q : findChildren<TVoQueryCollection *>(Qt::FindDirectChildrenOnly))
        q->Close();
    // A filter holds for the run it was chosen for.
    VoRptApplyFilter(qquVBeni, QString::fromLatin1(kVBeniSQL), {});
}

void TdmkvbReport::OpenCloseClientDatasets() {
    for (TVoQueryCollection *list :
         {qquSettCons_S, qquBuoniCarico, qquBuoniScarico, qquVBeni, qquCollaudo, qquCollocazioni}) {
        list->Open();
        list->Close();
    }
}

// --- Layouts and hooks ------------------------------------------------------------------------------

QStringList kvbReportLayouts() {
    return VoRptResourceLayouts(QStringLiteral(":/kvb/reports/layouts"));
}

void kvbHookReports(TVoRptTreeView *tree) {
    VoRptHookModule(
        tree,
        [](const QString &name, QVariant &value) {
            if (dmkvbReport)
                dmkvbReport->GetReportValue(name, value);
        },
        [] {
            if (dmkvbReport)
                dmkvbReport->CloseReportDatasets();
        },
        [] {
            if (dmkvbReport)
                dmkvbReport->OpenCloseClientDatasets();
        },
        kvbReportLayouts());
}
