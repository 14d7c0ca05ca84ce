#pragma once

#include <QStandardPaths>
#include <QString>

namespace Verarov::Io {

// A per-user folder where the program writes or looks for its files:
// QStandardPaths::writableLocation, except that a relative $XDG_CONFIG_HOME,
// $XDG_CACHE_HOME or $XDG_DATA_HOME is invalid and ignored, as the XDG base
// directories say: its default under the home folder is used instead, never
// a folder relative to the current one.
//   XDG_CACHE_HOME=cache, CacheLocation -> "$HOME/.cache/<organisation>/<name>"
// In the test mode of QStandardPaths, its test folders as they are.
QString userLocation(QStandardPaths::StandardLocation location);

} // namespace Verarov::Io
