#pragma once

#include "settings/colours.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QVariant;

namespace Verarov::Settings {

// The two interface languages.
enum class Language { French, Chinese };

// What start-up takes from the store.
struct StoredSettings
{
    // The stored "langue": Chinese when it is "ch", else (other text,
    // missing, of the wrong type) French.
    Language language = Language::French;
    // One entry per row of colourSettings(): the stored value, or nothing
    // when it was missing (its default is then written) or unusable.
    QList<std::optional<ColourValue>> colours;
    // Messages for the error box, in order of reading.
    QStringList failures;
};

// The per-user settings: the string "langue" and the eleven colour values.
// Every operation opens the store and closes it again; nothing stays open
// and nothing is written but the values named.
//
// On Windows the store is the registry key
// HKEY_CURRENT_USER\Software\Duvuduz_ivod: "langue" a REG_SZ, the colours
// REG_DWORD.  Elsewhere it is an
// INI file that QSettings writes (see userStoreLocation()), which keeps no
// types: a colour is the decimal text of the 32-bit value read as signed
// ("-16777208" for 0xFF000008); on reading, decimal text in the signed or
// unsigned 32-bit range and "0x" followed by up to eight hexadecimal digits
// are colours, and "langue" must not be such a number.
// An INI store that is not a regular file (a FIFO, a folder, a link to
// either) or whose lock file cannot be taken within about a second is
// refused with the write failure message, so start-up goes on with the
// designed values.  A file holding text that is not UTF-8 has the values
// written by editing their lines, every other byte kept.
class Store
{
public:
    // The user's store.
    Store();
    // A registry key ("HKEY_CURRENT_USER\...") on Windows, else an INI file.
    explicit Store(QString location);

    const QString &location() const { return m_location; }

    // Reads "langue", then each colour in table order; a missing colour has
    // its default written.  A value of the wrong type is reported and left
    // as it is; the others are still read.
    StoredSettings readAtStart() const;

    // Each writes its values and returns the failure message, or an empty
    // string when the store took them.
    // "langue" = "fr" or "ch".
    [[nodiscard]] QString writeLanguage(Language language) const;
    [[nodiscard]] QString writeColour(const ColourSetting &setting, ColourValue value) const;
    // All eleven colours with their defaults, in table order.
    [[nodiscard]] QString writeDefaults() const;

    // An on/off value (the display options): stored as the integer 1 or 0
    // like a colour; read as on for any integer but 0.  Nothing when it is
    // missing or not an integer (the option then stays off; nothing is
    // written at start).
    std::optional<bool> readSwitch(const QString &name) const;
    [[nodiscard]] QString writeSwitch(const QString &name, bool on) const;

private:
    bool keepsTypes() const;
    QString write(const QList<std::pair<QString, QVariant>> &values) const;

    QString m_location;
};

// Where the user's store lives: "HKEY_CURRENT_USER\Software\Duvuduz_ivod" on
// Windows; elsewhere Duvuduz_ivod.conf in the per-user configuration folder
// ($XDG_CONFIG_HOME, by default ~/.config, on Linux).
QString userStoreLocation();
// Puts the user's store elsewhere (tests); an empty location restores it.
void setUserStoreLocation(const QString &location);

// A stored value as a colour or as "langue".  keepsTypes: the store keeps
// value types (the registry); else values are text.  Nothing when the value
// has the wrong type.
std::optional<ColourValue> colourFromStore(const QVariant &stored, bool keepsTypes);
std::optional<Language> languageFromStore(const QVariant &stored, bool keepsTypes);

// The store's failure messages, with the value's name.
QString wrongTypeMessage(const QString &name);   // "Type de données incorrect pour '%s'"
QString writeFailedMessage(const QString &name); // "Echec à la définition des données pour '%s'"

} // namespace Verarov::Settings
