#pragma once

#include "io/messages.h"

#include <QByteArray>
#include <QString>

namespace Verarov::Io {

// Opens an existing regular file for reading with the C runtime and returns
// its descriptor, or -1 with *error set to the system error number, EISDIR
// for a folder, kNotRegularFile for anything else.  Never waits: a FIFO
// without writer is refused, not waited for.  The type is checked on the
// opened descriptor, so nothing can be swapped in between.
int openForReading(const QString &path, int *error);

// Closes a descriptor of openForReading.
void closeDescriptor(int fd);

// Reads up to size bytes from a descriptor, again when a signal interrupts;
// the count, 0 at the end, -1 with errno set.
qint64 readSome(int fd, char *data, qint64 size);

// Size of what a descriptor reads, when it is a regular file; else 0.
qint64 regularSize(int fd);

// Whether two names lead to one existing file: writing the second would
// replace the first.  A name that does not exist leads to none.
bool sameFile(const QString &a, const QString &b);

// Reads a whole regular file of at most maxBytes; returns the French reason
// when it cannot (missing, a folder, a FIFO or a device, denied, too large),
// else an empty string.  Never waits on a FIFO.
QString readWholeFile(const QString &path, QByteArray &data, qint64 maxBytes);

// An input file read in large blocks.  Errors are system error numbers.
class InputFile
{
    Q_DISABLE_COPY_MOVE(InputFile)

public:
    InputFile() = default;
    ~InputFile();

    // Opens an existing regular file for reading, without waiting on a FIFO;
    // returns 0 or the error number (see openForReading: EISDIR for a
    // folder, kNotRegularFile for a FIFO or a device).
    int open(const QString &path);
    // Size in bytes.
    qint64 size() const;
    // Reads up to size bytes; returns the count (0 at the end) or -1 and
    // sets error().
    qint64 read(char *data, qint64 size);
    // Back to the first byte; returns 0 or the error number.
    int rewind();
    int error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

} // namespace Verarov::Io
