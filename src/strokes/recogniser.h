#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <vector>

namespace Verarov::Strokes {

class StrokeData;

// Handwritten characters against the median lines of the stroke data.
// Both sides are normalised the same way: each stroke resampled to a fixed
// number of points along its length, the whole moved to its centre of mass
// and scaled to unit spread, so place and size of the writing do not count,
// while the place of a stroke within the character, its shape and its
// direction do.  The strokes are then aligned in writing order, where a
// stroke may be missing or extra and two neighbours may be swapped, each at
// a cost.  The characters of the Table of General Standard Chinese
// Characters are preferred by a small margin, the common ones first.
class Recogniser final
{
public:
    // The data must outlive the recogniser.
    explicit Recogniser(const StrokeData &data);

    struct Candidate
    {
        char32_t codePoint = 0;
        double distance = 0; // lower is closer
    };

    using Strokes = QList<QList<QPointF>>;

    // The best candidates, best first.  Points in any unit, y downward;
    // strokes without points are ignored.
    QList<Candidate> recognise(const Strokes &strokes, int count = 10) const;

    static constexpr int kPoints = 10;     // per resampled stroke
    static constexpr int kMaxStrokes = 64; // beyond, the rest is ignored

private:
    struct Template
    {
        char32_t codePoint;
        quint8 strokes;
        quint8 level;
        int offset; // into m_points, kPoints * 2 floats per stroke
    };
    std::vector<Template> m_templates;
    std::vector<float> m_points;
};

} // namespace Verarov::Strokes
