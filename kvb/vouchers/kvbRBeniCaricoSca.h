#pragma once
// The goods frame of the unloading-voucher window: the goods a voucher discharges, and one good's
// unloading data. The good is chosen by its number; its description, category and condition are shown
// beside it and only its unloading cause and value are written.
#include "VoDBEditsFwd.h"
#include "VoDBFrames.h"

class TfrkvbBeniCaricoSca : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvbBeniCaricoSca(QWidget *parent = nullptr);

    TVoDBLookupEdit *const xelNumero;
    TVoDBCurrencyEdit *const xceImporto;
    TVoDBLookupEdit *const xelDesc;
    TVoDBEdit *const xedTitolo;
    TVoDBEdit *const xedAutore;
    TVoDBEdit *const xedEditore;
    TVoDBLookupEdit *const xelCond;
    TVoDBLookupEdit *const xelCateg;
    TVoDBLookupEdit *const xelCausale;

    // The description, category and condition of the good chosen by number.
    void xelNumeroChangeFKValue();
    // A book is shown by its title, author and publisher instead of its description.
    void ShowBook(bool book);
};
