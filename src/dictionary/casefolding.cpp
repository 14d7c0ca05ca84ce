#include "dictionary/casefolding.h"

#include <QChar>

#include <array>

namespace Verarov::Dictionary {

const char16_t *caseFoldingTable()
{
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> folded{};
        for (char32_t u = 0; u < 0x10000; ++u) {
            const char32_t f = QChar::isSurrogate(u) ? u : QChar::toCaseFolded(u);
            folded[u] = f < 0x10000 ? char16_t(f) : char16_t(u);
        }
        return folded;
    }();
    return table.data();
}

void foldPair(char16_t high, char16_t low, char16_t *out)
{
    const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(high, low));
    if (QChar::requiresSurrogates(folded)) {
        out[0] = QChar::highSurrogate(folded);
        out[1] = QChar::lowSurrogate(folded);
    } else {
        out[0] = high;
        out[1] = low;
    }
}

void foldCodePoints(QStringView text, char16_t *out)
{
    const char16_t *table = caseFoldingTable();
    const char16_t *in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (QChar::isHighSurrogate(in[i]) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            foldPair(in[i], in[i + 1], out + i);
            ++i;
        } else {
            out[i] = table[in[i]];
        }
    }
}

quint32 caseFoldingVersion()
{
    return quint32(QChar::currentUnicodeVersion());
}

} // namespace Verarov::Dictionary
