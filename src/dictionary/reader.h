#pragma once

#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "io/input.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace Verarov::Dictionary {

enum class SourceFormat {
    Unknown,
    Tsv,      // headword TAB pinyin TAB gloss [TAB traditional]
    CcCedict, // TRAD SIMP [pin1 yin1] /sense/sense/
};

// A line that was left out, with its 1-based number and the reason (French).
struct SkippedLine
{
    int line;
    QString reason;
};

struct ReadResult
{
    SourceFormat format = SourceFormat::Unknown;
    QList<Entry> entries; // in file order, normalised, exact repeats dropped
    QList<SkippedLine> skipped;
    int repeats = 0;   // exact repeats of an earlier entry, dropped
    QString error;     // set when the data is unusable as a whole
    int errorLine = 0; // line the error refers to, 0 if none
};

// Reads dictionary text in either format, detected from its first data line.
// Lines are LF or CRLF; a UTF-8 BOM is skipped; blank lines and lines
// starting with "#" are ignored.  Entries that would break the invariants
// of the tables (headword over 7 code units, characters outside the BMP,
// control characters, empty fields, invalid UTF-8, malformed lines) are
// skipped and reported; the data is unusable only when its format is not
// recognised or no entry remains.
//
// Normalisation: blanks around and between pinyin syllables reduced to one;
// senses trimmed, runs of blanks inside them reduced to one, empty senses
// dropped, and joined with " / ".  CC-CEDICT lines keep the simplified
// headword and have their numbered pinyin converted to tone marks.
//
// Traditional forms: a TSV line may have a fourth field, the headword in
// traditional characters (blanks as in the headword); a CC-CEDICT line
// gives it first.  Kept only when it differs from the headword.  Exact
// repeats are told by headword, pinyin and gloss: the first line's form
// stays.
ReadResult parseDictionary(QByteArrayView data);

// Receives the entries of a dictionary as they are read; returns false for
// an exact repeat of an entry it has, which it drops.
class EntrySink
{
public:
    virtual ~EntrySink() = default;
    virtual bool add(Entry &&entry) = 0;
};

// parseDictionary line by line: each line (without its LF) as it comes,
// the entries into a sink, the result at the end (its entries left empty).
class DictionaryParser
{
public:
    explicit DictionaryParser(EntrySink &sink);
    // False once the data is found unusable: the lines after it are not read.
    bool line(QByteArrayView bytes);
    ReadResult finish();

private:
    EntrySink &m_sink;
    ReadResult m_result;
    int m_lineNumber = 0;
    int m_entries = 0;
};

// Far above any real dictionary; keeps a wrong path from filling memory.
inline constexpr qint64 kMaxDictionaryBytes = qint64(256) << 20;

// Reads a whole dictionary file (Io::readWholeFile, at most maxBytes).
inline QString readWholeFile(const QString &path, QByteArray &data,
                             qint64 maxBytes = kMaxDictionaryBytes)
{
    return Io::readWholeFile(path, data, maxBytes);
}

// The same for a file; a file that cannot be read sets error.
ReadResult readDictionaryFile(const QString &path);

// The same, read in blocks, the entries into a sink; *bytesRead, when
// given, is set to the file's size as read.  Memory does not grow with the
// file beyond what the sink keeps.
ReadResult readDictionaryFile(const QString &path, EntrySink &sink, qint64 *bytesRead = nullptr);

// One entry as a line of our TSV format, without line end: the fourth
// field only when the entry has a traditional form.
QString toTsvLine(const Entry &entry);

// Every entry of the tables in entry order, as our TSV: one line each, LF,
// UTF-8.  What import writes; reading it back gives the same entries.
QByteArray toTsv(const Tables &tables);

} // namespace Verarov::Dictionary
