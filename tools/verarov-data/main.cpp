// verarov-data: the dictionary tool, on the program's own code.
//
//   verarov-data import FILE.u8 > out.tsv   CC-CEDICT lines to our TSV
//   verarov-data build IN.tsv OUT.bin       compile the built-in dictionary
//   verarov-data check                      invariants and counts, radical reach
//   verarov-data export DIR                 the seven lists and the radical lists
//                                           as DIR/<list>.txt
//   verarov-data vocab [options] [FILE...]  the distinct words of Chinese texts
//                                           with their counts, as UTF-8 TSV
//   verarov-data recognise [FILE]           the characters drawn strokes (JSON)
//                                           may be, best first
//   verarov-data say WORD -o FILE.wav       the word (pinyin or characters) spoken
//
// check, export and vocab act on the dictionary the program would load (so
// they honour VERAROV_DICTIONARY); check and export also on the program's
// raw radical list.

#include "dictionary/builder.h"
#include "dictionary/check.h"
#include "dictionary/tables.h"
#include "dictionary/loader.h"
#include "dictionary/radicals.h"
#include "dictionary/reader.h"
#include "dictionary/fileaccess.h"
#include "dictionary/text.h"
#include "translate/files.h"
#include "translate/textdecoder.h"
#include "translate/translator.h"
#include "translate/vocabulary.h"
#include "strokecommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Whether two names lead to one file: writing the second would replace the
// first.  A name that does not exist leads to none.
bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Writes bytes to a new file under path: aside, then renamed into place, so
// that a link under the name is replaced, never written through, and a
// failure leaves what stood there.  An empty string, or the French reason.
QString writeWhole(const QString &path, const QByteArray &bytes)
{
    Verarov::Translate::OutputFile out;
    if (const int error = out.create(path))
        return Verarov::Translate::createErrorMessage(path, error);
    out.writeBytes(bytes.constData(), std::size_t(bytes.size()));
    if (const int error = out.close())
        return u"Fichier \"%1\" : %2"_s.arg(path, Verarov::writeErrorMessage(error));
    if (const int error = out.commit())
        return Verarov::Translate::createErrorMessage(path, error);
    return {};
}

int usage()
{
    err() << "usage : verarov-data import FICHIER.u8 | build ENTREE.tsv SORTIE.bin | check"
             " | export DOSSIER\n"
             "        | vocab [options] [FICHIER...]   (verarov-data vocab --help)\n"
             "        | recognise [FICHIER.json] | say TEXTE_OU_PINYIN -o FICHIER.wav\n";
    return 2;
}

void reportSkipped(const QString &path, const ReadResult &read)
{
    for (const SkippedLine &s : read.skipped)
        err() << path << ':' << s.line << ": ligne ignorée : " << s.reason << '\n';
    if (!read.skipped.isEmpty() || read.repeats > 0)
        err() << path << " : entrées " << read.entries.size() << ", lignes ignorées "
              << read.skipped.size() << ", doublons exacts supprimés " << read.repeats << '\n';
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
        err() << "import : impossible d'écrire la sortie : " << out.errorString() << '\n';
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
        err() << in << " : le dictionnaire intégré doit être au format TSV\n";
        return 1;
    }
    if (sameFile(in, outPath)) {
        err() << outPath << " : la sortie serait écrite sur l'entrée\n";
        return 1;
    }
    if (const QString failure = writeWhole(outPath, compile(read.entries)); !failure.isEmpty()) {
        err() << Verarov::withFullStop(failure) << '\n';
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
        err() << "aucun dictionnaire : ce programme n'a pas de dictionnaire intégré et aucun "
                 "n'est désigné\n";
        return false;
    }
    return true;
}

int checkDictionary()
{
    Loaded loaded;
    if (!loadForUse(loaded))
        return 2;
    // The cache the tables were mapped from, read through against its
    // checksum; a damaged one is built again and the check goes on with
    // the dictionary's own tables.
    const QString damagedCache =
            loaded.cache.isEmpty() || cacheIntact(loaded.cache) ? QString() : loaded.cache;
    if (!damagedCache.isEmpty())
        loaded = loadExternal(loaded.path, CacheUse::Rebuild);
    const CheckReport r = check(loaded.tables);
    QTextStream out(stdout);
    out << "dictionnaire : " << (loaded.path.isEmpty() ? u"intégré"_s : loaded.path) << '\n';
    if (!loaded.path.isEmpty())
        out << "lignes ignorées : " << loaded.skipped << '\n'
            << "doublons exacts supprimés : " << loaded.repeats << '\n';
    out << "entrées : " << r.entries << '\n'
        << "vedettes distinctes : " << r.distinctHeadwords << '\n'
        << "groupes d'homographes : " << r.homographGroups << '\n'
        << "clés pinyin : " << r.pinyinKeys << '\n'
        << "clés françaises : " << r.frenchKeys << '\n'
        << "entrées sans clé française : " << r.entriesWithoutFrenchKey << '\n';

    // The radical browser's reach into this dictionary.
    const QStringList raw = builtInRadicalList();
    const QStringList radicalViolations = checkRadicalList(raw);
    const RadicalTables radicals = buildRadicalTables(raw);
    const RadicalReport rr = radicalReport(radicals, loaded.tables);
    const QList<RadicalNode> &tree = radicalTree();
    const auto caption = [&tree](int n) { return n >= 0 && n < tree.size() ? tree[n].caption : QString(); };
    const int reachable = r.entries - rr.unreachableEntries;
    out << "lignes de la liste des radicaux : " << raw.size() << '\n'
        << "radicaux : " << rr.headers << ", vides : " << rr.emptyRadicals.size();
    for (int n : rr.emptyRadicals)
        out << ' ' << n << ' ' << caption(n);
    out << '\n'
        << "lignes de caractères : " << rr.characterLines << '\n'
        << "caractères distincts : " << rr.distinctCharacters << '\n'
        << "caractères sous plus d'un radical : " << rr.multiRadicalCharacters << '\n'
        << "radical le plus grand : " << rr.largestRadical << ' ' << caption(rr.largestRadical)
        << " (" << rr.largestRadicalSize << " caractères)\n"
        << "entrées atteintes par radical : " << reachable << " ("
        << QString::number(r.entries ? 100.0 * reachable / r.entries : 100.0, 'f', 2) << " %)\n"
        << "entrées qu'aucun radical n'atteint : " << rr.unreachableEntries
        << " (premiers caractères distincts : " << rr.unreachableFirstCharacters << ")\n";
    out.flush();
    for (const QString &v : r.violations)
        err() << "violation : " << v << '\n';
    for (const QString &v : radicalViolations)
        err() << "violation : liste des radicaux, " << v << '\n';
    if (raw.isEmpty())
        err() << "violation : ce programme n'a pas de liste des radicaux\n";
    if (!damagedCache.isEmpty())
        err() << "violation : cache du dictionnaire endommagé (somme de contrôle fausse), "
                 "reconstruit : " << damagedCache << '\n';
    return r.violations.isEmpty() && radicalViolations.isEmpty() && !raw.isEmpty()
                    && damagedCache.isEmpty()
            ? 0
            : 1;
}

// Writes rows, one a line, UTF-8, LF, to DIR/name.txt.
bool writeRows(const QDir &dir, const QString &name, int count,
               const std::function<QString(int)> &row)
{
    QByteArray buffer;
    for (int r = 0; r < count; ++r) {
        buffer += row(r).toUtf8();
        buffer += '\n';
    }
    if (const QString failure = writeWhole(dir.filePath(name + u".txt"_s), buffer);
        !failure.isEmpty()) {
        err() << Verarov::withFullStop(failure) << '\n';
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
        err() << dirPath << " : impossible de créer le dossier\n";
        return 1;
    }
    const Tables &t = loaded.tables;
    for (List list : kAllLists) {
        if (!writeRows(dir, listName(list), t.rowCount(list), [&](int r) { return t.row(list, r); }))
            return 1;
    }
    // The raw radical list and what the start-up builds from it; the row
    // ranges have one line per radical number, slot 1 first, and a radical
    // without characters reads first -1, last 0.
    const QStringList raw = builtInRadicalList();
    const RadicalTables radicals = buildRadicalTables(raw);
    const int rows = radicals.rowCount();
    const bool written =
            writeRows(dir, u"liste_chargement_rad"_s, int(raw.size()), [&](int r) { return raw[r]; })
            && writeRows(dir, u"liste_rad"_s, rows,
                         [&](int r) { return radicals.character(r).toString(); })
            && writeRows(dir, u"liste_rad_pin"_s, rows,
                         [&](int r) { return radicals.reading(r).toString(); })
            && writeRows(dir, u"liste_rad_nb_traits"_s, rows,
                         [&](int r) { return radicals.strokes(r).toString(); })
            && writeRows(dir, u"debut_rad"_s, kRadicalNumberMax,
                         [&](int r) {
                             const RadicalRows range = radicals.rows(r + 1);
                             return QString::number(range.isEmpty() ? -1 : range.first);
                         })
            && writeRows(dir, u"fin_rad"_s, kRadicalNumberMax,
                         [&](int r) {
                             const RadicalRows range = radicals.rows(r + 1);
                             return QString::number(range.isEmpty() ? 0 : range.last);
                         });
    return written ? 0 : 1;
}


// --- vocab ---------------------------------------------------------------

using namespace Verarov::Translate;

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

const char kVocabUsage[] =
        "usage : verarov-data vocab [options] [FICHIER...]\n"
        "Les mots distincts de textes chinois (l'entrée standard sans FICHIER ou pour\n"
        "\"-\"), du plus fréquent au moins fréquent, en UTF-8 :\n"
        "vedette TAB pinyin TAB traduction TAB nombre.\n"
        "  --encoding utf-8|utf-16le|utf-16be  lire ainsi chaque entrée (par défaut :\n"
        "                                      selon sa marque d'ordre des octets,\n"
        "                                      sinon UTF-8)\n"
        "  --format tsv|csv|anki               format de sortie (par défaut tsv)\n"
        "  --known FICHIER     omettre les mots de FICHIER (premier champ de chaque ligne)\n"
        "  --min-count N       omettre ce qui apparaît moins de N fois\n"
        "  --unknown           lister aussi les caractères chinois hors de tout mot\n"
        "  --unknown-to FICHIER  les lister dans FICHIER à la place\n"
        "Un résumé est écrit sur la sortie d'erreur.\n";

int vocabUsage(const QString &problem)
{
    err() << "vocab : " << problem << '\n' << kVocabUsage;
    return 2;
}

struct VocabOptions
{
    QStringList inputs; // "-": standard input
    TextEncoding encoding = TextEncoding::Detect;
    ReportFormat format = ReportFormat::Tsv;
    qint64 minCount = 1;
    bool unknown = false;
    QString unknownTo;
    QString known;
};

// Options anywhere before "--", "--name value" or "--name=value"; every
// other argument names an input.  An empty optional after a usage error
// (reported).
std::optional<VocabOptions> parseVocab(const QStringList &args, int *status)
{
    VocabOptions o;
    bool options = true;
    *status = 2;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!options || !arg.startsWith(u"--"_s)) {
            o.inputs.append(arg);
            continue;
        }
        if (arg == u"--") {
            options = false;
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = equals < 0 ? arg : arg.first(equals);
        std::optional<QString> value;
        if (equals >= 0)
            value = arg.sliced(equals + 1);
        const auto needValue = [&]() -> bool {
            if (!value && i + 1 < args.size())
                value = args[++i];
            if (!value)
                vocabUsage(u"l'option %1 demande une valeur"_s.arg(name));
            return value.has_value();
        };
        if (name == u"--help" && !value) {
            QTextStream(stdout) << kVocabUsage;
            *status = 0;
            return std::nullopt;
        } else if (name == u"--unknown" && !value) {
            o.unknown = true;
        } else if (name == u"--encoding") {
            if (!needValue())
                return std::nullopt;
            const std::optional<TextEncoding> e = encodingFromName(*value);
            if (!e) {
                vocabUsage(u"encodage inconnu \"%1\" (utf-8, utf-16le ou utf-16be)"_s.arg(*value));
                return std::nullopt;
            }
            o.encoding = *e;
        } else if (name == u"--format") {
            if (!needValue())
                return std::nullopt;
            const std::optional<ReportFormat> f = reportFormatFromName(*value);
            if (!f) {
                vocabUsage(u"format inconnu \"%1\" (tsv, csv ou anki)"_s.arg(*value));
                return std::nullopt;
            }
            o.format = *f;
        } else if (name == u"--min-count") {
            if (!needValue())
                return std::nullopt;
            bool ok = false;
            o.minCount = value->toLongLong(&ok);
            if (!ok || o.minCount < 1) {
                vocabUsage(u"--min-count demande un nombre entier positif, pas \"%1\""_s.arg(*value));
                return std::nullopt;
            }
        } else if (name == u"--known" || name == u"--unknown-to") {
            if (!needValue())
                return std::nullopt;
            if (value->isEmpty()) {
                vocabUsage(u"l'option %1 demande un nom de fichier"_s.arg(name));
                return std::nullopt;
            }
            (name == u"--known" ? o.known : o.unknownTo) = *value;
            if (name == u"--unknown-to")
                o.unknown = true;
        } else {
            vocabUsage(u"option inconnue \"%1\""_s.arg(arg));
            return std::nullopt;
        }
    }
    if (o.unknown && o.unknownTo.isEmpty() && o.format == ReportFormat::Anki) {
        // Lines of characters would become cards.
        vocabUsage(u"avec --format anki, les caractères inconnus vont dans un fichier à part :"
                   " --unknown-to FICHIER"_s);
        return std::nullopt;
    }
    if (o.inputs.isEmpty())
        o.inputs.append(u"-"_s);
    return o;
}

QString inputName(const QString &input)
{
    return input == u"-" ? u"Entrée standard"_s : u"Fichier \"%1\""_s.arg(input);
}

QString knownName(const QString &known)
{
    return u"Liste des mots connus \"%1\""_s.arg(known);
}

// Reads up to size bytes; the count, 0 at the end, -1 with errno set.
qint64 readSome(int fd, char *data, qint64 size)
{
    for (;;) {
#ifdef Q_OS_WIN
        const qint64 got = ::_read(fd, data, unsigned(size));
#else
        const qint64 got = ::read(fd, data, std::size_t(size));
#endif
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

// Writes everything; 0 or the error number.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
#ifdef Q_OS_WIN
        const qint64 put = ::_write(fd, data, unsigned(std::min<qint64>(left, 1 << 30)));
#else
        const qint64 put = ::write(fd, data, std::size_t(left));
#endif
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += put;
        left -= put;
    }
    return 0;
}

bool standardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return ::_isatty(::_fileno(stderr));
#else
    return ::isatty(kStandardError);
#endif
}

// Size of what a descriptor reads, when it is a regular file; else 0.
qint64 regularSize(int fd)
{
    struct stat info;
    return ::fstat(fd, &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG ? qint64(info.st_size) : 0;
}

// The progress bar of inputs over 50 MB, on a terminal only.
class ProgressBar
{
public:
    explicit ProgressBar(qint64 total)
        : m_total(total), m_shown(total > 50'000'000 && standardErrorIsTerminal())
    {
    }
    ~ProgressBar() { clear(); }
    void advance(qint64 bytes)
    {
        m_done += bytes;
        if (!m_shown)
            return;
        const QString bar = progressBar(m_done, m_total);
        if (bar != m_last) {
            err() << '\r' << bar;
            err().flush();
            m_last = bar;
        }
    }
    void clear()
    {
        if (m_shown && !m_last.isEmpty()) {
            err() << '\r' << QString(m_last.size(), u' ') << '\r';
            err().flush();
            m_last.clear();
        }
    }

private:
    qint64 m_total;
    qint64 m_done = 0;
    bool m_shown;
    QString m_last;
};

// Feeds one input to the vocabulary, or the list of known words; the
// French message of the first failure, named by `name`, empty when all
// went well.
template<typename Add, typename Finish>
QString readInput(const QString &input, const QString &name, ProgressBar *progress, Add &&add,
                  Finish &&finish, const std::function<QString()> &decodingError)
{
    int fd = kStandardInput;
    int error = 0;
    if (input != u"-") {
        fd = Verarov::openForReading(input, &error);
        if (fd < 0)
            return name + u" : "_s + Verarov::inputErrorMessage(error);
    }
    std::vector<char> block(1 << 18);
    QString message;
    for (;;) {
        const qint64 got = readSome(fd, block.data(), qint64(block.size()));
        if (got < 0) {
            message = name + u" : "_s + Verarov::inputErrorMessage(errno);
            break;
        }
        if (got == 0) {
            if (!finish())
                message = name + u" : "_s + decodingError();
            break;
        }
        if (progress)
            progress->advance(got);
        if (!add(block.data(), std::size_t(got))) {
            message = name + u" : "_s + decodingError();
            break;
        }
    }
    if (fd != kStandardInput)
        Verarov::closeDescriptor(fd);
    return message;
}

int vocab(const QStringList &args)
{
    int status = 2;
    const std::optional<VocabOptions> parsed = parseVocab(args, &status);
    if (!parsed)
        return status;
    const VocabOptions &o = *parsed;
    const auto fail = [](int code, const QString &message) {
        err() << Verarov::withFullStop(message) << '\n';
        return code;
    };

    // Every input is checked before the long work; the sizes make the
    // progress bar's total.
    qint64 total = 0;
    for (const QString &input : o.inputs) {
        if (input == u"-") {
            total += regularSize(kStandardInput);
            continue;
        }
        int error = 0;
        const int fd = Verarov::openForReading(input, &error);
        if (fd < 0)
            return fail(2, inputName(input) + u" : "_s + Verarov::inputErrorMessage(error));
        total += regularSize(fd);
        Verarov::closeDescriptor(fd);
    }
    if (!o.known.isEmpty()) {
        int error = 0;
        const int fd = Verarov::openForReading(o.known, &error);
        if (fd < 0)
            return fail(2, knownName(o.known) + u" : "_s + Verarov::inputErrorMessage(error));
        Verarov::closeDescriptor(fd);
    }
    // The unknown characters' file replaces what has its name: never a text
    // of the report or the list of known words.
    for (const QString &read : o.inputs + QStringList{o.known}) {
        if (!o.unknownTo.isEmpty() && read != u"-" && sameFile(read, o.unknownTo))
            return fail(2, u"--unknown-to \"%1\" : ce fichier est aussi lu par le rapport"_s.arg(
                                   o.unknownTo));
    }
    OutputFile unknownFile;
    if (!o.unknownTo.isEmpty()) {
        if (const int error = unknownFile.create(o.unknownTo))
            return fail(1, createErrorMessage(o.unknownTo, error));
    }

    Loaded loaded;
    if (!loadForUse(loaded))
        return 2;
    Translator translator;
    Vocabulary vocabulary(translator.index(loaded.tables));

    // One report over every input, in order; each is a text of its own.
    {
        ProgressBar progress(total);
        for (const QString &input : o.inputs) {
            TextDecoder decoder(o.encoding);
            const QString message = readInput(
                    input, inputName(input), &progress,
                    [&](const char *bytes, std::size_t size) {
                        return vocabulary.addBytes(decoder, bytes, size);
                    },
                    [&] { return vocabulary.endText(&decoder); },
                    [&] { return decoder.errorText(); });
            if (!message.isEmpty()) {
                progress.clear();
                return fail(2, message);
            }
        }
    }
    if (!o.known.isEmpty()) {
        WordListReader known;
        const auto leaveOut = [&](QStringView word) { vocabulary.leaveOut(word); };
        const QString message = readInput(
                o.known, knownName(o.known), nullptr,
                [&](const char *bytes, std::size_t size) { return known.add(bytes, size, leaveOut); },
                [&] { return known.finish(leaveOut); },
                [&] { return known.decoder().errorText(); });
        if (!message.isEmpty())
            return fail(2, message);
    }

    // The report is small: it is made whole, then written, so that a
    // failure anywhere before leaves nothing written.
    const std::vector<Vocabulary::EntryCount> entries = vocabulary.entries(o.minCount);
    QByteArray report = formatEntries(loaded.tables, entries, o.format);
    if (o.unknown) {
        const QByteArray unknown = formatUnknown(vocabulary.unknownCharacters(o.minCount), o.format);
        if (o.unknownTo.isEmpty()) {
            report += unknownHeading(o.format);
            report += unknown;
        } else {
            unknownFile.writeBytes(unknown.constData(), std::size_t(unknown.size()));
            if (const int error = unknownFile.close())
                return fail(1, u"Fichier \"%1\" : %2"_s.arg(o.unknownTo, Verarov::writeErrorMessage(error)));
        }
    }
    if (const int error = writeAll(kStandardOutput, report))
        return fail(1, u"Sortie standard : "_s + Verarov::writeErrorMessage(error));
    if (!o.unknownTo.isEmpty()) {
        if (const int error = unknownFile.commit())
            return fail(1, createErrorMessage(o.unknownTo, error));
    }
    err() << summaryText(vocabulary.figures(), qint64(entries.size()));
    err().flush();
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
#ifdef Q_OS_WIN
    // Bytes in and out as they are: lines end with LF on every system (the
    // C runtime's text mode would write CRLF and stop reading at Ctrl+Z).
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
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
    if (command == u"vocab")
        return vocab(args.mid(1));
    if (command == u"recognise")
        return recogniseCommand(args.mid(1));
    if (command == u"say")
        return sayCommand(args.mid(1));
    return usage();
}
