#include "AbiRDatiBancari.h"

#include "AbiFInsertIBAN.h"
#include "AbiUIban.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoDates.h"
#include "VoForms.h"
#include "VoQuery.h"
#include "VoSearchDialog.h"
#include "VoUtils.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <memory>

namespace {

const char *const kModPagListSQL =
    " SELECT TMPG_MODPAGAM.IMPGID, TMPG_MODPAGAM.SMPGDESCL, TMPG_MODPAGAM.SMPGDESCS, TMPG_MODPAGAM.LMPGRISC, "
    "TMPG_MODPAGAM.LMPGPAG FROM TMPG_MODPAGAM WHERE ##WHERE## AND TMPG_MODPAGAM.DDELETE IS NULL";
const char *const kModPagSearchSQL =
    " SELECT TMPG_MODPAGAM.IMPGID, TMPG_MODPAGAM.SMPGDESCS, TMPG_MODPAGAM.SMPGDESCL, TMPG_MODPAGAM.LMPGRISC, "
    "TMPG_MODPAGAM.LMPGPAG, PABC_MODPAGAM.TIPOLOGIA FROM TMPG_MODPAGAM INNER JOIN PABC_MODPAGAM ON "
    "(TMPG_MODPAGAM.IMPGID = PABC_MODPAGAM.IMPGID) WHERE TMPG_MODPAGAM.DDELETE IS NULL";
// Payment by postal account takes the postal bank only.
const char *const kPostalBankListSQL =
    " SELECT TBAN_BANCHE.IBANID, TBAN_BANCHE.ISRPCID, TBAN_BANCHE.SBANABI, TBAN_BANCHE.SBANDESCS FROM  "
    "TBAN_BANCHE WHERE TBAN_BANCHE.IBANID = :IBANID AND ##WHERE## AND TBAN_BANCHE.DDELETE IS NULL";
const char *const kBankListSQL =
    " SELECT TBAN_BANCHE.IBANID, TBAN_BANCHE.ISRPCID, TBAN_BANCHE.SBANABI, TBAN_BANCHE.SBANDESCS FROM  "
    "TBAN_BANCHE WHERE ##WHERE##  AND TBAN_BANCHE.DDELETE IS NULL ORDER BY TBAN_BANCHE.SBANABI";
const char *const kPostalBankSearchSQL =
    " SELECT TBAN_BANCHE.IBANID, TBAN_BANCHE.SBANABI, TBAN_BANCHE.SBANDESCS FROM  TBAN_BANCHE WHERE "
    "TBAN_BANCHE.IBANID = :IBANID AND TBAN_BANCHE.DDELETE IS NULL";
const char *const kBankSearchSQL =
    " SELECT TBAN_BANCHE.IBANID, TBAN_BANCHE.SBANABI, TBAN_BANCHE.SBANDESCS FROM  TBAN_BANCHE WHERE "
    "TBAN_BANCHE.DDELETE IS NULL ORDER BY TBAN_BANCHE.IBANID";
const char *const kBranchListSQL =
    " SELECT TSPR_SPORTELLICAB.ISPRID, TSPR_SPORTELLICAB.SSPRCAB, TSPR_SPORTELLICAB.SSPRDESCS FROM "
    "TSPR_SPORTELLICAB WHERE ##WHERE## AND TSPR_SPORTELLICAB.DDELETE IS NULL";
// The branches of the chosen bank.
const char *const kBranchSearchSQL =
    " SELECT TSPR_SPORTELLICAB.ISPRID, TSPR_SPORTELLICAB.SSPRCAB, TSPR_SPORTELLICAB.SSPRDESCS, "
    "TSRPC.ISRPCID, "
    "TSPR_SPORTELLICAB.SSPRINDIRIZZO, TCOM_COMUNI.SCOMDESC, TPRO_PROVINCE.SPROSIGLA FROM TSPR_SPORTELLICAB "
    "LEFT OUTER JOIN TSRPC  ON (TSPR_SPORTELLICAB.ISRPCID = TSRPC.ISRPCID AND TSRPC.DDELETE IS NULL) LEFT "
    "OUTER "
    "JOIN TCOM_COMUNI ON (TSRPC.ICOMID = TCOM_COMUNI.ICOMID AND TCOM_COMUNI.DDELETE IS NULL) LEFT OUTER JOIN "
    "TPRO_PROVINCE ON (TSRPC.IPROID = TPRO_PROVINCE.IPROID AND TPRO_PROVINCE.DDELETE IS NULL) WHERE "
    "TSPR_SPORTELLICAB.IBANID = :IBANID AND TSPR_SPORTELLICAB.DDELETE IS NULL";
const char *const kBankNameSQL =
    " SELECT TBAN_BANCHE.SBANDESCS FROM TBAN_BANCHE WHERE TBAN_BANCHE.IBANID = :IBANID AND "
    "TBAN_BANCHE.DDELETE IS NULL";
const char *const kBranchNameSQL =
    " SELECT TSPR_SPORTELLICAB.SSPRDESCS, TSPR_SPORTELLICAB.SSPRINDIRIZZO, TCOM_COMUNI.SCOMDESC || ' (' || "
    "TPRO_PROVINCE.SPROSIGLA || ')'  AS COMUNE FROM TSPR_SPORTELLICAB LEFT OUTER JOIN TSRPC  ON "
    "(TSPR_SPORTELLICAB.ISRPCID = TSRPC.ISRPCID AND TSRPC.DDELETE IS NULL) LEFT OUTER JOIN TCOM_COMUNI ON "
    "(TSRPC.ICOMID = TCOM_COMUNI.ICOMID AND TCOM_COMUNI.DDELETE IS NULL) LEFT OUTER JOIN TPRO_PROVINCE ON "
    "(TSRPC.IPROID = TPRO_PROVINCE.IPROID AND TPRO_PROVINCE.DDELETE IS NULL) WHERE TSPR_SPORTELLICAB.ISPRID "
    "= "
    ":ISPRID AND TSPR_SPORTELLICAB.DDELETE IS NULL";
const char *const kBankStateSQL =
    " SELECT TSRPC.ISTAID FROM TBAN_BANCHE INNER JOIN TSRPC ON (TBAN_BANCHE.ISRPCID = "
    "TSRPC.ISRPCID) WHERE TBAN_BANCHE.IBANID = :IBANID";
const char *const kBranchStateSQL =
    " SELECT TSRPC.ISTAID FROM TSPR_SPORTELLICAB INNER JOIN TSRPC ON (TSPR_SPORTELLICAB.ISRPCID = "
    "TSRPC.ISRPCID) WHERE TSPR_SPORTELLICAB.ISPRID = :ISPRID";

const QString kAbiRequired = QStringLiteral(
    "Attenzione!\r\nIl campo \"ABI\" è obbligatorio\r\nse è valorizzato il campo \"Numero conto corrente\"");
const QString kAccountRequired = QStringLiteral(
    "Per la modalità di pagamento selezionata è obbligatorio inserire il Numero di Conto Corrente.");
const QString kCabRequired =
    QStringLiteral("Attenzione!\r\nIl campo \"CAB\" è obbligatorio\r\nse è valorizzato il campo ABI");
const QString kModPagRequired = QStringLiteral("Attenzione!\r\nModalità di pagamento obbligatoria");
const QString kAccountWithAbi = QStringLiteral(
    "Attenzione!\r\n\"Numero di conto corrente\" obbligatorio\r\nse è valorizzato il campo \"ABI\"");
const QString kIbanQuestion = QStringLiteral("Coordinate IBAN non corrette.Correggerle?");
const QString kBicRequired = QStringLiteral("Per le banche estere è obbligatorio il codice BIC");

// Payment methods: by postal account (its one bank is the postal bank), and the two that need no
// bank; those of the list need no account at all, nor do the ids of other programs (above 1000000).
const int kPostalPayment = 5;
const int kPostalBank = 2;
const int kPostalBookPayment = 10;
const int kAccountFreePayments[] = {1, 2, 4, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19};
const int kOtherProgramsPayments = 1000000;
const int kHomeState = 1;
const int kAccountLength = 12;

// An edit as wide as a number of characters (and its button, for a lookup).
void FitChars(QLineEdit *edit, int chars, int extra = 0) {
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('W'))) + 16 +
                          extra);
}

bool InHomeCountry(const char *sql, const char *param, const QVariant &id) {
    return id.toInt() > 0 &&
           VoSelectValue(QString::fromLatin1(sql), {{QString::fromLatin1(param), id}}).toInt() == kHomeState;
}

} // namespace

TfrDatiBancari::TfrDatiBancari(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frDatiBancari"));
    grFrame->AddColumn(QStringLiteral("SMPGDESCL"), QStringLiteral("Modalità pagamento"), 260);
    grFrame->AddColumn(QStringLiteral("SBANABI"), QStringLiteral("ABI"), 60);
    grFrame->AddColumn(QStringLiteral("SSPRCAB"), QStringLiteral("CAB"), 60);
    grFrame->AddColumn(QStringLiteral("SSPRBENNUMCC"), QStringLiteral("Numero conto corrente"), 160);
    grFrame->AddColumn(QStringLiteral("TIPOLOGIA"), QStringLiteral("Pag./Risc."), 150);

    const auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), tsDetail); };
    const auto lookup = [this](const char *key, const char *shown, const char *listSQL) {
        auto *edit = new TVoDBLookupEdit(tsDetail);
        edit->SetKeyField(QString::fromLatin1(key));
        edit->SetListField(QString::fromLatin1(shown));
        edit->SetListSQL(QString::fromLatin1(listSQL));
        return edit;
    };
    const auto edit = [](QWidget *parent, TVoCharFilters filter, bool upperCase, int maxLength) {
        auto *e = new TVoDBEdit(parent);
        e->SetCharFilter(filter);
        e->SetUpperCase(upperCase);
        e->setMaxLength(maxLength);
        FitChars(e, maxLength);
        return e;
    };

    laModPag = label("Modalità pagamento");
    xdlModPag = lookup("IMPGID", "SMPGDESCL", kModPagListSQL);
    xdlModPag->setMaximumWidth(360);
    laABI = label("ABI");
    xdlABI = lookup("IBANID", "SBANABI", kBankListSQL);
    xdlABI->setMaxLength(10);
    FitChars(xdlABI, 10, 24);
    laNomeBanca = new QLabel(tsDetail);
    laCAB = label("CAB");
    xdlCAB = lookup("ISPRID", "SSPRCAB", kBranchListSQL);
    xdlCAB->setMaxLength(10);
    xdlCAB->SetChooseOnly(true);
    FitChars(xdlCAB, 10, 24);
    laNomeSportello = new QLabel(tsDetail);
    laNumCC = label("Numero conto corrente");
    xdeNumCC = edit(tsDetail, kfLetters | kfDigits, true, 20);
    laCIN = label("Cin");
    xdCIN = edit(tsDetail, kfLetters, true, 1);

    gbIban = new QGroupBox(QStringLiteral("IBAN"), tsDetail);
    laStato = new QLabel(QStringLiteral("Stato"), gbIban);
    xdeStato = edit(gbIban, kfLetters, true, 2);
    laCinInt = new QLabel(QStringLiteral("Cin"), gbIban);
    xdeCinInt = edit(gbIban, kfDigits, false, 2);

    laIban = label("IBAN");
    xdeIban = edit(tsDetail, kfAnyChar, false, 34);
    xdeIban->setMinimumWidth(xdeIban->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('0'))) + 16);
    xdeIban->SetReadOnly(true);
    laTotCaratteri = label("Tot. Caratteri:");
    laNumCaratteri = new QLabel(QStringLiteral("0"), tsDetail);
    btnInsIban = new QPushButton(QStringLiteral("&Inserisci"), tsDetail);
    btnInsIban->setEnabled(false);
    laBic = label("BIC");
    xdeBic = edit(tsDetail, kfAnyChar, false, 11);
    laDataFinVal = label("Data fine Validità");
    xddDataFinVal = new TVoDBDateEdit(tsDetail);
    xckContoDed = new TVoDBCheckBox(
        QStringLiteral("Conto corrente dedicato per la tracciabilità dei flussi finanziari"), tsDetail);
    ckBancaEstera = new TVoDBCheckBox(QStringLiteral("Banca &Estera"), tsDetail);

    const std::pair<QLabel *, QWidget *> buddies[] = {{laModPag, xdlModPag}, {laABI, xdlABI},
                                                      {laCAB, xdlCAB},       {laNumCC, xdeNumCC},
                                                      {laCIN, xdCIN},        {laStato, xdeStato},
                                                      {laCinInt, xdeCinInt}, {laIban, xdeIban},
                                                      {laBic, xdeBic},       {laDataFinVal, xddDataFinVal}};
    for (const auto &[caption, control] : buddies)
        caption->setBuddy(control);

    auto *ibanGrid = new QGridLayout(gbIban);
    ibanGrid->addWidget(laStato, 0, 0);
    ibanGrid->addWidget(xdeStato, 0, 1);
    ibanGrid->addWidget(laCinInt, 0, 2);
    ibanGrid->addWidget(xdeCinInt, 0, 3);
    ibanGrid->setColumnStretch(4, 1);

    auto *grid = new QGridLayout(tsDetail);
    grid->addWidget(laModPag, 0, 0);
    grid->addWidget(xdlModPag, 0, 1, 1, 4);
    grid->addWidget(laABI, 1, 0);
    grid->addWidget(xdlABI, 1, 1);
    grid->addWidget(laNomeBanca, 1, 2, 1, 3);
    grid->addWidget(laCAB, 2, 0);
    grid->addWidget(xdlCAB, 2, 1);
    grid->addWidget(laNomeSportello, 2, 2, 1, 3);
    grid->addWidget(laNumCC, 3, 0);
    grid->addWidget(xdeNumCC, 3, 1);
    grid->addWidget(laCIN, 3, 2, Qt::AlignRight);
    grid->addWidget(xdCIN, 3, 3);
    grid->addWidget(gbIban, 4, 0, 1, 5);
    auto *ibanRow = new QHBoxLayout;
    ibanRow->addWidget(xdeIban);
    ibanRow->addWidget(laTotCaratteri);
    ibanRow->addWidget(laNumCaratteri);
    ibanRow->addSpacing(12);
    ibanRow->addWidget(btnInsIban);
    ibanRow->addStretch(1);
    grid->addWidget(laIban, 5, 0);
    grid->addLayout(ibanRow, 5, 1, 1, 5);
    grid->addWidget(laBic, 6, 0);
    grid->addWidget(xdeBic, 6, 1);
    grid->addWidget(laDataFinVal, 7, 0);
    grid->addWidget(xddDataFinVal, 7, 1, Qt::AlignLeft);
    grid->addWidget(xckContoDed, 8, 0, 1, 6);
    grid->addWidget(ckBancaEstera, 9, 0, 1, 6);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(10, 1);

    const std::pair<TVoDBControl *, const char *> bindings[] = {{xdlModPag, "IMPGID"},
                                                                {xdlABI, "IBANID"},
                                                                {xdlCAB, "ISPRID"},
                                                                {xdeNumCC, "SSPRBENNUMCC"},
                                                                {xdCIN, "SSPRBENCIN"},
                                                                {xdeStato, "SSPRBENSTATO"},
                                                                {xdeCinInt, "SSPRBENCININT"},
                                                                {xdeIban, "sSprBenIBAN"},
                                                                {xdeBic, "sSprBenBic"},
                                                                {xddDataFinVal, "DEND"},
                                                                {xckContoDed, "lSprBenCntDed"},
                                                                {ckBancaEstera, "lSprBenBanEstera"}};
    for (const auto &[control, field] : bindings)
        control->Bind(xdsMain, QString::fromLatin1(field));

    xdlModPag->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlModPagSetSearchQuery(s, f); });
    xdlModPag->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlModPagShowSearchForm(s, f); });
    xdlModPag->OnChangeFKValue.Add([this](TVoDBLookupEdit *s) { xdlModPagChangeFKValue(s); });
    xdlABI->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlABISetSearchQuery(s, f); });
    xdlABI->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlABIShowSearchForm(s, f); });
    xdlABI->OnChange.Add([this](QWidget *s) { xdlABIChange(s); });
    xdlABI->OnChangeFKValue.Add([this](TVoDBLookupEdit *s) { xdlABIChangeFKValue(s); });
    xdlCAB->OnSetSearchQuery.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlCABSetSearchQuery(s, f); });
    xdlCAB->OnShowSearchForm.Add(
        [this](TVoDBLookupEdit *s, TVoSearchDialog *f) { xdlCABShowSearchForm(s, f); });
    xdlCAB->OnChange.Add([this](QWidget *s) { xdlCABChange(s); });
    xdeNumCC->installEventFilter(this);
    xdeIban->OnChange.Add([this](QWidget *s) { xdeIbanChange(s); });
    xdeBic->OnValidate.Add([this](QWidget *s, bool &ok, QString &msg) { xdeBicValidate(s, ok, msg); });
    connect(btnInsIban, &QPushButton::clicked, this, [this] { VoGuarded([this] { btnInsIbanClick(); }); });
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
    xacCancel->OnExecute.Add([this](TVoDataAction *s) { xacCancelExecute(s); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *s, TVoField *f) { xdsMainDataChange(s, f); });
    xdsMain->AfterStateChange.Add([this](TVoDataSource *s) { xdsMainAfterStateChange(s); });
}

bool TfrDatiBancari::eventFilter(QObject *watched, QEvent *event) {
    if (watched == xdeNumCC && event->type() == QEvent::MouseButtonPress)
        xdeNumCCClick();
    return TfrVoDBRWGrid::eventFilter(watched, event);
}

// --- Fields of the current row ------------------------------------------------------------------------

QVariant TfrDatiBancari::Value(const char *field) const {
    return CurrentValue(QString::fromLatin1(field));
}

QString TfrDatiBancari::Text(const char *field) const {
    return Value(field).toString();
}

void TfrDatiBancari::SetValue(const char *field, const QVariant &value) {
    DataSet()->FieldByName(QString::fromLatin1(field))->SetValue(value);
}

// --- Lookups ------------------------------------------------------------------------------------------

void TfrDatiBancari::xdlModPagSetSearchQuery(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->SetSQL(QString::fromLatin1(kModPagSearchSQL));
}

void TfrDatiBancari::xdlModPagShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(QStringLiteral("Modalità di pagamento"), 600,
                      {{1, "Codice", 50}, {2, "Descrizione", 400}, {5, "Pag./Risc.", 100}});
}

void TfrDatiBancari::xdlModPagChangeFKValue(TVoDBLookupEdit *) {
    SetBankList();
    if (!xdlModPag->KeyValue().isNull())
        btnInsIban->setEnabled(true);
}

void TfrDatiBancari::SetBankList() {
    const bool postal = Value("IMPGID").toInt() == kPostalPayment;
    xdlABI->SetListSQL(QString::fromLatin1(postal ? kPostalBankListSQL : kBankListSQL));
    if (postal)
        xdlABI->ListDataSet()->SetParam(QStringLiteral("IBANID"), kPostalBank);
    xdlABI->RefreshList();
}

void TfrDatiBancari::xdlABISetSearchQuery(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    if (Value("IMPGID").toInt() == kPostalPayment) {
        Form->SetSQL(QString::fromLatin1(kPostalBankSearchSQL));
        Form->SetParam(QStringLiteral("IBANID"), kPostalBank);
    } else {
        Form->SetSQL(QString::fromLatin1(kBankSearchSQL));
    }
}

void TfrDatiBancari::xdlABIShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(QStringLiteral("Banche"), 500, {{1, "ABI", 50}, {2, "Descrizione", 400}});
}

void TfrDatiBancari::xdlABIChange(QWidget *) {
    laNomeBanca->setText(xdlABI->text().isEmpty()
                             ? QString()
                             : VoSelectValue(QString::fromLatin1(kBankNameSQL),
                                             {{QStringLiteral("IBANID"), xdlABI->KeyValue()}})
                                   .toString());
}

// Another bank: the branch chosen belonged to the one before.
void TfrDatiBancari::xdlABIChangeFKValue(TVoDBLookupEdit *) {
    if (xdsMain->Editing())
        xdlCAB->SetKeyValue(QVariant());
}

void TfrDatiBancari::xdlCABSetSearchQuery(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    const QVariant bank = xdlABI->KeyValue();
    Form->SetSQL(QString::fromLatin1(kBranchSearchSQL));
    Form->SetParam(QStringLiteral("IBANID"), bank.isNull() ? QVariant(-1) : bank);
}

void TfrDatiBancari::xdlCABShowSearchForm(TVoDBLookupEdit *, TVoSearchDialog *Form) {
    Form->ShowColumns(QStringLiteral("Sportelli"), 800,
                      {{1, "CAB", 60},
                       {2, "Descrizione", 215},
                       {4, "Indirizzo", 240},
                       {5, "Comune", 200},
                       {6, "Prov.", 45}});
}

void TfrDatiBancari::xdlCABChange(QWidget *) {
    if (xdlCAB->text().isEmpty()) {
        laNomeSportello->clear();
        return;
    }
    TVoQuery q(QString::fromLatin1(kBranchNameSQL));
    q.SetParam(QStringLiteral("ISPRID"), xdlCAB->KeyValue()).Open();
    const QString place = q.AsString(QStringLiteral("SSPRINDIRIZZO")) + QStringLiteral(" -- ") +
                          q.AsString(QStringLiteral("COMUNE"));
    const QString description = q.AsString(QStringLiteral("SSPRDESCS"));
    laNomeSportello->setText(description.isEmpty() ? place : description + QLatin1Char('\n') + place);
}

// --- Edits --------------------------------------------------------------------------------------------

void TfrDatiBancari::xdeNumCCClick() {
    const QString trimmed = xdeNumCC->text().trimmed();
    if (trimmed != xdeNumCC->text() && xdsMain->Edit())
        xdeNumCC->setText(trimmed);
}

void TfrDatiBancari::xdeIbanChange(QWidget *) {
    laNumCaratteri->setNum(int(xdeIban->text().size()));
}

// The sentence is shown as it stands, not as the name of a missing value.
void TfrDatiBancari::xdeBicValidate(QWidget *, bool &, QString &) {
    if (ckBancaEstera->isChecked() && xdeBic->text().trimmed().isEmpty())
        throw EVoError(kBicRequired);
}

// --- IBAN ---------------------------------------------------------------------------------------------

void TfrDatiBancari::EnableNationalGroup(bool enabled) {
    for (QWidget *control :
         std::initializer_list<QWidget *>{xdeStato, xdeNumCC, xdeCinInt, xdCIN, xdlCAB, xdlABI})
        control->setEnabled(enabled);
}

QString TfrDatiBancari::FieldsIban() const {
    QString iban;
    for (const QString &part : {xdeStato->text(), xdeCinInt->text(), xdCIN->text(), xdlABI->text(),
                                xdlCAB->text(), xdeNumCC->text()})
        iban += part.trimmed();
    return iban;
}

QString TfrDatiBancari::CheckedIban() {
    try {
        return CalcIBAN(xdlABI->text().trimmed(), xdlCAB->text().trimmed(), Text("SSPRBENNUMCC").trimmed());
    } catch (const EBBANError &e) {
        Refuse(e.Message(), e.Part() == EBBANError::bpBank     ? static_cast<QWidget *>(xdlABI)
                            : e.Part() == EBBANError::bpBranch ? static_cast<QWidget *>(xdlCAB)
                                                               : static_cast<QWidget *>(xdeNumCC));
    }
}

void TfrDatiBancari::RebuildIban() {
    if (Value("IBANID").toInt() <= 0 || Value("ISPRID").toInt() <= 0 ||
        Text("SSPRBENNUMCC").trimmed().isEmpty())
        return;
    SetValue("sSprBenIBAN", CheckedIban());
    const TCustomBBAN *bban = GlobalIBAN()->DomesticBBAN();
    SetValue("SSPRBENSTATO", bban->Country());
    SetValue("SSPRBENCININT", GlobalIBAN()->CheckDigits());
    SetValue("SSPRBENCIN", bban->CheckDgt());
}

void TfrDatiBancari::btnInsIbanClick() {
    std::unique_ptr<TfmInsertIBAN> dialog(VoNewForm<TfmInsertIBAN>(window()));
    if (dialog->exec() != QDialog::Accepted)
        return;
    const QString iban = dialog->Iban();
    const bool foreign = dialog->ckEstera->isChecked();
    dialog.reset();
    if (!xdsMain->Edit())
        return;
    const char *const coordinates[] = {"SSPRBENSTATO", "SSPRBENNUMCC", "SSPRBENCININT", "SSPRBENCIN"};
    if (foreign) {
        SetValue("sSprBenIBAN", iban);
        SetValue("lSprBenBanEstera", 1);
        for (const char *field : coordinates)
            SetValue(field, QVariant());
        // An Italian bank left behind would ask for an account in the coordinates now closed.
        xdlABI->SetKeyValue(QVariant());
        EnableNationalGroup(false);
        return;
    }
    int bankId = 0;
    int branchId = 0;
    if (!DecodeIBAN(iban, bankId, branchId))
        return;
    const TCustomBBAN *bban = GlobalIBAN()->DomesticBBAN();
    for (const char *field : coordinates)
        SetValue(field, QVariant());
    SetValue("SSPRBENSTATO", bban->Country());
    SetValue("SSPRBENCININT", GlobalIBAN()->CheckDigits());
    SetValue("SSPRBENCIN", bban->CheckDgt());
    SetValue("SSPRBENNUMCC", bban->Account());
    xdlABI->SetKeyValue(bankId);
    xdlCAB->SetKeyValue(branchId);
    SetValue("sSprBenIBAN", iban);
    SetValue("lSprBenBanEstera", 0);
    EnableNationalGroup(true);
}

// --- Post and cancel ----------------------------------------------------------------------------------

void TfrDatiBancari::Refuse(const QString &message, QWidget *control) {
    VoMessageDlg(message, mtError, mbOK);
    VoShowControl(control);
    control->setFocus(Qt::OtherFocusReason);
    throw EVoAbort();
}

void TfrDatiBancari::xacPostExecute(TVoDataAction *Sender) {
    if (!xdsMain->Editing() || !xdsMain->UpdateRecord())
        return;
    const QVariant method = Value("IMPGID");
    const bool foreign = Value("lSprBenBanEstera").toInt() != 0;
    const TVoField *end = DataSet()->FindField(QStringLiteral("DEND"));
    const bool accountFree = std::ranges::count(kAccountFreePayments, method.toInt()) > 0 || foreign ||
                             method.toInt() > kOtherProgramsPayments || (end && !VoIsNoDate(end->AsDate()));
    const bool abiFree =
        (method.toInt() == kPostalPayment || method.toInt() == kPostalBookPayment) && !foreign;
    const QVariant bank = Value("IBANID");
    const QVariant branch = Value("ISPRID");
    const bool hasBank = bank.toInt() > 0;
    const bool hasBranch = branch.toInt() > 0;
    QString account = Text("SSPRBENNUMCC").trimmed();

    if (!account.isEmpty()) {
        // Accounts of the home country have their twelve characters.
        if (InHomeCountry(kBankStateSQL, "IBANID", bank) ||
            InHomeCountry(kBranchStateSQL, "ISPRID", branch)) {
            account = PadL(account, kAccountLength, QLatin1Char('0'));
            SetValue("SSPRBENNUMCC", account);
        }
        if (!accountFree && !abiFree && !hasBank)
            Refuse(kAbiRequired, xdlABI);
    }
    if (account.isEmpty() && !accountFree)
        Refuse(kAccountRequired, xdeNumCC);
    if (hasBank && !hasBranch)
        Refuse(kCabRequired, xdlCAB);
    if (method.isNull())
        Refuse(kModPagRequired, xdlModPag);
    if (hasBank && hasBranch && account.isEmpty())
        Refuse(kAccountWithAbi, xdeNumCC);

    bool rebuild = true;
    if (hasBank && hasBranch && !account.isEmpty()) {
        const QString computed = CheckedIban();
        const bool partsMissing = xdeStato->text().trimmed().isEmpty() ||
                                  xdeCinInt->text().trimmed().isEmpty() || xdCIN->text().trimmed().isEmpty();
        const QString typed = FieldsIban();
        if (partsMissing) {
            if (VoMessageDlg(kIbanQuestion, mtWarning, mbYesNo) != mrYes) {
                SetValue("sSprBenIBAN", typed);
                throw EVoAbort();
            }
            SetValue("sSprBenIBAN", computed);
        } else {
            SetValue("sSprBenIBAN", typed);
            if (computed != typed) {
                if (VoMessageDlg(kIbanQuestion, mtWarning, mbYesNo) == mrYes)
                    SetValue("sSprBenIBAN", computed);
                else
                    rebuild = false;
            }
        }
    }
    if (rebuild)
        RebuildIban();
    else
        SetValue("sSprBenIBAN", QVariant());
    Sender->ExecuteDefault();
}

void TfrDatiBancari::xacCancelExecute(TVoDataAction *Sender) {
    Sender->ExecuteDefault();
    if (DataSet() && DataSet()->Active())
        DataSet()->Refresh();
}

// --- Data source --------------------------------------------------------------------------------------

void TfrDatiBancari::xdsMainDataChange(TVoDataSource *, TVoField *Field) {
    if (!Field)
        SetBankList();
    if (!Field || Field->FieldName().compare(QLatin1String("lSprBenBanEstera"), Qt::CaseInsensitive) == 0) {
        xdeIban->SetReadOnly(true);
        EnableNationalGroup(!ckBancaEstera->isChecked());
    }
}

void TfrDatiBancari::xdsMainAfterStateChange(TVoDataSource *) {
    btnInsIban->setEnabled(xdsMain->Editing());
}
