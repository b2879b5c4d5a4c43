#include "VoShortRead.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr unsigned short kDialect = SQL_DIALECT_V6;

// The type the driver gives a column of the engine's type.
QMetaType::Type ColumnType(int sqlType, bool scaled) {
    switch (sqlType & ~1) {
    case SQL_VARYING:
    case SQL_TEXT:
        return QMetaType::QString;
    case SQL_LONG:
    case SQL_SHORT:
        return scaled ? QMetaType::Double : QMetaType::Int;
    case SQL_INT64:
        return scaled ? QMetaType::Double : QMetaType::LongLong;
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return QMetaType::Double;
    case SQL_TIMESTAMP:
        return QMetaType::QDateTime;
    case SQL_TYPE_TIME:
        return QMetaType::QTime;
    case SQL_TYPE_DATE:
        return QMetaType::QDate;
    case SQL_BLOB:
        return QMetaType::QByteArray;
    case SQL_BOOLEAN:
        return QMetaType::Bool;
    default:
        return QMetaType::UnknownType;
    }
}

// A value the driver sends as NULL.
bool BindsAsNull(const QVariant &v) {
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString *>(v.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(v.constData())->isNull();
    case QMetaType::QDateTime:
        return !static_cast<const QDateTime *>(v.constData())->isValid();
    case QMetaType::QDate:
        return !static_cast<const QDate *>(v.constData())->isValid();
    case QMetaType::QTime:
        return !static_cast<const QTime *>(v.constData())->isValid();
    case QMetaType::QUuid:
        return static_cast<const QUuid *>(v.constData())->isNull();
    default:
        return false;
    }
}

const QDate &BaseDate() {
    static const QDate base(1858, 11, 17);
    return base;
}

XSQLDA *Descriptor(std::vector<char> &buffer, int columns) {
    buffer.assign(XSQLDA_LENGTH(qMax(columns, 1)), 0);
    auto *da = reinterpret_cast<XSQLDA *>(buffer.data());
    da->version = SQLDA_VERSION1;
    da->sqln = short(qMax(columns, 1));
    return da;
}

} // namespace

// A SELECT of the client library in the read transaction of its connection.
class TVoShortReadResult : public QSqlResult {
public:
    TVoShortReadResult(const QSqlDriver *driver, TVoShortReads *owner, isc_db_handle attachment)
        : QSqlResult(driver), m_owner(owner), m_attachment(attachment) {
        m_owner->m_live.insert(this);
        setForwardOnly(true);
    }
    ~TVoShortReadResult() override { Detach(); }
    TVoShortReadResult(const TVoShortReadResult &) = delete;
    TVoShortReadResult &operator=(const TVoShortReadResult &) = delete;

    // Frees the statement; the result fails from now on.
    void Detach() {
        if (!m_owner)
            return;
        m_owner->m_live.remove(this);
        m_owner = nullptr;
        if (m_statement) {
            ISC_STATUS_ARRAY status{};
            isc_dsql_free_statement(status, &m_statement, DSQL_drop);
            m_statement = 0;
        }
        m_cursorOpen = false;
    }
    bool Unsupported() const { return m_unsupported; }

protected:
    bool prepare(const QString &query) override;
    bool exec() override;
    bool reset(const QString &query) override { return prepare(query) && exec(); }
    QVariant data(int index) override { return m_row.value(index); }
    bool isNull(int index) override { return m_row.value(index).isNull(); }
    bool fetch(int index) override { return index == at() + 1 && fetchNext(); }
    bool fetchFirst() override { return at() == QSql::BeforeFirstRow && fetchNext(); }
    bool fetchNext() override;
    bool fetchLast() override { return false; }
    int size() override { return -1; }
    int numRowsAffected() override { return -1; }
    QSqlRecord record() const override { return isActive() ? m_record : QSqlRecord(); }
    void detachFromResultSet() override { CloseCursor(); }

private:
    struct TColumn {
        std::vector<char> data;
        short indicator = 0;
    };
    bool Failed(const ISC_STATUS *status, const char *what);
    bool Unsupported(const char *why) {
        m_unsupported = true;
        return Unavailable(why);
    }
    // The read cannot be made here now (the connection closed or lost): the driver makes it.
    bool Unavailable(const char *why) {
        setLastError(QSqlError(QString::fromLatin1(why), QString(), QSqlError::StatementError));
        return false;
    }
    void CloseCursor() {
        if (!m_cursorOpen)
            return;
        m_cursorOpen = false;
        ISC_STATUS_ARRAY status{};
        isc_dsql_free_statement(status, &m_statement, DSQL_close);
    }
    static void Buffers(XSQLDA *da, std::vector<TColumn> &columns);
    bool Bind(XSQLVAR &var, const QVariant &value);
    QVariant Value(const XSQLVAR &var) const;
    QVariant Blob(ISC_QUAD id) const;

    TVoShortReads *m_owner;
    isc_db_handle m_attachment;
    isc_stmt_handle m_statement = 0;
    std::vector<char> m_outBuffer, m_inBuffer;
    XSQLDA *m_out = nullptr;
    XSQLDA *m_in = nullptr;
    std::vector<TColumn> m_outColumns, m_inColumns;
    QSqlRecord m_record;
    QVariantList m_row;
    bool m_cursorOpen = false;
    bool m_unsupported = false;
};

bool TVoShortReadResult::Failed(const ISC_STATUS *status, const char *what) {
    // The engine's words as the driver gives them, so that a failure reads the same either way.
    const ISC_LONG sqlCode = isc_sqlcode(status);
    QString text;
    char buffer[512];
    const ISC_STATUS *p = status;
    while (fb_interpret(buffer, sizeof buffer, &p)) {
        if (!text.isEmpty())
            text += QLatin1String(" - ");
        text += QString::fromUtf8(buffer);
    }
    setLastError(QSqlError(QString::fromLatin1(what), text, QSqlError::StatementError,
                           sqlCode != -1 ? QString::number(sqlCode) : QString()));
    return false;
}

void TVoShortReadResult::Buffers(XSQLDA *da, std::vector<TColumn> &columns) {
    columns.assign(size_t(da->sqld), TColumn());
    for (int i = 0; i < da->sqld; ++i) {
        XSQLVAR &var = da->sqlvar[i];
        const int type = var.sqltype & ~1;
        columns[i].data.assign(size_t(var.sqllen) + (type == SQL_VARYING ? sizeof(short) : 0) + 1, 0);
        var.sqldata = columns[i].data.data();
        var.sqlind = &columns[i].indicator;
    }
}

bool TVoShortReadResult::prepare(const QString &query) {
    if (!m_owner)
        return Unavailable("The connection was closed");
    isc_tr_handle *transaction = m_owner->Transaction(m_attachment);
    if (!transaction)
        return Unavailable("No read transaction");
    ISC_STATUS_ARRAY status{};
    if (!m_statement && isc_dsql_allocate_statement(status, &m_attachment, &m_statement))
        return Failed(status, "Could not allocate statement");
    m_out = Descriptor(m_outBuffer, 8);
    const QByteArray text = query.toUtf8();
    if (isc_dsql_prepare(status, transaction, &m_statement, 0, text.constData(), kDialect, m_out))
        return Failed(status, "Could not prepare statement");
    const char item = isc_info_sql_stmt_type;
    char info[16];
    if (isc_dsql_sql_info(status, &m_statement, 1, &item, sizeof info, info))
        return Failed(status, "Could not get query info");
    const short length = short(isc_vax_integer(info + 1, 2));
    // A SELECT ... WITH LOCK, a procedure call or any other statement is the driver's.
    if (isc_vax_integer(info + 3, length) != isc_info_sql_stmt_select)
        return Unsupported("Not a plain select");
    if (m_out->sqld > m_out->sqln) {
        m_out = Descriptor(m_outBuffer, m_out->sqld);
        if (isc_dsql_describe(status, &m_statement, kDialect, m_out))
            return Failed(status, "Could not describe statement");
    }
    m_in = Descriptor(m_inBuffer, 8);
    if (isc_dsql_describe_bind(status, &m_statement, kDialect, m_in))
        return Failed(status, "Could not describe input statement");
    if (m_in->sqld > m_in->sqln) {
        m_in = Descriptor(m_inBuffer, m_in->sqld);
        if (isc_dsql_describe_bind(status, &m_statement, kDialect, m_in))
            return Failed(status, "Could not describe input statement");
    }
    for (int i = 0; i < m_out->sqld; ++i)
        if ((m_out->sqlvar[i].sqltype & ~1) == SQL_ARRAY ||
            ColumnType(m_out->sqlvar[i].sqltype, false) == QMetaType::UnknownType)
            return Unsupported("A column of a type of its own");
    for (int i = 0; i < m_in->sqld; ++i) {
        const int type = m_in->sqlvar[i].sqltype & ~1;
        if (type == SQL_ARRAY || type == SQL_BLOB || (type != SQL_NULL && ColumnType(type, false) == QMetaType::UnknownType))
            return Unsupported("A parameter of a type of its own");
        // Every parameter may be NULL.
        m_in->sqlvar[i].sqltype |= 1;
    }
    Buffers(m_out, m_outColumns);
    Buffers(m_in, m_inColumns);
    m_record = QSqlRecord();
    for (int i = 0; i < m_out->sqld; ++i) {
        const XSQLVAR &v = m_out->sqlvar[i];
        QSqlField f(QString::fromLatin1(v.aliasname, v.aliasname_length).simplified(),
                    QMetaType(ColumnType(v.sqltype, v.sqlscale < 0)),
                    QString::fromLatin1(v.relname, v.relname_length));
        f.setLength(v.sqllen);
        f.setPrecision(qAbs(v.sqlscale));
        f.setRequiredStatus((v.sqltype & 1) == 0 ? QSqlField::Required : QSqlField::Optional);
        f.setSqlType(v.sqltype);
        m_record.append(f);
    }
    setSelect(true);
    return true;
}

bool TVoShortReadResult::Bind(XSQLVAR &var, const QVariant &value) {
    TColumn &column = m_inColumns[size_t(&var - m_in->sqlvar)];
    if (BindsAsNull(value)) {
        column.indicator = -1;
        return true;
    }
    column.indicator = 0;
    char *data = var.sqldata;
    const double factor = std::pow(10.0, -var.sqlscale);
    switch (var.sqltype & ~1) {
    case SQL_INT64:
        *reinterpret_cast<qint64 *>(data) =
            var.sqlscale < 0 ? qint64(std::floor(0.5 + value.toDouble() * factor)) : value.toLongLong();
        return true;
    case SQL_LONG:
        if (var.sqllen != 4)
            *reinterpret_cast<qint64 *>(data) = value.toLongLong();
        else
            *reinterpret_cast<qint32 *>(data) =
                var.sqlscale < 0 ? qint32(std::floor(0.5 + value.toDouble() * factor)) : qint32(value.toInt());
        return true;
    case SQL_SHORT:
        *reinterpret_cast<short *>(data) =
            var.sqlscale < 0 ? short(std::floor(0.5 + value.toDouble() * factor)) : short(value.toInt());
        return true;
    case SQL_FLOAT:
        *reinterpret_cast<float *>(data) = float(value.toDouble());
        return true;
    case SQL_DOUBLE:
        *reinterpret_cast<double *>(data) = value.toDouble();
        return true;
    case SQL_TIMESTAMP: {
        const QDateTime dt = value.toDateTime();
        auto *ts = reinterpret_cast<ISC_TIMESTAMP *>(data);
        ts->timestamp_time = ISC_TIME(QTime(0, 0).msecsTo(dt.time()) * 10);
        ts->timestamp_date = ISC_DATE(BaseDate().daysTo(dt.date()));
        return true;
    }
    case SQL_TYPE_TIME:
        *reinterpret_cast<ISC_TIME *>(data) = ISC_TIME(QTime(0, 0).msecsTo(value.toTime()) * 10);
        return true;
    case SQL_TYPE_DATE:
        *reinterpret_cast<ISC_DATE *>(data) = ISC_DATE(BaseDate().daysTo(value.toDate()));
        return true;
    case SQL_VARYING: {
        const QByteArray text = value.toString().toUtf8();
        const short length = short(qMin<qsizetype>(text.size(), var.sqllen));
        *reinterpret_cast<short *>(data) = length;
        std::memcpy(data + sizeof(short), text.constData(), size_t(length));
        return true;
    }
    case SQL_TEXT: {
        const QByteArray text = value.toString().toUtf8();
        const qsizetype length = qMin<qsizetype>(text.size(), var.sqllen);
        std::memcpy(data, text.constData(), size_t(length));
        std::memset(data + length, ' ', size_t(var.sqllen - length));
        return true;
    }
    case SQL_BOOLEAN:
        *reinterpret_cast<FB_BOOLEAN *>(data) = value.toBool() ? FB_TRUE : FB_FALSE;
        return true;
    case SQL_NULL:
        return true;
    default:
        return false;
    }
}

bool TVoShortReadResult::exec() {
    CloseCursor();
    setActive(false);
    setAt(QSql::BeforeFirstRow);
    if (!m_owner || !m_statement || !m_in)
        return Unavailable("The connection was closed");
    isc_tr_handle *transaction = m_owner->Transaction(m_attachment);
    if (!transaction)
        return Unavailable("No read transaction");
    const QVariantList &values = boundValues();
    if (values.size() > m_in->sqld)
        return Unsupported("Parameter mismatch");
    for (int i = 0; i < m_in->sqld; ++i)
        if (!Bind(m_in->sqlvar[i], i < values.size() ? values[i] : QVariant()))
            return Unsupported("A parameter of a type of its own");
    ISC_STATUS_ARRAY status{};
    if (isc_dsql_execute(status, transaction, &m_statement, kDialect, m_in->sqld ? m_in : nullptr))
        return Failed(status, "Unable to execute query");
    m_cursorOpen = true;
    setActive(true);
    return true;
}

bool TVoShortReadResult::fetchNext() {
    if (!m_cursorOpen)
        return false;
    ISC_STATUS_ARRAY status{};
    const ISC_STATUS fetched = isc_dsql_fetch(status, &m_statement, kDialect, m_out);
    if (fetched == 100) {
        CloseCursor();
        return false;
    }
    if (fetched) {
        Failed(status, "Could not fetch next item");
        CloseCursor();
        return false;
    }
    m_row.clear();
    m_row.reserve(m_out->sqld);
    for (int i = 0; i < m_out->sqld; ++i)
        m_row.append(Value(m_out->sqlvar[i]));
    setAt(at() < 0 ? 0 : at() + 1);
    return true;
}

QVariant TVoShortReadResult::Value(const XSQLVAR &var) const {
    const bool scaled = var.sqlscale < 0;
    if ((var.sqltype & 1) && *var.sqlind)
        return QVariant(QMetaType(ColumnType(var.sqltype, scaled)));
    const char *data = var.sqldata;
    const double factor = std::pow(10.0, var.sqlscale);
    switch (var.sqltype & ~1) {
    case SQL_VARYING:
        return QString::fromUtf8(data + sizeof(short), *reinterpret_cast<const short *>(data));
    case SQL_TEXT:
        return QString::fromUtf8(data, var.sqllen);
    case SQL_INT64:
        if (scaled)
            return double(*reinterpret_cast<const qint64 *>(data)) * factor;
        return QVariant(qlonglong(*reinterpret_cast<const qint64 *>(data)));
    case SQL_LONG:
        if (var.sqllen != 4)
            return QVariant(qlonglong(*reinterpret_cast<const qint64 *>(data)));
        if (scaled)
            return double(*reinterpret_cast<const qint32 *>(data)) * factor;
        return QVariant(int(*reinterpret_cast<const qint32 *>(data)));
    case SQL_SHORT:
        if (scaled)
            return double(*reinterpret_cast<const short *>(data)) * factor;
        return QVariant(int(*reinterpret_cast<const short *>(data)));
    case SQL_FLOAT:
        return QVariant(double(*reinterpret_cast<const float *>(data)));
    case SQL_DOUBLE:
        return QVariant(*reinterpret_cast<const double *>(data));
    case SQL_TIMESTAMP: {
        const auto *ts = reinterpret_cast<const ISC_TIMESTAMP *>(data);
        return QDateTime(BaseDate().addDays(ts->timestamp_date),
                         QTime(0, 0).addMSecs(int(ts->timestamp_time / 10)));
    }
    case SQL_TYPE_TIME:
        return QTime(0, 0).addMSecs(int(*reinterpret_cast<const ISC_TIME *>(data) / 10));
    case SQL_TYPE_DATE:
        return BaseDate().addDays(*reinterpret_cast<const ISC_DATE *>(data));
    case SQL_BLOB:
        return Blob(*reinterpret_cast<const ISC_QUAD *>(data));
    case SQL_BOOLEAN:
        return QVariant(*reinterpret_cast<const FB_BOOLEAN *>(data) != FB_FALSE);
    default:
        return QVariant();
    }
}

QVariant TVoShortReadResult::Blob(ISC_QUAD id) const {
    if (!m_owner)
        return QVariant();
    isc_db_handle attachment = m_attachment;
    isc_blob_handle blob = 0;
    ISC_STATUS_ARRAY status{};
    if (isc_open_blob2(status, &attachment, &m_owner->m_transaction, &blob, &id, 0, nullptr))
        return QVariant();
    constexpr unsigned short kChunk = 8192;
    QByteArray bytes(kChunk, Qt::Uninitialized);
    qsizetype read = 0;
    unsigned short length = 0;
    while (isc_get_segment(status, &blob, &length, kChunk, bytes.data() + read) == 0 || status[1] == isc_segment) {
        read += length;
        bytes.resize(read + kChunk);
    }
    const bool complete = status[1] == isc_segstr_eof;
    isc_close_blob(status, &blob);
    if (!complete)
        return QVariant();
    bytes.resize(read);
    return bytes;
}

// --- TVoShortReads --------------------------------------------------------------------------------

TVoShortReads::~TVoShortReads() {
    Drop();
}

isc_tr_handle *TVoShortReads::Transaction(isc_db_handle attachment) {
    if (m_transaction)
        return &m_transaction;
    // Read committed with record versions reads the last committed version and waits for nobody.
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                               isc_tpb_nowait};
    ISC_STATUS_ARRAY status{};
    if (isc_start_transaction(status, &m_transaction, 1, &attachment, short(sizeof tpb), tpb)) {
        m_transaction = 0;
        return nullptr;
    }
    return &m_transaction;
}

std::unique_ptr<QSqlQuery> TVoShortReads::Take(const QSqlDatabase &db, const QString &text, bool *prepared) {
    *prepared = false;
    if (!m_enabled)
        return nullptr;
    const auto kept = m_kept.find(text);
    if (kept != m_kept.end()) {
        std::unique_ptr<QSqlQuery> query = std::move(kept->second.query);
        m_kept.erase(kept);
        return query;
    }
    if (!m_enabled || m_refused.contains(text) || !db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<isc_db_handle>())
        return nullptr;
    const isc_db_handle attachment = *static_cast<const isc_db_handle *>(handle.constData());
    if (!attachment)
        return nullptr;
    auto *result = new TVoShortReadResult(db.driver(), this, attachment);
    auto query = std::make_unique<QSqlQuery>(result);
    if (!query->prepare(text)) {
        if (result->Unsupported())
            Refuse(text);
        return nullptr;
    }
    *prepared = true;
    return query;
}

void TVoShortReads::Give(const QString &text, std::unique_ptr<QSqlQuery> query) {
    // The reads of the windows and routines of a session; more than this are prepared anew.
    constexpr size_t kKept = 64;
    if (!query || !IsShortRead(*query) || m_kept.count(text))
        return;
    // The one used longest ago makes room: a session's many texts read once (each screen of a list
    // is one) would otherwise keep out for good the reads a window makes at every click.
    if (m_kept.size() >= kKept)
        m_kept.erase(std::min_element(m_kept.begin(), m_kept.end(), [](const auto &a, const auto &b) {
            return a.second.used < b.second.used;
        }));
    query->finish();
    m_kept.emplace(text, TKept{std::move(query), ++m_uses});
}

void TVoShortReads::Drop() {
    m_kept.clear();
    for (TVoShortReadResult *result : QSet<TVoShortReadResult *>(m_live))
        result->Detach();
    if (m_transaction) {
        ISC_STATUS_ARRAY status{};
        if (isc_commit_transaction(status, &m_transaction))
            isc_rollback_transaction(status, &m_transaction);
        m_transaction = 0;
    }
    ++m_serial;
}

bool TVoShortReads::IsShortRead(const QSqlQuery &query) {
    return dynamic_cast<const TVoShortReadResult *>(query.result()) != nullptr;
}
