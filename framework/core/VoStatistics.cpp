#include "VoStatistics.h"

#include "VoConnection.h"
#include "VoQuery.h"

#include <QMap>
#include <QSqlQuery>
#include <cmath>
#include <exception>

namespace {

const char *const kIndexesSQL =
    "SELECT TRIM(i.RDB$RELATION_NAME), TRIM(i.RDB$INDEX_NAME), i.RDB$STATISTICS FROM RDB$INDICES i "
    "INNER JOIN RDB$RELATIONS r ON r.RDB$RELATION_NAME = i.RDB$RELATION_NAME WHERE "
    "COALESCE(r.RDB$SYSTEM_FLAG, "
    "0) = 0 AND r.RDB$VIEW_BLR IS NULL AND COALESCE(r.RDB$RELATION_TYPE, 0) = 0 AND "
    "COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0 ORDER BY 1, 2";

// Names as the catalogue holds them, quoted: a name is never taken for a keyword.
QString Quoted(const QString &name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

struct TTable {
    QStringList indexes;
    // The rows the statistics were measured on: a selectivity is one over the distinct keys, and the
    // most selective index has at most as many as the table had rows.
    double measured = 0.0;
};

} // namespace

QStringList VoRefreshStaleStatistics(TVoSQLConnection *connection) {
    TVoSQLConnection *conn = connection ? connection : qqoVoGlobConn;
    QStringList refreshed;
    if (!conn || !conn->Connected() || conn->InTransaction())
        return refreshed;
    QMap<QString, TTable> tables;
    try {
        TVoQuery q(QString::fromLatin1(kIndexesSQL), conn);
        for (q.Open(); !q.Eof(); q.Next()) {
            TTable &table = tables[q.Value(0).toString()];
            table.indexes << q.Value(1).toString();
            const double selectivity = q.Value(2).toDouble();
            if (selectivity > 0.0)
                table.measured = std::max(table.measured, 1.0 / selectivity);
        }
    } catch (const std::exception &) {
        return refreshed;
    }
    for (auto it = tables.constBegin(); it != tables.constEnd(); ++it) {
        const qint64 bound = qint64(2.0 * std::round(it->measured)) + 100;
        try {
            const qint64 rows =
                VoSelectValue(QStringLiteral("SELECT COUNT(*) FROM (SELECT FIRST (:n) 1 AS X FROM %1)")
                                  .arg(Quoted(it.key())),
                              {{QStringLiteral("n"), bound}}, conn)
                    .toLongLong();
            if (rows < bound)
                continue;
            // Run as they stand: the statement changes no rows to count.
            QSqlQuery measure(conn->Database());
            for (const QString &index : it->indexes)
                measure.exec(QStringLiteral("SET STATISTICS INDEX %1").arg(Quoted(index)));
            refreshed << it.key();
        } catch (const std::exception &) {
            // Statistics only make plans better: a table that cannot be measured is left as it was.
        }
    }
    return refreshed;
}
