// Vocabulary report figures: throughput in the process and of the tool as a
// whole, against jieba making the same report (jieba.cut, then counting and
// ordering) in the same run, and the tool's peak memory on large inputs
// against the same tool on a small one (1000 MB unless sizes in MB are
// given: "bench_vocab 100 1000").  The text is the shared corpus (or the
// file named by VERAROV_CORPUS), the external dictionary the shared CFDICT
// (or the file named by VERAROV_DICTIONARY).
#include "median.h"
#include "processrun.h"
#include "dictionary/loader.h"
#include "io/input.h"
#include "translate/textdecoder.h"
#include "translate/translator.h"
#include "translate/vocabulary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;
using namespace Verarov;

namespace {

constexpr int kRuns = 7;

// The benchmark text: the file named by VERAROV_CORPUS, else the shared
// corpus, else headwords and ASCII at random.
QByteArray benchmarkText(QString *origin)
{
    QString path = qEnvironmentVariable("VERAROV_CORPUS");
    if (path.isEmpty())
        path = QStringLiteral(VERAROV_SHARED_DIR) + u"/corpus/public.txt"_s;
    QFile corpus(path);
    if (corpus.open(QIODevice::ReadOnly)) {
        *origin = QFileInfo(corpus).absoluteFilePath();
        return corpus.readAll();
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
    return text.toUtf8();
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

// Median seconds of the whole report in the process, from the file to the
// bytes of the report; the index is built once, outside the timing.
double timeReport(const Dictionary::Tables &tables, const QString &input, qint64 *distinct,
                  qint64 *reportBytes)
{
    Translate::Translator translator;
    const Translate::HeadwordIndex &index = translator.index(tables);
    std::vector<double> seconds;
    std::vector<char> block(1 << 18);
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        Translate::Vocabulary vocabulary(index);
        Translate::TextDecoder decoder;
        Io::InputFile in;
        if (in.open(input))
            return 0;
        for (qint64 got; (got = in.read(block.data(), qint64(block.size()))) > 0;) {
            if (!vocabulary.addBytes(decoder, block.data(), std::size_t(got)))
                return 0;
        }
        if (!vocabulary.endText(&decoder))
            return 0;
        const auto entries = vocabulary.entries();
        const QByteArray report =
                Translate::formatEntries(tables, entries, Translate::ReportFormat::Tsv)
                + Translate::formatUnknown(vocabulary.unknownCharacters(),
                                           Translate::ReportFormat::Tsv);
        const QString summary =
                Translate::summaryText(vocabulary.figures(), qint64(entries.size()));
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        *distinct = qint64(entries.size());
        *reportBytes = report.size() + summary.size();
    }
    return median(seconds);
}

// The tool's peak memory (KiB) and wall time, measured by peak_memory so
// that none of this program's memory is counted.
ProcessFigures peakMemory(const QStringList &arguments, const QList<QByteArray> &env)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QByteArray &setting : env) {
        const qsizetype equals = setting.indexOf('=');
        environment.insert(QString::fromLocal8Bit(setting.first(equals)),
                           QString::fromLocal8Bit(setting.sliced(equals + 1)));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PEAK_MEMORY_EXE),
                  QStringList{QStringLiteral(DATA_TOOL_EXE), u"vocab"_s} + arguments);
    ProcessFigures figures;
    if (!process.waitForFinished(-1))
        return figures;
    const QList<QByteArray> answer = process.readAllStandardOutput().trimmed().split(' ');
    figures.maxRssKiB = answer.value(0).toLong();
    figures.seconds = answer.value(1).toDouble();
    figures.exitCode = answer.value(2, "-1").toInt();
    return figures;
}

// Median figures of the tool run to its end (wall time, peak memory).
ProcessFigures timeTool(const QStringList &arguments, const QList<QByteArray> &env, int runs)
{
    std::vector<double> seconds;
    ProcessFigures last;
    for (int run = 0; run < runs; ++run) {
        last = runProcess(QStringLiteral(DATA_TOOL_EXE), QStringList{u"vocab"_s} + arguments, env);
        if (last.exitCode != 0)
            return last;
        seconds.push_back(last.seconds);
    }
    last.seconds = median(seconds);
    return last;
}

struct JiebaFigures
{
    double inProcess = -1; // cut and count, median
    double whole = -1;     // python started to its end, median
    qint64 distinct = 0;
    QString note;
};

// jieba making the same report: words counted, most frequent first, written
// as TSV; in the process (jieba's dictionary loaded before the timing) and
// as a whole process.
JiebaFigures timeJieba(const QString &utf8Path)
{
    JiebaFigures figures;
    QString python = u"/usr/bin/python3"_s;
    if (!QFileInfo(python).isExecutable())
        python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty()) {
        figures.note = u"python3 not found"_s;
        return figures;
    }
    const QString script = uR"(
import sys, time, logging, collections
try:
    import jieba
except ImportError:
    print("missing"); sys.exit(0)
jieba.setLogLevel(logging.WARNING)
jieba.initialize()
runs = int(sys.argv[2])
times = []
for _ in range(runs):
    t = time.perf_counter()
    text = open(sys.argv[1], encoding="utf-8").read()
    counts = collections.Counter(w for w in jieba.cut(text) if w.strip())
    report = "".join(f"{w}\t{n}\n" for w, n in counts.most_common())
    times.append(time.perf_counter() - t)
if runs > 1:
    times.sort()
    print(times[len(times) // 2], len(counts))
else:
    sys.stdout.write(report)
)"_s;
    QProcess process;
    process.start(python, {u"-c"_s, script, utf8Path, u"3"_s});
    if (!process.waitForFinished(900'000) || process.exitCode() != 0) {
        figures.note = u"jieba failed: "_s + QString::fromLocal8Bit(process.readAllStandardError());
        return figures;
    }
    const QStringList answer = QString::fromUtf8(process.readAllStandardOutput()).split(u' ');
    if (answer.value(0).trimmed() == u"missing"_s) {
        figures.note = u"jieba not installed for "_s + python;
        return figures;
    }
    figures.inProcess = answer.value(0).toDouble();
    figures.distinct = answer.value(1).trimmed().toLongLong();
    std::vector<double> whole;
    for (int run = 0; run < 3; ++run) {
        const ProcessFigures f = runProcess(python, {u"-c"_s, script, utf8Path, u"1"_s});
        if (f.exitCode != 0)
            return figures;
        whole.push_back(f.seconds);
    }
    figures.whole = median(whole);
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString origin;
    const QByteArray text = benchmarkText(&origin);
    const QString inputPath = dir.filePath(u"texte.txt"_s);
    writeFile(inputPath, text);
    const double megabytes = double(text.size()) / 1e6;
    std::printf("input: %s, %.2f MB of UTF-8\n", qPrintable(origin), megabytes);

    // The tool's caches in a folder of the run, never the user's.
    const QList<QByteArray> isolated{
            "XDG_CACHE_HOME=" + QFile::encodeName(dir.filePath(u"cache"_s)),
            "XDG_DATA_HOME=" + QFile::encodeName(dir.filePath(u"data"_s)), "VERAROV_DICTIONARY="};
    struct Dict
    {
        QString name;
        Dictionary::Tables tables;
        QList<QByteArray> env;
    };
    std::vector<Dict> dictionaries{{u"built-in"_s, Dictionary::builtIn(), isolated}};
    // A large external dictionary: VERAROV_DICTIONARY, else the shared one.
    QString cfdict = qEnvironmentVariable("VERAROV_DICTIONARY");
    if (cfdict.isEmpty())
        cfdict = QStringLiteral(VERAROV_SHARED_DIR) + u"/data/cfdict.u8"_s;
    if (QFile::exists(cfdict)) {
        Dictionary::Loaded loaded = Dictionary::loadExternal(cfdict);
        if (loaded.failure.isEmpty()) {
            QList<QByteArray> env = isolated;
            env.last() = "VERAROV_DICTIONARY=" + QFile::encodeName(cfdict);
            dictionaries.push_back({u"external"_s, loaded.tables, env});
        }
    } else {
        std::printf("external dictionary: absent, skipped\n");
    }

    const QString emptyPath = dir.filePath(u"vide.txt"_s);
    writeFile(emptyPath, {});
    const QString utf8Path = inputPath;
    const JiebaFigures jieba = timeJieba(utf8Path);
    if (jieba.inProcess < 0)
        std::printf("jieba: skipped (%s)\n", qPrintable(jieba.note));
    else
        std::printf("jieba.cut + counting (default mode): %.3f s in the process (%.2f MB/s, %lld"
                    " distinct words); %.3f s as a whole process\n",
                    jieba.inProcess, megabytes / jieba.inProcess, jieba.distinct, jieba.whole);

    for (const Dict &d : dictionaries) {
        qint64 distinct = 0;
        qint64 reportBytes = 0;
        const double ours = timeReport(d.tables, inputPath, &distinct, &reportBytes);
        // First run fills the cache of an external dictionary.
        timeTool({emptyPath}, d.env, 1);
        const ProcessFigures idle = timeTool({emptyPath}, d.env, kRuns);
        const ProcessFigures tool = timeTool({inputPath}, d.env, kRuns);
        std::printf("%-8s (%d entries): in the process %.3f s, %.1f MB/s (goal >= 30), %lld"
                    " distinct entries, report %.0f kB; the tool %.3f s, %.1f MB/s, of which"
                    " %.3f s start-up (same tool, empty input)\n",
                    qPrintable(d.name), d.tables.entryCount(), ours, megabytes / ours, distinct,
                    reportBytes / 1e3, tool.seconds, megabytes / tool.seconds, idle.seconds);
        if (jieba.inProcess > 0)
            std::printf("%-8s against jieba: %.1fx faster in the process, %.1fx as whole processes"
                        " (goal >= 10)\n",
                        qPrintable(d.name), jieba.inProcess / ours, jieba.whole / tool.seconds);
    }

    // Peak memory of the tool on large inputs, against the same tool on the
    // benchmark text and on an empty one, in the same run.
    QList<int> sizesMB;
    for (int i = 1; i < argc; ++i)
        sizesMB.append(QByteArray(argv[i]).toInt());
    if (sizesMB.isEmpty())
        sizesMB.append(1000);
    const QString bigPath = dir.filePath(u"grand.txt"_s);
    for (const Dict &d : dictionaries) {
        const ProcessFigures idle = peakMemory({emptyPath}, d.env);
        const ProcessFigures small = peakMemory({inputPath}, d.env);
        std::printf("peak memory (%s): %.1f MB on an empty input, %.1f MB on %.1f MB\n",
                    qPrintable(d.name), idle.maxRssKiB / 1024.0, small.maxRssKiB / 1024.0,
                    megabytes);
    }
    for (const int size : sizesMB) {
        const int copies = int(qint64(size) * 1'000'000 / text.size()) + 1;
        if (!writeFile(bigPath, text, copies)) {
            std::printf("cannot write %d MB\n", size);
            continue;
        }
        const double bigMB = double(text.size()) * copies / 1e6;
        for (const Dict &d : dictionaries) {
            const ProcessFigures idle = peakMemory({emptyPath}, d.env);
            const ProcessFigures big = peakMemory({bigPath}, d.env);
            if (big.exitCode != 0)
                std::printf("the tool failed on %.0f MB\n", bigMB);
            std::printf("peak memory (%s): %.1f MB on %.0f MB (%.1f MB/s); %.1f MB above the empty"
                        " input\n",
                        qPrintable(d.name), big.maxRssKiB / 1024.0, bigMB, bigMB / big.seconds,
                        (big.maxRssKiB - idle.maxRssKiB) / 1024.0);
        }
        QFile::remove(bigPath);
    }
    return 0;
}
