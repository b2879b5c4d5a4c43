#pragma once
// Two lists side by side, each under its title: the items the user may choose from (left) and those
// chosen (right), with buttons that move the selected items or all of them either way. An item has a
// caption, sub-items in the further columns and an integer datum that the owner reads back. The
// frame that fills the lists decides how they sort through its compare and column-click hooks.
#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

class TfrVoDoubleListView : public QWidget {
    Q_OBJECT
public:
    explicit TfrVoDoubleListView(QWidget *parent = nullptr);

    QTreeWidget *lvLeft;
    QTreeWidget *lvRight;
    QLabel *laLeftTitle;
    QLabel *laRightTitle;
    QPushButton *buMoveRight;
    QPushButton *buMoveAllRight;
    QPushButton *buMoveLeft;
    QPushButton *buMoveAllLeft;

    void SetSourceTitle(const QString &title);
    void SetTargetTitle(const QString &title);
    // The same columns in both lists; a width of 0 leaves the column its default width.
    void SetColumns(const QStringList &captions, const QList<int> &widths);

    // An item not yet in a list.
    static QTreeWidgetItem *NewItem(const QString &caption, const QStringList &subItems, int data);
    // Appends items to a list (without sorting it).
    void AddItems(QTreeWidget *list, const QList<QTreeWidgetItem *> &items);
    static int ItemData(const QTreeWidgetItem *item);
    // The data of a list's items, in the order shown.
    QList<int> ItemsData(const QTreeWidget *list) const;

    virtual void MoveSelectedRight();
    virtual void MoveSelectedLeft();
    virtual void MoveAllRight();
    virtual void MoveAllLeft();
    virtual int LeftCount() const;
    virtual int RightCount() const;
    virtual int LeftSelCount() const;
    virtual int RightSelCount() const;

    // Empties both lists.
    void ClearLists();
    // Sorts a list by the compare hook, keeping equal items in their order.
    void SortList(QTreeWidget *list);

protected:
    // The layout of the frame: a frame that adds a bar above the lists inserts it at the top.
    QVBoxLayout *FrameLayout() const { return m_frameLayout; }
    // The user clicked a column title; by default the list sorts by that column.
    virtual void lvColumnClick(QTreeWidget *list, int column);
    // Below 0 when a comes before b, 0 when they are equal; by default the texts of the column last
    // clicked, ignoring case.
    virtual int lvCompare(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const;

    int m_defaultSortColumn = 0;

private:
    QVBoxLayout *m_frameLayout;
    // Moves items and sorts the list they join.
    void Move(QTreeWidget *from, QTreeWidget *to, bool selectedOnly);
    void UpdateButtons();
};
