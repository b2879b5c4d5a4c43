#include "AbcFVoci.h"

#include "AbcMVpro.h"
#include "AbcRSottoVoci.h"
#include "AbcRVociProgetti.h"
#include "AbcUUtil.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDates.h"
#include "VoMessages.h"

#include <QSplitter>
#include <QVBoxLayout>

namespace {

const char *const kSottoVociSQL =
    " SELECT TSVO_SOTTOVOCI.ISVOID, TSVO_SOTTOVOCI.ICORID, TSVO_SOTTOVOCI.IVPROID, TSVO_SOTTOVOCI.IDWGID, "
    "TSVO_SOTTOVOCI.SSVODESCS, TSVO_SOTTOVOCI.SSVODESCL, TSVO_SOTTOVOCI.LSVODEFAULT, TSVO_SOTTOVOCI.DSTART, "
    "TSVO_SOTTOVOCI.DEND, TSVO_SOTTOVOCI.DDELETE, TSVO_SOTTOVOCI.ILOCKED FROM TSVO_SOTTOVOCI WHERE "
    "(TSVO_SOTTOVOCI.IVPROID = :IVPROID) AND ((TSVO_SOTTOVOCI.IDWGID = :IDWGID) OR (TSVO_SOTTOVOCI.IDWGID IS "
    "NULL)) ORDER BY TSVO_SOTTOVOCI.SSVODESCS";
const char *const kVociSQL =
    " SELECT TVPRO_VOCIPROGETTI.IVPROID, TVPRO_VOCIPROGETTI.ICORID, TVPRO_VOCIPROGETTI.IAGGID, "
    "TVPRO_VOCIPROGETTI.IDWGID, TVPRO_VOCIPROGETTI.ITCKID, TVPRO_VOCIPROGETTI.SVPROCOD, "
    "TVPRO_VOCIPROGETTI.SVPRODESCS, TVPRO_VOCIPROGETTI.SVPRODESCL, TVPRO_VOCIPROGETTI.BVPRONOTE, "
    "TVPRO_VOCIPROGETTI.LVPRODEFAULT, TVPRO_VOCIPROGETTI.DSTART, TVPRO_VOCIPROGETTI.DEND, "
    "TVPRO_VOCIPROGETTI.DDELETE, TVPRO_VOCIPROGETTI.ILOCKED, "
    "TAGG_AGGREGATI.SAGGDESCS,TAGG_AGGREGATI.SAGGDESCL "
    "FROM TVPRO_VOCIPROGETTI JOIN TAGG_AGGREGATI ON (TVPRO_VOCIPROGETTI.IAGGID = TAGG_AGGREGATI.IAGGID AND "
    "TAGG_AGGREGATI.DDELETE IS NULL) WHERE (TAGG_AGGREGATI.IFLSID = :IFLSID) AND (TAGG_AGGREGATI.ITITOID = "
    ":ITITOID) AND ((TAGG_AGGREGATI.IDWGID = :IDWGID) OR (TAGG_AGGREGATI.IDWGID IS NULL)) AND "
    "((TVPRO_VOCIPROGETTI.IDWGID = :IDWGID) OR (TVPRO_VOCIPROGETTI.IDWGID IS NULL)) AND "
    "(TAGG_AGGREGATI.DSTART <= :DFINEANNO) AND ((TAGG_AGGREGATI.DEND > :DINIZIOANNO) OR (TAGG_AGGREGATI.DEND "
    "IS NULL)) AND (TVPRO_VOCIPROGETTI.DSTART <= :DFINEANNO) AND ((TVPRO_VOCIPROGETTI.DEND > :DINIZIOANNO) "
    "OR "
    "(TVPRO_VOCIPROGETTI.DEND IS NULL)) AND (TVPRO_VOCIPROGETTI.DDELETE IS NULL) ORDER BY "
    "TAGG_AGGREGATI.SAGGDESCS, TVPRO_VOCIPROGETTI.SVPROCOD";

const char *const kNoRights = "Attenzione!\r\nL'utente non ha i diritti di scrittura e modifica.";

TfmVproBase::TYearState VproYear;

} // namespace

TfmVoci::TfmVoci(QWidget *parent)
    : TfmVproBase(VproYear, parent), frFVoci(new TfrVociProgetti), Splitter1(new QSplitter(Qt::Vertical)),
      frFSottoVoci(new TfrSottoVoci) {
    setObjectName(QStringLiteral("fmVoci"));
    setWindowTitle(QStringLiteral("Voci e Progetti"));
    Splitter1->addWidget(frFVoci);
    Splitter1->addWidget(frFSottoVoci);
    Splitter1->setStretchFactor(0, 2);
    Splitter1->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
}

void TfmVoci::FormCreate() {
    TfmVoChildDB::FormCreate();
    if (CashFlow == 2 && !CurrentUserCanWrite()) {
        VoMessageDlg(QString::fromUtf8(kNoRights), mtInformation, mbOK);
        for (TVoDataAction *action :
             {frFVoci->xacInsert, frFVoci->xacEdit, frFVoci->xacDelete, frFVoci->xacPost})
            action->SetLocked(true);
        // Nor does typing into an item start editing it.
        frFVoci->xdsMain->SetAutoEdit(false);
    }
    if (ContextReady()) {
        frFVoci->VproCashFlow = CashFlow;
        frFVoci->VproTotalType = TotalType;
        frFVoci->SetFrameCaption(VproCaption(QStringLiteral("Voci Progetti"), CashFlow, TotalType));
        frFVoci->xdeCodice->setMaxLength(CashFlow == 1 ? 2 : 5);
        // Income items are kept by the budgeting program; here only their sub-items are.
        if (CashFlow == 1) {
            for (TVoDataAction *action : {frFVoci->xacInsert, frFVoci->xacEdit, frFVoci->xacDelete})
                action->SetLocked(true);
        } else {
            frFSottoVoci->hide();
        }
        frFVoci->SetInfoText(QStringLiteral("Esercizio Finanziario : ") + QString::number(CurrentYearValue));
        frFVoci->Bind(dmVproDBQuery->xqcVoci);
        frFSottoVoci->Bind(dmVproDBQuery->xqcSottoVoci);
        CoupleFrames();
        LoadYear();
        frFVoci->ShowList();
        frFSottoVoci->ShowList();
    }
    CreationDone();
}

TfrVoDBROGrid *TfmVoci::YearFrame() const {
    return frFVoci;
}

void TfmVoci::LoadYear() {
    TdmVproDBQuery *dm = dmVproDBQuery;
    frFVoci->SetAggregateList();
    dm->xqcVoci->Close();
    dm->xqcSottoVoci->Close();
    dm->xqcSottoVoci->SetCommandText(QString::fromLatin1(kSottoVociSQL));
    dm->xqcSottoVoci->SetParam(QStringLiteral("iVproId"), 0);
    dm->xqcSottoVoci->SetParam(QStringLiteral("iDwgId"), CurrentSchoolId);
    dm->xqcVoci->SetCommandText(QString::fromLatin1(kVociSQL));
    dm->xqcVoci->SetParam(QStringLiteral("iFlsId"), frFVoci->VproCashFlow);
    dm->xqcVoci->SetParam(QStringLiteral("iTitoId"), frFVoci->VproTotalType);
    dm->xqcVoci->SetParam(QStringLiteral("iDwgId"), CurrentSchoolId);
    dm->xqcVoci->SetParam(QStringLiteral("DFINEANNO"), DaysToDateParam(CurrentYearEnd));
    dm->xqcVoci->SetParam(QStringLiteral("DINIZIOANNO"), DaysToDateParam(CurrentYearStart));
    dm->xqcVoci->Open();
}

// While one frame writes, the other leaves alone what the write takes from it: the item's accounts and
// dates, which its sub-items follow, and the sub-item's accounts, which follow the item's.
void TfmVoci::CoupleFrames() {
    frFSottoVoci->xdsMain->AfterStateChange.Add([this](TVoDataSource *source) {
        const bool free = !source->Editing();
        frFVoci->EnableAccounts(free);
        frFVoci->xddDataInizio->setEnabled(free);
        frFVoci->xddDataFine->setEnabled(free);
    });
    frFVoci->xdsMain->AfterStateChange.Add([this](TVoDataSource *source) {
        if (source->Editing())
            frFSottoVoci->EnableAccounts(false);
        else
            frFSottoVoci->ShowRow();
    });
}

bool TfmVoci::FormCloseQuery() {
    const QString caption = windowTitle();
    if (!AskSaveBeforeClose(
            frFVoci->xdsMain, caption, mtConfirmation, HelpContext, [this] { frFVoci->xacPostExecute(); },
            [this] { frFVoci->xacCancelExecute(); }))
        return false;
    if (!AskSaveBeforeClose(
            frFSottoVoci->xdsMain, caption, mtConfirmation, HelpContext,
            [this] { frFSottoVoci->xacPostExecute(); },
            [this] { frFSottoVoci->xacCancel->ExecuteDefault(); }))
        return false;
    return TfmVoChildDB::FormCloseQuery();
}

void TfmVoci::FormClose(TCloseAction &Action) {
    if (dmVproDBQuery) {
        dmVproDBQuery->xqcSottoVoci->Close();
        dmVproDBQuery->xqcVoci->Close();
    }
    TfmVoChildDB::FormClose(Action);
}
