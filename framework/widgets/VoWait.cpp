#include "VoWait.h"

#include "VoExceptions.h"
#include "VoMDIMain.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfmVoWait::TfmVoWait(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_title(new QLabel(this)),
      m_text(new QLabel(this)), m_progress(new QProgressBar(this)), m_count(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Annulla"), this)) {
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
    m_count->setObjectName(QStringLiteral("laCount"));
    m_count->setAlignment(Qt::AlignCenter);
    m_count->hide();
    m_cancel->setObjectName(QStringLiteral("buAnnulla"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &TfmVoWait::Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_text);
    layout->addWidget(m_progress);
    layout->addWidget(m_count);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    setMinimumWidth(360);
    TakeActivation(false);
}

// A wait that cannot be abandoned only shows itself: it takes neither the activation nor the keys,
// which stay with the window the work runs for. A wait window that took them, shown and hidden within
// a moment, could be given the activation by the window system after it was hidden, and then every
// key went to a window nobody sees.
void TfmVoWait::TakeActivation(bool take) {
    setAttribute(Qt::WA_ShowWithoutActivating, !take);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, !take);
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
    m_count->setVisible(maximum > 0);
    m_count->setText(CountText());
    Repaint();
}

QString TfmVoWait::CountText() const {
    return QStringLiteral("%1 di %2").arg(ProgressPosition()).arg(ProgressMax());
}

int TfmVoWait::ProgressMax() const {
    return m_progress->maximum();
}

int TfmVoWait::ProgressPosition() const {
    return qMax(0, m_progress->value());
}

void TfmVoWait::SetProgressPosition(int position) {
    m_progress->setValue(qMin(position, m_progress->maximum()));
    m_count->setText(CountText());
    if (OnProgress)
        OnProgress(position);
    // Painting at every step would cost more than many a step: a few times a second is enough for
    // the eye and for the click on "Annulla".
    if (!m_painted.isValid() || m_painted.elapsed() >= 100 || position >= m_progress->maximum()) {
        Repaint();
        m_painted.restart();
    }
    if (m_cancellable && m_cancelRequested)
        throw EVoAbort();
}

void TfmVoWait::SetCancellable(bool cancellable) {
    m_cancellable = cancellable;
    m_cancelRequested = false;
    m_cancel->setVisible(cancellable);
    m_cancel->setEnabled(true);
    // Only the wait window takes input while a job that can be abandoned runs.
    const bool visible = isVisible();
    if (visible)
        hide();
    setWindowModality(cancellable ? Qt::ApplicationModal : Qt::NonModal);
    TakeActivation(cancellable);
    if (visible)
        show();
}

void TfmVoWait::Cancel() {
    if (!m_cancellable)
        return;
    m_cancelRequested = true;
    m_cancel->setEnabled(false);
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
        QCoreApplication::processEvents(m_cancellable ? QEventLoop::AllEvents
                                                      : QEventLoop::ExcludeUserInputEvents);
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

TVoProgressScope::TVoProgressScope(const QString &text, int maximum, bool cancellable, const QString &title) {
    TfmVoWait *w = fmVoWait();
    w->SetTitle(title);
    w->SetText(text);
    w->SetCancellable(cancellable);
    w->SetProgressMax(maximum);
    w->ShowWait();
}

TVoProgressScope::~TVoProgressScope() {
    TfmVoWait *w = fmVoWait();
    w->HideWait();
    w->SetCancellable(false);
    w->SetProgressMax(0);
}

void TVoProgressScope::Step(int position) {
    fmVoWait()->SetProgressPosition(position);
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
