#pragma once

#include "dictionary/tables.h"

#include <QString>

#include <functional>
#include <memory>

namespace Verarov::Io {
class OutputFile;
}

namespace Verarov::Translate {

class HeadwordIndex;

// Name of the output of a translation: the input name with ".vare" put
// before its extension, the extension being what follows the last "." that
// stands after every "\", "/" and ":".
// "C:\textes\poeme.txt" -> "C:\textes\poeme.vare.txt",
// "dossier.v1/poeme" -> "dossier.v1/poeme.vare"
QString outputFileName(const QString &input);

// The end of one translation.
struct Outcome
{
    QString output;            // output file name, once it is in place
    QString error;             // French message; empty when all went well
    qint64 unitsRead = 0;      // complete code units of the input
    qint64 entriesWritten = 0; // lines written
    bool ok() const { return error.isEmpty(); }
};

// Called after each block read: bytes read so far and the input's size
// (0 when unknown).
using Progress = std::function<void(qint64 done, qint64 total)>;

// Writes the output line of one entry: headword TAB pinyin TAB trimmed
// gloss CR LF.
void writeEntryLine(Io::OutputFile &output, const Dictionary::Tables &tables, int entry);

// File translation: cuts a Chinese text, left to right, into the longest
// headwords of the dictionary and writes the entries found, one line each,
// to a new UTF-16LE file beside the input (bytes FF FE first).
//
// The input's encoding: its byte-order mark decides (UTF-16LE, UTF-16BE,
// UTF-8); a text without one that is well-formed UTF-8 holding no NUL byte
// is read as UTF-8; anything else as UTF-16LE, from its first byte (a mark
// FF FE is then a code unit like any other).  UTF-8 and UTF-16BE are
// decoded strictly: an ill-formed text fails, naming the position.  The
// same text gives the same output in every encoding.  Input and output are
// streamed through fixed buffers, so memory does not grow with the input.
class Translator
{
public:
    Translator();
    ~Translator();
    Translator(const Translator &) = delete;
    Translator &operator=(const Translator &) = delete;

    // Bytes read at a time (tests use tiny blocks to cross their bounds).
    void setBlockSize(qint64 bytes) { m_blockSize = qMax<qint64>(1, bytes); }

    // Translates the file named input.  Every failure stops the translation
    // and is returned with its French message.  An input that is not a
    // regular file is refused before anything is created.  The output is
    // written under a temporary name and put in place at the end: after a
    // failed read or write there is no output, and a file that had its name
    // is left as it was.  A UTF-16LE input of an odd number of bytes has all
    // its complete code units translated and the output put in place, then
    // fails with "Lecture au-delà de la fin de fichier".
    Outcome translate(const Dictionary::Tables &tables, const QString &input,
                      const Progress &progress = {});

    // The index of the dictionary's headwords, over the trie it carries.
    const HeadwordIndex &index(const Dictionary::Tables &tables);

private:
    std::unique_ptr<HeadwordIndex> m_index;
    qint64 m_blockSize = 1 << 18;
};

} // namespace Verarov::Translate
