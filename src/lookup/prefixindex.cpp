#include "lookup/prefixindex.h"

#include "dictionary/casefolding.h"
#include "dictionary/prefixtree.h"

#include <QString>

#include <algorithm>

namespace Verarov::Lookup {

char16_t foldCase(char16_t unit)
{
    return Dictionary::foldUnit(unit);
}

bool startsWithFolded(QStringView text, QStringView prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (foldCase(text[i].unicode()) != foldCase(prefix[i].unicode()))
            return false;
    }
    return true;
}

int scanFirstWithPrefix(int count, const KeyAt &keyAt, QStringView text)
{
    for (int row = 0; row < count; ++row) {
        if (startsWithFolded(keyAt(row), text))
            return row;
    }
    return -1;
}

namespace {

// Three-way comparison of the first `limit` folded units of a with folded b
// (b already folded).  Shorter sorts first.
int compareFolded(QStringView a, QStringView foldedB, qsizetype limit)
{
    const qsizetype na = std::min(a.size(), limit);
    const qsizetype nb = std::min(foldedB.size(), limit);
    const qsizetype n = std::min(na, nb);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldCase(a[i].unicode());
        const char16_t y = foldedB[i].unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

} // namespace

PrefixIndex::PrefixIndex(int count, KeyAt keyAt)
    : m_count(std::max(count, 0)), m_keyAt(std::move(keyAt)),
      m_built(Dictionary::buildPrefixTree(m_count, m_keyAt))
{ }

PrefixIndex::PrefixIndex(int count, KeyAt keyAt, std::span<const quint32> tree)
    : m_count(std::max(count, 0)), m_keyAt(std::move(keyAt)), m_tree(tree)
{
    if (m_tree.size() != 2 * std::size_t(m_count))
        m_count = 0; // not this list's: finds nothing rather than read past it
}

int PrefixIndex::firstWithPrefix(QStringView text) const
{
    if (m_count == 0)
        return -1;
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(foldCase(text[i].unicode()));
    const qsizetype limit = folded.size();

    // The run of keys whose first `limit` folded units equal the text.  A
    // number that is no row (a damaged tree) ends the search.
    const std::span<const quint32> tree = m_built.empty() ? m_tree : std::span(m_built);
    const std::span<const quint32> sorted = tree.subspan(std::size_t(m_count));
    bool damaged = false;
    auto keyAt = [&](quint32 row) {
        if (row >= quint32(m_count)) {
            damaged = true;
            return QStringView();
        }
        return m_keyAt(int(row));
    };
    const auto begin = std::partition_point(sorted.begin(), sorted.end(), [&](quint32 row) {
        return compareFolded(keyAt(row), folded, limit) < 0;
    });
    const auto end = std::partition_point(begin, sorted.end(), [&](quint32 row) {
        return compareFolded(keyAt(row), folded, limit) == 0;
    });
    if (begin == end || damaged)
        return -1;

    // Smallest row in [lo, hi) of the sorted order, bottom-up.
    std::size_t lo = std::size_t(begin - sorted.begin()) + std::size_t(m_count);
    std::size_t hi = std::size_t(end - sorted.begin()) + std::size_t(m_count);
    quint32 best = quint32(m_count);
    for (; lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1)
            best = std::min(best, tree[lo++]);
        if (hi & 1)
            best = std::min(best, tree[--hi]);
    }
    return best < quint32(m_count) ? int(best) : -1;
}

} // namespace Verarov::Lookup
