#include "app/definitions.h"
#include "app/errorbox.h"
#include "app/recherche.h"
#include "app/resultcompletion.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"
#include "dictionary/builder.h"
#include "dictionary/reader.h"
#include "lookup/keylistmodel.h"
#include "search/resultmodel.h"
#include "search/substring.h"
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
#include <QTest>

using namespace Qt::StringLiterals;
using Verarov::Dictionary::List;

Q_DECLARE_METATYPE(Verarov::Dictionary::List)

namespace {

QStringList g_searchLog;
void captureSearchLog(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type == QtDebugMsg && QByteArrayView(context.category) == "verarov.search")
        g_searchLog.append(msg);
}

template<typename T>
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

SimpleComboBox *resultField(TForm3 *w)
{
    return child<SimpleComboBox>(w, u"result_recherche"_s);
}

// The rows result_recherche shows.
QStringList shownResults(TForm3 *w)
{
    const QAbstractItemModel *model = resultField(w)->listView()->model();
    QStringList rows;
    for (int j = 0; j < model->rowCount(); ++j)
        rows << model->index(j, 0).data().toString();
    return rows;
}

// Chooses a mode as the user does, by clicking its button.
void chooseMode(TForm3 *w, const QString &button)
{
    QRadioButton *radio = child<QRadioButton>(w, button);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

// Types text as key presses (CJK too) into a widget.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

// Types the string into recherche and presses Enter.
void search(TForm3 *w, const QString &text)
{
    recherche(w)->setFocus();
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

    void window_asDesigned();
    void formCreate_takesColourAndLanguageOfThatMoment_data();
    void formCreate_takesColourAndLanguageOfThatMoment();
    void mode_clearsAndSetsFonts_data();
    void mode_clearsAndSetsFonts();
    void mode_choosingTheSelectedOne_changesNothing();
    void search_listsEveryRowContaining_data();
    void search_listsEveryRowContaining();
    void search_emptyString_keepsResults();
    void search_waitCursorDuringThenRestored();
    void search_logsModeStringAndCount();
    void search_readsTheDictionaryInUse();
    void result_picked_fillsFieldAndShowsEntry_data();
    void result_picked_fillsFieldAndShowsEntry();
    void result_typing_completesAmongResults();
    void resultCompletion_isThePlainScan_data();
    void resultCompletion_isThePlainScan();
    void secondWindow_independentAndInCurrentLanguage();
    void closing_hidesThatWindowOnly_data();
    void closing_hidesThatWindowOnly();

private:
    TForm3 *open()
    {
        Form1->RechercherClick();
        return Form3;
    }

    Verarov::Dictionary::Tables m_tables;
    QStringList m_errors;
};

void tst_SearchWindow::initTestCase()
{
    auto read = Verarov::Dictionary::readDictionaryFile(VERAROV_TEST_DATA "/search.tsv"_L1);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    // A gloss with outer blanks, which a stored dictionary never has: it
    // tells a gloss shown trimmed from one shown as stored.
    read.entries.append({u"犬"_s, u"quǎn"_s, u"  chien  "_s});
    m_tables = Verarov::Dictionary::Tables::fromCompiled(
            Verarov::Dictionary::compile(read.entries));
    QVERIFY(!m_tables.isEmpty());
}

void tst_SearchWindow::init()
{
    m_errors.clear();
    Verarov::App::setErrorSink([this](QWidget *, const QString &text) { m_errors << text; });
    Form1 = new TForm1(m_tables);
    Form1->FormCreate({});
    Form3 = new TForm3(Form1);
    Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
}

void tst_SearchWindow::cleanup()
{
    TForm3::destroyAll();
    QCOMPARE(Form3, nullptr);
    delete Form1;
    Verarov::App::setErrorSink({});
    QCOMPARE(m_errors, QStringList());
}

void tst_SearchWindow::window_asDesigned()
{
    TForm3 *atStart = Form3;
    QVERIFY(!atStart->isVisible());

    TForm3 *w = open();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(w != atStart);
    QCOMPARE(w->windowTitle(), u"Rechercher"_s);
    QCOMPARE(w->size(), QSize(473, 196));
    QCOMPARE(w->pos(), QPoint(0, 0));
    QVERIFY(!w->isModal());
    QVERIFY(w->parentWidget() == nullptr);
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowMaximizeButtonHint);
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));

    QCOMPARE(child<QGroupBox>(w, u"box_recherche"_s)->geometry(), QRect(8, 8, 226, 142));
    QCOMPARE(recherche(w)->geometry(), QRect(16, 24, 193, 27));
    QCOMPARE(child<QRadioButton>(w, u"choix3"_s)->geometry(), QRect(64, 106, 113, 17));
    QCOMPARE(resultField(w)->geometry(), QRect(17, 24, 193, 113));
    QCOMPARE(child<QPushButton>(w, u"Button_rech"_s)->geometry(), QRect(137, 158, 97, 32));
    QCOMPARE(child<QPushButton>(w, u"Button_ok"_s)->geometry(), QRect(240, 158, 89, 32));
    QCOMPARE(recherche(w)->font().pixelSize(), 19);

    QVERIFY(child<QRadioButton>(w, u"choix1"_s)->isChecked());
    QCOMPARE(w->modeList(), List::liste_dico_ch);
    QVERIFY(child<QPushButton>(w, u"Button_rech"_s)->isDefault());
    QVERIFY(recherche(w)->hasFocus());
    QCOMPARE(shownResults(w), QStringList());
}

void tst_SearchWindow::formCreate_takesColourAndLanguageOfThatMoment_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("searchBox");
    QTest::addColumn<QString>("resultBox");
    QTest::addColumn<QString>("mode3");
    QTest::addColumn<QString>("searchButton");
    QTest::addColumn<QString>("okButton");
    QTest::addColumn<bool>("buttonsBold");
    QTest::addColumn<QString>("family");
    QTest::addRow("French") << false << u"Rechercher"_s << u"Résultats"_s << u"Français"_s
                            << u"Rechercher"_s << u"OK"_s << false << u"Arial"_s;
    QTest::addRow("Chinese") << true << u"搜寻"_s << u"结果"_s << u"法语"_s << u"找"_s
                             << u"同意"_s << true << u"SimSun"_s;
}

void tst_SearchWindow::formCreate_takesColourAndLanguageOfThatMoment()
{
    QFETCH(bool, chinese);
    QFETCH(QString, searchBox);
    QFETCH(QString, resultBox);
    QFETCH(QString, mode3);
    QFETCH(QString, searchButton);
    QFETCH(QString, okButton);
    QFETCH(bool, buttonsBold);
    QFETCH(QString, family);

    TForm3 *before = open();
    const QString captionBefore = child<QGroupBox>(before, u"box_recherche"_s)->title();
    const QColor colour(0x12, 0x34, 0x56);
    auto *listeMots = child<QListWidget>(Form1, u"liste_mots_ch"_s);
    QPalette palette = listeMots->palette();
    palette.setColor(QPalette::Base, colour);
    listeMots->setPalette(palette);
    child<QAction>(Form1, chinese ? u"langue_ch"_s : u"langue_fr"_s)->setChecked(true);

    TForm3 *w = open();
    QCOMPARE(recherche(w)->palette().color(QPalette::Base), colour);
    QCOMPARE(resultField(w)->listView()->palette().color(QPalette::Base), colour);
    QCOMPARE(resultField(w)->lineEdit()->palette().color(QPalette::Base), colour);
    QCOMPARE(child<QGroupBox>(w, u"box_recherche"_s)->title(), searchBox);
    QCOMPARE(child<QGroupBox>(w, u"box_result"_s)->title(), resultBox);
    QCOMPARE(child<QRadioButton>(w, u"choix3"_s)->text(), mode3);
    QCOMPARE(child<QPushButton>(w, u"Button_rech"_s)->text(), searchButton);
    QCOMPARE(child<QPushButton>(w, u"Button_ok"_s)->text(), okButton);
    QCOMPARE(child<QPushButton>(w, u"Button_ok"_s)->font().bold(), buttonsBold);
    QCOMPARE(child<QGroupBox>(w, u"box_result"_s)->font().family(),
             Verarov::App::fontFamily(family));
    // The boxes and mode buttons keep their bold weight in both languages.
    QVERIFY(child<QGroupBox>(w, u"box_result"_s)->font().bold());
    QVERIFY(child<QRadioButton>(w, u"choix2"_s)->font().bold());
    QCOMPARE(w->windowTitle(), u"Rechercher"_s);

    // A window made before keeps what it took at its creation.
    QVERIFY(recherche(before)->palette().color(QPalette::Base) != colour);
    QCOMPARE(child<QGroupBox>(before, u"box_recherche"_s)->title(), captionBefore);
    QCOMPARE(captionBefore, u"Rechercher"_s);
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
    QVERIFY(!shownResults(w).isEmpty());
    resultField(w)->setFocus();
    QTest::keyClick(resultField(w)->lineEdit(), Qt::Key_Down);
    QCOMPARE(resultField(w)->currentRow(), 0);

    // Only the handler of the button that becomes selected runs, once.
    QSignalSpy cleared(&w->results(), &QAbstractItemModel::modelReset);
    chooseMode(w, to);
    QCOMPARE(cleared.count(), 1);
    QVERIFY(child<QRadioButton>(w, to)->isChecked());
    QCOMPARE(recherche(w)->text(), QString());
    QCOMPARE(shownResults(w), QStringList());
    QCOMPARE(w->results().count(), 0);
    QCOMPARE(resultField(w)->text(), QString());
    QCOMPARE(resultField(w)->currentRow(), -1);
    for (QWidget *field : {static_cast<QWidget *>(recherche(w)),
                           static_cast<QWidget *>(resultField(w)->lineEdit()),
                           static_cast<QWidget *>(resultField(w)->listView())}) {
        QCOMPARE(field->font().family(), Verarov::App::fontFamily(family));
        QCOMPARE(field->font().pixelSize(), pixels);
    }
}

void tst_SearchWindow::mode_choosingTheSelectedOne_changesNothing()
{
    TForm3 *w = open();
    chooseMode(w, u"choix3"_s);
    search(w, u"chine"_s);
    const QFont font = recherche(w)->font();
    QCOMPARE(shownResults(w).size(), 3);

    chooseMode(w, u"choix3"_s);
    QCOMPARE(recherche(w)->text(), u"chine"_s);
    QCOMPARE(shownResults(w).size(), 3);
    QCOMPARE(recherche(w)->font(), font);
    // Also for the mode selected at creation.
    chooseMode(w, u"choix1"_s);
    search(w, u"中国"_s);
    chooseMode(w, u"choix1"_s);
    QCOMPARE(shownResults(w).size(), 3);
}

void tst_SearchWindow::search_listsEveryRowContaining_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("earlier"); // a search made before, with results
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("results");
    QTest::addRow("French chine: échine only")
            << u"choix3"_s << u"i"_s << u"chine"_s
            << QStringList{u"courber l'échine"_s, u"échine"_s, u"échine (fig.)"_s};
    QTest::addRow("Chinese inside a headword")
            << u"choix1"_s << u"人"_s << u"中国"_s
            << QStringList{u"中国"_s, u"中国人"_s, u"发展中国家"_s};
    QTest::addRow("pinyin ai, once per row")
            << u"choix2"_s << u"o"_s << u"ai"_s
            << QStringList{u"ai"_s, u"ai"_s, u"ai"_s, u"ai"_s, u"ai"_s, u"aiguo"_s, u"hai"_s,
                           u"kai"_s, u"Nanhai"_s};
    QTest::addRow("no match") << u"choix3"_s << u"i"_s << u"zzz"_s << QStringList{};
    QTest::addRow("hostile: a page of text")
            << u"choix3"_s << u"i"_s << QString(3000, u'é') << QStringList{};
}

void tst_SearchWindow::search_listsEveryRowContaining()
{
    QFETCH(QString, mode);
    QFETCH(QString, earlier);
    QFETCH(QString, text);
    QFETCH(QStringList, results);

    TForm3 *w = open();
    chooseMode(w, mode);
    // Earlier results are replaced.
    search(w, earlier);
    resultField(w)->setFocus();
    QTest::keyClick(resultField(w)->lineEdit(), Qt::Key_Down);
    QCOMPARE(resultField(w)->currentRow(), 0);

    if (text.size() > 100) // typing a page of text would be slow
        recherche(w)->setText(text);
    else
        search(w, text);
    child<QPushButton>(w, u"Button_rech"_s)->click();
    QCOMPARE(shownResults(w), results);
    // result_index: the key-list row of each result.
    const Verarov::Dictionary::KeyList &keys = w->results().keys();
    QCOMPARE(keys.list(), w->modeList());
    QCOMPARE(w->results().count(), results.size());
    for (int j = 0; j < results.size(); ++j)
        QCOMPARE(keys.key(w->results().keyRow(j)), results[j]);
    // Nothing selected, nothing in the edit.
    QCOMPARE(resultField(w)->currentRow(), -1);
    QCOMPARE(resultField(w)->text(), QString());
    QVERIFY(!resultField(w)->listView()->selectionModel()->hasSelection());
    QCOMPARE(recherche(w)->text(), text);
}

void tst_SearchWindow::search_emptyString_keepsResults()
{
    TForm3 *w = open();
    search(w, u"中"_s);
    const QStringList before = shownResults(w);
    QCOMPARE(before.size(), 6);
    recherche(w)->clear();
    child<QPushButton>(w, u"Button_rech"_s)->click();
    QCOMPARE(shownResults(w), before);
    QTest::keyClick(recherche(w), Qt::Key_Return);
    QCOMPARE(shownResults(w), before);
}

void tst_SearchWindow::search_waitCursorDuringThenRestored()
{
    TForm3 *w = open();
    QList<int> cursorsSeen;
    connect(&w->results(), &QAbstractItemModel::modelAboutToBeReset, this, [&] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        cursorsSeen << (cursor ? int(cursor->shape()) : -1);
    });
    search(w, u"中"_s);
    QCOMPARE(cursorsSeen, QList<int>{int(Qt::WaitCursor)});
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void tst_SearchWindow::search_logsModeStringAndCount()
{
    TForm3 *w = open();
    g_searchLog.clear();
    QLoggingCategory::setFilterRules(u"verarov.search.debug=true"_s);
    const QtMessageHandler previous = qInstallMessageHandler(captureSearchLog);
    search(w, u"中国"_s);
    chooseMode(w, u"choix2"_s);
    search(w, u"ai"_s);
    chooseMode(w, u"choix3"_s);
    search(w, u"zzz"_s);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules({});
    QCOMPARE(g_searchLog, (QStringList{u"recherche\t1\t中国\t3"_s, u"recherche\t2\tai\t9"_s,
                                       u"recherche\t3\tzzz\t0"_s}));
}

void tst_SearchWindow::search_readsTheDictionaryInUse()
{
    // A window searches the key lists of the main window it reads now.
    const auto other = Verarov::Dictionary::Tables::fromCompiled(Verarov::Dictionary::compile(
            {{u"马"_s, u"mǎ"_s, u"cheval"_s}, {u"马车"_s, u"mǎ chē"_s, u"voiture à cheval"_s}}));
    TForm1 *first = Form1;
    Form1 = new TForm1(other);
    TForm3 *w = open();
    chooseMode(w, u"choix3"_s);
    search(w, u"cheval"_s);
    QCOMPARE(shownResults(w), (QStringList{u"cheval"_s, u"voiture à cheval"_s}));
    TForm3::destroyAll();
    delete Form1;
    Form1 = first;
}

void tst_SearchWindow::result_picked_fillsFieldAndShowsEntry_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("gloss"); // as the sense view holds it
    QTest::addColumn<bool>("byMouse");
    QTest::addRow("French: gloss as stored, by mouse")
            << u"choix3"_s << u"chien"_s << u"liste_fr"_s << u"  chien  "_s << true;
    QTest::addRow("French: gloss as stored, by arrow")
            << u"choix3"_s << u"hie"_s << u"liste_fr"_s << u"  chien  "_s << false;
    QTest::addRow("pinyin: gloss trimmed")
            << u"choix2"_s << u"quan"_s << u"liste_pin_ss_accent"_s << u"chien"_s << true;
    QTest::addRow("Chinese: gloss trimmed")
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
    pages->setCurrentIndex(1); // "Pinyin"
    auto *lookup = child<SimpleComboBox>(Form1, field);
    QSignalSpy lookupChanged(lookup, &SimpleComboBox::changed);

    TForm3 *w = open();
    chooseMode(w, mode);
    search(w, text);
    QCOMPARE(w->results().count(), 1);
    SimpleComboBox *results = resultField(w);
    if (byMouse) {
        QAbstractItemView *list = results->listView();
        const QRect first = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    } else {
        results->setFocus();
        QTest::keyClick(results->lineEdit(), Qt::Key_Down);
    }
    QCOMPARE(results->currentRow(), 0);
    const QString key = shownResults(w).first();
    QCOMPARE(results->text(), key);

    QCOMPARE(lookup->text(), key);
    QCOMPARE(lookup->currentRow(), -1); // no completion ran
    QCOMPARE(lookupChanged.count(), 0);
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(child<QLabel>(Form1, u"mot_ch"_s)->text(), u"犬"_s);
    QCOMPARE(child<QLabel>(Form1, u"mot_pin"_s)->text(), u"quǎn"_s);
    QCOMPARE(Form1->motFrText(), gloss);
    QVERIFY(w->isVisible());
}

void tst_SearchWindow::result_typing_completesAmongResults()
{
    TForm3 *w = open();
    chooseMode(w, u"choix3"_s);
    search(w, u"o"_s);
    SimpleComboBox *results = resultField(w);
    QSignalSpy changed(results, &SimpleComboBox::changed);
    results->setFocus();
    QLineEdit *edit = results->lineEdit();
    auto *listeFr = child<SimpleComboBox>(Form1, u"liste_fr"_s);
    const QString firstEKey = Form1->fieldModel(List::liste_fr)
                                      .key(Form1->fieldModel(List::liste_fr).findString(u"e"))
                                      .toString();
    QCOMPARE(firstEKey, u"Empire du Milieu"_s); // a key, but not a result

    // The first result beginning with "E", case ignored: "encore".
    type(edit, u"E"_s);
    QCOMPARE(results->text(), u"Encore"_s);
    QCOMPARE(edit->selectedText(), u"ncore"_s);
    QCOMPARE(shownResults(w).at(results->currentRow()), u"encore"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(child<QLabel>(Form1, u"mot_ch"_s)->text(), u"还"_s);
    QCOMPARE(listeFr->text(), u"Encore"_s);

    // Backspace clears the row, the entry stays; "c" completes to the
    // first result with c, "co" to another one, each shown.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(results->currentRow(), -1);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(child<QLabel>(Form1, u"mot_ch"_s)->text(), u"还"_s);
    type(edit, u"c"_s);
    QCOMPARE(results->text(), u"chinois"_s);
    QCOMPARE(child<QLabel>(Form1, u"mot_ch"_s)->text(), u"中华"_s);
    type(edit, u"o"_s);
    QCOMPARE(results->text(), u"courber l'échine"_s);
    QCOMPARE(child<QLabel>(Form1, u"mot_ch"_s)->text(), u"弯腰"_s);
    QCOMPARE(listeFr->text(), u"courber l'échine"_s);
    QCOMPARE(changed.count(), 5);

    // A character no result continues: typed as is, the entry stays.
    type(edit, u"z"_s);
    QCOMPARE(results->text(), u"coz"_s);
    QCOMPARE(child<QLabel>(Form1, u"mot_ch"_s)->text(), u"弯腰"_s);
}

void tst_SearchWindow::resultCompletion_isThePlainScan_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("searched");
    QTest::addRow("French keys with e") << 11u << List::liste_fr << u"e"_s;
    QTest::addRow("French keys with é") << 12u << List::liste_fr << u"é"_s;
    QTest::addRow("French keys with ch") << 13u << List::liste_fr << u"ch"_s;
    QTest::addRow("French keys with a blank") << 14u << List::liste_fr << u" "_s;
    QTest::addRow("headwords with 国") << 15u << List::liste_dico_ch << u"国"_s;
}

void tst_SearchWindow::resultCompletion_isThePlainScan()
{
    QFETCH(quint32, seed);
    QFETCH(List, list);
    QFETCH(QString, searched);

    const auto tables = generatedTables(seed, 3000);
    const Verarov::Lookup::KeyListModel field(tables, list);
    Verarov::Search::ResultModel results;
    results.setResults(field.keys(), Verarov::Search::findContaining(field.keys(), searched).rows);
    QVERIFY(results.count() > 100);
    Verarov::App::ResultCompletion completion(results);
    completion.setField(&field);
    Verarov::App::ResultCompletion scanOnly(results);

    // Prefixes of results and of keys that are no result, in three cases.
    QRandomGenerator random(seed);
    QStringList texts{u"a"_s, u"A"_s, u"É"_s, u"é"_s, u"x"_s, u"\U00020000"_s};
    for (int i = 0; i < 400; ++i) {
        const QStringView key = i % 2 ? results.key(random.bounded(results.count()))
                                      : field.key(random.bounded(field.keyCount()));
        QString prefix = key.first(random.bounded(1, int(key.size()) + 1)).toString();
        if (i % 3 == 1)
            prefix = prefix.toUpper();
        else if (i % 3 == 2)
            prefix = prefix.toLower();
        texts << prefix;
    }
    for (const QString &text : texts) {
        const int plain = completion.CompletionList::findString(text);
        QCOMPARE(completion.findString(text), plain);
        QCOMPARE(scanOnly.findString(text), plain);
    }
}

void tst_SearchWindow::secondWindow_independentAndInCurrentLanguage()
{
    TForm3 *first = open();
    chooseMode(first, u"choix3"_s);
    search(first, u"chine"_s);
    first->move(200, 150);

    child<QAction>(Form1, u"langue_ch"_s)->setChecked(true);
    TForm3 *second = open();
    QCOMPARE(Form3, second);
    QVERIFY(second != first);
    QVERIFY(first->isVisible());
    QVERIFY(second->isVisible());
    QCOMPARE(second->pos(), QPoint(0, 0));
    QCOMPARE(first->pos(), QPoint(200, 150));
    QCOMPARE(second->modeList(), List::liste_dico_ch);
    QCOMPARE(shownResults(second), QStringList());
    QCOMPARE(child<QGroupBox>(second, u"box_result"_s)->title(), u"结果"_s);

    QCOMPARE(first->modeList(), List::liste_fr);
    QCOMPARE(shownResults(first).size(), 3);
    QCOMPARE(child<QGroupBox>(first, u"box_result"_s)->title(), u"Résultats"_s);

    // Both work on their own.
    search(second, u"中国"_s);
    QCOMPARE(shownResults(second).size(), 3);
    QCOMPARE(shownResults(first).size(), 3);
    QCOMPARE(shownResults(first).first(), u"courber l'échine"_s);
    QCOMPARE(TForm3::all().size(), 3); // with the one made at start
}

void tst_SearchWindow::closing_hidesThatWindowOnly_data()
{
    QTest::addColumn<QString>("how");
    QTest::addRow("OK button") << u"ok"_s;
    QTest::addRow("Escape in the search string") << u"escape"_s;
    QTest::addRow("Escape in the result field") << u"escape in results"_s;
    QTest::addRow("close box") << u"close"_s;
}

void tst_SearchWindow::closing_hidesThatWindowOnly()
{
    QFETCH(QString, how);
    auto close = [&](TForm3 *w) {
        if (how == u"ok") {
            QTest::mouseClick(child<QPushButton>(w, u"Button_ok"_s), Qt::LeftButton);
        } else if (how == u"escape") {
            QTest::keyClick(recherche(w), Qt::Key_Escape);
        } else if (how == u"escape in results") {
            QTest::keyClick(resultField(w)->lineEdit(), Qt::Key_Escape);
        } else {
            w->close();
        }
    };

    TForm3 *older = open();
    search(older, u"中"_s);
    TForm3 *newer = open();
    QCOMPARE(Form3, newer);

    close(older);
    QVERIFY(!older->isVisible());
    QVERIFY(newer->isVisible());
    QCOMPARE(Form3, newer);
    QVERIFY(TForm3::all().contains(older)); // hidden, not destroyed
    QCOMPARE(shownResults(older).size(), 6); // and keeps its contents

    close(newer);
    QVERIFY(!newer->isVisible());
    QVERIFY(Form1->isVisible());
    QCOMPARE(TForm3::all().size(), 3);
}

QTEST_MAIN(tst_SearchWindow)
#include "tst_searchwindow.moc"
