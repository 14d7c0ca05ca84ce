// Start-up of verarov up to its main window shown, against a bare Qt
// Widgets program showing one window, empty or with one line of Latin and
// Chinese text, measured in one run, interleaved: on the offscreen platform,
// and on X11 (xcb) under an Xvfb server of its own when Xvfb is installed.
// verarov starts as a returning user's does (a full settings store, French
// interface), and also: without its raw radical list (nothing to split at
// start); in the Chinese interface; as a first start (no store: the default
// colours are written); with a large external dictionary when one is at
// hand, and then the first key press typed in each lookup field the moment
// the window appears (handled and painted).  Then the import of that
// dictionary by the data tool.
//
//   bench_startup [runs]      (default 15)

#include "processrun.h"
#include "settings/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

struct Series
{
    QList<double> seconds;
    long maxRssKiB = 0;
    bool failed = false;
};

Series measure(const QString &program, const QStringList &arguments, const QList<QByteArray> &env,
               int runs)
{
    Series s;
    for (int i = 0; i < runs; ++i) {
        const ProcessFigures f = runProcess(program, arguments, env);
        s.failed = s.failed || f.exitCode != 0;
        // Up to the window shown when the program says so, else to its end.
        s.seconds.append(f.shownSeconds >= 0 ? f.shownSeconds : f.seconds);
        s.maxRssKiB = std::max(s.maxRssKiB, f.maxRssKiB);
    }
    return s;
}

// An X server of our own (Xvfb) for the xcb series; not running when Xvfb
// is not installed or does not start.  It does not reset when its last
// client leaves (-noreset), as a desktop's server never does: a reset
// reloads the keymap (running xkbcomp) and the GL driver, about 80 ms of
// the server's time, and the next client waits for it to connect; in the
// loop below that wait fell on every xcb run that followed another, never
// on the first of an iteration, and so weighed on one program only.
class XServer
{
public:
    XServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        if (xvfb.isEmpty())
            return;
        for (int display = 90 + int(QCoreApplication::applicationPid() % 50); display < 200;
             ++display) {
            const QString socket = u"/tmp/.X11-unix/X%1"_s.arg(display);
            if (QFile::exists(socket) || QFile::exists(u"/tmp/.X%1-lock"_s.arg(display)))
                continue;
            m_server.start(xvfb, {u":%1"_s.arg(display), u"-screen"_s, u"0"_s, u"1024x768x24"_s,
                                  u"-nolisten"_s, u"tcp"_s, u"-noreset"_s});
            m_server.waitForStarted();
            for (int wait = 0; wait < 200 && m_server.state() == QProcess::Running; ++wait) {
                if (QFile::exists(socket)) {
                    m_display = ":" + QByteArray::number(display);
                    return;
                }
                QThread::msleep(50);
            }
            stop();
        }
    }
    ~XServer() { stop(); }

    bool running() const { return !m_display.isEmpty(); }
    QList<QByteArray> environment() const
    {
        return {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + m_display};
    }

private:
    void stop()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(3000);
        }
        m_display.clear();
    }

    QProcess m_server;
    QByteArray m_display;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString verarov = QStringLiteral(VERAROV_EXE);
    const QString bare = QStringLiteral(BARE_EXE);
    const QString tool = QStringLiteral(DATA_TOOL_EXE);
    const QString cfdict = QStringLiteral(VERAROV_SHARED_DIR "/data/cfdict.u8");
    QTemporaryDir home;
    const QList<QByteArray> folders = {
            "QT_QPA_PLATFORM=offscreen", "XDG_DATA_HOME=" + home.path().toLocal8Bit(),
            "XDG_CACHE_HOME=" + home.filePath(u"cache"_s).toLocal8Bit(),
            // settings never in the user's own folder; series below
            // name a folder of their own
            "XDG_CONFIG_HOME=" + home.filePath(u"config"_s).toLocal8Bit()};
    const QList<QByteArray> common = folders + QList<QByteArray>{"VERAROV_QUIT_WHEN_SHOWN=1"};
    const QByteArray useExternal = "VERAROV_DICTIONARY=" + cfdict.toLocal8Bit();
    QTextStream out(stdout);

    // The first start with an external dictionary compiles it and caches the
    // result; the runs below then start from the cache.
    const bool haveExternal = QFile::exists(cfdict);
    const Series cold = haveExternal
                                ? measure(verarov, {}, common + QList<QByteArray>{useExternal}, 1)
                                : Series{};

    // A full settings store in the Chinese interface: every colour stored,
    // "langue" "ch".
    const QString fullConfig = home.filePath(u"config-full"_s);
    const Verarov::Settings::Store full(fullConfig + u"/Duvuduz_ivod.conf"_s);
    if (!full.writeDefaults().isEmpty()
        || !full.writeLanguage(Verarov::Settings::Language::Chinese).isEmpty()) {
        out << "cannot write the settings store in " << fullConfig << "\n";
        return 1;
    }
    const QList<QByteArray> fullStore = {"XDG_CONFIG_HOME=" + fullConfig.toLocal8Bit()};
    // The same colours in the French interface.
    const QString frenchConfig = home.filePath(u"config-french"_s);
    const Verarov::Settings::Store french(frenchConfig + u"/Duvuduz_ivod.conf"_s);
    if (!french.writeDefaults().isEmpty()
        || !french.writeLanguage(Verarov::Settings::Language::French).isEmpty()) {
        out << "cannot write the settings store in " << frenchConfig << "\n";
        return 1;
    }
    const QList<QByteArray> frenchStore = {"XDG_CONFIG_HOME=" + frenchConfig.toLocal8Bit()};

    // Interleave the programs so that machine noise hits them alike.  Runs
    // without a store get an empty configuration folder each time: every
    // one is a first start, which writes the default colours.
    Series bareSeries, textSeries, builtIn, noRadicals, firstStart, chinese, external;
    // The same comparison on X11.
    const XServer x;
    Series xText, xBuiltIn, xChinese;
    // The first key press in each lookup field, typed as the window appears.
    struct KeySeries
    {
        const char *field;
        const char *text;
        QList<double> seconds;
    };
    KeySeries keySeries[] = {
            {"liste_dico_ch", "一", {}}, {"liste_pin_ss_accent", "a", {}}, {"liste_fr", "a", {}}};
    bool keysFailed = false;
    for (int i = 0; i < runs; ++i) {
        auto add = [](Series &into, const Series &one) {
            into.seconds += one.seconds;
            into.maxRssKiB = std::max(into.maxRssKiB, one.maxRssKiB);
            into.failed = into.failed || one.failed;
        };
        auto noStore = [&home, i](const char *name) {
            return QList<QByteArray>{
                    "XDG_CONFIG_HOME="
                    + home.filePath(u"config-%1-%2"_s.arg(QLatin1StringView(name)).arg(i))
                              .toLocal8Bit()};
        };
        add(bareSeries, measure(bare, {}, common + noStore("bare"), 1));
        add(textSeries, measure(bare, {u"--text"_s}, common + noStore("text"), 1));
        add(builtIn, measure(verarov, {}, common + frenchStore, 1));
        add(noRadicals,
            measure(verarov, {},
                    common + frenchStore + QList<QByteArray>{"VERAROV_WITHOUT_RADICALS=1"}, 1));
        add(firstStart, measure(verarov, {}, common + noStore("first"), 1));
        add(chinese, measure(verarov, {}, common + fullStore, 1));
        if (x.running()) {
            add(xText,
                measure(bare, {u"--text"_s}, common + noStore("xtext") + x.environment(), 1));
            add(xBuiltIn, measure(verarov, {}, common + frenchStore + x.environment(), 1));
            add(xChinese, measure(verarov, {}, common + fullStore + x.environment(), 1));
        }
        if (haveExternal) {
            add(external,
                measure(verarov, {}, common + frenchStore + QList<QByteArray>{useExternal}, 1));
            for (KeySeries &k : keySeries) {
                const QByteArray typed =
                        "VERAROV_KEY_WHEN_SHOWN=" + QByteArray(k.field) + ':' + k.text;
                const ProcessFigures f = runProcess(
                        verarov, {}, folders + frenchStore + QList<QByteArray>{useExternal, typed});
                const qint64 ns = printedValue(f.output, "key");
                keysFailed = keysFailed || f.exitCode != 0 || ns < 0;
                k.seconds.append(ns / 1e9);
            }
        }
    }
    const double b = median(bareSeries.seconds);
    out << "runs: " << runs << "\n";
    out << "bare Qt window:        " << b * 1000 << " ms median, peak "
        << bareSeries.maxRssKiB / 1024.0 << " MiB\n";
    const double t = median(textSeries.seconds);
    out << "offscreen:\n";
    out << "bare window with text: " << t * 1000 << " ms median, ratio " << t / b
        << " (for context: fonts loaded)\n";
    out << "verarov (built-in, full settings store, French): " << median(builtIn.seconds) * 1000
        << " ms median, peak " << builtIn.maxRssKiB / 1024.0 << " MiB, ratio "
        << median(builtIn.seconds) / b << ", to the bare window with text "
        << median(builtIn.seconds) / t << " (target <= 1.3)\n";
    out << "verarov without radicals: " << median(noRadicals.seconds) * 1000
        << " ms median; with the radical lists built: ratio "
        << median(builtIn.seconds) / median(noRadicals.seconds) << " (target <= 1.1)\n";
    out << "verarov, first start (no settings store): " << median(firstStart.seconds) * 1000
        << " ms median\n";
    out << "verarov (full settings store, Chinese interface): " << median(chinese.seconds) * 1000
        << " ms median, ratio to the start without a store "
        << median(chinese.seconds) / median(firstStart.seconds)
        << " (target <= 1.1), to the French interface "
        << median(chinese.seconds) / median(builtIn.seconds) << ", to the bare window with text "
        << median(chinese.seconds) / t << "\n";
    if (x.running()) {
        const double xt = median(xText.seconds);
        out << "xcb (Xvfb):\n";
        out << "bare window with text: " << xt * 1000 << " ms median\n";
        out << "verarov (built-in, full settings store, French): "
            << median(xBuiltIn.seconds) * 1000 << " ms median, ratio to the bare window with text "
            << median(xBuiltIn.seconds) / xt << " (target <= 1.3)\n";
        out << "verarov (full settings store, Chinese interface): "
            << median(xChinese.seconds) * 1000 << " ms median, ratio to the bare window with text "
            << median(xChinese.seconds) / xt << "\n";
    } else {
        out << "xcb: no Xvfb server could be started: skipped\n";
    }
    if (haveExternal) {
        out << "verarov (cfdict.u8):   " << median(external.seconds) * 1000 << " ms median, peak "
            << external.maxRssKiB / 1024.0 << " MiB, ratio " << median(external.seconds) / b
            << " (target <= 3), memory ratio " << double(external.maxRssKiB) / bareSeries.maxRssKiB
            << " (aim < 3)\n";
        for (const KeySeries &k : keySeries) {
            out << "verarov (cfdict.u8), first key press in " << k.field
                << " typed as the window appears, handled and painted: " << median(k.seconds) * 1000
                << " ms median (target < 5)\n";
        }
        out << "verarov (cfdict.u8), first start, no cache: " << median(cold.seconds) * 1000
            << " ms, peak " << cold.maxRssKiB / 1024.0 << " MiB\n";
        // The import itself: no cache, so each run parses, derives and sorts.
        Series exportSeries;
        for (int i = 0; i < std::max(3, runs / 3); ++i) {
            QTemporaryDir cache;
            const Series one =
                    measure(tool, {u"export"_s, home.filePath(u"lists"_s)},
                            {useExternal, "XDG_CACHE_HOME=" + cache.path().toLocal8Bit()}, 1);
            exportSeries.seconds += one.seconds;
            exportSeries.failed = exportSeries.failed || one.failed;
        }
        out << "verarov-data export (cfdict.u8, no cache): " << median(exportSeries.seconds) * 1000
            << " ms median (target < 1000)\n";
    } else {
        out << "no external dictionary at " << cfdict << ": skipped\n";
    }
    const bool failed = bareSeries.failed || builtIn.failed || noRadicals.failed
                        || firstStart.failed || chinese.failed || external.failed || keysFailed
                        || xText.failed || xBuiltIn.failed || xChinese.failed;
    if (failed)
        out << "a run failed\n";
    return failed ? 1 : 0;
}
