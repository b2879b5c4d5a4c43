#include "VoDBEdits.h"

#include "VoDisplayFormat.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>
#include <algorithm>
#include <cmath>

namespace {

// Upper-cases what is typed and refuses the characters the filter leaves out. Only a change that
// brings in such a character is refused: one already in the text can still be deleted.
class TEditValidator : public QValidator {
public:
    TEditValidator(QLineEdit *edit, bool upperCase, TVoCharFilters filter)
        : QValidator(edit), m_upperCase(upperCase), m_filter(filter), m_accepted(edit->text()) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString &text) { m_accepted = text; });
    }
    State validate(QString &input, int &) const override {
        if (m_upperCase)
            input = input.toUpper();
        return Refused(input) > Refused(m_accepted) ? Invalid : Acceptable;
    }

private:
    qsizetype Refused(const QString &text) const {
        if (m_filter == kfAnyChar)
            return 0;
        return std::count_if(text.cbegin(), text.cend(), [this](QChar c) {
            const bool letter = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                                (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
            const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
            return !((letter && (m_filter & kfLetters)) || (digit && (m_filter & kfDigits)));
        });
    }

    bool m_upperCase;
    TVoCharFilters m_filter;
    QString m_accepted;
};

bool IsIntegerType(int typeId) {
    return VoIsNumericType(typeId) && typeId != QMetaType::Double && typeId != QMetaType::Float;
}

qint64 ScaleFactor(int scale) {
    qint64 factor = 1;
    for (int i = 0; i < scale; ++i)
        factor *= 10;
    return factor;
}

} // namespace

// --- TVoDBEdit --------------------------------------------------------------------------------------

TVoDBEdit::TVoDBEdit(QWidget *parent) : TVoDBWidget(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        ProgramChanged();
        RaiseChange();
    });
    connect(this, &QLineEdit::textEdited, this, [this] { UserChanged(); });
}

void TVoDBEdit::SetUpperCase(bool on) {
    m_upperCase = on;
    UpdateValidator();
}

void TVoDBEdit::SetCharFilter(TVoCharFilters filter) {
    m_charFilter = filter;
    UpdateValidator();
}

void TVoDBEdit::UpdateValidator() {
    delete validator();
    setValidator(m_upperCase || m_charFilter != kfAnyChar
                     ? new TEditValidator(this, m_upperCase, m_charFilter)
                     : nullptr);
}

bool TVoDBEdit::IsEmpty() const {
    return text().trimmed().isEmpty();
}

void TVoDBEdit::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    setText(f ? f->AsString() : QString());
}

bool TVoDBEdit::ControlToData(QString *) {
    Field()->SetAsString(text());
    return true;
}

void TVoDBEdit::ApplyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

// --- TVoDBMemo --------------------------------------------------------------------------------------

TVoDBMemo::TVoDBMemo(QWidget *parent) : TVoDBWidget(parent) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (Reading())
            return;
        if (m_maxLength > 0 && toPlainText().size() > m_maxLength) {
            QTextCursor cursor = textCursor();
            setPlainText(toPlainText().left(m_maxLength));
            cursor.setPosition(m_maxLength);
            setTextCursor(cursor);
        }
        UserChanged();
        RaiseChange();
    });
}

bool TVoDBMemo::IsEmpty() const {
    return toPlainText().trimmed().isEmpty();
}

void TVoDBMemo::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    setPlainText(f ? f->AsString() : QString());
    RaiseChange();
}

bool TVoDBMemo::ControlToData(QString *) {
    Field()->SetAsString(toPlainText());
    return true;
}

void TVoDBMemo::ApplyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

// --- TVoDBCheckBox ----------------------------------------------------------------------------------

TVoDBCheckBox::TVoDBCheckBox(QWidget *parent) : TVoDBCheckBox(QString(), parent) {}

TVoDBCheckBox::TVoDBCheckBox(const QString &text, QWidget *parent) : TVoDBWidget(text, parent) {
    connect(this, &QCheckBox::toggled, this, [this] { RaiseChange(); });
}

void TVoDBCheckBox::SetValues(const QVariant &checked, const QVariant &unchecked) {
    m_checked = checked;
    m_unchecked = unchecked;
    ReadField();
}

void TVoDBCheckBox::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    bool on = false;
    if (f && !f->IsNull()) {
        const QVariant v = f->Value();
        if (v.typeId() == QMetaType::QString)
            on = v.toString().trimmed().compare(m_checked.toString(), Qt::CaseInsensitive) == 0;
        else
            on = f->AsBoolean();
    }
    setChecked(on);
}

bool TVoDBCheckBox::ControlToData(QString *) {
    Field()->SetValue(isChecked() ? m_checked : m_unchecked);
    return true;
}

void TVoDBCheckBox::ApplyReadOnly(bool readOnly) {
    m_effectiveReadOnly = readOnly;
}

void TVoDBCheckBox::nextCheckState() {
    if (m_effectiveReadOnly || !BeginEdit())
        return;
    QCheckBox::nextCheckState();
    SetModified(true);
    WriteNow();
}

// --- TVoDBNumericEdit -------------------------------------------------------------------------------

TVoDBNumericEdit::TVoDBNumericEdit(QWidget *parent) : TVoDBWidget(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    // Every key typed stays in the text: a character no number holds is refused, by name, when the
    // text is written, never dropped on the way ("1e20" would become 120 without a word).
    connect(this, &QLineEdit::textChanged, this, [this] { RaiseChange(); });
    connect(this, &QLineEdit::textEdited, this, [this] { UserChanged(); });
}

void TVoDBNumericEdit::SetDisplayFormat(const QString &format) {
    m_displayFormat = format;
    if (!Modified())
        ShowValue();
}

void TVoDBNumericEdit::SetScale(int scale) {
    m_scale = qBound(0, scale, 9);
    if (!Modified())
        ShowValue();
}

double TVoDBNumericEdit::Shown(const QVariant &stored) const {
    if (m_scale > 0)
        return double(stored.toLongLong()) / double(ScaleFactor(m_scale));
    return stored.toDouble();
}

QString TVoDBNumericEdit::EditText() const {
    if (m_value.isNull() || !m_value.isValid())
        return QString();
    if (m_scale > 0)
        return VoScaledToText(m_value.toLongLong(), m_scale);
    if (IsIntegerType(m_value.typeId()))
        return QString::number(m_value.toLongLong());
    return VoFloatToText(m_value.toDouble());
}

QString TVoDBNumericEdit::FormattedText() const {
    if (m_value.isNull() || !m_value.isValid())
        return QString();
    QString format = m_displayFormat;
    if (format.isEmpty())
        if (const TVoField *f = Field())
            format = f->DisplayFormat();
    if (format.isEmpty())
        return m_scale > 0 ? VoScaledToText(m_value.toLongLong(), m_scale) : VoDisplayText(m_value);
    return VoFormatFloat(format, Shown(m_value));
}

void TVoDBNumericEdit::ShowText(const QString &text) {
    const bool formatting = m_formatting;
    m_formatting = true;
    setText(text);
    m_formatting = formatting;
}

void TVoDBNumericEdit::ShowValue() {
    ShowText(hasFocus() ? EditText() : FormattedText());
}

bool TVoDBNumericEdit::ParseText(QVariant *stored, QString *error) const {
    const QString t = text().trimmed();
    *stored = QVariant();
    if (t.isEmpty())
        return true;
    const auto refuse = [&](const char *what) {
        if (error)
            *error =
                QStringLiteral("Attenzione ! \r\n\"%1\" non è un numero %2. ").arg(t, QLatin1String(what));
        return false;
    };
    if (const QString chars = VoNumberCharsProblem(t, Caption()); !chars.isEmpty()) {
        if (error)
            *error = chars;
        return false;
    }
    if (m_scale > 0) {
        qint64 units = 0;
        if (!VoTextToScaled(t, m_scale, &units)) {
            if (const QString large = TooLargeProblem(t, m_scale); !large.isEmpty()) {
                if (error)
                    *error = large;
                return false;
            }
            return refuse("valido");
        }
        *stored = units;
        return true;
    }
    double d = 0;
    if (!VoTextToFloat(t, &d))
        return refuse("valido");
    const TVoField *f = Field();
    const int type = f ? f->DataType() : m_value.typeId();
    if (IsIntegerType(type)) {
        if (d != std::trunc(d))
            return refuse("intero");
        if (const QString held = VoBoundsProblem(VoTypeBounds(type), d, Caption()); !held.isEmpty()) {
            if (error)
                *error = held;
            return false;
        }
        *stored = qint64(d);
    } else {
        *stored = d;
    }
    return true;
}

QVariant TVoDBNumericEdit::Value() const {
    if (!Modified())
        return m_value;
    QVariant v;
    return ParseText(&v, nullptr) ? v : QVariant();
}

double TVoDBNumericEdit::AsFloat(double defaultValue) const {
    const QVariant v = Value();
    return v.isNull() || !v.isValid() ? defaultValue : Shown(v);
}

void TVoDBNumericEdit::SetValue(const QVariant &value) {
    m_value = value;
    ShowValue();
    if (Field() && DataSource()->Editing()) {
        SetModified(true);
        WriteNow();
    }
}

bool TVoDBNumericEdit::IsEmpty() const {
    return text().trimmed().isEmpty();
}

QSize TVoDBNumericEdit::sizeHint() const {
    return VoLineEditHint(this, TVoDBWidget::sizeHint(), QStringLiteral("-999.999.999,99"));
}

void TVoDBNumericEdit::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    m_value = f ? f->Value() : QVariant();
    ShowValue();
}

bool TVoDBNumericEdit::ControlToData(QString *error) {
    QVariant v;
    if (!ParseText(&v, error))
        return false;
    TVoField *f = Field();
    if (v.isNull() && f->Required()) {
        *error = VoValidationMessage(QString(), true, Caption());
        return false;
    }
    f->SetValue(v);
    m_value = f->Value();
    return true;
}

void TVoDBNumericEdit::ApplyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

void TVoDBNumericEdit::focusInEvent(QFocusEvent *event) {
    if (!Modified())
        ShowText(EditText());
    TVoDBWidget::focusInEvent(event);
}

void TVoDBNumericEdit::focusOutEvent(QFocusEvent *event) {
    TVoDBWidget::focusOutEvent(event);
    if (!Modified() && !hasFocus())
        ShowText(FormattedText());
}

QSize VoLineEditHint(const QLineEdit *edit, const QSize &standardHint, const QString &sample) {
    // Qt's hint is seventeen x's wide, plus frame, margins and buttons: those stay.
    const QFontMetrics metrics = edit->fontMetrics();
    const int room = metrics.horizontalAdvance(sample) + metrics.averageCharWidth();
    return QSize(standardHint.width() - 17 * metrics.horizontalAdvance(QLatin1Char('x')) + room,
                 standardHint.height());
}

// --- TVoDBCurrencyEdit ------------------------------------------------------------------------------

TVoDBCurrencyEdit::TVoDBCurrencyEdit(QWidget *parent) : TVoDBNumericEdit(parent) {
    SetDisplayFormat(QStringLiteral("#,##0.00"));
}
