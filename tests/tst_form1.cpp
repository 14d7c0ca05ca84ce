#include "app/application.h"
#include "app/definitions.h"
#include "app/aproposde.h"
#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "app/errorbox.h"
#include "dictionary/reader.h"
#include "app/recherche.h"
#include "app/unit1.h"
#include "settings/store.h"
#include "testsupport_app.h"
#include "testsupport_entries.h"
#include "testsupport_log.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLoggingCategory>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;
using namespace Verarov;
using namespace Verarov::App;

class tst_Form1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void afficheMot_showsSensesOnePerLine();
    void copy_putsEntryOnClipboard();
    void copy_beforeAnyEntryAndAfterClear_data();
    void copy_beforeAnyEntryAndAfterClear();
    void copy_byShortcut();
    void clear_emptiesDisplay();
    void display_logsEachEntryWhenEnabled();
    void search_eachUseMakesANewWindow();
    void about_sameWindowEachTime();
    void guard_showsMessageWithFullStop_data();
    void guard_showsMessageWithFullStop();
    void firstArgument_data();
    void firstArgument();
    void window_clientSizeAndPlaces();
    void languageItems_exactlyOneTicked();

private:
    QString viewText() const { return Form1->findChild<QTextEdit *>(u"mot_fr"_s)->toPlainText(); }
    QString label(const QString &name) const { return Form1->findChild<QLabel *>(name)->text(); }
    Dictionary::Tables m_tables;
    QTemporaryDir m_settings; // the settings the creation step reads and writes
};

void tst_Form1::initTestCase()
{
    m_tables = fixtureTables(u"sample.tsv"_s);
    QVERIFY(!m_tables.isEmpty());
}

void tst_Form1::init()
{
    Settings::setUserStoreLocation(m_settings.filePath(u"Duvuduz_ivod.conf"_s));
    App::setErrorSink([](QWidget *, const QString &message) {
        QFAIL(qPrintable(u"error box: "_s + message));
    });
    QVERIFY(startWindows(m_tables));
}

void tst_Form1::cleanup()
{
    App::destroyWindows();
    App::setErrorSink({});
    Settings::setUserStoreLocation({});
}

void tst_Form1::afficheMot_showsSensesOnePerLine()
{
    Form1->affiche_mot(m_tables.headword(0), m_tables.pinyin(0), m_tables.gloss(0));
    QCOMPARE(label(u"mot_ch"_s), u"一"_s);
    QCOMPARE(label(u"mot_pin"_s), u"yī"_s);
    QCOMPARE(Form1->motFrText(),
             u"un, une\r\npremier, première\r\nmême\r\ntout\r\nà peine\r\naussitôt"_s);
    QCOMPARE(viewText(), u"un, une\npremier, première\nmême\ntout\nà peine\naussitôt"_s);
    QCOMPARE(Form1->findChild<QTextEdit *>(u"mot_fr"_s)->font().family(), App::fontFamily(u"Arial"_s));

    // A new entry replaces the previous one completely.
    Form1->affiche_mot(u"Ｘ光", u"X guāng", u"radio / rayon X");
    QCOMPARE(viewText(), u"radio\nrayon X"_s);
}

void tst_Form1::copy_putsEntryOnClipboard()
{
    Form1->affiche_mot(m_tables.headword(0), m_tables.pinyin(0), m_tables.gloss(0));
    Form1->CopierClick();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             u"一\tyī\tun, une / premier, première / même / tout / à peine / aussitôt"_s);
    // The display is unchanged.
    QCOMPARE(label(u"mot_ch"_s), u"一"_s);
}

void tst_Form1::copy_beforeAnyEntryAndAfterClear_data()
{
    QTest::addColumn<bool>("showThenClear");
    QTest::addRow("before any entry") << false;
    QTest::addRow("after clear") << true;
}

void tst_Form1::copy_beforeAnyEntryAndAfterClear()
{
    QFETCH(bool, showThenClear);
    if (showThenClear) {
        Form1->affiche_mot(u"一", u"yī", u"un");
        Form1->EffacerClick();
    }
    QGuiApplication::clipboard()->setText(u"ancien"_s);
    Form1->CopierClick();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"\t\t"_s);
}

void tst_Form1::copy_byShortcut()
{
    Form1->affiche_mot(u"乐", u"yuè", u"musique");
    Form1->activateWindow();
    QTest::keyClick(Form1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"乐\tyuè\tmusique"_s);
}

void tst_Form1::clear_emptiesDisplay()
{
    Form1->affiche_mot(u"乐", u"yuè", u"musique / air");
    Form1->findChild<QAction *>(u"Effacer"_s)->trigger();
    QCOMPARE(label(u"mot_ch"_s), QString());
    QCOMPARE(label(u"mot_pin"_s), QString());
    QCOMPARE(viewText(), QString());
    QCOMPARE(Form1->motFrText(), QString());
}

void tst_Form1::display_logsEachEntryWhenEnabled()
{
    {
        const LogCapture log("verarov.display");
        Form1->affiche_mot(u"乐", u"yuè", u"musique");
        QCOMPARE(log.lines(), QStringList{u"affiche_mot\t乐\tyuè\tmusique"_s});
    }
    // Off by default.
    const LogCapture log("verarov.display", false);
    Form1->affiche_mot(u"乐", u"yuè", u"musique");
    QVERIFY(log.lines().isEmpty());
}

void tst_Form1::search_eachUseMakesANewWindow()
{
    TForm3 *atStart = Form3;
    Form1->RechercherClick();
    TForm3 *first = Form3;
    Form1->RechercherClick();
    TForm3 *second = Form3;
    QVERIFY(first != atStart && second != first);
    QVERIFY(first->isVisible());
    QVERIFY(second->isVisible());
    QVERIFY(!atStart || !atStart->isVisible()); // none is made at start
    QVERIFY(Form1->isVisible());
}

void tst_Form1::about_sameWindowEachTime()
{
    for (int i = 0; i < 3; ++i) {
        Form1->AproposClick();
        QVERIFY(Form2->isVisible());
        QVERIFY(!Form2->isModal());
        Form2->Button1Click();
        QVERIFY(!Form2->isVisible());
    }
    QCOMPARE(Form1->findChildren<TForm2 *>().size(), 1);
}

void tst_Form1::guard_showsMessageWithFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addRow("letter gets a full stop") << u"Erreur E/S 5"_s << u"Erreur E/S 5."_s;
    QTest::addRow("full stop kept") << u"Fin."_s << u"Fin."_s;
    QTest::addRow("code below the full stop") << u"Fichier « a » !"_s << u"Fichier « a » !"_s;
    QTest::addRow("closing quote is above") << u"Fichier « a »"_s << u"Fichier « a »."_s;
    QTest::addRow("comma is below") << u"a,"_s << u"a,"_s;
}

void tst_Form1::guard_showsMessageWithFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QStringList seen;
    App::setErrorSink([&](QWidget *, const QString &text) { seen.append(text); });
    const bool ok = App::guarded(Form1, [&] { throw App::Error(message); });
    QVERIFY(!ok);
    QCOMPARE(seen, QStringList{shown});
    QCOMPARE(App::applicationTitle(), u"Verarov - dictionnaire"_s);
}

void tst_Form1::firstArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("first");
    QTest::addRow("none") << QStringList{u"verarov"_s} << QString();
    QTest::addRow("empty only") << QStringList{u"verarov"_s, QString()} << QString();
    QTest::addRow("empty then file")
            << QStringList{u"verarov"_s, QString(), u"texte.txt"_s} << u"texte.txt"_s;
    QTest::addRow("name with blanks") << QStringList{u"verarov"_s, u"mon texte.txt"_s, u"x"_s}
                                      << u"mon texte.txt"_s;
}

void tst_Form1::firstArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, first);
    QCOMPARE(App::firstArgument(arguments), first);
}

void tst_Form1::window_clientSizeAndPlaces()
{
    QCOMPARE(Form1->windowTitle(), u"Verarov - dictionnaire"_s);
    QWidget *client = Form1->centralWidget();
    QCOMPARE(client->width(), 528);
    QCOMPARE(client->height() + Form1->statusBar()->height(), 367);
    QCOMPARE(Form1->findChild<QLabel *>(u"mot_ch"_s)->geometry(), QRect(215, 28, 305, 55));
    QCOMPARE(Form1->findChild<QLabel *>(u"mot_pin"_s)->geometry(), QRect(215, 89, 305, 40));
    QCOMPARE(Form1->findChild<QTextEdit *>(u"mot_fr"_s)->geometry(), QRect(2, 2, 301, 198));
    QCOMPARE(Form1->findChild<QLabel *>(u"mot_ch"_s)->font().pixelSize(), 40);
}

void tst_Form1::languageItems_exactlyOneTicked()
{
    auto *french = Form1->findChild<QAction *>(u"langue_fr"_s);
    auto *chinese = Form1->findChild<QAction *>(u"langue_ch"_s);
    QVERIFY(french->isChecked());
    french->trigger(); // the ticked item chosen again stays ticked
    QVERIFY(french->isChecked());
    QVERIFY(!chinese->isChecked());
    QCOMPARE(chinese->text(), u"中文"_s + QString(28, u' '));
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
