#pragma once

#include <QtGlobal>

namespace Verarov::Dictionary {

// Layout of a compiled dictionary, in the byte order of the machine that
// builds it (the build step runs on the target):
//
//   Header
//   Tables::Ref    entries[entryCount][3]     headword, pinyin, gloss
//   Tables::Ref    lines[entryCount]          output line of each entry
//   Tables::KeyRow pinyinKeys[pinyinKeyCount] in collation order
//   Tables::KeyRow frenchKeys[frenchKeyCount] in collation order
//   Tables::Ref    traditionals[traditionalCount]  traditional form of each
//                                             entry, {0, 0} when the same
//   Tables::Ref    foldedFrenchKeys[frenchKeyCount]  each French key folded
//                                             (foldFrench): the key's own
//                                             text when only letter case
//                                             would change
//   char16_t       pool[poolUnits]            every text, UTF-16
//   (two bytes of padding when poolUnits is odd)
//   the index section, indexBytes long        indexes_p.h
//
// Offsets and lengths of texts count code units from the start of the pool.
// traditionalCount is entryCount when the source gives traditional forms
// (at least one entry's differs from its headword), else 0.
// The line of an entry is its output line in a word list: headword TAB
// pinyin TAB trimmed gloss CR LF; the headword and pinyin of an entry lie in
// its line, and so does its gloss when trimming leaves it as it is.
//
// A buffer without an index section (indexBytes 0), or whose indexes were
// built with another Unicode version of case folding, gets them built when
// it is loaded.
struct CompiledHeader
{
    char magic[8];
    quint32 entryCount;
    quint32 pinyinKeyCount;
    quint32 frenchKeyCount;
    quint32 poolUnits;
    quint32 indexBytes;
    quint32 foldingVersion; // caseFoldingVersion() of the indexes
    quint32 traditionalCount;
};

inline constexpr char kCompiledMagic[8] = {'V', 'R', 'V', 'D', 'I', 'C', '0', '3'};

} // namespace Verarov::Dictionary
