#pragma once
// A grid of texts addressed as Cells(column, row), row 0 being the titles: the rows a window fills
// from a query and then has the user complete through searches rather than typing. Only the columns
// declared selectable take the focus; the focused one shows a marker image at its right edge. Typed
// characters are discarded (Enter excepted), except in the columns declared editable, where they open
// an in-place editor; F8 or a double click in a selectable column asks the window to search for the
// focused cell.
//
// While the editor is open the cell follows every keystroke, so that a key-release handler reads what
// the user typed; a text the window writes into that cell meanwhile shows in the editor. A window may
// keep a column's texts in one form (OnCellText, applied when a cell is written and when an edit
// ends) and offer the editor another (OnGetEditText).
#include "VoEvent.h"

#include <QIcon>
#include <QList>
#include <QTableWidget>

class TVoStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TVoStringGrid(QWidget *parent = nullptr);
    using QTableWidget::edit;

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
    // Selectable columns whose text the user types.
    void SetEditableColumns(const QList<int> &columns) { m_editable = columns; }
    bool IsEditable(int column) const { return m_editable.contains(column); }
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
    // (column, row, text): the text a cell keeps when it is written or its edit ends.
    TVoEvent<int, int, QString &> OnCellText;
    // (column, row, text): the text the in-place editor starts from.
    TVoEvent<int, int, QString &> OnGetEditText;
    // A key pressed over the grid or its editor; setting the bool swallows it.
    TVoEvent<QKeyEvent *, bool &> OnKeyDown;
    // A character typed in the grid or its editor; it may be replaced, or swallowed with a null char.
    TVoEvent<QChar &> OnKeyPress;
    // A key released over the grid or its editor (before F8 asks for a search).
    TVoEvent<QKeyEvent *> OnKeyUp;

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    // The key press as the window's handlers leave it: false when swallowed; a replaced character
    // comes back in replaced.
    bool FilterKey(QKeyEvent *e, QString *replaced);
    void KeyReleased(QKeyEvent *e);
    QList<int> m_selectable;
    QList<int> m_editable;
    bool m_following = false;
    QIcon m_marker;
    friend class TVoStringGridDelegate;
};
