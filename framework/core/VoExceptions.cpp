#include "VoExceptions.h"

#include <QStringList>

QString VoFormat(QString pattern, const QStringList &args) {
    QString out;
    int next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == QLatin1Char('%') && i + 1 < pattern.size()) {
            const QChar c = pattern[i + 1];
            if (c == QLatin1Char('s') || c == QLatin1Char('d')) {
                out += next < args.size() ? args[next] : QString();
                ++next;
                ++i;
                continue;
            }
            if (c == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

bool EVoDatabaseError::IsLockConflict() const {
    // -913: a deadlock or an update conflict with a concurrent transaction; -901 also reports a lock
    // conflict of a transaction that does not wait.
    return m_sqlCode == -913 ||
           Message().contains(QLatin1String("update conflicts with concurrent update")) ||
           Message().contains(QLatin1String("lock conflict on no wait transaction"));
}

TVoFailureText VoFailureText(const std::exception &failure) {
    if (auto *db = dynamic_cast<const EVoDatabaseError *>(&failure); db && db->IsConnectionLost()) {
        // The engine's words ("Error reading data from the connection.") tell a clerk nothing; the
        // window keeps what was typed, and the next action connects again.
        if (db->Statement() == QLatin1String("COMMIT"))
            return {QStringLiteral("Il server del database ha smesso di rispondere mentre registrava: non è "
                                   "certo che sia stato registrato.\nQuanto scritto è ancora nella finestra: "
                                   "quando il server è di nuovo raggiungibile, controllare i dati prima di "
                                   "riprovare."),
                    db->Message()};
        return {QStringLiteral("Il server del database non risponde: non è stato registrato nulla.\nQuanto "
                               "scritto è ancora nella finestra: riprovare quando il server è di nuovo "
                               "raggiungibile."),
                db->Message()};
    }
    if (auto *db = dynamic_cast<const EVoDatabaseError *>(&failure); db && db->IsLockConflict())
        // The write was rolled back whole, so the user can simply do it again.
        return {QStringLiteral("Un altro utente ha modificato gli stessi dati nello stesso momento.\n"
                               "Non è stato registrato nulla: riprovare l'operazione."),
                db->Message()};
    if (auto *vo = dynamic_cast<const EVoException *>(&failure))
        return {vo->Message(), QString()};
    return {QString::fromLocal8Bit(failure.what()), QString()};
}
