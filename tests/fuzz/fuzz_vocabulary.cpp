// The vocabulary report: decoding by blocks against a decoding in one piece
// and against Qt's own decoders, counts against the plain transcription of
// the translation's rules (testsupport_translate.h), figures that add up,
// a list of known words left out, every output format read back.
//
// Input: settings (1 byte: encoding in bits 0-1, format in bits 2-3, the
// minimum count in bits 4-5), block size (2 bytes), length of the list of
// known words (1 byte), that list's bytes, then the text's bytes.
#include "fuzzsupport.h"

#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "dictionary/text.h"
#include "translate/headwordindex.h"
#include "translate/textdecoder.h"
#include "translate/vocabulary.h"
#include "testsupport_files.h"
#include "testsupport_translate.h"

#include <QHash>
#include <QStringDecoder>

#include <vector>

using namespace Qt::StringLiterals;
using namespace Verarov;
using namespace Verarov::Translate;
using Dictionary::Entry;
using Dictionary::Tables;

namespace {

// Homographs, case variants, a word beyond the window, a word outside the
// BMP, glosses that CSV must quote and HTML escape.
const QList<Entry> kEntries = {
        {u"一"_s, u"yī"_s, u"un"_s},
        {u"一一"_s, u"yī yī"_s, u"un par un"_s},
        {u"下"_s, u"xià"_s, u" \t bas, dessous \n"_s},
        {u"好"_s, u"hǎo"_s, u"bon"_s},
        {u"好"_s, u"hào"_s, u"\"aimer\""_s},
        {u"一丝不苟"_s, u"yī sī bù gǒu"_s, u"minutieux"_s},
        {u"一丝不苟"_s, u"yì sī bù gǒu"_s, u"<scrupuleux> & soigné"_s},
        {u"Ｘ光"_s, u"X guāng"_s, u"rayons X"_s},
        {u"ｘ光"_s, u"x guāng"_s, u"radio"_s},
        {u"一二三四五六七八"_s, u"yī èr sān sì wǔ liù qī bā"_s, u"huit"_s},
        {u"𠀀下"_s, u"hē xià"_s, u"rare\nmot"_s},
        {u"𠀀"_s, u"hē"_s, u"rare"_s},
};

struct Fixture
{
    Tables tables = Tables::fromCompiled(Dictionary::compile(kEntries));
    HeadwordIndex index{tables};
};

struct Decoded
{
    QString text;
    bool ok = true;
    qint64 errorOffset = -1;
};

Decoded decode(const QByteArray &bytes, TextEncoding encoding, qsizetype block)
{
    TextDecoder decoder(encoding);
    std::vector<char16_t> units;
    bool ok = true;
    for (qsizetype at = 0; ok && at < bytes.size(); at += block) {
        ok = decoder.decode(bytes.constData() + at, std::size_t(qMin(block, bytes.size() - at)),
                            &units);
        require(units.empty() || !QChar::isHighSurrogate(units.back()), "no pair split");
    }
    if (ok)
        ok = decoder.finish(&units);
    return {QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size())), ok,
            ok ? -1 : decoder.errorOffset()};
}

// The text as Qt decodes it; false when Qt finds it invalid.  Qt keeps lone
// surrogates in UTF-16, so they are checked here.
bool referenceDecode(const QByteArray &bytes, TextEncoding encoding, QString *text)
{
    QByteArray body = bytes;
    if (encoding == TextEncoding::Detect) {
        encoding = bytes.startsWith("\xFF\xFE")   ? TextEncoding::Utf16LE
                   : bytes.startsWith("\xFE\xFF") ? TextEncoding::Utf16BE
                                                  : TextEncoding::Utf8;
    }
    const char *mark = encoding == TextEncoding::Utf8      ? "\xEF\xBB\xBF"
                       : encoding == TextEncoding::Utf16LE ? "\xFF\xFE"
                                                           : "\xFE\xFF";
    if (body.startsWith(mark))
        body.remove(0, qsizetype(qstrlen(mark)));
    if (encoding == TextEncoding::Utf8) {
        QStringDecoder qt(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                        | QStringDecoder::Flag::ConvertInitialBom);
        *text = qt(body);
        return !qt.hasError();
    }
    if (body.size() % 2)
        return false;
    text->clear();
    for (qsizetype i = 0; i < body.size(); i += 2) {
        const uchar a = uchar(body[i]), b = uchar(body[i + 1]);
        text->append(QChar(encoding == TextEncoding::Utf16LE ? char16_t(a | b << 8)
                                                             : char16_t(a << 8 | b)));
    }
    for (qsizetype i = 0; i < text->size(); ++i) {
        const QChar c = text->at(i);
        if (c.isHighSurrogate() && i + 1 < text->size() && text->at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

// RFC 4180 fields of CRLF-ended rows.
QList<QStringList> readCsv(const QString &csv)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == u'"' && i + 1 < csv.size() && csv[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(std::exchange(field, QString()));
        } else if (c == u'\r' && i + 1 < csv.size() && csv[i + 1] == u'\n') {
            row.append(std::exchange(field, QString()));
            rows.append(std::exchange(row, QStringList()));
            ++i;
        } else {
            field += c;
        }
    }
    require(field.isEmpty() && row.isEmpty() && !quoted, "CSV rows end with CR LF");
    return rows;
}

// The words of a list as the reader is to find them.
QStringList referenceWords(const QString &list)
{
    QStringList words;
    QString text = list;
    text.replace(u'\r', u'\n');
    for (const QString &line : text.split(u'\n')) {
        const QString field = line.section(u'\t', 0, 0);
        const qsizetype kept = qMin<qsizetype>(field.size(), WordListReader::kMaxWord);
        bool tooLong = false;
        for (qsizetype i = kept; i < field.size(); ++i)
            tooLong = tooLong || field[i].unicode() > u' ';
        const QStringView word = trimmed(QStringView(field).first(kept));
        if (!tooLong && !word.isEmpty())
            words.append(word.toString());
    }
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Fixture fixture;
    const Tables &tables = fixture.tables;
    if (size < 4)
        return 0;
    const auto encoding = TextEncoding(data[0] & 3);
    const auto format = ReportFormat((data[0] >> 2 & 3) % 3);
    const qint64 minCount = 1 + (data[0] >> 4 & 3);
    const qsizetype block = 1 + (data[1] | (data[2] & 3) << 8);
    const std::size_t knownSize = std::min<std::size_t>(data[3], size - 4);
    const QByteArray known(reinterpret_cast<const char *>(data) + 4, qsizetype(knownSize));
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 4 + knownSize,
                           qsizetype(size - 4 - knownSize));

    // Decoding: blocks change nothing; valid exactly when Qt says so, and
    // what stands before an error is what Qt decodes of it.
    const Decoded whole = decode(bytes, encoding, bytes.size() + 1);
    const Decoded pieces = decode(bytes, encoding, block);
    require(whole.text == pieces.text && whole.errorOffset == pieces.errorOffset,
            "same decoding in blocks");
    QString reference;
    require(referenceDecode(bytes, encoding, &reference) == whole.ok, "valid as Qt says");
    if (whole.ok)
        require(whole.text == reference, "same text as Qt");
    else
        require(whole.errorOffset >= 0 && whole.errorOffset < bytes.size(), "error inside");

    // Counts: the translation's lines of the same text, grouped.
    Vocabulary vocabulary(fixture.index);
    {
        TextDecoder decoder(encoding);
        bool ok = true;
        for (qsizetype at = 0; ok && at < bytes.size(); at += block)
            ok = vocabulary.addBytes(decoder, bytes.constData() + at,
                                     std::size_t(qMin(block, bytes.size() - at)));
        ok = vocabulary.endText(ok ? &decoder : nullptr) && ok;
        require(ok == whole.ok, "the vocabulary decodes as the decoder");
    }
    const QByteArray lines = plainScan(tables, utf16le(whole.text));
    QHash<QString, qint64> expected;
    for (const QString &line :
         QString(reinterpret_cast<const QChar *>(lines.constData() + 2), (lines.size() - 2) / 2)
                 .split(u"\r\n"_s, Qt::SkipEmptyParts))
        ++expected[line.section(u'\t', 0, 1)];
    QHash<QString, qint64> counted;
    const std::vector<Vocabulary::EntryCount> all = vocabulary.entries();
    for (const auto &e : all)
        counted[tables.headword(e.entry).toString() + u'\t' + tables.pinyin(e.entry).toString()] =
                e.count;
    require(counted == expected, "counts of the translation's lines");
    for (std::size_t i = 1; i < all.size(); ++i)
        require(all[i - 1].count >= all[i].count, "most frequent first");

    // Figures add up.
    const Vocabulary::Figures f = vocabulary.figures();
    qint64 chinese = 0;
    qint64 characters = 0;
    for (qsizetype i = 0; i < whole.text.size(); ++i) {
        char32_t code = whole.text[i].unicode();
        if (whole.text[i].isHighSurrogate() && i + 1 < whole.text.size()
            && whole.text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(whole.text[i], whole.text[i + 1]);
            ++i;
        }
        ++characters;
        chinese += isChineseCharacter(code);
    }
    require(f.characters == characters && f.chineseCharacters == chinese, "characters counted");
    require(f.covered + f.unknownOccurrences == f.chineseCharacters && f.covered >= 0,
            "covered and unknown make the Chinese characters");
    require(f.distinctEntries == qint64(all.size()), "distinct entries");
    qint64 unknown = 0;
    for (const auto &c : vocabulary.unknownCharacters()) {
        unknown += c.count;
        require(whole.text.count(QString::fromUcs4(&c.character, 1)) >= c.count,
                "unknown at most where the character stands");
    }
    require(unknown == f.unknownOccurrences, "unknown occurrences");

    // Known words: read by blocks as a whole would be, and left out.
    WordListReader reader;
    QStringList words;
    const auto word = [&](QStringView w) { words.append(w.toString()); };
    bool listOk = true;
    for (qsizetype at = 0; listOk && at < known.size(); at += block)
        listOk = reader.add(known.constData() + at, std::size_t(qMin(block, known.size() - at)),
                            word);
    if (listOk)
        listOk = reader.finish(word);
    const Decoded list = decode(known, TextEncoding::Detect, known.size() + 1);
    require(listOk == list.ok, "the list decodes as the decoder");
    if (listOk)
        require(words == referenceWords(list.text), "words of the list");
    for (const QString &w : words)
        vocabulary.leaveOut(w);
    const std::vector<Vocabulary::EntryCount> kept = vocabulary.entries(minCount);
    for (const auto &e : kept)
        require(!words.contains(tables.headword(e.entry).toString()) && e.count >= minCount,
                "known and rare entries left out");
    for (const auto &c : vocabulary.unknownCharacters(minCount))
        require(!words.contains(QString::fromUcs4(&c.character, 1)) && c.count >= minCount,
                "known and rare characters left out");

    // Every format reads back.
    const QString report = QString::fromUtf8(formatEntries(tables, kept, format));
    if (format == ReportFormat::Csv) {
        const QList<QStringList> rows = readCsv(report);
        require(rows.size() == qsizetype(kept.size()), "a CSV row per entry");
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const int e = kept[std::size_t(i)].entry;
            require(rows[i]
                            == QStringList{tables.headword(e).toString(),
                                           tables.pinyin(e).toString(),
                                           trimmed(tables.gloss(e)).toString(),
                                           QString::number(kept[std::size_t(i)].count)},
                    "CSV fields read back");
        }
    } else {
        QStringList rows = report.split(u'\n');
        require(rows.takeLast().isEmpty(), "last line ended");
        if (format == ReportFormat::Anki)
            require(rows.mid(0, 2) == QStringList{u"#separator:tab"_s, u"#html:true"_s},
                    "Anki settings first");
        const qsizetype header = format == ReportFormat::Anki ? 2 : 0;
        require(rows.size() == header + qsizetype(kept.size()), "a line per entry");
        for (qsizetype i = header; i < rows.size(); ++i) {
            const QStringList fields = rows[i].split(u'\t');
            const auto &e = kept[std::size_t(i - header)];
            require(fields.size() == (format == ReportFormat::Anki ? 2 : 4), "fields per line");
            if (format == ReportFormat::Tsv)
                require(fields[0] == tables.headword(e.entry) && fields[3].toLongLong() == e.count,
                        "TSV headword and count");
        }
    }
    return 0;
}
