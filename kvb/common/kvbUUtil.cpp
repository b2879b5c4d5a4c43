#include "kvbUUtil.h"

#include "AbcUBuoni.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoStatistics.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "VoWait.h"

#include <QWidget>

#include <algorithm>

int CurrentRegSchoolId = 0;

namespace {

// Every register type: a stored register-year is described whatever its register.
const char *const kRegisterYearDescSQL =
    "SELECT fac.sFacDesc || '  Anno: ' || anf.iAnfValore AS DESCR, fac.iTfcId   FROM TDwgFacAnf dia     "
    "INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID    INNER JOIN TFac_Velisto fac ON "
    "di.iFacId=fac.iFacId    INNER JOIN TANF_ANNIFINANZ ANF ON dia.IANFID=ANF.IANFID   WHERE "
    "dia.iDwgFacAnfid=:iDwgFacAnfid;";

const char *const kDateLowSQL =
    "SELECT MAX(dBBuoData) AS dBBuoDataMin FROM TBBuo_Buoni WHERE (iDwgFacAnfId=:iDwgFacAnfId) AND "
    "(iBBuoTipo=:iBBuoTipo) AND (iBBuoNumero<:iBBuoNumero);";
const char *const kLastClosingSQL =
    "SELECT MAX(DCHADATACHIUSURA) AS DCHADATACHIUSURA FROM TCHA_CHIUSURAANNO WHERE iFacId = :iFacId;";
const char *const kDateHighSQL =
    "SELECT MIN(dBBuoData) AS dBBuoDataMax FROM TBBuo_Buoni WHERE (iDwgFacAnfId=:iDwgFacAnfId) AND "
    "(iBBuoTipo=:iBBuoTipo) AND (iBBuoNumero>:iBBuoNumero);";

// The register is bound, never written into the text. A good whose sub-code is missing has the empty
// sub-code: a pattern matches them alike, so that neither "%" nor "" lets a number in use through.
const char *const kGoodsNumberExistsSQL =
    "SELECT iBInbId FROM TBInb_Beni inb INNER JOIN TBBuo_Buoni buo ON (inb.iBBuoId = buo.iBBuoId) INNER JOIN "
    "TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "
    "dia.IDwgFacID=di.IDwgFacID WHERE (inb.iBInbNumero = :iBInbNumero) AND (COALESCE(inb.sBInbCodNumero, "
    "'') LIKE(:sBInbCodNumero)) AND (di.iFacId=:iFacId) AND (inb.iBInbFuoriRegistro=0);";
// The highest number of the register below the limit: the goods are read from the highest number
// down (the number's descending index) and the first of the register in its numbering is the one;
// the register is checked through the loading voucher apart, so that nothing else orders the walk.
const char *const kNextGoodsNumberSQL =
    "SELECT FIRST 1 inb.iBInbNumero FROM TBInb_Beni inb WHERE (inb.iBInbNumero<9999999) AND "
    "(inb.iBInbFuoriRegistro=0) AND EXISTS (SELECT 1 FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON "
    "(buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(buo.iBBuoId = inb.iBBuoId) AND (di.iFacId=:iFacId)) ORDER BY inb.iBInbNumero DESC";
const char *const kVoucherNumberExistsSQL =
    "SELECT iBBuoId FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "
    "dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE (buo.iBBuoNumero = "
    ":iBBuoNumero) AND (buo.iBBuoTipo = :iBBuoTipo) AND (di.iFacId=:iFacId);";
const char *const kNextVoucherNumberSQL =
    "SELECT Max(iBBuoNumero) AS iBBuoNumero FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON "
    "(buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(iBBuoNumero<9999999) AND (buo.iBBuoTipo = :iBBuoTipo) AND (di.iFacId=:iFacId);";

const char *const kRegisterYearByDateSQL =
    "SELECT dfa.iDwgFacAnfId FROM TDWGFACANF dfa INNER JOIN TANF_ANNIFINANZ anf ON (dfa.iAnfId = "
    "anf.iAnfId) INNER JOIN TDWGFAC df ON (dfa.iDwgFacId = df.iDwgFacId) WHERE (df.ifacid = :ifacid) AND "
    "(CAST(:date AS DATE) BETWEEN COALESCE(dfa.DDWGFACANFINIZIO, anf.DANFVOREXINIZIO) AND "
    "COALESCE(dfa.DDWGFACANFFINE, anf.DANFVOREXFINE)) ORDER BY anf.iAnfValore";

// The register's vouchers, of every register-year.
#define KVB_REGISTER_VOUCHERS                                                                                \
    "SELECT buo.iBBuoId FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "              \
    "dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE (di.iFacId=:iFacId)"
const char *const kProvisionalSQL =
    "SELECT FIRST 1 iBBuoId, iBBuoNumero FROM TBBuo_Buoni buo INNER JOIN "
    "TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di "
    "ON dia.IDwgFacID=di.IDwgFacID WHERE (di.iFacId=:iFacId) AND (iLocked <> 1)";
// The register's latest renumbering, voucher date and closing.
const char *const kRenumberLimitSQL =
    "SELECT (SELECT MAX(bnu.dEnd) FROM TBBnu_BeniNumeri bnu INNER JOIN TBInb_Beni inb ON (bnu.iBInbId = "
    "inb.iBInbId) WHERE inb.iBBuoId IN (" KVB_REGISTER_VOUCHERS ")) AS data_rinumerazione, (SELECT "
    "MAX(buo.dBBuoData) FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "
    "dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE (di.iFacId=:iFacId)) AS "
    "data_buoni, (SELECT MAX(DCHADATACHIUSURA) FROM TCHA_CHIUSURAANNO WHERE iFacId = :iFacId) AS "
    "data_chiusure FROM RDB$DATABASE";
#define KVB_GOODS_TO_RENUMBER                                                                                \
    "SELECT INB.iBInbId, INB.iBInbNumero, COALESCE(INB.sBInbCodNumero,'') AS sBInbCodNumero FROM "           \
    "VBInb_Beni INB WHERE (INB.iBBuoIdScarico IS NULL) AND (INB.iBInbNumero > 0) AND INB.iBBuoId IN "        \
    "(" KVB_REGISTER_VOUCHERS ") "
const char *const kGoodsToRenumberSQL[2] = {KVB_GOODS_TO_RENUMBER "ORDER BY INB.iBInbNUMERO",
                                            KVB_GOODS_TO_RENUMBER "ORDER BY INB.DBBUODATA, INB.IBINBNUMERO"};
const char *const kStorNumeroSQL =
    "EXECUTE PROCEDURE PKVB_STORNUMERO(:iBInbId,:iBInbNumero_Old,:iBInbNumero_New,"
    ":sBInbCODNUMERO_OLD,:sBInbCODNUMERO_NEW,:DRINUMERA)";
const char *const kOutOfRegisterSQL =
    "UPDATE TBInb_Beni SET iBInbFuoriRegistro=1 WHERE (iBBuoIdScarico IS NOT "
    "NULL) AND (iBBuoId IN (" KVB_REGISTER_VOUCHERS "));";
const char *const kVoucherGoodsSQL =
    "SELECT INB.iBInbId, INB.iBInbNumero, COALESCE(INB.sBInbCodNumero,'') AS sBInbCodNumero FROM TBInb_Beni "
    "INB WHERE INB.iBBuoID=:iBBuoID ORDER BY "
    "INB.iBInbNumero DESC";
const char *const kSetNumberSQL =
    "UPDATE TBInb_Beni SET iBInbNumero = :iBInbNumero_New WHERE iBInbId = :iBInbId;";

struct TGood {
    int id = 0;
    int number = 0;
    QString subCode;
};

// Read whole before any is renumbered, so that no renumbered good comes round again.
QList<TGood> ReadGoods(const QString &sql, const QVariantHash &params) {
    QList<TGood> goods;
    TVoQuery q(sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.SetParam(it.key(), it.value());
    for (q.Open(); !q.Eof(); q.Next())
        goods.append({q.AsInteger(QStringLiteral("iBInbId")), q.AsInteger(QStringLiteral("iBInbNumero")),
                      q.AsString(QStringLiteral("sBInbCodNumero"))});
    return goods;
}

int RegisterOrCurrent(int registerId) {
    return registerId == -1 ? CurrentRegisterId : registerId;
}

} // namespace

QVariant kvb::GetParamDescription(const QString &name) {
    return AbcParamDescription(name, QString::fromLatin1(kRegisterYearDescSQL), [](const TVoQuery *) {});
}

void kvb::LoadCurrentRegisterYear(int registerYearId, double &start, double &end) {
    TAbcRegisterYear found;
    if (!ReadRegisterYear(registerYearId, found, start, end))
        return;
    CurrentRegYear = found.yearValue;
    CurrentRegSchoolId = found.schoolId;
}

void kvb::LoadWorkingContext(bool firstActivation) {
    AbcLoadWorkingContext(firstActivation, &LoadCurrentRegisterYear);
}

void kvb::ResetWorkingContext() {
    CurrentRegSchoolId = 0;
    ResetRegisterContext();
}

// Numbers run across the register's years.
const TAbcVoucherProfile kvbVoucherProfile{
    "iBBuoTipo",
    "iBBuoNumero",
    nullptr,
    {kNextVoucherNumberSQL, nullptr},
    {kVoucherNumberExistsSQL, nullptr},
    kDateLowSQL,
    "dBBuoDataMin",
    kDateHighSQL,
    "dBBuoDataMax",
    kLastClosingSQL,
    "DCHADATACHIUSURA",
    "Data del buono minore della data del buono precedente o dell'ultima chiusura"};

void kvb::GetVoucherDateLimits(int number, int kind, DateWindow &window) {
    AbcVoucherDateLimits(kvbVoucherProfile, number, kind, window);
}

bool GoodsNumberExists(int number, const QString &subCodePattern) {
    TVoQuery q(QString::fromLatin1(kGoodsNumberExistsSQL));
    // A null text would be bound as NULL, which LIKE matches with nothing: no sub-code is the empty one.
    q.SetParam(QStringLiteral("iBInbNumero"), number)
        .SetParam(QStringLiteral("sBInbCodNumero"),
                  subCodePattern.isNull() ? QStringLiteral("") : subCodePattern)
        .SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    q.Open();
    return !q.Eof();
}

int NextGoodsNumber(int registerId) {
    TVoQuery q(QString::fromLatin1(kNextGoodsNumberSQL));
    q.SetParam(QStringLiteral("iFacId"), RegisterOrCurrent(registerId)).Open();
    // A register without goods starts at 1.
    return q.Eof() ? 1 : q.AsInteger(QStringLiteral("iBInbNumero")) + 1;
}

bool kvb::VoucherNumberExists(int number, int kind) {
    return AbcVoucherNumberExists(kvbVoucherProfile, number, kind);
}

int NextVoucherNumber(int kind, int registerId) {
    return AbcNextVoucherNumber(kvbVoucherProfile, kind, RegisterOrCurrent(registerId));
}

int FindRegisterYearByDate(int registerId, double date) {
    TVoQuery q(QString::fromLatin1(kRegisterYearByDateSQL));
    q.SetParam(QStringLiteral("ifacid"), RegisterOrCurrent(registerId))
        .SetParamDate(QStringLiteral("date"), date);
    q.Open();
    return q.AsInteger(QStringLiteral("iDwgFacAnfId"));
}

TVoMoney TextToAmount(const QString &text) {
    TVoMoney amount;
    if (!text.trimmed().isEmpty() && !TVoMoney::TryParse(text, &amount))
        throw EVoError(QStringLiteral("\"%1\" non è un importo valido.").arg(text));
    return amount;
}

void SetParamNull(TVoQuery &query, const QString &name, QMetaType::Type type) {
    query.SetParamNull(name, type);
}

void PlaceRightOf(const QWidget *anchor, QWidget *control) {
    control->move(anchor->x() + anchor->width() + 10, control->y());
}

double LatestRenumberingEvent() {
    TVoQuery q(QString::fromLatin1(kRenumberLimitSQL));
    q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId).Open();
    double latest = 0.0;
    for (const char *field : {"data_rinumerazione", "data_buoni", "data_chiusure"})
        if (!q.IsNull(QString::fromLatin1(field)))
            latest = std::max(latest, q.AsDate(QString::fromLatin1(field)));
    return latest;
}

bool RenumberAllGoods(int startNumber, bool byLoadingDate, double date, int *renumbered) {
    QString refusal;
    int count = 0;
    {
        TVoTransaction transaction;
        transaction.StartTransaction();
        // Vouchers and closings of the register wait for the end of the renumbering.
        VoLockRow(QStringLiteral("TFAC_VELISTO"), QStringLiteral("IFACID"), CurrentRegisterId);
        const QVariantHash inRegister{{QStringLiteral("iFacId"), CurrentRegisterId}};
        if (VoSelectValue(QString::fromLatin1(kProvisionalSQL), inRegister).isValid()) {
            refusal = QStringLiteral("Impossibile continuare. Ci sono dei buoni non definitivi.");
        } else {
            const double limit = LatestRenumberingEvent();
            if (date <= limit)
                refusal = QStringLiteral("Impossibile continuare. La data dev'essere maggiore di ") +
                          DaysToDate(limit).toString(QStringLiteral("dd/MM/yyyy"));
        }
        if (refusal.isEmpty()) {
            const QList<TGood> goods =
                ReadGoods(QString::fromLatin1(kGoodsToRenumberSQL[byLoadingDate ? 1 : 0]), inRegister);
            // The user may abandon the renumbering here: the transaction then writes no number.
            TVoProgressScope progress(QStringLiteral("Rinumerazione dei beni in corso ..."), int(goods.size()),
                                      true, QStringLiteral("Rinumera beni"));
            int number = startNumber;
            for (const TGood &good : goods) {
                VoExecSQL(QString::fromLatin1(kStorNumeroSQL),
                          {{QStringLiteral("iBInbId"), good.id},
                           {QStringLiteral("iBInbNumero_Old"), good.number},
                           {QStringLiteral("iBInbNumero_New"), number++},
                           {QStringLiteral("sBInbCODNUMERO_OLD"), good.subCode},
                           {QStringLiteral("sBInbCODNUMERO_NEW"), good.subCode},
                           {QStringLiteral("DRINUMERA"), DaysToDate(date)}});
                progress.Step(number - startNumber);
            }
            count = number - startNumber;
            VoExecSQL(QString::fromLatin1(kOutOfRegisterSQL), inRegister);
            transaction.Commit();
            VoRefreshStaleStatistics();
        }
    }
    if (refusal.isEmpty()) {
        if (renumbered)
            *renumbered = count;
        return true;
    }
    VoMessageDlg(refusal, mtWarning, mbOK);
    return false;
}

void RenumberVoucherGoods(int voucherId) {
    TVoTransaction transaction;
    transaction.StartTransaction();
    const QList<TGood> goods =
        ReadGoods(QString::fromLatin1(kVoucherGoodsSQL), {{QStringLiteral("iBBuoID"), voucherId}});
    int number = goods.isEmpty() ? 0 : goods.first().number;
    for (const TGood &good : goods) {
        // The next good keeps the number reached unless a good of the register holds it.
        while (good.number != number && GoodsNumberExists(number, QStringLiteral("%")))
            ++number;
        VoExecSQL(QString::fromLatin1(kSetNumberSQL),
                  {{QStringLiteral("iBInbNumero_New"), number}, {QStringLiteral("iBInbId"), good.id}});
    }
    transaction.Commit();
}

QString kvbGoodsFilterDefinition() {
    try {
        return GetDBXML(kvbGoodsFilterCode, kvbXmlList);
    } catch (const EVoError &) {
        return QString();
    }
}
