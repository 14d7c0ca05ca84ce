#include "lookup/history.h"

namespace Verarov::Lookup {

void History::visit(const EntryTexts &entry, bool replacesCurrent)
{
    if (m_current >= 0 && m_entries[m_current] == entry)
        return;
    m_entries.resize(m_current + 1);
    if (replacesCurrent && !m_entries.isEmpty())
        m_entries.removeLast();
    m_entries.append(entry);
    if (m_entries.size() > m_limit)
        m_entries.removeFirst();
    m_current = m_entries.size() - 1;
}

const EntryTexts *History::back()
{
    if (!canGoBack())
        return nullptr;
    return &m_entries[--m_current];
}

const EntryTexts *History::forward()
{
    if (!canGoForward())
        return nullptr;
    return &m_entries[++m_current];
}

} // namespace Verarov::Lookup
