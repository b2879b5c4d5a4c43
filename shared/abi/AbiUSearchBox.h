#pragma once
// The look of the beneficiary dialogs' search boxes: a box at rest shows its placeholder in silver
// on white; entering it empties a shown placeholder, writes in black and fills it light yellow;
// leaving it empty shows the placeholder again, and white comes back.
#include <QObject>
#include <QString>

class QLineEdit;

class TAbiSearchBoxLook : public QObject {
    Q_OBJECT
public:
    TAbiSearchBoxLook(QLineEdit *edit, const QString &placeholder);

    QString Placeholder() const { return m_placeholder; }
    // Whether the box holds typed text (neither empty nor the placeholder).
    bool Typed() const;
    // The box at rest: the placeholder in silver.
    void Reset();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetLook(const QColor &text, const QColor &fill);

    QLineEdit *m_edit;
    QString m_placeholder;
};
