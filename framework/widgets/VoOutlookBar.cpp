#include "VoOutlookBar.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

namespace {

const int DataRole = Qt::UserRole + 1;

// Captions broken into lines at blanks where they reach the width of the bar. The style's own
// wrapping lays a caption out in the width of its widest line and then again a little narrower, so
// that a caption of two lines could lose its end; lines given whole are shown as they are.
class TCaptionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto *view = qobject_cast<const QListView *>(option->widget);
        const int width = view ? view->gridSize().width() - 12 : 0;
        if (width <= 0)
            return;
        QStringList lines;
        QString line;
        for (const QString &word : option->text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && option->fontMetrics.horizontalAdvance(longer) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        if (!line.isEmpty())
            lines << line;
        option->text = lines.join(QChar::LineSeparator);
    }
};

// A page's column of items. Enter runs the current item; the mouse runs an item on a single click,
// as in an outlook bar, and a double click does not run it twice. The arrow keys go on past the
// first or last item into the page before or after, so that every page is reached without a mouse
// (the page captions take no focus).
class TPageList : public QListWidget {
public:
    explicit TPageList(QWidget *parent) : QListWidget(parent) {
        setViewMode(QListView::IconMode);
        setFlow(QListView::TopToBottom);
        setWrapping(false);
        setMovement(QListView::Static);
        setResizeMode(QListView::Adjust);
        setIconSize(QSize(32, 32));
        setWordWrap(false);
        setItemDelegate(new TCaptionDelegate(this));
        setSpacing(4);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    std::function<void(QListWidgetItem *)> onRun;
    // Asked to move to the page before (-1) or after (+1); false when there is none.
    std::function<bool(int)> onLeave;

protected:
    void keyPressEvent(QKeyEvent *e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentItem()) {
            onRun(currentItem());
            return;
        }
        if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
            const int step = e->key() == Qt::Key_Down ? 1 : e->key() == Qt::Key_Up ? -1 : 0;
            if (step != 0 && !EnabledBeyond(currentRow(), step) && onLeave(step))
                return;
        }
        QListWidget::keyPressEvent(e);
    }
    // Whether an item the keys can reach lies past row in that direction.
    bool EnabledBeyond(int row, int step) const {
        if (row < 0)
            return false;
        for (int r = row + step; r >= 0 && r < count(); r += step)
            if (item(r)->flags() & Qt::ItemIsEnabled)
                return true;
        return false;
    }
    void resizeEvent(QResizeEvent *e) override {
        QListWidget::resizeEvent(e);
        // Items as wide as the bar, so that captions wrap instead of being cut.
        setGridSize(QSize(qMax(64, viewport()->width() - 8), 64));
    }
};

} // namespace

TVoOutlookBar::TVoOutlookBar(QWidget *parent) : QToolBox(parent) {
    setObjectName(QStringLiteral("mxOLBar"));
    setMinimumWidth(120);
}

void TVoOutlookBar::Clear() {
    while (count() > 0) {
        QWidget *page = widget(0);
        removeItem(0);
        // The page may be the one whose click is being handled.
        page->hide();
        page->deleteLater();
    }
}

int TVoOutlookBar::AddPage(const QString &caption, const QIcon &icon) {
    auto *list = new TPageList(this);
    list->onRun = [this](QListWidgetItem *item) { Report(item); };
    list->onLeave = [this, list](int step) {
        const int to = indexOf(list) + step;
        if (to < 0 || to >= count())
            return false;
        setCurrentIndex(to);
        if (QListWidget *next = PageList(to)) {
            for (int r = step > 0 ? 0 : next->count() - 1; r >= 0 && r < next->count(); r += step)
                if (next->item(r)->flags() & Qt::ItemIsEnabled) {
                    next->setCurrentRow(r);
                    break;
                }
            next->setFocus(Qt::OtherFocusReason);
        }
        return true;
    };
    connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { Report(item); });
    return addItem(list, icon, caption);
}

QListWidgetItem *TVoOutlookBar::AddItem(int page, const QString &caption, const QIcon &icon,
                                        const QString &hint, bool enabled, QObject *data) {
    QListWidget *list = PageList(page);
    if (!list)
        return nullptr;
    auto *item = new QListWidgetItem(icon, caption, list);
    item->setToolTip(hint.isEmpty() ? caption : hint);
    item->setStatusTip(hint);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    item->setData(DataRole, QVariant::fromValue(QPointer<QObject>(data)));
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (enabled)
        flags |= Qt::ItemIsEnabled;
    item->setFlags(flags);
    return item;
}

QListWidget *TVoOutlookBar::PageList(int page) const {
    return qobject_cast<QListWidget *>(widget(page));
}

int TVoOutlookBar::ItemCount(int page) const {
    const QListWidget *list = PageList(page);
    return list ? list->count() : 0;
}

QListWidgetItem *TVoOutlookBar::Item(int page, int index) const {
    const QListWidget *list = PageList(page);
    return list ? list->item(index) : nullptr;
}

QObject *TVoOutlookBar::ItemData(int page, int index) const {
    const QListWidgetItem *item = Item(page, index);
    return item ? item->data(DataRole).value<QPointer<QObject>>().data() : nullptr;
}

bool TVoOutlookBar::FindItem(const QObject *data, int *page, int *index) const {
    for (int p = 0; p < count(); ++p)
        for (int i = 0; i < ItemCount(p); ++i)
            if (ItemData(p, i) == data) {
                *page = p;
                *index = i;
                return true;
            }
    return false;
}

void TVoOutlookBar::Report(QListWidgetItem *item) {
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return;
    if (QObject *data = item->data(DataRole).value<QPointer<QObject>>().data())
        emit ItemClicked(data);
}
