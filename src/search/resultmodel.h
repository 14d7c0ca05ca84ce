#pragma once

#include "dictionary/keylist.h"

#include <QAbstractListModel>

#include <algorithm>

#include <vector>

namespace Verarov::Search {

// The results of one search as a list model: result j is row keyRow(j) of
// the key list searched, shown as that row's key.  Only row numbers are
// held; the texts are read in place from the dictionary.
class ResultModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultModel)

public:
    explicit ResultModel(QObject *parent = nullptr);

    // New results (a model reset).  rows: rows of keys, ascending.
    void setResults(Dictionary::KeyList keys, std::vector<int> rows);
    // No results (a model reset).
    void clear();

    const Dictionary::KeyList &keys() const { return m_keys; }
    const std::vector<int> &keyRows() const { return m_rows; }
    int count() const { return int(m_rows.size()); }
    int keyRow(int result) const { return m_rows[size_t(result)]; }
    QStringView key(int result) const { return m_keys.key(keyRow(result)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    Dictionary::KeyList m_keys;
    std::vector<int> m_rows;
};

} // namespace Verarov::Search
