#include "search/substring.h"

#include "search/searchlog.h"

#include <new>

namespace Verarov::Search {

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcSearch, "verarov.search", QtWarningMsg)

Found findContaining(const Dictionary::KeyList &keys, QStringView text)
{
    Found found;
    try {
        const int count = keys.count();
        for (int row = 0; row < count; ++row) {
            const QStringView mot = keys.key(row); // the key under test, read in place
            if (mot.contains(text))
                found.rows.push_back(row);
        }
        // Many windows may each hold a large result: no spare capacity.
        found.rows.shrink_to_fit();
    } catch (const std::bad_alloc &) {
        found.failure = u"Impossible d'insérer une ligne"_s;
    }
    return found;
}

} // namespace Verarov::Search
