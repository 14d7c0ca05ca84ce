#include "dictionary/builder.h"
#include "io/input.h"
#include "io/names.h"
#include "io/output.h"
#include "app/application.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "testsupport_app.h"
#include "testsupport_files.h"
#include "app/unit1.h"
#include "settings/store.h"

#include <QApplication>
#include <QFile>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov::App;

namespace {

const QList<Verarov::Dictionary::Entry> kEntries = {
        {u"一"_s, u"yī"_s, u"un"_s},
        {u"一一"_s, u"yī yī"_s, u"un par un"_s},
        {u"下"_s, u"xià"_s, u"bas"_s},
};

const QByteArray kExpected =
        QByteArray("\xff\xfe") + utf16le(u"一一\tyī yī\tun par un\r\n下\txià\tbas\r\n"_s);

// Runs the event loop until something quits it, or gives up after timeoutMs
// and returns -1.
int runLoop(int timeoutMs)
{
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, qApp, [] { QCoreApplication::exit(-1); });
    timeout.start(timeoutMs);
    return QCoreApplication::exec();
}

} // namespace

class tst_TranslateCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void traduire_fichier_opensTheResult();
    void traduire_fichier_failure_restoresCursorAndOpensNothing();
    void commandLine_translatesAndQuits();
    void commandLine_failure_showsOneErrorAndRunsOn();
    void menuCommand_data();
    void menuCommand();
    void process_translatesAndEnds_data();
    void process_translatesAndEnds();
    void process_failure_reportedAndRunsOn_data();
    void process_failure_reportedAndRunsOn();
    void process_errorBox_alsoOnStandardError();
    void process_nameNotUtf8_readsAndWritesThoseBytes();

private:
    void startProgram(QProcess &verarov, const QStringList &arguments);
    void prepareProgram(QProcess &verarov);
    static QByteArray errorsUntil(QProcess &verarov, const QByteArray &text);
    QTemporaryDir m_dir;
    RecordingDesktop m_desktop;
    QStringList m_errors;
    std::unique_ptr<TForm1> m_window;
};

void tst_TranslateCommand::init()
{
    m_desktop = {};
    m_errors.clear();
    Verarov::App::setDesktop(&m_desktop);
    Verarov::App::setErrorSink(
            [this](QWidget *, const QString &message) { m_errors.append(message); });
    // Settings read and written by the creation step stay in the test's folder.
    Verarov::Settings::setUserStoreLocation(m_dir.filePath(u"Duvuduz_ivod.conf"_s));
    m_window = std::make_unique<TForm1>(
            Verarov::Dictionary::Tables::fromCompiled(Verarov::Dictionary::compile(kEntries)));
    Form1 = m_window.get();
    QVERIFY(writeFile(m_dir.filePath(u"texte.txt"_s), utf16le(u"一一下"_s)));
    QVERIFY(writeFile(m_dir.filePath(u"dictionnaire.tsv"_s),
                      u"一\tyī\tun\n一一\tyī yī\tun par un\n下\txià\tbas\n"_s.toUtf8()));
}

void tst_TranslateCommand::cleanup()
{
    m_window.reset();
    Verarov::App::setDesktop(nullptr);
    Verarov::App::setErrorSink({});
    Verarov::Settings::setUserStoreLocation({});
}

void tst_TranslateCommand::traduire_fichier_opensTheResult()
{
    m_window->traduire_fichier(m_dir.filePath(u"texte.txt"_s));
    const QString output = m_dir.filePath(u"texte.vare.txt"_s);
    QCOMPARE(readAll(output), kExpected);
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl::fromLocalFile(output)});
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_TranslateCommand::traduire_fichier_failure_restoresCursorAndOpensNothing()
{
    try {
        m_window->traduire_fichier(m_dir.filePath(u"absent.txt"_s));
        QFAIL("no error");
    } catch (const Verarov::App::Error &error) {
        QCOMPARE(error.message(), u"Impossible de trouver le fichier spécifié"_s);
    }
    QVERIFY(m_desktop.opened.isEmpty());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_TranslateCommand::commandLine_translatesAndQuits()
{
    m_window->FormCreate(m_dir.filePath(u"texte.txt"_s));
    QCOMPARE(m_desktop.opened.size(), 1);
    QCOMPARE(runLoop(5000), 0); // the posted quit request ends the loop
    QVERIFY(m_errors.isEmpty());
}

void tst_TranslateCommand::commandLine_failure_showsOneErrorAndRunsOn()
{
    m_window->FormCreate(m_dir.filePath(u"absent.txt"_s));
    QCOMPARE(m_errors, QStringList{u"Impossible de trouver le fichier spécifié."_s});
    QCOMPARE(runLoop(200), -1); // no quit request: an ordinary run
    QVERIFY(m_desktop.opened.isEmpty());
}

void tst_TranslateCommand::menuCommand_data()
{
    QTest::addColumn<QString>("name"); // answered by the dialog, empty: cancelled
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("opened");
    QTest::addRow("chosen file") << u"texte.txt"_s << QStringList() << 1;
    QTest::addRow("cancel does nothing") << QString() << QStringList() << 0;
    QTest::addRow("typed name that does not exist")
            << u"absent.txt"_s << QStringList{u"Impossible de trouver le fichier spécifié."_s} << 0;
}

void tst_TranslateCommand::menuCommand()
{
    QFETCH(QString, name);
    QFETCH(QStringList, errors);
    QFETCH(int, opened);
    m_desktop.nextFile = name.isEmpty() ? QString() : m_dir.filePath(name);
    m_window->findChild<QAction *>(u"Traduire"_s)->trigger();
    QCOMPARE(m_desktop.fileDialogs, 1);
    QCOMPARE(m_errors, errors);
    QCOMPARE(m_desktop.opened.size(), opened);
    QVERIFY(!QGuiApplication::overrideCursor());
    if (opened)
        QCOMPARE(m_desktop.opened.constFirst().toLocalFile(), m_dir.filePath(u"texte.vare.txt"_s));
}

// Starts the program in the test folder, on a small dictionary of its own.
void tst_TranslateCommand::startProgram(QProcess &verarov, const QStringList &arguments)
{
    prepareProgram(verarov);
    verarov.start(QStringLiteral(VERAROV_EXECUTABLE), arguments);
}

// The program's environment: the test folder, a small dictionary.
void tst_TranslateCommand::prepareProgram(QProcess &verarov)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"VERAROV_DICTIONARY"_s, m_dir.filePath(u"dictionnaire.tsv"_s));
    environment.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"data"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, m_dir.filePath(u"config"_s));
    environment.insert(u"QT_LOGGING_RULES"_s, u"verarov.translate.debug=true"_s);
    // A Windows program without a console logs to the debugger, not to
    // standard error, unless told.
    environment.insert(u"QT_FORCE_STDERR_LOGGING"_s, u"1"_s);
    verarov.setProcessEnvironment(environment);
    verarov.setWorkingDirectory(m_dir.path());
}

// What the program writes to standard error until it has written text, it
// ends, or 20 seconds pass.
QByteArray tst_TranslateCommand::errorsUntil(QProcess &verarov, const QByteArray &text)
{
    QByteArray log;
    QElapsedTimer clock;
    clock.start();
    while (!log.contains(text) && clock.elapsed() < 20000
           && verarov.state() != QProcess::NotRunning) {
        verarov.waitForReadyRead(200);
        log += verarov.readAllStandardError();
    }
    return log;
}

void tst_TranslateCommand::process_translatesAndEnds_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("output");
    QTest::addRow("plain name") << QStringList{u"texte.txt"_s} << u"texte.vare.txt"_s;
    QTest::addRow("name with blanks, after an empty argument")
            << QStringList{QString(), u"mon texte.txt"_s} << u"mon texte.vare.txt"_s;
    QTest::addRow("only the first argument")
            << QStringList{u"mon texte.txt"_s, u"-reverse"_s} << u"mon texte.vare.txt"_s;
    QTest::addRow("accents") << QStringList{u"poème d'été.txt"_s} << u"poème d'été.vare.txt"_s;
#ifndef Q_OS_WIN // a character Windows names cannot hold
    QTest::addRow("newline in the name")
            << QStringList{u"deux\nlignes.txt"_s} << u"deux\nlignes.vare.txt"_s;
#endif
    QTest::addRow("leading dash") << QStringList{u"-texte.txt"_s} << u"-texte.vare.txt"_s;
    // Names the toolkit would take for its own options.
    QTest::addRow("-reverse") << QStringList{u"-reverse"_s} << u"-reverse.vare"_s;
    QTest::addRow("-style=x.txt") << QStringList{u"-style=x.txt"_s} << u"-style=x.vare.txt"_s;
    QTest::addRow("-platform") << QStringList{u"-platform"_s} << u"-platform.vare"_s;
}

void tst_TranslateCommand::process_translatesAndEnds()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, output);
    const QString input = Verarov::App::firstArgument(QStringList{u"verarov"_s} + arguments);
    QVERIFY(writeFile(m_dir.filePath(input), utf16le(u"一一下"_s)));
    QFile::remove(m_dir.filePath(output));

    QProcess verarov;
    startProgram(verarov, arguments);
    QVERIFY(verarov.waitForFinished(20000));
    QCOMPARE(verarov.exitStatus(), QProcess::NormalExit);
    QCOMPARE(verarov.exitCode(), 0);
    QCOMPARE(readAll(m_dir.filePath(output)), kExpected);
}

void tst_TranslateCommand::process_failure_reportedAndRunsOn_data()
{
    QTest::addColumn<QString>("input");    // "tube": a FIFO; "dossier": a folder
    QTest::addColumn<qint64>("sizeLimit"); // file size limit of the program, 0: none
    QTest::addColumn<QString>("error");
    QTest::addRow("folder") << u"dossier"_s << qint64(0) << u"Le fichier spécifié est un dossier"_s;
#ifdef Q_OS_UNIX
    QTest::addRow("FIFO, never waited for")
            << u"tube"_s << qint64(0) << u"Le fichier spécifié n'est pas un fichier ordinaire"_s;
    QTest::addRow("file size limit: an error, not a signal")
            << u"long.txt"_s << qint64(4096) << u"Le fichier dépasse la taille permise"_s;
#endif
}

// The error is shown in a box (the translation's log line tells it here),
// and the program goes on as after a start without argument.
void tst_TranslateCommand::process_failure_reportedAndRunsOn()
{
    QFETCH(QString, input);
    QFETCH(qint64, sizeLimit);
    QFETCH(QString, error);
    const QString path = m_dir.filePath(input);
    if (input == u"dossier")
        QVERIFY(QDir(m_dir.path()).mkpath(input));
#ifdef Q_OS_UNIX
    if (input == u"tube")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    if (input == u"long.txt")
        QVERIFY(writeFile(path, utf16le(u"一一下"_s.repeated(5000))));
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

    QProcess verarov;
#ifdef Q_OS_UNIX
    verarov.setChildProcessModifier([sizeLimit] {
        std::signal(SIGXFSZ, SIG_DFL); // as a user's shell would leave it
        if (sizeLimit > 0) {
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
#else
    Q_UNUSED(sizeLimit);
#endif
    startProgram(verarov, {path});
    const QByteArray log = errorsUntil(verarov, "failed: ");
    const bool running = verarov.state() == QProcess::Running;
    verarov.kill();
    verarov.waitForFinished(5000);
    QVERIFY2(running, log.constData());
    // Log lines are in the system's 8-bit encoding (UTF-8 but on Windows).
    QVERIFY2(log.contains("failed: " + error.toLocal8Bit()), log.constData());
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    if (input == u"dossier")
        QVERIFY(QDir(path).removeRecursively());
    else
        QFile::remove(path);
}

// An error box may go unseen; its text is also on standard error, where a
// program started from a terminal is read.
void tst_TranslateCommand::process_errorBox_alsoOnStandardError()
{
    QVERIFY(writeFile(m_dir.filePath(u"dictionnaire.tsv"_s), "bonjour\n"));
    QProcess verarov;
    startProgram(verarov, {});
    const QByteArray log = errorsUntil(verarov, "Impossible d'utiliser le dictionnaire");
    verarov.kill();
    verarov.waitForFinished(5000);
    QVERIFY2(log.contains("Impossible d'utiliser le dictionnaire"), log.constData());
}

// A name that is not UTF-8 (GBK "文.txt") is the file read, and the output
// takes the same bytes; the file its locale decoding names (U+FFFD) is
// neither read nor written.
void tst_TranslateCommand::process_nameNotUtf8_readsAndWritesThoseBytes()
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(m_dir.path()) + '/';
    const auto named = [&](const QByteArray &bytes) {
        return Verarov::Io::decodeName(folder + bytes);
    };
    const QByteArray input = "\xce\xc4.txt";
    const QString twin = QString::fromLocal8Bit(folder + input); // U+FFFD in place of the bytes
    const QString twinOutput = QString::fromLocal8Bit(folder + "\xce\xc4.vare.txt");
    QVERIFY(twin.contains(QChar::ReplacementCharacter));
    QCOMPARE(Verarov::Io::writeWhole(named(input), utf16le(u"一一下"_s)), QString());
    QVERIFY(writeFile(twin, utf16le(u"下"_s)));

    // The argument goes as bytes: through a shell, which passes them on.
    QProcess verarov;
    prepareProgram(verarov);
    verarov.start(u"/bin/sh"_s, {u"-c"_s, u"exec \"$0\" \"$(printf '\\316\\304.txt')\""_s,
                                QStringLiteral(VERAROV_EXECUTABLE)});
    QVERIFY(verarov.waitForFinished(20000));
    QCOMPARE(verarov.exitStatus(), QProcess::NormalExit);
    QCOMPARE(verarov.exitCode(), 0);

    QByteArray output;
    QCOMPARE(Verarov::Io::readWholeFile(named("\xce\xc4.vare.txt"), output, 1 << 20), QString());
    QCOMPARE(output, kExpected);
    QCOMPARE(readAll(twin), utf16le(u"下"_s));
    QVERIFY(!QFile::exists(twinOutput));
#else
    QSKIP("names are bytes on Unix");
#endif
}

QTEST_MAIN(tst_TranslateCommand)
#include "tst_translatecommand.moc"
