#include "VoDBFrames.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoWait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcutEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

// The detail page: Enter and Escape that its controls leave unused arrive here, and Ctrl+Enter of
// a multi-line control, which keeps Enter for its new lines.
class TVoDetailPage : public QWidget {
public:
    TVoDetailPage(TfrVoDBRWGrid *frame, QWidget *parent) : QWidget(parent), m_frame(frame) {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now && isAncestorOf(now) &&
                (qobject_cast<QPlainTextEdit *>(now) || qobject_cast<QTextEdit *>(now)))
                now->installEventFilter(this);
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
                m_frame->DetailEnter();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent *event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            event->accept();
            m_frame->DetailEnter();
            return;
        }
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            event->accept();
            m_frame->DetailEscape();
            return;
        }
        QWidget::keyPressEvent(event);
    }

private:
    TfrVoDBRWGrid *m_frame;
};

void VoAddTool(QToolBar *bar, QAction *action, const QKeySequence &key, QWidget *owner) {
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(action->text().remove(QLatin1Char('&')),
                                                     key.toString(QKeySequence::NativeText)));
    owner->addAction(action);
    bar->addAction(action);
}

// --- TVoDataAction ----------------------------------------------------------------------------------

TVoDataAction::TVoDataAction(const QIcon &icon, const QString &text, std::function<void()> standard,
                             QObject *parent)
    : QAction(icon, text, parent), m_standard(std::move(standard)) {
    setToolTip(text);
    connect(this, &QAction::triggered, this, [this] { Run(); });
}

bool TVoDataAction::event(QEvent *e) {
    if (e->type() != QEvent::Shortcut || !static_cast<QShortcutEvent *>(e)->isAmbiguous())
        return QAction::event(e);
    const QKeySequence key = static_cast<QShortcutEvent *>(e)->key();
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (auto *frame = qobject_cast<TfrVoDBROGrid *>(w))
            for (TVoDataAction *action : frame->Actions())
                if (action->shortcut() == key && action->isEnabled()) {
                    action->trigger();
                    return true;
                }
    return true;
}

void TVoDataAction::Run() {
    if (OnExecute.Assigned())
        VoGuarded([this] { OnExecute(this); });
    else
        ExecuteDefault();
}

void TVoDataAction::ExecuteDefault() {
    if (m_standard)
        VoGuarded(m_standard);
}

bool TVoDataAction::Execute() {
    if (m_locked || !isEnabled())
        return false;
    trigger();
    return true;
}

void TVoDataAction::SetLocked(bool locked) {
    m_locked = locked;
    if (locked)
        setEnabled(false);
    emit lockChanged();
}

void TVoDataAction::SetStateEnabled(bool enabled) {
    if (!m_locked)
        setEnabled(enabled);
}

// --- TfrVoDBROGrid ----------------------------------------------------------------------------------

TfrVoDBROGrid::TfrVoDBROGrid(QWidget *parent) : TfrVoDBROGrid(parent, TWithPages{}) {
    layout()->addWidget(grFrame);
}

TfrVoDBROGrid::TfrVoDBROGrid(QWidget *parent, TWithPages)
    : QFrame(parent), xdsMain(new TVoDataSource(this)), grFrame(new TVoDBGrid(this)),
      tbControl(new QToolBar(this)), xacFirst(AddAction(QStyle::SP_MediaSkipBackward, QStringLiteral("Primo"),
                                                        QKeySequence(Qt::ControlModifier | Qt::Key_Home),
                                                        [this] { OnDataSet(&TVoQueryCollection::First); })),
      xacPrior(AddAction(QStyle::SP_MediaSeekBackward, QStringLiteral("Precedente"),
                         QKeySequence(Qt::ControlModifier | Qt::Key_Up),
                         [this] { OnDataSet(&TVoQueryCollection::Prior); })),
      xacNext(AddAction(QStyle::SP_MediaSeekForward, QStringLiteral("Successivo"),
                        QKeySequence(Qt::ControlModifier | Qt::Key_Down),
                        [this] { OnDataSet(&TVoQueryCollection::Next); })),
      xacLast(AddAction(QStyle::SP_MediaSkipForward, QStringLiteral("Ultimo"),
                        QKeySequence(Qt::ControlModifier | Qt::Key_End), [this] { GoLast(); })),
      xacRefresh(AddAction(QStyle::SP_BrowserReload, QStringLiteral("Aggiorna"), QKeySequence(Qt::Key_F5),
                           [this] { OnDataSet(&TVoQueryCollection::Refresh); })),
      laCaption(new QLabel(this)), laInfo(new QLabel(this)) {
    tbControl->setIconSize(QSize(16, 16));
    tbControl->setToolButtonStyle(Qt::ToolButtonIconOnly);
    laCaption->setObjectName(QStringLiteral("laCaption"));
    laCaption->setStyleSheet(QStringLiteral("font-weight: bold; padding: 2px 4px;"));
    laCaption->hide();
    laInfo->setObjectName(QStringLiteral("laInfo"));
    laInfo->setContentsMargins(8, 0, 8, 0);
    laInfo->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(laCaption);
    layout->addWidget(tbControl);
    grFrame->SetDataSource(xdsMain);
    grFrame->OnRowActivated.Add([this](TVoDBGrid *) { RowActivated(); });
    xdsMain->OnStateChange.Add([this](TVoDataSource *) { StateChanged(); });
    xdsMain->OnDataChange.Add([this](TVoDataSource *, TVoField *field) {
        if (!field)
            UpdateActions();
    });
    setFocusProxy(grFrame);
    UpdateActions();
}

TVoDataAction *TfrVoDBROGrid::AddAction(QStyle::StandardPixmap icon, const QString &text,
                                        const QKeySequence &shortcut, std::function<void()> standard) {
    auto *action = new TVoDataAction(style()->standardIcon(icon), text, std::move(standard), this);
    SetActionImage(action, m_images.Add(action->icon()));
    if (!shortcut.isEmpty()) {
        VoAddTool(tbControl, action, shortcut, this);
    } else {
        addAction(action);
        tbControl->addAction(action);
    }
    connect(action, &TVoDataAction::lockChanged, this, [this] { UpdateActions(); });
    m_actions << action;
    return action;
}

template <typename Result> void TfrVoDBROGrid::OnDataSet(Result (TVoQueryCollection::*step)()) {
    if (TVoQueryCollection *c = DataSet())
        (c->*step)();
}

void TfrVoDBROGrid::GoLast() {
    TVoQueryCollection *c = DataSet();
    if (!c)
        return;
    const int count = c->Active() && c->CanFetchMore() ? c->CountKeys() : -1;
    // A few thousand rows more are read at once, as a packet is.
    if (count < 0 || count - c->FetchedCount() <= 5000) {
        c->Last();
        return;
    }
    try {
        TVoProgressScope progress(QStringLiteral("Lettura delle righe dell'elenco ..."), qMax(count, 1), true);
        c->Last([&](int read) { progress.Step(qMin(read, qMax(count, 1))); });
    } catch (const EVoAbort &) {
        // The rows read so far stay; the cursor goes to the last of them.
        c->SetRecNo(c->FetchedCount());
    }
}

QVariant TfrVoDBROGrid::CurrentValue(const QString &fieldName) const {
    const TVoQueryCollection *c = DataSet();
    const TVoField *f = c && c->Active() && !c->IsEmpty() ? c->FindField(fieldName) : nullptr;
    return f ? f->Value() : QVariant();
}

void TfrVoDBROGrid::AddControlWidget(QWidget *widget) {
    tbControl->addWidget(widget);
}

QString TfrVoDBROGrid::FrameCaption() const {
    return laCaption->text();
}

void TfrVoDBROGrid::SetFrameCaption(const QString &caption) {
    laCaption->setText(caption);
    laCaption->setVisible(!caption.isEmpty());
}

QString TfrVoDBROGrid::InfoText() const {
    return laInfo->text();
}

void TfrVoDBROGrid::SetInfoText(const QString &text) {
    laInfo->setText(text);
    if (!m_infoAction && !text.isEmpty()) {
        // Pushed to the bar's far end, after whatever tools the window added.
        auto *spacer = new QWidget;
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        tbControl->addWidget(spacer);
        m_infoAction = tbControl->addWidget(laInfo);
    }
    if (m_infoAction)
        m_infoAction->setVisible(!text.isEmpty());
}

namespace {
const char *const ImageIndexProperty = "voImageIndex";
}

void TfrVoDBROGrid::SetActionImage(QAction *action, int index) {
    action->setIcon(m_images.Icon(index));
    action->setProperty(ImageIndexProperty, index);
}

int TfrVoDBROGrid::ActionImageIndex(const QAction *action) {
    const QVariant index = action->property(ImageIndexProperty);
    return index.isValid() ? index.toInt() : -1;
}

void TfrVoDBROGrid::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    xdsMain->SetReadOnly(readOnly);
    UpdateActions();
}

void TfrVoDBROGrid::ApplyWriteRights(int mask) {
    const int rights = qqoVoGlobConn ? qqoVoGlobConn->F : 0;
    SetReadOnly((rights & mask) != mask);
}

void TfrVoDBROGrid::UpdateActions() {
    const TVoQueryCollection *c = DataSet();
    const bool browse = xdsMain->State() == dsBrowse;
    const bool rows = browse && !c->IsEmpty();
    for (TVoDataAction *action : {xacFirst, xacPrior, xacNext, xacLast})
        action->SetStateEnabled(rows);
    xacRefresh->SetStateEnabled(browse);
}

void TfrVoDBROGrid::StateChanged() {
    UpdateActions();
}

void TfrVoDBROGrid::RowActivated() {
    VoGuarded([this] { OnRowActivated(this); });
}

// --- TfrVoDBRWGrid ----------------------------------------------------------------------------------

TfrVoDBRWGrid::TfrVoDBRWGrid(QWidget *parent)
    : TfrVoDBROGrid(parent, TWithPages{}), pcMain(new QTabWidget(this)), tsGrid(new QWidget),
      tsDetail(new TVoDetailPage(this, nullptr)),
      xacInsert(AddAction(QStyle::SP_FileIcon, QStringLiteral("Inserisci"), QKeySequence(Qt::Key_Insert),
                          [this] { xdsMain->Insert(); })),
      xacEdit(AddAction(QStyle::SP_FileDialogDetailedView, QStringLiteral("Modifica"),
                        QKeySequence(Qt::Key_F2),
                        [this] {
                            if (xdsMain->Edit()) {
                                ShowDetail();
                                FocusFirstControl();
                            }
                        })),
      xacDelete(AddAction(QStyle::SP_TrashIcon, QStringLiteral("Cancella"),
                          QKeySequence(Qt::ControlModifier | Qt::Key_Delete),
                          [this] { OnDataSet(&TVoQueryCollection::Delete); })),
      xacPost(AddAction(QStyle::SP_DialogSaveButton, QStringLiteral("Salva"),
                        QKeySequence(Qt::ControlModifier | Qt::Key_S), [this] { xdsMain->Post(); })),
      xacCancel(AddAction(QStyle::SP_DialogCancelButton, QStringLiteral("Annulla"), QKeySequence(),
                          [this] { xdsMain->Cancel(); })) {
    // Escape of the detail page cancels (asking first when something was typed): the key of the tool,
    // which as a key of the action would take Escape from the lists that drop down over the page.
    xacCancel->setToolTip(
        QStringLiteral("Annulla (%1)").arg(QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)));
    auto *gridLayout = new QVBoxLayout(tsGrid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(grFrame);
    pcMain->setDocumentMode(true);
    pcMain->addTab(tsGrid, QStringLiteral("Elenco"));
    pcMain->addTab(tsDetail, QStringLiteral("Dettaglio"));
    layout()->addWidget(pcMain);
    connect(pcMain->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index != pcMain->currentIndex())
            PageChanging(index);
    });
    // Enter and Escape turn the pages: the tabs are no stop of Tab. Tab reaching the frame goes to its
    // list while the list shows, and into the detail page's fields while that shows, never to the
    // list hidden behind them.
    pcMain->tabBar()->setFocusPolicy(Qt::ClickFocus);
    connect(pcMain, &QTabWidget::currentChanged, this, [this](int index) {
        setFocusProxy(index == pcMain->indexOf(tsGrid) ? grFrame : nullptr);
        if (index == pcMain->indexOf(tsDetail))
            VoGuarded([this] { OnDetailShow(this); });
    });
    UpdateActions();
    UpdateDetailEnabled();
}

void TfrVoDBRWGrid::ShowList() {
    if (pcMain->currentWidget() != tsGrid && PageChanging(0))
        pcMain->setCurrentWidget(tsGrid);
    grFrame->setFocus(Qt::OtherFocusReason);
}

void TfrVoDBRWGrid::ShowDetail() {
    if (pcMain->currentWidget() != tsDetail && PageChanging(1))
        pcMain->setCurrentWidget(tsDetail);
}

bool TfrVoDBRWGrid::PageChanging(int page) {
    return VoGuarded([this, page] { OnPageChanging(this, page); });
}

bool TfrVoDBRWGrid::DetailShown() const {
    return pcMain->currentWidget() == tsDetail;
}

QList<QWidget *> TfrVoDBRWGrid::DetailFocusChain() const {
    QList<QWidget *> chain;
    for (QWidget *w = tsDetail->nextInFocusChain(); w && w != tsDetail; w = w->nextInFocusChain()) {
        if (!tsDetail->isAncestorOf(w) || chain.contains(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(tsDetail))
            chain << w;
    }
    return chain;
}

void TfrVoDBRWGrid::FocusFirstControl() {
    for (QWidget *w : DetailFocusChain()) {
        const auto *line = qobject_cast<QLineEdit *>(w);
        const auto *plain = qobject_cast<QPlainTextEdit *>(w);
        if ((line && line->isReadOnly()) || (plain && plain->isReadOnly()))
            continue;
        w->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void TfrVoDBRWGrid::DetailEnter() {
    QWidget *focused = QApplication::focusWidget();
    if (!focused || !tsDetail->isAncestorOf(focused))
        return;
    const QList<QWidget *> chain = DetailFocusChain();
    const qsizetype at = chain.indexOf(focused);
    if (at >= 0 && at + 1 < chain.size()) {
        chain[at + 1]->setFocus(Qt::TabFocusReason);
        return;
    }
    if (xdsMain->Editing())
        xacPost->Execute();
}

void TfrVoDBRWGrid::AddDropDown(QWidget *list) {
    m_dropDowns << list;
}

void TfrVoDBRWGrid::DetailEscape() {
    for (QWidget *list : std::as_const(m_dropDowns))
        if (list && list->isVisible()) {
            list->hide();
            return;
        }
    if (!xdsMain->Editing()) {
        ShowList();
        return;
    }
    // A key next to the one that walks the fields must not throw away what the user typed.
    if (!xdsMain->UserTyped()) {
        xacCancel->Execute();
        return;
    }
    AskSaveBeforeClose(
        xdsMain, window()->windowTitle(), mtConfirmation, 0, [this] { xacPost->Execute(); },
        [this] { xacCancel->Execute(); });
}

void TfrVoDBRWGrid::SetReadOnly(bool readOnly) {
    TfrVoDBROGrid::SetReadOnly(readOnly);
    UpdateDetailEnabled();
}

void TfrVoDBRWGrid::UpdateActions() {
    TfrVoDBROGrid::UpdateActions();
    const TVoQueryCollection *c = DataSet();
    const bool browse = xdsMain->State() == dsBrowse;
    const bool rows = browse && !c->IsEmpty();
    const bool write = !ReadOnly();
    xacInsert->SetStateEnabled(browse && write);
    xacEdit->SetStateEnabled(rows && write && c->RowWritable());
    xacDelete->SetStateEnabled(rows && write && c->RowWritable());
    xacPost->SetStateEnabled(xdsMain->Editing() && write);
    xacCancel->SetStateEnabled(xdsMain->Editing());
    UpdateDetailEnabled();
}

void TfrVoDBRWGrid::UpdateDetailEnabled() {
    const int state = xdsMain->State();
    const TVoQueryCollection *c = DataSet();
    const bool enabled = xdsMain->Editing() || (state == dsBrowse && xdsMain->AutoEdit() && !ReadOnly() &&
                                                (!c || c->RowWritable()));
    // The row saved or dropped from its page, the keys stay with the frame (Ins adds the next row)
    // instead of going nowhere with the page's controls turned off.
    QWidget *focused = QApplication::focusWidget();
    if (!enabled && focused && tsDetail->isAncestorOf(focused)) {
        if (pcMain->tabBar()->isVisible())
            pcMain->tabBar()->setFocus(Qt::OtherFocusReason);
        else if (grFrame->isVisible())
            grFrame->setFocus(Qt::OtherFocusReason);
    }
    tsDetail->setEnabled(enabled);
}

void TfrVoDBRWGrid::StateChanged() {
    UpdateActions();
    UpdateDetailEnabled();
    if (!xdsMain->Editing())
        return;
    ShowDetail();
    const QWidget *focused = QApplication::focusWidget();
    if (!focused || !tsDetail->isAncestorOf(focused))
        FocusFirstControl();
}

void TfrVoDBRWGrid::RowActivated() {
    TfrVoDBROGrid::RowActivated();
    ShowDetail();
    FocusFirstControl();
}

// --- TfrVoDBRW --------------------------------------------------------------------------------------

TfrVoDBRW::TfrVoDBRW(QWidget *parent) : TfrVoDBRWGrid(parent), xdsSecond(new TVoDataSource(this)) {
    xdsSecond->SetReadOnly(true);
    xdsSecond->SetAutoEdit(false);
    pcMain->tabBar()->hide();
    pcMain->setCurrentWidget(tsDetail);
    for (TVoDataAction *action : {xacFirst, xacPrior, xacNext, xacLast})
        action->setVisible(false);
    // There is no list to go back to.
    OnPageChanging.Add([](TfrVoDBRWGrid *, int page) {
        if (page == 0)
            throw EVoAbort();
    });
}
