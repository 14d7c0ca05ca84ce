#pragma once

#include <QtGlobal>

#include <vector>

namespace Verarov::Search {

// A set of rows of a list of `size` rows, one bit per row, with the number
// of members before each block of 64 rows: members are numbered in row
// order, and the row of member j (at) and the number of members before a
// row (rank) are found without walking the set.  About 1.5 bits per row of
// the list whatever the number of members: 19 KB for 100,000 rows.
class RowSet
{
public:
    RowSet() = default;
    // No members yet; add them with insert(), then call seal().
    explicit RowSet(int size);

    void insert(int row) { m_bits[size_t(row) / 64] |= quint64(1) << (row % 64); }
    // Counts the members; needed before any of the queries below.
    void seal();

    int size() const { return m_size; }
    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    bool contains(int row) const
    {
        return row >= 0 && row < m_size && (m_bits[size_t(row) / 64] >> (row % 64)) & 1;
    }
    // The row of member j, 0 <= j < count().
    int at(int member) const;
    // The number of members in rows [0, row).
    int rank(int row) const;
    // The first member at or after row; -1 when there is none.
    int next(int row) const;

private:
    int m_size = 0;
    int m_count = 0;
    std::vector<quint64> m_bits;
    std::vector<int> m_before; // members in the blocks before each block
};

} // namespace Verarov::Search
