#pragma once

#include <QStringList>

namespace Verarov::App {

// The first command-line argument: the first non-empty one after the
// program, or an empty string.  {"verarov", "", "a b.txt"} -> "a b.txt"
QString firstArgument(const QStringList &arguments);

// The whole life of the program: start-up, event loop, end.
int run(int argc, char *argv[]);

} // namespace Verarov::App
