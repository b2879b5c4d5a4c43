#include "VoSqlText.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// A literal or quoted name from its opening quote; a doubled quote stays inside. Returns the length.
qsizetype QuotedLength(const QString &sql, qsizetype i) {
    const QChar quote = sql[i];
    qsizetype j = i + 1;
    while (j < sql.size()) {
        if (sql[j] == quote) {
            if (j + 1 < sql.size() && sql[j + 1] == quote) {
                j += 2;
                continue;
            }
            return j + 1 - i;
        }
        ++j;
    }
    return sql.size() - i;
}

// The pieces that carry the statement's meaning: words, quoted names, parameters, markers and signs.
struct TToken {
    TVoSqlPieceKind kind;
    QString text;
    int depth;
    qsizetype start;
};

QList<TToken> Tokens(const QString &sql, int limit = -1) {
    QList<TToken> out;
    for (const TVoSqlPiece &p : VoSqlPieces(sql)) {
        if (p.kind == TVoSqlPieceKind::Space || p.kind == TVoSqlPieceKind::Comment ||
            p.kind == TVoSqlPieceKind::String)
            continue;
        out.append({p.kind, VoSqlPieceText(sql, p), p.depth, p.start});
        if (limit >= 0 && out.size() >= limit)
            break;
    }
    return out;
}

bool IsWord(const QList<TToken> &t, int i, const char *word) {
    return i >= 0 && i < t.size() && t[i].kind == TVoSqlPieceKind::Word &&
           t[i].text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsSign(const QList<TToken> &t, int i, char sign) {
    return i >= 0 && i < t.size() && t[i].kind == TVoSqlPieceKind::Sign && t[i].text == QLatin1Char(sign);
}

QString TableToken(const QList<TToken> &t, int i) {
    if (i >= t.size())
        return QString();
    if (t[i].kind == TVoSqlPieceKind::QuotedName)
        return t[i].text;
    return t[i].kind == TVoSqlPieceKind::Word ? t[i].text.toUpper() : QString();
}

QString WithoutTerminators(QString part) {
    part = part.trimmed();
    while (part.endsWith(QLatin1Char(';')))
        part = part.chopped(1).trimmed();
    return part;
}

} // namespace

QList<TVoSqlPiece> VoSqlPieces(const QString &sql) {
    QList<TVoSqlPiece> out;
    int depth = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    const auto add = [&](TVoSqlPieceKind kind, qsizetype length, int pieceDepth) {
        out.append({kind, i, length, pieceDepth});
        i += length;
    };
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && sql[j].isSpace())
                ++j;
            add(TVoSqlPieceKind::Space, j - i, depth);
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            qsizetype j = i;
            while (j < n && sql[j] != QLatin1Char('\n'))
                ++j;
            add(TVoSqlPieceKind::Comment, j - i, depth);
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            add(TVoSqlPieceKind::Comment, (end < 0 ? n : end + 2) - i, depth);
        } else if (c == QLatin1Char('\'')) {
            add(TVoSqlPieceKind::String, QuotedLength(sql, i), depth);
        } else if (c == QLatin1Char('"')) {
            add(TVoSqlPieceKind::QuotedName, QuotedLength(sql, i), depth);
        } else if (c == QLatin1Char(':') && next == QLatin1Char(':')) {
            qsizetype j = i;
            while (j < n && (sql[j] == QLatin1Char(':') || IsWordChar(sql[j])))
                ++j;
            add(TVoSqlPieceKind::Marker, j - i, depth);
        } else if (c == QLatin1Char(':') && IsWordChar(next)) {
            qsizetype j = i + 1;
            while (j < n && IsWordChar(sql[j]))
                ++j;
            add(TVoSqlPieceKind::Param, j - i, depth);
        } else if (IsWordChar(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(sql[j]))
                ++j;
            add(TVoSqlPieceKind::Word, j - i, depth);
        } else if (c == QLatin1Char('(')) {
            add(TVoSqlPieceKind::Sign, 1, depth++);
        } else if (c == QLatin1Char(')')) {
            add(TVoSqlPieceKind::Sign, 1, --depth);
        } else {
            add(TVoSqlPieceKind::Sign, 1, depth);
        }
    }
    return out;
}

QString VoSqlPieceText(const QString &sql, const TVoSqlPiece &piece) {
    const QString text = sql.mid(piece.start, piece.length);
    switch (piece.kind) {
    case TVoSqlPieceKind::QuotedName: {
        QString inner =
            text.mid(1, text.endsWith(QLatin1Char('"')) && text.size() > 1 ? text.size() - 2 : -1);
        return inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    }
    case TVoSqlPieceKind::Param:
        return text.mid(1);
    case TVoSqlPieceKind::Marker: {
        qsizetype colons = 0;
        while (colons < text.size() && text[colons] == QLatin1Char(':'))
            ++colons;
        return text.mid(colons);
    }
    default:
        return text;
    }
}

TVoParsedSQL VoParseSQL(const QString &sql) {
    TVoParsedSQL out;
    out.text.reserve(sql.size());
    for (const TVoSqlPiece &p : VoSqlPieces(sql)) {
        if (p.kind == TVoSqlPieceKind::Param) {
            out.params << sql.mid(p.start + 1, p.length - 1);
            out.text += QLatin1Char('?');
        } else {
            out.text += QStringView(sql).mid(p.start, p.length);
        }
    }
    return out;
}

QStringList VoParamNames(const QString &sql) {
    QStringList names;
    for (const QString &p : VoParseSQL(sql).params)
        if (!names.contains(p, Qt::CaseInsensitive))
            names << p;
    return names;
}

QString VoStatementTable(const QString &sql, int *kind) {
    const QList<TToken> t = Tokens(sql, 6);
    int k = skOther;
    QString table;
    if (IsWord(t, 0, "INSERT") && IsWord(t, 1, "INTO")) {
        k = skInsert;
        table = TableToken(t, 2);
    } else if (IsWord(t, 0, "UPDATE") && IsWord(t, 1, "OR") && IsWord(t, 2, "INSERT") &&
               IsWord(t, 3, "INTO")) {
        k = skInsert;
        table = TableToken(t, 4);
    } else if (IsWord(t, 0, "UPDATE")) {
        k = skUpdate;
        table = TableToken(t, 1);
    } else if (IsWord(t, 0, "DELETE") && IsWord(t, 1, "FROM")) {
        k = skDelete;
        table = TableToken(t, 2);
    } else if ((IsWord(t, 0, "MERGE") && IsWord(t, 1, "INTO")) ||
               (IsWord(t, 0, "EXECUTE") && IsWord(t, 1, "PROCEDURE"))) {
        table = TableToken(t, 2);
    }
    if (kind)
        *kind = k;
    return table;
}

QString VoMainTable(const QString &select) {
    const QList<TToken> t = Tokens(select);
    for (int i = 0; i < t.size(); ++i)
        if (t[i].depth == 0 && IsWord(t, i, "FROM"))
            return TableToken(t, i + 1);
    return QString();
}

bool VoHasOrderBy(const QString &select) {
    const QList<TToken> t = Tokens(select);
    for (int i = 0; i + 1 < t.size(); ++i)
        if (t[i].depth == 0 && IsWord(t, i, "ORDER") && IsWord(t, i + 1, "BY"))
            return true;
    return false;
}

QString VoReplaceOrderBy(const QString &select, const QString &orderBy) {
    const QList<TToken> t = Tokens(select);
    qsizetype orderAt = -1, tailAt = -1;
    for (int i = 0; i + 1 < t.size(); ++i)
        if (t[i].depth == 0 && IsWord(t, i, "ORDER") && IsWord(t, i + 1, "BY"))
            orderAt = t[i].start;
    // What may follow an ORDER BY and stays: a row limit, a lock, a plan.
    for (int i = 0; i < t.size() && tailAt < 0; ++i)
        if (t[i].depth == 0 && t[i].start > orderAt &&
            (IsWord(t, i, "ROWS") || IsWord(t, i, "FOR") || IsWord(t, i, "PLAN") || IsWord(t, i, "OFFSET") ||
             IsWord(t, i, "FETCH") || (IsWord(t, i, "WITH") && IsWord(t, i + 1, "LOCK"))))
            tailAt = t[i].start;
    const QString head = WithoutTerminators(select.left(orderAt >= 0  ? orderAt
                                                        : tailAt >= 0 ? tailAt
                                                                      : select.size()));
    const QString tail = tailAt >= 0 ? WithoutTerminators(select.mid(tailAt)) : QString();
    return head + QStringLiteral(" ORDER BY ") + orderBy +
           (tail.isEmpty() ? QString() : QLatin1Char(' ') + tail);
}

bool VoWritesRowByKey(const QString &sql, const QString &keyColumn, const QStringList &keyParams) {
    const QList<TToken> t = Tokens(sql);
    int where = -1;
    for (int i = 0; i < t.size() && where < 0; ++i)
        if (t[i].depth == 0 && IsWord(t, i, "WHERE"))
            where = i;
    if (where < 0)
        return false;
    // At the outer level of an update or delete only its own table's columns stand.
    const auto isColumn = [&](int i) {
        return i >= 0 && i < t.size() &&
               (t[i].kind == TVoSqlPieceKind::Word || t[i].kind == TVoSqlPieceKind::QuotedName) &&
               t[i].text.compare(keyColumn, Qt::CaseInsensitive) == 0;
    };
    const auto isKeyParam = [&](int i) {
        return i < t.size() && t[i].kind == TVoSqlPieceKind::Param &&
               keyParams.contains(t[i].text, Qt::CaseInsensitive);
    };
    // "column = :key" or ":key = column", the column perhaps qualified ("x.column").
    const auto columnAfter = [&](int i) { return IsSign(t, i + 1, '.') ? isColumn(i + 2) : isColumn(i); };
    for (int e = where + 2; e + 1 < t.size(); ++e) {
        if (t[e].depth != 0 || !IsSign(t, e, '='))
            continue;
        if ((isColumn(e - 1) && isKeyParam(e + 1)) || (isKeyParam(e - 1) && columnAfter(e + 1)))
            return true;
    }
    return false;
}

bool VoCanSlice(const QString &select) {
    const QList<TToken> t = Tokens(select);
    int first = 0;
    if (IsWord(t, 0, "WITH")) {
        // The common table expressions come first: the select proper starts at the outer SELECT.
        first = -1;
        for (int i = 1; i < t.size() && first < 0; ++i)
            if (t[i].depth == 0 && IsWord(t, i, "SELECT"))
                first = i;
    }
    if (first < 0 || !IsWord(t, first, "SELECT") || IsWord(t, first + 1, "FIRST") ||
        IsWord(t, first + 1, "SKIP"))
        return false;
    for (int i = first; i < t.size(); ++i) {
        if (t[i].depth != 0)
            continue;
        const bool limits = IsWord(t, i, "ROWS") || IsWord(t, i, "OFFSET") || IsWord(t, i, "FETCH") ||
                            (IsWord(t, i, "FOR") && IsWord(t, i + 1, "UPDATE")) ||
                            (IsWord(t, i, "WITH") && IsWord(t, i + 1, "LOCK"));
        // A terminator before the end: more than one statement.
        const bool another = IsSign(t, i, ';') && i + 1 < t.size() && !IsSign(t, i + 1, ';');
        if (limits || another)
            return false;
    }
    return true;
}

QString VoSlice(const QString &select, qint64 first, qint64 last) {
    return WithoutTerminators(select) + QStringLiteral(" ROWS %1 TO %2").arg(first).arg(last);
}

namespace {

// Where the clauses of a single select start; -1 when absent. A select that groups, joins results,
// limits or locks its rows, or opens with common table expressions is not taken apart.
struct TSelectParts {
    bool ok = false;
    int from = -1, where = -1, order = -1; // token indexes of FROM, WHERE, ORDER
};

TSelectParts SelectParts(const QList<TToken> &t) {
    TSelectParts p;
    if (!IsWord(t, 0, "SELECT") || IsWord(t, 1, "FIRST") || IsWord(t, 1, "SKIP") || IsWord(t, 1, "DISTINCT"))
        return p;
    for (int i = 1; i < t.size(); ++i) {
        if (t[i].depth != 0)
            continue;
        if (IsWord(t, i, "FROM") && p.from < 0)
            p.from = i;
        else if (IsWord(t, i, "WHERE") && p.from >= 0 && p.where < 0 && p.order < 0)
            p.where = i;
        else if (IsWord(t, i, "ORDER") && IsWord(t, i + 1, "BY"))
            p.order = i;
        else if (IsWord(t, i, "GROUP") || IsWord(t, i, "HAVING") || IsWord(t, i, "UNION") ||
                 IsWord(t, i, "PLAN") || IsWord(t, i, "ROWS") || IsWord(t, i, "OFFSET") ||
                 IsWord(t, i, "FETCH") || IsWord(t, i, "FOR") ||
                 (IsWord(t, i, "WITH") && IsWord(t, i + 1, "LOCK")) ||
                 (IsSign(t, i, ';') && i + 1 < t.size()))
            return p;
    }
    p.ok = p.from > 0;
    return p;
}

// The text between two tokens (to the end when to is past the last one), without terminators.
QString Between(const QString &sql, const QList<TToken> &t, int from, int to) {
    const qsizetype start = from < t.size() ? t[from].start : sql.size();
    const qsizetype end = to < t.size() ? t[to].start : sql.size();
    return WithoutTerminators(sql.mid(start, end - start));
}

// Depth-0 items separated by commas between two tokens, as token ranges [first, last).
QList<QPair<int, int>> Items(const QList<TToken> &t, int from, int to) {
    QList<QPair<int, int>> items;
    int start = from;
    for (int i = from; i <= to; ++i)
        if (i == to || (t[i].depth == 0 && IsSign(t, i, ','))) {
            if (i > start)
                items.append({start, i});
            start = i + 1;
        }
    return items;
}

bool IsName(const QList<TToken> &t, int i) {
    return i >= 0 && i < t.size() &&
           (t[i].kind == TVoSqlPieceKind::Word || t[i].kind == TVoSqlPieceKind::QuotedName);
}

QString Upper(const TToken &token) {
    return token.kind == TVoSqlPieceKind::QuotedName ? token.text : token.text.toUpper();
}

} // namespace

QList<QPair<QString, QString>> VoSelectColumns(const QString &select) {
    const QList<TToken> t = Tokens(select);
    const TSelectParts parts = SelectParts(t);
    QList<QPair<QString, QString>> columns;
    if (!parts.ok)
        return columns;
    for (const auto &[first, end] : Items(t, 1, parts.from)) {
        const int last = end - 1;
        if (IsSign(t, last, '*'))
            continue;
        const bool column =
            (last == first && IsName(t, first)) ||
            (last == first + 2 && IsName(t, first) && IsSign(t, first + 1, '.') && IsName(t, last));
        if (column) {
            columns.append({Upper(t[last]), Between(select, t, first, end)});
        } else if (IsName(t, last) && last > first &&
                   (IsWord(t, last - 1, "AS") || IsSign(t, last - 1, ')'))) {
            const int exprEnd = IsWord(t, last - 1, "AS") ? last - 1 : last;
            columns.append({Upper(t[last]), Between(select, t, first, exprEnd)});
        }
    }
    return columns;
}

QStringList VoOrderByNames(const QString &select, const QStringList &fieldNames) {
    const QList<TToken> t = Tokens(select);
    const TSelectParts parts = SelectParts(t);
    if (!parts.ok || parts.order < 0)
        return {};
    QStringList names;
    for (auto [first, end] : Items(t, parts.order + 2, int(t.size()))) {
        if (IsSign(t, end - 1, ';'))
            --end;
        // The direction and the place of NULLs stay as written.
        int head = end;
        while (head > first &&
               (IsWord(t, head - 1, "ASC") || IsWord(t, head - 1, "DESC") ||
                IsWord(t, head - 1, "ASCENDING") || IsWord(t, head - 1, "DESCENDING") ||
                IsWord(t, head - 1, "NULLS") || IsWord(t, head - 1, "FIRST") || IsWord(t, head - 1, "LAST")))
            --head;
        QString name;
        bool isNumber = false;
        const int position = head == first + 1 ? t[first].text.toInt(&isNumber) : 0;
        if (isNumber && t[first].kind == TVoSqlPieceKind::Word) {
            if (position < 1 || position > fieldNames.size())
                return {};
            name = fieldNames[position - 1].toUpper();
        } else if (head == first + 1 && IsName(t, first)) {
            name = Upper(t[first]);
        } else if (head == first + 3 && IsName(t, first) && IsSign(t, first + 1, '.') &&
                   IsName(t, first + 2)) {
            name = Upper(t[first + 2]);
        } else {
            return {};
        }
        QStringList direction;
        for (int i = head; i < end; ++i)
            direction << t[i].text.toUpper();
        names << (direction.isEmpty() ? name : name + QLatin1Char(' ') + direction.join(QLatin1Char(' ')));
    }
    return names;
}

bool TVoKeySlice::Walks(const QStringList &orderNames, const QString &narrowField) const {
    if (walkSelect.isEmpty() || !narrowField.isEmpty() || orderNames.size() != walkOrder.size())
        return false;
    for (int i = 0; i < orderNames.size(); ++i)
        if (orderNames[i].compare(walkOrder[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

namespace {

// The parts of a key select that a slice or a count of its keys is made of.
struct TKeyParts {
    bool ok = false;
    QString keyExpr;
    QString from;
    QStringList conditions;
    QList<QPair<QString, QString>> columns;
    QString Expression(const QString &name) const {
        for (const auto &[n, e] : columns)
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return e;
        return QString();
    }
};

TKeyParts KeyParts(const TVoKeySlice &keys, const QString &narrowField) {
    TKeyParts r;
    const QList<TToken> k = Tokens(keys.keySelect);
    const TSelectParts keyParts = SelectParts(k);
    if (!keyParts.ok || keys.keyColumn.isEmpty())
        return r;
    r.columns = VoSelectColumns(keys.keySelect);
    const QList<QPair<int, int>> keyItems = Items(k, 1, keyParts.from);
    if (r.columns.isEmpty() || keyItems.isEmpty())
        return r;
    r.keyExpr = Between(keys.keySelect, k, keyItems[0].first, keyItems[0].second);
    const int keyEnd = keyParts.order >= 0 ? keyParts.order : int(k.size());
    if (keyParts.where >= 0)
        r.conditions << QLatin1Char('(') + Between(keys.keySelect, k, keyParts.where + 1, keyEnd) +
                            QLatin1Char(')');
    if (!narrowField.isEmpty()) {
        const QString e = r.Expression(narrowField);
        if (e.isEmpty())
            return r;
        r.conditions << QLatin1Char('(') + e + QStringLiteral(" CONTAINING :") + QLatin1String(kVoNarrowParam) +
                            QLatin1Char(')');
    }
    r.from = Between(keys.keySelect, k, keyParts.from + 1, keyParts.where >= 0 ? keyParts.where : keyEnd);
    r.ok = true;
    return r;
}

QString Where(const QStringList &conditions) {
    return conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

} // namespace

QString VoKeyCount(const TVoKeySlice &keys, const QString &narrowField) {
    const TKeyParts p = KeyParts(keys, narrowField);
    return p.ok ? QStringLiteral("SELECT COUNT(*) FROM ") + p.from + Where(p.conditions) : QString();
}

QString VoKeySlice(const QString &select, const TVoKeySlice &keys, const QStringList &orderNames,
                   const QString &narrowField, qint64 first, qint64 last, bool walked) {
    const QList<TToken> t = Tokens(select);
    const TSelectParts parts = SelectParts(t);
    const TKeyParts key = KeyParts(keys, narrowField);
    if (!parts.ok || !key.ok)
        return QString();
    const QString &keyExpr = key.keyExpr;

    QStringList order;
    bool endsWithKey = false;
    for (const QString &item : orderNames) {
        const QString e = key.Expression(item.section(QLatin1Char(' '), 0, 0));
        if (e.isEmpty())
            return QString();
        const QString direction = item.section(QLatin1Char(' '), 1);
        order << (direction.isEmpty() ? e : e + QLatin1Char(' ') + direction);
        endsWithKey = e.compare(keyExpr, Qt::CaseInsensitive) == 0;
    }
    // The key breaks the ties; an order that already ends with it keeps it once, so that the engine
    // may still walk the key's index.
    if (!endsWithKey)
        order << keyExpr;
    // Built by joining: the texts may hold "%" in their literals.
    const QString keyQuery =
        walked ? QStringLiteral("SELECT VO_KEY, ") + QLatin1String(kVoWalkPlace) + QStringLiteral(" FROM (") +
                     keys.walkSelect + QStringLiteral(") ROWS %1 TO %2").arg(first).arg(last)
               : QStringLiteral("SELECT ") + keyExpr + QStringLiteral(" AS VO_KEY FROM ") + key.from +
                     Where(key.conditions) + QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) +
                     QStringLiteral(" ROWS %1 TO %2").arg(first).arg(last);

    // The list's first table takes the slice's keys: the join keeps the slice's few rows in front,
    // and the rest of the list's FROM follows as it was written.
    const int table = parts.from + 1;
    if (!IsName(t, table))
        return QString();
    int itemEnd = table + 1;
    static const char *const notAlias[] = {"JOIN",  "INNER",   "LEFT",  "RIGHT", "FULL",
                                           "CROSS", "NATURAL", "WHERE", "ORDER"};
    if (IsWord(t, itemEnd, "AS"))
        itemEnd += 2;
    else if (IsName(t, itemEnd) && std::none_of(std::begin(notAlias), std::end(notAlias),
                                                [&](const char *w) { return IsWord(t, itemEnd, w); }))
        ++itemEnd;
    const int fromEnd = parts.where >= 0 ? parts.where : parts.order >= 0 ? parts.order : int(t.size());
    if (itemEnd > fromEnd)
        return QString();
    const QString rest =
        itemEnd < fromEnd ? QLatin1Char(' ') + Between(select, t, itemEnd, fromEnd) : QString();
    QString where = QLatin1Char('(') + keys.keyColumn + QStringLiteral(" IS NOT NULL)");
    if (parts.where >= 0)
        where += QStringLiteral(" AND (") +
                 Between(select, t, parts.where + 1, parts.order >= 0 ? parts.order : int(t.size())) +
                 QLatin1Char(')');
    QStringList listOrder;
    if (parts.order >= 0)
        listOrder << Between(select, t, parts.order + 2, int(t.size()));
    if (!endsWithKey)
        listOrder << keys.keyColumn;
    // Walked, the rows come with their places instead of sorted: the engine would sort the whole
    // rows, which for a wide view costs several times the reading of them.
    return QStringLiteral("SELECT ") + Between(select, t, 1, parts.from) +
           (walked ? QStringLiteral(", VO_S.") + QLatin1String(kVoWalkPlace) : QString()) +
           QStringLiteral(" FROM (") + keyQuery + QStringLiteral(") VO_S LEFT JOIN ") +
           Between(select, t, table, itemEnd) + QStringLiteral(" ON (") + keys.keyColumn +
           QStringLiteral(" = VO_S.VO_KEY)") + rest + QStringLiteral(" WHERE ") + where +
           (walked ? QString() : QStringLiteral(" ORDER BY ") + listOrder.join(QStringLiteral(", ")));
}

QStringList VoSplitSqlScript(const QString &script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const auto flush = [&]() {
        const QString s = current.trimmed();
        current.clear();
        if (s.isEmpty())
            return;
        static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = setTerm.match(s);
        if (m.hasMatch()) {
            terminator = m.captured(1);
            return;
        }
        statements << s;
    };
    qsizetype skipUntil = 0;
    for (const TVoSqlPiece &p : VoSqlPieces(script)) {
        if (p.start < skipUntil)
            continue;
        if (p.kind == TVoSqlPieceKind::Comment) {
            // A line comment ends its line; a block comment stands for a blank.
            current += script.at(p.start + 1) == QLatin1Char('-') ? QLatin1Char('\n') : QLatin1Char(' ');
            continue;
        }
        const bool literal = p.kind == TVoSqlPieceKind::String || p.kind == TVoSqlPieceKind::QuotedName ||
                             p.kind == TVoSqlPieceKind::Space;
        // A terminator may span several pieces ("!!"): it is looked for in the text from here.
        if (!literal && QStringView(script).mid(p.start).startsWith(terminator)) {
            // "SET TERM ^ ;" is itself ended by the old terminator, even when that is "^".
            flush();
            skipUntil = p.start + terminator.size();
            continue;
        }
        current += QStringView(script).mid(p.start, p.length);
    }
    flush();
    return statements;
}
