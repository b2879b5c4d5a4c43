#include "kvbFSpostaBeni.h"

#include "VoDates.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoWait.h"
#include "kvbFChangeCons.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char *const kGoodsSQL =
    "SELECT INB.iBInbID, INB.dBBuoDATA, INB.iBInbNUMERO,INB.sBInbDESC,INB.iBInbIMPORTO,INB.SAVADESC   FROM "
    "VBInb_Beni INB    INNER JOIN TDwgFacAnf dia ON (inb.iDwgFacAnfId = dia.iDwgFacAnfId)    INNER JOIN "
    "TDwgFac di ON dia.IDwgFacID=di.IDwgFacID  WHERE (di.iFacId=:iFacId) AND (INB.ISECID=:iSecId) ";
// Only the goods still in charge (states 1 and 2).
const char *const kInChargeSQL = " AND IAVAID<3";

} // namespace

TfmkvbSpostaBeni::TfmkvbSpostaBeni(QWidget *parent)
    : TfmVoWizard(parent), tsSettori(new QWidget), cbSettStart(new TVoIdComboBox(tsSettori)),
      cbSettEnd(new TVoIdComboBox(tsSettori)), rxdeSpost(new QDateEdit(tsSettori)),
      ckBeniScar(new QCheckBox(QStringLiteral("Anche i beni scaricati"), tsSettori)), tsBeni(new QWidget),
      lwBeni(new QTreeWidget(tsBeni)), pmBeni(new QMenu(this)),
      SelectAll(new QAction(QStringLiteral("Seleziona tutto"), this)),
      InvertSelect(new QAction(QStringLiteral("Inverti selezione"), this)),
      UnselectAll(new QAction(QStringLiteral("Annulla selezione"), this)) {
    setObjectName(QStringLiteral("fmkvbSpostaBeni"));
    setWindowTitle(QStringLiteral("Sposta beni"));
    setToolTip(windowTitle());
    auto *form = new QFormLayout(tsSettori);
    form->addRow(QStringLiteral("Settore di partenza"), cbSettStart);
    form->addRow(QStringLiteral("Settore di destinazione"), cbSettEnd);
    form->addRow(QStringLiteral("Data di spostamento"), rxdeSpost);
    form->addRow(ckBeniScar);
    rxdeSpost->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    rxdeSpost->setCalendarPopup(true);
    rxdeSpost->setDate(DaysToDate(TodayDays()));

    auto *list = new QVBoxLayout(tsBeni);
    list->setContentsMargins(0, 0, 0, 0);
    list->addWidget(lwBeni);
    lwBeni->setRootIsDecorated(false);
    lwBeni->setHeaderLabels({QStringLiteral("Numero"), QStringLiteral("Data carico"),
                             QStringLiteral("Descrizione"), QStringLiteral("Importo"),
                             QStringLiteral("Stato")});
    lwBeni->setColumnWidth(0, 80);
    lwBeni->setColumnWidth(1, 90);
    lwBeni->setColumnWidth(2, 300);
    lwBeni->setColumnWidth(3, 100);
    lwBeni->setMinimumSize(700, 300);
    lwBeni->setContextMenuPolicy(Qt::CustomContextMenu);
    pmBeni->addActions({SelectAll, InvertSelect, UnselectAll});
    connect(lwBeni, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmBeni->popup(lwBeni->viewport()->mapToGlobal(at)); });
    connect(SelectAll, &QAction::triggered, this, [this] { SelectAllExecute(); });
    connect(InvertSelect, &QAction::triggered, this, [this] { InvertSelectExecute(); });
    connect(UnselectAll, &QAction::triggered, this, [this] { UnselectAllExecute(); });
    AddPage(tsSettori);
    AddPage(tsBeni);
}

void TfmkvbSpostaBeni::FormCreate() {
    TfmVoWizard::FormCreate();
    const QList<TVoEnumValue> sectors = LoadEnumValues(QString::fromLatin1(kvbSectorsEnumSQL));
    cbSettStart->SetEnumValues(sectors);
    cbSettEnd->SetEnumValues(sectors);
}

void TfmkvbSpostaBeni::buNextClick() {
    if (ActivePageIndex() == 0)
        FillGoods();
    TfmVoWizard::buNextClick();
}

void TfmkvbSpostaBeni::FillGoods() {
    const int start = cbSettStart->SelectedId();
    if (start <= 0)
        return;
    TVoHourglass hourglass;
    QString sql = QString::fromLatin1(kGoodsSQL);
    if (!ckBeniScar->isChecked())
        sql += QString::fromLatin1(kInChargeSQL);
    TVoQuery q(sql);
    q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId).SetParam(QStringLiteral("iSecId"), start);
    lwBeni->clear();
    QList<QTreeWidgetItem *> rows;
    for (q.Open(); !q.Eof(); q.Next()) {
        auto *row = new QTreeWidgetItem(QStringList{
            QString::number(q.AsInteger(QStringLiteral("iBInbNUMERO"))),
            FormatDays(q.AsDate(QStringLiteral("dBBuoDATA"))), q.AsString(QStringLiteral("sBInbDESC")),
            q.AsMoney(QStringLiteral("iBInbIMPORTO")).Text(), q.AsString(QStringLiteral("SAVADESC"))});
        row->setData(0, Qt::UserRole, q.AsInteger(QStringLiteral("iBInbID")));
        row->setCheckState(0, Qt::Unchecked);
        row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        rows << row;
    }
    lwBeni->addTopLevelItems(rows);
}

void TfmkvbSpostaBeni::buOkClick() {
    const int destination = cbSettEnd->SelectedId();
    if (destination < 0)
        return;
    TVoHourglass hourglass;
    const QVariant date = DaysToTimestampParam(DateToDays(rxdeSpost->date()));
    int moved = 0;
    for (int i = 0; i < lwBeni->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = lwBeni->topLevelItem(i);
        if (row->checkState(0) != Qt::Checked)
            continue;
        try {
            kvbRunSectorProcedure(QString::fromLatin1(kvbMoveGoodSQL),
                                  {{QStringLiteral("iBInbID"), row->data(0, Qt::UserRole)},
                                   {QStringLiteral("ISECID"), destination},
                                   {QStringLiteral("DSTART"), date}});
        } catch (const std::exception &e) {
            // The run stops at a failure; the goods moved before it stay moved and are counted.
            hourglass.Restore();
            VoShowException(e);
            break;
        }
        ++moved;
    }
    hourglass.Restore();
    VoMessageBox(QStringLiteral("Sono stati spostati ") + QString::number(moved) + QStringLiteral(" beni"));
    TfmVoWizard::buOkClick();
}

void TfmkvbSpostaBeni::SetAllChecks(bool (*check)(bool checked)) {
    for (int i = 0; i < lwBeni->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = lwBeni->topLevelItem(i);
        row->setCheckState(0, check(row->checkState(0) == Qt::Checked) ? Qt::Checked : Qt::Unchecked);
    }
}

void TfmkvbSpostaBeni::SelectAllExecute() {
    SetAllChecks([](bool) { return true; });
}

void TfmkvbSpostaBeni::UnselectAllExecute() {
    SetAllChecks([](bool) { return false; });
}

void TfmkvbSpostaBeni::InvertSelectExecute() {
    SetAllChecks([](bool checked) { return !checked; });
}
