#include "AbiMBen.h"

#include "AbcUBounds.h"
#include "AbiFCCIODialog.h"
#include "VoConnection.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"

#include <QDateTime>

TdmBeneficiari *dmBeneficiari = nullptr;
TBenType BenType;
TComCapFraType SeatComCapFra;
TComCapFraType PayeeComCapFra;

const char *const kAnaInsertSQL =
    " INSERT INTO TANA_ANAGRAFICHE  (IANAID, SANACOGNOME, SANANOME, DANANASCITA, ISRPCID, SANACODFISCALE, "
    "IIOCTRLCODE, SANACOGNOMENOMEIDX, DMODIFIED) VALUES (:VOGENID, :SANACOGNOME, :SANANOME, :DANANASCITA, "
    ":ISRPCID, :SANACODFISCALE, :IIOCTRLCODE, :SANACOGNOMENOMEIDX, CURRENT_TIMESTAMP)";
// The time of the change is the server's, as on insert.
const char *const kAnaUpdateSQL =
    " UPDATE TANA_ANAGRAFICHE SET SANACOGNOME = :SANACOGNOME, SANANOME = :SANANOME, DANANASCITA = "
    ":DANANASCITA, ISRPCID = :ISRPCID, SANACODFISCALE = :SANACODFISCALE, IIOCTRLCODE = :IIOCTRLCODE, "
    "SANACOGNOMENOMEIDX = :SANACOGNOMENOMEIDX, DMODIFIED = CURRENT_TIMESTAMP WHERE IANAID = :IANAID";
const char *const kBenInsertSQL =
    " INSERT INTO TBEN_BENEFICIARI  (IBENID, IANAID, IEDIID, SBENRAGSOC, SBENDESC, SBENCODFISCALE, "
    "SBENPARTITAIVA, LBENAVVPAGAMENTO, DSTART, lBenPrivacy, lBenEnd, dEnd, lBenObblTracc, lBenEstero, "
    "sBenStato, lBenAdempFiscNoRegola, dBenAdempFiscData) VALUES (:VOGENID, :IANAID, :IEDIID, :SBENRAGSOC, "
    ":SBENDESC, :SBENCODFISCALE, :SBENPARTITAIVA, :LBENAVVPAGAMENTO, CURRENT_TIMESTAMP, :lBenPrivacy, "
    ":lBenEnd, :dEnd, :lBenObblTracc, :lBenEstero, :sBenStato, :lBenAdempFiscNoRegola, :dBenAdempFiscData)";
const char *const kBenUpdateSQL =
    " UPDATE TBEN_BENEFICIARI  SET IANAID = :IANAID, IEDIID = :IEDIID, SBENRAGSOC = :SBENRAGSOC, SBENDESC = "
    ":SBENDESC, SBENCODFISCALE = :SBENCODFISCALE, SBENPARTITAIVA = :SBENPARTITAIVA, LBENAVVPAGAMENTO = "
    ":LBENAVVPAGAMENTO, lBenPrivacy = :lBenPrivacy, lBenEnd = :lBenEnd, dEnd = :dEnd, lBenObblTracc = "
    ":lBenObblTracc, lBenEstero = :lBenEstero, sBenStato = :sBenStato, lBenAdempFiscNoRegola = "
    ":lBenAdempFiscNoRegola, dBenAdempFiscData = :dBenAdempFiscData WHERE IBENID = :VOCURRID";
const char *const kBenBcaInsertSQL =
    " INSERT INTO TBENBCA  (IBENBCAID, IBENID, IBCAID) VALUES (:VOGENID, :IBENID, :IBCAID)";
const char *const kBenBcaUpdateSQL =
    " UPDATE TBENBCA  SET IBCAID = :IBCAID WHERE IBENID = :IBENID AND IBCAID = :OLDIBCAID";
const char *const kAnaCagInsertSQL =
    " INSERT INTO TANACAG  (IANACAGID, SANACAGCODE, IANAID, ICAGID, DSTART) VALUES (:VOGENID, :SANACAGCODE , "
    ":IANAID, :ICAGID, CURRENT_TIMESTAMP)";
// An open dwelling comes first, then the one that ended first; among those, by how the person lives
// there.
const char *const kFirstSeatSQL =
    "INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, ICOMCAPID, SSEBINDIRIZZO, DSTART, LSEBRIFERIMENTO) SELECT "
    "FIRST "
    "1 CAST(:VOGENID AS INTEGER), CAST(:iBenId AS INTEGER), abt.icomcapid, abt.sabtindirizzo, abt.DSTART, 1 "
    "FROM TABT_ABITAZ abt INNER JOIN TANAABT aa ON (aa.iabtid = abt.iabtid) LEFT OUTER JOIN TABTLOC al ON "
    "(al.ianaabtid = aa.ianaabtid) LEFT OUTER JOIN TLoc_Locazioni loc ON (loc.iLocId = al.iLocId) WHERE "
    "aa.ianaid = :ianaid ORDER BY COALESCE(abt.dend, DATE '1900-12-31'), loc.sLocLDesc DESC";
const char *const kEditoreInsertSQL =
    " INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (:VOGENID, :IBENID, %1)";
const char *const kEditoreUpdateSQL =
    " UPDATE TBENBCA SET TBENBCA.IBCAID = %1 WHERE TBENBCA.IBENBCAID = :IBENBCAID";

// The bank of a payment comes from its branch.
const char *const kDatiBancariSQL =
    "SELECT sb.ISPRBENID, sb.IBENID, sb.IMPGID, sb.ISPRID, sb.SSPRBENNUMCC, sb.SSPRBENCIN, sb.SSPRBENCININT, "
    "sb.SSPRBENSTATO, sb.sSprBenIBAN, sb.sSprBenBic, sb.SSPRBENQUIETANZ, sb.lSprBenBanEstera, "
    "sb.lSprBenCntDed, "
    "sb.DSTART, sb.DEND, sb.DDELETE, mpg.SMPGDESCL, mpg.LMPGRISC, mpg.LMPGPAG, PABC_MODPAGAM.TIPOLOGIA, "
    "ban.IBANID, ban.SBANABI, ban.SBANDESCS, spr.SSPRINDIRIZZO, spr.SSPRCAB, spr.SSPRDESCS FROM TSPRBEN sb "
    "LEFT OUTER JOIN TMPG_MODPAGAM mpg ON (mpg.IMPGID = sb.IMPGID) LEFT OUTER JOIN PABC_MODPAGAM ON "
    "(PABC_MODPAGAM.IMPGID = sb.IMPGID) LEFT OUTER JOIN TSPR_SPORTELLICAB spr ON (spr.ISPRID = sb.ISPRID) "
    "LEFT "
    "OUTER JOIN TBAN_BANCHE ban ON (ban.IBANID = spr.IBANID) WHERE sb.IBENID = :IBENID AND sb.DDELETE IS "
    "NULL "
    "ORDER BY sb.ISPRBENID";

namespace {

// The full registry, the windows may set their own.
const char *const kBeneficiariSQL =
    "SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.IANAID, TBEN_BENEFICIARI.IEDIID, "
    "TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENDESC, TBEN_BENEFICIARI.SBENCODFISCALE, "
    "TBEN_BENEFICIARI.SBENPARTITAIVA, TBEN_BENEFICIARI.LBENAVVPAGAMENTO, TBEN_BENEFICIARI.DSTART, "
    "TBEN_BENEFICIARI.DEND, TBEN_BENEFICIARI.DDELETE, TBEN_BENEFICIARI.LBENPRIVACY, "
    "TBEN_BENEFICIARI.LBENEND, "
    "TBEN_BENEFICIARI.LBENOBBLTRACC, TBEN_BENEFICIARI.LBENESTERO, TBEN_BENEFICIARI.SBENSTATO, "
    "TBEN_BENEFICIARI.LBENADEMPFISCNOREGOLA, TBEN_BENEFICIARI.DBENADEMPFISCDATA, "
    "TANA_ANAGRAFICHE.SANACOGNOME, "
    "TANA_ANAGRAFICHE.SANANOME, TANA_ANAGRAFICHE.SANACODFISCALE, TANA_ANAGRAFICHE.DANANASCITA, "
    "TANA_ANAGRAFICHE.ISRPCID, TANA_ANAGRAFICHE.IIOCTRLCODE, TSRPC.ISTAID, NULL AS VUOTO FROM "
    "TBEN_BENEFICIARI "
    "LEFT OUTER JOIN TANA_ANAGRAFICHE ON (TANA_ANAGRAFICHE.IANAID = TBEN_BENEFICIARI.IANAID) LEFT OUTER JOIN "
    "TSRPC ON (TSRPC.ISRPCID = TANA_ANAGRAFICHE.ISRPCID) WHERE TBEN_BENEFICIARI.DDELETE IS NULL ORDER BY "
    "TBEN_BENEFICIARI.SBENRAGSOC";
const char *const kBenSoftDeleteSQL =
    " UPDATE TBEN_BENEFICIARI SET DDELETE = CURRENT_TIMESTAMP WHERE IBENID = :VOCURRID";

const char *const kTelefoniSQL =
    "SELECT ITEBID, IBENID, STEBTELEFONO, STEBDESC, DDELETE, lTebView, NULL AS VUOTO "
    "FROM TTEB_TELEFONO WHERE DDELETE IS NULL AND IBENID = :IBENID ORDER BY ITEBID";
const char *const kTelefoniInsertSQL = " INSERT INTO TTEB_TELEFONO (ITEBID, IBENID, STEBTELEFONO, STEBDESC, "
                                       "lTebView) VALUES (:VOGENID, :IBENID, "
                                       ":STEBTELEFONO, :STEBDESC, :lTebView)";
const char *const kTelefoniUpdateSQL = " UPDATE TTEB_TELEFONO SET STEBTELEFONO = :STEBTELEFONO,  STEBDESC = "
                                       ":STEBDESC, lTebView = :lTebView WHERE ITEBID = :VOCURRID";

const char *const kEmailSQL = "SELECT IEMBID, IBENID, SEMBEMAIL, DDELETE, lEmbView FROM TEMB_EMAIL WHERE "
                              "DDELETE IS NULL AND IBENID = :IBENID ORDER BY IEMBID";
const char *const kEmailInsertSQL = " INSERT INTO TEMB_EMAIL (IEMBID, IBENID, SEMBEMAIL, lEmbView) VALUES "
                                    "(:VOGENID, :IBENID, :SEMBEMAIL, :lEmbView)";
const char *const kEmailUpdateSQL =
    " UPDATE TEMB_EMAIL SET SEMBEMAIL = :SEMBEMAIL,      lEmbView = :lEmbView WHERE IEMBID = :VOCURRID";

const char *const kWebSQL =
    "SELECT ISWBID, IBENID, SSWBSITO, DDELETE FROM TSWB_SITIWEB WHERE DDELETE IS NULL "
    "AND IBENID = :IBENID ORDER BY ISWBID";
const char *const kWebInsertSQL =
    " INSERT INTO TSWB_SITIWEB (ISWBID, IBENID, SSWBSITO) VALUES (:VOGENID, :IBENID, :SSWBSITO)";
const char *const kWebUpdateSQL = " UPDATE TSWB_SITIWEB SET SSWBSITO = :SSWBSITO  WHERE ISWBID = :VOCURRID";

const char *const kDatiLegaliSQL =
    "SELECT ILEGID, IBENID, SLEGNUMCCIA, ILEGSRPCCCIA, SLEGNUMTRIBUN, ILEGSRPCTRIBUN, SLEGNUMPREFETT, "
    "ILEGSRPCPREFETT, ILEGANNOFATT, FLEGFATTURATO, DSTART, DEND, sLegPosizInps, sLegCodDittaInail FROM "
    "TLEG_DATILEGALI WHERE DDELETE IS NULL AND IBENID = :IBENID ORDER BY ILEGID";
const char *const kDatiLegaliInsertSQL =
    " INSERT INTO TLEG_DATILEGALI (ILEGID, IBENID, SLEGNUMCCIA, ILEGSRPCCCIA, SLEGNUMTRIBUN, ILEGSRPCTRIBUN, "
    "SLEGNUMPREFETT, ILEGSRPCPREFETT, ILEGANNOFATT, FLEGFATTURATO, DSTART, sLegPosizInps, sLegCodDittaInail) "
    "VALUES (:VOGENID, :IBENID, :SLEGNUMCCIA, :ILEGSRPCCCIA, :SLEGNUMTRIBUN, :ILEGSRPCTRIBUN, "
    ":SLEGNUMPREFETT, "
    ":ILEGSRPCPREFETT, :ILEGANNOFATT, :FLEGFATTURATO, CURRENT_TIMESTAMP, :sLegPosizInps, :sLegCodDittaInail)";
const char *const kDatiLegaliUpdateSQL =
    " UPDATE TLEG_DATILEGALI SET SLEGNUMCCIA = :SLEGNUMCCIA, ILEGSRPCCCIA = :ILEGSRPCCCIA, SLEGNUMTRIBUN = "
    ":SLEGNUMTRIBUN, ILEGSRPCTRIBUN = :ILEGSRPCTRIBUN, SLEGNUMPREFETT = :SLEGNUMPREFETT, ILEGSRPCPREFETT = "
    ":ILEGSRPCPREFETT, ILEGANNOFATT = :ILEGANNOFATT, FLEGFATTURATO = :FLEGFATTURATO, sLegPosizInps = "
    ":sLegPosizInps, sLegCodDittaInail = :sLegCodDittaInail WHERE ILEGID = :VOCURRID";

const char *const kDatiBancariInsertSQL =
    " INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC, SSPRBENCIN, SSPRBENCININT, "
    "SSPRBENSTATO, DSTART, sSprBenIBAN, lSprBenBanEstera, DEND, lSprBenCntDed, sSprBenBic) VALUES (:VOGENID, "
    ":IBENID, :IMPGID, :ISPRID, :SSPRBENNUMCC, :SSPRBENCIN, :SSPRBENCININT, :SSPRBENSTATO, "
    "CURRENT_TIMESTAMP, "
    ":sSprBenIBAN, :lSprBenBanEstera, :DEND, :lSprBenCntDed, :sSprBenBic)";
const char *const kDatiBancariUpdateSQL =
    " UPDATE TSPRBEN SET IMPGID = :IMPGID, ISPRID = :ISPRID, SSPRBENNUMCC = :SSPRBENNUMCC, SSPRBENCIN = "
    ":SSPRBENCIN, SSPRBENCININT = :SSPRBENCININT, SSPRBENSTATO = :SSPRBENSTATO, sSprBenIBAN = :sSprBenIBAN, "
    "lSprBenBanEstera = :lSprBenBanEstera, DEND = :DEND, lSprBenCntDed = :lSprBenCntDed, sSprBenBic = "
    ":sSprBenBic WHERE ISPRBENID = :VOCURRID";

// The locality of an address with its municipality, province and state.
const char *const kLocalityColumns =
    "%1.ICOMCAPID, srpc.SCOMDESC, cc.ISRPCID, srpc.SPROSIGLA, cc.ICAPID, cap.SCAPVALUE, cc.IFRAQUAID, "
    "fra.SFRAQUADESC, srpc.ISTAID";
const char *const kLocalityJoins =
    "LEFT OUTER JOIN TCOMCAP cc ON (cc.ICOMCAPID = %1.ICOMCAPID) LEFT OUTER JOIN TCAP cap ON (cap.ICAPID = "
    "cc.ICAPID) LEFT OUTER JOIN TFRAQUA fra ON (fra.IFRAQUAID = cc.IFRAQUAID) LEFT OUTER JOIN VSRPC srpc ON "
    "(srpc.ISRPCID = cc.ISRPCID)";

const char *const kSediSQL =
    "SELECT seb.ISEBID, seb.SSEBINDIRIZZO, %1, seb.LSEBRIFERIMENTO FROM TSEB_SEDIBEN seb "
    "%2 WHERE seb.IBENID = :IBENID AND seb.DDELETE IS NULL ORDER BY seb.ISEBID";
const char *const kSediInsertSQL =
    " INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, ICOMCAPID, SSEBINDIRIZZO, LSEBRIFERIMENTO,  DSTART)  VALUES "
    "(:VOGENID, :IBENID, :ICOMCAPID, :SSEBINDIRIZZO, :LSEBRIFERIMENTO, CURRENT_TIMESTAMP)";
const char *const kSediUpdateSQL =
    " UPDATE TSEB_SEDIBEN SET ICOMCAPID = :ICOMCAPID, SSEBINDIRIZZO = "
    ":SSEBINDIRIZZO, LSEBRIFERIMENTO = :LSEBRIFERIMENTO WHERE ISEBID = :VOCURRID";
// One seat at most is the reference seat.
const char *const kSediClearReferenceSQL =
    " UPDATE TSEB_SEDIBEN SET TSEB_SEDIBEN.LSEBRIFERIMENTO = NULL WHERE TSEB_SEDIBEN.LSEBRIFERIMENTO = "
    ":LSEBRIFERIMENTO AND TSEB_SEDIBEN.IBENID = :IBENID";

const char *const kTipoSedeSQL =
    "SELECT st.ISEBTPSID, st.ITPSID, st.ISEBID, tps.STPSDESCL, tps.STPSDESCS FROM TSEBTPS st LEFT OUTER JOIN "
    "TTPS_TIPOSEDE tps ON (tps.ITPSID = st.ITPSID) WHERE st.ISEBID = :ISEBID ORDER BY st.ISEBTPSID";
const char *const kTipoSedeInsertSQL =
    " INSERT INTO TSEBTPS (ISEBTPSID, ITPSID, ISEBID)  VALUES (:VOGENID, :ITPSID, :ISEBID)";
// A type changed in the list is saved, not only shown.
const char *const kTipoSedeUpdateSQL = " UPDATE TSEBTPS SET ITPSID = :ITPSID WHERE ISEBTPSID = :VOCURRID";
const char *const kTipoSedeDeleteSQL = " DELETE FROM TSEBTPS WHERE ISEBTPSID = :VOCURRID";

const char *const kSostituitoSQL =
    "SELECT sos.ISOSID, sos.IBENID_P, sos.DSTART, sos.DEND, ben.SBENRAGSOC, ben.SBENCODFISCALE, "
    "ben.SBENPARTITAIVA FROM TSOS_SOSTITUZIONI sos INNER JOIN TBEN_BENEFICIARI ben ON (ben.IBENID = "
    "sos.IBENID_P) WHERE sos.IBENID = :IBENID AND sos.DDELETE IS NULL ORDER BY sos.ISOSID";
const char *const kSostituenteSQL =
    "SELECT ISOSID, IBENID, IBENID_P, DSTART, DEND FROM TSOS_SOSTITUZIONI WHERE "
    "IBENID_P = :IBENID AND DDELETE IS NULL ORDER BY ISOSID";
const char *const kSostituenteInsertSQL = " INSERT INTO TSOS_SOSTITUZIONI (ISOSID, IBENID, IBENID_P, DSTART) "
                                          "VALUES (:VOGENID, :IBENID, :IBENID_P, :DSTART)";
const char *const kSostituenteUpdateSQL = " UPDATE TSOS_SOSTITUZIONI SET IBENID = :IBENID, IBENID_P = "
                                          ":IBENID_P, DSTART = :DSTART WHERE ISOSID = :VOCURRID";

const char *const kRappresentantiSQL =
    "SELECT rps.IRPSID, rps.IBENID, rps.IBENID_P, rps.DSTART, rps.DEND, ben.SBENRAGSOC, ben.SBENCODFISCALE, "
    "ben.SBENPARTITAIVA FROM TRPS_RAPPR rps LEFT OUTER JOIN TBEN_BENEFICIARI ben ON (ben.IBENID = "
    "rps.IBENID) "
    "WHERE rps.IBENID_P = :IBENID AND rps.DDELETE IS NULL ORDER BY rps.IRPSID";
const char *const kRappresentantiInsertSQL = " INSERT INTO TRPS_RAPPR (IRPSID, IBENID, IBENID_P, DSTART) "
                                             "VALUES (:VOGENID, :IBENID, :IBENID_P, :DSTART)";
const char *const kRappresentantiUpdateSQL = " UPDATE TRPS_RAPPR SET IBENID = :IBENID, IBENID_P = :IBENID_P, "
                                             "DSTART = :DSTART WHERE IRPSID = :VOCURRID";
const char *const kRepresentativeCategorySQL =
    " SELECT TBENBCA.IBENBCAID FROM TBENBCA WHERE TBENBCA.IBENID = "
    ":IBENID AND TBENBCA.IBCAID = :IBCAID AND TBENBCA.DDELETE IS NULL";
const char *const kRepresentativeLinksSQL = " SELECT TRPS_RAPPR.IRPSID FROM TRPS_RAPPR WHERE "
                                            "TRPS_RAPPR.IBENID = :IBENID AND TRPS_RAPPR.DDELETE IS NULL";
const char *const kRepresentativeCategoryDeleteSQL =
    " DELETE FROM TBENBCA WHERE IBENID = :IBENID AND IBCAID = :IBCAID";

const char *const kDelegatiSQL = "SELECT iDegId, sDegCognome, sDegNome, sDegCodFiscale, dStart, dEnd FROM "
                                 "TDeg_Delegati WHERE iSprBenId = :iSprBenId ORDER BY sDegCognome, sDegNome";
const char *const kDelegatiInsertSQL =
    " INSERT INTO TDeg_Delegati (iDegId, sDegCognome, sDegNome, sDegCodFiscale, dStart, dEnd, iSprBenId) "
    "VALUES "
    "(:VOGENID, :sDegCognome, :sDegNome, :sDegCodFiscale, :dStart, :dEnd, :iSprBenId)";
const char *const kDelegatiUpdateSQL =
    " UPDATE TDeg_Delegati SET sDegCognome = :sDegCognome, sDegNome = :sDegNome, sDegCodFiscale = "
    ":sDegCodFiscale, dStart = :dStart, dEnd = :dEnd WHERE iDegId = :VOCURRID";
const char *const kDelegatiDeleteSQL = "DELETE FROM TDeg_Delegati WHERE iDegId = :VOCURRID";

const char *const kQuietanzanteSQL =
    "SELECT qui.iQuiId, qui.sQuiNominativo, qui.sQuiCodiceFiscale, qui.sQuiIndirizzo, %1, qui.iSprBenId FROM "
    "TQui_Quietanzante qui %2 WHERE qui.iSprBenId = :iSprBenId ORDER BY qui.sQuiNominativo";
const char *const kQuietanzanteInsertSQL =
    " INSERT INTO TQui_Quietanzante (iQuiId, sQuiNominativo, sQuiIndirizzo, sQuiCodiceFiscale, iSprBenId, "
    "iComCapId) VALUES (:VOGENID, :sQuiNominativo, :sQuiIndirizzo, :sQuiCodiceFiscale, :iSprBenId, "
    ":iComCapId)";
const char *const kQuietanzanteUpdateSQL =
    " UPDATE TQui_Quietanzante SET sQuiNominativo = :sQuiNominativo, sQuiIndirizzo = :sQuiIndirizzo, "
    "sQuiCodiceFiscale = :sQuiCodiceFiscale, iComCapId = :iComCapId WHERE iQuiId = :VOCURRID";
const char *const kQuietanzanteDeleteSQL = "DELETE FROM TQui_Quietanzante WHERE iQuiId = :VOCURRID";

// Contribution certificates (type 3) given to the beneficiary itself.
const char *const kDurcSQL =
    "SELECT DISTINCT ccd.iCcdId, ccd.sCcdCodice, ccd.sCcdLDesc, ccd.dCcdDataAssegn, ccd.dCcdDataScad FROM "
    "TCcd_CigCupDurc ccd WHERE ccd.iTccdId = 3 AND ccd.iBenId = :iBenId ORDER BY ccd.dCcdDataAssegn, "
    "ccd.sCcdCodice";

const char *const kSamePersonSQL =
    " SELECT TANA_ANAGRAFICHE.IANAID, TANA_ANAGRAFICHE.SANANOME, TANA_ANAGRAFICHE.SANACOGNOME, "
    "TANA_ANAGRAFICHE.DANANASCITA, TANA_ANAGRAFICHE.SANACODFISCALE, TPRO_PROVINCE.SPRODESC, "
    "TPRO_PROVINCE.SPROSIGLA, TREG_REGIONI.SREGDESC, TCOM_COMUNI.SCOMDESC, TSTA_STATI.SSTALDESC FROM "
    "TANA_ANAGRAFICHE LEFT OUTER JOIN TSRPC ON (TSRPC.ISRPCID = TANA_ANAGRAFICHE.ISRPCID) LEFT OUTER JOIN "
    "TCOM_COMUNI ON (TCOM_COMUNI.ICOMID = TSRPC.ICOMID) LEFT OUTER JOIN TPRO_PROVINCE ON "
    "(TPRO_PROVINCE.IPROID "
    "= TSRPC.IPROID) LEFT OUTER JOIN TREG_REGIONI ON (TREG_REGIONI.IREGID = TPRO_PROVINCE.IREGID) LEFT OUTER "
    "JOIN TSTA_STATI ON (TSTA_STATI.ISTAID = TSRPC.ISTAID) WHERE TANA_ANAGRAFICHE.IIOCTRLCODE = :IIOCTRLCODE "
    "AND TANA_ANAGRAFICHE.DDELETE IS NULL ORDER BY TANA_ANAGRAFICHE.IANAID";

const char *const kFindFraQuaSQL =
    "SELECT FIRST 1 TFRAQUA.IFRAQUAID FROM TFRAQUA WHERE TFRAQUA.SFRAQUADESC = "
    ":SFRAQUADESC AND TFRAQUA.DDELETE IS NULL ORDER BY TFRAQUA.IFRAQUAID";
const char *const kFindCapSQL = "SELECT FIRST 1 TCAP.ICAPID FROM TCAP WHERE TCAP.SCAPVALUE = :SCAPVALUE AND "
                                "TCAP.DDELETE IS NULL ORDER BY TCAP.ICAPID";
const char *const kFindComCapSQL =
    "SELECT FIRST 1 TCOMCAP.ICOMCAPID FROM TCOMCAP WHERE TCOMCAP.ISRPCID IS NOT DISTINCT FROM :ISRPCID AND "
    "TCOMCAP.ICAPID IS NOT DISTINCT FROM :ICAPID AND TCOMCAP.IFRAQUAID IS NOT DISTINCT FROM :IFRAQUAID AND "
    "TCOMCAP.DDELETE IS NULL ORDER BY TCOMCAP.ICOMCAPID";
const char *const kInsertCapSQL = " INSERT INTO TCAP (ICAPID, SCAPVALUE)  VALUES (:ICAPID, :SCAPVALUE)";
const char *const kInsertFraQuaSQL =
    " INSERT INTO TFRAQUA (IFRAQUAID, SFRAQUADESC)  VALUES (:IFRAQUAID, :SFRAQUADESC)";
const char *const kInsertComCapSQL = " INSERT INTO TCOMCAP (ICOMCAPID, ICAPID, IFRAQUAID, ISRPCID, DSTART)  "
                                     "VALUES (:ICOMCAPID, :ICAPID, :IFRAQUAID, :ISRPCID, CURRENT_TIMESTAMP)";

const QString kCognomeMsg = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Cognome\"");
const QString kNomeMsg = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Nome\"");
const QString kNascitaMsg = QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Data nascita\"");
const QString kRagSocMsg =
    QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Ragione sociale\"");

// Categories of the beneficiaries, and of the persons.
constexpr int kCategoryLegalEntity = 1;
constexpr int kCategoryPerson = 2;
constexpr int kCategoryPublisher = 3;
constexpr int kCategoryRepresentative = 4;
constexpr int kPersonCategoryBeneficiary = 4;

QString Text(const char *sql) {
    return QString::fromLatin1(sql);
}

QString WithLocality(const char *sql, const char *owner) {
    const QString alias = QString::fromLatin1(owner);
    return Text(sql).arg(Text(kLocalityColumns).arg(alias), Text(kLocalityJoins).arg(alias));
}

QString SoftDelete(const char *table, const char *key) {
    return QStringLiteral(" UPDATE %1 SET DDELETE = CURRENT_TIMESTAMP WHERE %2 = :VOCURRID")
        .arg(QString::fromLatin1(table), QString::fromLatin1(key));
}

// A statement of a post (not of a delete) on a table.
bool Writes(const TVoQueryProp &prop, const char *table) {
    return prop.ListKind != skDelete && prop.TableName == QLatin1String(table);
}

int FieldInt(const TVoQueryCollection *collection, const char *name, int empty = -1) {
    if (!collection->Active() || collection->IsEmpty())
        return empty;
    const TVoField *field = collection->FindField(QString::fromLatin1(name));
    return field && !field->IsNull() ? field->AsInteger() : empty;
}

QString FieldText(const TVoQueryCollection *collection, const char *name) {
    const TVoField *field = collection->FindField(QString::fromLatin1(name));
    return field ? field->AsString() : QString();
}

// An id, or NULL for -1 (and anything not above 0).
QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

QVariant TextOrNull(const QString &text) {
    return text.isEmpty() ? VoNull(QMetaType::QString) : QVariant(text);
}

void FillLocality(TComCapFraType &locality, const TVoQueryCollection *collection, const char *owner) {
    locality = TComCapFraType();
    if (!collection->Active() || collection->IsEmpty())
        return;
    locality.iOwnerId = FieldInt(collection, owner);
    locality.iComCapId = FieldInt(collection, "ICOMCAPID");
    locality.iSrpcId = FieldInt(collection, "ISRPCID");
    locality.iCapId = FieldInt(collection, "ICAPID");
    locality.sCapValue = FieldText(collection, "SCAPVALUE");
    locality.iFraQuaId = FieldInt(collection, "IFRAQUAID");
    locality.sFraQuaDesc = FieldText(collection, "SFRAQUADESC");
}

} // namespace

TdmBeneficiari::TdmBeneficiari(QObject *parent)
    : QObject(parent), qcdAux(new TVoQueryCollection(this)), xqcBeneficiari(new TVoQueryCollection(this)),
      xqcTelefoni(new TVoQueryCollection(this)), xqcEmail(new TVoQueryCollection(this)),
      xqcWeb(new TVoQueryCollection(this)), xqcDatiLegali(new TVoQueryCollection(this)),
      xqcDatiBancari(new TVoQueryCollection(this)), xqcSedi(new TVoQueryCollection(this)),
      xqcTipoSede(new TVoQueryCollection(this)), xqcSostituente(new TVoQueryCollection(this)),
      qcdSostituito(new TVoQueryCollection(this)), xqcRappresentanti(new TVoQueryCollection(this)),
      xqcDelegatiConto(new TVoQueryCollection(this)), xqcDurc(new TVoQueryCollection(this)),
      xqcQuietanzante(new TVoQueryCollection(this)) {
    setObjectName(QStringLiteral("dmBeneficiari"));
    SeatComCapFra = TComCapFraType();
    PayeeComCapFra = TComCapFraType();
    SetStatements();
    HookEvents();
}

void TdmBeneficiari::SetStatements() {
    const QString none;
    const struct {
        TVoQueryCollection *collection;
        QString select;
        const char *insert;
        const char *update;
        QString remove;
    } lists[] = {
        {xqcBeneficiari, Text(kBeneficiariSQL), nullptr, nullptr, Text(kBenSoftDeleteSQL)},
        {xqcTelefoni, Text(kTelefoniSQL), kTelefoniInsertSQL, kTelefoniUpdateSQL,
         SoftDelete("TTEB_TELEFONO", "ITEBID")},
        {xqcEmail, Text(kEmailSQL), kEmailInsertSQL, kEmailUpdateSQL, SoftDelete("TEMB_EMAIL", "IEMBID")},
        {xqcWeb, Text(kWebSQL), kWebInsertSQL, kWebUpdateSQL, SoftDelete("TSWB_SITIWEB", "ISWBID")},
        {xqcDatiLegali, Text(kDatiLegaliSQL), kDatiLegaliInsertSQL, kDatiLegaliUpdateSQL,
         SoftDelete("TLEG_DATILEGALI", "ILEGID")},
        {xqcDatiBancari, Text(kDatiBancariSQL), kDatiBancariInsertSQL, kDatiBancariUpdateSQL,
         SoftDelete("TSPRBEN", "ISPRBENID")},
        {xqcSedi, WithLocality(kSediSQL, "seb"), kSediInsertSQL, kSediUpdateSQL,
         SoftDelete("TSEB_SEDIBEN", "ISEBID")},
        {xqcTipoSede, Text(kTipoSedeSQL), kTipoSedeInsertSQL, kTipoSedeUpdateSQL, Text(kTipoSedeDeleteSQL)},
        {qcdSostituito, Text(kSostituitoSQL), nullptr, nullptr, none},
        {xqcSostituente, Text(kSostituenteSQL), kSostituenteInsertSQL, kSostituenteUpdateSQL,
         SoftDelete("TSOS_SOSTITUZIONI", "ISOSID")},
        {xqcRappresentanti, Text(kRappresentantiSQL), kRappresentantiInsertSQL, kRappresentantiUpdateSQL,
         SoftDelete("TRPS_RAPPR", "IRPSID")},
        {xqcDelegatiConto, Text(kDelegatiSQL), kDelegatiInsertSQL, kDelegatiUpdateSQL,
         Text(kDelegatiDeleteSQL)},
        {xqcQuietanzante, WithLocality(kQuietanzanteSQL, "qui"), kQuietanzanteInsertSQL,
         kQuietanzanteUpdateSQL, Text(kQuietanzanteDeleteSQL)},
        {xqcDurc, Text(kDurcSQL), nullptr, nullptr, none},
    };
    for (const auto &l : lists) {
        l.collection->SetCommandText(l.select);
        if (l.insert)
            l.collection->SQLInsert.Add(Text(l.insert));
        if (l.update)
            l.collection->SQLUpdate.Add(Text(l.update));
        if (!l.remove.isEmpty())
            l.collection->SQLDelete.Add(l.remove);
    }

    // Each detail list has its one owner key, empty until a beneficiary is shown.
    for (TVoQueryCollection *c : {xqcTelefoni, xqcEmail, xqcWeb, xqcDatiLegali, xqcDatiBancari, xqcSedi,
                                  qcdSostituito, xqcSostituente, xqcRappresentanti, xqcDurc})
        c->Params().CreateParam(QStringLiteral("IBENID"), QMetaType::Int);
    xqcTipoSede->Params().CreateParam(QStringLiteral("ISEBID"), QMetaType::Int);
    xqcDelegatiConto->Params().CreateParam(QStringLiteral("ISPRBENID"), QMetaType::Int);
    xqcQuietanzante->Params().CreateParam(QStringLiteral("ISPRBENID"), QMetaType::Int);
}

void TdmBeneficiari::HookEvents() {
    xqcBeneficiari->BeforePost.Add([this](TVoQueryCollection *) { xqcBeneficiariBeforePost(); });
    // Every attempt of the write starts from the beneficiary as it was; BenType takes what the write
    // made only once it is saved.
    xqcBeneficiari->BeforeWrite.Add([this](TVoQueryCollection *, int) { m_post.current = BenType; });
    xqcBeneficiari->AfterPost.Add([this](TVoQueryCollection *) { BenType = m_post.current; });
    xqcBeneficiari->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &allow) {
        xqcBeneficiariVoBeforeExec(prop, allow);
    });
    xqcBeneficiari->VoAfterExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop) { xqcBeneficiariVoAfterExec(prop); });
    xqcBeneficiari->AfterScroll.Add([this](TVoQueryCollection *) { RefreshBenDetails(); });

    const auto addOwner = [this](TVoQueryCollection *c, const char *table) {
        c->VoBeforeExec.Add([this, table](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
            if (Writes(prop, table))
                prop.Values.Add(QStringLiteral("IBENID"), CurrentBenId());
        });
    };
    addOwner(xqcTelefoni, "TTEB_TELEFONO");
    addOwner(xqcEmail, "TEMB_EMAIL");
    addOwner(xqcWeb, "TSWB_SITIWEB");
    addOwner(xqcDatiLegali, "TLEG_DATILEGALI");
    xqcDatiLegali->SetFieldBounds(QStringLiteral("FLEGFATTURATO"),
                                  AbcTurnoverBounds(QStringLiteral("Fatturato")));
    addOwner(xqcDatiBancari, "TSPRBEN");

    xqcDatiLegali->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (!Writes(prop, "TLEG_DATILEGALI"))
            return;
        for (const char *place : {"ILEGSRPCCCIA", "ILEGSRPCTRIBUN", "ILEGSRPCPREFETT"}) {
            const TVoField *field = xqcDatiLegali->FindField(QString::fromLatin1(place));
            if (field && !field->IsNull() && field->AsInteger() <= 0)
                prop.Values.AddNull(QString::fromLatin1(place));
        }
    });

    xqcDatiBancari->BeforePost.Add([this](TVoQueryCollection *) { xqcDatiBancariBeforePost(); });
    xqcDatiBancari->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (Writes(prop, "TSPRBEN") && FieldInt(xqcDatiBancari, "ISPRID") <= 0)
            prop.Values.AddNull(QStringLiteral("ISPRID"));
    });
    xqcDatiBancari->AfterScroll.Add([this](TVoQueryCollection *) { ReopenPaymentDetails(); });

    xqcSedi->AfterScroll.Add([this](TVoQueryCollection *) { xqcSediAfterScroll(); });
    xqcSedi->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) { xqcSediVoBeforeExec(prop); });
    xqcSedi->VoAfterExec.Add([](TVoQueryCollection *, TVoQueryProp &prop) {
        if (Writes(prop, "TSEB_SEDIBEN"))
            SeatComCapFra.iOwnerId =
                prop.Values.Value(QLatin1String(prop.Kind == skInsert ? "VOGENID" : "VOCURRID")).toInt();
    });

    xqcTipoSede->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (Writes(prop, "TSEBTPS"))
            prop.Values.Add(QStringLiteral("ISEBID"), FieldInt(xqcSedi, "ISEBID"));
    });
    xqcSostituente->VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (Writes(prop, "TSOS_SOSTITUZIONI"))
            prop.Values.Add(QStringLiteral("IBENID_P"), BenType.iBenId);
    });
    xqcRappresentanti->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.TableName != QLatin1String("TRPS_RAPPR"))
            return;
        if (prop.ListKind == skDelete)
            m_lastRemovedRepresentative = FieldInt(xqcRappresentanti, "IBENID");
        else
            prop.Values.Add(QStringLiteral("IBENID_P"), BenType.iBenId);
    });
    xqcRappresentanti->VoAfterExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop) { xqcRappresentantiVoAfterExec(prop); });

    xqcDelegatiConto->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.Kind == skInsert)
            prop.Values.Add(QStringLiteral("ISPRBENID"), FieldInt(xqcDatiBancari, "ISPRBENID"));
    });
    xqcQuietanzante->AfterScroll.Add([this](TVoQueryCollection *) { xqcQuietanzanteAfterScroll(); });
    xqcQuietanzante->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (prop.ListKind == skDelete)
            return;
        if (prop.Kind == skInsert)
            prop.Values.Add(QStringLiteral("ISPRBENID"), FieldInt(xqcDatiBancari, "ISPRBENID"));
        prop.Values.Add(QStringLiteral("ICOMCAPID"), IdOrNull(PayeeComCapFra.iComCapId));
    });
}

QList<TVoQueryCollection *> TdmBeneficiari::DataSets() const {
    return {qcdAux,        xqcBeneficiari,    xqcTelefoni,      xqcEmail,    xqcWeb,
            xqcDatiLegali, xqcDatiBancari,    xqcSedi,          xqcTipoSede, xqcSostituente,
            qcdSostituito, xqcRappresentanti, xqcDelegatiConto, xqcDurc,     xqcQuietanzante};
}

void TdmBeneficiari::BindConnection(TVoSQLConnection *connection) {
    for (TVoQueryCollection *ds : DataSets())
        ds->SetConnection(connection);
    qquIns = connection;
    qsoSetGetId = connection;
}

// --- The beneficiaries' statements --------------------------------------------------------------------

void TdmBeneficiari::FillBeneficiariStatements(TBenStatementsKind kind, bool publisher) {
    TVoSQLList &ins = xqcBeneficiari->SQLInsert;
    TVoSQLList &upd = xqcBeneficiari->SQLUpdate;
    ins.Clear();
    upd.Clear();
    if (kind == bskLegalEntity) {
        ins.Add(Text(kBenInsertSQL));
        ins.Add(Text(kBenBcaInsertSQL));
        upd.Add(Text(kBenUpdateSQL));
        upd.Add(Text(kBenBcaUpdateSQL));
    } else {
        ins.Add(Text(kAnaInsertSQL));
        ins.Add(Text(kBenInsertSQL));
        ins.Add(Text(kBenBcaInsertSQL));
        ins.Add(Text(kAnaCagInsertSQL));
        ins.Add(Text(kFirstSeatSQL));
        if (kind == bskPerson) {
            upd.Add(Text(kAnaUpdateSQL));
        } else {
            upd.Add(Text(kAnaInsertSQL));
            upd.Add(Text(kAnaCagInsertSQL));
        }
        upd.Add(Text(kBenUpdateSQL));
        upd.Add(Text(kBenBcaUpdateSQL));
    }
    if (BenPublishersMode && kind != bskEntityToPerson) {
        const int category = publisher ? kCategoryPublisher : kCategoryRepresentative;
        ins.Add(Text(kEditoreInsertSQL).arg(category));
        upd.Add(Text(kEditoreUpdateSQL).arg(category));
    }
}

// The rules of a beneficiary and its person, checked before the write's transaction, since they may
// ask the user: the person's name and birth date, the person already on file, historicising, the
// company name.
void TdmBeneficiari::xqcBeneficiariBeforePost() {
    m_post = TBenPost();
    const TVoSQLList &list =
        xqcBeneficiari->State() == dsInsert ? xqcBeneficiari->SQLInsert : xqcBeneficiari->SQLUpdate;
    int personKind = skOther;
    bool beneficiary = false;
    for (int i = 0; i < list.Count(); ++i) {
        if (list[i].TableName() == QLatin1String("TANA_ANAGRAFICHE"))
            personKind = list[i].Kind();
        else if (list[i].TableName() == QLatin1String("TBEN_BENEFICIARI"))
            beneficiary = true;
    }
    if (personKind == skInsert || personKind == skUpdate) {
        const QString surname = FieldText(xqcBeneficiari, "SANACOGNOME").trimmed();
        const QString name = FieldText(xqcBeneficiari, "SANANOME").trimmed();
        const TVoField *birth = xqcBeneficiari->FindField(QStringLiteral("DANANASCITA"));
        if (surname.isEmpty())
            throw EVoError(kCognomeMsg);
        if (name.isEmpty())
            throw EVoError(kNomeMsg);
        if (!birth || birth->IsNull())
            throw EVoError(kNascitaMsg);
        if (AnaNormString.Execute(surname) != surname)
            throw EVoError(kCognomeMsg);
        if (AnaNormString.Execute(name) != name)
            throw EVoError(kNomeMsg);
        m_post.controlCode = AnaCCIO.Generate(surname, name, birth->AsDate());
        // A new person row: it may be one already on file.
        const bool newPerson = personKind == skInsert || FieldInt(xqcBeneficiari, "IANAID") != BenType.iAnaId;
        m_post.skipPerson = newPerson && FindSamePerson(m_post.controlCode);
    }
    if (beneficiary) {
        const TVoField *end = xqcBeneficiari->FindField(QStringLiteral("LBENEND"));
        const bool historicised = end && end->AsInteger() == 1;
        const bool wasHistoricised = end && xqcBeneficiari->State() == dsEdit && end->OldValue().isValid() &&
                                     end->OldValue().toInt() == 1;
        if (historicised && !wasHistoricised) {
            if (VoMessageDlg(QStringLiteral("Sei sicuro di voler storicizzare il Beneficiario?"),
                             mtInformation, mbYesNo) != mrYes)
                throw EVoAbort();
            m_post.dEnd = QDate::currentDate();
        } else if (historicised) {
            const TVoField *dEnd = xqcBeneficiari->FindField(QStringLiteral("DEND"));
            m_post.dEnd = dEnd && !dEnd->IsNull() ? dEnd->Value() : VoNull(QMetaType::QDate);
        } else {
            m_post.dEnd = VoNull(QMetaType::QDate);
        }
        if (FieldText(xqcBeneficiari, "SBENRAGSOC").trimmed().isEmpty())
            throw EVoError(kRagSocMsg);
    }
    m_post.current = BenType;
}

void TdmBeneficiari::xqcBeneficiariVoBeforeExec(TVoQueryProp &prop, bool &allow) {
    if (prop.ListKind == skDelete)
        return;
    TBenType &ben = m_post.current;
    const QVariant personId = ben.IsPerson ? IdOrNull(ben.iAnaId) : VoNull(QMetaType::Int);
    if (prop.TableName == QLatin1String("TANA_ANAGRAFICHE")) {
        if (m_post.skipPerson) {
            allow = false;
            return;
        }
        const QString surname = FieldText(xqcBeneficiari, "SANACOGNOME").trimmed();
        const QString name = FieldText(xqcBeneficiari, "SANANOME").trimmed();
        prop.Values.Add(QStringLiteral("SANACOGNOME"), surname);
        prop.Values.Add(QStringLiteral("SANANOME"), name);
        prop.Values.AddDate(QStringLiteral("DANANASCITA"),
                            xqcBeneficiari->FieldByName(QStringLiteral("DANANASCITA"))->AsDate());
        prop.Values.Add(QStringLiteral("IIOCTRLCODE"), m_post.controlCode);
        prop.Values.Add(QStringLiteral("SANACOGNOMENOMEIDX"),
                        AnaFilterString.Execute(AnaNormString.Execute(surname + name)));
        prop.Values.Add(QStringLiteral("SANACODFISCALE"), TextOrNull(ben.sBenCodFiscale.trimmed()));
        if (prop.Kind == skUpdate)
            prop.Values.Add(QStringLiteral("IANAID"), ben.iAnaId);
    } else if (prop.TableName == QLatin1String("TANACAG")) {
        if (prop.Kind != skInsert)
            return;
        prop.Values.Add(QStringLiteral("IANAID"), personId);
        prop.Values.Add(QStringLiteral("ICAGID"), kPersonCategoryBeneficiary);
        prop.Values.Add(QStringLiteral("SANACAGCODE"),
                        QStringLiteral("%1").arg(ben.iAnaId, 10, 10, QLatin1Char('0')));
    } else if (prop.TableName == QLatin1String("TBEN_BENEFICIARI")) {
        prop.Values.Add(QStringLiteral("DEND"), m_post.dEnd);
        prop.Values.Add(QStringLiteral("IANAID"), personId);
    } else if (prop.TableName == QLatin1String("TBENBCA")) {
        prop.Values.Add(QStringLiteral("IBENID"), ben.iBenId);
        const int category = ben.IsPerson ? kCategoryPerson : kCategoryLegalEntity;
        prop.Values.Add(QStringLiteral("IBCAID"), category);
        if (prop.Kind == skUpdate)
            prop.Values.Add(QStringLiteral("OLDIBCAID"),
                            ben.IsPerson ? kCategoryLegalEntity : kCategoryPerson);
        if (BenPublishersMode && prop.Kind == skUpdate)
            prop.Values.Add(QStringLiteral("IBENBCAID"), FieldInt(xqcBeneficiari, "IBENBCAID"));
        // The publishers' category is a second link of the same post: a key of its own.
        if (prop.Kind == skInsert && !prop.SQL.contains(QLatin1String(":IBCAID"), Qt::CaseInsensitive))
            prop.Values.Add(QStringLiteral("VOGENID"), SetGetId(QStringLiteral("TBENBCA")));
    } else if (prop.TableName == QLatin1String("TSEB_SEDIBEN")) {
        prop.Values.Add(QStringLiteral("IBENID"), ben.iBenId);
        prop.Values.Add(QStringLiteral("IANAID"), ben.iAnaId);
    }
}

void TdmBeneficiari::xqcBeneficiariVoAfterExec(const TVoQueryProp &prop) {
    if (prop.ListKind == skDelete)
        return;
    if (prop.TableName == QLatin1String("TANA_ANAGRAFICHE") && prop.Kind == skInsert)
        m_post.current.iAnaId = prop.Values.Value(QStringLiteral("VOGENID")).toInt();
    else if (prop.TableName == QLatin1String("TBEN_BENEFICIARI"))
        m_post.current.iBenId =
            prop.Values.Value(QLatin1String(prop.Kind == skInsert ? "VOGENID" : "VOCURRID")).toInt();
}

bool TdmBeneficiari::FindSamePerson(int controlCode) {
    qcdAux->Close();
    qcdAux->SetCommandText(Text(kSamePersonSQL));
    qcdAux->SetParam(QStringLiteral("IIOCTRLCODE"), controlCode);
    qcdAux->Open();
    bool same = false;
    if (!qcdAux->IsEmpty()) {
        TfmCCIODialog dialog(qcdAux);
        if (dialog.exec() == mrYes && !qcdAux->IsEmpty()) {
            BenType.iAnaId = FieldInt(qcdAux, "IANAID");
            BenType.sBenCodFiscale = FieldText(qcdAux, "SANACODFISCALE");
            same = true;
        }
    }
    qcdAux->Close();
    return same;
}

// --- Details --------------------------------------------------------------------------------------------

int TdmBeneficiari::CurrentBenId() const {
    return FieldInt(xqcBeneficiari, "IBENID");
}

void TdmBeneficiari::ReopenWith(TVoQueryCollection *collection, const char *param, int value) {
    collection->Close();
    collection->SetParam(QString::fromLatin1(param), value);
    collection->Open();
}

void TdmBeneficiari::RefreshBenDetails() {
    // The lists of each detail tab, by the tab's index; the bank data's first row reopens the
    // account's delegates and payees.
    const QList<QList<TVoQueryCollection *>> byTab = {
        {xqcSedi},  {xqcDatiBancari}, {xqcDatiLegali},     {xqcTelefoni},
        {xqcEmail}, {xqcWeb},         {xqcRappresentanti}, {qcdSostituito, xqcSostituente},
        {xqcDurc}};
    if (BenType.DetailTab >= byTab.size())
        return;
    const int benId = CurrentBenId();
    for (TVoQueryCollection *c : byTab[BenType.DetailTab])
        ReopenWith(c, "IBENID", benId);
    if (BenType.DetailTab == 0 && xqcSedi->IsEmpty())
        xqcTipoSede->Close();
}

void TdmBeneficiari::CloseBenDetails() {
    for (TVoQueryCollection *c :
         {xqcTelefoni, xqcEmail, xqcWeb, xqcDatiLegali, xqcDatiBancari, xqcSedi, qcdSostituito,
          xqcSostituente, xqcRappresentanti, xqcDelegatiConto, xqcDurc, xqcQuietanzante})
        c->Close();
}

void TdmBeneficiari::ReopenPaymentDetails() {
    const int account = FieldInt(xqcDatiBancari, "ISPRBENID");
    ReopenWith(xqcDelegatiConto, "ISPRBENID", account);
    ReopenWith(xqcQuietanzante, "ISPRBENID", account);
}

// A bank-data row belongs to a saved beneficiary: without one nothing is written.
void TdmBeneficiari::xqcDatiBancariBeforePost() {
    if (CurrentBenId() <= 0) {
        VoMessageBox(QStringLiteral("Errore caricamento parametro 1"));
        throw EVoAbort();
    }
    if (!xqcDatiBancari->FindField(QStringLiteral("ISPRID"))) {
        VoMessageBox(QStringLiteral("Errore caricamento parametro 2"));
        throw EVoAbort();
    }
}

void TdmBeneficiari::xqcSediAfterScroll() {
    FillLocality(SeatComCapFra, xqcSedi, "ISEBID");
    if (BenType.DetailTab == 0 && xqcSedi->Active() && !xqcSedi->IsEmpty())
        ReopenWith(xqcTipoSede, "ISEBID", FieldInt(xqcSedi, "ISEBID"));
}

void TdmBeneficiari::xqcSediVoBeforeExec(TVoQueryProp &prop) {
    if (!Writes(prop, "TSEB_SEDIBEN"))
        return;
    prop.Values.Add(QStringLiteral("ICOMCAPID"), IdOrNull(SeatComCapFra.iComCapId));
    prop.Values.Add(QStringLiteral("IBENID"), BenType.iBenId);
    if (BenReferenceSeat) {
        // Two copies making different seats the reference wait for each other.
        VoLockRow(QStringLiteral("TBEN_BENEFICIARI"), QStringLiteral("IBENID"), BenType.iBenId, qquIns);
        TVoQuery clear(Text(kSediClearReferenceSQL), qquIns);
        clear.SetParam(QStringLiteral("LSEBRIFERIMENTO"), 1)
            .SetParam(QStringLiteral("IBENID"), BenType.iBenId);
        clear.Exec();
    }
}

// A beneficiary that represents another has category 4 as long as it represents one.
void TdmBeneficiari::xqcRappresentantiVoAfterExec(const TVoQueryProp &prop) {
    if (prop.TableName != QLatin1String("TRPS_RAPPR") || prop.ListKind == skUpdate)
        return;
    // Links of one representative written by two copies at once are counted one after the other.
    const int representative = prop.ListKind == skInsert ? prop.Values.Value(QStringLiteral("IBENID")).toInt()
                                                         : m_lastRemovedRepresentative;
    VoLockRow(QStringLiteral("TBEN_BENEFICIARI"), QStringLiteral("IBENID"), representative, qquIns);
    if (prop.ListKind == skInsert) {
        TVoQuery category(Text(kRepresentativeCategorySQL), qquIns);
        category.SetParam(QStringLiteral("IBENID"), representative)
            .SetParam(QStringLiteral("IBCAID"), kCategoryRepresentative);
        if (!category.Open().IsEmpty())
            return;
        category.Close();
        TVoQuery insert(Text(kBenBcaInsertSQL), qquIns);
        insert.SetParam(QStringLiteral("VOGENID"), SetGetId(QStringLiteral("TBENBCA")))
            .SetParam(QStringLiteral("IBENID"), representative)
            .SetParam(QStringLiteral("IBCAID"), kCategoryRepresentative);
        insert.Exec();
    } else if (prop.ListKind == skDelete && !BenPublishersMode) {
        TVoQuery links(Text(kRepresentativeLinksSQL), qquIns);
        links.SetParam(QStringLiteral("IBENID"), representative);
        if (!links.Open().IsEmpty())
            return;
        links.Close();
        TVoQuery remove(Text(kRepresentativeCategoryDeleteSQL), qquIns);
        remove.SetParam(QStringLiteral("IBENID"), representative)
            .SetParam(QStringLiteral("IBCAID"), kCategoryRepresentative);
        remove.Exec();
    }
}

void TdmBeneficiari::xqcQuietanzanteAfterScroll() {
    FillLocality(PayeeComCapFra, xqcQuietanzante, "ISPRBENID");
}

// --- Localities -----------------------------------------------------------------------------------------

int TdmBeneficiari::SetGetId(const QString &table) {
    return VoNewId(table, qsoSetGetId);
}

namespace {

int FirstId(const char *sql, std::initializer_list<std::pair<const char *, QVariant>> params,
            TVoSQLConnection *connection) {
    TVoQuery q(Text(sql), connection);
    for (const auto &[name, value] : params)
        q.SetParam(QString::fromLatin1(name), value);
    q.Open();
    return q.Eof() ? -1 : q.AsInteger(q.FieldName(0), -1);
}

} // namespace

int TdmBeneficiari::FindFraQua(const QString &description) {
    return FirstId(kFindFraQuaSQL, {{"SFRAQUADESC", TextOrNull(description.trimmed())}}, qquIns);
}

int TdmBeneficiari::FindCap(const QString &value) {
    return FirstId(kFindCapSQL, {{"SCAPVALUE", TextOrNull(value.trimmed())}}, qquIns);
}

int TdmBeneficiari::FindComCap(int srpcId, int capId, int fraQuaId) {
    return FirstId(
        kFindComCapSQL,
        {{"ISRPCID", IdOrNull(srpcId)}, {"ICAPID", IdOrNull(capId)}, {"IFRAQUAID", IdOrNull(fraQuaId)}},
        qquIns);
}

int TdmBeneficiari::InsertFraQua(const QString &description) {
    const int id = SetGetId(QStringLiteral("TFRAQUA"));
    TVoQuery q(Text(kInsertFraQuaSQL), qquIns);
    q.SetParam(QStringLiteral("IFRAQUAID"), id)
        .SetParam(QStringLiteral("SFRAQUADESC"), description.trimmed());
    q.Exec();
    return id;
}

int TdmBeneficiari::InsertCap(const QString &value) {
    const int id = SetGetId(QStringLiteral("TCAP"));
    TVoQuery q(Text(kInsertCapSQL), qquIns);
    q.SetParam(QStringLiteral("ICAPID"), id).SetParam(QStringLiteral("SCAPVALUE"), value.trimmed());
    q.Exec();
    return id;
}

int TdmBeneficiari::InsertComCap(int srpcId, int capId, int fraQuaId) {
    const int id = SetGetId(QStringLiteral("TCOMCAP"));
    TVoQuery q(Text(kInsertComCapSQL), qquIns);
    q.SetParam(QStringLiteral("ICOMCAPID"), id)
        .SetParam(QStringLiteral("ICAPID"), IdOrNull(capId))
        .SetParam(QStringLiteral("IFRAQUAID"), IdOrNull(fraQuaId))
        .SetParam(QStringLiteral("ISRPCID"), IdOrNull(srpcId));
    q.Exec();
    return id;
}

bool TdmBeneficiari::GetOrAddComCap(TComCapFraType &locality) {
    TComCapFraType found = locality;
    found.sCapValue = found.sCapValue.trimmed();
    found.sFraQuaDesc = found.sFraQuaDesc.trimmed();
    found.iFraQuaId = found.iCapId = found.iComCapId = -1;
    if (found.iSrpcId <= 0 && found.sCapValue.isEmpty() && found.sFraQuaDesc.isEmpty()) {
        locality = found;
        return true;
    }
    try {
        TVoTransaction transaction(qquIns);
        transaction.StartTransaction();
        if (!found.sFraQuaDesc.isEmpty()) {
            found.iFraQuaId = FindFraQua(found.sFraQuaDesc);
            if (found.iFraQuaId < 0)
                found.iFraQuaId = InsertFraQua(found.sFraQuaDesc);
        }
        if (!found.sCapValue.isEmpty()) {
            found.iCapId = FindCap(found.sCapValue);
            if (found.iCapId < 0)
                found.iCapId = InsertCap(found.sCapValue);
        }
        found.iComCapId = FindComCap(found.iSrpcId, found.iCapId, found.iFraQuaId);
        if (found.iComCapId < 0)
            found.iComCapId = InsertComCap(found.iSrpcId, found.iCapId, found.iFraQuaId);
        transaction.Commit();
    } catch (const EVoException &e) {
        VoShowException(e);
        return false;
    }
    locality = found;
    return true;
}
