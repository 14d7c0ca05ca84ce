#include "translate/headwordindex.h"

#include <QString>

#include <algorithm>
#include <string_view>

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

const CaseFolder &CaseFolder::shared()
{
    static const CaseFolder folder;
    return folder;
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
    : m_tables(std::move(tables)), m_folder(CaseFolder::shared()), m_firstUnits(0x10000 / 64)
{
    // The table is sized once for every prefix of every headword (an upper
    // bound of the keys), at most two thirds full: no rehash while building.
    std::size_t prefixes = 0;
    for (int e = 0; e < m_tables.entryCount(); ++e)
        prefixes += std::size_t(std::min<qsizetype>(m_tables.headword(e).size(), kWindow));
    std::size_t slotCount = 1024;
    while (slotCount * 2 < prefixes * 3)
        slotCount *= 2;
    m_slots.resize(slotCount);

    // Every headword a candidate can equal, folded, in one buffer.
    // Candidates are never empty, longer than the window or broken by CR,
    // LF or TAB: such headwords cannot be found.
    std::vector<char16_t> folded;
    std::vector<std::uint32_t> foldedAt(std::size_t(m_tables.entryCount()) + 1);
    std::vector<int> order;
    order.reserve(std::size_t(m_tables.entryCount()));
    for (int e = 0; e < m_tables.entryCount(); ++e) {
        const QStringView headword = m_tables.headword(e);
        foldedAt[std::size_t(e)] = std::uint32_t(folded.size());
        if (headword.isEmpty() || headword.size() > kWindow
            || std::any_of(headword.begin(), headword.end(),
                           [](QChar c) { return breaksWords(c.unicode()); }))
            continue;
        folded.resize(folded.size() + std::size_t(headword.size()));
        m_folder.fold(headword, folded.data() + foldedAt[std::size_t(e)]);
        order.push_back(e);
    }
    foldedAt.back() = std::uint32_t(folded.size());
    auto foldedKey = [&](int e) {
        return std::u16string_view(folded.data() + foldedAt[std::size_t(e)],
                                   m_tables.headword(e).size());
    };

    // Groups of headwords that fold alike are runs of this order, each in
    // entry order; inside a group, the entries of one exact spelling are a
    // run too, still in entry order.
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return foldedKey(a) < foldedKey(b); });
    m_entries.reserve(order.size());
    for (std::size_t begin = 0; begin < order.size();) {
        std::size_t end = begin + 1;
        while (end < order.size() && foldedKey(order[end]) == foldedKey(order[begin]))
            ++end;
        std::stable_sort(order.begin() + std::ptrdiff_t(begin), order.begin() + std::ptrdiff_t(end),
                         [&](int a, int b) { return m_tables.headword(a) < m_tables.headword(b); });
        const int g = int(m_groups.size());
        Group group{order[begin], std::uint32_t(m_spellings.size()), 0};
        for (std::size_t i = begin; i < end; ++i) {
            group.first = std::min(group.first, order[i]);
            if (i == begin || m_tables.headword(order[i]) != m_tables.headword(order[i - 1])) {
                m_spellings.push_back({order[i], std::uint32_t(m_entries.size()), 0});
                ++group.spellingCount;
            }
            m_entries.push_back(order[i]);
            ++m_spellings.back().entryCount;
        }
        m_groups.push_back(group);

        // The folded headword and each of its prefixes.
        const std::u16string_view key = foldedKey(order[begin]);
        const std::uint32_t offset = std::uint32_t(m_keys.size());
        m_keys.insert(m_keys.end(), key.begin(), key.end());
        const char16_t first = key[0];
        m_firstUnits[first >> 6] |= std::uint64_t(1) << (first & 63);
        for (int length = 1; length <= int(key.size()); ++length) {
            const char16_t *prefix = m_keys.data() + offset;
            const std::uint32_t hash = hashOf(prefix, length);
            Slot *slot = const_cast<Slot *>(find(prefix, length, hash));
            if (!slot)
                slot = insert(hash);
            if (!slot->length) {
                slot->hash = hash;
                slot->keyOffset = offset;
                slot->length = std::uint32_t(length);
            }
            if (length == int(key.size()))
                slot->group = g;
        }
        begin = end;
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
    const std::uint32_t mask = std::uint32_t(m_slots.size() - 1);
    std::uint32_t i = slotOf(hash, mask);
    while (m_slots[i].length)
        i = (i + 1) & mask;
    return &m_slots[i];
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
