#include "kvbRDblLstInbSelect.h"

#include "AbcUContext.h"
#include "VoQuery.h"
#include "kvbUUtil.h"

namespace {

// The goods are chosen by their keys alone, with the joins on the unloading voucher, the condition and
// the goods code there for the filter's conditions; only then are the shown columns of those goods
// read, so that the engine never sorts whole rows to make them distinct.
const char *const kGoodsSQL =
    "SELECT inb.iBInbId, inb.iBInbNumero, inb.sBInbDesc, inb.iBInbImporto, cam.sCamCodice, sec.sSecDescS "
    "FROM (SELECT DISTINCT inb.iBInbId FROM TBInb_Beni inb INNER JOIN TBBuo_Buoni buo ON (inb.iBBuoId = "
    "buo.iBBuoId) INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId) INNER JOIN TDWGFAC df "
    "ON (dfa.IDWGFACID=df.IDWGFACID) INNER JOIN TCam_CategorieInv cam ON (inb.iCamId = cam.iCamId) INNER "
    "JOIN TSec_SettCons sec ON (inb.iSecId = sec.iSecId) LEFT JOIN TBBuo_Buoni buo_s ON (inb.iBBuoIdScarico "
    "= buo_s.iBBuoId) LEFT JOIN TCond_Condizioni cond ON (inb.iCondId = cond.iCondId) LEFT JOIN "
    "VCae_CategMerce mer ON (inb.iCaeId = mer.iCaeId) WHERE (df.IFACID=:iFacId) AND "
    "(INB.IBINBFUORIREGISTRO=0) AND (inb.iBBuoIdScarico IS NULL) AND (buo.iLocked = 1) /*AND VORPTFILTER*/) "
    "k INNER JOIN TBInb_Beni inb ON (inb.iBInbId = k.iBInbId) INNER JOIN TCam_CategorieInv cam ON "
    "(inb.iCamId = cam.iCamId) INNER JOIN TSec_SettCons sec ON (inb.iSecId = sec.iSecId)";

} // namespace

TfrKvbDblLstInbSelect::TfrKvbDblLstInbSelect(QWidget *parent)
    : TfrAbcDblLstSelect({QStringLiteral("frKvbDblLstInbSelect"), QStringLiteral("Beni disponibili"),
                          QStringLiteral("Beni selezionati"), kvbGoodsFilterCode, kvbXmlList,
                          kvbGoodsFilterProgram},
                         parent) {
    SetFilter(TVoFilterCondition());
}

QString TfrKvbDblLstInbSelect::ListSQL() const {
    return QString::fromLatin1(kGoodsSQL);
}

QVariantHash TfrKvbDblLstInbSelect::ListParams() const {
    return {{QStringLiteral("iFacId"), CurrentRegisterId}};
}

QTreeWidgetItem *TfrKvbDblLstInbSelect::NewListItem(const TVoQuery &q) const {
    // Padded, the numbers sort as text in number order.
    return NewItem(
        QString::number(q.AsInteger(QStringLiteral("iBInbNumero"))).rightJustified(7, QLatin1Char('0')),
        {q.AsString(QStringLiteral("sBInbDesc")), q.AsString(QStringLiteral("sCamCodice")),
         q.AsString(QStringLiteral("sSecDescS"))},
        q.AsInteger(QStringLiteral("iBInbId")));
}
