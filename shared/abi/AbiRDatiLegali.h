#pragma once
// The legal data of a beneficiary (one record: turnover, registrations with the court, the
// prefecture and the chamber of commerce, social-security and insurance codes), the beneficiaries
// that represent it, and its substitutions (one record: the beneficiary it replaced, shown, and the
// one that replaces it, edited). Representatives and substitutes are other beneficiaries, never the
// beneficiary itself; the go-to actions move the beneficiaries list to them.
#include "VoDBFrames.h"

class QLabel;
class TVoDBCurrencyEdit;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

class TfrDatiLegali : public TfrVoDBRW {
    Q_OBJECT
public:
    explicit TfrDatiLegali(QWidget *parent = nullptr);

    TVoDBEdit *xdeAnnoRif;
    TVoDBCurrencyEdit *xdeImportoFatt;
    TVoDBLookupEdit *xdlTribunale;
    TVoDBEdit *xdeNumTrib;
    TVoDBLookupEdit *xdlPrefettura;
    TVoDBEdit *xdeNumPref;
    TVoDBLookupEdit *xdlCCIA;
    TVoDBEdit *xdeNumCCIA;
    TVoDBEdit *xdeInps;
    TVoDBEdit *xdeInail;

    void xacInsertExecute(TVoDataAction *Sender);
    void xacPostExecute(TVoDataAction *Sender);
    void xdlComuneSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlComuneShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);

private:
    // A registration: its number and its municipality go together.
    bool RegistrationComplete(TVoDBLookupEdit *place, TVoDBEdit *number);
};

class TfrRappresentanti : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrRappresentanti(QWidget *parent = nullptr);

    TVoDBLookupEdit *xdlRappresentante;
    TVoDBEdit *xdeCodFiscale;
    TVoDBEdit *xdePartitaIva;
    QAction *acRappresentante;

    void acRappresentanteExecute();
    void xdlRappresentanteSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlRappresentanteShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdsMainAfterStateChange(TVoDataSource *Sender);
};

class TfrSostituzioni : public TfrVoDBRW {
    Q_OBJECT
public:
    explicit TfrSostituzioni(QWidget *parent = nullptr);

    TVoDBEdit *xdeSostituito;
    TVoDBDateEdit *xddDataSostituito;
    TVoDBLookupEdit *xdlSostituente;
    TVoDBDateEdit *xddData;
    QAction *acSostituito;
    QAction *acSostituente;

    void acSostituitoExecute();
    void acSostituenteExecute();
    void xdlSostituenteSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlSostituenteShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xddDataAcceptDate(QWidget *Sender);
    void xacPostExecute(TVoDataAction *Sender);
    void xdsMainAfterStateChange(TVoDataSource *Sender);
};

// A lookup of the other beneficiaries, chosen from its search form only.
TVoDBLookupEdit *NewBeneficiariLookup(QWidget *parent);
