#include "VoDoubleListView.h"

#include "VoForms.h"
#include "VoLayout.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QTreeWidget *NewList(QWidget *parent, const QString &name) {
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(false);
    return list;
}

QPushButton *NewButton(QWidget *parent, const QString &name, const QString &text, const QString &tip) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setFixedWidth(40);
    return button;
}

} // namespace

TfrVoDoubleListView::TfrVoDoubleListView(QWidget *parent)
    : QWidget(parent), lvLeft(NewList(this, QStringLiteral("lvLeft"))),
      lvRight(NewList(this, QStringLiteral("lvRight"))), laLeftTitle(new QLabel(this)),
      laRightTitle(new QLabel(this)),
      buMoveRight(NewButton(this, QStringLiteral("buMoveRight"), QStringLiteral(">"),
                            QStringLiteral("Sposta gli elementi selezionati"))),
      buMoveAllRight(NewButton(this, QStringLiteral("buMoveAllRight"), QStringLiteral(">>"),
                               QStringLiteral("Sposta tutti gli elementi"))),
      buMoveLeft(NewButton(this, QStringLiteral("buMoveLeft"), QStringLiteral("<"),
                           QStringLiteral("Riporta gli elementi selezionati"))),
      buMoveAllLeft(NewButton(this, QStringLiteral("buMoveAllLeft"), QStringLiteral("<<"),
                              QStringLiteral("Riporta tutti gli elementi"))),
      m_frameLayout(new QVBoxLayout(this)) {
    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {buMoveRight, buMoveAllRight, buMoveLeft, buMoveAllLeft})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto *grid = new QGridLayout;
    m_frameLayout->setContentsMargins(0, 0, 0, 0);
    m_frameLayout->addLayout(grid, 1);
    grid->addWidget(laLeftTitle, 0, 0);
    grid->addWidget(laRightTitle, 0, 2);
    grid->addWidget(lvLeft, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(lvRight, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    connect(buMoveRight, &QPushButton::clicked, this, [this] { VoGuarded([this] { MoveSelectedRight(); }); });
    connect(buMoveAllRight, &QPushButton::clicked, this, [this] { VoGuarded([this] { MoveAllRight(); }); });
    connect(buMoveLeft, &QPushButton::clicked, this, [this] { VoGuarded([this] { MoveSelectedLeft(); }); });
    connect(buMoveAllLeft, &QPushButton::clicked, this, [this] { VoGuarded([this] { MoveAllLeft(); }); });
    // A double click moves the item to the other list, as the buttons would.
    connect(lvLeft, &QTreeWidget::itemDoubleClicked, this,
            [this] { VoGuarded([this] { MoveSelectedRight(); }); });
    connect(lvRight, &QTreeWidget::itemDoubleClicked, this,
            [this] { VoGuarded([this] { MoveSelectedLeft(); }); });
    for (QTreeWidget *list : {lvLeft, lvRight}) {
        connect(list->header(), &QHeaderView::sectionClicked, this,
                [this, list](int column) { VoGuarded([&] { lvColumnClick(list, column); }); });
        connect(list, &QTreeWidget::itemSelectionChanged, this, &TfrVoDoubleListView::UpdateButtons);
    }
    UpdateButtons();
}

void TfrVoDoubleListView::SetSourceTitle(const QString &title) {
    laLeftTitle->setText(title);
}

void TfrVoDoubleListView::SetTargetTitle(const QString &title) {
    laRightTitle->setText(title);
}

void TfrVoDoubleListView::SetColumns(const QStringList &captions, const QList<int> &widths) {
    for (QTreeWidget *list : {lvLeft, lvRight}) {
        list->setHeaderLabels(captions);
        for (int i = 0; i < captions.size() && i < widths.size(); ++i)
            if (widths[i] > 0)
                list->setColumnWidth(i, widths[i]);
    }
}

QTreeWidgetItem *TfrVoDoubleListView::NewItem(const QString &caption, const QStringList &subItems, int data) {
    auto *item = new QTreeWidgetItem(QStringList{caption} + subItems);
    item->setData(0, Qt::UserRole, data);
    return item;
}

void TfrVoDoubleListView::AddItems(QTreeWidget *list, const QList<QTreeWidgetItem *> &items) {
    list->addTopLevelItems(items);
    // The columns show their values whole (the list scrolls sideways when they are wider).
    VoFitColumns(list);
    UpdateButtons();
}

int TfrVoDoubleListView::ItemData(const QTreeWidgetItem *item) {
    return item->data(0, Qt::UserRole).toInt();
}

QList<int> TfrVoDoubleListView::ItemsData(const QTreeWidget *list) const {
    QList<int> data;
    data.reserve(list->topLevelItemCount());
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        data << ItemData(list->topLevelItem(i));
    return data;
}

void TfrVoDoubleListView::Move(QTreeWidget *from, QTreeWidget *to, bool selectedOnly) {
    // Every item is taken out and the staying ones put back: taking items one at a time costs a
    // reorder of the list per item.
    const QList<QTreeWidgetItem *> chosen = from->selectedItems();
    const QSet<QTreeWidgetItem *> selected(chosen.cbegin(), chosen.cend());
    QList<QTreeWidgetItem *> moving;
    QList<QTreeWidgetItem *> staying;
    for (QTreeWidgetItem *item : from->invisibleRootItem()->takeChildren())
        (!selectedOnly || selected.contains(item) ? moving : staying) << item;
    from->addTopLevelItems(staying);
    to->clearSelection();
    to->addTopLevelItems(moving);
    SortList(to);
    UpdateButtons();
}

void TfrVoDoubleListView::MoveSelectedRight() {
    Move(lvLeft, lvRight, true);
}

void TfrVoDoubleListView::MoveSelectedLeft() {
    Move(lvRight, lvLeft, true);
}

void TfrVoDoubleListView::MoveAllRight() {
    Move(lvLeft, lvRight, false);
}

void TfrVoDoubleListView::MoveAllLeft() {
    Move(lvRight, lvLeft, false);
}

int TfrVoDoubleListView::LeftCount() const {
    return lvLeft->topLevelItemCount();
}

int TfrVoDoubleListView::RightCount() const {
    return lvRight->topLevelItemCount();
}

int TfrVoDoubleListView::LeftSelCount() const {
    return int(lvLeft->selectedItems().size());
}

int TfrVoDoubleListView::RightSelCount() const {
    return int(lvRight->selectedItems().size());
}

void TfrVoDoubleListView::ClearLists() {
    lvLeft->clear();
    lvRight->clear();
    UpdateButtons();
}

void TfrVoDoubleListView::SortList(QTreeWidget *list) {
    // Taken out and put back whole: one item at a time costs a reorder of the list per item.
    QList<QTreeWidgetItem *> items = list->invisibleRootItem()->takeChildren();
    std::stable_sort(items.begin(), items.end(), [this](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return lvCompare(a, b) < 0;
    });
    list->addTopLevelItems(items);
}

void TfrVoDoubleListView::lvColumnClick(QTreeWidget *list, int column) {
    m_defaultSortColumn = column;
    SortList(list);
}

int TfrVoDoubleListView::lvCompare(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const {
    return QString::compare(a->text(m_defaultSortColumn), b->text(m_defaultSortColumn), Qt::CaseInsensitive);
}

void TfrVoDoubleListView::UpdateButtons() {
    buMoveRight->setEnabled(!lvLeft->selectedItems().isEmpty());
    buMoveAllRight->setEnabled(lvLeft->topLevelItemCount() > 0);
    buMoveLeft->setEnabled(!lvRight->selectedItems().isEmpty());
    buMoveAllLeft->setEnabled(lvRight->topLevelItemCount() > 0);
}
