#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "translate/headwordindex.h"
#include "testsupport_files.h"
#include "testsupport_translate.h"
#include "dictionary/text.h"
#include "translate/translator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cerrno>

#include <fcntl.h>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using Verarov::Dictionary::Entry;
using Verarov::Dictionary::Tables;
using Verarov::Translate::Outcome;
using Verarov::Translate::Translator;

namespace {

// Case variants on purpose: Ｘ光/ｘ光 (fullwidth), Σ/σ/ς, ẞ/ß, Kelvin sign
// and k, Deseret capital and small letters (outside the BMP).
const QList<Entry> kEntries = {
        {u"一"_s, u"yī"_s, u"un"_s},
        {u"一一"_s, u"yī yī"_s, u"un par un"_s},
        {u"一下"_s, u"yí xià"_s, u"un peu"_s},
        {u"下"_s, u"xià"_s, u" \t bas / dessous \r\n"_s},
        {u"好"_s, u"hǎo"_s, u"bon"_s},
        {u"好"_s, u"hào"_s, u"aimer"_s},
        {u"一丝不苟"_s, u"yī sī bù gǒu"_s, u"minutieux"_s},
        {u"一丝不苟"_s, u"yì sī bù gǒu"_s, u"scrupuleux"_s},
        {u"Ｘ光"_s, u"X guāng"_s, u"rayons X"_s},
        {u"ｘ光"_s, u"x guāng"_s, u"radio"_s},
        {u"一二三四五六七"_s, u"yī èr sān sì wǔ liù qī"_s, u"sept"_s},
        {u"一二三四五六七八"_s, u"yī èr sān sì wǔ liù qī bā"_s, u"huit"_s},
        {u"Σ下"_s, u"sigma xià"_s, u"sigma"_s},
        {u"ς下"_s, u"sigma xià"_s, u"sigma final"_s},
        {u"ß一"_s, u"ss yī"_s, u"eszett"_s},
        {u"\u212A一"_s, u"kelvin yī"_s, u"kelvin"_s},
        {u"𐐨下"_s, u"deseret xià"_s, u"deseret"_s},
        {u"é"_s, u"é"_s, u"accent"_s}, // two bytes in UTF-8
};

Tables fixture()
{
    static const Tables tables = Tables::fromCompiled(Verarov::Dictionary::compile(kEntries));
    return tables;
}

// Headword and pinyin of every entry of a headword, in entry order.
QStringList entriesOf(const QString &headword)
{
    QStringList result;
    for (int e = 0; e < fixture().entryCount(); ++e) {
        if (fixture().headword(e) == headword)
            result.append(headword + u'\t' + fixture().pinyin(e).toString());
    }
    return result;
}

// Headword and pinyin of each line of an output.
QStringList lines(const QByteArray &output)
{
    if (!output.startsWith("\xff\xfe"))
        return {u"no byte-order mark"_s};
    const QString text = QString::fromUtf16(
            reinterpret_cast<const char16_t *>(output.constData() + 2), (output.size() - 2) / 2);
    QStringList result;
    for (const QString &line : text.split(u"\r\n"_s, Qt::SkipEmptyParts))
        result.append(line.section(u'\t', 0, 1));
    return result;
}

#ifdef Q_OS_UNIX
// Sets a resource limit for the lifetime of the object.
class Limit
{
public:
    Limit(int resource, rlim_t soft) : m_resource(resource)
    {
        getrlimit(resource, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = soft;
        m_set = setrlimit(resource, &limit) == 0;
    }
    ~Limit() { setrlimit(m_resource, &m_saved); }
    bool isSet() const { return m_set; }

private:
    int m_resource;
    rlimit m_saved;
    bool m_set = false;
};
#endif

} // namespace

class tst_Translate : public QObject
{
    Q_OBJECT

private slots:
    void outputFileName_data();
    void outputFileName();
    void translate_data();
    void translate();
    void lineFormat_trimsOnlyTheGloss();
    void oddLength_translatesCompleteUnitsThenFails_data();
    void oddLength_translatesCompleteUnitsThenFails();
    void encodings_translateAsUtf16LE_data();
    void encodings_translateAsUtf16LE();
    void illFormedText_failsWithoutOutput_data();
    void illFormedText_failsWithoutOutput();
    void index_givesThePlainScanResult_data();
    void index_givesThePlainScanResult();
    void existingOutput_isReplaced();
    void missingInput_createsNoOutput();
    void badInput_isRefusedBeforeAnyOutput_data();
    void badInput_isRefusedBeforeAnyOutput();
    void output_replacesALinkNeverItsTarget_data();
    void output_replacesALinkNeverItsTarget();
    void accessDenied();
    void tooManyOpenFiles();
    void outputThatCannotBeCreated();
    void readOnlyOutput_isNotReplaced();
    void failedWrite_isReported();

private:
    Outcome run(const QByteArray &input, QByteArray *output, qint64 blockSize = 0);
    QStringList files() const;
    QTemporaryDir m_dir;
};

Outcome tst_Translate::run(const QByteArray &input, QByteArray *output, qint64 blockSize)
{
    const QString path = m_dir.filePath(u"texte.txt"_s);
    if (!writeFile(path, input))
        return {{}, u"fixture not written"_s};
    Translator translator;
    if (blockSize > 0)
        translator.setBlockSize(blockSize);
    const Outcome outcome = translator.translate(fixture(), path);
    *output = readAll(m_dir.filePath(u"texte.vare.txt"_s));
    return outcome;
}

// Every name in the folder, hidden ones included.
QStringList tst_Translate::files() const
{
    return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
}

void tst_Translate::outputFileName_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addRow("extension") << u"C:\\textes\\poeme.txt"_s << u"C:\\textes\\poeme.vare.txt"_s;
    QTest::addRow("none") << u"C:\\textes\\poeme"_s << u"C:\\textes\\poeme.vare"_s;
    QTest::addRow("dot in a backslash folder") << u"C:\\v1.2\\poeme"_s << u"C:\\v1.2\\poeme.vare"_s;
    QTest::addRow("dot in a slash folder") << u"dossier.v1/poeme"_s << u"dossier.v1/poeme.vare"_s;
    QTest::addRow("dot before a colon") << u"a.b:poeme"_s << u"a.b:poeme.vare"_s;
    QTest::addRow("last dot counts") << u"/t/a.b.txt"_s << u"/t/a.b.vare.txt"_s;
    QTest::addRow("trailing dot") << u"poeme."_s << u"poeme.vare."_s;
    QTest::addRow("leading dot") << u"/t/.texte"_s << u"/t/.vare.texte"_s;
}

void tst_Translate::outputFileName()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QCOMPARE(Verarov::Translate::outputFileName(input), output);
}

void tst_Translate::translate_data()
{
    QCOMPARE(entriesOf(u"好"_s).size(), 2);
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("expected");
    const QByteArray bom("\xff\xfe");
    QTest::addRow("empty") << QByteArray() << QStringList();
    QTest::addRow("greedy, never looking back")
            << utf16le(u"一一下"_s) << QStringList{u"一一\tyī yī"_s, u"下\txià"_s};
    QTest::addRow("byte-order mark is a unit like any other")
            << bom + utf16le(u"一一下"_s) << QStringList{u"一一\tyī yī"_s, u"下\txià"_s};
    QTest::addRow("no word across CR LF")
            << utf16le(u"一\r\n下"_s) << QStringList{u"一\tyī"_s, u"下\txià"_s};
    QTest::addRow("no word across TAB")
            << utf16le(u"一\t下"_s) << QStringList{u"一\tyī"_s, u"下\txià"_s};
    // Marked: "好" alone, 7D 59, would be a UTF-8 text.
    QTest::addRow("homographs in entry order") << bom + utf16le(u"好"_s) << entriesOf(u"好"_s);
    QTest::addRow("four characters, two entries")
            << utf16le(u"一丝不苟"_s) << entriesOf(u"一丝不苟"_s);
    QTest::addRow("only ASCII") << utf16le(u"Hello, world 42!\r\n"_s) << QStringList();
    QTest::addRow("case ignored for the first entry only")
            << utf16le(u"ｘ光"_s) << QStringList{u"Ｘ光\tX guāng"_s, u"ｘ光\tx guāng"_s};
    QTest::addRow("exact spelling, first entry")
            << utf16le(u"Ｘ光"_s) << QStringList{u"Ｘ光\tX guāng"_s};
    QTest::addRow("seven units") << utf16le(u"一二三四五六七"_s)
                                 << QStringList{u"一二三四五六七\tyī èr sān sì wǔ liù qī"_s};
    QTest::addRow("eight units never found")
            << utf16le(u"一二三四五六七八"_s)
            << QStringList{u"一二三四五六七\tyī èr sān sì wǔ liù qī"_s};
    QTest::addRow("final sigma folds to sigma")
            << utf16le(u"σ下"_s) << QStringList{u"Σ下\tsigma xià"_s};
    QTest::addRow("supplementary letters fold")
            << utf16le(u"𐐀下"_s) << QStringList{u"𐐨下\tdeseret xià"_s};
    QTest::addRow("lone high surrogate before a word")
            << utf16le(u"\xd801"_s + u"下"_s) << QStringList{u"下\txià"_s};
}

void tst_Translate::translate()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, expected);
    QFile::remove(m_dir.filePath(u"texte.vare.txt"_s));
    QVERIFY(writeFile(m_dir.filePath(u"texte.txt"_s), input));
    const QStringList before = files();
    QByteArray output;
    const Outcome outcome = run(input, &output);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(outcome.output, m_dir.filePath(u"texte.vare.txt"_s));
    QCOMPARE(files(), QStringList(before + QStringList{u"texte.vare.txt"_s}));
    QCOMPARE(lines(output), expected);
    QCOMPARE(outcome.entriesWritten, expected.size());
    QCOMPARE(outcome.unitsRead, input.size() / 2);
}

void tst_Translate::lineFormat_trimsOnlyTheGloss()
{
    QByteArray output;
    // Marked: "下" alone, 0B 4E, would be a UTF-8 text.
    QVERIFY(run("\xff\xfe" + utf16le(u"下"_s), &output).ok());
    QCOMPARE(output, QByteArray("\xff\xfe") + utf16le(u"下\txià\tbas / dessous\r\n"_s));
    QVERIFY(run(QByteArray(), &output).ok());
    QCOMPARE(output, QByteArray("\xff\xfe"));
}

void tst_Translate::oddLength_translatesCompleteUnitsThenFails_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("expected");
    // A lone byte that is not UTF-8 ("a" alone is a UTF-8 text).
    QTest::addRow("one byte") << QByteArray("\xC3") << QStringList();
    QTest::addRow("under fifteen bytes")
            << utf16le(u"一一下"_s) + 'x' << QStringList{u"一一\tyī yī"_s, u"下\txià"_s};
    QTest::addRow("long") << utf16le(u"好 abcdefgh 一一下"_s) + 'x'
                          << entriesOf(u"好"_s) + QStringList{u"一一\tyī yī"_s, u"下\txià"_s};
}

void tst_Translate::oddLength_translatesCompleteUnitsThenFails()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, expected);
    QByteArray output;
    const Outcome outcome = run(input, &output);
    QCOMPARE(outcome.error, u"Lecture au-delà de la fin de fichier"_s);
    QCOMPARE(outcome.output, m_dir.filePath(u"texte.vare.txt"_s));
    QCOMPARE(lines(output), expected);
}

namespace {
QByteArray utf16be(const QString &text)
{
    QByteArray bytes = utf16le(text);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}
} // namespace

// The same text in every encoding the translation reads gives, line for
// line, the output of its UTF-16LE form, whatever the blocks read.
void tst_Translate::encodings_translateAsUtf16LE_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("input");
    const QList<QString> texts = {
            u"一一下\r\n好，Ｘ光 一丝不苟\n"_s,
            u"𐐀下 ß一 abc"_s, // four-byte UTF-8, supplementary letters
            u"一"_s,
            u"é"_s, // two bytes in UTF-8: decoded only at the end
    };
    for (qsizetype t = 0; t < texts.size(); ++t) {
        const QString &text = texts[t];
        QTest::addRow("UTF-8 without mark, text %d", int(t)) << text << text.toUtf8();
        QTest::addRow("UTF-8 with mark, text %d", int(t))
                << text << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::addRow("UTF-16BE with mark, text %d", int(t))
                << text << QByteArray("\xFE\xFF") + utf16be(text);
        QTest::addRow("UTF-16LE with mark, text %d", int(t))
                << text << QByteArray("\xFF\xFE") + utf16le(text);
    }
}

void tst_Translate::encodings_translateAsUtf16LE()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, input);
    QByteArray expected;
    QVERIFY(run(utf16le(text), &expected).ok());
    QVERIFY(expected.size() > 2);
    for (const qint64 block : {0, 1, 2, 3, 5}) {
        QByteArray output;
        const Outcome outcome = run(input, &output, block);
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
        QCOMPARE(output, expected);
    }
}

// What is neither UTF-8 nor marked is read as UTF-16LE, as it always was;
// a marked text that breaks its encoding fails, naming where, and leaves
// no output.
void tst_Translate::illFormedText_failsWithoutOutput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("error"); // empty: read as UTF-16LE
    QTest::addRow("UTF-8 with a NUL byte is UTF-16LE")
            << QByteArray("\xE4\xB8\x80\0", 4) + utf16le(u"一"_s) << QString();
    // 二 is 8C 4E: a byte 8C cannot begin a UTF-8 character.
    QTest::addRow("no NUL, not UTF-8, no mark, is UTF-16LE") << utf16le(u"二下"_s) << QString();
    QTest::addRow("UTF-8 cut short, no mark, is UTF-16LE") << QByteArray("\xE4\xB8\x8B"
                                                                         "a"
                                                                         "\xE4\xB8")
                                                           << QString();
    QTest::addRow("UTF-8 mark then an invalid byte")
            << QByteArray("\xEF\xBB\xBF\xE4\xB8\x80\xFF")
            << u"séquence UTF-8 invalide à la position 6"_s;
    QTest::addRow("UTF-8 mark then a cut character")
            << QByteArray("\xEF\xBB\xBF\xE4\xB8") << u"caractère UTF-8 coupé"_s;
    QTest::addRow("UTF-16BE mark then an odd byte")
            << QByteArray("\xFE\xFF") + utf16be(u"一"_s) + 'x' << u"nombre impair d'octets"_s;
}

void tst_Translate::illFormedText_failsWithoutOutput()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, error);
    QFile::remove(m_dir.filePath(u"texte.vare.txt"_s));
    QByteArray output;
    const Outcome outcome = run(input, &output);
    if (error.isEmpty()) {
        QByteArray expected;
        QVERIFY(run(QByteArray("\xFF\xFE") + input, &expected).ok());
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
        QCOMPARE(output, expected);
        return;
    }
    QVERIFY2(outcome.error.contains(error), qPrintable(outcome.error));
    QVERIFY(outcome.error.contains(m_dir.filePath(u"texte.txt"_s)));
    QVERIFY(!QFile::exists(m_dir.filePath(u"texte.vare.txt"_s)));
    QCOMPARE(files(), QStringList{u"texte.txt"_s});
}

void tst_Translate::index_givesThePlainScanResult_data()
{
    QTest::addColumn<qint64>("blockSize");
    QTest::addRow("one byte at a time") << qint64(1);
    QTest::addRow("three bytes") << qint64(3);
    QTest::addRow("fourteen bytes") << qint64(14);
    QTest::addRow("odd block") << qint64(101);
    QTest::addRow("default blocks") << qint64(0);
}

void tst_Translate::index_givesThePlainScanResult()
{
    QFETCH(qint64, blockSize);
    // Units the dictionary holds, their case variants and the units that
    // end words, drawn at random, plus an odd byte now and then.
    const QString alphabet = u"一下好丝不苟二三四五六七八光ＸｘΣσςßẞ\u212AkKsS \r\n\t\ufeffaA。"_s;
    const QStringList pieces = {u"𐐀"_s,      u"𐐨"_s,        u"\xd801"_s,
                                u"\xdc28"_s, u"一丝不苟"_s, u"一二三四五六七"_s,
                                u"ｘ光"_s,   u"Ｘ光"_s};
    QRandomGenerator random(20240517);
    for (int round = 0; round < 60; ++round) {
        QString text;
        const int length = int(random.bounded(1, 400));
        while (text.size() < length) {
            if (random.bounded(8) == 0)
                text += pieces[random.bounded(int(pieces.size()))];
            else
                text += alphabet[random.bounded(int(alphabet.size()))];
        }
        QByteArray input = utf16le(text);
        if (random.bounded(4) == 0)
            input.append(char(random.bounded(256)));
        QByteArray output;
        const Outcome outcome = run(input, &output, blockSize);
        QCOMPARE(output, plainScan(fixture(), input));
        QCOMPARE(outcome.ok(), input.size() % 2 == 0);
    }
}

// The file that had the output's name is replaced, keeping its permissions
// (here readable by its owner and group only, which no umask gives).
void tst_Translate::existingOutput_isReplaced()
{
    const QString path = m_dir.filePath(u"texte.vare.txt"_s);
    QVERIFY(writeFile(path, QByteArray(10000, 'z')));
    const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                    | QFile::ReadUser | QFile::WriteUser;
    QVERIFY(QFile::setPermissions(path, kept));
    QByteArray output;
    QVERIFY(run("\xff\xfe" + utf16le(u"好"_s), &output).ok());
    QCOMPARE(lines(output), entriesOf(u"好"_s));
#ifdef Q_OS_UNIX
    QCOMPARE(QFile::permissions(path), kept);
#endif
}

void tst_Translate::missingInput_createsNoOutput()
{
    Translator translator;
    const QString input = m_dir.filePath(u"absent.txt"_s);
    const Outcome outcome = translator.translate(fixture(), input);
    QCOMPARE(outcome.error, u"Impossible de trouver le fichier spécifié"_s);
    QVERIFY(outcome.output.isEmpty());
    QVERIFY(!QFile::exists(m_dir.filePath(u"absent.vare.txt"_s)));
}

void tst_Translate::badInput_isRefusedBeforeAnyOutput_data()
{
    QTest::addColumn<QString>("kind"); // what stands under the name
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    const QString folder = u"Le fichier spécifié est un dossier"_s;
    QTest::addRow("folder") << u"folder"_s << u"dossier"_s << folder;
    QTest::addRow("folder with a trailing slash") << u"folder"_s << u"dossier/"_s << folder;
    QTest::addRow("folder with a dot") << u"folder"_s << u"dossier.txt"_s << folder;
    QTest::addRow("file taken for a folder")
            << u"file"_s << u"texte.txt/autre.txt"_s
            << u"Une partie du chemin d'accès n'est pas un dossier"_s;
    QTest::addRow("name too long") << u"none"_s << u"n"_s.repeated(300) + u".txt"_s
                                   << u"Le nom du fichier est trop long"_s;
#ifdef Q_OS_UNIX
    QTest::addRow("FIFO, never waited for")
            << u"fifo"_s << u"tube.txt"_s
            << u"Le fichier spécifié n'est pas un fichier ordinaire"_s;
    QTest::addRow("links in a loop") << u"loop"_s << u"boucle.txt"_s
                                     << u"Trop de liens symboliques dans le chemin d'accès"_s;
#endif
}

void tst_Translate::badInput_isRefusedBeforeAnyOutput()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, error);
    const QString path = m_dir.filePath(name);
    const QString stem = m_dir.filePath(name.section(u'/', 0, 0));
    QVERIFY(writeFile(m_dir.filePath(u"texte.txt"_s), utf16le(u"好"_s)));
    if (kind == u"folder")
        QVERIFY(QDir().mkpath(stem));
#ifdef Q_OS_UNIX
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == u"loop")
        QVERIFY(QFile::link(path, path));
#endif
    const QStringList before = files();
    const Outcome outcome = Translator().translate(fixture(), path);
    QCOMPARE(outcome.error, error);
    QVERIFY(outcome.output.isEmpty());
    QCOMPARE(files(), before); // nothing created, not even inside the folder
    if (kind == u"folder")
        QVERIFY(QDir(stem).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    if (kind == u"folder")
        QVERIFY(QDir(stem).removeRecursively());
    else if (kind != u"file")
        QFile::remove(stem);
}

void tst_Translate::output_replacesALinkNeverItsTarget_data()
{
    QTest::addColumn<QString>("link");   // "symbolic" or "hard"
    QTest::addColumn<QString>("target"); // what the output name leads to
#ifdef Q_OS_UNIX
    QTest::addRow("symbolic link to the input") << u"symbolic"_s << u"texte.txt"_s;
    QTest::addRow("hard link to the input") << u"hard"_s << u"texte.txt"_s;
    QTest::addRow("symbolic link to another file") << u"symbolic"_s << u"autre.txt"_s;
    QTest::addRow("hard link to another file") << u"hard"_s << u"autre.txt"_s;
    QTest::addRow("dangling symbolic link") << u"symbolic"_s << u"absent.txt"_s;
#endif
}

void tst_Translate::output_replacesALinkNeverItsTarget()
{
#ifndef Q_OS_UNIX
    QSKIP("needs links");
#else
    QFETCH(QString, link);
    QFETCH(QString, target);
    const QByteArray input = utf16le(u"一一下好"_s);
    const QByteArray other = utf16le(u"autre chose"_s);
    const QString inputPath = m_dir.filePath(u"texte.txt"_s);
    const QString outputPath = m_dir.filePath(u"texte.vare.txt"_s);
    const QString targetPath = m_dir.filePath(target);
    QVERIFY(writeFile(inputPath, input));
    QVERIFY(writeFile(m_dir.filePath(u"autre.txt"_s), other));
    QFile::remove(m_dir.filePath(u"absent.txt"_s));
    QFile::remove(outputPath);
    if (link == u"symbolic")
        QVERIFY(QFile::link(targetPath, outputPath));
    else
        QCOMPARE(::link(QFile::encodeName(targetPath).constData(),
                        QFile::encodeName(outputPath).constData()),
                 0);

    const Outcome outcome = Translator().translate(fixture(), inputPath);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QVERIFY(!QFileInfo(outputPath).isSymLink());
    QCOMPARE(readAll(outputPath), plainScan(fixture(), input));
    QCOMPARE(readAll(inputPath), input);
    QCOMPARE(readAll(m_dir.filePath(u"autre.txt"_s)), other);
    QVERIFY(!QFile::exists(m_dir.filePath(u"absent.txt"_s)));
#endif
}

void tst_Translate::accessDenied()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("the superuser reads every file");
#endif
    const QString input = m_dir.filePath(u"prive.txt"_s);
    QVERIFY(writeFile(input, utf16le(u"好"_s)));
    const ReadDenied denied(input);
    QVERIFY(denied.isSet());
    Translator translator;
    QCOMPARE(translator.translate(fixture(), input).error, u"Accès au fichier refusé"_s);
}

void tst_Translate::tooManyOpenFiles()
{
#ifndef Q_OS_UNIX
    QSKIP("needs resource limits");
#else
    const QString input = m_dir.filePath(u"texte.txt"_s);
    QVERIFY(writeFile(input, utf16le(u"好"_s)));
    // The limit is the next free descriptor: the next open fails.
    const int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    QVERIFY(next >= 0);
    ::close(next);
    Outcome outcome;
    {
        const Limit limit(RLIMIT_NOFILE, rlim_t(next));
        QVERIFY(limit.isSet());
        outcome = Translator().translate(fixture(), input);
    }
    QCOMPARE(outcome.error, u"Trop de fichiers ouverts"_s);
#endif
}

void tst_Translate::outputThatCannotBeCreated()
{
    const QString input = m_dir.filePath(u"texte.txt"_s);
    QVERIFY(writeFile(input, utf16le(u"好"_s)));
    const QString output = m_dir.filePath(u"texte.vare.txt"_s);
    QFile::remove(output);
    QVERIFY(QDir(m_dir.path()).mkpath(u"texte.vare.txt"_s)); // a folder holds the name
    const Outcome outcome = Translator().translate(fixture(), input);
    QVERIFY(QDir(m_dir.path()).rmdir(u"texte.vare.txt"_s));
    QCOMPARE(outcome.error, u"Impossible de créer le fichier \"%1\". Accès refusé"_s.arg(output));
}

void tst_Translate::readOnlyOutput_isNotReplaced()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("the superuser writes every file");
#endif
    const QString input = m_dir.filePath(u"texte.txt"_s);
    const QString output = m_dir.filePath(u"texte.vare.txt"_s);
    QVERIFY(writeFile(input, utf16le(u"好"_s)));
    QFile::remove(output);
    QVERIFY(writeFile(output, "previous"));
    QVERIFY(QFile::setPermissions(output, QFileDevice::ReadOwner));
    const Outcome outcome = Translator().translate(fixture(), input);
    QFile::setPermissions(output, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(outcome.error, u"Impossible de créer le fichier \"%1\". Accès refusé"_s.arg(output));
    QCOMPARE(readAll(output), QByteArray("previous"));
}

void tst_Translate::failedWrite_isReported()
{
#ifndef Q_OS_UNIX
    QSKIP("needs resource limits");
#else
    // A file size limit fails the writes past it, like a full disk: the
    // output that stood under the name stays as it was, nothing is added.
    const QString input = m_dir.filePath(u"long.txt"_s);
    const QString output = m_dir.filePath(u"long.vare.txt"_s);
    QVERIFY(writeFile(input, utf16le(u"好一丝不苟"_s.repeated(2000))));
    QVERIFY(writeFile(output, "previous"));
    const QStringList before = files();
    Outcome outcome;
    {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        const Limit limit(RLIMIT_FSIZE, 4096);
        QVERIFY(limit.isSet());
        outcome = Translator().translate(fixture(), input);
        std::signal(SIGXFSZ, previous);
    }
    QCOMPARE(outcome.error, u"Le fichier dépasse la taille permise"_s);
    QVERIFY(outcome.output.isEmpty());
    QCOMPARE(readAll(output), QByteArray("previous"));
    QCOMPARE(files(), before);
#endif
}

QTEST_GUILESS_MAIN(tst_Translate)
#include "tst_translate.moc"
