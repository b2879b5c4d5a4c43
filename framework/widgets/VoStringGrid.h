#pragma once
// A grid of texts addressed as Cells(column, row), row 0 being the titles: the rows a window fills
// from a query and then has the user complete through searches rather than typing. Only the columns
// declared selectable take the focus; the focused one shows a marker image at its right edge. Typed
// characters are discarded (Enter excepted); F8 or a double click in a selectable column asks the
// window to search for the focused cell.
#include "VoEvent.h"

#include <QIcon>
#include <QList>
#include <QTableWidget>

class TVoStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TVoStringGrid(QWidget *parent = nullptr);

    // Rows counted with the title row.
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);
    int ColCount() const { return columnCount(); }
    void SetColCount(int columns);
    QString Cells(int column, int row) const;
    void SetCells(int column, int row, const QString &text);
    // A column's title and width; a width below 0 hides the column.
    void SetColumn(int column, const QString &title, int width);
    void SetSelectableColumns(const QList<int> &columns);
    bool IsSelectable(int column) const { return m_selectable.contains(column); }
    // The focused cell's column and row (grid rows, titles being 0); -1 when none.
    int Col() const;
    int Row() const;
    // Focuses a cell; refused (returns false) outside the selectable columns.
    bool SelectCell(int column, int row);
    void SetMarker(const QIcon &icon) { m_marker = icon; }

    // The column that took the focus, or -1 when a selection was refused.
    TVoEvent<int> OnColumnFocused;
    // F8 or a double click in a selectable column: (column, row).
    TVoEvent<int, int> OnSearch;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    QList<int> m_selectable;
    QIcon m_marker;
    friend class TVoStringGridDelegate;
};
