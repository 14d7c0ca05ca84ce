#include "dictionary/pinyin.h"

namespace Verarov::Dictionary {

namespace {

bool isVowel(char16_t c)
{
    switch (c) {
    case u'a':
    case u'e':
    case u'i':
    case u'o':
    case u'u':
    case u'ü':
    case u'ê':
    case u'A':
    case u'E':
    case u'I':
    case u'O':
    case u'U':
    case u'Ü':
    case u'Ê':
        return true;
    default:
        return false;
    }
}

bool isRunLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u':' || c == u'^'
           || c == u'ü' || c == u'Ü' || c == u'ê' || c == u'Ê';
}

// Combining tone marks of tones 1 to 4: macron, acute, caron, grave.
constexpr char16_t kToneMarks[] = {0x0304, 0x0301, 0x030C, 0x0300};

// Letters of one run: "u:" and "v" after a letter are ü, "e^" is ê.
QString runLetters(QStringView run)
{
    QString s;
    s.reserve(run.size());
    for (qsizetype i = 0; i < run.size(); ++i) {
        const char16_t c = run[i].unicode();
        const char16_t next = i + 1 < run.size() ? run[i + 1].unicode() : 0;
        if ((c == u'u' || c == u'U') && next == u':') {
            s.append(c == u'u' ? u'ü' : u'Ü');
            ++i;
        } else if ((c == u'e' || c == u'E') && next == u'^') {
            s.append(c == u'e' ? u'ê' : u'Ê');
            ++i;
        } else if ((c == u'v' || c == u'V') && !s.isEmpty() && s.back().isLetter()) {
            s.append(c == u'v' ? u'ü' : u'Ü');
        } else {
            s.append(QChar(c));
        }
    }
    return s;
}

// The syllable with the mark of tone 1-4: on a, e or ê; else on the o of
// "ou"; else on the last vowel; else (m, n, ng, hm, hng) on the first m or n.
QString markSyllable(QString s, int tone)
{
    if (tone < 1 || tone > 4)
        return s;
    qsizetype at = -1;
    for (qsizetype i = 0; i < s.size() && at < 0; ++i) {
        const char16_t c = s[i].toLower().unicode();
        if (c == u'a')
            at = i;
    }
    for (qsizetype i = 0; i < s.size() && at < 0; ++i) {
        const char16_t c = s[i].toLower().unicode();
        if (c == u'e' || c == u'ê')
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
    for (qsizetype i = 0; i < s.size() && at < 0; ++i) {
        const char16_t c = s[i].toLower().unicode();
        if (c == u'm' || c == u'n')
            at = i;
    }
    if (at < 0)
        return s;
    s.insert(at + 1, QChar(kToneMarks[tone - 1]));
    return s.normalized(QString::NormalizationForm_C);
}

// One blank-free token: each run of letters followed by a digit 1-5 is a
// syllable with that tone; other digits and characters stay.
// "ling2li4" -> "línglì", "10shi4" -> "10shì", "·" -> "·".
QString convertToken(QStringView token)
{
    QString out;
    out.reserve(token.size() + 2);
    qsizetype i = 0;
    while (i < token.size()) {
        if (!isRunLetter(token[i].unicode())) {
            out.append(token[i]);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < token.size() && isRunLetter(token[end].unicode()))
            ++end;
        const QString letters = runLetters(token.sliced(i, end - i));
        if (end < token.size() && token[end] >= u'1' && token[end] <= u'5') {
            out.append(markSyllable(letters, token[end].unicode() - u'0'));
            ++end;
        } else {
            out.append(letters);
        }
        i = end;
    }
    return out;
}

} // namespace

QString numberedToMarked(QStringView numbered)
{
    QString out;
    for (QStringView token : numbered.tokenize(QChar(u' '), Qt::SkipEmptyParts)) {
        if (!out.isEmpty())
            out.append(u' ');
        out.append(convertToken(token));
    }
    return out;
}

} // namespace Verarov::Dictionary
