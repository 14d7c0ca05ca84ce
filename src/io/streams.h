#pragma once

#include <QByteArrayView>
#include <QString>

namespace Verarov::Io {

// Standard streams a program was started without (a shell's "<&-" or
// ">&-"): their numbers are held on the null device, so that no file opened
// later takes number 1 and receives what was meant for standard output, and
// they are remembered as closed.  Called first thing in main().
void holdClosedStandardStreams();

// Whether standard input (0), output (1) or error (2) was closed at start.
bool standardStreamClosed(int fd);

// The French message of a closed standard stream, named as messages name
// it: "Sortie standard : le flux est fermé".
QString closedStreamMessage(int fd);

// Writes bytes to standard output; an empty string, or the French reason
// (closed at start, a failed write: "Espace insuffisant sur le disque").
QString writeStandardOutput(QByteArrayView bytes);

// Closes standard output, which reports the failures some outputs keep for
// the end; an empty string or the French reason.  Only once everything is
// written.
QString closeStandardOutput();

} // namespace Verarov::Io
