#include "dictionary/builder.h"
#include "dictionary/check.h"
#include "dictionary/collation.h"
#include "dictionary/keylist.h"
#include "dictionary/keys.h"
#include "dictionary/tables.h"
#include "dictionary/reader.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

// The fixture sample.tsv, compiled: entry order and keys as the program
// sees them.
class tst_Tables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void entryOrder();
    void homographsByPinyinThenGloss();
    void pinyinKeysCollatedWithTiesByEntry();
    void frenchKeysCollatedWithTiesByEntry();
    void entryWithoutFrenchKeyKeepsPinyinKey();
    void indexListsAreDecimalText();
    void checkPassesOnFixture();
    void checkReportsCounts();
    void checkReportsEachViolation_data();
    void checkReportsEachViolation();
    void entriesBeginningWith_data();
    void entriesBeginningWith();
    void compiledFormRejectsGarbage_data();
    void compiledFormRejectsGarbage();

private:
    int entryOf(const QString &headword, const QString &pinyin) const;
    QList<int> frenchRows(const QString &key) const;
    Tables m_tables;
};

void tst_Tables::initTestCase()
{
    const ReadResult read = readDictionaryFile(QStringLiteral(VERAROV_TEST_DATA "/sample.tsv"));
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.skipped.size(), 0);
    QString error;
    m_tables = Tables::fromCompiled(compile(read.entries), &error);
    QVERIFY2(!m_tables.isEmpty(), qPrintable(error));
}

int tst_Tables::entryOf(const QString &headword, const QString &pinyin) const
{
    for (int e = 0; e < m_tables.entryCount(); ++e) {
        if (m_tables.headword(e) == headword && m_tables.pinyin(e) == pinyin)
            return e;
    }
    return -1;
}

QList<int> tst_Tables::frenchRows(const QString &key) const
{
    QList<int> entries;
    for (int r = 0; r < m_tables.frenchKeyCount(); ++r) {
        if (m_tables.frenchKey(r) == key)
            entries.append(m_tables.frenchKeyEntry(r));
    }
    return entries;
}

void tst_Tables::entryOrder()
{
    QStringList headwords;
    for (int e = 0; e < m_tables.entryCount(); ++e)
        headwords.append(m_tables.headword(e).toString());
    const QStringList expected = {
            u"一"_s,   u"一一"_s,       u"一丝不苟"_s, u"一丝不苟"_s, u"一个劲儿"_s, u"一点儿"_s,
            u"世卫"_s, u"乐"_s,         u"乐"_s,       u"乐"_s,       u"京"_s,       u"偶像"_s,
            u"偶向"_s, u"偶然"_s,       u"北京"_s,     u"北平"_s,     u"呸"_s,       u"在"_s,
            u"安宁"_s, u"安宁\u3000"_s, u"Ｘ光"_s,
    };
    QCOMPARE(headwords, expected);
    QCOMPARE(m_tables.pinyin(0), u"yī");
    QCOMPARE(m_tables.gloss(20), u"radio / rayon X");
}

void tst_Tables::homographsByPinyinThenGloss()
{
    QCOMPARE(m_tables.pinyin(2), u"yì sī bù gǒu");
    QCOMPARE(m_tables.pinyin(3), u"yī sī bù gǒu");
    QCOMPARE(m_tables.pinyin(7), u"lé");
    QCOMPARE(m_tables.pinyin(8), u"lè");
    QCOMPARE(m_tables.pinyin(9), u"yuè");

    // Equal pinyin: the gloss decides, whatever the input order.
    const QList<Entry> entries = {
            {u"好"_s, u"hǎo"_s, u"zèbre"_s},
            {u"好"_s, u"hǎo"_s, u"bien"_s},
            {u"好"_s, u"hào"_s, u"aimer"_s},
    };
    const Tables t = Tables::fromCompiled(compile(entries));
    QCOMPARE(t.gloss(0), u"aimer");
    QCOMPARE(t.gloss(1), u"bien");
    QCOMPARE(t.gloss(2), u"zèbre");
}

void tst_Tables::pinyinKeysCollatedWithTiesByEntry()
{
    QCOMPARE(m_tables.pinyinKeyCount(), m_tables.entryCount());
    for (int r = 1; r < m_tables.pinyinKeyCount(); ++r) {
        const int c = collationCompare(m_tables.pinyinKey(r - 1), m_tables.pinyinKey(r));
        QVERIFY(c < 0 || (c == 0 && m_tables.pinyinKeyEntry(r - 1) < m_tables.pinyinKeyEntry(r)));
    }
    // Both 一丝不苟 give the same key; the rows stand in entry order.
    QList<int> yisibugou;
    QList<int> ouxiang;
    for (int r = 0; r < m_tables.pinyinKeyCount(); ++r) {
        if (m_tables.pinyinKey(r) == u"yisibugou")
            yisibugou.append(m_tables.pinyinKeyEntry(r));
        if (m_tables.pinyinKey(r) == u"ouxiang")
            ouxiang.append(m_tables.pinyinKeyEntry(r));
    }
    QCOMPARE(yisibugou, (QList<int>{2, 3}));
    QCOMPARE(ouxiang, (QList<int>{11, 12}));
    // Case plays no part in the order: "Xguang" stands between "Shiwei" and "yi".
    QCOMPARE(m_tables.pinyinKey(m_tables.pinyinKeyCount() - 1), u"zai");
}

void tst_Tables::frenchKeysCollatedWithTiesByEntry()
{
    QCOMPARE(frenchRows(u"à"_s), (QList<int>{7, 17}));
    // Keys equal but for case stay in entry order.
    QList<int> beijing;
    for (int r = 0; r < m_tables.frenchKeyCount(); ++r) {
        if (m_tables.frenchKey(r).compare(u"beijing", Qt::CaseInsensitive) == 0)
            beijing.append(m_tables.frenchKeyEntry(r));
    }
    QCOMPARE(beijing, (QList<int>{10, 14, 15}));
    QCOMPARE(m_tables.frenchKey(0), u"à");
    QCOMPARE(frenchRows(u"OMS ("_s + QString(6, u'?') + u")"_s), QList<int>{6});
    QCOMPARE(frenchRows(u"fi!"_s), QList<int>{16});
}

void tst_Tables::entryWithoutFrenchKeyKeepsPinyinKey()
{
    const int e = entryOf(u"一点儿"_s, u"yī diǎn r"_s);
    QCOMPARE(e, 5);
    for (int r = 0; r < m_tables.frenchKeyCount(); ++r)
        QVERIFY(m_tables.frenchKeyEntry(r) != e);
    bool found = false;
    for (int r = 0; r < m_tables.pinyinKeyCount(); ++r)
        found = found || (m_tables.pinyinKeyEntry(r) == e && m_tables.pinyinKey(r) == u"yidianr");
    QVERIFY(found);
}

void tst_Tables::indexListsAreDecimalText()
{
    QCOMPARE(m_tables.rowCount(List::Headwords), 21);
    QCOMPARE(m_tables.rowCount(List::FrenchKeyEntries), m_tables.frenchKeyCount());
    QCOMPARE(m_tables.row(List::FrenchKeys, 0), u"à"_s);
    QCOMPARE(m_tables.row(List::FrenchKeyEntries, 0), u"7"_s);
    QCOMPARE(listName(List::PinyinKeyEntries), u"liste_dicopin_index"_s);
    for (int r = 0; r < m_tables.pinyinKeyCount(); ++r) {
        if (m_tables.pinyinKeyEntry(r) == 0)
            QCOMPARE(m_tables.row(List::PinyinKeyEntries, r), u"0"_s);
    }
}

void tst_Tables::checkPassesOnFixture()
{
    const CheckReport report = check(m_tables);
    QVERIFY2(report.violations.isEmpty(), qPrintable(report.violations.join(u'\n')));
}

void tst_Tables::checkReportsCounts()
{
    const CheckReport r = check(m_tables);
    QCOMPARE(r.entries, 21);
    QCOMPARE(r.distinctHeadwords, 18);
    QCOMPARE(r.homographGroups, 2);
    QCOMPARE(r.pinyinKeys, 21);
    QCOMPARE(r.entriesWithoutFrenchKey, 1);
}

namespace {

// Entries written one a line, fields separated by TAB.
QList<Entry> entriesOf(const QString &text)
{
    QList<Entry> entries;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u'\t');
        entries.append({f.value(0), f.value(1), f.value(2), f.value(3)});
    }
    return entries;
}

// Key rows "text:entry;text:entry" as given, or "*" for the keys derived
// from the entries in collation order, ties by entry.
QList<RawKey> keysOf(const QString &text, const QList<Entry> &entries, bool pinyin)
{
    QList<RawKey> keys;
    if (text != u"*") {
        for (const QString &row : text.split(u';', Qt::SkipEmptyParts))
            keys.append({row.section(u':', 0, 0), row.section(u':', 1).toInt()});
        return keys;
    }
    for (int e = 0; e < entries.size(); ++e) {
        if (pinyin) {
            keys.append({pinyinKey(entries[e].pinyin), e});
        } else {
            for (const QString &k : frenchKeys(entries[e].gloss))
                keys.append({k, e});
        }
    }
    std::stable_sort(keys.begin(), keys.end(), [](const RawKey &a, const RawKey &b) {
        return collationCompare(a.text, b.text) < 0;
    });
    return keys;
}

} // namespace

void tst_Tables::checkReportsEachViolation_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("pinyinKeys");
    QTest::addColumn<QString>("frenchKeys");
    QTest::addColumn<QString>("violation"); // the one expected, empty: none

    QTest::addRow("clean") << u"一\tyī\tun\n二\tèr\tdeux"_s << u"*"_s << u"*"_s << QString();
    QTest::addRow("empty headword")
            << u"\tyī\tun"_s << u"*"_s << u"*"_s << u"entrée 0 : vedette : vide"_s;
    QTest::addRow("control character") << u"一\tyī\tun\u0001"_s << u"*"_s << u"*"_s
                                       << u"entrée 0 : glose : caractère de contrôle"_s;
    QTest::addRow("outside the BMP")
            << u"\U00020000\tyī\tun"_s << u"*"_s << u"*"_s
            << u"entrée 0 : vedette : caractère hors du plan multilingue de base"_s;
    QTest::addRow("leading blank") << u"一\t yī\tun"_s << u"*"_s << u"*"_s
                                   << u"entrée 0 : pinyin : blanc au début ou à la fin"_s;
    QTest::addRow("double blank") << u"一\tyī\tun  deux"_s << u"*"_s << u"*"_s
                                  << u"entrée 0 : glose : blanc double"_s;
    QTest::addRow("headword over 7") << u"一二三四五六七八\tyī\tun"_s << u"*"_s << u"*"_s
                                     << u"entrée 0 : vedette de plus de 7 caractères"_s;
    QTest::addRow("solidus inside a sense") << u"一\tyī\tun/deux"_s << u"*"_s << u"*"_s
                                            << u"entrée 0 : \"/\" hors d'un séparateur \" / \""_s;
    QTest::addRow("headwords out of order") << u"二\tèr\tdeux\n一\tyī\tun"_s << u"*"_s << u"*"_s
                                            << u"entrée 1 : vedettes hors de l'ordre"_s;
    QTest::addRow("homographs out of order")
            << u"乐\tyuè\tmusique\n乐\tlè\tjoie"_s << u"*"_s << u"*"_s
            << u"entrée 1 : homographes hors de l'ordre"_s;
    QTest::addRow("repeated entry")
            << u"一\tyī\tun\n一\tyī\tun"_s << u"*"_s << u"*"_s << u"entrée 1 : répète l'entrée 0"_s;
    QTest::addRow("keys out of order") << u"一\tyī\tun\n二\tèr\tdeux"_s << u"yi:0;er:1"_s << u"*"_s
                                       << u"liste_pin_ss_accent, rang 1 : hors de l'ordre"_s;
    QTest::addRow("equal keys out of entry order")
            << u"一\tyī\tun\n二\tèr\tun"_s << u"*"_s << u"un:1;un:0"_s
            << u"liste_fr, rang 1 : hors de l'ordre"_s;
    QTest::addRow("key not derived")
            << u"一\tyī\tun"_s << u"*"_s << u"une:0"_s
            << u"entrée 0 : clés de liste_fr différentes des clés dérivées"_s;
    QTest::addRow("entry without pinyin key") << u"一\tyī\tun\n二\tèr\tdeux"_s << u"yi:0"_s
                                              << u"*"_s << u"entrée 1 : 0 clés pinyin"_s;
    // Traditional forms and accented keys (their folded forms laid out).
    QTest::addRow("clean, traditional forms")
            << u"一\tyī\tŒuf\n学\txué\tÉtudier\t學"_s << u"*"_s << u"*"_s << QString();
    QTest::addRow("traditional form the headword") << u"一\tyī\tun\t一"_s << u"*"_s << u"*"_s
                                                   << u"entrée 0 : forme traditionnelle fausse"_s;
    QTest::addRow("traditional form with a control character")
            << u"学\txué\tétudier\t學\u0001"_s << u"*"_s << u"*"_s
            << u"entrée 0 : forme traditionnelle fausse"_s;
}

void tst_Tables::checkReportsEachViolation()
{
    QFETCH(QString, entries);
    QFETCH(QString, pinyinKeys);
    QFETCH(QString, frenchKeys);
    QFETCH(QString, violation);
    const QList<Entry> rows = entriesOf(entries);
    QString error;
    const Tables tables = Tables::fromCompiled(
            assemble(rows, keysOf(pinyinKeys, rows, true), keysOf(frenchKeys, rows, false)),
            &error);
    QVERIFY2(!tables.isEmpty(), qPrintable(error));
    const CheckReport report = check(tables);
    if (violation.isEmpty())
        QVERIFY2(report.violations.isEmpty(), qPrintable(report.violations.join(u'\n')));
    else
        QVERIFY2(report.violations.contains(violation), qPrintable(report.violations.join(u'\n')));
}

void tst_Tables::entriesBeginningWith_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QStringList>("headwords");
    QTest::addRow("a character that begins several headwords")
            << u"一"_s << QStringList{u"一"_s,       u"一一"_s,     u"一丝不苟"_s,
                                      u"一丝不苟"_s, u"一个劲儿"_s, u"一点儿"_s};
    QTest::addRow("homographs all listed") << u"乐"_s << QStringList{u"乐"_s, u"乐"_s, u"乐"_s};
    QTest::addRow("begins no headword") << u"冽"_s << QStringList();
    QTest::addRow("fullwidth capital, last in order") << u"Ｘ"_s << QStringList{u"Ｘ光"_s};
}

void tst_Tables::entriesBeginningWith()
{
    QFETCH(QString, character);
    QFETCH(QStringList, headwords);
    const EntryRange range =
            Verarov::Dictionary::entriesBeginningWith(m_tables, character[0].unicode());
    QStringList found;
    for (int e = range.begin; e < range.end; ++e)
        found.append(m_tables.headword(e).toString());
    QCOMPARE(found, headwords);
    // The plain scan of every entry finds the same rows.
    QStringList scanned;
    for (int e = 0; e < m_tables.entryCount(); ++e) {
        if (m_tables.headword(e).front() == character[0])
            scanned.append(m_tables.headword(e).toString());
    }
    QCOMPARE(scanned, found);
}

void tst_Tables::compiledFormRejectsGarbage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = compile({{u"一"_s, u"yī"_s, u"un"_s}});
    QTest::addRow("empty") << QByteArray();
    QTest::addRow("text") << QByteArray("headword\tpinyin\tgloss\n");
    QTest::addRow("truncated") << good.first(good.size() - 2);
    // After the header (magic, seven counts): the entries' texts, then their
    // lines, each an offset and a length.
    QByteArray badOffset = good;
    badOffset[36] = char(0x7f); // first headword offset far beyond the pool
    QTest::addRow("offset out of range") << badOffset;
    QByteArray badLine = good;
    badLine[36 + 3 * 8 + 4] = char(0x7f); // first line longer than the pool
    QTest::addRow("line out of range") << badLine;
    // Then a pinyin key and a French key (12 bytes each), the traditional
    // form and the folded French key.
    const QByteArray withForm = compile({{u"学"_s, u"xué"_s, u"étudier"_s, u"學"_s}});
    QVERIFY(Tables::fromCompiled(withForm).hasTraditionalForms());
    QByteArray badTraditional = withForm;
    badTraditional[36 + 4 * 8 + 2 * 12 + 4] = char(0x7f);
    QTest::addRow("traditional form out of range") << badTraditional;
    QByteArray badFolded = withForm;
    badFolded[36 + 4 * 8 + 2 * 12 + 8 + 4] = char(0x7f);
    QTest::addRow("folded key out of range") << badFolded;
    // The prefix tree of the headwords, where the tables read it.
    const Tables tables = Tables::fromCompiled(good);
    QByteArray badRow = good;
    const qsizetype tree = reinterpret_cast<const char *>(tables.prefixTree(List::Headwords).data())
                           - tables.compiled().constData();
    badRow[tree + 4] = char(1); // a leaf naming row 1 of 1
    QTest::addRow("prefix tree row out of range") << badRow;
}

void tst_Tables::compiledFormRejectsGarbage()
{
    QFETCH(QByteArray, bytes);
    QString error;
    QVERIFY(Tables::fromCompiled(bytes, &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(tst_Tables)
#include "tst_tables.moc"
