#include "lookup/entryextras.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace Verarov::Lookup {

int toneOfSyllable(QStringView syllable)
{
    const QString nfd = syllable.toString().normalized(QString::NormalizationForm_D);
    for (QChar c : nfd) {
        switch (c.unicode()) {
        case 0x0304:
            return 1;
        case 0x0301:
            return 2;
        case 0x030C:
            return 3;
        case 0x0300:
            return 4;
        default:
            break;
        }
    }
    return 5;
}

QString toneColour(int tone)
{
    switch (tone) {
    case 1:
        return u"#d01010"_s; // red
    case 2:
        return u"#a35200"_s; // orange
    case 3:
        return u"#1a7f1a"_s; // green
    case 4:
        return u"#1f4fd1"_s; // blue
    default:
        return u"#6e6e6e"_s; // neutral: grey
    }
}

QString toneColouredHtml(QStringView pinyin)
{
    QString html;
    const QList<QStringView> syllables = pinyin.split(u' ');
    for (qsizetype i = 0; i < syllables.size(); ++i) {
        if (i > 0)
            html += u' ';
        if (syllables[i].isEmpty())
            continue;
        html += u"<span style=\"color:%1\">%2</span>"_s.arg(
                toneColour(toneOfSyllable(syllables[i])), syllables[i].toString().toHtmlEscaped());
    }
    return html;
}

} // namespace Verarov::Lookup
