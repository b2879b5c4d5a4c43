#include "kvbFSpostaBeni.h"

#include "VoDBDateEdit.h"
#include "VoDBGrid.h"
#include "VoDataSource.h"
#include "VoDates.h"
#include "VoIdComboBox.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"
#include "VoWait.h"
#include "kvbFChangeCons.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

namespace {

// The start sector's goods of the register; %1 takes the condition on the state. Read through their
// keys, they come in key order, the order they were entered.
const char *const kGoodsSQL =
    "SELECT INB.iBInbID, INB.dBBuoDATA, INB.iBInbNUMERO, INB.sBInbDESC, INB.iBInbIMPORTO, INB.SAVADESC FROM "
    "VBInb_Beni INB WHERE (INB.ISECID=:iSecId)%1 AND EXISTS (SELECT 1 FROM TDwgFacAnf dia INNER JOIN TDwgFac "
    "di ON dia.IDwgFacID=di.IDwgFacID WHERE (dia.iDwgFacAnfId = INB.iDwgFacAnfId) AND (di.iFacId=:iFacId))";
// The same goods' keys: the goods alone lead, so that their key's index gives the first ones in order,
// and the register is checked through the loading voucher apart.
const char *const kKeysSQL =
    "SELECT inb.IBINBID FROM TBINB_BENI inb WHERE (inb.ISECID=:iSecId)%1 AND EXISTS (SELECT 1 FROM "
    "TBBUO_BUONI buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac "
    "di ON dia.IDwgFacID=di.IDwgFacID WHERE (buo.IBBUOID = inb.IBBUOID) AND (di.iFacId=:iFacId))";
// Only the goods still in charge (states 1 and 2).
const char *const kInChargeSQL = " AND (inb.IAVAID<3)";

} // namespace

TfmkvbSpostaBeni::TfmkvbSpostaBeni(QWidget *parent)
    : TfmVoWizard(parent), tsSettori(new QWidget), cbSettStart(new TVoIdComboBox(tsSettori)),
      cbSettEnd(new TVoIdComboBox(tsSettori)), rxdeSpost(new TVoDBDateEdit(tsSettori)),
      ckBeniScar(new QCheckBox(QStringLiteral("Anche i beni scaricati"), tsSettori)), tsBeni(new QWidget),
      lwBeni(new TVoDBGrid(tsBeni)), xqcBeni(new TVoQueryCollection(this)), pmBeni(new QMenu(this)),
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
    rxdeSpost->SetDate(DaysToDate(TodayDays()));

    auto *list = new QVBoxLayout(tsBeni);
    list->setContentsMargins(0, 0, 0, 0);
    list->addWidget(lwBeni);
    xqcBeni->SetPacketRecords(100);
    // The texts as the list has always shown them.
    xqcBeni->AddCalcField(QStringLiteral("SNUMERO"), QMetaType::QString);
    xqcBeni->AddCalcField(QStringLiteral("SDATA"), QMetaType::QString);
    xqcBeni->AddCalcField(QStringLiteral("SIMPORTO"), QMetaType::QString);
    xqcBeni->OnCalcFields.Add([](TVoQueryCollection *c) {
        c->FieldByName(QStringLiteral("SNUMERO"))
            ->SetValue(QString::number(c->FieldByName(QStringLiteral("iBInbNUMERO"))->AsInteger()));
        c->FieldByName(QStringLiteral("SDATA"))
            ->SetValue(FormatDays(c->FieldByName(QStringLiteral("dBBuoDATA"))->AsDate()));
        c->FieldByName(QStringLiteral("SIMPORTO"))
            ->SetValue(c->FieldByName(QStringLiteral("iBInbIMPORTO"))->AsMoney().Text());
    });
    auto *source = new TVoDataSource(this);
    source->SetAutoEdit(false);
    source->SetDataSet(xqcBeni);
    lwBeni->SetDataSource(source);
    lwBeni->AddColumn(QStringLiteral("SNUMERO"), QStringLiteral("Numero"), 80);
    lwBeni->AddColumn(QStringLiteral("SDATA"), QStringLiteral("Data carico"), 90);
    lwBeni->AddColumn(QStringLiteral("sBInbDESC"), QStringLiteral("Descrizione"), 280);
    lwBeni->AddColumn(QStringLiteral("SIMPORTO"), QStringLiteral("Importo"), 100, Qt::AlignRight);
    lwBeni->AddColumn(QStringLiteral("SAVADESC"), QStringLiteral("Stato"));
    lwBeni->Model()->IsChecked = [this](int row) { return IsTicked(row); };
    lwBeni->Model()->SetChecked = [this](int row, bool ticked) { SetTicked(row, ticked); };
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
    const QString state = ckBeniScar->isChecked() ? QString() : QString::fromLatin1(kInChargeSQL);
    xqcBeni->Close();
    m_listedSector = start;
    m_allTicked = false;
    m_exceptions.clear();
    xqcBeni->SetCommandText(QString::fromLatin1(kGoodsSQL).arg(state));
    xqcBeni->SetKeySlice({QStringLiteral("INB.IBINBID"), QString::fromLatin1(kKeysSQL).arg(state)});
    xqcBeni->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    xqcBeni->SetParam(QStringLiteral("iSecId"), start);
    xqcBeni->Open();
}

int TfmkvbSpostaBeni::RowKey(int row) const {
    return xqcBeni->RowValue(row, 0).toInt();
}

QString TfmkvbSpostaBeni::RowText(int row, int column) const {
    return lwBeni->Model()->data(lwBeni->Model()->index(row, column)).toString();
}

bool TfmkvbSpostaBeni::IsTicked(int row) const {
    return m_allTicked != m_exceptions.contains(RowKey(row));
}

void TfmkvbSpostaBeni::SetTicked(int row, bool ticked) {
    if (ticked == m_allTicked)
        m_exceptions.remove(RowKey(row));
    else
        m_exceptions.insert(RowKey(row));
    lwBeni->Model()->ChecksChanged();
}

QList<std::pair<int, QString>> TfmkvbSpostaBeni::TickedGoods() {
    QList<std::pair<int, QString>> goods;
    if (!xqcBeni->Active())
        return goods;
    // The goods ticked one by one were all read; every good ticked reads those not read yet.
    if (m_allTicked)
        xqcBeni->FetchAll();
    const int number = xqcBeni->FieldByName(QStringLiteral("iBInbNUMERO"))->Index();
    for (int row = 0; row < xqcBeni->FetchedCount(); ++row)
        if (IsTicked(row))
            goods.append({RowKey(row), xqcBeni->RowValue(row, number).toString()});
    return goods;
}

void TfmkvbSpostaBeni::buOkClick() {
    const int destination = cbSettEnd->SelectedId();
    if (destination < 0)
        return;
    TVoHourglass hourglass;
    const QVariant date = DaysToTimestampParam(DateToDays(rxdeSpost->Date()));
    int moved = 0;
    QStringList movedMeanwhile;
    for (const auto &[good, number] : TickedGoods()) {
        try {
            if (!kvbRunSectorProcedure(QString::fromLatin1(kvbMoveGoodSQL),
                                       {{QStringLiteral("iBInbID"), good},
                                        {QStringLiteral("ISECID"), destination},
                                        {QStringLiteral("DSTART"), date}},
                                       m_listedSector)) {
                movedMeanwhile << number;
                continue;
            }
        } catch (const std::exception &e) {
            // The run stops at a failure; the goods moved before it stay moved and are counted.
            hourglass.Restore();
            VoShowException(e);
            break;
        }
        ++moved;
    }
    const QString count =
        QStringLiteral("Sono stati spostati ") + QString::number(moved) + QStringLiteral(" beni");
    if (movedMeanwhile.isEmpty()) {
        hourglass.Restore();
        VoMessageBox(count);
        TfmVoWizard::buOkClick();
        return;
    }
    // The wizard stays open on what the start sector now holds, for the user to look at again.
    FillGoods();
    hourglass.Restore();
    const bool one = movedMeanwhile.size() == 1;
    VoMessageBox(kvbMovedMeanwhileText(movedMeanwhile) +
                 (one ? QStringLiteral(", che non è stato spostato.\n")
                      : QStringLiteral(", che non sono stati spostati.\n")) +
                 count + QStringLiteral(".\nL'elenco dei beni è stato letto di nuovo."));
}

void TfmkvbSpostaBeni::SelectAllExecute() {
    m_allTicked = true;
    m_exceptions.clear();
    lwBeni->Model()->ChecksChanged();
}

void TfmkvbSpostaBeni::UnselectAllExecute() {
    m_allTicked = false;
    m_exceptions.clear();
    lwBeni->Model()->ChecksChanged();
}

void TfmkvbSpostaBeni::InvertSelectExecute() {
    // Each good's tick turns: the exceptions stay the exceptions of the other rule.
    m_allTicked = !m_allTicked;
    lwBeni->Model()->ChecksChanged();
}
