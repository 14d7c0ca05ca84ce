#include "loader.h"

#include "builder.h"
#include "reader.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QResource>
#include <QStandardPaths>

namespace Verarov::Dictionary {

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcDictionary, "verarov.dictionary", QtWarningMsg)

QString externalDictionaryPath()
{
    const QString fromEnvironment = qEnvironmentVariable("VERAROV_DICTIONARY");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
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
    const QByteArray bytes = resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()),
                                      qsizetype(resource.size()))
            : resource.uncompressedData();
    QString error;
    Tables tables = Tables::fromCompiled(bytes, &error);
    if (tables.isEmpty())
        qCWarning(lcDictionary) << "built-in dictionary unusable:" << error;
    return tables;
}

Loaded loadExternal(const QString &path)
{
    Loaded loaded;
    const ReadResult read = readDictionaryFile(path);
    if (!read.error.isEmpty()) {
        loaded.failure = read.errorLine > 0
                ? u"Impossible d'utiliser le dictionnaire « %1 » : %2 (ligne %3). Le dictionnaire intégré est utilisé"_s
                          .arg(path, read.error)
                          .arg(read.errorLine)
                : u"Impossible d'utiliser le dictionnaire « %1 » : %2. Le dictionnaire intégré est utilisé"_s
                          .arg(path, read.error);
        loaded.tables = builtIn();
        return loaded;
    }
    loaded.path = path;
    loaded.skipped = int(read.skipped.size());
    loaded.repeats = read.repeats;
    for (const SkippedLine &s : read.skipped)
        qCInfo(lcDictionary).noquote() << path << "line" << s.line << "skipped:" << s.reason;
    loaded.tables = Tables::fromCompiled(compile(read.entries));
    return loaded;
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
