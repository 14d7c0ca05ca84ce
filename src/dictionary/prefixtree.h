#pragma once

#include <QStringView>

#include <functional>
#include <span>
#include <vector>

namespace Verarov::Dictionary {

// The prefix index of a list of n keys, as the compiled dictionary carries
// one for each lookup list: 2n row numbers, a minimum tree over the rows
// sorted by folded key.
//   tree[n + i], i < n: the rows in the order of their keys folded unit by
//     unit (foldUnit), compared unit by unit, a shorter key before the keys
//     it begins, ties by row: the keys that begin with a text, case
//     ignored, are one run of it;
//   tree[k], 1 <= k < n: the smallest row below k, min(tree[2k], tree[2k+1]);
//   tree[0] is 0.  No numbers at all for n = 0.
// Keys "b", "A", "ab" (rows 0, 1, 2): leaves 1, 2, 0.
std::vector<quint32> buildPrefixTree(int count, const std::function<QStringView(int)> &keyAt);

// The same tree when the keys are numbered texts, given the rank of each
// row's text among the texts folded (foldUnit, compared unit by unit; texts
// that fold alike share a rank, ranks below rankCount): the rows are sorted
// by rank, ties by row, without a folded copy of every key.
std::vector<quint32> buildPrefixTree(std::span<const quint32> rankOfRow, quint32 rankCount);

} // namespace Verarov::Dictionary
