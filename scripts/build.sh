#!/usr/bin/env bash
# Configures and builds the program and the benchmarks into build/
# (Release): the "release" preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
