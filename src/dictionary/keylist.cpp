#include "dictionary/keylist.h"

namespace Verarov::Dictionary {

KeyList::KeyList(Tables tables, List list) : m_tables(std::move(tables)), m_list(list)
{
    Q_ASSERT(list == List::Headwords || list == List::PinyinKeys || list == List::FrenchKeys);
    m_count = m_tables.rowCount(list);
}

EntryRange entriesBeginningWith(const Tables &tables, char16_t c)
{
    // First entry whose first code unit is at least `unit`.
    const auto firstAtLeast = [&](char32_t unit) {
        int low = 0;
        int high = tables.entryCount();
        while (low < high) {
            const int mid = low + (high - low) / 2;
            const QStringView headword = tables.headword(mid);
            if (headword.isEmpty() || char32_t(headword.front().unicode()) < unit)
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    };
    return {firstAtLeast(c), firstAtLeast(char32_t(c) + 1)};
}

} // namespace Verarov::Dictionary
