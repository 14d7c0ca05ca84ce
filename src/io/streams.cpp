#include "io/streams.h"

#include "io/messages.h"
#include "io/output.h"

#include <cerrno>

#include <fcntl.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Verarov::Io {

using namespace Qt::StringLiterals;

namespace {
bool g_closed[3] = {false, false, false};
}

void holdClosedStandardStreams()
{
#ifndef Q_OS_WIN
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        g_closed[fd] = true;
        // The lowest free number is fd itself: every lower one is open.
        const int held = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (held >= 0 && held != fd)
            ::close(held);
    }
#endif
}

bool standardStreamClosed(int fd)
{
    return fd >= 0 && fd < 3 && g_closed[fd];
}

QString closedStreamMessage(int fd)
{
    const QString name = fd == 0   ? u"Entrée standard"_s
                         : fd == 1 ? u"Sortie standard"_s
                                   : u"Sortie d'erreur"_s;
    return name + u" : le flux est fermé"_s;
}

QString writeStandardOutput(QByteArrayView bytes)
{
    if (standardStreamClosed(1))
        return closedStreamMessage(1);
    if (const int error = writeAll(1, bytes))
        return u"Sortie standard : "_s + writeErrorMessage(error);
    return {};
}

QString closeStandardOutput()
{
    if (standardStreamClosed(1))
        return {};
#ifdef Q_OS_WIN
    const int closed = ::_close(1);
#else
    const int closed = ::close(1);
#endif
    if (closed != 0 && errno != EINTR)
        return u"Sortie standard : "_s + writeErrorMessage(errno);
    return {};
}

} // namespace Verarov::Io
