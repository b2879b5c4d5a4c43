#pragma once
// Data-aware edits bound to a field of a data source: text, memo, check box, number and amount.
// Each shows the current row's value, writes what the user typed when the user leaves it (or when
// the row is posted) and runs its validator (VoDataSource.h). Typing into a row being browsed starts
// editing it when the data source's AutoEdit is on. The date edit and the lookup have units of
// their own.
#include "VoDataSource.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

// The characters a text edit takes, as flags; none: any character.
enum TVoCharFilter : unsigned { kfAnyChar = 0, kfLetters = 1u << 0, kfDigits = 1u << 1 };
using TVoCharFilters = unsigned;

class TVoDBEdit : public TVoDBWidget<QLineEdit> {
    Q_OBJECT
public:
    explicit TVoDBEdit(QWidget *parent = nullptr);

    // Letters typed or pasted become upper case.
    bool UpperCase() const { return m_upperCase; }
    void SetUpperCase(bool on);
    // Only letters "A" to "Z" (either case) and/or digits may be typed or pasted; other characters are
    // refused as they come, while those already in the text (stored before) can still be deleted.
    TVoCharFilters CharFilter() const { return m_charFilter; }
    void SetCharFilter(TVoCharFilters filter);

    bool IsEmpty() const override;

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    void ApplyReadOnly(bool readOnly) override;

private:
    void UpdateValidator();
    bool m_upperCase = false;
    TVoCharFilters m_charFilter = kfAnyChar;
};

class TVoDBMemo : public TVoDBWidget<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit TVoDBMemo(QWidget *parent = nullptr);

    // Characters at most; 0 without limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int length) { m_maxLength = length; }

    bool IsEmpty() const override;

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    void ApplyReadOnly(bool readOnly) override;

private:
    int m_maxLength = 0;
};

// Ticked when the field holds a true value (non-zero number, or the checked value for text fields);
// writes the checked value (1) or the unchecked one (0) as the user clicks.
class TVoDBCheckBox : public TVoDBWidget<QCheckBox> {
    Q_OBJECT
public:
    explicit TVoDBCheckBox(QWidget *parent = nullptr);
    explicit TVoDBCheckBox(const QString &text, QWidget *parent = nullptr);

    QVariant ValueChecked() const { return m_checked; }
    QVariant ValueUnchecked() const { return m_unchecked; }
    void SetValues(const QVariant &checked, const QVariant &unchecked);

    bool IsEmpty() const override { return false; }

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    void ApplyReadOnly(bool readOnly) override;
    void nextCheckState() override;

private:
    QVariant m_checked = 1;
    QVariant m_unchecked = 0;
    bool m_effectiveReadOnly = false;
};

// A number: plain while the user types ("1234,5"), in its display format otherwise ("1.234,50").
// An empty text is NULL; a field that refuses NULL refuses the empty text. As wide as a number of
// hundreds of millions with decimals, not as the row it stands in.
class TVoDBNumericEdit : public TVoDBWidget<QLineEdit> {
    Q_OBJECT
public:
    explicit TVoDBNumericEdit(QWidget *parent = nullptr);

    // A number format of VoFormatFloat; empty: the field's own display format.
    QString DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString &format);
    // For amounts kept as integers in units of 10^-scale (4: ten-thousandths); 0 stores the number
    // itself.
    int Scale() const { return m_scale; }
    void SetScale(int scale);

    // The value shown (or typed); NULL when empty or not a number.
    QVariant Value() const;
    double AsFloat(double defaultValue = 0.0) const;
    // Shows a value; while the row is edited it is also written to the field.
    void SetValue(const QVariant &value);

    bool IsEmpty() const override;
    QSize sizeHint() const override;

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    void ApplyReadOnly(bool readOnly) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The value in the units the user reads (an amount divided by its scale).
    double Shown(const QVariant &stored) const;
    QString EditText() const;
    QString FormattedText() const;
    // Shows a form of the value: not a change of it.
    void ShowText(const QString &text);
    void ShowValue();
    bool ParseText(QVariant *stored, QString *error) const;

    QString m_displayFormat;
    int m_scale = 0;
    QVariant m_value; // as stored
    bool m_formatting = false;
};

// The size hint of a line edit made to hold a sample text instead of Qt's standard width; with a
// Maximum horizontal policy the edit keeps to it in a form.
QSize VoLineEditHint(const QLineEdit *edit, const QSize &standardHint, const QString &sample);

// An amount: a number edit whose display format is "#,##0.00" unless set.
class TVoDBCurrencyEdit : public TVoDBNumericEdit {
    Q_OBJECT
public:
    explicit TVoDBCurrencyEdit(QWidget *parent = nullptr);
};
