// Handwriting recognition: accuracy over the 3,500 level-1 characters of the
// Table of General Standard Chinese Characters, each drawn from its own
// median lines after a random deformation (scale and shear up to 15 %,
// jitter of 3 % of the box, strokes resampled to 8-40 points), as written,
// with a stroke left out, and with two neighbouring strokes swapped; the
// time of one recognition of a 12-stroke character (median of all of them)
// against the time of the plain resampling of its input; the memory the
// data and the recogniser take.
//
// bench_recognise [SEED]
#include "median.h"
#include "strokes/deformation.h"
#include "strokes/recogniser.h"
#include "strokes/strokedata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <random>
#include <time.h>
#include <vector>

using namespace Verarov::Strokes;

namespace {

// Resident memory of this process, KiB (Linux; 0 elsewhere).
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Processor time of this thread, ms: the machine may be shared, so wall
// time would measure the neighbours too.
double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const unsigned seed = argc > 1 ? unsigned(QByteArray(argv[1]).toULong()) : 20261208u;
    const long before = residentKiB();
    StrokeData data;
    if (!data.open(StrokeData::defaultPath())) {
        std::fprintf(stderr, "%s\n", qPrintable(data.errorString()));
        return 1;
    }
    QElapsedTimer load;
    load.start();
    const Recogniser recogniser(data);
    const double loadMs = load.nsecsElapsed() / 1e6;

    std::vector<int> level1;
    for (int i = 0; i < data.count(); ++i)
        if (data.level(i) == 1)
            level1.push_back(i);

    std::mt19937 random(seed);
    const Deformation how;
    struct Score
    {
        int top1 = 0, top10 = 0, n = 0;
    };
    Score plain, dropped, swapped;
    std::vector<double> times12, baseline12;
    const auto score = [&](const Recogniser::Strokes &strokes, char32_t expected, Score *s,
                           bool timed) {
        const double start = cpuMs();
        const QList<Recogniser::Candidate> found = recogniser.recognise(strokes, 10);
        if (timed)
            times12.push_back(cpuMs() - start);
        ++s->n;
        for (qsizetype k = 0; k < found.size(); ++k) {
            if (found[k].codePoint == expected) {
                s->top1 += k == 0;
                ++s->top10;
                break;
            }
        }
    };
    for (const int i : level1) {
        const QList<QList<QPointF>> medians = data.medians(i);
        const Recogniser::Strokes drawn = deform(medians, how, random);
        score(drawn, data.codePoint(i), &plain, drawn.size() == 12);
        if (drawn.size() == 12) {
            // Baseline: copying and resampling the input alone.
            const double start = cpuMs();
            const Recogniser::Strokes again = deform(medians, how, random);
            baseline12.push_back(cpuMs() - start + 0 * double(again.size()));
        }
        if (drawn.size() > 1) {
            score(dropStroke(drawn, random), data.codePoint(i), &dropped, false);
            score(swapNeighbours(drawn, random), data.codePoint(i), &swapped, false);
        }
    }
    const long after = residentKiB();
    const auto pc = [](int a, int n) { return n ? 100.0 * a / n : 0.0; };
    std::printf("seed %u, %zu level-1 characters of %d in the data\n", seed, level1.size(),
                data.count());
    std::printf("as drawn:          top-1 %.1f %%  top-10 %.1f %%  (%d)\n", pc(plain.top1, plain.n),
                pc(plain.top10, plain.n), plain.n);
    std::printf("a stroke left out: top-1 %.1f %%  top-10 %.1f %%  (%d)\n",
                pc(dropped.top1, dropped.n), pc(dropped.top10, dropped.n), dropped.n);
    std::printf("two swapped:       top-1 %.1f %%  top-10 %.1f %%  (%d)\n",
                pc(swapped.top1, swapped.n), pc(swapped.top10, swapped.n), swapped.n);
    std::printf("12 strokes: median %.2f ms (processor time) a recognition (%zu characters), "
                "%.1f times the making of the input (%.3f ms)\n",
                median(times12), times12.size(),
                median(baseline12) > 0 ? median(times12) / median(baseline12) : 0.0,
                median(baseline12));
    std::printf("recogniser built in %.0f ms; resident memory of data and recogniser %ld KiB\n",
                loadMs, after - before);
    return 0;
}
