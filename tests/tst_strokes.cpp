// The stroke data file, its reader, the handwriting recogniser and the
// data tool's recognise command.
#include "strokes/deformation.h"
#include "strokes/recogniser.h"
#include "strokes/strokedata.h"
#include "strokes/strokesjson.h"

#include <QFile>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <random>

using namespace Qt::StringLiterals;
using namespace Verarov::Strokes;

namespace {

QByteArray dataBytes()
{
    QFile f(StrokeData::defaultPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void putU32(QByteArray &b, qsizetype at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}
quint32 getU32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// The cross of 十, as a user draws it: across, then down.
const Recogniser::Strokes kCross = {{{10, 50}, {50, 52}, {90, 50}}, {{50, 5}, {51, 50}, {50, 95}}};

} // namespace

class tst_Strokes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void data_holdsTheGeneralTable();
    void data_everyOutlineUnpacks();
    void damaged_isRefused_data();
    void damaged_isRefused();
    void damagedOutline_failsThatCharacterOnly();
    void recogniser_findsDeformedCharacters();
    void recogniser_toleratesAStrokeMoreOrLess_data();
    void recogniser_toleratesAStrokeMoreOrLess();
    void recogniser_positionAndSizeDoNotCount();
    void json_data();
    void json();
    void recogniseCommand();

private:
    StrokeData m_data;
};

void tst_Strokes::initTestCase()
{
    QVERIFY2(m_data.open(StrokeData::defaultPath()), qPrintable(m_data.errorString()));
}

void tst_Strokes::data_holdsTheGeneralTable()
{
    int level1 = 0;
    for (int i = 0; i < m_data.count(); ++i)
        level1 += m_data.level(i) == 1;
    QCOMPARE(level1, 3500);
    const int shi = m_data.find(U'十');
    QVERIFY(shi >= 0);
    QCOMPARE(m_data.codePoint(shi), U'十');
    QCOMPARE(m_data.strokeCount(shi), 2);
    QCOMPARE(m_data.level(shi), 1);
    QCOMPARE(m_data.find(U'A'), -1);
    QCOMPARE(m_data.find(0x10FFFF), -1);
    // y downward: the first stroke of 十 is the horizontal one, drawn left
    // to right; the second goes down.
    const auto medians = m_data.medians(shi);
    QCOMPARE(medians.size(), 2);
    QVERIFY(medians[0].last().x() - medians[0].first().x() > 600);
    QVERIFY(medians[1].last().y() - medians[1].first().y() > 600);
}

void tst_Strokes::data_everyOutlineUnpacks()
{
    for (int i = 0; i < m_data.count(); ++i) {
        Character c;
        QVERIFY2(m_data.character(i, &c), qPrintable(QString::number(i)));
        QCOMPARE(c.strokes.size(), m_data.strokeCount(i));
        for (const Stroke &s : std::as_const(c.strokes)) {
            QVERIFY(s.outline.size() >= 3);
            QCOMPARE(s.outline.first().op, PathCommand::Move);
            for (const PathCommand &p : s.outline)
                for (const QPointF &pt : p.points)
                    QVERIFY(pt.x() > -200 && pt.x() < 1224 && pt.y() > -200 && pt.y() < 1224);
        }
    }
    // The outline of 一 lies around its median, in the middle band.
    Character yi;
    QVERIFY(m_data.character(m_data.find(U'一'), &yi));
    const QPointF start = yi.strokes[0].outline.first().points[0];
    QVERIFY(start.y() > 350 && start.y() < 650);
}

void tst_Strokes::damaged_isRefused_data()
{
    QTest::addColumn<int>("damage");
    QTest::addRow("empty") << 0;
    QTest::addRow("header cut") << 1;
    QTest::addRow("magic") << 2;
    QTest::addRow("version") << 3;
    QTest::addRow("count beyond the file") << 4;
    QTest::addRow("code points out of order") << 5;
    QTest::addRow("median record beyond its section") << 6;
    QTest::addRow("stroke of one point") << 7;
    QTest::addRow("outline record beyond its section") << 8;
    QTest::addRow("file cut in the outlines") << 9;
    QTest::addRow("no stroke") << 10;
}

void tst_Strokes::damaged_isRefused()
{
    QFETCH(int, damage);
    QByteArray b = dataBytes();
    const quint32 medians = getU32(b, 16);
    const quint32 firstMedian = medians + getU32(b, 32 + 4);
    switch (damage) {
    case 0:
        b.clear();
        break;
    case 1:
        b.truncate(20);
        break;
    case 2:
        b[0] = 'X';
        break;
    case 3:
        putU32(b, 8, 2);
        break;
    case 4:
        putU32(b, 12, 0x0fffffff);
        break;
    case 5:
        putU32(b, 32 + 16, getU32(b, 32));
        break;
    case 6:
        putU32(b, 32 + 4, getU32(b, 20));
        break;
    case 7:
        b[firstMedian + 2] = 1;
        break;
    case 8:
        putU32(b, 32 + 12, getU32(b, 28) + 1);
        break;
    case 9:
        b.chop(1);
        break;
    case 10:
        b[firstMedian] = 0;
        break;
    }
    StrokeData data;
    QVERIFY(!data.openBytes(b));
    QCOMPARE(data.errorString(), u"Le fichier des tracés est endommagé"_s);
    QCOMPARE(data.count(), 0);
    QCOMPARE(data.find(U'十'), -1);
}

void tst_Strokes::damagedOutline_failsThatCharacterOnly()
{
    QByteArray b = dataBytes();
    const int shi = m_data.find(U'十');
    const qsizetype entry = 32 + 16 * qsizetype(shi);
    const qsizetype outline = getU32(b, 24) + getU32(b, entry + 8);
    for (qsizetype i = outline + 4; i < outline + getU32(b, entry + 12); ++i)
        b[i] = char(0x5a);
    StrokeData data;
    QVERIFY(data.openBytes(b));
    Character c;
    QVERIFY(!data.character(shi, &c));
    QVERIFY(c.strokes.isEmpty());
    QCOMPARE(data.medians(shi).size(), 2);
    QVERIFY(data.character(shi + 1, &c));
    // An unpacked size over the limit is not even tried.
    qToBigEndian(quint32(1) << 30, b.data() + outline);
    QVERIFY(data.openBytes(b));
    QVERIFY(!data.character(shi, &c));
}

// Every 7th level-1 character drawn from its own medians after a random
// deformation, with a fixed seed.
void tst_Strokes::recogniser_findsDeformedCharacters()
{
    const Recogniser recogniser(m_data);
    std::mt19937 random(7);
    int tried = 0, first = 0, inTen = 0, seen = 0;
    for (int i = 0; i < m_data.count(); ++i) {
        if (m_data.level(i) != 1 || seen++ % 7)
            continue;
        const auto found = recogniser.recognise(deform(m_data.medians(i), {}, random));
        QVERIFY(found.size() <= 10);
        ++tried;
        for (qsizetype k = 0; k < found.size(); ++k) {
            QVERIFY(k == 0 || found[k - 1].distance <= found[k].distance);
            if (found[k].codePoint == m_data.codePoint(i)) {
                first += k == 0;
                ++inTen;
            }
        }
    }
    QCOMPARE(tried, 500);
    QVERIFY2(first >= 475, qPrintable(QString::number(first)));
    QVERIFY2(inTen >= 495, qPrintable(QString::number(inTen)));
}

void tst_Strokes::recogniser_toleratesAStrokeMoreOrLess_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("change"); // 0 dropped, 1 swapped, 2 doubled
    for (const QString &c : {u"我"_s, u"学"_s, u"道"_s, u"爱"_s, u"想"_s}) {
        QTest::addRow("%s stroke left out", qPrintable(c)) << c << 0;
        QTest::addRow("%s neighbours swapped", qPrintable(c)) << c << 1;
        QTest::addRow("%s stroke twice", qPrintable(c)) << c << 2;
    }
}

void tst_Strokes::recogniser_toleratesAStrokeMoreOrLess()
{
    QFETCH(QString, character);
    QFETCH(int, change);
    const Recogniser recogniser(m_data);
    std::mt19937 random(11);
    const int i = m_data.find(character.toUcs4().first());
    auto strokes = deform(m_data.medians(i), {}, random);
    if (change == 0)
        strokes = dropStroke(strokes, random);
    else if (change == 1)
        strokes = swapNeighbours(strokes, random);
    else
        strokes.insert(3, strokes[3]);
    QList<char32_t> found;
    for (const auto &c : recogniser.recognise(strokes))
        found.append(c.codePoint);
    QVERIFY2(found.contains(character.toUcs4().first()),
             qPrintable(QString::fromUcs4(found.constData(), found.size())));
}

void tst_Strokes::recogniser_positionAndSizeDoNotCount()
{
    const Recogniser recogniser(m_data);
    Recogniser::Strokes small;
    for (const auto &stroke : kCross) {
        QList<QPointF> line;
        for (const QPointF &p : stroke)
            line.append(p * 0.05 + QPointF(-300, 7000));
        small.append(line);
    }
    for (const auto &strokes : {kCross, small}) {
        const auto found = recogniser.recognise(strokes);
        QVERIFY(!found.isEmpty());
        QCOMPARE(found.first().codePoint, U'十');
    }
    // Written bottom up and right to left, it is another character first.
    Recogniser::Strokes reversed = kCross;
    for (auto &stroke : reversed)
        std::reverse(stroke.begin(), stroke.end());
    QVERIFY(recogniser.recognise(reversed).first().codePoint != U'十');
    QVERIFY(recogniser.recognise({}).isEmpty());
    QVERIFY(recogniser.recognise({{}, {}}).isEmpty());
    // One point, or all the points at one place: no failure.
    QVERIFY(!recogniser.recognise({{{5, 5}}}).isEmpty());
    QVERIFY(!recogniser.recognise({{{5, 5}, {5, 5}}, {{5, 5}}}).isEmpty());
}

void tst_Strokes::json_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("strokes"); // -1: refused
    QTest::addColumn<QString>("message");
    QTest::addRow("cross") << "[[[0,50],[100,50]],[[50,0],[50,100.5]]]"_ba << 2 << QString();
    QTest::addRow("empty list") << "[]"_ba << 0 << QString();
    QTest::addRow("stroke without points") << "[[]]"_ba << 1 << QString();
    QTest::addRow("not JSON") << "[[[0,1]"_ba << -1 << u"JSON invalide à l'octet"_s;
    QTest::addRow("object") << "{\"a\":1}"_ba << -1
                            << u"Les traits doivent être une liste de traits"_s;
    QTest::addRow("stroke a number") << "[[[0,1]],3]"_ba << -1 << u"Le trait 2 doit être"_s;
    QTest::addRow("point of three")
            << "[[[0,1,2]]]"_ba << -1 << u"Le point 1 du trait 1 doit être"_s;
    QTest::addRow("point a string")
            << "[[[0,1],[\"a\",1]]]"_ba << -1 << u"Le point 2 du trait 1 doit être"_s;
    QTest::addRow("number too large") << "[[[1e999,1]]]"_ba << -1 << u"JSON invalide à l'octet 8"_s;
}

void tst_Strokes::json()
{
    QFETCH(QByteArray, json);
    QFETCH(int, strokes);
    QFETCH(QString, message);
    QList<QList<QPointF>> parsed;
    QString error;
    QCOMPARE(parseStrokesJson(json, &parsed, &error), strokes >= 0);
    QCOMPARE(parsed.size(), qMax(strokes, 0));
    QVERIFY2(error.startsWith(message), qPrintable(error));
    if (strokes == 2)
        QCOMPARE(parsed[1][1], QPointF(50, 100.5));
}

void tst_Strokes::recogniseCommand()
{
    struct Run
    {
        int code;
        QString out, err;
    };
    const auto run = [](const QStringList &args, const QByteArray &input) {
        QProcess p;
        p.start(QStringLiteral(VERAROV_DATA_TOOL), QStringList{u"recognise"_s} + args);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(60000);
        return Run{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                   QString::fromUtf8(p.readAllStandardError())};
    };
    const Run cross = run({}, "[[[0,50],[100,50]],[[50,0],[50,100]]]");
    QCOMPARE(cross.code, 0);
    const QStringList lines = cross.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.first(), u"十"_s);

    const Run bad = run({}, "[[[0,50]],7]");
    QCOMPARE(bad.code, 1);
    QCOMPARE(bad.out, QString());
    QCOMPARE(bad.err, u"Entrée standard : Le trait 2 doit être une liste de points [x, y]\n"_s);

    const Run missing = run({u"/nonexistent/strokes.json"_s}, {});
    QCOMPARE(missing.code, 1);
    QVERIFY2(missing.err.contains(u"Impossible de trouver le fichier spécifié"_s),
             qPrintable(missing.err));

    const Run noData = [&] {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"VERAROV_STROKES"_s, u"/nonexistent/strokes.bin"_s);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VERAROV_DATA_TOOL), {u"recognise"_s, u"-"_s});
        p.write("[]");
        p.closeWriteChannel();
        p.waitForFinished(60000);
        return Run{p.exitCode(), {}, QString::fromUtf8(p.readAllStandardError())};
    }();
    QCOMPARE(noData.code, 1);
    QCOMPARE(noData.err, u"Impossible d'ouvrir le fichier des tracés %1\n"_s.arg(
                                 QDir::toNativeSeparators(u"/nonexistent/strokes.bin"_s)));
}

QTEST_GUILESS_MAIN(tst_Strokes)
#include "tst_strokes.moc"
