#include "io/output.h"

#include "io/names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <climits>
#include <unistd.h>
#endif

namespace Verarov::Io {

using namespace Qt::StringLiterals;

namespace {
constexpr std::size_t kOutputBuffer = 1 << 18;
// Written data the system is asked to start storing at a time: the disk
// then works while the translation goes on, and the final sync only waits
// for the last of it.
constexpr qint64 kStoreStep = qint64(1) << 23;

// The C runtime's file calls, which report the system error number.
#ifdef Q_OS_WIN
using ssize_t = int;
int createFile(const QString &path)
{
    return ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()),
                    _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int writeFile(int fd, const char *data, std::size_t size)
{
    return ::_write(fd, data, unsigned(std::min<std::size_t>(size, 1u << 30)));
}
int syncFile(int fd)
{
    return ::_commit(fd);
}
bool seekFile(int fd, qint64 offset)
{
    return ::_lseeki64(fd, offset, SEEK_SET) == offset;
}
void startStoring(int, qint64, qint64) { }
int closeFile(int fd)
{
    return ::_close(fd);
}
int removeFile(const QString &path)
{
    return ::_wremove(reinterpret_cast<const wchar_t *>(path.utf16()));
}
int renameFile(const QString &from, const QString &to)
{
    if (::MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()),
                      reinterpret_cast<const wchar_t *>(to.utf16()), MOVEFILE_REPLACE_EXISTING))
        return 0;
    errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return -1;
}
bool isFolder(const QString &path)
{
    struct _stat64 info;
    return ::_wstat64(reinterpret_cast<const wchar_t *>(path.utf16()), &info) == 0
           && (info.st_mode & _S_IFMT) == _S_IFDIR;
}
bool isReadOnlyFile(const QString &path)
{
    return ::_waccess(reinterpret_cast<const wchar_t *>(path.utf16()), 2) != 0 && errno == EACCES;
}
void keepOwnerAndMode(int fd, const QString &path)
{
    Q_UNUSED(fd);
    Q_UNUSED(path);
}
#else
// A new file only: O_EXCL never opens what stands under the name, a link
// included.
int createFile(const QString &path)
{
    return ::open(encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
ssize_t writeFile(int fd, const char *data, std::size_t size)
{
    return ::write(fd, data, size);
}
int syncFile(int fd)
{
    return ::fsync(fd);
}
bool seekFile(int fd, qint64 offset)
{
    return ::lseek(fd, off_t(offset), SEEK_SET) == off_t(offset);
}
void startStoring(int fd, qint64 offset, qint64 length)
{
#ifdef Q_OS_LINUX
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(fd);
    Q_UNUSED(offset);
    Q_UNUSED(length);
#endif
}
int closeFile(int fd)
{
    return ::close(fd);
}
int removeFile(const QString &path)
{
    return ::unlink(encodeName(path).constData());
}
int renameFile(const QString &from, const QString &to)
{
    return ::rename(encodeName(from).constData(), encodeName(to).constData());
}
// A folder itself, not a link to one (a link is replaced like a file).
bool isFolder(const QString &path)
{
    struct stat info;
    return ::lstat(encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}
// The new file takes the owner (where allowed) and the permissions of the
// file it is to replace, as an editor keeps them; not those of a link.
void keepOwnerAndMode(int fd, const QString &path)
{
    struct stat info;
    if (::lstat(encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        // Another owner than this user's: the file is then this user's.
    }
    ::fchmod(fd, info.st_mode & 0777);
}
// The descriptor number N of a name that stands for a descriptor of this
// process ("/proc/self/fd/N", "/dev/fd/N", "/proc/<this pid>/fd/N"),
// else -1.  /dev/stdout is a link to such a name.
int descriptorNamed(const QByteArray &name)
{
    const QByteArray own = "/proc/" + QByteArray::number(::getpid()) + "/fd/";
    for (const QByteArray &prefix : {QByteArray("/proc/self/fd/"), QByteArray("/dev/fd/"), own}) {
        if (!name.startsWith(prefix))
            continue;
        bool ok = false;
        const int fd = name.sliced(prefix.size()).toInt(&ok);
        return ok && fd >= 0 ? fd : -1;
    }
    return -1;
}

// What an output named name is written to when it is not a regular file
// put in place by rename: a descriptor to write into, in place (a FIFO, a
// character device such as a terminal, a descriptor of this process such
// as /dev/stdout); -1 with *error set when it must be refused (a folder, a
// block device, a socket, even through a link); -1 with *error 0 when the
// output is written aside and renamed (nothing there, a regular file, a
// link to one or to nothing, which the rename replaces).
int openInPlace(const QByteArray &name, int *error)
{
    *error = 0;
    QByteArray current = name;
    for (int hop = 0; hop < 40; ++hop) {
        if (const int fd = descriptorNamed(current); fd >= 0) {
            const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
            if (copy < 0)
                *error = errno;
            return copy;
        }
        struct stat info;
        if (::lstat(current.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            break;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(current.constData(), target.data(), target.size());
        if (length <= 0)
            break;
        target.truncate(length);
        if (!target.startsWith('/')) {
            const qsizetype slash = current.lastIndexOf('/');
            if (slash >= 0)
                target = current.first(slash + 1) + target;
        }
        current = target;
    }
    struct stat info;
    if (::stat(name.constData(), &info) != 0 || S_ISREG(info.st_mode))
        return -1;
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) {
        int fd = -1;
        do {
            fd = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            *error = errno;
        return fd;
    }
    *error = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
    return -1;
}

// Whether the last part of a name is longer than its folder allows, or
// the whole name longer than the system takes: the rename at the end would
// fail, after the work.
bool nameTooLong(const QByteArray &name, const QByteArray &folder)
{
    const qsizetype slash = name.lastIndexOf('/');
    const qsizetype last = name.size() - slash - 1;
    const long most = ::pathconf(folder.isEmpty() ? "." : folder.constData(), _PC_NAME_MAX);
    return name.size() >= PATH_MAX || (most > 0 && last > most);
}

// Removes from a folder the temporary files of runs that ended without
// removing them (SIGKILL, power loss): ".verarov-<process id>-<hex>.tmp"
// whose process no longer exists.  Ours, and those of live processes, stay.
void removeAbandoned(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    const pid_t self = ::getpid();
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (!name.startsWith(".verarov-") || !name.endsWith(".tmp"))
            continue;
        const QByteArrayView middle = name.sliced(9, name.size() - 13);
        const qsizetype dash = middle.indexOf('-');
        if (dash <= 0)
            continue;
        bool ok = false;
        const qlonglong pid = middle.first(dash).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == self || pid > INT_MAX)
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QByteArray path =
                (folder.isEmpty() ? QByteArray(".") : folder) + '/' + name.toByteArray();
        struct stat info;
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode))
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

// A file itself that this user may not write (a link is replaced freely).
bool isReadOnlyFile(const QString &path)
{
    struct stat info;
    const QByteArray name = encodeName(path);
    return ::lstat(name.constData(), &info) == 0 && S_ISREG(info.st_mode)
           && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}
#endif

// Temporary outputs removed when a signal ends the program (Ctrl+C, a
// terminal closed, kill): a half-written file, maybe of gigabytes, must not
// stay hidden in the user's folder.  A slot's name is written before the
// slot is marked in use; the handler only reads it.
struct PendingRemoval
{
    std::atomic<bool> claimed{false};
    std::atomic<bool> inUse{false};
    char path[4096] = {};
};
PendingRemoval g_pending[8];

#ifndef Q_OS_WIN
extern "C" void removePendingAndEnd(int signal)
{
    for (PendingRemoval &pending : g_pending) {
        if (pending.inUse.load())
            ::unlink(pending.path);
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal); // delivered once the handler returns, as if never caught
}

// Catches every signal that ends a program by default and can be caught;
// one ignored (nohup) or caught by someone else is left as it is.
void removeOnSignals()
{
    static const bool installed = [] {
        std::vector<int> caught{SIGINT,  SIGTERM,   SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,
                                SIGPIPE, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGABRT, SIGBUS,
                                SIGFPE,  SIGILL,    SIGSEGV, SIGSYS,  SIGTRAP};
#ifdef SIGPOLL
        caught.push_back(SIGPOLL);
#endif
#ifdef SIGPWR
        caught.push_back(SIGPWR);
#endif
#ifdef SIGSTKFLT
        caught.push_back(SIGSTKFLT);
#endif
#ifdef SIGRTMIN
        for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
            caught.push_back(signal);
#endif
        for (int signal : caught) {
            struct sigaction before = {};
            if (::sigaction(signal, nullptr, &before) != 0 || before.sa_handler != SIG_DFL)
                continue;
            struct sigaction removal = {};
            removal.sa_handler = removePendingAndEnd;
            sigemptyset(&removal.sa_mask);
            ::sigaction(signal, &removal, nullptr);
        }
        return true;
    }();
    Q_UNUSED(installed);
}
#endif

// The slot that now holds path, or -1 (no slot free, or a name too long:
// the file is then only removed by the destructor, as before).
int markPending(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return -1;
#else
    removeOnSignals();
    const QByteArray name = encodeName(path);
    if (std::size_t(name.size()) >= sizeof(PendingRemoval::path))
        return -1;
    for (int slot = 0; slot < int(std::size(g_pending)); ++slot) {
        bool free = false;
        if (!g_pending[slot].claimed.compare_exchange_strong(free, true))
            continue;
        std::memcpy(g_pending[slot].path, name.constData(), std::size_t(name.size()) + 1);
        g_pending[slot].inUse.store(true);
        return slot;
    }
    return -1;
#endif
}

void unmarkPending(int slot)
{
    if (slot < 0)
        return;
    g_pending[slot].inUse.store(false);
    g_pending[slot].claimed.store(false);
}

} // namespace

OutputFile::OutputFile() : m_buffer(kOutputBuffer) { }

OutputFile::~OutputFile()
{
    if (m_fd >= 0)
        closeFile(m_fd);
    if (!m_temporary.isEmpty())
        removeFile(m_temporary);
    unmarkPending(m_pendingSlot);
}

int OutputFile::create(const QString &path, Streams streams)
{
    m_path = path;
#ifndef Q_OS_WIN
    // A FIFO, a terminal, /dev/stdout: written into as a stream; a link
    // to what is not a regular file is never replaced.
    const QByteArray native = encodeName(path);
    int refusal = 0;
    if (streams == Streams::WrittenInPlace)
        m_fd = openInPlace(native, &refusal);
    if (m_fd >= 0) {
        m_inPlace = true;
        return m_error = 0;
    }
    if (refusal != 0)
        return m_error = refusal;
    const QByteArray nativeFolder = encodeName(QFileInfo(path).path());
    if (nameTooLong(native, nativeFolder))
        return m_error = ENAMETOOLONG;
    removeAbandoned(nativeFolder);
#else
    Q_UNUSED(streams);
    if (hasPartTooLongForWindows(path))
        return m_error = ENAMETOOLONG;
#endif
    // A folder under the name would refuse the rename only at the end; a
    // file the user may not write is not replaced either.
    if (isFolder(path))
        return m_error = EISDIR;
    if (isReadOnlyFile(path))
        return m_error = EACCES;
    // Hidden, short and in the same folder, so that the rename stays on one
    // file system and the name never grows too long; the process id in the
    // name tells a later run whether its writer is gone.
    const QString folder = QFileInfo(path).path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const qulonglong random = QRandomGenerator::global()->generate();
        const QString name = QDir(folder).filePath(
                u".verarov-%1-%2.tmp"_s.arg(QCoreApplication::applicationPid())
                        .arg(random, 8, 16, QChar(u'0')));
        do {
            m_fd = createFile(name);
        } while (m_fd < 0 && errno == EINTR);
        if (m_fd >= 0) {
            m_temporary = name;
            m_pendingSlot = markPending(name);
            keepOwnerAndMode(m_fd, path);
            return m_error = 0;
        }
        if (errno != EEXIST)
            break;
    }
    return m_error = errno;
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

void OutputFile::writeBytes(const char *bytes, std::size_t size)
{
    while (size > 0) {
        if (m_used == m_buffer.size())
            flush();
        const std::size_t n = std::min(size, m_buffer.size() - m_used);
        std::memcpy(m_buffer.data() + m_used, bytes, n);
        m_used += n;
        bytes += n;
        size -= n;
    }
}

void OutputFile::writeBytesAt(qint64 offset, const char *bytes, std::size_t size)
{
    flush();
    if (m_error != 0)
        return;
    if (m_inPlace || m_fd < 0 || offset < 0 || offset + qint64(size) > m_written) {
        m_error = EINVAL;
        return;
    }
    if (!seekFile(m_fd, offset)) {
        m_error = errno;
        return;
    }
    while (size > 0 && m_error == 0) {
        const ssize_t put = writeFile(m_fd, bytes, size);
        if (put < 0) {
            if (errno != EINTR)
                m_error = errno;
        } else {
            bytes += put;
            size -= std::size_t(put);
        }
    }
    if (m_error == 0 && !seekFile(m_fd, m_written))
        m_error = errno;
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
            m_written += put;
        }
    }
    if (m_written - m_storing >= kStoreStep) {
        startStoring(m_fd, m_storing, m_written - m_storing);
        m_storing = m_written;
    }
}

int OutputFile::close()
{
    if (m_fd < 0)
        return m_error;
    flush();
    // Some file systems report a failed write only when the data is stored.
    if (m_error == 0 && !m_inPlace && syncFile(m_fd) != 0 && errno != EINTR && errno != EINVAL)
        m_error = errno;
    if (closeFile(m_fd) != 0 && m_error == 0 && errno != EINTR)
        m_error = errno;
    m_fd = -1;
    return m_error;
}

int OutputFile::commit()
{
    if (m_inPlace)
        return m_fd >= 0 ? EBADF : m_error;
    if (m_fd >= 0 || m_error != 0 || m_temporary.isEmpty())
        return m_error ? m_error : EBADF;
    if (renameFile(m_temporary, m_path) != 0)
        return errno;
    m_temporary.clear();
    unmarkPending(m_pendingSlot);
    m_pendingSlot = -1;
    return 0;
}

QString writeWhole(const QString &path, QByteArrayView bytes)
{
    OutputFile out;
    if (const int error = out.create(path))
        return createErrorMessage(path, error);
    out.writeBytes(bytes.constData(), std::size_t(bytes.size()));
    if (const int error = out.close())
        return u"Fichier \"%1\" : %2"_s.arg(displayName(path), writeErrorMessage(error));
    if (const int error = out.commit())
        return createErrorMessage(path, error);
    return {};
}

int makeFolders(const QString &path)
{
#ifdef Q_OS_WIN
    return QDir().mkpath(path) ? 0 : EACCES;
#else
    const QByteArray name = encodeName(path);
    for (qsizetype end = 1; end <= name.size(); ++end) {
        if (end < name.size() && name[end] != '/')
            continue;
        const QByteArray part = name.first(end);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
#endif
}

int writeAll(int fd, QByteArrayView bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 put = writeFile(fd, data, std::size_t(left));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += put;
        left -= put;
    }
    return 0;
}

} // namespace Verarov::Io
