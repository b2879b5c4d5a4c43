#include "VoDBGrid.h"

#include "VoDataSource.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoTableModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

namespace {

QStringList SplitFields(const QString &fields) {
    QStringList out;
    for (const QString &f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!f.trimmed().isEmpty())
            out << f.trimmed();
    return out;
}

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

// --- Free routines ----------------------------------------------------------------------------------

QString VoReplaceOrderBy(const QString &select, const QString &orderBy) {
    // Words at parenthesis depth 0, outside literals and comments, with their positions.
    struct TWord {
        QString text;
        qsizetype start;
    };
    QList<TWord> words;
    int depth = 0;
    const qsizetype n = select.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = select[i];
        const QChar next = i + 1 < n ? select[i + 1] : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && select[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = select.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && !(select[j] == c && (j + 1 >= n || select[j + 1] != c)))
                j += select[j] == c ? 2 : 1;
            i = j + 1;
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            depth += c == QLatin1Char('(') ? 1 : -1;
            ++i;
        } else if (IsWordChar(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(select[j]))
                ++j;
            if (depth == 0)
                words.append({select.mid(i, j - i).toUpper(), i});
            i = j;
        } else {
            ++i;
        }
    }
    qsizetype orderAt = -1, tailAt = -1;
    for (int w = 0; w + 1 < words.size(); ++w)
        if (words[w].text == QLatin1String("ORDER") && words[w + 1].text == QLatin1String("BY"))
            orderAt = words[w].start;
    // What may follow an ORDER BY and stays: a row limit, a lock, a plan.
    for (const TWord &w : words)
        if (w.start > orderAt && (w.text == QLatin1String("ROWS") || w.text == QLatin1String("FOR") ||
                                  w.text == QLatin1String("PLAN") || w.text == QLatin1String("OFFSET") ||
                                  w.text == QLatin1String("FETCH"))) {
            tailAt = w.start;
            break;
        }
    QString head = select.left(orderAt >= 0 ? orderAt : (tailAt >= 0 ? tailAt : n));
    QString tail = tailAt >= 0 ? select.mid(tailAt) : QString();
    head = head.trimmed();
    while (head.endsWith(QLatin1Char(';')))
        head = head.chopped(1).trimmed();
    tail = tail.trimmed();
    while (tail.endsWith(QLatin1Char(';')))
        tail = tail.chopped(1).trimmed();
    QString out = head + QStringLiteral(" ORDER BY ") + orderBy;
    if (!tail.isEmpty())
        out += QLatin1Char(' ') + tail;
    return out;
}

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
    setModel(m_model);
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
        OnTitleClick(this, column);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { OnRowActivated(this); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        ApplyWidths();
        FollowCursor();
    });
}

TVoDBGrid::~TVoDBGrid() {
    for (const auto &unhook : m_unhook)
        unhook();
}

TVoQueryCollection *TVoDBGrid::Collection() const {
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

void TVoDBGrid::SetDataSource(TVoDataSource *dataSource) {
    for (const auto &unhook : m_unhook)
        unhook();
    m_unhook.clear();
    m_dataSource = dataSource;
    if (dataSource) {
        QPointer<TVoDataSource> guard(dataSource);
        const int data = dataSource->OnDataChange.Add([this](TVoDataSource *, TVoField *field) {
            if (!field)
                FollowCursor();
        });
        const int set = dataSource->OnDataSetChange.Add([this](TVoDataSource *) { Bind(); });
        m_unhook.push_back([guard, data, set] {
            if (guard) {
                guard->OnDataChange.Remove(data);
                guard->OnDataSetChange.Remove(set);
            }
        });
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
    const int column = qMax(currentIndex().column(), 0);
    selectionModel()->setCurrentIndex(m_model->index(row, column),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(m_model->index(row, column));
    m_following = false;
}

void TVoDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (current.column() != previous.column() && current.isValid())
        OnColEnter(this, current.column());
    TVoQueryCollection *c = Collection();
    if (m_following || !c || !c->Active() || !current.isValid() || current.row() == c->RecNo() - 1)
        return;
    m_following = true;
    try {
        c->SetRecNo(current.row() + 1);
    } catch (const std::exception &e) {
        VoShowException(e);
    }
    m_following = false;
    // Refused (a row that could not be posted): the grid goes back to the cursor once Qt is done
    // moving it.
    if (c->RecNo() - 1 != current.row())
        QTimer::singleShot(0, this, [this] { FollowCursor(); });
}

void TVoDBGrid::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        event->accept();
        OnRowActivated(this);
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
}

void TVoDBGrid::SetColumnWidth(int column, int width) {
    m_model->SetColumnWidth(column, width);
    if (width > 0)
        setColumnWidth(column, width);
}

void TVoDBGrid::SetColumnAlignment(int column, Qt::Alignment alignment) {
    m_model->SetColumnAlignment(column, alignment);
}

void TVoDBGrid::SetColumnVisible(int column, bool visible) {
    setColumnHidden(column, !visible);
}

void TVoDBGrid::ApplyWidths() {
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (const int width = m_model->ColumnWidth(c); width > 0)
            setColumnWidth(c, width);
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
