#include "dictionary/check.h"

#include "dictionary/casefolding.h"
#include "dictionary/collation.h"
#include "dictionary/indexes_p.h"
#include "dictionary/keys.h"
#include "dictionary/text.h"

#include <algorithm>
#include <vector>

namespace Verarov::Dictionary {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kMaxViolations = 100;

QString rowProblem(QStringView text)
{
    if (text.isEmpty())
        return u"vide"_s;
    for (QChar c : text) {
        if (c.isSurrogate())
            return u"caractère hors du plan multilingue de base"_s;
        if (isControl(c.unicode()))
            return u"caractère de contrôle"_s;
    }
    if (text.front() == u' ' || text.back() == u' ')
        return u"blanc au début ou à la fin"_s;
    if (text.contains(u"  "))
        return u"blanc double"_s;
    return {};
}

// Key rows of one entry, as (key, entry) compared to the derived ones.
void checkKeyList(const Tables &t, bool pinyin, CheckReport &report, std::vector<int> &perEntry)
{
    const int count = pinyin ? t.pinyinKeyCount() : t.frenchKeyCount();
    const QString name = listName(pinyin ? List::PinyinKeys : List::FrenchKeys);
    QByteArray previous;
    int previousEntry = -1;
    std::vector<std::vector<QString>> found(size_t(t.entryCount()));
    for (int r = 0; r < count; ++r) {
        const QStringView key = pinyin ? t.pinyinKey(r) : t.frenchKey(r);
        const int e = pinyin ? t.pinyinKeyEntry(r) : t.frenchKeyEntry(r);
        found[size_t(e)].push_back(key.toString());
        ++perEntry[size_t(e)];
        const QByteArray sortKey = collationKey(key);
        if (r > 0 && (sortKey < previous || (sortKey == previous && e < previousEntry)))
            report.violations.append(u"%1, rang %2 : hors de l'ordre"_s.arg(name).arg(r));
        previous = sortKey;
        previousEntry = e;
    }
    for (int e = 0; e < t.entryCount(); ++e) {
        std::vector<QString> expected;
        if (pinyin) {
            expected.push_back(pinyinKey(t.pinyin(e)));
        } else {
            for (const QString &k : frenchKeys(t.gloss(e)))
                expected.push_back(k);
        }
        std::vector<QString> &got = found[size_t(e)];
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        if (expected != got)
            report.violations.append(
                    u"entrée %1 : clés de %2 différentes des clés dérivées"_s.arg(e).arg(name));
    }
}

} // namespace

CheckReport check(const Tables &t)
{
    CheckReport report;
    report.entries = t.entryCount();
    report.pinyinKeys = t.pinyinKeyCount();
    report.frenchKeys = t.frenchKeyCount();

    for (int e = 0; e < t.entryCount(); ++e) {
        const QStringView h = t.headword(e);
        const QStringView p = t.pinyin(e);
        const QStringView g = t.gloss(e);
        const QString problems[] = {rowProblem(h), rowProblem(p), rowProblem(g)};
        const QString fields[] = {u"vedette"_s, u"pinyin"_s, u"glose"_s};
        for (int f = 0; f < 3; ++f) {
            if (!problems[f].isEmpty())
                report.violations.append(
                        u"entrée %1 : %2 : %3"_s.arg(e).arg(fields[f], problems[f]));
        }
        if (h.size() > 7)
            report.violations.append(u"entrée %1 : vedette de plus de 7 caractères"_s.arg(e));
        QString line;
        line.append(h).append(u'\t').append(p).append(u'\t').append(trimmed(g)).append(u"\r\n");
        if (t.line(e) != line)
            report.violations.append(u"entrée %1 : ligne différente de ses champs"_s.arg(e));
        if (g.count(u'/') != g.count(u" / "))
            report.violations.append(u"entrée %1 : \"/\" hors d'un séparateur \" / \""_s.arg(e));
        if (e == 0 || h != t.headword(e - 1)) {
            ++report.distinctHeadwords;
            if (e > 0 && h < t.headword(e - 1))
                report.violations.append(u"entrée %1 : vedettes hors de l'ordre"_s.arg(e));
        } else {
            const int byPinyin = collationCompare(t.pinyin(e - 1), p);
            const bool ordered =
                    byPinyin < 0 || (byPinyin == 0 && collationCompare(t.gloss(e - 1), g) <= 0);
            if (!ordered)
                report.violations.append(u"entrée %1 : homographes hors de l'ordre"_s.arg(e));
            if (p == t.pinyin(e - 1) && g == t.gloss(e - 1))
                report.violations.append(u"entrée %1 : répète l'entrée %2"_s.arg(e).arg(e - 1));
            if (e == 1 || t.headword(e - 2) != h)
                ++report.homographGroups;
        }
        if (report.violations.size() >= kMaxViolations)
            return report;
    }

    std::vector<int> pinyinPerEntry(size_t(t.entryCount()));
    std::vector<int> frenchPerEntry(size_t(t.entryCount()));
    checkKeyList(t, true, report, pinyinPerEntry);
    checkKeyList(t, false, report, frenchPerEntry);
    for (int e = 0; e < t.entryCount(); ++e) {
        if (pinyinPerEntry[size_t(e)] != 1)
            report.violations.append(
                    u"entrée %1 : %2 clés pinyin"_s.arg(e).arg(pinyinPerEntry[size_t(e)]));
        if (frenchPerEntry[size_t(e)] == 0)
            ++report.entriesWithoutFrenchKey;
    }
    for (int r = 0; r < t.frenchKeyCount(); ++r) {
        const QString folded = foldFrench(t.frenchKey(r));
        const QStringView stored = t.foldedFrenchKey(r);
        const bool same =
                stored.size() == folded.size()
                && std::equal(stored.begin(), stored.end(), folded.begin(), [](QChar s, QChar f) {
                       return foldUnit(s.unicode()) == f.unicode();
                   });
        if (!same)
            report.violations.append(
                    u"%1, rang %2 : forme sans accents fausse"_s.arg(listName(List::FrenchKeys))
                            .arg(r));
    }
    for (int e = 0; e < t.entryCount() && t.hasTraditionalForms(); ++e) {
        const QStringView traditional = t.traditional(e);
        if (traditional.isEmpty())
            continue;
        ++report.entriesWithTraditionalForm;
        if (traditional == t.headword(e)
            || std::any_of(traditional.begin(), traditional.end(),
                           [](QChar c) { return isControl(c.unicode()); }))
            report.violations.append(u"entrée %1 : forme traditionnelle fausse"_s.arg(e));
    }
    if (!indexesAgreeWithTexts(t))
        report.violations.append(u"index différents de ceux des textes"_s);
    if (report.violations.size() > kMaxViolations)
        report.violations.resize(kMaxViolations);
    return report;
}

bool indexesAgreeWithTexts(const Tables &tables)
{
    return buildIndexes(tables) == tables.indexSection();
}

} // namespace Verarov::Dictionary
