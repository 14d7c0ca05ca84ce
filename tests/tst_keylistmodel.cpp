#include "lookup/keylistmodel.h"
#include "dictionary/loader.h"
#include "testsupport_generated.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;
using Verarov::Dictionary::List;
using Verarov::Lookup::KeyListModel;

Q_DECLARE_METATYPE(Verarov::Dictionary::List)

class tst_KeyListModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rowsAreTheList_data();
    void rowsAreTheList();
    void findString_isTheScan_data();
    void findString_isTheScan();
    void findString_throughTheCarriedIndex_isTheScan_data();
    void findString_throughTheCarriedIndex_isTheScan();

private:
    Verarov::Dictionary::Tables m_tables;
};

void tst_KeyListModel::initTestCase()
{
    const auto loaded = Verarov::Dictionary::loadExternal(VERAROV_TEST_DATA "/lookup.tsv"_L1);
    QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
    m_tables = loaded.tables;
}

void tst_KeyListModel::rowsAreTheList_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<List>("indexList"); // entry of each row; liste_dico_ch: the row
    QTest::addRow("headwords") << List::Headwords << List::Headwords;
    QTest::addRow("pinyin keys") << List::PinyinKeys << List::PinyinKeyEntries;
    QTest::addRow("French keys") << List::FrenchKeys << List::FrenchKeyEntries;
}

void tst_KeyListModel::rowsAreTheList()
{
    QFETCH(List, list);
    QFETCH(List, indexList);

    KeyListModel model(m_tables, list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), m_tables.rowCount(list));
    QVERIFY(model.rowCount() > 0);
    for (int row = 0; row < model.rowCount(); ++row) {
        QCOMPARE(model.data(model.index(row)).toString(), m_tables.row(list, row));
        QCOMPARE(model.key(row), m_tables.row(list, row));
        const int entry = list == indexList ? row : m_tables.row(indexList, row).toInt();
        QCOMPARE(model.entry(row), entry);
    }
}

void tst_KeyListModel::findString_isTheScan_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found"); // key of the row found, empty for none
    QTest::addRow("French a skips the à rows")
            << List::FrenchKeys << u"a"_s << u"A Bao (mon trésor)"_s;
    QTest::addRow("French à") << List::FrenchKeys << u"À"_s << u"à"_s;
    QTest::addRow("pinyin ab") << List::PinyinKeys << u"AB"_s << u"abao"_s;
    QTest::addRow("pinyin none") << List::PinyinKeys << u"q"_s << QString();
    QTest::addRow("headword") << List::Headwords << u"爱"_s << u"爱"_s;
}

void tst_KeyListModel::findString_isTheScan()
{
    QFETCH(List, list);
    QFETCH(QString, text);
    QFETCH(QString, found);

    const KeyListModel model(m_tables, list);
    const int row = model.findString(text);
    QCOMPARE(row, model.CompletionList::findString(text));
    QCOMPARE(row < 0 ? QString() : model.key(row).toString(), found);
}

void tst_KeyListModel::findString_throughTheCarriedIndex_isTheScan_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {3u, 11u}) {
        QTest::addRow("headwords, seed %u", seed) << List::Headwords << seed;
        QTest::addRow("pinyin keys, seed %u", seed) << List::PinyinKeys << seed;
        QTest::addRow("French keys, seed %u", seed) << List::FrenchKeys << seed;
    }
}

// The model searches the prefix index the compiled dictionary carries:
// the same row as the plain scan for prefixes of its keys in both cases
// and for texts no key begins with.
void tst_KeyListModel::findString_throughTheCarriedIndex_isTheScan()
{
    QFETCH(List, list);
    QFETCH(quint32, seed);
    const Verarov::Dictionary::Tables tables = generatedTables(seed);
    const KeyListModel model(tables, list);
    QRandomGenerator random(seed);
    QStringList probes{QString(), u"zz"_s, u"\U00020000"_s};
    for (int i = 0; i < 500; ++i) {
        const QStringView key = model.key(random.bounded(model.keyCount()));
        const QString prefix = key.first(random.bounded(1, int(key.size()) + 1)).toString();
        probes << prefix << prefix.toUpper() << prefix.toLower();
    }
    for (const QString &probe : probes)
        QCOMPARE(model.findString(probe), model.CompletionList::findString(probe));
}

QTEST_GUILESS_MAIN(tst_KeyListModel)
#include "tst_keylistmodel.moc"
