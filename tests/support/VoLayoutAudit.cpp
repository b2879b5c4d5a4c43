#include "VoLayoutAudit.h"

#include "VoAttivazioni.h"
#include "VoChildDB.h"
#include "VoClassRegistry.h"
#include "VoLayout.h"
#include "VoMDIMain.h"
#include "VoMessages.h"
#include "VoParams.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionHeader>
#include <QStyleOptionTitleBar>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>
#include <iostream>

namespace {

// The client area a window may take on the office screen: the screen less the desktop's panel and
// the window's title bar.
const QSize kClientBudget(kVoOfficeScreen.width(), kVoOfficeScreen.height() - 68);

const char *const kFrameProperty = "voAuditedFrame";

QString Shown(QString text) {
    // A mnemonic's "&" is not drawn, a doubled one is drawn once.
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

int TextWidth(const QFontMetrics &fm, const QString &text) {
    int width = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        width = qMax(width, fm.horizontalAdvance(line));
    return width;
}

QString PathOf(const QWidget *w, const QWidget *window) {
    QStringList parts;
    for (const QWidget *p = w; p && p != window; p = p->parentWidget()) {
        const QString name = p->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            parts.prepend(name);
        else if (p == w)
            parts.prepend(QString::fromLatin1(p->metaObject()->className()));
    }
    return parts.join(QLatin1Char('/'));
}

// The room the title bar of a window of that width leaves its caption.
int TitleRoom(const QWidget *window, int width) {
    QStyleOptionTitleBar option;
    option.initFrom(window);
    option.text = window->windowTitle();
    option.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    option.subControls = QStyle::SC_All;
    option.icon = window->windowIcon();
    const int height = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, window);
    option.rect = QRect(0, 0, width, height);
    return window->style()
        ->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, window)
        .width();
}

QString TitleFault(const QWidget *window, int width) {
    const QString title = window->windowTitle();
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int needed = QFontMetrics(font).horizontalAdvance(title);
    const int room = TitleRoom(window, width);
    if (title.isEmpty())
        return QStringLiteral("the window has no title");
    if (room < needed)
        return QStringLiteral("title \"%1\" elided (%2 px for %3)").arg(title).arg(room).arg(needed);
    return {};
}

void CheckLabel(QLabel *label, const QString &where, QStringList &faults) {
    if (label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull())
        return;
    QString text = label->text();
    if (label->textFormat() != Qt::PlainText && Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setHtml(text);
        text = doc.toPlainText();
    } else if (label->buddy()) {
        text = Shown(text);
    }
    const QFontMetrics fm(label->font());
    const int needed = TextWidth(fm, text);
    int indent = label->indent();
    if (indent < 0)
        indent = label->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const int room = label->contentsRect().width() - 2 * label->margin() - indent;
    if (room + 1 < needed)
        faults << QStringLiteral("%1: label \"%2\" %3 px wide for %4").arg(where, text).arg(room).arg(needed);
}

void CheckButton(QAbstractButton *button, const QString &where, QStringList &faults) {
    const QString text = Shown(button->text());
    if (text.isEmpty())
        return;
    const QFontMetrics fm(button->font());
    const int iconWidth = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    int room = 0;
    int needed = TextWidth(fm, text);
    if (auto *tool = qobject_cast<QToolButton *>(button)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly ||
            (tool->toolButtonStyle() == Qt::ToolButtonFollowStyle && !tool->icon().isNull()))
            return;
        room = tool->width();
        needed = tool->sizeHint().width();
    } else {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox *>(button))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton *>(button))
            element = QStyle::SE_RadioButtonContents;
        room = button->style()->subElementRect(element, &option, button).width();
        if (element == QStyle::SE_PushButtonContents)
            needed += iconWidth;
    }
    if (room + 1 < needed)
        faults
            << QStringLiteral("%1: button \"%2\" %3 px wide for %4").arg(where, text).arg(room).arg(needed);
}

void CheckTabs(QTabBar *bar, const QString &where, QStringList &faults) {
    const QFontMetrics fm(bar->font());
    const int space = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    for (int i = 0; i < bar->count(); ++i) {
        if (!bar->isTabVisible(i))
            continue;
        const QString text = Shown(bar->tabText(i));
        const QRect rect = bar->tabRect(i);
        const int needed =
            fm.horizontalAdvance(text) + space + (bar->tabIcon(i).isNull() ? 0 : bar->iconSize().width() + 4);
        if (rect.width() + 1 < needed)
            faults << QStringLiteral("%1: tab \"%2\" %3 px wide for %4")
                          .arg(where, text)
                          .arg(rect.width())
                          .arg(needed);
        else if (rect.right() > bar->width())
            faults << QStringLiteral("%1: tab \"%2\" out of sight").arg(where, text);
    }
}

void CheckCombo(QComboBox *combo, const QString &where, QStringList &faults) {
    const QString text = combo->currentText();
    if (text.isEmpty())
        return;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.currentText = text;
    option.subControls = QStyle::SC_All;
    const int room = combo->style()
                         ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                         .width();
    const int needed = QFontMetrics(combo->font()).horizontalAdvance(text);
    if (room + 1 < needed)
        faults << QStringLiteral("%1: drop-down list \"%2\" %3 px wide for %4")
                      .arg(where, text)
                      .arg(room)
                      .arg(needed);
}

void CheckGroup(QGroupBox *group, const QString &where, QStringList &faults) {
    if (group->title().isEmpty())
        return;
    const QString text = Shown(group->title());
    const QFontMetrics fm(group->font());
    int needed = fm.horizontalAdvance(text + QLatin1Char(' ')) + 2 * fm.horizontalAdvance(QLatin1Char(' '));
    if (group->isCheckable())
        needed += group->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, group) + 4;
    if (group->width() < needed)
        faults << QStringLiteral("%1: group \"%2\" %3 px wide for %4")
                      .arg(where, text)
                      .arg(group->width())
                      .arg(needed);
}

void CheckGrid(QTableView *view, const QString &where, QStringList &faults) {
    const QAbstractItemModel *model = view->model();
    if (!model)
        return;
    const QHeaderView *header = view->horizontalHeader();
    const int screenRows = view->viewport()->height();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (view->isColumnHidden(c) || header->sectionSize(c) <= 0)
            continue;
        const int width = view->columnWidth(c);
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        if (!header->isHidden() && !title.isEmpty()) {
            const int needed = VoTitleWidth(header, c);
            if (width + 1 < needed)
                faults << QStringLiteral("%1: column title \"%2\" %3 px wide for %4")
                              .arg(where, title)
                              .arg(width)
                              .arg(needed);
        }
        for (int r = 0; r < model->rowCount() && view->rowViewportPosition(r) < screenRows; ++r) {
            QString text;
            const int needed = view->isRowHidden(r) ? 0 : VoCellWidth(view, model->index(r, c), &text);
            if (width + 1 < needed) {
                faults << QStringLiteral("%1: column \"%2\" %3 px wide cuts \"%4\" (%5 px)")
                              .arg(where, title)
                              .arg(width)
                              .arg(text)
                              .arg(needed);
                break;
            }
        }
    }
}

// A window that could open wider than a grid of it that shows only part of its columns.
void CheckGridRoom(QTableView *view, int windowWidth, int limit, const QString &where, QStringList &faults) {
    const QHeaderView *header = view->horizontalHeader();
    const int wanted = header->length();
    const int room = view->viewport()->width();
    if (wanted > room && windowWidth + (wanted - room) <= limit && view->isVisible())
        faults << QStringLiteral(
                      "%1: the grid shows %2 px of its %3 px of columns, the window could be wider")
                      .arg(where)
                      .arg(room)
                      .arg(wanted);
}

// A list that scrolls sideways in a window that could open wider.
void CheckListRoom(QTreeView *view, int windowWidth, int limit, const QString &where, QStringList &faults) {
    const int hidden = view->horizontalScrollBar()->maximum();
    if (hidden > 0 && windowWidth + hidden <= limit && view->header()->count() > 1)
        faults << QStringLiteral("%1: the list scrolls sideways by %2 px, the window could be wider")
                      .arg(where)
                      .arg(hidden);
}

void CheckWidgets(const QString &className, QWidget *window, QWidget *root, int windowWidth, int limit,
                  QStringList &faults) {
    const QList<QWidget *> widgets = root->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (!w->isVisible() || w->window() != window->window())
            continue;
        const QString where = className + QStringLiteral(": ") + PathOf(w, window);
        if (auto *label = qobject_cast<QLabel *>(w))
            CheckLabel(label, where, faults);
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            CheckButton(button, where, faults);
        else if (auto *bar = qobject_cast<QTabBar *>(w))
            CheckTabs(bar, where, faults);
        else if (auto *view = qobject_cast<QTableView *>(w)) {
            CheckGrid(view, where, faults);
            CheckGridRoom(view, windowWidth, limit, where, faults);
        } else if (auto *tree = qobject_cast<QTreeView *>(w))
            CheckListRoom(tree, windowWidth, limit, where, faults);
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            CheckCombo(combo, where, faults);
        if (auto *group = qobject_cast<QGroupBox *>(w))
            CheckGroup(group, where, faults);
    }
}

// Fields the window could not show at once, left behind a scroll bar.
void CheckScrolled(const QString &className, QWidget *window, QWidget *root, QStringList &faults) {
    for (QScrollArea *area : root->findChildren<QScrollArea *>()) {
        if (!area->isVisible() || area->window() != window->window())
            continue;
        const int hidden = area->verticalScrollBar()->maximum() + area->horizontalScrollBar()->maximum();
        if (hidden > 0)
            faults << QStringLiteral("%1: %2: %3 px of fields behind a scroll bar")
                          .arg(className, PathOf(area, window))
                          .arg(hidden);
    }
}

void Settle();

void CheckContents(const QString &className, QWidget *window, int windowWidth, int limit,
                   QStringList &faults) {
    CheckWidgets(className, window, window, windowWidth, limit, faults);
    CheckScrolled(className, window, window, faults);
    // The pages a wizard turns to are looked at in turn, as the user would see them (without telling
    // the window, which would build them anew); a tab widget's pages are the user's own choice.
    for (QStackedWidget *stack : window->findChildren<QStackedWidget *>()) {
        if (!stack->isVisible() || qobject_cast<QTabWidget *>(stack->parentWidget()))
            continue;
        const int current = stack->currentIndex();
        for (int i = 0; i < stack->count(); ++i) {
            if (i == current)
                continue;
            {
                const QSignalBlocker blocker(stack);
                stack->setCurrentIndex(i);
            }
            Settle();
            CheckWidgets(className, window, stack->widget(i), windowWidth, limit, faults);
        }
        const QSignalBlocker blocker(stack);
        stack->setCurrentIndex(current);
    }
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

QStringList VoLayoutFaults(const QString &className, QWidget *window) {
    QStringList faults;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        QMdiArea *area = sub->mdiArea();
        if (area && (area->verticalScrollBar()->isVisible() || area->horizontalScrollBar()->isVisible()))
            faults << className +
                          QStringLiteral(": the work area scrolls: the window needs %1×%2, the area is %3×%4")
                              .arg(window->minimumSizeHint().width())
                              .arg(window->minimumSizeHint().height())
                              .arg(area->viewport()->width())
                              .arg(area->viewport()->height());
        if (window->width() + 1 < window->minimumSizeHint().width() ||
            window->height() + 1 < window->minimumSizeHint().height())
            faults << className + QStringLiteral(": shown at %1×%2, its content needs %3×%4")
                                      .arg(window->width())
                                      .arg(window->height())
                                      .arg(window->minimumSizeHint().width())
                                      .arg(window->minimumSizeHint().height());
        if (!sub->isMaximized()) {
            if (area && !area->viewport()->rect().contains(sub->geometry()))
                faults << className + QStringLiteral(": opens outside the work area");
            if (const QString title = TitleFault(window, sub->width()); !title.isEmpty())
                faults << className + QStringLiteral(": ") + title;
        }
        // A maximised window cannot be wider; another one as wide as the work area.
        const int limit = sub->isMaximized() || !area ? sub->width() : area->viewport()->width();
        CheckContents(className, window, sub->width(), limit, faults);
        return faults;
    }
    const QSize size = window->size();
    if (size.width() > kClientBudget.width() || size.height() > kClientBudget.height())
        faults
            << className +
                   QStringLiteral(": %1×%2 is larger than the screen").arg(size.width()).arg(size.height());
    const QSize least = window->minimumSizeHint();
    if (least.isValid() && (size.width() + 1 < least.width() || size.height() + 1 < least.height()))
        faults << className + QStringLiteral(": shown at %1×%2, its content needs %3×%4")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(least.width())
                                  .arg(least.height());
    // A frame is checked in a window of its own, which has no title to check.
    const QString title =
        window->property(kFrameProperty).toBool() ? QString() : TitleFault(window, size.width());
    if (!title.isEmpty())
        faults << className + QStringLiteral(": ") + title;
    CheckContents(className, window, size.width(), kClientBudget.width(), faults);
    return faults;
}

TVoLayoutAudit VoAuditRegisteredWindows(TfmVoMDIMain *main, const QList<TVoLayoutState> &states) {
    TVoLayoutAudit audit;
    // The main window as the program's first start opens it on the office screen, less the desktop's
    // panel and the window's title bar that the offscreen screen does not draw.
    QFile::remove(TfmVoMDIMain::PlacementFileName());
    main->ShowAsLeft();
    Settle();
    const QSize firstStart = main->size().boundedTo(kClientBudget);
    main->showNormal();
    main->setGeometry(QRect(QPoint(0, 0), firstStart));
    Settle();
    for (const QString &name : RegisteredVoClasses()) {
        QPointer<QWidget> window;
        try {
            window = CreateVoClass(name, main);
        } catch (const std::exception &e) {
            audit.faults << name + QStringLiteral(": cannot be opened: ") + QString::fromUtf8(e.what());
            continue;
        }
        QPointer<QMdiSubWindow> sub;
        if (qobject_cast<TfmVoChildDB *>(window)) {
            sub = main->AddMDIChild(window);
        } else {
            if (!window->isWindow()) {
                window->setParent(main, Qt::Window);
                window->setProperty(kFrameProperty, true);
                window->resize(window->sizeHint().expandedTo(window->minimumSizeHint()));
            }
            window->show();
        }
        Settle();
        ++audit.opened;
        if (!window || !window->isVisible()) {
            audit.faults << name + QStringLiteral(": closed itself on opening");
        } else {
            audit.faults << VoLayoutFaults(name, window);
            for (const TVoLayoutState &state : states)
                if (state.className.compare(name, Qt::CaseInsensitive) == 0 && window) {
                    bool looked = false;
                    state.visit(window, [&] {
                        Settle();
                        looked = true;
                        audit.faults << VoLayoutFaults(name, window);
                    });
                    if (!looked)
                        audit.faults << name + QStringLiteral(": the state to look at was not reached");
                    Settle();
                }
        }
        if (window) {
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->close();
            if (auto *dialog = qobject_cast<QDialog *>(window.data()))
                dialog->reject();
        }
        Settle();
        if (window && !sub)
            delete window.data();
        if (sub)
            delete sub.data();
        Settle();
    }
    return audit;
}

void VoExpectEveryWindowFits(TfmVoMDIMain *main, TVoCustomAtt *paramItem, TVoParamManager *manager,
                             int leastWindows, const QList<TVoLayoutState> &states) {
    TVoLayoutAudit audit = VoAuditRegisteredWindows(main, states);
    // The parameters dialog is the menu's own, with no class of its own.
    manager->OnDialogShown = [&audit](TfmVoParamDlg *dialog) {
        ++audit.opened;
        audit.faults << VoLayoutFaults(QStringLiteral("TfmVoParamDlg"), dialog);
        dialog->reject();
    };
    paramItem->Execute();
    manager->OnDialogShown = nullptr;
    std::cout << "windows opened: " << audit.opened << std::endl;
    EXPECT_GE(audit.opened, leastWindows);
    EXPECT_TRUE(audit.faults.isEmpty()) << audit.faults.size() << " faults:\n"
                                        << audit.faults.join(QLatin1Char('\n')).toStdString();
}
