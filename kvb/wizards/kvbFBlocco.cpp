#include "kvbFBlocco.h"

#include "VoDates.h"
#include "VoMessages.h"
#include "VoMoney.h"
#include "VoQuery.h"
#include "VoTransaction.h"
#include "VoUtils.h"
#include "kvbUUtil.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The goods a voucher loaded, at what they were worth then.
#define KVB_LOCK_LIST(condition)                                                                             \
    "SELECT BUO.iBBuoID, BUO.iBBuoNUMERO, BUO.dBBuoDATA, BUO.sBBuoDESC, BUO.iBBuoIMPORTO, (SELECT "          \
    "SUM(FKVB_IMPORTOALLADATA(INB.iBInbID, BUO.dBBuoDATA)) FROM TBInb_Beni INB WHERE "                       \
    "INB.iBBuoID=BUO.iBBuoID) AS IBENIIMP FROM TBBuo_Buoni "                                                 \
    "buo "                                                                                                   \
    "INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON "           \
    "(dia.IDwgFacID=di.IDwgFacID) WHERE (di.iFacId=:iFacId) AND " condition                                  \
    " ORDER BY BUO.iBBuoTIPO, BUO.iBBuoNUMERO;"

struct TProfile {
    const char *caption;
    const char *list;
    const char *question;
    const char *statements[3];
};

const TProfile kLock{
    "Blocco buoni",
    KVB_LOCK_LIST("(buo.iLocked <> 1)"),
    "Bloccare i buoni selezionati?",
    {"UPDATE TBBuo_Buoni SET iLocked = 1 WHERE iBBuoId=:iBBuoId;",
     "UPDATE TBInb_Beni SET iAvaId = 2 WHERE ((iBBuoId=:iBBuoId) AND (iBBuoIdScarico IS NULL));",
     "UPDATE TBInb_Beni SET iAvaId = 4 WHERE (iBBuoIdScarico=:iBBuoId);"}};
const TProfile kUnlock{
    "Sblocco buoni",
    KVB_LOCK_LIST("(buo.iLocked = 1)"),
    "Sbloccare i buoni selezionati?",
    {"UPDATE TBBuo_Buoni SET iLocked = 0 WHERE iBBuoId=:iBBuoId;",
     "UPDATE TBInb_Beni SET iAvaId = 1 WHERE ((iBBuoId=:iBBuoId) AND (iBBuoIdScarico IS NULL));",
     "UPDATE TBInb_Beni SET iAvaId = 3 WHERE (iBBuoIdScarico=:iBBuoId);"}};

const TProfile &Profile(bool lock) {
    return lock ? kLock : kUnlock;
}

} // namespace

TfmkvbBloccoBase::TfmkvbBloccoBase(bool lock, QWidget *parent)
    : TfmVoOkCancDlg(parent), lwBeni(new QTreeWidget(pnClient)), m_lock(lock) {
    setWindowTitle(QString::fromUtf8(Profile(lock).caption));
    resize(640, 420);
    lwBeni->setHeaderLabels({QStringLiteral("Numero"), QStringLiteral("Data"), QStringLiteral("Descrizione"),
                             QStringLiteral("Importo buono"), QStringLiteral("Importo beni")});
    lwBeni->setRootIsDecorated(false);
    lwBeni->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lwBeni->setSelectionBehavior(QAbstractItemView::SelectRows);
    lwBeni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lwBeni->setSortingEnabled(false);
    lwBeni->header()->setSectionsClickable(false);
    auto *layout = new QVBoxLayout(pnClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lwBeni);
}

void TfmkvbBloccoBase::FormShow() {
    TfmVoOkCancDlg::FormShow();
    lwBeni->clear();
    TVoQuery q(QString::fromLatin1(Profile(m_lock).list));
    q.SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    for (q.Open(); !q.Eof(); q.Next()) {
        auto *item = new QTreeWidgetItem(
            lwBeni,
            {PadL(QString::number(q.AsInteger(QStringLiteral("iBBuoNUMERO"))), 7, QLatin1Char('0')),
             DaysToDate(q.AsDate(QStringLiteral("dBBuoDATA"))).toString(QStringLiteral("dd/MM/yyyy")),
             q.AsString(QStringLiteral("sBBuoDESC")).trimmed(),
             q.AsMoney(QStringLiteral("iBBuoIMPORTO")).Text(), q.AsMoney(QStringLiteral("IBENIIMP")).Text()});
        item->setData(0, Qt::UserRole, q.AsInteger(QStringLiteral("iBBuoID")));
        item->setCheckState(0, Qt::Unchecked);
    }
    for (int column = 0; column < lwBeni->columnCount(); ++column)
        lwBeni->resizeColumnToContents(column);
}

void TfmkvbBloccoBase::buOkClick() {
    if (VoMessageDlg(QString::fromUtf8(Profile(m_lock).question), mtConfirmation, mbYesNo) != mrYes)
        return;
    if (VoGuarded([this] { Execute(); }))
        TfmVoOkCancDlg::buOkClick();
}

void TfmkvbBloccoBase::Execute() {
    const TProfile &profile = Profile(m_lock);
    TVoTransaction transaction;
    transaction.StartTransaction();
    for (int row = 0; row < lwBeni->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = lwBeni->topLevelItem(row);
        const int voucherId = item->data(0, Qt::UserRole).toInt();
        if (item->checkState(0) != Qt::Checked || voucherId <= 0)
            continue;
        for (const char *statement : profile.statements)
            VoExecSQL(QString::fromLatin1(statement), {{QStringLiteral("iBBuoId"), voucherId}});
    }
    transaction.Commit();
}
