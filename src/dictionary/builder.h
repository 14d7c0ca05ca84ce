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
    // The headword in traditional characters; empty when it is the same.
    QString traditional = {};
};

// Derives the keys of the entries, puts entries and keys in their orders and
// returns the compiled form: the one derivation used by the build step and
// by external dictionaries alike.
//
// Entry order: headword in UTF-16 code-unit order, homographs by pinyin then
// gloss under the collation, then by input order.  Key order: collation,
// ties by entry index.
QByteArray compile(QList<Entry> entries);

// A key row as given: its text and the entry it leads to.
struct RawKey
{
    QString text;
    int entry;
};

// Lays entries and key rows out in the compiled form exactly as given: no
// derivation, no order, no check.  For tests and tools that need tables
// that break the rules, which check() must then report.
QByteArray assemble(const QList<Entry> &entries, const QList<RawKey> &pinyinKeys,
                    const QList<RawKey> &frenchKeys);

} // namespace Verarov::Dictionary
