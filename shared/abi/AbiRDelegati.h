#pragma once
// The people of a payment method: the persons delegated to operate on the account, each with a
// validity period, and the payee who signs the receipt, with tax code and address. Once a payee has
// a name, its tax code, address, postcode and municipality are required; its locality is its own,
// found or made when it is saved.
#include "VoDBFrames.h"

class TAbiLocalityEntry;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

class TfrDelegatiConto : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrDelegatiConto(QWidget *parent = nullptr);

    TVoDBEdit *xdeCognome;
    TVoDBEdit *xdeNome;
    TVoDBEdit *xdeCodFiscale;
    TVoDBDateEdit *xddStart;
    TVoDBDateEdit *xddEnd;
};

class TfrQuietanzante : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrQuietanzante(QWidget *parent = nullptr);

    TVoDBEdit *xdeNominativo;
    TVoDBEdit *xdeIndirizzo;
    TAbiLocalityEntry *Locality;
    TVoDBLookupEdit *xdlComune;
    TVoDBEdit *xdeCAP;
    TVoDBEdit *xdeFraQua;
    TVoDBEdit *xdeCodFiscale;
    TVoSearchDialog *fmSearchDialog;

    void xacPostExecute(TVoDataAction *Sender);

private:
    // A field the payee's name makes required.
    void Require(QWidget *control, const char *message, std::function<bool()> given);
};
