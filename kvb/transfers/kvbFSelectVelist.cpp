#include "kvbFSelectVelist.h"

#include "AbcURoutines.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoUtils.h"
#include "VoWait.h"
#include "kvbFFiltro.h"
#include "kvbUBuoni.h"
#include "kvbUTrasferimenti.h"
#include "kvbUUtil.h"

#include <QDate>
#include <QLineEdit>

namespace {

const TkvbTransferProfile kConsumables{
    "Passaggio a velisto",
    "Sono stati selezionati %1 beni da passare nel velisto.\r\nI beni verranno scaricati nell'anno "
    "finanziario %2.Continuare?",
    " INSERT INTO TBBUO_BUONI ( IBBUOID, IDWGFACANFID, IBBUONUMERO, DBBUODATA, SBBUODESC, IBBUOTIPO, "
    "ILOCKED, "
    "SBBUOAPPLSCARICO) VALUES ( :IBBUOID, :IDWGFACANFID, :IBBUONUMERO, :DBBUODATA, :SBBUODESC, 1, 0, "
    "'VELIST');",
    "BUONO DI SCARICO AL VELISTO",
    false,
    false};

// Goods of the register not yet discharged and in its numbering, with a category and a sector, whatever
// the state of their loading voucher. The filter's conditions take the marker's place.
const char *const kListSQL =
    "SELECT INB.IBINBID, INB.IBINBNUMERO, INB.SBINBDESC, INB.IBINBANNOASSUNZ, INB.IBINBIMPORTO FROM "
    "TBInb_Beni INB    INNER JOIN TBBuo_Buoni buo ON (inb.iBBuoId = buo.iBBuoId)    INNER JOIN TDwgFacAnf "
    "dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId)    INNER JOIN TDWGFAC di ON dia.IDWGFACID=di.IDWGFACID    "
    "INNER JOIN TCam_CategorieInv cam ON (inb.iCamId = cam.iCamId)    INNER JOIN TSec_SettCons sec ON "
    "(inb.iSecId = sec.iSecId)    LEFT JOIN TCond_Condizioni cond ON (inb.iCondId = cond.iCondId)    LEFT "
    "JOIN VCae_CategMerce mer ON (inb.iCaeId = mer.iCaeId)  WHERE (di.IFACID=:iFacId) AND (iBBuoIdScarico IS "
    "NULL) AND (INB.IBINBFUORIREGISTRO=0) /*AND VORPTFILTER*/";
// The same goods' keys, with the columns the list may be sorted on: the goods lead, so that their key's
// index gives the first ones in order, with their loading voucher beside them for the filter's
// loading date; the register, the category and the sector are checked apart.
const char *const kKeysSQL =
    "SELECT INB.IBINBID, INB.IBINBNUMERO, INB.SBINBDESC, INB.IBINBANNOASSUNZ, INB.IBINBIMPORTO FROM "
    "TBInb_Beni INB LEFT JOIN TBBuo_Buoni buo ON (inb.iBBuoId = buo.iBBuoId) WHERE (inb.iBBuoIdScarico IS "
    "NULL) AND (INB.IBINBFUORIREGISTRO=0) AND EXISTS (SELECT 1 FROM TDwgFacAnf dia INNER JOIN TDWGFAC di ON "
    "dia.IDWGFACID=di.IDWGFACID WHERE (dia.iDwgFacAnfId = buo.iDwgFacAnfId) AND (di.IFACID=:iFacId)) AND "
    "EXISTS (SELECT 1 FROM TCam_CategorieInv cam WHERE cam.iCamId = inb.iCamId) AND EXISTS (SELECT 1 FROM "
    "TSec_SettCons sec WHERE sec.iSecId = inb.iSecId) /*AND VORPTFILTER*/";
// Only a good still in charge is discharged: one that another user discharged meanwhile touches no row.
const char *const kDischargeSQL = "UPDATE TBInb_Beni SET iBBuoIdScarico=:iBBuoIdScarico, iAvaId=3 WHERE "
                                  "iBInbId=:iBInbId AND iBBuoIdScarico IS NULL;";
const char *const kAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI INB WHERE "
    "INB.IBBUOIDSCARICO=:IBBUOID) WHERE iBBuoId=:iBBuoId;";

const char *const kNothingChosen = "Non è stato selezionato nessun bene";

} // namespace

TfmKvbSelectVelist::TfmKvbSelectVelist(QWidget *parent) : TfmKvbSelectVelist(parent, kConsumables) {
    setObjectName(QStringLiteral("fmKvbSelectVelist"));
}

TfmKvbSelectVelist::TfmKvbSelectVelist(QWidget *parent, const TkvbTransferProfile &profile)
    : TfmVoMultiSelect(parent), m_profile(profile) {
    resize(639, 437);
}

void TfmKvbSelectVelist::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    SetCommandText(QString::fromLatin1(kListSQL));
    SetKeySelect(QStringLiteral("INB.IBINBID"), QString::fromLatin1(kKeysSQL));
    SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    Dress(QString::fromUtf8(m_profile.caption),
          {{"iBInbNumero", "Numero", 100, true},
           {"sBInbDesc", "Descrizione", 300, true},
           {"iBInbAnnoAssunz", "Anno assunzione", m_profile.yearColumn ? 100 : 0, false},
           {"iBInbImporto", "Importo", 100, false, true}});
    SetXMLFilter(kvbGoodsFilterDefinition(), VoSavedFiltersDir(kvbGoodsFilterProgram));
}

TfmVoRptFiltro *TfmKvbSelectVelist::NewFilterForm() {
    return VoNewForm<TfmKvbFiltro>(this);
}

void TfmKvbSelectVelist::buOkClick() {
    const QVariantList chosen = frVoMultiSel->SelectedOrAllIds();
    if (chosen.isEmpty()) {
        VoMessageDlg(QString::fromUtf8(kNothingChosen), mtWarning, mbOK);
        return;
    }
    if (VoMessageDlg(QString::fromUtf8(m_profile.question).arg(chosen.size()).arg(CurrentYearValue),
                     mtConfirmation, mbYesNoCancel) != mrYes)
        return;
    if (TransferGoods(chosen))
        TfmVoMultiSelect::buOkClick();
}

bool TfmKvbSelectVelist::TransferGoods(const QVariantList &goodIds) {
    TVoHourglass hourglass;
    return kvbRunTransfer(this, [this, &goodIds] {
        kvbLockNumbering();
        const int voucher = NewId(QStringLiteral("TBBUO_BUONI"));
        // The date is built from the year, never read back from a text in the machine's locale.
        const double yearEnd =
            m_profile.atYearEnd ? CurrentYearEnd : DateToDays(QDate(CurrentYearValue, 12, 31));
        const int number = NextVoucherNumber(kvbUnloading);
        // Never before the register's previous unloading voucher or last closing.
        const double date = kvbAcceptedVoucherDate(yearEnd, number, kvbUnloading);
        TVoQuery header(QString::fromLatin1(m_profile.voucherSQL));
        header.SetParam(QStringLiteral("IBBUOID"), voucher)
            .SetParam(QStringLiteral("IDWGFACANFID"), ParamRegisterYearId())
            .SetParam(QStringLiteral("IBBUONUMERO"), number)
            .SetParamDate(QStringLiteral("DBBUODATA"), date)
            .SetParam(QStringLiteral("SBBUODESC"), QString::fromUtf8(m_profile.description))
            .Exec();
        TVoQuery discharge(QString::fromLatin1(kDischargeSQL));
        discharge.SetParam(QStringLiteral("iBBuoIdScarico"), voucher);
        for (const QVariant &good : goodIds) {
            if (discharge.SetParam(QStringLiteral("iBInbId"), good).Exec() != 1) {
                // Says which good another user discharged meanwhile.
                kvbLockUndischargedGood(good);
                throw EVoRecordChanged();
            }
        }
        VoExecSQL(QString::fromLatin1(kAmountSQL), {{QStringLiteral("IBBUOID"), voucher}});
    });
}
