// verarov-data vocab [options] [FILE...]: the distinct words of Chinese
// texts with their counts.

#include "common.h"

#include "dictionary/text.h"
#include "io/input.h"
#include "io/names.h"
#include "io/output.h"
#include "io/streams.h"
#include "speech/speaker.h"
#include "translate/textdecoder.h"
#include "translate/translator.h"
#include "translate/vocabulary.h"

#include <QSet>

#include <cerrno>
#include <functional>
#include <optional>
#include <vector>

namespace Verarov::DataTool {

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;
using namespace Verarov::Translate;

namespace {

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;

const char kVocabUsage[] =
        "usage : verarov-data vocab [options] [FICHIER...]\n"
        "Les mots distincts de textes chinois (l'entrée standard sans FICHIER ou pour\n"
        "\"-\"), du plus fréquent au moins fréquent, en UTF-8 :\n"
        "vedette TAB pinyin TAB traduction TAB nombre.\n"
        "  --encoding utf-8|utf-16le|utf-16be  lire ainsi chaque entrée (par défaut :\n"
        "                                      selon sa marque d'ordre des octets,\n"
        "                                      sinon UTF-8)\n"
        "  --format tsv|csv|anki               format de sortie (par défaut tsv)\n"
        "  --audio DOSSIER     avec --format anki : la prononciation de chaque mot dans\n"
        "                      DOSSIER (créé s'il manque), un fichier WAV par mot,\n"
        "                      nommé verarov-SYLLABES-EMPREINTE.wav et remplacé s'il\n"
        "                      existe ; chaque carte reçoit un champ [sound:FICHIER]\n"
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
    QString audio; // folder of the sound files, Anki only
};

// Options anywhere before "--", "--name value" or "--name=value"; every
// other argument names an input.  An empty optional after a usage error
// (reported).
std::optional<VocabOptions> parseVocab(const QStringList &args, int *status)
{
    VocabOptions o;
    *status = 2;
    ArgumentReader reader(args);
    while (const std::optional<ArgumentReader::Item> item = reader.next()) {
        if (!item->option) {
            o.inputs.append(item->text);
            continue;
        }
        const QString &name = item->name;
        std::optional<QString> value = item->value;
        const auto needValue = [&]() -> bool {
            value = reader.takeValue(*item);
            if (!value)
                vocabUsage(u"l'option %1 demande une valeur"_s.arg(name));
            return value.has_value();
        };
        if (name == u"--help" && !value) {
            const QString failure = Io::writeStandardOutput(kVocabUsage);
            if (!failure.isEmpty())
                err() << withFullStop(failure) << '\n';
            *status = failure.isEmpty() ? 0 : 1;
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
                vocabUsage(
                        u"--min-count demande un nombre entier positif, pas \"%1\""_s.arg(*value));
                return std::nullopt;
            }
        } else if (name == u"--audio") {
            if (!needValue())
                return std::nullopt;
            if (value->isEmpty()) {
                vocabUsage(u"l'option --audio demande un nom de dossier"_s);
                return std::nullopt;
            }
            o.audio = *value;
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
            vocabUsage(u"option inconnue \"%1\""_s.arg(item->text));
            return std::nullopt;
        }
    }
    if (o.unknown && o.unknownTo.isEmpty() && o.format == ReportFormat::Anki) {
        // Lines of characters would become cards.
        vocabUsage(u"avec --format anki, les caractères inconnus vont dans un fichier à part :"
                   " --unknown-to FICHIER"_s);
        return std::nullopt;
    }
    if (!o.audio.isEmpty() && o.format != ReportFormat::Anki) {
        vocabUsage(u"--audio ne va qu'avec --format anki"_s);
        return std::nullopt;
    }
    if (o.inputs.isEmpty())
        o.inputs.append(u"-"_s);
    return o;
}

QString inputName(const QString &input)
{
    return input == u"-" ? u"Entrée standard"_s : u"Fichier \"%1\""_s.arg(Io::displayName(input));
}

QString knownName(const QString &known)
{
    return u"Liste des mots connus \"%1\""_s.arg(Io::displayName(known));
}

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
        fd = Io::openForReading(input, &error);
        if (fd < 0)
            return name + u" : "_s + Io::inputErrorMessage(error);
    }
    std::vector<char> block(1 << 18);
    QString message;
    for (;;) {
        const qint64 got = Io::readSome(fd, block.data(), qint64(block.size()));
        if (got < 0) {
            message = name + u" : "_s + Io::inputErrorMessage(errno);
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
        Io::closeDescriptor(fd);
    return message;
}

// Speaks each entry's reading into a WAV file of the folder (made when
// missing), each written aside and renamed; the names, one per entry (empty
// for an entry that gave no speech, told on standard error), or the French
// message of the first failure to write.
std::optional<QStringList> writeSounds(const Tables &tables,
                                       const std::vector<Vocabulary::EntryCount> &entries,
                                       const QString &folder, QString *failure)
{
    if (const int error = Io::makeFolders(folder)) {
        *failure = Io::createFolderErrorMessage(folder, error);
        return std::nullopt;
    }
    QStringList names;
    QSet<QString> written;
    for (const Vocabulary::EntryCount &e : entries) {
        const QStringView headword = tables.headword(e.entry);
        const QStringView pinyin = tables.pinyin(e.entry);
        const QString name = Speech::soundFileName(headword, pinyin);
        if (written.contains(name)) {
            names.append(name);
            continue;
        }
        const Speech::Speech speech = Speech::render(pinyin.toString());
        if (!speech.error.isEmpty()) {
            err() << u"Pas de son pour \"%1\" (%2) : %3\n"_s.arg(headword, pinyin, speech.error);
            names.append(QString());
            continue;
        }
        const QByteArray wav = Speech::wavFile(speech);
        const QString path = folder + u'/' + name;
        Io::OutputFile out;
        int error = out.create(path, Io::OutputFile::Streams::Replaced);
        if (error) {
            *failure = Io::createErrorMessage(path, error);
            return std::nullopt;
        }
        out.writeBytes(wav.constData(), std::size_t(wav.size()));
        error = out.close();
        if (!error)
            error = out.commit();
        if (error) {
            *failure = u"Fichier \"%1\" : %2"_s.arg(Io::displayName(path),
                                                    Io::writeErrorMessage(error));
            return std::nullopt;
        }
        written.insert(name);
        names.append(name);
    }
    return names;
}

} // namespace

int vocabCommand(const QStringList &args)
{
    int status = 2;
    const std::optional<VocabOptions> parsed = parseVocab(args, &status);
    if (!parsed)
        return status;
    const VocabOptions &o = *parsed;
    const auto fail = [](int code, const QString &message) {
        err() << withFullStop(message) << '\n';
        return code;
    };

    // Every input is checked before the long work; the sizes make the
    // progress bar's total.
    qint64 total = 0;
    for (const QString &input : o.inputs) {
        if (input == u"-" && Io::standardStreamClosed(kStandardInput))
            return fail(2, Io::closedStreamMessage(kStandardInput));
        if (input == u"-") {
            total += Io::regularSize(kStandardInput);
            continue;
        }
        int error = 0;
        const int fd = Io::openForReading(input, &error);
        if (fd < 0)
            return fail(2, inputName(input) + u" : "_s + Io::inputErrorMessage(error));
        total += Io::regularSize(fd);
        Io::closeDescriptor(fd);
    }
    if (!o.known.isEmpty()) {
        int error = 0;
        const int fd = Io::openForReading(o.known, &error);
        if (fd < 0)
            return fail(2, knownName(o.known) + u" : "_s + Io::inputErrorMessage(error));
        Io::closeDescriptor(fd);
    }
    // Every output too: the report's and the unknown characters' file.
    if (Io::standardStreamClosed(kStandardOutput))
        return fail(1, Io::closedStreamMessage(kStandardOutput));
    // The unknown characters' file replaces what has its name: never a text
    // of the report or the list of known words.
    for (const QString &read : o.inputs + QStringList{o.known}) {
        if (!o.unknownTo.isEmpty() && read != u"-" && Io::sameFile(read, o.unknownTo))
            return fail(2, u"--unknown-to \"%1\" : ce fichier est aussi lu par le rapport"_s.arg(
                                   Io::displayName(o.unknownTo)));
    }
    if (!o.audio.isEmpty()) {
        // The folder is made only when the report is ready; what has its
        // name must be one already, and the voice must speak.
        int error = 0;
        const int fd = Io::openForReading(o.audio, &error);
        if (fd >= 0)
            Io::closeDescriptor(fd);
        if (fd >= 0 || error == Io::kNotRegularFile)
            return fail(1, Io::createFolderErrorMessage(o.audio, ENOTDIR));
        if (const Speech::Speech probe = Speech::render(u"ni3"_s); !probe.error.isEmpty())
            return fail(1, probe.error);
    }
    Io::OutputFile unknownFile;
    if (!o.unknownTo.isEmpty()) {
        if (const int error = unknownFile.create(o.unknownTo))
            return fail(1, Io::createErrorMessage(o.unknownTo, error));
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
                [&](const char *bytes, std::size_t size) {
                    return known.add(bytes, size, leaveOut);
                },
                [&] { return known.finish(leaveOut); },
                [&] { return known.decoder().errorText(); });
        if (!message.isEmpty())
            return fail(2, message);
    }

    // The report is small: it is made whole, then written, so that a
    // failure anywhere before leaves nothing written.
    const std::vector<Vocabulary::EntryCount> entries = vocabulary.entries(o.minCount);
    QStringList sounds;
    if (!o.audio.isEmpty()) {
        QString failure;
        const std::optional<QStringList> names =
                writeSounds(loaded.tables, entries, o.audio, &failure);
        if (!names)
            return fail(1, failure);
        sounds = *names;
    }
    QByteArray report = formatEntries(loaded.tables, entries, o.format, sounds);
    if (o.unknown) {
        const QByteArray unknown =
                formatUnknown(vocabulary.unknownCharacters(o.minCount), o.format);
        if (o.unknownTo.isEmpty()) {
            report += unknownHeading(o.format);
            report += unknown;
        } else {
            unknownFile.writeBytes(unknown.constData(), std::size_t(unknown.size()));
            if (const int error = unknownFile.close())
                return fail(1, u"Fichier \"%1\" : %2"_s.arg(Io::displayName(o.unknownTo),
                                                            Io::writeErrorMessage(error)));
        }
    }
    if (const QString failure = Io::writeStandardOutput(report); !failure.isEmpty())
        return fail(1, failure);
    if (!o.unknownTo.isEmpty()) {
        if (const int error = unknownFile.commit())
            return fail(1, Io::createErrorMessage(o.unknownTo, error));
    }
    err() << summaryText(vocabulary.figures(), qint64(entries.size()));
    if (!o.audio.isEmpty()) {
        QSet<QString> files(sounds.cbegin(), sounds.cend());
        files.remove(QString());
        err() << u"Sons écrits : %1, dans \"%2\"\n"_s.arg(files.size())
                         .arg(Io::displayName(o.audio));
    }
    err().flush();
    return 0;
}

} // namespace Verarov::DataTool
