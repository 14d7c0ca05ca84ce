#include "lookup/wordinfo.h"

#include <algorithm>

namespace Verarov::Lookup {

namespace {

struct WordInfoRow
{
    const char16_t *word;
    quint8 hskLevel;
    quint16 frequencyRank;
};

#include "lookup/wordinfodata.inc"

} // namespace

WordInfo wordInfo(QStringView headword)
{
    const auto row = std::lower_bound(
            std::begin(kWordInfo), std::end(kWordInfo), headword,
            [](const WordInfoRow &r, QStringView w) { return QStringView(r.word) < w; });
    if (row == std::end(kWordInfo) || QStringView(row->word) != headword)
        return {};
    return {row->hskLevel, row->frequencyRank};
}

} // namespace Verarov::Lookup
