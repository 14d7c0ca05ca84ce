#include "search/rowset.h"

#include <algorithm>
#include <bit>

namespace Verarov::Search {

RowSet::RowSet(int size) : m_size(std::max(size, 0)), m_bits((size_t(m_size) + 63) / 64) { }

void RowSet::seal()
{
    m_before.resize(m_bits.size());
    int count = 0;
    for (size_t block = 0; block < m_bits.size(); ++block) {
        m_before[block] = count;
        count += std::popcount(m_bits[block]);
    }
    m_count = count;
}

int RowSet::at(int member) const
{
    Q_ASSERT(member >= 0 && member < m_count);
    // The last block with fewer members before it than `member` + 1.
    const auto after = std::upper_bound(m_before.begin(), m_before.end(), member);
    const size_t block = size_t(after - m_before.begin()) - 1;
    quint64 bits = m_bits[block];
    for (int skip = member - m_before[block]; skip > 0; --skip)
        bits &= bits - 1; // drop the lowest member
    return int(block * 64) + std::countr_zero(bits);
}

int RowSet::rank(int row) const
{
    if (row <= 0)
        return 0;
    if (row >= m_size)
        return m_count;
    const size_t block = size_t(row) / 64;
    const quint64 below = (quint64(1) << (row % 64)) - 1;
    return m_before[block] + std::popcount(m_bits[block] & below);
}

int RowSet::next(int row) const
{
    if (row < 0)
        row = 0;
    if (row >= m_size)
        return -1;
    size_t block = size_t(row) / 64;
    quint64 bits = m_bits[block] & (~quint64(0) << (row % 64));
    while (bits == 0) {
        if (++block == m_bits.size())
            return -1;
        bits = m_bits[block];
    }
    return int(block * 64) + std::countr_zero(bits);
}

} // namespace Verarov::Search
