#include "dictionary/builder.h"
#include "dictionary/radicals.h"
#include "dictionary/reader.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

namespace {

// The rows of built tables as "character|readings|strokes".
QStringList rowsOf(const RadicalTables &t)
{
    QStringList rows;
    for (int r = 0; r < t.rowCount(); ++r)
        rows << t.character(r).toString() + u'|' + t.reading(r).toString() + u'|'
                        + t.strokes(r).toString();
    return rows;
}

// Every radical with characters as "n:first-last".
QStringList rangesOf(const RadicalTables &t)
{
    QStringList ranges;
    for (int n = 1; n <= kRadicalNumberMax; ++n) {
        if (!t.rows(n).isEmpty())
            ranges << u"%1:%2-%3"_s.arg(n).arg(t.rows(n).first).arg(t.rows(n).last);
    }
    return ranges;
}

QList<int> ignoredLinesOf(const RadicalTables &t)
{
    QList<int> lines;
    for (const IgnoredRadicalLine &ignored : t.ignoredLines())
        lines << ignored.line;
    return lines;
}

Tables tablesOf(const QString &tsv)
{
    return Tables::fromCompiled(compile(parseDictionary(tsv.toUtf8()).entries));
}

} // namespace

class tst_Radicals : public QObject
{
    Q_OBJECT

private slots:
    void tree_hasTheHeadingsAndRadicalsInDisplayOrder();
    void parseRadicalTree_refusesMalformedTables_data();
    void parseRadicalTree_refusesMalformedTables();
    void radicalListLines_splitsAtLineFeeds_data();
    void radicalListLines_splitsAtLineFeeds();
    void build_cutsFieldsByPositionAndSetsRanges_data();
    void build_cutsFieldsByPositionAndSetsRanges();
    void build_fromTextReadsItsLines_data();
    void build_fromTextReadsItsLines();
    void build_noSlotZeroNorBeyond();
    void check_acceptsAWellFormedList();
    void check_reportsEachBrokenRule_data();
    void check_reportsEachBrokenRule();
    void report_countsFilingsAndUnreachableEntries();
};

void tst_Radicals::tree_hasTheHeadingsAndRadicalsInDisplayOrder()
{
    const QList<RadicalNode> &tree = radicalTree();
    QCOMPARE(tree.size(), 199);
    QList<int> headings;
    QStringList headingCaptions;
    for (int i = 0; i < tree.size(); ++i) {
        if (tree[i].heading) {
            headings << i;
            headingCaptions << tree[i].caption;
        }
    }
    QCOMPARE(headings, (QList<int>{0, 6, 33, 73, 112, 135, 158, 176, 184, 190, 192, 195}));
    QCOMPARE(headingCaptions, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s,
                                           u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s}));
    QCOMPARE(tree[1].caption, u"丶"_s);
    QCOMPARE(tree[5].caption, u"乙(乚乛)"_s);
    QCOMPARE(tree[10].caption, u"讠/言"_s);
    QCOMPARE(tree[28].caption, u"阝(g)"_s);
    QCOMPARE(tree[29].caption, u"阝(d)"_s);
    QCOMPARE(tree[50].caption, u"扌"_s);
    QCOMPARE(tree[66].caption, u"屮"_s);
    QCOMPARE(tree[198].caption, u"鼻"_s);
    for (int n : headings)
        QVERIFY(!isRadicalNumber(n));
    QVERIFY(isRadicalNumber(1) && isRadicalNumber(66) && isRadicalNumber(198));
    QVERIFY(!isRadicalNumber(-1) && !isRadicalNumber(199));
}

void tst_Radicals::parseRadicalTree_refusesMalformedTables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("nodes");
    QTest::addRow("two headings") << u"1\t丶 一\n2\t亠\n"_s << 5;
    QTest::addRow("no final line feed") << u"1\t丶"_s << 2;
    QTest::addRow("no TAB") << u"1 丶 一\n"_s << 0;
    QTest::addRow("empty heading") << u"\t丶\n"_s << 0;
    QTest::addRow("double blank") << u"1\t丶  一\n"_s << 0;
}

void tst_Radicals::parseRadicalTree_refusesMalformedTables()
{
    QFETCH(QString, table);
    QFETCH(int, nodes);
    QCOMPARE(parseRadicalTree(table).size(), nodes);
}

void tst_Radicals::radicalListLines_splitsAtLineFeeds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addRow("final line feed") << u"#1\n为\tw\t4\n"_s << QStringList{u"#1"_s, u"为\tw\t4"_s};
    QTest::addRow("no final line feed") << u"#1\n#2"_s << QStringList{u"#1"_s, u"#2"_s};
    QTest::addRow("CR LF") << u"#1\r\n#2\r\n"_s << QStringList{u"#1"_s, u"#2"_s};
    QTest::addRow("empty line kept") << u"#1\n\n#2\n"_s << QStringList{u"#1"_s, QString(), u"#2"_s};
    QTest::addRow("empty text") << QString() << QStringList();
}

void tst_Radicals::radicalListLines_splitsAtLineFeeds()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(radicalListLines(text), lines);
}

void tst_Radicals::build_cutsFieldsByPositionAndSetsRanges_data()
{
    QTest::addColumn<QStringList>("raw");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("ranges");
    QTest::addColumn<QList<int>>("ignored"); // 1-based line numbers

    QTest::addRow("radicals in order, one empty")
            << QStringList{u"#1"_s, u"义\tyì\t3"_s, u"为\twèi, wéi\t4"_s,
                           u"#2"_s, u"#3"_s,        u"丫\tyā\t3"_s}
            << QStringList{u"义|yì|3"_s, u"为|wèi, wéi|4"_s, u"丫|yā|3"_s}
            << QStringList{u"1:0-1"_s, u"3:2-2"_s} << QList<int>{};
    QTest::addRow("character under two radicals")
            << QStringList{u"#1"_s, u"主\tzhǔ\t5"_s, u"#82"_s, u"主\tzhǔ\t5"_s, u"玉\tyù\t5"_s}
            << QStringList{u"主|zhǔ|5"_s, u"主|zhǔ|5"_s, u"玉|yù|5"_s}
            << QStringList{u"1:0-0"_s, u"82:1-2"_s} << QList<int>{};
    QTest::addRow("headers of one, two and three digits")
            << QStringList{u"#7"_s,          u"亡\twáng\t3"_s, u"#74"_s,
                           u"点\tdiǎn\t9"_s, u"#198"_s,        u"鼻\tbí\t14"_s}
            << QStringList{u"亡|wáng|3"_s, u"点|diǎn|9"_s, u"鼻|bí|14"_s}
            << QStringList{u"7:0-0"_s, u"74:1-1"_s, u"198:2-2"_s} << QList<int>{};
    QTest::addRow("only the first three digits are read")
            << QStringList{u"#01"_s, u"一\tyī\t1"_s, u"#1234"_s, u"x\ty\t1"_s}
            << QStringList{u"一|yī|1"_s, u"x|y|1"_s} << QStringList{u"1:0-0"_s, u"123:1-1"_s}
            << QList<int>{};
    QTest::addRow("extra TAB stays in the strokes")
            << QStringList{u"#1"_s, u"为\twèi\t4\textra"_s} << QStringList{u"为|wèi|4\textra"_s}
            << QStringList{u"1:0-0"_s} << QList<int>{};
    QTest::addRow("empty readings and strokes")
            << QStringList{u"#1"_s, u"为\t\t"_s} << QStringList{u"为||"_s}
            << QStringList{u"1:0-0"_s} << QList<int>{};
    QTest::addRow("character lines before the first header")
            << QStringList{u"为\twèi\t4"_s, u"#1"_s, u"义\tyì\t3"_s} << QStringList{u"义|yì|3"_s}
            << QStringList{u"1:0-0"_s} << QList<int>{1};
    QTest::addRow("header without a number leaves its lines out")
            << QStringList{u"#1"_s,  u"义\tyì\t3"_s, u"#"_s,  u"为\twèi\t4"_s,
                           u"#x2"_s, u"丫\tyā\t3"_s, u"#2"_s, u"一\tyī\t1"_s}
            << QStringList{u"义|yì|3"_s, u"一|yī|1"_s} << QStringList{u"1:0-0"_s, u"2:1-1"_s}
            << QList<int>{3, 4, 5, 6};
    QTest::addRow("numbers that are no radical")
            << QStringList{u"#0"_s,   u"a\tb\t1"_s, u"#6"_s,  u"b\tc\t1"_s,
                           u"#199"_s, u"c\td\t1"_s, u"#-1"_s, u"d\te\t1"_s}
            << QStringList{} << QStringList{} << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::addRow("malformed character lines")
            << QStringList{u"#1"_s,   u"为 wèi 4"_s,          u"为\twèi"_s,
                           u"为"_s,   u"\U00020000\the\t7"_s, u"\t\tx\t1"_s,
                           QString(), u"义\tyì\t3"_s}
            << QStringList{u"义|yì|3"_s} << QStringList{u"1:0-0"_s} << QList<int>{2, 3, 4, 5, 6, 7};
    QTest::addRow("header repeated later spans the rows between")
            << QStringList{u"#1"_s,        u"义\tyì\t3"_s, u"#2"_s,
                           u"一\tyī\t1"_s, u"#1"_s,        u"为\twèi\t4"_s}
            << QStringList{u"义|yì|3"_s, u"一|yī|1"_s, u"为|wèi|4"_s}
            << QStringList{u"1:0-2"_s, u"2:1-1"_s} << QList<int>{};
    QTest::addRow("empty list") << QStringList{} << QStringList{} << QStringList{} << QList<int>{};
}

void tst_Radicals::build_cutsFieldsByPositionAndSetsRanges()
{
    QFETCH(QStringList, raw);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, ranges);
    QFETCH(QList<int>, ignored);
    const RadicalTables t = buildRadicalTables(raw);
    QCOMPARE(rowsOf(t), rows);
    QCOMPARE(rangesOf(t), ranges);
    QCOMPARE(ignoredLinesOf(t), ignored);
    // Every row lies inside the rows, whatever the input.
    for (int n = 0; n <= kRadicalNumberMax + 1; ++n) {
        const RadicalRows r = t.rows(n);
        QVERIFY(r.isEmpty() || (r.first >= 0 && r.last < t.rowCount()));
    }
}

void tst_Radicals::build_fromTextReadsItsLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("ignored");
    QTest::addRow("LF") << u"#1\n为\twèi\t4\n"_s << QStringList{u"为|wèi|4"_s} << QList<int>{};
    QTest::addRow("CR LF") << u"#1\r\n为\twèi\t4\r\n"_s << QStringList{u"为|wèi|4"_s}
                           << QList<int>{};
    QTest::addRow("no final line feed")
            << u"#1\n为\twèi\t4"_s << QStringList{u"为|wèi|4"_s} << QList<int>{};
    QTest::addRow("line numbers of left-out lines")
            << u"x\ty\t1\n#1\n\n为\twèi\t4\n#\n"_s << QStringList{u"为|wèi|4"_s}
            << QList<int>{1, 3, 5};
    QTest::addRow("only line feeds") << u"\n\n"_s << QStringList() << QList<int>{1, 2};
}

void tst_Radicals::build_fromTextReadsItsLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, ignored);
    const RadicalTables t = buildRadicalTables(text);
    QCOMPARE(rowsOf(t), rows);
    QCOMPARE(ignoredLinesOf(t), ignored);
}

void tst_Radicals::build_noSlotZeroNorBeyond()
{
    // Headings and indexes outside 1 to 198 read as empty radicals.
    const RadicalTables t = buildRadicalTables({u"#1"_s, u"义\tyì\t3"_s, u"#5"_s, u"乙\tyǐ\t1"_s});
    for (int n : {-1, 0, 6, 33, 195, 199, 1000})
        QVERIFY(t.rows(n).isEmpty());
    QCOMPARE(t.rows(5).first, 1);
    QCOMPARE(t.rows(5).size(), 1);
    QVERIFY(t.rows(2).isEmpty()); // no characters
    QCOMPARE(t.headerCount(), 2);
}

void tst_Radicals::check_acceptsAWellFormedList()
{
    QStringList raw;
    for (int n = 1; n <= kRadicalNumberMax; ++n) {
        if (!isRadicalNumber(n))
            continue;
        raw << u"#%1"_s.arg(n);
        if (n == 1)
            raw << u"义\tyì\t3"_s << u"为\twèi, wéi\t4"_s << u"主\tzhǔ, Zhǔ\t5"_s;
    }
    raw << u"鼻\tbí\t14"_s;
    QCOMPARE(checkRadicalList(raw), QStringList());
}

void tst_Radicals::check_reportsEachBrokenRule_data()
{
    QTest::addColumn<QStringList>("lines"); // put after the headers #1 (and #2 when named)
    QTest::addColumn<QString>("violation");
    QTest::addRow("strokes descending") << QStringList{u"#1"_s, u"为\twèi\t4"_s, u"义\tyì\t3"_s}
                                        << u"ligne 3 : 3 traits après 4"_s;
    QTest::addRow("strokes zero") << QStringList{u"#1"_s, u"为\twèi\t0"_s}
                                  << u"ligne 2 : nombre de traits autre qu'un nombre de 1 à 99"_s;
    QTest::addRow("strokes over 99")
            << QStringList{u"#1"_s, u"为\twèi\t100"_s}
            << u"ligne 2 : nombre de traits autre qu'un nombre de 1 à 99"_s;
    QTest::addRow("strokes not a number")
            << QStringList{u"#1"_s, u"为\twèi\tquatre"_s}
            << u"ligne 2 : nombre de traits autre qu'un nombre de 1 à 99"_s;
    QTest::addRow("readings joined by a comma only")
            << QStringList{u"#1"_s, u"为\twèi,wéi\t4"_s}
            << u"ligne 2 : lectures non séparées par \", \""_s;
    QTest::addRow("no readings") << QStringList{u"#1"_s, u"为\t\t4"_s}
                                 << u"ligne 2 : lectures non séparées par \", \""_s;
    QTest::addRow("first TAB not second")
            << QStringList{u"#1"_s, u"为为\twèi\t4"_s}
            << u"ligne 2 : le caractère n'est pas une seule unité de code suivie d'une TAB"_s;
    QTest::addRow("character outside the BMP")
            << QStringList{u"#1"_s, u"\U00020000\the\t7"_s}
            << u"ligne 2 : le caractère n'est pas une seule unité de code suivie d'une TAB"_s;
    QTest::addRow("no second TAB")
            << QStringList{u"#1"_s, u"为\twèi 4"_s} << u"ligne 2 : pas de TAB après les lectures"_s;
    QTest::addRow("four fields") << QStringList{u"#1"_s, u"为\twèi\t4\tx"_s}
                                 << u"ligne 2 : 4 champs au lieu de 3"_s;
    QTest::addRow("line before the first header")
            << QStringList{u"为\twèi\t4"_s, u"#1"_s}
            << u"ligne 1 : ligne de caractère avant le premier en-tête"_s;
    QTest::addRow("leading zero") << QStringList{
            u"#01"_s} << u"ligne 1 : en-tête autre que \"#\" et un nombre sans zéro en tête"_s;
    QTest::addRow("header of a heading")
            << QStringList{u"#1"_s, u"#6"_s}
            << u"ligne 2 : l'en-tête 6 n'est pas un numéro de radical"_s;
    QTest::addRow("headers descending")
            << QStringList{u"#2"_s, u"#1"_s} << u"ligne 2 : l'en-tête 1 ne suit pas 2"_s;
    QTest::addRow("header missing")
            << QStringList{u"#2"_s} << u"ligne 1 : pas d'en-tête pour le radical 1"_s;
    QTest::addRow("character twice under a radical")
            << QStringList{u"#1"_s, u"为\twèi\t4"_s, u"为\twéi\t4"_s}
            << u"ligne 3 : caractère classé deux fois sous le radical 1"_s;
}

void tst_Radicals::check_reportsEachBrokenRule()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, violation);
    QStringList raw = lines;
    const int last = lines.contains(u"#2"_s) ? 2 : 1;
    for (int n = last + 1; n <= kRadicalNumberMax; ++n) {
        if (isRadicalNumber(n))
            raw << u"#%1"_s.arg(n);
    }
    const QStringList violations = checkRadicalList(raw);
    QVERIFY2(violations.contains(violation), qPrintable(violations.join(u'\n')));
}

void tst_Radicals::report_countsFilingsAndUnreachableEntries()
{
    const RadicalTables radicals =
            buildRadicalTables({u"#1"_s, u"为\twèi\t4"_s, u"主\tzhǔ\t5"_s, u"#2"_s, u"一\tyī\t1"_s,
                                u"#3"_s, u"#82"_s, u"主\tzhǔ\t5"_s});
    const Tables dictionary =
            tablesOf(u"一\tyī\tun\n一一\tyī yī\tun à un\n主\tzhǔ\tmaître\n"
                     u"俄\té\tRussie\n俄国\té guó\tRussie\n偶然\tǒu rán\tfortuit\n"_s);
    const RadicalReport r = radicalReport(radicals, dictionary);
    QCOMPARE(r.headers, 4);
    QCOMPARE(r.characterLines, 4);
    QCOMPARE(r.distinctCharacters, 3);
    QCOMPARE(r.multiRadicalCharacters, 1);
    QCOMPARE(r.largestRadical, 1);
    QCOMPARE(r.largestRadicalSize, 2);
    QCOMPARE(r.emptyRadicals.size(), 187 - 3);
    QVERIFY(r.emptyRadicals.contains(3));
    QCOMPARE(r.unreachableEntries, 3);
    QCOMPARE(r.unreachableFirstCharacters, 2);
}

QTEST_GUILESS_MAIN(tst_Radicals)
#include "tst_radicals.moc"
