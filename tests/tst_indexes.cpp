// The indexes a compiled dictionary carries: the prefix tree of each lookup
// list and the headword trie of the translation, mapped where they lie,
// built again when they are missing or fold letter case otherwise, and
// never trusted past their bounds.
#include "dictionary/builder.h"
#include "dictionary/casefolding.h"
#include "dictionary/check.h"
#include "dictionary/headwordtrie.h"
#include "dictionary/tables.h"
#include "testsupport_generated.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <vector>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

Q_DECLARE_METATYPE(Verarov::Dictionary::List)

namespace {

// Case variants (Ｘ光/ｘ光, Σ/σ/ς, ẞ/ß, Kelvin sign), homographs, a word
// outside the BMP and in Deseret capitals, seven units and eight, a TAB.
const QList<Entry> kEntries = {
        {u"一"_s, u"yī"_s, u"un"_s},
        {u"一一"_s, u"yī yī"_s, u"un par un"_s},
        {u"下"_s, u"xià"_s, u" \t bas / dessous \r\n"_s},
        {u"好"_s, u"hǎo"_s, u"bon"_s},
        {u"好"_s, u"hào"_s, u"aimer"_s},
        {u"Ｘ光"_s, u"X guāng"_s, u"rayons X"_s},
        {u"ｘ光"_s, u"x guāng"_s, u"radio"_s},
        {u"ｘ光"_s, u"x guāng"_s, u"radiographie"_s},
        {u"一二三四五六七"_s, u"yī èr sān sì wǔ liù qī"_s, u"sept"_s},
        {u"一二三四五六七八"_s, u"yī èr sān sì wǔ liù qī bā"_s, u"huit"_s},
        {u"Σ下"_s, u"sigma xià"_s, u"sigma"_s},
        {u"ς下"_s, u"sigma xià"_s, u"sigma final"_s},
        {u"ẞ一"_s, u"ss yī"_s, u"eszett"_s},
        {u"\u212A一"_s, u"kelvin yī"_s, u"kelvin"_s},
        {u"𐐀下"_s, u"deseret xià"_s, u"deseret"_s},
        {u"一\t下"_s, u"tab"_s, u"jamais trouvé"_s},
};

QString folded(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    foldCodePoints(text, reinterpret_cast<char16_t *>(out.data()));
    return out;
}

// The node of a folded text, or kNone.
HeadwordTrie::Node walk(const HeadwordTrie &trie, QStringView foldedText)
{
    HeadwordTrie::Node node = HeadwordTrie::kRoot;
    for (const QChar c : foldedText) {
        node = trie.child(node, c.unicode());
        if (node == HeadwordTrie::kNone)
            break;
    }
    return node;
}

// What the trie says a headword's folded text writes, as the translation
// reads it: the first entry, then the later ones of the exact spelling.
QList<int> entriesWritten(const Tables &tables, const QString &candidate)
{
    const HeadwordTrie &trie = tables.headwordTrie();
    const HeadwordTrie::Node node = walk(trie, folded(candidate));
    if (node == HeadwordTrie::kNone || node == HeadwordTrie::kRoot || trie.firstEntry(node) < 0)
        return {};
    const int first = trie.firstEntry(node);
    QList<int> entries{first};
    const int group = trie.group(node);
    for (int s = 0; s < trie.spellingCount(group); ++s) {
        const std::span<const quint32> spelling = trie.spelling(group, s);
        if (tables.headword(int(spelling.front())) != candidate)
            continue;
        for (const quint32 e : spelling) {
            if (int(e) > first)
                entries.append(int(e));
        }
    }
    if (folded(candidate) == candidate && trie.foldedRun(node) > 0) {
        QList<int> run;
        for (int e = first; e < first + trie.foldedRun(node); ++e)
            run.append(e);
        if (run != entries)
            return {-2}; // the run disagrees with the spellings
    }
    return entries;
}

// The same by the plain scans of the headword list.
QList<int> scannedEntries(const Tables &tables, const QString &candidate)
{
    if (candidate.isEmpty() || candidate.size() > kLongestTrieHeadword || candidate.contains(u'\t')
        || candidate.contains(u'\r') || candidate.contains(u'\n'))
        return {};
    QList<int> entries;
    for (int e = 0; e < tables.entryCount(); ++e) {
        if (entries.isEmpty() ? tables.headword(e).compare(candidate, Qt::CaseInsensitive) == 0
                              : tables.headword(e) == candidate)
            entries.append(e);
    }
    return entries;
}

// Every answer the indexes give for the probes, checked to be a row or an
// entry of the tables; false at the first that is not.
bool answersInRange(const Tables &tables, const QStringList &probes)
{
    for (const List list : {List::Headwords, List::PinyinKeys, List::FrenchKeys}) {
        const std::span<const quint32> tree = tables.prefixTree(list);
        if (tree.size() != 2 * std::size_t(tables.rowCount(list)))
            return false;
        for (const quint32 row : tree) {
            if (row >= quint32(tables.rowCount(list)))
                return false;
        }
    }
    const HeadwordTrie &trie = tables.headwordTrie();
    for (const QString &probe : probes) {
        HeadwordTrie::Node node = HeadwordTrie::kRoot;
        for (const QChar c : folded(probe)) {
            if (node != HeadwordTrie::kRoot && !trie.hasChildren(node))
                break;
            node = trie.child(node, c.unicode());
            if (node == HeadwordTrie::kNone)
                break;
            const int first = trie.firstEntry(node);
            if (first < -1 || first >= tables.entryCount())
                return false;
            if (first < 0)
                continue;
            if (first + trie.foldedRun(node) > tables.entryCount())
                return false;
            const int group = trie.group(node);
            for (int s = 0; s < trie.spellingCount(group); ++s) {
                for (const quint32 e : trie.spelling(group, s)) {
                    if (e >= quint32(tables.entryCount()))
                        return false;
                }
            }
            if (trie.foldedSpelling(group) >= trie.spellingCount(group))
                return false;
        }
    }
    return true;
}

QStringList headwordsAndVariants(const Tables &tables)
{
    QStringList probes;
    for (int e = 0; e < tables.entryCount(); ++e) {
        const QString h = tables.headword(e).toString();
        probes << h << h.toUpper() << h.toLower() << h.first(h.size() / 2);
    }
    probes << u"ＸＸ光"_s << u"𐐨下"_s << u"\xd801"_s << u"σ下一"_s;
    return probes;
}

} // namespace

class tst_Indexes : public QObject
{
    Q_OBJECT

private slots:
    void caseFolding_data();
    void caseFolding();
    void headwordTrie_givesThePlainScans_data();
    void headwordTrie_givesThePlainScans();
    void prefixTree_ordersTheFoldedKeys_data();
    void prefixTree_ordersTheFoldedKeys();
    void indexes_mappedOrBuiltAgain_data();
    void indexes_mappedOrBuiltAgain();
    void damagedIndexes_refusedOrAnsweringInRange_data();
    void damagedIndexes_refusedOrAnsweringInRange();
};

void tst_Indexes::caseFolding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("byUnit");      // foldUnit on each unit: the lookup fields
    QTest::addColumn<QString>("byCodePoint"); // foldCodePoints: the translation
    QTest::addRow("ASCII") << u"AbZ"_s << u"abz"_s << u"abz"_s;
    QTest::addRow("accented capital, never its base letter") << u"É"_s << u"é"_s << u"é"_s;
    QTest::addRow("sigmas") << u"Σσς"_s << u"σσσ"_s << u"σσσ"_s;
    QTest::addRow("capital sharp s, not ss") << u"ẞß"_s << u"ßß"_s << u"ßß"_s;
    QTest::addRow("Kelvin sign") << u"\u212A"_s << u"k"_s << u"k"_s;
    QTest::addRow("fullwidth") << u"Ｘ光"_s << u"ｘ光"_s << u"ｘ光"_s;
    QTest::addRow("pair: a surrogate stays, the character folds") << u"𐐀"_s << u"𐐀"_s << u"𐐨"_s;
    QTest::addRow("lone surrogates stay")
            << u"\xd801Σ\xdc00"_s << u"\xd801σ\xdc00"_s << u"\xd801σ\xdc00"_s;
    QTest::addRow("CJK and blanks unchanged") << u"一 下\t"_s << u"一 下\t"_s << u"一 下\t"_s;
}

void tst_Indexes::caseFolding()
{
    QFETCH(QString, text);
    QFETCH(QString, byUnit);
    QFETCH(QString, byCodePoint);
    QString units;
    for (const QChar c : text)
        units.append(QChar(foldUnit(c.unicode())));
    QCOMPARE(units, byUnit);
    QCOMPARE(folded(text), byCodePoint);
    // Both are the toolkit's comparison with case ignored.
    QCOMPARE(QString::compare(text, byCodePoint, Qt::CaseInsensitive), 0);
}

void tst_Indexes::headwordTrie_givesThePlainScans_data()
{
    QTest::addColumn<quint32>("seed"); // of generated tables; 0: case variants and homographs
    QTest::addRow("case variants and homographs") << 0u;
    QTest::addRow("generated 1") << 1u;
    QTest::addRow("generated 2") << 2u;
}

void tst_Indexes::headwordTrie_givesThePlainScans()
{
    QFETCH(quint32, seed);
    const Tables tables =
            seed == 0 ? Tables::fromCompiled(compile(kEntries)) : generatedTables(seed);
    QVERIFY(tables.entryCount() > 0);
    const QStringList probes = headwordsAndVariants(tables);
    for (const QString &probe : probes)
        QCOMPARE(entriesWritten(tables, probe), scannedEntries(tables, probe));
}

void tst_Indexes::prefixTree_ordersTheFoldedKeys_data()
{
    QTest::addColumn<List>("list");
    QTest::addRow("liste_dico_ch") << List::Headwords;
    QTest::addRow("liste_pin_ss_accent") << List::PinyinKeys;
    QTest::addRow("liste_fr") << List::FrenchKeys;
}

void tst_Indexes::prefixTree_ordersTheFoldedKeys()
{
    QFETCH(List, list);
    const Tables tables = generatedTables(7);
    const int n = tables.rowCount(list);
    const std::span<const quint32> tree = tables.prefixTree(list);
    QCOMPARE(tree.size(), 2 * std::size_t(n));
    auto foldedRow = [&](quint32 row) {
        QString key = tables.row(list, int(row));
        for (QChar &c : key)
            c = QChar(foldUnit(c.unicode()));
        return key;
    };
    // Leaves: every row once, by folded key, ties by row.
    std::vector<bool> seen(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i) {
        const quint32 row = tree[std::size_t(n + i)];
        QVERIFY(row < quint32(n) && !seen[row]);
        seen[row] = true;
        if (i > 0) {
            const quint32 before = tree[std::size_t(n + i - 1)];
            const int order =
                    QString::compare(foldedRow(before), foldedRow(row), Qt::CaseSensitive);
            QVERIFY2(order < 0 || (order == 0 && before < row), qPrintable(foldedRow(row)));
        }
    }
    // Inner nodes: the smallest row below them.
    for (std::size_t k = std::size_t(n) - 1; k >= 1; --k)
        QCOMPARE(tree[k], std::min(tree[2 * k], tree[2 * k + 1]));
}

void tst_Indexes::indexes_mappedOrBuiltAgain_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("mapped"); // read where it lies, else built at load
    QTest::addRow("as compiled") << u"none"_s << true;
    QTest::addRow("made with another Unicode version") << u"folding"_s << false;
    QTest::addRow("without index section") << u"no section"_s << false;
}

void tst_Indexes::indexes_mappedOrBuiltAgain()
{
    QFETCH(QString, change);
    QFETCH(bool, mapped);
    const QByteArray compiled = compile(kEntries);
    const Tables original = Tables::fromCompiled(compiled);
    const QByteArray section = original.indexSection().toByteArray();
    QVERIFY(!section.isEmpty());

    // The header: magic (8 bytes), four counts, the size of the index
    // section (offset 24), the Unicode version of its folding (offset 28).
    QByteArray bytes = compiled;
    if (change == u"folding") {
        qToLittleEndian<quint32>(qFromLittleEndian<quint32>(bytes.constData() + 28) + 1,
                                 bytes.data() + 28);
    } else if (change == u"no section") {
        bytes.chop(section.size());
        qToLittleEndian<quint32>(0, bytes.data() + 24);
    }
    QString error;
    const Tables tables = Tables::fromCompiled(bytes, &error);
    QVERIFY2(!tables.isEmpty(), qPrintable(error));
    const char *begin = tables.compiled().constData();
    const char *at = tables.indexSection().data();
    QCOMPARE(at >= begin && at < begin + tables.compiled().size(), mapped);
    QCOMPARE(tables.indexSection().toByteArray(), section);
    QVERIFY(indexesAgreeWithTexts(tables));
    for (const QString &probe : headwordsAndVariants(tables))
        QCOMPARE(entriesWritten(tables, probe), scannedEntries(tables, probe));
}

void tst_Indexes::damagedIndexes_refusedOrAnsweringInRange_data()
{
    QTest::addColumn<int>("how");
    QTest::addRow("all ones") << 0;
    QTest::addRow("largest positive") << 1;
    QTest::addRow("plus one") << 2;
    QTest::addRow("a bit flipped") << 3;
    QTest::addRow("zero") << 4;
}

// Each word of the index section replaced, one at a time: the tables are
// refused, or every answer of their indexes stays inside them.
void tst_Indexes::damagedIndexes_refusedOrAnsweringInRange()
{
    QFETCH(int, how);
    const QByteArray compiled = compile(kEntries);
    const Tables good = Tables::fromCompiled(compiled);
    const qsizetype begin = good.indexSection().data() - good.compiled().constData();
    const QStringList probes = headwordsAndVariants(good);
    int refused = 0;
    int accepted = 0;
    for (qsizetype at = begin; at + 4 <= compiled.size(); at += 4) {
        QByteArray bytes = compiled;
        const quint32 word = qFromLittleEndian<quint32>(bytes.constData() + at);
        const quint32 values[] = {0xffffffffu, 0x7fffffffu, word + 1, word ^ 0x100u, 0};
        if (values[how] == word)
            continue;
        qToLittleEndian<quint32>(values[how], bytes.data() + at);
        const Tables damaged = Tables::fromCompiled(bytes);
        if (damaged.isEmpty()) {
            ++refused;
            continue;
        }
        ++accepted;
        QVERIFY2(answersInRange(damaged, probes), qPrintable(u"word at %1"_s.arg(at - begin)));
    }
    // Both happen: the checks refuse what points outside, and much of the
    // section (unused bits, units) holds any value.
    QVERIFY(refused > 0);
    QVERIFY(accepted > 0);
}

QTEST_GUILESS_MAIN(tst_Indexes)
#include "tst_indexes.moc"
