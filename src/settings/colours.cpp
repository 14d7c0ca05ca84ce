#include "settings/colours.h"

namespace Verarov::Settings {

using namespace Qt::StringLiterals;

const QList<ColourSetting> &colourSettings()
{
    using enum ColourPart;
    // car_pin is never shown: its colour is kept in the store only.
    static const QList<ColourSetting> table = {
        {u"couleur champs texte"_s, kPaleYellow, Background,
         {u"ListBox"_s, u"liste_dico_ch"_s, u"liste_pin_ss_accent"_s, u"liste_fr"_s,
          u"liste_car_ch"_s, u"liste_mots_ch"_s},
         1},
        {u"couleur entrée chinois"_s, kWindowText, Text, {u"liste_dico_ch"_s}, 0},
        {u"couleur entrée pinyin"_s, kWindowText, Text, {u"liste_pin_ss_accent"_s}, 0},
        {u"couleur entrée français"_s, kWindowText, Text, {u"liste_fr"_s}, 0},
        {u"couleur radical"_s, kWindowText, Text, {u"ListBox"_s}, 0},
        {u"couleur caractère"_s, kWindowText, Text, {u"liste_car_ch"_s}, 0},
        {u"couleur pinyin"_s, kWindowText, Text, {u"car_pin"_s}, 0},
        {u"couleur mot"_s, kWindowText, Text, {u"liste_mots_ch"_s}, 0},
        {u"couleur traduction chinois"_s, kWindowText, Text, {u"mot_ch"_s}, 8},
        {u"couleur traduction pinyin"_s, kMaroon, Text, {u"mot_pin"_s}, 9},
        {u"couleur traduction français"_s, kGreen, Text, {u"mot_fr"_s}, 10},
    };
    return table;
}

const ColourSetting *colourSettingForTag(int tag)
{
    if (tag == 0)
        return nullptr;
    for (const ColourSetting &setting : colourSettings()) {
        if (setting.tag == tag)
            return &setting;
    }
    return nullptr;
}

} // namespace Verarov::Settings
