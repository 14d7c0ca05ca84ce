#include "search/substring.h"

#include "search/searchlog.h"

#include <algorithm>
#include <new>

namespace Verarov::Search {

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcSearch, "verarov.search", QtWarningMsg)

namespace {

// The keys lie in the dictionary in entry order, not in key-list order, so
// the scan jumps about in memory: asking early for the keys a few rows
// ahead hides most of its cache misses.
constexpr int kReadAhead = 16;

inline void readAhead(const void *address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

// True when text, not empty, occurs in key: the same code units in a row.
bool containsUnits(QStringView key, QStringView text)
{
    const char16_t *units = key.utf16();
    const char16_t *rest = text.utf16() + 1;
    const char16_t *restEnd = text.utf16() + text.size();
    const char16_t first = text.front().unicode();
    const qsizetype lastStart = key.size() - text.size();
    for (qsizetype i = 0; i <= lastStart; ++i) {
        if (units[i] == first && std::equal(rest, restEnd, units + i + 1))
            return true;
    }
    return false;
}

} // namespace

Found findContaining(const Dictionary::KeyList &keys, QStringView text)
{
    Found found;
    try {
        const int count = keys.count();
        RowSet rows(count);
        for (int row = 0; row < count; ++row) {
            if (row + kReadAhead < count)
                readAhead(keys.key(row + kReadAhead).utf16());
            const QStringView mot = keys.key(row); // the key under test, read in place
            if (text.isEmpty() || containsUnits(mot, text))
                rows.insert(row);
        }
        rows.seal();
        found.rows = std::move(rows);
    } catch (const std::bad_alloc &) {
        found.failure = u"Impossible d'insérer une ligne"_s;
    }
    return found;
}

} // namespace Verarov::Search
