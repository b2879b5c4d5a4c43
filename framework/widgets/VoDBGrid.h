#pragma once
// The grid of a data source: one row per record, columns chosen by field with titles, widths,
// alignment and display formats. The grid's current row and the collection's cursor follow each
// other: moving in the grid moves the cursor (posting a row being edited first; when the post is
// refused the grid goes back), and moving the cursor from code moves the grid.
//
// Sorting: the column sort index (TVoColsIndex) says which columns sort and on which fields.
// Clicking the title of such a column sorts on its fields, a second click reverses. Since the
// collection reads its rows in packets, sorting the rows in memory would only order those read so
// far: the collection is opened again with the select's ORDER BY replaced (by the fields'
// positions in the select), and the cursor goes back to the row it stood on when that row is among
// as many rows as were read before, else to the first. The search box of a list frame offers the
// columns whose item has the text flag.
//
// Drawing: after a cell is drawn as usual, OnDrawColumnCell may paint over it (a picture of the
// frame's image list on the rows that call for one).
#include "VoEvent.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableView>

class QPainter;
class TVoDataSource;
class TVoQueryCollection;
class TVoTableModel;

struct TVoColsIndexItem {
    // The grid column the item sorts.
    int Column = -1;
    // Fields, separated by ";", of the ascending and of the descending sort (the ascending ones
    // when empty).
    QString SortFields;
    QString DescSortFields;
    // A text column: offered by the search box.
    bool Text = false;

    QStringList SortFieldList() const;
    QStringList DescSortFieldList() const;
    // Whether one of its fields (ascending or descending) is the field, ignoring case.
    bool HasField(const QString &fieldName) const;
};

class TVoColsIndex {
public:
    void Clear() { m_items.clear(); }
    TVoColsIndexItem &Add(int column, const QString &sortFields, const QString &descSortFields = QString(),
                          bool text = false);
    int Count() const { return int(m_items.size()); }
    TVoColsIndexItem &operator[](int index) { return m_items[index]; }
    const TVoColsIndexItem &operator[](int index) const { return m_items[index]; }
    TVoColsIndexItem *ItemOfColumn(int column);
    const TVoColsIndexItem *ItemOfColumn(int column) const;
    // The item one of whose fields is the field, or nullptr.
    const TVoColsIndexItem *ItemOfField(const QString &fieldName) const;

private:
    QList<TVoColsIndexItem> m_items;
};

class TVoDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TVoDBGrid(QWidget *parent = nullptr);
    ~TVoDBGrid() override;

    TVoDataSource *DataSource() const { return m_dataSource; }
    void SetDataSource(TVoDataSource *dataSource);
    TVoTableModel *Model() const { return m_model; }

    // Columns; without any, every field is shown. A column is never narrower than its title. Returns
    // the column's index.
    int AddColumn(const QString &fieldName, const QString &title = QString(), int width = 0,
                  Qt::Alignment alignment = {}, const QString &displayFormat = QString());
    void ClearColumns();
    int ColumnCount() const;
    QString ColumnField(int column) const;
    void SetColumnField(int column, const QString &fieldName);
    QString ColumnTitle(int column) const;
    void SetColumnTitle(int column, const QString &title);
    void SetColumnWidth(int column, int width);
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    void SetColumnVisible(int column, bool visible);
    bool ColumnVisible(int column) const { return !isColumnHidden(column); }

    TVoColsIndex &ColsIndex() { return m_colsIndex; }
    // Sorts on the index item of a column; false when the column has none or the row being
    // edited could not be posted.
    bool SortByColumn(int column, bool descending = false);
    int SortedColumn() const { return m_sortColumn; }
    bool SortedDescending() const { return m_sortDescending; }

    int CurrentColumn() const { return currentIndex().column(); }

    // A column title was clicked (after the sort it caused).
    TVoEvent<TVoDBGrid *, int> OnTitleClick;
    // The current column changed (the rows read again keep the column entered: no change).
    TVoEvent<TVoDBGrid *, int> OnColEnter;
    // Enter or a double click on a row. Without a handler Enter goes on to the window (a dialog's
    // default button).
    TVoEvent<TVoDBGrid *> OnRowActivated;
    // A cell was drawn: the painter, the cell's rectangle, its row (as the collection shows its rows,
    // from 0: RowValue reads it) and its column.
    TVoEvent<TVoDBGrid *, QPainter *, const QRect &, int, int> OnDrawColumnCell;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    TVoQueryCollection *Collection() const;
    void Bind();
    void FollowCursor();
    void ApplyWidths();
    // The width that shows a column's whole title.
    int TitleWidth(int column) const;
    // Gives a column a width, widened to its title.
    void FitColumn(int column, int width);
    void RowActivated();

    QPointer<TVoDataSource> m_dataSource;
    TVoTableModel *m_model;
    TVoColsIndex m_colsIndex;
    QList<int> m_widths;
    TVoHooks m_hooks;
    int m_sortColumn = -1;
    int m_enteredColumn = -1;
    bool m_sortDescending = false;
    bool m_following = false;
    bool m_modelChanging = false;
};
