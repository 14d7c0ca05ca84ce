#pragma once

#include "dictionary/tables.h"
#include "translate/cutter.h"
#include "translate/reportwriter.h"
#include "translate/textdecoder.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <functional>
#include <vector>

namespace Verarov::Translate {

class HeadwordIndex;

// A Chinese character, as the vocabulary figures count them: a code point of
// the CJK Unified Ideographs (U+4E00-U+9FFF) and their extension A
// (U+3400-U+4DBF), of the CJK Compatibility Ideographs (U+F900-U+FAFF), of
// the ideographic planes 2 and 3 (U+20000-U+3FFFF: extensions B and later,
// the compatibility supplement), or the ideographic zero U+3007.  Radicals,
// strokes, punctuation and fullwidth forms are not.  '好' yes, '〇' yes,
// '。' no, '⺈' no
constexpr bool isChineseCharacter(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF)
           || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3007;
}

// The vocabulary of one or more texts: how many times the file
// translation's cut (Cutter) writes each entry, and the Chinese characters
// it leaves outside every headword it finds.
//
// Counts: an entry counts once each time a matching step writes it, so the
// counts are the translation's lines of the same text, grouped (homographs
// count alike, like the lines the translation writes for them).  A Chinese
// character is covered where it lies inside a headword found; an unknown
// character is a Chinese character where it is not covered (its count: the
// places where it is not).
//
// Memory holds a count per entry of the dictionary and per distinct Chinese
// character met, never the text.
class Vocabulary
{
public:
    explicit Vocabulary(const HeadwordIndex &index);

    const Dictionary::Tables &tables() const { return m_tables; }

    // The next code units of the current text.  A surrogate pair must not
    // be split between two calls (TextDecoder never splits one).
    void add(const char16_t *units, std::size_t count);
    // Decodes bytes of the current text and adds them; false at invalid
    // bytes (decoder.errorText() tells where).
    bool addBytes(TextDecoder &decoder, const char *bytes, std::size_t size);
    // Ends the current text, and its decoding when a decoder is given
    // (false when the text stops inside a character).  No word spans two
    // texts.
    bool endText(TextDecoder *decoder = nullptr);

    // Leaves out of the report the entries whose headword is word, exactly,
    // and the unknown character word.  For words known already; any time
    // after the texts.
    void leaveOut(QStringView word);

    using EntryCount = Translate::EntryCount;
    using CharacterCount = Translate::CharacterCount;
    // The entries found at least minCount times and not left out, most
    // frequent first, ties in the order of their first occurrence.
    std::vector<EntryCount> entries(qint64 minCount = 1) const;
    // The same for the unknown characters; ties in the order of their first
    // appearance in the texts.
    std::vector<CharacterCount> unknownCharacters(qint64 minCount = 1) const;

    // The figures of the texts, whatever is left out.
    struct Figures
    {
        qint64 characters = 0;        // code points, byte-order marks excluded
        qint64 chineseCharacters = 0; // isChineseCharacter
        qint64 covered = 0;           // Chinese characters inside a headword found
        qint64 distinctEntries = 0;
        qint64 unknownCharacters = 0; // distinct
        qint64 unknownOccurrences = 0;
    };
    Figures figures() const;

private:
    // One matching step's entries (the Cutter's found()).
    void found(const std::vector<int> &entries);
    // Chinese characters outside the headwords found, with their counts.
    QHash<char32_t, qint64> uncovered() const;

    Dictionary::Tables m_tables;
    Cutter m_cutter;
    std::vector<char16_t> m_units;       // decoding buffer
    std::vector<qint64> m_counts;        // per entry: times written
    std::vector<qint64> m_matches;       // per entry: times first of a matching step
    std::vector<int> m_order;            // entries in order of first occurrence
    std::vector<qint64> m_bmpCharacters; // per BMP code unit: occurrences
    QHash<char32_t, qint64> m_otherCharacters;
    std::vector<char32_t> m_characterOrder; // Chinese characters by first appearance
    qint64 m_characters = 0;
    qint64 m_chineseCharacters = 0;

    // Words left out, and what finds them.
    QMultiHash<QStringView, int> m_byHeadword;
    std::size_t m_indexed = 0; // entries of m_order in m_byHeadword
    QSet<int> m_leftOutEntries;
    QSet<char32_t> m_leftOutCharacters;
};

// The words of a list, one a line: the first TAB-separated field of each
// line, blanks and control characters (up to U+0020) around it dropped;
// empty fields and fields over kMaxWord code units are skipped.  Lines end
// at LF or CR.  An earlier report is such a list.
//   "\xEF\xBB\xBF好\thǎo\tbon\t3\r\n  一 \n\n" -> "好", "一"
class WordListReader
{
public:
    static constexpr int kMaxWord = 64;
    using Word = std::function<void(QStringView)>;

    explicit WordListReader(TextEncoding encoding = TextEncoding::Detect);

    // false at invalid bytes (decoder().errorText() tells where).
    bool add(const char *bytes, std::size_t size, const Word &word);
    bool finish(const Word &word);
    const TextDecoder &decoder() const { return m_decoder; }

private:
    void split(const Word &word);
    void endLine(const Word &word);

    TextDecoder m_decoder;
    std::vector<char16_t> m_units;
    QString m_field;
    bool m_inFirstField = true;
    bool m_tooLong = false;
};

// The summary, in French, a figure a line:
//   Caractères : 1572864
//   Caractères chinois : 1007556, dont 1007420 dans un mot trouvé (99,99 %)
//   Entrées distinctes : 25012 (écrites : 24000)
//   Caractères inconnus : 12 distincts, 136 occurrences
// The share is rounded down: 100,00 % means every Chinese character.
QString summaryText(const Vocabulary::Figures &figures, qint64 entriesWritten);

// A progress bar of `width` cells for done bytes of total, with the share
// and the sizes in MB:  "[##########----------]  50 %  (512 / 1024 Mo)"
QString progressBar(qint64 done, qint64 total, int width = 30);

} // namespace Verarov::Translate
