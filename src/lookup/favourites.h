#pragma once

#include "lookup/history.h"

#include <QList>
#include <QString>

namespace Verarov::Dictionary {
class Tables;
}

namespace Verarov::Lookup {

// The user's favourite entries, kept in a plain file: UTF-8, one entry a
// line, headword TAB pinyin TAB gloss LF, in the order they were added.
class Favourites
{
public:
    const QList<EntryTexts> &entries() const { return m_entries; }
    // Adds the entry at the end; false when an entry of the same headword
    // and pinyin is there already.
    bool add(const EntryTexts &entry);
    void remove(qsizetype index);

    // Reads the file; a missing file is an empty list.  A line without its
    // three fields is skipped; a file that is not a regular file, cannot be
    // read, is over 16 MB or is not UTF-8 gives an empty list and the French
    // message in *failure.
    static Favourites read(const QString &path, QString *failure);
    // Writes the file aside and renames it into place; the French message
    // on failure, else empty.
    QString write(const QString &path) const;

private:
    QList<EntryTexts> m_entries;
};

// Where the user's favourites live: favoris.tsv in the per-user data folder
// ($XDG_DATA_HOME/verarov on Linux).
QString favouritesPath();

// The entry of the dictionary with this headword and pinyin; -1 for none.
int findEntry(const Dictionary::Tables &tables, QStringView headword, QStringView pinyin);

} // namespace Verarov::Lookup
