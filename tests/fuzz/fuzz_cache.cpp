// The cached compiled form of an external dictionary, read back: a valid
// cache header before a fuzzed body, loaded as the program loads it, then
// every reader of the tables and of their indexes over whatever was
// accepted.  Whatever the indexes hold, every answer is a row or an entry
// of the tables; when they are those of the texts, the answers are the
// plain scans'.  The checksum the header carries passes the body that was
// cached and no other.
//
// Seeds: tests/fuzz/make_cache_seeds.py.
#include "fuzzsupport.h"
#include "testsupport_translate.h"

#include "dictionary/check.h"
#include "dictionary/keylist.h"
#include "dictionary/loader.h"
#include "dictionary/tables.h"
#include "lookup/prefixindex.h"
#include "lookup/senses.h"
#include "lookup/shownentry.h"
#include "translate/headwordindex.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

using namespace Qt::StringLiterals;
using namespace Verarov;
using Dictionary::List;
using Dictionary::Tables;

namespace {

// A source dictionary, loaded once to have the loader write its cache, of
// which the header is kept.
struct CacheBench
{
    CacheBench()
    {
        // The cache goes to a folder of the run's own, never the user's.
        // Windows has no XDG_CACHE_HOME: there Qt's test folders keep it
        // away from the user's.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(u"cache"_s)));
#ifdef Q_OS_WIN
        QStandardPaths::setTestModeEnabled(true);
        const QString cacheFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
#else
        const QString cacheFolder = dir.filePath(u"cache"_s);
#endif
        QFile file(source);
        require(file.open(QIODevice::WriteOnly)
                        && file.write(
                                   "一\tyī\tun\n一一\tyī yī\tun par un\n下\txià\tbas / dessous\n")
                                   > 0,
                "source written");
        file.close();
        const Dictionary::Loaded loaded = Dictionary::loadExternal(source);
        require(loaded.failure.isEmpty(), "source loaded", loaded.failure);
        // The newest file there (a test folder may keep older runs' caches).
        QDirIterator files(cacheFolder, QDir::Files, QDirIterator::Subdirectories);
        require(files.hasNext(), "cache written");
        while (files.hasNext()) {
            const QFileInfo file = files.nextFileInfo();
            if (cache.isEmpty() || file.lastModified() > QFileInfo(cache).lastModified())
                cache = file.filePath();
        }
        QFile written(cache);
        require(written.open(QIODevice::ReadOnly), "cache read");
        header = written.read(written.size() - loaded.tables.compiled().size());
        body = written.readAll();
    }

    QTemporaryDir dir;
    QString source = dir.filePath(u"source.tsv"_s);
    QString cache;
    QByteArray header;
    QByteArray body; // as cached
};

// Reads every row of every list and runs each consumer of the tables.
void readEverything(const Tables &tables, QStringView probe)
{
    qsizetype units = 0;
    for (List list : Dictionary::kAllLists) {
        for (int r = 0; r < tables.rowCount(list); ++r)
            units += tables.row(list, r).size();
    }
    require(units >= 0, "rows read");
    Dictionary::check(tables);
    const bool sound = Dictionary::indexesAgreeWithTexts(tables);

    for (List list : {List::Headwords, List::PinyinKeys, List::FrenchKeys}) {
        const Dictionary::KeyList keys(tables, list);
        for (int r = 0; r < keys.count(); ++r) {
            const Lookup::ShownEntry shown = Lookup::rowToShow(keys, r);
            require(shown.isValid(), "row shows an entry");
            Lookup::sensesText(shown.gloss);
        }
        const auto keyAt = [&keys](int row) { return keys.key(row); };
        const Lookup::PrefixIndex index(keys.count(), keyAt);
        const Lookup::PrefixIndex mapped(keys.count(), keyAt, tables.prefixTree(list));
        for (qsizetype n = 0; n <= probe.size(); ++n) {
            const int scanned = Lookup::scanFirstWithPrefix(keys.count(), keyAt, probe.first(n));
            require(index.firstWithPrefix(probe.first(n)) == scanned,
                    "prefix index and scan agree");
            const int found = mapped.firstWithPrefix(probe.first(n));
            require(found >= -1 && found < keys.count(),
                    "carried prefix index finds a row or none");
            require(!sound || found == scanned, "carried prefix index and scan agree");
        }
    }
    if (!probe.isEmpty())
        Dictionary::entriesBeginningWith(tables, probe.front().unicode());

    const Translate::HeadwordIndex headwords(tables);
    std::vector<int> found;
    QByteArray cut("\xff\xfe");
    for (qsizetype pos = 0; pos < probe.size();) {
        found.clear();
        const int consumed = headwords.match(probe.sliced(pos), &found);
        require(consumed >= 1 && consumed <= Translate::kWindow, "a match consumes the text");
        pos += consumed;
        for (int e : found) {
            require(e >= 0 && e < tables.entryCount(), "found entry exists");
            cut += entryLine(tables, e);
        }
    }
    require(!sound || cut == plainScan(tables, utf16le(probe.toString())), "cut as the plain scan");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static CacheBench bench;
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile cache(bench.cache);
        require(cache.open(QIODevice::WriteOnly | QIODevice::Truncate)
                        && cache.write(bench.header + body) == bench.header.size() + body.size(),
                "cache replaced");
    }
    require(Dictionary::cacheIntact(bench.cache) == (body == bench.body),
            "the checksum passes the cached body and no other");
    const Dictionary::Loaded loaded = Dictionary::loadExternal(bench.source);
    require(loaded.failure.isEmpty(), "a bad cache falls back on the source", loaded.failure);
    require(!loaded.tables.isEmpty(), "tables loaded");
    // Text to look up: the body's last bytes as UTF-16.
    QString probe;
    for (qsizetype i = qMax<qsizetype>(0, body.size() - 24); i + 1 < body.size(); i += 2)
        probe.append(QChar(char16_t(uchar(body[i]) | uchar(body[i + 1]) << 8)));
    readEverything(loaded.tables, probe);
    return 0;
}
