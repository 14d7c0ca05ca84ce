#pragma once

#include <QStringView>

#include <functional>
#include <span>
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

// The same answer as scanFirstWithPrefix, from a prefix tree
// (Dictionary::buildPrefixTree): the rows sorted by folded key, so the keys
// beginning with a text form one run, and a minimum tree over that order
// gives the run's topmost row.  O(|text| log n) per search.
// The keys must stay unchanged while the index lives.
class PrefixIndex
{
public:
    // Builds the tree of the keys: O(n log n).
    PrefixIndex(int count, KeyAt keyAt);
    // Reads a tree built for these keys where it lies (a compiled
    // dictionary's, Tables::prefixTree), which must outlive the index.
    // Whatever its numbers, an answer is a row or -1.
    PrefixIndex(int count, KeyAt keyAt, std::span<const quint32> tree);

    int count() const { return m_count; }
    int firstWithPrefix(QStringView text) const;

private:
    int m_count;
    KeyAt m_keyAt;
    std::vector<quint32> m_built; // the tree when built here
    std::span<const quint32>
            m_tree; // or where it lies: 2 * m_count numbers, leaves from m_count on
};

} // namespace Verarov::Lookup
