#include "strokes/deformation.h"

#include <cmath>

namespace Verarov::Strokes {

namespace {

double uniform(std::mt19937 &random, double a, double b)
{
    return std::uniform_real_distribution<double>(a, b)(random);
}

// `n` points evenly spaced along the polyline.
QList<QPointF> resample(const QList<QPointF> &line, int n)
{
    double length = 0;
    for (qsizetype i = 1; i < line.size(); ++i)
        length += std::hypot(line[i].x() - line[i - 1].x(), line[i].y() - line[i - 1].y());
    QList<QPointF> out;
    if (line.isEmpty())
        return out;
    qsizetype seg = 1;
    double before = 0; // length up to line[seg - 1]
    for (int k = 0; k < n; ++k) {
        const double at = n > 1 ? length * k / (n - 1) : 0;
        while (seg < line.size() - 1) {
            const double l = std::hypot(line[seg].x() - line[seg - 1].x(),
                                        line[seg].y() - line[seg - 1].y());
            if (before + l >= at)
                break;
            before += l;
            ++seg;
        }
        if (line.size() == 1) {
            out.append(line[0]);
            continue;
        }
        const QPointF a = line[seg - 1], b = line[seg];
        const double l = std::hypot(b.x() - a.x(), b.y() - a.y());
        const double t = l > 0 ? qBound(0.0, (at - before) / l, 1.0) : 0;
        out.append(a + (b - a) * t);
    }
    return out;
}

} // namespace

QList<QList<QPointF>> deform(const QList<QList<QPointF>> &medians, const Deformation &how,
                             std::mt19937 &random)
{
    const double sx = uniform(random, 1 - how.shear, 1 + how.shear);
    const double sy = uniform(random, 1 - how.shear, 1 + how.shear);
    const double kx = uniform(random, -how.shear, how.shear);
    const double ky = uniform(random, -how.shear, how.shear);
    const double j = how.jitter * how.box;
    QList<QList<QPointF>> out;
    for (const QList<QPointF> &line : medians) {
        const int n = std::uniform_int_distribution<int>(8, 40)(random);
        QList<QPointF> stroke;
        for (const QPointF &p : resample(line, n)) {
            const double x = p.x() - how.box / 2, y = p.y() - how.box / 2;
            stroke.append(QPointF(sx * x + kx * y + uniform(random, -j, j),
                                  ky * x + sy * y + uniform(random, -j, j)));
        }
        out.append(stroke);
    }
    return out;
}

QList<QList<QPointF>> dropStroke(QList<QList<QPointF>> strokes, std::mt19937 &random)
{
    if (strokes.size() > 1)
        strokes.removeAt(std::uniform_int_distribution<qsizetype>(0, strokes.size() - 1)(random));
    return strokes;
}

QList<QList<QPointF>> swapNeighbours(QList<QList<QPointF>> strokes, std::mt19937 &random)
{
    if (strokes.size() > 1) {
        const qsizetype i = std::uniform_int_distribution<qsizetype>(0, strokes.size() - 2)(random);
        strokes.swapItemsAt(i, i + 1);
    }
    return strokes;
}

} // namespace Verarov::Strokes
