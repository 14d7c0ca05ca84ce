#include "lookup/learnerlookup.h"

#include "lookup/chinesevariants.h"
#include "lookup/lookuplog.h"
#include "lookup/normalise.h"

namespace Verarov::Lookup {

namespace {

PrefixIndex alternativeIndex(const Dictionary::KeyList &keys)
{
    const Dictionary::Tables *tables = &keys.tables();
    switch (keys.list()) {
    case Dictionary::List::FrenchKeys:
        return PrefixIndex(
                tables->frenchKeyCount(),
                [tables](int row) { return tables->foldedFrenchKey(row); },
                tables->foldedFrenchTree());
    case Dictionary::List::Headwords:
        if (tables->hasTraditionalForms())
            return PrefixIndex(
                    tables->entryCount(),
                    [tables](int row) { return tables->traditionalWriting(row); },
                    tables->traditionalTree());
        break;
    default:
        break;
    }
    return PrefixIndex(0, [](int) { return QStringView(); }, {});
}

} // namespace

LearnerLookup::LearnerLookup(Dictionary::KeyList keys, FirstWithPrefix firstWithPrefix,
                             const TraditionalForms *traditional)
    : m_keys(std::move(keys)), m_firstWithPrefix(std::move(firstWithPrefix)),
      m_traditional(traditional ? traditional : &traditionalForms(m_keys.tables())),
      m_alternativeIndex(alternativeIndex(m_keys))
{ }

LearnerLookup::~LearnerLookup() = default;

int LearnerLookup::find(QStringView typed) const
{
    if (typed.isEmpty())
        return -1;
    int row = -1;
    switch (m_keys.list()) {
    case Dictionary::List::PinyinKeys:
        row = findPinyin(typed);
        break;
    case Dictionary::List::FrenchKeys:
        row = findFrench(typed);
        break;
    case Dictionary::List::Headwords:
        row = findChinese(typed);
        break;
    default:
        break;
    }
    qCDebug(lcLookup).noquote() << "learner lookup" << typed << "->" << row;
    return row;
}

// The rows whose key begins with the normalised key are one run from the
// first of them (the list is collated, a prefix sorting first); the first
// whose entry's reading agrees is the answer.
int LearnerLookup::findPinyin(QStringView typed) const
{
    const PinyinQuery query = normalisePinyin(typed);
    if (query.key.isEmpty())
        return -1;
    const int first = m_firstWithPrefix(query.key);
    if (first < 0 || !query.constrainsReading())
        return first;
    const Dictionary::Tables &tables = m_keys.tables();
    for (int row = first; row < m_keys.count() && startsWithFolded(m_keys.key(row), query.key);
         ++row) {
        if (readingMatches(query, tables.pinyin(m_keys.entry(row))))
            return row;
    }
    return -1;
}

int LearnerLookup::findChinese(QStringView typed) const
{
    if (const int row = m_alternativeIndex.firstWithPrefix(typed); row >= 0)
        return row;
    const QString simplified = toSimplified(typed);
    if (simplified == typed)
        return -1;
    const int first = m_firstWithPrefix(simplified);
    if (first < 0)
        return -1;
    // Headwords are in code-unit order: those equal to the simplified text
    // follow one another; the first the typed text writes wins.
    const Dictionary::Tables &tables = m_keys.tables();
    for (int row = first; row < m_keys.count() && m_keys.key(row) == simplified; ++row) {
        if (m_traditional->writes(tables, m_keys.entry(row), typed))
            return row;
    }
    return first;
}

int LearnerLookup::findFrench(QStringView typed) const
{
    return m_alternativeIndex.firstWithPrefix(foldFrench(typed));
}

} // namespace Verarov::Lookup
