#include "speech/tonenumbers.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace Verarov::Speech {

namespace {

// A marked vowel: its base letter and tone, or tone 0 for anything else.
struct Vowel
{
    char16_t base;
    int tone;
};

Vowel vowel(QChar c)
{
    static const struct
    {
        char16_t marked[4];
        char16_t base;
    } rows[] = {
            {{u'ā', u'á', u'ǎ', u'à'}, u'a'}, {{u'ē', u'é', u'ě', u'è'}, u'e'},
            {{u'ī', u'í', u'ǐ', u'ì'}, u'i'}, {{u'ō', u'ó', u'ǒ', u'ò'}, u'o'},
            {{u'ū', u'ú', u'ǔ', u'ù'}, u'u'}, {{u'ǖ', u'ǘ', u'ǚ', u'ǜ'}, u'v'},
            {{u'Ā', u'Á', u'Ǎ', u'À'}, u'a'}, {{u'Ē', u'É', u'Ě', u'È'}, u'e'},
            {{u'Ī', u'Í', u'Ǐ', u'Ì'}, u'i'}, {{u'Ō', u'Ó', u'Ǒ', u'Ò'}, u'o'},
            {{u'Ū', u'Ú', u'Ǔ', u'Ù'}, u'u'}, {{u'Ǖ', u'Ǘ', u'Ǚ', u'Ǜ'}, u'v'},
    };
    for (const auto &row : rows)
        for (int t = 0; t < 4; ++t)
            if (c == QChar(row.marked[t]))
                return {row.base, t + 1};
    return {0, 0};
}

} // namespace

bool hasChineseCharacter(QStringView text)
{
    for (const char32_t c : text.toUcs4()) {
        if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF)
            || (c >= 0x20000 && c <= 0x3FFFF) || (c >= 0xF900 && c <= 0xFAFF))
            return true;
    }
    return false;
}

QString toToneNumbers(QStringView pinyin)
{
    QStringList out;
    QString word;
    const auto flush = [&] {
        if (word.isEmpty())
            return;
        QString plain;
        int tone = 0;
        bool hasVowel = false;
        for (const QChar c : std::as_const(word)) {
            const Vowel v = vowel(c);
            if (v.tone) {
                tone = v.tone;
                plain += QChar(v.base);
                hasVowel = true;
                continue;
            }
            const QChar lower = c.toLower();
            if (lower == u'ü') {
                plain += u'v';
                hasVowel = true;
            } else {
                hasVowel = hasVowel || QStringView(u"aeiouv").contains(lower);
                plain += lower;
            }
        }
        if (plain == u"r" && !out.isEmpty() && out.last().back().isDigit()) {
            // Erhua written apart: "jìn r" reads "jinr4".
            QString &last = out.last();
            last.insert(last.size() - 1, u'r');
        } else if (hasVowel) {
            out.append(plain + QString::number(tone ? tone : 5));
        } else {
            out.append(plain);
        }
        word.clear();
    };
    for (const QChar c : pinyin) {
        if (c.isSpace() || c == u'\'' || c == u'’' || c == u'-' || c == u',' || c == u'·')
            flush();
        else
            word += c;
    }
    flush();
    return out.join(u' ');
}

} // namespace Verarov::Speech
