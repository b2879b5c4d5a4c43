#pragma once
// The client dataset every window reads and writes through.
//
// A select text with ":name" parameters is opened into rows held in memory, with a current row
// and the states browse, insert and edit. Writing is done by statement lists: SQLInsert or
// SQLUpdate when a row is posted, SQLDelete when it is deleted, each statement run in the order
// added, all of one post or delete in one transaction. Before each statement VoBeforeExec may add
// parameter values or skip it; the other parameters come from the row's fields of the same name
// (ignoring case), VOGENID is a new key for the statement's table and VOCURRID the row's key.
//
// Events are TVoEvent callbacks (VoEvent.h), called synchronously; several listeners may hook one.
// A "before" handler refuses the operation by throwing: EVoAbort silently, any other exception
// with its message shown once. A BeforeWrite, VoBeforeExec or VoAfterExec handler that throws ends
// the whole post or delete the same way, and everything the statements wrote is rolled back.
//
// Two copies of a program may write the same rows. So:
// - a check that guards a write (a free number, enough stock) runs in BeforeWrite, inside the
//   write's transaction, after locking the row that owns the rule (VoLockRow);
// - a write that meets a lock conflict (another copy held or changed the row meanwhile) is tried
//   again in a new transaction, so that its checks see what the other copy committed;
// - the statement that updates or deletes the row itself (on the main table, by the row's key)
//   must touch exactly one row; otherwise the write fails with "Il record è stato modificato o
//   cancellato da un altro utente.", the edit is given up and the rows are read again.
//
// Rows are read in packets of PacketRecords rows, as the cursor moves past the rows read or a grid
// asks for more (CanFetchMore, FetchMore). Each packet is a short query of its own (the select's
// rows from the position reached on), so no transaction stays open while the user reads; packets
// grow as more are read, so that reading far into a long list costs few queries. A few rows
// before the position are read again to find the place: rows that others inserted or deleted
// before it meanwhile neither repeat nor drop a row, and rows this collection wrote itself are not
// read twice. A select that limits or locks its rows itself, or a collection opened while the
// caller holds a transaction, reads all its rows at once.
#include "VoBounds.h"
#include "VoEvent.h"
#include "VoMoney.h"
#include "VoSqlText.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class TVoSQLConnection;
class TVoQuery;
class TVoQueryCollection;
class QSqlRecord;

// The framework's data-source modes, numbered as the programs compare them.
enum TVoDataSetState { dsInactive = -1, dsBrowse = 0, dsInsert = 1, dsEdit = 2 };

// Questions asked before an operation; only the delete one is asked by the collection itself.
enum TVoConfirmation : unsigned { cfNone = 0, cfTrash = 1u << 0, cfDisable = 1u << 1, cfDelete = 1u << 2 };
using TVoConfirmations = unsigned;

// What a collection cannot settle alone: the user's word before a row is deleted, and a failure it
// handled (nothing was written, or the row was saved and a later step failed) that the user should
// hear of. The windows' layer installs the one that asks and shows (TVoApplication); without one a
// delete waiting for the user's word is refused, and a failure is only kept in LastError().
class IVoDataSetUser {
public:
    virtual ~IVoDataSetUser() = default;
    virtual bool ConfirmDelete() = 0;
    virtual void Report(const std::exception &failure) = 0;
};
// Installs the process's one (nullptr: none); returns the previous one.
std::shared_ptr<IVoDataSetUser> SetVoDataSetUser(std::shared_ptr<IVoDataSetUser> user);
// Passes a failure that a collection, or a view reading it, handled on to the user installed.
void VoReportDataSetFailure(const std::exception &failure);

enum TVoLocateOption : unsigned { loNone = 0, loCaseInsensitive = 1u << 0, loPartialKey = 1u << 1 };
using TVoLocateOptions = unsigned;

// Parameter values for one statement, by name ignoring case.
class TVoFieldValue {
public:
    // Sets a value; a name added before (in any case) is replaced.
    void Add(const QString &name, const QVariant &value);
    // A NULL of the given type.
    void AddNull(const QString &name, QMetaType::Type type = QMetaType::Int);
    // A day count as a DATE (negative: NULL).
    void AddDate(const QString &name, double days);
    bool Contains(const QString &name) const;
    QVariant Value(const QString &name) const;
    void Remove(const QString &name);
    void Clear();
    int Count() const { return int(m_names.size()); }
    QStringList Names() const { return m_names; }

private:
    int IndexOf(const QString &name) const;
    QStringList m_names;
    QVariantList m_values;
};

// What a VoBeforeExec or VoAfterExec handler learns about the statement and gives it.
struct TVoQueryProp {
    // Before: the values the handler adds. After: every value the statement ran with, VOGENID and
    // VOCURRID included.
    TVoFieldValue Values;
    // The table the statement writes, upper-case ("TFBUO_BUONI"); for a procedure, its name.
    QString TableName;
    // What the statement itself does (TVoStatementKind): an UPDATE in the delete list is 0. A
    // statement that is neither insert, update nor delete takes the kind of its list.
    int Kind = skUpdate;
    // The list it belongs to: 0 update, 1 insert, 2 delete.
    int ListKind = skUpdate;
    // Its position in its list, from 0.
    int Index = 0;
    QString SQL;
};

// One statement of a list, with what is read from its text once.
class TVoSQLStatement {
public:
    explicit TVoSQLStatement(const QString &sql);
    const QString &SQL() const { return m_sql; }
    const QString &TableName() const { return m_table; }
    int Kind() const { return m_kind; }
    const QStringList &ParamNames() const { return m_params; }
    bool UsesParam(const QString &name) const;

private:
    QString m_sql;
    QString m_table;
    int m_kind = skOther;
    QStringList m_params;
};

class TVoSQLList {
public:
    void Add(const QString &sql) { m_items.append(TVoSQLStatement(sql)); }
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.isEmpty(); }
    const TVoSQLStatement &operator[](int index) const { return m_items[index]; }
    QStringList Texts() const;

private:
    QList<TVoSQLStatement> m_items;
};

// A parameter of the select. A parameter the text names must be given a value (a NULL counts)
// before the collection opens.
class TVoParam {
public:
    explicit TVoParam(const QString &name, QMetaType::Type type = QMetaType::UnknownType);
    const QString &Name() const { return m_name; }
    QMetaType::Type DataType() const { return m_type; }
    void SetDataType(QMetaType::Type type) { m_type = type; }
    bool Bound() const { return m_bound; }
    const QVariant &Value() const { return m_value; }
    bool IsNull() const { return m_value.isNull(); }

    void SetValue(const QVariant &value);
    // Sets the type, clears the value and marks the parameter bound: the select receives a NULL.
    void SetNull(QMetaType::Type type);
    void SetAsInteger(int value) { SetValue(value); }
    void SetAsFloat(double value) { SetValue(value); }
    void SetAsString(const QString &value) { SetValue(value); }
    // A day count as a DATE (negative: NULL).
    void SetAsDate(double days);
    // Forgets the value: the parameter is unbound again.
    void Clear();

    int AsInteger(int defaultValue = 0) const;
    double AsFloat(double defaultValue = 0.0) const;
    QString AsString() const;
    double AsDate() const;

private:
    QString m_name;
    QMetaType::Type m_type;
    QVariant m_value;
    bool m_bound = false;
};

// The select's parameters, in order of first appearance in the text, found by name ignoring case.
class TVoParams {
public:
    int Count() const { return int(m_items.size()); }
    TVoParam &operator[](int index) { return *m_items[index]; }
    const TVoParam &operator[](int index) const { return *m_items[index]; }
    TVoParam *FindParam(const QString &name) const;
    // Raises EVoError when there is no such parameter.
    TVoParam &ParamByName(const QString &name) const;
    // Adds a parameter; one of the same name (any case) is kept and only takes the type.
    TVoParam &CreateParam(const QString &name, QMetaType::Type type = QMetaType::UnknownType);
    void Clear() { m_items.clear(); }
    QStringList Names() const;
    // Replaces the list by the parameters the text names, keeping the values of names that remain.
    void RebuildFrom(const QString &sql);

private:
    std::vector<std::unique_ptr<TVoParam>> m_items;
};

// A column of the collection (or a calculated field), read and written on the current row.
class TVoField {
public:
    const QString &FieldName() const { return m_name; }
    int Index() const { return m_index; }
    QMetaType::Type DataType() const { return m_type; }
    bool Calculated() const { return m_calculated; }
    // The table the column comes from, as the database names it; empty for an expression.
    const QString &Origin() const { return m_origin; }
    // Whether the database refuses a NULL in the column (NOT NULL); false for calculated fields.
    bool Required() const { return m_required; }
    TVoQueryCollection *DataSet() const { return m_owner; }

    // How grids show the field. A display format is a number format (VoFormatFloat) for numbers and
    // a Qt date format for dates.
    const QString &DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString &format);
    // An amount kept as an integer in units of 10^-scale is shown divided by 10^scale (4: the
    // ten-thousandths of the programs' money); 0 shows the value itself.
    int DisplayScale() const { return m_displayScale; }
    void SetDisplayScale(int scale) { m_displayScale = scale; }
    // The value as lists show it: scaled as above.
    QVariant DisplayValue(const QVariant &value) const;
    QString DisplayLabel() const { return m_displayLabel.isEmpty() ? m_name : m_displayLabel; }
    void SetDisplayLabel(const QString &label);

    QVariant Value() const;
    // The value before the current edit began (NULL for a row being inserted).
    QVariant OldValue() const;
    bool IsNull() const { return Value().isNull(); }
    int AsInteger(int defaultValue = 0) const;
    qint64 AsLargeInt(qint64 defaultValue = 0) const;
    double AsFloat(double defaultValue = 0.0) const;
    // An amount kept as a BIGINT of ten-thousandths; NULL reads as zero.
    TVoMoney AsMoney() const { return TVoMoney::FromStored(AsLargeInt()); }
    // Numbers with a decimal comma, dates as "dd/MM/yyyy", text as it is.
    QString AsString() const;
    // A day count; NULL reads as day 0.
    double AsDate() const;
    bool AsBoolean() const;
    QString DisplayText() const;

    // Writing needs the collection in insert or edit state (calculated fields: inside OnCalcFields).
    void SetValue(const QVariant &value);
    void SetNull() { SetValue(QVariant()); }
    void SetAsInteger(int value) { SetValue(value); }
    void SetAsLargeInt(qint64 value) { SetValue(value); }
    void SetAsFloat(double value) { SetValue(value); }
    void SetAsMoney(TVoMoney value) { SetValue(value.Stored()); }
    // Text typed by the user: numbers the Italian way, dates as "dd/MM/yyyy"; empty text is NULL.
    void SetAsString(const QString &value);
    // A day count (negative: NULL).
    void SetAsDate(double days);
    void SetAsBoolean(bool value) { SetValue(value ? 1 : 0); }

private:
    friend class TVoQueryCollection;
    TVoField(TVoQueryCollection *owner, const QString &name, QMetaType::Type type, bool calculated);
    TVoQueryCollection *m_owner;
    QString m_name;
    QMetaType::Type m_type;
    bool m_calculated;
    QString m_origin;
    bool m_required = false;
    int m_index = -1;
    QString m_displayFormat;
    QString m_displayLabel;
    int m_displayScale = 0;
};

// A remembered row: found again by its identity, or by its key after a refresh.
struct TVoBookmark {
    quint64 row = 0;
    QVariant key;
    bool IsEmpty() const { return row == 0; }
};

class TVoQueryCollection : public QObject {
    Q_OBJECT
public:
    explicit TVoQueryCollection(QObject *parent = nullptr);
    ~TVoQueryCollection() override;

    // --- What is read --------------------------------------------------------------------------
    // The connection used: the global one unless another was set.
    TVoSQLConnection *Connection() const;
    // A connection that goes away leaves the collection on the global one.
    void SetConnection(TVoSQLConnection *connection);
    const QString &CommandText() const { return m_commandText; }
    // Takes effect at the next opening; the parameter list follows the text (RebuildParamsFromSQL).
    void SetCommandText(const QString &sql);
    TVoParams &Params() { return m_params; }
    // Sets a parameter by name ignoring case, creating it when the list lacks it.
    void SetParam(const QString &name, const QVariant &value);
    void SetParamNull(const QString &name, QMetaType::Type type = QMetaType::Int);
    void RebuildParamsFromSQL() { m_params.RebuildFrom(m_commandText); }
    // Reads the rows by their keys (VoKeySlice): a list over a wide view shows its first rows without
    // the engine sorting every whole row. Takes effect at the next opening; an order the key select
    // has no column for is read as the select stands.
    void SetKeySlice(const TVoKeySlice &keys) { m_keySlice = keys; }
    const TVoKeySlice &KeySlice() const { return m_keySlice; }
    // Keeps only the rows whose field contains the text, ignoring case and taking every character as
    // itself, chosen by the database among the keys, so that the rows are still read a packet at a
    // time; the cursor stays on its row when that one is among the first read, else goes to the
    // first. False, with nothing changed, when the key select has no column of that name (the
    // caller may then filter the rows read, SetRowFilter). An empty text shows every row again.
    bool SetNarrowing(const QString &field, const QString &text);
    bool Narrowed() const { return !m_narrowing.field.isEmpty(); }
    // Rows read at a time; 0 or less reads every row at the opening (the default).
    int PacketRecords() const { return m_packetRecords; }
    void SetPacketRecords(int rows) { m_packetRecords = rows; }
    // The field holding the row's key (VOCURRID, VOGENID written back); the first column by default.
    QString KeyField() const;
    void SetKeyField(const QString &name) { m_keyField = name; }
    // The table whose new key is written back into the key field; the first table of the select's
    // FROM by default (when no statement inserts into it: the first statement that draws VOGENID).
    QString TableName() const;
    void SetTableName(const QString &name) { m_tableName = name; }
    // When on, a list left empty is built from the select at each post or delete: the columns of
    // the main table that the select reads, the key as VOGENID / VOCURRID.
    bool AutoBuildSQL() const { return m_autoBuildSQL; }
    void SetAutoBuildSQL(bool on) { m_autoBuildSQL = on; }
    // Delete is confirmed by default; the windows switch it as they need.
    TVoConfirmations Confirmations() const { return m_confirmations; }
    void SetConfirmations(TVoConfirmations confirmations) { m_confirmations = confirmations; }
    // The text of the last failure a post or delete handled and reported, as the failure gave it (the
    // engine's own words for a refusal of the database; the user is told VoFailureText's), empty after
    // a silent refusal; cleared as a post or delete begins.
    const QString &LastError() const { return m_lastError; }
    // Rows that the system itself provides carry 1 in an ILOCKED column. When this is on (it is off
    // by default) such a row can only be read: Edit refuses it silently (EVoAbort) and Delete leaves
    // it in place.
    bool LockedRowsReadOnly() const { return m_lockedRowsReadOnly; }
    void SetLockedRowsReadOnly(bool on) { m_lockedRowsReadOnly = on; }
    // Whether the current row may be edited or deleted (a new row always may).
    bool RowWritable() const;

    TVoSQLList SQLInsert;
    TVoSQLList SQLUpdate;
    TVoSQLList SQLDelete;

    // What a field may hold (by name, ignoring case; kept across openings): a post of a row whose
    // value lies beyond is refused with the bounds' message, and the number edits bound to the field
    // refuse it as the user leaves them. Only a value the insert or edit gives the field is judged:
    // one the row already held when its edit began (stored by an import, a closing, an older
    // program) stays, so that the rest of the row can still be changed.
    void SetFieldBounds(const QString &field, const TVoBounds &bounds);
    const TVoBounds *FieldBounds(const QString &field) const;
    // The message refusing the field's current value beyond its bounds, named by caption (else by the
    // bounds' own caption); empty when it is within them, when the field has none, or when an edit
    // left the value as the row held it.
    QString FieldBoundsProblem(const TVoField *field, const QString &caption) const;

    // A field computed in OnCalcFields for every row; added while the collection is closed.
    void AddCalcField(const QString &name, QMetaType::Type type);

    // --- Client side: a row filter, reading another row, rows in memory ---------------------------
    // A predicate on a row, which it reads through the fields (FieldByName(...)->Value()).
    using TVoRowFilter = std::function<bool(const TVoQueryCollection *)>;
    // Shows only the rows the predicate accepts: the grids, the cursor, First, Next, Locate, the
    // record count and AfterScroll see those alone, in their order. Every row of the select is read
    // first, at each opening and refresh. Set on an open collection it applies at once (a row being
    // typed is posted first; when that is refused nothing changes and the result is false), and the
    // cursor stays on its row when that one is shown, else goes to the first. Rows written while the
    // filter is on stay shown until it is applied again. A predicate that throws leaves every row
    // shown and the filter off; the exception reaches the caller.
    bool SetRowFilter(TVoRowFilter filter);
    // Shows every row again, each where the select put it; false when a row being typed could not
    // be posted.
    bool ClearRowFilter();
    bool RowFiltered() const { return bool(m_rowFilter.predicate); }
    // Runs fn with the fields reading the shown row index (from 0; rows not yet read are read first)
    // instead of the current one, without moving and without any event; false when there is no such
    // row. Fields cannot be written meanwhile.
    bool ReadRow(int index, const std::function<void()> &fn);

    // A collection with field definitions and no select holds the rows its code appends: it opens
    // empty (CreateDataSet or Open), and posts and deletes in memory only.
    void AddFieldDef(const QString &name, QMetaType::Type type);
    void ClearFieldDefs() { m_fieldDefs.clear(); }
    bool InMemory() const { return m_commandText.isEmpty() && !m_fieldDefs.isEmpty(); }
    void CreateDataSet() { Open(); }
    // Removes every row of an open collection in memory (a row being typed is given up).
    void EmptyDataSet();

    // --- Opening --------------------------------------------------------------------------------
    // Runs the select and reads the first packet; database errors are raised (EVoDatabaseError).
    void Open();
    void Close();
    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    // Reads the rows again and stands on the same row (by key) when it still exists, else on the
    // row now in its place. Asked for by a statement's event during a post or delete, it runs once
    // the row is saved. Other moves and edits are refused while the statements run.
    void Refresh();
    TVoDataSetState State() const { return m_state; }

    // --- Moving ---------------------------------------------------------------------------------
    // Moving away from a row being inserted or edited posts it first; when the post fails the
    // cursor stays.
    void First();
    void Last();
    // Last, for a result that may be long: progress is told how many rows are read after each
    // packet of a few thousand, and may end the reading by an exception (the rows read stay, the
    // cursor where it was).
    void Last(const std::function<void(int read)> &progress);
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const { return m_rows.isEmpty(); }
    // The current row's number from 1; 0 when there is none.
    int RecNo() const { return m_cur + 1; }
    void SetRecNo(int recNo);
    // Every row (reads those still pending).
    int RecordCount();
    int FetchedCount() const { return int(m_rows.size()); }
    bool CanFetchMore() const { return m_paging.pending; }
    // The rows of a list read by keys, counted by their keys alone without reading them; -1 for
    // any other list.
    int CountKeys();
    // Reads one more packet; returns the rows read.
    int FetchMore();
    void FetchAll();
    // Moves to the first row whose fields (names separated by ";") hold the values.
    bool Locate(const QString &fields, const QVariantList &values, TVoLocateOptions options = loNone);
    bool Locate(const QString &field, const QVariant &value, TVoLocateOptions options = loNone) {
        return Locate(field, QVariantList{value}, options);
    }
    TVoBookmark GetBookmark() const;
    bool BookmarkValid(const TVoBookmark &bookmark) const;
    bool GotoBookmark(const TVoBookmark &bookmark);

    // --- Editing --------------------------------------------------------------------------------
    // A new row before the current one / after the last one.
    void Insert();
    void Append();
    // An empty collection starts inserting instead.
    void Edit();
    // Runs the insert or update list in one transaction. On failure everything is rolled back, the
    // database's message is shown once, and the row stays in its state with the user's values
    // (its key as it was); returns false. A collection without statements posts in memory only.
    bool Post();
    void Cancel();
    // Asks the delete confirmation when switched on, then runs the delete list in one transaction.
    // Returns whether the row went; a row whose delete statements were all skipped stays. A
    // collection without statements deletes in memory only.
    bool Delete();

    // --- Fields ---------------------------------------------------------------------------------
    int FieldCount() const { return int(m_fields.size()); }
    TVoField *Fields(int index) const { return m_fields[index].get(); }
    TVoField *FindField(const QString &name) const;
    // Raises EVoError when there is no such field.
    TVoField *FieldByName(const QString &name) const;
    QStringList FieldNames() const;
    // A value of any row read so far, for grids (row from 0).
    QVariant RowValue(int row, int field) const;

    // --- Events ---------------------------------------------------------------------------------
    TVoEvent<TVoQueryCollection *> BeforeOpen;
    TVoEvent<TVoQueryCollection *> AfterOpen;
    TVoEvent<TVoQueryCollection *> BeforeClose;
    TVoEvent<TVoQueryCollection *> AfterClose;
    // Before the current row changes (a move, a locate, an insert or append, a refresh, a delete),
    // once the row being edited is posted: a handler refuses the change by throwing (EVoAbort:
    // silently), and the cursor stays.
    TVoEvent<TVoQueryCollection *> BeforeScroll;
    TVoEvent<TVoQueryCollection *> AfterScroll;
    TVoEvent<TVoQueryCollection *> StateChange;
    // The current row changed as a whole (field nullptr) or in one field.
    TVoEvent<TVoQueryCollection *, TVoField *> DataChange;
    // After a new row is created: the place for default values.
    TVoEvent<TVoQueryCollection *> AfterInsert;
    TVoEvent<TVoQueryCollection *> AfterEdit;
    TVoEvent<TVoQueryCollection *> BeforePost;
    TVoEvent<TVoQueryCollection *> AfterPost;
    TVoEvent<TVoQueryCollection *> AfterCancel;
    TVoEvent<TVoQueryCollection *> BeforeDelete;
    TVoEvent<TVoQueryCollection *> AfterDelete;
    TVoEvent<TVoQueryCollection *> OnCalcFields;
    // Inside the transaction of a post (list kind skInsert or skUpdate) or delete (skDelete), before
    // its first statement: the place to lock the row that owns a rule and to check the rule. A
    // handler refuses by throwing; the transaction is rolled back and the row stays as the user left
    // it. It runs again when the write is retried after a lock conflict.
    TVoEvent<TVoQueryCollection *, int> BeforeWrite;
    TVoEvent<TVoQueryCollection *, TVoQueryProp &, bool &> VoBeforeExec;
    TVoEvent<TVoQueryCollection *, TVoQueryProp &> VoAfterExec;

    // Notifications for views of the rows (the table model); rows from 0.
    TVoEvent<> RowsAboutToReset;
    TVoEvent<> RowsReset;
    TVoEvent<int, int> RowsAboutToBeInserted;
    TVoEvent<int, int> RowsInserted;
    TVoEvent<int, int> RowsAboutToBeRemoved;
    TVoEvent<int, int> RowsRemoved;
    TVoEvent<int> RowChanged;
    TVoEvent<int> FieldDisplayChanged;

private:
    friend class TVoField;
    struct TRow {
        quint64 id = 0;
        QVariantList values;
    };
    struct TRunResult {
        int statements = 0;
        int ran = 0;
        int deleteStatements = 0;
        int deletesRan = 0;
    };

    void CheckActive() const;
    // Raises the message of the first field of the current row beyond its bounds.
    void CheckBounds() const;
    void CheckNotWriting() const;
    bool CheckBrowseMode();
    // Open, and out of insert or edit (posting what was typed).
    bool ReadyToMove();
    void RefreshIfAsked();
    void BuildFields(const QSqlRecord &record);
    TRow NewRow();
    void InsertRowAt(int position);
    // Frees the rows of a closed list, and their memory.
    void GiveBackRows();
    // Finds the walk's columns among the fields (TPaging::walkColumns); false when one is missing.
    bool WalkColumns();
    // Runs the select for the next slice of rows: overlap rows read before again, then max rows
    // (0 or less: the rest); the whole select when it cannot be sliced.
    std::unique_ptr<TVoQuery> RunSlice(int max, int overlap);
    // The data columns of a query's rows; the query is ended.
    QList<QVariantList> ReadValues(std::unique_ptr<TVoQuery> query) const;
    // Where a slice's new rows start (-1: the place was not found).
    int Aligned(const QList<QVariantList> &slice, int overlap) const;
    // Takes a slice's new rows from first on (-1: wherever, by their keys).
    QList<TRow> TakeSlice(QList<QVariantList> slice, int first, int max, int overlap);
    // The next max rows (0 or less: the rest), found again in a result others may have changed.
    QList<TRow> ReadSlice(int max);
    bool SameRow(const QVariantList &a, const QVariantList &b, bool byKey) const;
    void ResetPaging();
    int FirstPacket() const;
    // Rows to read next: at least what is needed, and more as more have been read.
    int NextPacket(int needed) const;
    int FetchRows(int max, bool notify);
    bool EnsureRow(int index, bool notify = true);
    void RememberWritten();
    void Scrolled();
    void SetCurrent(int index);
    int ActiveRow() const { return m_calcRow >= 0 ? m_calcRow : m_readRow >= 0 ? m_readRow : m_cur; }
    QVariant CellValue(int field) const;
    void WriteCell(TVoField *field, const QVariant &value);
    void Calculate(int row);
    QVariant KeyValue() const;
    int KeyIndex() const;
    bool RowMatches(int row, const QList<TVoField *> &fields, const QVariantList &values,
                    TVoLocateOptions options) const;
    int FindRowById(quint64 id) const;
    int FindRowByKey(const QVariant &key, bool fetch, bool notify = true);
    TVoSQLList StatementsFor(int listKind);
    QStringList TableColumns(const QString &table);
    bool RunList(int listKind, TRunResult *result);
    bool RunListOnce(int listKind, TRunResult *result);
    // After a write that found its row changed or gone: the edit is given up and the rows read again.
    void RecordChanged();
    // Keeps a handled failure's text and passes it on to the user installed.
    void Report(const std::exception &failure);
    void RunStatements(const TVoSQLList &list, int listKind, TRunResult *result);
    // The client side (VoQueryCollectionClient.cpp).
    void OpenInMemory();
    // The rows read are all the select's: those the filter refuses are put aside.
    void FilterRows();
    // The rows put aside back among the shown ones, where the select had them.
    QList<TRow> AllRows();
    // Applies the filter (or shows every row) on the open collection.
    void Refilter();

    QPointer<TVoSQLConnection> m_connection;
    QString m_commandText;
    TVoParams m_params;
    int m_packetRecords = -1;
    QString m_keyField;
    QString m_tableName;
    bool m_autoBuildSQL = false;
    TVoConfirmations m_confirmations = cfDelete;
    bool m_lockedRowsReadOnly = false;
    QList<QPair<QString, QMetaType::Type>> m_calcDefs;
    QHash<QString, QStringList> m_tableColumns;
    QHash<QString, TVoBounds> m_fieldBounds; // upper-case name -> bounds

    std::vector<std::unique_ptr<TVoField>> m_fields;
    QHash<QString, int> m_fieldIndex; // upper-case name -> index
    int m_dataFieldCount = 0;
    QList<TRow> m_rows;
    // Reading in slices: each a short query of its own, so no transaction stays open between them.
    struct TPaging {
        bool sliced = false;
        // Read through the keys: the order as result names (VoOrderByNames).
        bool keyed = false;
        QStringList orderNames;
        // The keys walked in the order (TVoKeySlice::walkSelect): the data columns, in the walk's
        // order and then the key, that tell it where the rows read end (WalkColumns).
        bool walked = false;
        QList<int> walkColumns;
        bool pending = false;
        // Rows of the result read so far, in the server's order.
        int position = 0;
        // The last rows read (their data columns), to find the place again in a changed result.
        QList<QVariantList> tail;
        // Keys of the rows this collection wrote since it was opened: already among the rows.
        QSet<QString> written;
    } m_paging;
    quint64 m_nextRowId = 1;
    int m_cur = -1;
    int m_calcRow = -1;
    bool m_eof = true;
    bool m_bof = true;
    TVoDataSetState m_state = dsInactive;
    QVariantList m_oldValues;
    // While a post or delete runs its statements; a refresh asked for meanwhile waits for the end.
    bool m_writing = false;
    QString m_lastError;
    bool m_refreshPending = false;

    // What was read from the texts last opened, kept while they stay the same: a detail re-opened
    // for every row of its master neither parses its select nor rebuilds its fields again.
    struct TReadPlan {
        bool known = false;
        QString command;
        bool sliceable = false;
        // The text run last, its parse, and the types of the values last bound to its parameters.
        QString text;
        TVoParsedSQL parsed;
        QList<int> paramTypes;
    } m_plan;
    // What the fields were built from: the text run, the connection and the parameters' types; the
    // same again yields the same columns. Cleared whenever the fields are built otherwise.
    struct TFieldShape {
        QString text;
        const TVoSQLConnection *connection = nullptr;
        QList<int> paramTypes;
        bool operator==(const TFieldShape &other) const {
            return connection == other.connection && paramTypes == other.paramTypes && text == other.text;
        }
    } m_fieldShape;

    QList<QPair<QString, QMetaType::Type>> m_fieldDefs;
    TVoKeySlice m_keySlice;
    struct TNarrowing {
        QString field;
        QString text;
    } m_narrowing;
    // The rows the filter refuses, and the order of all the rows read, to show them again.
    struct TRowFilterState {
        TVoRowFilter predicate;
        QList<quint64> order;
        QHash<quint64, TRow> hidden;
    } m_rowFilter;
    int m_readRow = -1;
};

// A new key for a table from the server's counters (PYSETGETID), the table name upper-cased.
int VoNewId(const QString &table, TVoSQLConnection *connection = nullptr);
// The routines the windows call on a collection by these names.
void RebuildParamsFromSQL(TVoQueryCollection *collection);
void SetParamNull(TVoQueryCollection *collection, const QString &name, QMetaType::Type type = QMetaType::Int);
