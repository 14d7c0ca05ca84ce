#pragma once

#include <QList>
#include <QString>

namespace Verarov::Settings {

// A colour as the settings keep it, 32 bits in one of two forms:
//   0x00BBGGRR  an RGB colour, red in the low byte;        0x00C8FFFF pale yellow
//   0xFF0000nn  system colour nn of the desktop's scheme;  0xFF000008 window text
// A system colour is looked up whenever the control is drawn.  Any other top
// byte is read as RGB from the low three bytes.
using ColourValue = quint32;

constexpr ColourValue rgbValue(int red, int green, int blue)
{
    return ColourValue(red & 0xff) | ColourValue(green & 0xff) << 8
           | ColourValue(blue & 0xff) << 16;
}
constexpr int redOf(ColourValue value)
{
    return int(value & 0xff);
}
constexpr int greenOf(ColourValue value)
{
    return int(value >> 8 & 0xff);
}
constexpr int blueOf(ColourValue value)
{
    return int(value >> 16 & 0xff);
}
constexpr bool isSystemColour(ColourValue value)
{
    return value >> 24 == 0xff;
}
constexpr int systemColourIndex(ColourValue value)
{
    return int(value & 0xff);
}
constexpr ColourValue systemColour(int index)
{
    return 0xff000000u | ColourValue(index & 0xff);
}

// Indexes of the desktop's colour scheme that the designed look uses.
inline constexpr int kSystemWindow = 5;      // background of text fields
inline constexpr int kSystemWindowText = 8;  // text in windows and fields
inline constexpr int kSystemButtonFace = 15; // face of buttons and dialogs

inline constexpr ColourValue kPaleYellow = rgbValue(255, 255, 200); // 0x00C8FFFF
inline constexpr ColourValue kWindowText = systemColour(kSystemWindowText);
inline constexpr ColourValue kMaroon = rgbValue(128, 0, 0); // 0x00000080
inline constexpr ColourValue kGreen = rgbValue(0, 128, 0);  // 0x00008000

// The eleven stored colours, in the order start-up reads them.
enum class Colour {
    TextFields,    // background of the text fields
    ChineseEntry,  // text of the Chinese lookup field
    PinyinEntry,   // text of the pinyin lookup field
    FrenchEntry,   // text of the French lookup field
    Radical,       // text of the radical tree
    Character,     // text of the character list
    Reading,       // reading of the chosen character (kept, never shown)
    Word,          // text of the word list
    ShownHeadword, // the shown entry: headword,
    ShownPinyin,   // pinyin,
    ShownGloss,    // and gloss
};
inline constexpr int kColourCount = int(Colour::ShownGloss) + 1;

// One stored colour: its value name and its default.
struct ColourSetting
{
    QString name;
    ColourValue defaultValue;
};

// The eleven colour values, one per Colour in that order.
const QList<ColourSetting> &colourSettings();
const ColourSetting &colourSetting(Colour colour);

} // namespace Verarov::Settings
