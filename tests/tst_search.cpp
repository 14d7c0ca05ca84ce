#include "dictionary/loader.h"
#include "lookup/keylistmodel.h"
#include "search/resultcompletion.h"
#include "search/resultmodel.h"
#include "search/rowset.h"
#include "search/substring.h"
#include "testsupport_generated.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using Verarov::Dictionary::KeyList;
using Verarov::Dictionary::List;
using Verarov::Dictionary::Tables;
using Verarov::Search::ResultCompletion;
using Verarov::Search::RowSet;

Q_DECLARE_METATYPE(Verarov::Dictionary::List)

namespace {

// The keys of the rows found, in order.
QStringList keysOf(const KeyList &keys, const RowSet &rows)
{
    QStringList out;
    for (int row = rows.next(0); row >= 0; row = rows.next(row + 1))
        out << keys.key(row).toString();
    return out;
}

// The rows whose key contains text, by trying every start position.
std::vector<int> plainScan(const KeyList &keys, const QString &text)
{
    std::vector<int> rows;
    for (int row = 0; row < keys.count(); ++row) {
        const QString key = keys.key(row).toString();
        for (qsizetype at = 0; at + text.size() <= key.size(); ++at) {
            if (QStringView(key).sliced(at, text.size()) == text) {
                rows.push_back(row);
                break;
            }
        }
    }
    return rows;
}

std::vector<int> members(const RowSet &rows)
{
    std::vector<int> out;
    for (int j = 0; j < rows.count(); ++j)
        out.push_back(rows.at(j));
    return out;
}

} // namespace

class tst_Search : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findContaining_fixture_data();
    void findContaining_fixture();
    void findContaining_isThePlainScan_data();
    void findContaining_isThePlainScan();
    void rowSet_queriesAgreeWithTheRows_data();
    void rowSet_queriesAgreeWithTheRows();
    void resultModel_rowsAreTheKeysFound();
    void resultCompletion_isThePlainScan_data();
    void resultCompletion_isThePlainScan();

private:
    Tables m_tables;
};

void tst_Search::initTestCase()
{
    const auto loaded = Verarov::Dictionary::loadExternal(VERAROV_TEST_DATA "/search.tsv"_L1);
    QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
    m_tables = loaded.tables;
}

void tst_Search::findContaining_fixture_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");

    QTest::addRow("French chine: the échine keys, no Chine, no chiné")
            << List::FrenchKeys << u"chine"_s
            << QStringList{u"courber l'échine"_s, u"échine"_s, u"échine (fig.)"_s};
    QTest::addRow("French Chine: capital only")
            << List::FrenchKeys << u"Chine"_s
            << QStringList{u"Chine"_s, u"Chine (abrégé)"_s, u"la Chine"_s,
                           u"mer de Chine méridionale"_s};
    QTest::addRow("French accent counts")
            << List::FrenchKeys << u"chiné"_s << QStringList{u"tissu chiné"_s};
    QTest::addRow("Chinese inside a headword")
            << List::Headwords << u"中国"_s << QStringList{u"中国"_s, u"中国人"_s, u"发展中国家"_s};
    QTest::addRow("pinyin ai: one result per row")
            << List::PinyinKeys << u"ai"_s
            << QStringList{u"ai"_s,    u"ai"_s,  u"ai"_s,  u"ai"_s,    u"ai"_s,
                           u"aiguo"_s, u"hai"_s, u"kai"_s, u"Nanhai"_s};
    QTest::addRow("pinyin case counts")
            << List::PinyinKeys << u"zhong"_s
            << QStringList{u"fazhanzhongguojia"_s, u"guozhong"_s, u"zhong"_s};
    QTest::addRow("pinyin tone mark finds no toneless key")
            << List::PinyinKeys << u"ài"_s << QStringList{};
    QTest::addRow("longer than any key")
            << List::FrenchKeys << QString(10000, u'e') << QStringList{};
}

void tst_Search::findContaining_fixture()
{
    QFETCH(List, list);
    QFETCH(QString, text);
    QFETCH(QStringList, found);

    const KeyList keys(m_tables, list);
    const Verarov::Search::Found result = Verarov::Search::findContaining(keys, text);
    QVERIFY(result.failure.isEmpty());
    QCOMPARE(keysOf(keys, result.rows), found);
    QCOMPARE(result.rows.count(), found.size());
}

void tst_Search::findContaining_isThePlainScan_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<List>("list");
    for (quint32 seed : {1u, 2u, 3u}) {
        QTest::addRow("French keys, seed %u", seed) << seed << List::FrenchKeys;
        QTest::addRow("headwords, seed %u", seed) << seed << List::Headwords;
    }
}

void tst_Search::findContaining_isThePlainScan()
{
    QFETCH(quint32, seed);
    QFETCH(List, list);

    const Tables tables = generatedTables(seed);
    const KeyList keys(tables, list);
    QVERIFY(keys.count() > 1000);
    // Pieces of real keys (found) and of the pieces' alphabet (often not).
    QRandomGenerator random(seed * 7);
    QStringList texts{u"a"_s,    u"A"_s,          u"é"_s,      u"ch"_s, u"Chine"_s,
                      u"中国"_s, u"\U00020000"_s, u"\xdc00"_s, u"e e"_s};
    for (int i = 0; i < 300; ++i) {
        const QStringView key = keys.key(random.bounded(keys.count()));
        const qsizetype from = random.bounded(int(key.size()));
        texts << key.sliced(from, random.bounded(1, int(key.size() - from) + 1)).toString();
    }
    for (const QString &text : texts) {
        const Verarov::Search::Found found = Verarov::Search::findContaining(keys, text);
        QCOMPARE(members(found.rows), plainScan(keys, text));
    }
}

void tst_Search::rowSet_queriesAgreeWithTheRows_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("percent");     // chance of each row to be a member
    QTest::addColumn<QList<int>>("also"); // members in any case
    QTest::addRow("empty list") << 0 << 50 << QList<int>{};
    QTest::addRow("no member") << 200 << 0 << QList<int>{};
    QTest::addRow("every row") << 200 << 100 << QList<int>{};
    QTest::addRow("one block, partly") << 40 << 50 << QList<int>{};
    QTest::addRow("blocks and a part, sparse") << 1000 << 2 << QList<int>{};
    QTest::addRow("blocks and a part, dense") << 1000 << 90 << QList<int>{};
    QTest::addRow("whole blocks") << 256 << 50 << QList<int>{};
    QTest::addRow("first and last rows only") << 1000 << 0 << QList<int>{0, 999};
    QTest::addRow("last row of whole blocks only") << 256 << 0 << QList<int>{255};
}

void tst_Search::rowSet_queriesAgreeWithTheRows()
{
    QFETCH(int, size);
    QFETCH(int, percent);
    QFETCH(QList<int>, also);

    QRandomGenerator random(size + percent);
    std::vector<int> rows;
    RowSet set(size);
    for (int row = 0; row < size; ++row) {
        if (random.bounded(100) < percent || also.contains(row)) {
            rows.push_back(row);
            set.insert(row);
        }
    }
    set.seal();

    QCOMPARE(set.size(), size);
    QCOMPARE(set.count(), int(rows.size()));
    QCOMPARE(members(set), rows);
    for (int row = -1; row <= size + 1; ++row) {
        const auto at = std::lower_bound(rows.begin(), rows.end(), row);
        QCOMPARE(set.rank(row), int(at - rows.begin()));
        QCOMPARE(set.next(row), at == rows.end() ? -1 : *at);
        QCOMPARE(set.contains(row), at != rows.end() && *at == row);
    }
}

void tst_Search::resultModel_rowsAreTheKeysFound()
{
    Verarov::Search::ResultModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const KeyList keys(m_tables, List::PinyinKeys);
    model.setResults(keys, Verarov::Search::findContaining(keys, u"ai"_s).rows);
    QCOMPARE(model.rowCount(), 9);
    QSet<int> entries;
    for (int j = 0; j < model.rowCount(); ++j) {
        QCOMPARE(model.data(model.index(j)).toString(), keys.key(model.keyRow(j)));
        entries.insert(keys.entry(model.keyRow(j)));
    }
    QCOMPARE(entries.size(), 9); // the five rows "ai" lead to five entries
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

void tst_Search::resultCompletion_isThePlainScan_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("searched");
    QTest::addRow("French keys with e") << 11u << List::FrenchKeys << u"e"_s;
    QTest::addRow("French keys with é") << 12u << List::FrenchKeys << u"é"_s;
    QTest::addRow("French keys with a blank") << 14u << List::FrenchKeys << u" "_s;
    QTest::addRow("headwords with 国") << 15u << List::Headwords << u"国"_s;
}

void tst_Search::resultCompletion_isThePlainScan()
{
    QFETCH(quint32, seed);
    QFETCH(List, list);
    QFETCH(QString, searched);

    const auto tables = generatedTables(seed, 3000);
    const Verarov::Lookup::KeyListModel field(tables, list);
    Verarov::Search::ResultModel found;
    found.setResults(field.keys(), Verarov::Search::findContaining(field.keys(), searched).rows);
    QVERIFY(found.count() > 100);
    ResultCompletion completion(found);
    completion.setField(&field);
    const ResultCompletion withoutField(found);

    // Prefixes of results and of other keys, as they are, upper- and lower-cased.
    QRandomGenerator random(seed);
    QStringList texts{u"a"_s, u"A"_s, u"É"_s, u"x"_s, u"\U00020000"_s};
    for (int i = 0; i < 400; ++i) {
        const QStringView key = i % 2 ? found.key(random.bounded(found.count()))
                                      : field.key(random.bounded(field.keyCount()));
        const QString prefix = key.first(random.bounded(1, int(key.size()) + 1)).toString();
        texts << (i % 3 == 1 ? prefix.toUpper() : i % 3 == 2 ? prefix.toLower() : prefix);
    }
    for (const QString &text : texts) {
        const int plain = completion.CompletionList::findString(text);
        QCOMPARE(completion.findString(text), plain);
        QCOMPARE(withoutField.findString(text), plain);
    }
}

QTEST_GUILESS_MAIN(tst_Search)
#include "tst_search.moc"
