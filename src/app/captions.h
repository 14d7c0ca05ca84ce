#pragma once

#include "settings/store.h"

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

namespace Verarov::App {

// A font as the windows name it.  Heights are character heights in pixels;
// a size in points is taken at 96 dots per inch (8 pt = 11 px).
struct FontSpec
{
    enum class Style { Keep, Regular, Bold }; // Keep: the control's own weight

    QString family; // "Tahoma", "SimSun", "Arial": resolved to installed faces
    int pixelHeight = 0;
    Style style = Style::Keep;
    bool underline = false;

    friend bool operator==(const FontSpec &, const FontSpec &) = default;
};

constexpr int pointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}

// One control of a window, by object name: where it stands, its font and
// its caption.  Unset parts are left as they are.
struct ControlSpec
{
    QString control;
    std::optional<QRect> place;
    std::optional<FontSpec> font;
    std::optional<QString> caption;
};

// The captions and fonts that follow the interface language.  The French
// sets are those of the window definitions, so applying them restores the
// designed look exactly.
//   Main window: the tab controls (fonts), the tabs, the menus and the menu
//   items but the two language items and the "?" menu.
//   Search window: the group boxes, the mode buttons and the two buttons.
QList<ControlSpec> mainWindowTexts(Settings::Language language);
QList<ControlSpec> searchWindowTexts(Settings::Language language);

// Tracé and Écrire: the window title, the buttons and the speed's label.
QList<ControlSpec> strokeOrderWindowTexts(Settings::Language language);
QList<ControlSpec> handwritingWindowTexts(Settings::Language language);
// Their messages, %1 to fill: the characters without stroke data
// ("Pas de tracé pour : %1"), and the French reason why the stroke data
// cannot be used (the reason alone in French).
QString noStrokesMessage(Settings::Language language);
QString strokeDataMessage(Settings::Language language);

} // namespace Verarov::App
