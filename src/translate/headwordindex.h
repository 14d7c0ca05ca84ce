#pragma once

#include "dictionary/casefolding.h"
#include "dictionary/headwordtrie.h"
#include "dictionary/tables.h"

#include <QChar>
#include <QStringView>

#include <vector>

namespace Verarov::Translate {

// Longest headword a translation can find, in code units.
inline constexpr int kWindow = Dictionary::kLongestTrieHeadword;
static_assert(kWindow == 7);

// The headwords of a dictionary by exact and by case-folded text, read
// from the trie the dictionary carries (Tables::headwordTrie): nothing is
// built.  Letter case is ignored as QString::compare(...,
// Qt::CaseInsensitive) ignores it (Dictionary::foldCodePoints): "ｘ光" and
// "Ｘ光" fold alike; "ß" and "ss" do not.
//
// match() gives, for the text at one position, the entries one matching step
// writes and the number of code units it consumes: the longest candidate (at
// most kWindow units, none holding CR, LF or TAB) whose folded text is a
// headword's; then the first entry whose headword equals it with case
// ignored, followed by every later entry whose headword equals it exactly.
// Same result as scanning the headword list for each candidate, without
// the scans.
class HeadwordIndex
{
public:
    explicit HeadwordIndex(Dictionary::Tables tables);

    const Dictionary::Tables &tables() const { return m_tables; }

    // window: the next code units of the text (at most kWindow are used).
    // Appends the entries to write to *entries and returns the consumed
    // length: that of the candidate found, or 1 when none is (0 for an
    // empty window).
    int match(QStringView window, std::vector<int> *entries) const;

    // True when no headword begins with this unit once folded: a quick way
    // past text that begins no word (ASCII, blanks, punctuation).
    bool beginsNothing(char16_t unit) const
    {
        return !m_trie.beginsSome(m_fold[unit]) && !QChar::isSurrogate(unit);
    }

private:
    Dictionary::Tables m_tables;
    Dictionary::HeadwordTrie m_trie; // views into m_tables' buffer
    const char16_t *m_fold;          // Dictionary::caseFoldingTable()
};

} // namespace Verarov::Translate
