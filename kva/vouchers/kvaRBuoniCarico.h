#pragma once
// The header frame of the loading-voucher window: the list of the register-year's loading vouchers
// and the detail of one. The window binds it to its header collection and sets its rules. The
// unloading window's header frame is this one without supplier and "Scaricato".
#include "VoDBEditsFwd.h"
#include "VoDBFrames.h"

class TfrkvaBuoniCarico : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaBuoniCarico(QWidget *parent = nullptr);

    // The list's amount column, whose field the window chooses by the register's VAT option.
    static constexpr int AmountColumn = 4;

    TVoDBDateEdit *const xdeData;
    TVoDBEdit *const xedDescr;
    TVoDBLookupEdit *const xelBenef;
    TVoDBEdit *const xedNumProt;
    TVoDBDateEdit *const xdeDataProt;
    TVoDBNumericEdit *const xneNumero;
    TVoDBCurrencyEdit *const xceImportoBeni;
    TVoDBCheckBox *const xckScaricato;

protected:
    // kind 0 loading, 1 unloading.
    TfrkvaBuoniCarico(int kind, QWidget *parent);
};
