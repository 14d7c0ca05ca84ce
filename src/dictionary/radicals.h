#pragma once

#include "dictionary/tables.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace Verarov::Dictionary {

// ---------------------------------------------------------------------------
// The radical tree: 12 headings "1" to "12" (stroke counts), each followed by
// its radicals, 199 nodes in display order.  The absolute index of a node is
// its position in that order; the absolute index of a radical node is its
// radical number (1 to 198); the headings' indexes are no radical number.

struct RadicalNode
{
    QString caption; // "1", "丶", "乙(乚乛)", "讠/言", "阝(g)"
    bool heading = false;
};

inline constexpr int kRadicalNumberMax = 198;

// The tree from its table: one line per heading, "heading TAB radical
// captions separated by single blanks".  Empty on a malformed table.
//   "1\t丶 一\n2\t亠\n" -> 1, 丶, 一, 2, 亠 (indexes 0 to 4)
QList<RadicalNode> parseRadicalTree(QStringView table);

// The program's tree (data/radicaltree.txt, built into this library).
const QList<RadicalNode> &radicalTree();

// True for the absolute index of a radical node of the program's tree.
bool isRadicalNumber(int n);

// ---------------------------------------------------------------------------
// The raw radical list and the lists built from it.
//
// Raw list: header lines "#n" (n the radical number), each followed by the
// character lines of radical n, "character TAB readings TAB strokes":
//   #1
//   为<TAB>wèi, wéi<TAB>4

// The lines of a raw radical list held as text: split at LF, one CR before
// it dropped, no line after a final LF.
QStringList radicalListLines(QStringView text);

// The program's raw radical list (data/radicals.txt, built into the
// executables that link the built-in data) as text, and as lines; empty
// when absent.
QString builtInRadicalText();
QStringList builtInRadicalList();

// A line the build left out, and why (1-based line number).
struct IgnoredRadicalLine
{
    int line = 0;
    QString reason;
};

// Rows first to last of the radical character lists (empty: 0 to -1).
struct RadicalRows
{
    int first = 0;
    int last = -1;
    int size() const { return last >= first ? last - first + 1 : 0; }
    bool isEmpty() const { return size() == 0; }
};

// The radical character lists (one row per character line, all radicals one
// after another) and the row ranges of each radical number.  Rows are views
// into the raw list, which the tables keep.  Cheap to copy.
class RadicalTables
{
public:
    RadicalTables();

    int rowCount() const { return int(m_rows.size()); }
    // The character, its readings, its stroke count.
    QStringView character(int row) const { return text().sliced(m_rows[row].start, 1); }
    QStringView reading(int row) const
    {
        const Row &r = m_rows[row];
        return text().sliced(r.start + 2, r.tab - r.start - 2);
    }
    QStringView strokes(int row) const
    {
        const Row &r = m_rows[row];
        return text().sliced(r.tab + 1, r.end - r.tab - 1);
    }

    // The characters of the node with absolute index n: none for a heading,
    // an empty radical or an index outside 1 to 198.
    RadicalRows rows(int n) const;

    // Good header lines read.
    int headerCount() const { return m_headers; }
    // Lines of the raw list that were left out (see buildRadicalTables).
    const QList<IgnoredRadicalLine> &ignoredLines() const { return m_ignored; }

private:
    friend RadicalTables buildRadicalTables(QString);
    static bool inRange(int n) { return n >= 1 && n <= kRadicalNumberMax; }
    QStringView text() const { return m_text; }

    // A character line: where it starts, where its second TAB is, where it ends.
    struct Row
    {
        qint32 start;
        qint32 tab;
        qint32 end;
    };
    QString m_text; // the raw list the rows view
    QList<Row> m_rows;
    // Per radical number 1 to 198: its first row (-1 while none) and its
    // last row (0 while none).
    std::array<qint32, kRadicalNumberMax> m_first;
    std::array<qint32, kRadicalNumberMax> m_last;
    QList<IgnoredRadicalLine> m_ignored;
    int m_headers = 0;
};

// Splits the raw list into the radical character lists and row ranges, in
// one pass, cutting fields by position: the character is the first code
// unit, the readings run from the third code unit to the next TAB, the
// strokes are the rest of the line.  A header sets the current radical to
// the number in its 1 to 3 code units after "#" ("#7", "#198").
// Malformed lines never stop the build; they are left out and listed in
// ignoredLines():
//  - an empty line;
//  - a header whose 1 to 3 code units after "#" are not all decimal digits
//    or give no radical number (0, a heading index, above 198): the
//    character lines under it are left out too, up to the next good header;
//  - a character line before the first good header;
//  - a character line whose second code unit is not a TAB (a character
//    outside the BMP, a word) or that has no second TAB.
// A radical whose header comes twice keeps the first row of its first run
// and the last row of its last one, like the plain algorithm.
// The raw list as text: lines end with LF (or CR LF), the last one may not.
RadicalTables buildRadicalTables(QString rawList);
// The raw list as lines (none holding a line feed).
RadicalTables buildRadicalTables(const QStringList &rawList);

// Every rule a raw radical list must obey beyond what the build needs: one
// header "#n" per radical number in ascending order (no leading zero, no
// heading index), no character line before the first header, character
// lines "c TAB readings TAB strokes" with c one code unit (no TAB, control
// or surrogate), readings non-empty and separated by ", ", strokes 1 to 99
// without leading zero and ascending within a radical, no character twice
// under one radical.  One line per violation, "line N: what", at most
// `limit` of them.
QStringList checkRadicalList(const QStringList &rawList, int limit = 100);

// Counts of a built radical list and its reach into a dictionary.
struct RadicalReport
{
    int headers = 0;
    int characterLines = 0;
    int distinctCharacters = 0;
    int multiRadicalCharacters = 0; // characters under more than one radical
    int largestRadical = -1;        // radical number with the most characters
    int largestRadicalSize = 0;
    QList<int> emptyRadicals;   // radical numbers without characters
    int unreachableEntries = 0; // entries whose first character is filed nowhere
    int unreachableFirstCharacters = 0;
};
RadicalReport radicalReport(const RadicalTables &radicals, const Tables &dictionary);

} // namespace Verarov::Dictionary
