#pragma once

#include "dictionary/headwordtrie.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>
#include <span>

namespace Verarov::Dictionary {

// The seven lists of the dictionary.  listName() gives the name each is
// known by outside the program (exported file names, log lines).
enum class List {
    Headwords,        // headword of each entry, in entry order
    Pinyins,          // pinyin of each entry
    Glosses,          // French gloss of each entry
    PinyinKeys,       // toneless pinyin keys, collated
    PinyinKeyEntries, // entry index of each pinyin key, decimal text
    FrenchKeys,       // French keys, collated
    FrenchKeyEntries, // entry index of each French key, decimal text
};
inline constexpr List kAllLists[] = {
        List::Headwords,        List::Pinyins,    List::Glosses,          List::PinyinKeys,
        List::PinyinKeyEntries, List::FrenchKeys, List::FrenchKeyEntries,
};
// The list's historical name: "liste_dico_ch" for Headwords; the export
// writes the list to that name + ".txt".
QString listName(List list);

// A read-only view of a compiled dictionary (see compiled_p.h for the
// layout) with its indexes.  Cheap to copy: copies share the one buffer.
// Rows are views into it and stay valid as long as any copy lives.
class Tables
{
public:
    Tables() = default;

    // How much of a compiled buffer to check before use.
    enum class Checks {
        Bounds, // every text, entry index and index number lies inside what it points into
        Header, // sizes only: for the built-in dictionary, made by our build
    };

    // Adopts a compiled buffer after checking its structure (not content).
    // Returns an empty Tables and sets *error when the buffer is not a
    // compiled dictionary.
    static Tables fromCompiled(QByteArray compiled, QString *error = nullptr,
                               Checks checks = Checks::Bounds);

    // The same over memory that owner keeps alive (a mapped file).
    static Tables fromMapped(QByteArrayView compiled, std::shared_ptr<const void> owner,
                             QString *error = nullptr);

    bool isEmpty() const { return entryCount() == 0; }
    const QByteArray &compiled() const { return m_buffer; }

    int entryCount() const { return m_entryCount; }
    QStringView headword(int entry) const { return text(m_entries[3 * entry]); }
    QStringView pinyin(int entry) const { return text(m_entries[3 * entry + 1]); }
    QStringView gloss(int entry) const { return text(m_entries[3 * entry + 2]); }
    // The entry's line in a word list: headword TAB pinyin TAB gloss
    // trimmed (trimmed()) CR LF.  "好\thǎo\tbon\r\n"
    QStringView line(int entry) const { return text(m_lines[entry]); }

    int pinyinKeyCount() const { return m_pinyinKeyCount; }
    QStringView pinyinKey(int row) const { return text(m_pinyinKeys[row].text); }
    int pinyinKeyEntry(int row) const { return int(m_pinyinKeys[row].entry); }

    int frenchKeyCount() const { return m_frenchKeyCount; }
    QStringView frenchKey(int row) const { return text(m_frenchKeys[row].text); }
    int frenchKeyEntry(int row) const { return int(m_frenchKeys[row].entry); }
    // The French key of a row as typed without accents (foldFrench), up to
    // letter case: "Élève" -> "eleve", "Paris" -> "Paris".
    QStringView foldedFrenchKey(int row) const { return text(m_foldedFrenchKeys[row]); }

    // Whether the dictionary gives each entry its traditional form (a
    // column of its own); else traditional() is always empty.
    bool hasTraditionalForms() const { return m_traditionals != nullptr; }
    // The entry's headword in traditional characters; empty when it is the
    // same or the dictionary gives none.  "学习" -> "學習", "中" -> ""
    QStringView traditional(int entry) const
    {
        return m_traditionals ? text(m_traditionals[entry]) : QStringView();
    }
    // The entry as written in traditional characters: its traditional form,
    // else its headword.
    QStringView traditionalWriting(int entry) const
    {
        const QStringView t = traditional(entry);
        return t.isEmpty() ? headword(entry) : t;
    }

    // Row access by list name; index lists give the entry index as decimal
    // text ("0" for entry 0).
    int rowCount(List list) const;
    QString row(List list, int row) const;

    // The prefix index of a lookup list (Headwords, PinyinKeys or
    // FrenchKeys), 2 * rowCount(list) row numbers: see prefixtree.h.
    std::span<const quint32> prefixTree(List list) const;
    // The prefix index of the folded French keys (foldedFrenchKey), rows
    // as in FrenchKeys.
    std::span<const quint32> foldedFrenchTree() const;
    // The prefix index of the entries by traditionalWriting, rows as in
    // Headwords; empty without traditional forms.
    std::span<const quint32> traditionalTree() const;
    // The headwords as a trie, for the translation.
    const HeadwordTrie &headwordTrie() const { return m_trie; }
    // The index section, as mapped or as built when the buffer had none
    // usable (see compiled_p.h).
    QByteArrayView indexSection() const { return m_indexSection; }

    struct Ref
    {
        quint32 offset;
        quint32 length;
    };
    struct KeyRow
    {
        Ref text;
        quint32 entry;
    };

private:
    // fromCompiled, and with mapped the checked pages of the buffer (a
    // file mapping) let go as they are checked.
    static Tables adopt(QByteArray compiled, QString *error, Checks checks, bool mapped);
    QStringView text(Ref ref) const { return QStringView(m_pool + ref.offset, ref.length); }

    QByteArray m_buffer;
    QByteArray m_builtIndexes;           // the indexes when built at load
    std::shared_ptr<const void> m_owner; // keeps mapped memory alive
    int m_entryCount = 0;
    int m_pinyinKeyCount = 0;
    int m_frenchKeyCount = 0;
    const Ref *m_entries = nullptr;
    const Ref *m_lines = nullptr;
    const KeyRow *m_pinyinKeys = nullptr;
    const KeyRow *m_frenchKeys = nullptr;
    const Ref *m_traditionals = nullptr; // none when the dictionary gives none
    const Ref *m_foldedFrenchKeys = nullptr;
    const char16_t *m_pool = nullptr;
    QByteArrayView m_indexSection;
    // Headwords, PinyinKeys, FrenchKeys, folded French keys, traditional.
    const quint32 *m_trees[5] = {};
    HeadwordTrie m_trie;
};

} // namespace Verarov::Dictionary
