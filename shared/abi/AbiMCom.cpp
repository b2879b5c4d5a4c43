#include "AbiMCom.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"

TdmComuni *dmComuni = nullptr;

const char *const kComuniEsteriSQL =
    " SELECT TSRPC.ISRPCID, TSRPC.ISTAID, TSRPC.ICOMID, TSRPC.SSRPCCODCATA, TSRPC.SSRPCCOMRISTAT, "
    "TCOM_COMUNI.SCOMDESC, TSTA_STATI.SSTALDESC FROM TSRPC INNER JOIN TCOM_COMUNI ON (TSRPC.ICOMID = "
    "TCOM_COMUNI.ICOMID) INNER JOIN TSTA_STATI ON (TSRPC.ISTAID = TSTA_STATI.ISTAID) WHERE TSTA_STATI.ISTAID "
    "<> %1 ORDER BY TSTA_STATI.ISTAID";

namespace {

const char *const kComuneInsertSQL =
    " INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:VOGENID, :SCOMDESC, '0001/01/01')";
const char *const kPlaceInsertSQL =
    " INSERT INTO TSRPC (ISRPCID, ISTAID, ICOMID, DSTART, IPROID, SSRPCCOMRISTAT, SSRPCCODCATA) VALUES "
    "(:VOGENID, :ISTAID, :ICOMID, '0001/01/01', %1, :SSRPCCOMRISTAT, :SSRPCCODCATA)";
const char *const kPlaceDeleteSQL = " DELETE FROM TSRPC WHERE (TSRPC.ISRPCID = :VOCURRID)";
const char *const kComuneDeleteSQL = " DELETE FROM TCOM_COMUNI WHERE (TCOM_COMUNI.ICOMID = :ICOMID)";
const char *const kComuneUpdateSQL =
    " UPDATE TCOM_COMUNI SET TCOM_COMUNI.SCOMDESC = :SCOMDESC WHERE (TCOM_COMUNI.ICOMID = (SELECT "
    "TSRPC.ICOMID FROM TSRPC WHERE (TSRPC.ISRPCID = :VOCURRID)))";
const char *const kPlaceUpdateSQL =
    " UPDATE TSRPC SET TSRPC.ISTAID = :ISTAID, TSRPC.SSRPCCOMRISTAT = :SSRPCCOMRISTAT, TSRPC.SSRPCCODCATA = "
    ":SSRPCCODCATA WHERE (TSRPC.ISRPCID = :VOCURRID)";

// The municipality as the database has it: a place added since the list was read holds none in
// the list.
const char *const kMunicipalityOfPlaceSQL = "SELECT TSRPC.ICOMID FROM TSRPC WHERE TSRPC.ISRPCID = :ISRPCID";
const char *const kPlaceUsersSQL =
    "SELECT IANAID FROM TANA_ANAGRAFICHE WHERE ISRPCID = :ISRPCID UNION ALL SELECT ICOMCAPID FROM TCOMCAP "
    "WHERE ISRPCID = :ISRPCID UNION ALL SELECT IBANID FROM TBAN_BANCHE WHERE ISRPCID = :ISRPCID UNION ALL "
    "SELECT ISPRID FROM TSPR_SPORTELLICAB WHERE ISRPCID = :ISRPCID UNION ALL SELECT ILEGID FROM "
    "TLEG_DATILEGALI WHERE ILEGSRPCCCIA = :ISRPCID OR ILEGSRPCTRIBUN = :ISRPCID OR ILEGSRPCPREFETT = "
    ":ISRPCID";

QString Text(const char *sql) {
    return QString::fromUtf8(sql);
}

bool Is(const TVoQueryProp &prop, const char *table, int listKind, int index) {
    return prop.TableName == QLatin1String(table) && prop.ListKind == listKind && prop.Index == index;
}

} // namespace

TdmComuni::TdmComuni(QObject *parent) : QObject(parent), xqcComuniEsteri(new TVoQueryCollection(this)) {
    setObjectName(QStringLiteral("dmComuni"));
    xqcComuniEsteri->setObjectName(QStringLiteral("xqcComuniEsteri"));
    DataModuleCreate();
}

void TdmComuni::DataModuleCreate() {
    TVoQueryCollection *c = xqcComuniEsteri;
    c->SetCommandText(Text(kComuniEsteriSQL).arg(kHomeStateId));
    c->SQLInsert.Add(Text(kComuneInsertSQL));
    c->SQLInsert.Add(Text(kPlaceInsertSQL).arg(kForeignProvinceId));
    c->SQLDelete.Add(Text(kPlaceDeleteSQL));
    c->SQLDelete.Add(Text(kComuneDeleteSQL));
    c->SQLUpdate.Add(Text(kComuneUpdateSQL));
    c->SQLUpdate.Add(Text(kPlaceUpdateSQL));

    // A place in use is kept whole: checked in the deletion's transaction, with the place locked so
    // that no other copy names it meanwhile.
    c->BeforeWrite.Add([c](TVoQueryCollection *, int listKind) {
        if (listKind != skDelete)
            return;
        const QVariant place = c->FieldByName(QStringLiteral("ISRPCID"))->Value();
        VoLockRow(QStringLiteral("TSRPC"), QStringLiteral("ISRPCID"), place, c->Connection());
        TVoQuery users(Text(kPlaceUsersSQL), c->Connection());
        if (!users.SetParam(QStringLiteral("ISRPCID"), place).Open().IsEmpty())
            throw EVoError(PlaceInUseMessage);
    });
    c->VoBeforeExec.Add([this, c](TVoQueryCollection *, TVoQueryProp &prop, bool &) {
        if (Is(prop, "TSRPC", skInsert, 1) || Is(prop, "TCOM_COMUNI", skDelete, 1)) {
            prop.Values.Add(QStringLiteral("ICOMID"), CurrentComId);
        } else if (Is(prop, "TSRPC", skDelete, 0)) {
            const QVariant place = c->FieldByName(QStringLiteral("ISRPCID"))->Value();
            CurrentComId = VoSelectValue(Text(kMunicipalityOfPlaceSQL), {{QStringLiteral("ISRPCID"), place}},
                                         c->Connection())
                               .toInt();
        }
    });
    c->VoAfterExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop) {
        if (Is(prop, "TCOM_COMUNI", skInsert, 0))
            CurrentComId = prop.Values.Value(QStringLiteral("VOGENID")).toInt();
    });
}

bool EnsureComuniModule() {
    if (dmComuni)
        return true;
    if (!qqoVoGlobConn)
        return false;
    dmComuni = new TdmComuni;
    dmComuni->xqcComuniEsteri->SetConnection(qqoVoGlobConn);
    return true;
}
