#include "app/application.h"

#include "app/aproposde.h"
#include "app/benchhooks.h"
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
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <iterator>

#ifdef VERAROV_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

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

namespace {

// The program's icon, its pictures read when a size is first asked for:
// reading all eight at start costs as much as making the main window.  A
// size is served as Qt serves an icon of all eight files: by the smallest
// picture at least that large, else the largest, scaled down.
class ProgramIconEngine final : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        loadFor(rect.size());
        m_icon.paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        loadFor(size);
        return m_icon.pixmap(size, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        loadFor(size);
        return m_icon.actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : kSides)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QString key() const override { return u"verarov-program"_s; }
    QIconEngine *clone() const override { return new ProgramIconEngine(*this); }

private:
    static constexpr int kSides[] = {16, 22, 24, 32, 48, 64, 128, 256};

    // Adds the picture the full set would serve size with.
    void loadFor(const QSize &size)
    {
        const int wanted = std::max(size.width(), size.height());
        int side = kSides[std::size(kSides) - 1];
        for (int s : kSides) {
            if (s >= wanted) {
                side = s;
                break;
            }
        }
        if (m_loaded.contains(side))
            return;
        m_loaded.append(side);
        m_icon.addFile(u":/verarov/icon/%1.png"_s.arg(side), QSize(side, side));
    }

    QIcon m_icon;
    QList<int> m_loaded;
};

// A style's icon, asked of the style when it is first drawn or measured.
class DeferredStyleIcon final : public QIconEngine
{
public:
    DeferredStyleIcon(const QStyle *style, QStyle::StandardPixmap which, const QWidget *widget)
        : m_style(style), m_which(which), m_widget(widget)
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return u"verarov-deferred-style-icon"_s; }
    QIconEngine *clone() const override { return new DeferredStyleIcon(*this); }

private:
    const QIcon &icon()
    {
        if (!m_made) {
            m_made = true;
            if (m_style)
                m_icon = m_style->standardIcon(m_which, nullptr, m_widget);
        }
        return m_icon;
    }

    QPointer<const QStyle> m_style;
    QStyle::StandardPixmap m_which;
    QPointer<const QWidget> m_widget;
    bool m_made = false;
    QIcon m_icon;
};

// The application's style, drawing as the one it wraps.  Every menu bar
// makes a button for menus that do not fit, hidden unless they do not; its
// icon is read only when it is first needed: reading it loads every
// image-format plugin, which costs more than making the window's menus.
class ApplicationStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (!option
            && (which == SP_ToolBarHorizontalExtensionButton
                || which == SP_ToolBarVerticalExtensionButton))
            return QIcon(new DeferredStyleIcon(baseStyle(), which, widget));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

// Sets the program's icon on every window once the first window has been
// painted, then leaves.
class IconAfterFirstPaint final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            // After the painting under way, from the event loop.
            QTimer::singleShot(0, qApp, [] { QApplication::setWindowIcon(programIcon()); });
            deleteLater();
        }
        return false;
    }
};

} // namespace

QIcon programIcon()
{
    return QIcon(new ProgramIconEngine);
}

void prepareApplication(WindowIcon icon)
{
    QCoreApplication::setApplicationName(u"verarov"_s);
    QGuiApplication::setDesktopFileName(QString::fromUtf16(kDesktopId));
    if (icon == WindowIcon::Now)
        QApplication::setWindowIcon(programIcon());
    else
        qApp->installEventFilter(new IconAfterFirstPaint(qApp));
#ifdef Q_OS_WIN
    // The native style draws fields and lists with the system theme, not
    // their palette: the colours the user chose would not show.
    QApplication::setStyle(new ApplicationStyle(QStyleFactory::create(u"fusion"_s)));
#else
    QApplication::setStyle(new ApplicationStyle);
#endif
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

void createWindows(Dictionary::Tables dictionary, QString rawRadicals, const QString &commandLine,
                   std::function<QString()> radicalSource)
{
    Form1 = new TForm1(std::move(dictionary), std::move(rawRadicals));
    if (radicalSource)
        Form1->setRadicalSource(std::move(radicalSource));
    Form1->FormCreate(commandLine);
}

void destroyWindows()
{
    TForm3::destroyAll();
    delete Form1; // and with it the About box
    Form1 = nullptr;
    Form2 = nullptr;
}

std::unique_ptr<QThread> checkCache(const QString &path, const QString &cacheFile, QWidget *window,
                                    const std::atomic<bool> *stop)
{
    std::unique_ptr<QThread> worker(QThread::create([=, target = QPointer<QWidget>(window)] {
        if (Dictionary::cacheIntact(cacheFile, stop) || (stop && stop->load()))
            return;
        const QString said = Dictionary::rebuildDamagedCache(path, cacheFile);
        QMetaObject::invokeMethod(
                qApp, [said, target] { showError(target, said); }, Qt::QueuedConnection);
    }));
    // At idle priority: it never takes the processor from the window (the
    // first key press, its painting).
    worker->start(QThread::IdlePriority);
    return worker;
}

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
#ifdef VERAROV_HAVE_FONTCONFIG
    // Fontconfig reads its configuration and its font cache (about a third
    // of a bare window's start-up) on another core while the toolkit loads
    // its platform plugin; the first font asked for then finds it ready.
    // Qt's own call returns at once once it is done; done twice at once,
    // both would read, so the window waits for it before its first font.
    std::thread fontSetup([] { FcInit(); });
#endif
    QApplication app(toolkitArgc, toolkitArgv);
#ifdef VERAROV_HAVE_FONTCONFIG
    fontSetup.join();
#endif
    const QStringList arguments = programArguments(argc, argv);
    prepareApplication(WindowIcon::AfterFirstPaint);

    Dictionary::Loaded loaded = Dictionary::loadDictionary();
    if (!loaded.failure.isEmpty())
        showError(nullptr, loaded.failure);

    // The window reads the raw radical list when it first needs it; the
    // start-up benchmark measures start-up without it too.
    std::function<QString()> radicals;
    if (!qEnvironmentVariableIsSet("VERAROV_WITHOUT_RADICALS"))
        radicals = &Dictionary::builtInRadicalText;
    createWindows(std::move(loaded.tables), QString(), firstArgument(arguments),
                  std::move(radicals));
    Form1->show();
    // The cache an external dictionary was mapped from is checked once the
    // window is up.
    std::unique_ptr<QThread> cacheCheck;
    std::atomic<bool> ending = false;
    if (!loaded.cache.isEmpty()) {
        QTimer::singleShot(0, &app, [&] {
            cacheCheck = checkCache(loaded.path, loaded.cache, Form1, &ending);
        });
    }
    serveShownRequests(Form1);
    const int status = app.exec();
    ending = true;
    if (cacheCheck)
        cacheCheck->wait();
    // Every window lives until here.
    destroyWindows();
    return status;
}

} // namespace Verarov::App
