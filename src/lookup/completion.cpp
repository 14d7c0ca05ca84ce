#include "lookup/completion.h"

#include "lookup/lookuplog.h"
#include "lookup/prefixindex.h"

#include <QChar>

#include <algorithm>

namespace Verarov::Lookup {

Q_LOGGING_CATEGORY(lcLookup, "verarov.lookup", QtWarningMsg)

int CompletionList::findString(QStringView text) const
{
    return scanFirstWithPrefix(
            keyCount(), [this](int row) { return key(row); }, text);
}

int CompletionList::findAlternative(QStringView) const
{
    return -1;
}

namespace {

QString joined(QStringView a, QStringView b, QStringView c = {})
{
    QString out;
    out.reserve(a.size() + b.size() + c.size());
    out.append(a).append(b).append(c);
    return out;
}

struct Span
{
    qsizetype start;
    qsizetype end;
};

Span selection(const FieldState &state)
{
    const qsizetype size = state.text.size();
    const qsizetype a = std::clamp<qsizetype>(state.selStart, 0, size);
    const qsizetype b = std::clamp<qsizetype>(state.selEnd, 0, size);
    return {std::min(a, b), std::max(a, b)};
}

// The text with the selected span replaced by `typed`, caret after it.
FieldState inserted(const FieldState &state, QStringView typed)
{
    const Span span = selection(state);
    FieldState next = state;
    next.text = joined(QStringView(state.text).first(span.start), typed,
                       QStringView(state.text).sliced(span.end));
    next.selStart = next.selEnd = span.start + typed.size();
    return next;
}

} // namespace

Step typeCharacter(const FieldState &state, QStringView input, const CompletionList &keys)
{
    Q_ASSERT(!input.isEmpty());
    QStringView typed = input.first(1);
    if (QChar::isSurrogate(input[0].unicode())) {
        // A surrogate half waits for the next pending character; without
        // one it goes to the edit unsearched.
        if (input.size() < 2)
            return {inserted(state, typed), 1, true};
        typed = input.first(2);
    }

    const Span span = selection(state);
    const QString search = joined(QStringView(state.text).first(span.start), typed,
                                  QStringView(state.text).sliced(span.end));
    const int row = keys.findString(search);
    qCDebug(lcLookup).noquote() << "completion" << search << "->" << row;
    if (row < 0) {
        // Nothing begins so: the text as typed, and the row a learner's
        // writing of it designates, if any.
        FieldState next = inserted(state, input.first(1));
        const int alternative = keys.findAlternative(next.text);
        if (alternative >= 0)
            next.row = alternative;
        return {next, 1, true};
    }

    FieldState next;
    const QStringView key = keys.key(row);
    next.text = joined(search, key.sliced(std::min(search.size(), key.size())));
    next.selStart = search.size();
    next.selEnd = next.text.size();
    next.row = row;
    return {next, typed.size(), row != state.row};
}

Step backspace(const FieldState &state)
{
    FieldState next = state;
    const Span span = selection(state);
    if (span.end > span.start) {
        next.text.remove(span.start, span.end - span.start);
        next.selStart = next.selEnd = span.start;
        next.row = -1;
    } else if (!state.text.isEmpty()) {
        qsizetype from = span.start;
        if (from > 0) {
            --from;
            if (from > 0 && QChar::isLowSurrogate(state.text[from].unicode())
                && QChar::isHighSurrogate(state.text[from - 1].unicode()))
                --from;
        }
        next.text.remove(from, span.start - from);
        next.selStart = next.selEnd = from;
        next.row = -1;
    }
    return {next, 1, true};
}

Step pickRow(const FieldState &state, int row, const CompletionList &keys)
{
    FieldState next = state;
    next.row = row;
    if (row >= 0)
        next.text = keys.key(row).toString();
    next.selStart = 0;
    next.selEnd = next.text.size();
    return {next, 1, row >= 0};
}

Step otherEdit(const FieldState &state, const QString &text, qsizetype caret)
{
    FieldState next = state;
    next.text = text;
    next.selStart = next.selEnd = std::clamp<qsizetype>(caret, 0, text.size());
    return {next, 1, true};
}

FieldState programText(const FieldState &state, const QString &text)
{
    FieldState next = state;
    next.text = text;
    next.selStart = next.selEnd = text.size();
    return next;
}

} // namespace Verarov::Lookup
