#include "kvaFBuoni.h"

#include "VoConnection.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBFrames.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoExceptions.h"
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

#include <QTabWidget>

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

// Rows and documents follow the header's state changes too, not only its data changes; a voucher being
// edited still takes rows.
const TAbcVoucherWindowProfile kWindowProfile{
    &kvaVoucherProfile, "IFBUOID", "IFBUONUMERO", "Articoli", {"IBENIIMP", "IBENIIMP_CONIVA"},
    kAmountFormat,      0,         true,          false,      false};

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

// The documents page over this program's links: documents of up to a year before the register-year.
const TBuoIdcProfile kvaBuoIdcProfile = {
    "TFBUO_BUONI",
    "IFBUOID",
    "iFBuoIdcId",
    "SELECT iFBuoIdcId FROM TFBUOIDC WHERE (iFBuoId=:iFBuoId) AND (iIdcId=:iIdcId);",
    "SELECT IBENID FROM TFBUO_BUONI WHERE IFBUOID = :iFBuoId",
    "Descrizione",
    "Provenienza",
    {365.0, 365.0},
    100,
};

} // namespace

TfmkvaBuoni::TfmkvaBuoni(QWidget *parent) : TfmkvaBuoni(kvaLoading, parent) {}

TfmkvaBuoni::TfmkvaBuoni(int kind, QWidget *parent)
    : TfmAbcBuoni(parent, kWindowProfile, kind,
                  kind == kvaLoading ? QStringLiteral("Gestione movimenti")
                                     : QStringLiteral("Gestione buoni di scarico"),
                  TAbcVoucherHeader::Of(kind == kvaLoading ? new TfrkvaBuoniCarico : new TfrkvaBuoniScarico),
                  kind == kvaLoading ? new TfrkvaBeniCarico : new TfrkvaBeniCaricoSca, new TfrkvaBuoIdc),
      frMaster(static_cast<TfrkvaBuoniCarico *>(HeaderFrame())), tsBeni(pcDetail->widget(0)),
      tsDoc(pcDetail->widget(1)), frDetail(static_cast<TfrkvaBeniCarico *>(GoodsFrame())),
      frBuoDoc(static_cast<TfrkvaBuoIdc *>(DocumentsFrame())) {}

void TfmkvaBuoni::FormCreate() {
    TfmAbcBuoni::FormCreate();

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
    frBuoDoc->SetUpFor(xqcMain, m_kind, kvaBuoIdcProfile);

    // The delivery sector of the rows is the one column that does not sort.
    SortColumnsOnTheirFields(frMaster->grFrame, loading ? QList<int>{0, 1, 2, 3, 4} : QList<int>{0, 1, 2, 3});
    SortColumnsOnTheirFields(frDetail->grFrame,
                             loading ? QList<int>{0, 1, 2, 3, 4} : QList<int>{0, 1, 3, 4, 5});
    SortColumnsOnTheirFields(frBuoDoc->grFrame, {0, 1, 2, 3, 4});

    // A closed year takes no new voucher and loses no voucher, row or document link, and what was typed
    // in it is not saved: the user is told as she asks, before any question and before any other
    // reason a field of hers may give.
    for (TVoDataAction *action : {frMaster->xacInsert, frMaster->xacDelete, frMaster->xacPost, frDetail->xacDelete,
                                  frDetail->xacPost, frBuoDoc->xacDelete, frBuoDoc->xacPost})
        action->OnExecute.Add([action](TVoDataAction *) {
            kvaRefuseClosedYear();
            action->ExecuteDefault();
        });

    xqcDetail->AfterOpen.Add([this](TVoQueryCollection *) { xqcDetailAfterOpen(); });
    xqcMain->BeforeDelete.Add([this](TVoQueryCollection *) { xqcMainBeforeDelete(); });
    xqcMain->BeforeWrite.Add([this](TVoQueryCollection *, int listKind) { xqcMainBeforeWrite(listKind); });
    xqcMain->VoBeforeExec.Add(
        [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) { xqcMainVoBeforeExec(prop); });
    xqcMain->VoAfterExec.Add([this](TVoQueryCollection *, TVoQueryProp &prop) { xqcMainVoAfterExec(prop); });
    xqcDetail->BeforeWrite.Add(
        [this](TVoQueryCollection *, int listKind) { xqcDetailBeforeWrite(listKind); });
    if (loading) {
        xqcDetail->VoBeforeExec.Add(
            [this](TVoQueryCollection *, TVoQueryProp &prop, bool &) { xqcDetailVoBeforeExec(prop); });
        // A row saved with no cost costs nothing: with no cost stored it would have no amount in the
        // lists and be left out of every sum.
        xqcDetail->BeforePost.Add([](TVoQueryCollection *rows) {
            TVoField *cost = rows->FieldByName(QStringLiteral("fAfcCostoUnit"));
            if (cost->IsNull())
                cost->SetAsFloat(0);
        });
    } else {
        SetUpUnloading();
    }
}

// A voucher's unloading rows may also be added many at once, under the same rule as one by one.
void TfmkvaBuoni::ApplyLock() {
    TfmAbcBuoni::ApplyLock();
    if (auto *rows = qobject_cast<TfrkvaBeniCaricoSca *>(frDetail))
        rows->tbInsMult->setEnabled(!TakesNoGoods());
}

QString TfmkvaBuoni::DateProblem(double date, int number) const {
    const bool editing = xqcMain->State() == dsEdit;
    const int voucher = editing ? xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger() : -1;
    const QVariant stored =
        editing ? xqcMain->FieldByName(QStringLiteral("DFBUODATA"))->OldValue() : QVariant();
    return kvaVoucherDateProblem(date, number, m_kind, voucher,
                                 stored.isNull() ? VoNoDate : VariantToDays(stored));
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
    if (listKind == skDelete && m_kind == kvaLoading)
        kvaCheckVoucherRowsCanGo(xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger());
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
    // A row of a closed year is refused as such, before its stock is looked at.
    kvaCheckVoucherOpen(xqcMain->FieldByName(QStringLiteral("IFBUOID"))->AsInteger());
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
    // A closed year takes no quantity at all: its save says so, whatever the stock.
    if (kvaYearClosed(ParamRegisterYearId()))
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
