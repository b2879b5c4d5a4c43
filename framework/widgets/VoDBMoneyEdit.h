#pragma once
// An amount of money bound to a BIGINT field of ten-thousandths (VoMoney.h): typed plainly
// ("1234,5"), shown with grouped thousands and two decimals otherwise ("1.234,50"), read and written
// exactly. An empty text is NULL; a field that refuses NULL refuses the empty text.
#include "VoDataSource.h"
#include "VoMoney.h"

#include <QLineEdit>
#include <optional>

class TVoDBMoneyEdit : public TVoDBWidget<QLineEdit> {
    Q_OBJECT
public:
    explicit TVoDBMoneyEdit(QWidget *parent = nullptr);

    // Decimals shown when the user is not typing (0 to 4; the stored four are kept whatever).
    int DisplayDecimals() const { return m_displayDecimals; }
    void SetDisplayDecimals(int decimals);

    // The amount shown or typed; none when the text is empty or no amount.
    std::optional<TVoMoney> Value() const;

    bool IsEmpty() const override;

protected:
    void DataToControl() override;
    bool ControlToData(QString *error) override;
    void ApplyReadOnly(bool readOnly) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The value in the form for typing or in the form for reading.
    void ShowValue(bool typing);

    std::optional<TVoMoney> m_value; // as the field holds it
    int m_displayDecimals = 2;
};
