#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Verarov::Dictionary {

struct Entry
{
    QString headword;
    QString pinyin;
    QString gloss;
};

// Derives the keys of the entries, puts entries and keys in their orders and
// returns the compiled form: the one derivation used by the build step and
// by external dictionaries alike.
//
// Entry order: headword in UTF-16 code-unit order, homographs by pinyin then
// gloss under the collation, then by input order.  Key order: collation,
// ties by entry index.
QByteArray compile(QList<Entry> entries);

} // namespace Verarov::Dictionary
