#pragma once
// Every message the programs show passes through this one service. In the program it is a message
// box; in tests a scripted responder answers and keeps every text shown, so that a test can assert
// the exact message and drive the branch the user would choose.
#include <QList>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons, as flags.
enum TMsgDlgBtn : unsigned {
    mbNone = 0,
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
};
using TMsgDlgButtons = unsigned;
inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// Results, numbered as the programs compare them (6 Yes, 7 No).
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

struct TVoShownMessage {
    QString text;
    TMsgDlgType type = mtInformation;
    TMsgDlgButtons buttons = mbOK;
    int helpContext = 0;
    TMsgDlgBtn defaultButton = mbNone;
    // The title of the box; empty: the program's name.
    QString caption{};
    // What the engine or the system said, shown on request under the message: the message itself
    // says in the user's words what happened and what to do.
    QString detail{};
};

// Answers a message. Without a window system the default responder writes the text to the error
// output; the programs install the message boxes (VoMessageBoxes.h).
class IVoMessageResponder {
public:
    virtual ~IVoMessageResponder() = default;
    virtual int Answer(const TVoShownMessage &message) = 0;
};

// Shows a message and returns the button pressed.
int VoMessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0,
                 TMsgDlgBtn defaultButton = mbNone);
// The same for a message given whole (with a caption of its own).
int VoMessageDlg(const TVoShownMessage &message);
// A plain information message with an OK button.
void VoMessageBox(const QString &text);
// Reports an exception's text as an error message (used where events start, so that no exception
// crosses the event loop), in the words of VoFailureText. An EVoAbort shows nothing.
void VoShowException(const std::exception &e);
// The same for an exception that is no std::exception.
void VoShowUnknownException();

// The answer a user gives by pressing Enter on a message with these buttons.
int VoFirstAnswer(TMsgDlgButtons buttons);

// Replaces the responder; returns the previous one. nullptr restores the default one.
std::shared_ptr<IVoMessageResponder> SetVoMessageResponder(std::shared_ptr<IVoMessageResponder> responder);

// The responder of the tests: answers from a script and records every message.
class TVoScriptedResponder : public IVoMessageResponder {
public:
    // Queues the next answers, in order (mrYes, mrNo, mrOk, ...).
    void Push(int answer) { m_answers.append(answer); }
    void Push(std::initializer_list<int> answers) {
        for (int a : answers)
            m_answers.append(a);
    }
    int Answer(const TVoShownMessage &message) override;

    const QList<TVoShownMessage> &Shown() const { return m_shown; }
    QStringList Texts() const;
    QString LastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int PendingAnswers() const { return int(m_answers.size()); }
    void Clear() {
        m_shown.clear();
        m_answers.clear();
    }

private:
    QList<int> m_answers;
    QList<TVoShownMessage> m_shown;
};

// Installs a scripted responder for the life of the object and restores the previous one after.
class TVoScriptedMessages {
public:
    TVoScriptedMessages();
    ~TVoScriptedMessages();
    TVoScriptedResponder &operator*() { return *m_responder; }
    TVoScriptedResponder *operator->() { return m_responder.get(); }

private:
    std::shared_ptr<TVoScriptedResponder> m_responder;
    std::shared_ptr<IVoMessageResponder> m_previous;
};

// Runs a callable where an event of the window system starts, showing any exception to the user
// instead of letting it cross the event loop. Returns false when the callable threw.
template <class F> bool VoGuarded(F &&f) {
    try {
        std::forward<F>(f)();
        return true;
    } catch (const std::exception &e) {
        VoShowException(e);
    } catch (...) {
        VoShowUnknownException();
    }
    return false;
}
