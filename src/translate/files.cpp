#include "files.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Verarov::Translate {

namespace {
constexpr std::size_t kOutputBuffer = 1 << 18;
} // namespace

InputFile::~InputFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int InputFile::open(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    do {
        m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    } while (m_fd < 0 && errno == EINTR);
    m_error = m_fd < 0 ? errno : 0;
    return m_error;
}

qint64 InputFile::size() const
{
    struct stat info;
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return info.st_size;
}

qint64 InputFile::read(char *data, qint64 size)
{
    for (;;) {
        const ssize_t got = ::read(m_fd, data, std::size_t(size));
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
        ::close(m_fd);
}

int OutputFile::create(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    do {
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
        const ssize_t put = ::write(m_fd, data, left);
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
    if (::close(m_fd) != 0 && m_error == 0 && errno != EINTR)
        m_error = errno;
    m_fd = -1;
    return m_error;
}

} // namespace Verarov::Translate
