#pragma once

#include "io/messages.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstring>
#include <vector>

namespace Verarov::Io {

// An output file written through a buffer, as UTF-16LE (or as the bytes
// given, writeBytes).  It is written under a temporary name beside its own
// (".verarov-<process id>-<hex>.tmp") and takes its name only on commit():
// a failed or abandoned output leaves nothing behind and never touches the
// file that had the name.  A regular file under the name, or a link to one
// or to nothing, is replaced, never written through.
// Streams are written into, in place: a FIFO, a character device (a
// terminal), a name of one of this process's descriptors (/dev/stdout),
// directly or through links.  A folder, a block device or a socket is
// refused, a link to one is kept.
// The first failing write is kept; later writes are dropped.  On Unix,
// every signal that ends the program and can be caught (when not ignored)
// removes the temporary file first; one left by a run that could not
// (SIGKILL, power loss) is removed by the next output in its folder.
class OutputFile
{
    Q_DISABLE_COPY_MOVE(OutputFile)

public:
    OutputFile();
    // Removes the temporary file unless it was committed.
    ~OutputFile();

    // Where the output goes when its name is a stream (see above): into it,
    // or, for the program's own files (caches), aside and renamed over
    // whatever stands there.
    enum class Streams { WrittenInPlace, Replaced };

    // Creates the temporary file for an output named path (or opens the
    // stream it names); returns 0 or the error number.
    int create(const QString &path, Streams streams = Streams::WrittenInPlace);
    void write(QStringView text)
    {
        // Fast path: the text fits in the buffer and needs no byte swap.
        const std::size_t bytes = std::size_t(text.size()) * 2;
        if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN && m_buffer.size() - m_used >= bytes) {
            std::memcpy(m_buffer.data() + m_used, text.utf16(), bytes);
            m_used += bytes;
        } else {
            writeSlowly(text);
        }
    }
    void write(char16_t unit) { write(QStringView(&unit, 1)); }
    // Writes bytes as they are: a text encoded already.
    void writeBytes(const char *bytes, std::size_t size);
    // Writes bytes over some already written, from offset on (a header known
    // only at the end); not into a stream.
    void writeBytesAt(qint64 offset, const char *bytes, std::size_t size);
    // Writes what is buffered, has the system store it, and closes; returns
    // 0 or the first write error.
    int close();
    // Puts the closed file in place under its name; returns 0 or the error
    // number.  Only after a close() that succeeded.
    int commit();
    int error() const { return m_error; }

private:
    void writeSlowly(QStringView text);
    void flush();

    QString m_path;
    QString m_temporary;
    bool m_inPlace = false; // a stream written into, nothing to rename
    int m_pendingSlot = -1; // where a signal ending the program finds m_temporary
    int m_fd = -1;
    int m_error = 0;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    qint64 m_written = 0; // bytes the system has
    qint64 m_storing = 0; // bytes it was asked to store
};

// Writes bytes to a new file under path: aside, then renamed into place, so
// that a link under the name is replaced, never written through, and a
// failure leaves what stood there.  An empty string, or the French reason:
//   "Impossible de créer le fichier "/tmp/a.bin". Accès refusé"
//   "Fichier "a.bin" : Espace insuffisant sur le disque"
QString writeWhole(const QString &path, QByteArrayView bytes);

// Makes a folder and the folders above it that are missing; 0 or the error
// number.  Names are taken as their bytes (encodeName).
int makeFolders(const QString &path);

// Writes all bytes to a descriptor, again when a signal interrupts; 0 or
// the error number.
int writeAll(int fd, QByteArrayView bytes);

} // namespace Verarov::Io
