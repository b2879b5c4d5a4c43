#include "AbiRBeneficiari.h"

#include "AbiFSearchLoco.h"
#include "AbiMBen.h"
#include "AbiUCom.h"
#include "VoAttivazioni.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoQuery.h"
#include "VoRegistry.h"
#include "VoSearchDialog.h"
#include "VoTableModel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const char *const kAIEListSQL =
    "SELECT IEDIID, SEDIDESCS, SEDIDESCL\nFROM TEDI_EDITORI\nWHERE ##WHERE##\nAND "
    "DDELETE IS NULL";
// The persons on file with a tax code; %1 is one more condition.
const char *const kPersFisicheSQL =
    "SELECT ANA.IANAID, ANA.SANACODFISCALE, ANA.SANACOGNOME ||' '|| ANA.SANANOME AS BENEFICIARIO, "
    "ANA.DANANASCITA, ANA.SANACOGNOME, ANA.SANANOME, ANA.ISRPCID FROM TANA_ANAGRAFICHE ANA WHERE NOT "
    "COALESCE(ANA.SANACODFISCALE,'') = '' %1 ORDER BY ANA.SANACOGNOMENOMEIDX";
const char *const kOnePersonCondition = "and iAnaId = :ianaid";

const QString kSearchPlaceholder = QStringLiteral("<Ricerca Beneficiario>");
const QString kSearchHint = QStringLiteral("Ricerca Beneficiario");
const QString kShowActive = QStringLiteral("Visualizza Beneficiari attivi");
const QString kShowHistoricised = QStringLiteral("Visualizza Beneficiari Storicizzati");
constexpr int kSearchDelay = 700;
// Publishers' categories: a publisher, and a beneficiary of the publishers' registry that is none.
constexpr int kCategoryPublisher = 3;
constexpr int kCategoryNotPublisher = 4;

// The placeholder is shown greyed, typed text in black.
void SetTextColour(QLineEdit *edit, const QColor &colour) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, colour);
    edit->setPalette(palette);
}

bool FieldIs(const TVoQueryCollection *c, const char *field, int value) {
    const TVoField *f = c->FindField(QString::fromLatin1(field));
    return f && !f->IsNull() && f->AsInteger() == value;
}

} // namespace

void ShowHistoricisedBeneficiari(TVoQueryCollection *beneficiari, bool historicised) {
    beneficiari->SetRowFilter(
        [historicised](const TVoQueryCollection *c) { return FieldIs(c, "LBENEND", 1) == historicised; });
}

TfrBeneficiari::TfrBeneficiari(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frBen"));

    // --- The list -----------------------------------------------------------------------------------
    const struct {
        const char *field;
        const char *title;
        int width;
        bool shown;
    } columns[] = {
        {"IBENID", "", 0, false},
        {"IANAID", "", 0, false},
        {"IEDIID", "", 0, false},
        {"SBENRAGSOC", "Beneficiario", 300, true},
        {"SBENDESC", "", 0, false},
        {"SBENCODFISCALE", "Codice fiscale", 140, true},
        {"SBENPARTITAIVA", "Partita I.V.A.", 110, true},
        {"LBENAVVPAGAMENTO", "", 0, false},
        {"DSTART", "", 0, false},
        {"DDELETE", "", 0, false},
        {"RAPPRESENTANTE", "Rappresentante", 110, true},
        {"ISRPCID", "", 0, false},
        {"VUOTO", "Privacy", 60, true},
        {"lBenPrivacy", "", 0, false},
        {"DEND", "Storicizzato il", 100, true},
    };
    for (const auto &c : columns) {
        const int column =
            grFrame->AddColumn(QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width);
        grFrame->SetColumnVisible(column, c.shown);
    }
    grFrame->SetColumnAlignment(grFrame->Model()->ColumnOfField(QStringLiteral("RAPPRESENTANTE")),
                                Qt::AlignHCenter);
    m_privacyColumn = grFrame->Model()->ColumnOfField(QStringLiteral("VUOTO"));

    // --- The detail -----------------------------------------------------------------------------------
    const auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), tsDetail); };
    const auto edit = [this](int maxLength, bool upperCase = false) {
        auto *e = new TVoDBEdit(tsDetail);
        VoSetMaxLength(e, maxLength);
        e->SetUpperCase(upperCase);
        return e;
    };
    const auto check = [this](const char *text, QWidget *parent = nullptr) {
        return new TVoDBCheckBox(QString::fromUtf8(text), parent ? parent : tsDetail);
    };

    rgPersona = new QGroupBox(QStringLiteral("&Persona"), tsDetail);
    rgPersonaItems = new QButtonGroup(rgPersona);
    auto *kinds = new QHBoxLayout(rgPersona);
    for (const auto &[id, text] : {std::pair{rgGiuridica, "Giuridica (società/enti...)"},
                                   std::pair{rgFisica, "Fisica (persone/ditte individuali...)"}}) {
        auto *item = new QRadioButton(QString::fromUtf8(text), rgPersona);
        rgPersonaItems->addButton(item, id);
        kinds->addWidget(item);
    }
    rgPersonaItems->button(rgGiuridica)->setChecked(true);

    gbEditore = new QGroupBox(tsDetail);
    ckEditore = new QCheckBox(QStringLiteral("Editore"), gbEditore);
    laAIE = new QLabel(QStringLiteral("Cod. AIE"), gbEditore);
    xdlAIE = new TVoDBLookupEdit(gbEditore);
    xdlAIE->SetListSQL(QString::fromLatin1(kAIEListSQL));
    xdlAIE->SetKeyField(QStringLiteral("IEDIID"));
    xdlAIE->SetListField(QStringLiteral("SEDIDESCS"));
    xdlAIE->setMaxLength(60);
    auto *publisher = new QHBoxLayout(gbEditore);
    publisher->addWidget(ckEditore);
    publisher->addWidget(laAIE);
    publisher->addWidget(xdlAIE, 1);
    laAIE->hide();
    xdlAIE->hide();
    gbEditore->hide();

    laRagSoc = label("Ragione sociale");
    xdeRagSoc = edit(120);
    laCognome = label("Cognome");
    xdeCognome = edit(60);
    laNome = label("Nome");
    xdeNome = edit(60);
    laDataNascita = label("Data Nascita");
    xddDataNascita = new TVoDBDateEdit(tsDetail);
    xddDataNascita->SetPickerKey(119);
    xddDataNascita->SetDialogTitle(QStringLiteral("Selezionare una data"));
    laLuogoNascita = label("Luogo Nascita");
    xdlLuogoNascita = new TVoDBLookupEdit(tsDetail);
    xdlLuogoNascita->SetListSQL(QString::fromLatin1(kPlacesWithStateSQL));
    xdlLuogoNascita->SetKeyField(QStringLiteral("TSRPC.ISRPCID"));
    xdlLuogoNascita->SetListField(QStringLiteral("COMUNE"));
    xdlLuogoNascita->SetSearchField(QStringLiteral("TCOM_COMUNI.SCOMDESC"));
    // Room for a city, its province and its state.
    xdlLuogoNascita->setMinimumWidth(260);
    laNote = label("Note");
    xdeNote = edit(120);
    ckAvvPagamento = check("&Avviso di pagamento");
    ckPrivacy = check("&Privacy");
    laCodFis = label("Cod. Fiscale");
    xdeCodFis = edit(20);
    ckEstero = check("Beneficiario Estero");
    laPIVA = label("Partita IVA");
    xdePIVA = edit(28);
    laStato = label("Stato");
    xdeStato = edit(100, true);
    xckTracc = check("Assolto l'obbligo di tracciabilità dei flussi finanziari");
    gbAdempimenti = new QGroupBox(QStringLiteral("Adempimenti fiscali"), tsDetail);
    xckInRegola = check("Non in Regola", gbAdempimenti);
    laAdempFiscData = new QLabel(QStringLiteral("Data ultimo controllo"), gbAdempimenti);
    xddAdempFiscData = new TVoDBDateEdit(gbAdempimenti);
    auto *fiscal = new QHBoxLayout(gbAdempimenti);
    fiscal->addWidget(xckInRegola);
    fiscal->addSpacing(24);
    fiscal->addWidget(laAdempFiscData);
    fiscal->addWidget(xddAdempFiscData);
    fiscal->addStretch(1);
    ckStoric = check("Storicizzare Beneficiario");

    const std::pair<QLabel *, QWidget *> buddies[] = {{laAIE, xdlAIE},
                                                      {laRagSoc, xdeRagSoc},
                                                      {laCognome, xdeCognome},
                                                      {laNome, xdeNome},
                                                      {laDataNascita, xddDataNascita},
                                                      {laLuogoNascita, xdlLuogoNascita},
                                                      {laNote, xdeNote},
                                                      {laCodFis, xdeCodFis},
                                                      {laPIVA, xdePIVA},
                                                      {laStato, xdeStato},
                                                      {laAdempFiscData, xddAdempFiscData}};
    for (const auto &[caption, control] : buddies)
        caption->setBuddy(control);

    // Rows 1 and 2 hold the company name: a person's on the first, a company's where a person's
    // surname goes.
    m_grid = new QGridLayout(tsDetail);
    m_grid->addWidget(rgPersona, 0, 0, 1, 3);
    m_grid->addWidget(gbEditore, 0, 3, 1, 2);
    m_grid->addWidget(laCognome, 2, 0);
    m_grid->addWidget(xdeCognome, 2, 1);
    m_grid->addWidget(laNome, 2, 2);
    m_grid->addWidget(xdeNome, 2, 3);
    m_grid->addWidget(laDataNascita, 3, 0);
    m_grid->addWidget(xddDataNascita, 3, 1, Qt::AlignLeft);
    m_grid->addWidget(laLuogoNascita, 3, 2);
    m_grid->addWidget(xdlLuogoNascita, 3, 3);
    m_grid->addWidget(laNote, 4, 0);
    m_grid->addWidget(xdeNote, 4, 1, 1, 3);
    m_grid->addWidget(laCodFis, 5, 0);
    m_grid->addWidget(xdeCodFis, 5, 1);
    m_grid->addWidget(laPIVA, 5, 2);
    m_grid->addWidget(xdePIVA, 5, 3);
    m_grid->addWidget(laStato, 6, 0);
    m_grid->addWidget(xdeStato, 6, 1);
    m_grid->addWidget(ckEstero, 6, 2, 1, 2);
    m_grid->addWidget(ckAvvPagamento, 7, 0, 1, 2);
    m_grid->addWidget(ckPrivacy, 7, 2, 1, 2);
    m_grid->addWidget(xckTracc, 8, 0, 1, 4);
    m_grid->addWidget(gbAdempimenti, 9, 0, 1, 4);
    m_grid->addWidget(ckStoric, 10, 0, 1, 4);
    m_grid->setColumnStretch(4, 1);
    m_grid->setRowStretch(11, 1);

    const std::pair<TVoDBControl *, const char *> bindings[] = {{xdlAIE, "IEDIID"},
                                                                {xdeRagSoc, "SBENRAGSOC"},
                                                                {xdeCognome, "SANACOGNOME"},
                                                                {xdeNome, "SANANOME"},
                                                                {xddDataNascita, "DANANASCITA"},
                                                                {xdlLuogoNascita, "ISRPCID"},
                                                                {xdeNote, "SBENDESC"},
                                                                {ckAvvPagamento, "LBENAVVPAGAMENTO"},
                                                                {ckPrivacy, "lBenPrivacy"},
                                                                {xdeCodFis, "SBENCODFISCALE"},
                                                                {ckEstero, "lBenEstero"},
                                                                {xdePIVA, "SBENPARTITAIVA"},
                                                                {xdeStato, "sBenStato"},
                                                                {xckTracc, "lBenObblTracc"},
                                                                {xckInRegola, "lBenAdempFiscNoRegola"},
                                                                {xddAdempFiscData, "dBenAdempFiscData"},
                                                                {ckStoric, "lBenEnd"}};
    for (const auto &[control, field] : bindings)
        control->Bind(xdsMain, QString::fromLatin1(field));

    // --- The control bar: the historicised ones and the search ------------------------------------------
    imgRicerca = Images().Add(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    imgAnnullaRicerca = Images().Add(style()->standardIcon(QStyle::SP_LineEditClearButton));
    imgPrivacy = Images().Add(VoTileIcon(QStringLiteral("P"), QColor(40, 90, 160)));
    imgAttivi = Images().Add(style()->standardIcon(QStyle::SP_ArrowForward));
    imgStoricizzati = Images().Add(style()->standardIcon(QStyle::SP_ArrowBack));

    acStor = new QAction(kShowHistoricised, this);
    acStor->setCheckable(true);
    acStor->setToolTip(kShowHistoricised);
    SetActionImage(acStor, imgStoricizzati);
    tbControl->addSeparator();
    tbControl->addAction(acStor);
    obStor = qobject_cast<QToolButton *>(tbControl->widgetForAction(acStor));
    acRicerca = new QAction(kSearchHint, this);
    acRicerca->setToolTip(kSearchHint);
    SetActionImage(acRicerca, imgRicerca);
    tbControl->addAction(acRicerca);
    obRicerca = qobject_cast<QToolButton *>(tbControl->widgetForAction(acRicerca));
    edRicerca = new QLineEdit(this);
    edRicerca->setMaximumWidth(220);
    // Entering the box changes the list: it is entered by a click, never by the focus passing on
    // (as when an insert hides the list).
    edRicerca->setFocusPolicy(Qt::ClickFocus);
    edRicerca->setToolTip(kSearchHint);
    AddControlWidget(edRicerca);
    ShowSearchPlaceholder();
    tmRicerca = new QTimer(this);
    tmRicerca->setInterval(kSearchDelay);
    tmRicerca->setSingleShot(true);
    axShellError = new TVoAttShell(this);

    // --- Handlers -------------------------------------------------------------------------------------
    connect(rgPersonaItems, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != m_persona)
            VoGuarded([this] { rgPersonaClick(); });
    });
    connect(ckEditore, &QCheckBox::clicked, this, [this] { VoGuarded([this] { ckEditoreClick(); }); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *f) { xdsMainDataChange(s, f); });
    xacInsert->OnExecute.Add([this](TVoDataAction *s) { xacInsertExecute(s); });
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
    xacCancel->OnExecute.Add([this](TVoDataAction *s) { xacCancelExecute(s); });
    xdlAIE->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlAIEShowSearchForm(s, f); });
    xddDataNascita->OnAcceptDate.Add([this](QWidget *s) { xddDataNascitaAcceptDate(s); });
    xdlLuogoNascita->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlLuogoNascitaSetSearchQuery(s, f); });
    xdlLuogoNascita->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlLuogoNascitaShowSearchForm(s, f); });
    connect(acRicerca, &QAction::triggered, this, [this] { VoGuarded([this] { acRicercaExecute(); }); });
    connect(edRicerca, &QLineEdit::textChanged, this, [this] { VoGuarded([this] { edRicercaChange(); }); });
    edRicerca->installEventFilter(this);
    connect(tmRicerca, &QTimer::timeout, this, [this] { VoGuarded([this] { tmRicercaTimer(); }); });
    grFrame->OnDrawColumnCell.Add([this](TVoDBGrid *s, QPainter *p, const QRect &r, int row, int column) {
        grFrameDrawColumnCell(s, p, r, row, column);
    });
    connect(acStor, &QAction::triggered, this, [this] { VoGuarded([this] { acStorExecute(); }); });

    RelayoutAndStatements();
}

bool TfrBeneficiari::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edRicerca) {
        if (event->type() == QEvent::FocusIn)
            VoGuarded([this] { edRicercaEnter(); });
        else if (event->type() == QEvent::FocusOut)
            VoGuarded([this] { edRicercaExit(); });
    }
    return TfrVoDBRWGrid::eventFilter(watched, event);
}

// --- The current row --------------------------------------------------------------------------------

QVariant TfrBeneficiari::RowValue(const char *field) const {
    return CurrentValue(QString::fromLatin1(field));
}

void TfrBeneficiari::SetFieldValue(const char *field, const QVariant &value) {
    DataSet()->FieldByName(QString::fromLatin1(field))->SetValue(value);
}

int TfrBeneficiari::Persona() const {
    return m_persona;
}

void TfrBeneficiari::SetPersona(int kind) {
    m_persona = kind;
    rgPersonaItems->button(kind)->setChecked(true);
}

bool TfrBeneficiari::BrowsingDetail() const {
    return xdsMain->State() == dsBrowse && DetailShown();
}

void TfrBeneficiari::EditForChoice() {
    const TVoQueryCollection *c = DataSet();
    if (c && c->Active() && c->IsEmpty())
        xdsMain->Insert();
    else
        xdsMain->Edit();
}

void TfrBeneficiari::RelayoutAndStatements() {
    const bool person = m_persona == rgFisica;
    // A person's company name goes on the first row, a company's where the surname goes.
    m_grid->addWidget(laRagSoc, person ? 1 : 2, 0);
    m_grid->addWidget(xdeRagSoc, person ? 1 : 2, 1, 1, 3);
    for (QWidget *w : std::initializer_list<QWidget *>{laCognome, xdeCognome, laNome, xdeNome, laDataNascita,
                                                       xddDataNascita, laLuogoNascita, xdlLuogoNascita})
        w->setVisible(person);

    const QVariant ben = RowValue("IBENID");
    const QVariant ana = RowValue("IANAID");
    BenType.iBenId = ben.isNull() || !ben.isValid() ? -1 : ben.toInt();
    BenType.iAnaId = ana.isNull() || !ana.isValid() ? -1 : ana.toInt();
    BenType.sBenCodFiscale = RowValue("SBENCODFISCALE").toString();
    BenType.IsPerson = person;
    if (dmBeneficiari)
        dmBeneficiari->FillBeneficiariStatements(person ? bskPerson : bskLegalEntity, ckEditore->isChecked());
}

void TfrBeneficiari::xdsMainDataChange(TVoDataSource *, TVoField *Field) {
    if (Field || xdsMain->State() != dsBrowse)
        return;
    SetPersona(RowValue("IANAID").isNull() ? rgGiuridica : rgFisica);
    if (dmBeneficiari && dmBeneficiari->BenPublishersMode) {
        const bool publisher = RowValue("IBCAID").toInt() == kCategoryPublisher;
        ckEditore->setChecked(publisher);
        laAIE->setVisible(publisher);
        xdlAIE->setVisible(publisher);
    }
    RelayoutAndStatements();
}

// --- The kind of beneficiary ------------------------------------------------------------------------

void TfrBeneficiari::rgPersonaClick() {
    m_persona = rgPersonaItems->checkedId();
    RelayoutAndStatements();
    const bool person = m_persona == rgFisica;
    if (xdsMain->State() == dsInsert && person) {
        if (!xsdPersFisiche) {
            xsdPersFisiche = new TVoSearchDialog(this);
            xsdPersFisiche->SetConnection(DataSet()->Connection());
            xsdPersFisiche->SetSQL(QString::fromLatin1(kPersFisicheSQL).arg(QString()));
            xsdPersFisiche->SetKeyField(QStringLiteral("IANAID"));
            xsdPersFisiche->SetDefaultColumnsVisible(false);
            xsdPersFisiche->ShowColumns(
                xsdPersFisiche->windowTitle(), 500,
                {{2, QStringLiteral("Beneficiario"), 360}, {1, QStringLiteral("Codice fiscale"), 0}});
            xsdPersFisiche->OnClose.Add([this](TVoSearchDialog *s) { xsdPersFisicheClose(s); });
        }
        if (xsdPersFisiche->Execute())
            FillPerson(xsdPersFisiche->SelectedID().toInt());
        return;
    }
    if (BrowsingDetail() && person == RowValue("IANAID").isNull())
        EditForChoice();
}

void TfrBeneficiari::FillPerson(int personId) {
    TVoQuery q(QString::fromLatin1(kPersFisicheSQL).arg(QString::fromLatin1(kOnePersonCondition)),
               DataSet()->Connection());
    q.SetParam(QStringLiteral("ianaid"), personId).Open();
    if (q.Eof())
        return;
    SetFieldValue("SBENRAGSOC", q.Value(QStringLiteral("BENEFICIARIO")));
    SetFieldValue("SBENCODFISCALE", q.Value(QStringLiteral("SANACODFISCALE")));
    SetFieldValue("SANANOME", q.Value(QStringLiteral("SANANOME")));
    SetFieldValue("SANACOGNOME", q.Value(QStringLiteral("SANACOGNOME")));
    SetFieldValue("DANANASCITA", q.Value(QStringLiteral("DANANASCITA")));
    xdlLuogoNascita->SetKeyValue(q.Value(QStringLiteral("ISRPCID")));
}

void TfrBeneficiari::xsdPersFisicheClose(TVoSearchDialog *Sender) {
    Sender->DataSet()->Close();
}

void TfrBeneficiari::ckEditoreClick() {
    const bool ticked = ckEditore->isChecked();
    if (BrowsingDetail() && ((FieldIs(DataSet(), "IBCAID", kCategoryNotPublisher) && ticked) ||
                             (FieldIs(DataSet(), "IBCAID", kCategoryPublisher) && !ticked)))
        EditForChoice();
    laAIE->setVisible(ticked);
    xdlAIE->setVisible(ticked);
    RelayoutAndStatements();
}

void TfrBeneficiari::xdlAIEShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(QStringLiteral("Codici AIE"), 500,
                      {{1, QStringLiteral("Codice"), 50}, {2, QStringLiteral("Editore"), 400}});
}

// A date chosen on a row being read starts editing it (a new row when there is none).
void TfrBeneficiari::xddDataNascitaAcceptDate(QWidget *) {
    if (xdsMain->State() == dsBrowse)
        EditForChoice();
}

// --- Birth place ----------------------------------------------------------------------------------------

void TfrBeneficiari::xdlLuogoNascitaSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form) {
    SetPlacesOfStateSearch(Sender, Form);
}

void TfrBeneficiari::xdlLuogoNascitaShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form) {
    ShowPlacesSearchForm(Sender, Form);
}

// --- Insert, post, cancel ---------------------------------------------------------------------------

void TfrBeneficiari::xacInsertExecute(TVoDataAction *Sender) {
    Sender->ExecuteDefault();
    if (xdsMain->State() != dsInsert)
        return;
    SetPersona(rgGiuridica);
    if (dmBeneficiari && dmBeneficiari->BenPublishersMode) {
        ckEditore->setChecked(true);
        laAIE->show();
        xdlAIE->show();
    }
    RelayoutAndStatements();
}

void TfrBeneficiari::xacPostExecute(TVoDataAction *Sender) {
    if (!xdsMain->Editing() || !xdsMain->UpdateRecord())
        return;
    if (m_persona == rgFisica) {
        if (BenType.iAnaId == -1 && xdsMain->State() == dsEdit && dmBeneficiari)
            dmBeneficiari->FillBeneficiariStatements(bskEntityToPerson);
        BenType.sBenCodFiscale = RowValue("SBENCODFISCALE").toString().trimmed();
        if (RowValue("SBENRAGSOC").toString().trimmed().isEmpty())
            SetFieldValue("SBENRAGSOC", RowValue("SANACOGNOME").toString().trimmed() + QLatin1Char(' ') +
                                            RowValue("SANANOME").toString().trimmed());
    }
    if (!xdlAIE->KeyValue().isNull() && !ckEditore->isChecked())
        xdlAIE->SetKeyValue(-1);
    Sender->ExecuteDefault();
    if (!xdsMain->Editing())
        DataSet()->Refresh();
}

void TfrBeneficiari::xacCancelExecute(TVoDataAction *Sender) {
    Sender->ExecuteDefault();
    if (DataSet() && DataSet()->Active())
        DataSet()->Refresh();
}

// --- The search box -------------------------------------------------------------------------------------

bool TfrBeneficiari::SearchTyped() const {
    const QString text = edRicerca->text();
    return !text.isEmpty() && text != kSearchPlaceholder;
}

void TfrBeneficiari::ShowSearchPlaceholder() {
    SetTextColour(edRicerca, QColor(192, 192, 192));
    edRicerca->setText(kSearchPlaceholder);
}

void TfrBeneficiari::edRicercaEnter() {
    if (edRicerca->text() != kSearchPlaceholder)
        return;
    edRicerca->clear();
    SetTextColour(edRicerca, Qt::black);
}

void TfrBeneficiari::edRicercaExit() {
    if (edRicerca->text().isEmpty())
        ShowSearchPlaceholder();
}

void TfrBeneficiari::edRicercaChange() {
    if (SearchTyped()) {
        tmRicerca->start();
        SetActionImage(acRicerca, imgAnnullaRicerca);
        return;
    }
    tmRicerca->stop();
    if (DataSet() && DataSet()->RowFiltered())
        DataSet()->ClearRowFilter();
    SetActionImage(acRicerca, imgRicerca);
}

// The names that hold the text, whatever the case; the search takes the place of the choice of
// active or historicised ones.
void TfrBeneficiari::tmRicercaTimer() {
    tmRicerca->stop();
    if (!SearchTyped() || !DataSet())
        return;
    const QString text = edRicerca->text().toUpper();
    DataSet()->SetRowFilter([text](const TVoQueryCollection *c) {
        const TVoField *name = c->FindField(QStringLiteral("SBENRAGSOC"));
        return name && !name->IsNull() && name->AsString().toUpper().contains(text);
    });
}

void TfrBeneficiari::acRicercaExecute() {
    if (!SearchTyped())
        return;
    tmRicerca->stop();
    if (DataSet() && DataSet()->RowFiltered())
        DataSet()->ClearRowFilter();
    ShowSearchPlaceholder();
    grFrame->setFocus(Qt::OtherFocusReason);
    SetActionImage(acRicerca, imgRicerca);
    acRicerca->setToolTip(kSearchHint);
    edRicerca->setToolTip(kSearchHint);
}

// --- Historicised ones ----------------------------------------------------------------------------------

void TfrBeneficiari::acStorExecute() {
    m_historicised = !m_historicised;
    if (DataSet())
        ShowHistoricisedBeneficiari(DataSet(), m_historicised);
    const QString &caption = m_historicised ? kShowActive : kShowHistoricised;
    SetActionImage(acStor, m_historicised ? imgAttivi : imgStoricizzati);
    acStor->setText(caption);
    acStor->setToolTip(caption);
    acStor->setChecked(m_historicised);
}

// --- The list -------------------------------------------------------------------------------------------

void TfrBeneficiari::grFrameDrawColumnCell(TVoDBGrid *, QPainter *Painter, const QRect &Rect, int Row,
                                           int Column) {
    const TVoQueryCollection *c = DataSet();
    const TVoField *privacy = c ? c->FindField(QStringLiteral("LBENPRIVACY")) : nullptr;
    if (Column != m_privacyColumn || !privacy || c->RowValue(Row, privacy->Index()).toInt() != 1)
        return;
    const int side = qMin(16, Rect.height() - 2);
    Images()
        .Icon(imgPrivacy)
        .paint(Painter, QRect(Rect.left() + 10, Rect.top() + (Rect.height() - side) / 2, side, side));
}
