#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Dictionary {

// Numbered pinyin to tone marks.  The mark goes on a or e, else on the o of
// "ou", else on the last vowel; "u:" and "v" are ü; tone 5 or no number is
// unmarked; a capital keeps its mark; syllables are joined by one blank.
// "yi2 ge5 jin4 r5" -> "yí ge jìn r", "lu:e4" -> "lüè", "A1 fu4 han4" ->
// "Ā fù hàn".  Tokens that are not syllables ("·", ",") are kept as they are.
QString numberedToMarked(QStringView numbered);

} // namespace Verarov::Dictionary
