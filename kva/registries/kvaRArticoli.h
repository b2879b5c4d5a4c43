#pragma once
// The list and detail of the article catalogue: code, description (for a book its title, author and
// publisher), category, goods code and its detail, unit of measure and VAT rate. Articles come from
// the voucher rows, never typed in here: the frame corrects them, shows an article's stock and starts
// the merging of a duplicate into another article.
#include "VoDBFrames.h"

class QFormLayout;
class QLabel;
class QMenu;
class QToolBar;
class TVoDBEdit;
class TVoDBLookupEdit;
class TVoSearchDialog;

// The articles with the descriptions of the codes they name, for the selects that show them. A macro,
// so that the statements stay string constants.
#define KVA_ARTICLES_WITH_CODES                                                                              \
    "FROM TFar_FacArticoli far LEFT JOIN TDCM_DETTCODMERC dcm ON (far.IDCMID = dcm.IDCMID) "                 \
    "LEFT JOIN TMER_CODICIMERCEOL mer ON (far.IMERID = mer.IMERID) "                                         \
    "LEFT JOIN TCAF_CATEGORIEFAC caf ON (far.ICAFID = caf.ICAFID) "                                          \
    "LEFT JOIN TALV_ALIQUOTEIVA alv ON (far.IALVID = alv.IALVID) "                                           \
    "LEFT JOIN TUNM_UNITAMISURA unm ON (far.IUNMID = unm.IUNMID) "

// The five lookups of an article's codes (category, goods code, its detail, unit of measure, VAT
// rate), with their keys, shown columns, search forms and unrestricted lists.
void kvaSetUpArticleLookups(TVoDBLookupEdit *cat, TVoDBLookupEdit *codMerce, TVoDBLookupEdit *dettCodMerce,
                            TVoDBLookupEdit *uniMis, TVoDBLookupEdit *iva);

// A book's author and publisher as rows of a form from the given row on, bound to the row's book
// fields.
void kvaAddBookRows(QFormLayout *form, int row, TVoDBEdit *author, TVoDBEdit *publisher,
                    TVoDataSource *source);

// What a missing goods code of an article of the category asks: its word, or, when the category has
// no goods code to choose, where they are given.
extern const QString kvaGoodsCodeWord;
QString kvaGoodsCodeRequired(const QVariant &category);

// The goods codes linked to a category, and the details of a goods code, as a lookup's list.
void kvaRestrictGoodsCodes(TVoDBLookupEdit *codMerce, const QVariant &category);
void kvaRestrictDetails(TVoDBLookupEdit *dettCodMerce, const QVariant &goodsCode);
// Every goods code and every detail again, as the lookups list them unrestricted.
void kvaShowAllCodes(TVoDBLookupEdit *codMerce, TVoDBLookupEdit *dettCodMerce);

class TfrkvaArticoli : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaArticoli(QWidget *parent = nullptr);

    TVoDBEdit *const xedCodice;
    QLabel *const laDesc;
    TVoDBEdit *const xedDesc;
    QWidget *const paBeneLibro;
    TVoDBEdit *const xedAutore;
    TVoDBEdit *const xedEditore;
    QLabel *const laDescLibro;
    TVoDBLookupEdit *const xelCat;
    TVoDBLookupEdit *const xelCodMerce;
    TVoDBLookupEdit *const xelDettCodMerce;
    TVoDBLookupEdit *const xelUniMis;
    TVoDBLookupEdit *const xelIva;

    QToolBar *const xoaUtility;
    QAction *const xacGiacenza;
    QAction *const xacSostituisci;
    QMenu *const pmGiac;

    // Whether the detail shows a book (its category is the books category).
    bool BookMode() const { return m_book; }

    void xacGiacenzaExecute();
    void xacSostituisciExecute();

private:
    void xdsMainDataChange(TVoField *Field);
    void xdsMainAfterStateChange();
    void pcMainChanging();
    void xelCatChangeFKValue();
    void xelCodMerceChangeFKValue();
    void xedCodiceValidate(bool &Ok, QString &Msg);
    // Book or not by the category: the description's label and field, the book panel.
    void SetBookMode(int category, bool recordChanged);
    // The goods codes of the current category and the details of the current goods code.
    void RestrictGoodsCodes(const QVariant &category);
    void RestrictDetails(const QVariant &goodsCode);

    bool m_book = false;
};
