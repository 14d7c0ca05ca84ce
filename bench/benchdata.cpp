#include "benchdata.h"

#include "dictionary/builder.h"
#include "dictionary/loader.h"

#include <QFile>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

// Entries of made-up words: two or three senses each, some capitals and
// accented letters, so that case folding and accents both matter.
Verarov::Dictionary::Tables generated()
{
    QRandomGenerator random(20261207);
    const QStringList syllables{u"a"_s,  u"à"_s,   u"ba"_s,  u"bé"_s, u"cha"_s, u"de"_s,
                                u"é"_s,  u"fo"_s,  u"gra"_s, u"i"_s,  u"la"_s,  u"mè"_s,
                                u"no"_s, u"ou"_s,  u"pre"_s, u"ré"_s, u"sa"_s,  u"ti"_s,
                                u"u"_s,  u"ver"_s, u"ç"_s,   u"zo"_s, u"ê"_s,   u"Lu"_s};
    auto word = [&] {
        QString w;
        const int n = random.bounded(1, 5);
        for (int i = 0; i < n; ++i)
            w += syllables[random.bounded(int(syllables.size()))];
        if (random.bounded(10) == 0)
            w[0] = w[0].toUpper();
        return w;
    };
    QList<Verarov::Dictionary::Entry> entries;
    const QString hanzi = u"的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年"_s;
    for (int i = 0; i < 45000; ++i) {
        QString headword;
        for (int k = random.bounded(1, 4); k > 0; --k)
            headword += hanzi[random.bounded(int(hanzi.size()))];
        QStringList senses;
        for (int k = random.bounded(2, 4); k > 0; --k)
            senses << word() + (random.bounded(2) ? u" "_s + word() : QString());
        entries.append({headword, u"pin yin"_s, senses.join(u" / "_s)});
    }
    return Verarov::Dictionary::Tables::fromCompiled(Verarov::Dictionary::compile(entries));
}

} // namespace

BenchDictionary benchDictionary()
{
    QString path = qEnvironmentVariable("VERAROV_DICTIONARY");
    if (path.isEmpty())
        path = QStringLiteral(VERAROV_SHARED_DIR "/data/cfdict.u8");
    if (QFile::exists(path)) {
        Verarov::Dictionary::Loaded loaded = Verarov::Dictionary::loadExternal(path);
        if (loaded.failure.isEmpty())
            return {loaded.tables, path};
    }
    return {generated(), u"generated"_s};
}
