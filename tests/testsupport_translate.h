#pragma once

// Test helper: the translation of a text as first described, scan by scan,
// to compare the indexed translation with, byte for byte.

#include "dictionary/tables.h"
#include "dictionary/text.h"
#include "testsupport_files.h"

#include <QByteArray>
#include <QStringList>

inline QByteArray entryLine(const Verarov::Dictionary::Tables &tables, int e)
{
    using namespace Qt::StringLiterals;
    return utf16le(QStringList{tables.headword(e).toString(), tables.pinyin(e).toString(),
                               Verarov::trimmed(tables.gloss(e)).toString()}
                           .join(u'\t')
                   + u"\r\n"_s);
}

// The matching step as first described: for each candidate, longest first,
// a scan of every headword for the first equal with case ignored, then of
// the later ones for those exactly equal.  A lone last byte is ignored.
inline QByteArray plainScan(const Verarov::Dictionary::Tables &tables, const QByteArray &input)
{
    QString text;
    for (qsizetype i = 0; i + 1 < input.size(); i += 2)
        text.append(QChar(char16_t(uchar(input[i]) | uchar(input[i + 1]) << 8)));
    QByteArray out("\xff\xfe");
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QStringView window =
                QStringView(text).sliced(pos).first(qMin<qsizetype>(7, text.size() - pos));
        qsizetype consumed = 1;
        for (qsizetype n = window.size(); n >= 1; --n) {
            const QStringView candidate = window.first(n);
            if (candidate.contains(u'\n') || candidate.contains(u'\r') || candidate.contains(u'\t'))
                continue;
            int first = -1;
            for (int e = 0; e < tables.entryCount() && first < 0; ++e) {
                if (QStringView(tables.headword(e)).compare(candidate, Qt::CaseInsensitive) == 0)
                    first = e;
            }
            if (first < 0)
                continue;
            out += entryLine(tables, first);
            for (int e = first + 1; e < tables.entryCount(); ++e) {
                if (tables.headword(e) == candidate)
                    out += entryLine(tables, e);
            }
            consumed = n;
            break;
        }
        pos += consumed;
    }
    return out;
}
