#include "io/names.h"

#include <QFile>

namespace Verarov::Io {

QByteArray encodeName(const QString &name)
{
    return QFile::encodeName(name);
}

QString decodeName(const char *bytes)
{
    return QFile::decodeName(bytes);
}

} // namespace Verarov::Io
