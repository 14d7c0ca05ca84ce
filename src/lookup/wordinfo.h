#pragma once

#include <QStringView>

namespace Verarov::Lookup {

// What a learner may want to know of a word besides its entry, from tables
// compiled in (tools/dictdata/learner_tables.py makes them): its level in
// the HSK word list and its rank among the 10,000 most frequent words of
// film subtitles.
struct WordInfo
{
    int hskLevel = 0;      // 1-6; 0: not in the list
    int frequencyRank = 0; // 1 = most frequent; 0: not ranked
};

// "一下" -> {2, 156}; an unknown word -> {0, 0}.
WordInfo wordInfo(QStringView headword);

} // namespace Verarov::Lookup
