// Sorting a recordset's rows in memory by the Sort property's keys.
#include "platform/ado/Recordset.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "platform/ado/SortKeys.h"

namespace {

// A comparable rank for sorting: NULLs first, then numbers, then text.
int SortRank(const CVariant& v) {
    if (v.IsNullOrEmpty())
        return 0;
    if (v.Kind() == VarKind::Text || v.Kind() == VarKind::Binary)
        return 2;
    return 1;
}

}  // namespace

void CRecordset::PutSort(const std::string& sort) {
    m_strSort = sort;
    if (!m_bOpen)
        return;
    if (!m_bFetched && sort.empty() && m_pending == Pending::None) {
        // Nothing to reorder yet: back to the first row.
        m_nPos = kFirstRowPosition;
        return;
    }
    EnsureFetched();
    ApplySort();
}

void CRecordset::ApplySort() {
    std::iota(m_order.begin(), m_order.end(), 0L);
    SortRows(m_order.begin(), m_order.end());
    // A new order starts at its first row.
    m_nPos = 0;
    while (m_nPos < static_cast<long>(m_order.size()) && m_deleted[m_order[m_nPos]])
        ++m_nPos;
}

void CRecordset::SortRows(std::vector<long>::iterator first,
                          std::vector<long>::iterator last) const {
    std::vector<std::pair<long, bool>> keys;  // field, descending
    for (const SortKey& key : ParseSortKeys(m_strSort))
        keys.emplace_back(FieldIndex(CVariant::FromText(key.field)), key.descending);
    // No keys: the fetched order stands.
    if (keys.empty())
        return;
    // Each key field read once per row, not once per comparison.
    std::vector<std::vector<CVariant>> columns(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        const long field = keys[k].first;
        columns[k].resize(m_values.Rows());
        for (auto it = first; it != last; ++it)
            columns[k][*it] = m_values.Get(m_values.Row(*it)[field], m_fields[field].kind);
    }
    std::stable_sort(first, last, [&](long a, long b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const bool descending = keys[k].second;
            const CVariant& x = columns[k][a];
            const CVariant& y = columns[k][b];
            int cmp = SortRank(x) - SortRank(y);
            if (cmp == 0 && SortRank(x) == 1) {
                const double dx = NumberOf(x), dy = NumberOf(y);
                cmp = dx < dy ? -1 : dx > dy ? 1 : 0;
            } else if (cmp == 0 && SortRank(x) == 2) {
                cmp = x.TextValue().compare(y.TextValue());
            }
            if (cmp != 0)
                return descending ? cmp > 0 : cmp < 0;
        }
        return false;
    });
}
