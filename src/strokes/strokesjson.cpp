#include "strokes/strokesjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

using namespace Qt::StringLiterals;

namespace Verarov::Strokes {

bool parseStrokesJson(const QByteArray &json, QList<QList<QPointF>> *strokes, QString *error)
{
    strokes->clear();
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = u"JSON invalide à l'octet %1 : %2"_s.arg(parse.offset).arg(parse.errorString());
        return false;
    }
    const auto refuse = [&](const QString &what) {
        strokes->clear();
        *error = what;
        return false;
    };
    if (!doc.isArray())
        return refuse(u"Les traits doivent être une liste de traits"_s);
    qsizetype points = 0;
    const QJsonArray list = doc.array();
    for (qsizetype s = 0; s < list.size(); ++s) {
        if (!list[s].isArray())
            return refuse(u"Le trait %1 doit être une liste de points [x, y]"_s.arg(s + 1));
        const QJsonArray stroke = list[s].toArray();
        QList<QPointF> line;
        line.reserve(stroke.size());
        for (qsizetype i = 0; i < stroke.size(); ++i) {
            const QJsonArray p = stroke[i].toArray();
            if (!stroke[i].isArray() || p.size() != 2 || !p[0].isDouble() || !p[1].isDouble()
                || !std::isfinite(p[0].toDouble()) || !std::isfinite(p[1].toDouble()))
                return refuse(
                        u"Le point %1 du trait %2 doit être [x, y], deux nombres"_s.arg(i + 1).arg(
                                s + 1));
            if (++points > kMaxJsonPoints)
                return refuse(u"Trop de points (plus de %1)"_s.arg(kMaxJsonPoints));
            line.append(QPointF(p[0].toDouble(), p[1].toDouble()));
        }
        strokes->append(line);
    }
    return true;
}

} // namespace Verarov::Strokes
