#include "VoApplication.h"

#include "VoImages.h"
#include "VoLayout.h"
#include "VoMessageBoxes.h"
#include "VoMessages.h"
#include "VoQueryCollection.h"
#include "VoTranslations.h"

#include <QFocusEvent>
#include <QGraphicsView>
#include <QPainter>
#include <QPointer>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

namespace {

// A table, a tree or a print preview's pages show that they have the keyboard by a ring of the
// selection's colour inside their border: an empty list would show nothing else, a current row looks
// the same focused or not, and the pages have no current item at all.
class TVoFocusRing : public QWidget {
public:
    explicit TVoFocusRing(QAbstractScrollArea *view) : QWidget(view) {
        setObjectName(QStringLiteral("voFocusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        view->installEventFilter(this);
        setGeometry(view->rect());
    }

    static void Follow(QWidget *old, QWidget *now) {
        if (auto *view = Ringed(old))
            if (QWidget *ring = Of(view))
                ring->hide();
        if (auto *view = Ringed(now)) {
            QWidget *ring = Of(view);
            if (!ring)
                ring = new TVoFocusRing(view);
            ring->setGeometry(view->rect());
            ring->raise();
            ring->show();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::Active, QPalette::Highlight));
        pen.setWidth(2);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == parent() && event->type() == QEvent::Resize) {
            setGeometry(static_cast<QWidget *>(watched)->rect());
            raise();
        }
        return false;
    }

private:
    static QWidget *Of(QAbstractScrollArea *view) {
        return view->findChild<QWidget *>(QStringLiteral("voFocusRing"), Qt::FindDirectChildrenOnly);
    }
    static QAbstractScrollArea *Ringed(QWidget *widget) {
        if (qobject_cast<QTableView *>(widget) || qobject_cast<QTreeView *>(widget) ||
            qobject_cast<QGraphicsView *>(widget))
            return static_cast<QAbstractScrollArea *>(widget);
        return nullptr;
    }
};

// The query collections' questions and failures, put to the user through the message service.
class TDataSetMessages : public IVoDataSetUser {
public:
    bool ConfirmDelete() override {
        return VoMessageDlg(QStringLiteral("Cancellare il record?"), mtConfirmation, mbYesNo, 0, mbNo) ==
               mrYes;
    }
    void Report(const std::exception &failure) override { VoShowException(failure); }
};

} // namespace

TVoApplication::TVoApplication(int &argc, char **argv) : QApplication(argc, argv) {
    VoUseMessageBoxes();
    SetVoDataSetUser(std::make_shared<TDataSetMessages>());
    VoLoadQtTranslations(this);
    connect(this, &QApplication::focusChanged, this,
            [](QWidget *old, QWidget *now) { VoGuarded([&] { TVoFocusRing::Follow(old, now); }); });
}

void TVoApplication::SetProgramIcon(const QString &sign, const QColor &colour) {
    setWindowIcon(VoTileIcon(sign, colour));
}

namespace {
QString &ProgramTitleStore() {
    static QString title;
    return title;
}
} // namespace

void TVoApplication::SetProgramTitle(const QString &title) {
    ProgramTitleStore() = title;
}

QString TVoApplication::ProgramTitle() {
    const QString &title = ProgramTitleStore();
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

bool TVoApplication::notify(QObject *receiver, QEvent *event) {
    // The programs are worked from the keyboard: the control that gets the focus otherwise than by a
    // click (a window opening on its first field, a row saved, Enter moving on) is drawn as focused,
    // as the styles draw it after a Tab.
    if (event->type() == QEvent::FocusIn && receiver->isWidgetType() &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason)
        if (QWidget *window = static_cast<QWidget *>(receiver)->window())
            window->setAttribute(Qt::WA_KeyboardFocusChange);
    bool handled = false;
    // The event that failed counts as handled: nobody else is to act on it half done.
    if (!VoGuarded([&] { handled = QApplication::notify(receiver, event); }))
        return true;
    // Once the window has opened and read its rows, it takes the size that shows them.
    if (event->type() == QEvent::Show && receiver->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(receiver);
        if (VoIsFittedWindow(widget))
            VoGuarded([widget] { VoFitWindow(widget); });
    }
    return handled;
}
