#pragma once

#include "dictionary/headwordtrie.h"
#include "dictionary/tables.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <functional>
#include <vector>

namespace Verarov::Dictionary {

// The index section of a compiled dictionary, after its pool: what the
// lookups and the translation search, derived from the texts alone.
//
//   IndexHeader
//   quint32    headwordTree[2 * entryCount]    the prefix trees (prefixtree.h)
//   quint32    pinyinTree[2 * pinyinKeyCount]  of Headwords,
//   quint32    frenchTree[2 * frenchKeyCount]  PinyinKeys and FrenchKeys
//   quint32    foldedFrenchTree[2 * frenchKeyCount]   of the folded French
//                                                     keys (foldedFrenchKey)
//   quint32    traditionalTree[2 * traditionalCount]  of the entries by
//                                                     traditionalWriting
//   quint32    firstUnits[2048]                the headword trie (headwordtrie.h)
//   quint32    firstUnitRanks[2048]
//   NodeRecord nodes[nodeCount]
//   Group      groups[groupCount]
//   Spelling   spellings[spellingCount]
//   quint32    entries[entryRefCount]
//   char16_t   units[nodeCount]               (two bytes of padding when odd)
struct IndexHeader
{
    quint32 nodeCount;
    quint32 groupCount;
    quint32 spellingCount;
    quint32 entryRefCount;
};

// The lists that have a prefix tree, in the order of their trees.
enum class IndexedTree {
    Headwords,
    PinyinKeys,
    FrenchKeys,
    FoldedFrenchKeys, // Tables::foldedFrenchKey of each French key row
    Traditional,      // Tables::traditionalWriting of each entry, when given
};
inline constexpr int kIndexedLists = 5;

// Views of an index section; the trees in the order of kIndexedLists.
struct IndexViews
{
    const quint32 *trees[kIndexedLists] = {};
    HeadwordTrie trie;
};

// Builds the index section of tables from their texts alone.
QByteArray buildIndexes(const Tables &tables);

// Where an index section goes, piece by piece.
using IndexBytes = std::function<void(const char *data, std::size_t size)>;

// Writes the index section of entryCount entries with these headwords, in
// entry order; treeOf gives the prefix tree of each indexed list, asked for
// one after the other in the order of IndexedTree, each let go once
// written.  Returns the section's size in bytes.
quint64 writeIndexes(int entryCount, const std::function<QStringView(int)> &headwordAt,
                     const std::function<std::vector<quint32>(IndexedTree)> &treeOf,
                     const IndexBytes &out);

// Reads an index section laid out for tables with these counts.  With
// checkBounds, every number that is followed (a row, a node, a group, a
// spelling, an entry) is checked to lie inside what it points into; with
// mapped too, the section is a file mapping whose pages are let go as they
// are checked.  False when the section does not fit or a number points
// outside.
bool readIndexes(QByteArrayView section, const quint32 (&rowCounts)[kIndexedLists],
                 quint32 entryCount, bool checkBounds, IndexViews *views, bool mapped = false);

} // namespace Verarov::Dictionary
