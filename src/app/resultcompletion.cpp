#include "app/resultcompletion.h"

#include "lookup/keylistmodel.h"
#include "lookup/prefixindex.h"
#include "search/resultmodel.h"

#include <algorithm>

namespace Verarov::App {

ResultCompletion::ResultCompletion(const Search::ResultModel &results) : m_results(results) { }

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
    const std::vector<int> &rows = m_results.keyRows();
    auto from = rows.begin();
    if (m_field) {
        Q_ASSERT(m_field->keyCount() == m_results.keys().count());
        const int firstKeyRow = m_field->findString(text);
        if (firstKeyRow < 0)
            return -1;
        from = std::lower_bound(rows.begin(), rows.end(), firstKeyRow);
    }
    const auto found = std::find_if(from, rows.end(), [&](int keyRow) {
        return Lookup::startsWithFolded(m_results.keys().key(keyRow), text);
    });
    return found == rows.end() ? -1 : int(found - rows.begin());
}

} // namespace Verarov::App
