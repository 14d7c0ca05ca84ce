#pragma once

#include "dictionary/tables.h"

#include <QByteArray>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace Verarov::Translate {

// An entry of a report and how many times it was met.
struct EntryCount
{
    int entry;
    qint64 count;
};

// A Chinese character of a report and how many times it was met.
struct CharacterCount
{
    char32_t character;
    qint64 count;
};

enum class ReportFormat { Tsv, Csv, Anki };

// "tsv", "csv" or "anki", case ignored.
std::optional<ReportFormat> reportFormatFromName(QStringView name);

// The lines of the entries, UTF-8, without heading (a negative count
// leaves out the count field, for lists that count nothing):
//   Tsv:  headword TAB pinyin TAB gloss TAB count LF
//   Csv:  headword,pinyin,gloss,count CR LF (RFC 4180): a field holding a
//         comma, a double quote, CR or LF between double quotes, its double
//         quotes doubled; one beginning with = + - @ quoted after an
//         apostrophe, so that a spreadsheet never runs it as a formula
//   Anki: "#separator:tab" and "#html:true" first (lines the flashcard
//         program reads as its settings), then headword TAB pinyin<br>gloss
//         LF: the front and the back of a card, as HTML (& < > escaped)
//         With sound files (one name per entry), each Anki line has a
//         third field "[sound:NAME]" (left empty for an empty name).
// The gloss is trimmed as the translation writes it.  In Tsv and Anki a TAB,
// CR or LF inside a field becomes a blank.
QByteArray formatEntries(const Dictionary::Tables &tables, const std::vector<EntryCount> &entries,
                         ReportFormat format, const QStringList &soundFiles = {});

// The unknown characters: character TAB count LF (Tsv and Anki), or
// character,count CR LF (Csv).
QByteArray formatUnknown(const std::vector<CharacterCount> &characters, ReportFormat format);

// What comes between the entries and the unknown characters when both go
// to one output: an empty line and "# caractères inconnus" (Tsv, Csv).
QByteArray unknownHeading(ReportFormat format);

} // namespace Verarov::Translate
