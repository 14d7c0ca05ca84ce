#pragma once

#include <QString>
#include <QStringView>

namespace Verarov::Dictionary {
class Tables;
}

namespace Verarov::Lookup {

// Simplified and traditional characters, by Unihan's variant data (a table
// compiled in; tools/dictdata/learner_tables.py makes it).

// The text with each traditional character replaced by its first simplified
// form; other characters kept.  "學習" -> "学习", "中國" -> "中国", "abc" -> "abc"
QString toSimplified(QStringView text);

// True when `typed` writes `headword` character for character, each typed
// character being the headword's or one of its traditional forms.
// ("學習", "学习") -> true;  ("頭髮", "头发") and ("頭發", "头发") -> true
bool writesTraditionally(QStringView typed, QStringView headword);

// The traditional form of a headword when each of its characters has one
// traditional form only; empty when it is the same text or not known for
// sure ("学习" -> "學習"; "头发" -> "": 发 is 發 or 髮).
QString traditionalOf(QStringView headword);

// Where the traditional form of an entry comes from: the variant table,
// from the headword alone, or the dictionary's own column.
class TraditionalForms
{
public:
    virtual ~TraditionalForms() = default;
    // True when `typed` is a writing of the entry's headword in traditional
    // or mixed characters.
    virtual bool writes(const Dictionary::Tables &tables, int entry, QStringView typed) const = 0;
    // The entry's traditional form to show beside the headword; empty when
    // it does not differ or is not known.
    virtual QString traditional(const Dictionary::Tables &tables, int entry) const = 0;
};

// The forms of the variant table.
const TraditionalForms &variantTableForms();

// The forms of the dictionary's column (Tables::traditional): an entry is
// written in its traditional form, or in a mix of it and its headword
// character for character ("學習", "学習" for 学习 學習); shown is its form.
const TraditionalForms &columnForms();

// The column's forms when the dictionary gives them, else the variant
// table's.
const TraditionalForms &traditionalForms(const Dictionary::Tables &tables);

} // namespace Verarov::Lookup
