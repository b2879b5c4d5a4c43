#include "kvbFImpInv.h"

#include "AbcFBuoni.h"
#include "AbcURoutines.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoWait.h"
#include "kvbFImpVelist.h"
#include "kvbUBuoni.h"
#include "kvbUTrasferimenti.h"
#include "kvbUUtil.h"

#include <QScopeGuard>

namespace {

const char *const kListSQL =
    "SELECT buo.*, inv.sinvdesc FROM TBuo_Buoni buo    INNER JOIN TDwgInvAnf dia ON (buo.iDwgInvAnfId = "
    "dia.iDwgInvAnfId)    INNER JOIN TDwgInv di ON (dia.iDwgInvId=di.iDwgInvId)    INNER JOIN "
    "TInv_Inventari inv ON (di.iinvid = inv.iinvid) WHERE iBuoTipo=1 AND sBuoApplScarico='BENDUR'";
const char *const kGoodsSQL = "SELECT * FROM TInb_Beni WHERE iBuoIdScarico=:iBuoIdScarico";
const char *const kVoucherSQL =
    "INSERT INTO TBBuo_Buoni  (iBBuoID,IDwgFacAnfID,iBBuoNUMERO,dBBuoDATA,sBBuoDESC,iBBuoTIPO, ILOCKED) "
    "VALUES (:iBBuoID,:iDwgFacAnfId,:iBBuoNUMERO,:dBBuoDATA,:sBBuoDESC,0,0)";
const char *const kGoodSQL =
    "INSERT INTO TBInb_Beni  (iBInbID,iBInbNUMERO,sBInbDESC,sBInbNOTE,iBBuoID,iBInbIMPORTO,   ICAMID,ICAEID, "
    "  "
    "ICONDID,IAVAID,ISECID,sBInbLIBTITOLO,sBInbLIBAUTORE,sBInbLIBEDITORE,    "
    "ISEDINFID,ICLCID,iBInbAnnoAssunz,sBInbMatricola,sBInbCodNumero) VALUES "
    "(:iBInbID,:iBInbNUMERO,:sBInbDESC,:sBInbNOTE,:iBBuoID,:iBInbIMPORTO,   :ICAMID,:ICAEID,   "
    ":ICONDID,1,:ISECID,:sBInbLIBTITOLO,:sBInbLIBAUTORE,:sBInbLIBEDITORE,    "
    ":ISEDINFID,:ICLCID,:iBInbAnnoAssunz,:sBInbMatricola,:sBInbCodNumero)";
const char *const kAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI INB WHERE "
    "INB.IBBUOID=:IBBUOID) WHERE iBBuoId=:iBBuoId;";
// The source is claimed first, and only while it is still marked: a voucher that another user
// imported meanwhile touches no row.
const char *const kMarkerSQL = "UPDATE TBuo_Buoni SET sBuoApplScarico='BENDUR_IMP' WHERE iBuoId=:iBuoId "
                               "AND sBuoApplScarico='BENDUR';";

const char *const kNothingChosen = "Non è stato selezionato nessun buono";
const char *const kQuestion = "I buoni selezionati verranno importati nel registro dei beni durevoli.\r\nI "
                              "buoni verranno caricati nell'anno finanziario %1.Continuare?";

// Ids the source leaves empty stay empty: 0 would name no row and drop the good from every list that
// joins its category or sector.
const char *const kIdColumns[] = {"ICAMID", "ICAEID", "ICONDID", "ISECID", "ISEDINFID", "ICLCID"};
const char *const kTextColumns[][2] = {
    {"sBInbDESC", "sInbDESC"},           {"sBInbLIBTITOLO", "sInbLIBTITOLO"},
    {"sBInbLIBAUTORE", "sInbLIBAUTORE"}, {"sBInbLIBEDITORE", "sInbLIBEDITORE"},
    {"sBInbMatricola", "sInbMatricola"}, {"sBInbCodNumero", "sInbCodNumero"}};
constexpr int kNoteLength = 255;

// A text of the source, an empty one where the source has none.
QString TextOf(const QVariant &value) {
    const QString text = VoVariantToText(value);
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

TfmkvbImpInv::TfmkvbImpInv(QWidget *parent) : TfmVoMultiSelect(parent) {
    setObjectName(QStringLiteral("fmkvbImpInv"));
}

void TfmkvbImpInv::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    SetCommandText(QString::fromLatin1(kListSQL));
    Dress(QStringLiteral("Passaggio da inventario"), {{"iBuoNumero", "Numero", 80, true},
                                                      {"dBuoData", "Data", 90, false},
                                                      {"sBuoDesc", "Descrizione", 200, true},
                                                      {"sInvDesc", "Inventario", 150, true}});
}

void TfmkvbImpInv::buOkClick() {
    const QVariantList chosen = frVoMultiSel->SelectedIds();
    if (chosen.isEmpty()) {
        VoMessageDlg(QString::fromUtf8(kNothingChosen), mtWarning, mbOK);
        return;
    }
    if (VoMessageDlg(QString::fromUtf8(kQuestion).arg(CurrentYearValue), mtConfirmation, mbYesNoCancel) !=
        mrYes)
        return;
    if (!ImportVouchers(chosen))
        return;
    QStringList lines;
    for (const TkvbNewVoucher &voucher : std::as_const(m_written))
        lines << kvbNewVoucherText(voucher);
    VoMessageDlg(lines.join(QStringLiteral("\r\n")), mtInformation, mbOK);
    for (const TkvbNewVoucher &voucher : std::as_const(m_written))
        AbcShowWrittenVoucher(kvbLoading, voucher.id);
    TfmVoMultiSelect::buOkClick();
}

bool TfmkvbImpInv::ImportVouchers(const QVariantList &sourceIds) {
    TVoHourglass hourglass;
    const bool done = kvbRunTransfer(this, [this, &sourceIds] {
        // A lock conflict runs the whole import again.
        m_written.clear();
        kvbLockNumbering();
        for (const QVariant &id : sourceIds)
            ImportVoucher(id);
    });
    if (!done)
        m_written.clear();
    return done;
}

void TfmkvbImpInv::ImportVoucher(const QVariant &sourceId) {
    if (VoExecSQL(QString::fromLatin1(kMarkerSQL), {{QStringLiteral("iBuoId"), sourceId}}) != 1)
        throw EVoError(QString::fromUtf8(kvbImpAlreadyImported));
    TVoQuery goods(QString::fromLatin1(kGoodsSQL));
    goods.SetParam(QStringLiteral("iBuoIdScarico"), sourceId).Open();

    const int voucher = NewId(QStringLiteral("TBBUO_BUONI"));
    TkvbNewVoucher written;
    written.id = voucher;
    written.number = NextVoucherNumber(kvbLoading);
    written.sourceDate = CurrentYearEnd;
    // The year's end, unless the register's date rule refuses it (a register-year ending before it).
    written.date = kvbAcceptedVoucherDate(CurrentYearEnd, written.number, kvbLoading);
    TVoQuery header(QString::fromLatin1(kVoucherSQL));
    header.SetParam(QStringLiteral("iBBuoID"), voucher)
        .SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId())
        .SetParam(QStringLiteral("iBBuoNUMERO"), written.number)
        .SetParamDate(QStringLiteral("dBBuoDATA"), written.date)
        .SetParam(QStringLiteral("sBBuoDESC"), QStringLiteral("BUONO DI CARICO DA INVENTARIO"))
        .Exec();

    // Read whole before writing, so that no cursor stays open across the inserts.
    QList<QVariantHash> rows;
    for (; !goods.Eof(); goods.Next()) {
        QVariantHash row;
        for (int i = 0; i < goods.FieldCount(); ++i)
            row.insert(goods.FieldName(i).toUpper(), goods.Value(i));
        rows << row;
    }
    goods.Close();
    const QString number =
        VoSelectValue(QStringLiteral("SELECT iBuoNumero FROM TBuo_Buoni WHERE iBuoId=:iBuoId"),
                      {{QStringLiteral("iBuoId"), sourceId}})
            .toString();
    TfmVoWait *wait = fmVoWait();
    wait->SetTitle(QStringLiteral("Importazione buono ") + number);
    wait->SetText(QStringLiteral("L'operazione potrebbe richiedere qualche minuto.."));
    wait->SetProgressMax(int(rows.size()));
    wait->ShowWait();
    const auto hide = qScopeGuard([wait] { wait->HideWait(); });

    // The register is locked for the whole import, so the numbers follow on from the first one.
    int goodsNumber = NextGoodsNumber();
    TVoQuery good(QString::fromLatin1(kGoodSQL));
    for (const QVariantHash &row : std::as_const(rows)) {
        wait->StepProgressBar();
        const auto value = [&row](const char *column) {
            return row.value(QString::fromLatin1(column).toUpper());
        };
        good.SetParam(QStringLiteral("iBInbID"), NewId(QStringLiteral("TBINB_BENI")))
            .SetParam(QStringLiteral("iBInbNUMERO"), goodsNumber++)
            .SetParam(QStringLiteral("sBInbNOTE"), TextOf(value("sInbNOTE")).left(kNoteLength))
            .SetParam(QStringLiteral("iBBuoID"), voucher)
            .SetParam(QStringLiteral("iBInbIMPORTO"), value("iInbIMPORTO").toLongLong());
        for (const auto &text : kTextColumns)
            good.SetParam(QString::fromLatin1(text[0]), TextOf(value(text[1])));
        for (const char *column : kIdColumns)
            good.SetParam(QString::fromLatin1(column),
                          value(column).isNull() ? VoNull(QMetaType::Int) : value(column));
        good.SetParam(QStringLiteral("iBInbAnnoAssunz"),
                      value("iInbAnnoAssunz").isNull() ? VoNull(QMetaType::Int) : value("iInbAnnoAssunz"));
        good.Exec();
    }
    VoExecSQL(QString::fromLatin1(kAmountSQL), {{QStringLiteral("IBBUOID"), voucher}});
    written.goods = int(rows.size());
    m_written << written;
}
