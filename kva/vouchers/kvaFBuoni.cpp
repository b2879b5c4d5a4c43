#include "kvaFBuoni.h"

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
#include "kvaRBeniCaricoSca.h"
#include "kvaRBuoIdc.h"
#include "kvaRBuoniCarico.h"
#include "kvaRBuoniScarico.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The amounts of a voucher: its rows' values, and the same with each row's VAT added, each row's
// amount (as the rows' view computes it) rounded to the cent as the rows show it, so that the
// voucher's amount is what its rows add up to; a voucher without rows is worth 0, not nothing.
const char *const kHeaderSQL =
    "SELECT buo.iFBuoId, buo.IBENID, buo.IFBUONUMERO, buo.DFBUODATA, buo.SFBUODESC, buo.DFBUOPROTDATA, "
    "buo.SFBUOPROTNUM, buo.ILOCKED, buo.lFBuoScaricato, "
    "(SELECT ben.SBENRAGSOC FROM TBEN_BENEFICIARI ben WHERE ben.IBENID = buo.IBENID) AS SBENRAGSOC, "
    "(SELECT COALESCE(SUM(ROUND(CAST(afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA AS NUMERIC(18, 6)), 2)), 0) FROM "
    "TAFC_ARTVELIST afc WHERE afc.IFBUOID = buo.IFBUOID) AS IBENIIMP, "
    "(SELECT COALESCE(SUM(ROUND(CAST(afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA + afc.FAFCCOSTOUNIT * "
    "afc.FAFCQUANTITA * COALESCE(alv.FALVIVA, 0) / 100 AS NUMERIC(18, 6)), 2)), 0) "
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

// Sort entries for columns of a grid, each on its own field.
void SortColumnsOnTheirFields(TVoDBGrid *grid, const QList<int> &columns) {
    grid->ColsIndex().Clear();
    for (int column : columns)
        grid->ColsIndex().Add(column, grid->ColumnField(column));
}

} // namespace

TfmkvaBuoni::TfmkvaBuoni(QWidget *parent) : TfmkvaBuoni(kvaLoading, parent) {}

TfmkvaBuoni::TfmkvaBuoni(int kind, QWidget *parent)
    : TfmVoChildDB(parent), xqcMain(new TVoQueryCollection(this)), xqcDetail(new TVoQueryCollection(this)),
      xqcDoc(new TVoQueryCollection(this)),
      frMaster(kind == kvaLoading ? new TfrkvaBuoniCarico : new TfrkvaBuoniScarico),
      Splitter1(new QSplitter(Qt::Vertical)), pcDetail(new QTabWidget), tsBeni(new QWidget),
      tsDoc(new QWidget), frDetail(kind == kvaLoading ? new TfrkvaBeniCarico : new TfrkvaBeniCaricoSca),
      frBuoDoc(new TfrkvaBuoIdc), m_kind(kind),
      m_rows(new TVoMasterDetail(xqcMain, xqcDetail, QStringLiteral("IFBUOID"), this)),
      m_documents(new TVoMasterDetail(xqcMain, xqcDoc, QStringLiteral("IFBUOID"), this)) {
    setWindowTitle(kind == kvaLoading ? QStringLiteral("Gestione movimenti")
                                      : QStringLiteral("Gestione buoni di scarico"));
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
    // An unloading voucher's amount is always the plain one: average costs include VAT.
    const bool loading = m_kind == kvaLoading;
    const bool vatIncluded = CurrentVatIncluded == 1;
    if (loading)
        frMaster->grFrame->SetColumnField(TfrkvaBuoniCarico::AmountColumn,
                                          vatIncluded ? QStringLiteral("IBENIIMP")
                                                      : QStringLiteral("IBENIIMP_CONIVA"));
    frDetail->SetUp(vatIncluded);

    if (loading) {
        frMaster->xelBenef->SetConnection(qqoVoGlobConn);
        frMaster->xelBenef->SetListSQL(QString::fromLatin1(kSupplierListSQL));
        frMaster->xelBenef->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
            SetSearchFormTable(form, QStringLiteral("Fornitori"));
        });
    }

    SetUpCollection(xqcMain, kHeaderSQL);
    kvaSetHeaderLists(xqcMain, m_kind);
    xqcMain->SetParam(QStringLiteral("iFBuoTipo"), m_kind);
    xqcMain->SetParam(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
    SetUpCollection(xqcDetail, kRowsSQL);
    kvaSetRowLists(xqcDetail, m_kind);
    SetUpCollection(xqcDoc, kDocumentsSQL);
    kvaSetDocumentLists(xqcDoc, m_kind);
    frBuoDoc->SetUpFor(xqcMain, m_kind);

    pcDetail->setCurrentIndex(0);
    for (TfrVoDBRWGrid *frame : std::initializer_list<TfrVoDBRWGrid *>{frMaster, frDetail, frBuoDoc})
        frame->pcMain->setCurrentIndex(0);
    // The delivery sector of the rows is the one column that does not sort.
    SortColumnsOnTheirFields(frMaster->grFrame, loading ? QList<int>{0, 1, 2, 3, 4} : QList<int>{0, 1, 2, 3});
    SortColumnsOnTheirFields(frDetail->grFrame,
                             loading ? QList<int>{0, 1, 2, 3, 4} : QList<int>{0, 1, 3, 4, 5});
    SortColumnsOnTheirFields(frBuoDoc->grFrame, {0, 1, 2, 3, 4});

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
    xqcMain->VoAfterExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop) { xqcMainVoAfterExec(prop); });
    xqcDetail->BeforeWrite.Add(
        [this](TVoQueryCollection *, int listKind) { xqcDetailBeforeWrite(listKind); });
    if (loading)
        xqcDetail->VoBeforeExec.Add(
            [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) { xqcDetailVoBeforeExec(prop); });
    else
        SetUpUnloading();
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
    if (auto *rows = qobject_cast<TfrkvaBeniCaricoSca *>(frDetail))
        rows->tbInsMult->setEnabled(saved && locked->AsInteger() != 1);
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
    m_proposedNumber = NextVoucherNumber(m_kind);
    frMaster->xneNumero->SetValue(m_proposedNumber);
    frMaster->xdeData->SetDate(DaysToDate(kvaProposedVoucherDate(m_proposedNumber, m_kind)));
}

void TfmkvaBuoni::frMasterxneNumeroValidate(bool &Ok, QString &Msg) {
    const int accepted = xqcMain->State() == dsInsert
                             ? m_proposedNumber
                             : xqcMain->FieldByName(QStringLiteral("IFBUONUMERO"))->OldValue().toInt();
    Msg = kvaVoucherNumberProblem(frMaster->xneNumero->Value(), m_kind, accepted);
    Ok = Msg.isEmpty();
}

void TfmkvaBuoni::frMasterxdeDataValidate(bool &Ok, QString &Msg) {
    const bool editing = xqcMain->State() == dsEdit;
    const int voucher = editing ? xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger() : -1;
    const QVariant stored =
        editing ? xqcMain->FieldByName(QStringLiteral("DFBUODATA"))->OldValue() : QVariant();
    Msg = kvaVoucherDateProblem(frMaster->xdeData->AsDays(), int(frMaster->xneNumero->AsFloat()), m_kind,
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
    kvaVoucherHeaderBeforeWrite(xqcMain, m_kind, listKind, &m_proposedNumber);
}

void TfmkvaBuoni::xqcMainVoBeforeExec(TVoQueryProp &prop) {
    if (prop.ListKind == skInsert && prop.Kind == skInsert) {
        prop.Values.Add(QStringLiteral("iDwgFacAnfId"), ParamRegisterYearId());
        prop.Values.Add(QStringLiteral("iFBuoTipo"), m_kind);
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
    if (m_kind == kvaUnloading) {
        UnloadingRowBeforeWrite(listKind);
        return;
    }
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

// An unloading row may not take more than the stock holds on its voucher's date and on every later
// day; removing one only raises the stock.
void TfmkvaBuoni::UnloadingRowBeforeWrite(int listKind) {
    if (listKind == skDelete)
        return;
    if (m_rowArticle < 1)
        throw EVoError(QStringLiteral("Articolo"));
    const TVoField *quantity = xqcDetail->FieldByName(QStringLiteral("fAfcQuantita"));
    if (listKind == skUpdate && quantity->AsFloat() == quantity->OldValue().toDouble())
        return;
    VoLockRow(QStringLiteral("TFAR_FACARTICOLI"), QStringLiteral("IFARID"), m_rowArticle);
    const bool inserting = listKind == skInsert;
    const int row = inserting ? -1 : xqcDetail->FieldByName(QStringLiteral("iAfcId"))->AsInteger();
    const int voucher = inserting ? xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger() : -1;
    if (!CheckStock(m_rowArticle, row, voucher, quantity->AsFloat()))
        throw EVoError(QStringLiteral("Quantità troppo elevata"));
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

void TfmkvaBuoni::xqcMainVoAfterExec(const TVoQueryProp &prop) {
    if (prop.ListKind != skUpdate || prop.TableName != QLatin1String("TFBUO_BUONI"))
        return;
    // Unloading rows cost the average as of their voucher's date: a voucher that moved, loading or
    // unloading, changes the costs of its articles' unloading rows.
    const TVoField *date = xqcMain->FieldByName(QStringLiteral("DFBUODATA"));
    if (date->Value() != date->OldValue())
        kvaRePriceVoucher(xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger());
}

// --- Unloading rows ---------------------------------------------------------------------------------

void TfmkvaBuoni::SetUpUnloading() {
    auto *master = static_cast<TfrkvaBuoniScarico *>(frMaster);
    master->AfterGeneration = [this](int voucher) {
        xqcMain->Refresh();
        if (voucher > 0)
            xqcMain->Locate(QStringLiteral("IFBUOID"), voucher);
    };
    frDetail->AfterSearch = [this] { frDetailPrice(); };
    frDetail->xqcArticoli->BeforeOpen.Add([this](TVoQueryCollection *articles) {
        articles->SetParam(
            QStringLiteral("data"),
            DaysToDateParam(VariantToDays(xqcMain->FieldByName(QStringLiteral("DFBUODATA"))->Value())));
        articles->SetParam(QStringLiteral("iDwgAnfFacId"), ParamRegisterYearId());
    });
    frDetail->xneQuant->OnValidate.Add(
        [this](QWidget *, bool &Ok, QString &Msg) { frDetailxneQuantValidate(Ok, Msg); });
    xqcDetail->VoBeforeExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop, bool &Allow) {
        xqcDetailVoBeforeExecSca(prop, Allow);
    });
    xqcDetail->VoAfterExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop) { xqcDetailVoAfterExec(prop); });
}

// The row's sector against the one it was saved with.
bool TfmkvaBuoni::SectorChanged() const {
    const TVoField *sector = xqcDetail->FieldByName(QStringLiteral("ISECID"));
    return sector->Value() != sector->OldValue();
}

// The history follows the row's sector: a new row opens a period; a row that changed sector closes
// its open period and opens another; any other change writes none.
void TfmkvaBuoni::xqcDetailVoBeforeExecSca(TVoQueryProp &prop, bool &Allow) {
    if (prop.TableName != QLatin1String("TASE_ARTFCSETTORI")) {
        xqcDetailVoBeforeExec(prop);
        return;
    }
    if (prop.ListKind == skUpdate && !SectorChanged()) {
        Allow = false;
        return;
    }
    prop.Values.Add(QStringLiteral("IAFCID"), m_lastRow);
}

void TfmkvaBuoni::xqcDetailVoAfterExec(const TVoQueryProp &prop) {
    if (prop.TableName != QLatin1String("TAFC_ARTVELIST") || prop.Kind == skDelete)
        return;
    m_lastRow =
        prop.Values.Value(prop.Kind == skInsert ? QStringLiteral("VOGENID") : QStringLiteral("VOCURRID"))
            .toInt();
}

// Choosing an article proposes all its stock at the voucher's date at its average cost, both per
// unloading measure.
void TfmkvaBuoni::frDetailPrice() {
    if (xqcDetail->State() != dsInsert || !frDetail->xdeDesc->isEnabled())
        return;
    const int article = frDetail->RowArticle(false);
    double stock = 0.0, cost = 0.0;
    if (article > 0) {
        const double date = VariantToDays(xqcMain->FieldByName(QStringLiteral("DFBUODATA"))->Value());
        GetStockAndCost(article, stock, cost, -1, date);
        const double factor = UnitFactor(article);
        stock *= factor;
        cost /= factor;
    }
    xqcDetail->FieldByName(QStringLiteral("fAfcCostoUnit"))->SetValue(cost);
    xqcDetail->FieldByName(QStringLiteral("fAfcQuantita"))->SetValue(stock);
    frDetail->ComputeTotal();
}

// A quantity the stock cannot give is replaced by the largest it can, which then saves.
void TfmkvaBuoni::frDetailxneQuantValidate(bool &Ok, QString &Msg) {
    const bool inserting = xqcDetail->State() == dsInsert;
    if (!inserting && xqcDetail->State() != dsEdit)
        return;
    const int article = inserting ? frDetail->RowArticle(false)
                                  : xqcDetail->FieldByName(QStringLiteral("iFarId"))->AsInteger();
    if (article < 1)
        return;
    const int row = inserting ? -1 : xqcDetail->FieldByName(QStringLiteral("iAfcId"))->AsInteger();
    const int voucher = inserting ? xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger() : -1;
    if (CheckStock(article, row, voucher, frDetail->xneQuant->AsFloat()))
        return;
    Ok = false;
    Msg = QStringLiteral("Quantità troppo elevata");
    const double date = VariantToDays(xqcMain->FieldByName(QStringLiteral("DFBUODATA"))->Value());
    xqcDetail->FieldByName(QStringLiteral("fAfcQuantita"))->SetValue(LargestUnloading(article, date, row));
    frDetail->ComputeTotal();
}

TfmkvaBuoniSca::TfmkvaBuoniSca(QWidget *parent) : TfmkvaBuoni(kvaUnloading, parent) {}

TfrkvaBuoniScarico *TfmkvaBuoniSca::Master() const {
    return static_cast<TfrkvaBuoniScarico *>(frMaster);
}

TfrkvaBeniCaricoSca *TfmkvaBuoniSca::Rows() const {
    return static_cast<TfrkvaBeniCaricoSca *>(frDetail);
}
