#pragma once

#include <QStringView>

namespace Verarov::Dictionary {

// Letter case ignored, the one way the program knows: simple Unicode case
// folding (QChar::toCaseFolded), from one table of the 65,536 code units
// built on first use.

// The table: unit -> folded unit.  A unit whose folding would leave the
// BMP, and every surrogate, maps to itself.  "É" -> "é", "Σ" and "ς" -> "σ",
// "ẞ" -> "ß", never "ss".
const char16_t *caseFoldingTable();

// One code unit folded alone: the comparison of the lookup fields, where a
// surrogate stays itself.
inline char16_t foldUnit(char16_t unit)
{
    return caseFoldingTable()[unit];
}

// Folds text code point by code point into out (text.size() units): a
// surrogate pair folds as the character it encodes, a lone surrogate stays
// as it is.  This is the comparison of QString::compare(...,
// Qt::CaseInsensitive); folding keeps lengths.  "𐐀" -> "𐐨" (U+10400 ->
// U+10428), "Ｘ光" -> "ｘ光".
void foldCodePoints(QStringView text, char16_t *out);

// Folds the surrogate pair high, low into out[0], out[1]; a pair whose
// folding would leave the supplementary planes (none in Unicode) is kept.
void foldPair(char16_t high, char16_t low, char16_t *out);

// The Unicode version of the folding in use: indexes built with another
// are built again.
quint32 caseFoldingVersion();

} // namespace Verarov::Dictionary
