#include "dictionary/builder.h"

#include "dictionary/casefolding.h"
#include "dictionary/collation.h"
#include "dictionary/compiled_p.h"
#include "dictionary/tables.h"
#include "dictionary/keys.h"
#include "dictionary/text.h"

#include <algorithm>
#include <array>
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
        if (text == m_last && m_lastRef.length > 0)
            return m_lastRef;
        Tables::Ref ref{quint32(m_units.size()), quint32(text.size())};
        m_units.append(text);
        m_last = text;
        m_lastRef = ref;
        return ref;
    }
    // The entry's line, headword TAB pinyin TAB trimmed gloss CR LF, and
    // its headword, pinyin and gloss as refs: into the line where they
    // stand there as they are.
    std::array<Tables::Ref, 4> addEntry(const Entry &entry)
    {
        const QStringView gloss = trimmed(entry.gloss);
        const quint32 start = quint32(m_units.size());
        m_units.append(entry.headword).append(u'\t').append(entry.pinyin).append(u'\t');
        const quint32 glossAt = quint32(m_units.size());
        m_units.append(gloss).append(u"\r\n");
        const Tables::Ref headword{start, quint32(entry.headword.size())};
        const Tables::Ref pinyin{headword.offset + headword.length + 1,
                                 quint32(entry.pinyin.size())};
        const Tables::Ref line{start, quint32(m_units.size()) - start};
        // Only add() reuses the previous text.
        m_last.clear();
        m_lastRef = {0, 0};
        if (gloss.size() == entry.gloss.size())
            return {headword, pinyin, Tables::Ref{glossAt, quint32(gloss.size())}, line};
        return {headword, pinyin, add(entry.gloss), line};
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

// The traditional form of each entry, added to the pool; none at all when
// no entry has one.
std::vector<Tables::Ref> traditionalRefs(Pool &pool, const QList<Entry> &entries)
{
    if (std::all_of(entries.begin(), entries.end(),
                    [](const Entry &e) { return e.traditional.isEmpty(); }))
        return {};
    std::vector<Tables::Ref> refs;
    refs.reserve(std::size_t(entries.size()));
    for (const Entry &e : entries)
        refs.push_back(e.traditional.isEmpty() ? Tables::Ref{0, 0} : pool.add(e.traditional));
    return refs;
}

// Each French key folded (foldFrench): the key's own text where folding
// changes no more than letter case (the index ignores it), else the folded
// text, added to the pool.
std::vector<Tables::Ref> foldedFrenchRefs(Pool &pool, const std::vector<Tables::KeyRow> &keys)
{
    std::vector<Tables::Ref> refs;
    refs.reserve(keys.size());
    for (const Tables::KeyRow &row : keys) {
        const QString key = pool.units().sliced(row.text.offset, row.text.length);
        const QString folded = foldFrench(key);
        const bool caseOnly =
                folded.size() == key.size()
                && std::equal(key.begin(), key.end(), folded.begin(), [](QChar k, QChar f) {
                       return foldUnit(k.unicode()) == f.unicode();
                   });
        refs.push_back(caseOnly ? row.text : pool.add(folded));
    }
    return refs;
}

// Lays the tables out, then appends the indexes built from them.
// refs: headword, pinyin, gloss and line of each entry.
QByteArray layout(const std::vector<Tables::Ref> &refs,
                  const std::vector<Tables::KeyRow> &pinyinKeys,
                  const std::vector<Tables::KeyRow> &frenchKeys,
                  const std::vector<Tables::Ref> &traditionals,
                  const std::vector<Tables::Ref> &foldedFrenchKeys, const QString &pool)
{
    std::vector<Tables::Ref> fields, lines;
    for (std::size_t i = 0; i < refs.size(); i += 4) {
        fields.insert(fields.end(), refs.begin() + std::ptrdiff_t(i),
                      refs.begin() + std::ptrdiff_t(i + 3));
        lines.push_back(refs[i + 3]);
    }
    CompiledHeader header;
    std::memcpy(header.magic, kCompiledMagic, sizeof header.magic);
    header.entryCount = quint32(refs.size() / 4);
    header.pinyinKeyCount = quint32(pinyinKeys.size());
    header.frenchKeyCount = quint32(frenchKeys.size());
    header.poolUnits = quint32(pool.size());
    header.indexBytes = 0;
    header.foldingVersion = 0;
    header.traditionalCount = quint32(traditionals.size());

    QByteArray out;
    out.append(reinterpret_cast<const char *>(&header), sizeof header);
    out.append(reinterpret_cast<const char *>(fields.data()),
               qsizetype(fields.size() * sizeof(Tables::Ref)));
    out.append(reinterpret_cast<const char *>(lines.data()),
               qsizetype(lines.size() * sizeof(Tables::Ref)));
    out.append(reinterpret_cast<const char *>(pinyinKeys.data()),
               qsizetype(pinyinKeys.size() * sizeof(Tables::KeyRow)));
    out.append(reinterpret_cast<const char *>(frenchKeys.data()),
               qsizetype(frenchKeys.size() * sizeof(Tables::KeyRow)));
    out.append(reinterpret_cast<const char *>(traditionals.data()),
               qsizetype(traditionals.size() * sizeof(Tables::Ref)));
    out.append(reinterpret_cast<const char *>(foldedFrenchKeys.data()),
               qsizetype(foldedFrenchKeys.size() * sizeof(Tables::Ref)));
    out.append(reinterpret_cast<const char *>(pool.constData()), pool.size() * 2);
    if (pool.size() % 2)
        out.append(2, '\0');

    // Loaded without indexes, the tables build them.
    const QByteArray indexes =
            Tables::fromCompiled(out, nullptr, Tables::Checks::Header).indexSection().toByteArray();
    header.indexBytes = quint32(indexes.size());
    header.foldingVersion = caseFoldingVersion();
    std::memcpy(out.data(), &header, sizeof header);
    out.append(indexes);
    return out;
}

} // namespace

QByteArray compile(QList<Entry> entries)
{
    // Entry order.  Collation keys are computed only inside homograph runs.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.headword < b.headword; });
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
    refs.reserve(size_t(entries.size()) * 4);
    std::vector<SortableKey> pinyinKeys;
    pinyinKeys.reserve(size_t(entries.size()));
    std::vector<SortableKey> frenchKeyRows;
    for (qsizetype e = 0; e < entries.size(); ++e) {
        const Entry &entry = entries[e];
        const std::array<Tables::Ref, 4> entryRefs = pool.addEntry(entry);
        refs.insert(refs.end(), entryRefs.begin(), entryRefs.end());
        const Tables::Ref glossRef = entryRefs[2];

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
            const Tables::Ref ref =
                    at >= 0 ? Tables::Ref{quint32(glossRef.offset + span.offset + at),
                                          quint32(key.size())}
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
    const std::vector<Tables::KeyRow> frenchRows = rows(frenchKeyRows);
    const std::vector<Tables::Ref> traditionals = traditionalRefs(pool, entries);
    const std::vector<Tables::Ref> folded = foldedFrenchRefs(pool, frenchRows);
    return layout(refs, rows(pinyinKeys), frenchRows, traditionals, folded, pool.units());
}

QByteArray assemble(const QList<Entry> &entries, const QList<RawKey> &pinyinKeys,
                    const QList<RawKey> &frenchKeys)
{
    Pool pool;
    std::vector<Tables::Ref> refs;
    for (const Entry &entry : entries) {
        const std::array<Tables::Ref, 4> entryRefs = pool.addEntry(entry);
        refs.insert(refs.end(), entryRefs.begin(), entryRefs.end());
    }
    auto rows = [&](const QList<RawKey> &keys) {
        std::vector<Tables::KeyRow> out;
        for (const RawKey &k : keys)
            out.push_back({pool.add(k.text), quint32(k.entry)});
        return out;
    };
    const std::vector<Tables::KeyRow> pinyin = rows(pinyinKeys);
    const std::vector<Tables::KeyRow> french = rows(frenchKeys);
    const std::vector<Tables::Ref> traditionals = traditionalRefs(pool, entries);
    const std::vector<Tables::Ref> folded = foldedFrenchRefs(pool, french);
    return layout(refs, pinyin, french, traditionals, folded, pool.units());
}

} // namespace Verarov::Dictionary
