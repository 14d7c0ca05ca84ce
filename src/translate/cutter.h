#pragma once

#include "translate/headwordindex.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace Verarov::Translate {

// The longest-match cut of a text that comes in pieces: the one algorithm of
// the file translation, for any caller that needs its matches (the
// translation writes them, a report counts them).
//
// feed() takes the next code units of the text, finish() ends it; for each
// match, in text order, found(entries) receives the entries one matching
// step writes (HeadwordIndex::match).  Between pieces at most kWindow - 1
// code units wait for the next piece, so memory does not grow with the
// text, and the cut does not depend on where the pieces begin and end.
class Cutter
{
public:
    explicit Cutter(const HeadwordIndex &index) : m_index(index) { }

    template<typename Found>
    void feed(const char16_t *units, std::size_t count, Found &&found)
    {
        // Keep the tail that has not seen a full window yet, then the piece.
        m_units.erase(m_units.begin(), m_units.begin() + std::ptrdiff_t(m_pos));
        m_pos = 0;
        m_units.insert(m_units.end(), units, units + count);
        if (m_units.size() >= std::size_t(kWindow))
            cut(m_units.size() - (kWindow - 1), found);
    }

    template<typename Found>
    void finish(Found &&found)
    {
        cut(m_units.size(), found);
        m_units.clear();
        m_pos = 0;
    }

private:
    // Matches at every position before limit; a match may consume units past
    // it, up to the end of what is held.
    template<typename Found>
    void cut(std::size_t limit, Found &found)
    {
        const char16_t *text = m_units.data();
        const std::size_t end = m_units.size();
        while (m_pos < limit) {
            if (m_index.beginsNothing(text[m_pos])) {
                ++m_pos;
                continue;
            }
            m_found.clear();
            const qsizetype window = qsizetype(std::min<std::size_t>(end - m_pos, kWindow));
            m_pos += std::size_t(m_index.match(QStringView(text + m_pos, window), &m_found));
            found(std::as_const(m_found));
        }
    }

    const HeadwordIndex &m_index;
    std::vector<char16_t> m_units; // units held: [m_pos, end) not yet cut
    std::size_t m_pos = 0;
    std::vector<int> m_found;
};

} // namespace Verarov::Translate
