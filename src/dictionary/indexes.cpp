#include "dictionary/indexes_p.h"

#include "dictionary/casefolding.h"
#include "dictionary/mapped_p.h"
#include "dictionary/prefixtree.h"
#include "dictionary/tables.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace Verarov::Dictionary {

namespace {

using Node = HeadwordTrie::Node;
using NodeRecord = HeadwordTrie::NodeRecord;
using Group = HeadwordTrie::Group;
using Spelling = HeadwordTrie::Spelling;
constexpr quint32 kFirstUnitWords = HeadwordTrie::kFirstUnitWords;
constexpr quint32 kMaxGroups = 1u << 24; // beside the folded run in NodeRecord::group

constexpr bool breaksWords(char16_t unit)
{
    return unit == u'\n' || unit == u'\r' || unit == u'\t';
}

// The headword trie as it is built, before it is laid out.
struct TrieBuild
{
    std::vector<quint32> firstUnits = std::vector<quint32>(kFirstUnitWords);
    std::vector<quint32> firstUnitRanks = std::vector<quint32>(kFirstUnitWords);
    std::vector<NodeRecord> nodes;
    std::vector<char16_t> units;
    std::vector<Group> groups;
    std::vector<Spelling> spellings;
    std::vector<quint32> entries;
};

// The entries a candidate that is the folded text itself writes (the first
// entry, then the later ones of the folded spelling) as a run from the
// first: its length, or 0 when they are not consecutive or too many.
quint32 foldedRun(quint32 first, std::span<const quint32> foldedSpelling)
{
    quint32 run = 1;
    for (const quint32 e : foldedSpelling) {
        if (e <= first)
            continue;
        if (e != first + run || run == 0xff)
            return 0;
        ++run;
    }
    return run;
}

TrieBuild buildTrie(int count, const std::function<QStringView(int)> &headwordAt)
{
    // Every headword a candidate can equal, folded, in one buffer: the
    // folded key of entry e is [foldedAt[e], foldedAt[e + 1]), empty for a
    // headword left out.
    std::vector<char16_t> folded;
    std::vector<std::size_t> foldedAt(std::size_t(count) + 1);
    std::vector<quint32> order;
    for (int e = 0; e < count; ++e) {
        const QStringView headword = headwordAt(e);
        foldedAt[std::size_t(e)] = folded.size();
        if (headword.isEmpty() || headword.size() > kLongestTrieHeadword
            || std::any_of(headword.begin(), headword.end(),
                           [](QChar c) { return breaksWords(c.unicode()); }))
            continue;
        folded.resize(folded.size() + std::size_t(headword.size()));
        foldCodePoints(headword, folded.data() + foldedAt[std::size_t(e)]);
        order.push_back(quint32(e));
    }
    foldedAt[std::size_t(count)] = folded.size();
    const auto foldedKey = [&](quint32 e) {
        return std::u16string_view(folded.data() + foldedAt[e], foldedAt[e + 1] - foldedAt[e]);
    };
    const auto spellingOf = [&](quint32 e) {
        const QStringView h = headwordAt(int(e));
        return std::u16string_view(h.utf16(), std::size_t(h.size()));
    };

    TrieBuild trie;
    // Groups of headwords that fold alike are runs of this order; inside a
    // group, each exact spelling is a run too, its entries in entry order.
    // Each group's folded key (by an entry that has it), first entry and
    // folded run, in the order of the keys.
    std::vector<quint32> groupKeys;
    std::vector<quint32> groupFirsts;
    std::vector<quint8> groupRuns;
    std::stable_sort(order.begin(), order.end(),
                     [&](quint32 a, quint32 b) { return foldedKey(a) < foldedKey(b); });
    for (std::size_t begin = 0; begin < order.size() && trie.groups.size() < kMaxGroups;) {
        const std::u16string_view key = foldedKey(order[begin]);
        std::size_t end = begin + 1;
        while (end < order.size() && foldedKey(order[end]) == key)
            ++end;
        std::stable_sort(order.begin() + std::ptrdiff_t(begin), order.begin() + std::ptrdiff_t(end),
                         [&](quint32 a, quint32 b) { return spellingOf(a) < spellingOf(b); });
        Group group{quint32(trie.spellings.size()), 0, -1};
        quint32 first = order[begin];
        for (std::size_t i = begin; i < end; ++i) {
            first = std::min(first, order[i]);
            if (i == begin || spellingOf(order[i]) != spellingOf(order[i - 1])) {
                if (spellingOf(order[i]) == key)
                    group.foldedSpelling = qint32(group.spellingCount);
                trie.spellings.push_back({quint32(trie.entries.size()), 0});
                ++group.spellingCount;
            }
            trie.entries.push_back(order[i]);
            ++trie.spellings.back().entryCount;
        }
        const quint32 run =
                group.foldedSpelling < 0
                        ? 1
                        : foldedRun(first,
                                    std::span(trie.entries)
                                            .subspan(trie.spellings[group.spellingBegin
                                                                    + quint32(group.foldedSpelling)]
                                                             .entryBegin,
                                                     trie.spellings[group.spellingBegin
                                                                    + quint32(group.foldedSpelling)]
                                                             .entryCount));
        groupKeys.push_back(order[begin]);
        groupFirsts.push_back(first);
        groupRuns.push_back(quint8(run));
        trie.groups.push_back(group);
        begin = end;
    }
    std::vector<quint32>().swap(order);

    // Numbered breadth first, level by level: the nodes of a level are the
    // distinct prefixes of that length of the keys, in the keys' order, so
    // the children of a node get consecutive numbers in the order of their
    // units, and the root's children are 0, 1 ...
    const std::size_t groupCount = groupKeys.size();
    std::vector<quint32> nodeOf(groupCount); // each key's node on the level above
    std::size_t firstLevel = 0;                // nodes of the first level: the root's children
    for (std::size_t depth = 1;; ++depth) {
        bool any = false;
        std::u16string_view previous;
        for (std::size_t g = 0; g < groupCount; ++g) {
            const std::u16string_view key = foldedKey(groupKeys[g]);
            if (key.size() < depth)
                continue;
            const std::u16string_view prefix = key.substr(0, depth);
            if (!any || prefix != previous) {
                const quint32 node = quint32(trie.nodes.size());
                trie.nodes.push_back({0, 0, HeadwordTrie::kNoEntry, 0});
                trie.units.push_back(prefix.back());
                if (depth > 1) {
                    NodeRecord &parent = trie.nodes[nodeOf[g]];
                    if (parent.childCount == 0)
                        parent.childBegin = node;
                    ++parent.childCount;
                }
            }
            any = true;
            previous = prefix;
            nodeOf[g] = quint32(trie.nodes.size() - 1);
            if (key.size() == depth) {
                trie.nodes.back().first = groupFirsts[g];
                trie.nodes.back().group = quint32(g) << 8 | groupRuns[g];
            }
        }
        if (!any)
            break;
        if (depth == 1)
            firstLevel = trie.nodes.size();
    }
    for (std::size_t i = 0; i < firstLevel; ++i) {
        const char16_t unit = trie.units[i];
        trie.firstUnits[unit >> 5] |= quint32(1) << (unit & 31);
    }
    for (quint32 w = 1; w < kFirstUnitWords; ++w)
        trie.firstUnitRanks[w] =
                trie.firstUnitRanks[w - 1] + quint32(std::popcount(trie.firstUnits[w - 1]));
    return trie;
}

template<typename T>
void put(const IndexBytes &out, const T *data, std::size_t count)
{
    out(reinterpret_cast<const char *>(data), count * sizeof(T));
}

} // namespace

quint64 writeIndexes(int entryCount, const std::function<QStringView(int)> &headwordAt,
                     const std::function<std::vector<quint32>(IndexedTree)> &treeOf,
                     const IndexBytes &out)
{
    quint64 written = 0;
    const IndexBytes counted = [&](const char *data, std::size_t size) {
        written += size;
        out(data, size);
    };
    const TrieBuild trie = buildTrie(entryCount, headwordAt);
    const IndexHeader header{quint32(trie.nodes.size()), quint32(trie.groups.size()),
                             quint32(trie.spellings.size()), quint32(trie.entries.size())};
    put(counted, &header, 1);
    // One tree at a time: each is let go once written.
    for (int list = 0; list < kIndexedLists; ++list) {
        const std::vector<quint32> tree = treeOf(IndexedTree(list));
        put(counted, tree.data(), tree.size());
    }
    put(counted, trie.firstUnits.data(), trie.firstUnits.size());
    put(counted, trie.firstUnitRanks.data(), trie.firstUnitRanks.size());
    put(counted, trie.nodes.data(), trie.nodes.size());
    put(counted, trie.groups.data(), trie.groups.size());
    put(counted, trie.spellings.data(), trie.spellings.size());
    put(counted, trie.entries.data(), trie.entries.size());
    put(counted, trie.units.data(), trie.units.size());
    if (trie.units.size() % 2) {
        const char16_t padding = 0;
        put(counted, &padding, 1);
    }
    return written;
}

QByteArray buildIndexes(const Tables &tables)
{
    QByteArray out;
    writeIndexes(
            tables.entryCount(), [&](int e) { return tables.headword(e); },
            [&](IndexedTree tree) {
                switch (tree) {
                case IndexedTree::PinyinKeys:
                    return buildPrefixTree(tables.pinyinKeyCount(),
                                           [&](int row) { return tables.pinyinKey(row); });
                case IndexedTree::FrenchKeys:
                    return buildPrefixTree(tables.frenchKeyCount(),
                                           [&](int row) { return tables.frenchKey(row); });
                case IndexedTree::FoldedFrenchKeys:
                    return buildPrefixTree(tables.frenchKeyCount(),
                                           [&](int row) { return tables.foldedFrenchKey(row); });
                case IndexedTree::Traditional:
                    return buildPrefixTree(tables.hasTraditionalForms() ? tables.entryCount() : 0,
                                           [&](int row) { return tables.traditionalWriting(row); });
                default: // IndexedTree::Headwords
                    return buildPrefixTree(tables.entryCount(),
                                           [&](int row) { return tables.headword(row); });
                }
            },
            [&](const char *data, std::size_t size) { out.append(data, qsizetype(size)); });
    return out;
}

bool readIndexes(QByteArrayView section, const quint32 (&rowCounts)[kIndexedLists],
                 quint32 entryCount, bool checkBounds, IndexViews *views, bool mapped)
{
    IndexHeader header;
    if (section.size() < qsizetype(sizeof header))
        return false;
    std::memcpy(&header, section.data(), sizeof header);
    quint64 size = sizeof header;
    for (const quint32 rows : rowCounts)
        size += quint64(rows) * 2 * sizeof(quint32);
    size += 2 * kFirstUnitWords * sizeof(quint32) + quint64(header.nodeCount) * sizeof(NodeRecord)
            + quint64(header.groupCount) * sizeof(Group)
            + quint64(header.spellingCount) * sizeof(Spelling)
            + quint64(header.entryRefCount) * sizeof(quint32)
            + (quint64(header.nodeCount) * sizeof(char16_t) + 3) / 4 * 4;
    if (size != quint64(section.size()) || header.nodeCount >= HeadwordTrie::kNone
        || header.groupCount > kMaxGroups)
        return false;

    const char *p = section.data() + sizeof header;
    auto take = [&p](auto *&to, quint64 count) {
        to = reinterpret_cast<std::remove_reference_t<decltype(to)>>(p);
        p += count * sizeof *to;
    };
    IndexViews v;
    for (int list = 0; list < kIndexedLists; ++list)
        take(v.trees[list], quint64(rowCounts[list]) * 2);
    HeadwordTrie::Arrays arrays;
    take(arrays.firstUnits, kFirstUnitWords);
    take(arrays.firstUnitRanks, kFirstUnitWords);
    take(arrays.nodes, header.nodeCount);
    take(arrays.groups, header.groupCount);
    take(arrays.spellings, header.spellingCount);
    take(arrays.entries, header.entryRefCount);
    take(arrays.units, header.nodeCount);
    arrays.nodeCount = header.nodeCount;

    if (checkBounds) {
        for (int list = 0; list < kIndexedLists; ++list) {
            const quint32 rows = rowCounts[list];
            if (!allOfInPieces(v.trees[list], 2 * quint64(rows), mapped,
                               [rows](quint32 r) { return r < rows; }))
                return false;
        }
        // The root's children are nodes numbered by rank.
        quint64 rank = 0;
        for (quint32 w = 0; w < kFirstUnitWords; ++w) {
            if (arrays.firstUnitRanks[w] != rank)
                return false;
            rank += quint64(std::popcount(arrays.firstUnits[w]));
        }
        if (rank > header.nodeCount)
            return false;
        const auto nodeValid = [&](const NodeRecord &node) {
            if (node.childBegin > header.nodeCount
                || node.childCount > header.nodeCount - node.childBegin)
                return false;
            return node.first == HeadwordTrie::kNoEntry
                   || (node.first < entryCount && (node.group >> 8) < header.groupCount
                       && (node.group & 0xff) <= entryCount - node.first);
        };
        const auto groupValid = [&](const Group &group) {
            return group.spellingBegin <= header.spellingCount
                   && group.spellingCount <= header.spellingCount - group.spellingBegin
                   && group.foldedSpelling >= -1
                   && group.foldedSpelling < qint64(group.spellingCount);
        };
        const auto spellingValid = [&](const Spelling &spelling) {
            return spelling.entryCount != 0 && spelling.entryBegin <= header.entryRefCount
                   && spelling.entryCount <= header.entryRefCount - spelling.entryBegin;
        };
        if (!allOfInPieces(arrays.nodes, header.nodeCount, mapped, nodeValid)
            || !allOfInPieces(arrays.groups, header.groupCount, mapped, groupValid)
            || !allOfInPieces(arrays.spellings, header.spellingCount, mapped, spellingValid)
            || !allOfInPieces(arrays.entries, header.entryRefCount, mapped,
                              [entryCount](quint32 e) { return e < entryCount; }))
            return false;
    }
    v.trie = HeadwordTrie(arrays);
    *views = v;
    return true;
}

} // namespace Verarov::Dictionary
