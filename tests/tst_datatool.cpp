#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "testsupport_process.h"

#include <cstdio>
#include <functional>

#ifdef Q_OS_UNIX
#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <signal.h>
#endif

using namespace Qt::StringLiterals;

// verarov-data run as a user runs it.
class tst_DataTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importReportsSkippedLinesAndWritesEntryOrder();
    void exportWritesTheSevenLists();
    void exportWritesTheRadicalLists();
    void checkPassesOnBuiltIn();
    void checkFailsOnUnusableDictionary_data();
    void checkFailsOnUnusableDictionary();
    void checkPassesOnLargeExternalDictionary();
    void checkFindsADamagedCacheAndRebuildsIt();
    void hostileLines_skippedNeverFatal_data();
    void hostileLines_skippedNeverFatal();
    void refusesWhatIsNotAFile_data();
    void refusesWhatIsNotAFile();
    void outputs_neverReplaceWhatIsRead_data();
    void outputs_neverReplaceWhatIsRead();
#ifdef Q_OS_UNIX
    void interrupted_leavesNoTemporaryFile_data();
    void interrupted_leavesNoTemporaryFile();
    void outputs_streamIntoStandardOutput();
    void names_keepTheirBytes_data();
    void names_keepTheirBytes();
    void standardStreams_failuresReported_data();
    void standardStreams_failuresReported();
    void outputs_checkedBeforeAnythingIsWritten();
#endif

private:
    using Run = ProcessRun;
    Run run(const QStringList &arguments, const QString &dictionary = {});
#ifdef Q_OS_UNIX
    // The tool run by the shell with arguments given as bytes (names that
    // are not UTF-8), standard output into outputFile when given, and
    // modify run in the child before the tool starts.
    Run runBytes(const QList<QByteArray> &arguments, const std::function<void()> &modify = {},
                 const QString &outputFile = {});
#endif
    QString write(const QString &name, const QByteArray &content);
    QTemporaryDir m_dir;
};

void tst_DataTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::exists(QStringLiteral(VERAROV_DATA_TOOL)));
}

ProcessRun tst_DataTool::run(const QStringList &arguments, const QString &dictionary)
{
    ProcessOptions options;
    options.unset = {u"VERAROV_DICTIONARY"_s};
    if (!dictionary.isEmpty())
        options.environment << u"VERAROV_DICTIONARY="_s + dictionary;
    // Keep the user's own dictionary out of the way.
    options.environment << u"XDG_DATA_HOME="_s + m_dir.filePath(u"xdg"_s);
    // A tool that reads without end fails soon instead of filling memory.
    options.dataLimitBytes = qint64(2) << 30;
    return runProgram(QStringLiteral(VERAROV_DATA_TOOL), arguments, options);
}

#ifdef Q_OS_UNIX
tst_DataTool::Run tst_DataTool::runBytes(const QList<QByteArray> &arguments,
                                         const std::function<void()> &modify,
                                         const QString &outputFile)
{
    // exec "$0" "$(printf '\ooo...')" ...: each byte as an octal escape.
    QByteArray script = "exec \"$0\"";
    for (const QByteArray &argument : arguments) {
        script += " \"$(printf '";
        for (const char c : argument)
            script += '\\' + QByteArray::number(uchar(c), 8).rightJustified(3, '0');
        script += "')\"";
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"VERAROV_DICTIONARY"_s);
    env.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"xdg"_s));
    p.setProcessEnvironment(env);
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    if (modify)
        p.setChildProcessModifier(modify);
    p.start(u"/bin/sh"_s,
            {u"-c"_s, QString::fromLatin1(script), QStringLiteral(VERAROV_DATA_TOOL)});
    if (!p.waitForFinished(60000))
        return {-1, {}, {}};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}
#endif

QString tst_DataTool::write(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() ? path : QString();
}

void tst_DataTool::importReportsSkippedLinesAndWritesEntryOrder()
{
    const QString path = m_dir.filePath(u"small.u8"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("# en-tete\r\n"
            "樂 乐 [yue4] /musique/\r\n"
            "一 一 [yi1] /un, une/premier/\r\n"
            "\xF0\xA0\x80\x80 \xF0\xA0\x80\x80 [he1] /rare/\r\n"
            "樂 乐 [le4] /joyeux/\r\n");
    f.close();
    const Run r = run({u"import"_s, path});
    QCOMPARE(r.exitCode, 0);
    // The traditional form as a fourth field where it differs.
    QCOMPARE(r.out, QByteArray("一\tyī\tun, une / premier\n"
                               "乐\tlè\tjoyeux\t樂\n"
                               "乐\tyuè\tmusique\t樂\n"));
    QVERIFY2(r.err.contains(":4:"), r.err.constData());
}

void tst_DataTool::exportWritesTheSevenLists()
{
    const QString out = m_dir.filePath(u"export"_s);
    const Run r = run({u"export"_s, out}, QStringLiteral(VERAROV_TEST_DATA "/sample.tsv"));
    QCOMPARE(r.exitCode, 0);
    const QStringList names = {u"liste_dico_ch"_s,       u"liste_dico_pin"_s,
                               u"liste_dico_fr"_s,       u"liste_pin_ss_accent"_s,
                               u"liste_dicopin_index"_s, u"liste_fr"_s,
                               u"liste_dicofr_index"_s};
    for (const QString &name : names)
        QVERIFY2(QFile::exists(QDir(out).filePath(name + u".txt"_s)), qPrintable(name));
    QFile ch(QDir(out).filePath(u"liste_dico_ch.txt"_s));
    QVERIFY(ch.open(QIODevice::ReadOnly));
    const QByteArray all = ch.readAll();
    QVERIFY(all.startsWith("一\n一一\n"));
    QCOMPARE(all.count('\n'), 21);
    QVERIFY(!all.contains('\r'));
}

void tst_DataTool::exportWritesTheRadicalLists()
{
    const QString out = m_dir.filePath(u"radicals"_s);
    const Run r = run({u"export"_s, out}, QStringLiteral(VERAROV_TEST_DATA "/sample.tsv"));
    QCOMPARE(r.exitCode, 0);
    auto lines = [&](const QString &name) {
        QFile file(QDir(out).filePath(name + u".txt"_s));
        if (!file.open(QIODevice::ReadOnly))
            return QStringList{u"(missing)"_s};
        const QByteArray bytes = file.readAll();
        return QString::fromUtf8(bytes).split(u'\n').mid(0, bytes.count('\n'));
    };
    const QStringList raw = lines(u"liste_chargement_rad"_s);
    const QStringList rad = lines(u"liste_rad"_s);
    const QStringList pin = lines(u"liste_rad_pin"_s);
    const QStringList strokes = lines(u"liste_rad_nb_traits"_s);
    const QStringList debut = lines(u"debut_rad"_s);
    const QStringList fin = lines(u"fin_rad"_s);
    QCOMPARE(raw.first(), u"#1"_s);
    QCOMPARE(rad.size() + 187, raw.size());
    QCOMPARE(pin.size(), rad.size());
    QCOMPARE(strokes.size(), rad.size());
    // One line per radical number, slot 1 first; headings hold -1 and 0.
    QCOMPARE(debut.size(), 198);
    QCOMPARE(fin.size(), 198);
    QCOMPARE(debut[0], u"0"_s);
    QCOMPARE(debut[5], u"-1"_s);
    QCOMPARE(fin[5], u"0"_s);
    QCOMPARE(fin[197], QString::number(rad.size() - 1));
    // The second line of the raw list is row 0, cut into its three fields.
    QCOMPARE(raw[1], rad[0] + u'\t' + pin[0] + u'\t' + strokes[0]);
}

void tst_DataTool::checkPassesOnBuiltIn()
{
    const Run r = run({u"check"_s});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QVERIFY(r.out.contains("dictionnaire : intégré"));
    QVERIFY(r.out.contains("entrées : "));
    QVERIFY2(r.out.contains("radicaux : 187, vides : 0\n"), r.out.constData());
    QVERIFY2(r.out.contains("entrées qu'aucun radical n'atteint : 0 "), r.out.constData());
}

void tst_DataTool::checkFailsOnUnusableDictionary_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("reason");
    QTest::addRow("unknown format") << QByteArray("bonjour\n") << QByteArray("ligne 1");
    QTest::addRow("missing file") << QByteArray() << QByteArray("Impossible de trouver");
}

void tst_DataTool::checkFailsOnUnusableDictionary()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, reason);
    const QString path = m_dir.filePath(u"bad.u8"_s);
    QFile::remove(path);
    if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    for (const QString &command : {u"check"_s, u"export"_s}) {
        QStringList args{command};
        if (command == u"export")
            args.append(m_dir.filePath(u"never"_s));
        const Run r = run(args, path);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains(path.toUtf8()) && r.err.contains(reason), r.err.constData());
    }
}

// A changed byte in the cache's text pool would be served as it is: check
// reads the cache through against its checksum.
void tst_DataTool::checkFindsADamagedCacheAndRebuildsIt()
{
    const QString path = write(u"cached.tsv"_s, "乐\tlè\tjoie\n好\thǎo\tbien\n");
#ifdef Q_OS_WIN
    // Windows keeps caches in the user's local application data (this
    // test's own Wine prefix), whatever XDG_CACHE_HOME says.
    const QString cacheHome = qEnvironmentVariable("LOCALAPPDATA");
#else
    const QString cacheHome = m_dir.filePath(u"cache-check"_s);
#endif
    const QByteArray previous = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
    const auto restore = qScopeGuard([&] { qputenv("XDG_CACHE_HOME", previous); });
    QCOMPARE(run({u"check"_s}, path).exitCode, 0); // builds the cache
    // Named after the dictionary's path.
    const QString cacheName = QString::fromLatin1(
            QCryptographicHash::hash(QFile::encodeName(QFileInfo(path).absoluteFilePath()),
                                     QCryptographicHash::Sha1)
                    .toHex()
            + ".bin");
    QDirIterator caches(cacheHome, {cacheName}, QDir::Files, QDirIterator::Subdirectories);
    QVERIFY(caches.hasNext());
    QFile cache(caches.next());
    QVERIFY(cache.open(QIODevice::ReadWrite));
    QByteArray bytes = cache.readAll();
    const QByteArray joie(reinterpret_cast<const char *>(u"joie"), 8);
    const qsizetype at = bytes.indexOf(joie);
    QVERIFY(at > 0);
    bytes[at + 2] = 'O';
    QVERIFY(cache.seek(0) && cache.write(bytes) == bytes.size());
    cache.close();

    const Run damaged = run({u"check"_s}, path);
    QCOMPARE(damaged.exitCode, 1);
    QVERIFY2(damaged.err.contains("cache du dictionnaire endommagé"), damaged.err.constData());
    const Run rebuilt = run({u"check"_s}, path);
    QVERIFY2(rebuilt.exitCode == 0, rebuilt.err.constData());
}

void tst_DataTool::checkPassesOnLargeExternalDictionary()
{
    const QString path = QStringLiteral(VERAROV_SHARED_DIR "/data/cfdict.u8");
    if (!QFile::exists(path))
        QSKIP("no large external dictionary on this machine");
    const Run r = run({u"check"_s}, path);
    QVERIFY2(r.exitCode == 0, r.err.right(2000).constData());
    QVERIFY(r.out.contains("entrées : "));
    // At least 99 % of its entries are reachable by radical.
    const qsizetype at = r.out.indexOf("entrées atteintes par radical : ");
    QVERIFY(at >= 0);
    const QByteArray percent = r.out.mid(r.out.indexOf('(', at) + 1).split(' ').value(0);
    QVERIFY2(percent.toDouble() >= 99.0, r.out.constData());
}

void tst_DataTool::hostileLines_skippedNeverFatal_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("imported");
    const QByteArray one = "一\tyī\tun\n";
    QTest::addRow("only a slash after the pinyin")
            << QByteArray("一 一 [yi1] /un/\n好 好 [hao3] /\n") << one;
    QTest::addRow("text before the first slash")
            << QByteArray("一 一 [yi1] /un/\n中國 中国 [Zhong1 guo2] Chine/\n") << one;
    QTest::addRow("invalid UTF-8 on the first line")
            << QByteArray("\xC3\x28\n一 一 [yi1] /un/\n") << one;
    QTest::addRow("first line of neither format")
            << QByteArray(" 好 好 [hao3] /bien/\n一 一 [yi1] /un/\n") << one;
    QTest::addRow("headword beginning with a number sign")
            << QByteArray("一 一 [yi1] /un/\n好 #好 [hao3] /bien/\n") << one;
    QTest::addRow("headword beginning with U+FEFF")
            << QByteArray("一 一 [yi1] /un/\n好 \xEF\xBB\xBF好 [hao3] /bien/\n") << one;
}

// import and check go on past lines the dictionary cannot hold: they are
// reported as skipped, and what is kept meets every invariant.
void tst_DataTool::hostileLines_skippedNeverFatal()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, imported);
    const QString path = write(u"hostile.u8"_s, content);
    const Run import = run({u"import"_s, path});
    QCOMPARE(import.exitCode, 0);
    QCOMPARE(import.out, imported);
    QVERIFY2(import.err.contains("lignes ignorées 1,"), import.err.constData());
    const Run check = run({u"check"_s}, path);
    QVERIFY2(check.exitCode == 0, check.err.constData());
    QVERIFY(check.out.contains("lignes ignorées : 1\n"));
    QVERIFY(check.out.contains("entrées : 1\n"));
}

void tst_DataTool::refusesWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("path"); // "fifo": a FIFO made for the test
    QTest::addColumn<QByteArray>("reason");
    QTest::addRow("folder") << m_dir.path() << QByteArray("est un dossier");
#ifdef Q_OS_UNIX
    QTest::addRow("FIFO, never waited for") << u"fifo"_s << QByteArray("pas un fichier ordinaire");
    QTest::addRow("endless device") << u"/dev/zero"_s << QByteArray("pas un fichier ordinaire");
#endif
}

void tst_DataTool::refusesWhatIsNotAFile()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, reason);
#ifdef Q_OS_UNIX
    if (path == u"fifo") {
        path = m_dir.filePath(u"tube.u8"_s);
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
#endif
    const Run import = run({u"import"_s, path});
    QCOMPARE(import.exitCode, 1);
    QVERIFY2(import.err.contains(reason), import.err.constData());
    const Run check = run({u"check"_s}, path);
    QCOMPARE(check.exitCode, 2);
    QVERIFY2(check.err.contains(path.toUtf8()) && check.err.contains(reason),
             check.err.constData());
}

// The files the tool writes (build's output, export's lists, vocab's unknown
// characters) never replace a file it reads, and a link under an output's
// name is replaced, never written through.
void tst_DataTool::outputs_neverReplaceWhatIsRead_data()
{
    QTest::addColumn<QStringList>("arguments"); // names inside a folder of their own
    QTest::addColumn<QString>("link");          // "name>target" made first, or empty
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QByteArray onInput = "la sortie serait écrite sur l'entrée";
    const QByteArray alsoRead = "ce fichier est aussi lu par le rapport";
    QTest::addRow("build onto its input")
            << QStringList{u"build"_s, u"a.tsv"_s, u"a.tsv"_s} << QString() << 1 << onInput;
    QTest::addRow("vocab's unknown characters onto its text")
            << QStringList{u"vocab"_s, u"--unknown-to"_s, u"t.txt"_s, u"t.txt"_s} << QString() << 2
            << alsoRead;
    QTest::addRow("vocab's unknown characters onto the known words")
            << QStringList{u"vocab"_s,        u"--known"_s, u"k.txt"_s,
                           u"--unknown-to"_s, u"k.txt"_s,   u"t.txt"_s}
            << QString() << 2 << alsoRead;
#ifdef Q_OS_UNIX
    QTest::addRow("build onto a link to its input")
            << QStringList{u"build"_s, u"a.tsv"_s, u"out.bin"_s} << u"out.bin>a.tsv"_s << 1
            << onInput;
    QTest::addRow("build onto a link to another file")
            << QStringList{u"build"_s, u"a.tsv"_s, u"out.bin"_s} << u"out.bin>other.txt"_s << 0
            << QByteArray();
    QTest::addRow("export onto a link to another file")
            << QStringList{u"export"_s, u"lists"_s} << u"lists/liste_fr.txt>../other.txt"_s << 0
            << QByteArray();
    QTest::addRow("vocab's unknown characters onto a link to another file")
            << QStringList{u"vocab"_s, u"--unknown-to"_s, u"out.txt"_s, u"t.txt"_s}
            << u"out.txt>other.txt"_s << 0 << QByteArray();
#endif
}

void tst_DataTool::outputs_neverReplaceWhatIsRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, link);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    const QString name =
            u"outputs-%1"_s.arg(QLatin1StringView(QTest::currentDataTag())).replace(u' ', u'-');
    const QDir folder(m_dir.filePath(name));
    QVERIFY(folder.mkpath(u"lists"_s));
    const QMap<QString, QByteArray> read{{u"a.tsv"_s, "一\tyī\tun\n"_ba},
                                         {u"t.txt"_s, "中国人\n"_ba},
                                         {u"k.txt"_s, "中国\n"_ba},
                                         {u"other.txt"_s, "autre\n"_ba}};
    for (auto it = read.cbegin(); it != read.cend(); ++it)
        QVERIFY(!write(name + u'/' + it.key(), it.value()).isEmpty());
    QString linkName;
    if (!link.isEmpty()) {
        linkName = folder.filePath(link.section(u'>', 0, 0));
        QVERIFY(QFile::link(link.section(u'>', 1), linkName));
    }
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith(u"--"))
            arguments[i] = folder.filePath(arguments[i]);
    }
    const Run r = run(arguments);
    QVERIFY2(r.exitCode == exitCode, r.err.constData());
    QVERIFY2(r.err.contains(message), r.err.constData());
    for (auto it = read.cbegin(); it != read.cend(); ++it) {
        QFile f(folder.filePath(it.key()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), it.value());
    }
    if (exitCode == 0 && !linkName.isEmpty()) {
        QVERIFY(!QFileInfo(linkName).isSymLink());
        QVERIFY(QFileInfo(linkName).isFile());
    }
}

#ifdef Q_OS_UNIX
// A signal that ends the tool while it writes (Ctrl+C, a terminal closed,
// kill) leaves no temporary file behind; the tool still ends by that signal.
void tst_DataTool::interrupted_leavesNoTemporaryFile_data()
{
    QTest::addColumn<int>("signal");
    QTest::addRow("SIGINT") << SIGINT;
    QTest::addRow("SIGTERM") << SIGTERM;
    QTest::addRow("SIGHUP") << SIGHUP;
    QTest::addRow("SIGQUIT") << SIGQUIT;
    QTest::addRow("SIGUSR1") << SIGUSR1;
    QTest::addRow("SIGUSR2") << SIGUSR2;
    QTest::addRow("SIGALRM") << SIGALRM;
    QTest::addRow("SIGVTALRM") << SIGVTALRM;
    QTest::addRow("SIGXCPU") << SIGXCPU;
    QTest::addRow("SIGPIPE") << SIGPIPE;
    QTest::addRow("SIGPROF") << SIGPROF;
    QTest::addRow("SIGRTMIN") << SIGRTMIN;
}

void tst_DataTool::interrupted_leavesNoTemporaryFile()
{
    QFETCH(int, signal);
    const QDir folder(m_dir.filePath(u"interrupted-%1"_s.arg(signal)));
    QVERIFY(folder.mkpath(u"."_s));
    // The unknown characters' file is made before the text is read, and the
    // text, standard input, never ends until the signal.
    QProcess vocab;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"VERAROV_DICTIONARY"_s);
    env.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"xdg"_s));
    vocab.setProcessEnvironment(env);
    vocab.setChildProcessModifier([signal] {
        for (int s : {SIGINT, SIGTERM, SIGHUP, signal})
            std::signal(s, SIG_DFL); // as a user's shell leaves them
    });
    vocab.start(QStringLiteral(VERAROV_DATA_TOOL),
                {u"vocab"_s, u"--unknown-to"_s, folder.filePath(u"inconnus.txt"_s), u"-"_s});
    QVERIFY(vocab.waitForStarted());
    const QStringList temporary{u".verarov-*.tmp"_s};
    QTRY_VERIFY_WITH_TIMEOUT(!folder.entryList(temporary, QDir::Files | QDir::Hidden).isEmpty(),
                             20000);
    QCOMPARE(::kill(pid_t(vocab.processId()), signal), 0);
    QVERIFY(vocab.waitForFinished(20000));
    QCOMPARE(vocab.exitStatus(), QProcess::CrashExit);
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

// An output named by a link to /dev/stdout (here a pipe) is written into
// it: the link is not replaced by a file, nothing is written beside it.
void tst_DataTool::outputs_streamIntoStandardOutput()
{
    const QDir folder(m_dir.filePath(u"stream"_s));
    QVERIFY(folder.mkpath(u"."_s));
    const QString input = write(u"stream/a.tsv"_s, "一\tyī\tun\n");
    QVERIFY(!input.isEmpty());
    const Run toFile = run({u"build"_s, input, folder.filePath(u"a.bin"_s)});
    QCOMPARE(toFile.exitCode, 0);
    const QString link = folder.filePath(u"out"_s);
    QVERIFY(QFile::link(u"/dev/stdout"_s, link));
    const Run r = run({u"build"_s, input, link});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    QFile built(folder.filePath(u"a.bin"_s));
    QVERIFY(built.open(QIODevice::ReadOnly));
    QCOMPARE(r.out, built.readAll());
    QCOMPARE(QFileInfo(link).symLinkTarget(), u"/dev/stdout"_s);
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({u"a.bin"_s, u"a.tsv"_s, u"out"_s}));
}

// Names that are not UTF-8 (GBK, Latin-1: unpacked archives) are opened and
// created with their own bytes, even beside a file named as a lossy
// decoding would make them; messages show them readably.
void tst_DataTool::names_keepTheirBytes_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments"); // names in the row's folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QByteArray>("created"); // a name, or empty
    QTest::addRow("vocab reads a GBK name, not its twin")
            << QList<QByteArray>{"vocab", "\xce\xc4.txt"} << 0 << QByteArray("中国\tZhōng guó\t")
            << QByteArray() << QByteArray();
    QTest::addRow("vocab of a missing GBK name")
            << QList<QByteArray>{"vocab", "\xce\xc5.txt"} << 2 << QByteArray()
            << QByteArray("\\xCE\\xC5.txt\" : Impossible de trouver le fichier spécifié")
            << QByteArray();
    QTest::addRow("build writes a Latin-1 name")
            << QList<QByteArray>{"build", "a.tsv", "out\xe9.bin"} << 0 << QByteArray()
            << QByteArray() << QByteArray("out\xe9.bin");
}

void tst_DataTool::names_keepTheirBytes()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, created);
    const QString name =
            u"names-%1"_s.arg(QLatin1StringView(QTest::currentDataTag())).replace(u' ', u'-');
    const QDir folder(m_dir.filePath(name));
    QVERIFY(folder.mkpath(u"."_s));
    const QByteArray base = QFile::encodeName(folder.path()) + '/';
    // The twins: what the names become through a lossy decoding.
    QVERIFY(!write(name + u"/\uFFFD\uFFFD.txt"_s, "一\n").isEmpty());
    QVERIFY(!write(name + u"/a.tsv"_s, "一\tyī\tun\n").isEmpty());
    {
        // Made by bytes: QFile would take the name through the same decoding.
        const QByteArray path = base + "\xce\xc4.txt";
        FILE *file = std::fopen(path.constData(), "wb");
        QVERIFY(file);
        std::fputs("中国\n", file);
        std::fclose(file);
    }
    for (qsizetype i = 1; i < arguments.size(); ++i)
        arguments[i] = base + arguments[i];
    const Run r = runBytes(arguments);
    QVERIFY2(r.exitCode == exitCode, r.err.constData());
    QVERIFY2(r.out.startsWith(out), r.out.constData());
    QVERIFY2(r.err.contains(err), r.err.constData());
    if (!created.isEmpty()) {
        struct stat info;
        QCOMPARE(::stat((base + created).constData(), &info), 0);
        QVERIFY(!QFile::exists(folder.filePath(QString::fromUtf8(created))));
    }
}

// Standard output that fails (a full disk, here a file size limit) or is
// closed, and standard input closed, are reported in French with a status
// that is not 0.
void tst_DataTool::standardStreams_failuresReported_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<QString>("stream"); // "full output", "closed output", "closed input"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QByteArray tooLarge = "Le fichier dépasse la taille permise";
    QTest::addRow("check, output full") << QList<QByteArray>{"check"} << u"full output"_s << 1
                                        << "Sortie standard : " + tooLarge;
    QTest::addRow("check, output closed") << QList<QByteArray>{"check"} << u"closed output"_s << 1
                                          << QByteArray("Sortie standard : le flux est fermé");
    QTest::addRow("import, output full")
            << QList<QByteArray>{"import", "a.tsv"} << u"full output"_s << 1
            << "import : impossible d'écrire la sortie : " + tooLarge;
    QTest::addRow("vocab, input closed") << QList<QByteArray>{"vocab"} << u"closed input"_s << 2
                                         << QByteArray("Entrée standard : le flux est fermé");
    QTest::addRow("vocab, output closed")
            << QList<QByteArray>{"vocab", "t.txt"} << u"closed output"_s << 1
            << QByteArray("Sortie standard : le flux est fermé");
    QTest::addRow("vocab --help, output full")
            << QList<QByteArray>{"vocab", "--help"} << u"full output"_s << 1
            << "Sortie standard : " + tooLarge;
}

void tst_DataTool::standardStreams_failuresReported()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(QString, stream);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    const QDir folder(m_dir.filePath(u"streams"_s));
    QVERIFY(folder.mkpath(u"."_s));
    QVERIFY(!write(u"streams/a.tsv"_s, "一\tyī\tun\n").isEmpty());
    QVERIFY(!write(u"streams/t.txt"_s, "中国人\n").isEmpty());
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].startsWith("--"))
            arguments[i] = QFile::encodeName(folder.filePath(QString::fromUtf8(arguments[i])));
    }
    const QString output = folder.filePath(u"output.txt"_s);
    QFile::remove(output);
    std::function<void()> modify;
    if (stream == u"full output") {
        modify = [] {
            const rlimit limit{8, 8};
            setrlimit(RLIMIT_FSIZE, &limit);
        };
    } else {
        const int fd = stream == u"closed input" ? 0 : 1;
        modify = [fd] { ::close(fd); };
    }
    const Run r = runBytes(arguments, modify, stream == u"full output" ? output : QString());
    QVERIFY2(r.exitCode == exitCode, r.err.constData());
    QVERIFY2(r.err.contains(message), r.err.constData());
}

// Every output a command writes is checked before it writes any: a name
// too long for its folder fails before the report is written.
void tst_DataTool::outputs_checkedBeforeAnythingIsWritten()
{
    const QDir folder(m_dir.filePath(u"checked"_s));
    QVERIFY(folder.mkpath(u"."_s));
    const QString text = write(u"checked/t.txt"_s, "中国人龘\n");
    QVERIFY(!text.isEmpty());
    const Run r = run({u"vocab"_s, u"--unknown-to"_s, folder.filePath(QString(256, u'n')), text});
    QVERIFY2(r.exitCode == 1, r.err.constData());
    QVERIFY2(r.err.contains("Le nom du fichier est trop long"), r.err.constData());
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"t.txt"_s});
}
#endif

QTEST_GUILESS_MAIN(tst_DataTool)
#include "tst_datatool.moc"
