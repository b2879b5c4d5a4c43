#include "AbcMVpro.h"

#include "VoConnection.h"

TdmVproDBQuery *dmVproDBQuery = nullptr;
int CashFlow = 2;
int TotalType = 1;

namespace {
const char *const kAggregatiSQL =
    "SELECT agg.*, fls.SFLSDESCL, tito.STITODESCL FROM TAGG_AGGREGATI agg INNER JOIN TFLS_FLUSSOCASSA fls ON "
    "(agg.IFLSID = fls.IFLSID) INNER JOIN TTITO_TIPOTOTALE tito ON (agg.ITITOID = tito.ITITOID)";
const char *const kVociSQL =
    "SELECT vpro.IVPROID, vpro.ICORID, vpro.IAGGID, vpro.SVPROCOD, vpro.SVPRODESCS, vpro.SVPRODESCL, "
    "vpro.BVPRONOTE, vpro.LVPRODEFAULT, vpro.DSTART, vpro.DEND, vpro.DDELETE, vpro.ILOCKED, agg.SAGGDESCL "
    "FROM "
    "TVPRO_VOCIPROGETTI vpro INNER JOIN TAGG_AGGREGATI agg ON (vpro.IAGGID = agg.IAGGID) WHERE vpro.DDELETE "
    "IS "
    "NULL";
const char *const kSottoVociSQL =
    "SELECT ISVOID, ICORID, IVPROID, SSVODESCS, SSVODESCL, LSVODEFAULT, DSTART, DEND, DDELETE, ILOCKED FROM "
    "TSVO_SOTTOVOCI WHERE IVPROID = :ivproid AND DDELETE IS NULL";
} // namespace

TdmVproDBQuery::TdmVproDBQuery(QObject *parent)
    : QObject(parent), xqcAggregati(new TVoQueryCollection(this)), xqcVoci(new TVoQueryCollection(this)),
      xqcSottoVoci(new TVoQueryCollection(this)) {
    setObjectName(QStringLiteral("dmVproDBQuery"));
    xqcAggregati->SetCommandText(QString::fromLatin1(kAggregatiSQL));
    xqcVoci->SetCommandText(QString::fromLatin1(kVociSQL));
    xqcSottoVoci->SetCommandText(QString::fromLatin1(kSottoVociSQL));
}

void TdmVproDBQuery::BindConnection(TVoSQLConnection *connection) {
    xqcSottoVoci->SetConnection(connection);
    xqcVoci->SetConnection(connection);
    xqcAggregati->SetConnection(connection);
    qquTmp = connection;
}

bool EnsureVproDBQuery() {
    if (dmVproDBQuery)
        return true;
    auto *module = new TdmVproDBQuery(nullptr);
    try {
        module->BindConnection(qqoVoGlobConn);
    } catch (...) {
        // A module that cannot be bound is discarded without a word; the caller finds it missing.
        delete module;
        return false;
    }
    dmVproDBQuery = module;
    return true;
}
