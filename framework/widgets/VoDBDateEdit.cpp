#include "VoDBDateEdit.h"

#include "VoDBEdits.h"
#include "VoDates.h"
#include "VoMessages.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kDateFormat = QStringLiteral("dd/MM/yyyy");

int QtKeyOfVirtualKey(int virtualKey) {
    if (virtualKey >= 112 && virtualKey <= 135)
        return Qt::Key_F1 + (virtualKey - 112);
    return virtualKey;
}

} // namespace

const QString TVoDBDateEdit::EmptyText = QStringLiteral("  /  /    ");

TVoDBDateEdit::TVoDBDateEdit(QWidget *parent) : TVoDBWidget(parent) {
    setInputMask(QStringLiteral("99/99/9999; "));
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    m_button = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    m_button->setToolTip(QStringLiteral("Scegli una data"));
    connect(m_button, &QAction::triggered, this, [this] { ButtonClicked(); });
    connect(this, &QLineEdit::textChanged, this, [this] {
        ProgramChanged();
        RaiseChange();
    });
    connect(this, &QLineEdit::textEdited, this, [this] { UserChanged(); });
}

TVoDBDateEdit::~TVoDBDateEdit() {
    delete m_popup;
}

QDate TVoDBDateEdit::Date() const {
    return IsEmpty() ? QDate() : QDate::fromString(displayText(), kDateFormat);
}

double TVoDBDateEdit::AsDays() const {
    const QDate d = Date();
    return d.isValid() ? DateToDays(d) : VoNoDate;
}

void TVoDBDateEdit::Show(const QDate &date) {
    if (date.isValid())
        setText(date.toString(kDateFormat));
    else
        clear();
}

void TVoDBDateEdit::SetDate(const QDate &date) {
    const QString before = text();
    Show(date);
    ProgramShown(this, before);
    if (Field() && DataSource()->Editing()) {
        SetModified(true);
        WriteNow();
    }
}

bool TVoDBDateEdit::IsEmpty() const {
    return QString(displayText()).remove(QLatin1Char('/')).trimmed().isEmpty();
}

QSize TVoDBDateEdit::sizeHint() const {
    return VoLineEditHint(this, TVoDBWidget::sizeHint(), QStringLiteral("00/00/0000"));
}

void TVoDBDateEdit::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    const QVariant v = f ? f->Value() : QVariant();
    Show(v.isNull() ? QDate() : v.toDate());
}

bool TVoDBDateEdit::CheckText(QString *error) const {
    const TVoField *f = Field();
    if (IsEmpty()) {
        if (f ? f->Required() : !m_emptyAllowed) {
            *error = VoValidationMessage(QString(), true, Caption());
            return false;
        }
        return true;
    }
    if (!Date().isValid()) {
        *error =
            QStringLiteral("Attenzione ! \r\n\"%1\" non è una data valida. ").arg(displayText().trimmed());
        return false;
    }
    return true;
}

bool TVoDBDateEdit::ControlToData(QString *error) {
    if (!CheckText(error))
        return false;
    TVoField *f = Field();
    if (IsEmpty())
        f->SetNull();
    else
        f->SetValue(Date());
    return true;
}

void TVoDBDateEdit::ApplyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
    m_button->setEnabled(!readOnly);
}

void TVoDBDateEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == QtKeyOfVirtualKey(m_pickerKey) && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (!isReadOnly())
            ButtonClicked();
        return;
    }
    static const QString separators = QStringLiteral("/.-");
    if (event->text().size() == 1 && separators.contains(event->text()) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (!KeyDown(event) && !isReadOnly())
            CloseSection();
        event->accept();
        return;
    }
    // A letter goes in nowhere, but the mask would first wipe the selected date with it.
    if (event->text().size() == 1 && event->text().at(0).isPrint() && !event->text().at(0).isDigit() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        event->accept();
        return;
    }
    TVoDBWidget::keyPressEvent(event);
}

void TVoDBDateEdit::focusInEvent(QFocusEvent *event) {
    TVoDBWidget::focusInEvent(event);
    // The mask puts the cursor after a complete date, where nothing typed goes in: arriving by Tab,
    // a shortcut or a window moving the focus, the date is selected, so that typing replaces it.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::ActiveWindowFocusReason)
        return;
    if (IsEmpty())
        setCursorPosition(0);
    else
        selectAll();
}

void TVoDBDateEdit::CloseSection() {
    // The mask alone would skip to the next section and leave "1 /4 /2026", or keep the old second
    // digit when typing over a date: the digits typed so far are the day (or month), zero-padded.
    const QString text = displayText();
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    const int start = at <= 2 ? 0 : at <= 5 ? 3 : -1;
    if (start < 0)
        return;
    const QString typed = text.mid(start, at - start).trimmed();
    if (typed.isEmpty())
        // The slash of a section the mask already closed ("01" moves on by itself).
        return;
    setText(text.left(start) + typed.rightJustified(2, QLatin1Char('0')) + text.mid(start + 2));
    setCursorPosition(start + 3);
    UserChanged();
}

void TVoDBDateEdit::ButtonClicked() {
    if (VoGuarded([this] { OnButtonClick(this); }))
        ShowPicker();
}

void TVoDBDateEdit::ShowPicker() {
    if (isReadOnly())
        return;
    if (!m_popup) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setFrameShape(QFrame::StyledPanel);
        auto *layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(2, 2, 2, 2);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setGridVisible(true);
        m_calendar->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
        layout->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::activated, this, [this](const QDate &date) { Accept(date); });
        connect(m_calendar, &QCalendarWidget::clicked, this, [this](const QDate &date) { Accept(date); });
    }
    m_popup->setWindowTitle(m_dialogTitle);
    const QDate shown = Date();
    m_calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

QCalendarWidget *TVoDBDateEdit::Calendar() const {
    return m_popup && m_popup->isVisible() ? m_calendar : nullptr;
}

void TVoDBDateEdit::Accept(const QDate &date) {
    // A double click is a click and an activation: one choice.
    if (!m_popup || !m_popup->isVisible())
        return;
    m_popup->hide();
    setFocus(Qt::PopupFocusReason);
    if (!BeginEdit())
        return;
    setText(date.toString(kDateFormat));
    SetModified(true);
    if (Field())
        WriteNow();
    VoGuarded([this] { OnAcceptDate(this); });
}
