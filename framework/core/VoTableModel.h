#pragma once
// Shows the rows of a query collection in a grid: one model row per record, columns chosen by field
// name with their titles and widths, values in each field's display format (Italian numbers and
// dates). The model follows the collection as it opens, reads more rows, inserts, deletes and
// changes them; a view asking for more rows (canFetchMore / fetchMore) reads the next packet.
#include <QAbstractTableModel>
#include <QPointer>
#include <functional>

#include "VoQueryCollection.h"

class TVoTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TVoTableModel(TVoQueryCollection *collection = nullptr, QObject *parent = nullptr);
    ~TVoTableModel() override;

    void SetCollection(TVoQueryCollection *collection);
    TVoQueryCollection *Collection() const { return m_collection; }

    // Adds a column showing a field; without columns every field is shown. An empty title shows
    // the field's label; a width of 0 leaves it to the view. A format given here wins over the
    // field's own display format. Returns the column's index.
    int AddColumn(const QString &fieldName, const QString &title = QString(), int width = 0,
                  const QString &displayFormat = QString());
    void ClearColumns();
    QString ColumnField(int column) const;
    int ColumnWidth(int column) const;
    // The column showing a field (ignoring case), or -1.
    int ColumnOfField(const QString &fieldName) const;
    // The title the header shows.
    QString ColumnTitle(int column) const;
    void SetColumnTitle(int column, const QString &title);
    // Shows another field in a column, keeping its title, width and alignment.
    void SetColumnField(int column, const QString &fieldName);
    void SetColumnWidth(int column, int width);
    // Without an alignment numbers go right and the rest left.
    void SetColumnAlignment(int column, Qt::Alignment alignment);

    // Rows the user ticks: a check box in the first column, read and written through these (rows
    // from 0). Unset, no column has one.
    std::function<bool(int row)> IsChecked;
    std::function<void(int row, bool checked)> SetChecked;
    // The brush or colour of a row's text (rows from 0); an invalid value, or none set, leaves the
    // view's. A selected row keeps the view's highlight colours.
    std::function<QVariant(int row)> RowForeground;
    // Tells the views that ticks changed from code.
    void ChecksChanged();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct TColumn {
        QString field;
        QString title;
        int width = 0;
        QString format;
        Qt::Alignment alignment;
    };
    void Attach();
    void Detach();
    TVoField *FieldOfColumn(int column) const;
    void FieldChanged(int fieldIndex);

    QPointer<TVoQueryCollection> m_collection;
    QList<TColumn> m_columns;
    // The rows as the views were last told, so that counts stay right between notifications.
    int m_rows = 0;
    TVoHooks m_hooks;
};
