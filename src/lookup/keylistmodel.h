#pragma once

#include "completion.h"
#include "dictionary.h"
#include "prefixindex.h"

#include <QAbstractListModel>

namespace Verarov::Lookup {

// The rows of one lookup field, read in place from the dictionary:
// liste_dico_ch (headwords, the row is the entry), liste_pin_ss_accent or
// liste_fr (keys, with the entry of each row from its index list).
// Completion searches go through a prefix index built on the first search.
class KeyListModel final : public QAbstractListModel, public KeyList
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyListModel)

public:
    KeyListModel(Dictionary::Tables tables, Dictionary::List list, QObject *parent = nullptr);

    Dictionary::List list() const { return m_list; }
    // Entry index shown by a row: the row itself, or its index-list value.
    int entry(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int keyCount() const override { return m_count; }
    QStringView key(int row) const override;
    int findString(QStringView text) const override;

    // Builds the prefix index now (it is otherwise built on first use).
    void buildIndex() const { m_index.build(); }

private:
    Dictionary::Tables m_tables;
    Dictionary::List m_list;
    int m_count;
    PrefixIndex m_index;
};

} // namespace Verarov::Lookup
