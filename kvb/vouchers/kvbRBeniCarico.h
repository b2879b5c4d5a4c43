#pragma once
// The goods frame of the loading-voucher window: the goods a voucher takes in charge, and one good's
// loading data. A book (category 8) is described by its title, author and publisher instead of a
// description. The window gives the frame its collection, its lookups' lists and the numbering.
#include "VoDBEditsFwd.h"
#include "VoDBFrames.h"

#include <memory>

class QTabWidget;
class TVoSearchDialog;
class TfrkvbInbVer;

// The category of books.
inline constexpr int kvbCategoriaLibri = 8;

class TfrkvbBeniCarico : public TfrVoDBRWGrid {
    Q_OBJECT
    // First: the panels and pages that the controls below stand on.
    struct TLayout;
    std::unique_ptr<TLayout> m_layout;

public:
    explicit TfrkvbBeniCarico(QWidget *parent = nullptr);
    ~TfrkvbBeniCarico() override;

    TVoDBNumericEdit *const xneNumero;
    TVoDBCurrencyEdit *const xceImporto;
    TVoDBEdit *const xedMatricola;
    TVoDBEdit *const xedCodNum;
    QWidget *const paBeneNorm;
    TVoDBEdit *const xedDescr;
    QWidget *const paBeneLibro;
    TVoDBEdit *const xedTitolo;
    TVoDBEdit *const xedAutore;
    TVoDBEdit *const xedEditore;
    QTabWidget *const pcPagine;
    TVoDBLookupEdit *const xelCategoria;
    TVoDBLookupEdit *const xelCodMerce;
    TVoDBLookupEdit *const xelVociPro;
    TVoDBNumericEdit *const xneAnnoAssunz;
    TVoDBLookupEdit *const xelCondizione;
    TVoDBLookupEdit *const xelSede;
    TVoDBLookupEdit *const xelSettore;
    TVoDBLookupEdit *const xelColl;
    TVoDBLookupEdit *const xelCausale;
    TVoDBMemo *const xmeNote;
    TfrkvbInbVer *const frVerbali;

    // The category chosen, 0 when none.
    int Categoria() const;
    // Book or not: the panel shown and the goods codes offered follow the category.
    void xelCategoriaChangeFKValue();

private:
    void xdsMainAfterStateChange();
};
