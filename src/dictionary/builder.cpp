#include "dictionary/builder.h"

#include "dictionary/compile_p.h"
#include "dictionary/indexes_p.h"
#include "dictionary/prefixtree.h"

#include "dictionary/casefolding.h"
#include "dictionary/collation.h"
#include "dictionary/compiled_p.h"
#include "dictionary/tables.h"
#include "dictionary/keys.h"
#include "dictionary/text.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <string_view>
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

namespace {

// The entries of a list, as they are.
class ListTexts final : public EntryTexts
{
public:
    explicit ListTexts(const QList<Entry> &entries) : m_entries(entries) { }
    int count() const override { return int(m_entries.size()); }
    QStringView headword(int e) const override { return m_entries[e].headword; }
    QStringView pinyin(int e, QString &) const override { return m_entries[e].pinyin; }
    QStringView gloss(int e, QString &) const override { return m_entries[e].gloss; }
    QStringView traditional(int e, QString &) const override { return m_entries[e].traditional; }

private:
    const QList<Entry> &m_entries;
};

constexpr quint32 kFree = 0xffffffff;

std::size_t hashOf(QByteArrayView bytes)
{
    return std::hash<std::string_view>()(std::string_view(bytes.data(), std::size_t(bytes.size())));
}

std::size_t hashOf(QStringView text)
{
    return std::hash<std::u16string_view>()(
            std::u16string_view(text.utf16(), std::size_t(text.size())));
}

// The slots of an open-addressing table made twice as many (64 at least),
// each of ids 0 to count - 1 put again at the first free slot from its hash.
template<typename HashOfId>
void growSlots(std::vector<quint32> &table, quint32 count, const HashOfId &hashOfId)
{
    std::vector<quint32>(std::max<std::size_t>(64, table.size() * 2), kFree).swap(table);
    const std::size_t mask = table.size() - 1;
    for (quint32 id = 0; id < count; ++id) {
        std::size_t slot = hashOfId(id) & mask;
        while (table[slot] != kFree)
            slot = (slot + 1) & mask;
        table[slot] = id;
    }
}

// Distinct texts, numbered in the order they first come.
class TextSet
{
public:
    quint32 id(QStringView text)
    {
        if ((m_starts.size() - 1) * 2 >= m_slots.size())
            grow();
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = hashOf(text) & mask;; slot = (slot + 1) & mask) {
            if (m_slots[slot] == kFree) {
                const quint32 id = quint32(m_starts.size() - 1);
                m_units.insert(m_units.end(), text.utf16(), text.utf16() + text.size());
                m_starts.push_back(m_units.size());
                m_slots[slot] = id;
                return id;
            }
            if (this->text(m_slots[slot]) == text)
                return m_slots[slot];
        }
    }
    quint32 count() const { return quint32(m_starts.size() - 1); }
    QStringView text(quint32 id) const
    {
        return QStringView(m_units.data() + m_starts[id], qsizetype(m_starts[id + 1] - m_starts[id]));
    }

    // The rank of each text under the collation (texts with equal sort keys
    // share one), and the number of ranks.
    std::vector<quint32> collationRanks(quint32 *rankCount) const
    {
        std::vector<char> keys;
        std::vector<std::size_t> at = {0};
        at.reserve(count() + 1);
        for (quint32 id = 0; id < count(); ++id) {
            const QByteArray key = collationKey(text(id));
            keys.insert(keys.end(), key.begin(), key.end());
            at.push_back(keys.size());
        }
        return ranks(rankCount, [&](quint32 id) {
            return std::string_view(keys.data() + at[id], at[id + 1] - at[id]);
        });
    }

    // The rank of each text folded unit by unit (foldUnit).
    std::vector<quint32> foldedRanks(quint32 *rankCount) const
    {
        std::vector<char16_t> folded(m_units.size());
        std::transform(m_units.begin(), m_units.end(), folded.begin(), foldUnit);
        return ranks(rankCount, [&](quint32 id) {
            return std::u16string_view(folded.data() + m_starts[id],
                                       m_starts[id + 1] - m_starts[id]);
        });
    }

private:
    template<typename KeyOf>
    std::vector<quint32> ranks(quint32 *rankCount, const KeyOf &keyOf) const
    {
        std::vector<quint32> ids(count());
        std::iota(ids.begin(), ids.end(), 0u);
        std::sort(ids.begin(), ids.end(),
                  [&](quint32 a, quint32 b) { return keyOf(a) < keyOf(b); });
        std::vector<quint32> rank(count());
        quint32 next = 0;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            if (i > 0 && keyOf(ids[i]) != keyOf(ids[i - 1]))
                ++next;
            rank[ids[i]] = next;
        }
        *rankCount = ids.empty() ? 0 : next + 1;
        return rank;
    }

    void grow()
    {
        growSlots(m_slots, count(), [this](quint32 id) { return hashOf(text(id)); });
    }

    std::vector<char16_t> m_units;
    std::vector<std::size_t> m_starts = {0};
    std::vector<quint32> m_slots;
};

// A key row as derived: its text by number, and where it lies in the pool.
struct DerivedKey
{
    quint32 text;
    Tables::Ref ref;
};

// Rows in the order of their ranks, ties in row order (rows come in entry
// order, so this is the order of collation, then entry).
std::vector<quint32> orderByRank(std::size_t rows, const std::function<quint32(std::size_t)> &rankOf,
                                 quint32 rankCount)
{
    std::vector<std::size_t> next(std::size_t(rankCount) + 1);
    for (std::size_t row = 0; row < rows; ++row)
        ++next[rankOf(row) + 1];
    for (std::size_t r = 1; r < next.size(); ++r)
        next[r] += next[r - 1];
    std::vector<quint32> order(rows);
    for (std::size_t row = 0; row < rows; ++row)
        order[next[rankOf(row)]++] = quint32(row);
    return order;
}

// Values written in blocks.
template<typename T>
class BlockWriter
{
public:
    explicit BlockWriter(CompiledOutput &out) : m_out(out) { m_block.reserve(kBlock); }
    ~BlockWriter() { flush(); }
    void put(const T &value)
    {
        m_block.push_back(value);
        if (m_block.size() == kBlock)
            flush();
    }
    void flush()
    {
        m_out.write(reinterpret_cast<const char *>(m_block.data()), m_block.size() * sizeof(T));
        m_block.clear();
    }

private:
    static constexpr std::size_t kBlock = 1 << 14;
    CompiledOutput &m_out;
    std::vector<T> m_block;
};

} // namespace

bool compileTo(EntryTexts &texts, CompiledOutput &out)
{
    const int n = texts.count();
    QString pinyinBuffer, glossBuffer, traditionalBuffer;

    // Entry order.  Collation keys are computed only inside homograph runs.
    std::vector<quint32> order(static_cast<std::size_t>(n));
    {
        // By headword, ties by entry.  Each headword's first four code units
        // side by side with its entry decide most comparisons without
        // reaching the text (a shorter headword's are padded with zeros,
        // below any unit that could follow).
        struct Sorted
        {
            quint64 prefix;
            quint32 entry;
        };
        std::vector<Sorted> sorted(static_cast<std::size_t>(n));
        for (int e = 0; e < n; ++e) {
            const QStringView headword = texts.headword(e);
            quint64 prefix = 0;
            for (qsizetype i = 0; i < 4; ++i)
                prefix = prefix << 16 | (i < headword.size() ? headword[i].unicode() : 0u);
            sorted[std::size_t(e)] = {prefix, quint32(e)};
        }
        std::sort(sorted.begin(), sorted.end(), [&](const Sorted &a, const Sorted &b) {
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix;
            const int c = texts.headword(int(a.entry)).compare(texts.headword(int(b.entry)));
            return c != 0 ? c < 0 : a.entry < b.entry;
        });
        for (std::size_t k = 0; k < sorted.size(); ++k)
            order[k] = sorted[k].entry;
    }
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        const QStringView headword = texts.headword(int(order[begin]));
        while (end < order.size() && texts.headword(int(order[end])) == headword)
            ++end;
        if (end - begin > 1) {
            struct Keyed
            {
                QByteArray pinyin, gloss;
                quint32 entry;
            };
            std::vector<Keyed> run;
            for (std::size_t i = begin; i < end; ++i)
                run.push_back({collationKey(texts.pinyin(int(order[i]), pinyinBuffer)),
                               collationKey(texts.gloss(int(order[i]), glossBuffer)), order[i]});
            std::stable_sort(run.begin(), run.end(), [](const Keyed &a, const Keyed &b) {
                if (a.pinyin != b.pinyin)
                    return a.pinyin < b.pinyin;
                return a.gloss < b.gloss;
            });
            for (std::size_t i = begin; i < end; ++i)
                order[i] = run[i - begin].entry;
        }
        begin = end;
    }

    // Where every text lies in the pool, and the keys, entry by entry: the
    // entry's line (headword TAB pinyin TAB trimmed gloss CR LF), then the
    // texts added after it (the gloss when trimming changed it, the pinyin
    // key, the French keys that are not their sense unchanged), each added
    // text reusing the one added just before when it repeats it; after all
    // entries, the traditional forms in entry order, then the folded French
    // keys that differ from their key by more than letter case, in key
    // order.
    quint64 units = 0;
    QString last;
    Tables::Ref lastRef{0, 0};
    const auto add = [&](QStringView text) {
        if (text == last && lastRef.length > 0)
            return lastRef;
        const Tables::Ref ref{quint32(units), quint32(text.size())};
        units += quint64(text.size());
        last = text.toString();
        lastRef = ref;
        return ref;
    };
    std::vector<quint32> lineStarts(static_cast<std::size_t>(n));
    TextSet pinyinTexts, frenchTexts;
    std::vector<DerivedKey> pinyinKeys(static_cast<std::size_t>(n));
    std::deque<DerivedKey> frenchKeyRows;
    std::vector<quint32> frenchBegins(static_cast<std::size_t>(n) + 1); // each entry's first French row
    bool traditionalForms = false;
    for (int k = 0; k < n; ++k) {
        const int e = int(order[std::size_t(k)]);
        traditionalForms = traditionalForms || !texts.traditional(e, traditionalBuffer).isEmpty();
        const QStringView headword = texts.headword(e);
        const QStringView pinyin = texts.pinyin(e, pinyinBuffer);
        const QStringView gloss = texts.gloss(e, glossBuffer);
        const QStringView trimmedGloss = trimmed(gloss);
        lineStarts[std::size_t(k)] = quint32(units);
        const quint64 glossAt = units + quint64(headword.size() + pinyin.size() + 2);
        units = glossAt + quint64(trimmedGloss.size() + 2);
        last.clear();
        lastRef = {0, 0};
        const Tables::Ref glossRef = trimmedGloss.size() == gloss.size()
                                             ? Tables::Ref{quint32(glossAt), quint32(gloss.size())}
                                             : add(gloss);

        const QString pinyinKey = Dictionary::pinyinKey(pinyin);
        pinyinKeys[std::size_t(k)] = {pinyinTexts.id(pinyinKey), add(pinyinKey)};

        // A French key that is its sense unchanged points into the gloss.
        frenchBegins[std::size_t(k)] = quint32(frenchKeyRows.size());
        for (const SenseSpan &span : senseSpans(gloss)) {
            const QStringView sense = gloss.sliced(span.offset, span.length);
            const QList<QString> keys = frenchKeys(sense);
            if (keys.isEmpty())
                continue;
            const QString &key = keys.front();
            const qsizetype at = sense.indexOf(key);
            const Tables::Ref ref =
                    at >= 0 ? Tables::Ref{quint32(glossRef.offset + span.offset + at),
                                          quint32(key.size())}
                            : add(key);
            frenchKeyRows.push_back({frenchTexts.id(key), ref});
        }
        if (units > 0xffffffffu || frenchKeyRows.size() > 0x7fffffffu)
            return false;
    }
    frenchBegins[std::size_t(n)] = quint32(frenchKeyRows.size());
    const std::size_t frenchCount = frenchKeyRows.size();

    // The traditional form of each entry, when any entry has one, and the
    // entry's writing in traditional characters for its prefix tree.
    std::vector<Tables::Ref> traditionalRefs;
    TextSet writings;
    std::vector<quint32> writingIds;
    if (traditionalForms) {
        traditionalRefs.resize(std::size_t(n));
        writingIds.resize(std::size_t(n));
        for (int k = 0; k < n; ++k) {
            const int e = int(order[std::size_t(k)]);
            const QStringView traditional = texts.traditional(e, traditionalBuffer);
            traditionalRefs[std::size_t(k)] =
                    traditional.isEmpty() ? Tables::Ref{0, 0} : add(traditional);
            writingIds[std::size_t(k)] =
                    writings.id(traditional.isEmpty() ? texts.headword(e) : traditional);
        }
    }

    // Key orders: collation, ties by entry.
    quint32 rankCount = 0;
    std::vector<quint32> pinyinOrder;
    {
        const std::vector<quint32> ranks = pinyinTexts.collationRanks(&rankCount);
        pinyinOrder = orderByRank(
                pinyinKeys.size(), [&](std::size_t row) { return ranks[pinyinKeys[row].text]; },
                rankCount);
    }
    std::vector<quint32> frenchOrder;
    {
        const std::vector<quint32> ranks = frenchTexts.collationRanks(&rankCount);
        frenchOrder = orderByRank(
                frenchCount, [&](std::size_t row) { return ranks[frenchKeyRows[row].text]; },
                rankCount);
    }

    // Each French key text folded (foldFrench): whether folding changes no
    // more than letter case (the index ignores it: the key's own text
    // serves), and the folded text's number.  Per text, not per row: a
    // large file has many times more rows than texts.
    TextSet foldedTexts;
    std::vector<quint32> foldedIdOf(frenchTexts.count());
    std::vector<bool> caseOnlyOf(frenchTexts.count());
    for (quint32 t = 0; t < frenchTexts.count(); ++t) {
        const QStringView key = frenchTexts.text(t);
        const QString folded = foldFrench(key);
        const bool caseOnly =
                folded.size() == key.size()
                && std::equal(key.begin(), key.end(), folded.begin(), [](QChar k, QChar f) {
                       return foldUnit(k.unicode()) == f.unicode();
                   });
        caseOnlyOf[t] = caseOnly;
        foldedIdOf[t] = foldedTexts.id(caseOnly ? key : QStringView(folded));
    }
    // The folded key of each French row, in key order, given to use(ref,
    // folded, added): the key's own text, else the folded text added to the
    // pool (added true) as add() would, after the texts added so far.  Made
    // again each time it is needed rather than held, row by row.  Returns
    // the pool's size after them.
    const quint64 foldedFrom = units;
    const QString lastBeforeFolded = last;
    const Tables::Ref lastRefBeforeFolded = lastRef;
    const auto forEachFolded = [&](const auto &use) {
        quint64 at = foldedFrom;
        QStringView lastText = lastBeforeFolded;
        Tables::Ref lastAdded = lastRefBeforeFolded;
        for (std::size_t i = 0; i < frenchCount; ++i) {
            const DerivedKey &row = frenchKeyRows[frenchOrder[i]];
            if (caseOnlyOf[row.text]) {
                use(row.ref, QStringView(), false);
                continue;
            }
            const QStringView folded = foldedTexts.text(foldedIdOf[row.text]);
            if (folded != lastText || lastAdded.length == 0) {
                lastAdded = {quint32(at), quint32(folded.size())};
                at += quint64(folded.size());
                lastText = folded;
            }
            use(lastAdded, folded, true);
        }
        return at;
    };
    if (units > 0xffffffffu)
        return false;

    CompiledHeader header;
    std::memset(&header, 0, sizeof header);
    out.write(reinterpret_cast<const char *>(&header), sizeof header);
    {
        std::vector<Tables::Ref> lines;
        lines.reserve(std::size_t(n));
        BlockWriter<Tables::Ref> fields(out);
        for (int k = 0; k < n; ++k) {
            const int e = int(order[std::size_t(k)]);
            const QStringView headword = texts.headword(e);
            const QStringView pinyin = texts.pinyin(e, pinyinBuffer);
            const QStringView gloss = texts.gloss(e, glossBuffer);
            const QStringView trimmedGloss = trimmed(gloss);
            const quint32 start = lineStarts[std::size_t(k)];
            const Tables::Ref headwordRef{start, quint32(headword.size())};
            const Tables::Ref pinyinRef{start + quint32(headword.size()) + 1,
                                        quint32(pinyin.size())};
            const quint32 glossAt = pinyinRef.offset + pinyinRef.length + 1;
            const quint32 lineEnd = glossAt + quint32(trimmedGloss.size()) + 2;
            fields.put(headwordRef);
            fields.put(pinyinRef);
            fields.put(trimmedGloss.size() == gloss.size()
                               ? Tables::Ref{glossAt, quint32(gloss.size())}
                               : Tables::Ref{lineEnd, quint32(gloss.size())});
            lines.push_back({start, lineEnd - start});
        }
        fields.flush();
        out.write(reinterpret_cast<const char *>(lines.data()), lines.size() * sizeof(Tables::Ref));
    }
    std::vector<quint32>().swap(lineStarts);
    {
        BlockWriter<Tables::KeyRow> rows(out);
        for (const quint32 row : pinyinOrder)
            rows.put({pinyinKeys[row].ref, row});
        // The entry of each row: the last whose first row is not after it,
        // looked for from the previous row's entry while rows ascend (rows
        // of one key come in row order), in steps that double.
        std::size_t entry = 0;
        quint32 previous = 0;
        for (const quint32 row : frenchOrder) {
            if (row < previous)
                entry = 0;
            previous = row;
            std::size_t step = 1;
            while (entry + step < frenchBegins.size() && frenchBegins[entry + step] <= row) {
                entry += step;
                step *= 2;
            }
            const auto end = frenchBegins.begin()
                             + std::ptrdiff_t(std::min(entry + step, frenchBegins.size()));
            entry = std::size_t(std::upper_bound(frenchBegins.begin() + std::ptrdiff_t(entry), end,
                                                 row)
                                - frenchBegins.begin() - 1);
            rows.put({frenchKeyRows[row].ref, quint32(entry)});
        }
    }
    {
        BlockWriter<Tables::Ref> refs(out);
        for (const Tables::Ref &ref : traditionalRefs)
            refs.put(ref);
        units = forEachFolded([&](Tables::Ref ref, QStringView, bool) { refs.put(ref); });
    }
    // Beyond 32-bit offsets, the refs just written are wrong: the output is
    // not used.
    if (units > 0xffffffffu)
        return false;

    // The pool, as laid out above.
    quint64 written = 0;
    {
        std::vector<char16_t> block;
        const auto put = [&](QStringView text) {
            block.insert(block.end(), text.utf16(), text.utf16() + text.size());
            written += quint64(text.size());
            if (block.size() >= (1 << 16)) {
                out.write(reinterpret_cast<const char *>(block.data()), block.size() * 2);
                block.clear();
            }
        };
        // An added text is in the pool where it was first added.
        const auto putAdded = [&](Tables::Ref ref, QStringView text) {
            if (ref.offset == written && ref.length > 0)
                put(text);
        };
        for (int k = 0; k < n; ++k) {
            const int e = int(order[std::size_t(k)]);
            const QStringView pinyin = texts.pinyin(e, pinyinBuffer);
            const QStringView gloss = texts.gloss(e, glossBuffer);
            const QStringView trimmedGloss = trimmed(gloss);
            put(texts.headword(e));
            put(u"\t");
            put(pinyin);
            put(u"\t");
            put(trimmedGloss);
            put(u"\r\n");
            if (trimmedGloss.size() != gloss.size())
                putAdded({quint32(written), quint32(gloss.size())}, gloss);
            const DerivedKey &pinyinKey = pinyinKeys[std::size_t(k)];
            putAdded(pinyinKey.ref, pinyinTexts.text(pinyinKey.text));
            for (quint32 row = frenchBegins[std::size_t(k)]; row < frenchBegins[std::size_t(k) + 1];
                 ++row)
                putAdded(frenchKeyRows[row].ref, frenchTexts.text(frenchKeyRows[row].text));
        }
        for (std::size_t k = 0; k < traditionalRefs.size(); ++k)
            putAdded(traditionalRefs[k],
                     texts.traditional(int(order[k]), traditionalBuffer));
        forEachFolded([&](Tables::Ref ref, QStringView folded, bool added) {
            if (added)
                putAdded(ref, folded);
        });
        const char16_t padding = 0;
        if (written % 2)
            put(QStringView(&padding, 1));
        out.write(reinterpret_cast<const char *>(block.data()), block.size() * 2);
    }
    Q_ASSERT(written == units + units % 2);
    texts.keepOnlyHeadwords();
    std::vector<Tables::Ref>().swap(traditionalRefs);

    // The folded text of each French row, in key order, for its tree.
    std::vector<quint32> foldedIds(frenchCount);
    for (std::size_t i = 0; i < frenchCount; ++i)
        foldedIds[i] = foldedIdOf[frenchKeyRows[frenchOrder[i]].text];
    std::vector<quint32>().swap(foldedIdOf);
    std::vector<bool>().swap(caseOnlyOf);

    // The indexes, from the texts alone.  The French rows' order becomes
    // the folded rank of each row, in place.
    std::vector<quint32> frenchTreeRanks = std::move(frenchOrder);
    {
        const std::vector<quint32> ranks = frenchTexts.foldedRanks(&rankCount);
        for (quint32 &row : frenchTreeRanks)
            row = ranks[frenchKeyRows[row].text];
    }
    const quint32 frenchRankCount = rankCount;
    std::deque<DerivedKey>().swap(frenchKeyRows);
    std::vector<quint32>().swap(frenchBegins);
    const auto headwordAt = [&](int k) { return texts.headword(int(order[std::size_t(k)])); };
    const quint64 indexBytes = writeIndexes(
            n, headwordAt,
            [&](IndexedTree tree) {
                // The rank of each row's text among the texts of a set.
                const auto treeOfTexts = [](TextSet &set, std::vector<quint32> &ids) {
                    quint32 count = 0;
                    const std::vector<quint32> ranks = set.foldedRanks(&count);
                    for (quint32 &id : ids)
                        id = ranks[id];
                    std::vector<quint32> prefixTree = buildPrefixTree(ids, count);
                    set = TextSet();
                    std::vector<quint32>().swap(ids);
                    return prefixTree;
                };
                switch (tree) {
                case IndexedTree::FoldedFrenchKeys:
                    return treeOfTexts(foldedTexts, foldedIds);
                case IndexedTree::Traditional:
                    return treeOfTexts(writings, writingIds);
                case IndexedTree::PinyinKeys: {
                    quint32 count = 0;
                    const std::vector<quint32> ranks = pinyinTexts.foldedRanks(&count);
                    std::vector<quint32> rowRanks(pinyinOrder.size());
                    for (std::size_t r = 0; r < rowRanks.size(); ++r)
                        rowRanks[r] = ranks[pinyinKeys[pinyinOrder[r]].text];
                    return buildPrefixTree(rowRanks, count);
                }
                case IndexedTree::FrenchKeys: {
                    std::vector<quint32> prefixTree =
                            buildPrefixTree(frenchTreeRanks, frenchRankCount);
                    std::vector<quint32>().swap(frenchTreeRanks);
                    return prefixTree;
                }
                default: // IndexedTree::Headwords
                    return buildPrefixTree(n, headwordAt);
                }
            },
            [&](const char *data, std::size_t size) { out.write(data, size); });

    std::memcpy(header.magic, kCompiledMagic, sizeof header.magic);
    header.entryCount = quint32(n);
    header.pinyinKeyCount = quint32(n);
    header.frenchKeyCount = quint32(frenchCount);
    header.poolUnits = quint32(units);
    header.indexBytes = quint32(indexBytes);
    header.foldingVersion = caseFoldingVersion();
    header.traditionalCount = traditionalForms ? quint32(n) : 0;
    out.finish(header);
    return indexBytes <= 0xffffffffu;
}

void EntryStore::reserve(qint64 fileBytes)
{
    // Normalised, a line takes about its bytes; a gloss of many short
    // senses grows by the blanks around each "/".  A line takes 8 bytes at
    // the least.
    const std::size_t bytes = std::size_t(std::max<qint64>(fileBytes, 0));
    m_text.reserve(bytes + bytes / 2 + 1024);
    m_starts.reserve(bytes / 8 + 2);
    m_headwordStarts.reserve(bytes / 8 + 2);
}

namespace {

// An entry's text without its traditional form: what tells repeats apart.
QByteArrayView identity(QByteArrayView text)
{
    qsizetype at = -1;
    for (int tabs = 0; tabs < 3; ++tabs) {
        at = text.indexOf('\t', at + 1);
        if (at < 0)
            return text;
    }
    return text.first(at);
}

} // namespace

bool EntryStore::add(Entry &&entry)
{
    const QByteArray text = toTsvLine(entry).toUtf8();
    if (quint64(count()) * 2 >= m_slots.size())
        grow();
    const std::size_t mask = m_slots.size() - 1;
    // Without a traditional form, the whole text.
    const QByteArrayView key = entry.traditional.isEmpty() ? QByteArrayView(text) : identity(text);
    std::size_t slot = hashOf(key) & mask;
    for (; m_slots[slot] != kFree; slot = (slot + 1) & mask) {
        if (identityOf(int(m_slots[slot])) == key)
            return false;
    }
    m_slots[slot] = quint32(count());
    m_anyTraditional = m_anyTraditional || !entry.traditional.isEmpty();
    m_text.insert(m_text.end(), text.begin(), text.end());
    m_starts.push_back(m_text.size());
    m_headwords.insert(m_headwords.end(), entry.headword.utf16(),
                       entry.headword.utf16() + entry.headword.size());
    m_headwordStarts.push_back(quint32(m_headwords.size()));
    return true;
}

void EntryStore::grow()
{
    growSlots(m_slots, quint32(count()),
              [this](quint32 e) { return hashOf(identityOf(int(e))); });
}

QByteArrayView EntryStore::identityOf(int entry) const
{
    // Until an entry has a traditional form, no text has a fourth field.
    return m_anyTraditional ? identity(text(entry)) : text(entry);
}

QByteArrayView EntryStore::text(int entry) const
{
    return QByteArrayView(m_text.data() + m_starts[std::size_t(entry)],
                          qsizetype(m_starts[std::size_t(entry) + 1] - m_starts[std::size_t(entry)]));
}

// Field 0, 1, 2 or 3 of an entry's text: headword, pinyin, gloss,
// traditional form (empty when there is none).
QByteArrayView EntryStore::field(int entry, int index) const
{
    const QByteArrayView line = text(entry);
    const char *begin = line.data();
    const char *end = line.data() + line.size();
    const auto tabOrEnd = [end](const char *from) {
        const void *tab = std::memchr(from, '\t', std::size_t(end - from));
        return tab ? static_cast<const char *>(tab) : end;
    };
    for (int i = 0; i < index; ++i) {
        begin = tabOrEnd(begin);
        if (begin == end)
            return {};
        ++begin;
    }
    return QByteArrayView(begin, tabOrEnd(begin));
}

void EntryStore::keepOnlyHeadwords()
{
    std::vector<char>().swap(m_text);
    std::vector<quint64>().swap(m_starts);
    std::vector<quint32>().swap(m_slots);
}

QStringView EntryStore::headword(int entry) const
{
    const quint32 begin = m_headwordStarts[std::size_t(entry)];
    return QStringView(m_headwords.data() + begin,
                       qsizetype(m_headwordStarts[std::size_t(entry) + 1] - begin));
}

namespace {

// Stored UTF-8 decoded into buffer, whose room serves again for the next
// entry (QString::fromUtf8 would allocate each time).
QStringView decodeInto(QByteArrayView utf8, QString &buffer)
{
    // Converted from text when stored: always valid; a leading U+FEFF is
    // text like any other.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                         | QStringDecoder::Flag::ConvertInitialBom);
    buffer.resize(utf8.size());
    const QChar *end = decoder.appendToBuffer(buffer.data(), utf8);
    buffer.truncate(end - buffer.constData());
    return buffer;
}

} // namespace

QStringView EntryStore::pinyin(int entry, QString &buffer) const
{
    return decodeInto(field(entry, 1), buffer);
}

QStringView EntryStore::gloss(int entry, QString &buffer) const
{
    return decodeInto(field(entry, 2), buffer);
}

QStringView EntryStore::traditional(int entry, QString &buffer) const
{
    // Most files give none: no need to look for a fourth field.
    if (!m_anyTraditional)
        return {};
    return decodeInto(field(entry, 3), buffer);
}

QByteArray compile(QList<Entry> entries)
{
    ByteArrayOutput out;
    ListTexts texts(entries);
    compileTo(texts, out);
    return out.bytes;
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
