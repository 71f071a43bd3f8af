#!/usr/bin/env bash
# Debug build with AddressSanitizer and UndefinedBehaviorSanitizer; runs the core tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELLVANE_SANITIZE=ON \
      -DTELLVANE_BUILD_UI=OFF -DTELLVANE_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
cd "$build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)" --timeout 900
