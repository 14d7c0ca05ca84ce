#include "dictionary/reader.h"

#include "dictionary/pinyin.h"
#include "dictionary/text.h"

#include "io/messages.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace Verarov::Dictionary {

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxHeadwordLength = 7;

// Collapses runs of blanks to one and trims blanks at both ends.
QString simplifiedBlanks(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u' ' && (out.isEmpty() || out.back() == u' '))
            continue;
        out.append(c);
    }
    if (!out.isEmpty() && out.back() == u' ')
        out.chop(1);
    return out;
}

QString joinSenses(const QList<QStringView> &senses)
{
    QString gloss;
    for (QStringView sense : senses) {
        const QString s = simplifiedBlanks(trimmed(sense));
        if (s.isEmpty())
            continue;
        if (!gloss.isEmpty())
            gloss.append(u" / ");
        gloss.append(s);
    }
    return gloss;
}

// Reason why a field breaks the invariants, or an empty string.
QString fieldProblem(QStringView field, const QString &name)
{
    if (field.isEmpty())
        return u"%1 vide"_s.arg(name);
    for (QChar c : field) {
        if (c.isSurrogate())
            return u"%1 : caractère hors du plan multilingue de base"_s.arg(name);
        if (isControl(c.unicode()))
            return u"%1 : caractère de contrôle"_s.arg(name);
    }
    return {};
}

QString entryProblem(const Entry &e)
{
    QString why = fieldProblem(e.headword, u"entrée"_s);
    if (why.isEmpty() && e.headword.size() > kMaxHeadwordLength)
        why = u"entrée de plus de %1 caractères"_s.arg(kMaxHeadwordLength);
    // Read back, a line beginning with "#" is a comment and U+FEFF a
    // byte-order mark: such a headword would be lost.
    if (why.isEmpty() && (e.headword.front() == u'#' || e.headword.front() == u'\uFEFF'))
        why = u"entrée commençant par « # » ou par U+FEFF"_s;
    if (why.isEmpty())
        why = fieldProblem(e.pinyin, u"pinyin"_s);
    if (why.isEmpty())
        why = fieldProblem(e.gloss, u"traduction"_s);
    if (why.isEmpty() && !e.traditional.isEmpty()
        && std::any_of(e.traditional.begin(), e.traditional.end(),
                       [](QChar c) { return isControl(c.unicode()); }))
        why = u"forme traditionnelle : caractère de contrôle"_s;
    return why;
}

// "TRAD SIMP [pin1 yin1] /sense/sense/"; only blanks may stand between "]"
// and the first "/".
bool parseCcCedict(QStringView line, Entry &entry, QString &why)
{
    const qsizetype sp1 = line.indexOf(u' ');
    const qsizetype sp2 = sp1 < 0 ? -1 : line.indexOf(u' ', sp1 + 1);
    const qsizetype open = sp2 < 0 ? -1 : line.indexOf(u'[', sp2);
    const qsizetype close = open < 0 ? -1 : line.indexOf(u']', open);
    const QStringView senses = close < 0 ? QStringView() : trimmed(line.sliced(close + 1));
    if (open != sp2 + 1 || close < 0 || !senses.startsWith(u'/')) {
        why = u"ligne mal formée"_s;
        return false;
    }
    entry.headword = line.sliced(sp1 + 1, sp2 - sp1 - 1).toString();
    if (const QStringView traditional = line.first(sp1); traditional != entry.headword)
        entry.traditional = traditional.toString();
    entry.pinyin = numberedToMarked(line.sliced(open + 1, close - open - 1));
    entry.gloss = joinSenses(senses.sliced(1).split(u'/'));
    return true;
}

bool parseTsv(QStringView line, Entry &entry, QString &why)
{
    const QList<QStringView> fields = line.split(u'\t');
    if (fields.size() != 3 && fields.size() != 4) {
        why = u"%1 champs au lieu de 3 ou 4"_s.arg(fields.size());
        return false;
    }
    entry.headword = simplifiedBlanks(fields[0]);
    entry.pinyin = simplifiedBlanks(fields[1]);
    entry.gloss = joinSenses(fields[2].split(u'/'));
    if (fields.size() == 4) {
        entry.traditional = simplifiedBlanks(fields[3]);
        if (entry.traditional == entry.headword)
            entry.traditional.clear();
    }
    return true;
}

// Lines skipped before the format is known, at the most.
constexpr qsizetype kLinesToTellTheFormat = 20;

SourceFormat detectFormat(QStringView line)
{
    if (const qsizetype tabs = line.count(u'\t'); tabs == 2 || tabs == 3)
        return SourceFormat::Tsv;
    const qsizetype sp1 = line.indexOf(u' ');
    const qsizetype sp2 = sp1 < 0 ? -1 : line.indexOf(u' ', sp1 + 1);
    if (sp2 > 0 && line.sliced(sp2).startsWith(u" [") && line.contains(u'/'))
        return SourceFormat::CcCedict;
    return SourceFormat::Unknown;
}

} // namespace

DictionaryParser::DictionaryParser(EntrySink &sink) : m_sink(sink) { }

bool DictionaryParser::line(QByteArrayView bytes)
{
    if (!m_result.error.isEmpty())
        return false;
    ++m_lineNumber;
    if (m_lineNumber == 1 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (bytes.endsWith('\r'))
        bytes.chop(1);

    // U+FEFF at the start of a line is kept: it is no byte-order mark
    // there, and a headword must not lose it unseen.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless
                                   | QStringDecoder::Flag::ConvertInitialBom);
    const QString line = decoder.decode(bytes);
    if (decoder.hasError()) {
        m_result.skipped.append({m_lineNumber, u"texte UTF-8 invalide"_s});
        return true;
    }
    if (trimmed(line).isEmpty() || line.startsWith(u'#'))
        return true;
    if (m_result.format == SourceFormat::Unknown) {
        m_result.format = detectFormat(line);
        if (m_result.format == SourceFormat::Unknown) {
            // A line of neither format is skipped while the lines after
            // it may still tell the format; a file that begins with many
            // (binary data, a text) is reported from its first line.
            m_result.skipped.append({m_lineNumber, u"ligne mal formée"_s});
            if (m_result.skipped.size() < kLinesToTellTheFormat)
                return true;
            m_result.error = u"format de dictionnaire non reconnu"_s;
            m_result.errorLine = m_result.skipped.front().line;
            return false;
        }
    }

    Entry entry;
    QString why;
    const bool parsed = m_result.format == SourceFormat::Tsv ? parseTsv(line, entry, why)
                                                             : parseCcCedict(line, entry, why);
    if (parsed)
        why = entryProblem(entry);
    if (!why.isEmpty()) {
        m_result.skipped.append({m_lineNumber, why});
        return true;
    }
    if (m_sink.add(std::move(entry)))
        ++m_entries;
    else
        ++m_result.repeats;
    return true;
}

ReadResult DictionaryParser::finish()
{
    ReadResult result = std::move(m_result);
    if (!result.error.isEmpty())
        return result;
    if (result.format == SourceFormat::Unknown && result.skipped.isEmpty()) {
        result.error = u"aucune entrée"_s;
    } else if (result.format == SourceFormat::Unknown) {
        result.error = u"format de dictionnaire non reconnu"_s;
        result.errorLine = result.skipped.front().line;
    } else if (m_entries == 0) {
        result.error = u"aucune entrée utilisable"_s;
    }
    return result;
}

namespace {

// Entries kept in a list, exact repeats (same headword, pinyin and gloss)
// dropped.
class ListSink final : public EntrySink
{
public:
    explicit ListSink(QList<Entry> &entries) : m_entries(entries) { }
    bool add(Entry &&entry) override
    {
        const QString identity = entry.headword + u'\t' + entry.pinyin + u'\t' + entry.gloss;
        if (m_seen.contains(identity))
            return false;
        m_seen.insert(identity);
        m_entries.append(std::move(entry));
        return true;
    }

private:
    QList<Entry> &m_entries;
    QSet<QString> m_seen;
};

} // namespace

ReadResult parseDictionary(QByteArrayView data)
{
    QList<Entry> entries;
    ListSink sink(entries);
    DictionaryParser parser(sink);
    for (qsizetype pos = 0; pos < data.size();) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        const bool goOn = parser.line(data.sliced(pos, end - pos));
        pos = end + 1;
        if (!goOn)
            break;
    }
    ReadResult result = parser.finish();
    result.entries = std::move(entries);
    return result;
}

ReadResult readDictionaryFile(const QString &path, EntrySink &sink, qint64 *bytesRead)
{
    ReadResult failed;
    Io::InputFile file;
    if (const int error = file.open(path); error != 0) {
        failed.error = Io::inputErrorMessage(error);
        return failed;
    }
    const QString tooLarge = u"fichier trop volumineux (plus de %1 Mo)"_s.arg(kMaxDictionaryBytes >> 20);
    if (file.size() > kMaxDictionaryBytes) {
        failed.error = tooLarge;
        return failed;
    }
    // Read in blocks, line by line: the file is never held whole.  The bytes
    // read are counted, not the size the system reports.
    DictionaryParser parser(sink);
    QByteArray block(1 << 20, Qt::Uninitialized);
    qsizetype used = 0; // the start of a line not ended yet, at the start of the block
    qint64 total = 0;
    bool goOn = true;
    for (;;) {
        if (used == block.size())
            block.resize(block.size() * 2); // a line longer than the block
        const qint64 got = file.read(block.data() + used, block.size() - used);
        if (got < 0) {
            failed.error = u"erreur de lecture"_s;
            return failed;
        }
        total += got;
        if (total > kMaxDictionaryBytes) {
            failed.error = tooLarge;
            return failed;
        }
        const QByteArrayView data(block.constData(), used + qsizetype(got));
        qsizetype pos = 0;
        for (qsizetype end; goOn && (end = data.indexOf('\n', pos)) >= 0; pos = end + 1)
            goOn = parser.line(data.sliced(pos, end - pos));
        if (got == 0) {
            if (goOn && pos < data.size())
                parser.line(data.sliced(pos));
            break;
        }
        if (!goOn)
            break;
        used = data.size() - pos;
        std::memmove(block.data(), block.constData() + pos, std::size_t(used));
    }
    if (bytesRead)
        *bytesRead = total;
    return parser.finish();
}

ReadResult readDictionaryFile(const QString &path)
{
    QList<Entry> entries;
    ListSink sink(entries);
    ReadResult result = readDictionaryFile(path, sink);
    result.entries = std::move(entries);
    return result;
}

QString toTsvLine(const Entry &entry)
{
    QString line = entry.headword + u'\t' + entry.pinyin + u'\t' + entry.gloss;
    if (!entry.traditional.isEmpty())
        line += u'\t' + entry.traditional;
    return line;
}

QByteArray toTsv(const Tables &tables)
{
    QByteArray tsv;
    for (int e = 0; e < tables.entryCount(); ++e) {
        tsv += QStringView(
                       toTsvLine({tables.headword(e).toString(), tables.pinyin(e).toString(),
                                  tables.gloss(e).toString(), tables.traditional(e).toString()}))
                       .toUtf8();
        tsv += '\n';
    }
    return tsv;
}

} // namespace Verarov::Dictionary
