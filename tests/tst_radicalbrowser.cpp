#include "dictionary/builder.h"
#include "dictionary/reader.h"
#include "lookup/radicalbrowser.h"
#include "lookup/shownentry.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov;

namespace {

QStringList displayed(const QAbstractItemModel &model)
{
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r)
        rows << model.index(r, 0).data().toString();
    return rows;
}

} // namespace

// The lists of the radical browser as models, and what a word row shows.
class tst_RadicalBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void characters_ofANode_data();
    void characters_ofANode();
    void characters_haveTheirReadingAndStrokes();
    void words_beginningWithACharacter_data();
    void words_beginningWithACharacter();
    void wordRow_showsTheEntryOfItsRun_data();
    void wordRow_showsTheEntryOfItsRun();

private:
    Dictionary::Tables m_dictionary;
    Dictionary::RadicalTables m_radicals;
};

void tst_RadicalBrowser::initTestCase()
{
    const auto read =
            Dictionary::readDictionaryFile(QStringLiteral(VERAROV_TEST_DATA "/sample.tsv"));
    m_dictionary = Dictionary::Tables::fromCompiled(Dictionary::compile(read.entries));
    QVERIFY(!m_dictionary.isEmpty());
    m_radicals = Dictionary::buildRadicalTables({u"#1"_s, u"丫\tyā\t3"_s, u"为\twèi, wéi\t4"_s,
                                                 u"主\tzhǔ\t5"_s, u"#2"_s, u"一\tyī\t1"_s, u"#3"_s,
                                                 u"#82"_s, u"主\tzhǔ\t5"_s});
}

void tst_RadicalBrowser::characters_ofANode_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QStringList>("characters");
    QTest::addRow("radical 1") << 1 << QStringList{u"丫"_s, u"为"_s, u"主"_s};
    QTest::addRow("one character") << 2 << QStringList{u"一"_s};
    QTest::addRow("last radical with characters") << 82 << QStringList{u"主"_s};
    QTest::addRow("empty radical") << 3 << QStringList();
    QTest::addRow("heading") << 0 << QStringList();
    QTest::addRow("heading inside") << 6 << QStringList();
    QTest::addRow("no node") << -1 << QStringList();
    QTest::addRow("beyond the tree") << 199 << QStringList();
}

void tst_RadicalBrowser::characters_ofANode()
{
    QFETCH(int, node);
    QFETCH(QStringList, characters);
    Lookup::CharacterListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setTables(m_radicals);
    model.showRadical(1); // something listed before
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.showRadical(node);
    QCOMPARE(displayed(model), characters);
    QCOMPARE(reset.count(), 1);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void tst_RadicalBrowser::characters_haveTheirReadingAndStrokes()
{
    Lookup::CharacterListModel model;
    model.setTables(m_radicals);
    model.showRadical(1);
    QCOMPARE(model.reading(1), u"wèi, wéi");
    QCOMPARE(model.strokes(1), u"4");
    model.showRadical(82);
    QCOMPARE(model.character(0), u"主");
    QCOMPARE(model.reading(0), u"zhǔ");
}

void tst_RadicalBrowser::words_beginningWithACharacter_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QStringList>("words");
    // Entry order, one row per entry: two entries with one headword give
    // two rows.
    QTest::addRow("一") << u"一"_s << QStringList{u"一"_s,       u"一一"_s,     u"一丝不苟"_s,
                                                  u"一丝不苟"_s, u"一个劲儿"_s, u"一点儿"_s};
    QTest::addRow("character that is only a headword") << u"在"_s << QStringList{u"在"_s};
    QTest::addRow("homographs") << u"乐"_s << QStringList{u"乐"_s, u"乐"_s, u"乐"_s};
    QTest::addRow("begins no headword") << u"丫"_s << QStringList();
    QTest::addRow("last code unit of the table") << u"\uffff"_s << QStringList();
    QTest::addRow("fullwidth letter") << u"Ｘ"_s << QStringList{u"Ｘ光"_s};
    QTest::addRow("empty text") << QString() << QStringList();
}

void tst_RadicalBrowser::words_beginningWithACharacter()
{
    QFETCH(QString, character);
    QFETCH(QStringList, words);
    Lookup::WordListModel model(m_dictionary);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.showWordsBeginningWith(u"北");
    model.showWordsBeginningWith(character);
    QCOMPARE(displayed(model), words);
    // The same as the plain scan of every entry.
    QStringList scanned;
    for (int e = 0; e < m_dictionary.entryCount(); ++e) {
        if (!character.isEmpty()
            && m_dictionary.headword(e).first(1) == QStringView(character).first(1))
            scanned << m_dictionary.headword(e).toString();
    }
    QCOMPARE(displayed(model), scanned);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void tst_RadicalBrowser::wordRow_showsTheEntryOfItsRun_data()
{
    QTest::addColumn<QString>("tsv");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("headword");
    QTest::addColumn<QString>("gloss");
    const QString tsv = u"一\tyī\tun\n乐\tlè\tjoyeux\n乐\tyuè\tmusique / air\n安\tān\tpaix\n"_s;
    QTest::addRow("first row") << tsv << 0 << u"乐"_s << u"joyeux"_s;
    QTest::addRow("second homograph") << tsv << 1 << u"乐"_s << u"musique / air"_s;
    QTest::addRow("past the end") << tsv << 2 << QString() << QString();
    QTest::addRow("none") << tsv << -1 << QString() << QString();
}

void tst_RadicalBrowser::wordRow_showsTheEntryOfItsRun()
{
    QFETCH(QString, tsv);
    QFETCH(int, row);
    QFETCH(QString, headword);
    QFETCH(QString, gloss);
    const auto tables = Dictionary::Tables::fromCompiled(
            Dictionary::compile(Dictionary::parseDictionary(tsv.toUtf8()).entries));
    const Dictionary::EntryRange words = Dictionary::entriesBeginningWith(tables, u'乐');
    const Lookup::ShownEntry shown = Lookup::rowToShow(tables, words, row);
    QCOMPARE(shown.isValid(), !headword.isEmpty());
    QCOMPARE(shown.headword.toString(), headword);
    QCOMPARE(shown.gloss.toString(), gloss);
    if (shown.isValid())
        QCOMPARE(shown.entry, words.begin + row);
}

QTEST_GUILESS_MAIN(tst_RadicalBrowser)
#include "tst_radicalbrowser.moc"
