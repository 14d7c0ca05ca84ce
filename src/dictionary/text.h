#pragma once

#include <QString>
#include <QStringView>

namespace Verarov {

// Removes every leading and trailing code unit up to U+0020 (blank and the
// control characters), nothing else.  "\t un \r\n" -> "un"
QStringView trimmed(QStringView text);

// True for C0 and C1 control characters (U+0000-U+001F, U+007F-U+009F).
constexpr bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

// Appends a full stop when the last character's code is above that of ".",
// as the standard error box does.  "Erreur E/S 5" -> "Erreur E/S 5."
QString withFullStop(const QString &message);

} // namespace Verarov
