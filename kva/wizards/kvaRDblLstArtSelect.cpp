#include "kvaRDblLstArtSelect.h"

#include "VoQuery.h"

namespace {

const char *const kArticlesSQL =
    "SELECT far.iFarId, far.sFarSDesc, far.sFarLDesc, caf.sCafDesc FROM TFar_FacArticoli far "
    "LEFT JOIN TCaf_CategorieFac caf ON (far.iCafId = caf.iCafId) "
    "LEFT JOIN TAlv_AliquoteIva alv ON (far.iAlvId = alv.iAlvId) "
    "WHERE (1=1) /*AND VORPTFILTER*/";

} // namespace

TfrKvaDblLstArtSelect::TfrKvaDblLstArtSelect(QWidget *parent)
    : TfrAbcDblLstSelect({QStringLiteral("frKvaDblLstArtSelect"), QStringLiteral("Articoli disponibili"),
                          QStringLiteral("Articoli selezionati"), QStringLiteral("KVA_ARTFL"),
                          QStringLiteral("KVA"), QStringLiteral("kva")},
                         parent) {
    SetFilter(TVoFilterCondition());
}

QString TfrKvaDblLstArtSelect::ListSQL() const {
    return QString::fromLatin1(kArticlesSQL);
}

QTreeWidgetItem *TfrKvaDblLstArtSelect::NewListItem(const TVoQuery &q) const {
    return NewItem(q.AsString(QStringLiteral("sFarSDesc")),
                   {q.AsString(QStringLiteral("sFarLDesc")), q.AsString(QStringLiteral("sCafDesc"))},
                   q.AsInteger(QStringLiteral("iFarId")));
}
