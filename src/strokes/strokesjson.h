#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

namespace Verarov::Strokes {

// Drawn strokes as JSON: a list of strokes, each a list of [x, y] points,
// numbers in any unit, y downward.  [[[0, 50], [100, 50]], [[50, 0], [50, 100]]]
// is a cross of two strokes.  False with a French message when the text is
// not that (or holds more than kMaxJsonPoints points in all).
inline constexpr int kMaxJsonPoints = 1 << 20;
bool parseStrokesJson(const QByteArray &json, QList<QList<QPointF>> *strokes, QString *error);

} // namespace Verarov::Strokes
