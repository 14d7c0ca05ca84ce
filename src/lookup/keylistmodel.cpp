#include "lookup/keylistmodel.h"

namespace Verarov::Lookup {

KeyListModel::KeyListModel(Dictionary::KeyList keys, QObject *parent)
    : QAbstractListModel(parent), m_keys(std::move(keys)),
      m_index(
              m_keys.count(), [this](int row) { return key(row); },
              m_keys.tables().prefixTree(m_keys.list())),
      m_learner(m_keys, [this](QStringView text) { return findString(text); })
{ }

KeyListModel::KeyListModel(Dictionary::Tables tables, Dictionary::List list, QObject *parent)
    : KeyListModel(Dictionary::KeyList(std::move(tables), list), parent)
{ }

int KeyListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_keys.count();
}

QVariant KeyListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return key(index.row()).toString();
    return {};
}

int KeyListModel::findString(QStringView text) const
{
    return m_index.firstWithPrefix(text);
}

int KeyListModel::findAlternative(QStringView text) const
{
    return m_learner.find(text);
}

} // namespace Verarov::Lookup
