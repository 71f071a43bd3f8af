#!/usr/bin/env bash
# scripts/test-sanitizers.sh [thread]: a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer that runs the core tests; with "thread", a build with
# ThreadSanitizer that runs the engine, wizard and window tests (windows offscreen).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
if [ "${1:-}" = thread ]; then
  build="$root/build-tsan"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELLVANE_SANITIZE=thread \
        -DTELLVANE_BUILD_UI=ON -DTELLVANE_BUILD_BENCH=OFF
  cmake --build "$build" -j "$(nproc)" --target test_engine test_wizard test_ui
  cd "$build"
  # The window tests run offscreen; TSan stops at the first race it reports. Qt is not built
  # with TSan: its own thread pool and locks are futexes the checker cannot see, so accesses made
  # inside Qt's libraries are left out; every access of our code is still checked.
  QT_QPA_PLATFORM=offscreen \
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1" \
    ctest --output-on-failure -j "$(nproc)" --timeout 900 -L '^(engine|wizard|ui)$'
  exit
fi
build="$root/build-asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELLVANE_SANITIZE=ON \
      -DTELLVANE_BUILD_UI=OFF -DTELLVANE_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
cd "$build"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)" --timeout 900
