#include "lookup/prefixindex.h"

#include <QChar>
#include <QString>

#include <algorithm>

namespace Verarov::Lookup {

char16_t foldCase(char16_t unit)
{
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + 0x20) : unit;
    if (QChar::isSurrogate(unit))
        return unit;
    const char32_t folded = QChar::toCaseFolded(char32_t(unit));
    return folded <= 0xffff ? char16_t(folded) : unit;
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

int compareFoldedKeys(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldCase(a[i].unicode());
        const char16_t y = foldCase(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

PrefixIndex::PrefixIndex(int count, KeyAt keyAt) : m_count(count), m_keyAt(std::move(keyAt)) { }

void PrefixIndex::build() const
{
    if (m_built)
        return;
    m_sorted.resize(size_t(m_count));
    for (int i = 0; i < m_count; ++i)
        m_sorted[size_t(i)] = i;
    std::sort(m_sorted.begin(), m_sorted.end(), [this](int a, int b) {
        const int c = compareFoldedKeys(m_keyAt(a), m_keyAt(b));
        return c != 0 ? c < 0 : a < b;
    });
    const size_t n = size_t(m_count);
    m_minTree.assign(2 * n, 0);
    std::copy(m_sorted.begin(), m_sorted.end(), m_minTree.begin() + qsizetype(n));
    for (size_t i = n; i-- > 1;)
        m_minTree[i] = std::min(m_minTree[2 * i], m_minTree[2 * i + 1]);
    m_built = true;
}

int PrefixIndex::firstWithPrefix(QStringView text) const
{
    if (m_count == 0)
        return -1;
    build();
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(foldCase(text[i].unicode()));
    const qsizetype limit = folded.size();

    // The run of keys whose first `limit` folded units equal the text.
    const auto begin = std::partition_point(m_sorted.begin(), m_sorted.end(), [&](int row) {
        return compareFolded(m_keyAt(row), folded, limit) < 0;
    });
    const auto end = std::partition_point(begin, m_sorted.end(), [&](int row) {
        return compareFolded(m_keyAt(row), folded, limit) == 0;
    });
    if (begin == end)
        return -1;

    // Smallest row in [lo, hi) of the sorted order, bottom-up.
    size_t lo = size_t(begin - m_sorted.begin()) + size_t(m_count);
    size_t hi = size_t(end - m_sorted.begin()) + size_t(m_count);
    int best = m_count;
    for (; lo < hi; lo /= 2, hi /= 2) {
        if (lo & 1)
            best = std::min(best, m_minTree[lo++]);
        if (hi & 1)
            best = std::min(best, m_minTree[--hi]);
    }
    return best;
}

} // namespace Verarov::Lookup
