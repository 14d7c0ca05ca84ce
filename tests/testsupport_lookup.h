#pragma once

// Test helper: a key list held in a string list.

#include "lookup/completion.h"

#include <QStringList>

// Rows held in a string list; searches use the plain scan.
class StringKeys final : public Verarov::Lookup::CompletionList
{
public:
    explicit StringKeys(QStringList keys) : m_keys(std::move(keys)) { }
    int keyCount() const override { return int(m_keys.size()); }
    QStringView key(int row) const override { return m_keys[row]; }

private:
    QStringList m_keys;
};
