#include "VoDataSource.h"

#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoMessages.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QSet>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace {

// While the framework puts the focus back into a refused control, the control that loses it must
// not run its own check: that would refuse it in turn and pull the focus away again.
bool g_restoringFocus = false;

// The mouse click that moved the focus out of a refused control is still on its way to the widget
// clicked (a grid row, a button): it is dropped, as if the focus had never left.
class TClickSwallower : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            return false;
        }
    }
};

void SwallowPendingClicks() {
    static QPointer<TClickSwallower> swallower;
    if (swallower || !qApp)
        return;
    swallower = new TClickSwallower;
    qApp->installEventFilter(swallower);
    QTimer::singleShot(0, swallower, [] { delete swallower; });
}

// The window a widget works in: its top-level window, or its MDI child.
const QWidget *FormOf(const QWidget *widget) {
    const QWidget *w = widget;
    while (w && !w->isWindow() && !qobject_cast<const QMdiSubWindow *>(w->parentWidget()))
        w = w->parentWidget();
    return w;
}

// Whether the focus went from a control to another data field of its window. Only then, or when the
// user tabs out of it, is a control checked on leaving: a click on a button (a dialog's Annulla), a
// grid or another window leaves the check to the post, so that cancelling is never held up by a
// value about to be discarded.
bool MovedToDataField(const QWidget *from) {
    const QWidget *to = QApplication::focusWidget();
    if (!to || to == from || FormOf(to) != FormOf(from))
        return false;
    for (const QWidget *w = to; w && w != from; w = w->isWindow() ? nullptr : w->parentWidget())
        if (dynamic_cast<const TVoDBControl *>(w))
            return true;
    return false;
}

void RestoreFocus(QWidget *widget) {
    if (!widget || !widget->isVisible() || !widget->isEnabled() || widget->hasFocus())
        return;
    QScopedValueRollback restoring(g_restoringFocus, true);
    widget->setFocus(Qt::OtherFocusReason);
}

// A check or a lookup that reads the database may meet a server that no longer answers: that is told,
// but it says nothing of the value, which is neither marked nor selected as refused. Whether it was so.
bool ToldServerLost(const std::exception &e) {
    const auto *failure = dynamic_cast<const EVoDatabaseError *>(&e);
    if (!failure || !failure->IsConnectionLost())
        return false;
    const TVoFailureText told = VoFailureText(e);
    TVoShownMessage shown{told.text, mtWarning, mbOK};
    shown.detail = told.detail;
    VoMessageDlg(shown);
    return true;
}

} // namespace

// --- Free routines ----------------------------------------------------------------------------------

QString VoValidationMessage(const QString &msg, bool controlWasEmpty, const QString &caption) {
    const QString word = msg.trimmed().isEmpty() ? caption.trimmed() : msg.trimmed();
    if (word.startsWith(QLatin1String("Attenzione"), Qt::CaseInsensitive))
        return msg;
    if (!word.isEmpty()) {
        const QChar last = word.back();
        if (last == QLatin1Char('.') || last == QLatin1Char('!') || last == QLatin1Char('?') ||
            last == QLatin1Char(':'))
            return msg;
    }
    if (word.isEmpty())
        return QStringLiteral("Attenzione ! \r\nValore non valido. ");
    if (controlWasEmpty)
        return QStringLiteral("Attenzione ! \r\nCampo obbligatorio \"%1\". ").arg(word);
    return QStringLiteral("Attenzione ! \r\n%1. ").arg(word);
}

const QString KVoCDoc_SalvaChiudi = QStringLiteral("Salvare le modifiche prima di chiudere?");

bool AskSaveBeforeClose(TVoDataSource *source, const QString &caption, TMsgDlgType icon, int helpContext,
                        const std::function<void()> &post, const std::function<void()> &cancel) {
    if (!source || !source->Editing())
        return true;
    TVoShownMessage question{KVoCDoc_SalvaChiudi, icon, mbYesNoCancel, helpContext, mbYes, caption};
    switch (VoMessageDlg(question)) {
    case mrYes:
        if (post)
            VoGuarded(post);
        else
            source->Post();
        return !source->Editing();
    case mrNo:
        if (cancel)
            VoGuarded(cancel);
        else
            source->Cancel();
        return true;
    default:
        return false;
    }
}

bool VoValidateUnbound(QWidget *area) {
    QWidget *w = area;
    do {
        auto *control = dynamic_cast<TVoDBControl *>(w);
        if (control && area->isAncestorOf(w) && !control->DataSource() && VoIsInUse(w) &&
            !control->Validate())
            return false;
        w = w->nextInFocusChain();
    } while (w && w != area);
    return true;
}

void VoShowControl(QWidget *widget) {
    for (QWidget *child = widget, *parent = widget ? widget->parentWidget() : nullptr; parent;
         child = parent, parent = parent->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(parent);
        if (!stack)
            continue;
        if (auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget()))
            tabs->setCurrentWidget(child);
        else
            stack->setCurrentWidget(child);
    }
}

bool VoIsInUse(const QWidget *widget) {
    for (const QWidget *w = widget; w && !w->isWindow(); w = w->parentWidget())
        if (w->isHidden() && !qobject_cast<const QStackedWidget *>(w->parentWidget()))
            return false;
    return widget != nullptr;
}

// --- TVoDataSource ----------------------------------------------------------------------------------

TVoDataSource::TVoDataSource(QObject *parent) : QObject(parent) {}

TVoDataSource::~TVoDataSource() {
    m_hooks.Clear();
    for (TVoDBControl *control : m_controls)
        control->m_dataSource = nullptr;
}

void TVoDataSource::SetDataSet(TVoQueryCollection *dataSet) {
    if (m_dataSet == dataSet)
        return;
    m_hooks.Clear();
    m_stateChangePending = false;
    m_dataSet = dataSet;
    Hook();
    OnDataSetChange(this);
    for (TVoDBControl *control : m_controls) {
        control->ReadField();
        control->UpdateReadOnly();
    }
    OnStateChange(this);
    OnDataChange(this, nullptr);
    AfterStateChange(this);
}

int TVoDataSource::State() const {
    return m_dataSet ? m_dataSet->State() : dsInactive;
}

void TVoDataSource::SetAutoEdit(bool on) {
    m_autoEdit = on;
    for (TVoDBControl *control : m_controls)
        control->UpdateReadOnly();
}

void TVoDataSource::SetReadOnly(bool on) {
    m_readOnly = on;
    for (TVoDBControl *control : m_controls)
        control->UpdateReadOnly();
}

void TVoDataSource::Hook() {
    TVoQueryCollection *c = m_dataSet;
    if (!c)
        return;
    m_hooks.Add(c, c->StateChange, [this](TVoQueryCollection *) { StateChanged(); });
    m_hooks.Add(c, c->DataChange, [this](TVoQueryCollection *, TVoField *field) { DataChanged(field); });
    m_hooks.Add(c, c->AfterEdit, [this](TVoQueryCollection *) { FlushStateChange(); });
    m_hooks.Add(c, c->BeforePost, [this](TVoQueryCollection *) {
        if (!UpdateRecord() || !ValidateControls())
            throw EVoAbort();
    });
    m_hooks.Add(connect(c, &QObject::destroyed, this, [this] {
        m_hooks.Clear();
        for (TVoDBControl *control : m_controls) {
            control->ReadField();
            control->UpdateReadOnly();
        }
        OnDataSetChange(this);
    }));
}

void TVoDataSource::StateChanged() {
    m_userTyped = false;
    for (TVoDBControl *control : m_controls)
        control->UpdateReadOnly();
    m_stateChangePending = true;
    OnStateChange(this);
}

void TVoDataSource::DataChanged(TVoField *field) {
    const QList<TVoDBControl *> controls = m_controls;
    for (TVoDBControl *control : controls) {
        if (field && control->m_dataField.compare(field->FieldName(), Qt::CaseInsensitive) != 0)
            continue;
        if (!field)
            control->Unmark();
        control->ReadField();
    }
    OnDataChange(this, field);
    FlushStateChange();
}

void TVoDataSource::FlushStateChange() {
    if (!m_stateChangePending)
        return;
    m_stateChangePending = false;
    AfterStateChange(this);
}

bool TVoDataSource::Edit() {
    TVoQueryCollection *c = m_dataSet;
    if (!c || !c->Active() || m_readOnly)
        return false;
    return Editing() || (VoGuarded([c] { c->Edit(); }) && Editing());
}

void TVoDataSource::Insert() {
    if (TVoQueryCollection *c = m_dataSet)
        VoGuarded([c] { c->Insert(); });
}

bool TVoDataSource::Post() {
    TVoQueryCollection *c = m_dataSet;
    bool posted = true;
    if (c && Editing() && !VoGuarded([c, &posted] { posted = c->Post(); }))
        return false;
    return posted;
}

void TVoDataSource::Cancel() {
    if (TVoQueryCollection *c = m_dataSet; c && Editing())
        VoGuarded([c] { c->Cancel(); });
}

bool TVoDataSource::UpdateRecord() {
    for (TVoDBControl *control : ControlsInTabOrder())
        if (control->Modified() && !control->WriteNow())
            return false;
    return true;
}

bool TVoDataSource::ValidateControls() {
    for (TVoDBControl *control : ControlsInTabOrder())
        if (control->Field() && VoIsInUse(control->Widget()) && !control->Validate())
            return false;
    return true;
}

QList<TVoDBControl *> TVoDataSource::ControlsInTabOrder() const {
    QHash<QWidget *, TVoDBControl *> byWidget;
    QList<QWidget *> windows;
    for (TVoDBControl *control : m_controls) {
        byWidget.insert(control->Widget(), control);
        if (!windows.contains(control->Widget()->window()))
            windows << control->Widget()->window();
    }
    QList<TVoDBControl *> ordered;
    QSet<TVoDBControl *> seen;
    for (QWidget *window : windows) {
        QWidget *w = window;
        do {
            if (TVoDBControl *control = byWidget.value(w); control && !seen.contains(control)) {
                ordered << control;
                seen.insert(control);
            }
            w = w->nextInFocusChain();
        } while (w && w != window);
    }
    for (TVoDBControl *control : m_controls)
        if (!seen.contains(control))
            ordered << control;
    return ordered;
}

void TVoDataSource::Attach(TVoDBControl *control) {
    if (!m_controls.contains(control))
        m_controls << control;
}

void TVoDataSource::Detach(TVoDBControl *control) {
    m_controls.removeAll(control);
}

// --- TVoDBControl -----------------------------------------------------------------------------------

TVoDBControl::TVoDBControl(QWidget *self) : m_self(self) {}

TVoDBControl::~TVoDBControl() {
    if (m_dataSource)
        m_dataSource->Detach(this);
}

void TVoDBControl::SetDataSource(TVoDataSource *dataSource) {
    if (m_dataSource == dataSource)
        return;
    if (m_dataSource)
        m_dataSource->Detach(this);
    m_dataSource = dataSource;
    if (m_dataSource)
        m_dataSource->Attach(this);
    ReadField();
    UpdateReadOnly();
}

void TVoDBControl::Bind(TVoDataSource *dataSource, const QString &fieldName) {
    m_dataField = fieldName;
    SetDataSource(dataSource);
    ReadField();
    UpdateReadOnly();
}

void TVoDBControl::SetDataField(const QString &fieldName) {
    m_dataField = fieldName;
    ReadField();
    UpdateReadOnly();
}

TVoField *TVoDBControl::Field() const {
    if (!m_dataSource || m_dataField.isEmpty())
        return nullptr;
    TVoQueryCollection *c = m_dataSource->DataSet();
    return c && c->Active() ? c->FindField(m_dataField) : nullptr;
}

void TVoDBControl::SetReadOnly(bool on) {
    if (on && !m_readOnly) {
        m_writablePolicy = m_self->focusPolicy();
        if (m_writablePolicy & Qt::TabFocus)
            m_self->setFocusPolicy(Qt::ClickFocus);
    } else if (!on && m_readOnly && m_self->focusPolicy() == Qt::ClickFocus) {
        m_self->setFocusPolicy(m_writablePolicy);
    }
    m_readOnly = on;
    UpdateReadOnly();
}

QString TVoDBControl::Caption() const {
    if (!m_caption.isEmpty())
        return m_caption;
    for (const QLabel *label : m_self->window()->findChildren<QLabel *>())
        if (label->buddy() == m_self) {
            QString text = label->text().remove(QLatin1Char('&')).trimmed();
            if (text.endsWith(QLatin1Char(':')))
                text.chop(1);
            return text.trimmed();
        }
    if (const TVoField *f = Field())
        return f->DisplayLabel();
    return m_dataField;
}

void TVoDBControl::RaiseChange() {
    VoGuarded([this] { OnChange(m_self); });
}

void TVoDBControl::ReadField() {
    if (m_writing)
        return;
    QScopedValueRollback reading(m_reading, true);
    auto *line = qobject_cast<QLineEdit *>(m_self);
    const QString before = line ? line->text() : QString();
    DataToControl();
    m_modified = false;
    if (line)
        ProgramShown(line, before);
}

void TVoDBControl::ProgramShown(QLineEdit *edit, const QString &before) {
    // Putting a text leaves the cursor after it, the same text again too (a default the new row
    // brings that the last row had): a field the user is not in shows its beginning.
    if (!edit->hasFocus())
        edit->setCursorPosition(0);
    else if (edit->text() != before)
        edit->selectAll();
}

void TVoDBControl::UpdateReadOnly() {
    ApplyReadOnly(EffectiveReadOnly());
}

bool TVoDBControl::EffectiveReadOnly() const {
    if (m_readOnly)
        return true;
    if (!m_dataSource)
        return false;
    const int state = m_dataSource->State();
    return m_dataSource->ReadOnly() || state == dsInactive ||
           (state == dsBrowse && !m_dataSource->AutoEdit());
}

bool TVoDBControl::BeginEdit() {
    if (!m_dataSource)
        return true;
    if (m_dataSource->Editing())
        return true;
    if (EffectiveReadOnly())
        return false;
    return m_dataSource->Edit();
}

void TVoDBControl::UserChanged() {
    if (m_reading)
        return;
    if (!BeginEdit()) {
        ReadField();
        return;
    }
    m_modified = true;
    if (m_dataSource)
        m_dataSource->m_userTyped = true;
}

void TVoDBControl::ProgramChanged() {
    if (!m_reading && m_dataSource && m_dataSource->Editing())
        m_modified = true;
}

bool TVoDBControl::WriteNow() {
    return Write(true);
}

bool TVoDBControl::Write(bool report) {
    if (!m_modified || !Field())
        return true;
    if (!m_dataSource->Editing() && !BeginEdit()) {
        ReadField();
        return true;
    }
    QString error;
    bool ok = false;
    {
        QScopedValueRollback writing(m_writing, true);
        try {
            ok = ControlToData(&error);
        } catch (const std::exception &e) {
            if (!report || ToldServerLost(e))
                return false;
            const TVoFailureText failure = VoFailureText(e);
            return Fail(failure.text, failure.detail);
        }
    }
    if (!ok)
        return report ? Fail(error) : false;
    m_modified = false;
    return true;
}

bool TVoDBControl::Validate() {
    if (m_validating)
        return true;
    QScopedValueRollback validating(m_validating, true);
    const bool wasEmpty = IsEmpty();
    if (QString error; !Field() && !CheckText(&error))
        return Fail(error);
    if (!WriteNow())
        return false;
    bool ok = true;
    QString msg;
    try {
        OnValidate(m_self, ok, msg);
    } catch (const EVoAbort &) {
        return Fail(QString());
    } catch (const std::exception &e) {
        if (ToldServerLost(e))
            return false;
        const TVoFailureText failure = VoFailureText(e);
        return Fail(failure.text, failure.detail);
    }
    // A validator may have rewritten the text (a code padded with zeros).
    if (!WriteNow())
        return false;
    if (!ok)
        return Fail(VoValidationMessage(msg, wasEmpty, Caption()));
    // The field's bounds come after the program's own rule, whose word on a value is the more
    // particular one (a quantity of zero).
    if (const QString problem = BoundsProblem(); !problem.isEmpty())
        return Fail(problem);
    Unmark();
    return true;
}

QString TVoDBControl::BoundsProblem() const {
    const TVoField *field = Field();
    return field ? field->DataSet()->FieldBoundsProblem(field, Caption()) : QString();
}

QString TVoDBControl::TooLargeProblem(const QString &text, int scale) const {
    double value = 0;
    const double factor = std::pow(10.0, scale);
    const TVoBounds held = VoTypeBounds(QMetaType::LongLong);
    if (!VoTextToFloat(text, &value) || std::fabs(value * factor) <= held.max)
        return QString();
    const TVoField *field = Field();
    const TVoBounds *declared = field ? field->DataSet()->FieldBounds(field->FieldName()) : nullptr;
    TVoBounds bounds =
        declared ? *declared : TVoBounds{held.min / factor, true, held.max / factor, scale, QString()};
    bounds.scale = scale;
    return VoBoundsProblem(bounds, value * factor, Caption());
}

bool TVoDBControl::Fail(const QString &message, const QString &detail) {
    // The user reads the message with the field it names in sight, its page brought forward.
    VoShowControl(m_self);
    if (!message.isEmpty()) {
        TVoShownMessage shown{message, mtWarning, mbOK};
        shown.detail = detail;
        VoMessageDlg(shown);
    }
    Mark(message);
    QPointer<QWidget> widget(m_self);
    // Back in the field, the refused text is selected: what is typed next replaces it (a full date's
    // mask would otherwise leave the cursor where nothing goes in).
    const auto back = [widget] {
        RestoreFocus(widget);
        if (auto *line = qobject_cast<QLineEdit *>(widget.data()))
            line->selectAll();
    };
    if (!m_leaving)
        back();
    // Leaving the control, the focus is still on its way to the next one: put it back afterwards.
    QTimer::singleShot(0, widget, back);
    SwallowPendingClicks();
    return false;
}

void TVoDBControl::Mark(const QString &message) {
    if (m_invalidMessage.isEmpty()) {
        m_styleBeforeMark = m_self->styleSheet();
        m_toolTipBeforeMark = m_self->toolTip();
    }
    m_invalidMessage = message.isEmpty() ? QStringLiteral("!") : message;
    m_self->setStyleSheet(m_styleBeforeMark + QStringLiteral(" %1 { border: 2px solid #d00000; }")
                                                  .arg(QLatin1String(m_self->metaObject()->className())));
    m_self->setToolTip(message.trimmed());
}

void TVoDBControl::Unmark() {
    if (m_invalidMessage.isEmpty())
        return;
    m_invalidMessage.clear();
    m_self->setStyleSheet(m_styleBeforeMark);
    m_self->setToolTip(m_toolTipBeforeMark);
}

void TVoDBControl::Leaving(Qt::FocusReason reason) {
    if (reason == Qt::PopupFocusReason)
        return;
    // A text longer than its field shows its beginning once the user has left it, wherever she typed,
    // for another field or another window.
    if (auto *line = qobject_cast<QLineEdit *>(m_self))
        line->setCursorPosition(0);
    if (reason == Qt::ActiveWindowFocusReason)
        return;
    if (g_restoringFocus || m_validating || (m_dataSource && !m_dataSource->Editing()))
        return;
    // Being hidden (its page put away): the check waits for the post.
    if (!m_self->isVisible())
        return;
    QScopedValueRollback leaving(m_leaving, true);
    // Tab walks the fields: never a way of giving up the row. The program moving the focus (a window
    // putting it on the field to type first) is not the user leaving: the check waits for the post.
    const bool byProgram = reason == Qt::OtherFocusReason;
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        (!byProgram && MovedToDataField(m_self)))
        Validate();
    else
        // What can be stored is written; a text that cannot waits, unreported, for the post.
        Write(false);
}

bool TVoDBControl::KeyDown(QKeyEvent *event) {
    int key = event->key();
    // A handler that fails swallows the key.
    if (!VoGuarded([&] { OnKeyDown(m_self, key, event->modifiers()); }))
        key = 0;
    if (key == 0) {
        event->accept();
        return true;
    }
    if (IsEditingKey(event) && !EffectiveReadOnly() && !BeginEdit()) {
        event->accept();
        return true;
    }
    return false;
}

bool TVoDBControl::IsEditingKey(QKeyEvent *event) {
    static const QKeySequence::StandardKey editing[] = {
        QKeySequence::Paste,
        QKeySequence::Cut,
        QKeySequence::Delete,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::Undo,
        QKeySequence::Redo,
    };
    for (const auto key : editing)
        if (event->matches(key))
            return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}
