#pragma once

#include "dictionary/tables.h"

#include <QStringView>

#include <cstdint>
#include <vector>

namespace Verarov::Translate {

// Longest headword a translation can find, in code units.
inline constexpr int kWindow = 7;

// Case folding used when headwords are compared with letter case ignored:
// simple Unicode case folding of each code point; a lone surrogate stays as
// it is.  This is the comparison of QString::compare(..., Qt::CaseInsensitive).
// "ｘ光" and "Ｘ光" fold alike; "ß" and "ss" do not.
class CaseFolder
{
public:
    CaseFolder();
    // The one table of the program, built on first use.
    static const CaseFolder &shared();
    char16_t bmp(char16_t unit) const { return m_bmp[unit]; }
    // Folds text into out (text.size() units), code point by code point.
    void fold(QStringView text, char16_t *out) const;

private:
    std::vector<char16_t> m_bmp;
};

// The headwords of a dictionary by exact and by case-folded text.
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
        const char16_t f = m_folder.bmp(unit);
        return !(m_firstUnits[f >> 6] & (std::uint64_t(1) << (f & 63)))
                && !QChar::isSurrogate(unit);
    }

private:
    // 12 bytes: the index of a large dictionary holds a few hundred
    // thousand prefixes.
    struct Slot
    {
        std::uint32_t hash = 0;
        std::uint32_t keyOffset : 28 = 0; // into m_keys
        std::uint32_t length : 4 = 0;     // 0: empty slot
        std::int32_t group = -1;          // -1: only a prefix of folded headwords
    };
    // Headwords that fold alike: the first entry, and each exact spelling
    // with its entries in entry order.
    struct Group
    {
        int first;
        std::uint32_t spellingBegin;
        std::uint32_t spellingCount;
    };
    struct Spelling
    {
        int firstEntry; // its text is headword(firstEntry)
        std::uint32_t entryBegin;
        std::uint32_t entryCount;
    };

    static std::uint32_t hashOf(const char16_t *key, int length);
    const Slot *find(const char16_t *key, int length, std::uint32_t hash) const;
    Slot *insert(std::uint32_t hash); // a free slot for a new key

    Dictionary::Tables m_tables;
    const CaseFolder &m_folder;
    std::vector<std::uint64_t> m_firstUnits; // bit per folded first unit
    std::vector<Slot> m_slots;
    std::vector<char16_t> m_keys;
    std::vector<Group> m_groups;
    std::vector<Spelling> m_spellings;
    std::vector<int> m_entries;
};

} // namespace Verarov::Translate
