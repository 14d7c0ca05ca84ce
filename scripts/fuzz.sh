#!/usr/bin/env bash
# Builds one fuzz target with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs it for SECONDS,
# starting from its committed corpus.  New inputs go to
# build-fuzz/corpus/TARGET, crashes to build-fuzz/crashes/TARGET.
#
#   scripts/fuzz.sh fuzz_dictionary|fuzz_translate|fuzz_cache|fuzz_vocabulary SECONDS [libFuzzer options]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
    echo "usage: $0 fuzz_dictionary|fuzz_translate|fuzz_cache|fuzz_vocabulary SECONDS [libFuzzer options]" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2
seeds=tests/fuzz/corpus/$target
[ -d "$seeds" ] || { echo "no fuzz target named $target" >&2; exit 2; }

scripts/install-deps.sh
# clang with its libFuzzer and sanitizer runtimes, llvm-symbolizer for the
# stack traces.
missing=()
for p in clang libclang-rt-14-dev llvm; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The "fuzz" preset of CMakePresets.json.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target "$target"

work=build-fuzz/corpus/$target
crashes=build-fuzz/crashes/$target
mkdir -p "$work" "$crashes"
# The targets' files on a memory file system when there is one.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$crashes/" "$@" "$work" "$seeds"
