// verarov-data: the dictionary tool, on the program's own code.
//
//   verarov-data import FILE.u8 > out.tsv   CC-CEDICT lines to our TSV
//   verarov-data build IN.tsv OUT.bin       compile the built-in dictionary
//   verarov-data check                      invariants and counts
//   verarov-data export DIR                 the seven lists as DIR/<list>.txt
//
// check and export act on the dictionary the program would load (so they
// honour VERAROV_DICTIONARY).

#include "dictionary/builder.h"
#include "dictionary/check.h"
#include "dictionary/tables.h"
#include "dictionary/loader.h"
#include "dictionary/reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usage()
{
    err() << "usage: verarov-data import FILE.u8 | build IN.tsv OUT.bin | check | export DIR\n";
    return 2;
}

void reportSkipped(const QString &path, const ReadResult &read)
{
    for (const SkippedLine &s : read.skipped)
        err() << path << ':' << s.line << ": skipped: " << s.reason << '\n';
    if (!read.skipped.isEmpty() || read.repeats > 0)
        err() << path << ": " << read.entries.size() << " entries, " << read.skipped.size()
              << " lines skipped, " << read.repeats << " exact repeats dropped\n";
}

int importFile(const QString &path)
{
    const ReadResult read = readDictionaryFile(path);
    if (!read.error.isEmpty()) {
        err() << path;
        if (read.errorLine > 0)
            err() << ':' << read.errorLine;
        err() << ": " << read.error << '\n';
        return 1;
    }
    reportSkipped(path, read);
    const Tables tables = Tables::fromCompiled(compile(read.entries));
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    const QByteArray tsv = toTsv(tables);
    if (out.write(tsv) != tsv.size() || !out.flush()) {
        err() << "import: cannot write the output: " << out.errorString() << '\n';
        return 1;
    }
    return 0;
}

int build(const QString &in, const QString &outPath)
{
    const ReadResult read = readDictionaryFile(in);
    if (!read.error.isEmpty()) {
        err() << in << ':' << read.errorLine << ": " << read.error << '\n';
        return 1;
    }
    // The built-in dictionary is reviewed data: any dropped line is an error.
    if (!read.skipped.isEmpty() || read.repeats > 0) {
        reportSkipped(in, read);
        return 1;
    }
    if (read.format != SourceFormat::Tsv) {
        err() << in << ": the built-in dictionary must be in the TSV format\n";
        return 1;
    }
    QSaveFile out(outPath);
    const QByteArray compiled = compile(read.entries);
    if (!out.open(QIODevice::WriteOnly) || out.write(compiled) != compiled.size() || !out.commit()) {
        err() << outPath << ": " << out.errorString() << '\n';
        return 1;
    }
    return 0;
}

// The dictionary check and export act on; null when it cannot be had.
bool loadForUse(Loaded &loaded)
{
    loaded = loadDictionary();
    if (!loaded.failure.isEmpty()) {
        err() << loaded.failure << '\n';
        return false;
    }
    if (loaded.tables.isEmpty()) {
        err() << "no dictionary: this build has no built-in dictionary and none was named\n";
        return false;
    }
    return true;
}

int checkDictionary()
{
    Loaded loaded;
    if (!loadForUse(loaded))
        return 2;
    const CheckReport r = check(loaded.tables);
    QTextStream out(stdout);
    out << "dictionary: " << (loaded.path.isEmpty() ? u"built-in"_s : loaded.path) << '\n';
    if (!loaded.path.isEmpty())
        out << "lines skipped: " << loaded.skipped << "\nexact repeats dropped: " << loaded.repeats
            << '\n';
    out << "entries: " << r.entries << '\n'
        << "distinct headwords: " << r.distinctHeadwords << '\n'
        << "homograph groups: " << r.homographGroups << '\n'
        << "pinyin keys: " << r.pinyinKeys << '\n'
        << "French keys: " << r.frenchKeys << '\n'
        << "entries without French key: " << r.entriesWithoutFrenchKey << '\n';
    out.flush();
    for (const QString &v : r.violations)
        err() << "violation: " << v << '\n';
    return r.violations.isEmpty() ? 0 : 1;
}

int exportLists(const QString &dirPath)
{
    Loaded loaded;
    if (!loadForUse(loaded))
        return 2;
    QDir dir(dirPath);
    if (!dir.mkpath(u"."_s)) {
        err() << dirPath << ": cannot create the folder\n";
        return 1;
    }
    for (List list : kAllLists) {
        QSaveFile file(dir.filePath(listName(list) + u".txt"_s));
        if (!file.open(QIODevice::WriteOnly)) {
            err() << file.fileName() << ": " << file.errorString() << '\n';
            return 1;
        }
        QByteArray buffer;
        const int rows = loaded.tables.rowCount(list);
        for (int r = 0; r < rows; ++r) {
            buffer += loaded.tables.row(list, r).toUtf8();
            buffer += '\n';
        }
        if (file.write(buffer) != buffer.size() || !file.commit()) {
            err() << file.fileName() << ": " << file.errorString() << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A file size limit fails the write, which is reported, instead of
    // killing the tool.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"verarov"_s);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString &command = args[0];
    if (command == u"import" && args.size() == 2)
        return importFile(args[1]);
    if (command == u"build" && args.size() == 3)
        return build(args[1], args[2]);
    if (command == u"check" && args.size() == 1)
        return checkDictionary();
    if (command == u"export" && args.size() == 2)
        return exportLists(args[1]);
    return usage();
}
