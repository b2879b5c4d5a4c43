#include "kvbFImpVelist.h"

#include "AbcUContext.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStringGrid.h"

namespace {

const char *const kListSQL =
    "SELECT buo.* FROM TFBuo_Buoni buo  INNER JOIN TDwgFacAnf dfa ON (buo.iDwgFacAnfId = dfa.iDwgFacAnfId)  "
    "INNER JOIN TAnf_AnniFinanz anf ON (dfa.iAnfId = anf.iAnfId) WHERE (buo.sFBuoUse='BENDUR') AND       "
    "(anf.iAnfValore=:iAnfValore);";
const char *const kGoodsSQL =
    "SELECT iAfcId, sFarSDesc, fAfcQuantita, fAfcCostoUnit, iMerId, sFarLDesc, iAlvId, "
    "fAlvIva, iSecId, sSecDescS FROM VAfc_ArtVelist   WHERE iFBuoId=:iFBuoId;";
// Claims the source: only a voucher still marked is taken, so a second import finds no row.
const char *const kClaimSQL =
    "UPDATE TFBuo_Buoni SET sFBuoUse='BENDUR_IMP' WHERE (iFBuoId = :iFBuoId) AND (sFBuoUse = 'BENDUR')";
const char *const kGoodSQL =
    "INSERT INTO TBInb_Beni  (iBInbID,iBInbNUMERO,sBInbDESC,ICAMID,iBBuoID,iBInbIMPORTO,ICONDID,   "
    "IAVAID,ISECID,ISEDINFID,iBInbAnnoAssunz,icaeid)  VALUES (:iBInbID,:iBInbNUMERO,:sBInbDESC,:ICAMID,"
    ":iBBuoID,:iBInbIMPORTO,:ICONDID,   :IAVAID,:ISECID,:ISEDINFID,:iBInbAnnoAssunz,(select icaeid from "
    "Tcae_Categmerce cae where (cae.Icamid=:icamid) and (cae.imerid=:imerid))) ";

} // namespace

TfmkvbImpVelist::TfmkvbImpVelist(QWidget *parent)
    : TfmkvbImpWizard(parent, QStringLiteral("Importa da buono di scarico del velisto"), colCount) {
    sgBuoni->AddColumn(QStringLiteral("IFBUONUMERO"), QStringLiteral("Codice"), 80);
    sgBuoni->AddColumn(QStringLiteral("SFBUODESC"), QStringLiteral("Descrizione"), 250);
    sgBuoni->AddColumn(QStringLiteral("DFBUODATA"), QStringLiteral("Data Movimento"), 100);
    SetList(QString::fromLatin1(kListSQL), QStringLiteral("iAnfValore"), CurrentRegYear);
}

QVariant TfmkvbImpVelist::SourceId() const {
    return xqcBuoni->FieldByName(QStringLiteral("IFBUOID"))->Value();
}

void TfmkvbImpVelist::LoadUnits() {
    TVoQuery rows(QString::fromLatin1(kGoodsSQL));
    rows.SetParam(QStringLiteral("iFBuoId"), SourceId());
    const auto text = [&rows](const char *field) { return rows.AsString(QString::fromLatin1(field)); };
    for (rows.Open(); !rows.Eof(); rows.Next()) {
        TUnit unit;
        unit.sectorId = text("ISECID");
        unit.code = text("SFARSDESC");
        unit.desc = text("SFARLDESC");
        // An unloading row carries the average cost, which holds the VAT whatever the register's flag.
        unit.price = kvbImpCost(rows.AsFloat(QStringLiteral("FAFCCOSTOUNIT")));
        unit.sector = text("SSECDESCS");
        unit.merId = text("IMERID");
        AppendUnits(rows.AsFloat(QStringLiteral("FAFCQUANTITA")), unit);
    }
}

bool TfmkvbImpVelist::Post() {
    if (VoExecSQL(QString::fromLatin1(kClaimSQL), {{QStringLiteral("iFBuoId"), SourceId()}}) != 1)
        return false;
    const int voucher =
        InsertVoucher(QStringLiteral("BUONO DI CARICO DA VELISTO (NUMERO %1)")
                          .arg(xqcBuoni->FieldByName(QStringLiteral("IFBUONUMERO"))->AsString()),
                      xqcBuoni->FieldByName(QStringLiteral("DFBUODATA"))->AsDate(), QVariant(),
                      xqcBuoni->FieldByName(QStringLiteral("IBENID"))->Value());
    for (int row = 1; row < sgArticoli->RowCount(); ++row)
        InsertGood(kGoodSQL, row, voucher);
    UpdateAmount(voucher);
    return true;
}
