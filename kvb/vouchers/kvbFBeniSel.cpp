#include "kvbFBeniSel.h"

#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"
#include "kvbUUtil.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The goods alone lead, so that their number's index gives the first rows; the register is checked
// through the loading voucher apart.
const char *const kBeniSQL =
    "SELECT inb.iBInbID, inb.iBInbNUMERO, inb.sBInbDESC, inb.iBInbIMPORTO FROM TBInb_Beni inb WHERE "
    "(inb.IAVAID<3) "
    "AND EXISTS (SELECT 1 FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "
    "dia.iDwgFacAnfId) "
    "INNER JOIN TDwgFac di ON (dia.IDwgFacID = di.IDwgFacID) WHERE (buo.iBBuoID = inb.iBBuoID) AND "
    "(di.iFacId=:iFacId)) ORDER BY inb.iBInbNUMERO";

} // namespace

TfmkvbBeniSel::TfmkvbBeniSel(QWidget *parent)
    : TfmVoOkCancDlg(parent), lwBeni(new QTableView), xqcBeni(new TVoQueryCollection(this)),
      m_model(new TVoTableModel(xqcBeni, this)) {
    setWindowTitle(QStringLiteral("fmkvbBeniSel"));
    xqcBeni->SetCommandText(QString::fromLatin1(kBeniSQL));
    xqcBeni->SetPacketRecords(100);
    // The texts as the list has always shown them: the number on seven digits, the description
    // without its outer blanks, the value rounded to the cent.
    xqcBeni->AddCalcField(QStringLiteral("SNUMERO"), QMetaType::QString);
    xqcBeni->AddCalcField(QStringLiteral("SDESCR"), QMetaType::QString);
    xqcBeni->AddCalcField(QStringLiteral("SIMPORTO"), QMetaType::QString);
    xqcBeni->OnCalcFields.Add([](TVoQueryCollection *c) {
        c->FieldByName(QStringLiteral("SNUMERO"))
            ->SetValue(QStringLiteral("%1").arg(c->FieldByName(QStringLiteral("iBInbNUMERO"))->AsInteger(), 7,
                                                10, QLatin1Char('0')));
        c->FieldByName(QStringLiteral("SDESCR"))
            ->SetValue(c->FieldByName(QStringLiteral("sBInbDESC"))->AsString().trimmed());
        c->FieldByName(QStringLiteral("SIMPORTO"))
            ->SetValue(c->FieldByName(QStringLiteral("iBInbIMPORTO"))->AsMoney().Text());
    });
    m_model->AddColumn(QStringLiteral("SNUMERO"), QStringLiteral("Numero"), 70);
    m_model->AddColumn(QStringLiteral("SDESCR"), QStringLiteral("Descrizione"), 270);
    m_model->AddColumn(QStringLiteral("SIMPORTO"), QStringLiteral("Importo"), 70);
    m_model->SetColumnAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    lwBeni->setModel(m_model);
    // A table, not a tree: a tree view reads one packet more each time it lays its rows out.
    lwBeni->verticalHeader()->hide();
    lwBeni->verticalHeader()->setDefaultSectionSize(lwBeni->fontMetrics().height() + 6);
    lwBeni->horizontalHeader()->setStretchLastSection(true);
    lwBeni->setShowGrid(false);
    lwBeni->setWordWrap(false);
    lwBeni->setSelectionBehavior(QAbstractItemView::SelectRows);
    lwBeni->setSelectionMode(QAbstractItemView::SingleSelection);
    lwBeni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lwBeni->setSortingEnabled(false);
    lwBeni->setColumnWidth(0, 70);
    lwBeni->setColumnWidth(1, 270);
    lwBeni->setColumnWidth(2, 70);
    lwBeni->setMinimumSize(440, 320);
    auto *layout = new QVBoxLayout(pnClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lwBeni);
}

QString TfmkvbBeniSel::RowText(int row, int column) const {
    return m_model->data(m_model->index(row, column)).toString();
}

void TfmkvbBeniSel::FormShow() {
    TfmVoOkCancDlg::FormShow();
    xqcBeni->Close();
    xqcBeni->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    xqcBeni->Open();
}

void TfmkvbBeniSel::buOkClick() {
    const QModelIndexList selected =
        lwBeni->selectionModel() ? lwBeni->selectionModel()->selectedRows() : QModelIndexList();
    if (selected.isEmpty()) {
        VoMessageDlg(QStringLiteral("Selezionare un bene prima di continuare."), mtWarning, mbOK);
        return;
    }
    const TVoField *key = xqcBeni->FieldByName(QStringLiteral("iBInbID"));
    m_result = xqcBeni->RowValue(selected.first().row(), key->Index()).toInt();
    TfmVoOkCancDlg::buOkClick();
}

void TfmkvbBeniSel::buCancelClick() {
    m_result = -1;
    TfmVoOkCancDlg::buCancelClick();
}
