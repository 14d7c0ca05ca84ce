#include "dictionary/keys.h"
#include "dictionary/pinyin.h"
#include "dictionary/text.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::Dictionary;

class tst_Keys : public QObject
{
    Q_OBJECT

private slots:
    void pinyinKey_data();
    void pinyinKey();
    void frenchKeys_data();
    void frenchKeys();
    void numberedToMarked_data();
    void numberedToMarked();
    void trimmed_data();
    void trimmed();
};

void tst_Keys::pinyinKey_data()
{
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("key");
    QTest::addRow("neutral tone and erhua") << u"yí ge jìn r"_s << u"yigejinr"_s;
    QTest::addRow("apostrophe dropped") << u"yī 'èr"_s << u"yier"_s;
    QTest::addRow("umlaut with tone") << u"lüè"_s << u"lue"_s;
    QTest::addRow("bare umlaut") << u"nǚ lü"_s << u"nulu"_s;
    QTest::addRow("marked capital lowered") << u"Ā bǐ ràng"_s << u"abirang"_s;
    QTest::addRow("unmarked capitals kept") << u"Běi Aì ěr lán"_s << u"BeiAierlan"_s;
    QTest::addRow("latin letters") << u"C T sǎo miáo"_s << u"CTsaomiao"_s;
    QTest::addRow("marked capital E") << u"Ě luó sī"_s << u"eluosi"_s;
    QTest::addRow("marked m and n") << u"ḿ m̄ ňg ǹ hm"_s << u"mmngnhm"_s;
    QTest::addRow("e circumflex with or without tone") << u"ê̄ ế ê Ề"_s << u"eeee"_s;
    QTest::addRow("rare characters carried over") << u"A - ... ` \u2018x"_s << u"A-...`\u2018x"_s;
}

void tst_Keys::pinyinKey()
{
    QFETCH(QString, pinyin);
    QFETCH(QString, key);
    QCOMPARE(Verarov::Dictionary::pinyinKey(pinyin), key);
}

void tst_Keys::frenchKeys_data()
{
    QTest::addColumn<QString>("gloss");
    QTest::addColumn<QStringList>("keys");
    QTest::addRow("six senses, commas do not split")
            << u"un, une / premier, première / même / tout / à peine / aussitôt"_s
            << QStringList{u"un, une"_s, u"premier, première"_s, u"même"_s,
                           u"tout"_s,    u"à peine"_s,           u"aussitôt"_s};
    QTest::addRow("chinese becomes question marks")
            << u"Organisation mondiale de la Santé / OMS (世界卫生组织)"_s
            << QStringList{u"Organisation mondiale de la Santé"_s,
                           u"OMS ("_s + QString(6, u'?') + u")"_s};
    QTest::addRow("fullwidth to ascii")
            << u"fi！ / pouah！"_s << QStringList{u"fi!"_s, u"pouah!"_s};
    QTest::addRow("sense starting with chinese gives none")
            << u"fortuit / accidentel / occasionnel / 偶然性 contingence"_s
            << QStringList{u"fortuit"_s, u"accidentel"_s, u"occasionnel"_s};
    QTest::addRow("parenthesis gives none") << u"(un) peu de"_s << QStringList{};
    QTest::addRow("bracket and digit give none")
            << u"[grammaire] / 3 fois / trois"_s << QStringList{u"trois"_s};
    QTest::addRow("accented first letter and ligature")
            << u"école / œuvre / Élan"_s << QStringList{u"école"_s, u"œuvre"_s, u"Élan"_s};
    QTest::addRow("ideographic space becomes blank, then stripped")
            << u"\u3000calme\u3000"_s << QStringList{u"calme"_s};
    QTest::addRow("ideographic comma is not windows-1252") << u"a、b"_s << QStringList{u"a?b"_s};
    QTest::addRow("windows-1252 extras stay") << u"œuf € …"_s << QStringList{u"œuf € …"_s};
    QTest::addRow("single sense is the whole gloss")
            << u"une génération"_s << QStringList{u"une génération"_s};
    QTest::addRow("slash without blanks does not split") << u"et/ou"_s << QStringList{u"et/ou"_s};
}

void tst_Keys::frenchKeys()
{
    QFETCH(QString, gloss);
    QFETCH(QStringList, keys);
    QCOMPARE(QStringList(Verarov::Dictionary::frenchKeys(gloss)), keys);
}

void tst_Keys::numberedToMarked_data()
{
    QTest::addColumn<QString>("numbered");
    QTest::addColumn<QString>("marked");
    QTest::addRow("a takes the mark") << u"hao3"_s << u"hǎo"_s;
    QTest::addRow("e takes the mark") << u"xue2"_s << u"xué"_s;
    QTest::addRow("o of ou") << u"dou4 shou3"_s << u"dòu shǒu"_s;
    QTest::addRow("last vowel") << u"gui4 liu2 duo1"_s << u"guì liú duō"_s;
    QTest::addRow("u colon") << u"lu:e4 nu:3"_s << u"lüè nǚ"_s;
    QTest::addRow("v is u umlaut") << u"lv4 nv3 lv"_s << u"lǜ nǚ lü"_s;
    QTest::addRow("neutral and no tone") << u"ge5 de"_s << u"ge de"_s;
    QTest::addRow("erhua") << u"yi2 ge5 jin4 r5"_s << u"yí ge jìn r"_s;
    QTest::addRow("capital keeps mark") << u"A1 fu4 han4"_s << u"Ā fù hàn"_s;
    QTest::addRow("capital E") << u"E2 luo2 si1"_s << u"É luó sī"_s;
    QTest::addRow("letters stay") << u"C T sao3 miao2"_s << u"C T sǎo miáo"_s;
    QTest::addRow("blanks normalised") << u"  zhong1   guo2 "_s << u"zhōng guó"_s;
    QTest::addRow("bare digits stay") << u"tai2 bei3 1 0 1"_s << u"tái běi 1 0 1"_s;
    QTest::addRow("punctuation tokens stay") << u"A1 · B"_s << u"Ā · B"_s;
}

void tst_Keys::numberedToMarked()
{
    QFETCH(QString, numbered);
    QFETCH(QString, marked);
    QCOMPARE(Verarov::Dictionary::numberedToMarked(numbered), marked);
}

void tst_Keys::trimmed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::addRow("controls and blanks") << u"\t\r\n a b \x01"_s << u"a b"_s;
    QTest::addRow("no-break space kept") << u"\u00a0a\u3000"_s << u"\u00a0a\u3000"_s;
    QTest::addRow("all blank") << u"  \t"_s << QString();
}

void tst_Keys::trimmed()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(Verarov::trimmed(text).toString(), result);
}

QTEST_GUILESS_MAIN(tst_Keys)
#include "tst_keys.moc"
