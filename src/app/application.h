#pragma once

#include "dictionary/tables.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QIcon;
class QThread;
class QWidget;

namespace Verarov::App {

// The name the desktop knows the program by: its menu entry
// (<id>.desktop), its metadata and its icon in the icon theme.
inline constexpr char16_t kDesktopId[] = u"org.example.verarov";

// The program's icon, the character for "word" on a seal-red tile, at the
// sizes the desktop asks for (16 to 256 pixels).
QIcon programIcon();

// What the application object carries before any window exists: name,
// desktop entry, style, default font and the icon every window shows, set
// now or once the first window has been painted (start-up: the window
// appears sooner; on X11 the icon's pictures, eight sizes up to 256 pixels,
// are decoded and sent to the display with it).
enum class WindowIcon { Now, AfterFirstPaint };
void prepareApplication(WindowIcon icon = WindowIcon::Now);

// The first command-line argument: the first non-empty one after the
// program, or an empty string.  {"verarov", "", "a b.txt"} -> "a b.txt"
QString firstArgument(const QStringList &arguments);

// The windows of a start-up, in their order: the main window (Form1, set
// before its creation step runs), its creation step given the first
// command-line argument.  It is not shown.  The About box (Form2) is made
// when first asked for, a search window (Form3) at each use of the search
// command: none at start, where it would never be shown.  rawRadicals: the
// raw radical list the window carries; or radicalSource, which reads it
// when the window first needs it.
void createWindows(Dictionary::Tables dictionary, QString rawRadicals, const QString &commandLine,
                   std::function<QString()> radicalSource = {});
// Destroys every window, the search windows first: the end of the program.
void destroyWindows();
// Reads the cache an external dictionary was mapped from (cacheFile)
// through in a worker thread, off the start-up path: a damaged cache is
// built again from the dictionary at path, and the error box says so over
// window.  The thread is started; the caller raises stop (when given) and
// waits for the thread before the program ends: reading ends at once, a
// rebuild under way is finished.
std::unique_ptr<QThread> checkCache(const QString &path, const QString &cacheFile, QWidget *window,
                                    const std::atomic<bool> *stop = nullptr);

// The whole life of the program: start-up, event loop, end.
int run(int argc, char *argv[]);

} // namespace Verarov::App
