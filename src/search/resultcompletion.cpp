#include "search/resultcompletion.h"

#include "lookup/keylistmodel.h"
#include "lookup/prefixindex.h"
#include "search/resultmodel.h"

namespace Verarov::Search {

ResultCompletion::ResultCompletion(const ResultModel &results) : m_results(results) { }

int ResultCompletion::keyCount() const
{
    return m_results.count();
}

QStringView ResultCompletion::key(int row) const
{
    return m_results.key(row);
}

int ResultCompletion::findString(QStringView text) const
{
    const RowSet &rows = m_results.keyRows();
    int from = 0;
    if (m_field) {
        Q_ASSERT(m_field->keyCount() == rows.size());
        from = m_field->findString(text);
        if (from < 0)
            return -1;
    }
    for (int keyRow = rows.next(from); keyRow >= 0; keyRow = rows.next(keyRow + 1)) {
        if (Lookup::startsWithFolded(m_results.keys().key(keyRow), text))
            return rows.rank(keyRow);
    }
    return -1;
}

} // namespace Verarov::Search
