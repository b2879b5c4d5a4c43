#pragma once
// Short reads: SELECTs run outside any write, in the one read-only read-committed transaction that
// their connection keeps for them, by statements the connection prepares once and keeps. Such a
// transaction sees every commit of every connection as soon as it is made and holds back no garbage
// collection, where a transaction started and committed around each read costs the engine two page
// writes. Qt's driver starts every transaction of its own as a read-write snapshot, so these reads go
// to the client library directly; what they return is what the driver returns for the same columns.
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>
#include <ibase.h>
#include <memory>
#include <unordered_map>
#include <vector>

class TVoShortReadResult;

// The read transaction of one connection and the statements prepared in it.
class TVoShortReads {
public:
    TVoShortReads() = default;
    ~TVoShortReads();
    TVoShortReads(const TVoShortReads &) = delete;
    TVoShortReads &operator=(const TVoShortReads &) = delete;

    // A query prepared for the text, kept from an earlier read or prepared now; none when the text is
    // no plain read (it is left to the driver, which tells what is wrong with it).
    std::unique_ptr<QSqlQuery> Take(const QSqlDatabase &db, const QString &text, bool *prepared);
    // Keeps a query taken for its text, for the next read of the same text.
    void Give(const QString &text, std::unique_ptr<QSqlQuery> query);
    // The read failed here, or its result has what these reads do not carry: the driver runs it from
    // now on.
    void Refuse(const QString &text) { m_refused.insert(text); }
    // Ends the transaction and frees every statement, those taken too (which then fail when run):
    // before the connection closes, after it was lost, before the schema changes.
    void Drop();
    // Off, every read runs as the driver makes it, in a transaction of its own prepared with it: for
    // measuring the two against each other.
    void SetEnabled(bool on) {
        if (!on)
            Drop();
        m_enabled = on;
    }
    // Tells the statements of one transaction from those of the next.
    quint64 Serial() const { return m_serial; }
    // Whether the result of a query was read here.
    static bool IsShortRead(const QSqlQuery &query);

private:
    friend class TVoShortReadResult;
    isc_tr_handle *Transaction(isc_db_handle attachment);
    isc_tr_handle m_transaction = 0;
    // A statement kept, and when it was last given back.
    struct TKept {
        std::unique_ptr<QSqlQuery> query;
        quint64 used = 0;
    };
    std::unordered_map<QString, TKept> m_kept;
    quint64 m_uses = 0;
    QSet<QString> m_refused;
    QSet<TVoShortReadResult *> m_live;
    quint64 m_serial = 1;
    bool m_enabled = true;
};
