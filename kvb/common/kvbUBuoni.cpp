#include "kvbUBuoni.h"

// The kind of a new voucher is written as a literal, never taken from the window.
#define KVB_SQL_BUO_INSERT(kind)                                                                             \
    "INSERT INTO TBBuo_Buoni (iBBuoID, IDwgFacAnfID, iBBuoNUMERO, dBBuoDATA, IBENID, sBBuoDESC, iBBuoTIPO, " \
    "IDELID, dBBuoPROTDATA, sBBuoPROTNUM, iBBuoIMPORTO, ILOCKED, iBBuoRicogniz, iItbId) VALUES (:VOGENID, "  \
    ":IDwgFacAnfID, :iBBuoNUMERO, :dBBuoDATA, :IBENID, :sBBuoDESC, " kind ", :IDELID, :dBBuoPROTDATA, "      \
    ":sBBuoPROTNUM, :iBBuoIMPORTO, 0, :iBBuoRicogniz, :iItbId)"

const char *const kvbSQLBuoInsertCarico = KVB_SQL_BUO_INSERT("0");
const char *const kvbSQLBuoInsertScarico = KVB_SQL_BUO_INSERT("1");
const char *const kvbSQLBuoUpdate =
    "UPDATE TBBuo_Buoni SET iBBuoNUMERO = :iBBuoNUMERO, dBBuoDATA = :dBBuoDATA, IBENID = :IBENID, "
    "sBBuoDESC = :sBBuoDESC, IDELID = :IDELID, dBBuoPROTDATA = :dBBuoPROTDATA, sBBuoPROTNUM = "
    ":sBBuoPROTNUM, iBBuoIMPORTO = :iBBuoIMPORTO, iBBuoRicogniz = :iBBuoRicogniz WHERE (iBBuoID = "
    ":VOCURRID)";
const char *const kvbSQLBuoDelete = "DELETE FROM TBBuo_Buoni WHERE iBBuoID=:VOCURRID";

const char *const kvbSQLInbInsert =
    "INSERT INTO TBInb_Beni (iBInbID, iBInbNUMERO, sBInbDESC, sBInbNOTE, iBBuoID, iBInbIMPORTO, ICAMID, "
    "ICAEID, ICAVID, ICONDID, IAVAID, ISECID, sBInbLIBTITOLO, sBInbLIBAUTORE, sBInbLIBEDITORE, IVPROID, "
    "ISEDINFID, ICLCID, iBInbAnnoAssunz, sBInbMatricola, sBInbCodNumero) VALUES (:VOGENID, :iBInbNUMERO, "
    ":sBInbDESC, :sBInbNOTE, :iBBuoID, :iBInbIMPORTO, :ICAMID, :ICAEID, :ICAVID, :ICONDID, :IAVAID, "
    ":ISECID, :sBInbLIBTITOLO, :sBInbLIBAUTORE, :sBInbLIBEDITORE, :IVPROID, :ISEDINFID, :ICLCID, "
    ":iBInbAnnoAssunz, :sBInbMatricola, :sBInbCodNumero)";
const char *const kvbSQLInbUpdate =
    "EXECUTE PROCEDURE PKVB_UPDBENE(:VOCURRID, :iBInbNUMERO, :sBInbDESC, :sBInbNOTE, :iBInbIMPORTO, "
    ":ICAMID, :ICAEID, :ICAVID, :ICONDID, :ISECID, :sBInbLIBTITOLO, :sBInbLIBAUTORE, :sBInbLIBEDITORE, "
    ":IVPROID, :ISEDINFID, :ICLCID, :iBInbAnnoAssunz, :sBInbMatricola, :sBInbCodNumero)";
const char *const kvbSQLInbDelete[5] = {"DELETE FROM TBBse_BeniSettori WHERE iBInbID=:VOCURRID",
                                        "DELETE FROM TBBim_Importi WHERE iBInbID=:VOCURRID",
                                        "DELETE FROM TBBnu_BeniNumeri WHERE iBInbID=:VOCURRID",
                                        "DELETE FROM TBSin_SediBeniStor WHERE iBInbID=:VOCURRID",
                                        "DELETE FROM TBInb_Beni WHERE iBInbID=:VOCURRID"};

const char *const kvbSQLInbScarico =
    "UPDATE TBInb_Beni  SET IAVAID=3, iBBuoIDSCARICO=:iBBuoID, ICAVIDSCARICO=:ICAVIDSCARICO, "
    "iBInbIMPORTO=:iBInbIMPORTO  WHERE iBInbID=:iBInbID";
const char *const kvbSQLInbScaricoRicognizione =
    "UPDATE TBInb_Beni  SET ICAVIDSCARICO=:ICAVID, iBBuoIDSCARICO=:iBBuoIDSCA, IAVAID=3  WHERE "
    "iBInbID=:iBInbID";
const char *const kvbSQLInbTogliScarico =
    "UPDATE TBInb_Beni  SET IAVAID=2, iBBuoIDSCARICO=NULL, ICAVIDSCARICO=NULL  WHERE iBInbID=:VOCURRID";

const char *const kvbSQLILocked = "CASE WHEN inb.IAVAID IN (3, 4) OR (SELECT buo_l.ILOCKED FROM TBBuo_Buoni "
                                  "buo_l WHERE buo_l.iBBuoID = inb.iBBuoID) = 1 THEN 1 ELSE 0 END";
