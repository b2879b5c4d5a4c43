#include "kvbUFinestreBuoni.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoQueryCollection.h"
#include "kvbUUtil.h"

#include <QAction>

namespace {

const char *const kVouchersSQL =
    "SELECT BUO.iBBuoID, BUO.IBENID, BUO.iBBuoNUMERO, BUO.dBBuoDATA, BUO.sBBuoDESC, BUO.IDELID, "
    "BUO.dBBuoPROTDATA, BUO.iBBuoRicogniz, BUO.sBBuoPROTNUM, BUO.iBBuoIMPORTO, BUO.ILOCKED, BUO.iItbId, "
    "(SELECT BEN.SBENRAGSOC FROM TBEN_BENEFICIARI BEN WHERE BEN.IBENID = BUO.IBENID) AS SBENRAGSOC, "
    "(SELECT SUM(%4) FROM TBInb_Beni INB WHERE INB.%1 = BUO.iBBuoID) AS IBENIIMP "
    "FROM TBBuo_Buoni BUO WHERE BUO.iBBuoTIPO = %2 AND BUO.IDwgFacAnfID = :IDwgFacAnfID %3"
    "ORDER BY BUO.iBBuoNUMERO";
const char *const kNotCorrectCondition =
    "AND BUO.iBBuoIMPORTO<>(SELECT SUM(%2) FROM TBInb_Beni INB WHERE INB.%1=BUO.iBBuoID) ";
// A loading voucher's goods count at what they were worth when it loaded them, whatever a discharge
// wrote since; an unloading voucher's at their value at discharge.
// The date is read from the good's own voucher: an aggregate naming the outer voucher would belong to
// the outer query.
const char *const kLoadedValue = "FKVB_IMPORTOALLADATA(INB.iBInbID, (SELECT L.dBBuoDATA FROM TBBuo_Buoni L "
                                 "WHERE L.iBBuoID = INB.iBBuoID))";
const char *const kDischargedValue = "INB.iBInbIMPORTO";

const char *const kDocumentsSQL =
    "SELECT bi.iBBuoIdcId, idc.iIdcId, idc.sIdcNumero, idc.dIdcData, idc.sIdcDesc, ben.iBenId, "
    "ben.sBenRagSoc, "
    "tid.sTidDesc, buo.iLocked FROM TBBuoIdc bi INNER JOIN TIdc_InvDoc idc ON (idc.iIdcId = bi.iIdcId) LEFT "
    "JOIN TBen_Beneficiari ben ON (ben.iBenId = idc.iBenId) LEFT JOIN TTid_TipoInvDoc tid ON (tid.iTidId = "
    "idc.iTidId) INNER JOIN TBBuo_Buoni buo ON (buo.iBBuoId = bi.iBBuoId) WHERE bi.iBBuoId = :iBBuoId";
const char *const kDocInsertSQL =
    "INSERT INTO TBBuoIdc (iBBuoIdcId, iBBuoId, iIdcId) VALUES (:VOGENID, :iBBuoId, :iIdcId)";
const char *const kDocSupplierSQL = "UPDATE TBBuo_Buoni SET iBenId = :iBenId WHERE iBBuoId = :iBBuoId;";

const char *const kDocDeleteSQL = "DELETE FROM TBBuoIdc WHERE iBBuoIDCID=:VOCURRID;";

} // namespace

void kvbSetUpCollection(TVoQueryCollection *collection, const QString &sql) {
    collection->SetConnection(qqoVoGlobConn);
    collection->SetAutoBuildSQL(false);
    collection->SetPacketRecords(25);
    collection->SetConfirmations(cfTrash | cfDisable | cfDelete);
    QString text = sql;
    ReplaceCurrDwg(text);
    collection->SetCommandText(text);
    RebuildParamsFromSQL(collection);
}

void kvbSetLists(TVoQueryCollection *collection, std::initializer_list<const char *> inserts,
                 std::initializer_list<const char *> updates, std::initializer_list<const char *> deletes) {
    for (auto [list, texts] :
         {std::pair{&collection->SQLInsert, inserts}, std::pair{&collection->SQLUpdate, updates},
          std::pair{&collection->SQLDelete, deletes}}) {
        list->Clear();
        for (const char *text : texts)
            list->Add(CurrDwgReplaced(text));
    }
}

void kvbSortColumnsOnTheirFields(TVoDBGrid *grid) {
    grid->ColsIndex().Clear();
    for (int column = 0; column < grid->ColumnCount(); ++column)
        grid->ColsIndex().Add(column, grid->ColumnField(column));
}

QAction *kvbNewAction(QObject *owner, const char *caption) {
    return new QAction(QString::fromUtf8(caption), owner);
}

QString kvbVouchersSQL(int kind, bool notCorrect) {
    const QString owner = kind == kvbLoading ? QStringLiteral("iBBuoID") : QStringLiteral("iBBuoIDSCARICO");
    const QString value = QString::fromLatin1(kind == kvbLoading ? kLoadedValue : kDischargedValue);
    QString text =
        QString::fromLatin1(kVouchersSQL)
            .arg(owner, QString::number(kind),
                 notCorrect ? QString::fromLatin1(kNotCorrectCondition).arg(owner, value) : QString(), value);
    ReplaceCurrDwg(text);
    return text;
}

void kvbSetUpDocuments(TVoQueryCollection *documents, int kind) {
    kvbSetUpCollection(documents, QString::fromLatin1(kDocumentsSQL));
    if (kind == kvbLoading)
        kvbSetLists(documents, {kDocInsertSQL, kDocSupplierSQL}, {}, {kDocDeleteSQL});
    else
        kvbSetLists(documents, {kDocInsertSQL}, {}, {kDocDeleteSQL});
}
