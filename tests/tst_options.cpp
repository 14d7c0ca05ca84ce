#include "app/controlcolours.h"
#include "app/definitions.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"
#include "dictionary/builder.h"
#include "dictionary/reader.h"
#include "settings/store.h"
#include "testsupport_app.h"
#include "testsupport_entries.h"
#include "testsupport_log.h"
#include "testsupport_files.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QLibraryInfo>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using namespace Verarov;
using App::ColourPart;

namespace {

const QStringList kTextFields = {u"ListBox"_s,  u"liste_dico_ch"_s, u"liste_pin_ss_accent"_s,
                                 u"liste_fr"_s, u"liste_car_ch"_s,  u"liste_mots_ch"_s};

// The background a text field shows, read from its pixels: the edit of a
// lookup field, the empty area of a list.
QColor drawnBackground(QWidget *field)
{
    QWidget *surface = field;
    if (auto *box = qobject_cast<SimpleComboBox *>(field))
        surface = box->lineEdit();
    else if (auto *area = qobject_cast<QAbstractScrollArea *>(field))
        surface = area->viewport();
    const QImage image = surface->grab().toImage();
    return image.pixelColor(image.width() - 6, image.height() - 6);
}

// The caption a control of the main window shows.
QString caption(QWidget *window, const QString &name)
{
    if (auto *menu = window->findChild<QMenu *>(name))
        return menu->title();
    if (auto *action = window->findChild<QAction *>(name))
        return action->text();
    auto *page = window->findChild<QWidget *>(name);
    for (auto *tabs : window->findChildren<QTabWidget *>()) {
        if (tabs->indexOf(page) >= 0)
            return tabs->tabText(tabs->indexOf(page));
    }
    return u"(absent)"_s;
}

} // namespace

class tst_Options : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void start_firstThenSecond();
    void start_deletedValue_data();
    void start_deletedValue();
    void start_wrongType_goesOn();
    void unwritableStore_data();
    void unwritableStore();
    void colourItems_data();
    void colourItems();
    void colourCommandTags_data();
    void colourCommandTags();
    void picker_opensOnLastChosen();
    void reset_inChinese_keepsChinese();
    void captions_data();
    void captions();
    void tabFonts_data();
    void tabFonts();
    void storedLangue_data();
    void storedLangue();
    void languageItems_exclusive();
    void chineseInterface_shortcuts();
    void toolkitTexts_followTheLanguage();
    void frame_keepsClientArea();
    void pages_keepTheirSizeAndHoldTheirControls_data();
    void pages_keepTheirSizeAndHoldTheirControls();
    void systemColour_followsPalette_data();
    void systemColour_followsPalette();
    void systemPicker_keepsQtCustomColoursOut_data();
    void systemPicker_keepsQtCustomColoursOut();

private:
    QString storeFile() const { return m_dir->filePath(u"Duvuduz_ivod.conf"_s); }
    QString stored(const QString &name) const
    {
        return QSettings(storeFile(), QSettings::IniFormat).value(name).toString();
    }
    void setStored(const QString &name, const QVariant &value)
    {
        QSettings(storeFile(), QSettings::IniFormat).setValue(name, value);
    }
    // A new main window through its creation step, shown.
    void start(const QString &commandLine = {});
    QWidget *control(const QString &name) const { return m_window->findChild<QWidget *>(name); }
    QAction *item(const QString &name) const { return m_window->findChild<QAction *>(name); }

    Dictionary::Tables m_tables;
    RecordingDesktop m_desktop;
    QStringList m_errors;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TForm1> m_window;
};

void tst_Options::initTestCase()
{
    m_tables = fixtureTables(u"sample.tsv"_s);
}

void tst_Options::init()
{
    m_desktop = {};
    m_errors.clear();
    App::setDesktop(&m_desktop);
    App::setErrorSink([this](QWidget *, const QString &message) { m_errors.append(message); });
    // A new folder per test: QSettings caches files by name.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Settings::setUserStoreLocation(storeFile());
}

void tst_Options::cleanup()
{
    m_window.reset();
    Form1 = nullptr;
    Settings::setUserStoreLocation({});
    App::setErrorSink({});
    App::setDesktop(nullptr);
}

void tst_Options::start(const QString &commandLine)
{
    m_window.reset();
    m_window = std::make_unique<TForm1>(m_tables);
    Form1 = m_window.get();
    m_window->FormCreate(commandLine);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_Options::start_firstThenSecond()
{
    start();
    QVERIFY(m_errors.isEmpty());
    // First start: designed colours, the eleven defaults stored, no "langue".
    const QColor window = QApplication::palette().color(QPalette::Base);
    for (const QString &name : kTextFields) {
        QCOMPARE(App::controlColour(control(name), ColourPart::Background), std::nullopt);
        QCOMPARE(drawnBackground(control(name)), window);
    }
    QCOMPARE(control(u"mot_pin"_s)->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
    QSettings written(storeFile(), QSettings::IniFormat);
    QCOMPARE(written.allKeys().size(), 11);
    QVERIFY(!written.contains(u"langue"_s));

    // Second start: pale yellow fields, maroon pinyin, green senses.
    start();
    QVERIFY(m_errors.isEmpty());
    for (const QString &name : kTextFields)
        QCOMPARE(drawnBackground(control(name)), QColor(255, 255, 200));
    QCOMPARE(control(u"mot_pin"_s)->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QCOMPARE(control(u"mot_fr"_s)->palette().color(QPalette::Text), QColor(0, 128, 0));
    QCOMPARE(control(u"mot_ch"_s)->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
    QCOMPARE(control(u"liste_fr"_s)->palette().color(QPalette::Text),
             QApplication::palette().color(QPalette::Text));
}

void tst_Options::start_deletedValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<int>("part");
    QTest::addRow("text fields") << u"couleur champs texte"_s << u"13172735"_s << kTextFields
                                 << int(ColourPart::Background);
    QTest::addRow("radical tree") << u"couleur radical"_s << u"-16777208"_s
                                  << QStringList{u"ListBox"_s} << int(ColourPart::Text);
    QTest::addRow("shown pinyin") << u"couleur traduction pinyin"_s << u"128"_s
                                  << QStringList{u"mot_pin"_s} << int(ColourPart::Text);
}

void tst_Options::start_deletedValue()
{
    QFETCH(QString, name);
    QFETCH(QString, defaultText);
    QFETCH(QStringList, controls);
    QFETCH(int, part);
    for (const auto &setting : Settings::colourSettings())
        setStored(setting.name, 255); // a colour of the user's own on every value...
    QSettings(storeFile(), QSettings::IniFormat).remove(name); // ...and one deleted

    start();
    QVERIFY(m_errors.isEmpty());
    QCOMPARE(stored(name), defaultText);
    for (const QString &c : controls)
        QCOMPARE(App::controlColour(control(c), ColourPart(part)), std::nullopt);
    // The others are applied.
    const auto &all = App::colourUses();
    const auto &other = name == Settings::colourSetting(all[0].colour).name ? all[9] : all[0];
    QCOMPARE(App::controlColour(control(other.controls.first()), other.part),
             std::optional<Settings::ColourValue>(255));
}

void tst_Options::start_wrongType_goesOn()
{
    (void)Settings::Store().readAtStart();
    setStored(u"couleur radical"_s, u"rouge"_s);
    setStored(u"couleur mot"_s, 255);
    setStored(u"langue"_s, u"ch"_s);
    const QString input = m_dir->filePath(u"texte.txt"_s);
    QVERIFY(writeFile(input, utf16le(u"一一"_s)));

    start(input);
    QCOMPARE(m_errors, QStringList{u"Type de données incorrect pour 'couleur radical'"_s});
    QCOMPARE(stored(u"couleur radical"_s), u"rouge"_s); // not rewritten
    QCOMPARE(App::controlColour(control(u"ListBox"_s), ColourPart::Text), std::nullopt);
    // The rest of start-up ran: other colours, the language, the command line.
    QCOMPARE(App::controlColour(control(u"liste_mots_ch"_s), ColourPart::Text),
             std::optional<Settings::ColourValue>(255));
    QVERIFY(item(u"langue_ch"_s)->isChecked());
    QCOMPARE(m_desktop.opened.size(), 1);
    QCoreApplication::removePostedEvents(qApp, QEvent::MetaCall); // the quit request
}

void tst_Options::unwritableStore_data()
{
    QTest::addColumn<bool>("folderInPlace");
    QTest::addRow("a folder in place of the file") << true;
    QTest::addRow("a file in place of the folder") << false;
}

void tst_Options::unwritableStore()
{
    QFETCH(bool, folderInPlace);
    if (folderInPlace) {
        QVERIFY(QDir().mkdir(storeFile()));
    } else {
        QVERIFY(writeFile(m_dir->filePath(u"config"_s), "x"));
        Settings::setUserStoreLocation(m_dir->filePath(u"config/Duvuduz_ivod.conf"_s));
    }
    start();
    QCOMPARE(m_errors,
             QStringList{u"Echec à la définition des données pour 'couleur champs texte'"_s});

    // Commands still act on the window, then report the write.
    m_errors.clear();
    m_desktop.nextColour = QColor(0, 0, 255);
    item(u"traduction_fr"_s)->trigger();
    item(u"langue_ch"_s)->trigger();
    QCOMPARE(m_errors,
             (QStringList{u"Echec à la définition des données pour 'couleur traduction français'"_s,
                          u"Echec à la définition des données pour 'langue'"_s}));
    QCOMPARE(control(u"mot_fr"_s)->palette().color(QPalette::Text), QColor(0, 0, 255));
    QCOMPARE(caption(m_window.get(), u"TabSheet1"_s), u"中文"_s);
}

void tst_Options::colourItems_data()
{
    QTest::addColumn<QString>("itemName");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<int>("role");
    QTest::addRow("Fond texte") << u"texte"_s << 1 << u"couleur champs texte"_s << kTextFields
                                << int(QPalette::Base);
    QTest::addRow("Traduction - chinois")
            << u"traduction_ch"_s << 8 << u"couleur traduction chinois"_s
            << QStringList{u"mot_ch"_s} << int(QPalette::WindowText);
    QTest::addRow("Traduction - pinyin")
            << u"traduction_pin"_s << 9 << u"couleur traduction pinyin"_s
            << QStringList{u"mot_pin"_s} << int(QPalette::WindowText);
    QTest::addRow("Traduction - français")
            << u"traduction_fr"_s << 10 << u"couleur traduction français"_s
            << QStringList{u"mot_fr"_s} << int(QPalette::Text);
}

void tst_Options::colourItems()
{
    QFETCH(QString, itemName);
    QFETCH(int, tag);
    QFETCH(QString, valueName);
    QFETCH(QStringList, controls);
    QFETCH(int, role);
    start();
    QSettings before(storeFile(), QSettings::IniFormat);
    QMap<QString, QString> untouched;
    for (const QString &key : before.allKeys())
        untouched.insert(key, before.value(key).toString());
    untouched.remove(valueName);

    QCOMPARE(item(itemName)->data().toInt(), tag);
    m_desktop.nextColour = QColor(10, 20, 30);
    item(itemName)->trigger();
    QVERIFY(m_errors.isEmpty());
    for (const QString &name : controls) {
        QCOMPARE(control(name)->palette().color(QPalette::ColorRole(role)), QColor(10, 20, 30));
        if (role == QPalette::Base)
            QCOMPARE(drawnBackground(control(name)), QColor(10, 20, 30));
    }
    QCOMPARE(stored(valueName), u"1971210"_s); // 0x001E140A
    for (auto i = untouched.cbegin(); i != untouched.cend(); ++i)
        QCOMPARE(stored(i.key()), i.value());
}

void tst_Options::colourCommandTags_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("name");
    QTest::addRow("Fond texte") << 1 << u"couleur champs texte"_s;
    QTest::addRow("Traduction - chinois") << 8 << u"couleur traduction chinois"_s;
    QTest::addRow("Traduction - pinyin") << 9 << u"couleur traduction pinyin"_s;
    QTest::addRow("Traduction - français") << 10 << u"couleur traduction français"_s;
    QTest::addRow("no tag") << 0 << QString();
    QTest::addRow("between the tags") << 2 << QString();
    QTest::addRow("after the tags") << 11 << QString();
}

void tst_Options::colourCommandTags()
{
    QFETCH(int, tag);
    QFETCH(QString, name);
    // The uses follow the stored colours row for row.
    const QList<App::ColourUse> &uses = App::colourUses();
    QCOMPARE(uses.size(), Settings::colourSettings().size());
    for (qsizetype i = 0; i < uses.size(); ++i)
        QCOMPARE(int(uses[i].colour), int(i));
    const App::ColourUse *use = App::colourUseForTag(tag);
    QCOMPARE(use ? Settings::colourSetting(use->colour).name : QString(), name);
}

void tst_Options::picker_opensOnLastChosen()
{
    start();
    QList<QColor> customs(16, QColor(Qt::white));
    customs[0] = QColor(1, 2, 3);
    m_desktop.nextColour = QColor(255, 255, 200);
    m_desktop.nextCustom = customs;
    item(u"texte"_s)->trigger();

    // Cancelled: nothing applied, nothing written.
    const QByteArray file = readAll(storeFile());
    const QColor pinyin = control(u"mot_pin"_s)->palette().color(QPalette::WindowText);
    m_desktop.nextColour.reset();
    item(u"traduction_pin"_s)->trigger();
    QCOMPARE(control(u"mot_pin"_s)->palette().color(QPalette::WindowText), pinyin);
    QCOMPARE(readAll(storeFile()), file);

    m_desktop.nextColour = QColor(0, 0, 255);
    item(u"traduction_fr"_s)->trigger();
    // Black before the first choice, then whatever was last chosen.
    QCOMPARE(m_desktop.colourInitials,
             (QList<QColor>{Qt::black, QColor(255, 255, 200), QColor(255, 255, 200)}));
    // Custom colours: empty at start, then as the picker was left with OK.
    QCOMPARE(m_desktop.customsGiven, (QList<QList<QColor>>{QList<QColor>(), customs, customs}));
}

void tst_Options::reset_inChinese_keepsChinese()
{
    (void)Settings::Store().readAtStart();
    for (const auto &setting : Settings::colourSettings())
        setStored(setting.name, 0x00123456);
    setStored(u"langue"_s, u"ch"_s);
    start();
    QCOMPARE(caption(m_window.get(), u"Edition"_s), u"编辑"_s);

    m_window->activateWindow();
    QTest::keyClick(m_window.get(), Qt::Key_I, Qt::ControlModifier);
    QVERIFY(m_errors.isEmpty());
    for (const App::ColourUse &use : App::colourUses()) {
        const Settings::ColourSetting &setting = Settings::colourSetting(use.colour);
        QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).value(setting.name).toLongLong(),
                 qint32(setting.defaultValue));
        for (const QString &name : use.controls) {
            if (QWidget *c = control(name))
                QCOMPARE(App::controlColour(c, use.part),
                         std::optional<Settings::ColourValue>(setting.defaultValue));
        }
    }
    QCOMPARE(drawnBackground(control(u"liste_fr"_s)), QColor(255, 255, 200));
    QCOMPARE(stored(u"langue"_s), u"ch"_s);
    QVERIFY(item(u"langue_ch"_s)->isChecked());
    QCOMPARE(caption(m_window.get(), u"Edition"_s), u"编辑"_s);
}

void tst_Options::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("chinese");
    const char16_t *table[][3] = {
            {u"TabSheet1", u"Chinois", u"中文"},
            {u"TabSheet2", u"Pinyin", u"拼音"},
            {u"TabSheet3", u"Français", u"法语"},
            {u"TabSheet4", u"liste", u"词汇"},
            {u"TabSheet5", u"radical", u"偏旁"},
            {u"Edition", u"&Edition", u"编辑"},
            {u"Copier", u"&Copier", u"复制"},
            {u"Effacer", u"E&ffacer", u"勾销"},
            {u"Rechercher", u"Rec&hercher", u"查找"},
            {u"Traduire", u"&Traduire...", u"细节翻译..."},
            {u"Quitter1", u"&Quitter", u"退出"},
            {u"Options", u"&Options", u"选择"},
            {u"Langue", u"&Langue", u"语言"},
            {u"Couleur", u"&Couleurs", u"颜色"},
            {u"texte", u"Fond texte", u"字母背景"},
            {u"traduction_ch", u"Traduction - chinois", u"翻译 - 中文"},
            {u"traduction_pin", u"Traduction - pinyin", u"翻译 - 拼音"},
            {u"traduction_fr", u"Traduction - français", u"翻译 - 法语"},
            {u"Initialisation", u"&Initialiser", u"还原"},
            {u"Aide", u"&Aide", u"帮助"},
            {u"Apropos", u"A &propos de...", u"关于..."},
            // Not touched by either command.
            {u"langue_fr", u"Français", u"Français"},
            {u"langue_ch", u"中文                            ",
             u"中文                            "},
            {u"Aide1", u"?", u"?"},
    };
    for (const auto &row : table)
        QTest::addRow("%s", qPrintable(QString::fromUtf16(row[0])))
                << QString::fromUtf16(row[0]) << QString::fromUtf16(row[1])
                << QString::fromUtf16(row[2]);
}

void tst_Options::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, french);
    QFETCH(QString, chinese);
    start();
    QCOMPARE(caption(m_window.get(), name), french);
    item(u"langue_ch"_s)->trigger();
    QCOMPARE(caption(m_window.get(), name), chinese);
    item(u"langue_fr"_s)->trigger();
    QCOMPARE(caption(m_window.get(), name), french);
}

void tst_Options::tabFonts_data()
{
    QTest::addColumn<QString>("tabs");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addRow("PageControl1 French") << u"PageControl1"_s << false << u"Tahoma"_s << 11 << true;
    QTest::addRow("PageControl1 Chinese")
            << u"PageControl1"_s << true << u"SimSun"_s << 13 << false;
    QTest::addRow("PageControl2 French")
            << u"PageControl2"_s << false << u"Tahoma"_s << 11 << false;
    QTest::addRow("PageControl2 Chinese")
            << u"PageControl2"_s << true << u"SimSun"_s << 12 << false;
}

void tst_Options::tabFonts()
{
    QFETCH(QString, tabs);
    QFETCH(bool, chinese);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    start();
    // There and back: the French command restores the designed fonts.
    item(u"langue_ch"_s)->trigger();
    if (!chinese)
        item(u"langue_fr"_s)->trigger();
    const QFont font = m_window->findChild<QTabWidget *>(tabs)->tabBar()->font();
    QCOMPARE(font.family(), App::fontFamily(family));
    QCOMPARE(font.pixelSize(), pixels);
    QCOMPARE(font.bold(), bold);
}

void tst_Options::storedLangue_data()
{
    QTest::addColumn<QVariant>("langue");
    QTest::addColumn<bool>("chinese");
    QTest::addRow("ch") << QVariant(u"ch"_s) << true;
    QTest::addRow("CH") << QVariant(u"CH"_s) << false;
    QTest::addRow("zh") << QVariant(u"zh"_s) << false;
    QTest::addRow("empty") << QVariant(QString()) << false;
    QTest::addRow("missing") << QVariant() << false;
}

void tst_Options::storedLangue()
{
    QFETCH(QVariant, langue);
    QFETCH(bool, chinese);
    (void)Settings::Store().readAtStart();
    if (langue.isValid())
        setStored(u"langue"_s, langue);

    QStringList written;
    {
        const LogCapture log("verarov.settings");
        m_window = std::make_unique<TForm1>(m_tables);
        Form1 = m_window.get();
        m_window->FormCreate({});
        written = log.lines().filter(u"ecrit\tlangue"_s);
    }

    // Before the first showing.
    QCOMPARE(caption(m_window.get(), u"TabSheet1"_s), chinese ? u"中文"_s : u"Chinois"_s);
    QCOMPARE(item(u"langue_ch"_s)->isChecked(), chinese);
    QCOMPARE(item(u"langue_fr"_s)->isChecked(), !chinese);
    // "ch" is already what the store holds: the file is not rewritten for it;
    // anything else is left as it is.
    QCOMPARE(written.size(), 0);
    QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).value(u"langue"_s), langue);
}

void tst_Options::languageItems_exclusive()
{
    start();
    QAction *fr = item(u"langue_fr"_s);
    QAction *ch = item(u"langue_ch"_s);
    const QList<std::pair<QAction *, QString>> clicks = {
            {fr, u"fr"_s}, {ch, u"ch"_s}, {ch, u"ch"_s}, {fr, u"fr"_s}};
    for (const auto &[clicked, written] : clicks) {
        clicked->trigger();
        QCOMPARE(fr->isChecked(), clicked == fr);
        QCOMPARE(ch->isChecked(), clicked == ch);
        QCOMPARE(stored(u"langue"_s), written);
    }
}

// The toolkit's own dialogs (file, colour, message boxes) speak the
// interface language, when the system has Qt's translations.
void tst_Options::toolkitTexts_followTheLanguage()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + u"/qtbase_fr.qm"_s)
        || !QFile::exists(folder + u"/qtbase_zh_CN.qm"_s))
        QSKIP("Qt's translations are not installed");
    // Whatever an earlier window left in use, a French start puts French.
    Verarov::App::useToolkitLanguage(Verarov::Settings::Language::Chinese);
    start();
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    const auto colourTitle = [] { return QColorDialog().windowTitle(); };
    QCOMPARE(cancel(), u"Annuler"_s);
    const QString french = colourTitle();
    item(u"langue_ch"_s)->trigger();
    QCOMPARE(cancel(), u"取消"_s);
    QVERIFY2(colourTitle() != french, qPrintable(colourTitle()));
    item(u"langue_fr"_s)->trigger();
    QCOMPARE(cancel(), u"Annuler"_s);
    QCOMPARE(colourTitle(), french);
}

void tst_Options::chineseInterface_shortcuts()
{
    start();
    item(u"langue_ch"_s)->trigger();
    m_window->activateWindow();
    QTest::keyClick(m_window.get(), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(m_desktop.fileDialogs, 1);
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    item(u"langue_fr"_s)->trigger();
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    QCOMPARE(m_desktop.opened.size(), 2);
    // The local pages the build copies beside the program.
    QVERIFY(m_desktop.opened[0].toString().endsWith(u"/dico_aide_cn/index.html"_s));
    QVERIFY(m_desktop.opened[1].toString().endsWith(u"/dico_aide/index.html"_s));
}

void tst_Options::pages_keepTheirSizeAndHoldTheirControls_data()
{
    QTest::addColumn<bool>("startInChinese");
    QTest::addRow("switched to Chinese") << false;
    QTest::addRow("started in Chinese") << true;
}

void tst_Options::pages_keepTheirSizeAndHoldTheirControls()
{
    QFETCH(bool, startInChinese);
    // The lookup pages and the control each holds, the page shown first.
    const QList<std::pair<int, QString>> pages = {
            {0, u"PageControl2"_s}, {1, u"liste_pin_ss_accent"_s}, {2, u"liste_fr"_s}};
    auto geometries = [&] {
        QList<QRect> rects;
        auto *tabs = m_window->findChild<QTabWidget *>(u"PageControl1"_s);
        for (const auto &[index, name] : pages) {
            tabs->setCurrentIndex(index);
            QTest::qWait(0);
            rects << tabs->currentWidget()->geometry() << control(name)->geometry();
        }
        tabs->setCurrentIndex(0);
        QTest::qWait(0);
        rects << control(u"TabSheet4"_s)->geometry() << control(u"liste_dico_ch"_s)->geometry();
        return rects;
    };
    start();
    const QList<QRect> french = geometries();
    if (startInChinese) {
        QVERIFY(Settings::Store().writeLanguage(Verarov::Settings::Language::Chinese).isEmpty());
        start();
    } else {
        item(u"langue_ch"_s)->trigger();
    }
    QVERIFY(item(u"langue_ch"_s)->isChecked());
    const QList<QRect> chinese = geometries();
    QCOMPARE(chinese, french);
    // Every control whole inside its page: borders and arrows all seen.
    for (qsizetype i = 0; i < chinese.size(); i += 2)
        QVERIFY2(QRect(QPoint(), chinese[i].size()).contains(chinese[i + 1]),
                 qPrintable(QString::number(i)));
}

void tst_Options::frame_keepsClientArea()
{
    start();
    auto check = [this] {
        QTest::qWait(0);
        const QRect menu = m_window->menuBar()->geometry();
        const QRect client = m_window->centralWidget()->geometry();
        const QRect status = m_window->statusBar()->geometry();
        QCOMPARE(m_window->width(), 528);
        QCOMPARE(client.size(), QSize(528, 345));
        QCOMPARE(status.height(), 22);
        // Menu bar, client and status bar stacked without gap or overlap.
        QCOMPARE(menu.height(), m_window->menuBar()->sizeHint().height());
        QCOMPARE(client.top(), menu.bottom() + 1);
        QCOMPARE(status.top(), client.bottom() + 1);
        QCOMPARE(m_window->height(), status.bottom() + 1);
    };
    check();
    QVERIFY(!QTest::currentTestFailed());
    const int frenchMenu = m_window->menuBar()->height();
    item(u"langue_ch"_s)->trigger();
    check();
    QVERIFY(!QTest::currentTestFailed());
    qInfo("menu bar: French %d, Chinese %d pixels high", frenchMenu, m_window->menuBar()->height());
    item(u"langue_fr"_s)->trigger();
    check();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(m_window->menuBar()->height(), frenchMenu);
    // Chinese from the start.
    item(u"langue_ch"_s)->trigger();
    start();
    QCOMPARE(caption(m_window.get(), u"Edition"_s), u"编辑"_s);
    check();
}

void tst_Options::systemColour_followsPalette_data()
{
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<QString>("controlName");
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("source");
    QTest::addRow("fields on button face") << u"couleur champs texte"_s << u"liste_car_ch"_s
                                           << int(QPalette::Base) << 15 << int(QPalette::Button);
    QTest::addRow("radicals in window colour") << u"couleur radical"_s << u"ListBox"_s
                                               << int(QPalette::Text) << 5 << int(QPalette::Base);
    QTest::addRow("headword in window text")
            << u"couleur traduction chinois"_s << u"mot_ch"_s << int(QPalette::WindowText) << 8
            << int(QPalette::WindowText);
}

void tst_Options::systemColour_followsPalette()
{
    QFETCH(QString, valueName);
    QFETCH(QString, controlName);
    QFETCH(int, role);
    QFETCH(int, index);
    QFETCH(int, source);
    (void)Settings::Store().readAtStart();
    setStored(valueName, qint32(Settings::systemColour(index)));
    start();
    QWidget *target = control(controlName);
    QCOMPARE(target->palette().color(QPalette::ColorRole(role)),
             QApplication::palette().color(QPalette::ColorRole(source)));

    const QPalette original = QApplication::palette();
    QPalette changed = original;
    changed.setColor(QPalette::ColorRole(source), QColor(1, 2, 3));
    changed.setColor(QPalette::Button, QColor(4, 5, 6)); // the designed background of mot_fr
    QApplication::setPalette(changed);
    QCoreApplication::processEvents(); // the windows hear of it through the event loop
    const QColor seen = target->palette().color(QPalette::ColorRole(role));
    const QColor senses = control(u"mot_fr"_s)->palette().color(QPalette::Base);
    QApplication::setPalette(original);
    QCoreApplication::processEvents();
    QCOMPARE(seen, source == QPalette::Button ? QColor(4, 5, 6) : QColor(1, 2, 3));
    QCOMPARE(senses, QColor(4, 5, 6));
}

void tst_Options::systemPicker_keepsQtCustomColoursOut_data()
{
    QTest::addColumn<QByteArray>("qtOwn"); // Qt's per-user settings file, or nothing
    QTest::addRow("Qt's file with custom colours")
            << "; the user's own\n[Qt]\ncustomColors\\0=4278190335\ncustomColors\\1=4278255360\n"_ba;
    QTest::addRow("no file of Qt's") << QByteArray();
}

void tst_Options::systemPicker_keepsQtCustomColoursOut()
{
    QFETCH(QByteArray, qtOwn);
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
    QSKIP("Qt's own settings are not files here: the test would use the user's");
#else
    // Qt's per-user settings live in a folder of the test's.
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, m_dir->path());
    const QString qtFile = m_dir->filePath(u"QtProject.conf"_s);
    if (!qtOwn.isEmpty())
        QVERIFY(writeFile(qtFile, qtOwn));
    App::setDesktop(nullptr);

    QList<QList<QColor>> shown;
    auto answer = [&](const QColor &custom) {
        QTimer::singleShot(0, qApp, [&shown, custom] {
            auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QList<QColor> wells;
            for (int i = 0; i < QColorDialog::customCount(); ++i)
                wells.append(QColorDialog::customColor(i));
            shown.append(wells);
            QColorDialog::setCustomColor(3, custom); // as "Add to Custom Colors" does
            dialog->setCurrentColor(custom);
            dialog->accept();
        });
    };
    QList<QColor> custom;
    answer(QColor(9, 9, 9));
    const auto first = App::desktop().chooseColour(nullptr, Qt::black, custom);
    answer(QColor(8, 8, 8));
    const auto second = App::desktop().chooseColour(nullptr, Qt::black, custom);

    QCOMPARE(first, std::optional<QColor>(QColor(9, 9, 9)));
    QCOMPARE(second, std::optional<QColor>(QColor(8, 8, 8)));
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], QList<QColor>(16, QColor(Qt::white)));
    QCOMPARE(shown[1][3], QColor(9, 9, 9));
    QCOMPARE(custom[3], QColor(8, 8, 8));
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    // Qt's file neither fed the picker nor received its colours.
    QCOMPARE(readAll(qtFile), qtOwn);
    QCOMPARE(QFile::exists(qtFile), !qtOwn.isEmpty());
#endif
}

QTEST_MAIN(tst_Options)
#include "tst_options.moc"
