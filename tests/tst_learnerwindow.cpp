#include "app/aproposde.h"
#include "app/definitions.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"
#include "dictionary/loader.h"
#include "lookup/favourites.h"
#include "lookup/keylistmodel.h"
#include "settings/store.h"
#include "testsupport_app.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using Option = TForm1::DisplayOption;

Q_DECLARE_METATYPE(TForm1::DisplayOption)

// The main window as a learner uses it: the lookup fields read what a
// learner types, the display options, history and favourites.
class tst_LearnerWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void field_learnerWriting_showsEntry_data();
    void field_learnerWriting_showsEntry();
    void field_prefixFound_sameAsBefore();
    void displayOptions_offByDefault_plainText();
    void displayOptions_on_showExtras();
    void displayOption_storedAndReadAtStart_data();
    void displayOption_storedAndReadAtStart();
    void displayOptions_captionsInBothLanguages();
    void copy_withToneColours_copiesPlainPinyin();
    void history_altArrowsAndMouseButtons();
    void favourites_addShowRemove();
    void favourites_export_data();
    void favourites_export();
    void favourites_unreadableFile_neverWrittenOver();

private:
    void start();
    SimpleComboBox *type(const QString &field, int page, const QString &text);
    QString shownHeadword() const { return m_form->findChild<QLabel *>(u"mot_ch"_s)->text(); }
    QAction *item(const QString &name) const { return m_form->findChild<QAction *>(name); }
    QString storeFile() const { return m_dir->filePath(u"Duvuduz_ivod.conf"_s); }

    Verarov::Dictionary::Tables m_tables;
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingDesktop m_desktop;
    QStringList m_errors;
};

void tst_LearnerWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    const auto loaded = Verarov::Dictionary::loadExternal(VERAROV_TEST_DATA "/learner.tsv"_L1);
    QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
    m_tables = loaded.tables;
}

void tst_LearnerWindow::init()
{
    m_desktop = {};
    m_errors.clear();
    Verarov::App::setDesktop(&m_desktop);
    Verarov::App::setErrorSink(
            [this](QWidget *, const QString &message) { m_errors.append(message); });
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Verarov::Settings::setUserStoreLocation(storeFile());
    QFile::remove(Verarov::Lookup::favouritesPath());
    start();
}

void tst_LearnerWindow::cleanup()
{
    m_form.reset();
    Form1 = nullptr;
    Verarov::Settings::setUserStoreLocation({});
    Verarov::App::setErrorSink({});
    Verarov::App::setDesktop(nullptr);
    QFile::remove(Verarov::Lookup::favouritesPath());
}

void tst_LearnerWindow::start()
{
    m_form.reset();
    m_form = std::make_unique<TForm1>(m_tables);
    Form1 = m_form.get();
    m_form->FormCreate({});
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

SimpleComboBox *tst_LearnerWindow::type(const QString &field, int page, const QString &text)
{
    m_form->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(page);
    auto *box = m_form->findChild<SimpleComboBox *>(field);
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    // One key press a character, any character (keyClicks takes Latin-1 only).
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box->lineEdit(), Qt::Key_unknown, QString(c), {});
    return box;
}

void tst_LearnerWindow::field_learnerWriting_showsEntry_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("headword");
    QTest::addRow("tone number") << u"liste_pin_ss_accent"_s << 1 << u"ma3"_s << u"马"_s;
    QTest::addRow("tone numbers") << u"liste_pin_ss_accent"_s << 1 << u"ni3hao3"_s << u"你好"_s;
    QTest::addRow("tone marks") << u"liste_pin_ss_accent"_s << 1 << u"nǐ hǎo"_s << u"你好"_s;
    QTest::addRow("apostrophe") << u"liste_pin_ss_accent"_s << 1 << u"xi'an"_s << u"西安"_s;
    QTest::addRow("v for ü") << u"liste_pin_ss_accent"_s << 1 << u"lv4"_s << u"绿"_s;
    QTest::addRow("capitals") << u"liste_pin_ss_accent"_s << 1 << u"Zhong1guo2"_s << u"中国"_s;
    QTest::addRow("traditional") << u"liste_dico_ch"_s << 0 << u"學習"_s << u"学习"_s;
    QTest::addRow("mixed") << u"liste_dico_ch"_s << 0 << u"中國"_s << u"中国"_s;
    QTest::addRow("computer") << u"liste_dico_ch"_s << 0 << u"電腦"_s << u"电脑"_s;
    QTest::addRow("unaccented") << u"liste_fr"_s << 2 << u"eleve"_s << u"学生"_s;
    QTest::addRow("ligature") << u"liste_fr"_s << 2 << u"oeuf"_s << u"蛋"_s;
    QTest::addRow("capitals, French") << u"liste_fr"_s << 2 << u"ETE"_s << u"夏天"_s;
}

void tst_LearnerWindow::field_learnerWriting_showsEntry()
{
    QFETCH(QString, field);
    QFETCH(int, page);
    QFETCH(QString, typed);
    QFETCH(QString, headword);
    SimpleComboBox *box = type(field, page, typed);
    QCOMPARE(box->text(), typed); // the text stays as typed
    QVERIFY(box->currentRow() >= 0);
    QCOMPARE(shownHeadword(), headword);
}

void tst_LearnerWindow::field_prefixFound_sameAsBefore()
{
    // "ma" begins keys: the first of them, completed as always.
    SimpleComboBox *box = type(u"liste_pin_ss_accent"_s, 1, u"ma"_s);
    QCOMPARE(box->currentRow(),
             0
                     + box->listView()
                               ->model()
                               ->match(box->listView()->model()->index(0, 0), Qt::DisplayRole,
                                       u"ma"_s, 1, Qt::MatchStartsWith)
                               .front()
                               .row());
    QCOMPARE(shownHeadword(),
             m_tables.headword(m_form->fieldModel(Verarov::Dictionary::List::PinyinKeys)
                                       .entry(box->currentRow())));
}

void tst_LearnerWindow::displayOptions_offByDefault_plainText()
{
    type(u"liste_dico_ch"_s, 0, u"学习"_s);
    auto *pinyin = m_form->findChild<QLabel *>(u"mot_pin"_s);
    QCOMPARE(pinyin->textFormat(), Qt::PlainText);
    QCOMPARE(pinyin->text(), u"xué xí"_s);
    QVERIFY(m_form->findChild<QLabel *>(u"traditionalForm"_s)->isHidden());
    QVERIFY(m_form->findChild<QLabel *>(u"wordLevel"_s)->isHidden());
    for (const QString &name : {u"toneColours"_s, u"traditionalForm"_s, u"wordLevel"_s})
        QVERIFY(!item(name)->isChecked());
}

void tst_LearnerWindow::displayOptions_on_showExtras()
{
    const QSize designed = m_form->size();
    QCOMPARE(designed.width(), Verarov::App::kMainClientSize.width());
    type(u"liste_dico_ch"_s, 0, u"学习"_s);
    item(u"toneColours"_s)->trigger();
    item(u"traditionalForm"_s)->trigger();
    item(u"wordLevel"_s)->trigger();
    auto *pinyin = m_form->findChild<QLabel *>(u"mot_pin"_s);
    QCOMPARE(pinyin->textFormat(), Qt::RichText);
    QCOMPARE(pinyin->text(), u"<span style=\"color:#a35200\">xué</span> "_s
                             u"<span style=\"color:#a35200\">xí</span>"_s);
    auto *traditional = m_form->findChild<QLabel *>(u"traditionalForm"_s);
    QVERIFY(!traditional->isHidden());
    QCOMPARE(traditional->text(), u"學習"_s);
    auto *level = m_form->findChild<QLabel *>(u"wordLevel"_s);
    QVERIFY(!level->isHidden());
    QCOMPARE(level->text(), u"HSK 1 · #1218"_s);
    QCOMPARE(level->toolTip(), u"niveau HSK 1, rang de fréquence 1218"_s);
    // The third panel takes the room the two designed ones leave: the
    // window keeps its size, and every panel lies inside it.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(m_form->size(), designed);
    for (const QLabel *panel : m_form->statusBar()->findChildren<QLabel *>()) {
        if (panel->isVisible())
            QVERIFY2(panel->mapTo(m_form.get(), QPoint(panel->width(), 0)).x() <= designed.width(),
                     qPrintable(panel->text()));
    }

    // An entry of no other form and no level: both hidden.
    type(u"liste_pin_ss_accent"_s, 1, u"xi'an"_s);
    QCOMPARE(shownHeadword(), u"西安"_s);
    QVERIFY(traditional->isHidden());
    QCOMPARE(pinyin->text(), u"<span style=\"color:#d01010\">Xī</span> "_s
                             u"<span style=\"color:#d01010\">ān</span>"_s);
    // Off again: plain text.
    item(u"toneColours"_s)->trigger();
    QCOMPARE(pinyin->textFormat(), Qt::PlainText);
    QCOMPARE(pinyin->text(), u"Xī ān"_s);
}

void tst_LearnerWindow::displayOption_storedAndReadAtStart_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::addRow("tone colours") << u"toneColours"_s << u"couleur des tons"_s;
    QTest::addRow("traditional form") << u"traditionalForm"_s << u"forme traditionnelle"_s;
    QTest::addRow("HSK level") << u"wordLevel"_s << u"niveau HSK"_s;
}

void tst_LearnerWindow::displayOption_storedAndReadAtStart()
{
    QFETCH(QString, item);
    QFETCH(QString, value);
    // Not written at start.
    QVERIFY(!QSettings(storeFile(), QSettings::IniFormat).contains(value));
    this->item(item)->trigger();
    QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).value(value).toString(), u"1"_s);
    start();
    QVERIFY(this->item(item)->isChecked());
    this->item(item)->trigger();
    QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).value(value).toString(), u"0"_s);
    // A value that is no number: off, and the start goes on.
    QSettings(storeFile(), QSettings::IniFormat).setValue(value, u"oui"_s);
    start();
    QVERIFY(!this->item(item)->isChecked());
    QVERIFY(m_errors.isEmpty());
}

void tst_LearnerWindow::displayOptions_captionsInBothLanguages()
{
    QCOMPARE(item(u"toneColours"_s)->text(), u"Tons en couleur"_s);
    QCOMPARE(item(u"favourites"_s)->text(), u"Favoris..."_s);
    m_form->langue_chClick();
    QCOMPARE(item(u"toneColours"_s)->text(), u"声调颜色"_s);
    QCOMPARE(item(u"traditionalForm"_s)->text(), u"繁体字"_s);
    QCOMPARE(item(u"wordLevel"_s)->text(), u"HSK 等级和词频"_s);
    QCOMPARE(item(u"favourites"_s)->text(), u"收藏..."_s);
    item(u"wordLevel"_s)->trigger();
    type(u"liste_dico_ch"_s, 0, u"学习"_s);
    QCOMPARE(m_form->findChild<QLabel *>(u"wordLevel"_s)->toolTip(), u"HSK 1 级，词频第 1218"_s);
    m_form->langue_frClick();
    QCOMPARE(item(u"toneColours"_s)->text(), u"Tons en couleur"_s);
    QCOMPARE(m_form->findChild<QLabel *>(u"wordLevel"_s)->toolTip(),
             u"niveau HSK 1, rang de fréquence 1218"_s);
}

void tst_LearnerWindow::copy_withToneColours_copiesPlainPinyin()
{
    item(u"toneColours"_s)->trigger();
    SimpleComboBox *box = type(u"liste_dico_ch"_s, 0, u"学习"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(m_desktop.clipboard, QStringList{u"学习\txué xí\tétudier, apprendre"_s});
}

void tst_LearnerWindow::history_altArrowsAndMouseButtons()
{
    SimpleComboBox *box = type(u"liste_pin_ss_accent"_s, 1, u"ma3"_s);
    type(u"liste_dico_ch"_s, 0, u"學習"_s);
    box = type(u"liste_fr"_s, 2, u"oeuf"_s);
    QCOMPARE(shownHeadword(), u"蛋"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(shownHeadword(), u"学习"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(shownHeadword(), u"马"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_Left, Qt::AltModifier); // at the start: stays
    QCOMPARE(shownHeadword(), u"马"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(shownHeadword(), u"学习"_s);
    auto *panel = m_form->findChild<QLabel *>(u"mot_ch"_s);
    QTest::mouseClick(panel, Qt::ForwardButton);
    QCOMPARE(shownHeadword(), u"蛋"_s);
    QTest::mouseClick(panel, Qt::BackButton);
    QCOMPARE(shownHeadword(), u"学习"_s);
    // A new entry from the middle drops what lay ahead.
    type(u"liste_pin_ss_accent"_s, 1, u"ni3hao3"_s);
    QTest::mouseClick(panel, Qt::ForwardButton);
    QCOMPARE(shownHeadword(), u"你好"_s);
    QTest::mouseClick(panel, Qt::BackButton);
    QCOMPARE(shownHeadword(), u"学习"_s);
}

void tst_LearnerWindow::favourites_addShowRemove()
{
    SimpleComboBox *box = type(u"liste_dico_ch"_s, 0, u"學習"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_D, Qt::ControlModifier);
    type(u"liste_pin_ss_accent"_s, 1, u"ma3"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(box->lineEdit(), Qt::Key_D, Qt::ControlModifier); // once only
    QFile file(Verarov::Lookup::favouritesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
             u"学习\txué xí\tétudier, apprendre\n马\tmǎ\tcheval\n"_s);
    file.close();
    QVERIFY(m_errors.isEmpty());

    item(u"favourites"_s)->trigger();
    auto *window = m_form->findChild<QWidget *>(u"favourites"_s, Qt::FindDirectChildrenOnly);
    QVERIFY(window && window->isVisible());
    auto *list = window->findChild<QListWidget *>(u"list"_s);
    QCOMPARE(list->count(), 2);
    list->setCurrentRow(0);
    QCOMPARE(shownHeadword(), u"学习"_s);
    list->setCurrentRow(1);
    QCOMPARE(shownHeadword(), u"马"_s);
    window->findChild<QPushButton *>(u"remove"_s)->click();
    QCOMPARE(list->count(), 1);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), u"学习\txué xí\tétudier, apprendre\n"_s);
    file.close();

    // Read again by the next run.
    start();
    item(u"favourites"_s)->trigger();
    window = m_form->findChild<QWidget *>(u"favourites"_s, Qt::FindDirectChildrenOnly);
    QCOMPARE(window->findChild<QListWidget *>(u"list"_s)->count(), 1);
}

void tst_LearnerWindow::favourites_export_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("expected");
    QTest::addRow("TSV") << 0 << "学习\txué xí\tétudier, apprendre\t1\n马\tmǎ\tcheval\t1\n"_ba;
    QTest::addRow("CSV") << 1 << "学习,xué xí,\"étudier, apprendre\",1\r\n马,mǎ,cheval,1\r\n"_ba;
    QTest::addRow("Anki") << 2
                          << "#separator:tab\n#html:true\n学习\txué xí<br>étudier, apprendre\n"
                             "马\tmǎ<br>cheval\n"_ba;
}

void tst_LearnerWindow::favourites_export()
{
    QFETCH(int, format);
    QFETCH(QByteArray, expected);
    SimpleComboBox *box = type(u"liste_dico_ch"_s, 0, u"学习"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_D, Qt::ControlModifier);
    type(u"liste_pin_ss_accent"_s, 1, u"ma3"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_D, Qt::ControlModifier);
    item(u"favourites"_s)->trigger();
    auto *window = m_form->findChild<QWidget *>(u"favourites"_s, Qt::FindDirectChildrenOnly);
    window->findChild<QComboBox *>(u"format"_s)->setCurrentIndex(format);
    m_desktop.nextFile = m_dir->filePath(u"export.txt"_s);
    window->findChild<QPushButton *>(u"export"_s)->click();
    QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(u'\n')));
    QFile file(m_desktop.nextFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
}

void tst_LearnerWindow::favourites_unreadableFile_neverWrittenOver()
{
    const QString path = Verarov::Lookup::favouritesPath();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    const QByteArray bad = "学习\txué xí\t\xff\xfe bad\n"_ba;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bad);
    }
    SimpleComboBox *box = type(u"liste_dico_ch"_s, 0, u"学习"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.front().startsWith(u"Impossible de lire les favoris"_s));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bad);
}

QTEST_MAIN(tst_LearnerWindow)
#include "tst_learnerwindow.moc"
