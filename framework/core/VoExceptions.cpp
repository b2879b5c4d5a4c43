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

namespace {

// The engine's words that a statement failed because the server went away, where the connection could
// not tell it (the failure came before the attachment was asked).
bool SaysConnectionLost(const QString &text) {
    static const char *const phrases[] = {"Error reading data from the connection",
                                          "Error writing data to the connection", "connection shutdown",
                                          "Connection lost to database", "connection lost"};
    for (const char *phrase : phrases)
        if (text.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    return false;
}

// What a refusal of the engine means for the user, by its kind; the statement was rolled back with
// whatever the write it belonged to had done.
QString RefusalText(const EVoDatabaseError &db) {
    const QString &text = db.Message();
    switch (db.SqlCode()) {
    case -802:
        if (text.contains(QLatin1String("truncation"), Qt::CaseInsensitive) &&
            !text.contains(QLatin1String("numeric value"), Qt::CaseInsensitive))
            return QStringLiteral("Un testo è più lungo di quanto il database possa registrare.");
        if (text.contains(QLatin1String("divide"), Qt::CaseInsensitive))
            return QStringLiteral("Un calcolo del database ha diviso per zero.");
        return QStringLiteral("Un numero è troppo grande per il database.");
    case -803:
        return QStringLiteral("Esiste già un dato con la stessa chiave: il database non ne registra un "
                              "secondo.");
    case -530:
        if (text.contains(QLatin1String("references are present"), Qt::CaseInsensitive))
            return QStringLiteral("Il dato è usato da altri dati: non si può cancellare né cambiarne la "
                                  "chiave.");
        return QStringLiteral("Il dato rimanda a un dato che non esiste più: forse un altro utente lo ha "
                              "cancellato.");
    case -625:
        return QStringLiteral("Manca un valore che il database richiede.");
    case -297:
        return QStringLiteral("Un valore non è tra quelli che il database ammette.");
    case -413:
        return QStringLiteral("Un valore non si può leggere come il database se lo aspetta (una data, un "
                              "numero).");
    case -204:
    case -206:
        return QStringLiteral("Nel database manca qualcosa che il programma usa: il database non corrisponde "
                              "a questa versione del programma.");
    default:
        return QStringLiteral("Il database ha rifiutato l'operazione.");
    }
}

} // namespace

TVoFailureText VoFailureText(const std::exception &failure) {
    const auto *db = dynamic_cast<const EVoDatabaseError *>(&failure);
    if (db && (db->IsConnectionLost() || SaysConnectionLost(db->Message()))) {
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
    if (db && db->IsLockConflict())
        // The write was rolled back whole, so the user can simply do it again.
        return {QStringLiteral("Un altro utente ha modificato gli stessi dati nello stesso momento.\n"
                               "Non è stato registrato nulla: riprovare l'operazione."),
                db->Message()};
    // The procedures' own refusals are written in the user's words.
    if (db && db->SqlCode() != -836)
        return {RefusalText(*db), db->Message()};
    if (auto *vo = dynamic_cast<const EVoException *>(&failure))
        return {vo->Message(), QString()};
    return {QString::fromLocal8Bit(failure.what()), QString()};
}
