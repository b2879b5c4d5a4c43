#pragma once
// The base of the import wizards: a list page where the user picks what to take over (a voucher or a
// movement of another program), and a goods page where each row is completed through searches, one
// per selectable column, for that row or ("Selezione Unica ...") for every row. OK checks the rows,
// asks for confirmation and posts in one transaction: a failure rolls everything back and leaves the
// wizard open on its rows; a source taken over meanwhile writes nothing.
#include "VoDialogs.h"
#include "VoSearchDialog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>

class QPushButton;
class TVoDBGrid;
class TVoDataSource;
class TVoQueryCollection;
class TVoStringGrid;
class TVoProgressScope;

// A column of the goods grid that the user completes with a search.
struct TVoImpSearch {
    int column = -1;   // the text the user sees
    int idColumn = -1; // the key chosen
    QString buttonCaption;
    QString sql;
    QString keyField;
    QString shownField;
    QString shownTitle;
    // Cells of the row emptied when a pick changes the column's text, and when a search is cancelled.
    QList<int> emptiedOnChange;
    // The row's cell bound to the search's one parameter; a row with an empty cell lists nothing.
    QString paramName;
    int paramColumn = -1;
    // A cancelled search of one row empties only the text: the key stays and the row's check refuses it.
    bool keepIdOnCancel = false;
    // The columns the search lists (by position); none: the second column, titled shownTitle.
    QList<TVoShownColumn> listed;
};

class TfmVoImpWizard : public TfmVoWizard {
    Q_OBJECT
public:
    explicit TfmVoImpWizard(QWidget *parent = nullptr);

    QWidget *tbBuoni;
    TVoDBGrid *sgBuoni;
    TVoDataSource *xdsMainBuoni;
    TVoQueryCollection *xqcBuoni;
    QWidget *tbArticoli;
    TVoStringGrid *sgArticoli;
    TVoSearchDialog *fmSearchDialog;

    // The "Selezione Unica ..." button of a selectable column.
    QPushButton *SameButton(int column) const;
    // Runs the search of a column for one row (as F8 does there).
    void SearchCell(int column, int row);
    // Runs the search of a column for every row (as its "Selezione Unica ..." button does).
    void SearchAll(int column);

protected:
    // The list page: its select with one parameter, and its columns (set before FormCreate).
    void SetList(const QString &sql, const QString &paramName, const QVariant &paramValue);
    void AddSearch(const TVoImpSearch &search);
    // Sizes the goods grid; only the columns listed (column, title, width) are shown.
    struct TShownColumn {
        int column;
        QString title;
        int width;
    };
    void SetGoodsColumns(int count, std::initializer_list<TShownColumn> shown);
    void FormCreate() override;
    void FormClose(TCloseAction &Action) override;
    void NavigatorClick(QObject *Sender) override;
    void buOkClick() override;

    // Asked before the goods of the picked source are loaded; false when the wizard must not go on.
    virtual bool GoodsAllowed();
    // Fills the goods grid from the picked source.
    virtual void LoadGoods() = 0;
    // Checks the rows before anything is asked or written; false when a message stopped the import.
    virtual bool RowsComplete() = 0;
    // The question asked before posting; none when empty.
    virtual QString ConfirmationText() = 0;
    // Writes the import inside the open transaction; false when the source was taken already.
    virtual bool Post() = 0;
    // What the user reads when Post found the source taken already.
    virtual QString AlreadyImportedText() = 0;
    // The text a pick writes into the column: the search's shown field (else its second column).
    virtual QString PickedText(const TVoImpSearch &search);
    // Whether the "Selezione Unica ..." search of a column may run now (false after telling why).
    virtual bool SameForAllAllowed(int column);

    // Empties the goods grid to its titles and one empty row, then adds a row per call.
    void ClearGoods();
    int AppendGoodsRow();
    void DropTrailingRow();
    // The first row whose cell in a column is empty, 0 when none.
    int FirstEmpty(int column) const;
    // A cell read as an integer: -1 for an empty or non-numeric text.
    int CellId(int column, int row) const;
    QVariant CellIdOrNull(int column, int row) const;
    // Decimal numbers as the grid shows them (comma separator) and back.
    static QString DecimalText(double value);
    static double DecimalOf(const QString &text);
    static bool TryDecimal(const QString &text, double *value);
    // A cell read as a decimal number; a text that is not one raises EVoError naming it.
    double CellNumber(int column, int row) const;

    // Checks, asks and posts in one transaction; whether the import was written. An error of the post
    // rolls it back and reaches the caller. The post runs under the wait window, whose "Annulla" rolls
    // it back as well, silently (EVoAbort).
    bool ImportSelected();
    // Called by Post as it writes a row of the goods grid: moves the wait window's count to that row,
    // and ends the post there once the user pressed "Annulla".
    void StepRow(int row);

private:
    void ColumnFocused(int column);
    bool RunSearch(const TVoImpSearch &search, int row, QVariant *key, QString *text);
    const TVoImpSearch *SearchOf(int column) const;

    QString m_listSQL;
    QString m_listParam;
    QVariant m_listValue;
    QList<TVoImpSearch> m_searches;
    QList<QPushButton *> m_sameButtons;
    // The wait window's progress while Post runs.
    TVoProgressScope *m_progress = nullptr;
    // Whether the last turn of the pages filled the goods grid.
    bool m_goodsLoaded = false;
};
