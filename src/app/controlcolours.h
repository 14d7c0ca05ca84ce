#pragma once

#include "settings/colours.h"

#include <QColor>
#include <QPalette>

#include <optional>

class QWidget;

namespace Verarov::App {

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
void setControlColour(QWidget *control, Settings::ColourPart part, Settings::ColourValue value);

// The value a part of a control was given; nothing while it has its
// designed colour.
std::optional<Settings::ColourValue> controlColour(const QWidget *control,
                                                    Settings::ColourPart part);

} // namespace Verarov::App
