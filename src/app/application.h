#pragma once

#include <QFont>
#include <QStringList>

namespace Verarov::App {

// The first command-line argument: the first non-empty one after the
// program, or an empty string.  {"verarov", "", "a b.txt"} -> "a b.txt"
QString firstArgument(const QStringList &arguments);

// The family to request for a font the windows name ("SimSun", "Tahoma",
// "Arial"): the font itself when installed, else the first installed
// substitute (Noto CJK, DejaVu, Liberation), else the name as given.
// Resolving up front spares the font matcher a fallback search per widget.
QString fontFamily(const QString &wanted);

// A font the windows name, at a character height in pixels.
QFont namedFont(const QString &family, int pixelHeight, bool bold = false,
                bool underline = false);

// The whole life of the program: start-up, event loop, end.
int run(int argc, char *argv[]);

} // namespace Verarov::App
