#include "kvaFImpBenDur.h"

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

namespace {

const char *const kDurablesCheckSQL =
    "SELECT cae.IMERID, cae.SMERDESC FROM TBInb_Beni inb INNER JOIN VCae_CategMerce cae ON (inb.iCaeId = "
    "cae.iCaeId) WHERE (inb.iBBuoIdScarico=:iBBuoId) AND (cae.iMerId NOT IN (SELECT iMerId FROM "
    "TCFM_CATEGFACMERCE))";
const char *const kInventoryCheckSQL =
    "SELECT cae.IMERID, cae.SMERDESC FROM TInb_Beni inb INNER JOIN VCae_CategMerce cae ON (inb.iCaeId = "
    "cae.iCaeId) WHERE (inb.iBuoIdScarico=:iBuoId) AND (cae.iMerId NOT IN (SELECT iMerId FROM "
    "TCFM_CATEGFACMERCE))";

// The category of a goods code is its first link (a code has at most one).
#define KVA_GOODS_CATEGORY                                                                                   \
    "(SELECT FIRST 1 cfm.iCafId FROM TCFM_CATEGFACMERCE cfm WHERE cfm.iMerId = cae.iMerId) AS iCafId, "      \
    "(SELECT FIRST 1 caf.sCafDesc FROM TCFM_CATEGFACMERCE cfm INNER JOIN TCaf_CategorieFac caf ON "          \
    "(cfm.iCafId = caf.iCafId) WHERE cfm.iMerId = cae.iMerId) AS sCafDesc, "                                 \
    "(SELECT FIRST 1 cfm.iCfmId FROM TCFM_CATEGFACMERCE cfm WHERE cfm.iMerId = cae.iMerId) AS iCfmId, "

const char *const kDurablesGoodsSQL =
    "SELECT inb.sBInbDesc, inb.iBInbImporto, cae.iMerId, cae.sMerDesc, inb.ISECID, inb.SSECDESCS, "
    "sedinf.iSedInfId, sedinf.sSedInfLDesc, inb.ICLCID, COALESCE(inb.sBInbNote,null) AS sBInbNote, "
    "sBInbLibTitolo, sBInbLibAutore, sBInbLibEditore, " KVA_GOODS_CATEGORY
    "COUNT(sBInbDesc) AS Quantita, 1 AS IUNMID FROM VBInb_Beni inb LEFT JOIN VCae_CategMerce cae ON "
    "(inb.iCaeId = cae.iCaeId) LEFT JOIN TSedInf_SedeInfo sedinf ON (inb.iSedInfId = sedinf.iSedInfId) "
    "WHERE inb.iBBuoIdScarico=:iBBuoId GROUP BY inb.sBInbDesc, inb.iBInbImporto, cae.iMerId, cae.sMerDesc, "
    "inb.ISECID, inb.SSECDESCS, sedinf.iSedInfId, sedinf.sSedInfLDesc, inb.ICLCID, "
    "COALESCE(inb.sBInbNote,null), sBInbLibTitolo, sBInbLibAutore, sBInbLibEditore";
const char *const kInventoryGoodsSQL =
    "SELECT inb.sInbDesc, inb.iInbImporto, cae.iMerId, cae.sMerDesc, inb.ISECID, inb.SSECDESCS, "
    "sedinf.iSedInfId, sedinf.sSedInfLDesc, inb.ICLCID, COALESCE(inb.sInbNote,null) AS sInbNote, "
    "sInbLibTitolo, sInbLibAutore, sInbLibEditore, " KVA_GOODS_CATEGORY
    "COUNT(sInbDesc) AS Quantita, 1 AS IUNMID FROM VInb_Beni inb LEFT JOIN VCae_CategMerce cae ON "
    "(inb.iCaeId = cae.iCaeId) LEFT JOIN TSedInf_SedeInfo sedinf ON (inb.iSedInfId = sedinf.iSedInfId) "
    "WHERE inb.iBuoIdScarico=:iBuoId GROUP BY inb.sInbDesc, inb.iInbImporto, cae.iMerId, cae.sMerDesc, "
    "inb.ISECID, inb.SSECDESCS, sedinf.iSedInfId, sedinf.sSedInfLDesc, inb.ICLCID, "
    "COALESCE(inb.sInbNote,null), sInbLibTitolo, sInbLibAutore, sInbLibEditore";

const char *const kVatSQL = "SELECT IALVID, FALVIVA FROM TAlv_AliquoteIva";
const char *const kCategorySQL = "SELECT ICAFID, SCAFDESC FROM TCAF_CATEGORIEFAC";
const char *const kGoodsCodeSQL =
    "SELECT MER.IMERID, SMERDESC FROM TMER_CODICIMERCEOL MER  INNER JOIN TCFM_CATEGFACMERCE CFM ON "
    "(MER.IMERID = CFM.IMERID) WHERE CFM.ICAFID = :ICAFID";

} // namespace

const TKvaImpSource kvaImpDurables = {
    "Importa da buono di scarico dei beni durevoli",
    kvaSQLImportDurables,
    "IBBUOID",
    "IBBUONUMERO",
    "DBBUODATA",
    "SBBUODESC",
    "SFACDESC",
    "Velisto",
    kDurablesCheckSQL,
    kDurablesGoodsSQL,
    "BUONO DI CARICO DA BENI DUREVOLI (SCARICO NUMERO %1)",
    "TBBUO_BUONI",
    "SELECT iBBuoId FROM TBBuo_Buoni WHERE (iBBuoId = :iBBuoId) AND (sBBuoApplScarico = 'VELIST')",
    "UPDATE TBBuo_Buoni SET sBBuoApplScarico='VELIST_IMP' WHERE iBBuoId = :iBBuoId;",
    "SBINBDESC",
    "IBINBIMPORTO",
    "SBINBNOTE",
    "SBINBLIBTITOLO",
    "SBINBLIBAUTORE",
    "SBINBLIBEDITORE",
};

const TKvaImpSource kvaImpInventory = {
    "Importa da buono di scarico dell'inventario",
    kvaSQLImportInventory,
    "IBUOID",
    "IBUONUMERO",
    "DBUODATA",
    "SBUODESC",
    "SINVDESC",
    "Inventario",
    kInventoryCheckSQL,
    kInventoryGoodsSQL,
    "BUONO DI CARICO DA INVENTARIO (SCARICO NUMERO %1)",
    "TBUO_BUONI",
    "SELECT iBuoId FROM TBuo_Buoni WHERE (iBuoId = :iBuoId) AND (sBuoApplScarico = 'VELIST')",
    "UPDATE TBuo_Buoni SET sBuoApplScarico='VELIST_IMP' WHERE iBuoId = :iBuoId;",
    "SINBDESC",
    "IINBIMPORTO",
    "SINBNOTE",
    "SINBLIBTITOLO",
    "SINBLIBAUTORE",
    "SINBLIBEDITORE",
};

TfmKvaImpBenDur::TfmKvaImpBenDur(QWidget *parent, const TKvaImpSource &source)
    : TfmKvaImpWizard(parent), m_source(source) {
    setWindowTitle(QString::fromUtf8(source.caption));
    sgBuoni->AddColumn(QString::fromLatin1(source.numberField), QStringLiteral("Codice"), 80);
    sgBuoni->AddColumn(QString::fromLatin1(source.descField), QStringLiteral("Descrizione"), 250);
    sgBuoni->AddColumn(QString::fromLatin1(source.dateField), QStringLiteral("Data Movimento"), 100);
    sgBuoni->AddColumn(QString::fromLatin1(source.registerField), QString::fromLatin1(source.registerTitle),
                       150);
    SetList(QString::fromLatin1(source.listSQL), QStringLiteral("iAnfId"), CurrentRegYearId);

    SetGoodsColumns(colCount, {{colDesc, QStringLiteral("Descrizione"), 250},
                               {colQuantita, QStringLiteral("Quantità"), 60},
                               {colPrezzo, QStringLiteral("Prezzo con iva"), 100},
                               {colIva, QStringLiteral("Iva"), 50},
                               {colCategoria, QStringLiteral("Categoria"), 150},
                               {colMerce, QStringLiteral("Codice merceologico"), 150},
                               {colSede, QStringLiteral("Sede"), 150},
                               {colLuogo, QStringLiteral("Luogo di Scarico"), 150}});

    const auto sql = [](const char *text) { return QString::fromLatin1(text); };
    AddSearch({colIva,
               colIvaId,
               QStringLiteral("Selezione Unica Iva"),
               sql(kVatSQL),
               QStringLiteral("IALVID"),
               QStringLiteral("FALVIVA"),
               QStringLiteral("Iva"),
               {},
               {},
               -1,
               false,
               {}});
    AddSearch({colCategoria,
               colCatId,
               QStringLiteral("Selezione Unica Categoria"),
               sql(kCategorySQL),
               QStringLiteral("ICAFID"),
               QStringLiteral("SCAFDESC"),
               QStringLiteral("Categoria"),
               {colMerId, colMerce},
               {},
               -1,
               false,
               {}});
    AddSearch({colMerce,
               colMerId,
               QStringLiteral("Selezione Unica Merceologia"),
               sql(kGoodsCodeSQL),
               QStringLiteral("IMERID"),
               QStringLiteral("SMERDESC"),
               QStringLiteral("Codice merceologico"),
               {},
               QStringLiteral("ICAFID"),
               colCatId,
               false,
               {}});
    AddSearch(SiteSearch(colSede, colSedeId));
}

QVariant TfmKvaImpBenDur::SourceId() const {
    return xqcBuoni->FieldByName(QString::fromLatin1(m_source.keyField))->Value();
}

QStringList TfmKvaImpBenDur::UnclassifiedCodes() {
    TVoQuery check(QString::fromLatin1(m_source.checkSQL));
    check.SetParam(QString::fromLatin1(m_source.keyField), SourceId());
    QStringList codes;
    for (check.Open(); !check.Eof(); check.Next())
        codes << check.AsString(QStringLiteral("SMERDESC"));
    return codes;
}

void TfmKvaImpBenDur::LoadGoods() {
    TVoQuery goods(QString::fromLatin1(m_source.goodsSQL));
    goods.SetParam(QString::fromLatin1(m_source.keyField), SourceId());
    const auto text = [&goods](const char *field) { return goods.AsString(QString::fromLatin1(field)); };
    for (goods.Open(); !goods.Eof(); goods.Next()) {
        const int row = AppendGoodsRow();
        const auto set = [this, row](int column, const QString &value) {
            sgArticoli->SetCells(column, row, value);
        };
        set(colCatId, text("ICAFID"));
        set(colSedeId, CurrentSiteId > 0 ? QString::number(CurrentSiteId) : text("ISEDINFID"));
        set(colSecId, text("ISECID"));
        set(colMerId, text("IMERID"));
        set(colClcId, text("ICLCID"));
        set(colCfmId, text("ICFMID"));
        set(colUnmId, text("IUNMID"));
        set(colNote, text(m_source.goodNote));
        set(colTitolo, text(m_source.goodTitle));
        set(colAutore, text(m_source.goodAuthor));
        set(colEditore, text(m_source.goodPublisher));
        set(colDesc, text(m_source.goodDesc));
        set(colQuantita, QString::number(goods.AsInteger(QStringLiteral("QUANTITA"))));
        const TVoMoney price = goods.AsMoney(QString::fromLatin1(m_source.goodAmount));
        set(colPrezzo, qMax(price, TVoMoney()).PlainText());
        set(colCategoria, text("SCAFDESC"));
        set(colMerce, text("SMERDESC"));
        const QString site = text("SSEDINFLDESC");
        set(colSede, site.isEmpty() ? CurrentSiteDesc : site);
        set(colLuogo, text("SSECDESCS"));
    }
    DropTrailingRow();
}

bool TfmKvaImpBenDur::SameForAllAllowed(int column) {
    if (column != colMerce)
        return true;
    int category = CellId(colCatId, 1);
    for (int row = 2; row < sgArticoli->RowCount(); ++row)
        if (CellId(colCatId, row) != category)
            category = -1;
    if (category != -1)
        return true;
    VoMessageDlg(
        QString::fromUtf8("Funzione disponibile solo se la categoria è impostata uguale per tutti gli "
                          "articoli."),
        mtWarning, mbOK);
    return false;
}

bool TfmKvaImpBenDur::RowsComplete() {
    // The site is tested by its key too: a row whose site text stands without a site cannot be written.
    const struct {
        int column, idColumn;
        const char *field;
    } checks[] = {{colIva, colIvaId, "iva"},
                  {colCategoria, colCatId, "categoria"},
                  {colMerce, colMerId, "codice merceologico"},
                  {colSede, colSedeId, "sede"}};
    for (int row = 1; row < sgArticoli->RowCount(); ++row)
        for (const auto &check : checks)
            if (sgArticoli->Cells(check.column, row).isEmpty() ||
                (check.column == colSede && CellId(check.idColumn, row) < 0)) {
                VoMessageDlg(QStringLiteral("Compilare per tutti i beni il campo %1")
                                 .arg(QString::fromLatin1(check.field)),
                             mtError, mbOK);
                return false;
            }
    return true;
}

bool TfmKvaImpBenDur::Post() {
    const QString key = QString::fromLatin1(m_source.keyField);
    VoLockRow(QString::fromLatin1(m_source.table), key, SourceId());
    if (VoSelectValue(QString::fromLatin1(m_source.markedSQL), {{key, SourceId()}}).isNull())
        return false;
    const QString number = xqcBuoni->FieldByName(QString::fromLatin1(m_source.numberField))->AsString();
    const int voucher =
        InsertHeader(QString::fromLatin1(m_source.description).arg(number),
                     xqcBuoni->FieldByName(QString::fromLatin1(m_source.dateField))->AsDate());
    for (int row = 1; row < sgArticoli->RowCount(); ++row) {
        StepRow(row);
        const auto cell = [this, row](int column) { return sgArticoli->Cells(column, row); };
        TKvaImportedRow imported;
        imported.voucher = voucher;
        imported.source = QStringLiteral("Buono di scarico numero %1").arg(number);
        imported.good = cell(colDesc);
        imported.article =
            FindOrInsertArticle(cell(colDesc), cell(colTitolo), cell(colAutore), cell(colEditore),
                                CellId(colCatId, row), CellId(colCfmId, row), CellId(colMerId, row),
                                CellId(colDcmId, row), CellId(colUnmId, row), CellId(colIvaId, row), true);
        TVoMoney price;
        TVoMoney::TryParse(cell(colPrezzo), &price);
        // Registers that load net amounts take the VAT out of the price the goods carried.
        imported.unitCost = CurrentVatIncluded == 0
                                ? double(price.Stored()) * 100.0 / (100.0 + DecimalOf(cell(colIva))) / 10000.0
                                : double(price.Stored()) / 10000.0;
        imported.quantity = DecimalOf(cell(colQuantita));
        imported.vatRate = CellIdOrNull(colIvaId, row);
        imported.location = CellIdOrNull(colClcId, row);
        imported.sector = CellIdOrNull(colSecId, row);
        imported.site = CellIdOrNull(colSedeId, row);
        imported.note = cell(colNote);
        kvaInsertImportedRow(imported);
    }
    VoExecSQL(QString::fromLatin1(m_source.remarkSQL), {{key, SourceId()}});
    return true;
}
