#pragma once

#include "dictionary/keys.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace Verarov::Lookup {

// Pinyin as a learner types it, reduced to the toneless key of the pinyin
// list (lower case, ü as u) and what the typing says of the reading: tones
// given by marks or numbers, syllable breaks given by a blank, an apostrophe
// or a tone number, and letters written as ü (ü, v, u:).
//   "ni3hao3" -> key "nihao", tones {0-1: 3, 2-4: 3}, breaks {2, 5}
//   "nǐ hǎo"  -> key "nihao", tones {1: 3, 3: 3}, breaks {2}
//   "xi'an"   -> key "xian",  breaks {2};   "lv4" -> key "lu", ü at 1, tone 4
// Tone 5 or 0 is the neutral tone (5); a number counts only right after a
// letter.  An "r" after a break and before no vowel is the erhua ending:
// no break before it, and no neutral tone of its own ("na3r", "jin4 r5").
// Characters that are not pinyin (digits 6-9, punctuation, Chinese) stay in
// the key as they are, so it matches nothing.
struct PinyinQuery
{
    // The syllable holding key offsets from to at has this tone: a mark
    // names its letter (from = at), a number the letters since the last
    // break ("xian1": 0 to 3, so xiān and not xī ān).
    struct Tone
    {
        qsizetype from;
        qsizetype at;
        int tone; // 1-5
        friend bool operator==(const Tone &, const Tone &) = default;
    };
    QString key;
    QList<Tone> tones;
    QList<qsizetype> breaks;  // key offsets where a syllable begins
    QList<qsizetype> umlauts; // key offsets written as ü

    // True when the query asks more of a reading than its key.
    bool constrainsReading() const
    {
        return !tones.isEmpty() || !breaks.isEmpty() || !umlauts.isEmpty();
    }
};

PinyinQuery normalisePinyin(QStringView typed);

// True when an entry's pinyin (with marks, syllables separated by blanks,
// as the dictionary stores it) agrees with the query: its toneless letters
// begin with the key (case ignored), every tone given is the tone of the
// syllable holding those offsets (no mark: 5), every break is where a
// syllable begins or the reading ends, every ü given is a ü, and a u after
// l or n typed plain is no ü (but "lue", "nue" are also lüe, nüe).  A lone
// "r" syllable belongs to the syllable before it (erhua).  Syllables are
// told apart by the blanks of the reading only.
//   query "ma3" and "mǎ" -> true;  "ma3" and "mā" -> false;  "ma3" and "mǎng" -> false
bool readingMatches(const PinyinQuery &query, QStringView pinyin);

// French as typed without accents or ligatures (Dictionary::foldFrench,
// which lays out the French keys' folded index).  "Élève" -> "eleve"
using Dictionary::foldFrench;

} // namespace Verarov::Lookup
