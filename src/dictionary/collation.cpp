#include "dictionary/collation.h"

#include <QChar>
#include <QString>

#include <array>

namespace Verarov::Dictionary {

namespace {

enum class Kind : quint8 { Symbol, Skipped, Digit, Letter, TwoLetters };

// How one BMP code unit takes part in the collation.
struct CharInfo
{
    Kind kind = Kind::Symbol;
    char16_t first = 0;   // base letter(s), lower case
    char16_t second = 0;  // second letter of a ligature
    quint8 diacritic = 0; // level-2 weight
};

quint8 markRank(char16_t mark)
{
    switch (mark) {
    case 0x0301:
        return 1; // acute
    case 0x0300:
        return 2; // grave
    case 0x030C:
        return 3; // caron
    case 0x0304:
        return 4; // macron
    case 0x0302:
        return 5; // circumflex
    case 0x0308:
        return 6; // diaeresis
    case 0x0303:
        return 7; // tilde
    case 0x030A:
        return 8; // ring
    case 0x0327:
        return 9; // cedilla
    default:
        return 10;
    }
}

CharInfo classify(char16_t c)
{
    CharInfo info;
    if (c == u'-' || c == u'\'') {
        info.kind = Kind::Skipped;
        return info;
    }
    if (c >= u'0' && c <= u'9') {
        info.kind = Kind::Digit;
        info.first = c;
        return info;
    }
    auto letter = [&](char16_t base, quint8 diacritic = 0) {
        info.kind = Kind::Letter;
        info.first = base;
        info.diacritic = diacritic;
        return info;
    };
    auto ligature = [&](char16_t a, char16_t b) {
        info.kind = Kind::TwoLetters;
        info.first = a;
        info.second = b;
        return info;
    };
    switch (c) {
    case 0x00C6:
    case 0x00E6:
        return ligature(u'a', u'e');
    case 0x0152:
    case 0x0153:
        return ligature(u'o', u'e');
    case 0x00DF:
        return ligature(u's', u's');
    case 0x00D8:
    case 0x00F8:
        return letter(u'o', 110);
    case 0x0110:
    case 0x0111:
    case 0x00D0:
    case 0x00F0:
        return letter(u'd', 110);
    case 0x0141:
    case 0x0142:
        return letter(u'l', 110);
    case 0x0131:
        return letter(u'i', 110);
    case 0x0192:
        return letter(u'f', 110);
    default:
        break;
    }
    const QChar qc(c);
    if (c < 0x80) {
        if (qc.isLetter())
            return letter(qc.toLower().unicode());
        return info;
    }
    if (!qc.isLetter() || qc.decompositionTag() != QChar::Canonical)
        return info;
    const QString decomposed = QString(qc).normalized(QString::NormalizationForm_D);
    const char16_t base = QChar(decomposed[0]).toLower().unicode();
    if (base >= 0x80 || !QChar(base).isLetter())
        return info;
    // First mark, then second mark: ü < ǘ < ǚ < ǜ < ũ.
    const quint8 first = decomposed.size() > 1 ? markRank(decomposed[1].unicode()) : 0;
    const quint8 second = decomposed.size() > 2 ? markRank(decomposed[2].unicode()) : 0;
    return letter(base, quint8(first * 11 + second));
}

// Classification of the code units that can be letters or skipped; above
// U+2000 everything is a symbol.
const std::array<CharInfo, 0x2000> &charTable()
{
    static const std::array<CharInfo, 0x2000> table = [] {
        std::array<CharInfo, 0x2000> t{};
        for (char16_t c = 0; c < 0x2000; ++c)
            t[c] = classify(c);
        return t;
    }();
    return table;
}

void appendElement(QByteArray &key, quint32 weight)
{
    key.append(char((weight >> 16) & 0xff));
    key.append(char((weight >> 8) & 0xff));
    key.append(char(weight & 0xff));
}

constexpr quint32 kBlank = 1;
constexpr quint32 kSymbolBase = 2;        // + code point
constexpr quint32 kDigitBase = 0x020000;  // + digit
constexpr quint32 kLetterBase = 0x030000; // + letter

} // namespace

QByteArray collationKey(QStringView text)
{
    const auto &table = charTable();
    QByteArray key;
    key.reserve(text.size() * 4 + 8);
    QByteArray diacritics;
    QByteArray hyphens;
    quint32 elements = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        const CharInfo info = c < 0x2000 ? table[c] : CharInfo{};
        switch (info.kind) {
        case Kind::Skipped:
            hyphens.append(char((elements >> 8) & 0xff));
            hyphens.append(char(elements & 0xff));
            hyphens.append(char(c == u'-' ? 1 : 2));
            break;
        case Kind::Digit:
            appendElement(key, kDigitBase + (info.first - u'0'));
            ++elements;
            break;
        case Kind::Letter:
            appendElement(key, kLetterBase + info.first);
            diacritics.append(char(info.diacritic));
            ++elements;
            break;
        case Kind::TwoLetters:
            appendElement(key, kLetterBase + info.first);
            appendElement(key, kLetterBase + info.second);
            diacritics.append('\0');
            diacritics.append('\0');
            elements += 2;
            break;
        case Kind::Symbol:
            appendElement(key, c == u' ' ? kBlank : kSymbolBase + c);
            ++elements;
            break;
        }
    }
    appendElement(key, 0);
    // Level 2 reads from the last letter towards the first.
    for (qsizetype i = diacritics.size() - 1; i >= 0; --i)
        key.append(diacritics[i]);
    key.append(hyphens);
    return key;
}

int collationCompare(QStringView a, QStringView b)
{
    const QByteArray ka = collationKey(a);
    const QByteArray kb = collationKey(b);
    return ka < kb ? -1 : (kb < ka ? 1 : 0);
}

} // namespace Verarov::Dictionary
