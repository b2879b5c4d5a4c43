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
// Whether a select has an ORDER BY clause of its own (not one of a derived table).
bool VoHasOrderBy(const QString &select);
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

// A list over a wide view read by its keys: the keys alone are filtered, sorted and sliced, and only
// the rows of the slice are joined, so that the engine never sorts whole rows it will not show.
// keySelect lists the key first, then every column the list may be ordered or narrowed on, named as
// the list names them; its FROM and WHERE choose the list's rows over the fewest tables, with the
// list's parameters. keyColumn is the key as the list's select names it ("inb.IBINBID").
//
// walkSelect, when given, lists the keys already in the order walkOrder names (result names as
// VoOrderByNames gives them, ties broken by the key) by walking indexes, which a sort of every key
// would cost for each screen: it is used while the list stands in that order and is not narrowed.
// It names its first row with kVoWalkAfter: 0 from the first key on, 1 after the row whose order
// values and key it takes in kVoWalkAfter1, kVoWalkAfter2 and so on (walkOrder's columns, then the
// key), so that a later screen reads what it shows and not what comes before it. Beside VO_KEY it
// gives each key its place in the walk as kVoWalkPlace (rising): the slice's rows come with it and
// are put in their order by the reader, since an ORDER BY would have the engine sort the whole rows.
struct TVoKeySlice {
    QString keyColumn;
    QString keySelect;
    QStringList walkOrder = {};
    QString walkSelect = {};
    bool IsEmpty() const { return keySelect.isEmpty(); }
    // Whether the keys of a list in the order orderNames, narrowed on narrowField, are walked.
    bool Walks(const QStringList &orderNames, const QString &narrowField) const;
};
inline constexpr const char *kVoWalkAfter = "VOAFTER";
inline constexpr const char *kVoWalkPlace = "VO_PLACE";
// The parameter that VoKeySlice's narrowing text is bound to.
inline constexpr const char *kVoNarrowParam = "VONARROWTEXT";
// The columns of a select's list as (result name upper-case, expression); "*" items are left out,
// and so is an expression without a name.
QList<QPair<QString, QString>> VoSelectColumns(const QString &select);
// A select's ORDER BY items as result names with their direction ("DBBUODATA", "SCAMDESC DESC"):
// a column by its name, a position by the name fieldNames gives it. Empty when there is no ORDER BY
// or an item is anything else (an expression).
QStringList VoOrderByNames(const QString &select, const QStringList &fieldNames);
// The rows first to last of a single select, in the order orderNames (VoOrderByNames) with ties
// broken by the key, read through keys; narrowField, when given, keeps the rows whose column of
// that name contains the text bound to kVoNarrowParam, ignoring case. Empty when the select or the
// key select cannot be read this way, or the key select lacks a column named.
// With walked, the keys are keys.walkSelect's, its rows first to last (where its first row is as
// kVoWalkAfter chooses), and the slice is not sorted: each row ends with one more column, its place
// (kVoWalkPlace), by which the reader orders the rows.
QString VoKeySlice(const QString &select, const TVoKeySlice &keys, const QStringList &orderNames,
                   const QString &narrowField, qint64 first, qint64 last, bool walked = false);
// How many rows the list read by keys has, narrowed on narrowField: a count of its keys alone.
QString VoKeyCount(const TVoKeySlice &keys, const QString &narrowField);

// A database script split into statements: ";" ends a statement, "SET TERM x ;" changes the
// terminator (procedure bodies hold semicolons), and comments are dropped.
QStringList VoSplitSqlScript(const QString &script);
