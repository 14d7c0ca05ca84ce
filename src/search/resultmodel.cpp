#include "search/resultmodel.h"

namespace Verarov::Search {

ResultModel::ResultModel(QObject *parent) : QAbstractListModel(parent) { }

void ResultModel::setResults(Dictionary::KeyList keys, RowSet rows)
{
    Q_ASSERT(rows.size() == keys.count());
    beginResetModel();
    m_keys = std::move(keys);
    m_rows = std::move(rows);
    endResetModel();
}

void ResultModel::clear()
{
    setResults({}, RowSet());
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return key(index.row()).toString();
    return {};
}

} // namespace Verarov::Search
