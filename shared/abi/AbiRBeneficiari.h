#pragma once
// The beneficiaries themselves (list and detail over xqcBeneficiari of the beneficiaries module): a
// company or body, or a person whose civil data live in the shared persons table. The kind shown
// decides, on every row and every click of the kind, which statements a post runs (the module's
// FillBeneficiariStatements) and what the current beneficiary (BenType) is. A company turned person
// gets its person row when saved; a new person may be taken from the persons on file.
//
// The list narrows to the names holding the text typed in the search box, 700 ms after the last key,
// and shows either the active beneficiaries or the historicised ones. In publishers mode the
// publisher's box and code are kept too.
#include "VoDBFrames.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;
class TVoAttShell;
class TVoDBCheckBox;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

// Shows the historicised beneficiaries of a list, or the active ones.
void ShowHistoricisedBeneficiari(TVoQueryCollection *beneficiari, bool historicised);

class TfrBeneficiari : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrBeneficiari(QWidget *parent = nullptr);

    // The kinds of rgPersona.
    enum { rgGiuridica = 0, rgFisica = 1 };

    QGroupBox *rgPersona;
    QButtonGroup *rgPersonaItems;
    QGroupBox *gbEditore;
    QCheckBox *ckEditore;
    QLabel *laAIE;
    TVoDBLookupEdit *xdlAIE;
    QLabel *laRagSoc;
    TVoDBEdit *xdeRagSoc;
    QLabel *laCognome;
    TVoDBEdit *xdeCognome;
    QLabel *laNome;
    TVoDBEdit *xdeNome;
    QLabel *laDataNascita;
    TVoDBDateEdit *xddDataNascita;
    QLabel *laLuogoNascita;
    TVoDBLookupEdit *xdlLuogoNascita;
    QLabel *laNote;
    TVoDBEdit *xdeNote;
    TVoDBCheckBox *ckAvvPagamento;
    TVoDBCheckBox *ckPrivacy;
    QLabel *laCodFis;
    TVoDBEdit *xdeCodFis;
    TVoDBCheckBox *ckEstero;
    QLabel *laPIVA;
    TVoDBEdit *xdePIVA;
    QLabel *laStato;
    TVoDBEdit *xdeStato;
    TVoDBCheckBox *xckTracc;
    QGroupBox *gbAdempimenti;
    TVoDBCheckBox *xckInRegola;
    QLabel *laAdempFiscData;
    TVoDBDateEdit *xddAdempFiscData;
    TVoDBCheckBox *ckStoric;

    QAction *acStor;
    QToolButton *obStor;
    QAction *acRicerca;
    QToolButton *obRicerca;
    QLineEdit *edRicerca;
    QTimer *tmRicerca;
    // The persons on file with a tax code, offered when a new beneficiary is made a person.
    TVoSearchDialog *xsdPersFisiche = nullptr;
    // Opens the report of the beneficiaries whose IBAN could not be recomputed.
    TVoAttShell *axShellError;

    // The frame's own pictures, after those of the standard actions.
    int imgRicerca;
    int imgAnnullaRicerca;
    int imgPrivacy;
    int imgAttivi;
    int imgStoricizzati;

    // The list's column of the privacy picture.
    int PrivacyColumn() const { return m_privacyColumn; }
    // Whether the historicised beneficiaries are shown.
    bool ShowingHistoricised() const { return m_historicised; }
    // The kind shown: rgGiuridica or rgFisica.
    int Persona() const;

    void rgPersonaClick();
    void ckEditoreClick();
    void xdsMainDataChange(TVoDataSource *Sender, TVoField *Field);
    void xacInsertExecute(TVoDataAction *Sender);
    void xacPostExecute(TVoDataAction *Sender);
    void xacCancelExecute(TVoDataAction *Sender);
    void xdlAIEShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xddDataNascitaAcceptDate(QWidget *Sender);
    void xdlLuogoNascitaSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlLuogoNascitaShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void acRicercaExecute();
    void edRicercaChange();
    void edRicercaEnter();
    void edRicercaExit();
    void tmRicercaTimer();
    void grFrameDrawColumnCell(TVoDBGrid *Sender, QPainter *Painter, const QRect &Rect, int Row, int Column);
    void xsdPersFisicheClose(TVoSearchDialog *Sender);
    void acStorExecute();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetPersona(int kind);
    // The places of the controls for the kind shown, the current beneficiary and the statements of
    // the next post.
    void RelayoutAndStatements();
    // Fills the edits from a person on file.
    void FillPerson(int personId);
    // Whether the search box holds text typed by the user (not empty, not its placeholder).
    bool SearchTyped() const;
    void ShowSearchPlaceholder();
    // While browsing on the detail page, a choice that contradicts the row starts editing it.
    bool BrowsingDetail() const;
    void EditForChoice();
    QVariant RowValue(const char *field) const;
    void SetFieldValue(const char *field, const QVariant &value);

    QGridLayout *m_grid;
    int m_persona = rgGiuridica;
    int m_privacyColumn = -1;
    bool m_historicised = false;
};
