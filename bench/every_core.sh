#!/usr/bin/env bash
# The program on one core (taskset -c 0) and on all of them, in one go: decrypting 256 MiB of
# Blowfish and encrypting 16 MiB "All at once", medians of RUNS runs, and the speed-up of each.
# Usage: bench/every_core.sh [BENCH_BINARY] [RUNS] [WORK_DIR]
#   defaults: build-test/bin/bench_every_core, 5, /var/tmp
set -euo pipefail
BIN=${1:-build-test/bin/bench_every_core}
RUNS=${2:-5}
WORK=${3:-/var/tmp}
[ -x "$BIN" ] || { echo "bench_every_core not found at $BIN" >&2; exit 1; }
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
one=$(taskset -c 0 "$BIN" "$WORK" "$RUNS")
all=$("$BIN" "$WORK" "$RUNS")
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "--- one core"; echo "$one"
echo "--- every core"; echo "$all"
value() { echo "$1" | awk -v k="$2" '$1 == k {print $2}'; }
for key in decrypt_bfs_256MiB_seconds all_at_once_16MiB_seconds; do
  echo "$key speed-up: $(echo "$(value "$one" $key) / $(value "$all" $key)" | bc -l | cut -c1-5)"
done
