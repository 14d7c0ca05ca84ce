// Speech: pinyin as the pinyin voice reads it, and the WAV the data tool
// writes.
#include "speech/speaker.h"
#include "speech/tonenumbers.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace Verarov::Speech;

class tst_Speech : public QObject
{
    Q_OBJECT

private slots:
    void toneNumbers_data();
    void toneNumbers();
    void sayCommand_writesSpeech();
    void sayCommand_refusesBadArguments();
};

void tst_Speech::toneNumbers_data()
{
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("numbered");
    QTest::addRow("a word's own reading") << u"yín háng"_s << u"yin2 hang2"_s;
    QTest::addRow("four tones on a") << u"mā má mǎ mà"_s << u"ma1 ma2 ma3 ma4"_s;
    QTest::addRow("marks on e i o u") << u"hē lí wǒ lù"_s << u"he1 li2 wo3 lu4"_s;
    QTest::addRow("mark on the second vowel") << u"xiǎo guài"_s << u"xiao3 guai4"_s;
    QTest::addRow("ü marked, ü plain") << u"lǜ nǚ lüe"_s << u"lv4 nv3 lve5"_s;
    QTest::addRow("neutral tone") << u"bà ba de"_s << u"ba4 ba5 de5"_s;
    QTest::addRow("erhua apart") << u"yí ge jìn r"_s << u"yi2 ge5 jinr4"_s;
    QTest::addRow("erhua joined") << u"yì diǎnr"_s << u"yi4 dianr3"_s;
    QTest::addRow("capitals") << u"Ā bǐ ràng BĚI Jīng LǙ"_s << u"a1 bi3 rang4 bei3 jing1 lv3"_s;
    QTest::addRow("apostrophes") << u"Xī'ān nǚ’ér yī 'èr"_s << u"xi1 an1 nv3 er2 yi1 er4"_s;
    QTest::addRow("letters kept") << u"A gǔ"_s << u"a5 gu3"_s;
    QTest::addRow("no vowel kept") << u"hm ng"_s << u"hm ng"_s;
    QTest::addRow("blanks") << u"  nǐ \t hǎo  "_s << u"ni3 hao3"_s;
}

void tst_Speech::toneNumbers()
{
    QFETCH(QString, pinyin);
    QFETCH(QString, numbered);
    QCOMPARE(toToneNumbers(pinyin), numbered);
}

void tst_Speech::sayCommand_writesSpeech()
{
    QTemporaryDir dir;
    const QString wav = dir.filePath(u"yinhang.wav"_s);
    QProcess p;
    p.start(QStringLiteral(VERAROV_DATA_TOOL), {u"say"_s, u"yín háng"_s, u"-o"_s, wav});
    QVERIFY(p.waitForFinished(60000));
    const QString errors = QString::fromUtf8(p.readAllStandardError());
    if (p.exitCode() == 1 && errors.contains(u"Aucune voix"_s))
        QSKIP("no Chinese voice installed");
    QCOMPARE(p.exitCode(), 0);
    QFile f(wav);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    QVERIFY(b.startsWith("RIFF") && b.mid(8, 8) == "WAVEfmt ");
    QCOMPARE(qFromLittleEndian<quint32>(b.constData() + 4), quint32(b.size() - 8));
    const quint32 rate = qFromLittleEndian<quint32>(b.constData() + 24);
    const quint32 bytes = qFromLittleEndian<quint32>(b.constData() + 40);
    QCOMPARE(qsizetype(bytes), b.size() - 44);
    // Two syllables: between a quarter of a second and three seconds, and
    // not silence.
    const double seconds = bytes / 2.0 / rate;
    QVERIFY2(seconds > 0.25 && seconds < 3, qPrintable(QString::number(seconds)));
    int loud = 0;
    for (qsizetype i = 44; i + 1 < b.size(); i += 2)
        loud += qAbs(qFromLittleEndian<qint16>(b.constData() + i)) > 1000;
    QVERIFY2(loud > int(rate / 20), qPrintable(QString::number(loud)));
}

void tst_Speech::sayCommand_refusesBadArguments()
{
    QTemporaryDir dir;
    for (const QStringList &args :
         {QStringList{u"say"_s, u"ni3"_s},
          QStringList{u"say"_s, u" "_s, u"-o"_s, dir.filePath(u"a.wav"_s)}}) {
        QProcess p;
        p.start(QStringLiteral(VERAROV_DATA_TOOL), args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
    }
    QProcess p;
    p.start(QStringLiteral(VERAROV_DATA_TOOL), {u"say"_s, u"nǐ"_s, u"-o"_s, dir.path()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(QFileInfo(dir.path()).isDir());
}

QTEST_GUILESS_MAIN(tst_Speech)
#include "tst_speech.moc"
