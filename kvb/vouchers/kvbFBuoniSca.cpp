#include "kvbFBuoniSca.h"

#include "AbcURoutines.h"
#include "VoClassRegistry.h"
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
#include "kvbRBeniCarico.h"
#include "kvbRBeniCaricoSca.h"
#include "kvbRBuoniScarico.h"
#include "kvbUBuoni.h"
#include "kvbUFinestreBuoni.h"
#include "kvbUUtil.h"

#include <QAction>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

VO_REGISTER_CLASS(TfmkvbBuoniSca);

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

const char *const kRecipientListSQL = "SELECT IBENID, SBENRAGSOC FROM TBEN_BENEFICIARI WHERE ##WHERE##";
const char *const kDeliberaListSQL = "SELECT IDELID, SDELNUMERO, dDelData, sDelDesc FROM TDEL_DELIBERE WHERE "
                                     "(dDelData BETWEEN :dDa AND :dA) AND ##WHERE##";
const char *const kCausesListSQL =
    "SELECT ICAVID, SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVTIPO=1 AND ##WHERE##";
const char *const kDischargeableSQL =
    "SELECT iBInbID, iBInbNUMERO, sBInbDESC FROM VBInb_Beni inb INNER JOIN TDwgFacAnf dia ON "
    "(inb.iDwgFacAnfId = dia.iDwgFacAnfId) INNER JOIN TDwgFac di ON dia.IDwgFacID=di.IDwgFacID WHERE "
    "(di.iFacId=%1) AND (inb.dBBuoData<='%2') AND (iBBuoIDSCARICO IS NULL) AND ##WHERE##";
// Companions of the number while a good is chosen: only goods in charge and not discharged.
const char *const kCompanionInsertSQL =
    "SELECT iBInbID, %1 FROM VBInb_Beni WHERE IAVAID=2 AND iBBuoIDSCARICO IS NULL AND ##WHERE##";
const char *const kCompanionSQL = "SELECT iBInbID, %1 FROM VBInb_Beni WHERE ##WHERE##";

} // namespace

TfmkvbBuoniSca::TfmkvbBuoniSca(QWidget *parent)
    : TfmVoChildDB(parent), xqcMain(new TVoQueryCollection(this)), xqcDetail(new TVoQueryCollection(this)),
      xqcDoc(new TVoQueryCollection(this)), frMaster(new TfrkvbBuoniScarico),
      Splitter1(new QSplitter(Qt::Vertical)), pcDetail(new QTabWidget), frDetail(new TfrkvbBeniCaricoSca),
      frBuoDoc(new TfrkvaBuoIdc), xacDefBuono(kvbNewAction(this, "Rendi buono definitivo")),
      xacFiltraImporti(kvbNewAction(this, "Solo buoni non corretti")),
      xacImpostaImporto(kvbNewAction(this, "Imposta importo buono uguale a importo beni")),
      m_goods(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("IBBUOID"), this)),
      m_documents(new TVoMasterDetail(xqcMain, xqcDoc, QStringLiteral("IBBUOID"), this)) {
    setWindowTitle(QStringLiteral("Gestione buoni di scarico"));
    OpenMaximized = true;
    frMaster->SetDataSet(xqcMain);
    frDetail->SetDataSet(xqcDetail);
    frBuoDoc->SetDataSet(xqcDoc);
    for (auto [frame, caption] :
         {std::pair<QWidget *, const char *>{frDetail, "Beni"}, {frBuoDoc, "Documenti"}}) {
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
        pcDetail->addTab(page, QString::fromLatin1(caption));
    }
    Splitter1->addWidget(frMaster);
    Splitter1->addWidget(pcDetail);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
}

void TfmkvbBuoniSca::FormCreate() {
    TfmVoChildDB::FormCreate();

    frMaster->xelBenef->SetConnection(qqoVoGlobConn);
    frMaster->xelBenef->SetListSQL(QString::fromLatin1(kRecipientListSQL));
    frMaster->xelBenef->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchFormTable(form, QStringLiteral("Destinatari"));
    });
    frMaster->xelDelibera->SetConnection(qqoVoGlobConn);
    frMaster->xelDelibera->SetListField(QStringLiteral("SDELNUMERO"));
    frMaster->xelDelibera->SetListSQL(QString::fromLatin1(kDeliberaListSQL));
    frMaster->xelDelibera->ListDataSet()->SetParam(QStringLiteral("dDa"), DaysToDateParam(CurrentRegStart));
    frMaster->xelDelibera->ListDataSet()->SetParam(QStringLiteral("dA"), DaysToDateParam(CurrentRegEnd));
    frMaster->xelDelibera->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(
            form, {QStringLiteral("Numero delibera"), QStringLiteral("data"), QStringLiteral("descrizione")});
    });
    for (TVoDBLookupEdit *lookup : {frDetail->xelNumero, frDetail->xelDesc, frDetail->xelCateg,
                                    frDetail->xelCond, frDetail->xelCausale})
        lookup->SetConnection(qqoVoGlobConn);
    frDetail->xelCausale->SetListSQL(QString::fromLatin1(kCausesListSQL));

    SetUpCollections();
    frBuoDoc->SetUpFor(xqcMain, kvbUnloading, kvbBuoIdcProfile);
    frDetailtsDetailShow();

    pcDetail->setCurrentIndex(0);
    for (TfrVoDBRWGrid *frame : std::initializer_list<TfrVoDBRWGrid *>{frMaster, frDetail, frBuoDoc}) {
        frame->pcMain->setCurrentIndex(0);
        kvbSortColumnsOnTheirFields(frame->grFrame);
    }
    SetUpActions();
    HookEvents();
}

void TfmkvbBuoniSca::SetUpCollections() {
    kvbSetUpCollection(xqcMain, kvbVouchersSQL(kvbUnloading, false));
    kvbSetLists(xqcMain, {kvbSQLBuoInsertScarico}, {kvbSQLBuoUpdate}, {kvbSQLBuoDelete});
    xqcMain->SetParam(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    kvbSetUpCollection(xqcDetail, QString::fromLatin1(kGoodsSQL));
    kvbSetLists(xqcDetail, {kvbSQLInbScarico}, {kChangeDischargeSQL}, {kvbSQLInbTogliScarico});
    kvbSetUpDocuments(xqcDoc, kvbUnloading);

    xqcMain->AfterOpen.Add([this](TVoQueryCollection *) {
        for (const char *amount : {"IBENIIMP", "iBBuoIMPORTO"}) {
            TVoField *field = xqcMain->FieldByName(QString::fromLatin1(amount));
            field->SetDisplayFormat(QStringLiteral("#,###.00"));
            field->SetDisplayScale(4);
        }
        xqcMain->FieldByName(QStringLiteral("iBBuoNUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
    });
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) {
        TVoField *amount = xqcDetail->FieldByName(QStringLiteral("iBInbIMPORTO"));
        amount->SetDisplayFormat(QStringLiteral("#,###.00"));
        amount->SetDisplayScale(4);
        xqcDetail->FieldByName(QStringLiteral("iBInbNUMERO"))->SetDisplayFormat(QStringLiteral("0000000"));
    });
}

void TfmkvbBuoniSca::SetUpActions() {
    xacFiltraImporti->setCheckable(true);
    xacDefBuono->setVisible(false);
    xacDefBuono->setEnabled(false);
    frMaster->tbControl->addSeparator();
    frMaster->tbControl->addActions({xacDefBuono, xacFiltraImporti, xacImpostaImporto});
    const std::pair<QAction *, void (TfmkvbBuoniSca::*)()> handlers[] = {
        {xacImpostaImporto, &TfmkvbBuoniSca::xacImpostaImportoExecute},
        {xacFiltraImporti, &TfmkvbBuoniSca::xacFiltraImportiExecute}};
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler] { VoGuarded([this, handler] { (this->*handler)(); }); });
}

void TfmkvbBuoniSca::HookEvents() {
    frMaster->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *field) { frMasterxdsMainDataChange(field); });
    frMaster->xdsMain->AfterStateChange.Add([this](TVoDataSource *) { frMasterxdsMainAfterStateChange(); });
    frMaster->xneNumero->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxneNumeroValidate(Ok, Msg); });
    frMaster->xdeData->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxdeDataValidate(Ok, Msg); });
    xqcMain->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        kvbVoucherHeaderBeforeWrite(xqcMain, kvbUnloading, listKind, &m_proposedVoucher);
    });
    xqcMain->VoBeforeExec.Add([](TVoQueryCollection *, TVoQueryProp &Prop, bool &) {
        if (Prop.Kind == skInsert)
            Prop.Values.Add(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    });

    frDetail->xdsMain->AfterStateChange.Add([this](TVoDataSource *) {
        frDetailtsDetailShow();
        ApplyLock();
    });
    frDetail->xelNumero->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { frDetailxelNumeroChangeFKValue(); });
    xqcDetail->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) {
        if (listKind == skInsert)
            kvbLockUndischargedGood(xqcDetail->FieldByName(QStringLiteral("iBInbID"))->Value());
    });
    xqcDetail->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &Prop, bool &) { xqcDetailVoBeforeExec(Prop); });
    xqcDetail->AfterScroll.Add([this](TVoQueryCollection *) { xqcDetailAfterScroll(); });
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) {
        xqcDetailAfterScroll();
        ApplyLock();
    });
    xqcDetail->AfterPost.Add([this](TVoQueryCollection *) { RefreshVouchers(); });
    xqcDetail->AfterDelete.Add([this](TVoQueryCollection *) { RefreshVouchers(); });
}

void TfmkvbBuoniSca::FormShow() {
    TfmVoChildDB::FormShow();
    xqcMain->Open();
    ApplyLock();
}

void TfmkvbBuoniSca::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    xqcMain->Close();
}

int TfmkvbBuoniSca::CurrentVoucher() const {
    if (!xqcMain->Active() || xqcMain->IsEmpty() || xqcMain->State() == dsInsert)
        return -1;
    return xqcMain->FieldByName(QStringLiteral("iBBuoID"))->AsInteger(-1);
}

bool TfmkvbBuoniSca::CurrentVoucherDefinitive() const {
    return CurrentVoucher() > 0 && xqcMain->FieldByName(QStringLiteral("ILOCKED"))->AsInteger() != 0;
}

// A definitive voucher takes no goods or documents, and its goods are not taken off: they would
// return to the register while the voucher still discharges them. Nothing is put on a voucher not
// yet saved.
void TfmkvbBuoniSca::ApplyLock() {
    const bool definitive = CurrentVoucherDefinitive();
    const bool noVoucher = CurrentVoucher() <= 0 || xqcMain->State() != dsBrowse;
    frDetail->xacInsert->SetLocked(definitive || noVoucher);
    frDetail->xacDelete->SetLocked(definitive);
    frMaster->xacDelete->SetLocked(definitive);
}

void TfmkvbBuoniSca::frMasterxdsMainDataChange(TVoField *) {
    ApplyLock();
    frDetail->xelNumero->SetListSQL(DischargeableGoodsSQL());
}

void TfmkvbBuoniSca::frMasterxdsMainAfterStateChange() {
    if (xqcMain->State() == dsInsert) {
        m_proposedVoucher = NextVoucherNumber(kvbUnloading);
        frMaster->xneNumero->SetValue(m_proposedVoucher);
        frMaster->xdeData->SetDate(DaysToDate(TodayDays()));
        xqcMain->FieldByName(QStringLiteral("iBBuoRicogniz"))->SetAsInteger(0);
    }
    ApplyLock();
}

void TfmkvbBuoniSca::frMasterxneNumeroValidate(bool &Ok, QString &Msg) {
    const int accepted = xqcMain->State() == dsInsert
                             ? m_proposedVoucher
                             : xqcMain->FieldByName(QStringLiteral("iBBuoNUMERO"))->OldValue().toInt();
    Msg = kvbVoucherNumberProblem(frMaster->xneNumero->Value(), kvbUnloading, accepted);
    Ok = Msg.isEmpty();
}

void TfmkvbBuoniSca::frMasterxdeDataValidate(bool &Ok, QString &Msg) {
    Msg =
        kvbVoucherDateProblem(frMaster->xdeData->AsDays(), int(frMaster->xneNumero->AsFloat()), kvbUnloading);
    Ok = Msg.isEmpty();
}

QString TfmkvbBuoniSca::DischargeableGoodsSQL() const {
    const QVariant stored =
        xqcMain->Active() ? xqcMain->FieldByName(QStringLiteral("dBBuoDATA"))->Value() : QVariant();
    const QDate date = stored.isNull() ? QDate(1899, 12, 30) : stored.toDate();
    return QString::fromLatin1(kDischargeableSQL)
        .arg(QString::number(CurrentRegisterId), date.toString(QStringLiteral("MM/dd/yyyy")));
}

// While a good is being chosen only the register's goods still in charge are offered.
void TfmkvbBuoniSca::frDetailtsDetailShow() {
    const bool inserting = xqcDetail->Active() && xqcDetail->State() == dsInsert;
    frDetail->xelNumero->SetReadOnly(!inserting);
    frDetail->xelNumero->SetListSQL(
        inserting ? DischargeableGoodsSQL()
                  : QString::fromLatin1(kCompanionSQL).arg(QStringLiteral("iBInbNUMERO, sBInbDESC")));
    const QString companion = QString::fromLatin1(inserting ? kCompanionInsertSQL : kCompanionSQL);
    const std::pair<TVoDBLookupEdit *, const char *> companions[] = {
        {frDetail->xelDesc, "sBInbDESC"}, {frDetail->xelCateg, "SCAMDESC"}, {frDetail->xelCond, "SCONDDESC"}};
    for (const auto &[lookup, column] : companions)
        lookup->SetListSQL(companion.arg(QString::fromLatin1(column)));
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

void TfmkvbBuoniSca::xqcDetailVoBeforeExec(TVoQueryProp &Prop) {
    Prop.Values.Add(QStringLiteral("iBBuoID"), CurrentVoucher());
}

void TfmkvbBuoniSca::xqcDetailAfterScroll() {
    if (!xqcDetail->Active() || xqcDetail->IsEmpty())
        return;
    frDetail->ShowBook(xqcDetail->FieldByName(QStringLiteral("ICAMID"))->AsInteger() == kvbCategoriaLibri);
}

void TfmkvbBuoniSca::RefreshVouchers() {
    const TVoBookmark bookmark = xqcDetail->GetBookmark();
    xqcMain->Refresh();
    if (xqcDetail->Active() && xqcDetail->BookmarkValid(bookmark))
        xqcDetail->GotoBookmark(bookmark);
}

void TfmkvbBuoniSca::xacImpostaImportoExecute() {
    if (CurrentVoucher() <= 0 || !frMaster->xdsMain->Edit())
        return;
    xqcMain->FieldByName(QStringLiteral("iBBuoIMPORTO"))
        ->SetValue(xqcMain->FieldByName(QStringLiteral("IBENIIMP"))->Value());
}

void TfmkvbBuoniSca::xacFiltraImportiExecute() {
    xqcMain->Close();
    xqcMain->SetCommandText(kvbVouchersSQL(kvbUnloading, xacFiltraImporti->isChecked()));
    xqcMain->SetParam(QStringLiteral("IDwgFacAnfID"), ParamRegisterYearId());
    xqcMain->Open();
}
