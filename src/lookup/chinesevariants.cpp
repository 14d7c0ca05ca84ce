#include "lookup/chinesevariants.h"

#include "dictionary/tables.h"

#include <algorithm>

namespace Verarov::Lookup {

namespace {

struct VariantPair
{
    char32_t traditional;
    char32_t simplified;
};

#include "lookup/variantdata.inc"

// The code points of a text, one at a time; a lone surrogate as itself.
class CodePoints
{
public:
    explicit CodePoints(QStringView text) : m_text(text) { }
    bool hasNext() const { return m_at < m_text.size(); }
    char32_t next()
    {
        const char16_t c = m_text[m_at++].unicode();
        if (QChar::isHighSurrogate(c) && m_at < m_text.size()
            && QChar::isLowSurrogate(m_text[m_at].unicode()))
            return QChar::surrogateToUcs4(c, m_text[m_at++].unicode());
        return c;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

void appendCodePoint(QString &out, char32_t c)
{
    const char16_t units[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
    if (QChar::requiresSurrogates(c))
        out.append(QStringView(units, 2));
    else
        out.append(QChar(char16_t(c)));
}

// The pairs whose traditional (or simplified) form is c.
template<auto Member, std::size_t N>
std::pair<const VariantPair *, const VariantPair *> pairsOf(const VariantPair (&table)[N],
                                                            char32_t c)
{
    return std::equal_range(
            std::begin(table), std::end(table), VariantPair{c, c},
            [](const VariantPair &a, const VariantPair &b) { return a.*Member < b.*Member; });
}

class VariantTableForms final : public TraditionalForms
{
public:
    bool writes(const Dictionary::Tables &tables, int entry, QStringView typed) const override
    {
        return writesTraditionally(typed, tables.headword(entry));
    }
    QString traditional(const Dictionary::Tables &tables, int entry) const override
    {
        return traditionalOf(tables.headword(entry));
    }
};

class ColumnForms final : public TraditionalForms
{
public:
    bool writes(const Dictionary::Tables &tables, int entry, QStringView typed) const override
    {
        const QStringView headword = tables.headword(entry);
        const QStringView traditional = tables.traditional(entry);
        if (typed == headword || (!traditional.isEmpty() && typed == traditional))
            return true;
        if (traditional.size() != headword.size() || typed.size() != headword.size())
            return false;
        for (qsizetype i = 0; i < typed.size(); ++i) {
            if (typed[i] != headword[i] && typed[i] != traditional[i])
                return false;
        }
        return true;
    }
    QString traditional(const Dictionary::Tables &tables, int entry) const override
    {
        return tables.traditional(entry).toString();
    }
};

} // namespace

QString toSimplified(QStringView text)
{
    QString out;
    out.reserve(text.size());
    CodePoints it(text);
    while (it.hasNext()) {
        const char32_t c = it.next();
        const auto [first, last] = pairsOf<&VariantPair::traditional>(kByTraditional, c);
        appendCodePoint(out, first != last ? first->simplified : c);
    }
    return out;
}

bool writesTraditionally(QStringView typed, QStringView headword)
{
    CodePoints t(typed);
    CodePoints h(headword);
    while (t.hasNext() && h.hasNext()) {
        const char32_t tc = t.next();
        const char32_t hc = h.next();
        if (tc == hc)
            continue;
        const auto [first, last] = pairsOf<&VariantPair::simplified>(kBySimplified, hc);
        if (std::none_of(first, last, [tc](const VariantPair &p) { return p.traditional == tc; }))
            return false;
    }
    return !t.hasNext() && !h.hasNext();
}

QString traditionalOf(QStringView headword)
{
    QString out;
    out.reserve(headword.size());
    bool differs = false;
    CodePoints it(headword);
    while (it.hasNext()) {
        const char32_t c = it.next();
        const auto [first, last] = pairsOf<&VariantPair::simplified>(kBySimplified, c);
        // Several forms, the character itself among them when it is also
        // written so (后: 后 and 後), leave the form open.
        if (last - first > 1)
            return {};
        const char32_t form = first != last ? first->traditional : c;
        differs = differs || form != c;
        appendCodePoint(out, form);
    }
    return differs ? out : QString();
}

const TraditionalForms &variantTableForms()
{
    static const VariantTableForms forms;
    return forms;
}

const TraditionalForms &columnForms()
{
    static const ColumnForms forms;
    return forms;
}

const TraditionalForms &traditionalForms(const Dictionary::Tables &tables)
{
    return tables.hasTraditionalForms() ? columnForms() : variantTableForms();
}

} // namespace Verarov::Lookup
