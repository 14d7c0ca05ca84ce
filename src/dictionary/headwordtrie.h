#pragma once

#include <QtGlobal>

#include <span>

namespace Verarov::Dictionary {

// Longest headword the trie holds, in code units: the window of the file
// translation, which never finds a longer one.
inline constexpr int kLongestTrieHeadword = 7;

// The headwords of a dictionary as a trie of their folded code units
// (foldCodePoints), for the longest-match cut of a text.  The build step
// lays it out with the compiled dictionary; a program maps it and builds
// nothing.
//
// It holds every headword of 1 to kLongestTrieHeadword code units that has
// no CR, LF or TAB (the others can never be found), up to 2^24 distinct
// folded headwords (a group number has 24 bits; a dictionary of 2^24
// headwords would hold gigabytes of text).  A node stands for a
// folded prefix of such headwords.  The headwords that fold to a node's
// text form its group: the first of them in entry order, and each exact
// spelling with its entries in entry order.
//
// Layout, breadth first: the nodes are numbered level by level, and the
// children of a node are consecutive numbers in the order of their units,
// so that the units a text may go on with are side by side in memory (those
// after a frequent character stay in the cache).  The root's children are
// the nodes 0, 1 ...: the one of a first unit u is the number of first
// units below u (a bit per first unit, and the count of bits before each
// word of 32).
class HeadwordTrie
{
public:
    using Node = quint32;
    static constexpr Node kRoot = 0xffffffff; // the empty prefix
    static constexpr Node kNone = 0xfffffffe; // no headword begins so
    static constexpr quint32 kNoEntry = 0xffffffff;

    struct NodeRecord
    {
        quint32 childBegin; // the children: nodes [childBegin, childBegin + childCount)
        quint32 childCount;
        quint32 first; // first entry of the group, or kNoEntry: only a prefix
        quint32 group; // the group: group number << 8 | folded run (see foldedRun)
    };
    struct Group
    {
        quint32 spellingBegin; // its spellings, in headword order
        quint32 spellingCount;
        qint32 foldedSpelling; // the spelling that is the folded text itself, or -1
    };
    struct Spelling
    {
        quint32 entryBegin; // into the entry list; entries in entry order
        quint32 entryCount; // at least 1
    };
    static constexpr quint32 kFirstUnitWords = 0x10000 / 32;
    // The arrays as laid out, checked by whoever made or read them.
    struct Arrays
    {
        const quint32 *firstUnits = nullptr;     // bit per folded first unit
        const quint32 *firstUnitRanks = nullptr; // bits set before each word
        const NodeRecord *nodes = nullptr;
        const char16_t *units = nullptr; // the folded unit of each node
        quint32 nodeCount = 0;
        const Group *groups = nullptr;
        const Spelling *spellings = nullptr;
        const quint32 *entries = nullptr;
    };

    HeadwordTrie() = default;
    explicit HeadwordTrie(const Arrays &arrays) : m(arrays) { }

    // True when some headword's folded text begins with this folded unit.
    bool beginsSome(char16_t folded) const
    {
        return m.firstUnits && (m.firstUnits[folded >> 5] >> (folded & 31) & 1);
    }

    // The node of the node's text followed by the folded unit, or kNone.
    Node child(Node node, char16_t folded) const
    {
        if (node == kRoot) {
            if (!beginsSome(folded))
                return kNone;
            const quint32 word = m.firstUnits[folded >> 5];
            return m.firstUnitRanks[folded >> 5]
                   + bitCount(word & ((quint32(1) << (folded & 31)) - 1));
        }
        // The children's units in order: halved without branches, the
        // searches of a text being unpredictable.
        const NodeRecord &record = m.nodes[node];
        if (record.childCount == 0)
            return kNone;
        const char16_t *at = m.units + record.childBegin;
        for (quint32 n = record.childCount; n > 1;) {
            const quint32 half = n / 2;
            at = at[half] <= folded ? at + half : at;
            n -= half;
        }
        return *at == folded ? Node(at - m.units) : kNone;
    }

    // False when no longer headword begins with the node's text.
    bool hasChildren(Node node) const { return m.nodes[node].childCount > 0; }
    // The first entry whose headword folds to the node's text, or -1.
    int firstEntry(Node node) const
    {
        return m.nodes[node].first == kNoEntry ? -1 : int(m.nodes[node].first);
    }
    // What a candidate that is the node's folded text itself writes, when
    // it is a run: that many entries from the first one on, in entry order.
    // 0 when it is not (then see the spellings of the group).
    int foldedRun(Node node) const { return int(m.nodes[node].group & 0xff); }
    // The node's group, when firstEntry() is not -1.
    int group(Node node) const { return int(m.nodes[node].group >> 8); }

    int spellingCount(int group) const { return int(m.groups[group].spellingCount); }
    // The spelling of the group that is its folded text itself, or -1.
    int foldedSpelling(int group) const { return m.groups[group].foldedSpelling; }
    // The entries of one spelling of the group, in entry order: all have the
    // headword of the first.
    std::span<const quint32> spelling(int group, int i) const
    {
        const Spelling &s = m.spellings[m.groups[group].spellingBegin + quint32(i)];
        return {m.entries + s.entryBegin, s.entryCount};
    }

private:
    // Bits set in a word (without the library call a processor lacking the
    // instruction would need).
    static quint32 bitCount(quint32 x)
    {
        x = x - ((x >> 1) & 0x55555555u);
        x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
        x = (x + (x >> 4)) & 0x0f0f0f0fu;
        return (x * 0x01010101u) >> 24;
    }

    Arrays m;
};

} // namespace Verarov::Dictionary
