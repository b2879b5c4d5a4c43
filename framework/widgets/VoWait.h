#pragma once
// The wait window: shown, without being modal, while a long operation runs, with a title, a text
// and an optional progress bar.
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

class TfmVoWait : public QWidget {
    Q_OBJECT
public:
    explicit TfmVoWait(QWidget *parent = nullptr);

    void SetTitle(const QString &title);
    QString Title() const;
    void SetText(const QString &text);
    QString Text() const;

    // A maximum above 0 shows the progress bar, starting from 0.
    void SetProgressMax(int maximum);
    int ProgressMax() const;
    int ProgressPosition() const;
    void SetProgressPosition(int position);
    void StepProgressBar();

    // Shows the window and lets it paint before the caller goes on with its work.
    void ShowWait();
    // Hides the window and gives the activation back to the window that had it before.
    void HideWait();

private:
    void Repaint();
    QLabel *m_title;
    QLabel *m_text;
    QProgressBar *m_progress;
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
