#include "strokes/recogniser.h"

#include "strokes/strokedata.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace Verarov::Strokes {

namespace {

constexpr int P = Recogniser::kPoints;
// Costs, in units of the writing's spread (about a third of its size).
constexpr float kSkip = 0.9f;  // a stroke missing or extra
constexpr float kSwap = 0.08f; // two neighbours written in the wrong order
constexpr float kLevelCost[] = {0.06f, 0.0f, 0.02f, 0.04f}; // outside the table, levels 1-3
constexpr int kBand = 2;                // strokes aligned at most this far from each other
constexpr std::size_t kShortlist = 200; // kept by the coarse pass

struct Pt
{
    float x, y;
};

// Resamples a polyline to P points evenly spaced along it.
void resample(const Pt *line, int n, float *out)
{
    float length = 0;
    for (int i = 1; i < n; ++i)
        length += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    int seg = 1;
    float before = 0;
    for (int k = 0; k < P; ++k) {
        if (n == 1 || length <= 0) {
            out[2 * k] = line[0].x;
            out[2 * k + 1] = line[0].y;
            continue;
        }
        const float at = length * float(k) / (P - 1);
        float l = std::hypot(line[seg].x - line[seg - 1].x, line[seg].y - line[seg - 1].y);
        while (seg < n - 1 && before + l < at) {
            before += l;
            ++seg;
            l = std::hypot(line[seg].x - line[seg - 1].x, line[seg].y - line[seg - 1].y);
        }
        const float t = l > 0 ? std::clamp((at - before) / l, 0.0f, 1.0f) : 0.0f;
        out[2 * k] = line[seg - 1].x + (line[seg].x - line[seg - 1].x) * t;
        out[2 * k + 1] = line[seg - 1].y + (line[seg].y - line[seg - 1].y) * t;
    }
}

// Moves resampled strokes to their centre of mass and scales them to unit
// spread (root mean square distance to the centre).
void normalise(float *points, int strokes)
{
    const int n = strokes * P;
    double cx = 0, cy = 0;
    for (int i = 0; i < n; ++i) {
        cx += points[2 * i];
        cy += points[2 * i + 1];
    }
    cx /= n;
    cy /= n;
    double spread = 0;
    for (int i = 0; i < n; ++i)
        spread += (points[2 * i] - cx) * (points[2 * i] - cx)
                  + (points[2 * i + 1] - cy) * (points[2 * i + 1] - cy);
    spread = std::sqrt(spread / n);
    const double scale = spread > 1e-9 ? 1 / spread : 1;
    for (int i = 0; i < n; ++i) {
        points[2 * i] = float((points[2 * i] - cx) * scale);
        points[2 * i + 1] = float((points[2 * i + 1] - cy) * scale);
    }
}

// Mean distance between corresponding points of two resampled strokes;
// every Step-th point only for the first, coarse pass.
template<int Step>
float strokeCost(const float *a, const float *b)
{
    float sum = 0;
    for (int k = 0; k < P; k += Step)
        sum += std::sqrt((a[2 * k] - b[2 * k]) * (a[2 * k] - b[2 * k])
                         + (a[2 * k + 1] - b[2 * k + 1]) * (a[2 * k + 1] - b[2 * k + 1]));
    return sum / float((P + Step - 1) / Step);
}

// Alignment of the written strokes with a template's, in writing order:
// each pair matched at its cost, a stroke of either side skipped, or two
// neighbours matched crosswise.  Cells further than kBand off the diagonal
// are not visited.  Mean cost per stroke of the longer side.
template<int Step>
float alignment(const float *in, int n, const float *tpl, int m, float limit)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr int W = Recogniser::kMaxStrokes + 1;
    // Rows i-2, i-1 and i of the table.
    std::array<std::array<float, W>, 3> d;
    const float total = limit * float(std::max(n, m));
    for (int i = 0; i <= n; ++i) {
        auto &row = d[i % 3];
        const auto &up = d[(i + 2) % 3];
        const auto &up2 = d[(i + 1) % 3];
        float best = inf;
        for (int j = 0; j <= m; ++j) {
            if (std::abs(i - j) > kBand) {
                row[j] = inf;
                continue;
            }
            if (i == 0 && j == 0) {
                row[j] = 0;
                best = 0;
                continue;
            }
            float v = inf;
            if (i > 0 && j > 0) {
                v = up[j - 1] + strokeCost<Step>(in + (i - 1) * 2 * P, tpl + (j - 1) * 2 * P);
            }
            if (i > 0)
                v = std::min(v, up[j] + kSkip);
            if (j > 0)
                v = std::min(v, row[j - 1] + kSkip);
            if (i > 1 && j > 1 && std::abs(i - 2 - (j - 2)) <= kBand) {
                // in[i-1] with tpl[j-2] and in[i-2] with tpl[j-1]: written in
                // the other order.
                const float cross = strokeCost<Step>(in + (i - 1) * 2 * P, tpl + (j - 2) * 2 * P)
                                    + strokeCost<Step>(in + (i - 2) * 2 * P, tpl + (j - 1) * 2 * P);
                v = std::min(v, up2[j - 2] + cross + kSwap);
            }
            row[j] = v;
            best = std::min(best, v);
        }
        if (best > total)
            return inf; // cannot end below the limit any more
    }
    return d[n % 3][m] / float(std::max(n, m));
}

} // namespace

Recogniser::Recogniser(const StrokeData &data)
{
    m_templates.reserve(std::size_t(data.count()));
    std::vector<Pt> line;
    for (int i = 0; i < data.count(); ++i) {
        const QList<StrokeData::RawStroke> strokes = data.rawMedians(i);
        if (strokes.size() > kMaxStrokes)
            continue;
        const int offset = int(m_points.size());
        m_points.resize(m_points.size() + std::size_t(strokes.size()) * 2 * P);
        for (qsizetype s = 0; s < strokes.size(); ++s) {
            line.clear();
            for (int k = 0; k < strokes[s].points; ++k)
                line.push_back({float(strokes[s].xy[2 * k]), float(strokes[s].xy[2 * k + 1])});
            resample(line.data(), int(line.size()), m_points.data() + offset + s * 2 * P);
        }
        normalise(m_points.data() + offset, int(strokes.size()));
        m_templates.push_back(
                {data.codePoint(i), quint8(strokes.size()), quint8(data.level(i)), offset});
    }
}

QList<Recogniser::Candidate> Recogniser::recognise(const Strokes &strokes, int count) const
{
    QList<Candidate> out;
    std::vector<float> in;
    std::vector<Pt> line;
    int n = 0;
    for (const QList<QPointF> &stroke : strokes) {
        if (stroke.isEmpty() || n == kMaxStrokes)
            continue;
        line.clear();
        for (const QPointF &p : stroke) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            // Far beyond any screen: clamped so that sums stay finite.
            line.push_back(
                    {float(std::clamp(p.x(), -1e6, 1e6)), float(std::clamp(p.y(), -1e6, 1e6))});
        }
        if (line.empty())
            continue;
        in.resize(in.size() + 2 * P);
        resample(line.data(), int(line.size()), in.data() + n * 2 * P);
        ++n;
    }
    if (n == 0 || count <= 0)
        return out;
    normalise(in.data(), n);

    // Two passes: every template with a third of the points, then the
    // closest of those with all of them.
    const auto worse = [](const Candidate &a, const Candidate &b) {
        return a.distance < b.distance;
    };
    const auto keepBest = [&](std::vector<Candidate> &best, std::size_t size, const Candidate &c) {
        if (best.size() < size) {
            best.push_back(c);
            std::push_heap(best.begin(), best.end(), worse);
        } else if (c.distance < best.front().distance) {
            std::pop_heap(best.begin(), best.end(), worse);
            best.back() = c;
            std::push_heap(best.begin(), best.end(), worse);
        }
    };
    const std::size_t shortlist = std::max<std::size_t>(kShortlist, std::size_t(count));
    std::vector<Candidate> coarse; // distance, and the template's number as code point
    coarse.reserve(shortlist);
    for (std::size_t k = 0; k < m_templates.size(); ++k) {
        const Template &t = m_templates[k];
        if (std::abs(t.strokes - n) > kBand)
            continue;
        const float prior = kLevelCost[t.level & 3];
        const float limit = coarse.size() < shortlist ? std::numeric_limits<float>::infinity()
                                                      : float(coarse.front().distance) - prior;
        const float d = alignment<3>(in.data(), n, m_points.data() + t.offset, t.strokes, limit);
        if (std::isfinite(d))
            keepBest(coarse, shortlist, {char32_t(k), double(d + prior)});
    }
    std::vector<Candidate> best;
    for (const Candidate &c : coarse) {
        const Template &t = m_templates[c.codePoint];
        const float d = alignment<1>(in.data(), n, m_points.data() + t.offset, t.strokes,
                                     std::numeric_limits<float>::infinity());
        keepBest(best, std::size_t(count), {t.codePoint, double(d + kLevelCost[t.level & 3])});
    }
    std::sort(best.begin(), best.end(), [](const Candidate &a, const Candidate &b) {
        return a.distance != b.distance ? a.distance < b.distance : a.codePoint < b.codePoint;
    });
    out.reserve(qsizetype(best.size()));
    for (const Candidate &c : best)
        out.append(c);
    return out;
}

} // namespace Verarov::Strokes
