#include "lookup/senses.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Lookup;

class tst_Senses : public QObject
{
    Q_OBJECT

private slots:
    void sensesText_data();
    void sensesText();
    void copyText();
};

void tst_Senses::sensesText_data()
{
    QTest::addColumn<QString>("gloss");
    QTest::addColumn<QString>("view");
    QTest::addRow("six senses, no break after the last")
            << u"un, une / premier, première / même / tout / à peine / aussitôt"_s
            << u"un, une\r\npremier, première\r\nmême\r\ntout\r\nà peine\r\naussitôt"_s;
    QTest::addRow("no separator") << u"une génération"_s << u"une génération"_s;
    QTest::addRow("no separator, untrimmed") << u"  une génération "_s << u"  une génération "_s;
    QTest::addRow("empty sense between separators") << u"a /   / b"_s << u"a\r\nb"_s;
    QTest::addRow("trailing separator") << u"a / b /"_s << u"a\r\nb\r\n"_s;
    QTest::addRow("lone separator") << u"/"_s << QString();
    QTest::addRow("empty gloss") << QString() << QString();
    QTest::addRow("separators without blanks") << u"a/b"_s << u"a\r\nb"_s;
    QTest::addRow("leading separator") << u"/ a"_s << u"a"_s;
    QTest::addRow("controls trimmed around senses") << u"a\t/\tb"_s << u"a\r\nb"_s;
}

void tst_Senses::sensesText()
{
    QFETCH(QString, gloss);
    QFETCH(QString, view);
    QCOMPARE(Verarov::Lookup::sensesText(gloss), view);
}

void tst_Senses::copyText()
{
    QCOMPARE(Verarov::Lookup::copyText(u"一", u"yī", u"un, une / premier"),
             u"一\tyī\tun, une / premier"_s);
    QCOMPARE(Verarov::Lookup::copyText({}, {}, {}), u"\t\t"_s);
}

QTEST_GUILESS_MAIN(tst_Senses)
#include "tst_senses.moc"
