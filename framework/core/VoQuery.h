#pragma once
// Short-lived queries: created, run and freed inside one routine. Parameters are named in the text
// as ":name" and matched ignoring case; a name the text uses and nobody binds is an error rather
// than a silent NULL.
#include "VoMoney.h"
#include "VoSqlText.h"

#include <QMetaType>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class TVoSQLConnection;

// A typed NULL for a parameter.
QVariant VoNull(QMetaType::Type type);

// Decodes a value read from the database: BLOB text arrives as UTF-8 bytes.
QString VoVariantToText(const QVariant &value);

class TVoQuery {
public:
    explicit TVoQuery(TVoSQLConnection *connection = nullptr);
    explicit TVoQuery(const QString &sql, TVoSQLConnection *connection = nullptr);
    // For a caller that runs one text again and again: parsed is VoParseSQL(sql), read once.
    TVoQuery(const QString &sql, const TVoParsedSQL &parsed, TVoSQLConnection *connection = nullptr);
    ~TVoQuery();
    TVoQuery(const TVoQuery &) = delete;
    TVoQuery &operator=(const TVoQuery &) = delete;

    void SetSQL(const QString &sql);
    const QString &SQL() const { return m_sql; }
    QStringList ParamNames() const;

    TVoQuery &SetParam(const QString &name, const QVariant &value);
    TVoQuery &SetParamNull(const QString &name, QMetaType::Type type = QMetaType::Int);
    // A day count as a DATE (negative: NULL).
    TVoQuery &SetParamDate(const QString &name, double days);
    // A day count with its time as a TIMESTAMP (negative: NULL).
    TVoQuery &SetParamDateTime(const QString &name, double days);
    bool HasParamValue(const QString &name) const;
    void ClearParams() { m_values.clear(); }

    // Runs a SELECT and stands on its first row (Eof when there is none).
    TVoQuery &Open();
    // Runs a statement that returns no rows; returns the rows it affected.
    int Exec();
    void Close();

    bool Active() const { return m_active; }
    bool Eof() const { return !m_active || m_eof; }
    bool IsEmpty() const { return !m_active || m_empty; }
    // Moves to the next row; false at the end.
    bool Next();
    // Reads the remaining rows and returns how many rows the result had in all.
    int CountToEnd();

    int FieldCount() const;
    QString FieldName(int index) const;
    bool HasField(const QString &name) const;
    // Names, types and source tables of the result's columns, asked of the driver at the first call
    // (it may look the columns up in the database).
    const QSqlRecord &Record() const;
    QVariant Value(const QString &name) const;
    QVariant Value(int index) const;
    bool IsNull(const QString &name) const;

    int AsInteger(const QString &name, int defaultValue = 0) const;
    qint64 AsLargeInt(const QString &name, qint64 defaultValue = 0) const;
    double AsFloat(const QString &name, double defaultValue = 0.0) const;
    // An amount kept as a BIGINT of ten-thousandths; NULL reads as zero.
    TVoMoney AsMoney(const QString &name) const { return TVoMoney::FromStored(AsLargeInt(name)); }
    QString AsString(const QString &name) const;
    // A day count; NULL reads as day 0.
    double AsDate(const QString &name) const;
    bool AsBoolean(const QString &name) const;

    int RowsAffected() const { return m_rowsAffected; }
    TVoSQLConnection *Connection() const { return m_connection; }

private:
    void Run(bool select);
    int IndexOf(const QString &name) const;

    // Whether the prepared statement may run again: only within the transaction it was prepared in.
    bool Reusable() const;
    // Gives the prepared statement back to the connection for the rest of its transaction.
    void Release();

    TVoSQLConnection *m_connection;
    QString m_sql;
    // m_sql with positional markers, read at the first run and kept while the text stays.
    TVoParsedSQL m_parsed;
    bool m_parsedValid = false;
    QString m_preparedText;
    quint64 m_preparedSerial = 0;
    // m_query is a short read of the connection's read transaction (see VoShortRead.h).
    bool m_shortRead = false;
    QHash<QString, QVariant> m_values; // by upper-case name
    std::unique_ptr<QSqlQuery> m_query;
    mutable QSqlRecord m_record;
    mutable bool m_recordRead = false;
    bool m_active = false;
    bool m_eof = true;
    bool m_empty = true;
    int m_rowsAffected = 0;
};

// Runs one statement with parameters given as name/value pairs; returns the rows affected.
int VoExecSQL(const QString &sql, const QVariantHash &params = {}, TVoSQLConnection *connection = nullptr);
// The first column of the first row, or an invalid variant when there is no row.
QVariant VoSelectValue(const QString &sql, const QVariantHash &params = {},
                       TVoSQLConnection *connection = nullptr);

// Locks a row for the rest of the caller's transaction (which must be open): a second program that
// locks or writes it waits until this transaction ends, and then fails with a lock conflict (see
// EVoDatabaseError::IsLockConflict), so that checks made after the lock see every write committed
// before it. Returns whether the row exists.
bool VoLockRow(const QString &table, const QString &keyColumn, const QVariant &key,
               TVoSQLConnection *connection = nullptr);
