#include "VoMessages.h"

#include "VoExceptions.h"

#include <cstdio>

namespace {

// Without a window system nobody can answer: the message goes to the error output and the answer
// is the one a user gives by pressing Enter on a plain message.
class TConsoleResponder : public IVoMessageResponder {
public:
    int Answer(const TVoShownMessage &m) override {
        std::fprintf(stderr, "%s\n", m.text.toLocal8Bit().constData());
        if (!m.detail.isEmpty())
            std::fprintf(stderr, "%s\n", m.detail.toLocal8Bit().constData());
        return VoFirstAnswer(m.buttons);
    }
};

std::shared_ptr<IVoMessageResponder> &Responder() {
    static std::shared_ptr<IVoMessageResponder> responder = std::make_shared<TConsoleResponder>();
    return responder;
}

} // namespace

int VoFirstAnswer(TMsgDlgButtons buttons) {
    if (buttons & mbOK)
        return mrOk;
    if (buttons & mbCancel)
        return mrCancel;
    if (buttons & mbNo)
        return mrNo;
    return mrOk;
}

std::shared_ptr<IVoMessageResponder> SetVoMessageResponder(std::shared_ptr<IVoMessageResponder> responder) {
    auto previous = Responder();
    Responder() = responder ? std::move(responder) : std::make_shared<TConsoleResponder>();
    return previous;
}

int VoMessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext,
                 TMsgDlgBtn defaultButton) {
    return VoMessageDlg(TVoShownMessage{text, type, buttons, helpContext, defaultButton, QString()});
}

int VoMessageDlg(const TVoShownMessage &message) {
    // Keep the responder alive even if it replaces itself while answering.
    auto responder = Responder();
    return responder->Answer(message);
}

void VoMessageBox(const QString &text) {
    VoMessageDlg(text, mtInformation, mbOK);
}

void VoShowException(const std::exception &e) {
    if (dynamic_cast<const EVoAbort *>(&e))
        return;
    const TVoFailureText failure = VoFailureText(e);
    TVoShownMessage message{failure.text, mtError, mbOK};
    message.detail = failure.detail;
    VoMessageDlg(message);
}

void VoShowUnknownException() {
    VoMessageDlg(QStringLiteral("Errore imprevisto."), mtError, mbOK);
}

int TVoScriptedResponder::Answer(const TVoShownMessage &message) {
    m_shown.append(message);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    // Unscripted: the answer a user gives by pressing Enter on a plain message.
    if (message.buttons & mbOK)
        return mrOk;
    if (message.defaultButton == mbYes)
        return mrYes;
    if (message.buttons & mbCancel)
        return mrCancel;
    if (message.buttons & mbNo)
        return mrNo;
    return mrOk;
}

QStringList TVoScriptedResponder::Texts() const {
    QStringList out;
    for (const auto &m : m_shown)
        out << m.text;
    return out;
}

TVoScriptedMessages::TVoScriptedMessages() : m_responder(std::make_shared<TVoScriptedResponder>()) {
    m_previous = SetVoMessageResponder(m_responder);
}

TVoScriptedMessages::~TVoScriptedMessages() {
    SetVoMessageResponder(m_previous);
}
