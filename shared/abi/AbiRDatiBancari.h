#pragma once
// The payment methods of a beneficiary (list and detail over xqcDatiBancari of the beneficiaries
// module): the Italian coordinates (bank, branch, account, CIN) with the IBAN built from them, or a
// foreign bank's IBAN and BIC. Its post holds the registry's rules: which methods need an account,
// when bank, branch and account require each other, and how the IBAN is checked against the
// coordinates and rebuilt from them.
#include "VoDBFrames.h"

class QGroupBox;
class QLabel;
class QPushButton;
class TVoDBCheckBox;
class TVoDBDateEdit;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

class TfrDatiBancari : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrDatiBancari(QWidget *parent = nullptr);

    QLabel *laModPag;
    TVoDBLookupEdit *xdlModPag;
    QLabel *laABI;
    TVoDBLookupEdit *xdlABI;
    QLabel *laNomeBanca;
    QLabel *laCAB;
    TVoDBLookupEdit *xdlCAB;
    QLabel *laNomeSportello;
    QLabel *laNumCC;
    TVoDBEdit *xdeNumCC;
    QLabel *laCIN;
    TVoDBEdit *xdCIN;
    QGroupBox *gbIban;
    QLabel *laStato;
    TVoDBEdit *xdeStato;
    QLabel *laCinInt;
    TVoDBEdit *xdeCinInt;
    QLabel *laIban;
    TVoDBEdit *xdeIban;
    QLabel *laTotCaratteri;
    QLabel *laNumCaratteri;
    QPushButton *btnInsIban;
    QLabel *laBic;
    TVoDBEdit *xdeBic;
    QLabel *laDataFinVal;
    TVoDBDateEdit *xddDataFinVal;
    TVoDBCheckBox *xckContoDed;
    TVoDBCheckBox *ckBancaEstera;

    void xdlModPagSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlModPagShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlModPagChangeFKValue(TVoDBLookupEdit *Sender);
    void xdlABISetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlABIShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlABIChange(QWidget *Sender);
    void xdlABIChangeFKValue(TVoDBLookupEdit *Sender);
    void xdlCABSetSearchQuery(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlCABShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdlCABChange(QWidget *Sender);
    void xdeNumCCClick();
    void xdeIbanChange(QWidget *Sender);
    void xdeBicValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void btnInsIbanClick();
    void xacPostExecute(TVoDataAction *Sender);
    void xacCancelExecute(TVoDataAction *Sender);
    void xdsMainDataChange(TVoDataSource *Sender, TVoField *Field);
    void xdsMainAfterStateChange(TVoDataSource *Sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The bank lookup offers the banks of the chosen payment method.
    void SetBankList();
    // The national coordinates are disabled for a foreign bank.
    void EnableNationalGroup(bool enabled);
    // IBAN, country, check digits and CIN from bank, branch and account, when all three are there.
    void RebuildIban();
    // The IBAN the coordinates give; an account that gives none stops the post at its control.
    QString CheckedIban();
    // The coordinates as they stand, joined.
    QString FieldsIban() const;
    // Tells the rule, puts the focus on the control at fault and stops the post.
    [[noreturn]] void Refuse(const QString &message, QWidget *control);

    QVariant Value(const char *field) const;
    QString Text(const char *field) const;
    void SetValue(const char *field, const QVariant &value);
};
