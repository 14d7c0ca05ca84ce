#include "dictionary/prefixtree.h"

#include "dictionary/casefolding.h"

#include <algorithm>
#include <string_view>

namespace Verarov::Dictionary {

std::vector<quint32> buildPrefixTree(int count, const std::function<QStringView(int)> &keyAt)
{
    if (count <= 0)
        return {};
    const std::size_t n = std::size_t(count);
    // Every key folded once, in one buffer, so that sorting compares units.
    std::vector<char16_t> folded;
    std::vector<std::size_t> at(n + 1);
    for (std::size_t row = 0; row < n; ++row) {
        const QStringView key = keyAt(int(row));
        at[row] = folded.size();
        for (const QChar c : key)
            folded.push_back(foldUnit(c.unicode()));
    }
    at[n] = folded.size();
    const auto foldedKey = [&](quint32 row) {
        return std::u16string_view(folded.data() + at[row], at[row + 1] - at[row]);
    };

    std::vector<quint32> tree(2 * n);
    const auto leaves = tree.begin() + std::ptrdiff_t(n);
    for (std::size_t row = 0; row < n; ++row)
        leaves[std::ptrdiff_t(row)] = quint32(row);
    std::sort(leaves, tree.end(), [&](quint32 a, quint32 b) {
        const int c = foldedKey(a).compare(foldedKey(b));
        return c != 0 ? c < 0 : a < b;
    });
    for (std::size_t k = n; k-- > 1;)
        tree[k] = std::min(tree[2 * k], tree[2 * k + 1]);
    tree[0] = 0;
    return tree;
}

std::vector<quint32> buildPrefixTree(std::span<const quint32> rankOfRow, quint32 rankCount)
{
    const std::size_t n = rankOfRow.size();
    if (n == 0)
        return {};
    // Rows counted by rank, then placed in row order within each rank.
    std::vector<quint32> tree(2 * n);
    {
        std::vector<std::size_t> next(std::size_t(rankCount) + 1);
        for (const quint32 rank : rankOfRow)
            ++next[rank + 1];
        for (std::size_t r = 1; r < next.size(); ++r)
            next[r] += next[r - 1];
        for (std::size_t row = 0; row < n; ++row)
            tree[n + next[rankOfRow[row]]++] = quint32(row);
    }
    for (std::size_t k = n; k-- > 1;)
        tree[k] = std::min(tree[2 * k], tree[2 * k + 1]);
    tree[0] = 0;
    return tree;
}

} // namespace Verarov::Dictionary
