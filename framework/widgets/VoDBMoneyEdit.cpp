#include "VoDBMoneyEdit.h"

#include "VoQueryCollection.h"

#include <QFocusEvent>

TVoDBMoneyEdit::TVoDBMoneyEdit(QWidget *parent) : TVoDBWidget(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Every key typed stays in the text; what no amount holds is refused, by name, when it is written.
    connect(this, &QLineEdit::textChanged, this, [this] { OnChange(this); });
    connect(this, &QLineEdit::textEdited, this, [this] { UserChanged(); });
}

void TVoDBMoneyEdit::SetDisplayDecimals(int decimals) {
    m_displayDecimals = qBound(0, decimals, TVoMoney::Decimals);
    if (!Modified())
        ShowValue(hasFocus());
}

std::optional<TVoMoney> TVoDBMoneyEdit::Value() const {
    if (!Modified())
        return m_value;
    TVoMoney typed;
    return TVoMoney::TryParse(text(), &typed) ? std::optional(typed) : std::nullopt;
}

bool TVoDBMoneyEdit::IsEmpty() const {
    return text().trimmed().isEmpty();
}

void TVoDBMoneyEdit::ShowValue(bool typing) {
    if (!m_value)
        setText(QString());
    else
        setText(typing ? m_value->PlainText() : m_value->Text(m_displayDecimals));
}

void TVoDBMoneyEdit::DataToControl() {
    if (!DataSource())
        return;
    const TVoField *f = Field();
    m_value = f && !f->IsNull() ? std::optional(f->AsMoney()) : std::nullopt;
    ShowValue(hasFocus());
}

bool TVoDBMoneyEdit::ControlToData(QString *error) {
    TVoField *f = Field();
    if (IsEmpty()) {
        if (f->Required()) {
            *error = VoValidationMessage(QString(), true, Caption());
            return false;
        }
        f->SetNull();
        m_value.reset();
        return true;
    }
    if (const QString chars = VoNumberCharsProblem(text(), Caption()); !chars.isEmpty()) {
        *error = chars;
        return false;
    }
    TVoMoney typed;
    if (!TVoMoney::TryParse(text(), &typed)) {
        if (const QString large = TooLargeProblem(text(), TVoMoney::Decimals); !large.isEmpty()) {
            *error = large;
            return false;
        }
        *error = QStringLiteral("Attenzione ! \r\n\"%1\" non è un numero valido. ").arg(text().trimmed());
        return false;
    }
    f->SetAsMoney(typed);
    m_value = typed;
    return true;
}

void TVoDBMoneyEdit::ApplyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

void TVoDBMoneyEdit::focusInEvent(QFocusEvent *event) {
    if (!Modified())
        ShowValue(true);
    TVoDBWidget::focusInEvent(event);
}

void TVoDBMoneyEdit::focusOutEvent(QFocusEvent *event) {
    TVoDBWidget::focusOutEvent(event);
    if (!Modified() && !hasFocus())
        ShowValue(false);
}
