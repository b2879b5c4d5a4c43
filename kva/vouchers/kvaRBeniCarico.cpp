#include "kvaRBeniCarico.h"

#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"
#include "VoTableModel.h"
#include "VoWait.h"
#include "kvaRArticoli.h"
#include "kvaUBuoni.h"
#include "kvaUUtil.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <utility>

namespace {

const char *const kArticlesSQL =
    "SELECT IFARID, SFARSDESC, ICFMID, ICAFID, IDCMID, IMERID, IUNMID, SFARLIBEDITORE, SFARLIBAUTORE, "
    "SFARLIBTITOLO, SFARLDESC, IALVID, UPPER(sFarSDesc || ' ' || sFarLDesc) AS DESCRIZIONE FROM "
    "TFar_FacArticoli";
const char *const kCausalPresetSQL =
    "SELECT iCavId FROM TAfc_ArtVelist WHERE (iFBuoId=:iFBuoId) AND (iCavId IS NOT NULL);";
const char *const kCausalListSQL =
    "SELECT ICAVID, sCavCodice, SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVTIPO = 0 AND ##WHERE##";
const char *const kUnloadingCausalListSQL =
    "SELECT ICAVID, sCavCodice, SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVTIPO=1 AND ##WHERE##";
const char *const kConditionListSQL =
    "SELECT ICONDID, sCondDesc, sCondCodice FROM TCOND_CONDIZIONI WHERE ##WHERE##";
const char *const kSiteListSQL =
    "SELECT ISEDINFID, sSedInfCodMecc, SSEDINFLDESC FROM TSEDINF_SEDEINFO WHERE ##WHERE##";
const char *const kSectorListSQL = "SELECT ISECID, sSecCod, SSECDESCS FROM TSEC_SETTCONS WHERE ##WHERE##";
// Narrowed from outside by the lookup: the person's name is an expression. Sector 0 stands for all.
const char *const kResponsibleListSQL =
    "SELECT rsp.IRSPID, ana.sAnaCognome || ' ' || ana.sAnaNome AS sAnagr, rsp.sRspQualifica FROM "
    "TRsp_Responsabili rsp INNER JOIN TAna_Anagrafiche ana ON (ana.iAnaId = rsp.iAnaId) WHERE (rsp.iSecId = "
    ":iSecId OR :iSecId = 0)";
const char *const kLocationListSQL =
    "SELECT ICLCID, SCLCDESCS, SCLCDESCL FROM TCLC_COLLOCAZIONI WHERE ##WHERE##";
const char *const kBudgetItemListSQL =
    "SELECT vpro.IVPROID, vpro.SVPRODESCS FROM TVPRO_VOCIPROGETTI vpro INNER JOIN TAgg_Aggregati agg ON "
    "(agg.iAggId = vpro.iAggId) WHERE agg.iFlsId = 2 AND agg.iTitoId = 1 AND vpro.dStart <= :dFine AND "
    "(vpro.dEnd > :dInizio OR vpro.dEnd IS NULL) AND ##WHERE##";

const char *const kWaitTitle = "Caricamento dei dati in corso ...";
const char *const kWaitText = "L'operazione potrà impiegare qualche secondo ...";

// Keys given to a new row unless the voucher's rows say otherwise.
constexpr int kDefaultCausal = 1;
constexpr int kDefaultCondition = 2;
constexpr int kDefaultBudgetItem = 30;

const QString kDescField = QStringLiteral("sFarLDesc");
const QString kTitleField = QStringLiteral("SFARLIBTITOLO");

void SetUpLookup(TVoDBLookupEdit *lookup, const char *keyField, const char *listField, const char *sql,
                 const QStringList &captions, const QList<int> &widths) {
    lookup->SetKeyField(QString::fromLatin1(keyField));
    lookup->SetListField(QString::fromLatin1(listField));
    lookup->SetListSQL(QString::fromLatin1(sql));
    lookup->OnShowSearchForm.Add([captions, widths](TVoDBLookupEdit *, TVoSearchDialog *form) {
        if (captions.size() == 1 && widths.isEmpty())
            SetSearchFormTable(form, captions.first());
        else
            SetSearchForm(form, captions, widths);
    });
}

QVariant KeyOrNull(const QVariant &key) {
    return key.isNull() || key.toInt() < 1 ? QVariant() : key;
}

} // namespace

TfrkvaBeniCarico::TfrkvaBeniCarico(QWidget *parent) : TfrkvaBeniCarico(0, parent) {}

TfrkvaBeniCarico::TfrkvaBeniCarico(int kind, QWidget *parent)
    : TfrVoDBRWGrid(parent), laDesc(new QLabel(QStringLiteral("Descrizione"), tsDetail)),
      xdeDesc(new TVoDBEdit(tsDetail)), Image1(new QToolButton(tsDetail)),
      xdeCod(VoAddDetailEdit(this, QStringLiteral("Codice"), QStringLiteral("sFarSDesc"), 7)),
      xedAutore(new TVoDBEdit(tsDetail)), xedEditore(new TVoDBEdit(tsDetail)),
      xelCategoria(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Categoria"), QStringLiteral("iCafId"))),
      xelCodMerce(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Codice merceologico"),
                                                      QStringLiteral("iMerId"))),
      xelDettMerce(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Dettaglio merceologico"),
                                                       QStringLiteral("iDcmId"))),
      xelUniMis(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Unità di misura"),
                                                    QStringLiteral("iUnmId"))),
      xneQuant(VoAddDetailControl<TVoDBNumericEdit>(this, QStringLiteral("Quantità"),
                                                    QStringLiteral("fAfcQuantita"))),
      laIva(new QLabel(QStringLiteral("Costo unitario"), tsDetail)),
      xceImporto(new TVoDBCurrencyEdit(tsDetail)),
      xelIva(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Iva"), QStringLiteral("iAlvId"))),
      xceTotale(new TVoDBCurrencyEdit(tsDetail)),
      xelCausale(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Causale di carico"),
                                                     QStringLiteral("iCavId"))),
      xelCondizione(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Condizione"), QStringLiteral("ICONDID"))),
      xelVociPro(
          VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Progetto"), QStringLiteral("iVProId"))),
      xelSede(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Sede di ubicazione"),
                                                  QStringLiteral("iSedInfId"))),
      xelSettore(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Settore di consegna"),
                                                     QStringLiteral("ISECID"))),
      xelResp(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Responsabile"),
                                                  QStringLiteral("iRspId"))),
      xelColl(VoAddDetailControl<TVoDBLookupEdit>(this, QStringLiteral("Collocazione"),
                                                  QStringLiteral("iClcId"))),
      xmeNote(VoAddDetailControl<TVoDBMemo>(this, QStringLiteral("Note"), QStringLiteral("bAfcNote"))),
      tbMassa(new QToolBar(QStringLiteral("Inserimenti di massa"), this)),
      xqcArticoli(new TVoQueryCollection(this)), ArticleModel(new TVoTableModel(xqcArticoli, this)),
      grArtSearch(new QTableView(tsDetail)), m_kind(kind) {
    setToolTip(QStringLiteral("Dati di carico dell'articolo"));
    if (Loading()) {
        grFrame->AddColumn(QStringLiteral("sFarSDesc"), QStringLiteral("Numero"));
        grFrame->AddColumn(QStringLiteral("sFarLDesc"), QStringLiteral("Descrizione"), 340);
        grFrame->AddColumn(QStringLiteral("fAfcQuantita"), QStringLiteral("Quantità"), 100, Qt::AlignRight);
        grFrame->AddColumn(QStringLiteral("FAFCCOSTOUNIT"), QStringLiteral("Costo unitario"), 100,
                           Qt::AlignRight);
        grFrame->AddColumn(QStringLiteral("fAfcTotale"), QStringLiteral("Importo totale"), 100,
                           Qt::AlignRight);
        grFrame->AddColumn(QStringLiteral("sSecDescS"), QStringLiteral("Settore di consegna"), 200);
    } else {
        grFrame->AddColumn(QStringLiteral("sFarSDesc"), QStringLiteral("Codice"), 95);
        grFrame->AddColumn(QStringLiteral("sFarLDesc"), QStringLiteral("Descrizione"), 340);
        grFrame->AddColumn(QStringLiteral("sSecDescS"), QStringLiteral("Settore di consegna"), 150);
        grFrame->AddColumn(QStringLiteral("fAfcQuantita"), QStringLiteral("Quantità"), 50, Qt::AlignRight);
        grFrame->AddColumn(QStringLiteral("fAfcCostoUnit"), QStringLiteral("Costo unitario"), 100,
                           Qt::AlignRight);
        grFrame->AddColumn(QStringLiteral("fAfcTotale"), QStringLiteral("Importo totale"), 100,
                           Qt::AlignRight);
    }
    AddControlWidget(tbMassa);
    tbMassa->hide();

    // Description (a book's title) with the search picture, the code, the book's author and
    // publisher; then the codes, the amounts and the row's own data in the order placed above.
    QFormLayout *form = VoDetailForm(this);
    auto *descRow = new QWidget(tsDetail);
    auto *descLayout = new QHBoxLayout(descRow);
    descLayout->setContentsMargins(0, 0, 0, 0);
    descLayout->addWidget(xdeDesc, 1);
    descLayout->addWidget(Image1);
    Image1->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Image1->setToolTip(QStringLiteral("Tutti gli articoli"));
    Image1->setFocusPolicy(Qt::NoFocus);
    form->insertRow(0, laDesc, descRow);
    laDesc->setBuddy(xdeDesc);
    VoSetMaxLength(xdeDesc, 400);
    xdeDesc->Bind(xdsMain, kDescField);
    xdeCod->setFocusPolicy(Qt::NoFocus);
    // A book's author and publisher are rows of the page like the others, shown for books only.
    kvaAddBookRows(form, 2, xedAutore, xedEditore, xdsMain);
    ShowBookRows(false);
    int costRow = 0;
    QFormLayout::ItemRole role;
    form->getWidgetPosition(xneQuant, &costRow, &role);
    form->insertRow(++costRow, laIva, xceImporto);
    laIva->setBuddy(xceImporto);
    xceImporto->Bind(xdsMain, QStringLiteral("fAfcCostoUnit"));
    xceImporto->SetDisplayFormat(QStringLiteral("#0.00"));
    auto *totalLabel = new QLabel(QStringLiteral("Totale"), tsDetail);
    totalLabel->setBuddy(xceTotale);
    form->insertRow(costRow + 2, totalLabel, xceTotale);
    xceTotale->SetDisplayFormat(QStringLiteral("#0.00"));
    xceTotale->SetReadOnly(true);
    xceTotale->setFocusPolicy(Qt::NoFocus);
    setTabOrder(xdeDesc, xedAutore);
    setTabOrder(xedAutore, xedEditore);
    setTabOrder(xedEditore, xelCategoria);
    setTabOrder(xneQuant, xceImporto);
    setTabOrder(xceImporto, xelIva);

    xqcArticoli->SetConnection(qqoVoGlobConn);
    xqcArticoli->SetAutoBuildSQL(false);
    xqcArticoli->SetCommandText(QString::fromLatin1(kArticlesSQL));
    xqcArticoli->Params().Clear();
    ArticleModel->AddColumn(QStringLiteral("DESCRIZIONE"), QStringLiteral("DESCRIZIONE"), 290);
    grArtSearch->setModel(ArticleModel);
    grArtSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grArtSearch->setSelectionBehavior(QAbstractItemView::SelectRows);
    grArtSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    grArtSearch->verticalHeader()->hide();
    grArtSearch->horizontalHeader()->hide();
    grArtSearch->hide();
    AddDropDown(grArtSearch);
    connect(grArtSearch, &QTableView::clicked, this, [this](const QModelIndex &index) {
        VoGuarded([&] {
            ChooseArticle(index.row());
            RunAfterSearch();
        });
    });

    SetUpLookups();
    if (Loading()) {
        // A saved row keeps its article's codes, which it cannot change: they are asked of a new row.
        // A code the row cannot be given here is asked where it is given.
        for (auto [lookup, word] :
             {std::pair{xelCategoria, "Categoria"}, std::pair{xelCodMerce, "Codice merceologico"},
              std::pair{xelUniMis, "Unità di misura"}})
            lookup->OnValidate.Add([this, lookup, word](QWidget *, bool &Ok, QString &Msg) {
                if (xdsMain->State() != dsInsert || !lookup->IsEmpty())
                    return;
                Ok = false;
                Msg = QString::fromUtf8(word);
                if (lookup == xelCodMerce)
                    Msg = kvaGoodsCodeRequired(xelCategoria->KeyValue());
                if (Msg == QString::fromUtf8(word) && lookup->ReadOnly())
                    Msg = QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\": l'articolo scelto ne è "
                                         "privo. Completare l'articolo in \"Articoli\".")
                              .arg(Msg);
            });
        xelIva->OnValidate.Add([this](QWidget *, bool &Ok, QString &Msg) {
            if (xelIva->KeyValue().toInt() < 1) {
                Ok = false;
                Msg = QStringLiteral("Iva");
            }
        });
        xneQuant->OnValidate.Add([this](QWidget *, bool &Ok, QString &Msg) { xneQuantValidate(Ok, Msg); });
    } else {
        SetUpUnloading();
    }

    for (QWidget *watched : std::initializer_list<QWidget *>{xdeDesc, grArtSearch, xneQuant, xceImporto})
        watched->installEventFilter(this);
    connect(Image1, &QToolButton::clicked, this,
            [this] { VoGuarded([this] { SearchArticles(Qt::Key_F8); }); });
    xacInsert->OnExecute.Add([this](TVoDataAction *) { xacInsertExecute(); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *field) { xdsMainDataChange(field); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *) { xdsMainAfterStateChange(); });
    OnPageChanging.Add([this](TfrVoDBRWGrid *, int) {
        if (const TVoField *category = RowField(QStringLiteral("iCafId")))
            ApplyLayout(category->AsInteger());
    });
    xelCategoria->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelCategoriaChangeFKValue(); });
    xelCodMerce->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelCodMerceChangeFKValue(); });
    for (TVoDBLookupEdit *cleared : {xelDettMerce, xelUniMis})
        cleared->OnChangeFKValue.Add([](TVoDBLookupEdit *lookup) {
            if (lookup->KeyValue().toInt() < 1)
                lookup->clear();
        });
    xelIva->OnChangeFKValue.Add([this](TVoDBLookupEdit *) {
        if (xelIva->KeyValue().toInt() < 1)
            xelIva->clear();
        ComputeTotal();
    });
    xelSettore->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelSettoreChangeFKValue(); });
}

void TfrkvaBeniCarico::SetUpLookups() {
    kvaSetUpArticleLookups(xelCategoria, xelCodMerce, xelDettMerce, xelUniMis, xelIva);
    xelDettMerce->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(form, {QStringLiteral("Codice"), QStringLiteral("Dettaglio merceologico")}, {100, 300});
    });
    const QString code = QStringLiteral("Codice");
    SetUpLookup(xelCausale, "ICAVID", "sCavDesc", kCausalListSQL, {code, QStringLiteral("Causali")},
                {100, 300});
    SetUpLookup(xelCondizione, "ICONDID", "sCondDesc", kConditionListSQL, {QStringLiteral("Condizione")}, {});
    SetUpLookup(xelSede, "ISEDINFID", "sSedInfLDesc", kSiteListSQL, {code, QStringLiteral("Sede")},
                {100, 300});
    SetUpLookup(xelSettore, "ISECID", "sSecDescS", kSectorListSQL,
                {code, QStringLiteral("Settore di consegna")}, {100, 300});
    SetUpLookup(xelResp, "IRSPID", "sAnagr", kResponsibleListSQL,
                {QStringLiteral("Cognome - Nome"), QStringLiteral("Qualifica")}, {300, 100});
    SetUpLookup(xelColl, "ICLCID", "sClcDescL", kLocationListSQL, {code, QStringLiteral("Collocazione")},
                {100, 300});
    const bool loading = Loading();
    if (loading)
        SetUpLookup(xelVociPro, "vpro.IVPROID", "sVProDescS", kBudgetItemListSQL,
                    {QStringLiteral("Voci progetto")}, {});
    else
        SetUpLookup(xelVociPro, "vpro.IVPROID", "sVProDescS", kBudgetItemListSQL,
                    {QStringLiteral("Voce di progetto")}, {450});
    xelCausale->SetDefaultValue(loading ? kDefaultCausal : 0);
    xelCondizione->SetDefaultValue(loading ? kDefaultCondition : 0);
    xelVociPro->SetDefaultValue(loading ? kDefaultBudgetItem : 0);
    RestrictResponsibles(QVariant());
}

// What the unloading rows do otherwise: the article and its codes come from the stock, the cost
// from the average cost, the cause is one of unloading.
void TfrkvaBeniCarico::SetUpUnloading() {
    setToolTip(QStringLiteral("Dati di scarico dell'articolo"));
    Image1->hide();
    xelCausale->SetListSQL(QString::fromLatin1(kUnloadingCausalListSQL));
    if (auto *label = qobject_cast<QLabel *>(VoFieldLabel(xelCausale)))
        label->setText(QStringLiteral("Causale di scarico"));
    if (auto *label = qobject_cast<QLabel *>(VoFieldLabel(xelDettMerce)))
        label->setText(QStringLiteral("Dettaglio codice merceologico"));
    for (TVoDBControl *control :
         std::initializer_list<TVoDBControl *>{xelCodMerce, xelDettMerce, xelUniMis, xceImporto})
        SetControlWritable(control, false);
    for (QWidget *widget : std::initializer_list<QWidget *>{xceImporto, xelIva, xelCodMerce, xelDettMerce,
                                                            xelUniMis, xelCategoria})
        widget->setFocusPolicy(Qt::NoFocus);
    xelIva->setEnabled(false);
    xelIva->hide();
    if (QWidget *label = VoFieldLabel(xelIva))
        label->hide();
    // A new row names an existing article and goes to a sector.
    xdeDesc->OnValidate.Add([this](QWidget *, bool &Ok, QString &Msg) {
        if (xdsMain->State() == dsInsert && RowArticle(false) < 1) {
            Ok = false;
            Msg = QStringLiteral("Articolo");
        }
    });
    xelSettore->OnValidate.Add([this](QWidget *, bool &Ok, QString &Msg) {
        if (xelSettore->IsEmpty()) {
            Ok = false;
            Msg = QStringLiteral("Settore di consegna");
        }
    });
    xqcArticoli->SetCommandText(QString::fromLatin1(kvaSQLArticlesInStock));
    xqcArticoli->Params().Clear();
    xqcArticoli->Params().CreateParam(QStringLiteral("data"), QMetaType::QDate);
    xqcArticoli->Params().CreateParam(QStringLiteral("iDwgAnfFacId"), QMetaType::Int);
}

void TfrkvaBeniCarico::RunAfterSearch() {
    if (!Loading() && AfterSearch)
        AfterSearch();
}

void TfrkvaBeniCarico::SetUp(bool vatIncluded) {
    // Unloading costs are average costs, VAT included.
    vatIncluded = vatIncluded || !Loading();
    m_vatIncluded = vatIncluded;
    const QString total = vatIncluded ? QStringLiteral("fAfcTotale") : QStringLiteral("fAfcTotale_ConIva");
    if (Loading())
        grFrame->SetColumnField(AmountColumn, total);
    xceTotale->Bind(xdsMain, total);
    laIva->setText(vatIncluded ? QStringLiteral("Costo unitario (iva inclusa)")
                               : QStringLiteral("Costo unitario (iva esclusa)"));
    // Budget items valid at some time of the register-year.
    xelVociPro->ListDataSet()->SetParam(QStringLiteral("dInizio"), DaysToDateParam(CurrentRegStart));
    xelVociPro->ListDataSet()->SetParam(QStringLiteral("dFine"), DaysToDateParam(CurrentRegEnd));
    xelVociPro->RefreshList();
}

TVoField *TfrkvaBeniCarico::RowField(const QString &name) const {
    const TVoQueryCollection *rows = DataSet();
    return rows && rows->Active() && (!rows->IsEmpty() || rows->State() == dsInsert) ? rows->FindField(name)
                                                                                     : nullptr;
}

// --- New row and state ------------------------------------------------------------------------------

void TfrkvaBeniCarico::xacInsertExecute() {
    xacInsert->ExecuteDefault();
    if (xdsMain->State() != dsInsert)
        return;
    xelCategoria->SetKeyValue(CurrentRegisterType == 2 ? kvaBooksCategory : -1);
    xelCategoriaChangeFKValue();
    if (DetailShown() && xdeDesc->isVisible() && xdeDesc->isEnabled())
        xdeDesc->setFocus(Qt::OtherFocusReason);
}

void TfrkvaBeniCarico::xdsMainAfterStateChange() {
    const int state = xdsMain->State();
    const bool inserting = state == dsInsert;
    const bool editing = state == dsEdit;
    if (!Loading()) {
        // The article is chosen once, among those in stock; its codes are its own.
        for (TVoDBControl *control : std::initializer_list<TVoDBControl *>{xdeDesc, xdeCod, xelCategoria})
            SetControlWritable(control, inserting);
        if (!inserting) {
            HideSearch();
            return;
        }
        m_chosenArticle = -1;
        xelSede->SetKeyValue(CurrentSiteId > 0 ? QVariant(CurrentSiteId) : QVariant());
        LoadArticles();
        return;
    }
    // A saved row keeps its article.
    if (inserting || editing)
        for (TVoDBControl *control : std::initializer_list<TVoDBControl *>{
                 xdeDesc, xedAutore, xedEditore, xelCategoria, xelCodMerce, xelDettMerce, xelUniMis})
            SetControlWritable(control, inserting);
    else
        for (TVoDBControl *control :
             std::initializer_list<TVoDBControl *>{xdeDesc, xdeCod, xedAutore, xedEditore})
            SetControlWritable(control, false);
    if (!inserting && !editing) {
        HideSearch();
        return;
    }
    SetControlWritable(xelIva, true);
    m_newArticle = false;
    m_chosenArticle = -1;
    LoadArticles();
    if (inserting)
        PresetCausal();
}

void TfrkvaBeniCarico::LoadArticles() {
    TVoWaitScope wait(QString::fromUtf8(kWaitText), QString::fromUtf8(kWaitTitle));
    xqcArticoli->ClearRowFilter();
    xqcArticoli->Close();
    xqcArticoli->Open();
    xqcArticoli->Last();
    xqcArticoli->First();
}

// A new row takes the cause of the voucher's rows, else the usual one; the condition and the budget
// item are the usual ones. An edited row keeps its own.
void TfrkvaBeniCarico::PresetCausal() {
    // The rows are those of the voucher their select was opened for.
    const TVoParam *voucher = DataSet()->Params().FindParam(QStringLiteral("iFBuoId"));
    const QVariant causal = voucher && !voucher->IsNull()
                                ? VoSelectValue(QString::fromLatin1(kCausalPresetSQL),
                                                {{QStringLiteral("iFBuoId"), voucher->Value()}})
                                : QVariant();
    xelCausale->SetKeyValue(causal.isNull() ? QVariant(kDefaultCausal) : causal);
    xelCondizione->SetKeyValue(kDefaultCondition);
    xelVociPro->SetKeyValue(kDefaultBudgetItem);
}

void TfrkvaBeniCarico::xdsMainDataChange(TVoField *field) {
    if (field)
        return;
    // A new row narrows the goods codes to its category and the details to its goods code; any other
    // row shows the codes it holds.
    if (xdsMain->State() != dsInsert)
        kvaShowAllCodes(xelCodMerce, xelDettMerce);
    const TVoField *category = RowField(QStringLiteral("iCafId"));
    ApplyLayout(category ? category->AsInteger() : -1);
    const TVoField *sector = RowField(QStringLiteral("ISECID"));
    RestrictResponsibles(sector ? sector->Value() : QVariant());
}

// Books show their author and publisher and have their title in place of the description.
void TfrkvaBeniCarico::ApplyLayout(int category) {
    m_book = category == kvaBooksCategory;
    ShowBookRows(m_book);
    laDesc->setText(m_book ? QStringLiteral("Titolo") : QStringLiteral("Descrizione"));
    const QString field = m_book ? kTitleField : kDescField;
    if (xdeDesc->DataField().compare(field, Qt::CaseInsensitive) != 0)
        xdeDesc->SetDataField(field);
    VoSetMaxLength(xdeDesc, m_book ? 100 : 400);
}

// --- Codes ------------------------------------------------------------------------------------------

void TfrkvaBeniCarico::ShowBookRows(bool visible) {
    // The page may have been split into columns once shown: the row is found through its field.
    VoSetFieldRowVisible(xedAutore, visible);
    VoSetFieldRowVisible(xedEditore, visible);
}

void TfrkvaBeniCarico::xelCategoriaChangeFKValue() {
    const int category = xelCategoria->KeyValue().toInt();
    ApplyLayout(category);
    // An article chosen before is chosen again within the new category; a new one keeps its text, and
    // so does a description that only stopped naming the article chosen.
    if (DetailShown() && xdeDesc->isVisible() && xdeDesc->isEnabled() && !m_newArticle && !m_releasing) {
        if (TVoField *desc = RowField(xdeDesc->DataField()); desc && xdsMain->Editing())
            desc->SetValue(QString());
        m_chosenArticle = -1;
        xdeDesc->setFocus(Qt::OtherFocusReason);
    }
    if (category < 1)
        xelCategoria->clear();
    kvaRestrictGoodsCodes(xelCodMerce, category);
    xelCodMerce->SetKeyValue(-1);
}

void TfrkvaBeniCarico::xelCodMerceChangeFKValue() {
    const int goodsCode = xelCodMerce->KeyValue().toInt();
    if (goodsCode < 1)
        xelCodMerce->clear();
    kvaRestrictDetails(xelDettMerce, goodsCode);
    xelDettMerce->SetKeyValue(-1);
}

void TfrkvaBeniCarico::xelSettoreChangeFKValue() {
    RestrictResponsibles(xelSettore->KeyValue());
}

// No sector: a loading row offers no responsible until one is chosen, an unloading row all of them.
void TfrkvaBeniCarico::RestrictResponsibles(const QVariant &sector) {
    const QVariant none = Loading() ? -1 : 0;
    xelResp->ListDataSet()->SetParam(QStringLiteral("iSecId"), sector.isNull() ? none : sector);
    xelResp->RefreshList();
}

// --- Article search ---------------------------------------------------------------------------------

bool TfrkvaBeniCarico::eventFilter(QObject *watched, QEvent *event) {
    if (watched == xdeDesc) {
        if (event->type() == QEvent::KeyRelease && xdsMain->State() == dsInsert) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            VoGuarded([&] {
                SearchArticles(key);
                RunAfterSearch();
            });
        } else if (event->type() == QEvent::MouseButtonDblClick && xdsMain->State() == dsInsert) {
            VoGuarded([&] { SearchArticles(0); });
        } else if (event->type() == QEvent::FocusOut && QApplication::focusWidget() != grArtSearch &&
                   xdsMain->State() == dsInsert) {
            VoGuarded([&] { LeaveDescription(); });
        }
    } else if (watched == grArtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            VoGuarded([&] {
                ChooseArticle(grArtSearch->currentIndex().isValid() ? grArtSearch->currentIndex().row() : 0);
                RunAfterSearch();
            });
            return true;
        }
        if (key == Qt::Key_Escape) {
            HideSearch();
            xdeDesc->setFocus(Qt::OtherFocusReason);
            VoGuarded([this] { RunAfterSearch(); });
            return true;
        }
        // Typing in the drop-down goes on in the description.
        const QString typed = static_cast<QKeyEvent *>(event)->text().toUpper();
        if (!Loading() && typed.size() == 1 &&
            ((typed[0] >= u'0' && typed[0] <= u'9') || (typed[0] >= u'A' && typed[0] <= u'Z'))) {
            VoGuarded([&] {
                if (TVoField *desc = RowField(xdeDesc->DataField()))
                    desc->SetValue(desc->AsString() + static_cast<QKeyEvent *>(event)->text());
                RunAfterSearch();
            });
            return true;
        }
    } else if ((watched == xneQuant || watched == xceImporto) && event->type() == QEvent::KeyRelease) {
        VoGuarded([this] { ComputeTotal(); });
    }
    return TfrVoDBRWGrid::eventFilter(watched, event);
}

void TfrkvaBeniCarico::SearchArticles(int key) {
    if (xdsMain->State() != dsInsert || !xqcArticoli->Active())
        return;
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (grArtSearch->isVisible())
            grArtSearch->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (key == Qt::Key_Escape) {
        grArtSearch->hide();
        return;
    }
    m_newArticle = false;
    if (Loading())
        ReleaseChosenArticle();
    const QPoint at = xdeDesc->mapTo(tsDetail, QPoint(2, 21));
    grArtSearch->setGeometry(at.x(), at.y(), xdeDesc->width() - 2, 200);
    grArtSearch->setColumnWidth(0, qMax(xdeDesc->width() - 2 - 24, 24));
    grArtSearch->raise();
    const QString text = xdeDesc->text();
    if (text.isEmpty() && key != Qt::Key_F8) {
        xqcArticoli->ClearRowFilter();
        return;
    }
    // The typed text is data, never a filter's text: quotes, "%" and "_" are plain characters.
    const int category = xelCategoria->KeyValue().toInt();
    const TVoField *description = xqcArticoli->FieldByName(QStringLiteral("DESCRIZIONE"));
    const TVoField *articleCategory = xqcArticoli->FieldByName(QStringLiteral("ICAFID"));
    xqcArticoli->SetRowFilter([=](const TVoQueryCollection *) {
        return (category < 1 || articleCategory->AsInteger() == category) &&
               description->Value().toString().contains(text, Qt::CaseInsensitive);
    });
    if (xqcArticoli->RecordCount() > 0) {
        grArtSearch->show();
        return;
    }
    grArtSearch->hide();
    m_chosenArticle = -1;
    if (!Loading()) {
        // Nothing is made here: the row names no article until its description names one.
        if (TVoField *code = RowField(QStringLiteral("sFarSDesc")))
            code->SetValue(QString());
        if (category != kvaBooksCategory)
            xelCategoria->SetKeyValue(-1);
        for (TVoDBLookupEdit *lookup : {xelCodMerce, xelDettMerce, xelUniMis, xelIva})
            lookup->SetKeyValue(-1);
        return;
    }
    // A new article: the codes and the book's data are the user's to give.
    m_newArticle = true;
    if (TVoField *code = RowField(QStringLiteral("sFarSDesc")))
        code->SetValue(GetArticleCode(text, QString(), QString(), QString()));
    OpenArticleFields();
}

void TfrkvaBeniCarico::OpenArticleFields() {
    for (TVoDBControl *control : std::initializer_list<TVoDBControl *>{
             xedAutore, xedEditore, xelCategoria, xelCodMerce, xelDettMerce, xelUniMis, xelIva})
        SetControlWritable(control, true);
}

// The description no longer reads as the article chosen: the values the row took from it go, unless
// the user changed them since, and what the user typed stays. A book stays a book.
void TfrkvaBeniCarico::ReleaseChosenArticle() {
    if (m_chosenArticle < 1 || xdeDesc->text() == m_chosenText)
        return;
    m_chosenArticle = -1;
    const QVariantHash taken = std::exchange(m_taken, {});
    QScopedValueRollback<bool> releasing(m_releasing, true);
    for (const char *name : {"sFarLibAutore", "sFarLibEditore"}) {
        TVoField *field = RowField(QString::fromLatin1(name));
        if (field && field->AsString() == taken.value(QString::fromLatin1(name)).toString())
            field->SetValue(QString());
    }
    for (TVoDBLookupEdit *lookup : {xelIva, xelUniMis, xelDettMerce, xelCodMerce, xelCategoria}) {
        const QVariant key = taken.value(lookup->DataField());
        if (key.isNull() || lookup->KeyValue().toString() != key.toString() ||
            (lookup == xelCategoria && key.toInt() == kvaBooksCategory))
            continue;
        lookup->SetKeyValue(-1);
    }
    OpenArticleFields();
}

void TfrkvaBeniCarico::ChooseArticle(int row) {
    QVariantHash article;
    const bool found = xqcArticoli->ReadRow(row, [&] {
        for (const QString &name : xqcArticoli->FieldNames())
            article.insert(name.toUpper(), xqcArticoli->FieldByName(name)->Value());
    });
    if (!found || xdsMain->State() != dsInsert)
        return;
    m_newArticle = false;
    const int category = article.value(QStringLiteral("ICAFID")).toInt();
    xelCategoria->SetKeyValue(KeyOrNull(article.value(QStringLiteral("ICAFID"))));
    xelCodMerce->SetKeyValue(KeyOrNull(article.value(QStringLiteral("IMERID"))));
    xelDettMerce->SetKeyValue(KeyOrNull(article.value(QStringLiteral("IDCMID"))));
    xelUniMis->SetKeyValue(KeyOrNull(article.value(QStringLiteral("IUNMID"))));
    xelIva->SetKeyValue(KeyOrNull(article.value(QStringLiteral("IALVID"))));
    ApplyLayout(category);
    m_chosenText = article
                       .value(category == kvaBooksCategory ? QStringLiteral("SFARLIBTITOLO")
                                                           : QStringLiteral("SFARLDESC"))
                       .toString();
    const QList<std::pair<QString, QString>> values = {
        {xdeDesc->DataField(), m_chosenText},
        {QStringLiteral("sFarLDesc"), QStringLiteral("SFARLDESC")},
        {QStringLiteral("sFarSDesc"), QStringLiteral("SFARSDESC")},
        {QStringLiteral("sFarLibAutore"), QStringLiteral("SFARLIBAUTORE")},
        {QStringLiteral("sFarLibEditore"), QStringLiteral("SFARLIBEDITORE")}};
    for (const auto &[field, column] : values)
        if (TVoField *f = RowField(field))
            f->SetValue(field == xdeDesc->DataField() ? m_chosenText : article.value(column));
    m_chosenArticle = article.value(QStringLiteral("IFARID")).toInt();
    m_taken.clear();
    for (TVoDBLookupEdit *lookup : {xelCategoria, xelCodMerce, xelDettMerce, xelUniMis, xelIva})
        m_taken.insert(lookup->DataField(), lookup->KeyValue());
    for (const char *name : {"sFarLibAutore", "sFarLibEditore"})
        m_taken.insert(QString::fromLatin1(name), article.value(QString::fromLatin1(name).toUpper()));
    for (TVoDBControl *control :
         std::initializer_list<TVoDBControl *>{xedAutore, xedEditore, xelCodMerce, xelDettMerce, xelUniMis})
        SetControlWritable(control, false);
    HideSearch();
    (Loading() ? static_cast<QWidget *>(xceImporto) : xneQuant)->setFocus(Qt::OtherFocusReason);
}

// The typed text names an existing article when it is one's description (a book's title), whatever
// the case; otherwise the row will make one.
void TfrkvaBeniCarico::LeaveDescription() {
    grArtSearch->hide();
    const QString text = xdeDesc->text();
    if (!Loading() || text.isEmpty() || !xqcArticoli->Active())
        return;
    const bool book = m_book;
    const TVoField *description = xqcArticoli->FieldByName(book ? kTitleField : kDescField);
    xqcArticoli->SetRowFilter([=](const TVoQueryCollection *) {
        return description->Value().toString().compare(text, Qt::CaseInsensitive) == 0;
    });
    m_newArticle = xqcArticoli->RecordCount() == 0;
}

void TfrkvaBeniCarico::HideSearch() {
    grArtSearch->hide();
    if (xqcArticoli->Active())
        xqcArticoli->ClearRowFilter();
}

int TfrkvaBeniCarico::ArticleToSave() {
    TVoQueryCollection *rows = DataSet();
    if (rows->State() != dsInsert)
        return rows->FieldByName(QStringLiteral("iFarId"))->AsInteger();
    return RowArticle(Loading());
}

int TfrkvaBeniCarico::RowArticle(bool create) {
    TVoQueryCollection *rows = DataSet();
    const QString text = rows->FieldByName(xdeDesc->DataField())->AsString();
    if (m_chosenArticle > 0 && text == m_chosenText)
        return m_chosenArticle;
    const auto key = [rows](const char *name) {
        const TVoField *field = rows->FieldByName(QString::fromLatin1(name));
        return field->IsNull() ? -1 : field->AsInteger();
    };
    const bool book = key("iCafId") == kvaBooksCategory;
    const QString author = book ? rows->FieldByName(QStringLiteral("sFarLibAutore"))->AsString() : QString();
    const QString publisher =
        book ? rows->FieldByName(QStringLiteral("sFarLibEditore"))->AsString() : QString();
    return FindOrInsertArticle(text, text, author, publisher, key("iCafId"), -1, key("iMerId"), key("iDcmId"),
                               key("iUnmId"), key("iAlvId"), create);
}

// --- Amounts ----------------------------------------------------------------------------------------

void TfrkvaBeniCarico::ComputeTotal() {
    TVoField *total = RowField(xceTotale->DataField());
    if (!total || !xdsMain->Editing())
        return;
    xelIva->RefreshList();
    if (xneQuant->IsEmpty() || xceImporto->IsEmpty())
        return;
    const double amount = xneQuant->AsFloat() * xceImporto->AsFloat();
    if (m_vatIncluded) {
        total->SetValue(amount);
        return;
    }
    if (xelIva->KeyValue().toInt() < 1)
        return;
    total->SetValue(amount + amount * xelIva->ListValue(QStringLiteral("fAlvIva")).toDouble() / 100);
}

void TfrkvaBeniCarico::xneQuantValidate(bool &Ok, QString &Msg) {
    if (xneQuant->AsFloat() == 0) {
        Ok = false;
        Msg = QStringLiteral("Quantità = 0");
        return;
    }
    // A closed year takes no quantity at all: its save says so, whatever the stock.
    if (xdsMain->State() != dsEdit || kvaYearClosed(ParamRegisterYearId()))
        return;
    const TVoQueryCollection *rows = DataSet();
    if (!CheckStock(rows->FieldByName(QStringLiteral("iFarId"))->AsInteger(),
                    rows->FieldByName(QStringLiteral("iAfcId"))->AsInteger(), -1, xneQuant->AsFloat())) {
        Ok = false;
        Msg = QStringLiteral("Quantità troppo bassa");
    }
}
