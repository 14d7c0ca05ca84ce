#include "search/resultmodel.h"

namespace Verarov::Search {

ResultModel::ResultModel(QObject *parent) : QAbstractListModel(parent) { }

void ResultModel::setResults(Dictionary::KeyList keys, std::vector<int> rows)
{
    Q_ASSERT(std::is_sorted(rows.begin(), rows.end()));
    Q_ASSERT(rows.empty() || (rows.front() >= 0 && rows.back() < keys.count()));
    beginResetModel();
    m_keys = std::move(keys);
    m_rows = std::move(rows);
    endResetModel();
}

void ResultModel::clear()
{
    setResults({}, {});
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
