#include "VoMessages.h"

#include "VoExceptions.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

class TBoxResponder : public IVoMessageResponder {
public:
    int Answer(const TVoShownMessage &m) override {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return FirstAnswer(m.buttons);
        QMessageBox box;
        box.setWindowTitle(QApplication::applicationDisplayName());
        box.setText(m.text);
        switch (m.type) {
        case mtWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case mtError:
            box.setIcon(QMessageBox::Critical);
            break;
        case mtConfirmation:
            box.setIcon(QMessageBox::Question);
            break;
        case mtInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case mtCustom:
            break;
        }
        struct Map {
            TMsgDlgBtn btn;
            QMessageBox::StandardButton std;
            int result;
        };
        static const Map maps[] = {
            {mbYes, QMessageBox::Yes, mrYes},
            {mbNo, QMessageBox::No, mrNo},
            {mbOK, QMessageBox::Ok, mrOk},
            {mbCancel, QMessageBox::Cancel, mrCancel},
            {mbAbort, QMessageBox::Abort, mrAbort},
            {mbRetry, QMessageBox::Retry, mrRetry},
            {mbIgnore, QMessageBox::Ignore, mrIgnore},
            {mbAll, QMessageBox::YesToAll, mrAll},
        };
        QMessageBox::StandardButtons set;
        for (const Map &map : maps)
            if (m.buttons & map.btn)
                set |= map.std;
        if (!set)
            set = QMessageBox::Ok;
        box.setStandardButtons(set);
        for (const Map &map : maps) {
            if (m.defaultButton == map.btn && (set & map.std))
                box.setDefaultButton(map.std);
            if (QAbstractButton *b = box.button(map.std)) {
                // The programs speak Italian whatever the machine's language.
                static const QHash<int, QString> captions = {
                    {mrYes, QStringLiteral("&Sì")},
                    {mrNo, QStringLiteral("&No")},
                    {mrOk, QStringLiteral("OK")},
                    {mrCancel, QStringLiteral("Annulla")},
                    {mrAbort, QStringLiteral("Interrompi")},
                    {mrRetry, QStringLiteral("&Riprova")},
                    {mrIgnore, QStringLiteral("&Ignora")},
                    {mrAll, QStringLiteral("&Tutti")},
                };
                b->setText(captions.value(map.result));
            }
        }
        const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
        for (const Map &map : maps)
            if (map.std == pressed)
                return map.result;
        if (m.buttons & mbCancel)
            return mrCancel;
        if (m.buttons & mbNo)
            return mrNo;
        return mrOk;
    }

    static int FirstAnswer(TMsgDlgButtons buttons) {
        if (buttons & mbOK)
            return mrOk;
        if (buttons & mbCancel)
            return mrCancel;
        if (buttons & mbNo)
            return mrNo;
        return mrOk;
    }
};

std::shared_ptr<IVoMessageResponder> &Responder() {
    static std::shared_ptr<IVoMessageResponder> responder = std::make_shared<TBoxResponder>();
    return responder;
}

} // namespace

std::shared_ptr<IVoMessageResponder> SetVoMessageResponder(std::shared_ptr<IVoMessageResponder> responder) {
    auto previous = Responder();
    Responder() = responder ? std::move(responder) : std::make_shared<TBoxResponder>();
    return previous;
}

int VoMessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext,
                 TMsgDlgBtn defaultButton) {
    TVoShownMessage m{text, type, buttons, helpContext, defaultButton};
    // Keep the responder alive even if it replaces itself while answering.
    auto responder = Responder();
    return responder->Answer(m);
}

void VoMessageBox(const QString &text) {
    VoMessageDlg(text, mtInformation, mbOK);
}

void VoShowException(const std::exception &e) {
    if (dynamic_cast<const EVoAbort *>(&e))
        return;
    if (auto *vo = dynamic_cast<const EVoException *>(&e))
        VoMessageDlg(vo->Message(), mtError, mbOK);
    else
        VoMessageDlg(QString::fromLocal8Bit(e.what()), mtError, mbOK);
}

void VoShowUnknownException() { VoMessageDlg(QStringLiteral("Errore imprevisto."), mtError, mbOK); }

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
