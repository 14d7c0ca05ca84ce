#pragma once

#include <QByteArray>
#include <QStringView>

namespace Verarov::Dictionary {

// The key collation that orders both key lists and the homographs.
//
// Three levels, each deciding only on a tie of the previous ones; letter case
// counts at none of them:
//  1. Primary: letters count as their base letter (a = A = à = Â; æ = "ae",
//     œ = "oe", ß = "ss"); "-" and "'" are skipped; anything else is a symbol.
//     Symbols < digits < letters; the blank is the first symbol, the other
//     symbols follow in code-point order (this includes every non-Latin
//     character, Chinese included).  Only ASCII 0-9 are digits.
//     A prefix sorts before the longer text.
//  2. Diacritics, compared from the last letter towards the first:
//     none < acute < grave < caron < macron < circumflex < diaeresis
//     < tilde < ring < cedilla < any other mark or a stroke (ø, đ, ł).  A
//     letter with two marks (ǘ) sorts after its first mark alone (ü), and
//     among the letters with that first mark by the second mark.
//  3. Hyphens and apostrophes: a text without them sorts first; otherwise
//     the texts compare by the places of their hyphens and apostrophes
//     (earlier place first; at the same place "-" before "'").
//
// Every comparison goes through a precomputed sort key: byte strings whose
// plain lexicographic order (memcmp, shorter prefix first) is the collation.
QByteArray collationKey(QStringView text);

// Three-way comparison of two texts under the collation (<0, 0, >0).
int collationCompare(QStringView a, QStringView b);

} // namespace Verarov::Dictionary
