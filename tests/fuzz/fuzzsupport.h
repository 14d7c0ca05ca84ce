#pragma once

// Fuzz targets: the entry point libFuzzer calls, and how a target reports a
// broken property (a crash, which the fuzzer keeps as a finding).

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Stops the run when a property does not hold.
inline void require(bool holds, const char *what, const QString &detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}
