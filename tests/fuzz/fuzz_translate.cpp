// File translation against the plain transcription of its rules (a scan of
// the headword list for each candidate), byte for byte, with the input read
// in blocks of a size the input chooses.  The text is decoded whole first
// as the translation reads it: by its byte-order mark, as UTF-8 when it is
// UTF-8 holding no NUL, else as UTF-16LE from its first byte.
//
// Input: block size (2 bytes), count of extra headwords (1 byte), each
// extra headword as its length in code units (1 byte, 1 to 7) and its
// UTF-16LE units, then the text file's bytes.
#include "fuzzsupport.h"

#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "translate/textdecoder.h"
#include "translate/translator.h"
#include "testsupport_files.h"
#include "testsupport_translate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace Verarov;
using Dictionary::Entry;
using Dictionary::Tables;

namespace {

// Case variants, homographs, a seven-unit word and one too long to be
// found, a word outside the BMP.
const QList<Entry> kEntries = {
        {u"一"_s, u"yī"_s, u"un"_s},
        {u"一一"_s, u"yī yī"_s, u"un par un"_s},
        {u"一下"_s, u"yí xià"_s, u"un peu"_s},
        {u"下"_s, u"xià"_s, u" \t bas / dessous \r\n"_s},
        {u"好"_s, u"hǎo"_s, u"bon"_s},
        {u"好"_s, u"hào"_s, u"aimer"_s},
        {u"Ｘ光"_s, u"X guāng"_s, u"rayons X"_s},
        {u"ｘ光"_s, u"x guāng"_s, u"radio"_s},
        {u"一二三四五六七"_s, u"yī èr sān sì wǔ liù qī"_s, u"sept"_s},
        {u"一二三四五六七八"_s, u"yī èr sān sì wǔ liù qī bā"_s, u"huit"_s},
        {u"Σ下"_s, u"sigma xià"_s, u"sigma"_s},
        {u"ς下"_s, u"sigma xià"_s, u"sigma final"_s},
        {u"\u212A一"_s, u"kelvin yī"_s, u"kelvin"_s},
        {u"𐐨下"_s, u"deseret xià"_s, u"deseret"_s},
};

struct Bench
{
    QTemporaryDir dir;
    QString input = dir.filePath(u"texte.txt"_s);
    QString output = dir.filePath(u"texte.vare.txt"_s);
    Tables base = Tables::fromCompiled(Dictionary::compile(kEntries));
    Translate::Translator translator; // keeps the base index between runs
};

// The text as the translation reads it, decoded whole: UTF-16LE bytes
// from its first byte, or nothing when its marked encoding is broken.
std::optional<QByteArray> asUtf16le(const QByteArray &text)
{
    using Translate::TextEncoding;
    const TextEncoding mark = Translate::byteOrderMark(text.constData(), std::size_t(text.size()));
    if (mark == TextEncoding::Utf16LE)
        return text;
    std::vector<char16_t> units;
    Translate::TextDecoder decoder(mark == TextEncoding::Detect ? TextEncoding::Utf8 : mark);
    const bool decoded = decoder.decode(text.constData(), std::size_t(text.size()), &units)
                         && decoder.finish(&units);
    if (mark == TextEncoding::Detect && (!decoded || text.contains('\0')))
        return text;
    if (!decoded)
        return std::nullopt;
    return utf16le(QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size())));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Bench bench;
    const char *bytes = reinterpret_cast<const char *>(data);
    if (size < 3)
        return 0;
    const qint64 blockSize = 1 + (data[0] | (data[1] & 3) << 8);
    std::size_t at = 3;
    QList<Entry> extra;
    for (int n = data[2] % 8; n > 0 && at < size; --n) {
        const int length = 1 + data[at++] % 7;
        if (at + 2 * std::size_t(length) > size)
            break;
        QString headword;
        for (int i = 0; i < length; ++i, at += 2)
            headword.append(QChar(char16_t(data[at] | data[at + 1] << 8)));
        extra.append({headword, u"pin %1"_s.arg(extra.size()), u"sens %1"_s.arg(extra.size())});
    }
    const QByteArray text(bytes + at, qsizetype(size - at));

    const Tables tables = extra.isEmpty()
                                  ? bench.base
                                  : Tables::fromCompiled(Dictionary::compile(kEntries + extra));
    Translate::Translator fresh;
    Translate::Translator &translator = extra.isEmpty() ? bench.translator : fresh;
    translator.setBlockSize(blockSize);
    require(writeFile(bench.input, text), "input written");
    const Translate::Outcome outcome = translator.translate(tables, bench.input);

    const std::optional<QByteArray> read = asUtf16le(text);
    if (!read) {
        require(outcome.error.contains(bench.input), "a broken text is named", outcome.error);
        require(outcome.output.isEmpty() && !QFile::exists(bench.output), "no output");
        require(QDir(bench.dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 1,
                "nothing left beside the input");
        return 0;
    }
    const bool odd = read->size() % 2 != 0;
    require(outcome.error == (odd ? u"Lecture au-delà de la fin de fichier"_s : QString()),
            "outcome", outcome.error);
    require(outcome.output == bench.output, "output in place");
    require(readAll(bench.output) == plainScan(tables, *read), "same bytes as the plain scan");
    require(QDir(bench.dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 2,
            "nothing left beside the output");
    QFile::remove(bench.output);
    return 0;
}
