#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>

#ifdef Q_OS_UNIX
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace Verarov::Dictionary {

// Lets the whole pages of [data, data + size) of a read-only file mapping
// leave the process: they stay in the file and are read again when used.
// Never for memory that is not such a mapping (its contents would be lost).
inline void releaseMappedPages(const void *data, std::size_t size)
{
#ifdef Q_OS_UNIX
    static const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr begin = (quintptr(data) + page - 1) & ~(page - 1);
    const quintptr end = (quintptr(data) + size) & ~(page - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_DONTNEED);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

// Whether ok holds for each of count items, checked a megabyte at a time;
// with mapped, each piece's pages are let go once checked, so that checking
// a large mapped file takes no more memory than a piece.
template<typename T, typename Ok>
bool allOfInPieces(const T *items, quint64 count, bool mapped, const Ok &ok)
{
    constexpr quint64 kPiece = std::max<quint64>(1, (quint64(1) << 20) / sizeof(T));
    for (quint64 begin = 0; begin < count; begin += kPiece) {
        const quint64 end = std::min(count, begin + kPiece);
        if (!std::all_of(items + begin, items + end, ok))
            return false;
        if (mapped)
            releaseMappedPages(items + begin, std::size_t(end - begin) * sizeof(T));
    }
    return true;
}

} // namespace Verarov::Dictionary
