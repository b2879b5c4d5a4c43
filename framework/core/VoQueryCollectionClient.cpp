// What the query collection does on its own rows without the database: a row filter given as a
// predicate, reading another row without moving, and the fields and emptying of collections whose
// rows live in memory only. Filtering the rows read and opening in memory stand beside the opening,
// in VoQueryCollectionPaging.cpp.
#include "VoQueryCollectionPrivate.h"

#include "VoExceptions.h"

#include <QScopeGuard>

using namespace VoQc;

// --- Row filter ---------------------------------------------------------------------------------------

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
