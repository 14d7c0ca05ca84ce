#include "headwordindex.h"

#include <QHash>
#include <QString>

#include <algorithm>

namespace Verarov::Translate {

namespace {

constexpr std::uint32_t kHashSeed = 2166136261u;

inline std::uint32_t hashStep(std::uint32_t hash, char16_t unit)
{
    return (hash ^ unit) * 16777619u;
}

inline std::uint32_t slotOf(std::uint32_t hash, std::uint32_t mask)
{
    hash ^= hash >> 15;
    hash *= 0x2c1b3c6du;
    hash ^= hash >> 12;
    return hash & mask;
}

constexpr bool breaksWords(char16_t unit)
{
    return unit == u'\n' || unit == u'\r' || unit == u'\t';
}

// Folds a surrogate pair in place; pairs whose folding would leave the
// supplementary planes (none in Unicode) are kept as they are.
inline void foldPair(char16_t high, char16_t low, char16_t *out)
{
    const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(high, low));
    if (QChar::requiresSurrogates(folded)) {
        out[0] = QChar::highSurrogate(folded);
        out[1] = QChar::lowSurrogate(folded);
    } else {
        out[0] = high;
        out[1] = low;
    }
}

} // namespace

CaseFolder::CaseFolder() : m_bmp(0x10000)
{
    for (char32_t u = 0; u < 0x10000; ++u) {
        const char32_t folded = QChar::isSurrogate(u) ? u : QChar::toCaseFolded(u);
        m_bmp[u] = folded < 0x10000 ? char16_t(folded) : char16_t(u);
    }
}

void CaseFolder::fold(QStringView text, char16_t *out) const
{
    const char16_t *in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (QChar::isHighSurrogate(in[i]) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            foldPair(in[i], in[i + 1], out + i);
            ++i;
        } else {
            out[i] = m_bmp[in[i]];
        }
    }
}

std::uint32_t HeadwordIndex::hashOf(const char16_t *key, int length)
{
    std::uint32_t hash = kHashSeed;
    for (int i = 0; i < length; ++i)
        hash = hashStep(hash, key[i]);
    return hash;
}

HeadwordIndex::HeadwordIndex(Dictionary::Tables tables)
    : m_tables(std::move(tables)), m_firstUnits(0x10000 / 64), m_slots(1024)
{
    // Group the entries by folded headword, keeping entry order inside each.
    struct Building
    {
        int first;
        std::vector<std::vector<int>> spellings; // entries of each exact spelling
    };
    QHash<QString, int> groupOf;
    std::vector<Building> building;
    std::vector<QString> keys;
    char16_t folded[kWindow];
    for (int e = 0; e < m_tables.entryCount(); ++e) {
        const QStringView headword = m_tables.headword(e);
        // Candidates are never empty, longer than the window or broken by
        // CR, LF or TAB: such headwords cannot be found.
        if (headword.isEmpty() || headword.size() > kWindow
            || std::any_of(headword.begin(), headword.end(),
                           [](QChar c) { return breaksWords(c.unicode()); }))
            continue;
        m_folder.fold(headword, folded);
        const QString key(reinterpret_cast<const QChar *>(folded), headword.size());
        auto it = groupOf.constFind(key);
        if (it == groupOf.cend()) {
            it = groupOf.insert(key, int(building.size()));
            building.push_back({e, {}});
            keys.push_back(key);
        }
        auto &spellings = building[*it].spellings;
        auto same = std::find_if(spellings.begin(), spellings.end(), [&](const auto &s) {
            return m_tables.headword(s.front()) == headword;
        });
        if (same == spellings.end())
            spellings.push_back({e});
        else
            same->push_back(e);
    }

    for (std::size_t g = 0; g < building.size(); ++g) {
        Group group{building[g].first, std::uint32_t(m_spellings.size()),
                    std::uint32_t(building[g].spellings.size())};
        for (const auto &spelling : building[g].spellings) {
            m_spellings.push_back({spelling.front(), std::uint32_t(m_entries.size()),
                                   std::uint32_t(spelling.size())});
            m_entries.insert(m_entries.end(), spelling.begin(), spelling.end());
        }
        m_groups.push_back(group);

        // The folded headword and each of its prefixes.
        const QString &key = keys[g];
        const auto *units = reinterpret_cast<const char16_t *>(key.utf16());
        const std::uint32_t offset = std::uint32_t(m_keys.size());
        m_keys.insert(m_keys.end(), units, units + key.size());
        const char16_t first = units[0];
        m_firstUnits[first >> 6] |= std::uint64_t(1) << (first & 63);
        for (int length = 1; length <= key.size(); ++length) {
            const char16_t *prefix = m_keys.data() + offset;
            const std::uint32_t hash = hashOf(prefix, length);
            Slot *slot = const_cast<Slot *>(find(prefix, length, hash));
            if (!slot)
                slot = insert(hash);
            if (!slot->length) {
                *slot = Slot{hash, offset, -1, std::uint8_t(length)};
                ++m_used;
            }
            if (length == key.size())
                slot->group = int(g);
        }
    }
}

const HeadwordIndex::Slot *HeadwordIndex::find(const char16_t *key, int length,
                                               std::uint32_t hash) const
{
    const std::uint32_t mask = std::uint32_t(m_slots.size() - 1);
    for (std::uint32_t i = slotOf(hash, mask);; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (!slot.length)
            return nullptr;
        if (slot.hash == hash && slot.length == length
            && std::equal(key, key + length, m_keys.data() + slot.keyOffset))
            return &slot;
    }
}

HeadwordIndex::Slot *HeadwordIndex::insert(std::uint32_t hash)
{
    if ((m_used + 1) * 2 > m_slots.size())
        grow();
    const std::uint32_t mask = std::uint32_t(m_slots.size() - 1);
    std::uint32_t i = slotOf(hash, mask);
    while (m_slots[i].length)
        i = (i + 1) & mask;
    return &m_slots[i];
}

void HeadwordIndex::grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const std::uint32_t mask = std::uint32_t(m_slots.size() - 1);
    for (const Slot &slot : old) {
        if (!slot.length)
            continue;
        std::uint32_t i = slotOf(slot.hash, mask);
        while (m_slots[i].length)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

int HeadwordIndex::match(QStringView window, std::vector<int> *entries) const
{
    const int available = int(std::min<qsizetype>(window.size(), kWindow));
    if (available == 0)
        return 0;
    const char16_t *raw = window.utf16();
    char16_t key[kWindow];
    std::uint32_t hashes[kWindow + 1];
    hashes[0] = kHashSeed;
    int best = 0;
    int bestGroup = -1;
    for (int n = 1; n <= available; ++n) {
        const char16_t unit = raw[n - 1];
        if (breaksWords(unit))
            break;
        // Each candidate is folded on its own: a high surrogate at its end
        // stays as it is, and is folded with its low surrogate once the
        // candidate grows to include it.
        if (QChar::isLowSurrogate(unit) && n >= 2 && QChar::isHighSurrogate(raw[n - 2])) {
            foldPair(raw[n - 2], unit, key + n - 2);
            hashes[n - 1] = hashStep(hashes[n - 2], key[n - 2]);
        } else {
            key[n - 1] = m_folder.bmp(unit);
        }
        hashes[n] = hashStep(hashes[n - 1], key[n - 1]);
        const Slot *slot = find(key, n, hashes[n]);
        if (slot && slot->group >= 0) {
            best = n;
            bestGroup = slot->group;
        }
        if (!slot && !QChar::isHighSurrogate(unit))
            break;
    }
    if (best == 0)
        return 1;

    const Group &group = m_groups[bestGroup];
    entries->push_back(group.first);
    const QStringView candidate = window.first(best);
    for (std::uint32_t s = group.spellingBegin; s < group.spellingBegin + group.spellingCount; ++s) {
        const Spelling &spelling = m_spellings[s];
        if (m_tables.headword(spelling.firstEntry) != candidate)
            continue;
        const int *begin = m_entries.data() + spelling.entryBegin;
        const int *end = begin + spelling.entryCount;
        for (const int *e = std::upper_bound(begin, end, group.first); e != end; ++e)
            entries->push_back(*e);
        break;
    }
    return best;
}

} // namespace Verarov::Translate
