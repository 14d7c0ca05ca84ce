#include "dictionary/collation.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

class tst_Collation : public QObject
{
    Q_OBJECT

private slots:
    void ordered_data();
    void ordered();
    void equal_data();
    void equal();
};

void tst_Collation::ordered_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    // Primary level.
    QTest::addRow("prefix first") << u"un"_s << u"un, une"_s;
    QTest::addRow("blank before other symbols") << u"un à un"_s << u"un, une"_s;
    QTest::addRow("blank before letter") << u"a b"_s << u"ab"_s;
    QTest::addRow("symbols before digits") << u"?"_s << u"1"_s;
    QTest::addRow("digits before letters") << u"9"_s << u"a"_s;
    QTest::addRow("digits in natural order") << u"2"_s << u"3"_s;
    QTest::addRow("symbols by code point") << u"!"_s << u"?"_s;
    QTest::addRow("accent ignored at first level") << u"àb"_s << u"ac"_s;
    QTest::addRow("case ignored at first level") << u"Ab"_s << u"ac"_s;
    QTest::addRow("hyphen skipped at first level") << u"a-b"_s << u"ac"_s;
    QTest::addRow("ligature counts as two letters") << u"cœur"_s << u"cof"_s;
    QTest::addRow("chinese is a symbol, before digits") << u"中 x"_s << u"1"_s;
    QTest::addRow("chinese after other symbols by code point") << u"?"_s << u"中"_s;
    QTest::addRow("chinese by code point") << u"一"_s << u"中"_s;
    QTest::addRow("right quote is a symbol") << u"l\u2019a"_s << u"la"_s;
    // Diacritic level, from the last letter.
    QTest::addRow("élève before élevé") << u"élève"_s << u"élevé"_s;
    QTest::addRow("manière before maniéré") << u"manière"_s << u"maniéré"_s;
    QTest::addRow("pinyin gè zi before gé zǐ") << u"gè zi"_s << u"gé zǐ"_s;
    QTest::addRow("homographs yì before yī") << u"yì sī bù gǒu"_s << u"yī sī bù gǒu"_s;
    QTest::addRow("lé before lè") << u"lé"_s << u"lè"_s;
    QTest::addRow("lè before yuè") << u"lè"_s << u"yuè"_s;
    QTest::addRow("acute < grave < caron < macron") << u"á à ǎ"_s << u"á à ā"_s;
    QTest::addRow("no mark before circumflex") << u"cote"_s << u"côte"_s;
    QTest::addRow("umlaut before umlaut with tone") << u"lü"_s << u"lǘ"_s;
    // Hyphen level.
    QTest::addRow("micro before micro-") << u"micro"_s << u"micro-"_s;
    QTest::addRow("without hyphen first") << u"à contrecoeur"_s << u"à contre-coeur"_s;
    QTest::addRow("without apostrophe first") << u"ǒu xiàng"_s << u"ǒu 'xiàng"_s;
    QTest::addRow("earlier hyphen first") << u"a-bc"_s << u"ab-c"_s;
    QTest::addRow("diacritics before hyphens decide") << u"e-e"_s << u"eé"_s;
}

void tst_Collation::ordered()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QVERIFY2(collationCompare(before, after) < 0, qPrintable(before + u" < "_s + after));
    QVERIFY(collationCompare(after, before) > 0);
    QVERIFY(collationKey(before) < collationKey(after));
}

void tst_Collation::equal_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addRow("case only") << u"Beijing"_s << u"beijing"_s;
    QTest::addRow("case of accented letter") << u"À"_s << u"à"_s;
    QTest::addRow("ligature and letters, case") << u"Œuvre"_s << u"œuvre"_s;
    QTest::addRow("empty") << QString() << QString();
}

void tst_Collation::equal()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QCOMPARE(collationCompare(a, b), 0);
}

QTEST_GUILESS_MAIN(tst_Collation)
#include "tst_collation.moc"
