#include "translate/headwordindex.h"

#include <algorithm>

namespace Verarov::Translate {

namespace {

using Dictionary::HeadwordTrie;
using Node = HeadwordTrie::Node;

constexpr bool breaksWords(char16_t unit)
{
    return unit == u'\n' || unit == u'\r' || unit == u'\t';
}

} // namespace

HeadwordIndex::HeadwordIndex(Dictionary::Tables tables)
    : m_tables(std::move(tables)), m_trie(m_tables.headwordTrie()),
      m_fold(Dictionary::caseFoldingTable())
{ }

int HeadwordIndex::match(QStringView window, std::vector<int> *entries) const
{
    const int available = int(std::min<qsizetype>(window.size(), kWindow));
    if (available == 0)
        return 0;
    const char16_t *raw = window.utf16();
    // The text is walked down the trie once.  After n units: nodes[n], the
    // node of the folded candidate of length n (kNone when no headword
    // begins so); key, its folded units; same[n], whether folding left the
    // candidate as it is.
    char16_t key[kWindow];
    Node nodes[kWindow + 1];
    bool same[kWindow + 1];
    nodes[0] = HeadwordTrie::kRoot;
    same[0] = true;
    int best = 0;
    Node bestNode = HeadwordTrie::kNone;
    for (int n = 1; n <= available; ++n) {
        const char16_t unit = raw[n - 1];
        if (breaksWords(unit))
            break;
        Node node;
        if (QChar::isLowSurrogate(unit) && n >= 2 && QChar::isHighSurrogate(raw[n - 2])) {
            // Each candidate is folded on its own: a high surrogate at its
            // end stayed as it is, and now folds with its low surrogate, so
            // the walk takes the last two units again.
            Dictionary::foldPair(raw[n - 2], unit, key + n - 2);
            node = nodes[n - 2] == HeadwordTrie::kNone ? HeadwordTrie::kNone
                                                       : m_trie.child(nodes[n - 2], key[n - 2]);
            if (node != HeadwordTrie::kNone)
                node = m_trie.child(node, key[n - 1]);
            same[n] = same[n - 2] && key[n - 2] == raw[n - 2] && key[n - 1] == unit;
        } else {
            key[n - 1] = m_fold[unit];
            node = nodes[n - 1] == HeadwordTrie::kNone ? HeadwordTrie::kNone
                                                       : m_trie.child(nodes[n - 1], key[n - 1]);
            same[n] = same[n - 1] && key[n - 1] == unit;
        }
        nodes[n] = node;
        // A high surrogate may yet fold with the low one after it, along
        // another path: the walk goes on past it.
        if (node == HeadwordTrie::kNone) {
            if (!QChar::isHighSurrogate(unit))
                break;
            continue;
        }
        if (m_trie.firstEntry(node) >= 0) {
            best = n;
            bestNode = node;
        }
        if (!m_trie.hasChildren(node) && !QChar::isHighSurrogate(unit))
            break;
    }
    if (best == 0)
        return 1;

    // The first entry with case ignored, then the later ones of the exact
    // spelling.  A candidate that folding leaves as it is can only be the
    // spelling that is the folded text, whose entries are most often a run.
    const int first = m_trie.firstEntry(bestNode);
    if (same[best]) {
        if (const int run = m_trie.foldedRun(bestNode); run > 0) {
            for (int e = first; e < first + run; ++e)
                entries->push_back(e);
            return best;
        }
    }
    entries->push_back(first);
    const int group = m_trie.group(bestNode);
    int spelling = -1;
    if (same[best]) {
        spelling = m_trie.foldedSpelling(group);
    } else {
        const QStringView candidate = window.first(best);
        for (int s = 0; s < m_trie.spellingCount(group); ++s) {
            if (m_tables.headword(int(m_trie.spelling(group, s).front())) == candidate) {
                spelling = s;
                break;
            }
        }
    }
    if (spelling >= 0) {
        const std::span<const quint32> exact = m_trie.spelling(group, spelling);
        for (auto e = std::upper_bound(exact.begin(), exact.end(), quint32(first));
             e != exact.end(); ++e)
            entries->push_back(int(*e));
    }
    return best;
}

} // namespace Verarov::Translate
