#include "lookup/senses.h"

#include "dictionary/text.h"

namespace Verarov::Lookup {

QString sensesText(QStringView gloss)
{
    QString view;
    QStringView rest = gloss;
    qsizetype slash = rest.indexOf(u'/');
    while (slash >= 0) {
        const QStringView sense = trimmed(rest.first(slash));
        if (!sense.isEmpty()) {
            view.append(sense);
            view.append(u"\r\n");
        }
        rest = trimmed(rest.sliced(slash + 1));
        slash = rest.indexOf(u'/');
    }
    view.append(rest);
    return view;
}

QString copyText(QStringView headword, QStringView pinyin, QStringView gloss)
{
    QString text;
    text.reserve(headword.size() + pinyin.size() + gloss.size() + 2);
    text.append(headword).append(u'\t').append(pinyin).append(u'\t').append(gloss);
    return text;
}

} // namespace Verarov::Lookup
