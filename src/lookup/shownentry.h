#pragma once

#include "dictionary/keylist.h"

#include <QStringView>

namespace Verarov::Lookup {

// How a handler passes the gloss to the entry display: the lookup by
// French key passes it as stored, every other road trimmed.  The stored
// glosses carry no outer blanks, so both show the same text.
enum class GlossForm { Trimmed, AsStored };

// The three texts one lookup hands to the entry display.
struct ShownEntry
{
    int entry = -1; // -1: nothing to show
    QStringView headword;
    QStringView pinyin;
    QStringView gloss;
    bool isValid() const { return entry >= 0; }
};

// The gloss form a row of this list leads to: as stored for FrenchKeys,
// trimmed for Headwords and PinyinKeys.
GlossForm glossFormOf(Dictionary::List list);

// Entry e with its gloss in the given form; invalid for e out of range.
ShownEntry entryToShow(const Dictionary::Tables &tables, int entry, GlossForm form);

// What a selected row of a lookup list shows: row -> entry (the row itself
// or its index-list value) -> gloss in the list's form.  Invalid for -1.
ShownEntry rowToShow(const Dictionary::KeyList &keys, int row);

// What a selected row of the radical browser's word list shows: the list
// is a run of entries, so row -> words.begin + row; gloss trimmed.
// Invalid for a row outside the run.
ShownEntry rowToShow(const Dictionary::Tables &tables, Dictionary::EntryRange words, int row);

} // namespace Verarov::Lookup
