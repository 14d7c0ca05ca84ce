#pragma once

#include <QList>
#include <QPointF>

#include <random>

namespace Verarov::Strokes {

// Handwriting made from median lines, as a careless writer would: the whole
// scaled and sheared (up to `shear` each way), every stroke resampled to
// 8-40 points, each point moved at random by up to `jitter` of the box.
// What the recogniser's tests and benchmark feed it.
struct Deformation
{
    double shear = 0.15;
    double jitter = 0.03;
    double box = 1024;
};

QList<QList<QPointF>> deform(const QList<QList<QPointF>> &medians, const Deformation &how,
                             std::mt19937 &random);

// The strokes with one left out, or two neighbours swapped.
QList<QList<QPointF>> dropStroke(QList<QList<QPointF>> strokes, std::mt19937 &random);
QList<QList<QPointF>> swapNeighbours(QList<QList<QPointF>> strokes, std::mt19937 &random);

} // namespace Verarov::Strokes
