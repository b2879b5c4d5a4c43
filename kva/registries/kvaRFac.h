#pragma once
// The list and detail of the consumables registers: the common one (AbcFFac.h) with the two options
// that change how a register's vouchers behave.
#include "AbcFFac.h"

class TVoDBCheckBox;

class TfrkvaTFac : public TfrAbcTFac {
    Q_OBJECT
public:
    explicit TfrkvaTFac(QWidget *parent = nullptr);

    TVoDBCheckBox *xckIva;
    TVoDBCheckBox *xckNumAnnuale;

    void xdsMainAfterStateChange(TVoDataSource *Sender);
    void xdsMainDataChange(TVoDataSource *Sender, TVoField *Field);
    void tsDetailShow(TfrVoDBRWGrid *Sender);

private:
    // The check box of an option may be set while the register holds it set, or has never been given
    // it (NULL); an option stored as clear cannot be set again. While a register is being made both
    // boxes stay free.
    void ApplyOptionRule();
};
