#include "VoWindowDrive.h"

#include "VoDBDateEdit.h"
#include "VoDBFrames.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoSearchDialog.h"
#include "VoWait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>

namespace {

// The widgets inside which the focus makes an action's key work.
QList<QWidget *> KeyScope(QAction *action, QWidget *window) {
    if (action->shortcutContext() == Qt::WindowShortcut ||
        action->shortcutContext() == Qt::ApplicationShortcut)
        return {window->window()};
    QList<QWidget *> scope;
    for (QObject *object : action->associatedObjects())
        if (auto *widget = qobject_cast<QWidget *>(object); widget && !qobject_cast<QMenu *>(widget))
            scope << widget;
    return scope;
}

bool Overlap(const QList<QWidget *> &a, const QList<QWidget *> &b) {
    for (QWidget *x : a)
        for (QWidget *y : b)
            if (x == y || x->isAncestorOf(y) || y->isAncestorOf(x))
                return true;
    return false;
}

} // namespace

QStringList VoToolKeyFaults(QWidget *window) {
    QStringList faults;
    static const QRegularExpression tip(QStringLiteral("^(.+) \\((.+)\\)$"));
    for (QToolBar *bar : window->findChildren<QToolBar *>()) {
        for (QAction *action : bar->actions()) {
            if (action->isSeparator() || qobject_cast<QWidgetAction *>(action) || !action->isVisible() ||
                action->text().isEmpty())
                continue;
            const QRegularExpressionMatch match = tip.match(action->toolTip());
            const QString named = match.hasMatch() ? match.captured(2) : QString();
            const QString key = action->shortcut().toString(QKeySequence::NativeText);
            if (named.isEmpty() || (key.isEmpty() && QKeySequence(named, QKeySequence::NativeText).isEmpty()))
                faults << QStringLiteral("\"%1\": no key in its tool tip \"%2\"")
                              .arg(action->text(), action->toolTip());
            else if (!key.isEmpty() && named != key)
                faults << QStringLiteral("\"%1\": its tool tip names %2, its key is %3")
                              .arg(action->text(), named, key);
        }
    }
    QList<QAction *> keyed;
    QList<QAction *> candidates = window->findChildren<QAction *>() + window->window()->actions();
    for (QWidget *widget : window->findChildren<QWidget *>())
        candidates += widget->actions();
    for (QAction *action : std::as_const(candidates))
        if (!action->shortcut().isEmpty() && action->isVisible() && !keyed.contains(action))
            keyed << action;
    // The frames' own actions give a key they share with a frame around them to the innermost.
    const auto frames = [](QAction *a, QAction *b) {
        return qobject_cast<TVoDataAction *>(a) && qobject_cast<TVoDataAction *>(b);
    };
    for (qsizetype i = 0; i < keyed.size(); ++i)
        for (qsizetype j = i + 1; j < keyed.size(); ++j)
            if (keyed[i]->shortcut() == keyed[j]->shortcut() && !frames(keyed[i], keyed[j]) &&
                Overlap(KeyScope(keyed[i], window), KeyScope(keyed[j], window)))
                faults << QStringLiteral("%1: both \"%2\" and \"%3\"")
                              .arg(keyed[i]->shortcut().toString(QKeySequence::NativeText), keyed[i]->text(),
                                   keyed[j]->text());
    return faults;
}

void VoCloseWindow(QWidget *closing) {
    QPointer<QWidget> window(closing);
    if (!window)
        return;
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete window.data();
}

void VoClick(QAbstractButton *button) {
    const QPoint at =
        qobject_cast<QCheckBox *>(button) ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

void VoTypeInto(QLineEdit *edit, const QString &text) {
    edit->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    edit->selectAll();
    if (text.isEmpty())
        VoPress(Qt::Key_Delete);
    else
        VoType(text);
    VoPress(Qt::Key_Tab);
}

void VoTypeDate(TVoDBDateEdit *edit, const QString &date) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    if (date.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, QString(date).remove(QLatin1Char('/')));
    VoPress(Qt::Key_Tab);
}

void VoSearchAndChoose(const QString &text, TVoSearchSeen *seen) {
    QWidget *window = QApplication::activeWindow();
    QTimer::singleShot(0, [text, seen] {
        auto *form = qobject_cast<TVoSearchDialog *>(QApplication::activeModalWidget());
        if (!form)
            return;
        if (seen) {
            seen->opened = true;
            seen->caption = form->windowTitle();
            const QAbstractItemModel *model = form->Grid()->model();
            for (int c = 0; c < model->columnCount(); ++c)
                if (!form->Grid()->isColumnHidden(c))
                    seen->titles << model->headerData(c, Qt::Horizontal).toString();
            seen->rows = form->RowCount();
        }
        QTest::keyClicks(form->SearchEdit(), text);
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
    VoPress(Qt::Key_F8);
    // Offscreen, the window the modal form covered is not activated again by itself.
    if (window) {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window);
    }
}

TfrVoDBRWGrid *VoDeleteRow(QWidget *window, const QString &keyField, const QVariant &key,
                           TVoScriptedResponder *messages) {
    TfrVoDBRWGrid *frame = nullptr;
    for (TfrVoDBRWGrid *f : window->findChildren<TfrVoDBRWGrid *>())
        if (f->DataSet()->KeyField().compare(keyField, Qt::CaseInsensitive) == 0)
            frame = f;
    if (!frame || !frame->DataSet()->Locate(keyField, key))
        return nullptr;
    messages->Clear();
    messages->Push(mrYes);
    frame->xacDelete->Execute();
    return frame;
}

void VoAnswerSearch(const QString &text) {
    VoWhenModalOpens<TVoSearchDialog>([text](TVoSearchDialog *form) {
        if (text.isEmpty()) {
            form->reject();
            return;
        }
        form->SetSearchText(text);
        QTest::keyClick(form->SearchEdit(), Qt::Key_Return);
    });
}

TVoPressAnnulla::TVoPressAnnulla(int position) {
    TfmVoWait *wait = fmVoWait();
    wait->OnProgress = [this, wait, position](int reached) {
        m_counts << (wait->isVisible() ? wait->CountText() : QString());
        if (reached == position)
            wait->findChild<QPushButton *>(QStringLiteral("buAnnulla"))->click();
    };
}

TVoPressAnnulla::~TVoPressAnnulla() {
    fmVoWait()->OnProgress = nullptr;
}
