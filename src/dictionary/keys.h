#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace Verarov::Dictionary {

// Toneless key of a pinyin: blanks, apostrophes and combining marks dropped,
// letters with marks lowered to their base letter, everything else kept.
// "Ā fù hàn" -> "afuhan", "C T sǎo miáo" -> "CTsaomiao", "ḿ ňg ê̄" -> "mnge"
QString pinyinKey(QStringView pinyin);

// A sense reduced to the Windows-1252 repertoire: encodable characters stay,
// fullwidth forms U+FF01-U+FF5E become ASCII, U+3000 a blank, anything else
// "?".  "OMS (世界)" -> "OMS (??)", "fi！" -> "fi!"
QString reduceToWindows1252(QStringView sense);

// True when the code unit is a letter of Windows-1252 (ASCII letters,
// accented letters and ligatures such as é, Œ, ß).
bool isWindows1252Letter(char16_t c);

// French keys of a gloss: each " / "-separated sense reduced to
// Windows-1252 and stripped of blanks; only senses that then begin with a
// letter give a key.  "(un) peu de" -> {}, "fi！ / pouah！" -> {"fi!", "pouah!"}
QList<QString> frenchKeys(QStringView gloss);

// Offsets and lengths of the senses of a gloss, split at " / ", for callers
// that keep views into the gloss.
struct SenseSpan
{
    qsizetype offset;
    qsizetype length;
};
QList<SenseSpan> senseSpans(QStringView gloss);

// A code unit taken apart: its base letter, folded to lower case
// (foldUnit), and up to two combining marks in canonical order.
// "ǘ" -> u, U+0308, U+0301;  "É" -> e, U+0301;  "中" -> 中
struct DecomposedUnit
{
    char16_t base = 0;
    char16_t marks[2] = {0, 0};
};
DecomposedUnit decomposeUnit(char16_t c);

// French as typed without accents or ligatures: marks dropped, œ æ ß
// written out (oe, ae, ss), lower case.  "Élève" -> "eleve", "Œuf" -> "oeuf"
// The French keys' folded index is laid out with it.
QString foldFrench(QStringView text);

} // namespace Verarov::Dictionary
