// verarov-data: the dictionary tool, on the program's own code.
//
//   verarov-data import FILE.u8 > out.tsv   CC-CEDICT lines to our TSV
//   verarov-data build IN.tsv OUT.bin       compile the built-in dictionary
//   verarov-data check                      invariants and counts, radical reach
//   verarov-data export DIR                 the seven lists and the radical lists
//                                           as DIR/<list>.txt
//
// check and export act on the dictionary the program would load (so they
// honour VERAROV_DICTIONARY) and on the program's raw radical list.

#include "dictionary/builder.h"
#include "dictionary/check.h"
#include "dictionary/tables.h"
#include "dictionary/loader.h"
#include "dictionary/radicals.h"
#include "dictionary/reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <functional>

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

    // The radical browser's reach into this dictionary.
    const QStringList raw = builtInRadicalList();
    const QStringList radicalViolations = checkRadicalList(raw);
    const RadicalTables radicals = buildRadicalTables(raw);
    const RadicalReport rr = radicalReport(radicals, loaded.tables);
    const QList<RadicalNode> &tree = radicalTree();
    const auto caption = [&tree](int n) { return n >= 0 && n < tree.size() ? tree[n].caption : QString(); };
    const int reachable = r.entries - rr.unreachableEntries;
    out << "radical list lines: " << raw.size() << '\n'
        << "radicals: " << rr.headers << ", empty: " << rr.emptyRadicals.size();
    for (int n : rr.emptyRadicals)
        out << ' ' << n << ' ' << caption(n);
    out << '\n'
        << "radical character lines: " << rr.characterLines << '\n'
        << "distinct radical characters: " << rr.distinctCharacters << '\n'
        << "characters under more than one radical: " << rr.multiRadicalCharacters << '\n'
        << "largest radical: " << rr.largestRadical << ' ' << caption(rr.largestRadical) << " ("
        << rr.largestRadicalSize << " characters)\n"
        << "entries reachable by radical: " << reachable << " ("
        << QString::number(r.entries ? 100.0 * reachable / r.entries : 100.0, 'f', 2) << " %)\n"
        << "entries no radical reaches: " << rr.unreachableEntries << " (first characters: "
        << rr.unreachableFirstCharacters << ")\n";
    out.flush();
    for (const QString &v : r.violations)
        err() << "violation: " << v << '\n';
    for (const QString &v : radicalViolations)
        err() << "violation: radical list " << v << '\n';
    if (raw.isEmpty())
        err() << "violation: this build has no radical list\n";
    return r.violations.isEmpty() && radicalViolations.isEmpty() && !raw.isEmpty() ? 0 : 1;
}

// Writes rows, one a line, UTF-8, LF, to DIR/name.txt.
bool writeRows(const QDir &dir, const QString &name, int count,
               const std::function<QString(int)> &row)
{
    QSaveFile file(dir.filePath(name + u".txt"_s));
    if (!file.open(QIODevice::WriteOnly)) {
        err() << file.fileName() << ": " << file.errorString() << '\n';
        return false;
    }
    QByteArray buffer;
    for (int r = 0; r < count; ++r) {
        buffer += row(r).toUtf8();
        buffer += '\n';
    }
    if (file.write(buffer) != buffer.size() || !file.commit()) {
        err() << file.fileName() << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
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
    const Tables &t = loaded.tables;
    for (List list : kAllLists) {
        if (!writeRows(dir, listName(list), t.rowCount(list), [&](int r) { return t.row(list, r); }))
            return 1;
    }
    // The raw radical list and what the start-up builds from it; the row
    // ranges have one line per radical number, slot 1 first.
    const QStringList raw = builtInRadicalList();
    const RadicalTables radicals = buildRadicalTables(raw);
    const int rows = radicals.rowCount();
    const bool written =
            writeRows(dir, u"liste_chargement_rad"_s, int(raw.size()), [&](int r) { return raw[r]; })
            && writeRows(dir, u"liste_rad"_s, rows,
                         [&](int r) { return radicals.liste_rad(r).toString(); })
            && writeRows(dir, u"liste_rad_pin"_s, rows,
                         [&](int r) { return radicals.liste_rad_pin(r).toString(); })
            && writeRows(dir, u"liste_rad_nb_traits"_s, rows,
                         [&](int r) { return radicals.liste_rad_nb_traits(r).toString(); })
            && writeRows(dir, u"debut_rad"_s, kRadicalNumberMax,
                         [&](int r) { return QString::number(radicals.debut_rad(r + 1)); })
            && writeRows(dir, u"fin_rad"_s, kRadicalNumberMax,
                         [&](int r) { return QString::number(radicals.fin_rad(r + 1)); });
    return written ? 0 : 1;
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
