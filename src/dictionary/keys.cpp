#include "dictionary/keys.h"

#include "dictionary/casefolding.h"

#include <QString>

#include <array>

namespace Verarov::Dictionary {

namespace {

// Base letter, in lower case, of a Latin letter that carries marks: the
// tone marks, the diaeresis, the circumflex of ê ("à", "ǘ", "ḿ", "ň", "ế"
// give a, u, m, n, e); 0 for any other code unit.
char16_t markedLetterBase(char16_t c)
{
    // Precomposed Latin letters all lie below U+2000.
    static const std::array<char16_t, 0x2000> table = [] {
        std::array<char16_t, 0x2000> t{};
        for (char16_t u = 0xC0; u < 0x2000; ++u) {
            const QChar qc(u);
            if (!qc.isLetter() || qc.decompositionTag() != QChar::Canonical)
                continue;
            const QChar base = QString(qc).normalized(QString::NormalizationForm_D).front();
            if (base.unicode() < 0x80 && base.isLetter())
                t[u] = base.toLower().unicode();
        }
        return t;
    }();
    return c < table.size() ? table[c] : 0;
}

// A combining mark written after its letter ("m̄" is m and U+0304).
constexpr bool isCombiningMark(char16_t c)
{
    return c >= 0x0300 && c <= 0x036F;
}

// The characters of 0x80-0x9F in Windows-1252, by their Unicode values.
constexpr char16_t kWindows1252Extras[] = {
        0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178,
};

bool isWindows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    for (char16_t extra : kWindows1252Extras) {
        if (extra == c)
            return true;
    }
    return false;
}

} // namespace

QString pinyinKey(QStringView pinyin)
{
    QString key;
    key.reserve(pinyin.size());
    for (QChar qc : pinyin) {
        const char16_t c = qc.unicode();
        if (c == u' ' || c == u'\'' || isCombiningMark(c))
            continue;
        const char16_t base = markedLetterBase(c);
        key.append(QChar(base ? base : c));
    }
    return key;
}

QString reduceToWindows1252(QStringView sense)
{
    QString out;
    out.reserve(sense.size());
    for (QChar qc : sense) {
        const char16_t c = qc.unicode();
        if (isWindows1252(c))
            out.append(qc);
        else if (c >= 0xFF01 && c <= 0xFF5E)
            out.append(QChar(char16_t(c - 0xFEE0)));
        else if (c == 0x3000)
            out.append(u' ');
        else
            out.append(u'?');
    }
    return out;
}

bool isWindows1252Letter(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return true;
    if (c >= 0xC0 && c <= 0xFF)
        return c != 0xD7 && c != 0xF7;
    switch (c) {
    case 0x0160:
    case 0x0161:
    case 0x0152:
    case 0x0153:
    case 0x017D:
    case 0x017E:
    case 0x0178:
    case 0x0192:
        return true;
    default:
        return false;
    }
}

QList<SenseSpan> senseSpans(QStringView gloss)
{
    QList<SenseSpan> spans;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = gloss.indexOf(u" / ", from);
        if (at < 0) {
            spans.append({from, gloss.size() - from});
            return spans;
        }
        spans.append({from, at - from});
        from = at + 3;
    }
}

QList<QString> frenchKeys(QStringView gloss)
{
    QList<QString> keys;
    for (const SenseSpan &span : senseSpans(gloss)) {
        QString key = reduceToWindows1252(gloss.sliced(span.offset, span.length));
        qsizetype begin = 0;
        qsizetype end = key.size();
        while (begin < end && key[begin] == u' ')
            ++begin;
        while (end > begin && key[end - 1] == u' ')
            --end;
        if (begin < end && isWindows1252Letter(key[begin].unicode()))
            keys.append(key.sliced(begin, end - begin));
    }
    return keys;
}

DecomposedUnit decomposeUnit(char16_t c)
{
    // Precomposed Latin letters lie below U+2000; the table is made once.
    static const std::array<DecomposedUnit, 0x2000> table = [] {
        std::array<DecomposedUnit, 0x2000> t{};
        for (char16_t u = 0; u < 0x2000; ++u) {
            t[u].base = foldUnit(u);
            const QChar qc(u);
            if (u < 0xC0 || qc.decompositionTag() != QChar::Canonical)
                continue;
            const QString nfd = QString(qc).normalized(QString::NormalizationForm_D);
            if (nfd.size() < 2 || nfd.size() > 3)
                continue;
            t[u].base = foldUnit(nfd[0].unicode());
            for (qsizetype i = 1; i < nfd.size(); ++i)
                t[u].marks[i - 1] = nfd[i].unicode();
        }
        return t;
    }();
    if (c < table.size())
        return table[c];
    DecomposedUnit d;
    d.base = foldUnit(c);
    return d;
}

QString foldFrench(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (isCombiningMark(c))
            continue;
        switch (c) {
        case 0x0152:
        case 0x0153:
            out.append(u"oe");
            continue; // Œ œ
        case 0x00C6:
        case 0x00E6:
            out.append(u"ae");
            continue; // Æ æ
        case 0x00DF:
        case 0x1E9E:
            out.append(u"ss");
            continue; // ß ẞ
        default:
            break;
        }
        out.append(QChar(decomposeUnit(c).base));
    }
    return out;
}

} // namespace Verarov::Dictionary
