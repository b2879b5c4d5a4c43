#pragma once
// The header frame of the loading-voucher window: the register-year's loading vouchers and the
// detail of one. The window binds it to its vouchers and sets its lookups' lists and its rules.
#include "VoDBEditsFwd.h"
#include "VoDBFrames.h"

class QToolBar;

class TfrkvbBuoniCarico : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbBuoniCarico(QWidget *parent = nullptr);

    TVoDBNumericEdit *const xneNumero;
    TVoDBDateEdit *const xdeData;
    TVoDBEdit *const xedDescr;
    TVoDBLookupEdit *const xelBenef;
    TVoDBLookupEdit *const xelDelibera;
    TVoDBEdit *const xedNumProt;
    TVoDBDateEdit *const xdeDataProt;
    TVoDBCurrencyEdit *const xceImporto;
    TVoDBCurrencyEdit *const xceImportoBeni;
    TVoDBCheckBox *const xdcRicogniz;
};
