#include "app/application.h"
#include "app/definitions.h"
#include "app/aproposde.h"
#include "dictionary/builder.h"
#include "dictionary/tables.h"
#include "app/errorbox.h"
#include "dictionary/loader.h"
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
#include <QImage>
#include <QThread>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <QLabel>
#include <QLoggingCategory>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
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
    void dictionaryText_shownAsWritten_data();
    void dictionaryText_shownAsWritten();
    void errorAndProgressText_shownAsWritten();
    void damagedCache_saidAndRebuiltOffTheStartUpPath();

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
    QCOMPARE(Form1->findChild<QTextEdit *>(u"mot_fr"_s)->font().family(),
             App::fontFamily(u"Arial"_s));

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
    QTest::addRow("name with blanks")
            << QStringList{u"verarov"_s, u"mon texte.txt"_s, u"x"_s} << u"mon texte.txt"_s;
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

namespace {
// A label shows its text as written when its preferred width holds every
// character of it: read as markup, "<font size=6>FAUX</font>" would need
// the width of "FAUX" only, an image that of the image.
bool showsLiterally(const QLabel *label, const QString &text)
{
    return label->sizeHint().width() >= QFontMetrics(label->font()).horizontalAdvance(text);
}

// Whether a label reads its text as markup (a wrapped label's width tells
// nothing).
bool readsMarkup(const QLabel *label)
{
    return label->textFormat() == Qt::RichText || label->textFormat() == Qt::MarkdownText
           || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
}
} // namespace

// Markup in an external dictionary is text: no fake text drawn, no image
// loaded (an image of /dev/zero would end the program).
void tst_Form1::dictionaryText_shownAsWritten_data()
{
    QTest::addColumn<QString>("headword");
    QTest::addColumn<QString>("pinyin");
    QTest::addRow("font in pinyin") << u"假"_s << u"<font color=red size=6>FAUX</font>"_s;
    QTest::addRow("image in pinyin") << u"图"_s << u"<img src=\"%1\">x"_s;
    QTest::addRow("tag in headword") << u"<i>字"_s << u"zì"_s;
    QTest::addRow("entity in headword") << u"&amp;字"_s << u"shì"_s;
    QTest::addRow("document in pinyin") << u"文"_s << u"<html><body><h1>A</h1></body></html>"_s;
}

void tst_Form1::dictionaryText_shownAsWritten()
{
    QFETCH(QString, headword);
    QFETCH(QString, pinyin);
    // A tall, narrow image beside the dictionary, which markup could load.
    QTemporaryDir dir;
    const QString image = dir.filePath(u"haut.png"_s);
    QImage picture(4, 300, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(image));
    headword = headword.contains(u"%1"_s) ? headword.arg(image) : headword;
    pinyin = pinyin.contains(u"%1"_s) ? pinyin.arg(image) : pinyin;
    const QString path = dir.filePath(u"dictionnaire.tsv"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((headword + u'\t' + pinyin + u"\tsens\n一\tyī\tun\n"_s).toUtf8());
    file.close();
    const auto read = Dictionary::readDictionaryFile(path);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    const auto tables = Dictionary::Tables::fromCompiled(Dictionary::compile(read.entries));

    delete Form1;
    Form1 = new TForm1(tables);
    Form1->FormCreate({});
    Form2 = new TForm2(Form1);
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    // The entry shown as every lookup shows it.
    int entry = 0;
    while (entry < tables.entryCount() && tables.headword(entry) != headword)
        ++entry;
    QVERIFY(entry < tables.entryCount());
    Form1->affiche_mot(tables.headword(entry), tables.pinyin(entry), tables.gloss(entry));
    QCOMPARE(label(u"mot_ch"_s), headword);
    QCOMPARE(label(u"mot_pin"_s), pinyin);
    for (const auto &[name, text] :
         {std::pair{u"mot_ch"_s, headword}, std::pair{u"mot_pin"_s, pinyin}}) {
        const QLabel *shown = Form1->findChild<QLabel *>(name);
        QVERIFY2(!readsMarkup(shown) && showsLiterally(shown, text), qPrintable(name));
        QVERIFY2(shown->sizeHint().height() < 300, qPrintable(name));
    }
}

// Messages name files and quote dictionaries: the error box and the
// progress dialog show them as written.
void tst_Form1::errorAndProgressText_shownAsWritten()
{
    const QString text = u"Impossible d'utiliser le dictionnaire « <font size=6>FAUX</font> »."_s;
    App::setErrorSink({});
    bool seen = false;
    bool literal = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = true;
            if (const auto *shown = box->findChild<QLabel *>(u"qt_msgbox_label"_s))
                literal = shown->text() == text && !readsMarkup(shown);
            box->accept();
        }
    });
    QTest::ignoreMessage(QtWarningMsg, text.toUtf8().constData());
    App::showError(Form1, text);
    QVERIFY(seen);
    QVERIFY(literal);

    const QString name = u"<img src=\"x\"><b>FAUX</b>.txt"_s;
    const auto progress = App::progressDialog(Form1, name);
    QCOMPARE(progress->labelText(), name);
    const auto labels = progress->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.begin(), labels.end(),
                        [&](const QLabel *l) { return l->text() == name && !readsMarkup(l); }));
}

// The cache of an external dictionary is mapped at start-up, not read; the
// check that reads it through runs in a worker and, on a damaged cache,
// says so and builds it again.
void tst_Form1::damagedCache_saidAndRebuiltOffTheStartUpPath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dictionnaire.tsv"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("乐\tlè\tjoie\n好\thǎo\tbien\n");
    file.close();
    Dictionary::loadExternal(path); // writes the cache
    const QString cache = Dictionary::loadExternal(path).cache;
    QVERIFY(!cache.isEmpty());
    QStringList said;
    App::setErrorSink([&](QWidget *, const QString &message) { said.append(message); });

    App::checkCache(path, cache, Form1)->wait();
    QCoreApplication::processEvents();
    QCOMPARE(said, QStringList());

    // One letter of the text pool changed, as a failing disk would.
    QFile cached(cache);
    QVERIFY(cached.open(QIODevice::ReadWrite));
    QByteArray bytes = cached.readAll();
    const QByteArray joie(reinterpret_cast<const char *>(u"joie"), 8);
    const qsizetype at = bytes.indexOf(joie);
    QVERIFY(at > 0);
    bytes[at + 2] = 'O';
    QVERIFY(cached.seek(0) && cached.write(bytes) == bytes.size());
    cached.close();
    QCOMPARE(Dictionary::loadExternal(path).tables.gloss(0), u"jOie"); // served as it is

    {
        // Checked while mapped, as the window's dictionary is: Windows then
        // refuses to replace it, and the next load must build it again.
        const Dictionary::Loaded inUse = Dictionary::loadExternal(path);
        App::checkCache(path, cache, Form1)->wait();
    }
    QTRY_COMPARE(said.size(), 1);
    QVERIFY2(said[0].contains(path) && said[0].contains(u"endommagé"_s), qPrintable(said[0]));
    QCOMPARE(Dictionary::loadExternal(path).tables.gloss(0), u"joie");
    QVERIFY(Dictionary::cacheIntact(cache));
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
