#pragma once
#include <QString>
#include <stdexcept>

// The framework's exception classes. The text is the message the user is shown.
class EVoException : public std::runtime_error {
public:
    explicit EVoException(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &Message() const { return m_message; }

private:
    QString m_message;
};

class EVoError : public EVoException {
public:
    using EVoException::EVoException;
};

// A statement the database refused; the text is the database's own message, the code its SQL code.
class EVoDatabaseError : public EVoError {
public:
    EVoDatabaseError(const QString &message, const QString &statement, int sqlCode = 0)
        : EVoError(message), m_statement(statement), m_sqlCode(sqlCode) {}
    const QString &Statement() const { return m_statement; }
    int SqlCode() const { return m_sqlCode; }
    // Another transaction holds the row, or changed it after this one began: the write may succeed
    // when tried again in a new transaction.
    bool IsLockConflict() const;
    // The server stopped answering (stopped, restarted, the network gone): whatever the statement
    // was part of was never committed, unless it was the commit itself.
    bool IsConnectionLost() const { return m_connectionLost; }
    void SetConnectionLost() { m_connectionLost = true; }

private:
    QString m_statement;
    int m_sqlCode = 0;
    bool m_connectionLost = false;
};

// An update or delete of the row being saved touched no row: another user changed its key or
// deleted it since it was read.
class EVoRecordChanged : public EVoError {
public:
    EVoRecordChanged()
        : EVoError(QStringLiteral("Il record è stato modificato o cancellato da un altro utente.")) {}
    // The same, told in the words of what changed.
    explicit EVoRecordChanged(const QString &message) : EVoError(message) {}
};

// Ends an operation without a message, because whoever refuses it has already told the user why.
class EVoAbort : public EVoException {
public:
    EVoAbort() : EVoException(QStringLiteral("Operazione annullata.")) {}
};

// What the user is told of a failure: the exception's text, except where the engine's own words
// would be all the user reads (a lock conflict); those then go to the detail.
struct TVoFailureText {
    QString text;
    QString detail;
};
TVoFailureText VoFailureText(const std::exception &failure);

// Formats a message with "%s" placeholders, the way the programs' texts are written.
QString VoFormat(QString pattern, const QStringList &args);
