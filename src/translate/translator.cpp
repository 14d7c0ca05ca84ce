#include "translate/translator.h"

#include "translate/cutter.h"
#include "translate/headwordindex.h"
#include "translate/textdecoder.h"
#include "io/input.h"
#include "io/output.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QtEndian>

#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcTranslate, "verarov.translate", QtWarningMsg)

namespace Verarov::Translate {

using namespace Qt::StringLiterals;

QString outputFileName(const QString &input)
{
    const qsizetype folder =
            std::max({input.lastIndexOf(u'\\'), input.lastIndexOf(u'/'), input.lastIndexOf(u':')});
    const qsizetype dot = input.lastIndexOf(u'.');
    if (dot > folder)
        return input.first(dot) + u".vare"_s + input.sliced(dot);
    return input + u".vare"_s;
}

void writeEntryLine(Io::OutputFile &output, const Dictionary::Tables &tables, int entry)
{
    // The dictionary holds each entry's line as it is written.
    output.write(tables.line(entry));
}

namespace {

// The encoding of the input: a byte-order mark decides; a text without one
// that is well-formed UTF-8 holding no NUL byte is UTF-8 (read whole to
// know: *probed is then true); anything else UTF-16LE.  The file is left
// at its first byte.  Returns 0 or the error number of a failed read.
int inputEncoding(Io::InputFile &in, std::vector<char> &block, const Progress &progress,
                  qint64 total, TextEncoding *encoding, bool *probed)
{
    *probed = false;
    char head[3];
    qint64 headSize = 0;
    for (qint64 got = 1; got > 0 && headSize < 3; headSize += got) {
        got = in.read(head + headSize, 3 - headSize);
        if (got < 0)
            return in.error();
    }
    *encoding = byteOrderMark(head, std::size_t(headSize));
    if (*encoding == TextEncoding::Detect) {
        if (const int error = in.rewind())
            return error;
        const qint64 size = qint64(block.size());
        Utf8Probe probe;
        qint64 done = 0;
        qint64 got = 0;
        while ((got = in.read(block.data(), size)) > 0
               && probe.add(block.data(), std::size_t(got))) {
            // The probe is the first half of the work.
            done += got;
            if (progress)
                progress(done / 2, total);
        }
        if (got < 0)
            return in.error();
        *probed = got == 0 && probe.finish();
        *encoding = *probed ? TextEncoding::Utf8 : TextEncoding::Utf16LE;
    }
    return in.rewind();
}

} // namespace

Translator::Translator() = default;
Translator::~Translator() = default;

const HeadwordIndex &Translator::index(const Dictionary::Tables &tables)
{
    if (!m_index || m_index->tables().compiled().constData() != tables.compiled().constData())
        m_index = std::make_unique<HeadwordIndex>(tables);
    return *m_index;
}

Outcome Translator::translate(const Dictionary::Tables &tables, const QString &input,
                              const Progress &progress)
{
    QElapsedTimer timer;
    timer.start();
    Outcome outcome;
    auto finish = [&](QString error) {
        outcome.error = std::move(error);
        qCDebug(lcTranslate).noquote().nospace()
                << "input " << input << ", output " << outcome.output << ", "
                << outcome.entriesWritten << " entries written, " << outcome.unitsRead
                << " code units read, " << timer.elapsed() << " ms"
                << (outcome.ok() ? QString() : u", failed: "_s + outcome.error);
        return outcome;
    };

    Io::InputFile in;
    if (const int error = in.open(input))
        return finish(Io::inputErrorMessage(error));
    const qint64 total = in.size();

    Io::OutputFile out;
    const QString outputName = outputFileName(input);
    if (const int error = out.create(outputName))
        return finish(Io::createErrorMessage(outputName, error));

    const HeadwordIndex &headwords = index(tables);
    out.write(u'\xFEFF'); // bytes FF FE

    // bytes: one block, after the odd byte of the previous one if any.
    std::vector<char> bytes(std::size_t(m_blockSize) + 1);
    TextEncoding encoding = TextEncoding::Utf16LE;
    bool probed = false;
    if (const int error = inputEncoding(in, bytes, progress, total, &encoding, &probed))
        return finish(Io::inputErrorMessage(error));
    // UTF-16LE is read unit by unit from the first byte, mark included;
    // the other encodings go through the strict decoder, which drops the mark.
    const bool decoded = encoding != TextEncoding::Utf16LE;
    TextDecoder decoder(encoding);
    std::size_t oddBytes = 0;
    std::vector<char16_t> units(std::size_t(m_blockSize / 2) + 1);
    Cutter cutter(headwords);
    const auto write = [&](const std::vector<int> &entries) {
        for (const int entry : entries)
            writeEntryLine(out, tables, entry);
        outcome.entriesWritten += qint64(entries.size());
    };
    const auto decodingError = [&] {
        return u"Impossible de lire le texte de « %1 » : %2"_s.arg(input, decoder.errorText());
    };
    qint64 done = 0;
    QString error;
    for (;;) {
        const qint64 got = in.read(bytes.data() + oddBytes, m_blockSize);
        if (got < 0) {
            error = Io::inputErrorMessage(in.error());
            break;
        }
        if (got == 0) {
            if (decoded) {
                // A text of under three bytes is decoded only now.
                units.clear();
                if (!decoder.finish(&units)) {
                    error = decodingError();
                    break;
                }
                outcome.unitsRead += qint64(units.size());
                cutter.feed(units.data(), units.size(), write);
            }
            cutter.finish(write);
            break;
        }
        std::size_t count = 0;
        if (decoded) {
            units.clear();
            if (!decoder.decode(bytes.data(), std::size_t(got), &units)) {
                error = decodingError();
                break;
            }
            count = units.size();
        } else {
            const std::size_t have = oddBytes + std::size_t(got);
            const char *b = bytes.data();
            units.resize(have / 2 + 1);
            for (std::size_t i = 0; i + 1 < have; i += 2)
                units[count++] = qFromLittleEndian<char16_t>(b + i);
            oddBytes = have & 1;
            if (oddBytes)
                bytes[0] = bytes[have - 1];
        }
        outcome.unitsRead += qint64(count);
        done += got;
        if (progress)
            progress(probed ? (total + done) / 2 : done, total);
        cutter.feed(units.data(), count, write);
        if (out.error())
            break;
    }

    // A failed read or write leaves no output; an odd last byte still
    // leaves the translation of every complete code unit.
    if (!error.isEmpty())
        return finish(error);
    if (const int writeError = out.close())
        return finish(Io::writeErrorMessage(writeError));
    if (const int renameError = out.commit())
        return finish(Io::createErrorMessage(outputName, renameError));
    outcome.output = outputName;
    if (oddBytes)
        error = u"Lecture au-delà de la fin de fichier"_s;
    return finish(error);
}

} // namespace Verarov::Translate
