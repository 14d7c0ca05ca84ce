#include "lookup/radicalbrowser.h"

namespace Verarov::Lookup {

CharacterListModel::CharacterListModel(QObject *parent) : QAbstractListModel(parent) { }

void CharacterListModel::setTables(Dictionary::RadicalTables tables)
{
    beginResetModel();
    m_tables = std::move(tables);
    m_rows = {};
    endResetModel();
}

void CharacterListModel::showRadical(int n)
{
    setRows(m_tables.rows(n));
}

void CharacterListModel::clear()
{
    setRows({});
}

void CharacterListModel::setRows(Dictionary::RadicalRows rows)
{
    // A reset, not row moves: views drop their selection with it.
    beginResetModel();
    m_rows = rows.isEmpty() ? Dictionary::RadicalRows() : rows;
    endResetModel();
}

int CharacterListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant CharacterListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return character(index.row()).toString();
    return {};
}

WordListModel::WordListModel(Dictionary::Tables tables, QObject *parent)
    : QAbstractListModel(parent), m_tables(std::move(tables))
{ }

void WordListModel::showWordsBeginningWith(QStringView character)
{
    setWords(character.isEmpty()
                     ? Dictionary::EntryRange()
                     : Dictionary::entriesBeginningWith(m_tables, character.front().unicode()));
}

void WordListModel::clear()
{
    setWords({});
}

void WordListModel::setWords(Dictionary::EntryRange words)
{
    beginResetModel();
    m_words = words.isEmpty() ? Dictionary::EntryRange() : words;
    endResetModel();
}

int WordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_words.size();
}

QVariant WordListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return m_tables.headword(m_words.begin + index.row()).toString();
    return {};
}

} // namespace Verarov::Lookup
