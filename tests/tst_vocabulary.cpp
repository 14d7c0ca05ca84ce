#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "translate/headwordindex.h"
#include "translate/textdecoder.h"
#include "translate/translator.h"
#include "translate/vocabulary.h"
#include "testsupport_files.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;
using Verarov::Dictionary::Entry;
using Verarov::Dictionary::Tables;
using namespace Verarov::Translate;

Q_DECLARE_METATYPE(TextEncoding)
Q_DECLARE_METATYPE(ReportFormat)

namespace {

// Homographs (好, 一丝不苟), case variants (Ｘ光/ｘ光), a word whose characters are
// no entries of their own (丝 in 一丝不苟), a word outside the BMP, and
// glosses that need quoting or escaping in some output format.
const QList<Entry> kEntries = {
        {u"一"_s, u"yī"_s, u"un"_s},
        {u"一一"_s, u"yī yī"_s, u"un par un"_s},
        {u"下"_s, u"xià"_s, u" \t bas / dessous \r\n"_s},
        {u"好"_s, u"hǎo"_s, u"bon"_s},
        {u"好"_s, u"hào"_s, u"aimer"_s},
        {u"一丝不苟"_s, u"yī sī bù gǒu"_s, u"minutieux"_s},
        {u"一丝不苟"_s, u"yì sī bù gǒu"_s, u"scrupuleux"_s},
        {u"Ｘ光"_s, u"X guāng"_s, u"rayons X"_s},
        {u"ｘ光"_s, u"x guāng"_s, u"radio"_s},
        {u"说"_s, u"shuō"_s, u"dire, parler / \"citer\""_s},
        {u"和"_s, u"hé"_s, u"et <avec> & aussi"_s},
        {u"文\t字"_s, u"wén zì"_s, u"jamais trouvé"_s},
        {u"𠀀"_s, u"hē"_s, u"rare, hors du plan de base"_s},
        {u"换"_s, u"huàn"_s, u"changer\nd'avis"_s},
};

Tables fixture()
{
    static const Tables tables = Tables::fromCompiled(Verarov::Dictionary::compile(kEntries));
    return tables;
}

const HeadwordIndex &fixtureIndex()
{
    static const HeadwordIndex index(fixture());
    return index;
}

QByteArray utf16be(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xff));
    }
    return bytes;
}

struct Decoded
{
    QString text;
    qint64 errorOffset = -1;
};

// Decodes bytes given in blocks of blockSize.
Decoded decodeInBlocks(const QByteArray &bytes, TextEncoding encoding, qsizetype blockSize)
{
    TextDecoder decoder(encoding);
    std::vector<char16_t> units;
    bool ok = true;
    for (qsizetype at = 0; ok && at < bytes.size(); at += blockSize) {
        const std::size_t before = units.size();
        ok = decoder.decode(bytes.constData() + at, std::size_t(qMin(blockSize, bytes.size() - at)),
                            &units);
        // A pair is never split between two calls.
        if (units.size() > before && QChar::isHighSurrogate(units.back()))
            return {u"pair split"_s, -2};
    }
    if (ok)
        ok = decoder.finish(&units);
    // Not QString::fromUtf16, which would drop a leading U+FEFF.
    return {QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size())),
            ok ? -1 : decoder.errorOffset()};
}

// "headword pinyin count" per entry, in report order.
QStringList described(const std::vector<Vocabulary::EntryCount> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out.append(u"%1 %2 %3"_s.arg(fixture().headword(e.entry), fixture().pinyin(e.entry))
                           .arg(e.count));
    return out;
}

QStringList described(const std::vector<Vocabulary::CharacterCount> &characters)
{
    QStringList out;
    for (const auto &c : characters)
        out.append(QString::fromUcs4(&c.character, 1) + u' ' + QString::number(c.count));
    return out;
}

// Counts a text given as one or more texts (separated by '|').
void addTexts(Vocabulary &vocabulary, const QString &texts)
{
    for (const QString &text : texts.split(u'|')) {
        vocabulary.add(reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()));
        vocabulary.endText();
    }
}

} // namespace

class tst_Vocabulary : public QObject
{
    Q_OBJECT

private slots:
    void decoder_data();
    void decoder();
    void decoder_agreesWithQtOnRandomBytes();
    void decoder_errorTextNamesTheByte_data();
    void decoder_errorTextNamesTheByte();
    void chineseCharacter_data();
    void chineseCharacter();
    void counts_data();
    void counts();
    void unknownCharacters_data();
    void unknownCharacters();
    void leaveOut_data();
    void leaveOut();
    void minCount();
    void countsAgreeWithTheTranslation_data();
    void countsAgreeWithTheTranslation();
    void wordList_data();
    void wordList();
    void formats_data();
    void formats();
    void csv_formulasNotRun_data();
    void csv_formulasNotRun();
    void summary_data();
    void summary();
    void progressBar_data();
    void progressBar();
};

void tst_Vocabulary::decoder_data()
{
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");       // decoded before any error
    QTest::addColumn<qint64>("errorOffset"); // -1: valid
    const auto Detect = TextEncoding::Detect;
    const auto Utf8 = TextEncoding::Utf8;
    const auto LE = TextEncoding::Utf16LE;
    const auto BE = TextEncoding::Utf16BE;
    QTest::addRow("empty") << Detect << QByteArray() << QString() << qint64(-1);
    QTest::addRow("UTF-8") << Detect << u"a好𠀀é"_s.toUtf8() << u"a好𠀀é"_s << qint64(-1);
    QTest::addRow("UTF-8 mark dropped")
            << Detect << QByteArray("\xEF\xBB\xBF") + u"好"_s.toUtf8() << u"好"_s << qint64(-1);
    QTest::addRow("UTF-8 mark alone")
            << Detect << QByteArray("\xEF\xBB\xBF") << QString() << qint64(-1);
    QTest::addRow("second UTF-8 mark kept")
            << Detect << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") << u"\uFEFF"_s << qint64(-1);
    QTest::addRow("UTF-16LE by its mark")
            << Detect << QByteArray("\xFF\xFE") + utf16le(u"好𠀀a"_s) << u"好𠀀a"_s << qint64(-1);
    QTest::addRow("UTF-16BE by its mark")
            << Detect << QByteArray("\xFE\xFF") + utf16be(u"好𠀀a"_s) << u"好𠀀a"_s << qint64(-1);
    QTest::addRow("UTF-16LE mark alone")
            << Detect << QByteArray("\xFF\xFE") << QString() << qint64(-1);
    QTest::addRow("UTF-16LE forced, no mark") << LE << utf16le(u"好a"_s) << u"好a"_s << qint64(-1);
    QTest::addRow("UTF-16LE forced, its mark dropped")
            << LE << QByteArray("\xFF\xFE") + utf16le(u"好"_s) << u"好"_s << qint64(-1);
    QTest::addRow("UTF-16BE forced, no mark") << BE << utf16be(u"好a"_s) << u"好a"_s << qint64(-1);
    QTest::addRow("UTF-8 forced over a UTF-16 mark")
            << Utf8 << QByteArray("\xFF\xFE") + utf16le(u"a"_s) << QString() << qint64(0);
    QTest::addRow("UTF-16LE forced over a UTF-8 mark")
            << LE << QByteArray("\xEF\xBB\xBF\x00", 4) << u"\uBBEF\u00BF"_s << qint64(-1);
    QTest::addRow("NUL is text") << Detect << QByteArray("a\0b", 3) << u"a\u0000b"_s << qint64(-1);
    QTest::addRow("largest code point")
            << Detect << QByteArray("\xF4\x8F\xBF\xBF") << u"\U0010FFFF"_s << qint64(-1);
    QTest::addRow("U+FFFF") << Detect << QByteArray("\xEF\xBF\xBF") << u"\uFFFF"_s << qint64(-1);

    QTest::addRow("stray continuation byte")
            << Detect << QByteArray("ab\x80z") << u"ab"_s << qint64(2);
    QTest::addRow("lead byte then ASCII")
            << Detect << QByteArray("ab\xC3(") << u"ab"_s << qint64(2);
    QTest::addRow("three-byte lead cut by ASCII")
            << Detect << QByteArray("好\xE5\xA5z") << u"好"_s << qint64(3);
    QTest::addRow("overlong two bytes")
            << Detect << QByteArray("\xC0\x80") << QString() << qint64(0);
    QTest::addRow("overlong C1") << Detect << QByteArray("a\xC1\xBF") << u"a"_s << qint64(1);
    QTest::addRow("overlong three bytes")
            << Detect << QByteArray("a\xE0\x9F\xBF") << u"a"_s << qint64(1);
    QTest::addRow("overlong four bytes")
            << Detect << QByteArray("\xF0\x8F\xBF\xBF") << QString() << qint64(0);
    QTest::addRow("encoded surrogate")
            << Detect << QByteArray("a\xED\xA0\x80") << u"a"_s << qint64(1);
    QTest::addRow("above U+10FFFF")
            << Detect << QByteArray("\xF4\x90\x80\x80") << QString() << qint64(0);
    QTest::addRow("F5 lead") << Detect << QByteArray("\xF5\x80\x80\x80") << QString() << qint64(0);
    QTest::addRow("FF byte") << Detect << QByteArray("abc\xFF") << u"abc"_s << qint64(3);
    QTest::addRow("cut by the end") << Detect << QByteArray("a好\xE5\xA5") << u"a好"_s << qint64(4);
    QTest::addRow("cut by the end after its mark")
            << Detect << QByteArray("\xEF\xBB\xBF\xE5") << QString() << qint64(3);
    QTest::addRow("half a mark") << Detect << QByteArray("\xEF\xBB") << QString() << qint64(0);
    QTest::addRow("invalid after 5 valid blocks")
            << Detect << QByteArray(5000, 'a') + "\xC3(" << QString(5000, u'a') << qint64(5000);

    QTest::addRow("UTF-16LE lone low surrogate")
            << Detect << QByteArray("\xFF\xFE") + utf16le(u"a"_s) + QByteArray("\x00\xDC", 2)
            << u"a"_s << qint64(4);
    QTest::addRow("UTF-16LE high surrogate then a letter")
            << Detect
            << QByteArray("\xFF\xFE") + utf16le(u"a"_s) + QByteArray("\x00\xD8", 2)
                       + utf16le(u"b"_s)
            << u"a"_s << qint64(4);
    QTest::addRow("UTF-16LE high surrogate at the end")
            << LE << utf16le(u"ab"_s) + QByteArray("\x3D\xD8", 2) << u"ab"_s << qint64(4);
    QTest::addRow("UTF-16BE lone low surrogate")
            << BE << utf16be(u"a"_s) + QByteArray("\xDC\x00", 2) << u"a"_s << qint64(2);
    QTest::addRow("UTF-16LE odd byte at the end")
            << Detect << QByteArray("\xFF\xFE") + utf16le(u"好"_s) + "a" << u"好"_s << qint64(4);
    QTest::addRow("UTF-16 mark then one byte")
            << Detect << QByteArray("\xFE\xFF\x00", 3) << QString() << qint64(2);
}

// The same result whatever the blocks: characters and offsets cross them.
void tst_Vocabulary::decoder()
{
    QFETCH(TextEncoding, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(qint64, errorOffset);
    for (const qsizetype blockSize : {1, 2, 3, 5, 4096, 1 << 20}) {
        const Decoded decoded = decodeInBlocks(bytes, encoding, blockSize);
        QCOMPARE(decoded.text, text);
        QCOMPARE(decoded.errorOffset, errorOffset);
    }
}

// Random bytes, mostly well-formed UTF-8 with a few damaged bytes: valid
// exactly when Qt's own decoder finds no error, the same text, and an error
// offset whose prefix Qt decodes cleanly.
void tst_Vocabulary::decoder_agreesWithQtOnRandomBytes()
{
    QRandomGenerator random(20261215);
    const QString pool = u"a好𠀀é\n。Ｘ"_s;
    for (int round = 0; round < 3000; ++round) {
        QString text;
        for (int n = int(random.bounded(12)); n > 0; --n)
            text.append(pool[random.bounded(int(pool.size()))]);
        // Keep whole surrogate pairs.
        QString whole;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate()))
                continue;
            if (text[i].isHighSurrogate()
                && (i + 1 == text.size() || !text[i + 1].isLowSurrogate()))
                continue;
            whole.append(text[i]);
        }
        QByteArray bytes = whole.toUtf8();
        for (int n = int(random.bounded(3)); n > 0 && !bytes.isEmpty(); --n)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
            continue;

        const Decoded ours = decodeInBlocks(bytes, TextEncoding::Detect,
                                            1 + random.bounded(int(bytes.size()) + 1));
        QStringDecoder qt(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString theirs = qt(bytes);
        QVERIFY2((ours.errorOffset < 0) == !qt.hasError(), bytes.toHex(' ').constData());
        if (ours.errorOffset < 0) {
            QCOMPARE(ours.text, theirs);
        } else {
            QStringDecoder prefix(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString before = prefix(bytes.first(ours.errorOffset));
            QVERIFY2(!prefix.hasError(), bytes.toHex(' ').constData());
            QCOMPARE(ours.text, before);
        }
    }
}

void tst_Vocabulary::decoder_errorTextNamesTheByte_data()
{
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addRow("invalid UTF-8") << TextEncoding::Detect << QByteArray("abc\xC3(")
                                   << u"séquence UTF-8 invalide à la position 3 (octet 0xC3)"_s;
    QTest::addRow("cut UTF-8")
            << TextEncoding::Detect << QByteArray("ab\xE5\xA5")
            << u"caractère UTF-8 coupé par la fin du texte à la position 2 (octet 0xE5)"_s;
    QTest::addRow("lone surrogate")
            << TextEncoding::Utf16LE << QByteArray("a\x00\x00\xDC", 4)
            << u"moitié de paire de substitution UTF-16 isolée à la position 2 (0xDC00)"_s;
    QTest::addRow("odd length")
            << TextEncoding::Utf16BE
            << QByteArray("\x00"
                          "a"
                          "b",
                          3)
            << u"texte UTF-16 d'un nombre impair d'octets : octet seul à la position 2"_s;
}

void tst_Vocabulary::decoder_errorTextNamesTheByte()
{
    QFETCH(TextEncoding, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TextDecoder decoder(encoding);
    std::vector<char16_t> units;
    QVERIFY(!(decoder.decode(bytes.constData(), std::size_t(bytes.size()), &units)
              && decoder.finish(&units)));
    QCOMPARE(decoder.errorText(), message);
    // Stopped for good.
    QVERIFY(!decoder.decode("a", 1, &units));
    QVERIFY(!decoder.finish(&units));
}

void tst_Vocabulary::chineseCharacter_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<bool>("chinese");
    QTest::addRow("一 U+4E00") << 0x4E00u << true;
    QTest::addRow("U+9FFF") << 0x9FFFu << true;
    QTest::addRow("U+A000 (Yi)") << 0xA000u << false;
    QTest::addRow("extension A U+3400") << 0x3400u << true;
    QTest::addRow("U+4DC0 (hexagram)") << 0x4DC0u << false;
    QTest::addRow("〇 U+3007") << 0x3007u << true;
    QTest::addRow("。 U+3002") << 0x3002u << false;
    QTest::addRow("⺈ radical U+2E88") << 0x2E88u << false;
    QTest::addRow("compatibility U+F900") << 0xF900u << true;
    QTest::addRow("U+FB00 (ligature)") << 0xFB00u << false;
    QTest::addRow("Ｘ fullwidth") << 0xFF38u << false;
    QTest::addRow("𠀀 U+20000") << 0x20000u << true;
    QTest::addRow("U+3134A (extension G)") << 0x3134Au << true;
    QTest::addRow("U+1F50E (emoji)") << 0x1F50Eu << false;
    QTest::addRow("U+40000") << 0x40000u << false;
}

void tst_Vocabulary::chineseCharacter()
{
    QFETCH(uint, code);
    QFETCH(bool, chinese);
    QCOMPARE(isChineseCharacter(char32_t(code)), chinese);
}

void tst_Vocabulary::counts_data()
{
    QTest::addColumn<QString>("texts"); // '|' separates texts
    QTest::addColumn<QStringList>("entries");
    QTest::addRow("nothing found") << u"abc 。"_s << QStringList();
    QTest::addRow("most frequent first, ties in first-occurrence order")
            << u"下一一好说好"_s
            << QStringList{u"好 hào 2"_s, u"好 hǎo 2"_s, u"下 xià 1"_s, u"一一 yī yī 1"_s,
                           u"说 shuō 1"_s};
    QTest::addRow("longest match, then the rest")
            << u"一一一"_s << QStringList{u"一一 yī yī 1"_s, u"一 yī 1"_s};
    QTest::addRow("no word across a line break") << u"一\n一\r\n一"_s << QStringList{u"一 yī 3"_s};
    QTest::addRow("no word across two texts") << u"一|一"_s << QStringList{u"一 yī 2"_s};
    QTest::addRow("a word across blocks of one text is one word")
            << u"一丝不苟好"_s
            << QStringList{u"一丝不苟 yì sī bù gǒu 1"_s, u"一丝不苟 yī sī bù gǒu 1"_s,
                           u"好 hào 1"_s, u"好 hǎo 1"_s};
    QTest::addRow("case ignored: the first spelling, then the exact one")
            << u"ｘ光Ｘ光"_s << QStringList{u"Ｘ光 X guāng 2"_s, u"ｘ光 x guāng 1"_s};
    QTest::addRow("outside the BMP") << u"𠀀a𠀀"_s << QStringList{u"𠀀 hē 2"_s};
    QTest::addRow("a headword holding a TAB is never found") << u"文\t字"_s << QStringList();
}

void tst_Vocabulary::counts()
{
    QFETCH(QString, texts);
    QFETCH(QStringList, entries);
    // Whole, and in pieces of one code unit (pairs kept whole).
    Vocabulary whole(fixtureIndex());
    addTexts(whole, texts);
    QCOMPARE(described(whole.entries()), entries);

    Vocabulary pieces(fixtureIndex());
    for (const QString &text : texts.split(u'|')) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
            pieces.add(reinterpret_cast<const char16_t *>(text.utf16()) + i, std::size_t(n));
            i += n - 1;
        }
        pieces.endText();
    }
    QCOMPARE(described(pieces.entries()), entries);
}

void tst_Vocabulary::unknownCharacters_data()
{
    QTest::addColumn<QString>("texts");
    QTest::addColumn<QStringList>("unknown");
    QTest::addColumn<QList<qint64>>("figures"); // characters, Chinese, covered, distinct entries
    QTest::addRow("all known") << u"好 一一"_s << QStringList() << QList<qint64>{4, 3, 3, 3};
    QTest::addRow("unknown, most frequent first, then by first appearance")
            << u"龘好龘𠀁。丙"_s << QStringList{u"龘 2"_s, u"𠀁 1"_s, u"丙 1"_s}
            << QList<qint64>{6, 5, 1, 2};
    QTest::addRow("covered in a word, unknown alone")
            << u"丝一丝不苟丝"_s << QStringList{u"丝 2"_s} << QList<qint64>{6, 6, 4, 2};
    QTest::addRow("punctuation, radicals, letters are no characters")
            << u"。⺈Ｘa"_s << QStringList() << QList<qint64>{4, 0, 0, 0};
    QTest::addRow("across texts") << u"龘|龘好"_s << QStringList{u"龘 2"_s}
                                  << QList<qint64>{3, 3, 1, 2};
}

void tst_Vocabulary::unknownCharacters()
{
    QFETCH(QString, texts);
    QFETCH(QStringList, unknown);
    QFETCH(QList<qint64>, figures);
    Vocabulary vocabulary(fixtureIndex());
    addTexts(vocabulary, texts);
    QCOMPARE(described(vocabulary.unknownCharacters()), unknown);
    const Vocabulary::Figures f = vocabulary.figures();
    QCOMPARE((QList<qint64>{f.characters, f.chineseCharacters, f.covered, f.distinctEntries}),
             figures);
    qint64 occurrences = 0;
    for (const auto &c : vocabulary.unknownCharacters())
        occurrences += c.count;
    QCOMPARE(f.unknownCharacters, qint64(unknown.size()));
    QCOMPARE(f.unknownOccurrences, occurrences);
}

void tst_Vocabulary::leaveOut_data()
{
    QTest::addColumn<QStringList>("known");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("unknown");
    const QString text = u"好好一一龘丙下"_s;
    QTest::addRow("nothing known")
            << QStringList()
            << QStringList{u"好 hào 2"_s, u"好 hǎo 2"_s, u"一一 yī yī 1"_s, u"下 xià 1"_s}
            << QStringList{u"龘 1"_s, u"丙 1"_s};
    QTest::addRow("every reading of a headword")
            << QStringList{u"好"_s} << QStringList{u"一一 yī yī 1"_s, u"下 xià 1"_s}
            << QStringList{u"龘 1"_s, u"丙 1"_s};
    QTest::addRow("a character never found")
            << QStringList{u"龘"_s, u"一一"_s}
            << QStringList{u"好 hào 2"_s, u"好 hǎo 2"_s, u"下 xià 1"_s} << QStringList{u"丙 1"_s};
    QTest::addRow("exact spelling only, not a part")
            << QStringList{u"一"_s, u"下下"_s, u"ｘ光"_s}
            << QStringList{u"好 hào 2"_s, u"好 hǎo 2"_s, u"一一 yī yī 1"_s, u"下 xià 1"_s}
            << QStringList{u"龘 1"_s, u"丙 1"_s};
}

void tst_Vocabulary::leaveOut()
{
    QFETCH(QStringList, known);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, unknown);
    Vocabulary vocabulary(fixtureIndex());
    addTexts(vocabulary, u"好好一一龘丙下"_s);
    for (const QString &word : known)
        vocabulary.leaveOut(word);
    QCOMPARE(described(vocabulary.entries()), entries);
    QCOMPARE(described(vocabulary.unknownCharacters()), unknown);
    // The figures are those of the text.
    QCOMPARE(vocabulary.figures().distinctEntries, 4);
}

void tst_Vocabulary::minCount()
{
    Vocabulary vocabulary(fixtureIndex());
    addTexts(vocabulary, u"好好好一一一一龘龘丙下"_s);
    QCOMPARE(described(vocabulary.entries(3)), (QStringList{u"好 hào 3"_s, u"好 hǎo 3"_s}));
    QCOMPARE(described(vocabulary.entries(2)),
             (QStringList{u"好 hào 3"_s, u"好 hǎo 3"_s, u"一一 yī yī 2"_s}));
    QCOMPARE(described(vocabulary.unknownCharacters(2)), QStringList{u"龘 2"_s});
    QCOMPARE(described(vocabulary.unknownCharacters(3)), QStringList());
}

void tst_Vocabulary::countsAgreeWithTheTranslation_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 6; ++seed)
        QTest::addRow("random text %d", seed) << seed;
}

// The translation of a UTF-16LE file writes, line for line, what the
// vocabulary counts from the same file.
void tst_Vocabulary::countsAgreeWithTheTranslation()
{
    QFETCH(int, seed);
    QRandomGenerator random{quint32(seed)};
    const QStringList pieces{u"一"_s, u"一一"_s, u"下"_s,   u"好"_s, u"一丝不苟"_s,
                             u"丝"_s, u"ｘ光"_s, u"Ｘ光"_s, u"说"_s, u"𠀀"_s,
                             u"龘"_s, u"abc "_s, u"\r\n"_s, u"\t"_s, u"。"_s};
    QString text;
    for (int n = 0; n < 3000; ++n)
        text += pieces[random.bounded(int(pieces.size()))];

    QTemporaryDir dir;
    const QString path = dir.filePath(u"texte.txt"_s);
    QVERIFY(writeFile(path, QByteArray("\xFF\xFE") + utf16le(text)));
    Translator translator;
    const Outcome outcome = translator.translate(fixture(), path);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    const QByteArray output = readAll(outcome.output);
    const QStringList lines =
            QString::fromUtf16(reinterpret_cast<const char16_t *>(output.constData() + 2),
                               (output.size() - 2) / 2)
                    .split(u"\r\n"_s, Qt::SkipEmptyParts);
    QHash<QString, qint64> expected;
    for (const QString &line : lines)
        ++expected[line.section(u'\t', 0, 1)];

    const QByteArray bytes = readAll(path);
    Vocabulary vocabulary(fixtureIndex());
    TextDecoder decoder;
    for (qsizetype at = 0; at < bytes.size(); at += 1000)
        QVERIFY(vocabulary.addBytes(decoder, bytes.constData() + at,
                                    std::size_t(qMin<qsizetype>(1000, bytes.size() - at))));
    QVERIFY(vocabulary.endText(&decoder));
    QHash<QString, qint64> counted;
    for (const auto &e : vocabulary.entries())
        counted[fixture().headword(e.entry).toString() + u"\t"_s
                + fixture().pinyin(e.entry).toString()] = e.count;
    QCOMPARE(counted, expected);
}

void tst_Vocabulary::wordList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<qint64>("errorOffset");
    QTest::addRow("one a line") << QByteArray("好\n一一\n") << QStringList{u"好"_s, u"一一"_s}
                                << qint64(-1);
    QTest::addRow("an earlier report, mark and CRLF")
            << QByteArray("\xEF\xBB\xBF好\thǎo\tbon\t3\r\n一\tyī\tun\t1\r\n")
            << QStringList{u"好"_s, u"一"_s} << qint64(-1);
    QTest::addRow("blanks around, empty lines, no last line end")
            << QByteArray("  好 \n\n\t\r\n 一一") << QStringList{u"好"_s, u"一一"_s} << qint64(-1);
    QTest::addRow("CR alone ends a line")
            << QByteArray("好\r一") << QStringList{u"好"_s, u"一"_s} << qint64(-1);
    QTest::addRow("UTF-16LE list") << QByteArray("\xFF\xFE") + utf16le(u"好\r\n𠀀\tx\r\n"_s)
                                   << QStringList{u"好"_s, u"𠀀"_s} << qint64(-1);
    QTest::addRow("field too long is skipped, the next line kept")
            << QByteArray(100000, 'x') + "\t好\n一\n"
            << QStringList{u"一"_s} << qint64(-1);
    QTest::addRow("field at the limit is kept")
            << QByteArray(WordListReader::kMaxWord, 'x') + "\n"
            << QStringList{QString(WordListReader::kMaxWord, u'x')} << qint64(-1);
    QTest::addRow("field one past the limit is skipped")
            << QByteArray(WordListReader::kMaxWord + 1, 'x') + "\n好" << QStringList{u"好"_s}
            << qint64(-1);
    QTest::addRow("blanks past the limit are no part of the field")
            << QByteArray(WordListReader::kMaxWord, 'x') + "   \t1"
            << QStringList{QString(WordListReader::kMaxWord, u'x')} << qint64(-1);
    QTest::addRow("words before invalid bytes, then the error")
            << QByteArray("好\n一\xC3(\n") << QStringList{u"好"_s} << qint64(7);
}

void tst_Vocabulary::wordList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, words);
    QFETCH(qint64, errorOffset);
    for (const qsizetype blockSize : {1, 3, 1 << 20}) {
        WordListReader reader;
        QStringList got;
        const auto word = [&](QStringView w) { got.append(w.toString()); };
        bool ok = true;
        for (qsizetype at = 0; ok && at < bytes.size(); at += blockSize)
            ok = reader.add(bytes.constData() + at, std::size_t(qMin(blockSize, bytes.size() - at)),
                            word);
        if (ok)
            ok = reader.finish(word);
        QCOMPARE(got, words);
        QCOMPARE(ok ? qint64(-1) : reader.decoder().errorOffset(), errorOffset);
    }
}

void tst_Vocabulary::formats_data()
{
    QTest::addColumn<ReportFormat>("format");
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<QByteArray>("unknown");
    QTest::addRow("tsv: gloss trimmed, TAB and line breaks made blanks")
            << ReportFormat::Tsv
            << QByteArray(
                       "好\thǎo\tbon\t2\n下\txià\tbas / dessous\t1\n说\tshuō\tdire, parler / "
                       "\"citer\"\t1\n换\thuàn\tchanger d'avis\t1\n和\thé\tet <avec> & aussi\t1\n")
            << QByteArray("龘\t2\n𠀁\t1\n");
    QTest::addRow("csv: quoted where needed, CRLF")
            << ReportFormat::Csv
            << QByteArray("好,hǎo,bon,2\r\n下,xià,bas / dessous,1\r\n说,shuō,\"dire, parler / "
                          "\"\"citer\"\"\",1\r\n换,huàn,\"changer\nd'avis\",1\r\n"
                          "和,hé,et <avec> & aussi,1\r\n")
            << QByteArray("龘,2\r\n𠀁,1\r\n");
    QTest::addRow("anki: settings, then front TAB back as HTML")
            << ReportFormat::Anki
            << QByteArray(
                       "#separator:tab\n#html:true\n好\thǎo<br>bon\n下\txià<br>bas / dessous\n"
                       "说\tshuō<br>dire, parler / &quot;citer&quot;\n换\thuàn<br>changer d'avis\n"
                       "和\thé<br>et &lt;avec&gt; &amp; aussi\n")
            << QByteArray("龘\t2\n𠀁\t1\n");
}

void tst_Vocabulary::formats()
{
    QFETCH(ReportFormat, format);
    QFETCH(QByteArray, entries);
    QFETCH(QByteArray, unknown);
    Vocabulary vocabulary(fixtureIndex());
    addTexts(vocabulary, u"好好下说换和龘龘𠀁"_s);
    // 好 has two readings: keep one, hǎo, to keep the rows short.
    std::vector<Vocabulary::EntryCount> rows = vocabulary.entries();
    rows.erase(rows.begin());
    QCOMPARE(formatEntries(fixture(), rows, format), entries);
    QCOMPARE(formatUnknown(vocabulary.unknownCharacters(), format), unknown);
}

// A CSV field a spreadsheet would run as a formula (=, +, - or @ first) is
// written as text: quoted, after an apostrophe.
void tst_Vocabulary::csv_formulasNotRun_data()
{
    QTest::addColumn<QString>("gloss");
    QTest::addColumn<QByteArray>("line");
    QTest::addRow("=") << u"=1+2"_s << QByteArray("好,hǎo,\"'=1+2\",1\r\n");
    QTest::addRow("+") << u"+33 6"_s << QByteArray("好,hǎo,\"'+33 6\",1\r\n");
    QTest::addRow("-") << u"-5 °C"_s << QByteArray("好,hǎo,\"'-5 °C\",1\r\n");
    QTest::addRow("@") << u"@SUM(A1)"_s << QByteArray("好,hǎo,\"'@SUM(A1)\",1\r\n");
    QTest::addRow("quotes and comma kept")
            << u"=HYPERLINK(\"x\",\"y\")"_s
            << QByteArray("好,hǎo,\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\",1\r\n");
    QTest::addRow("sign inside") << u"a=b-c"_s << QByteArray("好,hǎo,a=b-c,1\r\n");
}

void tst_Vocabulary::csv_formulasNotRun()
{
    QFETCH(QString, gloss);
    QFETCH(QByteArray, line);
    const QList<Verarov::Dictionary::Entry> entries{{u"好"_s, u"hǎo"_s, gloss}};
    const Tables tables = Tables::fromCompiled(Verarov::Dictionary::compile(entries));
    QCOMPARE(formatEntries(tables, {{0, 1}}, ReportFormat::Csv), line);
}

void tst_Vocabulary::summary_data()
{
    QTest::addColumn<QList<qint64>>("figures"); // as Figures, in order
    QTest::addColumn<QString>("text");
    QTest::addRow("plural, share rounded down")
            << QList<qint64>{1572864, 100000, 99999, 25012, 12, 136}
            << u"Caractères : 1572864\nCaractères chinois : 100000, dont 99999 dans un mot trouvé "
               "(99,99 %)\nEntrées distinctes : 25012 (écrites : 24000)\nCaractères inconnus : 12 "
               "distincts, 136 occurrences\n"_s;
    QTest::addRow("singular, no Chinese")
            << QList<qint64>{3, 0, 0, 0, 1, 1}
            << u"Caractères : 3\nCaractères chinois : 0, dont 0 dans un mot trouvé (100,00 %)\n"
               "Entrées distinctes : 0 (écrites : 24000)\nCaractères inconnus : 1 distinct, 1 "
               "occurrence\n"_s;
}

void tst_Vocabulary::summary()
{
    QFETCH(QList<qint64>, figures);
    QFETCH(QString, text);
    const Vocabulary::Figures f{figures[0], figures[1], figures[2],
                                figures[3], figures[4], figures[5]};
    QCOMPARE(summaryText(f, 24000), text);
}

void tst_Vocabulary::progressBar_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("bar");
    QTest::addRow("start") << qint64(0) << qint64(80'000'000)
                           << u"[----------]   0 %  (0 / 80 Mo)"_s;
    QTest::addRow("half") << qint64(40'000'000) << qint64(80'000'000)
                          << u"[#####-----]  50 %  (40 / 80 Mo)"_s;
    QTest::addRow("past the end") << qint64(90'000'000) << qint64(80'000'000)
                                  << u"[##########] 100 %  (80 / 80 Mo)"_s;
    QTest::addRow("no total") << qint64(5) << qint64(0) << u"[##########] 100 %  (0 / 0 Mo)"_s;
}

void tst_Vocabulary::progressBar()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(QString, bar);
    QCOMPARE(Verarov::Translate::progressBar(done, total, 10), bar);
}

QTEST_GUILESS_MAIN(tst_Vocabulary)
#include "tst_vocabulary.moc"
