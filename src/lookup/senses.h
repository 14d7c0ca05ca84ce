#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Lookup {

// Text of the entry view for a gloss: one sense per line, lines separated by
// CR LF.  Senses are split at each "/" and trimmed; an empty sense adds
// nothing; the text after the last "/" ends the view without a line break.
// A gloss without "/" is returned as it is, untrimmed.
//   "un, une / premier / même" -> "un, une\r\npremier\r\nmême"
//   "a /  / b /"               -> "a\r\nb\r\n"
QString sensesText(QStringView gloss);

// The line Copy puts on the clipboard: headword TAB pinyin TAB gloss.
QString copyText(QStringView headword, QStringView pinyin, QStringView gloss);

} // namespace Verarov::Lookup
