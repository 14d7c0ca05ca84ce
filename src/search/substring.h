#pragma once

#include "dictionary/keylist.h"
#include "search/rowset.h"

#include <QString>
#include <QStringView>

namespace Verarov::Search {

// What a search found: the rows of the key list, and the French message
// when the list of results could not be built (then nothing is found).
struct Found
{
    RowSet rows;
    QString failure;
};

// Every row of keys whose key contains text as a contiguous run of the same
// UTF-16 code units: letter case, accents and tone marks count, nothing is
// normalised.  A key held by several rows is found once per row.
//   "chine" over {"Chine", "échine", "machine"} -> rows 1 and 2
Found findContaining(const Dictionary::KeyList &keys, QStringView text);

} // namespace Verarov::Search
