#pragma once

#include "dictionary/keylist.h"
#include "lookup/completion.h"
#include "lookup/learnerlookup.h"
#include "lookup/prefixindex.h"

#include <QAbstractListModel>

namespace Verarov::Lookup {

// The rows of one lookup field as a list model, read in place from the
// dictionary.  Completion searches go through the list's prefix index,
// read where the dictionary holds it.
class KeyListModel final : public QAbstractListModel, public CompletionList
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyListModel)

public:
    explicit KeyListModel(Dictionary::KeyList keys, QObject *parent = nullptr);
    KeyListModel(Dictionary::Tables tables, Dictionary::List list, QObject *parent = nullptr);

    const Dictionary::KeyList &keys() const { return m_keys; }
    Dictionary::List list() const { return m_keys.list(); }
    // Entry index shown by a row: the row itself, or its index-list value.
    int entry(int row) const { return m_keys.entry(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int keyCount() const override { return m_keys.count(); }
    QStringView key(int row) const override { return m_keys.key(row); }
    int findString(QStringView text) const override;
    int findAlternative(QStringView text) const override;

private:
    Dictionary::KeyList m_keys;
    PrefixIndex m_index;
    LearnerLookup m_learner;
};

} // namespace Verarov::Lookup
