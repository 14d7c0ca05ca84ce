#include "io/input.h"

#include "io/names.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Verarov::Io {

using namespace Qt::StringLiterals;

#ifdef Q_OS_WIN
namespace {

// The C runtime reports a folder as EACCES and a path through a file as
// ENOENT; what the path leads to tells them apart, as other systems do.
// "dossier" -> EISDIR, "texte.txt/x" -> ENOTDIR
int openError(const QString &path, int error)
{
    if (error != EACCES && error != ENOENT && error != EINVAL)
        return error;
    if (hasPartTooLongForWindows(path))
        return ENAMETOOLONG;
    if (QFileInfo(path).isDir())
        return EISDIR;
    if (error != EACCES) {
        for (QFileInfo above(QFileInfo(path).path()); !above.isRoot();
             above.setFile(above.path())) {
            if (above.isFile())
                return ENOTDIR;
            if (above.isDir() || above.path() == above.filePath())
                break;
        }
    }
    return error;
}

} // namespace
#endif

int openForReading(const QString &path, int *error)
{
    int fd = -1;
#ifdef Q_OS_WIN
    fd = ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        *error = openError(path, errno);
        return -1;
    }
    struct _stat64 info;
    const bool known = ::_fstat64(fd, &info) == 0;
    const bool folder = known && (info.st_mode & _S_IFMT) == _S_IFDIR;
    const bool regular = known && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
    // O_NONBLOCK: opening a FIFO without writer returns at once; it has no
    // effect on the reads of a regular file.
    do {
        fd = ::open(encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    struct stat info;
    const bool known = ::fstat(fd, &info) == 0;
    const bool folder = known && S_ISDIR(info.st_mode);
    const bool regular = known && S_ISREG(info.st_mode);
#endif
    if (regular) {
        *error = 0;
        return fd;
    }
    *error = !known ? errno : folder ? EISDIR : kNotRegularFile;
    closeDescriptor(fd);
    return -1;
}

void closeDescriptor(int fd)
{
#ifdef Q_OS_WIN
    ::_close(fd);
#else
    ::close(fd);
#endif
}

qint64 readSome(int fd, char *data, qint64 size)
{
    for (;;) {
#ifdef Q_OS_WIN
        const qint64 got = ::_read(fd, data, unsigned(qMin<qint64>(size, 1 << 30)));
#else
        const qint64 got = ::read(fd, data, std::size_t(size));
#endif
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

qint64 regularSize(int fd)
{
#ifdef Q_OS_WIN
    struct _stat64 info;
    return ::_fstat64(fd, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG ? qint64(info.st_size)
                                                                              : 0;
#else
    struct stat info;
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? qint64(info.st_size) : 0;
#endif
}

bool sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
#else
    struct stat first;
    struct stat second;
    return ::stat(encodeName(a).constData(), &first) == 0
           && ::stat(encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
#endif
}

QString readWholeFile(const QString &path, QByteArray &data, qint64 maxBytes)
{
    int error = 0;
    const int fd = openForReading(path, &error);
    if (fd < 0)
        return inputErrorMessage(error);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        closeDescriptor(fd);
        return inputErrorMessage(EIO);
    }
    // The bytes read are counted, not the size the system reports, which
    // some files (under /proc, growing ones) do not give truly.
    const auto tooLarge = [&] {
        data.clear();
        return maxBytes >= (1 << 20)
                       ? u"fichier trop volumineux (plus de %1 Mo)"_s.arg(maxBytes >> 20)
                       : u"fichier trop volumineux (plus de %1 octets)"_s.arg(maxBytes);
    };
    const qint64 reported = file.size();
    if (reported > maxBytes)
        return tooLarge();
    data.resize(qsizetype(qMax<qint64>(reported, 1 << 16)) + 1);
    qsizetype used = 0;
    for (;;) {
        if (used == data.size()) {
            if (used > maxBytes)
                return tooLarge();
            data.resize(qsizetype(qMin<qint64>(qint64(data.size()) * 2, maxBytes + 1)));
        }
        const qint64 got = file.read(data.data() + used, data.size() - used);
        if (got < 0) {
            data.clear();
            return u"erreur de lecture"_s;
        }
        if (got == 0)
            break;
        used += qsizetype(got);
    }
    if (used > maxBytes)
        return tooLarge();
    data.truncate(used);
    return {};
}

InputFile::~InputFile()
{
    if (m_fd >= 0)
        closeDescriptor(m_fd);
}

int InputFile::open(const QString &path)
{
    m_fd = openForReading(path, &m_error);
    return m_error;
}

qint64 InputFile::size() const
{
    return m_fd < 0 ? 0 : regularSize(m_fd);
}

int InputFile::rewind()
{
#ifdef Q_OS_WIN
    const bool ok = ::_lseeki64(m_fd, 0, SEEK_SET) == 0;
#else
    const bool ok = ::lseek(m_fd, 0, SEEK_SET) == 0;
#endif
    if (!ok)
        m_error = errno;
    return ok ? 0 : m_error;
}

qint64 InputFile::read(char *data, qint64 size)
{
    const qint64 got = readSome(m_fd, data, size);
    if (got < 0)
        m_error = errno;
    return got;
}

} // namespace Verarov::Io
