#pragma once

#include "dictionary/tables.h"

#include <QList>
#include <QString>

namespace Verarov::Dictionary {

struct CheckReport
{
    int entries = 0;
    int distinctHeadwords = 0;
    int homographGroups = 0; // headwords that stand on several rows
    int pinyinKeys = 0;
    int frenchKeys = 0;
    int entriesWithoutFrenchKey = 0;
    int entriesWithTraditionalForm = 0; // whose traditional form differs
    QList<QString> violations;          // one line each, empty when all holds
};

// Checks every invariant of the tables that holds for any dictionary:
// row contents (no empty row, no control character, BMP only, headword of
// at most 7 code units, single blanks in pinyin and gloss, "/" only as
// " / "), keys derived from their entries (each entry's pinyin key exactly
// once, its French keys exactly), the orders of the entry and key lists,
// adjacent homographs that differ in pinyin or gloss, each entry's output
// line made of its fields, each French key's folded form (foldFrench, up to
// letter case), traditional forms without control characters and other
// than their headwords, indexes that are those of the texts
// (indexesAgreeWithTexts).
CheckReport check(const Tables &tables);

// True when the indexes the tables carry are those the build step makes
// from their texts: the lookups and the translation then give the answers
// of the plain scans.  A cache damaged in range fails it.
bool indexesAgreeWithTexts(const Tables &tables);

} // namespace Verarov::Dictionary
