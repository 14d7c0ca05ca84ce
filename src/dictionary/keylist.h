#pragma once

#include "dictionary/tables.h"

#include <QStringView>

namespace Verarov::Dictionary {

// The rows of one of the three lookup lists, read in place from the tables:
// Headwords (a row is its entry), PinyinKeys or FrenchKeys (keys; the
// entry of a row comes from the parallel index list).
// Cheap to copy; shares the tables' buffer.
class KeyList
{
public:
    KeyList() = default;
    // list: Headwords, PinyinKeys or FrenchKeys.
    KeyList(Tables tables, List list);

    const Tables &tables() const { return m_tables; }
    List list() const { return m_list; }
    int count() const { return m_count; }

    QStringView key(int row) const
    {
        switch (m_list) {
        case List::PinyinKeys:
            return m_tables.pinyinKey(row);
        case List::FrenchKeys:
            return m_tables.frenchKey(row);
        default:
            return m_tables.headword(row);
        }
    }

    // The entry a row leads to: the row itself, or its index-list value.
    int entry(int row) const
    {
        switch (m_list) {
        case List::PinyinKeys:
            return m_tables.pinyinKeyEntry(row);
        case List::FrenchKeys:
            return m_tables.frenchKeyEntry(row);
        default:
            return row;
        }
    }

private:
    Tables m_tables;
    List m_list = List::Headwords;
    int m_count = 0;
};

// Entries [begin, end) in entry order.
struct EntryRange
{
    int begin = 0;
    int end = 0;
    int size() const { return end - begin; }
    bool isEmpty() const { return end <= begin; }
};

// Every entry whose headword begins with the code unit c, in entry order.
// Entries are ordered by headword in code-unit order, so they form one run.
EntryRange entriesBeginningWith(const Tables &tables, char16_t c);

} // namespace Verarov::Dictionary
