#include "dictionary/check.h"
#include "dictionary/loader.h"
#include "dictionary/pinyin.h"
#include "dictionary/reader.h"
#include "io/names.h"
#include "io/output.h"
#include "testsupport_files.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

class tst_Import : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ccCedictLine_data();
    void ccCedictLine();
    void toneMarks_data();
    void toneMarks();
    void skippedLines_data();
    void skippedLines();
    void lineEndsBomAndComments();
    void invalidUtf8_skippedOnAnyLine_data();
    void invalidUtf8_skippedOnAnyLine();
    void exactRepeatDropped();
    void tsvNormalised();
    void tsvHeadword_data();
    void tsvHeadword();
    void tsvFields_data();
    void tsvFields();
    void unusable_data();
    void unusable();
    void readWholeFile_refusesWhatIsNotAFile_data();
    void readWholeFile_refusesWhatIsNotAFile();
    void readWholeFile_accessDenied();
    void badExternalFileFallsBackWithMessage();
    void externalPathFromEnvironmentThenUserData();
    void externalPathFromEnvironment_takenAsItsBytes();
    void relativeXdgFolder_ignored_data();
    void relativeXdgFolder_ignored();
    void streamedLoad_sameTablesAsWholeText_data();
    void streamedLoad_sameTablesAsWholeText();
    void cachedLoadFollowsTheFile();
    void cacheFile_replacedNeverFollowed_data();
    void cacheFile_replacedNeverFollowed();
    void cachedLoad_readsTheCacheNotTheSource();
    void cacheOfAnotherDerivation_isNeverServed();
    void cacheOfAnotherCaseFolding_isNeverServed();
    void cachedLoad_mapsItsIndexes();
    void largeCache_checkedThroughAndReadAsWritten_data();
    void largeCache_checkedThroughAndReadAsWritten();
    void damagedCache_failsItsChecksumAndIsRebuilt_data();
    void damagedCache_failsItsChecksumAndIsRebuilt();
    void derivationId_followsTheSources();

private:
    QString write(const QByteArray &bytes, const QString &name = u"dict.u8"_s);
    static QString cacheFileOf(const QString &source);
    QTemporaryDir m_dir;
};

void tst_Import::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(u"verarov-test"_s);
    QVERIFY(m_dir.isValid());
}

QString tst_Import::write(const QByteArray &bytes, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

void tst_Import::ccCedictLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("headword");
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("gloss");
    QTest::addColumn<QString>("traditional"); // "" when the same
    QTest::addRow("simplified kept, senses joined")
            << QByteArray("一個勁兒 一个劲儿 [yi2 ge5 jin4 r5] /d'un coup/sans relâche/")
            << u"一个劲儿"_s << u"yí ge jìn r"_s << u"d'un coup / sans relâche"_s << u"一個勁兒"_s;
    QTest::addRow("u colon and capital")
            << QByteArray("綠 绿 [Lu:4] /vert/") << u"绿"_s << u"Lǜ"_s << u"vert"_s << u"綠"_s;
    QTest::addRow("senses trimmed, blanks collapsed, empty senses dropped")
            << QByteArray("好 好 [hao3] / bien  / /  bon   /") << u"好"_s << u"hǎo"_s
            << u"bien / bon"_s << u""_s;
    QTest::addRow("no closing slash")
            << QByteArray("好 好 [hao3] /bien") << u"好"_s << u"hǎo"_s << u"bien"_s << u""_s;
    QTest::addRow("fullwidth latin headword")
            << QByteArray("X光 Ｘ光 [X guang1] /radio/") << u"Ｘ光"_s << u"X guāng"_s << u"radio"_s
            << u"X光"_s;
    QTest::addRow("blanks before the first slash")
            << QByteArray("好 好 [hao3]   /bien/") << u"好"_s << u"hǎo"_s << u"bien"_s << u""_s;
    QTest::addRow("blanks inside the brackets")
            << QByteArray("你好 你好 [ ni3   hao3 ] /bonjour/") << u"你好"_s << u"nǐ hǎo"_s
            << u"bonjour"_s << u""_s;
    QTest::addRow("syllable without vowel")
            << QByteArray("呣 呣 [m2] /hein ?/") << u"呣"_s << u"ḿ"_s << u"hein ?"_s << u""_s;
    QTest::addRow("brackets inside the gloss")
            << QByteArray("了 了 [le5] /[particule] marque [aspect]/") << u"了"_s << u"le"_s
            << u"[particule] marque [aspect]"_s << u""_s;
}

void tst_Import::ccCedictLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, headword);
    QFETCH(QString, pinyin);
    QFETCH(QString, gloss);
    const ReadResult r = parseDictionary(line + '\n');
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.format, SourceFormat::CcCedict);
    QCOMPARE(r.entries.size(), 1);
    QCOMPARE(r.entries[0].headword, headword);
    QCOMPARE(r.entries[0].pinyin, pinyin);
    QCOMPARE(r.entries[0].gloss, gloss);
    QFETCH(QString, traditional);
    QCOMPARE(r.entries[0].traditional, traditional);
}

// The rows of tests/data/tone_cases.tsv, which the data tools' to_tsv.py
// must convert alike.
void tst_Import::toneMarks_data()
{
    QTest::addColumn<QString>("numbered");
    QTest::addColumn<QString>("marked");
    QFile f(QStringLiteral(VERAROV_TEST_DATA "/tone_cases.tsv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    int rows = 0;
    while (!f.atEnd()) {
        QString line = QString::fromUtf8(f.readLine());
        if (line.endsWith(u'\n'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        QCOMPARE(fields.size(), 3);
        QTest::addRow("%s: %s", qPrintable(fields[2]), qPrintable(fields[0]))
                << fields[0] << fields[1];
        ++rows;
    }
    QVERIFY(rows > 20);
}

void tst_Import::toneMarks()
{
    QFETCH(QString, numbered);
    QFETCH(QString, marked);
    const QString result = numberedToMarked(numbered);
    QCOMPARE(result, marked);
}

void tst_Import::skippedLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addRow("headword over 7") << QByteArray(
            "八八八八八八八八 八八八八八八八八 [ba1 ba1 ba1 ba1 ba1 ba1 ba1 ba1] /huit/");
    QTest::addRow("outside the BMP")
            << QByteArray("\xF0\xA0\x80\x80 \xF0\xA0\x80\x80 [he1] /rare/");
    QTest::addRow("control character") << QByteArray("好 好 [hao3] /bi\ten/");
    QTest::addRow("empty gloss") << QByteArray("好 好 [hao3] / / /");
    QTest::addRow("empty pinyin") << QByteArray("好 好 [] /bien/");
    QTest::addRow("no slash") << QByteArray("好 好 [hao3] bien");
    QTest::addRow("invalid utf-8") << QByteArray("好 好 [hao3] /bi\xC3"
                                                 "en/");
    QTest::addRow("only a slash after the pinyin") << QByteArray("好 好 [hao3] /");
    QTest::addRow("text before the first slash") << QByteArray("中國 中国 [Zhong1 guo2] Chine/");
    QTest::addRow("nothing after the pinyin") << QByteArray("好 好 [hao3]");
    QTest::addRow("headword beginning with a number sign") << QByteArray("好 #好 [hao3] /bien/");
    QTest::addRow("headword beginning with U+FEFF")
            << QByteArray("好 \xEF\xBB\xBF好 [hao3] /bien/");
}

void tst_Import::skippedLines()
{
    QFETCH(QByteArray, line);
    const QByteArray data = "一 一 [yi1] /un/\n" + line + "\n二 二 [er4] /deux/\n";
    const ReadResult r = parseDictionary(data);
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.entries.size(), 2);
    QCOMPARE(r.skipped.size(), 1);
    QCOMPARE(r.skipped[0].line, 2);
    QVERIFY(!r.skipped[0].reason.isEmpty());
}

void tst_Import::lineEndsBomAndComments()
{
    const QByteArray data = "\xEF\xBB\xBF# commentaire\r\n\r\n一 一 [yi1] /un/\r\n"
                            "  \n二 二 [er4] /deux/";
    const ReadResult r = parseDictionary(data);
    QVERIFY(r.error.isEmpty());
    QCOMPARE(r.entries.size(), 2);
    QCOMPARE(r.entries[0].gloss, u"un"_s);
    QCOMPARE(r.entries[1].gloss, u"deux"_s);
    QVERIFY(r.skipped.isEmpty());
}

void tst_Import::invalidUtf8_skippedOnAnyLine_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("line");
    QTest::addRow("first line") << QByteArray("\xFF\xFE\n一 一 [yi1] /un/\n") << 1;
    QTest::addRow("first line, TSV") << QByteArray("un\xC3\t\n一\tyī\tun\n") << 1;
    QTest::addRow("later line") << QByteArray("一 一 [yi1] /un/\n\xC3\n") << 2;
}

void tst_Import::invalidUtf8_skippedOnAnyLine()
{
    QFETCH(QByteArray, data);
    QFETCH(int, line);
    const ReadResult r = parseDictionary(data);
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.entries.size(), 1);
    QCOMPARE(r.skipped.size(), 1);
    QCOMPARE(r.skipped[0].line, line);
}

void tst_Import::exactRepeatDropped()
{
    const ReadResult r =
            parseDictionary("乐 乐 [le4] /joie/\n樂 乐 [le4] /joie/\n乐 乐 [yue4] /joie/\n");
    QCOMPARE(r.entries.size(), 2);
    QCOMPARE(r.repeats, 1);
}

void tst_Import::tsvNormalised()
{
    const ReadResult r = parseDictionary("一\t yī  yī \tun à un/un par un / \n");
    QCOMPARE(r.format, SourceFormat::Tsv);
    QCOMPARE(r.entries.size(), 1);
    QCOMPARE(r.entries[0].pinyin, u"yī yī"_s);
    QCOMPARE(r.entries[0].gloss, u"un à un / un par un"_s);
}

void tst_Import::tsvHeadword_data()
{
    QTest::addColumn<QByteArray>("line");  // second line, after a valid one
    QTest::addColumn<QString>("headword"); // empty: the line is skipped
    QTest::addRow("blanks around trimmed") << QByteArray(" 好 \thǎo\tbien") << u"好"_s;
    QTest::addRow("doubled blank reduced") << QByteArray("好  好\thǎo hǎo\tbien") << u"好 好"_s;
    QTest::addRow("ideographic space kept")
            << QByteArray("安宁\xE3\x80\x80\tān níng\tcalme") << u"安宁\u3000"_s;
    QTest::addRow("only blanks") << QByteArray("   \thǎo\tbien") << QString();
    QTest::addRow("number sign after blanks") << QByteArray("  #好\thǎo\tbien") << QString();
    QTest::addRow("U+FEFF on a later line") << QByteArray("\xEF\xBB\xBF好\thǎo\tbien") << QString();
}

void tst_Import::tsvHeadword()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, headword);
    const ReadResult r = parseDictionary("一\tyī\tun\n" + line + '\n');
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.format, SourceFormat::Tsv);
    if (headword.isEmpty()) {
        QCOMPARE(r.entries.size(), 1);
        QCOMPARE(r.skipped.size(), 1);
        QCOMPARE(r.skipped[0].line, 2);
    } else {
        QCOMPARE(r.entries.size(), 2);
        QCOMPARE(r.entries[1].headword, headword);
    }
}

void tst_Import::tsvFields_data()
{
    QTest::addColumn<QByteArray>("line");        // the only line
    QTest::addColumn<QString>("traditional");    // "" when the same
    QTest::addColumn<QString>("skipped");        // the reason, or "" when read
    QTest::addColumn<QByteArray>("writtenBack"); // toTsvLine of the entry
    QTest::addRow("three fields") << QByteArray("学习\txué xí\tétudier") << QString() << QString()
                                  << QByteArray("学习\txué xí\tétudier");
    QTest::addRow("fourth field: traditional")
            << QByteArray("学习\txué xí\tétudier\t學習") << u"學習"_s << QString()
            << QByteArray("学习\txué xí\tétudier\t學習");
    QTest::addRow("fourth field trimmed")
            << QByteArray("学习\txué xí\tétudier\t  學習 ") << u"學習"_s << QString()
            << QByteArray("学习\txué xí\tétudier\t學習");
    QTest::addRow("fourth field empty") << QByteArray("中\tzhōng\tmilieu\t") << QString()
                                        << QString() << QByteArray("中\tzhōng\tmilieu");
    QTest::addRow("fourth field the headword") << QByteArray("中\tzhōng\tmilieu\t中") << QString()
                                               << QString() << QByteArray("中\tzhōng\tmilieu");
    QTest::addRow("five fields") << QByteArray("学习\txué xí\tétudier\t學習\tx") << QString()
                                 << u"5 champs au lieu de 3 ou 4"_s << QByteArray();
    QTest::addRow("control character in the fourth")
            << QByteArray("学习\txué xí\tétudier\t學\x01習") << QString()
            << u"forme traditionnelle : caractère de contrôle"_s << QByteArray();
}

// Our TSV has three fields, or four with the traditional form; the first
// line tells the format either way.
void tst_Import::tsvFields()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, traditional);
    QFETCH(QString, skipped);
    QFETCH(QByteArray, writtenBack);
    const ReadResult r = parseDictionary("一\tyī\tun\n" + line + '\n');
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(r.format, SourceFormat::Tsv);
    if (!skipped.isEmpty()) {
        QCOMPARE(r.entries.size(), 1);
        QCOMPARE(r.skipped.size(), 1);
        QCOMPARE(r.skipped[0].reason, skipped);
        return;
    }
    QCOMPARE(r.entries.size(), 2);
    QCOMPARE(r.entries[1].traditional, traditional);
    QCOMPARE(toTsvLine(r.entries[1]).toUtf8(), writtenBack);
    // Alone, it tells the format too.
    const ReadResult alone = parseDictionary(line);
    QCOMPARE(alone.format, SourceFormat::Tsv);
    QCOMPARE(alone.entries.size(), 1);
}

void tst_Import::unusable_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("line");
    QTest::addRow("empty") << QByteArray() << 0;
    QTest::addRow("comments only") << QByteArray("# rien\n") << 0;
    QTest::addRow("unknown format") << QByteArray("# en-tête\nbonjour le monde\n") << 2;
    QTest::addRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10) << 1;
    QTest::addRow("twenty lines of neither format, then an entry")
            << QByteArray("bonjour\n").repeated(20).append("一 一 [yi1] /un/\n") << 1;
    QTest::addRow("nothing usable") << QByteArray("好 好 [hao3] / /\n") << 0;
}

void tst_Import::unusable()
{
    QFETCH(QByteArray, data);
    QFETCH(int, line);
    const ReadResult r = parseDictionary(data);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(r.errorLine, line);
}

void tst_Import::readWholeFile_refusesWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("path"); // "fifo": a FIFO made for the test
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QString>("reason");
    QTest::addRow("folder") << m_dir.path() << kMaxDictionaryBytes
                            << u"Le fichier spécifié est un dossier"_s;
    QTest::addRow("missing") << m_dir.filePath(u"absent.u8"_s) << kMaxDictionaryBytes
                             << u"Impossible de trouver le fichier spécifié"_s;
    QTest::addRow("larger than the limit")
            << write("一 一 [yi1] /un/\n", u"petit.u8"_s) << qint64(8)
            << u"fichier trop volumineux (plus de 8 octets)"_s;
#ifdef Q_OS_UNIX
    const QString notRegular = u"Le fichier spécifié n'est pas un fichier ordinaire"_s;
    QTest::addRow("FIFO, never waited for") << u"fifo"_s << kMaxDictionaryBytes << notRegular;
    QTest::addRow("device") << u"/dev/null"_s << kMaxDictionaryBytes << notRegular;
#endif
#ifdef Q_OS_LINUX
    // A regular file whose reported size (0) is not what it holds.
    QTest::addRow("more bytes than reported") << u"/proc/self/maps"_s << qint64(64)
                                              << u"fichier trop volumineux (plus de 64 octets)"_s;
#endif
}

void tst_Import::readWholeFile_refusesWhatIsNotAFile()
{
    QFETCH(QString, path);
    QFETCH(qint64, maxBytes);
    QFETCH(QString, reason);
#ifdef Q_OS_UNIX
    if (path == u"fifo") {
        path = m_dir.filePath(u"tube.u8"_s);
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
#endif
    QByteArray data("left over");
    QCOMPARE(readWholeFile(path, data, maxBytes), reason);
    QVERIFY(data.size() <= 9); // nothing kept of what was read
    if (maxBytes == kMaxDictionaryBytes)
        QVERIFY(loadExternal(path).failure.contains(reason));
}

void tst_Import::readWholeFile_accessDenied()
{
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        QSKIP("the superuser reads every file");
#endif
    const QString path = write("一 一 [yi1] /un/\n", u"prive.u8"_s);
    const ReadDenied denied(path);
    QVERIFY(denied.isSet());
    QByteArray data;
    QCOMPARE(readWholeFile(path, data), u"Accès au fichier refusé"_s);
}

void tst_Import::badExternalFileFallsBackWithMessage()
{
    const QString path = write("# en-tête\nbonjour le monde\n", u"mauvais.u8"_s);
    const Loaded loaded = loadExternal(path);
    QVERIFY(loaded.failure.contains(path));
    QVERIFY(loaded.failure.contains(u"ligne 2"_s));
    QVERIFY(loaded.path.isEmpty());

    const Loaded missing = loadExternal(m_dir.filePath(u"absent.u8"_s));
    QVERIFY(missing.failure.contains(u"Impossible de trouver le fichier spécifié"_s));

    const Loaded folder = loadExternal(m_dir.path());
    QVERIFY(!folder.failure.isEmpty());
}

void tst_Import::externalPathFromEnvironmentThenUserData()
{
    qunsetenv("VERAROV_DICTIONARY");
    QCOMPARE(externalDictionaryPath(), QString());

    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(QDir().mkpath(userDir));
    const QString userFile = QDir(userDir).filePath(u"dictionary.u8"_s);
    {
        QFile f(userFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("一 一 [yi1] /un/\n");
    }
    QCOMPARE(externalDictionaryPath(), userFile);
    const Loaded fromUser = loadDictionary();
    QCOMPARE(fromUser.path, userFile);
    QCOMPARE(fromUser.tables.entryCount(), 1);

    const QString named = write("二\tèr\tdeux\n", u"named.tsv"_s);
    qputenv("VERAROV_DICTIONARY", named.toLocal8Bit());
    QCOMPARE(externalDictionaryPath(), named);
    QCOMPARE(loadDictionary().tables.gloss(0), u"deux");
    qunsetenv("VERAROV_DICTIONARY");
    QFile::remove(userFile);
}

// A name that is not UTF-8 (GBK "文.tsv") opens that file, not the one its
// locale decoding names (U+FFFD), and is cached like any other.
void tst_Import::externalPathFromEnvironment_takenAsItsBytes()
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/\xce\xc4.tsv";
    QCOMPARE(Verarov::Io::writeWhole(Verarov::Io::decodeName(name), "二\tèr\tdeux\n"), QString());
    const QString twin = write("三\tsān\ttrois\n", QFileInfo(QFile::decodeName(name)).fileName());
    QVERIFY(twin.contains(QChar::ReplacementCharacter));
    qputenv("VERAROV_DICTIONARY", name);
    const QString path = externalDictionaryPath();
    const Loaded first = loadDictionary();
    const Loaded cached = loadDictionary();
    qunsetenv("VERAROV_DICTIONARY");
    QCOMPARE(Verarov::Io::encodeName(path), name);
    QCOMPARE(first.tables.gloss(0), u"deux");
    QVERIFY(!cached.cache.isEmpty());
    QCOMPARE(cached.tables.gloss(0), u"deux");
    QVERIFY(QFile::remove(twin));
#else
    QSKIP("names are bytes on Unix");
#endif
}

void tst_Import::relativeXdgFolder_ignored_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("fallback"); // under the home folder
    QTest::addRow("cache") << "XDG_CACHE_HOME"_ba << u".cache"_s;
    QTest::addRow("data") << "XDG_DATA_HOME"_ba << u".local/share"_s;
}

// A relative XDG folder is ignored, as the XDG base directories say: the
// cache is written, and the user's dictionary found, under the home folder,
// never in a folder relative to the current one.
void tst_Import::relativeXdgFolder_ignored()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QFETCH(QByteArray, variable);
    QFETCH(QString, fallback);
    QTemporaryDir work;
    const QDir home(work.filePath(u"home"_s));
    QVERIFY(home.mkpath(u"."_s));
    // Everything this changes is put back, whatever the outcome.
    struct Restore
    {
        QByteArray variable, value, home;
        QString current = QDir::currentPath();
        ~Restore()
        {
            qputenv(variable.constData(), value);
            qputenv("HOME", home);
            QDir::setCurrent(current);
            QStandardPaths::setTestModeEnabled(true);
        }
    } restore{variable, qgetenv(variable.constData()), qgetenv("HOME")};
    QStandardPaths::setTestModeEnabled(false);
    qputenv("HOME", QFile::encodeName(home.path()));
    QVERIFY(QDir::setCurrent(work.path()));
    qputenv(variable.constData(), fallback.toUtf8() + "-relative");
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    qputenv(variable.constData(), QFile::encodeName(home.filePath(fallback)));
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    qputenv(variable.constData(), fallback.toUtf8() + "-relative");

    const QByteArray tsv = "二\tèr\tdeux\n";
    if (variable == "XDG_DATA_HOME") {
        for (const QString &dir : {dataDir, userDir}) {
            QVERIFY(QDir().mkpath(dir));
            QCOMPARE(Verarov::Io::writeWhole(QDir(dir).filePath(u"dictionary.tsv"_s), tsv),
                     QString());
        }
        qunsetenv("VERAROV_DICTIONARY");
        QCOMPARE(externalDictionaryPath(), QDir(userDir).filePath(u"dictionary.tsv"_s));
    } else {
        const QString path = work.filePath(u"dictionary.tsv"_s);
        QCOMPARE(Verarov::Io::writeWhole(path, tsv), QString());
        loadExternal(path);
        const Loaded loaded = loadExternal(path); // from the cache
        QCOMPARE(loaded.tables.gloss(0), u"deux");
        QVERIFY2(loaded.cache.startsWith(home.filePath(u".cache/"_s)), qPrintable(loaded.cache));
        QVERIFY(QFileInfo::exists(loaded.cache));
        QVERIFY(!QFileInfo::exists(work.filePath(fallback + u"-relative"_s)));
    }
#else
    QSKIP("XDG folders are for Linux and the BSDs");
#endif
}

void tst_Import::streamedLoad_sameTablesAsWholeText_data()
{
    QTest::addColumn<bool>("ccCedict");
    QTest::addRow("TSV") << false;
    QTest::addRow("CC-CEDICT") << true;
}

// A file of a few megabytes, read in blocks into the compact store and
// compiled straight into the cache, gives the tables of its whole text
// parsed into a list and compiled in memory, and they keep every invariant.
// Lines cross the blocks, one is longer than a block, some are CRLF,
// repeated (some with another traditional form: still repeats), homographs,
// skipped, some give a traditional form, and the last has no line end.
void tst_Import::streamedLoad_sameTablesAsWholeText()
{
    QFETCH(bool, ccCedict);
    QRandomGenerator random(ccCedict ? 7 : 11);
    const QString hanzi = u"中国人大小山水火木好乐"_s;
    const QStringList syllables = {u"zhong1"_s, u"guo2"_s, u"ren2"_s, u"da4"_s, u"Shan1"_s,
                                   u"lu:4"_s};
    const QStringList words = {u"eau"_s, u"Été"_s, u"l'île"_s, u"œuvre"_s, u"(un) peu"_s,
                               u"fi！"_s, u"  vent  "_s, u"sur-le-champ"_s, u"中"_s};
    QByteArray text = "\xEF\xBB\xBF# made up\n";
    QByteArray previous;
    while (text.size() < (3 << 20)) {
        QString headword, pinyin, gloss;
        for (int n = random.bounded(1, 4); n > 0; --n) {
            headword += hanzi[random.bounded(int(hanzi.size()))];
            pinyin += (pinyin.isEmpty() ? u""_s : u" "_s)
                      + syllables[random.bounded(int(syllables.size()))];
        }
        for (int n = random.bounded(1, 5); n > 0; --n)
            gloss += words[random.bounded(int(words.size()))] + QString::number(random.bounded(30))
                     + u"/"_s;
        // The traditional form: at times another one, at times the headword.
        QString traditional = headword;
        if (random.bounded(3) == 0)
            traditional.replace(u'国', u'國').replace(u'乐', u'樂');
        QByteArray line =
                ccCedict ? (traditional + u' ' + headword + u" ["_s + pinyin + u"] /"_s + gloss)
                                   .toUtf8()
                         : (headword + u'\t' + numberedToMarked(pinyin) + u'\t' + gloss
                            + (random.bounded(2) ? u'\t' + traditional : QString()))
                                   .toUtf8();
        switch (random.bounded(40)) {
        case 0:
            line = previous; // an exact repeat
            break;
        case 3: // a repeat with another traditional form
            line = ccCedict ? "異 " + previous.sliced(previous.indexOf(' ') + 1)
                            : previous.split('\t').mid(0, 3).join('\t') + "\t異";
            break;
        case 1:
            line += "\r"; // CRLF
            break;
        case 2:
            line = "\xFF\xFE"; // not UTF-8: skipped
            break;
        default:
            break;
        }
        text += line + '\n';
        previous = line;
        if (text.size() > (1 << 20) && text.size() < (1 << 20) + 100)
            text += "x\t" + QByteArray(3 << 19, 'y') + "\tz\tw\n"; // longer than a block: skipped
    }
    text += previous.isEmpty() ? QByteArray("大\tdà\tgrand") : previous; // no line end
    const QString path = write(text, ccCedict ? u"stream.u8"_s : u"stream.tsv"_s);

    const ReadResult whole = parseDictionary(text);
    QVERIFY(whole.error.isEmpty());
    QVERIFY(whole.repeats > 0 && whole.skipped.size() > 1);
    const QByteArray expected = compile(whole.entries);
    const Loaded streamed = loadExternal(path, CacheUse::Rebuild);
    QVERIFY2(streamed.failure.isEmpty(), qPrintable(streamed.failure));
    QCOMPARE(streamed.skipped, int(whole.skipped.size()));
    QCOMPARE(streamed.repeats, whole.repeats);
    QVERIFY(streamed.tables.compiled() == expected);
    QVERIFY(streamed.tables.hasTraditionalForms());
    QCOMPARE(check(streamed.tables).violations, QList<QString>());
    QVERIFY(cacheIntact(cacheFileOf(path)));
}

void tst_Import::cachedLoadFollowsTheFile()
{
    const QString path = write("乐 乐 [le4] /joie/\n好 好 [hao3] /bien/\nxx\n", u"cache.u8"_s);
    const Loaded first = loadExternal(path);
    QCOMPARE(first.tables.entryCount(), 2);
    QCOMPARE(first.skipped, 1);
    const Loaded second = loadExternal(path); // from the cache
    QCOMPARE(second.tables.compiled(), first.tables.compiled());
    QCOMPARE(second.skipped, 1);

    // Same size, other content, edited later: the cache must not be used.
    const QDateTime before = QFileInfo(path).lastModified();
    write("乐 乐 [le4] /rire/\n好 好 [hao3] /bien/\nxx\n", u"cache.u8"_s);
    {
        QFile edited(path);
        QVERIFY(edited.open(QIODevice::ReadWrite));
        QVERIFY(edited.setFileTime(before.addSecs(10), QFileDevice::FileModificationTime));
    }
    const Loaded changed = loadExternal(path);
    QCOMPARE(changed.tables.gloss(0), u"rire");

    // A damaged cache is ignored.
    const QString cacheDir =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/dictionaries"_s;
    for (const QString &name : QDir(cacheDir).entryList(QDir::Files)) {
        QFile f(QDir(cacheDir).filePath(name));
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.resize(f.size() - 3);
    }
    QCOMPARE(loadExternal(path).tables.gloss(0), u"rire");
}

void tst_Import::cacheFile_replacedNeverFollowed_data()
{
    QTest::addColumn<QString>("kind"); // what stands in the cache file's place
#ifdef Q_OS_UNIX
    QTest::addRow("FIFO, never waited for") << u"fifo"_s;
    QTest::addRow("symbolic link to another file") << u"link"_s;
#endif
}

void tst_Import::cacheFile_replacedNeverFollowed()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    const QString path = write("好 好 [hao3] /bien/\n", kind + u".u8"_s);
    QCOMPARE(loadExternal(path).tables.entryCount(), 1);
    const QString cache = cacheFileOf(path);
    QVERIFY(QFile::remove(cache));
    const QString other = write("précieux", kind + u"-autre.txt"_s);
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(cache).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(other, cache));

    const Loaded loaded = loadExternal(path);
    QCOMPARE(loaded.tables.entryCount(), 1);
    QCOMPARE(loaded.tables.gloss(0), u"bien");
    QVERIFY(QFileInfo(cache).isFile() && !QFileInfo(cache).isSymLink());
    QFile kept(other);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("précieux"));
#endif
}

// The one cache file written for a source (the cache folder holds one per
// source path).
QString tst_Import::cacheFileOf(const QString &source)
{
    const QDir dir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                   + u"/dictionaries"_s);
    const QByteArray id = QCryptographicHash::hash(QFileInfo(source).absoluteFilePath().toUtf8(),
                                                   QCryptographicHash::Sha1)
                                  .toHex();
    return dir.filePath(QString::fromLatin1(id) + u".bin"_s);
}

namespace {

// Replaces the only occurrence of `from` in a file by `to`, same length.
bool patchFile(const QString &path, const QByteArray &from, const QByteArray &to)
{
    QFile file(path);
    if (from.size() != to.size() || !file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf(from);
    if (at < 0 || bytes.indexOf(from, at + 1) >= 0)
        return false;
    bytes.replace(at, from.size(), to);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

void tst_Import::cachedLoad_readsTheCacheNotTheSource()
{
    const QString path = write("乐 乐 [le4] /joie/\n", u"hit.u8"_s);
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
    const QString cache = cacheFileOf(path);
    QVERIFY(QFile::exists(cache));
    // Only the cache says "jOie": a load that parsed the source would say "joie".
    QVERIFY(patchFile(cache, utf16(u"joie"_s), utf16(u"jOie"_s)));
    QCOMPARE(loadExternal(path).tables.gloss(0), u"jOie");
}

void tst_Import::cacheOfAnotherDerivation_isNeverServed()
{
    const QString path = write("乐 乐 [le4] /joie/\n", u"stale.u8"_s);
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
    const QString cache = cacheFileOf(path);
    QVERIFY(patchFile(cache, utf16(u"joie"_s), utf16(u"jOie"_s)));
    // The same cache, written by a program that derives otherwise.
    QByteArray ours(8, Qt::Uninitialized);
    qToLittleEndian<quint64>(derivationId(), ours.data());
    QByteArray other(8, Qt::Uninitialized);
    qToLittleEndian<quint64>(derivationId() ^ 1, other.data());
    QVERIFY(patchFile(cache, ours, other));
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
    // and it was replaced by a current one.
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
}

void tst_Import::cacheOfAnotherCaseFolding_isNeverServed()
{
    const QString path = write("乐 乐 [le4] /joie/\n", u"folding.u8"_s);
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
    const QString cache = cacheFileOf(path);
    QVERIFY(patchFile(cache, utf16(u"joie"_s), utf16(u"jOie"_s)));
    // The same cache, written by a program whose Qt folds letter case by
    // another Unicode version: the cache header's folding version, after
    // the magic, the derivation, two counts, the source's size and stamp.
    QFile file(cache);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(40));
    QByteArray version = file.read(4);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(version.constData()) + 1, version.data());
    QVERIFY(file.seek(40) && file.write(version) == 4);
    file.close();
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
}

void tst_Import::cachedLoad_mapsItsIndexes()
{
    const QString path = write("樂 乐 [le4] /joie/\n好 好 [hao3] /bien/\n", u"mapped.u8"_s);
    loadExternal(path);
    const Tables tables = loadExternal(path).tables; // from the cache
    // The indexes are read in the mapped file, not built again.
    const char *begin = tables.compiled().constData();
    const char *section = tables.indexSection().data();
    QVERIFY(section >= begin
            && section + tables.indexSection().size() <= begin + tables.compiled().size());
    QVERIFY(indexesAgreeWithTexts(tables));
    // So are the learner lookup's: the folded French keys' and the
    // traditional writings'.
    QVERIFY(tables.hasTraditionalForms());
    for (const std::span<const quint32> tree :
         {tables.foldedFrenchTree(), tables.traditionalTree()}) {
        QVERIFY(!tree.empty());
        QVERIFY(reinterpret_cast<const char *>(tree.data()) >= section
                && reinterpret_cast<const char *>(tree.data() + tree.size())
                           <= section + tables.indexSection().size());
    }
}

void tst_Import::largeCache_checkedThroughAndReadAsWritten_data()
{
    // Where a number that points outside is put, counted back from the end
    // of a part of the cache, each over a megabyte: past the first piece of
    // it that the load checks.
    QTest::addColumn<int>("part"); // 0 the French key rows, 1 the folded keys, 2 the index section
    QTest::addColumn<int>("back"); // where, in bytes back from the part's end
    QTest::addRow("untouched") << -1 << 0;
    QTest::addRow("last French key's entry") << 0 << 4;
    QTest::addRow("last folded key's text") << 1 << 8;
    QTest::addRow("last row of the last prefix tree") << 2 << 4;
}

// A cache of several megabytes: its load checks it piece by piece, letting
// go of each piece's pages, which must read back as written; a number that
// points outside in a later piece is found as in the first.
void tst_Import::largeCache_checkedThroughAndReadAsWritten()
{
    QFETCH(int, part);
    QFETCH(int, back);
    QByteArray text;
    QRandomGenerator random(7);
    const QList<QByteArray> words = {"eau", "feu", "mer", "élève", "Ciel", "cœur"};
    for (int i = 0; i < 80000; ++i) {
        QString headword;
        for (int n = random.bounded(1, 4); n > 0; --n)
            headword += QChar(char16_t(0x4E00 + random.bounded(0x5000)));
        text += headword.toUtf8() + '\t' + "mā\t" + words[random.bounded(int(words.size()))]
                + QByteArray::number(i) + " / " + words[random.bounded(int(words.size()))] + '\n';
    }
    const QString path = write(text, u"large-%1.tsv"_s.arg(part + 1));
    const QByteArray expected = compile(parseDictionary(text).entries);
    const Loaded first = loadExternal(path, CacheUse::Rebuild); // written, then mapped
    QVERIFY2(first.failure.isEmpty(), qPrintable(first.failure));
    QVERIFY(first.tables.compiled() == expected);
    const quint32 entries = quint32(first.tables.entryCount());
    const quint32 frenchKeys = quint32(first.tables.frenchKeyCount());
    QVERIFY(!first.tables.hasTraditionalForms());

    if (part >= 0) {
        // The cache's header, then the compiled form's: the pool's size
        // is its fifth number.
        constexpr qint64 kCacheHeader = 80;
        constexpr qint64 kCompiledHeader = 36;
        QFile cache(cacheFileOf(path));
        QVERIFY(cache.open(QIODevice::ReadWrite) && cache.seek(kCacheHeader + 20));
        const quint32 poolUnits = qFromLittleEndian<quint32>(cache.read(4).constData());
        const qint64 frenchEnd =
                kCacheHeader + kCompiledHeader + qint64(entries) * (24 + 8 + 12) + frenchKeys * 12;
        const qint64 foldedEnd = frenchEnd + frenchKeys * 8;
        const qint64 poolEnd = foldedEnd + (qint64(poolUnits) * 2 + 3) / 4 * 4;
        const qint64 treesEnd = poolEnd + 16 + qint64(entries) * 2 * 4 * 2 + frenchKeys * 2 * 4 * 2;
        const qint64 ends[] = {frenchEnd, foldedEnd, treesEnd};
        QVERIFY(quint64(frenchKeys) * 8 > 1 << 20);
        QVERIFY(cache.seek(ends[part] - back));
        QByteArray outside(4, Qt::Uninitialized);
        qToLittleEndian<quint32>(0xfffffff0u, outside.data());
        QVERIFY(cache.write(outside) == 4);
    }
    // A cache that points outside is never used: the file is read again.
    const Loaded cached = loadExternal(path);
    QVERIFY2(cached.failure.isEmpty(), qPrintable(cached.failure));
    QCOMPARE(cached.cache.isEmpty(), part >= 0);
    QVERIFY(cached.tables.compiled() == expected);
    QVERIFY(indexesAgreeWithTexts(cached.tables));
}

void tst_Import::damagedCache_failsItsChecksumAndIsRebuilt_data()
{
    // How the cache is damaged: the bytes replaced (at the only place they
    // stand), or bytes added (positive) or cut (negative) at its end.
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("sizeChange");
    QTest::addRow("one letter of the text pool") << utf16(u"joie"_s) << utf16(u"jOie"_s) << 0;
    QTest::addRow("a byte added") << QByteArray() << QByteArray() << 1;
    QTest::addRow("last bytes cut") << QByteArray() << QByteArray() << -3;
}

void tst_Import::damagedCache_failsItsChecksumAndIsRebuilt()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, sizeChange);
    const QString path = write("乐 乐 [le4] /joie/\n好 好 [hao3] /bien/\n", u"checksum.u8"_s);
    QVERIFY(loadExternal(path, CacheUse::Rebuild).cache.isEmpty()); // built, not mapped
    const QString cache = cacheFileOf(path);
    QVERIFY(cacheIntact(cache));
    QCOMPARE(loadExternal(path).cache, cache);

    if (!from.isEmpty())
        QVERIFY(patchFile(cache, from, to));
    if (sizeChange != 0) {
        QFile file(cache);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() + sizeChange));
    }
    QVERIFY(!cacheIntact(cache));
    // A check stopped (the program ending) finds nothing wrong: no rebuild.
    const std::atomic<bool> stopped = true;
    QVERIFY(cacheIntact(cache, &stopped));

    const Loaded rebuilt = loadExternal(path, CacheUse::Rebuild);
    QCOMPARE(rebuilt.tables.gloss(0), u"joie");
    QVERIFY(cacheIntact(cache));
    QCOMPARE(loadExternal(path).tables.gloss(0), u"joie");
}

void tst_Import::derivationId_followsTheSources()
{
    // The identity is the hash of the sources as they are now: a change to
    // any of them retires every cache, with no number to bump by hand.
    const QDir root(QStringLiteral(VERAROV_SOURCE_DIR));
    QByteArray text = derivationVersion().toUtf8() + '\n';
    const QStringList sources = derivationSources();
    QVERIFY(sources.contains(u"src/dictionary/keys.cpp"_s));
    QVERIFY(sources.contains(u"src/dictionary/collation.cpp"_s));
    QVERIFY(sources.contains(u"src/dictionary/builder.cpp"_s));
    QVERIFY(sources.contains(u"src/dictionary/indexes.cpp"_s));
    QVERIFY(sources.contains(u"src/dictionary/prefixtree.cpp"_s));
    QVERIFY(sources.contains(u"src/dictionary/casefolding.cpp"_s));
    for (const QString &source : sources) {
        QFile file(root.filePath(source));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(source));
        text += source.toUtf8() + ' '
                + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
                + '\n';
    }
    const QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
    QCOMPARE(QByteArray::number(derivationId(), 16).rightJustified(16, '0'), digest.first(16));
}

QTEST_GUILESS_MAIN(tst_Import)
#include "tst_import.moc"
