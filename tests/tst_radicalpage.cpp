#include "app/aproposde.h"
#include "app/errorbox.h"
#include "app/unit1.h"
#include "dictionary/builder.h"
#include "dictionary/radicals.h"
#include "dictionary/reader.h"
#include "testsupport_app.h"
#include "testsupport_entries.h"
#include "testsupport_log.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLoggingCategory>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace Verarov;
using namespace Verarov::App;

namespace {

QStringList rowsOf(const QAbstractItemView *view)
{
    QStringList rows;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        rows << view->model()->index(r, 0).data().toString();
    return rows;
}

} // namespace

// The page "radical" of the real main window: tree, characters, words.
class tst_RadicalPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void tree_holdsTheTableCollapsedAndReadOnly();
    void clickInTree_listsTheNodesCharacters_data();
    void clickInTree_listsTheNodesCharacters();
    void pickCharacter_listsItsWordsInEntryOrder_data();
    void pickCharacter_listsItsWordsInEntryOrder();
    void pickWord_showsItsEntryOneSensePerLine();
    void selectionByTheProgram_runsNoHandler();
    void keyboardInTree_changesNothingUntilTheNextClick();
    void collapsingTheSelectedRadicalsHeading_selectsTheHeading();
    void clear_emptiesTheListsAndKeepsTheTreeSelection();
    void escape_inTheFilledBrowser_endsProgram_data();
    void escape_inTheFilledBrowser_endsProgram();
    void handlers_logNodeCharacterAndCount();
    void radicalLists_builtBeforeTheCommandLineTranslation();
    void radicalSource_readOnceWhenFirstNeeded();

private:
    QTreeWidget *tree() const { return m_form->findChild<QTreeWidget *>(u"ListBox"_s); }
    QAbstractItemView *characters() const
    {
        return m_form->findChild<QAbstractItemView *>(u"liste_car_ch"_s);
    }
    QAbstractItemView *words() const
    {
        return m_form->findChild<QAbstractItemView *>(u"liste_mots_ch"_s);
    }
    QString shownHeadword() const { return m_form->findChild<QLabel *>(u"mot_ch"_s)->text(); }
    QTreeWidgetItem *node(int absoluteIndex) const;
    // A left click on a tree node, its heading expanded first.
    void clickNode(int absoluteIndex);
    // A left click on the expand button of a heading (0 to 11), which
    // selects no node.
    void clickExpandButton(int heading);
    void clickRow(QAbstractItemView *view, int row);
    void showRadicalPage();

    Dictionary::Tables m_tables;
    QString m_raw;
    TForm1 *m_form = nullptr;
    QStringList m_errors;
    RecordingDesktop m_desktop;
};

void tst_RadicalPage::initTestCase()
{
    m_tables = fixtureTables(u"sample.tsv"_s);
    QVERIFY(!m_tables.isEmpty());
    QFile raw(QStringLiteral(VERAROV_TEST_DATA "/radicals.txt"));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    m_raw = QString::fromUtf8(raw.readAll());
    App::setDesktop(&m_desktop);
}

void tst_RadicalPage::init()
{
    m_errors.clear();
    App::setErrorSink([this](QWidget *, const QString &message) { m_errors.append(message); });
    QVERIFY(startWindows(m_tables, m_raw));
    m_form = Form1;
    showRadicalPage();
}

void tst_RadicalPage::cleanup()
{
    App::destroyWindows();
    m_form = nullptr;
    App::setErrorSink({});
    QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(u'\n')));
}

void tst_RadicalPage::showRadicalPage()
{
    m_form->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(0);
    m_form->findChild<QTabWidget *>(u"PageControl2"_s)->setCurrentIndex(1);
    QCoreApplication::processEvents();
}

QTreeWidgetItem *tst_RadicalPage::node(int absoluteIndex) const
{
    int index = 0;
    for (int h = 0; h < tree()->topLevelItemCount(); ++h) {
        QTreeWidgetItem *heading = tree()->topLevelItem(h);
        if (index++ == absoluteIndex)
            return heading;
        for (int c = 0; c < heading->childCount(); ++c) {
            if (index++ == absoluteIndex)
                return heading->child(c);
        }
    }
    return nullptr;
}

void tst_RadicalPage::clickNode(int absoluteIndex)
{
    QTreeWidgetItem *item = node(absoluteIndex);
    QVERIFY(item);
    if (item->parent())
        item->parent()->setExpanded(true);
    tree()->scrollToItem(item);
    const QRect rect = tree()->visualItemRect(item);
    QVERIFY(rect.isValid());
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rect.center());
}

void tst_RadicalPage::clickExpandButton(int heading)
{
    QTreeWidgetItem *item = tree()->topLevelItem(heading);
    tree()->scrollToItem(item);
    const QRect rect = tree()->visualItemRect(item);
    QVERIFY(rect.left() >= tree()->indentation());
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                      QPoint(rect.left() - tree()->indentation() / 2, rect.center().y()));
}

void tst_RadicalPage::clickRow(QAbstractItemView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

void tst_RadicalPage::tree_holdsTheTableCollapsedAndReadOnly()
{
    QTreeWidget *t = tree();
    QCOMPARE(t->topLevelItemCount(), 12);
    QList<int> radicalsPerHeading;
    for (int h = 0; h < 12; ++h) {
        QCOMPARE(t->topLevelItem(h)->text(0), QString::number(h + 1));
        QVERIFY(!t->topLevelItem(h)->isExpanded());
        radicalsPerHeading << t->topLevelItem(h)->childCount();
    }
    QCOMPARE(radicalsPerHeading, (QList<int>{5, 26, 39, 38, 22, 22, 17, 7, 5, 1, 2, 3}));
    QCOMPARE(node(50)->text(0), u"扌"_s);
    QCOMPARE(node(10)->text(0), u"讠/言"_s);
    QCOMPARE(node(198)->text(0), u"鼻"_s);
    QCOMPARE(t->indentation(), 19);
    QCOMPARE(t->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(t->selectedItems().isEmpty());
    QCOMPARE(t->geometry(), QRect(4, 4, 172, 149));
    QCOMPARE(t->font().pixelSize(), 16);
    QCOMPARE(characters()->geometry(), QRect(3, 159, 46, 95));
    QCOMPARE(characters()->font().pixelSize(), 21);
    QCOMPARE(words()->geometry(), QRect(54, 159, 122, 95));
    QCOMPARE(rowsOf(characters()), QStringList());
    QCOMPARE(rowsOf(words()), QStringList());
    // Rows of the character list are 21 pixels high.
    clickNode(1);
    QCOMPARE(characters()->visualRect(characters()->model()->index(0, 0)).height(), 21);
}

void tst_RadicalPage::clickInTree_listsTheNodesCharacters_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QList<int>>("collapse"); // headings collapsed before the click
    QTest::addColumn<QStringList>("characters");
    QTest::addRow("丶") << 1 << QList<int>{} << QStringList{u"丫"_s, u"为"_s, u"主"_s};
    QTest::addRow("扌, headings 1 to 3 expanded") << 50 << QList<int>{} << QStringList{u"挨"_s};
    QTest::addRow("扌, headings 1 and 2 collapsed")
            << 50 << QList<int>{0, 1} << QStringList{u"挨"_s};
    QTest::addRow("王, the last radical listed") << 82 << QList<int>{} << QStringList{u"主"_s};
    QTest::addRow("屮, no characters") << 66 << QList<int>{} << QStringList();
    QTest::addRow("empty radical 丨") << 3 << QList<int>{} << QStringList();
    QTest::addRow("heading 1") << 0 << QList<int>{} << QStringList();
    QTest::addRow("heading 2") << 6 << QList<int>{} << QStringList();
}

void tst_RadicalPage::clickInTree_listsTheNodesCharacters()
{
    QFETCH(int, node);
    QFETCH(QList<int>, collapse);
    QFETCH(QStringList, characters);
    // Something listed before, with a word list shown.
    for (int heading = 0; heading < 3; ++heading)
        tree()->topLevelItem(heading)->setExpanded(true);
    clickNode(2);
    QCOMPARE(rowsOf(this->characters()), (QStringList{u"一"_s, u"世"_s}));
    clickRow(this->characters(), 0);
    QCOMPARE(words()->model()->rowCount(), 6);
    m_form->affiche_mot(u"X", u"x", u"x");

    for (int heading : collapse)
        tree()->topLevelItem(heading)->setExpanded(false);
    clickNode(node);
    QCOMPARE(rowsOf(this->characters()), characters);
    QCOMPARE(rowsOf(words()), QStringList());
    QVERIFY(this->characters()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(shownHeadword(), u"X"_s); // the display does not change
}

void tst_RadicalPage::pickCharacter_listsItsWordsInEntryOrder_data()
{
    QTest::addColumn<int>("radical");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("byKeyboard"); // Down from the row above, else a click
    QTest::addColumn<QStringList>("words");
    const QStringList yi = {u"一"_s,       u"一一"_s,     u"一丝不苟"_s,
                            u"一丝不苟"_s, u"一个劲儿"_s, u"一点儿"_s};
    QTest::addRow("一 by mouse") << 2 << 0 << false << yi;
    QTest::addRow("世 by keyboard") << 2 << 1 << true << QStringList{u"世卫"_s};
    QTest::addRow("丫 begins no headword") << 1 << 0 << false << QStringList();
    QTest::addRow("乐 under 丿") << 4 << 0 << false << QStringList{u"乐"_s, u"乐"_s, u"乐"_s};
    QTest::addRow("乐 under 乙, the same words")
            << 5 << 0 << false << QStringList{u"乐"_s, u"乐"_s, u"乐"_s};
    QTest::addRow("偶") << 20 << 0 << false << QStringList{u"偶像"_s, u"偶向"_s, u"偶然"_s};
}

void tst_RadicalPage::pickCharacter_listsItsWordsInEntryOrder()
{
    QFETCH(int, radical);
    QFETCH(int, row);
    QFETCH(bool, byKeyboard);
    QFETCH(QStringList, words);
    clickNode(radical);
    m_form->affiche_mot(u"X", u"x", u"x");
    if (byKeyboard) {
        clickRow(characters(), row - 1);
        QTest::keyClick(characters(), Qt::Key_Down);
    } else {
        clickRow(characters(), row);
    }
    QCOMPARE(characters()->selectionModel()->selectedRows().value(0).row(), row);
    // Entry order of the dictionary, whatever the key order.
    QStringList expected;
    for (int e = 0; e < m_tables.entryCount(); ++e) {
        if (words.contains(m_tables.headword(e).toString()))
            expected << m_tables.headword(e).toString();
    }
    QCOMPARE(rowsOf(this->words()), expected);
    QCOMPARE(rowsOf(this->words()).size(), words.size());
    QVERIFY(this->words()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(shownHeadword(), u"X"_s);
}

void tst_RadicalPage::pickWord_showsItsEntryOneSensePerLine()
{
    clickNode(2);
    clickRow(characters(), 0);
    clickRow(words(), 0);
    QCOMPARE(shownHeadword(), u"一"_s);
    QCOMPARE(m_form->findChild<QLabel *>(u"mot_pin"_s)->text(), u"yī"_s);
    QCOMPARE(m_form->motFrText(),
             u"un, une\r\npremier, première\r\nmême\r\ntout\r\nà peine\r\naussitôt"_s);

    // The keyboard picks the next word.
    QTest::keyClick(words(), Qt::Key_Down);
    QCOMPARE(shownHeadword(), u"一一"_s);
    QCOMPARE(m_form->motFrText(), u"un à un\r\nun par un\r\nl'un après l'autre"_s);

    // A click on the word already selected shows it again.
    m_form->affiche_mot(u"X", u"x", u"x");
    clickRow(words(), 1);
    QCOMPARE(shownHeadword(), u"一一"_s);
}

void tst_RadicalPage::selectionByTheProgram_runsNoHandler()
{
    clickNode(2);
    m_form->affiche_mot(u"X", u"x", u"x");
    characters()->setCurrentIndex(characters()->model()->index(0, 0));
    characters()->selectionModel()->select(characters()->model()->index(1, 0),
                                           QItemSelectionModel::ClearAndSelect);
    QCOMPARE(words()->model()->rowCount(), 0);

    clickRow(characters(), 0);
    QCOMPARE(words()->model()->rowCount(), 6);
    words()->setCurrentIndex(words()->model()->index(2, 0));
    QCOMPARE(shownHeadword(), u"X"_s);
}

void tst_RadicalPage::keyboardInTree_changesNothingUntilTheNextClick()
{
    clickNode(1);
    QCOMPARE(rowsOf(characters()), (QStringList{u"丫"_s, u"为"_s, u"主"_s}));
    tree()->setFocus();
    QTest::keyClick(tree(), Qt::Key_Down); // to 一
    QTest::keyClick(tree(), Qt::Key_Down); // to 丨
    QTest::keyClick(tree(), Qt::Key_Up);   // back to 一
    QCOMPARE(tree()->selectedItems().value(0), node(2));
    QCOMPARE(rowsOf(characters()), (QStringList{u"丫"_s, u"为"_s, u"主"_s}));

    // A click on an expand button acts on the node selected when it ends.
    clickExpandButton(4);
    QCOMPARE(tree()->selectedItems().value(0), node(2));
    QCOMPARE(rowsOf(characters()), (QStringList{u"一"_s, u"世"_s}));

    // A right click runs nothing.
    clickNode(1);
    clickNode(2);
    QTest::mouseClick(tree()->viewport(), Qt::RightButton, {},
                      tree()->visualItemRect(node(1)).center());
    QCOMPARE(rowsOf(characters()), (QStringList{u"一"_s, u"世"_s}));
}

void tst_RadicalPage::collapsingTheSelectedRadicalsHeading_selectsTheHeading()
{
    clickNode(1); // 丶, under the heading "1"
    QCOMPARE(rowsOf(characters()), (QStringList{u"丫"_s, u"为"_s, u"主"_s}));
    clickExpandButton(0); // the heading "1" collapsed over it
    QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>{node(0)});
    QCOMPARE(rowsOf(characters()), QStringList());
    // The next click in the tree, on another heading's expand button, acts
    // on the heading.
    clickExpandButton(1);
    QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>{node(0)});
    QCOMPARE(rowsOf(characters()), QStringList());

    // Collapsing another heading keeps the selected radical.
    clickNode(50); // 扌, under the heading "3"
    node(0)->setExpanded(true);
    clickExpandButton(0);
    QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem *>{node(50)});
    QCOMPARE(rowsOf(characters()), QStringList{u"挨"_s});
}

void tst_RadicalPage::clear_emptiesTheListsAndKeepsTheTreeSelection()
{
    clickNode(2);
    clickRow(characters(), 0);
    clickRow(words(), 0);
    m_form->findChild<QAction *>(u"Effacer"_s)->trigger();
    QCOMPARE(rowsOf(characters()), QStringList());
    QCOMPARE(rowsOf(words()), QStringList());
    QCOMPARE(shownHeadword(), QString());
    QCOMPARE(tree()->selectedItems().value(0), node(2));
    QCOMPARE(m_form->findChild<QTabWidget *>(u"PageControl2"_s)->currentIndex(), 0);

    // The next click in the tree lists that radical again.
    showRadicalPage();
    clickExpandButton(11);
    QCOMPARE(rowsOf(characters()), (QStringList{u"一"_s, u"世"_s}));
}

void tst_RadicalPage::escape_inTheFilledBrowser_endsProgram_data()
{
    QTest::addColumn<QString>("control");
    QTest::addRow("radical tree") << u"ListBox"_s;
    QTest::addRow("character list") << u"liste_car_ch"_s;
    QTest::addRow("word list") << u"liste_mots_ch"_s;
}

void tst_RadicalPage::escape_inTheFilledBrowser_endsProgram()
{
    QFETCH(QString, control);
    clickNode(2);
    clickRow(characters(), 0);
    clickRow(words(), 0);
    auto *widget = m_form->findChild<QWidget *>(control);
    widget->setFocus();
    QVERIFY(widget->hasFocus());
    QTest::keyClick(widget, Qt::Key_Escape);
    QVERIFY(!m_form->isVisible());
}

void tst_RadicalPage::handlers_logNodeCharacterAndCount()
{
    const LogCapture log("verarov.lookup");
    clickNode(6);
    clickNode(2);
    clickRow(characters(), 0);
    QCOMPARE(log.lines(), (QStringList{u"ListBoxClick\t6\t0"_s, u"ListBoxClick\t2\t2"_s,
                                       u"liste_car_chClick\t一\t6"_s}));
}

void tst_RadicalPage::radicalLists_builtBeforeTheCommandLineTranslation()
{
    // A failing translation ends the creation step after the radical build.
    auto *form = new TForm1(m_tables, m_raw);
    Form1 = form;
    form->FormCreate(u"/nonexistent/texte.txt"_s);
    Form1 = m_form;
    QCOMPARE(m_errors.size(), 1);
    m_errors.clear();
    QCOMPARE(form->radicalTables().rowCount(), 10);
    QCOMPARE(form->radicalTables().rows(82).first, 9);
    delete form;
}

void tst_RadicalPage::radicalSource_readOnceWhenFirstNeeded()
{
    // As the program starts: the raw list is not read at creation.
    int reads = 0;
    auto *form = new TForm1(m_tables);
    form->setRadicalSource([&] {
        ++reads;
        return m_raw;
    });
    QCOMPARE(reads, 0);
    QCOMPARE(form->radicalTables().rowCount(), 10);
    QCOMPARE(form->radicalTables().rows(82).first, 9);
    QCOMPARE(reads, 1);
    delete form;
}

QTEST_MAIN(tst_RadicalPage)
#include "tst_radicalpage.moc"
