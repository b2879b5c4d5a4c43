#pragma once
// The one reader of SQL texts: every routine that looks into a statement (its parameters, the table it
// writes, its ORDER BY, where a script's statements end) works on the pieces it yields, so that a
// literal, a quoted name or a comment is never mistaken for a word of the statement.
#include <QList>
#include <QString>
#include <QStringList>

enum class TVoSqlPieceKind {
    Space,
    Comment,    // "-- ..." to the end of the line, or "/* ... */"
    String,     // '...' with '' inside
    QuotedName, // "..." with "" inside
    Word,       // a name, a keyword or a number
    Param,      // ":name"
    Marker,     // "::NAME", a text marker the programs replace before running the text
    Sign,       // any other character, parentheses included
};

struct TVoSqlPiece {
    TVoSqlPieceKind kind = TVoSqlPieceKind::Space;
    qsizetype start = 0;
    qsizetype length = 0;
    // Parenthesis depth; a "(" has the depth outside it, as has its ")".
    int depth = 0;
};

// The pieces of a text, in order, covering it whole.
QList<TVoSqlPiece> VoSqlPieces(const QString &sql);

// The text of a piece: a quoted name without its quotes, a parameter or marker without its colons.
QString VoSqlPieceText(const QString &sql, const TVoSqlPiece &piece);

// A statement text with its ":name" parameters turned into positional markers.
struct TVoParsedSQL {
    QString text;       // with "?" in place of every parameter
    QStringList params; // parameter names in order of appearance (repeats kept), as written
};
TVoParsedSQL VoParseSQL(const QString &sql);
// Distinct parameter names of a text, in order of first appearance.
QStringList VoParamNames(const QString &sql);

// What a statement does: 0 update, 1 insert, 2 delete; other statements (a procedure) are -1.
enum TVoStatementKind { skOther = -1, skUpdate = 0, skInsert = 1, skDelete = 2 };

// The table a statement writes ("INSERT INTO X", "UPDATE X", "DELETE FROM X", "EXECUTE PROCEDURE
// X"), upper-case, with what it does (TVoStatementKind).
QString VoStatementTable(const QString &sql, int *kind = nullptr);
// The first table of a select's FROM clause, upper-case; empty when it is a derived table.
QString VoMainTable(const QString &select);
// A select with its ORDER BY clause replaced (or added when it has none) by the given one; a row
// limit or lock after it stays.
QString VoReplaceOrderBy(const QString &select, const QString &orderBy);
// Whether an update or delete names one row by its key: its WHERE holds "column = :param" at the
// outer level, the column being keyColumn (qualified or not) and the parameter one of keyParams.
bool VoWritesRowByKey(const QString &sql, const QString &keyColumn, const QStringList &keyParams);
// Whether a select can be read a slice at a time: a single select that neither limits nor locks its
// rows itself.
bool VoCanSlice(const QString &select);
// The rows first to last (from 1) of such a select.
QString VoSlice(const QString &select, qint64 first, qint64 last);

// A database script split into statements: ";" ends a statement, "SET TERM x ;" changes the
// terminator (procedure bodies hold semicolons), and comments are dropped.
QStringList VoSplitSqlScript(const QString &script);
