#include "dictionary/fileaccess.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <QFileInfo>

#include <io.h>
#else
#include <unistd.h>
#endif

namespace Verarov {

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
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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

QString inputErrorMessage(int error)
{
    switch (error) {
    case ENOENT:
        return u"Impossible de trouver le fichier spécifié"_s;
    case EACCES:
    case EPERM:
        return u"Accès au fichier refusé"_s;
    case EMFILE:
    case ENFILE:
        return u"Trop de fichiers ouverts"_s;
    case EISDIR:
        return u"Le fichier spécifié est un dossier"_s;
    case kNotRegularFile:
        return u"Le fichier spécifié n'est pas un fichier ordinaire"_s;
    case ENOTDIR:
        return u"Une partie du chemin d'accès n'est pas un dossier"_s;
    case ENAMETOOLONG:
        return u"Le nom du fichier est trop long"_s;
#ifdef ELOOP
    case ELOOP:
        return u"Trop de liens symboliques dans le chemin d'accès"_s;
#endif
    default:
        return u"Erreur E/S %1"_s.arg(error);
    }
}

QString writeErrorMessage(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return u"Espace insuffisant sur le disque"_s;
    case EFBIG:
        return u"Le fichier dépasse la taille permise"_s;
    case EROFS:
        return u"Le disque est en lecture seule"_s;
    default:
        return u"Erreur E/S %1"_s.arg(error);
    }
}

} // namespace Verarov
