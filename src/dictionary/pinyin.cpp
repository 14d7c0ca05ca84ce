#include "dictionary/pinyin.h"

namespace Verarov::Dictionary {

namespace {

bool isVowel(char16_t c)
{
    switch (c) {
    case u'a': case u'e': case u'i': case u'o': case u'u': case u'ü':
    case u'A': case u'E': case u'I': case u'O': case u'U': case u'Ü':
        return true;
    default:
        return false;
    }
}

char16_t marked(char16_t vowel, int tone)
{
    static const char16_t table[][4] = {
        {u'ā', u'á', u'ǎ', u'à'}, {u'ē', u'é', u'ě', u'è'}, {u'ī', u'í', u'ǐ', u'ì'},
        {u'ō', u'ó', u'ǒ', u'ò'}, {u'ū', u'ú', u'ǔ', u'ù'}, {u'ǖ', u'ǘ', u'ǚ', u'ǜ'},
        {u'Ā', u'Á', u'Ǎ', u'À'}, {u'Ē', u'É', u'Ě', u'È'}, {u'Ī', u'Í', u'Ǐ', u'Ì'},
        {u'Ō', u'Ó', u'Ǒ', u'Ò'}, {u'Ū', u'Ú', u'Ǔ', u'Ù'}, {u'Ǖ', u'Ǘ', u'Ǚ', u'Ǜ'},
    };
    static const char16_t vowels[] = u"aeiouüAEIOUÜ";
    for (int i = 0; i < 12; ++i) {
        if (vowels[i] == vowel)
            return table[i][tone - 1];
    }
    return vowel;
}

QString convertSyllable(QStringView token)
{
    QString s;
    s.reserve(token.size());
    for (qsizetype i = 0; i < token.size(); ++i) {
        const char16_t c = token[i].unicode();
        if ((c == u'u' || c == u'U') && i + 1 < token.size() && token[i + 1] == u':') {
            s.append(c == u'u' ? u'ü' : u'Ü');
            ++i;
        } else if (c == u'v' && s.size() > 0) {
            s.append(u'ü');
        } else if (c == u'V' && s.size() > 0) {
            s.append(u'Ü');
        } else {
            s.append(QChar(c));
        }
    }
    int tone = 0;
    // A tone number follows letters; a bare digit ("101" spelt "1 0 1") stays.
    if (s.size() > 1 && s[s.size() - 2].isLetter() && s.back() >= u'1' && s.back() <= u'5') {
        tone = s.back().unicode() - u'0';
        s.chop(1);
    }
    if (tone == 0 || tone == 5)
        return s;
    qsizetype at = -1;
    for (qsizetype i = 0; i < s.size() && at < 0; ++i) {
        const char16_t c = s[i].toLower().unicode();
        if (c == u'a' || c == u'e')
            at = i;
    }
    if (at < 0) {
        const qsizetype ou = s.indexOf(u"ou", 0, Qt::CaseInsensitive);
        if (ou >= 0)
            at = ou;
    }
    for (qsizetype i = s.size() - 1; i >= 0 && at < 0; --i) {
        if (isVowel(s[i].unicode()))
            at = i;
    }
    if (at >= 0)
        s[at] = QChar(marked(s[at].unicode(), tone));
    return s;
}

} // namespace

QString numberedToMarked(QStringView numbered)
{
    QString out;
    for (QStringView token : numbered.tokenize(QChar(u' '), Qt::SkipEmptyParts)) {
        if (!out.isEmpty())
            out.append(u' ');
        out.append(convertSyllable(token));
    }
    return out;
}

} // namespace Verarov::Dictionary
