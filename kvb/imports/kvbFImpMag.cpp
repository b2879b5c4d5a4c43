#include "kvbFImpMag.h"

#include "AbcUContext.h"
#include "AbcUMagazzino.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStringGrid.h"

namespace {

const char *const kListSQL =
    "SELECT mgm.*, tbu.sTbuDescS, mgm_c.ibenid AS BenCarico FROM TMgm_MovMagazzino mgm  LEFT JOIN "
    "TTbu_TipiBuoni tbu on (mgm.iTbuId = tbu.iTbuId)  LEFT JOIN TMgm_MovMagazzino mgm_c on (mgm.imgmid_p = "
    "mgm_c.imgmid) WHERE (mgm.iTbuId=16) AND       (mgm.imgmid not in (select distinct imgmid              "
    "        from tbbuo_buoni                      where imgmid is not null)) AND       "
    "(mgm.iMgmEsercizioFin=:iEsFin) ORDER BY mgm.sMgmCod DESC;";
// Every row of the movement, each priced on its own rule.
const char *const kRowsSQL =
    "SELECT mga.IMGMARTID, mga.ISECID, art.SARTCOD, art.SARTDESCS, mga.FMGMARTQUANTITA, art.IMERID, "
    "sec.SSECDESCS, mga.BMGMARTNOTE, alv.FALVIVA, " ABC_SQL_MAG_UNIT_AMOUNT
    " FROM TMGMART mga INNER JOIN TMGM_MOVMAGAZZINO mgm ON (mga.IMGMID = mgm.IMGMID) INNER JOIN "
    "TART_ARTICOLI art ON (mga.IARTID = art.IARTID) LEFT JOIN TALV_ALIQUOTEIVA alv ON (mga.IALVID = "
    "alv.IALVID) LEFT JOIN TSEC_SETTCONS sec ON (mga.ISECID = sec.ISECID)" ABC_SQL_MAG_LOAD_ROW
    "WHERE mga.IMGMID = :imgmid ORDER BY mga.IMGMARTID";
const char *const kStillFreeSQL = "SELECT IMGMID FROM TMGM_MOVMAGAZZINO WHERE (IMGMID = :IMGMID) AND NOT "
                                  "EXISTS (SELECT 1 FROM TBBuo_Buoni WHERE IMGMID = :IMGMID)";
const char *const kDocumentsSQL =
    "INSERT INTO TBbuoidc (IBbuoidcid,Iidcid,IBbuoid) SELECT   (SELECT l_icntid FROM "
    "PYSetGetId('TBBUOIDC',0)), Iidcid, :IBbuoid    FROM Tmgmidc WHERE imgmid=:imgmid;";
const char *const kGoodSQL =
    "INSERT INTO TBInb_Beni  (iBInbID,iBInbNUMERO,sBInbDESC,ICAMID,iBBuoID,iBInbIMPORTO,ICONDID,   "
    "IAVAID,ISECID,ISEDINFID,iBInbAnnoAssunz,icaeid, sBInbNote, sBInbLibTitolo)  VALUES "
    "(:iBInbID,:iBInbNUMERO,:sBInbDESC,:ICAMID,:iBBuoID,:iBInbIMPORTO,:ICONDID,   "
    ":IAVAID,:ISECID,:ISEDINFID,:iBInbAnnoAssunz,(select icaeid from Tcae_Categmerce cae where "
    "(cae.Icamid=:icamid) and (cae.imerid=:imerid)),   :sBInbNote, :sBInbLibTitolo) ";
// A minute attached to several rows of the article in the load links to the good once.
const char *const kMinutesSQL =
    "INSERT INTO TBInbVer (iBInbVerId,iVerId,iBInbId) SELECT   (SELECT l_icntid FROM "
    "PYSetGetId('TBINBVER',0)),   v.iVerId,   :iBInbId  FROM (SELECT DISTINCT mav.iVerId FROM TmgmArtVer "
    "mav   inner join Tmgmart ma_c on (mav.Imgmartid=ma_c.Imgmartid)   inner join Tmgm_Movmagazzino mgm_c "
    "on (ma_c.imgmid=mgm_c.imgmid)   inner join Tmgm_Movmagazzino mgm_s on (mgm_c.imgmid=mgm_s.imgmid_p)   "
    "inner join Tmgmart ma_s on (mgm_s.Imgmid=ma_s.Imgmid and ma_s.iartid=ma_c.iartid)  WHERE "
    "ma_s.imgmartid=:imgmartid) v";

const int kBooks = 8;

} // namespace

TfmkvbImpMag::TfmkvbImpMag(QWidget *parent)
    : TfmkvbImpWizard(parent, QStringLiteral("Importa da buono di scarico del magazzino"), colCount) {
    sgBuoni->AddColumn(QStringLiteral("SMGMCOD"), QStringLiteral("Codice"), 80);
    sgBuoni->AddColumn(QStringLiteral("STBUDESCS"), QStringLiteral("Tipo buono"), 250);
    sgBuoni->AddColumn(QStringLiteral("DMGMDATAMOVIMENTO"), QStringLiteral("Data Movimento"), 100);
    SetList(QString::fromLatin1(kListSQL), QStringLiteral("iEsFin"), CurrentRegYear);
}

QVariant TfmkvbImpMag::MovementId() const {
    return xqcBuoni->FieldByName(QStringLiteral("IMGMID"))->Value();
}

void TfmkvbImpMag::LoadUnits() {
    TVoQuery rows(QString::fromLatin1(kRowsSQL));
    rows.SetParam(QStringLiteral("imgmid"), MovementId());
    const auto text = [&rows](const char *field) { return rows.AsString(QString::fromLatin1(field)); };
    for (rows.Open(); !rows.Eof(); rows.Next()) {
        TUnit unit;
        unit.sectorId = text("ISECID");
        unit.code = text("SARTCOD");
        unit.desc = text("SARTDESCS");
        const bool addVat = rows.AsInteger(QStringLiteral("ADDVAT")) == 1;
        unit.price = kvbImpPrice(rows.AsLargeInt(QStringLiteral("IMPORTO")),
                                 addVat ? rows.AsFloat(QStringLiteral("FALVIVA")) : 0.0);
        unit.sector = text("SSECDESCS");
        unit.merId = text("IMERID");
        unit.movementRow = text("IMGMARTID");
        unit.note = text("BMGMARTNOTE");
        AppendUnits(rows.AsFloat(QStringLiteral("FMGMARTQUANTITA")), unit);
    }
}

bool TfmkvbImpMag::Post() {
    // The movement's row serialises two imports of it; the voucher's unique key backs the check.
    VoLockRow(QStringLiteral("TMGM_MOVMAGAZZINO"), QStringLiteral("IMGMID"), MovementId());
    if (VoSelectValue(QString::fromLatin1(kStillFreeSQL), {{QStringLiteral("IMGMID"), MovementId()}})
            .isNull())
        return false;
    const int voucher =
        InsertVoucher(QStringLiteral("BUONO DI CARICO DA MAGAZZINO (SCARICO DEL MAGAZZINO NUMERO %1)")
                          .arg(xqcBuoni->FieldByName(QStringLiteral("SMGMCOD"))->AsString()),
                      xqcBuoni->FieldByName(QStringLiteral("DMGMDATAMOVIMENTO"))->AsDate(), MovementId(),
                      xqcBuoni->FieldByName(QStringLiteral("BENCARICO"))->Value());
    VoExecSQL(QString::fromLatin1(kDocumentsSQL),
              {{QStringLiteral("IBbuoid"), voucher},
               {QStringLiteral("imgmid"), xqcBuoni->FieldByName(QStringLiteral("IMGMID_P"))->Value()}});
    for (int row = 1; row < sgArticoli->RowCount(); ++row) {
        const QString desc = sgArticoli->Cells(colDesc, row);
        const int good = InsertGood(kGoodSQL, row, voucher,
                                    {{QStringLiteral("sBInbNote"), sgArticoli->Cells(colNote, row).left(255)},
                                     {QStringLiteral("sBInbLibTitolo"),
                                      CellId(colCatId, row) == kBooks ? desc : QStringLiteral("")}});
        VoExecSQL(QString::fromLatin1(kMinutesSQL),
                  {{QStringLiteral("iBInbId"), good},
                   {QStringLiteral("imgmartid"), CellIdOrNull(colMgmArtId, row)}});
    }
    UpdateAmount(voucher);
    return true;
}
