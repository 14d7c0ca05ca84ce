#!/usr/bin/env bash
# Installs what is needed, builds and runs every test (GUI tests offscreen).
# The tests run on a build of their own with assertions on (Q_ASSERT,
# assert), lightly optimised: build-tests/.  The program and the benchmarks
# are built by scripts/build.sh into build/ (Release).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
      -DVERAROV_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-tests -j "$(nproc)"
cd build-tests
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
