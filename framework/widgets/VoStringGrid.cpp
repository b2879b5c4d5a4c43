#include "VoStringGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
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

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        TVoStringGrid *grid = m_grid;
        const QPersistentModelIndex cell(index);
        QObject::connect(editor, &QLineEdit::textEdited, grid, [grid, cell](const QString &text) {
            if (!cell.isValid())
                return;
            grid->m_following = true;
            grid->model()->setData(cell, text);
            grid->m_following = false;
        });
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override {
        // The cell changed because the editor did: the editor has the text already.
        if (m_grid->m_following)
            return;
        QString text = index.data(Qt::EditRole).toString();
        m_grid->OnGetEditText(index.column(), index.row() + 1, text);
        static_cast<QLineEdit *>(editor)->setText(text);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override {
        m_grid->SetCells(index.column(), index.row() + 1, static_cast<QLineEdit *>(editor)->text());
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        auto *editor = qobject_cast<QLineEdit *>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            QString replaced;
            if (!m_grid->FilterKey(key, &replaced))
                return true;
            if (!replaced.isEmpty()) {
                QKeyEvent substitute(QEvent::KeyPress, key->key(), key->modifiers(), replaced);
                QApplication::sendEvent(editor, &substitute);
                return true;
            }
        } else if (editor && event->type() == QEvent::KeyRelease) {
            // Taken here, so that it does not reach the grid a second time.
            m_grid->KeyReleased(static_cast<QKeyEvent *>(event));
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TVoStringGrid *m_grid;
};

TVoStringGrid::TVoStringGrid(QWidget *parent) : QTableWidget(parent) {
    // Only the editable columns open the editor (edit refuses the others).
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
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
    QString kept = text;
    OnCellText(column, row, kept);
    if (QTableWidgetItem *cell = item(row - 1, column))
        cell->setText(kept);
    else
        setItem(row - 1, column, new QTableWidgetItem(kept));
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

bool TVoStringGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    if (!index.isValid() || !IsEditable(index.column()))
        return false;
    return QTableWidget::edit(index, trigger, event);
}

bool TVoStringGrid::FilterKey(QKeyEvent *e, QString *replaced) {
    bool swallow = false;
    OnKeyDown(e, swallow);
    if (swallow)
        return false;
    if (e->text().isEmpty())
        return true;
    const QChar typed = e->text().at(0);
    QChar kept = typed;
    OnKeyPress(kept);
    if (kept.isNull())
        return false;
    if (kept != typed)
        *replaced = QString(kept);
    return true;
}

void TVoStringGrid::keyPressEvent(QKeyEvent *e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    QString replaced;
    if ((e->key() == Qt::Key_PageDown && (e->modifiers() & Qt::ControlModifier)) ||
        !FilterKey(e, &replaced) ||
        (!enter && !e->text().isEmpty() && e->text().at(0).isPrint() && !IsEditable(Col()))) {
        e->accept();
        return;
    }
    if (!replaced.isEmpty()) {
        QKeyEvent substitute(QEvent::KeyPress, e->key(), e->modifiers(), replaced);
        QTableWidget::keyPressEvent(&substitute);
        return;
    }
    QTableWidget::keyPressEvent(e);
    // Enter stays in the grid: it must not press the window's default button.
    if (enter)
        e->accept();
}

void TVoStringGrid::keyReleaseEvent(QKeyEvent *e) {
    KeyReleased(e);
    if (!e->isAccepted())
        QTableWidget::keyReleaseEvent(e);
}

void TVoStringGrid::KeyReleased(QKeyEvent *e) {
    OnKeyUp(e);
    if (e->key() == Qt::Key_F8 && IsSelectable(Col())) {
        e->accept();
        OnSearch(Col(), Row());
        return;
    }
    e->ignore();
}

void TVoStringGrid::mouseDoubleClickEvent(QMouseEvent *e) {
    QTableWidget::mouseDoubleClickEvent(e);
    if (IsSelectable(Col()))
        OnSearch(Col(), Row());
}
