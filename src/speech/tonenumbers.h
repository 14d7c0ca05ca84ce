#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Speech {

// Marked pinyin to tone numbers, the way the pinyin voice reads it: one
// syllable a word, lower case, the tone as a digit after it (5 for the
// neutral tone), ü as v, a lone erhua r joined to the syllable before,
// apostrophes as syllable breaks; a word with no vowel is kept as it is.
//   "Yín háng" -> "yin2 hang2"   "nǚ'ér" -> "nv3 er2"   "yí ge jìn r" -> "yi2 ge5 jinr4"
QString toToneNumbers(QStringView pinyin);

// Whether a text holds a Chinese character (then it is read as characters,
// not as pinyin).
bool hasChineseCharacter(QStringView text);

} // namespace Verarov::Speech
