#include "kvbFImpVelist.h"

#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoClassRegistry.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoMessages.h"
#include "VoMoney.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoStringGrid.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <cmath>

VO_REGISTER_CLASS(TfmkvbImpVelist);

const char *const kvbImpAlreadyImported = "Il buono selezionato è già stato importato";
const char *const kvbImpNothingToImport = "Nel buono selezionato non ci sono beni da importare";

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
const char *const kVoucherSQL =
    "INSERT INTO TBBuo_Buoni  (iBBuoID,IDwgFacAnfID,iBBuoNUMERO,dBBuoDATA,sBBuoDESC,iBBuoTIPO, ILOCKED, "
    "imgmid,iBenId) VALUES (:iBBuoID,:iDwgFacAnfId,:iBBuoNUMERO,:dBBuoDATA,:sBBuoDESC,0,0,:imgmid,:iBenId)";
const char *const kGoodSQL =
    "INSERT INTO TBInb_Beni  (iBInbID,iBInbNUMERO,sBInbDESC,ICAMID,iBBuoID,iBInbIMPORTO,ICONDID,   "
    "IAVAID,ISECID,ISEDINFID,iBInbAnnoAssunz,icaeid)  VALUES (:iBInbID,:iBInbNUMERO,:sBInbDESC,:ICAMID,"
    ":iBBuoID,:iBInbIMPORTO,:ICONDID,   :IAVAID,:ISECID,:ISEDINFID,:iBInbAnnoAssunz,(select icaeid from "
    "Tcae_Categmerce cae where (cae.Icamid=:icamid) and (cae.imerid=:imerid))) ";
const char *const kAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI INB WHERE "
    "INB.IBBUOID=:IBBUOID) WHERE iBBuoId=:iBBuoId;";

TVoImpSearch Search(int column, int idColumn, const char *caption, const char *sql, const char *key,
                    const char *shown, QList<TVoShownColumn> listed) {
    TVoImpSearch search;
    search.column = column;
    search.idColumn = idColumn;
    search.buttonCaption = QString::fromUtf8(caption);
    search.sql = QString::fromLatin1(sql);
    search.keyField = QString::fromLatin1(key);
    search.shownField = QString::fromLatin1(shown);
    search.shownTitle = listed.last().Caption;
    search.keepIdOnCancel = true;
    search.listed = listed;
    return search;
}

// An amount read from a floating column, taken with four decimals.
TVoMoney FourDecimals(double value) {
    return TVoMoney::FromStored(std::llround(value * 10000.0));
}

} // namespace

TfmkvbImpVelist::TfmkvbImpVelist(QWidget *parent) : TfmVoImpWizard(parent) {
    setWindowTitle(QStringLiteral("Importa da buono di scarico del velisto"));
    sgBuoni->AddColumn(QStringLiteral("IFBUONUMERO"), QStringLiteral("Codice"), 80);
    sgBuoni->AddColumn(QStringLiteral("SFBUODESC"), QStringLiteral("Descrizione"), 250);
    sgBuoni->AddColumn(QStringLiteral("DFBUODATA"), QStringLiteral("Data Movimento"), 100);
    SetList(QString::fromLatin1(kListSQL), QStringLiteral("iAnfValore"), CurrentRegYear);
    SetGoodsColumns(colCount, {{colCodice, QStringLiteral("Codice"), 50},
                               {colDesc, QStringLiteral("Descrizione"), 250},
                               {colPrezzo, QStringLiteral("Prezzo"), 50},
                               {colCategoria, QStringLiteral("Categoria"), 150},
                               {colSede, QStringLiteral("Sede"), 150},
                               {colLuogo, QStringLiteral("Luogo di Scarico"), 150}});
    AddSearch(Search(
        colCategoria, colCatId, "Selezione Unica Categoria",
        "SELECT ICAMID, SCAMCODICE, SCAMDESC FROM TCam_CategorieInv WHERE iCamId BETWEEN 1 AND 8", "ICAMID",
        "SCAMDESC", {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}}));
    AddSearch(Search(colSede, colSedeId, "Selezione Unica Sede",
                     "SELECT ISEDINFID, SSEDINFLDESC FROM TSEDINF_SEDEINFO", "ISEDINFID", "SSEDINFLDESC",
                     {{1, QStringLiteral("Sede"), 300}}));
    AddSearch(Search(colLuogo, colSecId, "Selezione Unico Settore",
                     "SELECT ISECID, SSECCOD, SSECDESCS FROM TSEC_SETTCONS", "ISECID", "SSECDESCS",
                     {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}}));
}

QVariant TfmkvbImpVelist::SourceId() const {
    return xqcBuoni->FieldByName(QStringLiteral("IFBUOID"))->Value();
}

void TfmkvbImpVelist::LoadGoods() {
    m_units = 0;
    TVoQuery goods(QString::fromLatin1(kGoodsSQL));
    goods.SetParam(QStringLiteral("iFBuoId"), SourceId());
    const auto text = [&goods](const char *field) { return goods.AsString(QString::fromLatin1(field)); };
    for (goods.Open(); !goods.Eof(); goods.Next()) {
        const QString price =
            TVoMoney::PlusPercentText(FourDecimals(goods.AsFloat(QStringLiteral("FAFCCOSTOUNIT"))),
                                      FourDecimals(goods.AsFloat(QStringLiteral("FALVIVA"))));
        const qint64 pieces = std::llround(goods.AsFloat(QStringLiteral("FAFCQUANTITA")));
        for (qint64 piece = 0; piece < pieces; ++piece, ++m_units) {
            const int row = AppendGoodsRow();
            const auto set = [this, row](int column, const QString &value) {
                sgArticoli->SetCells(column, row, value);
            };
            set(colSedeId, CurrentSiteId > 0 ? QString::number(CurrentSiteId) : QString());
            set(colSecId, text("ISECID"));
            set(colCodice, text("SFARSDESC"));
            set(colDesc, text("SFARLDESC"));
            set(colPrezzo, price);
            set(colSede, CurrentSiteDesc);
            set(colLuogo, text("SSECDESCS"));
            set(colMerId, text("IMERID"));
        }
    }
    DropTrailingRow();
}

bool TfmkvbImpVelist::RowsComplete() {
    if (m_units == 0) {
        VoMessageDlg(QString::fromUtf8(kvbImpNothingToImport), mtError, mbOK);
        return false;
    }
    const struct {
        int column;
        const char *field;
    } checks[] = {{colCategoria, "categoria"}, {colSede, "sede"}, {colLuogo, "settore"}};
    for (int row = 1; row < sgArticoli->RowCount(); ++row)
        for (const auto &check : checks)
            if (sgArticoli->Cells(check.column, row).isEmpty()) {
                VoMessageDlg(QStringLiteral("Compilare per tutti i beni il campo %1")
                                 .arg(QString::fromLatin1(check.field)),
                             mtError, mbOK);
                return false;
            }
    return true;
}

QString TfmkvbImpVelist::ConfirmationText() {
    return QStringLiteral("I beni verranno importati nel registro %1")
        .arg(GetParamDescription(ParRegisterYear).toString());
}

QString TfmkvbImpVelist::AlreadyImportedText() {
    return QString::fromUtf8(kvbImpAlreadyImported);
}

bool TfmkvbImpVelist::Post() {
    if (VoExecSQL(QString::fromLatin1(kClaimSQL), {{QStringLiteral("iFBuoId"), SourceId()}}) != 1)
        return false;
    kvbLockNumbering();
    const int voucher = NewId(QStringLiteral("TBBUO_BUONI"));
    const QVariant beneficiary = xqcBuoni->FieldByName(QStringLiteral("IBENID"))->Value();
    TVoQuery header(QString::fromLatin1(kVoucherSQL));
    header.SetParam(QStringLiteral("iBBuoID"), voucher)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iBBuoNUMERO"), NextVoucherNumber(kvbLoading))
        .SetParamDate(QStringLiteral("dBBuoDATA"),
                      xqcBuoni->FieldByName(QStringLiteral("DFBUODATA"))->AsDate())
        .SetParam(QStringLiteral("sBBuoDESC"),
                  QStringLiteral("BUONO DI CARICO DA VELISTO (NUMERO %1)")
                      .arg(xqcBuoni->FieldByName(QStringLiteral("IFBUONUMERO"))->AsString()))
        .SetParam(QStringLiteral("imgmid"), VoNull(QMetaType::Int))
        .SetParam(QStringLiteral("iBenId"), beneficiary.isNull() ? VoNull(QMetaType::Int) : beneficiary);
    header.Exec();
    for (int row = 1; row < sgArticoli->RowCount(); ++row) {
        TVoMoney price;
        TVoMoney::TryParse(sgArticoli->Cells(colPrezzo, row), &price);
        TVoQuery good(QString::fromLatin1(kGoodSQL));
        good.SetParam(QStringLiteral("iBInbID"), NewId(QStringLiteral("TBINB_BENI")))
            .SetParam(QStringLiteral("iBInbNUMERO"), NextGoodsNumber())
            .SetParam(QStringLiteral("sBInbDESC"), sgArticoli->Cells(colDesc, row))
            .SetParam(QStringLiteral("ICAMID"), CellIdOrNull(colCatId, row))
            .SetParam(QStringLiteral("iBBuoID"), voucher)
            .SetParam(QStringLiteral("iBInbIMPORTO"), price.Stored())
            .SetParam(QStringLiteral("ICONDID"), 2)
            .SetParam(QStringLiteral("IAVAID"), 1)
            .SetParam(QStringLiteral("ISECID"), CellIdOrNull(colSecId, row))
            .SetParam(QStringLiteral("ISEDINFID"), CellIdOrNull(colSedeId, row))
            .SetParam(QStringLiteral("iBInbAnnoAssunz"), CurrentRegYear)
            .SetParam(QStringLiteral("imerid"), CellIdOrNull(colMerId, row));
        good.Exec();
    }
    VoExecSQL(QString::fromLatin1(kAmountSQL), {{QStringLiteral("IBBUOID"), voucher}});
    return true;
}
