#pragma once

#include <QList>
#include <QString>

namespace Verarov::Lookup {

// An entry as the display showed it.
struct EntryTexts
{
    QString headword;
    QString pinyin;
    QString gloss;
    friend bool operator==(const EntryTexts &, const EntryTexts &) = default;
};

// The entries shown in this run, for going back and forth as a browser
// does: showing an entry drops what lay ahead of the current one; showing
// the current one again adds nothing.  At most `limit` entries, the oldest
// dropped first.  A visit that only refines the current one (the next
// letter typed in the same field) replaces it.
class History
{
public:
    explicit History(qsizetype limit = 1000) : m_limit(limit) { }

    void visit(const EntryTexts &entry, bool replacesCurrent = false);
    bool canGoBack() const { return m_current > 0; }
    bool canGoForward() const { return m_current + 1 < m_entries.size(); }
    // The entry before (after) the current one, which becomes current;
    // nothing at either end.
    const EntryTexts *back();
    const EntryTexts *forward();
    qsizetype size() const { return m_entries.size(); }

private:
    QList<EntryTexts> m_entries;
    qsizetype m_current = -1;
    qsizetype m_limit;
};

} // namespace Verarov::Lookup
