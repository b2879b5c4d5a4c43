#include "VoQueryCollection.h"

#include "VoConnection.h"
#include "VoDates.h"
#include "VoDisplayFormat.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"
#include "VoTransaction.h"

#include <QScopeGuard>
#include <QSqlField>
#include <QSqlRecord>
#include <cmath>

namespace {

const QString kGenId = QStringLiteral("VOGENID");
const QString kCurrId = QStringLiteral("VOCURRID");

struct TToken {
    QString text;
    int depth = 0;
    bool quoted = false;
    qsizetype start = 0;
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The words, quoted identifiers and signs of a statement with their parenthesis depth; literals
// and comments are left out. Stops after limit tokens (negative: no limit).
QList<TToken> Tokens(const QString &sql, int limit) {
    QList<TToken> out;
    int depth = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n && (limit < 0 || out.size() < limit)) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            QString text;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        text += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += sql[j++];
            }
            if (c == QLatin1Char('"'))
                out.append({text, depth, true, i});
            i = j + 1;
        } else if (c == QLatin1Char('(')) {
            out.append({QStringLiteral("("), depth, false, i});
            ++depth;
            ++i;
        } else if (c == QLatin1Char(')')) {
            --depth;
            out.append({QStringLiteral(")"), depth, false, i});
            ++i;
        } else if (IsWordChar(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(sql[j]))
                ++j;
            out.append({sql.mid(i, j - i), depth, false, i});
            i = j;
        } else {
            out.append({QString(c), depth, false, i});
            ++i;
        }
    }
    return out;
}

bool IsWord(const QList<TToken> &t, int i, const char *word) {
    return i < t.size() && !t[i].quoted && t[i].text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString TableToken(const QList<TToken> &t, int i) {
    if (i >= t.size() || (!t[i].quoted && !IsWordChar(t[i].text.at(0))))
        return QString();
    return t[i].quoted ? t[i].text : t[i].text.toUpper();
}

QVariant TypedNull(QMetaType::Type type) {
    return type == QMetaType::UnknownType ? QVariant() : QVariant(QMetaType(type));
}

// A value in the type of a field; what cannot be converted is refused with the field's name.
QVariant ToFieldType(const QVariant &value, QMetaType::Type type, const QString &fieldName) {
    if (value.isNull() || !value.isValid())
        return TypedNull(type);
    if (type == QMetaType::UnknownType || value.typeId() == type)
        return value;
    const auto refuse = [&]() -> QVariant {
        throw EVoError(QStringLiteral("Valore non valido per il campo \"%1\".").arg(fieldName));
    };
    if (value.typeId() == QMetaType::QString && VoIsNumericType(type)) {
        double d = 0;
        if (!VoTextToFloat(value.toString(), &d))
            return refuse();
        QVariant v(d);
        if (type != QMetaType::Double && type != QMetaType::Float) {
            if (d != std::floor(d))
                return refuse();
            v = QVariant(qint64(d));
        }
        v.convert(QMetaType(type));
        return v;
    }
    if (type == QMetaType::QDate && value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    if (type == QMetaType::QDateTime && value.typeId() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    QVariant v = value;
    if (!v.convert(QMetaType(type)))
        return refuse();
    return v;
}

bool SameValue(const QVariant &have, const QVariant &want, TVoLocateOptions options) {
    if (have.isNull() || want.isNull())
        return have.isNull() && want.isNull();
    const auto isText = [](const QVariant &v) {
        return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
    };
    if (isText(have) || isText(want)) {
        const QString a = VoVariantToText(have);
        const QString b = VoVariantToText(want);
        const Qt::CaseSensitivity cs =
            (options & loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return (options & loPartialKey) ? a.startsWith(b, cs) : a.compare(b, cs) == 0;
    }
    const bool haveDate = have.typeId() == QMetaType::QDate || have.typeId() == QMetaType::QDateTime;
    const bool wantDate = want.typeId() == QMetaType::QDate || want.typeId() == QMetaType::QDateTime;
    if (haveDate || wantDate)
        return VariantToDays(have) == VariantToDays(want);
    if (VoIsNumber(have) && VoIsNumber(want))
        return have.toDouble() == want.toDouble();
    return have == want;
}

QString Quoted(const QString &identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

} // namespace

// --- Free routines ----------------------------------------------------------------------------------

int VoNewId(const QString &table, TVoSQLConnection *connection) {
    const QVariant id = VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:sTable,1);"),
                                      {{QStringLiteral("sTable"), table.toUpper()}}, connection);
    if (!id.isValid() || id.isNull())
        throw EVoError(
            QStringLiteral("Impossibile ottenere un nuovo identificativo per la tabella %1.").arg(table));
    return id.toInt();
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
    const QList<TToken> t = Tokens(select, -1);
    for (int i = 0; i < t.size(); ++i)
        if (t[i].depth == 0 && IsWord(t, i, "FROM"))
            return TableToken(t, i + 1);
    return QString();
}

QString VoReplaceOrderBy(const QString &select, const QString &orderBy) {
    const QList<TToken> t = Tokens(select, -1);
    qsizetype orderAt = -1, tailAt = -1;
    for (int i = 0; i + 1 < t.size(); ++i)
        if (t[i].depth == 0 && IsWord(t, i, "ORDER") && IsWord(t, i + 1, "BY"))
            orderAt = t[i].start;
    // What may follow an ORDER BY and stays: a row limit, a lock, a plan.
    for (int i = 0; i < t.size() && tailAt < 0; ++i)
        if (t[i].depth == 0 && t[i].start > orderAt &&
            (IsWord(t, i, "ROWS") || IsWord(t, i, "FOR") || IsWord(t, i, "PLAN") || IsWord(t, i, "OFFSET") ||
             IsWord(t, i, "FETCH")))
            tailAt = t[i].start;
    const auto statement = [](QString part) {
        part = part.trimmed();
        while (part.endsWith(QLatin1Char(';')))
            part = part.chopped(1).trimmed();
        return part;
    };
    const QString head = statement(select.left(orderAt >= 0  ? orderAt
                                               : tailAt >= 0 ? tailAt
                                                             : select.size()));
    const QString tail = tailAt >= 0 ? statement(select.mid(tailAt)) : QString();
    return head + QStringLiteral(" ORDER BY ") + orderBy +
           (tail.isEmpty() ? QString() : QLatin1Char(' ') + tail);
}

void RebuildParamsFromSQL(TVoQueryCollection *collection) {
    collection->RebuildParamsFromSQL();
}

void SetParamNull(TVoQueryCollection *collection, const QString &name, QMetaType::Type type) {
    collection->SetParamNull(name, type);
}

// --- TVoFieldValue ----------------------------------------------------------------------------------

int TVoFieldValue::IndexOf(const QString &name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TVoFieldValue::Add(const QString &name, const QVariant &value) {
    const int i = IndexOf(name);
    if (i >= 0) {
        m_values[i] = value;
        return;
    }
    m_names << name;
    m_values << value;
}

void TVoFieldValue::AddNull(const QString &name, QMetaType::Type type) {
    Add(name, VoNull(type));
}

void TVoFieldValue::AddDate(const QString &name, double days) {
    Add(name, DaysToDateParam(days));
}

bool TVoFieldValue::Contains(const QString &name) const {
    return IndexOf(name) >= 0;
}

QVariant TVoFieldValue::Value(const QString &name) const {
    const int i = IndexOf(name);
    return i < 0 ? QVariant() : m_values[i];
}

void TVoFieldValue::Remove(const QString &name) {
    const int i = IndexOf(name);
    if (i >= 0) {
        m_names.removeAt(i);
        m_values.removeAt(i);
    }
}

void TVoFieldValue::Clear() {
    m_names.clear();
    m_values.clear();
}

// --- Statements -------------------------------------------------------------------------------------

TVoSQLStatement::TVoSQLStatement(const QString &sql) : m_sql(sql), m_params(VoParamNames(sql)) {
    m_table = VoStatementTable(sql, &m_kind);
}

bool TVoSQLStatement::UsesParam(const QString &name) const {
    return m_params.contains(name, Qt::CaseInsensitive);
}

QStringList TVoSQLList::Texts() const {
    QStringList out;
    for (const TVoSQLStatement &s : m_items)
        out << s.SQL();
    return out;
}

// --- Parameters -------------------------------------------------------------------------------------

TVoParam::TVoParam(const QString &name, QMetaType::Type type) : m_name(name), m_type(type) {}

void TVoParam::SetValue(const QVariant &value) {
    m_value = value.isNull() ? TypedNull(m_type) : value;
    m_bound = true;
}

void TVoParam::SetNull(QMetaType::Type type) {
    m_type = type;
    m_value = TypedNull(type);
    m_bound = true;
}

void TVoParam::SetAsDate(double days) {
    SetValue(DaysToDateParam(days));
}

void TVoParam::Clear() {
    m_value = QVariant();
    m_bound = false;
}

int TVoParam::AsInteger(int defaultValue) const {
    return m_value.isNull() ? defaultValue : m_value.toInt();
}

double TVoParam::AsFloat(double defaultValue) const {
    return m_value.isNull() ? defaultValue : m_value.toDouble();
}

QString TVoParam::AsString() const {
    return VoVariantToText(m_value);
}

double TVoParam::AsDate() const {
    return VariantToDays(m_value);
}

TVoParam *TVoParams::FindParam(const QString &name) const {
    for (const auto &p : m_items)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

TVoParam &TVoParams::ParamByName(const QString &name) const {
    if (TVoParam *p = FindParam(name))
        return *p;
    throw EVoError(QStringLiteral("Parametro \"%1\" non trovato.").arg(name));
}

TVoParam &TVoParams::CreateParam(const QString &name, QMetaType::Type type) {
    if (TVoParam *p = FindParam(name)) {
        if (type != QMetaType::UnknownType)
            p->SetDataType(type);
        return *p;
    }
    m_items.push_back(std::make_unique<TVoParam>(name, type));
    return *m_items.back();
}

QStringList TVoParams::Names() const {
    QStringList out;
    for (const auto &p : m_items)
        out << p->Name();
    return out;
}

void TVoParams::RebuildFrom(const QString &sql) {
    std::vector<std::unique_ptr<TVoParam>> rebuilt;
    for (const QString &name : VoParamNames(sql)) {
        std::unique_ptr<TVoParam> kept;
        for (auto &p : m_items)
            if (p && p->Name().compare(name, Qt::CaseInsensitive) == 0)
                kept = std::move(p);
        rebuilt.push_back(kept ? std::move(kept) : std::make_unique<TVoParam>(name));
    }
    m_items = std::move(rebuilt);
}

// --- TVoField ---------------------------------------------------------------------------------------

TVoField::TVoField(TVoQueryCollection *owner, const QString &name, QMetaType::Type type, bool calculated)
    : m_owner(owner), m_name(name), m_type(type), m_calculated(calculated) {}

void TVoField::SetDisplayFormat(const QString &format) {
    m_displayFormat = format;
    m_owner->FieldDisplayChanged(m_index);
}

void TVoField::SetDisplayLabel(const QString &label) {
    m_displayLabel = label;
    m_owner->FieldDisplayChanged(m_index);
}

QVariant TVoField::Value() const {
    return m_owner->CellValue(m_index);
}

QVariant TVoField::OldValue() const {
    if (m_owner->m_state == dsEdit && m_index < m_owner->m_oldValues.size())
        return m_owner->m_oldValues[m_index];
    if (m_owner->m_state == dsInsert)
        return TypedNull(m_type);
    return Value();
}

int TVoField::AsInteger(int defaultValue) const {
    const QVariant v = Value();
    bool ok = false;
    const int r = v.toInt(&ok);
    return v.isNull() || !ok ? defaultValue : r;
}

qint64 TVoField::AsLargeInt(qint64 defaultValue) const {
    const QVariant v = Value();
    bool ok = false;
    const qint64 r = v.toLongLong(&ok);
    return v.isNull() || !ok ? defaultValue : r;
}

double TVoField::AsFloat(double defaultValue) const {
    const QVariant v = Value();
    bool ok = false;
    const double r = v.toDouble(&ok);
    return v.isNull() || !ok ? defaultValue : r;
}

QString TVoField::AsString() const {
    const QVariant v = Value();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return v.isNull() ? QString() : VoFloatToText(v.toDouble());
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime)
        return VoDisplayText(v);
    return VoVariantToText(v);
}

double TVoField::AsDate() const {
    return VariantToDays(Value());
}

bool TVoField::AsBoolean() const {
    const QVariant v = Value();
    return !v.isNull() && v.toInt() != 0;
}

QString TVoField::DisplayText() const {
    return VoDisplayText(Value(), m_displayFormat);
}

void TVoField::SetValue(const QVariant &value) {
    m_owner->WriteCell(this, value);
}

void TVoField::SetAsString(const QString &value) {
    if (value.trimmed().isEmpty() && m_type != QMetaType::QString && m_type != QMetaType::QByteArray) {
        SetValue(QVariant());
        return;
    }
    if (m_type == QMetaType::QDate || m_type == QMetaType::QDateTime) {
        const double days = ParseDays(value);
        if (days < 0)
            throw EVoError(QStringLiteral("Valore non valido per il campo \"%1\".").arg(m_name));
        SetAsDate(days);
        return;
    }
    SetValue(value);
}

void TVoField::SetAsDate(double days) {
    if (days < 0) {
        SetValue(QVariant());
        return;
    }
    if (m_type == QMetaType::QDateTime)
        SetValue(DaysToDateTime(days));
    else if (m_type == QMetaType::QDate)
        SetValue(DaysToDate(days));
    else
        SetValue(days);
}

// --- TVoQueryCollection: set-up ---------------------------------------------------------------------

TVoQueryCollection::TVoQueryCollection(QObject *parent) : QObject(parent) {}

TVoQueryCollection::~TVoQueryCollection() = default;

TVoSQLConnection *TVoQueryCollection::Connection() const {
    return m_connection ? m_connection : qqoVoGlobConn;
}

void TVoQueryCollection::SetCommandText(const QString &sql) {
    m_commandText = sql;
    m_params.RebuildFrom(sql);
}

void TVoQueryCollection::SetParam(const QString &name, const QVariant &value) {
    m_params.CreateParam(name).SetValue(value);
}

void TVoQueryCollection::SetParamNull(const QString &name, QMetaType::Type type) {
    m_params.CreateParam(name).SetNull(type);
}

QString TVoQueryCollection::KeyField() const {
    if (!m_keyField.isEmpty())
        return m_keyField;
    return m_dataFieldCount > 0 ? m_fields[0]->FieldName() : QString();
}

QString TVoQueryCollection::TableName() const {
    return m_tableName.isEmpty() ? VoMainTable(m_commandText) : m_tableName.toUpper();
}

void TVoQueryCollection::AddCalcField(const QString &name, QMetaType::Type type) {
    if (Active())
        throw EVoError(QStringLiteral("Il campo calcolato \"%1\" va aggiunto a dataset chiuso.").arg(name));
    m_calcDefs.append({name, type});
}

// --- Opening ----------------------------------------------------------------------------------------

void TVoQueryCollection::CheckActive() const {
    if (!Active())
        throw EVoError(QStringLiteral("Operazione non possibile: il dataset è chiuso."));
}

void TVoQueryCollection::BuildFields(const QSqlRecord &record) {
    // Fields that keep their name keep their object, so display settings survive a reopening.
    std::vector<std::unique_ptr<TVoField>> old = std::move(m_fields);
    m_fields.clear();
    m_fieldIndex.clear();
    const auto take = [&](const QString &name, QMetaType::Type type, bool calculated) {
        for (auto &f : old)
            if (f && f->m_calculated == calculated && f->m_name.compare(name, Qt::CaseInsensitive) == 0) {
                std::unique_ptr<TVoField> kept = std::move(f);
                kept->m_name = name;
                kept->m_type = type;
                return kept;
            }
        return std::unique_ptr<TVoField>(new TVoField(this, name, type, calculated));
    };
    const auto add = [&](std::unique_ptr<TVoField> field) {
        field->m_index = int(m_fields.size());
        m_fieldIndex.insert(field->m_name.toUpper(), field->m_index);
        m_fields.push_back(std::move(field));
    };
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField source = record.field(i);
        QString name = source.name();
        // Two columns of one name (t1.*, t2.*) stay apart as NAME and NAME_1.
        for (int n = 1; m_fieldIndex.contains(name.toUpper()); ++n)
            name = source.name() + QLatin1Char('_') + QString::number(n);
        auto field = take(name, QMetaType::Type(source.metaType().id()), false);
        field->m_origin = source.tableName().trimmed();
        field->m_required = source.requiredStatus() == QSqlField::Required;
        add(std::move(field));
    }
    m_dataFieldCount = int(m_fields.size());
    for (const auto &def : m_calcDefs)
        add(take(def.first, def.second, true));
}

TVoQueryCollection::TRow TVoQueryCollection::NewRow() {
    TRow row;
    row.id = m_nextRowId++;
    row.values.reserve(int(m_fields.size()));
    for (const auto &f : m_fields)
        row.values.append(TypedNull(f->m_type));
    return row;
}

std::unique_ptr<TVoQuery> TVoQueryCollection::OpenCursor() {
    auto cursor = std::make_unique<TVoQuery>(m_commandText, Connection());
    for (const QString &name : VoParamNames(m_commandText)) {
        const TVoParam *p = m_params.FindParam(name);
        if (!p || !p->Bound())
            throw EVoError(QStringLiteral("Parametro \"%1\" senza valore nell'istruzione SQL.").arg(name));
        cursor->SetParam(name, p->Value());
    }
    cursor->Open();
    return cursor;
}

int TVoQueryCollection::FirstPacket() const {
    // A cursor opened inside the caller's transaction would die with it: read everything now.
    const bool all = m_packetRecords <= 0 || (Connection() && Connection()->InTransaction());
    return all ? -1 : m_packetRecords;
}

void TVoQueryCollection::Open() {
    if (Active())
        return;
    BeforeOpen(this);
    auto cursor = OpenCursor();

    RowsAboutToReset();
    BuildFields(cursor->Record());
    m_rows.clear();
    m_oldValues.clear();
    m_cursor = std::move(cursor);
    m_state = dsBrowse;
    try {
        FetchRows(FirstPacket(), false);
    } catch (...) {
        m_cursor.reset();
        m_rows.clear();
        m_state = dsInactive;
        RowsReset();
        throw;
    }
    m_cur = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    RowsReset();
    StateChange(this);
    DataChange(this, nullptr);
    AfterOpen(this);
    AfterScroll(this);
}

void TVoQueryCollection::Close() {
    if (!Active())
        return;
    CheckNotWriting();
    BeforeClose(this);
    RowsAboutToReset();
    m_cursor.reset();
    m_rows.clear();
    m_oldValues.clear();
    m_cur = -1;
    m_eof = m_bof = true;
    m_state = dsInactive;
    RowsReset();
    StateChange(this);
    DataChange(this, nullptr);
    AfterClose(this);
}

void TVoQueryCollection::Refresh() {
    // Asked for by a statement's event while the row is being saved: done once it is saved.
    if (m_writing) {
        m_refreshPending = true;
        return;
    }
    if (!Active()) {
        Open();
        return;
    }
    if (!CheckBrowseMode())
        return;
    const QVariant key = KeyValue();
    const int position = m_cur;
    auto cursor = OpenCursor();

    // Views are told once, at the end: the rows read meanwhile are part of the new set.
    RowsAboutToReset();
    m_cursor = std::move(cursor);
    m_rows.clear();
    int found = -1;
    try {
        FetchRows(FirstPacket(), false);
        found = FindRowByKey(key, true, false);
        if (found < 0)
            EnsureRow(position, false);
    } catch (...) {
        m_cursor.reset();
        m_cur = qMin(m_cur, int(m_rows.size()) - 1);
        RowsReset();
        throw;
    }
    m_cur = found >= 0 ? found : qMin(position, int(m_rows.size()) - 1);
    m_bof = m_cur <= 0;
    m_eof = m_rows.isEmpty();
    RowsReset();
    DataChange(this, nullptr);
    if (found < 0)
        AfterScroll(this);
}

int TVoQueryCollection::FetchRows(int max, bool notify) {
    if (!m_cursor)
        return 0;
    QList<TRow> batch;
    const int total = int(m_fields.size());
    try {
        while (!m_cursor->Eof() && (max <= 0 || batch.size() < max)) {
            TRow row;
            row.id = m_nextRowId++;
            row.values.reserve(total);
            for (int i = 0; i < m_dataFieldCount; ++i)
                row.values.append(m_cursor->Value(i));
            for (int i = m_dataFieldCount; i < total; ++i)
                row.values.append(TypedNull(m_fields[i]->m_type));
            batch.append(std::move(row));
            m_cursor->Next();
        }
    } catch (...) {
        m_cursor.reset();
        throw;
    }
    // Finishing the select also ends the transaction it was read in.
    if (m_cursor->Eof())
        m_cursor.reset();
    if (batch.isEmpty())
        return 0;
    const int first = int(m_rows.size());
    const int last = first + int(batch.size()) - 1;
    if (notify)
        RowsAboutToBeInserted(first, last);
    m_rows.append(std::move(batch));
    if (OnCalcFields.Assigned())
        for (int r = first; r <= last; ++r)
            Calculate(r);
    if (notify)
        RowsInserted(first, last);
    return last - first + 1;
}

int TVoQueryCollection::FetchMore() {
    return FetchRows(m_packetRecords, true);
}

void TVoQueryCollection::FetchAll() {
    while (m_cursor)
        FetchRows(-1, true);
}

bool TVoQueryCollection::EnsureRow(int index, bool notify) {
    while (index >= m_rows.size() && m_cursor)
        FetchRows(m_packetRecords, notify);
    return index >= 0 && index < m_rows.size();
}

// --- Moving -----------------------------------------------------------------------------------------

void TVoQueryCollection::CheckNotWriting() const {
    if (m_writing)
        throw EVoError(QStringLiteral("Operazione non possibile mentre il record viene salvato."));
}

void TVoQueryCollection::RefreshIfAsked() {
    if (!m_refreshPending)
        return;
    m_refreshPending = false;
    try {
        Refresh();
    } catch (const std::exception &e) {
        VoShowException(e);
    }
}

bool TVoQueryCollection::ReadyToMove() {
    CheckActive();
    return CheckBrowseMode();
}

bool TVoQueryCollection::CheckBrowseMode() {
    CheckNotWriting();
    if (m_state == dsInsert || m_state == dsEdit)
        return Post();
    return true;
}

void TVoQueryCollection::Scrolled() {
    DataChange(this, nullptr);
    AfterScroll(this);
}

void TVoQueryCollection::SetCurrent(int index) {
    m_cur = index;
    m_bof = m_eof = false;
    Scrolled();
}

void TVoQueryCollection::First() {
    if (!ReadyToMove())
        return;
    m_cur = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    Scrolled();
}

void TVoQueryCollection::Last() {
    if (!ReadyToMove())
        return;
    FetchAll();
    m_cur = int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.isEmpty();
    Scrolled();
}

void TVoQueryCollection::Next() {
    if (!ReadyToMove())
        return;
    if (EnsureRow(m_cur + 1))
        SetCurrent(m_cur + 1);
    else
        m_eof = true;
}

void TVoQueryCollection::Prior() {
    if (!ReadyToMove())
        return;
    if (m_cur > 0)
        SetCurrent(m_cur - 1);
    else
        m_bof = true;
}

int TVoQueryCollection::MoveBy(int distance) {
    if (!ReadyToMove() || distance == 0 || m_rows.isEmpty())
        return 0;
    int target = m_cur + distance;
    if (distance > 0) {
        while (target > m_cur && !EnsureRow(target))
            target = int(m_rows.size()) - 1;
    }
    target = qBound(0, target, int(m_rows.size()) - 1);
    const int moved = target - m_cur;
    if (moved != 0)
        SetCurrent(target);
    if (moved != distance)
        (distance > 0 ? m_eof : m_bof) = true;
    return moved;
}

void TVoQueryCollection::SetRecNo(int recNo) {
    if (!ReadyToMove())
        return;
    if (!EnsureRow(recNo - 1))
        recNo = int(m_rows.size());
    if (recNo >= 1 && recNo - 1 != m_cur)
        SetCurrent(recNo - 1);
}

int TVoQueryCollection::RecordCount() {
    FetchAll();
    return int(m_rows.size());
}

bool TVoQueryCollection::RowMatches(int row, const QList<TVoField *> &fields, const QVariantList &values,
                                    TVoLocateOptions options) const {
    for (int i = 0; i < fields.size(); ++i)
        if (!SameValue(m_rows[row].values[fields[i]->m_index], values[i], options))
            return false;
    return true;
}

bool TVoQueryCollection::Locate(const QString &fields, const QVariantList &values, TVoLocateOptions options) {
    CheckActive();
    QList<TVoField *> list;
    for (const QString &name : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        list << FieldByName(name.trimmed());
    if (list.size() != values.size())
        throw EVoError(
            QStringLiteral("Ricerca con %1 campi e %2 valori.").arg(list.size()).arg(values.size()));
    if (!CheckBrowseMode())
        return false;
    for (int r = 0; EnsureRow(r); ++r)
        if (RowMatches(r, list, values, options)) {
            SetCurrent(r);
            return true;
        }
    return false;
}

int TVoQueryCollection::FindRowById(quint64 id) const {
    for (int r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].id == id)
            return r;
    return -1;
}

int TVoQueryCollection::FindRowByKey(const QVariant &key, bool fetch, bool notify) {
    const int k = KeyIndex();
    if (key.isNull() || k < 0)
        return -1;
    for (int r = 0; fetch ? EnsureRow(r, notify) : r < m_rows.size(); ++r)
        if (SameValue(m_rows[r].values[k], key, loNone))
            return r;
    return -1;
}

TVoBookmark TVoQueryCollection::GetBookmark() const {
    if (m_cur < 0)
        return {};
    return {m_rows[m_cur].id, KeyValue()};
}

bool TVoQueryCollection::BookmarkValid(const TVoBookmark &bookmark) const {
    if (bookmark.IsEmpty() || !Active())
        return false;
    if (FindRowById(bookmark.row) >= 0)
        return true;
    const int k = KeyIndex();
    if (bookmark.key.isNull() || k < 0)
        return false;
    for (const TRow &row : m_rows)
        if (SameValue(row.values[k], bookmark.key, loNone))
            return true;
    return false;
}

bool TVoQueryCollection::GotoBookmark(const TVoBookmark &bookmark) {
    if (bookmark.IsEmpty() || !Active() || !CheckBrowseMode())
        return false;
    int r = FindRowById(bookmark.row);
    if (r < 0)
        r = FindRowByKey(bookmark.key, true);
    if (r < 0)
        return false;
    SetCurrent(r);
    return true;
}

// --- Fields -----------------------------------------------------------------------------------------

TVoField *TVoQueryCollection::FindField(const QString &name) const {
    const auto it = m_fieldIndex.constFind(name.toUpper());
    return it == m_fieldIndex.constEnd() ? nullptr : m_fields[*it].get();
}

TVoField *TVoQueryCollection::FieldByName(const QString &name) const {
    if (TVoField *f = FindField(name))
        return f;
    throw EVoError(QStringLiteral("Campo \"%1\" non trovato.").arg(name));
}

QStringList TVoQueryCollection::FieldNames() const {
    QStringList out;
    for (const auto &f : m_fields)
        out << f->m_name;
    return out;
}

QVariant TVoQueryCollection::RowValue(int row, int field) const {
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_rows[row].values.size())
        return QVariant();
    return m_rows[row].values[field];
}

QVariant TVoQueryCollection::CellValue(int field) const {
    const int row = ActiveRow();
    if (row < 0 || row >= m_rows.size())
        return TypedNull(m_fields[field]->m_type);
    return m_rows[row].values[field];
}

void TVoQueryCollection::WriteCell(TVoField *field, const QVariant &value) {
    const bool calculating = m_calcRow >= 0;
    if (calculating && !field->m_calculated)
        throw EVoError(QStringLiteral("Il campo \"%1\" non è calcolato.").arg(field->m_name));
    if (!calculating && field->m_calculated)
        throw EVoError(
            QStringLiteral("Il campo calcolato \"%1\" si scrive solo nel suo calcolo.").arg(field->m_name));
    if (!calculating && m_state != dsInsert && m_state != dsEdit)
        throw EVoError(QStringLiteral("Il dataset non è in inserimento o modifica."));
    const int row = ActiveRow();
    m_rows[row].values[field->m_index] = ToFieldType(value, field->m_type, field->m_name);
    if (calculating)
        return;
    if (!field->m_calculated)
        Calculate(row);
    RowChanged(row);
    DataChange(this, field);
}

void TVoQueryCollection::Calculate(int row) {
    if (!OnCalcFields.Assigned() || m_calcDefs.isEmpty())
        return;
    const int previous = m_calcRow;
    m_calcRow = row;
    try {
        OnCalcFields(this);
    } catch (...) {
        m_calcRow = previous;
        throw;
    }
    m_calcRow = previous;
}

int TVoQueryCollection::KeyIndex() const {
    const TVoField *f = FindField(KeyField());
    return f ? f->m_index : -1;
}

QVariant TVoQueryCollection::KeyValue() const {
    const int k = KeyIndex();
    if (k < 0 || m_cur < 0 || m_cur >= m_rows.size())
        return VoNull(QMetaType::Int);
    return m_rows[m_cur].values[k];
}

// --- Editing ----------------------------------------------------------------------------------------

void TVoQueryCollection::Insert() {
    if (!ReadyToMove())
        return;
    InsertRowAt(m_rows.isEmpty() ? 0 : qMax(m_cur, 0));
}

void TVoQueryCollection::Append() {
    if (!ReadyToMove())
        return;
    FetchAll();
    InsertRowAt(int(m_rows.size()));
}

void TVoQueryCollection::InsertRowAt(int position) {
    RowsAboutToBeInserted(position, position);
    m_rows.insert(position, NewRow());
    RowsInserted(position, position);
    m_cur = position;
    m_bof = m_eof = false;
    m_oldValues = m_rows[position].values;
    m_state = dsInsert;
    Calculate(position);
    StateChange(this);
    DataChange(this, nullptr);
    AfterInsert(this);
    AfterScroll(this);
}

void TVoQueryCollection::Edit() {
    CheckActive();
    CheckNotWriting();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (m_rows.isEmpty()) {
        Insert();
        return;
    }
    m_oldValues = m_rows[m_cur].values;
    m_state = dsEdit;
    StateChange(this);
    AfterEdit(this);
}

void TVoQueryCollection::Cancel() {
    CheckNotWriting();
    if (m_state == dsInsert) {
        const int position = m_cur;
        RowsAboutToBeRemoved(position, position);
        m_rows.removeAt(position);
        RowsRemoved(position, position);
        m_cur = qMin(position, int(m_rows.size()) - 1);
        m_bof = m_cur <= 0;
        m_eof = m_rows.isEmpty();
        m_oldValues.clear();
        m_state = dsBrowse;
        StateChange(this);
        DataChange(this, nullptr);
        AfterCancel(this);
        AfterScroll(this);
    } else if (m_state == dsEdit) {
        m_rows[m_cur].values = m_oldValues;
        m_oldValues.clear();
        m_state = dsBrowse;
        RowChanged(m_cur);
        StateChange(this);
        DataChange(this, nullptr);
        AfterCancel(this);
    }
}

bool TVoQueryCollection::Post() {
    CheckNotWriting();
    if (m_state != dsInsert && m_state != dsEdit)
        return true;
    try {
        BeforePost(this);
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    TRunResult result;
    if (!RunList(m_state == dsInsert ? skInsert : skUpdate, &result))
        return false;
    m_oldValues.clear();
    m_state = dsBrowse;
    Calculate(m_cur);
    RowChanged(m_cur);
    RefreshIfAsked();
    StateChange(this);
    DataChange(this, nullptr);
    try {
        AfterPost(this);
    } catch (const std::exception &e) {
        // The row is saved; what went wrong afterwards is only reported.
        VoShowException(e);
    }
    return true;
}

bool TVoQueryCollection::Delete() {
    CheckActive();
    CheckNotWriting();
    if (m_state == dsInsert) {
        Cancel();
        return true;
    }
    if (m_state == dsEdit)
        Cancel();
    if (m_rows.isEmpty() || m_cur < 0)
        return false;
    if ((m_confirmations & cfDelete) &&
        VoMessageDlg(QStringLiteral("Cancellare il record?"), mtConfirmation, mbYesNo, 0, mbNo) != mrYes)
        return false;
    try {
        BeforeDelete(this);
    } catch (const std::exception &e) {
        VoShowException(e);
        return false;
    }
    TRunResult result;
    if (!RunList(skDelete, &result))
        return false;
    // Nothing was written, or every delete was skipped: the row is still in the database.
    if (result.statements > 0 && (result.ran == 0 || (result.deleteStatements > 0 && result.deletesRan == 0)))
        return false;
    const int position = m_cur;
    RowsAboutToBeRemoved(position, position);
    m_rows.removeAt(position);
    RowsRemoved(position, position);
    if (position >= m_rows.size())
        EnsureRow(position);
    m_cur = qMin(position, int(m_rows.size()) - 1);
    m_bof = m_cur <= 0;
    m_eof = m_rows.isEmpty();
    RefreshIfAsked();
    DataChange(this, nullptr);
    AfterDelete(this);
    AfterScroll(this);
    return true;
}

// --- Statements -------------------------------------------------------------------------------------

QStringList TVoQueryCollection::TableColumns(const QString &table) {
    const auto it = m_tableColumns.constFind(table);
    if (it != m_tableColumns.constEnd())
        return *it;
    QStringList columns;
    TVoQuery q(QStringLiteral("SELECT TRIM(RF.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS RF "
                              "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                              "WHERE RF.RDB$RELATION_NAME = :sTable AND F.RDB$COMPUTED_BLR IS NULL"),
               Connection());
    q.SetParam(QStringLiteral("sTable"), table);
    for (q.Open(); !q.Eof(); q.Next())
        columns << q.AsString(QStringLiteral("TRIM"));
    m_tableColumns.insert(table, columns);
    return columns;
}

TVoSQLList TVoQueryCollection::StatementsFor(int listKind) {
    const TVoSQLList &own = listKind == skInsert ? SQLInsert : listKind == skUpdate ? SQLUpdate : SQLDelete;
    if (!own.IsEmpty() || !m_autoBuildSQL)
        return own;
    const QString table = TableName();
    const QStringList columns = table.isEmpty() ? QStringList() : TableColumns(table);
    const QString key = KeyField();
    if (columns.isEmpty() || !columns.contains(key, Qt::CaseInsensitive))
        throw EVoError(
            QStringLiteral("Impossibile costruire le istruzioni di aggiornamento: la tabella \"%1\" o la sua "
                           "chiave \"%2\" non si trovano nel testo della query.")
                .arg(table, key));
    // The columns the select reads from the main table itself, expressions and joined tables left out.
    QStringList ownColumns;
    for (int i = 0; i < m_dataFieldCount; ++i) {
        const TVoField *f = m_fields[i].get();
        if (f->m_name.compare(key, Qt::CaseInsensitive) != 0 &&
            columns.contains(f->m_name, Qt::CaseInsensitive) &&
            f->m_origin.compare(table, Qt::CaseInsensitive) == 0)
            ownColumns << f->m_name.toUpper();
    }
    TVoSQLList built;
    if (listKind == skInsert) {
        // Empty columns are left to the table's defaults.
        QStringList names{Quoted(key.toUpper())}, values{QLatin1Char(':') + kGenId};
        for (const QString &c : ownColumns)
            if (!FieldByName(c)->IsNull()) {
                names << Quoted(c);
                values << QLatin1Char(':') + c;
            }
        built.Add(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(Quoted(table), names.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))));
    } else if (listKind == skUpdate) {
        // Only what the user changed, so that columns written by others meanwhile stay theirs.
        QStringList sets;
        for (const QString &c : ownColumns) {
            const TVoField *f = FieldByName(c);
            if (f->Value() != f->OldValue())
                sets << QStringLiteral("%1 = :%2").arg(Quoted(c), c);
        }
        if (!sets.isEmpty())
            built.Add(
                QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :%4")
                    .arg(Quoted(table), sets.join(QStringLiteral(", ")), Quoted(key.toUpper()), kCurrId));
    } else {
        built.Add(QStringLiteral("DELETE FROM %1 WHERE %2 = :%3")
                      .arg(Quoted(table), Quoted(key.toUpper()), kCurrId));
    }
    return built;
}

bool TVoQueryCollection::RunList(int listKind, TRunResult *result) {
    const int k = KeyIndex();
    const QVariant keyBefore = k >= 0 && m_cur >= 0 ? m_rows[m_cur].values[k] : QVariant();
    TVoTransaction transaction(Connection());
    m_writing = true;
    m_refreshPending = false;
    const auto done = qScopeGuard([this] { m_writing = false; });
    try {
        const TVoSQLList list = StatementsFor(listKind);
        result->statements = list.Count();
        if (list.IsEmpty())
            return true;
        transaction.StartTransaction();
        RunStatements(list, listKind, result);
        transaction.Commit();
        return true;
    } catch (const std::exception &e) {
        transaction.Rollback();
        VoShowException(e);
    }
    m_refreshPending = false;
    // The row keeps what the user typed; only the key drawn for it is taken back.
    if (k >= 0 && m_cur >= 0 && m_rows[m_cur].values[k] != keyBefore) {
        m_rows[m_cur].values[k] = keyBefore;
        RowChanged(m_cur);
    }
    return false;
}

void TVoQueryCollection::RunStatements(const TVoSQLList &list, int listKind, TRunResult *result) {
    // The new key of the row is the one drawn for the main table, or for the first table that
    // draws one when no statement inserts into the main table (a select from a view).
    QString keyTable;
    if (listKind == skInsert) {
        const QString main = TableName();
        for (int i = 0; i < list.Count(); ++i)
            if (list[i].UsesParam(kGenId)) {
                if (keyTable.isEmpty() || list[i].TableName() == main)
                    keyTable = list[i].TableName();
                if (keyTable == main)
                    break;
            }
    }
    QHash<QString, QVariant> drawn; // one new key per table and post
    for (int i = 0; i < list.Count(); ++i) {
        const TVoSQLStatement &statement = list[i];
        if (statement.Kind() == skDelete)
            ++result->deleteStatements;
        TVoQueryProp prop;
        prop.TableName = statement.TableName();
        prop.Kind = statement.Kind() == skOther ? listKind : statement.Kind();
        prop.ListKind = listKind;
        prop.Index = i;
        prop.SQL = statement.SQL();
        bool allow = true;
        VoBeforeExec(this, prop, allow);
        if (!allow)
            continue;

        TVoQuery query(statement.SQL(), Connection());
        for (const QString &name : statement.ParamNames()) {
            QVariant value;
            if (prop.Values.Contains(name)) {
                value = prop.Values.Value(name);
                if (name.compare(kGenId, Qt::CaseInsensitive) == 0)
                    drawn.insert(statement.TableName(), value);
            } else if (name.compare(kGenId, Qt::CaseInsensitive) == 0) {
                if (!drawn.contains(statement.TableName()))
                    drawn.insert(statement.TableName(), VoNewId(statement.TableName(), Connection()));
                value = drawn.value(statement.TableName());
            } else if (name.compare(kCurrId, Qt::CaseInsensitive) == 0) {
                value = KeyValue();
            } else if (const TVoField *f = FindField(name)) {
                value = m_rows[m_cur].values[f->m_index];
            } else {
                continue; // the query refuses the unbound name with its own message
            }
            if (!keyTable.isEmpty() && statement.TableName() == keyTable &&
                name.compare(kGenId, Qt::CaseInsensitive) == 0) {
                const int k = KeyIndex();
                if (k >= 0 && m_rows[m_cur].values[k] != value) {
                    m_rows[m_cur].values[k] = ToFieldType(value, m_fields[k]->m_type, m_fields[k]->m_name);
                    RowChanged(m_cur);
                }
            }
            query.SetParam(name, value);
            prop.Values.Add(name, value);
        }
        if (!prop.Values.Contains(kCurrId))
            prop.Values.Add(kCurrId, KeyValue());
        if (!prop.Values.Contains(kGenId) && drawn.contains(statement.TableName()))
            prop.Values.Add(kGenId, drawn.value(statement.TableName()));
        query.Exec();
        ++result->ran;
        if (statement.Kind() == skDelete)
            ++result->deletesRan;
        VoAfterExec(this, prop);
    }
}
