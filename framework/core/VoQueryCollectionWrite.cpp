#include "VoQueryCollectionPrivate.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoTransaction.h"

#include <QScopeGuard>
#include <utility>

using namespace VoQc;

// --- Keys ----------------------------------------------------------------------------------------------

int VoNewId(const QString &table, TVoSQLConnection *connection) {
    const QVariant id = VoSelectValue(QStringLiteral("SELECT L_ICNTID FROM PYSETGETID(:sTable,1);"),
                                      {{QStringLiteral("sTable"), table.toUpper()}}, connection);
    if (!id.isValid() || id.isNull())
        throw EVoError(
            QStringLiteral("Impossibile ottenere un nuovo identificativo per la tabella %1.").arg(table));
    return id.toInt();
}

// --- The user -----------------------------------------------------------------------------------------

namespace {

std::shared_ptr<IVoDataSetUser> &DataSetUser() {
    static std::shared_ptr<IVoDataSetUser> user;
    return user;
}

bool UserConfirmsDelete() {
    // Kept alive even if the user replaces itself while answering.
    const auto user = DataSetUser();
    return user && user->ConfirmDelete();
}

} // namespace

std::shared_ptr<IVoDataSetUser> SetVoDataSetUser(std::shared_ptr<IVoDataSetUser> user) {
    return std::exchange(DataSetUser(), std::move(user));
}

void VoReportDataSetFailure(const std::exception &failure) {
    if (const auto user = DataSetUser())
        user->Report(failure);
}

void TVoQueryCollection::Report(const std::exception &failure) {
    // A silent refusal: whoever refused has told the user why already.
    if (dynamic_cast<const EVoAbort *>(&failure)) {
        m_lastError.clear();
        return;
    }
    auto *vo = dynamic_cast<const EVoException *>(&failure);
    m_lastError = vo ? vo->Message() : QString::fromLocal8Bit(failure.what());
    VoReportDataSetFailure(failure);
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

bool TVoQueryCollection::RowWritable() const {
    if (!m_lockedRowsReadOnly || m_state == dsInsert || m_cur < 0 || m_rows.isEmpty())
        return true;
    const TVoField *locked = FindField(QStringLiteral("ILOCKED"));
    return !locked || locked->AsInteger() != 1;
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
    if (!RowWritable())
        throw EVoAbort();
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
    m_lastError.clear();
    if (m_state != dsInsert && m_state != dsEdit)
        return true;
    try {
        BeforePost(this);
        CheckBounds();
    } catch (const std::exception &e) {
        Report(e);
        return false;
    }
    TRunResult result;
    if (!RunList(m_state == dsInsert ? skInsert : skUpdate, &result))
        return false;
    RememberWritten();
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
        Report(e);
    }
    return true;
}

void TVoQueryCollection::SetFieldBounds(const QString &field, const TVoBounds &bounds) {
    m_fieldBounds.insert(field.toUpper(), bounds);
}

const TVoBounds *TVoQueryCollection::FieldBounds(const QString &field) const {
    const auto found = m_fieldBounds.constFind(field.toUpper());
    return found == m_fieldBounds.cend() ? nullptr : &found.value();
}

QString TVoQueryCollection::FieldBoundsProblem(const TVoField *field, const QString &caption) const {
    const TVoBounds *bounds = field ? FieldBounds(field->FieldName()) : nullptr;
    if (!bounds || (m_state == dsEdit && field->Value() == field->OldValue()))
        return QString();
    return VoBoundsProblem(*bounds, field->Value(), caption);
}

void TVoQueryCollection::CheckBounds() const {
    for (const auto &field : m_fields) {
        const TVoBounds *bounds = FieldBounds(field->FieldName());
        const QString problem = FieldBoundsProblem(
            field.get(), bounds && !bounds->caption.isEmpty() ? bounds->caption : field->DisplayLabel());
        if (!problem.isEmpty())
            throw EVoError(problem);
    }
}

bool TVoQueryCollection::Delete() {
    CheckActive();
    CheckNotWriting();
    m_lastError.clear();
    if (m_state == dsInsert) {
        Cancel();
        return true;
    }
    if (m_state == dsEdit)
        Cancel();
    if (m_rows.isEmpty() || m_cur < 0 || !RowWritable())
        return false;
    BeforeScroll(this);
    if ((m_confirmations & cfDelete) && !UserConfirmsDelete())
        return false;
    try {
        BeforeDelete(this);
    } catch (const std::exception &e) {
        Report(e);
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
    // The row keeps what the user typed; only the key drawn for it is taken back.
    const auto restoreKey = [&] {
        if (k >= 0 && m_cur >= 0 && m_rows[m_cur].values[k] != keyBefore) {
            m_rows[m_cur].values[k] = keyBefore;
            RowChanged(m_cur);
        }
    };
    m_writing = true;
    const auto done = qScopeGuard([this] { m_writing = false; });
    // Joined to a caller's transaction the write cannot be tried again: the caller's work would be
    // lost with it. The caller hears of the conflict.
    const bool ownTransaction = !Connection() || !Connection()->InTransaction();
    const int attempts = ownTransaction ? 3 : 1;
    bool changed = false;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        m_refreshPending = false;
        try {
            if (RunListOnce(listKind, result))
                return true;
        } catch (const EVoDatabaseError &e) {
            restoreKey();
            if (e.IsLockConflict() && attempt < attempts)
                continue;
            Report(e);
        } catch (const EVoRecordChanged &e) {
            restoreKey();
            Report(e);
            changed = true;
        } catch (const std::exception &e) {
            restoreKey();
            Report(e);
        }
        break;
    }
    m_refreshPending = false;
    m_writing = false;
    if (changed)
        RecordChanged();
    return false;
}

bool TVoQueryCollection::RunListOnce(int listKind, TRunResult *result) {
    *result = TRunResult();
    const TVoSQLList list = StatementsFor(listKind);
    result->statements = list.Count();
    if (list.IsEmpty())
        return true;
    TVoTransaction transaction(Connection());
    transaction.StartTransaction();
    BeforeWrite(this, listKind);
    RunStatements(list, listKind, result);
    transaction.Commit();
    return true;
}

void TVoQueryCollection::RecordChanged() {
    try {
        Cancel();
        Refresh();
    } catch (const std::exception &e) {
        Report(e);
    }
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
        const int touched = query.Exec();
        if (listKind != skInsert && (statement.Kind() == skUpdate || statement.Kind() == skDelete) &&
            statement.TableName() == TableName() && touched != 1 &&
            VoWritesRowByKey(statement.SQL(), KeyField(), {kCurrId, KeyField()}))
            throw EVoRecordChanged();
        ++result->ran;
        if (statement.Kind() == skDelete)
            ++result->deletesRan;
        VoAfterExec(this, prop);
    }
}
