#include "VoDBGrid.h"

#include "VoDataSource.h"
#include "VoLayout.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// Draws a cell as usual, then lets the grid's handlers paint over it.
class TVoGridDelegate : public QStyledItemDelegate {
public:
    explicit TVoGridDelegate(TVoDBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!m_grid->OnDrawColumnCell.Assigned())
            return;
        painter->save();
        // A picture that cannot be drawn leaves the cell as it is: a message from inside a repaint
        // would bring the next repaint, and the message again.
        try {
            m_grid->OnDrawColumnCell(m_grid, painter, option.rect, index.row(), index.column());
        } catch (...) {
        }
        painter->restore();
    }

private:
    TVoDBGrid *m_grid;
};

QStringList SplitFields(const QString &fields) {
    QStringList out;
    for (const QString &f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty())
            out << f.trimmed();
    return out;
}

} // namespace

// --- TVoColsIndex -----------------------------------------------------------------------------------

QStringList TVoColsIndexItem::SortFieldList() const {
    return SplitFields(SortFields);
}

QStringList TVoColsIndexItem::DescSortFieldList() const {
    const QStringList desc = SplitFields(DescSortFields);
    return desc.isEmpty() ? SortFieldList() : desc;
}

bool TVoColsIndexItem::HasField(const QString &fieldName) const {
    return SortFieldList().contains(fieldName.trimmed(), Qt::CaseInsensitive) ||
           DescSortFieldList().contains(fieldName.trimmed(), Qt::CaseInsensitive);
}

TVoColsIndexItem &TVoColsIndex::Add(int column, const QString &sortFields, const QString &descSortFields,
                                    bool text) {
    m_items.append({column, sortFields, descSortFields, text});
    return m_items.last();
}

TVoColsIndexItem *TVoColsIndex::ItemOfColumn(int column) {
    for (TVoColsIndexItem &item : m_items)
        if (item.Column == column)
            return &item;
    return nullptr;
}

const TVoColsIndexItem *TVoColsIndex::ItemOfColumn(int column) const {
    return const_cast<TVoColsIndex *>(this)->ItemOfColumn(column);
}

const TVoColsIndexItem *TVoColsIndex::ItemOfField(const QString &fieldName) const {
    for (const TVoColsIndexItem &item : m_items)
        if (item.HasField(fieldName))
            return &item;
    return nullptr;
}

// --- TVoDBGrid --------------------------------------------------------------------------------------

TVoDBGrid::TVoDBGrid(QWidget *parent) : QTableView(parent) {
    m_model = new TVoTableModel(nullptr, this);
    // Rows the collection adds or takes away (a new row given up) move the grid's current row
    // without the user: that must not move the cursor, which would post the row being left. The
    // collection's data change then brings the grid to the cursor. The view's own handlers, which
    // move the current row, run between these two.
    for (const auto begin :
         {&QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsAboutToBeRemoved})
        connect(m_model, begin, this, [this] { m_modelChanging = true; });
    setModel(m_model);
    setItemDelegate(new TVoGridDelegate(this));
    for (const auto end : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, end, this, [this] { m_modelChanging = false; });
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_colsIndex.ItemOfColumn(column))
            SortByColumn(column, column == m_sortColumn ? !m_sortDescending : false);
        VoGuarded([&] { OnTitleClick(this, column); });
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { RowActivated(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        ApplyWidths();
        FollowCursor();
    });
}

TVoDBGrid::~TVoDBGrid() = default;

TVoQueryCollection *TVoDBGrid::Collection() const {
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

void TVoDBGrid::SetDataSource(TVoDataSource *dataSource) {
    m_hooks.Clear();
    m_dataSource = dataSource;
    if (dataSource) {
        m_hooks.Add(dataSource, dataSource->OnDataChange, [this](TVoDataSource *, TVoField *field) {
            if (!field)
                FollowCursor();
        });
        m_hooks.Add(dataSource, dataSource->OnDataSetChange, [this](TVoDataSource *) { Bind(); });
    }
    Bind();
}

void TVoDBGrid::Bind() {
    m_model->SetCollection(Collection());
    m_sortColumn = -1;
    horizontalHeader()->setSortIndicatorShown(false);
}

void TVoDBGrid::FollowCursor() {
    const TVoQueryCollection *c = Collection();
    if (!c || m_following)
        return;
    const int row = c->RecNo() - 1;
    if (row < 0 || row >= m_model->rowCount()) {
        clearSelection();
        return;
    }
    if (currentIndex().row() == row && selectionModel()->isRowSelected(row, QModelIndex()))
        return;
    m_following = true;
    // A reset of the rows (a refresh, a filter) leaves no current cell: the column stays the one entered.
    const int column = currentIndex().isValid() ? currentIndex().column()
                       : m_enteredColumn >= 0 && m_enteredColumn < m_model->columnCount() ? m_enteredColumn
                                                                                          : 0;
    selectionModel()->setCurrentIndex(m_model->index(row, column),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(m_model->index(row, column));
    m_following = false;
}

void TVoDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.column() != m_enteredColumn) {
        m_enteredColumn = current.column();
        VoGuarded([&] { OnColEnter(this, current.column()); });
    }
    TVoQueryCollection *c = Collection();
    if (m_following || m_modelChanging || !c || !c->Active() || !current.isValid() ||
        current.row() == c->RecNo() - 1)
        return;
    m_following = true;
    VoGuarded([&] { c->SetRecNo(current.row() + 1); });
    m_following = false;
    // Refused (a row that could not be posted): the grid goes back to the cursor once Qt is done
    // moving it.
    if (c->RecNo() - 1 != current.row())
        QTimer::singleShot(0, this, [this] { FollowCursor(); });
}

void TVoDBGrid::RowActivated() {
    VoGuarded([this] { OnRowActivated(this); });
}

void TVoDBGrid::keyPressEvent(QKeyEvent *event) {
    // A row that opens nothing leaves Enter to the window: in a dialog it presses the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid() &&
        OnRowActivated.Assigned()) {
        event->accept();
        RowActivated();
        return;
    }
    QTableView::keyPressEvent(event);
}

int TVoDBGrid::AddColumn(const QString &fieldName, const QString &title, int width, Qt::Alignment alignment,
                         const QString &displayFormat) {
    const int column = m_model->AddColumn(fieldName, title, width, displayFormat);
    if (alignment)
        m_model->SetColumnAlignment(column, alignment);
    return column;
}

void TVoDBGrid::ClearColumns() {
    m_model->ClearColumns();
    m_colsIndex.Clear();
}

int TVoDBGrid::ColumnCount() const {
    return m_model->columnCount();
}

QString TVoDBGrid::ColumnField(int column) const {
    return m_model->ColumnField(column);
}

void TVoDBGrid::SetColumnField(int column, const QString &fieldName) {
    m_model->SetColumnField(column, fieldName);
}

QString TVoDBGrid::ColumnTitle(int column) const {
    return m_model->ColumnTitle(column);
}

void TVoDBGrid::SetColumnTitle(int column, const QString &title) {
    m_model->SetColumnTitle(column, title);
    FitColumn(column, columnWidth(column));
}

void TVoDBGrid::SetColumnWidth(int column, int width) {
    m_model->SetColumnWidth(column, width);
    if (width > 0)
        FitColumn(column, width);
}

int TVoDBGrid::TitleWidth(int column) const {
    const QHeaderView *header = horizontalHeader();
    QStyleOptionHeader option;
    option.initFrom(header);
    option.section = column;
    option.text = m_model->headerData(column, Qt::Horizontal).toString();
    if (header->isSortIndicatorShown() && header->sortIndicatorSection() == column)
        option.sortIndicator = QStyleOptionHeader::SortDown;
    return header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
}

void TVoDBGrid::FitColumn(int column, int width) {
    setColumnWidth(column, qMax(width, TitleWidth(column)));
}

void TVoDBGrid::SetColumnAlignment(int column, Qt::Alignment alignment) {
    m_model->SetColumnAlignment(column, alignment);
}

void TVoDBGrid::SetColumnVisible(int column, bool visible) {
    setColumnHidden(column, !visible);
}

void TVoDBGrid::ApplyWidths() {
    // The program's width, else the one the column has (the user may have widened it), and never
    // less than the title's.
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int width = m_model->ColumnWidth(c);
        FitColumn(c, width > 0 ? width : columnWidth(c));
    }
    VoFitColumns(this);
}

bool TVoDBGrid::SortByColumn(int column, bool descending) {
    const TVoColsIndexItem *item = m_colsIndex.ItemOfColumn(column);
    TVoQueryCollection *c = Collection();
    if (!item || !c || !c->Active())
        return false;
    try {
        if ((c->State() == dsInsert || c->State() == dsEdit) && !c->Post())
            return false;
        QStringList positions;
        for (const QString &name : descending ? item->DescSortFieldList() : item->SortFieldList()) {
            const TVoField *f = c->FindField(name);
            if (!f || f->Calculated())
                continue;
            positions << QString::number(f->Index() + 1) + (descending ? QStringLiteral(" DESC") : QString());
        }
        if (positions.isEmpty())
            return false;
        const TVoField *keyField = c->FindField(c->KeyField());
        const QVariant key = keyField ? keyField->Value() : QVariant();
        const int keyIndex = keyField ? keyField->Index() : -1;
        const int wasRead = c->FetchedCount();
        c->Close();
        c->SetCommandText(VoReplaceOrderBy(c->CommandText(), positions.join(QStringLiteral(", "))));
        c->Open();
        m_sortColumn = column;
        m_sortDescending = descending;
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        FitColumn(column, columnWidth(column));
        if (!key.isNull() && keyIndex >= 0)
            for (int r = 0; r < wasRead; ++r) {
                if (r >= c->FetchedCount() && (!c->CanFetchMore() || c->FetchMore() == 0))
                    break;
                if (c->RowValue(r, keyIndex) == key) {
                    c->SetRecNo(r + 1);
                    break;
                }
            }
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    return true;
}
