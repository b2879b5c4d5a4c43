#include "kvaFSelectBenDur.h"

#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "kvaUUtil.h"

namespace {

// The year-end voucher hands the year's stock to the next year, not goods to the inventory, and a
// voucher the inventory has imported is done: re-marked, either would come into the inventory as goods
// (again). Both keep their marker; the mark checks it again, since the inventory may import a voucher
// while this list is open.
#define KVA_HANDED_OVER_MAY_BE                                                                               \
    "(sFBuoUse IS DISTINCT FROM 'SCACHIUS') AND (sFBuoUse IS DISTINCT FROM 'BENDUR_IMP')"
const char *const kVouchersSQL = "SELECT * FROM TFBuo_Buoni WHERE iDwgFacAnfId = :iDwgFacAnfId AND iFBuoTipo "
                                 "= 1 AND " KVA_HANDED_OVER_MAY_BE;
const char *const kMarkSQL =
    "UPDATE TFBuo_Buoni SET sFBuoUse='BENDUR' WHERE (iFBuoId=:iFBuoId) AND " KVA_HANDED_OVER_MAY_BE;
const char *const kNoneChosen = "Non è stato selezionato nessun buono";
const char *const kConfirm =
    "Sono stati selezionati %d buoni da passare nel registro dei beni durevoli.\r\nContinuare?";
const char *const kHandedOne = "È stato passato 1 buono al registro dei beni durevoli.";
const char *const kHanded = "Sono stati passati %d buoni al registro dei beni durevoli.";

} // namespace

TfmkvaSelectBenDur::TfmkvaSelectBenDur(QWidget *parent) : TfmVoMultiSelect(parent) {
    setObjectName(QStringLiteral("fmkvaSelectBenDur"));
    setWindowTitle(QStringLiteral("Passaggio a beni durevoli"));
    resize(639, 437);
}

void TfmkvaSelectBenDur::FormCreate() {
    TfmVoMultiSelect::FormCreate();
    SetCommandText(QString::fromLatin1(kVouchersSQL));
    SetColumns({{"iFBuoNumero", "Numero", 100, true},
                {"sFBuoDesc", "Descrizione", 300, true},
                {"dFBuoData", "Data", 100, false}});
    SetBookmarkList(&m_ids);
}

void TfmkvaSelectBenDur::FormShow() {
    SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    TfmVoMultiSelect::FormShow();
}

void TfmkvaSelectBenDur::buOkClick() {
    if (GetSelCount() == 0)
        frVoMultiSel->SelectAll();
    m_ids = frVoMultiSel->SelectedIds();
    if (m_ids.isEmpty()) {
        VoMessageDlg(QString::fromUtf8(kNoneChosen), mtWarning, mbOK);
        return;
    }
    if (VoMessageDlg(VoFormat(QString::fromUtf8(kConfirm), {QString::number(m_ids.size())}), mtConfirmation,
                     mbYesNoCancel) != mrYes)
        return;
    int handed = 0;
    {
        TVoHourglass hourglass;
        TVoTransaction transaction;
        transaction.StartTransaction();
        TVoQuery mark(QString::fromLatin1(kMarkSQL));
        for (qsizetype i = m_ids.size() - 1; i >= 0; --i) {
            mark.SetParam(QStringLiteral("iFBuoId"), m_ids.at(i).toInt());
            handed += mark.Exec();
        }
        transaction.Commit();
    }
    VoMessageDlg(handed == 1 ? QString::fromUtf8(kHandedOne)
                             : VoFormat(QString::fromUtf8(kHanded), {QString::number(handed)}),
                 mtInformation, mbOK);
    TfmVoMultiSelect::buOkClick();
}
