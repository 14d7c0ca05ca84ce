#include "translate/files.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Verarov::Translate {

namespace {
constexpr std::size_t kOutputBuffer = 1 << 18;

// The C runtime's file calls, which report the system error number.
#ifdef Q_OS_WIN
using ssize_t = int;
int openFile(const QString &path, int flags, int mode = 0)
{
    return ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()), flags | _O_BINARY, mode);
}
int readFile(int fd, char *data, std::size_t size) { return ::_read(fd, data, unsigned(std::min<std::size_t>(size, 1u << 30))); }
int writeFile(int fd, const char *data, std::size_t size) { return ::_write(fd, data, unsigned(std::min<std::size_t>(size, 1u << 30))); }
int closeFile(int fd) { return ::_close(fd); }
constexpr int kReadFlags = _O_RDONLY;
constexpr int kCreateFlags = _O_RDWR | _O_CREAT | _O_TRUNC;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
// Size of a regular file, 0 for anything else.
qint64 regularFileSize(int fd)
{
    struct _stat64 info;
    return ::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFREG) ? info.st_size : 0;
}
#else
int openFile(const QString &path, int flags, int mode = 0)
{
    return ::open(QFile::encodeName(path).constData(), flags, mode);
}
ssize_t readFile(int fd, char *data, std::size_t size) { return ::read(fd, data, size); }
ssize_t writeFile(int fd, const char *data, std::size_t size) { return ::write(fd, data, size); }
int closeFile(int fd) { return ::close(fd); }
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC;
constexpr int kCreateFlags = O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
constexpr int kCreateMode = 0666;
// Size of a regular file, 0 for anything else.
qint64 regularFileSize(int fd)
{
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : 0;
}
#endif
} // namespace

InputFile::~InputFile()
{
    if (m_fd >= 0)
        closeFile(m_fd);
}

int InputFile::open(const QString &path)
{
    do {
        m_fd = openFile(path, kReadFlags);
    } while (m_fd < 0 && errno == EINTR);
    m_error = m_fd < 0 ? errno : 0;
    return m_error;
}

qint64 InputFile::size() const
{
    return m_fd < 0 ? 0 : regularFileSize(m_fd);
}

qint64 InputFile::read(char *data, qint64 size)
{
    for (;;) {
        const ssize_t got = readFile(m_fd, data, std::size_t(size));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            m_error = errno;
            return -1;
        }
    }
}

OutputFile::OutputFile() : m_buffer(kOutputBuffer) { }

OutputFile::~OutputFile()
{
    if (m_fd >= 0)
        closeFile(m_fd);
}

int OutputFile::create(const QString &path)
{
    do {
        m_fd = openFile(path, kCreateFlags, kCreateMode);
    } while (m_fd < 0 && errno == EINTR);
    m_error = m_fd < 0 ? errno : 0;
    return m_error;
}

void OutputFile::writeSlowly(QStringView text)
{
    const char16_t *units = text.utf16();
    qsizetype left = text.size();
    while (left > 0) {
        if (m_used == m_buffer.size())
            flush();
        const qsizetype room = qsizetype(m_buffer.size() - m_used) / 2;
        const qsizetype n = std::min(left, room);
        char *out = m_buffer.data() + m_used;
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            std::memcpy(out, units, std::size_t(n) * 2);
        } else {
            for (qsizetype i = 0; i < n; ++i)
                qToLittleEndian<char16_t>(units[i], out + 2 * i);
        }
        m_used += std::size_t(n) * 2;
        units += n;
        left -= n;
    }
}

void OutputFile::flush()
{
    const char *data = m_buffer.data();
    std::size_t left = m_used;
    m_used = 0;
    while (left > 0 && m_error == 0) {
        const ssize_t put = writeFile(m_fd, data, left);
        if (put < 0) {
            if (errno != EINTR)
                m_error = errno;
        } else {
            data += put;
            left -= std::size_t(put);
        }
    }
}

int OutputFile::close()
{
    if (m_fd < 0)
        return m_error;
    flush();
    if (closeFile(m_fd) != 0 && m_error == 0 && errno != EINTR)
        m_error = errno;
    m_fd = -1;
    return m_error;
}

} // namespace Verarov::Translate
