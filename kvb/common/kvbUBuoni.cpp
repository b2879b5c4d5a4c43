#include "kvbUBuoni.h"

#include "AbcUBuoni.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "kvbUUtil.h"

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

// --- Rules of the voucher windows --------------------------------------------------------------------------

void kvbLockNumbering() {
    AbcLockVoucherNumbering(kvbVoucherProfile);
}

double kvbAcceptedVoucherDate(double wanted, int number, int kind) {
    return AbcAcceptedVoucherDate(kvbVoucherProfile, wanted, number, kind);
}

QString kvbNewVoucherText(const TkvbNewVoucher &voucher) {
    QString text = QStringLiteral("Creato il buono di carico numero %1 del %2 con %3.")
                       .arg(voucher.number)
                       .arg(FormatDays(voucher.date), kvbCountText(voucher.goods, "bene", "beni"));
    if (voucher.date != voucher.sourceDate)
        text += QStringLiteral("\r\nLa data di origine %1 non è ammessa dalle date del registro: il buono ha "
                               "la prima data ammessa.")
                    .arg(FormatDays(voucher.sourceDate));
    return text;
}

QString kvbCountText(int count, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(count == 1 ? one : many));
}

QString kvbGoodsNumberProblem(const QVariant &number, const QString &subCode, int acceptedNumber) {
    if (number.isNull() || !number.isValid() || number.toDouble() < 1)
        return QStringLiteral("Numero del bene");
    if (number.toInt() != acceptedNumber && GoodsNumberExists(number.toInt(), subCode))
        return QStringLiteral("Numero del bene già presente");
    return QString();
}

void kvbGoodsBeforeWrite(TVoQueryCollection *goods, int listKind, int *proposedNumber) {
    if (listKind != skInsert && listKind != skUpdate)
        return;
    TVoField *number = goods->FieldByName(QStringLiteral("iBInbNUMERO"));
    if (listKind == skUpdate && number->AsInteger() == number->OldValue().toInt())
        return;
    kvbLockNumbering();
    const QString subCode = goods->FieldByName(QStringLiteral("sBInbCodNumero"))->AsString();
    if (!GoodsNumberExists(number->AsInteger(), subCode))
        return;
    if (listKind == skInsert && subCode.isEmpty()) {
        const int next = NextGoodsNumber();
        number->SetAsInteger(next);
        if (proposedNumber)
            *proposedNumber = next;
    }
    throw EVoError(QStringLiteral("Numero del bene già presente"));
}

void kvbLockUndischargedGood(const QVariant &goodId) {
    VoLockRow(QStringLiteral("TBInb_Beni"), QStringLiteral("iBInbID"), goodId);
    TVoQuery good(
        QStringLiteral("SELECT iBInbNUMERO, iBBuoIDSCARICO FROM TBInb_Beni WHERE iBInbID = :iBInbID"));
    good.SetParam(QStringLiteral("iBInbID"), goodId).Open();
    if (!good.Eof() && !good.Value(QStringLiteral("iBBuoIDSCARICO")).isNull())
        throw EVoError(QStringLiteral("Il bene %1 è già stato scaricato.")
                           .arg(good.Value(QStringLiteral("iBInbNUMERO")).toString()));
}

void kvbLockProvisionalVoucher(const QVariant &voucherId) {
    VoLockRow(QStringLiteral("TBBuo_Buoni"), QStringLiteral("iBBuoId"), voucherId);
    if (VoSelectValue(QStringLiteral("SELECT ILOCKED FROM TBBuo_Buoni WHERE iBBuoId = :v"),
                      {{QStringLiteral("v"), voucherId}})
            .toInt() != 0)
        throw EVoRecordChanged(
            QStringLiteral("Il buono è stato reso definitivo nel frattempo: non si può più modificare."));
}
