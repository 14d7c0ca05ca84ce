#pragma once

#include "dictionary/keylist.h"
#include "lookup/prefixindex.h"

#include <QStringView>

#include <functional>

namespace Verarov::Lookup {

class TraditionalForms;

// What a lookup field finds for a text that begins none of its keys, as a
// learner writes: pinyin with tone marks or numbers, ü as v or u:, breaks
// between syllables (liste_pin_ss_accent); traditional or mixed characters
// (liste_dico_ch); French without accents or ligatures (liste_fr).  Only
// asked where the prefix search found nothing, so every row that search
// finds stays as it was.
class LearnerLookup
{
    Q_DISABLE_COPY_MOVE(LearnerLookup)

public:
    using FirstWithPrefix = std::function<int(QStringView)>;

    // firstWithPrefix: the field's own prefix search (first row whose key
    // begins with a text, case ignored).  traditional: where traditional
    // forms come from; by default the dictionary's (traditionalForms).
    LearnerLookup(Dictionary::KeyList keys, FirstWithPrefix firstWithPrefix,
                  const TraditionalForms *traditional = nullptr);
    ~LearnerLookup();

    // The row to select for the typed text; -1 for none.
    //  pinyin: the first row, from the top, whose key begins with the
    //    normalised key and whose entry's reading agrees with the tones,
    //    breaks and ü typed ("ma3" -> the first "ma" row read mǎ);
    //  Chinese: with a dictionary that gives traditional forms, the first
    //    entry whose traditional writing begins with the text; else (and
    //    for mixed texts) the first row beginning with the simplified text,
    //    the first of those whose headword the text writes when several do;
    //  French: the first row whose key, folded (foldFrench), begins with the
    //    folded text.
    int find(QStringView typed) const;

private:
    int findPinyin(QStringView typed) const;
    int findChinese(QStringView typed) const;
    int findFrench(QStringView typed) const;

    Dictionary::KeyList m_keys;
    FirstWithPrefix m_firstWithPrefix;
    const TraditionalForms *m_traditional;
    // Read where the dictionary holds it: the folded French keys' index
    // (French), the traditional writings' index (Chinese); else empty.
    PrefixIndex m_alternativeIndex;
};

} // namespace Verarov::Lookup
