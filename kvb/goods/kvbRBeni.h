#pragma once
// The frame of the goods list: the goods of the register in a grid coloured by state, and a detail
// page where only a good's condition, goods code and notes can be corrected. Its tool bar changes
// the current good's delivery sector and opens its histories.
#include "VoDBEditsFwd.h"
#include "VoDBFrames.h"

#include <memory>

class QAction;
class QToolBar;
class TVoCustomAtt;
class TfrKvbRicerca;

class TfrkvbBeni : public TfrVoDBRWGrid {
    Q_OBJECT
    // First: the controls are placed in it by the members' initialisers.
    struct TLayout;
    std::unique_ptr<TLayout> m_layout;

public:
    explicit TfrkvbBeni(QWidget *parent = nullptr);
    ~TfrkvbBeni() override;

    TVoDBNumericEdit *const xneNumero;
    TVoDBEdit *const xedDescr;
    TVoDBMoneyEdit *const xceImporto;
    TVoDBEdit *const xedCategoria;
    TVoDBEdit *const xedCausale;
    TVoDBEdit *const xedCausaleSca;
    TVoDBLookupEdit *const xelCondizione;
    TVoDBEdit *const xedSettore;
    TVoDBLookupEdit *const xelCodMerce;
    TVoDBMemo *const xmeNote;

    QToolBar *const xoaCustomMass;
    QAction *const xacStorLuogo;
    QAction *const xacViewImporti;
    QAction *const xacViewSettori;
    QAction *const xacViewSedi;
    TfrKvbRicerca *const frRicerca;

    // The sector-change dialog for the current good; the list is read again after a change.
    void xacStorLuogoExecute();
    // The histories of the current good.
    void xacViewImportiExecute();
    void xacViewSettoriExecute();
    void xacViewSediExecute();

    // The colour of a good's text by its state (invalid: the grid's own).
    static QVariant StateColour(int state);

private:
    void ShowHistory(TVoCustomAtt *menuItem);
};
