#include "dictionary/indexes_p.h"

#include "dictionary/casefolding.h"
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

TrieBuild buildTrie(const Tables &tables)
{
    // Every headword a candidate can equal, folded, in one buffer.
    std::vector<char16_t> folded;
    std::vector<std::size_t> foldedAt(std::size_t(tables.entryCount()) + 1);
    std::vector<quint32> order;
    for (int e = 0; e < tables.entryCount(); ++e) {
        const QStringView headword = tables.headword(e);
        foldedAt[std::size_t(e)] = folded.size();
        if (headword.isEmpty() || headword.size() > kLongestTrieHeadword
            || std::any_of(headword.begin(), headword.end(),
                           [](QChar c) { return breaksWords(c.unicode()); }))
            continue;
        folded.resize(folded.size() + std::size_t(headword.size()));
        foldCodePoints(headword, folded.data() + foldedAt[std::size_t(e)]);
        order.push_back(quint32(e));
    }
    const auto foldedKey = [&](quint32 e) {
        return std::u16string_view(folded.data() + foldedAt[e],
                                   std::size_t(tables.headword(int(e)).size()));
    };
    const auto spellingOf = [&](quint32 e) {
        const QStringView h = tables.headword(int(e));
        return std::u16string_view(h.utf16(), std::size_t(h.size()));
    };

    // The trie as linked nodes first (0 is the root), each folded text
    // inserted in order, so that children come in the order of their units.
    struct Linked
    {
        char16_t unit = 0;
        quint32 first = HeadwordTrie::kNoEntry;
        quint32 group = 0;
        std::vector<quint32> children;
    };
    std::vector<Linked> linked(1);

    TrieBuild trie;
    // Groups of headwords that fold alike are runs of this order; inside a
    // group, each exact spelling is a run too, its entries in entry order.
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

        quint32 node = 0;
        for (const char16_t unit : key) {
            const std::vector<quint32> &children = linked[node].children;
            if (!children.empty() && linked[children.back()].unit == unit) {
                node = children.back();
            } else {
                linked.push_back({unit, HeadwordTrie::kNoEntry, 0, {}});
                linked[node].children.push_back(quint32(linked.size() - 1));
                node = quint32(linked.size() - 1);
            }
        }
        linked[node].first = first;
        linked[node].group = quint32(trie.groups.size()) << 8 | run;
        trie.groups.push_back(group);
        begin = end;
    }

    // Numbered breadth first: the children of a node get consecutive
    // numbers, and the root's children are 0, 1 ... in the order of their
    // units.
    std::vector<quint32> breadthFirst = linked[0].children;
    for (std::size_t i = 0; i < breadthFirst.size(); ++i) {
        const std::vector<quint32> &children = linked[breadthFirst[i]].children;
        breadthFirst.insert(breadthFirst.end(), children.begin(), children.end());
    }
    std::vector<quint32> number(linked.size());
    for (std::size_t i = 0; i < breadthFirst.size(); ++i)
        number[breadthFirst[i]] = quint32(i);
    trie.nodes.reserve(breadthFirst.size());
    trie.units.reserve(breadthFirst.size());
    for (const quint32 l : breadthFirst) {
        const Linked &node = linked[l];
        const quint32 childBegin = node.children.empty() ? 0 : number[node.children.front()];
        trie.nodes.push_back({childBegin, quint32(node.children.size()), node.first, node.group});
        trie.units.push_back(node.unit);
    }
    for (const quint32 c : linked[0].children) {
        const char16_t unit = linked[c].unit;
        trie.firstUnits[unit >> 5] |= quint32(1) << (unit & 31);
    }
    for (quint32 w = 1; w < kFirstUnitWords; ++w)
        trie.firstUnitRanks[w] =
                trie.firstUnitRanks[w - 1] + quint32(std::popcount(trie.firstUnits[w - 1]));
    return trie;
}

template<typename T>
void append(QByteArray &out, const T *data, std::size_t count)
{
    out.append(reinterpret_cast<const char *>(data), qsizetype(count * sizeof(T)));
}

} // namespace

QByteArray buildIndexes(const Tables &tables)
{
    const std::vector<quint32> trees[kIndexedLists] = {
            buildPrefixTree(tables.entryCount(), [&](int row) { return tables.headword(row); }),
            buildPrefixTree(tables.pinyinKeyCount(),
                            [&](int row) { return tables.pinyinKey(row); }),
            buildPrefixTree(tables.frenchKeyCount(),
                            [&](int row) { return tables.frenchKey(row); }),
            buildPrefixTree(tables.frenchKeyCount(),
                            [&](int row) { return tables.foldedFrenchKey(row); }),
            buildPrefixTree(tables.hasTraditionalForms() ? tables.entryCount() : 0,
                            [&](int row) { return tables.traditionalWriting(row); }),
    };
    const TrieBuild trie = buildTrie(tables);

    const IndexHeader header{quint32(trie.nodes.size()), quint32(trie.groups.size()),
                             quint32(trie.spellings.size()), quint32(trie.entries.size())};
    QByteArray out;
    append(out, &header, 1);
    for (const std::vector<quint32> &tree : trees)
        append(out, tree.data(), tree.size());
    append(out, trie.firstUnits.data(), trie.firstUnits.size());
    append(out, trie.firstUnitRanks.data(), trie.firstUnitRanks.size());
    append(out, trie.nodes.data(), trie.nodes.size());
    append(out, trie.groups.data(), trie.groups.size());
    append(out, trie.spellings.data(), trie.spellings.size());
    append(out, trie.entries.data(), trie.entries.size());
    append(out, trie.units.data(), trie.units.size());
    if (trie.units.size() % 2)
        out.append(2, '\0');
    return out;
}

bool readIndexes(QByteArrayView section, const quint32 (&rowCounts)[kIndexedLists],
                 quint32 entryCount, bool checkBounds, IndexViews *views)
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
            const quint32 *tree = v.trees[list];
            if (std::any_of(tree, tree + 2 * quint64(rows),
                            [rows](quint32 r) { return r >= rows; }))
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
        for (const NodeRecord &node : std::span(arrays.nodes, header.nodeCount)) {
            if (node.childBegin > header.nodeCount
                || node.childCount > header.nodeCount - node.childBegin)
                return false;
            if (node.first != HeadwordTrie::kNoEntry
                && (node.first >= entryCount || (node.group >> 8) >= header.groupCount
                    || (node.group & 0xff) > entryCount - node.first))
                return false;
        }
        for (const Group &group : std::span(arrays.groups, header.groupCount)) {
            if (group.spellingBegin > header.spellingCount
                || group.spellingCount > header.spellingCount - group.spellingBegin
                || group.foldedSpelling < -1 || group.foldedSpelling >= qint64(group.spellingCount))
                return false;
        }
        for (const Spelling &spelling : std::span(arrays.spellings, header.spellingCount)) {
            if (spelling.entryCount == 0 || spelling.entryBegin > header.entryRefCount
                || spelling.entryCount > header.entryRefCount - spelling.entryBegin)
                return false;
        }
        if (std::any_of(arrays.entries, arrays.entries + header.entryRefCount,
                        [entryCount](quint32 e) { return e >= entryCount; }))
            return false;
    }
    v.trie = HeadwordTrie(arrays);
    *views = v;
    return true;
}

} // namespace Verarov::Dictionary
