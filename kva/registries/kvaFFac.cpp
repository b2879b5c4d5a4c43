#include "kvaFFac.h"

#include "VoDBEdits.h"
#include "VoQueryCollection.h"
#include "kvaRFac.h"
#include "kvaUUtil.h"

namespace {

const char *const kListSQL =
    "SELECT fac.iFacID, fac.sFacDESC, tfc.iTfcId, tfc.sTfcLDesc, fac.iFacNumeraz, fac.iFacIvaInclusa "
    "FROM TFac_Velisto fac LEFT JOIN TTfc_TipoVelist tfc ON (fac.iTfcId = tfc.iTfcId) "
    "WHERE " KVA_OWN_REGISTERS("tfc.ITFCID") " ORDER BY fac.sFacDesc";

const char *const kInsertSQL = "INSERT INTO TFac_Velisto (iFacId, sFacDesc, iTfcId, iFacNumeraz, "
                               "iFacIvaInclusa) VALUES (:VOGENID, :sFacDesc, :iTfcId, :iFacNumeraz, "
                               ":iFacIvaInclusa);";
const char *const kUpdateSQL = "UPDATE TFac_Velisto SET sFacDesc=:sFacDesc, iFacNumeraz=:iFacNumeraz, "
                               "iFacIvaInclusa=:iFacIvaInclusa WHERE iFacId=:VOCURRID;";

const char *const kOptionFields[] = {"iFacNumeraz", "iFacIvaInclusa"};

TAbcFacProfile Profile() {
    return {.DurableGoods = false,
            .ListSQL = QString::fromLatin1(kListSQL),
            .InsertSQL = QString::fromLatin1(kInsertSQL),
            .UpdateSQL = QString::fromLatin1(kUpdateSQL)};
}

} // namespace

TfmkvaFac::TfmkvaFac(QWidget *parent) : TfmAbcFac(Profile(), new TfrkvaTFac, parent) {
    setObjectName(QStringLiteral("fmkvaFac"));
    frkvaFac = static_cast<TfrkvaTFac *>(Frame());
    xqcMain->VoAfterExec.Add([this](TVoQueryCollection *s, TVoQueryProp &p) { xqcMainVoAfterExec(s, p); });
    // After the data source's own check of the controls.
    xqcMain->BeforePost.Add([this](TVoQueryCollection *s) { xqcMainBeforePost(s); });
}

void TfmkvaFac::xqcMainVoAfterExec(TVoQueryCollection *, TVoQueryProp &Prop) {
    if (Prop.Kind != skUpdate ||
        xqcMain->FieldByName(QStringLiteral("iFacId"))->AsInteger() != CurrentRegisterId)
        return;
    CurrentNumbering = frkvaFac->xckNumAnnuale->isChecked() ? 1 : 0;
    CurrentVatIncluded = frkvaFac->xckIva->isChecked() ? 1 : 0;
}

// An option never chosen is saved as its box shows it, unticked: the start-up check of the options
// asks for exactly this choice.
void TfmkvaFac::xqcMainBeforePost(TVoQueryCollection *) {
    for (const char *name : kOptionFields) {
        TVoField *f = xqcMain->FieldByName(QString::fromLatin1(name));
        if (f->IsNull())
            f->SetAsInteger(0);
    }
}
