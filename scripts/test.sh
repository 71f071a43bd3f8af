#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite (window tests offscreen).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TELLVANE_TEST_BUILD:-$root/build-test}"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELLVANE_BUILD_BENCH=ON
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
