#include "AbcFAggregati.h"

#include "AbcMVpro.h"
#include "AbcRAggregati.h"
#include "AbcUUtil.h"
#include "VoDBEdits.h"
#include "VoDates.h"

#include <QVBoxLayout>

namespace {

const char *const kAggregatiSQL =
    " SELECT TAGG_AGGREGATI.IAGGID, TAGG_AGGREGATI.IFLSID, TAGG_AGGREGATI.ITITOID, TAGG_AGGREGATI.IDWGID, "
    "TAGG_AGGREGATI.SAGGDESCS, TAGG_AGGREGATI.SAGGDESCL, TAGG_AGGREGATI.DSTART, TAGG_AGGREGATI.DEND, "
    "TAGG_AGGREGATI.DDELETE, TAGG_AGGREGATI.ILOCKED FROM TAGG_AGGREGATI JOIN TFLS_FLUSSOCASSA ON "
    "(TAGG_AGGREGATI.IFLSID = TFLS_FLUSSOCASSA.IFLSID AND TFLS_FLUSSOCASSA.DDELETE IS NULL) JOIN "
    "TTITO_TIPOTOTALE ON (TAGG_AGGREGATI.ITITOID = TTITO_TIPOTOTALE.ITITOID AND TTITO_TIPOTOTALE.DDELETE IS "
    "NULL) WHERE (TAGG_AGGREGATI.DDELETE IS NULL) AND (TFLS_FLUSSOCASSA.IFLSID = :IFLSID) AND "
    "(TTITO_TIPOTOTALE.ITITOID = :ITITOID) AND ((TAGG_AGGREGATI.IDWGID = :IDWGID) OR (TAGG_AGGREGATI.IDWGID "
    "IS NULL)) AND (TAGG_AGGREGATI.DSTART <= :DFINEANNO) AND ((TAGG_AGGREGATI.DEND > :DINIZIOANNO) OR "
    "(TAGG_AGGREGATI.DEND IS NULL)) ORDER BY TAGG_AGGREGATI.SAGGDESCS";

TfmVproBase::TYearState AggregatiYear;

} // namespace

TfmAggregati::TfmAggregati(QWidget *parent)
    : TfmVproBase(AggregatiYear, parent), frFAggregati(new TfrAggregati) {
    setObjectName(QStringLiteral("fmAggregati"));
    setWindowTitle(QStringLiteral("Aggregati"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frFAggregati);
}

void TfmAggregati::FormCreate() {
    TfmVoChildDB::FormCreate();
    if (ContextReady()) {
        frFAggregati->AggCashFlow = CashFlow;
        frFAggregati->AggTotalType = TotalType;
        frFAggregati->SetFrameCaption(VproCaption(QStringLiteral("Aggregati"), CashFlow, TotalType));
        frFAggregati->SetInfoText(QStringLiteral("Esercizio Finanziario ") +
                                  QString::number(CurrentYearValue));
        frFAggregati->xdeCodice->setMaxLength(CashFlow == 1 ? 2 : 1);
        frFAggregati->Bind(dmVproDBQuery->xqcAggregati);
        frFAggregati->ShowList();
        for (TVoDataAction *action :
             {frFAggregati->xacInsert, frFAggregati->xacEdit, frFAggregati->xacDelete})
            action->SetLocked(true);
        // Nor does typing into an aggregate start editing it.
        frFAggregati->xdsMain->SetAutoEdit(false);
        LoadYear();
    }
    CreationDone();
}

TfrVoDBROGrid *TfmAggregati::YearFrame() const {
    return frFAggregati;
}

void TfmAggregati::LoadYear() {
    TVoQueryCollection *aggregates = dmVproDBQuery->xqcAggregati;
    aggregates->Close();
    aggregates->SetCommandText(QString::fromLatin1(kAggregatiSQL));
    aggregates->SetParam(QStringLiteral("IFLSID"), frFAggregati->AggCashFlow);
    aggregates->SetParam(QStringLiteral("ITITOID"), frFAggregati->AggTotalType);
    aggregates->SetParam(QStringLiteral("IDWGID"), CurrentSchoolId);
    aggregates->SetParam(QStringLiteral("DFINEANNO"), DaysToDateParam(CurrentYearEnd));
    aggregates->SetParam(QStringLiteral("DINIZIOANNO"), DaysToDateParam(CurrentYearStart));
    aggregates->Open();
}

bool TfmAggregati::FormCloseQuery() {
    return AskSaveBeforeClose(
               frFAggregati->xdsMain, windowTitle(), mtConfirmation, HelpContext,
               [this] { frFAggregati->xacPostExecute(); }, [this] { frFAggregati->xacCancelExecute(); }) &&
           TfmVoChildDB::FormCloseQuery();
}

void TfmAggregati::FormClose(TCloseAction &Action) {
    if (dmVproDBQuery)
        dmVproDBQuery->xqcAggregati->Close();
    TfmVoChildDB::FormClose(Action);
}
