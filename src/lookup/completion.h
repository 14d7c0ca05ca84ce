#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Lookup {

// The rows of a field, as the completion sees them.
class CompletionList
{
public:
    virtual ~CompletionList() = default;
    virtual int keyCount() const = 0;
    virtual QStringView key(int row) const = 0;
    // First row from the top whose key begins with text, letter case
    // ignored as foldCase() does; -1 for none.  The default scans.
    virtual int findString(QStringView text) const;
    // The row for a text that findString found nowhere, read as a learner
    // writes it (see LearnerLookup); -1 for none, as by default.
    virtual int findAlternative(QStringView text) const;
};

// What a simple combo box holds: its edit text, the selected span of the
// edit [selStart, selEnd) in code units (equal: both are the caret), and
// the selected row of its list (-1 for none).
struct FieldState
{
    QString text;
    qsizetype selStart = 0;
    qsizetype selEnd = 0;
    int row = -1;

    friend bool operator==(const FieldState &, const FieldState &) = default;
};

// The outcome of one input: the new state, how many code units of the
// input were used, and whether the field's change event fires.
struct Step
{
    FieldState state;
    qsizetype consumed = 1;
    bool fires = false;
};

// A typed character.  input[0] is the character; when it is a surrogate
// half, input[1] (if present) is the next pending character, which the
// search takes along and, on a match, consumes too.  Found row: the edit
// keeps the typed part and gets the rest of the key, the rest selected;
// fires only when the row changed.  No row: the character is inserted as
// typed over the selected span and the event fires; the row is then the
// one findAlternative gives for the text, when it gives one, else it stays.
//   "" + 'a' over {"à", "abao"} -> text "abao", span [1, 4), row 1
Step typeCharacter(const FieldState &state, QStringView input, const CompletionList &keys);

// Backspace: removes the selected span, else the character before the
// caret (a whole surrogate pair), and clears the row; with an empty text
// nothing changes.  Always fires.
Step backspace(const FieldState &state);

// A row picked in the list with the mouse or the arrow keys: the edit shows
// its key, all selected; fires.
Step pickRow(const FieldState &state, int row, const CompletionList &keys);

// Any other edit by the user (Delete, cut, paste): the row stays; fires.
Step otherEdit(const FieldState &state, const QString &text, qsizetype caret);

// Text set by the program: no completion, no event; the row stays.
FieldState programText(const FieldState &state, const QString &text);

} // namespace Verarov::Lookup
