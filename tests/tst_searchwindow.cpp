#include "app/definitions.h"
#include "app/errorbox.h"
#include "app/recherche.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"
#include "dictionary/builder.h"
#include "dictionary/reader.h"
#include "search/resultmodel.h"
#include "search/substring.h"
#include "settings/store.h"
#include "testsupport_app.h"
#include "testsupport_entries.h"
#include "testsupport_log.h"
#include "testsupport_generated.h"

#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using Verarov::Dictionary::List;

Q_DECLARE_METATYPE(Verarov::Dictionary::List)

namespace {

template<typename T = QWidget>
T *child(QWidget *window, const QString &name)
{
    T *widget = window->findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

QLineEdit *recherche(TForm3 *w)
{
    return child<QLineEdit>(w, u"recherche"_s);
}
SimpleComboBox *results(TForm3 *w)
{
    return child<SimpleComboBox>(w, u"result_recherche"_s);
}
QString shownHeadword()
{
    return child<QLabel>(Form1, u"mot_ch"_s)->text();
}

// The rows result_recherche shows.
QStringList shownResults(TForm3 *w)
{
    const QAbstractItemModel *model = results(w)->listView()->model();
    QStringList rows;
    for (int j = 0; j < model->rowCount(); ++j)
        rows << model->index(j, 0).data().toString();
    return rows;
}

// Key presses with text, CJK included.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

void chooseMode(TForm3 *w, const QString &button)
{
    auto *radio = child<QRadioButton>(w, button);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

// The string typed into recherche, then Enter.
void search(TForm3 *w, const QString &text)
{
    recherche(w)->clear();
    type(recherche(w), text);
    QTest::keyClick(recherche(w), Qt::Key_Return);
}

} // namespace

class tst_SearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void creation_layoutColourAndLanguageOfThatMoment_data();
    void creation_layoutColourAndLanguageOfThatMoment();
    void groupBoxes_frameLineAboveTheirControls_data();
    void groupBoxes_frameLineAboveTheirControls();
    void mode_clearsAndSetsFonts_data();
    void mode_clearsAndSetsFonts();
    void search_listsEveryRow();
    void search_waitCursorLogAndEmptyString();
    void result_picked_fillsFieldAndShowsEntry_data();
    void result_picked_fillsFieldAndShowsEntry();
    void result_typing_completesAmongResults();
    void windows_independentEachHidesItself_data();
    void windows_independentEachHidesItself();

private:
    TForm3 *open()
    {
        Form1->RechercherClick();
        return Form3;
    }

    Verarov::Dictionary::Tables m_tables;
    QStringList m_errors;
    RecordingDesktop m_desktop;
    std::unique_ptr<QTemporaryDir> m_settings; // a new store per test
};

void tst_SearchWindow::initTestCase()
{
    // Outer blanks, which no stored gloss has, tell trimmed from as stored.
    m_tables = fixtureTables(u"search.tsv"_s, {{u"犬"_s, u"quǎn"_s, u"  chien  "_s}});
    QVERIFY(!m_tables.isEmpty());
}

void tst_SearchWindow::init()
{
    m_errors.clear();
    Verarov::App::setErrorSink([this](QWidget *, const QString &text) { m_errors << text; });
    m_desktop = {};
    Verarov::App::setDesktop(&m_desktop);
    m_settings = std::make_unique<QTemporaryDir>();
    Verarov::Settings::setUserStoreLocation(m_settings->filePath(u"Duvuduz_ivod.conf"_s));
    QVERIFY(startWindows(m_tables));
}

void tst_SearchWindow::cleanup()
{
    Verarov::App::destroyWindows();
    QCOMPARE(Form3, nullptr);
    Verarov::Settings::setUserStoreLocation({});
    Verarov::App::setDesktop(nullptr);
    Verarov::App::setErrorSink({});
    QCOMPARE(m_errors, QStringList());
}

void tst_SearchWindow::creation_layoutColourAndLanguageOfThatMoment_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QStringList>("captions"); // box_result, choix3, Button_rech, Button_ok
    QTest::addColumn<bool>("buttonsBold");
    QTest::addRow("French") << false
                            << QStringList{u"Résultats"_s, u"Français"_s, u"Rechercher"_s, u"OK"_s}
                            << false;
    QTest::addRow("Chinese") << true << QStringList{u"结果"_s, u"法语"_s, u"找"_s, u"同意"_s}
                             << true;
}

void tst_SearchWindow::creation_layoutColourAndLanguageOfThatMoment()
{
    QFETCH(bool, chinese);
    QFETCH(QStringList, captions);
    QFETCH(bool, buttonsBold);

    TForm3 *before = open();
    const QColor colour(0x12, 0x34, 0x56);
    m_desktop.nextColour = colour;
    child<QAction>(Form1, u"texte"_s)->trigger(); // "Fond texte"
    QCOMPARE(child<QAbstractItemView>(Form1, u"liste_mots_ch"_s)->palette().color(QPalette::Base),
             colour);
    if (chinese)
        Form1->langue_chClick();

    TForm3 *w = open();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(w->windowTitle(), u"Rechercher"_s);
    QCOMPARE(w->size(), QSize(473, 196));
    QCOMPARE(w->pos(), QPoint(0, 0));
    QVERIFY(!w->isModal() && w->parentWidget() == nullptr);
    QVERIFY(w->windowFlags() & Qt::WindowMinMaxButtonsHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(results(w)->geometry(), QRect(17, 24, 193, 113));
    QVERIFY(child<QRadioButton>(w, u"choix1"_s)->isChecked());
    QVERIFY(child<QPushButton>(w, u"Button_rech"_s)->isDefault());
    QVERIFY(recherche(w)->hasFocus());

    QCOMPARE(recherche(w)->palette().color(QPalette::Base), colour);
    QCOMPARE(results(w)->listView()->palette().color(QPalette::Base), colour);
    QCOMPARE(results(w)->lineEdit()->palette().color(QPalette::Base), colour);
    QCOMPARE((QStringList{child<QGroupBox>(w, u"box_result"_s)->title(),
                          child<QRadioButton>(w, u"choix3"_s)->text(),
                          child<QPushButton>(w, u"Button_rech"_s)->text(),
                          child<QPushButton>(w, u"Button_ok"_s)->text()}),
             captions);
    QCOMPARE(child<QPushButton>(w, u"Button_ok"_s)->font().bold(), buttonsBold);
    QVERIFY(child<QRadioButton>(w, u"choix2"_s)->font().bold()); // as designed, both languages
    QCOMPARE(recherche(w)->font().pixelSize(), 19);              // until a mode is chosen

    // A window made before keeps what it took at its creation.
    QVERIFY(recherche(before)->palette().color(QPalette::Base) != colour);
    QCOMPARE(child<QGroupBox>(before, u"box_result"_s)->title(), u"Résultats"_s);
}

void tst_SearchWindow::groupBoxes_frameLineAboveTheirControls_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addRow("French") << false;
    QTest::addRow("Chinese") << true;
}

void tst_SearchWindow::groupBoxes_frameLineAboveTheirControls()
{
    QFETCH(bool, chinese);
    if (chinese)
        Form1->langue_chClick();
    TForm3 *w = open();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    for (const QString &name : {u"box_recherche"_s, u"box_result"_s}) {
        auto *box = child<QGroupBox>(w, name);
        const QImage image = box->grab().toImage();
        // The frame's top line: the first row, right of the title, that is
        // not the background of the row above the box's contents.
        const int x = box->width() - 12;
        const QRgb background = image.pixel(x, 0);
        int line = 0;
        while (line < image.height() && image.pixel(x, line) == background)
            ++line;
        int top = box->height();
        for (const QWidget *control : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            top = std::min(top, control->geometry().top());
        QCOMPARE(top, 24); // recherche, result_recherche as designed
        QVERIFY2(line < top, qPrintable(u"%1: frame line at %2"_s.arg(name).arg(line)));
        // The title whole above the line: its characters drawn there.
        bool inked = false;
        for (int y = 0; y < line && !inked; ++y) {
            for (int i = 0; i < 40 && !inked; ++i)
                inked = qGray(image.pixel(8 + i, y)) < 100;
        }
        QVERIFY2(inked, qPrintable(name));
    }
}

void tst_SearchWindow::mode_clearsAndSetsFonts_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("fromText");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels");
    QTest::addRow("to pinyin") << u"choix1"_s << u"中"_s << u"choix2"_s << u"Arial"_s << 13;
    QTest::addRow("to French") << u"choix2"_s << u"ai"_s << u"choix3"_s << u"Tahoma"_s << 13;
    QTest::addRow("to Chinese") << u"choix3"_s << u"e"_s << u"choix1"_s << u"SimSun"_s << 19;
}

void tst_SearchWindow::mode_clearsAndSetsFonts()
{
    QFETCH(QString, from);
    QFETCH(QString, fromText);
    QFETCH(QString, to);
    QFETCH(QString, family);
    QFETCH(int, pixels);

    TForm3 *w = open();
    chooseMode(w, from);
    search(w, fromText);
    // Choosing the selected mode again changes nothing.
    chooseMode(w, from);
    QCOMPARE(recherche(w)->text(), fromText);
    QVERIFY(!shownResults(w).isEmpty());
    QTest::keyClick(results(w)->lineEdit(), Qt::Key_Down);
    QCOMPARE(results(w)->currentRow(), 0);

    // Only the handler of the button that becomes selected runs, once.
    QSignalSpy cleared(&w->results(), &QAbstractItemModel::modelReset);
    chooseMode(w, to);
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(recherche(w)->text(), QString());
    QCOMPARE(shownResults(w), QStringList());
    QCOMPARE(results(w)->text(), QString());
    QCOMPARE(results(w)->currentRow(), -1);
    for (QWidget *field :
         {static_cast<QWidget *>(recherche(w)), static_cast<QWidget *>(results(w)->listView())}) {
        QCOMPARE(field->font().family(), Verarov::App::fontFamily(family));
        QCOMPARE(field->font().pixelSize(), pixels);
    }
}

void tst_SearchWindow::search_listsEveryRow()
{
    // The cases of the scan itself are tst_search's; here, the window.
    TForm3 *w = open();
    chooseMode(w, u"choix2"_s);
    search(w, u"i"_s); // earlier results, one selected
    QTest::keyClick(results(w)->lineEdit(), Qt::Key_Down);
    QCOMPARE(results(w)->currentRow(), 0);

    recherche(w)->setText(u"ai"_s);
    QTest::mouseClick(child<QPushButton>(w, u"Button_rech"_s), Qt::LeftButton);
    const QStringList shown{u"ai"_s,    u"ai"_s,  u"ai"_s,  u"ai"_s,    u"ai"_s,
                            u"aiguo"_s, u"hai"_s, u"kai"_s, u"Nanhai"_s};
    QCOMPARE(shownResults(w), shown);
    // result_index: the key-list row of each result, in the mode's list.
    QCOMPARE(w->results().keys().list(), List::PinyinKeys);
    for (int j = 0; j < shown.size(); ++j)
        QCOMPARE(w->results().keys().key(w->results().keyRow(j)), shown[j]);
    QCOMPARE(results(w)->currentRow(), -1);
    QCOMPARE(results(w)->text(), QString());
    QVERIFY(!results(w)->listView()->selectionModel()->hasSelection());
}

void tst_SearchWindow::search_waitCursorLogAndEmptyString()
{
    TForm3 *w = open();
    QList<int> cursors;
    connect(&w->results(), &QAbstractItemModel::modelAboutToBeReset, this, [&] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        cursors << (cursor ? int(cursor->shape()) : -1);
    });
    QStringList lines;
    {
        const LogCapture log("verarov.search");
        search(w, u"中国"_s);
        chooseMode(w, u"choix2"_s);
        search(w, u"ai"_s);
        search(w, QString()); // nothing: the results stay
        lines = log.lines();
    }

    QCOMPARE(lines, (QStringList{u"recherche\t1\t中国\t3"_s, u"recherche\t2\tai\t9"_s}));
    QCOMPARE(cursors, (QList<int>{Qt::WaitCursor, -1, Qt::WaitCursor})); // -1: the mode change
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(shownResults(w).size(), 9);
}

void tst_SearchWindow::result_picked_fillsFieldAndShowsEntry_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("gloss"); // as the sense view holds it
    QTest::addColumn<bool>("byMouse");
    QTest::addRow("French: as stored, by mouse")
            << u"choix3"_s << u"chien"_s << u"liste_fr"_s << u"  chien  "_s << true;
    QTest::addRow("French: as stored, by arrow")
            << u"choix3"_s << u"hie"_s << u"liste_fr"_s << u"  chien  "_s << false;
    QTest::addRow("pinyin: trimmed")
            << u"choix2"_s << u"quan"_s << u"liste_pin_ss_accent"_s << u"chien"_s << true;
    QTest::addRow("Chinese: trimmed")
            << u"choix1"_s << u"犬"_s << u"liste_dico_ch"_s << u"chien"_s << false;
}

void tst_SearchWindow::result_picked_fillsFieldAndShowsEntry()
{
    QFETCH(QString, mode);
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(QString, gloss);
    QFETCH(bool, byMouse);

    auto *pages = child<QTabWidget>(Form1, u"PageControl1"_s);
    pages->setCurrentIndex(1);
    auto *lookup = child<SimpleComboBox>(Form1, field);
    QSignalSpy lookupChanged(lookup, &SimpleComboBox::changed);

    TForm3 *w = open();
    chooseMode(w, mode);
    search(w, text);
    QCOMPARE(shownResults(w).size(), 1);
    if (byMouse) {
        QAbstractItemView *list = results(w)->listView();
        const QRect first = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    } else {
        QTest::keyClick(results(w)->lineEdit(), Qt::Key_Down);
    }
    QCOMPARE(results(w)->currentRow(), 0);
    QCOMPARE(lookup->text(), shownResults(w).first());
    QCOMPARE(lookup->currentRow(), -1); // no completion ran
    QCOMPARE(lookupChanged.count(), 0);
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(shownHeadword(), u"犬"_s);
    QCOMPARE(Form1->motFrText(), gloss);
    QVERIFY(w->isVisible());
}

void tst_SearchWindow::result_typing_completesAmongResults()
{
    TForm3 *w = open();
    chooseMode(w, u"choix3"_s);
    search(w, u"o"_s);
    QSignalSpy changed(results(w), &SimpleComboBox::changed);
    QLineEdit *edit = results(w)->lineEdit();
    const Verarov::Lookup::KeyListModel &french = Form1->fieldModel(List::FrenchKeys);
    QCOMPARE(french.key(french.findString(u"e")), u"Empire du Milieu"_s); // a key, no result

    // "E": the first result beginning with it, case ignored.
    type(edit, u"E"_s);
    QCOMPARE(results(w)->text(), u"Encore"_s);
    QCOMPARE(edit->selectedText(), u"ncore"_s);
    QCOMPARE(shownHeadword(), u"还"_s);
    QCOMPARE(child<SimpleComboBox>(Form1, u"liste_fr"_s)->text(), u"Encore"_s);

    // Backspace clears the row, the entry stays; "c", then "co", each
    // completion to another result shows its entry.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(results(w)->currentRow(), -1);
    QCOMPARE(shownHeadword(), u"还"_s);
    type(edit, u"c"_s);
    QCOMPARE(results(w)->text(), u"chinois"_s);
    QCOMPARE(shownHeadword(), u"中华"_s);
    type(edit, u"o"_s);
    QCOMPARE(results(w)->text(), u"courber l'échine"_s);
    QCOMPARE(shownHeadword(), u"弯腰"_s);
    QCOMPARE(changed.count(), 5);
}

void tst_SearchWindow::windows_independentEachHidesItself_data()
{
    QTest::addColumn<QString>("how");
    QTest::addRow("OK button") << u"ok"_s;
    QTest::addRow("Escape in the search string") << u"escape"_s;
    QTest::addRow("Escape in the result field") << u"escape in results"_s;
    QTest::addRow("close box") << u"close"_s;
}

void tst_SearchWindow::windows_independentEachHidesItself()
{
    QFETCH(QString, how);
    auto hideBy = [&](TForm3 *w) {
        if (how == u"ok")
            QTest::mouseClick(child<QPushButton>(w, u"Button_ok"_s), Qt::LeftButton);
        else if (how == u"escape")
            QTest::keyClick(recherche(w), Qt::Key_Escape);
        else if (how == u"escape in results")
            QTest::keyClick(results(w)->lineEdit(), Qt::Key_Escape);
        else
            w->close();
    };

    TForm3 *older = open();
    chooseMode(older, u"choix3"_s);
    search(older, u"chine"_s);
    older->move(200, 150);
    Form1->langue_chClick();
    TForm3 *newer = open();
    QCOMPARE(Form3, newer);
    QVERIFY(older->isVisible() && newer->isVisible());
    QCOMPARE(newer->pos(), QPoint(0, 0));
    QCOMPARE(older->pos(), QPoint(200, 150));
    QCOMPARE(newer->modeList(), List::Headwords);
    QCOMPARE(child<QGroupBox>(newer, u"box_result"_s)->title(), u"结果"_s);
    QCOMPARE(child<QGroupBox>(older, u"box_result"_s)->title(), u"Résultats"_s);
    search(newer, u"中国"_s);
    QCOMPARE(shownResults(newer).size(), 3);
    QCOMPARE(shownResults(older).first(), u"courber l'échine"_s);

    hideBy(older);
    QVERIFY(!older->isVisible());
    QVERIFY(newer->isVisible());
    QCOMPARE(Form3, newer);
    QCOMPARE(shownResults(older).size(), 3); // hidden, not destroyed, contents kept
    hideBy(newer);
    QVERIFY(!newer->isVisible());
    QVERIFY(Form1->isVisible());
    QCOMPARE(TForm3::all().size(), 2); // none is made at start
}

QTEST_MAIN(tst_SearchWindow)
#include "tst_searchwindow.moc"
