#include "dictionary/tables.h"

#include "dictionary/casefolding.h"
#include "dictionary/compiled_p.h"
#include "dictionary/indexes_p.h"
#include "dictionary/mapped_p.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace Verarov::Dictionary {

using namespace Qt::StringLiterals;

QString listName(List list)
{
    switch (list) {
    case List::Headwords:
        return u"liste_dico_ch"_s;
    case List::Pinyins:
        return u"liste_dico_pin"_s;
    case List::Glosses:
        return u"liste_dico_fr"_s;
    case List::PinyinKeys:
        return u"liste_pin_ss_accent"_s;
    case List::PinyinKeyEntries:
        return u"liste_dicopin_index"_s;
    case List::FrenchKeys:
        return u"liste_fr"_s;
    case List::FrenchKeyEntries:
        return u"liste_dicofr_index"_s;
    }
    return {};
}

Tables Tables::fromCompiled(QByteArray compiled, QString *error, Checks checks)
{
    return adopt(std::move(compiled), error, checks, false);
}

Tables Tables::adopt(QByteArray compiled, QString *error, Checks checks, bool mapped)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return Tables();
    };
    // Views into the buffer need aligned data; a resource may not be.
    if (reinterpret_cast<quintptr>(compiled.constData()) % alignof(quint32) != 0) {
        compiled = QByteArray(compiled.constData(), compiled.size());
        mapped = false; // a copy: its memory is ours
    }

    CompiledHeader header;
    if (compiled.size() < qsizetype(sizeof header))
        return fail(u"fichier compilé tronqué"_s);
    std::memcpy(&header, compiled.constData(), sizeof header);
    if (std::memcmp(header.magic, kCompiledMagic, sizeof header.magic) != 0)
        return fail(u"ce n'est pas un dictionnaire compilé"_s);

    const quint64 entriesBytes = quint64(header.entryCount) * 3 * sizeof(Ref);
    const quint64 linesBytes = quint64(header.entryCount) * sizeof(Ref);
    const quint64 pinyinBytes = quint64(header.pinyinKeyCount) * sizeof(KeyRow);
    const quint64 frenchBytes = quint64(header.frenchKeyCount) * sizeof(KeyRow);
    const quint64 traditionalBytes = quint64(header.traditionalCount) * sizeof(Ref);
    const quint64 foldedBytes = quint64(header.frenchKeyCount) * sizeof(Ref);
    const quint64 poolBytes = (quint64(header.poolUnits) * sizeof(char16_t) + 3) & ~quint64(3);
    const quint64 total = sizeof header + entriesBytes + linesBytes + pinyinBytes + frenchBytes
                          + traditionalBytes + foldedBytes + poolBytes + header.indexBytes;
    if (total != quint64(compiled.size()) || header.entryCount > 0x7fffffff
        || header.pinyinKeyCount > 0x7fffffff || header.frenchKeyCount > 0x7fffffff
        || (header.traditionalCount != 0 && header.traditionalCount != header.entryCount))
        return fail(u"taille du dictionnaire compilé incohérente"_s);

    Tables t;
    t.m_buffer = compiled;
    const char *p = t.m_buffer.constData() + sizeof header;
    t.m_entries = reinterpret_cast<const Ref *>(p);
    p += entriesBytes;
    t.m_lines = reinterpret_cast<const Ref *>(p);
    p += linesBytes;
    t.m_pinyinKeys = reinterpret_cast<const KeyRow *>(p);
    p += pinyinBytes;
    t.m_frenchKeys = reinterpret_cast<const KeyRow *>(p);
    p += frenchBytes;
    if (header.traditionalCount > 0)
        t.m_traditionals = reinterpret_cast<const Ref *>(p);
    p += traditionalBytes;
    t.m_foldedFrenchKeys = reinterpret_cast<const Ref *>(p);
    p += foldedBytes;
    t.m_pool = reinterpret_cast<const char16_t *>(p);
    p += poolBytes;
    t.m_entryCount = int(header.entryCount);
    t.m_pinyinKeyCount = int(header.pinyinKeyCount);
    t.m_frenchKeyCount = int(header.frenchKeyCount);

    // Checked a piece at a time: a mapped file's pages leave the process
    // once checked, and come back only where they are used.
    if (checks == Checks::Bounds) {
        auto inPool = [&](Ref r) { return quint64(r.offset) + r.length <= header.poolUnits; };
        // The lines follow the entries.
        if (!allOfInPieces(t.m_entries, quint64(header.entryCount) * 4, mapped, inPool))
            return fail(u"texte hors du dictionnaire compilé"_s);
        const auto keyValid = [&](const KeyRow &row) {
            return inPool(row.text) && row.entry < header.entryCount;
        };
        if (!allOfInPieces(t.m_pinyinKeys, header.pinyinKeyCount, mapped, keyValid)
            || !allOfInPieces(t.m_frenchKeys, header.frenchKeyCount, mapped, keyValid))
            return fail(u"clé hors du dictionnaire compilé"_s);
        // The traditional forms and the folded keys follow one another.
        const quint64 refs = quint64(header.traditionalCount) + header.frenchKeyCount;
        const Ref *after = reinterpret_cast<const Ref *>(t.m_frenchKeys + header.frenchKeyCount);
        if (!allOfInPieces(after, refs, mapped, inPool))
            return fail(u"texte hors du dictionnaire compilé"_s);
    }

    // The indexes as laid out, unless there are none or they fold letter
    // case as another Unicode version did: then they are built here.
    const quint32 rowCounts[kIndexedLists] = {header.entryCount, header.pinyinKeyCount,
                                              header.frenchKeyCount, header.frenchKeyCount,
                                              header.traditionalCount};
    IndexViews views;
    if (header.indexBytes > 0 && header.foldingVersion == caseFoldingVersion()) {
        t.m_indexSection = QByteArrayView(p, qsizetype(header.indexBytes));
        if (!readIndexes(t.m_indexSection, rowCounts, header.entryCount, checks == Checks::Bounds,
                         &views, mapped))
            return fail(u"index hors du dictionnaire compilé"_s);
    } else {
        t.m_builtIndexes = buildIndexes(t);
        t.m_indexSection = t.m_builtIndexes;
        [[maybe_unused]] const bool read =
                readIndexes(t.m_indexSection, rowCounts, header.entryCount, false, &views);
        Q_ASSERT(read);
    }
    std::copy(std::begin(views.trees), std::end(views.trees), std::begin(t.m_trees));
    t.m_trie = views.trie;
    return t;
}

Tables Tables::fromMapped(QByteArrayView compiled, std::shared_ptr<const void> owner,
                          QString *error)
{
    Tables t = adopt(QByteArray::fromRawData(compiled.data(), compiled.size()), error,
                     Checks::Bounds, true);
    if (!t.isEmpty())
        t.m_owner = std::move(owner);
    return t;
}

int Tables::rowCount(List list) const
{
    switch (list) {
    case List::Headwords:
    case List::Pinyins:
    case List::Glosses:
        return m_entryCount;
    case List::PinyinKeys:
    case List::PinyinKeyEntries:
        return m_pinyinKeyCount;
    case List::FrenchKeys:
    case List::FrenchKeyEntries:
        return m_frenchKeyCount;
    }
    return 0;
}

std::span<const quint32> Tables::foldedFrenchTree() const
{
    return {m_trees[3], 2 * std::size_t(m_frenchKeyCount)};
}

std::span<const quint32> Tables::traditionalTree() const
{
    return {m_trees[4], m_traditionals ? 2 * std::size_t(m_entryCount) : 0};
}

std::span<const quint32> Tables::prefixTree(List list) const
{
    switch (list) {
    case List::Headwords:
        return {m_trees[0], 2 * std::size_t(m_entryCount)};
    case List::PinyinKeys:
        return {m_trees[1], 2 * std::size_t(m_pinyinKeyCount)};
    case List::FrenchKeys:
        return {m_trees[2], 2 * std::size_t(m_frenchKeyCount)};
    default:
        return {};
    }
}

QString Tables::row(List list, int r) const
{
    switch (list) {
    case List::Headwords:
        return headword(r).toString();
    case List::Pinyins:
        return pinyin(r).toString();
    case List::Glosses:
        return gloss(r).toString();
    case List::PinyinKeys:
        return pinyinKey(r).toString();
    case List::PinyinKeyEntries:
        return QString::number(pinyinKeyEntry(r));
    case List::FrenchKeys:
        return frenchKey(r).toString();
    case List::FrenchKeyEntries:
        return QString::number(frenchKeyEntry(r));
    }
    return {};
}

} // namespace Verarov::Dictionary
