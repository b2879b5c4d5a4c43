#include "AbiUCom.h"

#include "AbiFSearchLoco.h"
#include "AbiMCom.h"
#include "VoConnection.h"
#include "VoDBLookupEdit.h"
#include "VoQueryCollection.h"

const char *const kPlacesWithStateSQL =
    " SELECT TSRPC.ISRPCID, TCOM_COMUNI.SCOMDESC, TCOM_COMUNI.SCOMBILINGUA, TPRO_PROVINCE.SPRODESC, "
    "TPRO_PROVINCE.SPROSIGLA, TPRO_PROVINCE.SPROBILINGUA, (SCOMDESC ||  ' (' || SPROSIGLA || ')' || ' - ' || "
    "SSTALDESC) AS COMUNE, TSTA_STATI.ISTAID FROM TSRPC INNER JOIN TSTA_STATI ON (TSRPC.ISTAID = "
    "TSTA_STATI.ISTAID AND TSTA_STATI.DDELETE IS NULL) INNER JOIN TPRO_PROVINCE ON (TSRPC.IPROID = "
    "TPRO_PROVINCE.IPROID AND TPRO_PROVINCE.DDELETE IS NULL) INNER JOIN TCOM_COMUNI ON (TSRPC.ICOMID = "
    "TCOM_COMUNI.ICOMID AND TCOM_COMUNI.DDELETE IS NULL) WHERE ##WHERE## AND TSRPC.DDELETE IS NULL";
const char *const kPlacesWithoutStateSQL =
    " SELECT TSRPC.ISRPCID, TCOM_COMUNI.SCOMDESC, TCOM_COMUNI.SCOMBILINGUA, TPRO_PROVINCE.SPRODESC, "
    "TPRO_PROVINCE.SPROSIGLA, TPRO_PROVINCE.SPROBILINGUA, (TCOM_COMUNI.SCOMDESC ||  ' (' ||  "
    "TPRO_PROVINCE.SPROSIGLA || ')' ) AS COMUNE FROM TSRPC INNER JOIN TCOM_COMUNI ON (TSRPC.ICOMID = "
    "TCOM_COMUNI.ICOMID) INNER JOIN TPRO_PROVINCE ON (TSRPC.IPROID = TPRO_PROVINCE.IPROID) WHERE ##WHERE## "
    "AND TSRPC.DDELETE IS NULL";

const char *const kPlacesInForceSQL =
    " SELECT TSRPC.ISRPCID, TCOM_COMUNI.SCOMDESC, TCOM_COMUNI.SCOMBILINGUA, TPRO_PROVINCE.SPRODESC, "
    "TPRO_PROVINCE.SPROSIGLA, TPRO_PROVINCE.SPROBILINGUA, (TCOM_COMUNI.SCOMDESC ||  ' (' ||  "
    "TPRO_PROVINCE.SPROSIGLA || ')' ) AS COMUNE FROM TSRPC INNER JOIN TCOM_COMUNI ON (TSRPC.ICOMID = "
    "TCOM_COMUNI.ICOMID) INNER JOIN TPRO_PROVINCE ON (TSRPC.IPROID = TPRO_PROVINCE.IPROID) WHERE "
    "TSRPC.DDELETE IS NULL AND TSRPC.DEND IS NULL AND TCOM_COMUNI.DEND IS NULL AND TPRO_PROVINCE.DEND IS "
    "NULL "
    "AND TCOM_COMUNI.DDELETE IS NULL AND TPRO_PROVINCE.DDELETE IS NULL ORDER BY TPRO_PROVINCE.IPROID";

namespace {

// The places of the state :ISTAID.
const char *const kPlacesOfStateSQL =
    " SELECT TSRPC.ISRPCID, TCOM_COMUNI.SCOMDESC, TCOM_COMUNI.SCOMBILINGUA, TPRO_PROVINCE.SPRODESC, "
    "TPRO_PROVINCE.SPROSIGLA, TPRO_PROVINCE.SPROBILINGUA, (TCOM_COMUNI.SCOMDESC ||  ' (' ||  "
    "TPRO_PROVINCE.SPROSIGLA || ')' || ' - '  || SSTALDESC) AS COMUNE, TSTA_STATI.ISTAID FROM TSRPC INNER "
    "JOIN TSTA_STATI ON (TSRPC.ISTAID = TSTA_STATI.ISTAID AND TSTA_STATI.ISTAID = :ISTAID AND "
    "TSTA_STATI.DDELETE IS NULL) INNER JOIN TPRO_PROVINCE ON (TSRPC.IPROID = TPRO_PROVINCE.IPROID AND "
    "TPRO_PROVINCE.DDELETE IS NULL) INNER JOIN TCOM_COMUNI ON (TSRPC.ICOMID = TCOM_COMUNI.ICOMID AND "
    "TCOM_COMUNI.DDELETE IS NULL) WHERE TSRPC.DDELETE IS NULL ORDER BY TPRO_PROVINCE.IPROID";

} // namespace

void SetPlacesOfStateSearch(TVoDBLookupEdit *lookup, TVoSearchDialog *form) {
    form->SetSQL(QString::fromLatin1(kPlacesOfStateSQL));
    if (!qobject_cast<TfmSearchLoco *>(form)) {
        const int state = lookup->ListValue(QStringLiteral("ISTAID")).toInt();
        form->SetParam(QStringLiteral("ISTAID"), state > 0 ? state : kHomeStateId);
    }
}

void ShowPlacesSearchForm(TVoDBLookupEdit *lookup, TVoSearchDialog *form) {
    form->ShowColumns(QStringLiteral("Comuni"), 500,
                      {{1, QStringLiteral("Comune"), 300}, {3, QStringLiteral("Provincia"), 150}});
    if (auto *places = qobject_cast<TfmSearchLoco *>(form)) {
        places->SelectState(lookup->ListValue(QStringLiteral("ISTAID")).toInt());
        places->DataSet()->Close();
    }
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
