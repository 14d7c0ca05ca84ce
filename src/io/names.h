#pragma once

#include <QByteArray>
#include <QString>

namespace Verarov::Io {

// The bytes the system knows a file by, from the name the program holds.
QByteArray encodeName(const QString &name);

// The name the program holds for the bytes of a command line argument.
QString decodeName(const char *bytes);

} // namespace Verarov::Io
