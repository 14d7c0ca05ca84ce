#pragma once

#include "dictionary/tables.h"

#include <QString>
#include <QStringList>

#include <atomic>

namespace Verarov::Dictionary {

// The dictionary the program uses, and where it came from.
struct Loaded
{
    Tables tables;
    QString path;    // external file, or empty for the built-in dictionary
    QString failure; // French message when a chosen file could not be used
    int skipped = 0; // lines of the external file that were left out
    int repeats = 0; // exact repeats dropped from the external file
    // The cache found current, which the tables are mapped from and whose
    // checksum is yet to be verified (cacheIntact); empty when the file was
    // read (its tables are then mapped from the cache this load wrote, when
    // it could write one).
    QString cache;
};

// The external dictionary to use, if any: the file named by the environment
// variable VERAROV_DICTIONARY, else dictionary.tsv or dictionary.u8 in the
// per-user data location.  Empty when there is none.
QString externalDictionaryPath();

// The built-in dictionary, compiled into the program (empty when the
// program was built without it).
Tables builtIn();

// Whether an external dictionary is loaded from its cache when the cache
// is current (Read), or read again from the file and cached anew (Rebuild).
enum class CacheUse { Read, Rebuild };

// Loads the file at path; on failure returns the built-in dictionary and a
// message naming the path, the reason and the line where it applies.  A
// current cache is mapped as it is, without reading it through: see
// cacheIntact.
Loaded loadExternal(const QString &path, CacheUse use = CacheUse::Read);

// Whether a cache file holds what was written to it: it is read through and
// its contents compared with the checksum it carries.  False for a file
// that is not a cache of this format or cannot be read.  A stop raised
// while it reads ends the check early, and true is returned: nothing was
// found wrong.
bool cacheIntact(const QString &cacheFile, const std::atomic<bool> *stop = nullptr);

// Builds again the cache of the dictionary at path, found damaged at
// cacheFile while this program may still map it.  Windows replaces no file
// that is mapped: the damaged cache is then marked as no cache (its first
// bytes), so that the next load builds it again.  What the program says of
// it is returned.
QString rebuildDamagedCache(const QString &path, const QString &cacheFile);

// The identity of this program's derivation of dictionaries (keys, orders,
// compiled layout): a hash of the version and of the sources that decide it,
// listed relative to the project's root.  A cache made by a program whose
// identity differs is never used.
//   identity = first 16 hex digits of SHA-256("<version>\n" then, per source,
//   "<path> <SHA-256 of the file>\n")
quint64 derivationId();
QString derivationVersion();
QStringList derivationSources();

// The dictionary the program would load: external when one is configured,
// else the built-in one.
Loaded loadDictionary();

} // namespace Verarov::Dictionary
