#include "VoQueryCollectionPrivate.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoMessages.h"
#include "VoQuery.h"

using namespace VoQc;

// --- Opening ----------------------------------------------------------------------------------------

void TVoQueryCollection::CheckActive() const {
    if (!Active())
        throw EVoError(QStringLiteral("Operazione non possibile: il dataset è chiuso."));
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
