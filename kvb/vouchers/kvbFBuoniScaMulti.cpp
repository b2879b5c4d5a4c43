#include "kvbFBuoniScaMulti.h"

#include "AbcUContext.h"
#include "VoConnection.h"
#include "VoDBGrid.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoFiltro.h"
#include "VoIdComboBox.h"
#include "VoMultiSelect.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <QApplication>
#include <QFormLayout>
#include <QPushButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>
#include <memory>
#include <tuple>

namespace {

const char *const kCausesSQL = "SELECT ICAVID, SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVTIPO=1";
// A voucher without a description is shown by its number.
const char *const kVouchersSQL =
    "SELECT IBBUOID, IBBUONUMERO || COALESCE(' ' || SBBUODESC, '') FROM TBBUO_BUONI WHERE ((IBBUOTIPO=1) AND "
    "(ILOCKED<>1) AND (iDwgFacAnfId=:iDwgFacAnfId) %1) ORDER BY IBBUONUMERO";
// The goods in charge of the register's numbering, of every register-year of the register, loaded by
// a voucher dated on or before the wizard date. The filter's columns are those of the goods and of
// their loading voucher, by these aliases.
// The goods lead the join (every good has its loading voucher, so the outer join adds or drops none)
// and the register is checked apart: the first rows come from the goods number's index, not from
// sorting the whole register.
const char *const kGoodsSQL =
    "SELECT INB.IBINBID, INB.IBINBNUMERO, buo.DBBUODATA, INB.SBINBDESC, INB.IBINBIMPORTO FROM TBINB_BENI INB "
    "LEFT JOIN TBBUO_BUONI buo ON (buo.IBBUOID = INB.IBBUOID) WHERE EXISTS (SELECT 1 FROM TDWGFACANF dia "
    "INNER JOIN TDWGFAC df ON (df.IDWGFACID = dia.IDWGFACID) WHERE (dia.IDWGFACANFID = buo.IDWGFACANFID) AND "
    "(df.IFACID = :IFACID)) AND (buo.DBBUODATA <= :DDATA) AND (INB.IAVAID = 2) AND (INB.IBINBFUORIREGISTRO = "
    "0) /*AND VORPTFILTER*/ ORDER BY INB.IBINBNUMERO";
const char *const kDischargeSQL = "UPDATE TBInb_Beni  SET ICAVIDSCARICO=:ICAVID, iBBuoIDSCARICO=:iBBuoIDSCA, "
                                  "IAVAID=3  WHERE iBInbID=:iBInbID AND iBBuoIDSCARICO IS NULL";
const char *const kAmountSQL =
    "UPDATE TBBuo_Buoni SET iBBuoImporto=(SELECT SUM(INB.IBINBIMPORTO) FROM TBINB_BENI "
    "INB WHERE INB.IBBUOIDSCARICO=:IBBUOID) WHERE iBBuoId=:iBBuoId;";

QWidget *FormPage(QWidget *page, std::initializer_list<std::pair<const char *, QWidget *>> rows) {
    auto *form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (const auto &[label, field] : rows)
        form->addRow(QString::fromUtf8(label), field);
    return page;
}

} // namespace

TfmBuoniScaMulti::TfmBuoniScaMulti(QWidget *parent)
    : TfmVoWizard(parent), tsBeni(new QWidget), frVoMultiSelect1(new TfrVoMultiSelect(tsBeni)),
      xqcBeni(frVoMultiSelect1->xqcMultiSelect), tsScarico(new QWidget), cbCausale(new TVoIdComboBox),
      paBuono(new QWidget), cbBuono(new TVoIdComboBox) {
    setWindowTitle(QStringLiteral("Inserimento scarichi multiplo"));
    resize(680, 480);
    auto *goodsLayout = new QVBoxLayout(tsBeni);
    goodsLayout->setContentsMargins(0, 0, 0, 0);
    goodsLayout->addWidget(frVoMultiSelect1);
    auto *unloadingLayout = new QVBoxLayout(tsScarico);
    unloadingLayout->addWidget(FormPage(new QWidget, {{"Causale di scarico", cbCausale}}));
    unloadingLayout->addWidget(FormPage(paBuono, {{"Buono di scarico", cbBuono}}));
    unloadingLayout->addStretch(1);
    for (TVoIdComboBox *combo : {cbCausale, cbBuono}) {
        combo->setMinimumWidth(320);
        combo->OnChange = [this](QObject *) { CheckButtons(); };
    }
    AddPage(tsBeni);
    AddPage(tsScarico);
}

void TfmBuoniScaMulti::FormCreate() {
    TfmVoWizard::FormCreate();
    cbCausale->SetEnumValues(LoadEnumValues(QString::fromLatin1(kCausesSQL)));
    LoadVouchers();

    TVoDBGrid *grid = frVoMultiSelect1->grFrame;
    const std::tuple<const char *, const char *, int, bool> columns[] = {
        {"IBINBNUMERO", "Numero", 90, false},
        {"DBBUODATA", "Data carico", 100, false},
        {"SBINBDESC", "Descrizione", 200, true},
        {"IBINBIMPORTO", "Importo", 110, false}};
    for (const auto &[field, title, width, text] : columns) {
        const int column = grid->AddColumn(QString::fromLatin1(field), QString::fromLatin1(title), width);
        grid->ColsIndex().Add(column, QString::fromLatin1(field), QString(), text);
    }
    xqcBeni->SetConnection(qqoVoGlobConn);
    // A whole register may be offered: the list reads what the grid shows, the rest when ticked.
    xqcBeni->SetPacketRecords(100);
    xqcBeni->AfterOpen.Add([this](TVoQueryCollection *) {
        TVoField *amount = xqcBeni->FieldByName(QStringLiteral("IBINBIMPORTO"));
        amount->SetDisplayFormat(QStringLiteral("#,###.00"));
        amount->SetDisplayScale(4);
        xqcBeni->FieldByName(QStringLiteral("IBINBNUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
        CheckButtons();
    });
    frVoMultiSelect1->SetFilteredSQL(QString::fromLatin1(kGoodsSQL));
    // One filter form for the program, made at the first request and kept with its conditions.
    frVoMultiSelect1->SetFilterForm([this]() -> TfmVoRptFiltro * {
        if (!fmVoRptFiltro) {
            std::unique_ptr<TfmVoRptFiltro> form(VoNewForm<TfmVoRptFiltro>(window()->parentWidget()));
            form->frVoFiltro->SetXMLFilter(kvbGoodsFilterDefinition());
            form->frVoFiltro->SetFilterDir(VoSavedFiltersDir(kvbGoodsFilterProgram));
            fmVoRptFiltro = form.release();
        }
        return fmVoRptFiltro;
    });
    SetActivePageIndex(0);
}

void TfmBuoniScaMulti::SetVoucherCondition(const QString &condition) {
    m_voucherCondition = condition;
    LoadVouchers();
}

void TfmBuoniScaMulti::LoadVouchers() {
    cbBuono->SetEnumValues(LoadEnumValues(QString::fromLatin1(kVouchersSQL).arg(m_voucherCondition),
                                          {{QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId()}}));
}

void TfmBuoniScaMulti::FormShow() {
    TfmVoWizard::FormShow();
    paBuono->setVisible(m_voucherId == -1);
    paBuono->setEnabled(m_voucherId == -1);
    LoadGoods();
}

void TfmBuoniScaMulti::LoadGoods() {
    ApplyGoodsFilter(TVoFilterCondition());
    frVoMultiSelect1->acApplyFilter->setChecked(false);
}

bool TfmBuoniScaMulti::ApplyGoodsFilter(const TVoFilterCondition &condition) {
    xqcBeni->SetParam(QStringLiteral("IFACID"), CurrentRegisterId);
    xqcBeni->SetParam(QStringLiteral("DDATA"), DaysToDateParam(std::floor(m_date)));
    return frVoMultiSelect1->ApplyFilter(condition);
}

bool TfmBuoniScaMulti::CanFinish() const {
    return cbCausale->SelectedId() > 0 && (paBuono->isHidden() || cbBuono->SelectedId() > 0);
}

void TfmBuoniScaMulti::CheckButtons() {
    TfmVoWizard::CheckButtons();
    buCancel->setEnabled(true);
    if (ActivePageIndex() == 0) {
        buNext->setEnabled(xqcBeni->Active() && !xqcBeni->IsEmpty());
        buPrior->setEnabled(false);
        buOk->setEnabled(false);
    } else {
        buPrior->setEnabled(true);
        buNext->setEnabled(false);
        buOk->setEnabled(CanFinish());
    }
}

void TfmBuoniScaMulti::buOkClick() {
    if (!CanFinish())
        return;
    if (ExecuteUnloading())
        TfmVoWizard::buOkClick();
}

bool TfmBuoniScaMulti::ExecuteUnloading() {
    const QVariantList goods = frVoMultiSelect1->SelectedOrAllIds();
    const int cause = cbCausale->SelectedId();
    const int voucher = m_voucherId == -1 ? cbBuono->SelectedId() : m_voucherId;
    if (cause <= 0 || voucher <= 0)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const bool done = VoGuarded([&] {
        TVoTransaction transaction(qqoVoGlobConn);
        transaction.StartTransaction();
        // The voucher's amount is summed once every good is on it: no other run may add to it meanwhile.
        kvbLockProvisionalVoucher(voucher);
        TVoQuery discharge(QString::fromLatin1(kDischargeSQL));
        for (const QVariant &good : goods) {
            discharge.SetParam(QStringLiteral("ICAVID"), cause)
                .SetParam(QStringLiteral("iBBuoIDSCA"), voucher)
                .SetParam(QStringLiteral("iBInbID"), good);
            if (discharge.Exec() != 1) {
                // Discharged meanwhile: the check names the good.
                kvbLockUndischargedGood(good);
                throw EVoRecordChanged();
            }
        }
        VoExecSQL(QString::fromLatin1(kAmountSQL), {{QStringLiteral("IBBUOID"), voucher}});
        transaction.Commit();
    });
    // What another user discharged meanwhile leaves the list, and nothing stays ticked.
    if (!done)
        frVoMultiSelect1->ApplyFilter(frVoMultiSelect1->AppliedFilter());
    return done;
}
