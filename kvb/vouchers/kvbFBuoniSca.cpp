#include "kvbFBuoniSca.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoMasterDetail.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "kvaRBuoIdc.h"
#include "kvbFBuoniScaMulti.h"
#include "kvbRBeniCarico.h"
#include "kvbRBeniCaricoSca.h"
#include "kvbRBuoniScarico.h"
#include "kvbUBuoni.h"
#include "kvbUFinestreBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

const char *const kGoodsSQL =
    "SELECT inb.iBInbID, inb.iBInbNUMERO, inb.sBInbDESC, inb.sBInbNOTE, inb.iBInbIMPORTO, inb.ICAMID, "
    "inb.ICAEID, inb.ICAVID, inb.ICAVIDSCARICO, inb.IAVAID, ava.SAVADESC, inb.ICONDID, cond.SCONDDESC, "
    "cam.SCAMDESC, cam.SCAMCODICE, buo.ILOCKED, inb.sBInbLIBTITOLO, inb.sBInbLIBAUTORE, "
    "inb.sBInbLIBEDITORE, inb.iBInbAnnoAssunz, inb.sBInbMatricola FROM TBInb_Beni inb LEFT JOIN "
    "TAVA_STATIAVANZA ava ON (ava.IAVAID = inb.IAVAID) LEFT JOIN TCOND_CONDIZIONI cond ON (cond.ICONDID = "
    "inb.ICONDID) LEFT JOIN TCAM_CATEGORIEINV cam ON (cam.ICAMID = inb.ICAMID) INNER JOIN TBBuo_Buoni buo ON "
    "(buo.iBBuoID = inb.iBBuoIDSCARICO) WHERE inb.iBBuoIDSCARICO = :iBBuoID ORDER BY inb.iBInbNUMERO";
const char *const kChangeDischargeSQL =
    "UPDATE TBInb_Beni  SET ICAVIDSCARICO=:ICAVIDSCARICO, iBInbIMPORTO=:iBInbIMPORTO  WHERE "
    "(iBInbID=:VOCURRID)";
const char *const kValueSQL = "SELECT iBInbImporto FROM TBInb_Beni inb WHERE (iBInbId=:iBInbId);";

const char *const kCausesListSQL =
    "SELECT ICAVID, SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVTIPO=1 AND ##WHERE##";
// The goods alone in the main stream, their voucher's register and date checked apart: the drop-down's
// first rows then come from the goods number's index, not from sorting the whole register.
const char *const kDischargeableSQL =
    "SELECT inb.iBInbID, inb.iBInbNUMERO, inb.sBInbDESC FROM TBInb_Beni inb WHERE (inb.iBBuoIDSCARICO IS "
    "NULL) "
    "AND EXISTS (SELECT 1 FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dia ON (buo.iDwgFacAnfId = "
    "dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE (buo.iBBuoID = inb.iBBuoID) "
    "AND (di.iFacId=:iFacId) AND (buo.dBBuoData<=:dBBuoData)) AND ##WHERE##";
// Companions of the number while a good is chosen: only goods in charge and not discharged.
const char *const kCompanionInsertSQL =
    "SELECT iBInbID, %1 FROM VBInb_Beni WHERE IAVAID=2 AND iBBuoIDSCARICO IS NULL AND ##WHERE##";
const char *const kCompanionSQL = "SELECT iBInbID, %1 FROM VBInb_Beni WHERE ##WHERE##";

} // namespace

TfmkvbBuoniSca::TfmkvbBuoniSca(QWidget *parent)
    : TfmkvbBuoniBase(parent, kvbUnloading, QStringLiteral("Gestione buoni di scarico"),
                      new TfrkvbBuoniScarico, new TfrkvbBeniCaricoSca),
      frDetail(static_cast<TfrkvbBeniCaricoSca *>(GoodsFrame())),
      xacScarMulti(kvbNewAction(this, "Inserimento multiplo")) {}

void TfmkvbBuoniSca::FormCreate() {
    TfmkvbBuoniBase::FormCreate();
    for (TVoDBLookupEdit *lookup : {frDetail->xelNumero, frDetail->xelDesc, frDetail->xelCateg,
                                    frDetail->xelCond, frDetail->xelCausale})
        lookup->SetConnection(qqoVoGlobConn);
    frDetail->xelCausale->SetListSQL(QString::fromLatin1(kCausesListSQL));
    kvbSetUpCollection(xqcDetail, QString::fromLatin1(kGoodsSQL));
    kvbSetLists(xqcDetail, {kvbSQLInbScarico}, {kChangeDischargeSQL}, {kvbSQLInbTogliScarico});
    frDetailtsDetailShow();

    frDetail->tbControl->addSeparator();
    VoAddTool(frDetail->tbControl, xacScarMulti, QKeySequence(Qt::Key_F6), frDetail);
    tbInsMult = qobject_cast<QToolButton *>(frDetail->tbControl->widgetForAction(xacScarMulti));
    connect(xacScarMulti, &QAction::triggered, this,
            [this] { VoGuarded([this] { xacScarMultiExecute(); }); });
    HookEvents();
}

void TfmkvbBuoniSca::HookEvents() {
    frDetail->xdsMain->AfterStateChange.Add([this](TVoDataSource *) {
        frDetailtsDetailShow();
        ApplyLock();
        // The number was read-only when the new row took the focus: the row starts on it now.
        if (xqcDetail->State() == dsInsert && frDetail->DetailShown())
            frDetail->xelNumero->setFocus(Qt::OtherFocusReason);
    });
    frDetail->xelNumero->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { frDetailxelNumeroChangeFKValue(); });
    xqcDetail->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        if (listKind == skInsert || listKind == skDelete)
            kvbLockProvisionalVoucher(CurrentVoucher());
        if (listKind == skInsert)
            kvbLockUndischargedGood(xqcDetail->FieldByName(QStringLiteral("iBInbID"))->Value());
    });
    // Every statement writes the good for the current voucher; the good's key is the record's.
    xqcDetail->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) {
        Prop.Values.Add(QStringLiteral("iBBuoID"), CurrentVoucher());
    });
    // The saved good is read through the lists of a row in browse at once, not at the next change.
    xqcDetail->AfterPost.Add([this](TVoQueryCollection *) { frDetailtsDetailShow(); });
    xqcDetail->AfterScroll.Add([this](TVoQueryCollection *) { xqcDetailAfterScroll(); });
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) {
        xqcDetailAfterScroll();
        ApplyLock();
    });
}

// A definitive voucher's goods are not taken off: they would return to the register while the
// voucher still discharges them.
void TfmkvbBuoniSca::ApplyLock() {
    TfmkvbBuoniBase::ApplyLock();
    frDetail->xacDelete->SetLocked(CurrentVoucherDefinitive());
    // Nor does the wizard run over a good being typed.
    xacScarMulti->setEnabled(!TakesNoGoods() && (!xqcDetail->Active() || xqcDetail->State() == dsBrowse));
}

void TfmkvbBuoniSca::frMasterxdsMainDataChange(TVoField *field) {
    TfmkvbBuoniBase::frMasterxdsMainDataChange(field);
    UseDischargeableGoodsList();
}

void TfmkvbBuoniSca::UseDischargeableGoodsList() {
    const QVariant stored =
        xqcMain->Active() ? xqcMain->FieldByName(QStringLiteral("dBBuoDATA"))->Value() : QVariant();
    TVoDBLookupEdit *number = frDetail->xelNumero;
    number->SetListSQL(QString::fromLatin1(kDischargeableSQL));
    number->ListDataSet()->SetParam(QStringLiteral("iFacId"), CurrentRegisterId);
    // A voucher without a date yet offers no good: none was loaded on or before no date.
    number->ListDataSet()->SetParam(QStringLiteral("dBBuoData"),
                                    stored.isNull() ? VoNull(QMetaType::QDate) : QVariant(stored.toDate()));
}

// While a good is being chosen only the register's goods still in charge are offered.
void TfmkvbBuoniSca::frDetailtsDetailShow() {
    const bool inserting = xqcDetail->Active() && xqcDetail->State() == dsInsert;
    frDetail->xelNumero->SetReadOnly(!inserting);
    if (inserting)
        UseDischargeableGoodsList();
    else
        frDetail->xelNumero->SetListSQL(
            QString::fromLatin1(kCompanionSQL).arg(QStringLiteral("iBInbNUMERO, sBInbDESC")));
    const QString companion = QString::fromLatin1(inserting ? kCompanionInsertSQL : kCompanionSQL);
    const std::pair<TVoDBLookupEdit *, const char *> companions[] = {
        {frDetail->xelDesc, "sBInbDESC"}, {frDetail->xelCateg, "SCAMDESC"}, {frDetail->xelCond, "SCONDDESC"}};
    for (const auto &[lookup, column] : companions)
        lookup->SetListSQL(companion.arg(QString::fromLatin1(column)));
    // A good just saved is no longer among those in charge that its row was read from: read its
    // texts again from the new lists.
    for (TVoDBLookupEdit *lookup :
         {frDetail->xelNumero, frDetail->xelDesc, frDetail->xelCateg, frDetail->xelCond})
        lookup->ReadField();
}

// The good's stored value is proposed as its value at discharge.
void TfmkvbBuoniSca::frDetailxelNumeroChangeFKValue() {
    if (!frDetail->xdsMain->Editing())
        return;
    const QVariant good = frDetail->xelNumero->KeyValue();
    const QVariant value = VoSelectValue(QString::fromLatin1(kValueSQL), {{QStringLiteral("iBInbId"), good}});
    if (value.isValid())
        xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"))->SetValue(value);
}

void TfmkvbBuoniSca::xqcDetailAfterScroll() {
    if (!xqcDetail->Active() || xqcDetail->IsEmpty())
        return;
    frDetail->ShowBook(xqcDetail->FieldByName(QStringLiteral("ICAMID"))->AsInteger() == kvbCategoriaLibri);
}

void TfmkvbBuoniSca::xacScarMultiExecute() {
    const int voucher = CurrentVoucher();
    if (voucher <= 0 || CurrentVoucherDefinitive())
        return;
    {
        std::unique_ptr<TfmBuoniScaMulti> wizard(VoNewForm<TfmBuoniScaMulti>(this));
        wizard->SetVoucherDate(xqcMain->FieldByName(QStringLiteral("dBBuoDATA"))->AsDate());
        wizard->SetVoucherId(voucher);
        wizard->exec();
    }
    xqcMain->Refresh();
}
