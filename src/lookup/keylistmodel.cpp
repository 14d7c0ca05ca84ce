#include "keylistmodel.h"

namespace Verarov::Lookup {

using Dictionary::List;

namespace {

int countOf(const Dictionary::Tables &tables, List list)
{
    switch (list) {
    case List::liste_dico_ch:
    case List::liste_pin_ss_accent:
    case List::liste_fr:
        return tables.rowCount(list);
    default:
        Q_ASSERT_X(false, "KeyListModel", "not a lookup field list");
        return 0;
    }
}

} // namespace

KeyListModel::KeyListModel(Dictionary::Tables tables, List list, QObject *parent)
    : QAbstractListModel(parent),
      m_tables(std::move(tables)),
      m_list(list),
      m_count(countOf(m_tables, list)),
      m_index(m_count, [this](int row) { return key(row); })
{
}

int KeyListModel::entry(int row) const
{
    switch (m_list) {
    case List::liste_pin_ss_accent: return m_tables.pinyinKeyEntry(row);
    case List::liste_fr: return m_tables.frenchKeyEntry(row);
    default: return row;
    }
}

QStringView KeyListModel::key(int row) const
{
    switch (m_list) {
    case List::liste_pin_ss_accent: return m_tables.pinyinKey(row);
    case List::liste_fr: return m_tables.frenchKey(row);
    default: return m_tables.headword(row);
    }
}

int KeyListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
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

} // namespace Verarov::Lookup
