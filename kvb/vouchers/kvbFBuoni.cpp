#include "kvbFBuoni.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoMasterDetail.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "kvaRBuoIdc.h"
#include "kvbFBeniSel.h"
#include "kvbFDuplBene.h"
#include "kvbFMessDefCar.h"
#include "kvbRBeniCarico.h"
#include "kvbRBuoniCarico.h"
#include "kvbRInbVer.h"
#include "kvbUBuoni.h"
#include "kvbUFinestreBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char *const kGoodsSQL =
    "SELECT inb.iBInbID, inb.iBInbNUMERO, inb.sBInbDESC, inb.sBInbNOTE, inb.iBBuoID, inb.iBInbIMPORTO, "
    "inb.ICAMID, inb.ICAEID, inb.ICAVID, inb.ICONDID, inb.IAVAID, inb.ISECID, inb.sBInbLIBTITOLO, "
    "inb.sBInbLIBAUTORE, inb.sBInbLIBEDITORE, inb.IVPROID, inb.ISEDINFID, inb.ICLCID, inb.iBInbAnnoAssunz, "
    "inb.sBInbMatricola, inb.sBInbCodNumero, inb.ICAVIDSCARICO, ava.SAVADESC, cond.SCONDDESC, "
    "cond.SCONDCODICE, cam.SCAMCODICE, cam.SCAMDESC, sed.SSEDINFLDESC, clc.SCLCDESCL, %1 AS iLocked_, "
    "CASE WHEN COALESCE(inb.sBInbCodNumero, '') = '' THEN CAST(inb.iBInbNUMERO AS VARCHAR(20)) ELSE "
    "inb.iBInbNUMERO || '/' || inb.sBInbCodNumero END AS NumCod FROM TBInb_Beni inb LEFT JOIN "
    "TAVA_STATIAVANZA ava ON (ava.IAVAID = inb.IAVAID) LEFT JOIN TCOND_CONDIZIONI cond ON (cond.ICONDID = "
    "inb.ICONDID) LEFT JOIN TCAM_CATEGORIEINV cam ON (cam.ICAMID = inb.ICAMID) LEFT JOIN TSEDINF_SEDEINFO "
    "sed "
    "ON (sed.ISEDINFID = inb.ISEDINFID) LEFT JOIN TCLC_COLLOCAZIONI clc ON (clc.ICLCID = inb.ICLCID) WHERE "
    "inb.iBBuoID = :iBBuoID ORDER BY inb.iBInbNUMERO DESC";
const char *const kMinutesSQL =
    "SELECT bv.iBInbVerId, bv.iBInbId, bv.iVerId, ver.sVerNumero, ver.dVerData, ver.sVerDesc, tvr.sTvrDesc, "
    "buo.iLocked FROM TBInbVer bv INNER JOIN TVer_Verbali ver ON (ver.iVerId = bv.iVerId) LEFT JOIN "
    "TTvr_TipoVer tvr ON (tvr.iTvrId = ver.iTvrId) INNER JOIN TBInb_Beni inb ON (inb.iBInbId = bv.iBInbId) "
    "INNER JOIN TBBuo_Buoni buo ON (buo.iBBuoId = inb.iBBuoId) WHERE bv.iBInbId = :iBInbId";

const char *const kMinuteInsertSQL =
    "INSERT INTO TBInbVer (iBInbVerId, iBInbId, iVerId) VALUES (:VOGENID, :iBInbId, :iVerId)";
const char *const kMinuteUpdateSQL = "UPDATE TBInbVer SET iVerId = :iVerId WHERE iBInbVerId = :VOCURRID;";
const char *const kMinuteDeleteSQL = "DELETE FROM TBInbVer WHERE iBInbVerId=:VOCURRID;";

const char *const kAllSectorsSQL = "SELECT ISECID, SSECCOD, SSECDESCS FROM TSEC_SETTCONS WHERE ##WHERE##";
const char *const kValidSectorsSQL = "SELECT ISECID, SSECCOD, SSECDESCS FROM TSEC_SETTCONS WHERE (dDelete IS "
                                     "NULL) AND ((dEnd IS NULL) OR (dEnd >= "
                                     ":dBBuoData)) AND ##WHERE##";
const char *const kModelSQL =
    "SELECT ICAMID, iBInbIMPORTO, sBInbDESC, ICONDID, sBInbNOTE, ISECID, sBInbLIBTITOLO, sBInbLIBAUTORE, "
    "sBInbLIBEDITORE, IVPROID, ICAVID, ICAEID, ISEDINFID, ICLCID, iBInbAnnoAssunz, sBInbMatricola FROM "
    "VBInb_Beni WHERE iBInbId = :iBInbId";

// Minutes of up to a year before the register-year are offered.
constexpr double kDaysBefore = 365.0;

} // namespace

TfmkvbBuoni::TfmkvbBuoni(QWidget *parent)
    : TfmkvbBuoniBase(parent, kvbLoading, QStringLiteral("Gestione movimenti"), new TfrkvbBuoniCarico,
                      new TfrkvbBeniCarico),
      xqcVerbali(new TVoQueryCollection(this)), frDetail(static_cast<TfrkvbBeniCarico *>(GoodsFrame())),
      xacCopiaBene(kvbNewAction(this, "&Copia bene")), xacRinumeraBeni(kvbNewAction(this, "Rinumera beni")),
      xacCopiaAltroBene(kvbNewAction(this, "Copia bene da altro buono")),
      xacDuplUnivBeni(kvbNewAction(this, "Duplica bene per universalità dei beni")),
      m_minutes(new TVoMasterDetail(xqcDetail, xqcVerbali, QStringLiteral("IBINBID"), this)) {
    frDetail->frVerbali->SetDataSet(xqcVerbali);
}

void TfmkvbBuoni::FormCreate() {
    TfmkvbBuoniBase::FormCreate();
    frDetail->frVerbali->SetLists(CurrentRegStart - kDaysBefore, CurrentRegEnd);
    SetSectorList();
    SetUpCollections();
    frDetail->pcPagine->setCurrentIndex(0);
    frDetail->frVerbali->pcMain->setCurrentIndex(0);
    kvbSortColumnsOnTheirFields(frDetail->frVerbali->grFrame);
    SetUpActions();
    HookEvents();
}

void TfmkvbBuoni::SetUpCollections() {
    kvbSetUpCollection(xqcDetail, QString::fromLatin1(kGoodsSQL).arg(QString::fromLatin1(kvbSQLILocked)));
    kvbSetLists(
        xqcDetail, {kvbSQLInbInsert}, {kvbSQLInbUpdate},
        {kvbSQLInbDelete[0], kvbSQLInbDelete[1], kvbSQLInbDelete[2], kvbSQLInbDelete[3], kvbSQLInbDelete[4]});
    kvbSetUpCollection(xqcVerbali, QString::fromLatin1(kMinutesSQL));
    kvbSetLists(xqcVerbali, {kMinuteInsertSQL}, {kMinuteUpdateSQL}, {kMinuteDeleteSQL});
}

void TfmkvbBuoni::SetUpActions() {
    for (QAction *hidden : {xacRinumeraBeni, xacDuplUnivBeni}) {
        hidden->setVisible(false);
        hidden->setEnabled(false);
    }
    frDetail->tbControl->addSeparator();
    VoAddTool(frDetail->tbControl, xacCopiaBene, QKeySequence(Qt::Key_F6), frDetail);
    frDetail->tbControl->addAction(xacRinumeraBeni);
    VoAddTool(frDetail->tbControl, xacCopiaAltroBene, QKeySequence(Qt::ShiftModifier | Qt::Key_F6), frDetail);
    frDetail->tbControl->addAction(xacDuplUnivBeni);
    tbDuplBeni = qobject_cast<QToolButton *>(frDetail->tbControl->widgetForAction(xacCopiaBene));
    tbDuplAltriBeni = qobject_cast<QToolButton *>(frDetail->tbControl->widgetForAction(xacCopiaAltroBene));
    const std::pair<QAction *, void (TfmkvbBuoni::*)()> handlers[] = {
        {xacCopiaBene, &TfmkvbBuoni::xacCopiaBeneExecute},
        {xacCopiaAltroBene, &TfmkvbBuoni::xacCopiaAltroBeneExecute},
        {xacRinumeraBeni, &TfmkvbBuoni::xacRinumeraBeniExecute}};
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler] { VoGuarded([this, handler] { (this->*handler)(); }); });
}

void TfmkvbBuoni::HookEvents() {
    frDetail->xdsMain->AfterStateChange.Add([this](TVoDataSource *) { frDetailxdsMainAfterStateChange(); });
    frDetail->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *field) { frDetailxdsMainDataChange(field); });
    frDetail->xneNumero->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frDetailxneNumeroValidate(Ok, Msg); });
    xqcDetail->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        // The window may show as provisional a voucher made definitive since it was read.
        if (listKind == skInsert || listKind == skDelete)
            kvbLockProvisionalVoucher(CurrentVoucher());
        kvbGoodsBeforeWrite(xqcDetail, listKind, &m_proposedGoods);
    });
    xqcDetail->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcDetailVoBeforeExec(Prop); });
    xqcDetail->AfterScroll.Add([this](TVoQueryCollection *) { xqcDetailAfterScroll(); });
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) { xqcDetailAfterScroll(); });
    xqcVerbali->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcVerbaliVoBeforeExec(Prop); });
    xqcVerbali->AfterOpen.Add([this](TVoQueryCollection *) { ApplyLock(); });
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) { ApplyLock(); });
}

int TfmkvbBuoni::CurrentGood() const {
    if (!xqcDetail->Active() || xqcDetail->IsEmpty() || xqcDetail->State() == dsInsert)
        return -1;
    return xqcDetail->FieldByName(QStringLiteral("iBInbID"))->AsInteger(-1);
}

// A definitive voucher takes no minutes and its definitive goods are not deleted; nor is a minute
// added to a good not yet saved: its row would have no owner.
void TfmkvbBuoni::ApplyLock() {
    TfmkvbBuoniBase::ApplyLock();
    const bool noGoods = TakesNoGoods();
    frDetail->frVerbali->xacInsert->SetLocked(noGoods || CurrentGood() <= 0 ||
                                              xqcDetail->State() != dsBrowse);
    const TVoField *goodLocked =
        xqcDetail->Active() ? xqcDetail->FindField(QStringLiteral("iLocked_")) : nullptr;
    frDetail->xacDelete->SetLocked(goodLocked && CurrentGood() > 0 && goodLocked->AsInteger() == 1);
    xacCopiaBene->setEnabled(!noGoods);
    xacCopiaAltroBene->setEnabled(!noGoods);
}

void TfmkvbBuoni::frDetailxdsMainAfterStateChange() {
    if (xqcDetail->State() == dsInsert) {
        m_proposedGoods = NextGoodsNumber();
        frDetail->xneNumero->SetValue(m_proposedGoods);
        const QDate date = frMaster->xdeData->Date();
        if (date.isValid())
            frDetail->xneAnnoAssunz->SetValue(date.year());
        frDetail->xceImporto->setFocus();
    }
    SetSectorList();
    ApplyLock();
}

// While a good is typed only the sectors in use at the voucher's date are offered.
void TfmkvbBuoni::SetSectorList() {
    TVoDBLookupEdit *sectors = frDetail->xelSettore;
    const int state = xqcDetail->Active() ? xqcDetail->State() : dsBrowse;
    if (state == dsBrowse) {
        sectors->SetListSQL(QString::fromLatin1(kAllSectorsSQL));
    } else {
        sectors->SetListSQL(QString::fromLatin1(kValidSectorsSQL));
        const QVariant date = xqcMain->FieldByName(QStringLiteral("dBBuoDATA"))->Value();
        sectors->ListDataSet()->SetParam(QStringLiteral("dBBuoData"),
                                         date.isNull() ? QVariant(DaysToDateParam(TodayDays())) : date);
    }
    sectors->RefreshList();
}

void TfmkvbBuoni::frDetailxdsMainDataChange(TVoField *field) {
    const TVoField *locked = xqcDetail->Active() ? xqcDetail->FindField(QStringLiteral("iLocked_")) : nullptr;
    const bool readOnly = locked && !xqcDetail->IsEmpty() && locked->AsInteger() != 0;
    for (TVoDBControl *control : std::initializer_list<TVoDBControl *>{
             frDetail->xelCategoria, frDetail->xneNumero, frDetail->xedCodNum, frDetail->xelSettore,
             frDetail->xelSede, frDetail->xceImporto, frDetail->xneAnnoAssunz, frDetail->xedDescr})
        control->SetReadOnly(readOnly);
    if (!field)
        ApplyLock();
}

void TfmkvbBuoni::frDetailxneNumeroValidate(bool &Ok, QString &Msg) {
    const int accepted = xqcDetail->State() == dsInsert
                             ? m_proposedGoods
                             : xqcDetail->FieldByName(QStringLiteral("iBInbNUMERO"))->OldValue().toInt();
    Msg = kvbGoodsNumberProblem(frDetail->xneNumero->Value(), frDetail->xedCodNum->text(), accepted);
    Ok = Msg.isEmpty();
}

void TfmkvbBuoni::xqcDetailVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.ListKind == skDelete)
        return;
    if (Prop.Kind == skInsert) {
        Prop.Values.Add(QStringLiteral("iBBuoID"), CurrentVoucher());
        Prop.Values.Add(QStringLiteral("IAVAID"), int(kvbCaricoProvvisorio));
    }
    // A book is described by its title, author and publisher, whatever the description holds.
    if ((Prop.Kind == skInsert || frDetail->xdsMain->State() == dsEdit) &&
        frDetail->Categoria() == kvbCategoriaLibri) {
        const auto text = [this](const char *field) {
            return xqcDetail->FieldByName(QString::fromLatin1(field))->AsString();
        };
        Prop.Values.Add(QStringLiteral("sBInbDESC"), text("sBInbLIBTITOLO") + QStringLiteral(" - ") +
                                                         text("sBInbLIBAUTORE") + QStringLiteral(" - ") +
                                                         text("sBInbLIBEDITORE"));
    }
}

void TfmkvbBuoni::xqcDetailAfterScroll() {
    if (!xqcDetail->Active() || xqcDetail->IsEmpty())
        return;
    frDetail->xelCategoriaChangeFKValue();
}

void TfmkvbBuoni::xqcVerbaliVoBeforeExec(TVoQueryProp &Prop) {
    if (Prop.ListKind != skDelete)
        Prop.Values.Add(QStringLiteral("iBInbID"), CurrentGood());
}

void TfmkvbBuoni::xacCopiaBeneExecute() {
    std::unique_ptr<TfmkvbDuplBene> dialog(VoNewForm<TfmkvbDuplBene>(this));
    m_proposedGoods = NextGoodsNumber();
    dialog->udNumPartenza->setMinimum(m_proposedGoods);
    dialog->NextFree = m_proposedGoods;
    dialog->SetGoodId(CurrentGood());
    dialog->exec();
    dialog.reset();
    frDetail->xacRefresh->Execute();
    frMaster->xacRefresh->Execute();
}

void TfmkvbBuoni::xacCopiaAltroBeneExecute() {
    int chosen = -1;
    {
        std::unique_ptr<TfmkvbBeniSel> picker(VoNewForm<TfmkvbBeniSel>(this));
        picker->exec();
        chosen = picker->Result();
    }
    if (chosen == -1)
        return;
    if (!frDetail->xacInsert->Execute())
        return;
    TVoQuery model(QString::fromLatin1(kModelSQL));
    model.SetParam(QStringLiteral("iBInbId"), chosen).Open();
    if (model.Eof()) {
        VoMessageDlg(QStringLiteral("E' stato cancellato il bene che vuoi copiare."), mtError, mbOK);
        return;
    }
    frDetail->xelCategoria->SetKeyValue(model.Value(QStringLiteral("ICAMID")));
    for (const char *name : {"iBInbIMPORTO", "sBInbDESC", "ICONDID", "sBInbNOTE", "ISECID", "sBInbLIBTITOLO",
                             "sBInbLIBAUTORE", "sBInbLIBEDITORE", "IVPROID", "ICAVID", "ICAEID", "ISEDINFID",
                             "ICLCID", "iBInbAnnoAssunz", "sBInbMatricola"}) {
        const QString field = QString::fromLatin1(name);
        xqcDetail->FieldByName(field)->SetValue(model.Value(field));
    }
}

void TfmkvbBuoni::xacRinumeraBeniExecute() {
    if (VoMessageDlg(QStringLiteral("Sicuro di voler rinumerare i beni di questo buono?"), mtConfirmation,
                     mbYesNo) == mrYes)
        RenumberVoucherGoods(CurrentVoucher());
    xqcDetail->Refresh();
}
