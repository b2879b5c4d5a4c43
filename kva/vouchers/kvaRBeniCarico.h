#pragma once
// The article rows of a loading voucher: the list of its rows and the detail of one. The user types
// a description; a drop-down offers the catalogue's articles that contain it, and choosing one takes
// its data. A description that matches none prepares a new article with the next code, created when
// the row is saved. Books have title, author and publisher in place of the description.
//
// The unloading rows frame is this one with the unloading profile: it offers only the articles in
// stock at the voucher's date, never makes an article, and takes the unit cost from the average cost.
#include "VoDBEditsFwd.h"
#include "VoDBFrames.h"

#include <QVariantHash>
#include <functional>

class QLabel;
class QTableView;
class QToolBar;
class QToolButton;
class TVoTableModel;

class TfrkvaBeniCarico : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrkvaBeniCarico(QWidget *parent = nullptr);

    // The list's amount column, whose field follows the register's VAT option.
    static constexpr int AmountColumn = 4;

    QLabel *const laDesc;
    TVoDBEdit *const xdeDesc;
    QToolButton *const Image1;
    TVoDBEdit *const xdeCod;
    // A book's author and publisher, shown for books only.
    TVoDBEdit *const xedAutore;
    TVoDBEdit *const xedEditore;
    TVoDBLookupEdit *const xelCategoria;
    TVoDBLookupEdit *const xelCodMerce;
    TVoDBLookupEdit *const xelDettMerce;
    TVoDBLookupEdit *const xelUniMis;
    TVoDBNumericEdit *const xneQuant;
    QLabel *const laIva;
    TVoDBCurrencyEdit *const xceImporto;
    TVoDBLookupEdit *const xelIva;
    TVoDBCurrencyEdit *const xceTotale;
    TVoDBLookupEdit *const xelCausale;
    TVoDBLookupEdit *const xelCondizione;
    TVoDBLookupEdit *const xelVociPro;
    TVoDBLookupEdit *const xelSede;
    TVoDBLookupEdit *const xelSettore;
    TVoDBLookupEdit *const xelResp;
    TVoDBLookupEdit *const xelColl;
    TVoDBMemo *const xmeNote;
    QToolBar *const tbMassa;
    // The whole catalogue, read at each insert or edit and narrowed on the client.
    TVoQueryCollection *const xqcArticoli;
    TVoTableModel *const ArticleModel;
    QTableView *const grArtSearch;

    // Sets the lists that depend on the register-year and the amounts by the register's VAT option
    // (costs typed with VAT: the total is the plain amount).
    void SetUp(bool vatIncluded);

    // Whether the typed description matches no article, so that saving the row makes one.
    bool NewArticle() const { return m_newArticle; }
    // The article a row being saved stands for, fixed once per save inside its transaction: a saved
    // row's own; for a new row the article chosen in the drop-down while the description still
    // reads as chosen, else the article of the description, made when there is none.
    int ArticleToSave();

    void xacInsertExecute();
    // The article search as a key released in the description runs it (F8: all articles).
    void SearchArticles(int key);
    // Chooses the article of a row of the drop-down (from 0).
    void ChooseArticle(int row);
    // The article the row's values name: the one chosen in the drop-down while the description still
    // reads as chosen, else the one of the description; -1 when there is none and create is not set.
    int RowArticle(bool create);
    // Unloading rows: called after each key released in the description and in the drop-down, and
    // after a click in it, so that the window prices the row.
    std::function<void()> AfterSearch;
    // Total = quantity × cost, with VAT when costs are typed without it.
    void ComputeTotal();

protected:
    // kind 0 loading, 1 unloading.
    TfrkvaBeniCarico(int kind, QWidget *parent);
    bool eventFilter(QObject *watched, QEvent *event) override;
    const int m_kind;

private:
    void SetUpLookups();
    void xdsMainDataChange(TVoField *field);
    void xdsMainAfterStateChange();
    void LoadArticles();
    void PresetCausal();
    void ApplyLayout(int category);
    void ShowBookRows(bool visible);
    // The article's fields become the user's to type.
    void OpenArticleFields();
    void ReleaseChosenArticle();
    void xelCategoriaChangeFKValue();
    void xelCodMerceChangeFKValue();
    void xelSettoreChangeFKValue();
    void RestrictResponsibles(const QVariant &sector);
    void LeaveDescription();
    void HideSearch();
    void xneQuantValidate(bool &Ok, QString &Msg);
    void SetUpUnloading();
    void RunAfterSearch();
    bool Loading() const { return m_kind == 0; }
    // The current row's field, or nullptr without an open collection.
    TVoField *RowField(const QString &name) const;

    bool m_newArticle = false;
    bool m_book = false;
    bool m_vatIncluded = false;
    // The article chosen in the drop-down and the description it gave.
    int m_chosenArticle = -1;
    QString m_chosenText;
    // What the row took from the article chosen (field -> value), and whether it is being given back.
    QVariantHash m_taken;
    bool m_releasing = false;
};
