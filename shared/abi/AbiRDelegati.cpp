#include "AbiRDelegati.h"

#include "AbiMBen.h"
#include "AbiRCommon.h"
#include "AbiRSedi.h"
#include "VoDBDateEdit.h"
#include "VoDBEdits.h"
#include "VoDBLookupEdit.h"
#include "VoRegistry.h"

#include <QGridLayout>
#include <QLabel>

namespace {

TVoDBDateEdit *NewDate(QWidget *parent) {
    auto *date = new TVoDBDateEdit(parent);
    date->SetPickerKey(119);
    return date;
}

// A value that may not be blank; the message names it.
void RequireText(TVoDBEdit *edit, const char *message) {
    edit->OnValidate.Add([edit, message](QWidget *, bool &ok, QString &msg) {
        if (edit->text().trimmed().isEmpty()) {
            ok = false;
            msg = QString::fromUtf8(message);
        }
    });
}

} // namespace

// --- Delegates --------------------------------------------------------------------------------------------

TfrDelegatiConto::TfrDelegatiConto(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frDelegatiConto"));
    AddColumns(grFrame, {{"sDegCognome", "Cognome", 150},
                         {"sDegNome", "Nome", 150},
                         {"sDegCodFiscale", "Codice fiscale", 140},
                         {"dStart", "Inizio validità", 100},
                         {"dEnd", "Fine validità", 100}});

    xdeCognome = NewDBEdit(tsDetail, 60);
    xdeNome = NewDBEdit(tsDetail, 60);
    xdeCodFiscale = NewDBEdit(tsDetail, 20);
    xddStart = NewDate(tsDetail);
    xddEnd = NewDate(tsDetail);
    auto *grid = new QGridLayout(tsDetail);
    AddLabelled(grid, 0, 0, "Cognome", xdeCognome);
    AddLabelled(grid, 0, 2, "Nome", xdeNome);
    AddLabelled(grid, 1, 0, "Codice fiscale", xdeCodFiscale);
    AddLabelled(grid, 2, 0, "Inizio validità", xddStart);
    AddLabelled(grid, 2, 2, "Fine validità", xddEnd);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);
    const std::pair<TVoDBControl *, const char *> bindings[] = {{xdeCognome, "sDegCognome"},
                                                                {xdeNome, "sDegNome"},
                                                                {xdeCodFiscale, "sDegCodFiscale"},
                                                                {xddStart, "dStart"},
                                                                {xddEnd, "dEnd"}};
    for (const auto &[control, field] : bindings)
        control->Bind(xdsMain, QString::fromLatin1(field));

    RequireText(xdeCognome, "Cognome");
    RequireText(xdeNome, "Nome");
    RequireText(xdeCodFiscale, "Codice fiscale");
}

// --- Payee ------------------------------------------------------------------------------------------------

TfrQuietanzante::TfrQuietanzante(QWidget *parent) : TfrVoDBRWGrid(parent) {
    setObjectName(QStringLiteral("frQuietanzante"));
    grFrame->AddColumn(QStringLiteral("sQuiNominativo"), QStringLiteral("Nominativo"), 250);
    grFrame->AddColumn(QStringLiteral("sQuiCodiceFiscale"), QStringLiteral("Codice Fiscale"), 140);

    xdeNominativo = NewDBEdit(tsDetail, 120);
    xdeIndirizzo = NewDBEdit(tsDetail, 120);
    Locality = new TAbiLocalityEntry(this, PayeeComCapFra);
    xdlComune = Locality->xdlComune;
    xdeCAP = Locality->xdeCAP;
    xdeFraQua = Locality->xdeFraQua;
    fmSearchDialog = Locality->fmSearchDialog;
    xdeCodFiscale = NewDBEdit(tsDetail, 20);

    auto *grid = new QGridLayout(tsDetail);
    AddLabelled(grid, 0, 0, "Nominativo", xdeNominativo, 3);
    AddLabelled(grid, 1, 0, "Indirizzo", xdeIndirizzo, 3);
    grid->addWidget(Locality->laComune, 2, 0);
    grid->addWidget(xdlComune, 2, 1, 1, 3);
    grid->addWidget(Locality->laCAP, 3, 0);
    grid->addWidget(xdeCAP, 3, 1);
    grid->addWidget(Locality->laFraQua, 3, 2);
    grid->addWidget(xdeFraQua, 3, 3);
    AddLabelled(grid, 4, 0, "Codice Fiscale", xdeCodFiscale);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    xdeNominativo->Bind(xdsMain, QStringLiteral("sQuiNominativo"));
    xdeIndirizzo->Bind(xdsMain, QStringLiteral("sQuiIndirizzo"));
    xdeCodFiscale->Bind(xdsMain, QStringLiteral("sQuiCodiceFiscale"));

    Require(xdeCodFiscale, "Codice Fiscale del quietanzante",
            [this] { return !xdeCodFiscale->text().trimmed().isEmpty(); });
    Require(xdeIndirizzo, "Indirizzo del quietanzante",
            [this] { return !xdeIndirizzo->text().trimmed().isEmpty(); });
    Require(xdeCAP, "CAP del quietanzante", [this] { return !xdeCAP->text().trimmed().isEmpty(); });
    Require(xdlComune, "Comune del quietanzante", [this] { return IsChosenId(xdlComune->KeyValue()); });
    xacPost->OnExecute.Add([this](TVoDataAction *s) { xacPostExecute(s); });
}

void TfrQuietanzante::Require(QWidget *control, const char *message, std::function<bool()> given) {
    dynamic_cast<TVoDBControl *>(control)->OnValidate.Add(
        [this, message, given](QWidget *, bool &ok, QString &msg) {
            if (!xdeNominativo->text().isEmpty() && !given()) {
                ok = false;
                msg = QString::fromUtf8(message);
            }
        });
}

void TfrQuietanzante::xacPostExecute(TVoDataAction *Sender) {
    if (!xdsMain->Editing() || !xdsMain->UpdateRecord() || !xdsMain->ValidateControls() ||
        !Locality->Resolve())
        return;
    Sender->ExecuteDefault();
}
