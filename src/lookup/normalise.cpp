#include "lookup/normalise.h"

#include "dictionary/keys.h"
#include "lookup/prefixindex.h"

#include <QVarLengthArray>

#include <algorithm>
#include <utility>

namespace Verarov::Lookup {

namespace {

constexpr char16_t kMacron = 0x0304, kAcute = 0x0301, kCaron = 0x030C, kGrave = 0x0300,
                   kDiaeresis = 0x0308;

using Decomposed = Dictionary::DecomposedUnit;

Decomposed decompose(char16_t c)
{
    return Dictionary::decomposeUnit(c);
}

constexpr bool isCombining(char16_t c)
{
    return c >= 0x0300 && c <= 0x036F;
}

int toneOfMark(char16_t mark)
{
    switch (mark) {
    case kMacron:
        return 1;
    case kAcute:
        return 2;
    case kCaron:
        return 3;
    case kGrave:
        return 4;
    default:
        return 0;
    }
}

constexpr bool isVowel(char16_t c)
{
    return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'v';
}

void addOnce(QList<qsizetype> &list, qsizetype value)
{
    if (!list.contains(value))
        list.append(value);
}

// A reading taken apart: its toneless letters, lower case, and its
// syllables with their tones.  On the stack: a key press may read hundreds.
struct Reading
{
    struct Syllable
    {
        qsizetype begin;
        qsizetype end;
        int tone;
    };
    QVarLengthArray<char16_t, 64> letters;
    QVarLengthArray<Syllable, 16> syllables;
    QVarLengthArray<qsizetype, 4> umlauts;
};

Reading readingOf(QStringView pinyin)
{
    Reading r;
    qsizetype begin = 0;
    int tone = 5;
    auto close = [&] {
        if (r.letters.size() > begin) {
            // A lone neutral "r" is the erhua ending of the syllable before.
            const bool erhua = r.letters.size() - begin == 1 && r.letters.back() == u'r'
                               && tone == 5 && !r.syllables.isEmpty()
                               && r.syllables.back().end == begin;
            if (erhua)
                r.syllables.back().end = r.letters.size();
            else
                r.syllables.append({begin, r.letters.size(), tone});
        }
        begin = r.letters.size();
        tone = 5;
    };
    auto mark = [&](char16_t m) {
        if (const int t = toneOfMark(m))
            tone = t;
        else if (m == kDiaeresis && !r.letters.isEmpty()
                 && !r.umlauts.contains(r.letters.size() - 1))
            r.umlauts.append(r.letters.size() - 1);
    };
    for (QChar qc : pinyin) {
        const char16_t c = qc.unicode();
        if (c == u' ' || c == u'\'') {
            close();
            continue;
        }
        if (isCombining(c)) {
            mark(c);
            continue;
        }
        const Decomposed d = decompose(c);
        r.letters.append(d.base);
        mark(d.marks[0]);
        mark(d.marks[1]);
    }
    close();
    return r;
}

} // namespace

PinyinQuery normalisePinyin(QStringView typed)
{
    PinyinQuery q;
    q.key.reserve(typed.size());
    auto applyMark = [&q](char16_t m) {
        if (q.key.isEmpty())
            return;
        if (const int t = toneOfMark(m))
            q.tones.append({q.key.size() - 1, q.key.size() - 1, t});
        else if (m == kDiaeresis)
            addOnce(q.umlauts, q.key.size() - 1);
    };
    qsizetype segment = 0;    // where the syllable being typed began
    bool afterLetter = false; // the last character typed was (part of) a letter
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const char16_t c = typed[i].unicode();
        const bool wasAfterLetter = std::exchange(afterLetter, false);
        if (c == u' ' || c == u'\'' || c == 0x2019) {
            if (!q.key.isEmpty())
                addOnce(q.breaks, q.key.size());
            segment = q.key.size();
            continue;
        }
        if (c >= u'0' && c <= u'5' && wasAfterLetter) {
            q.tones.append({segment, q.key.size() - 1, c == u'0' ? 5 : c - u'0'});
            addOnce(q.breaks, q.key.size());
            segment = q.key.size();
            continue;
        }
        afterLetter = true;
        if (c == u':' && !q.key.isEmpty() && q.key.back() == u'u') {
            addOnce(q.umlauts, q.key.size() - 1);
            continue;
        }
        if (isCombining(c)) {
            applyMark(c);
            continue;
        }
        const Decomposed d = decompose(c);
        afterLetter = QChar::isLetter(d.base);
        if (d.base == u'v') {
            q.key.append(u'u');
            addOnce(q.umlauts, q.key.size() - 1);
            continue;
        }
        q.key.append(QChar(d.base));
        applyMark(d.marks[0]);
        applyMark(d.marks[1]);
    }
    // Erhua: "na3r" is one syllable nǎr as well as nǎ r, so a break before
    // an "r" that starts no syllable goes, with a neutral tone of its own.
    const QList<qsizetype> breaks = q.breaks;
    for (qsizetype at : breaks) {
        if (at < q.key.size() && q.key[at] == u'r'
            && (at + 1 == q.key.size() || !isVowel(q.key[at + 1].unicode()))) {
            q.breaks.removeOne(at);
            q.tones.removeIf(
                    [at](const PinyinQuery::Tone &t) { return t.at == at && t.tone == 5; });
        }
    }
    // A break at the start says nothing.
    q.breaks.removeAll(0);
    return q;
}

bool readingMatches(const PinyinQuery &query, QStringView pinyin)
{
    const Reading r = readingOf(pinyin);
    if (r.letters.size() < query.key.size())
        return false;
    for (qsizetype i = 0; i < query.key.size(); ++i) {
        if (r.letters[i] != query.key[i])
            return false;
    }
    auto syllableAt = [&r](qsizetype at) -> const Reading::Syllable * {
        for (const Reading::Syllable &s : r.syllables) {
            if (at >= s.begin && at < s.end)
                return &s;
        }
        return nullptr;
    };
    for (const PinyinQuery::Tone &t : query.tones) {
        const Reading::Syllable *s = syllableAt(t.at);
        if (!s || s->tone != t.tone || t.from < s->begin)
            return false;
    }
    for (qsizetype b : query.breaks) {
        if (b == r.letters.size())
            continue;
        const bool begins = std::any_of(r.syllables.begin(), r.syllables.end(),
                                        [b](const Reading::Syllable &s) { return s.begin == b; });
        if (!begins)
            return false;
    }
    for (qsizetype u : query.umlauts) {
        if (!r.umlauts.contains(u))
            return false;
    }
    // lu and lü, nu and nü are different syllables; lüe and nüe are often
    // written lue, nue.
    for (qsizetype i = 1; i < query.key.size(); ++i) {
        if (query.key[i] == u'u' && (query.key[i - 1] == u'l' || query.key[i - 1] == u'n')
            && !query.umlauts.contains(i) && r.umlauts.contains(i)
            && !(i + 1 < r.letters.size() && r.letters[i + 1] == u'e'))
            return false;
    }
    return true;
}

} // namespace Verarov::Lookup
