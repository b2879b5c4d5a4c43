#include "kvbFBuoniBase.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoMasterDetail.h"
#include "VoMessages.h"
#include "VoSearchDialog.h"
#include "kvaRBuoIdc.h"
#include "kvbFMessDefCar.h"
#include "kvbRBuoniCarico.h"
#include "kvbUBuoni.h"
#include "kvbUFinestreBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

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

} // namespace

TfmkvbBuoniBase::TfmkvbBuoniBase(QWidget *parent, int kind, const QString &caption, TfrkvbBuoniCarico *header,
                                 TfrVoDBRWGrid *goods)
    : TfmVoChildDB(parent), xqcMain(new TVoQueryCollection(this)), xqcDetail(new TVoQueryCollection(this)),
      xqcDoc(new TVoQueryCollection(this)), frMaster(header), Splitter1(new QSplitter(Qt::Vertical)),
      pcDetail(new QTabWidget), frBuoDoc(new TfrkvbBuoIdc),
      xacDefBuono(kvbNewAction(this, "Rendi buono definitivo")),
      xacFiltraImporti(kvbNewAction(this, "Solo buoni non corretti")),
      xacImpostaImporto(kvbNewAction(this, "Imposta importo buono uguale a importo beni")), m_kind(kind),
      m_goods(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("IBBUOID"), this)),
      m_documents(new TVoMasterDetail(xqcMain, xqcDoc, QStringLiteral("IBBUOID"), this)),
      m_goodsFrame(goods) {
    setWindowTitle(caption);
    OpenMaximized = true;
    frMaster->SetDataSet(xqcMain);
    m_goodsFrame->SetDataSet(xqcDetail);
    frBuoDoc->SetDataSet(xqcDoc);
    for (auto [frame, title] :
         {std::pair<QWidget *, const char *>{m_goodsFrame, "Beni"}, {frBuoDoc, "Documenti"}}) {
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
        pcDetail->addTab(page, QString::fromLatin1(title));
    }
    Splitter1->addWidget(frMaster);
    Splitter1->addWidget(pcDetail);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
}

void TfmkvbBuoniBase::FormCreate() {
    TfmVoChildDB::FormCreate();
    SetUpHeader();
    kvbSetUpDocuments(xqcDoc, m_kind);
    frBuoDoc->SetUpFor(xqcMain, m_kind, kvbBuoIdcProfile);

    pcDetail->setCurrentIndex(0);
    for (TfrVoDBRWGrid *frame : std::initializer_list<TfrVoDBRWGrid *>{frMaster, m_goodsFrame, frBuoDoc}) {
        frame->pcMain->setCurrentIndex(0);
        kvbSortColumnsOnTheirFields(frame->grFrame);
    }
    SetUpActions();
    HookEvents();
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
    xqcMain->AfterOpen.Add([this](TVoQueryCollection *) {
        for (const char *amount : {"IBENIIMP", "iBBuoIMPORTO"}) {
            TVoField *field = xqcMain->FieldByName(QString::fromLatin1(amount));
            field->SetDisplayFormat(QStringLiteral("#,###.00"));
            field->SetDisplayScale(4);
        }
        xqcMain->FieldByName(QStringLiteral("iBBuoNUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
    });
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
    frMaster->tbControl->addActions({xacDefBuono, xacFiltraImporti, xacImpostaImporto});
    const std::pair<QAction *, void (TfmkvbBuoniBase::*)()> handlers[] = {
        {xacImpostaImporto, &TfmkvbBuoniBase::xacImpostaImportoExecute},
        {xacFiltraImporti, &TfmkvbBuoniBase::xacFiltraImportiExecute},
        {xacDefBuono, &TfmkvbBuoniBase::xacDefBuonoExecute}};
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler] { VoGuarded([this, handler] { (this->*handler)(); }); });
}

void TfmkvbBuoniBase::HookEvents() {
    frMaster->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *field) { frMasterxdsMainDataChange(field); });
    frMaster->xdsMain->AfterStateChange.Add([this](TVoDataSource *) { frMasterxdsMainAfterStateChange(); });
    frMaster->xneNumero->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxneNumeroValidate(Ok, Msg); });
    frMaster->xdeData->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxdeDataValidate(Ok, Msg); });
    xqcMain->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        kvbVoucherHeaderBeforeWrite(xqcMain, m_kind, listKind, &m_proposedVoucher);
    });
    // The kind is written by the insert itself.
    xqcMain->VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &Prop, bool &) {
        if (Prop.Kind == skInsert)
            Prop.Values.Add(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    });
    xqcDetail->AfterPost.Add([this](TVoQueryCollection *) { RefreshVouchers(); });
    xqcDetail->AfterDelete.Add([this](TVoQueryCollection *) { RefreshVouchers(); });
}

void TfmkvbBuoniBase::FormShow() {
    TfmVoChildDB::FormShow();
    xqcMain->Open();
    ApplyLock();
}

void TfmkvbBuoniBase::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    xqcMain->Close();
}

int TfmkvbBuoniBase::CurrentVoucher() const {
    if (!xqcMain->Active() || xqcMain->IsEmpty() || xqcMain->State() == dsInsert)
        return -1;
    return xqcMain->FieldByName(QStringLiteral("iBBuoID"))->AsInteger(-1);
}

bool TfmkvbBuoniBase::CurrentVoucherDefinitive() const {
    return CurrentVoucher() > 0 && xqcMain->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() != 0;
}

bool TfmkvbBuoniBase::TakesNoGoods() const {
    return CurrentVoucherDefinitive() || CurrentVoucher() <= 0 || xqcMain->State() != dsBrowse;
}

void TfmkvbBuoniBase::ApplyLock() {
    m_goodsFrame->xacInsert->SetLocked(TakesNoGoods());
    frMaster->xacDelete->SetLocked(CurrentVoucherDefinitive());
}

void TfmkvbBuoniBase::frMasterxdsMainDataChange(TVoField *) {
    ApplyLock();
}

void TfmkvbBuoniBase::frMasterxdsMainAfterStateChange() {
    if (xqcMain->State() == dsInsert) {
        m_proposedVoucher = NextVoucherNumber(m_kind);
        frMaster->xneNumero->SetValue(m_proposedVoucher);
        frMaster->xdeData->SetDate(
            DaysToDate(kvbAcceptedVoucherDate(TodayDays(), m_proposedVoucher, m_kind)));
        xqcMain->FieldByName(QStringLiteral("iBBuoRicogniz"))->SetAsInteger(0);
    }
    ApplyLock();
}

void TfmkvbBuoniBase::frMasterxneNumeroValidate(bool &Ok, QString &Msg) {
    const int accepted = xqcMain->State() == dsInsert
                             ? m_proposedVoucher
                             : xqcMain->FieldByName(QStringLiteral("iBBuoNUMERO"))->OldValue().toInt();
    Msg = kvbVoucherNumberProblem(frMaster->xneNumero->Value(), m_kind, accepted);
    Ok = Msg.isEmpty();
}

void TfmkvbBuoniBase::frMasterxdeDataValidate(bool &Ok, QString &Msg) {
    Msg = kvbVoucherDateProblem(frMaster->xdeData->AsDays(), int(frMaster->xneNumero->AsFloat()), m_kind);
    Ok = Msg.isEmpty();
}

void TfmkvbBuoniBase::RefreshVouchers() {
    const TVoBookmark bookmark = xqcDetail->GetBookmark();
    xqcMain->Refresh();
    if (xqcDetail->Active() && xqcDetail->BookmarkValid(bookmark))
        xqcDetail->GotoBookmark(bookmark);
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
