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

// A statement the database refused; the text is the database's own message.
class EVoDatabaseError : public EVoError {
public:
    EVoDatabaseError(const QString &message, const QString &statement)
        : EVoError(message), m_statement(statement) {}
    const QString &Statement() const { return m_statement; }

private:
    QString m_statement;
};

// Ends an operation without a message, because whoever refuses it has already told the user why.
class EVoAbort : public EVoException {
public:
    EVoAbort() : EVoException(QStringLiteral("Operazione annullata.")) {}
};

// Formats a message with "%s" placeholders, the way the programs' texts are written.
QString VoFormat(QString pattern, const QStringList &args);
