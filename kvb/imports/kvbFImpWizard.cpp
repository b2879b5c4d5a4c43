#include "kvbFImpWizard.h"

#include "AbcFBuoni.h"
#include "AbcUContext.h"
#include "AbcURoutines.h"
#include "VoMessages.h"
#include "VoMoney.h"
#include "VoQuery.h"
#include "VoStringGrid.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <cmath>

const char *const kvbImpAlreadyImported = "Il buono selezionato è già stato importato";
const char *const kvbImpNothingToImport = "Nel buono selezionato non ci sono beni da importare";

namespace {

const char *const kVoucherSQL =
    "INSERT INTO TBBuo_Buoni  (iBBuoID,IDwgFacAnfID,iBBuoNUMERO,dBBuoDATA,sBBuoDESC,iBBuoTIPO, ILOCKED, "
    "imgmid,iBenId) VALUES (:iBBuoID,:iDwgFacAnfId,:iBBuoNUMERO,:dBBuoDATA,:sBBuoDESC,0,0,:imgmid,:iBenId)";
const char *const kAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI INB WHERE "
    "INB.IBBUOID=:IBBUOID) WHERE iBBuoId=:iBBuoId;";

// The search form is titled after the goods column it fills ("Categoria"), not after one of its own
// columns.
TVoImpSearch Search(int column, int idColumn, const char *caption, const char *title, const char *sql,
                    const char *key, const char *shown, QList<TVoShownColumn> listed) {
    TVoImpSearch search;
    search.column = column;
    search.idColumn = idColumn;
    search.buttonCaption = QString::fromUtf8(caption);
    search.sql = QString::fromLatin1(sql);
    search.keyField = QString::fromLatin1(key);
    search.shownField = QString::fromLatin1(shown);
    search.shownTitle = QString::fromUtf8(title);
    search.keepIdOnCancel = true;
    search.listed = listed;
    return search;
}

// An amount or rate read from a floating column, taken with four decimals.
TVoMoney FourDecimals(double value) {
    return TVoMoney::FromStored(std::llround(value * 10000.0));
}

QVariant IdOrNull(const QVariant &id) {
    return id.isNull() ? VoNull(QMetaType::Int) : id;
}

} // namespace

QString kvbImpPrice(qint64 storedBase, double rate) {
    return TVoMoney::PlusPercentText(TVoMoney::FromStored(storedBase), FourDecimals(rate));
}

QString kvbImpCost(double cost) {
    return FourDecimals(cost).PlainText();
}

TfmkvbImpWizard::TfmkvbImpWizard(QWidget *parent, const QString &caption, int columnCount)
    : TfmVoImpWizard(parent) {
    setWindowTitle(caption);
    SetGoodsColumns(columnCount, {{colCodice, QStringLiteral("Codice"), 50},
                                  {colDesc, QStringLiteral("Descrizione"), 250},
                                  {colPrezzo, QStringLiteral("Prezzo"), 50},
                                  {colCategoria, QStringLiteral("Categoria"), 150},
                                  {colSede, QStringLiteral("Sede"), 150},
                                  {colLuogo, QStringLiteral("Luogo di Scarico"), 150}});
    AddSearch(Search(
        colCategoria, colCatId, "Selezione Unica Categoria", "Categoria",
        "SELECT ICAMID, SCAMCODICE, SCAMDESC FROM TCam_CategorieInv WHERE iCamId BETWEEN 1 AND 8", "ICAMID",
        "SCAMDESC", {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}}));
    AddSearch(Search(colSede, colSedeId, "Selezione Unica Sede", "Sede",
                     "SELECT ISEDINFID, SSEDINFLDESC FROM TSEDINF_SEDEINFO", "ISEDINFID", "SSEDINFLDESC",
                     {{1, QStringLiteral("Sede"), 300}}));
    AddSearch(Search(colLuogo, colSecId, "Selezione Unico Settore", "Luogo di Scarico",
                     "SELECT ISECID, SSECCOD, SSECDESCS FROM TSEC_SETTCONS", "ISECID", "SSECDESCS",
                     {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Descrizione"), 400}}));
}

void TfmkvbImpWizard::LoadGoods() {
    m_units = 0;
    LoadUnits();
    DropTrailingRow();
}

void TfmkvbImpWizard::AppendUnits(double quantity, const TUnit &unit) {
    const qint64 pieces = std::llround(quantity);
    for (qint64 piece = 0; piece < pieces; ++piece, ++m_units) {
        const int row = AppendGoodsRow();
        const auto set = [this, row](int column, const QString &value) {
            if (column < sgArticoli->ColCount())
                sgArticoli->SetCells(column, row, value);
        };
        set(colSedeId, CurrentSiteId > 0 ? QString::number(CurrentSiteId) : QString());
        set(colSecId, unit.sectorId);
        set(colCodice, unit.code);
        set(colDesc, unit.desc);
        set(colPrezzo, unit.price);
        set(colSede, CurrentSiteDesc);
        set(colLuogo, unit.sector);
        set(colMerId, unit.merId);
        set(colMgmArtId, unit.movementRow);
        set(colNote, unit.note);
    }
}

bool TfmkvbImpWizard::RowsComplete() {
    // The one empty row of a source without pieces has no price to write.
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

QString TfmkvbImpWizard::ConfirmationText() {
    return QStringLiteral("I beni verranno importati nel registro %1")
        .arg(kvb::GetParamDescription(ParRegisterYear).toString());
}

void TfmkvbImpWizard::buOkClick() {
    if (!ImportSelected())
        return;
    VoMessageDlg(kvbNewVoucherText(m_written), mtInformation, mbOK);
    AbcShowWrittenVoucher(kvbLoading, m_written.id);
    close();
}

QString TfmkvbImpWizard::AlreadyImportedText() {
    return QString::fromUtf8(kvbImpAlreadyImported);
}

int TfmkvbImpWizard::InsertVoucher(const QString &desc, double date, const QVariant &movement,
                                   const QVariant &beneficiary) {
    kvbLockNumbering();
    const int voucher = NewId(QStringLiteral("TBBUO_BUONI"));
    m_written = {};
    m_written.id = voucher;
    m_written.number = NextVoucherNumber(kvbLoading);
    m_written.sourceDate = date;
    m_written.date = kvbAcceptedVoucherDate(date, m_written.number, kvbLoading);
    TVoQuery header(QString::fromLatin1(kVoucherSQL));
    header.SetParam(QStringLiteral("iBBuoID"), voucher)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iBBuoNUMERO"), m_written.number)
        .SetParamDate(QStringLiteral("dBBuoDATA"), m_written.date)
        .SetParam(QStringLiteral("sBBuoDESC"), desc)
        .SetParam(QStringLiteral("imgmid"), IdOrNull(movement))
        .SetParam(QStringLiteral("iBenId"), IdOrNull(beneficiary));
    header.Exec();
    return voucher;
}

int TfmkvbImpWizard::InsertGood(const char *sql, int row, int voucher, const QVariantHash &further) {
    StepRow(row);
    TVoMoney price;
    TVoMoney::TryParseRounded(sgArticoli->Cells(colPrezzo, row), &price);
    const int good = NewId(QStringLiteral("TBINB_BENI"));
    TVoQuery insert(QString::fromLatin1(sql));
    insert.SetParam(QStringLiteral("iBInbID"), good)
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
    for (auto it = further.cbegin(); it != further.cend(); ++it)
        insert.SetParam(it.key(), it.value());
    insert.Exec();
    ++m_written.goods;
    return good;
}

void TfmkvbImpWizard::UpdateAmount(int voucher) {
    VoExecSQL(QString::fromLatin1(kAmountSQL), {{QStringLiteral("IBBUOID"), voucher}});
}
