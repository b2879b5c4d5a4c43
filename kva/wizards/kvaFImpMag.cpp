#include "kvaFImpMag.h"

#include "AbcUMagazzino.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoMessages.h"
#include "VoMoney.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStringGrid.h"
#include "kvaMAtt.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <cmath>

namespace {

const char *const kCheckSQL =
    "SELECT DISTINCT mer.IMERID, mer.SMERDESC FROM TMGMART mga INNER JOIN TMGM_MOVMAGAZZINO mgm ON "
    "(mga.iMgmId = "
    "mgm.iMgmId) INNER JOIN TART_ARTICOLI art ON (mga.iArtId = art.iArtId) INNER JOIN TMER_CODICIMERCEOL mer "
    "ON "
    "(art.iMerId = mer.iMerId) WHERE (mgm.iMgmId = :IMGMID) AND (mer.IMERID NOT IN (SELECT IMERID FROM "
    "TCFM_CATEGFACMERCE))";

// The movement's rows with their article, stock record and unit of the movement's school and year,
// VAT rate, goods code with its category, and sector.
#define KVA_MAG_ROWS                                                                                         \
    "SELECT mga.IARTID, mga.IALVID, (SELECT FIRST 1 cfm.iCafId FROM TCFM_CATEGFACMERCE cfm WHERE "           \
    "cfm.iMerId = "                                                                                          \
    "art.iMerId) AS iCafId, (SELECT FIRST 1 cfm.iCfmId FROM TCFM_CATEGFACMERCE cfm WHERE cfm.iMerId = "      \
    "art.iMerId) AS iCfmId, mga.ISECID, art.SARTCOD, art.SARTDESCS, mga.FMGMARTQUANTITA, "                   \
    "unm.FUNMFATTOREPROP, mer.SMERDESC, sec.SSECDESCS, art.IMERID, mga.IMGMARTID, mga.ICLCID, mga.IDCMID, "  \
    "gia.IUNMID, mga.IRSPID, mga.BMGMARTNOTE, alv.FALVIVA, "
#define KVA_MAG_JOINS                                                                                        \
    " INNER JOIN TART_ARTICOLI art ON (mga.IARTID = art.IARTID) INNER JOIN TGIA_GIACENZE gia ON "            \
    "(gia.IARTID = "                                                                                         \
    "mga.IARTID AND gia.IDWGID = mgm.IDWGID AND gia.IGIAESERCIZIOFIN = mgm.IMGMESERCIZIOFIN) INNER JOIN "    \
    "TUnm_UnitaMisura unm ON (gia.IUNMID = unm.IUNMID) INNER JOIN TALV_ALIQUOTEIVA alv ON (mga.IALVID = "    \
    "alv.IALVID) INNER JOIN TMER_CODICIMERCEOL mer ON (art.IMERID = mer.IMERID) LEFT JOIN TSEC_SETTCONS "    \
    "sec ON "                                                                                                \
    "(mga.ISECID = sec.ISECID) WHERE mga.IMGMID = :imgmid"

// Each row priced on its own rule: from the load row it was taken from, or the warehouse's fallback.
const char *const kRowsSQL = KVA_MAG_ROWS ABC_SQL_MAG_UNIT_AMOUNT
    " FROM TMGMART mga INNER JOIN TMGM_MOVMAGAZZINO mgm ON (mga.IMGMID = mgm.IMGMID)" ABC_SQL_MAG_LOAD_ROW
        KVA_MAG_JOINS;

const char *const kStillFreeSQL =
    "SELECT IMGMID FROM TMGM_MOVMAGAZZINO WHERE (IMGMID = :IMGMID) AND (IMGMID NOT IN "
    "(SELECT IMGMID FROM TFBuo_Buoni WHERE IMGMID IS NOT NULL))";
const char *const kDocumentsSQL = "INSERT INTO TFbuoidc (IFbuoidcid, Iidcid, IFbuoid) SELECT (SELECT "
                                  "L_ICNTID FROM PYSetGetId('TFBUOIDC',0)), "
                                  "Iidcid, :IFbuoid FROM Tmgmidc WHERE imgmid = :imgmid_p";

} // namespace

TfmKvaImpMag::TfmKvaImpMag(QWidget *parent) : TfmKvaImpWizard(parent) {
    setWindowTitle(QStringLiteral("Importa da buono di scarico del magazzino"));
    sgBuoni->AddColumn(QStringLiteral("SMGMCOD"), QStringLiteral("Codice"), 80);
    sgBuoni->AddColumn(QStringLiteral("SMGMDESCS"), QStringLiteral("Descrizione"), 250);
    sgBuoni->AddColumn(QStringLiteral("DMGMDATAMOVIMENTO"), QStringLiteral("Data Movimento"), 100);
    sgBuoni->AddColumn(QStringLiteral("SDOWLDESC"), QStringLiteral("Istituto"), 150);
    SetList(QString::fromLatin1(kvaSQLImportWarehouse), QStringLiteral("iEsFin"), CurrentRegYear);

    SetGoodsColumns(colCount, {{colCodice, QStringLiteral("Codice"), 80},
                               {colDesc, QStringLiteral("Descrizione"), 250},
                               {colQuantita, QStringLiteral("Quantità"), 60},
                               {colPrezzo, QStringLiteral("Prezzo"), 70},
                               {colMerce, QStringLiteral("Codice merceologico"), 150},
                               {colSede, QStringLiteral("Sede"), 150},
                               {colLuogo, QStringLiteral("Luogo di Scarico"), 150}});
    AddSearch(SiteSearch(colSede, colSedeId));
}

QVariant TfmKvaImpMag::MovementId() const {
    return xqcBuoni->FieldByName(QStringLiteral("IMGMID"))->Value();
}

QStringList TfmKvaImpMag::UnclassifiedCodes() {
    TVoQuery check(QString::fromLatin1(kCheckSQL));
    check.SetParam(QStringLiteral("IMGMID"), MovementId());
    QStringList codes;
    for (check.Open(); !check.Eof(); check.Next())
        codes << check.AsString(QStringLiteral("SMERDESC"));
    return codes;
}

void TfmKvaImpMag::LoadGoods() {
    TVoQuery rows(QString::fromLatin1(kRowsSQL));
    rows.SetParam(QStringLiteral("imgmid"), MovementId());
    rows.Open();
    const auto text = [&rows](const char *field) { return rows.AsString(QString::fromLatin1(field)); };
    for (; !rows.Eof(); rows.Next()) {
        const int row = AppendGoodsRow();
        const auto set = [this, row](int column, const QString &value) {
            sgArticoli->SetCells(column, row, value);
        };
        set(colArtId, text("IARTID"));
        set(colIvaId, text("IALVID"));
        set(colCatId, text("ICAFID"));
        set(colSedeId, CurrentSiteId > 0 ? QString::number(CurrentSiteId) : QString());
        set(colSecId, text("ISECID"));
        set(colCodice, text("SARTCOD"));
        set(colDesc, text("SARTDESCS"));
        // A unit without a factor counts pieces one to one.
        double factor = rows.AsFloat(QStringLiteral("FUNMFATTOREPROP"));
        if (factor == 0.0)
            factor = 1.0;
        set(colQuantita, DecimalText(qMax(rows.AsFloat(QStringLiteral("FMGMARTQUANTITA")), 0.0) / factor));
        const double vat = rows.AsFloat(QStringLiteral("FALVIVA"));
        double amount = double(rows.AsLargeInt(QStringLiteral("IMPORTO")));
        if (rows.AsInteger(QStringLiteral("ADDVAT")) == 1)
            amount += amount * vat / 100.0;
        if (CurrentVatIncluded == 0)
            amount = amount * 100.0 / (100.0 + vat);
        set(colPrezzo, TVoMoney::FromStored(qMax<qint64>(std::llround(amount), 0)).PlainText());
        set(colMerce, text("SMERDESC"));
        set(colSede, CurrentSiteDesc);
        set(colLuogo, text("SSECDESCS"));
        set(colMerId, text("IMERID"));
        set(colMgmArtId, text("IMGMARTID"));
        set(colClcId, text("ICLCID"));
        set(15, text("IALVID"));
        set(colCfmId, text("ICFMID"));
        set(colDcmId, text("IDCMID"));
        set(colUnmId, text("IUNMID"));
        set(colRspId, text("IRSPID"));
        set(colNote, text("BMGMARTNOTE"));
    }
    DropTrailingRow();
}

bool TfmKvaImpMag::RowsComplete() {
    // The site is tested by its key too: a row whose site text stands without a site cannot be written.
    for (int row = 1; row < sgArticoli->RowCount(); ++row)
        if (sgArticoli->Cells(colSede, row).isEmpty() || CellId(colSedeId, row) < 0) {
            VoMessageDlg(QStringLiteral("Compilare per tutti i beni il campo sede"), mtError, mbOK);
            return false;
        }
    return true;
}

bool TfmKvaImpMag::Post() {
    VoLockRow(QStringLiteral("TMGM_MOVMAGAZZINO"), QStringLiteral("IMGMID"), MovementId());
    if (VoSelectValue(QString::fromLatin1(kStillFreeSQL), {{QStringLiteral("IMGMID"), MovementId()}})
            .isNull())
        return false;
    const QVariant supplier = xqcBuoni->FieldByName(QStringLiteral("BENCARICO"))->Value();
    const int voucher =
        InsertHeader(QStringLiteral("BUONO DI CARICO DA MAGAZZINO (SCARICO DEL MAGAZZINO NUMERO %1)")
                         .arg(xqcBuoni->FieldByName(QStringLiteral("SMGMCOD"))->AsString()),
                     xqcBuoni->FieldByName(QStringLiteral("DMGMDATAMOVIMENTO"))->AsDate(), MovementId(),
                     supplier.isNull() ? QVariant() : supplier);
    VoExecSQL(QString::fromLatin1(kDocumentsSQL),
              {{QStringLiteral("IFbuoid"), voucher},
               {QStringLiteral("imgmid_p"), xqcBuoni->FieldByName(QStringLiteral("IMGMID_P"))->Value()}});
    for (int row = 1; row < sgArticoli->RowCount(); ++row) {
        StepRow(row);
        const QString desc = sgArticoli->Cells(colDesc, row);
        TKvaImportedRow imported;
        imported.voucher = voucher;
        imported.source = QStringLiteral("Scarico del magazzino numero %1")
                              .arg(xqcBuoni->FieldByName(QStringLiteral("SMGMCOD"))->AsString());
        imported.good = desc;
        imported.article = FindOrInsertArticle(
            desc, desc, QString(), QString(), CellId(colCatId, row), CellId(colCfmId, row),
            CellId(colMerId, row), CellId(colDcmId, row), CellId(colUnmId, row), CellId(colIvaId, row), true);
        TVoMoney price;
        TVoMoney::TryParse(sgArticoli->Cells(colPrezzo, row), &price);
        imported.unitCost = double(price.Stored()) / 10000.0;
        imported.quantity = DecimalOf(sgArticoli->Cells(colQuantita, row));
        imported.vatRate = CellIdOrNull(colIvaId, row);
        imported.location = CellIdOrNull(colClcId, row);
        imported.responsible = CellIdOrNull(colRspId, row);
        imported.sector = CellIdOrNull(colSecId, row);
        imported.site = CellIdOrNull(colSedeId, row);
        imported.note = sgArticoli->Cells(colNote, row);
        kvaInsertImportedRow(imported);
    }
    return true;
}
