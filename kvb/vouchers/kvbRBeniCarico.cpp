#include "kvbRBeniCarico.h"

#include "AbcURoutines.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoRegistry.h"
#include "VoTableModel.h"
#include "kvbRInbVer.h"
#include "kvbUBuoni.h"
#include "kvbUUtil.h"

#include <QBrush>
#include <QColor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char *const kCodMerceListSQL = "SELECT CAE.ICAEID, MER.SMERCODICE, MER.SMERDESC FROM TCAE_CATEGMERCE "
                                     "CAE INNER JOIN TMER_CODICIMERCEOL MER "
                                     "ON CAE.IMERID=MER.IMERID WHERE (CAE.ICAMID = :iCamId) AND ##WHERE##";

QWidget *NewPanel(QFormLayout **form) {
    auto *panel = new QWidget;
    *form = new QFormLayout(panel);
    (*form)->setContentsMargins(0, 0, 0, 0);
    return panel;
}

template <class T> T *Place(TfrVoDBRWGrid *frame, QFormLayout *form, const char *caption, const char *field) {
    return VoAddFormControl<T>(form, caption, frame->xdsMain, field);
}

TVoDBLookupEdit *Lookup(TfrVoDBRWGrid *frame, QFormLayout *form, const char *caption, const char *field,
                        const char *key, const char *list) {
    auto *lookup = Place<TVoDBLookupEdit>(frame, form, caption, field);
    lookup->SetKeyField(QString::fromLatin1(key));
    lookup->SetListField(QString::fromLatin1(list));
    return lookup;
}

} // namespace

struct TfrkvbBeniCarico::TLayout {
    TLayout();
    // Stacks the panels on the detail page once they hold their fields: each panel then brings its
    // fields in the order they were placed, so that Tab follows the page from top to bottom.
    void Stack(QWidget *detail);
    QFormLayout *top, *norm, *book, *accounts, *situation;
    QWidget *topPanel, *normPanel, *bookPanel, *notesPage, *minutesPage;
    QTabWidget *pages;
};

TfrkvbBeniCarico::TLayout::TLayout() {
    TLayout &l = *this;
    auto *top = new QWidget;
    l.topPanel = top;
    l.top = new QFormLayout(top);
    l.top->setContentsMargins(0, 0, 0, 0);
    l.normPanel = NewPanel(&l.norm);
    l.bookPanel = NewPanel(&l.book);
    l.pages = new QTabWidget;
    QWidget *accounts = NewPanel(&l.accounts);
    QWidget *situation = NewPanel(&l.situation);
    l.notesPage = new QWidget;
    l.minutesPage = new QWidget;
    l.pages->addTab(accounts, QStringLiteral("Contabili"));
    l.pages->addTab(situation, QStringLiteral("Situazione"));
    l.pages->addTab(l.notesPage, QStringLiteral("Note"));
    l.pages->addTab(l.minutesPage, QStringLiteral("Verbali"));
}

void TfrkvbBeniCarico::TLayout::Stack(QWidget *detail) {
    auto *column = new QVBoxLayout(detail);
    // The description, or a book's title, author and publisher, beside the number and the amount:
    // one above the other the book's fields left the pages below no room on the screen.
    auto *heading = new QHBoxLayout;
    heading->addWidget(topPanel);
    heading->addWidget(normPanel, 1, Qt::AlignTop);
    heading->addWidget(bookPanel, 1, Qt::AlignTop);
    column->addLayout(heading);
    column->addWidget(pages, 1);
}

namespace {

// A value the good needs, named by its word when missing.
void Require(TVoDBControl *control, const char *word, const std::function<bool()> &applies = {}) {
    control->OnValidate.Add([control, word, applies](QWidget *, bool &Ok, QString &Msg) {
        if ((!applies || applies()) && control->IsEmpty()) {
            Ok = false;
            Msg = QString::fromUtf8(word);
        }
    });
}

} // namespace

TfrkvbBeniCarico::TfrkvbBeniCarico(QWidget *parent)
    : TfrVoDBRWGrid(parent), m_layout(std::make_unique<TLayout>()),
      xneNumero(Place<TVoDBNumericEdit>(this, m_layout->top, "Numero", "iBInbNUMERO")),
      xceImporto(Place<TVoDBCurrencyEdit>(this, m_layout->top, "Importo", "iBInbIMPORTO")),
      xedMatricola(Place<TVoDBEdit>(this, m_layout->top, "Matricola", "sBInbMatricola")),
      xedCodNum(Place<TVoDBEdit>(this, m_layout->top, "Codice", "sBInbCodNumero")),
      paBeneNorm(m_layout->normPanel),
      xedDescr(Place<TVoDBEdit>(this, m_layout->norm, "Descrizione", "sBInbDESC")),
      paBeneLibro(m_layout->bookPanel),
      xedTitolo(Place<TVoDBEdit>(this, m_layout->book, "Titolo libro", "sBInbLibTitolo")),
      xedAutore(Place<TVoDBEdit>(this, m_layout->book, "Autore", "sBInbLibAutore")),
      xedEditore(Place<TVoDBEdit>(this, m_layout->book, "Editore", "sBInbLibEditore")),
      pcPagine(m_layout->pages),
      xelCategoria(Lookup(this, m_layout->accounts, "Categoria", "ICAMID", "CAM.ICAMID", "SCAMDESC")),
      xelCodMerce(
          Lookup(this, m_layout->accounts, "Codice merceologico", "ICAEID", "CAE.ICAEID", "SMERDESC")),
      xelVociPro(Lookup(this, m_layout->accounts, "Progetto", "iVProId", "vpro.IVPROID", "SVPRODESCS")),
      xneAnnoAssunz(
          Place<TVoDBNumericEdit>(this, m_layout->accounts, "Anno assunzione in carico", "iBInbAnnoAssunz")),
      xelCondizione(Lookup(this, m_layout->situation, "Condizione", "ICONDID", "ICONDID", "SCONDDESC")),
      xelSede(
          Lookup(this, m_layout->situation, "Sede di ubicazione", "iSedInfId", "ISEDINFID", "SSEDINFLDESC")),
      xelSettore(Lookup(this, m_layout->situation, "Settore di consegna", "ISECID", "ISECID", "SSECDESCS")),
      xelColl(Lookup(this, m_layout->situation, "Collocazione", "iClcId", "ICLCID", "SCLCDESCL")),
      xelCausale(Lookup(this, m_layout->situation, "Causale di carico", "ICAVID", "ICAVID", "SCAVDESC")),
      xmeNote(new TVoDBMemo(m_layout->notesPage)), frVerbali(new TfrkvbInbVer(m_layout->minutesPage)) {
    setToolTip(QStringLiteral("Dati di carico del bene"));
    grFrame->AddColumn(QStringLiteral("NumCod"), QStringLiteral("Numero"), 90);
    grFrame->AddColumn(QStringLiteral("sBInbDESC"), QStringLiteral("Descrizione"), 340);
    grFrame->AddColumn(QStringLiteral("iBInbIMPORTO"), QStringLiteral("Importo"), 100, Qt::AlignRight);
    grFrame->AddColumn(QStringLiteral("SAVADESC"), QStringLiteral("Stato"), 160);
    // Goods unloaded for good are told apart at a glance; a selected row keeps the highlight.
    grFrame->Model()->RowForeground = [this](int row) -> QVariant {
        const TVoQueryCollection *goods = DataSet();
        const TVoField *state = goods ? goods->FindField(QStringLiteral("IAVAID")) : nullptr;
        if (!state || goods->RowValue(row, state->Index()).toInt() != kvbScaricoDefinitivo)
            return QVariant();
        return QBrush(QColor(Qt::darkGreen));
    };

    VoSetMaxLength(xneNumero, 9);
    xneNumero->SetDisplayFormat(QStringLiteral("0000000"));
    xceImporto->SetScale(4);
    xceImporto->setMaximumWidth(140);
    xedCodNum->SetUpperCase(true);
    VoSetMaxLength(xedCodNum, 10);
    xedCodNum->setVisible(false);
    if (auto *label = qobject_cast<QLabel *>(m_layout->top->labelForField(xedCodNum)))
        label->setVisible(false);
    xedMatricola->setMaxLength(50);
    xedDescr->setMaxLength(620);
    xedTitolo->setMaxLength(400);
    xedAutore->setMaxLength(100);
    xedEditore->setMaxLength(100);
    VoSetMaxLength(xneAnnoAssunz, 4);
    paBeneLibro->setVisible(false);
    (new QVBoxLayout(m_layout->notesPage))->addWidget(xmeNote);
    m_layout->Stack(tsDetail);
    // The category decides whether a description or a book's title, author and publisher show: Tab
    // reaches them from the category, before the rest of the page.
    setTabOrder(xelCategoria, xedDescr);
    setTabOrder(xedDescr, xedTitolo);
    setTabOrder(xedTitolo, xedAutore);
    setTabOrder(xedAutore, xedEditore);
    setTabOrder(xedEditore, xelCodMerce);
    xmeNote->Bind(xdsMain, QStringLiteral("sBInbNOTE"));
    xmeNote->SetMaxLength(1000);
    auto *minutes = new QVBoxLayout(m_layout->minutesPage);
    minutes->setContentsMargins(0, 0, 0, 0);
    minutes->addWidget(frVerbali);

    const std::pair<TVoDBLookupEdit *, const char *> lists[] = {
        {xelCategoria,
         "SELECT CAM.ICAMID, CAM.SCAMDESC FROM TCAM_CATEGORIEINV CAM WHERE (iCamId BETWEEN 1 AND 8) "
         "AND ##WHERE##"},
        {xelCausale, "SELECT ICAVID, SCAVDESC FROM TCAV_CAUSALIINV WHERE ICAVTIPO=0 AND ##WHERE##"},
        {xelCodMerce, kCodMerceListSQL},
        {xelCondizione, "SELECT ICONDID, SCONDDESC FROM TCOND_CONDIZIONI WHERE ##WHERE##"},
        {xelSede, "SELECT ISEDINFID, SSEDINFLDESC FROM TSEDINF_SEDEINFO WHERE ##WHERE##"},
        {xelSettore, "SELECT ISECID, SSECCOD, SSECDESCS FROM TSEC_SETTCONS WHERE ##WHERE##"},
        {xelColl, "SELECT ICLCID, SCLCDESCL FROM TCLC_COLLOCAZIONI WHERE ##WHERE##"},
        // Budget items of expenses in total, valid in the register-year.
        {xelVociPro,
         "SELECT vpro.IVPROID, vpro.SVPRODESCS FROM TVPRO_VOCIPROGETTI vpro INNER JOIN TAGG_AGGREGATI "
         "agg ON (vpro.iAggId = agg.iAggId) WHERE ((agg.iFlsId = 2) AND (agg.iTitoId = 1)) AND "
         "(vpro.dStart <= :dFine) AND ((vpro.dEnd > :dInizio) OR (vpro.dEnd IS NULL)) AND ##WHERE##"},
    };
    for (const auto &[lookup, sql] : lists) {
        lookup->SetConnection(qqoVoGlobConn);
        lookup->SetListSQL(QString::fromLatin1(sql));
    }
    xelCodMerce->ListDataSet()->SetParam(QStringLiteral("iCamId"), 0);
    xelVociPro->ListDataSet()->SetParam(QStringLiteral("dInizio"), DaysToDateParam(CurrentRegStart));
    xelVociPro->ListDataSet()->SetParam(QStringLiteral("dFine"), DaysToDateParam(CurrentRegEnd));

    const std::pair<TVoDBLookupEdit *, const char *> tables[] = {
        {xelCategoria, "Categoria"},     {xelCausale, "Causali"},   {xelCondizione, "Condizione"},
        {xelSede, "Sede di ubicazione"}, {xelColl, "Collocazione"}, {xelVociPro, "Voci progetto"}};
    for (const auto &[lookup, name] : tables)
        lookup->OnShowSearchForm.Add([name](TVoDBLookupEdit *, TVoSearchDialog *form) {
            SetSearchFormTable(form, QString::fromUtf8(name));
        });
    xelSettore->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(form, {QStringLiteral("Codice"), QStringLiteral("Settori di consegna")});
    });
    xelCodMerce->OnShowSearchForm.Add([](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchForm(form, {QStringLiteral("Codici Merceologici"), QStringLiteral("Descrizione")});
    });

    Require(xelCategoria, "Categoria");
    Require(xelCondizione, "Condizione");
    Require(xelSede, "Sede di ubicazione");
    Require(xelSettore, "Settore di consegna");
    Require(xedDescr, "Descrizione", [this] { return Categoria() != kvbCategoriaLibri; });
    Require(xedTitolo, "Titolo libro", [this] { return Categoria() == kvbCategoriaLibri; });
    xelCategoria->OnChangeFKValue.Add([this](TVoDBLookupEdit *) { xelCategoriaChangeFKValue(); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *) { xdsMainAfterStateChange(); });
}

TfrkvbBeniCarico::~TfrkvbBeniCarico() = default;

int TfrkvbBeniCarico::Categoria() const {
    return xelCategoria->KeyValue().toInt();
}

void TfrkvbBeniCarico::xelCategoriaChangeFKValue() {
    const bool book = Categoria() == kvbCategoriaLibri;
    paBeneLibro->setVisible(book);
    paBeneNorm->setVisible(!book);
    xelCodMerce->ListDataSet()->SetParam(QStringLiteral("iCamId"), Categoria());
    xelCodMerce->RefreshList();
}

// A new good of a books register starts as a book; it stands on the school's site when the school
// has exactly one (with none or several there is no site to propose).
void TfrkvbBeniCarico::xdsMainAfterStateChange() {
    if (xdsMain->State() != dsInsert)
        return;
    if (CurrentRegisterType == 7)
        xelCategoria->SetKeyValue(kvbCategoriaLibri);
    if (CurrentSiteId > 0)
        xelSede->SetKeyValue(CurrentSiteId);
}
