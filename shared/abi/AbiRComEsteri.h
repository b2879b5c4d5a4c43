#pragma once
// The foreign municipalities and cities (list and detail over xqcComuniEsteri of the municipalities'
// module): the city, its state, and the cadastral and statistics codes, which the state chosen
// brings with it.
#include "VoDBFrames.h"

class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

class TfrComEsteri : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrComEsteri(QWidget *parent = nullptr);

    TVoDBLookupEdit *xelStato;
    TVoDBEdit *xdeComune;
    TVoDBEdit *xdeCodCatasto;
    TVoDBEdit *xdeCodIstat;

    // The state a new city takes; 0 or less: none.
    int DefaultStateId = 0;

    void xelStatoShowSearchForm(TVoDBLookupEdit *Sender, TVoSearchDialog *Form);
    void xelStatoChangeFKValue(TVoDBLookupEdit *Sender);
};
