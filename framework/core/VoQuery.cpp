#include "VoQuery.h"

#include "VoConnection.h"
#include "VoDates.h"
#include "VoExceptions.h"
#include "VoShortRead.h"

#include <QRegularExpression>
#include <QSqlError>

namespace {

bool IsParamChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// A rule of the database refuses with an exception of its own (SQL code -836), whose text is written
// for the user: "exception 3 - NAME - the text - At trigger 'T' line: 5, col: 5". The user reads the
// text alone, without the exception's number and name and the places that raised it.
QString UserExceptionText(const QString &text) {
    const QString separator = QStringLiteral(" - ");
    QStringList parts = text.split(separator);
    if (parts.size() < 3 || !parts.first().startsWith(QLatin1String("exception ")))
        return text;
    parts.remove(0, 2);
    while (parts.size() > 1 && parts.last().startsWith(QLatin1String("At ")))
        parts.removeLast();
    return parts.join(separator);
}

QString DatabaseMessage(const QSqlError &e) {
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    if (e.nativeErrorCode().toInt() == -836)
        text = UserExceptionText(text);
    return text;
}

EVoDatabaseError DatabaseError(TVoSQLConnection *connection, const QSqlError &e, const QString &sql) {
    return connection->Failure(DatabaseMessage(e), sql, e.nativeErrorCode().toInt());
}

bool IsIdentifier(const QString &name) {
    if (name.isEmpty() || !name.at(0).isLetter())
        return false;
    for (const QChar c : name)
        if (!IsParamChar(c))
            return false;
    return true;
}

} // namespace

QVariant VoNull(QMetaType::Type type) {
    return QVariant(QMetaType(type));
}

QString VoVariantToText(const QVariant &value) {
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

TVoQuery::TVoQuery(TVoSQLConnection *connection) : m_connection(connection ? connection : qqoVoGlobConn) {}

TVoQuery::TVoQuery(const QString &sql, TVoSQLConnection *connection) : TVoQuery(connection) {
    SetSQL(sql);
}

TVoQuery::TVoQuery(const QString &sql, const TVoParsedSQL &parsed, TVoSQLConnection *connection)
    : TVoQuery(sql, connection) {
    m_parsed = parsed;
    m_parsedValid = true;
}

TVoQuery::~TVoQuery() {
    Close();
    Release();
}

void TVoQuery::SetSQL(const QString &sql) {
    Close();
    Release();
    m_sql = sql;
    m_parsedValid = false;
}

bool TVoQuery::Reusable() const {
    if (!m_query || !m_connection)
        return false;
    // A short read's statement lasts as long as the connection's read transaction.
    if (m_shortRead)
        return m_preparedSerial == m_connection->ShortReads().Serial();
    return m_connection->InTransaction() && m_preparedSerial == m_connection->TransactionSerial();
}

void TVoQuery::Release() {
    if (Reusable()) {
        if (m_shortRead)
            m_connection->ShortReads().Give(m_preparedText, std::move(m_query));
        else
            m_connection->GivePrepared(m_preparedText, m_preparedSerial, std::move(m_query));
    }
    m_query.reset();
    m_shortRead = false;
}

QStringList TVoQuery::ParamNames() const {
    return VoParamNames(m_sql);
}

TVoQuery &TVoQuery::SetParam(const QString &name, const QVariant &value) {
    m_values.insert(name.toUpper(), value);
    return *this;
}

TVoQuery &TVoQuery::SetParamNull(const QString &name, QMetaType::Type type) {
    return SetParam(name, VoNull(type));
}

TVoQuery &TVoQuery::SetParamDate(const QString &name, double days) {
    return SetParam(name, DaysToDateParam(days));
}

TVoQuery &TVoQuery::SetParamDateTime(const QString &name, double days) {
    return SetParam(name, DaysToTimestampParam(days));
}

bool TVoQuery::HasParamValue(const QString &name) const {
    return m_values.contains(name.toUpper());
}

void TVoQuery::Run(bool select) {
    Close();
    if (m_connection && !m_connection->InTransaction())
        m_connection->ReconnectIfLost();
    if (!m_connection || !m_connection->Connected())
        throw EVoError(QStringLiteral("Connessione al database non aperta."));
    if (!m_parsedValid) {
        m_parsed = VoParseSQL(m_sql);
        m_parsedValid = true;
    }
    const TVoParsedSQL &parsed = m_parsed;
    for (const QString &p : parsed.params)
        if (!m_values.contains(p.toUpper()))
            throw EVoError(QStringLiteral("Parametro \"%1\" senza valore nell'istruzione SQL.").arg(p));
    // The driver has no row count for DDL and complains when asked for one.
    static const QRegularExpression ddl(
        QStringLiteral("^\\s*(CREATE|ALTER|DROP|RECREATE|COMMENT|GRANT|REVOKE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const bool schemaChange = !select && ddl.match(m_sql).hasMatch();
    // The statements kept for short reads hold the tables they read.
    if (schemaChange)
        m_connection->ShortReads().Drop();
    // Outside a write a SELECT is a short read, in the read transaction the connection keeps.
    // Drawing a key is not: the procedure keeps the transaction's last key in a context value, which
    // in the kept read transaction would outlive the statement and answer a later "last key" read.
    bool shortRead = select && !m_connection->InTransaction() &&
                     !parsed.text.contains(QLatin1String("PYSETGETID"), Qt::CaseInsensitive);
    bool empty = true;
    for (;;) {
        // A statement is prepared once: by this query when it runs again, or by an earlier query
        // of the same text, inside one transaction or among the short reads.
        if (!Reusable() || m_preparedText != parsed.text || m_shortRead != shortRead) {
            Release();
            m_preparedText = parsed.text;
            if (shortRead) {
                bool prepared = false;
                m_query = m_connection->ShortReads().Take(m_connection->Database(), parsed.text, &prepared);
                m_shortRead = m_query != nullptr;
                m_preparedSerial = m_connection->ShortReads().Serial();
                if (prepared)
                    m_connection->CountPrepared();
                shortRead = m_shortRead;
            }
            if (!shortRead) {
                m_preparedSerial = m_connection->TransactionSerial();
                if (m_connection->InTransaction())
                    m_query = m_connection->TakePrepared(parsed.text);
                if (!m_query) {
                    m_connection->CountPrepared();
                    m_query = std::make_unique<QSqlQuery>(m_connection->Database());
                    m_query->setForwardOnly(true);
                    if (!m_query->prepare(parsed.text)) {
                        const QSqlError error = m_query->lastError();
                        m_query.reset();
                        throw DatabaseError(m_connection, error, m_sql);
                    }
                }
            }
        }
        for (int i = 0; i < parsed.params.size(); ++i)
            m_query->bindValue(i, m_values.value(parsed.params[i].toUpper()));
        bool ok = m_query->exec();
        // The first row's fetch may fail too (a lock conflict shows there): not an empty result.
        if (ok && select) {
            empty = !m_query->next();
            ok = !(empty && m_query->lastError().isValid());
        }
        if (ok)
            break;
        const QSqlError error = m_query->lastError();
        const bool wasShortRead = m_shortRead;
        m_query.reset();
        m_shortRead = false;
        if (!wasShortRead)
            throw DatabaseError(m_connection, error, m_sql);
        // A read the read-only transaction refuses (a procedure that draws a key writes) is made by
        // the driver, now and from now on, as any statement outside a transaction; so is one that
        // cannot be made in the read transaction at the moment. A failure of the driver's is the
        // statement's own.
        if (!error.databaseText().isEmpty()) {
            const EVoDatabaseError failure = DatabaseError(m_connection, error, m_sql);
            if (failure.IsConnectionLost())
                throw failure;
            m_connection->ShortReads().Refuse(parsed.text);
        }
        shortRead = false;
    }
    m_rowsAffected = select || schemaChange ? 0 : m_query->numRowsAffected();
    if (select) {
        m_active = true;
        m_empty = empty;
        m_eof = m_empty;
    } else {
        m_query->finish();
        if (!Reusable())
            m_query.reset();
    }
}

TVoQuery &TVoQuery::Open() {
    // A read outside a write that finds the server restarted since the connection's last statement
    // connects again and is made once more: nothing was read or written on the attachment that went.
    // While the server still does not answer, the connection stays lost and that is what is raised.
    const bool again = m_connection && !m_connection->InTransaction() && !m_connection->Lost();
    try {
        Run(true);
    } catch (const EVoDatabaseError &failure) {
        if (!again || !failure.IsConnectionLost())
            throw;
        Run(true);
    }
    return *this;
}

int TVoQuery::Exec() {
    Run(false);
    return m_rowsAffected;
}

void TVoQuery::Close() {
    if (m_query) {
        m_query->finish();
        // Kept for the next run in the same transaction, or among the short reads; any other
        // statement outside a transaction prepares anew, as the driver ends its own transaction
        // with it.
        if (!Reusable())
            m_query.reset();
    }
    m_active = false;
    m_eof = true;
    m_empty = true;
    m_record = QSqlRecord();
    m_recordRead = false;
}

const QSqlRecord &TVoQuery::Record() const {
    if (!m_recordRead && m_active && m_query) {
        m_record = m_query->record();
        m_recordRead = true;
    }
    return m_record;
}

bool TVoQuery::Next() {
    if (!m_active || m_eof)
        return false;
    m_eof = !m_query->next();
    // A cursor that dies half-way (its transaction ended) must not pass for the end of the rows.
    if (m_eof && m_query->lastError().isValid())
        throw DatabaseError(m_connection, m_query->lastError(), m_sql);
    return !m_eof;
}

int TVoQuery::CountToEnd() {
    if (!m_active || m_empty)
        return 0;
    int count = 1;
    while (Next())
        ++count;
    return count;
}

int TVoQuery::FieldCount() const {
    return Record().count();
}

QString TVoQuery::FieldName(int index) const {
    return Record().fieldName(index);
}

bool TVoQuery::HasField(const QString &name) const {
    return Record().indexOf(name) >= 0;
}

int TVoQuery::IndexOf(const QString &name) const {
    const int i = Record().indexOf(name);
    if (i < 0)
        throw EVoError(QStringLiteral("Campo \"%1\" non trovato.").arg(name));
    return i;
}

QVariant TVoQuery::Value(int index) const {
    if (Eof())
        return QVariant();
    return m_query->value(index);
}

QVariant TVoQuery::Value(const QString &name) const {
    const int i = IndexOf(name);
    return Value(i);
}

bool TVoQuery::IsNull(const QString &name) const {
    return Value(name).isNull();
}

int TVoQuery::AsInteger(const QString &name, int defaultValue) const {
    const QVariant v = Value(name);
    if (v.isNull())
        return defaultValue;
    bool ok = false;
    const int r = v.toInt(&ok);
    return ok ? r : defaultValue;
}

qint64 TVoQuery::AsLargeInt(const QString &name, qint64 defaultValue) const {
    const QVariant v = Value(name);
    if (v.isNull())
        return defaultValue;
    bool ok = false;
    const qint64 r = v.toLongLong(&ok);
    return ok ? r : defaultValue;
}

double TVoQuery::AsFloat(const QString &name, double defaultValue) const {
    const QVariant v = Value(name);
    if (v.isNull())
        return defaultValue;
    bool ok = false;
    const double r = v.toDouble(&ok);
    return ok ? r : defaultValue;
}

QString TVoQuery::AsString(const QString &name) const {
    return VoVariantToText(Value(name));
}

double TVoQuery::AsDate(const QString &name) const {
    return VariantToDays(Value(name));
}

bool TVoQuery::AsBoolean(const QString &name) const {
    const QVariant v = Value(name);
    return !v.isNull() && v.toInt() != 0;
}

namespace {
void Bind(TVoQuery &q, const QVariantHash &params) {
    for (auto it = params.constBegin(); it != params.constEnd(); ++it)
        q.SetParam(it.key(), it.value());
}
} // namespace

int VoExecSQL(const QString &sql, const QVariantHash &params, TVoSQLConnection *connection) {
    TVoQuery q(sql, connection);
    Bind(q, params);
    return q.Exec();
}

QVariant VoSelectValue(const QString &sql, const QVariantHash &params, TVoSQLConnection *connection) {
    TVoQuery q(sql, connection);
    Bind(q, params);
    q.Open();
    return q.Eof() ? QVariant() : q.Value(0);
}

bool VoLockRow(const QString &table, const QString &keyColumn, const QVariant &key,
               TVoSQLConnection *connection) {
    // The names come from the programs' code, never from the user; they are checked all the same,
    // since they are written into the text.
    if (!IsIdentifier(table) || !IsIdentifier(keyColumn))
        throw EVoError(
            QStringLiteral("Nome di tabella o di colonna non valido: %1.%2").arg(table, keyColumn));
    TVoSQLConnection *c = connection ? connection : qqoVoGlobConn;
    if (!c || !c->InTransaction())
        throw EVoError(QStringLiteral("Il blocco di una riga vale solo dentro una transazione."));
    TVoQuery q(QStringLiteral("SELECT %2 FROM %1 WHERE %2 = :VOLOCKKEY WITH LOCK").arg(table, keyColumn), c);
    q.SetParam(QStringLiteral("VOLOCKKEY"), key);
    q.Open();
    return !q.Eof();
}
