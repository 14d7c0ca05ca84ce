#include "lookup/completion.h"
#include "lookup/prefixindex.h"
#include "testsupport_lookup.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Lookup;

namespace {

FieldState state(const QString &text, qsizetype selStart, qsizetype selEnd, int row)
{
    return {text, selStart, selEnd, row};
}

const QString kPair = u"\U00020000"_s; // one character, two code units
const QString kHigh = kPair.first(1);

} // namespace

Q_DECLARE_METATYPE(Verarov::Lookup::FieldState)

class tst_Completion : public QObject
{
    Q_OBJECT

private slots:
    void typeCharacter_data();
    void typeCharacter();
    void backspace_data();
    void backspace();
    void pickRow_setsKeyAndFires();
    void otherEdit_keepsRowAndFires();
    void programText_keepsRow();
    void prefixIndex_agreesWithScan_data();
    void prefixIndex_agreesWithScan();
};

void tst_Completion::typeCharacter_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<FieldState>("before");
    QTest::addColumn<QString>("input");
    QTest::addColumn<FieldState>("after");
    QTest::addColumn<int>("consumed");
    QTest::addColumn<bool>("fires");

    const QStringList french{u"à"_s, u"à"_s, u"A Bao (mon trésor)"_s, u"abc"_s};
    QTest::addRow("accented rows skipped, rest selected")
            << french << state({}, 0, 0, -1) << u"a"_s << state(u"a Bao (mon trésor)"_s, 1, 18, 2)
            << 1 << true;
    QTest::addRow("accented letter matches itself")
            << french << state({}, 0, 0, -1) << u"À"_s << state(u"À"_s, 1, 1, 0) << 1 << true;

    const QStringList pinyin{u"a"_s, u"abao"_s, u"ai"_s, u"ai"_s, u"airen"_s};
    QTest::addRow("same row again fires nothing") << pinyin << state(u"abao"_s, 2, 4, 1) << u"a"_s
                                                  << state(u"abao"_s, 3, 4, 1) << 1 << false;
    QTest::addRow("typed part keeps its case")
            << pinyin << state(u"A"_s, 1, 1, 0) << u"B"_s << state(u"ABao"_s, 2, 4, 1) << 1 << true;
    QTest::addRow("repeated key: back to the first row")
            << pinyin << state(u"ai"_s, 1, 2, 3) << u"i"_s << state(u"ai"_s, 2, 2, 2) << 1 << true;
    QTest::addRow("whole key typed: nothing left to select")
            << pinyin << state(u"a"_s, 1, 1, -1) << u"i"_s << state(u"ai"_s, 2, 2, 2) << 1 << true;
    QTest::addRow("no match: inserted as typed, row kept")
            << pinyin << state(u"abao"_s, 2, 4, 1) << u"x"_s << state(u"abx"_s, 3, 3, 1) << 1
            << true;
    QTest::addRow("inserted at the caret, text after it searched too")
            << QStringList{u"xaby"_s} << state(u"xby"_s, 1, 1, -1) << u"a"_s
            << state(u"xaby"_s, 4, 4, 0) << 1 << true;
    QTest::addRow("replaces the selected span, text after it kept")
            << QStringList{u"abcd"_s} << state(u"abzd"_s, 2, 3, -1) << u"c"_s
            << state(u"abcd"_s, 4, 4, 0) << 1 << true;
    QTest::addRow("reversed span is the same span")
            << QStringList{u"abcd"_s} << state(u"abzd"_s, 3, 2, -1) << u"c"_s
            << state(u"abcd"_s, 4, 4, 0) << 1 << true;
    QTest::addRow("plain letter does not match accented")
            << QStringList{u"été"_s} << state({}, 0, 0, -1) << u"e"_s << state(u"e"_s, 1, 1, -1)
            << 1 << true;
    QTest::addRow("case ignored beyond ASCII") << QStringList{u"été"_s} << state({}, 0, 0, -1)
                                               << u"É"_s << state(u"Été"_s, 1, 3, 0) << 1 << true;
    QTest::addRow("final sigma folds to sigma")
            << QStringList{u"λόγοσ"_s} << state(u"λόγο"_s, 4, 4, -1) << u"ς"_s
            << state(u"λόγος"_s, 5, 5, 0) << 1 << true;

    const QStringList rare{u"a"_s, kPair + u"子"_s};
    QTest::addRow("surrogate pair in one input: both consumed")
            << rare << state({}, 0, 0, -1) << kPair << state(kPair + u"子"_s, 2, 3, 1) << 2 << true;
    QTest::addRow("lone half, nothing pending: goes to the edit")
            << rare << state({}, 0, 0, -1) << kHigh << state(kHigh, 1, 1, -1) << 1 << true;
    QTest::addRow("pair without match: first half alone")
            << QStringList{u"a"_s} << state({}, 0, 0, -1) << kPair << state(kHigh, 1, 1, -1) << 1
            << true;
    QTest::addRow("lone half followed by an ordinary character")
            << QStringList{kHigh + u"b"_s} << state({}, 0, 0, -1) << kHigh + u"b"_s
            << state(kHigh + u"b"_s, 2, 2, 0) << 2 << true;
    QTest::addRow("no rows") << QStringList{} << state(u"a"_s, 1, 1, -1) << u"b"_s
                             << state(u"ab"_s, 2, 2, -1) << 1 << true;
}

void tst_Completion::typeCharacter()
{
    QFETCH(QStringList, keys);
    QFETCH(FieldState, before);
    QFETCH(QString, input);
    QFETCH(FieldState, after);
    QFETCH(int, consumed);
    QFETCH(bool, fires);

    const Step step = Verarov::Lookup::typeCharacter(before, input, StringKeys(keys));
    QCOMPARE(step.state.text, after.text);
    QCOMPARE(step.state.selStart, after.selStart);
    QCOMPARE(step.state.selEnd, after.selEnd);
    QCOMPARE(step.state.row, after.row);
    QCOMPARE(step.consumed, consumed);
    QCOMPARE(step.fires, fires);
}

void tst_Completion::backspace_data()
{
    QTest::addColumn<FieldState>("before");
    QTest::addColumn<FieldState>("after");

    QTest::addRow("after a completion: the completed part goes")
            << state(u"abao"_s, 2, 4, 1) << state(u"ab"_s, 2, 2, -1);
    QTest::addRow("span in the middle") << state(u"abcd"_s, 1, 3, 0) << state(u"ad"_s, 1, 1, -1);
    QTest::addRow("character before the caret")
            << state(u"abc"_s, 2, 2, 0) << state(u"ac"_s, 1, 1, -1);
    QTest::addRow("surrogate pair before the caret: both halves")
            << state(u"a"_s + kPair, 3, 3, 0) << state(u"a"_s, 1, 1, -1);
    QTest::addRow("lone low half before the caret")
            << state(u"a"_s + kPair.sliced(1), 2, 2, 0) << state(u"a"_s, 1, 1, -1);
    QTest::addRow("caret at the start: row cleared only")
            << state(u"abc"_s, 0, 0, 2) << state(u"abc"_s, 0, 0, -1);
    QTest::addRow("empty text: nothing changes") << state({}, 0, 0, 3) << state({}, 0, 0, 3);
}

void tst_Completion::backspace()
{
    QFETCH(FieldState, before);
    QFETCH(FieldState, after);

    const Step step = Verarov::Lookup::backspace(before);
    QCOMPARE(step.state.text, after.text);
    QCOMPARE(step.state.selStart, after.selStart);
    QCOMPARE(step.state.selEnd, after.selEnd);
    QCOMPARE(step.state.row, after.row);
    QVERIFY(step.fires);
}

void tst_Completion::pickRow_setsKeyAndFires()
{
    const StringKeys keys({u"a"_s, u"abao"_s});
    const Step step = Verarov::Lookup::pickRow(state(u"zz"_s, 1, 1, -1), 1, keys);
    QCOMPARE(step.state, state(u"abao"_s, 0, 4, 1));
    QVERIFY(step.fires);
}

void tst_Completion::otherEdit_keepsRowAndFires()
{
    const Step step = otherEdit(state(u"abao"_s, 2, 4, 1), u"abo"_s, 2);
    QCOMPARE(step.state, state(u"abo"_s, 2, 2, 1));
    QVERIFY(step.fires);
}

void tst_Completion::programText_keepsRow()
{
    QCOMPARE(programText(state(u"abao"_s, 2, 4, 1), u"ai"_s), state(u"ai"_s, 2, 2, 1));
}

void tst_Completion::prefixIndex_agreesWithScan_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 2024u})
        QTest::addRow("seed %u", seed) << seed;
}

void tst_Completion::prefixIndex_agreesWithScan()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    // Letters that fold together, accented ones that must not match their
    // base letter, a surrogate pair, digits and a blank.
    const QString alphabet = u"aAàÀbBéÉeEßẞσΣς0 "_s + kPair;
    auto randomText = [&](int maxLength) {
        QString text;
        const int length = random.bounded(1, maxLength + 1);
        for (int i = 0; i < length; ++i)
            text.append(alphabet[random.bounded(int(alphabet.size()))]);
        return text;
    };
    QStringList keys;
    for (int i = 0; i < 3000; ++i)
        keys.append(randomText(6));
    const KeyAt keyAt = [&](int row) { return QStringView(keys[row]); };
    const PrefixIndex index(int(keys.size()), keyAt);

    QStringList probes{QString()};
    for (int i = 0; i < 2000; ++i) {
        // Prefixes of stored keys with their case flipped, and random texts.
        const QString &key = keys[random.bounded(int(keys.size()))];
        QString prefix = key.first(random.bounded(1, int(key.size()) + 1));
        probes.append(random.bounded(2) ? prefix.toUpper() : prefix);
        probes.append(randomText(4));
    }
    for (const QString &probe : probes) {
        QCOMPARE(index.firstWithPrefix(probe), scanFirstWithPrefix(int(keys.size()), keyAt, probe));
    }
    QCOMPARE(PrefixIndex(0, keyAt).firstWithPrefix(u"a"), -1);
}

QTEST_GUILESS_MAIN(tst_Completion)
#include "tst_completion.moc"
