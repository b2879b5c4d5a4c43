#include "VoStringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

class TVoStringGridDelegate : public QStyledItemDelegate {
public:
    explicit TVoStringGridDelegate(TVoStringGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index != m_grid->currentIndex() || !m_grid->IsSelectable(index.column()) ||
            m_grid->m_marker.isNull())
            return;
        const int side = qMin(16, option.rect.height());
        const QRect place(option.rect.right() - side + 1, option.rect.top(), side, side);
        m_grid->m_marker.paint(painter, place, Qt::AlignCenter, QIcon::Normal);
    }

private:
    TVoStringGrid *m_grid;
};

TVoStringGrid::TVoStringGrid(QWidget *parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->hide();
    setItemDelegate(new TVoStringGridDelegate(this));
}

void TVoStringGrid::SetRowCount(int rows) {
    setRowCount(qMax(0, rows - 1));
}

void TVoStringGrid::SetColCount(int columns) {
    setColumnCount(columns);
}

QString TVoStringGrid::Cells(int column, int row) const {
    if (row == 0) {
        const QTableWidgetItem *title = horizontalHeaderItem(column);
        return title ? title->text() : QString();
    }
    const QTableWidgetItem *cell = item(row - 1, column);
    return cell ? cell->text() : QString();
}

void TVoStringGrid::SetCells(int column, int row, const QString &text) {
    if (row == 0) {
        setHorizontalHeaderItem(column, new QTableWidgetItem(text));
        return;
    }
    if (QTableWidgetItem *cell = item(row - 1, column))
        cell->setText(text);
    else
        setItem(row - 1, column, new QTableWidgetItem(text));
}

void TVoStringGrid::SetColumn(int column, const QString &title, int width) {
    SetCells(column, 0, title);
    setColumnHidden(column, width < 0);
    if (width >= 0)
        setColumnWidth(column, width);
}

void TVoStringGrid::SetSelectableColumns(const QList<int> &columns) {
    m_selectable = columns;
}

int TVoStringGrid::Col() const {
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

int TVoStringGrid::Row() const {
    return currentIndex().isValid() ? currentIndex().row() + 1 : -1;
}

bool TVoStringGrid::SelectCell(int column, int row) {
    if (!IsSelectable(column) || row < 1 || row >= RowCount()) {
        OnColumnFocused(-1);
        return false;
    }
    setCurrentCell(row - 1, column);
    return true;
}

void TVoStringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    if (current.isValid() && !IsSelectable(current.column())) {
        // Moving onto a column the user completes nothing in: stay where the focus was.
        OnColumnFocused(-1);
        if (previous.isValid() && IsSelectable(previous.column()))
            setCurrentIndex(previous);
        else
            selectionModel()->clearCurrentIndex();
        return;
    }
    QTableWidget::currentChanged(current, previous);
    viewport()->update();
    OnColumnFocused(current.isValid() ? current.column() : -1);
}

QItemSelectionModel::SelectionFlags TVoStringGrid::selectionCommand(const QModelIndex &index,
                                                                    const QEvent *event) const {
    if (index.isValid() && !IsSelectable(index.column()))
        return QItemSelectionModel::NoUpdate;
    return QTableWidget::selectionCommand(index, event);
}

void TVoStringGrid::keyPressEvent(QKeyEvent *e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if ((e->key() == Qt::Key_PageDown && (e->modifiers() & Qt::ControlModifier)) ||
        (!enter && !e->text().isEmpty() && e->text().at(0).isPrint())) {
        e->accept();
        return;
    }
    QTableWidget::keyPressEvent(e);
    // Enter stays in the grid: it must not press the window's default button.
    if (enter)
        e->accept();
}

void TVoStringGrid::keyReleaseEvent(QKeyEvent *e) {
    if (e->key() == Qt::Key_F8 && IsSelectable(Col())) {
        e->accept();
        OnSearch(Col(), Row());
        return;
    }
    QTableWidget::keyReleaseEvent(e);
}

void TVoStringGrid::mouseDoubleClickEvent(QMouseEvent *e) {
    QTableWidget::mouseDoubleClickEvent(e);
    if (IsSelectable(Col()))
        OnSearch(Col(), Row());
}
