#pragma once

#include "lookup/completion.h"
#include "lookup/keylistmodel.h"

#include <QPointer>

namespace Verarov::Search {

class ResultModel;

// The results of a search as the completion of the result field sees them:
// result j has the key of its key-list row.  The first result beginning
// with a text is the plain top-down scan's answer, found faster through the
// prefix index of the lookup field the results come from: no result before
// that field's first row beginning with the text can begin with it, so the
// scan starts at that row.  No memory and no build per search.
class ResultCompletion final : public Lookup::CompletionList
{
public:
    explicit ResultCompletion(const ResultModel &results);

    // The lookup field the results were found in (a field's key list never
    // changes); nullptr, or a field that is gone: a plain scan.
    void setField(const Lookup::KeyListModel *field) { m_field = field; }

    int keyCount() const override;
    QStringView key(int row) const override;
    int findString(QStringView text) const override;

private:
    const ResultModel &m_results;
    QPointer<const Lookup::KeyListModel> m_field;
};

} // namespace Verarov::Search
