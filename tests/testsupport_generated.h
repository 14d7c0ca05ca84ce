#pragma once

// Test helper: a made-up dictionary whose keys mix letter case, accents,
// tone-marked letters, blanks, CJK characters and surrogate pairs, so that
// exact code units and case folding both matter.

#include "dictionary/builder.h"
#include "dictionary/tables.h"

#include <QRandomGenerator>
#include <QStringList>

inline Verarov::Dictionary::Tables generatedTables(quint32 seed, int entryCount = 1500)
{
    using namespace Qt::StringLiterals;
    QRandomGenerator random(seed);
    const QStringList pieces{u"a"_s,  u"à"_s,  u"A"_s,          u"e"_s,          u"é"_s, u"E"_s,
                             u"É"_s,  u"ch"_s, u"Ch"_s,         u"ine"_s,        u"ī"_s, u"中"_s,
                             u"国"_s, u" "_s,  u"\U00020000"_s, u"\U00020001"_s, u"o"_s, u"ō"_s};
    auto word = [&](int most) {
        QString w;
        for (int n = random.bounded(1, most + 1); n > 0; --n)
            w += pieces[random.bounded(int(pieces.size()))];
        return w;
    };
    QList<Verarov::Dictionary::Entry> entries;
    const QString hanzi = u"中国人大小山水火木"_s;
    for (int i = 0; i < entryCount; ++i) {
        QString headword;
        for (int n = random.bounded(1, 5); n > 0; --n)
            headword += hanzi[random.bounded(int(hanzi.size()))];
        entries.append({headword, u"zhōng guó"_s, word(5) + u" / "_s + word(4)});
    }
    return Verarov::Dictionary::Tables::fromCompiled(Verarov::Dictionary::compile(entries));
}
