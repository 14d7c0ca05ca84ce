#pragma once

#include "dictionary/keylist.h"
#include "dictionary/radicals.h"

#include <QAbstractListModel>

namespace Verarov::Lookup {

// The characters of one radical, with the reading and the stroke count of
// each row: a window onto rows(n) of the radical character lists.
class CharacterListModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CharacterListModel)

public:
    explicit CharacterListModel(QObject *parent = nullptr);

    void setTables(Dictionary::RadicalTables tables);
    // Lists the characters of the tree node with absolute index n (none
    // for a heading, an empty radical or any other index).
    void showRadical(int n);
    void clear();

    QStringView character(int row) const { return m_tables.character(m_rows.first + row); }
    QStringView reading(int row) const { return m_tables.reading(m_rows.first + row); }
    QStringView strokes(int row) const { return m_tables.strokes(m_rows.first + row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void setRows(Dictionary::RadicalRows rows);

    Dictionary::RadicalTables m_tables;
    Dictionary::RadicalRows m_rows;
};

// The words that begin with one character, in entry order,
// one row per entry: a window onto the dictionary's run of entries.
class WordListModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WordListModel)

public:
    explicit WordListModel(Dictionary::Tables tables, QObject *parent = nullptr);

    // Lists every entry whose headword begins with the first code unit of
    // character; none for an empty text.
    void showWordsBeginningWith(QStringView character);
    void clear();

    const Dictionary::Tables &tables() const { return m_tables; }
    Dictionary::EntryRange words() const { return m_words; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void setWords(Dictionary::EntryRange words);

    Dictionary::Tables m_tables;
    Dictionary::EntryRange m_words;
};

} // namespace Verarov::Lookup
