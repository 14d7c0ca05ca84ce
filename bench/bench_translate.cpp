// File translation figures, on the shared corpus repeated to about 6 MB of
// UTF-16LE (or generated text):
// - in the process: throughput against reading the input and writing an
//   output of the same size through the same buffered files;
// - as whole processes, interleaved in one run: "verarov TINYFILE" against
//   the program's start-up to its window shown, "verarov BIGFILE" against
//   "cat BIGFILE >/dev/null; cat OUTPUT-SIZED-FILE >COPY" (and the same with
//   the copy stored on disk, as the program stores its output), and against
//   jieba.cut over the same text;
// - the program's peak memory on large inputs.
//
//   bench_translate [--each] [--whole-only] [SIZE_MB...]
//     --each        every run's figure of the whole-process series, not only their medians
//     --whole-only  the whole-process series alone (no in-process figures, no jieba)
//     SIZE_MB       input sizes of the peak memory runs (200 unless given; 0 for none)
#include "median.h"
#include "processrun.h"
#include "io/input.h"
#include "io/output.h"
#include "translate/headwordindex.h"
#include "dictionary/loader.h"
#include "translate/translator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace Verarov;

namespace {

constexpr int kRuns = 5;
constexpr int kProcessRuns = 15;
constexpr qsizetype kBigFileBytes = 6'000'000;

QByteArray utf16le(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        bytes[2 * i] = char(text[i].unicode() & 0xff);
        bytes[2 * i + 1] = char(text[i].unicode() >> 8);
    }
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes, int copies = 1)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (int i = 0; i < copies; ++i) {
        if (file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

// The benchmark text: the shared corpus, or headwords and ASCII at random.
QString benchmarkText(QString *origin)
{
    QFile corpus(QStringLiteral(VERAROV_SHARED_DIR) + u"/corpus/public.txt"_s);
    if (corpus.open(QIODevice::ReadOnly)) {
        *origin = QFileInfo(corpus).absoluteFilePath();
        return QString::fromUtf8(corpus.readAll());
    }
    *origin = u"generated text"_s;
    const Dictionary::Tables tables = Dictionary::builtIn();
    QRandomGenerator random(7);
    QString text;
    while (text.size() < 1'500'000) {
        if (random.bounded(4) == 0)
            text += u"abc 123, "_s;
        else
            text += tables.headword(int(random.bounded(tables.entryCount())));
        if (random.bounded(30) == 0)
            text += u'\n';
    }
    return text;
}

// Median seconds of a translation; *outputSize gets the output's size.
double timeTranslation(const Dictionary::Tables &tables, const QString &input, qint64 *outputSize,
                       qint64 *entries)
{
    Translate::Translator translator;
    translator.index(tables); // the view over the dictionary's trie, made once
    std::vector<double> seconds;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const Translate::Outcome outcome = translator.translate(tables, input);
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        if (!outcome.ok()) {
            std::printf("translation failed: %s\n", qPrintable(outcome.error));
            return 0;
        }
        *entries = outcome.entriesWritten;
    }
    *outputSize = QFileInfo(Translate::outputFileName(input)).size();
    return median(seconds);
}

// Median seconds of reading the input and writing outputSize bytes, through
// the same buffered files.
double timeCopy(const QString &input, const QString &output, qint64 outputSize)
{
    std::vector<double> seconds;
    std::vector<char> block(1 << 18);
    const QString filler(1 << 16, u'好');
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        Io::InputFile in;
        Io::OutputFile out;
        if (in.open(input) || out.create(output))
            return 0;
        while (in.read(block.data(), qint64(block.size())) > 0) { }
        for (qint64 left = outputSize / 2; left > 0; left -= filler.size())
            out.write(QStringView(filler).first(qMin<qint64>(left, filler.size())));
        if (out.close() || out.commit())
            return 0;
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    return median(seconds);
}

// Median seconds of jieba.cut over the text, or -1 when it cannot run.
double timeJieba(const QString &utf8Path, QString *note)
{
    QString python = u"/usr/bin/python3"_s;
    if (!QFileInfo(python).isExecutable())
        python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty()) {
        *note = u"python3 not found"_s;
        return -1;
    }
    const QString script = uR"(
import sys, time, logging
try:
    import jieba
except ImportError:
    print("missing"); sys.exit(0)
jieba.setLogLevel(logging.WARNING)
jieba.initialize()
text = open(sys.argv[1], encoding="utf-8").read()
times = []
for _ in range(int(sys.argv[2])):
    t = time.perf_counter()
    for w in jieba.cut(text):
        pass
    times.append(time.perf_counter() - t)
times.sort()
print(times[len(times) // 2])
)"_s;
    QProcess process;
    process.start(python, {u"-c"_s, script, utf8Path, u"3"_s});
    if (!process.waitForFinished(600'000) || process.exitCode() != 0) {
        *note = u"jieba failed: "_s + QString::fromLocal8Bit(process.readAllStandardError());
        return -1;
    }
    const QString answer = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (answer == u"missing"_s) {
        *note = u"jieba not installed for "_s + python;
        return -1;
    }
    return answer.toDouble();
}

// Peak resident memory (KiB) of the program run to its end, measured by
// the small program peak_memory ("<KiB> <seconds> <exit status>"); -1 when
// it failed.
long peakMemory(const QString &program, const QStringList &arguments,
                const QList<QByteArray> &environment)
{
    const ProcessFigures f = runProcess(QStringLiteral(PEAK_MEMORY_EXE),
                                        QStringList{program} + arguments, environment);
    const QList<QByteArray> figures = f.output.trimmed().split(' ');
    if (f.exitCode != 0 || figures.size() != 3 || figures[2] != "0")
        return -1;
    return figures[0].toLong();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool each = false;
    bool wholeOnly = false;
    bool sizesGiven = false;
    QList<int> sizesMB;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        bool isNumber = false;
        const int megabytes = argument.toInt(&isNumber);
        if (argument == "--each") {
            each = true;
        } else if (argument == "--whole-only") {
            wholeOnly = true;
        } else if (isNumber && megabytes >= 0) {
            sizesGiven = true;
            if (megabytes > 0)
                sizesMB.append(megabytes);
        } else {
            std::printf("usage: bench_translate [--each] [--whole-only] [SIZE_MB...]\n");
            return 2;
        }
    }
    if (!sizesGiven)
        sizesMB.append(200);
    QTemporaryDir dir;
    // The program's settings and cache in folders of the run's own, for
    // this process (which loads the dictionaries too) and the programs it
    // starts.
    const QList<QByteArray> folders = {"XDG_DATA_HOME=" + dir.filePath(u"data"_s).toLocal8Bit(),
                                       "XDG_CACHE_HOME=" + dir.filePath(u"cache"_s).toLocal8Bit(),
                                       "XDG_CONFIG_HOME="
                                               + dir.filePath(u"config"_s).toLocal8Bit()};
    for (const QByteArray &setting : folders)
        qputenv(setting.first(setting.indexOf('=')).constData(),
                setting.sliced(setting.indexOf('=') + 1));
    QString origin;
    const QString once = benchmarkText(&origin);
    const QString text =
            once.repeated(qMax<qsizetype>(1, (kBigFileBytes / 2 + once.size() - 1) / once.size()));
    const QByteArray input = utf16le(text);
    const QString inputPath = dir.filePath(u"texte.txt"_s);
    writeFile(inputPath, input);
    std::printf("input: %s (%lldx), %.1f MB as UTF-16LE\n", qPrintable(origin),
                static_cast<long long>(text.size() / once.size()), double(input.size()) / 1e6);

    struct Dict
    {
        QString name;
        Dictionary::Tables tables;
    };
    std::vector<Dict> dictionaries{{u"built-in"_s, Dictionary::builtIn()}};
    const QString cfdict = QStringLiteral(VERAROV_SHARED_DIR) + u"/data/cfdict.u8"_s;
    if (QFile::exists(cfdict)) {
        Dictionary::Loaded loaded = Dictionary::loadExternal(cfdict);
        if (loaded.failure.isEmpty())
            dictionaries.push_back({u"cfdict"_s, loaded.tables});
    } else {
        std::printf("cfdict: absent, skipped\n");
    }

    double builtInSeconds = 0;
    for (const Dict &d : dictionaries) {
        if (wholeOnly)
            break;
        qint64 outputSize = 0;
        qint64 entries = 0;
        const double ours = timeTranslation(d.tables, inputPath, &outputSize, &entries);
        const double copy = timeCopy(inputPath, dir.filePath(u"copie.txt"_s), outputSize);
        if (d.name == u"built-in"_s)
            builtInSeconds = ours;
        std::printf("%-8s (%d entries): %.1f MB/s of input, %.3f s, %lld lines, output %.1f MB;"
                    " read+write same sizes %.3f s; ratio %.2f (goal <= 3)\n",
                    qPrintable(d.name), d.tables.entryCount(), double(input.size()) / 1e6 / ours,
                    ours, entries, double(outputSize) / 1e6, copy, ours / copy);
    }

    // The program as a user runs it, whole processes interleaved: start-up
    // to the window shown, a translation of two bytes, of the big input, and
    // the file copies of the same sizes.
    const QString program = QStringLiteral(VERAROV_EXECUTABLE);
    const QString tinyPath = dir.filePath(u"petit.txt"_s);
    writeFile(tinyPath, utf16le(u"好"_s));
    const QString copyPath = dir.filePath(u"copie-cat.txt"_s);
    const QString cat = QStandardPaths::findExecutable(u"cat"_s);
    const QString sync = QStandardPaths::findExecutable(u"sync"_s);
    struct ProcessSeries
    {
        QString sizedPath; // a file of the size of this dictionary's output
        QList<double> shown, shownExit, tiny, big, copies, storedCopies;
    };
    std::vector<ProcessSeries> processSeries(dictionaries.size());
    bool processFailed = false;
    auto environment = [&](const Dict &d) {
        QList<QByteArray> env = folders + QList<QByteArray>{"QT_QPA_PLATFORM=offscreen"};
        if (d.name == u"cfdict"_s)
            env.append("VERAROV_DICTIONARY=" + cfdict.toLocal8Bit());
        return env;
    };
    for (std::size_t i = 0; i < dictionaries.size(); ++i) {
        // The first start with an external dictionary caches it.
        processFailed |=
                runProcess(program, {inputPath}, environment(dictionaries[i])).exitCode != 0;
        processSeries[i].sizedPath = dir.filePath(u"taille-%1.txt"_s.arg(dictionaries[i].name));
        QFile::copy(Translate::outputFileName(inputPath), processSeries[i].sizedPath);
    }
    // Each run that writes much starts with nothing left to store: what the
    // run before it wrote is stored first (an untimed "sync").
    auto settle = [&] { processFailed |= runProcess(sync, {}).exitCode != 0; };
    // "cat BIGFILE >/dev/null; cat OUTPUT-SIZED-FILE >COPY" (then "sync COPY").
    auto copyTime = [&](const QString &sizedPath, bool store) {
        settle();
        const ProcessFigures in = runProcess(cat, {inputPath}, {}, true, u"/dev/null"_s);
        const ProcessFigures out = runProcess(cat, {sizedPath}, {}, true, copyPath);
        const ProcessFigures stored = store ? runProcess(sync, {copyPath}) : ProcessFigures{};
        processFailed |= in.exitCode != 0 || out.exitCode != 0 || (store && stored.exitCode != 0);
        return in.seconds + out.seconds + stored.seconds;
    };
    // The machine is shared: its load says how far to trust the figures.
    const auto loadAverage = [] {
        QFile load(u"/proc/loadavg"_s);
        return load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray("?");
    };
    const QByteArray loadBefore = loadAverage();
    for (int run = 0; run < kProcessRuns && !processFailed; ++run) {
        for (std::size_t i = 0; i < dictionaries.size(); ++i) {
            ProcessSeries &p = processSeries[i];
            const QList<QByteArray> env = environment(dictionaries[i]);
            const ProcessFigures shown =
                    runProcess(program, {}, env + QList<QByteArray>{"VERAROV_QUIT_WHEN_SHOWN=1"});
            const ProcessFigures tiny = runProcess(program, {tinyPath}, env);
            settle();
            const ProcessFigures big = runProcess(program, {inputPath}, env);
            processFailed |= shown.exitCode != 0 || shown.shownSeconds < 0 || tiny.exitCode != 0
                             || big.exitCode != 0;
            p.shown.append(shown.shownSeconds);
            p.shownExit.append(shown.seconds);
            p.tiny.append(tiny.seconds);
            p.big.append(big.seconds);
            p.copies.append(copyTime(p.sizedPath, false));
            p.storedCopies.append(copyTime(p.sizedPath, true));
        }
    }
    if (processFailed) {
        std::printf("whole processes: a run failed\n");
        return 1;
    }
    std::printf("whole processes, %d interleaved runs, medians (fastest run in brackets);"
                " load average before %s, after %s:\n",
                kProcessRuns, loadBefore.constData(), loadAverage().constData());
    const auto fastest = [](const QList<double> &series) {
        return *std::min_element(series.begin(), series.end());
    };
    double cfdictBig = 0;
    for (std::size_t i = 0; i < dictionaries.size(); ++i) {
        const ProcessSeries &p = processSeries[i];
        const double shown = median(p.shown);
        const double tiny = median(p.tiny);
        const double big = median(p.big);
        const double copy = median(p.copies);
        const double storedCopy = median(p.storedCopies);
        if (dictionaries[i].name == u"cfdict"_s)
            cfdictBig = big;
        if (each) {
            const auto list = [&](const char *what, const QList<double> &series) {
                std::printf("    %s %s, ms:", qPrintable(dictionaries[i].name), what);
                for (const double x : series)
                    std::printf(" %.0f", x * 1000);
                std::printf("\n");
            };
            list("start-up to the window shown", p.shown);
            list("verarov TINYFILE", p.tiny);
            list("verarov BIGFILE", p.big);
            list("copies", p.copies);
            list("copies stored", p.storedCopies);
        }
        std::printf("  %s: start-up to the window shown %.1f ms (to its end %.1f ms);"
                    " verarov TINYFILE %.1f ms, ratio %.2f (goal <= 1.15)\n",
                    qPrintable(dictionaries[i].name), shown * 1000, median(p.shownExit) * 1000,
                    tiny * 1000, tiny / shown);
        std::printf("  %s: verarov BIGFILE %.1f ms (%.1f); cat BIGFILE >/dev/null; cat"
                    " OUTPUT-SIZED-FILE >COPY %.1f ms (%.1f), ratio %.2f (goal <= 3; fastest runs"
                    " %.2f); the same then sync COPY %.1f ms (%.1f), ratio %.2f\n",
                    qPrintable(dictionaries[i].name), big * 1000, fastest(p.big) * 1000,
                    copy * 1000, fastest(p.copies) * 1000, big / copy,
                    fastest(p.big) / fastest(p.copies), storedCopy * 1000,
                    fastest(p.storedCopies) * 1000, big / storedCopy);
    }

    // jieba on the same text, read as UTF-8.
    const QString utf8Path = dir.filePath(u"texte.utf8"_s);
    writeFile(utf8Path, text.toUtf8());
    QString note;
    const double jieba = wholeOnly ? -1 : timeJieba(utf8Path, &note);
    if (wholeOnly)
        note = u"--whole-only"_s;
    if (jieba < 0) {
        std::printf("jieba: skipped (%s)\n", qPrintable(note));
    } else {
        std::printf("jieba.cut (default mode, in its process, dictionary loaded beforehand):"
                    " %.3f s, %.2f MB/s of UTF-16 input; ours in the process (built-in) is %.1fx"
                    " faster\n",
                    jieba, double(input.size()) / 1e6 / jieba, jieba / builtInSeconds);
        if (cfdictBig > 0) {
            std::printf("  verarov BIGFILE with cfdict, whole process, is %.1fx faster"
                        " (goal >= 15)\n",
                        jieba / cfdictBig);
        }
    }

    // Peak memory of the program translating large inputs, against the
    // same program started without input, in the same run.
    const QString bigPath = dir.filePath(u"grand.txt"_s);
    for (const int megabytes : sizesMB) {
        const int copies = int(qint64(megabytes) * 1'000'000 / input.size()) + 1;
        writeFile(bigPath, input, copies);
        for (const Dict &d : dictionaries) {
            const QList<QByteArray> env = environment(d);
            const long idle =
                    peakMemory(program, {}, env + QList<QByteArray>{"VERAROV_QUIT_WHEN_SHOWN=1"});
            const long busy = peakMemory(program, {bigPath}, env);
            QFile::remove(Translate::outputFileName(bigPath));
            std::printf("peak memory (%s): %.1f MB without input, %.1f MB translating %.0f MB;"
                        " difference %.1f MB (goal <= 10)\n",
                        qPrintable(d.name), idle / 1024.0, busy / 1024.0,
                        double(input.size()) * copies / 1e6, (busy - idle) / 1024.0);
        }
        QFile::remove(bigPath);
    }
    return 0;
}
