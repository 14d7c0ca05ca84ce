#pragma once

#include "dictionary/keylist.h"
#include "search/rowset.h"

#include <QAbstractListModel>

namespace Verarov::Search {

// The results of one search as a list model: result j is row keyRow(j) of
// the key list searched, shown as that row's key, in key-list order.  Only
// the set of rows found is held; the texts are read in place from the
// dictionary.
class ResultModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultModel)

public:
    explicit ResultModel(QObject *parent = nullptr);

    // New results (a model reset): the members of rows, rows of keys.
    void setResults(Dictionary::KeyList keys, RowSet rows);
    // No results (a model reset).
    void clear();

    const Dictionary::KeyList &keys() const { return m_keys; }
    const RowSet &keyRows() const { return m_rows; }
    int count() const { return m_rows.count(); }
    int keyRow(int result) const { return m_rows.at(result); }
    QStringView key(int result) const { return m_keys.key(keyRow(result)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    Dictionary::KeyList m_keys;
    RowSet m_rows;
};

} // namespace Verarov::Search
