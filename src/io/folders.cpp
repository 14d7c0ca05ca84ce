#include "io/folders.h"

#include <QDir>

namespace Verarov::Io {

using namespace Qt::StringLiterals;

QString userLocation(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (QStandardPaths::isTestModeEnabled())
        return folder;
    // The variable behind the location, its default, and the location of
    // the variable alone: what stands after it is the program's own part.
    struct Base
    {
        const char *variable;
        const char16_t *fallback;
        QStandardPaths::StandardLocation generic;
    };
    Base base;
    switch (location) {
    case QStandardPaths::ConfigLocation:
    case QStandardPaths::GenericConfigLocation:
    case QStandardPaths::AppConfigLocation:
        base = {"XDG_CONFIG_HOME", u"/.config", QStandardPaths::GenericConfigLocation};
        break;
    case QStandardPaths::CacheLocation:
    case QStandardPaths::GenericCacheLocation:
        base = {"XDG_CACHE_HOME", u"/.cache", QStandardPaths::GenericCacheLocation};
        break;
    case QStandardPaths::AppDataLocation:
    case QStandardPaths::AppLocalDataLocation:
    case QStandardPaths::GenericDataLocation:
        base = {"XDG_DATA_HOME", u"/.local/share", QStandardPaths::GenericDataLocation};
        break;
    default:
        return folder;
    }
    const QString variable = qEnvironmentVariable(base.variable);
    if (variable.isEmpty() || !QDir::isRelativePath(variable))
        return folder;
    const QString generic = QStandardPaths::writableLocation(base.generic);
    const QString own = folder.startsWith(generic) ? folder.sliced(generic.size()) : QString();
    return QDir::homePath() + QString::fromUtf16(base.fallback) + own;
#else
    return folder;
#endif
}

} // namespace Verarov::Io
