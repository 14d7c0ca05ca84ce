#include "settings/colours.h"

namespace Verarov::Settings {

using namespace Qt::StringLiterals;

const QList<ColourSetting> &colourSettings()
{
    static const QList<ColourSetting> table = {
            {u"couleur champs texte"_s, kPaleYellow},
            {u"couleur entrée chinois"_s, kWindowText},
            {u"couleur entrée pinyin"_s, kWindowText},
            {u"couleur entrée français"_s, kWindowText},
            {u"couleur radical"_s, kWindowText},
            {u"couleur caractère"_s, kWindowText},
            {u"couleur pinyin"_s, kWindowText},
            {u"couleur mot"_s, kWindowText},
            {u"couleur traduction chinois"_s, kWindowText},
            {u"couleur traduction pinyin"_s, kMaroon},
            {u"couleur traduction français"_s, kGreen},
    };
    Q_ASSERT(table.size() == kColourCount);
    return table;
}

const ColourSetting &colourSetting(Colour colour)
{
    return colourSettings()[int(colour)];
}

} // namespace Verarov::Settings
