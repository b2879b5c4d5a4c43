#pragma once
// The seats of a beneficiary (list and detail over xqcSedi of the beneficiaries module), exactly one
// of which is its reference seat, and the types of the current seat. The seat frame carries the
// registry's locality entry: a municipality, then a postcode and a hamlet that together name one
// locality row, found or made when the address is saved; the payee frame has one of its own.
#include "VoDBFrames.h"

class QLabel;
class TVoDBCheckBox;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;
struct TComCapFraType;

// A municipality lookup, a postcode and a hamlet on a frame's detail page, kept in a locality record.
// A municipality with exactly one locality fills postcode and hamlet; typing in them leaves the
// locality to be found or made; F8 in either lists the localities of the municipality.
class TAbiLocalityEntry : public QObject {
    Q_OBJECT
public:
    TAbiLocalityEntry(TfrVoDBRWGrid *frame, TComCapFraType &locality);

    QLabel *laComune;
    TVoDBLookupEdit *xdlComune;
    QLabel *laCAP;
    TVoDBEdit *xdeCAP;
    QLabel *laFraQua;
    TVoDBEdit *xdeFraQua;
    TVoSearchDialog *fmSearchDialog;

    // Before the address is saved: the record takes the municipality, postcode and hamlet shown and
    // their locality is found or made. False when that failed (its message shown).
    bool Resolve();

    void xdlComuneSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlComuneShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlComuneChangeFKValue(TVoDBLookupEdit *Sender);
    void xdeCAPKeyDown(int &Key);
    void xdeFraQuaKeyDown(int &Key);
    void fmSearchDialogClose(TVoSearchDialog *Sender);

private:
    // Shows postcode and hamlet, writing them into the row while it is edited.
    void ShowLocality(const QVariant &cap, const QVariant &fraQua);
    void SetField(const char *field, const QVariant &value);
    void SearchLocality();
    void KeyDown(int &key, bool cap);
    // Whether a key changes the text (not F8, not a move).
    static bool Typing(int key);
    // A key about to change the text of a row being browsed starts editing it first.
    void BeginTyping();

    TfrVoDBRWGrid *m_frame;
    TComCapFraType &m_locality;
};

class TfrSedi : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrSedi(QWidget *parent = nullptr);

    QLabel *laIndirizzo;
    TVoDBEdit *xdeIndirizzo;
    TAbiLocalityEntry *Locality;
    TVoDBLookupEdit *xdlComune;
    TVoDBEdit *xdeCAP;
    TVoDBEdit *xdeFraQua;
    TVoDBCheckBox *xckRiferimento;
    TVoSearchDialog *fmSearchDialog;

    void xacPostExecute(TVoDataAction *Sender);
    void xacDeleteExecute(TVoDataAction *Sender);

private:
    // The seats saved so far (a seat being inserted is not one).
    int SavedSeats() const;
    // Asks whether the seat becomes the reference seat; No puts the focus on the box.
    bool ConfirmReference();
    // A warning (OK) at a control; the post stops.
    void Warn(const QString &message, QWidget *control);
    // A question (Yes, No) at a control; any answer but Yes stops the post there.
    bool Ask(const QString &message, QWidget *control);
};

class TfrTipoSede : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrTipoSede(QWidget *parent = nullptr);

    QLabel *laTipoSede;
    TVoDBLookupEdit *xdlTipoSede;

    void xdlTipoSedeShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
};
