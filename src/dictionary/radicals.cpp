#include "dictionary/radicals.h"

#include <QFile>
#include <QHash>
#include <QLoggingCategory>

#include <bitset>
#include <limits>
#include <vector>

namespace Verarov::Dictionary {

using namespace Qt::StringLiterals;

Q_DECLARE_LOGGING_CATEGORY(lcDictionary)

namespace {

QString readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The radical number a header line gives ("#12" -> 12), or 0 when its 1 to
// 3 code units after "#" are not all digits or name no radical.
int headerNumber(QStringView line)
{
    const QStringView digits = line.sliced(1).first(std::min<qsizetype>(3, line.size() - 1));
    if (digits.isEmpty())
        return 0;
    int n = 0;
    for (QChar c : digits) {
        if (!isAsciiDigit(c))
            return 0;
        n = n * 10 + (c.unicode() - u'0');
    }
    return isRadicalNumber(n) ? n : 0;
}

// What keeps a character line out of the build, or nothing.
QString characterLineProblem(QStringView line)
{
    if (line.size() < 2 || line[1] != u'\t')
        return u"le caractère n'est pas une seule unité de code suivie d'une TAB"_s;
    if (line[0].isSurrogate() || line[0].unicode() <= 0x20)
        return u"pas de caractère avant la première TAB"_s;
    if (line.indexOf(u'\t', 2) < 0)
        return u"pas de TAB après les lectures"_s;
    return {};
}

} // namespace

// --- Tree -------------------------------------------------------------------

QList<RadicalNode> parseRadicalTree(QStringView table)
{
    QList<RadicalNode> nodes;
    for (QStringView line : table.split(u'\n')) {
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            return {};
        nodes.append({line.first(tab).toString(), true});
        for (QStringView caption : line.sliced(tab + 1).split(u' ')) {
            if (caption.isEmpty())
                return {};
            nodes.append({caption.toString(), false});
        }
    }
    return nodes;
}

const QList<RadicalNode> &radicalTree()
{
    static const QList<RadicalNode> tree = [] {
        QList<RadicalNode> nodes = parseRadicalTree(readResource(u":/verarov/radicaltree.txt"_s));
        if (nodes.size() != kRadicalNumberMax + 1) {
            qCWarning(lcDictionary) << "radical tree unusable:" << nodes.size() << "nodes";
            nodes.clear();
        }
        return nodes;
    }();
    return tree;
}

bool isRadicalNumber(int n)
{
    static const std::bitset<kRadicalNumberMax + 1> radical = [] {
        std::bitset<kRadicalNumberMax + 1> bits;
        const QList<RadicalNode> &tree = radicalTree();
        for (qsizetype i = 1; i < tree.size(); ++i)
            bits[size_t(i)] = !tree[i].heading;
        return bits;
    }();
    return n >= 1 && n <= kRadicalNumberMax && radical[size_t(n)];
}

// --- Raw list ---------------------------------------------------------------

QStringList radicalListLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line.toString());
        start = end + 1;
    }
    return lines;
}

QString builtInRadicalText()
{
    return readResource(u":/verarov/radicals.txt"_s);
}

QStringList builtInRadicalList()
{
    return radicalListLines(builtInRadicalText());
}

RadicalTables::RadicalTables()
{
    m_first.fill(-1);
    m_last.fill(0);
}

RadicalRows RadicalTables::rows(int n) const
{
    if (!inRange(n))
        return {};
    const qint32 first = m_first[size_t(n - 1)];
    const qint32 last = m_last[size_t(n - 1)];
    if (first == -1 || last < first)
        return {};
    return {first, last};
}

RadicalTables buildRadicalTables(const QStringList &rawList)
{
    return buildRadicalTables(rawList.join(u'\n'));
}

RadicalTables buildRadicalTables(QString rawList)
{
    RadicalTables t;
    if (rawList.size() >= std::numeric_limits<qint32>::max()) {
        t.m_ignored.append({1, u"raw radical list too large"_s});
        return t;
    }
    t.m_text = std::move(rawList);
    const QStringView text = t.m_text;
    t.m_rows.reserve(text.count(u'\n') + 1);
    int lineNumber = 0;
    auto ignore = [&](const QString &reason) { t.m_ignored.append({lineNumber, reason}); };

    int n = 0; // current radical number, 0 before a good header
    qint32 j = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype lineStart = start;
        start = end + 1;
        ++lineNumber;
        if (line.isEmpty()) {
            ignore(u"empty line"_s);
            continue;
        }
        if (line.front() == u'#') {
            n = headerNumber(line);
            if (n == 0)
                ignore(u"header without a radical number"_s);
            else
                ++t.m_headers;
            continue;
        }
        if (n == 0) {
            ignore(u"character line under no radical"_s);
            continue;
        }
        if (const QString problem = characterLineProblem(line); !problem.isEmpty()) {
            ignore(problem);
            continue;
        }
        const qsizetype p = line.indexOf(u'\t', 2);
        t.m_rows.append(
                {qint32(lineStart), qint32(lineStart + p), qint32(lineStart + line.size())});
        qint32 &first = t.m_first[size_t(n - 1)];
        if (first == -1)
            first = j;
        t.m_last[size_t(n - 1)] = j;
        ++j;
    }
    return t;
}

QStringList checkRadicalList(const QStringList &lines, int limit)
{
    QStringList violations;
    auto violation = [&](qsizetype index, const QString &what) {
        if (violations.size() < limit)
            violations.append(u"ligne %1 : %2"_s.arg(index + 1).arg(what));
    };
    int previousHeader = 0;
    int previousStrokes = 0;
    QHash<char16_t, int> seen; // character -> header it was last seen under
    bool headerSeen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line.startsWith(u'#')) {
            const QStringView digits = line.sliced(1);
            const bool decimal = !digits.isEmpty() && digits.size() <= 3 && digits.front() != u'0'
                                 && std::all_of(digits.begin(), digits.end(), isAsciiDigit);
            const int n = decimal ? digits.toInt() : 0;
            if (!decimal)
                violation(i, u"en-tête autre que \"#\" et un nombre sans zéro en tête"_s);
            else if (!isRadicalNumber(n))
                violation(i, u"l'en-tête %1 n'est pas un numéro de radical"_s.arg(n));
            else if (n <= previousHeader)
                violation(i, u"l'en-tête %1 ne suit pas %2"_s.arg(n).arg(previousHeader));
            for (int missing = previousHeader + 1; decimal && missing < n; ++missing) {
                if (isRadicalNumber(missing))
                    violation(i, u"pas d'en-tête pour le radical %1"_s.arg(missing));
            }
            if (decimal && n > previousHeader)
                previousHeader = n;
            headerSeen = true;
            previousStrokes = 0;
            continue;
        }
        if (!headerSeen) {
            violation(i, u"ligne de caractère avant le premier en-tête"_s);
            continue;
        }
        if (const QString problem = characterLineProblem(line); !problem.isEmpty()) {
            violation(i, problem);
            continue;
        }
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() != 3) {
            violation(i, u"%1 champs au lieu de 3"_s.arg(fields.size()));
            continue;
        }
        const QStringView readings = fields[1];
        const QStringView strokes = fields[2];
        bool readingsOk = !readings.isEmpty();
        for (QStringView reading : readings.split(u", "_s))
            readingsOk = readingsOk && !reading.isEmpty() && reading.trimmed() == reading
                         && !reading.contains(u',');
        if (!readingsOk)
            violation(i, u"lectures non séparées par \", \""_s);
        const bool strokesOk = !strokes.isEmpty() && strokes.size() <= 2 && strokes.front() != u'0'
                               && std::all_of(strokes.begin(), strokes.end(), isAsciiDigit);
        if (!strokesOk) {
            violation(i, u"nombre de traits autre qu'un nombre de 1 à 99"_s);
        } else {
            const int count = strokes.toInt();
            if (count < previousStrokes)
                violation(i, u"%1 traits après %2"_s.arg(count).arg(previousStrokes));
            previousStrokes = count;
        }
        const char16_t c = line.front().unicode();
        const auto found = seen.constFind(c);
        if (found != seen.cend() && *found == previousHeader)
            violation(i, u"caractère classé deux fois sous le radical %1"_s.arg(previousHeader));
        seen.insert(c, previousHeader);
    }
    for (int missing = previousHeader + 1; missing <= kRadicalNumberMax; ++missing) {
        if (isRadicalNumber(missing))
            violation(lines.size(), u"pas d'en-tête pour le radical %1"_s.arg(missing));
    }
    return violations;
}

RadicalReport radicalReport(const RadicalTables &radicals, const Tables &dictionary)
{
    RadicalReport report;
    report.headers = radicals.headerCount();
    report.characterLines = radicals.rowCount();
    std::vector<int> filings(0x10000, 0);
    for (int row = 0; row < radicals.rowCount(); ++row)
        ++filings[radicals.character(row).front().unicode()];
    for (int count : filings) {
        report.distinctCharacters += count > 0;
        report.multiRadicalCharacters += count > 1;
    }
    for (int n = 1; n <= kRadicalNumberMax; ++n) {
        if (!isRadicalNumber(n))
            continue;
        const int size = radicals.rows(n).size();
        if (size == 0)
            report.emptyRadicals.append(n);
        if (size > report.largestRadicalSize) {
            report.largestRadical = n;
            report.largestRadicalSize = size;
        }
    }
    std::vector<bool> unreachableFirst(0x10000, false);
    for (int e = 0; e < dictionary.entryCount(); ++e) {
        const QStringView headword = dictionary.headword(e);
        const char16_t first = headword.isEmpty() ? 0 : headword.front().unicode();
        if (headword.isEmpty() || filings[first] == 0) {
            ++report.unreachableEntries;
            if (!unreachableFirst[first]) {
                unreachableFirst[first] = true;
                ++report.unreachableFirstCharacters;
            }
        }
    }
    return report;
}

} // namespace Verarov::Dictionary
