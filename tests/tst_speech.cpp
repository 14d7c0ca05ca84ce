// Speech: pinyin as the pinyin voice reads it, and the WAV the data tool
// writes.
#include "speech/speaker.h"
#include "speech/tonenumbers.h"
#include "testsupport_wav.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Speech;

class tst_Speech : public QObject
{
    Q_OBJECT

private slots:
    void toneNumbers_data();
    void toneNumbers();
    void soundFileName_safeAndStable_data();
    void soundFileName_safeAndStable();
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

void tst_Speech::soundFileName_safeAndStable_data()
{
    QTest::addColumn<QString>("headword");
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("start");
    QTest::addRow("syllables") << u"银行"_s << u"yín háng"_s << u"verarov-yin2_hang2-"_s;
    QTest::addRow("letter and capital") << u"Ｘ光"_s << u"X guāng"_s << u"verarov-x_guang1-"_s;
    QTest::addRow("separators and reserved names")
            << u"龘"_s << u"../..\\ CON: *? nul"_s << u"verarov-con5_nul5-"_s;
    QTest::addRow("no reading") << u"龘"_s << u" "_s << u"verarov-"_s;
    QTest::addRow("long reading") << u"长"_s << u"zhuàng "_s.repeated(30) << u"verarov-zhuang4_"_s;
}

// Only a-z 0-9 _ - . in a bounded name, the same on every call, another
// for a homophone.
void tst_Speech::soundFileName_safeAndStable()
{
    QFETCH(QString, headword);
    QFETCH(QString, pinyin);
    QFETCH(QString, start);
    const QString name = soundFileName(headword, pinyin);
    QVERIFY2(QRegularExpression(u"^verarov-([a-z0-9_]{1,40}-)?[0-9a-f]{12}\\.wav$"_s)
                     .match(name)
                     .hasMatch(),
             qPrintable(name));
    QVERIFY2(name.startsWith(start), qPrintable(name));
    QVERIFY(!name.contains(u"_-"_s));
    QCOMPARE(soundFileName(headword, pinyin), name);
    QVERIFY(soundFileName(headword + u"子"_s, pinyin) != name);
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
    // Two syllables: between a quarter of a second and three seconds.
    const QString problem = wavProblem(f.readAll(), 0.25, 3);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
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
