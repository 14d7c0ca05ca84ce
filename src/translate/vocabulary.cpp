#include "translate/vocabulary.h"

#include "translate/headwordindex.h"
#include "dictionary/text.h"

#include <QChar>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace Verarov::Translate {

using namespace Qt::StringLiterals;

namespace {

// Code points of a text; a lone surrogate stands for itself.
template<typename Each>
void forEachCodePoint(QStringView text, Each &&each)
{
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t code = units[i];
        if (QChar::isHighSurrogate(units[i]) && i + 1 < size
            && QChar::isLowSurrogate(units[i + 1])) {
            code = QChar::surrogateToUcs4(units[i], units[i + 1]);
            ++i;
        }
        each(code);
    }
}

} // namespace

Vocabulary::Vocabulary(const HeadwordIndex &index)
    : m_tables(index.tables()), m_cutter(index), m_counts(std::size_t(m_tables.entryCount())),
      m_matches(std::size_t(m_tables.entryCount())), m_bmpCharacters(0x10000)
{ }

void Vocabulary::add(const char16_t *units, std::size_t count)
{
    // Characters first: the cut below may hold the last units back, never
    // find what was not counted.
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = units[i];
        ++m_characters;
        if (unit < 0x3007)
            continue;
        if (QChar::isHighSurrogate(unit) && i + 1 < count && QChar::isLowSurrogate(units[i + 1])) {
            const char32_t code = QChar::surrogateToUcs4(unit, units[i + 1]);
            ++i;
            if (isChineseCharacter(code)) {
                ++m_chineseCharacters;
                if (m_otherCharacters[code]++ == 0)
                    m_characterOrder.push_back(code);
            }
        } else if (isChineseCharacter(unit)) {
            ++m_chineseCharacters;
            if (m_bmpCharacters[unit]++ == 0)
                m_characterOrder.push_back(unit);
        }
    }
    m_cutter.feed(units, count, [this](const std::vector<int> &entries) { found(entries); });
}

void Vocabulary::found(const std::vector<int> &entries)
{
    if (entries.empty())
        return;
    ++m_matches[std::size_t(entries.front())];
    for (const int entry : entries) {
        if (m_counts[std::size_t(entry)]++ == 0)
            m_order.push_back(entry);
    }
}

bool Vocabulary::addBytes(TextDecoder &decoder, const char *bytes, std::size_t size)
{
    m_units.clear();
    const bool ok = decoder.decode(bytes, size, &m_units);
    add(m_units.data(), m_units.size());
    return ok;
}

bool Vocabulary::endText(TextDecoder *decoder)
{
    bool ok = true;
    if (decoder) {
        m_units.clear();
        ok = decoder->finish(&m_units);
        add(m_units.data(), m_units.size());
    }
    m_cutter.finish([this](const std::vector<int> &entries) { found(entries); });
    return ok;
}

void Vocabulary::leaveOut(QStringView word)
{
    for (; m_indexed < m_order.size(); ++m_indexed) {
        const int entry = m_order[m_indexed];
        m_byHeadword.insert(m_tables.headword(entry), entry);
    }
    for (auto it = m_byHeadword.constFind(word); it != m_byHeadword.cend() && it.key() == word;
         ++it)
        m_leftOutEntries.insert(it.value());
    char32_t single = 0;
    int count = 0;
    forEachCodePoint(word, [&](char32_t code) {
        single = code;
        ++count;
    });
    if (count == 1 && isChineseCharacter(single))
        m_leftOutCharacters.insert(single);
}

std::vector<Vocabulary::EntryCount> Vocabulary::entries(qint64 minCount) const
{
    std::vector<EntryCount> result;
    for (const int entry : m_order) {
        const qint64 count = m_counts[std::size_t(entry)];
        if (count >= minCount && !m_leftOutEntries.contains(entry))
            result.push_back({entry, count});
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const EntryCount &a, const EntryCount &b) { return a.count > b.count; });
    return result;
}

QHash<char32_t, qint64> Vocabulary::uncovered() const
{
    // Each matching step covers the characters of the candidate it found,
    // which are those of its first entry's headword: case folding leaves
    // Chinese characters as they are.
    QHash<char32_t, qint64> covered;
    for (const int entry : m_order) {
        const qint64 matches = m_matches[std::size_t(entry)];
        if (matches == 0)
            continue;
        forEachCodePoint(m_tables.headword(entry), [&](char32_t code) {
            if (isChineseCharacter(code))
                covered[code] += matches;
        });
    }
    QHash<char32_t, qint64> result;
    for (const char32_t code : m_characterOrder) {
        const qint64 occurrences =
                code < 0x10000 ? m_bmpCharacters[code] : m_otherCharacters.value(code);
        const qint64 left = occurrences - covered.value(code);
        if (left > 0)
            result.insert(code, left);
    }
    return result;
}

std::vector<Vocabulary::CharacterCount> Vocabulary::unknownCharacters(qint64 minCount) const
{
    const QHash<char32_t, qint64> left = uncovered();
    std::vector<CharacterCount> result;
    for (const char32_t code : m_characterOrder) {
        const qint64 count = left.value(code);
        if (count > 0 && count >= minCount && !m_leftOutCharacters.contains(code))
            result.push_back({code, count});
    }
    std::stable_sort(
            result.begin(), result.end(),
            [](const CharacterCount &a, const CharacterCount &b) { return a.count > b.count; });
    return result;
}

Vocabulary::Figures Vocabulary::figures() const
{
    Figures f;
    f.characters = m_characters;
    f.chineseCharacters = m_chineseCharacters;
    f.distinctEntries = qint64(m_order.size());
    const QHash<char32_t, qint64> left = uncovered();
    f.unknownCharacters = left.size();
    for (const qint64 count : left)
        f.unknownOccurrences += count;
    f.covered = m_chineseCharacters - f.unknownOccurrences;
    return f;
}

WordListReader::WordListReader(TextEncoding encoding) : m_decoder(encoding) { }

bool WordListReader::add(const char *bytes, std::size_t size, const Word &word)
{
    m_units.clear();
    const bool ok = m_decoder.decode(bytes, size, &m_units);
    split(word);
    return ok;
}

bool WordListReader::finish(const Word &word)
{
    m_units.clear();
    const bool ok = m_decoder.finish(&m_units);
    split(word);
    if (ok)
        endLine(word);
    return ok;
}

void WordListReader::split(const Word &word)
{
    for (const char16_t unit : m_units) {
        if (unit == u'\n' || unit == u'\r') {
            endLine(word);
        } else if (m_inFirstField) {
            if (unit == u'\t')
                m_inFirstField = false;
            else if (m_field.size() < kMaxWord)
                m_field.append(QChar(unit));
            else if (unit > u' ')
                m_tooLong = true;
        }
    }
}

void WordListReader::endLine(const Word &word)
{
    const QStringView field = trimmed(m_field);
    if (!field.isEmpty() && !m_tooLong)
        word(field);
    m_field.clear();
    m_inFirstField = true;
    m_tooLong = false;
}

QString summaryText(const Vocabulary::Figures &f, qint64 entriesWritten)
{
    const QLocale french(QLocale::French);
    const double share =
            f.chineseCharacters ? 100.0 * double(f.covered) / double(f.chineseCharacters) : 100.0;
    // Floor, so that 99.999 % is never shown as 100 %.
    const QString percent = french.toString(std::floor(share * 100.0) / 100.0, 'f', 2);
    // French puts 0 and 1 in the singular.
    const auto counted = [](qint64 n, const QString &one, const QString &many) {
        return QString::number(n) + u' ' + (n > 1 ? many : one);
    };
    return u"Caractères : %1\n"
           "Caractères chinois : %2, dont %3 dans un mot trouvé (%4 %)\n"
           "Entrées distinctes : %5 (écrites : %6)\n"
           "Caractères inconnus : %7, %8\n"_s.arg(f.characters)
                   .arg(f.chineseCharacters)
                   .arg(f.covered)
                   .arg(percent)
                   .arg(f.distinctEntries)
                   .arg(entriesWritten)
                   .arg(counted(f.unknownCharacters, u"distinct"_s, u"distincts"_s),
                        counted(f.unknownOccurrences, u"occurrence"_s, u"occurrences"_s));
}

QString progressBar(qint64 done, qint64 total, int width)
{
    width = std::max(width, 1);
    total = std::max<qint64>(total, 1);
    done = std::clamp<qint64>(done, 0, total);
    const int full = int(double(done) / double(total) * width);
    const int percent = int(double(done) / double(total) * 100);
    return u"[%1%2] %3 %  (%4 / %5 Mo)"_s.arg(QString(full, u'#'), QString(width - full, u'-'))
            .arg(percent, 3)
            .arg(done / 1'000'000)
            .arg(total / 1'000'000);
}

} // namespace Verarov::Translate
