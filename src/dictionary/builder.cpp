#include "dictionary/builder.h"

#include "dictionary/collation.h"
#include "dictionary/compiled_p.h"
#include "dictionary/tables.h"
#include "dictionary/keys.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace Verarov::Dictionary {

namespace {

// Appends texts to the pool, reusing the previous text when it repeats
// (homographs share their headword).
class Pool
{
public:
    Tables::Ref add(const QString &text)
    {
        if (text == m_last && !m_units.isEmpty())
            return m_lastRef;
        Tables::Ref ref{quint32(m_units.size()), quint32(text.size())};
        m_units.append(text);
        m_last = text;
        m_lastRef = ref;
        return ref;
    }
    const QString &units() const { return m_units; }

private:
    QString m_units;
    QString m_last;
    Tables::Ref m_lastRef{0, 0};
};

struct SortableKey
{
    QByteArray sortKey;
    quint32 entry;
    Tables::Ref text;
};

void sortKeys(std::vector<SortableKey> &keys)
{
    std::sort(keys.begin(), keys.end(), [](const SortableKey &a, const SortableKey &b) {
        const int c = std::memcmp(a.sortKey.constData(), b.sortKey.constData(),
                                  size_t(std::min(a.sortKey.size(), b.sortKey.size())));
        if (c != 0)
            return c < 0;
        if (a.sortKey.size() != b.sortKey.size())
            return a.sortKey.size() < b.sortKey.size();
        return a.entry < b.entry;
    });
}

QByteArray layout(const std::vector<Tables::Ref> &refs, const std::vector<Tables::KeyRow> &pinyinKeys,
                  const std::vector<Tables::KeyRow> &frenchKeys, const QString &pool)
{
    CompiledHeader header;
    std::memcpy(header.magic, kCompiledMagic, sizeof header.magic);
    header.entryCount = quint32(refs.size() / 3);
    header.pinyinKeyCount = quint32(pinyinKeys.size());
    header.frenchKeyCount = quint32(frenchKeys.size());
    header.poolUnits = quint32(pool.size());

    QByteArray out;
    out.reserve(qsizetype(sizeof header + refs.size() * sizeof(Tables::Ref)
                          + (pinyinKeys.size() + frenchKeys.size()) * sizeof(Tables::KeyRow)
                          + size_t(pool.size()) * 2));
    out.append(reinterpret_cast<const char *>(&header), sizeof header);
    out.append(reinterpret_cast<const char *>(refs.data()),
               qsizetype(refs.size() * sizeof(Tables::Ref)));
    out.append(reinterpret_cast<const char *>(pinyinKeys.data()),
               qsizetype(pinyinKeys.size() * sizeof(Tables::KeyRow)));
    out.append(reinterpret_cast<const char *>(frenchKeys.data()),
               qsizetype(frenchKeys.size() * sizeof(Tables::KeyRow)));
    out.append(reinterpret_cast<const char *>(pool.constData()), pool.size() * 2);
    return out;
}

} // namespace

QByteArray compile(QList<Entry> entries)
{
    // Entry order.  Collation keys are computed only inside homograph runs.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.headword < b.headword;
    });
    for (qsizetype begin = 0; begin < entries.size();) {
        qsizetype end = begin + 1;
        while (end < entries.size() && entries[end].headword == entries[begin].headword)
            ++end;
        if (end - begin > 1) {
            struct Keyed
            {
                QByteArray pinyin, gloss;
                Entry entry;
            };
            std::vector<Keyed> run;
            for (qsizetype i = begin; i < end; ++i)
                run.push_back({collationKey(entries[i].pinyin), collationKey(entries[i].gloss),
                               entries[i]});
            std::stable_sort(run.begin(), run.end(), [](const Keyed &a, const Keyed &b) {
                if (a.pinyin != b.pinyin)
                    return a.pinyin < b.pinyin;
                return a.gloss < b.gloss;
            });
            for (qsizetype i = begin; i < end; ++i)
                entries[i] = run[size_t(i - begin)].entry;
        }
        begin = end;
    }

    Pool pool;
    std::vector<Tables::Ref> refs;
    refs.reserve(size_t(entries.size()) * 3);
    std::vector<SortableKey> pinyinKeys;
    pinyinKeys.reserve(size_t(entries.size()));
    std::vector<SortableKey> frenchKeyRows;
    for (qsizetype e = 0; e < entries.size(); ++e) {
        const Entry &entry = entries[e];
        refs.push_back(pool.add(entry.headword));
        refs.push_back(pool.add(entry.pinyin));
        const Tables::Ref glossRef = pool.add(entry.gloss);
        refs.push_back(glossRef);

        const QString pKey = pinyinKey(entry.pinyin);
        pinyinKeys.push_back({collationKey(pKey), quint32(e), pool.add(pKey)});

        // A French key that is its sense unchanged points into the gloss.
        for (const SenseSpan &span : senseSpans(entry.gloss)) {
            const QStringView sense = QStringView(entry.gloss).sliced(span.offset, span.length);
            const QList<QString> keys = frenchKeys(sense);
            if (keys.isEmpty())
                continue;
            const QString &key = keys.front();
            const qsizetype at = sense.indexOf(key);
            const Tables::Ref ref = at >= 0
                    ? Tables::Ref{quint32(glossRef.offset + span.offset + at), quint32(key.size())}
                    : pool.add(key);
            frenchKeyRows.push_back({collationKey(key), quint32(e), ref});
        }
    }
    sortKeys(pinyinKeys);
    sortKeys(frenchKeyRows);

    auto rows = [](const std::vector<SortableKey> &keys) {
        std::vector<Tables::KeyRow> out;
        out.reserve(keys.size());
        for (const SortableKey &k : keys)
            out.push_back({k.text, k.entry});
        return out;
    };
    return layout(refs, rows(pinyinKeys), rows(frenchKeyRows), pool.units());
}

QByteArray assemble(const QList<Entry> &entries, const QList<RawKey> &pinyinKeys,
                    const QList<RawKey> &frenchKeys)
{
    Pool pool;
    std::vector<Tables::Ref> refs;
    for (const Entry &entry : entries) {
        refs.push_back(pool.add(entry.headword));
        refs.push_back(pool.add(entry.pinyin));
        refs.push_back(pool.add(entry.gloss));
    }
    auto rows = [&](const QList<RawKey> &keys) {
        std::vector<Tables::KeyRow> out;
        for (const RawKey &k : keys)
            out.push_back({pool.add(k.text), quint32(k.entry)});
        return out;
    };
    const std::vector<Tables::KeyRow> pinyin = rows(pinyinKeys);
    const std::vector<Tables::KeyRow> french = rows(frenchKeys);
    return layout(refs, pinyin, french, pool.units());
}

} // namespace Verarov::Dictionary
