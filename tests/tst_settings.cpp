#include "settings/store.h"
#include "testsupport_files.h"
#include "testsupport_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov::Settings;

namespace {

const QStringList kColourNames = {
        u"couleur champs texte"_s,
        u"couleur entrée chinois"_s,
        u"couleur entrée pinyin"_s,
        u"couleur entrée français"_s,
        u"couleur radical"_s,
        u"couleur caractère"_s,
        u"couleur pinyin"_s,
        u"couleur mot"_s,
        u"couleur traduction chinois"_s,
        u"couleur traduction pinyin"_s,
        u"couleur traduction français"_s,
};
// The defaults as a 32-bit store holds them, read as signed.
const QList<int> kStoredDefaults = {13172735,  -16777208, -16777208, -16777208,
                                    -16777208, -16777208, -16777208, -16777208,
                                    -16777208, 128,       32768};

// A file the program has never written: blanks and accents unescaped, as a
// user would type them.
QByteArray fullStore(const QByteArray &replacedName = {}, const QByteArray &replacedLine = {})
{
    QByteArray text = "[General]\n";
    for (qsizetype i = 0; i < kColourNames.size(); ++i) {
        const QByteArray name = kColourNames[i].toUtf8();
        text += name == replacedName ? replacedLine
                                     : name + '=' + QByteArray::number(kStoredDefaults[i]) + '\n';
    }
    return text;
}

// Ends the run with a message when the scope is not left within a
// generous delay: a store operation that blocks would otherwise hang.
class HangGuard
{
public:
    explicit HangGuard(int seconds)
        : m_thread([this, seconds] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_left; }))
                  qFatal("store operation still blocked after %d s", seconds);
          })
    { }
    ~HangGuard()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_left = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_left = false;
    std::thread m_thread;
};

bool runningAsRoot()
{
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstRead_writesElevenDefaultsNotLangue();
    void secondRead_givesTheDefaults();
    void storedColour_data();
    void storedColour();
    void storedLangue_data();
    void storedLangue();
    void writes_keepOtherValues();
    void unwritableStore_data();
    void unwritableStore();
    void sameValue_leavesTheFileAlone();
    void log_readAndWritten();
    void userStore_inConfigFolder();
    void userStore_relativeConfigFolderIgnored_data();
    void userStore_relativeConfigFolderIgnored();
    void hostileStore_refusedWithoutHanging_data();
    void hostileStore_refusedWithoutHanging();
    void nonUtf8Store_keptAsWritten_data();
    void nonUtf8Store_keptAsWritten();
    void registry_stringsAndDwords();

private:
    QString storeFile() const { return m_dir->filePath(u"Duvuduz_ivod.conf"_s); }
    QVariant storedValue(const QString &name) const
    {
        return QSettings(storeFile(), QSettings::IniFormat).value(name);
    }
    // A fresh folder per test: QSettings caches files by name.
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Settings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_Settings::firstRead_writesElevenDefaultsNotLangue()
{
    const StoredSettings read = Store(storeFile()).readAtStart();
    QCOMPARE(read.language, Language::French);
    QVERIFY(read.failures.isEmpty());
    QCOMPARE(read.colours.size(), 11);
    for (const auto &colour : read.colours)
        QVERIFY(!colour); // the designed colours stay for this run

    QSettings written(storeFile(), QSettings::IniFormat);
    QStringList keys = written.allKeys();
    keys.sort();
    QStringList expected = kColourNames;
    expected.sort();
    QCOMPARE(keys, expected);
    for (qsizetype i = 0; i < kColourNames.size(); ++i)
        QCOMPARE(written.value(kColourNames[i]).toString(), QString::number(kStoredDefaults[i]));
}

void tst_Settings::secondRead_givesTheDefaults()
{
    (void)Store(storeFile()).readAtStart();
    const StoredSettings read = Store(storeFile()).readAtStart();
    QVERIFY(read.failures.isEmpty());
    const QList<std::optional<ColourValue>> expected = {
            0x00C8FFFF, 0xFF000008, 0xFF000008, 0xFF000008, 0xFF000008, 0xFF000008,
            0xFF000008, 0xFF000008, 0xFF000008, 0x00000080, 0x00008000};
    QCOMPARE(read.colours, expected);
}

void tst_Settings::storedColour_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<uint>("value");
    QTest::addRow("as written, signed") << "-16777208"_ba << true << 0xFF000008u;
    QTest::addRow("unsigned") << "4278190088"_ba << true << 0xFF000008u;
    QTest::addRow("pure red in hexadecimal") << "0x000000FF"_ba << true << 0x000000FFu;
    QTest::addRow("capital X") << "0XC8FFFF"_ba << true << 0x00C8FFFFu;
    QTest::addRow("blanks around") << "  255  "_ba << true << 255u;
    QTest::addRow("quoted") << "\"255\""_ba << true << 255u;
    QTest::addRow("leading zero is not octal") << "010"_ba << true << 10u;
    QTest::addRow("lowest signed") << "-2147483648"_ba << true << 0x80000000u;
    QTest::addRow("highest unsigned") << "4294967295"_ba << true << 0xFFFFFFFFu;
    QTest::addRow("above 32 bits") << "4294967296"_ba << false << 0u;
    QTest::addRow("below 32 bits") << "-2147483649"_ba << false << 0u;
    QTest::addRow("beyond 64 bits") << "99999999999999999999999"_ba << false << 0u;
    QTest::addRow("nine hexadecimal digits") << "0x1FF000008"_ba << false << 0u;
    QTest::addRow("sign after 0x") << "0x-5"_ba << false << 0u;
    QTest::addRow("bare 0x") << "0x"_ba << false << 0u;
    QTest::addRow("a word") << "rouge"_ba << false << 0u;
    QTest::addRow("empty") << ""_ba << false << 0u;
    QTest::addRow("decimal point") << "255.0"_ba << false << 0u;
    QTest::addRow("a list") << "1,2"_ba << false << 0u;
    QTest::addRow("invalid variant") << "@Invalid()"_ba << false << 0u;
}

void tst_Settings::storedColour()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(uint, value);
    const QByteArray line = "couleur radical=" + text + '\n';
    QVERIFY(writeFile(storeFile(), fullStore("couleur radical", line)));

    const StoredSettings read = Store(storeFile()).readAtStart();
    if (valid) {
        QVERIFY(read.failures.isEmpty());
        QCOMPARE(read.colours[4], std::optional<ColourValue>(value));
    } else {
        QCOMPARE(read.failures, QStringList{u"Type de données incorrect pour 'couleur radical'"_s});
        QCOMPARE(read.colours[4], std::nullopt);
        // Left as the user wrote it.
        QVERIFY(readAll(storeFile()).contains(line));
    }
    // The others are read all the same.
    QCOMPARE(read.colours[3], std::optional<ColourValue>(0xFF000008));
    QCOMPARE(read.colours[10], std::optional<ColourValue>(0x00008000));
}

void tst_Settings::storedLangue_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<bool>("valid");
    const bool fr = false;
    QTest::addRow("ch") << "langue=ch\n"_ba << true << true;
    QTest::addRow("fr") << "langue=fr\n"_ba << fr << true;
    QTest::addRow("CH kept as written") << "langue=CH\n"_ba << fr << true;
    QTest::addRow("zh") << "langue=zh\n"_ba << fr << true;
    QTest::addRow("ch, blanks trimmed") << "langue= ch \n"_ba << true << true;
    QTest::addRow("empty") << "langue=\n"_ba << fr << true;
    QTest::addRow("missing") << ""_ba << fr << true;
    QTest::addRow("Chinese text") << "langue=中文\n"_ba << fr << true;
    QTest::addRow("a number") << "langue=12\n"_ba << fr << false;
    QTest::addRow("a hexadecimal number") << "langue=0x1F\n"_ba << fr << false;
    QTest::addRow("a list") << "langue=fr,ch\n"_ba << fr << false;
    QTest::addRow("invalid variant") << "langue=@Invalid()\n"_ba << fr << false;
}

void tst_Settings::storedLangue()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, chinese);
    QFETCH(bool, valid);
    QVERIFY(writeFile(storeFile(), fullStore() + line));
    const StoredSettings read = Store(storeFile()).readAtStart();
    QCOMPARE(read.language, chinese ? Language::Chinese : Language::French);
    QCOMPARE(read.failures,
             valid ? QStringList() : QStringList{u"Type de données incorrect pour 'langue'"_s});
    QCOMPARE(read.colours[0], std::optional<ColourValue>(0x00C8FFFF));
    // Reading never writes "langue".
    QCOMPARE(readAll(storeFile()), fullStore() + line);
}

void tst_Settings::writes_keepOtherValues()
{
    const QByteArray original = "[General]\n"
                                "autre=valeur\n"
                                "couleur radical=bleu\n"
                                "couleur traduction pinyin=255\n"
                                "[Autre]\n"
                                "clef=1, 2\n";
    QVERIFY(writeFile(storeFile(), original));
    const Store store(storeFile());
    const StoredSettings read = store.readAtStart();
    QCOMPARE(read.failures, QStringList{u"Type de données incorrect pour 'couleur radical'"_s});
    QCOMPARE(store.writeLanguage(Verarov::Settings::Language::French), QString());
    QCOMPARE(store.writeColour(
                     Verarov::Settings::colourSetting(Verarov::Settings::Colour::ShownHeadword),
                     0x00FF0000),
             QString());

    QCOMPARE(storedValue(u"autre"_s).toString(), u"valeur"_s);
    QCOMPARE(storedValue(u"Autre/clef"_s).toStringList(), (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(storedValue(u"couleur radical"_s).toString(), u"bleu"_s);
    QCOMPARE(storedValue(u"couleur traduction pinyin"_s).toString(), u"255"_s);
    QCOMPARE(storedValue(u"couleur traduction chinois"_s).toString(), u"16711680"_s);
    QCOMPARE(storedValue(u"langue"_s).toString(), u"fr"_s);
    // Missing ones got their defaults at start.
    QCOMPARE(storedValue(u"couleur mot"_s).toString(), u"-16777208"_s);

    // Reset: every colour, "langue" and the rest untouched.
    QCOMPARE(store.writeDefaults(), QString());
    for (qsizetype i = 0; i < kColourNames.size(); ++i)
        QCOMPARE(storedValue(kColourNames[i]).toString(), QString::number(kStoredDefaults[i]));
    QCOMPARE(storedValue(u"langue"_s).toString(), u"fr"_s);
    QCOMPARE(storedValue(u"autre"_s).toString(), u"valeur"_s);
    QCOMPARE(storedValue(u"Autre/clef"_s).toStringList(), (QStringList{u"1"_s, u"2"_s}));
}

void tst_Settings::sameValue_leavesTheFileAlone()
{
    // QSettings drops comments when it rewrites the file: the comment
    // tells whether the file was written.
    const QString location = storeFile();
    const QByteArray before = "; kept while nothing changes\n[General]\nlangue=ch\n"
                              "couleur%20traduction%20pinyin=128\n";
    QVERIFY(writeFile(location, before));
    const Store store(location);
    QCOMPARE(store.writeLanguage(Verarov::Settings::Language::Chinese), QString());
    QCOMPARE(
            store.writeColour(
                    Verarov::Settings::colourSetting(Verarov::Settings::Colour::ShownPinyin), 0x80),
            QString());
    QCOMPARE(readAll(location), before);

    QCOMPARE(store.writeLanguage(Verarov::Settings::Language::French), QString());
    QVERIFY(!readAll(location).contains("; kept"));
    QCOMPARE(QSettings(location, QSettings::IniFormat).value(u"langue"_s).toString(), u"fr"_s);
}

void tst_Settings::unwritableStore_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addRow("a folder in place of the file") << u"folder"_s;
    QTest::addRow("a file in place of the folder") << u"file"_s;
    QTest::addRow("read-only file") << u"read-only file"_s;
    QTest::addRow("read-only folder") << u"read-only folder"_s;
}

void tst_Settings::unwritableStore()
{
    QFETCH(QString, obstacle);
    QString location = storeFile();
    QByteArray before;
    if (obstacle == u"folder"_s) {
        QVERIFY(QDir().mkdir(location));
    } else if (obstacle == u"file"_s) {
        QVERIFY(writeFile(m_dir->filePath(u"config"_s), "x"));
        location = m_dir->filePath(u"config/Duvuduz_ivod.conf"_s);
    } else {
        if (runningAsRoot())
            QSKIP("permissions do not bind the superuser");
#ifdef Q_OS_WIN
        if (obstacle == u"read-only folder"_s)
            QSKIP("on Windows a folder's read-only attribute does not keep files from being made "
                  "in it");
#endif
        before = "[General]\nlangue=ch\n";
        QVERIFY(writeFile(location, before));
        const QString target = obstacle == u"read-only file"_s ? location : m_dir->path();
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner));
    }
    const Store store(location);
    const StoredSettings read = store.readAtStart();
    QCOMPARE(read.failures,
             QStringList{u"Echec à la définition des données pour 'couleur champs texte'"_s});
    QCOMPARE(store.writeLanguage(Verarov::Settings::Language::French),
             u"Echec à la définition des données pour 'langue'"_s);
    QCOMPARE(store.writeColour(
                     Verarov::Settings::colourSetting(Verarov::Settings::Colour::ShownPinyin), 0),
             u"Echec à la définition des données pour 'couleur traduction pinyin'"_s);
    QCOMPARE(store.writeDefaults(),
             u"Echec à la définition des données pour 'couleur champs texte'"_s);
    if (!before.isEmpty()) {
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(location, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(readAll(location), before);
    }
}

void tst_Settings::log_readAndWritten()
{
    QVERIFY(writeFile(storeFile(), fullStore("couleur mot", {}) + "langue=ch\n"));
    QStringList lines;
    {
        const LogCapture log("verarov.settings");
        const Store store(storeFile());
        (void)store.readAtStart();
        QVERIFY(store.writeLanguage(Verarov::Settings::Language::French).isEmpty());
        lines = log.lines();
    }

    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines.first(), u"lu\tlangue\tch"_s);
    QCOMPARE(lines[1], u"lu\tcouleur champs texte\t13172735"_s);
    QCOMPARE(lines[8], u"ecrit\tcouleur mot\t-16777208"_s);
    QCOMPARE(lines.last(), u"ecrit\tlangue\tfr"_s);
}

void tst_Settings::userStore_inConfigFolder()
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_dir->path().toLocal8Bit());
    const QString location = userStoreLocation();
    setUserStoreLocation(m_dir->filePath(u"ailleurs.conf"_s));
    const QString replaced = Store().location();
    setUserStoreLocation({});
    const QString restored = userStoreLocation();
    qputenv("XDG_CONFIG_HOME", saved);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QCOMPARE(location, m_dir->filePath(u"Duvuduz_ivod.conf"_s));
    QCOMPARE(restored, location);
#elif defined(Q_OS_WIN)
    QCOMPARE(location, u"HKEY_CURRENT_USER\\Software\\Duvuduz_ivod"_s);
#endif
    QCOMPARE(replaced, m_dir->filePath(u"ailleurs.conf"_s));
}

void tst_Settings::userStore_relativeConfigFolderIgnored_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addRow("a name") << "config"_ba;
    QTest::addRow("from the current folder") << "./config"_ba;
    QTest::addRow("a tilde is not expanded") << "~/.config"_ba;
}

void tst_Settings::userStore_relativeConfigFolderIgnored()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QFETCH(QByteArray, folder);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", folder);
    const QString location = userStoreLocation();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(location, QDir::homePath() + u"/.config/Duvuduz_ivod.conf"_s);
#else
    QSKIP("XDG folders are for Linux and the BSDs");
#endif
}

void tst_Settings::hostileStore_refusedWithoutHanging_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addRow("a FIFO") << u"fifo"_s;
    QTest::addRow("a link to a FIFO") << u"link to fifo"_s;
    QTest::addRow("a link to a folder") << u"link to folder"_s;
    QTest::addRow("a link to a link to a FIFO") << u"link to link"_s;
    QTest::addRow("a folder as lock file") << u"lock folder"_s;
    QTest::addRow("a fresh lock of another host") << u"foreign lock"_s;
    QTest::addRow("a stale lock in a read-only folder") << u"stale lock"_s;
}

// A store that is not a regular file, or whose lock cannot be taken, is
// refused with the store's message, at once or after about a second; the
// obstacle is left as it was.
void tst_Settings::hostileStore_refusedWithoutHanging()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, obstacle);
    const QString location = storeFile();
    const QString fifo = m_dir->filePath(u"tube"_s);
    const QString lock = location + u".lock"_s;
    if (obstacle == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(location).constData(), 0600), 0);
    } else if (obstacle == u"link to fifo"_s || obstacle == u"link to link"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (obstacle == u"link to link"_s) {
            QVERIFY(QFile::link(fifo, m_dir->filePath(u"relais"_s)));
            QVERIFY(QFile::link(m_dir->filePath(u"relais"_s), location));
        } else {
            QVERIFY(QFile::link(fifo, location));
        }
    } else if (obstacle == u"link to folder"_s) {
        QVERIFY(QDir().mkdir(m_dir->filePath(u"dossier"_s)));
        QVERIFY(QFile::link(m_dir->filePath(u"dossier"_s), location));
    } else if (obstacle == u"lock folder"_s) {
        QVERIFY(QDir().mkdir(lock));
    } else if (obstacle == u"foreign lock"_s) {
        QVERIFY(writeFile(lock, QByteArray::number(QCoreApplication::applicationPid())
                                        + "\nverarov\nun-autre-poste.example\n"));
    } else {
        if (runningAsRoot())
            QSKIP("permissions do not bind the superuser");
        // A process that is gone: the child of a fork that has ended.
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        QVERIFY(child > 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(writeFile(lock, QByteArray::number(child) + "\nverarov\n"
                                        + QSysInfo::machineHostName().toUtf8() + '\n'));
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    }

    const HangGuard guard(30);
    const Store store(location);
    const StoredSettings read = store.readAtStart();
    QCOMPARE(read.failures,
             QStringList{u"Echec à la définition des données pour 'couleur champs texte'"_s});
    QCOMPARE(read.language, Language::French);
    QCOMPARE(read.colours, QList<std::optional<ColourValue>>(11));
    QCOMPARE(store.writeLanguage(Language::Chinese),
             u"Echec à la définition des données pour 'langue'"_s);
    QCOMPARE(store.writeDefaults(),
             u"Echec à la définition des données pour 'couleur champs texte'"_s);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    struct stat status;
    if (obstacle == u"fifo"_s) {
        QCOMPARE(::lstat(QFile::encodeName(location).constData(), &status), 0);
        QVERIFY(S_ISFIFO(status.st_mode));
    } else if (obstacle.startsWith(u"link"_s)) {
        QVERIFY(QFileInfo(location).isSymLink());
        if (obstacle != u"link to folder"_s) {
            QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &status), 0);
            QVERIFY(S_ISFIFO(status.st_mode));
        }
    } else {
        QVERIFY(!QFileInfo::exists(location) || QFileInfo(location).size() == 0);
    }
#else
    QSKIP("FIFOs, links and lock files as on Unix");
#endif
}

void tst_Settings::nonUtf8Store_keptAsWritten_data()
{
    // Lines a user typed in Latin-1, after the values of a full store but
    // one ("couleur mot", written at start).
    QTest::addColumn<QByteArray>("typed");
    QTest::addRow("a key") << "couleur entr\xE9"
                              "e chinois=255\n"_ba;
    QTest::addRow("a value") << "autre=caf\xE9\n"_ba;
    QTest::addRow("a key of another section") << "[Autre]\nclef \xE0 moi=1\n"_ba;
    QTest::addRow("CR LF lines") << "autre=caf\xE9\r\n"_ba;
}

void tst_Settings::nonUtf8Store_keptAsWritten()
{
    QFETCH(QByteArray, typed);
    QVERIFY(writeFile(storeFile(), fullStore("couleur mot", {}) + typed));
    const Store store(storeFile());
    QVERIFY(store.readAtStart().failures.isEmpty());
    QCOMPARE(store.writeLanguage(Language::Chinese), QString());
    QCOMPARE(store.writeColour(colourSetting(Colour::ShownPinyin), 0x00FF0000), QString());
    QCOMPARE(store.writeLanguage(Language::Chinese), QString()); // the same again: nothing

    const QByteArray written = readAll(storeFile());
    QVERIFY2(written.contains(typed), written.constData());
    QVERIFY2(!written.contains("%UFFFD"), written.constData());
    const StoredSettings read = Store(storeFile()).readAtStart();
    QVERIFY(read.failures.isEmpty());
    QCOMPARE(read.language, Language::Chinese);
    QCOMPARE(read.colours[7], std::optional<ColourValue>(kWindowText));
    QCOMPARE(read.colours[9], std::optional<ColourValue>(0x00FF0000));
    QCOMPARE(read.colours[0], std::optional<ColourValue>(0x00C8FFFF));
    QCOMPARE(QSettings(storeFile(), QSettings::IniFormat).value(u"langue"_s).toString(), u"ch"_s);
    QCOMPARE(readAll(storeFile()), written); // reading wrote nothing
}

// The program's own store on Windows: the registry key, "langue" a string
// (REG_SZ), each colour a 32-bit integer (REG_DWORD) that reads back as
// the same bits; a colour of another type is reported, not used.
void tst_Settings::registry_stringsAndDwords()
{
#ifndef Q_OS_WIN
    QSKIP("the registry is Windows's");
#else
    // A key of this test's own (each test runs in a Wine prefix of its own).
    const QString key = u"HKEY_CURRENT_USER\\Software\\Duvuduz_ivod_test"_s;
    QSettings(key, QSettings::NativeFormat).remove(QString());
    const Store store(key);
    const StoredSettings first = store.readAtStart();
    QVERIFY(first.failures.isEmpty());
    QVERIFY(store.writeLanguage(Verarov::Settings::Language::Chinese).isEmpty());
    QVERIFY(store.writeColour(
                         Verarov::Settings::colourSetting(Verarov::Settings::Colour::ShownPinyin),
                         0xFF000008u)
                    .isEmpty());

    QSettings registry(key, QSettings::NativeFormat);
    QCOMPARE(registry.value(u"langue"_s).typeId(), QMetaType::QString);
    QCOMPARE(registry.value(u"langue"_s).toString(), u"ch"_s);
    for (qsizetype i = 0; i < kColourNames.size(); ++i) {
        const QVariant colour = registry.value(kColourNames[i]);
        QCOMPARE(colour.typeId(), QMetaType::Int); // REG_DWORD
        if (kColourNames[i] != u"couleur traduction pinyin"_s)
            QCOMPARE(colour.toInt(), kStoredDefaults[i]);
    }
    QCOMPARE(registry.value(u"couleur traduction pinyin"_s).toInt(), -16777208);
    const StoredSettings again = store.readAtStart();
    QCOMPARE(again.language, Verarov::Settings::Language::Chinese);
    QCOMPARE(again.colours.value(9), std::optional<ColourValue>(0xFF000008u));

    registry.setValue(u"couleur mot"_s, u"255"_s); // REG_SZ
    registry.sync();
    QCOMPARE(store.readAtStart().failures,
             QStringList{u"Type de données incorrect pour 'couleur mot'"_s});
    QSettings(key, QSettings::NativeFormat).remove(QString());
#endif
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
