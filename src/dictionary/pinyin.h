#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Dictionary {

// Numbered pinyin to tone marks, in NFC.  The mark goes on a or e, else on
// the o of "ou", else on the last vowel; a syllable without vowel puts it on
// its m or n ("m2" -> "ḿ", "ng3" -> "ňg"); "u:" and "v" after a letter are ü,
// "e^" is ê; tone 5 or no number is unmarked; a capital keeps its mark;
// syllables are joined by one blank; tokens that are not syllables (",",
// "·", bare digits) are kept as they are.
// "yi2 ge5 jin4 r5" -> "yí ge jìn r", "lu:e4" -> "lüè", "A1 fu4 han4" -> "Ā fù hàn"
// (tests/data/tone_cases.tsv holds every form, shared with the data tools).
QString numberedToMarked(QStringView numbered);

} // namespace Verarov::Dictionary
