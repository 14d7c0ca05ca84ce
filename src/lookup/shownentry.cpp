#include "lookup/shownentry.h"

#include "dictionary/text.h"

namespace Verarov::Lookup {

GlossForm glossFormOf(Dictionary::List list)
{
    return list == Dictionary::List::FrenchKeys ? GlossForm::AsStored : GlossForm::Trimmed;
}

ShownEntry entryToShow(const Dictionary::Tables &tables, int entry, GlossForm form)
{
    if (entry < 0 || entry >= tables.entryCount())
        return {};
    const QStringView gloss = tables.gloss(entry);
    return {entry, tables.headword(entry), tables.pinyin(entry),
            form == GlossForm::Trimmed ? trimmed(gloss) : gloss};
}

ShownEntry rowToShow(const Dictionary::KeyList &keys, int row)
{
    if (row < 0 || row >= keys.count())
        return {};
    return entryToShow(keys.tables(), keys.entry(row), glossFormOf(keys.list()));
}

ShownEntry rowToShow(const Dictionary::Tables &tables, Dictionary::EntryRange words, int row)
{
    if (row < 0 || row >= words.size())
        return {};
    return entryToShow(tables, words.begin + row, GlossForm::Trimmed);
}

} // namespace Verarov::Lookup
