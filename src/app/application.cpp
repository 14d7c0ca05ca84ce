#include "app/application.h"

#include "app/aproposde.h"
#include "app/definitions.h"
#include "app/errorbox.h"
#include "dictionary/loader.h"
#include "dictionary/radicals.h"
#include "io/names.h"
#include "app/recherche.h"
#include "app/unit1.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#endif

using namespace Qt::StringLiterals;

namespace Verarov::App {

QString firstArgument(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments[i].isEmpty())
            return arguments[i];
    }
    return {};
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(u":/verarov/icon/%1.png"_s.arg(size), QSize(size, size));
    return icon;
}

void prepareApplication()
{
    QCoreApplication::setApplicationName(u"verarov"_s);
    QGuiApplication::setDesktopFileName(QString::fromUtf16(kDesktopId));
    QApplication::setWindowIcon(programIcon());
    // Every window's default font: Tahoma, 11 pixels.
    QApplication::setFont(namedFont(u"Tahoma"_s, 11));
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

namespace {

// The program's own arguments: on Windows from the command line in UTF-16
// (argv holds them in the ANSI code page), elsewhere argv.
QStringList programArguments(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    QStringList arguments;
    int count = 0;
    if (wchar_t **words = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(words[i]));
        ::LocalFree(words);
    }
    return arguments;
#else
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(Io::decodeName(argv[i])); // its bytes, UTF-8 or not
    return arguments;
#endif
}

} // namespace

int run(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A file size limit then fails the write that passes it, which is
    // reported, instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // The toolkit gets no argument: a file named "-reverse" or "-style=x"
    // is a file to translate, not an option.  Its settings still come from
    // the environment (QT_QPA_PLATFORM and the like).
    char fallbackName[] = "verarov";
    char *toolkitArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, toolkitArgv);
    const QStringList arguments = programArguments(argc, argv);
    prepareApplication();

    Dictionary::Loaded loaded = Dictionary::loadDictionary();
    if (!loaded.failure.isEmpty())
        showError(nullptr, loaded.failure);

    // The window carries the raw radical list; the start-up benchmark
    // measures start-up without it too.
    QString radicals;
    if (!qEnvironmentVariableIsSet("VERAROV_WITHOUT_RADICALS"))
        radicals = Dictionary::builtInRadicalText();
    Form1 = new TForm1(std::move(loaded.tables), std::move(radicals));
    Form1->FormCreate(firstArgument(arguments));
    Form2 = new TForm2(Form1);
    Form3 = new TForm3(Form1);

    Form1->show();
    // Benchmarks time the start-up up to the first shown window: the moment
    // (steady clock, ns) is printed, then the program ends.
    if (qEnvironmentVariableIsSet("VERAROV_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("shown %lld\n", static_cast<long long>(
                                                std::chrono::nanoseconds(now).count()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    // Benchmarks time the first key presses typed the moment the window is
    // shown: VERAROV_KEY_WHEN_SHOWN="<field>:<text>" (liste_fr:a) queues the
    // key presses of text for that lookup field behind the events already
    // waiting, as typing would, and prints the time from then until they are
    // handled and painted ("key <ns>"); then the program ends.
    if (const QString keys = qEnvironmentVariable("VERAROV_KEY_WHEN_SHOWN"); !keys.isEmpty()) {
        QTimer::singleShot(0, &app, [keys] {
            const auto typed = std::chrono::steady_clock::now();
            const QWidget *field = Form1->findChild<QWidget *>(keys.section(u':', 0, 0));
            QLineEdit *edit = field ? field->findChild<QLineEdit *>() : nullptr;
            if (!edit) {
                std::printf("no field %s\n", qPrintable(keys));
                QCoreApplication::exit(1);
                return;
            }
            for (const QChar c : keys.section(u':', 1)) {
                QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, 0,
                                                                Qt::NoModifier, QString(c)));
                QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyRelease, 0,
                                                                Qt::NoModifier, QString(c)));
            }
            QTimer::singleShot(0, qApp, [typed] {
                QCoreApplication::processEvents(); // the painting they asked for
                const auto handled = std::chrono::steady_clock::now() - typed;
                std::printf("key %lld\n", static_cast<long long>(
                                                  std::chrono::nanoseconds(handled).count()));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        });
    }
    const int status = app.exec();
    // Every window lives until here.
    TForm3::destroyAll();
    delete Form1; // and with it the About box
    return status;
}

} // namespace Verarov::App
