#include "VoWait.h"

#include "VoMDIMain.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

TfmVoWait::TfmVoWait(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_title(new QLabel(this)),
      m_text(new QLabel(this)), m_progress(new QProgressBar(this)) {
    setObjectName(QStringLiteral("fmVoWait"));
    setWindowTitle(QStringLiteral("Attendere..."));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    m_title->hide();
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_progress->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_text);
    layout->addWidget(m_progress);
    setMinimumWidth(360);
}

void TfmVoWait::SetTitle(const QString &title) {
    m_title->setText(title);
    m_title->setVisible(!title.isEmpty());
    Repaint();
}

QString TfmVoWait::Title() const {
    return m_title->text();
}

void TfmVoWait::SetText(const QString &text) {
    m_text->setText(text);
    Repaint();
}

QString TfmVoWait::Text() const {
    return m_text->text();
}

void TfmVoWait::SetProgressMax(int maximum) {
    m_progress->setRange(0, qMax(0, maximum));
    m_progress->setValue(0);
    m_progress->setVisible(maximum > 0);
    Repaint();
}

int TfmVoWait::ProgressMax() const {
    return m_progress->maximum();
}

int TfmVoWait::ProgressPosition() const {
    return qMax(0, m_progress->value());
}

void TfmVoWait::SetProgressPosition(int position) {
    m_progress->setValue(qMin(position, m_progress->maximum()));
    Repaint();
}

void TfmVoWait::StepProgressBar() {
    SetProgressPosition(ProgressPosition() + 1);
}

void TfmVoWait::ShowWait() {
    if (QWidget *active = QApplication::activeWindow(); active && active != this)
        m_previous = active;
    show();
    raise();
    Repaint();
}

void TfmVoWait::HideWait() {
    hide();
    // The user goes on where the work started, with the focus where it was.
    if (m_previous && m_previous->isVisible() && QApplication::activeWindow() != m_previous)
        m_previous->activateWindow();
    m_previous = nullptr;
}

void TfmVoWait::Repaint() {
    // The caller keeps the event loop busy with its work: paint now, but take no user input that
    // could start something else meanwhile.
    if (isVisible())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

TfmVoWait *fmVoWait() {
    static QPointer<TfmVoWait> wait;
    if (!wait)
        wait = new TfmVoWait(TfmVoMDIMain::Instance());
    return wait;
}

void ShowVoWait(const QString &text, const QString &title) {
    TfmVoWait *w = fmVoWait();
    w->SetTitle(title);
    w->SetText(text);
    w->SetProgressMax(0);
    w->ShowWait();
}

void HideVoWait() {
    fmVoWait()->HideWait();
}

TVoHourglass::TVoHourglass() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TVoHourglass::Restore() {
    if (!m_shown)
        return;
    m_shown = false;
    QApplication::restoreOverrideCursor();
}
