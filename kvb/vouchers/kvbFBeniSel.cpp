#include "kvbFBeniSel.h"

#include "VoClassRegistry.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "kvbUUtil.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

VO_REGISTER_CLASS(TfmkvbBeniSel);

namespace {

const char *const kBeniSQL =
    "SELECT inb.iBInbID, inb.iBInbNUMERO, inb.sBInbDESC, inb.iBInbIMPORTO, inb.sBInbNOTE, inb.ICAMID, "
    "inb.ICAEID, inb.ICONDID, inb.IAVAID, inb.ISECID, inb.sBInbLIBTITOLO, inb.sBInbLIBAUTORE, "
    "inb.sBInbLIBEDITORE, inb.IVPROID, inb.ISEDINFID, inb.ICLCID FROM VBInb_Beni inb INNER JOIN TDwgFacAnf "
    "dia ON (inb.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON (dia.IDwgFacID = di.IDwgFacID) "
    "WHERE (di.iFacId=:iFacId) AND (IAVAID<3) ORDER BY inb.iBInbNUMERO";

} // namespace

TfmkvbBeniSel::TfmkvbBeniSel(QWidget *parent) : TfmVoOkCancDlg(parent), lwBeni(new QTreeWidget) {
    setWindowTitle(QStringLiteral("fmkvbBeniSel"));
    lwBeni->setRootIsDecorated(false);
    lwBeni->setUniformRowHeights(true);
    lwBeni->setSelectionBehavior(QAbstractItemView::SelectRows);
    lwBeni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lwBeni->setSortingEnabled(false);
    lwBeni->setHeaderLabels(
        {QStringLiteral("Numero"), QStringLiteral("Descrizione"), QStringLiteral("Importo")});
    lwBeni->setColumnWidth(0, 70);
    lwBeni->setColumnWidth(1, 270);
    lwBeni->setColumnWidth(2, 70);
    lwBeni->setMinimumSize(440, 320);
    auto *layout = new QVBoxLayout(pnClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lwBeni);
}

void TfmkvbBeniSel::FormShow() {
    TfmVoOkCancDlg::FormShow();
    lwBeni->clear();
    TVoQuery q(QString::fromLatin1(kBeniSQL));
    q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId).Open();
    QList<QTreeWidgetItem *> items;
    for (; !q.Eof(); q.Next()) {
        auto *item = new QTreeWidgetItem(
            {QStringLiteral("%1").arg(q.AsInteger(QStringLiteral("iBInbNUMERO")), 7, 10, QLatin1Char('0')),
             q.AsString(QStringLiteral("sBInbDESC")).trimmed(),
             q.AsMoney(QStringLiteral("iBInbIMPORTO")).Text()});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, q.AsInteger(QStringLiteral("iBInbID")));
        items.append(item);
    }
    lwBeni->addTopLevelItems(items);
}

void TfmkvbBeniSel::buOkClick() {
    const QList<QTreeWidgetItem *> selected = lwBeni->selectedItems();
    if (selected.isEmpty()) {
        VoMessageDlg(QStringLiteral("Selezionare un bene prima di continuare."), mtWarning, mbOK);
        return;
    }
    m_result = selected.first()->data(0, Qt::UserRole).toInt();
    TfmVoOkCancDlg::buOkClick();
}

void TfmkvbBeniSel::buCancelClick() {
    m_result = -1;
    TfmVoOkCancDlg::buCancelClick();
}
