#include "VoSqlText.h"

#include <QRegularExpression>

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
