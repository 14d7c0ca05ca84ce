#include "app/aproposde.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "lookup/keylistmodel.h"
#include "dictionary/loader.h"
#include "app/simplecombobox.h"
#include "testsupport_app.h"
#include "testsupport_lookup.h"
#include "app/unit1.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>

using namespace Qt::StringLiterals;
using namespace Verarov::App;

namespace {

const QString kPair = u"\U00020000"_s;

} // namespace

class tst_LookupFields : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void frenchField_typingA_skipsAccentedRows();
    void pinyinField_sameRowAgain_firesNothing();
    void pinyinField_upperCaseTyping_keepsCase();
    void backspaceAfterCompletion_removesCompletedPart();
    void unmatchedCharacter_insertedAndDisplayStays();
    void surrogatePair_completes_data();
    void surrogatePair_completes();
    void loneSurrogateHalf_goesToTheEdit();
    void pickingARow_setsTextAndShowsEntry();
    void programText_firesNothing();
    void ctrlC_inField_copiesShownEntry();
    void escape_endsProgram_data();
    void escape_endsProgram();
    void clear_emptiesFieldsAndShowsChineseList();
    void help_opensPageOfTheInterfaceLanguage_data();
    void help_opensPageOfTheInterfaceLanguage();
    void aboutBox_opensAgainAndAgain();
    void aboutBox_comesBackWhereItWasLeft();
    void aboutBox_linkAreaOpensTheSite_data();
    void aboutBox_linkAreaOpensTheSite();
    void aboutBox_authorLinesFit();
    void clickOnTheSelectedRow_setsTextAndFires();
    void completionOnTheSelectedRow_bringsItIntoView();
    void mainWindow_atItsDesignedPosition();

private:
    SimpleComboBox *field(const QString &name) const
    {
        return m_form->findChild<SimpleComboBox *>(name);
    }
    // Brings a field's page forward and gives it the focus.
    SimpleComboBox *useField(const QString &name, int page);
    QString shownHeadword() const { return m_form->findChild<QLabel *>(u"mot_ch"_s)->text(); }
    QString modelKey(SimpleComboBox *box, int row) const
    {
        return box->listView()->model()->index(row, 0).data().toString();
    }

    Verarov::Dictionary::Tables m_tables;
    TForm1 *m_form = nullptr;
    RecordingDesktop m_desktop;
};

void tst_LookupFields::initTestCase()
{
    const auto loaded = Verarov::Dictionary::loadExternal(VERAROV_TEST_DATA "/lookup.tsv"_L1);
    QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
    m_tables = loaded.tables;
    Verarov::App::setDesktop(&m_desktop);
    Verarov::App::setErrorSink([](QWidget *, const QString &message) {
        QFAIL(qPrintable(u"error box: "_s + message));
    });
}

void tst_LookupFields::init()
{
    QVERIFY(startWindows(m_tables));
    m_form = Form1;
    m_desktop.opened.clear();
}

void tst_LookupFields::cleanup()
{
    Verarov::App::destroyWindows();
    m_form = nullptr;
}

SimpleComboBox *tst_LookupFields::useField(const QString &name, int page)
{
    m_form->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(page);
    SimpleComboBox *box = field(name);
    box->setFocus();
    return box;
}

void tst_LookupFields::frenchField_typingA_skipsAccentedRows()
{
    SimpleComboBox *box = useField(u"liste_fr"_s, 2);
    for (int row = 0; row < 8; ++row)
        QCOMPARE(modelKey(box, row), u"à"_s);
    QSignalSpy changed(box, &SimpleComboBox::changed);

    QTest::keyClick(box->lineEdit(), Qt::Key_A, {}, 1);
    QCOMPARE(box->currentRow(), 8);
    QCOMPARE(box->text(), u"a Bao (mon trésor)"_s);
    QCOMPARE(box->lineEdit()->selectedText(), u" Bao (mon trésor)"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shownHeadword(), u"阿宝"_s);
    QCOMPARE(box->listView()->currentIndex().row(), 8);
}

void tst_LookupFields::pinyinField_sameRowAgain_firesNothing()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(box->lineEdit(), u"ab"_s);
    QCOMPARE(box->text(), u"abao"_s);
    QCOMPARE(box->lineEdit()->selectedText(), u"ao"_s);
    const int row = box->currentRow();
    QCOMPARE(shownHeadword(), u"阿宝"_s);

    m_form->affiche_mot(u"X", u"x", u"x"); // a display the next key must not touch
    QSignalSpy changed(box, &SimpleComboBox::changed);
    QTest::keyClicks(box->lineEdit(), u"a"_s);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(box->currentRow(), row);
    QCOMPARE(box->lineEdit()->selectedText(), u"o"_s);
    QCOMPARE(shownHeadword(), u"X"_s);
}

void tst_LookupFields::pinyinField_upperCaseTyping_keepsCase()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(box->lineEdit(), u"AB"_s);
    QCOMPARE(box->text(), u"ABao"_s);
    QCOMPARE(box->lineEdit()->selectedText(), u"ao"_s);
    QCOMPARE(modelKey(box, box->currentRow()), u"abao"_s);
}

void tst_LookupFields::backspaceAfterCompletion_removesCompletedPart()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(box->lineEdit(), u"ab"_s);
    QSignalSpy changed(box, &SimpleComboBox::changed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(box->text(), u"ab"_s);
    QCOMPARE(box->lineEdit()->cursorPosition(), 2);
    QCOMPARE(box->currentRow(), -1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shownHeadword(), u"阿宝"_s);
}

void tst_LookupFields::unmatchedCharacter_insertedAndDisplayStays()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(box->lineEdit(), u"b"_s);
    QCOMPARE(box->text(), u"ba"_s);
    QCOMPARE(shownHeadword(), u"八"_s);
    QSignalSpy changed(box, &SimpleComboBox::changed);
    QTest::keyClicks(box->lineEdit(), u"q"_s);
    QCOMPARE(box->text(), u"bq"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shownHeadword(), u"八"_s);
}

void tst_LookupFields::surrogatePair_completes_data()
{
    QTest::addColumn<bool>("oneEvent");
    QTest::addRow("both halves in one key event") << true;
    QTest::addRow("one key event per half") << false;
}

void tst_LookupFields::surrogatePair_completes()
{
    QFETCH(bool, oneEvent);
    // The dictionary holds no such character: a box of its own rows.
    const QStringList rows{u"a"_s, kPair + u"子"_s};
    QStringListModel model(rows);
    StringKeys keys(rows);
    SimpleComboBox box;
    box.setModel(&model, &keys);
    QSignalSpy changed(&box, &SimpleComboBox::changed);
    if (oneEvent) {
        QTest::sendKeyEvent(QTest::Click, box.lineEdit(), Qt::Key_unknown, kPair, {});
    } else {
        QTest::sendKeyEvent(QTest::Click, box.lineEdit(), Qt::Key_unknown, kPair.first(1), {});
        QTest::sendKeyEvent(QTest::Click, box.lineEdit(), Qt::Key_unknown, kPair.sliced(1), {});
    }
    QCOMPARE(box.text(), kPair + u"子"_s);
    QCOMPARE(box.lineEdit()->selectedText(), u"子"_s);
    QCOMPARE(box.currentRow(), 1);
    QCOMPARE(changed.count(), 1);
    QCoreApplication::processEvents(); // where a half left waiting would go to the edit
    QCOMPARE(box.text(), kPair + u"子"_s);
}

void tst_LookupFields::loneSurrogateHalf_goesToTheEdit()
{
    SimpleComboBox *box = useField(u"liste_dico_ch"_s, 0);
    QSignalSpy changed(box, &SimpleComboBox::changed);
    QTest::sendKeyEvent(QTest::Click, box->lineEdit(), Qt::Key_unknown, kPair.first(1), {});
    QCOMPARE(changed.count(), 0); // waiting for the other half
    QTRY_COMPARE(changed.count(), 1);
    QCOMPARE(box->text(), kPair.first(1));
    QCOMPARE(box->currentRow(), -1);
}

void tst_LookupFields::pickingARow_setsTextAndShowsEntry()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QSignalSpy changed(box, &SimpleComboBox::changed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Down);
    QCOMPARE(box->currentRow(), 0);
    QCOMPARE(box->text(), modelKey(box, 0));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shownHeadword(), u"啊"_s);

    QAbstractItemView *list = box->listView();
    const QRect third = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(box->currentRow(), 2);
    QCOMPARE(box->text(), modelKey(box, 2));
    QCOMPARE(changed.count(), 2);
    const int entry = m_tables.pinyinKeyEntry(2);
    QCOMPARE(shownHeadword(), m_tables.headword(entry));
    QVERIFY(box->lineEdit()->hasFocus());
}

void tst_LookupFields::programText_firesNothing()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(box->lineEdit(), u"b"_s);
    const int row = box->currentRow();
    QSignalSpy changed(box, &SimpleComboBox::changed);
    box->setText(u"a"_s);
    QCOMPARE(box->text(), u"a"_s);
    QCOMPARE(box->currentRow(), row);
    QCOMPARE(changed.count(), 0);
}

void tst_LookupFields::ctrlC_inField_copiesShownEntry()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(box->lineEdit(), u"ab"_s);
    QVERIFY(box->lineEdit()->hasSelectedText());
    m_desktop.clipboard.clear();
    QTest::keyClick(box->lineEdit(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(m_desktop.clipboard, QStringList{u"阿宝\tā bǎo\tA Bao (mon trésor) / à"_s});
}

void tst_LookupFields::escape_endsProgram_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("subPage"); // page of PageControl2, -1: a field of another page
    QTest::addRow("radical tree") << u"ListBox"_s << 1;
    QTest::addRow("character list") << u"liste_car_ch"_s << 1;
    QTest::addRow("word list") << u"liste_mots_ch"_s << 1;
    QTest::addRow("Chinese field") << u"liste_dico_ch"_s << 0;
    QTest::addRow("French field") << u"liste_fr"_s << -1;
}

void tst_LookupFields::escape_endsProgram()
{
    QFETCH(QString, control);
    QFETCH(int, subPage);
    if (subPage >= 0)
        m_form->findChild<QTabWidget *>(u"PageControl2"_s)->setCurrentIndex(subPage);
    else
        m_form->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(2);
    auto *widget = m_form->findChild<QWidget *>(control);
    widget->setFocus();
    QVERIFY(widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!m_form->isVisible());
}

void tst_LookupFields::clear_emptiesFieldsAndShowsChineseList()
{
    SimpleComboBox *pinyin = useField(u"liste_pin_ss_accent"_s, 1);
    QTest::keyClicks(pinyin->lineEdit(), u"ab"_s);
    useField(u"liste_fr"_s, 2);
    QTest::keyClicks(field(u"liste_fr"_s)->lineEdit(), u"a"_s);
    useField(u"liste_pin_ss_accent"_s, 1);
    QSignalSpy changed(pinyin, &SimpleComboBox::changed);

    QTest::keyClick(pinyin->lineEdit(), Qt::Key_Delete, Qt::ControlModifier);
    for (const QString &name : {u"liste_dico_ch"_s, u"liste_pin_ss_accent"_s, u"liste_fr"_s})
        QCOMPARE(field(name)->text(), QString());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_form->findChild<QTabWidget *>(u"PageControl1"_s)->currentWidget()->objectName(),
             u"TabSheet1"_s);
    QCOMPARE(m_form->findChild<QTabWidget *>(u"PageControl2"_s)->currentWidget()->objectName(),
             u"TabSheet4"_s);
    QCOMPARE(shownHeadword(), QString());
    QCOMPARE(m_form->motFrText(), QString());
    QCOMPARE(m_form->findChild<QAbstractItemView *>(u"liste_car_ch"_s)->model()->rowCount(), 0);
    QCOMPARE(m_form->findChild<QAbstractItemView *>(u"liste_mots_ch"_s)->model()->rowCount(), 0);
}

void tst_LookupFields::help_opensPageOfTheInterfaceLanguage_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QByteArray>("language");
    QTest::addRow("French interface") << true << u"/dico_aide/index.html"_s << QByteArray("fr");
    QTest::addRow("Chinese interface")
            << false << u"/dico_aide_cn/index.html"_s << QByteArray("zh-CN");
}

void tst_LookupFields::help_opensPageOfTheInterfaceLanguage()
{
    QFETCH(bool, french);
    QFETCH(QString, ending);
    QFETCH(QByteArray, language);
    m_form->findChild<QAction *>(u"langue_fr"_s)->setChecked(french);
    SimpleComboBox *box = useField(u"liste_fr"_s, 2);
    QTest::keyClick(box->lineEdit(), Qt::Key_F1);
    QCOMPARE(m_desktop.opened.size(), 1);
    // The pages copied into the build tree, in the interface's language.
    const QUrl opened = m_desktop.opened.first();
    QVERIFY2(opened.isLocalFile() && opened.path().endsWith(ending), qPrintable(opened.toString()));
    QFile page(opened.toLocalFile());
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("<html lang=\"" + language + "\""));
}

void tst_LookupFields::aboutBox_opensAgainAndAgain()
{
    QAction *apropos = m_form->findChild<QAction *>(u"Apropos"_s);
    for (int i = 0; i < 3; ++i) {
        apropos->trigger();
        QVERIFY(Form2->isVisible());
        QVERIFY(!Form2->isModal());
        apropos->trigger(); // while open: brought forward, still the one box
        QCOMPARE(m_form->findChildren<TForm2 *>().size(), 1);
        QTest::mouseClick(Form2->findChild<QPushButton *>(u"Button1"_s), Qt::LeftButton);
        QVERIFY(!Form2->isVisible());
    }
    QMetaObject::invokeMethod(Form2, &TForm2::Label10Click);
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl(Verarov::App::siteAddress())});
}

void tst_LookupFields::aboutBox_comesBackWhereItWasLeft()
{
    m_form->AproposClick();
    QVERIFY(QTest::qWaitForWindowExposed(Form2));
    // Moved by the user through the window system, not by the program.
    const QPoint shown = Form2->pos();
    Form2->windowHandle()->setPosition(shown + QPoint(37, 21));
    QTRY_VERIFY(Form2->pos() != shown);
    QVERIFY(!Form2->testAttribute(Qt::WA_Moved));
    const QPoint left = Form2->pos();
    Form2->Button1Click();
    m_form->AproposClick();
    QVERIFY(Form2->isVisible());
    QCOMPARE(Form2->pos(), left);
}

void tst_LookupFields::aboutBox_linkAreaOpensTheSite_data()
{
    // Points of the 227 x 20 label, far from its centred text too.
    QTest::addColumn<QPoint>("point");
    QTest::addRow("centre") << QPoint(113, 10);
    QTest::addRow("left end") << QPoint(1, 1);
    QTest::addRow("right end") << QPoint(225, 18);
}

void tst_LookupFields::aboutBox_linkAreaOpensTheSite()
{
    QFETCH(QPoint, point);
    m_form->AproposClick();
    auto *label = Form2->findChild<QLabel *>(u"Label10"_s);
    QCOMPARE(label->geometry(), QRect(8, 80, 227, 20));
    QTest::mouseClick(label, Qt::LeftButton, {}, point);
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl(Verarov::App::siteAddress())});
}

void tst_LookupFields::aboutBox_authorLinesFit()
{
    m_form->AproposClick();
    for (const QString &name : {u"Label4"_s, u"Label5"_s, u"Label6"_s, u"Label7"_s}) {
        const auto *line = Form2->findChild<QLabel *>(name);
        QVERIFY(!line->text().isEmpty());
        QVERIFY2(line->fontMetrics().horizontalAdvance(line->text())
                         <= line->contentsRect().width(),
                 qPrintable(name + u" is cut: "_s + line->text()));
        QVERIFY(line->parentWidget()->rect().contains(line->geometry()));
    }
}

void tst_LookupFields::clickOnTheSelectedRow_setsTextAndFires()
{
    SimpleComboBox *box = useField(u"liste_pin_ss_accent"_s, 1);
    QAbstractItemView *list = box->listView();
    const QPoint third = list->visualRect(list->model()->index(2, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(box->currentRow(), 2);
    // The user edits the text; the row stays selected.
    box->lineEdit()->end(false);
    QTest::keyClicks(box->lineEdit(), u"zz"_s);
    QCOMPARE(box->currentRow(), 2);
    m_form->affiche_mot(u"X", u"x", u"x");
    QSignalSpy changed(box, &SimpleComboBox::changed);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(box->text(), modelKey(box, 2));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(shownHeadword(), m_tables.headword(m_tables.pinyinKeyEntry(2)));
}

void tst_LookupFields::completionOnTheSelectedRow_bringsItIntoView()
{
    // Rows enough to scroll: "k000" ... "k299".
    QStringList keys;
    for (int i = 0; i < 300; ++i)
        keys.append(u"k%1"_s.arg(i, 3, 10, QChar(u'0')));
    QStringListModel model(keys);
    const StringKeys rows(keys);
    SimpleComboBox box;
    box.setModel(&model, &rows);
    box.resize(169, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClicks(box.lineEdit(), u"k1"_s);
    QCOMPARE(box.text(), u"k100"_s);
    QAbstractItemView *list = box.listView();
    const QModelIndex index = model.index(100, 0);
    list->scrollToBottom();
    QVERIFY(!list->viewport()->rect().intersects(list->visualRect(index)));

    QTest::keyClicks(box.lineEdit(), u"0"_s); // the same row again
    QCOMPARE(box.currentRow(), 100);
    QVERIFY(list->viewport()->rect().contains(list->visualRect(index)));
}

void tst_LookupFields::mainWindow_atItsDesignedPosition()
{
    // Asked of the window system, not left to its placement.
    QVERIFY(m_form->testAttribute(Qt::WA_Moved));
    QCOMPARE(m_form->pos(), QPoint(0, 0));
    QCOMPARE(m_form->centralWidget()->size() + QSize(0, m_form->statusBar()->height()),
             QSize(528, 367));
}

QTEST_MAIN(tst_LookupFields)
#include "tst_lookupfields.moc"
