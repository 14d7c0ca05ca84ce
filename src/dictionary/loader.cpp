#include "dictionary/loader.h"

#include "dictionary/builder.h"
#include "dictionary/casefolding.h"
#include "dictionary/compile_p.h"
#include "dictionary/derivation_p.h"
#include "dictionary/reader.h"
#include "io/folders.h"
#include "io/input.h"
#include "io/names.h"
#include "io/output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QResource>
#include <QStandardPaths>

namespace Verarov::Dictionary {

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcDictionary, "verarov.dictionary", QtWarningMsg)

QString externalDictionaryPath()
{
    // The name's bytes as given, UTF-8 or not: decoded through the locale,
    // a GBK or Latin-1 name would lead to another file.
    const QByteArray fromEnvironment = qgetenv("VERAROV_DICTIONARY");
    if (!fromEnvironment.isEmpty())
        return Io::decodeName(fromEnvironment);
    const QString dir = Io::userLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        return {};
    for (const QString &name : {u"dictionary.tsv"_s, u"dictionary.u8"_s}) {
        const QString candidate = QDir(dir).filePath(name);
        if (QFile::exists(candidate))
            return candidate;
    }
    return {};
}

Tables builtIn()
{
    const QResource resource(u":/verarov/dictionary.bin"_s);
    if (!resource.isValid())
        return {};
    // An uncompressed resource is used in place: start-up copies nothing.
    const QByteArray bytes =
            resource.compressionAlgorithm() == QResource::NoCompression
                    ? QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()),
                                              qsizetype(resource.size()))
                    : resource.uncompressedData();
    QString error;
    Tables tables = Tables::fromCompiled(bytes, &error, Tables::Checks::Header);
    if (tables.isEmpty())
        qCWarning(lcDictionary) << "built-in dictionary unusable:" << error;
    return tables;
}

namespace {

// Cached compiled form of an external dictionary with its indexes, so that
// later start-ups skip reading, parsing, sorting and indexing.  Valid while
// the source has the same size and change stamp, the program derives
// dictionaries the same way and Qt folds letter case as it did.  The
// checksum covers what follows the header (the compiled form after its own
// header, then that header, which the compilation writes last); it is
// verified apart from the load (cacheIntact), which maps the file and reads
// only what it uses.
struct CacheHeader
{
    char magic[8];
    quint64 derivation; // kDerivationId of the program that wrote it
    quint32 skipped;
    quint32 repeats;
    quint64 sourceSize;
    quint64 sourceStamp;
    quint32 folding; // caseFoldingVersion() of the program that wrote it
    quint32 reserved;
    unsigned char checksum[32]; // SHA-256 of the compiled form after the header
};
constexpr char kCacheMagic[8] = {'V', 'R', 'V', 'C', 'A', 'C', 'H', '6'};
constexpr auto kCacheChecksum = QCryptographicHash::Sha256;
static_assert(sizeof(CacheHeader) % 8 == 0, "the compiled form stays aligned");

// Whether the source is a regular file, its size, and when it was last
// changed: modification and status-change times in nanoseconds where the
// system gives them.  Together with the size they tell a changed file, as
// build tools do, without reading it.  The name is taken as its bytes.
struct SourceFacts
{
    bool isFile = false;
    quint64 size = 0;
    quint64 stamp = 0;
};

SourceFacts sourceFacts(const QString &path)
{
    SourceFacts facts;
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(Io::encodeName(path).constData(), &info) == 0) {
        const quint64 modified =
                quint64(info.st_mtim.tv_sec) * 1000000000u + quint64(info.st_mtim.tv_nsec);
        const quint64 changed =
                quint64(info.st_ctim.tv_sec) * 1000000000u + quint64(info.st_ctim.tv_nsec);
        facts.isFile = S_ISREG(info.st_mode);
        facts.size = quint64(info.st_size);
        facts.stamp = modified ^ (changed * 0x9e3779b97f4a7c15ULL) ^ quint64(info.st_ino) << 1;
    }
#else
    const QFileInfo fileInfo(path);
    facts.isFile = fileInfo.isFile();
    facts.size = quint64(fileInfo.size());
    facts.stamp = quint64(fileInfo.lastModified().toMSecsSinceEpoch())
                  ^ quint64(fileInfo.metadataChangeTime().toMSecsSinceEpoch())
                            * 0x9e3779b97f4a7c15ULL;
#endif
    return facts;
}

QString cachePath(const QString &source)
{
    const QString dir = Io::userLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty())
        return {};
    const QByteArray id = QCryptographicHash::hash(
                                  Io::encodeName(QFileInfo(source).absoluteFilePath()),
                                  QCryptographicHash::Sha1)
                                  .toHex();
    return QDir(dir).filePath(u"dictionaries/"_s + QString::fromLatin1(id) + u".bin"_s);
}

bool loadCached(const QString &cacheFile, const CacheHeader &expected, Loaded &loaded)
{
    if (cacheFile.isEmpty())
        return false;
    // A regular file only: whatever else stands there is never waited on.
    int error = 0;
    const int fd = Io::openForReading(cacheFile, &error);
    if (fd < 0)
        return false;
    auto file = std::make_shared<QFile>();
#ifdef Q_OS_WIN
    // Qt maps a file opened as a C runtime stream there, not one opened
    // from a bare descriptor.
    FILE *stream = ::_fdopen(fd, "rb");
    if (!stream) {
        Io::closeDescriptor(fd);
        return false;
    }
    if (!file->open(stream, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        std::fclose(stream);
        return false;
    }
#else
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        Io::closeDescriptor(fd);
        return false;
    }
#endif
    // Mapped, not read: start-up touches only the pages it uses.
    const qint64 size = file->size();
    const uchar *bytes = size > qint64(sizeof(CacheHeader)) ? file->map(0, size) : nullptr;
    if (!bytes)
        return false;
    CacheHeader header;
    std::memcpy(&header, bytes, sizeof header);
    if (std::memcmp(header.magic, expected.magic, sizeof header.magic) != 0
        || header.derivation != expected.derivation || header.sourceSize != expected.sourceSize
        || header.sourceStamp != expected.sourceStamp || header.folding != expected.folding)
        return false;
    loaded.tables =
            Tables::fromMapped(QByteArrayView(reinterpret_cast<const char *>(bytes) + sizeof header,
                                              size - qint64(sizeof header)),
                               file);
    loaded.skipped = int(header.skipped);
    loaded.repeats = int(header.repeats);
    if (loaded.tables.isEmpty())
        return false;
    loaded.cache = cacheFile;
    return true;
}

// The compiled form written into a cache file as it is made, its checksum
// taken on the way.  The compiled header comes last, once known: the
// checksum covers what follows it, then it.
class CacheOutput final : public CompiledOutput
{
public:
    CacheOutput(Io::OutputFile &file, CacheHeader header) : m_file(file), m_header(header)
    {
        m_file.writeBytes(reinterpret_cast<const char *>(&m_header), sizeof m_header);
    }
    void write(const char *data, std::size_t size) override
    {
        m_file.writeBytes(data, size);
        const std::size_t before = m_written;
        m_written += size;
        if (m_written <= sizeof(CompiledHeader))
            return;
        const std::size_t skip = before < sizeof(CompiledHeader) ? sizeof(CompiledHeader) - before : 0;
        m_hash.addData(QByteArrayView(data + skip, qsizetype(size - skip)));
    }
    void finish(const CompiledHeader &header) override
    {
        m_hash.addData(QByteArrayView(reinterpret_cast<const char *>(&header), sizeof header));
        const QByteArray checksum = m_hash.result();
        static_assert(sizeof m_header.checksum == 32);
        std::memcpy(m_header.checksum, checksum.constData(), sizeof m_header.checksum);
        m_file.writeBytesAt(0, reinterpret_cast<const char *>(&m_header), sizeof m_header);
        m_file.writeBytesAt(sizeof m_header, reinterpret_cast<const char *>(&header),
                            sizeof header);
    }

private:
    Io::OutputFile &m_file;
    CacheHeader m_header;
    QCryptographicHash m_hash{kCacheChecksum};
    std::size_t m_written = 0;
};

// Compiles the entries straight into the cache file, in a folder that
// exists: the compiled form is never held in memory.  False when it could
// not be written.
bool storeCache(const QString &cacheFile, const CacheHeader &header, EntryTexts &entries)
{
    // Written aside and renamed: a link in its place is replaced, never
    // written through, and a failure leaves no half-written cache.
    Io::OutputFile file;
    if (file.create(cacheFile, Io::OutputFile::Streams::Replaced) == 0) {
        CacheOutput out(file, header);
        if (compileTo(entries, out) && file.close() == 0 && file.commit() == 0)
            return true;
    }
    qCInfo(lcDictionary) << "cannot cache the dictionary in" << cacheFile;
    return false;
}

} // namespace

Loaded loadExternal(const QString &path, CacheUse use)
{
    Loaded loaded;
    auto fail = [&](const QString &reason, int line) {
        loaded.failure =
                line > 0
                        ? u"Impossible d'utiliser le dictionnaire « %1 » : %2 (ligne %3). Le dictionnaire intégré est utilisé"_s
                                  .arg(Io::displayName(path), reason)
                                  .arg(line)
                        : u"Impossible d'utiliser le dictionnaire « %1 » : %2. Le dictionnaire intégré est utilisé"_s
                                  .arg(Io::displayName(path), reason);
        loaded.tables = builtIn();
        return loaded;
    };
    // The stamp is taken before reading: a change while reading makes the
    // stored stamp stale, never a stale cache current.
    CacheHeader header{};
    std::memcpy(header.magic, kCacheMagic, sizeof header.magic);
    header.derivation = kDerivationId;
    header.folding = caseFoldingVersion();
    const SourceFacts source = sourceFacts(path);
    header.sourceSize = source.size;
    header.sourceStamp = source.stamp;
    const QString cacheFile = source.isFile ? cachePath(path) : QString();
    if (use == CacheUse::Read && loadCached(cacheFile, header, loaded)) {
        loaded.path = path;
        return loaded;
    }

    // Read in blocks into a compact store, compiled into the cache file, and
    // the cache mapped: neither the file's text nor the compiled form is held
    // whole in memory.
    auto entries = std::make_unique<EntryStore>();
    entries->reserve(qint64(std::min<quint64>(header.sourceSize, kMaxDictionaryBytes)));
    qint64 bytesRead = 0;
    const ReadResult read = readDictionaryFile(path, *entries, &bytesRead);
    if (!read.error.isEmpty())
        return fail(read.error, read.errorLine);
    entries->squeeze();
    if (quint64(bytesRead) != header.sourceSize)
        header.sourceStamp = 0; // changed while read: do not trust the stamp
    loaded.path = path;
    loaded.skipped = int(read.skipped.size());
    loaded.repeats = read.repeats;
    for (const SkippedLine &s : read.skipped)
        qCInfo(lcDictionary).noquote() << path << "line" << s.line << "skipped:" << s.reason;
    header.skipped = quint32(loaded.skipped);
    header.repeats = quint32(loaded.repeats);
    if (!cacheFile.isEmpty() && Io::makeFolders(QFileInfo(cacheFile).path()) == 0) {
        const bool stored = storeCache(cacheFile, header, *entries);
        entries.reset(); // before the mapped tables take their place
#ifdef __GLIBC__
        malloc_trim(0); // and what the compilation freed goes back to the system
#endif
        if (stored && loadCached(cacheFile, header, loaded)) {
            loaded.cache.clear(); // just written: nothing to verify
            return loaded;
        }
        // Not written, or replaced since: read again.
        loaded.skipped = int(read.skipped.size());
        loaded.repeats = read.repeats;
        entries = std::make_unique<EntryStore>();
        if (const ReadResult again = readDictionaryFile(path, *entries); !again.error.isEmpty())
            return fail(again.error, again.errorLine);
    }
    // No cache to map: compiled in memory.
    ByteArrayOutput compiled;
    if (!compileTo(*entries, compiled))
        return fail(u"dictionnaire trop volumineux"_s, 0);
    loaded.tables = Tables::fromCompiled(compiled.bytes);
    loaded.cache.clear();
    return loaded;
}

bool cacheIntact(const QString &cacheFile, const std::atomic<bool> *stop)
{
    int error = 0;
    const int fd = Io::openForReading(cacheFile, &error);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        Io::closeDescriptor(fd);
        return false;
    }
    CacheHeader header;
    if (file.read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header)
        || std::memcmp(header.magic, kCacheMagic, sizeof header.magic) != 0)
        return false;
    // Read through in blocks: memory does not grow with the cache.  The
    // compiled header is taken into the checksum last.
    QCryptographicHash hash(kCacheChecksum);
    const QByteArray compiledHeader = file.read(sizeof(CompiledHeader));
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        if (stop && stop->load())
            return true;
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
        hash.addData(QByteArrayView(block.constData(), got));
    }
    hash.addData(compiledHeader);
    const QByteArray checksum = hash.result();
    return std::memcmp(checksum.constData(), header.checksum, sizeof header.checksum) == 0;
}

QString rebuildDamagedCache(const QString &path, const QString &cacheFile)
{
    loadExternal(path, CacheUse::Rebuild);
    if (cacheIntact(cacheFile))
        return u"Le cache du dictionnaire « %1 » était endommagé : il a été reconstruit à partir du dictionnaire, qui sera utilisé au prochain démarrage"_s
                .arg(Io::displayName(path));
    // Not replaced: written over in place, where the mapping allows it.
    QFile file(cacheFile);
    const QByteArray noMagic(sizeof kCacheMagic, '\0');
    const bool marked = file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)
                        && file.write(noMagic) == noMagic.size() && file.flush();
    qCInfo(lcDictionary) << "damaged cache" << cacheFile << "not replaced;"
                         << (marked ? "marked stale" : "could not be marked stale");
    return u"Le cache du dictionnaire « %1 » est endommagé : il sera reconstruit à partir du dictionnaire au prochain démarrage"_s
            .arg(Io::displayName(path));
}

quint64 derivationId()
{
    return kDerivationId;
}

QString derivationVersion()
{
    return QString::fromUtf16(kDerivationVersion);
}

QStringList derivationSources()
{
    QStringList sources;
    for (const char16_t *source : kDerivationSources)
        sources.append(QString::fromUtf16(source));
    return sources;
}

Loaded loadDictionary()
{
    const QString path = externalDictionaryPath();
    if (!path.isEmpty())
        return loadExternal(path);
    Loaded loaded;
    loaded.tables = builtIn();
    return loaded;
}

} // namespace Verarov::Dictionary
