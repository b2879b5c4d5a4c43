#pragma once
// The wait window: shown, without being modal, while a long operation runs, with a title, a text
// and an optional progress bar.
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class TfmVoWait : public QWidget {
    Q_OBJECT
public:
    explicit TfmVoWait(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    QString Title() const;
    void SetText(const QString &text);
    QString Text() const;

    // A maximum above 0 shows the progress bar, starting from 0, with the count reached ("3 di 40").
    void SetProgressMax(int maximum);
    int ProgressMax() const;
    int ProgressPosition() const;
    // Moves the bar. In a job the user may abandon, this is where it ends: with EVoAbort once the
    // user has asked for it, so that the job's transaction rolls back as for any failure.
    void SetProgressPosition(int position);
    void StepProgressBar();
    // The count shown beside the bar.
    QString CountText() const;

    // A job the user may abandon: the window shows "Annulla" and takes its click while the job moves
    // the bar; the rest of the program waits behind the window meanwhile.
    void SetCancellable(bool cancellable);
    bool Cancellable() const { return m_cancellable; }
    // What "Annulla" does: the job ends at its next step.
    void Cancel();
    bool CancelRequested() const { return m_cancelRequested; }
    // Told each position the bar moves to, before the cancel is looked at: a test cancels with it
    // after a number of steps, as the user would.
    std::function<void(int position)> OnProgress;

    // Shows the window and lets it paint before the caller goes on with its work.
    void ShowWait();
    // Hides the window and gives the activation back to the window that had it before.
    void HideWait();

private:
    void Repaint();
    void TakeActivation(bool take);
    QLabel *m_title;
    QLabel *m_text;
    QProgressBar *m_progress;
    QLabel *m_count;
    QPushButton *m_cancel;
    bool m_cancellable = false;
    bool m_cancelRequested = false;
    QElapsedTimer m_painted;
    // The window that was active when the wait began, active again when it ends.
    QPointer<QWidget> m_previous;
};

// The shared wait window, created at its first use over the main window.
TfmVoWait *fmVoWait();
// Shows the shared wait window with a text (no progress bar).
void ShowVoWait(const QString &text, const QString &title = QString());
void HideVoWait();

// Shows the shared wait window for the life of the object, also when the work ends by an exception.
class TVoWaitScope {
public:
    explicit TVoWaitScope(const QString &text, const QString &title = QString()) { ShowVoWait(text, title); }
    ~TVoWaitScope() { HideVoWait(); }
    TVoWaitScope(const TVoWaitScope &) = delete;
    TVoWaitScope &operator=(const TVoWaitScope &) = delete;
};

// A long job's progress in the shared wait window for the life of the object: the text, a bar of
// maximum steps with its count, and "Annulla" when the user may abandon the job (Step then ends the
// job with EVoAbort). The window is hidden and made plain again also when the job ends by an
// exception.
class TVoProgressScope {
public:
    TVoProgressScope(const QString &text, int maximum, bool cancellable, const QString &title = QString());
    ~TVoProgressScope();
    TVoProgressScope(const TVoProgressScope &) = delete;
    TVoProgressScope &operator=(const TVoProgressScope &) = delete;
    void Step(int position);
};

// The hourglass for the life of the object: the cursor the user had comes back also when the work
// ends by an exception, or earlier with Restore (before a message the user is to read).
class TVoHourglass {
public:
    TVoHourglass();
    ~TVoHourglass() { Restore(); }
    TVoHourglass(const TVoHourglass &) = delete;
    TVoHourglass &operator=(const TVoHourglass &) = delete;
    void Restore();

private:
    bool m_shown = true;
};
