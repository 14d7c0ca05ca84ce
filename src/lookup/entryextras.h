#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Lookup {

// The tone of each syllable of a pinyin as shown, for colouring it: 1-4 by
// its mark, 5 (neutral) for none.  "nǐ hǎo" -> 3, 3
int toneOfSyllable(QStringView syllable);

// The colours of the tones, chosen to read on the pale yellow of the text
// fields and on the window's grey: 1 red, 2 orange, 3 green, 4 blue,
// neutral grey (#RRGGBB).
QString toneColour(int tone);

// The pinyin as rich text, each blank-separated syllable in the colour of
// its tone; every text escaped.  "nǐ <b>" -> "<span style=\"color:#1a7f1a\">nǐ</span> ..."
QString toneColouredHtml(QStringView pinyin);

} // namespace Verarov::Lookup
