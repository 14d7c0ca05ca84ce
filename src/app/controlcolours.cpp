#include "app/controlcolours.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace Verarov::App {

using namespace Qt::StringLiterals;
using Settings::Colour;
using Settings::ColourValue;

const QList<ColourUse> &colourUses()
{
    using enum ColourPart;
    // Reading (car_pin) is never shown: its colour is kept in the store only.
    static const QList<ColourUse> table = {
            {Colour::TextFields,
             Background,
             {u"ListBox"_s, u"liste_dico_ch"_s, u"liste_pin_ss_accent"_s, u"liste_fr"_s,
              u"liste_car_ch"_s, u"liste_mots_ch"_s},
             1},
            {Colour::ChineseEntry, Text, {u"liste_dico_ch"_s}, 0},
            {Colour::PinyinEntry, Text, {u"liste_pin_ss_accent"_s}, 0},
            {Colour::FrenchEntry, Text, {u"liste_fr"_s}, 0},
            {Colour::Radical, Text, {u"ListBox"_s}, 0},
            {Colour::Character, Text, {u"liste_car_ch"_s}, 0},
            {Colour::Reading, Text, {u"car_pin"_s}, 0},
            {Colour::Word, Text, {u"liste_mots_ch"_s}, 0},
            {Colour::ShownHeadword, Text, {u"mot_ch"_s}, 8},
            {Colour::ShownPinyin, Text, {u"mot_pin"_s}, 9},
            {Colour::ShownGloss, Text, {u"mot_fr"_s}, 10},
    };
    Q_ASSERT(table.size() == Settings::kColourCount);
    return table;
}

const ColourUse &colourUse(Colour colour)
{
    return colourUses()[int(colour)];
}

const ColourUse *colourUseForTag(int tag)
{
    if (tag == 0)
        return nullptr;
    for (const ColourUse &use : colourUses()) {
        if (use.tag == tag)
            return &use;
    }
    return nullptr;
}

int colourTag(Colour colour)
{
    return colourUse(colour).tag;
}

namespace {

constexpr const char *kProperty[] = {"verarovBackground", "verarovText"};

const char *propertyOf(ColourPart part)
{
    return kProperty[part == ColourPart::Background ? 0 : 1];
}

// The palette role a part of a control is drawn with: fields and lists draw
// their text in Text, labels in WindowText.  Only that role: the others
// colour the control's frame and scroll bars.
QPalette::ColorRole roleOf(const QWidget *control, ColourPart part)
{
    if (part == ColourPart::Background)
        return QPalette::Base;
    return qobject_cast<const QLabel *>(control) ? QPalette::WindowText : QPalette::Text;
}

// The role of an entry of the desktop's colour scheme.
std::optional<QPalette::ColorRole> systemRole(int index, QPalette::ColorRole drawnAs)
{
    switch (index) {
    case 4:
        return QPalette::Window; // menu
    case 5:
        return QPalette::Base; // window
    case 7:
        return QPalette::WindowText; // menu text
    case 8:                          // window text
        return drawnAs == QPalette::WindowText ? QPalette::WindowText : QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow; // 3D dark shadow
    case 22:
        return QPalette::Midlight; // 3D light
    case 23:
        return QPalette::ToolTipText; // info text
    case 24:
        return QPalette::ToolTipBase; // info background
    case 26:
        return QPalette::Link; // hot-tracked item
    default:
        return std::nullopt;
    }
}

// Gives a control the palette its colour values call for, from the
// application palette of the moment.
void refresh(QWidget *control)
{
    const QPalette application = QApplication::palette(control);
    QPalette palette = control->palette();
    for (const ColourPart part : {ColourPart::Background, ColourPart::Text}) {
        const auto value = controlColour(control, part);
        if (!value)
            continue;
        const QPalette::ColorRole role = roleOf(control, part);
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, role, colourOf(*value, application, group, role));
    }
    control->setPalette(palette);
}

bool isColoured(const QWidget *control)
{
    return controlColour(control, ColourPart::Background)
           || controlColour(control, ColourPart::Text);
}

// Recolours the coloured controls of a window from a new application
// palette.  Qt tells only the windows; they pass the palette on to their
// controls afterwards, keeping the roles set here.
class PaletteFollower final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ApplicationPaletteChange || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (isColoured(window))
            refresh(window);
        for (QWidget *control : window->findChildren<QWidget *>()) {
            if (isColoured(control))
                refresh(control);
        }
        return false;
    }
};

PaletteFollower *follower()
{
    static PaletteFollower instance;
    return &instance;
}

} // namespace

QColor colourOf(ColourValue value, const QPalette &palette, QPalette::ColorGroup group,
                QPalette::ColorRole drawnAs)
{
    if (!Settings::isSystemColour(value))
        return QColor(Settings::redOf(value), Settings::greenOf(value), Settings::blueOf(value));
    const auto role = systemRole(Settings::systemColourIndex(value), drawnAs);
    return role ? palette.color(group, *role) : QColor(Qt::black);
}

ColourValue colourValue(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return Settings::rgbValue(rgb.red(), rgb.green(), rgb.blue());
}

void setControlColour(QWidget *control, ColourPart part, ColourValue value)
{
    control->setProperty(propertyOf(part), QVariant::fromValue(value));
    control->window()->installEventFilter(follower());
    refresh(control);
}

std::optional<ColourValue> controlColour(const QWidget *control, ColourPart part)
{
    const QVariant value = control->property(propertyOf(part));
    if (!value.isValid())
        return std::nullopt;
    return value.value<ColourValue>();
}

} // namespace Verarov::App
