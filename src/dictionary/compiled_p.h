#pragma once

#include <QtGlobal>

namespace Verarov::Dictionary {

// Layout of a compiled dictionary, in the byte order of the machine that
// builds it (the build step runs on the target):
//
//   Header
//   Tables::Ref    entries[entryCount][3]     headword, pinyin, gloss
//   Tables::KeyRow pinyinKeys[pinyinKeyCount] in collation order
//   Tables::KeyRow frenchKeys[frenchKeyCount] in collation order
//   char16_t       pool[poolUnits]            every text, UTF-16
//
// Offsets and lengths of texts count code units from the start of the pool.
struct CompiledHeader
{
    char magic[8];
    quint32 entryCount;
    quint32 pinyinKeyCount;
    quint32 frenchKeyCount;
    quint32 poolUnits;
};

inline constexpr char kCompiledMagic[8] = {'V', 'R', 'V', 'D', 'I', 'C', '0', '1'};

} // namespace Verarov::Dictionary
