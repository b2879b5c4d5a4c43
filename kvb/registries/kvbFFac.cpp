#include "kvbFFac.h"

namespace {

const char *const kListSQL =
    "SELECT fac.iFacId, fac.SFacDESC, fac.ITFcID, tfc.STfcLDESC FROM TFac_Velisto fac  LEFT JOIN "
    "TTfc_TipoVelist tfc ON (fac.iTfcId = tfc.iTfcId) WHERE ((tfc.ITFCID=5) OR (tfc.ITFCID=7)) ORDER BY "
    "fac.sFacDesc";
const char *const kInsertSQL =
    "INSERT INTO TFac_Velisto (iFacId, sFacDesc, iTfcId) VALUES (:VOGENID, :sFacDesc, :iTfcId);";
const char *const kUpdateSQL =
    "UPDATE TFac_Velisto SET sFacDesc=:sFacDesc, iTfcId=:iTfcId WHERE iFacId=:VOCURRID;";

TAbcFacProfile Profile() {
    return {.DurableGoods = true,
            .ListSQL = QString::fromLatin1(kListSQL),
            .InsertSQL = QString::fromLatin1(kInsertSQL),
            .UpdateSQL = QString::fromLatin1(kUpdateSQL)};
}

} // namespace

TfrkvbTFac::TfrkvbTFac(QWidget *parent) : TfrAbcTFac(QStringLiteral("Tipo Velisto"), parent) {
    setObjectName(QStringLiteral("frkvbFac"));
}

TfmkvbFac::TfmkvbFac(QWidget *parent) : TfmAbcFac(Profile(), new TfrkvbTFac, parent) {
    setObjectName(QStringLiteral("fmkvbFac"));
    frkvbFac = static_cast<TfrkvbTFac *>(Frame());
}
