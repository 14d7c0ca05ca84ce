#include "lookup/chinesevariants.h"
#include "lookup/completion.h"
#include "lookup/entryextras.h"
#include "lookup/favourites.h"
#include "lookup/history.h"
#include "lookup/keylistmodel.h"
#include "lookup/normalise.h"
#include "lookup/prefixindex.h"
#include "lookup/wordinfo.h"
#include "dictionary/loader.h"
#include "testsupport_entries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Verarov::Dictionary::List;
using Verarov::Lookup::KeyListModel;
using Verarov::Lookup::PinyinQuery;

Q_DECLARE_METATYPE(Verarov::Dictionary::List)

namespace {

// "0-1:3 3:3" -> third tone on the syllable holding offsets 0 to 1, and on
// the one holding offset 3.
QList<PinyinQuery::Tone> tonesOf(const QString &text)
{
    QList<PinyinQuery::Tone> tones;
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u':');
        const QStringList span = parts[0].split(u'-');
        tones.append({span.front().toInt(), span.back().toInt(), parts[1].toInt()});
    }
    return tones;
}

QList<qsizetype> offsetsOf(const QString &text)
{
    QList<qsizetype> offsets;
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts))
        offsets.append(item.toInt());
    return offsets;
}

// The field's prefix search alone, as before learners' writings: no
// alternative row.
class PrefixOnly final : public Verarov::Lookup::CompletionList
{
public:
    explicit PrefixOnly(const KeyListModel &model) : m_model(model) { }
    int keyCount() const override { return m_model.keyCount(); }
    QStringView key(int row) const override { return m_model.key(row); }
    int findString(QStringView text) const override { return m_model.findString(text); }

private:
    const KeyListModel &m_model;
};

} // namespace

class tst_LearnerLookup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void normalisePinyin_data();
    void normalisePinyin();
    void readingMatches_data();
    void readingMatches();
    void numberedTyping_matchesItsMarkedReading_data();
    void numberedTyping_matchesItsMarkedReading();
    void foldFrench_data();
    void foldFrench();
    void variants_data();
    void variants();
    void wordInfo_data();
    void wordInfo();
    void findAlternative_data();
    void findAlternative();
    void traditionalColumn_findsAndShowsTheEntrysForm_data();
    void traditionalColumn_findsAndShowsTheEntrysForm();
    void prefixFoundRows_unchanged_data();
    void prefixFoundRows_unchanged();
    void history_backForwardRefine();
    void favourites_readHostileFiles_data();
    void favourites_readHostileFiles();
    void favourites_writeThenRead();
    void toneColouredHtml_escapesAndColours();

private:
    Verarov::Dictionary::Tables m_tables;
};

void tst_LearnerLookup::initTestCase()
{
    const auto loaded = Verarov::Dictionary::loadExternal(VERAROV_TEST_DATA "/learner.tsv"_L1);
    QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
    m_tables = loaded.tables;
}

void tst_LearnerLookup::normalisePinyin_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("tones");   // offset:tone ...
    QTest::addColumn<QString>("breaks");  // offsets
    QTest::addColumn<QString>("umlauts"); // offsets
    QTest::addRow("toneless") << u"nihao"_s << u"nihao"_s << u""_s << u""_s << u""_s;
    QTest::addRow("numbers") << u"ni3hao3"_s << u"nihao"_s << u"0-1:3 2-4:3"_s << u"2 5"_s << u""_s;
    QTest::addRow("numbers, blank")
            << u"ni3 hao3"_s << u"nihao"_s << u"0-1:3 2-4:3"_s << u"2 5"_s << u""_s;
    QTest::addRow("marks") << u"nǐhǎo"_s << u"nihao"_s << u"1:3 3:3"_s << u""_s << u""_s;
    QTest::addRow("marks, blank") << u"nǐ hǎo"_s << u"nihao"_s << u"1:3 3:3"_s << u"2"_s << u""_s;
    QTest::addRow("marks decomposed") << u"ni\u030C"_s << u"ni"_s << u"1:3"_s << u""_s << u""_s;
    QTest::addRow("all four tones") << u"ma1ma2ma3ma4"_s << u"mamamama"_s
                                    << u"0-1:1 2-3:2 4-5:3 6-7:4"_s << u"2 4 6 8"_s << u""_s;
    QTest::addRow("all four marks")
            << u"āáǎà"_s << u"aaaa"_s << u"0:1 1:2 2:3 3:4"_s << u""_s << u""_s;
    QTest::addRow("neutral 5") << u"ma5"_s << u"ma"_s << u"0-1:5"_s << u"2"_s << u""_s;
    QTest::addRow("neutral 0") << u"ma0"_s << u"ma"_s << u"0-1:5"_s << u"2"_s << u""_s;
    QTest::addRow("v") << u"lv4"_s << u"lu"_s << u"0-1:4"_s << u"2"_s << u"1"_s;
    QTest::addRow("u colon") << u"lu:4"_s << u"lu"_s << u"0-1:4"_s << u"2"_s << u"1"_s;
    QTest::addRow("u umlaut") << u"lü"_s << u"lu"_s << u""_s << u""_s << u"1"_s;
    QTest::addRow("u umlaut marked") << u"lǚ"_s << u"lu"_s << u"1:3"_s << u""_s << u"1"_s;
    QTest::addRow("apostrophe") << u"xi'an"_s << u"xian"_s << u""_s << u"2"_s << u""_s;
    QTest::addRow("typographic apostrophe") << u"xi’an"_s << u"xian"_s << u""_s << u"2"_s << u""_s;
    QTest::addRow("one syllable xian") << u"xian1"_s << u"xian"_s << u"0-3:1"_s << u"4"_s << u""_s;
    QTest::addRow("two syllables xi1an1")
            << u"xi1an1"_s << u"xian"_s << u"0-1:1 2-3:1"_s << u"2 4"_s << u""_s;
    QTest::addRow("capitals") << u"Zhong1guo2"_s << u"zhongguo"_s << u"0-4:1 5-7:2"_s << u"5 8"_s
                              << u""_s;
    QTest::addRow("upper case") << u"NI3HAO3"_s << u"nihao"_s << u"0-1:3 2-4:3"_s << u"2 5"_s
                                << u""_s;
    QTest::addRow("capital marked") << u"Ǎ"_s << u"a"_s << u"0:3"_s << u""_s << u""_s;
    QTest::addRow("partial syllable")
            << u"zhong1g"_s << u"zhongg"_s << u"0-4:1"_s << u"5"_s << u""_s;
    QTest::addRow("erhua after a number") << u"na3r"_s << u"nar"_s << u"0-1:3"_s << u""_s << u""_s;
    QTest::addRow("erhua numbered") << u"na3r5"_s << u"nar"_s << u"0-1:3"_s << u"3"_s << u""_s;
    QTest::addRow("r starting a syllable")
            << u"na3ren2"_s << u"naren"_s << u"0-1:3 2-4:2"_s << u"2 5"_s << u""_s;
    QTest::addRow("leading blank") << u" ma"_s << u"ma"_s << u""_s << u""_s << u""_s;
    QTest::addRow("digit first") << u"3ma"_s << u"3ma"_s << u""_s << u""_s << u""_s;
    QTest::addRow("digit 6 kept") << u"ma6"_s << u"ma6"_s << u""_s << u""_s << u""_s;
    QTest::addRow("digit after a blank kept")
            << u"bei3 1"_s << u"bei1"_s << u"0-2:3"_s << u"3"_s << u""_s;
    QTest::addRow("erhua r5 after a blank")
            << u"jin4 r5"_s << u"jinr"_s << u"0-2:4"_s << u"4"_s << u""_s;
    QTest::addRow("Chinese kept") << u"马"_s << u"马"_s << u""_s << u""_s << u""_s;
}

void tst_LearnerLookup::normalisePinyin()
{
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QString, tones);
    QFETCH(QString, breaks);
    QFETCH(QString, umlauts);
    const PinyinQuery query = Verarov::Lookup::normalisePinyin(typed);
    QCOMPARE(query.key, key);
    QCOMPARE(query.tones, tonesOf(tones));
    QCOMPARE(query.breaks, offsetsOf(breaks));
    QCOMPARE(query.umlauts, offsetsOf(umlauts));
}

void tst_LearnerLookup::readingMatches_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<bool>("matches");
    QTest::addRow("ma3, mǎ") << u"ma3"_s << u"mǎ"_s << true;
    QTest::addRow("ma3, mā") << u"ma3"_s << u"mā"_s << false;
    QTest::addRow("ma3, mǎ lù") << u"ma3"_s << u"mǎ lù"_s << true;
    QTest::addRow("ma3, mǎng: breaks after a") << u"ma3"_s << u"mǎng"_s << false;
    QTest::addRow("ma5, ma") << u"ma5"_s << u"ma"_s << true;
    QTest::addRow("ma, mā: no tone asked") << u"ma"_s << u"mā"_s << true;
    QTest::addRow("xi'an, Xī ān") << u"xi'an"_s << u"Xī ān"_s << true;
    QTest::addRow("xi'an, xiān") << u"xi'an"_s << u"xiān"_s << false;
    QTest::addRow("xian1, xiān") << u"xian1"_s << u"xiān"_s << true;
    QTest::addRow("xian1, Xī ān") << u"xian1"_s << u"Xī ān"_s << false;
    QTest::addRow("lü, lǜ") << u"lü"_s << u"lǜ"_s << true;
    QTest::addRow("lü, lù") << u"lü"_s << u"lù"_s << false;
    QTest::addRow("lv3, lǚ") << u"lv3"_s << u"lǚ"_s << true;
    QTest::addRow("lv3, lǜ") << u"lv3"_s << u"lǜ"_s << false;
    QTest::addRow("Zhong1guo2, Zhōng guó") << u"Zhong1guo2"_s << u"Zhōng guó"_s << true;
    QTest::addRow("zhong1g, Zhōng guó") << u"zhong1g"_s << u"Zhōng guó"_s << true;
    QTest::addRow("zhong4g, Zhōng guó") << u"zhong4g"_s << u"Zhōng guó"_s << false;
    QTest::addRow("nǐ hǎo") << u"nǐ hǎo"_s << u"nǐ hǎo"_s << true;
    QTest::addRow("nǐhǎo") << u"nǐhǎo"_s << u"nǐ hǎo"_s << true;
    QTest::addRow("ni3hao4") << u"ni3hao4"_s << u"nǐ hǎo"_s << false;
    QTest::addRow("erhua: na3r, nǎ r") << u"na3r"_s << u"nǎ r"_s << true;
    QTest::addRow("erhua: na3r, nǎr") << u"na3r"_s << u"nǎr"_s << true;
    QTest::addRow("erhua: nar3, nǎ r") << u"nar3"_s << u"nǎ r"_s << true;
    QTest::addRow("erhua: na4r, nǎ r") << u"na4r"_s << u"nǎ r"_s << false;
    QTest::addRow("typed longer than the reading") << u"ma3lu4a"_s << u"mǎ lù"_s << false;
    QTest::addRow("other letters") << u"mo3"_s << u"mǎ"_s << false;
    QTest::addRow("lu4, lǜ: plain u after l") << u"lu4"_s << u"lǜ"_s << false;
    QTest::addRow("lue4, lüè") << u"lue4"_s << u"lüè"_s << true;
    QTest::addRow("ju2, jú: u after j is ü anyway") << u"ju2"_s << u"jú"_s << true;
}

void tst_LearnerLookup::readingMatches()
{
    QFETCH(QString, typed);
    QFETCH(QString, reading);
    QFETCH(bool, matches);
    QCOMPARE(Verarov::Lookup::readingMatches(Verarov::Lookup::normalisePinyin(typed), reading),
             matches);
}

// Every numbered form of the shared table, typed as is, agrees with the
// reading the importer makes of it.
void tst_LearnerLookup::numberedTyping_matchesItsMarkedReading_data()
{
    QTest::addColumn<QString>("numbered");
    QTest::addColumn<QString>("marked");
    QFile file(VERAROV_TEST_DATA "/tone_cases.tsv"_L1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    int rows = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        const QStringList fields = line.split(u'\t');
        // Not pinyin a learner types: ê written e^, a capital V that is a V,
        // digits that are no tones; nor a reading without blanks, whose
        // syllables cannot be told apart.
        if (line.startsWith(u'#') || fields.size() < 2 || fields[0].contains(u'^')
            || fields[0].contains(u" V"_s) || fields[0].contains(u'6') || fields[1] == u"línglì"_s)
            continue;
        QTest::addRow("%s", qPrintable(fields[0])) << fields[0] << fields[1];
        ++rows;
    }
    QVERIFY(rows > 20);
}

void tst_LearnerLookup::numberedTyping_matchesItsMarkedReading()
{
    QFETCH(QString, numbered);
    QFETCH(QString, marked);
    QVERIFY(Verarov::Lookup::readingMatches(Verarov::Lookup::normalisePinyin(numbered), marked));
}

void tst_LearnerLookup::foldFrench_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::addRow("accents") << u"élève"_s << u"eleve"_s;
    QTest::addRow("capitals") << u"ÉTÉ"_s << u"ete"_s;
    QTest::addRow("ligature oe") << u"Œuf"_s << u"oeuf"_s;
    QTest::addRow("ligature ae") << u"ex æquo"_s << u"ex aequo"_s;
    QTest::addRow("cedilla, diaeresis") << u"garçon naïf"_s << u"garcon naif"_s;
    QTest::addRow("decomposed") << u"e\u0301te\u0301"_s << u"ete"_s;
    QTest::addRow("plain") << u"maison"_s << u"maison"_s;
}

void tst_LearnerLookup::foldFrench()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(Verarov::Lookup::foldFrench(text), folded);
}

void tst_LearnerLookup::variants_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("simplified");
    QTest::addColumn<QString>("traditionalOfSimplified"); // "" when open or the same
    QTest::addRow("traditional") << u"學習"_s << u"学习"_s << u"學習"_s;
    QTest::addRow("mixed") << u"中國"_s << u"中国"_s << u"中國"_s;
    // Unihan lists 电 among its own traditional forms: the form is open.
    QTest::addRow("computer") << u"電腦"_s << u"电脑"_s << u""_s;
    QTest::addRow("one to many: hair") << u"頭髮"_s << u"头发"_s << u""_s;
    QTest::addRow("one to many: send") << u"發"_s << u"发"_s << u""_s;
    QTest::addRow("also its own form") << u"後"_s << u"后"_s << u""_s;
    QTest::addRow("simplified already") << u"马"_s << u"马"_s << u"馬"_s;
    QTest::addRow("not Chinese") << u"abc"_s << u"abc"_s << u""_s;
}

void tst_LearnerLookup::variants()
{
    QFETCH(QString, typed);
    QFETCH(QString, simplified);
    QFETCH(QString, traditionalOfSimplified);
    QCOMPARE(Verarov::Lookup::toSimplified(typed), simplified);
    QVERIFY(Verarov::Lookup::writesTraditionally(typed, simplified));
    QCOMPARE(Verarov::Lookup::traditionalOf(simplified), traditionalOfSimplified);
}

void tst_LearnerLookup::wordInfo_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("hsk");
    QTest::addColumn<bool>("ranked");
    QTest::addRow("level 1") << u"学习"_s << 1 << true;
    QTest::addRow("level 6") << u"爱戴"_s << 6 << false;
    QTest::addRow("ranked only") << u"一一"_s << 0 << true;
    QTest::addRow("unknown") << u"鸡鸡鸡"_s << 0 << false;
    QTest::addRow("empty") << u""_s << 0 << false;
}

void tst_LearnerLookup::wordInfo()
{
    QFETCH(QString, word);
    QFETCH(int, hsk);
    QFETCH(bool, ranked);
    const Verarov::Lookup::WordInfo info = Verarov::Lookup::wordInfo(word);
    QCOMPARE(info.hskLevel, hsk);
    QCOMPARE(info.frequencyRank > 0, ranked);
}

void tst_LearnerLookup::findAlternative_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("headword"); // "" for none
    QTest::addColumn<QString>("pinyin");
    QTest::addRow("ma3") << List::PinyinKeys << u"ma3"_s << u"马"_s << u"mǎ"_s;
    QTest::addRow("ma4") << List::PinyinKeys << u"ma4"_s << u"骂"_s << u"mà"_s;
    QTest::addRow("ma5") << List::PinyinKeys << u"ma5"_s << u"吗"_s << u"ma"_s;
    QTest::addRow("mǎ") << List::PinyinKeys << u"mǎ"_s << u"马"_s << u"mǎ"_s;
    QTest::addRow("ma3lu") << List::PinyinKeys << u"ma3lu"_s << u"马路"_s << u"mǎ lù"_s;
    QTest::addRow("ni3hao3") << List::PinyinKeys << u"ni3hao3"_s << u"你好"_s << u"nǐ hǎo"_s;
    QTest::addRow("nǐ hǎo") << List::PinyinKeys << u"nǐ hǎo"_s << u"你好"_s << u"nǐ hǎo"_s;
    QTest::addRow("ni hao") << List::PinyinKeys << u"ni hao"_s << u"你好"_s << u"nǐ hǎo"_s;
    QTest::addRow("lü") << List::PinyinKeys << u"lü"_s << u"旅"_s << u"lǚ"_s;
    QTest::addRow("lü4") << List::PinyinKeys << u"lü4"_s << u"绿"_s << u"lǜ"_s;
    QTest::addRow("lv3") << List::PinyinKeys << u"lv3"_s << u"旅"_s << u"lǚ"_s;
    QTest::addRow("lu:4") << List::PinyinKeys << u"lu:4"_s << u"绿"_s << u"lǜ"_s;
    QTest::addRow("lu4") << List::PinyinKeys << u"lu4"_s << u"路"_s << u"lù"_s;
    QTest::addRow("xi'an") << List::PinyinKeys << u"xi'an"_s << u"西安"_s << u"Xī ān"_s;
    QTest::addRow("xian1") << List::PinyinKeys << u"xian1"_s << u"先"_s << u"xiān"_s;
    QTest::addRow("Zhong1guo2") << List::PinyinKeys << u"Zhong1guo2"_s << u"中国"_s
                                << u"Zhōng guó"_s;
    QTest::addRow("zhong1g") << List::PinyinKeys << u"zhong1g"_s << u"中国"_s << u"Zhōng guó"_s;
    QTest::addRow("na4r") << List::PinyinKeys << u"na4r"_s << u"那儿"_s << u"nà r"_s;
    QTest::addRow("gan4") << List::PinyinKeys << u"gan4"_s << u"干"_s << u"gàn"_s;
    QTest::addRow("tones no entry has") << List::PinyinKeys << u"ma2lu"_s << u""_s << u""_s;
    QTest::addRow("no such key") << List::PinyinKeys << u"qq3"_s << u""_s << u""_s;
    QTest::addRow("學習") << List::Headwords << u"學習"_s << u"学习"_s << u"xué xí"_s;
    QTest::addRow("學") << List::Headwords << u"學"_s << u"学"_s << u"xué"_s;
    QTest::addRow("中國") << List::Headwords << u"中國"_s << u"中国"_s << u"Zhōng guó"_s;
    QTest::addRow("電腦") << List::Headwords << u"電腦"_s << u"电脑"_s << u"diàn nǎo"_s;
    QTest::addRow("頭髮") << List::Headwords << u"頭髮"_s << u"头发"_s << u"tóu fa"_s;
    // 干 is written 乾 (dry) or 幹 (to do): the table cannot tell, the
    // first entry shows.
    QTest::addRow("幹, one to many") << List::Headwords << u"幹"_s << u"干"_s << u"gàn"_s;
    QTest::addRow("no such word") << List::Headwords << u"飛機"_s << u""_s << u""_s;
    QTest::addRow("eleve") << List::FrenchKeys << u"eleve"_s << u"学生"_s << u"xué sheng"_s;
    QTest::addRow("Eleve") << List::FrenchKeys << u"Eleve"_s << u"学生"_s << u"xué sheng"_s;
    QTest::addRow("oeuf") << List::FrenchKeys << u"oeuf"_s << u"蛋"_s << u"dàn"_s;
    QTest::addRow("oeuf de") << List::FrenchKeys << u"oeuf de"_s << u"鸡蛋"_s << u"jī dàn"_s;
    QTest::addRow("ETE") << List::FrenchKeys << u"ETE"_s << u"夏天"_s << u"xià tiān"_s;
    QTest::addRow("etudier") << List::FrenchKeys << u"etudier, a"_s << u"学习"_s << u"xué xí"_s;
    QTest::addRow("no such French") << List::FrenchKeys << u"zzz"_s << u""_s << u""_s;
}

void tst_LearnerLookup::findAlternative()
{
    QFETCH(List, list);
    QFETCH(QString, typed);
    QFETCH(QString, headword);
    QFETCH(QString, pinyin);
    const KeyListModel model(m_tables, list);
    QCOMPARE(model.findString(typed), -1); // only where the prefix search finds nothing
    const int row = model.findAlternative(typed);
    if (headword.isEmpty()) {
        QCOMPARE(row, -1);
        return;
    }
    QVERIFY(row >= 0);
    // The first row from the top that agrees, as a plain scan finds it.
    int scanned = -1;
    for (int r = 0; r < model.keyCount() && scanned < 0; ++r) {
        const QStringView key = model.key(r);
        const int e = model.entry(r);
        bool agrees = false;
        if (list == List::PinyinKeys) {
            const PinyinQuery query = Verarov::Lookup::normalisePinyin(typed);
            agrees = Verarov::Lookup::startsWithFolded(key, query.key)
                     && Verarov::Lookup::readingMatches(query, m_tables.pinyin(e));
        } else if (list == List::FrenchKeys) {
            agrees =
                    Verarov::Lookup::foldFrench(key).startsWith(Verarov::Lookup::foldFrench(typed));
        } else {
            agrees = key.startsWith(Verarov::Lookup::toSimplified(typed))
                     && (key.size() != typed.size()
                         || Verarov::Lookup::writesTraditionally(typed, key));
        }
        if (agrees)
            scanned = r;
    }
    QCOMPARE(row, scanned);
    const int entry = model.entry(row);
    QCOMPARE(m_tables.headword(entry), headword);
    QCOMPARE(m_tables.pinyin(entry), pinyin);
}

void tst_LearnerLookup::traditionalColumn_findsAndShowsTheEntrysForm_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("headword"); // "" for none
    QTest::addColumn<QString>("gloss");
    QTest::addColumn<QString>("shown"); // the entry's traditional form shown
    QTest::addRow("學習") << u"學習"_s << u"学习"_s << u"étudier, apprendre"_s << u"學習"_s;
    QTest::addRow("學") << u"學"_s << u"学"_s << u"étudier"_s << u"學"_s;
    QTest::addRow("mixed 学習") << u"学習"_s << u"学习"_s << u"étudier, apprendre"_s << u"學習"_s;
    QTest::addRow("中國") << u"中國"_s << u"中国"_s << u"Chine"_s << u"中國"_s;
    QTest::addRow("電腦") << u"電腦"_s << u"电脑"_s << u"ordinateur"_s << u"電腦"_s;
    QTest::addRow("電, a beginning") << u"電"_s << u"电脑"_s << u"ordinateur"_s << u"電腦"_s;
    // One simplified form for several traditional ones: the entry whose
    // form was typed, where the variant table shows the first.
    QTest::addRow("幹") << u"幹"_s << u"干"_s << u"faire"_s << u"幹"_s;
    QTest::addRow("幹部") << u"幹部"_s << u"干部"_s << u"cadre"_s << u"幹部"_s;
    QTest::addRow("乾燥") << u"乾燥"_s << u"干燥"_s << u"sec, aride"_s << u"乾燥"_s;
    QTest::addRow("頭髮") << u"頭髮"_s << u"头发"_s << u"cheveux"_s << u"頭髮"_s;
    QTest::addRow("髮") << u"髮"_s << u"发"_s << u"cheveu"_s << u"髮"_s;
    QTest::addRow("發") << u"發"_s << u"发"_s << u"envoyer"_s << u"發"_s;
    QTest::addRow("發展") << u"發展"_s << u"发展"_s << u"développer"_s << u"發展"_s;
    QTest::addRow("後") << u"後"_s << u"后"_s << u"après"_s << u"後"_s;
    QTest::addRow("後來") << u"後來"_s << u"后来"_s << u"ensuite"_s << u"後來"_s;
    // 瀋 is first 沈 to the variant table, 渖 in this word.
    QTest::addRow("墨瀋") << u"墨瀋"_s << u"墨渖"_s << u"encre"_s << u"墨瀋"_s;
    // Written with a form of no entry: the variant table's simplified text.
    QTest::addRow("頭發, miswritten") << u"頭發"_s << u"头发"_s << u"cheveux"_s << u"頭髮"_s;
    QTest::addRow("no such word") << u"飛機"_s << u""_s << u""_s << u""_s;
}

// A dictionary that gives each entry its traditional form: a traditional
// or mixed text finds the entry written so, and the form shown is the
// entry's own (none when it is the headword: 后 the queen).
void tst_LearnerLookup::traditionalColumn_findsAndShowsTheEntrysForm()
{
    QFETCH(QString, typed);
    QFETCH(QString, headword);
    QFETCH(QString, gloss);
    QFETCH(QString, shown);
    const Verarov::Dictionary::Tables tables = fixtureTables(u"traditional.tsv"_s);
    QVERIFY(tables.hasTraditionalForms());
    const KeyListModel model(tables, List::Headwords);
    QCOMPARE(model.findString(typed), -1); // only where the prefix search finds nothing
    const int row = model.findAlternative(typed);
    if (headword.isEmpty()) {
        QCOMPARE(row, -1);
        return;
    }
    QVERIFY(row >= 0);
    QCOMPARE(tables.headword(row), headword);
    QCOMPARE(tables.gloss(row), gloss);
    const Verarov::Lookup::TraditionalForms &forms = Verarov::Lookup::traditionalForms(tables);
    QCOMPARE(forms.traditional(tables, row), shown);
    for (int e = 0; e < tables.entryCount(); ++e) {
        if (tables.headword(e) == u"后" && tables.gloss(e) == u"reine")
            QCOMPARE(forms.traditional(tables, e), QString());
    }
}

void tst_LearnerLookup::prefixFoundRows_unchanged_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<bool>("traditionalColumn");
    QTest::addRow("headwords") << List::Headwords << false;
    QTest::addRow("pinyin keys") << List::PinyinKeys << false;
    QTest::addRow("French keys") << List::FrenchKeys << false;
    QTest::addRow("headwords with traditional forms") << List::Headwords << true;
}

// Typing every key of the list, and every key with one more letter, one
// character at a time: wherever the prefix search finds a row, the step is
// the one the prefix search alone gives.
void tst_LearnerLookup::prefixFoundRows_unchanged()
{
    QFETCH(List, list);
    QFETCH(bool, traditionalColumn);
    const KeyListModel model(traditionalColumn ? fixtureTables(u"traditional.tsv"_s) : m_tables,
                             list);
    const PrefixOnly before(model);
    int compared = 0;
    for (int row = 0; row < model.keyCount(); ++row) {
        const QString key = model.key(row).toString();
        for (const QString &text : {key, key + u"x"_s}) {
            Verarov::Lookup::FieldState state;
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QStringView typed = QStringView(text).sliced(i, 1);
                const QString search = state.text.first(state.selStart) + typed.toString()
                                       + state.text.sliced(state.selEnd);
                const Verarov::Lookup::Step now = typeCharacter(state, typed, model);
                const Verarov::Lookup::Step then = typeCharacter(state, typed, before);
                if (before.findString(search) >= 0) {
                    QCOMPARE(now.state, then.state);
                    QCOMPARE(now.fires, then.fires);
                    ++compared;
                }
                state = now.state;
            }
        }
    }
    QVERIFY(compared > model.keyCount());
}

void tst_LearnerLookup::history_backForwardRefine()
{
    using Verarov::Lookup::EntryTexts;
    const EntryTexts a{u"a"_s, {}, {}}, b{u"b"_s, {}, {}}, c{u"c"_s, {}, {}}, d{u"d"_s, {}, {}};
    Verarov::Lookup::History history(3);
    QVERIFY(!history.back() && !history.forward());
    history.visit(a);
    history.visit(a); // the same again: nothing added
    history.visit(b);
    history.visit(c, true); // refines b
    QCOMPARE(history.size(), 2);
    QCOMPARE(*history.back(), a);
    QVERIFY(!history.back());
    QCOMPARE(*history.forward(), c);
    QVERIFY(!history.forward());
    history.back();
    history.visit(d); // from the middle: c is dropped
    QCOMPARE(history.size(), 2);
    QVERIFY(!history.forward());
    history.visit(a);
    history.visit(b); // over the limit: the oldest goes
    QCOMPARE(history.size(), 3);
    QCOMPARE(*history.back(), a);
    QCOMPARE(*history.back(), d);
    QVERIFY(!history.back());
}

void tst_LearnerLookup::favourites_readHostileFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // "DIR": a folder under the name
    QTest::addColumn<int>("count");          // -1: refused with a message
    QTest::addRow("missing") << QByteArray() << 0;
    QTest::addRow("two lines") << "马\tmǎ\tcheval\n学\txué\tétudier\n"_ba << 2;
    QTest::addRow("CR LF, no last LF") << "马\tmǎ\tcheval\r\n学\txué\tétudier"_ba << 2;
    QTest::addRow("short and long lines skipped")
            << "马\tmǎ\n\n马\tmǎ\tcheval\tplus\n\tx\ty\n学\txué\tétudier\n"_ba << 1;
    QTest::addRow("a line twice") << "马\tmǎ\tcheval\n马\tmǎ\tcheval\n"_ba << 1;
    QTest::addRow("not UTF-8") << "\xff\xfe\x6c\x9a"_ba << -1;
    QTest::addRow("a folder") << "DIR"_ba << -1;
}

void tst_LearnerLookup::favourites_readHostileFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"favoris.tsv"_s);
    if (content == "DIR") {
        QVERIFY(QDir().mkpath(path));
    } else if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString failure;
    const auto favourites = Verarov::Lookup::Favourites::read(path, &failure);
    if (count < 0) {
        QVERIFY(failure.startsWith(u"Impossible de lire les favoris"_s));
        QVERIFY(favourites.entries().isEmpty());
    } else {
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(favourites.entries().size(), count);
    }
}

void tst_LearnerLookup::favourites_writeThenRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sub/favoris.tsv"_s);
    Verarov::Lookup::Favourites favourites;
    QVERIFY(favourites.add({u"马"_s, u"mǎ"_s, u"cheval\tfort\nbête"_s}));
    QVERIFY(!favourites.add({u"马"_s, u"mǎ"_s, u"autre"_s}));
    QVERIFY(favourites.add({u"马"_s, u"Mǎ"_s, u"nom"_s}));
    QCOMPARE(favourites.write(path), QString());
    QString failure;
    const auto read = Verarov::Lookup::Favourites::read(path, &failure);
    QVERIFY(failure.isEmpty());
    QCOMPARE(read.entries().size(), 2);
    QCOMPARE(read.entries()[0].gloss, u"cheval fort bête"_s);
    QCOMPARE(read.entries()[1].pinyin, u"Mǎ"_s);
    // Nothing left beside it.
    QCOMPARE(QDir(dir.filePath(u"sub"_s)).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"favoris.tsv"_s});
    // A folder under the name: a message, not a crash.
    QVERIFY(!favourites.write(dir.path()).isEmpty());
}

void tst_LearnerLookup::toneColouredHtml_escapesAndColours()
{
    QCOMPARE(Verarov::Lookup::toneColouredHtml(u"mā má mǎ mà ma"_s),
             u"<span style=\"color:#d01010\">mā</span> <span style=\"color:#a35200\">má</span> "
             u"<span style=\"color:#1a7f1a\">mǎ</span> <span style=\"color:#1f4fd1\">mà</span> "
             u"<span style=\"color:#6e6e6e\">ma</span>"_s);
    QCOMPARE(Verarov::Lookup::toneColouredHtml(u"<b>&"_s),
             u"<span style=\"color:#6e6e6e\">&lt;b&gt;&amp;</span>"_s);
}

QTEST_GUILESS_MAIN(tst_LearnerLookup)
#include "tst_learnerlookup.moc"
