#include "AbiUSearchBox.h"

#include <QColor>
#include <QEvent>
#include <QLineEdit>

namespace {

const QColor kSilver(192, 192, 192);
const QColor kLightYellow(255, 255, 132);

} // namespace

TAbiSearchBoxLook::TAbiSearchBoxLook(QLineEdit *edit, const QString &placeholder)
    : QObject(edit), m_edit(edit), m_placeholder(placeholder) {
    edit->installEventFilter(this);
}

bool TAbiSearchBoxLook::Typed() const {
    const QString text = m_edit->text();
    return !text.isEmpty() && text != m_placeholder;
}

void TAbiSearchBoxLook::Reset() {
    SetLook(kSilver, Qt::white);
    m_edit->setText(m_placeholder);
}

void TAbiSearchBoxLook::SetLook(const QColor &text, const QColor &fill) {
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, fill);
    m_edit->setPalette(palette);
}

bool TAbiSearchBoxLook::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_edit && event->type() == QEvent::FocusIn) {
        if (!m_placeholder.isEmpty() && m_edit->text() == m_placeholder)
            m_edit->clear();
        SetLook(Qt::black, kLightYellow);
    } else if (watched == m_edit && event->type() == QEvent::FocusOut) {
        if (m_edit->text().isEmpty())
            Reset();
        else
            SetLook(Qt::black, Qt::white);
    }
    return QObject::eventFilter(watched, event);
}
