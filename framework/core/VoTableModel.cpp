#include "VoTableModel.h"

#include "VoDisplayFormat.h"

#include <QSize>

TVoTableModel::TVoTableModel(TVoQueryCollection *collection, QObject *parent) : QAbstractTableModel(parent) {
    SetCollection(collection);
}

TVoTableModel::~TVoTableModel() {
    Detach();
}

void TVoTableModel::SetCollection(TVoQueryCollection *collection) {
    beginResetModel();
    Detach();
    m_collection = collection;
    Attach();
    m_rows = m_collection ? m_collection->FetchedCount() : 0;
    endResetModel();
}

void TVoTableModel::Attach() {
    if (!m_collection)
        return;
    TVoQueryCollection *c = m_collection;
    m_hooks.Add(c, c->RowsAboutToReset, [this] { beginResetModel(); });
    m_hooks.Add(c, c->RowsReset, [this] {
        m_rows = m_collection ? m_collection->FetchedCount() : 0;
        endResetModel();
    });
    m_hooks.Add(c, c->RowsAboutToBeInserted,
                [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    m_hooks.Add(c, c->RowsInserted, [this](int first, int last) {
        m_rows += last - first + 1;
        endInsertRows();
    });
    m_hooks.Add(c, c->RowsAboutToBeRemoved,
                [this](int first, int last) { beginRemoveRows(QModelIndex(), first, last); });
    m_hooks.Add(c, c->RowsRemoved, [this](int first, int last) {
        m_rows -= last - first + 1;
        endRemoveRows();
    });
    m_hooks.Add(c, c->RowChanged, [this](int row) {
        if (row >= 0 && row < m_rows && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    m_hooks.Add(c, c->FieldDisplayChanged, [this](int field) { FieldChanged(field); });
    m_hooks.Add(connect(c, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_hooks.Clear();
        m_rows = 0;
        endResetModel();
    }));
}

void TVoTableModel::Detach() {
    m_hooks.Clear();
}

void TVoTableModel::FieldChanged(int fieldIndex) {
    if (m_rows == 0)
        return;
    if (m_columns.isEmpty()) {
        if (fieldIndex >= 0 && fieldIndex < columnCount())
            emit dataChanged(index(0, fieldIndex), index(m_rows - 1, fieldIndex));
        emit headerDataChanged(Qt::Horizontal, fieldIndex, fieldIndex);
        return;
    }
    for (int c = 0; c < m_columns.size(); ++c) {
        const TVoField *f = FieldOfColumn(c);
        if (f && f->Index() == fieldIndex) {
            emit dataChanged(index(0, c), index(m_rows - 1, c));
            emit headerDataChanged(Qt::Horizontal, c, c);
        }
    }
}

int TVoTableModel::AddColumn(const QString &fieldName, const QString &title, int width,
                             const QString &displayFormat) {
    beginResetModel();
    m_columns.append({fieldName, title, width, displayFormat, {}});
    endResetModel();
    return int(m_columns.size()) - 1;
}

void TVoTableModel::ClearColumns() {
    beginResetModel();
    m_columns.clear();
    endResetModel();
}

QString TVoTableModel::ColumnField(int column) const {
    if (!m_columns.isEmpty())
        return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
    const TVoField *f = FieldOfColumn(column);
    return f ? f->FieldName() : QString();
}

int TVoTableModel::ColumnWidth(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns[column].width : 0;
}

int TVoTableModel::ColumnOfField(const QString &fieldName) const {
    for (int c = 0; c < columnCount(); ++c)
        if (ColumnField(c).compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QString TVoTableModel::ColumnTitle(int column) const {
    return headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void TVoTableModel::SetColumnTitle(int column, const QString &title) {
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].title = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void TVoTableModel::SetColumnField(int column, const QString &fieldName) {
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].field = fieldName;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (m_rows > 0)
        emit dataChanged(index(0, column), index(m_rows - 1, column));
}

void TVoTableModel::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < m_columns.size())
        m_columns[column].width = width;
}

void TVoTableModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].alignment = alignment;
    if (m_rows > 0)
        emit dataChanged(index(0, column), index(m_rows - 1, column), {Qt::TextAlignmentRole});
}

TVoField *TVoTableModel::FieldOfColumn(int column) const {
    if (!m_collection || column < 0)
        return nullptr;
    if (m_columns.isEmpty())
        return column < m_collection->FieldCount() ? m_collection->Fields(column) : nullptr;
    return column < m_columns.size() ? m_collection->FindField(m_columns[column].field) : nullptr;
}

int TVoTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TVoTableModel::columnCount(const QModelIndex &parent) const {
    if (parent.isValid())
        return 0;
    if (!m_columns.isEmpty())
        return int(m_columns.size());
    return m_collection ? m_collection->FieldCount() : 0;
}

QVariant TVoTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows)
        return QVariant();
    // A view asks each cell for many roles as it paints or measures it: those the model does not
    // answer cost no look-up of the field.
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ForegroundRole:
    case Qt::CheckStateRole:
    case Qt::TextAlignmentRole:
        break;
    default:
        return QVariant();
    }
    const TVoField *f = FieldOfColumn(index.column());
    if (!f)
        return QVariant();
    const QVariant value = m_collection->RowValue(index.row(), f->Index());
    switch (role) {
    case Qt::DisplayRole: {
        const QString format = !m_columns.isEmpty() && !m_columns[index.column()].format.isEmpty()
                                   ? m_columns[index.column()].format
                                   : f->DisplayFormat();
        return VoDisplayText(f->DisplayValue(value), format);
    }
    case Qt::EditRole:
        return value;
    case Qt::ForegroundRole:
        return RowForeground ? RowForeground(index.row()) : QVariant();
    case Qt::CheckStateRole:
        if (IsChecked && index.column() == 0)
            return IsChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::TextAlignmentRole:
        if (!m_columns.isEmpty() && m_columns[index.column()].alignment)
            return QVariant(m_columns[index.column()].alignment | Qt::AlignVCenter);
        return VoIsNumber(value) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant TVoTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (!m_columns.isEmpty() && section < m_columns.size() && !m_columns[section].title.isEmpty())
            return m_columns[section].title;
        const TVoField *f = FieldOfColumn(section);
        return f ? f->DisplayLabel() : ColumnField(section);
    }
    if (role == Qt::SizeHintRole && ColumnWidth(section) > 0)
        return QSize(ColumnWidth(section), 20);
    return QVariant();
}

Qt::ItemFlags TVoTableModel::flags(const QModelIndex &index) const {
    // Rows are edited in the detail page through the collection, never in the grid's cells.
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return IsChecked && index.column() == 0 ? flags | Qt::ItemIsUserCheckable : flags;
}

bool TVoTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::CheckStateRole || !SetChecked || !index.isValid() || index.column() != 0)
        return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

void TVoTableModel::ChecksChanged() {
    if (m_rows > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, 0), {Qt::CheckStateRole});
}

bool TVoTableModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && m_collection && m_collection->CanFetchMore();
}

void TVoTableModel::fetchMore(const QModelIndex &parent) {
    if (!canFetchMore(parent))
        return;
    // The event loop called in: a failing read is reported here rather than thrown through Qt.
    try {
        m_collection->FetchMore();
    } catch (const std::exception &e) {
        VoReportDataSetFailure(e);
    }
}
