#include "kvbRBeni.h"

#include "AbcURoutines.h"
#include "AbeRRicerca.h"
#include "VoConnection.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDBMoneyEdit.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoRegistry.h"
#include "VoTableModel.h"
#include "kvbFChangeCons.h"
#include "kvbMAtt.h"
#include "kvbUBuoni.h"

#include <QBrush>
#include <QFormLayout>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <memory>

namespace {

// A date with its four-digit year, whole.
constexpr int kDateWidth = 80;
const char *const kCodMerceListSQL = "SELECT ICAEID, SMERDESC FROM VCAE_CATEGMERCE WHERE ##WHERE##";
const char *const kCondizioneListSQL = "SELECT ICONDID, SCONDDESC FROM TCOND_CONDIZIONI WHERE ##WHERE##";

template <class T> T *Place(TfrVoDBRWGrid *frame, QFormLayout *form, const char *caption, const char *field) {
    return VoAddFormControl<T>(form, caption, frame->xdsMain, field);
}

QFormLayout *NewForm(QWidget *page) {
    auto *form = new QFormLayout(page);
    form->setContentsMargins(0, 0, 0, 0);
    return form;
}

} // namespace

// The detail page: the good's identity on top, then its pages "Contabili" and "Situazione".
struct TfrkvbBeni::TLayout {
    explicit TLayout(QWidget *detail) {
        auto *column = new QVBoxLayout(detail);
        auto *topPanel = new QWidget;
        top = NewForm(topPanel);
        auto *pages = new QTabWidget;
        pages->setDocumentMode(true);
        auto *accountsPage = new QWidget;
        auto *situationPage = new QWidget;
        accounts = NewForm(accountsPage);
        situation = NewForm(situationPage);
        pages->addTab(accountsPage, QStringLiteral("Contabili"));
        pages->addTab(situationPage, QStringLiteral("Situazione"));
        column->addWidget(topPanel);
        column->addWidget(pages, 1);
    }
    QFormLayout *top;
    QFormLayout *accounts;
    QFormLayout *situation;
};

namespace {

TVoDBLookupEdit *Lookup(TVoDBLookupEdit *lookup, const char *key, const char *list, const char *sql,
                        const char *searchTitle) {
    lookup->SetKeyField(QString::fromLatin1(key));
    lookup->SetListField(QString::fromLatin1(list));
    lookup->SetConnection(qqoVoGlobConn);
    lookup->SetListSQL(QString::fromLatin1(sql));
    lookup->SetSearchFormClass(QStringLiteral("TfmVoSearch"));
    lookup->OnShowSearchForm.Add([searchTitle](TVoDBLookupEdit *, TVoSearchDialog *form) {
        SetSearchFormTable(form, QString::fromUtf8(searchTitle));
    });
    return lookup;
}

} // namespace

TfrkvbBeni::TfrkvbBeni(QWidget *parent)
    : TfrVoDBRWGrid(parent), m_layout(std::make_unique<TLayout>(tsDetail)),
      xneNumero(Place<TVoDBNumericEdit>(this, m_layout->top, "Numero", "iBInbNumero")),
      xedDescr(Place<TVoDBEdit>(this, m_layout->top, "Descrizione", "sBInbDESC")),
      xceImporto(Place<TVoDBMoneyEdit>(this, m_layout->top, "Importo", "iBInbIMPORTO")),
      xedCategoria(Place<TVoDBEdit>(this, m_layout->accounts, "Categoria", "sCamDesc")),
      xedCausale(Place<TVoDBEdit>(this, m_layout->accounts, "Causale di carico", "SCAVDESC")),
      xedCausaleSca(Place<TVoDBEdit>(this, m_layout->accounts, "Causale di scarico", "SCAVDESCSCA")),
      xelCondizione(Lookup(Place<TVoDBLookupEdit>(this, m_layout->situation, "Condizione", "iCondId"),
                           "ICONDID", "SCONDDESC", kCondizioneListSQL, "Condizione")),
      xedSettore(Place<TVoDBEdit>(this, m_layout->situation, "Luogo di consegna", "sSecDescS")),
      xelCodMerce(Lookup(Place<TVoDBLookupEdit>(this, m_layout->situation, "Codice merceologico", "ICAEID"),
                         "ICAEID", "SMERDESC", kCodMerceListSQL, "Codici Merceologici")),
      xmeNote(Place<TVoDBMemo>(this, m_layout->situation, "Note", "sBInbNOTE")),
      xoaCustomMass(new QToolBar(this)),
      xacStorLuogo(
          new QAction(style()->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("Cambia settore"), this)),
      xacViewImporti(new QAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                 QStringLiteral("Visualizza importi"), this)),
      xacViewSettori(new QAction(style()->standardIcon(QStyle::SP_FileDialogListView),
                                 QStringLiteral("Visualizza settori"), this)),
      xacViewSedi(new QAction(style()->standardIcon(QStyle::SP_DirHomeIcon),
                              QStringLiteral("Visualizza sedi"), this)),
      frRicerca(new TfrKvbRicerca(this)) {
    setObjectName(QStringLiteral("frMaster"));
    const struct {
        const char *title;
        const char *field;
        int width;
    } columns[] = {{"Numero", "NumCod", 0},
                   {"Descrizione", "sBInbDESC", 270},
                   {"Categoria", "SCAMDESC", 200},
                   {"Buono di carico", "iBBuoNumero", 100},
                   {"Data carico", "dBBuoDATA", kDateWidth},
                   {"Buono di scarico", "iBBuoNumeroSca", 100},
                   {"Data Scarico", "dBBuoDATASCA", kDateWidth},
                   {"Importo", "iBInbIMPORTO", 70},
                   {"Settore di consegna", "sSecDescS", 200},
                   {"Fornitore", "sBenRagSoc", 200},
                   {"Stato", "SAVADESC", 100},
                   {"Sede", "sSedInfSDesc", 200}};
    for (const auto &column : columns)
        grFrame->AddColumn(QString::fromLatin1(column.field), QString::fromUtf8(column.title), column.width);
    grFrame->Model()->RowForeground = [this](int row) -> QVariant {
        const TVoQueryCollection *goods = DataSet();
        const TVoField *state = goods ? goods->FindField(QStringLiteral("iAvaId")) : nullptr;
        return state ? StateColour(goods->RowValue(row, state->Index()).toInt()) : QVariant();
    };

    // Goods come and go with their vouchers only.
    for (TVoDataAction *action : {xacInsert, xacDelete}) {
        action->SetLocked(true);
        action->setVisible(false);
    }
    xneNumero->SetDisplayFormat(QStringLiteral("0"));
    xneNumero->setMaxLength(9);
    xceImporto->SetDisplayDecimals(2);
    xceImporto->setMaximumWidth(140);
    xmeNote->SetMaxLength(1000);
    for (TVoDBControl *fixed : std::initializer_list<TVoDBControl *>{
             xneNumero, xceImporto, xedDescr, xedCategoria, xedCausale, xedCausaleSca, xedSettore})
        SetControlWritable(fixed, false);

    const std::pair<QAction *, Qt::Key> tools[] = {{xacStorLuogo, Qt::Key_F6},
                                                   {xacViewImporti, Qt::Key_F7},
                                                   {xacViewSettori, Qt::Key_F9},
                                                   {xacViewSedi, Qt::Key_F12}};
    for (const auto &[action, key] : tools)
        VoAddTool(xoaCustomMass, action, QKeySequence(key), this);
    xoaCustomMass->setIconSize(QSize(16, 16));
    xoaCustomMass->addWidget(frRicerca);
    AddControlWidget(xoaCustomMass);
    const std::pair<QAction *, void (TfrkvbBeni::*)()> handlers[] = {
        {xacStorLuogo, &TfrkvbBeni::xacStorLuogoExecute},
        {xacViewImporti, &TfrkvbBeni::xacViewImportiExecute},
        {xacViewSettori, &TfrkvbBeni::xacViewSettoriExecute},
        {xacViewSedi, &TfrkvbBeni::xacViewSediExecute}};
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler] { VoGuarded([this, handler] { (this->*handler)(); }); });
}

TfrkvbBeni::~TfrkvbBeni() = default;

QVariant TfrkvbBeni::StateColour(int state) {
    switch (state) {
    case kvbScaricoDefinitivo:
        return QBrush(QColor(Qt::darkGreen));
    case kvbCaricoDefinitivo:
        return QBrush(QColor(Qt::red));
    default:
        return QVariant();
    }
}

void TfrkvbBeni::xacStorLuogoExecute() {
    const QVariant good = CurrentValue(QStringLiteral("iBInbID"));
    if (!good.isValid())
        return;
    std::unique_ptr<TfmkvbChangeCons> dialog(VoNewForm<TfmkvbChangeCons>(this));
    dialog->SetIdBene(good.toInt());
    dialog->SetNumero(CurrentValue(QStringLiteral("iBInbNUMERO")).toInt());
    dialog->SetDescrizione(VoVariantToText(CurrentValue(QStringLiteral("sBInbDESC"))));
    dialog->SetStato(CurrentValue(QStringLiteral("IAVAID")).toInt());
    dialog->SetSettore(CurrentValue(QStringLiteral("ISECID")).toInt());
    dialog->exec();
    if (dialog->Done() || dialog->MovedMeanwhile())
        xacRefresh->Execute();
    if (dialog->MovedMeanwhile())
        VoMessageBox(dialog->MovedMeanwhileText());
}

void TfrkvbBeni::ShowHistory(TVoCustomAtt *menuItem) {
    const QVariant good = CurrentValue(QStringLiteral("iBInbID"));
    if (!good.isValid() || !menuItem)
        return;
    dmkvbAtt->SetHistoryGoodId(good.toInt());
    menuItem->Execute();
}

void TfrkvbBeni::xacViewImportiExecute() {
    ShowHistory(dmkvbAtt ? dmkvbAtt->xafStorImporti : nullptr);
}

void TfrkvbBeni::xacViewSettoriExecute() {
    ShowHistory(dmkvbAtt ? dmkvbAtt->xafStorLuoghi : nullptr);
}

void TfrkvbBeni::xacViewSediExecute() {
    ShowHistory(dmkvbAtt ? dmkvbAtt->xafStorSedi : nullptr);
}
