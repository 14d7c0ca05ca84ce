#include "dictionary/loader.h"
#include "dictionary/radicals.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

// The raw radical list built into the program, against its rules and the
// built-in dictionary.
class tst_RadicalData : public QObject
{
    Q_OBJECT

private slots:
    void builtInList_isTheRepositoryFile();
    void builtInList_obeysEveryRule();
    void builtInList_reachesEveryEntry();
};

void tst_RadicalData::builtInList_isTheRepositoryFile()
{
    QFile file(QStringLiteral(VERAROV_SOURCE_DIR "/data/radicals.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith('\n'));
    QVERIFY(!bytes.contains('\r'));
    QCOMPARE(builtInRadicalList(), radicalListLines(QString::fromUtf8(bytes)));
}

void tst_RadicalData::builtInList_obeysEveryRule()
{
    const QStringList raw = builtInRadicalList();
    QVERIFY(!raw.isEmpty());
    const QStringList violations = checkRadicalList(raw);
    QVERIFY2(violations.isEmpty(), qPrintable(violations.join(u'\n')));
    const RadicalTables t = buildRadicalTables(raw);
    QVERIFY(t.ignoredLines().isEmpty());
    QCOMPARE(t.headerCount(), 187);
    QCOMPARE(t.rowCount() + 187, raw.size());
}

void tst_RadicalData::builtInList_reachesEveryEntry()
{
    const Tables dictionary = builtIn();
    QVERIFY(!dictionary.isEmpty());
    const RadicalReport r = radicalReport(buildRadicalTables(builtInRadicalList()), dictionary);
    QCOMPARE(r.unreachableEntries, 0);
    // Every character with an entry of its own is filed.
    QCOMPARE(r.distinctCharacters >= 3500, true);
}

QTEST_GUILESS_MAIN(tst_RadicalData)
#include "tst_radicaldata.moc"
