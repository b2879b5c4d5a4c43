#pragma once
// The list and detail of the registers: description, type (chosen once, when the register is made)
// and the two options that change how its vouchers behave.
#include "VoDBFrames.h"

class QLabel;
class TVoDBCheckBox;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

class TfrkvaTFac : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaTFac(QWidget *parent = nullptr);

    QLabel *laDesc;
    TVoDBEdit *xdeDesc;
    QLabel *laTipoFac;
    TVoDBLookupEdit *xelTipoFac;
    TVoDBCheckBox *xckIva;
    TVoDBCheckBox *xckNumAnnuale;

    void xdeDescValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void xelTipoFacValidate(QWidget *Sender, bool &Ok, QString &Msg);
    void xelTipoFacShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xdsMainAfterStateChange(TVoDataSource *Sender);
    void xdsMainDataChange(TVoDataSource *Sender, TVoField *Field);
    void tsDetailShow(TfrVoDBRWGrid *Sender);

private:
    // The check box of an option may be set while the register holds it set, or has never been given
    // it (NULL); an option stored as clear cannot be set again. While a register is being made both
    // boxes stay free.
    void ApplyOptionRule();
};
