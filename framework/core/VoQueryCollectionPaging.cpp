#include "VoQueryCollectionPrivate.h"

#include "VoConnection.h"
#include "VoExceptions.h"
#include "VoQuery.h"

#include <QSqlField>
#include <QSqlRecord>

#include <algorithm>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace VoQc;

// --- Opening ----------------------------------------------------------------------------------------

void TVoQueryCollection::CheckActive() const {
    if (!Active())
        throw EVoError(QStringLiteral("Operazione non possibile: il dataset è chiuso."));
}

namespace {
// Rows read again before the position reached, to find the place in a result that others changed.
constexpr int kOverlap = 8;
// The slice that reads to the end.
constexpr qint64 kLastRow = std::numeric_limits<qint32>::max();
// Rows read at least at a time through the keys: sorting the keys costs the same for a few rows or
// a hundred, so one read fills any screen.
constexpr int kKeyedPacket = 100;
// Rows above which a closed list hands its memory back to the system.
constexpr qsizetype kManyRows = 10000;
// Rows read at a time to the end of a result while progress is shown.
constexpr int kProgressPacket = 5000;
} // namespace

void TVoQueryCollection::ResetPaging() {
    m_paging = TPaging();
    if (!m_plan.known || m_plan.command != m_commandText) {
        m_plan.command = m_commandText;
        m_plan.sliceable = VoCanSlice(m_commandText);
        m_plan.known = true;
    }
    m_paging.sliced = m_plan.sliceable;
    m_paging.pending = true;
    if (m_keySlice.IsEmpty() || !m_paging.sliced)
        return;
    m_paging.orderNames = VoOrderByNames(m_commandText, FieldNames());
    m_paging.keyed =
        !VoKeySlice(m_commandText, m_keySlice, m_paging.orderNames, m_narrowing.field, 1, 1).isEmpty();
    m_paging.walked = m_paging.keyed && m_keySlice.Walks(m_paging.orderNames, m_narrowing.field);
    // A narrowing is the database's: an order it cannot read by keys cannot keep it.
    if (!m_paging.keyed && Narrowed())
        throw EVoError(QStringLiteral("Ordinamento non disponibile durante la ricerca."));
}

int TVoQueryCollection::FirstPacket() const {
    // Read inside the caller's transaction, the first rows could come from writes it later rolls
    // back while the others would not: such a collection reads everything at once.
    const bool all = m_packetRecords <= 0 || RowFiltered() || (Connection() && Connection()->InTransaction());
    return all ? -1 : m_paging.keyed ? qMax(m_packetRecords, kKeyedPacket) : m_packetRecords;
}

int TVoQueryCollection::NextPacket(int needed) const {
    const int packet = qMax(needed, m_paging.keyed ? qMax(m_packetRecords, kKeyedPacket) : m_packetRecords);
    // A packet costs the rows before it too, so the packets grow with the rows read; a walk of the
    // keys reads each packet at the cost of its own rows, and a grid standing on the last row read
    // (after "Annulla" of a reading to the end) asks for a packet, not for the whole rest.
    return m_paging.walked ? packet : qMax(packet, m_paging.position);
}

bool TVoQueryCollection::WalkColumns() {
    if (!m_paging.walkColumns.isEmpty())
        return true;
    QList<int> columns;
    for (const QString &name : std::as_const(m_paging.orderNames)) {
        const TVoField *f = FindField(name.section(QLatin1Char(' '), 0, 0));
        columns << (f ? f->m_index : -1);
    }
    columns << KeyIndex();
    if (std::any_of(columns.begin(), columns.end(), [this](int i) { return i < 0 || i >= m_dataFieldCount; }))
        return false;
    m_paging.walkColumns = columns;
    return true;
}

std::unique_ptr<TVoQuery> TVoQueryCollection::RunSlice(int max, int overlap) {
    QString text = m_commandText;
    qint64 first = m_paging.position - overlap + 1;
    qint64 last = max > 0 ? qint64(m_paging.position) + max : kLastRow;
    // A walk of the keys starts after the row before the first one asked for, when that row is among
    // the rows read last; otherwise (others deleted many rows before the place) it walks from the
    // first key.
    const QVariantList *after = nullptr;
    const int anchor = int(m_paging.tail.size()) - 1 - overlap;
    if (m_paging.walked && first > 1 && anchor >= 0 && WalkColumns()) {
        after = &m_paging.tail[anchor];
        last -= first - 1;
        first = 1;
    }
    // Everything from the first row is the select as it stands, unless it is read by keys.
    if (m_paging.keyed)
        text = VoKeySlice(m_commandText, m_keySlice, m_paging.orderNames, m_narrowing.field, first, last,
                          m_paging.walked);
    else if (m_paging.sliced && (max > 0 || m_paging.position > overlap))
        text = VoSlice(m_commandText, first, last);
    if (text != m_plan.text || m_plan.parsed.text.isEmpty()) {
        m_plan.text = text;
        m_plan.parsed = VoParseSQL(text);
    }
    auto query = std::make_unique<TVoQuery>(text, m_plan.parsed, Connection());
    m_plan.paramTypes.clear();
    for (const QString &name : std::as_const(m_plan.parsed.params)) {
        QVariant value;
        const QLatin1String walkAfter(kVoWalkAfter);
        if (name.compare(QLatin1String(kVoNarrowParam), Qt::CaseInsensitive) == 0) {
            value = m_narrowing.text;
        } else if (m_paging.walked && name.startsWith(walkAfter, Qt::CaseInsensitive)) {
            bool isNumber = false;
            const int column = name.mid(walkAfter.size()).toInt(&isNumber);
            if (name.size() == walkAfter.size())
                value = after ? 1 : 0;
            else if (isNumber && column >= 1 && !after)
                value = QVariant();
            else if (isNumber && column >= 1 && column <= m_paging.walkColumns.size())
                value = after->at(m_paging.walkColumns[column - 1]);
            else
                throw EVoError(QStringLiteral("Parametro \"%1\" senza valore nell'istruzione SQL.").arg(name));
        } else {
            const TVoParam *p = m_params.FindParam(name);
            if (!p || !p->Bound())
                throw EVoError(
                    QStringLiteral("Parametro \"%1\" senza valore nell'istruzione SQL.").arg(name));
            value = p->Value();
        }
        m_plan.paramTypes << value.typeId();
        query->SetParam(name, value);
    }
    query->Open();
    return query;
}

QList<QVariantList> TVoQueryCollection::ReadValues(std::unique_ptr<TVoQuery> query) const {
    QList<QVariantList> slice;
    // A walk's rows come unsorted, each with its place in the walk after the data.
    QList<QPair<qint64, int>> places;
    for (; !query->Eof(); query->Next()) {
        QVariantList values;
        values.reserve(m_dataFieldCount);
        for (int i = 0; i < m_dataFieldCount; ++i)
            values.append(query->Value(i));
        if (m_paging.walked)
            places.append({query->Value(m_dataFieldCount).toLongLong(), int(slice.size())});
        slice.append(std::move(values));
    }
    // Freeing the query ends the transaction it was read in.
    query.reset();
    if (places.isEmpty())
        return slice;
    std::stable_sort(places.begin(), places.end(),
                     [](const QPair<qint64, int> &a, const QPair<qint64, int> &b) { return a.first < b.first; });
    QList<QVariantList> ordered;
    ordered.reserve(slice.size());
    for (const auto &place : std::as_const(places))
        ordered.append(std::move(slice[place.second]));
    return ordered;
}

bool TVoQueryCollection::SameRow(const QVariantList &a, const QVariantList &b, bool byKey) const {
    if (byKey) {
        const int k = KeyIndex();
        return k >= 0 && k < a.size() && !a[k].isNull() && SameValue(a[k], b[k], loNone);
    }
    for (int i = 0; i < a.size(); ++i)
        if (!SameValue(a[i], b[i], loNone))
            return false;
    return true;
}

int TVoQueryCollection::Aligned(const QList<QVariantList> &slice, int overlap) const {
    const QList<QVariantList> &tail = m_paging.tail;
    if (overlap == 0 || tail.isEmpty())
        return 0;
    // Most often nothing changed: the last row read stands where it was.
    if (overlap <= slice.size() && SameRow(slice[overlap - 1], tail.last(), false))
        return overlap;
    // Rows were inserted or deleted before the position, or the last row read was changed or
    // deleted: the new rows start after the latest of the rows read that is still there.
    for (const bool byKey : {false, true})
        for (int t = int(tail.size()) - 1; t >= 0; --t)
            for (int i = 0; i < slice.size(); ++i)
                if (SameRow(slice[i], tail[t], byKey))
                    return i + 1;
    return -1;
}

QList<TVoQueryCollection::TRow> TVoQueryCollection::TakeSlice(QList<QVariantList> slice, int first, int max,
                                                              int overlap) {
    TPaging &p = m_paging;
    p.pending = p.sliced && max > 0 && slice.size() >= overlap + max;
    p.position += int(slice.size()) - overlap;
    // One more than the rows read again: a walk of the keys starts after the row before them.
    p.tail = slice.mid(qMax(0, int(slice.size()) - kOverlap - 1));

    // Without the place found, a row already among the rows is known by its key.
    const int k = KeyIndex();
    QSet<QString> known = p.written;
    if (first < 0) {
        first = 0;
        for (const TRow &row : std::as_const(m_rows))
            if (k >= 0)
                known.insert(VoVariantToText(row.values[k]));
    }
    const int total = int(m_fields.size());
    QList<TRow> rows;
    rows.reserve(int(slice.size()) - first);
    for (int r = first; r < slice.size(); ++r) {
        if (!known.isEmpty() && k >= 0 && known.contains(VoVariantToText(slice[r][k])))
            continue;
        TRow row;
        row.id = m_nextRowId++;
        row.values = std::move(slice[r]);
        for (int i = m_dataFieldCount; i < total; ++i)
            row.values.append(TypedNull(m_fields[i]->m_type));
        rows.append(std::move(row));
    }
    return rows;
}

QList<TVoQueryCollection::TRow> TVoQueryCollection::ReadSlice(int max) {
    // The rows read last are read again to find the place; when others deleted more rows before
    // it than that, the slice reaches further back, up to the first row.
    int overlap = m_paging.sliced ? qMin(m_paging.position, kOverlap) : 0;
    for (;;) {
        QList<QVariantList> slice = ReadValues(RunSlice(max, overlap));
        const int first = Aligned(slice, overlap);
        if (first >= 0 || overlap >= m_paging.position)
            return TakeSlice(std::move(slice), first, max, overlap);
        overlap = qMin(m_paging.position, overlap * 16);
    }
}

void TVoQueryCollection::RememberWritten() {
    // Only a collection still reading its rows can meet a row it wrote again.
    const int k = KeyIndex();
    if (m_paging.pending && k >= 0 && m_cur >= 0 && m_cur < m_rows.size())
        m_paging.written.insert(VoVariantToText(m_rows[m_cur].values[k]));
}

void TVoQueryCollection::Open() {
    if (Active())
        return;
    if (InMemory()) {
        OpenInMemory();
        return;
    }
    BeforeOpen(this);
    ResetPaging();
    const int first = FirstPacket();
    auto query = RunSlice(first, 0);

    RowsAboutToReset();
    // The same text run with parameters of the same types has the same columns: the fields stand
    // as they are, with everything the window set on them.
    TFieldShape shape{m_plan.text, query->Connection(), m_plan.paramTypes};
    if (!(shape == m_fieldShape)) {
        QSqlRecord record = query->Record();
        // A walk's place is the reader's, not a field.
        if (m_paging.walked && !record.isEmpty())
            record.remove(record.count() - 1);
        BuildFields(record);
        m_fieldShape = std::move(shape);
    }
    m_rows.clear();
    m_oldValues.clear();
    m_state = dsBrowse;
    try {
        m_rows = TakeSlice(ReadValues(std::move(query)), 0, first, 0);
        for (int r = 0; OnCalcFields.Assigned() && r < m_rows.size(); ++r)
            Calculate(r);
        FilterRows();
    } catch (...) {
        m_paging = TPaging();
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

bool TVoQueryCollection::SetNarrowing(const QString &field, const QString &text) {
    const TNarrowing narrowing = text.isEmpty() ? TNarrowing() : TNarrowing{field, text};
    if (!narrowing.field.isEmpty() &&
        (m_keySlice.IsEmpty() || !VoCanSlice(m_commandText) ||
         VoKeySlice(m_commandText, m_keySlice, VoOrderByNames(m_commandText, FieldNames()), field, 1, 1)
             .isEmpty()))
        return false;
    if (!Active()) {
        m_narrowing = narrowing;
        return true;
    }
    if (!CheckBrowseMode())
        return false;
    const QVariant key = KeyValue();
    const TNarrowing before = m_narrowing;
    m_narrowing = narrowing;
    try {
        Close();
        Open();
    } catch (...) {
        m_narrowing = before;
        throw;
    }
    // Looked for among the rows read only: the whole result is not read to find it.
    const int found = FindRowByKey(key, false, false);
    if (found > 0) {
        BeforeScroll(this);
        SetCurrent(found);
    }
    return true;
}

void TVoQueryCollection::Close() {
    if (!Active())
        return;
    CheckNotWriting();
    BeforeClose(this);
    RowsAboutToReset();
    m_paging = TPaging();
    GiveBackRows();
    m_rowFilter.order.clear();
    m_rowFilter.hidden.clear();
    m_oldValues.clear();
    m_cur = -1;
    m_eof = m_bof = true;
    m_state = dsInactive;
    RowsReset();
    StateChange(this);
    DataChange(this, nullptr);
    AfterClose(this);
}

void TVoQueryCollection::GiveBackRows() {
    const bool many = m_rows.size() + m_rowFilter.hidden.size() >= kManyRows;
    // A list cleared keeps its room; a closed one gives it back.
    m_rows = QList<TRow>();
    m_rowFilter.hidden = QHash<quint64, TRow>();
#ifdef __GLIBC__
    // The rows' many small blocks return to the allocator, which keeps them from the system unless
    // asked: a closed list of many rows gives its memory back to the machine.
    if (many)
        malloc_trim(0);
#else
    Q_UNUSED(many);
#endif
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
    BeforeScroll(this);
    // Rows in memory are all there is: only the filter is applied again.
    if (InMemory()) {
        Refilter();
        return;
    }
    const QVariant key = KeyValue();
    const int position = m_cur;
    const TPaging before = m_paging;
    ResetPaging();
    const int first = FirstPacket();
    QList<QVariantList> slice;
    try {
        slice = ReadValues(RunSlice(first, 0));
    } catch (...) {
        m_paging = before;
        throw;
    }

    // Views are told once, at the end: the rows read meanwhile are part of the new set.
    RowsAboutToReset();
    m_rows.clear();
    int found = -1;
    try {
        m_rows = TakeSlice(std::move(slice), 0, first, 0);
        for (int r = 0; OnCalcFields.Assigned() && r < m_rows.size(); ++r)
            Calculate(r);
        FilterRows();
        found = FindRowByKey(key, true, false);
        if (found < 0)
            EnsureRow(position, false);
    } catch (...) {
        m_paging.pending = false;
        m_cur = qMin(m_cur, int(m_rows.size()) - 1);
        RowsReset();
        throw;
    }
    // A list that was empty stands on its first row, if it has rows now.
    m_cur = found >= 0 ? found : qMin(qMax(position, 0), int(m_rows.size()) - 1);
    m_bof = m_cur <= 0;
    m_eof = m_rows.isEmpty();
    RowsReset();
    DataChange(this, nullptr);
    if (found < 0)
        AfterScroll(this);
}

int TVoQueryCollection::FetchRows(int max, bool notify) {
    if (!m_paging.pending)
        return 0;
    QList<TRow> batch;
    try {
        batch = ReadSlice(max);
    } catch (...) {
        // What was read stays; the rest is given up rather than read again and again.
        m_paging.pending = false;
        throw;
    }
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
    return FetchRows(NextPacket(0), true);
}

void TVoQueryCollection::FetchAll() {
    while (m_paging.pending)
        FetchRows(-1, true);
}

bool TVoQueryCollection::EnsureRow(int index, bool notify) {
    while (index >= m_rows.size() && m_paging.pending)
        FetchRows(NextPacket(index + 1 - int(m_rows.size())), notify);
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
        Report(e);
    }
}

bool TVoQueryCollection::ReadyToMove() {
    CheckActive();
    if (!CheckBrowseMode())
        return false;
    BeforeScroll(this);
    return true;
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

void TVoQueryCollection::Last(const std::function<void(int read)> &progress) {
    if (!ReadyToMove())
        return;
    while (m_paging.pending) {
        // A walk of the keys reads each packet at the cost of its rows; a sort of them costs the
        // rows before too, and reads more at a time as it goes.
        FetchRows(m_paging.walked ? kProgressPacket : qMax(kProgressPacket, m_paging.position), true);
        progress(int(m_rows.size()));
    }
    m_cur = int(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.isEmpty();
    Scrolled();
}

int TVoQueryCollection::CountKeys() {
    CheckActive();
    if (!m_paging.keyed)
        return -1;
    const QString text = VoKeyCount(m_keySlice, m_narrowing.field);
    if (text.isEmpty())
        return -1;
    TVoQuery query(text, Connection());
    const TVoParsedSQL parsed = VoParseSQL(text);
    for (const QString &name : parsed.params) {
        if (name.compare(QLatin1String(kVoNarrowParam), Qt::CaseInsensitive) == 0) {
            query.SetParam(name, m_narrowing.text);
            continue;
        }
        const TVoParam *p = m_params.FindParam(name);
        if (!p || !p->Bound())
            throw EVoError(QStringLiteral("Parametro \"%1\" senza valore nell'istruzione SQL.").arg(name));
        query.SetParam(name, p->Value());
    }
    query.Open();
    return query.Eof() ? 0 : query.Value(0).toInt();
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
    BeforeScroll(this);
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
    BeforeScroll(this);
    int r = FindRowById(bookmark.row);
    if (r < 0)
        r = FindRowByKey(bookmark.key, true);
    if (r < 0)
        return false;
    SetCurrent(r);
    return true;
}

// --- Rows filtered and rows in memory ---------------------------------------------------------------

void TVoQueryCollection::FilterRows() {
    m_rowFilter.order.clear();
    m_rowFilter.hidden.clear();
    if (!RowFiltered())
        return;
    QList<TRow> shown;
    QHash<quint64, TRow> hidden;
    QList<quint64> order;
    order.reserve(m_rows.size());
    try {
        for (int r = 0; r < m_rows.size(); ++r) {
            order.append(m_rows[r].id);
            m_readRow = r;
            const bool accepted = m_rowFilter.predicate(this);
            m_readRow = -1;
            if (accepted)
                shown.append(m_rows[r]);
            else
                hidden.insert(m_rows[r].id, m_rows[r]);
        }
    } catch (...) {
        m_readRow = -1;
        m_rowFilter.predicate = nullptr;
        throw;
    }
    m_rows = std::move(shown);
    m_rowFilter.order = std::move(order);
    m_rowFilter.hidden = std::move(hidden);
}

QList<TVoQueryCollection::TRow> TVoQueryCollection::AllRows() {
    if (m_rowFilter.order.isEmpty())
        return m_rows;
    // The shown rows keep the select's order among themselves; a row added meanwhile follows the
    // row it was added after, and a row deleted meanwhile is no longer among them.
    QHash<quint64, int> shownAt;
    for (int r = 0; r < m_rows.size(); ++r)
        shownAt.insert(m_rows[r].id, r);
    QList<TRow> all;
    all.reserve(m_rows.size() + m_rowFilter.hidden.size());
    int next = 0;
    for (const quint64 id : std::as_const(m_rowFilter.order)) {
        if (m_rowFilter.hidden.contains(id)) {
            all.append(m_rowFilter.hidden.take(id));
            continue;
        }
        const auto it = shownAt.constFind(id);
        while (it != shownAt.constEnd() && next <= *it)
            all.append(m_rows[next++]);
    }
    while (next < m_rows.size())
        all.append(m_rows[next++]);
    m_rowFilter.order.clear();
    m_rowFilter.hidden.clear();
    return all;
}

void TVoQueryCollection::Refilter() {
    const quint64 current = m_cur >= 0 && m_cur < m_rows.size() ? m_rows[m_cur].id : 0;
    // Every row of the select, before the views are told of the new set once.
    while (RowFiltered() && m_paging.pending)
        FetchRows(-1, false);
    RowsAboutToReset();
    m_rows = AllRows();
    try {
        FilterRows();
    } catch (...) {
        m_cur = m_rows.isEmpty() ? -1 : qBound(0, m_cur, int(m_rows.size()) - 1);
        RowsReset();
        throw;
    }
    m_cur = m_rows.isEmpty() ? -1 : 0;
    for (int r = 0; current != 0 && r < m_rows.size(); ++r)
        if (m_rows[r].id == current) {
            m_cur = r;
            break;
        }
    m_bof = m_cur <= 0;
    m_eof = m_rows.isEmpty();
    RowsReset();
    DataChange(this, nullptr);
    AfterScroll(this);
}

void TVoQueryCollection::OpenInMemory() {
    BeforeOpen(this);
    QSqlRecord record;
    for (const auto &def : std::as_const(m_fieldDefs))
        record.append(QSqlField(def.first, QMetaType(def.second)));
    RowsAboutToReset();
    BuildFields(record);
    m_paging = TPaging();
    m_rows.clear();
    m_oldValues.clear();
    m_cur = -1;
    m_bof = m_eof = true;
    m_state = dsBrowse;
    RowsReset();
    StateChange(this);
    DataChange(this, nullptr);
    AfterOpen(this);
    AfterScroll(this);
}
