#include "kvaFSelectBenDur.h"

#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"
#include "VoWait.h"
#include "kvaUUtil.h"

namespace {

const char *const kVouchersSQL =
    "SELECT * FROM TFBuo_Buoni WHERE iDwgFacAnfId = :iDwgFacAnfId AND iFBuoTipo = 1";
const char *const kMarkSQL = "UPDATE TFBuo_Buoni SET sFBuoUse='BENDUR' WHERE iFBuoId=:iFBuoId;";
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
    {
        TVoHourglass hourglass;
        TVoTransaction transaction;
        transaction.StartTransaction();
        TVoQuery mark(QString::fromLatin1(kMarkSQL));
        for (qsizetype i = m_ids.size() - 1; i >= 0; --i) {
            mark.SetParam(QStringLiteral("iFBuoId"), m_ids.at(i).toInt());
            mark.Exec();
        }
        transaction.Commit();
    }
    VoMessageDlg(m_ids.size() == 1 ? QString::fromUtf8(kHandedOne)
                                   : VoFormat(QString::fromUtf8(kHanded), {QString::number(m_ids.size())}),
                 mtInformation, mbOK);
    TfmVoMultiSelect::buOkClick();
}
