#include "kvbFBuoniBase.h"

#include "AbcUBounds.h"
#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "VoSearchDialog.h"
#include "kvaRBuoIdc.h"
#include "kvbFMessDefCar.h"
#include "kvbRBuoniCarico.h"
#include "kvbUBuoni.h"
#include "kvbUFinestreBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QToolBar>

namespace {

const char *const kBeneficiaryListSQL = "SELECT IBENID, SBENRAGSOC FROM TBEN_BENEFICIARI WHERE ##WHERE##";
// The number, date and description that the search form shows, and the text the voucher shows, each
// part through COALESCE, so that an empty part leaves the rest.
const char *const kDeliberaLoadingListSQL =
    "SELECT IDELID, SDELNUMERO, DDELDATA, SDELDESC, COALESCE(SDELDESC, '') || ' num. ' || "
    "COALESCE(SDELNUMERO, "
    "'') || ' del ' || COALESCE(EXTRACT(DAY FROM DDELDATA), '') || '/' || COALESCE(EXTRACT(MONTH FROM "
    "DDELDATA), '') || '/' || COALESCE(EXTRACT(YEAR FROM DDELDATA), '') AS SDELSTRINGA FROM TDEL_DELIBERE "
    "WHERE (DDELDATA BETWEEN :dDa AND :dA) AND ##WHERE##";
const char *const kDeliberaUnloadingListSQL =
    "SELECT IDELID, SDELNUMERO, dDelData, sDelDesc FROM TDEL_DELIBERE "
    "WHERE (dDelData BETWEEN :dDa AND :dA) AND ##WHERE##";

const char *const kDefinitive = "Il buono è definitivo: non si può più modificare.";

// A loading voucher is offered the acceptance documents of up to a year before the register-year.
constexpr double kDaysBefore = 365.0;

// The documents page over this program's links: an unloading voucher is offered only the documents of
// its register-year.
const TBuoIdcProfile kvbBuoIdcProfile = {
    "TBBUO_BUONI",
    "IBBUOID",
    "iBBuoIdcId",
    "SELECT iBBuoIdcId FROM TBBuoIdc WHERE (iBBuoId=:iBBuoId) AND (iIdcId=:iIdcId);",
    "SELECT IBENID FROM TBBUO_BUONI WHERE IBBUOID = :iBBuoId",
    "Documento",
    "Fornitore",
    {365.0, 0.0},
    300,
};
// Goods follow the header's moves; a voucher takes goods only while its header is not being edited,
// and a definitive one stays.
const TAbcVoucherWindowProfile kWindowProfile{
    &kvbVoucherProfile, "IBBUOID", "iBBuoNUMERO", "Beni", {"IBENIIMP", "iBBuoIMPORTO"},
    "#,###.00",         4,         false,         true,   true};

} // namespace

TfmkvbBuoniBase::TfmkvbBuoniBase(QWidget *parent, int kind, const QString &caption, TfrkvbBuoniCarico *header,
                                 TfrVoDBRWGrid *goods)
    : TfmAbcBuoni(parent, kWindowProfile, kind, caption, TAbcVoucherHeader::Of(header), goods,
                  new TfrkvbBuoIdc),
      frMaster(header), frBuoDoc(static_cast<TfrkvbBuoIdc *>(DocumentsFrame())),
      xacDefBuono(kvbNewAction(this, "Rendi buono definitivo")),
      xacFiltraImporti(kvbNewAction(this, "Solo buoni non corretti")),
      xacImpostaImporto(kvbNewAction(this, "Imposta importo buono uguale a importo beni")) {}

void TfmkvbBuoniBase::FormCreate() {
    TfmAbcBuoni::FormCreate();
    SetUpHeader();
    kvbSetUpDocuments(xqcDoc, m_kind);
    frBuoDoc->SetUpFor(xqcMain, m_kind, kvbBuoIdcProfile);
    for (TfrVoDBRWGrid *frame : {HeaderFrame(), GoodsFrame(), DocumentsFrame()})
        kvbSortColumnsOnTheirFields(frame->grFrame);
    SetUpActions();
    xqcMain->SetFieldBounds(QStringLiteral("iBBuoIMPORTO"), AbcAmountBounds(QStringLiteral("Importo buono")));
    xqcDetail->SetFieldBounds(QStringLiteral("iBInbIMPORTO"), AbcAmountBounds(QStringLiteral("Importo")));
    // A definitive voucher stays as it was made definitive: a change the window let through is
    // refused inside its write when another user made the voucher definitive meanwhile.
    xqcMain->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        if (listKind == skUpdate)
            kvbLockProvisionalVoucher(xqcMain->FieldByName(QStringLiteral("IBBUOID"))->Value());
    });
    // The kind is written by the insert itself.
    xqcMain->VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &Prop, bool &) {
        if (Prop.Kind == skInsert)
            Prop.Values.Add(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    });
}

void TfmkvbBuoniBase::SetUpHeader() {
    const bool loading = m_kind == kvbLoading;
    frMaster->xelBenef->SetConnection(qqoVoGlobConn);
    frMaster->xelBenef->SetListSQL(QString::fromLatin1(kBeneficiaryListSQL));
    frMaster->xelBenef->OnShowSearchForm.Add([loading](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchFormTable(form, loading ? QStringLiteral("Fornitori") : QStringLiteral("Destinatari"));
    });
    TVoDBLookupEdit *delibera = frMaster->xelDelibera;
    delibera->SetConnection(qqoVoGlobConn);
    if (!loading)
        delibera->SetListField(QStringLiteral("SDELNUMERO"));
    delibera->SetListSQL(QString::fromLatin1(loading ? kDeliberaLoadingListSQL : kDeliberaUnloadingListSQL));
    delibera->ListDataSet()->SetParam(QStringLiteral("dDa"),
                                      DaysToDateParam(CurrentRegStart - (loading ? kDaysBefore : 0.0)));
    delibera->ListDataSet()->SetParam(QStringLiteral("dA"), DaysToDateParam(CurrentRegEnd));
    delibera->OnShowSearchForm.Add([loading](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(form, {loading ? QStringLiteral("Num accett") : QStringLiteral("Numero delibera"),
                             QStringLiteral("data"), QStringLiteral("descrizione")});
        if (loading) {
            // The voucher's text repeats the three columns: the form does not show it again.
            form->Columns(4).Visible = false;
            form->Columns(4).Indexed = false;
        }
    });

    kvbSetUpCollection(xqcMain, kvbVouchersSQL(m_kind, false));
    kvbSetLists(xqcMain, {loading ? kvbSQLBuoInsertCarico : kvbSQLBuoInsertScarico}, {kvbSQLBuoUpdate},
                {kvbSQLBuoDelete});
    xqcMain->SetParam(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) {
        TVoField *amount = xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"));
        amount->SetDisplayFormat(QStringLiteral("#,###.00"));
        amount->SetDisplayScale(4);
        xqcDetail->FieldByName(QStringLiteral("iBInbNUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
    });
}

void TfmkvbBuoniBase::SetUpActions() {
    xacFiltraImporti->setCheckable(true);
    xacDefBuono->setVisible(false);
    xacDefBuono->setEnabled(false);
    frMaster->tbControl->addSeparator();
    frMaster->tbControl->addAction(xacDefBuono);
    // Keys of their own: the frames' keys and the lookups' F8 stay free in both voucher windows.
    VoAddTool(frMaster->tbControl, xacFiltraImporti, QKeySequence(Qt::Key_F9), frMaster);
    VoAddTool(frMaster->tbControl, xacImpostaImporto, QKeySequence(Qt::Key_F7), frMaster);
    const std::pair<QAction *, void (TfmkvbBuoniBase::*)()> handlers[] = {
        {xacImpostaImporto, &TfmkvbBuoniBase::xacImpostaImportoExecute},
        {xacFiltraImporti, &TfmkvbBuoniBase::xacFiltraImportiExecute},
        {xacDefBuono, &TfmkvbBuoniBase::xacDefBuonoExecute}};
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler] { VoGuarded([this, handler] { (this->*handler)(); }); });
}

void TfmkvbBuoniBase::ProposeNewVoucher() {
    TfmAbcBuoni::ProposeNewVoucher();
    xqcMain->FieldByName(QStringLiteral("iBBuoRicogniz"))->SetAsInteger(0);
}

QString TfmkvbBuoniBase::DateProblem(double date, int number) const {
    if (xqcMain->State() == dsEdit && xqcMain->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() != 0)
        return QString::fromUtf8(kDefinitive);
    return TfmAbcBuoni::DateProblem(date, number);
}

// --- Actions ---------------------------------------------------------------------------------------------

void TfmkvbBuoniBase::xacImpostaImportoExecute() {
    // A loading voucher's goods amount is read again first: the goods may have changed elsewhere.
    if (m_kind == kvbLoading)
        xqcMain->Refresh();
    if (CurrentVoucher() <= 0 || !frMaster->xdsMain->Edit())
        return;
    xqcMain->FieldByName(QStringLiteral("iBBuoIMPORTO"))
        ->SetValue(xqcMain->FieldByName(QStringLiteral("IBENIIMP"))->Value());
}

void TfmkvbBuoniBase::xacFiltraImportiExecute() {
    xqcMain->Close();
    xqcMain->SetCommandText(kvbVouchersSQL(m_kind, xacFiltraImporti->isChecked()));
    xqcMain->SetParam(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    xqcMain->Open();
}

void TfmkvbBuoniBase::xacDefBuonoExecute() {
    const int voucher = CurrentVoucher();
    if (voucher <= 0)
        return;
    if (xqcDetail->IsEmpty()) {
        VoMessageDlg(QStringLiteral("Al buono non e' associato alcun bene. Impossibile renderlo definitivo."),
                     mtWarning, mbOK);
        return;
    }
    // Amounts are compared as stored; a voucher without an amount is worth 0.
    const TVoMoney amount = xqcMain->FieldByName(QStringLiteral("iBBuoIMPORTO"))->AsMoney();
    if (amount != xqcMain->FieldByName(QStringLiteral("IBENIIMP"))->AsMoney()) {
        VoMessageDlg(QStringLiteral("L'importo dei beni è diverso da quello del buono"), mtWarning, mbOK);
        return;
    }
    // Rounded to a whole unit, an amount under half a unit (in ten-thousandths) is 0.
    const qint64 half = 5000;
    if (amount.Stored() < half && amount.Stored() > -half &&
        VoMessageDlg(QStringLiteral("L'importo del buono è 0 vuoi continuare lo stesso?"), mtWarning,
                     mbYesNo) != mrYes)
        return;
    {
        std::unique_ptr<TfmMessDefCar> dialog(VoNewForm<TfmMessDefCar>(this));
        dialog->SetCarico(m_kind == kvbLoading);
        dialog->SetIdBuono(voucher);
        dialog->exec();
    }
    xqcMain->Refresh();
}
