#include "VoTestGoods.h"

#include "AbcUContext.h"
#include "VoGlobals.h"
#include "VoQuery.h"
#include "VoTestData.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

namespace {

QVariant IdOrNull(int id) {
    return id > 0 ? QVariant(id) : VoNull(QMetaType::Int);
}

QVariant TextOrNull(const QString &text) {
    return text.isEmpty() ? VoNull(QMetaType::QString) : QVariant(text);
}

} // namespace

int VoTestGoodsVoucher(int registerYearId, int kind, const QDate &date, int number, qint64 amount) {
    const int id = VoTestNewKey(QStringLiteral("TBBUO_BUONI"));
    VoExecSQL(QString::fromLatin1(kind == 0 ? kvbSQLBuoInsertCarico : kvbSQLBuoInsertScarico),
              {{QStringLiteral("VOGENID"), id},
               {QStringLiteral("IDwgFacAnfID"), registerYearId},
               {QStringLiteral("iBBuoNUMERO"), number},
               {QStringLiteral("dBBuoDATA"), date},
               {QStringLiteral("IBENID"), VoNull(QMetaType::Int)},
               {QStringLiteral("sBBuoDESC"), QStringLiteral("Buono %1").arg(number)},
               {QStringLiteral("IDELID"), VoNull(QMetaType::Int)},
               {QStringLiteral("dBBuoPROTDATA"), VoNull(QMetaType::QDate)},
               {QStringLiteral("sBBuoPROTNUM"), VoNull(QMetaType::QString)},
               {QStringLiteral("iBBuoIMPORTO"), amount},
               {QStringLiteral("iBBuoRicogniz"), 0},
               {QStringLiteral("iItbId"), VoNull(QMetaType::Int)}});
    return id;
}

int VoTestGood(int loadingVoucherId, int number, qint64 value, int category, int sector, int site,
               const QString &subCode) {
    const int id = VoTestNewKey(QStringLiteral("TBINB_BENI"));
    const QVariant none = VoNull(QMetaType::Int);
    VoExecSQL(QString::fromLatin1(kvbSQLInbInsert),
              {{QStringLiteral("VOGENID"), id},
               {QStringLiteral("iBInbNUMERO"), number},
               {QStringLiteral("sBInbDESC"), QStringLiteral("Bene %1").arg(number)},
               {QStringLiteral("sBInbNOTE"), VoNull(QMetaType::QString)},
               {QStringLiteral("iBBuoID"), loadingVoucherId},
               {QStringLiteral("iBInbIMPORTO"), value},
               {QStringLiteral("ICAMID"), IdOrNull(category)},
               {QStringLiteral("ICAEID"), none},
               {QStringLiteral("ICAVID"), none},
               {QStringLiteral("ICONDID"), none},
               {QStringLiteral("IAVAID"), int(kvbCaricoProvvisorio)},
               {QStringLiteral("ISECID"), IdOrNull(sector)},
               {QStringLiteral("sBInbLIBTITOLO"), VoNull(QMetaType::QString)},
               {QStringLiteral("sBInbLIBAUTORE"), VoNull(QMetaType::QString)},
               {QStringLiteral("sBInbLIBEDITORE"), VoNull(QMetaType::QString)},
               {QStringLiteral("IVPROID"), none},
               {QStringLiteral("ISEDINFID"), IdOrNull(site)},
               {QStringLiteral("ICLCID"), none},
               {QStringLiteral("iBInbAnnoAssunz"), none},
               {QStringLiteral("sBInbMatricola"), VoNull(QMetaType::QString)},
               {QStringLiteral("sBInbCodNumero"), TextOrNull(subCode)}});
    return id;
}

int VoTestCausal(int kind) {
    const int id = VoTestNewKey(QStringLiteral("TCAV_CAUSALIINV"));
    VoExecSQL(QStringLiteral("INSERT INTO TCAV_CAUSALIINV (ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO) "
                             "VALUES (:id, :cod, :cod, :tipo)"),
              {{QStringLiteral("id"), id},
               {QStringLiteral("cod"), QStringLiteral("C%1").arg(id)},
               {QStringLiteral("tipo"), kind}});
    return id;
}

void VoTestDischarge(int goodId, int unloadingVoucherId, int causalId) {
    VoExecSQL(QString::fromLatin1(kvbSQLInbScaricoRicognizione),
              {{QStringLiteral("ICAVID"), IdOrNull(causalId)},
               {QStringLiteral("iBBuoIDSCA"), unloadingVoucherId},
               {QStringLiteral("iBInbID"), goodId}});
}

void VoTestDischargeAt(int goodId, int unloadingVoucherId, int causalId, qint64 value) {
    VoExecSQL(QString::fromLatin1(kvbSQLInbScarico), {{QStringLiteral("ICAVIDSCARICO"), IdOrNull(causalId)},
                                                      {QStringLiteral("iBBuoID"), unloadingVoucherId},
                                                      {QStringLiteral("iBInbIMPORTO"), value},
                                                      {QStringLiteral("iBInbID"), goodId}});
}

void VoTestMakeDefinitive(int voucherId, int kind) {
    VoExecSQL(kind == 0 ? QStringLiteral("EXECUTE PROCEDURE PKVB_DEFBUONO_CARICO(:iBBuoID)")
                        : QStringLiteral("EXECUTE PROCEDURE PKVB_DEFBUONO_SCARICO(:iBBuoID)"),
              {{QStringLiteral("iBBuoID"), voucherId}});
}

void VoGoodsTest::SetUp() {
    VoDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    const QList<int> years =
        VoTestOpenRegister(QStringLiteral("Inventario di prova"), 5, {2025, 2026}, &facId);
    year2025 = years.value(0);
    year2026 = years.value(1);
}

void VoGoodsTest::TearDown() {
    xgvmGlobalVar.Clear();
    kvb::ResetWorkingContext();
    VoDbTest::TearDown();
}

void VoGoodsTest::WorkIn2026() {
    xgvmGlobalVar.Add(ParRegisterYear, QString::number(year2026));
    kvb::LoadWorkingContext(true);
    CurrentRegisterType = 5;
}
