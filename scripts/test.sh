#!/usr/bin/env bash
# Installs what is needed, builds and runs every test (GUI tests offscreen).
#
#   scripts/test.sh              Release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer
#                                build in build-sanitize/: any fault fails its test
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ "${1:-}" = "--sanitize" ]; then
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVERAROV_SANITIZE=ON -DVERAROV_BUILD_BENCHMARKS=OFF >/dev/null
    cmake --build build-sanitize -j "${VERAROV_JOBS:-$(nproc)}"
    cd build-sanitize
else
    scripts/build.sh
    cd build
fi
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "${VERAROV_JOBS:-$(nproc)}"
