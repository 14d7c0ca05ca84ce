// verarov-data vocab run as a user runs it: files, standard input and
// output, the dictionary it would load.
#include "dictionary/loader.h"
#include "dictionary/tables.h"
#include "dictionary/text.h"
#include "translate/translator.h"
#include "testsupport_files.h"
#include "testsupport_process.h"
#include "testsupport_wav.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QByteArray utf16be(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xff));
    }
    return bytes;
}

const QString kSample = QStringLiteral(VERAROV_TEST_DATA "/sample.tsv");

// A text of the sample dictionary's words, and its report.
const QString kText = u"北京在北京。一一乐\n偶然ｘ光安宁　龘"_s;
const QByteArray kReport =
        "北京\tBěi jīng\tPékin / Beijing\t2\n"
        "在\tzài\tà / dans, en / être en train de\t1\n"
        "一一\tyī yī\tun à un / un par un / l'un après l'autre\t1\n"
        "乐\tlé\t[variante de lecture] / à\t1\n"
        "乐\tlè\tjoyeux, content / rire\t1\n"
        "乐\tyuè\tmusique\t1\n"
        "偶然\tǒu rán\tfortuit / accidentel / occasionnel / 偶然性 contingence\t1\n"
        "Ｘ光\tX guāng\tradio / rayon X\t1\n"
        "安宁　\tān níng\ttranquillité\t1\n";
const QByteArray kSummary = "Caractères : 18\n"
                            "Caractères chinois : 14, dont 13 dans un mot trouvé (92,85 %)\n"
                            "Entrées distinctes : 9 (écrites : 9)\n"
                            "Caractères inconnus : 1 distinct, 1 occurrence\n";

} // namespace

class tst_VocabCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsEveryEncoding_data();
    void readsEveryEncoding();
    void severalInputs_oneReport();
    void options_data();
    void options();
    void known_leavesOutAnEarlierReport_data();
    void known_leavesOutAnEarlierReport();
    void unknownTo_writesAFileOfItsOwn();
    void audio_oneSpokenWordPerCard();
    void audio_withoutVoice_writesNothing();
    void agreesWithTheTranslation();
    void invalidText_writesNothing_data();
    void invalidText_writesNothing();
    void unusableInput_writesNothing_data();
    void unusableInput_writesNothing();
    void usageErrors_data();
    void usageErrors();
    void failedWrite_isReported();
    void progressBar_onlyOnATerminal();

private:
    using Run = ProcessRun;
    // env: extra settings; VERAROV_DICTIONARY is the sample unless given
    // (empty: the built-in dictionary).
    Run run(const QStringList &arguments, const QByteArray &input = {},
            const QString &dictionary = kSample, const QString &outputFile = {},
            const QStringList &environment = {});
    QString write(const QString &name, const QByteArray &content);
    QStringList files() const;
    QTemporaryDir m_dir;
};

void tst_VocabCommand::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::exists(QStringLiteral(VERAROV_DATA_TOOL)));
}

ProcessRun tst_VocabCommand::run(const QStringList &arguments, const QByteArray &input,
                                 const QString &dictionary, const QString &outputFile,
                                 const QStringList &environment)
{
    ProcessOptions options;
    options.environment = environment;
    options.unset = {u"VERAROV_DICTIONARY"_s};
    if (!dictionary.isEmpty())
        options.environment << u"VERAROV_DICTIONARY="_s + dictionary;
    // The user's own dictionary and caches out of the way, even outside CTest.
    options.environment << u"XDG_DATA_HOME="_s + m_dir.filePath(u"xdg"_s)
                        << u"XDG_CACHE_HOME="_s + m_dir.filePath(u"cache"_s);
    options.workingDirectory = m_dir.path();
    options.outputFile = outputFile;
    options.input = input;
    // A tool that keeps what it reads fails soon instead of filling memory.
    options.dataLimitBytes = qint64(1) << 30;
    options.timeoutMs = 120000;
    return runProgram(QStringLiteral(VERAROV_DATA_TOOL), QStringList{u"vocab"_s} + arguments,
                      options);
}

QString tst_VocabCommand::write(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    return writeFile(path, content) ? path : QString();
}

QStringList tst_VocabCommand::files() const
{
    return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
}

void tst_VocabCommand::readsEveryEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("standardInput");
    const QByteArray utf8 = kText.toUtf8();
    const QByteArray le = utf16le(kText);
    const QByteArray be = utf16be(kText);
    QTest::addRow("UTF-8") << utf8 << QStringList() << false;
    QTest::addRow("UTF-8 with its mark") << "\xEF\xBB\xBF" + utf8 << QStringList() << false;
    QTest::addRow("UTF-16LE by its mark") << "\xFF\xFE" + le << QStringList() << false;
    QTest::addRow("UTF-16BE by its mark") << "\xFE\xFF" + be << QStringList() << false;
    QTest::addRow("UTF-16LE forced") << le << QStringList{u"--encoding"_s, u"utf-16le"_s} << false;
    QTest::addRow("UTF-16BE forced") << be << QStringList{u"--encoding=UTF-16BE"_s} << false;
    QTest::addRow("UTF-8 forced, its mark dropped")
            << "\xEF\xBB\xBF" + utf8 << QStringList{u"--encoding"_s, u"utf-8"_s} << false;
    QTest::addRow("standard input, UTF-8") << utf8 << QStringList() << true;
    QTest::addRow("standard input named -, UTF-16LE")
            << "\xFF\xFE" + le << QStringList{u"-"_s} << true;
}

void tst_VocabCommand::readsEveryEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(bool, standardInput);
    QStringList arguments = options;
    if (!standardInput)
        arguments.append(write(u"texte.txt"_s, bytes));
    const Run r = run(arguments, standardInput ? bytes : QByteArray());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, kReport);
    QCOMPARE(r.err, kSummary);
}

// Every input, standard input among them, goes into one report; no word
// spans two inputs.
void tst_VocabCommand::severalInputs_oneReport()
{
    const QString first = write(u"un.txt"_s, "在北");
    const QString second = write(u"deux.txt"_s, "\xFF\xFE" + utf16le(u"北京"_s));
    const Run r = run({first, u"-"_s, second}, "京");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("在\tzài\tà / dans, en / être en train de\t1\n"
                               "京\tjīng\tcapitale / beijing\t1\n"
                               "北京\tBěi jīng\tPékin / Beijing\t1\n"));
    QVERIFY2(r.err.contains("Caractères chinois : 5, dont 4 dans un mot trouvé"),
             r.err.constData());
    QVERIFY2(r.err.contains("Caractères inconnus : 1 distinct, 1 occurrence"), r.err.constData());
}

void tst_VocabCommand::options_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("report");
    QTest::addRow("--min-count") << QStringList{u"--min-count"_s, u"2"_s}
                                 << QByteArray("北京北京在龘龘京")
                                 << QByteArray("北京\tBěi jīng\tPékin / Beijing\t2\n");
    QTest::addRow("--min-count with --unknown")
            << QStringList{u"--min-count=2"_s, u"--unknown"_s} << QByteArray("北京北京在龘龘丙")
            << QByteArray("北京\tBěi jīng\tPékin / Beijing\t2\n\n# caractères inconnus\n龘\t2\n");
    QTest::addRow("--unknown with none")
            << QStringList{u"--unknown"_s} << QByteArray("在")
            << QByteArray("在\tzài\tà / dans, en / être en train de\t1\n\n# caractères inconnus\n");
    QTest::addRow("csv") << QStringList{u"--format"_s, u"csv"_s, u"--unknown"_s}
                         << QByteArray("在一一龘")
                         << QByteArray("在,zài,\"à / dans, en / être en train de\",1\r\n"
                                       "一一,yī yī,un à un / un par un / l'un après l'autre,1\r\n"
                                       "\r\n# caractères inconnus\r\n龘,1\r\n");
    QTest::addRow("anki")
            << QStringList{u"--format=anki"_s} << QByteArray("在呸")
            << QByteArray(
                       "#separator:tab\n#html:true\n"
                       "在\tzài<br>à / dans, en / être en train de\n呸\tpēi<br>fi！ / pouah！\n");
    QTest::addRow("a file named like an option, after --")
            << QStringList{u"--"_s, u"--unknown"_s} << QByteArray("在")
            << QByteArray("在\tzài\tà / dans, en / être en train de\t1\n");
}

void tst_VocabCommand::options()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, report);
    QStringList arguments = options;
    if (options.contains(u"--"_s))
        write(u"--unknown"_s, text);
    else
        arguments.append(write(u"texte.txt"_s, text));
    const Run r = run(arguments);
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(r.out, report);
}

void tst_VocabCommand::known_leavesOutAnEarlierReport_data()
{
    QTest::addColumn<QByteArray>("known");
    QTest::addColumn<QByteArray>("report");
    // The lines of kReport but those of the words known.
    const auto reportWithout = [](const QList<QByteArray> &words) {
        QByteArray out;
        for (const QByteArray &line : QByteArray(kReport).split('\n')) {
            if (!line.isEmpty() && !words.contains(line.split('\t').first()))
                out += line + '\n';
        }
        return out + "\n# caractères inconnus\n";
    };
    QTest::addRow("the earlier report, mark and CRLF")
            << QByteArray("\xEF\xBB\xBF") + QByteArray(kReport).replace("\n", "\r\n")
            << QByteArray("\n# caractères inconnus\n龘\t1\n");
    QTest::addRow("a list typed by hand")
            << QByteArray("乐\n  在 \n\n龘\n北") << reportWithout({"乐", "在"});
    QTest::addRow("UTF-16LE list") << QByteArray("\xFF\xFE") + utf16le(u"北京\r\n安宁　\r\n"_s)
                                   << reportWithout({"北京", "安宁　"}) + "龘\t1\n";
    QTest::addRow("a line of 10 MB, then a word") << QByteArray(10'000'000, 'x') + "\n北京\n"
                                                  << reportWithout({"北京"}) + "龘\t1\n";
}

void tst_VocabCommand::known_leavesOutAnEarlierReport()
{
    QFETCH(QByteArray, known);
    QFETCH(QByteArray, report);
    const QString text = write(u"texte.txt"_s, kText.toUtf8());
    const Run r = run({u"--known"_s, write(u"connus.txt"_s, known), u"--unknown"_s, text});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(r.out, report);
    // The summary still tells what the text holds.
    QVERIFY2(r.err.contains("Entrées distinctes : 9 (écrites : "), r.err.constData());
}

void tst_VocabCommand::unknownTo_writesAFileOfItsOwn()
{
    const QString text = write(u"texte.txt"_s, "龘在龘丙");
    const QString unknown = m_dir.filePath(u"inconnus.tsv"_s);
    QVERIFY(writeFile(unknown, "previous"));
    const Run r = run({u"--unknown-to"_s, unknown, text});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QCOMPARE(r.out, QByteArray("在\tzài\tà / dans, en / être en train de\t1\n"));
    QCOMPARE(readAll(unknown), QByteArray("龘\t2\n丙\t1\n"));
    // With anki cards, the characters in a file of their own.
    const Run anki = run({u"--format"_s, u"anki"_s, u"--unknown-to=inconnus.tsv"_s, text});
    QVERIFY2(anki.exitCode == 0, anki.err.constData());
    QVERIFY(!anki.out.contains("龘"));
    QCOMPARE(readAll(unknown), QByteArray("龘\t2\n丙\t1\n"));
    QVERIFY(!files().join(u' ').contains(u".tmp"_s));
}

// --audio: each card names its own WAV in a third field, the WAV holds the
// word's reading spoken; a second run gives the same names and replaces
// the files.
void tst_VocabCommand::audio_oneSpokenWordPerCard()
{
    const QString text = write(u"texte.txt"_s, "北京在北京一一");
    QDir(m_dir.filePath(u"sons"_s)).removeRecursively();
    const QString folder = m_dir.filePath(u"sons/anki"_s); // made, with the one above it
    const QStringList arguments{u"--format=anki"_s, u"--audio"_s, folder, text};
    const Run r = run(arguments);
    if (r.exitCode == 1 && r.err.contains("Aucune voix"))
        QSKIP("libespeak-ng or its Chinese voice is not installed");
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY2(r.err.contains("Sons écrits : 3, dans"), r.err.constData());
    const QList<QByteArray> lines = r.out.split('\n');
    QCOMPARE(lines.size(), 2 + 3 + 1);
    const QRegularExpression sound(u"^\\[sound:(verarov-[a-z0-9_]+-[0-9a-f]{12}\\.wav)\\]$"_s);
    QStringList names;
    for (const QByteArray &line : lines.mid(2, 3)) {
        const QList<QByteArray> fields = line.split('\t');
        QCOMPARE(fields.size(), 3);
        const QRegularExpressionMatch m = sound.match(QString::fromUtf8(fields[2]));
        QVERIFY2(m.hasMatch(), line.constData());
        names.append(m.captured(1));
    }
    QVERIFY2(names[0].startsWith(u"verarov-bei3_jing1-"_s), qPrintable(names[0]));
    names.sort();
    const auto written = [&] { return QDir(folder).entryList(QDir::Files | QDir::Hidden); };
    QCOMPARE(written(), names);
    for (const QString &name : std::as_const(names)) {
        const QString problem = wavProblem(readAll(folder + u'/' + name), 0.1, 3);
        QVERIFY2(problem.isEmpty(), qPrintable(name + u": "_s + problem));
    }
    QVERIFY(writeFile(folder + u'/' + names[0], "old"));
    const Run again = run(arguments);
    QVERIFY2(again.exitCode == 0, again.err.constData());
    QCOMPARE(again.out, r.out);
    QCOMPARE(written(), names);
    QVERIFY(wavProblem(readAll(folder + u'/' + names[0]), 0.1, 3).isEmpty());
}

// Without the speech library's data, a French message and nothing
// written: no report, no folder.
void tst_VocabCommand::audio_withoutVoice_writesNothing()
{
    const QString text = write(u"texte.txt"_s, "北京");
    const QString empty = m_dir.filePath(u"vide"_s);
    QVERIFY(QDir().mkpath(empty));
    const QString folder = m_dir.filePath(u"sons-absents"_s);
    const Run r = run({u"--format=anki"_s, u"--audio"_s, folder, text}, {}, kSample, {},
                      {u"ESPEAK_DATA_PATH="_s + empty});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Aucune voix chinoise n'est installée"), r.err.constData());
    QCOMPARE(r.out, QByteArray());
    QVERIFY(!QFileInfo::exists(folder));
}

// The report of a UTF-16LE text counts the lines the translation writes for
// it, entry by entry, with the built-in dictionary.
void tst_VocabCommand::agreesWithTheTranslation()
{
    const Verarov::Dictionary::Tables tables = Verarov::Dictionary::builtIn();
    QVERIFY(!tables.isEmpty());
    QRandomGenerator random(15);
    QString text;
    while (text.size() < 200'000) {
        const int e = int(random.bounded(tables.entryCount()));
        // Words, parts of words, and what is no word.
        text += random.bounded(4) == 0 ? tables.headword(e).first(1).toString()
                                       : tables.headword(e).toString();
        if (random.bounded(10) == 0)
            text += QStringList{u"。"_s, u"\r\n"_s, u"abc "_s, u"\t"_s, u"龘"_s}[random.bounded(5)];
    }
    const QString path = write(u"texte.txt"_s, "\xFF\xFE" + utf16le(text));
    Verarov::Translate::Translator translator;
    const Verarov::Translate::Outcome outcome = translator.translate(tables, path);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    const QByteArray output = readAll(outcome.output);
    QHash<QString, qint64> lines;
    for (const QString &line :
         QString(reinterpret_cast<const QChar *>(output.constData() + 2), (output.size() - 2) / 2)
                 .split(u"\r\n"_s, Qt::SkipEmptyParts))
        ++lines[line];

    const Run r = run({path}, {}, QString());
    QCOMPARE(r.exitCode, 0);
    QHash<QString, qint64> counted;
    for (const QString &line : QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        counted.insert(line.first(tab), line.sliced(tab + 1).toLongLong());
    }
    QVERIFY(lines.size() > 1000);
    QCOMPARE(counted, lines);
}

void tst_VocabCommand::invalidText_writesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("message");
    QTest::addRow("invalid UTF-8")
            << QByteArray("北京\xC3(") << QStringList()
            << QByteArray("séquence UTF-8 invalide à la position 6 (octet 0xC3)");
    QTest::addRow("invalid byte after 3 MB")
            << QByteArray(3'000'000, 'a') + "\x80" << QStringList()
            << QByteArray("séquence UTF-8 invalide à la position 3000000 (octet 0x80)");
    QTest::addRow("UTF-8 cut by the end")
            << QByteArray("北京\xE5\x8C") << QStringList()
            << QByteArray("coupé par la fin du texte à la position 6");
    QTest::addRow("UTF-16LE lone surrogate")
            << QByteArray("\xFF\xFE") + utf16le(u"北"_s) + QByteArray("\x00\xDC", 2)
            << QStringList() << QByteArray("isolée à la position 4 (0xDC00)");
    QTest::addRow("UTF-16BE of an odd length")
            << QByteArray("\xFE\xFF") + utf16be(u"北"_s) + "x" << QStringList()
            << QByteArray("impair d'octets : octet seul à la position 4");
    QTest::addRow("UTF-16 read as UTF-8")
            << QByteArray("\xFF\xFE") + utf16le(u"北"_s) << QStringList{u"--encoding"_s, u"utf-8"_s}
            << QByteArray("séquence UTF-8 invalide à la position 0 (octet 0xFF)");
}

// Nothing on standard output, no file of unknown characters, the previous
// one as it was; the message names the input and the byte.
void tst_VocabCommand::invalidText_writesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, message);
    const QString unknown = m_dir.filePath(u"inconnus.tsv"_s);
    QVERIFY(writeFile(unknown, "previous"));
    const QString good = write(u"bon.txt"_s, "北京");
    const QString bad = write(u"mauvais.txt"_s, bytes);
    const QStringList before = files();
    const Run r = run(options + QStringList{u"--unknown-to"_s, unknown, good, bad});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.startsWith("Fichier \"" + bad.toUtf8() + "\" : ") && r.err.contains(message),
             r.err.constData());
    QCOMPARE(readAll(unknown), QByteArray("previous"));
    QCOMPARE(files(), before);
    // Standard input is named as such.
    const Run in = run(options, bytes);
    QCOMPARE(in.exitCode, 2);
    QCOMPARE(in.out, QByteArray());
    QVERIFY2(in.err.startsWith("Entrée standard : ") && in.err.contains(message),
             in.err.constData());
}

void tst_VocabCommand::unusableInput_writesNothing_data()
{
    QTest::addColumn<QStringList>("arguments"); // "FIFO": a FIFO made for the test
    QTest::addColumn<QString>("dictionary");
    QTest::addColumn<QByteArray>("message");
    const QString text = u"texte.txt"_s;
    QTest::addRow("missing file") << QStringList{text, u"absent.txt"_s} << kSample
                                  << QByteArray("Fichier \"absent.txt\" : Impossible de trouver le"
                                                " fichier spécifié.");
    QTest::addRow("folder") << QStringList{u"."_s} << kSample
                            << QByteArray("Fichier \".\" : Le fichier spécifié est un dossier.");
#ifdef Q_OS_UNIX
    QTest::addRow("FIFO, never waited for")
            << QStringList{u"FIFO"_s} << kSample << QByteArray("n'est pas un fichier ordinaire");
    QTest::addRow("endless device") << QStringList{u"/dev/zero"_s} << kSample
                                    << QByteArray("n'est pas un fichier ordinaire");
#endif
    QTest::addRow("missing list of known words")
            << QStringList{u"--known"_s, u"absent.txt"_s, text} << kSample
            << QByteArray("Liste des mots connus \"absent.txt\" : Impossible de trouver");
    QTest::addRow("folder as list of known words")
            << QStringList{u"--known=."_s, text} << kSample
            << QByteArray("Liste des mots connus \".\" : Le fichier spécifié est un dossier");
    QTest::addRow("invalid list of known words")
            << QStringList{u"--known"_s, u"connus.txt"_s, text} << kSample
            << QByteArray("Liste des mots connus \"connus.txt\" : séquence UTF-8 invalide à la "
                          "position 7");
    QTest::addRow("unusable dictionary")
            << QStringList{text} << u"absent.u8"_s << QByteArray("Impossible de trouver");
    QTest::addRow("unknown characters into a missing folder")
            << QStringList{u"--unknown-to"_s, u"absent/inconnus.tsv"_s, text} << kSample
            << QByteArray("Impossible de créer le fichier");
    QTest::addRow("sounds into a file") << QStringList{u"--format=anki"_s, u"--audio"_s, text, text}
                                        << kSample << QByteArray("Impossible de créer le dossier");
}

void tst_VocabCommand::unusableInput_writesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, dictionary);
    QFETCH(QByteArray, message);
    write(u"texte.txt"_s, "北京");
    write(u"connus.txt"_s, "北京\n\xFF");
#ifdef Q_OS_UNIX
    const QString fifo = m_dir.filePath(u"tube.txt"_s);
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    arguments.replaceInStrings(u"FIFO"_s, fifo);
#endif
    const QStringList before = files();
    const Run r = run(arguments, {}, dictionary);
    QVERIFY2(r.exitCode == 2 || (r.exitCode == 1 && message.contains("créer")), r.err.constData());
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.contains(message), r.err.constData());
    QCOMPARE(files(), before);
}

void tst_VocabCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::addRow("unknown option") << QStringList{u"--vite"_s} << QByteArray("option inconnue");
    QTest::addRow("no value") << QStringList{u"--known"_s} << QByteArray("demande une valeur");
    QTest::addRow("zero count") << QStringList{u"--min-count"_s, u"0"_s}
                                << QByteArray("nombre entier positif");
    QTest::addRow("count not a number")
            << QStringList{u"--min-count=deux"_s} << QByteArray("nombre entier positif");
    QTest::addRow("unknown encoding")
            << QStringList{u"--encoding"_s, u"latin1"_s} << QByteArray("encodage inconnu");
    QTest::addRow("unknown format")
            << QStringList{u"--format"_s, u"xml"_s} << QByteArray("format inconnu");
    QTest::addRow("anki cards and characters in one output")
            << QStringList{u"--format"_s, u"anki"_s, u"--unknown"_s}
            << QByteArray("--unknown-to FICHIER");
    QTest::addRow("empty file name")
            << QStringList{u"--unknown-to="_s} << QByteArray("demande un nom de fichier");
    QTest::addRow("sounds without anki")
            << QStringList{u"--audio"_s, u"sons"_s} << QByteArray("--audio ne va qu'avec");
    QTest::addRow("sounds with csv") << QStringList{u"--format=csv"_s, u"--audio=sons"_s}
                                     << QByteArray("--audio ne va qu'avec");
    QTest::addRow("empty folder name") << QStringList{u"--format=anki"_s, u"--audio="_s}
                                       << QByteArray("demande un nom de dossier");
}

void tst_VocabCommand::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    const Run r = run(arguments, "北京");
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.contains(message) && r.err.contains("usage : verarov-data vocab"),
             r.err.constData());
}

void tst_VocabCommand::failedWrite_isReported()
{
#ifndef Q_OS_LINUX
    QSKIP("needs /dev/full");
#else
    const QString unknown = m_dir.filePath(u"inconnus.tsv"_s);
    QFile::remove(unknown);
    const Run r = run({u"--unknown-to"_s, unknown}, "北京龘", kSample, u"/dev/full"_s);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Sortie standard : Espace insuffisant sur le disque."),
             r.err.constData());
    // The file of unknown characters goes with the report, or not at all.
    QVERIFY(!QFile::exists(unknown));
    QVERIFY(!files().join(u' ').contains(u".tmp"_s));
#endif
}

// Over 50 MB, a progress bar on standard error when it is a terminal only.
void tst_VocabCommand::progressBar_onlyOnATerminal()
{
#ifndef Q_OS_LINUX
    QSKIP("needs script(1)");
#else
    const QString script = QStandardPaths::findExecutable(u"script"_s);
    if (script.isEmpty())
        QSKIP("script(1) is not installed");
    // 51 MB of NUL characters: a valid text with no word, made at once.
    const QString big = m_dir.filePath(u"grand.txt"_s);
    QFile file(big);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(51'000'000));
    file.close();

    const Run plain = run({big});
    QCOMPARE(plain.exitCode, 0);
    QVERIFY2(!plain.err.contains('\r') && !plain.err.contains(" Mo)"), plain.err.constData());

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"VERAROV_DICTIONARY"_s, kSample);
    env.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"xdg"_s));
    env.insert(u"XDG_CACHE_HOME"_s, m_dir.filePath(u"cache"_s));
    p.setProcessEnvironment(env);
    const QString command =
            u"'%1' vocab '%2' >/dev/null"_s.arg(QStringLiteral(VERAROV_DATA_TOOL), big);
    p.start(script, {u"-q"_s, u"-e"_s, u"-c"_s, command, u"/dev/null"_s});
    QVERIFY(p.waitForFinished(120000));
    const QByteArray shown = p.readAllStandardOutput();
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(shown.contains("\r[") && shown.contains("100 %  (51 / 51 Mo)"), shown.constData());
    QVERIFY2(shown.contains("Caractères : 51000000"), shown.constData());
    QFile::remove(big);
#endif
}

QTEST_GUILESS_MAIN(tst_VocabCommand)
#include "tst_vocabcommand.moc"
