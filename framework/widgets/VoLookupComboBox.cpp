#include "VoLookupComboBox.h"

#include "VoQuery.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

QStringList FieldList(const QString &names) {
    QStringList fields;
    for (const QString &name : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        fields << name.trimmed();
    return fields;
}

} // namespace

TVoLookupComboBox::TVoLookupComboBox(QWidget *parent)
    : QComboBox(parent), m_model(new QStandardItemModel(this)) {
    auto *view = new QTreeView(this);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    setModel(m_model);
    setView(view);
    setModelColumn(0);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    // A list dropping below the box: the menu-like pop-up of some styles lays the rows over the box
    // and leaves no room for the column titles.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    setMaxVisibleItems(12);
}

void TVoLookupComboBox::SetListSource(const QString &sql, const QString &keyFieldNames,
                                      const QString &listFieldNames, const QList<TVoLookupColumn> &columns,
                                      TVoSQLConnection *connection) {
    const QStringList keys = FieldList(keyFieldNames);
    const QStringList shown = FieldList(listFieldNames);
    QList<TVoLookupColumn> listColumns = columns;
    if (listColumns.isEmpty())
        for (const QString &field : shown)
            listColumns.append({field, QString(), 0});

    m_model->clear();
    // Column 0 holds what the closed box shows and the key; the list shows the columns after it.
    QStringList titles{QString()};
    for (const TVoLookupColumn &c : listColumns)
        titles << c.caption;
    m_model->setHorizontalHeaderLabels(titles);
    TVoQuery q(sql, connection);
    q.Open();
    while (!q.Eof()) {
        QStringList texts;
        for (const QString &field : shown)
            texts << q.AsString(field);
        QVariantList key;
        for (const QString &field : keys)
            key << q.Value(field);
        QList<QStandardItem *> row{new QStandardItem(texts.join(QStringLiteral(" - ")))};
        row.first()->setData(key.size() == 1 ? key.first() : QVariant(key), Qt::UserRole);
        for (const TVoLookupColumn &c : listColumns)
            row << new QStandardItem(q.AsString(c.fieldName));
        m_model->appendRow(row);
        q.Next();
    }
    q.Close();

    auto *tree = static_cast<QTreeView *>(view());
    tree->setColumnHidden(0, true);
    tree->header()->setVisible(true);
    int width = 0;
    for (int i = 0; i < listColumns.size(); ++i) {
        tree->resizeColumnToContents(i + 1);
        if (tree->columnWidth(i + 1) < listColumns[i].minWidth)
            tree->setColumnWidth(i + 1, listColumns[i].minWidth);
        width += tree->columnWidth(i + 1);
    }
    tree->setMinimumWidth(width + 24);
    // The pop-up is sized for its rows alone; the titles need their own room.
    const int rows = qMin(m_model->rowCount(), maxVisibleItems());
    tree->setMinimumHeight(tree->header()->sizeHint().height() + rows * qMax(tree->sizeHintForRow(0), 1) +
                           2 * tree->frameWidth());
    setCurrentIndex(-1);
}

QVariant TVoLookupComboBox::EditValue() const {
    if (currentIndex() < 0)
        return QVariant();
    return m_model->item(currentIndex(), 0)->data(Qt::UserRole);
}

bool TVoLookupComboBox::SetEditValue(const QVariant &key) {
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_model->item(r, 0)->data(Qt::UserRole) == key) {
            setCurrentIndex(r);
            return true;
        }
    setCurrentIndex(-1);
    return false;
}
