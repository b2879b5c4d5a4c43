#include "kvaFBuoni.h"

#include "VoClassRegistry.h"
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
#include "kvaRBeniCarico.h"
#include "kvaRBuoIdc.h"
#include "kvaRBuoniCarico.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

VO_REGISTER_CLASS(TfmkvaBuoni);

namespace {

// The amounts of a voucher: its rows' values, and the same with each row's VAT added; a voucher
// without rows is worth 0, not nothing.
const char *const kHeaderSQL =
    "SELECT buo.iFBuoId, buo.IBENID, buo.IFBUONUMERO, buo.DFBUODATA, buo.SFBUODESC, buo.DFBUOPROTDATA, "
    "buo.SFBUOPROTNUM, buo.ILOCKED, buo.lFBuoScaricato, "
    "(SELECT ben.SBENRAGSOC FROM TBEN_BENEFICIARI ben WHERE ben.IBENID = buo.IBENID) AS SBENRAGSOC, "
    "(SELECT COALESCE(SUM(CAST(afc.FAFCQUANTITA * afc.FAFCCOSTOUNIT AS NUMERIC(11, 6))), 0) FROM "
    "TAFC_ARTVELIST afc WHERE afc.IFBUOID = buo.IFBUOID) AS IBENIIMP, "
    "(SELECT COALESCE(SUM(CAST(afc.FAFCQUANTITA * afc.FAFCCOSTOUNIT AS NUMERIC(11, 6)) + "
    "CAST(afc.FAFCQUANTITA * afc.FAFCCOSTOUNIT * COALESCE(alv.FALVIVA, 0) / 100 AS NUMERIC(11, 6))), 0) "
    "FROM TAFC_ARTVELIST afc LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = afc.IALVID "
    "WHERE afc.IFBUOID = buo.IFBUOID) AS IBENIIMP_CONIVA "
    "FROM TFBuo_Buoni buo WHERE buo.IFBUOTIPO = :iFBuoTipo AND buo.iDwgFacAnfId = :iDwgFacAnfId "
    "ORDER BY buo.IFBUONUMERO DESC";
const char *const kRowsSQL =
    "SELECT iAfcId, iFBuoId, iFarId, sFarSDesc, sFarLDesc, sFarLibTitolo, sFarLibAutore, sFarLibEditore, "
    "fAfcQuantita, fAfcCostoUnit, fAfcTotale, fAfcTotale_ConIva, iAlvId, fAlvIva, iCavId, sCavDesc, iCondId, "
    "sCondDesc, sCondCodice, iSecId, sSecDescS, iRspId, iSedInfId, sSedInfLDesc, iClcId, sClcDescL, iVProId, "
    "bAfcNote, iInbAnnoAssunz, iAfcProgr, iCfmId, iCafId, sCafDesc, iMerId, sMerDesc, iDcmId, sDcmDescL, "
    "iUnmId, sUnmDescS, iLocked FROM VAfc_ArtVelist WHERE iFBuoId = :iFBuoId ORDER BY iAfcId";
const char *const kDocumentsSQL =
    "SELECT bi.iFBuoIdcId, idc.iIdcId, idc.sIdcNumero, idc.dIdcData, idc.sIdcDesc, ben.iBenId, "
    "ben.sBenRagSoc, tid.sTidDesc, buo.iLocked FROM TIdc_InvDoc idc INNER JOIN TFBuoIdc bi ON bi.iIdcId = "
    "idc.iIdcId LEFT OUTER JOIN TBen_Beneficiari ben ON ben.iBenId = idc.iBenId INNER JOIN TFBuo_Buoni buo "
    "ON buo.iFBuoId = bi.iFBuoId LEFT OUTER JOIN TTid_TipoInvDoc tid ON tid.iTidId = idc.iTidId WHERE "
    "bi.iFBuoId = :iFBuoId";
const char *const kSupplierListSQL = "SELECT IBENID, SBENRAGSOC FROM TBEN_BENEFICIARI WHERE ##WHERE##";
const char *const kHasRowsSQL = "SELECT FIRST 1 iAfcId FROM TAfc_ArtVelist WHERE iFBuoId = :iFBuoId";
const char *const kHasDocumentsSQL = "SELECT FIRST 1 iFBuoIdcId FROM TFBuoIdc WHERE iFBuoId = :iFBuoId";

// Amounts keep their units digit: "#,###.00" would show 0 as ",00" and a half as ",50".
const char *const kAmountFormat = "#,##0.00";

bool HasRow(const char *sql, int voucherId) {
    TVoQuery q(QString::fromLatin1(sql));
    q.SetParam(QStringLiteral("iFBuoId"), voucherId).Open();
    return !q.Eof();
}

// A collection of the window: the global connection, its select with the school marker replaced,
// packets of 25 rows, the parameters the select names.
void SetUpCollection(TVoQueryCollection *collection, const char *sql) {
    collection->SetConnection(qqoVoGlobConn);
    collection->SetAutoBuildSQL(false);
    collection->SetPacketRecords(25);
    collection->SetConfirmations(cfTrash | cfDisable | cfDelete);
    QString text = QString::fromLatin1(sql);
    ReplaceCurrDwg(text);
    collection->SetCommandText(text);
    RebuildParamsFromSQL(collection);
}

// Sort entries for the first columns of a grid, each on its own field.
void SortColumnsOnTheirFields(TVoDBGrid *grid, int columns) {
    grid->ColsIndex().Clear();
    for (int column = 0; column < columns; ++column)
        grid->ColsIndex().Add(column, grid->ColumnField(column));
}

} // namespace

TfmkvaBuoni::TfmkvaBuoni(QWidget *parent)
    : TfmVoChildDB(parent), xqcMain(new TVoQueryCollection(this)), xqcDetail(new TVoQueryCollection(this)),
      xqcDoc(new TVoQueryCollection(this)), frMaster(new TfrkvaBuoniCarico),
      Splitter1(new QSplitter(Qt::Vertical)), pcDetail(new QTabWidget), tsBeni(new QWidget),
      tsDoc(new QWidget), frDetail(new TfrkvaBeniCarico), frBuoDoc(new TfrkvaBuoIdc),
      m_rows(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("IFBUOID"), this)),
      m_documents(new TVoMasterDetail(xqcMain, xqcDoc, QStringLiteral("IFBUOID"), this)) {
    setWindowTitle(QStringLiteral("Gestione movimenti"));
    OpenMaximized = true;
    // Rows and documents follow the header's state changes too, not only its data changes.
    m_rows->SetFollowMaster(false);
    m_documents->SetFollowMaster(false);

    frMaster->SetDataSet(xqcMain);
    frDetail->SetDataSet(xqcDetail);
    frBuoDoc->SetDataSet(xqcDoc);
    for (auto [page, frame] : {std::pair<QWidget *, QWidget *>{tsBeni, frDetail}, {tsDoc, frBuoDoc}}) {
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
    }
    pcDetail->addTab(tsBeni, QStringLiteral("Articoli"));
    pcDetail->addTab(tsDoc, QStringLiteral("Documenti"));
    Splitter1->addWidget(frMaster);
    Splitter1->addWidget(pcDetail);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
}

void TfmkvaBuoni::FormCreate() {
    TfmVoChildDB::FormCreate();

    // Amounts are typed without VAT unless the register says they include it: then they are shown
    // as typed, otherwise with the VAT added.
    const bool vatIncluded = CurrentVatIncluded == 1;
    frMaster->grFrame->SetColumnField(TfrkvaBuoniCarico::AmountColumn,
                                      vatIncluded ? QStringLiteral("IBENIIMP")
                                                  : QStringLiteral("IBENIIMP_CONIVA"));
    frDetail->SetUp(vatIncluded);

    frMaster->xelBenef->SetConnection(qqoVoGlobConn);
    frMaster->xelBenef->SetListSQL(QString::fromLatin1(kSupplierListSQL));
    frMaster->xelBenef->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchFormTable(form, QStringLiteral("Fornitori"));
    });

    SetUpCollection(xqcMain, kHeaderSQL);
    kvaSetHeaderLists(xqcMain, kvaLoading);
    xqcMain->SetParam(QStringLiteral("iFBuoTipo"), kvaLoading);
    xqcMain->SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    SetUpCollection(xqcDetail, kRowsSQL);
    kvaSetRowLists(xqcDetail, kvaLoading);
    SetUpCollection(xqcDoc, kDocumentsSQL);
    kvaSetDocumentLists(xqcDoc, kvaLoading);
    frBuoDoc->SetUpFor(xqcMain, kvaLoading);

    pcDetail->setCurrentIndex(0);
    for (TfrVoDBRWGrid *frame : std::initializer_list<TfrVoDBRWGrid *>{frMaster, frDetail, frBuoDoc})
        frame->pcMain->setCurrentIndex(0);
    // The delivery sector of the rows is the one column that does not sort.
    SortColumnsOnTheirFields(frMaster->grFrame, 5);
    SortColumnsOnTheirFields(frDetail->grFrame, 5);
    SortColumnsOnTheirFields(frBuoDoc->grFrame, 5);

    frMaster->xdsMain->OnDataChange.Add(
        [this](TVoDataSource *, TVoField *field) { frMasterxdsMainDataChange(field); });
    frMaster->xdsMain->AfterStateChange.Add([this](TVoDataSource *) { frMasterxdsMainAfterStateChange(); });
    frMaster->xneNumero->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxneNumeroValidate(Ok, Msg); });
    frMaster->xdeData->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frMasterxdeDataValidate(Ok, Msg); });
    xqcMain->AfterOpen.Add([this](TVoQueryCollection *) { xqcMainAfterOpen(); });
    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) { xqcDetailAfterOpen(); });
    xqcMain->BeforeDelete.Add([this](TVoQueryCollection *) { xqcMainBeforeDelete(); });
    xqcMain->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) { xqcMainBeforeWrite(listKind); });
    xqcMain->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) { xqcMainVoBeforeExec(prop); });
    xqcDetail->BeforeWrite.Add(
        [this](TVoQueryCollection *, int listKind) { xqcDetailBeforeWrite(listKind); });
    xqcDetail->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) { xqcDetailVoBeforeExec(prop); });
    xqcDetail->AfterPost.Add([this](TVoQueryCollection *) { xqcDetailVoRefresh(); });
    xqcDetail->AfterDelete.Add([this](TVoQueryCollection *) { xqcDetailVoRefresh(); });
}

void TfmkvaBuoni::FormShow() {
    TfmVoChildDB::FormShow();
    xqcMain->Open();
}

void TfmkvaBuoni::FormClose(TCloseAction &Action) {
    TfmVoChildDB::FormClose(Action);
    xqcMain->Close();
}

void TfmkvaBuoni::OpenDetails() {
    m_rows->Reload();
    m_documents->Reload();
}

// A locked voucher is definitive, and one not yet saved has no key for its rows: neither takes a row
// (the documents page keeps its own rule).
void TfmkvaBuoni::ApplyLock() {
    const TVoField *locked = xqcMain->Active() ? xqcMain->FindField(QStringLiteral("ILOCKED")) : nullptr;
    const bool saved = locked && !xqcMain->IsEmpty() && xqcMain->State() != dsInsert;
    frDetail->xacInsert->SetLocked(!saved || locked->AsInteger() == 1);
}

void TfmkvaBuoni::frMasterxdsMainDataChange(TVoField *field) {
    ApplyLock();
    if (!field)
        OpenDetails();
}

void TfmkvaBuoni::frMasterxdsMainAfterStateChange() {
    if (xqcMain->State() == dsInsert)
        ProposeNewVoucher();
    OpenDetails();
    ApplyLock();
}

void TfmkvaBuoni::ProposeNewVoucher() {
    frMaster->xdeData->setEnabled(true);
    frMaster->xdeData->SetReadOnly(false);
    m_proposedNumber = NextVoucherNumber(kvaLoading);
    frMaster->xneNumero->SetValue(m_proposedNumber);
    frMaster->xdeData->SetDate(DaysToDate(kvaProposedVoucherDate(m_proposedNumber, kvaLoading)));
}

void TfmkvaBuoni::frMasterxneNumeroValidate(bool &Ok, QString &Msg) {
    const int accepted = xqcMain->State() == dsInsert
                             ? m_proposedNumber
                             : xqcMain->FieldByName(QStringLiteral("IFBUONUMERO"))->OldValue().toInt();
    Msg = kvaVoucherNumberProblem(frMaster->xneNumero->Value(), kvaLoading, accepted);
    Ok = Msg.isEmpty();
}

void TfmkvaBuoni::frMasterxdeDataValidate(bool &Ok, QString &Msg) {
    const bool editing = xqcMain->State() == dsEdit;
    const int voucher = editing ? xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger() : -1;
    const QVariant stored =
        editing ? xqcMain->FieldByName(QStringLiteral("DFBUODATA"))->OldValue() : QVariant();
    Msg = kvaVoucherDateProblem(frMaster->xdeData->AsDays(), int(frMaster->xneNumero->AsFloat()), kvaLoading,
                                voucher, stored.isNull() ? VoNoDate : VariantToDays(stored));
    Ok = Msg.isEmpty();
}

void TfmkvaBuoni::xqcMainAfterOpen() {
    for (const char *amount : {"IBENIIMP", "IBENIIMP_CONIVA"})
        xqcMain->FieldByName(QString::fromLatin1(amount))
            ->SetDisplayFormat(QString::fromLatin1(kAmountFormat));
    xqcMain->FieldByName(QStringLiteral("iFBuoNumero"))->SetDisplayFormat(QStringLiteral("0000000"));
}

void TfmkvaBuoni::xqcDetailAfterOpen() {
    for (const char *amount : {"fAfcCostoUnit", "fAfcTotale", "fAfcTotale_ConIva"})
        xqcDetail->FieldByName(QString::fromLatin1(amount))
            ->SetDisplayFormat(QString::fromLatin1(kAmountFormat));
}

// Every question is asked before the deletion's transaction starts, so that none keeps it open; the
// stock trial runs inside it (BeforeWrite).
void TfmkvaBuoni::xqcMainBeforeDelete() {
    const int voucher = xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger();
    if (HasRow(kHasRowsSQL, voucher) &&
        VoMessageDlg(QStringLiteral("Ci sono degli articoli collegati al buono, cancellarli?"),
                     mtConfirmation, mbYesNoCancel) != mrYes)
        throw EVoAbort();
    if (HasRow(kHasDocumentsSQL, voucher) &&
        VoMessageDlg(QStringLiteral("Ci sono dei documenti collegati al buono, cancellarli?"), mtConfirmation,
                     mbYesNoCancel) != mrYes)
        throw EVoAbort();
}

void TfmkvaBuoni::xqcMainBeforeWrite(int listKind) {
    kvaVoucherHeaderBeforeWrite(xqcMain, kvaLoading, listKind, &m_proposedNumber);
}

void TfmkvaBuoni::xqcMainVoBeforeExec(TVoQueryProp &prop) {
    if (prop.ListKind == skInsert && prop.Kind == skInsert) {
        prop.Values.Add(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
        prop.Values.Add(QStringLiteral("iFBuoTipo"), kvaLoading);
        // Markers of the imports, the wizard and the year closing: a voucher typed here has none.
        prop.Values.AddNull(QStringLiteral("iMgmId"));
        prop.Values.AddNull(QStringLiteral("sFBuoUse"), QMetaType::QString);
        prop.Values.AddNull(QStringLiteral("iFBuoId_P"));
    } else if (prop.Kind == skDelete && prop.TableName == QLatin1String("TFBUO_BUONI")) {
        // Rows and links go in the list's own transaction, before the header's DELETE.
        kvaDeleteVoucherContents(xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger());
    }
}

// The rules of a row's write, inside its transaction, serialised on its article: a saved row may not
// take the stock of its article below zero on any day, by a lower quantity or by going.
void TfmkvaBuoni::xqcDetailBeforeWrite(int listKind) {
    m_rowArticle = frDetail->ArticleToSave();
    if (listKind == skInsert)
        return;
    const TVoField *quantity = xqcDetail->FieldByName(QStringLiteral("fAfcQuantita"));
    if (listKind == skUpdate && quantity->AsFloat() == quantity->OldValue().toDouble())
        return;
    VoLockRow(QStringLiteral("TFAR_FACARTICOLI"), QStringLiteral("IFARID"), m_rowArticle);
    const int row = xqcDetail->FieldByName(QStringLiteral("iAfcId"))->AsInteger();
    if (listKind == skDelete && !CheckStock(m_rowArticle, row, -1, 0))
        throw EVoError(QStringLiteral("Impossibile cancellare, la giacenza andrebbe in negativo!"));
    if (listKind == skUpdate && !CheckStock(m_rowArticle, row, -1, quantity->AsFloat()))
        throw EVoError(QStringLiteral("Quantità troppo bassa"));
}

// Every statement of a row's lists names the voucher and the row's one article.
void TfmkvaBuoni::xqcDetailVoBeforeExec(TVoQueryProp &prop) {
    prop.Values.Add(QStringLiteral("IFBUOID"), xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger());
    prop.Values.Add(QStringLiteral("IFARID"), m_rowArticle);
}

// A row changed the voucher's amount: the header is read again, and the rows with it.
void TfmkvaBuoni::xqcDetailVoRefresh() {
    const TVoBookmark bookmark = xqcDetail->GetBookmark();
    xqcMain->Refresh();
    if (xqcDetail->BookmarkValid(bookmark))
        xqcDetail->GotoBookmark(bookmark);
}
