#pragma once
// The outlook-style bar on the left of the main window: one page per menu page, each a column of
// items with picture and caption. A click on an item (or Enter on the selected one) reports it; the
// bar itself knows nothing of what an item does.
#include <QToolBox>

class QListWidget;
class QListWidgetItem;

class TVoOutlookBar : public QToolBox {
    Q_OBJECT
public:
    explicit TVoOutlookBar(QWidget *parent = nullptr);

    void Clear();
    // Adds a page at the end; returns its index.
    int AddPage(const QString &caption, const QIcon &icon = QIcon());
    // Adds an item at the end of a page; data is what the click reports.
    QListWidgetItem *AddItem(int page, const QString &caption, const QIcon &icon, const QString &hint,
                             bool enabled, QObject *data);

    int PageCount() const { return count(); }
    QString PageCaption(int page) const { return itemText(page); }
    QListWidget *PageList(int page) const;
    int ItemCount(int page) const;
    QListWidgetItem *Item(int page, int index) const;
    QObject *ItemData(int page, int index) const;
    // The page and index of the item that reports data; false when the bar does not show it.
    bool FindItem(const QObject *data, int *page, int *index) const;

signals:
    // A user clicked an enabled item or pressed Enter on it.
    void ItemClicked(QObject *data);

private:
    void Report(QListWidgetItem *item);
};
