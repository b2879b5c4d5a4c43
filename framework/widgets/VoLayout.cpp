#include "VoLayout.h"

#include "VoDBFrames.h"

#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedLayout>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char *const kFittedProperty = "voFitted";
const char *const kColumnsHookedProperty = "voColumnsHooked";
const char *const kScrolledProperty = "voScrolled";
const char *const kRefitPendingProperty = "voRefitPending";

// No column grows past this for one value: a long description is read in the row's detail.
constexpr int kWidestColumn = 640;
// The rows a grid that is not laid out yet is taken to show.
constexpr int kFirstScreenRows = 25;
// Characters a description field shows; codes, dates and numbers are sized by their own edits.
constexpr int kDescriptionChars = 60;
// Drop-down lists show at least these rows.
constexpr int kDropDownRows = 8;
// The title bar and the frame that the window manager adds to a window of its own.
constexpr int kWindowFrameHeight = 32;

int TextWidth(const QFontMetrics &fm, const QString &text) {
    int width = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        width = qMax(width, fm.horizontalAdvance(line));
    return width;
}

// The room of a window: the screen it opens on, less the title bar the desktop gives it; inside
// the main window, the work area.
QSize Room(const QWidget *window) {
    if (auto *sub = qobject_cast<const QMdiSubWindow *>(window->parentWidget()))
        if (const QMdiArea *area = sub->mdiArea()) {
            // A maximised child has no frame of its own; the area's scroll bars are not counted.
            const QSize whole = area->size() - QSize(2 * area->frameWidth(), 2 * area->frameWidth());
            return sub->isMaximized() ? whole : whole - (sub->size() - window->size());
        }
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(1366, 768 - kWindowFrameHeight);
    return screen->availableGeometry().size() - QSize(0, kWindowFrameHeight);
}

// Whether a widget would be on screen once its window shows it, or once the window turns to the
// page it is on: only a widget hidden on purpose (or inside one) is not.
bool ShownWith(const QWidget *widget, const QWidget *window) {
    for (const QWidget *w = widget; w && w != window; w = w->parentWidget())
        if (w->isHidden() && !(w->parentWidget() && qobject_cast<QStackedLayout *>(w->parentWidget()->layout())))
            return false;
    return true;
}

// The width that shows every column of a list; a last column that stretches to fill the list is
// counted at the width of its title and values.
int ColumnsWidth(const QAbstractItemView *view, const QHeaderView *header, int rowHeight);

// The width a list needs to show all its columns, or 0 when it shows what it holds as it is: a grid
// whose last column takes what is left, a list of one column.
int ListWidth(const QAbstractItemView *view) {
    int columns = 0;
    if (auto *table = qobject_cast<const QTableView *>(view)) {
        // A last column that takes what is left still wants the room its values need.
        columns = table->horizontalHeader()->stretchLastSection()
                      ? ColumnsWidth(table, table->horizontalHeader(),
                                     table->verticalHeader()->defaultSectionSize())
                      : table->horizontalHeader()->length();
        if (table->verticalHeader()->isVisible())
            columns += table->verticalHeader()->width();
    } else if (auto *tree = qobject_cast<const QTreeView *>(view)) {
        if (tree->header()->count() < 2)
            return 0;
        columns = ColumnsWidth(tree, tree->header(), tree->fontMetrics().height() + 4);
    } else {
        return 0;
    }
    return columns + 2 * view->frameWidth() + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
}

// Makes the layouts of a window count again the sizes of its widgets.
void Relayout(QWidget *window, const QList<QWidget *> &changed) {
    for (QWidget *widget : changed)
        for (QWidget *w = widget; w; w = w->parentWidget()) {
            w->updateGeometry();
            if (w == window)
                break;
        }
    for (QLayout *layout : window->findChildren<QLayout *>())
        layout->invalidate();
    if (window->layout())
        window->layout()->invalidate();
}

// The same after the window's own layout changed (a form split, fields put in a scroll area): the
// sizes the next step reads are those of the new layout, not those kept from before.
void Relaid(QWidget *window, QWidget *changed) {
    Relayout(window, {changed});
    if (window->layout())
        window->layout()->activate();
}

// The width the window needs so that each of its lists (on whichever page) shows all its columns.
// The lists are given that width as their least for a moment and the window's layout is asked,
// so that lists side by side add up and a list on a page of its own counts as the page would.
int GridsWidth(QWidget *window) {
    QHash<QAbstractItemView *, int> wantedOf;
    // Lists side by side in one frame share its width evenly (a double list's two lists take the
    // same items): each is given the width of the widest.
    QHash<QWidget *, int> widestIn;
    for (QAbstractItemView *view : window->findChildren<QAbstractItemView *>()) {
        if (!ShownWith(view, window))
            continue;
        const int wanted = ListWidth(view);
        wantedOf.insert(view, wanted);
        widestIn[view->parentWidget()] = qMax(widestIn.value(view->parentWidget()), wanted);
    }
    QList<QPair<QAbstractItemView *, int>> widened;
    QList<QWidget *> changed;
    for (auto it = wantedOf.cbegin(); it != wantedOf.cend(); ++it) {
        QAbstractItemView *view = it.key();
        const int wanted = it.value() > 0 ? widestIn.value(view->parentWidget()) : 0;
        if (wanted <= view->minimumWidth())
            continue;
        widened.append({view, view->minimumWidth()});
        changed << view;
        view->setMinimumWidth(wanted);
    }
    if (widened.isEmpty())
        return 0;
    Relayout(window, changed);
    const int width = window->minimumSizeHint().width();
    for (const auto &[view, least] : widened)
        view->setMinimumWidth(least);
    Relayout(window, changed);
    return width;
}

void BoundField(QLineEdit *edit) {
    // Dates, numbers and codes keep to their own hint already.
    if (!(edit->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag))
        return;
    if (edit->maximumWidth() != QWIDGETSIZE_MAX || qobject_cast<QAbstractSpinBox *>(edit->parentWidget()) ||
        qobject_cast<QComboBox *>(edit->parentWidget()))
        return;
    const int chars = qMin(edit->maxLength(), kDescriptionChars);
    const QFontMetrics fm(edit->font());
    const int hint = edit->sizeHint().width() - fm.horizontalAdvance(QLatin1Char('x')) * 17;
    edit->setMaximumWidth(qMax(edit->sizeHint().width(), hint + fm.averageCharWidth() * chars));
}

void FitDropDown(QComboBox *combo) {
    combo->setMaxVisibleItems(qMax(combo->maxVisibleItems(), kDropDownRows));
    // In a layout the list asks for its longest item; one placed by hand keeps the width it was given
    // (the list would otherwise shrink and grow with its items).
    const bool laidOut = combo->parentWidget() && combo->parentWidget()->layout();
    if (laidOut && !combo->isEditable() && combo->sizeAdjustPolicy() != QComboBox::AdjustToContents)
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

// Whether a form's field is a text that grows to show its words (a description, a title): a text
// field that the rule bounded wider than its hint, not a code, date, number or drop-down list.
bool IsWideText(const QLayoutItem *field) {
    QWidget *widget = field ? field->widget() : nullptr;
    if (!widget || !(widget->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag))
        return false;
    auto *edit = qobject_cast<QLineEdit *>(widget);
    if (!edit) {
        const QList<QLineEdit *> edits = widget->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
        edit = edits.size() == 1 ? edits.first() : nullptr;
    }
    return edit && !qobject_cast<QAbstractSpinBox *>(edit->parentWidget()) &&
           !qobject_cast<QComboBox *>(edit->parentWidget()) && edit->maximumWidth() != QWIDGETSIZE_MAX &&
           edit->maximumWidth() > edit->sizeHint().width();
}

void AddTakenRow(QFormLayout *form, const QFormLayout::TakeRowResult &row) {
    QLayoutItem *label = row.labelItem;
    QLayoutItem *field = row.fieldItem;
    QWidget *labelWidget = label ? label->widget() : nullptr;
    if (field && field->layout()) {
        if (labelWidget)
            form->addRow(labelWidget, field->layout());
        else
            form->addRow(field->layout());
    } else if (field && field->widget()) {
        if (labelWidget)
            form->addRow(labelWidget, field->widget());
        else
            form->addRow(field->widget());
        delete field;
    } else if (labelWidget) {
        form->addRow(labelWidget);
    }
    if (label && !label->layout())
        delete label;
}

// Lays a tall form out in columns side by side, keeping its rows in order. The form's first row
// names the record: when it is a description, it spans the columns above them, so that a column's
// width does not cut it.
void SplitForm(QFormLayout *form, int count) {
    QWidget *page = form->parentWidget();
    const int rows = form->rowCount();
    if (!page || page->layout() != form || rows < 8)
        return;
    QList<QFormLayout::TakeRowResult> taken;
    while (form->rowCount() > 0)
        taken << form->takeRow(0);
    const QMargins margins = form->contentsMargins();
    const QFormLayout::FieldGrowthPolicy growth = form->fieldGrowthPolicy();
    const int spacing = form->horizontalSpacing();
    delete form;
    auto *whole = new QVBoxLayout(page);
    whole->setContentsMargins(margins);
    QFormLayout *top = nullptr;
    if (IsWideText(taken.first().fieldItem)) {
        top = new QFormLayout;
        top->setFieldGrowthPolicy(growth);
        whole->addLayout(top);
        // A field made of the text and its buttons is as wide as they are, no wider.
        QWidget *field = taken.first().fieldItem->widget();
        if (field->layout())
            field->setMaximumWidth(field->layout()->maximumSize().width());
        AddTakenRow(top, taken.takeFirst());
    }
    auto *columns = new QHBoxLayout;
    columns->setSpacing(3 * qMax(spacing, 6));
    whole->addLayout(columns, 1);
    QList<QFormLayout *> made;
    const int perColumn = (int(taken.size()) + count - 1) / count;
    for (int i = 0; i < taken.size(); ++i) {
        if (i % perColumn == 0) {
            made << new QFormLayout;
            made.last()->setFieldGrowthPolicy(growth);
            columns->addLayout(made.last(), 1);
        }
        AddTakenRow(made.last(), taken[i]);
    }
    // The spanning row's label is as wide as the labels of the first column, so that both fields
    // start at one line.
    if (top && !made.isEmpty()) {
        int labels = 0;
        for (int r = 0; r < made.first()->rowCount(); ++r)
            if (QLayoutItem *label = made.first()->itemAt(r, QFormLayout::LabelRole))
                labels = qMax(labels, label->sizeHint().width());
        if (QLayoutItem *label = top->itemAt(0, QFormLayout::LabelRole); label && label->widget())
            label->widget()->setMinimumWidth(labels);
    }
}

// Takes back into one form, in their order, the rows SplitForm laid out in columns on a page.
QFormLayout *JoinForm(QWidget *page) {
    auto *whole = qobject_cast<QVBoxLayout *>(page->layout());
    if (!whole)
        return nullptr;
    QList<QFormLayout *> parts;
    for (int i = 0; i < whole->count(); ++i) {
        QLayout *inner = whole->itemAt(i)->layout();
        if (auto *form = qobject_cast<QFormLayout *>(inner))
            parts << form;
        else if (inner)
            for (int j = 0; j < inner->count(); ++j)
                if (auto *form = qobject_cast<QFormLayout *>(inner->itemAt(j)->layout()))
                    parts << form;
    }
    if (parts.isEmpty())
        return nullptr;
    const QFormLayout::FieldGrowthPolicy growth = parts.first()->fieldGrowthPolicy();
    QList<QFormLayout::TakeRowResult> taken;
    for (QFormLayout *form : parts)
        while (form->rowCount() > 0)
            taken << form->takeRow(0);
    const QMargins margins = whole->contentsMargins();
    delete whole;
    auto *form = new QFormLayout(page);
    form->setContentsMargins(margins);
    form->setFieldGrowthPolicy(growth);
    for (const QFormLayout::TakeRowResult &row : taken)
        AddTakenRow(form, row);
    return form;
}

// Splits the window's tallest forms until the window's content fits the height it has.
void FitHeight(QWidget *window, int height) {
    for (int round = 0; round < 4; ++round) {
        const int excess = window->minimumSizeHint().height() - height;
        if (excess <= 0)
            return;
        QFormLayout *tallest = nullptr;
        for (QFormLayout *form : window->findChildren<QFormLayout *>())
            if (form->parentWidget() && form->parentWidget()->layout() == form && form->rowCount() >= 8 &&
                (!tallest || form->minimumSize().height() > tallest->minimumSize().height()))
                tallest = form;
        if (!tallest)
            return;
        // Two columns, or three when two do not take the excess away (rows differ in height: a
        // note is as tall as several fields).
        QWidget *page = tallest->parentWidget();
        SplitForm(tallest, 2);
        Relaid(window, page);
        if (window->minimumSizeHint().height() > height)
            if (QFormLayout *joined = JoinForm(page)) {
                SplitForm(joined, 3);
                Relaid(window, page);
            }
    }
}

// The last resort of a window still too tall: the stacked panes of its pages side by side,
// innermost first, while the panes fit the width.
void FitSplitters(QWidget *window, const QSize &room) {
    QList<QSplitter *> splitters = window->findChildren<QSplitter *>();
    std::reverse(splitters.begin(), splitters.end());
    for (QSplitter *splitter : splitters) {
        if (window->minimumSizeHint().height() <= room.height())
            return;
        // The window's own list over its details stays as it is: only panes inside a page turn.
        if (splitter->orientation() != Qt::Vertical || splitter->count() < 2 ||
            splitter->parentWidget() == window)
            continue;
        int width = splitter->handleWidth() * (splitter->count() - 1);
        for (int i = 0; i < splitter->count(); ++i)
            width += splitter->widget(i)->minimumSizeHint().width();
        const int others = window->minimumSizeHint().width() - splitter->minimumSizeHint().width();
        if (width + qMax(0, others) > room.width())
            continue;
        splitter->setOrientation(Qt::Horizontal);
        if (window->layout())
            window->layout()->activate();
        // Side by side, the panes' own content may want more width than the sum promised.
        if (window->minimumSizeHint().width() > room.width()) {
            splitter->setOrientation(Qt::Vertical);
            if (window->layout())
                window->layout()->activate();
        }
    }
}

// Lets the tallest detail pages scroll their fields when their columns were not enough: the page's
// tab, the tool bar and the list stay where they are.
void ScrollDetailPages(QWidget *window, int height) {
    for (int round = 0; round < 24; ++round) {
        if (window->minimumSizeHint().height() <= height)
            return;
        QWidget *tallest = nullptr;
        for (const TfrVoDBRWGrid *frame : window->findChildren<TfrVoDBRWGrid *>()) {
            QWidget *page = frame->tsDetail;
            if (page->layout() && !page->property(kScrolledProperty).toBool() &&
                (!tallest || page->minimumSizeHint().height() > tallest->minimumSizeHint().height()))
                tallest = page;
        }
        if (!tallest)
            return;
        tallest->setProperty(kScrolledProperty, true);
        // Made inside the page, the fields move without leaving their place in the window's Tab order.
        auto *fields = new QWidget(tallest);
        fields->setObjectName(QStringLiteral("pnFields"));
        fields->setLayout(tallest->layout());
        auto *scroll = new QScrollArea(tallest);
        scroll->setFrameShape(QFrame::NoFrame);
        // The fields take the focus, never the area that scrolls them.
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidgetResizable(true);
        scroll->setWidget(fields);
        auto *layout = new QVBoxLayout(tallest);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(scroll);
        Relaid(window, tallest);
    }
}

void WidenFor(QTableView *view);

void HookColumns(QTableView *view) {
    if (view->property(kColumnsHookedProperty).toBool() || !view->model())
        return;
    view->setProperty(kColumnsHookedProperty, true);
    QAbstractItemModel *model = view->model();
    // A grid filled cell by cell is fitted once, when the filling is over.
    const auto refit = [view] {
        if (view->property(kRefitPendingProperty).toBool())
            return;
        view->setProperty(kRefitPendingProperty, true);
        QTimer::singleShot(0, view, [view] {
            view->setProperty(kRefitPendingProperty, false);
            VoFitColumns(view);
            WidenFor(view);
        });
    };
    QObject::connect(model, &QAbstractItemModel::modelReset, view, refit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, view, refit);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, view, refit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, view, refit);
}

// Gives a window the width its content needs, within its room, never less than it has.
void Widen(QWidget *window, int width) {
    width = qMin(width, Room(window).width());
    if (width <= window->width())
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        sub->resize(width + sub->width() - window->width(), sub->height());
        const QRect area = sub->mdiArea() ? sub->mdiArea()->viewport()->rect() : QRect();
        sub->move(qMax(0, qMin(sub->x(), area.width() - sub->width())), sub->y());
        return;
    }
    const QPoint centre = window->geometry().center();
    window->resize(width, window->height());
    if (const QScreen *screen = window->screen()) {
        const QRect available = screen->availableGeometry();
        const int left = qMax(available.left(), qMin(centre.x() - width / 2, available.right() - width));
        window->move(left, window->y());
    }
}

// A grid whose columns grew after its window opened (the rows of a wizard's later page, of a list
// filled afterwards) widens the window as it would have opened with them.
void WidenFor(QTableView *view) {
    if (!view->isVisible() || view->horizontalHeader()->length() <= view->viewport()->width())
        return;
    QWidget *window = view->parentWidget();
    while (window && !window->property(kFittedProperty).toBool())
        window = window->parentWidget();
    if (!window)
        return;
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (sub ? sub->isMaximized() : window->isMaximized())
        return;
    Widen(window, GridsWidth(window));
}

} // namespace

int VoTitleWidth(const QHeaderView *header, int section) {
    QStyleOptionHeader option;
    option.initFrom(header);
    option.section = section;
    option.text = header->model()->headerData(section, Qt::Horizontal).toString();
    if (header->isSortIndicatorShown() && header->sortIndicatorSection() == section)
        option.sortIndicator = QStyleOptionHeader::SortDown;
    return header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
}

int VoCellWidth(const QAbstractItemView *view, const QModelIndex &index, QString *shown) {
    const QVariant value = index.data(Qt::DisplayRole);
    QString text = value.toString();
    if (auto *delegate = qobject_cast<QStyledItemDelegate *>(view->itemDelegateForIndex(index)))
        text = delegate->displayText(value, view->locale());
    if (shown)
        *shown = text;
    if (text.isEmpty())
        return 0;
    const QVariant fontValue = index.data(Qt::FontRole);
    const QFont font = fontValue.isValid() ? fontValue.value<QFont>() : view->font();
    // The item's text margins, which the style takes twice on each side (the text's rectangle, then
    // the text in it), and the grid line.
    int width = TextWidth(QFontMetrics(font), text) +
                4 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 1;
    if (index.data(Qt::DecorationRole).isValid())
        width += view->iconSize().isValid() ? view->iconSize().width() + 4 : 20;
    if (index.data(Qt::CheckStateRole).isValid())
        width += view->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view) + 4;
    return width;
}

namespace {
// The rows of a list taken as its first screen.
int FirstScreenRows(const QAbstractItemView *view, int rowHeight) {
    const QAbstractItemModel *model = view->model();
    const int screen = qMax(view->viewport()->height(), kFirstScreenRows * rowHeight);
    return qMin(model->rowCount(), screen / rowHeight + 1);
}

// The width a column needs for its title and the values of the first screen of rows.
int ColumnNeed(const QAbstractItemView *view, const QHeaderView *header, int rows, int column) {
    int needed = header->isHidden() ? 0 : VoTitleWidth(header, column);
    for (int r = 0; r < rows; ++r)
        needed = qMax(needed, qMin(VoCellWidth(view, view->model()->index(r, column)), kWidestColumn));
    return needed;
}

// Grows the columns of a view to their titles and to the values of the rows of its first screen.
void FitColumnsOf(QAbstractItemView *view, QHeaderView *header, int rowHeight) {
    const QAbstractItemModel *model = view->model();
    if (!model)
        return;
    rowHeight = qMax(1, rowHeight);
    const int rows = FirstScreenRows(view, rowHeight);
    for (int c = 0; c < model->columnCount(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        const int needed = ColumnNeed(view, header, rows, c);
        if (header->sectionSize(c) < needed)
            header->resizeSection(c, needed);
    }
}

int ColumnsWidth(const QAbstractItemView *view, const QHeaderView *header, int rowHeight) {
    const QAbstractItemModel *model = view->model();
    if (!model)
        return header->length();
    rowHeight = qMax(1, rowHeight);
    int last = -1;
    for (int v = header->count() - 1; v >= 0 && last < 0; --v)
        if (!header->isSectionHidden(header->logicalIndex(v)))
            last = header->logicalIndex(v);
    int width = 0;
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        // A last column stretched over a wider list is counted at its need alone; over a narrower
        // one it keeps its own width.
        if (c == last && header->stretchLastSection()) {
            const int own = header->length() > view->viewport()->width() ? header->sectionSize(c) : 0;
            width += qMax(own, ColumnNeed(view, header, FirstScreenRows(view, rowHeight), c));
        } else {
            width += header->sectionSize(c);
        }
    }
    return width;
}
} // namespace

void VoFitColumns(QTableView *view) {
    FitColumnsOf(view, view->horizontalHeader(), view->verticalHeader()->defaultSectionSize());
}

void VoFitColumns(QTreeView *view) {
    FitColumnsOf(view, view->header(), view->fontMetrics().height() + 4);
}

int VoComboContentWidth(const QComboBox *combo) {
    const QFontMetrics fm(combo->font());
    int text = 0;
    for (int i = 0; i < combo->count(); ++i)
        text = qMax(text, fm.horizontalAdvance(combo->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.subControls = QStyle::SC_All;
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, fm.height()), combo)
        .width();
}

bool VoIsFittedWindow(const QWidget *widget) {
    if (!widget || widget->property(kFittedProperty).toBool())
        return false;
    const bool child = qobject_cast<const QMdiSubWindow *>(widget->parentWidget()) != nullptr;
    if (!child && (!widget->isWindow() || qobject_cast<const QMainWindow *>(widget)))
        return false;
    if (widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip ||
        widget->windowType() == Qt::SplashScreen)
        return false;
    // Qt's own dialogs size themselves.
    for (const char *own :
         {"QMessageBox", "QFileDialog", "QProgressDialog", "QInputDialog", "QColorDialog", "QFontDialog",
          "QErrorMessage", "QAbstractPrintDialog", "QPageSetupDialog", "QPrintPreviewDialog", "QWizard"})
        if (widget->inherits(own))
            return false;
    return true;
}

void VoFitWindow(QWidget *window) {
    if (!window || window->property(kFittedProperty).toBool())
        return;
    window->setProperty(kFittedProperty, true);
    for (QComboBox *combo : window->findChildren<QComboBox *>())
        FitDropDown(combo);
    for (QLineEdit *edit : window->findChildren<QLineEdit *>())
        BoundField(edit);
    for (QTableView *view : window->findChildren<QTableView *>()) {
        VoFitColumns(view);
        HookColumns(view);
    }
    const QSize room = Room(window);
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    const bool maximized = sub ? sub->isMaximized() : window->isMaximized();
    FitHeight(window, room.height());
    ScrollDetailPages(window, room.height());
    FitSplitters(window, room);
    if (maximized)
        return;
    QSize wanted = window->sizeHint().expandedTo(window->minimumSizeHint()).expandedTo(window->size());
    wanted.setWidth(qMax(wanted.width(), GridsWidth(window)));
    wanted = wanted.boundedTo(room);
    if (sub) {
        const QSize frame = sub->size() - window->size();
        sub->resize(wanted + frame);
        const QRect area = sub->mdiArea() ? sub->mdiArea()->viewport()->rect() : QRect();
        QPoint at = sub->pos();
        at.setX(qMax(0, qMin(at.x(), area.width() - sub->width())));
        at.setY(qMax(0, qMin(at.y(), area.height() - sub->height())));
        sub->move(at);
        return;
    }
    if (wanted == window->size())
        return;
    const QPoint centre = window->geometry().center();
    window->resize(wanted);
    if (const QScreen *screen = window->screen()) {
        const QRect available = screen->availableGeometry();
        QRect frame(QPoint(), wanted);
        frame.moveCenter(centre);
        frame.moveLeft(qMax(available.left(), qMin(frame.left(), available.right() - wanted.width())));
        frame.moveTop(qMax(available.top() + kWindowFrameHeight,
                           qMin(frame.top(), available.bottom() - wanted.height())));
        window->move(frame.topLeft());
    }
}
