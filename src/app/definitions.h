#pragma once

#include "app/captions.h"

#include <QFont>
#include <QList>
#include <QSize>

class QWidget;

namespace Verarov::App {

// The window definitions: for each control, by object name, its place in
// its parent, its font and its fixed caption.  The captions and fonts that
// follow the interface language come from mainWindowTexts() and
// searchWindowTexts(), the French set being the designed one.
QList<ControlSpec> mainWindowDefinition();
QList<ControlSpec> aboutBoxDefinition();
QList<ControlSpec> searchWindowDefinition();

// Client areas as designed, and the main window's status bar.
inline constexpr QSize kMainClientSize(528, 367);
inline constexpr QSize kAboutClientSize(243, 290);
inline constexpr QSize kSearchClientSize(473, 196);
inline constexpr int kStatusBarHeight = 22;
inline constexpr int kStatusPanel1Width = 380; // "Verarov 2.0"
inline constexpr int kStatusPanel2Width = 50;  // contact address, centred

// Sets place, font and caption of each named control of window (the window
// itself when the name is its own).  A caption goes where the control shows
// it: menu title, menu item, tab of a page, group box title, button or label
// text, window title.  A tab control's font is that of its tabs.
void applySpecs(QWidget *window, const QList<ControlSpec> &specs);

// The toolkit's own texts (the labels and buttons of the file and colour
// dialogs, of message and progress boxes) in the interface language, from
// Qt's translations when the system has them (else they stay in English).
// Returns whether a translation was put in use.
bool useToolkitLanguage(Settings::Language language);

// The family to request for a font the windows name ("SimSun", "Tahoma",
// "Arial"): the font itself when installed, else the first installed
// substitute (Noto CJK, Liberation, DejaVu), else the name as given.
// Resolving up front spares the font matcher a fallback search per widget.
QString fontFamily(const QString &wanted);

// A font the windows name, at a character height in pixels.
QFont namedFont(const QString &family, int pixelHeight, bool bold = false, bool underline = false);

// The font a table gives a control whose font is now `current` (its weight
// kept when the table says so).
QFont fontOf(const FontSpec &font, const QFont &current);

} // namespace Verarov::App
