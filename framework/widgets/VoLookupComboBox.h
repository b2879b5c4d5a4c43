#pragma once
// A drop-down list of the rows of a query, shown in several columns with their titles; the closed box
// shows the row's display fields and the value is the row's key. The rows are read when the list
// source is set, in a short query, so that no transaction stays open while the user chooses.
#include <QComboBox>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class TVoSQLConnection;
class QStandardItemModel;

// One column of the drop-down list: a field of the rows, its title and its least width (0: any).
struct TVoLookupColumn {
    QString fieldName;
    QString caption;
    int minWidth = 0;
};

class TVoLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TVoLookupComboBox(QWidget *parent = nullptr);

    // Reads the rows of sql. keyFieldNames and listFieldNames name fields of the rows, separated by
    // ";": the key makes the value, the list fields (joined by " - ") are what the closed box shows.
    // Without columns the list shows the list fields.
    void SetListSource(const QString &sql, const QString &keyFieldNames, const QString &listFieldNames,
                       const QList<TVoLookupColumn> &columns, TVoSQLConnection *connection = nullptr);

    // The key of the chosen row (a list of the keys when there are several key fields); a null
    // variant when none is chosen.
    QVariant EditValue() const;
    // Chooses the row of a key; false (and no row chosen) when there is none.
    bool SetEditValue(const QVariant &key);

private:
    QStandardItemModel *m_model;
};
