#include "lookup/learnerlookup.h"

#include "lookup/chinesevariants.h"
#include "lookup/lookuplog.h"
#include "lookup/normalise.h"
#include "lookup/prefixindex.h"

namespace Verarov::Lookup {

LearnerLookup::LearnerLookup(Dictionary::KeyList keys, FirstWithPrefix firstWithPrefix,
                             const TraditionalForms *traditional)
    : m_keys(std::move(keys)), m_firstWithPrefix(std::move(firstWithPrefix)),
      m_traditional(traditional ? traditional : &variantTableForms())
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
    if (!m_foldedIndex) {
        m_folded.reserve(std::size_t(m_keys.count()));
        for (int row = 0; row < m_keys.count(); ++row)
            m_folded.push_back(foldFrench(m_keys.key(row)));
        m_foldedIndex = std::make_unique<PrefixIndex>(m_keys.count(), [this](int row) {
            return QStringView(m_folded[std::size_t(row)]);
        });
    }
    return m_foldedIndex->firstWithPrefix(foldFrench(typed));
}

} // namespace Verarov::Lookup
