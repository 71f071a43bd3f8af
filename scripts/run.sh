#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTELLVANE_BUILD_TESTS=OFF -DTELLVANE_BUILD_BENCH=OFF
cmake --build "$root/build-release" --target tellvane tellvane-cli tellvane-menu-helper tellvane_data
exec "$root/build-release/bin/tellvane" "$@"
