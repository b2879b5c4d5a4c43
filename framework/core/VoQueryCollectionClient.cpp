// What the query collection does on its own rows without the database: a row filter given as a
// predicate, reading another row without moving, and collections whose rows live in memory only.
#include "VoQueryCollectionPrivate.h"

#include "VoExceptions.h"

#include <QScopeGuard>
#include <QSqlField>
#include <QSqlRecord>

using namespace VoQc;

// --- Row filter ---------------------------------------------------------------------------------------

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

bool TVoQueryCollection::SetRowFilter(TVoRowFilter filter) {
    if (Active() && !CheckBrowseMode())
        return false;
    m_rowFilter.predicate = std::move(filter);
    if (Active())
        Refilter();
    return true;
}

bool TVoQueryCollection::ClearRowFilter() {
    if (!RowFiltered())
        return true;
    return SetRowFilter(nullptr);
}

bool TVoQueryCollection::ReadRow(int index, const std::function<void()> &fn) {
    if (!Active() || !EnsureRow(index))
        return false;
    const int previous = m_readRow;
    m_readRow = index;
    const auto restore = qScopeGuard([&] { m_readRow = previous; });
    fn();
    return true;
}

// --- Rows in memory -------------------------------------------------------------------------------------

void TVoQueryCollection::AddFieldDef(const QString &name, QMetaType::Type type) {
    if (Active())
        throw EVoError(QStringLiteral("Il campo \"%1\" va definito a dataset chiuso.").arg(name));
    m_fieldDefs.append({name, type});
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

void TVoQueryCollection::EmptyDataSet() {
    CheckActive();
    CheckNotWriting();
    if (m_state == dsInsert || m_state == dsEdit)
        Cancel();
    RowsAboutToReset();
    m_rows.clear();
    m_rowFilter.order.clear();
    m_rowFilter.hidden.clear();
    m_cur = -1;
    m_bof = m_eof = true;
    RowsReset();
    DataChange(this, nullptr);
    AfterScroll(this);
}
