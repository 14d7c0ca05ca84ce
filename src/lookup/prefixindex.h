#pragma once

#include <QStringView>

#include <functional>
#include <vector>

namespace Verarov::Lookup {

// Letter case is ignored one UTF-16 code unit at a time, by simple case
// folding: "É" matches "é", never "e"; a surrogate stays itself.  Folding
// keeps lengths, so a folded prefix covers the same code units.
char16_t foldCase(char16_t unit);

// True when text begins with prefix, case folded unit by unit.
bool startsWithFolded(QStringView text, QStringView prefix);

using KeyAt = std::function<QStringView(int row)>;

// The plain search of a completion: the first row from the top whose key
// begins with text, letter case ignored; -1 when none does.
int scanFirstWithPrefix(int count, const KeyAt &keyAt, QStringView text);

// The same answer as scanFirstWithPrefix, from an index: the rows sorted by
// folded key (ties by row), so the keys beginning with a text form one run,
// and a minimum tree over that order gives the run's topmost row.
// Built on first use: O(n log n) once, then O(|text| log n) per search.
// The keys must stay unchanged while the index lives.
class PrefixIndex
{
public:
    PrefixIndex(int count, KeyAt keyAt);

    int count() const { return m_count; }
    int firstWithPrefix(QStringView text) const;

    // Builds now rather than on the first search.
    void build() const;

private:
    int m_count;
    KeyAt m_keyAt;
    mutable bool m_built = false;
    mutable std::vector<int> m_sorted;  // rows in folded key order
    mutable std::vector<int> m_minTree; // 2n nodes; leaf n + i = m_sorted[i]
};

} // namespace Verarov::Lookup
