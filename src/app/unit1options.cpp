// The Options menu of the main window: the interface language, the colours
// of the text fields and of the shown entry, and the reset; with the
// reading of the stored settings at start.  The store is Verarov::Settings.
#include "app/unit1.h"

#include "app/controlcolours.h"
#include "app/definitions.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "settings/store.h"

#include <QAction>

using namespace Qt::StringLiterals;
using Verarov::App::ColourUse;
using Verarov::App::guarded;
using Verarov::Settings::ColourValue;
using Verarov::Settings::Language;

namespace Verarov::App {

namespace {

void throwIfFailed(const QString &failure)
{
    if (!failure.isEmpty())
        throw Verarov::App::Error(failure);
}

} // namespace

Language TForm1::readSettings()
{
    const Verarov::Settings::StoredSettings stored = Verarov::Settings::Store().readAtStart();
    const QList<ColourUse> &uses = Verarov::App::colourUses();
    for (qsizetype i = 0; i < uses.size() && i < stored.colours.size(); ++i) {
        if (stored.colours[i])
            applyColour(uses[i], *stored.colours[i]);
    }
    for (const QString &failure : stored.failures)
        Verarov::App::showError(this, failure);
    return stored.language;
}

void TForm1::applyColour(const ColourUse &use, ColourValue value)
{
    // car_pin is a plain string, never shown: nothing to colour.
    for (const QString &name : use.controls) {
        if (auto *control = findChild<QWidget *>(name))
            Verarov::App::setControlColour(control, use.part, value);
    }
}

void TForm1::change_couleur(QAction *item)
{
    guarded(this, [&] {
        const ColourUse *use = Verarov::App::colourUseForTag(item->data().toInt());
        if (!use)
            return;
        const auto chosen = Verarov::App::desktop().chooseColour(this, ColorDialog1.colour,
                                                                 ColorDialog1.customColours);
        if (!chosen)
            return;
        ColorDialog1.colour = *chosen;
        const ColourValue value = Verarov::App::colourValue(*chosen);
        applyColour(*use, value);
        throwIfFailed(Verarov::Settings::Store().writeColour(
                Verarov::Settings::colourSetting(use->colour), value));
    });
}

void TForm1::InitialisationClick()
{
    guarded(this, [&] {
        for (const ColourUse &use : Verarov::App::colourUses())
            applyColour(use, Verarov::Settings::colourSetting(use.colour).defaultValue);
        throwIfFailed(Verarov::Settings::Store().writeDefaults());
    });
}

void TForm1::langue_frClick()
{
    setLanguage(Language::French);
}

void TForm1::langue_chClick()
{
    setLanguage(Language::Chinese);
}

void TForm1::setLanguage(Language language)
{
    guarded(this, [&] {
        applyTexts(language);
        Verarov::App::useToolkitLanguage(language);
        langue_fr->setChecked(language == Language::French);
        langue_ch->setChecked(language == Language::Chinese);
        throwIfFailed(Verarov::Settings::Store().writeLanguage(language));
    });
}

} // namespace Verarov::App
