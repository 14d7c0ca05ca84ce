#pragma once

#include "settings/colours.h"

#include <QColor>
#include <QList>
#include <QPalette>
#include <QStringList>

#include <optional>

class QWidget;

namespace Verarov::App {

// What a colour value colours in its controls.
enum class ColourPart { Background, Text };

// Where the main window shows a stored colour: the part and the controls
// (object names) it colours, and the menu tag of the colour command that
// sets it (0 for none).
struct ColourUse
{
    Settings::Colour colour;
    ColourPart part;
    QStringList controls;
    int tag;
};

// One per Settings::Colour, in that order.
const QList<ColourUse> &colourUses();
const ColourUse &colourUse(Settings::Colour colour);
// The use of the colour set by the command with a menu tag (1, 8, 9, 10);
// nullptr for any other tag.
const ColourUse *colourUseForTag(int tag);
// The menu tag of the command that sets a colour.
int colourTag(Settings::Colour colour);

// The colour a value stands for in a palette: an RGB value as it is, a
// system colour as the palette has it.  drawnAs: the role the colour is
// drawn in, which "window text" (8) follows (a label's WindowText, a
// field's Text).  System colours map to roles: 5 window -> Base,
// 8 window text -> Text, 15 button face -> Button, and the other indexes of
// the desktop's scheme that have a role; an index without one is black.
QColor colourOf(Settings::ColourValue value, const QPalette &palette,
                QPalette::ColorGroup group = QPalette::Active,
                QPalette::ColorRole drawnAs = QPalette::Text);

// The RGB value of a colour.  QColor(255, 255, 200) -> 0x00C8FFFF
Settings::ColourValue colourValue(const QColor &colour);

// Colours one part of a control (its background, or its text) with a colour
// value; the value stays with the control.  A system colour is taken from
// the application palette now and again whenever that palette changes.
void setControlColour(QWidget *control, ColourPart part, Settings::ColourValue value);

// The value a part of a control was given; nothing while it has its
// designed colour.
std::optional<Settings::ColourValue> controlColour(const QWidget *control, ColourPart part);

} // namespace Verarov::App
